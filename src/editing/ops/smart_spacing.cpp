#include "editing/ops/smart_spacing.h"

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/par.h"
#include "editing/ops/deletion.h"
#include "editing/ops/text_edit_flags.h"
#include "platform/system/locale_dates.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

constexpr uint8_t kOpenDouble = 147, kCloseDouble = 148, kOpenSingle = 145, kCloseSingle = 146;

bool IsSpaceCode(uint8_t c) { return c == 32 || c == scNonBreakingSpace || (c >= 18 && c <= 20); }
bool IsDigitCode(uint8_t c) { return c >= '0' && c <= '9'; }

char16_t TimeSeparator() {
  static const char16_t sep = plat::GetLocaleDateInfo(plat::UserLocaleName()).TimeSeparator;
  return sep;
}

bool IsTimeSeparator(uint8_t c) { return TimeSeparator() < 256 && c == TimeSeparator(); }

// The sets of a language with the adjustments of its quote style.
TSmartSpaceSets StyledSets(const TSmartSpaceSets& in) {
  TSmartSpaceSets s = in;
  if (s.QuoteStyle == 2) {
    s.Opening[kOpenDouble] = in.Opening[kCloseDouble];
    s.Closing[kOpenDouble] = in.Closing[kCloseDouble];
  } else if (s.QuoteStyle == 3) {
    std::swap(s.Opening[171], s.Opening[187]);
    std::swap(s.Closing[171], s.Closing[187]);
  }
  return s;
}

bool IsOpeningQuoteOfStyle(uint8_t c, uint8_t style) {
  if (c == 132) return true;
  if (c == kOpenDouble) return style != 2;
  return c == (style == 3 ? 187 : 171);
}

// A quote as the test sees it: straight quotes become the typographic double quote they would
// turn into after the character before; single typographic quotes count as double ones.
uint8_t TurnQuote(uint8_t c, bool hasBefore, uint8_t before, const TSmartSpaceSets& s) {
  if (c == kOpenSingle) return kOpenDouble;
  if (c == kCloseSingle) return kCloseDouble;
  if (c != 34 && c != 39) return c;
  if (!hasBefore) return kOpenDouble;
  if ((!IsSpaceCode(before) && !s.Opening[before]) || before == 34 || before == 39 ||
      before == kOpenSingle)
    return kCloseDouble;
  return IsOpeningQuoteOfStyle(before, s.QuoteStyle) ? kCloseDouble : kOpenDouble;
}

int32_t TextLength(const TPar& p) { return p.CharCount() - 1; }

// A field mark stands at the character offset (between the characters before and at it).
bool FieldMarkAt(TPar& par, int32_t offset) {
  NormalizeParagraphTags(par);
  int32_t chars = 0;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size) {
    if (chars == offset && item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind))
      return true;
    chars += item.Chars();
    if (chars > offset) return false;
  }
  return false;
}

bool EndsSentence(uint8_t c) { return c == '.' || c == '!' || c == '?' || c == 133; }

}  // namespace

void GetTypingContext(TDoc& doc, int32_t par, int32_t offset, TTypingContext& out,
                      const TSmartSpaceSets* sets) {
  TPar& p = *doc.Par(par);
  const TSmartSpaceSets own =
      sets ? *sets
           : TextEditServices().SmartSpaceSets(doc.GetLanguageAt(par, offset));
  const TSmartSpaceSets s = StyledSets(own);
  const uint8_t* c = p.Codes.Data;
  const int32_t L = TextLength(p);
  const int32_t P = offset;
  out = TTypingContext{};

  if (P <= 0) {
    out.Left = 1;
  } else {
    const uint8_t before = TurnQuote(c[P - 1], P >= 2, P >= 2 ? c[P - 2] : 0, s);
    if (IsSpaceCode(c[P - 1])) {
      out.Left = 0;
    } else if (P > 1 && P < L - 1 && IsDigitCode(c[P - 2]) && IsTimeSeparator(c[P - 1]) &&
               IsDigitCode(c[P])) {
      out.Left = 1;
    } else {
      out.Left = s.Opening[before] ? 1 : s.Closing[before] ? 2 : 3;
    }
    if (out.Left == 1) {
      TDocPosition at;
      MakePosition(par, P, at);
      const TTextRun link = doc.LinkTokenAt(at);
      if (link.Length > 0 && ComparePositions(link.Position, at) < 0) out.Left = 3;
    }
  }

  if (P >= L) {
    out.Right = 2;
  } else if (P > 0 && P < L - 2 && IsDigitCode(c[P - 1]) && IsTimeSeparator(c[P]) &&
             IsDigitCode(c[P + 1])) {
    out.Right = 2;
  } else {
    const uint8_t after = TurnQuote(c[P], P >= 1, P >= 1 ? c[P - 1] : 0, s);
    if (IsSpaceCode(c[P]))
      out.Right = 0;
    else
      out.Right = s.Closing[after] ? 2 : s.Opening[after] ? 1 : 3;
  }
  if (P < L) {
    const uint8_t after = TurnQuote(c[P], P >= 1, P >= 1 ? c[P - 1] : 0, s);
    out.NextIsOpening = s.Opening[after];
    out.EndOrClosing = s.Closing[after];
  } else {
    out.EndOrClosing = 1;
  }
  out.Neither = !out.NextIsOpening && !out.EndOrClosing;
}

TSmartSpacingResult AdjustSmartSpacing(TDoc& doc, const TDocPosition& at) {
  TSmartSpacingResult result;
  TScopedDocFlag running(doc, dfSmartSpacingRuns);
  TPostActions& post = doc.CurrentPostActions();
  post.Caret = at;
  post.HasCaret = true;
  if (at.Par < 0 || at.Par >= doc.ParCount()) return result;
  TPar& p = *doc.Par(at.Par);
  const int32_t L = TextLength(p);
  if (at.Offset < 0 || at.Offset > L) return result;
  const TSmartSpaceSets sets = TextEditServices().SmartSpaceSets(doc.GetLanguageAt(at.Par, at.Offset));

  TTypingContext ctx;
  GetTypingContext(doc, at.Par, at.Offset, ctx, &sets);
  if ((ctx.Left == 2 || ctx.Left == 3) && (ctx.Right == 1 || ctx.Right == 3)) {
    if (FieldMarkAt(p, at.Offset)) return result;
    doc.UpdateTypingFormat(at, 1);
    TMemory space;
    space.AppendByte(' ');
    InsertPlainText(doc, space, at, 0);
    result.Inserted = 1;
    return result;
  }

  const uint8_t* c = p.Codes.Data;
  int32_t left = 0, right = 0;
  while (at.Offset - left > 0 && c[at.Offset - left - 1] == 32) ++left;
  while (at.Offset + right < L && c[at.Offset + right] == 32) ++right;
  if (left == 0 && right == 0) return result;

  TTypingContext before, after;
  GetTypingContext(doc, at.Par, at.Offset - left, before, &sets);
  GetTypingContext(doc, at.Par, at.Offset + right, after, &sets);
  int32_t removeLeft = left, removeRight = right;
  if ((before.Left == 2 || before.Left == 3) && (after.Right == 1 || after.Right == 3)) {
    const int32_t spaceStart = at.Offset - left;
    const bool sentenceEnd = spaceStart > 0 && EndsSentence(c[spaceStart - 1]);
    if (left == 0) {
      removeRight = right == 2 && sets.TwoSentenceSpaces && sentenceEnd ? 0 : right - 1;
      removeLeft = 0;
    } else {
      removeRight = right;
      removeLeft = left == 2 && sets.TwoSentenceSpaces && sentenceEnd ? 0 : left - 1;
    }
  }
  if (removeLeft + removeRight <= 0) return result;
  if (FieldMarkAt(p, at.Offset - left) || FieldMarkAt(p, at.Offset + right)) return result;
  TDocPosition from = at, to = at;
  from.Offset -= removeLeft;
  to.Offset += removeRight;
  DeleteRangeText(doc, from, to, 0);
  result.LeftRemoved = removeLeft;
  result.RightRemoved = removeRight;
  return result;
}

}  // namespace qv
