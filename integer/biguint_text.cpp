// Parsing and formatting of BigUInts.
#include "integer/biguint_text.h"

#include "integer/biguint_internal.h"

namespace bl = binary_limbs;
using biguint_detail::current_limbs;
using biguint_detail::Len;
using biguint_detail::Limb;
using biguint_detail::scratch_limbs;

namespace {

constexpr std::uint64_t kMaxExponent = 0x7fffffffffffffffULL;

struct Separators {
  char16_t decimal[3];
  char16_t thousands[3];
  bool is_decimal(char16_t c) const {
    return c == decimal[0] || c == decimal[1] || c == decimal[2];
  }
  bool is_thousands(char16_t c) const {
    return c == thousands[0] || c == thousands[1] || c == thousands[2];
  }
};

Separators separators(bool fixed) {
  Separators s;
  for (int i = 0; i < 3; ++i) {
    s.decimal[i] = fixed ? u'.' : g_number_settings.decimal_sep[i];
    s.thousands[i] = fixed ? u'\'' : g_number_settings.thousands_sep[i];
  }
  return s;
}

int digit_value(char16_t c, unsigned base) {
  int v;
  if (c >= u'0' && c <= u'9') {
    v = c - u'0';
  } else if (base == 16 && c >= u'a' && c <= u'f') {
    v = c - u'a' + 10;
  } else if (base == 16 && c >= u'A' && c <= u'F') {
    v = c - u'A' + 10;
  } else {
    return -1;
  }
  return v < static_cast<int>(base) ? v : -1;
}

// Length of a text given as "characters or -1 for NUL-terminated"; -1 for anything else.
std::int64_t text_length(const char16_t* text, std::int64_t length) {
  if (length == -1) {
    if (!text) return 0;
    std::int64_t n = 0;
    while (text[n] != 0) ++n;
    return n;
  }
  if (length < 0 || (length > 0 && !text)) return -1;
  return length;
}

// Decimal digits times 10^exponent into res (n limbs). Digits are gathered 19 at a time into a
// word and folded into the value with one pass per word; the value only grows, so an overflow of a
// gathered word is an overflow of some digit on the way, and it is reported before any error of a
// later character, as digit-by-digit reading would. A character configured both as a thousands
// and as a decimal separator is read the way the scanner took it: as a thousands separator only
// under grouping.
MathStatus decimal_core(Limb* res, Len n, const char16_t* s, std::int64_t len,
                        std::int64_t exponent, const Separators& sep, bool grouping) {
  bl::zero(res, n);
  Len lr = 0;
  Limb chunk = 0;
  int chunk_digits = 0;
  auto flush = [&]() {
    if (chunk_digits == 0) return true;
    Limb top = bl::mul_1(res, res, lr, kPow10[chunk_digits]);
    top += bl::add_1(res, res, lr, chunk);
    chunk = 0;
    chunk_digits = 0;
    if (top != 0) {
      if (lr == n) return false;
      res[lr++] = top;
    }
    return true;
  };
  auto fail = [&](MathStatus s) { return flush() ? s : MathStatus::Overflow; };
  bool fraction = false;
  for (std::int64_t i = 0; i < len; ++i) {
    const char16_t c = s[i];
    if (c >= u'0' && c <= u'9') {
      if (fraction && exponent <= 0) {
        if (c != u'0') return fail(MathStatus::InvalidNumber);  // not an integer
        continue;
      }
      chunk = chunk * 10 + static_cast<Limb>(c - u'0');
      if (fraction) --exponent;
      if (++chunk_digits == 19 && !flush()) return MathStatus::Overflow;
    } else if (sep.is_thousands(c) && (grouping || !sep.is_decimal(c))) {
      continue;
    } else if (sep.is_decimal(c) && !fraction) {
      fraction = true;
    } else {
      return fail(MathStatus::InvalidNumber);
    }
  }
  if (!flush()) return MathStatus::Overflow;
  if (lr == 0) return MathStatus::Ok;  // 0 with any exponent is 0
  if (exponent < 0) {
    // Exact division by 10^|exponent|, 19 digits at a time; a value that is not a multiple
    // meets a nonzero remainder within a few steps, however large the exponent.
    std::uint64_t e = 0 - static_cast<std::uint64_t>(exponent);
    while (e > 0) {
      const int k = e < 19 ? static_cast<int>(e) : 19;
      const bl::Divisor1 d = bl::prepare_divisor(kPow10[k], kPow10Reciprocal[k]);
      if (bl::divrem_1(res, res, lr, d) != 0) {
        bl::zero(res, n);
        return MathStatus::InvalidNumber;
      }
      lr = bl::significant(res, lr);
      e -= static_cast<std::uint64_t>(k);
    }
  } else {
    // The value is at least 1, so an overflow ends this within N + 1 steps.
    std::uint64_t e = static_cast<std::uint64_t>(exponent);
    while (e > 0) {
      const int k = e < 19 ? static_cast<int>(e) : 19;
      const Limb top = bl::mul_1(res, res, lr, kPow10[k]);
      if (top != 0) {
        if (lr == n) return MathStatus::Overflow;
        res[lr++] = top;
      }
      e -= static_cast<std::uint64_t>(k);
    }
  }
  return MathStatus::Ok;
}

// A plain digit run of base 2, 8 or 16 (separators already validated) placed bit by bit.
MathStatus binary_core(Limb* res, Len n, const char16_t* s, std::int64_t len, unsigned base) {
  bl::zero(res, n);
  const int bits_per_digit = base == 2 ? 1 : base == 8 ? 3 : 4;
  std::int64_t first = -1, count = 0;
  for (std::int64_t i = 0; i < len; ++i) {
    const int v = digit_value(s[i], base);
    if (v < 0) continue;
    if (first < 0) {
      if (v == 0) continue;
      first = v;
    }
    ++count;
  }
  if (count == 0) return MathStatus::Ok;
  const std::int64_t bits = (count - 1) * bits_per_digit + (64 - std::countl_zero(Limb(first)));
  if (bits > 64 * n) return MathStatus::Overflow;
  std::int64_t pos = 0;  // bit position of the next digit, from the least significant end
  for (std::int64_t i = len - 1; i >= 0 && pos < bits; --i) {
    const int v = digit_value(s[i], base);
    if (v < 0) continue;
    const Len q = pos / 64;
    const unsigned b = static_cast<unsigned>(pos % 64);
    res[q] |= static_cast<Limb>(v) << b;
    if (b + bits_per_digit > 64 && q + 1 < n) res[q + 1] |= static_cast<Limb>(v) >> (64 - b);
    pos += bits_per_digit;
  }
  return MathStatus::Ok;
}

bool is_exponent_marker(char16_t c) {
  for (char16_t m : g_number_settings.exponent_marker) {
    if (c == m) return true;
  }
  return false;
}

MathStatus parse_text(Limb* res, Len n, const char16_t* text, std::int64_t length,
                      std::uint32_t flags) {
  std::int64_t end = text_length(text, length);
  if (end < 0) return MathStatus::InvalidNumber;
  std::int64_t pos = 0;
  while (pos < end && text[pos] == u' ') ++pos;
  while (end > pos && text[end - 1] == u' ') --end;
  if (pos == end) return MathStatus::InvalidNumber;
  unsigned base = flags & kBaseMask;
  if (base == 0) base = 10;
  if (base != 2 && base != 8 && base != 10 && base != 16) return MathStatus::InvalidSetting;
  const bool fixed = (flags & kFixedNotation) != 0;
  const bool grouping = (flags & kAllowGrouping) != 0;
  const Separators sep = separators(fixed);

  if (text[pos] == u'+') ++pos;
  auto is_digit = [&](std::int64_t i) { return i < end && digit_value(text[i], base) >= 0; };
  if (!is_digit(pos)) return MathStatus::InvalidNumber;
  // The digit run: digits, thousands separators between digits (with grouping) and one decimal
  // separator followed by a digit.
  const std::int64_t run = pos;
  bool point = false;
  while (pos < end) {
    const char16_t c = text[pos];
    if (is_digit(pos) || (grouping && sep.is_thousands(c) && is_digit(pos + 1))) {
      ++pos;
    } else if (!point && sep.is_decimal(c) && is_digit(pos + 1)) {
      point = true;
      ++pos;
    } else {
      break;
    }
  }
  const std::int64_t run_end = pos;
  if (pos == end && !point && base != 10)
    return binary_core(res, n, text + run, run_end - run, base);
  if (base != 10) return MathStatus::InvalidNumber;

  std::int64_t exponent = 0;
  if (pos < end) {
    // Exponent: marker, optional sign, decimal digits, then the end of the text.
    if (!is_exponent_marker(text[pos])) return MathStatus::InvalidNumber;
    ++pos;
    bool negative = false;
    if (pos < end && (text[pos] == u'+' || text[pos] == u'-')) {
      negative = text[pos] == u'-';
      ++pos;
    }
    if (pos == end || text[pos] < u'0' || text[pos] > u'9') return MathStatus::InvalidNumber;
    std::uint64_t v = 0;
    for (; pos < end && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
      const unsigned d = text[pos] - u'0';
      if (v >= 1844674407370955161ULL && (v > 1844674407370955161ULL || d > 5)) {
        return MathStatus::InvalidNumber;
      }
      v = v * 10 + d;
    }
    if (pos != end || v > kMaxExponent) return MathStatus::InvalidNumber;
    exponent = negative ? -static_cast<std::int64_t>(v) : static_cast<std::int64_t>(v);
  }
  return decimal_core(res, n, text + run, run_end - run, exponent, sep, grouping);
}

}  // namespace

void biguint_parse(BigUInt* result, const char16_t* text, std::int64_t length,
                   std::uint32_t flags) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  const MathStatus s = parse_text(result, n, text, length, flags);
  if (s != MathStatus::Ok) {
    bl::zero(result, n);
    set_status(s);
  }
}

void biguint_parse_decimal(BigUInt* result, const char16_t* digits, std::int64_t length,
                           std::int64_t exponent, bool fixed) {
  const Len n = current_limbs();
  if (n == 0) return;
  const std::int64_t len = text_length(digits, length);
  const MathStatus s =
      len < 0 ? MathStatus::InvalidNumber
              : decimal_core(result, n, digits, len, exponent, separators(fixed), true);
  if (s != MathStatus::Ok) {
    bl::zero(result, n);
    set_status(s);
  }
}

std::int64_t biguint_text_size(std::uint32_t flags) {
  const Len n = current_limbs();
  if (n == 0) return 0;
  const bool grouping = (flags & kAllowGrouping) != 0;
  std::int64_t x;
  switch (flags & kBaseMask) {
    case 2:
      x = 64 * n + 2;
      return grouping ? x + x / 4 : x;
    case 8:
      x = (64 * n + 2) / 3 + 2;
      return grouping ? x + x / 4 : x;
    case 16:
      x = 16 * n + 2;
      return grouping ? x + x / 4 : x;
    default: {
      const std::int64_t d = static_cast<std::int64_t>(biguint_digits_of_limbs(n)) + 1;
      x = d + 2 + ((flags & kForceScientific) ? 13 : 0);
      return grouping ? x + d / 3 : x;
    }
  }
}

// --- formatting --------------------------------------------------------------------------------

namespace {

// Buffers characters and hands them to the sink in pieces.
class SinkWriter {
 public:
  explicit SinkWriter(TextSink& sink) : sink_(sink) {}
  ~SinkWriter() { flush(); }
  SinkWriter(const SinkWriter&) = delete;
  SinkWriter& operator=(const SinkWriter&) = delete;
  void put(char16_t c) {
    buf_[len_++] = c;
    if (len_ == kSize) flush();
  }
  void put(const char16_t* text) {
    while (*text) put(*text++);
  }
  void flush() {
    if (len_ > 0) sink_put(sink_, buf_, len_);
    len_ = 0;
  }

 private:
  static constexpr int kSize = 256;
  TextSink& sink_;
  char16_t buf_[kSize];
  int len_ = 0;
};

// Writes `count` digits (index from the right: count - 1 down to 0) with a group separator after
// every digit whose right index is a nonzero multiple of the group size.
struct Grouper {
  SinkWriter& out;
  std::int64_t count;
  int group;  // 0: no grouping
  char16_t separator;
  std::int64_t written = 0;
  void digit(char16_t c) {
    out.put(c);
    const std::int64_t right = count - 1 - written++;
    if (group != 0 && right > 0 && right % group == 0) out.put(separator);
  }
};

void write_u64(SinkWriter& out, std::uint64_t v) {
  char16_t tmp[20];
  int k = 0;
  do {
    tmp[k++] = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  while (k > 0) out.put(tmp[--k]);
}

void format_binary_base(SinkWriter& out, const Limb* v, Len lv, unsigned base, bool lower,
                        int group, char16_t separator) {
  const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
  const int bpd = base == 2 ? 1 : base == 8 ? 3 : 4;
  const std::int64_t bits = bl::bit_length(v, lv);
  const std::int64_t count = bits == 0 ? 1 : (bits + bpd - 1) / bpd;
  Grouper g{out, count, group, separator};
  for (std::int64_t i = count - 1; i >= 0; --i) {
    const std::int64_t pos = i * bpd;
    const Len q = pos / 64;
    const unsigned b = static_cast<unsigned>(pos % 64);
    Limb d = q < lv ? v[q] >> b : 0;
    if (b + bpd > 64 && q + 1 < lv) d |= v[q + 1] << (64 - b);
    g.digit(static_cast<char16_t>(digits[d & ((Limb{1} << bpd) - 1)]));
  }
}

// Decimal digits of a value as words of 19 digits, least significant first, by repeated division
// by 10^19 (a normalised one-limb divisor with its precomputed inverse); w is lv limbs of work
// space. Returns the word count.
Len decimal_words(Limb* words, Limb* w, const Limb* v, Len lv) {
  bl::copy(w, v, lv);
  Len nw = 0;
  while (lv > 0) {
    Limb rem = 0;
    for (Len i = lv - 1; i >= 0; --i) w[i] = div_limb_base(rem, w[i], &rem);
    words[nw++] = rem;
    lv = bl::significant(w, lv);
  }
  if (nw == 0) words[nw++] = 0;
  return nw;
}

// Visits the decimal digits most significant first: the top word without leading zeros, the
// others with 19 digits each; stops after `limit` digits.
template <class F>
void for_each_digit(const Limb* words, Len nw, std::int64_t limit, F&& f) {
  char16_t tmp[19];
  for (Len i = nw - 1; i >= 0 && limit > 0; --i) {
    Limb x = words[i];
    const int k = i == nw - 1 ? digit_count(x) : 19;
    for (int j = k - 1; j >= 0; --j) {
      tmp[j] = static_cast<char16_t>(u'0' + x % 10);
      x /= 10;
    }
    for (int j = 0; j < k && limit > 0; ++j, --limit) f(tmp[j]);
  }
}

}  // namespace

void biguint_format(TextSink& sink, const BigUInt* value, std::uint32_t flags) {
  const Len n = current_limbs();
  if (n == 0) return;
  ContextScope saved = ContextScope::isolated_status();
  SinkWriter out(sink);
  if (flags & kShowPlusSign) out.put(u'+');
  unsigned base = flags & kBaseMask;
  if (base == 0) base = 10;
  const bool scientific = (flags & kForceScientific) != 0;
  if ((base != 2 && base != 8 && base != 10 && base != 16) || (scientific && base != 10)) {
    out.put(u"[P]");
    set_status(MathStatus::InvalidSetting);
    return;
  }
  const bool fixed = (flags & kFixedNotation) != 0;
  const char16_t point = fixed ? u'.' : g_number_settings.decimal_sep[0];
  const char16_t separator = fixed ? u'\'' : g_number_settings.thousands_sep[0];
  const bool grouping = (flags & kAllowGrouping) != 0;
  const Len lv = bl::significant(value, n);
  if (base != 10) {
    format_binary_base(out, value, lv, base, (flags & kLowerHexDigits) != 0, grouping ? 4 : 0,
                       separator);
    return;
  }
  ScratchScope scope;
  // 64 bits hold 19.27 decimal digits, so there are at most 1.014 lv + 1.06 words.
  Limb* words = scratch_limbs(lv + lv / 32 + 2);
  Limb* work = scratch_limbs(lv + 1);
  if (math_status() == MathStatus::InternalLimit) {  // the scratch stack could not serve them
    out.put(u"[\u00a7]");
    return;
  }
  const Len nw = decimal_words(words, work, value, lv);
  const std::int64_t count = 19 * (nw - 1) + digit_count(words[nw - 1]);
  if (!scientific) {
    Grouper g{out, count, grouping ? 3 : 0, separator};
    for_each_digit(words, nw, count, [&](char16_t c) { g.digit(c); });
    return;
  }
  std::int64_t kept = count;
  if (flags & kStripZeros) {
    std::int64_t zeros = 0;
    Len i = 0;
    while (i < nw - 1 && words[i] == 0) {
      zeros += 19;
      ++i;
    }
    for (Limb x = words[i]; x != 0 && x % 10 == 0; x /= 10) ++zeros;
    kept = count - zeros > 0 ? count - zeros : 1;
  }
  std::int64_t index = 0;
  for_each_digit(words, nw, kept, [&](char16_t c) {
    if (index++ == 1) out.put(point);
    out.put(c);
  });
  out.put(g_number_settings.exponent_marker[0]);
  if (!(flags & kNoExponentPlus)) out.put(u'+');
  write_u64(out, static_cast<std::uint64_t>(count - 1));
}
