// Polynomial calculation: the page's examples, the messages of bad input, and the identities
// a·b = q·b + r checked exactly in rationals.
#include <random>

#include "core/thread_scratch.h"
#include "integer/rational.h"
#include "solvers/polynomial.h"
#include "solvers_test_util.h"

namespace {

using PolynomialTest = PageTest;

std::string narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) out.push_back(c < 128 ? static_cast<char>(c) : '?');
  return out;
}

std::string run(char16_t op, std::uint32_t type, std::vector<std::vector<std::u16string>> rows,
                std::int64_t digits = 10) {
  PolynomialRequest req;
  req.op = op;
  req.type = type;
  req.digits = digits;
  req.rows = std::move(rows);
  PolynomialResult out;
  if (!RunPolynomialOperation(req, out)) return "error " + std::to_string(app_error_code());
  EXPECT_TRUE(out.results_enabled);
  return narrow(out.text);
}

TEST_F(PolynomialTest, PolynomialText) {
  EXPECT_EQ(narrow(PolynomialText(2, u'a')), "a2*x^2 + a1*x + a0");
  EXPECT_EQ(narrow(PolynomialText(7, u'b')), "b7*x^7 + b6*x^6 + ... + b1*x + b0");
  EXPECT_EQ(narrow(PolynomialText(5, u'r')), "r5*x^5 + r4*x^4 + ... + r1*x + r0");
  EXPECT_EQ(narrow(PolynomialText(4, u'a')), "a4*x^4 + a3*x^3 + a2*x^2 + a1*x + a0");
  EXPECT_EQ(narrow(PolynomialText(0, u'b')), "b0");
  EXPECT_EQ(narrow(PolynomialText(101, u'b')), "");
}

TEST_F(PolynomialTest, PageExamples) {
  EXPECT_EQ(run(u'/', kTypeRational, {{u"1", u"0", u"-1"}, {u"0", u"1", u"-1"}}),
            "P0(x) / P1(x) = b1*x + b0    Remainder    r0\r\n\r\nb1 = 1\r\nb0 = 1\r\n\r\n"
            "r0 = 0\r\n");
  EXPECT_EQ(run(u'^', kTypeReal, {{u"0", u"1", u"1"}, {u"", u" ", u"3"}}),
            "P0(x) ^ 3 = b3*x^3 + b2*x^2 + b1*x + b0\r\n\r\nb3 = 1\r\nb2 = 3\r\nb1 = 3\r\n"
            "b0 = 1\r\n");
  EXPECT_EQ(run(u'-', kTypeReal, {{u"1", u"2", u"3"}, {u"1", u"1", u"1"}, {u"0", u"1", u"5"}}),
            "P0(x) - P1(x) - P2(x) = b0\r\n\r\nb0 = -3\r\n");
  EXPECT_EQ(run(u'*', kTypeComplex, {{u"i", u"1"}, {u"-i", u"1"}}, 5),
            "P0(x) * P1(x) = b2*x^2 + b1*x + b0\r\n\r\nb2 = 1\r\nb1 = 0\r\nb0 = 1\r\n");
  EXPECT_EQ(run(u'+', kTypeReal, {{u"1/3"}, {u"1/3"}}, 5),
            "P0(x) + P1(x) = b0\r\n\r\nb0 = 0.66667\r\n");
  EXPECT_EQ(run(u'^', kTypeRational, {{u"5", u"7"}, {u"0"}}), "P0(x) ^ 0 = b0\r\n\r\nb0 = 1\r\n");
}

TEST_F(PolynomialTest, ResultBackIntoARow) {
  PolynomialRequest req;
  req.op = u'*';
  req.rows = {{u"1", u"0", u"-1"}, {u"1", u"0", u"1"}};
  PolynomialResult out;
  ASSERT_TRUE(RunPolynomialOperation(req, out));
  int max_degree = 2;
  const std::vector<std::u16string> cells = ResultToRow(out, max_degree);
  EXPECT_EQ(max_degree, 4);
  ASSERT_EQ(cells.size(), 21u);
  EXPECT_EQ(narrow(cells[16]), "1");   // a4
  EXPECT_EQ(narrow(cells[18]), "0");   // a2
  EXPECT_EQ(narrow(cells[20]), "-1");  // a0
  EXPECT_EQ(cells[15], u"");           // a5: nothing stored
  // The cells read back give the same polynomial.
  std::vector<std::u16string> row(cells.begin() + 16, cells.end());
  PreparePolynomialOperation(kTypeReal, 10);
  Polynomial p;
  ASSERT_TRUE(ReadPolynomial(row, 0, nullptr, p));
  EXPECT_EQ(poly_degree(p), 4);
  EXPECT_EQ(num_compare_i64(poly_coef(p, 0), -1), 0);
}

TEST_F(PolynomialTest, Errors) {
  EXPECT_EQ(run(u'^', kTypeReal, {{u"1", u"1"}, {u"0", u"21"}}), "error 3303");
  EXPECT_EQ(run(u'^', kTypeReal, {{u"1", u"1"}, {u"1", u"0"}}), "error 3303");
  EXPECT_EQ(run(u'^', kTypeReal, {{u"1", u"1"}, {u"0", u"2.5"}}), "error 3303");
  EXPECT_EQ(run(u'^', kTypeRational, {{u"1", u"1"}, {u"0", u"-2"}}), "error 3303");
  EXPECT_EQ(run(u'^', kTypeRational, {{u"1", u"1"}, {u"0", u"20"}}).substr(0, 20),
            "P0(x) ^ 20 = b20*x^2");
  std::vector<std::u16string> deg11(12, u"");
  deg11.front().push_back(u'1');
  EXPECT_EQ(run(u'*', kTypeReal, {deg11, deg11}), "error 3302");
  EXPECT_EQ(run(u'/', kTypeReal, {{u"1", u"2"}, {u"0", u"0*5"}}), "error 1002");
  EXPECT_EQ(run(u'/', kTypeReal, {{u"1"}, {u"1"}, {u"1"}}), "error 9000");
  EXPECT_EQ(run(u'+', kTypeReal, {{u"1", u"2+"}, {u"1", u"1"}}), "error 3300");
  EXPECT_EQ(narrow(g_app_error.param1), "a0");
  EXPECT_EQ(narrow(g_app_error.param2), "P0(x)");
  EXPECT_EQ(run(u'+', kTypeReal, {{u"1", u"1"}, {std::u16string(1031, u'1'), u"1"}}), "error 3301");
  EXPECT_EQ(narrow(g_app_error.param1), "a1");
  EXPECT_EQ(narrow(g_app_error.param2), "P1(x)");
  EXPECT_EQ(run(u'+', kTypeReal, {{std::u16string(1030, u'1')}, {u"1"}}).substr(0, 20),
            "P0(x) + P1(x) = b0\r\n");
  // A NUL byte ends the formula; an overflow in the arithmetic is the page's overflow.
  EXPECT_EQ(run(u'+', kTypeReal, {{std::u16string(u"7\0zz", 4)}, {u"1"}}),
            "P0(x) + P1(x) = b0\r\n\r\nb0 = 8\r\n");
  EXPECT_EQ(run(u'*', kTypeReal, {{u"1e3000000000000000000"}, {u"1e3000000000000000000"}}),
            "error 1001");
}

// Random rational polynomials: the quotient and remainder of a / b satisfy a = q·b + r with
// deg r < deg b, and (a·b) / b gives back a with remainder 0.
TEST_F(PolynomialTest, DivisionIdentity) {
  std::mt19937 rng(5);
  std::uniform_int_distribution<int> num(-30, 30), den(1, 9), deg(0, 10);
  auto random_row = [&](int d) {
    std::vector<std::u16string> row(kMaxPolyDegree + 1, u"");
    for (int k = 0; k <= d; ++k) {
      int n = num(rng);
      if (k == d && n == 0) n = 1;
      const std::string t = std::to_string(n) + "/" + std::to_string(den(rng));
      row[static_cast<std::size_t>(kMaxPolyDegree - k)] = std::u16string(t.begin(), t.end());
    }
    return row;
  };
  PreparePolynomialOperation(kTypeRational, 10);
  for (int trial = 0; trial < 40; ++trial) {
    Polynomial a, b, q, r, qb, back, prod, q2, r2;
    ASSERT_TRUE(ReadPolynomial(random_row(deg(rng)), 0, nullptr, a));
    ASSERT_TRUE(ReadPolynomial(random_row(deg(rng)), 1, nullptr, b));
    DividePolynomials(a, b, q, r, 10);
    MultiplyPolynomials(q, b, qb, 10);
    AddPolynomials(qb, r, false, back, 10);
    ASSERT_EQ(app_error_code(), 0u);
    for (int k = 0; k <= kMaxPolyDegree; ++k) {
      EXPECT_EQ(num_compare(poly_coef(back, k), poly_coef(a, k), false), 0) << trial << " " << k;
    }
    EXPECT_TRUE(poly_degree(r) < poly_degree(b) ||
                (poly_degree(b) == 0 && num_is_zero(poly_coef(r, 0))));
    MultiplyPolynomials(a, b, prod, 10);
    DividePolynomials(prod, b, q2, r2, 10);
    for (int k = 0; k <= kMaxPolyDegree; ++k) {
      EXPECT_EQ(num_compare(poly_coef(q2, k), poly_coef(a, k), false), 0);
      EXPECT_TRUE(num_is_zero(poly_coef(r2, k)));
    }
  }
}

}  // namespace
