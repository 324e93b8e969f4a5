// Posting to windows from other threads and the worker threads of windows: calls run on the
// user-interface thread in order, calls for a window that is gone are dropped (and freed), and a
// window's worker ends before its window does.
#include <gtest/gtest.h>

#include <QApplication>
#include <atomic>
#include <chrono>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "ui/worker.h"
#include "ui_test_util.h"

namespace {

// Counts how many posted calls were freed, run or not.
struct Freed {
  explicit Freed(std::atomic<int>& c) : count(c) {}
  ~Freed() { count.fetch_add(1, std::memory_order_relaxed); }
  std::atomic<int>& count;
};

Wnd plain_window() {
  ensure_app();
  return ui_create_dialog_window(u"W", 100, 100, nullptr, nullptr, 0, 0);
}

TEST(Post, CallsRunOnTheWindowThreadInPostingOrder) {
  RecordingWindow win;
  const std::thread::id ui_thread = std::this_thread::get_id();
  std::vector<int> order;
  bool all_on_ui_thread = true;
  std::thread poster([&]() {
    for (int i = 0; i < 200; ++i) {
      ui_post(win.wnd, [&, i]() {
        order.push_back(i);
        all_on_ui_thread = all_on_ui_thread && std::this_thread::get_id() == ui_thread;
      });
    }
  });
  poster.join();
  ASSERT_TRUE(wait_for([&]() { return order.size() == 200; }));
  EXPECT_TRUE(all_on_ui_thread);
  for (int i = 0; i < 200; ++i) ASSERT_EQ(order[i], i);
  // The old message form goes the same way.
  ui_post_message(win.wnd, kWorkerOutput, u"text");
  ASSERT_TRUE(wait_for([&]() { return !win.seen.empty(); }));
  EXPECT_EQ(win.seen.back().message, UiMsg::Worker);
  EXPECT_EQ(win.texts.back(), u"text");
}

TEST(Post, CallsForAWindowThatIsGoneAreFreedUnrun) {
  std::atomic<int> freed{0};
  int ran = 0;
  Wnd w = plain_window();
  UiPostTarget target = ui_post_target(w);
  ASSERT_NE(target, nullptr);
  for (int i = 0; i < 10; ++i) {
    ui_post(w, [&ran, token = std::make_shared<Freed>(freed)]() { ++ran; });
  }
  ui_destroy_window(w);  // ten calls still queued
  EXPECT_EQ(freed.load(), 10);
  ui_post(target, [&ran, token = std::make_shared<Freed>(freed)]() { ++ran; });
  ui_post(w, [&ran, token = std::make_shared<Freed>(freed)]() { ++ran; });
  EXPECT_EQ(freed.load(), 12);
  QApplication::processEvents();
  EXPECT_EQ(ran, 0);
  EXPECT_EQ(ui_post_target(w), nullptr);
  ui_post(nullptr, [&ran]() { ++ran; });
  ui_post(UiPostTarget{}, [&ran]() { ++ran; });
  QApplication::processEvents();
  EXPECT_EQ(ran, 0);
}

TEST(Post, ACallMayDestroyItsOwnWindow) {
  Wnd w = plain_window();
  int after = 0;
  ui_post(w, [w]() { ui_destroy_window(w); });
  ui_post(w, [&after]() { ++after; });  // queued behind the destruction: dropped
  ASSERT_TRUE(wait_for([&]() { return ui_post_target(w) == nullptr; }));
  QApplication::processEvents();
  EXPECT_EQ(after, 0);
}

TEST(Post, ThreadsPostingWhileTheWindowIsDestroyedLoseNothingAndRunNothingLate) {
  for (int round = 0; round < 5; ++round) {
    std::atomic<int> freed{0};
    std::atomic<int> posted{0};
    std::atomic<std::uint8_t> go{false};
    std::atomic<std::uint8_t> halt{false};
    int ran = 0;
    Wnd w = plain_window();
    const UiPostTarget target = ui_post_target(w);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&, t]() {
        while (!go.load(std::memory_order_relaxed)) std::this_thread::yield();
        while (!halt.load(std::memory_order_relaxed)) {
          auto token = std::make_shared<Freed>(freed);
          // Half by handle, half by target: both are safe while the window goes.
          if (t % 2 == 0) {
            ui_post(w, [&ran, token]() { ++ran; });
          } else {
            ui_post(target, [&ran, token]() { ++ran; });
          }
          posted.fetch_add(1, std::memory_order_relaxed);
        }
      });
    }
    go.store(true, std::memory_order_relaxed);
    // Destroyed while the calls keep coming, after some of them ran.
    ASSERT_TRUE(wait_for([&]() { return ran > 100; }));
    ui_destroy_window(w);
    const int ran_at_destruction = ran;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    halt.store(true, std::memory_order_relaxed);
    for (auto& t : threads) t.join();
    QApplication::processEvents();
    EXPECT_EQ(ran, ran_at_destruction);      // nothing ran after the window went
    EXPECT_EQ(freed.load(), posted.load());  // every call freed, run or dropped
  }
}

struct SumJob {
  std::atomic<std::uint8_t> stop{false};
  std::uint64_t limit = 0;
  std::uint64_t result = 0;
  bool stopped = false;
};

void sum_up(SumJob& job) {
  for (std::uint64_t i = 1; i <= job.limit; ++i) {
    if (job.stop.load(std::memory_order_relaxed)) {
      job.stopped = true;
      return;
    }
    job.result += i;
  }
}

TEST(Worker, DeliversOneCompletionWithTheJobsResult) {
  RecordingWindow win;
  UiWorker worker;
  auto job = std::make_shared<SumJob>();
  job->limit = 100000;
  std::vector<std::uint64_t> completions;
  ASSERT_TRUE(worker.start_job(win.wnd, job, &SumJob::stop, sum_up,
                               [&](SumJob& j) { completions.push_back(j.result); }));
  EXPECT_TRUE(worker.running());
  EXPECT_EQ(worker.window(), win.wnd);
  // A second job waits for the first one's completion.
  EXPECT_FALSE(worker.start_job(win.wnd, job, &SumJob::stop, sum_up, [](SumJob&) {}));
  ASSERT_TRUE(wait_for([&]() { return !worker.running(); }));
  QApplication::processEvents();
  ASSERT_EQ(completions.size(), 1u);
  EXPECT_EQ(completions[0], 100000ull * 100001 / 2);
  EXPECT_FALSE(job->stopped);

  // The next job runs on a new thread of the same worker; a throw still completes it.
  bool second = false;
  ASSERT_TRUE(worker.start(
      win.wnd, std::make_shared<std::atomic<std::uint8_t>>(false),
      []() { throw std::runtime_error("fails"); }, [&]() { second = true; }));
  ASSERT_TRUE(wait_for([&]() { return second; }));
  EXPECT_FALSE(worker.start(
      nullptr, nullptr, []() {}, []() {}));
}

TEST(Worker, StopEndsTheJobAndItsCompletionStillComes) {
  RecordingWindow win;
  UiWorker worker;
  auto job = std::make_shared<SumJob>();
  job->limit = ~std::uint64_t{0};  // runs until stopped
  bool done = false;
  ASSERT_TRUE(worker.start_job(win.wnd, job, &SumJob::stop, sum_up, [&](SumJob&) { done = true; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  worker.stop();
  ASSERT_TRUE(wait_for([&]() { return done; }));
  EXPECT_TRUE(job->stopped);
  EXPECT_FALSE(worker.running());
}

TEST(Worker, DestroyingTheWindowStopsAndJoinsItsWorkerAndDropsTheCompletion) {
  Wnd w = plain_window();
  UiWorker worker;
  auto job = std::make_shared<SumJob>();
  job->limit = ~std::uint64_t{0};
  std::weak_ptr<SumJob> record = job;
  bool done = false;
  ASSERT_TRUE(worker.start_job(w, job, &SumJob::stop, sum_up, [&](SumJob&) { done = true; }));
  job.reset();  // the worker's thread and completion keep the record
  std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ui_destroy_window(w);
  EXPECT_FALSE(worker.running());
  // Joined: the thread is over, and with the completion dropped the record is freed.
  EXPECT_TRUE(record.expired());
  QApplication::processEvents();
  EXPECT_FALSE(done);
}

TEST(Worker, ACompletionQueuedWhenTheWindowGoesIsDropped) {
  Wnd w = plain_window();
  UiWorker worker;
  auto job = std::make_shared<SumJob>();
  job->limit = 10;
  std::weak_ptr<SumJob> record = job;
  bool done = false;
  ASSERT_TRUE(worker.start_job(w, job, &SumJob::stop, sum_up, [&](SumJob&) { done = true; }));
  job.reset();
  worker.join();  // finished and posted, not delivered
  ui_destroy_window(w);
  EXPECT_TRUE(record.expired());
  QApplication::processEvents();
  EXPECT_FALSE(done);
}

TEST(Worker, AWorkerDestroyedBeforeItsCompletionDropsIt) {
  RecordingWindow win;
  bool done = false;
  {
    UiWorker worker;
    auto job = std::make_shared<SumJob>();
    job->limit = 10;
    ASSERT_TRUE(
        worker.start_job(win.wnd, job, &SumJob::stop, sum_up, [&](SumJob&) { done = true; }));
  }
  QApplication::processEvents();
  EXPECT_FALSE(done);
}

TEST(Worker, StopAllJoinsEveryRunningWorker) {
  RecordingWindow a;
  RecordingWindow b;
  UiWorker first;
  UiWorker second;
  auto one = std::make_shared<SumJob>();
  auto two = std::make_shared<SumJob>();
  one->limit = two->limit = ~std::uint64_t{0};
  int done = 0;
  ASSERT_TRUE(first.start_job(a.wnd, one, &SumJob::stop, sum_up, [&](SumJob&) { ++done; }));
  ASSERT_TRUE(second.start_job(b.wnd, two, &SumJob::stop, sum_up, [&](SumJob&) { ++done; }));
  ui_stop_all_workers();
  // Both threads have ended: their records are no longer written.
  EXPECT_TRUE(one->stopped);
  EXPECT_TRUE(two->stopped);
  EXPECT_FALSE(first.running());
  EXPECT_FALSE(second.running());
  QApplication::processEvents();
  EXPECT_EQ(done, 0);
}

}  // namespace
