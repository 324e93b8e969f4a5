// Products of long limb arrays by words: Karatsuba's three half-size products above a measured
// threshold, column sums below it, a squaring path that sums each cross product once, and the
// short product of dec_mul split around a Karatsuba product. Arrays are most significant limb
// first, base 10^19, like every mantissa. Where the processor has the vector multiply-add,
// mul_vector.cpp takes over in the sizes where it measured faster (see limbs.h).
//
// The recursion never carries: every product is kept as its column sums (Col, least
// significant column first), the leaves add their limb products into three words without
// dividing, and Karatsuba combines columns by plain additions. Only the finished product is
// turned into limbs, by one pass whose divisions do not wait on each other.
#include <cstring>

#include "core/limbs.h"

namespace {

// A column sum: the signed 192-bit integer lo + mid 2^64 + hi 2^128 (two's complement).
struct Col {
  Word lo, mid, hi;
};

// Three-word sums. On x86-64 one add/adc chain; the compilers put the portable forms (and the
// carry intrinsics) through the stack, which made these sums a fifth of a product's time.
inline void col_add(Col& d, const Col& s) {
#if defined(__x86_64__)
  __asm__("addq %3, %0\n\tadcq %4, %1\n\tadcq %5, %2"
          : "+r"(d.lo), "+r"(d.mid), "+r"(d.hi)
          : "rm"(s.lo), "rm"(s.mid), "rm"(s.hi)
          : "cc");
#else
  const Word lo = d.lo + s.lo, c0 = lo < s.lo;
  const Word m1 = d.mid + s.mid, c1 = m1 < s.mid;
  const Word mid = m1 + c0, c2 = mid < m1;
  d = {lo, mid, d.hi + s.hi + c1 + c2};
#endif
}

inline void col_sub(Col& d, const Col& s) {
#if defined(__x86_64__)
  __asm__("subq %3, %0\n\tsbbq %4, %1\n\tsbbq %5, %2"
          : "+r"(d.lo), "+r"(d.mid), "+r"(d.hi)
          : "rm"(s.lo), "rm"(s.mid), "rm"(s.hi)
          : "cc");
#else
  const Word b0 = d.lo < s.lo, lo = d.lo - s.lo;
  const Word b1 = d.mid < s.mid, m1 = d.mid - s.mid;
  const Word b2 = m1 < b0, mid = m1 - b0;
  d = {lo, mid, d.hi - s.hi - b1 - b2};
#endif
}

Col* alloc_cols(std::int64_t count) {
  return reinterpret_cast<Col*>(scratch_alloc(static_cast<std::size_t>(3 * count)));
}

// Sum of x[i] y[i] for i < k into the three words s (low two) and h. Four products are formed
// before they are added so that the multiplier never waits on the chain of carries.
inline void dot_add(const Word* x, const Word* y, std::int64_t k, u128& s, Word& h) {
  std::int64_t i = 0;
  for (; i + 4 <= k; i += 4) {
    const u128 p0 = static_cast<u128>(x[i]) * y[i], p1 = static_cast<u128>(x[i + 1]) * y[i + 1];
    const u128 p2 = static_cast<u128>(x[i + 2]) * y[i + 2];
    const u128 p3 = static_cast<u128>(x[i + 3]) * y[i + 3];
    s += p0;
    h += s < p0;
    s += p1;
    h += s < p1;
    s += p2;
    h += s < p2;
    s += p3;
    h += s < p3;
  }
  for (; i < k; ++i) {
    const u128 p = static_cast<u128>(x[i]) * y[i];
    s += p;
    h += s < p;
  }
}

// Columns c = from .. 2n - 2 of a * b (n limbs each) into out[c], uncarried; ar is a in reverse
// (least significant limb first), so both operands are read forwards. At most n products below
// 10^38 each: every column is below n 10^38 < 2^190 for any n below 2^63.
void leaf_product(Col* out, const Word* ar, const Word* b, std::int64_t n, std::int64_t from) {
  for (std::int64_t c = from; c <= 2 * n - 2; ++c) {
    const std::int64_t i_lo = c - (n - 1) > 0 ? c - (n - 1) : 0;
    const std::int64_t i_hi = c < n - 1 ? c : n - 1;
    u128 s = 0;
    Word h = 0;
    dot_add(ar + i_lo, b + (n - 1 - c + i_lo), i_hi - i_lo + 1, s, h);
    out[c] = {static_cast<Word>(s), static_cast<Word>(s >> 64), h};
  }
}

// The same for a * a: twice the cross products a_i a_j (i < j) plus the square on the diagonal;
// the bound of leaf_product holds as the sums are the same.
void leaf_square(Col* out, const Word* ar, const Word* a, std::int64_t n, std::int64_t from) {
  for (std::int64_t c = from; c <= 2 * n - 2; ++c) {
    const std::int64_t i_lo = c - (n - 1) > 0 ? c - (n - 1) : 0;
    u128 s = 0;
    Word h = 0;
    // pairs i < c - i
    dot_add(ar + i_lo, a + (n - 1 - c + i_lo), (c + 1) / 2 - i_lo, s, h);
    h = (h << 1) | static_cast<Word>(s >> 127);
    s <<= 1;
    if (c % 2 == 0) {
      const u128 p = static_cast<u128>(ar[c / 2]) * ar[c / 2];
      s += p;
      h += s < p;
    }
    out[c] = {static_cast<Word>(s), static_cast<Word>(s >> 64), h};
  }
}

// The leaves of the recursion: columns from `from` on of a * b, or of a * a when square.
void leaf(Col* out, const Word* a, const Word* b, std::int64_t n, std::int64_t from, bool square) {
  ScratchScope scope;
  Word* ar = scratch_alloc(static_cast<std::size_t>(n));
  for (std::int64_t i = 0; i < n; ++i) ar[i] = a[n - 1 - i];
  if (square) {
    leaf_square(out, ar, a, n, from);
  } else {
    leaf_product(out, ar, b, n, from);
  }
}

// d = |x - y| with x of h limbs and y of l <= h limbs aligned at the least significant end;
// returns true when x < y.
bool abs_diff(Word* d, const Word* x, std::int64_t h, const Word* y, std::int64_t l) {
  const std::int64_t off = h - l;
  int cmp = 0;
  for (std::int64_t i = 0; i < off && cmp == 0; ++i) cmp = x[i] != 0;
  if (cmp == 0) cmp = limbs_compare(x + off, y, l);
  const bool neg = cmp < 0;
  // u - v with u the larger; the top off limbs of y are zeros.
  const Word* u = neg ? y : x + off;
  const Word* v = neg ? x + off : y;
  Word borrow = 0;
  for (std::int64_t i = l - 1; i >= 0; --i) {
    const Word vi = v[i] + borrow;
    borrow = u[i] < vi;
    d[off + i] = u[i] - vi + (kLimbBase & -borrow);
  }
  for (std::int64_t i = off - 1; i >= 0; --i) {
    // only when x is the larger (the zeros of y are never the larger)
    const Word vi = borrow;
    borrow = x[i] < vi;
    d[i] = x[i] - vi + (kLimbBase & -borrow);
  }
  return neg;
}

template <bool kOpposite>
inline void add_or_sub(Col& d, const Col& s) {
  if (kOpposite) {
    col_add(d, s);
  } else {
    col_sub(d, s);
  }
}

// Adds the middle term z0 + z2 -/+ p (p = |da db|, 2h - 1 columns) in at column h of out, which
// holds z0 in columns [0, 2h) and z2 from 2h on (2n - 1 columns in all). One pass over k < h
// updates columns h + k and 2h + k from the old columns k, h + k, 2h + k and 3h + k, so every
// column is read before it is written.
template <bool kOpposite>
void add_middle(Col* out, const Col* p, std::int64_t n, std::int64_t h) {
  const std::int64_t top = 2 * n - 1;  // columns of out
  // k < h - 1 with 3h + k < top: every column present (z0 has 2h - 1, z2 2n - 2h - 1)
  const std::int64_t full = top - 3 * h < h - 1 ? top - 3 * h : h - 1;
  std::int64_t k = 0;
  for (; k < full; ++k) {
    const Col z0_hi = out[h + k], z2_lo = out[2 * h + k];
    Col m0 = out[k], m1 = z0_hi;
    col_add(m0, z2_lo);
    col_add(m1, out[3 * h + k]);
    add_or_sub<kOpposite>(m0, p[k]);
    add_or_sub<kOpposite>(m1, p[h + k]);
    col_add(m0, z0_hi);
    col_add(m1, z2_lo);
    out[h + k] = m0;
    out[2 * h + k] = m1;
  }
  const Col zero = {0, 0, 0};
  for (; k < h; ++k) {
    const Col z0_lo = out[k], z0_hi = out[h + k];
    const Col z2_lo = 2 * h + k < top ? out[2 * h + k] : zero;
    const Col z2_hi = 3 * h + k < top ? out[3 * h + k] : zero;
    Col m0 = z0_lo, m1 = z0_hi;
    col_add(m0, z2_lo);
    col_add(m1, z2_hi);
    add_or_sub<kOpposite>(m0, p[k]);
    if (h + k < 2 * h - 1) add_or_sub<kOpposite>(m1, p[h + k]);
    col_add(m0, z0_hi);
    out[h + k] = m0;
    if (2 * h + k < top) {
      col_add(m1, z2_lo);
      out[2 * h + k] = m1;
    }
  }
}

// Karatsuba in its subtractive form, on n limbs split into the low h = ceil(n/2) and the high
// l = n - h: a b = z2 B^2h + (z0 + z2 - (a_lo - a_hi)(b_lo - b_hi)) B^h + z0, the differences
// taken in absolute value (h limbs) with their signs. Writes the 2n - 1 columns of a * b.
// Sizes: a column of the result is a column of z0 or z2 plus one of the middle term, which is
// the sum of three; so |column| <= 4 M(h) with M(t) < t 10^38 at a leaf, and with d levels
// |column| < 4^d t 10^38 < 16 (n^2 / t) 10^38 < 2^170 for any n below 2^20 limbs.
void karatsuba(Col* out, const Word* a, const Word* b, std::int64_t n, std::int64_t threshold,
               bool square) {
  if (n < threshold || n < 4) {
    leaf(out, a, b, n, 0, square);
    return;
  }
  const std::int64_t h = (n + 1) / 2, l = n - h;
  ScratchScope scope;
  Word* da = scratch_alloc(static_cast<std::size_t>(h));
  Word* db = square ? da : scratch_alloc(static_cast<std::size_t>(h));
  Col* mid = alloc_cols(2 * h - 1);
  // The signs of the two differences; a square's agree.
  bool opposite = abs_diff(da, a + l, h, a, l);
  opposite = square ? false : opposite != abs_diff(db, b + l, h, b, l);
  karatsuba(out, a + l, b + l, h, threshold, square);
  out[2 * h - 1] = {0, 0, 0};
  karatsuba(out + 2 * h, a, b, l, threshold, square);
  karatsuba(mid, da, db, h, threshold, square);
  if (opposite) {
    add_middle<true>(out, mid, n, h);
  } else {
    add_middle<false>(out, mid, n, h);
  }
}

// div_limb_base without the data-dependent branch: the first correction of the 2-by-1 step
// (taken about half the time on random data) is applied by masks; the second is rare.
inline Word div_base(Word hi, Word lo, Word* rem) {
  constexpr Word d = kLimbBase;
  u128 q = static_cast<u128>(kLimbBaseInverse) * hi;
  q += (static_cast<u128>(hi + 1) << 64) | lo;
  Word q1 = static_cast<Word>(q >> 64);
  const Word q0 = static_cast<Word>(q);
  Word r = lo - q1 * d;
  const Word mask = -static_cast<Word>(r > q0);
  q1 += mask;
  r += mask & d;
  if (__builtin_expect(r >= d, 0)) {
    ++q1;
    r -= d;
  }
  *rem = r;
  return q1;
}

// Floor division of a signed column by 10^19: v = q 10^19 + r with 0 <= r < 10^19; |v| < 2^190
// keeps the high word of |v| below 2^63 < 10^19, as the two steps of div_limb_base need, and
// |q| < 2^127.
inline Word col_divmod(const Col& v, u128* q) {
  const Word m = static_cast<Word>(static_cast<std::int64_t>(v.hi) >> 63);  // 0 or all ones
  // |v| = (v ^ m) - m
  u128 t = static_cast<u128>(v.lo ^ m) + (m & 1);
  const Word lo = static_cast<Word>(t);
  t = static_cast<u128>(v.mid ^ m) + static_cast<Word>(t >> 64);
  const Word mid = static_cast<Word>(t);
  const Word hi = (v.hi ^ m) + static_cast<Word>(t >> 64);
  Word r1, r;
  const Word q1 = div_base(hi, mid, &r1);
  const Word q0 = div_base(r1, lo, &r);
  u128 qq = (static_cast<u128>(q1) << 64) | q0;
  // -(qq B + r) = -(qq + 1) B + (B - r) when r > 0
  const Word adj = m & (r != 0);
  r = adj ? kLimbBase - r : r;
  qq += adj;
  const u128 mm = (static_cast<u128>(m) << 64) | m;
  *q = (qq ^ mm) - mm;
  return r;
}

// The columns col[0 .. m) (least significant first) of a non-negative integer below
// 10^(19 len) into len limbs, most significant first. Each column is split on its own into
// r + s0 B + s1 B^2 (r, s0 in [0, B)); with |column| < 2^170, |s1| < 2^44. The divisions
// do not wait on each other; the only carries that run through the columns are those of
// t = r_k + s0_(k-1) + s1_(k-2) + c, which lies in (-B, 3B) and gives c in [-1, 2].
void columns_to_limbs(Word* out, const Col* col, std::int64_t m, std::int64_t len) {
  using i128 = __int128;
  constexpr i128 kB = static_cast<i128>(kLimbBase);
  Word s0_prev = 0;
  std::int64_t s1_prev = 0, s1_prev2 = 0, carry = 0;
  for (std::int64_t k = 0; k < len; ++k) {
    Word r = 0, s0 = 0;
    std::int64_t s1 = 0;
    if (k < m) {
      const Col& v = col[k];
      if (static_cast<std::int64_t>(v.hi) >= 0) {
        // v.hi < 2^42 < B: two steps give q = v div B < 2^107, then q = s1 B + s0.
        Word r1;
        const Word q1 = div_base(v.hi, v.mid, &r1);
        const Word q0 = div_base(r1, v.lo, &r);
        s1 = static_cast<std::int64_t>(div_base(q1, q0, &s0));
      } else {
        u128 q;
        r = col_divmod(v, &q);
        const Word qh = static_cast<Word>(q >> 64);
        const Col qc = {static_cast<Word>(q), qh,
                        static_cast<Word>(static_cast<std::int64_t>(qh) >> 63)};
        u128 q2;
        s0 = col_divmod(qc, &q2);
        s1 = static_cast<std::int64_t>(static_cast<Word>(q2));
      }
    }
    const i128 t = static_cast<i128>(r) + s0_prev + s1_prev2 + carry;
    const std::int64_t c = static_cast<std::int64_t>(t >= kB) +
                           static_cast<std::int64_t>(t >= 2 * kB) -
                           static_cast<std::int64_t>(t < 0);
    out[len - 1 - k] = static_cast<Word>(t - static_cast<i128>(c) * kB);
    carry = c;
    s0_prev = s0;
    s1_prev2 = s1_prev;
    s1_prev = s1;
  }
}

// Short product: a column vector whose value V lies between the sum of the limb products
// a_i b_j with i + j >= n - g (indices from the least significant limb) and the exact product,
// like the column sums from n - g on. Below `threshold` limbs those columns themselves; above,
// the split of a and b into the top k limbs and the low l = n - k (k >= l + g - 1):
//   a_hi b_hi B^2l, in full by Karatsuba;
//   a_hi b_lo: its products in columns >= n - g have a_i among the top m = l + g - 1 limbs of
//     a, so a short product of those and b_lo (widened to m limbs by zeros) at column n - m
//     covers them, and its own columns >= m - g are exactly columns >= n - g here;
//   a_lo b_hi likewise; a_lo b_lo has no column above 2l - 2 < n - g.
// The three parts take disjoint sets of limb products, each at least those of columns >= n - g
// and at most all of its own, so V keeps both bounds. Writes out[c] for c from the returned
// column on (2n - 1 columns in all); the columns bound of karatsuba holds for each part, and a
// column of out is the sum of at most three parts' columns.
std::int64_t short_product(Col* out, const Word* a, const Word* b, std::int64_t n, std::int64_t g,
                           std::int64_t threshold) {
  const bool square = a == b;
  std::int64_t l = n * kShortSplitPercent / 100;
  if (n - l < l + g - 1) l = (n - g + 1) / 2;
  if (n < threshold || l < g || n < 4) {
    const std::int64_t from = n - g > 0 ? n - g : 0;
    leaf(out, a, b, n, from, square);
    return from;
  }
  const std::int64_t k = n - l, m = l + g - 1;
  ScratchScope scope;
  karatsuba(out + 2 * l, a, b, k, kKaratsubaLimbs, square);
  Word* wide = scratch_alloc(static_cast<std::size_t>(m));
  Col* part = alloc_cols(2 * m - 1);
  std::memset(wide, 0, static_cast<std::size_t>(m - l) * sizeof(Word));
  std::memcpy(wide + (m - l), b + k, static_cast<std::size_t>(l) * sizeof(Word));
  const std::int64_t from = short_product(part, a, wide, m, g, threshold);
  const std::int64_t low = n - m + from < 2 * l ? n - m + from : 2 * l;
  for (std::int64_t c = low; c < 2 * l; ++c) out[c] = {0, 0, 0};
  for (int side = 0; side < 2; ++side) {
    if (side == 1 && !square) {
      std::memcpy(wide + (m - l), a + k, static_cast<std::size_t>(l) * sizeof(Word));
      short_product(part, wide, b, m, g, threshold);
    }
    // a square's two cross parts are equal
    for (std::int64_t c = from; c < 2 * m - 1; ++c) col_add(out[n - m + c], part[c]);
  }
  return low;
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

void limbs_mul_karatsuba(Word* out, const Word* a, const Word* b, std::int64_t n,
                         std::int64_t threshold) {
  if (n < threshold || n < 4) {
    if (a == b) {
      square_columns(out, a, n, 0);
    } else {
      product_columns(out, a, b, n, 0);
    }
    return;
  }
  ScratchScope scope;
  Col* cols = alloc_cols(2 * n - 1);
  karatsuba(cols, a, b, n, threshold, a == b);
  columns_to_limbs(out, cols, 2 * n - 1, 2 * n);
}

void limbs_mul(Word* out, const Word* a, const Word* b, std::int64_t n) {
  if (use_vector_product(n, a == b)) {
    vector_product(out, a, b, n);
    return;
  }
  limbs_mul_karatsuba(out, a, b, n, a == b ? kKaratsubaSquareLimbs : kKaratsubaLimbs);
}

void limbs_mul_short(Word* out, const Word* a, const Word* b, std::int64_t n, std::int64_t g,
                     std::int64_t threshold) {
  if (use_vector_short_product(n, a == b)) {
    vector_short_product(out, a, b, n, g);
    return;
  }
  ScratchScope scope;
  Col* cols = alloc_cols(2 * n - 1);
  const std::int64_t low = short_product(cols, a, b, n, g, threshold);
  columns_to_limbs(out, cols + low, 2 * n - 1 - low, 2 * n - low);
  std::memset(out + (2 * n - low), 0, static_cast<std::size_t>(low) * sizeof(Word));
}
