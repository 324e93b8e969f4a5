// The multi-line fields of the toolkit: the output field that takes long streamed texts and the
// limit of the plain multi-line edit field.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocument>

#include "ui/controls.h"
#include "ui_test_util.h"

namespace {

TEST(OutputField, StreamedPiecesMakeTheirTextWithoutTheSoftBreaks) {
  RecordingWindow window(400, 300);
  const Wnd out = ui_create_edit(window.wnd, 10, 10, 10, 300, 200, u"", kEditStream);
  EXPECT_EQ(ui_class_name(out), "cwl_OutputView");
  // A long line of short pieces, "\r\n" split between two pieces, and a lone "\n".
  std::u16string expected;
  for (int i = 0; i < 6000; ++i) {
    const std::u16string piece = (i == 0 ? u"" : u", ") + std::u16string(1 + i % 13, u'1' + i % 9);
    ui_edit_append(out, piece);
    expected += piece;
  }
  ui_edit_append(out, u" }\r");
  ui_edit_append(out, u"\nCount: 6000\r\n");
  ui_edit_append(out, u"last\nline");
  expected += u" }\nCount: 6000\nlast\nline";
  EXPECT_EQ(ui_text(out), expected);
  auto* view = qobject_cast<QPlainTextEdit*>(w_of(out));
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->isReadOnly());
  EXPECT_FALSE(view->isUndoRedoEnabled());
  // The long line lies in many paragraphs, none much longer than the soft length.
  EXPECT_GT(view->document()->blockCount(), 50);
  // Copying gives the text as it is, without the soft breaks.
  view->selectAll();
  view->copy();
  EXPECT_EQ(QApplication::clipboard()->text().toStdU16String(), expected);
  QTextCursor part = view->textCursor();
  part.setPosition(5);
  part.setPosition(3000, QTextCursor::KeepAnchor);
  view->setTextCursor(part);
  view->copy();
  EXPECT_EQ(QApplication::clipboard()->text().toStdU16String(), expected.substr(5, 2995 - 5));
  ui_set_text(out, u"new\r\ntext");
  EXPECT_EQ(ui_text(out), u"new\ntext");
}

TEST(MultiLineEdit, PastingAndTypingStopAtTheLimit) {
  RecordingWindow window(400, 300);
  const Wnd edit = ui_create_edit(window.wnd, 10, 10, 10, 300, 60, u"", kEditMultiline);
  auto* e = qobject_cast<QPlainTextEdit*>(w_of(edit));
  ASSERT_NE(e, nullptr);
  QApplication::clipboard()->setText(QString(1 << 20, u'7'));
  e->paste();
  EXPECT_EQ(ui_text(edit).size(), 32767u);
  ui_edit_set_limit(edit, 10);
  ui_set_text(edit, u"12345678");  // the program's own text is not limited
  QTextCursor c = e->textCursor();
  c.movePosition(QTextCursor::End);
  e->setTextCursor(c);
  e->paste();
  EXPECT_EQ(ui_text(edit), u"1234567877");
  window.show_active();
  e->setFocus();
  QTest::keyClicks(e, "abc");
  EXPECT_EQ(ui_text(edit), u"1234567877");
  // A selection makes room.
  e->selectAll();
  QTest::keyClicks(e, "abc");
  EXPECT_EQ(ui_text(edit), u"abc");
}

}  // namespace
