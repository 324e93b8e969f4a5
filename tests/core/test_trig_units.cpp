// Trigonometric functions in degrees and gon next to every multiple of the eighth turn, against
// mpmath (tests/data/gen_trig_units.py): the exact reduction in the angle's own unit keeps every
// digit where the conversion to radians first would cancel them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "core/arith.h"
#include "core/elementary.h"
#include "core/trig.h"
#include "tests/core/test_util.h"

namespace {

// A plain decimal such as "-179.99995" into x at the current precision (at most P digits).
void set_decimal(DecFloat* x, const std::string& text) {
  const bool neg = text[0] == '-';
  std::string s = text.substr(neg ? 1 : 0);
  const std::size_t dot = s.find('.');
  std::int64_t int_len = static_cast<std::int64_t>(dot == std::string::npos ? s.size() : dot);
  if (dot != std::string::npos) s.erase(dot, 1);
  const std::size_t first = s.find_first_not_of('0');
  const std::int64_t e = int_len - 1 - static_cast<std::int64_t>(first);
  set_digits(x, s.substr(first), e, neg);
}

}  // namespace

TEST(TrigUnitsTest, NextToMultiplesOfTheEighthTurn) {
  std::ifstream file(NUMERION_TEST_DATA "/trig_units.txt");
  ASSERT_TRUE(file) << "missing test data";
  std::string line;
  int count = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string fn, arg, eq, want;
    std::uint64_t unit;
    std::int64_t p;
    in >> fn >> unit >> p >> arg >> eq >> want;
    arith_reset();
    set_precision(p);
    Dec x, r;
    set_decimal(x, arg);
    dec_trig_rounded(r, x, fn == "sin" ? 0 : fn == "cos" ? 1 : 2, unit);
    EXPECT_EQ(raw_text(r), want) << line.substr(0, 80);
    EXPECT_EQ(g_arith.status, 0u) << line.substr(0, 80);
    ++count;
  }
  EXPECT_GT(count, 1000);
}
