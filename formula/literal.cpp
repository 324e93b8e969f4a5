// Number literals and variable values into the current type.
#include "core/complex.h"
#include "core/text.h"
#include "formula/evaluator.h"
#include "formula/evaluator_internal.h"
#include "integer/biguint_text.h"
#include "integer/rational.h"

thread_local constinit std::uint8_t g_formula_inexact = 0;

void convert_literal(NumValue* r, const char16_t* text, std::int64_t length, std::uint32_t flags) {
  std::uint32_t base = 10;
  if (length >= 2 && text[0] == u'0') {
    switch (text[1]) {
      case u'x':
      case u'X':
        base = 16;
        break;
      case u'y':
      case u'Y':
        base = 2;
        break;
      case u't':
      case u'T':
        base = 8;
        break;
      default:
        break;
    }
  }
  if (base != 10) {
    text += 2;
    length -= 2;
  }
  flags &= ~kBaseMask;
  if (NumberType == kTypeUInt) {
    biguint_parse(r, text, length, flags | (base == 10 ? 0 : base));
    return;
  }
  if (base != 10) {
    num_set_zero(r);
    set_status(MathStatus::InvalidNumber);
    return;
  }
  switch (NumberType) {
    case kTypeReal:
      apply_rounding(r, dec_parse(r, text, length, flags));
      break;
    case kTypeComplex:
      cplx_parse(r, text, length, flags);
      break;
    case kTypeRational:
      rational_parse(r, text, length, flags);
      break;
    default:
      set_status(MathStatus::UnknownNumberType);
  }
}
