// The real power x^y = e^(y ln |x|), the shared exp(c ln a) of powers and roots, and exact
// powers of two.
//
// An error d in t = c ln a becomes a relative error d in e^t, so t must be right to the last
// digit of the working precision as an absolute quantity: the logarithm and the product are
// computed with E(t) + 3 extra digits (E(t) bounded from the exponent of a, or from a - 1
// near 1, and from the size of c; at most 26, as |t| > 10^20 over- or underflows anyway).
// Statuses: 200 for results beyond the exponent range, 203 for 0^y with y < 0, negative
// bases with non-integer exponents and infinity^0.
#include <algorithm>

#include "core/correct_rounding.h"
#include "core/elementary_internal.h"

namespace elem {

Word exp_of_scaled_log(DecFloat* dst, const DecFloat* a, ScaleKind kind, const DecFloat* y,
                       std::uint64_t n) {
  const std::int64_t ea = dec_exponent(a);
  std::int64_t el;  // bound of the exponent of |ln a|
  if (ea >= 1 || ea <= -2) {
    const std::uint64_t mag = static_cast<std::uint64_t>(ea < 0 ? -ea : ea) + 1;
    el = digit_count(mag * 3) - 1;  // |ln a| < 2.31 (|E| + 1)
  } else {
    ScratchScope scope;
    DecFloat* d = scratch_dec();
    dec_one(d);
    dec_add_sub(d, a, d, 1);
    if (is_zero(d)) {  // 1^c = 1 exactly
      dec_one(dst);
      return 0;
    }
    el = std::min<std::int64_t>(0, dec_exponent(d) + 1);  // |ln a| < 2.6 |a - 1| here
  }
  std::int64_t ec = 0;
  if (kind == ScaleKind::Mul) ec = dec_exponent(y);
  if (kind == ScaleKind::Div) ec = -dec_exponent(y);
  if (kind == ScaleKind::DivWord) ec = 1 - digit_count(n);
  const std::int64_t extra = std::clamp<std::int64_t>(el + ec + 1 + 3, 2, 26);
  const std::int64_t exp_extra = 3 + digit_count(static_cast<std::uint64_t>(g_arith.precision));
  const DecFloat* second = y ? y : a;
  return with_guard_digits(
      extra,
      [kind, n, exp_extra](DecFloat* r, const DecFloat* wa, const DecFloat* wy) {
        ScratchScope scope;
        DecFloat* t = scratch_dec();
        ln_positive(t, wa);
        switch (kind) {
          case ScaleKind::Mul:
            dec_mul(t, t, wy);
            break;
          case ScaleKind::DivWord:
            dec_div_word(t, t, n, 0);
            break;
          case ScaleKind::Div:
            dec_div(t, t, wy);
            break;
        }
        exp10_with_extra(r, t, ExpMode::E, exp_extra);
        return Word{0};
      },
      dst, a, second);
}

}  // namespace elem

using namespace elem;

Word dec_pow(DecFloat* dst, const DecFloat* x, const DecFloat* y) {
  if (is_undefined(x) || is_undefined(y)) {
    make_undefined(dst);
    return 0;
  }
  if (is_zero(y)) {
    if (is_infinity(x)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      dec_one(dst);
    }
    return 0;
  }
  if (is_infinity(y)) {
    if (is_zero(x) || dec_negative(x)) {
      make_undefined(dst, MathStatus::Undefined);
      return 0;
    }
    // x^+inf grows for x > 1 and vanishes for x < 1; 1^+-inf stays 1.
    const int cmp = dec_compare_word(x, 1, false);
    if (cmp == 0) {
      dec_one(dst);
    } else if ((cmp > 0) != dec_negative(y)) {
      make_infinity(dst, false);
    } else {
      make_zero(dst, false);
    }
    return 0;
  }
  const bool y_int = is_integer(y);
  const bool y_odd = y_int && !is_even(y);
  const bool neg = dec_negative(x) && y_odd;
  if (is_special(x)) {
    if (is_zero(x)) {
      if (dec_negative(y)) {
        make_undefined(dst, MathStatus::Undefined);
      } else {
        make_zero(dst, neg);
      }
    } else if (dec_negative(x) && !y_int) {
      make_undefined(dst, MathStatus::Undefined);
    } else if (dec_negative(y)) {
      make_zero(dst, neg);
    } else {
      make_infinity(dst, neg);
    }
    return 0;
  }
  if (dec_negative(x) && !y_int) {
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  ScratchScope scope;
  DecFloat* a = scratch_dec();
  dec_copy(a, x);
  dec_abs(a);
  const Word rl = exp_of_scaled_log(dst, a, ScaleKind::Mul, y, 0);
  if (neg) dec_negate(dst);
  return rl;
}

void dec_pow_rounded(DecFloat* dst, const DecFloat* x, const DecFloat* y) {
  // exp(y ln x) with the digits that the size of y ln x costs, or a chain of exact products
  // truncated once each: within the compound bound at P + g.
  round_kernel_by_ziv(dst, ziv_first_guard(pow_guard_digits(y), kCompoundBound), kCompoundBound,
                      dec_pow, x, y);
}

namespace {

// 2^m at the current precision: the word 2^(|m| mod 64), with 2^64 or 2^-64 for bit 6, then
// (2^+-128)^(|m| div 128) by square-and-multiply. Every factor is exact; only the truncated
// products err, by about |m| / 64 units.
void pow2_core(DecFloat* r, std::int64_t m) {
  ScratchScope scope;
  DecFloat* base = scratch_dec();
  const std::uint64_t am =
      m < 0 ? 0 - static_cast<std::uint64_t>(m) : static_cast<std::uint64_t>(m);
  const std::uint64_t low = std::uint64_t{1} << (am & 63);
  if (m >= 0) {
    dec_from_word(r, low);
    if (am & 64) {
      load_constant(base, kTwoPow64);
      dec_mul(r, r, base);
    }
  } else {
    if (am & 64) {
      load_constant(r, kTwoPowMinus64);
    } else {
      dec_one(r);
    }
    dec_div_word(r, r, low, 0);
  }
  std::uint64_t k = am >> 7;
  if (k == 0) return;
  if (m >= 0) {
    load_constant(base, kTwoPow128);
  } else {
    load_constant(base, kTwoPowMinus128);
  }
  while (k) {
    if (k & 1) dec_mul(r, r, base);
    k >>= 1;
    if (k) dec_mul(base, base, base);  // not past the last bit: no spurious overflow
  }
}

}  // namespace

void dec_pow2_int(DecFloat* dst, std::int64_t m) {
  const std::int64_t g = pow2_int_guard_digits(m);
  ScratchScope scope;
  DecFloat* r = scratch_alloc(guarded_words(g));
  {
    ContextScope gp = ContextScope::guard(g);
    pow2_core(r, m);
  }
  apply_rounding(dst, narrow(dst, r, g));
}
