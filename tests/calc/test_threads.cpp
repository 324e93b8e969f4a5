// Calculations on two threads at once: a worker runs calculator jobs at 1,000 digits while this
// thread formats results, parses numbers and changes its own precision and separators. Every
// answer must equal the one the same work gives on a single thread.
#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "app/app_error.h"
#include "core/text.h"
#include "core/thread_context.h"
#include "formula/formula.h"
#include "tests/calc/calc_test_util.h"
#include "tests/instrumented.h"

namespace {

struct Case {
  const char* formula;
  std::uint32_t type;
};
const Case kCases[] = {
    {"sqrt(2)+exp(1)", kTypeReal},       {"ln(3)*atan(1/7)", kTypeReal},
    {"sin(1)^2+cos(2)/3", kTypeReal},    {"pi*e-fact(300)/3^500", kTypeReal},
    {"(1+2i)^7/(3-i)", kTypeComplex},    {"2^3000 mod 10^400+7", kTypeUInt},
    {"1/3+5/7-(2/9)^12", kTypeRational}, {"sqrt(2)", kTypeRational},  // falls back to real
};

class CalcThreadsTest : public CalcTest {
 protected:
  // The result field of one case computed through a job on the calling thread.
  std::string run_here(const Case& c) {
    calc_set_number_type(state, c.type);
    calc_set_precision(state, 1000);
    CalcJob job;
    calc_prepare_job(job, state, u16(c.formula), {});
    calc_run_job(job);
    return finish(job);
  }
  std::string finish(CalcJob& job) {
    if (!calc_finish_job(state, job)) {
      const std::string out = "error " + std::to_string(app_error_code());
      clear_app_error();
      return out;
    }
    calc_format_result(state);
    return field();
  }
};

// The window thread's own work while a worker computes: numbers parsed and formatted at
// precisions that change with every step. Returns the texts it produced.
std::vector<std::string> main_thread_work(int rounds) {
  std::vector<std::string> out;
  for (int i = 0; i < rounds; ++i) {
    const std::int64_t p = 5 + (i * 37) % 600;
    set_precision(p);
    std::vector<Word> x(dec_words_for(p));
    const std::u16string text = u"12345.678901234567890123456789e" + u16(std::to_string(i % 40));
    dec_parse(x.data(), text.c_str(), static_cast<std::int64_t>(text.size()), 0);
    std::u16string buffer(static_cast<std::size_t>(dec_text_size(0)), u'\0');
    TextSink sink{0, static_cast<std::int64_t>(buffer.size()), buffer.data()};
    dec_format(sink, x.data(), 0);
    buffer.resize(static_cast<std::size_t>(sink.pos));
    out.push_back(u8(buffer));
  }
  set_precision(16);
  return out;
}

TEST_F(CalcThreadsTest, WorkerAndWindowThreadComputeAsAlone) {
  std::vector<std::string> alone;
  for (const Case& c : kCases) alone.push_back(run_here(c));
  const std::vector<std::string> main_alone = main_thread_work(300);
  g_number_settings.decimal_sep[0] = u',';
  const std::vector<std::string> main_alone_comma = main_thread_work(300);
  g_number_settings = NumberSettings{};
  ASSERT_EQ(alone.back().rfind("1.41421356", 0), 0u) << alone.back();

  // The worker's jobs are prepared here, with this thread's settings at that moment.
  constexpr int kRounds = 25;
  std::vector<CalcJob> jobs(std::size(kCases) * kRounds);
  for (std::size_t j = 0; j < jobs.size(); ++j) {
    const Case& c = kCases[j % std::size(kCases)];
    calc_set_number_type(state, c.type);
    calc_set_precision(state, 1000);
    calc_prepare_job(jobs[j], state, u16(c.formula), {});
  }
  std::atomic<bool> done{false};
  std::thread worker([&] {
    for (CalcJob& job : jobs) calc_run_job(job);
    done.store(true);
  });
  // Meanwhile this thread changes everything a shared context would leak into the worker.
  int loops = 0;
  do {
    g_number_settings.decimal_sep[0] = loops % 2 ? u',' : u'.';
    NumberType = loops % 2 ? kTypeUInt : kTypeComplex;
    EXPECT_EQ(main_thread_work(300), loops % 2 ? main_alone_comma : main_alone);
    ++loops;
  } while (!done.load());
  worker.join();
  EXPECT_GT(loops, 1);  // the two threads did overlap
  g_number_settings = NumberSettings{};
  for (std::size_t j = 0; j < jobs.size(); ++j) {
    EXPECT_EQ(finish(jobs[j]), alone[j % std::size(kCases)])
        << kCases[j % std::size(kCases)].formula;
  }
}

TEST_F(CalcThreadsTest, StopFromTheWindowThreadEndsALongJob) {
  calc_set_precision(state, 10000);
  CalcJob job;
  calc_prepare_job(job, state, u"fact(1e7)", {});
  std::atomic<bool> done{false};
  std::thread worker([&] {
    calc_run_job(job);
    done.store(true);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(done.load());
  const auto stop = std::chrono::steady_clock::now();
  job.stop.request();
  worker.join();
  const auto took = std::chrono::steady_clock::now() - stop;
  EXPECT_LT(took, std::chrono::milliseconds(200) * kTimeScale);
  EXPECT_FALSE(calc_finish_job(state, job));
  EXPECT_EQ(app_error_code(), kAppErrorStopped);
  clear_app_error();
  // The window thread's own context never saw the stop.
  EXPECT_FALSE(cancel_requested());
}

TEST_F(CalcThreadsTest, ErrorsTravelInTheJobNotThroughSharedRecords) {
  calc_set_precision(state, 20);
  CalcJob job;
  calc_prepare_job(job, state, u"1+*2", {});
  std::thread([&] { calc_run_job(job); }).join();
  // Nothing reached this thread's records until the job is finished here.
  EXPECT_EQ(app_error_code(), 0u);
  EXPECT_EQ(g_formula_error.code, 0u);
  EXPECT_FALSE(calc_finish_job(state, job));
  EXPECT_EQ(app_error_code(), kAppErrorFormula);
  EXPECT_EQ(g_formula_error.code, static_cast<std::uint32_t>(kFormulaSyntax));
  EXPECT_EQ(g_formula_error.position, 3u);
  clear_app_error();
  // The cause of an arithmetic error comes along, so the window names it.
  calc_prepare_job(job, state, u"2+1/(3-3)", {});
  std::thread([&] { calc_run_job(job); }).join();
  EXPECT_FALSE(calc_finish_job(state, job));
  EXPECT_EQ(g_formula_error.code, static_cast<std::uint32_t>(kFormulaArithmetic));
  EXPECT_EQ(g_formula_error.cause, static_cast<std::uint32_t>(MathStatus::DivisionByZero));
  clear_app_error();
}

}  // namespace
