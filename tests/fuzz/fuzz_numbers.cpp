// libFuzzer target for the number text readers of the four types: DecFloat, complex, BigUInt in
// bases 2, 8, 10 and 16, and rationals.
//
// Input: byte 0 picks the type and the flags, bytes 1-2 the precision (see fuzz::digits_of),
// byte 3 the BigUInt base; the rest is the text (fuzz::utf16_of). Invariant: a text that parses
// formats back to a text that parses to the same number, and the second text formats to itself.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/complex.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "integer/biguint_text.h"
#include "integer/number.h"
#include "integer/rational.h"
#include "tests/fuzz/fuzz_util.h"

namespace {

void parse(NumValue* r, const std::u16string& text, std::uint32_t flags) {
  const auto* t = text.data();
  const auto n = static_cast<std::int64_t>(text.size());
  switch (NumberType) {
    case kTypeReal:
      apply_rounding(r, dec_parse(r, t, n, flags));
      break;
    case kTypeComplex:
      cplx_parse(r, t, n, flags);
      break;
    case kTypeUInt:
      biguint_parse(r, t, n, flags);
      break;
    default:
      rational_parse(r, t, n, flags);
      break;
  }
}

std::u16string format(const NumValue* v, std::uint32_t flags) {
  const std::int64_t size = num_format(nullptr, 0, v, flags);
  if (size <= 0 || size > (std::int64_t{1} << 24)) __builtin_trap();
  std::u16string out(static_cast<std::size_t>(size) + 1, u'\0');
  const std::int64_t length = num_format(out.data(), size, v, flags);
  if (length < 0 || length > size) __builtin_trap();
  out.resize(static_cast<std::size_t>(length));
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static fuzz::Watchdog* const watchdog = [] {
    thread_scratch_init();
    arith_reset();
    return new fuzz::Watchdog(2000);
  }();
  if (size < 4) return 0;
  static const std::uint32_t kTypes[] = {kTypeReal, kTypeComplex, kTypeUInt, kTypeRational};
  static const std::uint32_t kBases[] = {10, 16, 2, 8};
  NumberType = kTypes[data[0] % 4];
  const std::int64_t digits = fuzz::digits_of(data[1], data[2]);
  set_precision(digits);
  fuzz::set_integer_size(data[1], data[2]);
  if (g_arith.status != 0) __builtin_trap();
  std::uint32_t flags = 0;
  if (data[0] & 0x04) flags |= kAllowGrouping;
  if (data[0] & 0x08) flags |= kFixedNotation;
  if (data[0] & 0x10) flags |= kAllowInfinity | kAllowNaN;
  if (NumberType == kTypeUInt) flags |= kBases[data[3] % 4];
  // Written back with the separators it was read with; all digits, so nothing is lost.
  const std::uint32_t out_flags =
      (flags & (kFixedNotation | kBaseMask)) |
      // Scientific notation is written for base 10 only.
      ((data[3] & 0x10) && (flags & kBaseMask) % 10 == 0 ? kForceScientific : 0) |
      (data[3] & 0x20 ? kAllowGrouping : 0);
  const std::u16string text = fuzz::utf16_of(data + 4, size - 4);

  const ScratchMark mark = scratch_mark();
  std::vector<Word> first(num_words() + 1, 0);
  std::vector<Word> second(num_words() + 1, 0);
  g_arith.cancel_flag = &watchdog->stop;
  watchdog->begin();
  parse(first.data(), text, flags);
  const std::uint32_t status = g_arith.status;
  clear_status();
  if (status == 0) {
    const std::u16string shown = format(first.data(), out_flags);
    if (g_arith.status != 0) __builtin_trap();
    // Grouped output is read with grouping allowed.
    parse(second.data(), shown, flags | (out_flags & kAllowGrouping) | kAllowInfinity | kAllowNaN);
    if (g_arith.status != 0) __builtin_trap();
    const bool undefined = (NumberType == kTypeReal && is_undefined(first.data())) ||
                           (NumberType == kTypeComplex && (is_undefined(cplx_re(first.data())) ||
                                                           is_undefined(cplx_im(first.data()))));
    if (!undefined && num_compare(first.data(), second.data(), false) != 0) __builtin_trap();
    if (format(second.data(), out_flags) != shown) __builtin_trap();
  }
  watchdog->end();
  clear_status();
  if (scratch_mark() != mark) __builtin_trap();
  return 0;
}
