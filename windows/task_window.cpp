// The base of the task windows: the object that owns a window, its one message handler, the
// control table and the worker with its guard.
#include "windows/task_window.h"

TaskWindow::~TaskWindow() = default;

TaskWindow* TaskWindow::of(Wnd window) {
  // Only windows made by create() carry this handler; their data is the object.
  return window != nullptr && ui_window_data(window) != nullptr &&
                 ui_window_handler(window) == &TaskWindow::handler
             ? static_cast<TaskWindow*>(ui_window_data(window))
             : nullptr;
}

void TaskWindow::create(std::u16string_view title, int width, int height, unsigned style,
                        unsigned flags) {
  // The handle is set during UiMsg::Create, before on_create runs.
  ui_create_dialog_window(title, width, height, &TaskWindow::handler, this, style, flags);
}

std::intptr_t TaskWindow::handler(Wnd window, UiMsg message, std::intptr_t wparam,
                                  std::intptr_t lparam, bool& default_handling) {
  auto* self = static_cast<TaskWindow*>(ui_window_data(window));
  if (self == nullptr) return 0;  // the object is gone; the window follows at once
  switch (message) {
    case UiMsg::Create:
      self->wnd_ = window;
      self->on_create();
      break;
    case UiMsg::Command:
      self->on_command(static_cast<int>(wparam), static_cast<int>(lparam));
      break;
    case UiMsg::Show:
      self->on_show(wparam != 0);
      break;
    case UiMsg::Close:
      default_handling = self->on_close();
      if (default_handling && self->busy()) self->stop_job();
      break;
    case UiMsg::Timer:
      if (wparam == kGuardTimerId) {
        ui_kill_timer(window, kGuardTimerId);
        self->guard_active_ = false;
        self->on_guard_end();
      } else {
        self->on_timer(static_cast<int>(wparam));
      }
      break;
    case UiMsg::Size:
      self->on_size(static_cast<int>(wparam), static_cast<int>(lparam));
      break;
    case UiMsg::Worker:
      self->on_worker_message(static_cast<int>(wparam), reinterpret_cast<const char16_t*>(lparam));
      break;
    case UiMsg::Destroy:
      // The toolkit has stopped and joined the window's worker; its completion will not come,
      // so the windows it disabled come back here.
      self->on_destroy();
      if (self->others_disabled_) self->set_other_windows_enabled(true);
      ui_set_window_data(window, nullptr);  // the hide during destruction finds no object
      delete self;
      break;
  }
  return 0;
}

Wnd TaskWindow::create_control(ControlKind kind, Wnd parent, int id, int x, int y, int w, int h,
                               MessageId text, unsigned style, int min, int max) {
  const std::u16string_view t = text == kNoText ? std::u16string_view() : msg(text);
  switch (kind) {
    case ControlKind::Button:
      return ui_create_button(parent, id, x, y, w, h, t, style);
    case ControlKind::CheckBox:
      return ui_create_check_box(parent, id, x, y, w, h, t, style);
    case ControlKind::Radio:
      return ui_create_radio_button(parent, id, x, y, w, h, t, style);
    case ControlKind::Combo:
      return ui_create_combo_box(parent, id, x, y, w, h, style);
    case ControlKind::Label:
      return ui_create_label(parent, id, x, y, w, h, t, style);
    case ControlKind::Link:
      return ui_create_link(parent, id, x, y, w, h, t, style);
    case ControlKind::Edit:
      return ui_create_edit(parent, id, x, y, w, h, t, style);
    case ControlKind::GroupBox:
      return ui_create_group_box(parent, id, x, y, w, h, t, style);
    case ControlKind::TrackBar:
      return ui_create_track_bar(parent, id, x, y, w, h, style);
    case ControlKind::UpDown:
      return ui_create_numeric_up_down(parent, id, x, y, w, h, min, max, style);
  }
  return nullptr;
}

void TaskWindow::set_other_windows_enabled(bool enable) {
  ui_enable_thread_windows(wnd_, enable);
  others_disabled_ = !enable;
}

void TaskWindow::start_guard() {
  guard_active_ = true;
  ui_set_timer(wnd_, kGuardTimerId, kGuardMilliseconds);
}
