// libFuzzer target for evaluate_formula in all four number types.
//
// Input: byte 0 picks the type, bytes 1 and 2 the precision and the BigUInt size (mostly small,
// one input in eight at 1,000 ... 10,005 digits, where the long-number paths run); the rest is
// the formula as UTF-8, where a byte that starts no valid sequence becomes the code unit of the
// same value, so every UTF-16 code unit can be reached. A watchdog raises the stop request after
// one second, as the calculator's "Stop" would, for the legitimately long computations.
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "core/decfloat.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"
#include "tests/fuzz/fuzz_util.h"

namespace {

std::atomic<std::uint8_t> g_stop{0};
std::atomic<std::int64_t> g_started{0};

std::int64_t now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void watchdog() {
  for (;;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::int64_t t = g_started.load();
    if (t != 0 && now_ms() - t > 1000) g_stop.store(1);
  }
}

const char16_t* const kNames[] = {u"ans", u"x", u"y", u"z", u"big"};
const char16_t* const kValues[] = {u"2", u"-1.5", u"3/4", u"1+2i", u"0x7FFFFFFFFFFFFFFFFF"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = [] {
    thread_scratch_init();
    arith_reset();
    std::thread(watchdog).detach();
    return true;
  }();
  (void)started;
  if (size < 3) return 0;
  static const std::uint32_t kTypes[] = {kTypeReal, kTypeComplex, kTypeUInt, kTypeRational};
  NumberType = kTypes[data[0] % 4];
  set_precision(fuzz::digits_of(data[1], data[2]));
  fuzz::set_integer_size(data[1], data[2]);
  // The text ends at its first NUL, as for any caller.
  const std::u16string text = fuzz::utf16_of(data + 3, size - 3);

  VariableTable vars;
  vars.count = 5;
  for (std::uint32_t i = 0; i < vars.count; ++i) vars.entries[i] = {kNames[i], kValues[i]};
  std::vector<Word> result(num_words() + 1, 0);
  FormulaContext ctx;
  ctx.text = text.data();
  ctx.flags = data[0] & 0x10 ? kAllowGrouping : kAllowGrouping | kFixedNotation;
  ctx.variables = &vars;
  ctx.result = result.data();

  std::uint8_t* const mark = thread_scratch_mark();
  const ScratchMark arith_mark = scratch_mark();
  g_stop.store(0);
  g_arith.cancel_flag = &g_stop;
  g_started.store(now_ms());
  evaluate_formula(ctx);
  g_started.store(0);

  // What every caller relies on.
  const std::uint32_t code = g_formula_error.code;
  std::size_t length = 0;
  while (text[length] != 0) ++length;
  if (g_arith.status != 0) __builtin_trap();
  if (thread_scratch_mark() != mark || scratch_mark() != arith_mark) __builtin_trap();
  if (code != 0 && (code < 10200 || code > 10212)) __builtin_trap();
  if (g_formula_error.position > length + 1) __builtin_trap();
  if (code != 0 && (ctx.inexact != 0 || !num_is_zero(result.data()))) __builtin_trap();
  clear_status();
  return 0;
}
