// Prime tests, prime search and factorisation. Targets: the exact test of any number below 2^128
// under 50 ms typical and 2 s at worst; the probable-prime test of a 1252-digit prime under 1 s;
// the next prime after a random 1000-digit number under 10 s; the primes of 1000 numbers around
// 10^20 under 1 s.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "app/messages.h"
#include "integer/biguint_text.h"
#include "primes/factors.h"
#include "primes/prime_test.h"
#include "primes/primes_run.h"

namespace {

void setup() {
  arith_reset();
  load_texts(kLanguageEnglish);
  clear_app_error();
}

u128 random_u128(std::mt19937_64& rng) {
  return (static_cast<u128>(rng()) << 64) | rng();
}

// Random primes of 100 to 128 bits, found with the probable-prime test.
std::vector<u128> random_primes(int count) {
  std::mt19937_64 rng(2026);
  std::vector<u128> out;
  ContextScope two(ContextScope::kSizes);
  biguint_set_limbs(2);
  Word x[2];
  while (static_cast<int>(out.size()) < count) {
    const u128 n = (random_u128(rng) >> (rng() % 28)) | 1;
    u128_to_limbs(x, n);
    if (prime_test_probabilistic(x) == 0) out.push_back(n);
  }
  return out;
}

// The proof alone (no trial-division fallback, which could run for years): a random odd number
// (mostly decided by trial division and one strong test).
void BM_ExactTestRandomOdd128(benchmark::State& state) {
  setup();
  std::mt19937_64 rng(7);
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        prime_test_u128(random_u128(rng) | 1, PrimeClock::now() + kProofTimeLimit));
  }
}
BENCHMARK(BM_ExactTestRandomOdd128)->Unit(benchmark::kMicrosecond);

// Median, 99th percentile and slowest proof time of 500 random primes of 100 to 128 bits, and
// how many found no proof within the time limit.
void BM_ExactTestRandomPrimes(benchmark::State& state) {
  setup();
  const std::vector<u128> primes = random_primes(500);
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
    state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
    state.counters["worst_ms"] = ms.back();
    state.counters["unproven"] = unproven;
  }
}
BENCHMARK(BM_ExactTestRandomPrimes)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ProbabilisticTest1252Digits(benchmark::State& state) {
  setup();
  ContextScope wide(ContextScope::kSizes);
  biguint_set_limbs(65);
  Word x[65] = {};
  // The first probable prime above 10^1251.
  const std::u16string ten(1252, u'0');
  std::u16string text = u"1" + ten.substr(1);
  biguint_parse(x, text.c_str(), -1, 0);
  while (prime_test_probabilistic(x) != 0) biguint_add_u64(x, x, 1);
  for (auto _ : state) benchmark::DoNotOptimize(prime_test_probabilistic(x));
}
BENCHMARK(BM_ProbabilisticTest1252Digits)->Unit(benchmark::kMillisecond);

void run_quietly(PrimesRunParams& p) {
  p.output = [](std::u16string_view) {};
  clear_app_error();
  primes_run(p);
}

void BM_NextPrimeAfterRandom1000Digits(benchmark::State& state) {
  setup();
  std::mt19937_64 rng(11);
  for (auto _ : state) {
    std::u16string text(1000, u'0');
    text[0] = u'1' + static_cast<char16_t>(rng() % 9);
    for (std::size_t i = 1; i < text.size(); ++i)
      text[i] = u'0' + static_cast<char16_t>(rng() % 10);
    PrimesRunParams p;
    p.method = PrimeMethod::Probabilistic;
    p.mode = PrimeMode::NextPrime;
    p.size = kNextPrimeSize;
    p.start.assign(65, 0);
    {
      ContextScope wide(ContextScope::kSizes);
      biguint_set_limbs(65);
      biguint_parse(p.start.data(), text.c_str(), -1, 0);
    }
    run_quietly(p);
  }
}
BENCHMARK(BM_NextPrimeAfterRandom1000Digits)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ExactInterval1000Around1e20(benchmark::State& state) {
  setup();
  for (auto _ : state) {
    PrimesRunParams p;
    p.method = PrimeMethod::Exact;
    p.mode = PrimeMode::Interval;
    p.size = 1000;
    p.start.assign(2, 0);
    u128_to_limbs(p.start.data(), static_cast<u128>(100000000000000000ULL) * 1000 - 500);
    run_quietly(p);
  }
}
BENCHMARK(BM_ExactInterval1000Around1e20)->Unit(benchmark::kMillisecond);

void BM_FactorizeRandom128(benchmark::State& state) {
  setup();
  std::mt19937_64 rng(3);
  ContextScope two(ContextScope::kSizes);
  biguint_set_limbs(2);
  Word x[2];
  for (auto _ : state) {
    // Smooth enough for rho: a random 64-bit number times a random 40-bit one.
    u128_to_limbs(x, static_cast<u128>(rng()) * (rng() >> 24));
    FactorList f;
    factorize(f, x);
    benchmark::DoNotOptimize(f.count);
  }
}
BENCHMARK(BM_FactorizeRandom128)->Unit(benchmark::kMillisecond);

}  // namespace
