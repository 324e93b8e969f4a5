// Rational arithmetic against Python's fractions module (tests/data/gen_rational.py) and the
// status rules of the rational operations.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/decfloat.h"
#include "integer/biguint.h"
#include "integer/biguint_text.h"
#include "integer/number.h"
#include "integer/rational.h"
#include "core/text.h"

namespace {

struct Rat {
  std::vector<Word> w = std::vector<Word>(2 * static_cast<std::size_t>(kMaxBigUIntLimbs) + 1);
  operator Rational*() { return w.data(); }
};

std::u16string u16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

void parse(Rational* r, const std::string& s) {
  const std::u16string t = u16(s);
  rational_parse(r, t.data(), static_cast<std::int64_t>(t.size()), 0);
}

std::string text(const Rational* r, std::uint32_t flags = 0) {
  std::u16string buf(static_cast<std::size_t>(rational_format(nullptr, 0, r, flags)) + 1, u'\0');
  const std::int64_t n =
      rational_format(buf.data(), static_cast<std::int64_t>(buf.size()) - 1, r, flags);
  std::string s;
  for (std::int64_t i = 0; i < n; ++i) s.push_back(static_cast<char>(buf[static_cast<std::size_t>(i)]));
  return s;
}

class RationalTest : public ::testing::Test {
 protected:
  void SetUp() override {
    arith_reset();
    biguint_set_limbs(4);
  }
  void TearDown() override { biguint_set_limbs(2); }
  std::string eval(const std::string& a, const std::string& b,
                   void (*op)(Rational*, const Rational*, const Rational*, bool), bool flag) {
    Rat x, y, r;
    parse(x, a);
    parse(y, b);
    op(r, x, y, flag);
    return text(r);
  }
};

}  // namespace

TEST(RationalReference, MatchesPythonFractions) {
  std::ifstream file(NUMERION_TEST_DATA "/rational.txt");
  ASSERT_TRUE(file);
  std::string line;
  int cases = 0, failures = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string op, a, b, eq, want, want2;
    std::int64_t n;
    in >> op >> n >> a >> b >> eq >> want >> want2;
    arith_reset();
    biguint_set_limbs(n);
    Rat x, y, r, r2;
    parse(x, a);
    std::string got, got2;
    if (op == "todec") {
      // b is the precision, want the sign, the rest the digits and exponent
      std::string digits;
      std::int64_t e;
      in.clear();
      std::istringstream rest(line.substr(line.find(" = ") + 3));
      std::string sign;
      rest >> sign >> digits >> e;
      set_precision(std::stoll(b));
      std::vector<Word> d(static_cast<std::size_t>(dec_words()) + 2);
      rational_to_decfloat(d.data(), x);
      std::u16string out(static_cast<std::size_t>(dec_text_size(kForceScientific)), u'\0');
      TextSink sink{0, static_cast<std::int64_t>(out.size()), out.data()};
      dec_format(sink, d.data(), kForceScientific | kNoExponentPlus | kStripZeros);
      got = std::string(out.begin(), out.begin() + sink.pos);
      std::string w = sign == "-" ? "-" : "";
      w.push_back(digits[0]);
      if (digits.size() > 1) {
        w.push_back('.');
        w.append(digits, 1, std::string::npos);
      }
      while (w.back() == '0') w.pop_back();
      if (w.back() == '.') w.pop_back();
      want = w + "e" + std::to_string(e);
      ++cases;
      if (got != want && ++failures <= 10) ADD_FAILURE() << line.substr(0, 200) << "\n got " << got;
      continue;
    }
    if (op == "powi") {
      Rat e;
      parse(e, b);
      rational_pow(r, x, e);
      got = text(r);
    } else {
      parse(y, b);
      ASSERT_EQ(g_arith.status, 0u) << line.substr(0, 200);
      if (op == "add") rational_add(r, x, y, false);
      if (op == "sub") rational_add(r, x, y, true);
      if (op == "mul") rational_mul(r, x, y, false);
      if (op == "div") rational_mul(r, x, y, true);
      if (op == "divmod") {
        rational_divmod(r, r2, x, y);
        got2 = text(r2);
      }
      if (op == "cmp") got = std::to_string(rational_compare(x, y, false));
      if (op != "cmp") got = text(r);
    }
    if (want == "overflow") {
      got = g_arith.status == 200 && text(r) == "0" ? "overflow" : got + " status " +
                                                                     std::to_string(g_arith.status);
    } else if (g_arith.status != 0) {
      got += " status " + std::to_string(g_arith.status);
    }
    ++cases;
    if ((got != want || got2 != want2) && ++failures <= 10) {
      ADD_FAILURE() << line.substr(0, 300) << "\n got " << got.substr(0, 200) << " "
                    << got2.substr(0, 200);
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GT(cases, 1200);
}

TEST_F(RationalTest, ArithmeticEdgeCases) {
  EXPECT_EQ(eval("1/2", "1/2", rational_add, true), "0");
  EXPECT_EQ(eval("1/3", "1/6", rational_add, false), "1/2");
  EXPECT_EQ(eval("2/3", "3/4", rational_mul, false), "1/2");
  EXPECT_EQ(eval("2/3", "4/9", rational_mul, true), "3/2");
  EXPECT_EQ(eval("4/9", "1/2", [](Rational* r, const Rational* a, const Rational* b,
                                  bool) { rational_pow(r, a, b); },
                 false),
            "2/3");
  EXPECT_EQ(eval("-8/27", "3", [](Rational* r, const Rational* a, const Rational* b,
                                  bool) { rational_pow(r, a, b); },
                 false),
            "-512/19683");
  EXPECT_EQ(g_arith.status, 0u);
  EXPECT_EQ(eval("-8/27", "1/3", [](Rational* r, const Rational* a, const Rational* b,
                                    bool) { rational_pow(r, a, b); },
                 false),
            "0");
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  EXPECT_EQ(eval("2", "1/2", [](Rational* r, const Rational* a, const Rational* b,
                                bool) { rational_pow(r, a, b); },
                 false),
            "0");
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  auto root = [](Rational* r, const Rational* a, const Rational* b, bool) {
    rational_root(r, a, b);
  };
  EXPECT_EQ(eval("3", "-27", root, false), "-3");
  EXPECT_EQ(eval("2", "-4", root, false), "0");
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  auto log = [](Rational* r, const Rational* a, const Rational* b, bool) {
    rational_log(r, a, b);
  };
  EXPECT_EQ(eval("2", "1/8", log, false), "-3");
  EXPECT_EQ(eval("2", "6", log, false), "0");
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  EXPECT_EQ(eval("1/2", "2", rational_binomial, false), "-1/8");
  EXPECT_EQ(eval("1/2", "2", rational_binomial, true), "-1/4");
  EXPECT_EQ(eval("5", "2", rational_binomial, false), "10");
  EXPECT_EQ(g_arith.status, 0u);
}

TEST_F(RationalTest, DivisionAndRemainders) {
  Rat a, b, q, r;
  parse(a, "7");
  parse(b, "2");
  rational_divmod(q, r, a, b);
  EXPECT_EQ(text(q) + " " + text(r), "3 1");
  parse(a, "-7");
  rational_divmod(q, r, a, b);
  EXPECT_EQ(text(q) + " " + text(r), "-3 -1");
  // The remainder keeps the dividend's sign, as the decimal types do: 7 = (-3)(-2) + 1.
  parse(a, "7");
  parse(b, "-2");
  rational_divmod(q, r, a, b);
  EXPECT_EQ(text(q) + " " + text(r), "-3 1");
  parse(a, "7/2");
  parse(b, "2/3");
  rational_divmod(q, r, a, b);
  EXPECT_EQ(text(q) + " " + text(r), "5 1/6");
  // 0/0 is no number: division by zero, whatever the dividend.
  parse(a, "0");
  parse(b, "0");
  rational_mul(q, a, b, true);
  EXPECT_EQ(g_arith.status, 202u);
  clear_status();
  rational_div_u64(q, a, 0);
  EXPECT_EQ(g_arith.status, 202u);
  clear_status();
  rational_reciprocal(q, a);
  EXPECT_EQ(g_arith.status, 202u);
  clear_status();
  // An earlier status wins over a later failure.
  set_status(MathStatus::Overflow);
  rational_reciprocal(q, a);
  EXPECT_EQ(g_arith.status, 200u);
  EXPECT_EQ(text(q), "0");
}

TEST_F(RationalTest, OverflowAtTwoLimbs) {
  biguint_set_limbs(2);
  Rat a, r;
  parse(a, "18446744073709551616");  // 2^64
  rational_mul(r, a, a, false);        // 2^128 needs three limbs
  EXPECT_EQ(g_arith.status, 200u);
  EXPECT_EQ(text(r), "0");
  EXPECT_FALSE(rat_negative(r));
}

TEST_F(RationalTest, TextForms) {
  Rat r;
  parse(r, "-6/4");
  EXPECT_EQ(text(r), "-3/2");
  EXPECT_EQ(text(r, 0x1000), "-3/2");
  parse(r, "1e3/2");
  EXPECT_EQ(text(r), "500");
  parse(r, " 3 / 1 ");
  EXPECT_EQ(text(r), "3");
  parse(r, "0");
  EXPECT_EQ(text(r, 0x1000), "+0");
  for (const char* bad : {"1/+2", "1/-2", "", "  ", "-", "--1", "+-1", "1/", "/2", "x"}) {
    clear_status();
    parse(r, bad);
    EXPECT_EQ(g_arith.status, 301u) << bad;
    EXPECT_EQ(text(r), "0");
  }
  clear_status();
  parse(r, "1/0");
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  parse(r, "123456789/7");
  char16_t small[4];
  EXPECT_EQ(rational_format(small, 3, r, 0), 3);
  EXPECT_EQ(std::u16string(small), u"[$]");
  EXPECT_EQ(g_arith.status, 300u);
  clear_status();
  r[0] = 2;  // a broken sign word
  EXPECT_EQ(text(r), "[?]");
}

TEST_F(RationalTest, ConversionsAndLogs) {
  Rat r, a;
  std::uint64_t v;
  parse(a, "7/2");
  EXPECT_FALSE(rational_to_u64(&v, a, 0));
  EXPECT_TRUE(rational_to_u64(&v, a, 0x200000));
  EXPECT_EQ(v, 3u);
  parse(a, "-5");
  EXPECT_FALSE(rational_to_u64(&v, a, 0));
  EXPECT_TRUE(rational_to_u64(&v, a, 0x400000));
  EXPECT_EQ(v, 5u);
  parse(a, "1/1000");
  rational_exact_log(r, a, biguint_log10);
  EXPECT_EQ(text(r), "-3");
  parse(a, "3/4");
  rational_exact_log(r, a, biguint_log2);
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  parse(a, "-3");
  rational_int_power(r, a, biguint_pow2);
  EXPECT_EQ(text(r), "1/8");
  rational_i64_power(r, 5, biguint_pow10_i64);
  EXPECT_EQ(text(r), "100000");
  parse(a, "-7/2");
  rational_trunc(r, a);
  EXPECT_EQ(text(r), "-3");
  rational_frac(r, a);
  EXPECT_EQ(text(r), "-1/2");
  EXPECT_EQ(rational_compare_u64(a, 3, true), -1);
  EXPECT_EQ(rational_compare_u64(a, 4, true), 1);
  EXPECT_EQ(rational_compare(a, a, true), 0);
}
