// The "Prime numbers" window: a prime number test, the next prime, or the primes of an interval,
// by the exact or the probabilistic method.
#include "app/app_error.h"
#include "app/text_builder.h"
#include "primes/start_checks.h"
#include "ui/controls.h"
#include "windows/app_windows.h"
#include "windows/number_theory_window.h"

namespace {

constexpr int kExactDigitsMin = 38;
constexpr int kExactDigitsMax = 39;
constexpr int kProbabilisticDigits = 1253;

class PrimesWindow final : public NumberTheoryWindow {
 public:
  static Wnd create() { return open<PrimesWindow>(msg(34), 650, 368)->wnd(); }

  PrimesWindow() : NumberTheoryWindow({650, 368, 48, 66, 106, 180, kEditMultiline}) {}

 private:
  Wnd interval_ = nullptr, next_ = nullptr, test_ = nullptr, size_ = nullptr;
  Wnd exact_ = nullptr, probabilistic_ = nullptr;

  void on_create() override {
    create_common(120);
    const Wnd w = wnd();
    ui_create_group_box(w, kPrimesModeGroup, 140, 66, 210, 106, msg(27));
    interval_ = ui_create_radio_button(w, kPrimesInterval, 150, 86, 110, 24, msg(36), kStyleGroup);
    next_ = ui_create_radio_button(w, kPrimesNextPrime, 150, 114, 192, 24, msg(37));
    test_ = ui_create_radio_button(w, kPrimesTest, 150, 142, 192, 24, msg(38));
    size_ = ui_create_edit(w, kPrimesSize, 262, 86, 82, 24, u"100");
    ui_set_check(interval_, true);

    ui_create_group_box(w, kPrimesMethodGroup, 358, 66, 650 - 358 - 12, 106, msg(39));
    char16_t exact[120];
    char16_t probabilistic[120];
    format_bounded(exact, 120, msg(40), kExactDigitsMin, kExactDigitsMax);
    format_bounded(probabilistic, 120, msg(41), kProbabilisticDigits);
    exact_ = ui_create_radio_button(w, kPrimesExact, 368, 92, 264, 24, exact, kStyleGroup);
    probabilistic_ =
        ui_create_radio_button(w, kPrimesProbabilistic, 368, 126, 264, 24, probabilistic);
    ui_set_check(exact_, true);
  }

  std::vector<Wnd> run_inputs() const override {
    return {interval_, next_, test_, size_, exact_, probabilistic_};
  }

  PrimeMode mode() const {
    if (ui_checked(test_)) return PrimeMode::Test;
    if (ui_checked(next_)) return PrimeMode::NextPrime;
    return PrimeMode::Interval;
  }

  bool start_run() override {
    auto job = std::make_shared<PrimesJob>();
    PrimesRunParams& p = job->params;
    p.method = ui_checked(probabilistic_) ? PrimeMethod::Probabilistic : PrimeMethod::Exact;
    p.mode = mode();
    p.flags = write_flags();
    {
      ContextScope sizes(ContextScope::kSizes);
      biguint_set_limbs(primes_method_limbs(p.method));
      p.start.assign(static_cast<std::size_t>(BigUIntLimbs), 0);
      if (!read_start(p.start.data())) return false;
    }
    p.size = kNextPrimeSize;
    if (p.mode == PrimeMode::Interval &&
        !read_primes_interval_size(ui_text(size_), read_flags(), p.size)) {
      return false;
    }
    return launch(job, &RunPrimesJob);
  }
};

}  // namespace

Wnd create_primes_window() {
  return PrimesWindow::create();
}
