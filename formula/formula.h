// The formula engine's entry point: evaluate_formula computes a formula in one left-to-right
// pass over an operator-precedence stack, each reduction at once in the current NumberType.
//
// State: the first formula error (a code 10200..10212 and a 1-based character position) is
// program-wide and survives the call; the stack, the variable cache and the inexact state live
// only during one evaluation. One formula is evaluated at a time in the whole program. The
// stack's value buffers and the cached variable values come from the calling thread's
// ThreadScratch, which must be allocated; everything taken from it is given back on return.
#pragma once

#include <cstdint>

#include "app/formula_error_view.h"
#include "core/decfloat.h"
#include "formula/variable_table.h"
#include "integer/number.h"

enum FormulaErrorCode : std::uint32_t {
  kFormulaSyntax = 10200,            // at the offending token
  kFormulaUnmatchedParen = 10201,    // ")" without "(": at the ")"
  kFormulaUnexpectedEnd = 10202,     // just behind the text
  kFormulaArithmetic = 10203,        // a MathStatus other than 207, at the token; kept as cause
  kFormulaStackFull = 10204,         // always position 1
  kFormulaInternal = 10205,          // no position
  kFormulaParamCount = 10206,        // at the function name
  kFormulaNeedsComplex = 10207,      // at the function or "i"
  kFormulaBadNumber = 10208,         // at the number (or "i")
  kFormulaNotAvailable = 10209,      // at the function
  kFormulaCancelled = 10210,         // position 0
  kFormulaUnknownVariable = 10211,   // at the identifier
  kFormulaBadVariableValue = 10212,  // at the identifier
};

// The engine owns the record; start-up attaches it to the error report with
// attach_formula_error(&g_formula_error).
using FormulaError = FormulaErrorView;
extern thread_local constinit FormulaError g_formula_error;

// Keeps only the first error.
inline void set_formula_error(std::uint32_t code, std::uint32_t position,
                              MathStatus cause = MathStatus::Ok) {
  if (g_formula_error.code == 0) {
    g_formula_error.code = code;
    g_formula_error.position = position;
    g_formula_error.cause = static_cast<std::uint32_t>(cause);
  }
}
inline void clear_formula_error() {
  g_formula_error = FormulaError{};
}

struct FormulaContext {
  const char16_t* text = nullptr;  // NUL-terminated; nullptr reads as ""
  std::uint32_t flags = 0;         // 0x100 grouping, 0x200 fixed separators
  const VariableTable* variables = nullptr;
  NumValue* result = nullptr;  // one value of the current type: the result, or 0 on error
  std::uint8_t inexact = 0;    // some integer operation of the formula dropped a remainder
};

inline constexpr int kEvalStackEntries = 50;
inline constexpr int kVariableCacheEntries = 100;

// The whole pass. Afterwards g_formula_error tells success (code 0); MathStatus is 0 and the
// ThreadScratch and ScratchStack are where they were on entry.
void evaluate_formula(FormulaContext& ctx);
