// The prime number and prime factor pages' workers as self-contained jobs. The window thread
// fills the run parameters and the context snapshot, a worker runs the job, and the text the run
// writes collects in the job's stream, from which the window takes it in pieces while the job
// runs (coalesced, so that a run of many short lines costs one append per timer tick).
#pragma once

#include <mutex>
#include <string>
#include <string_view>

#include "app/job.h"
#include "primes/factors.h"
#include "primes/primes_run.h"

// Text handed from the worker to the window thread.
class StreamedText {
 public:
  void append(std::u16string_view text);
  // Everything appended since the last take.
  std::u16string take();

 private:
  std::mutex mutex_;
  std::u16string pending_;
};

struct PrimesJob : JobBase {
  PrimesRunParams params;  // params.output is set by RunPrimesJob
  StreamedText output;
};
struct FactorsJob : JobBase {
  FactorsRunParams params;  // params.output is set by RunFactorsJob
  StreamedText output;
};

// Worker thread bodies: the run at the job's context, its text into job.output, its leftover
// status mapped to the page's message, the errors into the job.
void RunPrimesJob(PrimesJob& job);
void RunFactorsJob(FactorsJob& job);
