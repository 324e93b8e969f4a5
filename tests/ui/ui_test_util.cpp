#include "ui_test_util.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <system_error>

namespace {

std::intptr_t record(Wnd window, UiMsg message, std::intptr_t wparam, std::intptr_t lparam,
                     bool& default_handling) {
  auto* self = static_cast<RecordingWindow*>(ui_window_data(window));
  if (self == nullptr || message == UiMsg::Create || message == UiMsg::Size ||
      message == UiMsg::Show)
    return 0;
  self->seen.push_back({message, wparam, lparam});
  if (message == UiMsg::Worker) self->texts.emplace_back(reinterpret_cast<const char16_t*>(lparam));
  if (message == UiMsg::Close && self->keep_open) default_handling = false;
  return 0;
}

}  // namespace

void ensure_app() {
  if (QApplication::instance() != nullptr) return;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static int argc = 1;
  static char name[] = "ui_tests";
  static char* argv[] = {name, nullptr};
  ui_init(argc, argv);
  ui_set_dpi(96);
}

RecordingWindow::RecordingWindow(int width, int height) {
  ensure_app();
  wnd = ui_create_dialog_window(u"Test", width, height, record, this, 0, kWindowClientSize);
}

RecordingWindow::~RecordingWindow() {
  ui_destroy_window(wnd);
}

std::vector<int> RecordingWindow::commands() const {
  std::vector<int> ids;
  for (const Seen& s : seen) {
    if (s.message == UiMsg::Command) ids.push_back(static_cast<int>(s.wparam));
  }
  return ids;
}

void RecordingWindow::show_active() {
  ui_show_window(wnd);
  QApplication::setActiveWindow(widget());
  EXPECT_TRUE(QTest::qWaitForWindowActive(widget()));
}

QWidget* w_of(Wnd h) {
  return ui_detail::widget(h);
}

bool wait_for(const std::function<bool()>& done, int milliseconds) {
  return QTest::qWaitFor(done, milliseconds);
}

TestConfigFolder::TestConfigFolder(const char* name) {
  std::string pattern = std::string("/tmp/") + name + "_XXXXXX";
  path_ = mkdtemp(pattern.data());
  setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  setenv("LANG", "en_US.UTF-8", 1);
}

TestConfigFolder::~TestConfigFolder() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}
