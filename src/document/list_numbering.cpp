#include "document/list_numbering.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/number_formats.h"
#include "document/par.h"
#include "document/par_breaking.h"
#include "document/line.h"
#include "document/shape.h"
#include "foundation/base/units.h"
#include "foundation/base/memory.h"

namespace qv {

namespace {

constexpr char16_t LastPlaceholder = 8;
constexpr int32_t UnlimitedWidth = std::numeric_limits<int16_t>::max();

int32_t ListOfPar(const TPar& par) {
  const int32_t list = GetParFormatProp(par.Format, ppList);
  return list == ParUnset32 ? 0 : list;
}

int32_t LevelOfPar(const TAutoList& list, const TPar& par) {
  if (list.SingleLevel) return 0;
  const int32_t level = GetParFormatProp(par.Format, ppListLevel);
  return level < 0 || level >= ListLevelCount ? 0 : level;
}

// The counter of the paragraph's own level: one more than the latest item of that level since
// the last item of a higher level (unless the level does not restart); an item of a deeper level
// without one of this level before it counts as an implied item.
int32_t OwnLevelValue(const TAutoList& list, int32_t m) {
  const TListLevel& own = list.ListLevels[static_cast<size_t>(m)];
  bool deeperSeen = false;
  for (int32_t i = list.NumberedCount - 1; i >= 0; --i) {
    const TPar* p = list.NumberedPars[static_cast<size_t>(i)];
    if (p->NumberLevel == m) return p->NumberValue + 1;
    if (p->NumberLevel > m) deeperSeen = true;
    else if (!own.NoRestart) break;
  }
  return deeperSeen ? own.StartAt + 1 : own.StartAt;
}

// The current number of another level t, as shown by a paragraph of level m.
int32_t OtherLevelValue(const TAutoList& list, int32_t t) {
  const TListLevel& level = list.ListLevels[static_cast<size_t>(t)];
  for (int32_t i = list.NumberedCount - 1; i >= 0; --i) {
    const TPar* p = list.NumberedPars[static_cast<size_t>(i)];
    if (p->NumberLevel == t) return p->NumberValue;
    if (p->NumberLevel < t && !level.NoRestart) break;
  }
  return level.StartAt;
}

int32_t LegalCode(int32_t code) {
  if (code == nfLeadingZero) return code;
  return IsBulletNumberFormat(code) ? code : nfArabic;
}

std::u16string Widen(const std::string& bytes) {
  return std::u16string(bytes.begin(), bytes.end());  // number texts are ASCII
}

bool SameBytes(const TMemory& a, const TMemory& b) {
  return a.Length == b.Length &&
         (a.Length == 0 || std::memcmp(a.Data, b.Data, static_cast<size_t>(a.Length)) == 0);
}

void AppendDifferences(TMemory& stream, const TCharFormat& target, const TCharFormat& base,
                       bool skipSize) {
  for (int prop = ctFormatLast; prop >= ctFormatFirst; --prop) {
    if (skipSize && prop == cpSize) continue;
    if (target[prop] != base[prop]) AppendContentTag(stream, static_cast<uint8_t>(prop), target[prop]);
  }
}

// The number paragraph's stream for the text (see the pass below for the formatting rules).
TMemory BuildNumberStream(TDoc& doc, const TPar& par, const TListLevel& level,
                          const std::u16string& text) {
  TMemory stream;
  if (text.empty() && level.Follow == 2) return stream;
  TCharFormat f;
  doc.GetCharFormatAt(par.Index, par.CharCount(), f);
  f.Underline = 0;
  if (IsBulletNumberFormat(level.NumberFormat)) {
    f.Bold = f.Italic = f.Strike = f.DoubleStrike = f.SmallCaps = f.AllCaps = 0;
    f.Script = f.Spacing = f.Kerning = 0;
  }
  TCharFormat n = f;
  ApplyCharFormat(n, level.CharFormat);
  if (!text.empty()) {
    AppendDifferences(stream, n, DefaultCharFormat, false);
    if (level.PictureBullet != nullptr) {
      AppendContentTag(stream, ctInlineShape, TagRefOf(level.PictureBullet));
    } else {
      for (char16_t c : text) AppendContentTag(stream, ctWideChar, c);
    }
  }
  if (level.Follow != 2) {
    AppendDifferences(stream, f, text.empty() ? DefaultCharFormat : n, true);
    if (level.Follow == 1) {
      const uint8_t space = ' ';
      stream.Append(&space, 1);
    } else {
      AppendContentTag(stream, ctSpecialChar, scTab);
    }
  }
  return stream;
}

void MarkChanged(TDoc& doc, TPar& par) {
  doc.InvalidateFromParagraph(par.Index);
  par.ReleaseLines();
  par.Flags &= static_cast<uint16_t>(~pfLinesValid);
}

void ClearNumber(TDoc& doc, TPar& par) {
  if (!par.NumberPar || par.NumberPar->CharCount() == 0) return;
  TPar& np = *par.NumberPar;
  np.Content.SetLength(0);
  np.Codes.SetLength(0);
  np.ContentChanged();
  np.ReleaseLines();
  MarkChanged(doc, par);
}

// Lays the number out on one line of unlimited width.
void BreakNumberPar(TPar& np) {
  NormalizeParagraphTags(np);
  BreakParagraphIntoLines(np, 0, UnlimitedWidth, nullptr);
}

// A centred or right-aligned number stands on the indent position: its characters move left by
// its width (half of it when centred); a tab after it keeps its own width.
void AlignNumber(TDoc& doc, TPar& np, const TListLevel& level, size_t numberChars) {
  if ((level.NumberAlign != 1 && level.NumberAlign != 2) || np.Lines.empty()) return;
  std::vector<int32_t>& pos = np.Lines.front()->Positions;
  const size_t counted = numberChars + (level.Follow == 1 ? 1 : 0);
  if (pos.size() <= counted) return;
  const int32_t width = pos[counted] - pos[0];
  np.NumberShift = level.NumberAlign == 2 ? width : width / 2;
  if (level.Follow != 0) {
    for (int32_t& x : pos) x -= np.NumberShift;
    return;
  }
  // The tab measured on its own, from where the number now ends.
  const TMemory content = np.Content;
  const int16_t indent = np.Format.FirstIndent;
  np.Content.SetLength(0);
  AppendContentTag(np.Content, ctSpecialChar, scTab);
  np.RebuildCodes();
  np.ContentChanged();
  if (level.NumberAlign == 1) {
    const int32_t shifted = (indent == ParUnset16 ? 0 : indent) + doc.PixelsToTwips(np.NumberShift / 16);
    np.Format.FirstIndent = static_cast<int16_t>(std::clamp(shifted, -32767, 32767));
  }
  BreakNumberPar(np);
  const int32_t tab = np.Lines.empty() ? 0 : np.Lines.front()->EndX() - np.Lines.front()->StartX();
  np.Content = content;
  np.Format.FirstIndent = indent;
  np.RebuildCodes();
  np.ContentChanged();
  BreakNumberPar(np);
  if (np.Lines.empty()) return;
  std::vector<int32_t>& again = np.Lines.front()->Positions;
  if (again.size() < 2) return;
  for (size_t i = 0; i + 1 < again.size(); ++i) again[i] -= np.NumberShift;
  again.back() = again[again.size() - 2] + tab;
}

// The scale of a picture bullet: 85 % of the number's font height over the picture's height.
int32_t PictureBulletScale(const TDoc& doc, const TPar& par, const TListLevel& level) {
  TCharFormat f;
  doc.GetCharFormatAt(par.Index, par.CharCount(), f);
  const int32_t size = level.CharFormat.Size != CharUnset ? level.CharFormat.Size : f.Size;
  const int32_t fontPixels = MulDiv(size == CharUnset ? 24 : size, 96, 144);
  const int32_t picture = level.PictureBullet->GetPictureSizeInPixels()[1];
  if (picture <= 0) return 100;
  return MulDiv(MulDiv(fontPixels, 100, picture), 85, 100);
}

void UpdateNumberPar(TDoc& doc, TPar& par, const TListLevel& level, const std::u16string& text) {
  if (!par.NumberPar) {
    par.NumberPar = std::make_unique<TPar>(&doc);
    par.NumberPar->Flags |= pfNumberPar;
    par.NumberPar->NumberOwner = &par;
    par.NumberPar->Format = par.Format;
    par.NumberPar->Format.Alignment = 0;
  }
  TPar& np = *par.NumberPar;
  if (level.PictureBullet != nullptr) np.BulletScale = PictureBulletScale(doc, par, level);
  TMemory stream = BuildNumberStream(doc, par, level, text);
  if (SameBytes(stream, np.Content) && np.Format.FirstIndent == par.Format.FirstIndent &&
      np.Format.LeftIndent == par.Format.LeftIndent && np.Format.TabSet == par.Format.TabSet &&
      np.NumberAlign == level.NumberAlign)
    return;
  np.Content = std::move(stream);
  np.RebuildCodes();
  np.ContentChanged();
  np.NumberAlign = level.NumberAlign;
  np.NumberShift = 0;
  np.ReleaseLines();
  if (np.CharCount() > 0) {
    np.Format.FirstIndent = par.Format.FirstIndent;
    np.Format.LeftIndent = par.Format.LeftIndent;
    np.Format.TabSet = par.Format.TabSet;
    BreakNumberPar(np);
    if (!text.empty()) AlignNumber(doc, np, level, text.size());
  }
  MarkChanged(doc, par);
}

}  // namespace

std::string ListNumberText(const TDoc& doc, int32_t par, int32_t number, int32_t code) {
  const int32_t length = par >= 0 && par < doc.ParCount() ? doc.Par(par)->CharCount() : 0;
  const int32_t language = doc.GetLanguageAt(par, length) & 0x3FF;
  return FormatListNumber(number, code, language);
}

std::u16string NumberListParagraph(const TDoc& doc, TAutoList& list, TPar& par) {
  const int32_t m = LevelOfPar(list, par);
  par.NumberLevel = static_cast<uint8_t>(m);
  const TListLevel& own = list.ListLevels[static_cast<size_t>(m)];
  par.NumberValue = own.StartAt;
  std::u16string text = own.LevelText;
  for (size_t i = text.size(); i-- > 0;) {
    const char16_t t = text[i];
    if (t > LastPlaceholder) continue;
    int32_t value = 0;
    int32_t code = 0;
    if (t == m) {
      par.NumberValue = OwnLevelValue(list, m);
      value = par.NumberValue;
      code = own.Legal ? (own.NumberFormat == nfLeadingZero ? nfLeadingZero : nfArabic)
                       : own.NumberFormat;
    } else {
      value = OtherLevelValue(list, t);
      code = list.ListLevels[t].NumberFormat;
      if (own.Legal) code = LegalCode(code);
    }
    text.replace(i, 1, Widen(ListNumberText(doc, par.Index, value, code)));
  }
  return text;
}

void RenumberDocLists(TDoc& doc) {
  if (doc.Lists.empty()) return;
  for (auto& list : doc.Lists) list->NumberedCount = 0;
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    TPar& par = *doc.Par(i);
    TAutoList* list = doc.ListByNumber(ListOfPar(par));
    if (list == nullptr || par.CharCount() == 0 || doc.IsInMergedCell(i)) {
      ClearNumber(doc, par);
      continue;
    }
    std::u16string text = NumberListParagraph(doc, *list, par);
    const TListLevel& level = list->ListLevels[par.NumberLevel];
    if (level.PictureBullet != nullptr) text = u"\x0001";
    UpdateNumberPar(doc, par, level, text);
    auto& numbered = list->NumberedPars;
    if (list->NumberedCount < static_cast<int32_t>(numbered.size()))
      numbered[static_cast<size_t>(list->NumberedCount)] = &par;
    else
      numbered.push_back(&par);
    ++list->NumberedCount;
  }
  doc.SetDocFlag(dfListsNeedRenumbering, false);
}

void TDoc::RenumberLists() { RenumberDocLists(*this); }

}  // namespace qv
