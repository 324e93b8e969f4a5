// Complex arithmetic against exact values (tests/data/gen_complex.py), and the rules of the
// text form, powers, comparison and the real-only operations.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "core/arith.h"
#include "core/complex.h"
#include "tests/core/test_util.h"

namespace {

struct Cplx {
  std::vector<Word> w = std::vector<Word>(2 * (static_cast<std::size_t>(kMaxLimbs) + 8), 0);
  operator Complex*() { return w.data(); }
  operator const Complex*() const { return w.data(); }
};

std::string unsigned_zero(std::string s) {
  return s == "-0" ? "0" : s;
}

std::string parts(const Complex* z) {
  return unsigned_zero(raw_text(cplx_re(z))) + " " + unsigned_zero(raw_text(cplx_im(z)));
}

std::string text_of(const Complex* z, std::uint32_t flags = 0) {
  std::u16string buf(static_cast<std::size_t>(cplx_format(nullptr, 0, z, flags)), u'\0');
  const std::int64_t n = cplx_format(buf.data(), static_cast<std::int64_t>(buf.size()), z, flags);
  std::string s;
  for (std::int64_t i = 0; i < n; ++i)
    s.push_back(static_cast<char>(buf[static_cast<std::size_t>(i)]));
  return s;
}

void parse(Complex* z, const char16_t* text) {
  cplx_parse(z, text, -1, 0);
}

class ComplexTest : public ::testing::Test {
 protected:
  void SetUp() override { arith_reset(); }
};

}  // namespace

TEST(ComplexReference, ProductsAndQuotientsRoundedOnce) {
  std::ifstream file(NUMERION_TEST_DATA "/complex.txt");
  ASSERT_TRUE(file);
  std::string line;
  int cases = 0, failures = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    LineReader in(line);
    const std::string op = in.word();
    arith_reset();
    set_precision(std::stoll(in.word()));
    Cplx a, b, want, got;
    in.number(cplx_re(a));
    in.number(cplx_im(a));
    in.number(cplx_re(b));
    in.number(cplx_im(b));
    in.word();
    in.number(cplx_re(want));
    in.number(cplx_im(want));
    if (op == "mul") cplx_mul(got, a, b);
    if (op == "div") cplx_div(got, a, b);
    if (op == "rec") cplx_reciprocal(got, a);
    ++cases;
    if ((parts(got) != parts(want) || g_arith.status != 0) && ++failures <= 10) {
      ADD_FAILURE() << line << "\n got " << parts(got) << " status " << g_arith.status;
    }
  }
  EXPECT_EQ(failures, 0);
  EXPECT_GT(cases, 1000);
}

TEST_F(ComplexTest, ArithmeticEdgeCases) {
  Cplx a, b, r;
  parse(a, u"1+2i");
  parse(b, u"3-i");
  cplx_mul(r, a, b);
  EXPECT_EQ(text_of(r), "5+5i");
  parse(a, u"1+i");
  parse(b, u"1-i");
  cplx_div(r, a, b);
  EXPECT_EQ(text_of(r), "i");
  parse(a, u"1");
  parse(b, u"2i");
  cplx_div(r, a, b);
  EXPECT_EQ(text_of(r), "-0.5i");
  parse(a, u"1+i");
  cplx_pow_int(r, a, 2);
  EXPECT_EQ(text_of(r), "2i");
  cplx_pow_int(r, a, -1);
  EXPECT_EQ(text_of(r), "0.5-0.5i");
  cplx_pow_int(r, a, 0);
  EXPECT_EQ(text_of(r), "1");
  cplx_mul_word(r, a, 3);
  EXPECT_EQ(text_of(r), "3+3i");
  EXPECT_EQ(g_arith.status, 0u);
  // (1 + i)^100 = -2^50, exactly representable
  cplx_pow_int(r, a, 100);
  EXPECT_EQ(parts(r), "-1.125899906842624e15 0");
  Cplx z;
  cplx_make_zero(z, false);
  cplx_div(r, a, z);
  EXPECT_EQ(g_arith.status, 200u);
}

TEST_F(ComplexTest, RealOnlyOperations) {
  Cplx a, b, q, r;
  parse(a, u"7");
  parse(b, u"2");
  cplx_divmod(q, r, a, b);
  EXPECT_EQ(text_of(q) + " " + text_of(r), "3 1");
  parse(b, u"2+i");
  cplx_divmod(q, r, a, b);
  EXPECT_EQ(g_arith.status, 205u) << "205 is reported, not the 203 of the results";
  EXPECT_TRUE(is_undefined(cplx_re(q)) && is_undefined(cplx_re(r)));
  clear_status();
  cplx_apply_real2(q, a, b, dec_add_rounded);
  EXPECT_EQ(g_arith.status, 205u);
  clear_status();
  parse(b, u"5");
  cplx_apply_real2(q, a, b, dec_add_rounded);
  EXPECT_EQ(text_of(q), "12");
  cplx_round_digits(q, a, 0);
  EXPECT_EQ(g_arith.status, 203u);
}

TEST_F(ComplexTest, Comparison) {
  Cplx a, b;
  parse(a, u"1+i");
  parse(b, u"1+i");
  EXPECT_EQ(cplx_compare(a, b, false), 0);
  parse(b, u"1-i");
  EXPECT_EQ(cplx_compare(a, b, false), 1);
  EXPECT_EQ(g_arith.status, 0u);
  EXPECT_EQ(cplx_compare(a, b, true), 1);
  EXPECT_EQ(g_arith.status, 205u);
  clear_status();
  parse(a, u"-3");
  parse(b, u"2");
  EXPECT_EQ(cplx_compare(a, b, false), -1);
  EXPECT_EQ(cplx_compare(a, b, true), 1);
}

TEST_F(ComplexTest, TextForms) {
  Cplx z;
  parse(z, u"3+1i");
  EXPECT_EQ(text_of(z), "3+i");
  parse(z, u"0-1i");
  EXPECT_EQ(text_of(z), "-i");
  parse(z, u"1+2.5e-7i");
  EXPECT_EQ(text_of(z), "1+(2.5e-7)i");
  parse(z, u"2-3i");
  EXPECT_EQ(parts(z), "2.000000000000000e0 -3.000000000000000e0");
  parse(z, u"-i");
  EXPECT_EQ(parts(z), "0 -1.000000000000000e0");
  parse(z, u"5");
  EXPECT_EQ(parts(z), "5.000000000000000e0 0");
  parse(z, u"1e-3+2i");
  EXPECT_EQ(parts(z), "1.000000000000000e-3 2.000000000000000e0");
  parse(z, u"  i ");
  EXPECT_EQ(text_of(z), "i");
  parse(z, u"1+(2.5e-7)i");
  EXPECT_EQ(text_of(z), "1+(2.5e-7)i");
  // A sign inside the parentheses combines with the separating sign.
  parse(z, u"3+(-2)i");
  EXPECT_EQ(text_of(z), "3-2i");
  parse(z, u"3-(-2)i");
  EXPECT_EQ(text_of(z), "3+2i");
  EXPECT_EQ(g_arith.status, 0u);
  for (const char16_t* bad : {u"", u"   ", u"pi", u"3+(2i", u"3+2)i", u"1+2+3i", u"ii", u"+-i"}) {
    clear_status();
    parse(z, bad);
    EXPECT_TRUE(is_undefined(cplx_re(z))) << std::u16string(bad).size();
    EXPECT_EQ(g_arith.status, 301u);
  }
  clear_status();
  parse(z, u"123456789+987654321i");
  char16_t small[8];
  EXPECT_EQ(cplx_format(small, 8, z, 0), 3);
  EXPECT_EQ(std::u16string(small), u"[$]");
  EXPECT_EQ(g_arith.status, 300u);
}
