#include "primes/number_text.h"

#include <vector>

#include "integer/biguint_text.h"

void append_number(std::u16string& out, const BigUInt* x, std::uint32_t flags) {
  std::vector<char16_t> buffer(static_cast<std::size_t>(biguint_text_size(flags)));
  TextSink sink{0, static_cast<std::int64_t>(buffer.size()), buffer.data()};
  biguint_format(sink, x, flags);
  const std::int64_t n = sink.pos < sink.capacity ? sink.pos : sink.capacity;
  out.append(buffer.data(), static_cast<std::size_t>(n));
}

void append_u128(std::u16string& out, u128 v, std::uint32_t flags) {
  ContextScope two(ContextScope::kSizes);
  biguint_set_limbs(2);
  Word limbs[2];
  u128_to_limbs(limbs, v);
  append_number(out, limbs, flags);
}
