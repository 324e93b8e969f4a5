// Scanning: token kinds, names, numbers with prefixes and separators, the function table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/text.h"
#include "formula/tokens.h"
#include "tests/formula/formula_test_util.h"

namespace {

struct Tok {
  std::uint32_t kind;
  std::int64_t start, length;
  bool operator==(const Tok& o) const {
    return kind == o.kind && start == o.start && length == o.length;
  }
};

std::ostream& operator<<(std::ostream& os, const Tok& t) {
  return os << "{" << t.kind << "," << t.start << "," << t.length << "}";
}

// Every token up to and including the end.
std::vector<Tok> scan(const std::string& text, std::uint32_t flags = kAllowGrouping) {
  const std::u16string t = u16(text);
  std::vector<Tok> out;
  std::int64_t pos = 0;
  for (int guard = 0; guard < 1000; ++guard) {
    const FormulaToken tok = next_token(t.c_str(), flags, pos);
    out.push_back({tok.kind, tok.start, tok.length});
    if (tok.kind == kTokEnd || tok.kind == kTokInvalid) break;
  }
  return out;
}

class ScannerTest : public ::testing::Test {
 protected:
  void TearDown() override { g_number_settings = NumberSettings{}; }
};

TEST_F(ScannerTest, OperatorsParenthesesAndSpaces) {
  EXPECT_EQ(scan(" 1 +  2*(3)^4/5-6;"), (std::vector<Tok>{{100, 1, 1},
                                                          {600, 3, 1},
                                                          {100, 6, 1},
                                                          {602, 7, 1},
                                                          {110, 8, 1},
                                                          {100, 9, 1},
                                                          {111, 10, 1},
                                                          {604, 11, 1},
                                                          {100, 12, 1},
                                                          {603, 13, 1},
                                                          {100, 14, 1},
                                                          {601, 15, 1},
                                                          {100, 16, 1},
                                                          {800, 17, 1},
                                                          {1, 18, 0}}));
  EXPECT_EQ(scan(""), (std::vector<Tok>{{1, 0, 0}}));
  EXPECT_EQ(scan("   "), (std::vector<Tok>{{1, 3, 0}}));
}

TEST_F(ScannerTest, OnlySpacesAreSkipped) {
  EXPECT_EQ(scan("1\t2"), (std::vector<Tok>{{100, 0, 1}, {2, 1, 0}}));
  EXPECT_EQ(scan("\n"), (std::vector<Tok>{{2, 0, 0}}));
  EXPECT_EQ(scan(".5"), (std::vector<Tok>{{2, 0, 0}}));
  EXPECT_EQ(scan("1 % 2"), (std::vector<Tok>{{100, 0, 1}, {2, 2, 0}}));
  // A character outside the Basic Multilingual Plane is two code units; the first is invalid.
  const std::u16string emoji = u"1+\U0001F600";
  std::int64_t pos = 2;
  const FormulaToken t = next_token(emoji.c_str(), 0, pos);
  EXPECT_EQ(t.kind, kTokInvalid);
  EXPECT_EQ(t.start, 2);
  EXPECT_EQ(pos, 2);
}

TEST_F(ScannerTest, NamesFunctionsAndIdentifiers) {
  EXPECT_EQ(scan("sin2"), (std::vector<Tok>{{801, 0, 4}, {1, 4, 0}}));
  EXPECT_EQ(scan("sin 2"), (std::vector<Tok>{{207, 0, 3}, {100, 4, 1}, {1, 5, 0}}));
  EXPECT_EQ(scan("pi"), (std::vector<Tok>{{700, 0, 2}, {1, 2, 0}}));
  EXPECT_EQ(scan("π"), (std::vector<Tok>{{700, 0, 1}, {1, 1, 0}}));
  EXPECT_EQ(scan("Pi PI"), (std::vector<Tok>{{801, 0, 2}, {801, 3, 2}, {1, 5, 0}}));
  EXPECT_EQ(scan("α1 _x"), (std::vector<Tok>{{801, 0, 2}, {801, 3, 2}, {1, 5, 0}}));
  EXPECT_EQ(scan("1α"), (std::vector<Tok>{{100, 0, 1}, {801, 1, 1}, {1, 2, 0}}));
  EXPECT_EQ(scan("ΑΩαω"), (std::vector<Tok>{{801, 0, 4}, {1, 4, 0}}));
  EXPECT_EQ(scan("2 mod 3"), (std::vector<Tok>{{100, 0, 1}, {605, 2, 3}, {100, 6, 1}, {1, 7, 0}}));
  EXPECT_EQ(scan("Sin"), (std::vector<Tok>{{801, 0, 3}, {1, 3, 0}}));
  EXPECT_EQ(scan("e"), (std::vector<Tok>{{801, 0, 1}, {1, 1, 0}}));
  // Letters outside the name classes: Cyrillic, Greek final sigma's neighbours, accents.
  EXPECT_EQ(scan("ж"), (std::vector<Tok>{{2, 0, 0}}));
  EXPECT_EQ(scan("é"), (std::vector<Tok>{{2, 0, 0}}));
  EXPECT_EQ(scan("x\u0301"), (std::vector<Tok>{{801, 0, 1}, {2, 1, 0}}));
}

TEST_F(ScannerTest, ImaginaryUnit) {
  EXPECT_EQ(scan("2i"), (std::vector<Tok>{{100, 0, 1}, {112, 1, 1}, {1, 2, 0}}));
  EXPECT_EQ(scan("i2 ii"), (std::vector<Tok>{{801, 0, 2}, {801, 3, 2}, {1, 5, 0}}));
  EXPECT_EQ(scan("i+i"), (std::vector<Tok>{{112, 0, 1}, {600, 1, 1}, {112, 2, 1}, {1, 3, 0}}));
  g_number_settings.imaginary_unit[0] = u'j';
  g_number_settings.imaginary_unit[1] = u'j';
  EXPECT_EQ(scan("3j i"), (std::vector<Tok>{{100, 0, 1}, {112, 1, 1}, {801, 3, 1}, {1, 4, 0}}));
}

TEST_F(ScannerTest, NumbersWithPrefixes) {
  EXPECT_EQ(scan("0x1F"), (std::vector<Tok>{{100, 0, 4}, {1, 4, 0}}));
  EXPECT_EQ(scan("0x"), (std::vector<Tok>{{100, 0, 2}, {1, 2, 0}}));
  EXPECT_EQ(scan("0X1e5"), (std::vector<Tok>{{100, 0, 5}, {1, 5, 0}}));
  EXPECT_EQ(scan("0y1012"), (std::vector<Tok>{{100, 0, 6}, {1, 6, 0}}));
  EXPECT_EQ(scan("0t779 0T1"), (std::vector<Tok>{{100, 0, 5}, {100, 6, 3}, {1, 9, 0}}));
  // In base 2 the exponent rule does not apply.
  EXPECT_EQ(scan("0y1e5"), (std::vector<Tok>{{100, 0, 3}, {801, 3, 2}, {1, 5, 0}}));
  EXPECT_EQ(scan("0xg"), (std::vector<Tok>{{100, 0, 2}, {801, 2, 1}, {1, 3, 0}}));
}

TEST_F(ScannerTest, NumbersWithExponentsAndSeparators) {
  EXPECT_EQ(scan("1.2.3"), (std::vector<Tok>{{100, 0, 5}, {1, 5, 0}}));
  EXPECT_EQ(scan("1e5e3"), (std::vector<Tok>{{100, 0, 5}, {1, 5, 0}}));
  EXPECT_EQ(scan("1E-5+2"), (std::vector<Tok>{{100, 0, 4}, {600, 4, 1}, {100, 5, 1}, {1, 6, 0}}));
  EXPECT_EQ(scan("2e"), (std::vector<Tok>{{100, 0, 1}, {801, 1, 1}, {1, 2, 0}}));
  EXPECT_EQ(scan("2ex"), (std::vector<Tok>{{100, 0, 1}, {801, 1, 2}, {1, 3, 0}}));
  EXPECT_EQ(scan("1e-"), (std::vector<Tok>{{100, 0, 3}, {1, 3, 0}}));
  EXPECT_EQ(scan("1 000"), (std::vector<Tok>{{100, 0, 1}, {100, 2, 3}, {1, 5, 0}}));
  EXPECT_EQ(scan("1'000"), (std::vector<Tok>{{100, 0, 5}, {1, 5, 0}}));
  EXPECT_EQ(scan("1'000", 0), (std::vector<Tok>{{100, 0, 1}, {2, 1, 0}}));
}

TEST_F(ScannerTest, ConfiguredAndFixedSeparators) {
  g_number_settings.decimal_sep[0] = g_number_settings.decimal_sep[1] =
      g_number_settings.decimal_sep[2] = u',';
  g_number_settings.thousands_sep[0] = g_number_settings.thousands_sep[1] =
      g_number_settings.thousands_sep[2] = u'.';
  EXPECT_EQ(scan("1.000,5"), (std::vector<Tok>{{100, 0, 7}, {1, 7, 0}}));
  EXPECT_EQ(scan("1.000,5", 0), (std::vector<Tok>{{100, 0, 1}, {2, 1, 0}}));
  // Fixed notation: "." and "'" whatever is configured.
  EXPECT_EQ(scan("1'000.5", kAllowGrouping | kFixedNotation),
            (std::vector<Tok>{{100, 0, 7}, {1, 7, 0}}));
  EXPECT_EQ(scan("1,5", kFixedNotation), (std::vector<Tok>{{100, 0, 1}, {2, 1, 0}}));
  g_number_settings.exponent_marker[1] = u'D';
  EXPECT_EQ(scan("1D3"), (std::vector<Tok>{{100, 0, 3}, {1, 3, 0}}));
}

TEST_F(ScannerTest, FunctionTableRows) {
  EXPECT_EQ(kFunctionTableRows, 53);
  int functions = 0;
  for (const FunctionRow& row : kFunctionTable) {
    const std::u16string name = row.name;
    ASSERT_EQ(find_function_name(name.c_str(), static_cast<std::int64_t>(name.size())), &row);
    std::int64_t pos = 0;
    EXPECT_EQ(next_token(name.c_str(), 0, pos).kind, row.code) << u8(name);
    if (is_function_kind(row.code)) {
      ++functions;
      EXPECT_GE(row.params, 1u);
      EXPECT_LE(row.params, 3u);
    }
  }
  EXPECT_EQ(functions, 50);
  EXPECT_EQ(lookup_function(315), nullptr);
  EXPECT_EQ(lookup_function(kTokPi)->name, std::u16string(u"\u03C0"));  // the first row
  EXPECT_EQ(lookup_function(kFnRootc)->params, 3u);
  EXPECT_EQ(lookup_function(kFnPowmod)->params, 3u);
  EXPECT_EQ(lookup_function(kTokMod)->params, 65535u);
  EXPECT_EQ(find_function_name(u"sqrt2", 5), nullptr);
  EXPECT_EQ(find_function_name(u"sqr", 3), nullptr);
}

}  // namespace
