// The "Prime factors and divisors" window: the prime factors or the divisors of a number, or of
// each number of an interval.
#include "app/app_error.h"
#include "primes/start_checks.h"
#include "ui/controls.h"
#include "windows/app_windows.h"
#include "windows/number_theory_window.h"

namespace {

class FactorsWindow final : public NumberTheoryWindow {
 public:
  static Wnd create() { return open<FactorsWindow>(msg(25), 562, 316)->wnd(); }

  FactorsWindow() : NumberTheoryWindow({562, 316, 24, 42, 90, 140, 0}) {}

 private:
  Wnd factors_ = nullptr, divisors_ = nullptr, count_ = nullptr, size_ = nullptr;

  void on_create() override {
    create_common(142);
    const Wnd w = wnd();
    ui_create_group_box(w, kFactorsModeGroup, 162, 42, 204, 90, msg(27));
    factors_ = ui_create_radio_button(w, kFactorsFactors, 172, 60, 186, 22, msg(28), kStyleGroup);
    divisors_ = ui_create_radio_button(w, kFactorsDivisors, 172, 83, 186, 22, msg(29));
    count_ = ui_create_check_box(w, kFactorsCount, 190, 106, 168, 22, msg(30), kStyleDisabled);
    ui_set_check(factors_, true);
    ui_create_group_box(w, kFactorsSizeGroup, 374, 42, 562 - 374 - 12, 90, msg(31));
    size_ = ui_create_edit(w, kFactorsSize, 386, 72, 562 - 386 - 24, 24, u"");
  }

  std::vector<Wnd> run_inputs() const override { return {factors_, divisors_, count_, size_}; }

  // "Number of divisors" only goes with "Divisors".
  void after_run() override { ui_enable(count_, ui_checked(divisors_)); }

  void on_command(int id, int notification) override {
    if ((id == kFactorsFactors || id == kFactorsDivisors) && notification == kNotifyClicked) {
      after_run();
      return;
    }
    NumberTheoryWindow::on_command(id, notification);
  }

  bool start_run() override {
    auto job = std::make_shared<FactorsJob>();
    FactorsRunParams& p = job->params;
    p.divisors = ui_checked(divisors_);
    p.show_count = p.divisors && ui_checked(count_);
    p.flags = write_flags();
    {
      ContextScope sizes(ContextScope::kSizes);
      biguint_set_limbs(2);
      Word start[2] = {};
      if (!read_start(start)) return false;
      p.start = u128_from_biguint(start);
    }
    const std::u16string size_text = ui_text(size_);
    if (!read_factors_interval_size(size_text, read_flags(), p.size)) return false;
    if (size_text.find_first_not_of(u" \t") != std::u16string::npos) {
      std::u16string formatted;
      append_u128(formatted, static_cast<u128>(p.size), write_flags());
      ui_set_text(size_, formatted);
    }
    return launch(job, &RunFactorsJob);
  }
};

}  // namespace

Wnd create_factors_window() {
  return FactorsWindow::create();
}
