// Benchmarks of whole formula evaluations in the real type: a mix of functions and operators and
// a pure operator formula at 16 and 1,000 digits, and the parser's own overhead, a sum of 1,000
// small integers (goal: under 200 microseconds at 16 digits).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"

namespace {

void run(benchmark::State& state, const std::u16string& text) {
  thread_scratch_init();
  NumberType = kTypeReal;
  set_precision(state.range(0));
  std::vector<Word> result(num_words());
  FormulaContext ctx;
  ctx.text = text.c_str();
  ctx.flags = kAllowGrouping;
  ctx.result = result.data();
  for (auto _ : state) {
    evaluate_formula(ctx);
    benchmark::DoNotOptimize(result.data());
  }
  if (g_formula_error.code != 0) state.SkipWithError("formula error");
}

void BM_Functions(benchmark::State& state) {
  run(state, u"sin(1)+cos(1)*exp(2)/3");
}
void BM_Operators(benchmark::State& state) {
  run(state, u"((1+2)*3-4)/5");
}

void BM_Sum1000(benchmark::State& state) {
  std::u16string text = u"1";
  for (int i = 2; i <= 1000; ++i) {
    text += u'+';
    for (char c : std::to_string(i)) text += static_cast<char16_t>(c);
  }
  run(state, text);
}

BENCHMARK(BM_Functions)->Arg(16)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Operators)->Arg(16)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sum1000)->Arg(16)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
