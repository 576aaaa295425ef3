#pragma once
// TPar: one paragraph of a document (of any of its four stories). Its text and inline objects are
// the content stream `Content`: text bytes in the code page of the font in force, interleaved
// with 7-byte content tags (document/content_tags.h). Beside it `Codes` holds one byte per
// character position (a text byte stands for itself, a character tag gives its code), so that
// characters can be counted and classified without decoding the stream. The last position is the
// paragraph's end: 2 ordinary, 3 after a section break, 4 last paragraph of a cell, 5 row end.
//
// Every change to the stream must clear pfNormalized (and with it the caches); the stream is
// brought to normal form (NormalizeParagraphTags) before it is laid out, read as text or counted.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/par_format.h"
#include "foundation/base/memory.h"

namespace qv {

class TDoc;
class TLine;
class TSection;
class TShape;
class TStyle;

// Paragraph flags (bits not listed belong to the layout).
enum : uint16_t {
  pfLinesValid = 0x1,
  pfNormalized = 0x2,
  pfNumberPar = 0x8,
  pfSymbolText = 0x10,
  pfWideTextValid = 0x20,
  pfWordCacheValid = 0x40,
  pfVertOffset = 0x80,
  pfInlineShapes = 0x100,
  pfAnchoredShapes = 0x200,
  pfWrapsShapes = 0x400,
  pfHorizontalRule = 0x800,
  pfDropCap = 0x1000,
};

// A spell mark: a span of characters and the spellchecker's value for it.
struct TSpellMark {
  int32_t Start = 0;
  int32_t End = 0;
  int32_t Value = 0;
};

// What the spellchecker keeps in a paragraph.
struct TParSpellState {
  static constexpr uint32_t CountMask = 0x3FFFFFFFu;
  static constexpr uint32_t NoProofBit = 0x40000000u;   // a mark of value 0x800000 was added
  static constexpr uint32_t OtherMarkBit = 0x80000000u;  // a mark of another value was added
  int32_t Generation = -1;  // the spellchecker generation the state was computed for
  int32_t CheckedStart = 0;
  int32_t CheckedEnd = 0;
  std::vector<TSpellMark> Marks;
  uint32_t MarkCount = 0;  // low 30 bits: number of marks; bits 30 and 31 as above
  std::vector<uint32_t> CheckerBuffer1;  // one entry per installed spellchecker
  std::vector<uint32_t> CheckerBuffer2;
};

// Base of the word-frequency cache that another part of the model keeps in a paragraph.
class TParWordCacheBase {
 public:
  virtual ~TParWordCacheBase() = default;
};

// Values that the layout keeps per paragraph; the document model only stores them.
struct TParLayoutValues {
  // Twips of space before and after as last computed by the layout for the paragraph's place
  // (space before disappears at the top of a page, for example); ParUnset16 until it has been,
  // and then the format's own values apply.
  int16_t SpaceBeforeCache = ParUnset16;
  int16_t SpaceAfterCache = ParUnset16;
  int32_t StopIndex = -1;        // the layout's own stop index (-1 none)
  int32_t MergeStartPar = -1;    // in a continuation cell: the first paragraph of its merge start
  int32_t Scratch[4] = {0, 0, 0, 0};
};

// A paragraph's saved lines, stream, codes and flags (around the temporary header and footer
// layout).
struct TParSnapshot {
  std::vector<TLine*> Lines;
  TMemory Content;
  TMemory Codes;
  uint16_t Flags = 0;
  bool Taken = false;
};

class TPar {
 public:
  // An empty paragraph (no content, no codes); Index and Format are filled by whoever inserts it
  // into the document.
  explicit TPar(TDoc* doc);
  ~TPar();
  TPar(const TPar&) = delete;
  TPar& operator=(const TPar&) = delete;

  TDoc* Doc = nullptr;
  uint16_t Flags = 0;
  uint8_t NumberLevel = 0;
  uint8_t NumberAlign = 0;
  // The laid-out lines, taken from the line pool (document/line.h); given back through
  // ReleaseLines.
  std::vector<TLine*> Lines;
  // Cached advance widths of the characters for the layout; empty when not computed. Dropped
  // whenever the stream is normalised.
  std::vector<uint16_t> Widths;
  int32_t Index = 0;
  TParFormat Format;
  TParLayoutValues LayoutValues;
  TMemory Content;
  TMemory Codes;
  std::u16string WideText;  // valid while pfWideTextValid is set
  TParSpellState Spell;
  int32_t NumberValue = 0;
  std::unique_ptr<TPar> NumberPar;  // the list number text of this paragraph, or null
  int32_t NumberShift = 0;
  int32_t BulletScale = 100;
  TPar* NumberOwner = nullptr;  // on a number paragraph: the paragraph whose number it holds
  std::unique_ptr<TParWordCacheBase> WordCache;
  std::vector<TShape*> AnchoredShapes;  // floating shapes anchored here, in stream order (not owned)

  bool HasFlag(uint16_t flag) const { return (Flags & flag) != 0; }
  // Clears pfNormalized and the caches that depend on the stream (call after every change).
  void ContentChanged();

  // Character positions (the paragraph end included).
  int32_t CharCount() const { return Codes.Length; }
  uint8_t CodeAt(int32_t index) const { return Codes.Data[index]; }
  // Sets the codes from the stream (one per text byte and character tag).
  void RebuildCodes();

  // Stream offset of a character: the index is clamped to the paragraph; the answer is the
  // offset of the character's own byte or tag, after every positionless tag before it.
  int32_t CharToStreamOffset(int32_t index) const;
  // The character index of the character at or after a stream offset.
  int32_t StreamOffsetToChar(int32_t offset) const;
  // The character format in force at a character (DefaultCharFormat at the stream's start).
  void GetCharFormatAt(int32_t index, TCharFormat& out) const;

  // The paragraph's style (index Format.Style of the document's style list), null when none.
  TStyle* GetStyle() const;
  // The section of the section-break tag that ends the stream; null when the last character tag
  // is of another kind.
  TSection* SectionBreak() const;
  // True when every code before the index is a column or page break (true for index 0).
  bool OnlyBreaksBefore(int32_t index) const;
  bool HasAutoNoteMark() const;
  // Character indexes of the UTF-16 characters and of the text in a symbol font or inside a
  // SYMBOL field; empty unless pfSymbolText. Normalises first.
  std::vector<int32_t> GetSymbolCharPositions();
  // The paragraph's list is set and its level is numbered.
  bool HasNumberedLevel() const;
  // The list number as the user sees it; empty unless HasNumberedLevel.
  std::u16string GetNumberText() const;

  // Numbers the automatically numbered note references from the given line on with the
  // counters (footnotes or endnotes by the note's class), each counter going up by one per
  // reference; a reference whose mark text changed has its note's paragraphs laid out again.
  // True when a mark changed.
  bool RenumberNoteMarks(int32_t lineIndex, int32_t& footnoteNumber, int32_t& endnoteNumber);
  // In a paragraph of a note's text: every note-mark field whose text differs from the text of
  // the note's automatically numbered reference takes that text; true when one changed.
  bool SyncNoteMarkText();

  // Moves the lines into the snapshot and keeps copies of stream, codes and flags.
  void SaveState(TParSnapshot& snapshot);
  // Releases the lines made since and puts back what the snapshot holds.
  void RestoreState(TParSnapshot& snapshot);
  // Gives the lines from the index on back to the line pool; clears pfLinesValid.
  void ReleaseLines(int32_t from = 0);

  // --- Lines (document/par_breaking.cpp) ---
  // The number of lines; 0 before the paragraph is broken.
  int32_t LineCount() const;
  // The line whose characters hold the index, by binary search (the last line examined when none
  // does; -1 without lines). When the index is a line's first character and the line lies above
  // `lowestLine`, the previous line is answered instead when `endAffinity` is asked for or the
  // previous line does not end with a column, line or page break: a caret at a soft line end
  // shows at the end of the upper line.
  int32_t LineIndexOfChar(int32_t charIndex, int32_t lowestLine, bool endAffinity) const;
  // The lines are valid and the first one lies in a box.
  bool IsPlaced() const;
  // Twips from the text area's left edge to the start of a line at the character: the left
  // indent, plus the first-line indent when only column and page breaks come before the
  // character. In the draft views, which show nothing left of the text area, the indent moves
  // right by as much as the smaller of the left indent and the first-line position lies left of 0.
  int32_t GetLineIndentTwips(int32_t charIndex, bool draftView) const;
  // The same in screen pixels at the document's zoom, in the document's view (100 % and Print
  // Layout for a paragraph without a document).
  int32_t GetLineIndentPx(int32_t charIndex) const;
  // Twips that the paragraph's border takes below it: the bottom border for the last paragraph
  // of its bordered group, the inside border otherwise (width + distance); 0 without borders or
  // when that border's style is none.
  int32_t GetBottomBorderSpace() const;

  // Spell-check state.
  void InvalidateSpelling();
  void AddSpellCheckedSpan(int32_t start, int32_t end);
  void AddSpellMark(int32_t start, int32_t end, int32_t value);
  bool SpellCheckedWithin(int32_t start, int32_t end) const;
};

// Brings the stream to normal form and sets the content flags; nothing when pfNormalized is set.
void NormalizeParagraphTags(TPar& par);
// Fills WideText (normalising first); nothing when pfWideTextValid is set.
void BuildParagraphWideText(TPar& par);
// Appends the paragraph's characters as UTF-16, one unit per character position, as
// BuildParagraphWideText does but without keeping them (for a single pass over a large text).
// The stream should be in normal form.
void AppendParagraphText(const TPar& par, std::u16string& out);

// True when the word-delimiter table marks the byte, or when the language in force at the
// character is French or Italian and the byte is an apostrophe-like character there.
bool IsWordDelimiterAt(const TPar& par, uint8_t byte, int32_t charIndex);

// The code page in which the text bytes of a font are read: the character set's code page, or
// 1252 for the symbol set and any set whose code page is below 1250.
uint32_t TextCodePageOfFont(int32_t fontNumber);

}  // namespace qv
