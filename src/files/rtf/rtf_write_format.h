#pragma once
// Character and paragraph formatting as RTF, and the format stack that keeps the writer's idea
// of the reader's formatting right across groups.
#include <cstdint>

#include "document/border_sets.h"
#include "document/char_format.h"
#include "document/par_format.h"

namespace qv {

class TRtfWriteState;

// One character property (index 0..22) with its value; an unset value writes nothing.
void WriteCharProperty(TRtfWriteState& w, int index, int32_t value);
// Every set property of the format that differs from the character state, which takes it.
void WriteCharDifferences(TRtfWriteState& w, const TCharFormat& format);
// Every set property of the format, in index order (style sheet and list levels).
void WriteSetCharProperties(TRtfWriteState& w, const TCharFormat& format);
// The paragraph properties that differ from the base; `skipStyle` leaves the style out.
void WriteParDifferences(TRtfWriteState& w, const TParFormat& format, const TParFormat& base,
                         bool skipStyle = false);
// Brings the reader from the state format to this one, by differences or by "pard" and the
// differences from the defaults; false when the two were equal and nothing was written.
bool WriteParProperties(TRtfWriteState& w, const TParFormat& format, const TParFormat& state);
// A border: its side word, style word, width, colour and (for paragraph sides) spacing.
void WriteRtfBorder(TRtfWriteState& w, int32_t sideWord, const TBorderLine& border,
                    bool withSpacing);

void PushFormatState(TRtfWriteState& w);
// Drops the last saved states and re-emits what the closed group made the reader forget.
void PopFormatState(TRtfWriteState& w);

}  // namespace qv
