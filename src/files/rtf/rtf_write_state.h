#pragma once
// The state of one RTF write and the primitives every part of the writer emits through: control
// words named by their keyword index, groups, escaped text, and the byte classes that decide how
// a text byte is written. The writer's parts (rtf_write_format, rtf_write_body,
// rtf_write_sections, rtf_write_header) all work on one TRtfWriteState.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/char_format.h"
#include "document/par_format.h"
#include "files/output/output_layer.h"
#include "foundation/base/memory.h"

namespace qv {

class TDoc;
class TField;
class TPar;

class TRtfWriteState {
 public:
  explicit TRtfWriteState(TSaveContext& context);

  TSaveContext& Context;
  TDoc& Doc;

  bool TextSuppressed = false;    // inside the result of a SYMBOL field
  bool RawText = false;           // supercompact mode: 8-bit text bytes written raw
  bool DelimiterPending = false;  // the last thing written was a control word
  bool InStyleSheet = false;
  bool InListTable = false;
  bool NativePictures = false;    // pictures as PNG or JPEG data
  bool InNoteReference = false;   // a note reference has begun, its note is still to be written
  bool WritingListText = false;

  int32_t CurrentPar = -1;        // index of the paragraph being written; -1 none
  TPar* CurrentParObject = nullptr;  // a paragraph outside the document (a list number)
  TCharFormat CharState;          // what the reader has in force at the output position
  TParFormat ParState;
  int32_t StyleCount = 0;
  int32_t FirstNoteStyle = 1;
  std::vector<std::pair<TParFormat, TCharFormat>> FormatStack;
  std::vector<TField*> OpenFields;
  std::vector<int32_t> OpenFieldPars;  // the paragraph where each open field started
  TField* CurrentNote = nullptr;
  TMemory MetafileScratch;

  // The paragraph being written.
  TPar& Par() const;
  // The output layer's target.
  void Bytes(const void* data, int32_t count) { WriteOutputBytes(Context, data, count); }
  void Text(std::string_view text) {
    WriteOutputBytes(Context, text.data(), static_cast<int32_t>(text.size()));
  }
  void Byte(uint8_t b) { WriteOutputByte(Context, b); }
};

// Byte classes: 0 control bytes, 1 plain ASCII, 2 the RTF specials "\", "{", "}", 3 bytes above
// 127.
uint8_t RtfByteClass(uint8_t byte);

// --- Control-word primitives ---
void WriteRtfWord(TRtfWriteState& w, int32_t word);
void WriteRtfToggle(TRtfWriteState& w, int32_t word, bool on);
void WriteRtfWordValue(TRtfWriteState& w, int32_t word, int64_t value);
// "{\word N}".
void WriteRtfValueGroup(TRtfWriteState& w, int32_t word, int64_t value);
// "{\*\word text}"; nothing for an empty text.
void WriteRtfStarGroup(TRtfWriteState& w, int32_t word, const std::string& text);
void WriteRtfStarGroup(TRtfWriteState& w, int32_t word, const std::u16string& text);
// A text group that keeps Unicode: the plain group for ASCII text, else the "upr" pair of an
// 8-bit form and a "\*\ud" form with "u" escapes.
void WriteRtfTextGroup(TRtfWriteState& w, int32_t word, const std::u16string& text);
// Escaped text (see the byte classes); 8-bit text raw in supercompact mode.
void WriteRtfString(TRtfWriteState& w, std::string_view text);
void WriteRtfString(TRtfWriteState& w, const std::u16string& text);
// Literal RTF (control words written as text); clears nothing.
inline void WriteRtfRaw(TRtfWriteState& w, std::string_view text) { w.Text(text); }
void OpenRtfGroup(TRtfWriteState& w);
void CloseRtfGroup(TRtfWriteState& w);
// The paragraph mark: "\" CR in supercompact mode, else "par".
void WriteRtfParagraphMark(TRtfWriteState& w);
// A space when a control word is pending before text.
void WriteRtfDelimiter(TRtfWriteState& w);
// One byte as a hex escape ("\'e9").
void WriteRtfHexByte(TRtfWriteState& w, uint8_t byte);
// Bytes as lower-case hexadecimal digit pairs, without line breaks.
void WriteRtfHexData(TRtfWriteState& w, const uint8_t* data, size_t count);

// The colour's entry in the save's colour table; 0 (automatic) when it is not there.
int32_t RtfColorIndex(const TRtfWriteState& w, int32_t color);
// The output number of the list that paragraphs call `number`; 0 when it has none.
int32_t RtfListOutputNumber(const TRtfWriteState& w, int32_t number);

}  // namespace qv
