// What the prime number and prime factor windows share: the start number with its digit count
// and base, the output field the worker's text streams into, the buttons along the bottom, the
// layout on resizing and the run's start and completion.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "primes/primes_job.h"
#include "windows/task_window.h"

class NumberTheoryWindow : public TaskWindow {
 public:
  // Control ids shared by both windows (tests find the controls by them).
  enum : int {
    kIdStartLabel = 10,
    kIdInput,
    kIdIoGroup,
    kIdDigits,
    kIdBase,
    kIdOutput,
    kIdStart,
    kIdStop,
    kIdClose,
    kIdFirstOwn = 30,  // the windows' own controls from here
  };
  // The output field takes the worker's text this often while a run lasts.
  static constexpr int kDrainTimerId = 1;
  static constexpr int kDrainMilliseconds = 50;

 protected:
  // The window's layout: its size at creation, the height of the start field, the top of the
  // output field and the vertical span of the group row between them.
  struct Frame {
    int width, height;
    int input_height;
    int groups_top, groups_height;
    int output_top;
    unsigned input_style;
  };
  explicit NumberTheoryWindow(const Frame& frame) : frame_(frame) {}

  unsigned window_style() const override { return kWindowResizable; }

  // Creates the shared controls; the "Input/output" group is `io_width` units wide at the left.
  void create_common(int io_width);
  // The controls a run disables besides "Start", the start field and the base list.
  virtual std::vector<Wnd> run_inputs() const = 0;
  // Reads the controls and starts a run; false when nothing started (an error is pending then).
  virtual bool start_run() = 0;
  // After a run: what enables again may depend on the window's choices.
  virtual void after_run() {}

  bool hex() const;
  std::uint32_t read_flags() const;
  std::uint32_t write_flags() const;
  // The start number at the current limb count: read, checked and written back formatted.
  bool read_start(BigUInt* out);

  // Starts `run` on the worker with the window thread's context; the output field takes the
  // job's text until the completion, which shows the run's message.
  template <class Job>
  bool launch(std::shared_ptr<Job> job, void (*run)(Job&)) {
    job->context = capture_context();
    stream_ = std::shared_ptr<StreamedText>(job, &job->output);
    set_running(true);
    ui_set_timer(wnd(), kDrainTimerId, kDrainMilliseconds);
    const bool started = start_job(job, run, [this](Job& j) { finish(j.errors); });
    if (!started) {
      ui_kill_timer(wnd(), kDrainTimerId);
      stream_.reset();
      set_running(false);
      set_app_error(kAppErrorInternal);
    }
    return started;
  }

  void on_command(int id, int notification) override;
  void on_timer(int id) override;
  void on_size(int width, int height) override;
  void on_show(bool shown) override;
  bool on_close() override;

  Wnd input_ = nullptr, digits_ = nullptr, base_ = nullptr, output_ = nullptr;
  Wnd start_ = nullptr, stop_ = nullptr, close_ = nullptr;

 private:
  void start();
  void drain();
  void finish(const JobErrors& errors);
  void set_running(bool running);
  void update_digit_count();
  static void base_changed(Wnd control, int base, void* owner);

  Frame frame_;
  std::shared_ptr<StreamedText> stream_;  // the running job's text
};

// The own controls of the "Prime numbers" window.
enum : int {
  kPrimesModeGroup = NumberTheoryWindow::kIdFirstOwn,
  kPrimesInterval,
  kPrimesNextPrime,
  kPrimesTest,
  kPrimesSize,
  kPrimesMethodGroup,
  kPrimesExact,
  kPrimesProbabilistic,
};
// The own controls of the "Prime factors and divisors" window.
enum : int {
  kFactorsModeGroup = NumberTheoryWindow::kIdFirstOwn,
  kFactorsFactors,
  kFactorsDivisors,
  kFactorsCount,
  kFactorsSizeGroup,
  kFactorsSize,
};
