// The formula history: the walk with Up and Down, its limits, and the file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "calc/history.h"

namespace {

TEST(CalcHistory, WalksBackAndForthAndGivesTheDraftBack) {
  CalcHistory h;
  EXPECT_FALSE(h.older(u"x").has_value());
  h.add(u"1+1");
  h.add(u"2+2");
  h.add(u"2+2");  // no duplicate in a row
  h.add(u"");
  h.add(u"  ");
  ASSERT_EQ(h.entries().size(), 2u);
  EXPECT_FALSE(h.newer().has_value());  // no walk yet
  EXPECT_EQ(h.older(u"draft"), u"2+2");
  EXPECT_EQ(h.older(u"ignored"), u"1+1");
  EXPECT_FALSE(h.older(u"").has_value());
  EXPECT_EQ(h.newer(), u"2+2");
  EXPECT_EQ(h.newer(), u"draft");
  EXPECT_FALSE(h.walking());
  EXPECT_FALSE(h.newer().has_value());
  // Adding ends a walk; the same formula later again is kept.
  EXPECT_EQ(h.older(u""), u"2+2");
  h.add(u"1+1");
  EXPECT_FALSE(h.walking());
  EXPECT_EQ(h.entries().back(), u"1+1");
  EXPECT_EQ(h.entries().size(), 3u);
}

TEST(CalcHistory, KeepsTheNewestThousandOnOneLineEach) {
  CalcHistory h;
  for (int i = 0; i < 1005; ++i) {
    std::u16string f(static_cast<std::size_t>(i / 10 + 1), u'1');
    f[0] = static_cast<char16_t>(u'0' + i % 10);
    h.add(f);
  }
  EXPECT_EQ(h.entries().size(), CalcHistory::kMaxEntries);
  h.add(u"1+\r\n2\n3\u2028");
  EXPECT_EQ(h.entries().back(), u"1+  2 3 ");
  h.add(std::u16string(CalcHistory::kMaxFormulaLength + 1, u'1'));
  EXPECT_EQ(h.entries().back(), u"1+  2 3 ");
}

TEST(CalcHistory, FileRoundTripInUtf8) {
  CalcHistory h;
  h.add(u"sqrt(2)*\u03c0");
  h.add(u"1+\U0001F600");
  const std::string bytes = history_file_text(h);
  EXPECT_EQ(bytes, "sqrt(2)*\xcf\x80\n1+\xf0\x9f\x98\x80\n");
  CalcHistory back;
  ASSERT_TRUE(parse_history_file(bytes, back));
  EXPECT_EQ(back.entries(), h.entries());
  // CR LF ends, a byte-order mark and a missing last line end are accepted.
  ASSERT_TRUE(
      parse_history_file("\xef\xbb\xbf"
                         "a\r\nb",
                         back));
  EXPECT_EQ(back.entries(), (std::deque<std::u16string>{u"a", u"b"}));
}

TEST(CalcHistory, DamagedFilesAreIgnoredAsAWhole) {
  CalcHistory h;
  h.add(u"kept");
  for (const std::string& bad : {std::string("ok\n\xff\n"), std::string("a\0b\n", 4),
                                 std::string("\xed\xa0\x80\n"), std::string("\xc0\xaf")}) {
    EXPECT_FALSE(parse_history_file(bad, h));
    ASSERT_EQ(h.entries().size(), 1u);
    EXPECT_EQ(h.entries()[0], u"kept");
  }
}

TEST(CalcHistory, WritingReplacesTheFileAndAFailureKeepsTheOld) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("numerion_history_" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  const std::filesystem::path file = dir / "sub" / "history.txt";
  CalcHistory h;
  h.add(u"1+2");
  ASSERT_TRUE(write_history_file(file, h));
  CalcHistory back;
  ASSERT_TRUE(read_history_file(file, back));
  EXPECT_EQ(back.entries(), h.entries());
  EXPECT_FALSE(read_history_file(dir / "missing.txt", back));
  EXPECT_EQ(back.entries(), h.entries());
  // A folder where the file should be: the write fails and leaves it.
  const std::filesystem::path blocked = dir / "blocked";
  std::filesystem::create_directories(blocked / "inner");
  EXPECT_FALSE(write_history_file(blocked, h));
  EXPECT_TRUE(std::filesystem::is_directory(blocked / "inner"));
  // An unwritable folder: the old file stays as it was.
  if (::geteuid() != 0) {
    std::filesystem::permissions(file.parent_path(), std::filesystem::perms::owner_read |
                                                         std::filesystem::perms::owner_exec);
    h.add(u"3+4");
    EXPECT_FALSE(write_history_file(file, h));
    std::filesystem::permissions(file.parent_path(), std::filesystem::perms::owner_all);
    ASSERT_TRUE(read_history_file(file, back));
    EXPECT_EQ(back.entries().size(), 1u);
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
