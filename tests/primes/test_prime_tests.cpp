// The built-in tables against their rules, and every prime test against an independent sieve,
// reference values from tests/data (make_primes_reference.py) and the trial division.
#include <numeric>
#include <random>

#include "primes/prime_tables.h"
#include "primes/prime_test.h"
#include "tests/primes/primes_test_util.h"

namespace {

constexpr std::uint32_t kSieveLimit = 104730;  // the 10,000th prime is 104729

bool is_sieve_prime(const std::vector<std::uint32_t>& spf, std::uint32_t n) {
  return n >= 2 && spf[n] == n;
}

using PrimeTests = PrimesTest;

}  // namespace

TEST(PrimeTables, FollowTheirRules) {
  const auto spf = smallest_factor_sieve(30100);
  std::vector<std::uint16_t> primes;
  for (std::uint32_t n = 2; n < 1000; ++n) {
    if (is_sieve_prime(spf, n)) primes.push_back(static_cast<std::uint16_t>(n));
  }
  ASSERT_EQ(primes.size(), SmallPrimes.size());
  EXPECT_TRUE(std::equal(primes.begin(), primes.end(), SmallPrimes.begin()));

  // The walk gives 2, 3, 5, 7, 11, 13, 17, then exactly the numbers coprime to 30030 up to
  // 30047, after which the gaps repeat.
  std::uint64_t d = 1;
  std::vector<std::uint64_t> walk;
  for (int i = 0; i < kWheelGapCount; ++i)
    walk.push_back(d += WheelGaps[static_cast<std::size_t>(i)]);
  const std::vector<std::uint64_t> first(walk.begin(), walk.begin() + 7);
  EXPECT_EQ(first, (std::vector<std::uint64_t>{2, 3, 5, 7, 11, 13, 17}));
  std::vector<std::uint64_t> coprime;
  for (std::uint64_t n = 19; n <= 30047; ++n) {
    if (std::gcd(n, kWheelModulus) == 1) coprime.push_back(n);
  }
  EXPECT_EQ(std::vector<std::uint64_t>(walk.begin() + 7, walk.end()), coprime);
  EXPECT_EQ(std::accumulate(WheelGaps.begin() + 7, WheelGaps.end(), 0u), kWheelModulus);

  WheelWalk w;
  for (int i = 0; i < kWheelGapCount; ++i) w.next();
  EXPECT_EQ(w.next(), 30047u + WheelGaps[7]);  // continues at entry 7
}

TEST_F(PrimeTests, FirstTenThousandPrimesAgreeWithSieve) {
  const auto spf = smallest_factor_sieve(kSieveLimit);
  Word x[2];
  int primes = 0;
  for (std::uint32_t n = 0; n < kSieveLimit; ++n) {
    set(x, n);
    const bool expected = is_sieve_prime(spf, n);
    primes += expected ? 1 : 0;
    ASSERT_EQ(prime_test_exact(x) == PrimeVerdict::Prime, expected) << n;
    ASSERT_EQ(prime_test_trial_division(x) == PrimeVerdict::Prime, expected) << n;
    ASSERT_EQ(prime_test_probabilistic(x) == 0, expected) << n;
    if (n >= 1009 && n % 2 == 1 && n % 3 != 0) {
      // Below the table the Euler tests alone may be fooled, never the other way round.
      if (expected) {
        ASSERT_EQ(prime_test_euler(x), 0) << n;
      }
    }
  }
  EXPECT_EQ(primes, 10000);
}

TEST_F(PrimeTests, EdgeCases) {
  Word x[2];
  for (std::uint64_t n : {0, 1, 4}) {
    set(x, n);
    EXPECT_EQ(prime_test_exact(x), PrimeVerdict::Composite) << n;
    EXPECT_EQ(prime_test_trial_division(x), PrimeVerdict::Composite) << n;
  }
  for (std::uint64_t n : {2, 3}) {
    set(x, n);
    EXPECT_EQ(prime_test_trial_division(x), PrimeVerdict::Prime) << n;
  }
  set(x, 997);
  EXPECT_EQ(prime_test_euler(x), 0);
  for (std::uint64_t n = 1000; n <= 1008; ++n) {
    set(x, n);
    EXPECT_EQ(prime_test_euler(x), 1) << n;
  }
  set(x, 1009);
  EXPECT_EQ(prime_test_euler(x), 0);
  EXPECT_TRUE(euler_test_base2(x));
  EXPECT_TRUE(euler_test_base3(x));
  set(x, 561);
  EXPECT_EQ(prime_test_euler(x), 1);
}

TEST_F(PrimeTests, JacobiSymbolMatchesEulerCriterion) {
  // For an odd prime p, (a/p) = a^((p-1)/2) mod p; for composite n the symbol is multiplicative.
  Word a[2], n[2];
  for (std::uint64_t p : {3u, 5u, 7u, 101u, 1009u, 65537u}) {
    for (std::uint64_t v = 1; v < 60; ++v) {
      set(a, v);
      set(n, p);
      const int j = jacobi_symbol(a, n);
      u128 r = 1;
      for (std::uint64_t e = 0; e < (p - 1) / 2; ++e) r = r * v % p;
      EXPECT_EQ(j, v % p == 0 ? 0 : (r == 1 ? 1 : -1)) << v << "/" << p;
    }
  }
  for (std::uint64_t v = 1; v < 100; ++v) {
    set(a, v);
    set(n, 15);
    Word three[2], five[2];
    set(three, 3);
    set(five, 5);
    EXPECT_EQ(jacobi_symbol(a, n), jacobi_symbol(a, three) * jacobi_symbol(a, five)) << v;
  }
}

TEST_F(PrimeTests, LargePrimesAndHardComposites) {
  Word x[2];
  int seen_euler_fooled = 0;
  for (const auto& [kind, v] : reference_values()) {
    set(x, v);
    const bool prime = kind == "prime";
    EXPECT_EQ(prime_test_exact(x), prime ? PrimeVerdict::Prime : PrimeVerdict::Composite)
        << kind << " " << u128_decimal(v);
    EXPECT_EQ(prime_test_u128(v, PrimeClock::now() + kProofTimeLimit),
              prime ? PrimeVerdict::Prime : PrimeVerdict::Composite)
        << u128_decimal(v);
    EXPECT_EQ(prime_test_probabilistic(x), prime ? 0 : 1) << kind << " " << u128_decimal(v);
    if (kind == "euler23") {
      // The reference Euler method is fooled by exactly these; the strong tests are not.
      EXPECT_EQ(prime_test_euler(x), 0) << u128_decimal(v);
      ++seen_euler_fooled;
    }
    if (kind == "strong2") {
      EXPECT_TRUE(strong_probable_prime_base2(x)) << u128_decimal(v);
    }
  }
  EXPECT_GT(seen_euler_fooled, 10);
  // Probable primes at 65 limbs as well.
  ContextScope wide(ContextScope::kSizes);
  biguint_set_limbs(65);
  Word big[65] = {};
  for (const auto& [kind, v] : reference_values()) {
    if (kind != "prime" && kind != "strong_many") continue;
    set(big, v);
    EXPECT_EQ(prime_test_probabilistic(big), kind == "prime" ? 0 : 1) << u128_decimal(v);
  }
}

TEST_F(PrimeTests, FastPathsAgreeWithTrialDivision) {
  std::mt19937_64 rng(12345);
#ifdef NUMERION_SANITIZE
  const int rounds = 2000;
#else
  const int rounds = 10000;
#endif
  Word x[2];
  for (int i = 0; i < rounds; ++i) {
    const std::uint64_t n = rng() % 1000000000000ULL;
    set(x, n);
    const PrimeVerdict reference = prime_test_trial_division(x);
    ASSERT_EQ(prime_test_exact(x), reference) << n;
    ASSERT_EQ(prime_test_probabilistic(x) == 0, reference == PrimeVerdict::Prime) << n;
  }
}

TEST_F(PrimeTests, BigUIntAndU128BailliePswAgree) {
  // Random odd 100- to 128-bit numbers with no factor below 1000, half of them primes.
  std::mt19937_64 rng(777);
  Word x[2];
  int primes = 0;
#ifdef NUMERION_SANITIZE
  const int rounds = 100;
#else
  const int rounds = 400;
#endif
  for (int i = 0; i < rounds; ++i) {
    u128 n = (static_cast<u128>(rng() >> (rng() % 28)) << 64) | rng() | 1;
    if (n < 1000000) continue;
    const Montgomery m(n);
    set(x, n);
    const bool spp = strong_probable_prime_u128(m, 2);
    EXPECT_EQ(strong_probable_prime_base2(x), spp) << u128_decimal(n);
    const bool lucas = strong_lucas_u128(n);
    EXPECT_EQ(strong_lucas_probable_prime(x), lucas) << u128_decimal(n);
    // A composite that passes either test alone would be a rare find; both agree on primes.
    const PrimeVerdict v = prime_test_u128(n, PrimeClock::now() + kProofTimeLimit);
    if (v == PrimeVerdict::Prime) {
      ++primes;
      EXPECT_TRUE(spp && lucas);
    }
  }
  EXPECT_GT(primes, 0);
}

TEST_F(PrimeTests, MontgomeryProductsAreExact) {
  std::mt19937_64 rng(99);
  for (int i = 0; i < 2000; ++i) {
    const u128 n = ((static_cast<u128>(rng()) << 64) | rng()) | 1;
    const u128 a = ((static_cast<u128>(rng()) << 64) | rng()) % n;
    const u128 b = ((static_cast<u128>(rng()) << 64) | rng()) % n;
    const Montgomery m(n);
    // Reference: a * b mod n by doubling and adding, which never leaves 128 bits unchecked.
    u128 expected = 0;
    for (int bit = 127; bit >= 0; --bit) {
      expected = m.add(expected, expected);
      if ((b >> bit) & 1) expected = m.add(expected, a);
    }
    ASSERT_EQ(m.from(m.mul(m.to(a), m.to(b))), expected);
  }
}

TEST_F(PrimeTests, StopNeverGivesAWrongAnswer) {
  // After a stop the trial division answers nothing; the exact test may still finish a proof
  // it needs no search for, but never answers wrongly.
  Word x[2];
  const u128 composite = static_cast<u128>(18446744073709551557ULL) * 18446744073709551533ULL;
  const u128 prime = (static_cast<u128>(1) << 127) - 1;
  set_app_error(kAppErrorStopped);
  set(x, composite);
  EXPECT_EQ(prime_test_trial_division(x), PrimeVerdict::Unknown);
  EXPECT_NE(prime_test_exact(x), PrimeVerdict::Prime);
  set(x, prime);
  EXPECT_EQ(prime_test_trial_division(x), PrimeVerdict::Unknown);
  EXPECT_NE(prime_test_exact(x), PrimeVerdict::Composite);
}
