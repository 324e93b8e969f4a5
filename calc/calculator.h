// The scientific calculator without its window: the calculator state (number type, displayed
// digits D and working digits D + 2, output base, notation, grouping), the evaluation of one
// formula as a worker runs it, and the text of the result field.
//
// The state owns the last result: its value (a record of the type and sizes it was computed
// with, which formatting restores) and its text, which is also the value of "ans". Errors go to
// the program-wide AppError; the formula error stays attached for the message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/job.h"
#include "calc/variables.h"
#include "core/decfloat.h"
#include "formula/variable_table.h"
#include "integer/number.h"

inline constexpr std::int64_t kMaxValueLength = 88661;  // result text and variable values
inline constexpr std::int64_t kMaxDisplayedDigits = 10000;
inline constexpr std::int64_t kGuardDigits = 2;

enum NotationMode : int {
  kNotationAuto = 0,
  kNotationFixed = 1,
  kNotationScientific = 2,
  kNotationMixed = 3,  // rational only; the other types show it as automatic
};

struct CalculatorState {
  std::uint32_t number_type = kTypeReal;
  std::int64_t digits = 16;           // D, displayed
  std::int64_t guard = kGuardDigits;  // working digits are D + guard
  int base = 10;                      // 2, 8, 10 or 16; 10 for every type but uint
  int selected_base = 10;             // the base selector, kept while another type is chosen
  bool lower_hex = false;
  int notation = kNotationAuto;
  bool grouping = false;

  std::vector<Word> result_value;
  std::uint32_t result_type = kTypeNone;
  std::int64_t result_working_digits = 0;
  std::int64_t result_limbs = 0;
  std::u16string result_text;            // the value of "ans"; empty when it did not fit
  std::u16string result_field;           // what the result field shows
  std::int32_t result_digit_count = -1;  // uint outside scientific notation, else -1
  bool has_result = false;
  bool result_current = false;
  bool inexact = false;
  bool settings_changed = false;
};

std::int64_t working_digits(const CalculatorState& s);

// Decimal digits a BigUInt of the type holds (numerator and denominator each for rationals).
std::int64_t integer_capacity(std::uint32_t type);

// Displayed digits D (1..10000; with guard 0 up to 10005): the DecFloat precision becomes the
// working digits; outside the range MathStatus 100 and the precision stays.
void calc_set_precision(CalculatorState& s, std::int64_t digits);
// Stores the type and sets the global NumberType, BigUInt size and output base.
void calc_set_number_type(CalculatorState& s, std::uint32_t type);
// The base selector's text: "2", "8", "10" or "16"; anything else (or more than 11 characters)
// counts as 10.
int calc_base_from_text(std::u16string_view text);
void calc_set_base(CalculatorState& s, int base);
// Sets NumberType, the DecFloat precision and the BigUInt size from the state.
void calc_apply_sizes(const CalculatorState& s);

// Appends the ")" that the formula lacks; returns how many.
int append_missing_parens(std::u16string& formula);

// One calculation as the worker runs it. Needs no application error pending (else it does
// nothing and returns false). Falls back from rational to real when the rational evaluation
// fails (fell_back then true and the state's type is real). Returns true on success; on failure
// AppError holds 1007 (formula error attached) or 9003 (stopped).
bool calc_evaluate(CalculatorState& s, const char16_t* formula, const VariableTable& variables,
                   bool* fell_back = nullptr);

// One calculation as a self-contained job. The window thread fills it (calc_prepare_job), a
// worker runs it (calc_run_job) on copies of the state, the formula and the variables with the
// window thread's number settings, and after the completion the window takes the answer
// (calc_finish_job). Stop: job.stop.request() from any thread.
struct CalcJob : JobBase {
  CalculatorState state;  // the window's state as it was; the result lands here
  std::u16string formula;
  std::vector<UserVariable> variables;
  bool ok = false;
  bool fell_back = false;
};
void calc_prepare_job(CalcJob& job, const CalculatorState& s, std::u16string_view formula,
                      const std::vector<UserVariable>& variables);
void calc_run_job(CalcJob& job);
// True on success: the result moves into `s` (whose type becomes real after a fallback).
// Otherwise the job's errors become this thread's records, ready for show_app_error.
bool calc_finish_job(CalculatorState& s, CalcJob& job);

// Writes the result text and the result field of the stored result in the current notation and
// base. Nothing is written while an application error is pending.
void calc_format_result(CalculatorState& s);

// "F↔S" and "R↔M": change the notation of a current result and format it again. Return false
// (and change nothing) when the toggle does not apply.
bool calc_toggle_notation(CalculatorState& s);
bool calc_toggle_mixed(CalculatorState& s);
