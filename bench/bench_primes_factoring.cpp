// The factor engine. Targets: balanced 38-digit semiprimes in under 200 ms on average and 2 s at
// worst; the divisor list of a 38-digit number with many factors under 100 ms; 1000 consecutive
// 38-digit numbers under 30 s; the exact test of primes whose n - 1 = 2pq has two large primes
// under 50 ms typically and 2 s at worst.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <vector>

#include "app/app_error.h"
#include "app/messages.h"
#include "primes/factor_engine.h"
#include "primes/factors.h"
#include "primes/prime_test.h"

namespace {

void setup() {
  arith_reset();
  load_texts(kLanguageEnglish);
  clear_app_error();
}

u128 power10(int e) {
  u128 r = 1;
  for (int i = 0; i < e; ++i) r *= 10;
  return r;
}

// A proven prime with `digits` digits.
u128 random_prime(std::mt19937_64& rng, int digits) {
  const u128 lo = power10(digits - 1);
  for (;;) {
    const u128 r = (static_cast<u128>(rng()) << 64) | rng();
    const u128 x = (lo + r % (9 * lo)) | 1;
    if (prime_test_u128(x, PrimeClock::now() + kFactorTimeLimit) == PrimeVerdict::Prime) return x;
  }
}

// Mean and slowest factorisation of 20 products of two primes with digits/2 digits each.
void BM_BalancedSemiprimes(benchmark::State& state) {
  setup();
  const int digits = static_cast<int>(state.range(0));
  std::mt19937_64 rng(static_cast<std::uint64_t>(digits) * 1000 + 17);
  std::vector<u128> numbers;
  for (int i = 0; i < 20; ++i) {
    numbers.push_back(random_prime(rng, digits / 2) * random_prime(rng, digits - digits / 2));
  }
  ContextScope two(ContextScope::kSizes);
  biguint_set_limbs(2);
  for (auto _ : state) {
    double total = 0, worst = 0;
    for (u128 n : numbers) {
      Word x[2];
      u128_to_limbs(x, n);
      FactorList f;
      const auto start = PrimeClock::now();
      factorize(f, x);
      const double ms =
          std::chrono::duration<double, std::milli>(PrimeClock::now() - start).count();
      if (f.count != 2) state.SkipWithError("not split");
      total += ms;
      worst = std::max(worst, ms);
    }
    state.counters["mean_ms"] = total / static_cast<double>(numbers.size());
    state.counters["worst_ms"] = worst;
  }
}
BENCHMARK(BM_BalancedSemiprimes)->Arg(20)->Arg(30)->Arg(38)->Unit(benchmark::kMillisecond);

void run_quietly(FactorsRunParams& p) {
  p.output = [](std::u16string_view) {};
  clear_app_error();
  factors_run(p);
}

// 2^6 3^4 5^2 7 11 13 times 10-digit primes up to 38 digits: 6720 divisors.
void BM_DivisorList38Digits(benchmark::State& state) {
  setup();
  std::mt19937_64 rng(5);
  u128 n = 0;
  while (n < power10(37)) {
    n = static_cast<u128>(64) * 81 * 25 * 7 * 11 * 13;
    for (int i = 0; i < 3; ++i) n *= random_prime(rng, 10);
  }
  for (auto _ : state) {
    FactorsRunParams p;
    p.divisors = true;
    p.start = n;
    run_quietly(p);
  }
}
BENCHMARK(BM_DivisorList38Digits)->Unit(benchmark::kMillisecond);

void BM_Interval1000Numbers38Digits(benchmark::State& state) {
  setup();
  for (auto _ : state) {
    FactorsRunParams p;
    p.start = power10(37) * 3 + 12345;
    p.size = 1000;
    run_quietly(p);
  }
}
BENCHMARK(BM_Interval1000Numbers38Digits)->Unit(benchmark::kMillisecond)->Iterations(1);

// Median and slowest proof of 20 primes n = 2pq + 1 with p, q of 19 digits: rho cannot
// split pq, the sieve does.
void BM_ExactTestHardPrimes(benchmark::State& state) {
  setup();
  std::mt19937_64 rng(29);
  std::vector<u128> primes;
  while (primes.size() < 20) {
    const u128 n = 2 * random_prime(rng, 19) * random_prime(rng, 19) + 1;
    ContextScope two(ContextScope::kSizes);
    biguint_set_limbs(2);
    Word x[2];
    u128_to_limbs(x, n);
    if (prime_test_probabilistic(x) == 0) primes.push_back(n);
  }
  for (auto _ : state) {
    std::vector<double> ms;
    int unproven = 0;
    for (u128 p : primes) {
      const auto start = PrimeClock::now();
      if (prime_test_u128(p, start + kProofTimeLimit) != PrimeVerdict::Prime) ++unproven;
      ms.push_back(std::chrono::duration<double, std::milli>(PrimeClock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["worst_ms"] = ms.back();
    state.counters["unproven"] = unproven;
  }
}
BENCHMARK(BM_ExactTestHardPrimes)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
