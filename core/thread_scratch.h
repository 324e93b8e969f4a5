// ThreadScratch: each computing thread's block for buffers of the formula engine, the pages and
// the solvers (number values, texts, coefficient rows), 1,200,000 bytes unless a calculation
// asks for more. Taken by moving the position forward in multiples of 8 bytes, released by
// restoring a remembered position.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kThreadScratchBytes = 1200000;

struct ThreadScratch {
  std::uint8_t* pos = nullptr;
  std::uint8_t* base = nullptr;
  std::uint8_t* end = nullptr;
};
// constinit: no dynamic initialisation, so every access is a plain thread-local read.
extern thread_local constinit ThreadScratch t_scratch;

// Allocates this thread's block (no-op when it has one) / frees it and clears the pointers.
void thread_scratch_init(std::size_t bytes = kThreadScratchBytes);
void thread_scratch_free();
// Makes the block at least `bytes` long when nothing is taken from it; false when it is in use
// or the memory cannot be had (the old block then stays).
bool thread_scratch_reserve(std::size_t bytes);
// Returns bytes rounded up to a multiple of 8, or nullptr with status 400 when the block is
// missing or exhausted.
void* thread_scratch_alloc(std::size_t bytes);
inline std::uint8_t* thread_scratch_mark() {
  return t_scratch.pos;
}
inline void thread_scratch_release(std::uint8_t* mark) {
  t_scratch.pos = mark;
}

// Owns the block of a worker thread for the lifetime of the object.
struct ThreadScratchOwner {
  ThreadScratchOwner() { thread_scratch_init(); }
  ~ThreadScratchOwner() { thread_scratch_free(); }
  ThreadScratchOwner(const ThreadScratchOwner&) = delete;
  ThreadScratchOwner& operator=(const ThreadScratchOwner&) = delete;
};
