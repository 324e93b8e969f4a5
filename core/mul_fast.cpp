// Exact products of long limb arrays: Karatsuba's three half-size products above a measured
// threshold, column sums below it, and a squaring path that sums each cross product once.
// Arrays are most significant limb first, base 10^19, like every mantissa.
#include <cstring>

#include "core/limbs.h"

namespace {

// a[0 .. la) += b[0 .. lb) with b aligned at the least significant end (lb <= la); the carry
// runs up through a and is dropped at its top (callers size a so that none is left).
void add_tail(Word* a, std::int64_t la, const Word* b, std::int64_t lb) {
  Word carry = limbs_add(a + (la - lb), b, lb);
  for (std::int64_t i = la - lb - 1; carry && i >= 0; --i) {
    a[i] = limb_add(a[i], 0, &carry);
  }
}

// a -= b, aligned as in add_tail; the borrow runs up through a (the true difference is >= 0).
void sub_tail(Word* a, std::int64_t la, const Word* b, std::int64_t lb) {
  Word borrow = limbs_sub(a + (la - lb), b, lb);
  for (std::int64_t i = la - lb - 1; borrow && i >= 0; --i) {
    if (a[i] != 0) {
      --a[i];
      borrow = 0;
    } else {
      a[i] = kLimbBase - 1;
    }
  }
}

}  // namespace

// Column c of a square: twice the cross products a_i a_j (i < j, i + j = c) plus a_(c/2)^2,
// carried into base 10^19 like product_columns, from column low_col up.
void square_columns(Word* out, const Word* a, std::int64_t n, std::int64_t low_col) {
  const std::int64_t len = 2 * n;
  std::memset(out, 0, static_cast<std::size_t>(len) * sizeof(Word));
  u128 carry = 0;
  for (std::int64_t c = low_col; c <= 2 * n - 2; ++c) {
    u128 acc = 0;
    Word acc_hi = 0;
    std::int64_t i = c - (n - 1) > 0 ? c - (n - 1) : 0;
    std::int64_t j = c - i;
    const Word* pa = a + (n - 1 - i);
    const Word* pb = a + (n - 1 - j);
    for (; i < j; ++i, --j) {
      const u128 p = static_cast<u128>(*pa) * *pb;
      acc += p;
      acc_hi += acc < p;
      --pa;
      ++pb;
    }
    acc_hi = (acc_hi << 1) | static_cast<Word>(acc >> 127);
    acc <<= 1;
    if (i == j) {
      const u128 p = static_cast<u128>(*pa) * *pa;
      acc += p;
      acc_hi += acc < p;
    }
    acc += carry;
    acc_hi += acc < carry;
    Word r1, r0;
    const Word q1 = div_limb_base(acc_hi, static_cast<Word>(acc >> 64), &r1);
    const Word q0 = div_limb_base(r1, static_cast<Word>(acc), &r0);
    out[len - 1 - c] = r0;
    carry = (static_cast<u128>(q1) << 64) | q0;
  }
  out[0] = static_cast<Word>(carry);
}

namespace {

// Karatsuba with the low halves of h = ceil(n/2) limbs and the high ones of n - h:
// a b = z2 B^2h + (sa sb - z0 - z2) B^h + z0 with sa = a_lo + a_hi (h + 1 limbs).
void karatsuba(Word* out, const Word* a, const Word* b, std::int64_t n, std::int64_t threshold,
               bool square) {
  if (n < threshold || n < 4) {
    if (square) {
      square_columns(out, a, n, 0);
    } else {
      product_columns(out, a, b, n, 0);
    }
    return;
  }
  const std::int64_t h = (n + 1) / 2, l = n - h;
  ScratchScope scope;
  Word* sa = scratch_alloc(static_cast<std::size_t>(h + 1));
  Word* sb = square ? sa : scratch_alloc(static_cast<std::size_t>(h + 1));
  Word* z1 = scratch_alloc(static_cast<std::size_t>(2 * h + 2));
  sa[0] = 0;
  std::memcpy(sa + 1, a + l, static_cast<std::size_t>(h) * sizeof(Word));
  add_tail(sa, h + 1, a, l);
  if (!square) {
    sb[0] = 0;
    std::memcpy(sb + 1, b + l, static_cast<std::size_t>(h) * sizeof(Word));
    add_tail(sb, h + 1, b, l);
  }
  // z0 into the low 2h limbs of out, z2 into the high 2l.
  karatsuba(out + 2 * l, a + l, b + l, h, threshold, square);
  karatsuba(out, a, b, l, threshold, square);
  karatsuba(z1, sa, sb, h + 1, threshold, square);
  sub_tail(z1, 2 * h + 2, out + 2 * l, 2 * h);
  sub_tail(z1, 2 * h + 2, out, 2 * l);
  // z1 = a_lo b_hi + a_hi b_lo < 2 B^n fits the n + l limbs from place h on; its top limbs
  // are zero.
  std::int64_t skip = 0;
  while (skip < 2 * h + 2 && z1[skip] == 0) ++skip;
  add_tail(out, 2 * n - h, z1 + skip, 2 * h + 2 - skip);
}

}  // namespace

void limbs_mul_karatsuba(Word* out, const Word* a, const Word* b, std::int64_t n,
                         std::int64_t threshold) {
  karatsuba(out, a, b, n, threshold, a == b);
}

void limbs_mul(Word* out, const Word* a, const Word* b, std::int64_t n) {
  karatsuba(out, a, b, n, a == b ? kKaratsubaSquareLimbs : kKaratsubaLimbs, a == b);
}
