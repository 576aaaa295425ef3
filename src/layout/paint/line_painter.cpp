#include "layout/paint/line_painter.h"

#include <algorithm>
#include <climits>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/shape_props_table.h"
#include "document/compound_fragment.h"
#include "foundation/base/geometry.h"
#include "foundation/base/string_utils.h"
#include "foundation/base/units.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/graphics/colour_manager.h"
#include "layout/box.h"
#include "layout/char_positions.h"
#include "layout/layout_units.h"
#include "layout/line_fitter.h"
#include "layout/note_layout.h"
#include "layout/paint/box_geometry.h"
#include "layout/paint/formatting_marks.h"
#include "layout/paint/line_backgrounds.h"
#include "layout/paint/shape_painter.h"
#include "layout/paint/spelling_marks.h"
#include "layout/paint/underlines.h"
#include "platform/gfx/canvas.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

constexpr uint32_t kNoColour = 0xFF000000u;
constexpr uint32_t kShadowColour = 0xC0C0C0;
constexpr uint32_t kReliefColour = 0x808080;
constexpr uint32_t kDimmedColour = 0xC0C0C0;
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr int32_t kDefaultHalfPoints = 24;
constexpr int32_t kMaxHalfPoints = 3276;
// Bookmark flags: hidden (never shown as brackets), and a place of multi-place typing.
constexpr uint8_t kBookmarkHidden = 2;
constexpr uint8_t kBookmarkTypingPoint = 4;


int32_t ValueOr(int32_t v, int32_t fallback) { return v == CharUnset ? fallback : v; }

bool IsSet(int32_t v) { return v != CharUnset && v > 0; }

// Properties whose change needs another font (font, size, bold, italic, small capitals,
// capitals, super/subscript, width scale).
bool ChangesFont(int kind) {
  return kind == cpFont || kind == cpSize || kind == cpBold || kind == cpItalic ||
         kind == cpSmallCaps || kind == cpAllCaps || kind == cpScript || kind == cpScale;
}

const TDoc* DocOf(const TLine& line) { return line.Par != nullptr ? line.Par->Doc : nullptr; }

int32_t ZoomPercentOf(const TDoc* doc) { return doc != nullptr ? doc->ZoomPercent : 100; }

int32_t ZoomY(const TDoc* doc, int32_t v) { return doc != nullptr ? doc->ZoomValueY(v) : v; }

class LinePainter {
 public:
  LinePainter(TLine& line, plat::Canvas& canvas, int32_t x, int32_t y, TLinePaintObserver* obs)
      : line_(line), par_(*line.Par), canvas_(canvas), x_(x), y_(y), obs_(obs), doc_(DocOf(line)) {}

  void Paint();

 private:
  void ComputeTextX();
  void ComputeLineState();
  void Walk();
  void ApplyFormatTag(const TContentTag& tag);
  void Special(int32_t value, int32_t index);
  void AddMarkOrFlush(uint8_t code, int32_t index);
  void DrawTab(int32_t index, int32_t kindAndLeader);
  void DrawBreak(int32_t label, int32_t index);
  void DrawLineBreak(int32_t index);
  void DrawPaginationMark();
  void DrawNoteMark(int32_t index);
  void DrawInlineShape(const TContentTag& tag, int32_t index);
  void DrawBracketMark(const TContentTag& tag, int32_t index);
  void DrawFocusFrame(const plat::Rect& r);
  void AddByte(uint8_t byte, int32_t index);
  void AddWide(char16_t ch, int32_t index);
  void Flush();
  void SelectRunFont();
  TSharedFont& SelectFontAt(int32_t halfPoints);
  int32_t RunHalfPoints(bool smallCaps) const;
  int32_t RunBaseline() const;
  int32_t RunTextTop() const;
  uint32_t RunTextColor() const;
  std::u16string RunText() const;
  void DrawRunAt(int32_t dx, int32_t dy, uint32_t colour, const std::u16string& text);
  void DrawPiece(int32_t first, const std::u16string& text, int32_t dx, int32_t dy);
  void DrawStrike(uint32_t colour);
  void RecordUnderline(int32_t start, int32_t end);
  void DrawHyphen();
  void PaintUnderlines();
  void PaintSpellingMarks();
  bool OutsideSpotlight() const;
  void DrawUnderline(const TUnderlineSegment& s, int32_t start, int32_t end, int32_t style,
                     int32_t dx, int32_t dy, uint32_t colour);

  TLine& line_;
  TPar& par_;
  plat::Canvas& canvas_;
  int32_t x_;
  int32_t y_;
  TLinePaintObserver* obs_;
  const TDoc* doc_;

  std::vector<int32_t> textX_;  // absolute pixel x of every character boundary of the line
  TCharFormat format_;
  bool fontDirty_ = true;
  TSharedFont* font_ = nullptr;
  int32_t fontHalfPoints_ = kDefaultHalfPoints;
  int32_t runStart_ = 0;
  int32_t runLength_ = 0;
  std::string runBytes_;
  std::u16string runWide_;
  bool wideRun_ = false;
  bool decorationsOnly_ = false;
  bool dimmed_ = false;
  uint32_t background_ = kNoColour;
  int32_t spaceAbove_ = 0;
  std::vector<TUnderlineSegment> underlines_;
  TMarkSettings marks_;
  int32_t count_ = 0;  // the line's characters that its paragraph really holds
  bool unitsMatch_ = true;  // the run's text has one UTF-16 unit per character position
  int32_t tagEnd_ = 0;      // stream offset just past the content tag being walked
};

void LinePainter::Paint() {
  canvas_.SaveState();
  ComputeTextX();
  ComputeLineState();
  format_ = line_.StartFormat;
  const TLineBackdrop backdrop{&line_, x_, y_, LineHeightPixels(line_), spaceAbove_, dimmed_};
  // A piece of a split row after the first leaves shading and bar tabs to the first piece.
  const bool continuation = line_.HasFlag(lfSegment) && !line_.HasFlag(lfBandFirst);
  const bool dropCap = line_.HasFlag(lfDropCap);
  // The list label and line-number paragraphs borrow their host's format but none of its
  // backgrounds, borders or field shading.
  const bool auxiliary = (par_.Flags & pfNumberPar) != 0;
  const int32_t shading = par_.Format.Shading;
  if (shading != ParUnset32 && shading >= 0 && !dropCap && !continuation && !auxiliary)
    PaintParagraphShading(canvas_, backdrop, ParagraphFrameRect(backdrop), static_cast<uint32_t>(shading));
  if (!auxiliary) {
    PaintListLabel(canvas_, backdrop);
    PaintLineNumber(canvas_, backdrop);
  }
  const int32_t highlight = line_.StartFormat.Highlight;
  if (!auxiliary && (line_.HasFlag(lfHighlight) || (highlight != CharUnset && highlight != AutoColor)))
    PaintHighlights(canvas_, backdrop);
  if (!auxiliary && line_.HasFlag(lfFieldShading) && FieldShadingWanted(doc_, marks_.Allowed))
    PaintFieldShading(canvas_, backdrop, background_ == kNoColour ? kWhite : background_);
  if (marks_.Allowed && line_.FirstChar == 0) DrawPaginationMark();
  canvas_.SetBkMode(plat::BkMode::Transparent);
  canvas_.SetTextAlign(plat::align::Left | plat::align::Baseline);
  Walk();
  Flush();
  if (line_.HasFlag(lfHyphenated)) DrawHyphen();
  if (!continuation && !auxiliary) PaintBarTabs(canvas_, backdrop);
  PaintUnderlines();
  if (!auxiliary && LineHasSpellingMarks(line_, dimmed_)) PaintSpellingMarks();
  if (!dropCap && !auxiliary) PaintParagraphBorders(canvas_, backdrop, ParagraphFrameRect(backdrop));
  canvas_.RestoreState();
}

void LinePainter::ComputeTextX() {
  // A line never reaches beyond its paragraph's characters, whatever it claims.
  count_ = std::clamp(line_.Count, 0, std::max(0, par_.CharCount() - line_.FirstChar));
  textX_.resize(static_cast<size_t>(count_) + 1);
  for (int32_t i = 0; i <= count_; ++i)
    textX_[static_cast<size_t>(i)] = x_ + LineTextX(line_, i);
}

void LinePainter::ComputeLineState() {
  dimmed_ = doc_ != nullptr && (doc_->IsParagraphDimmed(par_.Index) || OutsideSpotlight());
  const int32_t shading = par_.Format.Shading;
  if (shading != ParUnset32 && shading >= 0) background_ = static_cast<uint32_t>(shading);
  else if (par_.Format.InTable == 1 && line_.Box != nullptr)
    background_ = CellShadingColor(*line_.Box, dimmed_);
  spaceAbove_ = line_.Par != nullptr ? LayoutLineFitter().GetLineSpaceAbove(line_) : 0;
  marks_ = MarkSettingsFor(doc_);
}

// Spotlight greys every line outside the range it shows (unless dimming is switched off).
bool LinePainter::OutsideSpotlight() const {
  if (!doc_->IsSpotlightActive() || doc_->DimmingOff) return false;
  const TDocRange& r = doc_->PaintedSpotlightRange;
  const int32_t p = par_.Index;
  if (p < r.Start.Par || p > r.End.Par) return true;
  const int32_t first = line_.FirstChar;
  const int32_t last = first + line_.Count;
  if (IsRangeEmpty(r)) {
    // A caret on the boundary of two lines belongs to the later one.
    const int32_t at = r.Start.Offset;
    return !(first <= at && (at < last || last >= par_.CharCount()));
  }
  if (p == r.Start.Par && last <= r.Start.Offset) return true;
  return p == r.End.Par && first >= r.End.Offset;
}

void LinePainter::Walk() {
  const uint8_t* data = par_.Content.Data;
  const int32_t length = par_.Content.Length;
  int32_t offset = std::clamp(line_.StreamOffset, 0, length);
  const int32_t end = static_cast<int32_t>(
      std::min<int64_t>(length, int64_t{offset} + std::max(0, line_.StreamLength)));
  int32_t index = 0;
  while (offset < end && index < count_) {
    const uint8_t byte = data[offset];
    if (byte != 0) {
      const uint8_t glyph = byte == ' ' ? MarkGlyph(byte, marks_) : 0;
      AddByte(glyph != 0 ? glyph : byte, index++);
      ++offset;
      continue;
    }
    if (!IsTagAt(data, length, offset)) break;  // a damaged stream ends the line's text
    const TContentTag tag = ReadTagAt(data, offset);
    offset += ContentTagSize;
    tagEnd_ = offset;
    if (IsFormatTagKind(tag.Kind)) {
      ApplyFormatTag(tag);
      continue;
    }
    switch (tag.Kind) {
      case ctSpecialChar:
        Special(tag.Value, index++);
        break;
      case ctWideChar: {
        char16_t ch = static_cast<char16_t>(tag.Value);
        if (ch == u' ' && marks_.Shows(TMarkSettings::Spaces)) ch = 0x00B7;
        AddWide(ch, index++);
        break;
      }
      case ctSectionBreak: {
        const TSection* section = SectionOfTag(tag);
        const int32_t kind = section != nullptr ? section->Format.BreakKind : sbNextPage;
        Flush();
        if (marks_.Allowed) DrawBreak(2 + std::clamp(kind, 0, 3), index);
        ++index;
        break;
      }
      case ctCellEnd:
        AddMarkOrFlush(scCellEnd, index++);
        break;
      case ctRowEnd:
        AddMarkOrFlush(scRowEnd, index++);
        break;
      case ctInlineShape:
        // The shape paints itself; its position still carries underline and strike-through.
        Flush();
        DrawInlineShape(tag, index);
        AddByte(' ', index++);
        decorationsOnly_ = true;
        Flush();
        decorationsOnly_ = false;
        break;
      case ctFieldStart:
      case ctFieldEnd:  // field marks take no position; some are shown as brackets
        DrawBracketMark(tag, index);
        break;
      default:
        break;
    }
  }
}

void LinePainter::ApplyFormatTag(const TContentTag& tag) {
  const int kind = tag.Kind;
  if (kind == cpCharStyle || kind == cpSpacing || kind == cpKerning || kind == cpLanguage) return;
  if (format_[kind] == tag.Value) return;
  Flush();
  format_[kind] = tag.Value;
  if (ChangesFont(kind)) fontDirty_ = true;
}

void LinePainter::AddMarkOrFlush(uint8_t code, int32_t index) {
  const uint8_t glyph = MarkGlyph(code, marks_);
  if (glyph != 0) AddByte(glyph, index);
  else Flush();
}

void LinePainter::Special(int32_t value, int32_t index) {
  const int32_t code = value & 0xFF;
  if (marks_.Allowed) {
    switch (code) {
      case scParagraphEnd:
      case scCellEnd:
      case scRowEnd:
      case scNonBreakingSpace:
      case scNonBreakingHyphen:
      case scEmDash:
      case scEnDash:
      case scEnSpace:
      case scEmSpace:
      case scQuarterEmSpace:
        AddMarkOrFlush(static_cast<uint8_t>(code), index);
        return;
      case scLineBreak:
        DrawLineBreak(index);
        return;
      case scPageBreak:
        DrawBreak(0, index);
        return;
      case scColumnBreak:
        DrawBreak(1, index);
        return;
      case scOptionalHyphen:
        if (!marks_.Shows(TMarkSettings::OptionalHyphens)) break;
        Flush();
        SelectRunFont();
        DrawOptionalHyphenMark(canvas_, textX_[static_cast<size_t>(index)],
                               textX_[static_cast<size_t>(index) + 1],
                               y_ + RunBaseline() - font_->Metrics.Ascent + 2,
                               font_->Metrics.Height - 4, RunTextColor());
        return;
      default:
        break;
    }
  }
  switch (code) {
    case scNonBreakingSpace:
    case scEnSpace:
    case scEmSpace:
    case scQuarterEmSpace:
      AddByte(' ', index);
      return;
    case scNonBreakingHyphen:
      AddByte('-', index);
      return;
    case scEmDash:
      AddByte(151, index);
      return;
    case scEnDash:
      AddByte(150, index);
      return;
    case scOptionalHyphen: {
      // Shown only where the line breaks at it (the breaker gave it a width).
      const bool hasWidth = textX_[static_cast<size_t>(index) + 1] > textX_[static_cast<size_t>(index)];
      if (hasWidth) AddByte('-', index);
      else Flush();
      return;
    }
    case scTab:
      DrawTab(index, (value >> 8) & 0xFF);
      return;
    case scAutoNoteMark:
      DrawNoteMark(index);
      return;
    default:  // breaks and marks: drawn only as formatting marks
      Flush();
      return;
  }
}

void LinePainter::DrawTab(int32_t index, int32_t kindAndLeader) {
  Flush();
  const int32_t kind = kindAndLeader & 0xF;
  const int32_t leader = (kindAndLeader >> 4) & 0xF;
  const bool hasLeader = leader >= 1 && leader <= 3;
  const int32_t smallCaps = format_.SmallCaps;
  if (hasLeader && IsSet(smallCaps)) {
    format_.SmallCaps = 0;
    fontDirty_ = true;
  }
  SelectRunFont();
  const int32_t left = textX_[static_cast<size_t>(index)];
  const int32_t right = textX_[static_cast<size_t>(index) + 1];
  const int32_t top = RunTextTop();
  const int32_t ascent = font_->Metrics.Ascent;
  const uint32_t colour = RunTextColor();
  if (marks_.Shows(TMarkSettings::Tabs)) DrawTabArrow(canvas_, {left, top, right, top + ascent}, colour);
  const char ch = leader == 1 ? '.' : leader == 2 ? '-' : '_';
  const int32_t cw = font_->Font.ByteWidth(static_cast<uint8_t>(ch));
  if (hasLeader && cw > 0 && right > left) {
    int32_t n = (right - left) / cw;
    const int32_t baseline = top + ascent;
    canvas_.SetTextColor(colour);
    if (leader == 3) {
      n += std::max(1, n * 20 / 100);
      const std::u16string text(static_cast<size_t>(n), u'_');
      canvas_.SaveState();
      canvas_.IntersectClipRect({left, top, right, top + font_->Metrics.Height});
      canvas_.TextOut(left, baseline, std::u16string_view(text));
      canvas_.RestoreState();
      if (obs_ != nullptr) obs_->OnText(left, baseline, text, {}, canvas_.GetFont().Log().Height);
    } else if (n > 0) {
      const int32_t r = (right - left) % cw;
      const int32_t start = left + (kind == 1 ? r / 2 : r);
      const std::u16string text(static_cast<size_t>(n), static_cast<char16_t>(ch));
      const std::vector<int32_t> advances(static_cast<size_t>(n), cw);
      canvas_.ExtTextOut(start, baseline, 0, nullptr, std::u16string_view(text), advances);
      if (obs_ != nullptr) obs_->OnText(start, baseline, text, advances, canvas_.GetFont().Log().Height);
    }
  }
  if (ValueOr(format_.Underline, 0) != 0) RecordUnderline(index, index + 1);
  if (format_.SmallCaps != smallCaps) {
    format_.SmallCaps = smallCaps;
    fontDirty_ = true;
  }
}

// A square in the margin marks a paragraph with keep with next, keep lines together, page break
// before or suppressed line numbers.
void LinePainter::DrawPaginationMark() {
  const TParFormat& f = par_.Format;
  auto on = [](int8_t v) { return v != ParUnset8 && v > 0; };
  if (!on(f.KeepNext) && !on(f.KeepLines) && !on(f.PageBreakBefore) && !on(f.NoLineNumbers)) return;
  const int32_t side = std::max(1, doc_ != nullptr ? doc_->TwipsToPixelsY(60) : TwipsToScreenPixels(60));
  const int32_t inset = line_.Box != nullptr ? line_.Box->PixelMargins.left : 0;
  const int32_t c0 = ZoomY(doc_, GetLineCharX(line_, 0));
  const int32_t left = x_ + std::max(std::max(2, side / 3), inset + std::min(0, c0) - 2 * side);
  const TLayoutSettings& s = LayoutLineFitter().Settings;
  const int32_t textHeight = ZoomY(doc_, LayoutToPixelsY(line_.SpacingAscent + line_.Descent, s));
  const int32_t top = y_ + (doc_ != nullptr ? doc_->TwipsToPixelsY(spaceAbove_) : TwipsToScreenPixels(spaceAbove_)) +
                      (textHeight - side) / 2;
  canvas_.FillRect({left, top, left + side, top + side}, dimmed_ ? kDimmedColour : 0x000000);
  if (obs_ != nullptr) obs_->OnPaginationMark({left, top, left + side, top + side});
}

// An automatic note mark shows its note's number (or symbols) in the run's format, character by
// character from the position's left; with note marks shown it is framed.
void LinePainter::DrawNoteMark(int32_t index) {
  Flush();
  SelectRunFont();
  const TField* mark = NoteMarkField(par_, par_.Content.Data, par_.Content.Length, tagEnd_);
  const std::string text = NoteMarkText(mark);
  const int32_t left = textX_[static_cast<size_t>(index)];
  const int32_t cell = textX_[static_cast<size_t>(index) + 1] - left;
  if (marks_.Shows(TMarkSettings::NoteMarks)) {
    const int32_t spaceTop = y_ + (doc_ != nullptr ? doc_->TwipsToPixelsY(spaceAbove_) : 0);
    const int32_t top = std::max(RunTextTop(), spaceTop);
    DrawFocusFrame({left, top, left + cell, top + font_->Metrics.Height - 1});
  }
  // Symbols (format 9) share the position's width one pixel at a time; other marks take each
  // character's own width.
  bool symbols = false;
  if (doc_ != nullptr && text.size() >= 2) {
    const TSection* section = const_cast<TDoc*>(doc_)->SectionOfParagraph(par_.Index);
    const bool endnote = mark != nullptr && (mark->NoteClass == 1 || (mark->LinkedField != nullptr &&
                                                                      mark->LinkedField->NoteClass == 1));
    if (section != nullptr)
      symbols = (endnote ? section->Endnotes : section->Footnotes).NumberFormat == 9;
  }
  const int32_t n = static_cast<int32_t>(text.size());
  std::vector<int32_t> widths(static_cast<size_t>(n));
  for (int32_t i = 0; i < n; ++i)
    widths[static_cast<size_t>(i)] =
        symbols ? cell / n + (i < cell % n ? 1 : 0) : font_->Font.ByteWidth(static_cast<uint8_t>(text[i]));
  const std::u16string wide = font_->Font.DecodeBytes(text);
  canvas_.SetTextColor(RunTextColor());
  const int32_t baseline = RunTextTop() + font_->Metrics.Ascent;
  if (wide.size() == widths.size()) {
    canvas_.ExtTextOut(left, baseline, 0, nullptr, std::u16string_view(wide), widths);
    if (obs_ != nullptr) obs_->OnText(left, baseline, wide, widths, canvas_.GetFont().Log().Height);
  }
  if (ValueOr(format_.Underline, 0) != 0) RecordUnderline(index, index + 1);
}

// Bookmark delimiters and index entries as brackets at their marks (with the mark types shown);
// a multi-place typing point as a thin red frame whatever the mark types.
void LinePainter::DrawBracketMark(const TContentTag& tag, int32_t index) {
  const TField* field = FieldOfTag(tag);
  if (field == nullptr) return;
  const bool start = tag.Kind == ctFieldStart;
  const bool preview = doc_ != nullptr && doc_->IsDocFlagSet(dfPreview);
  const bool indexEntry = field->Kind == fkField && field->FieldType == ftIndexEntry;
  const bool typingPoint = field->Kind == fkBookmark && (field->Flags & kBookmarkTypingPoint) != 0 &&
                           doc_ != nullptr && doc_->IsDocFlagSet(dfMultiPlaceTyping);
  const bool bookmark = field->Kind == fkBookmark && (field->Flags & kBookmarkHidden) == 0 &&
                        marks_.Shows(TMarkSettings::BookmarkDelimiters);
  bool draw = false;
  if (indexEntry) draw = start && marks_.Shows(TMarkSettings::IndexEntries);
  else if (field->Kind == fkBookmark && !preview) draw = typingPoint ? start : bookmark;
  if (!draw) return;
  Flush();
  const TLayoutSettings& s = LayoutLineFitter().Settings;
  const int32_t rule = par_.Format.LineRule;
  const int32_t spacing = par_.Format.LineSpacing;
  int32_t v = 0;
  if (rule == 0 && spacing < 0 && spacing != ParUnset16)
    v = (doc_ != nullptr ? doc_->TwipsToPixelsY(PercentOf(-spacing, 80)) : 0) -
        ZoomY(doc_, LayoutToPixelsY(line_.Ascent, s));
  else if (rule == 1 && spacing > 0 && spacing < 240)
    v = -MulDiv(ZoomY(doc_, LayoutToPixelsY(line_.SpacingAscent, s)), 240 - spacing, 240);
  const int32_t top = y_ + (doc_ != nullptr ? doc_->TwipsToPixelsY(spaceAbove_) : 0) + v;
  const int32_t bottom = top + ZoomY(doc_, LayoutToPixelsY(line_.Ascent + line_.Descent, s));
  if (bottom - top < 4) return;
  const int32_t x = textX_[static_cast<size_t>(std::min(index, count_))];
  uint32_t colour = 0x000000;
  if (dimmed_) colour = RunTextColor();
  else if (typingPoint) colour = GetColorManager().AdjustColor(0x0000FF, background_ == kNoColour ? kWhite : background_);
  if (typingPoint) {
    canvas_.FillRect({x - 1, top, x, bottom}, colour);
    return;
  }
  if (indexEntry) {
    for (int32_t i = 0; i < 4 && top + i + 2 <= bottom; ++i) {
      canvas_.FillRect({x - 5 + i, top + i, x - 4 + i, top + i + 2}, colour);
      canvas_.FillRect({x + 3 - i, top + i, x + 4 - i, top + i + 2}, colour);
    }
    canvas_.FillRect({x - 1, top + 4, x + 1, bottom - 2}, colour);
    canvas_.FillRect({x - 4, bottom - 2, x + 4, bottom}, colour);
    return;
  }
  const int32_t left = start ? x - 1 : x - 4;
  const int32_t right = start ? x + 4 : x + 1;
  canvas_.FillRect({left, top, right, top + 2}, colour);
  canvas_.FillRect({left, bottom - 2, right, bottom}, colour);
  canvas_.FillRect(start ? plat::Rect{left, top, left + 2, bottom} : plat::Rect{right - 2, top, right, bottom}, colour);
}

// An inline picture stands on the line's baseline at its character, its size the picture's
// size by its scale (a horizontal rule the width the line gave it).
void LinePainter::DrawInlineShape(const TContentTag& tag, int32_t index) {
  TShape* shape = ShapeOfRef(tag.Value);
  if (shape == nullptr || shape->IsRemoved() || doc_ == nullptr) return;
  const auto scale = shape->GetScale();
  const int32_t left = textX_[static_cast<size_t>(index)];
  int32_t width = doc_->ScaledTwipsToPixelsX(shape->Props.PicWidth, scale[0]);
  const int32_t height = doc_->ScaledTwipsToPixelsY(shape->Props.PicHeight, scale[1]);
  if (shape->IsHorizontalRule()) width = textX_[static_cast<size_t>(index) + 1] - left;
  const TLayoutSettings& s = LayoutLineFitter().Settings;
  const int32_t raise = ValueOr(format_.VertOffset, 0) * 20;
  const int32_t top = y_ +
                      ZoomY(doc_, LayoutToPixelsY(line_.Ascent, s) + TwipsToScreenPixels(spaceAbove_) -
                                      TwipsToScreenPixelsZoomed(shape->Props.PicHeight, scale[1])) -
                      doc_->TwipsToPixelsY(raise);
  TShapePaint paint;
  paint.Rect = {left, top, left + width, top + height};
  paint.Colour = ValueOr(format_.Color, AutoColor) == AutoColor ? 0xFF000000u : static_cast<uint32_t>(format_.Color);
  if (dimmed_) paint.Flags |= TShapePaint::Dimmed;
  if (!doc_->IsDocFlagSet(dfPreview) && doc_->Selection && doc_->Selection->Count() == 1) {
    const TDocRange& r = *doc_->Selection->GetRange(0);
    const int32_t at = line_.FirstChar + index;
    if (r.Start.Par == par_.Index && r.End.Par == par_.Index && r.Start.Offset == at && r.End.Offset == at + 1)
      paint.Flags |= TShapePaint::Selected;
  }
  DrawShape(*shape, canvas_, paint);
}

// A dotted frame, each dot inverted, as a focus rectangle is drawn.
void LinePainter::DrawFocusFrame(const plat::Rect& r) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  for (int32_t x = r.left; x < r.right; x += 2) {
    canvas_.InvertRect({x, r.top, x + 1, r.top + 1});
    canvas_.InvertRect({x, r.bottom - 1, x + 1, r.bottom});
  }
  for (int32_t y = r.top + 2; y < r.bottom - 1; y += 2) {
    canvas_.InvertRect({r.left, y, r.left + 1, y + 1});
    canvas_.InvertRect({r.right - 1, y, r.right, y + 1});
  }
}

void LinePainter::DrawLineBreak(int32_t index) {
  Flush();
  SelectRunFont();
  const int32_t a = font_->Metrics.Ascent;
  const int32_t b = textX_[static_cast<size_t>(index)] + (ZoomY(doc_, 11) - 11) / 2;
  const int32_t f = RunBaseline() + y_ + (a - 7) / 2 - a;
  DrawLineBreakMark(canvas_, b, f, RunTextColor());
}

void LinePainter::DrawBreak(int32_t label, int32_t index) {
  Flush();
  SelectRunFont();
  const int32_t a = font_->Metrics.Ascent;
  const int32_t baseline = RunBaseline() + y_;
  const uint32_t colour = RunTextColor();
  // The label font: the default character format's font at 8 points.
  TFontManager* fm = FontManager();
  if (fm == nullptr) return;
  TFontKey key;
  key.Font = 0;
  key.Size = doc_ != nullptr ? doc_->FontHeightForSize(16) : -11;
  TSharedFont& labelFont = fm->SelectFont(key, key.Size, false, true, &canvas_);
  const std::string text = BreakLabelText(label);
  const std::u16string wide(text.begin(), text.end());
  const plat::Size extent = canvas_.TextExtent(std::u16string_view(wide));
  const int32_t t = textX_[static_cast<size_t>(index)];
  const int32_t cell = textX_[static_cast<size_t>(index) + 1] - t;
  const int32_t w = extent.cx;
  const int32_t room = std::max(cell, w + 30);
  const int32_t labelLeft = t + (room - w) / 2;
  const int32_t ruleY = baseline + extent.cy / 2 - a - std::max(1, ZoomY(doc_, 1)) / 2;
  const int pattern = label == 0 ? 0 : 1;
  for (int32_t k = 0; k < (label >= 2 ? 2 : 1); ++k) {
    DrawPatternLine(canvas_, t, labelLeft - 1, ruleY + 2 * k, pattern, colour);
    DrawPatternLine(canvas_, labelLeft + w + 1, t + room, ruleY + 2 * k, pattern, colour);
  }
  canvas_.SetTextColor(colour);
  const int32_t labelBaseline = baseline - a + labelFont.Metrics.Ascent;
  canvas_.TextOut(labelLeft, labelBaseline, std::u16string_view(wide));
  if (obs_ != nullptr) obs_->OnText(labelLeft, labelBaseline, wide, {}, key.Size);
  fontDirty_ = true;  // the run font is selected again for the next run
}

void LinePainter::AddByte(uint8_t byte, int32_t index) {
  if (wideRun_ || (runLength_ > 0 && runStart_ + runLength_ != index)) Flush();
  if (runLength_ == 0) runStart_ = index;
  runBytes_.push_back(static_cast<char>(byte));
  ++runLength_;
}

void LinePainter::AddWide(char16_t ch, int32_t index) {
  if ((!wideRun_ && runLength_ > 0) || (runLength_ > 0 && runStart_ + runLength_ != index)) Flush();
  if (runLength_ == 0) runStart_ = index;
  wideRun_ = true;
  runWide_.push_back(ch);
  ++runLength_;
}

TSharedFont& LinePainter::SelectFontAt(int32_t halfPoints) {
  TFontManager* fm = FontManager();
  if (fm == nullptr) fm = &CreateFontManager();
  TFontKey key = FontKeyOf(format_);
  key.Font = ValueOr(key.Font, ValueOr(DefaultCharFormat.Font, 0));
  key.Bold = ValueOr(key.Bold, 0);
  key.Italic = ValueOr(key.Italic, 0);
  // Strike-through and underlines are drawn by the painter, never by the font.
  key.Strike = key.DoubleStrike = key.Underline = 0;
  key.Scale = ValueOr(key.Scale, 100);
  if (key.Scale <= 0) key.Scale = 100;
  const int32_t height = doc_ != nullptr ? doc_->FontHeightForSize(halfPoints)
                                         : -std::max(3, MulDiv(halfPoints, ScreenPixelsPerInch(), 144));
  key.Size = height;
  return fm->SelectFont(key, key.Size, false, true, &canvas_);
}

// The run's font size: small capitals 80 %, super- and subscript 65 %, both 52 %.
int32_t LinePainter::RunHalfPoints(bool small) const {
  int32_t size = ValueOr(format_.Size, ValueOr(DefaultCharFormat.Size, kDefaultHalfPoints));
  size = std::clamp(size, 1, kMaxHalfPoints);
  const int32_t script = ValueOr(format_.Script, 0);
  const bool scripted = script == 1 || script == 2;
  if (small && scripted) size = MulDiv(size, 5200, 10000);
  else if (small) size = MulDiv(size, 80, 100);
  else if (scripted) size = MulDiv(size, 65, 100);
  return std::max(1, size);
}

void LinePainter::SelectRunFont() {
  if (!fontDirty_ && font_ != nullptr) return;
  fontDirty_ = false;
  fontHalfPoints_ = RunHalfPoints(IsSet(format_.SmallCaps));
  font_ = &SelectFontAt(fontHalfPoints_);
}

int32_t LinePainter::RunBaseline() const {
  const int32_t raise = ValueOr(format_.VertOffset, 0) * 20;
  const int32_t rule = par_.Format.LineRule;
  const int32_t spacing = par_.Format.LineSpacing;
  if (rule == 0 && spacing < 0 && spacing != ParUnset16)
    return ZoomY(doc_, TwipsToScreenPixels(spaceAbove_ + PercentOf(-spacing, 80) - raise));
  const TLayoutSettings& s = LayoutLineFitter().Settings;
  int32_t baseline = MulDiv(TwipsToScreenPixelsZoomed(spaceAbove_ - raise, 1600) + line_.Ascent,
                            ZoomPercentOf(doc_), 1600);
  if (rule == 1 && spacing > 0 && spacing < 240)
    baseline -= MulDiv(ZoomY(doc_, LayoutToPixelsY(line_.SpacingAscent, s)), 240 - spacing, 240);
  return baseline;
}

int32_t LinePainter::RunTextTop() const {
  const int32_t a = font_->Metrics.Ascent;
  const int32_t h = font_->Metrics.Height;
  const int32_t d = font_->DescentLeading;
  const int32_t base = y_ + RunBaseline();
  const bool small = IsSet(format_.SmallCaps);
  switch (ValueOr(format_.Script, 0)) {
    case 1: {
      const int32_t full = small ? MulDiv(a, 100, 80) : a;
      const int32_t raised = MulDiv(full, 100, 65);
      return base - raised + (small ? full - a : 0);
    }
    case 2:
      return base + MulDiv(d, 100, 65) - h;
    default:
      return base - a;
  }
}

uint32_t LinePainter::RunTextColor() const {
  if (dimmed_) return kDimmedColour;
  const int32_t colour = ValueOr(format_.Color, AutoColor);
  if (colour != AutoColor && colour >= 0) return static_cast<uint32_t>(colour);
  if (background_ == kNoColour) return 0x000000;
  return PickContrastingColor(0x000000, background_);
}

std::u16string LinePainter::RunText() const {
  if (wideRun_) return runWide_;
  return font_->Font.DecodeBytes(runBytes_);
}

void LinePainter::DrawPiece(int32_t first, const std::u16string& text, int32_t dx, int32_t dy) {
  const int32_t start = runStart_ + first;
  const int32_t n = static_cast<int32_t>(text.size());
  std::vector<int32_t> advances;
  // Advances exist when every UTF-16 unit stands for one character of the line.
  if (unitsMatch_ && start + n <= count_) {
    advances.resize(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i)
      advances[static_cast<size_t>(i)] =
          textX_[static_cast<size_t>(start + i) + 1] - textX_[static_cast<size_t>(start + i)];
  }
  const int32_t x = textX_[static_cast<size_t>(std::min(start, count_))] + dx;
  const int32_t y = RunTextTop() + font_->Metrics.Ascent + dy;
  canvas_.ExtTextOut(x, y, 0, nullptr, std::u16string_view(text), advances);
  if (obs_ != nullptr) obs_->OnText(x, y, text, advances, canvas_.GetFont().Log().Height);
}

void LinePainter::DrawRunAt(int32_t dx, int32_t dy, uint32_t colour, const std::u16string& original) {
  canvas_.SetTextColor(colour);
  const bool small = IsSet(format_.SmallCaps);
  if (!small && !IsSet(format_.AllCaps)) {
    DrawPiece(0, original, dx, dy);
    return;
  }
  const int32_t language = ValueOr(format_.Language, ValueOr(DefaultCharFormat.Language, 1033));
  std::u16string upper = UpperCaseForLanguage(language, original);
  if (upper.size() != original.size()) {
    // A capital that is two letters (as for the sharp s) keeps its letter in place.
    upper = original;
    for (char16_t& c : upper) {
      const std::u16string one = UpperCaseForLanguage(language, std::u16string(1, c));
      if (one.size() == 1) c = one[0];
    }
  }
  if (!small || wideRun_ || static_cast<int32_t>(original.size()) != runLength_) {
    DrawPiece(0, upper, dx, dy);
    return;
  }
  // Small capitals: lower-case letters in the reduced font, the rest at full size.
  TSharedFont* reduced = font_;
  TSharedFont& full = SelectFontAt(RunHalfPoints(false));
  const int32_t n = static_cast<int32_t>(original.size());
  for (int32_t i = 0; i < n;) {
    const bool lower = plat::IsCharLower(original[static_cast<size_t>(i)]);
    int32_t j = i + 1;
    while (j < n && plat::IsCharLower(original[static_cast<size_t>(j)]) == lower) ++j;
    canvas_.SetFont(lower ? reduced->Font : full.Font);
    DrawPiece(i, upper.substr(static_cast<size_t>(i), static_cast<size_t>(j - i)), dx, dy);
    i = j;
  }
  canvas_.SetFont(reduced->Font);
}

void LinePainter::DrawStrike(uint32_t colour) {
  const bool strike = IsSet(format_.Strike);
  const bool twice = IsSet(format_.DoubleStrike);
  if (!strike && !twice) return;
  int32_t end = runStart_ + runLength_;
  // A shown paragraph mark closing the paragraph is not struck through.
  if (end == count_ && line_.FirstChar + end >= par_.CharCount() &&
      par_.CodeAt(line_.FirstChar + end - 1) == scParagraphEnd)
    --end;
  const int32_t left = textX_[static_cast<size_t>(runStart_)];
  const int32_t right = textX_[static_cast<size_t>(std::max(runStart_, end))];
  if (right <= left) return;
  if (colour == kWhite && (IsSet(format_.Emboss) || IsSet(format_.Engrave)))
    colour = background_ == kNoColour ? 0x000000 : PickContrastingColor(0x000000, background_);
  const int32_t a = font_->Metrics.Ascent;
  const int32_t top = RunTextTop() + a * (strike ? 70 : 60) / 100;
  const int32_t t = std::max(1, a * 7 / 100);
  plat::Rect bar{left, top, right, top + t};
  canvas_.FillRect(bar, colour);
  if (obs_ != nullptr) obs_->OnStrike(bar, colour);
  if (twice) {
    bar = bar.Offset(0, 2 * t);
    canvas_.FillRect(bar, colour);
    if (obs_ != nullptr) obs_->OnStrike(bar, colour);
  }
}

void LinePainter::Flush() {
  if (runLength_ <= 0) {
    runLength_ = 0;
    return;
  }
  SelectRunFont();
  const int32_t end = std::min(runStart_ + runLength_, count_);
  runLength_ = std::max(0, end - runStart_);
  if (ValueOr(format_.Underline, 0) != 0) RecordUnderline(runStart_, end);
  const uint32_t colour = RunTextColor();
  if (!decorationsOnly_ && runLength_ > 0) {
    const std::u16string text = RunText();
    unitsMatch_ = static_cast<int32_t>(text.size()) == runLength_;
    const int32_t total = font_->Metrics.Height;
    const int32_t outline = std::max(0, ValueOr(format_.Outline, 0));
    if (IsSet(format_.Shadow)) {
      const int32_t d = std::max(1, total * 4 / 100) + outline;
      DrawRunAt(d, d, kShadowColour, text);
    }
    if (outline > 0) {
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx)
          if (dx != 0 || dy != 0) DrawRunAt(dx, dy, colour, text);
      DrawRunAt(0, 0, kWhite, text);
    } else if (IsSet(format_.Emboss) || IsSet(format_.Engrave)) {
      const int32_t d = std::max(1, total * 2 / 100);
      DrawRunAt(0, 0, kReliefColour, text);
      const int32_t k = IsSet(format_.Emboss) ? -d : d;
      DrawRunAt(k, k, colour, text);
    } else {
      DrawRunAt(0, 0, colour, text);
    }
    canvas_.SetTextColor(colour);
  }
  if (runLength_ > 0) DrawStrike(colour);
  runStart_ += runLength_;
  runLength_ = 0;
  runBytes_.clear();
  runWide_.clear();
  wideRun_ = false;
}

void LinePainter::RecordUnderline(int32_t start, int32_t end) {
  // The paragraph mark of an underlined last line is never underlined.
  const bool lastLine = line_.FirstChar + count_ >= par_.CharCount();
  if (lastLine && end >= count_ && count_ > 0 &&
      par_.CodeAt(line_.FirstChar + count_ - 1) == scParagraphEnd)
    end = std::min(end, count_ - 1);
  if (end <= start) return;
  SelectRunFont();
  TUnderlineSegment s;
  s.Start = start;
  s.End = end;
  s.TextTop = RunTextTop();
  s.Ascent = static_cast<uint16_t>(std::clamp(font_->Metrics.Ascent, 0, 0xFFFF));
  s.Descent = static_cast<uint16_t>(std::clamp(font_->DescentLeading, 0, 0xFFFF));
  s.Format = format_;
  s.TextColor = RunTextColor();
  underlines_.push_back(s);
}

void LinePainter::DrawHyphen() {
  if (font_ == nullptr) SelectRunFont();
  const std::u16string hyphen = u"-";
  const int32_t w = canvas_.TextExtent(std::u16string_view(hyphen)).cx;
  const int32_t x = textX_.back() - w;
  const int32_t y = RunTextTop() + font_->Metrics.Ascent;
  canvas_.SetTextColor(RunTextColor());
  canvas_.TextOut(x, y, std::u16string_view(hyphen));
  if (obs_ != nullptr) obs_->OnText(x, y, hyphen, {}, canvas_.GetFont().Log().Height);
}

void LinePainter::DrawUnderline(const TUnderlineSegment& s, int32_t start, int32_t end,
                                int32_t style, int32_t dx, int32_t dy, uint32_t colour) {
  const TCharFormat& f = s.Format;
  const int32_t e = std::max(IsSet(f.Outline) ? 1 : 0,
                             std::max(IsSet(f.Shadow) ? s.Ascent * 4 / 100 : 0,
                                      IsSet(f.Emboss) || IsSet(f.Engrave) ? s.Ascent * 2 / 100 : 0));
  const int32_t left = textX_[static_cast<size_t>(start)] + dx;
  const int32_t right = textX_[static_cast<size_t>(end)] + dx;
  const bool preview = doc_ != nullptr && doc_->IsDocFlagSet(dfPreview);
  const int32_t phase = doc_ != nullptr ? doc_->View.ScrollPos.x : 0;
  const TUnderlineShape shape = UnderlineShape(style, s.Ascent, IsSet(f.Bold), left, right,
                                               s.TextTop + s.Ascent + dy + e, phase, !preview);
  DrawUnderlineShape(canvas_, shape, colour);
}

void LinePainter::PaintUnderlines() {
  if (underlines_.empty()) return;
  for (const TUnderlineSegment& s : MergeUnderlineSegments(underlines_)) {
    const int32_t style = ValueOr(s.Format.Underline, 0);
    const int32_t own = ValueOr(s.Format.UnderlineColor, AutoColor);
    const uint32_t colour = dimmed_ ? kDimmedColour
                            : (own == AutoColor || own < 0) ? s.TextColor
                                                            : static_cast<uint32_t>(own);
    std::vector<std::pair<int32_t, int32_t>> pieces;
    if (style == ulWordsOnly) {
      for (int32_t i = s.Start; i < s.End;) {
        auto skip = [&](int32_t k) {
          const uint8_t c = par_.CodeAt(line_.FirstChar + k);
          return c == ' ' || c < 12;
        };
        while (i < s.End && skip(i)) ++i;
        int32_t j = i;
        while (j < s.End && !skip(j)) ++j;
        if (j > i) pieces.emplace_back(i, j);
        i = j;
      }
    } else {
      pieces.emplace_back(s.Start, s.End);
    }
    const int32_t drawn = style == ulWordsOnly ? ulSingle : style;
    const int32_t h = s.Ascent + s.Descent;
    for (const auto& [from, to] : pieces) {
      if (IsSet(s.Format.Shadow)) {
        const int32_t d = std::max(1, h * 4 / 100) + std::max(0, ValueOr(s.Format.Outline, 0));
        DrawUnderline(s, from, to, drawn, d, d, kShadowColour);
      }
      if (IsSet(s.Format.Emboss) || IsSet(s.Format.Engrave)) {
        const int32_t d = std::max(1, h * 2 / 100);
        DrawUnderline(s, from, to, drawn, 0, 0, kReliefColour);
        const int32_t k = IsSet(s.Format.Emboss) ? -d : d;
        DrawUnderline(s, from, to, drawn, k, k, colour);
      } else {
        DrawUnderline(s, from, to, drawn, 0, 0, colour);
      }
      if (obs_ != nullptr) obs_->OnUnderline(from, to, drawn);
    }
  }
}

void LinePainter::PaintSpellingMarks() {
  const int32_t first = line_.FirstChar;
  const int32_t last = first + count_;
  const int32_t phase = doc_ != nullptr ? doc_->View.ScrollPos.x : 0;
  // Raised or lowered text moves the marks with it: their baseline is that of the mark's run.
  const bool raised = par_.HasFlag(pfVertOffset) && !line_.HasFlag(lfDropCap);
  const int32_t plain = raised ? 0 : SpellMarkBaseline(line_, spaceAbove_);
  for (const TSpellMark& m : par_.Spell.Marks) {
    if (static_cast<uint32_t>(m.Value) == SpellMarkHidden) continue;
    const int32_t a = std::max(m.Start, first);
    const int32_t b = std::min(m.End, last);
    if (a >= b) continue;
    int32_t baseline = plain;
    if (raised) {
      const TCharFormat saved = format_;
      par_.GetCharFormatAt(m.Start, format_);
      baseline = RunBaseline();
      format_ = saved;
    }
    const uint32_t colour = GetColorManager().AdjustColor(static_cast<uint32_t>(m.Value) & 0xFFFFFF,
                                                          background_);
    DrawSpellingWave(canvas_, textX_[static_cast<size_t>(a - first)],
                     textX_[static_cast<size_t>(b - first)], y_ + 2 + baseline, colour, phase);
  }
}

}  // namespace

int32_t LineHeightPixels(const TLine& line) {
  const TDoc* doc = DocOf(line);
  const int32_t h = doc != nullptr ? doc->TwipsToPixelsY(line.Height) : TwipsToScreenPixels(line.Height);
  return std::max(1, h);
}

int32_t LineTextX(TLine& line, int32_t n) {
  const int32_t inset = line.Box != nullptr ? line.Box->PixelMargins.left : 0;
  return inset + ZoomY(DocOf(line), GetLineCharX(line, n));
}

void PaintLine(TLine& line, plat::Canvas& canvas, int32_t x, int32_t y,
               TLinePaintObserver* observer) {
  if (line.Par == nullptr || line.Count <= 0 || line.FirstChar < 0 ||
      line.FirstChar >= line.Par->CharCount())
    return;
  const int32_t width = line.Box != nullptr ? line.Box->PixelRect.Width() : canvas.DeviceSize().cx;
  const plat::Rect area{x - 5, y - 5, x + width + 10, y + LineHeightPixels(line) + 10};
  if (!canvas.RectVisible(area)) return;
  line.Flags |= lfPainting;
  LinePainter(line, canvas, x, y, observer).Paint();
  line.Flags &= ~lfPainting;
}

}  // namespace qv
