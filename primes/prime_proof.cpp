// The exact test below 2^128. Below 3317044064679887385961981 the strong tests to the first 13
// prime bases decide (no composite below that bound passes all 13). Above it Baillie-PSW finds
// the composites, and a probable prime n is proven from a factored part F of n - 1: when, for
// each prime q of F, some a has a^(n-1) = 1 and gcd(a^((n-1)/q) - 1, n) = 1, every prime factor
// of n is 1 mod F (Pocklington). F > sqrt(n) then leaves no room for a factor; F >= n^(1/3)
// leaves room for at most two, n = (aF + 1)(bF + 1), which the Brillhart-Lehmer-Selfridge
// test rules out: writing n = c2 F^2 + c1 F + 1 with c1, c2 < F, n is prime exactly when
// c1^2 - 4 c2 is not a square. The primes of F are found by trial division and the factor
// engine (rho, then the quadratic sieve for cofactors rho cannot split) and proven the same way.
#include <algorithm>
#include <vector>

#include "primes/factor_engine.h"
#include "primes/prime_tables.h"
#include "primes/prime_test.h"

namespace {

constexpr u128 kMillerRabinBound =
    static_cast<u128>(3317044064679ULL) * 1000000000000ULL + 887385961981ULL;
constexpr std::uint64_t kBases[13] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37, 41};

// Jacobi symbol (a/n) for odd n.
int jacobi_u128(u128 a, u128 n) {
  a %= n;
  int result = 1;
  while (a != 0) {
    while ((a & 1) == 0) {
      a >>= 1;
      const unsigned r = static_cast<unsigned>(n & 7);
      if (r == 3 || r == 5) result = -result;
    }
    std::swap(a, n);
    if ((a & 3) == 3 && (n & 3) == 3) result = -result;
    a %= n;
  }
  return n == 1 ? result : 0;
}

u128 residue_of(std::int64_t v, u128 n) {
  const u128 a = static_cast<u128>(v < 0 ? -v : v) % n;
  return (v < 0 && a != 0) ? n - a : a;
}

PrimeVerdict pocklington(u128 n, PrimeClock::time_point deadline);

// Sieve by the small primes: Prime, Composite, or Unknown for "no small factor".
PrimeVerdict small_factor_check(u128 n) {
  if (n < 2) return PrimeVerdict::Composite;
  for (std::uint16_t p : SmallPrimes) {
    if (n == p) return PrimeVerdict::Prime;
    if (n % p == 0) return PrimeVerdict::Composite;
  }
  if (n < 1000 * 1000) return PrimeVerdict::Prime;
  return PrimeVerdict::Unknown;
}

}  // namespace

bool strong_probable_prime_u128(const Montgomery& m, u128 base) {
  const u128 n = m.modulus();
  u128 d = n - 1;
  int s = 0;
  while ((d & 1) == 0) {
    d >>= 1;
    ++s;
  }
  u128 x = m.pow(m.to(base), d);
  if (x == m.one() || x == m.minus_one()) return true;
  for (int i = 1; i < s; ++i) {
    x = m.mul(x, x);
    if (x == m.minus_one()) return true;
    if (x == m.one()) return false;
  }
  return false;
}

bool strong_lucas_u128(u128 n) {
  const u128 root = isqrt_u128(n);
  if (root * root == n) return false;
  if (n == ~static_cast<u128>(0)) return false;  // a multiple of 3; n + 1 would wrap
  std::int64_t D = 5;
  for (;;) {
    const int j = jacobi_u128(residue_of(D, n), n);
    if (j == -1) break;
    if (j == 0) return static_cast<u128>(D < 0 ? -D : D) == n;
    D = D > 0 ? -(D + 2) : -D + 2;
  }
  const Montgomery m(n);
  const u128 dm = m.to(residue_of(D, n));
  const u128 q = m.to(residue_of((1 - D) / 4, n));
  u128 d = n + 1;
  int s = 0;
  while ((d & 1) == 0) {
    d >>= 1;
    ++s;
  }
  int top = 127;
  while (((d >> top) & 1) == 0) --top;
  u128 u = m.one(), v = m.one(), qk = q;
  for (int i = top - 1; i >= 0; --i) {
    u = m.mul(u, v);
    v = m.sub(m.mul(v, v), m.add(qk, qk));
    qk = m.mul(qk, qk);
    if ((d >> i) & 1) {
      const u128 u1 = m.half(m.add(u, v));
      v = m.half(m.add(m.mul(dm, u), v));
      u = u1;
      qk = m.mul(qk, q);
    }
  }
  if (u == 0 || v == 0) return true;
  for (int r = 1; r < s; ++r) {
    v = m.sub(m.mul(v, v), m.add(qk, qk));
    if (v == 0) return true;
    qk = m.mul(qk, qk);
  }
  return false;
}

PrimeVerdict prime_test_u128(u128 n, PrimeClock::time_point deadline) {
  const PrimeVerdict small = small_factor_check(n);
  if (small != PrimeVerdict::Unknown) return small;
  const Montgomery m(n);
  if (n < kMillerRabinBound) {
    for (std::uint64_t b : kBases) {
      if (!strong_probable_prime_u128(m, b)) return PrimeVerdict::Composite;
    }
    return PrimeVerdict::Prime;
  }
  if (!strong_probable_prime_u128(m, 2) || !strong_lucas_u128(n)) return PrimeVerdict::Composite;
  return pocklington(n, deadline);
}

namespace {

PrimeVerdict pocklington(u128 n, PrimeClock::time_point deadline) {
  const u128 nm1 = n - 1;
  const u128 root = isqrt_u128(n);
  u128 rest = nm1;
  u128 factored = 1;
  std::vector<u128> primes;
  auto take = [&](u128 p) {
    if (rest % p != 0) return;
    primes.push_back(p);
    while (rest % p == 0) {
      rest /= p;
      factored *= p;
    }
  };
  for (std::uint16_t p : SmallPrimes) take(p);
  std::vector<u128> pieces;
  if (rest > 1) pieces.push_back(rest);
  // F^3 >= n, without leaving 128 bits.
  auto cube_reaches_n = [&](u128 f) {
    if (f > root) return true;
    const u128 square = f * f;  // f <= sqrt(n) < 2^64
    return square > n / f || square * f >= n;
  };
  while (!cube_reaches_n(factored) && !pieces.empty()) {
    const u128 piece = pieces.back();
    pieces.pop_back();
    if (piece == 1) continue;
    const PrimeVerdict v = prime_test_u128(piece, deadline);
    if (v == PrimeVerdict::Unknown) return v;
    if (v == PrimeVerdict::Prime) {
      take(piece);
      continue;
    }
    const u128 g = find_factor(piece, deadline);
    if (g == 0) return PrimeVerdict::Unknown;
    pieces.push_back(g);
    pieces.push_back(piece / g);
  }
  if (!cube_reaches_n(factored)) return PrimeVerdict::Unknown;
  const Montgomery m(n);
  for (u128 q : primes) {
    bool witnessed = false;
    for (std::uint64_t a = 2; a < 200 && !witnessed; ++a) {
      const u128 am = m.to(a);
      if (m.pow(am, nm1) != m.one()) return PrimeVerdict::Composite;
      const u128 y = m.from(m.pow(am, nm1 / q));
      witnessed = gcd_u128(m.sub(y, 1), n) == 1;
    }
    if (!witnessed) return PrimeVerdict::Unknown;
  }
  if (factored > root) return PrimeVerdict::Prime;
  const u128 m1 = nm1 / factored;  // c2 F + c1
  const u128 c1 = m1 % factored, c2 = m1 / factored;
  const u128 c1_square = c1 * c1;  // c1 < F < 2^64
  if (c1_square < 4 * c2) return PrimeVerdict::Prime;
  const u128 disc = c1_square - 4 * c2;
  const u128 r = isqrt_u128(disc);
  return r * r == disc ? PrimeVerdict::Composite : PrimeVerdict::Prime;
}

}  // namespace

PrimeVerdict prime_test_exact(const BigUInt* x) {
  const u128 n = u128_from_biguint(x);
  const PrimeVerdict fast = prime_test_u128(n, PrimeClock::now() + kProofTimeLimit);
  if (fast != PrimeVerdict::Unknown || prime_stop_requested()) return fast;
  return prime_test_trial_division(x);
}
