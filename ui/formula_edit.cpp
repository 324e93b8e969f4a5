// The calculator's input and result fields, colours, accessibility, clipboard and shortcuts.
#include "ui/formula_edit.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QCompleter>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "ui/controls.h"
#include "ui/toolkit_internal.h"

using namespace ui_detail;

class cwl_FormulaEdit : public QPlainTextEdit {
  Q_OBJECT
 public:
  cwl_FormulaEdit(QWidget* parent, FormulaEditHooks h)
      : QPlainTextEdit(parent), hooks(std::move(h)) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Breaking at word boundaries lays out a long run of digits in quadratic time.
    setWordWrapMode(QTextOption::WrapAnywhere);
    completer = new QCompleter(this);
    completer->setModel(new QStringListModel(completer));
    completer->setWidget(this);
    completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    completer->setCaseSensitivity(Qt::CaseSensitive);
    QObject::connect(completer, qOverload<const QString&>(&QCompleter::activated), this,
                     [this](const QString& name) { insert_completion(name); });
  }

  FormulaEditHooks hooks;
  QCompleter* completer = nullptr;
  QPointer<QWidget> anchor;
  std::size_t completion_start = 0;

  bool popup_open() const {
    return completer->popup() != nullptr && completer->popup()->isVisible();
  }

  void insert_completion(const QString& name) {
    QTextCursor c = textCursor();
    const int caret = c.position();
    c.setPosition(static_cast<int>(completion_start));
    c.setPosition(caret, QTextCursor::KeepAnchor);
    c.insertText(name);
    setTextCursor(c);
  }

  // Tab: a single candidate (or a longer common beginning) is written at once; several open the
  // list. False when nothing completes, so that Tab moves the focus on.
  bool complete() {
    if (!hooks.complete) return false;
    const std::u16string text = to_u16(toPlainText());
    std::size_t start = 0;
    const std::vector<std::u16string> names =
        hooks.complete(text, static_cast<std::size_t>(textCursor().position()), start);
    if (names.empty()) return false;
    completion_start = start;
    const std::size_t typed = static_cast<std::size_t>(textCursor().position()) - start;
    std::u16string common = names.front();
    for (const std::u16string& n : names) {
      std::size_t k = 0;
      while (k < common.size() && k < n.size() && common[k] == n[k]) ++k;
      common.resize(k);
    }
    if (names.size() == 1 || common.size() > typed) {
      insert_completion(to_qstring(common));
      if (names.size() == 1) return true;
    }
    QStringList list;
    for (const std::u16string& n : names) list << to_qstring(n);
    static_cast<QStringListModel*>(completer->model())->setStringList(list);
    completer->setCompletionPrefix(QString());
    QRect r = cursorRect();
    r.setWidth(completer->popup()->sizeHintForColumn(0) +
               completer->popup()->verticalScrollBar()->sizeHint().width() + 8);
    if (anchor != nullptr) {
      // Below the anchor, so that the list never covers it.
      const QPoint bottom = anchor->mapTo(window(), QPoint(0, anchor->height()));
      const QPoint here = mapTo(window(), QPoint(0, 0));
      r.moveTop(bottom.y() - here.y() - r.height() + 2);
    }
    completer->complete(r);
    completer->popup()->setCurrentIndex(completer->model()->index(0, 0));
    return true;
  }

  bool on_first_line() const {
    QTextCursor c = textCursor();
    return !c.movePosition(QTextCursor::Up);
  }
  bool on_last_line() const {
    QTextCursor c = textCursor();
    return !c.movePosition(QTextCursor::Down);
  }

  // The keys the window acts on; true when taken.
  bool take_key(QKeyEvent* e) {
    const int key = e->key();
    const auto mods = e->modifiers() & ~Qt::KeypadModifier;
    if (key == Qt::Key_Tab && mods == Qt::NoModifier) return complete();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (mods == Qt::ShiftModifier) {
        textCursor().insertText(QStringLiteral("\n"));
        ensureCursorVisible();
        return true;
      }
      if (mods == Qt::NoModifier) {
        if (hooks.enter) hooks.enter();
        return true;
      }
      return false;
    }
    if (key == Qt::Key_Escape && mods == Qt::NoModifier) {
      if (hooks.escape) hooks.escape();
      return true;
    }
    if ((key == Qt::Key_Up || key == Qt::Key_Down) && mods == Qt::NoModifier && hooks.history) {
      const bool older = key == Qt::Key_Up;
      if (older ? on_first_line() : on_last_line()) return hooks.history(older);
    }
    return false;
  }

 protected:
  // A paste that would make the text longer than the limit is cut and ends in "…", which the
  // formula engine reports; the field never has to lay out megabytes.
  void insertFromMimeData(const QMimeData* source) override {
    if (source == nullptr || !source->hasText()) return;
    QString text = source->text();
    const QTextCursor c = textCursor();
    const qsizetype kept =
        document()->characterCount() - 1 - (c.selectionEnd() - c.selectionStart());
    const qsizetype room = std::max<qsizetype>(0, kFormulaEditLimit - kept);
    if (text.size() > room) {
      text.truncate(std::max<qsizetype>(0, room - 1));
      if (!text.isEmpty() && text.back().isHighSurrogate()) text.chop(1);
      text += QChar(0x2026);
    }
    textCursor().insertText(text);
    ensureCursorVisible();
  }
  void keyPressEvent(QKeyEvent* e) override {
    // With the list open the completer hands these keys over first; it acts on them itself.
    if (popup_open()) {
      switch (e->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
          e->ignore();
          return;
        default:
          break;
      }
    }
    QPlainTextEdit::keyPressEvent(e);
    if (popup_open()) completer->popup()->hide();
  }
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (watched == this && e->type() == QEvent::KeyPress && !popup_open()) {
      return take_key(static_cast<QKeyEvent*>(e));
    }
    return QPlainTextEdit::eventFilter(watched, e);
  }
  void focusOutEvent(QFocusEvent* e) override { QPlainTextEdit::focusOutEvent(e); }
};

class cwl_ResultField : public QPlainTextEdit {
  Q_OBJECT
 public:
  cwl_ResultField(QWidget* parent, QString label, std::function<void()> copy)
      : QPlainTextEdit(parent), copy_label(std::move(label)), copy_all(std::move(copy)) {
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setWordWrapMode(QTextOption::WrapAnywhere);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUndoRedoEnabled(false);
  }
  QString copy_label;
  std::function<void()> copy_all;

  QMenu* make_menu() {
    QMenu* menu = createStandardContextMenu();
    QAction* copy = new QAction(copy_label, menu);
    copy->setObjectName(QStringLiteral("copy_result"));
    QObject::connect(copy, &QAction::triggered, this, [this]() {
      if (copy_all) copy_all();
    });
    const QList<QAction*> actions = menu->actions();
    menu->insertAction(actions.isEmpty() ? nullptr : actions.front(), copy);
    if (!actions.isEmpty()) menu->insertSeparator(actions.front());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
  }

 protected:
  void contextMenuEvent(QContextMenuEvent* e) override { make_menu()->popup(e->globalPos()); }
};

namespace {

QColor colour(int r, int g, int b) {
  return QColor(r, g, b);
}

cwl_FormulaEdit* formula_edit(Wnd h) {
  return dynamic_cast<cwl_FormulaEdit*>(widget(h));
}
QPlainTextEdit* plain_edit(Wnd h) {
  return dynamic_cast<QPlainTextEdit*>(widget(h));
}

}  // namespace

Wnd ui_create_formula_edit(Wnd parent, int id, int x, int y, int w, int h, FormulaEditHooks hooks) {
  auto* e = new cwl_FormulaEdit(container_of(parent), std::move(hooks));
  QObject::connect(e, &QPlainTextEdit::textChanged, e, [e, id]() {
    if (e->hooks.edited) e->hooks.edited();
    dispatch_command(e, id, kNotifyEditChange);
  });
  ControlData* data = register_control(parent, e, id, Kind::Edit, x, y, w, h, 0);
  data->want_return = true;
  // Installed after the shared keyboard handling, so it sees the keys first.
  e->installEventFilter(e);
  return handle(e);
}

void ui_formula_edit_set_popup_anchor(Wnd edit, Wnd anchor) {
  if (cwl_FormulaEdit* e = formula_edit(edit)) e->anchor = widget(anchor);
}

bool ui_formula_edit_popup_open(Wnd edit) {
  cwl_FormulaEdit* e = formula_edit(edit);
  return e != nullptr && e->popup_open();
}

std::vector<std::u16string> ui_formula_edit_popup_items(Wnd edit) {
  std::vector<std::u16string> out;
  cwl_FormulaEdit* e = formula_edit(edit);
  if (e == nullptr) return out;
  for (const QString& s : static_cast<QStringListModel*>(e->completer->model())->stringList())
    out.push_back(to_u16(s));
  return out;
}

void ui_edit_replace_selection(Wnd edit, std::u16string_view text) {
  if (QPlainTextEdit* e = plain_edit(edit)) {
    QTextCursor c = e->textCursor();
    c.insertText(to_qstring(text));
    e->setTextCursor(c);
    e->ensureCursorVisible();
  }
}

void ui_edit_replace_all(Wnd edit, std::u16string_view text) {
  if (QPlainTextEdit* e = plain_edit(edit)) {
    QTextCursor c = e->textCursor();
    c.select(QTextCursor::Document);
    c.insertText(to_qstring(text));
    e->setTextCursor(c);
    e->ensureCursorVisible();
  }
}

void ui_edit_select(Wnd edit, std::size_t start, std::size_t length) {
  if (QPlainTextEdit* e = plain_edit(edit)) {
    QTextCursor c = e->textCursor();
    const int end = static_cast<int>(e->document()->characterCount()) - 1;
    const int a = std::min(static_cast<int>(start), end);
    c.setPosition(a);
    c.setPosition(std::min(a + static_cast<int>(length), end), QTextCursor::KeepAnchor);
    e->setTextCursor(c);
    e->ensureCursorVisible();
  }
}

std::size_t ui_edit_caret(Wnd edit) {
  QPlainTextEdit* e = plain_edit(edit);
  return e != nullptr ? static_cast<std::size_t>(e->textCursor().position()) : 0;
}

void ui_edit_set_caret(Wnd edit, std::size_t position) {
  ui_edit_select(edit, position, 0);
}

void ui_edit_selection(Wnd edit, std::size_t& start, std::size_t& length) {
  start = length = 0;
  if (QPlainTextEdit* e = plain_edit(edit)) {
    const QTextCursor c = e->textCursor();
    start = static_cast<std::size_t>(c.selectionStart());
    length = static_cast<std::size_t>(c.selectionEnd() - c.selectionStart());
  }
}

Wnd ui_create_result_field(Wnd parent, int id, int x, int y, int w, int h,
                           std::u16string_view copy_label, std::function<void()> copy_all) {
  auto* e = new cwl_ResultField(container_of(parent), to_qstring(copy_label), std::move(copy_all));
  register_control(parent, e, id, Kind::Edit, x, y, w, h, 0);
  return handle(e);
}

void ui_result_field_set(Wnd field, std::u16string_view text, int r, int g, int b) {
  QPlainTextEdit* e = plain_edit(field);
  if (e == nullptr) return;
  ui_result_field_set_colour(field, r, g, b);
  e->setPlainText(to_qstring(text));
}

void ui_result_field_set_colour(Wnd field, int r, int g, int b) {
  ui_set_text_colour(field, r, g, b);
}

void ui_set_text_colour(Wnd control, int r, int g, int b) {
  QWidget* w = widget(control);
  if (w == nullptr) return;
  if (r < 0) {  // the palette's own colours
    w->setPalette(QPalette());
    return;
  }
  QPalette p = w->palette();
  const QColor c = colour(r, g, b);
  for (auto role : {QPalette::ButtonText, QPalette::WindowText, QPalette::Text}) {
    p.setColor(QPalette::Active, role, c);
    p.setColor(QPalette::Inactive, role, c);
  }
  w->setPalette(p);
}

bool ui_dark_palette() {
  const QPalette p = QApplication::palette();
  return p.color(QPalette::Window).lightness() < p.color(QPalette::WindowText).lightness();
}

void ui_set_tooltip(Wnd control, std::u16string_view text) {
  if (QWidget* w = widget(control)) w->setToolTip(to_qstring(text));
}

void ui_set_accessible(Wnd control, std::u16string_view name, std::u16string_view description) {
  if (QWidget* w = widget(control)) {
    w->setAccessibleName(to_qstring(name));
    w->setAccessibleDescription(to_qstring(description));
  }
}

void ui_announce(Wnd control, std::u16string_view text) {
  QWidget* w = widget(control);
  if (w == nullptr) return;
  // The description carries the notice (cut for very long results); screen readers read it
  // on the change events.
  QString notice = to_qstring(text.substr(0, std::min<std::size_t>(text.size(), 400)));
  w->setAccessibleDescription(notice);
  if (!QAccessible::isActive()) return;
  QAccessibleEvent changed(w, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&changed);
  QAccessibleEvent alert(w, QAccessible::Alert);
  QAccessible::updateAccessibility(&alert);
}

void ui_clipboard_set_text(std::u16string_view text) {
  QApplication::clipboard()->setText(to_qstring(text));
}

std::u16string ui_clipboard_text() {
  return to_u16(QApplication::clipboard()->text());
}

void ui_add_window_shortcut(Wnd window, std::u16string_view keys, std::function<void()> action) {
  QWidget* w = widget(window);
  if (w == nullptr) return;
  auto* s = new QShortcut(QKeySequence(to_qstring(keys)), w);
  s->setContext(Qt::WindowShortcut);
  QObject::connect(s, &QShortcut::activated, w, [a = std::move(action)]() { a(); });
}

void ui_window_frame(Wnd window, int& x, int& y, int& width, int& height) {
  x = y = width = height = 0;
  if (QWidget* w = widget(window)) {
    const QRect r = w->frameGeometry();
    x = r.x();
    y = r.y();
    width = r.width();
    height = r.height();
  }
}

void ui_move_window(Wnd window, int x, int y) {
  if (QWidget* w = widget(window)) w->move(x, y);
}

void ui_enable_window_shortcut(Wnd window, std::u16string_view keys, bool enable) {
  QWidget* w = widget(window);
  if (w == nullptr) return;
  const QKeySequence seq(to_qstring(keys));
  for (QShortcut* s : w->findChildren<QShortcut*>()) {
    if (s->key() == seq) s->setEnabled(enable);
  }
}

void ui_edit_wrap_anywhere(Wnd edit) {
  if (QPlainTextEdit* e = plain_edit(edit)) e->setWordWrapMode(QTextOption::WrapAnywhere);
}

// --- list box and focus -------------------------------------------------------------------------

class cwl_ListBox : public QListWidget {
  Q_OBJECT
 public:
  using QListWidget::QListWidget;
};

class cwl_FocusWatch : public QObject {
  Q_OBJECT
 public:
  cwl_FocusWatch(QObject* parent, std::function<void()> a)
      : QObject(parent), action(std::move(a)) {}
  std::function<void()> action;

 protected:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::FocusOut && action) action();
    return false;
  }
};

namespace {
cwl_ListBox* list_box(Wnd h) {
  return dynamic_cast<cwl_ListBox*>(widget(h));
}
}  // namespace

Wnd ui_create_list_box(Wnd parent, int id, int x, int y, int w, int h) {
  auto* l = new cwl_ListBox(container_of(parent));
  l->setSelectionMode(QAbstractItemView::SingleSelection);
  register_control(parent, l, id, Kind::Edit, x, y, w, h, 0);
  QObject::connect(l, &QListWidget::currentRowChanged, l, [l, id](int) {
    if (!l->signalsBlocked()) dispatch_command(l, id, kNotifySelChange);
  });
  return handle(l);
}

void ui_list_insert(Wnd list, int index, std::u16string_view text) {
  if (cwl_ListBox* l = list_box(list)) {
    const QSignalBlocker block(l);
    l->insertItem(index < 0 ? l->count() : index, to_qstring(text));
  }
}
void ui_list_remove(Wnd list, int index) {
  if (cwl_ListBox* l = list_box(list)) {
    const QSignalBlocker block(l);
    delete l->takeItem(index);
  }
}
void ui_list_set_text(Wnd list, int index, std::u16string_view text) {
  if (cwl_ListBox* l = list_box(list); l != nullptr && l->item(index) != nullptr)
    l->item(index)->setText(to_qstring(text));
}
std::u16string ui_list_text(Wnd list, int index) {
  cwl_ListBox* l = list_box(list);
  return l != nullptr && l->item(index) != nullptr ? to_u16(l->item(index)->text())
                                                   : std::u16string();
}
int ui_list_count(Wnd list) {
  cwl_ListBox* l = list_box(list);
  return l != nullptr ? l->count() : 0;
}
void ui_list_select(Wnd list, int index) {
  if (cwl_ListBox* l = list_box(list)) {
    const QSignalBlocker block(l);
    l->setCurrentRow(index);
    if (index < 0) l->clearSelection();
  }
}
int ui_list_selection(Wnd list) {
  cwl_ListBox* l = list_box(list);
  if (l == nullptr || l->selectedItems().isEmpty()) return -1;
  return l->currentRow();
}

void ui_detail::drop_focus_actions(QWidget* window) {
  for (cwl_FocusWatch* watch : window->findChildren<cwl_FocusWatch*>()) watch->action = nullptr;
}

void ui_on_focus_out(Wnd control, std::function<void()> action) {
  if (QWidget* w = widget(control)) w->installEventFilter(new cwl_FocusWatch(w, std::move(action)));
}

#include "formula_edit.moc"
