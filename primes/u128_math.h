// Arithmetic on numbers below 2^128 held in unsigned __int128: products to 256 bits, square
// roots, gcd, and Montgomery multiplication modulo an odd n (R = 2^128), the engine of the
// fast exact test and of Pollard-Brent rho; Montgomery64 is the same below 2^64 (R = 2^64),
// several times faster where the factor engine works on 64-bit numbers. Residues in Montgomery
// form stay below n.
#pragma once

#include <cstdint>

#include "integer/biguint.h"

using u128 = unsigned __int128;

inline u128 u128_from_biguint(const BigUInt* x) {  // the low two limbs
  return (static_cast<u128>(x[1]) << 64) | x[0];
}
inline void u128_to_limbs(Word* out, u128 v) {
  out[0] = static_cast<Word>(v);
  out[1] = static_cast<Word>(v >> 64);
}

struct U256 {
  u128 lo;
  u128 hi;
};

inline U256 mul_wide_u128(u128 a, u128 b) {
  const std::uint64_t a0 = static_cast<std::uint64_t>(a), a1 = static_cast<std::uint64_t>(a >> 64);
  const std::uint64_t b0 = static_cast<std::uint64_t>(b), b1 = static_cast<std::uint64_t>(b >> 64);
  const u128 p00 = static_cast<u128>(a0) * b0, p01 = static_cast<u128>(a0) * b1;
  const u128 p10 = static_cast<u128>(a1) * b0, p11 = static_cast<u128>(a1) * b1;
  const u128 mid = (p00 >> 64) + static_cast<std::uint64_t>(p01) + static_cast<std::uint64_t>(p10);
  return {(mid << 64) | static_cast<std::uint64_t>(p00),
          p11 + (p01 >> 64) + (p10 >> 64) + (mid >> 64)};
}

// floor(sqrt(a)).
u128 isqrt_u128(u128 a);
u128 gcd_u128(u128 a, u128 b);

// Montgomery arithmetic modulo an odd n >= 3.
class Montgomery {
 public:
  explicit Montgomery(u128 n);
  u128 modulus() const { return n_; }
  u128 one() const { return one_; }
  u128 minus_one() const { return n_ - one_; }
  u128 to(u128 a) const { return mul(a % n_, r2_); }
  u128 from(u128 a) const { return reduce(a, 0); }
  u128 mul(u128 a, u128 b) const {
    const U256 t = mul_wide_u128(a, b);
    return reduce(t.lo, t.hi);
  }
  u128 add(u128 a, u128 b) const {
    const u128 s = a + b;
    return (s < a || s >= n_) ? s - n_ : s;
  }
  u128 sub(u128 a, u128 b) const { return a >= b ? a - b : a - b + n_; }
  // x / 2 mod n: linear, so it works on Montgomery forms too.
  u128 half(u128 a) const { return (a & 1) ? (a >> 1) + (n_ >> 1) + 1 : a >> 1; }
  u128 pow(u128 base_m, u128 e) const;

 private:
  // (hi * 2^128 + lo) / R mod n for hi < n.
  u128 reduce(u128 lo, u128 hi) const {
    const u128 m = lo * ninv_;
    const U256 mn = mul_wide_u128(m, n_);
    const u128 carry = lo != 0 ? 1 : 0;  // lo + mn.lo is 0 mod 2^128
    u128 r = hi + mn.hi;
    const bool over = r < hi;
    const u128 r2 = r + carry;
    const bool over2 = over || r2 < r;
    return (over2 || r2 >= n_) ? r2 - n_ : r2;
  }
  u128 n_;
  u128 ninv_;  // -n^-1 mod 2^128
  u128 one_;   // R mod n
  u128 r2_;    // R^2 mod n
};

// Montgomery arithmetic modulo an odd n >= 3 below 2^64, with the interface of Montgomery.
class Montgomery64 {
 public:
  explicit Montgomery64(std::uint64_t n) : n_(n) {
    std::uint64_t x = n;
    for (int i = 0; i < 6; ++i) x *= 2 - n * x;
    ninv_ = 0 - x;
    one_ = static_cast<std::uint64_t>((static_cast<u128>(1) << 64) % n);
    r2_ = static_cast<std::uint64_t>(static_cast<u128>(one_) * one_ % n);
  }
  std::uint64_t modulus() const { return n_; }
  std::uint64_t one() const { return one_; }
  std::uint64_t to(std::uint64_t a) const { return mul(a % n_, r2_); }
  std::uint64_t from(std::uint64_t a) const { return reduce(a); }
  std::uint64_t mul(std::uint64_t a, std::uint64_t b) const {
    return reduce(static_cast<u128>(a) * b);
  }
  std::uint64_t add(std::uint64_t a, std::uint64_t b) const {
    const std::uint64_t s = a + b;
    return (s < a || s >= n_) ? s - n_ : s;
  }
  std::uint64_t sub(std::uint64_t a, std::uint64_t b) const { return a >= b ? a - b : a - b + n_; }

 private:
  std::uint64_t reduce(u128 t) const {
    const std::uint64_t m = static_cast<std::uint64_t>(t) * ninv_;
    // t + m n is 0 mod 2^64; its high half may reach 2n, so it is summed in 128 bits.
    const u128 s = (t >> 64) + ((static_cast<u128>(m) * n_) >> 64) +
                   (static_cast<std::uint64_t>(t) != 0 ? 1 : 0);
    return static_cast<std::uint64_t>(s >= n_ ? s - n_ : s);
  }
  std::uint64_t n_;
  std::uint64_t ninv_;
  std::uint64_t one_;
  std::uint64_t r2_;
};
