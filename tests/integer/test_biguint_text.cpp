// BigUInt text: golden strings, configured separators, buffer sizes and hostile input.
#include "biguint_test_util.h"
#include "integer/biguint_text.h"

using namespace biguint_test;

namespace {

class BigUIntText : public BigUIntTest {
 protected:
  // Parses text; returns the value in hexadecimal, or "!" followed by the status.
  std::string parse(std::u16string_view text, std::uint32_t flags) {
    Limbs r = num(4242);
    clear_status();
    biguint_parse(r.data(), text.data(), static_cast<std::int64_t>(text.size()), flags);
    if (status() != 0) {
      EXPECT_TRUE(is_zero(r)) << "a failed parse leaves 0";
      std::string failed = "!";
      failed += std::to_string(status());
      return failed;
    }
    return hex(r);
  }
  std::string format(const Limbs& v, std::uint32_t flags) {
    std::u16string buf(static_cast<std::size_t>(biguint_text_size(flags)), u'#');
    TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
    biguint_format(sink, v.data(), flags);
    EXPECT_LT(sink.pos, sink.capacity);
    return narrow(buf.substr(0, static_cast<std::size_t>(sink.pos)));
  }
};

constexpr std::uint32_t kFixed = 0x200, kGroup = 0x100;

TEST_F(BigUIntText, ParsingEdgeCases) {
  EXPECT_EQ(parse(u" 1'234 ", kGroup | kFixed), "4d2");
  EXPECT_EQ(parse(u" 1 234 ", kGroup | kFixed), "!301");
  EXPECT_EQ(parse(u"1'234", kFixed), "!301");  // separators need grouping
  EXPECT_EQ(parse(u"1''234", kGroup | kFixed), "!301");
  EXPECT_EQ(parse(u"1234'", kGroup | kFixed), "!301");
  EXPECT_EQ(parse(u"'1234", kGroup | kFixed), "!301");
  EXPECT_EQ(parse(u"+12", 0), "c");
  EXPECT_EQ(parse(u"-12", 0), "!301");
  EXPECT_EQ(parse(u"++12", 0), "!301");
  EXPECT_EQ(parse(u"ff", 16), "ff");
  EXPECT_EQ(parse(u"FG", 16), "!301");
  EXPECT_EQ(parse(u"102", 2), "!301");
  EXPECT_EQ(parse(u"777", 8), "1ff");
  EXPECT_EQ(parse(u"8", 8), "!301");
  EXPECT_EQ(parse(u"1e3", 0), "3e8");
  EXPECT_EQ(parse(u"1E+3", 0), "3e8");
  EXPECT_EQ(parse(u"1.2e-1", kFixed), "!301");
  EXPECT_EQ(parse(u"0e-5", 0), "0");
  EXPECT_EQ(parse(u"1.5e1", kFixed), "f");
  EXPECT_EQ(parse(u"1500e-2", 0), "f");
  EXPECT_EQ(parse(u"1.25e1", kFixed), "!301");
  EXPECT_EQ(parse(u"15e-1", 0), "!301");
  EXPECT_EQ(parse(u"1.50e1", kFixed), "f");
  EXPECT_EQ(parse(u"1e99999999999999999999", 0), "!301");  // 20 nines
  EXPECT_EQ(parse(u"1e18446744073709551616", 0), "!301");  // one above 2^64 - 1
  EXPECT_EQ(parse(u"1e", 0), "!301");
  EXPECT_EQ(parse(u"1e+", 0), "!301");
  EXPECT_EQ(parse(u"1e1e1", 0), "!301");
  EXPECT_EQ(parse(u"1e1.0", kFixed), "!301");
  EXPECT_EQ(parse(u".5", kFixed), "!301");
  EXPECT_EQ(parse(u"5.", kFixed), "!301");
  EXPECT_EQ(parse(u"1.5", 16 | kFixed), "!301");
  EXPECT_EQ(parse(u"1e3", 16), "1e3");  // e is a digit in base 16
  EXPECT_EQ(parse(u"", 0), "!301");
  EXPECT_EQ(parse(u"    ", 0), "!301");
  EXPECT_EQ(parse(u"12", 7), "!100");
  EXPECT_EQ(parse(u"12", 0x11), "!100");
  EXPECT_EQ(parse(u"", 7), "!301");         // empty text fails before the base is looked at
  EXPECT_EQ(parse(u"0\u0661", 0), "!301");  // Arabic-Indic digit one
  // N = 2: 2^128 - 1 fits, 2^128 does not (Python)
  EXPECT_EQ(parse(u"340282366920938463463374607431768211455", 0),
            "ffffffffffffffffffffffffffffffff");
  EXPECT_EQ(parse(u"340282366920938463463374607431768211456", 0), "!200");
  EXPECT_EQ(parse(u"3.40282366920938463463374607431768211456e38", kFixed), "!200");
  EXPECT_EQ(parse(u"340282366920938463463374607431768211456e-1", 0), "!200");  // digits first
}

TEST_F(BigUIntText, ParseStatusDiscipline) {
  Limbs r = num(1);
  set_status(MathStatus::Overflow);
  biguint_parse(r.data(), u"123", -1, 0);  // still parses, keeps the earlier status
  EXPECT_EQ(r[0], 123u);
  EXPECT_EQ(status(), 200u);
  biguint_parse(r.data(), u"x", -1, 0);
  EXPECT_EQ(status(), 200u);
  EXPECT_TRUE(is_zero(r));
  clear_status();
  biguint_parse_decimal(r.data(), u"12.50", 5, 1, true);
  EXPECT_EQ(r[0], 125u);
  biguint_parse_decimal(r.data(), u"1.2.3", 5, 5, true);
  EXPECT_EQ(status(), 301u);
  clear_status();
  biguint_parse_decimal(r.data(), u"12", 2, std::numeric_limits<std::int64_t>::min(), false);
  EXPECT_EQ(status(), 301u);
  clear_status();
  biguint_parse(r.data(), nullptr, 0, 0);
  EXPECT_EQ(status(), 301u);
  clear_status();
  biguint_parse(r.data(), u"12", -5, 0);
  EXPECT_EQ(status(), 301u);
}

TEST_F(BigUIntText, ConfiguredSeparators) {
  for (char16_t& c : g_number_settings.decimal_sep) c = u',';
  g_number_settings.thousands_sep[0] = u'.';
  g_number_settings.thousands_sep[1] = u'\u202f';
  g_number_settings.thousands_sep[2] = u'\u202f';
  g_number_settings.exponent_marker[0] = u'E';  // written; "e" still read from slot 2
  g_number_settings.exponent_marker[1] = u'e';
  EXPECT_EQ(parse(u"1.234.567", kGroup), "12d687");
  EXPECT_EQ(parse(u"1\u202f234", kGroup), "4d2");
  EXPECT_EQ(parse(u"1,5e1", 0), "f");
  EXPECT_EQ(parse(u"1.5e1", 0), "!301");  // "." is a thousands separator here
  EXPECT_EQ(parse(u"1'234", kGroup), "!301");
  EXPECT_EQ(parse(u"1'234", kGroup | kFixed), "4d2");
  Limbs v = num(1234567);
  EXPECT_EQ(format(v, kGroup), "1.234.567");
  EXPECT_EQ(format(v, kGroup | kFixed), "1'234'567");
  EXPECT_EQ(format(num(1200), 0x10000), "1,200E+3");
  EXPECT_EQ(format(num(1200), 0x10000 | kFixed), "1.200E+3");
  // A character in both sets is read as the scanner took it: a decimal point without grouping,
  // a thousands separator with it.
  g_number_settings.decimal_sep[1] = u'.';
  EXPECT_EQ(parse(u"1.5e1", 0), "f");
  EXPECT_EQ(parse(u"1.5e1", kGroup), "96");
}

TEST_F(BigUIntText, FormattingGoldenStrings) {
  EXPECT_EQ(format(num(1234567), 10 | kGroup | kFixed), "1'234'567");
  EXPECT_EQ(format(num(0x1FFFF), 16 | kGroup | kFixed), "1'FFFF");
  EXPECT_EQ(format(num(0xabc), 16 | kLowerHexDigits), "abc");
  EXPECT_EQ(format(num(123456), kGroup | kFixed), "123'456");
  EXPECT_EQ(format(num(0x1234), 16 | kGroup | kFixed), "1234");
  for (std::uint32_t base : {2u, 8u, 10u, 16u, 0u}) {
    EXPECT_EQ(format(num(0), base | kGroup | kFixed), "0");
  }
  EXPECT_EQ(format(num(0), 0x10000 | kFixed), "0e+0");
  EXPECT_EQ(format(num(0), 0x90000 | kFixed), "0e+0");
  EXPECT_EQ(format(num(1200), 0x10000 | kFixed), "1.200e+3");
  EXPECT_EQ(format(num(1200), 0x90000 | kFixed), "1.2e+3");
  EXPECT_EQ(format(num(5), 0x10000 | kFixed), "5e+0");
  EXPECT_EQ(format(num(5), 0x12000 | kFixed), "5e0");
  EXPECT_EQ(format(num(5), 0x1000 | kFixed), "+5");
  EXPECT_EQ(format(num(1000000), 0x90000 | kGroup | kFixed), "1e+6");  // never grouped
  EXPECT_EQ(format(num(10), 2 | kGroup | kFixed), "1010");
  EXPECT_EQ(format(num(0x1F), 2 | kGroup | kFixed), "1'1111");
  EXPECT_EQ(format(num(8), 8), "10");
  EXPECT_EQ(status(), 0u);
  EXPECT_EQ(format(num(5), 16 | 0x10000), "[P]");
  EXPECT_EQ(status(), 100u);
  clear_status();
  EXPECT_EQ(format(num(5), 3 | 0x1000), "+[P]");
  EXPECT_EQ(status(), 100u);
  clear_status();
  // 2^128 - 1 in every base at N = 2 (Python)
  Limbs all = {~0ULL, ~0ULL};
  EXPECT_EQ(format(all, 10), "340282366920938463463374607431768211455");
  EXPECT_EQ(format(all, 8), "3777777777777777777777777777777777777777777");
  EXPECT_EQ(format(all, 0x10000 | kFixed), "3.40282366920938463463374607431768211455e+38");
}

TEST_F(BigUIntText, TextSizeCoversEveryValue) {
  EXPECT_EQ(biguint_text_size(10), 41);  // N = 2: 39 digits + 2
  const std::uint32_t flag_sets[] = {2,
                                     2 | kGroup,
                                     8,
                                     8 | kGroup,
                                     16,
                                     16 | kGroup,
                                     10,
                                     10 | kGroup,
                                     0x10000,
                                     0x13000 | kGroup,
                                     0x1000 | kGroup};
  for (std::int64_t n : {1, 2, 3, 26, 65, 520, 1039, 2000}) {
    set_n(n);
    Limbs all(static_cast<std::size_t>(n), ~0ULL);
    for (std::uint32_t flags : flag_sets) {
      std::u16string buf(static_cast<std::size_t>(biguint_text_size(flags | 0x1000)), u'#');
      TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
      biguint_format(sink, all.data(), flags | 0x1000);
      ASSERT_LT(sink.pos, sink.capacity) << n << " flags " << flags;  // room for the zero
    }
  }
  // A sink that is too small is left over-full; the characters that fit are written.
  set_n(2);
  char16_t small[4];
  TextSink sink{0, 4, small};
  biguint_format(sink, num(123456789).data(), 0);
  EXPECT_GT(sink.pos, sink.capacity);
  EXPECT_EQ(status(), 0u);
}

TEST_F(BigUIntText, FormatReportsAnExhaustedDigitArea) {
  // Drain the scratch stack so the digit words cannot be had.
  const ScratchMark mark = scratch_mark();
  while (scratch_used_words() + kScratchMaxRequest <= kScratchWords)
    scratch_alloc(kScratchMaxRequest);
  scratch_alloc(kScratchWords - scratch_used_words());
  set_n(2000);
  Limbs v(2000, 7);
  std::u16string buf(64, u'#');
  TextSink sink{0, 64, buf.data()};
  clear_status();
  biguint_format(sink, v.data(), 10);
  EXPECT_EQ(narrow(buf.substr(0, static_cast<std::size_t>(sink.pos))), "[\u00a7]");
  EXPECT_EQ(status(), 400u);
  scratch_release(mark);
}

TEST_F(BigUIntText, RoundTripsInEveryBaseAndSize) {
  std::mt19937_64 rng(99);
  const std::uint32_t flag_sets[] = {
      2 | kGroup | kFixed, 8, 10, 10 | kGroup | kFixed, 16 | kLowerHexDigits, 16 | kGroup | kFixed,
      0x10000 | kFixed};
#ifdef NUMERION_SANITIZE
  const int rounds = 60;
#else
  const int rounds = 400;
#endif
  for (int round = 0; round < rounds; ++round) {
    const std::int64_t n = round % 20 == 0 ? 2000 : 1 + static_cast<std::int64_t>(rng() % 70);
    set_n(n);
    const Limbs v = random_value(rng, 1 + static_cast<std::int64_t>(rng() % n), n);
    for (std::uint32_t flags : flag_sets) {
      std::u16string buf(static_cast<std::size_t>(biguint_text_size(flags)), u'#');
      TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
      biguint_format(sink, v.data(), flags);
      Limbs back = zeros();
      biguint_parse(back.data(), buf.data(), sink.pos, flags & 0x3ff);
      ASSERT_EQ(hex(back), hex(v)) << "flags " << flags;
      ASSERT_EQ(status(), 0u);
    }
  }
}

TEST_F(BigUIntText, HostileInputNeverBreaksTheParser) {
  // Random code units (including surrogates and NUL inside a counted text), long digit runs and
  // exponents at the edges: every answer is a value or status 100, 200 or 301, and the parser
  // reads exactly the characters it was given (the sanitizer build guards the bounds: texts are
  // copied into exactly sized heap blocks).
  std::mt19937_64 rng(4711);
  std::u16string alphabet = u"0123456789abcdefABCDEFeE+-.,' \u202f\u00a0x\uffff";
  alphabet += char16_t{0};
  alphabet += char16_t{0xd800};  // a lone surrogate
#ifdef NUMERION_SANITIZE
  const int rounds = 20000;
#else
  const int rounds = 200000;
#endif
  for (int round = 0; round < rounds; ++round) {
    set_n(1 + static_cast<std::int64_t>(rng() % 4));
    const std::size_t len = rng() % 40;
    std::unique_ptr<char16_t[]> text(new char16_t[len]);
    for (std::size_t i = 0; i < len; ++i) text[i] = alphabet[rng() % alphabet.size()];
    const std::uint32_t flags = static_cast<std::uint32_t>(rng() % 20) | (rng() % 2 ? kGroup : 0) |
                                (rng() % 2 ? kFixed : 0);
    Limbs r = num(5);
    clear_status();
    biguint_parse(r.data(), text.get(), static_cast<std::int64_t>(len), flags);
    const std::uint32_t s = status();
    ASSERT_TRUE(s == 0 || s == 100 || s == 200 || s == 301) << s;
    if (s != 0) {
      ASSERT_TRUE(is_zero(r));
    }
  }
  // 100,000 digits: leading zeros that leave a small value, and a value far too large
  set_n(2000);
  std::u16string zeros_then_12(100000, u'0');
  zeros_then_12 += u"12";
  EXPECT_EQ(parse(zeros_then_12, 0), "c");
  EXPECT_EQ(parse(std::u16string(100000, u'9'), 0), "!200");
  EXPECT_EQ(parse(std::u16string(100000, u'f'), 16), "!200");
  std::u16string grouped;
  for (int i = 0; i < 40000; ++i) grouped += u"1'";
  grouped += u"1";
  EXPECT_EQ(parse(grouped, kGroup | kFixed), "!200");  // 40,001 digits
  EXPECT_EQ(parse(grouped, kFixed), "!301");
  // huge exponents of both signs finish quickly
  EXPECT_EQ(parse(u"7e9223372036854775807", 0), "!200");
  EXPECT_EQ(parse(u"7e-9223372036854775807", 0), "!301");
  std::u16string scaled = u"1";
  scaled.append(5000, u'0');
  scaled += u"e-5000";
  EXPECT_EQ(parse(scaled, 0), "1");
  // a NUL-terminated text stops at its terminator
  Limbs r = zeros();
  const char16_t terminated[] = u"123\0 456";
  biguint_parse(r.data(), terminated, -1, 0);
  EXPECT_EQ(r[0], 123u);
}

}  // namespace
