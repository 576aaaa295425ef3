// Sentences of a document: where a sentence starts (list numbers, abbreviations and ellipses
// taken into account) and the sentence around a place.
#include <algorithm>
#include <cstdlib>

#include "document/doc.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "document/word_scan.h"
#include "document/words.h"
#include "foundation/base/number_words.h"
#include "foundation/base/string_utils.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

constexpr int32_t kEnglish = 9;
constexpr int32_t kSpanish = 10;

int32_t PrimaryLanguage(const TDoc& doc, int32_t par, int32_t offset) {
  const int32_t lang = doc.GetLanguageAt(par, offset);
  return lang == INT32_MIN ? 0 : (lang & 0x3FF);
}

bool IsAlphaByte(char c) {
  const std::u16string w = CodePageToWide(std::string(1, c), 1252);
  return w.size() == 1 && plat::IsCharAlpha(w[0]);
}

bool IsOpeningMark(const TWordScan& s, int32_t i, bool spanish) {
  const uint8_t c = s.Code(i);
  return QuoteChars[c] || (spanish && SpanishOpeningMarks[c]);
}

std::string CodesText(const TWordScan& s, int32_t from, int32_t to) {
  std::string text;
  for (int32_t i = from; i < to; ++i) text.push_back(static_cast<char>(s.Code(i)));
  return text;
}

bool IsSymbolCharsetFont(int32_t font) {
  const TFontManager* fm = FontManager();
  return fm != nullptr && fm->IsValidFont(font) &&
         fm->RegFonts[static_cast<size_t>(font)].Charset == 2;
}

// A bullet typed at the paragraph's start: "*" or a private-use character (any character in a
// symbol font), followed by a tab or a blank.
bool IsBulletStart(const TWordScan& s) {
  if (s.Length() < 3) return false;
  TCharFormat f;
  s.Par().GetCharFormatAt(0, f);
  if (!IsSymbolCharsetFont(f.Font)) {
    const bool star = s.Code(0) == '*';
    const char16_t w = s.Wide(0);
    const bool privateUse = s.Code(0) == 17 && w >= 0xE000 && w <= 0xF8FF;
    if (!star && !privateUse) return false;
  }
  const uint8_t second = s.Code(1);
  return second == 9 || IsWordSpaceCode(second);
}

// ". . ." with blanks between the dots, in English text, just before the offset.
bool IsSpacedEllipsis(const TDoc& doc, const TWordScan& s, int32_t par, int32_t offset) {
  if (PrimaryLanguage(doc, par, offset) != kEnglish || offset <= 4) return false;
  return s.Code(offset - 5) == '.' && IsWordSpaceCode(s.Code(offset - 4)) &&
         s.Code(offset - 3) == '.' && IsWordSpaceCode(s.Code(offset - 2)) &&
         s.Code(offset - 1) == '.';
}

// Initials such as "e.g." or "U.S.": read from the end, a dot, a character that is neither a dot
// nor a digit, a dot and so on, with at least two dots.
bool IsInitialsAbbreviation(const std::string& token) {
  int32_t dots = 0;
  size_t i = token.size();
  while (i > 0) {
    if (token[i - 1] != '.') break;
    ++dots;
    --i;
    if (i == 0) break;
    const char c = token[i - 1];
    if (c == '.' || (c >= '0' && c <= '9')) break;
    --i;
  }
  return dots >= 2 && i == 0;
}

bool IsAbbreviation(TDoc& doc, const TWordScan& s, int32_t par, int32_t start,
                    const std::string& token) {
  if (IsInitialsAbbreviation(token)) return true;
  if (start > 0 && !s.WhiteSpace(start - 1)) return false;
  return SelectionServices().IsSentenceCapException(doc.GetLanguageAt(par, start), token);
}

// The word delimiters with "-", "." and the non-breaking hyphen counted as word characters.
const TCharFlags& DottedWordDelimiters() {
  static TCharFlags table;
  table = WordDelimiters;
  table['-'] = table['.'] = table[12] = false;
  return table;
}

}  // namespace

bool TDoc::IsListNumberToken(const TTextRun& run, const std::string& text) const {
  if (run.Length <= 0 || run.Position.Par < 0 || run.Position.Par >= ParCount()) return false;
  const TPar& par = *Par(run.Position.Par);
  const int32_t start = run.Position.Offset;
  if (start > 0 && !BreakCodes[par.CodeAt(start - 1)]) return false;
  const bool letter = text.size() == 1 && IsAlphaByte(text[0]);
  const bool integer = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return c >= '0' && c <= '9';
  });
  const bool roman = !text.empty() && RomanToInt(AsciiUpperCase(text), -1) > 0;
  const bool number = letter || integer || roman;
  if (!number) return false;
  const int64_t after = int64_t{start} + run.Length;
  return start >= 0 && after < par.CharCount() &&
         ListNumberFollowers[par.CodeAt(static_cast<int32_t>(after))];
}

bool TDoc::IsSentenceStart(const TDocPosition& position) {
  if (position.Par < 0 || position.Par >= ParCount()) return false;
  const int32_t par = position.Par;
  const TWordScan s(*this, par);
  const bool spanish = PrimaryLanguage(*this, par, position.Offset) == kSpanish;
  int32_t o = std::clamp(position.Offset, 0, s.Length());
  while (o > 0 && IsOpeningMark(s, o - 1, spanish)) --o;
  if (o == 0) return true;
  if (o == 2 && IsBulletStart(s)) return true;
  if (!s.WhiteSpace(o - 1)) return false;
  while (o > 0 && (s.WhiteSpace(o - 1) || QuoteChars[s.Code(o - 1)])) --o;
  if (o == 0) return true;
  const int32_t beforeBlanks = o;

  TDocPosition here;
  MakePosition(par, o, here);
  const TDocPosition wordStart = PrevWordStart(here);
  if (SamePlace(wordStart, here) || wordStart.Par < par) return true;

  // The word with its dots and hyphens, then the rest up to blanks or enders, then the enders.
  const TWordScan dotted(*this, par, DottedWordDelimiters());
  int32_t start = wordStart.Offset, end = wordStart.Offset;
  while (end < dotted.MarkOffset() && !dotted.Delimiter(end)) ++end;
  while (start > 0 && !dotted.Delimiter(start - 1)) --start;
  const TTextRun word{TDocPosition{par, start, 0, 0}, end - start};
  int32_t tokenEnd = end;
  while (tokenEnd < s.MarkOffset() && !s.WhiteSpace(tokenEnd) && !SentenceEnders[s.Code(tokenEnd)])
    ++tokenEnd;
  while (tokenEnd < s.MarkOffset() && SentenceEnders[s.Code(tokenEnd)]) ++tokenEnd;
  if (tokenEnd == start) return true;
  if (word.Length > 0 && IsListNumberToken(word, CodesText(s, start, end))) return true;
  if (start == 0 && s.Length() > 0 && s.Code(0) == 16) return true;

  const uint8_t ender = s.Code(beforeBlanks - 1);
  if (!SentenceEnders[ender]) return false;
  if (tokenEnd < s.Length() && QuoteChars[s.Code(tokenEnd)] && ender != '.') return false;
  if (ender == '.' && beforeBlanks >= 3 && s.Code(beforeBlanks - 2) == '.' &&
      s.Code(beforeBlanks - 3) == '.')
    return false;
  if (IsSpacedEllipsis(*this, s, par, beforeBlanks)) return false;
  return !IsAbbreviation(*this, s, par, start, CodesText(s, start, tokenEnd));
}

TDocRange TDoc::SentenceAt(const TDocPosition& position) {
  TDocRange out;
  const int32_t par = std::clamp(position.Par, 0, ParCount() - 1);
  const TWordScan s(*this, par);
  const int32_t mark = s.MarkOffset();
  TDocPosition p;
  MakePosition(par, std::clamp(position.Offset, 0, s.Length()), p);

  TTextRun word = WordAt(p);
  if (word.Length > 0 &&
      IsListNumberToken(word, CodesText(s, word.Position.Offset, word.Position.Offset + word.Length))) {
    p.Offset = std::min(word.Position.Offset + word.Length + 1, mark);
    word = WordAt(p);
  }
  TDocPosition start = p, end = p;
  if (word.Length <= 0) {
    if (p.Offset >= mark) {
      start.Offset = mark;
    } else {
      const TDocPosition next = NextWordStart(p);
      start.Offset = next.Par == par ? std::min(next.Offset, mark) : mark;
    }
    end.Offset = start.Offset + 1;
  } else {
    start.Offset = word.Position.Offset;
    end.Offset = word.Position.Offset + word.Length + 1;
  }

  while (start.Offset > 0 && !IsSentenceStart(start)) {
    const TDocPosition previous = PrevWordStart(start);
    if (previous.Par != par || previous.Offset >= start.Offset) break;
    start = previous;
  }
  if (start.Offset > 0) {
    const TDocPosition previous = PrevWordStart(start);
    if (previous.Par == par && previous.Offset < start.Offset) {
      const TTextRun before = WordAt(previous);
      if (before.Length > 0 &&
          IsListNumberToken(before, CodesText(s, before.Position.Offset,
                                              before.Position.Offset + before.Length)))
        start.Offset = before.Position.Offset;
    }
  }

  const bool spanish = PrimaryLanguage(*this, par, start.Offset) == kSpanish;
  end.Offset = std::max(std::min(std::max(end.Offset, start.Offset + 1), s.Length()), start.Offset);
  while (start.Offset > 0 && IsOpeningMark(s, start.Offset - 1, spanish)) --start.Offset;
  while (end.Offset < s.Length() && IsOpeningMark(s, end.Offset - 1, spanish)) ++end.Offset;

  while (end.Offset < mark && !IsSentenceStart(end)) {
    const TDocPosition next = NextWordStart(end);
    if (next.Par != par || next.Offset <= end.Offset) {
      end.Offset = mark;
      break;
    }
    end.Offset = std::min(next.Offset, mark);
  }
  while (end.Offset > start.Offset && s.WhiteSpace(end.Offset - 1)) --end.Offset;
  MakeRange(par, start.Offset, par, end.Offset, out);
  return out;
}

}  // namespace qv
