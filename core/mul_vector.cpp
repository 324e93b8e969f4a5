// Products by the processor's 52-bit multiply-add on eight lanes (x86-64 processors that have
// it; the others keep the word products of mul_fast.cpp). A 10^19 limb does not fit 52 bits,
// so both operands are first re-cut into pieces of 15 digits (10^15 < 2^50): 19/15 as many
// pieces as limbs, so 1.6 times the products, but eight columns at a time. Measured on the
// 2-core development machine: 0.16 ns per limb product of 10^19 against 0.55 by words.
//
// Each lane adds the low 52 and the high 52 bits of its piece products into two words: a
// product of two pieces is below 10^30 < 2^100, so its high part is below 2^48, and with at
// most 2048 products in a column (kVectorMaxLimbs) the sums stay below 2^63 and 2^59: the
// column is lo + hi 2^52 < 2^111.
#include <atomic>
#include <cstring>
#include <utility>

#include "core/limbs.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr Word kPiece = 1000000000000000ULL;  // 10^15

std::atomic<bool> g_vector_enabled{true};

// Karatsuba's halves on the pieces are split again from this many pieces on, at most this many
// levels deep (the bound of piece_karatsuba).
std::atomic<std::int64_t> g_piece_karatsuba_pieces{kVectorKaratsubaPieces};
constexpr int kPieceKaratsubaLevels = 6;

bool processor_has_vector_products() {
#if defined(__x86_64__)
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512ifma");
  }();
  return has;
#else
  return false;
#endif
}

// 15 limbs hold 285 digits, as do 19 pieces: the conversions go by such blocks, with every
// digit offset a constant so that the divisions by powers of ten become multiplications.

// Piece t of a block from the block's limbs l[0 .. 16) (least significant first): the digits
// 15t .. 15t + 14, i.e. the top 19 - o digits of limb k = 15t div 19 above its o = 15t mod 19
// lowest, and when those are fewer than 15, the low o - 4 digits of limb k + 1 above them.
template <int t>
inline Word block_piece(const Word* l) {
  constexpr int k = 15 * t / 19, o = 15 * t % 19;
  const Word q = l[k] / kPow10[o];
  if constexpr (o <= 4) {
    return q % kPiece;
  } else {
    return q + l[k + 1] % kPow10[o - 4] * kPow10[19 - o];
  }
}

// Limb u of a block from the block's pieces p[0 .. 21): the top 15 - o digits of piece
// j = 19u div 15 (o = 19u mod 15), then min(15, o + 4) digits of piece j + 1, and for o > 11
// the low o - 11 digits of piece j + 2.
template <int u>
inline Word block_limb(const Word* p) {
  constexpr int j = 19 * u / 15, o = 19 * u % 15;
  Word limb = p[j] / kPow10[o];
  if constexpr (o >= 11) {
    limb += p[j + 1] * kPow10[15 - o];
    if constexpr (o > 11) limb += p[j + 2] % kPow10[o - 11] * kPow10[30 - o];
  } else {
    limb += p[j + 1] % kPow10[o + 4] * kPow10[15 - o];
  }
  return limb;
}

template <std::size_t... t>
inline void pieces_of_block(Word* p, const Word* l, std::index_sequence<t...>) {
  ((p[t] = block_piece<static_cast<int>(t)>(l)), ...);
}

template <std::size_t... u>
inline void limbs_of_block(Word* l, const Word* p, std::index_sequence<u...>) {
  ((l[u] = block_limb<static_cast<int>(u)>(p)), ...);
}

std::int64_t block_count(std::int64_t limbs) {
  return (limbs + 14) / 15;
}

// The n limbs of a (most significant first) as 19 pieces per block of 15 limbs, least
// significant first, into p[0 .. 19 block_count(n)).
void limbs_to_pieces(Word* p, const Word* a, std::int64_t n) {
  const std::int64_t nb = block_count(n);
  ScratchScope scope;
  Word* l = scratch_alloc(static_cast<std::size_t>(15 * nb + 1));
  for (std::int64_t k = 0; k < n; ++k) l[k] = a[n - 1 - k];
  for (std::int64_t k = n; k < 15 * nb + 1; ++k) l[k] = 0;
  for (std::int64_t b = 0; b < nb; ++b) {
    pieces_of_block(p + 19 * b, l + 15 * b, std::make_index_sequence<19>());
  }
}

// Pieces p[first .. m) (least significant first, each below 10^15; those below `first` are
// zeros, unread) into the limbs out[0 .. len), most significant first.
void pieces_to_limbs(Word* out, std::int64_t len, const Word* p, std::int64_t first,
                     std::int64_t m) {
  const std::int64_t nb = block_count(len);
  ScratchScope scope;
  Word* pp = scratch_alloc(static_cast<std::size_t>(19 * nb + 2));
  Word* l = scratch_alloc(static_cast<std::size_t>(15 * nb));
  // blocks below b0 hold only digits below piece `first`
  const std::int64_t b0 = 15 * first / 19 / 15;
  const std::int64_t mm = m < 19 * nb + 2 ? m : 19 * nb + 2;
  for (std::int64_t j = 19 * b0; j < 19 * nb + 2; ++j) pp[j] = j >= first && j < mm ? p[j] : 0;
  for (std::int64_t b = b0; b < nb; ++b) {
    limbs_of_block(l + 15 * b, pp + 19 * b, std::make_index_sequence<15>());
  }
  for (std::int64_t k = 0; k < len; ++k) out[len - 1 - k] = k >= 15 * b0 ? l[k] : 0;
}

#if defined(__x86_64__)
// Columns c = c0 .. 2n - 2 (c0 a multiple of 8) of x * y, n pieces each, least significant
// first, into lo[c] and hi[c]; yp holds y with 8 zeros on either side, so the lanes beyond
// either end read zeros. Four partial sums per half hide the latency of the multiply-adds.
__attribute__((target("avx512f,avx512ifma"))) void piece_columns(Word* lo, Word* hi, const Word* x,
                                                                 const Word* yp, std::int64_t n,
                                                                 std::int64_t c0) {
  const Word* y = yp + 8;
  for (std::int64_t c = c0; c < 2 * n - 1; c += 8) {
    const std::int64_t i_lo = c - (n - 1) > 0 ? c - (n - 1) : 0;
    const std::int64_t i_hi = c + 7 < n - 1 ? c + 7 : n - 1;
    __m512i l0 = _mm512_setzero_si512(), l1 = l0, l2 = l0, l3 = l0;
    __m512i h0 = l0, h1 = l0, h2 = l0, h3 = l0;
    std::int64_t i = i_lo;
    for (; i + 3 <= i_hi; i += 4) {
      const __m512i a0 = _mm512_set1_epi64(static_cast<long long>(x[i]));
      const __m512i a1 = _mm512_set1_epi64(static_cast<long long>(x[i + 1]));
      const __m512i a2 = _mm512_set1_epi64(static_cast<long long>(x[i + 2]));
      const __m512i a3 = _mm512_set1_epi64(static_cast<long long>(x[i + 3]));
      const __m512i b0 = _mm512_loadu_si512(y + c - i), b1 = _mm512_loadu_si512(y + c - i - 1);
      const __m512i b2 = _mm512_loadu_si512(y + c - i - 2);
      const __m512i b3 = _mm512_loadu_si512(y + c - i - 3);
      l0 = _mm512_madd52lo_epu64(l0, a0, b0);
      h0 = _mm512_madd52hi_epu64(h0, a0, b0);
      l1 = _mm512_madd52lo_epu64(l1, a1, b1);
      h1 = _mm512_madd52hi_epu64(h1, a1, b1);
      l2 = _mm512_madd52lo_epu64(l2, a2, b2);
      h2 = _mm512_madd52hi_epu64(h2, a2, b2);
      l3 = _mm512_madd52lo_epu64(l3, a3, b3);
      h3 = _mm512_madd52hi_epu64(h3, a3, b3);
    }
    for (; i <= i_hi; ++i) {
      const __m512i a0 = _mm512_set1_epi64(static_cast<long long>(x[i]));
      const __m512i b0 = _mm512_loadu_si512(y + c - i);
      l0 = _mm512_madd52lo_epu64(l0, a0, b0);
      h0 = _mm512_madd52hi_epu64(h0, a0, b0);
    }
    l0 = _mm512_add_epi64(_mm512_add_epi64(l0, l1), _mm512_add_epi64(l2, l3));
    h0 = _mm512_add_epi64(_mm512_add_epi64(h0, h1), _mm512_add_epi64(h2, h3));
    _mm512_storeu_si512(lo + c, l0);
    _mm512_storeu_si512(hi + c, h0);
  }
}

// The same for x * x (yp holding x): twice the products x_i x_(c-i) with 2i < c, then the
// squares on the diagonal. Lanes differ in where their pairs end, so the last few steps of a
// group are masked. The doubled sums keep below 2^63 and 2^59 as each holds half the products.
__attribute__((target("avx512f,avx512ifma"))) void piece_square_columns(
    Word* lo, Word* hi, const Word* x, const Word* yp, std::int64_t n, std::int64_t c0) {
  const Word* y = yp + 8;
  const __m512i lane = _mm512_set_epi64(7, 6, 5, 4, 3, 2, 1, 0);
  for (std::int64_t c = c0; c < 2 * n - 1; c += 8) {
    const std::int64_t i_lo = c - (n - 1) > 0 ? c - (n - 1) : 0;
    // pairs 2i < c + j: i <= (c - 1) / 2 in every lane, up to (c + 6) / 2 in some
    const std::int64_t i_all = c >= 1 ? (c - 1) / 2 : -1;
    const std::int64_t i_end = (c + 6) / 2 < n - 1 ? (c + 6) / 2 : n - 1;
    __m512i l0 = _mm512_setzero_si512(), l1 = l0, l2 = l0, l3 = l0;
    __m512i h0 = l0, h1 = l0, h2 = l0, h3 = l0;
    std::int64_t i = i_lo;
    for (; i + 3 <= i_all; i += 4) {
      const __m512i a0 = _mm512_set1_epi64(static_cast<long long>(x[i]));
      const __m512i a1 = _mm512_set1_epi64(static_cast<long long>(x[i + 1]));
      const __m512i a2 = _mm512_set1_epi64(static_cast<long long>(x[i + 2]));
      const __m512i a3 = _mm512_set1_epi64(static_cast<long long>(x[i + 3]));
      const __m512i b0 = _mm512_loadu_si512(y + c - i), b1 = _mm512_loadu_si512(y + c - i - 1);
      const __m512i b2 = _mm512_loadu_si512(y + c - i - 2);
      const __m512i b3 = _mm512_loadu_si512(y + c - i - 3);
      l0 = _mm512_madd52lo_epu64(l0, a0, b0);
      h0 = _mm512_madd52hi_epu64(h0, a0, b0);
      l1 = _mm512_madd52lo_epu64(l1, a1, b1);
      h1 = _mm512_madd52hi_epu64(h1, a1, b1);
      l2 = _mm512_madd52lo_epu64(l2, a2, b2);
      h2 = _mm512_madd52hi_epu64(h2, a2, b2);
      l3 = _mm512_madd52lo_epu64(l3, a3, b3);
      h3 = _mm512_madd52hi_epu64(h3, a3, b3);
    }
    for (; i <= i_end; ++i) {
      // lanes j with 2i < c + j
      const __mmask8 k = _mm512_cmpgt_epi64_mask(_mm512_add_epi64(lane, _mm512_set1_epi64(c)),
                                                 _mm512_set1_epi64(2 * i));
      const __m512i a0 = _mm512_set1_epi64(static_cast<long long>(x[i]));
      const __m512i b0 = _mm512_loadu_si512(y + c - i);
      l0 = _mm512_mask_madd52lo_epu64(l0, k, a0, b0);
      h0 = _mm512_mask_madd52hi_epu64(h0, k, a0, b0);
    }
    l0 = _mm512_add_epi64(_mm512_add_epi64(l0, l1), _mm512_add_epi64(l2, l3));
    h0 = _mm512_add_epi64(_mm512_add_epi64(h0, h1), _mm512_add_epi64(h2, h3));
    _mm512_storeu_si512(lo + c, _mm512_add_epi64(l0, l0));
    _mm512_storeu_si512(hi + c, _mm512_add_epi64(h0, h0));
  }
  constexpr Word kLow52 = (Word{1} << 52) - 1;
  for (std::int64_t c = c0 + (c0 & 1); c < 2 * n - 1; c += 2) {
    const u128 d = static_cast<u128>(x[c / 2]) * x[c / 2];
    lo[c] += static_cast<Word>(d) & kLow52;
    hi[c] += static_cast<Word>(d >> 52);
  }
}
#else
void piece_columns(Word*, Word*, const Word*, const Word*, std::int64_t, std::int64_t) {}
void piece_square_columns(Word*, Word*, const Word*, const Word*, std::int64_t, std::int64_t) {}
#endif

// v = lo + hi 2^52 (hi < 2^61, so v < 2^113) divided by 10^15: v >> 49 (below 2^64) times
// floor(2^113 / 10^15) (a 64-bit constant), over 2^64, is below v / 10^15 by less than
// 2^49 / 10^15 + 1 < 2, so the quotient estimate is low by at most 2, which two corrections
// mend. v >> 49 is hi 8 + lo >> 49 (the low 52 bits of v are lo's), and the remainder is below
// 3 10^15, so its low word suffices: no double-word shifts.
inline Word div_piece(Word lo, Word hi, Word* rem) {
  constexpr Word kRecip = static_cast<Word>((static_cast<u128>(1) << 113) / kPiece);
  Word q = mul_hi((lo >> 49) + (hi << 3), kRecip);
  Word r = lo + (hi << 52) - q * kPiece;
  const Word c1 = r >= kPiece;
  q += c1;
  r -= kPiece & -c1;
  const Word c2 = r >= kPiece;
  q += c2;
  r -= kPiece & -c2;
  *rem = r;
  return q;
}

// Columns c0 .. m - 1 of a non-negative integer (the lower ones taken as zero) into pieces
// p[c0 .. m + 1). Column c = r + s0 10^15 + s1 10^30 with s1 < 2^13; the carries left are those
// of r_c + s0_(c-1) + s1_(c-2) + carry < 3 10^15, so each is 0, 1 or 2.
void columns_to_pieces(Word* p, const Word* lo, const Word* hi, std::int64_t c0, std::int64_t m) {
  Word s0_prev = 0, s1_prev = 0, s1_prev2 = 0, carry = 0;
  for (std::int64_t c = c0; c < m + 2; ++c) {
    Word r = 0, s0 = 0, s1 = 0;
    if (c < m) {
      const Word q = div_piece(lo[c], hi[c], &r);
      s1 = q / kPiece;
      s0 = q - s1 * kPiece;
    }
    const Word t = r + s0_prev + s1_prev2 + carry;
    carry = static_cast<Word>(t >= kPiece) + static_cast<Word>(t >= 2 * kPiece);
    p[c] = t - carry * kPiece;
    s0_prev = s0;
    s1_prev2 = s1_prev;
    s1_prev = s1;
  }
}

using i128 = __int128;

// Signed 128-bit columns from the scratch block, whose words are only 8-byte aligned.
i128* alloc_i128(std::int64_t count) {
  Word* w = scratch_alloc(static_cast<std::size_t>(2 * count + 1));
  const auto addr = reinterpret_cast<std::uintptr_t>(w);
  return reinterpret_cast<i128*>((addr + 15) & ~static_cast<std::uintptr_t>(15));
}

// Columns 0 .. 2n - 2 of x * y (n pieces each, least significant first) as signed 128-bit
// sums, by the vector columns: lo + hi 2^52 < 2^111.
void piece_leaf(i128* out, const Word* x, const Word* y, std::int64_t n, bool square) {
  ScratchScope scope;
  Word* yp = scratch_alloc(static_cast<std::size_t>(n + 16));
  Word* lo = scratch_alloc(static_cast<std::size_t>(2 * n + 8));
  Word* hi = scratch_alloc(static_cast<std::size_t>(2 * n + 8));
  std::memset(yp, 0, 8 * sizeof(Word));
  std::memcpy(yp + 8, y, static_cast<std::size_t>(n) * sizeof(Word));
  std::memset(yp + 8 + n, 0, 8 * sizeof(Word));
  if (square) {
    piece_square_columns(lo, hi, x, yp, n, 0);
  } else {
    piece_columns(lo, hi, x, yp, n, 0);
  }
  for (std::int64_t c = 0; c < 2 * n - 1; ++c) {
    out[c] = static_cast<i128>(lo[c]) + (static_cast<i128>(hi[c]) << 52);
  }
}

// d = |x - y| in base 10^15, x of h pieces and y of l <= h (least significant first, y's
// missing top pieces zeros); true when x < y.
bool piece_abs_diff(Word* d, const Word* x, std::int64_t h, const Word* y, std::int64_t l) {
  int cmp = 0;
  for (std::int64_t i = h - 1; i >= l && cmp == 0; --i) cmp = x[i] != 0;
  for (std::int64_t i = l - 1; i >= 0 && cmp == 0; --i) {
    if (x[i] != y[i]) cmp = x[i] < y[i] ? -1 : 1;
  }
  const bool neg = cmp < 0;
  Word borrow = 0;
  for (std::int64_t i = 0; i < h; ++i) {
    const Word xi = x[i], yi = i < l ? y[i] : 0;
    const Word u = neg ? yi : xi, v = (neg ? xi : yi) + borrow;
    borrow = u < v;
    d[i] = u - v + (kPiece & -borrow);
  }
  return neg;
}

// Karatsuba on pieces, subtractive as in mul_fast.cpp: x = x0 + x1 D^h with h = ceil(n/2)
// (D = 10^15), x y = z0 + (z0 + z2 -/+ |dx dy|) D^h + z2 D^2h. A column of the result is one
// of z0 or z2 plus one of the middle sum of three, so |column| <= 4 M(h), and with a leaf's
// M(t) < 2^111 and d levels below the top, |column| < 4^d 2^111 < 2^123 for d <= 6: the levels
// are capped at that (kPieceKaratsubaLevels).
void piece_karatsuba(i128* out, const Word* x, const Word* y, std::int64_t n, bool square,
                     int levels) {
  if (levels == 0 || n < g_piece_karatsuba_pieces.load(std::memory_order_relaxed)) {
    piece_leaf(out, x, y, n, square);
    return;
  }
  const std::int64_t h = (n + 1) / 2, l = n - h;
  ScratchScope scope;
  Word* dx = scratch_alloc(static_cast<std::size_t>(h));
  Word* dy = square ? dx : scratch_alloc(static_cast<std::size_t>(h));
  i128* mid = alloc_i128(2 * h - 1);
  bool opposite = piece_abs_diff(dx, x, h, x + h, l);
  opposite = square ? false : opposite != piece_abs_diff(dy, y, h, y + h, l);
  piece_karatsuba(out, x, y, h, square, levels - 1);
  out[2 * h - 1] = 0;
  piece_karatsuba(out + 2 * h, x + h, y + h, l, square, levels - 1);
  piece_karatsuba(mid, dx, dy, h, square, levels - 1);
  const std::int64_t top = 2 * n - 1;
  for (std::int64_t k = 0; k < 2 * h - 1; ++k) {
    i128 m = out[k] + (2 * h + k < top ? out[2 * h + k] : 0);
    mid[k] = opposite ? m + mid[k] : m - mid[k];
  }
  for (std::int64_t k = 0; k < 2 * h - 1; ++k) out[h + k] += mid[k];
}

// Signed columns c = 0 .. m - 1 (|column| < 2^123) of a non-negative integer into pieces
// p[0 .. m + 2). |v| = s1 10^30 + s0 10^15 + r with s1 < 2^24 from a double estimate (mended
// below) and the rest by div_piece; the signed parts add up with the carries in
// t = r_c + s0_(c-1) + s1_(c-2) + carry, |t| < 3 10^15, so carry = floor(t / 10^15) is in
// [-3, 2].
void signed_columns_to_pieces(Word* p, const i128* col, std::int64_t m) {
  constexpr u128 kD2 = static_cast<u128>(kPiece) * kPiece;
  constexpr std::int64_t kD = static_cast<std::int64_t>(kPiece);
  std::int64_t s0_prev = 0, s1_prev = 0, s1_prev2 = 0, carry = 0;
  for (std::int64_t c = 0; c < m + 2; ++c) {
    std::int64_t r = 0, s0 = 0, s1 = 0;
    if (c < m && col[c] >= 0 && col[c] < static_cast<i128>(1) << 113) {
      // the usual case, as in columns_to_pieces: v = lo + hi 2^52 with hi < 2^61
      const u128 v = static_cast<u128>(col[c]);
      Word rem;
      const Word q =
          div_piece(static_cast<Word>(v) & ((Word{1} << 52) - 1), static_cast<Word>(v >> 52), &rem);
      r = static_cast<std::int64_t>(rem);
      s1 = static_cast<std::int64_t>(q / kPiece);
      s0 = static_cast<std::int64_t>(q - static_cast<Word>(s1) * kPiece);
    } else if (c < m) {
      const i128 v = col[c];
      const bool neg = v < 0;
      u128 u = static_cast<u128>(neg ? -v : v);
      Word q1 = static_cast<Word>(static_cast<double>(static_cast<Word>(u >> 64)) *
                                  (18446744073709551616.0 / 1e30));
      // the rounding of the double may put the estimate one above: one below it is never
      // above the quotient and at most two under
      q1 -= q1 > 0;
      u -= static_cast<u128>(q1) * kD2;
      while (u >= kD2) {  // at most twice
        u -= kD2;
        ++q1;
      }
      // div_piece takes lo + hi 2^52
      Word rem;
      const Word qq =
          div_piece(static_cast<Word>(u) & ((Word{1} << 52) - 1), static_cast<Word>(u >> 52), &rem);
      r = static_cast<std::int64_t>(rem);
      s0 = static_cast<std::int64_t>(qq);
      s1 = static_cast<std::int64_t>(q1);
      if (neg) {
        r = -r;
        s0 = -s0;
        s1 = -s1;
      }
    }
    const std::int64_t t = r + s0_prev + s1_prev2 + carry;
    carry = static_cast<std::int64_t>(t >= kD) + static_cast<std::int64_t>(t >= 2 * kD) -
            static_cast<std::int64_t>(t < 0) - static_cast<std::int64_t>(t < -kD) -
            static_cast<std::int64_t>(t < -2 * kD);
    p[c] = static_cast<Word>(t - carry * kD);
    s0_prev = s0;
    s1_prev2 = s1_prev;
    s1_prev = s1;
  }
}

// The columns from `from` on (rounded down to a multiple of 8) of the product of the n-limb
// a and b, carried, as limbs into out[0 .. 2n); the digits below the first column are zero.
void vector_columns(Word* out, const Word* a, const Word* b, std::int64_t n, std::int64_t from) {
  // pieces of whole blocks: the zeros above the top cost a few columns
  const std::int64_t np = 19 * block_count(n);
  ScratchScope scope;
  Word* x = scratch_alloc(static_cast<std::size_t>(np));
  Word* yp = scratch_alloc(static_cast<std::size_t>(np + 16));
  // columns 0 .. 2np - 2 in groups of 8, and room for the pieces' two carries above
  const std::int64_t m = 2 * np - 1, cap = m + 10;
  Word* lo = scratch_alloc(static_cast<std::size_t>(cap));
  Word* hi = scratch_alloc(static_cast<std::size_t>(cap));
  Word* pieces = scratch_alloc(static_cast<std::size_t>(cap));
  limbs_to_pieces(x, a, n);
  std::memset(yp, 0, 8 * sizeof(Word));
  std::memset(yp + 8 + np, 0, 8 * sizeof(Word));
  if (a == b) {
    std::memcpy(yp + 8, x, static_cast<std::size_t>(np) * sizeof(Word));
  } else {
    limbs_to_pieces(yp + 8, b, n);
  }
  const std::int64_t c0 = from / 8 * 8;
  // the pieces above ceil(19n / 15) are zeros: the columns need not read them
  const std::int64_t nx = (19 * n + 14) / 15;
  // squares keep the halved columns: 28.3 against 32.7 us by Karatsuba at 530 limbs, even at 800
  // One level alone does not pay for the signed columns (16.3 against 14.1 us at 265 limbs),
  // two do (45.3 against 48.4 at 530): split from twice the halves' threshold.
  if (c0 == 0 && nx >= 2 * g_piece_karatsuba_pieces.load(std::memory_order_relaxed) && a != b) {
    i128* cols = alloc_i128(2 * nx - 1);
    piece_karatsuba(cols, x, yp + 8, nx, false, kPieceKaratsubaLevels);
    signed_columns_to_pieces(pieces, cols, 2 * nx - 1);
    pieces_to_limbs(out, 2 * n, pieces, 0, 2 * nx + 1);
    return;
  }
  if (a == b) {
    piece_square_columns(lo, hi, x, yp, nx, c0);
  } else {
    piece_columns(lo, hi, x, yp, nx, c0);
  }
  for (std::int64_t c = 2 * nx - 1 > c0 ? 2 * nx - 1 : c0; c < m; ++c) lo[c] = hi[c] = 0;
  columns_to_pieces(pieces, lo, hi, c0, m);
  pieces_to_limbs(out, 2 * n, pieces, c0, m + 2);
}

}  // namespace

bool vector_products_available() {
  return processor_has_vector_products() && g_vector_enabled.load(std::memory_order_relaxed);
}

void set_vector_products(bool on) {
  g_vector_enabled.store(on, std::memory_order_relaxed);
}

void set_vector_karatsuba_pieces(std::int64_t pieces) {
  g_piece_karatsuba_pieces.store(pieces, std::memory_order_relaxed);
}

void vector_product(Word* out, const Word* a, const Word* b, std::int64_t n) {
  vector_columns(out, a, b, n, 0);
}

// Column c of pieces holds at most c + 1 products below 10^30, so dropping the columns below
// f = floor(19 (n - g) / 15) - 1 loses less than 2 f 10^(15 (f - 1) + 30) = 2 f 10^(15 f + 15)
// <= 2 f 10^(19 (n - g)) < 10^(19 (n - g + 2)) = B^(n - g + 2): the bound of limbs_mul_short.
void vector_short_product(Word* out, const Word* a, const Word* b, std::int64_t n, std::int64_t g) {
  const std::int64_t f = 19 * (n - g) / 15 - 1;
  vector_columns(out, a, b, n, f > 0 ? f : 0);
}
