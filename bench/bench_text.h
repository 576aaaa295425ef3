// What the layout benchmarks share: the words of their generated text, a small deterministic
// generator (so that every run builds the same document), the runs of text they make from
// them and the process's peak memory.
#pragma once

#include <sys/resource.h>

#include <cstdint>
#include <string>

#include "document/content_tags.h"
#include "foundation/base/memory.h"

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

// Three lines of a table set with tabs: a word, a number and a word each.
inline void AppendTabTable(TMemory& s, Lcg& rng) {
  for (int row = 0; row < 3; ++row) {
    s.AppendString(kWords[rng.Next(35)]);
    AppendContentTag(s, ctSpecialChar, scTab);
    s.AppendString(std::to_string(rng.Next(100000)) + "." + std::to_string(rng.Next(100)));
    AppendContentTag(s, ctSpecialChar, scTab);
    s.AppendString(kWords[rng.Next(35)]);
    AppendContentTag(s, ctSpecialChar, scLineBreak);
  }
}

// n words with spaces and commas between them, some of them bold or in another of the fonts.
inline void AppendWords(TMemory& s, Lcg& rng, uint32_t n, const int32_t (&fonts)[3]) {
  for (uint32_t w = 0; w < n; ++w) {
    if (rng.Next(25) == 0) AppendContentTag(s, ctBold, 1);
    if (rng.Next(40) == 0) AppendContentTag(s, ctFont, fonts[rng.Next(3)]);
    s.AppendString(kWords[rng.Next(35)]);
    if (rng.Next(25) == 0) AppendContentTag(s, ctBold, 0);
    s.AppendByte(rng.Next(12) == 0 ? ',' : ' ');
    if (rng.Next(12) == 0) s.AppendByte(' ');
  }
}

inline int64_t PeakRssKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace qv::bench
