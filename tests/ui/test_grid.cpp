// "SimpleGridCtl": every operation, the -1 answers, and the keys of the grid and its editor.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QScrollBar>

#include "ui/controls.h"
#include "ui/grid.h"
#include "ui_test_util.h"

namespace {

std::u16string cell(Wnd g, int r, int c) {
  std::u16string out = u"unchanged";
  grid_cell_text(g, r, c, &out);
  return out;
}

QLineEdit* editor(Wnd g) {
  return w_of(g)->findChild<QLineEdit*>();
}

void press(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QWidget* target = QApplication::focusWidget();
  ASSERT_NE(target, nullptr);
  QTest::keyClick(target, k, mods);
}

// A window with an edit field, a grid of 3 data columns and 30 rows, and a button.
struct GridFixture : ::testing::Test {
  RecordingWindow win{400, 300};
  Wnd before = ui_create_edit(win.wnd, 1, 0, 0, 100, 22, u"");
  Wnd grid = ui_create_grid(win.wnd, 2, 0, 30, 380, 200);
  Wnd after = ui_create_button(win.wnd, 3, 0, 240, 80, 26, u"after", kButtonDefault);
  GridFixture() {
    for (const char16_t* t : {u"a0", u"a1", u"a2"}) grid_add_column(grid, t);
    for (int r = 1; r <= 30; ++r)
      grid_add_row(grid, std::u16string(u"x") + std::u16string(1, u'0' + r % 10));
    win.show_active();
    ui_set_focus(grid);
  }
  // Each character goes to whatever has the focus then, as typing does.
  void type(const char* text) {
    for (; *text != 0; ++text) QTest::keyClicks(QApplication::focusWidget(), QString(QChar(*text)));
  }
};

TEST(Grid, ColumnsRowsAndTitles) {
  RecordingWindow win;
  Wnd g = ui_create_grid(win.wnd, 1, 0, 0, 300, 200);
  EXPECT_EQ(ui_class_name(g), "SimpleGridCtl");
  EXPECT_EQ(grid_column_count(g), 0);
  EXPECT_EQ(grid_row_count(g), 0);
  EXPECT_EQ(grid_add_column(g, u"b"), 1);
  EXPECT_EQ(grid_add_column(g, u"coefficient"), 2);
  EXPECT_EQ(grid_column_count(g), 2);
  std::u16string title;
  EXPECT_EQ(grid_column_title(g, 2, &title), 11);
  EXPECT_EQ(title, u"coefficient");
  EXPECT_EQ(grid_set_column_title(g, 1, u"a1"), 0);
  EXPECT_EQ(grid_column_title_length(g, 1), 2);

  EXPECT_EQ(grid_add_row(g, u"x^0"), 1);
  EXPECT_EQ(grid_add_row(g, u"x^2"), 2);
  EXPECT_EQ(grid_insert_row(g, 2, u"x^1"), 2);
  EXPECT_EQ(grid_row_count(g), 3);
  EXPECT_EQ(grid_row_title(g, 2, &title), 3);
  EXPECT_EQ(title, u"x^1");
  EXPECT_EQ(grid_row_title_length(g, 3), 3);
  EXPECT_EQ(grid_set_cell_text(g, 3, 2, u"7"), 0);
  EXPECT_EQ(grid_delete_row(g, 1), 0);
  EXPECT_EQ(cell(g, 2, 2), u"7");       // the rows below move up
  EXPECT_EQ(grid_insert_row(g, 3), 3);  // one past the end appends
  EXPECT_EQ(grid_row_count(g), 3);
  EXPECT_EQ(grid_delete_all_rows(g), 0);
  EXPECT_EQ(grid_row_count(g), 0);
  EXPECT_EQ(grid_column_count(g), 2);  // the columns stay
  EXPECT_EQ(grid_column_title(g, 2, &title), 11);
}

TEST(Grid, EveryBadRowOrColumnAnswersMinusOne) {
  RecordingWindow win;
  Wnd g = ui_create_grid(win.wnd, 1, 0, 0, 300, 200);
  std::u16string out = u"x";
  EXPECT_EQ(grid_cell_text(g, 1, 1, &out), -1);
  EXPECT_EQ(out, u"");  // no text
  EXPECT_EQ(grid_cell_text_length(g, 0, 1), -1);
  EXPECT_EQ(grid_current_row(g), 0);
  grid_add_column(g, u"a");
  grid_add_row(g);
  for (auto [r, c] : {std::pair{-1, 1}, {2, 1}, {1, 2}, {1, -1}, {INT32_MIN, INT32_MAX}}) {
    EXPECT_EQ(grid_cell_text(g, r, c, &out), -1) << r << "," << c;
    EXPECT_EQ(grid_set_cell_text(g, r, c, u"x"), -1);
    EXPECT_EQ(grid_set_cell_read_only(g, r, c, true), -1);
  }
  EXPECT_EQ(grid_set_current(g, 0, 1), -1);  // the title row is not a data cell
  EXPECT_EQ(grid_set_current(g, 1, 0), -1);
  EXPECT_EQ(grid_set_current(g, 2, 1), -1);
  EXPECT_EQ(grid_delete_row(g, 0), -1);
  EXPECT_EQ(grid_delete_row(g, 2), -1);
  EXPECT_EQ(grid_insert_row(g, 0), -1);
  EXPECT_EQ(grid_insert_row(g, 3), -1);
  EXPECT_EQ(grid_column_title(g, 2, &out), -1);
  EXPECT_EQ(grid_set_column_title(g, -1, u"x"), -1);
  EXPECT_EQ(grid_show_column(g, 2, false), -1);
  EXPECT_EQ(grid_set_column_width(g, 2, 50), -1);
  EXPECT_EQ(grid_set_column_width(g, 1, -5), -1);
  EXPECT_EQ(grid_row_title(g, 2, &out), -1);
  EXPECT_EQ(grid_row_count(g), 1);
  // An empty cell reads as the empty string, which the pages take as 0.
  EXPECT_EQ(grid_cell_text(g, 1, 1, &out), 0);
  EXPECT_EQ(out, u"");
  // Something that is no grid.
  Wnd button = ui_create_button(win.wnd, 2, 0, 0, 10, 10, u"b");
  EXPECT_EQ(grid_add_column(button, u"x"), -1);
  EXPECT_EQ(grid_row_count(button), -1);
  EXPECT_EQ(grid_cell_text(nullptr, 1, 1, &out), -1);
}

TEST(Grid, LongCellsSurviveSettingPaintingAndEditing) {
  RecordingWindow win;
  Wnd g = ui_create_grid(win.wnd, 1, 0, 0, 300, 200);
  grid_add_column(g, u"a");
  grid_add_row(g);
  std::u16string long_text(40000, u'9');
  long_text[123] = u'\n';
  long_text[777] = static_cast<char16_t>(0xD800);
  ASSERT_EQ(grid_set_cell_text(g, 1, 1, long_text), 0);
  EXPECT_EQ(grid_cell_text_length(g, 1, 1), 40000);
  win.show_active();
  w_of(g)->repaint();
  ui_set_focus(g);
  press(Qt::Key_F2);  // the editor opens with the whole text
  ASSERT_TRUE(grid_editing(g));
  press(Qt::Key_Return);
  EXPECT_FALSE(grid_editing(g));
  EXPECT_EQ(grid_cell_text_length(g, 1, 1), 40000);
  const std::u16string ten_k(10000, u'x');
  grid_set_column_title(g, 1, ten_k);
  grid_set_cell_text(g, 1, 0, ten_k);
  w_of(g)->repaint();
  EXPECT_EQ(grid_column_title_length(g, 1), 10000);
}

TEST(Grid, EveryKeyOnAnEmptyGridIsHarmless) {
  RecordingWindow win;
  Wnd g = ui_create_grid(win.wnd, 1, 0, 0, 300, 200);
  win.show_active();
  ui_set_focus(g);
  for (int k :
       {Qt::Key_Up, Qt::Key_Down, Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown,
        Qt::Key_Home, Qt::Key_End, Qt::Key_F2, Qt::Key_Delete, Qt::Key_Backspace, Qt::Key_Escape,
        Qt::Key_Return, Qt::Key_A, Qt::Key_7, Qt::Key_Space}) {
    QTest::keyClick(w_of(g), static_cast<Qt::Key>(k));
  }
  grid_add_column(g, u"a");  // columns without rows
  for (int k : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_A})
    QTest::keyClick(w_of(g), static_cast<Qt::Key>(k));
  EXPECT_EQ(grid_row_count(g), 0);
  EXPECT_FALSE(grid_editing(g));
  QTest::mouseClick(w_of(g)->findChild<QWidget*>("qt_scrollarea_viewport"), Qt::LeftButton, {},
                    QPoint(150, 100));
  EXPECT_EQ(grid_current_row(g), 0);
}

TEST_F(GridFixture, ArrowsAndPagesMoveTheCurrentCellWithinTheTable) {
  EXPECT_EQ(grid_current_row(grid), 1);
  EXPECT_EQ(grid_current_column(grid), 1);
  press(Qt::Key_Right);
  press(Qt::Key_Right);
  press(Qt::Key_Right);
  EXPECT_EQ(grid_current_column(grid), 3);
  press(Qt::Key_Up);
  EXPECT_EQ(grid_current_row(grid), 1);
  press(Qt::Key_PageDown);
  const int page = grid_current_row(grid) - 1;
  EXPECT_GT(page, 1);
  EXPECT_LT(page, 30);
  press(Qt::Key_PageDown);
  EXPECT_EQ(grid_current_row(grid), 1 + 2 * page);
  for (int i = 0; i < 10; ++i) press(Qt::Key_PageDown);
  EXPECT_EQ(grid_current_row(grid), 30);
  auto* area = static_cast<QAbstractScrollArea*>(w_of(grid));
  EXPECT_GT(area->verticalScrollBar()->value(), 0);  // scrolled so that the cell shows
  press(Qt::Key_PageUp);
  EXPECT_EQ(grid_current_row(grid), 30 - page);
  EXPECT_EQ(grid_set_current(grid, 2, 2), 0);
  grid_show_column(grid, 3, false);
  press(Qt::Key_Right);  // hidden columns are skipped
  EXPECT_EQ(grid_current_column(grid), 2);
  grid_show_column(grid, 2, false);
  EXPECT_EQ(grid_current_column(grid), 1);  // the current cell leaves a hidden column
  grid_show_column(grid, 2, true);
  grid_show_column(grid, 3, true);
}

TEST_F(GridFixture, TypingOpensTheEditorEnterWritesEscapeDrops) {
  grid_set_current(grid, 2, 2);
  type("1");
  ASSERT_TRUE(grid_editing(grid));
  EXPECT_EQ(editor(grid)->text(), "1");
  type("/3");
  press(Qt::Key_Return);
  EXPECT_FALSE(grid_editing(grid));
  EXPECT_EQ(cell(grid, 2, 2), u"1/3");
  EXPECT_EQ(ui_focus(), grid);
  const std::vector<int> ids = win.commands();
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 3), 0);  // Enter in the editor clicks nothing else

  type("9");
  press(Qt::Key_Escape);
  EXPECT_FALSE(grid_editing(grid));
  EXPECT_EQ(cell(grid, 2, 2), u"1/3");
  EXPECT_EQ(ui_focus(), grid);

  grid_set_cell_read_only(grid, 2, 2, true);
  type("5");
  EXPECT_FALSE(grid_editing(grid));
  grid_set_cell_read_only(grid, 2, 2, false);
  grid_set_editable(grid, false);
  type("5");
  EXPECT_FALSE(grid_editing(grid));
  grid_set_editable(grid, true);
  // Enter on the grid itself clicks the window's default button.
  press(Qt::Key_Return);
  EXPECT_EQ(win.commands().back(), 3);
}

TEST_F(GridFixture, EditorVerticalKeysWriteAndMoveExceptAtTheEnds) {
  grid_set_current(grid, 1, 1);
  type("4");
  press(Qt::Key_Up);  // first row: the editor keeps the key
  EXPECT_TRUE(grid_editing(grid));
  press(Qt::Key_Down);
  EXPECT_FALSE(grid_editing(grid));
  EXPECT_EQ(cell(grid, 1, 1), u"4");
  EXPECT_EQ(grid_current_row(grid), 2);
  type("5");
  press(Qt::Key_PageDown);
  EXPECT_EQ(cell(grid, 2, 1), u"5");
  EXPECT_GT(grid_current_row(grid), 2);
  grid_set_current(grid, 30, 1);
  type("6");
  press(Qt::Key_Down);  // last row
  EXPECT_TRUE(grid_editing(grid));
  press(Qt::Key_PageUp);
  EXPECT_EQ(cell(grid, 30, 1), u"6");
  EXPECT_LT(grid_current_row(grid), 30);
}

TEST_F(GridFixture, EditorHorizontalKeysMoveOnlyAtTheEndsOfTheText) {
  grid_set_current(grid, 3, 2);
  type("12");
  press(Qt::Key_Left);  // caret inside the text: the editor moves it
  EXPECT_TRUE(grid_editing(grid));
  EXPECT_EQ(editor(grid)->cursorPosition(), 1);
  press(Qt::Key_Left);
  press(Qt::Key_Left);  // caret at the start: write and move left
  EXPECT_FALSE(grid_editing(grid));
  EXPECT_EQ(cell(grid, 3, 2), u"12");
  EXPECT_EQ(grid_current_column(grid), 1);
  type("7");
  press(Qt::Key_Left);  // no cell to the left: the editor keeps the key
  EXPECT_TRUE(grid_editing(grid));
  press(Qt::Key_End);
  press(Qt::Key_Right);  // caret at the end: write and move right
  EXPECT_EQ(cell(grid, 3, 1), u"7");
  EXPECT_EQ(grid_current_column(grid), 2);
  grid_set_current(grid, 3, 3);
  type("8");
  press(Qt::Key_Right);  // last column
  EXPECT_TRUE(grid_editing(grid));
  press(Qt::Key_Escape);
}

TEST_F(GridFixture, TabLeavesTheEditorForTheNextControlAndFocusLossWrites) {
  grid_set_current(grid, 1, 3);
  type("2");
  press(Qt::Key_Tab);
  EXPECT_FALSE(grid_editing(grid));
  EXPECT_EQ(cell(grid, 1, 3), u"2");
  EXPECT_EQ(ui_focus(), after);
  ui_set_focus(grid);
  type("3");
  press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(ui_focus(), before);
  EXPECT_EQ(cell(grid, 1, 3), u"3");
  ui_set_focus(grid);
  type("4");
  ui_set_focus(after);  // a click elsewhere
  EXPECT_EQ(cell(grid, 1, 3), u"4");
  // Setting the text of the cell being edited closes the editor without writing it back.
  ui_set_focus(grid);
  type("5");
  grid_set_cell_text(grid, 1, 3, u"page");
  EXPECT_FALSE(grid_editing(grid));
  EXPECT_EQ(cell(grid, 1, 3), u"page");
}

TEST_F(GridFixture, RowChangesKeepTheCurrentCellOnItsRow) {
  grid_set_current(grid, 10, 2);
  grid_insert_row(grid, 5);
  EXPECT_EQ(grid_current_row(grid), 11);
  grid_delete_row(grid, 1);
  EXPECT_EQ(grid_current_row(grid), 10);
  grid_set_current(grid, 30, 1);
  grid_delete_row(grid, 30);
  EXPECT_EQ(grid_current_row(grid), 29);
  grid_delete_all_rows(grid);
  EXPECT_EQ(grid_current_row(grid), 0);
  EXPECT_EQ(grid_current_column(grid), 0);
  grid_add_row(grid);
  EXPECT_EQ(grid_current_row(grid), 1);
  EXPECT_EQ(grid_current_column(grid), 1);
}

TEST_F(GridFixture, MouseClickMakesACellCurrent) {
  QWidget* viewport = w_of(grid)->findChild<QWidget*>("qt_scrollarea_viewport");
  ASSERT_NE(viewport, nullptr);
  const int row_height = QFontMetrics(w_of(grid)->font()).height() + 6;
  // Heading column of 40 units, data columns of 80: the middle of row 3, column 2.
  QTest::mouseClick(viewport, Qt::LeftButton, {},
                    QPoint(40 + 80 + 40, row_height * 3 + row_height / 2));
  EXPECT_EQ(grid_current_row(grid), 3);
  EXPECT_EQ(grid_current_column(grid), 2);
  QTest::mouseDClick(viewport, Qt::LeftButton, {}, QPoint(40 + 40, row_height + row_height / 2));
  EXPECT_TRUE(grid_editing(grid));
}

}  // namespace
