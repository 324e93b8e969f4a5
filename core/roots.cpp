// Square and cube roots by Newton's iteration from a double-precision seed, and the n-th
// roots through exp(ln x / n).
//
// The seed: the mantissa is prescaled into [1, 4) (square root) or [1, 8) (cube root) by a
// power of 4 or 8, the seed table gives a start within 2%, and double-precision Newton steps
// (three for the square root, four for the cube root, whose error only squares without the
// square root's halving) make it good to 14 digits; the prescale factor then goes
// back into the seed, so the decimal iteration runs on the unscaled mantissa and no division
// by the factor enters the result. Each decimal step doubles the digits and runs at the
// precision it can fill (twice the digits already right, plus two), so only the last step
// works at the full precision. sqrt and cbrt need no extra digits of their own: a result is
// good to two units of its last place. Square roots are exact truncations instead: below
// kNewtonSqrtLimbs limbs the integer root with remainder (sqrt_rem.cpp), from there on the
// reciprocal square root checked exactly (sqrt_newton.cpp); the plain iteration stays as their
// reference and fallback. Statuses: 203 for
// negative arguments of sqrt and of even roots and for an invalid root index.
#include <algorithm>
#include <cmath>

#include "core/correct_rounding.h"
#include "core/elementary_internal.h"

namespace elem {

namespace {

// Largest seed whose threshold does not exceed key (bisection).
double seed_for(const SeedPair* table, double key) {
  const std::uint32_t k = static_cast<std::uint32_t>(key * 1e6);
  int lo = 0, hi = 25;
  while (lo < hi) {
    const int mid = (lo + hi + 1) / 2;
    if (table[mid].threshold <= k) {
      lo = mid;
    } else {
      hi = mid - 1;
    }
  }
  return table[lo].seed * 1e12;
}

// The 19-digit double-precision root y (10^18 <= y < 10^19) as a value 1 <= y < 10.
Word seed_record(DecFloat* y, double v) {
  std::uint64_t w =
      v >= 9.9999999999999999e18 ? 9999999999999999999ULL : static_cast<std::uint64_t>(v);
  if (w < 1000000000000000000ULL) w = 1000000000000000000ULL;
  const Word rl = dec_from_word(y, w);
  set_exponent_raw(y, 0);
  return rl;
}

// Newton's iteration with doubling precision: step(yw, mw) improves yw at the precision in
// force. y holds 14 good digits on entry; m is the exact radicand. Returns the round_limb of
// the last step.
template <class Step>
Word newton_doubling(DecFloat* y, const DecFloat* m, Step step) {
  const std::int64_t q = g_arith.precision;
  std::int64_t good = 14;
  Word rl = 0;
  while (good < q) {
    const std::int64_t w = std::min(2 * good + 2, q);
    ScratchScope scope;
    DecFloat* yw = scratch_alloc(dec_words_for(w));
    DecFloat* mw = scratch_alloc(dec_words_for(w));
    realign(yw, w, y, q);
    realign(mw, w, m, q);
    {
      ContextScope ps = ContextScope::precision(w);
      rl = step(yw, mw);
    }
    realign(y, q, yw, w);
    if (w == q) break;
    good = std::min(2 * good, w - 1);
  }
  return rl;
}

}  // namespace

}  // namespace elem

using namespace elem;

namespace {

Word square_root(DecFloat* dst, const DecFloat* x, bool plain_sqrt) {
  if (is_special(x) || dec_negative(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else if (is_zero(x)) {
      dec_copy(dst, x);
    } else if (dec_negative(x)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      make_infinity(dst, false);
    }
    return 0;
  }
  const std::int64_t e = dec_exponent(x);
  const std::int64_t half = e >= 0 ? e / 2 : -((1 - e) / 2);  // floor(e / 2)
  const std::int64_t odd = e - 2 * half;
  ScratchScope scope;
  DecFloat* m = scratch_dec();
  DecFloat* y = scratch_dec();
  dec_copy(m, x);
  set_exponent_raw(m, odd);  // 1 <= m < 100
  const double md = static_cast<double>(leading19(m)) * 1e-18 * (odd ? 10.0 : 1.0);
  if (g_arith.limb_count < kNewtonSqrtLimbs && !plain_sqrt) {
    Word rl;
    if (dec_sqrt_by_remainder(y, m, &rl)) {
      dec_copy(dst, y);
      set_exponent_raw(dst, half);
      return rl;
    }
  }
  if (g_arith.limb_count >= kNewtonSqrtLimbs && !plain_sqrt) {
    Word rl;
    if (dec_sqrt_newton(y, m, md, &rl)) {
      dec_copy(dst, y);
      set_exponent_raw(dst, half);
      return rl;
    }
  }
  double f = 1;
  if (odd) {
    f = md >= 25 ? 5 : (md < 16 ? 2 : 3);
  } else if (md >= 4) {
    f = 2;
  }
  const double ms = md / (f * f);  // 1 <= ms < 4
  double v = seed_for(kSqrtSeeds, ms);
  for (int i = 0; i < 3; ++i) v = (ms * 1e36 / v + v) / 2;
  Word rl = seed_record(y, v * f);
  if (g_arith.precision > 14) {
    rl = newton_doubling(y, m, [](DecFloat* yw, const DecFloat* mw) {
      ScratchScope s;
      DecFloat* t = scratch_dec();
      dec_div(t, mw, yw);
      dec_add_sub(t, t, yw, 0);
      return dec_div_word(yw, t, 2, 0);
    });
  }
  dec_copy(dst, y);
  set_exponent_raw(dst, half);
  return rl;
}

}  // namespace

Word dec_sqrt(DecFloat* dst, const DecFloat* x) {
  return square_root(dst, x, false);
}

Word dec_sqrt_plain(DecFloat* dst, const DecFloat* x) {
  return square_root(dst, x, true);
}

Word dec_cbrt(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else {
      dec_copy(dst, x);  // +-0, +-inf
    }
    return 0;
  }
  const std::int64_t e = dec_exponent(x);
  const std::int64_t third = e >= 0 ? e / 3 : -((2 - e) / 3);  // floor(e / 3)
  const std::int64_t rem = e - 3 * third;
  ScratchScope scope;
  DecFloat* m = scratch_dec();
  DecFloat* y = scratch_dec();
  dec_copy(m, x);
  dec_abs(m);
  set_exponent_raw(m, rem);  // 1 <= m < 1000
  const double md =
      static_cast<double>(leading19(m)) * 1e-18 * (rem == 0 ? 1.0 : (rem == 1 ? 10.0 : 100.0));
  double f;
  if (rem == 0) {
    f = md >= 8 ? 2 : 1;
  } else if (rem == 1) {
    f = md < 64 ? 2 : 4;
  } else {
    f = md < 512 ? 4 : 8;
  }
  const double ms = md / (f * f * f);  // 1 <= ms < 8
  double v = seed_for(kCbrtSeeds, ms);
  for (int i = 0; i < 4; ++i) v = (ms * 1e54 / (v * v) + 2 * v) / 3;
  Word rl = seed_record(y, v * f);
  if (g_arith.precision > 14) {
    rl = newton_doubling(y, m, [](DecFloat* yw, const DecFloat* mw) {
      ScratchScope s;
      DecFloat* t = scratch_dec();
      DecFloat* y2 = scratch_dec();
      dec_mul(y2, yw, yw);
      dec_div(t, mw, y2);
      dec_mul_word(y2, yw, 2);
      dec_add_sub(t, t, y2, 0);
      return dec_div_word(yw, t, 3, 0);
    });
  }
  dec_copy(dst, y);
  set_exponent_raw(dst, third);
  dec_set_sign(dst, dec_negative(x));
  return rl;
}

Word dec_root_int(DecFloat* dst, const DecFloat* x, std::uint64_t n) {
  if (n == 0 || is_special(x) || dec_negative(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else if (n == 0 || dec_negative(x)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      dec_copy(dst, x);  // +0, +inf
    }
    return 0;
  }
  if (n == 1) {
    dec_copy(dst, x);
    return 0;
  }
  return exp_of_scaled_log(dst, x, ScaleKind::DivWord, nullptr, n);
}

Word dec_root(DecFloat* dst, const DecFloat* n, const DecFloat* x) {
  if (is_undefined(n) || is_undefined(x)) {
    make_undefined(dst);
    return 0;
  }
  // The index must be a positive integer: the 0th root has no value.
  if (is_special(n) || dec_negative(n) || !is_integer(n)) {
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  const bool odd = !is_even(n);
  if (is_zero(x)) {
    dec_copy(dst, x);
    return 0;
  }
  if (dec_negative(x) && !odd) {
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  if (is_special(x)) {
    dec_copy(dst, x);  // +-inf
    return 0;
  }
  std::uint64_t k;
  const bool word = dec_to_word(&k, n, 0);
  ScratchScope scope;
  DecFloat* a = scratch_dec();
  dec_copy(a, x);
  dec_abs(a);
  Word rl;
  if (word && k == 2) {
    rl = dec_sqrt(dst, a);
  } else if (word && k == 3) {
    rl = dec_cbrt(dst, a);
  } else if (word) {
    rl = dec_root_int(dst, a, k);
  } else {
    rl = exp_of_scaled_log(dst, a, ScaleKind::Div, n, 0);
  }
  dec_set_sign(dst, dec_negative(x));
  return rl;
}

namespace {

// Correctly rounded square root of a positive normal x at P <= 18 digits, exactly in integers:
// x = M 10^(E - P + 1) with the P-digit integer M, and for E = 2h + o (o = 0 or 1) the root's
// P digits are S = floor(sqrt(T)) with T = M 10^(P - 1 + o) < 10^36. As 4T is even and
// (2S + 1)^2 odd, the root is never a midpoint: it rounds up iff 4T > (2S + 1)^2.
void sqrt_rounded_small(DecFloat* dst, const DecFloat* x) {
  const std::int64_t p = g_arith.precision;
  const std::int64_t e = dec_exponent(x);
  const std::int64_t half = e >= 0 ? e / 2 : -((1 - e) / 2);  // floor(e / 2)
  const std::int64_t odd = e - 2 * half;
  const u128 t = static_cast<u128>(x[1]) * kPow10[p - 1 + odd];
  const Word s = isqrt_two_limbs(t);
  const u128 twice = 2 * static_cast<u128>(s) + 1;
  dst[1] = s;
  dst[0] = static_cast<Word>(half) * 2;  // positive; dst may have held a negative operand
  apply_rounding(dst, 4 * t > twice * twice ? kHalfLimb : 0);
}

}  // namespace

void dec_sqrt_rounded(DecFloat* dst, const DecFloat* x) {
  if (g_arith.precision <= 18 && !is_special(x) && !dec_negative(x)) {
    sqrt_rounded_small(dst, x);
    return;
  }
  // Newton's reciprocal square root checked exactly, or the plain iteration: a few units.
  round_kernel_by_ziv(dst, ziv_first_guard(kSqrtGuardDigits, kLogBound), kLogBound, dec_sqrt, x);
}

void dec_cbrt_rounded(DecFloat* dst, const DecFloat* x) {
  // Newton's iteration stops within a few units of its last place.
  round_kernel_by_ziv(dst, ziv_first_guard(kCbrtGuardDigits, kLogBound), kLogBound, dec_cbrt, x);
}

void dec_root_rounded(DecFloat* dst, const DecFloat* n, const DecFloat* x) {
  // Newton for word n, else exp(ln x / n) with the digits the quotient's size costs.
  round_kernel_by_ziv(dst, ziv_first_guard(kRootGuardDigits, kCompoundBound), kCompoundBound,
                      dec_root, n, x);
}
