// Reading DecFloat values from UTF-16 text: the number settings, the number scanner and
// dec_parse. Every reader here is bounded by an explicit end index; nothing reads at or beyond
// it, so hostile texts of any length (embedded NULs included) are safe. No heap allocation.
// Status codes set here: 100 (base or separator setting), 301 (text not a number), 200 (through
// set_exponent_checked, for an exponent part that is too large).
#include <cstdint>
#include <limits>

#include "core/decfloat.h"
#include "core/text.h"
#include "core/word_arith.h"

thread_local constinit NumberSettings g_number_settings;

namespace {

constexpr char16_t kInfinitySign = u'\u221E';

bool is_decimal_digit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

bool is_base_digit(char16_t c, bool hex) {
  if (is_decimal_digit(c)) return true;
  return hex && ((c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'));
}

// Latin and Greek letters, as in names of the formula language.
bool is_letter(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') ||
         (c >= u'\u0391' && c <= u'\u03A9') || (c >= u'\u03B1' && c <= u'\u03C9');
}

bool is_exponent_marker(char16_t c) {
  for (char16_t m : g_number_settings.exponent_marker) {
    if (c == m) return true;
  }
  return false;
}

bool is_imaginary_unit(char16_t c) {
  return c == g_number_settings.imaginary_unit[0] || c == g_number_settings.imaginary_unit[1];
}

bool word_equals(const char16_t* text, std::int64_t start, std::int64_t end, const char* word) {
  std::int64_t i = start;
  for (; *word != 0; ++word, ++i) {
    if (i >= end || text[i] != static_cast<char16_t>(*word)) return false;
  }
  return i == end;
}

// The mantissa rule: a digit run in which a thousands separator is taken (with kAllowGrouping)
// and one decimal separator is taken only when a digit follows. text[pos] must be a digit.
// Calls on_digit(c) for every digit and on_point() for the decimal separator; returns the
// index behind the run.
template <class OnDigit, class OnPoint>
std::int64_t scan_mantissa(const char16_t* text, std::int64_t end, std::int64_t pos,
                           std::uint32_t flags, bool hex, OnDigit&& on_digit, OnPoint&& on_point) {
  const bool grouping = (flags & kAllowGrouping) != 0;
  bool point = false;
  while (pos < end) {
    const char16_t c = text[pos];
    if (is_base_digit(c, hex)) {
      on_digit(c);
      ++pos;
      continue;
    }
    const bool digit_follows = pos + 1 < end && is_base_digit(text[pos + 1], hex);
    if (!digit_follows) break;
    if (is_decimal_separator(c, flags)) {
      if (point) break;  // a second separator ends the token
      point = true;
      on_point();
      ++pos;
      continue;
    }
    if (grouping && is_thousands_separator(c, flags)) {
      ++pos;
      continue;
    }
    break;
  }
  return pos;
}

std::int64_t text_end(const char16_t* text, std::int64_t length) {
  if (text == nullptr) return 0;
  if (length == -1) {
    std::int64_t n = 0;
    while (text[n] != 0) ++n;
    return n;
  }
  return length < 0 ? 0 : length;  // any other negative length reads nothing
}

// Collects the significant digits of a mantissa into the limbs of dst: the top limb takes k
// digits, every further limb 19, up to P digits; the first digit beyond P is kept as the
// round_limb. Also tracks where the leading digit stands relative to the decimal separator.
struct MantissaFiller {
  explicit MantissaFiller(DecFloat* x)
      : dst(x),
        limbs(g_arith.limb_count),
        precision(g_arith.precision),
        room(static_cast<int>(g_arith.top_digits)) {}

  DecFloat* dst;
  std::int64_t limbs;      // n
  std::int64_t precision;  // P
  std::int64_t limb = 1;   // next limb to write
  int room;                // digits the current limb takes in all (k for the top limb)
  int filled = 0;
  Word acc = 0;
  std::int64_t significant = 0;        // significant digits seen, counted up to P + 1
  std::int64_t int_digits = 0;         // digits before the separator from the first significant one
  std::int64_t zeros_after_point = 0;  // zeros between the separator and the first significant
  Word round_limb = 0;
  bool point = false;

  void digit(char16_t c) {
    const Word d = static_cast<Word>(c - u'0');
    if (significant == 0 && d == 0) {
      if (point) ++zeros_after_point;
      return;
    }
    if (!point) ++int_digits;
    if (significant < precision) {
      acc = acc * 10 + d;
      if (++filled == room) {
        dst[limb++] = acc;
        acc = 0;
        filled = 0;
        room = 19;
      }
      ++significant;
    } else if (significant == precision) {
      round_limb = d * kPow10[18];
      ++significant;
    }
  }

  void finish() {
    if (limb <= limbs) dst[limb++] = acc * kPow10[room - filled];
    while (limb <= limbs) dst[limb++] = 0;
  }

  // Exponent of the leading significant digit; only meaningful when significant > 0.
  std::int64_t exponent() const { return int_digits > 0 ? int_digits - 1 : -zeros_after_point - 1; }
};

Word parse_failed(DecFloat* dst) {
  make_undefined(dst, MathStatus::InvalidNumber);
  return 0;
}

// Largest exponent part that is taken as a number; more counts as overflow.
constexpr Word kExponentPartLimit = 0x7fffffff80000001ULL;

}  // namespace

bool is_decimal_separator(char16_t c, std::uint32_t flags) {
  if (flags & kFixedNotation) return c == u'.';
  const char16_t* s = g_number_settings.decimal_sep;
  return c == s[0] || c == s[1] || c == s[2];
}

bool is_thousands_separator(char16_t c, std::uint32_t flags) {
  if (is_decimal_separator(c, flags)) return false;
  if (flags & kFixedNotation) return c == u'\'';
  const char16_t* s = g_number_settings.thousands_sep;
  return c == s[0] || c == s[1] || c == s[2];
}

bool separator_char_allowed(char16_t c) {
  if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) return false;
  if (c == u' ' || c == u'(' || c == u')' || c == u'+' || c == u'-') return false;
  return !is_decimal_digit(c);
}

void set_separator_slots(char16_t slots[3], const char16_t* text, int length, char16_t fallback) {
  int n = 0;
  if (text != nullptr) {
    if (length < 0) {
      while (n < 3 && text[n] != 0) ++n;
    } else {
      n = length < 3 ? length : 3;
    }
  }
  char16_t value[3];
  for (int i = 0; i < 3; ++i) value[i] = n == 0 ? fallback : text[i < n ? i : n - 1];
  for (char16_t c : value) {
    if (!separator_char_allowed(c)) {
      set_status(MathStatus::InvalidSetting);
      return;
    }
  }
  for (int i = 0; i < 3; ++i) slots[i] = value[i];
}

NumberToken scan_number_token(const char16_t* text, std::int64_t length, std::int64_t pos,
                              std::uint32_t flags) {
  const std::int64_t end = length < 0 ? 0 : length;
  if (text == nullptr || pos < 0 || pos >= end) return {NumberTokenKind::End, pos, pos};
  const bool hex = (flags & kBaseMask) == 16;
  const char16_t c = text[pos];
  if (is_base_digit(c, hex)) {
    bool point = false;
    const std::int64_t stop = scan_mantissa(
        text, end, pos, flags, hex, [](char16_t) {}, [&point] { point = true; });
    return {point ? NumberTokenKind::DigitsPoint : NumberTokenKind::Digits, pos, stop};
  }
  if (c == u'+') return {NumberTokenKind::Plus, pos, pos + 1};
  if (c == u'-') return {NumberTokenKind::Minus, pos, pos + 1};
  if (c == kInfinitySign) return {NumberTokenKind::Infinity, pos, pos + 1};
  if (is_exponent_marker(c) && pos + 1 < end) {
    const char16_t next = text[pos + 1];
    if (next == u'+' || next == u'-' || is_decimal_digit(next)) {
      return {NumberTokenKind::Exponent, pos, pos + 1};
    }
  }
  if (is_letter(c)) {
    std::int64_t stop = pos + 1;
    while (stop < end && (is_letter(text[stop]) || is_decimal_digit(text[stop]))) ++stop;
    NumberTokenKind kind = NumberTokenKind::Error;
    if (stop == pos + 1 && is_imaginary_unit(c)) {
      kind = NumberTokenKind::Imaginary;
    } else if (word_equals(text, pos, stop, "inf")) {
      kind = NumberTokenKind::Infinity;
    } else if (word_equals(text, pos, stop, "NaN")) {
      kind = NumberTokenKind::Undefined;
    }
    return {kind, pos, stop};
  }
  // An imaginary unit configured as a non-letter still stands for itself.
  if (is_imaginary_unit(c)) return {NumberTokenKind::Imaginary, pos, pos + 1};
  return {NumberTokenKind::Error, pos, pos + 1};
}

// Grammar: [sign] (mantissa [exponent-marker [sign] digits] | infinity | NaN), spaces trimmed.
// The mantissa digits go straight into dst while the text is read, so the text is read once.
Word dec_parse(DecFloat* dst, const char16_t* text, std::int64_t length, std::uint32_t flags) {
  std::int64_t end = text_end(text, length);
  std::int64_t pos = 0;
  while (pos < end && text[pos] == u' ') ++pos;
  while (end > pos && text[end - 1] == u' ') --end;

  const std::uint32_t base = flags & kBaseMask;
  if (base != 0 && base != 10) {
    make_undefined(dst, MathStatus::InvalidSetting);
    return 0;
  }

  bool negative = false;
  if (pos < end && (text[pos] == u'+' || text[pos] == u'-')) {
    negative = text[pos] == u'-';
    ++pos;
  }
  if (pos >= end) return parse_failed(dst);

  if (!is_decimal_digit(text[pos])) {
    const NumberToken t = scan_number_token(text, end, pos, flags & ~kBaseMask);
    if (t.end != end) return parse_failed(dst);
    if (t.kind == NumberTokenKind::Infinity && (flags & kAllowInfinity)) {
      make_infinity(dst, negative);
      return 0;
    }
    if (t.kind == NumberTokenKind::Undefined && (flags & kAllowNaN)) {
      make_undefined(dst);
      return 0;
    }
    return parse_failed(dst);
  }

  MantissaFiller m(dst);
  pos = scan_mantissa(
      text, end, pos, flags, false, [&m](char16_t c) { m.digit(c); }, [&m] { m.point = true; });
  m.finish();

  // Exponent part: marker, optional sign, plain digits, nothing after them.
  bool exp_negative = false;
  bool exp_overflow = false;
  Word exp_value = 0;
  if (pos < end) {
    if (scan_number_token(text, end, pos, flags).kind != NumberTokenKind::Exponent) {
      return parse_failed(dst);
    }
    ++pos;
    if (text[pos] == u'+' || text[pos] == u'-') {
      exp_negative = text[pos] == u'-';
      ++pos;
    }
    const std::int64_t digits_start = pos;
    int significant = 0;
    for (; pos < end && is_decimal_digit(text[pos]); ++pos) {
      const Word d = static_cast<Word>(text[pos] - u'0');
      if (significant == 0 && d == 0) continue;
      if (significant < 19) {
        exp_value = exp_value * 10 + d;
        ++significant;
      } else {
        exp_overflow = true;
      }
    }
    if (pos == digits_start || pos != end) return parse_failed(dst);
    if (exp_value >= kExponentPartLimit) exp_overflow = true;
  }

  if (m.significant == 0) {
    make_zero(dst, negative);  // zero whatever the exponent
    return 0;
  }

  // Saturate instead of wrapping: anything beyond the int64 range is far outside the normal
  // exponents, so set_exponent_checked turns it into infinity (status 200) or a silent zero.
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  std::int64_t e;
  if (exp_overflow) {
    e = exp_negative ? kMin : kMax;
  } else {
    const std::int64_t part =
        exp_negative ? -static_cast<std::int64_t>(exp_value) : static_cast<std::int64_t>(exp_value);
    if (__builtin_add_overflow(m.exponent(), part, &e)) e = part < 0 ? kMin : kMax;
  }
  if (!set_exponent_checked(dst, e, negative)) return 0;
  return m.round_limb;
}
