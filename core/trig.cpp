// Sine, cosine, tangent, arc tangent and the angle of a point.
#include "core/trig.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/arith.h"
#include "core/constants.h"
#include "core/correct_rounding.h"
#include "core/elementary_internal.h"
#include "core/limbs.h"

namespace {

// Extra digits for a series of about P / 2 terms whose truncated additions each lose up to
// one unit in the last place.
std::int64_t series_guard() {
  return digit_count(static_cast<Word>(g_arith.precision)) + 2;
}

std::size_t words_for(std::int64_t digits) {
  return dec_words_for(digits) + 1;  // one spare limb
}

// Runs `body` at `digits` digits on x (of the current precision) widened to it, and writes the
// result truncated to out_digits into dst.
template <class Body>
void at_precision(std::int64_t digits, DecFloat* dst, std::int64_t out_digits, const DecFloat* x,
                  Body body) {
  const std::int64_t p = g_arith.precision;
  ScratchScope scope;
  DecFloat* wx = scratch_alloc(words_for(digits));
  DecFloat* wr = scratch_alloc(words_for(digits));
  realign(wx, digits, x, p);
  {
    ContextScope gp = ContextScope::guard(digits - p);
    body(wr, wx);
  }
  realign(dst, out_digits, wr, digits);
}

}  // namespace

namespace {

std::uint64_t cos_divisor(std::uint64_t l) {
  return (2 * l + 1) * (2 * l + 2);
}

// From here on sin and cos halve and double; below, the plain series is faster.
constexpr std::int64_t kHalvingPrecision = 100;

// Halvings: each costs a squaring and gains the series about 0.6 digits a term (the series
// runs in t^2); measured best near sqrt(P) / 3 (10 at 1,000 digits, 33 at 10,005).
int trig_halvings() {
  return static_cast<int>(std::sqrt(static_cast<double>(g_arith.precision)) / 3);
}

// sin and cos (sinh and cosh) of t by halving: with t' = t / 2^k, the series
//   v = 1 - cos t' (cosh t' - 1) = (t'^2 / 2) sum (-+t'^2)^l / ((3 4) (5 6) ... (2l+1)(2l+2)),
// then k times v <- 4v -+ 2v^2 (1 - cos 2x = 2 sin^2 x), cos t = 1 -+ v, sin t = sqrt(v (2 -+ v)).
// Circular for |t| < pi/2 + 0.01 (atan's Newton step), hyperbolic for |t| < 1 (the callers
// take exp beyond 0.5).
// Error, in relative units of the raised precision: t' one, t'^2 two more, the series
// 3 N + 3 (chain_series) and its product with t'^2 / 2 two. A doubling adds at most 4 (three
// truncated products and the sum, which stays above 3.4 v) and multiplies what is there by
// (1 - v)/(1 - v/2) <= 1, or (1 + v)/(1 + v/2) for sinh/cosh: as v grows fourfold a step,
// the product of those stays below exp(2 v_end / 3) < 1.5 for v_end = cosh 1 - 1. So v is
// within 1.5 (3 N + 4 k + 8) < 10^6 units (N < 10^5, k < 100); the 7 guard digits leave cos
// (an absolute error, 1 -+ v near 1) and sin (half of v's relative error, and the root's
// unit) within one unit of the working precision.
void sin_cos_halved(DecFloat* s_out, DecFloat* c_out, const DecFloat* t, bool hyperbolic) {
  const std::int64_t p = g_arith.precision;
  const std::int64_t wp = p + 7;
  const int k = trig_halvings();
  ScratchScope scope;
  DecFloat* ws = scratch_alloc(dec_words_for(wp) + 1);
  DecFloat* wc = scratch_alloc(dec_words_for(wp) + 1);
  DecFloat* wt = scratch_alloc(dec_words_for(wp) + 1);
  realign(wt, wp, t, p);
  {
    ContextScope gp = ContextScope::precision(wp);
    ScratchScope inner;
    DecFloat* y = scratch_dec();
    DecFloat* v = scratch_dec();
    DecFloat* q = scratch_dec();
    dec_div_word(y, wt, std::uint64_t{1} << k, 0);
    dec_mul(y, y, y);
    if (!hyperbolic) dec_negate(y);
    elem::chain_series(v, y, cos_divisor);
    dec_mul(v, v, y);
    dec_div_word(v, v, 2, 0);
    dec_abs(v);
    for (int i = 0; i < k; ++i) {
      dec_mul(q, v, v);
      dec_mul_word(q, q, 2);
      dec_mul_word(v, v, 4);
      dec_add_sub(v, v, q, hyperbolic ? 0 : 1);
    }
    dec_from_word(q, 1);
    if (c_out) dec_add_sub(wc, q, v, hyperbolic ? 0 : 1);
    if (s_out) {
      dec_from_word(q, 2);
      dec_add_sub(q, q, v, hyperbolic ? 0 : 1);
      dec_mul(q, q, v);
      dec_sqrt(ws, q);
      if (dec_negative(wt)) dec_negate(ws);
    }
  }
  if (s_out) realign(s_out, p, ws, wp);
  if (c_out) realign(c_out, p, wc, wp);
}

}  // namespace

void sin_cos_series(DecFloat* s, DecFloat* c, const DecFloat* t, bool hyperbolic) {
  const std::int64_t p = g_arith.precision;
  // The halving pays where the plain series would take more than a few dozen terms.
  if (p >= kHalvingPrecision && !is_special(t) && dec_exponent(t) > -p / 20 &&
      dec_exponent(t) < 0) {
    sin_cos_halved(s, c, t, hyperbolic);
    return;
  }
  ScratchScope scope;
  DecFloat* t2 = scratch_dec();
  DecFloat* term_s = scratch_dec();
  DecFloat* term_c = scratch_dec();
  DecFloat* sum_s = scratch_dec();
  DecFloat* sum_c = scratch_dec();
  dec_mul(t2, t, t);
  if (!hyperbolic) dec_negate(t2);  // the terms alternate
  dec_copy(term_s, t);
  dec_copy(sum_s, t);
  dec_from_word(term_c, 1);
  dec_from_word(sum_c, 1);
  bool s_done = s == nullptr || is_zero(t), c_done = c == nullptr || is_zero(t);
  for (Word j = 1; !(s_done && c_done); j += 2) {
    // cos: term * t^2 / (j (j + 1)), j = 1, 3, ...; sin: term * t^2 / ((j + 1)(j + 2))
    if (!c_done) {
      dec_mul(term_c, term_c, t2);
      dec_div_word(term_c, term_c, j * (j + 1), 0);
      dec_add_sub(sum_c, sum_c, term_c, 0);
      c_done = is_special(term_c) || is_special(sum_c) ||
               dec_exponent(sum_c) - dec_exponent(term_c) >= p - 1;
    }
    if (!s_done) {
      dec_mul(term_s, term_s, t2);
      dec_div_word(term_s, term_s, (j + 1) * (j + 2), 0);
      dec_add_sub(sum_s, sum_s, term_s, 0);
      s_done = is_special(term_s) || is_special(sum_s) ||
               dec_exponent(sum_s) - dec_exponent(term_s) >= p - 1;
    }
  }
  if (s) dec_copy(s, sum_s);
  if (c) dec_copy(c, sum_c);
}

namespace {

// |x| = q pi/4 + r; writes t (r, or r - pi/4 for odd octants) at precision t_digits and the
// octant q mod 8, or returns false when the reduction fails. The reduction runs with extra
// digits: as many as |x| has integer digits, and again as many as t lost to cancellation, so
// that t is right to t_digits digits. pi comes from the table or, beyond it, from the digits
// computed on demand; a reduction that would need more than kMaxPiDigits fails.
bool reduce_by_quarter_pi(DecFloat* t, std::int64_t t_digits, Word* octant, const DecFloat* x) {
  const std::int64_t ex = dec_exponent(x);
  std::int64_t extra = std::max<std::int64_t>(ex, 0) + 4;
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (t_digits + extra > kMaxPiDigits) return false;
    const std::int64_t w = t_digits + extra;
    bool ok = true;
    std::int64_t et = 0;
    bool zero = false;
    Word q = 0;
    at_precision(w, t, t_digits, x, [&](DecFloat* r, const DecFloat* wx) {
      ScratchScope scope;
      DecFloat* ax = scratch_dec();
      DecFloat* quarter = scratch_dec();
      DecFloat* quot = scratch_dec();
      dec_copy(ax, wx);
      dec_abs(ax);
      load_pi_quarter(quarter);
      dec_divmod(quot, r, ax, quarter);
      // Only the octant q mod 8 matters; it follows from the last three digits of q, so
      // quotients of any length are fine.
      if (is_special(quot) && !is_zero(quot)) {
        ok = false;
        return;
      }
      q = 0;
      if (!is_zero(quot)) {
        const std::int64_t eq = dec_exponent(quot);
        for (std::int64_t i = std::max<std::int64_t>(eq - 2, 0); i <= eq; ++i) {
          q = q * 10 + (i < g_arith.precision ? static_cast<Word>(mantissa_digit(quot + 1, i)) : 0);
        }
      }
      if (q & 1) dec_add_sub(r, r, quarter, 1);
      zero = is_zero(r);
      et = dec_exponent(r);
    });
    if (!ok) return false;
    *octant = q & 7;
    // The absolute error of t is about one unit at digit w of |x|: t keeps its t_digits
    // digits when the extra digits cover the integer digits of |x| and the cancelled ones.
    const std::int64_t lost = zero ? t_digits : std::max<std::int64_t>(ex, 0) - et;
    if (zero || extra >= lost + 4) {
      if (zero) {
        t[0] = kSpecialHeader;
        std::fill(t + 1, t + (t_digits + 18) / 19 + 1, Word{0});
      }
      return true;
    }
    extra = lost + 4;
  }
  return true;
}

// Exact tangents tan(j * atan(1/21)), j = 0..16, then tan(pi/4); and tan(j * atan(1/351)).
constexpr Word kTan21[18][2] = {{0, 1},
                                {1, 21},
                                {21, 220},
                                {661, 4599},
                                {9240, 47959},
                                {241999, 997899},
                                {3039939, 10356940},
                                {74195659, 214455801},
                                {886282320, 2214688081},
                                {20826616801, 45622167381},
                                {241490560101, 468619449100},
                                {5539921211221, 9599517870999},
                                {62968931653320, 98024977039879},
                                {1420372541759599, 1995555586184139},
                                {15911689481567859, 20243147384053660},
                                {354388626496978699, 409194405583559001},
                                {3925677781010055840ULL, 4119346945378880161ULL},
                                {1, 1}};
constexpr Word kTan351[9][2] = {{0, 1},
                                {1, 351},
                                {351, 61600},
                                {184801, 21621249},
                                {43243200, 3794436799},
                                {18972799999, 1331804073249},
                                {3995628436449, 233722128455200},
                                {1636187709648799, 82032471459338751},
                                {328167178773033600, 14395880647259126401ULL}};

// Selection bounds: tan of the midpoints between consecutive reduction angles, as leading
// digits and the exponent of the first one. Entry j is the least value reduced by j.
struct Bound {
  Word digits;
  std::int64_t exponent;
};
constexpr Bound kBounds21[18] = {{0, 0},          {237960416, -2}, {714961047, -2}, {119522074, -1},
                                 {168097856, -1}, {217457577, -1}, {267850247, -1}, {319545019, -1},
                                 {372837319, -1}, {428056143, -1}, {485572928, -1}, {545812537, -1},
                                 {609267090, -1}, {676513637, -1}, {748237095, -1}, {825260451, -1},
                                 {908585185, -1}, {976216557, -1}};
constexpr Bound kBounds351[9] = {{0, 0},          {142449853, -3}, {427351873, -3},
                                 {712260830, -3}, {997181350, -3}, {128211806, -2},
                                 {156707559, -2}, {185205856, -2}, {213707161, -2}};

template <std::size_t N>
int pick_reduction(const DecFloat* t, const Bound (&bounds)[N]) {
  int j = 0;
  for (std::size_t i = 1; i < N; ++i) {
    if (dec_compare_short(t, bounds[i].digits, bounds[i].exponent, true) >= 0) {
      j = static_cast<int>(i);
    }
  }
  return j;
}

// t <- (t q - p) / (t p + q), i.e. tan(atan t - atan(p / q)).
void reduce_by_tangent(DecFloat* t, Word p_num, Word q_den) {
  ScratchScope scope;
  DecFloat* num = scratch_dec();
  DecFloat* den = scratch_dec();
  DecFloat* pw = scratch_dec();
  DecFloat* qw = scratch_dec();
  dec_from_word(pw, p_num);
  dec_from_word(qw, q_den);
  dec_mul_word(num, t, q_den);
  dec_add_sub(num, num, pw, 1);
  dec_mul_word(den, t, p_num);
  dec_add_sub(den, den, qw, 0);
  dec_div(t, num, den);
}

Word atan_core(DecFloat* dst, const DecFloat* x);

// From here on atan takes one Newton step on sin and cos; below, the reduced series.
constexpr std::int64_t kAtanNewtonPrecision = 260;

// With theta = atan y and y0 within 10^-(w/5+3) |theta| of it (atan at w/5 + 4 digits):
//   theta = y0 + atan e,  e = tan(theta - y0) = (y c - s) / (c + y s),  s, c = sin y0, cos y0,
// and atan e = e - e^3/3 + O(e^5), the last below a unit. Error: s within a relative unit and
// c within an absolute one (sin_cos_halved), the products one unit each, so the numerator is
// within 2 (|y| + |theta|) units of 10^-w, and the denominator c + y s = cos(theta - y0) /
// cos theta is at least sqrt(1 + y^2) (1 - 10^-(w/5)): e is within 4 units of the larger of
// |theta| and 1/2, and with the quotient's and the two additions' units theta within 7 units
// of its last place (|theta| >= 0.78 when |y| >= 1). The point form, theta = atan(y / x) in
// (-pi/2, pi/2) for x != 0, is the same with e = (y c - x s) / (x c + y s) = tan(theta - y0),
// whose denominator is hypot(x, y) cos(theta - y0); y / x is formed only at y0's digits.
void atan_newton(DecFloat* dst, const DecFloat* y, const DecFloat* x) {
  const std::int64_t w = g_arith.precision;
  const std::int64_t w0 = w / 5 + 4;
  ScratchScope scope;
  DecFloat* y0 = scratch_dec();
  DecFloat* s = scratch_dec();
  DecFloat* c = scratch_dec();
  DecFloat* num = scratch_dec();
  DecFloat* den = scratch_dec();
  if (x) {
    DecFloat* x0 = scratch_alloc(dec_words_for(w0) + 1);
    realign(x0, w0, x, w);
    elem::run_at_digits(w0, y0, w, y, [x0](DecFloat* r, const DecFloat* wy) {
      ScratchScope inner;
      DecFloat* q = scratch_dec();
      dec_div(q, wy, x0);
      atan_core(r, q);
    });
  } else {
    elem::run_at_digits(w0, y0, w, y, [](DecFloat* r, const DecFloat* wy) { atan_core(r, wy); });
  }
  sin_cos_halved(s, c, y0, false);
  if (x) {
    dec_mul(num, y, c);
    dec_mul(den, x, s);
    dec_add_sub(num, num, den, 1);
    dec_mul(den, x, c);
    dec_mul(s, y, s);
    dec_add_sub(den, den, s, 0);
  } else {
    dec_mul(num, y, c);
    dec_add_sub(num, num, s, 1);
    dec_mul(den, y, s);
    dec_add_sub(den, den, c, 0);
  }
  if (is_zero(num)) {
    dec_copy(dst, y0);
    return;
  }
  {
    // e lies some w/5 digits below y0: its quotient needs only the limbs that reach the sum.
    const std::int64_t t =
        elem::trim_limbs(dec_exponent(y0) - dec_exponent(num) + dec_exponent(den) - 1);
    {
      ContextScope trim = ContextScope::trim(t);
      dec_div(num, num, den);
    }
    elem::clear_tail(num, t);
  }
  if (!is_zero(num)) {
    const std::int64_t t = elem::trim_limbs(2 * (dec_exponent(y0) - dec_exponent(num)));
    {
      ContextScope trim = ContextScope::trim(t);
      dec_mul(den, num, num);
      dec_mul(den, den, num);
      dec_div_word(den, den, 3, 0);
    }
    elem::clear_tail(den, t);
    dec_add_sub(num, num, den, 1);
  }
  dec_add_sub(dst, y0, num, 0);
}

// Whether atan of a value of exponent e takes the Newton step at the current precision:
// tiny and huge values leave only a short series.
bool atan_by_newton(std::int64_t e) {
  const std::int64_t p = g_arith.precision;
  return p >= kAtanNewtonPrecision && e > -p / 20 && e < p / 20;
}

bool angle_by_newton(const DecFloat* y, const DecFloat* x) {
  if (is_special(y) || is_special(x)) return false;
  return atan_by_newton(dec_exponent(y) - dec_exponent(x) + 1) &&
         atan_by_newton(dec_exponent(y) - dec_exponent(x) - 1);
}

// atan of a normal x, truncated, at the current precision.
Word atan_core(DecFloat* dst, const DecFloat* x) {
  if (atan_by_newton(dec_exponent(x))) {
    atan_newton(dst, x, nullptr);
    return 0;
  }
  const std::int64_t p = g_arith.precision;
  const bool neg = dec_negative(x);
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  dec_copy(t, x);
  dec_abs(t);
  const bool reflect = dec_compare_word(t, 1, false) > 0;
  if (reflect) {
    DecFloat* one = scratch_dec();
    dec_from_word(one, 1);
    dec_div(t, one, t);
  }
  const int j1 = pick_reduction(t, kBounds21);
  if (j1) reduce_by_tangent(t, kTan21[j1][0], kTan21[j1][1]);
  int j2 = 0;
  bool t_neg = false;
  if (p >= 70 && !is_zero(t)) {
    t_neg = dec_negative(t);
    dec_abs(t);
    j2 = pick_reduction(t, kBounds351);
    if (j2) reduce_by_tangent(t, kTan351[j2][0], kTan351[j2][1]);
  }
  // a = t - t^3/3 + t^5/5 - ...
  DecFloat* a = scratch_dec();
  DecFloat* pw = scratch_dec();
  DecFloat* t2 = scratch_dec();
  DecFloat* term = scratch_dec();
  dec_copy(a, t);
  if (!is_zero(t)) {
    dec_mul(t2, t, t);
    dec_copy(pw, t);
    for (Word j = 1;; ++j) {
      dec_mul(pw, pw, t2);
      dec_negate(pw);
      dec_div_word(term, pw, 2 * j + 1, 0);
      dec_add_sub(a, a, term, 0);
      if (is_special(term) || is_special(a) || dec_exponent(a) - dec_exponent(term) >= p - 1) break;
    }
  }
  DecFloat* c = scratch_dec();
  if (j2) {
    load_constant(c, kConstAtan1_351);
    dec_mul_word(c, c, static_cast<Word>(j2));
    dec_add_sub(a, a, c, 0);
  }
  if (t_neg) dec_negate(a);  // the second stage worked on |t|
  if (j1 == 17) {
    load_constant(c, kConstPiQuarter);
    dec_add_sub(a, a, c, 0);
  } else if (j1) {
    load_constant(c, kConstAtan1_21);
    dec_mul_word(c, c, static_cast<Word>(j1));
    dec_add_sub(a, a, c, 0);
  }
  if (reflect) {
    dec_half_pi(c);
    dec_add_sub(a, c, a, 1);
  }
  dec_copy(dst, a);
  if (neg) dec_negate(dst);
  return 0;
}

}  // namespace

Word dec_pi(DecFloat* dst) {
  ScratchScope scope;
  DecFloat* w = scratch_alloc(static_cast<std::size_t>(dec_words() + 1));
  {
    ContextScope gp = ContextScope::guard(2);
    load_pi_quarter(w);
    dec_mul_word(w, w, 4);
  }
  return narrow(dst, w, 2);
}

Word dec_half_pi(DecFloat* dst) {
  ScratchScope scope;
  DecFloat* w = scratch_alloc(static_cast<std::size_t>(dec_words() + 1));
  {
    ContextScope gp = ContextScope::guard(2);
    load_pi_quarter(w);
    dec_mul_word(w, w, 2);
  }
  return narrow(dst, w, 2);
}

namespace {

// sin and cos of x = +-(q pi/4 + t) (t reduced for odd octants as by reduce_by_quarter_pi) from
// t at w digits; neg is the sign of x. The results are truncated to the current precision.
void sin_cos_of_octant(DecFloat* sin_out, DecFloat* cos_out, const DecFloat* t, std::int64_t w,
                       Word octant, bool neg) {
  const std::int64_t p = g_arith.precision;
  ScratchScope scope;
  // Octants 1, 2, 5 and 6 take sin from the cosine series and cos from the sine series.
  const bool swap = octant == 1 || octant == 2 || octant == 5 || octant == 6;
  DecFloat* ws = scratch_alloc(words_for(w));
  DecFloat* wc = scratch_alloc(words_for(w));
  const bool need_s = (swap ? cos_out : sin_out) != nullptr;
  const bool need_c = (swap ? sin_out : cos_out) != nullptr;
  {
    ContextScope gp = ContextScope::guard(w - p);
    sin_cos_series(need_s ? ws : nullptr, need_c ? wc : nullptr, t, false);
  }
  DecFloat* s = swap ? wc : ws;  // sine of x, up to sign
  DecFloat* c = swap ? ws : wc;
  const bool neg_s = (octant >= 3 && octant <= 6) != neg;
  const bool neg_c = octant >= 1 && octant <= 4;
  if (sin_out) {
    realign(sin_out, p, s, w);
    if (neg_s) dec_negate(sin_out);
  }
  if (cos_out) {
    realign(cos_out, p, c, w);
    if (neg_c) dec_negate(cos_out);
  }
}

// |x| in the unit of the half circle u as q u/4 + t, exactly in decimal: the remainder modulo
// 2u and then modulo u/4 are exact at P + 22 digits (or the integer digits of x and 22 more),
// so t keeps every digit however close x lies to a multiple of u/4; t (minus u/4 for odd
// octants, as for radians) is then converted to radians at t_digits + 2 digits, a relative
// error only.
void reduce_in_unit(DecFloat* t, std::int64_t t_digits, Word* octant, const DecFloat* x,
                    std::uint64_t half_circle) {
  const std::int64_t p = g_arith.precision;
  const std::int64_t exact = std::max({p + 22, t_digits + 2, dec_exponent(x) + 22});
  const std::int64_t conv = t_digits + 2;
  ScratchScope scope;
  DecFloat* te = scratch_alloc(words_for(conv));
  Word k = 0;
  at_precision(exact, te, conv, x, [&](DecFloat* r, const DecFloat* wx) {
    ScratchScope inner;
    DecFloat* ax = scratch_dec();
    DecFloat* m = scratch_dec();
    DecFloat* q = scratch_dec();
    dec_copy(ax, wx);
    dec_abs(ax);
    dec_from_word(m, 2 * half_circle);
    dec_divmod(nullptr, ax, ax, m);  // [0, 2u)
    dec_from_word(m, half_circle / 4);
    dec_divmod(q, r, ax, m);  // octant and [0, u/4)
    if (!dec_to_word(&k, q, 0)) k = 0;
    if (k & 1) dec_add_sub(r, r, m, 1);
  });
  *octant = k & 7;
  DecFloat* r = scratch_alloc(words_for(conv));
  {
    ContextScope ps = ContextScope::precision(conv);
    DecFloat* c = scratch_dec();
    load_pi_quarter(c);
    dec_mul(r, te, c);
    dec_div_word(r, r, half_circle / 4, 0);
  }
  realign(t, t_digits, r, conv);
}

}  // namespace

void dec_sin_cos_unit(DecFloat* sin_out, DecFloat* cos_out, const DecFloat* x,
                      std::uint64_t half_circle) {
  if (is_special(x)) return dec_sin_cos(sin_out, cos_out, x);
  if (dec_exponent(x) >= kTrigMaxExponent) {  // refused as in radians
    if (sin_out) make_undefined(sin_out, MathStatus::Undefined);
    if (cos_out) make_undefined(cos_out, MathStatus::Undefined);
    return;
  }
  const std::int64_t p = g_arith.precision;
  const std::int64_t w = p + series_guard();
  ScratchScope scope;
  DecFloat* t = scratch_alloc(words_for(w));
  Word octant;
  reduce_in_unit(t, w, &octant, x, half_circle);
  sin_cos_of_octant(sin_out, cos_out, t, w, octant, dec_negative(x));
}

Word dec_tan_unit(DecFloat* dst, const DecFloat* x, std::uint64_t half_circle) {
  ScratchScope scope;
  DecFloat* s = scratch_dec();
  DecFloat* c = scratch_dec();
  dec_sin_cos_unit(s, c, x, half_circle);
  return dec_div(dst, s, c);
}

void dec_sin_cos(DecFloat* sin_out, DecFloat* cos_out, const DecFloat* x) {
  if (is_special(x)) {
    if (is_zero(x)) {
      if (sin_out) make_zero(sin_out, dec_negative(x));
      if (cos_out) dec_from_word(cos_out, 1);
    } else {
      const MathStatus st = is_infinity(x) ? MathStatus::Undefined : MathStatus::Ok;
      if (sin_out) make_undefined(sin_out, st);
      if (cos_out) make_undefined(cos_out, st);
    }
    return;
  }
  auto fail = [&] {
    if (sin_out) make_undefined(sin_out, MathStatus::Undefined);
    if (cos_out) make_undefined(cos_out, MathStatus::Undefined);
  };
  if (dec_exponent(x) >= kTrigMaxExponent) return fail();
  const bool neg = dec_negative(x);
  const std::int64_t p = g_arith.precision;
  const std::int64_t w = p + series_guard();
  ScratchScope scope;
  DecFloat* t = scratch_alloc(words_for(w));
  Word octant;
  if (!reduce_by_quarter_pi(t, w, &octant, x)) return fail();
  sin_cos_of_octant(sin_out, cos_out, t, w, octant, neg);
}

Word dec_tan(DecFloat* dst, const DecFloat* x) {
  ScratchScope scope;
  DecFloat* s = scratch_dec();
  DecFloat* c = scratch_dec();
  dec_sin_cos(s, c, x);
  return dec_div(dst, s, c);
}

Word dec_atan_kernel(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_undefined(x) || is_zero(x)) {
      dec_copy(dst, x);
      return 0;
    }
    const Word rl = dec_half_pi(dst);
    if (dec_negative(x)) dec_negate(dst);
    return rl;
  }
  return with_guard_digits(series_guard(), atan_core, dst, x);
}

Word elem::atan_ratio_kernel(DecFloat* dst, const DecFloat* y, const DecFloat* x) {
  if (is_special(y) || is_special(x)) {
    ScratchScope scope;
    DecFloat* q = scratch_dec();
    dec_div(q, y, x);
    return dec_atan_kernel(dst, q);
  }
  return with_guard_digits(
      series_guard(),
      [](DecFloat* r, const DecFloat* wy, const DecFloat* wx) -> Word {
        if (angle_by_newton(wy, wx)) {
          atan_newton(r, wy, wx);
          return 0;
        }
        ScratchScope scope;
        DecFloat* q = scratch_dec();
        dec_div(q, wy, wx);
        if (is_special(q)) {
          if (is_zero(q)) {
            dec_copy(r, q);
          } else {
            dec_half_pi(r);
            if (dec_negative(q)) dec_negate(r);
          }
          return 0;
        }
        return atan_core(r, q);
      },
      dst, y, x);
}

void dec_atan(DecFloat* dst, const DecFloat* x) {
  // The kernel runs its series with guard digits of its own and truncates once: a few units.
  round_kernel_by_ziv(dst, ziv_first_guard(4, kLogBound, series_guard()), kLogBound,
                      dec_atan_kernel, x);
}

void dec_trig_rounded(DecFloat* dst, const DecFloat* x, int fn, std::uint64_t half_circle) {
  // sin and cos: the reduced argument is right to every digit of the series' precision, the
  // series and the final truncation cost a few units; tan is their quotient.
  const ErrorBound bound = fn == 2 ? kCompoundBound : kLogBound;
  round_kernel_by_ziv(
      dst, ziv_first_guard(3, bound, series_guard()), bound,
      [fn, half_circle](DecFloat* d, const DecFloat* a) -> Word {
        if (half_circle != 0) {
          if (fn == 2) return dec_tan_unit(d, a, half_circle);
          dec_sin_cos_unit(fn == 0 ? d : nullptr, fn == 1 ? d : nullptr, a, half_circle);
          return 0;
        }
        if (fn == 2) return dec_tan(d, a);
        dec_sin_cos(fn == 0 ? d : nullptr, fn == 1 ? d : nullptr, a);
        return 0;
      },
      x);
}

void dec_angle(DecFloat* dst, const DecFloat* y, const DecFloat* x) {
  if (is_undefined(x) || is_undefined(y)) {
    make_undefined(dst);
    return;
  }
  if (is_zero(x)) {
    if (is_zero(y)) {
      make_zero(dst, false);
    } else {
      apply_rounding(dst, dec_half_pi(dst));
      if (dec_negative(y)) dec_negate(dst);
    }
    return;
  }
  // atan of the quotient, then pi added or taken away: the compound bound.
  round_kernel_by_ziv(
      dst, 4 + series_guard(), kCompoundBound,
      [](DecFloat* r, const DecFloat* wy, const DecFloat* wx) -> Word {
        ScratchScope scope;
        if (angle_by_newton(wy, wx)) {
          atan_newton(r, wy, wx);
        } else {
          DecFloat* q = scratch_dec();
          dec_div(q, wy, wx);
          if (is_special(q)) {
            // y / x overflowed or vanished: the angle is that of an axis
            if (is_zero(q)) {
              make_zero(r, dec_negative(q));
            } else {
              dec_half_pi(r);
              if (dec_negative(q)) dec_negate(r);
            }
          } else {
            atan_core(r, q);
          }
        }
        if (dec_negative(wx)) {
          DecFloat* pi = scratch_dec();
          dec_pi(pi);
          dec_add_sub(r, r, pi, dec_negative(wy) ? 1 : 0);
        }
        return 0;
      },
      y, x);
}

void dec_to_radians(DecFloat* dst, const DecFloat* x, std::uint64_t half_circle) {
  const Word rl = with_guard_digits(
      2,
      [half_circle](DecFloat* r, const DecFloat* wx) -> Word {
        ScratchScope scope;
        DecFloat* q = scratch_dec();
        load_pi_quarter(q);
        dec_div_word(r, wx, half_circle / 4, 0);
        return dec_mul(r, r, q);
      },
      dst, x);
  apply_rounding(dst, rl);
}

void dec_from_radians(DecFloat* dst, const DecFloat* x, std::uint64_t half_circle) {
  const Word rl = with_guard_digits(
      2,
      [half_circle](DecFloat* r, const DecFloat* wx) -> Word {
        ScratchScope scope;
        DecFloat* q = scratch_dec();
        load_pi_quarter(q);
        dec_mul_word(r, wx, half_circle / 4);
        return dec_div(r, r, q);
      },
      dst, x);
  apply_rounding(dst, rl);
}
