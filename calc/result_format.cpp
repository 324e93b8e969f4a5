// The result field's text: the stored result in the chosen base and notation, and the two
// notation toggles.
#include "app/app_error.h"
#include "app/messages.h"
#include "calc/calculator.h"
#include "core/arith.h"
#include "core/complex.h"
#include "core/text.h"
#include "integer/biguint_text.h"
#include "integer/rational.h"

namespace {

constexpr MessageId kMsgNumberTooLong = 24;

// The number sizes and thresholds of the stored result for one formatting step; the current
// ones come back afterwards, since the result may belong to an earlier type or precision.
constexpr unsigned kResultParts =
    ContextScope::kType | ContextScope::kSizes | ContextScope::kNotation;
void use_result_sizes(const CalculatorState& s) {
  NumberType = s.result_type;
  set_precision(s.result_working_digits);
  biguint_set_limbs(s.result_limbs);
}

int effective_mode(const CalculatorState& s) {
  if (s.notation == kNotationMixed && s.result_type != kTypeRational) return kNotationAuto;
  return s.notation;
}

// q + r/b with q, r from |a| / b: "-3-1/2" for -7/2, "0-1/2" for -1/2.
void format_mixed(TextSink& sink, const Rational* a, std::uint32_t flags) {
  ScratchScope scope;
  BigUInt* q = scratch_alloc(static_cast<std::size_t>(BigUIntLimbs));
  BigUInt* r = scratch_alloc(static_cast<std::size_t>(BigUIntLimbs));
  biguint_divmod(q, r, rat_num(a), rat_den(a));
  const bool negative = rat_negative(a) && !rational_is_zero(a);
  if (negative && !biguint_is_zero(q)) sink_put(sink, u'-');
  biguint_format(sink, q, flags);
  sink_put(sink, negative ? u'-' : u'+');
  biguint_format(sink, r, flags);
  sink_put(sink, u'/');
  biguint_format(sink, rat_den(a), flags);
}

// Formatters that write into a plain buffer: run them on the sink's free room.
template <class F>
void put_buffered(TextSink& sink, F&& format) {
  const std::int64_t room = sink.capacity - sink.pos;
  const std::int64_t length = format(sink.buffer + sink.pos, room);
  if (math_status() == MathStatus::BufferTooSmall || length > room) {
    sink.pos = sink.capacity + 1;
  } else if (length > 0) {
    sink.pos += length;
  }
}

std::int32_t count_digits(std::u16string_view text) {
  std::int32_t count = 0;
  for (char16_t c : text) {
    if ((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F')) ++count;
  }
  return count;
}

}  // namespace

void calc_format_result(CalculatorState& s) {
  s.result_text.clear();
  s.result_field.clear();
  s.result_digit_count = -1;
  if (app_error_code() != 0 || s.result_value.empty()) return;

  ContextScope sizes(kResultParts);
  use_result_sizes(s);
  std::u16string buffer(static_cast<std::size_t>(kMaxValueLength) + 1, u'\0');
  TextSink sink{0, kMaxValueLength, buffer.data()};
  const Word* value = s.result_value.data();
  std::uint32_t flags = s.grouping ? kAllowGrouping : 0;
  std::int64_t prefix = 0;

  if (s.result_type == kTypeUInt && s.base != 10) {
    sink_put_ascii(sink, s.base == 2 ? "0y" : s.base == 8 ? "0t" : "0x");
    prefix = 2;
    flags |= static_cast<std::uint32_t>(s.base);
    if (s.base == 16 && s.lower_hex) flags |= kLowerHexDigits;
    biguint_format(sink, value, flags);
  } else {
    const int mode = effective_mode(s);
    if (mode == kNotationFixed) {
      flags |= kForceFixedPoint | kStripZeros;
    } else if (mode == kNotationScientific) {
      flags |= kForceScientific | kStripZeros;
    } else if (mode == kNotationAuto) {
      g_number_settings.sci_low = -4;
      g_number_settings.sci_high = s.digits;
    }
    switch (s.result_type) {
      case kTypeReal:
        dec_format(sink, value, flags);
        break;
      case kTypeComplex:
        put_buffered(sink, [&](char16_t* out, std::int64_t room) {
          return cplx_format(out, room, value, flags | kNestedFormat);
        });
        break;
      case kTypeRational:
        if (mode == kNotationFixed || mode == kNotationScientific) {
          ScratchScope scope;
          DecFloat* x = scratch_dec();
          rational_to_decfloat(x, value);
          if (s.digits < 1) {
            make_undefined(x, MathStatus::Undefined);
          } else {
            dec_round_digits(x, x, s.digits);
          }
          dec_format(sink, x, flags);
        } else if (mode == kNotationMixed) {
          format_mixed(sink, value, flags);
        } else {
          put_buffered(sink, [&](char16_t* out, std::int64_t room) {
            return rational_format(out, room, value, flags | 0x400000);
          });
        }
        break;
      case kTypeUInt:
        biguint_format(sink, value, flags);
        break;
      default:
        set_app_error(kAppErrorInternal);
        return;
    }
  }

  if (sink_overflowed(sink) || math_status() == MathStatus::BufferTooSmall) {
    clear_status();
    s.result_field = msg(kMsgNumberTooLong);
  } else {
    s.result_text.assign(buffer.data(), static_cast<std::size_t>(sink.pos));
    s.result_field = s.result_text;
    if (s.result_type == kTypeUInt && effective_mode(s) != kNotationScientific) {
      s.result_digit_count =
          count_digits(std::u16string_view(s.result_text).substr(static_cast<std::size_t>(prefix)));
    }
  }
  s.has_result = true;
  s.result_current = true;
}

namespace {

// Whether the automatic mode shows x in scientific notation (zero and specials count as fixed).
bool auto_is_scientific(const DecFloat* x, std::int64_t digits) {
  if (is_special(x)) return false;
  const std::int64_t e = dec_exponent(x);
  return e < -3 || e >= digits;
}

}  // namespace

bool calc_toggle_notation(CalculatorState& s) {
  if (!s.has_result || !s.result_current || s.result_value.empty()) return false;
  if (s.result_type == kTypeUInt && s.base != 10) return false;
  int mode = s.notation == kNotationFixed        ? kNotationScientific
             : s.notation == kNotationScientific ? kNotationAuto
                                                 : kNotationFixed;
  {
    ContextScope sizes(kResultParts);
    use_result_sizes(s);
    const Word* value = s.result_value.data();
    int automatic_sci = -1;  // -1: neither
    if (s.result_type == kTypeReal) {
      automatic_sci = auto_is_scientific(value, s.digits) ? 1 : 0;
    } else if (s.result_type == kTypeComplex) {
      const bool re = auto_is_scientific(cplx_re(value), s.digits);
      const bool im = auto_is_scientific(cplx_im(value), s.digits);
      if (re == im) automatic_sci = re ? 1 : 0;
    } else if (s.result_type == kTypeUInt ||
               (s.result_type == kTypeRational && rational_is_integer(value))) {
      if (mode == kNotationFixed) mode = kNotationScientific;
    }
    // No press may leave the text as it was.
    if (mode == kNotationFixed && automatic_sci == 0) mode = kNotationScientific;
    if (mode == kNotationScientific && automatic_sci == 1) mode = kNotationAuto;
  }
  s.notation = mode;
  calc_format_result(s);
  return true;
}

bool calc_toggle_mixed(CalculatorState& s) {
  if (!s.has_result || !s.result_current || s.result_type != kTypeRational) return false;
  if (s.notation == kNotationMixed) {
    s.notation = kNotationAuto;
  } else {
    ContextScope sizes(kResultParts);
    use_result_sizes(s);
    s.notation = rational_is_integer(s.result_value.data()) ? kNotationAuto : kNotationMixed;
  }
  calc_format_result(s);
  return true;
}
