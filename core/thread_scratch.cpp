#include "core/thread_scratch.h"

#include <new>

#include "core/decfloat.h"

thread_local constinit ThreadScratch t_scratch;

void thread_scratch_init() {
  if (t_scratch.base) return;
  t_scratch.base = new (std::nothrow) std::uint8_t[kThreadScratchBytes];
  t_scratch.pos = t_scratch.base;
}

void thread_scratch_free() {
  delete[] t_scratch.base;
  t_scratch.base = nullptr;
  t_scratch.pos = nullptr;
}

void* thread_scratch_alloc(std::size_t bytes) {
  bytes = (bytes + 7) & ~std::size_t{7};
  if (!t_scratch.base ||
      bytes > kThreadScratchBytes - static_cast<std::size_t>(t_scratch.pos - t_scratch.base)) {
    set_status(MathStatus::InternalLimit);
    return nullptr;
  }
  void* p = t_scratch.pos;
  t_scratch.pos += bytes;
  return p;
}
