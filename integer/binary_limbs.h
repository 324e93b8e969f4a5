// Kernels on binary limb ranges of explicit length, least significant limb first: carries,
// products, shifts and division. They know nothing of BigUIntLimbs or MathStatus; the BigUInt
// operations pass lengths, read the returned carries and decide what is an error.
//
// Invariants: a length is the number of limbs a range holds (0 allowed where stated); a
// "significant" length has a nonzero top limb. Unless a function says otherwise, the result may
// be the very same array as an operand but must not overlap it partially. Temporaries come from
// the scratch stack and are released before return; no function touches the heap.
#pragma once

#include <bit>
#include <cstdint>

#include "core/word_arith.h"

namespace binary_limbs {

using Limb = std::uint64_t;
using Len = std::int64_t;

// --- lengths, comparison, copies ------------------------------------------------------------
inline Len significant(const Limb* a, Len n) {
  while (n > 0 && a[n - 1] == 0) --n;
  return n;
}
inline std::int64_t bit_length(const Limb* a, Len n) {
  n = significant(a, n);
  return n == 0 ? 0 : 64 * (n - 1) + (64 - std::countl_zero(a[n - 1]));
}
inline int compare_n(const Limb* a, const Limb* b, Len n) {
  for (Len i = n - 1; i >= 0; --i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}
// Both lengths significant.
inline int compare(const Limb* a, Len na, const Limb* b, Len nb) {
  if (na != nb) return na < nb ? -1 : 1;
  return compare_n(a, b, na);
}
void copy(Limb* r, const Limb* a, Len n);  // memmove semantics
void zero(Limb* r, Len n);

// --- addition and subtraction (return the carry / borrow out of the top) ---------------------
Limb add_n(Limb* r, const Limb* a, const Limb* b, Len n);
Limb sub_n(Limb* r, const Limb* a, const Limb* b, Len n);
Limb add_1(Limb* r, const Limb* a, Len n, Limb k);
Limb sub_1(Limb* r, const Limb* a, Len n, Limb k);
// r (na limbs) = a (na limbs) +/- b (nb <= na limbs).
Limb add(Limb* r, const Limb* a, Len na, const Limb* b, Len nb);
Limb sub(Limb* r, const Limb* a, Len na, const Limb* b, Len nb);

// --- products by one limb (return the high limb) ---------------------------------------------
Limb mul_1(Limb* r, const Limb* a, Len n, Limb k);
Limb addmul_1(Limb* r, const Limb* a, Len n, Limb k);  // r += a * k
Limb submul_1(Limb* r, const Limb* a, Len n, Limb k);  // r -= a * k, returns the borrow limb

// --- full products: r must not overlap a or b ------------------------------------------------
// r (na + nb limbs) = a * b, na >= nb >= 1.
void mul(Limb* r, const Limb* a, Len na, const Limb* b, Len nb);
// r (2n limbs) = a * a, n >= 1.
void sqr(Limb* r, const Limb* a, Len n);
void mul_basecase(Limb* r, const Limb* a, Len na, const Limb* b, Len nb);
void sqr_basecase(Limb* r, const Limb* a, Len n);
// Balanced sizes at or above this use Karatsuba's split.
inline constexpr Len kKaratsubaThreshold = 40;
inline constexpr Len kKaratsubaSqrThreshold = 64;

// Montgomery reduction for an odd modulus m of n limbs: r (n limbs) = t * 2^(-64n) mod m for t
// (2n limbs) below m * 2^(64n); minv = montgomery_inverse(m[0]), q is n limbs of work space.
Limb montgomery_inverse(Limb m0);  // -1/m0 mod 2^64
void redc(Limb* r, const Limb* t, const Limb* m, Len n, Limb minv, Limb* q);

// --- shifts by 1..63 bits (return the bits shifted out, aligned at their old place) -----------
Limb lshift(Limb* r, const Limb* a, Len n, unsigned s);  // returns a[n-1] >> (64 - s)
Limb rshift(Limb* r, const Limb* a, Len n, unsigned s);  // returns a[0] << (64 - s)

// --- division -------------------------------------------------------------------------------
// Inverse of a normalised divisor d (top bit set): floor((2^128 - 1) / d) - 2^64. Used by the
// two-by-one step below, which needs no hardware division.
Limb invert_limb(Limb d);

// (u1:u0) / d for normalised d with u1 < d; inv = invert_limb(d).
inline Limb div_2by1(Limb u1, Limb u0, Limb d, Limb inv, Limb* rem) {
  u128 q = static_cast<u128>(inv) * u1;
  q += (static_cast<u128>(u1 + 1) << 64) | u0;
  Limb q1 = static_cast<Limb>(q >> 64);
  const Limb q0 = static_cast<Limb>(q);
  Limb r = u0 - q1 * d;
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

// A one-limb divisor prepared for repeated division: d = norm >> shift.
struct Divisor1 {
  Limb d = 0;
  Limb norm = 0;  // d << shift, top bit set
  Limb inv = 0;   // invert_limb(norm)
  unsigned shift = 0;
};
// From the normalised reciprocal floor(2^(64+k) / d), k = floor(log2 d) (2^63 for a power of
// two), as the ReciprocalTable holds it. A recip of 0 or one that does not match d is computed.
Divisor1 prepare_divisor(Limb d, Limb recip);
// q (n limbs, may be a or null) = a / d; returns a mod d. n may be 0.
Limb divrem_1(Limb* q, const Limb* a, Len n, const Divisor1& d);

// Knuth's long division with a normalised divisor. a has na limbs, b nb significant limbs,
// na >= nb >= 2. q (na - nb + 1 limbs, or null) and r (nb limbs, or null) may alias a or b.
void divrem(Limb* q, Limb* r, const Limb* a, Len na, const Limb* b, Len nb);

// A multi-limb modulus prepared for repeated reduction of values of up to 2 * n limbs.
struct Modulus {
  const Limb* norm = nullptr;  // the modulus shifted left by `shift` bits (n limbs, scratch)
  Len n = 0;
  unsigned shift = 0;
  Limb inv = 0;  // invert_limb(norm[n - 1])
};
// Takes its normalised copy from the scratch stack (released with the caller's mark).
Modulus prepare_modulus(const Limb* m, Len n);
// r (mod.n limbs) = a mod m for a of na <= 2 * mod.n limbs; a is destroyed (used as work area
// and must have na + 1 limbs of room).
void reduce(Limb* r, Limb* a, Len na, const Modulus& mod);

}  // namespace binary_limbs
