// Worker threads of windows: one thread per job, one posted completion, joined before their
// window goes.
#include "ui/worker.h"

#include <algorithm>
#include <vector>

#include "ui/toolkit_internal.h"

// Per job, touched on the user-interface thread only: the completion in flight holds it, so it
// sees whether the worker still wants it after the UiWorker or its job was dropped.
struct UiWorker::State {
  bool running = true;  // the completion has neither run nor been dropped
  // The job's flag while it may be set; it keeps the job record, so it goes with the job.
  std::shared_ptr<std::atomic<std::uint8_t>> stop_flag;
};

namespace {

std::vector<UiWorker*> g_workers;  // user-interface thread only

}  // namespace

UiWorker::UiWorker() {
  g_workers.push_back(this);
}

UiWorker::~UiWorker() {
  stop_and_join();
  std::erase(g_workers, this);
}

bool UiWorker::start(Wnd window, std::shared_ptr<std::atomic<std::uint8_t>> stop_flag,
                     std::function<void()> work, std::function<void()> done) {
  if (window == nullptr || running()) return false;
  UiPostTarget target = ui_post_target(window);
  if (target == nullptr) return false;
  if (thread_.joinable()) thread_.join();  // the last job's thread has posted and is ending
  window_ = window;
  if (stop_flag != nullptr) stop_flag->store(false, std::memory_order_relaxed);
  state_ = std::make_shared<State>();
  state_->stop_flag = std::move(stop_flag);
  std::function<void()> completion = [state = state_, done = std::move(done)]() {
    if (!state->running) return;  // dropped by stop_and_join meanwhile
    state->running = false;
    state->stop_flag = nullptr;
    if (done) done();
  };
  thread_ = std::thread([target = std::move(target), work = std::move(work),
                         completion = std::move(completion)]() mutable {
    try {
      if (work) work();
    } catch (...) {
      // The job record carries the outcome; a throw still ends in exactly one completion.
    }
    // The thread's share of the job goes before the completion can run.
    work = nullptr;
    ui_post(target, std::move(completion));
  });
  return true;
}

bool UiWorker::running() const {
  return state_ != nullptr && state_->running;
}

void UiWorker::stop() {
  if (running() && state_->stop_flag != nullptr) {
    state_->stop_flag->store(true, std::memory_order_relaxed);
  }
}

void UiWorker::join() {
  if (thread_.joinable()) thread_.join();
}

void UiWorker::stop_and_join() {
  stop();
  join();
  if (state_ != nullptr) {
    state_->running = false;
    state_->stop_flag = nullptr;
  }
}

void ui_detail::stop_workers(Wnd window) {
  // Stop them all first, so that they end side by side, then join.
  const std::vector<UiWorker*> workers = g_workers;
  for (UiWorker* w : workers) {
    if (window == nullptr || w->window() == window) w->stop();
  }
  for (UiWorker* w : workers) {
    if (window == nullptr || w->window() == window) w->stop_and_join();
  }
}

void ui_stop_all_workers() {
  ui_detail::stop_workers(nullptr);
}
