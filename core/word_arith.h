// Machine-word helpers shared by the decimal core and the integer arithmetic: powers of ten,
// decimal digit counts, the ReciprocalTable and division of words and double words by
// reciprocal multiplication (no hardware division in inner loops).
#pragma once

#include <array>
#include <bit>
#include <cstdint>

using u128 = unsigned __int128;

inline constexpr std::uint64_t kPow10[20] = {1ULL,
                                             10ULL,
                                             100ULL,
                                             1000ULL,
                                             10000ULL,
                                             100000ULL,
                                             1000000ULL,
                                             10000000ULL,
                                             100000000ULL,
                                             1000000000ULL,
                                             10000000000ULL,
                                             100000000000ULL,
                                             1000000000000ULL,
                                             10000000000000ULL,
                                             100000000000000ULL,
                                             1000000000000000ULL,
                                             10000000000000000ULL,
                                             100000000000000000ULL,
                                             1000000000000000000ULL,
                                             10000000000000000000ULL};

// Number of decimal digits of a non-zero word: the bit length gives t = digits of 2^(b-1);
// the word has t digits, or t + 1 when it is >= 10^t.
inline constexpr std::uint8_t kDigitsOfBitLength[64] = {
    1,  1,  1,  1,  2,  2,  2,  3,  3,  3,  4,  4,  4,  4,  5,  5,  5,  6,  6,  6,  7,  7,
    7,  7,  8,  8,  8,  9,  9,  9,  10, 10, 10, 10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 13,
    14, 14, 14, 15, 15, 15, 16, 16, 16, 16, 17, 17, 17, 18, 18, 18, 19, 19, 19, 19};

inline int digit_count(std::uint64_t v) {
  if (v == 0) return 1;
  int t = kDigitsOfBitLength[63 - std::countl_zero(v)];
  return (t < 20 && v >= kPow10[t]) ? t + 1 : t;
}

inline std::uint64_t mul_hi(std::uint64_t a, std::uint64_t b) {
  return static_cast<std::uint64_t>((static_cast<u128>(a) * b) >> 64);
}

// Normalised reciprocal of d >= 1: floor(2^(64+s) / d) with s = floor(log2 d); 2^63 for powers
// of two. Together with s it divides any double word below d * 2^64 (div_wide).
constexpr std::uint64_t reciprocal_of(std::uint64_t d) {
  if ((d & (d - 1)) == 0) return 0x8000000000000000ULL;
  int s = 63 - std::countl_zero(d);
  u128 num = static_cast<u128>(1) << (64 + s);
  return static_cast<std::uint64_t>(num / d);
}

inline constexpr int kReciprocalTableSize = 2001;
// ReciprocalTable[d] = reciprocal_of(d) for d = 1..2000; entry 0 is 0.
extern const std::array<std::uint64_t, kReciprocalTableSize> ReciprocalTable;

// Reciprocals of 10^d, d = 0..19, with the same rule.
extern const std::uint64_t kPow10Reciprocal[20];

// Quotient of hi:lo by d (requires hi < d, so the quotient fits a word); remainder in *rem.
// recip must be reciprocal_of(d).
inline std::uint64_t div_wide(std::uint64_t hi, std::uint64_t lo, std::uint64_t d,
                              std::uint64_t recip, std::uint64_t* rem) {
  const int s = 63 - std::countl_zero(d);
  const u128 n = (static_cast<u128>(hi) << 64) | lo;
  // Estimate from the top bits: (n >> s) < 2^65, times recip, over 2^64. Low by at most 3.
  const u128 ns = n >> s;
  const std::uint64_t nhi = static_cast<std::uint64_t>(ns >> 64);  // 0 or 1
  std::uint64_t q = mul_hi(static_cast<std::uint64_t>(ns), recip);
  if (recip == 0x8000000000000000ULL && (d & (d - 1)) == 0) {
    // d = 2^s: the quotient is exact
    q = static_cast<std::uint64_t>(n >> s);
    *rem = lo & (d - 1);
    return q;
  }
  if (nhi) q += recip;
  u128 r = n - static_cast<u128>(q) * d;
  while (r >= d) {
    r -= d;
    ++q;
  }
  *rem = static_cast<std::uint64_t>(r);
  return q;
}

// Single-word division by a small divisor with its reciprocal.
inline std::uint64_t div_word(std::uint64_t v, std::uint64_t d, std::uint64_t recip,
                              std::uint64_t* rem) {
  return div_wide(0, v, d, recip, rem);
}

// Division of a double word by 10^19 (hi < 10^19). 10^19 has its top bit set, so the
// Moller-Granlund 2-by-1 step with a precomputed inverse applies directly.
inline constexpr std::uint64_t kLimbBaseInverse = static_cast<std::uint64_t>(
    (~static_cast<u128>(0)) / 10000000000000000000ULL - (static_cast<u128>(1) << 64));

inline std::uint64_t div_limb_base(std::uint64_t hi, std::uint64_t lo, std::uint64_t* rem) {
  constexpr std::uint64_t d = 10000000000000000000ULL;
  u128 q = static_cast<u128>(kLimbBaseInverse) * hi;
  q += (static_cast<u128>(hi + 1) << 64) | lo;
  std::uint64_t q1 = static_cast<std::uint64_t>(q >> 64);
  const std::uint64_t q0 = static_cast<std::uint64_t>(q);
  std::uint64_t r = lo - q1 * d;
  if (r > q0) {
    --q1;
    r += d;
  }
  if (r >= d) {
    ++q1;
    r -= d;
  }
  *rem = r;
  return q1;
}

inline std::uint64_t div_limb_base(u128 v, std::uint64_t* rem) {
  return div_limb_base(static_cast<std::uint64_t>(v >> 64), static_cast<std::uint64_t>(v), rem);
}

// Quotient and remainder of a word by 10^d, 0 <= d <= 19.
inline std::uint64_t div_pow10(std::uint64_t v, int d, std::uint64_t* rem) {
  if (d == 0) {
    *rem = 0;
    return v;
  }
  const std::uint64_t p = kPow10[d];
  std::uint64_t q = mul_hi(v, kPow10Reciprocal[d]) >> (63 - std::countl_zero(p));
  std::uint64_t r = v - q * p;
  while (r >= p) {
    r -= p;
    ++q;
  }
  *rem = r;
  return q;
}
