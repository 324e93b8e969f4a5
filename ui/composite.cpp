// The composite selectors: digit count, output base and number type.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>

#include "ui/composite.h"
#include "ui/controls.h"
#include "ui/toolkit_internal.h"

using namespace ui_detail;

class DigitCountControl : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  QLabel* label = nullptr;
  QLabel* display = nullptr;
  int digits = 0;
};

class NumberBaseControl : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  QLabel* label = nullptr;
  QComboBox* list = nullptr;
  BaseCallback callback = nullptr;
  void* owner = nullptr;
};

class NumberTypeControl : public QWidget {
  Q_OBJECT
 public:
  using QWidget::QWidget;
  QComboBox* list = nullptr;
  TypeCallback callback = nullptr;
  void* owner = nullptr;
};

namespace {

constexpr int kLabelOffset = 2;  // layout units between the control's edge and its label

// The focusable part of a composite is a control of the window in its own right (same id), so
// that Tab, Enter and the default frame treat it like any other list.
void attach_inner(QWidget* composite, QWidget* inner, Kind kind) {
  const ControlData* outer = control_data(composite);
  auto* data = new ControlData(inner, outer->id, kind);
  inner->setProperty("cwl_ControlData", QVariant::fromValue(static_cast<void*>(data)));
  inner->installEventFilter(data);
  if (auto* list = dynamic_cast<QComboBox*>(inner)) {
    data->list_view = list->view();
    list->view()->installEventFilter(data);
  }
  if (auto* dialog = dialog_of(composite)) dialog->add_control(data);
}

QLabel* make_label(QWidget* parent, std::u16string_view text) {
  auto* l = new QLabel(label_text(text), parent);
  l->setTextFormat(Qt::PlainText);
  l->setFont(make_font(ui_font()));
  return l;
}

QComboBox* make_list(QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setFont(make_font(ui_font()));
  return c;
}

template <class W>
W* as(Wnd h) {
  return dynamic_cast<W*>(widget(h));
}

}  // namespace

// --- digit count ---------------------------------------------------------------------------------

Wnd ui_create_digit_count(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view label,
                          unsigned style) {
  auto* c = new DigitCountControl(container_of(parent));
  register_control(parent, c, id, Kind::Composite, x, y, w, h,
                   style & (kStyleDisabled | kStyleHidden));
  c->label = make_label(c, label);
  c->display = new QLabel(c);
  c->display->setFont(make_font(ui_font()));
  c->display->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  c->display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  const int label_width = c->width() / 2;
  c->label->setGeometry(0, 0, label_width, c->height());
  c->label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  c->display->setGeometry(label_width, 0, c->width() - label_width, c->height());
  ui_digit_count_set(handle(c), 0);
  return handle(c);
}

void ui_digit_count_set(Wnd control, int digits) {
  auto* c = as<DigitCountControl>(control);
  if (c == nullptr) return;
  c->digits = digits;
  // The trailing space keeps the number off the frame.
  c->display->setText(QString::number(digits) + u' ');
}

int ui_digit_count(Wnd control) {
  const auto* c = as<DigitCountControl>(control);
  return c != nullptr ? c->digits : 0;
}

// --- output base ---------------------------------------------------------------------------------

Wnd ui_create_number_base(Wnd parent, int id, int x, int y, int w, int h, std::u16string_view label,
                          unsigned style, BaseCallback callback, void* owner) {
  auto* c = new NumberBaseControl(container_of(parent));
  register_control(parent, c, id, Kind::Composite, x, y, w, h, 0);
  c->callback = callback;
  c->owner = owner;
  c->label = make_label(c, label);
  c->list = make_list(c);
  for (const int base : {2, 8, 10, 16}) {
    if ((base == 2 && !(style & kBaseWith2)) || (base == 8 && !(style & kBaseWith8))) continue;
    c->list->addItem(QString::number(base), base);
  }
  c->list->setCurrentIndex(-1);
  const int offset = (style & kBaseNoLabelOffsets) ? 0 : ui_scale(kLabelOffset);
  const int list_height = c->list->sizeHint().height();
  if (style & kBaseTwoLineLabel) {
    const int label_height = c->label->fontMetrics().lineSpacing() * 2;
    c->label->setGeometry(offset, offset, c->width() - offset, label_height);
    c->list->setGeometry(0, offset + label_height, c->width(), list_height);
  } else {
    const int label_width = c->width() / 2;
    c->label->setGeometry(offset, 0, label_width - offset, c->height());
    c->label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    c->list->setGeometry(label_width, (c->height() - list_height) / 2, c->width() - label_width,
                         list_height);
  }
  attach_inner(c, c->list, Kind::Combo);
  QObject::connect(c->list, &QComboBox::activated, c, [c](int index) {
    if (c->callback != nullptr) c->callback(handle(c), c->list->itemData(index).toInt(), c->owner);
  });
  return handle(c);
}

void ui_number_base_set(Wnd control, int base) {
  auto* c = as<NumberBaseControl>(control);
  if (c == nullptr) return;
  // The entry whose text reads as the base; none for a negative or unlisted base.
  const int index = base < 0 ? -1 : c->list->findText(QString::number(base));
  c->list->setCurrentIndex(index);
}

int ui_number_base(Wnd control) {
  const auto* c = as<NumberBaseControl>(control);
  if (c == nullptr || c->list->currentIndex() < 0) return -1;
  return c->list->currentData().toInt();
}

// --- number type ---------------------------------------------------------------------------------

Wnd ui_create_number_type(Wnd parent, int id, int x, int y, int w, int h, unsigned style,
                          const NumberTypeTexts& texts, TypeCallback callback, void* owner) {
  auto* c = new NumberTypeControl(container_of(parent));
  register_control(parent, c, id, Kind::Composite, x, y, w, h, 0);
  c->callback = callback;
  c->owner = owner;
  c->list = make_list(c);
  // The NumberType codes (the test beside integer/number.h checks that they agree).
  if (style & kTypeMaskUInt) c->list->addItem(to_qstring(texts.uint), 10);
  if (style & kTypeMaskRational) c->list->addItem(to_qstring(texts.rational), 11);
  if (style & kTypeMaskReal) c->list->addItem(to_qstring(texts.real), 1);
  if (style & kTypeMaskComplex) c->list->addItem(to_qstring(texts.complex), 2);
  c->list->setCurrentIndex(-1);
  c->list->setGeometry(0, 0, c->width(), std::min(c->height(), c->list->sizeHint().height()));
  c->resize(c->width(), c->list->height());
  attach_inner(c, c->list, Kind::Combo);
  QObject::connect(c->list, &QComboBox::activated, c, [c](int index) {
    const int code = index >= 0 ? c->list->itemData(index).toInt() : 0;
    if (c->callback != nullptr) c->callback(handle(c), code, c->owner);
  });
  return handle(c);
}

void ui_number_type_set(Wnd control, int type_code) {
  auto* c = as<NumberTypeControl>(control);
  if (c == nullptr) return;
  c->list->setCurrentIndex(c->list->findData(type_code));
}

int ui_number_type(Wnd control) {
  const auto* c = as<NumberTypeControl>(control);
  if (c == nullptr || c->list->currentIndex() < 0) return 0;
  return c->list->currentData().toInt();
}

#include "composite.moc"
