// Rational add, mul and compare at 2, 26 and 520 limbs; conversions between the kinds at 16
// and 10,005 digits.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/arith.h"
#include "core/word_arith.h"
#include "integer/number.h"
#include "integer/rational.h"

namespace {

// Two rationals whose numerators and denominators fill about half of N limbs, so that sums
// and products fit.
struct Pair {
  std::vector<Word> a, b, r;
};

Pair make_pair(std::int64_t limbs) {
  arith_reset();
  biguint_set_limbs(limbs);
  const std::size_t words = rational_words();
  Pair p{std::vector<Word>(words), std::vector<Word>(words), std::vector<Word>(words)};
  std::mt19937_64 rng(7);
  for (std::vector<Word>* v : {&p.a, &p.b}) {
    rational_set_zero(v->data());
    const std::int64_t half = std::max<std::int64_t>(limbs / 2, 1);
    for (std::int64_t i = 0; i < half; ++i) {
      rat_num(v->data())[i] = rng() >> (limbs == 1 ? 33 : 1);
      rat_den(v->data())[i] = rng() >> (limbs == 1 ? 33 : 1);
    }
    rat_den(v->data())[0] |= 1;
    rational_reduce(rat_num(v->data()), rat_den(v->data()));
  }
  return p;
}

void BM_RationalAdd(benchmark::State& state) {
  Pair p = make_pair(state.range(0));
  for (auto _ : state) {
    rational_add(p.r.data(), p.a.data(), p.b.data(), false);
    benchmark::DoNotOptimize(p.r.data());
  }
}

void BM_RationalMul(benchmark::State& state) {
  Pair p = make_pair(state.range(0));
  for (auto _ : state) {
    rational_mul(p.r.data(), p.a.data(), p.b.data(), false);
    benchmark::DoNotOptimize(p.r.data());
  }
}

void BM_RationalCompare(benchmark::State& state) {
  Pair p = make_pair(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(rational_compare(p.a.data(), p.b.data(), false));
}

// A full-precision value and an integer of matching size for the conversions.
void BM_BigUIntToDecFloat(benchmark::State& state) {
  arith_reset();
  const std::int64_t digits = state.range(0);
  set_precision(digits);
  const std::int64_t limbs = biguint_limbs_of_digits(static_cast<std::uint64_t>(digits));
  biguint_set_limbs(limbs);
  std::vector<Word> x(static_cast<std::size_t>(limbs)), d(static_cast<std::size_t>(dec_words()));
  std::mt19937_64 rng(3);
  for (auto& w : x) w = rng();
  x.back() >>= 8;
  for (auto _ : state) {
    apply_rounding(d.data(), biguint_to_decfloat(d.data(), x.data(), limbs));
    benchmark::DoNotOptimize(d.data());
  }
}

void BM_DecFloatToBigUInt(benchmark::State& state) {
  arith_reset();
  const std::int64_t digits = state.range(0);
  set_precision(digits);
  const std::int64_t limbs = biguint_limbs_of_digits(static_cast<std::uint64_t>(digits)) + 1;
  std::vector<Word> x(static_cast<std::size_t>(dec_words())), r(static_cast<std::size_t>(limbs));
  std::mt19937_64 rng(4);
  for (std::size_t i = 2; i < x.size(); ++i) x[i] = rng() % kLimbBase;
  x[1] = kPow10[g_arith.top_digits - 1];
  x[0] = static_cast<Word>(digits - 1) * 2;  // an integer with all P digits
  for (auto _ : state) {
    decfloat_to_biguint(r.data(), limbs, x.data());
    benchmark::DoNotOptimize(r.data());
  }
}

void BM_RationalToDecFloat(benchmark::State& state) {
  arith_reset();
  const std::int64_t digits = state.range(0);
  Pair p = make_pair(digits > 100 ? 520 : 2);
  set_precision(digits);
  std::vector<Word> d(static_cast<std::size_t>(dec_words()));
  for (auto _ : state) {
    rational_to_decfloat(d.data(), p.a.data());
    benchmark::DoNotOptimize(d.data());
  }
}

}  // namespace

BENCHMARK(BM_RationalAdd)->Arg(2)->Arg(26)->Arg(520);
BENCHMARK(BM_RationalMul)->Arg(2)->Arg(26)->Arg(520);
BENCHMARK(BM_RationalCompare)->Arg(2)->Arg(26)->Arg(520);
BENCHMARK(BM_BigUIntToDecFloat)->Arg(16)->Arg(10005);
BENCHMARK(BM_DecFloatToBigUInt)->Arg(16)->Arg(10005);
BENCHMARK(BM_RationalToDecFloat)->Arg(16)->Arg(10005);
