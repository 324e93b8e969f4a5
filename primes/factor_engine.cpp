#include "primes/factor_engine.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "primes/prime_tables.h"

namespace {

bool deadline_passed(PrimeClock::time_point deadline) {
  return PrimeClock::now() > deadline || prime_stop_requested();
}

// base^k, or 0 when it exceeds 2^128 - 1.
u128 checked_power(u128 base, int k) {
  u128 result = 1;
  for (int i = 0; i < k; ++i) {
    if (base != 0 && result > ~static_cast<u128>(0) / base) return 0;
    result *= base;
  }
  return result;
}

// floor(n^(1/k)) for k >= 2: long double is within a unit or two, the powers settle the rest.
u128 integer_root(u128 n, int k) {
  const long double guess = std::pow(static_cast<long double>(n), 1.0L / k);
  u128 r = guess < 2 ? 1 : static_cast<u128>(guess);
  while (r > 1) {
    const u128 p = checked_power(r, k);
    if (p != 0 && p <= n) break;
    --r;
  }
  for (;;) {
    const u128 p = checked_power(r + 1, k);
    if (p == 0 || p > n) return r;
    ++r;
  }
}

// Brent's cycle search on x -> x^2 + c in Montgomery form, the differences multiplied together
// so that one gcd serves a whole batch. Arith is Montgomery or Montgomery64.
template <typename Arith, typename Value>
Value brent_rho(const Arith& m, std::uint64_t max_steps, PrimeClock::time_point deadline) {
  const Value n = m.modulus();
  constexpr std::uint64_t kBatch = 128;
  auto gcd = [](Value a, Value b) {
    if constexpr (sizeof(Value) == 8) {
      return std::gcd(a, b);
    } else {
      return gcd_u128(a, b);
    }
  };
  for (std::uint64_t c_value = 1; c_value < 40; ++c_value) {
    const Value c = m.to(c_value);
    auto f = [&](Value y) { return m.add(m.mul(y, y), c); };
    Value y = m.to(2 + c_value), x = y, ys = y, q = m.one(), g = 1;
    std::uint64_t steps = 0;
    for (std::uint64_t r = 1; g == 1; r *= 2) {
      x = y;
      for (std::uint64_t i = 0; i < r; ++i) {
        y = f(y);
        if ((i & 0x3fff) == 0x3fff && deadline_passed(deadline)) return 0;
      }
      for (std::uint64_t k = 0; k < r && g == 1; k += kBatch) {
        if (((steps += kBatch) & 0x3fff) < kBatch && deadline_passed(deadline)) return 0;
        ys = y;
        const std::uint64_t count = std::min(kBatch, r - k);
        for (std::uint64_t i = 0; i < count; ++i) {
          y = f(y);
          q = m.mul(q, m.sub(x, y));
        }
        g = gcd(q, n);  // q in Montgomery form: R is coprime to n
      }
      if (g == 1 && max_steps != 0 && steps > max_steps) return 0;
    }
    if (g == n) {
      // The batch overshot: retrace it one step at a time.
      do {
        ys = f(ys);
        g = gcd(m.sub(x, ys), n);
      } while (g == 1);
    }
    if (g != n) return g;
  }
  return 0;
}

// Rho steps before the sieve takes over, by the size of n: the sieve's cost grows with n while
// rho's grows with the factor it finds, so rho gets more room where the sieve is slow.
std::uint64_t rho_budget(u128 n) {
  int bits = 0;
  for (u128 t = n; t != 0; t >>= 1) ++bits;
  if (bits <= 80) return 1 << 14;
  if (bits <= 100) return 1 << 15;
  return 1 << 16;
}

}  // namespace

u128 perfect_power_root(u128 n, int& k) {
  k = 1;
  if (n < 4) return 0;
  u128 root = 0;
  // Exponents from the largest prime down, so that the root left over is no perfect power of
  // a prime exponent already tried; nested powers are handled by repeating.
  u128 m = n;
  bool found = true;
  while (found && m >= 4) {
    found = false;
    for (int e : {127, 113, 109, 107, 103, 101, 97, 89, 83, 79, 73, 71, 67, 61, 59, 53,
                  47,  43,  41,  37,  31,  29,  23, 19, 17, 13, 11, 7,  5,  3,  2}) {
      if (e >= 128 || (static_cast<u128>(1) << e) > m) continue;
      const u128 r = integer_root(m, e);
      if (checked_power(r, e) == m) {
        m = r;
        k *= e;
        root = r;
        found = true;
        break;
      }
    }
  }
  if (k == 1) return 0;
  return root;
}

std::uint64_t rho64(std::uint64_t n, std::uint64_t max_steps, PrimeClock::time_point deadline) {
  if ((n & 1) == 0) return 2;
  return brent_rho<Montgomery64, std::uint64_t>(Montgomery64(n), max_steps, deadline);
}

u128 rho128(u128 n, std::uint64_t max_steps, PrimeClock::time_point deadline) {
  if ((n & 1) == 0) return 2;
  if ((n >> 64) == 0) return rho64(static_cast<std::uint64_t>(n), max_steps, deadline);
  return brent_rho<Montgomery, u128>(Montgomery(n), max_steps, deadline);
}

u128 find_factor(u128 n, PrimeClock::time_point deadline) {
  if ((n & 1) == 0) return 2;
  for (std::uint16_t p : SmallPrimes) {
    if (n % p == 0) return n == p ? 0 : p;
  }
  int k = 1;
  const u128 root = perfect_power_root(n, k);
  if (root != 0) return root;
  if ((n >> 64) == 0) return rho64(static_cast<std::uint64_t>(n), 0, deadline);
  const u128 g = rho128(n, rho_budget(n), deadline);
  if (g != 0 || deadline_passed(deadline)) return g;
  return siqs_factor(n, deadline);
}

bool factor_completely(u128 n, std::vector<u128>& primes, PrimeClock::time_point deadline) {
  for (std::uint16_t p : SmallPrimes) {
    while (n % p == 0) {
      primes.push_back(p);
      n /= p;
    }
  }
  struct Piece {
    u128 value;
    int count;  // how often it divides the number
  };
  std::vector<Piece> pieces;
  if (n > 1) pieces.push_back({n, 1});
  while (!pieces.empty()) {
    const Piece piece = pieces.back();
    pieces.pop_back();
    int k = 1;
    const u128 root = perfect_power_root(piece.value, k);
    if (root != 0) {
      pieces.push_back({root, piece.count * k});
      continue;
    }
    const PrimeVerdict v = prime_test_u128(piece.value, deadline);
    if (v == PrimeVerdict::Unknown) return false;
    if (v == PrimeVerdict::Prime) {
      primes.insert(primes.end(), static_cast<std::size_t>(piece.count), piece.value);
      continue;
    }
    const u128 g = find_factor(piece.value, deadline);
    if (g == 0) return false;
    pieces.push_back({g, piece.count});
    pieces.push_back({piece.value / g, piece.count});
  }
  return true;
}
