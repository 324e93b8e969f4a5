// The built-in constants, 529 limbs (10,051 digits) each, truncated: every digit held is a
// digit of the constant. The highest precision ever asked of them is 10,005 digits plus at
// most 38 guard digits, so 8 digits are spare.
#pragma once

#include "core/decfloat.h"

inline constexpr std::size_t kConstantLimbs = 529;
static_assert(sizeof(ConstantTable<kConstantLimbs>) == 4240);

extern const ConstantTable<kConstantLimbs> kConstPiQuarter;  // pi/4
extern const ConstantTable<kConstantLimbs> kConstLn1_2;      // ln 1.2
extern const ConstantTable<kConstantLimbs> kConstLn1_01;     // ln 1.01
extern const ConstantTable<kConstantLimbs> kConstLn2;        // ln 2
extern const ConstantTable<kConstantLimbs> kConstAtan1_351;  // arctan(1/351)
extern const ConstantTable<kConstantLimbs> kConstLn10;       // ln 10
extern const ConstantTable<kConstantLimbs> kConstLog10E;     // 1/ln 10
extern const ConstantTable<kConstantLimbs> kConstAtan1_21;   // arctan(1/21)
