// ncr and npr of large integers at 1,000 and 10,005 digits through the rounded entry point:
// the binomial splitting and the quotient of factorials. Targets: 1 s at 1,000 digits, 10 s at
// 10,005 for every representable result.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/arith.h"
#include "core/elementary.h"

namespace {

void run(benchmark::State& state, std::uint64_t n, std::uint64_t k, bool perm) {
  arith_reset();
  set_precision(state.range(0));
  std::vector<Word> a(static_cast<std::size_t>(dec_words())), b(a.size()), r(a.size());
  dec_from_word(a.data(), n);
  dec_from_word(b.data(), k);
  for (auto _ : state) {
    dec_binomial_rounded(r.data(), a.data(), b.data(), perm);
    benchmark::DoNotOptimize(r.data());
  }
}

void BM_Ncr_1e7_5e6(benchmark::State& s) {
  run(s, 10000000, 5000000, false);
}
void BM_Ncr_2e7_1e7(benchmark::State& s) {
  run(s, 20000000, 10000000, false);
}
void BM_Ncr_4e7_15e6(benchmark::State& s) {
  run(s, 40000000, 15000000, false);
}
void BM_Ncr_1e12_5e11(benchmark::State& s) {
  run(s, 1000000000000, 500000000000, false);
}
void BM_Npr_1e12_1e7(benchmark::State& s) {
  run(s, 1000000000000, 10000000, true);
}
void BM_Ncr_1e17_5e6(benchmark::State& s) {
  run(s, 100000000000000000, 5000000, false);
}

#define BINOMIAL(f) \
  BENCHMARK(f)->Arg(1000)->Arg(10005)->Unit(benchmark::kMillisecond)->Iterations(1)
BINOMIAL(BM_Ncr_1e7_5e6);
BINOMIAL(BM_Ncr_2e7_1e7);
BINOMIAL(BM_Ncr_4e7_15e6);
BINOMIAL(BM_Ncr_1e12_5e11);
BINOMIAL(BM_Npr_1e12_1e7);
BINOMIAL(BM_Ncr_1e17_5e6);

}  // namespace
