// The text of runs and ranges of a document: 8-bit and UTF-16, with special characters as
// blanks, line ends, find-pattern codes or visible names, and the text shown for a paragraph in
// lists and titles.
#include <algorithm>

#include "document/content_stream.h"
#include "document/doc.h"
#include "document/selection_flags.h"
#include "document/selection_tables.h"
#include "document/surrogate_pairs.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

bool Has(uint8_t flags, uint8_t flag) { return (flags & flag) != 0; }

bool IsSymbolCharsetFont(int32_t font) {
  const TFontManager* fm = FontManager();
  return fm != nullptr && fm->IsValidFont(font) &&
         fm->RegFonts[static_cast<size_t>(font)].Charset == SYMBOL_CHARSET;
}

// The text of one special character (or object) of a run.
std::u16string SpecialText(const TDoc& doc, int32_t par, uint8_t code, uint8_t flags,
                           bool nothingBefore) {
  const bool spaces = Has(flags, TDoc::wtBreaksAsSpaces);
  const bool pattern = Has(flags, TDoc::wtFindPattern);
  const bool names = Has(flags, TDoc::wtVisibleNames);
  switch (code) {
    case 2:
      if (pattern) return u"^p";
      if (names && spaces) return nothingBefore ? u"<paragraph end mark>" : u"";
      if (names) return u"\r\n";
      return spaces ? u" " : u"\r\n";
    case 6:
      if (pattern) return u"^n";
      if (names) return u"<column break>";
      return spaces ? u" " : u"\r\n";
    case 7:
      if (pattern) return u"^l";
      if (names) return u"<line break>";
      return spaces ? u" " : u"\r\n";
    case 8:
      if (names) return u"<page break>";
      if (pattern) return u"^m";
      return spaces ? u" " : u"\f";
    case 9:
      if (names) return u"<tab character>";
      if (pattern) return u"^t";
      return spaces ? u" " : u"\t";
    case 3:
      if (pattern) return u"^b";
      if (spaces) return u" ";
      return names ? u"<section break>" : u"\r\n";
    case 4:
      if (spaces) return u" ";
      if (doc.IsDocFlagSet(dfCellEndsAsTabs) && !IsRowEndParagraph(doc, par + 1)) return u"\t";
      return u"\r\n";
    case 5:
      if (spaces) return u" ";
      return doc.IsDocFlagSet(dfCellEndsAsTabs) ? u"" : u"\r\n";
    case 10:
      if (pattern) return u"^g";
      return names ? u"<picture>" : u" ";
    case 11: return Has(flags, TDoc::wtNbspAsA0) ? u"\u00A0" : u" ";
    case 12: return u"-";
    case 13: return pattern ? u"^+" : u"\u2014";
    case 14: return pattern ? u"^=" : u"\u2013";
    case 18: return spaces ? u" " : u"\u2002";
    case 19: return spaces ? u" " : u"\u2003";
    case 20: return spaces ? u" " : u"\u2005";
    default: return u"";
  }
}

// The first paragraph part of a range: from its start up to its end, or up to (not including)
// the first paragraph's mark.
TTextRun FirstParagraphPart(const TDoc& doc, const TDocRange& range) {
  TTextRun run;
  run.Position = range.Start;
  if (range.Start.Par < 0 || range.Start.Par >= doc.ParCount()) return run;
  const int32_t len = doc.Par(range.Start.Par)->CharCount();
  const int32_t end = range.End.Par == range.Start.Par ? range.End.Offset : len - 1;
  run.Position.Offset = std::clamp(range.Start.Offset, 0, len);
  run.Length = std::max(0, std::min(end, len) - run.Position.Offset);
  return run;
}

}  // namespace

std::string TDoc::GetTextRun(const TTextRun& run) const {
  std::string text;
  if (run.Position.Par < 0 || run.Position.Par >= ParCount() || run.Length <= 0) return text;
  const TPar& par = *Par(run.Position.Par);
  const int32_t from = std::max(run.Position.Offset, 0);
  const int32_t to = static_cast<int32_t>(
      std::min<int64_t>(int64_t{run.Position.Offset} + run.Length, par.CharCount()));
  for (int32_t i = from; i < to; ++i) {
    const uint8_t c = par.CodeAt(i);
    switch (c) {
      case 6: case 7: case 8: case 9: case 11: case 18: case 19: case 20: text += ' '; break;
      case 12: text += '-'; break;
      case 13: text += static_cast<char>(151); break;
      case 14: text += static_cast<char>(150); break;
      default:
        if (c >= 32) text += static_cast<char>(c);
        break;
    }
  }
  return text;
}

std::u16string TDoc::GetWideTextRun(const TTextRun& run, uint8_t flags) const {
  std::u16string out;
  if (run.Position.Par < 0 || run.Position.Par >= ParCount() || run.Length <= 0) return out;
  const int32_t parIndex = run.Position.Par;
  TPar& par = *Par(parIndex);
  NormalizeParagraphTags(par);
  const int32_t from = SnapOffsetBackward(par, std::clamp(run.Position.Offset, 0, par.CharCount()));
  const int64_t end = int64_t{run.Position.Offset} + run.Length;
  const int32_t to = SnapOffsetForward(
      par, static_cast<int32_t>(std::clamp<int64_t>(end, from, par.CharCount())));
  const bool pattern = Has(flags, wtFindPattern);
  int32_t font = DefaultCharFormat.Font;
  int32_t index = 0;
  TStreamItem item;
  for (int32_t off = 0; index < to && ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size) {
    if (item.ItemType == TStreamItem::siText) {
      const int32_t a = std::max(from - index, 0);
      const int32_t b = std::min(to - index, item.Size);
      if (a < b) {
        const std::string bytes(reinterpret_cast<const char*>(par.Content.Data + off + a),
                                static_cast<size_t>(b - a));
        for (char16_t c : CodePageToWide(bytes, TextCodePageOfFont(font))) {
          out.push_back(c);
          if (pattern && c == u'^') out.push_back(u'^');
        }
      }
      index += item.Size;
      continue;
    }
    if (item.ItemType != TStreamItem::siTag) continue;
    const TContentTag& t = item.Tag;
    if (t.Kind == ctFont) {
      font = t.Value;
      continue;
    }
    if (!IsCharTagKind(t.Kind)) continue;
    if (index >= from) {
      if (t.Kind == ctWideChar) out.push_back(static_cast<char16_t>(t.Value & 0xFFFF));
      else out += SpecialText(*this, parIndex, CharCodeOfTag(t.Kind, t.Value), flags, out.empty());
    }
    ++index;
  }
  return out;
}

std::string TDoc::GetRangeText(const TDocRange& range) const {
  return GetTextRun(FirstParagraphPart(*this, range));
}

std::u16string TDoc::GetRangeWideText(const TDocRange& range, uint8_t flags) const {
  return GetWideTextRun(FirstParagraphPart(*this, range), flags);
}

std::u16string TDoc::GetRangeFullWideText(const TDocRange& range, uint8_t flags) const {
  std::u16string out;
  const int32_t last = std::min(range.End.Par, ParCount() - 1);
  for (int32_t p = std::max(range.Start.Par, 0); p <= last; ++p) {
    const int32_t len = Par(p)->CharCount();
    const int32_t from = p == range.Start.Par ? std::clamp(range.Start.Offset, 0, len) : 0;
    const int32_t to = p == range.End.Par ? std::clamp(range.End.Offset, from, len) : len;
    TTextRun run;
    MakePosition(p, from, run.Position);
    run.Length = to - from;
    out += GetWideTextRun(run, flags);
  }
  return out;
}

std::u16string TDoc::GetParagraphDisplayText(int32_t parIndex) const {
  std::u16string text;
  if (parIndex < 0 || parIndex >= ParCount()) return text;
  TPar& par = *Par(parIndex);
  NormalizeParagraphTags(par);
  int32_t font = DefaultCharFormat.Font;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size) {
    if (item.ItemType == TStreamItem::siText) {
      const std::string bytes(reinterpret_cast<const char*>(par.Content.Data + off),
                              static_cast<size_t>(item.Size));
      if (IsSymbolCharsetFont(font)) text.append(bytes.size(), u' ');
      else text += CodePageToWide(bytes, TextCodePageOfFont(font));
      continue;
    }
    if (item.ItemType != TStreamItem::siTag) continue;
    const TContentTag& t = item.Tag;
    if (t.Kind == ctFont) {
      font = t.Value;
    } else if (t.Kind == ctWideChar) {
      text.push_back(static_cast<char16_t>(t.Value & 0xFFFF));
    } else if (IsCharTagKind(t.Kind)) {
      const uint8_t code = CharCodeOfTag(t.Kind, t.Value);
      text.push_back(code == 12 || code == 13 || code == 14 ? u'-' : u' ');
    }
  }
  TCharFormat common;
  TDocRange whole;
  MakeRange(parIndex, 0, parIndex, par.CharCount(), whole);
  GetCommonCharFormat(nullptr, whole, common);
  const bool caps = (common.SmallCaps != CharUnset && common.SmallCaps != 0) ||
                    (common.AllCaps != CharUnset && common.AllCaps != 0);
  if (caps) text = plat::ToUpperForLocale(text, plat::UserLocaleName());
  text = par.GetNumberText() + text;
  const size_t first = text.find_first_not_of(u" \t");
  if (first == std::u16string::npos) return {};
  const size_t lastChar = text.find_last_not_of(u" \t");
  return text.substr(first, lastChar - first + 1);
}

}  // namespace qv
