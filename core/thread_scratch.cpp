#include "core/thread_scratch.h"

#include <new>

#include "core/decfloat.h"

thread_local constinit ThreadScratch t_scratch;

void thread_scratch_init(std::size_t bytes) {
  if (t_scratch.base) return;
  t_scratch.base = new (std::nothrow) std::uint8_t[bytes];
  t_scratch.pos = t_scratch.base;
  t_scratch.end = t_scratch.base ? t_scratch.base + bytes : nullptr;
}

void thread_scratch_free() {
  delete[] t_scratch.base;
  t_scratch = ThreadScratch{};
}

bool thread_scratch_reserve(std::size_t bytes) {
  if (t_scratch.base && static_cast<std::size_t>(t_scratch.end - t_scratch.base) >= bytes) {
    return true;
  }
  if (t_scratch.pos != t_scratch.base) return false;
  std::uint8_t* block = new (std::nothrow) std::uint8_t[bytes];
  if (!block) return false;
  delete[] t_scratch.base;
  t_scratch.base = t_scratch.pos = block;
  t_scratch.end = block + bytes;
  return true;
}

void* thread_scratch_alloc(std::size_t bytes) {
  bytes = (bytes + 7) & ~std::size_t{7};
  if (!t_scratch.base || bytes > static_cast<std::size_t>(t_scratch.end - t_scratch.pos)) {
    set_status(MathStatus::InternalLimit);
    return nullptr;
  }
  void* p = t_scratch.pos;
  t_scratch.pos += bytes;
  return p;
}
