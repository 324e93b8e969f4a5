#include "tests/core/test_util.h"

#include "core/arith.h"

bool within_one_ulp(const DecFloat* a, const DecFloat* b) {
  if (is_special(a) || is_special(b)) {
    return a[0] == b[0] && a[1] == b[1];
  }
  std::vector<Word> d(static_cast<std::size_t>(kMaxLimbs) + 8);
  dec_add_sub(d.data(), a, b, 1);
  if (is_zero(d.data())) return true;
  // |a - b| <= 10^(E(b) - P + 1)
  return dec_compare_short(d.data(), 1, dec_exponent(b) - g_arith.precision + 1, true) <= 0;
}

std::string LineReader::word() {
  while (pos_ < line_.size() && line_[pos_] == ' ') ++pos_;
  const std::size_t start = pos_;
  while (pos_ < line_.size() && line_[pos_] != ' ') ++pos_;
  return line_.substr(start, pos_ - start);
}

void LineReader::number(DecFloat* x) {
  const std::string t = word();
  if (t == "0" || t == "-0") return make_zero(x, t == "-0");
  if (t == "inf" || t == "-inf") return make_infinity(x, t == "-inf");
  if (t == "NaN") return make_undefined(x);
  const std::string digits = word();
  const std::int64_t e = std::stoll(word());
  set_digits(x, digits, e, t == "-");
}
