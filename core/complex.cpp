// Complex arithmetic, rounding, comparison and text.
#include "core/complex.h"

#include <algorithm>
#include <cstring>

#include "core/arith.h"
#include "core/complex_functions.h"
#include "core/constants.h"
#include "core/elementary.h"
#include "core/trig.h"
#include "core/word_arith.h"

namespace {

// Exponent of the product x y (up to one), wide enough for any two exponents; nothing for
// special values.
__int128 product_exponent(const DecFloat* x, const DecFloat* y) {
  return static_cast<__int128>(dec_exponent(x)) + dec_exponent(y);
}

// Distance between the exponents of two products that get added, 0 when either is special.
std::int64_t span_of(const DecFloat* x1, const DecFloat* y1, const DecFloat* x2,
                     const DecFloat* y2) {
  if (is_special(x1) || is_special(y1) || is_special(x2) || is_special(y2)) return 0;
  __int128 d = product_exponent(x1, y1) - product_exponent(x2, y2);
  if (d < 0) d = -d;
  return d > (std::int64_t{1} << 40) ? (std::int64_t{1} << 40) : static_cast<std::int64_t>(d);
}

// Runs f(re, im, ar, ai, br, bi) where a product of two parts is exact and a sum of two
// products whose exponents lie `span` apart is exact too (up to 2P + 60 apart; farther, the
// smaller product is below 10^-(2P+60) of the larger), so that the one rounding to P at the end
// is the only one that matters. b may be null (then br, bi are null too).
template <class F>
void at_product_precision(Complex* dst, const Complex* a, const Complex* b, std::int64_t span,
                          F f) {
  const std::int64_t p = g_arith.precision;
  const std::int64_t g = p + 4 + std::min(span, 2 * p + 60);
  ScratchScope scope;
  const std::size_t w = dec_words_for(p + g) + 1;
  DecFloat* ar = scratch_alloc(w);
  DecFloat* ai = scratch_alloc(w);
  DecFloat* br = b ? scratch_alloc(w) : nullptr;
  DecFloat* bi = b ? scratch_alloc(w) : nullptr;
  DecFloat* re = scratch_alloc(w);
  DecFloat* im = scratch_alloc(w);
  widen(ar, cplx_re(a), g);
  widen(ai, cplx_im(a), g);
  if (b) {
    widen(br, cplx_re(b), g);
    widen(bi, cplx_im(b), g);
  }
  {
    ContextScope gp = ContextScope::guard(g);
    f(re, im, ar, ai, br, bi);
  }
  apply_rounding(cplx_re(dst), narrow(cplx_re(dst), re, g));
  apply_rounding(cplx_im(dst), narrow(cplx_im(dst), im, g));
}

// q = re^2 + im^2, exact at the raised precision of the product helpers.
void squared_modulus(DecFloat* q, const DecFloat* re, const DecFloat* im) {
  ScratchScope scope;
  DecFloat* t = scratch_dec();
  dec_mul(q, re, re);
  dec_mul(t, im, im);
  dec_add_sub(q, q, t, 0);
}

bool is_letter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool is_unit(char16_t c) {
  return c == g_number_settings.imaginary_unit[0] || c == g_number_settings.imaginary_unit[1];
}

bool is_exponent_marker(char16_t c) {
  for (char16_t m : g_number_settings.exponent_marker) {
    if (c == m) return true;
  }
  return false;
}

}  // namespace

void cplx_copy(Complex* dst, const Complex* src) {
  if (dst != src) std::memmove(dst, src, cplx_words() * sizeof(Word));
}

void cplx_make_undefined(Complex* z, MathStatus status) {
  make_undefined(cplx_re(z), status);
  make_zero(cplx_im(z), false);
}

void cplx_make_zero(Complex* z, bool negative) {
  make_zero(cplx_re(z), negative);
  make_zero(cplx_im(z), false);
}

void cplx_from_real(Complex* z, const DecFloat* re) {
  dec_copy(cplx_re(z), re);
  make_zero(cplx_im(z), false);
}

void cplx_convert_precision(Complex* dst, std::int64_t dst_digits, const Complex* src,
                            std::int64_t src_digits) {
  const std::size_t dst_words = dec_words_for(dst_digits);
  const std::size_t src_words = dec_words_for(src_digits);
  convert_precision(dst, dst_digits, src, src_digits);
  convert_precision(dst + dst_words, dst_digits, src + src_words, src_digits);
}

void cplx_add(Complex* dst, const Complex* a, const Complex* b) {
  dec_add_rounded(cplx_re(dst), cplx_re(a), cplx_re(b));
  dec_add_rounded(cplx_im(dst), cplx_im(a), cplx_im(b));
}

void cplx_sub(Complex* dst, const Complex* a, const Complex* b) {
  dec_sub_rounded(cplx_re(dst), cplx_re(a), cplx_re(b));
  dec_sub_rounded(cplx_im(dst), cplx_im(a), cplx_im(b));
}

void cplx_mul(Complex* dst, const Complex* a, const Complex* b) {
  if (cplx_is_real(a) && cplx_is_real(b)) {
    dec_mul_rounded(cplx_re(dst), cplx_re(a), cplx_re(b));
    make_zero(cplx_im(dst), false);
    return;
  }
  const std::int64_t span = std::max(span_of(cplx_re(a), cplx_re(b), cplx_im(a), cplx_im(b)),
                                     span_of(cplx_re(a), cplx_im(b), cplx_im(a), cplx_re(b)));
  at_product_precision(dst, a, b, span,
                       [](DecFloat* re, DecFloat* im, const DecFloat* ar, const DecFloat* ai,
                          const DecFloat* br, const DecFloat* bi) {
                         ScratchScope scope;
                         DecFloat* t = scratch_dec();
                         dec_mul(re, ar, br);
                         dec_mul(t, ai, bi);
                         dec_add_sub(re, re, t, 1);
                         dec_mul(im, ar, bi);
                         dec_mul(t, ai, br);
                         dec_add_sub(im, im, t, 0);
                       });
}

void cplx_mul_word(Complex* dst, const Complex* a, std::uint64_t m) {
  const bool real = cplx_is_real(a);
  apply_rounding(cplx_re(dst), dec_mul_word(cplx_re(dst), cplx_re(a), m));
  if (real) {
    make_zero(cplx_im(dst), false);
  } else {
    apply_rounding(cplx_im(dst), dec_mul_word(cplx_im(dst), cplx_im(a), m));
  }
}

void cplx_div(Complex* dst, const Complex* a, const Complex* b) {
  if (cplx_is_real(b)) {
    ScratchScope scope;
    DecFloat* c = scratch_dec();
    dec_copy(c, cplx_re(b));
    const bool real = cplx_is_real(a);
    dec_div_rounded(cplx_re(dst), cplx_re(a), c);
    if (real) {
      make_zero(cplx_im(dst), false);
    } else {
      dec_div_rounded(cplx_im(dst), cplx_im(a), c);
    }
    return;
  }
  const std::int64_t span = std::max({span_of(cplx_re(b), cplx_re(b), cplx_im(b), cplx_im(b)),
                                      span_of(cplx_re(a), cplx_re(b), cplx_im(a), cplx_im(b)),
                                      span_of(cplx_im(a), cplx_re(b), cplx_re(a), cplx_im(b))});
  at_product_precision(dst, a, b, span,
                       [](DecFloat* re, DecFloat* im, const DecFloat* ar, const DecFloat* ai,
                          const DecFloat* br, const DecFloat* bi) {
                         ScratchScope scope;
                         DecFloat* q = scratch_dec();
                         DecFloat* t = scratch_dec();
                         squared_modulus(q, br, bi);
                         dec_mul(re, ar, br);
                         dec_mul(t, ai, bi);
                         dec_add_sub(re, re, t, 0);
                         dec_div(re, re, q);
                         dec_mul(im, ai, br);
                         dec_mul(t, ar, bi);
                         dec_add_sub(im, im, t, 1);
                         dec_div(im, im, q);
                       });
}

void cplx_reciprocal(Complex* dst, const Complex* a) {
  if (cplx_is_real(a)) {
    dec_reciprocal(cplx_re(dst), cplx_re(a));
    make_zero(cplx_im(dst), false);
    return;
  }
  const std::int64_t span = span_of(cplx_re(a), cplx_re(a), cplx_im(a), cplx_im(a));
  at_product_precision(dst, a, nullptr, span,
                       [](DecFloat* re, DecFloat* im, const DecFloat* ar, const DecFloat* ai,
                          const DecFloat*, const DecFloat*) {
                         ScratchScope scope;
                         DecFloat* q = scratch_dec();
                         squared_modulus(q, ar, ai);
                         dec_div(re, ar, q);
                         dec_div(im, ai, q);
                         dec_negate(im);
                       });
}

void cplx_divmod(Complex* q, Complex* r, const Complex* a, const Complex* b) {
  if (!cplx_is_real(a) || !cplx_is_real(b)) {
    set_status(MathStatus::RealArgumentRequired);
    if (q) cplx_make_undefined(q, MathStatus::Undefined);
    if (r) cplx_make_undefined(r, MathStatus::Undefined);
    return;
  }
  dec_divmod(q ? cplx_re(q) : nullptr, r ? cplx_re(r) : nullptr, cplx_re(a), cplx_re(b));
  if (q) make_zero(cplx_im(q), false);
  if (r) make_zero(cplx_im(r), false);
}

void cplx_pow_int(Complex* dst, const Complex* z, std::int64_t m) {
  if (cplx_is_real(z) || m == 0) {
    if (m == 0 && !cplx_is_real(z)) {
      dec_from_word(cplx_re(dst), 1);
    } else {
      dec_pow_int(cplx_re(dst), cplx_re(z), m);
    }
    make_zero(cplx_im(dst), false);
    return;
  }
  // Square-and-multiply with rounded products at raised precision, rounded once at the end.
  const std::uint64_t am =
      m < 0 ? 0 - static_cast<std::uint64_t>(m) : static_cast<std::uint64_t>(m);
  const std::int64_t g = digit_count(am) + 3;
  ScratchScope scope;
  const std::size_t half = dec_words_for(g_arith.precision + g) + 1;
  DecFloat* re = scratch_alloc(half);
  DecFloat* im = scratch_alloc(half);
  widen(re, cplx_re(z), g);
  widen(im, cplx_im(z), g);
  {
    ContextScope gp = ContextScope::guard(g);
    Complex* wz = scratch_cplx();
    Complex* acc = scratch_cplx();
    dec_copy(cplx_re(wz), re);
    dec_copy(cplx_im(wz), im);
    bool first = true;
    for (std::uint64_t e = am; e; e >>= 1) {
      if (e & 1) {
        if (first) {
          cplx_copy(acc, wz);
          first = false;
        } else {
          cplx_mul(acc, acc, wz);
        }
      }
      if (e > 1) cplx_mul(wz, wz, wz);
    }
    if (m < 0) cplx_reciprocal(acc, acc);
    dec_copy(re, cplx_re(acc));
    dec_copy(im, cplx_im(acc));
  }
  apply_rounding(cplx_re(dst), narrow(cplx_re(dst), re, g));
  apply_rounding(cplx_im(dst), narrow(cplx_im(dst), im, g));
}

void cplx_round_digits(Complex* dst, const Complex* z, std::int64_t digits) {
  if (digits < 1) {
    cplx_make_undefined(dst, MathStatus::Undefined);
    return;
  }
  dec_round_digits(cplx_re(dst), cplx_re(z), digits);
  dec_round_digits(cplx_im(dst), cplx_im(z), digits);
}

int cplx_compare(const Complex* a, const Complex* b, bool magnitude_only) {
  if (cplx_is_real(a) && cplx_is_real(b)) {
    return dec_compare(cplx_re(a), cplx_re(b), magnitude_only);
  }
  if (magnitude_only) {
    set_status(MathStatus::RealArgumentRequired);
    return 1;
  }
  const bool equal = dec_compare(cplx_re(a), cplx_re(b), false) == 0 &&
                     dec_compare(cplx_im(a), cplx_im(b), false) == 0;
  return equal ? 0 : 1;
}

// --- text ------------------------------------------------------------------------------------

void cplx_parse(Complex* dst, const char16_t* text, std::int64_t length, std::uint32_t flags) {
  if (!text) {
    cplx_make_undefined(dst, MathStatus::InvalidNumber);
    return;
  }
  if (length < 0) {
    length = 0;
    while (text[length]) ++length;
  }
  std::int64_t begin = 0, end = length;
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  if (begin == end) {
    cplx_make_undefined(dst, MathStatus::InvalidNumber);
    return;
  }
  const std::int64_t unit = end - 1;
  if (!is_unit(text[unit]) || (unit > begin && is_letter(text[unit - 1]))) {
    apply_rounding(cplx_re(dst), dec_parse(cplx_re(dst), text + begin, end - begin, flags));
    if (is_undefined(cplx_re(dst))) set_status(MathStatus::InvalidNumber);
    make_zero(cplx_im(dst), false);
    return;
  }
  // Find the sign that separates the parts, skipping a parenthesised imaginary text.
  std::int64_t pos = unit - 1;
  std::int64_t im_begin, im_end = unit;
  if (pos >= begin && text[pos] == u')') {
    while (pos >= begin && text[pos] != u'(') --pos;
    if (pos < begin) {
      cplx_make_undefined(dst, MathStatus::InvalidNumber);
      return;
    }
    --pos;
  }
  std::int64_t sep = -1;
  for (; pos >= begin; --pos) {
    if ((text[pos] == u'+' || text[pos] == u'-') &&
        !(pos > begin && is_exponent_marker(text[pos - 1]))) {
      sep = pos;
      break;
    }
  }
  bool negative = false;
  ScratchScope scope;
  DecFloat* re = scratch_dec();
  DecFloat* im = scratch_dec();
  if (sep > begin) {
    apply_rounding(re, dec_parse(re, text + begin, sep - begin, flags));
    if (is_undefined(re)) {
      cplx_make_undefined(dst, MathStatus::InvalidNumber);
      return;
    }
    negative = text[sep] == u'-';
    im_begin = sep + 1;
  } else {
    make_zero(re, false);
    im_begin = begin;
    if (sep == begin) {
      negative = text[sep] == u'-';
      im_begin = begin + 1;
    }
  }
  while (im_begin < im_end && text[im_begin] == u' ') ++im_begin;
  while (im_end > im_begin && text[im_end - 1] == u' ') --im_end;
  if (im_begin < im_end && text[im_begin] == u'(') {
    if (text[im_end - 1] != u')') {
      cplx_make_undefined(dst, MathStatus::InvalidNumber);
      return;
    }
    ++im_begin;
    --im_end;
  }
  if (im_begin == im_end) {
    dec_from_word(im, 1);
  } else {
    apply_rounding(im, dec_parse(im, text + im_begin, im_end - im_begin, flags));
    if (is_undefined(im)) {
      cplx_make_undefined(dst, MathStatus::InvalidNumber);
      return;
    }
  }
  // The separating sign combines with a sign of the imaginary text itself.
  if (negative) dec_negate(im);
  dec_copy(cplx_re(dst), re);
  dec_copy(cplx_im(dst), im);
}

std::int64_t cplx_format(char16_t* buffer, std::int64_t capacity, const Complex* z,
                         std::uint32_t flags) {
  const std::int64_t p = std::max<std::int64_t>(g_arith.precision, 20);
  const std::int64_t part = p + 24 + 19 + ((flags & kAllowGrouping) ? p / 3 : 0);
  if (!buffer) return 2 * (2 * part) + 1;
  const bool terminate = (flags & kNestedFormat) == 0;
  const std::uint32_t fmt_flags = flags & ~kNestedFormat;
  const std::int64_t room = terminate ? capacity - 1 : capacity;
  TextSink sink{0, std::max<std::int64_t>(room, 0), buffer};
  if (cplx_is_real(z)) {
    dec_format(sink, cplx_re(z), fmt_flags);
  } else {
    std::uint32_t im_flags = fmt_flags;
    if (!is_zero(cplx_re(z))) {
      dec_format(sink, cplx_re(z), fmt_flags);
      im_flags |= kShowPlusSign;
    }
    ScratchScope scope;
    const std::int64_t tmp_cap = part + 2;
    char16_t* tmp =
        reinterpret_cast<char16_t*>(scratch_alloc(static_cast<std::size_t>((tmp_cap * 2 + 7) / 8)));
    TextSink im{0, tmp_cap, tmp};
    dec_format(im, cplx_im(z), im_flags);
    std::int64_t body = 0;
    if (im.pos > 0 && (tmp[0] == u'+' || tmp[0] == u'-')) {
      sink_put(sink, tmp[0]);
      body = 1;
    }
    const std::int64_t len = std::min(im.pos, im.capacity);
    const bool one = len - body == 1 && tmp[body] == u'1';
    bool wrap = false;
    for (std::int64_t i = body; i < len; ++i) {
      if (is_letter(tmp[i]) || tmp[i] == u'+' || tmp[i] == u'-') wrap = true;
    }
    if (!one) {
      if (wrap) sink_put(sink, u'(');
      sink_put(sink, tmp + body, len - body);
      if (wrap) sink_put(sink, u')');
    }
    sink_put(sink, g_number_settings.imaginary_unit[0]);
    if (sink_overflowed(im)) sink.pos = sink.capacity + 1;
  }
  const std::int64_t n = sink_length_or_overflow_mark(sink);
  if (terminate && capacity > 0) buffer[std::min(n, capacity - 1)] = 0;
  return n;
}

// --- absolute value, roots and powers ----------------------------------------------------------

Word dec_hypot(DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  if (is_undefined(a) || is_undefined(b)) {
    make_undefined(dst);
    return 0;
  }
  if (is_infinity(a) || is_infinity(b)) {
    make_infinity(dst, false);
    return 0;
  }
  if (is_zero(a) || is_zero(b)) {
    dec_copy(dst, is_zero(a) ? b : a);
    dec_abs(dst);
    return 0;
  }
  const std::int64_t ea = dec_exponent(a), eb = dec_exponent(b);
  const __int128 diff = static_cast<__int128>(ea) - eb;
  if (diff > g_arith.precision || diff < -g_arith.precision) {
    dec_copy(dst, diff > 0 ? a : b);
    dec_abs(dst);
    return 0;
  }
  // Scale both by 10^-E(a) so the squares cannot leave the exponent range.
  ScratchScope scope;
  DecFloat* x = scratch_dec();
  DecFloat* y = scratch_dec();
  dec_copy(x, a);
  dec_copy(y, b);
  set_exponent_checked(x, 0, false);
  set_exponent_checked(y, eb - ea, false);
  dec_mul(x, x, x);
  dec_mul(y, y, y);
  dec_add_sub(x, x, y, 0);
  const Word rl = dec_sqrt(dst, x);
  set_exponent_checked(dst, dec_exponent(dst) + ea, false);
  return rl;
}

void cplx_abs(Complex* dst, const Complex* z) {
  ScratchScope scope;
  DecFloat* im = scratch_dec();
  dec_copy(im, cplx_im(z));
  apply_rounding(cplx_re(dst), with_guard_digits(3, dec_hypot, cplx_re(dst), cplx_re(z), im));
  make_zero(cplx_im(dst), false);
}

void cplx_root(Complex* dst, std::int64_t n, const Complex* z, std::int64_t k) {
  if (n < 1 || n >= (std::int64_t{1} << 61) || k < 0 || k >= n) {
    cplx_make_undefined(dst, MathStatus::Undefined);
    return;
  }
  if (is_undefined(cplx_re(z)) || is_undefined(cplx_im(z))) {
    cplx_make_undefined(dst, MathStatus::Ok);
    return;
  }
  if (is_zero(cplx_re(z)) && is_zero(cplx_im(z))) {
    cplx_make_zero(dst, dec_negative(cplx_re(z)));
    return;
  }
  if (is_infinity(cplx_re(z)) || is_infinity(cplx_im(z))) {
    cplx_make_undefined(dst, MathStatus::Undefined);
    return;
  }
  constexpr std::int64_t g =
      8;  // angle, sine and cosine, the modulus and its root each add an error
  ScratchScope scope;
  const std::size_t w = dec_words_for(g_arith.precision + g) + 1;
  DecFloat* x = scratch_alloc(w);
  DecFloat* y = scratch_alloc(w);
  DecFloat* re = scratch_alloc(w);
  DecFloat* im = scratch_alloc(w);
  widen(x, cplx_re(z), g);
  widen(y, cplx_im(z), g);
  {
    ContextScope gp = ContextScope::guard(g);
    DecFloat* phi = scratch_dec();
    DecFloat* ax = scratch_dec();
    DecFloat* ay = scratch_dec();
    dec_copy(ax, x);
    dec_abs(ax);
    dec_copy(ay, y);
    dec_abs(ay);
    // theta = Q pi/2 + phi with |phi| <= pi/4, taken without cancellation.
    std::int64_t q_quarter;
    std::int64_t branch = k;
    const bool y_steep = dec_compare(ay, ax, false) > 0;
    if (!y_steep && !dec_negative(x)) {
      q_quarter = 0;
      dec_angle(phi, y, ax);
    } else if (!y_steep) {
      q_quarter = 2;
      dec_angle(phi, y, ax);
      dec_negate(phi);
      if (dec_negative(y) && !is_zero(y)) branch -= 1;
    } else if (!dec_negative(y)) {
      q_quarter = 1;
      dec_angle(phi, x, ay);
      dec_negate(phi);
    } else {
      q_quarter = 3;
      dec_angle(phi, x, ay);
      branch -= 1;
    }
    // M = 4k + Q: the root's angle is (M pi/2 + phi) / n.
    const __int128 m = static_cast<__int128>(branch) * 4 + q_quarter;
    DecFloat* c = scratch_dec();
    DecFloat* s = scratch_dec();
    const __int128 rem = m % n;
    if (rem == 0) {
      std::int64_t quadrant = static_cast<std::int64_t>((m / n) % 4);
      if (quadrant < 0) quadrant += 4;
      DecFloat* phin = scratch_dec();
      dec_div_word(phin, phi, static_cast<Word>(n), 0);
      DecFloat* cp = scratch_dec();
      DecFloat* sp = scratch_dec();
      dec_sin_cos(sp, cp, phin);
      switch (quadrant) {
        case 0:
          dec_copy(c, cp);
          dec_copy(s, sp);
          break;
        case 1:
          dec_copy(c, sp);
          dec_negate(c);
          dec_copy(s, cp);
          break;
        case 2:
          dec_copy(c, cp);
          dec_negate(c);
          dec_copy(s, sp);
          dec_negate(s);
          break;
        default:
          dec_copy(c, sp);
          dec_copy(s, cp);
          dec_negate(s);
          break;
      }
    } else {
      DecFloat* alpha = scratch_dec();
      load_constant(alpha, kConstPiQuarter);
      const bool mneg = m < 0;
      const unsigned __int128 am = static_cast<unsigned __int128>(mneg ? -m : m) * 2;
      dec_mul_word(alpha, alpha, static_cast<Word>(am));  // |M| < 2^63, 2|M| < 2^64
      if (mneg) dec_negate(alpha);
      dec_add_sub(alpha, alpha, phi, 0);
      dec_div_word(alpha, alpha, static_cast<Word>(n), 0);
      dec_sin_cos(s, c, alpha);
    }
    DecFloat* r = scratch_dec();
    DecFloat* rho = scratch_dec();
    dec_hypot(r, x, y);
    if (n == 1) {
      dec_copy(rho, r);
    } else if (n == 2) {
      dec_sqrt(rho, r);
    } else if (n == 3) {
      dec_cbrt(rho, r);
    } else {
      dec_root_int(rho, r, static_cast<Word>(n));
    }
    dec_mul(re, rho, c);
    dec_mul(im, rho, s);
  }
  apply_rounding(cplx_re(dst), narrow(cplx_re(dst), re, g));
  apply_rounding(cplx_im(dst), narrow(cplx_im(dst), im, g));
}

void cplx_pow(Complex* dst, const Complex* z, const Complex* w) {
  if (cplx_is_real(w)) {
    const DecFloat* x = cplx_re(z);
    const DecFloat* y = cplx_re(w);
    if (cplx_is_real(z) && (!dec_negative(x) || is_special(x) || is_special(y) || is_integer(y))) {
      ScratchScope scope;
      DecFloat* e = scratch_dec();
      dec_copy(e, y);
      dec_pow_rounded(cplx_re(dst), x, e);
      make_zero(cplx_im(dst), false);
      return;
    }
    std::int64_t m;
    if (!cplx_is_real(z) && dec_to_int(&m, y, 0)) return cplx_pow_int(dst, z, m);
  }
  cplx_pow_general(dst, z, w);
}
