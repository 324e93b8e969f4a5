// The task window pattern (object owning its window, control table, dispatch, worker with the
// other windows disabled and the guard after completion) and the program's start options.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QApplication>
#include <array>
#include <atomic>
#include <cstdio>
#include <string>

#include "app/utf8.h"
#include "ui_test_util.h"
#include "windows/app_windows.h"
#include "windows/task_window.h"
#include "tests/instrumented.h"

namespace {

struct CountJob {
  std::atomic<std::uint8_t> stop{false};
  std::atomic<std::uint8_t> started{false};
  long limit = 0;
  long count = 0;
  bool stopped = false;
};

void count_up(CountJob& job) {
  job.started.store(true, std::memory_order_relaxed);
  for (long i = 0; i < job.limit; ++i) {
    if (job.stop.load(std::memory_order_relaxed)) {
      job.stopped = true;
      return;
    }
    ++job.count;
  }
}

int g_destroyed = 0;

class CountWindow final : public TaskWindow {
 public:
  enum : int { kIdInput = 10, kIdGo, kIdDigits };
  Wnd input = nullptr;
  Wnd go = nullptr;
  Wnd digits = nullptr;
  std::vector<int> commands;
  std::vector<long> results;
  int guard_ends = 0;
  bool allow_close = true;
  long limit = 1000;
  std::shared_ptr<CountJob> job;

  static CountWindow* make() { return open<CountWindow>(u"Count", 300, 200); }

 private:
  void on_create() override {
    static const ControlRow<CountWindow> rows[] = {
        {ControlKind::Edit, kIdInput, 10, 10, 200, 22, kNoText, 0, &CountWindow::input},
        {ControlKind::Button, kIdGo, 220, 10, 70, 26, 0, kButtonDefault, &CountWindow::go},
        {ControlKind::UpDown, kIdDigits, 10, 40, 60, 22, kNoText, 0, &CountWindow::digits, 1,
         10000},
        {ControlKind::Label, 99, 10, 70, 100, 20, 0, 0, nullptr},
    };
    create_controls(this, rows);
  }
  void on_command(int id, int notification) override {
    commands.push_back(id);
    if (id != kIdGo || notification != kNotifyClicked || guard_active()) return;
    if (busy()) return stop_job();
    job = std::make_shared<CountJob>();
    job->limit = limit;
    start_job(job, &CountJob::stop, count_up, [this](CountJob& j) { results.push_back(j.count); });
  }
  bool on_close() override { return allow_close; }
  void on_guard_end() override { ++guard_ends; }
  void on_destroy() override { ++g_destroyed; }
};

TEST(TaskWindow, TableControlsLandInTheirMembersAndCommandsDispatch) {
  ensure_app();
  CountWindow* w = CountWindow::make();
  ASSERT_NE(w->wnd(), nullptr);
  EXPECT_EQ(TaskWindow::of(w->wnd()), w);
  EXPECT_EQ(ui_control(w->wnd(), CountWindow::kIdInput), w->input);
  EXPECT_EQ(ui_control(w->wnd(), CountWindow::kIdDigits), w->digits);
  EXPECT_EQ(ui_class_name(w->digits), "cwl_NumericUpDown");
  EXPECT_EQ(ui_text(w->go), std::u16string(msg(0)));
  EXPECT_EQ(ui_default_button(w->wnd()), w->go);
  EXPECT_NE(ui_control(w->wnd(), 99), nullptr);
  ui_click(w->go);
  ASSERT_TRUE(wait_for([&]() { return !w->results.empty(); }));
  EXPECT_EQ(w->results, std::vector<long>{1000});
  EXPECT_EQ(w->commands.front(), CountWindow::kIdGo);

  RecordingWindow other;
  EXPECT_EQ(TaskWindow::of(other.wnd), nullptr);
  const int before = g_destroyed;
  ui_destroy_window(w->wnd());  // deletes the object as well
  EXPECT_EQ(g_destroyed, before + 1);
}

TEST(TaskWindow, AJobDisablesTheOtherWindowsUntilItsCompletionThenGuards) {
  RecordingWindow other;
  CountWindow* w = CountWindow::make();
  w->limit = 1L << 62;  // runs until stopped
  w->show();
  ui_click(w->go);
  ASSERT_TRUE(wait_for([&]() { return w->job->started.load(); }));
  EXPECT_FALSE(ui_is_enabled(other.wnd));
  EXPECT_TRUE(ui_is_enabled(w->wnd()));
  ui_click(w->go);  // stops
  ASSERT_TRUE(wait_for([&]() { return !w->results.empty(); }));
  EXPECT_TRUE(w->job->stopped);
  EXPECT_TRUE(ui_is_enabled(other.wnd));
  // Clicks right after a completion fall into the guard and start nothing.
  ui_click(w->go);
  QApplication::processEvents();
  EXPECT_EQ(w->results.size(), 1u);
  ASSERT_TRUE(wait_for([&]() { return w->guard_ends == 1; }));
  w->limit = 5;
  ui_click(w->go);
  ASSERT_TRUE(wait_for([&]() { return w->results.size() == 2; }));
  EXPECT_EQ(w->results.back(), 5);
  ui_destroy_window(w->wnd());
}

TEST(TaskWindow, ClosingStopsTheJobAndDestroyingJoinsItAndEnablesTheOthers) {
  RecordingWindow other;
  CountWindow* w = CountWindow::make();
  w->limit = 1L << 62;
  w->show();
  ui_click(w->go);
  ASSERT_TRUE(wait_for([&]() { return w->job->started.load(); }));
  w->allow_close = false;
  ui_close_window(w->wnd());
  EXPECT_TRUE(ui_is_visible(w->wnd()));
  EXPECT_FALSE(w->job->stop.load());  // kept open: the job goes on
  w->allow_close = true;
  ui_close_window(w->wnd());
  EXPECT_FALSE(ui_is_visible(w->wnd()));
  ASSERT_TRUE(wait_for([&]() { return !w->results.empty(); }));
  EXPECT_TRUE(w->job->stopped);

  // Destroyed in the middle of a job: joined, no completion, the others enabled again.
  ui_click(w->go);
  QTest::qWait((TaskWindow::kGuardMilliseconds + 50) * kTimeScale);
  ui_click(w->go);
  ASSERT_TRUE(wait_for([&]() { return !ui_is_enabled(other.wnd); }));
  std::shared_ptr<CountJob> job = w->job;
  ASSERT_TRUE(wait_for([&]() { return job->started.load(); }));
  const int before = g_destroyed;
  ui_destroy_window(w->wnd());
  EXPECT_EQ(g_destroyed, before + 1);
  EXPECT_TRUE(job->stopped);
  EXPECT_TRUE(ui_is_enabled(other.wnd));
  QApplication::processEvents();
}

bool parse(std::initializer_list<const char*> args, StartOptions& options, std::string& error) {
  std::vector<const char*> argv{"numerion"};
  argv.insert(argv.end(), args.begin(), args.end());
  return parse_start_options(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(StartOptions, WindowNamesAreCheckedAgainstTheRegistry) {
  StartOptions options;
  std::string error;
  EXPECT_TRUE(parse({}, options, error));
  EXPECT_EQ(options.window, nullptr);
  // Arguments of the user-interface library pass untouched.
  EXPECT_TRUE(parse({"-platform", "offscreen", "--reverse"}, options, error));
  EXPECT_EQ(options.window, nullptr);

  const std::string names = "calculator, equations, linear, polynomials, primes, factors";
  EXPECT_EQ(task_window_names(), names);
  for (const char* bad : {"--window=calc", "--window=Calculator", "--window="}) {
    EXPECT_FALSE(parse({bad}, options, error)) << bad;
    EXPECT_NE(error.find("unknown window"), std::string::npos) << error;
    EXPECT_NE(error.find(names), std::string::npos) << error;
  }
  EXPECT_FALSE(parse({"--window", "nothing"}, options, error));
  EXPECT_NE(error.find("\"nothing\""), std::string::npos);
  EXPECT_FALSE(parse({"--window"}, options, error));
  EXPECT_NE(error.find(names), std::string::npos);
  EXPECT_EQ(error.back(), '\n');

  for (const TaskWindowEntry& e : task_windows()) {
    const std::string name(e.name);
    EXPECT_EQ(find_task_window(e.name), &e);
    EXPECT_EQ(find_task_window(e.menu_item), &e);
    const bool ok = parse({"--window", name.c_str()}, options, error);
    EXPECT_EQ(ok, e.create != nullptr) << name;
    if (ok) {
      EXPECT_EQ(options.window, &e);
    } else {
      EXPECT_NE(error.find("not part of this build"), std::string::npos) << error;
    }
  }
}

// The program itself: a wrong option ends it with status 2 before any window is made.
TEST(StartOptions, TheProgramExitsWithStatus2OnAWrongWindow) {
  const std::string command = std::string(NUMERION_PROGRAM) + " --window nonsense 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  std::array<char, 256> buffer{};
  while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) out += buffer.data();
  const int status = pclose(pipe);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_NE(out.find("calculator, equations, linear, polynomials, primes, factors"),
            std::string::npos)
      << out;
}

// --help and --version answer without a display: the toolkit is never started for them.
TEST(StartOptions, HelpAndVersionPrintWithoutADisplay) {
  StartOptions options;
  std::string error;
  EXPECT_TRUE(parse({"-platform", "offscreen", "--version"}, options, error));
  EXPECT_TRUE(options.version);
  EXPECT_FALSE(options.help);
  EXPECT_TRUE(parse({"-h"}, options, error));
  EXPECT_TRUE(options.help);
  const std::string names = "calculator, equations, linear, polynomials, primes, factors";
  EXPECT_NE(start_usage_text().find(names), std::string::npos);

  auto run = [](const std::string& args, std::string& out) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                std::string(NUMERION_PROGRAM) + " " + args + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    std::array<char, 256> buffer{};
    out.clear();
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) out += buffer.data();
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  std::string out;
  EXPECT_EQ(run("--version", out), 0);
  EXPECT_EQ(out, "numerion " + utf16_to_utf8(kProductVersion) + "\n");
  EXPECT_EQ(run("--help", out), 0);
  EXPECT_TRUE(out.starts_with("Usage: numerion ")) << out;
  EXPECT_NE(out.find(names), std::string::npos) << out;
  // Without either option the same environment has no display, and says so.
  EXPECT_EQ(run("", out), 1);
  EXPECT_NE(out.find("no display"), std::string::npos) << out;
}

}  // namespace
