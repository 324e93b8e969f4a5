// Bad input and resources: every text gives a value or a positioned error; the scratch block is
// never overrun and is given back; a pass takes nothing from the heap.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>
#include <string>

#include "core/thread_scratch.h"
#include "formula/tokens.h"
#include "tests/formula/formula_test_util.h"

namespace {
std::atomic<bool> g_count_allocations{false};
std::atomic<long> g_allocations{0};
// Called through a pointer so that the compiler does not pair it with the `new` it sees.
void (*volatile g_release)(void*) = std::free;
}  // namespace

// Counts heap allocations while a test asks for it.
void* operator new(std::size_t size) {
  if (g_count_allocations.load(std::memory_order_relaxed)) ++g_allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  g_release(p);
}
void operator delete(void* p, std::size_t) noexcept {
  g_release(p);
}

namespace {

class Robustness : public FormulaTest {
 protected:
  // The outcome is a value or an error code of the engine with a position inside the text.
  void expect_sane(const std::u16string& text) {
    const EvalResult r = eval16(text);
    if (r.code == 0) return;
    EXPECT_GE(r.code, 10200u);
    EXPECT_LE(r.code, 10212u);
    EXPECT_LE(r.position, text.size() + 1) << u8(text);
  }
};

TEST_F(Robustness, DeepNestingAndLongFormulas) {
  expect_error(std::string(10000, '(') + "1" + std::string(10000, ')'), kFormulaStackFull, 1);
  expect_error(std::string(10000, ')'), kFormulaSyntax, 1);
  std::string sum = "1";
  for (int i = 1; i < 50000; ++i) sum += "+1";
  ASSERT_EQ(sum.size(), 99999u);
  expect_value(sum, "50000");
  std::string minus = "1";
  for (int i = 1; i < 50000; ++i) minus += "-1";
  expect_value(minus, "-49998");
  expect_error(std::string(100000, '+'), kFormulaSyntax, 2);
  expect_error(std::string(100000, ' '), kFormulaUnexpectedEnd, 100001);
  expect_error(std::string("1") + std::string(100000, '\t'), kFormulaSyntax, 2);
  std::string names(100000, 'x');
  expect_error(names, kFormulaUnknownVariable, 1);
}

TEST_F(Robustness, EveryCodeUnitAndEveryPlane) {
  for (std::uint32_t c = 1; c <= 0xFFFF; ++c) {
    const char16_t ch = static_cast<char16_t>(c);
    expect_sane(std::u16string(1, ch));
    expect_sane(std::u16string(u"2+") + ch + u"3");
    expect_sane(std::u16string(u"sin(") + ch + u")");
  }
  // One character of each supplementary plane, as a surrogate pair, and lone surrogates.
  for (std::uint32_t plane = 1; plane <= 16; ++plane) {
    const std::uint32_t cp = plane * 0x10000 + 0x1234;
    const char16_t hi = static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
    const char16_t lo = static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
    const EvalResult r = eval16(std::u16string(u"1+") + hi + lo);
    EXPECT_EQ(r.code, kFormulaSyntax);
    EXPECT_EQ(r.position, 3u);
  }
  expect_error("\xED\xB0\x80", kFormulaSyntax, 1);  // U+DC00 alone
}

TEST_F(Robustness, HugeNumbersInEveryType) {
  const std::string digits(50000, '7');
  EvalResult r = eval(digits + "+1");
  EXPECT_EQ(r.code, 0u);
  r = eval(std::string("0.") + digits);
  EXPECT_EQ(r.code, 0u);
  use(kTypeComplex);
  EXPECT_EQ(eval(digits + "i").code, 0u);
  use(kTypeUInt, 16, 2000);  // 38,531 digits at most
  expect_error(digits, kFormulaBadNumber, 1);
  expect_error(std::string("0x") + std::string(50000, 'F'), kFormulaBadNumber, 1);
  use(kTypeRational, 16, 1000);
  expect_error(std::string("1+") + digits, kFormulaBadNumber, 3);
  use(kTypeReal, 10005);
  expect_value(std::string(10005, '9') + "+1", "1e10005");
}

TEST_F(Robustness, WrongArgumentCountsForEveryFunction) {
  use(kTypeComplex);
  for (const FunctionRow& row : kFunctionTable) {
    if (!is_function_kind(row.code)) continue;
    const std::string name = u8(row.name);
    std::string args = "2";
    for (std::uint32_t i = 0; i <= row.params; ++i) args += ";2";
    expect_error(std::string("1+") + name + "(" + args + ")", kFormulaParamCount, 3);
    expect_error(name + "()", kFormulaSyntax, static_cast<std::uint32_t>(name.size() + 2));
    if (row.params > 1) expect_error(name + "(2)", kFormulaParamCount, 1);
  }
}

// Random token soups in every type: each ends in a value or a positioned error.
TEST_F(Robustness, RandomTokenSoup) {
  const char* pieces[] = {"1",      "0",           "2.5", "1e3",  "0x1F",  "0y101", "(",    ")",
                          "(",      ")",           "+",   "-",    "*",     "/",     "^",    " mod ",
                          ";",      "i",           "pi",  "x",    "sin",   "sqrt",  "root", "rootc",
                          "powmod", "fact",        "ncr", "log2", "tand",  "90",    "\t",   "e",
                          "1.2.3",  "99999999999", "gcd", "arg",  "round", " "};
  Vars v;
  v.add("ans", "3").add("x", "-2");
  std::mt19937 rng(20240607);
  const std::uint32_t types[] = {kTypeReal, kTypeComplex, kTypeUInt, kTypeRational};
  for (int round = 0; round < 4000; ++round) {
    use(types[round % 4], 20, 4);
    std::string f;
    const int n = 1 + static_cast<int>(rng() % 14);
    for (int i = 0; i < n; ++i) f += pieces[rng() % (sizeof pieces / sizeof *pieces)];
    const EvalResult r = eval(f, v.table());
    if (r.code != 0) {
      EXPECT_GE(r.code, 10200u) << f;
      EXPECT_LE(r.code, 10212u) << f;
      EXPECT_LE(r.position, u16(f).size() + 1) << f;
    }
  }
}

TEST_F(Robustness, ScratchExhaustionIsAnError) {
  // 100 rationals of 1000 limbs do not fit the 1,200,000-byte block.
  use(kTypeRational, 16, 1000);
  Vars v;
  std::string formula;
  for (int i = 0; i < 100; ++i) {
    std::string name = "v";
    name += std::to_string(i);
    v.add(name, "1");
    if (i > 0) formula += '+';
    formula += name;
  }
  const EvalResult r = eval(formula, v.table());
  EXPECT_EQ(r.code, kFormulaArithmetic);
  EXPECT_GT(r.position, 1u);
  // A caller that left almost nothing of the block gets the error at the first value.
  use(kTypeReal);
  std::uint8_t* mark = scratch_position();
  ASSERT_NE(thread_scratch_alloc(kThreadScratchBytes - 8), nullptr);
  expect_error("1+2", kFormulaArithmetic, 1);
  set_scratch_position(mark);
  // Without a block at all the same.
  thread_scratch_free();
  expect_error("1+2", kFormulaArithmetic, 1);
  thread_scratch_init();
  expect_value("1+2", "3");
}

TEST_F(Robustness, NoHeapAllocationDuringAPass) {
  Vars v;
  v.add("ans", "3").add("x", "2");
  struct Case {
    std::uint32_t type;
    std::int64_t digits;
    const char* formula;
  };
  const Case cases[] = {
      {kTypeReal, 16, "sin(1)+cos(1)*exp(2)/3-ln(x)+sqrt(ans)^3 mod 2+tand(45)+asind(0.5)"},
      {kTypeReal, 1000, "sin(1)+cos(1)*exp(2)/3+root(3;ans)+2^0.5+logx(3;7)+ncr(10;4)"},
      {kTypeComplex, 50, "(1+2i)*(3-4i)/(x+i)+sqrtc(-4;1)+argd(1+i)+abs(3+4i)^x"},
      {kTypeUInt, 16, "2^200/3^20+powmod(3;1000;1000007)+fact(30) mod 7+sqrt(10)+ncr(60;30)"},
      {kTypeRational, 16, "(1/3+1/6)^x*cbrt(27/8)-ans+2^(-3)+round(7/2)+log2(1/8)"},
  };
  for (const Case& c : cases) {
    use(c.type, c.digits, 8);
    ASSERT_EQ(eval(c.formula, v.table()).code, 0u) << c.formula;  // warm-up
    std::vector<Word> result(num_words() + 1);
    const std::u16string text = u16(c.formula);
    FormulaContext ctx;
    ctx.text = text.c_str();
    ctx.flags = kAllowGrouping;
    ctx.variables = v.table();
    ctx.result = result.data();
    g_allocations = 0;
    g_count_allocations = true;
    evaluate_formula(ctx);
    g_count_allocations = false;
    EXPECT_EQ(g_formula_error.code, 0u) << c.formula;
    EXPECT_EQ(g_allocations.load(), 0) << c.formula;
  }
}

}  // namespace
