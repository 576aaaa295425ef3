#include "document/field_scan.h"

#include <algorithm>
#include <map>

#include "document/content_stream.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"

namespace qv {

namespace {

// The field index, when it is up to date with the streams (built and not dirty).
const TFieldIndex* CurrentIndex(const TDoc& doc) {
  const TFieldIndex* index = doc.FieldIndexState.get();
  if (index == nullptr || !index->Built || doc.IsDocFlagSet(dfFieldIndexDirty)) return nullptr;
  return index;
}

}  // namespace

std::vector<TFieldSpan> ScanFieldSpans(const TDoc& doc, int32_t firstPar, int32_t lastPar) {
  std::vector<TFieldSpan> spans;
  if (doc.ParCount() == 0) return spans;
  firstPar = std::clamp(firstPar, 0, doc.ParCount() - 1);
  lastPar = std::clamp(lastPar, firstPar, doc.ParCount() - 1);
  const int32_t from = doc.FirstParagraphOfStory(doc.StoryOfParagraph(firstPar));
  const int32_t to = std::max(doc.LastParagraphOfStory(doc.StoryOfParagraph(lastPar)), lastPar);
  // A clean index holds what the walk below would find, in the same order.
  if (const TFieldIndex* index = CurrentIndex(doc)) {
    for (TField* f : index->Fields)
      if (f->Range.Start.Par >= from && f->Range.Start.Par <= to && f->Range.End.Par <= to)
        spans.push_back({f, f->Range});
    return spans;
  }
  std::map<const TField*, size_t> open;  // field -> its entry in spans
  for (int32_t p = from; p <= to && p < doc.ParCount(); ++p) {
    const TPar& par = *doc.Par(p);
    int32_t chars = 0;
    TStreamItem item;
    for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
         off += item.Size) {
      if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
        TField* f = FieldOfTag(item.Tag);
        if (f == nullptr) continue;
        TDocPosition at;
        MakePosition(p, chars, at);
        if (item.Tag.Kind == ctFieldStart) {
          open[f] = spans.size();
          spans.push_back({f, {at, at}});
        } else if (auto it = open.find(f); it != open.end()) {
          spans[it->second].Range.End = at;
          open.erase(it);
        }
        continue;
      }
      chars += item.Chars();
    }
  }
  // A field whose end mark was never met is not in the document as a whole.
  std::vector<bool> unfinished(spans.size(), false);
  for (const auto& entry : open) unfinished[entry.second] = true;
  std::vector<TFieldSpan> done;
  done.reserve(spans.size());
  for (size_t i = 0; i < spans.size(); ++i)
    if (!unfinished[i]) done.push_back(spans[i]);
  return done;
}

bool ScanFieldRange(const TDoc& doc, const TField* field, TDocRange& out) {
  if (field == nullptr || doc.ParCount() == 0) return false;
  if (const TFieldIndex* index = CurrentIndex(doc)) {
    for (TField* f : index->Fields)
      if (f == field) {
        out = f->Range;
        return true;
      }
    return false;
  }
  for (int32_t story = 0; story < StoryCount; ++story) {
    const int32_t first = doc.FirstParagraphOfStory(story);
    const int32_t last = doc.LastParagraphOfStory(story);
    if (last < first) continue;
    for (const TFieldSpan& s : ScanFieldSpans(doc, first, last)) {
      if (s.Field != field) continue;
      out = s.Range;
      return true;
    }
  }
  return false;
}

std::vector<TFieldSpan> ScanFieldsInRange(const TDoc& doc, const TDocRange& range, int32_t kind) {
  std::vector<TFieldSpan> out;
  for (const TFieldSpan& s : ScanFieldSpans(doc, range.Start.Par, range.End.Par)) {
    if (kind >= 0 && s.Field->Kind != kind) continue;
    if (IntersectRanges(nullptr, s.Range, range)) out.push_back(s);
  }
  return out;
}

}  // namespace qv
