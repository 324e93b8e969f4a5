#include "windows/number_theory_window.h"

#include <algorithm>

#include "app/app_error.h"
#include "app/settings.h"
#include "primes/start_checks.h"
#include "ui/composite.h"
#include "ui/controls.h"
#include "windows/app_windows.h"

namespace {

constexpr int kMargin = 16;  // output field and buttons from the window's edges
constexpr int kButtonWidth = 84;
constexpr int kButtonHeight = 26;
constexpr int kButtonsFromBottom = 33;
constexpr int kInputLeft = 46;

// Pixels of the client area to layout units.
int to_units(int pixels) {
  const int dpi = ui_dpi() > 0 ? ui_dpi() : 96;
  return (pixels * 96 + dpi / 2) / dpi;
}

bool is_digit_of(char16_t c, bool hex) {
  if (c >= u'0' && c <= u'9') return true;
  return hex && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
}

}  // namespace

void NumberTheoryWindow::create_common(int io_width) {
  const Frame& f = frame_;
  const Wnd w = wnd();
  ui_create_label(w, kIdStartLabel, 12, 12, kInputLeft - 14, 22, msg(26));
  input_ = ui_create_edit(w, kIdInput, kInputLeft, 10, f.width - kInputLeft - kMargin,
                          f.input_height, u"", f.input_style);
  ui_create_group_box(w, kIdIoGroup, 12, f.groups_top, io_width, f.groups_height, msg(35));
  const int inner = io_width - 20;
  digits_ = ui_create_digit_count(w, kIdDigits, 22, f.groups_top + 22, inner, 24, msg(157));
  base_ = ui_create_number_base(w, kIdBase, 20, f.groups_top + 54, inner + 2, 26, msg(158), 0,
                                &NumberTheoryWindow::base_changed, this);
  ui_number_base_set(base_, 10);
  output_ = ui_create_edit(w, kIdOutput, kMargin, f.output_top, f.width - 2 * kMargin,
                           f.height - f.output_top - 43, u"", kEditStream);
  const int buttons_y = f.height - kButtonsFromBottom;
  start_ = ui_create_button(w, kIdStart, kMargin, buttons_y, kButtonWidth, kButtonHeight, msg(3),
                            kButtonDefault);
  stop_ = ui_create_button(w, kIdStop, kMargin + kButtonWidth + 8, buttons_y, kButtonWidth,
                           kButtonHeight, msg(4), kStyleDisabled);
  close_ =
      ui_create_button(w, kIdClose, f.width - 100, buttons_y, kButtonWidth, kButtonHeight, msg(2));
}

bool NumberTheoryWindow::hex() const {
  return ui_number_base(base_) == 16;
}
std::uint32_t NumberTheoryWindow::read_flags() const {
  return number_read_flags(hex());
}
std::uint32_t NumberTheoryWindow::write_flags() const {
  return number_write_flags(hex(), g_settings.thousands_sep_prime_nums);
}

bool NumberTheoryWindow::read_start(BigUInt* out) {
  if (!read_start_number(ui_text(input_), read_flags(), out)) return false;
  std::u16string text;
  append_number(text, out, write_flags());
  ui_set_text(input_, text);
  return true;
}

void NumberTheoryWindow::on_command(int id, int notification) {
  switch (id) {
    case kIdStart:
      if (notification == kNotifyClicked && !guard_active() && !busy()) start();
      break;
    case kIdStop:
      if (notification == kNotifyClicked && busy()) stop_job();
      break;
    case kIdClose:
      if (notification == kNotifyClicked) ui_close_window(wnd());
      break;
    case kIdInput:
      if (notification == kNotifyEditChange) update_digit_count();
      break;
    default:
      break;
  }
}

void NumberTheoryWindow::start() {
  clear_app_error();
  ui_set_text(output_, u"");
  if (!start_run()) show_app_error();
}

void NumberTheoryWindow::on_timer(int id) {
  if (id == kDrainTimerId) drain();
}

void NumberTheoryWindow::drain() {
  if (stream_ == nullptr) return;
  const std::u16string text = stream_->take();
  if (!text.empty()) ui_edit_append(output_, text);
}

void NumberTheoryWindow::finish(const JobErrors& errors) {
  ui_kill_timer(wnd(), kDrainTimerId);
  drain();
  stream_.reset();
  adopt_job_errors(errors);
  show_app_error();
  set_running(false);
}

void NumberTheoryWindow::set_running(bool running) {
  ui_enable(start_, !running);
  ui_enable(input_, !running);
  ui_enable(base_, !running);
  for (Wnd c : run_inputs()) ui_enable(c, !running);
  ui_enable(stop_, running);
  if (!running) after_run();
  // The focus must not stay on a control that goes grey.
  ui_set_focus(running ? stop_ : start_);
}

void NumberTheoryWindow::base_changed(Wnd, int, void* owner) {
  static_cast<NumberTheoryWindow*>(owner)->update_digit_count();
}

void NumberTheoryWindow::update_digit_count() {
  const std::u16string text = ui_text(input_);
  const bool h = hex();
  ui_digit_count_set(
      digits_, static_cast<int>(std::count_if(text.begin(), text.end(),
                                              [h](char16_t c) { return is_digit_of(c, h); })));
}

void NumberTheoryWindow::on_size(int width, int height) {
  // Below the size at creation the controls keep their places.
  const int w = std::max(to_units(width), frame_.width);
  const int h = std::max(to_units(height), frame_.height);
  ui_move(input_, kInputLeft, 10, w - kInputLeft - kMargin, frame_.input_height);
  ui_move(output_, kMargin, frame_.output_top, w - 2 * kMargin, h - frame_.output_top - 43);
  const int buttons_y = h - kButtonsFromBottom;
  ui_move(start_, kMargin, buttons_y, kButtonWidth, kButtonHeight);
  ui_move(stop_, kMargin + kButtonWidth + 8, buttons_y, kButtonWidth, kButtonHeight);
  ui_move(close_, w - 100, buttons_y, kButtonWidth, kButtonHeight);
}

void NumberTheoryWindow::on_show(bool shown) {
  if (shown) ui_set_focus(input_);
}

bool NumberTheoryWindow::on_close() {
  // The base class stops a running job; the window hides and the main window comes forward.
  if (g_app.main_window != nullptr && g_app.main_window != wnd()) {
    const Wnd main = g_app.main_window;
    ui_post(main, [main] {
      if (ui_is_visible(main)) ui_show_window(main);
    });
  }
  return true;
}
