// What the equation pages share when they read coefficient cells and report: one cell read
// through the formula engine, a leftover MathStatus turned into the page's error, and the small
// text helpers of their result fields.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "formula/variable_table.h"
#include "integer/number.h"

// A cell with more characters than this is refused before it is evaluated.
inline constexpr int kMaxCoefficientText = 1030;

enum class CellRead { Empty, Value, FormulaFailed };

// Skips leading blanks and tabs; an empty cell gives 0 of the current type, anything else is
// evaluated into `out` in the current NumberType.
CellRead evaluate_cell(const std::u16string& cell, const VariableTable* variables, NumValue* out);

// A leftover status becomes the page's error: 207 → 9003, 300 → 9002, 400 → 9000, any other
// → 1001. The status is cleared.
void status_to_app_error();

std::u16string ascii_text(const std::string& s);
std::u16string decimal_text(std::int64_t v);
// Joins pieces by appending; "literal + string" trips a false -Wrestrict in GCC 12.
std::u16string join_text(std::initializer_list<std::u16string_view> parts);
// The text of one value of the current type.
std::u16string number_text(const NumValue* v, std::uint32_t flags);
// The same for a value of the given type, whatever type is current.
std::u16string number_text_as(std::uint32_t type, const NumValue* v, std::uint32_t flags);
