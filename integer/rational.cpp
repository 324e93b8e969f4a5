// Rational arithmetic on reduced fractions of BigUInt.
#include "integer/rational.h"

#include <algorithm>
#include <cstring>

#include "core/text.h"
#include "integer/biguint_internal.h"
#include "integer/biguint_text.h"

namespace {

std::int64_t limbs() {
  return BigUIntLimbs;
}

// Significant limbs of an array of len limbs (independent of N).
std::int64_t significant(const BigUInt* a, std::int64_t len) {
  while (len > 0 && a[len - 1] == 0) --len;
  return len;
}

bool is_one(const BigUInt* a) {
  return a[0] == 1 && significant(a, limbs()) == 1;
}
bool at_least_two(const BigUInt* a) {
  return significant(a, limbs()) > 1 || a[0] >= 2;
}

BigUInt* scratch_big(std::int64_t n) {
  return scratch_alloc(static_cast<std::size_t>(n));
}

// Ends an operation: on a failure (the operation's own status, taken while an earlier one is
// saved) r becomes 0/1 with sign 0, and 203 stands for a failure that named no code.
void finish(Rational* r, bool failed) {
  if (failed || g_arith.status != 0) {
    if (r) rational_set_zero(r);
    if (g_arith.status == 0) g_arith.status = static_cast<std::uint32_t>(MathStatus::Undefined);
  }
}

// Stores num/den of `wide` limbs reduced into r (N limbs each) with the given sign.
void store_reduced(Rational* r, BigUInt* num, BigUInt* den, std::int64_t wide, bool negative) {
  const std::int64_t n = limbs();
  const std::int64_t len =
      std::max<std::int64_t>({significant(num, wide), significant(den, wide), std::int64_t{1}});
  {
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(len);
    if (g_arith.status) return;
    rational_reduce(num, den);
  }
  if (g_arith.status) return;
  biguint_resize(rat_num(r), n, num, len);
  biguint_resize(rat_den(r), n, den, len);
  r[0] = negative ? 1 : 0;
}

// The wide products x = a1 * b1 (2N limbs) into scratch.
BigUInt* wide_product(const BigUInt* a, const BigUInt* b) {
  BigUInt* w = scratch_big(2 * limbs());
  biguint_mul_wide(w, a, b);
  return w;
}

bool non_negative_integer(const Rational* a) {
  return rational_is_integer(a) && (!rat_negative(a) || biguint_is_zero(rat_num(a)));
}

std::uint64_t gcd_u64(std::uint64_t a, std::uint64_t b) {
  while (b) {
    const std::uint64_t t = a % b;
    a = b;
    b = t;
  }
  return a;
}

// BigUInt a mod k (k != 0).
std::uint64_t mod_u64(const BigUInt* a, std::uint64_t k) {
  std::uint64_t rem = 0;
  biguint_divmod_u64(nullptr, &rem, a, k, 0);
  return rem;
}

}  // namespace

void rational_set_zero(Rational* r) {
  const std::int64_t n = limbs();
  std::memset(r, 0, static_cast<std::size_t>(2 * n + 1) * sizeof(Word));
  r[1 + n] = 1;
}

void rational_copy(Rational* r, const Rational* a) {
  if (r != a) std::memmove(r, a, rational_words() * sizeof(Word));
}

void rational_set_u64(Rational* r, std::uint64_t v, bool negative) {
  rational_set_zero(r);
  r[1] = v;
  r[0] = negative && v != 0 ? 1 : 0;
}

bool rational_is_zero(const Rational* a) {
  return biguint_is_zero(rat_num(a));
}
bool rational_is_integer(const Rational* a) {
  return is_one(rat_den(a));
}

void rational_reduce(BigUInt* num, BigUInt* den) {
  if (is_one(den)) return;
  if (biguint_is_zero(num)) {
    biguint_set_u64(den, 1);
    return;
  }
  if (biguint_is_zero(den)) {
    set_status(MathStatus::DivisionByZero);
    return;
  }
  ScratchScope scope;
  BigUInt* g = scratch_big(limbs());
  biguint_gcd(g, num, den);
  if (!is_one(g)) {
    biguint_div_exact(num, num, g);
    biguint_div_exact(den, den, g);
  }
}

void rational_add(Rational* r, const Rational* a, const Rational* b, bool subtract) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  const bool sa = rat_negative(a);
  const bool sb = rat_negative(b) != subtract;
  if (biguint_compare(rat_den(a), rat_den(b)) == 0) {
    BigUInt* num = scratch_big(n);
    BigUInt* den = scratch_big(n);
    bool sign = sa;
    if (sa == sb) {
      biguint_add(num, rat_num(a), rat_num(b));
    } else {
      const int c = biguint_compare(rat_num(a), rat_num(b));
      if (c > 0) {
        biguint_sub(num, rat_num(a), rat_num(b));
      } else {
        biguint_sub(num, rat_num(b), rat_num(a));
        sign = sb;
      }
    }
    biguint_copy(den, rat_den(a));
    if (!g_arith.status) store_reduced(r, num, den, n, sign);
    return finish(r, false);
  }
  BigUInt* t1 = wide_product(rat_num(a), rat_den(b));
  BigUInt* t2 = wide_product(rat_num(b), rat_den(a));
  BigUInt* d = wide_product(rat_den(a), rat_den(b));
  bool sign = sa;
  {
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(2 * n);
    if (sa == sb) {
      biguint_add(t1, t1, t2);
    } else if (biguint_compare(t1, t2) > 0) {
      biguint_sub(t1, t1, t2);
    } else {
      biguint_sub(t1, t2, t1);
      sign = sb;
    }
  }
  if (!g_arith.status) store_reduced(r, t1, d, 2 * n, sign);
  finish(r, false);
}

void rational_mul(Rational* r, const Rational* a, const Rational* b, bool divide) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  if (divide && biguint_is_zero(rat_num(b))) {
    set_status(MathStatus::DivisionByZero);  // 0/0 too: it is no number
    return finish(r, true);
  }
  BigUInt* num = wide_product(rat_num(a), divide ? rat_den(b) : rat_num(b));
  BigUInt* den = wide_product(rat_den(a), divide ? rat_num(b) : rat_den(b));
  store_reduced(r, num, den, 2 * n, rat_negative(a) != rat_negative(b));
  finish(r, false);
}

void rational_mul_u64(Rational* r, const Rational* a, std::uint64_t k) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  BigUInt* num = scratch_big(n);
  BigUInt* den = scratch_big(n);
  biguint_copy(den, rat_den(a));
  if (k != 0 && !is_one(den)) {
    const std::uint64_t g = gcd_u64(k, mod_u64(den, k));
    if (g > 1) {
      k /= g;
      biguint_divmod_u64(den, nullptr, den, g, 0);
    }
  }
  biguint_mul_u64(num, rat_num(a), k);
  if (!g_arith.status) store_reduced(r, num, den, n, rat_negative(a));
  finish(r, false);
}

void rational_div_u64(Rational* r, const Rational* a, std::uint64_t k) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  if (k == 0) {
    set_status(MathStatus::DivisionByZero);
    return finish(r, true);
  }
  BigUInt* num = scratch_big(n);
  BigUInt* den = scratch_big(n);
  biguint_copy(num, rat_num(a));
  const std::uint64_t g = biguint_is_zero(num) ? k : gcd_u64(k, mod_u64(num, k));
  if (g > 1) {
    k /= g;
    biguint_divmod_u64(num, nullptr, num, g, 0);
  }
  biguint_mul_u64(den, rat_den(a), k);
  if (!g_arith.status) store_reduced(r, num, den, n, rat_negative(a));
  finish(r, false);
}

void rational_divmod(Rational* q, Rational* rem, const Rational* a, const Rational* b) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  const bool sq = rat_negative(a) != rat_negative(b);
  const bool sr = rat_negative(a);
  auto fail = [&] {
    finish(q, true);
    finish(rem, true);
  };
  if (biguint_is_zero(rat_num(b))) {
    set_status(MathStatus::DivisionByZero);
    return fail();
  }
  BigUInt* qn = scratch_big(2 * n);
  BigUInt* rn = scratch_big(2 * n);
  BigUInt* rd = scratch_big(2 * n);
  BigUInt* x;
  BigUInt* y;
  if (rational_is_integer(a) && rational_is_integer(b)) {
    x = scratch_big(2 * n);
    y = scratch_big(2 * n);
    biguint_resize(x, 2 * n, rat_num(a), n);
    biguint_resize(y, 2 * n, rat_num(b), n);
    std::memset(rd, 0, static_cast<std::size_t>(2 * n) * sizeof(Word));
    rd[0] = 1;
  } else {
    x = wide_product(rat_num(a), rat_den(b));
    y = wide_product(rat_den(a), rat_num(b));
    BigUInt* d = wide_product(rat_den(a), rat_den(b));
    std::memcpy(rd, d, static_cast<std::size_t>(2 * n) * sizeof(Word));
  }
  {
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(2 * n);
    biguint_divmod(qn, rn, x, y);
  }
  if (g_arith.status) return fail();
  BigUInt* one = scratch_big(2 * n);
  std::memset(one, 0, static_cast<std::size_t>(2 * n) * sizeof(Word));
  one[0] = 1;
  Rational* tq = scratch_rational();
  Rational* tr = scratch_rational();
  store_reduced(tq, qn, one, 2 * n, sq);
  store_reduced(tr, rn, rd, 2 * n, sr);
  if (g_arith.status) return fail();
  if (q) rational_copy(q, tq);
  if (rem) rational_copy(rem, tr);
}

void rational_reciprocal(Rational* r, const Rational* a) {
  ContextScope saved = ContextScope::isolated_status();
  if (rational_is_zero(a)) {
    set_status(MathStatus::DivisionByZero);
    return finish(r, true);
  }
  ScratchScope scope;
  const std::int64_t n = limbs();
  BigUInt* t = scratch_big(n);
  biguint_copy(t, rat_num(a));
  rational_copy(r, a);
  biguint_copy(rat_num(r), rat_den(r));
  biguint_copy(rat_den(r), t);
}

namespace {

// Exact k-th roots of numerator and denominator into num and den; false when either is not.
bool exact_roots(BigUInt* num, BigUInt* den, const Rational* x, const BigUInt* k) {
  const bool a = biguint_root(num, k, rat_num(x));
  const bool b = biguint_root(den, k, rat_den(x));
  return a && b && !g_arith.status;
}

void power_parts(BigUInt* num, BigUInt* den, const BigUInt* e) {
  biguint_pow(num, num, e);
  biguint_pow(den, den, e);
}

}  // namespace

void rational_pow(Rational* r, const Rational* base, const Rational* e) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  const BigUInt* p = rat_num(e);
  const BigUInt* q = rat_den(e);
  BigUInt* num = scratch_big(n);
  BigUInt* den = scratch_big(n);
  const bool odd = (p[0] & 1) != 0;
  const bool sign = rat_negative(base) && odd && !rational_is_zero(base);
  if (is_one(q)) {
    biguint_copy(num, rat_num(base));
    biguint_copy(den, rat_den(base));
  } else {
    if (rat_negative(base) && !rational_is_zero(base)) return finish(r, true);
    if (!exact_roots(num, den, base, q)) return finish(r, true);
  }
  power_parts(num, den, p);
  if (g_arith.status) return finish(r, true);
  Rational* t = scratch_rational();
  store_reduced(t, num, den, n, sign);
  if (rat_negative(e) && !rational_is_zero(e)) rational_reciprocal(t, t);
  if (g_arith.status) return finish(r, true);
  rational_copy(r, t);
}

void rational_root(Rational* r, const Rational* nn, const Rational* x) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  const BigUInt* p = rat_num(nn);
  const BigUInt* q = rat_den(nn);
  if (biguint_is_zero(p)) return finish(r, true);
  const bool negative = rat_negative(x) && !rational_is_zero(x);
  if (negative && (!is_one(q) || (p[0] & 1) == 0)) return finish(r, true);
  BigUInt* num = scratch_big(n);
  BigUInt* den = scratch_big(n);
  if (!exact_roots(num, den, x, p)) return finish(r, true);
  if (!is_one(q)) power_parts(num, den, q);
  if (g_arith.status) return finish(r, true);
  Rational* t = scratch_rational();
  store_reduced(t, num, den, n, negative);
  if (rat_negative(nn)) rational_reciprocal(t, t);
  if (g_arith.status) return finish(r, true);
  rational_copy(r, t);
}

void rational_log(Rational* r, const Rational* base, const Rational* x) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  const bool base_ok =
      rational_is_integer(base) && !rat_negative(base) && at_least_two(rat_num(base));
  const bool x_ok = !rat_negative(x) && !rational_is_zero(x);
  if (!base_ok || !x_ok) return finish(r, true);
  BigUInt* v = scratch_big(n);
  bool exact;
  bool negative = false;
  if (rational_is_integer(x)) {
    exact = biguint_log(v, rat_num(base), rat_num(x));
  } else if (is_one(rat_num(x))) {
    exact = biguint_log(v, rat_num(base), rat_den(x));
    negative = true;
  } else {
    return finish(r, true);
  }
  if (!exact || g_arith.status) return finish(r, true);
  rational_set_zero(r);
  biguint_copy(rat_num(r), v);
  r[0] = negative && !biguint_is_zero(v) ? 1 : 0;
}

void rational_binomial(Rational* r, const Rational* nn, const Rational* k, bool permutations) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  const std::int64_t n = limbs();
  if (non_negative_integer(nn) && non_negative_integer(k)) {
    BigUInt* v = scratch_big(n);
    biguint_binomial(v, rat_num(nn), rat_num(k), permutations);
    if (g_arith.status) return finish(r, true);
    rational_set_zero(r);
    biguint_copy(rat_num(r), v);
    return;
  }
  if (non_negative_integer(nn)) return finish(r, true);
  std::uint64_t count;
  if (!rational_to_u64(&count, k, 0)) return finish(r, true);
  // The product of (n - k + i) / i for i = 1..k.
  Rational* t = scratch_rational();
  Rational* acc = scratch_rational();
  Rational* term = scratch_rational();
  Rational* iv = scratch_rational();
  rational_add(t, nn, k, true);
  rational_set_u64(acc, 1, false);
  for (std::uint64_t i = 1; i <= count; ++i) {
    if (g_arith.status) break;
    if (cancel_requested()) {
      set_status(MathStatus::Cancelled);
      break;
    }
    rational_set_u64(iv, i, false);
    rational_add(term, t, iv, false);
    if (!permutations) rational_div_u64(term, term, i);
    rational_mul(acc, acc, term, false);
    if (rational_is_zero(acc)) break;
  }
  if (g_arith.status) return finish(r, true);
  rational_copy(r, acc);
}

void rational_trunc(Rational* r, const Rational* a) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  BigUInt* q = scratch_big(limbs());
  biguint_divmod(q, nullptr, rat_num(a), rat_den(a));
  const bool sign = rat_negative(a) && !biguint_is_zero(q);
  rational_set_zero(r);
  biguint_copy(rat_num(r), q);
  r[0] = sign ? 1 : 0;
  finish(r, false);
}

void rational_frac(Rational* r, const Rational* a) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  BigUInt* m = scratch_big(limbs());
  biguint_divmod(nullptr, m, rat_num(a), rat_den(a));
  const bool sign = rat_negative(a);
  biguint_copy(rat_num(r), m);
  if (r != a) biguint_copy(rat_den(r), rat_den(a));
  r[0] = sign ? 1 : 0;
  if (biguint_is_zero(m)) biguint_set_u64(rat_den(r), 1);
  finish(r, false);
}

void rational_exact_log(Rational* r, const Rational* a, BigUIntLogFn f) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  if (rat_negative(a) || rational_is_zero(a)) return finish(r, true);
  BigUInt* v = scratch_big(limbs());
  bool exact, negative = false;
  if (rational_is_integer(a)) {
    exact = f(v, rat_num(a));
  } else if (is_one(rat_num(a))) {
    exact = f(v, rat_den(a));
    negative = true;
  } else {
    return finish(r, true);
  }
  if (!exact || g_arith.status) return finish(r, true);
  rational_set_zero(r);
  biguint_copy(rat_num(r), v);
  r[0] = negative && !biguint_is_zero(v) ? 1 : 0;
}

void rational_int_power(Rational* r, const Rational* nn, BigUIntPowFn f) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  if (!rational_is_integer(nn)) return finish(r, true);
  BigUInt* v = scratch_big(limbs());
  f(v, rat_num(nn));
  if (g_arith.status) return finish(r, true);
  const bool negative = rat_negative(nn) && !rational_is_zero(nn);
  rational_set_zero(r);
  biguint_copy(rat_num(r), v);
  if (negative) rational_reciprocal(r, r);
  finish(r, false);
}

void rational_i64_power(Rational* r, std::int64_t nn, BigUIntPowI64Fn f) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  BigUInt* v = scratch_big(limbs());
  const std::uint64_t mag =
      nn < 0 ? 0 - static_cast<std::uint64_t>(nn) : static_cast<std::uint64_t>(nn);
  if (mag > static_cast<std::uint64_t>(INT64_MAX)) {
    set_status(MathStatus::Overflow);
    return finish(r, true);
  }
  f(v, static_cast<std::int64_t>(mag));
  if (g_arith.status) return finish(r, true);
  rational_set_zero(r);
  biguint_copy(rat_num(r), v);
  if (nn < 0) rational_reciprocal(r, r);
  finish(r, false);
}

int rational_compare(const Rational* a, const Rational* b, bool magnitude_only) {
  const bool sa = !magnitude_only && rat_negative(a);
  const bool sb = !magnitude_only && rat_negative(b);
  const bool za = rational_is_zero(a), zb = rational_is_zero(b);
  if (za && zb) return 0;
  if (sa != sb || za || zb) {
    if (!za) return sa ? -1 : 1;
    return sb ? 1 : -1;
  }
  int c;
  if (biguint_compare(rat_den(a), rat_den(b)) == 0) {
    c = biguint_compare(rat_num(a), rat_num(b));
  } else {
    ScratchScope scope;
    BigUInt* x = wide_product(rat_num(a), rat_den(b));
    BigUInt* y = wide_product(rat_num(b), rat_den(a));
    ContextScope size(ContextScope::kSizes);
    biguint_set_limbs(2 * limbs());
    c = biguint_compare(x, y);
  }
  return sa ? -c : c;
}

int rational_compare_u64(const Rational* a, std::uint64_t m, bool m_negative) {
  ScratchScope scope;
  Rational* t = scratch_rational();
  rational_set_u64(t, m, m_negative);
  return rational_compare(a, t, false);
}

bool rational_to_u64(std::uint64_t* out, const Rational* a, std::uint32_t flags) {
  *out = 0;
  if (rat_negative(a) && !rational_is_zero(a) && !(flags & 0x400000)) return false;
  const std::int64_t n = limbs();
  if (rational_is_integer(a)) {
    if (significant(rat_num(a), n) > 1) return false;
    *out = rat_num(a)[0];
    return true;
  }
  if (!(flags & 0x200000)) return false;
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  BigUInt* q = scratch_big(n);
  biguint_divmod(q, nullptr, rat_num(a), rat_den(a));
  const bool ok = !g_arith.status && significant(q, n) <= 1;
  g_arith.status = 0;
  if (ok) *out = q[0];
  return ok;
}

void rational_parse(Rational* r, const char16_t* text, std::int64_t length, std::uint32_t flags) {
  ContextScope saved = ContextScope::isolated_status();
  ScratchScope scope;
  auto fail = [&](MathStatus s) {
    set_status(s);
    finish(r, true);
  };
  if (!text || length < -1) return fail(MathStatus::InvalidNumber);
  if (length == -1) {
    length = 0;
    while (text[length]) ++length;
  }
  std::int64_t begin = 0, end = length;
  while (begin < end && text[begin] == u' ') ++begin;
  while (end > begin && text[end - 1] == u' ') --end;
  if (begin == end) return fail(MathStatus::InvalidNumber);
  bool negative = false;
  if (text[begin] == u'+' || text[begin] == u'-') {
    negative = text[begin] == u'-';
    ++begin;
    std::int64_t k = begin;
    while (k < end && text[k] == u' ') ++k;
    if (k == end || text[k] == u'+' || text[k] == u'-') return fail(MathStatus::InvalidNumber);
  }
  std::int64_t slash = begin;
  while (slash < end && text[slash] != u'/') ++slash;
  const std::int64_t n = limbs();
  BigUInt* num = scratch_big(n);
  BigUInt* den = scratch_big(n);
  biguint_parse(num, text + begin, slash - begin, flags);
  if (g_arith.status) return finish(r, true);
  if (slash < end) {
    std::int64_t k = slash + 1;
    while (k < end && text[k] == u' ') ++k;
    if (k < end && text[k] == u'+') return fail(MathStatus::InvalidNumber);
    biguint_parse(den, text + slash + 1, end - slash - 1, flags);
    if (g_arith.status) return finish(r, true);
    if (biguint_is_zero(den)) return fail(MathStatus::Undefined);
  } else {
    biguint_set_u64(den, 1);
  }
  store_reduced(r, num, den, n, negative && !biguint_is_zero(num));
  finish(r, false);
}

std::int64_t rational_format(char16_t* buffer, std::int64_t capacity, const Rational* a,
                             std::uint32_t flags) {
  if (!buffer) return biguint_text_size(flags) * 2 + 2;
  const bool terminate = (flags & 0x400000) == 0;
  const std::uint32_t inner = (flags & ~std::uint32_t{0x1000}) | 0x400000;
  TextSink sink{0, std::max<std::int64_t>(capacity, 0), buffer};
  const bool zero = rational_is_zero(a);
  if (rat_negative(a) && (!zero || (flags & 0x1000))) {
    sink_put(sink, u'-');
  } else if (flags & 0x1000) {
    sink_put(sink, u'+');
  }
  if (a[0] > 1 || biguint_is_zero(rat_den(a))) {
    sink_put_ascii(sink, "[?]");
  } else {
    biguint_format(sink, rat_num(a), inner);
    if (!is_one(rat_den(a))) {
      sink_put(sink, u'/');
      biguint_format(sink, rat_den(a), inner);
    }
  }
  const std::int64_t len = sink_length_or_overflow_mark(sink);
  if (terminate) buffer[len] = 0;
  return len;
}
