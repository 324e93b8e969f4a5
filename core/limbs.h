// Limb-array helpers of the decimal core (internal). Arrays are most significant limb first,
// base 10^19. "Left-aligned" means the first limb holds 19 digits (leading zeros count as
// digits), so digit i of the array is digit i of the number.
#pragma once

#include <cstdint>

#include "core/decfloat.h"
#include "core/word_arith.h"

// Shifts len limbs right by d decimal places in place (zeros come in at the top). Returns the
// first 19 digits shifted out as a round_limb; *sticky (if given) is set when any digit beyond
// those was non-zero.
Word limbs_shift_right(Word* a, std::int64_t len, std::int64_t d, bool* sticky);

// Shifts len limbs left by d decimal places in place, taking the digits that come in from the
// top digits of `in` (a round_limb, may be 0). Digits leaving the top are dropped.
void limbs_shift_left(Word* a, std::int64_t len, std::int64_t d, Word in);

// Writes nd limbs with kd digits in the top limb from the left-aligned digit string `src` (its
// limbs beyond avail are zeros), and returns the next 19 digits as a round_limb.
Word extract_digits(Word* dst, std::int64_t nd, std::int64_t kd, const Word* src,
                    std::int64_t avail);

// Left-aligns a mantissa of ns limbs with ks top digits into ns limbs.
void align_left(Word* dst, const Word* src, std::int64_t ns, std::int64_t ks);

// Index of the first non-zero limb, or len when all are zero.
inline std::int64_t first_nonzero(const Word* a, std::int64_t len) {
  std::int64_t i = 0;
  while (i < len && a[i] == 0) ++i;
  return i;
}

// Takes the P most significant digits of the integer in src[0..len) (most significant first)
// into the mantissa of dst (n limbs, k top digits) and returns the round_limb. Returns the
// number of decimal digits of the integer in *digits (0 for zero; dst is then left as is).
Word take_leading_digits(DecFloat* dst, const Word* src, std::int64_t len, std::int64_t* digits);

// The product of two n-limb integers into out[0 .. 2n), columns from low_col (counted from the
// least significant, 0) up; lower columns are skipped (0 gives the exact product).
void product_columns(Word* out, const Word* a, const Word* b, std::int64_t n, std::int64_t low_col);

// The same for a * a, each cross product summed once.
void square_columns(Word* out, const Word* a, std::int64_t n, std::int64_t low_col);

// The exact product of two n-limb integers into out[0 .. 2n) by Karatsuba's method from
// kKaratsubaLimbs limbs on (kKaratsubaSquareLimbs for a square, a == b); below, by columns.
inline constexpr std::int64_t kKaratsubaLimbs = 40;
inline constexpr std::int64_t kKaratsubaSquareLimbs = 48;
void limbs_mul(Word* out, const Word* a, const Word* b, std::int64_t n);
// The same with the threshold given (the tests force the recursion down to small sizes).
void limbs_mul_karatsuba(Word* out, const Word* a, const Word* b, std::int64_t n,
                         std::int64_t threshold);

// A short product of two n-limb integers into out[0 .. 2n): a value V <= the exact product P
// with P - V < B^(n - g + 2) (B = 10^19). By words, V is between P and the sum of the limb
// products a_i b_j with i + j >= n - g (i, j counted from the least significant limb), as
// product_columns from column n - g gives the latter, which is less than that below P. From
// `threshold` limbs on, the top (100 - kShortSplitPercent)% of the limbs are multiplied in full by
// Karatsuba and the rest by two short products of the remaining size (the square's path when
// a == b).
// Products on the vector path (mul_vector.cpp) when the processor has it: the exact product
// from kVectorLimbs limbs (kVectorSquareLimbs for a square) and dec_mul's short product with
// the bound of limbs_mul_short from kVectorShortLimbs (kVectorShortSquareLimbs), up to
// kVectorMaxLimbs (the lanes' sums are sized for 1,616; Karatsuba by words comes close at
// 1,060: 206 against 180 us). Measured against the word products: 1,328 against 1,610 ns at
// 40 limbs, 1,080 against 1,252 for a short product of 55, 1,730 against 2,289 for a short
// square of 100. The switch turns the path off for the tests and benchmarks of the words.
inline constexpr std::int64_t kVectorLimbs = 32;
inline constexpr std::int64_t kVectorSquareLimbs = 48;
inline constexpr std::int64_t kVectorShortLimbs = 48;
inline constexpr std::int64_t kVectorShortSquareLimbs = 96;
inline constexpr std::int64_t kVectorMaxLimbs = 1200;
bool vector_products_available();
void set_vector_products(bool on);
// The vector path's exact products (not squares) split by Karatsuba on the pieces of 15 digits
// from twice this many pieces, and split the halves again down to this many. Measured: 45.3
// against 48.4 us at 530 limbs (672 pieces), 80 against 103 at 800, 123 against 174 at 1,060.
// The tests force the recursion down to small sizes.
inline constexpr std::int64_t kVectorKaratsubaPieces = 200;
void set_vector_karatsuba_pieces(std::int64_t pieces);
void vector_product(Word* out, const Word* a, const Word* b, std::int64_t n);
void vector_short_product(Word* out, const Word* a, const Word* b, std::int64_t n, std::int64_t g);
inline bool use_vector_product(std::int64_t n, bool square) {
  return n >= (square ? kVectorSquareLimbs : kVectorLimbs) && n <= kVectorMaxLimbs &&
         vector_products_available();
}
inline bool use_vector_short_product(std::int64_t n, bool square) {
  return n >= (square ? kVectorShortSquareLimbs : kVectorShortLimbs) && n <= kVectorMaxLimbs &&
         vector_products_available();
}

// Measured by words: 18.9 against 25.0 us at 265 limbs, even at 133; squares 41.8 against
// 57.3 at 530 but 17.1 against 14.9 at 265.
inline constexpr std::int64_t kShortSplitPercent = 30;
inline constexpr std::int64_t kShortProductLimbs = 140;
inline constexpr std::int64_t kShortSquareLimbs = 360;
void limbs_mul_short(Word* out, const Word* a, const Word* b, std::int64_t n, std::int64_t g,
                     std::int64_t threshold);

// 1/v for a positive normal v at the current precision, within 10^-(P-4) relatively, by
// Newton's iteration at doubling precision from a long-division seed.
void dec_reciprocal_estimate(DecFloat* r, const DecFloat* v);
// The correction step of the Newton iterations: x += f t (halved when `halve`) at the current
// precision, the product taken at wp digits, as the correction needs no more; f has wf digits,
// t (a record at the current precision) is overwritten.
void add_correction(DecFloat* x, const DecFloat* f, std::int64_t wf, DecFloat* t, std::int64_t wp,
                    bool halve);
// Up to this many digits the reciprocal is a long division; beyond, its iteration starts from one
// (measured with the vector products, seeds of 760, 380 and 14 digits: 5.5, 5.1 and 5.6 us for a
// quotient of 1,000 digits, 12.7, 11.4 and 11.3 at 2,000, 78, 76 and 77 at 10,005).
inline constexpr std::int64_t kReciprocalSeedDigits = 19 * 20;
// From kNewtonDivLimbs limbs on (measured: 3.8 against 4.5 us at 760 digits, 2.7 against 2.7
// at 570, 6.1 against 8.2 at 1,000), dec_div's quotient comes from the reciprocal, checked
// exactly when it lies next to a place where the truncation changes; the mantissa and round
// limb written are those of the long division (normal operands; the caller sets the header from
// *digits). False when the check could not settle the quotient (then nothing is written and the
// long division decides).
inline constexpr std::int64_t kNewtonDivLimbs = 35;
bool dec_div_newton(DecFloat* dst, const DecFloat* a, const DecFloat* b, Word* rl,
                    std::int64_t* digits);

// q[0 .. ulen - vlen] = floor(u / v) and, when rem is given, rem[0 .. vlen) = u mod v; u is
// overwritten. v[0] != 0 and ulen >= vlen.
void limbs_divide(Word* q, Word* u, std::int64_t ulen, const Word* v, std::int64_t vlen,
                  Word* rem = nullptr);

// Compares two limb arrays of equal length as integers.
inline int limbs_compare(const Word* a, const Word* b, std::int64_t len) {
  for (std::int64_t i = 0; i < len; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

// x + y + *carry in base 10^19 with the carry out in *carry. Two limbs can pass 2^64, so the
// wrap-around counts as a carry too (and the subtraction below is then exact modulo 2^64).
inline Word limb_add(Word x, Word y, Word* carry) {
  const Word t = x + *carry;
  const Word s = t + y;
  *carry = (s < t || s >= kLimbBase) ? 1 : 0;
  return *carry ? s - kLimbBase : s;
}

// a += b (len limbs), returns the carry out of the top.
inline Word limbs_add(Word* a, const Word* b, std::int64_t len) {
  Word carry = 0;
  for (std::int64_t i = len - 1; i >= 0; --i) a[i] = limb_add(a[i], b[i], &carry);
  return carry;
}

// a -= b (len limbs), returns the borrow out of the top.
inline Word limbs_sub(Word* a, const Word* b, std::int64_t len) {
  Word borrow = 0;
  for (std::int64_t i = len - 1; i >= 0; --i) {
    Word s = b[i] + borrow;
    borrow = a[i] < s;
    a[i] = borrow ? a[i] + kLimbBase - s : a[i] - s;
  }
  return borrow;
}

// The same for y of ylen <= len limbs aligned at the least significant end of x: x += y returns
// the carry out of the top; x -= y needs x >= y; the comparison is -1, 0 or 1.
inline Word limbs_add_aligned(Word* x, std::int64_t len, const Word* y, std::int64_t ylen) {
  Word carry = limbs_add(x + (len - ylen), y, ylen);
  for (std::int64_t i = len - ylen - 1; carry && i >= 0; --i) x[i] = limb_add(x[i], 0, &carry);
  return carry;
}
inline void limbs_sub_aligned(Word* x, std::int64_t len, const Word* y, std::int64_t ylen) {
  Word borrow = limbs_sub(x + (len - ylen), y, ylen);
  for (std::int64_t i = len - ylen - 1; borrow && i >= 0; --i) {
    borrow = x[i] == 0;
    x[i] = borrow ? kLimbBase - 1 : x[i] - 1;
  }
}
inline int limbs_compare_aligned(const Word* x, std::int64_t len, const Word* y,
                                 std::int64_t ylen) {
  for (std::int64_t i = 0; i < len - ylen; ++i) {
    if (x[i] != 0) return 1;
  }
  return limbs_compare(x + (len - ylen), y, ylen);
}

// a = a * m + carry_in over len limbs; returns the carry out (< 10^19 when m < 10^19).
inline Word limbs_mul_word(Word* a, std::int64_t len, Word m, Word carry) {
  for (std::int64_t i = len - 1; i >= 0; --i) {
    u128 p = static_cast<u128>(a[i]) * m + carry;
    Word r;
    carry = div_limb_base(p, &r);
    a[i] = r;
  }
  return carry;
}

// Place of mantissa digit i (0 = the leading digit): its limb (0 = the top limb) and the number
// of digits after it within that limb.
struct DigitPlace {
  std::int64_t limb;
  int below;
};
inline DigitPlace digit_place(std::int64_t i) {
  const std::int64_t k = g_arith.top_digits;
  if (i < k) return {0, static_cast<int>(k - 1 - i)};
  return {1 + (i - k) / 19, static_cast<int>(18 - (i - k) % 19)};
}

// The decimal digit of mantissa limbs m at position i.
inline int mantissa_digit(const Word* m, std::int64_t i) {
  const DigitPlace d = digit_place(i);
  Word r;
  const Word q = div_pow10(m[d.limb], d.below, &r);
  div_pow10(q, 1, &r);
  return static_cast<int>(r);
}

inline Word* dec_limbs(DecFloat* x) {
  return x + 1;
}
inline const Word* dec_limbs(const DecFloat* x) {
  return x + 1;
}
