// Complex elementary functions against mpmath (tests/data/gen_complex_functions.py), the
// conventions on the branch cuts, exact zero parts, and identities at 2,000 digits.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>

#include "core/arith.h"
#include "core/complex.h"
#include "core/complex_functions.h"
#include "core/elementary.h"
#include "core/trig.h"
#include "tests/core/test_util.h"

namespace {

struct Cplx {
  std::vector<Word> w = std::vector<Word>(2 * (static_cast<std::size_t>(kMaxLimbs) + 8), 0);
  operator Complex*() { return w.data(); }
  operator const Complex*() const { return w.data(); }
};

using Fn1 = void (*)(Complex*, const Complex*);
using Fn2 = void (*)(Complex*, const Complex*, const Complex*);

const std::map<std::string, Fn1>& one_argument() {
  static const std::map<std::string, Fn1> table = {
      {"exp", cplx_exp},   {"ln", cplx_ln},       {"log10", cplx_log10}, {"log2", cplx_log2},
      {"sin", cplx_sin},   {"cos", cplx_cos},     {"tan", cplx_tan},     {"sinh", cplx_sinh},
      {"cosh", cplx_cosh}, {"tanh", cplx_tanh},   {"asin", cplx_asin},   {"acos", cplx_acos},
      {"atan", cplx_atan}, {"asinh", cplx_asinh}, {"acosh", cplx_acosh}, {"atanh", cplx_atanh}};
  return table;
}

// Exact zeros must be zeros; other parts within one unit in the last place.
bool part_ok(const DecFloat* got, const DecFloat* want) {
  if (is_zero(want)) return is_zero(got);
  return within_one_ulp(got, want);
}

std::string parts(const Complex* z) {
  return raw_text(cplx_re(z)) + " " + raw_text(cplx_im(z));
}

void set(Complex* z, const char* re, const char* im) {
  const std::u16string text = [&] {
    std::string s = std::string(re) + (im[0] == '-' ? "" : "+") + im + "i";
    return std::u16string(s.begin(), s.end());
  }();
  cplx_parse(z, text.c_str(), -1, 0);
}

// |a - b| at most 10^digits units in the last place of a number of exponent e.
bool close(const DecFloat* a, const DecFloat* b, std::int64_t e, std::int64_t digits) {
  std::vector<Word> d(static_cast<std::size_t>(kMaxLimbs) + 8);
  dec_add_sub(d.data(), a, b, 1);
  return is_zero(d.data()) || dec_exponent(d.data()) <= e - g_arith.precision + 1 + digits;
}

class ComplexFunctionsTest : public ::testing::Test {
 protected:
  void SetUp() override { arith_reset(); }
};

}  // namespace

TEST(ComplexFunctionsReference, AgreeWithMpmathPartByPart) {
  std::ifstream file(NUMERION_TEST_DATA "/complex_functions.txt");
  ASSERT_TRUE(file);
  std::string line;
  std::map<std::string, int> cases;
  int failures = 0, exact = 0, total = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    LineReader in(line);
    const std::string fn = in.word();
    arith_reset();
    set_precision(std::stoll(in.word()));
    Cplx a, b, want, got;
    in.number(cplx_re(a));
    in.number(cplx_im(a));
    const bool two = fn == "pow" || fn == "logx";
    if (two) {
      in.number(cplx_re(b));
      in.number(cplx_im(b));
    }
    in.word();
    in.number(cplx_re(want));
    in.number(cplx_im(want));
    if (fn == "pow") {
      cplx_pow(got, a, b);
    } else if (fn == "logx") {
      cplx_logx(got, a, b);
    } else {
      ASSERT_TRUE(one_argument().count(fn)) << fn;
      one_argument().at(fn)(got, a);
    }
    ++cases[fn];
    ++total;
    const bool ok = part_ok(cplx_re(got), cplx_re(want)) && part_ok(cplx_im(got), cplx_im(want));
    if (parts(got) == parts(want)) ++exact;
    if ((!ok || g_arith.status != 0) && ++failures <= 20) {
      ADD_FAILURE() << line.substr(0, 300) << "\n got " << parts(got).substr(0, 200) << " status "
                    << g_arith.status;
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(cases.size(), 18u);
  EXPECT_GT(total, 2000);
  // Guard digits make nearly every part correctly rounded, not merely within one unit.
  EXPECT_GT(exact, total * 99 / 100);
}

TEST_F(ComplexFunctionsTest, ValuesOnTheBranchCuts) {
  Cplx z, r;
  set(z, "2", "0");
  cplx_asin(r, z);  // from below, right of 1
  EXPECT_EQ(parts(r), "1.570796326794897e0 -1.316957896924817e0");
  cplx_acos(r, z);
  EXPECT_EQ(parts(r), "0 1.316957896924817e0");
  cplx_atanh(r, z);
  EXPECT_EQ(parts(r), "5.493061443340548e-1 -1.570796326794897e0");
  set(z, "-2", "0");
  cplx_asin(r, z);  // from above, left of -1
  EXPECT_EQ(parts(r), "-1.570796326794897e0 1.316957896924817e0");
  cplx_acosh(r, z);
  EXPECT_EQ(parts(r), "1.316957896924817e0 3.141592653589793e0");
  cplx_ln(r, z);
  EXPECT_EQ(parts(r), "6.931471805599453e-1 3.141592653589793e0");
  // A negated real number carries -0i; the cut still takes its value from above.
  dec_negate(cplx_im(z));
  cplx_ln(r, z);
  EXPECT_EQ(parts(r), "6.931471805599453e-1 3.141592653589793e0");
  set(z, "0", "2");
  cplx_atan(r, z);  // from the right above i
  EXPECT_EQ(parts(r), "1.570796326794897e0 5.493061443340548e-1");
  cplx_asinh(r, z);
  EXPECT_EQ(parts(r), "1.316957896924817e0 1.570796326794897e0");
  set(z, "0", "-2");
  cplx_atan(r, z);  // from the left below -i
  EXPECT_EQ(parts(r), "-1.570796326794897e0 -5.493061443340548e-1");
  EXPECT_EQ(g_arith.status, 0u);
}

TEST_F(ComplexFunctionsTest, ExactZeroPartsAndRealArguments) {
  Cplx z, w, r;
  set(z, "0", "1");
  cplx_pow(r, z, z);  // i^i = e^(-pi/2), real
  EXPECT_EQ(parts(r), "2.078795763507619e-1 0");
  set(z, "-4", "0");
  set(w, "0.5", "0");
  cplx_pow(r, z, w);  // the angle of a negative base is exact
  EXPECT_EQ(parts(r), "0 2.000000000000000e0");
  set(z, "-8", "0");
  set(w, "1.5", "0");
  cplx_pow(r, z, w);
  EXPECT_EQ(parts(r), "0 -2.262741699796952e1");
  set(z, "0", "3");
  cplx_sin(r, z);
  EXPECT_EQ(parts(r), "0 1.001787492740990e1");
  cplx_asin(r, z);
  EXPECT_EQ(parts(r), "0 1.818446459232067e0");
  set(z, "0.6", "0.8");
  cplx_ln(r, z);  // on the unit circle ln|z| vanishes exactly
  EXPECT_EQ(raw_text(cplx_re(r)), "0");
  // A real argument in the real domain gets the real function's digits.
  set(z, "0.5", "0");
  cplx_atan(r, z);
  Dec x, real;
  dec_from_word(x, 5);
  set_exponent_checked(x, -1, false);
  dec_atan(real, x);
  EXPECT_EQ(parts(r), raw_text(real) + " 0");
  // 0^w: the real rule for a real w, undefined otherwise.
  cplx_make_zero(z, false);
  set(w, "2", "1");
  cplx_pow(r, z, w);
  EXPECT_TRUE(is_undefined(cplx_re(r)));
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  set(w, "2.5", "0");
  cplx_pow(r, z, w);
  EXPECT_EQ(parts(r), "0 0");
  set(z, "1", "0");
  set(w, "2", "3");
  cplx_logx(r, z, w);
  EXPECT_EQ(g_arith.status, 203u) << "base 1";
}

TEST_F(ComplexFunctionsTest, IdentitiesAt2000Digits) {
  set_precision(2000);
  Cplx z, l, e, s, c, t;
  const char* args[][2] = {{"0.75", "-1.25"}, {"-3.5", "0.001"}, {"1e-30", "7"}, {"-12", "-40"}};
  for (const auto& a : args) {
    set(z, a[0], a[1]);
    cplx_ln(l, z);
    cplx_exp(e, l);
    // The rounded ln z moves exp(ln z) by a few units of |z| (not of a much smaller part).
    const std::int64_t ez = std::max(dec_exponent(cplx_re(z)), dec_exponent(cplx_im(z)));
    EXPECT_TRUE(close(cplx_re(e), cplx_re(z), ez, 2) && close(cplx_im(e), cplx_im(z), ez, 2))
        << a[0] << " " << a[1] << ": " << parts(e).substr(0, 80);
    cplx_sin(s, z);
    cplx_cos(c, z);
    cplx_mul(s, s, s);
    cplx_mul(c, c, c);
    cplx_add(t, s, c);
    // sin^2 + cos^2 = 1 up to the rounding of squares as large as |sin z|^2.
    cplx_make_zero(e, false);
    dec_from_word(cplx_re(e), 1);
    cplx_sub(t, t, e);
    const std::int64_t scale =
        is_zero(cplx_re(s)) ? 0 : std::max<std::int64_t>(dec_exponent(cplx_re(s)), 0);
    for (const DecFloat* part : {cplx_re(t), cplx_im(t)}) {
      EXPECT_TRUE(is_zero(part) || dec_exponent(part) <= scale - 1998)
          << a[0] << " " << a[1] << ": " << raw_text(part).substr(0, 40) << " e"
          << (is_zero(part) ? 0 : dec_exponent(part));
    }
  }
  EXPECT_EQ(g_arith.status, 0u);
}
