#include "tests/formula/formula_test_util.h"

#include "core/text.h"
#include "integer/biguint.h"

std::uint8_t* scratch_position() {
  ThreadScratch* volatile block = &t_scratch;
  return block->pos;
}

void set_scratch_position(std::uint8_t* p) {
  ThreadScratch* volatile block = &t_scratch;
  block->pos = p;
}

std::u16string u16(const std::string& s) {
  std::u16string out;
  for (std::size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      out.push_back(c);
      i += 1;
    } else if ((c & 0xE0) == 0xC0) {
      out.push_back(static_cast<char16_t>(((c & 0x1F) << 6) | (s[i + 1] & 0x3F)));
      i += 2;
    } else {
      out.push_back(
          static_cast<char16_t>(((c & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F)));
      i += 3;
    }
  }
  return out;
}

std::string u8(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::vector<Word> literal(const std::string& text) {
  std::vector<Word> v(num_words() + 1, 0);
  const std::u16string t = u16(text);
  convert_literal(v.data(), t.c_str(), static_cast<std::int64_t>(t.size()), kAllowGrouping);
  EXPECT_EQ(g_arith.status, 0u) << "bad expected literal " << text;
  clear_status();
  return v;
}

std::string show(const std::vector<Word>& v) {
  std::u16string buf(200000, u'\0');
  const std::uint32_t saved = g_arith.status;
  const std::int64_t n =
      num_format(buf.data(), static_cast<std::int64_t>(buf.size()) - 1, v.data(), 0);
  g_arith.status = saved;
  buf.resize(static_cast<std::size_t>(n < 0 ? 0 : n));
  return u8(buf);
}

void FormulaTest::SetUp() {
  arith_reset();
  thread_scratch_init();
  use(kTypeReal);
}

void FormulaTest::TearDown() {
  EXPECT_EQ(g_arith.status, 0u);
  clear_formula_error();
  biguint_set_limbs(2);
  NumberType = kTypeNone;
  arith_reset();
}

void FormulaTest::use(std::uint32_t type, std::int64_t digits, std::int64_t limbs) {
  NumberType = type;
  set_precision(digits);
  biguint_set_limbs(limbs);
}

EvalResult FormulaTest::eval16(const std::u16string& text, const VariableTable* vars,
                               std::uint32_t flags) {
  EvalResult r;
  r.value.assign(num_words() + 1, 0xdeadbeef);
  FormulaContext ctx;
  ctx.text = text.c_str();
  ctx.flags = flags;
  ctx.variables = vars;
  ctx.result = r.value.data();
  const std::uint8_t* mark = scratch_position();
  evaluate_formula(ctx);
  EXPECT_EQ(scratch_position(), mark) << "scratch block not given back";
  EXPECT_EQ(g_arith.status, 0u) << "MathStatus left set";
  r.code = g_formula_error.code;
  r.position = g_formula_error.position;
  r.cause = g_formula_error.cause;
  r.inexact = ctx.inexact;
  return r;
}

EvalResult FormulaTest::eval(const std::string& text, const VariableTable* vars,
                             std::uint32_t flags) {
  return eval16(u16(text), vars, flags);
}

void FormulaTest::expect_value(const std::string& formula, const std::string& expected,
                               const VariableTable* vars) {
  const EvalResult r = eval(formula, vars);
  ASSERT_EQ(r.code, 0u) << formula << " failed at " << r.position;
  const std::vector<Word> want = literal(expected);
  const bool same = num_compare(r.value.data(), want.data(), false) == 0;
  clear_status();
  EXPECT_TRUE(same) << formula << " gave " << show(r.value) << ", expected " << expected;
}

void FormulaTest::expect_error(const std::string& formula, std::uint32_t code,
                               std::uint32_t position, const VariableTable* vars) {
  const EvalResult r = eval(formula, vars);
  EXPECT_EQ(r.code, code) << formula;
  EXPECT_EQ(r.position, position) << formula;
  EXPECT_TRUE(num_is_zero(r.value.data())) << formula << ": result not set to 0 on error";
}

Vars& Vars::add(const std::string& name, const std::string& value) {
  names_.push_back(u16(name));
  values_.push_back(u16(value));
  return *this;
}

const VariableTable* Vars::table() {
  table_.count = static_cast<std::uint32_t>(names_.size());
  for (std::size_t i = 0; i < names_.size() && i < kMaxVariableTableEntries; ++i) {
    table_.entries[i].name = names_[i].c_str();
    table_.entries[i].value = values_[i].c_str();
  }
  return &table_;
}
