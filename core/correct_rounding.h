// Correct rounding of the real functions by Ziv's loop.
//
// A kernel run at D = P + g digits is within bound(D) = fixed + per_digit * D units of its last
// place of the exact value (per_digit for series summed without digits of their own, whose
// truncations add up over their roughly D/2 terms).
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
#include "core/word_arith.h"

inline constexpr std::int64_t kZivSlack = 40;

// Guard digits of a first attempt: 8 more than P has digits, so that a bound of up to about
// P + 200 units leaves a retry for roughly one argument in 10^7 or fewer.
inline std::int64_t ziv_first_guard() {
  return digit_count(static_cast<std::uint64_t>(g_arith.precision)) + 8;
}

struct ErrorBound {
  std::uint64_t fixed;
  std::uint64_t per_digit;
  std::uint64_t at(std::int64_t digits) const {
    return fixed + per_digit * static_cast<std::uint64_t>(digits);
  }
};
// The constant tables hold 10,640 digits; the kernels add fewer than 240 digits of their own.
inline constexpr std::int64_t kZivMaxDigits = 10400;

// Whether wide, the function's value at the current precision P + g (g > 0), decides the
// rounding half up to p = P digits when it may be off by up to `bound` units in its last place:
// its digits below p must not lie within `bound` of one half.
bool rounding_decided(const DecFloat* wide, std::int64_t p, std::uint64_t bound);

// Retries taken since the last reset, on this thread (cost measurements and tests).
std::uint64_t ziv_retry_count();
void reset_ziv_retry_count();
void count_ziv_retry();

// attempt(wide, g), called at precision P, computes the function at P + g digits into wide, a
// record of that precision (guarded_words(g) words). The result in dst is correctly rounded.
template <class Attempt>
void round_by_ziv(DecFloat* dst, std::int64_t g, ErrorBound bound, Attempt&& attempt) {
  const std::int64_t p = g_arith.precision;
  const std::int64_t limit = std::max(g, std::min(p + kZivSlack, kZivMaxDigits - p));
  // dst may be an operand that later attempts still read: results stay apart until the end.
  ScratchScope scope;
  DecFloat* result = scratch_dec();
  Word rl = 0;
  for (bool first = true;; first = false) {
    const std::uint32_t saved = g_arith.status;
    if (!first) {
      count_ziv_retry();
      g_arith.status = 0;
    }
    ScratchMark mark = scratch_mark();
    DecFloat* wide = scratch_alloc(guarded_words(g));
    attempt(wide, g);
    bool decided = is_special(wide);
    if (!decided) {
      ContextScope gp = ContextScope::guard(g);
      decided = rounding_decided(wide, p, bound.at(p + g));
    }
    if (!first) {
      // A retry that fails (a table too short for its precision) leaves the last result.
      const bool failed = g_arith.status != 0 || is_special(wide);
      g_arith.status = saved;
      if (failed) break;
    } else if (g_arith.status != saved) {
      decided = true;  // an error: no retry
    }
    rl = narrow(result, wide, g);
    scratch_release(mark);
    if (decided) {
      dec_copy(dst, result);
      apply_rounding(dst, rl);
      return;
    }
    if (g >= limit) break;
    g = std::min(2 * g, limit);
  }
  dec_copy(dst, result);
  apply_rounding(dst, kHalfLimb);  // within the bound of the midpoint: the midpoint
}

// The common case: a kernel f(r, a[, b]) -> round_limb run at P + g digits on widened operands.
template <class F>
void round_kernel_by_ziv(DecFloat* dst, std::int64_t g, ErrorBound bound, F&& f,
                         const DecFloat* a) {
  round_by_ziv(dst, g, bound, [&](DecFloat* wide, std::int64_t gg) {
    ScratchScope s;
    DecFloat* wa = scratch_alloc(guarded_words(gg));
    widen(wa, a, gg);
    ContextScope gp = ContextScope::guard(gg);
    (void)f(wide, wa);
  });
}
template <class F>
void round_kernel_by_ziv(DecFloat* dst, std::int64_t g, ErrorBound bound, F&& f, const DecFloat* a,
                         const DecFloat* b) {
  round_by_ziv(dst, g, bound, [&](DecFloat* wide, std::int64_t gg) {
    ScratchScope s;
    DecFloat* wa = scratch_alloc(guarded_words(gg));
    DecFloat* wb = scratch_alloc(guarded_words(gg));
    widen(wa, a, gg);
    widen(wb, b, gg);
    ContextScope gp = ContextScope::guard(gg);
    (void)f(wide, wa, wb);
  });
}
