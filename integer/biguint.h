// BigUInt: the unsigned binary big integer, its process-wide size and its arithmetic.
//
// A BigUInt is N = BigUIntLimbs 64-bit limbs owned by the caller, least significant first, every
// limb stored (no length, no sign); zero is all limbs 0. N is read at the time of each call and
// BigUIntDigits always matches it (set both with biguint_set_limbs or biguint_set_digits).
//
// Status discipline: failures set MathStatus (first error wins) and write the result zero unless
// a function says otherwise. Functions marked "saves status" additionally tell their own failure
// from an earlier one: they run as if the status were clear and put an earlier status back on
// return, so the earlier code still wins. Statuses used: 100 invalid setting or argument, 200
// overflow (including a negative difference), 202 division by zero, 203 undefined argument, 207
// stopped through cancel_flag, 400 an exact division that left a remainder.
//
// Every result may be the same array as any operand. Temporaries come from the scratch stack;
// nothing here allocates from the heap. Invalid BigUIntLimbs (outside 1..2000) makes every
// operation set status 100 and leave its outputs alone.
#pragma once

#include <cstdint>

#include "core/decfloat.h"

using BigUInt = Word;  // BigUInt* points at limb 0 of N limbs

inline constexpr std::int64_t kMaxBigUIntLimbs = 2000;
inline constexpr std::uint64_t kMaxBigUIntDigits = 38531;  // the largest d that gives N <= 2000

// BigUIntLimbs (N, 1..2000) and BigUIntDigits (the decimal digits reported for N) are part of
// each thread's context (core/decfloat.h).

// floor(N * 64 * log10(2)), in the fixed-point form all callers share (N = 2 gives 38).
constexpr std::uint64_t biguint_digits_of_limbs(std::int64_t limbs) {
  return static_cast<std::uint64_t>((static_cast<unsigned __int128>(limbs) * 2585827973ULL) >> 27);
}
// floor(d * log2(10) / 64) + 1 (d = 20000 gives 1039).
constexpr std::int64_t biguint_limbs_of_digits(std::uint64_t digits) {
  return static_cast<std::int64_t>((static_cast<unsigned __int128>(digits) * 891723283ULL) >> 34) +
         1;
}
// Set N and BigUIntDigits together. Out of range (N outside 1..2000, d = 0 or above 38531):
// status 100, both settings unchanged.
void biguint_set_limbs(std::int64_t limbs);
void biguint_set_digits(std::uint64_t digits);

// --- plain access (no status but 100 for an invalid N) -------------------------------------
void biguint_zero(BigUInt* r);
void biguint_copy(BigUInt* r, const BigUInt* a);
void biguint_set_u64(BigUInt* r, std::uint64_t v);
bool biguint_is_zero(const BigUInt* a);
int biguint_compare(const BigUInt* a, const BigUInt* b);  // -1, 0, 1
std::int64_t biguint_bit_length(const BigUInt* a);
std::int64_t biguint_significant_limbs(const BigUInt* a);

// --- sums and differences -------------------------------------------------------------------
// dst (dst_limbs) = src (src_limbs) zero-extended; arrays may overlap. A limb count of 0 or
// less: status 100, nothing written. A nonzero src limb at index dst_limbs or above: dst = 0,
// status 200.
void biguint_resize(BigUInt* dst, std::int64_t dst_limbs, const BigUInt* src,
                    std::int64_t src_limbs);
void biguint_add(BigUInt* r, const BigUInt* a, const BigUInt* b);     // carry out: 200
void biguint_add_u64(BigUInt* r, const BigUInt* a, std::uint64_t k);  // carry out: 200
void biguint_sub(BigUInt* r, const BigUInt* a, const BigUInt* b);     // b > a: 200
void biguint_decrement(BigUInt* r, const BigUInt* a);                 // a = 0: 200

// --- products ---------------------------------------------------------------------------------
// Overflow is found from the significant lengths before multiplying where possible.
void biguint_mul(BigUInt* r, const BigUInt* a, const BigUInt* b);        // overflow: 200
void biguint_mul_wide(BigUInt* r2, const BigUInt* a, const BigUInt* b);  // r2 has 2N limbs
void biguint_mul_u64(BigUInt* r, const BigUInt* a, std::uint64_t k);     // overflow: 200

// --- division -------------------------------------------------------------------------------
// q = floor(a / b), r = a mod b; q and r may be null. b = 0: status 202, q = r = 0.
void biguint_divmod(BigUInt* q, BigUInt* r, const BigUInt* a, const BigUInt* b);
// Division by one limb through its normalised reciprocal floor(2^(64+k) / d), k = floor(log2 d):
// recip 0 takes it from the ReciprocalTable (d <= 2000) or computes it; a caller's value that
// does not belong to d is recomputed. q and rem may be null. d = 0: status 202, q = 0, rem = 0.
void biguint_divmod_u64(BigUInt* q, std::uint64_t* rem, const BigUInt* a, std::uint64_t d,
                        std::uint64_t recip);
// q = floor(a / b); true when the division leaves no remainder (false for b = 0, status 202).
bool biguint_div_exact(BigUInt* q, const BigUInt* a, const BigUInt* b);

// --- powers, roots, logarithms ---------------------------------------------------------------
bool biguint_isqrt(BigUInt* r, const BigUInt* a);  // true: a is a perfect square. Saves status.
// e not below 2^63 in limb 0: r = a when a is 0 or 1, else r = 0 and 200. 0^0 = 1. Saves status.
void biguint_pow(BigUInt* r, const BigUInt* a, const BigUInt* e);
void biguint_pow_i64(BigUInt* r, const BigUInt* a, std::int64_t e);  // e < 0: 203. Saves status.
// r = floor(a^(1/k)); true when exact. k = 0: 203. Saves status.
bool biguint_root(BigUInt* r, const BigUInt* k, const BigUInt* a);
bool biguint_root_i64(BigUInt* r, std::int64_t k, const BigUInt* a);  // k <= 0: 203. Saves status.
void biguint_pow2(BigUInt* r, const BigUInt* e);                      // e >= 64N: 200
void biguint_pow2_i64(BigUInt* r, std::int64_t e);                    // e < 0: 203; e >= 64N: 200
void biguint_pow10(BigUInt* r, const BigUInt* e);    // overflow: 200. Saves status.
void biguint_pow10_i64(BigUInt* r, std::int64_t e);  // e < 0: 203. Saves status.
// r = floor(log_base(a)); true when a is a power of base. a = 0 or base < 2: r = 0, 200.
bool biguint_log(BigUInt* r, const BigUInt* base, const BigUInt* a);
bool biguint_log2(BigUInt* r, const BigUInt* a);  // bit length - 1; true for a power of two
bool biguint_log10(BigUInt* r, const BigUInt* a);

// --- combinatorics, divisors, shifts ---------------------------------------------------------
void biguint_factorial(BigUInt* r, const BigUInt* n);  // n >= 2^64 or overflow: 200. Saves status.
// C(n, k), or n! / (n - k)! with permutations. n < k gives 0 without error; a count of factors
// of 2^64 or more gives 203; polls cancel_flag (207). Overflow (200) is reported only when the
// result itself needs more than N limbs. Saves status.
void biguint_binomial(BigUInt* r, const BigUInt* n, const BigUInt* k, bool permutations);
void biguint_gcd(BigUInt* r, const BigUInt* a, const BigUInt* b);  // a or b zero: 203
void biguint_lcm(BigUInt* r, const BigUInt* a, const BigUInt* b);  // zero: 203, overflow: 200
// s = 0: r = a; 1..64: r = a >> s with the lost low bits in *lost; s > 64: r = 0, 203.
void biguint_shr_small(BigUInt* r, std::uint64_t* lost, const BigUInt* a, std::uint64_t s);
void biguint_shr(BigUInt* r, const BigUInt* a, std::int64_t s);  // s < 0: 203
// 1 <= s <= 63: r = a << s (with check, bits shifted out of the top: r = 0, 200); else 203.
void biguint_shl_small(BigUInt* r, const BigUInt* a, std::int64_t s, bool check);
// r = base^e mod m. m = 0: 202. Polls cancel_flag once per exponent bit (207). Saves status.
void biguint_powmod(BigUInt* r, const BigUInt* base, const BigUInt* e, const BigUInt* m);
