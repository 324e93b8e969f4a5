// The basic operations against reference values made by Python's decimal module
// (tests/data/gen_arith.py): correctly rounded half up at precisions from 1 to 10005.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "core/arith.h"
#include "tests/core/test_util.h"

namespace {

// Reads one number token group ("+ digits exp", "0", "-0", "inf", "-inf", "NaN") into x and
// returns its text in raw_text's form.
std::string read_number(std::istringstream& in, DecFloat* x) {
  std::string t;
  in >> t;
  if (t == "0" || t == "-0") {
    make_zero(x, t == "-0");
    return t;
  }
  if (t == "inf" || t == "-inf") {
    make_infinity(x, t == "-inf");
    return t;
  }
  if (t == "NaN") {
    make_undefined(x);
    return t;
  }
  std::string digits;
  std::int64_t e;
  in >> digits >> e;
  set_digits(x, digits, e, t == "-");
  std::string s = t == "-" ? "-" : "";
  s.push_back(digits[0]);
  if (digits.size() > 1) {
    s.push_back('.');
    s.append(digits, 1, std::string::npos);
  }
  s.push_back('e');
  s.append(std::to_string(e));
  return s;
}

std::string zero_unsigned(std::string s) {
  return s == "-0" ? "0" : s;
}

}  // namespace

TEST(ArithReference, MatchesDecimalModule) {
  std::ifstream file(NUMERION_TEST_DATA "/arith.txt");
  ASSERT_TRUE(file) << "missing test data";
  std::string line;
  std::map<std::string, int> checked;
  int failures = 0;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string op, eq;
    std::int64_t p;
    in >> op >> p;
    arith_reset();
    set_precision(p);
    Dec a, b, r, r2, want, want2;
    read_number(in, a);
    std::string bt;
    if (op == "pow" || op == "round") {
      in >> bt;  // unused operand
    } else {
      read_number(in, b);
    }
    std::int64_t m = 0;
    if (op == "pow" || op == "round") in >> m;
    in >> eq;
    std::string expected = read_number(in, want);
    std::string got, got2, expected2;
    if (op == "add") {
      dec_add_rounded(r, a, b);
      got = zero_unsigned(raw_text(r));  // the sign of an exact zero sum is our own rule
      expected = zero_unsigned(expected);
    } else if (op == "sub") {
      dec_sub_rounded(r, a, b);
      got = zero_unsigned(raw_text(r));
      expected = zero_unsigned(expected);
    } else if (op == "mul") {
      dec_mul_rounded(r, a, b);
      got = raw_text(r);
    } else if (op == "div") {
      dec_div_rounded(r, a, b);
      got = raw_text(r);
    } else if (op == "divmod") {
      expected2 = read_number(in, want2);
      dec_divmod(r, r2, a, b);
      got = raw_text(r);
      got2 = zero_unsigned(raw_text(r2));
      expected2 = zero_unsigned(expected2);
    } else if (op == "pow") {
      dec_pow_int(r, a, m);
      got = raw_text(r);
    } else if (op == "round") {
      dec_round_digits(r, a, m);
      got = raw_text(r);
    } else {
      FAIL() << "unknown op " << op;
    }
    const bool ok = got == expected && got2 == expected2 && g_arith.status == 0;
    if (!ok && ++failures <= 10) {
      ADD_FAILURE() << op << " at P=" << p << " m=" << m << "\n a=" << raw_text(a)
                    << "\n b=" << raw_text(b) << "\n got " << got << " " << got2 << "\n want "
                    << expected << " " << expected2 << "\n status " << g_arith.status;
    }
    ++checked[op];
  }
  EXPECT_EQ(failures, 0);
  for (const char* op : {"add", "sub", "mul", "div", "divmod", "pow", "round"}) {
    EXPECT_GT(checked[op], 100) << op;
  }
}
