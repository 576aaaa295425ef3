#include "document/par.h"

#include <algorithm>
#include <array>

#include "document/auto_list.h"
#include "document/content_stream.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field.h"
#include "document/line.h"
#include "document/section.h"
#include "document/styles.h"
#include "foundation/text/code_pages.h"
#include "foundation/fonts/font_manager.h"

namespace qv {

TPar::TPar(TDoc* doc) : Doc(doc) {}

TPar::~TPar() { ReleaseLines(0); }

void TPar::ContentChanged() {
  Flags &= static_cast<uint16_t>(~(pfNormalized | pfWideTextValid | pfWordCacheValid));
}

void TPar::RebuildCodes() { BuildCharCodes(Content, Codes); }

int32_t TPar::CharToStreamOffset(int32_t index) const {
  const int32_t n = CharCount();
  if (n <= 0) return 0;
  index = std::clamp(index, 0, n - 1);
  int32_t offset = 0;
  int32_t count = 0;
  TStreamItem item;
  while (ReadStreamItem(Content.Data, Content.Length, offset, item)) {
    if (item.ItemType == TStreamItem::siDamaged ||
        (item.ItemType == TStreamItem::siTag && IsPositionlessTagKind(item.Tag.Kind))) {
      offset += item.Size;
      continue;
    }
    if (count == index) return offset;
    if (item.ItemType == TStreamItem::siTag) {
      offset += ContentTagSize;
      ++count;
    } else {
      const int32_t take = std::min(item.Size, index - count);
      offset += take;
      count += take;
    }
  }
  return offset;
}

int32_t TPar::StreamOffsetToChar(int32_t offset) const {
  int32_t count = 0;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(Content.Data, Content.Length, off, item); off += item.Size) {
    if (off >= offset) break;
    if (item.ItemType == TStreamItem::siText)
      count += std::min(item.Size, offset - off);
    else
      count += item.Chars();
  }
  return count;
}

void TPar::GetCharFormatAt(int32_t index, TCharFormat& out) const {
  out = DefaultCharFormat;
  const int32_t limit = index >= CharCount() ? Content.Length : CharToStreamOffset(index);
  TStreamItem item;
  for (int32_t off = 0; off < limit && ReadStreamItem(Content.Data, Content.Length, off, item);
       off += item.Size)
    if (item.ItemType == TStreamItem::siTag && IsFormatTagKind(item.Tag.Kind))
      out[item.Tag.Kind] = item.Tag.Value;
}

TStyle* TPar::GetStyle() const {
  if (Doc == nullptr || !Doc->Styles) return nullptr;
  return Doc->Styles->Get(GetParFormatProp(Format, ppStyle));
}

TSection* TPar::SectionBreak() const {
  int32_t end = Content.Length;
  while (TagEndsBefore(Content.Data, end) && IsTagAt(Content.Data, Content.Length, end - 7)) {
    const TContentTag tag = ReadTagAt(Content.Data, end - 7);
    if (IsCharTagKind(tag.Kind))
      return SectionOfTag(tag);
    end -= ContentTagSize;
  }
  return nullptr;
}

bool TPar::OnlyBreaksBefore(int32_t index) const {
  const int32_t n = std::min(index, CharCount());
  for (int32_t i = 0; i < n; ++i) {
    const uint8_t c = Codes.Data[i];
    if (c != scColumnBreak && c != scPageBreak) return false;
  }
  return true;
}

bool TPar::HasAutoNoteMark() const {
  return std::find(Codes.Data, Codes.Data + Codes.Length, scAutoNoteMark) !=
         Codes.Data + Codes.Length;
}

namespace {

bool IsSymbolFont(int32_t font) {
  const TFontManager* fm = FontManager();
  return fm != nullptr && fm->IsValidFont(font) &&
         fm->RegFonts[static_cast<size_t>(font)].Charset == 2;
}

}  // namespace

std::vector<int32_t> TPar::GetSymbolCharPositions() {
  NormalizeParagraphTags(*this);
  std::vector<int32_t> out;
  if (!HasFlag(pfSymbolText)) return out;
  bool symbolFont = IsSymbolFont(DefaultCharFormat.Font);
  std::vector<const TField*> openSymbolFields;
  int32_t index = 0;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(Content.Data, Content.Length, off, item); off += item.Size) {
    if (item.ItemType == TStreamItem::siText) {
      if (symbolFont || !openSymbolFields.empty())
        for (int32_t i = 0; i < item.Size; ++i) out.push_back(index + i);
      index += item.Size;
      continue;
    }
    if (item.ItemType != TStreamItem::siTag) continue;
    const TContentTag& t = item.Tag;
    if (t.Kind == ctFont) {
      symbolFont = IsSymbolFont(t.Value);
    } else if (t.Kind == ctFieldStart || t.Kind == ctFieldEnd) {
      const TField* f = FieldOfTag(t);
      if (f == nullptr || f->Kind != fkField || f->FieldType != ftSymbol) continue;
      if (t.Kind == ctFieldStart) {
        openSymbolFields.push_back(f);
      } else {
        auto it = std::find(openSymbolFields.begin(), openSymbolFields.end(), f);
        if (it != openSymbolFields.end()) openSymbolFields.erase(it);
      }
    } else if (IsCharTagKind(t.Kind)) {
      if (t.Kind == ctWideChar || !openSymbolFields.empty()) out.push_back(index);
      ++index;
    }
  }
  return out;
}

bool TPar::HasNumberedLevel() const {
  const int32_t list = GetParFormatProp(Format, ppList);
  if (Doc == nullptr || list == ParUnset32 || list == 0) return false;
  const TAutoList* l = Doc->ListByNumber(list);
  const int32_t level = GetParFormatProp(Format, ppListLevel);
  return l != nullptr && l->IsNumberedLevel(level == ParUnset32 ? 0 : level);
}

std::u16string TPar::GetNumberText() const {
  std::u16string text;
  if (!HasNumberedLevel() || !NumberPar) return text;
  const TAutoList* list = Doc->ListByNumber(GetParFormatProp(Format, ppList));
  int32_t level = GetParFormatProp(Format, ppListLevel);
  if (list->SingleLevel || level < 0 || level >= ListLevelCount) level = 0;
  const bool follows = list->ListLevels[static_cast<size_t>(level)].Follow != 2;
  const TPar& np = *NumberPar;
  int32_t n = np.CharCount();
  if (follows && n > 0) --n;  // the follow character itself is not part of the number
  for (int32_t i = 0; i < n; ++i) {
    const int32_t off = np.CharToStreamOffset(i);
    if (IsTagAt(np.Content.Data, np.Content.Length, off)) {
      const TContentTag tag = ReadTagAt(np.Content.Data, off);
      text.push_back(tag.Kind == ctWideChar ? static_cast<char16_t>(tag.Value & 0xFFFF)
                                            : static_cast<char16_t>(CharCodeOfTag(tag.Kind, tag.Value)));
    } else if (off < np.Content.Length) {
      text += CodePageToWide(std::string(1, static_cast<char>(np.Content.Data[off])), 1252);
    }
  }
  if (follows && CharCount() > 1) text.push_back(u' ');
  return text;
}

void TPar::SaveState(TParSnapshot& snapshot) {
  snapshot.Lines = std::move(Lines);
  Lines.clear();
  snapshot.Content = Content;
  snapshot.Codes = Codes;
  snapshot.Flags = Flags;
  snapshot.Taken = true;
  Flags &= static_cast<uint16_t>(~pfLinesValid);
}

void TPar::RestoreState(TParSnapshot& snapshot) {
  if (!snapshot.Taken) return;
  ReleaseLines(0);
  Lines = std::move(snapshot.Lines);
  snapshot.Lines.clear();
  Content = std::move(snapshot.Content);
  Codes = std::move(snapshot.Codes);
  Flags = snapshot.Flags;
  snapshot.Content.Clear();
  snapshot.Codes.Clear();
  snapshot.Taken = false;
}

void TPar::ReleaseLines(int32_t from) {
  from = std::max(from, 0);
  for (size_t i = static_cast<size_t>(from); i < Lines.size(); ++i)
    qv::ReleaseLine(Lines[i]);
  if (static_cast<size_t>(from) < Lines.size()) Lines.resize(static_cast<size_t>(from));
  Flags &= static_cast<uint16_t>(~pfLinesValid);
}

// --- Spell-check state ---

void TPar::InvalidateSpelling() {
  const int32_t generation = DocServices().SpellcheckGeneration();
  if (Spell.Generation == generation) return;
  Spell.Generation = generation;
  Spell.CheckedStart = Spell.CheckedEnd = 0;
  Spell.Marks.clear();
  Spell.MarkCount = 0;
  const size_t checkers = static_cast<size_t>(std::max(DocServices().SpellcheckerCount(), 0));
  Spell.CheckerBuffer1.assign(checkers, 0);
  Spell.CheckerBuffer2.assign(checkers, 0);
}

void TPar::AddSpellCheckedSpan(int32_t start, int32_t end) {
  if (start >= end) return;
  InvalidateSpelling();
  if (Spell.CheckedStart >= Spell.CheckedEnd) {
    Spell.CheckedStart = start;
    Spell.CheckedEnd = end;
  } else if (start <= Spell.CheckedEnd && end >= Spell.CheckedStart) {
    Spell.CheckedStart = std::min(Spell.CheckedStart, start);
    Spell.CheckedEnd = std::max(Spell.CheckedEnd, end);
  }
}

void TPar::AddSpellMark(int32_t start, int32_t end, int32_t value) {
  InvalidateSpelling();
  for (const TSpellMark& m : Spell.Marks)
    if (m.Start == start && m.End == end) return;
  Spell.Marks.push_back({start, end, value});
  const uint32_t n = static_cast<uint32_t>(Spell.Marks.size()) & TParSpellState::CountMask;
  Spell.MarkCount = (Spell.MarkCount & ~TParSpellState::CountMask) | n;
  Spell.MarkCount |= value == 0x800000 ? TParSpellState::NoProofBit : TParSpellState::OtherMarkBit;
}

bool TPar::SpellCheckedWithin(int32_t start, int32_t end) const {
  return Spell.Generation == DocServices().SpellcheckGeneration() && start >= Spell.CheckedStart &&
         end <= Spell.CheckedEnd;
}

// --- Text ---

uint32_t TextCodePageOfFont(int32_t fontNumber) {
  const TFontManager* fm = FontManager();
  if (fm == nullptr || !fm->IsValidFont(fontNumber)) return 1252;
  const int32_t charset = fm->RegFonts[static_cast<size_t>(fontNumber)].Charset;
  const uint32_t cp = CharsetToCodePage(charset);
  return (charset == 2 || cp < 1250) ? 1252 : cp;
}

namespace {

// The characters of the 256 bytes of the Windows code pages 1250 to 1258, which text bytes are
// mostly in; null for other pages. These pages convert every byte on its own, so a table made
// once gives what converting each run would give.
const char16_t* SingleByteTable(uint32_t cp) {
  using TTables = std::array<std::u16string, 9>;
  static const TTables* tables = [] {
    auto* t = new TTables();
    std::string all(256, '\0');
    for (int b = 0; b < 256; ++b) all[static_cast<size_t>(b)] = static_cast<char>(b);
    for (uint32_t i = 0; i < t->size(); ++i) {
      (*t)[i] = CodePageToWide(all, 1250 + i);
      if ((*t)[i].size() != all.size()) (*t)[i].clear();
    }
    return t;
  }();
  if (cp < 1250 || cp > 1258) return nullptr;
  const std::u16string& table = (*tables)[cp - 1250];
  return table.empty() ? nullptr : table.data();
}

// Text bytes stand for one UTF-16 unit each; a conversion that does not give one unit per byte
// is redone byte by byte so that the text stays aligned with the character positions.
void AppendConvertedRun(std::u16string& out, const uint8_t* bytes, int32_t size, uint32_t cp) {
  if (const char16_t* table = SingleByteTable(cp)) {
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(size));
    for (int32_t i = 0; i < size; ++i) out[at + static_cast<size_t>(i)] = table[bytes[i]];
    return;
  }
  const std::string run(reinterpret_cast<const char*>(bytes), static_cast<size_t>(size));
  std::u16string wide = CodePageToWide(run, cp);
  if (wide.size() == run.size()) {
    out += wide;
    return;
  }
  for (char c : run) {
    std::u16string one = CodePageToWide(std::string(1, c), cp);
    out.push_back(one.size() == 1 ? one[0] : u'?');
  }
}

}  // namespace

void AppendParagraphText(const TPar& par, std::u16string& out) {
  out.reserve(out.size() + static_cast<size_t>(par.CharCount()));
  int32_t font = DefaultCharFormat.Font;
  uint32_t cp = TextCodePageOfFont(font);
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size) {
    if (item.ItemType == TStreamItem::siText) {
      AppendConvertedRun(out, par.Content.Data + off, item.Size, cp);
    } else if (item.ItemType == TStreamItem::siTag) {
      const TContentTag& t = item.Tag;
      if (t.Kind == ctFont) {
        font = t.Value;
        cp = TextCodePageOfFont(font);
      } else if (t.Kind == ctWideChar) {
        out.push_back(static_cast<char16_t>(t.Value & 0xFFFF));
      } else if (IsCharTagKind(t.Kind)) {
        out.push_back(CharCodeOfTag(t.Kind, t.Value));
      }
    }
  }
}

void BuildParagraphWideText(TPar& par) {
  NormalizeParagraphTags(par);
  if (par.HasFlag(pfWideTextValid)) return;
  par.WideText.clear();
  AppendParagraphText(par, par.WideText);
  par.Flags |= pfWideTextValid;
}

}  // namespace qv
