#include "solvers/coefficient_cells.h"

#include "app/app_error.h"
#include "formula/formula.h"

CellRead evaluate_cell(const std::u16string& cell, const VariableTable* variables, NumValue* out) {
  std::size_t start = 0;
  while (start < cell.size() && (cell[start] == u' ' || cell[start] == u'\t')) ++start;
  if (start == cell.size()) {
    num_set_zero(out);
    return CellRead::Empty;
  }
  // The engine reads up to a NUL; a NUL inside the cell ends the formula there.
  const std::u16string formula = cell.substr(start);
  FormulaContext ctx;
  ctx.text = formula.c_str();
  ctx.variables = variables;
  ctx.result = out;
  evaluate_formula(ctx);
  return g_formula_error.code != 0 ? CellRead::FormulaFailed : CellRead::Value;
}

void status_to_app_error() {
  const MathStatus s = math_status();
  if (s == MathStatus::Ok) return;
  set_app_error(s == MathStatus::Cancelled        ? kAppErrorStopped
                : s == MathStatus::BufferTooSmall ? kAppErrorBufferOverflow
                : s == MathStatus::InternalLimit  ? kAppErrorInternal
                                                  : kAppErrorOverflow);
  clear_status();
}

std::u16string ascii_text(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

std::u16string decimal_text(std::int64_t v) {
  return ascii_text(std::to_string(v));
}

std::u16string join_text(std::initializer_list<std::u16string_view> parts) {
  std::u16string s;
  for (std::u16string_view p : parts) s.append(p);
  return s;
}

std::u16string number_text(const NumValue* v, std::uint32_t flags) {
  std::u16string buf(static_cast<std::size_t>(num_format(nullptr, 0, v, flags)) + 1, u'\0');
  const std::int64_t n =
      num_format(buf.data(), static_cast<std::int64_t>(buf.size()) - 1, v, flags);
  buf.resize(static_cast<std::size_t>(n));
  return buf;
}

std::u16string number_text_as(std::uint32_t type, const NumValue* v, std::uint32_t flags) {
  const std::uint32_t outer = NumberType;
  NumberType = type;
  std::u16string text = number_text(v, flags);
  NumberType = outer;
  return text;
}
