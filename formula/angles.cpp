// Trigonometric functions in radians, degrees and grads, their inverses and the argument of a
// complex number.
//
// An angle on a whole multiple of the quarter turn gives the exact zeros of sine, cosine and
// tangent, and the tangent's poles are errors rather than huge numbers. In degrees and grads
// the test is exact; in radians the argument only approximates a multiple of pi/2, so a
// remainder below 10^(E - P + 2) (E the exponent of the argument, P the working precision)
// counts as none.
#include "core/arith.h"
#include "core/complex_functions.h"
#include "core/correct_rounding.h"
#include "core/elementary.h"
#include "core/hyperbolic.h"
#include "core/trig.h"
#include "formula/evaluator_internal.h"
#include "formula/formula.h"

namespace formula_detail {

namespace {

// Digits above P for the reduction, so that the quotient of an argument below 10^9 by the
// quarter turn is exact whatever the precision.
constexpr std::int64_t kReductionGuard = 12;

// Whether |x| (exponent at most 8) lies on a multiple k of the quarter turn.
bool on_quarter_turn(const DecFloat* x, std::uint64_t half_turn, std::uint64_t* k) {
  const std::int64_t precision = g_arith.precision;
  const std::int64_t bound = dec_exponent(x) - precision + 2;
  ScratchScope scope;
  const std::size_t words = guarded_words(kReductionGuard);
  DecFloat* ax = scratch_alloc(words);
  DecFloat* quarter = scratch_alloc(words);
  DecFloat* quotient = scratch_alloc(words);
  DecFloat* rem = scratch_alloc(words);
  widen(ax, x, kReductionGuard);
  ContextScope gp = ContextScope::guard(kReductionGuard);
  dec_abs(ax);
  if (half_turn == 0) {
    apply_rounding(quarter, dec_half_pi(quarter));
  } else {
    apply_rounding(quarter, dec_from_word(quarter, half_turn / 2));
  }
  dec_divmod(quotient, rem, ax, quarter);
  if (!dec_to_word(k, quotient, 0)) return false;
  if (is_zero(rem)) return true;
  if (half_turn != 0 || is_special(rem)) return false;
  if (dec_exponent(rem) < bound) return true;
  dec_add_sub(rem, quarter, rem, 1);
  if (!is_special(rem) && dec_exponent(rem) < bound) {
    ++*k;
    return true;
  }
  return false;
}

// The radian value of x in the unit of half_turn, at the current precision.
void to_radians(DecFloat* r, const DecFloat* x, std::uint64_t half_turn) {
  if (half_turn == 0) {
    dec_copy(r, x);
  } else {
    dec_to_radians(r, x, half_turn);
  }
}

}  // namespace

void trig_real(int fn, std::uint64_t half_turn, std::uint32_t position, DecFloat* r,
               const DecFloat* x) {
  // Zero is the even multiple 0; its cosine is 1 and is computed below.
  if (is_zero(x) && fn != 1) return make_zero(r, false);
  std::uint64_t k;
  if (!is_special(x) && dec_exponent(x) <= 8 && on_quarter_turn(x, half_turn, &k)) {
    const bool even = k % 2 == 0;
    if (fn == 2 && !even) {
      // A pole of the tangent: outside its domain, not merely a large value.
      set_formula_error(kFormulaArithmetic, position, MathStatus::Undefined);
      return make_undefined(r);
    }
    if ((fn == 1) != even) return make_zero(r, false);
  }
  // Degrees and gon are reduced in their own unit first: exact next to multiples of 45 degrees.
  dec_trig_rounded(r, x, fn, half_turn);
}

void inverse_trig_real(int fn, std::uint64_t half_turn, DecFloat* r, const DecFloat* x) {
  auto inverse = [fn](DecFloat* d, const DecFloat* a) {
    if (fn == 0) {
      dec_asin(d, a);
    } else if (fn == 1) {
      dec_acos(d, a);
    } else {
      dec_atan(d, a);
    }
  };
  if (half_turn == 0) return inverse(r, x);
  // Two roundings at P + g, half a unit each, and the conversion's few units; an exact angle
  // such as asind(1) = 90 comes out exact.
  round_kernel_by_ziv(
      r, ziv_first_guard(4, kLogBound), kLogBound,
      [&](DecFloat* d, const DecFloat* a) -> Word {
        inverse(d, a);
        dec_from_radians(d, d, half_turn);
        return 0;
      },
      x);
}

namespace {

// (sin, cos) of k quarter turns plus the angle whose sine and cosine are s and c, in place.
void turn_by_quarters(DecFloat* s, DecFloat* c, std::uint64_t k) {
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  switch (k % 4) {
    case 1:  // (c, -s)
      dec_copy(t, s);
      dec_copy(s, c);
      dec_copy(c, t);
      if (!is_zero(c)) dec_negate(c);
      break;
    case 2:
      if (!is_zero(s)) dec_negate(s);
      if (!is_zero(c)) dec_negate(c);
      break;
    case 3:  // (-c, s)
      dec_copy(t, c);
      dec_copy(c, s);
      dec_copy(s, t);
      if (!is_zero(s)) dec_negate(s);
      break;
    default:
      break;
  }
}

// Sine and cosine of x in the unit of half_turn at the current precision. Below 10^9 degrees
// or grads the argument is reduced exactly by the quarter turn first, so that no digit of a
// small remainder is lost to the conversion.
void unit_sin_cos(DecFloat* s, DecFloat* c, const DecFloat* x, std::uint64_t half_turn) {
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  if (half_turn == 0 || is_special(x) || dec_exponent(x) > 8) {
    to_radians(t, x, half_turn);
    dec_sin_cos(s, c, t);
    return;
  }
  DecFloat* ax = scratch_dec();
  DecFloat* quarter = scratch_dec();
  DecFloat* q = scratch_dec();
  dec_copy(ax, x);
  dec_abs(ax);
  dec_from_word(quarter, half_turn / 2);
  dec_divmod(q, t, ax, quarter);
  std::uint64_t k = 0;
  dec_to_word(&k, q, 0);
  // The nearer multiple: a remainder of at most an eighth turn either way.
  dec_mul_word(q, t, 2);
  if (dec_compare(q, quarter, false) > 0) {
    ++k;
    dec_add_sub(t, t, quarter, 1);
  }
  dec_to_radians(t, t, half_turn);
  dec_sin_cos(s, c, t);
  turn_by_quarters(s, c, k);
  if (dec_negative(x) && !is_zero(s)) dec_negate(s);
}

}  // namespace

void forward_complex(CplxFn fn, std::uint64_t half_turn, std::uint32_t position, Complex* r,
                     const Complex* z) {
  const bool circular = fn == CplxFn::Sin || fn == CplxFn::Cos || fn == CplxFn::Tan;
  // The part whose sine and cosine enter: the real part of sin, cos and tan, the imaginary part
  // of exp, sinh, cosh and tanh.
  const DecFloat* angle = circular ? cplx_re(z) : cplx_im(z);
  const DecFloat* other = circular ? cplx_im(z) : cplx_re(z);
  if (is_undefined(angle) || is_undefined(other)) return cplx_make_undefined(r, MathStatus::Ok);
  if (is_infinity(angle) || is_infinity(other)) {
    return cplx_make_undefined(r, MathStatus::Undefined);
  }
  const std::uint64_t unit = circular ? half_turn : 0;
  std::uint64_t k = 0;
  const bool quarter =
      is_zero(angle) || (dec_exponent(angle) <= 8 && on_quarter_turn(angle, unit, &k));
  if (quarter && k % 2 == 1 && is_zero(other) && (fn == CplxFn::Tan || fn == CplxFn::Tanh)) {
    set_formula_error(kFormulaArithmetic, position);  // tanh(i pi/2): a pole of the tangent
    return cplx_make_undefined(r, MathStatus::Ok);
  }
  const std::int64_t g = kComplexGuardDigits;
  ScratchScope scope;
  const std::size_t words = guarded_words(g) + 1;
  DecFloat* a = scratch_alloc(words);
  DecFloat* t = scratch_alloc(words);
  DecFloat* re = scratch_alloc(words);
  DecFloat* im = scratch_alloc(words);
  widen(a, angle, g);
  widen(t, other, g);
  {
    ContextScope gp = ContextScope::guard(g);
    DecFloat* s = scratch_dec();
    DecFloat* c = scratch_dec();
    if (quarter) {
      // On a multiple of the quarter turn sine and cosine are exactly 0 and +-1.
      make_zero(s, false);
      dec_from_word(c, 1);
      turn_by_quarters(s, c, k);
      if (dec_negative(angle) && !is_zero(s)) dec_negate(s);
    } else {
      unit_sin_cos(s, c, a, unit);
    }
    if (circular && half_turn != 0) dec_to_radians(t, t, half_turn);
    cplx_elementary_kernel(re, im, fn, t, s, c);
  }
  apply_rounding(cplx_re(r), narrow(cplx_re(r), re, g));
  apply_rounding(cplx_im(r), narrow(cplx_im(r), im, g));
  if (is_zero(cplx_re(r))) make_zero(cplx_re(r), false);
  if (is_zero(cplx_im(r))) make_zero(cplx_im(r), false);
}

void inverse_complex(void (*f)(Complex*, const Complex*), std::uint64_t half_turn, Complex* r,
                     const Complex* z) {
  if (half_turn == 0) return f(r, z);
  // Both parts converted at 4 more digits.
  constexpr std::int64_t g = 4;
  ScratchScope scope;
  const std::size_t words = guarded_words(g) + 1;
  DecFloat* re = scratch_alloc(words);
  DecFloat* im = scratch_alloc(words);
  widen(re, cplx_re(z), g);
  widen(im, cplx_im(z), g);
  {
    ContextScope gp = ContextScope::guard(g);
    Complex* w = scratch_cplx();
    dec_copy(cplx_re(w), re);
    dec_copy(cplx_im(w), im);
    f(w, w);
    dec_from_radians(re, cplx_re(w), half_turn);
    dec_from_radians(im, cplx_im(w), half_turn);
  }
  apply_rounding(cplx_re(r), narrow(cplx_re(r), re, g));
  apply_rounding(cplx_im(r), narrow(cplx_im(r), im, g));
  if (is_zero(cplx_im(r))) make_zero(cplx_im(r), false);
}

void complex_arg(std::uint64_t half_turn, DecFloat* r, const Complex* z) {
  // A negated real number such as -1 carries the imaginary part -0; its argument is still pi,
  // the range being (-pi, pi].
  ScratchScope scope;
  const DecFloat* im = cplx_im(z);
  if (is_zero(im)) {
    DecFloat* plus_zero = scratch_dec();
    make_zero(plus_zero, false);
    im = plus_zero;
  }
  if (half_turn == 0) return dec_angle(r, im, cplx_re(z));
  const Word rl = with_guard_digits(
      4,
      [half_turn](DecFloat* d, const DecFloat* re, const DecFloat* y) -> Word {
        dec_angle(d, y, re);
        dec_from_radians(d, d, half_turn);
        return 0;
      },
      r, cplx_re(z), im);
  apply_rounding(r, rl);
}

}  // namespace formula_detail
