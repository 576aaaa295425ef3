#include "editing/ops/case_conversion.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/fragment_pool.h"
#include "document/par.h"
#include "editing/format_operations.h"
#include "editing/ins_del_operation.h"
#include "editing/ops/deletion.h"
#include "editing/ops/font_fallback.h"
#include "editing/ops/keyboard_layout_conversion.h"
#include "editing/ops/text_edit_flags.h"
#include "editing/ops/text_edit_services.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/keyboard_layouts.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

std::string LocaleOf(int32_t language) {
  return language == CharUnset || language <= 0 ? std::string() : LanguageIdToName(language);
}

uint8_t MapCase(uint8_t byte, bool upper, uint32_t codePage, int32_t language) {
  if (byte < 128) {
    // Turkish and Azeri map the dotted and dotless i apart from ASCII; every other language
    // maps ASCII letters by themselves.
    const int32_t primary = language == CharUnset ? 0 : (language & 0x3FF);
    if (primary != 0x1F && primary != 0x2C) {
      if (!std::isalpha(byte)) return byte;
      return static_cast<uint8_t>(upper ? std::toupper(byte) : std::tolower(byte));
    }
  }
  const std::u16string wide = CodePageToWide(std::string(1, static_cast<char>(byte)), codePage);
  if (wide.size() != 1) return byte;
  const std::string locale = LocaleOf(language);
  const std::u16string mapped =
      upper ? plat::ToUpperForLocale(wide, locale) : plat::ToLowerForLocale(wide, locale);
  // Case conversion rewrites bytes in place: a mapping that needs more than one character, or a
  // character the code page lacks, leaves the byte as it is.
  if (mapped.size() != 1) return byte;
  const std::string back = WideToCodePage(mapped, codePage);
  if (back.size() != 1 || CodePageToWide(back, codePage) != mapped) return byte;
  return static_cast<uint8_t>(back[0]);
}

bool IsAlnumByte(uint8_t byte, uint32_t codePage) {
  if (byte < 128) return std::isalnum(byte) != 0;
  const std::u16string wide = CodePageToWide(std::string(1, static_cast<char>(byte)), codePage);
  return wide.size() == 1 && plat::IsCharAlphaNumeric(wide[0]);
}

// The running state of one conversion.
struct TConversionState {
  uint8_t Mode = 0;
  int32_t Language = CharUnset;
  int32_t Font = CharUnset;
  TDocRange Limit;
  // Sentence and word last found.
  TDocRange Sentence{{-1, -1}, {-1, -1}};
  int32_t FirstLetter = -1;
  bool SentenceUpper = false;
  TDocRange Word{{-1, -1}, {-1, -1}};
  bool WordUpper = false;
  bool SentenceCapital = false;
  bool HeadingCapital = false;
  // Keyboard layouts and the target character set.
  const TLayout* Source = nullptr;
  const TLayout* Target = nullptr;
  int32_t TargetCharset = -1;
};

uint32_t CodePageOf(int32_t font) { return TextCodePageOfFont(font); }

// Every character from `from` to the range end is unchanged by upper-casing.
bool WhollyUpper(TDoc& doc, int32_t par, int32_t from, int32_t to, const TConversionState& st) {
  const TPar& p = *doc.Par(par);
  for (int32_t i = std::max(from, 0); i < to && i < p.CharCount() - 1; ++i) {
    const uint8_t c = p.CodeAt(i);
    if (c < 32) continue;
    TCharFormat f;
    p.GetCharFormatAt(i, f);
    if (MapCase(c, true, CodePageOf(f.Font), st.Language) != c) return false;
  }
  return true;
}

void FindSentence(TDoc& doc, int32_t par, int32_t i, TConversionState& st) {
  if (st.Sentence.Start.Par == par && i >= st.Sentence.Start.Offset && i < st.Sentence.End.Offset)
    return;
  TDocPosition at;
  MakePosition(par, i, at);
  TDocRange s = doc.SentenceAt(at);
  if (s.Start.Par != par || ComparePositions(s.Start, st.Limit.Start) < 0) {
    s.Start = st.Limit.Start.Par == par ? st.Limit.Start : TDocPosition{par, 0};
    if (s.Start.Par != par) MakePosition(par, 0, s.Start);
  }
  if (s.End.Par != par) MakePosition(par, doc.ParLength(par) - 1, s.End);
  if (st.Limit.End.Par == par) s.End.Offset = std::min(s.End.Offset, st.Limit.End.Offset);
  if (s.End.Offset <= i) s.End.Offset = i + 1;
  if (s.Start.Offset > i) s.Start.Offset = i;
  st.Sentence = s;
  const TPar& p = *doc.Par(par);
  int32_t first = s.Start.Offset;
  while (first < s.End.Offset && IsWordDelimiterAt(p, p.CodeAt(first), first)) ++first;
  st.FirstLetter = first;
  st.SentenceUpper = WhollyUpper(doc, par, first, s.End.Offset, st);
  st.SentenceCapital = false;
}

void FindWord(TDoc& doc, int32_t par, int32_t i, TConversionState& st) {
  if (st.Word.Start.Par == par && i >= st.Word.Start.Offset && i < st.Word.End.Offset) return;
  TDocPosition at;
  MakePosition(par, i, at);
  const TTextRun w = doc.WordAt(at);
  if (w.Length > 0 && w.Position.Par == par && w.Position.Offset <= i &&
      i < w.Position.Offset + w.Length) {
    MakeRange(par, w.Position.Offset, par, w.Position.Offset + w.Length, st.Word);
  } else {
    MakeRange(par, i, par, i + 1, st.Word);
  }
  st.WordUpper = WhollyUpper(doc, par, st.Word.Start.Offset, st.Word.End.Offset, st);
  st.HeadingCapital = false;
}

uint8_t SentenceCaseByte(TDoc& doc, int32_t par, int32_t i, uint8_t b, uint32_t cp,
                         TConversionState& st) {
  FindSentence(doc, par, i, st);
  if (i != st.FirstLetter && (i < st.FirstLetter || st.SentenceCapital)) {
    FindWord(doc, par, i, st);
    if (st.SentenceUpper || (i > st.Word.Start.Offset && !st.WordUpper))
      return MapCase(b, false, cp, st.Language);
    return b;
  }
  if (!IsAlnumByte(b, cp)) return b;
  st.SentenceCapital = true;
  return MapCase(b, true, cp, st.Language);
}

uint8_t HeadingCaseByte(TDoc& doc, int32_t par, int32_t i, uint8_t b, uint32_t cp,
                        TConversionState& st) {
  FindSentence(doc, par, i, st);
  FindWord(doc, par, i, st);
  if (st.WordUpper && !st.SentenceUpper) return b;
  const int32_t start = st.Word.Start.Offset;
  if (i != start && (i < start || st.HeadingCapital)) return MapCase(b, false, cp, st.Language);
  if (!IsAlnumByte(b, cp)) return b;
  st.HeadingCapital = true;
  return MapCase(b, true, cp, st.Language);
}

uint8_t ConvertByte(TDoc& doc, int32_t par, int32_t i, uint8_t b, TConversionState& st) {
  const uint32_t cp = CodePageOf(st.Font);
  switch (st.Mode) {
    case cmKeyboardLayout:
      return st.Source && st.Target ? ConvertKeyByte(b, *st.Source, *st.Target) : b;
    case cmUpperCase:
      return MapCase(b, true, cp, st.Language);
    case cmLowerCase:
      return MapCase(b, false, cp, st.Language);
    case cmInvertCase: {
      const uint8_t lower = MapCase(b, false, cp, st.Language);
      return lower == b ? MapCase(b, true, cp, st.Language) : lower;
    }
    case cmSentenceCase:
      return SentenceCaseByte(doc, par, i, b, cp, st);
    case cmHeadingCase:
      return HeadingCaseByte(doc, par, i, b, cp, st);
    default:
      return b;
  }
}

// Appends the converted piece of the paragraph from character A up to and including Z.
void ConvertParagraphPiece(TDoc& doc, int32_t par, int32_t a, int32_t z, TConversionState& st,
                           TMemory& out) {
  TPar& p = *doc.Par(par);
  NormalizeParagraphTags(p);
  const int32_t from = OffsetAfterCharBefore(p, a);
  const int32_t to = z + 1 >= p.CharCount() ? p.Content.Length : OffsetAfterCharBefore(p, z + 1);
  TCharFormat f;
  FormatAtStreamOffset(p.Content, from, f);
  const bool charsetMode = st.Mode == cmKeyboardLayout || st.Mode == cmFontCharset;
  if (charsetMode) f.Font = FontInCharset(f.Font, st.TargetCharset);
  st.Language = f.Language;
  st.Font = f.Font;
  AppendCharFormatTags(out, f);
  const int32_t base = out.Length;
  out.Append(p.Content.Data + from, to - from);
  int32_t index = a;
  TStreamItem item;
  for (int32_t off = base; ReadStreamItem(out.Data, out.Length, off, item); off += item.Size) {
    if (item.ItemType == TStreamItem::siTag) {
      const uint8_t kind = item.Tag.Kind;
      if (kind == cpLanguage) st.Language = item.Tag.Value;
      if (kind == ctFont) {
        int32_t font = item.Tag.Value;
        if (charsetMode) {
          font = FontInCharset(font, st.TargetCharset);
          WriteTagValue(out.Data, off, font);
        }
        st.Font = font;
      }
      if (IsCharTagKind(kind)) ++index;
      continue;
    }
    if (item.ItemType != TStreamItem::siText) continue;
    for (int32_t k = 0; k < item.Size; ++k, ++index)
      out.Data[off + k] = ConvertByte(doc, par, index, out.Data[off + k], st);
  }
}

}  // namespace

uint8_t ToUpperByte(uint8_t byte, uint32_t codePage, int32_t language) {
  return MapCase(byte, true, codePage, language);
}
uint8_t ToLowerByte(uint8_t byte, uint32_t codePage, int32_t language) {
  return MapCase(byte, false, codePage, language);
}

namespace {

// An end at a paragraph's end moves before its mark; an end at offset 0 of a later paragraph to
// the last character of the paragraph before.
void TrimRange(TDoc& doc, TDocRange& r) {
  for (;;) {
    if (ComparePositions(r.End, r.Start) <= 0) return;
    const int32_t len = doc.ParLength(r.End.Par);
    if (r.End.Offset >= len) {
      r.End.Offset = len - 1;
    } else if (r.End.Offset == 0 && r.End.Par > r.Start.Par) {
      MakePosition(r.End.Par - 1, doc.ParLength(r.End.Par - 1) - 1, r.End);
    } else {
      return;
    }
  }
}

void ConvertRange(TDoc& doc, const TDocRange& range, TConversionState& st) {
  TDocRange r = range;
  if (r.End.Par >= doc.ParCount()) MakePosition(doc.ParCount() - 1, doc.ParLength(doc.ParCount() - 1), r.End);
  TrimRange(doc, r);
  if (ComparePositions(r.End, r.Start) <= 0) return;
  st.Limit = r;
  st.Sentence = st.Word = TDocRange{{-1, -1}, {-1, -1}};
  TMemory fragment;
  int32_t marks = 0;
  if (r.Start.Par == r.End.Par) {
    ConvertParagraphPiece(doc, r.Start.Par, r.Start.Offset, r.End.Offset - 1, st, fragment);
  } else {
    const int32_t firstLen = doc.ParLength(r.Start.Par);
    ConvertParagraphPiece(doc, r.Start.Par, r.Start.Offset, firstLen - 1, st, fragment);
    AppendParFormatBlock(fragment, doc.Par(r.Start.Par)->Format);
    ++marks;
    const TParFormat* previous = &doc.Par(r.Start.Par)->Format;
    for (int32_t p = r.Start.Par + 1; p < r.End.Par; ++p) {
      ConvertParagraphPiece(doc, p, 0, doc.ParLength(p) - 1, st, fragment);
      const TParFormat& f = doc.Par(p)->Format;
      if (std::memcmp(&f, previous, sizeof(TParFormat)) != 0)
        AppendParFormatBlock(fragment, f);
      else
        fragment.AppendByte(ParBlockMark1);
      previous = &f;
      ++marks;
    }
    if (r.End.Offset > 0) ConvertParagraphPiece(doc, r.End.Par, 0, r.End.Offset - 1, st, fragment);
  }
  TScopedDocFlag keepMarks(doc, dfCallerKeepsFieldMarks);
  ReplaceWithFragment(doc, r.Start, r.End, idfKeepObjects | idfNoFormatCarry | idfKeepNotes,
                      marks, fragment);
}

}  // namespace

void ConvertText(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                 const void* parameter, uint32_t flags, uint8_t mode) {
  if (mode > cmFontCharset) return;
  TFragmentRef ranges = AcquireFragment();
  if (range)
    ranges->SetSingleRange(range->Start.Par, range->Start.Offset, range->End.Par, range->End.Offset);
  else if (fragment)
    ranges->Assign(*fragment);
  else
    ranges->Assign(*doc.Selection);
  const TDocPosition caret = doc.Caret;
  TFragmentRef keptSelection = CloneFragment(*doc.Selection);
  bool putBack = (flags & 4) != 0;
  TConversionState st;
  st.Mode = mode;
  TLayoutManager& lm = GetLayoutManager();
  int32_t source = -1, target = -1;
  for (int32_t i = 0; i < ranges->Count(); ++i) {
    TDocRange r = *ranges->GetRange(i);
    if (IsRangeEmpty(r)) {
      if (!EditOptionOn(eoFormatWithoutSelection)) continue;
      if (mode == cmSentenceCase) {
        TDocPosition back = r.Start;
        if (back.Offset > 0) --back.Offset;
        r = doc.SentenceAt(back);
      } else {
        const TTextRun w = doc.WordAt(r.Start);
        if (w.Length <= 0) continue;
        RangeOfTextRun(w, r);
      }
      putBack = false;
    }
    if (i == 0 && mode == cmKeyboardLayout) {
      if (!ChooseConversionLayouts(doc, static_cast<const TKeyLayoutConversion*>(parameter), source,
                                   target))
        return;
      st.Source = &lm.Items[static_cast<size_t>(source)];
      st.Target = &lm.Items[static_cast<size_t>(target)];
      st.TargetCharset = st.Target->Charset;
    }
    if (i == 0 && mode == cmFontCharset && parameter) {
      const int32_t value = *static_cast<const int32_t*>(parameter);
      st.TargetCharset = value < 0 ? CodePageToCharset(static_cast<uint32_t>(-value))
                                   : GetLanguageCharset(value, false);
    }
    ConvertRange(doc, r, st);
    if (mode == cmKeyboardLayout && st.Target) {
      TCharFormat lang = UnsetCharFormat;
      lang.Language = st.Target->Lang();
      FormatFont(doc, nullptr, &r, 1, lang);
    }
  }
  if (mode == cmKeyboardLayout && st.Target) TextEditServices().ActivateKeyboardLayout(st.Target->Handle);
  doc.Caret = caret;
  TPostActions& post = doc.CurrentPostActions();
  post.Caret = caret;
  post.HasCaret = true;
  if (putBack) post.Selection = std::move(keptSelection);
}

}  // namespace qv
