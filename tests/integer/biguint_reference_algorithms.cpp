#include "biguint_reference_algorithms.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "core/word_arith.h"

namespace biguint_reference {

namespace {

using Limbs = std::vector<std::uint64_t>;

std::int64_t n_limbs() {
  return BigUIntLimbs;
}
Limbs copy_of(const BigUInt* a) {
  return Limbs(a, a + n_limbs());
}
Limbs zeros() {
  return Limbs(static_cast<std::size_t>(n_limbs()), 0);
}
Limbs word(std::uint64_t v) {
  Limbs x = zeros();
  x[0] = v;
  return x;
}
void put(BigUInt* dst, const Limbs& v) {
  if (dst) std::copy(v.begin(), v.end(), dst);
}
bool is_zero(const Limbs& v) {
  return std::all_of(v.begin(), v.end(), [](std::uint64_t x) { return x == 0; });
}

// The status rule of composite operations: run with a clear status, put an earlier one back.
struct Saved {
  std::uint32_t saved = g_arith.status;
  Saved() { g_arith.status = 0; }
  ~Saved() {
    if (saved) g_arith.status = saved;
  }
};

}  // namespace

void divmod_u64(BigUInt* q, std::uint64_t* rem, const BigUInt* a, std::uint64_t d,
                std::uint64_t recip) {
  const std::int64_t n = n_limbs();
  const Limbs av = copy_of(a);
  Limbs qv = zeros();
  if (d == 0) {
    put(q, qv);
    if (rem) *rem = 0;
    set_status(MathStatus::DivisionByZero);
    return;
  }
  const int k = 63 - std::countl_zero(d);
  std::uint64_t R = recip;
  if (R == 0) R = d <= 2000 ? ReciprocalTable[d] : reciprocal_of(d);
  std::uint64_t r = 0;
  for (std::int64_t i = n - 1; i >= 0; --i) {
    const std::uint64_t limb = av[static_cast<std::size_t>(i)];
    const u128 num = (static_cast<u128>(r) << 64) | limb;
    std::uint64_t digit;
    if ((d & (d - 1)) == 0) {
      digit = static_cast<std::uint64_t>(num >> k);
      r = limb & (d - 1);
    } else {
      // floor(R * num / 2^(64 + k)) from the 192-bit product R * r * 2^64 + R * limb
      const u128 hi = static_cast<u128>(R) * r, lo = static_cast<u128>(R) * limb;
      const u128 mid = (lo >> 64) + static_cast<std::uint64_t>(hi);
      const u128 top = (hi >> 64) + (mid >> 64);
      const u128 shifted = (top << 64) | static_cast<std::uint64_t>(mid);
      digit = static_cast<std::uint64_t>(shifted >> k);
      u128 rr = num - static_cast<u128>(digit) * d;
      while (rr >= d) {
        rr -= d;
        ++digit;
      }
      r = static_cast<std::uint64_t>(rr);
    }
    qv[static_cast<std::size_t>(i)] = digit;
  }
  put(q, qv);
  if (rem) *rem = r;
}

void divmod(BigUInt* q, BigUInt* r, const BigUInt* a, const BigUInt* b) {
  const std::int64_t n = n_limbs();
  const Limbs av = copy_of(a), bv = copy_of(b);
  const std::int64_t bb = biguint_bit_length(bv.data());
  if (bb == 0) {
    put(q, zeros());
    put(r, zeros());
    set_status(MathStatus::DivisionByZero);
    return;
  }
  if (bb <= 64) {
    std::uint64_t rem = 0;
    divmod_u64(q, &rem, av.data(), bv[0], 0);
    put(r, word(rem));
    return;
  }
  const std::int64_t g = (biguint_bit_length(av.data()) + 3) / 4 - (bb + 3) / 4;
  if (g < 0) {
    put(r, av);
    put(q, zeros());
    return;
  }
  const std::int64_t L = (bb + 67) / 64;
  Limbs top = zeros(), qv = zeros();
  biguint_shr(top.data(), av.data(), 4 * g);
  Limbs R(static_cast<std::size_t>(L), 0);
  std::copy_n(top.begin(), std::min(L, n), R.begin());
  {
    ContextScope scope(ContextScope::kSizes);
    biguint_set_limbs(L);
    std::vector<Limbs> M(16, Limbs(static_cast<std::size_t>(L), 0));
    std::copy_n(bv.begin(), std::min(L, n), M[1].begin());
    for (int m = 2; m <= 15; ++m) biguint_add(M[m].data(), M[m - 1].data(), M[1].data());
    for (std::int64_t j = g; j >= 0; --j) {
      int m = 8;
      for (int step : {4, 2, 1}) {
        m += biguint_compare(R.data(), M[m].data()) < 0 ? -step : step;
      }
      if (biguint_compare(R.data(), M[m].data()) < 0) --m;
      if (m > 0) biguint_sub(R.data(), R.data(), M[m].data());
      qv[static_cast<std::size_t>(j / 16)] |= static_cast<std::uint64_t>(m) << (4 * (j % 16));
      if (j > 0) {
        const std::uint64_t digit =
            (av[static_cast<std::size_t>((j - 1) / 16)] >> (4 * ((j - 1) % 16))) & 15;
        biguint_shl_small(R.data(), R.data(), 4, true);
        biguint_add_u64(R.data(), R.data(), digit);
      }
    }
  }
  Limbs rv = zeros();
  std::copy_n(R.begin(), std::min(L, n), rv.begin());
  put(q, qv);
  put(r, rv);
}

namespace {

// Bit-wise search: the largest x below 2^t with x^k <= a; power(x) returns false on overflow.
template <class Power>
bool search_root(BigUInt* r, const Limbs& a, std::int64_t t, Power power) {
  Limbs low = zeros(), step = zeros(), cand = zeros(), p = zeros();
  biguint_pow2_i64(step.data(), t);
  while (biguint_bit_length(step.data()) >= 2) {
    biguint_shr(step.data(), step.data(), 1);
    biguint_add(cand.data(), low.data(), step.data());
    if (!power(p, cand)) continue;  // too large
    const int c = biguint_compare(p.data(), a.data());
    if (c == 0) {
      put(r, cand);
      return true;
    }
    if (c < 0) low = cand;
  }
  put(r, low);
  return false;
}

}  // namespace

bool isqrt(BigUInt* r, const BigUInt* a) {
  Saved saved;
  const Limbs av = copy_of(a);
  if (is_zero(av)) {
    put(r, zeros());
    return true;
  }
  const std::int64_t c = (biguint_bit_length(av.data()) + 1) / 2;
  return search_root(r, av, c, [](Limbs& p, const Limbs& x) {
    biguint_mul(p.data(), x.data(), x.data());
    const bool ok = g_arith.status == 0;
    clear_status();
    return ok;
  });
}

bool root(BigUInt* r, std::int64_t k, const BigUInt* a) {
  Saved saved;
  const Limbs av = copy_of(a);
  if (k <= 0) {
    put(r, zeros());
    set_status(MathStatus::Undefined);
    return false;
  }
  if (k == 1) {
    put(r, av);
    return true;
  }
  if (is_zero(av)) {
    put(r, zeros());
    return true;
  }
  const std::int64_t b = biguint_bit_length(av.data());
  const std::int64_t t = k < (std::int64_t{1} << 31) ? (b - 1) / k + 1 : 1;
  return search_root(r, av, t, [k](Limbs& p, const Limbs& x) {
    biguint_pow_i64(p.data(), x.data(), k);
    const bool ok = g_arith.status == 0;
    clear_status();
    return ok;
  });
}

void pow(BigUInt* r, const BigUInt* a, std::int64_t e) {
  Saved saved;
  Limbs base = copy_of(a), result = word(1);
  if (e < 0) {
    put(r, zeros());
    set_status(MathStatus::Undefined);
    return;
  }
  bool first = true;
  for (int bit = 0; bit < 63 && (e >> bit) != 0; ++bit) {
    if ((e >> bit) & 1) {
      if (first) {
        result = base;
        first = false;
      } else {
        biguint_mul(result.data(), result.data(), base.data());
      }
    }
    if (g_arith.status != 0 || (e >> (bit + 1)) == 0) break;
    biguint_mul(base.data(), base.data(), base.data());
    if (g_arith.status != 0) break;
  }
  put(r, g_arith.status != 0 ? zeros() : result);
}

void powmod(BigUInt* r, const BigUInt* base, const BigUInt* e, const BigUInt* m) {
  Saved saved;
  const std::int64_t n = n_limbs();
  const Limbs bv = copy_of(base), ev = copy_of(e), mv = copy_of(m);
  if (is_zero(mv)) {
    put(r, zeros());
    set_status(MathStatus::DivisionByZero);
    return;
  }
  const bool m_is_one =
      mv[0] == 1 && std::all_of(mv.begin() + 1, mv.end(), [](auto x) { return x == 0; });
  if (is_zero(ev)) {
    put(r, word(m_is_one ? 0 : 1));
    return;
  }
  Limbs t = zeros();
  biguint_log2(t.data(), ev.data());
  const std::int64_t top = static_cast<std::int64_t>(t[0]);
  Limbs acc(static_cast<std::size_t>(2 * n), 0), m2 = acc, b2 = acc;
  biguint_resize(m2.data(), 2 * n, mv.data(), n);
  biguint_resize(b2.data(), 2 * n, bv.data(), n);
  acc[0] = 1;
  {
    ContextScope scope(ContextScope::kSizes);
    biguint_set_limbs(2 * n);
    for (std::int64_t i = top; i >= 0 && g_arith.status == 0; --i) {
      if (cancel_requested()) {
        set_status(MathStatus::Cancelled);
        break;
      }
      biguint_mul(acc.data(), acc.data(), acc.data());
      biguint_divmod(nullptr, acc.data(), acc.data(), m2.data());
      if ((ev[static_cast<std::size_t>(i / 64)] >> (i % 64)) & 1) {
        biguint_mul(acc.data(), acc.data(), b2.data());
        biguint_divmod(nullptr, acc.data(), acc.data(), m2.data());
      }
    }
  }
  Limbs out = zeros();
  if (g_arith.status == 0) biguint_resize(out.data(), n, acc.data(), 2 * n);
  put(r, out);
}

void gcd(BigUInt* r, const BigUInt* a, const BigUInt* b) {
  Limbs av = copy_of(a), bv = copy_of(b);
  if (is_zero(av) || is_zero(bv)) {
    put(r, zeros());
    set_status(MathStatus::Undefined);
    return;
  }
  Limbs rem = zeros(), g = bv;
  biguint_divmod(nullptr, rem.data(), av.data(), bv.data());
  while (!is_zero(rem)) {
    Limbs next = zeros();
    biguint_divmod(nullptr, next.data(), g.data(), rem.data());
    g = rem;
    rem = next;
  }
  put(r, g);
}

bool log(BigUInt* r, const BigUInt* base, const BigUInt* a) {
  Limbs x = copy_of(a);
  const Limbs bv = copy_of(base);
  std::uint64_t count = 0;
  bool exact = true;
  Limbs rem = zeros();
  while (biguint_compare(x.data(), bv.data()) >= 0) {
    biguint_divmod(x.data(), rem.data(), x.data(), bv.data());
    if (!is_zero(rem)) exact = false;
    ++count;
  }
  put(r, word(count));
  return exact && x[0] == 1 && std::all_of(x.begin() + 1, x.end(), [](auto v) { return v == 0; });
}

void factorial(BigUInt* r, std::uint64_t n) {
  Saved saved;
  Limbs v = word(1);
  for (std::uint64_t i = 2; i <= n && g_arith.status == 0; ++i)
    biguint_mul_u64(v.data(), v.data(), i);
  put(r, g_arith.status ? zeros() : v);
}

void binomial(BigUInt* r, const BigUInt* nv, const BigUInt* kv, bool permutations) {
  Saved saved;
  const Limbs n = copy_of(nv), k = copy_of(kv);
  if (biguint_compare(n.data(), k.data()) < 0) {
    put(r, zeros());
    return;
  }
  Limbs m = zeros();
  biguint_sub(m.data(), n.data(), k.data());
  Limbs count, base;
  if (permutations) {
    count = k;
    base = m;
  } else {
    const bool k_smaller = biguint_compare(k.data(), m.data()) <= 0;
    count = k_smaller ? k : m;
    base = k_smaller ? m : k;
  }
  if (biguint_significant_limbs(count.data()) > 1) {
    put(r, zeros());
    set_status(MathStatus::Undefined);
    return;
  }
  Limbs v = word(1);
  for (std::uint64_t i = 1; i <= count[0]; ++i) {
    if (g_arith.status != 0) break;
    if (cancel_requested()) {
      set_status(MathStatus::Cancelled);
      break;
    }
    biguint_add_u64(base.data(), base.data(), 1);
    biguint_mul(v.data(), v.data(), base.data());
    if (!permutations) {
      std::uint64_t rem = 0;
      biguint_divmod_u64(v.data(), &rem, v.data(), i, 0);
      if (rem != 0) set_status(MathStatus::InternalLimit);
    }
  }
  put(r, g_arith.status ? zeros() : v);
}

// --- text ------------------------------------------------------------------------------------

namespace {

struct Seps {
  char16_t dec[3], thou[3];
  bool is_dec(char16_t c) const { return c == dec[0] || c == dec[1] || c == dec[2]; }
  bool is_thou(char16_t c) const { return c == thou[0] || c == thou[1] || c == thou[2]; }
};

Seps seps(bool fixed) {
  Seps s;
  for (int i = 0; i < 3; ++i) {
    s.dec[i] = fixed ? u'.' : g_number_settings.decimal_sep[i];
    s.thou[i] = fixed ? u'\'' : g_number_settings.thousands_sep[i];
  }
  return s;
}

int value_of(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Digit of the scanner in this base: 0-9 below the base, a-f and A-F in base 16.
bool scanner_digit(char16_t c, unsigned base) {
  if (c >= u'0' && c <= u'9') return static_cast<unsigned>(c - u'0') < base;
  return base == 16 && value_of(c) >= 0;
}

void parse_decimal(Limbs& v, const char16_t* s, std::int64_t len, std::int64_t exponent,
                   const Seps& sep) {
  bool fraction = false;
  for (std::int64_t i = 0; i < len && g_arith.status == 0; ++i) {
    const char16_t c = s[i];
    if (c >= u'0' && c <= u'9') {
      if (!fraction || exponent > 0) {
        biguint_mul_u64(v.data(), v.data(), 10);
        biguint_add_u64(v.data(), v.data(), static_cast<std::uint64_t>(c - u'0'));
        if (fraction) --exponent;
      } else if (c != u'0') {
        set_status(MathStatus::InvalidNumber);
      }
    } else if (sep.is_thou(c)) {
    } else if (sep.is_dec(c)) {
      fraction = true;
    } else {
      set_status(MathStatus::InvalidNumber);
    }
  }
  if (g_arith.status != 0 || is_zero(v)) return;
  for (; exponent < 0 && g_arith.status == 0; ++exponent) {
    std::uint64_t rem = 0;
    biguint_divmod_u64(v.data(), &rem, v.data(), 10, 0);
    if (rem != 0) set_status(MathStatus::InvalidNumber);
  }
  for (; exponent > 0 && g_arith.status == 0; --exponent) biguint_mul_u64(v.data(), v.data(), 10);
}

bool parse_text(Limbs& v, const char16_t* text, std::int64_t length, std::uint32_t flags) {
  std::int64_t end = length;
  if (length == -1) {
    end = 0;
    while (text[end]) ++end;
  }
  std::int64_t pos = 0;
  while (pos < end && text[pos] == u' ') ++pos;
  while (end > pos && text[end - 1] == u' ') --end;
  if (pos == end) return false;
  unsigned base = flags & 0xff;
  if (base == 0) base = 10;
  if (base != 2 && base != 8 && base != 10 && base != 16) {
    set_status(MathStatus::InvalidSetting);
    return false;
  }
  const bool fixed = flags & 0x200, grouping = flags & 0x100;
  const Seps sep = seps(fixed);
  if (text[pos] == u'+') ++pos;
  auto digit_at = [&](std::int64_t i) { return i < end && scanner_digit(text[i], base); };
  if (!digit_at(pos)) return false;
  const std::int64_t run = pos;
  bool point = false;
  while (pos < end) {
    if (digit_at(pos) || (grouping && sep.is_thou(text[pos]) && digit_at(pos + 1))) {
      ++pos;
    } else if (!point && sep.is_dec(text[pos]) && digit_at(pos + 1)) {
      point = true;
      ++pos;
    } else {
      break;
    }
  }
  const std::int64_t run_end = pos;
  if (pos == end && !point) {
    for (std::int64_t i = run; i < run_end && g_arith.status == 0; ++i) {
      const int d = value_of(text[i]);
      if (d >= 0) {
        if (static_cast<unsigned>(d) >= base) {
          set_status(MathStatus::InvalidNumber);
          break;
        }
        biguint_mul_u64(v.data(), v.data(), base);
        biguint_add_u64(v.data(), v.data(), static_cast<std::uint64_t>(d));
      } else if (!sep.is_thou(text[i])) {
        set_status(MathStatus::InvalidNumber);
      }
    }
    return g_arith.status == 0;
  }
  if (base != 10) return false;
  std::int64_t exponent = 0;
  if (pos < end) {
    bool marker = false;
    for (char16_t m : g_number_settings.exponent_marker) marker |= text[pos] == m;
    if (!marker) return false;
    ++pos;
    bool negative = false;
    if (pos < end && (text[pos] == u'+' || text[pos] == u'-')) negative = text[pos++] == u'-';
    if (pos == end || !(text[pos] >= u'0' && text[pos] <= u'9')) return false;
    std::uint64_t x = 0;
    for (; pos < end && text[pos] >= u'0' && text[pos] <= u'9'; ++pos) {
      const std::uint64_t d = static_cast<std::uint64_t>(text[pos] - u'0');
      if (x >= 1844674407370955161ULL && (x > 1844674407370955161ULL || d > 5)) return false;
      x = x * 10 + d;
    }
    if (pos != end || x > 0x7fffffffffffffffULL) return false;
    exponent = negative ? -static_cast<std::int64_t>(x) : static_cast<std::int64_t>(x);
  }
  parse_decimal(v, text + run, run_end - run, exponent, sep);
  return g_arith.status == 0;
}

}  // namespace

void parse(BigUInt* result, const char16_t* text, std::int64_t length, std::uint32_t flags) {
  Saved saved;
  Limbs v = zeros();
  if (!parse_text(v, text, length, flags)) {
    put(result, zeros());
    set_status(MathStatus::InvalidNumber);
    return;
  }
  put(result, v);
}

std::u16string format(const BigUInt* value, std::uint32_t flags) {
  Saved saved;
  std::u16string out;
  if (flags & 0x1000) out += u'+';
  unsigned base = flags & 0xff;
  if (base == 0) base = 10;
  const bool sci = flags & 0x10000;
  if ((base != 2 && base != 8 && base != 10 && base != 16) || (sci && base != 10)) {
    set_status(MathStatus::InvalidSetting);
    return out + u"[P]";
  }
  Limbs v = copy_of(value);
  std::u16string digits;  // least significant first
  if (base != 10) {
    const int bits = base == 2 ? 1 : base == 8 ? 3 : 4;
    const char* set = (flags & 0x40000) ? "0123456789abcdef" : "0123456789ABCDEF";
    do {
      std::uint64_t lost = 0;
      biguint_shr_small(v.data(), &lost, v.data(), static_cast<std::uint64_t>(bits));
      digits += static_cast<char16_t>(set[lost]);
    } while (!is_zero(v));
  } else {
    do {
      std::uint64_t rem = 0;
      biguint_divmod_u64(v.data(), &rem, v.data(), 10000000000000000000ULL, 0xec1e4a7db69561a5ULL);
      for (int i = 0; i < 19; ++i, rem /= 10) digits += static_cast<char16_t>(u'0' + rem % 10);
    } while (!is_zero(v));
    while (digits.size() > 1 && digits.back() == u'0') digits.pop_back();
  }
  std::reverse(digits.begin(), digits.end());
  const bool fixed = flags & 0x200;
  const char16_t point = fixed ? u'.' : g_number_settings.decimal_sep[0];
  const char16_t group = fixed ? u'\'' : g_number_settings.thousands_sep[0];
  if (sci) {
    const std::size_t count = digits.size();
    if (flags & 0x80000) {
      while (digits.size() > 1 && digits.back() == u'0') digits.pop_back();
    }
    out += digits[0];
    if (digits.size() >= 2) out += point + digits.substr(1);
    out += g_number_settings.exponent_marker[0];
    if (!(flags & 0x2000)) out += u'+';
    for (char c : std::to_string(count - 1)) out += static_cast<char16_t>(c);
    return out;
  }
  const std::size_t size = base == 10 ? 3 : 4;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    out += digits[i];
    const std::size_t right = digits.size() - 1 - i;
    if ((flags & 0x100) && right > 0 && right % size == 0) out += group;
  }
  return out;
}

}  // namespace biguint_reference
