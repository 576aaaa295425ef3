#include "editing/format_records.h"

#include <algorithm>
#include <cstring>

#include "document/auto_list.h"
#include "document/content_stream.h"
#include "document/object_edit_services.h"
#include "document/styles.h"
#include "editing/edit_flags.h"
#include "editing/format_operations.h"
#include "editing/ins_del_operation.h"
#include "editing/operation.h"
#include "editing/style_operations.h"
#include "editing/undo_stack.h"

namespace qv {

namespace {

// Applies the set properties of the format to the characters [from, to) of the paragraph
// (to at the paragraph's length takes in the paragraph mark).
void ApplyFontToPart(TPar& p, int32_t from, int32_t to, const TCharFormat& format) {
  NormalizeParagraphTags(p);
  const int32_t n = p.CharCount();
  if (from >= n || from >= to) return;
  const int32_t so = OffsetAfterCharBefore(p, from);
  const int32_t eo = to >= n ? p.Content.Length : OffsetAfterCharBefore(p, to);
  TCharFormat atStart, atEnd;
  FormatAtStreamOffset(p.Content, so, atStart);
  FormatAtStreamOffset(p.Content, eo, atEnd);
  TMemory out;
  out.Append(p.Content.Data, so);
  for (int k = 0; k < TCharFormat::Count; ++k)
    if (format[k] != CharUnset) AppendContentTag(out, static_cast<uint8_t>(k), format[k]);
  TStreamItem item;
  for (int32_t off = so; off < eo && ReadStreamItem(p.Content.Data, eo, off, item); off += item.Size) {
    if (item.ItemType == TStreamItem::siTag && IsFormatTagKind(item.Tag.Kind) &&
        format[item.Tag.Kind] != CharUnset)
      continue;  // the applied value replaces it
    out.Append(p.Content.Data + off, item.Size);
  }
  if (eo < p.Content.Length) {
    for (int k = 0; k < TCharFormat::Count; ++k)
      if (format[k] != CharUnset) AppendContentTag(out, static_cast<uint8_t>(k), atEnd[k]);
    out.Append(p.Content.Data + eo, p.Content.Length - eo);
  }
  p.Content = std::move(out);
  p.ContentChanged();
  p.RebuildCodes();
}

}  // namespace

// --- Paragraph properties ---

void TFormatParsOperation::Undo() {
  TDoc& doc = *Doc;
  for (TGroup& g : Groups) {
    if (g.Par < 0 || g.Par >= doc.ParCount()) continue;
    TPar& p = *doc.Par(g.Par);
    bool indents = false, borders = false;
    for (TEntry& e : g.Entries) {
      const int32_t old = GetParFormatProp(p.Format, e.Prop);
      SetParFormatProp(p.Format, e.Prop, e.Value);
      e.Value = old;
      if (e.Prop == ppFirstIndent || e.Prop == ppLeftIndent || e.Prop == ppRightIndent) {
        indents = true;
        doc.SetDocFlag(dfRenumberLists, true);
      }
      if (e.Prop == ppTabSet || e.Prop == ppList || e.Prop == ppListLevel)
        doc.SetDocFlag(dfRenumberLists, true);
      if (e.Prop == ppBorders) borders = true;
      if (e.Prop == ppInTable) doc.ClearTableCache();
      if (e.Prop == ppOutlineLevel && GetParFormatProp(p.Format, ppOutlineLevel) == 9 &&
          GetParFormatProp(p.Format, ppCollapsed) > 0) {
        ClearParFormatProp(p.Format, ppCollapsed);
        doc.SetDocFlag(dfStructureChanged, true);
      }
    }
    const int32_t b = GetParFormatProp(p.Format, ppBorders);
    const bool neighbours = borders || (indents && b != ParUnset32 && b > 0);
    const int32_t story = doc.StoryOfParagraph(g.Par);
    const int32_t from = neighbours ? std::max(g.Par - 1, doc.FirstParagraphOfStory(story)) : g.Par;
    const int32_t to = neighbours ? std::min(g.Par + 1, doc.LastParagraphOfStory(story)) : g.Par;
    doc.InvalidateFromParagraph(from);
    for (int32_t i = from; i <= to; ++i) doc.Par(i)->ReleaseLines(0);
  }
  doc.SetDocFlag(dfContentChanged, true);
}

// --- Character formatting ---

void TFormatFontOperation::Exchange() {
  TDoc& doc = *Doc;
  for (int32_t i = Range.Start.Par; i <= Range.End.Par && i < doc.ParCount(); ++i) {
    TPar& p = *doc.Par(i);
    std::swap(p.Content, SavedStreams[static_cast<size_t>(i - Range.Start.Par)]);
    p.ContentChanged();
    p.RebuildCodes();
    p.ReleaseLines(0);
    p.InvalidateSpelling();
  }
}

void TFormatFontOperation::Undo() {
  Doc->InvalidateFromParagraph(Range.Start.Par);
  Exchange();
  Doc->SetDocFlag(dfRenumberLists, true);
  Doc->SetDocFlag(dfContentChanged, true);
}

void TFormatFontOperation::Redo() {
  TDoc& doc = *Doc;
  doc.InvalidateFromParagraph(Range.Start.Par);
  if (Performed) {
    Exchange();
  } else {
    Performed = true;
    for (int32_t i = Range.Start.Par; i <= Range.End.Par && i < doc.ParCount(); ++i) {
      TPar& p = *doc.Par(i);
      NormalizeParagraphTags(p);
      SavedStreams.push_back(p.Content);
      if (p.CharCount() > 0 && p.CodeAt(p.CharCount() - 1) == scRowEnd) continue;
      const int32_t from = i == Range.Start.Par ? Range.Start.Offset : 0;
      const int32_t to = i == Range.End.Par ? Range.End.Offset : p.CharCount();
      ApplyFontToPart(p, from, to, Format);
      p.ReleaseLines(0);
      p.InvalidateSpelling();
    }
  }
  doc.SetDocFlag(dfRenumberLists, true);
  doc.SetDocFlag(dfContentChanged, true);
}

// --- Style list ---

TFormatStyleListInfo::TFormatStyleListInfo() = default;
TFormatStyleListInfo::~TFormatStyleListInfo() = default;

TFormatStyleListOperation::TFormatStyleListOperation(TDoc& doc,
                                                     std::unique_ptr<TFormatStyleListInfo> info)
    : TSubOperation(doc), Info(std::move(info)) {}
TFormatStyleListOperation::~TFormatStyleListOperation() = default;

void TFormatStyleListOperation::Undo() {
  if (Nested) Nested->Undo();
  std::swap(Doc->Styles, Info->NewStyles);
  Doc->InvalidateFromParagraph(0);
}

void TFormatStyleListOperation::Redo() {
  TDoc& doc = *Doc;
  std::swap(doc.Styles, Info->NewStyles);
  if (Performed) {
    if (Nested) Nested->Redo();
    doc.InvalidateFromParagraph(0);
    return;
  }
  Performed = true;
  Nested = std::make_unique<TOperation>(doc, 8);
  BeginOperation(doc, Nested.get());
  // Old style indexes mapped to the new list: deleted styles take the new style of the same
  // display name, else their nearest surviving base, else Normal.
  const TStyleList& oldList = *Info->NewStyles;  // now the old list
  const int32_t oldCount = oldList.Count();
  std::vector<int32_t> map(static_cast<size_t>(oldCount));
  std::vector<bool> marked(static_cast<size_t>(oldCount), false);
  int32_t shift = 0;
  auto deleted = [&](int32_t i) {
    return std::find(Info->Deleted.begin(), Info->Deleted.end(), i) != Info->Deleted.end();
  };
  for (int32_t i = 0; i < oldCount; ++i) {
    if (deleted(i)) {
      int32_t to = doc.Styles->IndexOfDisplayName(oldList[i].DisplayName);
      int32_t base = oldList[i].BasedOn;
      while (to < 0 && base >= 0 && base < oldCount) {
        if (!deleted(base)) to = map[static_cast<size_t>(base)];
        base = oldList[base].BasedOn;
      }
      map[static_cast<size_t>(i)] = to < 0 ? 0 : to;
      marked[static_cast<size_t>(i)] = true;
      ++shift;
    } else {
      map[static_cast<size_t>(i)] = i - shift;
      marked[static_cast<size_t>(i)] =
          std::find(Info->Changed.begin(), Info->Changed.end(), i) != Info->Changed.end();
    }
  }
  for (int32_t i = 0; i < doc.ParCount(); ++i) {
    const int32_t old = GetParFormatProp(doc.Par(i)->Format, ppStyle);
    if (old < 0 || old >= oldCount) continue;
    const int32_t to = map[static_cast<size_t>(old)];
    if (to != old || (marked[static_cast<size_t>(old)] && !Info->Keep)) {
      TDocRange r;
      MakeRange(i, 0, i, doc.Par(i)->CharCount(), r);
      ApplyStyle(doc, nullptr, &r, nullptr, nullptr, true, to);
    }
  }
  if (Info->Apply && Info->StyleIndex >= 0) SetParFormatProp(doc.CurParFormat, ppStyle, Info->StyleIndex);
  EndOperation(doc);
}

// --- Tabs ---

TFormatTabsOperation::TFormatTabsOperation(TDoc& doc, int32_t defaultTabStop, int16_t tabSet,
                                           const TDocRange& range)
    : TSubOperation(doc), DefaultTabStop(defaultTabStop), TabSet(tabSet), Range(range) {}
TFormatTabsOperation::~TFormatTabsOperation() = default;

void TFormatTabsOperation::Undo() {
  TDoc& doc = *Doc;
  if (doc.DefaultTabStop != DefaultTabStop) {
    std::swap(doc.DefaultTabStop, DefaultTabStop);
    doc.CurrentPostActions().FirstPage = 0;
    for (auto& p : doc.Paragraphs) p->ReleaseLines(0);
    doc.SetDocFlag(dfRenumberLists, true);
  }
  if (Performed) {
    if (Nested) {
      if (doc.IsDocFlagSet(dfUndoing))
        Nested->Undo();
      else
        Nested->Redo();
    }
    return;
  }
  Performed = true;
  if (TabSet == ParUnset16) return;
  Nested = std::make_unique<TOperation>(doc, 6);
  BeginOperation(doc, Nested.get());
  TParFormat f = UnsetParFormat;
  SetParFormatProp(f, ppTabSet, TabSet);
  FormatParagraphs(doc, nullptr, &Range, f);
  EndOperation(doc);
}

// --- Sorting ---

int CompareParagraphsForSort(const TPar& a, const TPar& b) {
  const int32_t n = std::min(a.Codes.Length, b.Codes.Length);
  const int c = n > 0 ? std::memcmp(a.Codes.Data, b.Codes.Data, static_cast<size_t>(n)) : 0;
  if (c != 0) return c < 0 ? -1 : 1;
  if (a.Codes.Length != b.Codes.Length) return a.Codes.Length < b.Codes.Length ? -1 : 1;
  if (a.Index != b.Index) return a.Index < b.Index ? -1 : 1;
  return 0;
}

namespace {

void ExchangeParagraphs(TDoc& doc, int32_t i, int32_t j) {
  std::swap(doc.Paragraphs[static_cast<size_t>(i)], doc.Paragraphs[static_cast<size_t>(j)]);
  doc.Par(i)->Index = i;
  doc.Par(j)->Index = j;
  doc.Par(i)->ReleaseLines(0);
  doc.Par(j)->ReleaseLines(0);
}

}  // namespace

void TSortParsOperation::Undo() {
  TDoc& doc = *Doc;
  for (int32_t i = First; i <= Last; ++i) doc.Par(i)->Index = i;
  if (!Performed) {
    Performed = true;
    // Selection sort by exchanges: every exchange is recorded, the comparison is a strict weak
    // order on the paragraphs' original indexes, so the result is deterministic.
    for (int32_t i = First; i <= Last; ++i) NormalizeParagraphTags(*doc.Par(i));
    auto less = [&](const TPar& a, const TPar& b) {
      // Index holds the place before the sort for the tie-break.
      const int c = CompareParagraphsForSort(a, b);
      return Descending ? c > 0 : c < 0;
    };
    std::vector<int32_t> orig(static_cast<size_t>(doc.ParCount()));
    for (int32_t i = First; i <= Last; ++i) orig[static_cast<size_t>(i)] = i;
    for (int32_t i = First; i < Last; ++i) {
      int32_t best = i;
      for (int32_t j = i + 1; j <= Last; ++j) {
        TPar& a = *doc.Par(j);
        TPar& b = *doc.Par(best);
        const int32_t ia = a.Index, ib = b.Index;
        a.Index = orig[static_cast<size_t>(j)];
        b.Index = orig[static_cast<size_t>(best)];
        const bool l = less(a, b);
        a.Index = ia;
        b.Index = ib;
        if (l) best = j;
      }
      if (best != i) {
        ExchangeParagraphs(doc, i, best);
        std::swap(orig[static_cast<size_t>(i)], orig[static_cast<size_t>(best)]);
        Exchanges.emplace_back(i, best);
        Sorted = true;
      }
    }
  } else {
    for (const auto& e : Exchanges) ExchangeParagraphs(doc, e.first, e.second);
  }
  std::reverse(Exchanges.begin(), Exchanges.end());
  doc.InvalidateFromParagraph(First);
  doc.SetDocFlag(dfRenumberLists, true);
  doc.SetDocFlag(dfContentChanged, true);
  doc.SetDocFlag(dfStoryCountsChanged, true);
  doc.SetDocFlag(dfFieldsChanged, true);
  doc.ClearTableCache();
}

// --- Moving ---

void TMoveParsOperation::Undo() {
  TDoc& doc = *Doc;
  if (FromStory >= 0 && ToStory >= 0 && FromStory != ToStory) {
    const int32_t newFirst = MoveParagraphBlock(doc, First, Count, Target, FromStory, ToStory);
    Target = Target > First ? First : First + Count;
    First = newFirst;
    std::swap(FromStory, ToStory);
    doc.InvalidateFromParagraph(std::min(First, Target));
    doc.SetDocFlag(dfRenumberLists, true);
    doc.SetDocFlag(dfContentChanged, true);
    doc.SetDocFlag(dfStructureChanged, true);
    doc.SetDocFlag(dfStoryCountsChanged, true);
    doc.SetDocFlag(dfFieldsChanged, true);
    return;
  }
  auto& v = doc.Paragraphs;
  const auto begin = v.begin() + First;
  if (Target > First) {
    std::rotate(begin, begin + Count, v.begin() + Target);
    const int32_t newFirst = Target - Count;
    doc.ReindexParagraphs(First);
    doc.InvalidateFromParagraph(First);
    Target = First;
    First = newFirst;
  } else {
    std::rotate(v.begin() + Target, begin, begin + Count);
    doc.ReindexParagraphs(Target);
    doc.InvalidateFromParagraph(Target);
    const int32_t newFirst = Target;
    Target = First + Count;
    First = newFirst;
  }
  for (int32_t i = std::min(First, Target); i < std::max(First + Count, Target) && i < doc.ParCount(); ++i)
    doc.Par(i)->ReleaseLines(0);
  doc.SetDocFlag(dfRenumberLists, true);
  doc.SetDocFlag(dfContentChanged, true);
  doc.SetDocFlag(dfStructureChanged, true);
  doc.SetDocFlag(dfStoryCountsChanged, true);
  doc.SetDocFlag(dfFieldsChanged, true);
  doc.ClearTableCache();
}

}  // namespace qv
