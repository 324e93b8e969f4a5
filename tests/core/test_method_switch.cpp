// The elementary functions where their kernels change method (tests/data/gen_method_switch.py):
// exp and sin/cos from the plain series to halving with a rectangular-splitting series, ln and
// atan to a Newton step, ln(1 + x) and artanh through the full logarithm, each at precisions
// on both sides of the switch and at 1,000 and 2,500 digits. Every result within one unit of
// mpmath's correctly rounded value, and nearly all equal to it.
#include <gtest/gtest.h>

#include <fstream>

#include "core/arith.h"
#include "core/elementary.h"
#include "core/elementary_internal.h"
#include "core/hyperbolic.h"
#include "core/trig.h"
#include "tests/core/test_util.h"

namespace {

template <class Kernel>
void rounded(DecFloat* r, const DecFloat* x, Kernel k) {
  apply_rounding(r, with_guard_digits(4, k, r, x));
}

void evaluate(const std::string& fn, DecFloat* r, const DecFloat* x, const DecFloat* y) {
  auto sin_only = [](DecFloat* d, const DecFloat* a) -> Word {
    dec_sin_cos(d, nullptr, a);
    return 0;
  };
  auto cos_only = [](DecFloat* d, const DecFloat* a) -> Word {
    dec_sin_cos(nullptr, d, a);
    return 0;
  };
  if (fn == "exp") dec_exp10_rounded(r, x, ExpMode::E);
  if (fn == "ln") dec_ln_rounded(r, x);
  if (fn == "sin") rounded(r, x, sin_only);
  if (fn == "cos") rounded(r, x, cos_only);
  if (fn == "atan") dec_atan(r, x);
  if (fn == "asin") dec_asin(r, x);
  if (fn == "sinh") rounded(r, x, dec_sinh);
  if (fn == "cosh") rounded(r, x, dec_cosh);
  if (fn == "atanh") dec_atanh(r, x);
  if (fn == "asinh") dec_asinh(r, x);
  if (fn == "angle") dec_angle(r, x, y);
  if (fn == "pow") dec_pow_rounded(r, x, y);
}

}  // namespace

TEST(MethodSwitch, BothSidesAgreeWithMpmath) {
  std::ifstream file(NUMERION_TEST_DATA "/method_switch.txt");
  ASSERT_TRUE(file) << "missing test data";
  std::string line;
  int cases = 0, inexact = 0, failures = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    LineReader in(line);
    const std::string fn = in.word();
    const std::int64_t p = std::stoll(in.word());
    arith_reset();
    set_precision(p);
    Dec x, y, want, got;
    in.number(x);
    if (fn == "angle" || fn == "pow") in.number(y);
    in.word();  // "="
    in.number(want);
    evaluate(fn, got, x, y);
    ++cases;
    if (raw_text(got) != raw_text(want)) ++inexact;
    if ((!within_one_ulp(got, want) || g_arith.status != 0) && ++failures <= 10) {
      ADD_FAILURE() << fn << " P=" << p << " x=" << raw_text(x).substr(0, 60) << "\n got  "
                    << raw_text(got).substr(0, 200) << "\n want " << raw_text(want).substr(0, 200)
                    << " status " << g_arith.status;
    }
    EXPECT_EQ(scratch_used_words(), 0u) << fn << " left temporaries on the scratch stack";
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GT(cases, 900);
  EXPECT_LE(inexact, cases / 100) << inexact << " of " << cases << " off by one unit";
  arith_reset();
}

// The series under the new methods on its own, at precisions inside a limb and on limb
// boundaries: the chain with divisors 1, 2, 3, ... at z = 1/8 is e^(1/8); with (2l+1)(2l+2) at
// z = -1/16 it is 32 (1 - cos(1/4)). Leading 36 digits from mpmath.
TEST(MethodSwitch, ChainSeriesSums) {
  for (std::int64_t p : {40, 57, 190, 1000}) {
    arith_reset();
    set_precision(p);
    Dec z, s;
    dec_from_word(z, 1);
    dec_div_word(z, z, 8, 0);
    elem::chain_series(s, z, [](std::uint64_t l) { return l; });
    EXPECT_EQ(raw_text(s).substr(0, 37), "1.13314845306682631682900722781179387") << p;
    dec_from_word(z, 1);
    dec_div_word(z, z, 16, 0);
    dec_negate(z);
    elem::chain_series(s, z, [](std::uint64_t l) { return (2 * l + 1) * (2 * l + 2); });
    EXPECT_EQ(raw_text(s).substr(0, 37), "9.94802505259366907372945616185945606") << p;
    EXPECT_EQ(scratch_used_words(), 0u);
  }
  arith_reset();
}
