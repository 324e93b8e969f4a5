// Pieces every equation page shares: preparing the number type of one operation, reading a
// coefficient cell through the formula engine, the text of a value and turning a leftover
// MathStatus into the page's error.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "formula/variable_table.h"
#include "integer/number.h"

// Longest coefficient text a cell may hold; one character more is refused.
inline constexpr int kMaxCoefficientText = 1030;

// Clears AppError, makes `type` current and sizes it: rationals 26 limbs (500 decimal digits),
// real and complex `working_digits`. Resets the scientific thresholds to -4 and 10.
void prepare_solver_numbers(std::uint32_t type, std::int64_t working_digits);

// Reads one cell into `out`: leading blanks and tabs skipped, an empty text is 0, anything else
// a formula. A text above kMaxCoefficientText records `too_long_code`, a formula error
// `formula_code`, both with the two parameters. False when an error was recorded.
struct CoefficientErrors {
  std::uint32_t too_long_code;
  std::uint32_t formula_code;
  const char16_t* param1;
  const char16_t* param2;
};
bool read_coefficient_cell(std::u16string_view cell, const VariableTable* variables, NumValue* out,
                           const CoefficientErrors& errors);

// The text of a value of the current type with the given format flags.
std::u16string solver_value_text(const NumValue* v, std::uint32_t flags);

// A MathStatus left by the arithmetic becomes the error: 207 stopped, 300 buffer overflow,
// 400 internal, any other overflow. The status is cleared.
void solver_status_to_error();

// ASCII text (digits, names) as UTF-16.
std::u16string ascii16(std::string_view s);
std::u16string decimal_text(std::int64_t v);
// Joins pieces by appending; "literal + string" trips a false -Wrestrict in GCC 12.
std::u16string join_text(std::initializer_list<std::u16string_view> parts);
// solver_value_text for a value of the given type, whatever type is current.
std::u16string number_text_as(std::uint32_t type, const NumValue* v, std::uint32_t flags);
