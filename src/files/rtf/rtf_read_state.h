#pragma once
// The RTF reader's state: the formats written so far, the paragraph format being collected, the
// pending tab stops, and what each group saves and restores.
#include <climits>
#include <cstdint>
#include <vector>

#include "document/char_format.h"
#include "document/par_format.h"

namespace qv {

struct TRtfReadState {
  TCharFormat Char;            // in force at the end of the content stream
  TParFormat Par;              // the current paragraph's format
  std::vector<uint32_t> Tabs;  // packed tab stops of the current paragraph
  int TabKind = 0;
  int TabLeader = 0;
  bool SkipText = false;             // deleted revision text is dropped
  char16_t PendingHighSurrogate = 0; // the first half of a pair of \u units
};

// What a group restores at its closing brace.
struct TRtfGroupState {
  TCharFormat Char;
  TParFormat Par;
  bool SkipText = false;
};

// One entry of the font table: the file's number, the font manager's entry, the character set.
struct TRtfFont {
  int32_t Number = INT32_MIN;
  int32_t Index = 0;
  int32_t Charset = static_cast<int32_t>(0x80000000u);
};

}  // namespace qv
