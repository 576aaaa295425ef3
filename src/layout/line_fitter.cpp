#include "layout/line_fitter.h"

#include <algorithm>
#include <climits>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/tab_stops.h"
#include "document/content_stream.h"
#include "foundation/text/code_pages.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/base/string_utils.h"
#include "platform/system/text_services.h"
#include "layout/box_pool.h"
#include "layout/hyphenation_service.h"
#include "layout/inline_shape_service.h"
#include "layout/note_layout.h"

namespace qv {

// Everything one FitLine call keeps while it walks the stream.
struct TLayoutLineFitter::Opportunity {
  bool valid = false;
  int32_t count = 0;      // characters in the line up to the opportunity
  int32_t bytes = 0;      // stream bytes up to the opportunity
  int32_t ascent = 0, spacing = 0, descent = 0;
  bool formatSaved = false;  // the format changed after the opportunity; `format` holds it
  TCharFormat format;
  bool symbolOverride = false;
  int32_t overriddenFont = 0;
  TField* footnote = nullptr;
  TField* endnote = nullptr;
  bool hyphenPoint = false;
  int32_t hyphenWidth = 0;
};

struct TLayoutLineFitter::Walk {
  int32_t bytes = 0;  // stream bytes walked from the line's start
  int32_t count = 0;
  int32_t ascent = 0, spacing = 0, descent = 0;
  int32_t lastSpaceAscent = 0, lastSpaceDescent = 0;
  bool spaceOverflow = false;
  bool forced = false;
  Opportunity opp;
  PendingTab tab;
  bool hyphenMode = false;
  std::vector<int32_t> hyphenAfter;  // absolute character indexes a hyphen may follow
  bool triedHyphenation = false;
  int32_t previousByte = -1;  // for kerning
  bool blocked = false;  // an exclusion rectangle stands in the way (wrap context)
  bool dropCap = false;      // the drop-cap line: heights from the glyphs' ink
  bool measureOnly = false;  // measure the whole span, never break
  const TStreamCursor* cursor = nullptr;
  const uint8_t* data = nullptr;  // the line's bytes: from the cursor's offset
  int32_t left = 0;               // bytes the cursor offers
  uint8_t* stream = nullptr;  // the line's bytes in the paragraph, for the tab tags' stop kinds
  int32_t availLayout = 0;
};

namespace {

// What fitting writes into lines and measures with.
constexpr uint8_t kParagraphMarkGlyph = 0xB6;  // measured for a paragraph end
constexpr uint8_t kCellMarkGlyph = 0xA4;       // measured for a cell or row end
constexpr uint8_t kEmDashByte = 0x97;          // an em dash measures as this byte
constexpr uint8_t kEnDashByte = 0x96;          // an en dash measures as this byte
constexpr int32_t kEnSpacePercent = 50;        // of the em size
constexpr int32_t kQuarterEmSpacePercent = 25;
constexpr int32_t kLineBreakPixels = 11;   // the width of a line break
constexpr int32_t kMinBreakPixels = 150;   // the least width of a section, column or page break
constexpr int kAlignCenter = 1;            // paragraph alignments
constexpr int kAlignRight = 2;
// The painter finds a tab stop's kind and leader in the tab tag's second value byte, as
// kind + kTabLeaderFactor * leader.
constexpr int32_t kTabStopKindByte = 3;
constexpr int kTabLeaderFactor = 16;
constexpr int32_t kRuleExtraHeight = 100;  // twips a horizontal rule takes beyond its own height
constexpr int32_t kDropCapInkPercent = 105;  // a drop cap's heights: its ink and a little more
constexpr size_t kInitialPositions = 64;     // positions a line reserves before fitting
// No character is wider than about 10,000 inches, so that positions cannot overflow.
constexpr int32_t kMaxAdvance = 1 << 24;
// Fonts.
constexpr int32_t kDefaultHalfPoints = 24;
constexpr int32_t kMaxHalfPoints = 3276;   // 1638 points, the largest size there is
constexpr int32_t kScriptSizePercent = 65;  // superscript and subscript
constexpr int32_t kSmallCapsPercent = 80;   // small capitals of the full size
constexpr int32_t kDefaultLanguage = 1033;
constexpr int32_t kMaxLetterSpacing = 31680;   // twips: 22 inches
constexpr int32_t kMaxVertOffsetPoints = 1584;  // raise or lower: the largest font size
constexpr int32_t kTwipsPerPoint = 20;
constexpr size_t kMaxWideWidthTables = 64;   // fonts measured through UTF-16 kept at once
constexpr size_t kMaxCaseTables = 16;        // language and code-page case tables kept at once

// Code pages: single-byte sets below the first Windows code page, and the symbol set, are
// measured as Western text.
constexpr int32_t kFirstWindowsCodePage = 1250;
constexpr int32_t kWesternCodePage = 1252;

bool IsDoubleByteCodePage(int32_t cp) { return cp == 932 || cp == 936 || cp == 949 || cp == 950; }

bool IsBreakAfter(uint8_t code) {
  switch (code) {
    case scTab: case scEmDash: case scEnDash: case scOptionalHyphen: case scEnSpace:
    case scEmSpace: case scQuarterEmSpace: case ' ': case '-':
      return true;
    default:
      return false;
  }
}

bool IsSpaceLike(uint8_t code) {
  return code == ' ' || code == scEnSpace || code == scEmSpace || code == scQuarterEmSpace;
}

bool IsBlank(uint8_t code) { return IsSpaceLike(code) || code == scTab || code == scNonBreakingSpace; }

int32_t ValueOr(int32_t v, int32_t fallback) { return v == CharUnset ? fallback : v; }

uint16_t Clamp16(int32_t v) { return static_cast<uint16_t>(std::clamp(v, 0, 65535)); }

bool IsLowerByte(uint8_t b) {
  return (b >= 'a' && b <= 'z') || (b >= 0xDF && b != 0xF7) || b == 0x9A || b == 0x9C ||
         b == 0x9E;
}

// The first quoted word after "\f" in a SYMBOL instruction; empty when none.
std::u16string SymbolFontName(const std::u16string& instruction) {
  const size_t at = instruction.find(u"\\f");
  if (at == std::u16string::npos) return {};
  size_t i = at + 2;
  while (i < instruction.size() && instruction[i] == u' ') ++i;
  if (i < instruction.size() && instruction[i] == u'"') {
    const size_t end = instruction.find(u'"', i + 1);
    return instruction.substr(i + 1, end == std::u16string::npos ? std::u16string::npos : end - i - 1);
  }
  size_t end = i;
  while (end < instruction.size() && instruction[end] != u' ' && instruction[end] != u'\\') ++end;
  return instruction.substr(i, end - i);
}

}  // namespace

int32_t LineWidthTwips(const TLine& line) {
  return std::clamp(line.AvailWidth, -MaxLineWidthTwips, MaxLineWidthTwips);
}

int32_t MeasuringCodePage(int32_t charset) {
  const int32_t cp = static_cast<int32_t>(CharsetToCodePage(charset));
  if (charset == SYMBOL_CHARSET || (cp < kFirstWindowsCodePage && !IsDoubleByteCodePage(cp)))
    return kWesternCodePage;
  return cp;
}

// --- Fonts ---

void TLayoutLineFitter::SelectCurrentFont() {
  fontDirty_ = false;
  TFontManager* fm = FontManager();
  if (fm == nullptr) fm = &CreateFontManager();
  TFontKey key = FontKeyOf(format_);
  key.Font = ValueOr(key.Font, ValueOr(DefaultCharFormat.Font, 0));
  key.Bold = ValueOr(key.Bold, 0);
  key.Italic = ValueOr(key.Italic, 0);
  key.Strike = ValueOr(key.Strike, 0);
  key.DoubleStrike = ValueOr(key.DoubleStrike, 0);
  key.Underline = ValueOr(key.Underline, 0);
  key.Scale = ValueOr(key.Scale, 100);
  if (key.Scale <= 0) key.Scale = 100;
  int32_t halfPoints = ValueOr(format_.Size, ValueOr(DefaultCharFormat.Size, kDefaultHalfPoints));
  if (halfPoints <= 0) halfPoints = kDefaultHalfPoints;
  halfPoints = std::min(halfPoints, kMaxHalfPoints);
  // Superscript and subscript are set smaller (and their small capitals smaller again).
  const int32_t script = ValueOr(format_.Script, 0);
  if (script == 1 || script == 2)
    halfPoints = std::max(1, MulDiv(halfPoints, kScriptSizePercent, 100));
  const int32_t height = std::max(1, HalfPointsToLayoutHeight(halfPoints, Settings));
  key.Size = -height;
  font_ = &fm->SelectFont(key, key.Size, false, false, nullptr);
  smallFont_ = font_;
  if (ValueOr(format_.SmallCaps, 0) > 0) {
    TFontKey small = key;
    small.Size = -std::max(1, height * kSmallCapsPercent / 100);
    smallFont_ = &fm->SelectFont(small, small.Size, false, false, nullptr);
    font_ = &fm->SelectFont(key, key.Size, false, false, nullptr);
  }
  widths_ = WidthTableOf(*font_);
  smallWidths_ = smallFont_ == font_ ? widths_ : WidthTableOf(*smallFont_);
  caseTable_ = nullptr;
  if (ValueOr(format_.AllCaps, 0) > 0 || ValueOr(format_.SmallCaps, 0) > 0) {
    const int32_t language = ValueOr(format_.Language, ValueOr(DefaultCharFormat.Language, kDefaultLanguage));
    caseTable_ = &CaseTableFor(language, font_->Font.CodePage());
  }
  ascent_ = font_->Metrics.Ascent;
  descent_ = font_->DescentLeading;
  // A raised character's top stands where the full-size text's top would; a lowered one's
  // bottom where the full-size text's bottom would.
  const int32_t total = font_->Metrics.Height;
  if (script == 1) {
    ascent_ = MulDiv(font_->Metrics.Ascent, 100, kScriptSizePercent);
    descent_ = std::max(0, total - ascent_);
  } else if (script == 2) {
    descent_ = MulDiv(font_->DescentLeading, 100, kScriptSizePercent);
    ascent_ = std::max(0, total - descent_);
  }
  em_ = font_->Metrics.Height - font_->Metrics.InternalLeading;
  kerning_ = nullptr;
  const int32_t threshold = ValueOr(format_.Kerning, 0);
  if (threshold >= 1 && halfPoints >= threshold) kerning_ = &fm->SelectKerningPairs(key, key.Size);
}

int32_t TLayoutLineFitter::CharWidth(uint8_t byte) {
  if (fontDirty_) SelectCurrentFont();
  return widths_[byte];
}

const int32_t* TLayoutLineFitter::WidthTableOf(const TSharedFont& font) {
  const TFontManager* fm = FontManager();
  if (fm == nullptr || !fm->IsValidFont(font.Key.Font)) return font.Widths.data();
  const TRegFont& reg = fm->RegFonts[static_cast<size_t>(font.Key.Font)];
  int32_t kind = reg.Charset;
  if (reg.Installed && reg.FamilyIndex >= 0 &&
      reg.FamilyIndex < static_cast<int32_t>(fm->Families.size()))
    kind = fm->Families[static_cast<size_t>(reg.FamilyIndex)].Charset;
  const bool systemDoubleByte = IsDoubleByteCodePage(static_cast<int32_t>(DefaultCodePage));
  const int32_t charset = reg.CreateCharset;
  const bool wide = (kind != ANSI_CHARSET && kind != SYMBOL_CHARSET) ||
                    (kind == ANSI_CHARSET && systemDoubleByte) || charset == SHIFTJIS_CHARSET ||
                    charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET;
  if (!wide) return font.Widths.data();
  for (auto it = wideWidths_.begin(); it != wideWidths_.end(); ++it) {
    if ((*it)->Font != &font || !((*it)->Key == font.Key)) continue;
    // The most recently used table goes last, so that trimming the oldest never drops the
    // table of the other font in use.
    std::rotate(it, it + 1, wideWidths_.end());
    return wideWidths_.back()->Widths.data();
  }
  // Each byte is measured as the character it stands for in the font's code page; a byte that
  // is no character on its own (a lead byte) takes no room.
  auto entry = std::make_unique<WideWidths>();
  entry->Font = &font;
  entry->Key = font.Key;
  const uint32_t codePage = static_cast<uint32_t>(MeasuringCodePage(charset));
  for (int b = 1; b < 256; ++b) {
    const std::u16string wide16 = CodePageToWide(std::string(1, static_cast<char>(b)), codePage);
    entry->Widths[static_cast<size_t>(b)] =
        wide16.empty() || wide16[0] == 0xFFFD ? 0 : font.Font.CharAdvance(wide16[0]);
  }
  if (wideWidths_.size() >= kMaxWideWidthTables) wideWidths_.erase(wideWidths_.begin());
  wideWidths_.push_back(std::move(entry));
  return wideWidths_.back()->Widths.data();
}

const TLayoutLineFitter::CaseTable& TLayoutLineFitter::CaseTableFor(int32_t language,
                                                                    int32_t codePage) {
  for (const auto& t : caseTables_)
    if (t->Language == language && t->CodePage == codePage) return *t;
  auto table = std::make_unique<CaseTable>();
  table->Language = language;
  table->CodePage = codePage;
  const uint32_t cp = static_cast<uint32_t>(MeasuringCodePage(CodePageToCharset(
      static_cast<uint32_t>(codePage))));
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<uint8_t>(b);
    table->Upper[byte] = byte;
    if (b == 0) continue;
    const std::u16string ch = CodePageToWide(std::string(1, static_cast<char>(b)), cp);
    if (ch.size() != 1 || ch[0] == 0xFFFD) continue;
    table->Lower[byte] = plat::IsCharLower(ch[0]);
    const std::u16string upper = UpperCaseForLanguage(language, ch);
    if (upper.size() != 1 || upper == ch) continue;
    const std::string back = WideToCodePage(upper, cp);
    // Only a capital that the code page has replaces the byte.
    if (back.size() == 1 && CodePageToWide(back, cp) == upper)
      table->Upper[byte] = static_cast<uint8_t>(back[0]);
  }
  if (caseTables_.size() >= kMaxCaseTables) caseTables_.erase(caseTables_.begin());
  caseTables_.push_back(std::move(table));
  return *caseTables_.back();
}

int32_t TLayoutLineFitter::LetterSpacing() const {
  // Twips between characters; a damaged value is kept within 22 inches either way.
  return TwipsToLayoutX(std::clamp(ValueOr(format_.Spacing, 0), -kMaxLetterSpacing, kMaxLetterSpacing),
                        Settings);
}

int32_t TLayoutLineFitter::HyphenWidth() { return CharWidth('-'); }

int32_t TLayoutLineFitter::Kerning(uint8_t previous, uint8_t current) {
  return kerning_ != nullptr ? kerning_->GetKerning(previous, current) : 0;
}

// --- Paragraph and line set-up ---

void TLayoutLineFitter::BeginParagraph(TPar& par, const TCharFormat& format) {
  par_ = &par;
  if (par.Doc != nullptr) {
    // The document's own view and hyphenation settings govern its paragraphs.
    const TDoc& doc = *par.Doc;
    Settings.ViewMode = doc.ViewMode;
    Settings.DefaultTabWidth = doc.DefaultTabStop;
    Settings.AutoHyphenate = doc.AutoHyphenation != 0;
    Settings.HyphenateCaps = doc.HyphenateCaps != 0;
    Settings.HyphenationZone = doc.HyphenationZone;
  }
  format_ = format;
  fontDirty_ = true;
  symbolOverride_ = false;
  GetTabManager().BuildParTabs(par.Format, Settings.DefaultTabWidth);
}

int32_t TLayoutLineFitter::LineIndentTwips(const TPar& par, int32_t charIndex) {
  return par.GetLineIndentTwips(charIndex, Settings.IsDraftView());
}

bool TLayoutLineFitter::IsLastParOfStory(const TPar& par) const {
  if (IsLastOfStory != nullptr) return IsLastOfStory(par);
  if (par.Doc == nullptr) return false;
  return par.Doc->LastParagraphOfStory(par.Doc->StoryOfParagraph(par.Index)) == par.Index;
}

// --- The walk ---

void TLayoutLineFitter::FitLine(TLine& line, TStreamCursor& cursor, TWrapContext* wrap) {
  if (par_ != line.Par && line.Par != nullptr) BeginParagraph(*line.Par, format_);
  const TCharFormat startFormat = format_;
  const bool startOverride = symbolOverride_;
  const int32_t startOverridden = overriddenFont_;
  Walk w;
  for (int round = 0; round < 2; ++round) {
    if (!WalkLine(line, cursor, wrap, w)) break;
    // Hyphenation found points in the word at the break: walk the line again from its start
    // with those points as break opportunities.
    format_ = startFormat;
    symbolOverride_ = startOverride;
    overriddenFont_ = startOverridden;
    fontDirty_ = true;
    std::vector<int32_t> points = std::move(w.hyphenAfter);
    w = Walk{};
    w.hyphenMode = true;
    w.triedHyphenation = true;
    w.hyphenAfter = std::move(points);
  }
  if (wrap != nullptr && line.Count == 0 && line.StreamLength < cursor.Left) {
    // A segment that holds no character takes nothing, not even the format tags before the
    // character that did not fit: the next segment starts with the same format.
    line.StreamLength = 0;
    format_ = startFormat;
    symbolOverride_ = startOverride;
    overriddenFont_ = startOverridden;
    fontDirty_ = true;
  }
  if (wrap != nullptr && !w.blocked) wrap->NextFreeX = wrap->RightLimit;
  cursor.Offset += line.StreamLength;
  cursor.Left -= line.StreamLength;
}

// Walks the line once, one character or tag at a time. True when the walk must be repeated in
// hyphenation mode.
bool TLayoutLineFitter::WalkLine(TLine& line, const TStreamCursor& cursor, TWrapContext* wrap,
                                 Walk& w) {
  StartLine(line, cursor, wrap, w);
  const int32_t stopIndex = line.Par->LayoutValues.StopIndex;
  while (w.bytes < w.left) {
    const int32_t at = w.bytes;
    if (stopIndex >= 0 && line.FirstChar + w.count >= stopIndex && w.count > 0) {
      EndLine(line, w, at);  // the flow range ends inside the paragraph
      return false;
    }
    const Step step = w.data[at] != 0 || !IsTagAt(w.data, w.left, at)
                          ? TextChar(line, w, wrap, at)
                          : Tag(line, w, wrap, ReadTagAt(w.data, at), at);
    if (step != Step::Next) return step == Step::Rehyphenate;
  }
  EndOfStream(line, w, wrap);
  return false;
}

// Resets the line and sets its start x, its starting heights and the walk's view of the stream.
void TLayoutLineFitter::StartLine(TLine& line, const TStreamCursor& cursor, TWrapContext* wrap,
                                  Walk& w) {
  TPar& par = *line.Par;
  line.Count = 0;
  line.StreamLength = 0;
  line.FootnoteRef = line.EndnoteRef = nullptr;
  line.Flags &= ~(lfHyphenated | lfScaledPicture | lfHorizontalRule | lfSectionBreak |
                  lfHighlight | lfPageBreakEnds | lfStopEnds);
  line.Positions.clear();
  if (line.Positions.capacity() < kInitialPositions) line.Positions.reserve(kInitialPositions);
  w.dropCap = line.HasFlag(lfDropCap);
  w.measureOnly = Settings.MeasureOnly || w.dropCap;
  const bool continuation = wrap != nullptr && line.HasFlag(lfSegment) && !line.HasFlag(lfBandFirst);
  line.Positions.push_back(w.dropCap ? 0 : LineStartX(line, wrap, continuation));
  if (continuation && par.Lines.size() >= 2) {
    const TLine& prev = *par.Lines[par.Lines.size() - 2];
    w.ascent = prev.Ascent;
    w.spacing = prev.SpacingAscent;
    w.descent = prev.Descent;
  }
  // The drop-cap line before this one was measured in the drop cap's font.
  if (line.LineIndex == 1 && !par.Lines.empty() && par.Lines.front()->HasFlag(lfDropCap))
    fontDirty_ = true;
  w.availLayout = TwipsToLayoutX(LineWidthTwips(line), Settings);
  const int32_t highlight = ValueOr(format_.Highlight, AutoColor);
  if (highlight != AutoColor) line.Flags |= lfHighlight;
  w.cursor = &cursor;
  w.data = cursor.Data + cursor.Offset;
  w.left = cursor.Left;
  if (cursor.Data == par.Content.Data) w.stream = par.Content.Data + cursor.Offset;
}

// The x of a line's start: the line's indent, for a segment beside shapes the left edge of its
// band rectangle (the larger of the two for a band's first segment), plus the width of the list
// label on the line that starts the paragraph.
int32_t TLayoutLineFitter::LineStartX(const TLine& line, const TWrapContext* wrap,
                                      bool continuation) {
  const TPar& par = *line.Par;
  int32_t startX = 0;
  if (wrap != nullptr && !wrap->BandRects.empty()) {
    startX = TwipsToLayoutX(wrap->BandRects.back().left, Settings);
    if (!continuation) {
      startX = std::max(startX, TwipsToLayoutX(LineIndentTwips(par, line.FirstChar), Settings));
    }
  } else {
    startX = TwipsToLayoutX(LineIndentTwips(par, line.FirstChar), Settings);
  }
  if (!continuation && par.NumberPar && !par.NumberPar->Lines.empty() &&
      par.OnlyBreaksBefore(line.FirstChar)) {
    const uint8_t first = line.FirstChar < par.CharCount() ? par.CodeAt(line.FirstChar) : 0;
    if (first != scColumnBreak && first != scPageBreak) startX += LabelWidth(par);
  }
  return startX;
}

// The stream is exhausted: the line takes the rest of it.
void TLayoutLineFitter::EndOfStream(TLine& line, Walk& w, TWrapContext* wrap) {
  ResolvePendingTab(line, w);
  if (EndsWithOptionalHyphen(line, w.count)) line.Positions.back() += HyphenWidth();
  EndLine(line, w, w.left);
  if (wrap != nullptr && w.count > 0 && !FinalBandCheck(line, w, *wrap)) {
    // With its final height the segment runs into a shape: the breaker starts the content
    // again where the context now points.
    line.StreamLength = 0;
    line.Count = 0;
    line.Positions.resize(1);
  }
}

TLayoutLineFitter::Step TLayoutLineFitter::Tag(TLine& line, Walk& w, TWrapContext* wrap,
                                               const TContentTag& tag, int32_t at) {
  if (IsFormatTagKind(tag.Kind)) return FormatTag(line, w, tag);
  switch (tag.Kind) {
    case ctFieldStart: return FieldStartTag(w, tag);
    case ctFieldEnd:
      ApplyFieldEnd(line, tag.Value);
      w.bytes += ContentTagSize;
      return Step::Next;
    case ctWideChar: return WideCharTag(line, w, wrap, tag, at);
    case ctInlineShape: return InlineShapeTag(line, w, wrap, tag, at);
    case ctSpecialChar: case ctSectionBreak: case ctCellEnd: case ctRowEnd:
      return SpecialCharTag(line, w, wrap, tag, at);
    default:  // unknown kinds take no room
      w.bytes += ContentTagSize;
      return Step::Next;
  }
}

// A format at the last break opportunity is kept before the first change after it, so that a
// break there can restore it.
void TLayoutLineFitter::SaveFormatAtOpportunity(Walk& w) const {
  if (w.opp.valid && !w.opp.formatSaved) {
    w.opp.format = format_;
    w.opp.formatSaved = true;
  }
}

TLayoutLineFitter::Step TLayoutLineFitter::TextChar(TLine& line, Walk& w, TWrapContext* wrap,
                                                    int32_t at) {
  uint8_t byte = w.data[at];
  if (fontDirty_) SelectCurrentFont();
  if (symbolOverride_) {
    format_.Font = overriddenFont_;
    symbolOverride_ = false;
    SelectCurrentFont();
  }
  const int32_t* table = widths_;
  if (caseTable_ != nullptr) {
    if (caseTable_->Lower[byte] && smallFont_ != font_) table = smallWidths_;
    byte = caseTable_->Upper[byte];
  }
  const int32_t width = table[byte] + LetterSpacing();
  int32_t kern = 0;
  if (w.count > 0 && w.previousByte >= 0) kern = Kerning(static_cast<uint8_t>(w.previousByte), byte);
  int32_t ascent = ascent_, descent = descent_;
  if (w.dropCap) DropCapGlyphHeights(font_->Font.DecodeBytes(std::string(1, static_cast<char>(byte))), ascent, descent);
  const AddResult r = AddChar(line, w, wrap, byte, width, ascent, descent, false, kern);
  if (r != AddResult::Accepted) return BreakFor(line, w, r, at);
  w.previousByte = byte;
  return Step::Next;
}

TLayoutLineFitter::Step TLayoutLineFitter::FormatTag(TLine& line, Walk& w, const TContentTag& tag) {
  SaveFormatAtOpportunity(w);
  if (symbolOverride_ && tag.Kind == ctFont) {
    overriddenFont_ = tag.Value;  // the SYMBOL field's font stays until the field's text ends
  } else {
    format_[tag.Kind] = tag.Value;
    if (tag.Kind != cpColor) fontDirty_ = true;
  }
  if (tag.Kind == cpHighlight && tag.Value != AutoColor && tag.Value != CharUnset)
    line.Flags |= lfHighlight;
  w.bytes += ContentTagSize;
  return Step::Next;
}

TLayoutLineFitter::Step TLayoutLineFitter::FieldStartTag(Walk& w, const TContentTag& tag) {
  SaveFormatAtOpportunity(w);
  ApplyFieldStart(tag.Value);
  w.bytes += ContentTagSize;
  return Step::Next;
}

TLayoutLineFitter::Step TLayoutLineFitter::WideCharTag(TLine& line, Walk& w, TWrapContext* wrap,
                                                       const TContentTag& tag, int32_t at) {
  if (fontDirty_) SelectCurrentFont();
  const char16_t unit = static_cast<char16_t>(tag.Value & 0xFFFF);
  const int32_t width = font_->Font.CharAdvance(unit) + LetterSpacing();
  int32_t ascent = ascent_, descent = descent_;
  if (w.dropCap) DropCapGlyphHeights(std::u16string(1, unit), ascent, descent);
  const AddResult r = AddChar(line, w, wrap, scWideChar, width, ascent, descent, true);
  if (r != AddResult::Accepted) return BreakFor(line, w, r, at);
  w.previousByte = -1;
  return Step::Next;
}

// The size of an inline shape in the line, and whether it is a horizontal rule or a picture
// scaled to fit the text area.
TInlineShapeInfo TLayoutLineFitter::PlaceInlineShape(TLine& line, int32_t shapeRef,
                                                     int32_t& width, int32_t& height) {
  const int32_t availAfterStart = LineWidthTwips(line) - LayoutXToTwips(line.StartX(), Settings);
  TInlineShapeInfo info = InlineShapeService().Describe(shapeRef, availAfterStart);
  int32_t scaleX = info.ScaleX, scaleY = info.ScaleY;
  if (info.HorizontalRule) {
    info.Width = std::clamp(info.Width, 0, std::max(0, availAfterStart));
    scaleX = scaleY = 100;
  } else if (info.FitToTextArea && info.Width > 0) {
    scaleX = scaleY = std::max(0, static_cast<int32_t>(static_cast<int64_t>(availAfterStart) * 100 /
                                                       info.Width));
    InlineShapeService().StoreFitScale(shapeRef, scaleX);
    line.Flags |= lfScaledPicture;
  }
  width = TwipsToLayoutX(MulDiv(info.Width, scaleX, 100), Settings);
  const int64_t rise = static_cast<int64_t>(info.Height) + (info.HorizontalRule ? kRuleExtraHeight : 0);
  height = TwipsToLayoutX(MulDiv(rise, scaleY, 100), Settings);
  return info;
}

TLayoutLineFitter::Step TLayoutLineFitter::InlineShapeTag(TLine& line, Walk& w, TWrapContext* wrap,
                                                          const TContentTag& tag, int32_t at) {
  SaveFormatAtOpportunity(w);
  int32_t width = 0, height = 0;
  const TInlineShapeInfo info = PlaceInlineShape(line, tag.Value, width, height);
  // A horizontal rule and a picture fitted to the text area start a line of their own.
  if ((info.HorizontalRule || info.FitToTextArea) && w.count > 0) {
    EndLine(line, w, at);
    return Step::Ended;
  }
  const AddResult r = AddChar(line, w, wrap, scInlineShape, width, height, 0, true);
  if (r != AddResult::Accepted) {
    if (r == AddResult::BreakBefore) EndLine(line, w, at);
    else BreakAt(line, w);
    return Step::Ended;
  }
  w.previousByte = -1;
  if (!info.HorizontalRule) return Step::Next;
  // The rule is the whole line.
  line.Flags |= lfHorizontalRule;
  w.ascent = w.spacing = height;
  w.descent = 0;
  EndLine(line, w, w.bytes);
  return Step::Ended;
}

TLayoutLineFitter::Step TLayoutLineFitter::SpecialCharTag(TLine& line, Walk& w,
                                                          TWrapContext* wrap,
                                                          const TContentTag& tag, int32_t at) {
  const uint8_t code = CharCodeOfTag(tag.Kind, tag.Value);
  if (tag.Kind == ctSectionBreak) line.Flags |= lfSectionBreak;
  switch (code) {
    case scParagraphEnd: case scCellEnd: case scRowEnd:
      return MarkChar(line, w, code);
    case scSectionEnd: case scColumnBreak: case scLineBreak: case scPageBreak:
      return BreakChar(line, w, code, at);
    case scTab:
      return TabChar(line, w, wrap, at);
    default:
      return SubstituteChar(line, w, wrap, code, at);
  }
}

// The paragraph, cell and row ends measure as their mark glyphs and never break the line.
TLayoutLineFitter::Step TLayoutLineFitter::MarkChar(TLine& line, Walk& w, uint8_t code) {
  ResolvePendingTab(line, w);
  const int32_t width = CharWidth(code == scParagraphEnd ? kParagraphMarkGlyph : kCellMarkGlyph);
  line.Positions.push_back(line.Positions.back() + width);
  if (w.count == 0 || (w.ascent == 0 && w.descent == 0)) {
    w.ascent = std::max(w.ascent, ascent_);
    w.spacing = std::max(w.spacing, ascent_);
    w.descent = std::max(w.descent, descent_);
  }
  ++w.count;
  w.bytes += ContentTagSize;
  return Step::Next;
}

// Section, column, line and page breaks end the line, the break itself on it (in the draft
// views a section, column or page break after characters starts the next line instead). A page
// break right before the end of a paragraph that is not its story's last does not end the
// line: the page ends after it.
TLayoutLineFitter::Step TLayoutLineFitter::BreakChar(TLine& line, Walk& w, uint8_t code,
                                                     int32_t at) {
  ResolvePendingTab(line, w);
  const TPar& par = *line.Par;
  const bool draft = Settings.IsDraftView();
  const int32_t index = line.FirstChar + w.count;
  const bool pageBreakAtEnd = code == scPageBreak && !draft && index == par.CharCount() - 2 &&
                              !IsLastParOfStory(par);
  if (code != scLineBreak && draft && w.count > 0) {
    EndLine(line, w, at);
    return Step::Ended;
  }
  if (pageBreakAtEnd) line.Flags |= lfPageBreakEnds;
  const int32_t width = pageBreakAtEnd ? PixelsToLayoutX(kMinBreakPixels, Settings)
                                       : BreakCharWidth(line, code, w.count == 0);
  line.Positions.push_back(line.Positions.back() + width);
  w.ascent = std::max(w.ascent, ascent_);
  w.spacing = std::max(w.spacing, ascent_);
  w.descent = std::max(w.descent, descent_);
  ++w.count;
  w.bytes += ContentTagSize;
  if (pageBreakAtEnd) return Step::Next;
  // Field ends right after the break belong to this line.
  while (w.bytes < w.left && IsTagAt(w.data, w.left, w.bytes) &&
         ReadTagAt(w.data, w.bytes).Kind == ctFieldEnd) {
    ApplyFieldEnd(line, ReadTagAt(w.data, w.bytes).Value);
    w.bytes += ContentTagSize;
  }
  EndLine(line, w, w.bytes);
  return Step::Ended;
}

// The remaining special characters measure as their substitutes.
TLayoutLineFitter::Step TLayoutLineFitter::SubstituteChar(TLine& line, Walk& w,
                                                          TWrapContext* wrap, uint8_t code,
                                                          int32_t at) {
  if (fontDirty_) SelectCurrentFont();
  int32_t width = 0;
  switch (code) {
    case scNonBreakingSpace: width = CharWidth(' '); break;
    case scNonBreakingHyphen: case scOptionalHyphen: width = CharWidth('-'); break;
    case scEmDash: width = CharWidth(kEmDashByte); break;
    case scEnDash: width = CharWidth(kEnDashByte); break;
    case scEnSpace: width = MulDiv(em_, kEnSpacePercent, 100); break;
    case scEmSpace: width = em_; break;
    case scQuarterEmSpace: width = MulDiv(em_, kQuarterEmSpacePercent, 100); break;
    case scAutoNoteMark: width = NoteMarkWidth(*line.Par, *w.cursor, at); break;
    default: width = 0; break;
  }
  width += LetterSpacing();
  const AddResult r = AddChar(line, w, wrap, code, width, ascent_, descent_, true);
  if (r != AddResult::Accepted) return BreakFor(line, w, r, at);
  w.previousByte = -1;
  return Step::Next;
}

// A drop cap's characters are as tall as their ink (and a little more), not as their font.
void TLayoutLineFitter::DropCapGlyphHeights(const std::u16string& text, int32_t& ascent,
                                            int32_t& descent) const {
  if (text.empty()) return;
  const plat::GlyphMetrics g = font_->Font.GetGlyphMetrics(text[0]);
  ascent = std::max(0, g.GlyphOrigin.y) * kDropCapInkPercent / 100;
  descent = std::max(0, g.BlackBoxY - g.GlyphOrigin.y) * kDropCapInkPercent / 100;
}

bool TLayoutLineFitter::FinalBandCheck(const TLine& line, Walk& w, TWrapContext& wrap) {
  if (wrap.BandRects.empty()) return true;
  const int32_t x = LayoutXToTwips(line.StartX(), Settings);
  const int32_t height = LayoutYToTwips(line.Ascent + line.Descent, Settings);
  const plat::Rect probe{x, wrap.BandTop, x + 1, wrap.BandTop + std::max(height, wrap.BandHeight)};
  for (const plat::Rect& r : wrap.Exclusions)
    if (probe.left < r.right && r.left < probe.right && probe.top < r.bottom && r.top < probe.bottom) {
      w.blocked = true;
      wrap.NextFreeX = r.right;
      return false;
    }
  return true;
}

// --- Adding characters and breaking ---

// Ends the line for a character that did not fit, unless hyphenating the word at the break
// gives opportunities, which a new walk then uses.
TLayoutLineFitter::Step TLayoutLineFitter::BreakFor(TLine& line, Walk& w, AddResult r, int32_t at) {
  if (!w.triedHyphenation) {
    w.triedHyphenation = true;
    if (TryHyphenation(line, w, line.FirstChar + w.count)) return Step::Rehyphenate;
  }
  if (r == AddResult::BreakBefore) EndLine(line, w, at);
  else BreakAt(line, w);
  return Step::Ended;
}

bool TLayoutLineFitter::Fits(const TLine& line, Walk& w, TWrapContext* wrap, int32_t right,
                             int32_t ascent, int32_t descent) {
  const int32_t rightTwips = LayoutXToTwips(right, Settings);
  if (wrap == nullptr) return rightTwips <= LineWidthTwips(line);
  if (wrap->BandRects.empty()) wrap->BandRects.push_back({0, wrap->BandTop, 0, wrap->BandTop});
  if (rightTwips > wrap->RightLimit) return false;
  const int32_t height = LayoutYToTwips(std::max(w.ascent, ascent) + std::max(w.descent, descent),
                                        Settings);
  const int32_t bandHeight = std::max(wrap->BandHeight, height);
  const int32_t top = wrap->BandTop;
  auto meets = [](const plat::Rect& a, const plat::Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  };
  for (size_t i = 0; i + 1 < wrap->BandRects.size(); ++i) {
    const plat::Rect earlier{wrap->BandRects[i].left, top, wrap->BandRects[i].right, top + bandHeight};
    for (const plat::Rect& r : wrap->Exclusions)
      if (meets(earlier, r)) {
        w.blocked = true;
        wrap->NextFreeX = INT32_MAX;
        return false;
      }
  }
  const plat::Rect segment{wrap->BandRects.back().left, top, std::max(rightTwips,
                           wrap->BandRects.back().left + 1), top + bandHeight};
  for (const plat::Rect& r : wrap->Exclusions) {
    if (!meets(segment, r)) continue;
    // Blocked: the next segment may start right of this rectangle and of any it touches there.
    int32_t next = r.right;
    for (bool moved = true; moved;) {
      moved = false;
      for (const plat::Rect& o : wrap->Exclusions)
        if (o.left <= next && next < o.right && o.top < top + bandHeight && top < o.bottom) {
          next = o.right;
          moved = true;
        }
    }
    w.blocked = true;
    wrap->NextFreeX = next;
    return false;
  }
  wrap->BandHeight = bandHeight;
  wrap->BandRects.back().right = rightTwips;
  wrap->BandRects.back().bottom = top + bandHeight;
  return true;
}

TLayoutLineFitter::AddResult TLayoutLineFitter::AddChar(TLine& line, Walk& w, TWrapContext* wrap,
                                                        uint8_t code, int32_t width,
                                                        int32_t ascent, int32_t descent,
                                                        bool tagChar, int32_t kern) {
  width = std::clamp(width, -kMaxAdvance, kMaxAdvance);
  kern = std::clamp(kern, -kMaxAdvance, kMaxAdvance);
  ascent = std::clamp(ascent, 0, kMaxAdvance);
  descent = std::clamp(descent, 0, kMaxAdvance);
  const int32_t index = line.FirstChar + w.count;
  int32_t hyphen = 0;
  bool hyphenPoint = false;
  if (w.hyphenMode && code != scOptionalHyphen &&
      std::binary_search(w.hyphenAfter.begin(), w.hyphenAfter.end(), index)) {
    hyphen = HyphenWidth();
    hyphenPoint = true;
  }
  int32_t spacing = ascent;
  if (IsBlank(code)) {
    w.lastSpaceAscent = ascent;
    w.lastSpaceDescent = descent;
    ascent = spacing = descent = 0;
  } else if (code != scInlineShape) {
    const TParFormat& pf = line.Par->Format;
    const bool exact = pf.LineRule == 0 && pf.LineSpacing != ParUnset16 && pf.LineSpacing < 0;
    // Damaged files may hold any value: the offset is kept within the largest font size.
    const int32_t raise = std::clamp(ValueOr(format_.VertOffset, 0), -kMaxVertOffsetPoints,
                                     kMaxVertOffsetPoints);
    if (!exact && raise != 0) {
      const int32_t offset = TwipsToLayoutX(raise * kTwipsPerPoint, Settings);
      ascent = std::max(0, ascent + offset);
      descent = std::max(0, descent - offset);
    }
  }
  const int32_t x = line.Positions.back();
  if (!w.measureOnly && !Fits(line, w, wrap, x + width + kern + hyphen, ascent, descent)) {
    if (IsSpaceLike(code)) {
      w.spaceOverflow = true;  // a space hangs in the margin
    } else if (code == scTab) {
      if (w.spaceOverflow) return AddResult::BreakBefore;
      w.spaceOverflow = true;
    } else if (wrap != nullptr && w.blocked) {
      return w.opp.valid ? AddResult::BreakAtOpportunity : AddResult::BreakBefore;
    } else if (w.spaceOverflow || w.forced || (w.count > 0 && !w.opp.valid)) {
      return AddResult::BreakBefore;
    } else if (w.count == 0 && !w.opp.valid) {
      w.forced = true;  // nothing fits: one character goes on the line anyway
    } else {
      return AddResult::BreakAtOpportunity;
    }
  }
  if (kern != 0) line.Positions.back() += kern;
  const int32_t advance = (width < 0 || code == scOptionalHyphen) ? 0 : width;
  line.Positions.push_back(line.Positions.back() + advance);
  if (w.count == 0 && w.ascent == 0 && w.descent == 0) {
    w.ascent = ascent;
    w.spacing = spacing;
    w.descent = descent;
  } else {
    w.ascent = std::max(w.ascent, ascent);
    w.spacing = std::max(w.spacing, spacing);
    w.descent = std::max(w.descent, descent);
  }
  ++w.count;
  w.bytes += tagChar ? ContentTagSize : 1;
  if (IsBreakAfter(code) || hyphenPoint) {
    RecordOpportunity(w, tagChar, hyphenPoint);
    w.opp.footnote = line.FootnoteRef;
    w.opp.endnote = line.EndnoteRef;
  }
  return AddResult::Accepted;
}

void TLayoutLineFitter::RecordOpportunity(Walk& w, bool, bool hyphenPoint) {
  Opportunity& o = w.opp;
  o.valid = true;
  o.count = w.count;
  o.bytes = w.bytes;
  o.ascent = w.ascent;
  o.spacing = w.spacing;
  o.descent = w.descent;
  o.formatSaved = false;
  o.symbolOverride = symbolOverride_;
  o.overriddenFont = overriddenFont_;
  o.hyphenPoint = hyphenPoint;
  o.hyphenWidth = hyphenPoint ? HyphenWidth() : 0;
}

bool TLayoutLineFitter::EndsWithOptionalHyphen(const TLine& line, int32_t count) const {
  const int32_t last = line.FirstChar + count - 1;
  return count > 0 && last < line.Par->CharCount() && line.Par->CodeAt(last) == scOptionalHyphen;
}

void TLayoutLineFitter::BreakAt(TLine& line, Walk& w) {
  const Opportunity& o = w.opp;
  w.count = o.count;
  line.Positions.resize(static_cast<size_t>(o.count) + 1);
  w.ascent = o.ascent;
  w.spacing = o.spacing;
  w.descent = o.descent;
  if (o.formatSaved) {
    format_ = o.format;
    fontDirty_ = true;
  }
  symbolOverride_ = o.symbolOverride;
  overriddenFont_ = o.overriddenFont;
  line.FootnoteRef = o.footnote;
  line.EndnoteRef = o.endnote;
  if (w.tab.Active && w.tab.index >= w.count) w.tab.Active = false;
  ResolvePendingTab(line, w);
  if (o.hyphenPoint) {
    line.Flags |= lfHyphenated;
    line.Positions.back() += o.hyphenWidth;
  } else if (EndsWithOptionalHyphen(line, w.count)) {
    line.Positions.back() += HyphenWidth();
  }
  EndLine(line, w, o.bytes);
}

void TLayoutLineFitter::EndLine(TLine& line, Walk& w, int32_t bytes) {
  ResolvePendingTab(line, w);
  line.Count = w.count;
  line.StreamLength = bytes;
  if (w.ascent == 0 && w.descent == 0) {
    w.ascent = w.spacing = w.lastSpaceAscent;
    w.descent = w.lastSpaceDescent;
  }
  line.Ascent = Clamp16(w.ascent);
  line.SpacingAscent = Clamp16(w.spacing);
  line.Descent = Clamp16(w.descent);
}

// --- Tabs ---

// A tab moves to the next tab stop right of x (or at x, unless the line is empty or the tab
// follows another). A left tab takes the room up to its stop at once; any other kind waits for
// the text after it (ResolvePendingTab).
TLayoutLineFitter::Step TLayoutLineFitter::TabChar(TLine& line, Walk& w, TWrapContext* wrap,
                                                   int32_t at) {
  ResolvePendingTab(line, w);
  const TPar& par = *line.Par;
  const int32_t x = line.Positions.back();
  const int32_t xTwips = LayoutXToTwips(x + 1, Settings);
  const int32_t prev = line.FirstChar + w.count - 1;
  const bool previousIsTab = w.count > 0 && prev < par.CharCount() && par.CodeAt(prev) == scTab;
  const bool atX = !previousIsTab && w.count > 0;
  const TTabTable& working = GetTabManager().WorkingTable();
  const uint32_t packed = NextTabStop(working, xTwips, atX);
  int32_t stop = packed == NoFurtherTabStop ? -1 : TabStopPosition(packed);
  int kind = packed == NoFurtherTabStop ? tkLeft : TabStopKind(packed);
  int leader = packed == NoFurtherTabStop ? static_cast<int>(tlNone) : static_cast<int>(UnpackTabStop(packed).Leader);
  // A hanging first line: the left indent acts as a left stop.
  const int32_t leftIndent = par.Format.LeftIndent == ParUnset16 ? 0 : par.Format.LeftIndent;
  const int32_t firstIndent = par.Format.FirstIndent == ParUnset16 ? 0 : par.Format.FirstIndent;
  if (line.FirstChar == 0 && firstIndent < 0 && xTwips < leftIndent) {
    const TTabTable& own = GetTabManager().Table(par.Format.TabSet == ParUnset16 ? 0 : par.Format.TabSet);
    if (stop < 0 || leftIndent < stop || !HasTabStop(own, stop)) {
      stop = leftIndent;
      kind = tkLeft;
      leader = tlNone;
    }
  }
  if (par.NumberOwner != nullptr || kind == tkList || kind == tkBar) kind = tkLeft;
  // The painter draws the leader from the tab tag: its second value byte holds the stop's kind
  // and leader (the character code stays in the first).
  if (w.stream != nullptr)
    w.stream[at + kTabStopKindByte] = static_cast<uint8_t>(kind + kTabLeaderFactor * leader);
  const int32_t stopX = stop < 0 ? std::max(x, w.availLayout) : TwipsToLayoutX(stop, Settings);
  const int32_t distance = std::max(0, stopX - x);
  const AddResult r = AddChar(line, w, wrap, scTab, kind == tkLeft ? distance : 0, 0, 0, true);
  if (r != AddResult::Accepted) return BreakFor(line, w, r, at);
  if (kind != tkLeft) w.tab = PendingTab{true, kind, w.count - 1, x, distance};
  return Step::Next;
}

void TLayoutLineFitter::ResolvePendingTab(TLine& line, Walk& w) {
  if (!w.tab.Active) return;
  w.tab.Active = false;
  const PendingTab& t = w.tab;
  const int32_t width = line.Positions.back() - t.xAtTab;
  const int32_t d = t.distance;
  int32_t shift = 0;
  bool right = t.kind == tkRight;
  if (t.kind == tkCenter) {
    if (width < 2 * d) shift = (2 * d - width) / 2;
  } else if (t.kind == tkDecimal) {
    right = true;
    for (int32_t j = t.index + 1; j < w.count; ++j) {
      const int32_t at = line.FirstChar + j;
      if (at < line.Par->CharCount() &&
          line.Par->CodeAt(at) == static_cast<uint8_t>(Settings.DecimalSeparator)) {
        shift = std::max(0, d - (line.Positions[j] - t.xAtTab));
        right = false;
        break;
      }
    }
  }
  if (right && width < d) shift = d - width;
  if (shift == 0) return;
  for (size_t j = static_cast<size_t>(t.index) + 1; j < line.Positions.size(); ++j)
    line.Positions[j] += shift;
}

// A line break is a small mark; another break reaches to the right edge (except in a centred or
// right-aligned paragraph), and is never narrower than a fixed mark.
int32_t TLayoutLineFitter::BreakCharWidth(const TLine& line, uint8_t code, bool lineEmpty) {
  if (code == scLineBreak) return PixelsToLayoutX(kLineBreakPixels, Settings);
  if (Settings.IsDraftView() && !lineEmpty) return 0;
  const int alignment = line.Par->Format.Alignment == ParUnset8 ? 0 : line.Par->Format.Alignment;
  int32_t width = 0;
  if (alignment != kAlignCenter && alignment != kAlignRight)
    width = TwipsToLayoutX(LineWidthTwips(line), Settings) - line.Positions.back();
  return std::max(width, PixelsToLayoutX(kMinBreakPixels, Settings));
}

// --- Fields ---

// A SYMBOL field that names a font sets its text in that font.
void TLayoutLineFitter::ApplyFieldStart(int32_t value) {
  const TField* field = FieldOfRef(value);
  if (field == nullptr || field->Kind != fkField || field->FieldType != ftSymbol) return;
  const std::u16string face16 = SymbolFontName(field->Instruction);
  if (face16.empty()) return;
  std::string face;
  for (char16_t c : face16) face.push_back(c < 128 ? static_cast<char>(c) : '?');
  TFontManager* fm = FontManager();
  if (fm == nullptr) return;
  if (!symbolOverride_) overriddenFont_ = format_.Font;
  format_.Font = fm->FontIndex(face, kAnyCharset, true);
  symbolOverride_ = true;
  fontDirty_ = true;
}

// The line remembers the last footnote and endnote reference that ends in it.
void TLayoutLineFitter::ApplyFieldEnd(TLine& line, int32_t value) {
  TField* field = FieldOfRef(value);
  if (field == nullptr || field->Kind != fkNoteReference) return;
  const bool endnote =
      field->NoteClass == 1 || (field->LinkedField != nullptr && field->LinkedField->NoteClass == 1);
  (endnote ? line.EndnoteRef : line.FootnoteRef) = field;
}

// The width of the list label's first line, less the amount by which a centred or right-aligned
// label was moved left.
int32_t TLayoutLineFitter::LabelWidth(const TPar& par) const {
  const TLine& label = *par.NumberPar->Lines.front();
  const int32_t width = label.EndX() - label.StartX() - par.NumberPar->NumberShift;
  if (!Settings.DeviceMeasuring) return width;
  // Device units: the label's width was measured in sixteenths of a pixel (half up).
  return static_cast<int32_t>((static_cast<int64_t>(width) + LayoutUnitsPerPixel / 2) >> 4);
}

// An automatic note mark measures as the text its note reference shows: in the main text and
// the other stories the reference whose start follows in the stream; in a note's text the field
// that begins the paragraph (the note's own mark). "?" when there is none.
int32_t TLayoutLineFitter::NoteMarkWidth(const TPar& par, const TStreamCursor& cursor, int32_t at) {
  const int32_t end = cursor.Offset + cursor.Left;
  const bool whole = cursor.Data == par.Content.Data;
  const uint8_t* data = whole ? par.Content.Data : cursor.Data;
  const int32_t length = whole ? par.Content.Length : end;
  const std::string text =
      NoteMarkText(NoteMarkField(par, data, length, cursor.Offset + at + ContentTagSize));
  int32_t width = 0;
  for (char c : text) width += CharWidth(static_cast<uint8_t>(c));
  return width;
}

// --- Registration ---

namespace {

// The document model owns its registered fitter; this one forwards to the program's fitter so
// that LayoutLineFitter() stays valid whatever is registered later.
class TForwardingFitter : public TLineFitter {
 public:
  void BeginParagraph(TPar& par, const TCharFormat& f) override { F().BeginParagraph(par, f); }
  void FitLine(TLine& line, TStreamCursor& c, TWrapContext* w) override { F().FitLine(line, c, w); }
  const TCharFormat& CurrentFormat() const override { return F().CurrentFormat(); }
  int32_t LineHeight(const TLine& line) override { return F().LineHeight(line); }
  void ComputeLineHeight(TLine& line) override { F().ComputeLineHeight(line); }
  int32_t LineIndentTwips(const TPar& par, int32_t i) override { return F().LineIndentTwips(par, i); }
  void DetachLine(TLine& line) override { F().DetachLine(line); }

 private:
  static TLayoutLineFitter& F() { return LayoutLineFitter(); }
};

}  // namespace

void TLayoutLineFitter::DetachLine(TLine& line) { DetachLineFromBox(line); }

TLayoutLineFitter& LayoutLineFitter() {
  static TLayoutLineFitter fitter;
  return fitter;
}

std::unique_ptr<TLineFitter> MakeLayoutLineFitter() { return std::make_unique<TForwardingFitter>(); }

void RegisterLayoutLineFitter() { RegisterLineFitter(MakeLayoutLineFitter()); }

// --- Hyphenation ---

namespace {

bool IsWordCode(uint8_t c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case scOptionalHyphen: case 0x27: case 0x60: case 0x91: case 0x92: case 0x83: case 0x8A:
    case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
      return true;
    default:
      return c >= 0xC0 && c != 0xD7 && c != 0xF7;
  }
}

bool IsApostrophe(char16_t c) { return c == 0x27 || c == 0x60 || c == 0x91 || c == 0x92; }

}  // namespace

bool TLayoutLineFitter::TryHyphenation(const TLine& line, Walk& w, int32_t charIndex) {
  const TPar& par = *line.Par;
  if (!Settings.AutoHyphenate || w.hyphenMode) return false;
  if (par.Format.NoHyphenation != ParUnset8 && par.Format.NoHyphenation > 0) return false;
  if (Settings.ConsecutiveHyphenLimit > 0) {
    int32_t run = 0;
    for (int32_t i = line.LineIndex - 1; i >= 0 && i < static_cast<int32_t>(par.Lines.size()); --i) {
      if (!par.Lines[i]->HasFlag(lfHyphenated)) break;
      ++run;
    }
    if (run >= Settings.ConsecutiveHyphenLimit) return false;
  }
  // The word at the line's end; when it gives nothing and a word delimiter stands before it,
  // the word before that.
  const int32_t n = par.CharCount();
  if (charIndex >= n) return false;
  int32_t start = charIndex, end = charIndex;
  while (start > line.FirstChar && IsWordCode(par.CodeAt(start - 1))) --start;
  while (end < n && IsWordCode(par.CodeAt(end))) ++end;
  if (HyphenateWord(line, w, start, end)) return true;
  const int32_t delimiter = start - 1;
  if (delimiter <= line.FirstChar || !IsWordDelimiterAt(par, par.CodeAt(delimiter), delimiter))
    return false;
  int32_t previous = delimiter;
  while (previous > line.FirstChar && IsWordCode(par.CodeAt(previous - 1))) --previous;
  return HyphenateWord(line, w, previous, delimiter);
}

// Hyphenates the word [start, end) of the paragraph; true when it gave hyphenation points
// (then kept in the walk as break opportunities).
bool TLayoutLineFitter::HyphenateWord(const TLine& line, Walk& w, int32_t start, int32_t end) {
  const TPar& par = *line.Par;
  const int32_t oppIndex = line.FirstChar + (w.opp.valid ? w.opp.count : 0);
  if (end - start < 2 || start > line.FirstChar + w.count || end <= oppIndex) return false;
  // A word that starts deep in the hyphenation zone is left whole.
  const int32_t gapStart = line.Positions[static_cast<size_t>(std::max(0, start - line.FirstChar))];
  const int32_t gap = LineWidthTwips(line) - LayoutXToTwips(gapStart, Settings);
  if (Settings.HyphenationZone > 0 && gap <= Settings.HyphenationZone) return false;
  std::u16string word;
  bool allCaps = true;
  for (int32_t i = start; i < end; ++i) {
    const uint8_t c = par.CodeAt(i);
    if (c == scOptionalHyphen) return false;
    if (IsLowerByte(c)) allCaps = false;
    word.push_back(static_cast<char16_t>(c));
  }
  const int32_t language = ValueOr(format_.Language, ValueOr(DefaultCharFormat.Language, kDefaultLanguage));
  if (language == LangNoProof) return false;
  if ((language & 0x3FF) == 9 && word.size() >= 2) {
    const size_t len = word.size();
    if ((word[len - 1] == u's' || word[len - 1] == u'S') && IsApostrophe(word[len - 2])) {
      word.resize(len - 2);
    } else if (IsApostrophe(word[len - 1])) {
      if (word[len - 2] == u'n' || word[len - 2] == u'N') word[len - 1] = u'g';
      else word.pop_back();
    }
  }
  if (word.size() < 2 || static_cast<int32_t>(word.size()) > MaxHyphenatedWord) return false;
  if (allCaps && !Settings.HyphenateCaps) return false;
  THyphenationService& service = HyphenationService();
  if (!service.HasData(language)) return false;
  std::vector<int32_t> points;
  for (int32_t p : service.Hyphenate(word, language))
    if (p >= 1 && p < static_cast<int32_t>(word.size())) points.push_back(start + p - 1);
  if (points.empty()) return false;
  std::sort(points.begin(), points.end());
  w.hyphenAfter = std::move(points);
  return true;
}

}  // namespace qv
