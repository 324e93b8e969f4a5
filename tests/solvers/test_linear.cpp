// Linear systems: the page's examples from their hand solutions, the free-parameter texts, the
// messages of bad cells, and random systems of 2 to 25 equations checked by substituting the
// solution back into the equations.
#include <random>

#include "app/messages.h"
#include "core/arith.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"
#include "integer/rational.h"
#include "solvers/linear_page.h"
#include "solvers/solver_common.h"
#include "solvers_test_util.h"

namespace {

using LinearTest = PageTest;

std::string narrow(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c == u'\u2026') {
      out += "...";
    } else {
      out.push_back(c < 128 ? static_cast<char>(c) : '?');
    }
  }
  return out;
}

// Rows of n coefficient texts followed by the right side.
LinearGrid grid_of(const std::vector<std::vector<std::u16string>>& rows) {
  LinearGrid g;
  SetEquationCount(g, static_cast<std::int64_t>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c + 1 < rows[r].size(); ++c) g.cells[r][c] = rows[r][c];
    g.cells[r][kLinearColumnB] = rows[r].back();
  }
  return g;
}

std::string solve(std::uint32_t type, const std::vector<std::vector<std::u16string>>& rows,
                  std::int64_t digits = 10) {
  const LinearGrid g = grid_of(rows);
  LinearRequest req;
  req.type = type;
  req.digits = digits;
  req.grid = &g;
  std::u16string text;
  if (!RunLinearSolve(req, text)) {
    return "error " + std::to_string(app_error_code()) + " " + narrow(g_app_error.param1) + " " +
           narrow(g_app_error.param2);
  }
  return narrow(text);
}

const std::string kOne = "\r\nThe parameter variable r is freely selectable.\r\n";

}  // namespace

TEST_F(LinearTest, PageExamples) {
  EXPECT_EQ(solve(kTypeRational, {{u"1", u"1", u"3"}, {u"1", u"-1", u"1"}}),
            "x1 = 2\r\nx2 = 1\r\n");
  EXPECT_EQ(solve(kTypeReal, {{u"1", u"1", u"3"}, {u"1", u"-1", u"1"}}), "x1 = 2\r\nx2 = 1\r\n");
  EXPECT_EQ(solve(kTypeRational, {{u"1", u"1", u"3"}, {u"2", u"2", u"6"}}),
            "x1 = 3-r\r\nx2 = r\r\n" + kOne);
  EXPECT_EQ(solve(kTypeReal, {{u"1", u"1", u"1"}, {u"2", u"2", u"2"}}),
            "x1 = 1-r\r\nx2 = r\r\n" + kOne);
  EXPECT_EQ(solve(kTypeRational, {{u"", u"1", u"1"}, {u" \t", u"1", u"2"}}),
            "Equation system is unsolvable!\r\n");
  EXPECT_EQ(solve(kTypeComplex, {{u"0", u"1", u"1"}, {u"0", u"1", u"2"}}),
            "Equation system is unsolvable!\r\n");
  EXPECT_EQ(
      solve(kTypeRational, {{u"", u"", u"", u""}, {u"", u"", u"", u""}, {u"", u"", u"", u""}}),
      "x1 = r\r\nx2 = s\r\nx3 = t\r\n\r\nThe parameter variables r, s, t are freely "
      "selectable.\r\n");
  EXPECT_EQ(solve(kTypeRational, {{u"1/3", u"0", u"1"}, {u"0", u"1/7", u"2"}}),
            "x1 = 3\r\nx2 = 14\r\n");
  EXPECT_EQ(solve(kTypeRational, {{u"1", u"3/4", u"1/2"}, {u"0", u"0", u"0"}}),
            "x1 = 1/2-(3/4)*r\r\nx2 = r\r\n" + kOne);
  EXPECT_EQ(solve(kTypeRational, {{u"1", u"-3/4", u"0"}, {u"0", u"0", u"0"}}),
            "x1 = (3/4)*r\r\nx2 = r\r\n" + kOne);
  EXPECT_EQ(solve(kTypeRational, {{u"2", u"3", u"-2"}, {u"0", u"0", u"0"}}),
            "x1 = -1-(3/2)*r\r\nx2 = r\r\n" + kOne);
  EXPECT_EQ(solve(kTypeRational, {{u"1", u"-5", u"0"}, {u"0", u"0", u"0"}}),
            "x1 = 5*r\r\nx2 = r\r\n" + kOne);
  // x2 = 1 - 3 x1 = 0 exactly; at the working precision 1 - 3 * 0.333... leaves a residue.
  EXPECT_EQ(solve(kTypeReal, {{u"1", u"1", u"1/3"}, {u"3", u"1", u"1"}}),
            "x1 = 0.3333333333\r\nx2 = 0\r\n");
  // The same system in units of 10^-30 is no different.
  EXPECT_EQ(solve(kTypeReal, {{u"1e-30", u"1e-30", u"3e-30"}, {u"1e-30", u"-1e-30", u"1e-30"}}),
            "x1 = 2\r\nx2 = 1\r\n");
  // Parameter coefficients with both parts in parentheses, with one part zero without.
  EXPECT_EQ(solve(kTypeComplex, {{u"1", u"1+i", u"1"}, {u"0", u"0", u"0"}}),
            "x1 = 1+(-1-i)*r\r\nx2 = r\r\n" + kOne);
  EXPECT_EQ(solve(kTypeComplex, {{u"1", u"2i", u"1"}, {u"2", u"4i", u"2"}}),
            "x1 = 1-2i*r\r\nx2 = r\r\n" + kOne);
  EXPECT_EQ(solve(kTypeComplex, {{u"i", u"0", u"-1"}, {u"0", u"1-i", u"2"}}),
            "x1 = i\r\nx2 = 1+i\r\n");
  // 1/3 to 30 digits: every digit of the target precision is right.
  EXPECT_EQ(solve(kTypeReal, {{u"3", u"0", u"1"}, {u"0", u"1", u"0"}}, 30),
            "x1 = 0.333333333333333333333333333333\r\nx2 = 0\r\n");
}

TEST_F(LinearTest, FreeParametersAndNames) {
  const char* names[] = {"r", "s", "t", "u", "v1", "v2", "v3"};
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(narrow(FreeParameterName(k)), names[k - 1]);
  EXPECT_EQ(narrow(FreeParameterName(25)), "v21");
  // x2 + x3 = 5 alone: x1 and x3 are free, x1 (the lower index) is r.
  EXPECT_EQ(
      solve(kTypeRational, {{u"0", u"1", u"1", u"5"}, {u"", u"", u"", u""}, {u"", u"", u"", u""}}),
      "x1 = r\r\nx2 = 5-s\r\nx3 = s\r\n\r\nThe parameter variables r, s are freely "
      "selectable.\r\n");
  // A column without pivot in the middle: the pivot row is kept for the next column, so x3 is
  // found and only x2 is free.
  EXPECT_EQ(solve(kTypeReal,
                  {{u"1", u"1", u"1", u"3"}, {u"1", u"1", u"2", u"4"}, {u"2", u"2", u"3", u"7"}}),
            "x1 = 2-r\r\nx2 = r\r\nx3 = 1\r\n" + kOne);
  EXPECT_EQ(solve(kTypeRational,
                  {{u"1", u"1", u"1", u"3"}, {u"1", u"1", u"2", u"4"}, {u"2", u"2", u"3", u"8"}}),
            "Equation system is unsolvable!\r\n");
  auto zero_rows = [](int n) {
    return std::vector<std::vector<std::u16string>>(
        static_cast<std::size_t>(n), std::vector<std::u16string>(static_cast<std::size_t>(n + 1)));
  };
  const std::string six = solve(kTypeRational, zero_rows(6));
  EXPECT_NE(six.find("x6 = v2\r\n\r\nThe parameter variables r, s, t, u, v1, v2 are"),
            std::string::npos)
      << six;
  const std::string eight = solve(kTypeReal, zero_rows(8));
  EXPECT_NE(eight.find("variables r, s, t, u, v1, ..., v4 are"), std::string::npos) << eight;
  const std::string all = solve(kTypeComplex, zero_rows(25));
  EXPECT_NE(all.find("x25 = v21\r\n\r\nThe parameter variables r, s, t, u, v1, ..., v21 are"),
            std::string::npos);
}

TEST_F(LinearTest, BadCellsAndFailures) {
  const std::u16string long_cell(1031, u'1');
  EXPECT_EQ(solve(kTypeReal, {{u"1", u"1", long_cell}, {u"1", u"-1", u"1"}}), "error 3400 1 b");
  EXPECT_EQ(solve(kTypeReal, {{u"1", u"1", u"3"}, {u"1", long_cell, u"1"}}), "error 3400 2 a2");
  // 1030 characters are accepted: blanks before a formula are skipped.
  const std::u16string widest = std::u16string(1029, u' ') + u"3";
  EXPECT_EQ(solve(kTypeRational, {{u"1", u"1", widest}, {u"1", u"-1", u"1"}}),
            "x1 = 2\r\nx2 = 1\r\n");
  EXPECT_EQ(solve(kTypeReal, {{u"1", u"1", u"3"}, {u"1", u"sin(", u"1"}}), "error 3401 2 a2");
  EXPECT_NE(g_formula_error.code, 0u);
  EXPECT_EQ(solve(kTypeRational, {{u"1", u"1/0", u"3"}, {u"1", u"1", u"1"}}), "error 3401 1 a2");
  // Only real, complex and rational systems are solved.
  EXPECT_EQ(solve(kTypeUInt, {{u"1", u"1", u"3"}, {u"1", u"2", u"1"}}), "error 1001 ? ?");
  LinearGrid g;
  g.count = 26;
  LinearRequest req;
  req.grid = &g;
  std::u16string text;
  EXPECT_FALSE(RunLinearSolve(req, text));
  EXPECT_EQ(app_error_code(), kAppErrorInternal);
  // The elimination's products of 1600-bit numbers do not fit 1664 bits, the solution
  // 1/(2^1600 + 1) does.
  const std::string wide = solve(kTypeRational, {{u"2^1600", u"1", u"1"}, {u"1", u"2^1600", u"1"}});
  const std::size_t line = wide.find("\r\nx2 = ");
  ASSERT_NE(line, std::string::npos) << wide;
  EXPECT_EQ(wide.substr(5, line - 5), wide.substr(line + 7, wide.size() - line - 9));
  EXPECT_EQ(wide.rfind("x1 = 1/", 0), 0u);
  // x1 = 3^-1000 + 5^-600 has a denominator of about 2,980 bits.
  EXPECT_EQ(solve(kTypeRational, {{u"1", u"-1", u"1/3^1000"}, {u"0", u"1", u"1/5^600"}}),
            "error 1001 ? ?");
  EXPECT_EQ(math_status(), MathStatus::Ok);
}

namespace {

// Random integer systems: `rank` independent rows, the others integer combinations of them,
// rows shuffled; b = A x0 so the system is consistent unless `break_row` is set.
struct IntSystem {
  int n = 0;
  std::vector<std::vector<std::int64_t>> a;  // n rows of n + 1
};

IntSystem random_system(std::mt19937_64& rng, int n, int rank, bool consistent,
                        std::int64_t bound = 9) {
  std::uniform_int_distribution<std::int64_t> coef(-bound, bound);
  std::uniform_int_distribution<int> mult(-2, 2), sol(-50, 50);
  IntSystem s;
  s.n = n;
  s.a.assign(static_cast<std::size_t>(n),
             std::vector<std::int64_t>(static_cast<std::size_t>(n + 1)));
  std::vector<std::int64_t> x0(static_cast<std::size_t>(n));
  for (auto& v : x0) v = sol(rng);
  for (int r = 0; r < rank; ++r) {
    for (int c = 0; c < n; ++c) s.a[r][c] = coef(rng);
  }
  for (int r = rank; r < n; ++r) {
    for (int k = 0; k < rank; ++k) {
      const int m = mult(rng);
      for (int c = 0; c < n; ++c) s.a[r][c] += m * s.a[k][c];
    }
  }
  for (int r = 0; r < n; ++r) {
    for (int c = 0; c < n; ++c) s.a[r][n] += s.a[r][c] * x0[c];
  }
  if (!consistent) s.a[static_cast<std::size_t>(n - 1)][n] += 1;
  std::shuffle(s.a.begin(), s.a.end(), rng);
  return s;
}

void load_system(const IntSystem& s, LinearSystem& sys) {
  linear_system_init(sys, s.n);
  for (int r = 0; r < s.n; ++r) {
    for (int c = 0; c <= s.n; ++c) num_set_i64(linear_value(sys, r, c), s.a[r][c]);
  }
}

using RationalValue = std::vector<Word>;

RationalValue rational_of_i64(std::int64_t v) {
  RationalValue r(rational_words());
  rational_set_u64(r.data(), v < 0 ? static_cast<std::uint64_t>(-v) : static_cast<std::uint64_t>(v),
                   v < 0);
  return r;
}

// A real value (at the current precision) exactly as a rational: its decimal digits over a
// power of ten, read from the scientific text.
RationalValue rational_of_real(const DecFloat* x, std::int64_t limbs) {
  std::u16string buf(static_cast<std::size_t>(dec_text_size(kForceScientific)) + 1, u'\0');
  TextSink sink{0, static_cast<std::int64_t>(buf.size()) - 1, buf.data()};
  dec_format(sink, x, kForceScientific);
  const std::u16string text(buf.data(), static_cast<std::size_t>(sink.pos));
  std::u16string digits;
  std::int64_t exp = 0;
  bool negative = false;
  std::size_t i = 0;
  if (i < text.size() && text[i] == u'-') negative = true, ++i;
  std::int64_t after_point = 0;
  bool point = false;
  for (; i < text.size() && text[i] != u'e' && text[i] != u'E'; ++i) {
    if (text[i] >= u'0' && text[i] <= u'9') {
      digits += text[i];
      if (point) ++after_point;
    } else {
      point = true;  // the decimal separator, whichever is set
    }
  }
  if (i < text.size())
    exp = std::stoll(std::string(text.begin() + static_cast<std::ptrdiff_t>(i) + 1, text.end()));
  const std::int64_t outer = BigUIntLimbs;
  biguint_set_limbs(limbs);
  RationalValue r(rational_words()), p(rational_words());
  rational_parse(r.data(), digits.c_str(), static_cast<std::int64_t>(digits.size()), 0);
  const std::int64_t shift = exp - after_point;
  rational_i64_power(p.data(), shift < 0 ? -shift : shift, biguint_pow10_i64);
  rational_mul(r.data(), r.data(), p.data(), shift < 0);
  if (negative) r[0] = 1;
  biguint_set_limbs(outer);
  return r;
}

// Every equation of `s` holds for x_i = c_i0 + sum_q c_iq t_q for two random choices of the
// parameters t_q, computed exactly; |residual| <= tolerance (0: exact).
void expect_solution_holds(const IntSystem& s, const std::vector<std::vector<RationalValue>>& x,
                           const RationalValue& tolerance) {
  static std::mt19937_64 rng(99);
  std::uniform_int_distribution<std::int64_t> num(-20, 20), den(1, 9);
  const std::size_t f = x[0].size() - 1;
  for (int k = 1; k <= 2; ++k) {
    std::vector<RationalValue> params(f + 1);
    for (std::size_t q = 1; q <= f; ++q) {
      params[q] = rational_of_i64(num(rng));
      rational_div_u64(params[q].data(), params[q].data(), static_cast<std::uint64_t>(den(rng)));
    }
    std::vector<RationalValue> xv;
    for (const auto& comp : x) {
      RationalValue v = comp[0];
      RationalValue t(rational_words());
      for (std::size_t q = 1; q <= f; ++q) {
        rational_mul(t.data(), comp[q].data(), params[q].data(), false);
        rational_add(v.data(), v.data(), t.data(), false);
      }
      xv.push_back(v);
    }
    for (int r = 0; r < s.n; ++r) {
      RationalValue sum = rational_of_i64(-s.a[r][s.n]), t(rational_words());
      for (int c = 0; c < s.n; ++c) {
        const RationalValue a = rational_of_i64(s.a[r][c]);
        rational_mul(t.data(), a.data(), xv[c].data(), false);
        rational_add(sum.data(), sum.data(), t.data(), false);
      }
      ASSERT_EQ(math_status(), MathStatus::Ok);
      EXPECT_LE(rational_compare(sum.data(), tolerance.data(), true), 0)
          << "equation " << r + 1 << " of " << s.n << ", parameter choice " << k;
    }
  }
}

}  // namespace

TEST_F(LinearTest, RandomRationalSystemsSatisfyEveryEquation) {
  std::mt19937_64 rng(20261208);
  for (int n = 2; n <= 25; ++n) {
    for (int rank : {n, std::max(1, n / 2), n - 1}) {
      for (bool consistent : {true, false}) {
        if (!consistent && rank == n) continue;
        SCOPED_TRACE("n = " + std::to_string(n) + ", rank " + std::to_string(rank));
        prepare_solver_numbers(kTypeRational, 0);
        const IntSystem s = random_system(rng, n, rank, consistent);
        LinearSystem sys;
        load_system(s, sys);
        LinearSolution sol;
        SolveLinearSystem(sys, 10, 0, sol);
        ASSERT_EQ(app_error_code(), 0u);
        if (!consistent) {
          EXPECT_EQ(sol.count, -1);
          continue;
        }
        ASSERT_EQ(sol.count, n);
        EXPECT_EQ(sol.free, n - rank);
        std::vector<std::vector<RationalValue>> x(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
          for (std::int64_t p = 0; p <= sol.free; ++p) {
            const NumValue* v = solution_value(sol, i, p);
            x[i].emplace_back(v, v + rational_words());
          }
        }
        expect_solution_holds(s, x, rational_of_i64(0));
      }
    }
  }
}

TEST_F(LinearTest, RandomRationalSystemsWithLargeEntries) {
  // Entries of 40 bits: the elimination's intermediate products of 25 equations exceed 1664
  // bits, the integer solution does not.
  std::mt19937_64 rng(404);
  for (int n : {12, 25}) {
    prepare_solver_numbers(kTypeRational, 0);
    const IntSystem s = random_system(rng, n, n, true, std::int64_t{1} << 40);
    LinearSystem sys;
    load_system(s, sys);
    LinearSolution sol;
    SolveLinearSystem(sys, 10, 0, sol);
    ASSERT_EQ(app_error_code(), 0u) << n;
    ASSERT_EQ(sol.count, n);
    ASSERT_EQ(sol.free, 0);
    std::vector<std::vector<RationalValue>> x(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      const NumValue* v = solution_value(sol, i, 0);
      EXPECT_TRUE(rational_is_integer(v));
      x[i].emplace_back(v, v + rational_words());
    }
    expect_solution_holds(s, x, rational_of_i64(0));
  }
}

TEST_F(LinearTest, RandomRealSystemsSatisfyEveryEquation) {
  std::mt19937_64 rng(77);
  const std::int64_t limbs = 60;
  for (int n = 2; n <= 25; n += 1) {
    for (int rank : {n, n - 1, std::max(1, n / 3)}) {
      SCOPED_TRACE("n = " + std::to_string(n) + ", rank " + std::to_string(rank));
      const std::int64_t p = 25;
      prepare_solver_numbers(kTypeReal, p + 2 + n / 4);
      const IntSystem s = random_system(rng, n, rank, true);
      LinearSystem sys;
      load_system(s, sys);
      LinearSolution sol;
      SolveLinearSystem(sys, p, 0, sol);
      ASSERT_EQ(app_error_code(), 0u);
      ASSERT_EQ(sol.count, n);
      EXPECT_EQ(sol.free, n - rank);
      std::vector<std::vector<RationalValue>> x(static_cast<std::size_t>(n));
      for (int i = 0; i < n; ++i) {
        for (std::int64_t q = 0; q <= sol.free; ++q) {
          x[i].push_back(rational_of_real(solution_value(sol, i, q), limbs));
        }
      }
      // Rounded to 25 digits: the residual of an equation is far below 10^-15 with entries of
      // at most two digits and solutions of a few digits.
      biguint_set_limbs(limbs);
      RationalValue tol = rational_of_i64(1);
      RationalValue scale(rational_words());
      rational_i64_power(scale.data(), 15, biguint_pow10_i64);
      rational_mul(tol.data(), tol.data(), scale.data(), true);
      expect_solution_holds(s, x, tol);
      if (rank == n) {
        // An integer solution comes out exact.
        for (int i = 0; i < n; ++i) EXPECT_TRUE(rational_is_integer(x[i][0].data())) << i;
      }
    }
  }
}

TEST_F(LinearTest, RandomComplexSystemsGiveTheirGaussianIntegerSolution) {
  std::mt19937_64 rng(5);
  std::uniform_int_distribution<int> d(-9, 9);
  for (int n = 2; n <= 25; n += 3) {
    prepare_solver_numbers(kTypeComplex, 20 + 2 + n / 4);
    std::vector<std::vector<std::pair<std::int64_t, std::int64_t>>> a(
        static_cast<std::size_t>(n),
        std::vector<std::pair<std::int64_t, std::int64_t>>(static_cast<std::size_t>(n + 1)));
    std::vector<std::pair<std::int64_t, std::int64_t>> x0(static_cast<std::size_t>(n));
    for (auto& v : x0) v = {d(rng), d(rng)};
    for (int r = 0; r < n; ++r) {
      std::int64_t br = 0, bi = 0;
      for (int c = 0; c < n; ++c) {
        a[r][c] = {d(rng), d(rng)};
        br += a[r][c].first * x0[c].first - a[r][c].second * x0[c].second;
        bi += a[r][c].first * x0[c].second + a[r][c].second * x0[c].first;
      }
      a[r][n] = {br, bi};
    }
    LinearSystem sys;
    linear_system_init(sys, n);
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c <= n; ++c) {
        const std::string t =
            std::to_string(a[r][c].first) + "+(" + std::to_string(a[r][c].second) + ")i";
        const std::u16string u(t.begin(), t.end());
        cplx_parse(linear_value(sys, r, c), u.c_str(), static_cast<std::int64_t>(u.size()), 0);
      }
    }
    LinearSolution sol;
    SolveLinearSystem(sys, 20, 0, sol);
    ASSERT_EQ(app_error_code(), 0u);
    ASSERT_EQ(sol.count, n);
    ASSERT_EQ(sol.free, 0);
    for (int i = 0; i < n; ++i) {
      const NumValue* v = solution_value(sol, i, 0);
      EXPECT_EQ(dec_compare_int(cplx_re(v), x0[i].first), 0)
          << "n " << n << " x" << i + 1 << " " << narrow(solver_value_text(v, 0)) << " want "
          << x0[i].first;
      EXPECT_EQ(dec_compare_int(cplx_im(v), x0[i].second), 0) << "n " << n << " x" << i + 1;
    }
  }
}
