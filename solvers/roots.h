// All roots of a polynomial of degree 1..10 with complex DecFloat coefficients, each to P
// significant digits, with multiplicities. The roots are found at a few digits and refined one
// by one by Newton's method at doubling precision, each verified to P digits; what cannot be
// verified comes from the simultaneous (Durand-Kerner) iteration at a raised working precision
// W, whose convergence is decided by six rounded values per root part.
//
// Errors go to the AppError record (first wins): 9000 for broken preconditions, 2001 when the
// iteration does not settle within 3·m·P sweeps, 9003 when the user stopped. The precision in
// force on entry is restored on every path.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/complex.h"

inline constexpr int kMaxRootDegree = 10;

// Coefficients c_0..c_n (c_k belongs to x^k), complex, at `digits` significant digits.
struct RootPolynomial {
  std::int64_t degree = 0;
  std::int64_t digits = 0;
  std::vector<Word> words;  // (degree + 1) complex records of `digits` digits
};

// Number of words of one complex value at `digits` digits.
std::size_t complex_words_at(std::int64_t digits);
// Sizes the record for degree n at the current precision, all coefficients zero.
void root_polynomial_init(RootPolynomial& p, std::int64_t degree);
Complex* root_coefficient(RootPolynomial& p, std::int64_t k);
const Complex* root_coefficient(const RootPolynomial& p, std::int64_t k);

enum SolveFlags : std::uint32_t {
  kKeepDuplicates = 1,
  kRealOnly = 2,
};

struct RootSet {
  std::int64_t count = 0;    // -1: the solve failed (see AppError)
  std::int64_t digits = 0;   // precision of the stored values
  std::vector<Word> values;  // kMaxRootDegree complex records
  std::array<std::u16string, kMaxRootDegree> exact;
  std::array<std::int64_t, kMaxRootDegree> multiplicity{};
};

Complex* root_value(RootSet& r, std::int64_t i);
const Complex* root_value(const RootSet& r, std::int64_t i);

// W = ceil(1000·P / T) with T from the table indexed by min(n, 10).
std::int64_t root_working_digits(std::int64_t degree, std::int64_t target_digits);

// The whole procedure: P = target digits (at most the current precision).
void ApproximateRoots(const RootPolynomial& p, std::int64_t target_digits, std::uint32_t flags,
                      RootSet& result);

// The same result by the simultaneous iteration at the working precision throughout, which
// ApproximateRoots uses only for the roots that its refinement cannot verify.
void ApproximateRootsByIteration(const RootPolynomial& p, std::int64_t target_digits,
                                 std::uint32_t flags, RootSet& result);

// The iteration on a monic polynomial c_0..c_m (2 <= m <= 10, c_0 != 0) at the current
// precision; writes m roots rounded to P digits into roots (m complex records). False on failure
// with the error recorded.
bool DurandKerner(const Complex* c, std::int64_t m, std::int64_t target_digits, Complex* roots);

// c_0 + c_1 z + ... + c_m z^m with the powers carried along.
void EvaluatePolynomial(Complex* out, const Complex* c, std::int64_t m, const Complex* z);

// ring[0..5] holds the last six rounded values of one part, ring[s] the newest. True when the
// part merely drifts about zero and should become 0.
bool SnapToZero(const DecFloat* const ring[6], int s);

void SortRoots(RootSet& r);
void MergeEqualRoots(RootSet& r);
void KeepRealRoots(RootSet& r);
