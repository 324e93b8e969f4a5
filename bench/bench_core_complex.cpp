// Complex elementary functions beside their real counterparts at 16, 100 and 1000 digits: each
// pair takes a random argument of the same size (the complex one with both parts of it), so
// the ratio of the two times is the price of the complex value.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/arith.h"
#include "core/complex.h"
#include "core/complex_functions.h"
#include "core/elementary.h"
#include "core/hyperbolic.h"
#include "core/trig.h"

namespace {

// A random full-precision value in [0.1, 1) with the given sign, at the current precision.
void fill(DecFloat* v, std::mt19937_64& rng, bool negative) {
  for (std::int64_t i = 2; i <= g_arith.limb_count; ++i) v[i] = rng() % kLimbBase;
  Word lo = 1;
  for (std::int64_t i = 1; i < g_arith.top_digits; ++i) lo *= 10;
  v[1] = lo + rng() % (lo * 9);
  v[0] = static_cast<Word>(-1) * 2 + (negative ? 1 : 0);
}

template <class F>
void run_real(benchmark::State& state, F f) {
  arith_reset();
  set_precision(state.range(0));
  std::mt19937_64 rng(11);
  std::vector<Word> x(static_cast<std::size_t>(dec_words())), r(x.size());
  fill(x.data(), rng, false);
  for (auto _ : state) {
    f(r.data(), x.data());
    benchmark::DoNotOptimize(r.data());
  }
}

template <class F>
void run_complex(benchmark::State& state, F f) {
  arith_reset();
  set_precision(state.range(0));
  std::mt19937_64 rng(11);
  std::vector<Word> z(cplx_words()), r(z.size());
  fill(cplx_re(z.data()), rng, false);
  fill(cplx_im(z.data()), rng, true);
  for (auto _ : state) {
    f(r.data(), z.data());
    benchmark::DoNotOptimize(r.data());
  }
}

void exp_real(DecFloat* r, const DecFloat* x) {
  dec_exp10_rounded(r, x, ExpMode::E);
}
void sin_real(DecFloat* r, const DecFloat* x) {
  apply_rounding(r, with_guard_digits(
                        4,
                        [](DecFloat* d, const DecFloat* a) -> Word {
                          dec_sin_cos(d, nullptr, a);
                          return 0;
                        },
                        r, x));
}
void tan_real(DecFloat* r, const DecFloat* x) {
  apply_rounding(r, with_guard_digits(4, dec_tan, r, x));
}
void sinh_real(DecFloat* r, const DecFloat* x) {
  apply_rounding(r, with_guard_digits(4, dec_sinh, r, x));
}
void acosh_real(DecFloat* r, const DecFloat* x) {
  ScratchScope scope;
  DecFloat* y = scratch_dec();
  dec_div_rounded(y, x, x);
  dec_add_rounded(y, y, x);  // 1 + x
  dec_acosh(r, y);
}
void pow_real(DecFloat* r, const DecFloat* x) {
  dec_pow_rounded(r, x, x);
}
void pow_complex(Complex* r, const Complex* z) {
  cplx_pow(r, z, z);
}
void logx_real(DecFloat* r, const DecFloat* x) {
  ScratchScope scope;
  DecFloat* b = scratch_dec();
  dec_from_word(b, 3);
  dec_logx_rounded(r, b, x);
}
void logx_complex(Complex* r, const Complex* z) {
  ScratchScope scope;
  Complex* b = scratch_cplx();
  dec_from_word(cplx_re(b), 3);
  dec_from_word(cplx_im(b), 2);
  cplx_logx(r, b, z);
}

#define PAIR(name, real, complex)                                                         \
  void BM_Real_##name(benchmark::State& s) {                                              \
    run_real(s, real);                                                                    \
  }                                                                                       \
  void BM_Cplx_##name(benchmark::State& s) {                                              \
    run_complex(s, complex);                                                              \
  }                                                                                       \
  BENCHMARK(BM_Real_##name)->Arg(16)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond); \
  BENCHMARK(BM_Cplx_##name)->Arg(16)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

PAIR(Exp, exp_real, cplx_exp)
PAIR(Ln, dec_ln_rounded, cplx_ln)
PAIR(Log10, dec_log10_rounded, cplx_log10)
PAIR(Logx, logx_real, logx_complex)
PAIR(Pow, pow_real, pow_complex)
PAIR(Sin, sin_real, cplx_sin)
PAIR(Cos, sin_real, cplx_cos)
PAIR(Tan, tan_real, cplx_tan)
PAIR(Sinh, sinh_real, cplx_sinh)
PAIR(Cosh, sinh_real, cplx_cosh)
PAIR(Tanh, dec_tanh, cplx_tanh)
PAIR(Asin, dec_asin, cplx_asin)
PAIR(Acos, dec_acos, cplx_acos)
PAIR(Atan, dec_atan, cplx_atan)
PAIR(Asinh, dec_asinh, cplx_asinh)
PAIR(Acosh, acosh_real, cplx_acosh)
PAIR(Atanh, dec_atanh, cplx_atanh)

}  // namespace
