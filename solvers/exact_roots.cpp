#include "solvers/exact_roots.h"

#include <algorithm>
#include <vector>

#include "app/app_error.h"
#include "app/text_builder.h"
#include "core/arith.h"
#include "core/elementary.h"
#include "core/text.h"
#include "integer/number.h"
#include "primes/factor_engine.h"
#include "solvers/solver_common.h"

namespace {

BigUInt* scratch_big() {
  return scratch_alloc(static_cast<std::size_t>(BigUIntLimbs));
}

bool biguint_is_one(const BigUInt* x) {
  ScratchScope scope;
  BigUInt* one = scratch_big();
  biguint_set_u64(one, 1);
  return biguint_compare(x, one) == 0;
}

bool u64_at_most(std::uint64_t d, const BigUInt* t) {
  return biguint_significant_limbs(t) > 1 || d <= t[0];
}

void rational_negate(Rational* r) {
  if (!rational_is_zero(r)) r[0] ^= 1;
}

// An integer n/1 from a BigUInt.
void rational_from_biguint(Rational* r, const BigUInt* n, bool negative) {
  rational_set_u64(r, 1, false);
  biguint_copy(rat_num(r), n);
  r[0] = negative && !biguint_is_zero(n) ? 1 : 0;
}

std::size_t rational_poly_stride(const RationalPolynomial& p) {
  return p.words.size() / static_cast<std::size_t>(p.degree + 1);
}

void record_text_overflow() {
  if (math_status() == MathStatus::BufferTooSmall) set_app_error(kAppErrorBufferOverflow);
  clear_status();
}

// Stopped by the user: the window's Stop records 9003, Ctrl+C of the command line sets the
// cancel request.
bool stop_requested() {
  if (cancel_requested()) set_app_error(kAppErrorStopped);
  return app_error_code() != 0;
}

// m = a²·b from the proven prime factors of m. Below 2^128 (every discriminant of the equation
// page) the factor engine needs milliseconds where trial division up to the cube root could
// need 10^12 divisions. False for larger m, for 0, and when the user stopped.
bool square_part_by_factors(const BigUInt* m, BigUInt* a, BigUInt* b) {
  if (BigUIntLimbs < 2) return false;
  for (std::int64_t i = 2; i < BigUIntLimbs; ++i) {
    if (m[i] != 0) return false;
  }
  const u128 n = u128_from_biguint(m);
  if (n == 0) return false;
  std::vector<u128> primes;
  if (!factor_completely(n, primes, PrimeClock::now() + kFactorTimeLimit)) return false;
  std::sort(primes.begin(), primes.end());
  u128 square_root = 1, rest = 1;
  for (std::size_t i = 0; i < primes.size();) {
    std::size_t j = i;
    while (j < primes.size() && primes[j] == primes[i]) ++j;
    for (std::size_t k = 0; k < (j - i) / 2; ++k) square_root *= primes[i];
    if ((j - i) % 2 == 1) rest *= primes[i];
    i = j;
  }
  biguint_set_u64(a, 0);
  biguint_set_u64(b, 0);
  u128_to_limbs(a, square_root);
  u128_to_limbs(b, rest);
  return true;
}

}  // namespace

void rational_polynomial_init(RationalPolynomial& p, std::int64_t degree) {
  p.degree = degree;
  p.words.assign(rational_words() * static_cast<std::size_t>(degree + 1), 0);
  for (std::int64_t k = 0; k <= degree; ++k) rational_set_zero(rational_coefficient(p, k));
}

Rational* rational_coefficient(RationalPolynomial& p, std::int64_t k) {
  return p.words.data() + rational_poly_stride(p) * static_cast<std::size_t>(k);
}
const Rational* rational_coefficient(const RationalPolynomial& p, std::int64_t k) {
  return p.words.data() + rational_poly_stride(p) * static_cast<std::size_t>(k);
}

std::u16string rational_text(const Rational* r, std::uint32_t flags) {
  return number_text_as(kTypeRational, r, flags);
}

void set_exact_text(RootSet& roots, std::int64_t k, std::u16string text) {
  if (text.size() > static_cast<std::size_t>(kExactTextLength)) {
    text.resize(static_cast<std::size_t>(kExactTextLength));
    text.resize(static_cast<std::size_t>(cut_with_ellipsis(text.data(), kExactTextLength)));
    set_app_error(kAppErrorBufferOverflow);
  }
  roots.exact[static_cast<std::size_t>(k)] = std::move(text);
}

void ExactLinear(const RationalPolynomial& p, RootSet& roots, std::int64_t k) {
  ScratchScope scope;
  clear_status();
  Rational* x = scratch_rational();
  rational_mul(x, rational_coefficient(p, 0), rational_coefficient(p, 1), true);
  rational_negate(x);
  std::u16string text = rational_text(x, 0);
  if (math_status() != MathStatus::Ok) text.clear();
  record_text_overflow();
  set_exact_text(roots, k, std::move(text));
}

void ExactQuadratic(const RationalPolynomial& p, RootSet& roots, std::int64_t k1, std::int64_t k2,
                    std::int64_t target_digits) {
  ScratchScope scope;
  clear_status();
  std::u16string& t1 = roots.exact[static_cast<std::size_t>(k1)];
  std::u16string& t2 = roots.exact[static_cast<std::size_t>(k2)];
  t1.clear();
  t2.clear();
  const Rational* q0 = rational_coefficient(p, 0);
  const Rational* q1 = rational_coefficient(p, 1);
  const Rational* q2 = rational_coefficient(p, 2);
  Rational* delta = scratch_rational();
  Rational* t = scratch_rational();
  Rational* two_q2 = scratch_rational();
  Rational* r = scratch_rational();
  Rational* s = scratch_rational();
  BigUInt* a = scratch_big();
  BigUInt* b = scratch_big();
  BigUInt* c = scratch_big();
  BigUInt* d = scratch_big();
  BigUInt* m = scratch_big();

  rational_mul(delta, q1, q1, false);
  rational_mul_u64(t, q2, 4);
  rational_mul(t, t, q0, false);
  rational_add(delta, delta, t, true);
  rational_mul_u64(two_q2, q2, 2);
  rational_mul(r, q1, two_q2, true);
  rational_negate(r);
  // sqrt(N/M) = a·sqrt(b) / (c·sqrt(d)) = a/(c·d) · sqrt(b·d).
  SquarePart(rat_num(delta), a, b);
  SquarePart(rat_den(delta), c, d);
  biguint_mul(c, c, d);
  rational_from_biguint(s, a, false);
  rational_from_biguint(t, c, false);
  rational_mul(s, s, t, true);
  rational_mul(s, s, two_q2, true);
  biguint_mul(m, b, d);
  if (math_status() != MathStatus::Ok) {
    record_text_overflow();
    return;
  }

  const bool delta_negative = rat_negative(delta) && !rational_is_zero(delta);
  const bool rational_roots = biguint_is_one(m) && !delta_negative;
  if (rational_is_zero(delta)) {
    t1 = rational_text(r, 0);
    t2 = t1;
  } else if (rational_roots) {
    rational_add(t, r, s, false);
    t1 = rational_text(t, 0);
    rational_add(t, r, s, true);
    t2 = rational_text(t, 0);
  } else {
    const bool with_r = !rational_is_zero(r);
    if (with_r) t1 = rational_text(r, 0);
    t2 = t1;
    const std::uint32_t flags = with_r ? kShowPlusSign : 0;
    t1 += rational_text(s, flags);
    rational_negate(s);
    t2 += rational_text(s, flags);
    const bool root_of_m = !biguint_is_one(m);
    if (root_of_m) {
      rational_set_u64(t, 1, false);
      if (rational_compare(s, t, true) == 0) {
        t1.pop_back();  // "+1*sqrt" reads "+sqrt"
        t2.pop_back();
      } else {
        t1 += u'*';
        t2 += u'*';
      }
      rational_from_biguint(t, m, false);
      const std::u16string radical = u"sqrt(" + rational_text(t, 0) + u")";
      t1 += radical;
      t2 += radical;
    }
    if (delta_negative) {
      const char16_t unit[3] = {u'*', g_number_settings.imaginary_unit[0], 0};
      t1 += unit;
      t2 += unit;
    }
  }
  if (math_status() != MathStatus::Ok) {
    t1.clear();
    t2.clear();
    record_text_overflow();
    return;
  }
  set_exact_text(roots, k1, std::move(t1));
  set_exact_text(roots, k2, std::move(t2));
  if (roots.exact[static_cast<std::size_t>(k1)].empty() ||
      roots.exact[static_cast<std::size_t>(k2)].empty()) {
    return;
  }

  // The approximations may have been paired the other way round; the values follow the texts.
  {
    ContextScope precision = ContextScope::precision(roots.digits);
    ScratchScope values;
    Complex* neg_q1 = scratch_cplx();
    Complex* den = scratch_cplx();
    Complex* w = scratch_cplx();
    Complex* z = scratch_cplx();
    rational_copy(t, q1);
    rational_negate(t);
    rational_to_decfloat(cplx_re(neg_q1), t);
    make_zero(cplx_im(neg_q1), false);
    rational_to_decfloat(cplx_re(den), two_q2);
    make_zero(cplx_im(den), false);
    DecFloat* mod = scratch_dec();
    rational_to_decfloat(mod, delta);
    dec_abs(mod);
    make_zero(cplx_re(w), false);
    make_zero(cplx_im(w), false);
    dec_sqrt_rounded(delta_negative ? cplx_im(w) : cplx_re(w), mod);
    for (int sign = 0; sign < 2; ++sign) {
      if (sign == 0)
        cplx_add(z, neg_q1, w);
      else
        cplx_sub(z, neg_q1, w);
      cplx_div(z, z, den);
      Complex* entry = root_value(roots, sign == 0 ? k1 : k2);
      cplx_round_digits(entry, z, target_digits);
    }
  }
}

void SquarePart(const BigUInt* m, BigUInt* a, BigUInt* b) {
  if (!square_part_by_factors(m, a, b)) SquarePartTrialDivision(m, a, b);
}

void SquarePartTrialDivision(const BigUInt* m_in, BigUInt* a, BigUInt* b) {
  ScratchScope scope;
  BigUInt* m = scratch_big();
  BigUInt* t = scratch_big();
  BigUInt* q = scratch_big();
  biguint_copy(m, m_in);
  biguint_set_u64(a, 1);
  biguint_set_u64(b, 1);
  std::uint64_t d = 2;
  for (;;) {
    if (biguint_isqrt(t, m)) {
      biguint_mul(a, a, t);
      return;
    }
    if (biguint_root_i64(t, 3, m)) {
      biguint_mul(a, a, t);
      biguint_copy(m, t);
      continue;
    }
    // Every prime factor up to the cube root gone: a cofactor that is no square is free of them.
    bool divided = false;
    bool divided_once = false;
    while (!divided_once && u64_at_most(d, t)) {
      if (stop_requested()) {
        biguint_mul(b, b, m);
        return;
      }
      std::uint64_t rem = 0;
      biguint_divmod_u64(q, &rem, m, d, 0);
      if (rem != 0) {
        d = d == 2 ? 3 : d + 2;
        continue;
      }
      divided = true;
      biguint_divmod_u64(t, &rem, q, d, 0);
      if (rem == 0) {
        biguint_mul_u64(a, a, d);
        biguint_copy(m, t);
        biguint_root_i64(t, 3, m);
      } else {
        biguint_mul_u64(b, b, d);
        biguint_copy(m, q);
        divided_once = true;
      }
    }
    if (!divided) {
      biguint_mul(b, b, m);
      return;
    }
  }
}

bool DivideByLinear(const RationalPolynomial& p, const Rational* rho,
                    RationalPolynomial& quotient) {
  const std::uint32_t saved = g_arith.status;
  clear_status();
  const std::int64_t d = p.degree;
  rational_polynomial_init(quotient, d >= 1 ? d - 1 : 0);
  ScratchScope scope;
  Rational* acc = scratch_rational();
  rational_copy(acc, rational_coefficient(p, d));
  for (std::int64_t k = d - 1; k >= 0; --k) {
    rational_copy(rational_coefficient(quotient, k), acc);
    rational_mul(acc, acc, rho, false);
    rational_add(acc, acc, rational_coefficient(p, k), false);
  }
  const bool root = d >= 1 && math_status() == MathStatus::Ok && rational_is_zero(acc);
  g_arith.status = saved;
  return root;
}

void ExactRoots(const RationalPolynomial& p, RootSet& roots, std::int64_t target_digits) {
  clear_status();
  ContextScope precision = ContextScope::precision(roots.digits);
  RationalPolynomial work = p;
  RationalPolynomial quotient;
  ScratchScope scope;
  Rational* factor = scratch_rational();
  Rational* rho = scratch_rational();
  Rational* lead = scratch_rational();
  DecFloat* x = scratch_dec();
  DecFloat* y = scratch_dec();
  DecFloat* lead_value = scratch_dec();
  // Integer coefficients: a rational root a/b then has b dividing the leading coefficient.
  for (std::int64_t k = 0; k <= work.degree; ++k) {
    const Rational* qk = rational_coefficient(work, k);
    if (rational_is_integer(qk)) continue;
    rational_from_biguint(factor, rat_den(qk), false);
    for (std::int64_t i = 0; i <= work.degree; ++i) {
      rational_mul(rational_coefficient(work, i), rational_coefficient(work, i), factor, false);
    }
  }
  // A coefficient lost to overflow would make the search test roots of another polynomial.
  const bool usable = math_status() == MathStatus::Ok;
  std::int64_t unidentified[2] = {-1, -1};
  int unidentified_count = 0;
  for (std::int64_t j = 0; usable && j < roots.count; ++j) {
    clear_status();
    const Complex* v = root_value(roots, j);
    bool found = false;
    if (cplx_is_real(v)) {
      dec_copy(x, cplx_re(v));
      dec_round_digits(y, x, target_digits - 2);
      if (is_integer(y)) {
        decfloat_to_rational_sized(rho, BigUIntLimbs, y, g_arith.precision);
        found = math_status() == MathStatus::Ok && DivideByLinear(work, rho, quotient);
      }
      if (!found) {
        // y = q_e·x is the numerator of a root whose denominator divides q_e.
        clear_status();
        const Rational* qe = rational_coefficient(work, work.degree);
        rational_to_decfloat(lead_value, qe);
        dec_mul_rounded(y, lead_value, x);
        dec_round_digits(y, y, target_digits - 2);
        if (is_integer(y) && math_status() == MathStatus::Ok) {
          dec_abs(y);
          decfloat_to_rational_sized(rho, BigUIntLimbs, y, g_arith.precision);
          rational_from_biguint(lead, rat_num(qe), false);
          rational_mul(rho, rho, lead, true);
          if (dec_negative(x)) rational_negate(rho);
          found = math_status() == MathStatus::Ok && DivideByLinear(work, rho, quotient);
        }
      }
    }
    if (found) {
      work = quotient;
      std::u16string text = rational_text(rho, 0);
      record_text_overflow();
      set_exact_text(roots, j, std::move(text));
    } else if (unidentified_count < 2) {
      unidentified[unidentified_count++] = j;
    }
  }
  clear_status();
  if (usable && work.degree == 1 && unidentified[0] >= 0) {
    ExactLinear(work, roots, unidentified[0]);
  } else if (usable && work.degree == 2) {
    if (unidentified[1] >= 0) {
      ExactQuadratic(work, roots, unidentified[0], unidentified[1], target_digits);
    } else {
      set_app_error(kAppErrorInternal);
    }
  }
  clear_status();
}
