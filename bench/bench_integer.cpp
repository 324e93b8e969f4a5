// Benchmarks of the BigUInt arithmetic and text form at the sizes the pages use: 2 limbs (prime
// factors), 26 and 65 limbs (prime tests), 520 and 1039 limbs (10,000 and 20,000 digits), and
// the goals: powmod with 65-limb modulus and exponent, 2000-by-1000-limb division, and the base-10
// text of a 20,000-digit number.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "integer/biguint.h"
#include "integer/biguint_text.h"

namespace {

using Limbs = std::vector<std::uint64_t>;

// Full values of `used` limbs in arrays of the current N.
Limbs random_limbs(std::mt19937_64& rng, std::int64_t used) {
  Limbs v(static_cast<std::size_t>(BigUIntLimbs), 0);
  for (std::int64_t i = 0; i < used; ++i) v[static_cast<std::size_t>(i)] = rng();
  v[static_cast<std::size_t>(used - 1)] |= 0x8000000000000000ULL;
  return v;
}

void set_size(benchmark::State& state, std::int64_t limbs) {
  biguint_set_limbs(limbs);
  clear_status();
  if (BigUIntLimbs != limbs) state.SkipWithError("size not accepted");
}

void check_status(benchmark::State& state) {
  if (math_status() != MathStatus::Ok) state.SkipWithError("status set");
}

void BM_Mul(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  set_size(state, n);
  std::mt19937_64 rng(1);
  // Operands of n/2 and n - n/2 full limbs: the product fills the N limbs.
  const std::int64_t half = n / 2;
  Limbs a = random_limbs(rng, half), b = random_limbs(rng, n - half), r(a.size());
  for (auto _ : state) {
    biguint_mul(r.data(), a.data(), b.data());
    benchmark::DoNotOptimize(r.data());
  }
  check_status(state);
}

void BM_DivMod(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  set_size(state, n);
  std::mt19937_64 rng(2);
  Limbs a = random_limbs(rng, n), b = random_limbs(rng, (n + 1) / 2), q(a.size()), r(a.size());
  for (auto _ : state) {
    biguint_divmod(q.data(), r.data(), a.data(), b.data());
    benchmark::DoNotOptimize(q.data());
  }
  check_status(state);
}

void BM_DivModGoal(benchmark::State& state) {  // 2,000 limbs by 1,000 limbs
  set_size(state, 2000);
  std::mt19937_64 rng(3);
  Limbs a = random_limbs(rng, 2000), b = random_limbs(rng, 1000), q(a.size()), r(a.size());
  for (auto _ : state) {
    biguint_divmod(q.data(), r.data(), a.data(), b.data());
    benchmark::DoNotOptimize(q.data());
  }
  check_status(state);
}

void BM_DivModU64(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  set_size(state, n);
  std::mt19937_64 rng(4);
  Limbs a = random_limbs(rng, n), q(a.size());
  std::uint64_t rem = 0;
  for (auto _ : state) {
    biguint_divmod_u64(q.data(), &rem, a.data(), 1999, 0);
    benchmark::DoNotOptimize(rem);
  }
  check_status(state);
}

// Modulus of N limbs, odd (range(1) = 1) or even (0), and an exponent of range(2) limbs.
void BM_PowMod(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  set_size(state, n);
  std::mt19937_64 rng(5);
  Limbs base = random_limbs(rng, n), e = random_limbs(rng, state.range(2)),
        m = random_limbs(rng, n);
  m[0] = state.range(1) ? (m[0] | 1) : (m[0] & ~std::uint64_t{1});
  Limbs r(base.size());
  for (auto _ : state) {
    biguint_powmod(r.data(), base.data(), e.data(), m.data());
    benchmark::DoNotOptimize(r.data());
  }
  check_status(state);
}

void BM_Isqrt(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  set_size(state, n);
  std::mt19937_64 rng(6);
  Limbs a = random_limbs(rng, n), r(a.size());
  for (auto _ : state) {
    benchmark::DoNotOptimize(biguint_isqrt(r.data(), a.data()));
  }
  check_status(state);
}

void BM_Format10(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  set_size(state, n);
  std::mt19937_64 rng(7);
  Limbs a = random_limbs(rng, n);
  std::vector<char16_t> buf(static_cast<std::size_t>(biguint_text_size(10)));
  for (auto _ : state) {
    TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
    biguint_format(sink, a.data(), 10);
    benchmark::DoNotOptimize(sink.pos);
  }
  check_status(state);
}

void BM_FormatGoal(benchmark::State& state) {  // a number of exactly 20,000 decimal digits
  biguint_set_digits(20000);
  clear_status();
  Limbs a(static_cast<std::size_t>(BigUIntLimbs), 0), nine(a.size(), 0);
  biguint_pow10_i64(a.data(), 19999);
  nine[0] = 9;
  biguint_mul(a.data(), a.data(), nine.data());
  std::vector<char16_t> buf(static_cast<std::size_t>(biguint_text_size(10)));
  std::int64_t written = 0;
  for (auto _ : state) {
    TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
    biguint_format(sink, a.data(), 10);
    written = sink.pos;
    benchmark::DoNotOptimize(sink.pos);
  }
  if (written != 20000) state.SkipWithError("not 20,000 digits");
  check_status(state);
}

void BM_Parse10(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  set_size(state, n);
  std::mt19937_64 rng(8);
  Limbs a = random_limbs(rng, n), r(a.size());
  std::vector<char16_t> buf(static_cast<std::size_t>(biguint_text_size(10)));
  TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
  biguint_format(sink, a.data(), 10);
  for (auto _ : state) {
    biguint_parse(r.data(), buf.data(), sink.pos, 10);
    benchmark::DoNotOptimize(r.data());
  }
  if (r != a) state.SkipWithError("parse did not return the value");
  check_status(state);
}

void BM_Parse16(benchmark::State& state) {
  const std::int64_t n = state.range(0);
  set_size(state, n);
  std::mt19937_64 rng(9);
  Limbs a = random_limbs(rng, n), r(a.size());
  std::vector<char16_t> buf(static_cast<std::size_t>(biguint_text_size(16)));
  TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
  biguint_format(sink, a.data(), 16);
  for (auto _ : state) {
    biguint_parse(r.data(), buf.data(), sink.pos, 16);
    benchmark::DoNotOptimize(r.data());
  }
  if (r != a) state.SkipWithError("parse did not return the value");
  check_status(state);
}

void Sizes(benchmark::internal::Benchmark* b) {
  for (int n : {2, 26, 65, 520, 1039}) b->Arg(n);
}

}  // namespace

BENCHMARK(BM_Mul)->Apply(Sizes);
BENCHMARK(BM_DivMod)->Apply(Sizes);
BENCHMARK(BM_DivModGoal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DivModU64)->Apply(Sizes);
// Full-length exponents up to 65 limbs; the large moduli take a one-limb exponent (a full one
// would run for seconds to a minute per call).
BENCHMARK(BM_PowMod)
    ->Args({2, 1, 2})
    ->Args({26, 1, 26})
    ->Args({65, 1, 65})
    ->Args({65, 0, 65})
    ->Args({520, 1, 1})
    ->Args({1039, 1, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Isqrt)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Format10)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FormatGoal)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Parse10)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Parse16)->Apply(Sizes)->Unit(benchmark::kMicrosecond);
