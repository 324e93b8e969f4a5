// Real elementary functions of DecFloat: exponentials, logarithms, roots, the real power,
// factorial, binomial coefficients, gcd and lcm, exact powers of two.
//
// Two layers. The kernels (dec_exp10 ... dec_binomial) compute at the precision in force and
// return a truncated result with its round_limb, like the operations of arith.h; they fit
// with_guard_digits. Each kernel is accurate to a few units of the last place of the
// precision it runs at, for operands taken as exact: wherever an argument's size amplifies
// errors (large exponents of exp and pow, n in n!), the kernel raises its own precision by
// as many digits as that amplification costs. The *_rounded entry points are correctly
// rounded: they run the kernel with guard digits in Ziv's loop (core/correct_rounding.h),
// which retries with twice the guard digits whenever the result lies within the kernel's
// error bound of a rounding boundary.
//
// Statuses: 200 for poles and results beyond the exponent range, 203 for domain errors,
// 207 for a stop request in the factorial and binomial loops, 400 for a full tangent-number
// triangle (Stirling series) or a constant wanted beyond the digits its table holds.
// Undefined operands give undefined and leave the status alone.
#pragma once

#include <cstdint>

#include "core/correct_rounding.h"
#include "core/decfloat.h"

enum class ExpMode { E, Ten, Two };  // e^x, 10^x, 2^x

// --- guard digits -------------------------------------------------------------------------
// The entry points start Ziv's loop with these, filled up to the end of their last limb
// (ziv_first_guard); callers that round once without the loop take them as they are.
// exp, 10^x and 2^x: 4, or min(E(x) + 3, 38) when E(x) >= 2.
std::int64_t exp_guard_digits(const DecFloat* x);
// x^y: min(E(y) + 5, 38) when E(y) >= 0, else 5.
std::int64_t pow_guard_digits(const DecFloat* y);
// n!: min(E(x) + 7, 38) when E(x) >= 0, else 7.
std::int64_t factorial_guard_digits(const DecFloat* x);
// 2^m: 3 when |m| < 100, else the digits of |m| plus 1, at most 19.
std::int64_t pow2_int_guard_digits(std::int64_t m);
inline constexpr std::int64_t kLnGuardDigits = 3;  // ln, log2, log10
inline constexpr std::int64_t kLogxGuardDigits = 4;
inline constexpr std::int64_t kSqrtGuardDigits = 2;
inline constexpr std::int64_t kCbrtGuardDigits = 3;
inline constexpr std::int64_t kRootGuardDigits = 5;
inline constexpr std::int64_t kBinomialGuardDigits = 19;

// Ziv's loop: the kernels' error bounds in units of the last of the P + g places, each with its
// reason beside the entry point. The largest errors measured against attempts with 60 more
// digits, over the reference data up to 10,005 digits, lie six to sixty times below them: exp
// and ln 1 unit; roots, logarithms, atan, sin and cos 5; chains of kernels 90 at 1,010 digits,
// sinh and cosh 8; the other hyperbolic kernels 82 next to 1 (asinh 0.1, a logarithm's
// cancellation) and 0.75 units per digit at 1,000 digits, 0.5 at 10,005, from their series.
inline constexpr ErrorBound kExpLnBound{10, 0};      // exp, ln with their own extra digits
inline constexpr ErrorBound kLogBound{50, 0};        // ln times a constant, roots by Newton
inline constexpr ErrorBound kCompoundBound{500, 1};  // quotients and chains of kernels
inline constexpr ErrorBound kSeriesBound{1000, 4};   // series summed at the working precision

// --- exponentials and logarithms (exp_log.cpp) ----------------------------------------------
// 10^y with y = x (Ten), x / ln 10 (E) or x ln 2 / ln 10 (Two). Overflow: +inf and 200;
// underflow: +0 (201 only with report_underflow).
Word dec_exp10(DecFloat* dst, const DecFloat* x, ExpMode mode);
Word dec_exp(DecFloat* dst, const DecFloat* x);  // mode E
// ln 0 = -inf with 200; negative arguments 203.
Word dec_ln(DecFloat* dst, const DecFloat* x);
Word dec_log2(DecFloat* dst, const DecFloat* x);
Word dec_log10(DecFloat* dst, const DecFloat* x);  // exact for powers of ten
// log_b x. b must be positive, finite and not 1 (else 203). x = 0 is a pole (200) and
// x = +inf gives an infinity; both take the sign that the limit has for the base.
Word dec_logx(DecFloat* dst, const DecFloat* b, const DecFloat* x);
// ln(1 + x) for |x| < 0.5 (else 203); internal, at the caller's precision.
Word dec_log1p_small(DecFloat* dst, const DecFloat* x);
// u + u^3/3 + u^5/5 + ... for |u| < 1 (else 203); internal, at the caller's precision.
Word dec_atanh_series(DecFloat* dst, const DecFloat* u);

// --- roots (roots.cpp) ------------------------------------------------------------------------
Word dec_sqrt(DecFloat* dst, const DecFloat* x);  // negative: 203
// The square root by the plain Newton iteration with divisions at every length (reference).
Word dec_sqrt_plain(DecFloat* dst, const DecFloat* x);
Word dec_cbrt(DecFloat* dst, const DecFloat* x);  // all reals, sign of x
// The real n-th root; n a positive integer (else 203); negative x only for odd n.
Word dec_root(DecFloat* dst, const DecFloat* n, const DecFloat* x);
// x^(1/n) for x >= 0 and a machine integer n >= 1 (complex roots).
Word dec_root_int(DecFloat* dst, const DecFloat* x, std::uint64_t n);

// --- powers (power.cpp) -----------------------------------------------------------------------
// The real power x^y. A negative x needs an integer y (else 203); 0^y for y < 0 is 203.
// x^(+-inf): 0 or +inf by whether |x| is above or below 1, 1 for x = 1.
Word dec_pow(DecFloat* dst, const DecFloat* x, const DecFloat* y);
// 2^m, exact up to its final rounding; guard digits and rounding inside.
void dec_pow2_int(DecFloat* dst, std::int64_t m);

// --- factorial (factorial.cpp) ----------------------------------------------------------------
// n! for a non-negative integer n (else 203); beyond 64 bits +inf and 200. The exact product
// below a precision-dependent threshold, Stirling's series above it.
Word dec_factorial(DecFloat* dst, const DecFloat* x);
// Whether n! at the given precision takes Stirling's series (exposed for tests).
bool factorial_uses_stirling(std::uint64_t n, std::int64_t precision);

// --- integer functions (integer_funcs.cpp) ----------------------------------------------------
// ncr(n; k) (perm false) and npr(n; k) (perm true); k a non-negative integer (else 203).
Word dec_binomial(DecFloat* dst, const DecFloat* n, const DecFloat* k, bool perm);
// Both operands positive integers (else 203); exact.
void dec_gcd(DecFloat* dst, const DecFloat* a, const DecFloat* b);
// a / gcd(a, b) * b; exact while it fits the precision, else the product's round_limb.
Word dec_lcm(DecFloat* dst, const DecFloat* a, const DecFloat* b);

// --- rounded entry points: the kernel with its guard digits, then apply_rounding ------------
void dec_exp10_rounded(DecFloat* dst, const DecFloat* x, ExpMode mode);
void dec_ln_rounded(DecFloat* dst, const DecFloat* x);
void dec_log2_rounded(DecFloat* dst, const DecFloat* x);
void dec_log10_rounded(DecFloat* dst, const DecFloat* x);
void dec_logx_rounded(DecFloat* dst, const DecFloat* b, const DecFloat* x);
void dec_sqrt_rounded(DecFloat* dst, const DecFloat* x);
void dec_cbrt_rounded(DecFloat* dst, const DecFloat* x);
void dec_root_rounded(DecFloat* dst, const DecFloat* n, const DecFloat* x);
void dec_pow_rounded(DecFloat* dst, const DecFloat* x, const DecFloat* y);
void dec_factorial_rounded(DecFloat* dst, const DecFloat* x);
void dec_binomial_rounded(DecFloat* dst, const DecFloat* n, const DecFloat* k, bool perm);
void dec_lcm_rounded(DecFloat* dst, const DecFloat* a, const DecFloat* b);

// The highest precision at which a constant table was read since the last reset (tests of
// the table length).
std::int64_t constant_precision_high_water();
void reset_constant_precision_high_water();
