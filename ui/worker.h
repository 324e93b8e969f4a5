// One job of a window on a thread of its own, with exactly one completion back on the
// user-interface thread.
//
// The job record is shared between the window and the thread (std::shared_ptr), and its stop
// flag is a std::atomic<std::uint8_t> inside it. The worker thread runs the work function; when it
// returns, the completion is posted to the window with ui_post and runs there, unless the window
// or the UiWorker is gone by then (the completion is then dropped without running). The window
// reads the job's results only in the completion, after the thread has finished with them.
//
//   struct SumJob {
//     std::atomic<std::uint8_t> stop{false};
//     std::string input;  // filled in on the window thread before the start
//     std::string result;
//   };
//   auto job = std::make_shared<SumJob>();
//   worker.start_job(wnd, job, &SumJob::stop,
//                    [](SumJob& j) { j.result = compute(j.input, j.stop); },  // worker thread
//                    [this](SumJob& j) { show(j.result); });                   // window thread
//
// Everything here is called on the user-interface thread. Destroying a window
// (ui_destroy_window) stops and joins the workers started for it first; ui_stop_all_workers
// stops and joins every worker, for the end of the program.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "ui/toolkit.h"

class UiWorker {
 public:
  UiWorker();
  // Stops and joins a running job; its completion is dropped.
  ~UiWorker();
  UiWorker(const UiWorker&) = delete;
  UiWorker& operator=(const UiWorker&) = delete;

  // Starts `work` on a new thread for `window`; `done` is posted to the window once `work` has
  // returned (also when it threw). `stop_flag` is the job's own flag, usually an aliasing
  // pointer into the job record so that it lives as long as the worker may set it; it is
  // cleared here. False, and nothing started, while an earlier job has not completed, or
  // without a window.
  bool start(Wnd window, std::shared_ptr<std::atomic<std::uint8_t>> stop_flag,
             std::function<void()> work, std::function<void()> done);

  // The same for a job record with its stop flag as a member: `work(job)` on the thread,
  // `done(job)` on the user-interface thread.
  template <class Job, class Work, class Done>
  bool start_job(Wnd window, std::shared_ptr<Job> job, std::atomic<std::uint8_t> Job::*stop,
                 Work work, Done done) {
    if (job == nullptr) return false;
    std::shared_ptr<std::atomic<std::uint8_t>> flag(job, &((*job).*stop));
    return start(
        window, std::move(flag), [job, work = std::move(work)]() mutable { work(*job); },
        [job, done = std::move(done)]() mutable { done(*job); });
  }

  // Started and its completion not yet run (nor dropped by stop_and_join).
  bool running() const;
  // Asks the running job to stop (its stop flag); the completion still follows.
  void stop();
  // Waits for the thread to end; the completion may still be on its way to the window.
  void join();
  // stop() and join(); the completion of that job will not run.
  void stop_and_join();
  Wnd window() const { return window_; }

 private:
  struct State;
  std::shared_ptr<State> state_;  // shared with the completion in flight
  std::thread thread_;
  Wnd window_ = nullptr;
};

// Stops and joins every worker (the end of the program, before the windows are destroyed).
void ui_stop_all_workers();
