#include "files/rtf/rtf_reader.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/section.h"
#include "document/tab_stops.h"
#include "document/table_row.h"
#include "files/open_context.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_read_state.h"
#include "files/rtf/rtf_tokenizer.h"
#include "foundation/base/exceptions.h"
#include "foundation/fonts/font_manager.h"

namespace qv {

namespace {

// Bounds on what a file may make the reader hold: beyond them the file is taken as damaged.
constexpr size_t kMaxFonts = 32768;
constexpr size_t kMaxColours = 32768;
constexpr int32_t kMaxNotes = 1 << 20;
constexpr int32_t kMaxTabs = 64;

// Whether the paragraph's stream holds a character yet (its codes are made at its end).
bool HasChars(const TPar& par) {
  const uint8_t* data = par.Content.Data;
  const int32_t length = par.Content.Length;
  for (int32_t off = 0; off < length;) {
    if (data[off] != 0) return true;
    if (!IsTagAt(data, length, off)) return true;
    if (IsCharTagKind(ReadTagAt(data, off).Kind)) return true;
    off += ContentTagSize;
  }
  return false;
}

const char* const kDamagedMessage = "The file is damaged; only the part before the damage was read.";

class TRtfReader {
 public:
  TRtfReader(TOpenContext& context, TDoc& doc) : doc_(doc), lex_(context) {}

  void Read();

 private:
  // ---- the group loop
  void ReadGroups(int32_t stopDepth);
  void OpenGroup();
  void CloseGroup();
  bool OnControlWord(const TRtfItem& item);
  void OnDestination(int32_t word, bool starred);
  void SkipCurrentGroup();

  // ---- text
  void AppendText(const uint8_t* bytes, int32_t count);
  void AppendSpecial(uint8_t code);
  void AppendTag(uint8_t kind, int32_t value);
  void AppendWide(char16_t unit);
  void SetChar(int kind, int32_t value, bool onlyWhenChanged = false);
  void EndParagraph(uint8_t endKind);
  void StartParagraph(int32_t story);
  void FinishCurrent();

  // ---- destinations
  void ReadFontTable();
  void ReadColourTable();
  void ReadField();
  void ReadNote(bool endnote);
  void ReadHeaderFooter(int slot);

  // ---- tables and sections
  void CellBoundary(int32_t right);
  void EndCell();
  void EndRow();
  void EndSection();
  void OnPageWord(int32_t word, int32_t param);

  int32_t FontOf(int32_t number) const;
  int32_t ColourOf(int32_t index) const;
  void AddTab(int32_t position, int kind);

  TDoc& doc_;
  TRtfLexer lex_;
  TRtfReadState s_;
  std::vector<TRtfGroupState> stack_;
  TPar* cur_ = nullptr;
  int32_t story_ = stMain;
  bool firstMainUsed_ = false;
  bool damaged_ = false;
  std::vector<TRtfFont> fonts_;
  std::vector<int32_t> colours_;
  TTableRowData rowDef_;
  int32_t cellsInRow_ = 0;
  int32_t noteCount_ = 0;
  TSection* section_ = nullptr;
};

void TRtfReader::Read() {
  s_.Char = DefaultCharFormat;
  s_.Par = DefaultParFormat;
  section_ = doc_.Sections.empty() ? nullptr : doc_.Sections.front().get();
  StartParagraph(stMain);
  // The outermost group; anything after its closing brace is not RTF (an encrypted document's
  // check value, trailing garbage) and is left unread.
  for (;;) {
    const TRtfItem item = lex_.Next();
    if (item.Type == TRtfItem::Kind::End) break;
    if (item.Type == TRtfItem::Kind::Damaged) {
      damaged_ = true;
      break;
    }
    if (item.Type == TRtfItem::Kind::GroupStart || item.Type == TRtfItem::Kind::DestinationStart) {
      OpenGroup();
      ReadGroups(lex_.Depth() - 1);
      break;
    }
  }
  // The last "\par" ends the text: the empty paragraph it opened is not part of it.
  const int32_t lastMain = doc_.LastParagraphOfStory(stMain);
  if (story_ == stMain && cur_ != nullptr && !HasChars(*cur_) && doc_.StoryCounts[stMain] > 1 &&
      lastMain >= 0 && doc_.Par(lastMain) == cur_) {
    doc_.Paragraphs.erase(doc_.Paragraphs.begin() + lastMain);
    doc_.StoryCounts[stMain] -= 1;
    cur_ = nullptr;
  }
  FinishCurrent();
  doc_.ReindexParagraphs(0);
  if (section_ != nullptr) section_->LastPar = doc_.LastParagraphOfStory(stMain);
  doc_.ReindexParagraphs(0);
  doc_.ClearTableCache();
  doc_.InvalidateFieldIndex();
  if (damaged_) throw Exception(kDamagedMessage);
}

void TRtfReader::OpenGroup() {
  TRtfGroupState saved;
  saved.Char = s_.Char;
  saved.Par = s_.Par;
  saved.SkipText = s_.SkipText;
  stack_.push_back(saved);
}

// A group's end restores the formats it changed: every character property that differs gets a
// tag with its earlier value; the paragraph format comes back into the current paragraph.
void TRtfReader::CloseGroup() {
  if (stack_.empty()) return;
  const TRtfGroupState saved = stack_.back();
  stack_.pop_back();
  for (int kind = TCharFormat::Count - 1; kind >= 0; --kind)
    if (saved.Char[kind] != s_.Char[kind]) {
      s_.Char[kind] = saved.Char[kind];
      if (!saved.SkipText || !s_.SkipText) AppendTag(static_cast<uint8_t>(kind), saved.Char[kind]);
    }
  s_.Par = saved.Par;
  s_.SkipText = saved.SkipText;
}

// Reads items until the group entered at `stopDepth` closes.
void TRtfReader::ReadGroups(int32_t stopDepth) {
  bool groupStart = true;  // the next control word is the first of its group
  for (;;) {
    const TRtfItem item = lex_.Next();
    switch (item.Type) {
      case TRtfItem::Kind::End:
        return;
      case TRtfItem::Kind::Damaged:
        damaged_ = true;
        return;
      case TRtfItem::Kind::GroupStart:
        OpenGroup();
        groupStart = true;
        continue;
      case TRtfItem::Kind::DestinationStart: {
        OpenGroup();
        const TRtfItem word = lex_.Next();
        if (word.Type == TRtfItem::Kind::ControlWord && word.Word >= 0) OnDestination(word.Word, true);
        else if (word.Type == TRtfItem::Kind::GroupEnd) CloseGroup();
        else SkipCurrentGroup();
        if (lex_.Depth() <= stopDepth) return;
        groupStart = false;
        continue;
      }
      case TRtfItem::Kind::GroupEnd:
        if (item.Unbalanced) return;
        CloseGroup();
        if (lex_.Depth() <= stopDepth) return;
        groupStart = false;
        continue;
      case TRtfItem::Kind::ControlWord:
        if (groupStart && item.Word >= 0 && IsRtfDestinationWord(item.Word)) {
          OnDestination(item.Word, false);
          if (lex_.Depth() <= stopDepth) return;
        } else {
          OnControlWord(item);
        }
        break;
      case TRtfItem::Kind::ControlSymbol:
        if (item.Symbol == '~') AppendSpecial(scNonBreakingSpace);
        else if (item.Symbol == '-') AppendSpecial(scOptionalHyphen);
        else if (item.Symbol == '_') AppendSpecial(scNonBreakingHyphen);
        else if (item.Symbol == '\\' || item.Symbol == '{' || item.Symbol == '}') AppendText(&item.Symbol, 1);
        else if (item.Symbol == '\n' || item.Symbol == '\r') EndParagraph(scParagraphEnd);
        break;
      case TRtfItem::Kind::Text:
      case TRtfItem::Kind::EscapedBytes:
        AppendText(item.Bytes, item.Count);
        break;
      case TRtfItem::Kind::Unicode:
        AppendWide(item.Char);
        break;
      case TRtfItem::Kind::Binary:
        break;  // binary data outside a picture carries nothing the document holds
    }
    groupStart = false;
  }
}

void TRtfReader::SkipCurrentGroup() {
  lex_.SkipGroup();
  // The lexer consumed the group's "}"; the state pushed at its "{" goes with it.
  if (!stack_.empty()) {
    s_.Char = stack_.back().Char;
    s_.Par = stack_.back().Par;
    s_.SkipText = stack_.back().SkipText;
    stack_.pop_back();
  }
}

// ---- text ----

void TRtfReader::AppendTag(uint8_t kind, int32_t value) {
  if (cur_ == nullptr) return;
  AppendContentTag(cur_->Content, kind, value);
}

void TRtfReader::AppendText(const uint8_t* bytes, int32_t count) {
  if (s_.SkipText || cur_ == nullptr) return;
  int32_t i = 0;
  while (i < count) {
    const uint8_t c = bytes[i];
    if (c == 0) {  // a zero byte is never text
      ++i;
      continue;
    }
    if (c < 32 || c == 150 || c == 151 || c == 160) {
      if (c == 9) AppendSpecial(scTab);
      else if (c == 150) AppendSpecial(scEnDash);
      else if (c == 151) AppendSpecial(scEmDash);
      else if (c == 160) AppendSpecial(scNonBreakingSpace);
      ++i;
      continue;
    }
    int32_t j = i;
    while (j < count && bytes[j] >= 32 && bytes[j] != 150 && bytes[j] != 151 && bytes[j] != 160) ++j;
    cur_->Content.Append(bytes + i, j - i);
    i = j;
  }
}

void TRtfReader::AppendSpecial(uint8_t code) {
  if (s_.SkipText) return;
  AppendTag(ctSpecialChar, code);
}

// A UTF-16 unit: one of the special characters, else a wide-character tag. A surrogate that is
// not part of a pair never enters the document.
void TRtfReader::AppendWide(char16_t unit) {
  if (s_.SkipText) return;
  switch (unit) {
    case 0x09: AppendSpecial(scTab); return;
    case 0x2013: AppendSpecial(scEnDash); return;
    case 0x2014: AppendSpecial(scEmDash); return;
    case 0x00A0: AppendSpecial(scNonBreakingSpace); return;
    case 0x00AD: AppendSpecial(scOptionalHyphen); return;
    case 0x2011: AppendSpecial(scNonBreakingHyphen); return;
    default: break;
  }
  if (unit < 32) return;
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    s_.PendingHighSurrogate = unit;
    return;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (s_.PendingHighSurrogate == 0) return;
    AppendTag(ctWideChar, s_.PendingHighSurrogate);
    s_.PendingHighSurrogate = 0;
    AppendTag(ctWideChar, unit);
    return;
  }
  s_.PendingHighSurrogate = 0;
  if (unit < 0x80) {
    const uint8_t b = static_cast<uint8_t>(unit);
    AppendText(&b, 1);
    return;
  }
  AppendTag(ctWideChar, unit);
}

void TRtfReader::SetChar(int kind, int32_t value, bool onlyWhenChanged) {
  if (onlyWhenChanged && s_.Char[kind] == value) return;
  s_.Char[kind] = value;
  AppendTag(static_cast<uint8_t>(kind), value);
}

// Makes the next paragraph of the story current, opening it with the character properties in
// force that differ from the program's defaults.
void TRtfReader::StartParagraph(int32_t story) {
  story_ = story;
  if (story == stMain && !firstMainUsed_ && doc_.ParCount() > 0 && doc_.Par(0)->CharCount() <= 1 &&
      doc_.StoryCounts[stMain] == 1) {
    firstMainUsed_ = true;
    cur_ = doc_.Par(0);
    cur_->Content.SetLength(0);
    cur_->Format = s_.Par;
  } else {
    cur_ = doc_.AppendParagraph(story, s_.Par);
  }
  for (int kind = TCharFormat::Count - 1; kind >= 0; --kind)
    if (s_.Char[kind] != DefaultCharFormat[kind]) AppendTag(static_cast<uint8_t>(kind), s_.Char[kind]);
}

void TRtfReader::FinishCurrent() {
  if (cur_ == nullptr) return;
  TParFormat format = s_.Par;
  if (!s_.Tabs.empty()) {
    TTabTable tabs;
    for (uint32_t t : s_.Tabs) AddTabStop(tabs, t);
    format.TabSet = static_cast<int16_t>(GetTabManager().AddTable(tabs));
  }
  cur_->Format = format;
  // A paragraph needs its mark: the last one of a story gets it here.
  bool ended = false;
  if (cur_->Content.Length >= ContentTagSize) {
    const TContentTag last = ReadTagAt(cur_->Content.Data, cur_->Content.Length - ContentTagSize);
    ended = IsTagAt(cur_->Content.Data, cur_->Content.Length, cur_->Content.Length - ContentTagSize) &&
            ((last.Kind == ctSpecialChar && (last.Value & 0xFF) == scParagraphEnd) ||
             last.Kind == ctCellEnd || last.Kind == ctRowEnd || last.Kind == ctSectionBreak);
  }
  if (!ended) AppendContentTag(cur_->Content, ctSpecialChar, scParagraphEnd);
  cur_->RebuildCodes();
  cur_->ContentChanged();
}

void TRtfReader::EndParagraph(uint8_t endKind) {
  if (s_.SkipText || cur_ == nullptr) return;
  if (endKind == ctCellEnd) AppendContentTag(cur_->Content, ctCellEnd, 0);
  else AppendContentTag(cur_->Content, ctSpecialChar, scParagraphEnd);
  FinishCurrent();
  StartParagraph(story_);
}

// ---- control words ----

int32_t TRtfReader::FontOf(int32_t number) const {
  for (const TRtfFont& f : fonts_)
    if (f.Number == number) return f.Index;
  return fonts_.empty() ? DefaultCharFormat.Font : fonts_.front().Index;
}

int32_t TRtfReader::ColourOf(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= colours_.size()) return AutoColor;
  return colours_[static_cast<size_t>(index)];
}

void TRtfReader::AddTab(int32_t position, int kind) {
  if (static_cast<int32_t>(s_.Tabs.size()) >= kMaxTabs) return;
  position = std::clamp(position, 0, 31680);
  s_.Tabs.push_back(PackTabStop(position, kind, s_.TabLeader));
  s_.TabKind = 0;
  s_.TabLeader = 0;
}

bool TRtfReader::OnControlWord(const TRtfItem& item) {
  const int32_t w = item.Word;
  if (w < 0) return false;
  const int32_t p = item.Param;
  const int32_t p1 = item.HasParam ? p : 1;
  TParFormat& pf = s_.Par;
  auto toggle = [&](int kind) { SetChar(kind, p1 != 0 ? 1 : 0, true); };
  auto clamp16 = [](int32_t v) { return static_cast<int16_t>(std::clamp(v, -31680, 31680)); };
  switch (w) {
    // character formatting
    case RtfWord("f"): SetChar(cpFont, FontOf(p)); break;
    case RtfWord("fs"): if (p >= 2 && p <= 2000) SetChar(cpSize, p); break;
    case RtfWord("b"): toggle(cpBold); break;
    case RtfWord("i"): toggle(cpItalic); break;
    case RtfWord("strike"): toggle(cpStrike); break;
    case RtfWord("scaps"): toggle(cpSmallCaps); break;
    case RtfWord("caps"): toggle(cpAllCaps); break;
    case RtfWord("shad"): toggle(cpShadow); break;
    case RtfWord("outl"): toggle(cpOutline); break;
    case RtfWord("embo"): toggle(cpEmboss); break;
    case RtfWord("impr"): toggle(cpEngrave); break;
    case RtfWord("striked"): SetChar(cpDoubleStrike, item.HasParam && p != 0 ? 1 : 0); break;
    case RtfWord("ul"): SetChar(cpUnderline, p1 != 0 ? 1 : 0); break;
    case RtfWord("uld"): SetChar(cpUnderline, 4); break;
    case RtfWord("uldash"): SetChar(cpUnderline, 7); break;
    case RtfWord("uldashd"): SetChar(cpUnderline, 9); break;
    case RtfWord("uldashdd"): SetChar(cpUnderline, 10); break;
    case RtfWord("uldb"): SetChar(cpUnderline, 3); break;
    case RtfWord("ulhwave"): SetChar(cpUnderline, 27); break;
    case RtfWord("ulldash"): SetChar(cpUnderline, 39); break;
    case RtfWord("ulnone"): SetChar(cpUnderline, 0); break;
    case RtfWord("ulth"): SetChar(cpUnderline, 6); break;
    case RtfWord("ulthd"): SetChar(cpUnderline, 20); break;
    case RtfWord("ulthdash"): SetChar(cpUnderline, 23); break;
    case RtfWord("ulthdashd"): SetChar(cpUnderline, 25); break;
    case RtfWord("ulthdashdd"): SetChar(cpUnderline, 26); break;
    case RtfWord("ulthldash"): SetChar(cpUnderline, 55); break;
    case RtfWord("ululdbwave"): SetChar(cpUnderline, 43); break;
    case RtfWord("ulw"): SetChar(cpUnderline, 2); break;
    case RtfWord("ulwave"): SetChar(cpUnderline, 11); break;
    case RtfWord("ulc"): SetChar(cpUnderlineColor, ColourOf(p)); break;
    case RtfWord("cf"): SetChar(cpColor, ColourOf(p)); break;
    case RtfWord("highlight"): SetChar(cpHighlight, ColourOf(p)); break;
    case RtfWord("chcbpat"): SetChar(cpHighlight, ColourOf(p)); break;
    case RtfWord("super"): SetChar(cpScript, 1); break;
    case RtfWord("sub"): SetChar(cpScript, 2); break;
    case RtfWord("nosupersub"): SetChar(cpScript, 0); break;
    case RtfWord("charscalex"): if (p >= 1 && p <= 600) SetChar(cpScale, p); break;
    case RtfWord("expnd"): SetChar(cpSpacing, std::clamp(p, -32767, 32767) * 5); break;
    case RtfWord("expndtw"): SetChar(cpSpacing, std::clamp(p, -163835, 163835)); break;
    case RtfWord("up"): SetChar(cpVertOffset, std::clamp(p, -3276, 3276) / 2); break;
    case RtfWord("dn"): SetChar(cpVertOffset, -(std::clamp(p, -3276, 3276) / 2)); break;
    case RtfWord("kerning"): SetChar(cpKerning, std::clamp(p, 0, 3276)); break;
    case RtfWord("lang"):
      SetChar(cpLanguage, p == 0 ? DefaultCharFormat.Language : (p >= 1 && p <= 255 ? p + 1024 : p));
      break;
    case RtfWord("plain"): {
      const int32_t language = s_.Char.Language;
      for (int kind = 0; kind < TCharFormat::Count; ++kind)
        if (kind != cpLanguage && kind != cpCharStyle) SetChar(kind, DefaultCharFormat[kind], true);
      SetChar(cpLanguage, language);
      break;
    }
    // paragraph formatting
    case RtfWord("pard"): {
      const int8_t pageBreak = pf.PageBreakBefore;
      const bool hasText = cur_ != nullptr && HasChars(*cur_);
      pf = DefaultParFormat;
      if (hasText) pf.PageBreakBefore = pageBreak;
      s_.Tabs.clear();
      s_.TabKind = s_.TabLeader = 0;
      break;
    }
    case RtfWord("fi"): pf.FirstIndent = clamp16(p); break;
    case RtfWord("li"): pf.LeftIndent = clamp16(p); break;
    case RtfWord("ri"): pf.RightIndent = clamp16(p); break;
    case RtfWord("sl"):
      pf.LineSpacing = (p == 0 || p == 1000) ? 240 : clamp16(p);
      pf.LineRule = (p == 0 || p == 1000) ? 1 : 0;
      break;
    case RtfWord("slmult"):
      pf.LineRule = static_cast<int16_t>(p != 0 ? 1 : 0);
      if (p != 0 && pf.LineSpacing < 0 && pf.LineSpacing != ParUnset16) pf.LineRule = 0;
      break;
    case RtfWord("ql"): pf.Alignment = 0; break;
    case RtfWord("qc"): pf.Alignment = 1; break;
    case RtfWord("qr"): pf.Alignment = 2; break;
    case RtfWord("qj"): pf.Alignment = 3; break;
    case RtfWord("keepn"): pf.KeepNext = 1; break;
    case RtfWord("keep"): pf.KeepLines = 1; break;
    case RtfWord("pagebb"): pf.PageBreakBefore = 1; break;
    case RtfWord("widctlpar"): pf.WidowControl = 1; break;
    case RtfWord("nowidctlpar"): pf.WidowControl = 0; break;
    case RtfWord("hyphpar"): pf.NoHyphenation = static_cast<int8_t>((p1 & 1) ^ 1); break;
    case RtfWord("sb"): pf.SpaceBefore = clamp16(std::max(0, p)); break;
    case RtfWord("sa"): pf.SpaceAfter = clamp16(std::max(0, p)); break;
    case RtfWord("sbauto"): if (p == 1) pf.SpaceBefore = -20; else if (pf.SpaceBefore == -20) pf.SpaceBefore = 0; break;
    case RtfWord("saauto"): if (p == 1) pf.SpaceAfter = -20; else if (pf.SpaceAfter == -20) pf.SpaceAfter = 0; break;
    case RtfWord("contextualspace"): pf.Contextual = static_cast<int8_t>(p1 != 0); break;
    case RtfWord("noline"): pf.NoLineNumbers = static_cast<int8_t>(p1 != 0); break;
    case RtfWord("outlinelevel"): pf.OutlineLevel = static_cast<int8_t>(p < 0 || p > 9 ? 9 : p); break;
    case RtfWord("intbl"): pf.InTable = 1; break;
    case RtfWord("cbpat"): {
      const int32_t c = ColourOf(p);
      if (c != AutoColor) pf.Shading = c;
      break;
    }
    case RtfWord("tqc"): s_.TabKind = tkCenter; break;
    case RtfWord("tqr"): s_.TabKind = tkRight; break;
    case RtfWord("tqdec"): s_.TabKind = tkDecimal; break;
    case RtfWord("tldot"): s_.TabLeader = tlDots; break;
    case RtfWord("tlhyph"): s_.TabLeader = tlHyphens; break;
    case RtfWord("tlul"): s_.TabLeader = tlUnderline; break;
    case RtfWord("tx"): AddTab(p, s_.TabKind); break;
    case RtfWord("tb"): AddTab(p, tkBar); break;
    // characters and breaks
    case RtfWord("par"): EndParagraph(scParagraphEnd); break;
    case RtfWord("line"): AppendSpecial(scLineBreak); break;
    case RtfWord("tab"): AppendSpecial(scTab); break;
    case RtfWord("emdash"): AppendSpecial(scEmDash); break;
    case RtfWord("endash"): AppendSpecial(scEnDash); break;
    case RtfWord("chftn"): AppendSpecial(scAutoNoteMark); break;
    case RtfWord("page"): AppendSpecial(pf.InTable == 1 || story_ != stMain ? scLineBreak : scPageBreak); break;
    case RtfWord("column"): AppendSpecial(pf.InTable == 1 || story_ != stMain ? scLineBreak : scColumnBreak); break;
    case RtfWord("bullet"): { const uint8_t b = 149; AppendText(&b, 1); break; }
    case RtfWord("lquote"): { const uint8_t b = 145; AppendText(&b, 1); break; }
    case RtfWord("rquote"): { const uint8_t b = 146; AppendText(&b, 1); break; }
    case RtfWord("ldblquote"): { const uint8_t b = 147; AppendText(&b, 1); break; }
    case RtfWord("rdblquote"): { const uint8_t b = 148; AppendText(&b, 1); break; }
    case RtfWord("deleted"): s_.SkipText = true; break;
    // tables
    case RtfWord("trowd"):
      rowDef_ = TTableRowData{};
      cellsInRow_ = 0;
      break;
    case RtfWord("trleft"): rowDef_.Left = std::clamp(p, -31680, 31680); break;
    case RtfWord("trgaph"):
      rowDef_.PadLeft = rowDef_.PadRight = std::clamp(p, 0, 31680);
      break;
    case RtfWord("trrh"): rowDef_.Height = std::clamp(p, -31680, 31680); break;
    case RtfWord("trqc"): rowDef_.Alignment = 1; break;
    case RtfWord("trqr"): rowDef_.Alignment = 2; break;
    case RtfWord("cellx"): CellBoundary(p); break;
    case RtfWord("cell"): EndCell(); break;
    case RtfWord("row"): EndRow(); break;
    // sections and pages
    case RtfWord("sect"): EndSection(); break;
    default:
      OnPageWord(w, p);
      break;
  }
  return true;
}

// ---- tables ----

void TRtfReader::CellBoundary(int32_t right) {
  if (rowDef_.CellCount >= MaxTableCells) return;  // the row holds no more cells
  rowDef_.Cells[static_cast<size_t>(rowDef_.CellCount)].Right = std::clamp(right, -31680, 31680 * 2);
  ++rowDef_.CellCount;
}

void TRtfReader::EndCell() {
  if (s_.SkipText || cur_ == nullptr || story_ != stMain) return;
  if (cellsInRow_ >= MaxTableCells) {  // more cells than a row may hold: keep the text
    EndParagraph(scParagraphEnd);
    return;
  }
  ++cellsInRow_;
  s_.Par.InTable = 1;
  EndParagraph(ctCellEnd);
}

// The row-end paragraph closes the row. Text between the last cell and the row end is not lost:
// it becomes a paragraph of its own after the table.
void TRtfReader::EndRow() {
  if (s_.SkipText || cur_ == nullptr || story_ != stMain) return;
  if (cellsInRow_ == 0) return;
  auto row = std::make_unique<TTableRow>();
  static_cast<TTableRowData&>(*row) = rowDef_;
  row->CellCount = cellsInRow_;
  int32_t right = rowDef_.CellCount > 0 ? rowDef_.Cells[static_cast<size_t>(rowDef_.CellCount - 1)].Right : 0;
  for (int32_t i = 0; i < cellsInRow_; ++i) {
    TTableCell& cell = row->Cells[static_cast<size_t>(i)];
    if (i >= rowDef_.CellCount) {  // cells the definition did not give a boundary
      right += 1440;
      cell = TTableCell{};
      cell.Right = right;
    }
  }
  TTableRow* r = doc_.AddTableRow(std::move(row));
  TMemory leftover;
  if (HasChars(*cur_)) leftover = cur_->Content;
  cur_->Content.SetLength(0);
  AppendContentTag(cur_->Content, ctRowEnd, TagRefOf(r));
  cur_->Format = TableParFormat;
  cur_->RebuildCodes();
  cur_->ContentChanged();
  cellsInRow_ = 0;
  s_.Par.InTable = 0;
  StartParagraph(story_);
  if (leftover.Length > 0) {
    cur_->Content = leftover;
    EndParagraph(scParagraphEnd);
  }
}

// ---- sections and page settings ----

void TRtfReader::EndSection() {
  if (s_.SkipText || cur_ == nullptr || story_ != stMain || section_ == nullptr) return;
  AppendContentTag(cur_->Content, ctSectionBreak, TagRefOf(section_));
  FinishCurrent();
  section_->LastPar = cur_->Index;
  auto next = std::make_unique<TSection>(&doc_);
  next->SetDefaults();
  next->AssignFormat(*section_);
  next->Number = static_cast<int32_t>(doc_.Sections.size());
  doc_.Sections.push_back(std::move(next));
  section_ = doc_.Sections.back().get();
  StartParagraph(stMain);
  doc_.ReindexParagraphs(0);
  section_->FirstPar = cur_->Index;
}

void TRtfReader::OnPageWord(int32_t w, int32_t p) {
  if (section_ == nullptr) return;
  const int32_t v = std::clamp(p, 0, 31680);
  // Document-wide settings apply to every section read so far; section words to the current one.
  auto all = [&](auto set) {
    for (auto& s : doc_.Sections) set(s->PageParams);
  };
  switch (w) {
    case RtfWord("paperw"): all([&](TPageParams& pp) { pp.PageWidth = v; }); break;
    case RtfWord("paperh"): all([&](TPageParams& pp) { pp.PageHeight = v; }); break;
    case RtfWord("margl"): all([&](TPageParams& pp) { pp.LeftMargin = v; }); break;
    case RtfWord("margr"): all([&](TPageParams& pp) { pp.RightMargin = v; }); break;
    case RtfWord("margt"): all([&](TPageParams& pp) { pp.TopMargin = v; }); break;
    case RtfWord("margb"): all([&](TPageParams& pp) { pp.BottomMargin = v; }); break;
    case RtfWord("pgwsxn"): section_->PageParams.PageWidth = v; break;
    case RtfWord("pghsxn"): section_->PageParams.PageHeight = v; break;
    case RtfWord("marglsxn"): section_->PageParams.LeftMargin = v; break;
    case RtfWord("margrsxn"): section_->PageParams.RightMargin = v; break;
    case RtfWord("margtsxn"): section_->PageParams.TopMargin = v; break;
    case RtfWord("margbsxn"): section_->PageParams.BottomMargin = v; break;
    case RtfWord("sbknone"): section_->Format.BreakKind = sbContinuous; break;
    case RtfWord("sbkpage"): section_->Format.BreakKind = sbNextPage; break;
    case RtfWord("sbkeven"): section_->Format.BreakKind = sbEvenPage; break;
    case RtfWord("sbkodd"): section_->Format.BreakKind = sbOddPage; break;
    case RtfWord("cols"): section_->Format.ColumnCount = std::clamp(p, 1, MaxColumns); break;
    case RtfWord("colsx"): section_->Format.Spacing = v; break;
    default: break;
  }
}

// ---- destinations ----

void TRtfReader::OnDestination(int32_t word, bool starred) {
  switch (word) {
    case RtfWord("fonttbl"): ReadFontTable(); return;
    case RtfWord("colortbl"): ReadColourTable(); return;
    case RtfWord("field"): ReadField(); return;
    case RtfWord("fldrslt"): ReadGroups(lex_.Depth() - 1); return;
    case RtfWord("footnote"): ReadNote(false); return;
    case RtfWord("header"):
    case RtfWord("headerr"): ReadHeaderFooter(hfOddHeader); return;
    case RtfWord("headerl"): ReadHeaderFooter(hfEvenHeader); return;
    case RtfWord("headerf"): ReadHeaderFooter(hfFirstHeader); return;
    case RtfWord("footer"):
    case RtfWord("footerr"): ReadHeaderFooter(hfOddFooter); return;
    case RtfWord("footerl"): ReadHeaderFooter(hfEvenFooter); return;
    case RtfWord("footerf"): ReadHeaderFooter(hfFirstFooter); return;
    default:
      (void)starred;
      SkipCurrentGroup();  // a destination whose content the document does not keep
      return;
  }
}

// Entries "\fN\fcharsetC Name;", each in its own group or one after the other.
void TRtfReader::ReadFontTable() {
  const int32_t stop = lex_.Depth() - 1;
  TRtfFont entry;
  std::string name;
  auto finish = [&] {
    while (!name.empty() && (name.back() == ' ' || name.back() == ';')) name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    if (!name.empty() && entry.Number != INT32_MIN && fonts_.size() < kMaxFonts) {
      if (FontManager() != nullptr) {
        entry.Index = FontManager()->FontIndex(name, entry.Charset, true);
        fonts_.push_back(entry);
      }
    }
    entry = TRtfFont{};
    name.clear();
  };
  for (;;) {
    const TRtfItem item = lex_.Next();
    if (item.Type == TRtfItem::Kind::End) return;
    if (item.Type == TRtfItem::Kind::Damaged) {
      damaged_ = true;
      return;
    }
    if (item.Type == TRtfItem::Kind::DestinationStart) {
      lex_.SkipGroup();  // \panose, \falt and the like
      continue;
    }
    if (item.Type == TRtfItem::Kind::GroupStart) continue;
    if (item.Type == TRtfItem::Kind::GroupEnd) {
      if (lex_.Depth() <= stop) {
        finish();
        CloseGroup();
        return;
      }
      finish();  // an entry ends at its group, ";" or not
      continue;
    }
    if (item.Type == TRtfItem::Kind::ControlWord) {
      if (item.Word == RtfWord("f")) {
        if (entry.Number != INT32_MIN && !name.empty()) finish();
        entry.Number = item.Param;
      } else if (item.Word == RtfWord("fcharset")) {
        entry.Charset = std::clamp(item.Param, 0, 255);
      }
      continue;
    }
    if (item.Type == TRtfItem::Kind::Text || item.Type == TRtfItem::Kind::EscapedBytes) {
      for (int32_t i = 0; i < item.Count; ++i) {
        const char c = static_cast<char>(item.Bytes[i]);
        if (c == ';') {
          finish();
        } else if (name.size() < 255) {
          name += c;
        }
      }
    }
  }
}

// ";" ends each colour; an entry without colour words is the automatic colour.
void TRtfReader::ReadColourTable() {
  const int32_t stop = lex_.Depth() - 1;
  int32_t red = 0, green = 0, blue = 0;
  bool any = false;
  for (;;) {
    const TRtfItem item = lex_.Next();
    if (item.Type == TRtfItem::Kind::End) return;
    if (item.Type == TRtfItem::Kind::Damaged) {
      damaged_ = true;
      return;
    }
    if (item.Type == TRtfItem::Kind::GroupEnd && lex_.Depth() <= stop) {
      CloseGroup();
      return;
    }
    if (item.Type == TRtfItem::Kind::DestinationStart) {
      lex_.SkipGroup();
      continue;
    }
    if (item.Type == TRtfItem::Kind::ControlWord) {
      const int32_t v = std::clamp(item.Param, 0, 255);
      if (item.Word == RtfWord("red")) red = v, any = true;
      else if (item.Word == RtfWord("green")) green = v, any = true;
      else if (item.Word == RtfWord("blue")) blue = v, any = true;
      continue;
    }
    if (item.Type == TRtfItem::Kind::Text) {
      for (int32_t i = 0; i < item.Count; ++i) {
        if (item.Bytes[i] != ';') continue;
        if (colours_.size() < kMaxColours) colours_.push_back(any ? (red | green << 8 | blue << 16) : AutoColor);
        red = green = blue = 0;
        any = false;
      }
    }
  }
}

// A field keeps its result as text; its instruction is not kept yet.
void TRtfReader::ReadField() {
  const int32_t stop = lex_.Depth() - 1;
  for (;;) {
    const TRtfItem item = lex_.Next();
    switch (item.Type) {
      case TRtfItem::Kind::End:
        return;
      case TRtfItem::Kind::Damaged:
        damaged_ = true;
        return;
      case TRtfItem::Kind::GroupStart:
      case TRtfItem::Kind::DestinationStart: {
        OpenGroup();
        const TRtfItem word = lex_.Next();
        if (word.Type == TRtfItem::Kind::ControlWord && word.Word == RtfWord("fldrslt")) {
          ReadGroups(lex_.Depth() - 1);
        } else if (word.Type == TRtfItem::Kind::GroupEnd) {
          CloseGroup();
        } else {
          SkipCurrentGroup();  // the instruction and anything else
        }
        break;
      }
      case TRtfItem::Kind::GroupEnd:
        CloseGroup();
        if (lex_.Depth() <= stop) return;
        break;
      case TRtfItem::Kind::ControlWord:
        OnControlWord(item);
        break;
      default:
        break;
    }
    if (damaged_) return;
  }
}

// A footnote or endnote: the automatic mark just before it becomes the reference, and its text
// the note's paragraphs in the note story.
void TRtfReader::ReadNote(bool endnote) {
  if (story_ != stMain || cur_ == nullptr || noteCount_ >= kMaxNotes) {
    SkipCurrentGroup();
    return;
  }
  ++noteCount_;
  auto reference = std::make_unique<TField>();
  reference->Kind = fkNoteReference;
  reference->Flags = 1;
  auto note = std::make_unique<TField>();
  note->Kind = fkNoteText;
  note->NoteClass = endnote ? 1 : 0;
  reference->LinkedField = note.get();
  note->LinkedField = reference.get();
  reference->Text = std::to_string(noteCount_);
  // Wrap the last automatic mark of the paragraph in the reference field, else give it one.
  TMemory& content = cur_->Content;
  int32_t markAt = -1;
  for (int32_t off = content.Length - ContentTagSize; off >= 0; --off) {
    if (!IsTagAt(content.Data, content.Length, off)) continue;
    const TContentTag tag = ReadTagAt(content.Data, off);
    if (tag.Kind == ctSpecialChar && (tag.Value & 0xFF) == scAutoNoteMark) {
      markAt = off;
      break;
    }
    if (!IsFormatTagKind(tag.Kind)) break;
  }
  TMemory wrapped;
  if (markAt >= 0) {
    wrapped.Append(content.Data, markAt);
    AppendContentTag(wrapped, ctFieldStart, TagRefOf(reference.get()));
    wrapped.Append(content.Data + markAt, ContentTagSize);
    AppendContentTag(wrapped, ctFieldEnd, TagRefOf(reference.get()));
    wrapped.Append(content.Data + markAt + ContentTagSize, content.Length - markAt - ContentTagSize);
  } else {
    wrapped = content;
    AppendContentTag(wrapped, ctFieldStart, TagRefOf(reference.get()));
    AppendContentTag(wrapped, ctSpecialChar, scAutoNoteMark);
    AppendContentTag(wrapped, ctFieldEnd, TagRefOf(reference.get()));
  }
  content = wrapped;
  // The note's own paragraphs.
  TPar* host = cur_;
  const TRtfReadState saved = s_;
  const int32_t savedCells = cellsInRow_;
  s_.Par = DefaultParFormat;
  StartParagraph(endnote ? stEndnotes : stFootnotes);
  AppendContentTag(cur_->Content, ctFieldStart, TagRefOf(note.get()));
  ReadGroups(lex_.Depth() - 1);
  AppendContentTag(cur_->Content, ctFieldEnd, TagRefOf(note.get()));
  FinishCurrent();
  doc_.Fields.push_back(std::move(reference));
  doc_.Fields.push_back(std::move(note));
  const TCharFormat written = s_.Char;
  s_ = saved;
  s_.Char = written;  // the closing brace restored the formats already
  cellsInRow_ = savedCells;
  cur_ = host;
  story_ = stMain;
}

void TRtfReader::ReadHeaderFooter(int slot) {
  if (story_ != stMain || section_ == nullptr || section_->HeaderFooter[static_cast<size_t>(slot)] != nullptr) {
    SkipCurrentGroup();
    return;
  }
  auto field = std::make_unique<TField>();
  field->Kind = fkHeaderFooter;
  TPar* host = cur_;
  const TRtfReadState saved = s_;
  const int32_t savedCells = cellsInRow_;
  s_.Par = DefaultParFormat;
  StartParagraph(stHeadersFooters);
  TPar* first = cur_;
  AppendContentTag(cur_->Content, ctFieldStart, TagRefOf(field.get()));
  ReadGroups(lex_.Depth() - 1);
  // A header without a final paragraph mark keeps its last paragraph; an empty one after a
  // final mark is dropped.
  if (cur_ != first && !HasChars(*cur_)) {
    const int32_t last = doc_.LastParagraphOfStory(stHeadersFooters);
    doc_.Paragraphs.erase(doc_.Paragraphs.begin() + last);
    doc_.StoryCounts[stHeadersFooters] -= 1;
    doc_.ReindexParagraphs(last > 0 ? last - 1 : 0);
    cur_ = doc_.Par(doc_.LastParagraphOfStory(stHeadersFooters));
    // Move the paragraph mark after the field's end.
    if (cur_->Content.Length >= ContentTagSize) cur_->Content.SetLength(cur_->Content.Length - ContentTagSize);
  }
  AppendContentTag(cur_->Content, ctFieldEnd, TagRefOf(field.get()));
  FinishCurrent();
  section_->HeaderFooter[static_cast<size_t>(slot)] = field.get();
  doc_.Fields.push_back(std::move(field));
  const TCharFormat written = s_.Char;
  s_ = saved;
  s_.Char = written;
  cellsInRow_ = savedCells;
  cur_ = host;
  story_ = stMain;
}

}  // namespace

void ReadRtf(TOpenContext& context) {
  if (context.Document == nullptr) throw Exception("No document to read into.");
  TRtfReader reader(context, *context.Document);
  reader.Read();
}

}  // namespace qv
