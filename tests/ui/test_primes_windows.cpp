// The "Prime numbers" and "Prime factors and divisors" windows as the program makes them: input
// checks, runs compared with the worker bodies called directly, base 16, Stop and closing, and
// the streaming of a long interval.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#include "app/app_error.h"
#include "app/messages.h"
#include "app/platform.h"
#include "app/settings.h"
#include "core/decfloat.h"
#include "primes/factors.h"
#include "primes/primes_run.h"
#include "primes/start_checks.h"
#include "ui/composite.h"
#include "ui/controls.h"
#include "ui_test_util.h"
#include "windows/app_windows.h"
#include "windows/number_theory_window.h"
#include "tests/instrumented.h"

namespace {

using W = NumberTheoryWindow;

const TestConfigFolder g_environment("numerion_primes_windows");
const std::filesystem::path& g_config = g_environment.path();

// CPU time of the calling thread.
double thread_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

std::vector<std::u16string> g_messages;
void record_message(const char16_t*, const char16_t* text, int) {
  g_messages.emplace_back(text);
}

std::u16string invalid_input(std::u16string_view text) {
  return u"Invalid input \"" + std::u16string(text) + u"\" !";
}

// "\r\n" as the output field shows it.
std::u16string field_text(std::u16string_view text) {
  std::u16string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

// The text of primes_run for the same input, read the way the windows read it.
std::u16string primes_reference(PrimeMethod method, PrimeMode mode, std::u16string_view start,
                                std::u16string_view size = u"", bool hex = false) {
  std::u16string text;
  PrimesRunParams p;
  p.method = method;
  p.mode = mode;
  p.flags = number_write_flags(hex, false);
  p.output = [&text](std::u16string_view piece) { text += piece; };
  {
    ContextScope sizes(ContextScope::kSizes);
    biguint_set_limbs(primes_method_limbs(method));
    p.start.assign(static_cast<std::size_t>(BigUIntLimbs), 0);
    EXPECT_TRUE(read_start_number(start, number_read_flags(hex), p.start.data()));
  }
  p.size = kNextPrimeSize;
  if (mode == PrimeMode::Interval) {
    EXPECT_TRUE(read_primes_interval_size(size, number_read_flags(hex), p.size));
  }
  primes_run(p);
  clear_app_error();
  return field_text(text);
}

std::u16string factors_reference(bool divisors, bool count, u128 start, std::int32_t size,
                                 bool hex = false) {
  std::u16string text;
  FactorsRunParams p;
  p.divisors = divisors;
  p.show_count = count;
  p.start = start;
  p.size = size;
  p.flags = number_write_flags(hex, false);
  p.output = [&text](std::u16string_view piece) { text += piece; };
  factors_run(p);
  clear_app_error();
  return field_text(text);
}

struct PrimesWindows : ::testing::Test {
  PrimesWindows() {
    ensure_app();
    std::filesystem::remove(settings_path());
    Settings s;
    s.language = kLanguageEnglish;
    s.show_welcome_hint = false;
    write_settings_file(settings_path(), s);
    g_settings = Settings{};
    clear_settings_changed();
    clear_app_error();
    prepare_application();
    create_windows();
    platform_set_message_hook(record_message);
    g_messages.clear();
    ui_show_window(g_app.main_window);
  }
  ~PrimesWindows() override { destroy_windows(); }

  Wnd window = nullptr;
  Wnd c(int id) const { return ui_control(window, id); }

  void open(int menu_item) {
    ASSERT_TRUE(ui_choose_menu_item(g_app.main_window, menu_item));
    window = menu_item == kMenuPrimes ? g_app.primes : g_app.factors;
    ASSERT_TRUE(ui_is_visible(window));
  }
  void set_base(int base) { ui_number_base_set(c(W::kIdBase), base); }
  // Clicks "Start"; true when a run started (false: refused, its message recorded). A click
  // that falls into the guard after the last run is repeated.
  bool start(std::u16string_view input) {
    ui_set_text(c(W::kIdInput), input);
    g_messages.clear();
    for (int i = 0; i < 100; ++i) {
      ui_click(c(W::kIdStart));
      if (ui_is_enabled(c(W::kIdStop)) || !g_messages.empty()) break;
      QTest::qWait(20);
    }
    return ui_is_enabled(c(W::kIdStop));
  }
  bool wait_done(int milliseconds = 60000) {
    return wait_for([&] { return !ui_is_enabled(c(W::kIdStop)); }, milliseconds);
  }
  std::u16string run(std::u16string_view input) {
    EXPECT_TRUE(start(input));
    EXPECT_TRUE(wait_done());
    EXPECT_TRUE(g_messages.empty());
    return ui_text(c(W::kIdOutput));
  }
  void stop_and_wait() {
    ui_click(c(W::kIdStop));
    ASSERT_TRUE(wait_done());
  }
};

TEST_F(PrimesWindows, BothOpenFromTheMenuWithTheirControlsInPlace) {
  open(kMenuPrimes);
  EXPECT_EQ(ui_title(window), u"Prime numbers");
  EXPECT_TRUE(ui_checked(c(kPrimesInterval)));
  EXPECT_TRUE(ui_checked(c(kPrimesExact)));
  EXPECT_EQ(ui_text(c(kPrimesSize)), u"100");
  EXPECT_EQ(ui_text(c(kPrimesExact)), u"exact (max. 38 to 39 decimal digits)");
  EXPECT_EQ(ui_text(c(kPrimesProbabilistic)), u"probabilistic (max. 1253 decimal digits)");
  EXPECT_EQ(ui_number_base(c(W::kIdBase)), 10);
  EXPECT_FALSE(ui_is_enabled(c(W::kIdStop)));
  ui_set_text(c(W::kIdInput), u"1'234 5");
  EXPECT_EQ(ui_digit_count(c(W::kIdDigits)), 5);
  set_base(16);
  ui_set_text(c(W::kIdInput), u"ff0");
  EXPECT_EQ(ui_digit_count(c(W::kIdDigits)), 3);

  // Growing the window widens the start and output fields and moves "Close" along.
  QWidget* top = w_of(window);
  QWidget* output = w_of(c(W::kIdOutput));
  QWidget* close = w_of(c(W::kIdClose));
  const QSize before = output->size();
  top->resize(top->width() + 100, top->height() + 50);
  QApplication::processEvents();
  EXPECT_EQ(output->width(), before.width() + 100);
  EXPECT_EQ(output->height(), before.height() + 50);
  EXPECT_EQ(close->geometry().right(), top->width() - 17);
  EXPECT_EQ(w_of(c(W::kIdInput))->geometry().right(), top->width() - 17);

  ui_close_window(window);
  open(kMenuFactors);
  EXPECT_EQ(ui_title(window), u"Prime factors and divisors");
  EXPECT_TRUE(ui_checked(c(kFactorsFactors)));
  // "Number of divisors" goes with "Divisors" only.
  EXPECT_FALSE(ui_is_enabled(c(kFactorsCount)));
  ui_click(c(kFactorsDivisors));
  EXPECT_TRUE(ui_is_enabled(c(kFactorsCount)));
  ui_click(c(kFactorsFactors));
  EXPECT_FALSE(ui_is_enabled(c(kFactorsCount)));
}

TEST_F(PrimesWindows, PrimeNumberInputChecks) {
  open(kMenuPrimes);
  EXPECT_FALSE(start(u"0"));
  EXPECT_EQ(g_messages, std::vector<std::u16string>{invalid_input(u"0")});
  EXPECT_FALSE(start(u"12x"));
  EXPECT_EQ(g_messages, std::vector<std::u16string>{invalid_input(u"12x")});
  // 2^128 does not fit the exact method's two limbs.
  EXPECT_FALSE(start(u"340282366920938463463374607431768211456"));
  EXPECT_EQ(g_messages.size(), 1u);

  for (const char16_t* bad : {u"2147483648", u"0", u"", u"-1"}) {
    ui_set_text(c(kPrimesSize), bad);
    EXPECT_FALSE(start(u"1000")) << std::string(bad, bad + std::char_traits<char16_t>::length(bad));
    EXPECT_EQ(g_messages, std::vector<std::u16string>{invalid_input(bad)});
  }
  ui_set_text(c(kPrimesSize), u"2147483647");
  EXPECT_TRUE(start(u"1"));
  EXPECT_TRUE(g_messages.empty());
  EXPECT_FALSE(ui_is_enabled(c(W::kIdStart)));
  EXPECT_FALSE(ui_is_enabled(c(kPrimesSize)));
  EXPECT_FALSE(ui_is_enabled(c(kPrimesProbabilistic)));
  stop_and_wait();
  EXPECT_TRUE(g_messages.empty());
  EXPECT_TRUE(ui_is_enabled(c(W::kIdStart)));
  EXPECT_TRUE(ui_is_enabled(c(kPrimesSize)));

  // The probabilistic method: 65 limbs, 1252 digits and more as far as they fit.
  ui_click(c(kPrimesProbabilistic));
  ui_click(c(kPrimesTest));
  const std::u16string nines(1252, u'9');
  EXPECT_EQ(run(nines), nines + u" is not a prime number.\n");
  EXPECT_EQ(ui_digit_count(c(W::kIdDigits)), 1252);
  const std::u16string too_big(1253, u'9');  // above 2^4160 - 1
  EXPECT_FALSE(start(too_big));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_EQ(g_messages[0].substr(0, 20), u"Invalid input \"99999");
  // A text longer than any number of 65 limbs is cut with "…" and refused.
  EXPECT_FALSE(start(std::u16string(2000, u'1')));
  ASSERT_EQ(g_messages.size(), 1u);
  EXPECT_NE(g_messages[0].find(u"1\u2026\" !"), std::u16string::npos);
  EXPECT_LT(g_messages[0].size(), 300u);
}

TEST_F(PrimesWindows, PrimeFactorInputChecks) {
  open(kMenuFactors);
  EXPECT_FALSE(start(u"0"));
  EXPECT_EQ(g_messages, std::vector<std::u16string>{invalid_input(u"0")});
  for (const char16_t* bad : {u"1000001", u"0", u"x"}) {
    ui_set_text(c(kFactorsSize), bad);
    EXPECT_FALSE(start(u"5"));
    EXPECT_EQ(g_messages, std::vector<std::u16string>{invalid_input(bad)});
  }
  // Blanks mean one number; a given size is written back formatted.
  ui_set_text(c(kFactorsSize), u" \t ");
  EXPECT_EQ(run(u"12"), u"12 = 2^2 * 3\n");
  ui_set_text(c(kFactorsSize), u"1000000");
  EXPECT_TRUE(start(u"1"));
  EXPECT_EQ(ui_text(c(kFactorsSize)), u"1000000");
  ASSERT_TRUE(wait_for([&] { return !ui_text(c(W::kIdOutput)).empty(); }));
  stop_and_wait();
  EXPECT_TRUE(g_messages.empty());
  // The lines so far are those of the first numbers.
  const std::u16string partial = ui_text(c(W::kIdOutput));
  const auto lines = static_cast<std::int32_t>(std::count(partial.begin(), partial.end(), u'\n'));
  ASSERT_GT(lines, 0);
  const std::u16string reference = factors_reference(false, false, 1, lines);
  EXPECT_EQ(partial.substr(0, reference.size()), reference);
}

TEST_F(PrimesWindows, AHugePasteIsRefusedByEveryField) {
  const QString huge(1 << 20, u'7');
  QApplication::clipboard()->setText(huge);
  for (int menu : {kMenuPrimes, kMenuFactors}) {
    open(menu);
    const int size_id = menu == kMenuPrimes ? static_cast<int>(kPrimesSize) : kFactorsSize;
    for (int id : {static_cast<int>(W::kIdInput), size_id}) {
      ui_set_text(c(W::kIdInput), u"97");
      ui_set_text(c(size_id), u"10");
      QWidget* field = w_of(c(id));
      if (auto* line = qobject_cast<QLineEdit*>(field)) line->paste();
      if (auto* plain = qobject_cast<QPlainTextEdit*>(field)) plain->paste();
      QApplication::processEvents();
      g_messages.clear();
      ui_click(c(W::kIdStart));
      EXPECT_FALSE(ui_is_enabled(c(W::kIdStop))) << menu << " " << id;
      ASSERT_EQ(g_messages.size(), 1u) << menu << " " << id;
      EXPECT_EQ(g_messages[0].substr(0, 15), u"Invalid input \"");
      EXPECT_NE(g_messages[0].find(u"7777"), std::u16string::npos);
      EXPECT_NE(g_messages[0].find(u"\u2026\" !"), std::u16string::npos);
    }
    ui_close_window(window);
  }
}

TEST_F(PrimesWindows, PrimeRunsShowWhatTheWorkerWrites) {
  open(kMenuPrimes);
  // Interval mode (the default), exact method.
  ui_set_text(c(kPrimesSize), u"10");
  EXPECT_EQ(run(u"10"),
            u"Prime numbers from 10 to 19:\n{ 11, 13, 17, 19 }\nNumber of prime numbers: 4\n");
  ui_set_text(c(kPrimesSize), u"5000");
  EXPECT_EQ(run(u"123456789012345678"), primes_reference(PrimeMethod::Exact, PrimeMode::Interval,
                                                         u"123456789012345678", u"5000"));
  ui_click(c(kPrimesNextPrime));
  EXPECT_EQ(run(u"24"), u"Next prime number:\n29");
  EXPECT_EQ(run(u"170141183460469231731687303715884105703"),
            primes_reference(PrimeMethod::Exact, PrimeMode::NextPrime,
                             u"170141183460469231731687303715884105703"));
  ui_click(c(kPrimesTest));
  EXPECT_EQ(run(u"170141183460469231731687303715884105727"),
            u"170141183460469231731687303715884105727 is a prime number.\n");
  // The probabilistic method, and base 16 for reading and writing.
  ui_click(c(kPrimesProbabilistic));
  set_base(16);
  ui_click(c(kPrimesNextPrime));
  const std::u16string big = u"1" + std::u16string(300, u'0');
  EXPECT_EQ(run(big),
            primes_reference(PrimeMethod::Probabilistic, PrimeMode::NextPrime, big, u"", true));
  ui_click(c(kPrimesInterval));
  ui_set_text(c(kPrimesSize), u"100");
  const std::u16string hex = run(u"ffffffff");
  EXPECT_EQ(hex, primes_reference(PrimeMethod::Probabilistic, PrimeMode::Interval, u"FFFFFFFF",
                                  u"100", true));
  // The size is read in base 16 as well: 0x100 numbers.
  EXPECT_EQ(hex.substr(0, 40), u"Prime numbers from FFFFFFFF to 1000000FE");
  // The start is written back in the run's base and format.
  EXPECT_EQ(ui_text(c(W::kIdInput)), u"FFFFFFFF");
}

TEST_F(PrimesWindows, FactorRunsShowWhatTheWorkerWrites) {
  open(kMenuFactors);
  EXPECT_EQ(run(u"1"), u"1 = Number has no prime factors!\n");
  ui_set_text(c(kFactorsSize), u"300");
  EXPECT_EQ(
      run(u"1000000000000000000000000000000000000"),
      factors_reference(false, false, u128(1000000000000000000ull) * 1000000000000000000ull, 300));
  ui_set_text(c(kFactorsSize), u"");
  ui_click(c(kFactorsDivisors));
  ui_click(c(kFactorsCount));
  EXPECT_EQ(run(u"12"), u"D 12 = { 1, 2, 3, 4, 6, 12 }  [6]\n");
  ui_set_text(c(kFactorsSize), u"50");
  EXPECT_EQ(run(u"720720"), factors_reference(true, true, 720720, 50));
  // Base 16.
  ui_click(c(kFactorsFactors));
  set_base(16);
  ui_set_text(c(kFactorsSize), u"");
  EXPECT_EQ(run(u"400"), u"400 = 2^A\n");
  ui_set_text(c(kFactorsSize), u"20");  // 0x20 numbers
  EXPECT_EQ(run(u"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00"),
            factors_reference(false, false, ~u128(0) - 0xFF, 32, true));
  // Past 2^128 - 1 the run ends with its overflow message after the lines so far.
  ui_set_text(c(kFactorsSize), u"3");
  EXPECT_TRUE(start(u"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFE"));
  ASSERT_TRUE(wait_done());
  EXPECT_EQ(g_messages, std::vector<std::u16string>{u"Overflow in prime factor calculation!"});
  EXPECT_EQ(ui_text(c(W::kIdOutput)), factors_reference(false, false, ~u128(0) - 1, 2, true));
}

// Stop and closing end a run at once, keep the text so far and show nothing.
TEST_F(PrimesWindows, StopAndCloseKeepTheOutputSoFar) {
  open(kMenuPrimes);
  ui_set_text(c(kPrimesSize), u"10000000");
  ASSERT_TRUE(start(u"1000000000000"));
  ASSERT_TRUE(wait_for([&] { return ui_text(c(W::kIdOutput)).size() > 2000; }));
  QElapsedTimer timer;
  timer.start();
  ui_click(c(W::kIdStop));
  ASSERT_TRUE(wait_done());
  const qint64 stop_ms = timer.elapsed();
  std::printf("stop answered in about %lld ms\n", static_cast<long long>(stop_ms));
  EXPECT_LT(stop_ms, 1000 * kTimeScale);  // 100 ms on an idle machine; shared builders get slack
  EXPECT_TRUE(g_messages.empty());
  // What is there is the start of the run's text: the header, then the primes from 10^12 on.
  const std::u16string partial = ui_text(c(W::kIdOutput));
  const std::u16string header = u"Prime numbers from 1000000000000 to 1000009999999:\n{ ";
  ASSERT_EQ(partial.substr(0, header.size()), header);
  EXPECT_EQ(partial.find(u'}'), std::u16string::npos);
  const std::size_t last = partial.rfind(u", ");
  ASSERT_NE(last, std::u16string::npos);
  const std::u16string body = partial.substr(header.size(), last - header.size());
  const std::u16string last_prime = body.substr(body.rfind(u' ') + 1);
  const std::string count = std::to_string(
      std::stoll(std::string(last_prime.begin(), last_prime.end())) - 1000000000000 + 1);
  const std::u16string size(count.begin(), count.end());
  const std::u16string reference =
      primes_reference(PrimeMethod::Exact, PrimeMode::Interval, u"1000000000000", size);
  const std::size_t ref_body = reference.find(u"{ ") + 2;
  EXPECT_EQ(reference.substr(ref_body, body.size()), body);
  EXPECT_EQ(reference.substr(ref_body + body.size(), 2), u" }");

  // Closing the window during a run: the same, and the window goes.
  ASSERT_TRUE(start(u"1000000000000"));
  ASSERT_TRUE(wait_for([&] { return !ui_text(c(W::kIdOutput)).empty(); }));
  ui_close_window(window);
  EXPECT_FALSE(ui_is_visible(window));
  ASSERT_TRUE(wait_done(1000 * kTimeScale));
  EXPECT_TRUE(g_messages.empty());
  EXPECT_EQ(ui_text(c(W::kIdOutput)).substr(0, header.size()), header);
}

// The primes of 10^7 numbers near 10^12 (about 360,000 of them, 5.4 MB of text on one line)
// stream into the field while the window keeps answering, and the field ends with all of it.
TEST_F(PrimesWindows, ALongIntervalStreamsWithTheWindowAnswering) {
  open(kMenuPrimes);
  ui_set_text(c(kPrimesSize), u"10000000");
  qint64 longest_gap = 0;
  QElapsedTimer since_tick;
  QTimer ticker;
  QObject::connect(&ticker, &QTimer::timeout,
                   [&] { longest_gap = std::max(longest_gap, since_tick.restart()); });
  QElapsedTimer run_time;
  run_time.start();
  const double cpu_before = thread_cpu_ms();
  ASSERT_TRUE(start(u"1000000000000"));
  since_tick.start();
  ticker.start(10);
  std::size_t seen_while_running = 0;
  const QTextDocument* document = qobject_cast<QPlainTextEdit*>(w_of(c(W::kIdOutput)))->document();
  const bool done = wait_for(
      [&] {
        if (ui_is_enabled(c(W::kIdStop))) {
          seen_while_running = static_cast<std::size_t>(document->characterCount());
          return false;
        }
        return true;
      },
      600000);
  const qint64 ms = run_time.elapsed();
  const double window_cpu = thread_cpu_ms() - cpu_before;
  ticker.stop();
  ASSERT_TRUE(done);
  std::printf(
      "10^7 numbers near 10^12 streamed in %lld ms; the window thread computed %.0f ms of it; "
      "longest wait of the event loop %lld ms\n",
      static_cast<long long>(ms), window_cpu, static_cast<long long>(longest_gap));
  EXPECT_GT(seen_while_running, 1000u);  // the text came while the run lasted
  EXPECT_LT(longest_gap, 1000 * kTimeScale);
  EXPECT_TRUE(g_messages.empty());
  const std::u16string text = ui_text(c(W::kIdOutput));
  EXPECT_EQ(text.size(), 5425976u);
  const std::u16string reference =
      primes_reference(PrimeMethod::Exact, PrimeMode::Interval, u"1000000000000", u"10000000");
  EXPECT_TRUE(text == reference);
  EXPECT_EQ(text.substr(text.size() - 32), u"Number of prime numbers: 361726\n");
}

}  // namespace
