// The application error record and its message.
#include "app/app_error.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "app/platform.h"
#include "core/decfloat.h"

thread_local constinit AppError g_app_error;

namespace {

constexpr MessageId kMsgErrorCaption = 108;
constexpr MessageId kMsgUnknownError = 142;
constexpr MessageId kMsgInternalFormulaError = 149;
constexpr std::uint32_t kFormulaErrorArithmetic = 10203;
constexpr std::uint32_t kFormulaErrorInternal = 10205;

thread_local constinit FormulaErrorView t_own_formula_error;
thread_local constinit FormulaErrorView* t_formula_error = nullptr;

void copy_param(char16_t (&dst)[kAppErrorParamLength + 1], const char16_t* src) {
  if (src == nullptr) src = u"?";
  std::int64_t n = 0;
  while (n < kAppErrorParamLength && src[n] != 0) {
    dst[n] = src[n];
    ++n;
  }
  if (n == kAppErrorParamLength && src[n] != 0) n = cut_with_ellipsis(dst, n);
  dst[n] = 0;
}

struct CodeMessage {
  std::uint32_t code;
  MessageId message;
};
constexpr CodeMessage kAppMessages[] = {
    {0, 109},    {1000, 110}, {1001, 111}, {1002, 112}, {1003, 113}, {1005, 114}, {1006, 115},
    {1007, 116}, {1100, 143}, {1201, 117}, {1203, 118}, {1204, 119}, {1205, 120}, {1300, 121},
    {2000, 122}, {2001, 123}, {2002, 124}, {2003, 125}, {2004, 126}, {2005, 127}, {2006, 128},
    {3000, 129}, {3100, 130}, {3101, 131}, {3300, 132}, {3301, 133}, {3302, 134}, {3303, 135},
    {3400, 136}, {3401, 137}, {3402, 138}, {9000, 139}, {9001, 140}, {9002, 141},
};

// The causes of formula error 10203 with a text of their own (MathStatus values); every other
// cause, a result too large among them, keeps the overflow text.
constexpr CodeMessage kArithmeticCauses[] = {
    {201, 197},  // a result too small
    {202, 194},  // division by zero
    {203, 195},  // outside the domain
    {205, 196},  // a complex argument where only real ones are defined
};

void put_unsigned(TextBuilder& b, std::uint32_t v) {
  char16_t digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  while (n > 0) builder_put(b, digits[--n]);
}

}  // namespace

void attach_formula_error(FormulaErrorView* record) {
  t_formula_error = record;
}

FormulaErrorView* attached_formula_error() {
  return t_formula_error != nullptr ? t_formula_error : &t_own_formula_error;
}

void set_app_error(std::uint32_t code, const char16_t* param1, const char16_t* param2) {
  if (code == 0) return;
  std::uint32_t none = 0;
  if (!g_app_error.code.compare_exchange_strong(none, code, std::memory_order_relaxed)) return;
  copy_param(g_app_error.param1, param1);
  copy_param(g_app_error.param2, param2);
}

void clear_app_error() {
  g_app_error.code.store(0, std::memory_order_relaxed);
  g_app_error.param1[0] = 0;
  g_app_error.param2[0] = 0;
  *attached_formula_error() = FormulaErrorView{};
  clear_status();
}

MessageId app_error_message(std::uint32_t code) {
  for (const CodeMessage& m : kAppMessages) {
    if (m.code == code) return m.message;
  }
  return -1;
}

MessageId formula_error_message(std::uint32_t code, std::uint32_t cause) {
  if (code < 10200 || code > 10212 || code == kFormulaErrorInternal) {
    return kMsgInternalFormulaError;
  }
  if (code == kFormulaErrorArithmetic) {
    for (const CodeMessage& m : kArithmeticCauses) {
      if (m.code == cause) return m.message;
    }
  }
  return static_cast<MessageId>(144 + (code - 10200));
}

void build_app_error_text(TextBuilder& b, std::uint32_t code, const char16_t* param1,
                          const char16_t* param2, FormulaErrorView formula) {
  const MessageId id = app_error_message(code);
  if (id >= 0) {
    format_text(b, msg(id), param1, param2);
  } else {
    char16_t number[11];
    TextBuilder nb{0, 10, number};
    put_unsigned(nb, code);
    builder_terminate(nb);
    format_text(b, msg(kMsgUnknownError), static_cast<const char16_t*>(number));
  }
  if (formula.code == 0) return;
  if (!builder_overflowed(b) && b.length > 0 && b.buffer[b.length - 1] == u'!') {
    b.buffer[b.length - 1] = u'.';
  }
  builder_put(b, u' ');
  const MessageId fid = formula_error_message(formula.code, formula.cause);
  // The position is 1-based and far below 2^31; a code is shown as the number it is.
  const std::uint32_t number = fid == kMsgInternalFormulaError ? formula.code : formula.position;
  format_text(b, msg(fid), static_cast<std::int32_t>(number));
}

int show_app_error() {
  const std::uint32_t code = app_error_code();
  if (code == 0 || code == kAppErrorStopped) {
    clear_app_error();
    return static_cast<int>(code);
  }
  char16_t text[kErrorTextCapacity + 1];
  TextBuilder b{0, kErrorTextCapacity, text};
  build_app_error_text(b, code, g_app_error.param1, g_app_error.param2, *attached_formula_error());
  if (builder_overflowed(b)) builder_mark_cut(b);
  builder_terminate(b);
  clear_app_error();
  platform_show_message(msg(kMsgErrorCaption), text, kMessageIconError);
  return kMessageResultOk;
}

JobErrors capture_job_errors() {
  JobErrors e;
  e.app_code = app_error_code();
  std::copy(std::begin(g_app_error.param1), std::end(g_app_error.param1), e.param1);
  std::copy(std::begin(g_app_error.param2), std::end(g_app_error.param2), e.param2);
  e.formula = *attached_formula_error();
  e.status = g_arith.status;
  return e;
}

void adopt_job_errors(const JobErrors& errors) {
  clear_app_error();
  if (errors.app_code != 0) {
    g_app_error.code.store(errors.app_code, std::memory_order_relaxed);
    std::copy(std::begin(errors.param1), std::end(errors.param1), g_app_error.param1);
    std::copy(std::begin(errors.param2), std::end(errors.param2), g_app_error.param2);
  }
  *attached_formula_error() = errors.formula;
  g_arith.status = errors.status;
}
