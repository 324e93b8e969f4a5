// Hyperbolic functions from the exponential and logarithm; arc sine and cosine from the arc
// tangent. Differences of nearly equal values are formed where they are exact: x^2 - 1 as
// (x - 1)(x + 1), 1 - x^2 as (1 - x)(1 + x), and ln of values next to 1 through ln(1 + v).
#include "core/hyperbolic.h"

#include "core/arith.h"
#include "core/constants.h"
#include "core/correct_rounding.h"
#include "core/elementary.h"
#include "core/elementary_internal.h"
#include "core/trig.h"

namespace {

// |x| < limit, with limit = digits 10^e: compare against the short number.
bool below(const DecFloat* x, std::uint64_t digits, std::int64_t e) {
  return dec_compare_short(x, digits, e, true) < 0;
}

// (e^x - e^-x) / 2 (sign -1) or (e^x + e^-x) / 2 (sign +1), truncated.
Word exp_pair(DecFloat* dst, const DecFloat* x, int op) {
  ScratchScope scope;
  DecFloat* e = scratch_dec();
  DecFloat* r = scratch_dec();
  DecFloat* one = scratch_dec();
  dec_exp(e, x);
  if (is_infinity(e)) {
    dec_copy(dst, e);
    if (op == 1 && dec_negative(x)) dec_negate(dst);  // sinh of a large negative value
    return 0;
  }
  if (is_zero(e)) {
    // e^x underflowed: x is hugely negative, e^-x overflows.
    make_infinity(dst, op == 1);
    if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    return 0;
  }
  dec_from_word(one, 1);
  dec_div(r, one, e);
  dec_add_sub(dst, e, r, op);
  return dec_div_word(dst, dst, 2, 0);
}

// Arguments of the functions defined on [-1, 1] (asin, atanh): infinities and |x| > 1 are
// outside (undefined, 203); zero and undefined are their own result.
enum class UnitDomain { Done, One, Inside };
UnitDomain unit_domain(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_infinity(x)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      dec_copy(dst, x);
    }
    return UnitDomain::Done;
  }
  const int c = dec_compare_word(x, 1, true);
  if (c > 0) {
    make_undefined(dst, MathStatus::Undefined);
    return UnitDomain::Done;
  }
  return c == 0 ? UnitDomain::One : UnitDomain::Inside;
}

// Every kernel below chains a few truncated operations and kernels of a few units each (exp,
// ln, atan) with the differences next to 1 formed exactly, or sums a series of up to about
// (P + g)/2 terms at the working precision, one or two truncations per term: the series bound.
template <class F>
void rounded(DecFloat* dst, const DecFloat* x, std::int64_t g, F f) {
  round_kernel_by_ziv(dst, std::max(g, series_first_guard()), kSeriesBound, f, x);
}

// Guard digits of the series kernel of sinh and cosh. The series sums up to about P/2 terms,
// each truncated once or twice, so the error grows with the digits of P; eight more digits
// keep it within one unit.
std::int64_t series_guard_digits() {
  return series_first_guard();
}

// sinh or cosh of |x| < 0.5 by the series, with the guard digits its length needs: the kernel
// then stays within one unit however many terms P asks for.
Word series_kernel(DecFloat* dst, const DecFloat* x, bool sine) {
  return with_guard_digits(
      series_guard_digits(),
      [sine](DecFloat* r, const DecFloat* a) {
        sin_cos_series(sine ? r : nullptr, sine ? nullptr : r, a, true);
        return Word{0};
      },
      dst, x);
}

}  // namespace

Word dec_sinh(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    dec_copy(dst, x);
    return 0;
  }
  if (below(x, 5, -1)) return series_kernel(dst, x, true);
  return exp_pair(dst, x, 1);
}

Word dec_cosh(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else if (is_zero(x)) {
      dec_from_word(dst, 1);
    } else {
      make_infinity(dst, false);
    }
    return 0;
  }
  if (below(x, 5, -1)) return series_kernel(dst, x, false);
  return exp_pair(dst, x, 0);
}

namespace {

// sinh and cosh: the series with guard digits of its own, or (e^x -+ e^-x)/2 from one
// exponential of about one unit, whose two terms (|x| >= 0.5) cancel less than a digit, and
// three more truncated operations: the compound bound (8 units measured). The first attempt
// fills the limbs that the exponential's own digits take.
template <class F>
void sinh_cosh_rounded(DecFloat* dst, const DecFloat* x, F f) {
  const std::int64_t exp_extra = std::max<std::int64_t>(dec_exponent(x), 0) + 5 +
                                 digit_count(static_cast<std::uint64_t>(g_arith.precision));
  round_kernel_by_ziv(dst, ziv_first_guard(exp_guard_digits(x), kCompoundBound, exp_extra),
                      kCompoundBound, f, x);
}

}  // namespace

void dec_sinh_rounded(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    dec_sinh(dst, x);
    return;
  }
  sinh_cosh_rounded(dst, x, dec_sinh);
}

void dec_cosh_rounded(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    dec_cosh(dst, x);
    return;
  }
  sinh_cosh_rounded(dst, x, dec_cosh);
}

void dec_tanh(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_infinity(x)) {
      dec_from_word(dst, 1);
      if (dec_negative(x)) dec_negate(dst);
    } else {
      dec_copy(dst, x);
    }
    return;
  }
  rounded(dst, x, series_guard_digits(), [](DecFloat* r, const DecFloat* a) -> Word {
    const std::int64_t p = g_arith.precision;
    ScratchScope scope;
    if (dec_exponent(a) < -1) {
      DecFloat* s = scratch_dec();
      DecFloat* c = scratch_dec();
      sin_cos_series(s, c, a, true);
      return dec_div(r, s, c);
    }
    // Beyond about 1.15 P the difference from 1 is below half a unit of the last place.
    if (dec_compare_word(a, static_cast<std::uint64_t>(295 * p / 256 + 1), true) >= 0) {
      dec_from_word(r, 1);
      if (dec_negative(a)) dec_negate(r);
      return 0;
    }
    DecFloat* t = scratch_dec();
    DecFloat* one = scratch_dec();
    DecFloat* num = scratch_dec();
    dec_from_word(one, 1);
    dec_mul_word(t, a, 2);
    dec_exp(t, t);
    dec_add_sub(num, t, one, 1);
    dec_add_sub(t, t, one, 0);
    return dec_div(r, num, t);
  });
}

void dec_asinh(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    dec_copy(dst, x);
    return;
  }
  rounded(dst, x, series_guard_digits(), [](DecFloat* r, const DecFloat* a) -> Word {
    const std::int64_t p = g_arith.precision;
    const bool neg = dec_negative(a);
    ScratchScope scope;
    DecFloat* ax = scratch_dec();
    DecFloat* t = scratch_dec();
    DecFloat* u = scratch_dec();
    dec_copy(ax, a);
    dec_abs(ax);
    if (dec_exponent(ax) < -1) {
      // x - x^3/6 + 3x^5/40 - ...: term ratio -(2k-1)^2 x^2 / ((2k)(2k+1))
      DecFloat* x2 = scratch_dec();
      dec_mul(x2, ax, ax);
      dec_copy(t, ax);
      dec_copy(r, ax);
      for (Word k = 1;; ++k) {
        dec_mul(t, t, x2);
        dec_mul_word(t, t, (2 * k - 1) * (2 * k - 1));
        dec_div_word(t, t, (2 * k) * (2 * k + 1), 0);
        dec_negate(t);
        dec_add_sub(r, r, t, 0);
        if (is_special(t) || dec_exponent(r) - dec_exponent(t) >= p - 1) break;
      }
    } else if (dec_exponent(ax) >= p / 2) {
      // x^2 + 1 = x^2 at this precision: ln 2x
      load_constant(t, kConstLn2);
      dec_ln(u, ax);
      dec_add_sub(r, t, u, 0);
    } else {
      DecFloat* one = scratch_dec();
      dec_from_word(one, 1);
      dec_mul(t, ax, ax);
      dec_add_sub(t, t, one, 0);
      dec_sqrt(t, t);
      dec_add_sub(t, t, ax, 0);
      dec_ln(r, t);
    }
    if (neg) dec_negate(r);
    return 0;
  });
}

void dec_acosh(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else if (is_infinity(x) && !dec_negative(x)) {
      make_infinity(dst, false);
    } else {
      make_undefined(dst, MathStatus::Undefined);
    }
    return;
  }
  if (dec_negative(x) || dec_compare_word(x, 1, false) < 0) {
    make_undefined(dst, MathStatus::Undefined);
    return;
  }
  rounded(dst, x, 3, [](DecFloat* r, const DecFloat* a) -> Word {
    const std::int64_t p = g_arith.precision;
    ScratchScope scope;
    DecFloat* t = scratch_dec();
    DecFloat* w = scratch_dec();
    DecFloat* one = scratch_dec();
    if (dec_exponent(a) >= p / 2) {
      load_constant(t, kConstLn2);
      dec_ln(w, a);
      dec_add_sub(r, t, w, 0);
      return 0;
    }
    dec_from_word(one, 1);
    // w = sqrt((x - 1)(x + 1)); x - 1 is exact, so no digits cancel next to 1.
    DecFloat* xm1 = scratch_dec();
    dec_add_sub(xm1, a, one, 1);
    dec_add_sub(t, a, one, 0);
    dec_mul(w, xm1, t);
    dec_sqrt(w, w);
    dec_add_sub(t, xm1, w, 0);  // v = (x - 1) + w, so that x + w = 1 + v
    if (dec_compare_short(t, 5, -1, false) < 0) {
      dec_log1p_small(r, t);  // ln(1 + v) without the digits that 1 + v would drop
    } else {
      dec_add_sub(t, a, w, 0);
      dec_ln(r, t);
    }
    return 0;
  });
}

void dec_atanh(DecFloat* dst, const DecFloat* x) {
  const UnitDomain d = unit_domain(dst, x);
  if (d == UnitDomain::Done) return;
  if (d == UnitDomain::One) {
    make_infinity(dst, dec_negative(x));
    if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    return;
  }
  rounded(dst, x, series_guard_digits(), [](DecFloat* r, const DecFloat* a) -> Word {
    if (dec_exponent(a) < -2) return dec_atanh_series(r, a);
    ScratchScope scope;
    DecFloat* one = scratch_dec();
    DecFloat* num = scratch_dec();
    DecFloat* den = scratch_dec();
    dec_from_word(one, 1);
    const bool neg = dec_negative(a);
    DecFloat* ax = scratch_dec();
    dec_copy(ax, a);
    dec_abs(ax);
    dec_add_sub(den, one, ax, 1);  // exact
    if (dec_compare_short(ax, 19, -1, false) < 0) {
      // 1/2 ln(1 + 2x/(1 - x)) keeps the digits that ln of a value next to 1 would lose
      dec_mul_word(num, ax, 2);
      dec_div(num, num, den);
      dec_log1p_small(r, num);
    } else {
      dec_add_sub(num, one, ax, 0);
      dec_div(num, num, den);
      dec_ln(r, num);
    }
    dec_div_word(r, r, 2, 0);
    if (neg) dec_negate(r);
    return 0;
  });
}

namespace {

// 1 - x and 1 + x, both exact next to +-1 where the arc sine and cosine need them.
void one_minus_plus(DecFloat* minus, DecFloat* plus, const DecFloat* x) {
  ScratchScope scope;
  DecFloat* one = scratch_dec();
  dec_from_word(one, 1);
  dec_add_sub(minus, one, x, 1);
  dec_add_sub(plus, one, x, 0);
}

// asin x = atan(x / sqrt((1 - x)(1 + x)))
Word asin_kernel(DecFloat* r, const DecFloat* x) {
  ScratchScope scope;
  DecFloat* u = scratch_dec();
  DecFloat* v = scratch_dec();
  one_minus_plus(u, v, x);
  dec_mul(u, u, v);
  dec_sqrt(u, u);
  return elem::atan_ratio_kernel(r, x, u);
}

// acos x = 2 atan(sqrt((1 - x) / (1 + x)))
Word acos_kernel(DecFloat* r, const DecFloat* x) {
  ScratchScope scope;
  DecFloat* u = scratch_dec();
  DecFloat* v = scratch_dec();
  one_minus_plus(u, v, x);
  dec_div(u, u, v);
  dec_sqrt(u, u);
  dec_atan_kernel(r, u);
  return dec_mul_word(r, r, 2);
}

}  // namespace

void dec_asin(DecFloat* dst, const DecFloat* x) {
  const UnitDomain d = unit_domain(dst, x);
  if (d == UnitDomain::Done) return;
  if (d == UnitDomain::One) {
    apply_rounding(dst, dec_half_pi(dst));
    if (dec_negative(x)) dec_negate(dst);
    return;
  }
  rounded(dst, x, 4, asin_kernel);
}

void dec_acos(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_zero(x)) {
      apply_rounding(dst, dec_half_pi(dst));
    } else if (is_infinity(x)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      make_undefined(dst);
    }
    return;
  }
  const int c = dec_compare_word(x, 1, true);
  if (c > 0) {
    make_undefined(dst, MathStatus::Undefined);
    return;
  }
  if (c == 0) {
    if (dec_negative(x)) {
      apply_rounding(dst, dec_pi(dst));
    } else {
      make_zero(dst, false);
    }
    return;
  }
  rounded(dst, x, 4, acos_kernel);
}
