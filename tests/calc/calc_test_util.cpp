#include "tests/calc/calc_test_util.h"

#include "app/app_error.h"
#include "app/messages.h"
#include "app/utf8.h"
#include "core/decfloat.h"
#include "core/text.h"
#include "core/thread_scratch.h"
#include "formula/formula.h"

std::u16string u16(const std::string& s) {
  std::u16string out;
  EXPECT_TRUE(utf8_to_utf16(s, out)) << s;
  return out;
}

std::string u8(const std::u16string& s) {
  return utf16_to_utf8(s);
}

void CalcTest::SetUp() {
  arith_reset();
  g_number_settings = NumberSettings{};
  attach_formula_error(&g_formula_error);
  load_texts(kLanguageEnglish);
  clear_app_error();
  thread_scratch_init();
  calc_set_precision(state, 16);
  calc_set_number_type(state, kTypeReal);
}

void CalcTest::TearDown() {
  EXPECT_EQ(g_arith.status, 0u);
  clear_app_error();
  thread_scratch_free();
}

std::string CalcTest::calc(const std::string& formula, const std::vector<UserVariable>& vars) {
  clear_app_error();
  std::u16string text = u16(formula);
  append_missing_parens(text);
  VariableTableStorage storage;
  build_variable_table(storage, state.result_text, vars);
  if (calc_evaluate(state, text.c_str(), storage.table, &fell_back)) calc_format_result(state);
  const std::uint32_t code = app_error_code();
  if (code == 0) return field();
  const std::string out = "error " + std::to_string(code) + " " +
                          std::to_string(g_formula_error.code) + "@" +
                          std::to_string(g_formula_error.position);
  clear_app_error();
  return out;
}
