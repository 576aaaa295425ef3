#include "editing/ins_del_operation.h"

#include <algorithm>
#include <cstring>

#include "document/content_stream.h"
#include "document/field.h"
#include "document/section.h"
#include "document/shape.h"
#include "editing/edit_flags.h"

namespace qv {

namespace {

// One paragraph of held content.
struct THeldPart {
  TMemory Content;
  bool HasFormat = false;
  TParFormat Format;
};

void ParseHeld(const TMemory& held, std::vector<THeldPart>& parts) {
  parts.clear();
  parts.emplace_back();
  int32_t off = 0;
  const uint8_t* d = held.Data;
  while (off < held.Length) {
    const uint8_t b = d[off];
    if (b == 0 && off + ContentTagSize <= held.Length) {
      parts.back().Content.Append(d + off, ContentTagSize);
      off += ContentTagSize;
    } else if (b == ParBlockMark1) {
      ++off;
      if (off < held.Length && d[off] == ParBlockMark2 && off + 1 + 40 <= held.Length) {
        std::memcpy(&parts.back().Format, d + off + 1, sizeof(TParFormat));
        parts.back().HasFormat = true;
        off += 41;
      }
      parts.emplace_back();
    } else {
      int32_t end = off;
      while (end < held.Length && d[end] != 0 && d[end] != ParBlockMark1) ++end;
      if (end == off) ++end;  // a stray byte below 32 is carried as it is
      parts.back().Content.Append(d + off, end - off);
      off = end;
    }
  }
}

void AppendPart(TMemory& out, const TMemory& stream, int32_t from, int32_t to) {
  if (to > from) out.Append(stream.Data + from, to - from);
}

void AppendParEnd(TMemory& out, const TParFormat& format) { AppendParFormatBlock(out, format); }

template <class T, class Pred>
std::unique_ptr<T> TakeOut(std::vector<std::unique_ptr<T>>& list, Pred pred) {
  for (auto it = list.begin(); it != list.end(); ++it) {
    if (pred(it->get())) {
      std::unique_ptr<T> p = std::move(*it);
      list.erase(it);
      return p;
    }
  }
  return nullptr;
}

// Visits the tags of held content in order (`tag`) and calls `other` for every text byte and
// paragraph separator; the paragraph formats after separators are skipped whole.
template <class TagVisit, class OtherVisit>
void WalkHeldContent(const TMemory& held, TagVisit tag, OtherVisit other) {
  const uint8_t* d = held.Data;
  for (int32_t off = 0; off < held.Length;) {
    if (d[off] == 0 && off + ContentTagSize <= held.Length) {
      tag(ReadTagAt(d, off));
      off += ContentTagSize;
    } else if (d[off] == ParBlockMark1) {
      other();
      off += off + 1 < held.Length && d[off + 1] == ParBlockMark2 ? 2 + static_cast<int32_t>(sizeof(TParFormat)) : 1;
    } else {
      other();
      ++off;
    }
  }
}

}  // namespace

int32_t OffsetAfterCharBefore(const TPar& par, int32_t index) {
  if (index <= 0) return 0;
  const int32_t off = par.CharToStreamOffset(index - 1);
  if (off >= par.Content.Length) return par.Content.Length;
  return off + (par.Content.Data[off] == 0 ? ContentTagSize : 1);
}

void FormatAtStreamOffset(const TMemory& stream, int32_t offset, TCharFormat& out) {
  out = DefaultCharFormat;
  TStreamItem item;
  for (int32_t off = 0; off < offset && ReadStreamItem(stream.Data, stream.Length, off, item);
       off += item.Size)
    if (item.ItemType == TStreamItem::siTag && IsFormatTagKind(item.Tag.Kind))
      out[item.Tag.Kind] = item.Tag.Value;
}

void AppendFormatChangeTags(TMemory& out, const TCharFormat& have, const TCharFormat& want) {
  for (int k = 0; k < TCharFormat::Count; ++k)
    if (have[k] != want[k]) AppendContentTag(out, static_cast<uint8_t>(k), want[k]);
}

std::unique_ptr<TInsDelOperation> TInsDelOperation::ForInsert(TDoc& doc, const TMemory& content,
                                                              const TDocPosition& at,
                                                              int32_t story, int32_t parMarks) {
  std::unique_ptr<TInsDelOperation> r(new TInsDelOperation(doc));
  r->Story = static_cast<uint8_t>(story);
  r->State = 0;
  r->FirstPar = r->LastPar = at.Par;
  r->StartOffset = r->EndOffset = at.Offset;
  // The content itself tells how many paragraph ends it holds.
  (void)parMarks;
  int32_t marks = 0;
  for (int32_t off = 0; off < content.Length;) {
    const uint8_t b = content.Data[off];
    if (b == 0) {
      off += ContentTagSize;
    } else if (b == ParBlockMark1) {
      ++marks;
      off += (off + 1 < content.Length && content.Data[off + 1] == ParBlockMark2) ? 42 : 1;
    } else {
      ++off;
    }
  }
  r->ParMarks = marks;
  r->Content = content;
  return r;
}

namespace {

// Where a deletion from character `start` of `first` to character `end` of `last` (the same
// paragraph or a later one) lies in their streams, and the character formats in force at both
// ends (`want` has to hold again after the join).
// `to` is just after the last deleted character, `tail` past the tags that follow it (where the
// next character starts).
struct TDeletedSpan {
  int32_t from = 0, to = 0, tail = 0;
  TCharFormat have, want;
};

int32_t PastPositionlessTags(const TMemory& stream, int32_t offset) {
  TStreamItem item;
  while (ReadStreamItem(stream.Data, stream.Length, offset, item) &&
         item.ItemType == TStreamItem::siTag && IsPositionlessTagKind(item.Tag.Kind))
    offset += item.Size;
  return offset;
}

TDeletedSpan DeletedSpan(TPar& first, int32_t start, TPar& last, int32_t end) {
  NormalizeParagraphTags(first);
  if (&last != &first) NormalizeParagraphTags(last);
  TDeletedSpan span;
  span.from = OffsetAfterCharBefore(first, start);
  span.to = OffsetAfterCharBefore(last, end);
  span.tail = PastPositionlessTags(last.Content, span.to);
  FormatAtStreamOffset(first.Content, span.from, span.have);
  FormatAtStreamOffset(last.Content, span.tail, span.want);
  return span;
}

// A paragraph of a held part, in the format the part carries or else the running one; a carried
// format becomes the running one for the parts after it.
std::unique_ptr<TPar> ParagraphOfPart(TDoc& doc, THeldPart& part, TParFormat& running) {
  auto p = std::make_unique<TPar>(&doc);
  p->Content = std::move(part.Content);
  if (part.HasFormat) running = part.Format;
  p->Format = running;
  p->RebuildCodes();
  return p;
}

}  // namespace

std::unique_ptr<TInsDelOperation> TInsDelOperation::ForDelete(TDoc& doc, const TDocRange& range) {
  std::unique_ptr<TInsDelOperation> r(new TInsDelOperation(doc));
  r->Story = static_cast<uint8_t>(doc.StoryOfParagraph(range.Start.Par));
  r->State = 1;
  r->FirstPar = range.Start.Par;
  r->StartOffset = range.Start.Offset;
  r->LastPar = range.End.Par;
  r->EndOffset = range.End.Offset;
  r->ParMarks = range.End.Par - range.Start.Par;
  return r;
}

TInsDelOperation::~TInsDelOperation() = default;

bool TInsDelOperation::WholeParagraphs() const {
  const int32_t after = Doc->LastParagraphOfStory(Story) + 1;
  if (State == 1) return StartOffset == 0 && EndOffset == 0 && LastPar == after && ParMarks > 0;
  return FirstPar == after;
}

TDocPosition TInsDelOperation::GetEndPosition() const {
  TDocPosition p;
  if (State == 1)
    MakePosition(LastPar, EndOffset, p);
  else
    MakePosition(FirstPar, StartOffset, p);
  return p;
}

void TInsDelOperation::Undo() {
  if (State == 1)
    DeleteContent();
  else
    InsertContent();
  State = State ? 0 : 1;
  Doc->SetDocFlag(dfFieldsChanged, true);
  Doc->ClearTableCache();
}

void TInsDelOperation::DeleteContent() {
  Content.Clear();
  // (BroughtMarks still names the marks of the content that went in last.)
  if (WholeParagraphs() || ParMarks > 0)
    DeleteParagraphs();
  else
    DeleteInParagraph();
  ObjectsOut();
}

void TInsDelOperation::InsertContent() {
  NoteBroughtMarks();
  ObjectsIn();
  if (WholeParagraphs() || ParMarks > 0)
    InsertParagraphs();
  else
    InsertInParagraph();
  Content.Clear();
}

void TInsDelOperation::NoteBroughtMarks() {
  BroughtMarks.clear();
  WalkHeldContent(
      Content,
      [this](const TContentTag& tag) {
        if (IsFieldMarkKind(tag.Kind))
          BroughtMarks.emplace_back(FieldOfTag(tag), tag.Kind);
        else if (IsCharTagKind(tag.Kind))
          BroughtMarks.clear();
      },
      [this] { BroughtMarks.clear(); });  // only the marks after the last character count
}

TMemory TInsDelOperation::TakeTrailingTags(const TMemory& stream, int32_t to, int32_t tail) {
  // The fields whose start mark leaves with the content.
  std::vector<const TField*> leaving;
  WalkHeldContent(
      Content,
      [&leaving](const TContentTag& tag) {
        if (tag.Kind == ctFieldStart) leaving.push_back(FieldOfTag(tag));
      },
      [] {});
  TStreamItem item;
  TMemory staying;
  for (int32_t off = to; off < tail && ReadStreamItem(stream.Data, stream.Length, off, item);
       off += item.Size) {
    bool goes = true;
    if (IsFieldMarkKind(item.Tag.Kind)) {
      const TField* f = FieldOfTag(item.Tag);
      const auto brought = std::make_pair(f, item.Tag.Kind);
      goes = std::find(BroughtMarks.begin(), BroughtMarks.end(), brought) != BroughtMarks.end() ||
             (item.Tag.Kind == ctFieldEnd &&
              std::find(leaving.begin(), leaving.end(), f) != leaving.end());
      if (goes && item.Tag.Kind == ctFieldStart) leaving.push_back(f);
    }
    (goes ? Content : staying).Append(stream.Data + off, item.Size);
  }
  return staying;
}

void TInsDelOperation::DeleteInParagraph() {
  TPar& p = *Doc->Par(FirstPar);
  const TDeletedSpan span = DeletedSpan(p, StartOffset, p, EndOffset);
  AppendPart(Content, p.Content, span.from, span.to);
  const TMemory staying = TakeTrailingTags(p.Content, span.to, span.tail);
  TMemory keep;
  AppendFormatChangeTags(keep, span.have, span.want);
  keep.AppendMemory(staying);
  p.Content.Delete(span.from, span.tail - span.from);
  if (keep.Length > 0) p.Content.Insert(keep.Data, span.from, keep.Length);
  const bool breaks = ContainsLayoutBreak(p.Codes.Data + StartOffset, EndOffset - StartOffset) ||
                      p.HasAutoNoteMark();
  p.RebuildCodes();
  p.ContentChanged();
  p.InvalidateSpelling();
  AfterChange(FirstPar, FirstPar, breaks);
}

void TInsDelOperation::InsertInParagraph() {
  TPar& p = *Doc->Par(FirstPar);
  NormalizeParagraphTags(p);
  const int32_t at = OffsetAfterCharBefore(p, StartOffset);
  TCharFormat have, after;
  FormatAtStreamOffset(p.Content, at, have);
  TMemory block = Content;
  // The formatting in force after the content, read as if it followed `have`.
  TMemory probe;
  AppendCharFormatTags(probe, have);
  probe.AppendMemory(Content);
  FormatAtStreamOffset(probe, probe.Length, after);
  AppendFormatChangeTags(block, after, have);
  p.Content.Insert(block.Data, at, block.Length);
  const int32_t inserted = CountStreamChars(Content);
  p.RebuildCodes();
  p.ContentChanged();
  p.InvalidateSpelling();
  LastPar = FirstPar;
  EndOffset = StartOffset + inserted;
  const bool breaks = ContainsLayoutBreak(p.Codes.Data + StartOffset, inserted);
  AfterChange(FirstPar, FirstPar, breaks);
}

void TInsDelOperation::DeleteParagraphs() {
  TDoc& doc = *Doc;
  const int32_t first = FirstPar;
  doc.InvalidateFromParagraph(first > 0 ? first - 1 : 0);
  if (WholeParagraphs()) {
    for (int32_t i = first; i < LastPar; ++i) {
      TPar& p = *doc.Par(i);
      Content.AppendMemory(p.Content);
      AppendParEnd(Content, p.Format);
    }
    for (int32_t i = LastPar - 1; i >= first; --i) {
      doc.Par(i)->ReleaseLines(0);
    }
    doc.Paragraphs.erase(doc.Paragraphs.begin() + first, doc.Paragraphs.begin() + LastPar);
    doc.StoryCounts[Story] -= LastPar - first;
  } else {
    TPar& f = *doc.Par(first);
    TPar& l = *doc.Par(LastPar);
    const TDeletedSpan span = DeletedSpan(f, StartOffset, l, EndOffset);
    AppendPart(Content, f.Content, span.from, f.Content.Length);
    AppendParEnd(Content, f.Format);
    for (int32_t i = first + 1; i < LastPar; ++i) {
      Content.AppendMemory(doc.Par(i)->Content);
      AppendParEnd(Content, doc.Par(i)->Format);
    }
    AppendPart(Content, l.Content, 0, span.to);
    const TMemory staying = TakeTrailingTags(l.Content, span.to, span.tail);
    f.Content.SetLength(span.from);
    AppendFormatChangeTags(f.Content, span.have, span.want);
    f.Content.AppendMemory(staying);
    AppendPart(f.Content, l.Content, span.tail, l.Content.Length);
    f.Format = l.Format;
    for (int32_t i = first + 1; i <= LastPar; ++i) doc.Par(i)->ReleaseLines(0);
    doc.Paragraphs.erase(doc.Paragraphs.begin() + first + 1, doc.Paragraphs.begin() + LastPar + 1);
    doc.StoryCounts[Story] -= LastPar - first;
    f.RebuildCodes();
    f.ContentChanged();
    f.ReleaseLines(0);
    f.InvalidateSpelling();
  }
  doc.ReindexParagraphs(first);
  AfterChange(first, first, true);
}

void TInsDelOperation::InsertParagraphs() {
  TDoc& doc = *Doc;
  std::vector<THeldPart> parts;
  ParseHeld(Content, parts);
  const int32_t first = FirstPar;
  doc.InvalidateFromParagraph(first > 0 ? first - 1 : 0);
  std::vector<std::unique_ptr<TPar>> made;
  if (WholeParagraphs()) {
    // Every paragraph is terminated: the part after the last byte 29 is empty.
    TParFormat running = DefaultParFormat;
    for (size_t k = 0; k + 1 < parts.size(); ++k)
      made.push_back(ParagraphOfPart(doc, parts[k], running));
    const int32_t n = static_cast<int32_t>(made.size());
    doc.Paragraphs.insert(doc.Paragraphs.begin() + first, std::make_move_iterator(made.begin()),
                          std::make_move_iterator(made.end()));
    doc.StoryCounts[Story] += n;
    LastPar = first + n;
    EndOffset = 0;
  } else {
    TPar& f = *doc.Par(first);
    NormalizeParagraphTags(f);
    const int32_t at = OffsetAfterCharBefore(f, StartOffset);
    TCharFormat have;
    FormatAtStreamOffset(f.Content, at, have);
    TMemory tail;
    AppendPart(tail, f.Content, at, f.Content.Length);
    const TParFormat oldFormat = f.Format;
    f.Content.SetLength(at);
    f.Content.AppendMemory(parts[0].Content);
    TParFormat running = oldFormat;
    if (parts[0].HasFormat) running = parts[0].Format;
    f.Format = running;
    if (GetParFormatProp(f.Format, ppCollapsed) > 0) SetParFormatProp(f.Format, ppCollapsed, 0);
    const size_t n = parts.size() - 1;
    for (size_t k = 1; k < n; ++k) made.push_back(ParagraphOfPart(doc, parts[k], running));
    auto last = std::make_unique<TPar>(&doc);
    const TMemory& lastPart = parts.back().Content;
    TCharFormat after;
    FormatAtStreamOffset(lastPart, lastPart.Length, after);
    last->Content = lastPart;
    AppendFormatChangeTags(last->Content, after, have);
    last->Content.AppendMemory(tail);
    last->Format = oldFormat;
    last->RebuildCodes();
    EndOffset = CountStreamChars(lastPart);
    made.push_back(std::move(last));
    doc.Paragraphs.insert(doc.Paragraphs.begin() + first + 1,
                          std::make_move_iterator(made.begin()), std::make_move_iterator(made.end()));
    doc.StoryCounts[Story] += static_cast<int32_t>(n);
    LastPar = first + static_cast<int32_t>(n);
    f.RebuildCodes();
    f.ContentChanged();
    f.ReleaseLines(0);
    f.InvalidateSpelling();
  }
  for (int32_t i = first; i <= std::min(LastPar, doc.ParCount() - 1); ++i) doc.Par(i)->Doc = &doc;
  doc.ReindexParagraphs(first);
  AfterChange(first, std::min(LastPar, doc.ParCount() - 1), true);
}

void TInsDelOperation::AfterChange(int32_t first, int32_t last, bool structural) {
  TDoc& doc = *Doc;
  if (structural) {
    doc.InvalidateFromParagraph(first);
    for (int32_t i = first; i <= last && i < doc.ParCount(); ++i) doc.Par(i)->ReleaseLines(0);
    if (ParMarks > 0 || WholeParagraphs()) {
      doc.SetDocFlag(dfStoryCountsChanged, true);
      doc.SetDocFlag(dfStructureChanged, true);
    }
  } else {
    RelayoutParagraph(doc, first);
  }
  for (int32_t i = first; i <= last && i < doc.ParCount(); ++i) {
    const int32_t list = GetParFormatProp(doc.Par(i)->Format, ppList);
    if (list != ParUnset32 && list != 0) doc.SetDocFlag(dfRenumberLists, true);
  }
  doc.SetDocFlag(dfContentChanged, true);
}

namespace {

// A shape whose character or anchor is out of the document is kept for undo, marked removed.
void MarkShapeRemoved(TShape* shape, bool removed) {
  if (shape == nullptr) return;
  if (removed) shape->Flags |= TShape::FlagRemoved;
  else shape->Flags &= static_cast<uint8_t>(~TShape::FlagRemoved);
}

}  // namespace

// The held content is walked in its own format: the paragraph format blocks after its
// separators are not stream bytes, and read as such they could hide the tags that follow.
void TInsDelOperation::ObjectsOut() {
  if (!OwnsObjects) return;
  TDoc& doc = *Doc;
  WalkHeldContent(
      Content,
      [&doc, this](const TContentTag& tag) {
        if (tag.Kind == ctSectionBreak) {
          TSection* s = SectionOfTag(tag);
          auto held = TakeOut(doc.Sections, [s](TSection* x) { return x == s; });
          if (held) HeldSections.push_back(std::move(held));
          doc.SectionRangesStale = true;
        } else if (tag.Kind == ctFieldStart) {
          TField* f = FieldOfTag(tag);
          const auto place = std::find_if(doc.Fields.begin(), doc.Fields.end(),
                                          [f](const auto& x) { return x.get() == f; });
          const auto index = static_cast<int32_t>(place - doc.Fields.begin());
          auto held = TakeOut(doc.Fields, [f](TField* x) { return x == f; });
          if (held && held->Kind == fkShapeAnchor) MarkShapeRemoved(held->Shape, true);
          if (held) {
            HeldFields.push_back(std::move(held));
            HeldFieldPlaces.push_back(index);
          }
        } else if (tag.Kind == ctInlineShape) {
          MarkShapeRemoved(ShapeOfTag(tag), true);
        }
      },
      [] {});
}

void TInsDelOperation::ObjectsIn() {
  TDoc& doc = *Doc;
  WalkHeldContent(
      Content,
      [](const TContentTag& tag) {
        if (tag.Kind == ctInlineShape) MarkShapeRemoved(ShapeOfTag(tag), false);
      },
      [] {});
  for (const auto& f : HeldFields)
    if (f->Kind == fkShapeAnchor) MarkShapeRemoved(f->Shape, false);
  if (!HeldSections.empty()) doc.SectionRangesStale = true;
  for (auto& s : HeldSections) doc.Sections.insert(doc.Sections.begin(), std::move(s));
  HeldSections.clear();
  // Back in their old places in the list, the last taken first.
  for (size_t i = HeldFields.size(); i-- > 0;) {
    const auto size = static_cast<int32_t>(doc.Fields.size());
    const int32_t place = i < HeldFieldPlaces.size() ? HeldFieldPlaces[i] : size;
    doc.Fields.insert(doc.Fields.begin() + std::clamp(place, 0, size), std::move(HeldFields[i]));
  }
  HeldFields.clear();
  HeldFieldPlaces.clear();
}

}  // namespace qv
