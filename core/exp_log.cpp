// Exponentials and logarithms. Both reduce their argument against the constant tables (ln 10,
// then powers of 1.2 and 1.01) and finish with a short series whose later terms are computed
// at fewer limbs, as they only reach the last digits of the sum.
//
// exp: 10^y = 10^N e^f with f = (y - N) ln 10; f loses j1 ln 1.2 and j2 ln 1.01, is scaled
// down to |f| < 10^-4 and the Taylor sum is raised back by tenth powers. The kernel works
// with max(E(x), 0) + 5 + digits(P) extra digits: the integer digits of y, the two digits
// that two tenth powers cost, and one per tenfold series length.
// ln: x = 10^E m with 10^-0.5 < m <= 10^0.5, m divided by powers of 1.2 and 1.01 into
// [1.01^-0.5, 1.01^0.5], then ln m = 2 artanh((m - 1)/(m + 1)); 4 + digits(P) extra digits
// cover the cancellation of at most three digits next to a reduction bound.
#include <algorithm>
#include <cmath>

#include "core/correct_rounding.h"
#include "core/elementary_internal.h"

namespace elem {

namespace {

// From here on (raised precision) exp halves and squares; below, the plain series is faster.
constexpr std::int64_t kExpHalvingPrecision = 100;

std::int64_t series_extra() {
  return digit_count(static_cast<std::uint64_t>(g_arith.precision));
}

// Number of reduction steps j with |j ln(factor) - |f|| <= ln(factor) / 2, from the leading
// digits of |f| (|f| < 2.31).
int exp_steps(const DecFloat* f, const ReductionTable& t) {
  if (is_zero(f)) return 0;
  const std::int64_t e = dec_exponent(f);
  if (e < -9) return 0;
  const std::uint64_t v = leading19(f) / kPow10[9 - e];  // |f| * 10^9
  int j = 0;
  while (j < t.exp_entries && v >= t.half_steps[j]) ++j;
  return j;
}

// f <- f -+ j ln(factor); returns the signed step count (positive when f was positive).
template <std::size_t N>
int exp_reduce(DecFloat* f, DecFloat* c, const ReductionTable& t, const ConstantTable<N>& lnf) {
  const int j = exp_steps(f, t);
  if (j == 0) return 0;
  const bool neg = dec_negative(f);
  load_checked(c, lnf);
  dec_mul_word(c, c, static_cast<std::uint64_t>(j));
  dec_add_sub(f, f, c, neg ? 0 : 1);
  return neg ? -j : j;
}

// sum * factor^j for a signed j, as a word product or quotient with the decimal exponent
// change left to the caller (returned).
std::int64_t apply_factor(DecFloat* sum, int j, const ReductionTable& t) {
  if (j > 0) {
    dec_mul_word(sum, sum, t.powers[j].value);
    return -t.exponent_step * j;
  }
  if (j < 0) {
    dec_div_word(sum, sum, t.powers[-j].value, t.powers[-j].recip);
    return t.exponent_step * -j;
  }
  return 0;
}

std::uint64_t exp_divisor(std::uint64_t l) {
  return l;
}

// Halvings of the argument: each costs a squaring and saves the series about 0.3 digits a
// term; measured best near sqrt(P) / 2.2 (14 at 1,000 digits, 45 at 10,005).
int exp_halvings() {
  return static_cast<int>(std::sqrt(static_cast<double>(g_arith.precision)) / 2.2);
}

// e^f for |f| <= about 0.005 at larger precisions: the series of f / 2^k by rectangular
// splitting, squared k times. Error: f / 2^k truncates once (a relative unit that moves the
// result by |f| units only); the series is within 3 N + 3 units (chain_series, N < 10^5
// terms); each squaring doubles the relative error and adds one unit. In all below
// 2^k (3 N + 5) units of the raised precision, which the 0.302 k + 7 guard digits cover.
void exp_series_halved(DecFloat* sum, const DecFloat* f_in) {
  const int k = exp_halvings();
  raised((302 * k + 999) / 1000 + 7, sum, f_in, [k](DecFloat* r, const DecFloat* f) {
    ScratchScope scope;
    DecFloat* g = scratch_dec();
    if (k > 60) {
      dec_div_word(g, f, std::uint64_t{1} << 60, 0);
      dec_div_word(g, g, std::uint64_t{1} << (k - 60), 0);
    } else {
      dec_div_word(g, f, std::uint64_t{1} << k, 0);
    }
    chain_series(r, g, exp_divisor);
    for (int i = 0; i < k; ++i) dec_mul(r, r, r);
  });
}

// e^f by Taylor's series at the current precision (|f| <= about 0.005), truncated.
void exp_series(DecFloat* sum, const DecFloat* f_in) {
  if (g_arith.precision >= kExpHalvingPrecision) {
    if (is_zero(f_in)) {
      dec_one(sum);
    } else {
      exp_series_halved(sum, f_in);
    }
    return;
  }
  ScratchScope scope;
  DecFloat* f = scratch_dec();
  DecFloat* term = scratch_dec();
  dec_copy(f, f_in);
  dec_one(sum);
  if (is_zero(f)) return;
  // Scale to |f| < 10^-4; the s tenth powers below undo it. Below 40 digits the four
  // products of each tenth power cost more than the series terms they save.
  std::int64_t s = 0;
  if (dec_exponent(f) > -5 && g_arith.precision > 40) {
    s = dec_exponent(f) + 5;
    set_exponent_raw(f, dec_exponent(f) - s);
  }
  const std::int64_t p = g_arith.precision;
  dec_one(term);
  for (std::uint64_t i = 1;; ++i) {
    const std::int64_t m = trim_limbs(dec_exponent(sum) - dec_exponent(term));
    {
      ContextScope trim = ContextScope::trim(m);
      dec_mul(term, term, f);
      dec_div_word(term, term, i, 0);
    }
    clear_tail(term, m);
    if (is_special(term)) break;
    dec_add_sub(sum, sum, term, 0);
    if (dec_exponent(sum) - dec_exponent(term) >= p - 1) break;
  }
  for (std::int64_t i = 0; i < s; ++i) {
    DecFloat* t = term;
    dec_mul(t, sum, sum);    // sum^2
    dec_mul(sum, t, t);      // sum^4
    dec_mul(sum, sum, sum);  // sum^8
    dec_mul(sum, sum, t);    // sum^10
  }
}

// 10^y at the current precision for the mode's y; the caller has raised the precision.
void exp_core(DecFloat* r, const DecFloat* x, ExpMode mode) {
  ScratchScope scope;
  DecFloat* y = scratch_dec();
  DecFloat* c = scratch_dec();
  switch (mode) {
    case ExpMode::Ten:
      dec_copy(y, x);
      break;
    case ExpMode::E:
      load_checked(c, kConstLog10E);
      dec_mul(y, x, c);
      break;
    case ExpMode::Two:
      load_checked(c, kConstLn2);
      dec_mul(y, x, c);
      load_checked(c, kConstLog10E);
      dec_mul(y, y, c);
      break;
  }
  std::int64_t n;
  if (!dec_to_int(&n, y, kToWordAllowFraction | kToWordAllowNegative)) {
    if (dec_negative(y)) {
      make_zero(r, false);
      if (g_arith.report_underflow) set_status(MathStatus::Underflow);
    } else {
      make_infinity(r, false);
      if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    }
    return;
  }
  DecFloat* f = y;
  dec_frac(f, y);
  std::int64_t shift = 0;
  if (is_zero(f)) {
    dec_one(r);
  } else {
    load_checked(c, kConstLn10);
    dec_mul(f, f, c);
    const int j1 = exp_reduce(f, c, kReduce12, kConstLn1_2);
    const int j2 = exp_reduce(f, c, kReduce101, kConstLn1_01);
    exp_series(r, f);
    shift = apply_factor(r, j1, kReduce12) + apply_factor(r, j2, kReduce101);
  }
  const __int128 e = static_cast<__int128>(dec_exponent(r)) + n + shift;
  const std::int64_t clamped =
      e > kMaxExponent ? kMaxExponent + 1
                       : (e < -kMaxExponent ? -kMaxExponent - 1 : static_cast<std::int64_t>(e));
  set_exponent_checked(r, clamped, false);
}

// m <- m / factor^j (m >= 1) or m * factor^j (m < 1) and L +-= j ln(factor), with j from the
// leading digits of m against the table's bounds.
template <std::size_t N>
void ln_reduce(DecFloat* m, DecFloat* l, DecFloat* c, const ReductionTable& t,
               const ConstantTable<N>& lnf) {
  const std::uint32_t lead = leading9(m);
  const bool above_one = dec_exponent(m) == 0;
  int j = 0;
  for (int i = t.log_entries - 1; i >= 1; --i) {
    if (above_one ? lead >= t.lower[i] : lead <= t.upper[i]) {
      j = i;
      break;
    }
  }
  if (j == 0) return;
  if (above_one) {
    dec_div_word(m, m, t.powers[j].value, t.powers[j].recip);
    set_exponent_raw(m, dec_exponent(m) + t.exponent_step * j);
  } else {
    dec_mul_word(m, m, t.powers[j].value);
    set_exponent_raw(m, dec_exponent(m) - t.exponent_step * j);
  }
  load_checked(c, lnf);
  dec_mul_word(c, c, static_cast<std::uint64_t>(j));
  dec_add_sub(l, l, c, above_one ? 0 : 1);
}

void atanh_series_core(DecFloat* s, const DecFloat* u) {
  dec_copy(s, u);
  if (is_special(u)) return;
  ScratchScope scope;
  DecFloat* u2 = scratch_dec();
  DecFloat* pw = scratch_dec();
  DecFloat* term = scratch_dec();
  dec_mul(u2, u, u);
  dec_copy(pw, u);
  const std::int64_t p = g_arith.precision;
  for (std::uint64_t j = 1;; ++j) {
    const std::int64_t m = trim_limbs(dec_exponent(s) - dec_exponent(pw));
    {
      ContextScope trim = ContextScope::trim(m);
      dec_mul(pw, pw, u2);
      dec_div_word(term, pw, 2 * j + 1, 0);
    }
    clear_tail(pw, m);
    clear_tail(term, m);
    if (is_special(term)) break;
    dec_add_sub(s, s, term, 0);
    if (is_special(s) || dec_exponent(s) - dec_exponent(term) >= p - 1) break;
  }
}

// From here on ln m takes one Newton step on exp; below, the series.
constexpr std::int64_t kLnNewtonPrecision = 300;

// ln m for m in [1.01^-0.5, 1.01^0.5], truncated, at the current precision; 0 for m = 1.
//
// Series: 2 artanh((m - 1)/(m + 1)), the quotient below 0.0025.
// Newton: with |m - 1| about 10^-d and y0 = ln m to a quarter of the digits, u = m e^-y0 - 1
// is about ln m - y0, and ln m = y0 + u - u^2/2 + u^3/3 + O(u^4). Run at w + d + 2 digits
// (values near 1, so absolute units of 10^-(w+d+1)): e^-y0 is within 2 units, the product one
// more, the additions one each, the correction terms (at the limbs below 10^(2 E(u)) they
// reach) one, and |u|^4 stays below a unit as y0 holds (w + d + 2)/4 + 4 digits of ln m.
// About 6 units of 10^-(w+d+1) against |ln m| >= 10^-d: within one unit at w digits.
// Arguments within 10^-(w/40) of 1 take the series, which needs at most 20 terms there.
void ln_near_one(DecFloat* r, const DecFloat* m) {
  ScratchScope scope;
  DecFloat* a = scratch_dec();
  DecFloat* b = scratch_dec();
  DecFloat* one = scratch_dec();
  dec_one(one);
  dec_add_sub(a, m, one, 1);
  if (is_zero(a)) {
    make_zero(r, false);
    return;
  }
  const std::int64_t w = g_arith.precision;
  const std::int64_t d = -dec_exponent(a);
  if (w < kLnNewtonPrecision || 40 * d > w) {
    dec_add_sub(b, m, one, 0);
    dec_div(a, a, b);
    atanh_series_core(b, a);
    dec_mul_word(r, b, 2);
    return;
  }
  const std::int64_t wn = w + d + 2;
  run_at_digits(wn, r, w, m, [wn](DecFloat* res, const DecFloat* mm) {
    ScratchScope inner;
    DecFloat* y0 = scratch_dec();
    DecFloat* e = scratch_dec();
    DecFloat* u = scratch_dec();
    DecFloat* c1 = scratch_dec();
    const std::int64_t w0 = wn / 4 + 4;
    run_at_digits(w0, y0, wn, mm, [](DecFloat* y, const DecFloat* m0) { ln_near_one(y, m0); });
    dec_copy(e, y0);
    dec_negate(e);
    exp_series(u, e);
    dec_mul(u, u, mm);
    dec_one(c1);
    dec_add_sub(u, u, c1, 1);
    dec_add_sub(res, y0, u, 0);
    if (!is_zero(u)) {
      // u^2/2 and u^3/3 only reach the digits below 10^(2 E(u)): at fewer limbs.
      const std::int64_t t = trim_limbs(-2 * dec_exponent(u) - 2);
      {
        ContextScope trim = ContextScope::trim(t);
        dec_mul(e, u, u);
        dec_mul(c1, e, u);
        dec_div_word(e, e, 2, 0);
        dec_div_word(c1, c1, 3, 0);
        dec_add_sub(e, e, c1, 1);
      }
      clear_tail(e, t);
      dec_add_sub(res, res, e, 1);
    }
  });
}

// ln x for a positive normal x at the current (raised) precision.
void ln_core(DecFloat* r, const DecFloat* x) {
  ScratchScope scope;
  DecFloat* m = scratch_dec();
  DecFloat* l = scratch_dec();
  DecFloat* c = scratch_dec();
  DecFloat* b = scratch_dec();
  std::int64_t e = dec_exponent(x);
  dec_copy(m, x);
  dec_abs(m);
  if (leading9(m) > 316227766) {  // m > sqrt(10): take m / 10
    ++e;
    set_exponent_raw(m, -1);
  } else {
    set_exponent_raw(m, 0);
  }
  make_zero(l, false);
  if (e != 0) {
    load_checked(c, kConstLn10);
    dec_mul_word(l, c, e < 0 ? 0 - static_cast<std::uint64_t>(e) : static_cast<std::uint64_t>(e));
    if (e < 0) dec_negate(l);
  }
  ln_reduce(m, l, c, kReduce12, kConstLn1_2);
  ln_reduce(m, l, c, kReduce101, kConstLn1_01);
  ln_near_one(b, m);
  if (is_zero(b)) {
    dec_copy(r, l);
    if (is_zero(r)) dec_abs(r);
    return;
  }
  dec_add_sub(r, l, b, 0);
}

std::int64_t ln_extra() {
  return 4 + series_extra();
}

// ln(1 + x), |x| < 0.5, from the logarithm of 1 + x formed exactly: with |x| about 10^e the
// sum needs P + 1 - e digits, and ln_core's error (a few units of a value near 1, or of ln m
// itself when no table factor was taken) is within a unit of |ln(1 + x)| >= |x| / 2 at the
// 2 - e + ln_extra() digits more that it runs with.
void log1p_exact(DecFloat* r, const DecFloat* x) {
  const std::int64_t p = g_arith.precision;
  const std::int64_t wp = p + 2 - dec_exponent(x) + ln_extra();
  run_at_digits(wp, r, p, x, [](DecFloat* res, const DecFloat* wx) {
    ScratchScope scope;
    DecFloat* m = scratch_dec();
    dec_one(m);
    dec_add_sub(m, m, wx, 0);
    ln_core(res, m);
  });
}

// Whether ln(1 + x) (|x| < 0.5) goes through the full logarithm: at high precision, unless x
// is so small that the series needs only a few dozen terms.
bool log1p_by_ln(const DecFloat* x, std::int64_t guard) {
  const std::int64_t p = g_arith.precision + guard;
  return p >= kLnNewtonPrecision && dec_exponent(x) > -p / 40 && dec_exponent(x) < 0;
}

}  // namespace

void ln_positive(DecFloat* dst, const DecFloat* x) {
  raised(ln_extra(), dst, x, ln_core);
}

Word exp10_with_extra(DecFloat* dst, const DecFloat* x, ExpMode mode, std::int64_t extra) {
  return raised(extra, dst, x, [mode](DecFloat* r, const DecFloat* a) { exp_core(r, a, mode); });
}

}  // namespace elem

using namespace elem;

Word dec_exp10(DecFloat* dst, const DecFloat* x, ExpMode mode) {
  if (is_special(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else if (is_zero(x)) {
      dec_one(dst);
    } else if (dec_negative(x)) {
      make_zero(dst, false);
    } else {
      make_infinity(dst, false);
    }
    return 0;
  }
  const std::int64_t e = dec_exponent(x);
  if (e >= 20) {
    // |y| >= 0.3 * 10^20 lies beyond every exponent: overflow or silent underflow.
    if (dec_negative(x)) {
      make_zero(dst, false);
      if (g_arith.report_underflow) set_status(MathStatus::Underflow);
    } else {
      make_infinity(dst, false);
      if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    }
    return 0;
  }
  return exp10_with_extra(dst, x, mode, std::max<std::int64_t>(e, 0) + 5 + series_extra());
}

Word dec_exp(DecFloat* dst, const DecFloat* x) {
  return dec_exp10(dst, x, ExpMode::E);
}

Word dec_ln(DecFloat* dst, const DecFloat* x) {
  if (is_special(x) || dec_negative(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else if (is_zero(x)) {
      make_infinity(dst, true);
      if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    } else if (dec_negative(x)) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      make_infinity(dst, false);
    }
    return 0;
  }
  ln_positive(dst, x);
  return 0;
}

namespace {

// ln x times or over a constant, with the specials of ln.
template <std::size_t N>
Word log_base_const(DecFloat* dst, const DecFloat* x, const ConstantTable<N>& c, bool divide) {
  if (is_special(x) || dec_negative(x)) return dec_ln(dst, x);
  return raised(1, dst, x, [&c, divide](DecFloat* r, const DecFloat* a) {
    ScratchScope scope;
    DecFloat* k = scratch_dec();
    ln_positive(r, a);
    load_checked(k, c);
    if (divide) {
      dec_div(r, r, k);
    } else {
      dec_mul(r, r, k);
    }
    if (is_zero(r)) dec_abs(r);
  });
}

}  // namespace

Word dec_log2(DecFloat* dst, const DecFloat* x) {
  return log_base_const(dst, x, kConstLn2, true);
}

Word dec_log10(DecFloat* dst, const DecFloat* x) {
  if (!is_special(x) && !dec_negative(x) && x[1] == kPow10[g_arith.top_digits - 1]) {
    bool power_of_ten = true;
    for (std::int64_t i = 2; i <= g_arith.limb_count; ++i) power_of_ten = power_of_ten && x[i] == 0;
    if (power_of_ten) {
      dec_from_int(dst, dec_exponent(x));  // exact below 10^19, more than any exponent has
      return 0;
    }
  }
  return log_base_const(dst, x, kConstLog10E, false);
}

Word dec_logx(DecFloat* dst, const DecFloat* b, const DecFloat* x) {
  if (is_undefined(b) || is_undefined(x)) {
    make_undefined(dst);
    return 0;
  }
  if (is_special(b) || dec_negative(b) || dec_compare_word(b, 1, false) == 0) {
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  // For a base below 1 the logarithm falls, so the limits at 0 and +inf swap signs.
  const bool falling = dec_exponent(b) < 0;
  if (is_special(x) || dec_negative(x)) {
    if (is_zero(x)) {
      make_infinity(dst, !falling);
      if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    } else if (is_infinity(x) && !dec_negative(x)) {
      make_infinity(dst, falling);
    } else {
      make_undefined(dst, MathStatus::Undefined);
    }
    return 0;
  }
  return with_guard_digits(
      1,
      [](DecFloat* r, const DecFloat* wb, const DecFloat* wx) {
        ScratchScope scope;
        DecFloat* lb = scratch_dec();
        ln_positive(r, wx);
        if (is_zero(r)) {
          make_zero(r, false);
          return Word{0};
        }
        ln_positive(lb, wb);
        return dec_div(r, r, lb);
      },
      dst, b, x);
}

Word dec_atanh_series(DecFloat* dst, const DecFloat* u) {
  if (is_special(u)) {
    if (is_undefined(u)) {
      make_undefined(dst);
    } else if (is_zero(u)) {
      dec_copy(dst, u);
    } else {
      make_undefined(dst, MathStatus::Undefined);
    }
    return 0;
  }
  if (dec_exponent(u) >= 0) {  // |u| >= 1: the series diverges
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  if (log1p_by_ln(u, 0)) {
    // atanh |u| = ln(1 + q) / 2 with q = 2|u| / (1 - |u|) >= 0: 1 - |u| is exact, q within a
    // relative unit, and ln(1 + q) passes that on undiminished (q / ((1 + q) ln(1 + q)) <= 1).
    return raised(3, dst, u, [](DecFloat* r, const DecFloat* a) {
      ScratchScope scope;
      DecFloat* q = scratch_dec();
      DecFloat* d = scratch_dec();
      dec_copy(q, a);
      dec_abs(q);
      dec_one(d);
      dec_add_sub(d, d, q, 1);  // 1 - |u|, exact
      dec_mul_word(q, q, 2);
      dec_div(q, q, d);
      log1p_exact(r, q);
      dec_div_word(r, r, 2, 0);
      if (dec_negative(a)) dec_negate(r);
    });
  }
  atanh_series_core(dst, u);
  return 0;
}

Word dec_log1p_small(DecFloat* dst, const DecFloat* x) {
  if (is_special(x)) {
    if (is_undefined(x)) {
      make_undefined(dst);
    } else if (is_zero(x)) {
      dec_copy(dst, x);
    } else {
      make_undefined(dst, MathStatus::Undefined);
    }
    return 0;
  }
  if (dec_compare_short(x, 5, -1, true) >= 0) {  // |x| >= 0.5
    make_undefined(dst, MathStatus::Undefined);
    return 0;
  }
  if (log1p_by_ln(x, 2)) return raised(2, dst, x, log1p_exact);
  // 2 artanh(x / (x + 2)); the quotient is at most 0.2, the series is short.
  return raised(2, dst, x, [](DecFloat* r, const DecFloat* a) {
    ScratchScope scope;
    DecFloat* d = scratch_dec();
    DecFloat* two = scratch_dec();
    dec_from_word(two, 2);
    dec_add_sub(d, a, two, 0);
    dec_div(d, a, d);
    atanh_series_core(r, d);
    dec_mul_word(r, r, 2);
  });
}

// --- rounded entry points ---------------------------------------------------------------------
// Each attempt of Ziv's loop (correct_rounding.h) is one truncated kernel run at P + g digits,
// the kernel adding its own digits on top.

namespace {

template <class F>
void at_guard(DecFloat* wide, std::int64_t g, const DecFloat* x, F&& f) {
  ScratchScope scope;
  DecFloat* wx = scratch_alloc(guarded_words(g));
  widen(wx, x, g);
  ContextScope gp = ContextScope::guard(g);
  f(wide, wx);
}

}  // namespace

void dec_exp10_rounded(DecFloat* dst, const DecFloat* x, ExpMode mode) {
  if (is_special(x) || dec_exponent(x) >= 20) {
    dec_exp10(dst, x, mode);
    return;
  }
  const std::int64_t extra = std::max<std::int64_t>(dec_exponent(x), 0) + 5 + series_extra();
  // About one unit at P + g: the kernel's own digits take the argument's integer digits and
  // the series' roundings, the final truncation adds one unit.
  round_by_ziv(dst, ziv_first_guard(exp_guard_digits(x), kExpLnBound, extra), kExpLnBound,
               [&](DecFloat* wide, std::int64_t g) {
                 at_guard(wide, g, x, [&](DecFloat* r, const DecFloat* wx) {
                   exp10_with_extra(r, wx, mode, extra);
                 });
               });
}

void dec_ln_rounded(DecFloat* dst, const DecFloat* x) {
  if (is_special(x) || dec_negative(x)) {
    dec_ln(dst, x);
    return;
  }
  // About one unit at P + g, as for exp.
  round_by_ziv(dst, ziv_first_guard(kLnGuardDigits, kExpLnBound, ln_extra()), kExpLnBound,
               [&](DecFloat* wide, std::int64_t g) {
                 at_guard(wide, g, x, [](DecFloat* r, const DecFloat* wx) {
                   raised(ln_extra(), r, wx, ln_core);
                 });
               });
}

void dec_log2_rounded(DecFloat* dst, const DecFloat* x) {
  // ln x times 1/ln 2 or 1/ln 10 (or E + log of the mantissa): a few units at P + g.
  round_kernel_by_ziv(dst, ziv_first_guard(kLnGuardDigits, kLogBound, ln_extra()), kLogBound,
                      dec_log2, x);
}

void dec_log10_rounded(DecFloat* dst, const DecFloat* x) {
  round_kernel_by_ziv(dst, ziv_first_guard(kLnGuardDigits, kLogBound, ln_extra()), kLogBound,
                      dec_log10, x);
}

void dec_logx_rounded(DecFloat* dst, const DecFloat* b, const DecFloat* x) {
  // A quotient of two logarithms, each within a few units: relative errors add.
  round_kernel_by_ziv(dst, ziv_first_guard(kLogxGuardDigits, kCompoundBound), kCompoundBound,
                      dec_logx, b, x);
}
