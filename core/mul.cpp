// Multiplication. Small mantissas are multiplied in full; from 5 limbs on only the top columns
// of the product are summed (a short product), and the rare products whose round_limb lies in
// the short product's error window are redone in full so that the kept digits and the first
// discarded digit are always exact. Squares sum each cross product once. From
// kShortProductLimbs on the short product is split (mul_fast.cpp) so that most of it is one
// Karatsuba product of the top limbs, and on processors with the vector path it is that
// path's (mul_vector.cpp); both lose less than the column sums' bound, so the window below
// holds for all.
#include <cstring>

#include "core/arith.h"
#include "core/limbs.h"

// Column sums of a * b (n limbs each, most significant first) into out[0 .. 2n), most
// significant first, for the columns from `low_col` (counted from the least significant, 0)
// up. Columns below are skipped; their carries are lost (the caller bounds the error).
void product_columns(Word* out, const Word* a, const Word* b, std::int64_t n,
                     std::int64_t low_col) {
  // out[2n - 1 - c] receives column c (a[n-1-i] * b[n-1-j] with i + j = c).
  const std::int64_t len = 2 * n;
  std::memset(out, 0, static_cast<std::size_t>(len) * sizeof(Word));
  u128 carry = 0;
  for (std::int64_t c = low_col; c <= 2 * n - 2; ++c) {
    u128 acc = carry;
    Word acc_hi = 0;
    const std::int64_t i_lo = c - (n - 1) > 0 ? c - (n - 1) : 0;
    const std::int64_t i_hi = c < n - 1 ? c : n - 1;
    // a index from the least significant: ai = n - 1 - i; b: bj = n - 1 - (c - i)
    const Word* pa = a + (n - 1 - i_lo);
    const Word* pb = b + (n - 1 - (c - i_lo));
    for (std::int64_t i = i_lo; i <= i_hi; ++i) {
      const u128 p = static_cast<u128>(*pa) * *pb;
      acc += p;
      acc_hi += acc < p;
      --pa;
      ++pb;
    }
    // acc_hi:acc / 10^19 -> carry, remainder -> limb
    Word r1, r0;
    const Word q1 = div_limb_base(acc_hi, static_cast<Word>(acc >> 64), &r1);
    const Word q0 = div_limb_base(r1, static_cast<Word>(acc), &r0);
    out[len - 1 - c] = r0;
    carry = (static_cast<u128>(q1) << 64) | q0;
  }
  // The top limb (column 2n - 1) takes the last carry, which is below 10^19.
  out[0] = static_cast<Word>(carry);
}

namespace {

// The exact product of N-limb mantissas (N <= 4) by columns with the loops unrolled: a column
// sums at most four products below 10^38 each, so the sum stays below 2^130 in acc_hi:acc.
template <int N>
void small_product(Word* out, const Word* a, const Word* b) {
  u128 carry = 0;
  for (int c = 0; c <= 2 * N - 2; ++c) {
    u128 acc = carry;
    Word acc_hi = 0;
    for (int i = c < N ? 0 : c - N + 1; i <= (c < N ? c : N - 1); ++i) {
      const u128 p = static_cast<u128>(a[N - 1 - i]) * b[N - 1 - (c - i)];
      acc += p;
      acc_hi += acc < p;
    }
    Word r1, r0;
    const Word q1 = div_limb_base(acc_hi, static_cast<Word>(acc >> 64), &r1);
    const Word q0 = div_limb_base(r1, static_cast<Word>(acc), &r0);
    out[2 * N - 1 - c] = r0;
    carry = (static_cast<u128>(q1) << 64) | q0;
  }
  out[0] = static_cast<Word>(carry);
}

}  // namespace

Word dec_mul(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  const bool neg = dec_negative(a) != dec_negative(b);
  if (is_special(a) || is_special(b)) {
    if (is_undefined(a) || is_undefined(b)) {
      make_undefined(dst);
    } else if ((is_zero(a) && is_infinity(b)) || (is_infinity(a) && is_zero(b))) {
      make_undefined(dst, MathStatus::Undefined);
    } else if (is_zero(a) || is_zero(b)) {
      make_zero(dst, neg);
    } else {
      make_infinity(dst, neg);
    }
    return 0;
  }
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t p = g_arith.precision;
  const std::int64_t e = dec_exponent(a) + dec_exponent(b);
  if (n == 1) {
    // One limb of P <= 19 digits each: the product (below 10^2P) has D = 2P - 1 or 2P digits;
    // the top P are the quotient by 10^(D - P) (below 10^P, so the division's high word is
    // below its divisor), the remainder's D - P <= 19 digits the round limb, left-aligned.
    const u128 prod = static_cast<u128>(a[1]) * b[1];
    const std::int64_t d = prod >= static_cast<u128>(kPow10[p]) * kPow10[p - 1] ? 2 * p : 2 * p - 1;
    const int s = static_cast<int>(d - p);
    Word r;
    dst[1] = div_wide(static_cast<Word>(prod >> 64), static_cast<Word>(prod), kPow10[s],
                      kPow10Reciprocal[s], &r);
    set_exponent_checked(dst, e + (d - (2 * p - 1)), neg);
    return r * kPow10[19 - s];
  }
  Word rl;
  std::int64_t digits;
  if (n <= 4) {
    Word small[8];
    switch (n) {
      case 2:
        small_product<2>(small, a + 1, b + 1);
        break;
      case 3:
        small_product<3>(small, a + 1, b + 1);
        break;
      default:
        small_product<4>(small, a + 1, b + 1);
        break;
    }
    rl = take_leading_digits(dst, small, 2 * n, &digits);
    set_exponent_checked(dst, e + (digits - (2 * p - 1)), neg);
    return rl;
  }
  ScratchScope scope;
  Word* prod = scratch_alloc(static_cast<std::size_t>(2 * n));
  // A square sums each cross product once.
  const bool sq = a == b;
  auto columns = [&](std::int64_t low_col) {
    if (low_col == 0 && (n >= kKaratsubaLimbs || use_vector_product(n, sq))) {
      limbs_mul(prod, a + 1, b + 1, n);
    } else if (sq) {
      square_columns(prod, a + 1, n, low_col);
    } else {
      product_columns(prod, a + 1, b + 1, n, low_col);
    }
  };
  {
    // Columns below n - 4 are dropped: their carries change the round limb by a few units
    // at most and never raise the value, so only a computed round limb just below 5*10^18
    // (rounding may flip) or just below 10^19 (a carry may reach the kept digits) needs the
    // full product.
    if (n >= (sq ? kShortSquareLimbs : kShortProductLimbs) || use_vector_short_product(n, sq)) {
      // the same bounds as the columns from n - 4 on, split so that most of it is Karatsuba's
      limbs_mul_short(prod, a + 1, b + 1, n, 4, kShortProductLimbs);
    } else {
      columns(n - 4);
    }
    ScratchMark m = scratch_mark();
    Word* keep = scratch_alloc(static_cast<std::size_t>(n + 1));
    rl = take_leading_digits(keep, prod, 2 * n, &digits);
    constexpr Word kWindow = 8;
    if ((rl < kHalfLimb && rl >= kHalfLimb - kWindow) || rl >= kLimbBase - kWindow) {
      columns(0);
      rl = take_leading_digits(dst, prod, 2 * n, &digits);
    } else {
      std::memcpy(dst + 1, keep + 1, static_cast<std::size_t>(n) * sizeof(Word));
    }
    scratch_release(m);
  }
  // The product of two P-digit mantissas has 2P - 1 or 2P digits.
  set_exponent_checked(dst, e + (digits - (2 * p - 1)), neg);
  return rl;
}

void dec_mul_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  apply_rounding(dst, dec_mul(dst, a, b));
}

void dec_add_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  apply_rounding(dst, dec_add_sub(dst, a, b, 0));
}

void dec_sub_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  apply_rounding(dst, dec_add_sub(dst, a, b, 1));
}

Word dec_mul_word(DecFloat* dst, const DecFloat* a, std::uint64_t m) {
  if (is_special(a)) {
    if (is_undefined(a)) {
      make_undefined(dst);
    } else if (is_infinity(a)) {
      if (m == 0) {
        make_undefined(dst, MathStatus::Undefined);
      } else {
        make_infinity(dst, dec_negative(a));
      }
    } else {
      make_zero(dst, dec_negative(a));
    }
    return 0;
  }
  if (m == 0) {
    make_zero(dst, dec_negative(a));
    return 0;
  }
  const std::int64_t n = g_arith.limb_count;
  const std::int64_t p = g_arith.precision;
  ScratchScope scope;
  Word* buf = scratch_alloc(static_cast<std::size_t>(n + 2));
  std::memcpy(buf + 2, a + 1, static_cast<std::size_t>(n) * sizeof(Word));
  const Word carry = limbs_mul_word(buf + 2, n, m, 0);
  // The carry can exceed 10^19 when m does: split it over two limbs.
  Word r;
  buf[0] = div_limb_base(0, carry, &r);
  buf[1] = r;
  std::int64_t digits;
  const bool neg = dec_negative(a);
  const Word rl = take_leading_digits(dst, buf, n + 2, &digits);
  set_exponent_checked(dst, dec_exponent(a) + (digits - p), neg);
  return rl;
}
