// Elementary functions of complex numbers.
//
// Each function widens the parts by guard digits, computes both parts from real kernels in
// forms without cancellation, and rounds each part once:
// - exp, sinh, cosh, sin, cos: products such as sin x cosh y; tan and tanh over the sum of
//   squares cos^2 x + sinh^2 y;
// - ln: ln|z| from ln(1 + (x^2 + y^2 - 1)) with exact squares next to the unit circle;
// - asin and acos after Hull, Fairgrieve and Tang (1997), atanh after Kahan (1987); atan,
//   asinh and acosh by rotation;
// - logx and the general power repeat with more digits while a part cancels.
#include "core/complex_functions.h"

#include <algorithm>

#include "core/arith.h"
#include "core/constants.h"
#include "core/elementary.h"
#include "core/elementary_internal.h"
#include "core/hyperbolic.h"
#include "core/trig.h"

namespace {

std::size_t words_at(std::int64_t digits) {
  return dec_words_for(digits) + 1;  // one spare limb
}

// Undefined or infinite parts decide the result alone.
bool special_argument(Complex* dst, const Complex* z) {
  const DecFloat* x = cplx_re(z);
  const DecFloat* y = cplx_im(z);
  if (is_undefined(x) || is_undefined(y)) {
    cplx_make_undefined(dst, MathStatus::Ok);
    return true;
  }
  if (is_infinity(x) || is_infinity(y)) {
    cplx_make_undefined(dst, MathStatus::Undefined);
    return true;
  }
  return false;
}

void round_part(DecFloat* dst, const DecFloat* src, std::int64_t g) {
  apply_rounding(dst, narrow(dst, src, g));
  if (is_zero(dst)) make_zero(dst, false);
}

// Runs f(re, im, x, y) at g more digits on widened parts of z (a zero part as +0) and rounds
// both parts of the result into dst.
template <class F>
void guarded(Complex* dst, const Complex* z, std::int64_t g, F f) {
  ScratchScope scope;
  const std::size_t w = words_at(g_arith.precision + g);
  DecFloat* x = scratch_alloc(w);
  DecFloat* y = scratch_alloc(w);
  DecFloat* re = scratch_alloc(w);
  DecFloat* im = scratch_alloc(w);
  widen(x, cplx_re(z), g);
  widen(y, cplx_im(z), g);
  if (is_zero(x)) make_zero(x, false);
  if (is_zero(y)) make_zero(y, false);
  {
    ContextScope gp = ContextScope::guard(g);
    f(re, im, x, y);
  }
  round_part(cplx_re(dst), re, g);
  round_part(cplx_im(dst), im, g);
}

// A real function f(dst, x) (rounding its result) on the real part, +0i.
template <class F>
void real_only(Complex* dst, const Complex* z, F f) {
  ScratchScope scope;
  DecFloat* x = scratch_dec();
  dec_copy(x, cplx_re(z));
  f(cplx_re(dst), x);
  make_zero(cplx_im(dst), false);
}

bool is_positive(const DecFloat* x) {
  return !is_zero(x) && !dec_negative(x);
}

// The larger of the exponents of the normal values among a and b; nothing special counts.
std::int64_t max_exponent(const DecFloat* a, const DecFloat* b) {
  std::int64_t e = INT64_MIN;
  if (!is_special(a)) e = dec_exponent(a);
  if (!is_special(b)) e = std::max(e, dec_exponent(b));
  return e;
}

// --- real helpers at the current precision ----------------------------------------------------

void set_one(DecFloat* x) {
  dec_from_word(x, 1);
}

// ln(1 + v) for v > -1, relatively accurate for small v.
void ln1p(DecFloat* r, const DecFloat* v) {
  if (is_zero(v)) return make_zero(r, false);
  if (dec_compare_short(v, 5, -1, true) < 0) {
    dec_log1p_small(r, v);
    return;
  }
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  set_one(t);
  dec_add_sub(t, t, v, 0);
  dec_ln(r, t);
}

// x^2 + y^2 - 1 to the last digit: the squares are exact at twice the precision and 1 is taken
// from the larger one first, so only the final addition rounds.
void modulus_sq_minus_one(DecFloat* r, const DecFloat* x, const DecFloat* y) {
  const std::int64_t p = g_arith.precision;
  const std::int64_t wide = 2 * p + 4;
  ScratchScope scope;
  DecFloat* big = scratch_alloc(words_at(wide));
  DecFloat* small = scratch_alloc(words_at(wide));
  DecFloat* t = scratch_alloc(words_at(wide));
  const bool x_big = dec_compare(x, y, true) >= 0;
  realign(big, wide, x_big ? x : y, p);
  realign(small, wide, x_big ? y : x, p);
  {
    ContextScope gp = ContextScope::guard(wide - p);
    DecFloat* one = scratch_dec();
    set_one(one);
    dec_mul(big, big, big);
    dec_mul(small, small, small);
    dec_add_sub(t, big, one, 1);
    dec_add_sub(t, t, small, 0);
  }
  realign(r, p, t, wide);
}

// sinh a and cosh a from one exponential (or one series for small a).
void sinh_cosh(DecFloat* sh, DecFloat* ch, const DecFloat* a) {
  if (is_zero(a)) {
    make_zero(sh, false);
    set_one(ch);
    return;
  }
  if (dec_compare_short(a, 5, -1, true) < 0) {
    sin_cos_series(sh, ch, a, true);
    return;
  }
  ScratchScope scope;
  DecFloat* e = scratch_dec();
  DecFloat* inv = scratch_dec();
  DecFloat* aa = scratch_dec();
  dec_copy(aa, a);
  dec_abs(aa);
  dec_exp(e, aa);
  if (is_infinity(e)) {
    make_infinity(sh, dec_negative(a));
    make_infinity(ch, false);
    return;
  }
  set_one(inv);
  dec_div(inv, inv, e);
  dec_add_sub(sh, e, inv, 1);
  dec_div_word(sh, sh, 2, 0);
  dec_add_sub(ch, e, inv, 0);
  dec_div_word(ch, ch, 2, 0);
  if (dec_negative(a)) dec_negate(sh);
}

// sin x and cos x from one series: the smaller of the two by its series, the other as
// sqrt((1 - v)(1 + v)) of it, which cancels nothing while |v| <= 0.75. A 20-digit pass picks the
// smaller one and gives the root's sign.
void sin_and_cos(DecFloat* s, DecFloat* c, const DecFloat* x) {
  if (is_special(x) || dec_exponent(x) >= 15 || g_arith.precision < 60) {
    dec_sin_cos(s, c, x);
    return;
  }
  const std::int64_t p = g_arith.precision;
  constexpr std::int64_t kLow = 20;
  ScratchScope scope;
  DecFloat* lx = scratch_alloc(words_at(kLow));
  DecFloat* ls = scratch_alloc(words_at(kLow));
  DecFloat* lc = scratch_alloc(words_at(kLow));
  realign(lx, kLow, x, p);
  bool sine_smaller, s_neg, c_neg;
  {
    ContextScope gp = ContextScope::guard(kLow - p);
    dec_sin_cos(ls, lc, lx);
    sine_smaller = dec_compare(ls, lc, true) <= 0;
    s_neg = dec_negative(ls);
    c_neg = dec_negative(lc);
  }
  DecFloat* v = sine_smaller ? s : c;
  DecFloat* w = sine_smaller ? c : s;
  dec_sin_cos(sine_smaller ? s : nullptr, sine_smaller ? nullptr : c, x);
  DecFloat* one = scratch_dec();
  DecFloat* t = scratch_dec();
  set_one(one);
  dec_add_sub(t, one, v, 1);
  dec_add_sub(w, one, v, 0);
  dec_mul(w, w, t);
  dec_sqrt(w, w);
  if (sine_smaller ? c_neg : s_neg) dec_negate(w);
}

// dst = a b, exactly zero when either factor is zero (an infinite a times an exact zero of a
// sine or cosine stays zero).
void mul_part(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  if (is_zero(a) || is_zero(b)) return make_zero(dst, false);
  dec_mul(dst, a, b);
}

// f(t + ib) for exp, sinh, cosh and tanh, with s = sin b, c = cos b.
void hyperbolic_parts(DecFloat* re, DecFloat* im, CplxFn fn, const DecFloat* t, const DecFloat* s,
                      const DecFloat* c) {
  ScratchScope scope;
  DecFloat* sh = scratch_dec();
  DecFloat* ch = scratch_dec();
  switch (fn) {
    case CplxFn::Exp:
      dec_exp(sh, t);
      mul_part(re, sh, c);
      mul_part(im, sh, s);
      return;
    case CplxFn::Sinh:
      sinh_cosh(sh, ch, t);
      mul_part(re, sh, c);
      mul_part(im, ch, s);
      return;
    case CplxFn::Cosh:
      sinh_cosh(sh, ch, t);
      mul_part(re, ch, c);
      mul_part(im, sh, s);
      return;
    default:
      break;
  }
  // tanh: (sinh t cosh t + i s c) / (sinh^2 t + c^2).
  const std::int64_t p = g_arith.precision;
  if (!is_zero(t) &&
      dec_compare_word(t, static_cast<std::uint64_t>(295 * (p + 5) / 256 + 2), true) >= 0) {
    // sinh^2 t exceeds c^2 and the rest by more than the precision: re = +-1, im = 4 s c e^-2|t|.
    set_one(re);
    if (dec_negative(t)) dec_negate(re);
    DecFloat* e = scratch_dec();
    dec_mul_word(e, t, 2);
    dec_abs(e);
    dec_negate(e);
    dec_exp(e, e);
    mul_part(im, s, c);
    if (!is_zero(im)) {
      dec_mul_word(im, im, 4);
      mul_part(im, im, e);
    }
    return;
  }
  DecFloat* d = scratch_dec();
  DecFloat* q = scratch_dec();
  sinh_cosh(sh, ch, t);
  dec_mul(d, sh, sh);
  dec_mul(q, c, c);
  dec_add_sub(d, d, q, 0);
  mul_part(re, sh, ch);
  if (!is_zero(re)) dec_div(re, re, d);
  mul_part(im, s, c);
  if (!is_zero(im)) dec_div(im, im, d);
}

// --- logarithm ------------------------------------------------------------------------------

// ln z = ln|z| + i arg z at the current precision, z != 0.
void ln_parts(DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
  ScratchScope scope;
  const std::int64_t e = max_exponent(x, y);
  bool done = false;
  if (e == -1 || e == 0) {
    // Next to the unit circle ln|z| = ln(1 + t) / 2 with t = x^2 + y^2 - 1 to the last digit.
    DecFloat* t = scratch_dec();
    modulus_sq_minus_one(t, x, y);
    if (dec_compare_short(t, 5, -1, true) < 0) {
      ln1p(re, t);
      dec_div_word(re, re, 2, 0);
      done = true;
    }
  }
  if (!done) {
    DecFloat* h = scratch_dec();
    dec_hypot(h, x, y);
    dec_ln(re, h);
  }
  DecFloat* py = scratch_dec();
  dec_copy(py, y);
  if (is_zero(py)) make_zero(py, false);  // the cut takes its values from above
  dec_angle(im, py, x);
}

// --- inverse circular functions -------------------------------------------------------------

void half_pi(DecFloat* r) {
  apply_rounding(r, dec_half_pi(r));
}

// Hull, Fairgrieve and Tang for x >= 0, y > 0: the real part of asin (re_asin) or of acos
// (re_acos) in [0, pi/2], and the imaginary part's magnitude. Either real output may be null.
void asin_acos_quadrant(DecFloat* re_asin, DecFloat* re_acos, DecFloat* im, const DecFloat* x,
                        const DecFloat* y) {
  ScratchScope scope;
  const std::int64_t p = g_arith.precision;
  DecFloat* one = scratch_dec();
  DecFloat* xp1 = scratch_dec();
  DecFloat* xm1 = scratch_dec();
  DecFloat* r = scratch_dec();
  DecFloat* s = scratch_dec();
  DecFloat* a = scratch_dec();
  DecFloat* t = scratch_dec();
  DecFloat* u = scratch_dec();
  DecFloat* y2 = scratch_dec();
  DecFloat* t1 = scratch_dec();
  DecFloat* apx = scratch_dec();
  set_one(one);
  dec_add_sub(xp1, x, one, 0);
  dec_add_sub(xm1, x, one, 1);  // x - 1, exact next to 1
  dec_hypot(r, xp1, y);
  dec_hypot(s, xm1, y);
  dec_add_sub(a, r, s, 0);
  dec_div_word(a, a, 2, 0);
  dec_mul(y2, y, y);
  dec_add_sub(apx, a, x, 0);
  dec_add_sub(t, r, xp1, 0);  // r + x + 1
  const bool below_one = dec_compare_word(x, 1, false) < 0;
  // t1 = y^2 / (r + x + 1); u = s + |1 - x|
  dec_div(t1, y2, t);
  dec_copy(u, xm1);
  dec_abs(u);
  dec_add_sub(u, s, u, 0);

  // Real parts.
  DecFloat* b = scratch_dec();
  dec_div(b, x, a);
  if (dec_compare_short(b, 6417, -1, false) <= 0) {
    if (re_asin) dec_asin(re_asin, b);
    if (re_acos) dec_acos(re_acos, b);
  } else {
    DecFloat* den = scratch_dec();
    if (below_one) {
      // sqrt((A + x)(y^2 / (r + x + 1) + s + 1 - x) / 2)
      dec_add_sub(den, t1, u, 0);
      dec_mul(den, den, apx);
    } else {
      // y sqrt(((A + x) / (r + x + 1) + (A + x) / (s + x - 1)) / 2)
      DecFloat* v = scratch_dec();
      dec_div(den, apx, t);
      dec_div(v, apx, u);
      dec_add_sub(den, den, v, 0);
      dec_mul(den, den, y2);
    }
    dec_div_word(den, den, 2, 0);
    dec_sqrt(den, den);
    if (re_asin) elem::atan_ratio_kernel(re_asin, x, den);
    if (re_acos) elem::atan_ratio_kernel(re_acos, den, x);
  }

  // Imaginary part: ln(A + sqrt(A^2 - 1)), through A - 1 without cancellation below 1.5.
  if (dec_compare_short(a, 15, 0, false) <= 0) {
    DecFloat* am1 = scratch_dec();
    if (below_one) {
      dec_div(am1, y2, u);
      dec_add_sub(am1, t1, am1, 0);
    } else {
      dec_add_sub(am1, t1, u, 0);
    }
    dec_div_word(am1, am1, 2, 0);
    DecFloat* v = scratch_dec();
    dec_add_sub(v, a, one, 0);
    dec_mul(v, v, am1);
    dec_sqrt(v, v);
    dec_add_sub(v, v, am1, 0);
    ln1p(im, v);
  } else if (dec_exponent(a) > p / 2 + 2) {
    // A^2 - 1 = A^2 to the precision: ln(2A).
    DecFloat* l2 = scratch_dec();
    dec_ln(im, a);
    load_constant(l2, kConstLn2);
    dec_add_sub(im, im, l2, 0);
  } else {
    DecFloat* v = scratch_dec();
    DecFloat* w = scratch_dec();
    dec_add_sub(v, a, one, 1);
    dec_add_sub(w, a, one, 0);
    dec_mul(v, v, w);
    dec_sqrt(v, v);
    dec_add_sub(v, v, a, 0);
    dec_ln(im, v);
  }
}

// asin z (want_acos false) or acos z at the current precision, any z.
void asin_acos(DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y, bool want_acos) {
  ScratchScope scope;
  DecFloat* ax = scratch_dec();
  DecFloat* ay = scratch_dec();
  DecFloat* m = scratch_dec();
  dec_copy(ax, x);
  dec_abs(ax);
  dec_copy(ay, y);
  dec_abs(ay);
  const bool x_neg = dec_negative(x) && !is_zero(x);
  bool im_neg;  // the sign of the imaginary part of asin
  if (is_zero(y)) {
    if (dec_compare_word(ax, 1, false) <= 0) {
      want_acos ? dec_acos(re, x) : dec_asin(re, x);
      make_zero(im, false);
      return;
    }
    // On the cut: asin = +-pi/2 + i acosh|x|, from below right of 1 and from above left of -1.
    if (want_acos) {
      make_zero(m, false);
    } else {
      half_pi(m);
    }
    dec_acosh(im, ax);
    im_neg = !x_neg;
  } else {
    asin_acos_quadrant(want_acos ? nullptr : m, want_acos ? m : nullptr, im, ax, ay);
    im_neg = dec_negative(y);
  }
  if (want_acos) {
    if (x_neg) {
      DecFloat* pi = scratch_dec();
      dec_pi(pi);
      dec_add_sub(re, pi, m, 1);
    } else {
      dec_copy(re, m);
    }
    if (!im_neg && !is_zero(im)) dec_negate(im);
  } else {
    dec_copy(re, m);
    if (x_neg && !is_zero(re)) dec_negate(re);
    if (im_neg && !is_zero(im)) dec_negate(im);
  }
}

// atanh z after Kahan at the current precision, any z.
void atanh_parts(DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
  ScratchScope scope;
  // atanh(-z) = -atanh z: work with x >= 0.
  const bool neg = dec_negative(x) && !is_zero(x);
  DecFloat* ax = scratch_dec();
  DecFloat* yy = scratch_dec();
  dec_copy(ax, x);
  dec_abs(ax);
  dec_copy(yy, y);
  if (neg) dec_negate(yy);
  if (is_zero(yy)) make_zero(yy, false);
  DecFloat* one = scratch_dec();
  DecFloat* d = scratch_dec();
  DecFloat* t = scratch_dec();
  set_one(one);
  const int side = dec_compare(ax, one, false);
  if (is_zero(yy) && side <= 0) {
    dec_atanh(re, ax);
    make_zero(im, false);
  } else {
    // re = ln(1 + 4x / ((1 - x)^2 + y^2)) / 4
    dec_add_sub(d, one, ax, 1);
    dec_mul(d, d, d);
    dec_mul(t, yy, yy);
    dec_add_sub(d, d, t, 0);
    if (is_zero(ax)) {
      make_zero(re, false);
    } else {
      dec_mul_word(t, ax, 4);
      dec_div(t, t, d);
      ln1p(re, t);
      dec_div_word(re, re, 4, 0);
    }
    if (is_zero(yy)) {
      // On the cut right of 1: the value from below.
      half_pi(im);
      dec_negate(im);
    } else {
      // im = angle(2y, 1 - x^2 - y^2) / 2
      modulus_sq_minus_one(d, ax, yy);
      dec_negate(d);
      dec_mul_word(t, yy, 2);
      dec_angle(im, t, d);
      dec_div_word(im, im, 2, 0);
    }
  }
  if (neg) {
    if (!is_zero(re)) dec_negate(re);
    if (!is_zero(im)) dec_negate(im);
  }
}

// f(iz) for z = x + iy: the argument -y + ix.
void rotate_in(DecFloat* nx, DecFloat* ny, const DecFloat* x, const DecFloat* y) {
  dec_copy(nx, y);
  if (!is_zero(nx)) dec_negate(nx);
  dec_copy(ny, x);
}

// -i (a + ib) = b - ia, in place.
void rotate_out(DecFloat* re, DecFloat* im) {
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  dec_copy(t, re);
  dec_copy(re, im);
  dec_copy(im, t);
  if (!is_zero(im)) dec_negate(im);
}

// --- exact angles of the power ----------------------------------------------------------------

// cos(pi h / 2) and sin(pi h / 2) for an exact h: h is reduced exactly modulo 4 to a multiple
// of the quarter turn and a rest of at most an eighth turn.
void sin_cos_quarters(DecFloat* s, DecFloat* c, const DecFloat* h) {
  ScratchScope scope;
  const std::int64_t p = g_arith.precision;
  if (is_zero(h) || dec_exponent(h) >= p) {  // a multiple of 4 (at least ten times an integer
    make_zero(s, false);                     // with trailing zeros: divisible by 4 needs
    set_one(c);                              // E >= P + 1; E = P is a multiple of 10)
    if (!is_zero(h) && dec_exponent(h) == p) {
      // h = 10 m: the quarter count mod 4 is 2 m mod 4.
      std::uint64_t last;
      DecFloat* q = scratch_dec();
      dec_div_word(q, h, 10, 0);
      DecFloat* r = scratch_dec();
      DecFloat* two = scratch_dec();
      dec_from_word(two, 2);
      dec_divmod(nullptr, r, q, two);
      dec_to_word(&last, r, kToWordAllowNegative);
      if (last % 2) dec_negate(c);
    }
    return;
  }
  DecFloat* four = scratch_dec();
  DecFloat* r = scratch_dec();
  dec_from_word(four, 4);
  dec_divmod(nullptr, r, h, four);
  if (dec_negative(r) && !is_zero(r)) dec_add_sub(r, r, four, 0);  // [0, 4)
  // n = nearest integer, f = r - n in [-1/2, 1/2]
  DecFloat* half = scratch_dec();
  DecFloat* n = scratch_dec();
  dec_from_word(half, 5);
  set_exponent_checked(half, -1, false);
  dec_add_sub(n, r, half, 0);
  dec_trunc(n, n);
  std::uint64_t quarter = 0;
  dec_to_word(&quarter, n, 0);
  DecFloat* f = scratch_dec();
  dec_add_sub(f, r, n, 1);
  DecFloat* sf = scratch_dec();
  DecFloat* cf = scratch_dec();
  if (is_zero(f)) {
    make_zero(sf, false);
    set_one(cf);
  } else {
    DecFloat* theta = scratch_dec();
    dec_half_pi(theta);
    dec_mul(theta, theta, f);
    sin_and_cos(sf, cf, theta);
  }
  switch (quarter % 4) {
    case 0:
      dec_copy(c, cf);
      dec_copy(s, sf);
      break;
    case 1:
      dec_copy(c, sf);
      if (!is_zero(c)) dec_negate(c);
      dec_copy(s, cf);
      break;
    case 2:
      dec_copy(c, cf);
      dec_negate(c);
      dec_copy(s, sf);
      if (!is_zero(s)) dec_negate(s);
      break;
    default:
      dec_copy(c, sf);
      dec_copy(s, cf);
      dec_negate(s);
      break;
  }
}

// Exponent of the larger of |a b| and |c d| for normal factors, INT64_MIN when both vanish.
std::int64_t term_exponent(const DecFloat* a, const DecFloat* b, const DecFloat* c,
                           const DecFloat* d) {
  std::int64_t e = INT64_MIN;
  if (!is_special(a) && !is_special(b)) e = dec_exponent(a) + dec_exponent(b) + 1;
  if (!is_special(c) && !is_special(d)) e = std::max(e, dec_exponent(c) + dec_exponent(d) + 1);
  return e;
}

// Extra digits a computed part needs: how far it lies below the terms it came from.
std::int64_t cancelled_digits(const DecFloat* part, std::int64_t terms) {
  if (terms == INT64_MIN) return 0;
  if (is_zero(part)) return INT64_MAX / 4;
  return std::max<std::int64_t>(terms - dec_exponent(part), 0);
}

// The highest number of guard digits the repeating functions take: twice the precision and
// some, within the digits of the constant tables.
std::int64_t guard_cap() {
  const std::int64_t table = 19 * static_cast<std::int64_t>(kConstantLimbs) - 60;
  return std::max<std::int64_t>(std::min(g_arith.precision + 30, table - g_arith.precision),
                                kComplexGuardDigits);
}

}  // namespace

// --- kernels ------------------------------------------------------------------------------------

void cplx_elementary_kernel(DecFloat* re, DecFloat* im, CplxFn fn, const DecFloat* t,
                            const DecFloat* s, const DecFloat* c) {
  switch (fn) {
    case CplxFn::Sin:
    case CplxFn::Tan: {
      // sin z = -i sinh(iz), tan z = -i tanh(iz) with iz = -t + ib.
      ScratchScope scope;
      DecFloat* nt = scratch_dec();
      dec_copy(nt, t);
      if (!is_zero(nt)) dec_negate(nt);
      hyperbolic_parts(re, im, fn == CplxFn::Sin ? CplxFn::Sinh : CplxFn::Tanh, nt, s, c);
      rotate_out(re, im);
      return;
    }
    case CplxFn::Cos: {
      // cos z = cosh(iz); cosh is even in t.
      ScratchScope scope;
      DecFloat* nt = scratch_dec();
      dec_copy(nt, t);
      if (!is_zero(nt)) dec_negate(nt);
      hyperbolic_parts(re, im, CplxFn::Cosh, nt, s, c);
      return;
    }
    default:
      hyperbolic_parts(re, im, fn, t, s, c);
  }
}

namespace {

// exp, sinh, cosh, tanh (circular false) or sin, cos, tan (circular true) of z.
void forward(Complex* dst, const Complex* z, CplxFn fn, bool circular) {
  if (special_argument(dst, z)) return;
  guarded(dst, z, kComplexGuardDigits,
          [fn, circular](DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
            ScratchScope scope;
            DecFloat* s = scratch_dec();
            DecFloat* c = scratch_dec();
            sin_and_cos(s, c, circular ? x : y);
            cplx_elementary_kernel(re, im, fn, circular ? y : x, s, c);
          });
}

}  // namespace

void cplx_exp(Complex* dst, const Complex* z) {
  if (!special_argument(dst, z) && cplx_is_real(z)) {
    return real_only(dst, z,
                     [](DecFloat* d, const DecFloat* x) { dec_exp10_rounded(d, x, ExpMode::E); });
  }
  forward(dst, z, CplxFn::Exp, false);
}

void cplx_sinh(Complex* dst, const Complex* z) {
  forward(dst, z, CplxFn::Sinh, false);
}
void cplx_cosh(Complex* dst, const Complex* z) {
  forward(dst, z, CplxFn::Cosh, false);
}
void cplx_tanh(Complex* dst, const Complex* z) {
  forward(dst, z, CplxFn::Tanh, false);
}
void cplx_sin(Complex* dst, const Complex* z) {
  forward(dst, z, CplxFn::Sin, true);
}
void cplx_cos(Complex* dst, const Complex* z) {
  forward(dst, z, CplxFn::Cos, true);
}
void cplx_tan(Complex* dst, const Complex* z) {
  forward(dst, z, CplxFn::Tan, true);
}

// --- logarithms ---------------------------------------------------------------------------------

namespace {

// ln z divided by the constant ln 10 or ln 2 (null: ln z itself).
void logarithm(Complex* dst, const Complex* z, const ConstantTable<kConstantLimbs>* base,
               void (*real)(DecFloat*, const DecFloat*)) {
  if (special_argument(dst, z)) return;
  if (cplx_is_real(z) && !dec_negative(cplx_re(z))) return real_only(dst, z, real);
  if (cplx_is_real(z) && is_zero(cplx_re(z))) return real_only(dst, z, real);
  guarded(dst, z, kComplexGuardDigits,
          [base](DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
            ln_parts(re, im, x, y);
            if (!base) return;
            // One reciprocal of the base's logarithm and two products instead of two
            // quotients: a unit or two more, well inside the guard digits.
            ScratchScope scope;
            DecFloat* l = scratch_dec();
            if (base == &kConstLn10) {
              load_constant(l, kConstLog10E);
            } else {
              DecFloat* one = scratch_dec();
              load_constant(l, *base);
              set_one(one);
              dec_div(l, one, l);
            }
            if (!is_zero(re)) dec_mul(re, re, l);
            if (!is_zero(im)) dec_mul(im, im, l);
          });
}

}  // namespace

void cplx_ln(Complex* dst, const Complex* z) {
  logarithm(dst, z, nullptr, dec_ln_rounded);
}
void cplx_log10(Complex* dst, const Complex* z) {
  logarithm(dst, z, &kConstLn10, dec_log10_rounded);
}
void cplx_log2(Complex* dst, const Complex* z) {
  logarithm(dst, z, &kConstLn2, dec_log2_rounded);
}

void cplx_logx(Complex* dst, const Complex* b, const Complex* z) {
  if (special_argument(dst, z)) return;
  if (special_argument(dst, b)) return;
  const bool z_zero = is_zero(cplx_re(z)) && is_zero(cplx_im(z));
  if (cplx_is_real(b) && cplx_is_real(z) && is_positive(cplx_re(b)) && !dec_negative(cplx_re(z))) {
    ScratchScope scope;
    DecFloat* x = scratch_dec();
    dec_copy(x, cplx_re(z));
    dec_logx_rounded(cplx_re(dst), cplx_re(b), x);
    make_zero(cplx_im(dst), false);
    return;
  }
  const bool b_one = cplx_is_real(b) && dec_compare_word(cplx_re(b), 1, false) == 0;
  if ((is_zero(cplx_re(b)) && is_zero(cplx_im(b))) || b_one) {
    return cplx_make_undefined(dst, MathStatus::Undefined);
  }
  if (z_zero) return cplx_make_undefined(dst, MathStatus::Overflow);
  // ln z / ln b; a part that cancels is repeated with as many more digits as it lost.
  std::int64_t g = kComplexGuardDigits;
  const std::int64_t cap = guard_cap();
  for (;;) {
    ScratchScope scope;
    const std::size_t w = words_at(g_arith.precision + g);
    DecFloat* zx = scratch_alloc(w);
    DecFloat* zy = scratch_alloc(w);
    DecFloat* bx = scratch_alloc(w);
    DecFloat* by = scratch_alloc(w);
    DecFloat* re = scratch_alloc(w);
    DecFloat* im = scratch_alloc(w);
    widen(zx, cplx_re(z), g);
    widen(zy, cplx_im(z), g);
    widen(bx, cplx_re(b), g);
    widen(by, cplx_im(b), g);
    std::int64_t lost_re = 0, lost_im = 0;
    {
      ContextScope gp = ContextScope::guard(g);
      DecFloat* lzr = scratch_dec();
      DecFloat* lzi = scratch_dec();
      DecFloat* lbr = scratch_dec();
      DecFloat* lbi = scratch_dec();
      DecFloat* t = scratch_dec();
      if (is_zero(zy)) make_zero(zy, false);
      if (is_zero(by)) make_zero(by, false);
      ln_parts(lzr, lzi, zx, zy);
      ln_parts(lbr, lbi, bx, by);
      if (is_zero(lbi)) {
        if (!is_zero(lzr))
          dec_div(re, lzr, lbr);
        else
          make_zero(re, false);
        if (!is_zero(lzi))
          dec_div(im, lzi, lbr);
        else
          make_zero(im, false);
      } else {
        // (lzr lbr + lzi lbi) / q + i (lzi lbr - lzr lbi) / q
        DecFloat* q = scratch_dec();
        dec_mul(q, lbr, lbr);
        dec_mul(t, lbi, lbi);
        dec_add_sub(q, q, t, 0);
        mul_part(re, lzr, lbr);
        mul_part(t, lzi, lbi);
        dec_add_sub(re, re, t, 0);
        mul_part(im, lzi, lbr);
        mul_part(t, lzr, lbi);
        dec_add_sub(im, im, t, 1);
        lost_re = cancelled_digits(re, term_exponent(lzr, lbr, lzi, lbi));
        lost_im = cancelled_digits(im, term_exponent(lzi, lbr, lzr, lbi));
        if (!is_zero(re)) dec_div(re, re, q);
        if (!is_zero(im)) dec_div(im, im, q);
      }
    }
    const std::int64_t lost = std::max(lost_re, lost_im);
    if (lost + 6 <= g || g >= cap) {
      // At the cap a part that still cancels completely is taken as an exact zero.
      if (lost_re + 6 > g) make_zero(re, false);
      if (lost_im + 6 > g) make_zero(im, false);
      round_part(cplx_re(dst), re, g);
      round_part(cplx_im(dst), im, g);
      return;
    }
    g = std::min(cap, std::max(g + 10, lost + 10));
  }
}

// --- power
// ----------------------------------------------------------------------------------------

void cplx_pow_general(Complex* dst, const Complex* z, const Complex* w) {
  if (special_argument(dst, z)) return;
  if (special_argument(dst, w)) return;
  const bool z_zero = is_zero(cplx_re(z)) && is_zero(cplx_im(z));
  const bool w_real = cplx_is_real(w);
  if (z_zero) {
    if (!w_real) return cplx_make_undefined(dst, MathStatus::Undefined);
    ScratchScope scope;
    DecFloat* y = scratch_dec();
    dec_copy(y, cplx_re(w));
    dec_pow_rounded(cplx_re(dst), cplx_re(z), y);
    make_zero(cplx_im(dst), false);
    return;
  }
  if (w_real && (is_zero(cplx_re(z)) || is_zero(cplx_im(z)))) {
    // z on an axis: |z|^w (cos + i sin)(pi h / 2), h = k w for the quarter turns k of arg z.
    int k;
    if (is_zero(cplx_im(z))) {
      k = dec_negative(cplx_re(z)) ? 2 : 0;
    } else {
      k = dec_negative(cplx_im(z)) ? -1 : 1;
    }
    const std::int64_t g = pow_guard_digits(cplx_re(w)) + 4;
    ScratchScope scope;
    const std::size_t words = words_at(g_arith.precision + g);
    DecFloat* m = scratch_alloc(words);
    DecFloat* y = scratch_alloc(words);
    DecFloat* re = scratch_alloc(words);
    DecFloat* im = scratch_alloc(words);
    widen(m, k % 2 == 0 ? cplx_re(z) : cplx_im(z), g);
    widen(y, cplx_re(w), g);
    {
      ContextScope gp = ContextScope::guard(g);
      DecFloat* h = scratch_dec();
      DecFloat* s = scratch_dec();
      DecFloat* c = scratch_dec();
      dec_abs(m);
      dec_pow(m, m, y);
      dec_mul_word(h, y, static_cast<std::uint64_t>(k < 0 ? 1 : k));  // exact: g >= 5
      if (k < 0) dec_negate(h);
      sin_cos_quarters(s, c, h);
      mul_part(re, m, c);
      mul_part(im, m, s);
    }
    round_part(cplx_re(dst), re, g);
    round_part(cplx_im(dst), im, g);
    return;
  }
  // exp(w ln z), repeated with more digits when the exponent's size or a vanishing sine or
  // cosine of its imaginary part asks for them.
  std::int64_t g = kComplexGuardDigits;
  const std::int64_t cap = guard_cap();
  for (;;) {
    ScratchScope scope;
    const std::size_t words = words_at(g_arith.precision + g);
    DecFloat* zx = scratch_alloc(words);
    DecFloat* zy = scratch_alloc(words);
    DecFloat* wx = scratch_alloc(words);
    DecFloat* wy = scratch_alloc(words);
    DecFloat* re = scratch_alloc(words);
    DecFloat* im = scratch_alloc(words);
    widen(zx, cplx_re(z), g);
    widen(zy, cplx_im(z), g);
    widen(wx, cplx_re(w), g);
    widen(wy, cplx_im(w), g);
    std::int64_t need_re = 0, need_im = 0;
    {
      ContextScope gp = ContextScope::guard(g);
      DecFloat* lr = scratch_dec();
      DecFloat* li = scratch_dec();
      DecFloat* u = scratch_dec();
      DecFloat* v = scratch_dec();
      DecFloat* t = scratch_dec();
      if (is_zero(zy)) make_zero(zy, false);
      ln_parts(lr, li, zx, zy);
      // u + iv = w ln z
      mul_part(u, wx, lr);
      mul_part(t, wy, li);
      dec_add_sub(u, u, t, 1);
      mul_part(v, wx, li);
      mul_part(t, wy, lr);
      dec_add_sub(v, v, t, 0);
      // Absolute errors of u and v are about 10^(terms - P - g); e^u turns that of u into a
      // relative one, and that of v becomes relative after division by cos v or sin v.
      const std::int64_t eu = term_exponent(wx, lr, wy, li);
      const std::int64_t ev = term_exponent(wx, li, wy, lr);
      DecFloat* s = scratch_dec();
      DecFloat* c = scratch_dec();
      if (is_zero(v)) {
        make_zero(s, false);
        set_one(c);
      } else {
        sin_and_cos(s, c, v);
      }
      const std::int64_t base = eu == INT64_MIN ? 0 : std::max<std::int64_t>(eu, 0);
      const std::int64_t angle = ev == INT64_MIN ? INT64_MIN : std::max<std::int64_t>(ev, 0);
      auto need = [&](const DecFloat* f) {
        if (angle == INT64_MIN) return base;
        if (is_zero(f)) return std::max(base, INT64_MAX / 4);
        return std::max(base, angle - std::min<std::int64_t>(dec_exponent(f), 0));
      };
      need_re = need(c);
      need_im = need(s);
      dec_exp(u, u);
      mul_part(re, u, c);
      mul_part(im, u, s);
    }
    const std::int64_t need = std::max(need_re, need_im);
    if (need + 6 <= g || g >= cap) {
      if (need_re + 6 > g) make_zero(re, false);
      if (need_im + 6 > g) make_zero(im, false);
      round_part(cplx_re(dst), re, g);
      round_part(cplx_im(dst), im, g);
      return;
    }
    g = std::min(cap, std::max(g + 10, need + 10));
  }
}

// --- inverse functions
// ------------------------------------------------------------------------------

void cplx_asin(Complex* dst, const Complex* z) {
  if (special_argument(dst, z)) return;
  guarded(dst, z, kComplexGuardDigits,
          [](DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
            asin_acos(re, im, x, y, false);
          });
}

void cplx_acos(Complex* dst, const Complex* z) {
  if (special_argument(dst, z)) return;
  guarded(dst, z, kComplexGuardDigits,
          [](DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
            asin_acos(re, im, x, y, true);
          });
}

void cplx_atanh(Complex* dst, const Complex* z) {
  if (special_argument(dst, z)) return;
  guarded(dst, z, kComplexGuardDigits,
          [](DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
            atanh_parts(re, im, x, y);
          });
}

void cplx_asinh(Complex* dst, const Complex* z) {
  if (special_argument(dst, z)) return;
  if (cplx_is_real(z)) return real_only(dst, z, dec_asinh);
  // asinh z = -i asin(iz)
  guarded(dst, z, kComplexGuardDigits,
          [](DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
            ScratchScope scope;
            DecFloat* nx = scratch_dec();
            DecFloat* ny = scratch_dec();
            rotate_in(nx, ny, x, y);
            asin_acos(re, im, nx, ny, false);
            rotate_out(re, im);
          });
}

void cplx_atan(Complex* dst, const Complex* z) {
  if (special_argument(dst, z)) return;
  if (cplx_is_real(z)) return real_only(dst, z, dec_atan);
  // atan z = -i atanh(iz)
  guarded(dst, z, kComplexGuardDigits,
          [](DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
            ScratchScope scope;
            DecFloat* nx = scratch_dec();
            DecFloat* ny = scratch_dec();
            rotate_in(nx, ny, x, y);
            atanh_parts(re, im, nx, ny);
            rotate_out(re, im);
          });
}

void cplx_acosh(Complex* dst, const Complex* z) {
  if (special_argument(dst, z)) return;
  if (cplx_is_real(z) && dec_compare_word(cplx_re(z), 1, false) >= 0) {
    return real_only(dst, z, dec_acosh);
  }
  // acosh z = i acos z in the upper half plane (and on the cut), -i acos z below.
  guarded(dst, z, kComplexGuardDigits,
          [](DecFloat* re, DecFloat* im, const DecFloat* x, const DecFloat* y) {
            asin_acos(re, im, x, y, true);
            const bool below = dec_negative(y) && !is_zero(y);
            ScratchScope scope;
            DecFloat* t = scratch_dec();
            dec_copy(t, re);   // u
            dec_copy(re, im);  // v
            dec_copy(im, t);
            if (below) {
              if (!is_zero(im)) dec_negate(im);
            } else if (!is_zero(re)) {
              dec_negate(re);
            }
          });
}
