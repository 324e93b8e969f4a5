// Elementary functions beyond the reference values: the constant tables against the mpmath
// digits they were made from, the small tables against the constants, the length the tables
// need at the highest precision, stop requests, and the factorial's choice of method.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "core/arith.h"
#include "core/constants.h"
#include "core/elementary.h"
#include "core/elementary_internal.h"
#include "tests/core/test_util.h"

namespace {

struct NamedTable {
  const char* name;
  const ConstantTable<kConstantLimbs>* table;
};
const NamedTable kTables[] = {{"pi/4", &kConstPiQuarter},        {"ln(1.2)", &kConstLn1_2},
                              {"ln(1.01)", &kConstLn1_01},       {"ln(2)", &kConstLn2},
                              {"atan(1/351)", &kConstAtan1_351}, {"ln(10)", &kConstLn10},
                              {"1/ln(10)", &kConstLog10E},       {"atan(1/21)", &kConstAtan1_21}};

std::map<std::string, std::pair<int, std::string>> mpmath_digits() {
  std::map<std::string, std::pair<int, std::string>> out;
  std::ifstream file(NUMERION_TEST_DATA "/../../tools/data/constants.txt");
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    std::string name, digits;
    int e;
    in >> name >> e >> digits;
    out[name] = {e, digits};
  }
  return out;
}

}  // namespace

// Every digit of the compiled tables is the mpmath digit (tools/check_constants.py checks the
// same tables against an independent integer computation).
TEST(ElemTables, ConstantTablesMatchMpmathDigits) {
  const auto ref = mpmath_digits();
  ASSERT_EQ(ref.size(), 8u) << "tools/data/constants.txt missing";
  for (const NamedTable& t : kTables) {
    const auto it = ref.find(t.name);
    ASSERT_NE(it, ref.end()) << t.name;
    EXPECT_EQ(t.table->head.limb_count, kConstantLimbs);
    EXPECT_EQ(t.table->head.exponent, it->second.first) << t.name;
    std::string digits;
    char buf[24];
    for (std::size_t i = 0; i < kConstantLimbs; ++i) {
      std::snprintf(buf, sizeof buf, "%019llu", static_cast<unsigned long long>(t.table->limbs[i]));
      digits += buf;
    }
    ASSERT_GE(it->second.second.size(), digits.size());
    EXPECT_EQ(digits, it->second.second.substr(0, digits.size())) << t.name;
  }
}

// The reduction bounds are the leading digits of (j + 0.5) ln f computed from the tables, and
// the word powers are exact.
TEST(ElemTables, SmallTablesAgreeWithConstants) {
  arith_reset();
  set_precision(40);
  Dec c, b;
  const struct {
    const elem::ReductionTable* t;
    const ConstantTable<kConstantLimbs>* ln;
    std::uint64_t factor;
  } cases[] = {{&elem::kReduce12, &kConstLn1_2, 12}, {&elem::kReduce101, &kConstLn1_01, 101}};
  for (const auto& k : cases) {
    load_constant(c, *k.ln);
    for (int j = 0; j < k.t->exp_entries; ++j) {
      dec_mul_word(b, c, static_cast<std::uint64_t>(2 * j + 1));
      dec_div_word(b, b, 2, 0);
      const std::int64_t e = dec_exponent(b);
      const std::uint64_t scaled = elem::leading19(b) / kPow10[9 - e];
      EXPECT_EQ(k.t->half_steps[j], scaled) << k.factor << " step " << j;
    }
    std::uint64_t v = 1;
    for (int j = 0; j < k.t->log_entries; ++j) {
      EXPECT_EQ(k.t->powers[j].value, v);
      EXPECT_EQ(k.t->powers[j].recip, reciprocal_of(v));
      v *= k.factor;
    }
  }
  EXPECT_EQ(elem::kPow12[13].value, 106993205379072ULL);
  // The exact powers of two equal 2^64 and 2^128 from integer powering.
  Dec p, want;
  dec_from_word(b, 2);
  load_constant(p, elem::kTwoPow64);
  dec_pow_int(want, b, 64);
  EXPECT_EQ(raw_text(p), raw_text(want));
  load_constant(p, elem::kTwoPow128);
  dec_pow_int(want, b, 128);
  EXPECT_EQ(raw_text(p), raw_text(want));
  set_precision(100);
  Dec two, p2, w2;
  dec_from_word(two, 2);
  load_constant(p2, elem::kTwoPowMinus128);
  dec_pow_int(w2, two, -128);
  EXPECT_EQ(raw_text(p2), raw_text(w2));
  load_constant(p2, elem::kTwoPowMinus64);
  dec_pow_int(w2, two, -64);
  EXPECT_EQ(raw_text(p2), raw_text(w2));
  arith_reset();
}

// The deepest path at the highest precision: a power with 37 guard digits whose logarithm
// and exponential raise the precision again by the size of y ln x. It must stay within the
// digits the tables hold; the former 10,043-digit tables would not have sufficed.
TEST(ElemTables, HighestPrecisionStaysWithinTables) {
  arith_reset();
  set_precision(kMaxPrecision);
  reset_constant_precision_high_water();
  Dec x, y, r;
  set_digits(x, "100000000000001", 0);  // 1 + 10^-14
  set_digits(y, "9", 32);               // y ln x = 9 * 10^18
  dec_pow_rounded(r, x, y);
  EXPECT_EQ(g_arith.status, 0u);
  EXPECT_FALSE(is_special(r));
  const std::int64_t pow_high = constant_precision_high_water();
  EXPECT_GT(pow_high, 10043);
  EXPECT_LE(pow_high, 10100);
  set_digits(x, "106", 19);  // e^(1.06 * 10^19), just inside the exponent range
  dec_exp10_rounded(r, x, ExpMode::E);
  EXPECT_EQ(g_arith.status, 0u);
  EXPECT_FALSE(is_special(r));
  EXPECT_LE(constant_precision_high_water(), 10100);
  EXPECT_LE(constant_precision_high_water(), 19 * static_cast<std::int64_t>(kConstantLimbs));
  arith_reset();
}

// A load beyond the exact digits of a table is reported, not padded with zeros silently.
TEST(ElemTables, LoadBeyondTableSetsInternalLimit) {
  arith_reset();
  set_precision(kMaxPrecision);
  Dec c;
  {
    ContextScope gp =
        ContextScope::guard(19 * static_cast<std::int64_t>(kConstantLimbs) - kMaxPrecision + 1);
    DecFloat* w = scratch_dec();
    elem::load_checked(w, kConstLn2);
  }
  EXPECT_EQ(math_status(), MathStatus::InternalLimit);
  arith_reset();
}

TEST(ElemFactorial, MethodFollowsThresholds) {
  for (std::int64_t p : {1, 10, 16, 100, 1000, 10005})
    EXPECT_FALSE(factorial_uses_stirling(69, p)) << p;
  EXPECT_TRUE(factorial_uses_stirling(70, 10));
  EXPECT_FALSE(factorial_uses_stirling(70, 11));  // 70 + 6 = 76 from P = 11 on
  EXPECT_TRUE(factorial_uses_stirling(76, 11));
  EXPECT_FALSE(factorial_uses_stirling(99, 15));  // halfway between 70 and 130
  EXPECT_TRUE(factorial_uses_stirling(100, 15));
  EXPECT_FALSE(factorial_uses_stirling(48319, 1000));
  EXPECT_TRUE(factorial_uses_stirling(48320, 1000));
  EXPECT_TRUE(factorial_uses_stirling(4918983, 10005));
  EXPECT_FALSE(factorial_uses_stirling(4918982, 10005));
}

// A stop request ends the long loops with undefined and status 207.
TEST(ElemCancel, LongLoopsStop) {
  for (int which = 0; which < 4; ++which) {
    arith_reset();
    set_precision(which == 0 ? 1000 : 16);
    Dec n, k, r;
    g_cancel_request.store(1, std::memory_order_relaxed);
    if (which == 0) {  // factorial product
      dec_from_word(n, 20000);
      dec_factorial_rounded(r, n);
    } else if (which == 1) {  // Stirling's series
      dec_from_word(n, 1000000);
      dec_factorial_rounded(r, n);
    } else if (which == 2) {  // binomial product
      dec_from_word(n, 1000000);
      dec_from_word(k, 500000);
      dec_binomial_rounded(r, n, k, false);
    } else {  // Euclid's divisions
      set_digits(n, "1", 15);
      dec_from_word(k, 7);
      dec_gcd(r, n, k);
    }
    EXPECT_TRUE(is_undefined(r)) << which;
    EXPECT_EQ(math_status(), MathStatus::Cancelled) << which;
  }
  arith_reset();
}

// Integer n-th roots of exact powers, and the index limits of the machine-integer root.
TEST(ElemRoots, RootIntOfExactPowers) {
  arith_reset();
  set_precision(30);
  Dec x, r;
  dec_pow2_int(x, 100);
  apply_rounding(
      r, with_guard_digits(
             4, [](DecFloat* d, const DecFloat* a) { return dec_root_int(d, a, 100); }, r, x));
  EXPECT_EQ(raw_text(r), "2.00000000000000000000000000000e0");
  dec_root_int(r, x, 0);
  EXPECT_TRUE(is_undefined(r));
  EXPECT_EQ(math_status(), MathStatus::Undefined);
  arith_reset();
}
