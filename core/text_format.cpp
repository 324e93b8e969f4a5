// Writing DecFloat values as UTF-16 text: dec_format, its notation step format_digits, and the
// buffer size a caller must provide. The digits go through one scratch array of P + 3
// characters; nothing comes from the heap. Status codes set here: 204 (a record that breaks the
// invariants), 100 (a base other than 10). A sink that is too small is left to the caller: its
// position ends at capacity + 1.
#include <cstdint>

#include "core/decfloat.h"
#include "core/text.h"
#include "core/word_arith.h"

namespace {

// A run of `count` equal characters. Checks the room first, so a fixed-point text with
// billions of zeros costs nothing once it cannot fit.
void put_repeated(TextSink& sink, char16_t c, std::int64_t count) {
  if (count <= 0) return;
  if (sink.pos > sink.capacity || count > sink.capacity - sink.pos) {
    sink.pos = sink.capacity + 1;
    return;
  }
  for (std::int64_t i = 0; i < count; ++i) sink.buffer[sink.pos++] = c;
}

// Writes v as exactly `width` decimal digits (leading zeros kept), right to left. The division
// by the constant 10 compiles to a multiplication by its reciprocal.
void write_word_digits(char16_t* out, Word v, int width) {
  for (int i = width - 1; i >= 0; --i) {
    out[i] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  }
}

void put_unsigned(TextSink& sink, Word v) {
  char16_t text[20];
  const int width = digit_count(v);
  write_word_digits(text, v, width);
  sink_put(sink, text, width);
}

bool record_is_valid(const DecFloat* x) {
  const std::int64_t n = g_arith.limb_count;
  if (is_special(x)) {
    if (x[1] > 2) return false;
    for (std::int64_t i = 2; i <= n; ++i) {
      if (x[i] != 0) return false;
    }
    return true;
  }
  const std::int64_t k = g_arith.top_digits;
  if (x[1] < kPow10[k - 1] || x[1] >= kPow10[k]) return false;
  for (std::int64_t i = 2; i <= n; ++i) {
    if (x[i] >= kLimbBase) return false;
  }
  return true;
}

}  // namespace

std::int64_t dec_text_size(std::uint32_t flags) {
  const std::int64_t m = g_arith.precision > 20 ? g_arith.precision : 20;
  return m + 24 + 19 + ((flags & kAllowGrouping) ? m / 3 : 0);
}

void dec_format(TextSink& sink, const DecFloat* x, std::uint32_t flags) {
  const bool plus = (flags & kShowPlusSign) != 0;
  if (!record_is_valid(x)) {
    if (plus) sink_put(sink, u'+');
    sink_put_ascii(sink, "[?]");
    set_status(MathStatus::InvalidRepresentation);
    return;
  }
  const std::uint32_t base = flags & kBaseMask;
  if (base != 0 && base != 10) {
    if (plus) sink_put(sink, u'+');
    sink_put_ascii(sink, "[P]");
    set_status(MathStatus::InvalidSetting);
    return;
  }
  if (is_undefined(x)) {
    if (plus) sink_put(sink, u'+');
    sink_put_ascii(sink, "NaN");
    return;
  }
  if (is_infinity(x)) {
    if (dec_negative(x)) {
      sink_put(sink, u'-');
    } else if (plus) {
      sink_put(sink, u'+');
    }
    sink_put(sink, u'\u221E');
    return;
  }

  const std::int64_t p = g_arith.precision;
  const std::int64_t n = g_arith.limb_count;
  ScratchScope scope;
  // P + 3 characters, in whole words.
  auto* digits =
      reinterpret_cast<char16_t*>(scratch_alloc(static_cast<std::size_t>(p + 3 + 3) / 4));
  std::int64_t e = 0;
  if (is_zero(x)) {
    for (std::int64_t i = 0; i < p; ++i) digits[i] = u'0';
  } else {
    const int k = static_cast<int>(g_arith.top_digits);
    write_word_digits(digits, x[1], k);
    for (std::int64_t i = 2; i <= n; ++i) write_word_digits(digits + k + 19 * (i - 2), x[i], 19);
    e = dec_exponent(x);
  }
  format_digits(sink, digits, p, dec_negative(x), e, flags);
}

void format_digits(TextSink& sink, const char16_t* digits, std::int64_t count, bool negative,
                   std::int64_t exponent, std::uint32_t flags) {
  static constexpr char16_t kZero[1] = {u'0'};
  if (digits == nullptr || count < 1) {
    digits = kZero;
    count = 1;
  }
  const NumberSettings& s = g_number_settings;
  const bool fixed_chars = (flags & kFixedNotation) != 0;
  const char16_t point = fixed_chars ? u'.' : s.decimal_sep[0];
  const char16_t group = fixed_chars ? u'\'' : s.thousands_sep[0];
  const bool grouping = (flags & kAllowGrouping) != 0;

  // Index of the last non-zero digit, -1 for a zero mantissa. Stripping is decided here, before
  // anything is written, so the result never depends on what the sink could hold.
  std::int64_t last = count - 1;
  while (last >= 0 && digits[last] == u'0') --last;

  if (last < 0) {
    if (flags & kShowPlusSign) sink_put(sink, negative ? u'-' : u'+');
  } else if (negative) {
    sink_put(sink, u'-');
  } else if (flags & kShowPlusSign) {
    sink_put(sink, u'+');
  }

  bool scientific;
  bool strip;
  if (flags & kForceFixedPoint) {
    scientific = false;
    strip = (flags & kStripZeros) != 0;
  } else if (flags & kForceScientific) {
    scientific = true;
    strip = (flags & kStripZeros) != 0;
  } else {
    scientific = exponent <= s.sci_low || exponent >= s.sci_high;
    strip = true;
  }
  const bool keep_point = (flags & kKeepDecimalPoint) != 0;

  if (scientific) {
    sink_put(sink, digits[0]);
    const std::int64_t fraction = strip ? (last > 0 ? last : 0) : count - 1;
    if (fraction > 0) {
      sink_put(sink, point);
      sink_put(sink, digits + 1, fraction);
    } else if (keep_point) {
      // Before the exponent marker, so that the text still reads as a number.
      sink_put(sink, point);
      sink_put(sink, u'0');
    }
    sink_put(sink, s.exponent_marker[0]);
    if (exponent < 0) {
      sink_put(sink, u'-');
    } else if (!(flags & kNoExponentPlus)) {
      sink_put(sink, u'+');
    }
    const Word magnitude =
        exponent < 0 ? Word{0} - static_cast<Word>(exponent) : static_cast<Word>(exponent);
    put_unsigned(sink, magnitude);
    return;
  }

  bool fraction_written = false;
  if (exponent >= 0) {
    // exponent + 1 integer digits, "0" beyond the mantissa; with grouping a separator after
    // every digit whose place value is a positive multiple of three.
    const std::int64_t separators = grouping ? exponent / 3 : 0;
    const u128 int_length = static_cast<u128>(exponent) + 1 + static_cast<u128>(separators);
    if (sink.pos > sink.capacity || int_length > static_cast<u128>(sink.capacity - sink.pos)) {
      sink.pos = sink.capacity + 1;
      return;
    }
    if (!grouping) {
      const std::int64_t from_digits = exponent < count ? exponent + 1 : count;
      sink_put(sink, digits, from_digits);
      put_repeated(sink, u'0', exponent + 1 - from_digits);
    } else {
      for (std::int64_t i = 0; i <= exponent; ++i) {
        sink_put(sink, i < count ? digits[i] : u'0');
        const std::int64_t place = exponent - i;
        if (place > 0 && place % 3 == 0) sink_put(sink, group);
      }
    }
    // Fractional digits are those at positions exponent + 1 .. count - 1.
    const std::int64_t final_digit = strip ? last : count - 1;
    if (final_digit > exponent) {
      sink_put(sink, point);
      sink_put(sink, digits + exponent + 1, final_digit - exponent);
      fraction_written = true;
    }
  } else {
    sink_put(sink, u'0');
    const std::int64_t shown = strip ? last + 1 : count;
    if (shown > 0) {
      sink_put(sink, point);
      put_repeated(sink, u'0', -(exponent + 1));
      sink_put(sink, digits, shown);
      fraction_written = true;
    }
  }
  if (keep_point && !fraction_written) {
    sink_put(sink, point);
    sink_put(sink, u'0');
  }
}
