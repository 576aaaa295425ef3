#include "document/field_index.h"

#include <algorithm>
#include <cwctype>
#include <set>

#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"

namespace qv {

bool IsRangeKind(int32_t kind) {
  return kind == fkBookmark || kind == fkNoteText || kind == fkHeaderFooter ||
         kind == fkLockedSelection || kind == fkDropCap;
}

bool IsStoryKind(int32_t kind) { return kind == fkNoteText || kind == fkHeaderFooter; }

int CompareBookmarkNames(const std::u16string& a, const std::u16string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const auto ca = std::towlower(static_cast<wint_t>(a[i]));
    const auto cb = std::towlower(static_cast<wint_t>(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

namespace {

bool IsVisibleBookmark(const TField& f) { return f.Kind == fkBookmark && f.Flags != 2; }

// Sorts ranges by start and merges those that overlap or touch.
std::vector<TDocRange> SortAndMerge(std::vector<TDocRange> ranges) {
  std::sort(ranges.begin(), ranges.end(), [](const TDocRange& a, const TDocRange& b) {
    return ComparePositions(a.Start, b.Start) < 0;
  });
  std::vector<TDocRange> merged;
  for (const TDocRange& r : ranges) {
    if (!merged.empty() && ComparePositions(r.Start, merged.back().End) <= 0) {
      if (ComparePositions(r.End, merged.back().End) > 0) merged.back().End = r.End;
      continue;
    }
    merged.push_back(r);
  }
  return merged;
}

// One walk over the paragraphs first..last. A whole walk also rebuilds the lists and the
// enclosure links; a span walk only corrects the positions of the marks it meets.
class TIndexWalk {
 public:
  TIndexWalk(TDoc& doc, bool whole) : doc_(doc), whole_(whole) {}

  void Run(int32_t first, int32_t last) {
    for (int32_t p = first; p <= last && p < doc_.ParCount(); ++p) WalkParagraph(p);
  }

  // Fields whose end mark was met, in the order of their start marks. A start mark without an
  // end (a damaged stream) leaves its field out of the index.
  std::vector<TField*> Complete() const {
    std::vector<TField*> out;
    for (TField* f : found_)
      if (ended_.count(f)) out.push_back(f);
    return out;
  }

 private:
  void WalkParagraph(int32_t p) {
    TPar& par = *doc_.Par(p);
    NormalizeParagraphTags(par);
    int32_t chars = 0;
    TStreamItem item;
    for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
         off += item.Size) {
      if (item.ItemType != TStreamItem::siTag || !IsFieldMarkKind(item.Tag.Kind)) {
        chars += item.Chars();
        continue;
      }
      TField* f = FieldOfTag(item.Tag);
      if (f == nullptr) continue;
      TDocPosition at;
      MakePosition(p, chars, at);
      if (item.Tag.Kind == ctFieldStart) Start(f, at);
      else End(f, at);
    }
  }

  void Start(TField* f, const TDocPosition& at) {
    if (!whole_) {
      f->Range.Start = at;
      return;
    }
    if (started_.count(f)) return;  // a second start mark of one field: the first one counts
    started_.insert(f);
    f->Range.Start = at;
    f->Range.End = at;
    f->EnclosingAtStart = stack_.empty() ? nullptr : stack_.back();
    f->EnclosingAfterEnd = nullptr;
    found_.push_back(f);
    stack_.push_back(f);
  }

  void End(TField* f, const TDocPosition& at) {
    if (!whole_) {
      f->Range.End = at;
      return;
    }
    // An end mark before its start, or a second one, is a damaged mark and counts for nothing.
    if (!started_.count(f) || ended_.count(f)) return;
    ended_.insert(f);
    f->Range.End = at;
    auto it = std::find(stack_.begin(), stack_.end(), f);
    if (it != stack_.end()) stack_.erase(it);
    f->EnclosingAfterEnd = stack_.empty() ? nullptr : stack_.back();
  }

  TDoc& doc_;
  bool whole_;
  std::vector<TField*> stack_;
  std::vector<TField*> found_;
  std::set<TField*> started_, ended_;
};

}  // namespace

TFieldIndex& TDoc::FieldIndex() {
  if (!FieldIndexState) FieldIndexState = std::make_unique<TFieldIndex>();
  return *FieldIndexState;
}

void TDoc::InvalidateFieldIndex(int32_t firstPar, int32_t lastPar) {
  TFieldIndex& index = FieldIndex();
  const bool wasDirty = IsDocFlagSet(dfFieldIndexDirty) || !index.Built;
  if (firstPar == TFieldIndex::WholeDocument || !index.Built) {
    index.DirtyFirst = TFieldIndex::WholeDocument;
  } else if (!wasDirty) {
    index.DirtyFirst = firstPar;
    index.DirtyLast = lastPar;
  } else if (index.DirtyFirst != TFieldIndex::WholeDocument) {
    index.DirtyFirst = std::min(index.DirtyFirst, firstPar);
    index.DirtyLast = std::max(index.DirtyLast, lastPar);
  }
  SetDocFlag(dfFieldIndexDirty, true);
}

void TDoc::RebuildFieldIndex() {
  TFieldIndex& index = FieldIndex();
  if (index.Built && !IsDocFlagSet(dfFieldIndexDirty)) return;
  const bool whole = !index.Built || index.DirtyFirst == TFieldIndex::WholeDocument;
  TIndexWalk walk(*this, whole);
  if (whole) {
    walk.Run(0, ParCount() - 1);
    index.Fields = walk.Complete();
    std::vector<TBookmarkName> names;
    index.LockedSelections.clear();
    for (TField* f : index.Fields) {
      if (IsVisibleBookmark(*f)) names.push_back({f->Instruction, f});
      if (f->Kind == fkLockedSelection) index.LockedSelections.push_back(f);
    }
    const bool namesChanged =
        names.size() != index.Bookmarks.size() ||
        !std::equal(names.begin(), names.end(), index.Bookmarks.begin(),
                    [](const TBookmarkName& a, const TBookmarkName& b) {
                      return a.Field == b.Field && a.Name == b.Name;
                    });
    if (namesChanged) {
      index.Bookmarks = std::move(names);
      index.SortedBookmarks = index.Bookmarks;
      std::stable_sort(index.SortedBookmarks.begin(), index.SortedBookmarks.end(),
                       [](const TBookmarkName& a, const TBookmarkName& b) {
                         return CompareBookmarkNames(a.Name, b.Name) < 0;
                       });
    }
  } else {
    walk.Run(std::max(index.DirtyFirst, 0), index.DirtyLast);
  }
  index.LockedRanges.clear();
  for (TField* f : index.LockedSelections) index.LockedRanges.push_back(f->Range);
  index.LockedRangesMerged = SortAndMerge(index.LockedRanges);
  index.Built = true;
  index.DirtyFirst = TFieldIndex::WholeDocument;
  index.DirtyLast = TFieldIndex::ToEnd;
  SetDocFlag(dfFieldIndexDirty, false);
  // The lists of fields at the selection name fields that may have gone.
  SetDocFlag(dfSelectedFieldListsValid, false);
}

bool TDoc::GetFieldRange(const TField* field, TDocRange& out) {
  RebuildFieldIndex();
  const auto& fields = FieldIndex().Fields;
  if (std::find(fields.begin(), fields.end(), field) == fields.end()) return false;
  out = field->Range;
  return true;
}

void TDoc::FindOverlappingFields(const TDocRange& range, std::vector<TField*>& out) {
  out.clear();
  RebuildFieldIndex();
  const auto& fields = FieldIndex().Fields;
  if (fields.empty()) return;
  auto startsBefore = [](TField* f, const TDocPosition& p) {
    return ComparePositions(f->Range.Start, p) < 0;
  };
  const auto n = static_cast<int64_t>(fields.size());
  int64_t lo = std::lower_bound(fields.begin(), fields.end(), range.Start, startsBefore) -
               fields.begin();
  int64_t hi = std::upper_bound(fields.begin(), fields.end(), range.End,
                                [](const TDocPosition& p, TField* f) {
                                  return ComparePositions(p, f->Range.Start) < 0;
                                }) -
               fields.begin() - 1;
  auto overlaps = [&range](TField* f) {
    return ComparePositions(f->Range.Start, range.End) <= 0 &&
           ComparePositions(f->Range.End, range.Start) >= 0;
  };
  // The field just before the first hit is always taken.
  if (lo > 0) --lo;
  while (lo > 0 && overlaps(fields[lo - 1])) --lo;
  while (hi + 1 < n && overlaps(fields[hi + 1])) ++hi;
  if (hi < lo) hi = lo;
  std::vector<TField*> front;
  for (TField* f = fields[lo]->EnclosingAtStart; f != nullptr; f = f->EnclosingAtStart)
    front.push_back(f);
  auto has = [&out](TField* f) { return std::find(out.begin(), out.end(), f) != out.end(); };
  for (auto it = front.rbegin(); it != front.rend(); ++it)
    if (!has(*it)) out.push_back(*it);
  for (int64_t i = lo; i <= hi && i < n; ++i)
    if (!has(fields[i])) out.push_back(fields[i]);
  for (TField* f = fields[std::min(hi, n - 1)]->EnclosingAfterEnd; f != nullptr;
       f = f->EnclosingAfterEnd)
    if (!has(f)) out.push_back(f);
}

TField* TDoc::GetFieldAt(const TDocPosition& at, TDocRange* range,
                         const std::vector<uint8_t>& excludedTypes, int32_t fieldType,
                         int32_t kind) {
  std::vector<TField*> candidates;
  FindOverlappingFields(TDocRange{at, at}, candidates);
  const bool endIncluded = IsDocFlagSet(dfFieldEndInclusive) || IsStoryKind(kind);
  TField* best = nullptr;
  for (TField* f : candidates) {
    if (kind == 255 ? IsRangeKind(f->Kind) : f->Kind != kind) continue;
    if (fieldType != 255 && f->FieldType != fieldType) continue;
    if (std::find(excludedTypes.begin(), excludedTypes.end(), f->FieldType) !=
        excludedTypes.end())
      continue;
    const bool inside = endIncluded ? PositionInRangeInclusive(at, f->Range)
                                    : PositionInRange(at, f->Range);
    if (!inside) continue;
    if (best == nullptr || (ComparePositions(f->Range.Start, best->Range.Start) >= 0 &&
                            ComparePositions(f->Range.End, best->Range.End) <= 0))
      best = f;
  }
  if (best != nullptr && range != nullptr) *range = best->Range;
  return best;
}

void TDoc::GetFieldsInRange(std::span<const TDocRange> ranges, std::vector<TField*>& out,
                            int32_t fieldType, int32_t kind) {
  std::vector<TField*> candidates;
  for (const TDocRange& r : ranges) {
    FindOverlappingFields(r, candidates);
    for (TField* f : candidates) {
      if (kind >= 0 && f->Kind != kind) continue;
      if (fieldType != 255 && f->FieldType != fieldType) continue;
      TDocRange common;
      if (!IntersectRanges(&common, f->Range, r) || IsRangeEmpty(common)) continue;
      if (std::find(out.begin(), out.end(), f) == out.end()) out.push_back(f);
    }
  }
}

int32_t TDoc::FindBookmarkName(const std::u16string& name) {
  RebuildFieldIndex();
  const auto& names = FieldIndex().Bookmarks;
  for (size_t i = 0; i < names.size(); ++i)
    if (CompareBookmarkNames(names[i].Name, name) == 0) return static_cast<int32_t>(i);
  return -1;
}

TField* TDoc::FindFieldAtCaret(int32_t fieldType, TDocRange* range) {
  TDocPosition at = Caret;
  if (HasSelection()) {
    const TDocRange& first = *Selection->GetRange(0);
    if (!IsRangeEmpty(first) && !PositionInRangeInclusive(Caret, first)) at = first.Start;
  }
  return GetFieldAt(at, range, {}, fieldType, fkField);
}

bool TDoc::HeaderFooterHasFields(const std::vector<uint8_t>& fieldTypes) {
  if (StoryCounts[stHeadersFooters] == 0) return false;
  const int32_t first = FirstParagraphOfStory(stHeadersFooters);
  const int32_t last = LastParagraphOfStory(stHeadersFooters);
  TDocRange story;
  MakePosition(first, 0, story.Start);
  MakePosition(last, Par(last)->CharCount(), story.End);
  std::vector<TField*> candidates;
  FindOverlappingFields(story, candidates);
  for (TField* f : candidates) {
    if (f->Kind != fkField ||
        std::find(fieldTypes.begin(), fieldTypes.end(), f->FieldType) == fieldTypes.end())
      continue;
    if (f->Range.Start.Par >= first && f->Range.End.Par <= last) return true;
  }
  return false;
}

std::vector<TField*> TDoc::GetIndexEntryFields() {
  RebuildFieldIndex();
  std::vector<TField*> out;
  for (TField* f : FieldIndex().Fields)
    if (f->Kind == fkField && f->FieldType == ftIndexEntry) out.push_back(f);
  return out;
}

}  // namespace qv
