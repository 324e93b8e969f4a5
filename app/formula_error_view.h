// The formula engine's first error as the error report sees it: a code 10200..10212, a
// 1-based character position (0 where none applies) and, for an arithmetic error, its cause. The
// engine owns one record per thread; each thread that evaluates formulas attaches its own here
// (start-up, a worker's job); until then, and in programs without the engine, a record of the
// application shell stands in.
#pragma once

#include <cstdint>

struct FormulaErrorView {
  std::uint32_t code = 0;  // 0 = none
  std::uint32_t position = 0;
  // For 10203, the MathStatus that caused it (0 when not known): the message names the cause.
  std::uint32_t cause = 0;
};

// For the calling thread; nullptr re-attaches the stand-in record.
void attach_formula_error(FormulaErrorView* record);
// The attached record; never nullptr.
FormulaErrorView* attached_formula_error();
