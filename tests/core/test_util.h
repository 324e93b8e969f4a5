// Test helpers: a record of the current precision on the heap, and a plain text form of it
// that does not depend on the formatter under test.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "core/decfloat.h"
#include "core/word_arith.h"

struct Dec {
  // Room for any precision, so a record made before a change of precision stays valid.
  std::vector<Word> w = std::vector<Word>(static_cast<std::size_t>(kMaxLimbs) + 8, 0);
  DecFloat* p() { return w.data(); }
  const DecFloat* p() const { return w.data(); }
  operator DecFloat*() { return w.data(); }
  operator const DecFloat*() const { return w.data(); }
};

// "d.ddd...e<E>" with all P digits, "-" for negative values, "0", "-0", "inf", "-inf", "NaN".
inline std::string raw_text(const DecFloat* x) {
  const bool neg = dec_negative(x);
  if (is_special(x)) {
    if (is_undefined(x)) return "NaN";
    return std::string(neg ? "-" : "") + (is_zero(x) ? "0" : "inf");
  }
  std::string digits;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(x[1]));
  digits = buf;
  for (std::int64_t i = 2; i <= g_arith.limb_count; ++i) {
    std::snprintf(buf, sizeof buf, "%019llu", static_cast<unsigned long long>(x[i]));
    digits += buf;
  }
  std::string s;
  if (neg) s.push_back('-');
  s.push_back(digits[0]);
  if (digits.size() > 1) {
    s.push_back('.');
    s.append(digits, 1, std::string::npos);
  }
  s.push_back('e');
  s.append(std::to_string(dec_exponent(x)));
  return s;
}

// Builds a value from "digits" and the exponent of its leading digit, truncated to P digits,
// without the parser: for tests of the arithmetic itself.
inline void set_digits(DecFloat* x, const std::string& digits, std::int64_t e, bool neg = false) {
  const std::int64_t p = g_arith.precision, n = g_arith.limb_count, k = g_arith.top_digits;
  std::string d = digits;
  d.resize(static_cast<std::size_t>(p), '0');
  std::size_t pos = 0;
  for (std::int64_t i = 0; i < n; ++i) {
    const std::int64_t width = i == 0 ? k : 19;
    Word v = 0;
    for (std::int64_t j = 0; j < width; ++j) v = v * 10 + static_cast<Word>(d[pos++] - '0');
    x[1 + i] = v;
  }
  x[0] = static_cast<Word>(e) * 2 + (neg ? 1 : 0);
}

// Whether a and b (normal values of the current precision, or equal specials) differ by at
// most one unit in the last place of b.
bool within_one_ulp(const DecFloat* a, const DecFloat* b);

// Reads "+ digits exp", "- digits exp", "0", "-0", "inf", "-inf" or "NaN" from a line of
// reference data into x at the current precision.
class LineReader {
 public:
  explicit LineReader(const std::string& line) : line_(line) {}
  std::string word();
  void number(DecFloat* x);

 private:
  std::string line_;
  std::size_t pos_ = 0;
};
