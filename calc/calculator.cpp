#include "calc/calculator.h"

#include <utility>

#include "app/app_error.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"
#include "integer/biguint.h"

std::int64_t working_digits(const CalculatorState& s) {
  return s.digits + s.guard;
}

std::int64_t integer_capacity(std::uint32_t type) {
  switch (type) {
    case kTypeUInt:
      return 20000;
    case kTypeRational:
      return 10000;  // numerator and denominator each; cross products need twice the limbs
    default:
      return 1;
  }
}

void calc_apply_sizes(const CalculatorState& s) {
  NumberType = s.number_type;
  biguint_set_limbs(
      biguint_limbs_of_digits(static_cast<std::uint64_t>(integer_capacity(s.number_type))));
  set_precision(working_digits(s));
}

void calc_set_precision(CalculatorState& s, std::int64_t digits) {
  if (digits < 1 || digits + s.guard > kMaxPrecision) {
    set_status(MathStatus::InvalidSetting);
    return;
  }
  s.digits = digits;
  set_precision(working_digits(s));
  s.result_current = false;
}

void calc_set_number_type(CalculatorState& s, std::uint32_t type) {
  s.number_type = type;
  s.base = type == kTypeUInt ? s.selected_base : 10;
  calc_apply_sizes(s);
  s.result_current = false;
}

int calc_base_from_text(std::u16string_view text) {
  if (text.size() > 11) return 10;
  if (text == u"2") return 2;
  if (text == u"8") return 8;
  if (text == u"16") return 16;
  return 10;
}

void calc_set_base(CalculatorState& s, int base) {
  s.selected_base = (base == 2 || base == 8 || base == 16) ? base : 10;
  s.base = s.number_type == kTypeUInt ? s.selected_base : 10;
}

int append_missing_parens(std::u16string& formula) {
  std::int64_t open = 0;
  for (char16_t c : formula) {
    if (c == u'(') ++open;
    if (c == u')') --open;
  }
  int added = 0;
  for (; open > 0; --open, ++added) formula.push_back(u')');
  return added;
}

namespace {

// One pass of the engine into `value`, sized for the current type; true on success.
bool run_formula(const char16_t* formula, const VariableTable& variables, std::vector<Word>& value,
                 bool* inexact) {
  value.assign(num_words(), 0);
  if (value.empty()) return false;  // unknown type: status 102 is set
  FormulaContext ctx;
  ctx.text = formula;
  ctx.flags = kAllowGrouping;
  ctx.variables = &variables;
  ctx.result = value.data();
  evaluate_formula(ctx);
  *inexact = ctx.inexact != 0;
  return g_formula_error.code == 0 && math_status() == MathStatus::Ok;
}

}  // namespace

bool calc_evaluate(CalculatorState& s, const char16_t* formula, const VariableTable& variables,
                   bool* fell_back) {
  if (fell_back) *fell_back = false;
  if (app_error_code() != 0) return false;
  // A worker owns its block; a caller that already has one keeps it.
  const bool own_scratch = t_scratch.base == nullptr;
  if (own_scratch) thread_scratch_init();

  calc_apply_sizes(s);
  // The evaluation stack (50 values), the variable cache (100 values) and the texts around
  // them must fit the thread's block at the largest sizes, so grow it for the current type.
  thread_scratch_reserve(kThreadScratchBytes + 200 * num_size());
  std::vector<Word> value;
  bool inexact = false;
  bool ok = run_formula(formula, variables, value, &inexact);

  if (!ok && s.number_type == kTypeRational && g_formula_error.code != kFormulaCancelled &&
      math_status() != MathStatus::Cancelled) {
    // Exact arithmetic could not express the result (a root, a logarithm, ...): try real.
    clear_formula_error();
    clear_status();
    NumberType = kTypeReal;
    set_precision(working_digits(s));
    ok = run_formula(formula, variables, value, &inexact);
    if (ok) {
      calc_set_number_type(s, kTypeReal);
      s.settings_changed = true;
      if (fell_back) *fell_back = true;
    } else {
      NumberType = kTypeRational;
    }
  }

  if (!ok) {
    if (g_formula_error.code == kFormulaCancelled || math_status() == MathStatus::Cancelled) {
      set_app_error(kAppErrorStopped);
    } else {
      set_app_error(kAppErrorFormula);
    }
    if (own_scratch) thread_scratch_free();
    return false;
  }

  s.inexact = inexact;
  if (NumberType == kTypeReal || NumberType == kTypeComplex) {
    num_round_digits(value.data(), value.data(), s.digits);
  } else if (NumberType != kTypeUInt && NumberType != kTypeRational) {
    set_status(MathStatus::UnknownNumberType);
  }
  if (math_status() != MathStatus::Ok) {
    set_app_error(kAppErrorFormula);
    if (own_scratch) thread_scratch_free();
    return false;
  }
  s.result_value = std::move(value);
  s.result_type = NumberType;
  s.result_working_digits = working_digits(s);
  s.result_limbs = BigUIntLimbs;
  s.result_current = false;  // until the result is formatted
  if (own_scratch) thread_scratch_free();
  return true;
}

void calc_prepare_job(CalcJob& job, const CalculatorState& s, std::u16string_view formula,
                      const std::vector<UserVariable>& variables) {
  job.context = capture_context();
  job.stop = StopFlag{};
  job.errors = JobErrors{};
  job.state = s;
  job.state.result_value.clear();  // the worker computes a new one; "ans" is its text
  job.formula.assign(formula);
  job.variables = variables;
  job.ok = job.fell_back = false;
}

void calc_run_job(CalcJob& job) {
  run_job(job, &g_formula_error, [&job] {
    VariableTableStorage storage;
    build_variable_table(storage, job.state.result_text, job.variables);
    job.ok = calc_evaluate(job.state, job.formula.c_str(), storage.table, &job.fell_back);
  });
}

bool calc_finish_job(CalculatorState& s, CalcJob& job) {
  adopt_job_errors(job.errors);
  if (!job.ok || app_error_code() != 0) return false;
  if (job.fell_back) {
    calc_set_number_type(s, kTypeReal);
    s.settings_changed = true;
  }
  s.result_value = std::move(job.state.result_value);
  s.result_type = job.state.result_type;
  s.result_working_digits = job.state.result_working_digits;
  s.result_limbs = job.state.result_limbs;
  s.inexact = job.state.inexact;
  s.result_current = false;
  return true;
}
