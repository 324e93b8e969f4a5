// Shared set-up of the window tests: one QApplication per test program, on the offscreen
// platform unless another one is chosen.
#pragma once

#include <QApplication>
#include <QTest>
#include <filesystem>
#include <functional>
#include <vector>

#include "ui/toolkit.h"
#include "ui/toolkit_internal.h"

void ensure_app();

// What a page handler saw.
struct Seen {
  UiMsg message;
  std::intptr_t wparam;
  std::intptr_t lparam;
};

// A window whose handler records every message except creation, size and show.
struct RecordingWindow {
  explicit RecordingWindow(int width = 300, int height = 200);
  ~RecordingWindow();
  Wnd wnd = nullptr;
  std::vector<Seen> seen;
  std::vector<std::u16string> texts;  // texts of worker messages
  bool keep_open = false;             // UiMsg::Close: clear the default handling
  std::vector<int> commands() const;  // ids of UiMsg::Command messages
  QWidget* widget() const { return ui_detail::widget(wnd); }
  // Shows the window and waits until it is active, so that focus and keys work.
  void show_active();
};

// The settings file of a test program goes to a folder of its own, removed at the end, and the
// language is English whatever the tester's is.
class TestConfigFolder {
 public:
  explicit TestConfigFolder(const char* name);
  ~TestConfigFolder();
  TestConfigFolder(const TestConfigFolder&) = delete;
  TestConfigFolder& operator=(const TestConfigFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

QWidget* w_of(Wnd h);
// Waits for `done` while events are processed; false on timeout.
bool wait_for(const std::function<bool()>& done, int milliseconds = 3000);
