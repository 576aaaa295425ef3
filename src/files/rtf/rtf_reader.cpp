#include "files/rtf/rtf_reader.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/drop_caps.h"
#include "document/field.h"
#include "document/par.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "files/open_context.h"
#include "files/reader_steps.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_read_state.h"
#include "files/shading_mix.h"
#include "foundation/base/exceptions.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

// Mac OS Roman upper bytes that differ from code page 1252, as pairs (Mac byte, 1252 byte).
constexpr uint8_t kMacRoman[][2] = {
    {128, 196}, {129, 197}, {130, 199}, {131, 201}, {132, 209}, {133, 214}, {134, 220}, {135, 225},
    {136, 224}, {137, 226}, {138, 228}, {139, 227}, {140, 229}, {141, 231}, {142, 233}, {143, 232},
    {144, 234}, {145, 235}, {146, 237}, {147, 236}, {148, 238}, {149, 239}, {150, 241}, {151, 243},
    {152, 242}, {153, 244}, {154, 246}, {155, 245}, {156, 250}, {157, 249}, {158, 251}, {159, 252},
    {161, 176}, {164, 167}, {166, 182}, {167, 223}, {168, 174}, {171, 180}, {172, 168}, {174, 198},
    {175, 216}, {180, 165}, {187, 170}, {188, 186}, {190, 230}, {191, 248}, {192, 191}, {193, 161},
    {194, 172}, {199, 171}, {200, 187}, {202, 160}, {203, 192}, {204, 195}, {205, 213}, {214, 247},
    {216, 255}, {219, 164}, {225, 183}, {229, 194}, {230, 202}, {231, 193}, {232, 203}, {233, 200},
    {234, 205}, {235, 206}, {236, 207}, {237, 204}, {238, 211}, {239, 212}, {241, 210}, {242, 218},
    {243, 219}, {244, 217}, {248, 175}, {252, 184}};

const std::array<uint8_t, 256>& MacToAnsi() {
  static const std::array<uint8_t, 256> table = [] {
    std::array<uint8_t, 256> t{};
    for (int i = 0; i < 256; ++i) t[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    for (const auto& pair : kMacRoman) t[pair[0]] = pair[1];
    return t;
  }();
  return table;
}

// The special-character code of a text byte, 0 for an ordinary one.
uint8_t SpecialOfByte(uint8_t b) {
  switch (b) {
    case 9: return scTab;
    case 150: return scEnDash;
    case 151: return scEmDash;
    case 160: return scNonBreakingSpace;
    default: return 0;
  }
}

// The special-character code of a UTF-16 unit that no ANSI code page holds, 0 for none.
uint8_t SpecialOfUnit(char16_t u) {
  switch (u) {
    case 0x0009: return scTab;
    case 0x2013: return scEnDash;
    case 0x2014: return scEmDash;
    case 0x00A0: return scNonBreakingSpace;
    case 0x00AD: return scOptionalHyphen;
    case 0x2002: return scEnSpace;
    case 0x2003: return scEmSpace;
    case 0x2005: return scQuarterEmSpace;
    case 0x2011: return scNonBreakingHyphen;
    default: return 0;
  }
}

int32_t Clamp16(int32_t v) { return std::clamp(v, -kRtfTwipsLimit, kRtfTwipsLimit); }

const char* const kDamagedMessage =
    "The document \"%s\" is damaged; only the part before the damage was read.";

}  // namespace

TRtfReader::TRtfReader(TOpenContext& context)
    : ctx_(context), doc_(*context.Document), lex_(context) {}

TRtfReader::~TRtfReader() = default;

// ---- input ----

TRtfItem TRtfReader::Next() {
  if (hasPending_) {
    hasPending_ = false;
    return pending_;
  }
  TRtfItem item = lex_.Next();
  if (item.Type == TRtfItem::Kind::Damaged) {
    damaged_ = true;
    return TRtfItem{};
  }
  return item;
}

void TRtfReader::Unread(const TRtfItem& item) {
  pending_ = item;
  hasPending_ = true;
}

void TRtfReader::SkipRest(int32_t depth) {
  if (hasPending_) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) return;
    if (item.Type == TRtfItem::Kind::GroupEnd && lex_.Depth() < depth) return;
  }
  while (lex_.Depth() >= depth) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End || item.Unbalanced) return;
  }
}

void TRtfReader::StopDamaged() {
  damaged_ = true;
  hasPending_ = false;
  lex_.Stop();
}

// ---- the entry ----

void TRtfReader::Read() {
  written_ = DefaultCharFormat;
  fonts_.push_back(TRtfFont{0x7FFFFFFF, DefaultCharFormat.Font, "Times New Roman", DefaultCharset});
  defaultFont_ = DefaultCharFormat.Font;
  ctx_.FillList = &doc_.Paragraphs;
  ctx_.ReadPar = doc_.Par(doc_.ParCount() - 1);
  Cur().Content.Clear();
  Cur().Codes.Clear();
  Cur().Format = DefaultParFormat;
  Cur().Format.WidowControl = static_cast<int8_t>(doc_.FileSettings.WidowControl);
  NewRowDefinition();
  ResetCellRecord();
  doc_.Sections.back()->PageParams.NoEndnotesHere = 1;
  // The outermost group; what follows its closing brace (an encrypted document's check value,
  // trailing bytes) is not read.
  for (;;) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    if (item.Type == TRtfItem::Kind::GroupStart || item.Type == TRtfItem::Kind::DestinationStart) {
      ReadGroup(false);
      break;
    }
  }
  CloseOpenFields(ctx_);
  if (Cur().Codes.Length == 0) Cur().Codes.Clear();
  doc_.StoryCounts[stMain] = static_cast<int32_t>(doc_.Paragraphs.size());
  doc_.ReindexParagraphs(0);
  if (ctx_.TablesRead) doc_.ClearTableCache();
  doc_.SectionRangesStale = true;
  doc_.InvalidateFieldIndex();
}

// ---- groups ----

void TRtfReader::ReadGroup(bool push) {
  if (push) PushState();
  int32_t nested = 0;  // plain groups opened inside, read by this loop
  for (;;) {
    const TRtfItem item = Next();
    switch (item.Type) {
      case TRtfItem::Kind::End:
      case TRtfItem::Kind::Damaged:
        for (; nested > 0; --nested) PopState();
        if (push) PopState();
        return;
      case TRtfItem::Kind::GroupStart: {
        const int32_t depth = lex_.Depth();
        const TRtfItem first = Next();
        if (first.Type == TRtfItem::Kind::ControlWord && first.Word >= 0 &&
            IsRtfDestinationWord(first.Word)) {
          Dispatch(first.Word, depth);
        } else {
          Unread(first);
          PushState();
          ++nested;
        }
        break;
      }
      case TRtfItem::Kind::DestinationStart: {
        const int32_t depth = lex_.Depth();
        const TRtfItem word = Next();
        if (word.Type == TRtfItem::Kind::ControlWord) Dispatch(word.Word, depth);
        else if (word.Type != TRtfItem::Kind::GroupEnd && word.Type != TRtfItem::Kind::End) SkipRest(depth);
        break;
      }
      case TRtfItem::Kind::GroupEnd:
        if (nested == 0 || item.Unbalanced) {
          for (; nested > 0; --nested) PopState();
          if (push) PopState();
          return;
        }
        PopState();
        --nested;
        break;
      case TRtfItem::Kind::ControlWord:
        HandleControlWord(item);
        break;
      case TRtfItem::Kind::ControlSymbol:
        OnControlSymbol(item.Symbol);
        break;
      case TRtfItem::Kind::Text:
      case TRtfItem::Kind::EscapedBytes:
        if (!SkippingText()) AppendTextRun(item.Bytes, item.Count);
        break;
      case TRtfItem::Kind::Unicode:
        if (!SkippingText()) AppendUnicode(item.Char);
        break;
      case TRtfItem::Kind::Binary:
        break;  // binary data outside a picture carries nothing the document keeps
    }
  }
}

void TRtfReader::PushState() {
  InternPending(Cur().Format);
  stack_.push_back(TRtfGroupEntry{written_, Cur().Format, SkippingText()});
}

void TRtfReader::PopState() {
  if (stack_.empty()) return;
  const TRtfGroupEntry saved = stack_.back();
  stack_.pop_back();
  for (int kind = TCharFormat::Count - 1; kind >= 0; --kind)
    if (saved.Written[kind] != written_[kind]) {
      written_[kind] = saved.Written[kind];
      AppendTag(static_cast<uint8_t>(kind), saved.Written[kind]);
    }
  InternPending(Cur().Format);
  Cur().Format = saved.Par;
  tabsActive_ = false;
  bordersActive_ = false;
  if (saved.SkipText) flags_ |= rfSkipText;
  else flags_ &= ~rfSkipText;
}

void TRtfReader::OnControlSymbol(uint8_t symbol) {
  if (symbol == '\n' || symbol == '\r') {
    EndParagraph();
    return;
  }
  if (SkippingText()) return;
  switch (symbol) {
    case '-': AppendSpecial(scOptionalHyphen); break;
    case '_': AppendSpecial(scNonBreakingHyphen); break;
    case '~': AppendSpecial(scNonBreakingSpace); break;
    case '\\':
    case '{':
    case '}': AppendRawBytes(&symbol, 1); break;
    default: break;
  }
}

// ---- text ----

TPar& TRtfReader::Cur() { return *ctx_.ReadPar; }

bool TRtfReader::HasChars() const { return ctx_.ReadPar->Codes.Length > 0; }

uint8_t TRtfReader::LastCode() const {
  const TMemory& codes = ctx_.ReadPar->Codes;
  return codes.Length > 0 ? codes.Data[codes.Length - 1] : 0;
}

void TRtfReader::AppendTag(uint8_t kind, int32_t value) { AppendContentTag(Cur().Content, kind, value); }

void TRtfReader::AppendCharTag(uint8_t kind, int32_t value, uint8_t code) {
  AppendContentTag(Cur().Content, kind, value);
  Cur().Codes.AppendByte(code);
}

void TRtfReader::AppendSpecial(uint8_t code) { AppendCharTag(ctSpecialChar, code, code); }

void TRtfReader::AppendRawBytes(const uint8_t* bytes, int32_t count) {
  Cur().Content.Append(bytes, count);
  Cur().Codes.Append(bytes, count);
}

// Text bytes: runs of ordinary bytes in one move, tab and the code-page dashes and no-break space
// as special characters, other control bytes dropped.
void TRtfReader::AppendTextRun(const uint8_t* bytes, int32_t count) {
  uint8_t mapped[256];
  while (count > 0) {
    const uint8_t* run = bytes;
    int32_t n = std::min(count, 256);
    if ((flags_ & rfMac) != 0) {
      const auto& table = MacToAnsi();
      for (int32_t i = 0; i < n; ++i) mapped[i] = table[bytes[i]];
      run = mapped;
    }
    int32_t i = 0;
    while (i < n) {
      int32_t j = i;
      while (j < n && run[j] >= 32 && SpecialOfByte(run[j]) == 0) ++j;
      if (j > i) AppendRawBytes(run + i, j - i);
      if (j < n) {
        const uint8_t special = SpecialOfByte(run[j]);
        if (special != 0) AppendSpecial(special);
        ++j;
      }
      i = j;
    }
    bytes += n;
    count -= n;
  }
}

uint8_t TRtfReader::UnitToByte(char16_t unit, uint32_t& codePage) {
  const auto found = unitCache_.find(unit);
  if (found != unitCache_.end()) {
    codePage = found->second >> 8;
    return static_cast<uint8_t>(found->second & 0xFF);
  }
  codePage = CodePageOfChar(unit, NO_CODE_PAGE);
  uint8_t byte = '?';
  if (codePage != NO_CODE_PAGE) {
    const std::string converted = WideToCodePage(std::u16string(1, unit), codePage);
    if (converted.size() == 1 && static_cast<uint8_t>(converted[0]) != 0) byte = static_cast<uint8_t>(converted[0]);
    else codePage = NO_CODE_PAGE;
  }
  if (unitCache_.size() < 4096) unitCache_[unit] = (codePage << 8) | byte;
  return byte;
}

// A \u character: a special character, a byte of its code page (in the same face switched to
// that code page's character set when the written font's set does not hold it), or a UTF-16
// character. A character outside the basic plane is kept only as a whole surrogate pair.
void TRtfReader::AppendUnicode(char16_t unit) {
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    highSurrogate_ = unit;
    return;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (highSurrogate_ != 0) {
      AppendCharTag(ctWideChar, highSurrogate_, scWideChar);
      AppendCharTag(ctWideChar, unit, scWideChar);
    }
    highSurrogate_ = 0;
    return;
  }
  highSurrogate_ = 0;
  if (unit < 32 && unit != 9) return;
  uint32_t codePage = 0;
  const uint8_t byte = UnitToByte(unit, codePage);
  if (codePage == NO_CODE_PAGE) {
    const uint8_t special = SpecialOfUnit(unit);
    if (special != 0) AppendSpecial(special);
    else AppendCharTag(ctWideChar, unit, scWideChar);
    return;
  }
  if (byte < 128 || (flags_ & rfRedirect) != 0) {
    if (SpecialOfByte(byte) != 0) AppendSpecial(SpecialOfByte(byte));
    else if (byte > 31) AppendRawBytes(&byte, 1);
    return;
  }
  const int32_t font = written_.Font;
  if (TextCodePageOfFont(font) == codePage) {
    if (SpecialOfByte(byte) != 0) AppendSpecial(SpecialOfByte(byte));
    else AppendRawBytes(&byte, 1);
    return;
  }
  TFontManager* fm = FontManager();
  if (fm == nullptr || !fm->IsValidFont(font)) {
    AppendCharTag(ctWideChar, unit, scWideChar);
    return;
  }
  const int32_t switched =
      fm->FontWithCharset(fm->RegFonts[static_cast<size_t>(font)].FontId, CodePageToCharset(codePage));
  if (switched < 0 || TextCodePageOfFont(switched) != codePage) {
    AppendCharTag(ctWideChar, unit, scWideChar);
    return;
  }
  AppendTag(ctFont, switched);
  if (SpecialOfByte(byte) != 0) AppendSpecial(SpecialOfByte(byte));
  else AppendRawBytes(&byte, 1);
  AppendTag(ctFont, font);
}

int32_t TRtfReader::DocLanguage() const {
  return doc_.DefaultLanguage != 0 ? doc_.DefaultLanguage : DefaultCharFormat.Language;
}

// ---- control words ----

void TRtfReader::HandleControlWord(const TRtfItem& w) {
  if (w.Word < 0) {
    HandleUnlistedWord(w);
    return;
  }
  const bool redirected = (flags_ & rfRedirect) != 0;
  TCharFormat& cf = redirected ? *charTarget_ : written_;
  TParFormat& pf = redirected ? *parTarget_ : Cur().Format;
  if (HandleCharWord(w, cf) || HandleParWord(w, pf) || HandleBorderWord(w) || HandleSpecialWord(w) ||
      HandleTableWord(w) || HandleSectionWord(w) || HandleDocumentWord(w) || HandleShapeWord(w))
    return;
  HandleListWord(w);
}

void TRtfReader::SetCharProp(TCharFormat& target, int kind, int32_t value) {
  target[kind] = value;
  if (&target == &written_) AppendTag(static_cast<uint8_t>(kind), value);
}

bool TRtfReader::GuardedByTocStyle(int kind, int32_t value) const {
  if ((flags_ & rfToc) == 0 || written_.CharStyle == CharUnset || written_.CharStyle < 0) return false;
  for (auto it = ctx_.CharStyles.rbegin(); it != ctx_.CharStyles.rend(); ++it) {
    if (it->Number != written_.CharStyle) continue;
    std::string name = it->Name;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == "hyperlink" && it->Format[kind] == value;
  }
  return false;
}

int32_t TRtfReader::ColourOf(int32_t index) const {
  if (index < 0 || static_cast<size_t>(index) >= colours_.size()) return AutoColor;
  return colours_[static_cast<size_t>(index)];
}

int32_t TRtfReader::DefaultFontIndex() const { return defaultFont_; }

int32_t TRtfReader::FontOf(int32_t number) const {
  if (fontsSorted_) {
    const auto it = std::lower_bound(fonts_.begin(), fonts_.end(), number,
                                     [](const TRtfFont& f, int32_t n) { return f.Number < n; });
    if (it != fonts_.end() && it->Number == number) return it->Index;
  } else {
    for (const TRtfFont& f : fonts_)
      if (f.Number == number) return f.Index;
  }
  return DefaultFontIndex();
}

void TRtfReader::Plain(TCharFormat& target) {
  const auto set = [&](int kind, int32_t value) {
    if (target[kind] != value) SetCharProp(target, kind, value);
  };
  set(cpFont, DefaultFontIndex());
  for (int kind = cpSize; kind <= cpKerning; ++kind) set(kind, DefaultCharFormat[kind]);
  SetCharProp(target, cpLanguage, DocLanguage());
  charShading_ = 0;
  charPattern_ = AutoColor;
}

bool TRtfReader::HandleCharWord(const TRtfItem& w, TCharFormat& cf) {
  const int32_t p = w.Param;
  const int32_t p1 = w.HasParam ? p : 1;
  int kind = -1;
  int32_t value = 0;
  bool toggle = false;
  switch (w.Word) {
    case RtfWord("plain"): Plain(cf); return true;
    case RtfWord("cs"): SetCharProp(cf, cpCharStyle, p); return true;
    case RtfWord("chshdng"): charShading_ = p; return true;
    case RtfWord("chcfpat"): charPattern_ = ColourOf(p); return true;
    case RtfWord("chcbpat"):
      if (charShading_ == 0 && charPattern_ == AutoColor) SetCharProp(cf, cpHighlight, ColourOf(p));
      return true;
    case RtfWord("highlight"): SetCharProp(cf, cpHighlight, ColourOf(p)); return true;
    case RtfWord("lang"): SetCharProp(cf, cpLanguage, NormalizeLanguageId(p)); return true;
    case RtfWord("deflang"):
      doc_.DefaultLanguage = NormalizeLanguageId(p);
      SetCharProp(cf, cpLanguage, doc_.DefaultLanguage);
      return true;
    case RtfWord("f"): kind = cpFont; value = FontOf(p); break;
    case RtfWord("fs"):
      if (p < 2 || p > 2000) return true;
      kind = cpSize, value = p;
      break;
    case RtfWord("b"): kind = cpBold, toggle = true; break;
    case RtfWord("i"): kind = cpItalic, toggle = true; break;
    case RtfWord("strike"): kind = cpStrike, toggle = true; break;
    case RtfWord("scaps"): kind = cpSmallCaps, toggle = true; break;
    case RtfWord("caps"): kind = cpAllCaps, toggle = true; break;
    case RtfWord("shad"): kind = cpShadow, toggle = true; break;
    case RtfWord("outl"): kind = cpOutline, toggle = true; break;
    case RtfWord("embo"): kind = cpEmboss, toggle = true; break;
    case RtfWord("impr"): kind = cpEngrave, toggle = true; break;
    case RtfWord("striked"): kind = cpDoubleStrike, value = w.HasParam && p != 0 ? 1 : 0; break;
    case RtfWord("ul"): kind = cpUnderline, value = p1 != 0 ? 1 : 0; break;
    case RtfWord("uld"): kind = cpUnderline, value = 4; break;
    case RtfWord("uldash"): kind = cpUnderline, value = 7; break;
    case RtfWord("uldashd"): kind = cpUnderline, value = 9; break;
    case RtfWord("uldashdd"): kind = cpUnderline, value = 10; break;
    case RtfWord("uldb"): kind = cpUnderline, value = 3; break;
    case RtfWord("ulhwave"): kind = cpUnderline, value = 27; break;
    case RtfWord("ulldash"): kind = cpUnderline, value = 39; break;
    case RtfWord("ulnone"): kind = cpUnderline, value = 0; break;
    case RtfWord("ulth"): kind = cpUnderline, value = 6; break;
    case RtfWord("ulthd"): kind = cpUnderline, value = 20; break;
    case RtfWord("ulthdash"): kind = cpUnderline, value = 23; break;
    case RtfWord("ulthdashd"): kind = cpUnderline, value = 25; break;
    case RtfWord("ulthdashdd"): kind = cpUnderline, value = 26; break;
    case RtfWord("ulthldash"): kind = cpUnderline, value = 55; break;
    case RtfWord("ululdbwave"): kind = cpUnderline, value = 43; break;
    case RtfWord("ulw"): kind = cpUnderline, value = 2; break;
    case RtfWord("ulwave"): kind = cpUnderline, value = 11; break;
    case RtfWord("ulc"): kind = cpUnderlineColor, value = ColourOf(p); break;
    case RtfWord("cf"): kind = cpColor, value = ColourOf(p); break;
    case RtfWord("super"): kind = cpScript, value = 1; break;
    case RtfWord("sub"): kind = cpScript, value = 2; break;
    case RtfWord("nosupersub"): kind = cpScript, value = 0; break;
    case RtfWord("charscalex"):
      if (p < 1 || p > 600) return true;
      kind = cpScale, value = p;
      break;
    case RtfWord("expnd"): kind = cpSpacing, value = std::clamp(p, -kRtfTwipsLimit / 5, kRtfTwipsLimit / 5) * 5; break;
    case RtfWord("expndtw"): kind = cpSpacing, value = Clamp16(p); break;
    case RtfWord("up"): kind = cpVertOffset, value = Clamp16(p) / 2; break;
    case RtfWord("dn"): kind = cpVertOffset, value = -(Clamp16(p) / 2); break;
    case RtfWord("kerning"): kind = cpKerning, value = std::clamp(p, 0, 2000); break;
    default: return false;
  }
  if (toggle) {
    value = p1 != 0 ? 1 : 0;
    if (cf[kind] == value) return true;
  }
  if (GuardedByTocStyle(kind, value)) return true;
  SetCharProp(cf, kind, value);
  return true;
}

void TRtfReader::AddTab(int32_t position, int kind) {
  TParFormat& pf = (flags_ & rfRedirect) != 0 ? *parTarget_ : Cur().Format;
  if (!tabsActive_) {
    tabs_ = GetTabManager().Table(pf.TabSet == ParUnset16 ? 0 : pf.TabSet);
    tabsActive_ = true;
  }
  AddTabStop(tabs_, PackTabStop(std::clamp(position, 0, kRtfTwipsLimit), kind, tabLeader_));
  tabKind_ = 0;
  tabLeader_ = 0;
}

TParBorders& TRtfReader::PendingBorders() {
  if (!bordersActive_) {
    const TParFormat& pf = (flags_ & rfRedirect) != 0 ? *parTarget_ : Cur().Format;
    if (pf.Borders > 0) borders_ = GetParBorders(pf.Borders);
    else InitParBorders(borders_);
    bordersActive_ = true;
  }
  return borders_;
}

// Pending tab stops and borders become the format's interned sets.
void TRtfReader::InternPending(TParFormat& format) {
  if (tabsActive_) {
    TTabTable sorted = tabs_;
    SortTabStops(sorted);
    format.TabSet = static_cast<int16_t>(GetTabManager().AddTable(sorted));
  }
  if (bordersActive_ && (flags_ & rfBorders) != 0) {
    format.Borders = static_cast<int16_t>(InternParBorders(borders_));
    flags_ &= ~rfBorders;
  }
}

void TRtfReader::Pard(TParFormat& pf) {
  const int8_t pageBreak = pf.PageBreakBefore;
  pf = DefaultParFormat;
  if (&pf == &Cur().Format && HasChars()) pf.PageBreakBefore = pageBreak;
  pf.WidowControl = static_cast<int8_t>(doc_.FileSettings.WidowControl);
  tabs_.clear();
  tabsActive_ = false;
  tabKind_ = tabLeader_ = 0;
  bordersActive_ = false;
  borderTarget_ = {};
  flags_ &= ~rfBorders;
  ClearShadingWords();
  dropType_ = 0;
}

void TRtfReader::ClearShadingWords() {
  parShading_ = 0;
  parPattern_ = AutoColor;
  parBack_ = AutoColor;
}

// A percentage shows the pattern colour over the background; without one the background alone.
void TRtfReader::ApplyParShading(TParFormat& pf) const {
  if (parShading_ > 0) pf.Shading = MixedShading(parShading_, parPattern_, parBack_);
  else if (parBack_ != AutoColor) pf.Shading = parBack_;
}

bool TRtfReader::HandleParWord(const TRtfItem& w, TParFormat& pf) {
  const int32_t p = w.Param;
  const int32_t p1 = w.HasParam ? p : 1;
  switch (w.Word) {
    case RtfWord("fi"): pf.FirstIndent = static_cast<int16_t>(Clamp16(p)); return true;
    case RtfWord("li"): pf.LeftIndent = static_cast<int16_t>(Clamp16(p)); return true;
    case RtfWord("ri"): pf.RightIndent = static_cast<int16_t>(Clamp16(p)); return true;
    case RtfWord("sl"):
      pf.LineSpacing = static_cast<int16_t>(p == 0 || p == 1000 ? 240 : Clamp16(p));
      pf.LineRule = 0;
      return true;
    case RtfWord("slmult"):
      pf.LineRule = static_cast<int16_t>(std::clamp(p, -1, 1));
      if (pf.LineRule != 0 && pf.LineSpacing < 0 && pf.LineSpacing != ParUnset16) pf.LineRule = 0;
      return true;
    case RtfWord("ql"): pf.Alignment = 0; return true;
    case RtfWord("qc"): pf.Alignment = 1; return true;
    case RtfWord("qr"): pf.Alignment = 2; return true;
    case RtfWord("qj"): pf.Alignment = 3; return true;
    case RtfWord("keepn"): pf.KeepNext = 1; return true;
    case RtfWord("keepnoff"): pf.KeepNext = 0; return true;
    case RtfWord("keep"): pf.KeepLines = 1; return true;
    case RtfWord("keepoff"): pf.KeepLines = 0; return true;
    case RtfWord("pagebb"): pf.PageBreakBefore = 1; return true;
    case RtfWord("pagebboff"): pf.PageBreakBefore = 0; return true;
    case RtfWord("widctlpar"): pf.WidowControl = 1; return true;
    case RtfWord("nowidctlpar"): pf.WidowControl = 0; return true;
    case RtfWord("hyphpar"): pf.NoHyphenation = static_cast<int8_t>((p1 ^ 1) & 1); return true;
    case RtfWord("sb"): pf.SpaceBefore = static_cast<int16_t>(Clamp16(p)); return true;
    case RtfWord("sa"): pf.SpaceAfter = static_cast<int16_t>(Clamp16(p)); return true;
    case RtfWord("sbauto"):
      if (p == 1) pf.SpaceBefore = -20;
      else if (pf.SpaceBefore == -20) pf.SpaceBefore = 0;
      return true;
    case RtfWord("saauto"):
      if (p == 1) pf.SpaceAfter = -20;
      else if (pf.SpaceAfter == -20) pf.SpaceAfter = 0;
      return true;
    case RtfWord("contextualspace"): pf.Contextual = static_cast<int8_t>(p1 != 0); return true;
    case RtfWord("noline"): pf.NoLineNumbers = static_cast<int8_t>(p1 != 0); return true;
    case RtfWord("s"):
      if (styleRead_ != nullptr) {
        styleRead_->Number = p;
        pf.Style = static_cast<int16_t>(std::clamp(p, 0, 32767));
      } else {
        pf.Style = static_cast<int16_t>(StyleIndexOfNumber(p));
      }
      return true;
    case RtfWord("outlinelevel"): pf.OutlineLevel = static_cast<int8_t>(p < 0 || p > 9 ? 9 : p); return true;
    case RtfWord("ls"):
      if ((flags_ & rfOverride) != 0) {
        overrideNumber_ = std::max(p, 1);
      } else if (styleRead_ != nullptr || (flags_ & rfRedirect) != 0) {
        pf.List = p;
      } else {
        pf.List = ListNumberOfOverride(p);
      }
      return true;
    case RtfWord("ilvl"): pf.ListLevel = static_cast<int8_t>(std::clamp(p, 0, 8)); return true;
    case RtfWord("intbl"):
      if (!TablesAllowed()) return true;
      pf.InTable = 1;
      ctx_.TablesRead = true;
      return true;
    case RtfWord("shading"): parShading_ = std::clamp(p, 0, 10000); ApplyParShading(pf); return true;
    case RtfWord("cfpat"): parPattern_ = ColourOf(p); ApplyParShading(pf); return true;
    case RtfWord("cbpat"): parBack_ = ColourOf(p); ApplyParShading(pf); return true;
    case RtfWord("pard"): Pard(pf); return true;
    case RtfWord("tqc"): tabKind_ = tkCenter; return true;
    case RtfWord("tqr"): tabKind_ = tkRight; return true;
    case RtfWord("tqdec"): tabKind_ = tkDecimal; return true;
    case RtfWord("jclisttab"): tabKind_ = tkList; return true;
    case RtfWord("tldot"): tabLeader_ = tlDots; return true;
    case RtfWord("tlhyph"): tabLeader_ = tlHyphens; return true;
    case RtfWord("tlul"): tabLeader_ = tlUnderline; return true;
    case RtfWord("tx"):
      if (tabKind_ == tkList) {
        tabKind_ = tabLeader_ = 0;
        return true;
      }
      AddTab(p, tabKind_);
      return true;
    case RtfWord("tb"): AddTab(p, tkBar); return true;
    default: return false;
  }
}

bool TRtfReader::HandleBorderWord(const TRtfItem& w) {
  const int32_t p = w.Param;
  TRtfBorderTarget& t = borderTarget_;
  const auto paragraphLine = [&](TBorderLine TParBorders::*line) {
    t.Select(&(PendingBorders().*line));
    flags_ |= rfBorders;
  };
  int32_t style = -1;
  switch (w.Word) {
    case RtfWord("brdrl"): paragraphLine(&TParBorders::Left); return true;
    case RtfWord("brdrt"): paragraphLine(&TParBorders::Top); return true;
    case RtfWord("brdrr"): paragraphLine(&TParBorders::Right); return true;
    case RtfWord("brdrb"): paragraphLine(&TParBorders::Bottom); return true;
    case RtfWord("brdrbtw"): paragraphLine(&TParBorders::Inside); return true;
    case RtfWord("brdrw"):
      if (t.Line != nullptr && t.Width) {
        t.Apply([&](TBorderLine& line) { line.Width = std::clamp(p, 0, 255); });
        t.Width = false;
      }
      return true;
    case RtfWord("brdrcf"):
      if (t.Line != nullptr && t.Color) {
        const auto colour = ColourOf(p);
        t.Apply([&](TBorderLine& line) { line.Color = colour; });
        t.Color = false;
      }
      return true;
    case RtfWord("brsp"):
      if (t.Line != nullptr && t.Space) {
        t.Apply([&](TBorderLine& line) { line.Distance = std::clamp(p, 0, kRtfTwipsLimit); });
        t.Space = false;
      }
      return true;
    case RtfWord("brdrs"): style = 1; break;
    case RtfWord("brdrth"): style = 2; break;
    case RtfWord("brdrdb"): style = 3; break;
    case RtfWord("brdrhair"): style = 5; break;
    case RtfWord("brdrdot"): style = 6; break;
    case RtfWord("brdrdash"): style = 7; break;
    case RtfWord("brdrdashd"): style = 8; break;
    case RtfWord("brdrdashdd"): style = 9; break;
    case RtfWord("brdrtriple"): style = 10; break;
    case RtfWord("brdrtnthsg"): style = 11; break;
    case RtfWord("brdrthtnsg"): style = 12; break;
    case RtfWord("brdrtnthtnsg"): style = 13; break;
    case RtfWord("brdrtnthmg"): style = 14; break;
    case RtfWord("brdrthtnmg"): style = 15; break;
    case RtfWord("brdrtnthtnmg"): style = 16; break;
    case RtfWord("brdrtnthlg"): style = 17; break;
    case RtfWord("brdrthtnlg"): style = 18; break;
    case RtfWord("brdrtnthtnlg"): style = 19; break;
    case RtfWord("brdrwavy"): style = 20; break;
    case RtfWord("brdrwavydb"): style = 21; break;
    case RtfWord("brdrdashsm"): style = 22; break;
    case RtfWord("brdrdashdotstr"): style = 23; break;
    case RtfWord("brdremboss"): style = 24; break;
    case RtfWord("brdrengrave"): style = 25; break;
    case RtfWord("brdroutset"): style = 26; break;
    case RtfWord("brdrinset"): style = 27; break;
    case RtfWord("brdrnone"): style = BorderStyleNone; break;
    default: return false;
  }
  if (t.Line != nullptr && t.Style) {
    t.Apply([&](TBorderLine& line) { line.Style = style; });
    t.Style = false;
  }
  return true;
}

void TRtfReader::HandleUnlistedWord(const TRtfItem& w) {
  // \box borders the paragraph on all four sides with the border words that follow (other
  // programs write it for a paragraph whose four borders are alike).
  if (w.Name() == "box") {
    borderTarget_.SelectBox(PendingBorders());
    flags_ |= rfBorders;
  }
  // \clmrg: the cell being defined is merged into the one before (\clmgf, which starts such a
  // merge, needs nothing).
  if (w.Name() == "clmrg") merges_.MergesLeft = true;
  // \nestcell ends a cell of a table within a table, which the document cannot hold: its text
  // stays in the outer cell, the nested cells parted by tabs (each nested row ends with the
  // paragraph mark that files give readers of plain tables).
  if (w.Name() == "nestcell" && !SkippingText() && (flags_ & rfInstruction) == 0) AppendSpecial(scTab);
  // Tab leaders the document has no kind of: a thick line shows as the underline, middle dots
  // as dots and equal signs as hyphens.
  if (w.Name() == "tlth") tabLeader_ = tlUnderline;
  else if (w.Name() == "tlmdot") tabLeader_ = tlDots;
  else if (w.Name() == "tleq") tabLeader_ = tlHyphens;
}

bool TRtfReader::HandleSpecialWord(const TRtfItem& w) {
  uint8_t text = 0, special = 0;
  switch (w.Word) {
    case RtfWord("bullet"): text = 149; break;
    case RtfWord("lquote"): text = 145; break;
    case RtfWord("rquote"): text = 146; break;
    case RtfWord("ldblquote"): text = 147; break;
    case RtfWord("rdblquote"): text = 148; break;
    case RtfWord("emdash"): special = scEmDash; break;
    case RtfWord("endash"): special = scEnDash; break;
    case RtfWord("tab"): special = scTab; break;
    case RtfWord("line"): special = scLineBreak; break;
    case RtfWord("chftn"): special = scAutoNoteMark; break;
    case RtfWord("page"):
    case RtfWord("column"):
      if ((flags_ & rfInstruction) != 0) return true;
      if (Cur().Format.InTable == 1 || ctx_.FillList != &doc_.Paragraphs ||
          (doc_.PasteTarget & (ptNotMainStory | ptTableCell)) != 0)
        special = scLineBreak;
      else
        special = w.Word == RtfWord("page") ? scPageBreak : scColumnBreak;
      break;
    case RtfWord("par"): EndParagraph(); return true;
    default: return false;
  }
  if (SkippingText()) return true;
  if (text != 0) AppendRawBytes(&text, 1);
  else AppendSpecial(special);
  return true;
}

// ---- paragraphs ----

std::unique_ptr<TPar> TRtfReader::MakePar(const TParFormat& format) {
  auto par = std::make_unique<TPar>(&doc_);
  par->Format = format;
  return par;
}

void TRtfReader::EndParagraph() {
  if (SkippingText() || (flags_ & rfInstruction) != 0) return;
  if (dropType_ == 1 || dropType_ == 2) {
    if (HasChars() && Cur().Format.InTable != 1 && (flags_ & (rfNote | rfHeaderFooter)) == 0 &&
        ctx_.FillList == &doc_.Paragraphs && (doc_.PasteTarget & (ptNotMainStory | ptTableCell)) == 0) {
      // The paragraph goes on: the new paragraph that this \par would start is skipped now, not
      // at the paragraph's own \par later (which would leave its mark inside the paragraph).
      MakeDropCap();
      if ((flags_ & rfDropCap) != 0) {
        NewParagraph();
        return;
      }
    }
  }
  AppendSpecial(scParagraphEnd);
  NewParagraph();
}

// The paragraph's text so far becomes a drop cap: a field of kind 8 around it; the paragraph
// goes on.
void TRtfReader::MakeDropCap() {
  auto field = std::make_unique<TField>();
  field->Kind = fkDropCap;
  auto record = std::make_unique<TDropCapRecord>();
  // The settings' first byte is the kind, the 16-bit value the distance from the text and the
  // last word the exact line height.
  record->Settings.First = static_cast<uint8_t>(dropType_);
  record->Settings.Lines = static_cast<uint8_t>(dropLines_ == 0 ? 3 : dropLines_);
  record->Settings.Value16 = static_cast<uint16_t>(dropDistance_);
  const TParFormat& pf = Cur().Format;
  if (pf.LineSpacing < 0 && pf.LineSpacing != ParUnset16 && pf.LineRule == 0) record->Settings.Last = static_cast<uint32_t>(-pf.LineSpacing);
  field->Attachment = std::move(record);
  TField* made = field.get();
  if (!AddField(std::move(field))) return;
  InsertContentTag(Cur().Content, 0, ctFieldStart, TagRefOf(made));
  AppendTag(ctFieldEnd, TagRefOf(made));
  flags_ |= rfDropCap;
  dropType_ = 0;
}

void TRtfReader::NewParagraph() {
  if ((flags_ & rfDropCap) != 0) {
    flags_ &= ~rfDropCap;
    return;
  }
  InternPending(Cur().Format);
  auto par = MakePar(Cur().Format);
  TPar* made = par.get();
  ctx_.FillList->push_back(std::move(par));
  ctx_.ReadPar = made;
  for (int kind = TCharFormat::Count - 1; kind >= 0; --kind)
    if (written_[kind] != DefaultCharFormat[kind]) AppendTag(static_cast<uint8_t>(kind), written_[kind]);
}

bool TRtfReader::AddField(std::unique_ptr<TField> field) {
  if (++fieldCount_ > kRtfMaxFields) {
    StopDamaged();
    return false;
  }
  doc_.Fields.push_back(std::move(field));
  return true;
}

// ---- the entry ----

bool ReadRtf(TOpenContext& context) {
  if (context.Document == nullptr) return false;
  bool damaged = false;
  try {
    TRtfReader reader(context);
    reader.Read();
    damaged = reader.Damaged();
  } catch (const EAbort&) {
    return false;
  } catch (const std::exception&) {
    return false;
  }
  if (damaged) {
    const std::string name = context.Options.FileName.empty() ? std::string("(untitled)") : context.Options.FileName;
    ShowErrorFmt(kDamagedMessage, name);
  }
  return true;
}

}  // namespace qv
