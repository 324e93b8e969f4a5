#include "primes/primes_job.h"

void StreamedText::append(std::u16string_view text) {
  std::lock_guard lock(mutex_);
  pending_.append(text);
}

std::u16string StreamedText::take() {
  std::lock_guard lock(mutex_);
  std::u16string out;
  out.swap(pending_);
  return out;
}

void RunPrimesJob(PrimesJob& job) {
  run_job(job, nullptr, [&job] {
    job.params.output = [&job](std::u16string_view text) { job.output.append(text); };
    primes_run(job.params);
  });
}

void RunFactorsJob(FactorsJob& job) {
  run_job(job, nullptr, [&job] {
    job.params.output = [&job](std::u16string_view text) { job.output.append(text); };
    factors_run(job.params);
  });
}
