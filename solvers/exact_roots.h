// Exact roots of a polynomial with rational coefficients: rational roots identified among the
// approximations and divided off, a remaining linear or quadratic factor solved in closed form
// (rational texts, square roots and the imaginary unit). Roots that cannot be identified keep
// their approximation only.
//
// All rational work runs at the current BigUInt size (the equation page uses 2 limbs, so
// numerators and denominators have at most 128 bits); an overflow on the way only costs the
// exact text of the roots concerned. A text that does not fit records 9002, a quadratic factor
// without two unidentified entries 9000.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "integer/rational.h"
#include "solvers/roots.h"

// Exact texts are at most this long; a longer one ends in "…" at this length.
inline constexpr int kExactTextLength = 228;

// Coefficients q_0..q_n (q_k belongs to x^k) at the BigUInt size current at init.
struct RationalPolynomial {
  std::int64_t degree = 0;
  std::vector<Word> words;
};
void rational_polynomial_init(RationalPolynomial& p, std::int64_t degree);  // all 0/1
Rational* rational_coefficient(RationalPolynomial& p, std::int64_t k);
const Rational* rational_coefficient(const RationalPolynomial& p, std::int64_t k);

// "-3/2"; with kShowPlusSign a non-negative value starts with "+".
std::u16string rational_text(const Rational* r, std::uint32_t flags);
// Stores the exact text of entry k, cut to 227 characters and "…" (recording 9002) when longer.
void set_exact_text(RootSet& roots, std::int64_t k, std::u16string text);

// Entry k gets the text of -q_0/q_1; its value stays.
void ExactLinear(const RationalPolynomial& p, RootSet& roots, std::int64_t k);
// Entries k1 and k2 get the closed forms r ± s·sqrt(m) of q_2 x² + q_1 x + q_0 and, when both
// texts exist, the values of the quadratic formula rounded to target_digits.
void ExactQuadratic(const RationalPolynomial& p, RootSet& roots, std::int64_t k1, std::int64_t k2,
                    std::int64_t target_digits);
// m = a²·b with b free of square factors (a = 0, b = 1 for m = 0): from the prime factors of m
// below 2^128, else (and after a stop) by SquarePartTrialDivision.
void SquarePart(const BigUInt* m, BigUInt* a, BigUInt* b);
// The same by trial division up to the cube root of what is left, with perfect squares and cubes
// taken out whole; slow for large m with two big prime factors, stoppable.
void SquarePartTrialDivision(const BigUInt* m, BigUInt* a, BigUInt* b);
// Horner's scheme: quotient of p by (x - rho); true when rho is a root (the remainder is 0
// and nothing overflowed). The status in force before the call is restored.
bool DivideByLinear(const RationalPolynomial& p, const Rational* rho, RationalPolynomial& quotient);
// Degree 3 and more: the entries of `roots` are the sorted approximations of p (multiplicity
// 1 each) at the current precision, target_digits digits each.
void ExactRoots(const RationalPolynomial& p, RootSet& roots, std::int64_t target_digits);
