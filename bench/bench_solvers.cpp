// Roots of a degree-10 polynomial with integer coefficients (simple real and complex roots) and
// of one with a 4-fold root, at P = 10, 100 and 750 digits (goal: under 2 s at P = 100).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/app_error.h"
#include "solvers/roots.h"

namespace {

void solve(benchmark::State& state, const std::vector<std::u16string>& high_first) {
  const std::int64_t p = state.range(0);
  set_precision(p);
  RootPolynomial poly;
  root_polynomial_init(poly, static_cast<std::int64_t>(high_first.size()) - 1);
  for (std::size_t i = 0; i < high_first.size(); ++i) {
    const std::u16string& t = high_first[i];
    cplx_parse(root_coefficient(poly, poly.degree - static_cast<std::int64_t>(i)), t.c_str(),
               static_cast<std::int64_t>(t.size()), 0);
  }
  RootSet r;
  for (auto _ : state) {
    clear_app_error();
    ApproximateRoots(poly, p, 0, r);
    benchmark::DoNotOptimize(r.values.data());
  }
  if (r.count < 0) state.SkipWithError("solve failed");
}

void BM_Degree10(benchmark::State& state) {
  solve(state, {u"1", u"-3", u"2", u"7", u"-5", u"11", u"-13", u"4", u"9", u"-6", u"8"});
}
// (x - 2)^4 (x^6 + x + 1)
void BM_Degree10Multiple(benchmark::State& state) {
  solve(state, {u"1", u"-8", u"24", u"-32", u"16", u"1", u"-7", u"16", u"-8", u"-16", u"16"});
}

}  // namespace

BENCHMARK(BM_Degree10)->Arg(10)->Arg(100)->Arg(750)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Degree10Multiple)->Arg(10)->Arg(100)->Arg(750)->Unit(benchmark::kMillisecond);
