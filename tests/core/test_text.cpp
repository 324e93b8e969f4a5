// Text form of DecFloat: parsing and formatting against golden strings, the grammar's edge
// cases, round trips at every precision, and a randomized loop of hostile texts.
//
// The golden tables were computed with Python's decimal module (Context(prec=P,
// rounding=ROUND_HALF_UP) on the mantissa, the exponent added as a Python integer) and an
// independent Python rendering of the notation rules; the script is tests/data/gen_text.py.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "core/arith.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "tests/core/test_util.h"

namespace {

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    arith_reset();
    g_number_settings = NumberSettings{};
  }
  void TearDown() override {
    g_number_settings = NumberSettings{};
    arith_reset();
  }
};

void use_comma_and_point() {
  set_separator_slots(g_number_settings.decimal_sep, u",", 1, u'.');
  set_separator_slots(g_number_settings.thousands_sep, u".", 1, u'\'');
}

std::u16string u16(std::string_view s) {
  return std::u16string(s.begin(), s.end());
}

Word parse(DecFloat* x, std::u16string_view t, std::uint32_t flags) {
  return dec_parse(x, t.data(), static_cast<std::int64_t>(t.size()), flags);
}

// Parsed and rounded, as every caller uses it; the plain text form for comparisons.
std::string parsed(std::u16string_view t, std::uint32_t flags = 0) {
  Dec x;
  apply_rounding(x, parse(x, t, flags));
  return raw_text(x);
}

std::u16string format(const DecFloat* x, std::uint32_t flags, std::int64_t capacity = -1) {
  std::u16string buf(static_cast<std::size_t>(capacity < 0 ? dec_text_size(flags) : capacity),
                     u'#');
  TextSink sink{0, static_cast<std::int64_t>(buf.size()), buf.data()};
  dec_format(sink, x, flags);
  if (sink_overflowed(sink)) return u"<overflow>";
  buf.resize(static_cast<std::size_t>(sink.pos));
  return buf;
}

std::u16string reformat(std::string_view text, std::uint32_t flags) {
  Dec x;
  apply_rounding(x, parse(x, u16(text), kFixedNotation));
  return format(x, flags);
}

bool same_record(const DecFloat* a, const DecFloat* b) {
  return std::memcmp(a, b, static_cast<std::size_t>(dec_words()) * sizeof(Word)) == 0;
}

// The record invariants, checked without the code under test.
bool well_formed(const DecFloat* x) {
  const std::int64_t n = g_arith.limb_count, k = g_arith.top_digits;
  if (is_special(x)) {
    for (std::int64_t i = 2; i <= n; ++i) {
      if (x[i] != 0) return false;
    }
    return x[1] <= 2 && !(x[1] == 2 && dec_negative(x));
  }
  if (x[1] < kPow10[k - 1] || x[1] >= kPow10[k]) return false;
  for (std::int64_t i = 2; i <= n; ++i) {
    if (x[i] >= kLimbBase) return false;
  }
  return true;
}

TEST_F(TextTest, SeparatorSlots) {
  char16_t slots[3] = {u'x', u'x', u'x'};
  set_separator_slots(slots, u".,", 2, u'\'');
  EXPECT_EQ(std::u16string(slots, 3), u".,,");
  set_separator_slots(slots, nullptr, 0, u'\'');
  EXPECT_EQ(std::u16string(slots, 3), u"'''");
  set_separator_slots(slots, u"\u202F", -1, u'.');
  EXPECT_EQ(std::u16string(slots, 3), u"\u202F\u202F\u202F");
  set_separator_slots(slots, u"abcd", 4, u'.');  // at most three characters
  EXPECT_EQ(std::u16string(slots, 3), u"abc");
  EXPECT_EQ(math_status(), MathStatus::Ok);
  // Characters that would make formulas ambiguous are refused and leave the slots alone.
  for (char16_t bad : {u' ', u'(', u')', u'+', u'-', u'0', u'7', u'\0', u'\t', u'\x85'}) {
    clear_status();
    const char16_t text[2] = {u',', bad};
    set_separator_slots(slots, text, 2, u'.');
    EXPECT_EQ(std::u16string(slots, 3), u"abc") << static_cast<int>(bad);
    EXPECT_EQ(math_status(), MathStatus::InvalidSetting);
  }
}

TEST_F(TextTest, ParseAcceptsTheGrammar) {
  use_comma_and_point();
  EXPECT_EQ(parsed(u"1.234.567,5", kAllowGrouping), "1.234567500000000e6");
  EXPECT_EQ(parsed(u"  -12,5e-3  "), "-1.250000000000000e-2");
  EXPECT_EQ(parsed(u"+7E+0003"), "7.000000000000000e3");
  EXPECT_EQ(parsed(u"0,000123e-0000000000000000000000000000005"), "1.230000000000000e-9");
  EXPECT_EQ(parsed(u"0000"), "0");
  EXPECT_EQ(parsed(u"-0"), "-0");
  EXPECT_EQ(parsed(u"-0,000e-5"), "-0");
  EXPECT_EQ(parsed(u"0e99999999999999999999999999"), "0");  // zero whatever the exponent
  EXPECT_EQ(math_status(), MathStatus::Ok);
  // Only the first digit beyond P decides the rounding.
  EXPECT_EQ(parsed(u"1,00000000000000005"), "1.000000000000000e0");
  EXPECT_EQ(parsed(u"1,0000000000000005"), "1.000000000000001e0");
  // Thousands separators anywhere inside the digits, from any of the three slots.
  g_number_settings.thousands_sep[1] = u'\'';
  g_number_settings.thousands_sep[2] = u'\u202F';
  EXPECT_EQ(parsed(u"1.234'567\u202F890,1'2", kAllowGrouping), "1.234567890120000e9");
  // Fixed notation replaces the configured characters by "." and "'".
  EXPECT_EQ(parsed(u"1'234.5", kAllowGrouping | kFixedNotation), "1.234500000000000e3");
  EXPECT_EQ(parsed(u"1,5", kFixedNotation), "NaN");
  clear_status();
  // Every decimal slot is read; a character in both settings counts as decimal separator.
  g_number_settings.decimal_sep[1] = u'.';
  EXPECT_EQ(parsed(u"2.5"), "2.500000000000000e0");
  EXPECT_EQ(parsed(u"1.234", kAllowGrouping), "1.234000000000000e0");
  EXPECT_EQ(math_status(), MathStatus::Ok);
}

TEST_F(TextTest, ParseSpecialWords) {
  const std::uint32_t both = kAllowInfinity | kAllowNaN;
  EXPECT_EQ(parsed(u"inf", both), "inf");
  EXPECT_EQ(parsed(u" -\u221E ", both), "-inf");
  EXPECT_EQ(parsed(u"+inf", kAllowInfinity), "inf");
  EXPECT_EQ(parsed(u"-NaN", both), "NaN");
  EXPECT_EQ(math_status(), MathStatus::Ok);
  for (const char16_t* bad : {u"inf", u"\u221E", u"NaN"}) {  // without the flags
    clear_status();
    EXPECT_EQ(parsed(bad), "NaN");
    EXPECT_EQ(math_status(), MathStatus::InvalidNumber);
  }
  for (const char16_t* bad : {u"Inf", u"nan", u"infinity", u"inf5", u"\u221E\u221E", u"--inf",
                              u"1inf", u"i", u"NaN1", u"\u221Ee5"}) {
    clear_status();
    EXPECT_EQ(parsed(bad, both), "NaN");
    EXPECT_EQ(math_status(), MathStatus::InvalidNumber);
  }
}

TEST_F(TextTest, ParseRejectsMalformedText) {
  use_comma_and_point();
  for (const char16_t* bad :
       {u"",        u"   ",   u"+",    u"-",    u"1e",     u"e5",     u"1e+",      u"1e-",
        u",5",      u"5,",    u"-,5",  u"1 2",  u"--5",    u"+-5",    u"1,2,3",    u"1e5e3",
        u"1e1,5",   u"1e+-5", u"1e 5", u"1 e5", u"1.234",  u"1..234", u"1.",       u".1",
        u"1e5.000", u"0x10",  u"5i",   u"1\t",  u"\u0661", u"\uFF15", u"1\u22125", u"12\u00A0"}) {
    clear_status();
    std::u16string t(bad);
    EXPECT_EQ(parsed(t), "NaN") << ::testing::PrintToString(t);
    EXPECT_EQ(math_status(), MathStatus::InvalidNumber) << ::testing::PrintToString(t);
  }
  for (char16_t surrogate : {char16_t{0xD800}, char16_t{0xDFFF}}) {  // unpaired halves
    clear_status();
    EXPECT_EQ(parsed(std::u16string{u'1', surrogate}), "NaN");
    EXPECT_EQ(math_status(), MathStatus::InvalidNumber);
  }
  // Grouping needs the flag, a digit on both sides and never reaches the exponent.
  for (const char16_t* bad : {u"1..000", u".1000", u"1000.", u"1.000e1.000", u"1,5,000"}) {
    clear_status();
    EXPECT_EQ(parsed(bad, kAllowGrouping), "NaN") << ::testing::PrintToString(std::u16string(bad));
    EXPECT_EQ(math_status(), MathStatus::InvalidNumber);
  }
  // A base other than 10 is a setting error, even for good text.
  clear_status();
  EXPECT_EQ(parsed(u"12", 16), "NaN");
  EXPECT_EQ(math_status(), MathStatus::InvalidSetting);
  clear_status();
  EXPECT_EQ(parsed(u"12", 10), "1.200000000000000e1");
  EXPECT_EQ(math_status(), MathStatus::Ok);
}

TEST_F(TextTest, ParseExponentLimits) {
  EXPECT_EQ(parsed(u"1e4611686018427387903"), "1.000000000000000e4611686018427387903");
  EXPECT_EQ(parsed(u"0.001e-4611686018427387900"), "1.000000000000000e-4611686018427387903");
  EXPECT_EQ(math_status(), MathStatus::Ok);
  EXPECT_EQ(parsed(u"-1e-4611686018427387904"), "-0");  // underflow is silent
  EXPECT_EQ(parsed(u"1e-99999999999999999999"), "0");
  EXPECT_EQ(parsed(u"-5e-9223372034707292160"), "-0");  // the first overflowing exponent part
  EXPECT_EQ(math_status(), MathStatus::Ok);
  for (const char16_t* big :
       {u"10e4611686018427387903", u"1e4611686018427387904", u"1e9223372034707292159",
        u"1e9223372034707292160", u"1e99999999999999999999",
        u"9.99999999999999999e4611686018427387903"}) {
    clear_status();
    EXPECT_EQ(parsed(big), "inf");
    EXPECT_EQ(math_status(), MathStatus::Overflow);
  }
  clear_status();
  EXPECT_EQ(parsed(u"-1e00000000000000000000000000000000000000000000000000012"),
            "-1.000000000000000e12");
  // The largest exponent part still taken as a number, added to a long mantissa's exponent.
  std::u16string t(5000, u'9');
  EXPECT_EQ(parsed(t + u"e9223372034707292159"), "inf");
  clear_status();
  EXPECT_EQ(parsed(u"0." + std::u16string(5000, u'0') + u"1e-9223372034707292159"), "0");
  EXPECT_EQ(math_status(), MathStatus::Ok);
}

TEST_F(TextTest, ParseNeverReadsPastTheLength) {
  // Exactly sized heap copies, so the sanitizer sees any read beyond the end.
  auto check = [](std::u16string_view t, std::int64_t length, const std::string& expected) {
    std::unique_ptr<char16_t[]> copy(new char16_t[t.size()]);
    std::copy(t.begin(), t.end(), copy.get());
    Dec x;
    apply_rounding(x, dec_parse(x, copy.get(), length, 0));
    EXPECT_EQ(raw_text(x), expected);
  };
  check(u"123456", 3, "1.230000000000000e2");
  check(std::u16string_view(u"12\0 34", 6), 6, "NaN");
  check(std::u16string_view(u"12\0 34", 6), -1, "1.200000000000000e1");
  check(u"1e", 2, "NaN");
  check(u"1,", 2, "NaN");
  check(u"1'", 2, "NaN");
  check(u"", 0, "NaN");
  clear_status();
  Dec x;
  dec_parse(x, nullptr, -1, 0);
  EXPECT_EQ(raw_text(x), "NaN");
  EXPECT_EQ(math_status(), MathStatus::InvalidNumber);
  clear_status();
  dec_parse(x, u"12", -7, 0);  // a meaningless length reads nothing
  EXPECT_EQ(raw_text(x), "NaN");
  EXPECT_EQ(math_status(), MathStatus::InvalidNumber);
}

struct ParseCase {
  int precision;
  const char16_t* text;
  const char* expected;
};

// clang-format off
const ParseCase kParseCases[] = {
    {3, u"  +9,8114109652172050959721", "9.81e0"},
    {1, u"-902.955.100.829,0000000000000000020983446414899844703089255E1", "-9e12"},
    {21, u"  +8.212.554.341.038.049.027,0000000000000000000007625e35", "8.21255434103804902700e53"},
    {3, u"007.655.685.202.714.358.850,0000000000345520685522790321408149309380168827391856785E+13", "7.66e31"},
    {19, u"000508.185.655.130.562,65627855276544185200738782496e-2", "5.081856551305626563e12"},
    {57, u"00781.461.978,44668006958257759899677634931801885858541579441785967960045e-26", "7.81461978446680069582577598996776349318018858585415794418e-18"},
    {21, u"-4.045.456.173,9698778531696e23", "-4.04545617396987785317e32"},
    {1, u"  24,000004232373906354908696852006786317051e793917331581974428", "2e793917331581974429"},
    {3, u"-60.549.980.503.587.191,44737023437030123e0", "-6.05e16"},
    {39, u"-00046.182.931.043.723,00000000000000000000008e-22", "-4.61829310437230000000000000000000000800e-9"},
    {57, u"-492.396.275.508.103.002.318.301,836179077419589082876233977417940662E239060083656991938", "-4.92396275508103002318301836179077419589082876233977417941e239060083656991961"},
    {21, u"  48.952.055.929.647.581.917.675.605,63554171628005023632171384336368647454727493036e-314489521524413501", "4.89520559296475819177e-314489521524413476"},
    {3, u"  +851.206.832.044.776.800.203.763.508,028265908929652764000926980676947703813238877", "8.51e26"},
    {1, u"68.894.787.528.446.368.558.453.768,16714047137889973587712290446431113531132095074e-329782489055918658", "7e-329782489055918633"},
    {16, u"  -029.909.866.854.515,77222", "-2.990986685451577e13"},
    {100, u"-372.318,9076614526412579e+22", "-3.723189076614526412579000000000000000000000000000000000000000000000000000000000000000000000000000000e27"},
    {38, u"-0000006,06804022706694608072603422869429580461518880953308101589E17", "-6.0680402270669460807260342286942958046e17"},
    {21, u"-10.722.212.026.783,807140689429e21", "-1.07222120267838071407e34"},
    {38, u"+7.296.234.375.481.877.834.582,283101577445669366305444059318446804984136572e-10", "7.2962343754818778345822831015774456694e11"},
    {37, u"  -0798.512.261,00000000441582551322313412912192467137980990742E+12", "-7.985122610000000044158255132231341291e20"},
    {40, u"271.702.384.709,884851841800", "2.717023847098848518418000000000000000000e11"},
    {38, u"+4.111.333.609.913.958.566.577,2453831369491945696625574129193719713771496900E+18", "4.1113336099139585665772453831369491946e39"},
    {3, u"  -0000081.805.982.812.070.335.329.683.456,19320472856370723253414756112856449201804938830E+613471181264276337", "-8.18e613471181264276362"},
    {1, u"-909.185.405.744,81039253860753169095996149425636437670394385563E32", "-9e43"},
    {1, u"  +009,203564767727933061391507116623e-26", "9e-26"},
    {40, u"-00005.702.742.439.791.756.689.925.515.237,540268000655221671625176681507964670667827711753e-431535792936012187", "-5.702742439791756689925515237540268000655e-431535792936012160"},
    {2, u"517.995.403.437.797,5", "5.2e14"},
    {20, u"093.585,0000000000006421727511462783150814064603279131568533985165480E176180071857655039", "9.3585000000000000642e176180071857655043"},
    {1, u"  0084.667.991.143.387.347,00000000000000000010047384968071141633118261037927708e-1", "8e15"},
    {21, u"-243.817.619.005,0000000000000000000000000489266429785542E+19", "-2.43817619005000000000e30"},
    {1, u"9,49999999", "9e0"},
    {1, u"1,49999999", "1e0"},
    {1, u"9,5", "1e1"},
    {1, u"1,5", "2e0"},
    {1, u"9,9", "1e1"},
    {1, u"1,9", "2e0"},
    {1, u"9,05", "9e0"},
    {1, u"1,05", "1e0"},
    {16, u"9,99999999999999949999999", "9.999999999999999e0"},
    {16, u"1,23456789012345649999999", "1.234567890123456e0"},
    {16, u"9,9999999999999995", "1.000000000000000e1"},
    {16, u"1,2345678901234565", "1.234567890123457e0"},
    {16, u"9,9999999999999999", "1.000000000000000e1"},
    {16, u"1,2345678901234569", "1.234567890123457e0"},
    {16, u"9,99999999999999905", "9.999999999999999e0"},
    {16, u"1,23456789012345605", "1.234567890123456e0"},
    {19, u"9,99999999999999999949999999", "9.999999999999999999e0"},
    {19, u"1,23456789012345678949999999", "1.234567890123456789e0"},
    {19, u"9,9999999999999999995", "1.000000000000000000e1"},
    {19, u"1,2345678901234567895", "1.234567890123456790e0"},
    {19, u"9,9999999999999999999", "1.000000000000000000e1"},
    {19, u"1,2345678901234567899", "1.234567890123456790e0"},
    {19, u"9,99999999999999999905", "9.999999999999999999e0"},
    {19, u"1,23456789012345678905", "1.234567890123456789e0"},
    {20, u"9,999999999999999999949999999", "9.9999999999999999999e0"},
    {20, u"1,234567890123456789049999999", "1.2345678901234567890e0"},
    {20, u"9,99999999999999999995", "1.0000000000000000000e1"},
    {20, u"1,23456789012345678905", "1.2345678901234567891e0"},
    {20, u"9,99999999999999999999", "1.0000000000000000000e1"},
    {20, u"1,23456789012345678909", "1.2345678901234567891e0"},
    {20, u"9,999999999999999999905", "9.9999999999999999999e0"},
    {20, u"1,234567890123456789005", "1.2345678901234567890e0"},
    {39, u"9,9999999999999999999999999999999999999949999999", "9.99999999999999999999999999999999999999e0"},
    {39, u"1,2345678901234567890123456789012345678949999999", "1.23456789012345678901234567890123456789e0"},
    {39, u"9,999999999999999999999999999999999999995", "1.00000000000000000000000000000000000000e1"},
    {39, u"1,234567890123456789012345678901234567895", "1.23456789012345678901234567890123456790e0"},
    {39, u"9,999999999999999999999999999999999999999", "1.00000000000000000000000000000000000000e1"},
    {39, u"1,234567890123456789012345678901234567899", "1.23456789012345678901234567890123456790e0"},
    {39, u"9,9999999999999999999999999999999999999905", "9.99999999999999999999999999999999999999e0"},
    {39, u"1,2345678901234567890123456789012345678905", "1.23456789012345678901234567890123456789e0"},
};
// clang-format on

// Spelled with decimal comma and point grouping; rounded half up to P digits.
TEST_F(TextTest, ParseGolden) {
  use_comma_and_point();
  for (const ParseCase& c : kParseCases) {
    set_precision(c.precision);
    clear_status();
    EXPECT_EQ(parsed(c.text, kAllowGrouping), c.expected)
        << "P=" << c.precision << " " << c.expected;
    EXPECT_EQ(math_status(), MathStatus::Ok) << c.expected;
  }
}

struct FormatCase {
  int precision;
  const char* value;
  std::uint32_t flags;
  char16_t decimal_sep, thousands_sep;
  std::int64_t sci_low, sci_high;
  const char16_t* expected;
};

// clang-format off
const FormatCase kFormatCases[] = {
    {1, "-7", 0x4000, u',', u'.', -4, 10, u"-7,0"},
    {1, "-7", 0x100, u',', u'.', -4, 10, u"-7"},
    {1, "0.5", 0x90000, u',', u'.', -4, 10, u"5e-1"},
    {1, "0.5", 0x10000, u',', u'.', -4, 10, u"5e-1"},
    {1, "123456789", 0x100, u',', u'.', -4, 10, u"100.000.000"},
    {1, "123456789", 0x300, u',', u'.', -4, 10, u"100'000'000"},
    {1, "1e10", 0x100, u',', u'.', -4, 10, u"1e+10"},
    {1, "1e10", 0x0, u',', u'.', -4, 10, u"1e+10"},
    {1, "0.0001", 0x88000, u',', u'.', -4, 10, u"0,0001"},
    {1, "0.0001", 0x94000, u',', u'.', -4, 10, u"1,0e-4"},
    {1, "-0.00012345", 0x90000, u',', u'.', -4, 10, u"-1e-4"},
    {1, "-0.00012345", 0x4000, u',', u'.', -4, 10, u"-1,0e-4"},
    {1, "1234567.5", 0x8000, u',', u'.', -4, 10, u"1000000"},
    {1, "1234567.5", 0x0, u',', u'.', -4, 10, u"1000000"},
    {1, "3.14159265358979323846264338327950288", 0x8100, u',', u'.', -4, 10, u"3"},
    {1, "3.14159265358979323846264338327950288", 0x100, u',', u'.', -4, 10, u"3"},
    {1, "-2.5e-300", 0x300, u',', u'.', -4, 10, u"-3e-300"},
    {1, "-2.5e-300", 0x90000, u',', u'.', -4, 10, u"-3e-300"},
    {1, "0", 0x94000, u',', u'.', -4, 10, u"0,0e+0"},
    {1, "0", 0x4000, u',', u'.', -4, 10, u"0,0"},
    {1, "-0", 0x8000, u',', u'.', -4, 10, u"0"},
    {1, "-0", 0x10000, u',', u'.', -4, 10, u"0e+0"},
    {1, "9.99999999999999999999999999999999999999999e4611686018427387903", 0x0, u',', u'.', -4, 10, u"\u221E"},
    {16, "-7", 0x88000, u',', u'.', -4, 10, u"-7"},
    {16, "-7", 0x100, u',', u'.', -4, 10, u"-7"},
    {16, "0.5", 0x0, u',', u'.', -4, 10, u"0,5"},
    {16, "0.5", 0x88000, u',', u'.', -4, 10, u"0,5"},
    {16, "123456789", 0x90000, u',', u'.', -4, 10, u"1,23456789e+8"},
    {16, "123456789", 0x300, u',', u'.', -4, 10, u"123'456'789"},
    {16, "1e10", 0x8100, u',', u'.', -4, 10, u"10.000.000.000,00000"},
    {16, "1e10", 0x300, u',', u'.', -4, 10, u"1e+10"},
    {16, "0.0001", 0x88000, u',', u'.', -4, 10, u"0,0001"},
    {16, "0.0001", 0x1000, u',', u'.', -4, 10, u"+1e-4"},
    {16, "-0.00012345", 0x4000, u',', u'.', -4, 10, u"-1,2345e-4"},
    {16, "-0.00012345", 0x94000, u',', u'.', -4, 10, u"-1,2345e-4"},
    {16, "1234567.5", 0x300, u',', u'.', -4, 10, u"1'234'567.5"},
    {16, "1234567.5", 0x94000, u',', u'.', -4, 10, u"1,2345675e+6"},
    {16, "3.14159265358979323846264338327950288", 0x100, u',', u'.', -4, 10, u"3,141592653589793"},
    {16, "3.14159265358979323846264338327950288", 0x8100, u',', u'.', -4, 10, u"3,141592653589793"},
    {16, "-2.5e-300", 0x0, u',', u'.', -4, 10, u"-2,5e-300"},
    {16, "0", 0x300, u',', u'.', -4, 10, u"0"},
    {16, "0", 0x4000, u',', u'.', -4, 10, u"0,0"},
    {16, "-0", 0x90000, u',', u'.', -4, 10, u"0e+0"},
    {16, "-0", 0x100, u',', u'.', -4, 10, u"0"},
    {16, "9.99999999999999999999999999999999999999999e4611686018427387903", 0x90000, u',', u'.', -4, 10, u"\u221E"},
    {39, "-7", 0x88000, u',', u'.', -4, 10, u"-7"},
    {39, "-7", 0x300, u',', u'.', -4, 10, u"-7"},
    {39, "0.5", 0x12000, u',', u'.', -4, 10, u"5,00000000000000000000000000000000000000e-1"},
    {39, "0.5", 0x10000, u',', u'.', -4, 10, u"5,00000000000000000000000000000000000000e-1"},
    {39, "123456789", 0x8100, u',', u'.', -4, 10, u"123.456.789,000000000000000000000000000000"},
    {39, "123456789", 0x94000, u',', u'.', -4, 10, u"1,23456789e+8"},
    {39, "1e10", 0x0, u',', u'.', -4, 10, u"1e+10"},
    {39, "1e10", 0x94000, u',', u'.', -4, 10, u"1,0e+10"},
    {39, "0.0001", 0x8100, u',', u'.', -4, 10, u"0,000100000000000000000000000000000000000000"},
    {39, "0.0001", 0x0, u',', u'.', -4, 10, u"1e-4"},
    {39, "-0.00012345", 0x100, u',', u'.', -4, 10, u"-1,2345e-4"},
    {39, "-0.00012345", 0x12000, u',', u'.', -4, 10, u"-1,23450000000000000000000000000000000000e-4"},
    {39, "1234567.5", 0x8100, u',', u'.', -4, 10, u"1.234.567,50000000000000000000000000000000"},
    {39, "1234567.5", 0x100, u',', u'.', -4, 10, u"1.234.567,5"},
    {39, "3.14159265358979323846264338327950288", 0x8000, u',', u'.', -4, 10, u"3,14159265358979323846264338327950288000"},
    {39, "3.14159265358979323846264338327950288", 0x94000, u',', u'.', -4, 10, u"3,14159265358979323846264338327950288e+0"},
    {39, "-2.5e-300", 0x1000, u',', u'.', -4, 10, u"-2,5e-300"},
    {39, "0", 0x100, u',', u'.', -4, 10, u"0"},
    {39, "0", 0x0, u',', u'.', -4, 10, u"0"},
    {39, "-0", 0x8000, u',', u'.', -4, 10, u"0,00000000000000000000000000000000000000"},
    {39, "-0", 0x4000, u',', u'.', -4, 10, u"0,0"},
    {39, "9.99999999999999999999999999999999999999999e4611686018427387903", 0x4000, u',', u'.', -4, 10, u"\u221E"},
    {39, "9.99999999999999999999999999999999999999999e4611686018427387903", 0x10000, u',', u'.', -4, 10, u"\u221E"},
    {39, "-1.5380580335586082144097499213557760143e14", 0x100, u'.', u'\'', -2, 30, u"-153'805'803'355'860.82144097499213557760143"},
    {3, "-9.751656e19", 0x90000, u'.', u'\u202F', -10, 10, u"-9.75e+19"},
    {16, "4.26915956419069784436821448326653670301592e-3", 0x88000, u',', u'\u202F', -10, 10, u"0,004269159564190698"},
    {25, "-1.7290084064307e-14", 0x90000, u',', u'\'', -10, 10, u"-1,7290084064307e-14"},
    {25, "2", 0x8100, u'.', u'\u202F', -4, 30, u"2.000000000000000000000000"},
    {57, "6.554532695294075613664442787795589409110208604692844120170152397e13", 0x10000, u'.', u'\u202F', -2, 30, u"6.55453269529407561366444278779558940911020860469284412017e+13"},
    {3, "7.885871775781997905374558852277837562372240328099707013430e5", 0x8000, u',', u'\u202F', -10, 30, u"789000"},
    {20, "-2.23186459836591285281542375e7", 0x0, u',', u'\'', -2, 3, u"-2,2318645983659128528e+7"},
    {16, "4.632026874965100790688086050660070e-22", 0x8100, u'.', u'\'', -10, 10, u"0.0000000000000000000004632026874965101"},
    {19, "1.7406095569113610867705461e-18", 0x0, u'.', u'\'', -2, 30, u"1.740609556911361087e-18"},
    {16, "9.55156711506647532088e5", 0x88000, u'.', u'\u202F', -4, 3, u"955156.7115066475"},
    {25, "9.530525e22", 0x0, u'.', u'\'', -2, 10, u"9.530525e+22"},
    {57, "-8.89159474494775733778045224370763576755439661871232428454226089736195e-14", 0x88000, u',', u'\u202F', -4, 3, u"-0,0000000000000889159474494775733778045224370763576755439661871232428454"},
    {3, "2.85185761e-11", 0x8100, u'.', u'\u202F', -10, 10, u"0.0000000000285"},
    {20, "2.5227544e-11", 0x8000, u'.', u'\u202F', -10, 10, u"0.000000000025227544000000000000"},
    {20, "3.150527e-4", 0x10000, u'.', u'\'', -4, 30, u"3.1505270000000000000e-4"},
};
// clang-format on

TEST_F(TextTest, FormatGolden) {
  for (const FormatCase& c : kFormatCases) {
    set_precision(c.precision);
    g_number_settings.decimal_sep[0] = c.decimal_sep;
    g_number_settings.thousands_sep[0] = c.thousands_sep;
    g_number_settings.sci_low = c.sci_low;
    g_number_settings.sci_high = c.sci_high;
    EXPECT_EQ(reformat(c.value, c.flags), c.expected)
        << "P=" << c.precision << " " << c.value << " flags=" << std::hex << c.flags;
    clear_status();  // the overflowing case sets 200 on purpose
  }
}

TEST_F(TextTest, FormatAutomaticAndForcedNotation) {
  use_comma_and_point();
  EXPECT_EQ(reformat("123456789", 0), u"123456789");
  EXPECT_EQ(reformat("9999999999", 0), u"9999999999");
  EXPECT_EQ(reformat("1e10", 0), u"1e+10");
  EXPECT_EQ(reformat("0.001", 0), u"0,001");
  EXPECT_EQ(reformat("0.0001", 0), u"1e-4");
  EXPECT_EQ(reformat("5", kKeepDecimalPoint), u"5,0");
  EXPECT_EQ(reformat("1e20", kForceFixedPoint), u"1" + std::u16string(20, u'0'));
  EXPECT_EQ(reformat("1e20", kForceFixedPoint | kAllowGrouping), u"100.000.000.000.000.000.000");
  EXPECT_EQ(reformat("12.5", kForceScientific | kNoExponentPlus | kStripZeros), u"1,25e1");
  EXPECT_EQ(reformat("-0", 0), u"0");
  EXPECT_EQ(reformat("-0", kShowPlusSign), u"-0");
  EXPECT_EQ(reformat("0", kShowPlusSign), u"+0");
  EXPECT_EQ(reformat("7", kShowPlusSign), u"+7");
  Dec a, b, q;
  dec_from_int(a, 1);
  dec_from_int(b, 3);
  dec_div_rounded(q, a, b);
  EXPECT_EQ(format(q, 0), u"0,3333333333333333");
  // Thresholds chosen by the caller.
  g_number_settings.sci_low = -2;
  g_number_settings.sci_high = 3;
  EXPECT_EQ(reformat("999", 0), u"999");
  EXPECT_EQ(reformat("1000", 0), u"1e+3");
  EXPECT_EQ(reformat("0.011", 0), u"1,1e-2");
  EXPECT_EQ(reformat("0.11", 0), u"0,11");
  EXPECT_EQ(reformat("0.01", 0), u"1e-2");
  EXPECT_EQ(math_status(), MathStatus::Ok);
}

TEST_F(TextTest, FormatSpecialAndBrokenRecords) {
  Dec x;
  make_infinity(x, false);
  EXPECT_EQ(format(x, 0), u"\u221E");
  EXPECT_EQ(format(x, kShowPlusSign), u"+\u221E");
  make_infinity(x, true);
  EXPECT_EQ(format(x, kShowPlusSign), u"-\u221E");
  make_undefined(x);
  EXPECT_EQ(format(x, 0), u"NaN");
  EXPECT_EQ(format(x, kShowPlusSign), u"+NaN");
  EXPECT_EQ(math_status(), MathStatus::Ok);
  dec_from_int(x, 5);
  EXPECT_EQ(format(x, 16 | kShowPlusSign), u"+[P]");
  EXPECT_EQ(math_status(), MathStatus::InvalidSetting);

  set_precision(40);  // three limbs, top limb of 2 digits
  Dec y;
  const auto broken = [&](void (*spoil)(DecFloat*)) {
    clear_status();
    dec_from_int(y, 12);
    spoil(y);
    const std::u16string text = format(y, 0);
    EXPECT_EQ(math_status(), MathStatus::InvalidRepresentation);
    return text;
  };
  EXPECT_EQ(broken([](DecFloat* r) { r[1] = 100; }), u"[?]");        // top limb too long
  EXPECT_EQ(broken([](DecFloat* r) { r[1] = 9; }), u"[?]");          // top limb too short
  EXPECT_EQ(broken([](DecFloat* r) { r[3] = kLimbBase; }), u"[?]");  // limb out of range
  EXPECT_EQ(broken([](DecFloat* r) {
              make_zero(r, false);
              r[3] = 1;
            }),
            u"[?]");
  EXPECT_EQ(broken([](DecFloat* r) {
              make_zero(r, false);
              r[1] = 3;
            }),
            u"[?]");
  clear_status();
  y[1] = 100;
  EXPECT_EQ(format(y, kShowPlusSign), u"+[?]");
}

TEST_F(TextTest, FormatRespectsTheSink) {
  const ScratchMark mark = scratch_mark();
  EXPECT_EQ(reformat("123456789", 0), u"123456789");
  EXPECT_EQ(scratch_mark(), mark);
  EXPECT_EQ(dec_text_size(0), 63);
  EXPECT_EQ(dec_text_size(kAllowGrouping), 69);
  Dec x;
  apply_rounding(x, parse(x, u"123456789", 0));
  EXPECT_EQ(format(x, 0, 9), u"123456789");
  EXPECT_EQ(format(x, 0, 8), u"<overflow>");
  EXPECT_EQ(format(x, kAllowGrouping, 10), u"<overflow>");
  // Texts of about 2^62 characters are refused at once instead of being produced.
  apply_rounding(x, parse(x, u"-1.5e4611686018427387903", 0));
  EXPECT_EQ(format(x, kForceFixedPoint), u"<overflow>");
  EXPECT_EQ(format(x, kForceFixedPoint | kAllowGrouping), u"<overflow>");
  apply_rounding(x, parse(x, u"1e-4611686018427387903", 0));
  EXPECT_EQ(format(x, kForceFixedPoint | kStripZeros), u"<overflow>");
  g_number_settings.sci_low = std::numeric_limits<std::int64_t>::min();
  EXPECT_EQ(format(x, 0), u"<overflow>");
  EXPECT_EQ(math_status(), MathStatus::Ok);

  // The promised size holds the longest texts of the automatic and scientific notations.
  for (std::int64_t p : {1, 16, 19, 20, 21, 100, 10005}) {
    set_precision(p);
    g_number_settings = NumberSettings{};
    Dec y;
    std::u16string digits(static_cast<std::size_t>(p), u'7');
    if (p > 1) digits = digits.substr(0, 1) + u'.' + digits.substr(1);
    for (const char16_t* e : {u"e-4611686018427387903", u"e-3", u"e9"}) {
      apply_rounding(y, parse(y, u"-" + digits + e, 0));
      for (std::uint32_t f : {0u, kForceScientific, kShowPlusSign | kKeepDecimalPoint,
                              kAllowGrouping | kShowPlusSign}) {
        EXPECT_NE(format(y, f), u"<overflow>") << p;
      }
    }
  }
}

TEST_F(TextTest, FormatDigitsDirectly) {
  std::u16string buf(40, u'#');
  TextSink sink{0, 40, buf.data()};
  format_digits(sink, u"120", 3, true, 4, kForceFixedPoint);
  format_digits(sink, nullptr, 0, false, 0, kShowPlusSign);  // no digits: a zero
  format_digits(sink, u"5", 1, false, -2, kForceScientific | kKeepDecimalPoint);
  EXPECT_EQ(buf.substr(0, static_cast<std::size_t>(sink.pos)), u"-12000+05.0e-2");
}

// Random P-digit values: the canonical text reads back exactly, and the text of every notation
// reads back to the same record.
TEST_F(TextTest, RoundTripsAtEveryPrecision) {
  std::mt19937_64 rng(7);
  std::vector<std::int64_t> precisions;
  for (std::int64_t p = 1; p <= 60; ++p) precisions.push_back(p);
  for (std::int64_t p : {75, 76, 94, 95, 96, 114, 200, 1000, 4097, 9999, 10004, 10005}) {
    precisions.push_back(p);
  }
  for (std::int64_t p : precisions) {
    set_precision(p);
    g_number_settings = NumberSettings{};
    if (p % 2) use_comma_and_point();
    Dec x, y;
    for (int round = 0; round < 4; ++round) {
      std::string digits(static_cast<std::size_t>(p), '0');
      digits[0] = static_cast<char>('1' + rng() % 9);
      const std::size_t random_up_to = round == 1 ? digits.size() / 2 : digits.size();
      for (std::size_t i = 1; i < random_up_to; ++i)
        digits[i] = static_cast<char>('0' + rng() % 10);
      std::int64_t e = static_cast<std::int64_t>(rng() % 81) - 40;
      if (round == 3) {
        e = static_cast<std::int64_t>(rng() % static_cast<Word>(2 * kMaxExponent + 1)) -
            kMaxExponent;
      }
      const bool negative = rng() % 2;
      std::string canonical = negative ? "-" : "";
      canonical += digits[0];
      if (p > 1) {
        canonical += '.';
        canonical += digits.substr(1);
      }
      const std::string exponent = std::to_string(e);
      clear_status();
      EXPECT_EQ(parse(x, u16(canonical + "e" + exponent), kFixedNotation), 0u);
      EXPECT_EQ(raw_text(x), canonical + "e" + exponent);
      EXPECT_EQ(format(x, kForceScientific | kFixedNotation),
                u16(canonical + (e < 0 ? "e" : "e+") + exponent));
      for (std::uint32_t flags :
           {0u, kAllowGrouping, kForceScientific | kStripZeros | kNoExponentPlus,
            kShowPlusSign | kKeepDecimalPoint, kForceFixedPoint,
            kForceFixedPoint | kAllowGrouping | kStripZeros}) {
        if ((flags & kForceFixedPoint) && round == 3) continue;
        for (std::uint32_t chars : {0u, kFixedNotation}) {
          const std::u16string t = format(x, flags | chars, dec_text_size(flags) + 64);
          EXPECT_EQ(parse(y, t, kAllowGrouping | chars), 0u) << p;
          EXPECT_TRUE(same_record(x, y)) << "P=" << p << " " << ::testing::PrintToString(t);
        }
      }
      EXPECT_EQ(math_status(), MathStatus::Ok) << p;
    }
  }
}

// Leading zeros, a moved decimal separator, grouping, exponent spellings and spaces do not
// change what a number reads as, the rounding digit included.
TEST_F(TextTest, SpellingsOfOneNumberParseAlike) {
  use_comma_and_point();
  g_number_settings.thousands_sep[1] = u'\'';
  g_number_settings.thousands_sep[2] = u'\u202F';
  std::mt19937_64 rng(11);
  auto pick = [&rng](std::int64_t n) {
    return static_cast<std::int64_t>(rng() % static_cast<Word>(n));
  };
  for (int round = 0; round < 400; ++round) {
    const std::int64_t p = std::vector<std::int64_t>{1, 5, 16, 19, 20, 38, 39, 40, 100}[pick(9)];
    set_precision(p);
    clear_status();
    std::string digits(static_cast<std::size_t>(1 + pick(2 * p + 5)), '0');
    for (char& d : digits) d = static_cast<char>('0' + pick(10));
    digits[0] = static_cast<char>('1' + pick(9));
    const std::int64_t e = pick(2001) - 1000;
    const std::string sign = std::vector<std::string>{"", "-", "+"}[pick(3)];
    Dec ref, x;
    const std::string canonical =
        sign + digits.substr(0, 1) + "." + digits.substr(1) + "0e" + std::to_string(e);
    const Word ref_round = parse(ref, u16(canonical), kFixedNotation);

    const std::int64_t split = pick(static_cast<std::int64_t>(digits.size()) + 1);
    const std::int64_t zeros = split == 0 ? pick(4) : 0;
    std::u16string t = std::u16string(static_cast<std::size_t>(pick(3)), u' ') + u16(sign);
    std::string int_part = std::string(static_cast<std::size_t>(pick(3)), '0') +
                           (split == 0 ? "0" : digits.substr(0, static_cast<std::size_t>(split)));
    for (std::size_t i = 0; i < int_part.size(); ++i) {
      t += static_cast<char16_t>(int_part[i]);
      const std::size_t left = int_part.size() - 1 - i;
      if (left > 0 && left % 3 == 0 && pick(2)) t += g_number_settings.thousands_sep[pick(3)];
    }
    std::string frac = std::string(static_cast<std::size_t>(zeros), '0') +
                       digits.substr(static_cast<std::size_t>(split)) +
                       std::string(static_cast<std::size_t>(pick(3)), '0');
    if (frac.find_first_not_of('0') == std::string::npos && pick(2)) frac.clear();
    if (!frac.empty()) {
      t += u',';
      t += u16(frac);
    }
    const std::int64_t x_exp = split == 0 ? e + zeros + 1 : e - split + 1;
    if (x_exp != 0 || pick(2)) {
      t += pick(2) ? u'e' : u'E';
      if (x_exp < 0)
        t += u'-';
      else if (pick(2))
        t += u'+';
      t += std::u16string(static_cast<std::size_t>(pick(3)), u'0');
      t += u16(std::to_string(x_exp < 0 ? -x_exp : x_exp));
    }
    t += std::u16string(static_cast<std::size_t>(pick(3)), u' ');
    EXPECT_EQ(parse(x, t, kAllowGrouping), ref_round) << ::testing::PrintToString(t);
    EXPECT_TRUE(same_record(ref, x)) << canonical << " " << ::testing::PrintToString(t);
    EXPECT_EQ(math_status(), MathStatus::Ok) << ::testing::PrintToString(t);
  }
}

TEST_F(TextTest, HugeMantissas) {
  for (std::int64_t p : {16, 10005}) {
    set_precision(p);
    const std::string zeros(static_cast<std::size_t>(p - 1), '0');
    const std::string fours(static_cast<std::size_t>(p - 1), '4');
    EXPECT_EQ(parsed(std::u16string(100000, u'9')), "1." + zeros + "e100000");
    EXPECT_EQ(parsed(u"0." + std::u16string(50000, u'0') + std::u16string(50000, u'4') + u"e50001"),
              "4." + fours + "e0");
    std::u16string grouped = u"1";
    for (int i = 0; i < 33333; ++i) grouped += u"'000";
    EXPECT_EQ(parsed(grouped, kAllowGrouping | kFixedNotation), "1." + zeros + "e99999");
    EXPECT_EQ(math_status(), MathStatus::Ok);
  }
}

// Arbitrary text gives a well-formed value or undefined with a status, reads nothing beyond
// its length, and whatever was read formats and reads back to the same record.
TEST_F(TextTest, HostileTextsGiveAValueOrAStatus) {
#ifdef NUMERION_SANITIZE
  const int rounds = 40000;
#else
  const int rounds = 150000;
#endif
  std::u16string alphabet = u"01590.,'\u202FeE+- infNa\u221E\uFFFF\tx";
  alphabet += {u'\0', char16_t{0xD800}, char16_t{0xDFFF}};
  static constexpr char16_t kSeparators[] = {u'.', u',', u'\'', u'\u202F'};
  std::mt19937_64 rng(20240611);
  auto pick = [&rng](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
  auto digits = [&](std::size_t n) {
    std::u16string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char16_t>(u'0' + pick(10));
    return s;
  };
  for (int round = 0; round < rounds; ++round) {
    const std::int64_t p = std::vector<std::int64_t>{1, 2, 16, 19, 20, 39, 100, 10005}[pick(8)];
    set_precision(p);
    clear_status();
    for (char16_t& c : g_number_settings.decimal_sep) c = kSeparators[pick(3)];
    for (char16_t& c : g_number_settings.thousands_sep) c = kSeparators[pick(4)];
    std::uint32_t flags = static_cast<std::uint32_t>(rng()) &
                          (kAllowGrouping | kFixedNotation | kAllowInfinity | kAllowNaN);
    if (pick(20) == 0) flags |= pick(2) ? 10u : static_cast<std::uint32_t>(1 + pick(255));

    std::u16string t;
    switch (pick(7)) {
      case 0:  // characters that matter to the grammar, in any order
        for (std::size_t n = pick(40); n > 0; --n) t += alphabet[pick(alphabet.size())];
        break;
      case 1:  // any code units at all
        for (std::size_t n = pick(20); n > 0; --n) t += static_cast<char16_t>(rng());
        break;
      case 2:  // lone and mixed separators and signs
        for (std::size_t n = 1 + pick(4); n > 0; --n) {
          t += std::u16string{u'.', u',', u'\'', u'\u202F', u'+', u'-', u'e'}[pick(7)];
          if (pick(2)) t += digits(pick(3));
        }
        break;
      case 3:  // huge exponents
        t = digits(1 + pick(3)) + u"e" + (pick(2) ? u"-" : u"") + std::u16string(pick(4), u'0') +
            digits(15 + pick(10));
        break;
      case 4:  // long mantissas, now and then 100,000 digits
        t = digits(pick(50) == 0 ? 100000 : pick(300));
        if (!t.empty() && pick(2)) t.insert(pick(t.size()), 1, kSeparators[pick(4)]);
        break;
      default:  // a number with one mutation
        t = std::u16string(pick(2), u' ') + (pick(2) ? u"-" : u"") + digits(1 + pick(25));
        if (pick(2)) t += kSeparators[pick(4)] + digits(1 + pick(25));
        if (pick(2)) {
          t += u'e';
          t += digits(1 + pick(5));
        }
        const std::size_t at = pick(t.size() + 1);
        const char16_t c = alphabet[pick(alphabet.size())];
        if (at == t.size() || pick(2))
          t.insert(at, 1, c);
        else
          t[at] = c;
        break;
    }

    std::unique_ptr<char16_t[]> exact(new char16_t[t.size()]);
    std::copy(t.begin(), t.end(), exact.get());
    Dec x, y;
    const Word r = dec_parse(x, exact.get(), static_cast<std::int64_t>(t.size()), flags);
    const std::uint32_t status = g_arith.status;
    const std::uint32_t base = flags & kBaseMask;
    ASSERT_TRUE(well_formed(x)) << ::testing::PrintToString(t);
    if (base != 0 && base != 10) {
      ASSERT_EQ(status, 100u);
    } else if (status == 301) {
      ASSERT_TRUE(is_undefined(x));
    } else if (status == 200) {
      ASSERT_TRUE(is_infinity(x));
    } else {
      ASSERT_EQ(status, 0u) << ::testing::PrintToString(t);
    }
    if (status == 100) {
      ASSERT_TRUE(is_undefined(x));
    }

    // NUL-terminated, the text ends at its first NUL.
    std::unique_ptr<char16_t[]> terminated(new char16_t[t.size() + 1]);
    std::copy(t.begin(), t.end(), terminated.get());
    terminated[t.size()] = 0;
    const std::size_t nul = std::min(t.find(u'\0'), t.size());
    clear_status();
    const Word r1 = dec_parse(x, terminated.get(), -1, flags);
    const std::uint32_t status1 = g_arith.status;
    clear_status();
    const Word r2 = dec_parse(y, exact.get(), static_cast<std::int64_t>(nul), flags);
    ASSERT_TRUE(r1 == r2 && status1 == g_arith.status && same_record(x, y))
        << ::testing::PrintToString(t);

    if (status == 0 && nul == t.size()) {
      ASSERT_EQ(r, r1);
      apply_rounding(x, r);
      clear_status();
      const std::u16string text = format(x, kForceScientific | kFixedNotation | kShowPlusSign);
      dec_parse(y, text.data(), static_cast<std::int64_t>(text.size()),
                kFixedNotation | kAllowInfinity | kAllowNaN);
      ASSERT_TRUE(same_record(x, y)) << ::testing::PrintToString(t);
      ASSERT_EQ(g_arith.status, 0u);
    }
  }
}

}  // namespace
