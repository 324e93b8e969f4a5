// Elementary functions of the decimal core at 16, 100, 1000 and 10005 digits, each through
// its rounded entry point (guard digits and the final rounding included).
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/arith.h"
#include "core/constants.h"
#include "core/elementary.h"
#include "core/trig.h"

namespace {

// A random full-precision value with the given exponent.
std::vector<Word> make_value(std::int64_t digits, std::int64_t exponent, std::uint64_t seed) {
  arith_reset();
  set_precision(digits);
  std::vector<Word> v(static_cast<std::size_t>(dec_words()));
  std::mt19937_64 rng(seed);
  for (std::size_t i = 2; i < v.size(); ++i) v[i] = rng() % kLimbBase;
  Word lo = 1;
  for (std::int64_t i = 1; i < g_arith.top_digits; ++i) lo *= 10;
  v[1] = lo + rng() % (lo * 9);
  v[0] = static_cast<Word>(exponent) * 2;
  return v;
}

template <class F>
void run_unary(benchmark::State& state, std::int64_t exponent, F f) {
  std::vector<Word> x = make_value(state.range(0), exponent, 7);
  std::vector<Word> r(x.size());
  for (auto _ : state) {
    f(r.data(), x.data());
    benchmark::DoNotOptimize(r.data());
  }
}

void BM_Exp(benchmark::State& state) {
  run_unary(state, 0, [](DecFloat* r, const DecFloat* x) { dec_exp10_rounded(r, x, ExpMode::E); });
}
void BM_Ln(benchmark::State& state) {
  run_unary(state, 0, dec_ln_rounded);
}
void BM_Sqrt(benchmark::State& state) {
  run_unary(state, 0, dec_sqrt_rounded);
}
// Square roots by the method in force (second argument 0: the root with remainder, from
// kNewtonSqrtLimbs on the reciprocal square root) or by the plain iteration with divisions (1).
void BM_SqrtMethod(benchmark::State& state) {
  auto sqrt = state.range(1) ? dec_sqrt_plain : dec_sqrt;
  run_unary(state, 0, [sqrt](DecFloat* r, const DecFloat* x) {
    apply_rounding(r, with_guard_digits(kSqrtGuardDigits, sqrt, r, x));
  });
}
void BM_Cbrt(benchmark::State& state) {
  run_unary(state, 0, dec_cbrt_rounded);
}

void BM_Pow(benchmark::State& state) {
  std::vector<Word> x = make_value(state.range(0), 0, 7);
  std::vector<Word> y = make_value(state.range(0), 0, 9);
  std::vector<Word> r(x.size());
  for (auto _ : state) {
    dec_pow_rounded(r.data(), x.data(), y.data());
    benchmark::DoNotOptimize(r.data());
  }
}

// n! for n = 1000 (the product at 1000 digits and more, Stirling's series below).
void BM_Factorial1000(benchmark::State& state) {
  arith_reset();
  set_precision(state.range(0));
  std::vector<Word> x(static_cast<std::size_t>(dec_words())), r(x.size());
  dec_from_word(x.data(), 1000);
  for (auto _ : state) {
    dec_factorial_rounded(r.data(), x.data());
    benchmark::DoNotOptimize(r.data());
  }
}

void BM_ConstantLoad(benchmark::State& state) {
  arith_reset();
  set_precision(state.range(0));
  std::vector<Word> r(static_cast<std::size_t>(dec_words()));
  for (auto _ : state) {
    apply_rounding(r.data(), load_constant(r.data(), kConstLn10));
    benchmark::DoNotOptimize(r.data());
  }
}

// Around the precisions where the kernels change method (the plain series below, halving or
// a Newton step above): the switch points are where these rows cross.
void BM_ExpNearSwitch(benchmark::State& state) {
  BM_Exp(state);
}
void BM_LnNearSwitch(benchmark::State& state) {
  BM_Ln(state);
}
void BM_SinNearSwitch(benchmark::State& state) {
  run_unary(state, 0, [](DecFloat* r, const DecFloat* x) {
    apply_rounding(r, with_guard_digits(
                          3,
                          [](DecFloat* d, const DecFloat* a) -> Word {
                            dec_sin_cos(d, nullptr, a);
                            return 0;
                          },
                          r, x));
  });
}
void BM_AtanNearSwitch(benchmark::State& state) {
  run_unary(state, 0, dec_atan);
}

}  // namespace

BENCHMARK(BM_ExpNearSwitch)->DenseRange(70, 130, 15)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LnNearSwitch)->DenseRange(230, 350, 30)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SinNearSwitch)->DenseRange(100, 160, 15)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AtanNearSwitch)->DenseRange(200, 320, 30)->Unit(benchmark::kMicrosecond);

#define DIGITS Arg(16)->Arg(100)->Arg(1000)->Arg(10005)
BENCHMARK(BM_Exp)->DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Ln)->DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sqrt)->DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SqrtMethod)
    ->ArgsProduct({{100, 190, 285, 380, 570, 760, 1000, 1140, 2280, 10005}, {0, 1}});
BENCHMARK(BM_Cbrt)->DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Pow)->DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Factorial1000)->DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ConstantLoad)->DIGITS->Unit(benchmark::kMicrosecond);
