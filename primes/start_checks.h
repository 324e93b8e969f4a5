// The checks of the prime number and prime factor pages before a run starts: the start number
// and the interval size are read as unsigned integers in the page's base (grouping always
// allowed). Each check raises message 1000 ("Invalid input ...") with the text and answers
// false when the input is refused.
#pragma once

#include <cstdint>
#include <string_view>

#include "integer/biguint.h"

inline constexpr std::int64_t kMaxPrimesIntervalSize = 2147483647;
inline constexpr std::int32_t kMaxFactorsIntervalSize = 1000000;

// Flags for reading and for writing the numbers of a run in base 10 or 16.
std::uint32_t number_read_flags(bool hex);
std::uint32_t number_write_flags(bool hex, bool group);

// The start number at the current N: a text longer than any value of this size can need is cut,
// its last character becoming "…", and refused; so are texts that do not parse, values that do
// not fit and 0.
bool read_start_number(std::u16string_view text, std::uint32_t read_flags, BigUInt* out);
// Prime number page, interval mode: 1 to 2147483647.
bool read_primes_interval_size(std::u16string_view text, std::uint32_t read_flags,
                               std::int64_t& out);
// Prime factor page: blanks and tabs only mean 1; otherwise 1 to 1000000.
bool read_factors_interval_size(std::u16string_view text, std::uint32_t read_flags,
                                std::int32_t& out);
