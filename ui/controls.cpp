// Creation and operations of the controls.
#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

#include "ui/controls.h"
#include "ui/text_views.h"
#include "ui/toolkit_internal.h"

using namespace ui_detail;

// Own classes, so that the class names tell what a window is.
class cwl_WinXpGroupBox : public QGroupBox {
  Q_OBJECT
 public:
  using QGroupBox::QGroupBox;
};
class cwl_TabPage : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
};
class cwl_NumericUpDown : public QSpinBox {
  Q_OBJECT
 public:
  using QSpinBox::QSpinBox;
};

namespace {

constexpr int kDefaultEditLimit = 32767;

bool default_tab_stop(Kind kind) {
  switch (kind) {
    case Kind::Label:
    case Kind::GroupBox:
    case Kind::TabPage:
    case Kind::Composite:
      return false;
    default:
      return true;
  }
}

QString convert_newlines(std::u16string_view text) {
  QString s = to_qstring(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

}  // namespace

QString ui_detail::display_text(std::u16string_view text) {
  return convert_newlines(text);
}

QString ui_detail::label_text(std::u16string_view text) {
  const QString s = convert_newlines(text);
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size(); ++i) {
    if (s[i] == u'&') {
      if (i + 1 < s.size() && s[i + 1] == u'&') {
        out += u'&';
        ++i;
      }
      continue;
    }
    out += s[i];
  }
  return out;
}

ControlData::ControlData(QWidget* c, int id_, Kind kind_)
    : QObject(c), control(c), id(id_), kind(kind_), tab_stop(default_tab_stop(kind_)) {
  setObjectName(QStringLiteral("cwl_ControlData"));
}

ControlData* ui_detail::control_data(const QWidget* w) {
  if (w == nullptr) return nullptr;
  return static_cast<ControlData*>(w->property("cwl_ControlData").value<void*>());
}

ControlData* ui_detail::owning_control(QWidget* w) {
  for (; w != nullptr; w = w->parentWidget()) {
    if (ControlData* d = control_data(w); d != nullptr && d->kind != Kind::TabPage) return d;
    if (w->isWindow()) break;
  }
  return nullptr;
}

QWidget* ui_detail::container_of(Wnd parent) {
  QWidget* w = widget(parent);
  if (auto* dialog = dynamic_cast<cwl_DialogWindow*>(w)) return dialog->client();
  return w;
}

void ui_detail::dispatch_command(QWidget* control, int id, int notification) {
  if (auto* dialog = dialog_of(control)) dialog->send(UiMsg::Command, id, notification);
}

ControlData* ui_detail::register_control(Wnd parent, QWidget* w, int id, Kind kind, int x, int y,
                                         int width, int height, unsigned style) {
  auto* data = new ControlData(w, id, kind);
  w->setProperty("cwl_ControlData", QVariant::fromValue(static_cast<void*>(data)));
  if (style & kStyleTabStop) data->tab_stop = true;
  if (style & kStyleNoTabStop) data->tab_stop = false;
  w->setFont(make_font(ui_font()));
  w->setGeometry(ui_scale(x), ui_scale(y), ui_scale(width), ui_scale(height));
  if (!data->tab_stop) {
    w->setFocusPolicy(kind == Kind::Label || kind == Kind::GroupBox || kind == Kind::TabPage
                          ? Qt::NoFocus
                          : Qt::ClickFocus);
  }
  // The shared keyboard handling sees the keys of the control and of its focusable parts.
  w->installEventFilter(data);
  for (QWidget* inner : w->findChildren<QWidget*>()) {
    if (inner->focusPolicy() != Qt::NoFocus) inner->installEventFilter(data);
  }
  if (style & kStyleDisabled) w->setEnabled(false);
  w->setVisible(!(style & kStyleHidden));
  if (auto* dialog = dialog_of(container_of(parent))) dialog->add_control(data);
  return data;
}

namespace {

QButtonGroup* radio_group_for(QWidget* container, bool group_start) {
  // A radio button continues the group of the radio button created just before it in the same
  // container, unless it starts a new group.
  if (!group_start) {
    if (auto* dialog = dialog_of(container)) {
      const auto list = dialog->controls();
      if (!list.empty()) {
        ControlData* last = control_data(list.back());
        if (last->kind == Kind::Radio && list.back()->parentWidget() == container) {
          return last->radio_group;
        }
      }
    }
  }
  auto* group = new QButtonGroup(container);
  group->setExclusive(true);
  return group;
}

template <class W>
W* as(Wnd h) {
  return dynamic_cast<W*>(widget(h));
}

}  // namespace

Wnd ui_create_button(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                     unsigned style) {
  auto* b = new QPushButton(display_text(text), container_of(parent));
  b->setAutoDefault(false);
  register_control(parent, b, id, Kind::Button, x, y, w, h, style);
  QObject::connect(b, &QPushButton::clicked, b,
                   [b, id]() { dispatch_command(b, id, kNotifyClicked); });
  if (style & kButtonDefault) ui_set_default_button(handle(dialog_of(b)), handle(b));
  return handle(b);
}

Wnd ui_create_icon_button(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                          const char* const* xpm, int icon_size, unsigned style) {
  auto* b = new QToolButton(container_of(parent));
  b->setText(display_text(text));
  b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  if (xpm != nullptr) b->setIcon(QIcon(QPixmap(xpm)));
  b->setIconSize(QSize(ui_scale(icon_size), ui_scale(icon_size)));
  b->setAutoRaise(false);
  register_control(parent, b, id, Kind::Button, x, y, w, h, style);
  QObject::connect(b, &QToolButton::clicked, b,
                   [b, id]() { dispatch_command(b, id, kNotifyClicked); });
  return handle(b);
}

Wnd ui_create_check_box(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                        unsigned style) {
  auto* b = new QCheckBox(display_text(text), container_of(parent));
  register_control(parent, b, id, Kind::CheckBox, x, y, w, h, style);
  QObject::connect(b, &QCheckBox::clicked, b,
                   [b, id]() { dispatch_command(b, id, kNotifyClicked); });
  return handle(b);
}

Wnd ui_create_radio_button(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                           unsigned style) {
  QWidget* container = container_of(parent);
  QButtonGroup* group = radio_group_for(container, (style & kStyleGroup) != 0);
  auto* b = new QRadioButton(display_text(text), container);
  b->setAutoExclusive(false);
  group->addButton(b);
  ControlData* data = register_control(parent, b, id, Kind::Radio, x, y, w, h, style);
  data->radio_group = group;
  QObject::connect(b, &QRadioButton::clicked, b,
                   [b, id]() { dispatch_command(b, id, kNotifyClicked); });
  return handle(b);
}

Wnd ui_create_combo_box(Wnd parent, int id, int x, int y, int w, int h, unsigned style) {
  auto* c = new QComboBox(container_of(parent));
  ControlData* data = register_control(parent, c, id, Kind::Combo, x, y, w, h, style);
  data->list_view = c->view();
  c->view()->installEventFilter(data);
  // The given height includes the drop-down list, as on other systems; the box itself keeps
  // its natural height.
  c->resize(c->width(), std::min(c->height(), c->sizeHint().height()));
  QObject::connect(c, &QComboBox::activated, c,
                   [c, id]() { dispatch_command(c, id, kNotifySelChange); });
  return handle(c);
}

Wnd ui_create_label(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                    unsigned style) {
  auto* l = new QLabel(container_of(parent));
  l->setTextFormat(Qt::PlainText);
  l->setText(label_text(text));
  Qt::Alignment align = Qt::AlignLeft;
  if (style & kLabelRight) align = Qt::AlignRight;
  if (style & kLabelCentre) align = Qt::AlignHCenter;
  if (style & kLabelSunken) {
    l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    l->setAlignment(align | Qt::AlignVCenter);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
  } else {
    l->setAlignment(align | Qt::AlignTop);
  }
  l->setWordWrap(!(style & kLabelSunken));
  register_control(parent, l, id, Kind::Label, x, y, w, h, style);
  return handle(l);
}

Wnd ui_create_link(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                   unsigned style) {
  auto* l = new QLabel(container_of(parent));
  l->setTextFormat(Qt::RichText);
  l->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(label_text(text).toHtmlEscaped()));
  l->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  register_control(parent, l, id, Kind::Label, x, y, w, h, style);
  QObject::connect(l, &QLabel::linkActivated, l,
                   [l, id]() { dispatch_command(l, id, kNotifyClicked); });
  return handle(l);
}

Wnd ui_create_edit(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                   unsigned style) {
  QWidget* container = container_of(parent);
  QWidget* edit = nullptr;
  if (style & kEditStream) {
    auto* e = new cwl_OutputView(container);
    e->set_plain_text(display_text(text));
    edit = e;
  } else if (style & (kEditMultiline | kEditRich)) {
    if (style & kEditRich) {
      auto* e = new QTextEdit(container);
      e->setAcceptRichText(false);
      e->setPlainText(display_text(text));
      e->setReadOnly((style & kEditReadOnly) != 0);
      e->setTabChangesFocus(true);
      QObject::connect(e, &QTextEdit::textChanged, e,
                       [e, id]() { dispatch_command(e, id, kNotifyEditChange); });
      edit = e;
    } else {
      auto* e = new cwl_MultiLineEdit(container);
      e->setPlainText(display_text(text));
      e->setReadOnly((style & kEditReadOnly) != 0);
      e->setTabChangesFocus(true);
      QObject::connect(e, &QPlainTextEdit::textChanged, e,
                       [e, id]() { dispatch_command(e, id, kNotifyEditChange); });
      edit = e;
    }
  } else {
    auto* e = new QLineEdit(container);
    e->setMaxLength(kDefaultEditLimit);
    e->setText(display_text(text));
    e->setReadOnly((style & kEditReadOnly) != 0);
    QObject::connect(e, &QLineEdit::textChanged, e,
                     [e, id]() { dispatch_command(e, id, kNotifyEditChange); });
    edit = e;
  }
  ControlData* data = register_control(parent, edit, id, Kind::Edit, x, y, w, h, style);
  data->want_return = (style & kEditWantReturn) != 0;
  return handle(edit);
}

Wnd ui_create_group_box(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view text,
                        unsigned style) {
  auto* g = new cwl_WinXpGroupBox(display_text(text), container_of(parent));
  register_control(parent, g, id, Kind::GroupBox, x, y, w, h, style);
  g->lower();  // controls placed over the box stay in front of it
  return handle(g);
}

Wnd ui_create_track_bar(Wnd parent, int id, int x, int y, int w, int h, unsigned style) {
  auto* s = new QSlider(Qt::Horizontal, container_of(parent));
  s->setTickPosition(QSlider::TicksBelow);
  register_control(parent, s, id, Kind::TrackBar, x, y, w, h, style);
  QObject::connect(s, &QSlider::valueChanged, s,
                   [s, id]() { dispatch_command(s, id, kNotifyValueChange); });
  return handle(s);
}

Wnd ui_create_numeric_up_down(Wnd parent, int id, int x, int y, int w, int h, int min, int max,
                              unsigned style) {
  auto* s = new cwl_NumericUpDown(container_of(parent));
  s->setRange(std::min(min, max), std::max(min, max));
  register_control(parent, s, id, Kind::UpDown, x, y, w, h, style);
  QObject::connect(s, &QSpinBox::textChanged, s,
                   [s, id]() { dispatch_command(s, id, kNotifyEditChange); });
  return handle(s);
}

Wnd ui_create_tab_control(Wnd parent, int id, int x, int y, int w, int h, unsigned style) {
  auto* t = new QTabWidget(container_of(parent));
  register_control(parent, t, id, Kind::TabControl, x, y, w, h, style);
  QObject::connect(t, &QTabWidget::currentChanged, t,
                   [t, id]() { dispatch_command(t, id, kNotifyTabChange); });
  return handle(t);
}

Wnd ui_add_tab_page(Wnd tab_control, std::u16string_view title) {
  auto* t = as<QTabWidget>(tab_control);
  if (t == nullptr) return nullptr;
  auto* page = new cwl_TabPage;
  auto* data = new ControlData(page, 0, Kind::TabPage);
  page->setProperty("cwl_ControlData", QVariant::fromValue(static_cast<void*>(data)));
  t->addTab(page, display_text(title));
  return handle(page);
}

// --- every control -------------------------------------------------------------------------------

int ui_control_id(Wnd control) {
  const ControlData* d = control_data(widget(control));
  return d != nullptr ? d->id : 0;
}

Wnd ui_control(Wnd window, int id) {
  auto* dialog = dialog_of(widget(window));
  if (dialog == nullptr) return nullptr;
  for (QWidget* c : dialog->controls()) {
    if (control_data(c)->id == id) return handle(c);
  }
  return nullptr;
}

std::string ui_class_name(Wnd control) {
  const QWidget* w = widget(control);
  return w != nullptr ? std::string(w->metaObject()->className()) : std::string();
}

void ui_set_text(Wnd control, std::u16string_view text) {
  QWidget* w = widget(control);
  if (w == nullptr) return;
  if (w->isWindow()) {
    w->setWindowTitle(display_text(text));
  } else if (auto* l = dynamic_cast<QLabel*>(w)) {
    l->setText(label_text(text));
  } else if (auto* b = dynamic_cast<QAbstractButton*>(w)) {
    b->setText(display_text(text));
  } else if (auto* e = dynamic_cast<QLineEdit*>(w)) {
    e->setText(display_text(text));
  } else if (auto* o = dynamic_cast<cwl_OutputView*>(w)) {
    o->set_plain_text(display_text(text));
  } else if (auto* p = dynamic_cast<QPlainTextEdit*>(w)) {
    p->setPlainText(display_text(text));
  } else if (auto* r = dynamic_cast<QTextEdit*>(w)) {
    r->setPlainText(display_text(text));
  } else if (auto* g = dynamic_cast<QGroupBox*>(w)) {
    g->setTitle(display_text(text));
  } else if (auto* s = dynamic_cast<QSpinBox*>(w)) {
    bool ok = false;
    const int v = display_text(text).trimmed().toInt(&ok);
    if (ok) s->setValue(v);
  }
}

std::u16string ui_text(Wnd control) {
  const QWidget* w = widget(control);
  if (w == nullptr) return {};
  if (w->isWindow()) return to_u16(w->windowTitle());
  if (auto* l = dynamic_cast<const QLabel*>(w)) return to_u16(l->text());
  if (auto* b = dynamic_cast<const QAbstractButton*>(w)) return to_u16(b->text());
  if (auto* e = dynamic_cast<const QLineEdit*>(w)) return to_u16(e->text());
  if (auto* o = dynamic_cast<const cwl_OutputView*>(w)) return to_u16(o->plain_text());
  if (auto* p = dynamic_cast<const QPlainTextEdit*>(w)) return to_u16(p->toPlainText());
  if (auto* r = dynamic_cast<const QTextEdit*>(w)) return to_u16(r->toPlainText());
  if (auto* g = dynamic_cast<const QGroupBox*>(w)) return to_u16(g->title());
  if (auto* s = dynamic_cast<const QSpinBox*>(w)) return to_u16(s->text());
  if (auto* c = dynamic_cast<const QComboBox*>(w)) return to_u16(c->currentText());
  return {};
}

void ui_enable(Wnd control, bool enable) {
  if (QWidget* w = widget(control)) w->setEnabled(enable);
}
bool ui_is_enabled(Wnd control) {
  const QWidget* w = widget(control);
  return w != nullptr && w->isEnabled();
}
void ui_show(Wnd control, bool show) {
  if (QWidget* w = widget(control)) w->setVisible(show);
}
void ui_move(Wnd control, int x, int y, int w, int h) {
  QWidget* c = widget(control);
  if (c == nullptr) return;
  int height = ui_scale(h);
  if (dynamic_cast<QComboBox*>(c) != nullptr) height = std::min(height, c->sizeHint().height());
  c->setGeometry(ui_scale(x), ui_scale(y), ui_scale(w), height);
}

std::intptr_t ui_control_word(Wnd control, int index) {
  const ControlData* d = control_data(widget(control));
  return d != nullptr && (index == 0 || index == 1) ? d->words[index] : 0;
}
void ui_set_control_word(Wnd control, int index, std::intptr_t value) {
  ControlData* d = control_data(widget(control));
  if (d != nullptr && (index == 0 || index == 1)) d->words[index] = value;
}

// --- check boxes and radio buttons ---------------------------------------------------------------

void ui_set_check(Wnd button, bool checked) {
  auto* b = as<QAbstractButton>(button);
  if (b == nullptr) return;
  // An exclusive group refuses to clear its checked button; the page may clear it.
  QButtonGroup* group = b->group();
  const bool exclusive = group != nullptr && group->exclusive();
  if (exclusive && !checked) group->setExclusive(false);
  b->setChecked(checked);
  if (exclusive && !checked) group->setExclusive(true);
}

bool ui_checked(Wnd button) {
  const auto* b = as<QAbstractButton>(button);
  return b != nullptr && b->isChecked();
}

void ui_click(Wnd button) {
  if (auto* b = as<QAbstractButton>(button); b != nullptr && b->isEnabled()) b->click();
}

// --- drop-down lists -----------------------------------------------------------------------------

int ui_combo_add(Wnd combo, std::u16string_view text, std::intptr_t data) {
  auto* c = as<QComboBox>(combo);
  if (c == nullptr) return -1;
  const QSignalBlocker block(c);
  const int previous = c->currentIndex();
  c->addItem(display_text(text), QVariant::fromValue<qlonglong>(data));
  // Adding an entry does not select it; a list starts without a selection.
  c->setCurrentIndex(previous);
  return c->count() - 1;
}

void ui_combo_clear(Wnd combo) {
  if (auto* c = as<QComboBox>(combo)) {
    const QSignalBlocker block(c);
    c->clear();
  }
}

int ui_combo_count(Wnd combo) {
  const auto* c = as<QComboBox>(combo);
  return c != nullptr ? c->count() : 0;
}

void ui_combo_select(Wnd combo, int index) {
  auto* c = as<QComboBox>(combo);
  if (c == nullptr) return;
  const QSignalBlocker block(c);
  c->setCurrentIndex(index >= 0 && index < c->count() ? index : -1);
}

int ui_combo_selection(Wnd combo) {
  const auto* c = as<QComboBox>(combo);
  return c != nullptr ? c->currentIndex() : -1;
}

std::intptr_t ui_combo_data(Wnd combo, int index) {
  const auto* c = as<QComboBox>(combo);
  if (c == nullptr || index < 0 || index >= c->count()) return 0;
  return static_cast<std::intptr_t>(c->itemData(index).toLongLong());
}

std::u16string ui_combo_text(Wnd combo, int index) {
  const auto* c = as<QComboBox>(combo);
  if (c == nullptr || index < 0 || index >= c->count()) return {};
  return to_u16(c->itemText(index));
}

bool ui_combo_list_open(Wnd combo) {
  const auto* c = as<QComboBox>(combo);
  return c != nullptr && c->view() != nullptr && c->view()->isVisible();
}

// --- edit fields ---------------------------------------------------------------------------------

void ui_edit_set_limit(Wnd edit, int characters) {
  if (auto* e = as<QLineEdit>(edit)) e->setMaxLength(std::max(1, characters));
  if (auto* m = as<cwl_MultiLineEdit>(edit)) m->set_limit(std::max(1, characters));
}

void ui_edit_set_read_only(Wnd edit, bool read_only) {
  QWidget* w = widget(edit);
  if (auto* e = dynamic_cast<QLineEdit*>(w)) e->setReadOnly(read_only);
  if (auto* p = dynamic_cast<QPlainTextEdit*>(w)) p->setReadOnly(read_only);
  if (auto* r = dynamic_cast<QTextEdit*>(w)) r->setReadOnly(read_only);
}

void ui_edit_append(Wnd edit, std::u16string_view text) {
  QWidget* w = widget(edit);
  if (auto* o = dynamic_cast<cwl_OutputView*>(w)) return o->append(to_qstring(text));
  const QString s = display_text(text);
  if (auto* p = dynamic_cast<QPlainTextEdit*>(w)) {
    QTextCursor cursor = p->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(s);
    p->setTextCursor(cursor);
    p->ensureCursorVisible();
  } else if (auto* r = dynamic_cast<QTextEdit*>(w)) {
    QTextCursor cursor = r->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(s);
    r->setTextCursor(cursor);
    r->ensureCursorVisible();
  } else if (auto* e = dynamic_cast<QLineEdit*>(w)) {
    e->setText(e->text() + s);
  }
}

// --- track bars and numeric up-downs -------------------------------------------------------------

void ui_track_bar_set_range(Wnd track, int min, int max) {
  if (auto* s = as<QSlider>(track)) {
    const QSignalBlocker block(s);
    s->setRange(std::min(min, max), std::max(min, max));
  }
}

void ui_track_bar_set_pos(Wnd track, int pos) {
  if (auto* s = as<QSlider>(track)) {
    const QSignalBlocker block(s);
    s->setValue(pos);
  }
}

int ui_track_bar_pos(Wnd track) {
  const auto* s = as<QSlider>(track);
  return s != nullptr ? s->value() : 0;
}

void ui_up_down_set_value(Wnd up_down, int value) {
  if (auto* s = as<QSpinBox>(up_down)) s->setValue(value);
}

int ui_up_down_value(Wnd up_down) {
  const auto* s = as<QSpinBox>(up_down);
  return s != nullptr ? s->value() : 0;
}

void ui_up_down_set_range(Wnd up_down, int min, int max) {
  if (auto* s = as<QSpinBox>(up_down)) s->setRange(std::min(min, max), std::max(min, max));
}

// --- tab controls --------------------------------------------------------------------------------

void ui_tab_select(Wnd tab_control, int index) {
  if (auto* t = as<QTabWidget>(tab_control); t != nullptr && index >= 0 && index < t->count()) {
    t->setCurrentIndex(index);
  }
}

int ui_tab_selection(Wnd tab_control) {
  const auto* t = as<QTabWidget>(tab_control);
  return t != nullptr ? t->currentIndex() : -1;
}

#include "controls.moc"
