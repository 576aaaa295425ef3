#include "editing/format_operations.h"

#include <algorithm>

#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc_services.h"
#include "document/section.h"
#include "document/styles.h"
#include "editing/edit_flags.h"
#include "document/fragment_pool.h"
#include "editing/format_records.h"
#include "editing/operation.h"
#include "editing/style_operations.h"
#include "editing/undo_records.h"
#include "foundation/base/units.h"
#include "foundation/settings/options_holder.h"

namespace qv {

namespace {

bool FormatWithoutSelection() { return (GetOptions().Edit.Flags & 0x80u) != 0; }

bool IsWordByte(uint8_t c) { return c >= 32 && !DocServices().IsWordDelimiterByte(c); }

}  // namespace

TFragmentRef BuildFragment(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range) {
  TFragmentRef f = AcquireFragment();
  if (range != nullptr) {
    f->SetSingleRange(range->Start.Par, range->Start.Offset, range->End.Par, range->End.Offset);
  } else if (fragment != nullptr) {
    f->Assign(*fragment);
    f->Normalize();
  } else if (doc.Selection) {
    f->Assign(*doc.Selection);
    f->Normalize();
  } else {
    f->SetSingleRange(doc.Caret.Par, doc.Caret.Offset, doc.Caret.Par, doc.Caret.Offset);
  }
  return f;
}

void TakeDocumentSelection(TDoc& doc, bool clear) {
  TPostActions& pa = doc.CurrentPostActions();
  if (!pa.Selection) pa.Selection = AcquireFragment();
  if (clear || !doc.Selection)
    pa.Selection->SetSingleRange(doc.Caret.Par, doc.Caret.Offset, doc.Caret.Par, doc.Caret.Offset);
  else
    pa.Selection->Assign(*doc.Selection);
  pa.Caret = doc.Caret;
  pa.HasCaret = true;
}

// --- Page settings ---

void ChangePageParams(TDoc& doc, const TPageParams& given, const TDocRange& range) {
  constexpr int32_t U = INT32_MIN;
  uint8_t kind;
  if (given.LeftMargin == U) {
    kind = given.RightMargin != U ? 1 : given.TopMargin != U ? 2 : given.BottomMargin != U ? 3
         : given.HeaderDistance != U ? 4 : given.FooterDistance == U ? 6 : 5;
  } else {
    kind = (given.RightMargin == U || given.TopMargin == U || given.BottomMargin == U) ? 0 : 7;
  }
  std::vector<TSection*> sections = doc.SectionsOfRange(range);
  std::vector<TPageParams> records;
  for (TSection* s : sections) {
    TPageParams p = s->PageParams;
    const TPageParams& cur = doc.PageSectionOfParagraph(s->FirstPar)->PageParams;
    const int32_t maxDistance = cur.PageHeight * 40 / 100;
    switch (kind) {
      case 0: p.LeftMargin = std::min(given.LeftMargin, cur.PageWidth - cur.RightMargin - 180); break;
      case 1: p.RightMargin = std::min(given.RightMargin, cur.PageWidth - cur.LeftMargin - 180); break;
      case 2: p.TopMargin = std::min(given.TopMargin, cur.PageHeight - cur.BottomMargin - 180); break;
      case 3: p.BottomMargin = std::min(given.BottomMargin, cur.PageHeight - cur.TopMargin - 180); break;
      case 4: p.HeaderDistance = std::min(given.HeaderDistance, maxDistance); break;
      case 5: p.FooterDistance = std::min(given.FooterDistance, maxDistance); break;
      case 6:
        p.Orientation = p.Orientation ? 0 : 1;
        if ((p.Orientation == 0 && p.PageHeight < p.PageWidth) ||
            (p.Orientation == 1 && p.PageWidth < p.PageHeight))
          std::swap(p.PageWidth, p.PageHeight);
        break;
      default: {
        const int32_t start = p.LineNumStart;
        p = given;
        if (p.LineNumStart == 0) p.LineNumStart = start;
        break;
      }
    }
    p.TextWidth = p.PageWidth - p.LeftMargin - p.RightMargin;
    records.push_back(p);
  }
  if (kind == 7 && !records.empty())
    for (TPageParams& p : records) {
      p.Mirror = records.front().Mirror;
      p.DiffOddEven = records.front().DiffOddEven;
    }
  const int32_t first = sections.empty() ? 0 : sections.front()->Number;
  TSubOperation::Execute(
      std::make_unique<TChangePageParamsOperation>(doc, std::move(records), first, kind));
  TPostActions& pa = doc.CurrentPostActions();
  pa.Caret = doc.Caret;
  pa.HasCaret = true;
}

// --- Paragraph format ---

void FormatParagraphs(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                      const TParFormat& format) {
  if (IsParFormatEmpty(format)) return;
  TFragmentRef f = BuildFragment(doc, fragment, range);
  for (int32_t r = 0; r < f->Count(); ++r) {
    const TDocRange& rg = *f->GetRange(r);
    auto rec = std::make_unique<TFormatParsOperation>(doc);
    for (int32_t i = rg.Start.Par; i <= rg.End.Par && i < doc.ParCount(); ++i) {
      if (i == rg.End.Par && rg.End.Offset == 0 && rg.End.Par > rg.Start.Par) break;
      const TPar& p = *doc.Par(i);
      // A row end keeps the row-end format, which stays in the table (the default format would
      // take it out and break the table), unless the caller hands it the format (flag 151).
      const TParFormat& fmt =
          (p.CharCount() > 0 && p.CodeAt(0) == scRowEnd && !doc.IsDocFlagSet(151)) ? TableParFormat
                                                                                    : format;
      TFormatParsOperation::TGroup g{i, {}};
      const int32_t F = GetParFormatProp(fmt, ppFirstIndent), L = GetParFormatProp(fmt, ppLeftIndent);
      const int32_t pf = GetParFormatProp(p.Format, ppFirstIndent), pl = GetParFormatProp(p.Format, ppLeftIndent);
      const int32_t curF = pf == ParUnset32 ? 0 : pf, curL = pl == ParUnset32 ? 0 : pl;
      if (F != ParUnset32 || L != ParUnset32) {
        int32_t newF = curF, newL = curL;
        if (F != ParUnset32 && L != ParUnset32) {
          newF = F;
          newL = L;
        } else if (L != ParUnset32) {
          newL = curF < 0 ? L - curF : L;
        } else {
          const int32_t d = curF < 0 ? curL + curF : curL;
          newF = F;
          newL = F < 0 ? d - F : d;
        }
        if (newF != pf) g.Entries.push_back({static_cast<uint8_t>(ppFirstIndent), newF});
        if (newL != pl) g.Entries.push_back({static_cast<uint8_t>(ppLeftIndent), newL});
      }
      for (int n = 2; n < TParFormat::Count; ++n) {
        if (n == ppCollapsed || IsParFormatPropUnset(fmt, n)) continue;
        const int32_t v = GetParFormatProp(fmt, n);
        if (v != GetParFormatProp(p.Format, n)) g.Entries.push_back({static_cast<uint8_t>(n), v});
      }
      if (!g.Entries.empty()) rec->Groups.push_back(std::move(g));
    }
    if (!rec->Groups.empty()) TSubOperation::Execute(std::move(rec));
  }
  TakeDocumentSelection(doc);
}

// --- Character format ---

void FormatFont(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                uint8_t flags, const TCharFormat& given) {
  TCharFormat f = given;
  if (f.Highlight == AnyHighlight) f.Highlight = CharUnset;
  if (IsCharFormatEmpty(f)) return;
  auto on = [](int32_t v) { return v != CharUnset && v > 0; };
  if (on(f.Strike)) f.DoubleStrike = 0;
  if (on(f.DoubleStrike)) f.Strike = 0;
  if (on(f.SmallCaps)) f.AllCaps = 0;
  if (on(f.AllCaps)) f.SmallCaps = 0;
  if (on(f.Shadow) || on(f.Outline)) f.Emboss = f.Engrave = 0;
  if (on(f.Emboss)) f.Engrave = f.Shadow = f.Outline = 0;
  if (on(f.Engrave)) f.Emboss = f.Shadow = f.Outline = 0;
  TFragmentRef frag = BuildFragment(doc, fragment, range);
  if (IsFragmentEmpty(frag.get()) && (FormatWithoutSelection() || doc.IsDocFlagSet(49))) {
    const TDocRange& r = *frag->GetRange(0);
    const TPar& p = *doc.Par(r.Start.Par);
    int32_t a = r.Start.Offset, b = r.Start.Offset;
    while (a > 0 && IsWordByte(p.CodeAt(a - 1))) --a;
    while (b < p.CharCount() - 1 && IsWordByte(p.CodeAt(b))) ++b;
    if (a < r.Start.Offset && r.Start.Offset < b)
      frag->SetSingleRange(r.Start.Par, a, r.Start.Par, b);
    else if (p.CharCount() == 1)
      frag->SetSingleRange(r.Start.Par, 0, r.Start.Par, 1);
  }
  if (IsFragmentEmpty(frag.get())) {
    // Typing at the caret starts from the current format (TDoc::UpdateTypingFormat), so the
    // change goes there too, or the next typed character would not take it.
    ApplyCharFormat(doc.TypingFormat, f);
    ApplyCharFormat(doc.CurCharFormat, f);
    if (doc.IsDocFlagSet(dfScrollModeFlag)) doc.SetDocFlag(dfTypingFormatChanged, true);
    return;
  }
  if (doc.IsDocFlagSet(dfTypingFormatChanged)) FillUnsetCharFormat(f, doc.TypingFormat);
  for (int32_t i = 0; i < frag->Count(); ++i) {
    const TDocRange& r = *frag->GetRange(i);
    if (IsRangeEmpty(r)) continue;
    TSubOperation::Execute(std::make_unique<TFormatFontOperation>(doc, r, f));
  }
  TakeDocumentSelection(doc, (flags & 1) != 0);
}

int32_t StepFontValue(int32_t prop, int32_t old, int32_t step) {
  int32_t v = old == CharUnset ? 0 : old;
  if (prop == cpSize) {
    if (old == CharUnset) v = 20;
    const std::vector<int32_t>& sizes = GetOptions().General.FontSizes;
    if (step == -2000) {
      for (auto it = sizes.rbegin(); it != sizes.rend(); ++it)
        if (*it < v) { v = *it; break; }
    } else if (step == 2000) {
      for (int32_t s : sizes)
        if (s > v) { v = s; break; }
    } else if (step > -2000 && step < 2000) {
      v += step;
    } else {
      v = MulDiv(v, step - 2000, 100);
    }
    return std::clamp(v, 2, 2000);
  }
  if (prop == cpSpacing) return std::clamp(MulDiv(v, 1, 2) * 2 + step, -20000, 20000);
  if (prop == cpVertOffset) return std::clamp(v + step, -1000, 1000);
  return v + step;
}

void StepFontProperty(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                      int32_t step, int32_t prop) {
  if (prop < 0 || prop >= TCharFormat::Count) return;
  TFragmentRef frag = BuildFragment(doc, fragment, range);
  if (IsFragmentEmpty(frag.get())) {
    TCharFormat f = UnsetCharFormat;
    f[prop] = StepFontValue(prop, doc.TypingFormat[prop], step);
    FormatFont(doc, frag.get(), nullptr, 0, f);
    return;
  }
  for (int32_t i = 0; i < frag->Count(); ++i) {
    const TDocRange r = *frag->GetRange(i);
    // Runs of one value of the property, each stepped from its own value.
    for (int32_t p = r.Start.Par; p <= r.End.Par; ++p) {
      TPar& par = *doc.Par(p);
      const int32_t from = p == r.Start.Par ? r.Start.Offset : 0;
      const int32_t to = p == r.End.Par ? r.End.Offset : par.CharCount();
      int32_t runStart = from;
      TCharFormat cur;
      par.GetCharFormatAt(from, cur);
      int32_t value = cur[prop];
      for (int32_t c = from + 1; c <= to; ++c) {
        TCharFormat at;
        if (c < to) par.GetCharFormatAt(c, at);
        if (c == to || at[prop] != value) {
          TDocRange run;
          MakeRange(p, runStart, p, c, run);
          TCharFormat f = UnsetCharFormat;
          f[prop] = StepFontValue(prop, value, step);
          if (!IsRangeEmpty(run)) FormatFont(doc, nullptr, &run, 0, f);
          runStart = c;
          if (c < to) value = at[prop];
        }
      }
    }
  }
  TakeDocumentSelection(doc);
}

void FormatTabs(TDoc& doc, int32_t defaultTabStop, int16_t tabSet) {
  TFragmentRef f = BuildFragment(doc, nullptr, nullptr);
  const TDocRange r = f->GetExtent();
  TSubOperation::Execute(std::make_unique<TFormatTabsOperation>(doc, defaultTabStop, tabSet, r));
  TakeDocumentSelection(doc);
}

void ResetToStyleFormat(TDoc& doc, const TCompoundFragment* fragment, const TDocRange* range,
                        uint8_t characterFormat) {
  TFragmentRef f = BuildFragment(doc, fragment, range);
  for (int32_t i = 0; i < f->Count(); ++i) {
    const TDocRange r = *f->GetRange(i);
    for (int32_t p = r.Start.Par; p <= r.End.Par && p < doc.ParCount(); ++p) {
      TStyle* style = doc.Par(p)->GetStyle();
      if (style == nullptr) continue;
      TCharFormat cf;
      TParFormat pf;
      GetStyleFormat(*style, &cf, &pf, 0);
      TDocRange piece;
      MakeRange(p, p == r.Start.Par ? r.Start.Offset : 0, p,
                p == r.End.Par ? r.End.Offset : doc.Par(p)->CharCount(), piece);
      if (characterFormat)
        FormatFont(doc, nullptr, &piece, 0, cf);
      else
        FormatParagraphs(doc, nullptr, &piece, pf);
    }
  }
  TakeDocumentSelection(doc);
}

TFormatBrush& FormatBrush() {
  static TFormatBrush brush;
  return brush;
}

void ApplyFormatBrush(TDoc& doc) {
  const TFormatBrush& b = FormatBrush();
  if (!b.Captured) return;
  TFragmentRef f = BuildFragment(doc, nullptr, nullptr);
  if (!b.StyleName.empty()) {
    const int32_t s = doc.Styles->IndexOfDisplayName(b.StyleName);
    if (s >= 0) {
      ApplyStyle(doc, f.get(), nullptr, nullptr, nullptr, true, s);
      return;
    }
  }
  FormatFont(doc, f.get(), nullptr, 0, b.CharFormat);
  if (!IsParFormatEmpty(b.ParFormat)) FormatParagraphs(doc, f.get(), nullptr, b.ParFormat);
}

// Lays the whole document out again from scratch: the formats changed everywhere.
void RepaginateWhole(TDoc& doc) {
  doc.DiscardPages();
  doc.PaginateAll();
}

bool ShrinkPageCount(TDoc& doc) {
  doc.PaginateAll();
  doc.SetScopedFlag(17);
  doc.SetScopedFlag(14);
  doc.ClearScopedFlag(11);
  TFragmentRef saved = doc.Selection ? CloneFragment(*doc.Selection) : nullptr;
  const TDocPosition caret = doc.Caret;
  bool changed = false;
  // Every step takes half a point off every run, so after at most the largest size's worth of
  // steps the whole text is at the smallest size; the bound only guards against a typing format
  // that never reports it.
  for (int32_t step = 0; step <= 2000; ++step) {
    TDocRange all;
    doc.GetMainTextRange(all);
    doc.SetSelection(all.Start.Par, all.Start.Offset, all.End.Par, all.End.Offset,
                     TDoc::ssNoInterfaceUpdate);
    doc.UpdateTypingFormat(doc.Caret, 0);
    if (doc.TypingFormat[cpSize] == 2 || step == 2000) {
      // Nothing smaller is possible: take back this operation's own steps.
      if (auto* op = dynamic_cast<TOperation*>(doc.CurrentOperation)) op->Rollback();
      RepaginateWhole(doc);
      break;
    }
    const int32_t pages = doc.PageCount();
    StepFontProperty(doc, nullptr, nullptr, -1, cpSize);
    RepaginateWhole(doc);
    if (doc.PageCount() != pages) {
      changed = true;
      break;
    }
  }
  doc.Caret = caret;
  if (saved && !IsFragmentEmpty(saved.get()))
    doc.Selection = std::move(saved);
  else
    doc.ClearSelection(TDoc::ssNoInterfaceUpdate);
  doc.SelectionChanged();
  TakeDocumentSelection(doc);
  doc.RestoreScopedFlags(3);
  return changed;
}

}  // namespace qv
