// Roots of fixed equations: order, merging, real-only filtering and the failure paths.
#include "solvers_test_util.h"

namespace {

RootSet solve(const std::vector<std::u16string>& coeffs, std::int64_t p, std::uint32_t flags = 0) {
  set_precision(p);
  RootPolynomial poly = poly_of(coeffs);
  RootSet r;
  ApproximateRoots(poly, p, flags, r);
  EXPECT_EQ(g_arith.precision, p);
  return r;
}

using RootsTest = SolverTest;

TEST_F(RootsTest, WorkingPrecisionTable) {
  EXPECT_EQ(root_working_digits(1, 100), 106);
  EXPECT_EQ(root_working_digits(2, 100), 208);
  EXPECT_EQ(root_working_digits(10, 100), 1316);
  EXPECT_EQ(root_working_digits(10, 750), 9869);
  EXPECT_EQ(root_working_digits(3, 1), 4);
}

TEST_F(RootsTest, RealAndComplexPairs) {
  // x^2 - 2 divides by zero in the first sweep when run without separating equal approximations.
  EXPECT_EQ(roots_text(solve({u"1", u"0", u"-2"}, 10)), "-1.414213562*1; 1.414213562*1");
  EXPECT_EQ(roots_text(solve({u"1", u"0", u"1"}, 10)), "-i*1; i*1");
  RootSet none = solve({u"1", u"0", u"1"}, 10, kRealOnly);
  EXPECT_EQ(none.count, 0);
  EXPECT_EQ(roots_text(solve({u"2", u"1"}, 10)), "-0.5*1");
  // Roots ordered by real part, then |imaginary part| with the negative one first.
  EXPECT_EQ(roots_text(solve({u"1", u"0", u"0", u"0", u"-1"}, 12)), "-1*1; 1*1; -i*1; i*1");
  EXPECT_EQ(app_error_code(), 0u);
}

TEST_F(RootsTest, MultipleAndZeroRoots) {
  EXPECT_EQ(roots_text(solve({u"1", u"-3", u"3", u"-1"}, 10)), "1*3");
  EXPECT_EQ(roots_text(solve({u"1", u"-3", u"3", u"-1"}, 10, kKeepDuplicates)), "1*1; 1*1; 1*1");
  EXPECT_EQ(roots_text(solve({u"5", u"0", u"0", u"0"}, 10)), "0*3");
  // x^5 - x^2: two zero roots are taken out, x^3 - 1 remains.
  EXPECT_EQ(roots_text(solve({u"1", u"0", u"0", u"-1", u"0", u"0"}, 10)),
            "0*2; 1*1; -0.5-0.8660254038i*1; -0.5+0.8660254038i*1");
  // A double root at a start value and a triple root at a real value.
  EXPECT_EQ(roots_text(solve({u"1", u"-2", u"1"}, 5)), "1*2");
  EXPECT_EQ(roots_text(solve({u"1", u"12", u"48", u"64"}, 7)), "-4*3");
  EXPECT_EQ(roots_text(solve({u"1", u"-2", u"2"}, 8)), "1-i*1; 1+i*1");
  EXPECT_EQ(app_error_code(), 0u);
}

TEST_F(RootsTest, ComplexCoefficients) {
  // (x - i)^2 (x + 2) = x^3 + (2 - 2i) x^2 - (1 + 4i) x - 2
  EXPECT_EQ(roots_text(solve({u"1", u"2-2i", u"-1-4i", u"-2"}, 15)), "-2*1; i*2");
}

TEST_F(RootsTest, Failures) {
  set_precision(10);
  RootPolynomial p = poly_of({u"1", u"0", u"-2"});
  RootSet r;
  ApproximateRoots(p, 11, 0, r);  // more digits than the current precision
  EXPECT_EQ(r.count, -1);
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
  EXPECT_EQ(g_arith.precision, 10);
  clear_app_error();

  RootPolynomial zero_top = poly_of({u"0", u"1", u"1"});
  ApproximateRoots(zero_top, 10, 0, r);
  EXPECT_EQ(r.count, -1);
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
  clear_app_error();

  // Degree 10 at 800 digits would need a working precision above 10005 digits.
  set_precision(800);
  std::vector<std::u16string> wide(11, u"1");
  RootPolynomial too_wide = poly_of(wide);
  ApproximateRoots(too_wide, 800, 0, r);
  EXPECT_EQ(r.count, -1);
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
  EXPECT_EQ(g_arith.precision, 800);
  clear_app_error();

  set_precision(30);
  RootPolynomial not_monic = poly_of({u"2", u"0", u"-2"});
  std::vector<Word> out(cplx_words() * 2);
  EXPECT_FALSE(DurandKerner(not_monic.words.data(), 2, 10, out.data()));
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
  clear_app_error();

  // A stop recorded before the run ends it after the first sweep.
  RootPolynomial monic = poly_of({u"1", u"0", u"3", u"-2"});
  set_app_error(kAppErrorStopped);
  ApproximateRoots(monic, 10, 0, r);
  EXPECT_EQ(r.count, -1);
  EXPECT_EQ(g_arith.precision, 30);
}

TEST_F(RootsTest, SnapToZeroDecidesDrift) {
  set_precision(10);
  std::vector<Word> words(static_cast<std::size_t>(dec_words()) * 6);
  const DecFloat* ring[6];
  auto fill = [&](const std::vector<const char16_t*>& texts) {
    for (int k = 0; k < 6; ++k) {
      DecFloat* x = words.data() + static_cast<std::size_t>(dec_words()) * k;
      dec_parse(x, texts[k], -1, 0);
      ring[k] = x;
    }
  };
  fill({u"1e-20", u"-3e-22", u"2e-25", u"1e-30", u"-1e-31", u"5e-33"});
  EXPECT_TRUE(SnapToZero(ring, 5));
  fill({u"0.5", u"0.5", u"0.50000001", u"0.5", u"0.5", u"0.5"});
  EXPECT_FALSE(SnapToZero(ring, 5));  // steady: ratios within 1e-4
  fill({u"0.7", u"-0.2", u"0.4", u"0.9", u"-0.1", u"0.3"});
  EXPECT_FALSE(SnapToZero(ring, 5));  // not steady, but too large to be zero
}

}  // namespace
