// Correct rounding of the real functions by Ziv's loop.
//
// A kernel run at P + g digits is within `bound` units of its last place of the exact value.
// Narrowed to P digits it leaves the dropped digits D (a fraction of a unit at P); the rounding
// half up is decided unless D lies within bound * 10^-g of one half. Then the attempt is
// repeated with twice the guard digits, until the rounding is decided or the guard digits pass
// P + kZivSlack (and P + g kZivMaxDigits, where the constant tables end): a value that close to a
// midpoint is taken for the midpoint itself (exact midpoints occur for algebraic results such
// as 2.5^2 at two digits; for transcendental values of a P-digit argument the nearest approach to a
// midpoint is far above 10^-(2P + 40)). A retry that fails (a constant table too short for its
// precision, status 400) leaves the last attempt's result in force, rounded by the same midpoint
// rule.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/decfloat.h"

inline constexpr std::int64_t kZivSlack = 40;
// The constant tables hold 10,640 digits; the kernels add fewer than 240 digits of their own.
inline constexpr std::int64_t kZivMaxDigits = 10400;

// Whether the round limb rl of a narrowing from P + g digits decides the rounding half up
// when the value before narrowing may be off by up to `bound` units in its last place.
bool rounding_decided(Word rl, std::int64_t g, std::uint64_t bound);

// Retries taken since the last reset, on this thread (cost measurements and tests).
std::uint64_t ziv_retry_count();
void reset_ziv_retry_count();
void count_ziv_retry();

// attempt(out, g) computes the function at P + g digits and narrows it into out at P,
// returning the round limb (with_guard_digits does exactly that). The result in dst is rounded.
template <class Attempt>
void round_by_ziv(DecFloat* dst, std::int64_t g, std::uint64_t bound, Attempt&& attempt) {
  // dst may be an operand that later attempts still read: results stay apart until the end.
  ScratchScope scope;
  DecFloat* cur = scratch_dec();
  const std::uint32_t status_before = g_arith.status;
  Word rl = attempt(cur, g);
  bool decided =
      is_special(cur) || g_arith.status != status_before || rounding_decided(rl, g, bound);
  if (!decided) {
    DecFloat* again = scratch_dec();
    const std::int64_t p = g_arith.precision;
    const std::int64_t limit = std::min(p + kZivSlack, kZivMaxDigits - p);
    while (!decided && g < limit) {
      g = std::min(2 * g, limit);
      count_ziv_retry();
      const std::uint32_t saved = g_arith.status;
      g_arith.status = 0;
      const Word rl2 = attempt(again, g);
      const bool failed = g_arith.status != 0 || is_special(again);
      g_arith.status = saved;
      if (failed) break;
      dec_copy(cur, again);
      rl = rl2;
      decided = rounding_decided(rl, g, bound);
    }
    if (!decided) rl = kHalfLimb;  // within the bound of the midpoint: the midpoint
  }
  dec_copy(dst, cur);
  apply_rounding(dst, rl);
}

// The common case: f(r, a[, b]) -> round_limb as the kernel, run through with_guard_digits.
template <class F>
void round_kernel_by_ziv(DecFloat* dst, std::int64_t g, std::uint64_t bound, F&& f,
                         const DecFloat* a) {
  round_by_ziv(dst, g, bound,
               [&](DecFloat* out, std::int64_t gg) { return with_guard_digits(gg, f, out, a); });
}
template <class F>
void round_kernel_by_ziv(DecFloat* dst, std::int64_t g, std::uint64_t bound, F&& f,
                         const DecFloat* a, const DecFloat* b) {
  round_by_ziv(dst, g, bound,
               [&](DecFloat* out, std::int64_t gg) { return with_guard_digits(gg, f, out, a, b); });
}
