// Pasted text into grid cells and cells into clipboard text, without any window.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "ui/grid_text.h"
#include "tests/instrumented.h"

namespace {

using Rows = std::vector<std::vector<std::u16string>>;

Rows split(std::u16string_view text, int rows = 100, int columns = 100) {
  return split_pasted_text(text, rows, columns).rows;
}

TEST(GridText, SeparatorsTabsThenSemicolonsThenSpaces) {
  EXPECT_EQ(detect_paste_separator(u"1;2\t3"), PasteSeparator::Tab);
  EXPECT_EQ(detect_paste_separator(u"1;2 3"), PasteSeparator::Semicolon);
  EXPECT_EQ(detect_paste_separator(u"1 2 3"), PasteSeparator::Spaces);
  EXPECT_EQ(detect_paste_separator(u"\"a\tb\" 3"), PasteSeparator::Spaces);  // quoted tab
  EXPECT_EQ(detect_paste_separator(u"\"a;b\";3"), PasteSeparator::Semicolon);

  EXPECT_EQ(split(u"1\t2\t3\r\n4\t\t6\r\n"), (Rows{{u"1", u"2", u"3"}, {u"4", u"", u"6"}}));
  // The fields of ";" and tab are kept exactly, blanks included.
  EXPECT_EQ(split(u"1; 2;3\n4;5;6"), (Rows{{u"1", u" 2", u"3"}, {u"4", u"5", u"6"}}));
  EXPECT_EQ(split(u"  1   2 3  \r  4 5\r"), (Rows{{u"1", u"2", u"3"}, {u"4", u"5"}}));
  // A ";" separates function arguments inside parentheses; a tab still splits there.
  EXPECT_EQ(split(u"max(1;2);3\n(1;"), (Rows{{u"max(1;2)", u"3"}, {u"(1;"}}));
  EXPECT_EQ(split(u"max(1;\t2)"), (Rows{{u"max(1;", u"2)"}}));
  // Spaces next to operators belong to the formula.
  EXPECT_EQ(split(u"1 + 2  -3 4 - x  2 *x 7 mod 3 sin( 1 ) 5"),
            (Rows{{u"1 + 2", u"-3", u"4 - x", u"2 *x", u"7 mod 3", u"sin( 1 )", u"5"}}));
  EXPECT_EQ(split(u"(1) (2) 1e-5 -7"), (Rows{{u"(1)", u"(2)", u"1e-5", u"-7"}}));
}

TEST(GridText, LineEndsAndEmptyLines) {
  EXPECT_TRUE(split(u"").empty());
  EXPECT_EQ(split(u"\n"), (Rows{{u""}}));
  EXPECT_EQ(split(u"1\r\n\r\n3"), (Rows{{u"1"}, {u""}, {u"3"}}));
  EXPECT_EQ(split(u"1\r\r3\n"), (Rows{{u"1"}, {u""}, {u"3"}}));
  EXPECT_EQ(split(u"1 2\n   \n3"), (Rows{{u"1", u"2"}, {u""}, {u"3"}}));
  EXPECT_EQ(split(u"1\t\n"), (Rows{{u"1", u""}}));
}

TEST(GridText, QuotedFieldsKeepSeparatorsAndLineEnds) {
  EXPECT_EQ(split(u"\"a\tb\"\t\"c\r\nd\"\t\"say \"\"hi\"\"\"\n2"),
            (Rows{{u"a\tb", u"c\r\nd", u"say \"hi\""}, {u"2"}}));
  EXPECT_EQ(split(u"\"1;2\";3"), (Rows{{u"1;2", u"3"}}));
  EXPECT_EQ(split(u"\"1 2\" 3 \"\""), (Rows{{u"1 2", u"3", u""}}));
  // Text glued to a closing quote stays in the field; a quote inside a field is plain text.
  EXPECT_EQ(split(u"\"a\"b\tc\"d"), (Rows{{u"ab", u"c\"d"}}));
  // A quote that is never closed takes the rest of the text.
  EXPECT_EQ(split(u"1\t\"2\n3\t4"), (Rows{{u"1", u"2\n3\t4"}}));
}

TEST(GridText, BlockIsClippedToTheGridAndLeftOutCellsAreCounted) {
  const std::u16string text = u"1\t2\t3\n4\t5\t6\n7\t8\t9\n10";
  PastedBlock b = split_pasted_text(text, 2, 2);
  EXPECT_EQ(b.rows, (Rows{{u"1", u"2"}, {u"4", u"5"}}));
  EXPECT_EQ(b.left_out, 2 + 3 + 1);  // column 3 of two rows, then rows 3 and 4
  b = split_pasted_text(text, 10, 10);
  EXPECT_EQ(b.left_out, 0);
  EXPECT_EQ(b.rows.size(), 4u);
  EXPECT_EQ(b.rows[3], std::vector<std::u16string>{u"10"});  // short rows stay short
  b = split_pasted_text(text, 0, 5);
  EXPECT_TRUE(b.rows.empty());
  EXPECT_EQ(b.left_out, 10);
  b = split_pasted_text(u"1 2 3", 1, -4);
  EXPECT_EQ(b.left_out, 3);
}

TEST(GridText, LongCellsAreCutWithAnEllipsis) {
  EXPECT_EQ(cut_cell_text(u"12345", 5), u"12345");
  EXPECT_EQ(cut_cell_text(u"123456", 5), u"1234\u2026");
  // A surrogate pair is never split.
  EXPECT_EQ(cut_cell_text(u"123\U0001D11Exyz", 5), u"123\u2026");
  EXPECT_EQ(cut_cell_text(u"12", 0), u"\u2026");

  std::u16string huge(100000, u'7');
  PastedBlock b = split_pasted_text(u"1\t\"" + huge + u"\"\t" + huge, 5, 5);
  ASSERT_EQ(b.rows.size(), 1u);
  ASSERT_EQ(b.rows[0].size(), 3u);
  EXPECT_EQ(b.rows[0][1].size(), kGridCellLimit);
  EXPECT_EQ(b.rows[0][1], std::u16string(kGridCellLimit - 1, u'7') + u"\u2026");
  EXPECT_EQ(b.rows[0][2], b.rows[0][1]);
  EXPECT_EQ(b.cut, 2);
  EXPECT_EQ(split_pasted_text(std::u16string(kGridCellLimit, u'1'), 1, 1).cut, 0);
}

TEST(GridText, HostileTextsStayBoundedByTheGrid) {
  using Clock = std::chrono::steady_clock;
  const auto start = Clock::now();
  // 10 MB of fields: 100,000 lines of 50 tab-separated numbers.
  std::u16string big;
  for (int r = 0; r < 100000; ++r) {
    for (int c = 0; c < 50; ++c) {
      if (c > 0) big += u'\t';
      big += u"1.25";
    }
    big += u"\r\n";
  }
  ASSERT_GT(big.size(), 5'000'000u);  // characters; twice that in bytes
  PastedBlock b = split_pasted_text(big, 25, 26);
  EXPECT_EQ(b.rows.size(), 25u);
  EXPECT_EQ(b.rows[24].size(), 26u);
  EXPECT_EQ(b.left_out, 100000LL * 50 - 25 * 26);

  // 100,000 lines of one space-separated field each, and one line of 100,000 fields.
  std::u16string lines;
  for (int r = 0; r < 100000; ++r) lines += u"3\n";
  EXPECT_EQ(split_pasted_text(lines, 25, 26).left_out, 100000 - 25);
  std::u16string wide;
  for (int c = 0; c < 100000; ++c) wide += u"3 ";
  EXPECT_EQ(split_pasted_text(wide, 25, 26).left_out, 100000 - 26);

  // Every code unit, NUL and lone surrogates included: NUL never reaches a cell.
  std::u16string binary;
  for (int i = 0; i < 0x10000; ++i) binary.push_back(static_cast<char16_t>((i * 7919) & 0xFFFF));
  b = split_pasted_text(binary, 25, 26);
  EXPECT_LE(b.rows.size(), 25u);
  for (const auto& row : b.rows) {
    EXPECT_LE(row.size(), 26u);
    for (const auto& cell : row) {
      EXPECT_LE(cell.size(), kGridCellLimit);
      EXPECT_EQ(cell.find(u'\0'), std::u16string::npos);
    }
  }
  EXPECT_EQ(split(std::u16string(u"1\0"
                                 u"2\t3",
                                 5)),
            (Rows{{u"1\uFFFD2", u"3"}}));
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(10) * kTimeScale);
}

TEST(GridText, CopiedCellsPasteBackUnchanged) {
  const Rows cells = {{u"1", u"a\tb", u""}, {u"x\ny", u"\"q\"", u"say \"hi\""}, {u"", u"", u"z"}};
  const std::u16string text = join_copied_cells(cells);
  EXPECT_EQ(text, u"1\t\"a\tb\"\t\n\"x\ny\"\t\"\"\"q\"\"\"\tsay \"hi\"\n\t\tz");
  EXPECT_EQ(split(text), cells);
  EXPECT_EQ(join_copied_cells({{u"5"}}), u"5");
  EXPECT_EQ(join_copied_cells({}), u"");
}

}  // namespace
