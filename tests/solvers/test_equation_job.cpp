// The equation page without its window: exact texts of the documented equations, the lines of
// the result field, and the messages of bad coefficient cells. Approximations are compared with
// well-known constants (sqrt(2), sqrt(5), sqrt(3)/2) to 10 digits.
#include "app/messages.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"
#include "solvers/equation_job.h"
#include "solvers_test_util.h"

namespace {

using EquationJobTest = PageTest;

std::string narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c == u'\u2248')
      out += "~";
    else if (c == u'\u2026')
      out += "...";
    else
      out.push_back(c < 128 ? static_cast<char>(c) : '?');
  }
  return out;
}

struct Solved {
  bool started = false;
  std::uint32_t error = 0;
  std::string text;
  std::vector<std::string> exact;  // exact texts in the final order
};

Solved solve(std::vector<std::u16string> cells, bool exact, bool complex_mode = true,
             std::int64_t digits = 10, bool multiplicity = true) {
  EquationRequest request;
  request.degree = static_cast<std::int64_t>(cells.size()) - 1;
  request.cells = std::move(cells);
  request.exact = exact;
  request.complex_mode = complex_mode;
  request.digits = digits;
  request.multiplicity = multiplicity;
  EquationJob job;
  Solved s;
  s.started = StartEquationJob(request, job);
  if (s.started) {
    EquationWorker(job);
    s.text = narrow(FinishEquationJob(job));
    for (std::int64_t j = 0; j < job.roots.count; ++j) {
      s.exact.push_back(narrow(job.roots.exact[static_cast<std::size_t>(j)]));
    }
  }
  s.error = app_error_code();
  return s;
}

using Texts = std::vector<std::string>;

TEST_F(EquationJobTest, ExactTextsOfTheDocumentedEquations) {
  EXPECT_EQ(solve({u"2", u"-3", u"-2", u"3"}, true).exact, (Texts{"-1", "1", "3/2"}));
  // One real and two complex roots, none rational: the cubic remainder keeps approximations.
  EXPECT_EQ(solve({u"1", u"0", u"0", u"-2"}, true).exact, (Texts{"", "", ""}));
  EXPECT_EQ(solve({u"1", u"-1", u"-2", u"2"}, true).exact, (Texts{"-sqrt(2)", "1", "sqrt(2)"}));
  EXPECT_EQ(solve({u"1", u"0", u"-3", u"2"}, true).text, "x1 = -2   [1]\r\nx2 = 1   [2]\r\n");
  EXPECT_EQ(solve({u"1", u"-1/4", u"0", u"0"}, true).text,
            "x1 = 0   [2]\r\nx2 = 1/4 ~ 0.25   [1]\r\n");
  EXPECT_EQ(solve({u"1", u"-1/4", u"0"}, true).exact, (Texts{"0", "1/4"}));
  EXPECT_EQ(solve({u"1", u"-1", u"-1"}, true).text,
            "x1 = 1/2-1/2*sqrt(5) ~ -0.6180339887   [1]\r\n"
            "x2 = 1/2+1/2*sqrt(5) ~ 1.618033989   [1]\r\n");
  EXPECT_EQ(solve({u"1", u"0", u"-2"}, true).text,
            "x1 = -sqrt(2) ~ -1.414213562   [1]\r\nx2 = sqrt(2) ~ 1.414213562   [1]\r\n");
  EXPECT_EQ(solve({u"1", u"1", u"1"}, true).text,
            "x1 = -1/2-1/2*sqrt(3)*i ~ -0.5-0.8660254038i   [1]\r\n"
            "x2 = -1/2+1/2*sqrt(3)*i ~ -0.5+0.8660254038i   [1]\r\n");
  // Both parts of +-i are integers, so no approximation follows the exact text.
  EXPECT_EQ(solve({u"1", u"0", u"1"}, true).text, "x1 = -1*i   [1]\r\nx2 = 1*i   [1]\r\n");
  EXPECT_EQ(solve({u"1", u"-3", u"2"}, true).exact, (Texts{"1", "2"}));
  EXPECT_EQ(solve({u"4", u"4", u"1"}, true).text, "x1 = -1/2 ~ -0.5   [2]\r\n");
  EXPECT_EQ(solve({u"2", u"1"}, true).text, "x1 = -1/2 ~ -0.5   [1]\r\n");
  // A square root with a rational factor other than 1, and a radicand taken from both parts of
  // the discriminant: 3x^2 - 2x - 1/3 has the roots 1/3 +- 1/3*sqrt(2).
  EXPECT_EQ(solve({u"3", u"-2", u"-1/3"}, true).exact,
            (Texts{"1/3-1/3*sqrt(2)", "1/3+1/3*sqrt(2)"}));
  // sqrt(8/9) = 2/3*sqrt(2): x^2 - 8/9.
  EXPECT_EQ(solve({u"1", u"0", u"-8/9"}, true).exact, (Texts{"-2/3*sqrt(2)", "2/3*sqrt(2)"}));
  // A rational root and x^2 + 1 left over, in "real" mode only the rational root stays.
  EXPECT_EQ(solve({u"1", u"-2", u"1", u"-2"}, true).exact, (Texts{"2", "-1*i", "1*i"}));
  EXPECT_EQ(solve({u"1", u"-2", u"1", u"-2"}, true, false).text, "x1 = 2   [1]\r\n");
  // The discriminant of x^2 + 2^100 x + 1 overflows 128 bits: approximations only, no error.
  EXPECT_EQ(solve({u"1", u"2^100", u"1"}, true).exact, (Texts{"", ""}));
  EXPECT_EQ(app_error_code(), 0u);
  // The imaginary unit follows the number settings.
  g_number_settings.imaginary_unit[0] = u'j';
  const Texts with_j = solve({u"1", u"0", u"4"}, true).exact;
  g_number_settings.imaginary_unit[0] = u'i';
  EXPECT_EQ(with_j, (Texts{"-2*j", "2*j"}));
}

TEST_F(EquationJobTest, ResultLines) {
  EXPECT_EQ(solve({u"2", u"1"}, false).text, "x1 = -0.5   [1]\r\n");
  EXPECT_EQ(solve({u"1", u"0", u"-2"}, false, false).text,
            "x1 = -1.414213562   [1]\r\nx2 = 1.414213562   [1]\r\n");
  EXPECT_EQ(solve({u"1", u"0", u"-2"}, false, false, 10, false).text,
            "x1 = -1.414213562\r\nx2 = 1.414213562\r\n");
  EXPECT_EQ(solve({u"1", u"0", u"1"}, false, false).text, "The equation has no real solutions.");
  EXPECT_EQ(solve({u"1", u"0", u"1"}, true, false).text, "The equation has no real solutions.");
  // Empty cells are zeros, blanks and tabs before a formula are skipped.
  EXPECT_EQ(solve({u" \t1", u"", u"\t-4"}, false, false).text, "x1 = -2   [1]\r\nx2 = 2   [1]\r\n");
  EXPECT_EQ(solve({u"1", u"-3", u"3", u"-1"}, false, false).text, "x1 = 1   [3]\r\n");
  EXPECT_EQ(app_error_code(), 0u);
}

TEST_F(EquationJobTest, LabelAboveTheGrid) {
  EXPECT_EQ(EquationLabelText(2),
            u"Enter the coefficients of the equation a2*x^2 + a1*x + a0 =\u00a00.");
  EXPECT_EQ(EquationLabelText(10),
            u"Enter the coefficients of the equation a10*x^10 + a9*x^9 + "
            u"... + a1*x + a0 =\u00a00.");
  EXPECT_EQ(EquationLabelText(1), u"Enter the coefficients of the equation a1*x + a0 =\u00a00.");
  EXPECT_EQ(app_error_code(), 0u);
}

TEST_F(EquationJobTest, PrecisionLimitsAndWorkingDigits) {
  EXPECT_EQ(EquationMaxDigits(1), 2000);
  EXPECT_EQ(EquationMaxDigits(4), 2000);
  EXPECT_EQ(EquationMaxDigits(5), 1000);
  EXPECT_EQ(EquationMaxDigits(7), 1000);
  EXPECT_EQ(EquationMaxDigits(8), 750);
  EXPECT_EQ(EquationMaxDigits(10), 750);
  EquationRequest request;
  request.degree = 3;
  request.digits = 100;
  request.cells = {u"1", u"0", u"0", u"-1"};
  EquationJob job;
  const std::int64_t caller_precision = g_arith.precision;
  ASSERT_TRUE(StartEquationJob(request, job));
  EXPECT_EQ(job.context.precision, (1000 * 100 + 319) / 320);  // ceil(1000·P / T), T = 320
  EXPECT_EQ(job.context.biguint_limbs, 2);
  EXPECT_EQ(g_arith.precision, caller_precision);  // the window thread's context stays
  // Degree 10 at 800 digits would need 10527 working digits.
  request.degree = 10;
  request.digits = 800;
  request.cells.assign(11, u"1");
  EXPECT_FALSE(StartEquationJob(request, job));
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
}

TEST_F(EquationJobTest, CoefficientMessages) {
  Solved s = solve({u"0", u"1", u"1"}, false);
  EXPECT_FALSE(s.started);
  EXPECT_EQ(s.error, 2000u);
  EXPECT_EQ(std::u16string(g_app_error.param1), u"a2");
  s = solve({u"0", u"0", u"0", u"1"}, true);
  EXPECT_EQ(s.error, 2000u);
  EXPECT_EQ(std::u16string(g_app_error.param1), u"a3");
  s = solve({u"1", u"2*(", u"1"}, false);
  EXPECT_EQ(s.error, 2002u);
  EXPECT_EQ(std::u16string(g_app_error.param1), u"a1");
  EXPECT_NE(g_formula_error.code, 0u);  // its message is appended when the error is shown
  s = solve({u"1", u"i", u"1"}, false, false);
  EXPECT_EQ(s.error, 2003u);
  EXPECT_EQ(std::u16string(g_app_error.param1), u"a1");
  EXPECT_EQ(solve({u"1", u"i", u"1"}, false, true).error, 0u);
  s = solve({u"1", u"1", u"sqrt(2)"}, true);
  EXPECT_EQ(s.error, 2005u);
  EXPECT_EQ(std::u16string(g_app_error.param1), u"a0");
  // 2^128 does not fit a numerator of two limbs.
  EXPECT_EQ(solve({u"1", u"2^128", u"1"}, true).error, 2005u);
  EXPECT_EQ(solve({u"1", u"2^127", u"1"}, true).error, 0u);
  std::u16string longest(1030, u'1');
  std::u16string too_long(1031, u'1');
  EXPECT_EQ(solve({u"1", longest, u"1"}, false).error, 0u);
  s = solve({u"1", too_long, u"1"}, false);
  EXPECT_EQ(s.error, 2006u);
  EXPECT_EQ(std::u16string(g_app_error.param1), u"a1");
  // The first failing row wins: a2 is read before a0.
  EXPECT_EQ(solve({u"0", u"1", u"2*("}, false).error, 2000u);
}

TEST_F(EquationJobTest, StopEndsTheJobWithoutLines) {
  EquationRequest request;
  request.degree = 10;
  request.digits = 200;
  request.complex_mode = true;
  request.cells = {u"1", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"0", u"1", u"-2"};
  EquationJob job;
  ASSERT_TRUE(StartEquationJob(request, job));
  g_cancel_request.store(1, std::memory_order_relaxed);
  EquationWorker(job);
  EXPECT_EQ(job.roots.count, -1);
  EXPECT_EQ(FinishEquationJob(job), u"");
  EXPECT_EQ(app_error_code(), kAppErrorStopped);
  g_cancel_request.store(0, std::memory_order_relaxed);

  // Trial division of a product of two primes near 2^40 would run for a long time.
  clear_app_error();
  ScratchScope scope;
  BigUInt* m = scratch_alloc(2);
  BigUInt* a = scratch_alloc(2);
  BigUInt* b = scratch_alloc(2);
  const unsigned __int128 big = static_cast<unsigned __int128>(1099511627791ULL) * 1099511627689ULL;
  m[0] = static_cast<Word>(big);
  m[1] = static_cast<Word>(big >> 64);
  g_cancel_request.store(1, std::memory_order_relaxed);
  SquarePart(m, a, b);
  g_cancel_request.store(0, std::memory_order_relaxed);
  EXPECT_EQ(a[0], 1u);
  EXPECT_EQ(a[1], 0u);
  EXPECT_EQ(b[0], m[0]);
  EXPECT_EQ(b[1], m[1]);
  EXPECT_EQ(app_error_code(), kAppErrorStopped);
}

}  // namespace
