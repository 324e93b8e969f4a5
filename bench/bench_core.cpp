// Basic operations of the decimal core at 16, 100, 1000 and 10005 digits.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "core/arith.h"
#include "core/decfloat.h"
#include "core/text.h"

namespace {

struct Operands {
  std::vector<Word> a, b, r;
};

// Random full-precision mantissas with exponents near 0.
Operands make_operands(std::int64_t digits) {
  arith_reset();
  set_precision(digits);
  const std::size_t words = static_cast<std::size_t>(dec_words());
  Operands o{std::vector<Word>(words), std::vector<Word>(words), std::vector<Word>(words)};
  std::mt19937_64 rng(42);
  for (std::vector<Word>* v : {&o.a, &o.b}) {
    for (std::size_t i = 1; i < words; ++i) (*v)[i] = rng() % kLimbBase;
    const Word top = static_cast<Word>(1) << 0;
    (void)top;
    Word lo = 1;
    for (std::int64_t i = 1; i < g_arith.top_digits; ++i) lo *= 10;
    (*v)[1] = lo + rng() % (lo * 9);
    (*v)[0] = (v == &o.a ? 3 : 1) * 2;
  }
  return o;
}

void BM_Add(benchmark::State& state) {
  Operands o = make_operands(state.range(0));
  for (auto _ : state) {
    Word rl = dec_add_sub(o.r.data(), o.a.data(), o.b.data(), 0);
    apply_rounding(o.r.data(), rl);
    benchmark::DoNotOptimize(o.r.data());
  }
}

void BM_Mul(benchmark::State& state) {
  Operands o = make_operands(state.range(0));
  for (auto _ : state) {
    dec_mul_rounded(o.r.data(), o.a.data(), o.b.data());
    benchmark::DoNotOptimize(o.r.data());
  }
}

void BM_Div(benchmark::State& state) {
  Operands o = make_operands(state.range(0));
  for (auto _ : state) {
    dec_div_rounded(o.r.data(), o.a.data(), o.b.data());
    benchmark::DoNotOptimize(o.r.data());
  }
}

void BM_Format(benchmark::State& state) {
  Operands o = make_operands(state.range(0));
  std::vector<char16_t> buf(static_cast<std::size_t>(dec_text_size(0)));
  for (auto _ : state) {
    TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
    dec_format(sink, o.a.data(), 0);
    benchmark::DoNotOptimize(buf.data());
  }
}

void BM_Parse(benchmark::State& state) {
  Operands o = make_operands(state.range(0));
  std::vector<char16_t> buf(static_cast<std::size_t>(dec_text_size(0)));
  TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
  dec_format(sink, o.a.data(), kForceScientific);
  const std::int64_t len = sink.pos;
  for (auto _ : state) {
    Word rl = dec_parse(o.r.data(), buf.data(), len, 0);
    apply_rounding(o.r.data(), rl);
    benchmark::DoNotOptimize(o.r.data());
  }
}

}  // namespace

#define NUMERION_DIGITS Arg(16)->Arg(100)->Arg(1000)->Arg(10005)
BENCHMARK(BM_Add)->NUMERION_DIGITS;
BENCHMARK(BM_Mul)->NUMERION_DIGITS;
BENCHMARK(BM_Div)->NUMERION_DIGITS;
BENCHMARK(BM_Parse)->NUMERION_DIGITS;
BENCHMARK(BM_Format)->NUMERION_DIGITS;
