// Handing a thread's calculation context to a worker: the precision, the typed layers' sizes and
// number type, and the number text settings, captured on the window thread when a job starts and
// installed on the worker thread before it computes. Nothing of the context is shared between
// threads; the only cross-thread datum is the job's atomic stop flag.
#pragma once

#include <atomic>
#include <cstdint>

#include "core/decfloat.h"
#include "core/text.h"

struct ContextSnapshot {
  std::int64_t precision = 16;
  std::int64_t biguint_limbs = 2;
  std::uint64_t biguint_digits = 38;
  std::uint32_t number_type = 0;
  NumberSettings numbers;
};

// The calling thread's context.
ContextSnapshot capture_context();
// Sets the precision, sizes, number type and number settings of `snapshot`, nothing else.
void apply_context(const ContextSnapshot& snapshot);
// Makes `snapshot` the calling thread's context with a clear status and switches as at start-up;
// the calculation then polls `stop` (nullptr: g_cancel_request). The scratch stack must be empty.
void install_context(const ContextSnapshot& snapshot, std::atomic<std::uint8_t>* stop);

// A job's stop request: set by the window thread (Stop, closing the window), polled by the
// worker's arithmetic through its context (install_context). Only the owner of a job clears it,
// by starting a new job; nothing inside a calculation does. A copied job starts unstopped.
struct StopFlag {
  std::atomic<std::uint8_t> flag{0};

  StopFlag() = default;
  StopFlag(const StopFlag&) {}
  StopFlag& operator=(const StopFlag&) {
    flag.store(0, std::memory_order_relaxed);
    return *this;
  }
  void request() { flag.store(1, std::memory_order_relaxed); }
  bool requested() const { return flag.load(std::memory_order_relaxed) != 0; }
};
