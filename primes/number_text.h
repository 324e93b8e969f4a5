// Pieces of run output: numbers written with biguint_format, texts from the message table, and
// the output callback that receives each piece the moment it is produced.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "integer/biguint.h"
#include "primes/u128_math.h"

using RunOutput = std::function<void(std::u16string_view)>;

// Appends x (current N limbs) in the given flags.
void append_number(std::u16string& out, const BigUInt* x, std::uint32_t flags);
// Appends v, written as a 2-limb number.
void append_u128(std::u16string& out, u128 v, std::uint32_t flags);
