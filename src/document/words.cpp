// Words of a document: the character tables, word starts to the left and right, the word, web
// address and file name at a place, and whether a range is bounded by whole words.
#include "document/words.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/selection_flags.h"
#include "document/selection_services.h"
#include "document/surrogate_pairs.h"
#include "document/word_scan.h"
#include "foundation/base/string_utils.h"
#include "foundation/settings/options_holder.h"
#include "foundation/text/code_pages.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

constexpr uint32_t kWebAddressesAsWords = 0x100;  // "Edit" flag: a web address is one word

using TRanges = std::initializer_list<std::pair<int, int>>;

TCharFlags MakeFlags(TRanges ranges) {
  TCharFlags t{};
  for (const auto& [first, last] : ranges)
    for (int c = first; c <= last; ++c) t[static_cast<size_t>(c)] = true;
  return t;
}

bool WebAddressesAreWords() { return (GetOptions().Edit.Flags & kWebAddressesAsWords) != 0; }

std::string CodesText(const TWordScan& s, int32_t from, int32_t to) {
  std::string text;
  for (int32_t i = from; i < to; ++i) text.push_back(static_cast<char>(s.Code(i)));
  return text;
}

bool IsLetterByte(char c) {
  const std::u16string w = CodePageToWide(std::string(1, c), 1252);
  return w.size() == 1 && plat::IsCharAlpha(w[0]);
}

bool HasUrlScheme(const std::string& text) {
  static const char* const kSchemes[] = {"ftp",    "http", "https", "gopher", "mailto",  "news",
                                         "nntp",   "telnet", "wais", "file",  "prospero"};
  const std::string lower = AsciiLowerCase(text);
  if (lower.rfind("www", 0) == 0) return true;
  for (const char* scheme : kSchemes)
    if (lower.rfind(std::string(scheme) + ":", 0) == 0) return true;
  return false;
}

bool HasDotWord(const std::string& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '.') continue;
    if (text[i + 1] >= '0' && text[i + 1] <= '9') return true;
    if (i + 2 < text.size() && IsLetterByte(text[i + 1]) && IsLetterByte(text[i + 2])) return true;
  }
  return false;
}

bool IsCapitalisedWord(const std::string& word) {
  if (word.empty() || !(word[0] >= 'A' && word[0] <= 'Z')) return false;
  return std::all_of(word.begin() + 1, word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool HasKnownTopLevelDomain(const std::string& text) {
  const size_t dot = text.rfind('.');
  if (dot == std::string::npos || dot + 1 >= text.size()) return false;
  const std::string ext = text.substr(dot + 1);
  if (IsCapitalisedWord(ext)) return false;
  for (const std::string& domain : GetOptions().Autocorrect.WebDomains)
    if (SameTextAscii(domain, ext)) return true;
  return false;
}

bool IsKnownFileExtension(const std::string& ext) {
  for (const std::string& known : GetOptions().Autocorrect.FileExts)
    if (SameTextAscii(known, ext)) return true;
  return false;
}

// The next (or previous) paragraph that is not hidden, not beyond the limit.
int32_t NextShownParagraph(TDoc& doc, int32_t par, int32_t limit) {
  int32_t q = par + 1;
  while (q < limit && SelectionServices().IsParagraphHidden(doc, q)) ++q;
  return std::min(q, limit);
}

int32_t PreviousShownParagraph(TDoc& doc, int32_t par, int32_t limit) {
  int32_t q = par - 1;
  while (q > limit && SelectionServices().IsParagraphHidden(doc, q)) --q;
  return std::max(q, limit);
}

TTextRun NoRun(const TDocPosition& p) { return TTextRun{p, 0}; }

TTextRun MakeRun(int32_t par, int32_t start, int32_t end) {
  TTextRun run;
  MakePosition(par, start, run.Position);
  run.Length = end - start;
  return run;
}

TTextRun UrlTokenIn(TDoc& doc, const TDocPosition& p) {
  if (p.Par < 0 || p.Par >= doc.ParCount()) return NoRun(p);
  const TWordScan s(doc, p.Par);
  const int32_t mark = s.MarkOffset();
  int32_t start = std::clamp(p.Offset, 0, mark);
  int32_t end = start;
  while (start > 0 && WebAddressChars[s.Code(start - 1)]) --start;
  while (end < mark && WebAddressChars[s.Code(end)]) ++end;
  while (end > start && WebAddressTrim[s.Code(end - 1)]) --end;
  while (start < end && WebAddressLeadingTrim[s.Code(start)]) ++start;
  if (start == end || p.Offset < start || p.Offset > end) return NoRun(p);
  if (!LooksLikeWebAddress(CodesText(s, start, end))) return NoRun(p);
  return MakeRun(p.Par, start, end);
}

TTextRun WordIn(TDoc& doc, const TDocPosition& p, bool webAsWords, const TCharFlags& delimiters) {
  if (p.Par < 0 || p.Par >= doc.ParCount()) return NoRun(p);
  if (webAsWords) {
    const TTextRun url = UrlTokenIn(doc, p);
    if (url.Length > 0) return url;
  }
  const TWordScan s(doc, p.Par, delimiters);
  const int32_t mark = s.MarkOffset();
  const int32_t at = std::clamp(p.Offset, 0, mark);
  int32_t start = at, end = at;
  while (end < mark && !s.Delimiter(end)) ++end;
  while (start > 0 && !s.Delimiter(start - 1)) --start;
  while (start < end && s.Code(start) >= 128 && !s.Alphanumeric(start)) ++start;
  if (start > at) return NoRun(p);
  const bool empty = start == end;
  start = SnapOffsetBackward(s.Par(), start);
  end = empty ? start : SnapOffsetForward(s.Par(), end);
  return MakeRun(p.Par, start, end);
}

TDocPosition PrevWordStartIn(TDoc& doc, const TDocPosition& p, bool webAsWords) {
  TDocRange nav;
  doc.GetNavigationRange(nav);
  TDocPosition r = p;
  if (p.Offset <= 0) {
    if (nav.Start.Par >= p.Par) return p;
    const int32_t q = PreviousShownParagraph(doc, p.Par, nav.Start.Par);
    MakePosition(q, std::max(doc.Par(q)->CharCount() - 1, 0), r);
    return r;
  }
  const TWordScan s(doc, p.Par);
  const int32_t from = std::min(p.Offset, s.Length());
  int32_t o = from - 1;
  while (o > 0 && s.Space(o)) --o;
  bool moved = false;
  while (o > 0 && s.Punctuation(o) && s.Punctuation(o - 1)) {
    --o;
    moved = true;
    if (s.Break(o)) break;
  }
  if (!moved)
    while (o > 0 && !s.Delimiter(o) && s.Alphanumeric(o - 1)) --o;
  if (o < from - 1 && s.Delimiter(o) && !s.Delimiter(o + 1)) ++o;
  r.Offset = SnapOffsetBackward(s.Par(), std::max(o, 0));
  if (webAsWords) {
    const TTextRun url = UrlTokenIn(doc, r);
    if (url.Length > 0 && url.Position.Offset < r.Offset) r.Offset = url.Position.Offset;
  }
  return r;
}

TDocPosition NextWordStartIn(TDoc& doc, const TDocPosition& p, bool webAsWords) {
  TDocRange nav;
  doc.GetNavigationRange(nav);
  const int32_t endPar = nav.End.Par;
  if (p.Par > endPar || p.Par < 0 || p.Par >= doc.ParCount()) return p;
  const int32_t len = doc.Par(p.Par)->CharCount();
  if (p.Par == endPar && p.Offset >= len - 1) return p;
  TDocPosition r = p;
  if (p.Offset == len - 1) {
    if (p.Par < endPar) MakePosition(NextShownParagraph(doc, p.Par, endPar), 0, r);
    else MakePosition(p.Par, len, r);
    return r;
  }
  if (p.Offset >= len) MakePosition(NextShownParagraph(doc, p.Par, endPar), 0, r);
  const TWordScan s(doc, r.Par);
  const int32_t mark = s.MarkOffset();
  int32_t o = std::max(r.Offset, 0);
  bool moved = false;
  while (o < mark && !s.Delimiter(o)) {
    const bool alphanumeric = s.Alphanumeric(o);
    ++o;
    moved = true;
    if (!alphanumeric) break;
  }
  if (!moved) {
    for (bool first = true; o < mark && s.Punctuation(o); first = false) {
      if (s.Break(o)) {
        if (first) ++o;
        break;
      }
      ++o;
    }
  }
  while (o < mark && s.Space(o)) ++o;
  r.Offset = SnapOffsetForward(s.Par(), o);
  if (webAsWords) {
    const TTextRun url = UrlTokenIn(doc, p);
    const int32_t urlEnd = url.Position.Offset + url.Length;
    if (url.Length > 0 && r.Par == url.Position.Par && r.Offset > url.Position.Offset &&
        r.Offset < urlEnd) {
      TDocPosition last;
      MakePosition(url.Position.Par, urlEnd - 1, last);
      r = NextWordStartIn(doc, last, false);
    }
  }
  return r;
}

}  // namespace

// --- Tables ---

const TCharFlags BreakCodes = MakeFlags({{2, 8}});
const TCharFlags WhiteSpaceChars = MakeFlags({{2, 9}, {11, 11}, {18, 20}, {32, 32}});
const TCharFlags SentenceEnders = MakeFlags({{33, 33}, {46, 46}, {63, 63}});
const TCharFlags InvalidFileNameChars =
    MakeFlags({{34, 34}, {42, 42}, {47, 47}, {58, 58}, {60, 60}, {62, 62}, {63, 63}, {91, 93},
               {123, 125}, {132, 132}, {147, 148}, {171, 171}, {187, 187}});
const TCharFlags WebAddressChars =
    MakeFlags({{33, 90}, {92, 92}, {95, 95}, {97, 122}, {126, 126}, {128, 131}, {133, 146},
               {149, 170}, {172, 186}, {188, 255}});
const TCharFlags WebAddressTrim = MakeFlags(
    {{33, 34}, {37, 38}, {40, 41}, {43, 46}, {58, 60}, {62, 64}, {130, 130}});
const TCharFlags WebAddressLeadingTrim = MakeFlags(
    {{33, 34}, {37, 38}, {40, 41}, {44, 46}, {58, 60}, {62, 64}, {130, 130}});
const TCharFlags FileNameTrim = MakeFlags({{33, 46}, {58, 64}, {91, 91}, {93, 94}, {96, 96},
                                           {123, 125}, {132, 132}, {145, 148}, {171, 171},
                                           {187, 187}});
const TCharFlags QuoteChars =
    MakeFlags({{34, 34}, {39, 39}, {96, 96}, {132, 132}, {145, 148}, {171, 171}, {187, 187}});
const TCharFlags SpanishOpeningMarks = MakeFlags({{161, 161}, {191, 191}});
const TCharFlags ListNumberFollowers = MakeFlags({{41, 41}, {46, 46}});

// --- Tokens ---

bool LooksLikeWebAddress(const std::string& token) {
  if (token.empty() || !HasDotWord(token)) return false;
  return HasUrlScheme(token) || token.find('@') != std::string::npos ||
         HasKnownTopLevelDomain(token);
}

bool LooksLikeFileName(const std::string& token) {
  std::string rest = token;
  bool drive = false;
  if (rest.size() >= 2 && IsLetterByte(rest[0]) && rest[1] == ':') {
    rest.erase(0, 2);
    drive = true;
  } else if (rest.rfind("\\\\", 0) == 0) {
    const size_t server = rest.find('\\', 2);
    if (server != std::string::npos && server > 2) {
      size_t share = rest.find('\\', server + 1);
      if (share == std::string::npos) share = rest.size();
      if (share > server + 1) {
        rest.erase(0, share);
        drive = true;
      }
    }
  }
  if (drive && !rest.empty() && rest[0] == '\\') rest.erase(0, 1);
  bool knownExtension = false;
  const size_t slash = rest.rfind('\\');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = rest.rfind('.');
  if (dot != std::string::npos && dot >= nameStart && dot + 1 < rest.size() &&
      IsKnownFileExtension(rest.substr(dot + 1))) {
    knownExtension = true;
    rest.erase(nameStart);
  }
  const bool folder = !rest.empty();
  return knownExtension || (drive && folder) || drive;
}

// --- Operations of the document ---

void TDoc::GetNavigationRange(TDocRange& out) {
  if (IsDocFlagSet(dfNavigateTextAndNotes)) GetTextAndNotesRange(out);
  else GetCurrentStoryRange(out);
  const int32_t shown =
      std::clamp(SelectionServices().GetVisibleParagraph(*this, out.End.Par), 0, ParCount() - 1);
  MakePosition(shown, Par(shown)->CharCount(), out.End);
}

char16_t TDoc::WideCharAt(int32_t par, int32_t offset) const {
  if (par < 0 || par >= ParCount()) return 0;
  TPar& p = *Par(par);
  BuildParagraphWideText(p);
  if (offset < 0 || static_cast<size_t>(offset) >= p.WideText.size()) return 0;
  return p.WideText[static_cast<size_t>(offset)];
}

TDocPosition TDoc::PrevWordStart(const TDocPosition& position) {
  return PrevWordStartIn(*this, position, WebAddressesAreWords());
}

TDocPosition TDoc::NextWordStart(const TDocPosition& position) {
  return NextWordStartIn(*this, position, WebAddressesAreWords());
}

TTextRun TDoc::WordAt(const TDocPosition& position) {
  return WordIn(*this, position, WebAddressesAreWords(), WordDelimiters);
}

TTextRun TDoc::UrlTokenAt(const TDocPosition& position) { return UrlTokenIn(*this, position); }

TTextRun TDoc::FileNameTokenAt(const TDocPosition& position) {
  TCharFlags delimiters = WordDelimiters;
  for (int c = 33; c < 256; ++c)
    delimiters[static_cast<size_t>(c)] = InvalidFileNameChars[static_cast<size_t>(c)];
  const TTextRun word = WordIn(*this, position, false, delimiters);
  if (word.Length <= 0) return NoRun(position);
  const TWordScan s(*this, position.Par);
  int32_t start = word.Position.Offset;
  int32_t end = start + word.Length;
  while (end > start && FileNameTrim[s.Code(end - 1)]) --end;
  while (start < end && FileNameTrim[s.Code(start)]) ++start;
  if (start == end || position.Offset < start || position.Offset > end) return NoRun(position);
  if (!LooksLikeFileName(CodesText(s, start, end))) return NoRun(position);
  return MakeRun(position.Par, start, end);
}

TTextRun TDoc::LinkTokenAt(const TDocPosition& position) {
  const TTextRun url = UrlTokenAt(position);
  return url.Length > 0 ? url : FileNameTokenAt(position);
}

TTextRun TDoc::WordOrLinkAt(const TDocPosition& position) {
  const TTextRun link = LinkTokenAt(position);
  return link.Length > 0 ? link : WordAt(position);
}

bool TDoc::IsRangeWordBounded(const TDocRange& range) const {
  if (IsRangeEmpty(range)) return false;
  auto boundedAt = [this](const TDocPosition& p) {
    if (p.Par < 0 || p.Par >= ParCount()) return true;
    const TPar& par = *Par(p.Par);
    if (p.Offset <= 0 || p.Offset >= par.CharCount()) return true;
    return WordDelimiters[par.CodeAt(p.Offset - 1)] || WordDelimiters[par.CodeAt(p.Offset)];
  };
  if (!boundedAt(range.Start) || !boundedAt(range.End)) return false;
  return !IsSingleShapeRange(range);
}

bool TDoc::AreFragmentsWordBounded(const TCompoundFragment& fragment) const {
  for (int32_t i = 0; i < fragment.Count(); ++i)
    if (!IsRangeWordBounded(*fragment.GetRange(i))) return false;
  return true;
}

}  // namespace qv
