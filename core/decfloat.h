// DecFloat records, the arithmetic context of each thread, MathStatus, the scratch stack,
// rounding, exponent checks and changes of precision.
//
// Every piece of calculation state is thread_local: a worker sets up its own context from its job
// record and never sees the window thread's precision, sizes, status or scratch memory.
//
// A DecFloat is 1 + n words owned by the caller: x[0] is the header (bit 0 the sign, bits 1..63
// the signed exponent E of the leading digit), x[1] the top limb holding k digits
// (10^(k-1) <= x[1] < 10^k), x[2..n] limbs of 19 digits each (< 10^19). P = k + 19(n - 1).
// Special values (zero, infinity, undefined) carry the exponent -2^62 and say which they are in
// the top limb (0, 1, >= 2); their other limbs are 0. Every operation may write its result into
// one of its operands.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

using Word = std::uint64_t;
using DecFloat = Word;  // DecFloat* points at the header word of a record

inline constexpr std::int64_t kMinPrecision = 1;
inline constexpr std::int64_t kMaxPrecision = 10005;
inline constexpr std::int64_t kMaxLimbs = (kMaxPrecision + 18) / 19 + 2;  // with 38 guard digits
inline constexpr std::int64_t kMaxExponent = (std::int64_t{1} << 62) - 1;
inline constexpr Word kSpecialHeader = 0x8000000000000000ULL;  // exponent -2^62, sign clear
inline constexpr Word kLimbBase = 10000000000000000000ULL;     // 10^19
inline constexpr Word kHalfLimb = 5000000000000000000ULL;      // first discarded digit 5

// Status of the running calculation. The first error wins: set_status only writes while the
// status is Ok, and nothing in the arithmetic clears it.
enum class MathStatus : std::uint32_t {
  Ok = 0,
  InvalidSetting = 100,
  UnknownNumberType = 102,
  Overflow = 200,
  Underflow = 201,
  DivisionByZero = 202,
  Undefined = 203,
  InvalidRepresentation = 204,
  RealArgumentRequired = 205,
  Cancelled = 207,
  BufferTooSmall = 300,
  InvalidNumber = 301,
  InternalLimit = 400,
};

struct ArithContext {
  std::int64_t precision = 16;   // P
  std::int64_t limb_count = 1;   // n
  std::int64_t top_digits = 16;  // k
  std::uint32_t status = 0;
  std::uint8_t round_results = 0;  // non-zero would switch rounding off; never changed
  std::uint8_t report_underflow = 0;
  std::uint8_t report_overflow = 1;
  // The stop request this thread's calculation polls: a job's own flag (set by its window's Stop
  // from another thread), or g_cancel_request.
  std::atomic<std::uint8_t>* cancel_flag = nullptr;
  // The thread's scratch arena: the top of the stack, its end and its deepest point so far.
  // All nullptr until the thread's first temporary (the arena comes on first use).
  Word* scratch_top = nullptr;
  Word* scratch_end = nullptr;
  Word* scratch_high = nullptr;
};

// constinit: the initial values are constants, so each access is a plain thread-local read.
extern thread_local constinit ArithContext g_arith;
// The stop flag of threads that run no job (the command line's Ctrl+C, tests).
extern std::atomic<std::uint8_t> g_cancel_request;

// The sizes of the typed layers above the core, per thread like the rest of the context:
// BigUInt limbs N (1..2000) with the digit count reported for it, and the NumberType (1 real,
// 2 complex, 10 unsigned integer, 11 rational). Set through integer/ (biguint_set_limbs ...).
extern thread_local constinit std::int64_t BigUIntLimbs;
extern thread_local constinit std::uint64_t BigUIntDigits;
extern thread_local constinit std::uint32_t NumberType;

// Restores this thread's start-up state: P = 16, status 0, switches, empty scratch stack, the
// stop flag g_cancel_request (cleared).
void arith_reset();

inline MathStatus math_status() {
  return static_cast<MathStatus>(g_arith.status);
}
inline void set_status(MathStatus s) {
  if (g_arith.status == 0) g_arith.status = static_cast<std::uint32_t>(s);
}
inline void clear_status() {
  g_arith.status = 0;
}
inline bool cancel_requested() {
  return g_arith.cancel_flag && g_arith.cancel_flag->load(std::memory_order_relaxed) != 0;
}

// Sets P, n and k; outside 1..10005 the context stays as it is and the status becomes 100.
void set_precision(std::int64_t digits);
inline std::int64_t dec_words() {
  return g_arith.limb_count + 1;
}
// Limbs for `digits` significant digits: the one place that knows the limb shape.
constexpr std::int64_t limbs_for_digits(std::int64_t digits) {
  return (digits + 18) / 19;
}
// Words of one DecFloat record (header and limbs) at `digits`.
constexpr std::size_t dec_words_for(std::int64_t digits) {
  return static_cast<std::size_t>(limbs_for_digits(digits) + 1);
}
// Sets P, n and k without the range check (guard digits may pass 10005).
inline void set_precision_shape(std::int64_t digits) {
  g_arith.precision = digits;
  g_arith.limb_count = limbs_for_digits(digits);
  g_arith.top_digits = digits - 19 * g_arith.limb_count + 19;
}

// --- record access -------------------------------------------------------------------------
inline std::int64_t dec_exponent(const DecFloat* x) {
  return static_cast<std::int64_t>(x[0]) >> 1;
}
inline bool dec_negative(const DecFloat* x) {
  return (x[0] & 1) != 0;
}
inline bool is_special(const DecFloat* x) {
  return (x[0] & ~Word{1}) == kSpecialHeader;
}
inline bool is_zero(const DecFloat* x) {
  return is_special(x) && x[1] == 0;
}
inline bool is_infinity(const DecFloat* x) {
  return is_special(x) && x[1] == 1;
}
inline bool is_undefined(const DecFloat* x) {
  return is_special(x) && x[1] >= 2;
}
inline void dec_negate(DecFloat* x) {
  x[0] ^= 1;
}
inline void dec_abs(DecFloat* x) {
  x[0] &= ~Word{1};
}
inline void dec_set_sign(DecFloat* x, bool negative) {
  x[0] = (x[0] & ~Word{1}) | (negative ? 1 : 0);
}

void dec_copy(DecFloat* dst, const DecFloat* src);  // same precision
void make_zero(DecFloat* x, bool negative);
void make_infinity(DecFloat* x, bool negative);
// Undefined is always stored positive; also sets the given status (first error wins).
void make_undefined(DecFloat* x, MathStatus status);
void make_undefined(DecFloat* x);  // propagation: leaves the status alone

// Writes header = 2E + sign when |E| <= 2^62 - 1 and returns true. Above: +-infinity and status
// 200 (report_overflow); below: +-0, status 201 only with report_underflow. Returns false then.
bool set_exponent_checked(DecFloat* x, std::int64_t e, bool negative);
bool set_exponent_checked(DecFloat* x, std::int64_t e);  // keeps x's sign

bool is_integer(const DecFloat* x);
bool is_even(const DecFloat* x);

// Round half up on the magnitude, decided by the first discarded digit (round_limb >= 5*10^18).
void apply_rounding(DecFloat* x, Word round_limb);

// --- scratch stack -------------------------------------------------------------------------
// Temporaries of the arithmetic, released last in, first out by restoring a mark. Each thread
// has its own arena, allocated on its first use and freed when the thread ends. The capacity
// is far above the deepest call chain at the highest precision; should it still run out, the
// allocation is served from a reserve area, the status becomes 400 and nothing is written
// outside the arena's memory (the result is then garbage, but flagged).
inline constexpr std::size_t kScratchWords = 1u << 20;       // 8 MiB
inline constexpr std::size_t kScratchMaxRequest = 1u << 14;  // largest single allocation, words

using ScratchMark = Word*;
ScratchMark scratch_first_mark();  // sets up the thread's arena
inline ScratchMark scratch_mark() {
  Word* top = g_arith.scratch_top;
  return top != nullptr ? top : scratch_first_mark();
}
inline void scratch_release(ScratchMark mark) {
  g_arith.scratch_top = mark;
}
Word* scratch_alloc_slow(std::size_t words);  // first use and exhaustion
inline Word* scratch_alloc(std::size_t words) {
  Word* top = g_arith.scratch_top;
  if (top == nullptr || words > static_cast<std::size_t>(g_arith.scratch_end - top)) {
    return scratch_alloc_slow(words);
  }
  Word* next = top + words;
  g_arith.scratch_top = next;
  if (next > g_arith.scratch_high) g_arith.scratch_high = next;
  return top;
}
inline DecFloat* scratch_dec() {
  return scratch_alloc(static_cast<std::size_t>(dec_words()));
}
std::size_t scratch_used_words();
std::size_t scratch_high_water_words();
void scratch_reset_high_water();

// RAII helper for functions with several exits.
struct ScratchScope {
  ScratchMark mark = scratch_mark();
  ScratchScope() = default;
  ScratchScope(const ScratchScope&) = delete;
  ScratchScope& operator=(const ScratchScope&) = delete;
  ~ScratchScope() { scratch_release(mark); }
};

// --- context scopes ------------------------------------------------------------------------
// Saves parts of this thread's context and puts them back when it ends. The precision shape
// (P, n, k) is always saved; the parts named on creation are saved too:
//   kScratch  the scratch stack position (temporaries taken inside are released),
//   kStatus   MathStatus: the scope runs with a clear status and an earlier one comes back on
//             exit, so an operation can tell its own failure while the earlier code still wins,
//   kSizes    BigUIntLimbs and BigUIntDigits,  kType  NumberType,
//   kNotation the scientific-notation thresholds of the number settings.
// The named constructors change the precision for the scope; records of the outer precision
// must be realigned before use inside (except after trim, see there).
class ContextScope {
 public:
  enum : unsigned { kScratch = 1, kStatus = 2, kSizes = 4, kType = 8, kNotation = 16 };

  explicit ContextScope(unsigned parts = 0) : parts_(parts) {
    p_ = g_arith.precision;
    n_ = g_arith.limb_count;
    k_ = g_arith.top_digits;
    if (parts & kScratch) mark_ = scratch_mark();
    if (parts & kStatus) {
      status_ = g_arith.status;
      g_arith.status = 0;
    }
    if (parts & kSizes) {
      limbs_ = BigUIntLimbs;
      digits_ = BigUIntDigits;
    }
    if (parts & kType) type_ = NumberType;
    if (parts & kNotation) save_notation();
  }
  ~ContextScope() {
    g_arith.precision = p_;
    g_arith.limb_count = n_;
    g_arith.top_digits = k_;
    if (parts_ & kScratch) g_arith.scratch_top = mark_;
    if ((parts_ & kStatus) && status_ != 0) g_arith.status = status_;
    if (parts_ & kSizes) {
      BigUIntLimbs = limbs_;
      BigUIntDigits = digits_;
    }
    if (parts_ & kType) NumberType = type_;
    if (parts_ & kNotation) restore_notation();
  }
  ContextScope(const ContextScope&) = delete;
  ContextScope& operator=(const ContextScope&) = delete;

  // P + g digits (guard digits, possibly past 10005) with the scratch position restored.
  static ContextScope guard(std::int64_t g) { return ContextScope(Guard{}, g, kScratch); }
  // An absolute precision (any digits >= 1, no range check).
  static ContextScope precision(std::int64_t digits, unsigned parts = 0) {
    return ContextScope(Absolute{}, digits, parts);
  }
  // Drops the last `limbs` limbs of the precision. A record of the outer precision read at the
  // trimmed one is its own truncation (the top limb keeps its k digits), so series terms that
  // have become small can be computed in place at fewer digits; results written inside leave
  // the record's last limbs stale.
  static ContextScope trim(std::int64_t limbs) { return ContextScope(Trim{}, limbs, 0); }
  // A clear status for the scope (kStatus above).
  static ContextScope isolated_status() { return ContextScope(kStatus); }

  std::int64_t outer_precision() const { return p_; }

 private:
  struct Guard {};
  struct Absolute {};
  struct Trim {};
  ContextScope(Guard, std::int64_t g, unsigned parts) : ContextScope(parts) {
    set_precision_shape(p_ + g);
  }
  ContextScope(Absolute, std::int64_t digits, unsigned parts) : ContextScope(parts) {
    set_precision_shape(digits);
  }
  ContextScope(Trim, std::int64_t limbs, unsigned parts) : ContextScope(parts) {
    g_arith.limb_count -= limbs;
    g_arith.precision -= 19 * limbs;
  }
  void save_notation();
  void restore_notation();

  unsigned parts_;
  std::int64_t p_, n_, k_;
  ScratchMark mark_ = nullptr;
  std::uint32_t status_ = 0;
  std::uint32_t type_ = 0;
  std::int64_t limbs_ = 0;
  std::uint64_t digits_ = 0;
  std::int64_t sci_low_ = 0, sci_high_ = 0;
};

// --- changes of precision ------------------------------------------------------------------
// The context precision P is the lower one. widen: src at P into dst at P + g (exact, zeros
// appended). narrow: src at P + g into dst at P, returning the round_limb of the dropped digits.
void widen(DecFloat* dst, const DecFloat* src, std::int64_t g);
Word narrow(DecFloat* dst, const DecFloat* src, std::int64_t g);

// Copies a value of precision src_digits into one of precision dst_digits and rounds it. The
// context ends at the precision it had on entry. dst_digits outside 1..10005: status 100,
// dst is left alone.
void convert_precision(DecFloat* dst, std::int64_t dst_digits, const DecFloat* src,
                       std::int64_t src_digits);
// Re-aligns without rounding; returns the round_limb of dropped digits (0 when widening).
Word realign(DecFloat* dst, std::int64_t dst_digits, const DecFloat* src, std::int64_t src_digits);

// Runs f (dst, a[, b]) -> round_limb at P + g digits (0 <= g <= 38) on widened copies of the
// operands and narrows the result into dst; returns the round_limb for apply_rounding.
inline std::size_t guarded_words(std::int64_t g) {
  return static_cast<std::size_t>(dec_words() + 1 + (g + 18) / 19);
}

template <class F>
Word with_guard_digits(std::int64_t g, F&& f, DecFloat* dst, const DecFloat* a) {
  ScratchMark mark = scratch_mark();
  DecFloat* wa = scratch_alloc(guarded_words(g));
  DecFloat* r = scratch_alloc(guarded_words(g));
  widen(wa, a, g);
  {
    ContextScope gp = ContextScope::guard(g);
    (void)f(r, wa);  // the guard digits decide the rounding, not f's own round_limb
  }
  Word rl = narrow(dst, r, g);
  scratch_release(mark);
  return rl;
}

template <class F>
Word with_guard_digits(std::int64_t g, F&& f, DecFloat* dst, const DecFloat* a, const DecFloat* b) {
  ScratchMark mark = scratch_mark();
  DecFloat* wa = scratch_alloc(guarded_words(g));
  DecFloat* wb = scratch_alloc(guarded_words(g));
  DecFloat* r = scratch_alloc(guarded_words(g));
  widen(wa, a, g);
  widen(wb, b, g);
  {
    ContextScope gp = ContextScope::guard(g);
    (void)f(r, wa, wb);
  }
  Word rl = narrow(dst, r, g);
  scratch_release(mark);
  return rl;
}

// --- constant tables -----------------------------------------------------------------------
// Layout of a built-in constant: limb count, reserved byte, sign, exponent of the leading
// digit, then the limbs most significant first, 19 digits each, the first one full.
struct ConstantTableHeader {
  std::uint16_t limb_count;
  std::uint8_t reserved;
  std::uint8_t sign;
  std::int32_t exponent;
};
template <std::size_t N>
struct ConstantTable {
  ConstantTableHeader head;
  Word limbs[N];
};

// Fills x at the current precision, truncated; returns the round_limb.
Word load_constant(DecFloat* x, const ConstantTableHeader& head, const Word* limbs);
template <std::size_t N>
Word load_constant(DecFloat* x, const ConstantTable<N>& t) {
  return load_constant(x, t.head, t.limbs);
}
