// "SimpleGridCtl": every operation, the -1 answers, and the keys of the grid and its editor.
#include <gtest/gtest.h>

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>

#include "ui/controls.h"
#include "ui/grid.h"
#include "ui/grid_widget.h"
#include "ui_test_util.h"
#include "tests/instrumented.h"

namespace {

std::u16string cell(Wnd g, int r, int c) {
  std::u16string out = u"unchanged";
  grid_cell_text(g, r, c, &out);
  return out;
}

// The open editor; closed ones linger hidden until the event loop deletes them.
QLineEdit* editor(Wnd g) {
  for (QLineEdit* e : w_of(g)->findChildren<QLineEdit*>()) {
    if (e->isVisible()) return e;
  }
  return nullptr;
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
  QWidget* viewport() const { return w_of(grid)->findChild<QWidget*>("qt_scrollarea_viewport"); }
  // The middle of a data cell while the grid is scrolled to its top-left corner.
  QPoint centre(int r, int c) const {
    const int h = QFontMetrics(w_of(grid)->font()).height() + 6;
    return QPoint(40 + 80 * (c - 1) + 40, h * r + h / 2);
  }
  std::vector<int> selection() const {
    int t = 0, l = 0, b = 0, r = 0;
    grid_selection(grid, &t, &l, &b, &r);
    return {t, l, b, r};
  }
  // Cell texts of rows top..bottom and every data column, "|" between cells, "/" between rows.
  std::u16string block(int top, int bottom) const {
    std::u16string out;
    for (int r = top; r <= bottom; ++r) {
      for (int c = 1; c <= 3; ++c) out += cell(grid, r, c) + (c < 3 ? u"|" : u"");
      if (r < bottom) out += u"/";
    }
    return out;
  }
  int edit_notices() const {
    int n = 0;
    for (const Seen& s : win.seen)
      n += s.message == UiMsg::Command && s.wparam == 2 && s.lparam == kNotifyEditChange;
    return n;
  }
  void paste_at(int r, int c, const QString& text) {
    grid_set_current(grid, r, c);
    QApplication::clipboard()->setText(text);
    press(Qt::Key_V, Qt::ControlModifier);
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

TEST_F(GridFixture, ShiftKeysMouseDragAndCtrlASelectBlocks) {
  grid_set_current(grid, 2, 1);
  EXPECT_EQ(selection(), (std::vector<int>{2, 1, 2, 1}));  // one cell: the current one
  press(Qt::Key_Right, Qt::ShiftModifier);
  press(Qt::Key_Down, Qt::ShiftModifier);
  press(Qt::Key_Down, Qt::ShiftModifier);
  EXPECT_EQ(selection(), (std::vector<int>{2, 1, 4, 2}));
  EXPECT_EQ(grid_current_row(grid), 4);  // the current cell is the moving corner
  press(Qt::Key_Up, Qt::ShiftModifier);
  press(Qt::Key_Left, Qt::ShiftModifier);
  press(Qt::Key_Left, Qt::ShiftModifier);  // stays in the first column
  EXPECT_EQ(selection(), (std::vector<int>{2, 1, 3, 1}));
  press(Qt::Key_Right);  // a plain move drops the block
  EXPECT_EQ(selection(), (std::vector<int>{3, 2, 3, 2}));
  press(Qt::Key_End, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(selection(), (std::vector<int>{3, 2, 30, 3}));
  press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(selection(), (std::vector<int>{1, 1, 30, 3}));
  EXPECT_FALSE(grid_editing(grid));  // Ctrl+A does not type an "a"
  grid_show_column(grid, 3, false);
  press(Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(selection(), (std::vector<int>{1, 1, 30, 2}));  // hidden columns are not selected
  grid_show_column(grid, 3, true);

  grid_set_current(grid, 1, 1);  // scrolled back to the top
  QTest::mousePress(viewport(), Qt::LeftButton, {}, centre(1, 1));
  QMouseEvent move(QEvent::MouseMove, centre(3, 3), viewport()->mapToGlobal(centre(3, 3)),
                   Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(viewport(), &move);
  QTest::mouseRelease(viewport(), Qt::LeftButton, {}, centre(3, 3));
  EXPECT_EQ(selection(), (std::vector<int>{1, 1, 3, 3}));
  QTest::mouseClick(viewport(), Qt::LeftButton, {}, centre(2, 2));
  QTest::mouseClick(viewport(), Qt::LeftButton, Qt::ShiftModifier, centre(4, 1));
  EXPECT_EQ(selection(), (std::vector<int>{2, 1, 4, 2}));
  EXPECT_EQ(grid_select(grid, 5, 3, 0, 1), -1);
  EXPECT_EQ(grid_select(grid, 5, 3, 6, 1), 0);
  EXPECT_EQ(selection(), (std::vector<int>{5, 1, 6, 3}));
  EXPECT_EQ(grid_current_row(grid), 5);
  EXPECT_EQ(grid_current_column(grid), 3);
}

TEST_F(GridFixture, CopyGivesTabsAndLineEndsCutEmptiesDeleteEmpties) {
  for (int r = 1; r <= 3; ++r) {
    for (int c = 1; c <= 3; ++c)
      grid_set_cell_text(grid, r, c, std::u16string(1, u'a' + (r - 1) * 3 + (c - 1)));
  }
  grid_set_cell_text(grid, 2, 3, u"x\ty");
  grid_select(grid, 1, 2, 2, 3);
  press(Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "b\tc\ne\t\"x\ty\"");
  grid_set_current(grid, 3, 1);
  press(Qt::Key_C, Qt::ControlModifier);  // no block: the current cell
  EXPECT_EQ(QApplication::clipboard()->text(), "g");

  const int notices = edit_notices();
  grid_set_cell_read_only(grid, 2, 1, true);
  grid_select(grid, 1, 1, 2, 2);
  press(Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text(), "a\tb\nd\te");
  EXPECT_EQ(block(1, 3), u"||c/d||x\ty/g|h|i");  // read-only cells stay
  EXPECT_EQ(edit_notices(), notices + 1);
  grid_select(grid, 2, 3, 3, 2);
  press(Qt::Key_Delete);
  EXPECT_EQ(block(1, 3), u"||c/d||/g||");
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(block(1, 3), u"||c/d||x\ty/g|h|i");
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(block(1, 3), u"a|b|c/d|e|x\ty/g|h|i");
  EXPECT_FALSE(grid_undo(grid));  // nothing more to undo
  grid_set_editable(grid, false);
  press(Qt::Key_Delete);
  EXPECT_EQ(block(1, 3), u"a|b|c/d|e|x\ty/g|h|i");
}

TEST_F(GridFixture, PasteSplitsByTabSemicolonOrSpacesAndClipsAtTheEdges) {
  paste_at(1, 1, "1\t2\t3\r\n4\t5\t6\r\n");
  EXPECT_EQ(block(1, 2), u"1|2|3/4|5|6");
  EXPECT_EQ(grid_take_left_out(grid), 0);
  EXPECT_EQ(selection(), (std::vector<int>{1, 1, 2, 3}));  // the pasted block is selected

  const int notices = edit_notices();
  paste_at(3, 2, "7;8;9\n10;11;12");  // one column too many
  EXPECT_EQ(block(3, 4), u"|7|8/|10|11");
  EXPECT_EQ(edit_notices(), notices + 1);
  EXPECT_EQ(grid_take_left_out(grid), 2);
  EXPECT_EQ(grid_take_left_out(grid), 0);  // taken

  paste_at(29, 3, "  a   b\n c d \n e f");  // the last column of the last two rows
  EXPECT_EQ(cell(grid, 29, 3), u"a");
  EXPECT_EQ(cell(grid, 30, 3), u"c");
  EXPECT_EQ(grid_take_left_out(grid), 4);
  EXPECT_EQ(grid_row_count(grid), 30);  // nothing outside the grid was made or written

  // Hidden columns are skipped, read-only cells keep their text and count as left out.
  grid_show_column(grid, 2, false);
  grid_set_cell_read_only(grid, 6, 3, true);
  paste_at(5, 1, "p\tq\nr\ts");
  grid_show_column(grid, 2, true);
  EXPECT_EQ(block(5, 6), u"p||q/r||");
  EXPECT_EQ(grid_take_left_out(grid), 1);

  // A paste that writes nothing at all still tells the page what it left out.
  const int before = edit_notices();
  grid_set_current(grid, 30, 3);
  grid_set_cell_read_only(grid, 30, 3, true);
  EXPECT_EQ(grid_paste_text(grid, u"k\tl\nm"), 3);
  EXPECT_EQ(cell(grid, 30, 3), u"c");
  EXPECT_EQ(edit_notices(), before + 1);
}

TEST_F(GridFixture, OneUndoTakesBackAWholePasteAndRedoRepeatsIt) {
  grid_set_cell_text(grid, 1, 1, u"old");
  grid_set_current(grid, 1, 1);
  type("5");
  press(Qt::Key_Return);
  paste_at(1, 1, "1\t2\n3\t4\n5\t6");
  EXPECT_EQ(block(1, 3), u"1|2|/3|4|/5|6|");
  press(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(block(1, 3), u"5||/||/||");  // the typed text is back
  EXPECT_EQ(selection(), (std::vector<int>{1, 1, 3, 2}));
  press(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(block(1, 3), u"1|2|/3|4|/5|6|");
  press(Qt::Key_Z, Qt::ControlModifier);
  press(Qt::Key_Z, Qt::ControlModifier);  // the typed edit was a step of its own
  EXPECT_EQ(cell(grid, 1, 1), u"old");
  // F2 opens the editor with the cell's text; the editor's own Ctrl+Z stays inside it.
  press(Qt::Key_F2);
  ASSERT_TRUE(grid_editing(grid));
  EXPECT_EQ(editor(grid)->text(), "old");
  press(Qt::Key_Escape);
  // A page writing a cell ends the history: undo would overwrite its text.
  paste_at(2, 2, "z");
  grid_set_cell_text(grid, 9, 1, u"page");
  EXPECT_FALSE(grid_undo(grid));
  EXPECT_EQ(cell(grid, 2, 2), u"z");
}

TEST_F(GridFixture, HostilePastesAreCutToTheGridQuickly) {
  QElapsedTimer timer;
  timer.start();
  QString lines;
  for (int r = 0; r < 100000; ++r)
    lines += QStringLiteral("12345678901234567890123456789012345678901234\t5\n");
  ASSERT_GE(lines.size() * 2, 9'000'000);  // about 10 MB of UTF-16
  paste_at(1, 1, lines);
  EXPECT_EQ(cell(grid, 30, 2), u"5");
  EXPECT_EQ(grid_take_left_out(grid), 100000 * 2 - 30 * 2);
  QString binary;
  for (int i = 0; i < 300000; ++i) binary += QChar(static_cast<char16_t>((static_cast<unsigned>(i) * 40503u) & 0xFFFFu));
  paste_at(1, 1, binary);
  for (int r = 1; r <= 30; ++r) {
    for (int c = 1; c <= 3; ++c) {
      const std::u16string t = cell(grid, r, c);
      EXPECT_LE(t.size(), 1030u);
      EXPECT_EQ(t.find(u'\0'), std::u16string::npos);
    }
  }
  paste_at(2, 2, QString(100000, QChar('9')));
  EXPECT_EQ(grid_cell_text_length(grid, 2, 2), 1030);
  EXPECT_EQ(cell(grid, 2, 2).back(), u'\u2026');
  w_of(grid)->repaint();
  EXPECT_TRUE(grid_undo(grid));
  EXPECT_LT(timer.elapsed(), 20000 * kTimeScale);
}

std::vector<std::pair<int, QString>> g_heard;  // event type and the text of its cell

void hear(QAccessibleEvent* e) {
  if (QAccessibleInterface* i = e->accessibleInterface())
    g_heard.emplace_back(static_cast<int>(e->type()), i->text(QAccessible::Name));
}

TEST(Grid, ScreenReadersSeeATableWithTitlesAndHearTheCurrentCell) {
  RecordingWindow win;
  Wnd g = ui_create_grid(win.wnd, 1, 0, 0, 300, 200);
  grid_add_column(g, u"a1");
  grid_add_column(g, u"hidden");
  grid_add_column(g, u"b");
  grid_show_column(g, 2, false);
  grid_add_row(g, u"1");
  grid_add_row(g, u"2");
  grid_set_cell_text(g, 1, 1, u"3/4");
  grid_set_cell_text(g, 2, 3, u"x^2");
  grid_set_accessible_name(g, u"Coefficients");
  win.show_active();

  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(w_of(g));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->role(), QAccessible::Table);
  EXPECT_EQ(table->text(QAccessible::Name), "Coefficients");
  QAccessibleTableInterface* t = table->tableInterface();
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(t->rowCount(), 2);
  EXPECT_EQ(t->columnCount(), 2);
  EXPECT_EQ(t->columnDescription(0), "a1");
  EXPECT_EQ(t->columnDescription(1), "b");
  EXPECT_EQ(t->rowDescription(1), "2");
  QAccessibleInterface* c = t->cellAt(1, 1);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->role(), QAccessible::Cell);
  EXPECT_EQ(c->text(QAccessible::Name), "x^2");
  QAccessibleTableCellInterface* tc = c->tableCellInterface();
  ASSERT_NE(tc, nullptr);
  EXPECT_EQ(tc->rowIndex(), 1);
  EXPECT_EQ(tc->columnIndex(), 1);
  ASSERT_EQ(tc->columnHeaderCells().size(), 1);
  EXPECT_EQ(tc->columnHeaderCells()[0]->text(QAccessible::Name), "b");
  EXPECT_EQ(tc->columnHeaderCells()[0]->role(), QAccessible::ColumnHeader);
  EXPECT_EQ(tc->rowHeaderCells()[0]->text(QAccessible::Name), "2");
  EXPECT_EQ(tc->rowHeaderCells()[0]->role(), QAccessible::RowHeader);
  EXPECT_EQ(c->parent(), table);
  // Children: three rows (titles first) of three cells (row title first), hidden column left out.
  ASSERT_EQ(table->childCount(), 9);
  EXPECT_EQ(table->child(2)->text(QAccessible::Name), "b");
  EXPECT_EQ(table->child(3)->text(QAccessible::Name), "1");
  EXPECT_EQ(table->child(4)->text(QAccessible::Name), "3/4");
  EXPECT_EQ(table->indexOfChild(c), 8);
  EXPECT_EQ(table->childAt(c->rect().center().x(), c->rect().center().y()), c);
  EXPECT_TRUE(c->state().editable);

  // The current cell is announced as it becomes current, and again when its text changes.
  g_heard.clear();
  const GridAnnounceHook old = set_grid_announce_hook(hear);
  ui_set_focus(g);
  QTest::keyClick(w_of(g), Qt::Key_Down);
  QTest::keyClick(w_of(g), Qt::Key_Right);
  grid_paste_text(g, u"y");
  set_grid_announce_hook(old);
  std::vector<std::pair<int, QString>> focus;
  for (const auto& h : g_heard)
    if (h.first == QAccessible::Focus || h.first == QAccessible::NameChanged) focus.push_back(h);
  ASSERT_GE(focus.size(), 3u);
  EXPECT_EQ(focus[focus.size() - 2],
            std::make_pair(static_cast<int>(QAccessible::Focus), QString("x^2")));
  EXPECT_EQ(focus.back(), std::make_pair(static_cast<int>(QAccessible::NameChanged), QString("y")));
  EXPECT_TRUE(t->cellAt(1, 1)->state().focused);
  EXPECT_EQ(t->selectedCellCount(), 1);
  // After a change of rows the old cells are no longer valid and new ones are made.
  grid_add_row(g, u"3");
  EXPECT_FALSE(c->isValid());
  EXPECT_EQ(t->rowCount(), 3);
  EXPECT_EQ(t->cellAt(0, 0)->text(QAccessible::Name), "3/4");
}

TEST(Grid, ASpreadsheetBlockFillsALinearSystemInOneStep) {
  // Columns a1 … a25 and b, 25 equations: a block of 25 × 26 as a spreadsheet copies it.
  RecordingWindow win(700, 500);
  Wnd g = ui_create_grid(win.wnd, 1, 0, 0, 680, 480);
  for (int c = 1; c <= 25; ++c) grid_add_column(g, ui_detail::to_u16("a" + QString::number(c)));
  grid_add_column(g, u"b");
  for (int r = 1; r <= 25; ++r) grid_add_row(g, ui_detail::to_u16(QString::number(r)));
  QString text;
  for (int r = 1; r <= 25; ++r) {
    for (int c = 1; c <= 26; ++c) text += QString("%1%2").arg(c > 1 ? "\t" : "").arg(r * 100 + c);
    text += "\r\n";
  }
  win.show_active();
  ui_set_focus(g);
  QApplication::clipboard()->setText(text);
  QTest::keyClick(w_of(g), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(grid_take_left_out(g), 0);
  EXPECT_EQ(cell(g, 1, 1), u"101");
  EXPECT_EQ(cell(g, 25, 26), u"2526");
  EXPECT_EQ(cell(g, 13, 7), u"1307");
  // Three equations: a1 … a3 and b stay visible and take a 3 × 4 block.
  for (int c = 4; c <= 25; ++c) grid_show_column(g, c, false);
  grid_set_current(g, 1, 1);
  EXPECT_EQ(grid_paste_text(g, u"1;2;3;4\n5;6;7;8\n9;10;11;12\n"), 0);
  EXPECT_EQ(cell(g, 3, 26), u"12");
  EXPECT_EQ(cell(g, 3, 4), u"304");  // hidden, untouched
  QTest::keyClick(w_of(g), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(cell(g, 3, 26), u"326");
}

}  // namespace
