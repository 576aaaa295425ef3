// Updating fields: a run evaluates the fields of the requested types in a scope, compares each
// new result with the text between the field's marks and replaces the text where it differs.
// Inside an edit the replacements are undo records of the running operation; for one page's
// header and footer (and without the editing engine) they are made directly in the streams,
// since the shared header and footer text is rewritten for every page that shows it.
#include <algorithm>
#include <chrono>
#include <utility>
#include <vector>

#include "document/compound_fragment.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_evaluation.h"
#include "document/field_index.h"
#include "document/field_text.h"
#include "document/page_numbering.h"
#include "document/par.h"
#include "document/section.h"
#include "document/selection_flags.h"
#include "foundation/base/service_slot.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

std::chrono::steady_clock::time_point g_lastActivity = std::chrono::steady_clock::now();

constexpr int32_t kLargeDocumentPages = 1000;
constexpr int64_t kActivityPauseMs = 30000;

bool StillInDocument(const TDoc& doc, const TField* field) {
  return std::any_of(doc.Fields.begin(), doc.Fields.end(),
                     [field](const auto& f) { return f.get() == field; });
}

// The stream offset of the field's mark of the kind in the paragraph; -1 when not there.
int32_t MarkOffset(const TPar& p, const TField* field, uint8_t kind) {
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(p.Content.Data, p.Content.Length, off, item);
       off += item.Size)
    if (item.ItemType == TStreamItem::siTag && item.Tag.Kind == kind &&
        FieldOfTag(item.Tag) == field)
      return off;
  return -1;
}

// The marks of other fields that stand at the field's own places but outside it: those before
// its start mark at its start, and those after its end mark at its end, each in stream order.
// A bookmark or link around exactly the field, or a field ending where this one starts, is no
// part of the result and must come through its replacement where it was.
struct TOuterMarks {
  std::vector<std::pair<TField*, bool>> AtStart, AtEnd;  // (field, start mark)
};

TOuterMarks OuterMarks(TDoc& doc, const TField* field, const TDocRange& range) {
  TOuterMarks out;
  TPar& first = *doc.Par(range.Start.Par);
  NormalizeParagraphTags(first);
  int32_t chars = 0;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(first.Content.Data, first.Content.Length, off, item);
       off += item.Size) {
    if (item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind)) {
      TField* f = FieldOfTag(item.Tag);
      if (f == field) break;
      if (f != nullptr && chars == range.Start.Offset)
        out.AtStart.emplace_back(f, item.Tag.Kind == ctFieldStart);
      continue;
    }
    if (item.Chars() == 0) continue;
    chars += item.Chars();
    out.AtStart.clear();  // only the marks after the last character before the field count
  }
  TPar& last = *doc.Par(range.End.Par);
  NormalizeParagraphTags(last);
  const int32_t end = MarkOffset(last, field, ctFieldEnd);
  if (end < 0) return out;
  for (int32_t off = end + ContentTagSize;
       ReadStreamItem(last.Content.Data, last.Content.Length, off, item) &&
       item.ItemType == TStreamItem::siTag && IsFieldMarkKind(item.Tag.Kind);
       off += item.Size)
    if (TField* f = FieldOfTag(item.Tag)) out.AtEnd.emplace_back(f, item.Tag.Kind == ctFieldStart);
  return out;
}

// A header or footer result is only rewritten while it lies in one paragraph and holds nothing
// but text: no other field's mark, no inline shape, no paragraph, cell or row end.
bool SimpleResult(TDoc& doc, const TField& field) {
  const TDocRange& r = field.Range;
  if (r.Start.Par != r.End.Par) return false;
  TPar& p = *doc.Par(r.Start.Par);
  NormalizeParagraphTags(p);
  const int32_t from = MarkOffset(p, &field, ctFieldStart);
  const int32_t to = MarkOffset(p, &field, ctFieldEnd);
  if (from < 0 || to < from) return false;
  TStreamItem item;
  for (int32_t off = from + ContentTagSize;
       off < to && ReadStreamItem(p.Content.Data, p.Content.Length, off, item); off += item.Size) {
    if (item.ItemType != TStreamItem::siTag) continue;
    if (IsFieldMarkKind(item.Tag.Kind) || item.Tag.Kind == ctInlineShape) return false;
    const uint8_t code = CharCodeOfTag(item.Tag.Kind, item.Tag.Value);
    if (code >= scParagraphEnd && code <= scRowEnd) return false;
  }
  return true;
}

// Whether an empty field lies in the range, or a non-empty one shares characters with it.
bool FieldInScope(const TField& f, const TDocRange& scope) {
  if (IsRangeEmpty(f.Range)) return PositionInRangeInclusive(f.Range.Start, scope);
  TDocRange common;
  return IntersectRanges(&common, f.Range, scope) && !IsRangeEmpty(common);
}

// The result's full format: the old result's own format with the result's set properties.
TCharFormat ResultFormat(const TCharFormat& inside, const TCharFormat& result) {
  TCharFormat f = inside;
  for (int k = 0; k < TCharFormat::Count; ++k)
    if (result[k] != CharUnset) f[k] = result[k];
  return f;
}

// Rewrites the result between the field's marks in the paragraph's stream, with no record.
void ReplaceResultDirectly(TDoc& doc, const TField_UpdatedValue_Info& r) {
  const TDocRange& range = r.Field->Range;
  if (range.Start.Par != range.End.Par) return;
  TPar& p = *doc.Par(range.Start.Par);
  NormalizeParagraphTags(p);
  const int32_t from = MarkOffset(p, r.Field, ctFieldStart);
  const int32_t to = MarkOffset(p, r.Field, ctFieldEnd);
  if (from < 0 || to < from) return;
  const int32_t inner = from + ContentTagSize;
  TCharFormat afterStart = FormatInForceAt(p.Content, inner);
  TCharFormat inside = afterStart;
  p.GetCharFormatAt(range.Start.Offset, inside);
  const TCharFormat atEnd = FormatInForceAt(p.Content, to);
  const TCharFormat want = ResultFormat(inside, r.Format);
  TMemory middle;
  AppendFormatDifference(middle, afterStart, want);
  AppendTextContent(middle, r.Text);
  AppendFormatDifference(middle, want, atEnd);
  TMemory stream;
  stream.Append(p.Content.Data, inner);
  stream.AppendMemory(middle);
  stream.Append(p.Content.Data + to, p.Content.Length - to);
  p.Content = stream;
  p.RebuildCodes();
  p.ContentChanged();
  p.ReleaseLines(0);
  doc.InvalidateFieldIndex(range.Start.Par, range.Start.Par);
}

class TUpdateRun {
 public:
  TUpdateRun(TDoc& doc, const TFieldTypeSet& types) : doc_(doc), types_(types) {}

  void Run(const TCompoundFragment* fragment, const TDocRange* range) {
    perPage_ = doc_.IsDocFlagSet(dfPageFieldsForPage);
    direct_ = perPage_ || IsStandInService<TEditServices>();
    fromSelection_ = fragment != nullptr;
    if (fragment != nullptr) {
      for (int32_t i = 0; i < fragment->Count(); ++i) scope_.push_back(*fragment->GetRange(i));
    } else if (range != nullptr) {
      scope_.push_back(*range);
    }
    if (scope_.empty()) return;
    const bool tempView = Paginate();
    caret_ = doc_.Caret;
    Evaluate();
    DropNested();
    const bool headerFooter =
        doc_.StoryOfParagraph(scope_.front().Start.Par) == stHeadersFooters;
    for (TField_UpdatedValue_Info& r : results_)
      if (StillInDocument(doc_, r.Field)) Apply(r);
    if (headerFooter || direct_) {
      // Positions in the changed paragraphs moved; nothing was added or removed.
      doc_.RebuildFieldIndex();
    }
    if (!direct_) Finish();
    if (tempView) doc_.EndTempViewMode(true);
  }

 private:
  // Page-dependent results need the document laid out to its end (in page layout).
  bool Paginate() {
    if (perPage_ || doc_.IsDocFlagSet(dfStoredFieldResults)) return false;
    if ((types_ & PageDependentFieldTypes()).none()) return false;
    bool temp = false;
    if (doc_.ViewMode != vmPrintLayout) {
      doc_.BeginTempViewMode(vmPrintLayout);
      temp = true;
    }
    doc_.PaginateAll();
    return temp;
  }

  void Evaluate() {
    context_.Now = LocalNow();
    context_.ForPage = perPage_;
    context_.PageNumber = doc_.HeaderFooterPageNumber;
    context_.PageIndex = doc_.FieldUpdate.PageIndex;
    std::vector<TField*> evaluated;
    std::vector<TField*> candidates;
    for (auto r = scope_.rbegin(); r != scope_.rend(); ++r) {
      doc_.FindOverlappingFields(*r, candidates);
      for (auto it = candidates.rbegin(); it != candidates.rend(); ++it) {
        TField* f = *it;
        if (f->Kind != fkField || f->FieldType >= types_.size() || !types_.test(f->FieldType))
          continue;
        if (!FieldInScope(*f, *r)) continue;
        if (std::find(evaluated.begin(), evaluated.end(), f) != evaluated.end()) continue;
        const bool inHeaderFooter = doc_.StoryOfParagraph(f->Range.Start.Par) == stHeadersFooters;
        if ((inHeaderFooter || direct_) && !SimpleResult(doc_, *f)) continue;
        evaluated.push_back(f);
        EvaluateOne(*f);
      }
    }
  }

  void EvaluateOne(TField& f) {
    TSection* kept = doc_.HeaderFooterPageSection;
    context_.CurrentSection = kept;
    if (context_.CurrentSection == nullptr && f.Range.Start.Par <= doc_.LastParagraphOfStory(stMain))
      context_.CurrentSection = doc_.SectionOfParagraph(f.Range.Start.Par);
    if (context_.CurrentSection == nullptr && !doc_.Sections.empty())
      context_.CurrentSection = doc_.Sections.front().get();
    TField_UpdatedValue_Info info;
    if (EvaluateField(doc_, f, context_, info)) RecordFieldResult(doc_, std::move(info), results_);
  }

  // A result inside the range of another result's field goes with the outer replacement.
  void DropNested() {
    std::vector<TField_UpdatedValue_Info> kept;
    for (const TField_UpdatedValue_Info& r : results_) {
      const bool nested = std::any_of(results_.begin(), results_.end(), [&r](const auto& o) {
        return o.Field != r.Field && ComparePositions(o.Range.Start, r.Range.Start) <= 0 &&
               ComparePositions(o.Range.End, r.Range.End) >= 0 &&
               !(SamePlace(o.Range.Start, r.Range.Start) && SamePlace(o.Range.End, r.Range.End));
      });
      if (!nested) kept.push_back(r);
    }
    results_ = std::move(kept);
  }

  void Apply(TField_UpdatedValue_Info& r) {
    if (direct_) {
      ReplaceResultDirectly(doc_, r);
      doc_.RebuildFieldIndex();
      return;
    }
    TDocRange range;
    if (!doc_.GetFieldRange(r.Field, range)) return;
    if (r.FastReplace && range.Start.Par == range.End.Par) {
      FieldEditServices().FastReplaceText(doc_, range.Start,
                                          WideToCodePage(r.Text, DefaultCodePage));
      return;
    }
    ReplaceWithRecords(r, range);
  }

  void ReplaceWithRecords(TField_UpdatedValue_Info& r, const TDocRange& range) {
    TField* f = r.Field;
    TCharFormat inside = DefaultCharFormat;
    {
      TScopedDocFlag plain(doc_, dfNoFieldEdgeRules);
      doc_.Par(range.Start.Par)->GetCharFormatAt(range.Start.Offset, inside);
    }
    const TCharFormat want = ResultFormat(inside, r.Format);
    // The marks outside the field at its places leave first, so that the replacement neither
    // counts their fields as lying within the result nor puts them inside it.
    const TOuterMarks outer = OuterMarks(doc_, f, range);
    for (auto it = outer.AtEnd.rbegin(); it != outer.AtEnd.rend(); ++it)
      doc_.InsDelFieldMark(it->first, range.End.Par, range.End.Offset, 0, false, it->second);
    doc_.InsDelFieldMark(f, range.End.Par, range.End.Offset, 0, false, false);
    doc_.InsDelFieldMark(f, range.Start.Par, range.Start.Offset, 0, false, true);
    for (auto it = outer.AtStart.rbegin(); it != outer.AtStart.rend(); ++it)
      doc_.InsDelFieldMark(it->first, range.Start.Par, range.Start.Offset, 0, false, it->second);
    const int32_t story = doc_.StoryOfParagraph(range.Start.Par);
    doc_.BeginKeepFieldMarks(range.Start, range.End, 0);
    if (!IsRangeEmpty(range)) EditServices().DeleteContent(doc_, range);
    TCharFormat have = DefaultCharFormat;
    if (range.Start.Offset > 0) doc_.Par(range.Start.Par)->GetCharFormatAt(range.Start.Offset - 1, have);
    TMemory content;
    AppendFormatDifference(content, have, want);
    AppendTextContent(content, r.Text);
    EditServices().InsertContent(doc_, content, range.Start, story, 0);
    TDocPosition end = range.Start;
    end.Offset += TextContentLength(r.Text);
    doc_.EndKeepFieldMarks(range.Start, end);
    CorrectCaret(range, end);
    // The field's marks go around everything the replacement kept at its places, and the
    // outer marks around the field again, in their order.
    doc_.InsDelFieldMark(f, range.Start.Par, range.Start.Offset, FieldSlotFirst, true, true);
    doc_.InsDelFieldMark(f, end.Par, end.Offset, FieldSlotLast, true, false);
    for (auto it = outer.AtStart.rbegin(); it != outer.AtStart.rend(); ++it)
      doc_.InsDelFieldMark(it->first, range.Start.Par, range.Start.Offset, FieldSlotFirst, true,
                           it->second);
    for (const auto& [field, startMark] : outer.AtEnd)
      doc_.InsDelFieldMark(field, end.Par, end.Offset, FieldSlotLast, true, startMark);
    if (!doc_.IsDocFlagSet(dfFieldsNotReselected) && doc_.HasSelection())
      reselect_.push_back({range.Start, end});
  }

  // The caret kept for the end of the run follows the change in the field's paragraph.
  void CorrectCaret(const TDocRange& old, const TDocPosition& newEnd) {
    if (caret_.Par != old.Start.Par || caret_.Offset <= old.Start.Offset) return;
    if (old.End.Par == caret_.Par && caret_.Offset >= old.End.Offset)
      caret_.Offset += newEnd.Offset - old.End.Offset;
    else
      caret_.Offset = std::min(caret_.Offset, newEnd.Offset);
  }

  void Finish() {
    TPostActions& post = EditServices().CurrentPostActions(doc_);
    TDocPosition caret = caret_;
    caret.Par = std::clamp(caret.Par, 0, doc_.ParCount() - 1);
    caret.Offset = std::clamp(caret.Offset, 0, std::max(doc_.Par(caret.Par)->CharCount() - 1, 0));
    post.Caret = caret;
    post.HasCaret = true;
    if (fromSelection_) {
      TFragmentRef selection = AcquireFragment();
      selection->SetSingleRange(scope_.front().Start.Par, scope_.front().Start.Offset,
                                scope_.front().End.Par, scope_.front().End.Offset);
      for (size_t i = 1; i < scope_.size(); ++i)
        selection->InsertRange(selection->Count(), scope_[i]);
      for (const TDocRange& r : reselect_) selection->InsertRange(selection->Count(), r);
      doc_.NormalizeFragments(*selection);
      post.Selection = std::move(selection);
    }
  }

  TDoc& doc_;
  TFieldTypeSet types_;
  bool perPage_ = false;
  bool direct_ = false;
  bool fromSelection_ = false;
  std::vector<TDocRange> scope_;
  TFieldUpdateContext context_;
  std::vector<TField_UpdatedValue_Info> results_;
  std::vector<TDocRange> reselect_;
  TDocPosition caret_;
};

}  // namespace

void NoteUserActivity() { g_lastActivity = std::chrono::steady_clock::now(); }

int64_t MillisecondsSinceUserActivity() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               g_lastActivity)
      .count();
}

void TDoc::UpdateFieldsRun(const TCompoundFragment* fragment, const TDocRange* range,
                           const TFieldTypeSet& types) {
  TUpdateRun(*this, types).Run(fragment, range);
}

void TDoc::UpdateFields(const TCompoundFragment* fragment, const TDocRange* range) {
  if (Fields.empty()) return;
  TFieldTypeSet types = EvaluatedFieldTypes();
  PaginateAll();
  if (IsStandInService<TEditServices>()) {
    UpdateFieldsRun(fragment, range, types);
  } else {
    void* args[] = {const_cast<TCompoundFragment*>(fragment), const_cast<TDocRange*>(range),
                    &types};
    ExecuteEdit(41, args, 2);
  }
  PaginateAll();
}

void TDoc::UpdatePageFieldsForPage(TField* field, int32_t page, const TDocRange& range) {
  if (field == nullptr || IsDocFlagSet(dfPageFieldsForPage)) return;
  // Most headers hold no field that is evaluated: leave those alone at once.
  std::vector<TField*> candidates;
  FindOverlappingFields(range, candidates);
  const TFieldTypeSet evaluated = EvaluatedFieldTypes();
  const bool any = std::any_of(candidates.begin(), candidates.end(), [&](const TField* f) {
    return f->Kind == fkField && f->FieldType < evaluated.size() && evaluated.test(f->FieldType) &&
           FieldInScope(*f, range);
  });
  if (!any) return;
  const TDocPosition caret = Caret;
  const int32_t keptNumber = HeaderFooterPageNumber;
  TSection* keptSection = HeaderFooterPageSection;
  const int32_t keptPage = FieldUpdate.PageIndex;
  const TPageNumber number = PageNumberOfPage(*this, page);
  HeaderFooterPageNumber = number.Number;
  HeaderFooterPageSection = nullptr;
  const TSection* section = static_cast<const TDoc&>(*this).SectionOfPage(page);
  for (auto& s : Sections)
    if (s.get() == section) HeaderFooterPageSection = s.get();
  FieldUpdate.PageIndex = page;
  {
    TScopedDocFlag forPage(*this, dfPageFieldsForPage);
    TScopedDocFlag notReselected(*this, dfFieldsNotReselected);
    UpdateFieldsRun(nullptr, &range, evaluated);
  }
  Caret = caret;
  HeaderFooterPageNumber = keptNumber;
  HeaderFooterPageSection = keptSection;
  FieldUpdate.PageIndex = keptPage;
}

void TDoc::UpdateHeaderFooterPageFields(bool force) {
  if (IsDocFlagSet(dfNotShown) || !Layout.PageFieldsPending) return;
  if (IsDocFlagSet(dfSpellCheckRunning) || ViewMode != vmPrintLayout) {
    Layout.PageFieldsPending = false;
    return;
  }
  std::vector<uint8_t> types;
  const TFieldTypeSet set = HeaderFooterRepaginationTypes();
  for (size_t t = 0; t < set.size(); ++t)
    if (set.test(t)) types.push_back(static_cast<uint8_t>(t));
  if (HeaderFooterHasFields(types) || IsDocFlagSet(dfHeaderFooterRepaginate)) {
    if (!force && PageCount() >= kLargeDocumentPages &&
        MillisecondsSinceUserActivity() < kActivityPauseMs)
      return;  // still pending: tried again when the user pauses
    if (HeaderFooterHasFields({ftNumWords, ftNumChars})) {
      TDocRange main;
      GetMainTextRange(main);
      TDocStatistics stats;
      TScopedDocFlag noStructure(*this, dfStatisticsNoStructure);
      ComputeRangeStatistics(*this, {main}, false, stats);
      FieldUpdate.StoredWordCount = stats.Words;
      FieldUpdate.StoredCharCount = stats.CharsNoSpaces;
    }
    FieldUpdate.StoredPageCount = PageCount();
    UpdateSectionPages(nullptr);
    FieldUpdate.StoredSectionPages.clear();
    for (auto& s : Sections)
      FieldUpdate.StoredSectionPages[s.get()] =
          s->FirstPage > s->LastPage ? 0 : s->LastPage - s->FirstPage + 1;
    FieldUpdate.HasStoredCounts = true;
    {
      TScopedDocFlag stored(*this, dfStoredFieldCounts);
      DiscardPages();
      PaginateAll();
    }
    if (EditorWindow) EditorWindow->Repaint();
    SetDocFlag(dfHeaderFooterRepaginate, false);
  }
  Layout.PageFieldsPending = false;
}

}  // namespace qv
