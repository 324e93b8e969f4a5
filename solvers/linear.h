// Systems of 2 to 25 linear equations in real, complex or rational numbers: elimination to
// row echelon form, the solution with free parameters when the system leaves variables open,
// and the solution's text.
//
// Failures go to the AppError record: a MathStatus becomes 9003 (207), 9002 (300), 9000 (400)
// or 1001 (any other, a number type other than real, complex or rational included).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "integer/number.h"

inline constexpr std::int64_t kMinEquations = 2;
inline constexpr std::int64_t kMaxEquations = 25;

// n rows of n + 1 values of the current type (a_i1 .. a_in, b_i), reached through row
// references so that a row exchange moves no numbers.
struct LinearSystem {
  std::int64_t n = 0;
  std::vector<Word> storage;
  std::vector<NumValue*> rows;
};
// Sizes the system for the current type with every value 0.
void linear_system_init(LinearSystem& s, std::int64_t n);
NumValue* linear_value(LinearSystem& s, std::int64_t row, std::int64_t column);

struct LinearSolution {
  std::uint32_t flags = 0;  // number text flags, kAllowGrouping or 0
  std::int64_t digits = 0;  // P
  std::int64_t count = 0;   // n, or -1 when the system has no solution
  std::int64_t free = 0;    // f
  // Variable i has f + 1 values: the constant term, then the coefficient of parameter p.
  std::vector<Word> values;
};
const NumValue* solution_value(const LinearSolution& s, std::int64_t variable,
                               std::int64_t component);

// Solves `system` (changed in place) in the current type; real and complex need the working
// precision set (digits + 2 + n / 4). Real and complex results are rounded to `digits`.
void SolveLinearSystem(LinearSystem& system, std::int64_t digits, std::uint32_t flags,
                       LinearSolution& out);

// The result field's text with "\r\n" line ends.
std::u16string FormatSolution(const LinearSolution& s);

// r, s, t, u, v1, v2, ... for k = 1, 2, ...
std::u16string FreeParameterName(std::int64_t k);
