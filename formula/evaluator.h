// The values the parser computes: number literals, binary operators, prefix signs and the
// built-in functions, each dispatched on the current NumberType.
//
// Failures set MathStatus (first error wins), which the parser reports at the token being
// processed; the few that must point at a function (a pole of the tangent, a function that
// needs the complex type) set the formula error directly at `position`, the function's 1-based
// character position. Results of the real type are rounded to the working precision. Integer
// results that drop a remainder set the inexact state, which stays set for the whole formula.
#pragma once

#include <cstdint>

#include "integer/number.h"

extern thread_local constinit std::uint8_t g_formula_inexact;

// A number token or a variable's value text. Bases 16, 2 and 8 ("0x", "0y", "0t") only for
// the unsigned-integer type; elsewhere they set 301.
void convert_literal(NumValue* r, const char16_t* text, std::int64_t length, std::uint32_t flags);

// left = left op right for "+", "-", "*", "/", "^" and "mod".
void apply_operator(std::uint32_t op, NumValue* left, const NumValue* right);
// The prefix signs: "-" negates (102 for the unsigned-integer type), "+" keeps.
void apply_sign(std::uint32_t op, NumValue* value);

// r must not be one of the arguments.
void apply_function1(std::uint32_t code, std::uint32_t position, NumValue* r, const NumValue* a);
void apply_function2(std::uint32_t code, std::uint32_t position, NumValue* r, const NumValue* a,
                     const NumValue* b);
void apply_function3(std::uint32_t code, std::uint32_t position, NumValue* r, const NumValue* a,
                     const NumValue* b, const NumValue* c);
