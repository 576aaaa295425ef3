#pragma once
// Hyphenation options as one undoable step (edit code 49) and manual hyphenation: for every line
// of the selection (or the story) whose wrapped word can be hyphenated, the user chooses where
// an optional hyphen goes; the whole run undoes as one step with the options.
#include <cstdint>

namespace qv {

class TDoc;

#pragma pack(push, 1)
// The argument of edit code 49: automatic hyphenation, hyphenate capitals, the hyphenation zone
// in twips.
struct THyphenationSettings {
  int32_t AutoHyphenation = 0;
  int32_t HyphenateCaps = 1;
  int32_t Zone = 360;
};
#pragma pack(pop)

void SetHyphenationOptions(TDoc& doc, const THyphenationSettings& settings);

// What a manual run did: whether the user stopped it and how many paragraphs with "Do not
// hyphenate" were passed over.
struct TManualHyphResult {
  bool Stopped = false;
  int32_t Skipped = 0;
};
TManualHyphResult HyphenateManually(TDoc& doc, const THyphenationSettings& settings);

}  // namespace qv
