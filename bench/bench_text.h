// What the layout benchmarks share: the words of their generated text, a small deterministic
// generator (so that every run builds the same document) and the process's peak memory.
#pragma once

#include <sys/resource.h>

#include <cstdint>

namespace qv::bench {

inline const char* const kWords[] = {
    "the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog", "layout", "paragraph",
    "document", "character", "measure", "width", "line", "break", "through", "evening",
    "harvest", "mountain", "river", "quietly", "extraordinary", "a", "of", "and", "to", "in",
    "information", "processing", "Quorvane", "typography", "justification", "is", "was",
};

struct Lcg {
  uint32_t state = 12345;
  uint32_t Next(uint32_t n) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % n;
  }
};

inline int64_t PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace qv::bench
