// tanh, asinh and atanh (and sinh, cosh as the calculator rounds them) of small arguments,
// 1e-6 < |x| < 0.1, at 1,000 to 10,005 digits against mpmath (tests/data/gen_hyper_small.py):
// correctly rounded, every case. Long series there once lost a few units of the last place.
#include <gtest/gtest.h>

#include <fstream>

#include "core/arith.h"
#include "core/elementary.h"
#include "core/hyperbolic.h"
#include "tests/core/test_util.h"

TEST(HyperSmallArguments, CorrectlyRoundedAtHighPrecision) {
  std::ifstream file(NUMERION_TEST_DATA "/hyper_small.txt");
  ASSERT_TRUE(file);
  std::string line;
  int cases = 0, failures = 0;
  while (std::getline(file, line)) {
    LineReader in(line);
    const std::string fn = in.word();
    arith_reset();
    set_precision(std::stoll(in.word()));
    Dec x, want, got;
    in.number(x);
    in.word();
    in.number(want);
    if (fn == "tanh") dec_tanh(got, x);
    if (fn == "asinh") dec_asinh(got, x);
    if (fn == "atanh") dec_atanh(got, x);
    if (fn == "sinh") dec_sinh_rounded(got, x);
    if (fn == "cosh") dec_cosh_rounded(got, x);
    ++cases;
    if ((raw_text(got) != raw_text(want) || g_arith.status != 0) && ++failures <= 5) {
      const std::string g = raw_text(got), w = raw_text(want);
      ADD_FAILURE() << fn << " at " << g_arith.precision << " digits of "
                    << raw_text(x).substr(0, 40) << "...: ends "
                    << g.substr(g.size() > 30 ? g.size() - 30 : 0) << ", want "
                    << w.substr(w.size() > 30 ? w.size() - 30 : 0);
    }
  }
  EXPECT_EQ(failures, 0) << "of " << cases;
  EXPECT_EQ(cases, 127);
}
