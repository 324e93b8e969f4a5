// Internal helpers and small tables of the elementary functions: precision switches, checked
// constant loads, leading digits, the reduction and seed tables, exact powers of two.
#pragma once

#include <cstdint>

#include "core/arith.h"
#include "core/constants.h"
#include "core/decfloat.h"
#include "core/elementary.h"
#include "core/word_arith.h"

namespace elem {

// --- small tables (elementary_tables.cpp) ------------------------------------------------
struct WordPower {
  std::uint64_t value;
  std::uint64_t recip;  // reciprocal_of(value) for dec_div_word
};
extern const WordPower kPow12[14];   // 12^0 .. 12^13
extern const WordPower kPow101[10];  // 101^0 .. 101^9

// Reduction by powers of one factor (1.2 or 1.01). For the logarithm, lower[j] holds the
// leading nine digits of factor^(j - 0.5) (values >= 1 at or above it are divided by
// factor^j) and upper[j] those of factor^-(j - 0.5) (values below 1 at or below it are
// multiplied by factor^j); entry 0 is 1 and only marks the identity. For the exponential,
// half_steps[j] = (j + 0.5) ln factor scaled by 10^9: |f| at or above it is reduced by
// j + 1 steps or more.
struct ReductionTable {
  const WordPower* powers;  // factor^j times 10^(exponent_step j)
  std::int64_t exponent_step;
  int log_entries;
  const std::uint32_t* lower;
  const std::uint32_t* upper;
  int exp_entries;
  const std::uint64_t* half_steps;
};
extern const ReductionTable kReduce12;
extern const ReductionTable kReduce101;

// Root seeds: the seed s (scaled by 10^6) belongs to values from its threshold on
// ((s - 0.02)^2, respectively (s - 0.02)^3, scaled by 10^6), s = 1.00, 1.04, ..., 2.00.
struct SeedPair {
  std::uint32_t threshold;
  std::uint32_t seed;
};
extern const SeedPair kSqrtSeeds[26];
extern const SeedPair kCbrtSeeds[26];

// Exact powers of two in the constant-table layout.
extern const ConstantTable<2> kTwoPow64;
extern const ConstantTable<3> kTwoPowMinus64;
extern const ConstantTable<3> kTwoPow128;
extern const ConstantTable<5> kTwoPowMinus128;

// Factorial threshold points (precision, n): from n on, Stirling's series is faster.
struct ThresholdPoint {
  std::int64_t precision;
  std::uint64_t n;
};
extern const ThresholdPoint kFactorialThresholds[42];

// --- helpers (elementary_util.cpp) ----------------------------------------------------------
// Loads a table at the current precision; a precision beyond the digits the table holds
// exactly sets status 400. Tracks the highest precision asked for.
Word load_checked(DecFloat* x, const ConstantTableHeader& head, const Word* limbs);
template <std::size_t N>
Word load_checked(DecFloat* x, const ConstantTable<N>& t) {
  return load_checked(x, t.head, t.limbs);
}

// Limbs a value may drop when only the digits down to `digits_below` places under the
// leading digit of a sum matter: (digits_below - lost) / 19, at most n - 1.
std::int64_t trim_limbs(std::int64_t digits_lost);
// Zeros the last `limbs` limbs of a record of the current precision.
void clear_tail(DecFloat* x, std::int64_t limbs);

// The first 19 mantissa digits as an integer in [10^18, 10^19).
std::uint64_t leading19(const DecFloat* x);
inline std::uint32_t leading9(const DecFloat* x) {
  return static_cast<std::uint32_t>(leading19(x) / 10000000000ULL);
}

// x with its exponent replaced (a normal x); exact.
inline void set_exponent_raw(DecFloat* x, std::int64_t e) {
  x[0] = static_cast<Word>(e) * 2 + (x[0] & 1);
}
inline void dec_one(DecFloat* x) {
  dec_from_word(x, 1);
}

// Runs f(r, a) at the current precision + extra on a widened copy of a and narrows r into
// dst; returns the round_limb of the narrowing (no rounding applied). Any extra >= 0.
template <class F>
Word raised(std::int64_t extra, DecFloat* dst, const DecFloat* a, F&& f) {
  return with_guard_digits(
      extra,
      [&f](DecFloat* r, const DecFloat* wa) {
        f(r, wa);
        return Word{0};
      },
      dst, a);
}

// sum_{k >= 0} z^k / (d(1) d(2) ... d(k)) for |z| < 1 and words d(l) >= 1 that grow with l,
// truncated at the current precision, by rectangular splitting: the powers z^1 .. z^m once,
// then a Horner scheme over blocks of m terms (one full product per block, one word division
// and one addition per term), each block at the limbs its weight still reaches.
// Error: every operation truncates once (at most one unit of the last place of its value);
// the values stay below 2 and each error is only ever multiplied by factors below 1 afterwards,
// and the tail left out is below 2 * 10^-(P+1). Total: at most 3 terms + 3 units in the last
// place of a sum near 1 (the caller's guard digits cover digit_count(3 terms) + 1).
using ChainDivisor = std::uint64_t (*)(std::uint64_t l);
std::uint64_t chain_series(DecFloat* sum, const DecFloat* z, ChainDivisor d);
// Terms chain_series takes at the current precision (for the caller's guard digits).
std::uint64_t chain_terms(const DecFloat* z, ChainDivisor d, std::int64_t digits);

// Runs body(r, wx) at `digits` digits on x (of the current precision) widened or truncated to
// them, and writes r truncated (or widened) to `out_digits` into dst.
template <class Body>
void run_at_digits(std::int64_t digits, DecFloat* dst, std::int64_t out_digits, const DecFloat* x,
                   Body&& body) {
  const std::int64_t p = g_arith.precision;
  ScratchScope scope;
  DecFloat* wx = scratch_alloc(dec_words_for(digits) + 1);
  DecFloat* wr = scratch_alloc(dec_words_for(digits) + 1);
  realign(wx, digits, x, p);
  {
    ContextScope gp = ContextScope::precision(digits);
    body(wr, wx);
  }
  realign(dst, out_digits, wr, digits);
}

// exp kernel at the current precision with `extra` digits of its own: for callers whose
// argument already carries the digits that its size needs.
Word exp10_with_extra(DecFloat* dst, const DecFloat* x, ExpMode mode, std::int64_t extra);
// atan(y / x) for x != 0 at the current precision, truncated, like dec_atan_kernel on the
// quotient; at high precision without forming the quotient in full.
Word atan_ratio_kernel(DecFloat* dst, const DecFloat* y, const DecFloat* x);
// Natural logarithm of a positive normal x at the current precision (no specials).
void ln_positive(DecFloat* dst, const DecFloat* x);

// exp(c * ln a) for a positive normal a, with c = *y (kind Mul), 1 / n (DivWord) or
// 1 / *y (Div); the precision is raised by the digits the size of c ln a costs.
enum class ScaleKind { Mul, DivWord, Div };
Word exp_of_scaled_log(DecFloat* dst, const DecFloat* a, ScaleKind kind, const DecFloat* y,
                       std::uint64_t n);

}  // namespace elem

// sqrt(m) for 1 <= m < 100 truncated to P digits with the exact round limb, from the integer
// root with remainder (sqrt_rem.cpp), below kNewtonSqrtLimbs limbs; exponent 0. False when the
// root has an unexpected length (the caller then takes the plain iteration).
bool dec_sqrt_by_remainder(DecFloat* dst, const DecFloat* m, Word* rl);
// floor(sqrt(t)) for t < 10^38 (two limbs).
Word isqrt_two_limbs(u128 t);
// The same from Newton's reciprocal square root (md: m as a double), checked exactly next to a
// truncation boundary, from kNewtonSqrtLimbs limbs on (measured against the root with
// remainder, with the vector products: 6.5 against 6.2 us at 1,000 digits, 7.3 against 7.5 at
// 1,140, 5.3 against 4.1 at 760; the root with remainder against the plain iteration: 4.5
// against 6.5 thousand instructions at 19 digits, 6.3 against 18.6 us at 1,000).
inline constexpr std::int64_t kNewtonSqrtLimbs = 60;
bool dec_sqrt_newton(DecFloat* dst, const DecFloat* m, double md, Word* rl);
