// One Solve of the linear-systems page for 25 equations, from the cell texts to the result
// text: rational with entries of 60 bits (solutions of about 1,500 bits, near the 1,664-bit
// limit), rational with entries that fill the 1,664 bits themselves (the solution cannot fit,
// so this measures how soon the overflow message comes), and real at 1,000 digits with
// 1,000-digit entries. Goal: each under 1 s.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "app/app_error.h"
#include "app/messages.h"
#include "core/thread_scratch.h"
#include "solvers/linear_page.h"

namespace {

std::u16string digits_text(std::mt19937_64& rng, int digits, bool point) {
  std::u16string t;
  if (rng() % 2) t += u'-';
  t += static_cast<char16_t>(u'1' + rng() % 9);
  for (int i = 1; i < digits; ++i) {
    if (point && i == 1) t += u'.';
    t += static_cast<char16_t>(u'0' + rng() % 10);
  }
  return t;
}

void run(benchmark::State& state, std::uint32_t type, int digits, bool point, bool fits = true) {
  load_texts(kLanguageEnglish);
  thread_scratch_init();
  std::mt19937_64 rng(2026);
  LinearGrid grid;
  SetEquationCount(grid, 25);
  for (int r = 0; r < 25; ++r) {
    for (int c = 0; c < 25; ++c) grid.cells[r][c] = digits_text(rng, digits, point);
    grid.cells[r][kLinearColumnB] = digits_text(rng, digits, point);
  }
  LinearRequest req;
  req.type = type;
  req.digits = 1000;
  req.grid = &grid;
  std::u16string text;
  bool ok = true;
  for (auto _ : state) {
    ok = RunLinearSolve(req, text) && ok;
    benchmark::DoNotOptimize(text.data());
  }
  thread_scratch_free();
  if (ok != fits) state.SkipWithError(fits ? "solve failed" : "overflow not reported");
  state.counters["chars"] = static_cast<double>(text.size());
}

void BM_Rational25(benchmark::State& state) {
  run(state, kTypeRational, 18, false);  // 18 digits, about 60 bits
}
void BM_Rational25FullEntries(benchmark::State& state) {
  run(state, kTypeRational, 500, false, false);  // 500 digits, about 1,661 bits
}
void BM_Real25At1000(benchmark::State& state) {
  run(state, kTypeReal, 1000, true);
}

}  // namespace

BENCHMARK(BM_Rational25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rational25FullEntries)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Real25At1000)->Unit(benchmark::kMillisecond);
