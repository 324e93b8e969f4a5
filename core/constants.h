// The built-in constants, 560 limbs (10,640 digits) each, truncated: every digit held is a
// digit of the constant. The deepest nesting of guard digits at the highest precision (a
// power with 38 guard digits whose logarithm and exponential add their own, about 10,080
// digits in all) stays far below that; loads beyond it are reported with status 400.
#pragma once

#include "core/decfloat.h"

inline constexpr std::size_t kConstantLimbs = 560;
static_assert(sizeof(ConstantTable<kConstantLimbs>) == 8 + 8 * kConstantLimbs);

extern const ConstantTable<kConstantLimbs> kConstPiQuarter;  // pi/4
extern const ConstantTable<kConstantLimbs> kConstLn1_2;      // ln 1.2
extern const ConstantTable<kConstantLimbs> kConstLn1_01;     // ln 1.01
extern const ConstantTable<kConstantLimbs> kConstLn2;        // ln 2
extern const ConstantTable<kConstantLimbs> kConstAtan1_351;  // arctan(1/351)
extern const ConstantTable<kConstantLimbs> kConstLn10;       // ln 10
extern const ConstantTable<kConstantLimbs> kConstLog10E;     // 1/ln 10
extern const ConstantTable<kConstantLimbs> kConstAtan1_21;   // arctan(1/21)

// pi/4 truncated at the current precision (the round limb returned): from the table while it
// is long enough, beyond it from digits computed on demand and kept per thread (the first call
// at 40,000 digits takes a few tenths of a second). Above kMaxPiDigits: status 400.
inline constexpr std::int64_t kMaxPiDigits = 19 * 3000;
Word load_pi_quarter(DecFloat* x);
// The same from the computed digits only, whatever the precision (tests).
Word load_computed_pi_quarter(DecFloat* x);
