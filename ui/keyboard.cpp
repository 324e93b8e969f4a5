// The keyboard behaviour of dialog boxes for every control of a dialog window: Tab order, radio
// groups as one stop, Enter and the default button, arrow keys among radio buttons, and the
// default frame that follows the focused push button.
#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QPushButton>
#include <QTimer>

#include "ui/controls.h"
#include "ui/toolkit_internal.h"

using namespace ui_detail;

namespace {

bool usable(QWidget* w, cwl_DialogWindow* window) {
  return w->isVisibleTo(window) && w->isEnabled();
}

// A place in the Tab order: the control that takes the focus, and the creation positions it
// covers (a radio group covers all its buttons, so that leaving it skips the rest of it).
struct Stop {
  QWidget* target;
  int first;
  int last;
};

QWidget* group_entry(QButtonGroup* group, cwl_DialogWindow* window) {
  if (QAbstractButton* checked = group->checkedButton();
      checked != nullptr && usable(checked, window)) {
    return checked;
  }
  for (QAbstractButton* b : group->buttons()) {
    if (usable(b, window)) return b;
  }
  return nullptr;
}

std::vector<Stop> stop_list(cwl_DialogWindow* window, const std::vector<QWidget*>& controls) {
  std::vector<Stop> stops;
  std::vector<QButtonGroup*> seen;
  for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
    QWidget* c = controls[i];
    const ControlData* d = control_data(c);
    if (!d->tab_stop || !usable(c, window)) continue;
    if (d->kind != Kind::Radio) {
      stops.push_back({c, i, i});
      continue;
    }
    if (std::find(seen.begin(), seen.end(), d->radio_group) != seen.end()) continue;
    seen.push_back(d->radio_group);
    int last = i;
    for (int j = i + 1; j < static_cast<int>(controls.size()); ++j) {
      if (control_data(controls[j])->radio_group == d->radio_group) last = j;
    }
    stops.push_back({group_entry(d->radio_group, window), i, last});
  }
  return stops;
}

int position_of(const std::vector<QWidget*>& controls, const QWidget* w) {
  const auto it = std::find(controls.begin(), controls.end(), w);
  return it != controls.end() ? static_cast<int>(it - controls.begin()) : -1;
}

void move_radio(ControlData* data, bool forward) {
  cwl_DialogWindow* window = dialog_of(data->control);
  if (window == nullptr || data->radio_group == nullptr) return;
  std::vector<QAbstractButton*> buttons;
  for (QAbstractButton* b : data->radio_group->buttons()) {
    if (b == data->control || usable(b, window)) buttons.push_back(b);
  }
  const auto it = std::find(buttons.begin(), buttons.end(), data->control);
  if (it == buttons.end() || buttons.size() < 2) return;
  const auto n = static_cast<std::ptrdiff_t>(buttons.size());
  const std::ptrdiff_t index = ((it - buttons.begin()) + (forward ? 1 : n - 1)) % n;
  QAbstractButton* next = buttons[static_cast<std::size_t>(index)];
  next->setFocus(Qt::TabFocusReason);
  next->click();
}

bool handle_key(ControlData* data, QKeyEvent* e) {
  const int key = e->key();
  const Qt::KeyboardModifiers mods = e->modifiers();
  const bool ctrl = (mods & Qt::ControlModifier) != 0;
  const bool alt = (mods & Qt::AltModifier) != 0;
  if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !ctrl && !alt) {
    const bool back = key == Qt::Key_Backtab || (mods & Qt::ShiftModifier) != 0;
    move_tab_focus(data->control, !back);
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    if (ctrl) return false;
    if (data->kind == Kind::Button) {
      if (auto* b = dynamic_cast<QAbstractButton*>(data->control); b != nullptr && b->isEnabled())
        b->click();
      return true;
    }
    if (data->kind == Kind::Edit && data->want_return) return false;
    if (data->kind == Kind::Combo && ui_combo_list_open(handle(data->control))) return false;
    if (data->kind == Kind::Combo && data->list_took_enter) {
      // The open list took this Enter and closed before the key reached the box.
      data->list_took_enter = false;
      return true;
    }
    return press_default_button(data->control);
  }
  if (data->kind == Kind::Radio && !ctrl && !alt) {
    if (key == Qt::Key_Left || key == Qt::Key_Up) {
      move_radio(data, false);
      return true;
    }
    if (key == Qt::Key_Right || key == Qt::Key_Down) {
      move_radio(data, true);
      return true;
    }
  }
  return false;
}

}  // namespace

std::vector<QWidget*> ui_detail::tab_stops(cwl_DialogWindow* window) {
  std::vector<QWidget*> out;
  for (const Stop& s : stop_list(window, window->controls())) out.push_back(s.target);
  return out;
}

void ui_detail::move_tab_focus(QWidget* from, bool forward) {
  cwl_DialogWindow* window = dialog_of(from);
  if (window == nullptr) return;
  const std::vector<QWidget*> controls = window->controls();
  const std::vector<Stop> stops = stop_list(window, controls);
  if (stops.empty()) return;
  const ControlData* current = owning_control(from);
  int first = -1;
  int last = -1;
  if (current != nullptr) {
    first = last = position_of(controls, current->control);
    if (current->kind == Kind::Radio) {
      for (int i = 0; i < static_cast<int>(controls.size()); ++i) {
        if (control_data(controls[i])->radio_group != current->radio_group) continue;
        if (first < 0 || i < first) first = i;
        last = std::max(last, i);
      }
    }
  }
  const Stop* target = nullptr;
  if (first < 0) {
    target = forward ? &stops.front() : &stops.back();
  } else if (forward) {
    for (const Stop& s : stops) {
      if (s.first > last) {
        target = &s;
        break;
      }
    }
    if (target == nullptr) target = &stops.front();
  } else {
    for (auto it = stops.rbegin(); it != stops.rend(); ++it) {
      if (it->last < first) {
        target = &*it;
        break;
      }
    }
    if (target == nullptr) target = &stops.back();
  }
  target->target->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool ui_detail::press_default_button(QWidget* control) {
  cwl_DialogWindow* window = dialog_of(control);
  if (window == nullptr) return false;
  QPushButton* button = window->default_button;
  if (button == nullptr || !usable(button, window)) return false;
  const QPointer<QWidget> before = control;
  button->click();
  if (before == nullptr) return true;
  QWidget* now = QApplication::focusWidget();
  if (now != nullptr && owning_control(now) != nullptr && owning_control(now)->control != before) {
    if (dialog_of(before) != nullptr) dialog_of(before)->last_focus = before;
  } else if (before->isVisible() && before->isEnabled()) {
    before->setFocus(Qt::OtherFocusReason);
  }
  return true;
}

void ui_detail::update_default_frame(cwl_DialogWindow* window, QWidget* focused) {
  if (window == nullptr) return;
  QPushButton* want = window->default_button;
  if (focused != nullptr && window->isAncestorOf(focused)) {
    if (ControlData* d = owning_control(focused); d != nullptr && d->kind == Kind::Button) {
      want = dynamic_cast<QPushButton*>(d->control);
    }
  }
  if (window->framed_button == want) return;
  if (window->framed_button != nullptr) window->framed_button->setDefault(false);
  if (want != nullptr) want->setDefault(true);
  window->framed_button = want;
}

bool ControlData::eventFilter(QObject* watched, QEvent* e) {
  if (list_view != nullptr && watched == list_view) {
    if (e->type() == QEvent::ShortcutOverride || e->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(e)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        list_took_enter = true;
        // Only for the key press being delivered now.
        QTimer::singleShot(0, this, [this]() { list_took_enter = false; });
      }
    }
    return false;
  }
  switch (e->type()) {
    case QEvent::KeyPress:
      return handle_key(this, static_cast<QKeyEvent*>(e));
    case QEvent::FocusIn:
      if (kind != Kind::Composite) {
        if (cwl_DialogWindow* window = dialog_of(control)) {
          window->last_focus = control;
          update_default_frame(window, control);
        }
      }
      return false;
    default:
      return false;
  }
}
