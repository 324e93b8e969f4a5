// Roots of a degree-10 polynomial with integer coefficients (simple real and complex roots) and
// of one with a 4-fold root, at P = 10, 100 and 750 digits (goals: under 20 ms at P = 100, under
// 100 ms at P = 750, under 300 ms with the 4-fold root at P = 750), and the same by the
// iteration at full working precision for comparison; the exact solve of a degree-10
// polynomial with rational roots at P = 10 and 100.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/app_error.h"
#include "core/thread_scratch.h"
#include "solvers/equation_job.h"
#include "solvers/roots.h"

namespace {

using Solver = void (*)(const RootPolynomial&, std::int64_t, std::uint32_t, RootSet&);

void solve(benchmark::State& state, const std::vector<std::u16string>& high_first,
           Solver solver = ApproximateRoots) {
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
    solver(poly, p, 0, r);
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
void BM_Degree10ByIteration(benchmark::State& state) {
  solve(state, {u"1", u"-3", u"2", u"7", u"-5", u"11", u"-13", u"4", u"9", u"-6", u"8"},
        ApproximateRootsByIteration);
}
void BM_Degree10MultipleByIteration(benchmark::State& state) {
  solve(state, {u"1", u"-8", u"24", u"-32", u"16", u"1", u"-7", u"16", u"-8", u"-16", u"16"},
        ApproximateRootsByIteration);
}

// The roots -3, -5/2, -1, -1/3, 1/2, 1 (twice), 7/4, 2 and 3; the coefficients come from
//   python3 -c 'from fractions import Fraction as F
//   p = [1]
//   for r in [F(-3),F(-5,2),F(-1),F(-1,3),F(1,2),F(1),F(1),F(2),F(7,4),F(3)]:
//       q = [0] * (len(p) + 1)
//       for i, c in enumerate(p): q[i+1] += r.denominator*c; q[i] -= r.numerator*c
//       p = q
//   print(p[::-1])'
void BM_ExactDegree10(benchmark::State& state) {
  thread_scratch_init();
  EquationRequest request;
  request.degree = 10;
  request.exact = true;
  request.digits = state.range(0);
  request.cells = {u"48",   u"-116", u"-692",  u"1917", u"2052", u"-8661",
                   u"3162", u"7283", u"-5200", u"-423", u"630"};
  std::int64_t identified = 0;
  for (auto _ : state) {
    EquationJob job;
    if (!StartEquationJob(request, job)) break;
    EquationWorker(job);
    identified = 0;
    for (std::int64_t j = 0; j < job.roots.count; ++j) {
      identified += job.roots.exact[static_cast<std::size_t>(j)].empty() ? 0 : 1;
    }
  }
  thread_scratch_free();
  if (app_error_code() != 0 || identified != 9) state.SkipWithError("exact solve failed");
}

}  // namespace

BENCHMARK(BM_ExactDegree10)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Degree10)->Arg(10)->Arg(100)->Arg(750)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Degree10Multiple)->Arg(10)->Arg(100)->Arg(750)->Unit(benchmark::kMillisecond);
// Seconds at 750 digits; 100 suffice for the comparison.
BENCHMARK(BM_Degree10ByIteration)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Degree10MultipleByIteration)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
