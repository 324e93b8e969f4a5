#include "ui/text_views.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

constexpr int kSoftBreak = 1;  // block user state: the paragraph continues in the next block

// The text between the document positions [from, to), soft breaks left out.
QString text_between(const QTextDocument* doc, int from, int to) {
  QString out;
  for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() < to; b = b.next()) {
    const int start = std::max(from, b.position()) - b.position();
    const int block_end = b.position() + b.length() - 1;  // the separator's position
    const int end = std::min(to, block_end) - b.position();
    out += QStringView(b.text()).mid(start, end - start);
    if (block_end < to && b.next().isValid() && b.userState() != kSoftBreak) out += u'\n';
  }
  return out;
}

}  // namespace

qsizetype cwl_MultiLineEdit::room() const {
  const QTextCursor c = textCursor();
  const qsizetype used = document()->characterCount() - 1 - (c.selectionEnd() - c.selectionStart());
  return std::max<qsizetype>(0, limit_ - used);
}

void cwl_MultiLineEdit::insertFromMimeData(const QMimeData* source) {
  if (source == nullptr || !source->hasText()) return;
  QString text = source->text();
  text.truncate(room());
  if (!text.isEmpty()) insertPlainText(text);
}

void cwl_MultiLineEdit::keyPressEvent(QKeyEvent* e) {
  const QString t = e->text();
  const bool typed = !t.isEmpty() && (t[0].isPrint() || t[0] == u'\r') &&
                     !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (typed && !isReadOnly() && room() < t.size()) {
    e->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(e);
}

cwl_OutputView::cwl_OutputView(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setTabChangesFocus(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

void cwl_OutputView::append(QStringView text) {
  if (text.isEmpty()) return;
  QScrollBar* bar = verticalScrollBar();
  const bool at_end = bar->value() >= bar->maximum();
  QTextCursor c(document());
  c.movePosition(QTextCursor::End);
  c.beginEditBlock();
  int length = c.block().length() - 1;
  qsizetype from = 0;
  auto flush = [&](qsizetype to) {
    if (to > from) c.insertText(text.mid(from, to - from).toString());
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    if (ch == u'\r' || ch == u'\n') {
      flush(i);
      from = i + 1;
      const bool lf_after_cr = ch == u'\n' && pending_cr_;
      pending_cr_ = ch == u'\r';
      if (!lf_after_cr) {
        c.insertBlock();
        length = 0;
      }
      continue;
    }
    pending_cr_ = false;
    ++length;
    if (ch == u' ' && length >= kSoftLength) {
      flush(i + 1);
      from = i + 1;
      c.block().setUserState(kSoftBreak);
      c.insertBlock();
      c.block().setUserState(-1);
      length = 0;
    }
  }
  flush(text.size());
  c.endEditBlock();
  if (at_end) bar->setValue(bar->maximum());
}

QString cwl_OutputView::plain_text() const {
  return text_between(document(), 0, document()->characterCount() - 1);
}

void cwl_OutputView::set_plain_text(QStringView text) {
  clear();
  pending_cr_ = false;
  append(text);
}

QMimeData* cwl_OutputView::createMimeDataFromSelection() const {
  const QTextCursor c = textCursor();
  auto* data = new QMimeData;
  data->setText(text_between(document(), c.selectionStart(), c.selectionEnd()));
  return data;
}
