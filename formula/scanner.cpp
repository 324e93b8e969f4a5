// The formula scanner: one token per call, nothing remembered but the position.
#include "core/text.h"
#include "formula/tokens.h"

namespace {

bool is_digit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool is_hex_letter(char16_t c) {
  return (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

bool is_imaginary_unit(char16_t c) {
  return c == g_number_settings.imaginary_unit[0] || c == g_number_settings.imaginary_unit[1];
}

bool is_exponent_letter(char16_t c) {
  for (char16_t m : g_number_settings.exponent_marker) {
    if (c == m) return true;
  }
  return false;
}

// A number starts at text[pos], a decimal digit. Points and exponents are not counted here:
// "1.2.3" is one token that the conversion rejects.
std::int64_t scan_number(const char16_t* text, std::int64_t pos, std::uint32_t flags) {
  unsigned base = 10;
  if (text[pos] == u'0') {
    const char16_t p = text[pos + 1];
    if (p == u'x' || p == u'X') base = 16;
    if (p == u'y' || p == u'Y') base = 2;
    if (p == u't' || p == u'T') base = 8;
    if (base != 10) pos += 2;
  }
  const bool grouping = (flags & kAllowGrouping) != 0;
  for (;;) {
    const char16_t c = text[pos];
    if (c == 0) break;
    if (is_digit(c) || (base == 16 && is_hex_letter(c)) || is_decimal_separator(c, flags) ||
        (grouping && is_thousands_separator(c, flags))) {
      ++pos;
    } else if (base == 10 && is_exponent_letter(c) &&
               (text[pos + 1] == u'+' || text[pos + 1] == u'-' || is_digit(text[pos + 1]))) {
      pos += 2;
    } else {
      break;
    }
  }
  return pos;
}

}  // namespace

bool is_name_start(char16_t c) {
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_' ||
         (c >= u'\u03B1' && c <= u'\u03C9') || (c >= u'\u0391' && c <= u'\u03A9');
}

bool is_name_char(char16_t c) {
  return is_name_start(c) || is_digit(c);
}

FormulaToken next_token(const char16_t* text, std::uint32_t flags, std::int64_t& position) {
  std::int64_t pos = position;
  while (text[pos] == u' ') ++pos;
  FormulaToken t;
  t.start = pos;
  const char16_t c = text[pos];
  if (c == 0) {
    t.kind = kTokEnd;
  } else if (is_digit(c)) {
    t.kind = kTokNumber;
    t.length = scan_number(text, pos, flags) - pos;
  } else if (is_imaginary_unit(c) && !is_name_char(text[pos + 1])) {
    t.kind = kTokImaginary;
    t.length = 1;
  } else if (is_name_start(c)) {
    std::int64_t end = pos + 1;
    while (is_name_char(text[end])) ++end;
    t.length = end - pos;
    const FunctionRow* row = find_function_name(text + pos, t.length);
    t.kind = row ? row->code : kTokIdentifier;
  } else {
    t.length = 1;
    switch (c) {
      case u'+':
        t.kind = kTokPlus;
        break;
      case u'-':
        t.kind = kTokMinus;
        break;
      case u'*':
        t.kind = kTokTimes;
        break;
      case u'/':
        t.kind = kTokDivide;
        break;
      case u'^':
        t.kind = kTokPower;
        break;
      case u'(':
        t.kind = kTokLeftParen;
        break;
      case u')':
        t.kind = kTokRightParen;
        break;
      case u';':
        t.kind = kTokSeparator;
        break;
      default:
        t.kind = kTokInvalid;
        t.length = 0;
    }
  }
  position = pos + t.length;
  return t;
}
