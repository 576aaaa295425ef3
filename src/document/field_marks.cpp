// Field marks through text changes. Every change that deletes, replaces or inserts text brackets
// itself with BeginKeepFieldMarks and EndKeepFieldMarks: Begin decides for each field mark in the
// affected stretch whether it goes with the text or survives, takes the survivors out (and
// removes fields that lie wholly in the stretch), and End puts them back around the new text.
// Every change of marks is an undoable record of the caller's operation.
#include <algorithm>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/par.h"

namespace qv {

namespace {

bool IsIndexEntry(const TField& f) { return f.Kind == fkField && f.FieldType == ftIndexEntry; }

// Whether the field's start mark stands among the tags before the paragraph's first character.
bool LeadingStartMark(const TPar& par, const TField* field) {
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size) {
    if (item.Chars() > 0) return false;
    if (item.ItemType == TStreamItem::siTag && item.Tag.Kind == ctFieldStart &&
        FieldOfTag(item.Tag) == field)
      return true;
  }
  return false;
}

class TMarkChooser {
 public:
  TMarkChooser(TDoc& doc, const TDocRange& range, int32_t mode)
      : doc_(doc), range_(range), mode_(mode), empty_(IsRangeEmpty(range)) {}

  // The marks from the range start to its end (only those at the one place of an empty range)
  // that survive the change, in stream order.
  std::vector<TKeptFieldMark> Choose() {
    std::vector<TKeptFieldMark> kept;
    for (int32_t p = range_.Start.Par; p <= range_.End.Par && p < doc_.ParCount(); ++p)
      ScanParagraph(p, kept);
    return kept;
  }

 private:
  void ScanParagraph(int32_t p, std::vector<TKeptFieldMark>& kept) {
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
      TDocPosition at;
      MakePosition(p, chars, at);
      if (f == nullptr || ComparePositions(at, range_.Start) < 0 ||
          ComparePositions(at, range_.End) > 0)
        continue;
      const bool endMark = item.Tag.Kind == ctFieldEnd;
      if (Keep(*f, endMark, at, par, kept)) kept.push_back({f, endMark, at});
    }
  }

  bool Flag(int32_t flag) const { return doc_.IsDocFlagSet(flag); }

  bool Keep(const TField& f, bool endMark, const TDocPosition& at, const TPar& par,
            const std::vector<TKeptFieldMark>& kept) const {
    if (f.Kind == fkShapeAnchor) return KeepAnchor(at, par);
    if (mode_ == 0) {
      if (Flag(dfParagraphsMoving)) return f.Kind == fkNoteText || f.Kind == fkHeaderFooter;
      return true;
    }
    const bool bookmarkLike = f.Kind == fkBookmark || IsIndexEntry(f);
    if (endMark) {
      if (!bookmarkLike || !Flag(dfWholeParagraphsInserted)) return false;
      return std::any_of(kept.begin(), kept.end(), [&f](const TKeptFieldMark& k) {
        return k.Field == &f && !k.EndMark;
      });
    }
    if (bookmarkLike) return Flag(dfWholeParagraphsInserted);
    return Flag(dfStoryContentMoving) || !IsRangeKind(f.Kind) ||
           (f.Kind == fkDropCap && Flag(dfWholeParagraphsInserted));
  }

  // An anchor goes with its paragraph when the change takes the paragraph from its first
  // character through its end.
  bool KeepAnchor(const TDocPosition& at, const TPar& par) const {
    if (empty_ && !Flag(dfStoryContentMoving) && !Flag(dfWholeParagraphsInserted)) return false;
    if (Flag(dfDeletingWholeStory)) return false;
    const bool startsInside = at.Par == range_.Start.Par && range_.Start.Offset > 0;
    const bool endsBeforeEnd =
        at.Par == range_.End.Par && range_.End.Offset < par.CharCount();
    return startsInside || endsBeforeEnd;
  }

  TDoc& doc_;
  TDocRange range_;
  int32_t mode_;
  bool empty_;
};

}  // namespace

void TDoc::BeginKeepFieldMarks(const TDocPosition& start, const TDocPosition& end,
                               int32_t mode) {
  TFieldIndex& index = FieldIndex();
  index.KeepFrames.push_back({start, end, {}});
  if (Fields.empty() || start.Par < 0 || start.Par >= ParCount()) return;
  TDocRange range{start, end};
  // An end at the end of a paragraph other than the last is the start of the next one.
  if (end.Par >= 0 && end.Par + 1 < ParCount() && end.Offset >= Par(end.Par)->CharCount())
    MakePosition(end.Par + 1, 0, range.End);
  index.KeepFrames.back().End = range.End;
  std::vector<TKeptFieldMark> kept = TMarkChooser(*this, range, mode).Choose();

  // Fields that lie wholly in the range are removed, unless they are to survive the change.
  const int32_t storyEnd = LastParagraphOfStory(StoryOfParagraph(range.Start.Par));
  std::vector<TKeptFieldMark> survivors;
  std::vector<bool> dropped(kept.size(), false);
  for (size_t i = 0; i < kept.size(); ++i) {
    const TKeptFieldMark& k = kept[i];
    if (dropped[i] || k.EndMark || k.Field->Kind == fkShapeAnchor) continue;
    if (SamePlace(k.At, range.End)) {
      if (i + 1 < kept.size() && kept[i + 1].Field == k.Field) ++i;
      continue;
    }
    size_t j = i + 1;
    while (j < kept.size() && !(kept[j].Field == k.Field && kept[j].EndMark)) ++j;
    if (j == kept.size()) continue;
    TField* f = k.Field;
    if (f->Kind == fkNoteReference) {
      dropped[i] = dropped[j] = true;
      continue;
    }
    const TDocRange fieldRange{k.At, kept[j].At};
    const bool spansRange = IsDocFlagSet(dfHyperlinkTextReplaced) && SameRange(fieldRange, range);
    const bool emptyAtStart = IsRangeEmpty(fieldRange) && SamePlace(k.At, range.Start) &&
                              !IsDocFlagSet(dfDeletingWholeStory) &&
                              range.End.Par <= storyEnd;
    // A header or footer is the story its text lives in: a change of all its text keeps it (the
    // sections still name it), its marks going around the new text.
    const bool storyOfItsOwn = f->Kind == fkHeaderFooter;
    if (spansRange || emptyAtStart || storyOfItsOwn) continue;
    RemoveField(f);
    dropped[i] = dropped[j] = true;
  }
  for (size_t i = 0; i < kept.size(); ++i)
    if (!dropped[i]) survivors.push_back(kept[i]);
  // The survivors leave the text, last first so that the places of the others hold.
  for (auto it = survivors.rbegin(); it != survivors.rend(); ++it)
    InsDelFieldMark(it->Field, it->At.Par, it->At.Offset, 0, false, !it->EndMark);
  index.KeepFrames.back().Marks = std::move(survivors);
}

void TDoc::EndKeepFieldMarks(const TDocPosition& newStart, const TDocPosition& newEnd) {
  TFieldIndex& index = FieldIndex();
  if (index.KeepFrames.empty()) return;
  TKeepFrame frame = std::move(index.KeepFrames.back());
  index.KeepFrames.pop_back();
  for (const TKeptFieldMark& k : frame.Marks) {
    TDocPosition at = SamePlace(k.At, frame.Start) ? newStart : newEnd;
    if (at.Par >= ParCount()) {
      MakePosition(ParCount() - 1, std::max(Par(ParCount() - 1)->CharCount() - 1, 0), at);
    } else if (k.EndMark && at.Offset == 0 && at.Par > 0) {
      // An end mark does not open a paragraph: it closes the previous one, unless its field is an
      // index entry or a bookmark that starts there as well.
      const bool stays = IsIndexEntry(*k.Field) ||
                         (k.Field->Kind == fkBookmark && LeadingStartMark(*Par(at.Par), k.Field));
      if (!stays) MakePosition(at.Par - 1, std::max(Par(at.Par - 1)->CharCount() - 1, 0), at);
    }
    InsDelFieldMark(k.Field, at.Par, at.Offset, FieldSlotLast, true, !k.EndMark);
  }
  TPostActions& post = EditServices().CurrentPostActions(*this);
  post.Caret = Caret;
  post.HasCaret = true;
}

}  // namespace qv
