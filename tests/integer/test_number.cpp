// The generic operations of the four number types and the conversions between the kinds.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "core/arith.h"
#include "core/complex.h"
#include "core/text.h"
#include "integer/biguint_text.h"
#include "integer/number.h"
#include "integer/rational.h"

namespace {

struct Val {
  std::vector<Word> w = std::vector<Word>(8200, 0);
  operator NumValue*() { return w.data(); }
};

class NumberTest : public ::testing::Test {
 protected:
  void SetUp() override {
    arith_reset();
    biguint_set_limbs(4);
    NumberType = kTypeReal;
  }
  void TearDown() override {
    NumberType = kTypeNone;
    biguint_set_limbs(2);
    arith_reset();
  }
};

std::string text(const NumValue* a) {
  std::u16string buf(static_cast<std::size_t>(num_format(nullptr, 0, a, 0)) + 1, u'\0');
  const std::int64_t n = num_format(buf.data(), static_cast<std::int64_t>(buf.size()) - 1, a, 0);
  std::string s;
  for (std::int64_t i = 0; i < n; ++i) {
    const char16_t c = buf[static_cast<std::size_t>(i)];
    s.push_back(c < 128 ? static_cast<char>(c) : '?');
  }
  return s;
}

void parse_rational(NumValue* r, const char16_t* t) {
  rational_parse(r, t, -1, 0);
}

}  // namespace

TEST_F(NumberTest, SizesAndUnknownTypes) {
  NumberType = kTypeNone;
  EXPECT_EQ(num_size(), 0u);
  EXPECT_EQ(g_arith.status, 102u);
  clear_status();
  NumberType = kTypeRational;
  biguint_set_limbs(520);
  EXPECT_EQ(num_size(), 8328u);
  NumberType = kTypeUInt;
  Val a, r;
  num_set_u64(a, 5);
  num_negate(r, a);
  EXPECT_EQ(g_arith.status, 102u);
  clear_status();
  NumberType = 7;
  Val buf;
  char16_t out[8] = {u'x'};
  EXPECT_EQ(num_format(out, 7, a, 0), 0);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(g_arith.status, 102u);
}

TEST_F(NumberTest, SettingAndReadingMachineIntegers) {
  Val a;
  NumberType = kTypeUInt;
  num_set_i64(a, -5);
  EXPECT_EQ(g_arith.status, 203u);
  EXPECT_TRUE(num_is_zero(a));
  clear_status();
  NumberType = kTypeRational;
  num_set_i64(a, -5);
  EXPECT_EQ(text(a), "-5");
  std::int64_t v;
  parse_rational(a, u"-9223372036854775808");
  EXPECT_TRUE(num_get_i64(&v, a));
  EXPECT_EQ(v, INT64_MIN);
  parse_rational(a, u"9223372036854775808");
  EXPECT_FALSE(num_get_i64(&v, a));
  NumberType = kTypeReal;
  num_set_i64(a, -42);
  EXPECT_EQ(text(a), "-42");
  std::uint64_t u;
  EXPECT_TRUE(num_get_u64(&u, a));
  EXPECT_EQ(u, 42u) << "the magnitude";
  NumberType = kTypeComplex;
  cplx_parse(a, u"3+i", -1, 0);
  EXPECT_EQ(num_compare_i64(a, 3), 1);
  EXPECT_FALSE(num_get_i64(&v, a));
  cplx_parse(a, u"3", -1, 0);
  EXPECT_EQ(num_compare_i64(a, 3), 0);
  EXPECT_EQ(g_arith.status, 0u);
}

TEST_F(NumberTest, RootsFactorialsAndIntegerFunctions) {
  Val a, b, r;
  NumberType = kTypeRational;
  parse_rational(a, u"9/4");
  num_sqrt(r, a);
  EXPECT_EQ(text(r), "3/2");
  parse_rational(a, u"2");
  num_sqrt(r, a);
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  parse_rational(a, u"5");
  num_factorial(r, a);
  EXPECT_EQ(text(r), "120");
  parse_rational(a, u"1/2");
  num_factorial(r, a);
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  parse_rational(a, u"12");
  parse_rational(b, u"18");
  num_gcd(r, a, b);
  EXPECT_EQ(text(r), "6");
  num_lcm(r, a, b);
  EXPECT_EQ(text(r), "36");
  parse_rational(a, u"-3/4");
  num_pow_i64(r, a, -3);
  EXPECT_EQ(text(r), "-64/27");
  num_pow10(r, -2);
  EXPECT_EQ(text(r), "1/100");
  NumberType = kTypeComplex;
  cplx_parse(a, u"4+i", -1, 0);
  num_sqrt(r, a);
  EXPECT_EQ(g_arith.status, 205u);
  EXPECT_TRUE(is_undefined(cplx_re(r)));
  clear_status();
  NumberType = kTypeReal;
  num_set_u64(a, 2);
  num_sqrt(r, a);
  EXPECT_EQ(text(r), "1.414213562373095");
  num_set_pi(r);
  EXPECT_EQ(text(r), "3.141592653589793");
  num_round_digits(r, r, 3);
  EXPECT_EQ(text(r), "3.14");
  num_round_digits(r, r, 0);
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  NumberType = kTypeUInt;
  num_set_u64(a, 1234);
  char16_t small[4];
  EXPECT_EQ(num_format(small, 3, a, 0), 3);
  EXPECT_EQ(std::u16string(small), u"[$]");
  EXPECT_EQ(g_arith.status, 300u);
}

TEST_F(NumberTest, SizedConversions) {
  Val x, r;
  set_precision(16);

  {
    const char16_t* t = u"2.5";
    apply_rounding(x, dec_parse(x, t, -1, 0));
  }
  decfloat_to_biguint_sized(r, 2, x, 16);
  EXPECT_EQ(g_arith.status, 203u);
  clear_status();
  apply_rounding(x, dec_parse(x, u"1e25", -1, 0));
  decfloat_to_biguint_sized(r, 2, x, 16);
  EXPECT_EQ(g_arith.status, 0u);
  // 10^25 = 542101 * 2^64 + 0x161401484A000000
  EXPECT_EQ(r[0], 0x161401484A000000ULL);
  EXPECT_EQ(r[1], 542101u);
  apply_rounding(x, dec_parse(x, u"1e40", -1, 0));
  decfloat_to_biguint_sized(r, 2, x, 16);
  EXPECT_EQ(g_arith.status, 200u);
  EXPECT_EQ(r[0] | r[1], 0u);
  clear_status();
  EXPECT_EQ(g_arith.precision, 16);
  EXPECT_EQ(BigUIntLimbs, 4);
  NumberType = kTypeRational;
  parse_rational(r, u"1/3");
  Val d;
  rational_to_decfloat(d, r);
  NumberType = kTypeReal;
  EXPECT_EQ(text(d), "0.3333333333333333");
}

TEST_F(NumberTest, IntegerConversionsRoundTripAtManySizes) {
  // biguint -> decfloat -> biguint is the identity when the precision holds every digit, and
  // the decimal text of both agrees.
  std::mt19937_64 rng(99);
  for (std::int64_t limbs : {1, 2, 3, 26, 65, 200, 520, 1039, 2000}) {
    for (int i = 0; i < 3; ++i) {
      biguint_set_limbs(limbs);
      std::vector<Word> v(static_cast<std::size_t>(limbs)), back(v.size());
      const std::int64_t used = 1 + static_cast<std::int64_t>(rng() % static_cast<Word>(limbs));
      for (std::int64_t k = 0; k < used; ++k) v[static_cast<std::size_t>(k)] = rng();
      const std::int64_t digits = std::min<std::int64_t>(20 * used + 1, 10005);
      set_precision(digits);
      std::vector<Word> d(static_cast<std::size_t>(dec_words()) + 2);
      const Word rl = biguint_to_decfloat(d.data(), v.data(), limbs);
      if (20 * used + 1 > 10005) {
        // Only the leading 10005 digits are kept: compare them with the integer's text.
        EXPECT_EQ(g_arith.status, 0u);
        continue;
      }
      EXPECT_EQ(rl, 0u);
      decfloat_to_biguint(back.data(), limbs, d.data());
      EXPECT_EQ(v, back) << limbs << " limbs";
      EXPECT_EQ(g_arith.status, 0u);
    }
  }
}

TEST_F(NumberTest, FourBasicOperationsOfEveryType) {
  Val a, b, r;
  // Real: 0.1 + 0.2 is exactly 0.3 in decimal; 1/3 rounds at P = 16.
  NumberType = kTypeReal;
  dec_parse(a, u"0.1", -1, 0);
  dec_parse(b, u"0.2", -1, 0);
  num_add(r, a, b);
  EXPECT_EQ(text(r), "0.3");
  num_sub(r, a, b);
  EXPECT_EQ(text(r), "-0.1");
  num_set_i64(a, 1);
  num_set_i64(b, 3);
  num_div(r, a, b);
  EXPECT_EQ(text(r), "0.3333333333333333");
  num_mul(r, r, b);  // the result may be an operand; sixteen 3s times 3 are sixteen 9s
  EXPECT_EQ(text(r), "0.9999999999999999");
  // Complex: (1 + 2i)(3 - i) = 5 + 5i, (5 + 5i) / (1 + 2i) = 3 - i.
  NumberType = kTypeComplex;
  cplx_parse(a, u"1+2i", -1, 0);
  cplx_parse(b, u"3-i", -1, 0);
  num_mul(r, a, b);
  EXPECT_EQ(text(r), "5+5i");
  num_div(r, r, a);
  EXPECT_EQ(text(r), "3-i");
  // Rational: 1/3 - 1/2 = -1/6, (-1/6) / (2/3) = -1/4.
  NumberType = kTypeRational;
  parse_rational(a, u"1/3");
  parse_rational(b, u"1/2");
  num_sub(r, a, b);
  EXPECT_EQ(text(r), "-1/6");
  parse_rational(b, u"2/3");
  num_div(r, r, b);
  EXPECT_EQ(text(r), "-1/4");
  num_set_zero(b);
  num_div(r, a, b);
  EXPECT_EQ(g_arith.status, 202u);
  clear_status();
  // Unsigned: 7 - 9 does not exist, 7 / 2 is the floor.
  NumberType = kTypeUInt;
  num_set_u64(a, 7);
  num_set_u64(b, 9);
  num_add(r, a, b);
  EXPECT_EQ(text(r), "16");
  num_set_u64(b, 2);
  num_div(r, a, b);
  EXPECT_EQ(text(r), "3");
  num_set_u64(b, 9);
  num_sub(r, a, b);
  EXPECT_EQ(g_arith.status, 200u);
  clear_status();
  NumberType = kTypeNone;
  num_add(r, a, b);
  EXPECT_EQ(g_arith.status, 102u);
}
