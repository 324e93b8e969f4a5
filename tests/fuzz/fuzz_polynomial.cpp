// libFuzzer target for the coefficient cells of the solver pages, read through ReadPolynomial.
//
// Input: byte 0 picks the number type, bytes 1-2 the digits; the rest
// holds up to 21 cells a_D..a_0, separated by byte 0x1F, as UTF-8 (fuzz::utf16_of).
// Invariants: a failure is reported through the error record and nothing else; every coefficient
// read formats to a cell text that reads back, for rationals to the same value.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/app_error.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"
#include "solvers/polynomial.h"
#include "tests/fuzz/fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::Watchdog* const watchdog = [] {
    thread_scratch_init();
    arith_reset();
    return new fuzz::Watchdog(2000);
  }();
  if (size < 3) return 0;
  static const std::uint32_t kTypes[] = {kTypeReal, kTypeComplex, kTypeRational};
  const std::uint32_t type = kTypes[data[0] % 3];
  // The page's range, 5 ... 1000 digits; one input in eight at 900 and more.
  const unsigned v = (unsigned{data[1]} << 8) | data[2];
  const std::int64_t digits = data[1] < 0xE0 ? 5 + v % 60 : 1000 - v % 101;
  std::vector<std::u16string> cells(1);
  for (std::size_t i = 3; i < size; ++i) {
    if (data[i] == 0x1F) {
      if (cells.size() == kMaxPolyDegree + 1) break;
      cells.emplace_back();
      continue;
    }
    std::size_t j = i;
    while (j < size && data[j] != 0x1F) ++j;
    cells.back() += fuzz::utf16_of(data + i, j - i);
    i = j - 1;
  }

  const ScratchMark mark = scratch_mark();
  PreparePolynomialOperation(type, digits);
  g_arith.cancel_flag = &watchdog->stop;
  watchdog->begin();
  Polynomial p;
  const bool ok = ReadPolynomial(cells, 0, nullptr, p);
  if (ok != (app_error_code() == 0)) __builtin_trap();
  if (ok && watchdog->stop.load() == 0) {
    const CoefficientErrors errors{3301, 3300, u"a0", u"1"};
    std::vector<Word> back(num_words() + 1, 0);
    for (int k = 0; k < static_cast<int>(cells.size()); ++k) {
      const std::u16string text = solver_value_text(poly_coef(p, k), kFixedNotation);
      clear_status();
      if (text.size() > kMaxCoefficientText) continue;  // a complex pair at 1000 digits
      if (!read_coefficient_cell(text, nullptr, back.data(), errors)) __builtin_trap();
      // Real and complex texts show fewer digits than the working precision holds.
      if (type == kTypeRational && num_compare(back.data(), poly_coef(p, k), false) != 0) {
        __builtin_trap();
      }
    }
  }
  watchdog->end();
  clear_status();
  clear_app_error();
  if (scratch_mark() != mark) __builtin_trap();
  return 0;
}
