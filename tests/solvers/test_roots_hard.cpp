// Ill-conditioned and wide-ranging equations, and the end of an iteration that does not settle.
#include "solvers_test_util.h"

namespace {

using HardRootsTest = SolverTest;

// Coefficients parsed with 30 more digits than the roots are asked for.
std::string solve_text(const std::vector<std::u16string>& coeffs, std::int64_t p) {
  set_precision(p + 30);
  RootPolynomial poly = poly_of(coeffs);
  RootSet r;
  ApproximateRoots(poly, p, 0, r);
  if (r.count < 0) return "error " + std::to_string(app_error_code());
  return roots_text(r);
}

TEST_F(HardRootsTest, WideRangesAndCloseRoots) {
  // Roots 1 +- 1e-15 agree to 10 digits.
  EXPECT_EQ(solve_text({u"1", u"-2", u"0.999999999999999999999999999999"}, 10), "1*2");
  EXPECT_EQ(solve_text({u"1", u"0", u"-1e-300"}, 10), "-1e-150*1; 1e-150*1");
  EXPECT_EQ(solve_text({u"1", u"-1e100", u"1"}, 10), "1e-100*1; 1e+100*1");
  EXPECT_EQ(solve_text({u"1", u"0", u"0", u"-1e-200"}, 10),
            "2.15443469e-67*1; -1.077217345e-67-(1.865795172e-67)i*1; "
            "-1.077217345e-67+(1.865795172e-67)i*1");
  EXPECT_EQ(solve_text({u"1e-50", u"1", u"1e50"}, 10),
            "-5e+49-(8.660254038e+49)i*1; -5e+49+(8.660254038e+49)i*1");
  // (x - 1)^2 (x - 1.0000000001): the simple root rounds to 1 at 10 digits, not at 12.
  EXPECT_EQ(solve_text({u"1", u"-3.0000000001", u"3.0000000002", u"-1.0000000001"}, 10), "1*3");
  EXPECT_EQ(solve_text({u"1", u"-3.0000000001", u"3.0000000002", u"-1.0000000001"}, 12),
            "1*2; 1.0000000001*1");
  EXPECT_EQ(app_error_code(), 0u);
}

TEST_F(HardRootsTest, MultipleRootBesideSimpleOnes) {
  // (x - 2)^4 (x^6 + x + 1) at 100 digits.
  set_precision(100);
  RootPolynomial poly =
      poly_of({u"1", u"-8", u"24", u"-32", u"16", u"1", u"-7", u"16", u"-8", u"-16", u"16"});
  RootSet r;
  ApproximateRoots(poly, 100, 0, r);
  ASSERT_EQ(r.count, 7) << roots_text(r);
  EXPECT_EQ(complex_text(root_value(r, 0), 100), "2");
  EXPECT_EQ(r.multiplicity[0], 4);
  for (std::int64_t i = 1; i < r.count; ++i) {
    EXPECT_EQ(r.multiplicity[i], 1);
    EXPECT_FALSE(cplx_is_real(root_value(r, i)));  // x^6 + x + 1 has no real root
  }
}

TEST_F(HardRootsTest, NoConvergenceEndsWithinTheSweepLimit) {
  // Unscaled roots 1e+-150 lie hundreds of digits from the start values: the plain iteration
  // cannot reach them in 3·m·P sweeps and must say so.
  set_precision(40);
  RootPolynomial p = poly_of({u"1", u"0", u"-1e300"});
  std::vector<Word> out(cplx_words() * 2);
  EXPECT_FALSE(DurandKerner(p.words.data(), 2, 10, out.data()));
  EXPECT_EQ(app_error_code(), 2001u);
  EXPECT_EQ(g_arith.status, 0u);
}

}  // namespace
