// Trigonometric functions in radians, degrees and grads, their inverses and the argument of a
// complex number.
//
// An angle on a whole multiple of the quarter turn gives the exact zeros of sine, cosine and
// tangent, and the tangent's poles are errors rather than huge numbers. In degrees and grads
// the test is exact; in radians the argument only approximates a multiple of pi/2, so a
// remainder below 10^(E - P + 2) (E the exponent of the argument, P the working precision)
// counts as none.
#include "core/arith.h"
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
  std::int64_t g;
  {
    ScratchScope scope;
    DecFloat* t = scratch_dec();
    to_radians(t, x, half_turn);
    g = exp_guard_digits(t);
  }
  const Word rl = with_guard_digits(
      g,
      [fn, half_turn](DecFloat* d, const DecFloat* a) -> Word {
        DecFloat* t = scratch_dec();
        to_radians(t, a, half_turn);
        if (fn == 2) return dec_tan(d, t);
        dec_sin_cos(fn == 0 ? d : nullptr, fn == 1 ? d : nullptr, t);
        return 0;
      },
      r, x);
  apply_rounding(r, rl);
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
  // Converted at 4 more digits so that asind(1) is exactly 90.
  const Word rl = with_guard_digits(
      4,
      [&](DecFloat* d, const DecFloat* a) -> Word {
        inverse(d, a);
        dec_from_radians(d, d, half_turn);
        return 0;
      },
      r, x);
  apply_rounding(r, rl);
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
