// Sine, cosine, tangent and arc tangent against mpmath (tests/data/gen_trig.py), including
// arguments next to multiples of pi/4 and pi/2 where the reduction cancels many digits: every
// result correctly rounded.
#include <gtest/gtest.h>

#include <fstream>

#include "core/arith.h"
#include "core/trig.h"
#include "tests/core/test_util.h"

TEST(TrigReference, CorrectlyRounded) {
  std::ifstream file(NUMERION_TEST_DATA "/trig.txt");
  ASSERT_TRUE(file);
  std::string line;
  int cases = 0, failures = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    LineReader in(line);
    const std::string fn = in.word();
    const std::int64_t p = std::stoll(in.word());
    arith_reset();
    set_precision(p);
    Dec x, want, got;
    in.number(x);
    in.word();  // "="
    in.number(want);
    if (fn == "sin") dec_trig_rounded(got, x, 0, 0);
    if (fn == "cos") dec_trig_rounded(got, x, 1, 0);
    if (fn == "tan") dec_trig_rounded(got, x, 2, 0);
    if (fn == "atan") dec_atan(got, x);
    ++cases;
    if ((raw_text(got) != raw_text(want) || g_arith.status != 0) && ++failures <= 10) {
      ADD_FAILURE() << fn << " P=" << p << " x=" << raw_text(x) << "\n got  " << raw_text(got)
                    << "\n want " << raw_text(want) << " status " << g_arith.status;
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GT(cases, 2000);
}

TEST(Trig, SpecialValuesAndDomain) {
  arith_reset();
  Dec x, r, c;
  make_infinity(x, false);
  dec_sin_cos(r, c, x);
  EXPECT_EQ(raw_text(r) + raw_text(c), "NaNNaN");
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  set_digits(x, "1", kTrigMaxExponent);
  dec_sin_cos(r, nullptr, x);
  EXPECT_EQ(raw_text(r), "NaN");
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  make_zero(x, true);
  dec_sin_cos(r, c, x);
  EXPECT_EQ(raw_text(r) + " " + raw_text(c), "-0 1.000000000000000e0");
  make_infinity(x, true);
  dec_atan(r, x);
  EXPECT_EQ(raw_text(r), "-1.570796326794897e0");
  dec_from_int(x, 1);
  dec_atan(r, x);
  EXPECT_EQ(raw_text(r), "7.853981633974483e-1");
  Dec y;
  dec_from_int(x, -1);
  make_zero(y, false);
  dec_angle(r, y, x);
  EXPECT_EQ(raw_text(r), "3.141592653589793e0");
  dec_angle(r, x, x);
  EXPECT_EQ(raw_text(r), "-2.356194490192345e0");
  make_zero(x, false);
  dec_angle(r, x, x);
  EXPECT_EQ(raw_text(r), "0");
  dec_from_int(y, -2);
  dec_angle(r, y, x);
  EXPECT_EQ(raw_text(r), "-1.570796326794897e0");
  dec_from_int(x, 180);
  dec_to_radians(r, x, 180);
  EXPECT_EQ(raw_text(r), "3.141592653589793e0");
  apply_rounding(x, dec_half_pi(x));
  dec_from_radians(r, x, 200);
  EXPECT_EQ(raw_text(r), "1.000000000000000e2");
  EXPECT_EQ(g_arith.status, 0u);
}
