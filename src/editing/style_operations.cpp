#include "editing/style_operations.h"

#include <algorithm>

#include "document/auto_list.h"
#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/field.h"
#include "document/section.h"
#include "document/styles.h"
#include "editing/edit_flags.h"
#include "editing/format_operations.h"
#include "editing/format_records.h"
#include "editing/list_gallery.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

int32_t PropOr0(const TParFormat& f, int n) {
  const int32_t v = GetParFormatProp(f, n);
  return v == ParUnset32 ? 0 : v;
}

bool SameStepProperty(const TParFormat& a, const TParFormat& b, uint8_t kind) {
  switch (kind) {
    case psLeftIndent:
    case psLeftIndentKeepFirstLine:
      return PropOr0(a, ppFirstIndent) == PropOr0(b, ppFirstIndent) &&
             PropOr0(a, ppLeftIndent) == PropOr0(b, ppLeftIndent);
    case psLessSpaceBefore:
    case psMoreSpaceBefore:
      return PropOr0(a, ppSpaceBefore) == PropOr0(b, ppSpaceBefore);
    case psLessSpaceAfter:
    case psMoreSpaceAfter:
      return PropOr0(a, ppSpaceAfter) == PropOr0(b, ppSpaceAfter);
    default:
      return PropOr0(a, ppList) == PropOr0(b, ppList) &&
             PropOr0(a, ppListLevel) == PropOr0(b, ppListLevel);
  }
}

constexpr int32_t kLevelIndentStep = 360;

// A one-level list stepped to a deeper level becomes the gallery's nine-level list of its number
// format, keeping its own first level; every level takes the paragraph's first-line indent and
// its left indent plus 360 twips a level. Without such a gallery list the list stays as it is.
void WidenSimpleList(TDoc& doc, TAutoList& list, const TParFormat& f) {
  std::unique_ptr<TAutoList> wide = GetListGalleryList(static_cast<uint8_t>(list.ListLevels[0].NumberFormat));
  if (!wide) return;
  wide->ListLevels[0] = list.ListLevels[0];
  const int32_t first = PropOr0(f, ppFirstIndent), left = PropOr0(f, ppLeftIndent);
  for (size_t i = 0; i < wide->ListLevels.size(); ++i) {
    SetParFormatProp(wide->ListLevels[i].ParFormat, ppFirstIndent, first);
    SetParFormatProp(wide->ListLevels[i].ParFormat, ppLeftIndent, left + static_cast<int32_t>(i) * kLevelIndentStep);
  }
  wide->SingleLevel = 0;
  ChangeListDefinition(doc, list, *wide);
}

// The indents that every other paragraph of the document with the list at the level has, when
// there is at least one and they all agree.
bool AgreedLevelIndents(TDoc& doc, int32_t list, int32_t level, int32_t first, int32_t last,
                        int32_t& firstIndent, int32_t& leftIndent) {
  bool found = false;
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    if (i >= first && i <= last) continue;
    const TParFormat& f = doc.Par(i)->Format;
    if (GetParFormatProp(f, ppList) != list || PropOr0(f, ppListLevel) != level) continue;
    const int32_t fi = PropOr0(f, ppFirstIndent), li = PropOr0(f, ppLeftIndent);
    if (found && (fi != firstIndent || li != leftIndent)) return false;
    firstIndent = fi;
    leftIndent = li;
    found = true;
  }
  return found;
}

// The stepped paragraph format of the group of paragraphs par..last (only the stepped properties
// set); false when the group does not change.
bool StepGroup(TDoc& doc, int32_t par, int32_t last, int32_t step, uint8_t kind, TParFormat& out) {
  const TParFormat& f = doc.Par(par)->Format;
  out = UnsetParFormat;
  const TSection* ps = doc.PageSectionOfParagraph(par);
  const int32_t textWidth = ps->PageParams.TextWidth;
  const int32_t height = ps->PageParams.PageHeight;
  const int32_t first = PropOr0(f, ppFirstIndent), left = PropOr0(f, ppLeftIndent);
  switch (kind) {
    case psLeftIndent: {
      int32_t v = left + step;
      if (first < 0 && v < -first) v = -first;
      else if (v < 0) v = 0;
      v = std::min(v, textWidth);
      SetParFormatProp(out, ppLeftIndent, v);
      SetParFormatProp(out, ppFirstIndent, first);
      return v != left;
    }
    case psLeftIndentKeepFirstLine: {
      const int32_t v = std::clamp(left + step, 0, std::max(textWidth, 0));
      SetParFormatProp(out, ppLeftIndent, v);
      SetParFormatProp(out, ppFirstIndent, left + first - v);
      return v != left;
    }
    case psLessSpaceBefore:
    case psLessSpaceAfter:
    case psMoreSpaceBefore:
    case psMoreSpaceAfter: {
      const int prop = kind <= psMoreSpaceBefore ? ppSpaceBefore : ppSpaceAfter;
      const int32_t old = PropOr0(f, prop);
      int32_t v;
      if (kind == psLessSpaceBefore || kind == psLessSpaceAfter)
        v = old == -20 ? 0 : std::max(old - 60, 0);
      else
        v = old == -20 ? 340 : std::min(old + 60, height * 4 / 10);
      SetParFormatProp(out, prop, v);
      return v != old;
    }
    default: {
      const int32_t list = GetParFormatProp(f, ppList);
      if (list == ParUnset32 || list == 0) return false;
      const int32_t level = PropOr0(f, ppListLevel);
      const int32_t next = kind == psListLevelDown ? level + 1 : level - 1;
      if (next < 0 || next > 8) return false;
      const TStyle* style = doc.Par(par)->GetStyle();
      if (style != nullptr && StyleHasListFormat(*style)) {
        const int32_t other = doc.Styles->IndexOfListStyle(list, next);
        if (other < 0) return false;
        SetParFormatProp(out, ppStyle, other);
        return true;
      }
      SetParFormatProp(out, ppListLevel, next);
      TAutoList* l = doc.ListByNumber(list);
      if (l != nullptr && l->SingleLevel != 0 && next > 0) WidenSimpleList(doc, *l, f);
      int32_t fi = 0, li = 0;
      if (AgreedLevelIndents(doc, list, next, par, last, fi, li)) {
        SetParFormatProp(out, ppFirstIndent, fi);
        SetParFormatProp(out, ppLeftIndent, li);
      } else if (l != nullptr) {
        const TParFormat& lf = l->ListLevels[static_cast<size_t>(next)].ParFormat;
        CopyParFormatProp(out, ppFirstIndent, lf);
        CopyParFormatProp(out, ppLeftIndent, lf);
      }
      return true;
    }
  }
}

struct TStyleRun {
  int32_t Start, End;
  bool InHyperlink, InNoteMark;
};

// The paragraph cut into runs at the start and end marks of hyperlink fields (outside tables of
// contents) and of note references and marks.
std::vector<TStyleRun> CutStyleRuns(const TPar& par) {
  std::vector<TStyleRun> runs;
  int32_t hyperlinks = 0, notes = 0, toc = 0, index = 0, start = 0;
  auto cut = [&](int32_t at) {
    if (at > start) runs.push_back({start, at, hyperlinks > 0 && toc == 0, notes > 0});
    start = at;
  };
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item); off += item.Size) {
    if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
      const TField* f = FieldOfTag(item.Tag);
      if (f == nullptr) continue;
      const int delta = item.Tag.Kind == ctFieldStart ? 1 : -1;
      int32_t* counter = nullptr;
      if (f->Kind == fkField && f->FieldType == ftHyperlink) counter = &hyperlinks;
      else if (f->Kind == fkField && f->FieldType == ftToc) counter = &toc;
      else if (f->Kind == fkNoteReference || f->Kind == fkNoteMark) counter = &notes;
      if (counter == nullptr) continue;
      cut(index);
      *counter = std::max(*counter + delta, 0);
      continue;
    }
    index += item.Chars();
  }
  cut(par.CharCount());
  return runs;
}

}  // namespace

void StepParagraphFormat(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                         int32_t step, uint8_t kind) {
  TFragmentRef frag = BuildFragment(doc, fragment, range);
  for (int32_t r = 0; r < frag->Count(); ++r) {
    const TDocRange rg = *frag->GetRange(r);
    int32_t p = rg.Start.Par;
    while (p <= rg.End.Par && p < doc.ParCount()) {
      int32_t q = p;
      while (q + 1 <= rg.End.Par && q + 1 < doc.ParCount() &&
             SameStepProperty(doc.Par(q + 1)->Format, doc.Par(p)->Format, kind) &&
             (kind >= psListLevelDown || doc.SectionOfParagraph(q + 1)->FirstPar != q + 1))
        ++q;
      TParFormat f;
      if (StepGroup(doc, p, q, step, kind, f)) {
        TDocRange group;
        MakeRange(p, 0, q, doc.Par(q)->CharCount(), group);
        if (!IsParFormatPropUnset(f, ppStyle) && kind >= psListLevelDown)
          ApplyStyle(doc, nullptr, &group, nullptr, nullptr, true, GetParFormatProp(f, ppStyle));
        else
          FormatParagraphs(doc, nullptr, &group, f);
      }
      p = q + 1;
    }
  }
  TakeDocumentSelection(doc);
}

void ApplyStyle(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                const TParFormat* parOverride, const TCharFormat* charOverride, bool withFormats,
                int32_t styleIndex) {
  TStyle* style = doc.Styles->Get(styleIndex);
  if (style == nullptr) return;
  TFragmentRef frag = BuildFragment(doc, fragment, range);
  TParFormat pf = UnsetParFormat;
  if (withFormats) {
    TCharFormat own, complete;
    GetStyleFormat(*style, &own, nullptr, sfOwnOnly);
    GetStyleFormat(*style, &complete, &pf, 0);
    if (charOverride != nullptr) complete = *charOverride;
    if (parOverride != nullptr) pf = *parOverride;
    doc.SetDocFlag(dfTypingFormatChanged, false);
    for (int32_t r = 0; r < frag->Count(); ++r) {
      const TDocRange rg = *frag->GetRange(r);
      for (int32_t p = rg.Start.Par; p <= rg.End.Par && p < doc.ParCount(); ++p) {
        TPar& par = *doc.Par(p);
        NormalizeParagraphTags(par);
        // Properties that vary over the paragraph's text keep their direct formatting unless
        // the style itself sets them.
        TCharFormat apply = complete;
        TCharFormat first;
        par.GetCharFormatAt(0, first);
        for (int32_t c = 1; c < par.CharCount() - 1; ++c) {
          TCharFormat at;
          par.GetCharFormatAt(c, at);
          for (int k = 0; k < TCharFormat::Count; ++k)
            if (own[k] == CharUnset && at[k] != first[k] && at[k] != CharUnset && first[k] != CharUnset)
              apply[k] = CharUnset;
        }
        // Runs cut at the marks of hyperlinks and note references: a hyperlink keeps its colour
        // and underline, a note reference its vertical position.
        for (const TStyleRun& run : CutStyleRuns(par)) {
          TCharFormat f = apply;
          if (run.InHyperlink) f.Color = f.Underline = CharUnset;
          if (run.InNoteMark) f.Script = f.VertOffset = CharUnset;
          TDocRange piece;
          MakeRange(p, run.Start, p, run.End, piece);
          if (!IsRangeEmpty(piece)) FormatFont(doc, nullptr, &piece, 0, f);
        }
      }
    }
  }
  SetParFormatProp(pf, ppStyle, styleIndex);
  for (int32_t r = 0; r < frag->Count(); ++r) {
    const TDocRange rg = *frag->GetRange(r);
    TDocRange pars;
    MakeRange(rg.Start.Par, 0, rg.End.Par, doc.Par(rg.End.Par)->CharCount(), pars);
    FormatParagraphs(doc, nullptr, &pars, pf);
  }
  TakeDocumentSelection(doc);
}

void ChangeListDefinition(TDoc& doc, TAutoList& list, const TAutoList& definition) {
  auto copy = std::make_unique<TAutoList>();
  copy->Assign(definition);
  TSubOperation::Execute(std::make_unique<TFormatAutoListOperation>(doc, &list, std::move(copy)));
}

void FormatDocumentStyles(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                          std::unique_ptr<TFormatStyleListInfo> info) {
  if (!info) return;
  for (auto& [index, def] : info->ChangedLists) {
    if (index < 0 || index >= static_cast<int32_t>(doc.Lists.size()) || !def) continue;
    TAutoList& list = *doc.Lists[static_cast<size_t>(index)];
    if (!list.SameFormat(*def, 0)) ChangeListDefinition(doc, list, *def);
  }
  const int32_t apply = info->StyleIndex;
  if (info->NewStyles)
    TSubOperation::Execute(std::make_unique<TFormatStyleListOperation>(doc, std::move(info)));
  if (apply >= 0) ApplyStyle(doc, fragment, range, nullptr, nullptr, true, apply);
  TakeDocumentSelection(doc);
  if (!doc.IsDocFlagSet(dfTypingFormatChanged)) doc.SetDocFlag(dfTypingFormatFlags, false);
}

bool UpdateStyle(TDoc& doc, int32_t styleIndex) {
  if (styleIndex < 0) styleIndex = GetParFormatProp(doc.CurParFormat, ppStyle);
  if (styleIndex == ParUnset32 || doc.Styles->Get(styleIndex) == nullptr) {
    ShowInfoFmt("The \"%s\" operation can only be applied to a selection of paragraphs of the "
                "same style.",
                "update style");
    return false;
  }
  const TStyle& style = (*doc.Styles)[styleIndex];
  TParFormat pf = doc.CurParFormat;
  TCharFormat cf = doc.CurCharFormat;
  TCharFormat baseChar = DefaultCharFormat;
  TParFormat basePar = DefaultParFormat;
  if (const TStyle* base = doc.Styles->Get(style.BasedOn)) GetStyleFormat(*base, &baseChar, &basePar, 0);
  SubtractParFormat(pf, basePar);
  SubtractCharFormat(cf, baseChar);
  if (style.IsHeading()) SetParFormatProp(pf, ppOutlineLevel, style.BuiltIn - 1);
  SetParFormatProp(pf, ppStyle, styleIndex);
  ClearParFormatProp(pf, ppInTable);
  ClearParFormatProp(pf, ppCollapsed);
  // A listed paragraph's indents go into its list level (when no paragraph of another style
  // uses the list); the style keeps the list and the level.
  const int32_t list = GetParFormatProp(doc.CurParFormat, ppList);
  if (list != ParUnset32 && list != 0) {
    int32_t level = GetParFormatProp(doc.CurParFormat, ppListLevel);
    if (level == ParUnset32 || level < 0 || level > 8) level = 0;
    auto indent = [&](int n) {
      const int32_t v = GetParFormatProp(doc.CurParFormat, n);
      if (v != ParUnset32) return v;
      const int32_t b = GetParFormatProp(basePar, n);
      return b != ParUnset32 ? b : PropOr0(DefaultParFormat, n);
    };
    TAutoList* l = doc.ListByNumber(list);
    bool usedElsewhere = false;
    for (int32_t i = 0; l && i < doc.ParCount() && !usedElsewhere; ++i) {
      const TPar& p = *doc.Par(i);
      if (GetParFormatProp(p.Format, ppList) != list) continue;
      const TStyle* other = p.GetStyle();
      usedElsewhere = GetParFormatProp(p.Format, ppStyle) != styleIndex &&
                      (other == nullptr || !StyleHasListFormat(*other));
    }
    if (l != nullptr && !usedElsewhere) {
      const TParFormat& lf = l->ListLevels[static_cast<size_t>(level)].ParFormat;
      const int32_t first = indent(ppFirstIndent), left = indent(ppLeftIndent);
      if (PropOr0(lf, ppFirstIndent) != first || PropOr0(lf, ppLeftIndent) != left) {
        TAutoList copy;
        copy.Assign(*l);
        SetParFormatProp(copy.ListLevels[static_cast<size_t>(level)].ParFormat, ppFirstIndent, first);
        SetParFormatProp(copy.ListLevels[static_cast<size_t>(level)].ParFormat, ppLeftIndent, left);
        ChangeListDefinition(doc, *l, copy);
      }
    }
    SetParFormatProp(pf, ppList, list);
    SetParFormatProp(pf, ppListLevel, level);
  }
  // Nothing to do when the style, reduced the same way, already says this.
  TParFormat stylePar;
  TCharFormat styleChar;
  GetStyleFormat(style, &styleChar, &stylePar, 0);
  SubtractParFormat(stylePar, basePar);
  SubtractCharFormat(styleChar, baseChar);
  if (style.IsHeading()) SetParFormatProp(stylePar, ppOutlineLevel, style.BuiltIn - 1);
  SetParFormatProp(stylePar, ppStyle, styleIndex);
  ClearParFormatProp(stylePar, ppInTable);
  ClearParFormatProp(stylePar, ppCollapsed);
  if (ParFormatsEqual(pf, stylePar) && CharFormatsEqual(cf, styleChar)) return true;
  auto info = std::make_unique<TFormatStyleListInfo>();
  info->NewStyles = std::make_unique<TStyleList>(&doc);
  info->NewStyles->Assign(*doc.Styles);
  TStyle& changed = (*info->NewStyles)[styleIndex];
  changed.ParFmt = pf;
  changed.CharFmt = cf;
  info->Changed.push_back(styleIndex);
  std::vector<int32_t> derived;
  doc.Styles->GetDerivedStyles(styleIndex, derived, true);
  for (int32_t d : derived) info->Changed.push_back(d);
  FormatDocumentStyles(doc, nullptr, nullptr, std::move(info));
  return true;
}

}  // namespace qv
