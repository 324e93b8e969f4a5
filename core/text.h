// Text form of DecFloat: the number settings (separators, exponent markers, imaginary unit,
// scientific thresholds), TextSink, the number text flags, dec_parse and dec_format.
// Text is UTF-16; the minus sign is the hyphen-minus.
#pragma once

#include <cstdint>

#include "core/decfloat.h"

// Number text flags; the low byte is the base (0 or 10 for DecFloat).
inline constexpr std::uint32_t kAllowGrouping = 0x100;
inline constexpr std::uint32_t kFixedNotation = 0x200;
inline constexpr std::uint32_t kShowPlusSign = 0x1000;
inline constexpr std::uint32_t kNoExponentPlus = 0x2000;
inline constexpr std::uint32_t kKeepDecimalPoint = 0x4000;
inline constexpr std::uint32_t kForceFixedPoint = 0x8000;
inline constexpr std::uint32_t kForceScientific = 0x10000;
inline constexpr std::uint32_t kStripZeros = 0x80000;
inline constexpr std::uint32_t kAllowInfinity = 0x100000;
inline constexpr std::uint32_t kAllowNaN = 0x200000;
inline constexpr std::uint32_t kBaseMask = 0xff;

// Process-wide number settings, set at start-up from the locale and then the settings file.
struct NumberSettings {
  char16_t decimal_sep[3] = {u'.', u'.', u'.'};
  char16_t thousands_sep[3] = {u'\'', u'\'', u'\''};
  char16_t exponent_marker[4] = {u'e', u'E', u'E', u'E'};
  char16_t imaginary_unit[2] = {u'i', u'i'};
  std::int64_t sci_low = -4;
  std::int64_t sci_high = 10;
};
// Per thread: a worker copies the window thread's settings from its job record.
extern thread_local constinit NumberSettings g_number_settings;

// Fills a three-slot separator from a string of up to three characters (length -1:
// NUL-terminated), the last one repeated; `fallback` when the string is empty. A character that
// separator_char_allowed refuses leaves the slots unchanged and sets status 100.
void set_separator_slots(char16_t slots[3], const char16_t* text, int length, char16_t fallback);

// Bounded output: a character is stored only while pos < capacity; a piece that does not fit
// sets pos to capacity + 1, which callers read as "too long". Nothing is terminated here.
struct TextSink {
  std::int64_t pos = 0;
  std::int64_t capacity = 0;
  char16_t* buffer = nullptr;
};
void sink_put(TextSink& sink, char16_t c);
void sink_put(TextSink& sink, const char16_t* text, std::int64_t length);
void sink_put_ascii(TextSink& sink, const char* text);
// The length of a finished bounded text; when it did not fit, the text becomes "[$]" (room
// for 3 characters, else nothing) and status 300 is set.
std::int64_t sink_length_or_overflow_mark(const TextSink& sink);
inline bool sink_overflowed(const TextSink& sink) {
  return sink.pos > sink.capacity;
}

// --- number scanner --------------------------------------------------------------------------
// One token of number text at a time, base 10 unless the flags name 16 (then "a".."f" and
// "A".."F" are digits too; bases 2 and 8 take every decimal digit and leave the range check to
// the conversion). Shared by dec_parse and the other number parsers.
enum class NumberTokenKind : std::uint8_t {
  End,          // nothing left before the end of the text
  Digits,       // a digit run; thousands separators inside it only with kAllowGrouping
  DigitsPoint,  // a digit run with one decimal separator that is followed by a digit
  Plus,
  Minus,
  Infinity,   // "∞" (U+221E) or the word "inf"
  Exponent,   // an exponent marker followed by "+", "-" or a digit; the token is the marker
  Imaginary,  // an imaginary-unit character standing alone
  Undefined,  // the word "NaN"
  Error,      // any other word or character
};
struct NumberToken {
  NumberTokenKind kind;
  std::int64_t start;
  std::int64_t end;  // one past the last character
};
// Reads the token at pos of text[0, length); never looks at text[length] or beyond.
NumberToken scan_number_token(const char16_t* text, std::int64_t length, std::int64_t pos,
                              std::uint32_t flags);
// The separator characters in force: the three configured slots, or "." and "'" with
// kFixedNotation. A character that is both a decimal and a thousands separator is read as the
// decimal separator.
bool is_decimal_separator(char16_t c, std::uint32_t flags);
bool is_thousands_separator(char16_t c, std::uint32_t flags);
// Separators must not be confused with the rest of a formula: control characters, the space,
// "(", ")", "+", "-" and the decimal digits are refused.
bool separator_char_allowed(char16_t c);

// Parses text (length -1: NUL-terminated); returns the round_limb for apply_rounding. Failures
// leave dst undefined with status 301 (grammar; also a null text or another negative length) or
// 100 (base). An exponent beyond the range gives +-infinity with status 200, or a silent +-0.
Word dec_parse(DecFloat* dst, const char16_t* text, std::int64_t length, std::uint32_t flags);
// Appends the text of x. With kKeepDecimalPoint a scientific mantissa without fractional digits
// gets the separator and "0" before the exponent marker ("5,0e+3").
void dec_format(TextSink& sink, const DecFloat* x, std::uint32_t flags);
// Characters a caller must provide for dec_format at the current precision.
std::int64_t dec_text_size(std::uint32_t flags);
// The notation step: digits holds count UTF-16 decimal digits, exponent is that of the first.
void format_digits(TextSink& sink, const char16_t* digits, std::int64_t count, bool negative,
                   std::int64_t exponent, std::uint32_t flags);
