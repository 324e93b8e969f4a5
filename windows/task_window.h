// The pattern of the task windows (calculator, equations, linear systems, polynomials, primes,
// factors): one class per window, derived from TaskWindow.
//
// - The object owns its window and lives exactly as long as it: TaskWindow::open<W>(args...)
//   creates both (the window hidden) and returns the object; destroying the window
//   (ui_destroy_window, destroy_windows) stops and joins its worker, calls on_destroy and
//   deletes the object. Never delete a TaskWindow yourself.
// - Controls are members (Wnd), created in on_create from a table of ControlRow entries (kind,
//   id, position, text, style, member) with create_controls; controls a table cannot describe
//   are created by hand in on_create.
// - One static handler dispatches the toolkit's messages to the virtual on_* functions.
// - Work runs on a worker thread: start_job(job, work, done) disables the other top-level
//   windows, runs work(job) on the thread and, on the window thread, enables them again and
//   calls done(job). The job record is built on JobBase (app/job.h: the context snapshot, the
//   stop flag its arithmetic polls, the errors it hands back), e.g. CalcJob with calc_run_job,
//   EquationJob with RunEquationJob, PrimesJob with RunPrimesJob; it is shared with the thread,
//   so read its results only in done. (start_job(job, &Job::stop, work, done) takes any record
//   with a std::atomic<std::uint8_t> stop member.)
//   stop_job() asks for the stop; busy() tells whether a job runs. After a completion, a guard of
//   200 ms (guard_active()) lets a window ignore the clicks that were meant for "Stop".
// - The window registers itself in windows/task_windows.cpp under its name (calculator,
//   equations, linear, polynomials, primes, factors); that one entry makes it part of the start,
//   the Algebra menu and `numerion --window NAME`.
//
//   class PrimesWindow final : public TaskWindow {
//    public:
//     static Wnd create() { return open<PrimesWindow>(u"Prime numbers", 400, 300)->wnd(); }
//    private:
//     enum : int { kIdInput = 10, kIdGo };
//     Wnd input_ = nullptr, go_ = nullptr;
//     void on_create() override {
//       static const ControlRow<PrimesWindow> rows[] = {
//           {ControlKind::Edit, kIdInput, 10, 10, 200, 22, kNoText, 0, &PrimesWindow::input_},
//           {ControlKind::Button, kIdGo, 220, 10, 80, 26, 0, kButtonDefault, &PrimesWindow::go_}};
//       create_controls(this, rows);
//     }
//     void on_command(int id, int) override {
//       if (id != kIdGo || guard_active()) return;
//       if (busy()) return stop_job();
//       auto job = std::make_shared<PrimeJob>();  // inputs copied from the controls here
//       job->text = ui_text(input_);
//       start_job(job, &PrimeJob::stop, run_prime_job,
//                 [this](PrimeJob& j) { ui_set_text(input_, j.result); });
//     }
//   };
#pragma once

#include <atomic>
#include <concepts>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <utility>

#include "app/job.h"
#include "app/messages.h"
#include "ui/controls.h"
#include "ui/toolkit.h"
#include "ui/worker.h"

// The kinds of control a table row creates.
enum class ControlKind : std::uint8_t {
  Button,
  CheckBox,
  Radio,
  Combo,
  Label,
  Link,
  Edit,
  GroupBox,
  TrackBar,
  UpDown,  // `min` and `max` are its range
};

inline constexpr MessageId kNoText = -1;  // a row without a text

// One control of a window's table. `member` (may be null) receives the control's handle.
template <class W>
struct ControlRow {
  ControlKind kind;
  int id;
  int x, y, w, h;  // layout units
  MessageId text;  // msg(text), kNoText for none
  unsigned style;
  Wnd W::*member;
  int min = 0;
  int max = 0;
};

class TaskWindow {
 public:
  // Creates the object and its hidden window; on_create runs inside, with wnd() valid.
  template <class W, class... Args>
  static W* open(std::u16string_view title, int width, int height, Args&&... args) {
    W* self = new W(std::forward<Args>(args)...);
    TaskWindow* base = self;
    base->create(title, width, height, base->window_style(), base->window_flags());
    return self;
  }

  Wnd wnd() const { return wnd_; }
  void show() const { ui_show_window(wnd_); }

  // The TaskWindow of a window made by open(); nullptr for any other window.
  static TaskWindow* of(Wnd window);

  TaskWindow(const TaskWindow&) = delete;
  TaskWindow& operator=(const TaskWindow&) = delete;

  // Ticks of the guard timer after a completion; ids from 900 up are the base class's.
  static constexpr int kGuardTimerId = 900;
  static constexpr int kGuardMilliseconds = 200;

 protected:
  TaskWindow() = default;
  virtual ~TaskWindow();

  // Style and flags of ui_create_dialog_window.
  virtual unsigned window_style() const { return 0; }
  virtual unsigned window_flags() const { return kWindowClientSize | kWindowCentre; }

  virtual void on_create() {}
  virtual void on_command(int /*id*/, int /*notification*/) {}
  virtual void on_show(bool /*shown*/) {}
  // The user closes the window: true lets it hide (the usual case). A running job is stopped
  // first unless this returns false.
  virtual bool on_close() { return true; }
  virtual void on_timer(int /*id*/) {}
  virtual void on_size(int /*width*/, int /*height*/) {}
  virtual void on_destroy() {}
  // ui_post_message of older code; new code posts its own calls or uses start_job.
  virtual void on_worker_message(int /*code*/, std::u16string_view /*text*/) {}
  // The guard after a completion has ended.
  virtual void on_guard_end() {}

  // Creates the table's controls in `parent` (the window when nullptr).
  template <class W>
  void create_controls(W* self, std::span<const ControlRow<W>> rows, Wnd parent = nullptr) {
    for (const ControlRow<W>& r : rows) {
      Wnd c = create_control(r.kind, parent != nullptr ? parent : wnd_, r.id, r.x, r.y, r.w, r.h,
                             r.text, r.style, r.min, r.max);
      if (r.member != nullptr) self->*r.member = c;
    }
  }
  template <class W, std::size_t N>
  void create_controls(W* self, const ControlRow<W> (&rows)[N], Wnd parent = nullptr) {
    create_controls(self, std::span<const ControlRow<W>>(rows, N), parent);
  }
  Wnd create_control(ControlKind kind, Wnd parent, int id, int x, int y, int w, int h,
                     MessageId text, unsigned style, int min = 0, int max = 0);

  // Runs `work(*job)` on the window's worker thread and then `done(*job)` on the window
  // thread. Every other top-level window is disabled meanwhile; the guard starts after `done`.
  // False when a job still runs.
  template <class Job, class Work, class Done>
  bool start_job(std::shared_ptr<Job> job, std::atomic<std::uint8_t> Job::*stop, Work work,
                 Done done) {
    if (busy()) return false;
    set_other_windows_enabled(false);
    const bool started = worker_.start_job(wnd_, std::move(job), stop, std::move(work),
                                           [this, done = std::move(done)](Job& j) mutable {
                                             set_other_windows_enabled(true);
                                             start_guard();
                                             done(j);
                                           });
    if (!started) set_other_windows_enabled(true);
    return started;
  }
  // The same for a job record built on JobBase (app/job.h): its own stop flag, which its
  // computation polls through the worker's context.
  template <class Job, class Work, class Done>
  requires std::derived_from<Job, JobBase>
  bool start_job(std::shared_ptr<Job> job, Work work, Done done) {
    if (busy() || job == nullptr) return false;
    set_other_windows_enabled(false);
    std::shared_ptr<std::atomic<std::uint8_t>> flag(job, &job->stop.flag);
    const bool started = worker_.start(
        wnd_, std::move(flag), [job, work = std::move(work)]() mutable { work(*job); },
        [this, job, done = std::move(done)]() mutable {
          set_other_windows_enabled(true);
          start_guard();
          done(*job);
        });
    if (!started) set_other_windows_enabled(true);
    return started;
  }
  bool busy() const { return worker_.running(); }
  void stop_job() { worker_.stop(); }
  // Every top-level window but this one.
  void set_other_windows_enabled(bool enable);
  void start_guard();
  bool guard_active() const { return guard_active_; }

 private:
  void create(std::u16string_view title, int width, int height, unsigned style, unsigned flags);
  static std::intptr_t handler(Wnd window, UiMsg message, std::intptr_t wparam,
                               std::intptr_t lparam, bool& default_handling);

  Wnd wnd_ = nullptr;
  UiWorker worker_;
  bool guard_active_ = false;
  bool others_disabled_ = false;  // by start_job, until its completion or the window's end
};
