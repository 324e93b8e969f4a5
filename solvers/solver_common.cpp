// Shared reading and writing of coefficient values for the equation pages.
#include "solvers/solver_common.h"

#include "app/app_error.h"
#include "core/text.h"
#include "formula/formula.h"
#include "integer/biguint.h"

void prepare_solver_numbers(std::uint32_t type, std::int64_t working_digits) {
  clear_app_error();
  NumberType = type;
  if (type == kTypeRational) {
    biguint_set_digits(500);  // 26 limbs, 1664 bits
  } else {
    set_precision(working_digits);
  }
  g_number_settings.sci_low = -4;
  g_number_settings.sci_high = 10;
}

bool read_coefficient_cell(std::u16string_view cell, const VariableTable* variables, NumValue* out,
                           const CoefficientErrors& errors) {
  num_set_zero(out);
  if (cell.size() > kMaxCoefficientText) {
    set_app_error(errors.too_long_code, errors.param1, errors.param2);
    return false;
  }
  std::size_t start = 0;
  while (start < cell.size() && (cell[start] == u' ' || cell[start] == u'\t')) ++start;
  if (start == cell.size()) return true;
  // The engine reads up to a NUL; a NUL inside the cell ends the formula there.
  const std::u16string formula(cell.substr(start));
  FormulaContext ctx;
  ctx.text = formula.c_str();
  ctx.variables = variables;
  ctx.result = out;
  evaluate_formula(ctx);
  if (g_formula_error.code != 0) {
    set_app_error(errors.formula_code, errors.param1, errors.param2);
    return false;
  }
  return true;
}

std::u16string solver_value_text(const NumValue* v, std::uint32_t flags) {
  std::u16string buf(static_cast<std::size_t>(num_format(nullptr, 0, v, flags)) + 1, u'\0');
  const std::int64_t n =
      num_format(buf.data(), static_cast<std::int64_t>(buf.size()) - 1, v, flags);
  buf.resize(static_cast<std::size_t>(n));
  return buf;
}

void solver_status_to_error() {
  const MathStatus s = math_status();
  if (s == MathStatus::Ok) return;
  set_app_error(s == MathStatus::Cancelled        ? kAppErrorStopped
                : s == MathStatus::BufferTooSmall ? kAppErrorBufferOverflow
                : s == MathStatus::InternalLimit  ? kAppErrorInternal
                                                  : kAppErrorOverflow);
  clear_status();
}

std::u16string ascii16(std::string_view s) {
  return std::u16string(s.begin(), s.end());
}

std::u16string decimal_text(std::int64_t v) {
  return ascii16(std::to_string(v));
}

std::u16string join_text(std::initializer_list<std::u16string_view> parts) {
  std::u16string s;
  for (std::u16string_view p : parts) s.append(p);
  return s;
}

std::u16string number_text_as(std::uint32_t type, const NumValue* v, std::uint32_t flags) {
  const std::uint32_t outer = NumberType;
  NumberType = type;
  std::u16string text = solver_value_text(v, flags);
  NumberType = outer;
  return text;
}
