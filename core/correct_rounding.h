// Correct rounding of the real functions by Ziv's loop.
//
// An attempt computes the function at P + g digits, within bound(P + g) = fixed + per_digit *
// (P + g) units of that last place of the exact value (per_digit for series summed without
// digits of their own, whose truncations add up over their roughly (P + g)/2 terms). Its digits
// below place P, read as a fraction F of a unit at P, decide the rounding half up unless F lies
// within bound * 10^-g of one half. Then the attempt is repeated with twice the guard digits,
// until the rounding is decided or g reaches P + kZivSlack (or P + g reaches kZivMaxDigits,
// where the constant tables end). A value still that close to a midpoint is taken for the
// midpoint itself: exact midpoints occur for algebraic results (2.5^2 at two digits, 2^-10 at
// six), while the transcendental value of a P-digit argument keeps far more than 10^-(2P + 40)
// away from one. A retry that fails (status 400, a table too short) leaves the last attempt's
// result in force, rounded by the same midpoint rule.
#pragma once

#include <algorithm>
#include <cstdint>

#include "core/decfloat.h"
#include "core/word_arith.h"

inline constexpr std::int64_t kZivSlack = 40;
// The constant tables hold 10,640 digits; the kernels add fewer than 240 digits of their own.
inline constexpr std::int64_t kZivMaxDigits = 10400;

struct ErrorBound {
  std::uint64_t fixed;
  std::uint64_t per_digit;
  std::uint64_t at(std::int64_t digits) const {
    return fixed + per_digit * static_cast<std::uint64_t>(digits);
  }
};

// Guard digits of a first attempt: at least `least`, and as many more as the last limb of
// P + least + extra leaves free (extra: the digits the kernel adds of its own), since the
// kernels' cost goes by limbs; one limb more only when the
// bound would leave a retry for more than one argument in ten. At 16 digits and 3 guard
// digits a retry then comes for about one argument in ten (each costing a second limb), where
// a second limb from the start would cost every call.
inline std::int64_t ziv_first_guard(std::int64_t least, ErrorBound bound, std::int64_t extra = 0) {
  const std::int64_t p = g_arith.precision;
  std::int64_t g = 19 * limbs_for_digits(p + least + extra) - p - extra;
  if (g < 19 && 2 * bound.at(p + g) > kPow10[g - 1]) g += 19;
  return g;
}
// The guard digits after which the series bounds (a thousand units and four per digit) leave a
// retry for about one argument in 10^6 or fewer: 8 more than P has digits.
inline std::int64_t series_first_guard() {
  const std::int64_t p = g_arith.precision;
  return 19 * limbs_for_digits(p + digit_count(static_cast<std::uint64_t>(p)) + 8) - p;
}

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
