// The arithmetic context, special values, exponent checks, rounding, changes of precision and
// the scratch stack.
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "core/decfloat.h"
#include "core/limbs.h"
#include "core/text.h"
#include "core/thread_context.h"
#include "core/word_arith.h"

thread_local constinit ArithContext g_arith;
std::atomic<std::uint8_t> g_cancel_request{0};
thread_local constinit std::int64_t BigUIntLimbs = 2;
thread_local constinit std::uint64_t BigUIntDigits = 38;  // the digits of 2 limbs
thread_local constinit std::uint32_t NumberType = 0;      // none until a page sets one

namespace {

// The thread's scratch arena: the stack itself, then the reserve area that is served when the
// stack is exhausted (results are garbage then, but flagged by status 400 and no write ever
// leaves memory we own). Allocated on the thread's first temporary; the owner frees it when the
// thread ends. Kept apart from g_arith so the context stays trivially destructible.
thread_local constinit Word* t_arena_base = nullptr;

struct ArenaOwner {
  Word* memory = nullptr;
  ~ArenaOwner() {
    delete[] memory;
    t_arena_base = nullptr;
    g_arith.scratch_top = g_arith.scratch_end = g_arith.scratch_high = nullptr;
  }
};

Word* arena_base() {
  if (t_arena_base == nullptr) {
    thread_local ArenaOwner owner;
    // Rare and huge: served by the heap once per thread, never on an arithmetic path.
    owner.memory = new Word[kScratchWords + kScratchMaxRequest];
    t_arena_base = owner.memory;
    g_arith.scratch_end = t_arena_base + kScratchWords;
    g_arith.scratch_high = t_arena_base;
  }
  return t_arena_base;
}

template <std::size_t... I>
constexpr auto make_reciprocals(std::index_sequence<I...>) {
  return std::array<std::uint64_t, sizeof...(I)>{(I == 0 ? 0 : reciprocal_of(I))...};
}

}  // namespace

constexpr auto kReciprocals = make_reciprocals(std::make_index_sequence<kReciprocalTableSize>{});
static_assert(kReciprocals[3] == 0xaaaaaaaaaaaaaaaaULL);
static_assert(kReciprocals[5] == 0xccccccccccccccccULL);

const std::array<std::uint64_t, kReciprocalTableSize> ReciprocalTable = kReciprocals;
const std::uint64_t kPow10Reciprocal[20] = {
    reciprocal_of(kPow10[0]),  reciprocal_of(kPow10[1]),  reciprocal_of(kPow10[2]),
    reciprocal_of(kPow10[3]),  reciprocal_of(kPow10[4]),  reciprocal_of(kPow10[5]),
    reciprocal_of(kPow10[6]),  reciprocal_of(kPow10[7]),  reciprocal_of(kPow10[8]),
    reciprocal_of(kPow10[9]),  reciprocal_of(kPow10[10]), reciprocal_of(kPow10[11]),
    reciprocal_of(kPow10[12]), reciprocal_of(kPow10[13]), reciprocal_of(kPow10[14]),
    reciprocal_of(kPow10[15]), reciprocal_of(kPow10[16]), reciprocal_of(kPow10[17]),
    reciprocal_of(kPow10[18]), reciprocal_of(kPow10[19])};

void arith_reset() {
  g_arith.precision = 16;
  g_arith.limb_count = 1;
  g_arith.top_digits = 16;
  g_arith.status = 0;
  g_arith.round_results = 0;
  g_arith.report_underflow = 0;
  g_arith.report_overflow = 1;
  g_arith.cancel_flag = &g_cancel_request;
  g_cancel_request.store(0, std::memory_order_relaxed);
  g_arith.scratch_top = t_arena_base;
}

void set_precision(std::int64_t digits) {
  if (digits < kMinPrecision || digits > kMaxPrecision) {
    set_status(MathStatus::InvalidSetting);
    return;
  }
  set_precision_shape(digits);
}

// --- scratch stack ---------------------------------------------------------------------------

ScratchMark scratch_first_mark() {
  g_arith.scratch_top = arena_base();
  return g_arith.scratch_top;
}

Word* scratch_alloc_slow(std::size_t words) {
  Word* top = g_arith.scratch_top != nullptr ? g_arith.scratch_top : scratch_first_mark();
  if (words <= static_cast<std::size_t>(g_arith.scratch_end - top)) return scratch_alloc(words);
  set_status(MathStatus::InternalLimit);
  if (words > kScratchMaxRequest) words = kScratchMaxRequest;  // callers never ask for more
  Word* reserve = g_arith.scratch_end;
  std::memset(reserve, 0, words * sizeof(Word));
  return reserve;
}

std::size_t scratch_used_words() {
  if (g_arith.scratch_top == nullptr) return 0;
  return static_cast<std::size_t>(g_arith.scratch_top - t_arena_base);
}
std::size_t scratch_high_water_words() {
  if (t_arena_base == nullptr) return 0;
  return static_cast<std::size_t>(g_arith.scratch_high - t_arena_base);
}
void scratch_reset_high_water() {
  g_arith.scratch_high = g_arith.scratch_top != nullptr ? g_arith.scratch_top : t_arena_base;
}

void ContextScope::save_notation() {
  sci_low_ = g_number_settings.sci_low;
  sci_high_ = g_number_settings.sci_high;
}
void ContextScope::restore_notation() {
  g_number_settings.sci_low = sci_low_;
  g_number_settings.sci_high = sci_high_;
}

// --- special values and exponents ------------------------------------------------------------

void dec_copy(DecFloat* dst, const DecFloat* src) {
  if (dst != src) std::memmove(dst, src, static_cast<std::size_t>(dec_words()) * sizeof(Word));
}

static void make_special(DecFloat* x, Word kind, bool negative) {
  x[0] = kSpecialHeader | (negative ? 1 : 0);
  x[1] = kind;
  std::fill(x + 2, x + dec_words(), Word{0});
}

void make_zero(DecFloat* x, bool negative) {
  make_special(x, 0, negative);
}
void make_infinity(DecFloat* x, bool negative) {
  make_special(x, 1, negative);
}
void make_undefined(DecFloat* x) {
  make_special(x, 2, false);
}
void make_undefined(DecFloat* x, MathStatus status) {
  make_special(x, 2, false);
  set_status(status);
}

bool set_exponent_checked(DecFloat* x, std::int64_t e, bool negative) {
  if (e > kMaxExponent) {
    make_infinity(x, negative);
    if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    return false;
  }
  if (e < -kMaxExponent) {
    make_zero(x, negative);
    if (g_arith.report_underflow) set_status(MathStatus::Underflow);
    return false;
  }
  x[0] = static_cast<Word>(e) * 2 + (negative ? 1 : 0);
  return true;
}

bool set_exponent_checked(DecFloat* x, std::int64_t e) {
  return set_exponent_checked(x, e, dec_negative(x));
}

bool is_integer(const DecFloat* x) {
  if (is_special(x)) return x[1] == 0;
  const std::int64_t e = dec_exponent(x);
  const std::int64_t p = g_arith.precision;
  if (e < 0) return false;
  if (e >= p - 1) return true;
  // every digit after position e must be zero
  for (std::int64_t i = e + 1; i < p; ++i) {
    if (mantissa_digit(x + 1, i) != 0) return false;
  }
  return true;
}

bool is_even(const DecFloat* x) {
  if (is_special(x)) return x[1] == 0;
  const std::int64_t e = dec_exponent(x);
  if (e < 0 || e >= g_arith.precision) return true;
  return mantissa_digit(x + 1, e) % 2 == 0;
}

void apply_rounding(DecFloat* x, Word round_limb) {
  if (is_special(x) || g_arith.round_results || round_limb < kHalfLimb) return;
  const std::int64_t n = g_arith.limb_count;
  for (std::int64_t i = n; i >= 2; --i) {
    if (++x[i] < kLimbBase) return;
    x[i] = 0;
  }
  const Word top_bound = kPow10[g_arith.top_digits];
  if (++x[1] < top_bound) return;
  // The mantissa was all nines: it becomes 10^(P-1) with the exponent one higher.
  x[1] = kPow10[g_arith.top_digits - 1];
  const std::int64_t e = dec_exponent(x);
  if (e >= kMaxExponent) {
    const bool neg = dec_negative(x);
    make_infinity(x, neg);
    if (g_arith.report_overflow) set_status(MathStatus::Overflow);
    return;
  }
  set_exponent_checked(x, e + 1);
}

// --- changes of precision --------------------------------------------------------------------

static void precision_shape(std::int64_t digits, std::int64_t* n, std::int64_t* k) {
  *n = limbs_for_digits(digits);
  *k = digits - 19 * *n + 19;
}

Word realign(DecFloat* dst, std::int64_t dst_digits, const DecFloat* src, std::int64_t src_digits) {
  std::int64_t nd, kd, ns, ks;
  precision_shape(dst_digits, &nd, &kd);
  precision_shape(src_digits, &ns, &ks);
  if (is_special(src)) {
    dst[0] = src[0];
    dst[1] = src[1];
    std::fill(dst + 2, dst + nd + 1, Word{0});
    return 0;
  }
  ScratchScope scope;
  Word* buf = scratch_alloc(static_cast<std::size_t>(ns));
  align_left(buf, src + 1, ns, ks);
  const Word header = src[0];
  Word rl = extract_digits(dst + 1, nd, kd, buf, ns);
  dst[0] = header;
  return rl;
}

void widen(DecFloat* dst, const DecFloat* src, std::int64_t g) {
  const std::int64_t p = g_arith.precision;
  realign(dst, p + g, src, p);
}

Word narrow(DecFloat* dst, const DecFloat* src, std::int64_t g) {
  const std::int64_t p = g_arith.precision;
  return realign(dst, p, src, p + g);
}

void convert_precision(DecFloat* dst, std::int64_t dst_digits, const DecFloat* src,
                       std::int64_t src_digits) {
  if (dst_digits < kMinPrecision || dst_digits > kMaxPrecision || src_digits < kMinPrecision ||
      src_digits > kMaxPrecision + 38) {
    set_status(MathStatus::InvalidSetting);
    return;
  }
  const std::int64_t saved = g_arith.precision;
  const bool switch_ctx = dst_digits != saved;
  if (switch_ctx) set_precision(dst_digits);
  Word rl = realign(dst, dst_digits, src, src_digits);
  apply_rounding(dst, rl);
  if (switch_ctx) set_precision(saved);
}

// --- constants -------------------------------------------------------------------------------

Word load_constant(DecFloat* x, const ConstantTableHeader& head, const Word* limbs) {
  const std::int64_t n = g_arith.limb_count;
  const Word rl = extract_digits(x + 1, n, g_arith.top_digits, limbs, head.limb_count);
  x[0] = static_cast<Word>(static_cast<std::int64_t>(head.exponent)) * 2 + (head.sign ? 1 : 0);
  return rl;
}

// --- limb helpers ----------------------------------------------------------------------------

Word limbs_shift_right(Word* a, std::int64_t len, std::int64_t d, bool* sticky) {
  if (sticky) *sticky = false;
  if (d <= 0) return 0;
  if (d >= (std::int64_t{1} << 31) || d >= 19 * (len + 1)) {
    // Everything leaves, and the round limb is beyond all of it.
    if (sticky) *sticky = first_nonzero(a, len) < len;
    std::fill(a, a + len, Word{0});
    return 0;
  }
  const std::int64_t whole = d / 19;
  const int part = static_cast<int>(d % 19);
  // Digits that leave: the low `whole` limbs (after the partial shift). Do the partial shift
  // first over the whole array, remembering what falls out, then move whole limbs.
  Word out = 0;  // digits falling out of the last limb in the partial shift, scaled to 19 digits
  bool lost = false;
  if (part) {
    const Word scale = kPow10[19 - part];
    Word carry = 0;
    for (std::int64_t i = 0; i < len; ++i) {
      Word r;
      Word q = div_pow10(a[i], part, &r);
      a[i] = q + carry;
      carry = r * scale;
    }
    out = carry;
  }
  if (whole == 0) return out;
  // Now shift by whole limbs: the first discarded limb is a[len - whole], the rest are lost
  // together with `out`.
  Word rl;
  if (whole <= len) {
    rl = a[len - whole];
    for (std::int64_t i = len - whole + 1; i < len; ++i) lost |= a[i] != 0;
    lost |= out != 0;
    for (std::int64_t i = len - 1; i >= whole; --i) a[i] = a[i - whole];
    std::fill(a, a + whole, Word{0});
  } else {
    // whole == len + 1 cannot happen (checked above); whole > len means all digits are beyond
    rl = 0;
    lost = first_nonzero(a, len) < len || out != 0;
    std::fill(a, a + len, Word{0});
  }
  if (sticky) *sticky = lost;
  return rl;
}

void limbs_shift_left(Word* a, std::int64_t len, std::int64_t d, Word in) {
  if (d <= 0) return;
  if (d >= 19 * (len + 1)) {
    std::fill(a, a + len, Word{0});
    return;
  }
  const std::int64_t whole = d / 19;
  const int part = static_cast<int>(d % 19);
  if (whole > 0) {
    // Whole limbs: the round limb enters first, then zeros.
    for (std::int64_t i = 0; i < len; ++i) {
      const std::int64_t src = i + whole;
      a[i] = src < len ? a[src] : (src == len ? in : 0);
    }
    in = 0;
  }
  if (part) {
    const Word scale = kPow10[part];
    for (std::int64_t i = 0; i < len; ++i) {
      Word r, unused;
      div_pow10(a[i], 19 - part, &r);  // keep the low 19 - part digits
      const Word next = i + 1 < len ? a[i + 1] : in;
      a[i] = r * scale + div_pow10(next, 19 - part, &unused);
    }
  }
}

Word extract_digits(Word* dst, std::int64_t nd, std::int64_t kd, const Word* src,
                    std::int64_t avail) {
  auto at = [&](std::int64_t i) -> Word { return i < avail ? src[i] : 0; };
  const int s = static_cast<int>(19 - kd);
  if (s == 0) {
    // dst may alias src only when it is the same array: copy forward is safe.
    for (std::int64_t i = 0; i < nd; ++i) dst[i] = at(i);
    return at(nd);
  }
  const Word up = kPow10[19 - s];
  // Walk from the bottom so that dst == src works (each dst[i] reads src[i - 1] and src[i]).
  Word rl;
  {
    Word r;
    Word lowpart;
    div_pow10(at(nd - 1), s, &r);
    Word q = div_pow10(at(nd), s, &lowpart);
    rl = r * up + q;
  }
  for (std::int64_t i = nd - 1; i >= 1; --i) {
    Word r, q, rr;
    div_pow10(at(i - 1), s, &r);
    q = div_pow10(at(i), s, &rr);
    dst[i] = r * up + q;
  }
  Word r0;
  dst[0] = div_pow10(at(0), s, &r0);
  return rl;
}

void align_left(Word* dst, const Word* src, std::int64_t ns, std::int64_t ks) {
  if (ks == 19) {
    if (dst != src) std::memmove(dst, src, static_cast<std::size_t>(ns) * sizeof(Word));
    return;
  }
  const Word up = kPow10[19 - ks];
  for (std::int64_t i = 0; i < ns; ++i) {
    Word r, q = 0, rr;
    div_pow10(src[i], static_cast<int>(ks), &r);  // low ks digits move to the top
    if (i + 1 < ns) q = div_pow10(src[i + 1], static_cast<int>(ks), &rr);
    dst[i] = r * up + q;
  }
}

Word take_leading_digits(DecFloat* dst, const Word* src, std::int64_t len, std::int64_t* digits) {
  const std::int64_t first = first_nonzero(src, len);
  if (first == len) {
    *digits = 0;
    return 0;
  }
  const std::int64_t n = g_arith.limb_count;
  const int k = static_cast<int>(g_arith.top_digits);
  const int t = digit_count(src[first]);
  *digits = t + 19 * (len - 1 - first);
  ScratchScope scope;
  const Word* s = src + first;
  const std::int64_t avail = len - first;
  Word* out = dst + 1;
  if (out < s + avail && s < out + n) {
    // Overlapping records: work from a copy.
    const std::int64_t take = std::min<std::int64_t>(avail, n + 2);
    Word* buf = scratch_alloc(static_cast<std::size_t>(take));
    std::memcpy(buf, s, static_cast<std::size_t>(take) * sizeof(Word));
    s = buf;
  }
  auto at = [&](std::int64_t i) -> Word { return i < avail ? s[i] : 0; };
  // One pass, one split per source limb: the leading digit of s[0] becomes the first of the
  // k top digits, so the limbs move right by t - k digits or left by k - t.
  if (t == k) {
    for (std::int64_t i = 0; i < n; ++i) out[i] = at(i);
    return at(n);
  }
  if (t > k) {
    const int r = t - k;
    const Word up = kPow10[19 - r];
    Word rem;
    out[0] = div_pow10(s[0], r, &rem);
    for (std::int64_t i = 1; i < n; ++i) {
      Word next;
      const Word q = div_pow10(at(i), r, &next);
      out[i] = rem * up + q;
      rem = next;
    }
    return rem * up + div_pow10(at(n), r, &rem);
  }
  const int m = 19 - (k - t);  // digits of each limb that stay in it
  const Word up = kPow10[k - t];
  Word rem = s[0];  // < 10^t <= 10^m
  for (std::int64_t i = 0; i < n; ++i) {
    Word next;
    const Word q = div_pow10(at(i + 1), m, &next);
    out[i] = rem * up + q;
    rem = next;
  }
  Word unused;
  return rem * up + div_pow10(at(n + 1), m, &unused);
}

// --- context hand-over -----------------------------------------------------------------------

ContextSnapshot capture_context() {
  ContextSnapshot s;
  s.precision = g_arith.precision;
  s.biguint_limbs = BigUIntLimbs;
  s.biguint_digits = BigUIntDigits;
  s.number_type = NumberType;
  s.numbers = g_number_settings;
  return s;
}

void install_context(const ContextSnapshot& snapshot, std::atomic<std::uint8_t>* stop) {
  g_arith.status = 0;
  g_arith.round_results = 0;
  g_arith.report_underflow = 0;
  g_arith.report_overflow = 1;
  g_arith.cancel_flag = stop != nullptr ? stop : &g_cancel_request;
  apply_context(snapshot);
}

void apply_context(const ContextSnapshot& snapshot) {
  set_precision_shape(snapshot.precision);
  BigUIntLimbs = snapshot.biguint_limbs;
  BigUIntDigits = snapshot.biguint_digits;
  NumberType = snapshot.number_type;
  g_number_settings = snapshot.numbers;
}
