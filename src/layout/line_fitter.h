#pragma once
// The layout's line fitter: fills one TLine of a paragraph from the content stream. It keeps the
// character format in force, measures every character with the current font (the font manager's
// shared fonts: a 256-entry width table per font and size), records the x of every character
// boundary, resolves tabs, hyphenates through the proofing tools' service, places inline shapes,
// and decides where the line ends. It also finishes fitted lines: alignment, justification and
// height (line_metrics.cpp).
//
// One fitter serves the whole program (layout runs on one thread); RegisterLayoutLineFitter
// hands it to the document model's paragraph line breaker.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "document/char_format.h"
#include "document/line_fitter_service.h"
#include "document/content_tags.h"
#include "foundation/fonts/font_key.h"
#include "layout/inline_shape_service.h"
#include "layout/layout_units.h"

namespace qv {

class TPar;
class TLine;
class TSharedFont;
class TKerningPairs;
class TField;

class TLayoutLineFitter : public TLineFitter {
 public:
  TLayoutSettings Settings;
  // Tells whether a paragraph is the last of its story (a page break before its end then does
  // not end the page). When null, the paragraph's document is asked (no document: it is not).
  bool (*IsLastOfStory)(const TPar& par) = nullptr;

  void BeginParagraph(TPar& par, const TCharFormat& format) override;
  void FitLine(TLine& line, TStreamCursor& cursor, TWrapContext* wrap) override;
  const TCharFormat& CurrentFormat() const override { return format_; }
  int32_t LineHeight(const TLine& line) override;
  void ComputeLineHeight(TLine& line) override;
  int32_t LineIndentTwips(const TPar& par, int32_t charIndex) override;

  // The paragraph is the last of its story (IsLastOfStory, else the paragraph's document).
  bool IsLastParOfStory(const TPar& par) const;
  // Twips of space above the line (space before and the top border on a paragraph's first line).
  int32_t GetLineSpaceAbove(const TLine& line) const;
  // Moves the line's positions for its paragraph's alignment (left, centre, right, justify).
  void AlignLine(TLine& line) const;

 private:
  struct Opportunity;
  struct PendingTab {
    bool Active = false;
    int kind = 0;
    int32_t index = 0;     // the tab's character index within the line
    int32_t xAtTab = 0;
    int32_t distance = 0;
  };
  enum class AddResult { Accepted, BreakBefore, BreakAtOpportunity };
  // How one step of the walk leaves the line: go on, the line has ended, or the walk must start
  // again in hyphenation mode.
  enum class Step { Next, Ended, Rehyphenate };
  struct Walk;

  bool WalkLine(TLine& line, const TStreamCursor& cursor, TWrapContext* wrap, Walk& w);
  void StartLine(TLine& line, const TStreamCursor& cursor, TWrapContext* wrap, Walk& w);
  int32_t LineStartX(const TLine& line, const TWrapContext* wrap, bool continuation);
  void EndOfStream(TLine& line, Walk& w, TWrapContext* wrap);
  // One handler per kind of stream item.
  Step TextChar(TLine& line, Walk& w, TWrapContext* wrap, int32_t at);
  Step Tag(TLine& line, Walk& w, TWrapContext* wrap, const TContentTag& tag, int32_t at);
  Step FormatTag(TLine& line, Walk& w, const TContentTag& tag);
  Step FieldStartTag(Walk& w, const TContentTag& tag);
  Step WideCharTag(TLine& line, Walk& w, TWrapContext* wrap, const TContentTag& tag, int32_t at);
  Step InlineShapeTag(TLine& line, Walk& w, TWrapContext* wrap, const TContentTag& tag,
                      int32_t at);
  Step SpecialCharTag(TLine& line, Walk& w, TWrapContext* wrap, const TContentTag& tag,
                      int32_t at);
  Step MarkChar(TLine& line, Walk& w, uint8_t code);
  Step BreakChar(TLine& line, Walk& w, uint8_t code, int32_t at);
  Step TabChar(TLine& line, Walk& w, TWrapContext* wrap, int32_t at);
  Step SubstituteChar(TLine& line, Walk& w, TWrapContext* wrap, uint8_t code, int32_t at);

  void SaveFormatAtOpportunity(Walk& w) const;
  TInlineShapeInfo PlaceInlineShape(TLine& line, int32_t shapeRef, int32_t& width,
                                    int32_t& height);
  void DropCapGlyphHeights(const std::u16string& text, int32_t& ascent, int32_t& descent) const;
  void EndLine(TLine& line, Walk& w, int32_t bytes);
  void BreakAt(TLine& line, Walk& w);
  AddResult AddChar(TLine& line, Walk& w, TWrapContext* wrap, uint8_t code, int32_t width,
                    int32_t ascent, int32_t descent, bool tagChar, int32_t kern = 0);
  bool Fits(const TLine& line, Walk& w, TWrapContext* wrap, int32_t right, int32_t ascent,
            int32_t descent);
  void RecordOpportunity(Walk& w, bool tagChar, bool hyphenPoint);
  bool TryHyphenation(const TLine& line, Walk& w, int32_t charIndex);
  bool HyphenateWord(const TLine& line, Walk& w, int32_t start, int32_t end);
  Step BreakFor(TLine& line, Walk& w, AddResult r, int32_t at);
  bool FinalBandCheck(const TLine& line, Walk& w, TWrapContext& wrap);
  bool EndsWithOptionalHyphen(const TLine& line, int32_t count) const;
  void ResolvePendingTab(TLine& line, Walk& w);
  int32_t BreakCharWidth(const TLine& line, uint8_t code, bool lineEmpty);
  void ApplyFieldStart(int32_t value);
  void ApplyFieldEnd(TLine& line, int32_t value);
  int32_t NoteMarkWidth(const TPar& par, const TStreamCursor& cursor, int32_t at);
  int32_t LabelWidth(const TPar& par) const;

  // Fonts.
  void SelectCurrentFont();
  int32_t CharWidth(uint8_t byte);
  int32_t HyphenWidth();
  int32_t LetterSpacing() const;
  int32_t Kerning(uint8_t previous, uint8_t current);
  // Byte widths of a font: its own table, or for a font that is measured through UTF-16 (a font
  // of a non-Latin or double-byte character set) the advances of the bytes' characters.
  const int32_t* WidthTableOf(const TSharedFont& font);
  // Upper case and lower-case test of the bytes in the current language and font code page.
  struct CaseTable {
    int32_t Language = 0;
    int32_t CodePage = 0;
    std::array<uint8_t, 256> Upper{};
    std::array<bool, 256> Lower{};
  };
  const CaseTable& CaseTableFor(int32_t language, int32_t codePage);
  struct WideWidths {
    const TSharedFont* Font = nullptr;
    TFontKey Key;
    std::array<int32_t, 256> Widths{};
  };

  TPar* par_ = nullptr;
  bool fontDirty_ = true;
  const TSharedFont* font_ = nullptr;
  const TSharedFont* smallFont_ = nullptr;  // small capitals
  const int32_t* widths_ = nullptr;       // byte widths of font_
  const int32_t* smallWidths_ = nullptr;  // byte widths of smallFont_
  const CaseTable* caseTable_ = nullptr;  // while capitals or small capitals are set
  std::vector<std::unique_ptr<CaseTable>> caseTables_;
  std::vector<std::unique_ptr<WideWidths>> wideWidths_;
  const TKerningPairs* kerning_ = nullptr;
  int32_t em_ = 0;
  int32_t ascent_ = 0;
  int32_t descent_ = 0;
  // SYMBOL field override: the font in force before it.
  bool symbolOverride_ = false;
  int32_t overriddenFont_ = 0;
};

// The widest line laid out: a hundred times the widest page the model allows, wider than any
// page or window at any zoom, and small enough that no position of a line, no alignment shift
// and no width computed from it comes near the 32-bit limits.
inline constexpr int32_t MaxLineWidthTwips = 100 * 31680;
// The line's available width within -MaxLineWidthTwips .. MaxLineWidthTwips.
int32_t LineWidthTwips(const TLine& line);

// The program's fitter. MakeLayoutLineFitter gives the paragraph line breaker's service for it
// (it forwards to LayoutLineFitter, so that the program's fitter stays valid whatever is
// registered later); RegisterLayoutLineFitter registers that service.
TLayoutLineFitter& LayoutLineFitter();
std::unique_ptr<TLineFitter> MakeLayoutLineFitter();
void RegisterLayoutLineFitter();

// The byte code page a font's characters are measured in: that of its character set, 1252 for
// the symbol set and for single-byte code pages below 1250.
int32_t MeasuringCodePage(int32_t charset);

}  // namespace qv
