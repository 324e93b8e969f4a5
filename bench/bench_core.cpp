// Basic operations of the decimal core at 16, 100, 1000 and 10005 digits.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "core/arith.h"
#include "core/complex.h"
#include "core/decfloat.h"
#include "core/hyperbolic.h"
#include "core/limbs.h"
#include "core/text.h"
#include "core/trig.h"

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

// Quotients by Newton's reciprocal (second argument 0) or by long division (1) across the
// switch at kNewtonDivLimbs.
void BM_DivMethod(benchmark::State& state) {
  Operands o = make_operands(state.range(0));
  auto div = state.range(1) ? dec_div_long : dec_div;
  for (auto _ : state) {
    apply_rounding(o.r.data(), div(o.r.data(), o.a.data(), o.b.data()));
    benchmark::DoNotOptimize(o.r.data());
  }
}

void BM_Sqr(benchmark::State& state) {
  Operands o = make_operands(state.range(0));
  for (auto _ : state) {
    dec_mul_rounded(o.r.data(), o.a.data(), o.a.data());
    benchmark::DoNotOptimize(o.r.data());
  }
}

// Exact limb products of n limbs with the Karatsuba threshold t (the columns alone when t > n,
// the vector path when t = 0, split from -t pieces on when t < 0), squares when the third
// argument is 1: the figures behind kKaratsubaLimbs, kVectorLimbs and kVectorKaratsubaPieces.
void BM_LimbProduct(benchmark::State& state) {
  const std::int64_t n = state.range(0), t = state.range(1);
  std::mt19937_64 rng(7);
  std::vector<Word> a(static_cast<std::size_t>(n)), b(a.size()), r(2 * a.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    a[i] = rng() % kLimbBase;
    b[i] = rng() % kLimbBase;
  }
  arith_reset();
  const Word* bb = state.range(2) ? a.data() : b.data();
  if (t <= 0 && !vector_products_available()) {
    state.SkipWithError("no vector path on this processor");
    return;
  }
  // t < 0: the vector path split by Karatsuba from -t pieces on
  if (t < 0) set_vector_karatsuba_pieces(-t);
  for (auto _ : state) {
    if (t <= 0) {
      vector_product(r.data(), a.data(), bb, n);
    } else {
      limbs_mul_karatsuba(r.data(), a.data(), bb, n, t);
    }
    benchmark::DoNotOptimize(r.data());
  }
  set_vector_karatsuba_pieces(kVectorKaratsubaPieces);
}

// Short products (columns from n - 4 on) of n limbs: by the column sums alone (second argument
// 0), split around Karatsuba's product (1) or on the vector path (2); squares when the third
// argument is 1.
void BM_ShortProduct(benchmark::State& state) {
  const std::int64_t n = state.range(0), method = state.range(1);
  std::mt19937_64 rng(7);
  std::vector<Word> a(static_cast<std::size_t>(n)), b(a.size()), r(2 * a.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    a[i] = rng() % kLimbBase;
    b[i] = rng() % kLimbBase;
  }
  arith_reset();
  const bool square = state.range(2) != 0;
  const Word* bb = square ? a.data() : b.data();
  if (method == 2 && !vector_products_available()) {
    state.SkipWithError("no vector path on this processor");
    return;
  }
  for (auto _ : state) {
    if (method == 0 && square) {
      square_columns(r.data(), a.data(), n, n - 4);
    } else if (method == 0) {
      product_columns(r.data(), a.data(), bb, n, n - 4);
    } else if (method == 1) {
      set_vector_products(false);
      limbs_mul_short(r.data(), a.data(), bb, n, 4, kShortProductLimbs);
      set_vector_products(true);
    } else {
      vector_short_product(r.data(), a.data(), bb, n, 4);
    }
    benchmark::DoNotOptimize(r.data());
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

// Trigonometric and hyperbolic functions on a of about 0.3 ... 3 (exponent 0 or -1).
template <class F>
void run_unary(benchmark::State& state, F f) {
  Operands o = make_operands(state.range(0));
  o.a[0] = 0;  // exponent 0: a in [1, 10)
  for (auto _ : state) {
    f(o.r.data(), o.a.data());
    benchmark::DoNotOptimize(o.r.data());
  }
}

void BM_Sin(benchmark::State& state) {
  run_unary(state, [](DecFloat* r, const DecFloat* a) {
    apply_rounding(r, with_guard_digits(
                          3,
                          [](DecFloat* d, const DecFloat* x) -> Word {
                            dec_sin_cos(d, nullptr, x);
                            return 0;
                          },
                          r, a));
  });
}
void BM_Cos(benchmark::State& state) {
  run_unary(state, [](DecFloat* r, const DecFloat* a) {
    apply_rounding(r, with_guard_digits(
                          3,
                          [](DecFloat* d, const DecFloat* x) -> Word {
                            dec_sin_cos(nullptr, d, x);
                            return 0;
                          },
                          r, a));
  });
}
void BM_Tan(benchmark::State& state) {
  run_unary(state, [](DecFloat* r, const DecFloat* a) {
    apply_rounding(r, with_guard_digits(3, dec_tan, r, a));
  });
}
void BM_Atan(benchmark::State& state) {
  run_unary(state, dec_atan);
}
void BM_Asin(benchmark::State& state) {
  run_unary(state, [](DecFloat* r, const DecFloat* a) {
    ScratchScope s;
    DecFloat* t = scratch_dec();
    dec_div_word(t, a, 10, 0);  // into (-1, 1)
    dec_asin(r, t);
  });
}
void BM_Sinh(benchmark::State& state) {
  run_unary(state, [](DecFloat* r, const DecFloat* a) {
    apply_rounding(r, with_guard_digits(3, dec_sinh, r, a));
  });
}
void BM_Tanh(benchmark::State& state) {
  run_unary(state, dec_tanh);
}

// Complex operands from the two random values: a + bi and b + ai.
template <class F>
void run_complex(benchmark::State& state, F f) {
  Operands o = make_operands(state.range(0));
  const std::size_t n = o.a.size();
  std::vector<Word> x(2 * n), y(2 * n), r(2 * n);
  std::copy(o.a.begin(), o.a.end(), x.begin());
  std::copy(o.b.begin(), o.b.end(), x.begin() + static_cast<std::ptrdiff_t>(n));
  std::copy(o.b.begin(), o.b.end(), y.begin());
  std::copy(o.a.begin(), o.a.end(), y.begin() + static_cast<std::ptrdiff_t>(n));
  for (auto _ : state) {
    f(r.data(), x.data(), y.data());
    benchmark::DoNotOptimize(r.data());
  }
}
void BM_ComplexMul(benchmark::State& state) {
  run_complex(state, cplx_mul);
}
void BM_ComplexDiv(benchmark::State& state) {
  run_complex(state, cplx_div);
}
void BM_ComplexRoot(benchmark::State& state) {
  run_complex(state, [](Complex* r, const Complex* x, const Complex*) { cplx_root(r, 3, x, 1); });
}

}  // namespace

#define NUMERION_DIGITS Arg(16)->Arg(100)->Arg(1000)->Arg(10005)
BENCHMARK(BM_Add)->NUMERION_DIGITS;
BENCHMARK(BM_Mul)->NUMERION_DIGITS;
BENCHMARK(BM_Div)->NUMERION_DIGITS;
BENCHMARK(BM_Sqr)->NUMERION_DIGITS;
BENCHMARK(BM_DivMethod)->ArgsProduct({{380, 570, 760, 950, 1000, 1140, 1520, 2280, 3040}, {0, 1}});
BENCHMARK(BM_LimbProduct)
    ->ArgsProduct({{8, 16, 40, 64, 100, 133, 265, 400, 530, 800, 1060},
                   {0, -200, -300, -3000, 1000, 40, 64, 100},
                   {0, 1}});
BENCHMARK(BM_ShortProduct)
    ->ArgsProduct({{8, 12, 16, 24, 32, 55, 80, 100, 133, 265, 530}, {0, 1, 2}, {0, 1}});
BENCHMARK(BM_Parse)->NUMERION_DIGITS;
BENCHMARK(BM_Format)->NUMERION_DIGITS;
BENCHMARK(BM_Sin)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Cos)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tan)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Atan)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Asin)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sinh)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tanh)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComplexMul)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComplexDiv)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComplexRoot)->NUMERION_DIGITS->Unit(benchmark::kMicrosecond);
