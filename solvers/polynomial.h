// Polynomial calculation: sums, differences, products, powers and division with remainder of
// polynomials up to degree 20 whose coefficients are values of the current NumberType (real,
// complex or rational), read from coefficient texts through the formula engine.
//
// Failures go to the AppError record (first wins): 3300/3301 reading a coefficient, 3302 a
// result above degree 20, 3303 a bad exponent, 1002 a zero divisor, and a MathStatus turned
// into 9003 (207), 9002 (300), 9000 (400) or 1001 (any other). The formula engine needs the
// calling thread's ThreadScratch.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "formula/variable_table.h"
#include "integer/number.h"
#include "solvers/coefficient_cells.h"

inline constexpr int kMaxPolyDegree = 20;

// 21 coefficient slots c_0..c_20 of the type and sizes current when it was initialised.
struct Polynomial {
  std::vector<Word> words;
};

void polynomial_init(Polynomial& p);  // all zero
NumValue* poly_coef(Polynomial& p, int k);
const NumValue* poly_coef(const Polynomial& p, int k);
// The highest k >= 1 with c_k non-zero, or 0.
int poly_degree(const Polynomial& p);

// The settings of one operation: makes the type current and sets its working size (real and
// complex P + 3 digits; rational 26 limbs with 500 decimal digits), resets the scientific
// thresholds to -4 and 10, clears AppError, MathStatus and the stop request.
void PreparePolynomialOperation(std::uint32_t type, std::int64_t digits);

// texts[0..D] are the cells a_D..a_0 of row `row`; coefficients above D become 0.
bool ReadPolynomial(const std::vector<std::u16string>& texts, int row,
                    const VariableTable* variables, Polynomial& out);

// Results are rounded to `digits` for real and complex.
void AddPolynomials(const Polynomial& a, const Polynomial& b, bool subtract, Polynomial& r,
                    std::int64_t digits);
void MultiplyPolynomials(const Polynomial& a, const Polynomial& b, Polynomial& r,
                         std::int64_t digits);
void DividePolynomials(const Polynomial& a, const Polynomial& b, Polynomial& q, Polynomial& r,
                       std::int64_t digits);
// r = a^e with e the constant value of b, a whole number 0..20 (else 3303). Returns e, or -1.
int PowerPolynomial(const Polynomial& a, const Polynomial& b, Polynomial& r, std::int64_t digits);

// "a2*x^2 + a1*x + a0"; from degree 5 on only the two highest and two lowest terms. Empty
// outside 0..100.
std::u16string PolynomialText(int degree, char16_t letter);

// The result field's text; `stored` receives the text of every coefficient of the result
// (empty above its degree). exponent >= 0 marks a power, remainder a division.
struct PolynomialResult {
  std::u16string text;
  std::array<std::u16string, kMaxPolyDegree + 1> stored;
  bool results_enabled = false;  // Result → P0 / P1 may copy the stored texts
};
void ShowPolynomialResult(const Polynomial& result, char16_t op, int operand_count, int exponent,
                          const Polynomial* remainder, bool grouping, PolynomialResult& out);

// One button press: op is '+', '-', '*', '/' or '^'; rows hold the cell texts a_D..a_0 of
// P0, P1, ... ('/' and '^' need exactly two rows). False with AppError set on failure.
struct PolynomialRequest {
  char16_t op = u'+';
  std::uint32_t type = kTypeReal;
  std::int64_t digits = 10;
  std::vector<std::vector<std::u16string>> rows;
  const VariableTable* variables = nullptr;
  bool grouping = false;
};
bool RunPolynomialOperation(const PolynomialRequest& request, PolynomialResult& out);

// Result → P0 / Result → P1: the 21 cells a20..a0 of the target row from the stored texts
// (empty where none is stored). Raises max_degree to the highest stored coefficient.
std::vector<std::u16string> ResultToRow(const PolynomialResult& result, int& max_degree);
