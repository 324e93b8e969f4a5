#include <algorithm>
#include <random>
#include <string>

#include "app/settings.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "tests/app/app_test_util.h"

namespace {

const std::u16string kDefaultFile =
    u"[options]\r\n"
    u"language = (automatic)\r\n"
    u"decimal_separator = (automatic)\r\n"
    u"thousands_separator = (automatic)\r\n"
    u"thousands_sep_sci_calc = 0\r\n"
    u"thousands_sep_equations = 0\r\n"
    u"thousands_sep_prime_nums = 0\r\n"
    u"[scientific_calculator]\r\n"
    u"angle_type = rad\r\n"
    u"number_type = real\r\n"
    u"decimal_precision = 0\r\n"
    u"output_number_base = 10\r\n"
    u"use_lower_case_hex = 0\r\n"
    u"[hints]\r\n"
    u"show_welcome_hint = 1\r\n";

Settings parsed(std::u16string_view text) {
  Settings s;
  s.language = 99;  // parse_settings must reset everything, not just overwrite
  parse_settings(text, s);
  return s;
}

// A long value that exercises every kind of character a value may hold: digits, separators,
// non-Latin letters, a pair of surrogates, "=" and ";".
std::u16string long_value(std::size_t length, int seed) {
  static const std::u16string kPieces[] = {u"0123456789", u".,'", u"\u03c0\u00e4",
                                           u"\U0001D400", u"=;",  u"e-12"};
  std::u16string v;
  std::mt19937 rng(static_cast<unsigned>(seed));
  while (v.size() < length) v += kPieces[rng() % std::size(kPieces)];
  v.resize(length);
  if (v.back() >= 0xD800 && v.back() <= 0xDBFF) v.back() = u'7';
  return v;
}

Settings all_changed() {
  Settings s;
  s.language = kLanguageGerman;
  s.decimal_separator = kDecimalComma;
  s.thousands_separator = kThousandsNarrowSpace;
  s.thousands_sep_sci_calc = true;
  s.thousands_sep_equations = true;
  s.thousands_sep_prime_nums = true;
  s.angle_type = kAngleGon;
  s.number_type = 11;
  s.decimal_precision = 10000;
  s.output_number_base = 16;
  s.use_lower_case_hex = true;
  s.show_welcome_hint = false;
  return s;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { arith_reset(); }
  std::filesystem::path file() const {
    return folder_.path() / "Numerion" / "UserSettings_3.8.ini";
  }
  Settings read_back() const {
    Settings s;
    EXPECT_TRUE(read_settings_file(file(), s));
    return s;
  }
  TempFolder folder_;
};

}  // namespace

// --- layout and round trip -----------------------------------------------------------------------

TEST(SettingsText, DefaultsWriteTheFixedLayout) {
  EXPECT_EQ(u8(settings_text(Settings{})), u8(kDefaultFile));
  const std::vector<unsigned char> bytes = encode_settings_file(Settings{});
  EXPECT_EQ(bytes, utf16le_file(kDefaultFile));
  // Reading the defaults back must give the defaults.
  EXPECT_EQ(parsed(kDefaultFile), Settings{});
}

TEST(SettingsText, VariablesFollowTheCalculatorKeys) {
  Settings s;
  s.variables = {{u"x", u"12.5"}, {u"\u03b1", u""}};
  const std::u16string text = settings_text(s);
  EXPECT_NE(text.find(u"use_lower_case_hex = 0\r\nvariable00 = x;12.5\r\nvariable01 = \u03b1;\r\n"
                      u"[hints]\r\n"),
            std::u16string::npos)
      << u8(text);
}

TEST_F(SettingsFileTest, EverySettingAndHundredLongVariablesRoundTrip) {
  Settings s = all_changed();
  for (int i = 0; i < kMaxSettingsVariables; ++i) {
    s.variables.push_back({u"var" + std::u16string(1, static_cast<char16_t>(u'0' + i / 10)) +
                               static_cast<char16_t>(u'0' + i % 10),
                           long_value(88661, i)});
  }
  ASSERT_TRUE(write_settings_file(file(), s));
  const Settings back = read_back();
  ASSERT_EQ(back.variables.size(), s.variables.size());
  for (std::size_t i = 0; i < s.variables.size(); ++i) {
    ASSERT_EQ(back.variables[i], s.variables[i]) << "variable " << i;
  }
  EXPECT_EQ(back, s);
}

TEST_F(SettingsFileTest, EveryWordOfEveryKeyRoundTrips) {
  const int languages[] = {kLanguageAutomatic, kLanguageEnglish, kLanguageGerman};
  const int decimals[] = {kSeparatorAutomatic, kDecimalPoint, kDecimalComma};
  const int thousands[] = {kSeparatorAutomatic, kThousandsPoint, kThousandsComma,
                           kThousandsApostrophe, kThousandsNarrowSpace};
  const int angles[] = {kAngleDeg, kAngleRad, kAngleGon};
  const int types[] = {1, 2, 10, 11};
  const std::int32_t numbers[] = {INT32_MIN, -1, 1, 2, 8, 16, 10005, INT32_MAX};
  for (std::size_t i = 0; i < 8; ++i) {
    Settings s;
    s.language = languages[i % 3];
    s.decimal_separator = decimals[i % 3];
    s.thousands_separator = thousands[i % 5];
    s.angle_type = angles[(i + 1) % 3];
    s.number_type = types[i % 4];
    s.decimal_precision = numbers[i];
    s.output_number_base = numbers[7 - i];
    s.thousands_sep_sci_calc = i & 1;
    s.thousands_sep_equations = i & 2;
    s.thousands_sep_prime_nums = i & 4;
    s.use_lower_case_hex = !(i & 1);
    s.show_welcome_hint = i & 2;
    ASSERT_TRUE(write_settings_file(file(), s));
    EXPECT_EQ(read_back(), s) << "combination " << i;
  }
}

TEST(SettingsText, ValuesWithoutAWordAreWrittenAsTheDefault) {
  Settings s;
  s.language = 7;
  s.decimal_separator = 5;
  s.thousands_separator = -3;
  s.angle_type = 0;
  s.number_type = 3;
  EXPECT_EQ(parsed(settings_text(s)), Settings{});
}

TEST(SettingsText, VariableTextsThatWouldBreakTheLayoutAreWrittenAsSpaces) {
  // A line break in a value would end the variable list and lose every later variable and the
  // hints; a ";" in a name would move the name/value split.
  Settings s;
  s.show_welcome_hint = false;
  s.variables = {{u"a;b", u"1\r\n2"}, {u"c\nd", std::u16string(u"3\0004", 3)}, {u"y", u"5;6"}};
  const Settings back = parsed(settings_text(s));
  ASSERT_EQ(back.variables.size(), 3u);
  EXPECT_EQ(u8(back.variables[0].name), "a b");
  EXPECT_EQ(u8(back.variables[0].value), "1  2");
  EXPECT_EQ(u8(back.variables[1].name), "c d");
  EXPECT_EQ(u8(back.variables[1].value), "3 4");
  EXPECT_EQ(back.variables[2], (SettingsVariable{u"y", u"5;6"}));
  EXPECT_FALSE(back.show_welcome_hint);
}

TEST(SettingsText, AtMostHundredVariablesAreWritten) {
  Settings s;
  for (int i = 0; i < 130; ++i) s.variables.push_back({u"v", u"1"});
  const std::u16string text = settings_text(s);
  EXPECT_NE(text.find(u"variable99 = v;1\r\n[hints]"), std::u16string::npos);
  EXPECT_EQ(parsed(text).variables.size(), 100u);
}

// --- positional reading --------------------------------------------------------------------------

TEST(SettingsParse, MissingSectionHeaderDoesNotMoveThePosition) {
  const Settings s = parsed(
      u"language = German\r\ndecimal_separator = comma\r\nthousands_separator = point\r\n"
      u"thousands_sep_sci_calc = 1\r\n");
  EXPECT_EQ(s.language, kLanguageGerman);
  EXPECT_EQ(s.decimal_separator, kDecimalComma);
  EXPECT_EQ(s.thousands_separator, kThousandsPoint);
  EXPECT_TRUE(s.thousands_sep_sci_calc);
}

TEST(SettingsParse, EntriesOutOfOrderTakeTheirDefaults) {
  // decimal_separator stands where language belongs: language is not found there and the
  // reader stays, so decimal_separator is found; then the reader stands at "language", where
  // thousands_separator is expected, and neither of the two is read.
  const Settings s = parsed(
      u"[options]\r\ndecimal_separator = comma\r\nlanguage = German\r\n"
      u"thousands_separator = point\r\n");
  EXPECT_EQ(s.language, kLanguageAutomatic);
  EXPECT_EQ(s.decimal_separator, kDecimalComma);
  EXPECT_EQ(s.thousands_separator, kSeparatorAutomatic);
  // A missing key in the middle only costs that key.
  std::u16string text = kDefaultFile;
  const std::u16string angle = u"angle_type = rad\r\n";
  text.erase(text.find(angle), angle.size());
  text.replace(text.find(u"real"), 4, u"cplx");
  const Settings t = parsed(text);
  EXPECT_EQ(t.angle_type, kAngleRad);
  EXPECT_EQ(t.number_type, 2);
}

TEST(SettingsParse, KeyLines) {
  // Spaces around "=" and before the key are free; the value runs to the line end as it is.
  Settings s = parsed(
      u"   [options]  trailing\r\n  language\t= German\r\n"
      u"decimal_separator=comma\nthousands_separator     =    apostrophe\r"
      u"thousands_sep_sci_calc = 1 \r\nthousands_sep_equations = 11\r\n"
      u"thousands_sep_prime_nums = 1");
  EXPECT_EQ(s.language, kLanguageAutomatic);  // a tab is not a space: key not found
  EXPECT_EQ(s.decimal_separator, kSeparatorAutomatic);
  s = parsed(
      u"   [options]  trailing\r\n  language = German\r\n"
      u"decimal_separator=comma\nthousands_separator     =    apostrophe\r"
      u"thousands_sep_sci_calc = 1 \r\nthousands_sep_equations = 11\r\n"
      u"thousands_sep_prime_nums = 1");
  EXPECT_EQ(s.language, kLanguageGerman);
  EXPECT_EQ(s.decimal_separator, kDecimalComma);           // lone LF ends a line
  EXPECT_EQ(s.thousands_separator, kThousandsApostrophe);  // lone CR too
  EXPECT_FALSE(s.thousands_sep_sci_calc);                  // "1 " is not exactly "1"
  EXPECT_FALSE(s.thousands_sep_equations);                 // nor is "11"
  EXPECT_TRUE(s.thousands_sep_prime_nums);                 // the end of the text ends the value
  // A key name must be followed by spaces and "=": "languages" is not "language".
  EXPECT_EQ(parsed(u"[options]\r\nlanguages = German\r\n").language, kLanguageAutomatic);
  // Words are case-sensitive and must match completely.
  EXPECT_EQ(parsed(u"[options]\r\nlanguage = german\r\n").language, kLanguageAutomatic);
  EXPECT_EQ(parsed(u"[options]\r\nlanguage = German \r\n").language, kLanguageAutomatic);
}

TEST(SettingsParse, ValueRules) {
  auto with = [](std::u16string_view key, std::u16string_view value) {
    std::u16string text = kDefaultFile;
    const std::size_t k = text.find(std::u16string(key) + u" = ");
    const std::size_t v = k + key.size() + 3;
    text.replace(v, text.find(u'\r', v) - v, value);
    return parsed(text);
  };
  EXPECT_EQ(with(u"output_number_base", u"0").output_number_base, 10);
  EXPECT_EQ(with(u"output_number_base", u"").output_number_base, 10);
  EXPECT_EQ(with(u"output_number_base", u"3").output_number_base, 3);
  EXPECT_EQ(with(u"output_number_base", u"16x").output_number_base, 16);
  EXPECT_EQ(with(u"decimal_precision", u"-25").decimal_precision, -25);
  EXPECT_EQ(with(u"decimal_precision", u"+40 digits").decimal_precision, 40);
  EXPECT_EQ(with(u"decimal_precision", u"abc").decimal_precision, 0);
  EXPECT_EQ(with(u"decimal_precision", u"99999999999999999999").decimal_precision, INT32_MAX);
  EXPECT_EQ(with(u"decimal_precision", u"-99999999999999999999").decimal_precision, INT32_MIN);
  EXPECT_TRUE(with(u"use_lower_case_hex", u"1yes").use_lower_case_hex);
  EXPECT_FALSE(with(u"use_lower_case_hex", u"yes").use_lower_case_hex);
  EXPECT_TRUE(with(u"show_welcome_hint", u"no").show_welcome_hint);
  EXPECT_TRUE(with(u"show_welcome_hint", u"").show_welcome_hint);
  EXPECT_FALSE(with(u"show_welcome_hint", u"0").show_welcome_hint);
  EXPECT_EQ(with(u"angle_type", u"deg").angle_type, kAngleDeg);
  EXPECT_EQ(with(u"angle_type", u"grad").angle_type, kAngleRad);
  EXPECT_EQ(with(u"number_type", u"uint").number_type, 10);
  EXPECT_EQ(with(u"number_type", u"complex").number_type, 1);
  EXPECT_EQ(with(u"thousands_separator", u"space_U202F").thousands_separator,
            kThousandsNarrowSpace);
  EXPECT_EQ(with(u"thousands_separator", u"space").thousands_separator, kSeparatorAutomatic);
}

TEST(SettingsParse, VariableLines) {
  auto vars = [](std::u16string_view lines) {
    std::u16string text = kDefaultFile;
    text.insert(text.find(u"[hints]"), lines);
    text.replace(text.find(u"show_welcome_hint = 1"), 21, u"show_welcome_hint = 0");
    return parsed(text);
  };
  // The number in the key does not matter; only the order does.
  Settings s = vars(u"variable07 = x;12.5\r\nvariable3 = y;-1\r\n");
  EXPECT_EQ(s.variables, (std::vector<SettingsVariable>{{u"x", u"12.5"}, {u"y", u"-1"}}));
  EXPECT_FALSE(s.show_welcome_hint);
  // "variable" without a digit ends the list; the reader returns to that line, so the hints
  // that follow it are not found.
  s = vars(u"variable00 = a;1\r\nvariable = x;1\r\nvariable01 = b;2\r\n");
  EXPECT_EQ(s.variables, (std::vector<SettingsVariable>{{u"a", u"1"}}));
  EXPECT_TRUE(s.show_welcome_hint);
  // Lines without "=" and empty values are skipped; no ";" gives an empty value; the split is
  // at the first ";"; leading spaces of the line and behind "=" are dropped.
  s = vars(
      u"variable00 x;1\r\nvariable01 =   \r\n  variable02 = only_name\r\n"
      u"variable03 =a;b;c\r\nvariable04 = ;\r\nvariable5x junk = n;v \r\n");
  EXPECT_EQ(s.variables, (std::vector<SettingsVariable>{
                             {u"only_name", u""}, {u"a", u"b;c"}, {u"", u""}, {u"n", u"v "}}));
  EXPECT_FALSE(s.show_welcome_hint);
  // The 101st and later lines are read past but ignored.
  std::u16string many;
  for (int i = 0; i < 150; ++i)
    many += u"variable00 = v;" + std::u16string(1, u'a' + i % 26) + u"\r\n";
  s = vars(many);
  EXPECT_EQ(s.variables.size(), 100u);
  EXPECT_FALSE(s.show_welcome_hint);
}

TEST(SettingsParse, SeparatorPairIsMadeConsistent) {
  Settings s = parsed(
      u"[options]\r\nlanguage = English\r\ndecimal_separator = comma\r\n"
      u"thousands_separator = (automatic)\r\n");
  EXPECT_TRUE(make_separators_consistent(s));
  EXPECT_EQ(s.decimal_separator, kSeparatorAutomatic);
  EXPECT_EQ(s.thousands_separator, kSeparatorAutomatic);
  s.thousands_separator = kThousandsPoint;
  EXPECT_TRUE(make_separators_consistent(s));
  EXPECT_EQ(s.thousands_separator, kSeparatorAutomatic);
  EXPECT_FALSE(make_separators_consistent(s));
  s.decimal_separator = kDecimalPoint;
  s.thousands_separator = kThousandsComma;
  EXPECT_FALSE(make_separators_consistent(s));
  EXPECT_EQ(s.decimal_separator, kDecimalPoint);
  // Pairs the options window refuses: equal, or codes without a character.
  for (auto [d, t] : {std::pair{kDecimalPoint, kThousandsPoint},
                      {kDecimalComma, kThousandsComma},
                      {2, kThousandsApostrophe},
                      {kDecimalComma, 4},
                      {-7, kThousandsPoint}}) {
    s.decimal_separator = d;
    s.thousands_separator = t;
    EXPECT_TRUE(make_separators_consistent(s)) << d << ' ' << t;
    EXPECT_EQ(s.decimal_separator, kSeparatorAutomatic);
    EXPECT_EQ(s.thousands_separator, kSeparatorAutomatic);
  }
  s.decimal_separator = kDecimalComma;
  s.thousands_separator = kThousandsPoint;
  EXPECT_FALSE(make_separators_consistent(s));
}

TEST(SettingsParse, CalculatorPageView) {
  Settings s;
  s.output_number_base = 3;
  s.decimal_precision = 0;
  EXPECT_TRUE(normalize_calculator_settings(s));
  EXPECT_EQ(s.output_number_base, 10);
  EXPECT_EQ(s.decimal_precision, 10);
  for (int base : {2, 8, 10, 16}) {
    s.output_number_base = base;
    s.decimal_precision = 1;
    EXPECT_FALSE(normalize_calculator_settings(s));
    EXPECT_EQ(s.output_number_base, base);
    EXPECT_EQ(s.decimal_precision, 1);
  }
  s.decimal_precision = 10000;
  EXPECT_FALSE(normalize_calculator_settings(s));
  EXPECT_EQ(s.decimal_precision, 10000);
  // Precisions only an edited file can hold.
  for (std::int32_t p : {10001, 2147483647, -2147483647 - 1, -5}) {
    s.decimal_precision = p;
    EXPECT_TRUE(normalize_calculator_settings(s)) << p;
    EXPECT_EQ(s.decimal_precision, 10) << p;
  }
  Settings read = parsed(
      u"[options]\r\n[scientific_calculator]\r\nangle_type = rad\r\nnumber_type = real\r\n"
      u"decimal_precision = 99999999999999\r\n");
  EXPECT_EQ(read.decimal_precision, 2147483647);
  EXPECT_TRUE(normalize_calculator_settings(read));
  EXPECT_EQ(read.decimal_precision, 10);
}

// --- damaged and foreign files -------------------------------------------------------------------

TEST_F(SettingsFileTest, UnreadableFilesGiveTheDefaults) {
  Settings s = all_changed();
  EXPECT_FALSE(read_settings_file(file(), s));  // missing
  EXPECT_EQ(s, Settings{});
  std::filesystem::create_directories(file().parent_path());
  const std::u16string german = u"[options]\r\nlanguage = German\r\n";
  const std::vector<std::vector<unsigned char>> bad = {
      {},                                                        // empty
      {0xFF},                                                    // half a mark
      {0xFF, 0xFE},                                              // mark only
      utf16le_file(german, false),                               // no mark
      {0xFE, 0xFF, 0, '[', 0, 'o'},                              // big endian
      {0xEF, 0xBB, 0xBF, '[', 'o', 'p', 't'},                    // UTF-8
      std::vector<unsigned char>(german.begin(), german.end()),  // 8-bit text
  };
  for (std::size_t i = 0; i < bad.size(); ++i) {
    write_bytes(file(), bad[i]);
    EXPECT_EQ(read_back(), Settings{}) << "file " << i;
  }
  // A folder in place of the file cannot be read either.
  std::filesystem::remove(file());
  std::filesystem::create_directories(file());
  s = all_changed();
  read_settings_file(file(), s);
  EXPECT_EQ(s, Settings{});
}

TEST_F(SettingsFileTest, EveryTruncationKeepsWhatWasCompletelyRead) {
  Settings full = all_changed();
  full.variables = {{u"a", u"1.5"}, {u"b", u"-2"}};
  const std::vector<unsigned char> bytes = encode_settings_file(full);
  const Settings defaults;
  for (std::size_t n = 0; n <= bytes.size(); ++n) {
    Settings s;
    decode_settings_file(std::span(bytes.data(), n), s);
    // Every value is either the written one or its default (a value cut short reads as an
    // unknown word, or as a shorter number, never as anything else).
    EXPECT_TRUE(s.language == full.language || s.language == defaults.language) << n;
    EXPECT_TRUE(s.number_type == full.number_type || s.number_type == defaults.number_type) << n;
    EXPECT_TRUE(s.decimal_precision == 10000 || s.decimal_precision == 1000 ||
                s.decimal_precision == 100 || s.decimal_precision == 10 ||
                s.decimal_precision == 1 || s.decimal_precision == 0)
        << n;
    EXPECT_LE(s.variables.size(), 2u);
    if (n == bytes.size()) {
      EXPECT_EQ(s, full);
    }
  }
}

TEST_F(SettingsFileTest, HugeAndGarbageFilesAreSurvived) {
  std::filesystem::create_directories(file().parent_path());
  std::mt19937 rng(12345);
  // 10 MB of random bytes behind a valid mark.
  std::vector<unsigned char> garbage(10 << 20);
  for (auto& b : garbage) b = static_cast<unsigned char>(rng());
  garbage[0] = 0xFF, garbage[1] = 0xFE;
  write_bytes(file(), garbage);
  Settings s = read_back();
  EXPECT_LE(s.variables.size(), 100u);
  // 10 MB of a valid start followed by one endless line.
  std::vector<unsigned char> endless = encode_settings_file(all_changed());
  endless.erase(endless.end() - 24, endless.end());  // cut into the last line
  while (endless.size() < (10u << 20)) endless.push_back(endless.size() % 2 ? 0 : 'x');
  write_bytes(file(), endless);
  s = read_back();
  EXPECT_EQ(s.language, kLanguageGerman);
  EXPECT_EQ(s.angle_type, kAngleGon);
  EXPECT_TRUE(s.show_welcome_hint);  // the hints line is the damaged one
  // 10 MB of variable lines without "=": each is skipped, and reading stays linear.
  std::u16string lines = kDefaultFile.substr(0, kDefaultFile.find(u"[hints]"));
  while (lines.size() < (5u << 20)) lines += u"variable0 no value\r\n";
  lines += u"variable1 = v;1\r\n[hints]\r\nshow_welcome_hint = 0\r\n";
  write_bytes(file(), utf16le_file(lines));
  s = read_back();
  EXPECT_EQ(s.variables, (std::vector<SettingsVariable>{{u"v", u"1"}}));
  EXPECT_FALSE(s.show_welcome_hint);
  // Random damage to a good file: whatever happens, nothing crashes and limits hold.
  Settings good = all_changed();
  good.variables = {{u"x", u"1"}, {u"y", u"2"}};
  const std::vector<unsigned char> base = encode_settings_file(good);
  for (int round = 0; round < 3000; ++round) {
    std::vector<unsigned char> bytes = base;
    const int hits = 1 + static_cast<int>(rng() % 8);
    for (int h = 0; h < hits; ++h) {
      const std::size_t at = 2 + rng() % (bytes.size() - 2);
      switch (rng() % 3) {
        case 0:
          bytes[at] = static_cast<unsigned char>(rng());
          break;
        case 1:
          bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at));
          break;
        default:
          bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                       static_cast<unsigned char>(rng()));
      }
    }
    Settings t;
    decode_settings_file(bytes, t);
    ASSERT_LE(t.variables.size(), 100u);
  }
}

TEST_F(SettingsFileTest, ANulCharacterIsReadAsASpace) {
  // A NUL in one value, as another program may leave it: the variables after it, the sections
  // after them and the hint flag all survive, and the next save writes them back.
  Settings s = all_changed();
  s.variables = {{u"a", u"1"}, {u"b", u"2 3"}, {u"c", u"4"}};
  std::u16string text = settings_text(s);
  text[text.find(u"2 3") + 1] = u'\0';
  text.insert(text.find(u"[scientific_calculator]"), 1, u'\0');
  Settings back;
  decode_settings_file(utf16le_file(text), back);
  EXPECT_EQ(back, s);
  ASSERT_TRUE(write_settings_file(file(), back));
  EXPECT_EQ(read_back(), s);
}

TEST(SettingsParse, VariableTextsAreKeptButLoneSurrogatesReplaced) {
  // Names the variables list would refuse stay as they are; it reports them itself.
  const std::u16string lone_high(1, char16_t{0xD835});
  const std::u16string lone_low(1, char16_t{0xDC00});
  std::u16string text = kDefaultFile;
  text.insert(text.find(u"[hints]"), u"variable00 = 9bad name;1\r\nvariable01 = x" + lone_high +
                                         u";" + lone_low + u"2\U0001D400" + lone_high +
                                         u"\r\nvariable02 = pi;3\r\n");
  const Settings s = parsed(text);
  EXPECT_EQ(s.variables,
            (std::vector<SettingsVariable>{
                {u"9bad name", u"1"}, {u"x\uFFFD", u"\uFFFD2\U0001D400\uFFFD"}, {u"pi", u"3"}}));
}

// --- saving --------------------------------------------------------------------------------------

TEST_F(SettingsFileTest, SavingReplacesTheFileInOneStep) {
  ASSERT_TRUE(write_settings_file(file(), all_changed()));  // creates the folder
  Settings second;
  second.variables = {{u"z", u"3"}};
  ASSERT_TRUE(write_settings_file(file(), second));
  EXPECT_EQ(read_back(), second);
  // Only the settings file is left in the folder: no temporary files.
  int entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(file().parent_path())) {
    ++entries;
    EXPECT_EQ(e.path().filename(), "UserSettings_3.8.ini");
  }
  EXPECT_EQ(entries, 1);
}

TEST_F(SettingsFileTest, ALinkedFileStaysALink) {
  // The file lives elsewhere and is linked in twice (a relative link to an absolute one).
  const std::filesystem::path real = folder_.path() / "dotfiles" / "numerion.ini";
  std::filesystem::create_directories(real.parent_path());
  std::filesystem::create_directories(file().parent_path());
  const std::filesystem::path middle = folder_.path() / "middle.ini";
  std::filesystem::create_symlink(real, middle);
  std::filesystem::create_symlink("../middle.ini", file());
  // A dangling link: the save creates its target.
  ASSERT_TRUE(write_settings_file(file(), all_changed()));
  EXPECT_TRUE(std::filesystem::is_symlink(file()));
  EXPECT_TRUE(std::filesystem::is_symlink(middle));
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(real)));
  Settings second;
  second.variables = {{u"z", u"3"}};
  ASSERT_TRUE(write_settings_file(file(), second));
  EXPECT_TRUE(std::filesystem::is_symlink(file()));
  Settings direct;
  ASSERT_TRUE(read_settings_file(real, direct));
  EXPECT_EQ(direct, second);
  // No temporary file is left beside the link or the target.
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(real.parent_path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  // A loop of links cannot be written through and is left as it was.
  const std::filesystem::path loop = folder_.path() / "loop.ini";
  std::filesystem::create_symlink("loop.ini", loop);
  EXPECT_FALSE(write_settings_file(loop, second));
  EXPECT_TRUE(std::filesystem::is_symlink(loop));
}

TEST_F(SettingsFileTest, AFailedSaveLeavesNoTrace) {
  // A folder where the file should be: the replacement fails, the folder and its content stay,
  // and the temporary file is removed again.
  std::filesystem::create_directories(file() / "keep");
  EXPECT_FALSE(write_settings_file(file(), all_changed()));
  EXPECT_TRUE(std::filesystem::is_directory(file() / "keep"));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(file().parent_path())) {
    ++entries;
  }
  EXPECT_EQ(entries, 1);
  // A folder that cannot be created: a plain file stands in the way.
  const std::filesystem::path blocked = folder_.path() / "plain" / "Numerion" / "x.ini";
  write_bytes(folder_.path() / "plain", {1, 2, 3});
  EXPECT_FALSE(write_settings_file(blocked, Settings{}));
  EXPECT_EQ(read_bytes(folder_.path() / "plain"), (std::vector<unsigned char>{1, 2, 3}));
}

// --- the program's settings ----------------------------------------------------------------------

TEST(SettingsPath, FollowsTheConfigurationFolder) {
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "/tmp/numerion-xdg");
    EXPECT_EQ(build_settings_path(), "/tmp/numerion-xdg/Numerion/UserSettings_3.8.ini");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "relative/path");  // invalid: ignored
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(build_settings_path(), "/home/someone/.config/Numerion/UserSettings_3.8.ini");
  }
  {
    ScopedEnv xdg("XDG_CONFIG_HOME", "");
    ScopedEnv home("HOME", nullptr);
    EXPECT_EQ(build_settings_path(), "/UserSettings_3.8.ini");
  }
}

class ProgramSettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    arith_reset();
    g_number_settings = NumberSettings{};
    std::error_code ec;
    std::filesystem::remove_all(settings_path(), ec);
    g_settings = Settings{};
    clear_settings_changed();
    set_settings_save_hook(nullptr);
  }
  void TearDown() override { SetUp(); }
};

TEST_F(ProgramSettingsTest, PathLiesInTheTestsConfigurationFolder) {
  const char* xdg = getenv("XDG_CONFIG_HOME");
  ASSERT_NE(xdg, nullptr);
  EXPECT_EQ(settings_path(), std::filesystem::path(xdg) / "Numerion" / "UserSettings_3.8.ini");
}

TEST_F(ProgramSettingsTest, LoadApplySaveCycle) {
  // First start: no file, defaults, nothing to write.
  load_settings();
  EXPECT_EQ(g_settings, Settings{});
  EXPECT_FALSE(settings_changed());
  EXPECT_TRUE(save_settings());
  EXPECT_FALSE(std::filesystem::exists(settings_path()));
  // A half-automatic separator pair is repaired and therefore written back.
  Settings half;
  half.decimal_separator = kDecimalComma;
  half.language = kLanguageEnglish;
  ASSERT_TRUE(write_settings_file(settings_path(), half));
  load_settings();
  EXPECT_EQ(g_settings.decimal_separator, kSeparatorAutomatic);
  EXPECT_TRUE(settings_changed());
  EXPECT_TRUE(save_settings());
  EXPECT_FALSE(settings_changed());
  Settings back;
  ASSERT_TRUE(read_settings_file(settings_path(), back));
  EXPECT_EQ(back.decimal_separator, kSeparatorAutomatic);
  EXPECT_EQ(back.language, kLanguageEnglish);
  // Equal separators, which only an edited file can hold, become automatic and are written back.
  std::u16string equal = settings_text(Settings{});
  equal.replace(equal.find(u"(automatic)", equal.find(u"decimal_separator")), 11, u"comma");
  equal.replace(equal.find(u"(automatic)", equal.find(u"thousands_separator")), 11, u"comma");
  write_bytes(settings_path(), utf16le_file(equal));
  clear_settings_changed();
  load_settings();
  EXPECT_EQ(g_settings.decimal_separator, kSeparatorAutomatic);
  EXPECT_EQ(g_settings.thousands_separator, kSeparatorAutomatic);
  EXPECT_TRUE(settings_changed());
  EXPECT_EQ(g_arith.status, 0u);
  EXPECT_TRUE(save_settings());
  ASSERT_TRUE(read_settings_file(settings_path(), back));
  EXPECT_EQ(back, Settings{});
  // Fixed separators reach the number settings.
  Settings fixed;
  fixed.decimal_separator = kDecimalComma;
  fixed.thousands_separator = kThousandsNarrowSpace;
  ASSERT_TRUE(write_settings_file(settings_path(), fixed));
  load_settings();
  EXPECT_FALSE(settings_changed());
  EXPECT_EQ(g_number_settings.decimal_sep[0], u',');
  EXPECT_EQ(g_number_settings.decimal_sep[2], u',');
  EXPECT_EQ(g_number_settings.thousands_sep[1], u'\u202F');
  EXPECT_EQ(g_arith.status, 0u);
}

TEST_F(ProgramSettingsTest, SaveHookAndVariables) {
  static int calls = 0;
  calls = 0;
  set_settings_save_hook([] {
    ++calls;
    const SettingsVariable list[] = {{u"k", u"9"}};
    store_settings_variables(list);
  });
  EXPECT_TRUE(save_settings());
  EXPECT_EQ(calls, 1);
  Settings back;
  ASSERT_TRUE(read_settings_file(settings_path(), back));
  EXPECT_EQ(back.variables, (std::vector<SettingsVariable>{{u"k", u"9"}}));
  std::vector<SettingsVariable> many(120, SettingsVariable{u"m", u"1"});
  store_settings_variables(many);
  EXPECT_EQ(g_settings.variables.size(), 100u);
}

TEST_F(ProgramSettingsTest, AFailedSaveKeepsTheChangeForTheNextAttempt) {
  std::filesystem::create_directories(settings_path() / "blocker");
  mark_settings_changed();
  EXPECT_FALSE(save_settings());
  EXPECT_TRUE(settings_changed());
  std::filesystem::remove_all(settings_path());
  EXPECT_TRUE(save_settings());
  EXPECT_TRUE(std::filesystem::is_regular_file(settings_path()));
}

TEST_F(ProgramSettingsTest, AutomaticSeparatorsComeFromTheLocale) {
  Settings s;  // both automatic
  {
    ScopedEnv all("LC_ALL", "C");
    apply_separators(s);
  }
  // The C locale has "." and no thousands separator, which falls back to "'".
  EXPECT_EQ(g_number_settings.decimal_sep[0], u'.');
  EXPECT_EQ(g_number_settings.thousands_sep[0], u'\'');
  g_number_settings.decimal_sep[0] = u'x';
  g_number_settings.thousands_sep[0] = u'y';
  {
    ScopedEnv all("LC_ALL", "xx_NOWHERE.UTF-8");  // not installed: the fallbacks
    apply_separators(s);
  }
  EXPECT_EQ(g_number_settings.decimal_sep[0], u'.');
  EXPECT_EQ(g_number_settings.thousands_sep[0], u'\'');
  EXPECT_EQ(g_arith.status, 0u);
  // Every fixed choice.
  const char16_t thousands[] = {u'.', u',', u'\'', u'\u202F'};
  for (int t = 0; t < 4; ++t) {
    s.decimal_separator = t % 2;
    s.thousands_separator = t;
    apply_separators(s);
    EXPECT_EQ(g_number_settings.decimal_sep[1], t % 2 ? u',' : u'.');
    EXPECT_EQ(g_number_settings.thousands_sep[2], thousands[t]);
  }
  EXPECT_EQ(g_arith.status, 0u);
}
