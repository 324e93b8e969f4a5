// The factor engine on numbers built from primes made at run time (found by Baillie-PSW and
// proven by the exact test), against the trial division where that is quick, and its answer to
// a stop. Every factorisation is checked on its own: the product gives n back, the factors
// ascend and each is proven prime and passes Baillie-PSW.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <random>
#include <thread>

#include "primes/factor_engine.h"
#include "primes/factors.h"
#include "primes/prime_test.h"
#include "tests/primes/primes_test_util.h"

namespace {

using FactorEngine = PrimesTest;

#ifdef NUMERION_SANITIZE
constexpr int kRounds = 2;
#else
constexpr int kRounds = 6;
#endif

u128 power10(int e) {
  u128 r = 1;
  for (int i = 0; i < e; ++i) r *= 10;
  return r;
}

bool probable_prime(u128 n) {
  Word x[2];
  u128_to_limbs(x, n);
  return n == 2 || (n > 2 && prime_test_probabilistic(x) == 0);
}

bool proven_prime(u128 n) {
  return prime_test_u128(n, PrimeClock::now() + kFactorTimeLimit) == PrimeVerdict::Prime;
}

// A prime of `digits` digits.
u128 random_prime(std::mt19937_64& rng, int digits) {
  const u128 lo = power10(digits - 1);
  for (;;) {
    const u128 r = (static_cast<u128>(rng()) << 64) | rng();
    const u128 n = (lo + r % (9 * lo)) | 1;
    if (probable_prime(n)) {
      EXPECT_TRUE(proven_prime(n));
      return n;
    }
  }
}

// The factors of n with repetition, ascending, after checking the list on its own.
std::vector<u128> checked_factors(u128 n) {
  Word x[2];
  u128_to_limbs(x, n);
  FactorList f;
  factorize(f, x);
  std::vector<u128> out;
  u128 product = 1;
  for (std::int64_t i = 0; i < f.count; ++i) {
    if (i > 0) {
      EXPECT_LT(f.factor[i - 1], f.factor[i]) << u128_decimal(n);
    }
    EXPECT_TRUE(probable_prime(f.factor[i]) && proven_prime(f.factor[i]))
        << u128_decimal(f.factor[i]) << " in " << u128_decimal(n);
    for (std::int64_t k = 0; k < f.multiplicity[i]; ++k) {
      product *= f.factor[i];
      out.push_back(f.factor[i]);
    }
  }
  EXPECT_EQ(product, n) << u128_decimal(n);
  return out;
}

std::vector<u128> sorted(std::vector<u128> v) {
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace

TEST_F(FactorEngine, SemiprimesAndRandomNumbersOf20To39Digits) {
  std::mt19937_64 rng(8128);
  for (int digits = 20; digits <= 38; digits += 3) {
    for (int i = 0; i < kRounds; ++i) {
      const u128 p = random_prime(rng, digits / 2), q = random_prime(rng, (digits + 1) / 2);
      const u128 n = p * q;
      EXPECT_EQ(checked_factors(n), sorted({p, q})) << u128_decimal(n);
      // The sieve alone, which rho would otherwise pre-empt at the small end.
      const u128 g = siqs_factor(n, PrimeClock::now() + kFactorTimeLimit);
      EXPECT_TRUE(g == p || g == q) << u128_decimal(n) << " gave " << u128_decimal(g);
      // A random number of the same size: only the self-checks apply.
      const u128 r = (static_cast<u128>(rng()) << 64) | rng();
      checked_factors(power10(digits - 1) + r % (9 * power10(digits - 1)));
    }
  }
  // The sieve alone below 20 digits, where its choice of a runs short of primes.
  for (int digits : {13, 16, 19}) {
    for (int i = 0; i < kRounds; ++i) {
      const u128 p = random_prime(rng, digits / 2), q = random_prime(rng, (digits + 1) / 2);
      const u128 g = siqs_factor(p * q, PrimeClock::now() + kFactorTimeLimit);
      EXPECT_TRUE(g == p || g == q) << u128_decimal(p * q) << " gave " << u128_decimal(g);
    }
  }
  // Once ran out of new a values and repeated relations without end.
  const u128 ran_short = 1011669538830965593ULL;
  const u128 g = siqs_factor(ran_short, PrimeClock::now() + kFactorTimeLimit);
  EXPECT_TRUE(g > 1 && g < ran_short && ran_short % g == 0);
  // 39 digits, near 2^128, where no multiplier fits.
  for (int i = 0; i < kRounds; ++i) {
    u128 p, q;
    do {
      p = random_prime(rng, 20);
      q = random_prime(rng, 19);
    } while (p > ~static_cast<u128>(0) / q || p * q < power10(38));
    EXPECT_EQ(checked_factors(p * q), sorted({p, q}));
  }
}

TEST_F(FactorEngine, SpecialShapes) {
  std::mt19937_64 rng(496);
  Word x[2];
  // 2^128 - 1 and numbers with many small factors, against the trial division.
  std::vector<u128> against_trial{~static_cast<u128>(0)};
  for (int i = 0; i < 20; ++i) {
    u128 n = 1;
    for (u128 f = 2 + rng() % 5000; n <= power10(36) / f; f = 2 + rng() % 5000) n *= f;
    against_trial.push_back(n);
  }
  for (u128 n : against_trial) {
    u128_to_limbs(x, n);
    FactorList slow;
    factorize_trial_division(slow, x);
    std::vector<u128> expected;
    for (std::int64_t i = 0; i < slow.count; ++i)
      expected.insert(expected.end(), static_cast<std::size_t>(slow.multiplicity[i]),
                      slow.factor[i]);
    EXPECT_EQ(checked_factors(n), expected) << u128_decimal(n);
  }
  // Prime powers, squares of large primes, and a square times a prime.
  for (int i = 0; i < kRounds; ++i) {
    const u128 p12 = random_prime(rng, 12), p19 = random_prime(rng, 19);
    const u128 p6 = random_prime(rng, 6), p13 = random_prime(rng, 13);
    EXPECT_EQ(checked_factors(p12 * p12 * p12), (std::vector<u128>{p12, p12, p12}));
    EXPECT_EQ(checked_factors(p19 * p19), (std::vector<u128>{p19, p19}));
    EXPECT_EQ(checked_factors(p6 * p6 * p6 * p6 * p6 * p6), std::vector<u128>(6, p6));
    EXPECT_EQ(checked_factors(p13 * p13 * p12), sorted({p13, p13, p12}));
    int k = 0;
    EXPECT_EQ(perfect_power_root(p12 * p12 * p12, k), p12);
    EXPECT_EQ(k, 3);
    EXPECT_EQ(perfect_power_root(p19 * p19 - 2, k), 0u);
    EXPECT_EQ(perfect_power_root(p12 * p13, k), 0u);
  }
  int k = 0;
  EXPECT_EQ(perfect_power_root(static_cast<u128>(1) << 127, k), 2u);
  EXPECT_EQ(k, 127);
  EXPECT_EQ(checked_factors(static_cast<u128>(1) << 127), std::vector<u128>(127, 2));
  EXPECT_EQ(perfect_power_root(power10(36), k), 10u);
  EXPECT_EQ(k, 36);
  // Products of three 12-digit primes, and Carmichael numbers (6m + 1)(12m + 1)(18m + 1),
  // which fool the Fermat test to every coprime base.
  for (int i = 0; i < kRounds; ++i) {
    const u128 a = random_prime(rng, 12), b = random_prime(rng, 12), c = random_prime(rng, 12);
    EXPECT_EQ(checked_factors(a * b * c), sorted({a, b, c}));
  }
  int carmichael = 0;
  for (u128 m = 1000000 + rng() % 1000000; carmichael < kRounds + 2; ++m) {
    const u128 a = 6 * m + 1, b = 12 * m + 1, c = 18 * m + 1;
    if (!probable_prime(a) || !probable_prime(b) || !probable_prime(c)) continue;
    ++carmichael;
    EXPECT_EQ(checked_factors(a * b * c), (std::vector<u128>{a, b, c}));
  }
  // rho64 on the 64-bit path.
  for (int i = 0; i < kRounds; ++i) {
    const u128 p = random_prime(rng, 9), q = random_prime(rng, 10);
    const std::uint64_t g =
        rho64(static_cast<std::uint64_t>(p * q), 0, PrimeClock::now() + kFactorTimeLimit);
    EXPECT_TRUE(g == p || g == q);
  }
}

TEST_F(FactorEngine, PrimesWithHardPredecessorsAreProven) {
  // n - 1 = 2pq with p, q of 18 digits: the proof must split pq. Composites of the same shape
  // must be rejected.
  std::mt19937_64 rng(33550336);
  int proven = 0, composite = 0;
  while (proven < kRounds || composite < 2) {
    const u128 n = 2 * random_prime(rng, 18) * random_prime(rng, 18) + 1;
    const auto start = PrimeClock::now();
    const PrimeVerdict v = prime_test_u128(n, start + kProofTimeLimit);
    if (probable_prime(n)) {
      EXPECT_EQ(v, PrimeVerdict::Prime) << u128_decimal(n);
      ++proven;
    } else {
      EXPECT_EQ(v, PrimeVerdict::Composite) << u128_decimal(n);
      ++composite;
    }
  }
  // Random primes of 100 to 128 bits: each proven within the time limit.
  for (int i = 0; i < 25 * kRounds; ++i) {
    u128 n;
    do {
      n = ((static_cast<u128>(rng()) << 64 | rng()) >> (rng() % 28)) | 1;
    } while (!probable_prime(n));
    EXPECT_EQ(prime_test_u128(n, PrimeClock::now() + kProofTimeLimit), PrimeVerdict::Prime)
        << u128_decimal(n);
  }
}

TEST_F(FactorEngine, StopEndsTheSearchPromptly) {
  // The sieve on a prime and rho64 on a prime find nothing and would run to the deadline; a stop
  // from another thread must end them within 100 ms.
  std::mt19937_64 rng(8589869056);
  const u128 big = random_prime(rng, 38), small = random_prime(rng, 19);
  // Milliseconds from the stop to the return.
  auto latency = [](auto&& work) {
    g_cancel_request.store(0, std::memory_order_relaxed);
    std::atomic<std::int64_t> stop_time{0};
    std::thread stopper([&stop_time] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      stop_time.store(PrimeClock::now().time_since_epoch().count(), std::memory_order_relaxed);
      g_cancel_request.store(1, std::memory_order_relaxed);
    });
    const auto result = work();
    const auto returned = PrimeClock::now().time_since_epoch().count();
    stopper.join();
    EXPECT_EQ(result, 0u);
    EXPECT_GE(returned, stop_time.load(std::memory_order_relaxed));  // it ran until stopped
    const PrimeClock::duration late(returned - stop_time.load(std::memory_order_relaxed));
    return std::chrono::duration<double, std::milli>(late).count();
  };
  const auto far = PrimeClock::now() + std::chrono::hours(1);
  EXPECT_LT(latency([&] { return siqs_factor(big, far); }), 100.0);
  EXPECT_LT(latency([&] { return rho64(static_cast<std::uint64_t>(small), 0, far); }), 100.0);
  // A pending stop: factorize leaves the list incomplete.
  g_cancel_request.store(1, std::memory_order_relaxed);
  Word x[2];
  u128_to_limbs(x, big * 3);
  FactorList f;
  factorize(f, x);
  EXPECT_EQ(f.count, 0);
  EXPECT_TRUE(prime_stop_requested());
}
