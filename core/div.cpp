// Division: exact long division in base 10^19 (normalised divisor, two-limb quotient
// estimates), so the truncated quotient and its round_limb are always exact and one rounding
// gives the correctly rounded quotient. Long mantissas take the same quotient from Newton's
// reciprocal with an exact check (div_newton.cpp). Also division by a machine word and the
// reciprocal.
#include <cstring>

#include "core/arith.h"
#include "core/limbs.h"

void limbs_divide(Word* q, Word* u, std::int64_t ulen, const Word* v, std::int64_t vlen,
                  Word* rem_out) {
  const std::int64_t m = ulen - vlen;
  if (vlen == 1) {
    const Word d = v[0];
    const Word recip = reciprocal_of(d);
    Word rem = 0;
    for (std::int64_t i = 0; i <= m; ++i) {
      const u128 num = static_cast<u128>(rem) * kLimbBase + u[i];
      q[i] = div_wide(static_cast<Word>(num >> 64), static_cast<Word>(num), d, recip, &rem);
    }
    if (rem_out) rem_out[0] = rem;
    return;
  }
  ScratchScope scope;
  // Normalise so that the divisor's top limb is at least 10^19 / 2.
  const Word f = kLimbBase / (v[0] + 1);
  Word* un = scratch_alloc(static_cast<std::size_t>(ulen + 1));
  Word* vn = scratch_alloc(static_cast<std::size_t>(vlen));
  std::memcpy(un + 1, u, static_cast<std::size_t>(ulen) * sizeof(Word));
  std::memcpy(vn, v, static_cast<std::size_t>(vlen) * sizeof(Word));
  un[0] = 0;
  if (f > 1) {
    un[0] = limbs_mul_word(un + 1, ulen, f, 0);
    limbs_mul_word(vn, vlen, f, 0);
  }
  const Word v0 = vn[0], v1 = vn[1];
  const Word recip = reciprocal_of(v0);
  for (std::int64_t j = 0; j <= m; ++j) {
    Word* uj = un + j;  // the window uj[0 .. vlen]
    const u128 num = static_cast<u128>(uj[0]) * kLimbBase + uj[1];
    Word qhat, rhat;
    if (uj[0] >= v0) {
      qhat = kLimbBase - 1;
      const u128 r = num - static_cast<u128>(qhat) * v0;
      rhat = r >= kLimbBase ? kLimbBase : static_cast<Word>(r);
    } else {
      qhat = div_wide(static_cast<Word>(num >> 64), static_cast<Word>(num), v0, recip, &rhat);
    }
    while (rhat<kLimbBase&& static_cast<u128>(qhat) * v1> static_cast<u128>(rhat) * kLimbBase +
           uj[2]) {
      --qhat;
      rhat = rhat >= kLimbBase - v0 ? kLimbBase : rhat + v0;  // past the base: stop refining
    }
    // uj -= qhat * vn
    Word carry = 0, borrow = 0;
    for (std::int64_t i = vlen - 1; i >= 0; --i) {
      const u128 p = static_cast<u128>(qhat) * vn[i] + carry;
      Word pl;
      carry = div_limb_base(p, &pl);
      const Word s = pl + borrow;
      if (uj[i + 1] >= s) {
        uj[i + 1] -= s;
        borrow = 0;
      } else {
        uj[i + 1] = uj[i + 1] + kLimbBase - s;
        borrow = 1;
      }
    }
    const Word s = carry + borrow;
    if (uj[0] >= s) {
      uj[0] -= s;
    } else {
      // qhat was one too large: add the divisor back.
      uj[0] = uj[0] + kLimbBase - s;
      --qhat;
      Word c = 0;
      for (std::int64_t i = vlen - 1; i >= 0; --i) {
        uj[i + 1] = limb_add(uj[i + 1], vn[i], &c);
      }
      uj[0] = (uj[0] + c) % kLimbBase;
    }
    q[j] = qhat;
  }
  if (rem_out) {
    // The last vlen limbs hold the remainder times f.
    const Word recip_f = reciprocal_of(f);
    Word carry = 0;
    for (std::int64_t i = 0; i < vlen; ++i) {
      const u128 num = static_cast<u128>(carry) * kLimbBase + un[ulen + 1 - vlen + i];
      rem_out[i] =
          div_wide(static_cast<Word>(num >> 64), static_cast<Word>(num), f, recip_f, &carry);
    }
  }
}

namespace {

// hi:lo / d for hi < d (the quotient fits a word): one hardware division where there is one.
inline Word div_2by1(Word hi, Word lo, Word d, Word* rem) {
#if defined(__x86_64__)
  Word q, r;
  __asm__("divq %4" : "=a"(q), "=d"(r) : "a"(lo), "d"(hi), "rm"(d));
  *rem = r;
  return q;
#else
  const u128 num = (static_cast<u128>(hi) << 64) | lo;
  *rem = static_cast<Word>(num % d);
  return static_cast<Word>(num / d);
#endif
}

// One-limb mantissas (k = P digits): the three quotient limbs of the long division, A / V and
// two limbs of fraction, are one digit and two full limbs, since 0.1 < A / V < 10.
Word divide_one_limb(DecFloat* dst, Word a, Word v, std::int64_t e, bool neg) {
  const int k = static_cast<int>(g_arith.top_digits);
  const Word q0 = a / v;
  Word r = a % v, q1, q2;
  {
    const u128 num = static_cast<u128>(r) * kLimbBase;  // < v 2^64: the quotient fits
    q1 = div_2by1(static_cast<Word>(num >> 64), static_cast<Word>(num), v, &r);
  }
  {
    const u128 num = static_cast<u128>(r) * kLimbBase;
    q2 = div_2by1(static_cast<Word>(num >> 64), static_cast<Word>(num), v, &r);
  }
  Word rem, unused, rl;
  if (q0 != 0) {
    // q0 and the first k - 1 digits of q1; the round limb goes on into q2.
    const int s = 20 - k;
    dst[1] = q0 * kPow10[k - 1] + div_pow10(q1, s, &rem);
    rl = rem * kPow10[k - 1] + div_pow10(q2, s, &unused);
  } else {
    const int s = 19 - k;
    dst[1] = div_pow10(q1, s, &rem);
    rl = rem * kPow10[k] + div_pow10(q2, s, &unused);
    --e;
  }
  set_exponent_checked(dst, e, neg);
  return rl;
}

Word divide(DecFloat* dst, const DecFloat* a, const DecFloat* b, bool long_division) {
  const bool neg = dec_negative(a) != dec_negative(b);
  if (is_special(a) || is_special(b)) {
    if (is_undefined(a) || is_undefined(b)) {
      make_undefined(dst);
    } else if ((is_infinity(a) && is_infinity(b)) || (is_zero(a) && is_zero(b))) {
      make_undefined(dst, MathStatus::Undefined);
    } else if (is_infinity(a)) {
      make_infinity(dst, neg);
    } else if (is_infinity(b)) {
      make_zero(dst, neg);
    } else if (is_zero(b)) {
      make_infinity(dst, neg);
      if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    } else {
      make_zero(dst, neg);
    }
    return 0;
  }
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t extra = n + 1;  // quotient limbs beyond the integer part: >= P + 19 digits
  const std::int64_t ulen = n + extra;
  const std::int64_t e = dec_exponent(a) - dec_exponent(b);
  if (n == 1) return divide_one_limb(dst, a[1], b[1], e, neg);
  if (n >= kNewtonDivLimbs && !long_division) {
    Word rl;
    std::int64_t digits;
    if (dec_div_newton(dst, a, b, &rl, &digits)) {
      set_exponent_checked(dst, e + digits - 1 - 19 * extra, neg);
      return rl;
    }
  }
  ScratchScope scope;
  Word* u = scratch_alloc(static_cast<std::size_t>(ulen));
  Word* q = scratch_alloc(static_cast<std::size_t>(extra + 1));
  std::memcpy(u, a + 1, static_cast<std::size_t>(n) * sizeof(Word));
  std::memset(u + n, 0, static_cast<std::size_t>(extra) * sizeof(Word));
  limbs_divide(q, u, ulen, b + 1, n);
  std::int64_t digits;
  const Word rl = take_leading_digits(dst, q, extra + 1, &digits);
  // q ~ (A / B) * 10^(19 extra); both mantissas have P digits.
  set_exponent_checked(dst, e + digits - 1 - 19 * extra, neg);
  return rl;
}

}  // namespace

Word dec_div(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  return divide(dst, a, b, false);
}

Word dec_div_long(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  return divide(dst, a, b, true);
}

void dec_div_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  // dec_div's truncation is exact, so its own round_limb rounds correctly; this is the same
  // value as three guard digits followed by one rounding.
  apply_rounding(dst, dec_div(dst, a, b));
}

void dec_reciprocal(DecFloat* dst, const DecFloat* a) {
  if (is_special(a)) {
    if (is_undefined(a)) {
      make_undefined(dst);
    } else if (is_zero(a)) {
      make_infinity(dst, dec_negative(a));
      if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    } else {
      make_zero(dst, dec_negative(a));
    }
    return;
  }
  const Word rl = with_guard_digits(
      2,
      [](DecFloat* r, const DecFloat* x) {
        ScratchScope scope;
        DecFloat* one = scratch_dec();
        dec_from_word(one, 1);
        return dec_div(r, one, x);
      },
      dst, a);
  apply_rounding(dst, rl);
}

Word dec_div_word(DecFloat* dst, const DecFloat* a, std::uint64_t d, std::uint64_t recip) {
  const bool neg = dec_negative(a);
  if (is_special(a)) {
    if (is_undefined(a)) {
      make_undefined(dst);
    } else if (is_infinity(a)) {
      make_infinity(dst, neg);
    } else if (d == 0) {
      make_undefined(dst, MathStatus::Undefined);
    } else {
      make_zero(dst, neg);
    }
    return 0;
  }
  if (d == 0) {
    make_infinity(dst, neg);
    if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    return 0;
  }
  if (recip == 0)
    recip = d < static_cast<std::uint64_t>(kReciprocalTableSize) ? ReciprocalTable[d]
                                                                 : reciprocal_of(d);
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t p = g_arith.precision;
  // Quotient limbs beyond the dividend's: the quotient keeps 19 (n + extra) - 19 >= P + 19
  // digits for d < 10^19, one limb more for larger d.
  const std::int64_t extra = d < kLimbBase ? 2 : 3;
  ScratchScope scope;
  Word* q = scratch_alloc(static_cast<std::size_t>(n + extra));
  Word rem = 0;
  for (std::int64_t i = 0; i < n + extra; ++i) {
    const Word limb = i < n ? a[1 + i] : 0;
    const u128 num = static_cast<u128>(rem) * kLimbBase + limb;
    q[i] = div_wide(static_cast<Word>(num >> 64), static_cast<Word>(num), d, recip, &rem);
  }
  std::int64_t digits;
  const std::int64_t ea = dec_exponent(a);
  const Word rl = take_leading_digits(dst, q, n + extra, &digits);
  set_exponent_checked(dst, ea + digits - p - 19 * extra, neg);
  return rl;
}
