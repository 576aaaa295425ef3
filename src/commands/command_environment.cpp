// The stand-in answers of the command environment that the document model can give: the
// selection's questions and the deletion of the selection, and the formats' unset properties.
#include "commands/command_environment_services.h"

#include "commands/command_options.h"
#include "document/char_format.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/par.h"
#include "document/par_format.h"
#include "editing/edit_codes.h"
#include "editing/ops/text_edit_flags.h"
#include "foundation/ui/sound_services.h"

namespace qv {

namespace {

bool InTable(const TDoc& doc, int32_t par) {
  return par >= 0 && par < doc.ParCount() && doc.Par(par)->Format.InTable == 1;
}

}  // namespace

void TCommandEnvironment::UpdateSelectedFieldLists(TDoc& doc) { doc.UpdateSelectedFieldLists(255); }

bool TCommandEnvironment::HasSelection(const TDoc& doc) { return doc.HasSelection(); }

bool TCommandEnvironment::CaretInRowEndPar(const TDoc& doc) { return doc.IsRowEndPar(doc.Caret.Par); }

bool TCommandEnvironment::SelectionHasNoteEndMark(const TDoc& doc) { return doc.SelectionHasNoteEndMark(); }

bool TCommandEnvironment::SelectionIsWholeMainText(const TDoc& doc) {
  if (!doc.IsSingleFragmentSelection()) return false;
  TDocRange main;
  doc.GetMainTextRange(main);
  return SameRange(*doc.Selection->GetRange(0), main);
}

bool TCommandEnvironment::SelectionIsWholeCurrentStory(const TDoc& doc) {
  if (!doc.IsSingleFragmentSelection()) return false;
  TDocRange story;
  doc.GetCurrentStoryRange(story);
  return SameRange(*doc.Selection->GetRange(0), story);
}

void TCommandEnvironment::NormalizeSelection(TDoc& doc) {
  if (doc.Selection) doc.NormalizeFragments(*doc.Selection);
}

bool TCommandEnvironment::SelectionJoinsTables(const TDoc& doc) {
  if (!doc.IsSingleFragmentSelection()) return false;
  const TDocRange& r = *doc.Selection->GetRange(0);
  const int32_t story = doc.StoryOfParagraph(r.End.Par);
  if (r.Start.Offset != 0 || r.Start.Par <= doc.FirstParagraphOfStory(story)) return false;
  if (r.End.Par >= doc.LastParagraphOfStory(story) || r.End.Offset < doc.ParLength(r.End.Par) - 1) return false;
  const int32_t above = r.Start.Par - 1, below = r.End.Par + 1;
  if (!InTable(doc, above) || !InTable(doc, below)) return false;
  TDoc& mutableDoc = const_cast<TDoc&>(doc);
  TDocRange upper, lower;
  mutableDoc.GetTableRange(above, upper);
  mutableDoc.GetTableRange(below, lower);
  return upper.Start.Par != lower.Start.Par;
}

bool TCommandEnvironment::SelectionIsWholeWordsOnly(const TDoc& doc) {
  return !doc.Selection || doc.AreFragmentsWordBounded(*doc.Selection);
}

void TCommandEnvironment::DeleteSelection(TDoc& doc, uint32_t flags, bool wholeStory) {
  TScopedDocFlag story(doc, dfDeletingWholeStory, wholeStory);
  TDocRange range = doc.HasSelection() ? *doc.Selection->GetRange(0) : TDocRange{doc.Caret, doc.Caret};
  int32_t count = 0;
  int32_t word = static_cast<int32_t>(flags);
  void* args[] = {doc.Selection.get(), &range, &count, &word};
  doc.ExecuteEdit(ecDeleteText, args, 3);
}

bool TCommandEnvironment::CurrentPropertyUnset(const TDoc& doc, bool paragraph, int32_t property) {
  if (paragraph) return IsParFormatPropUnset(doc.CurParFormat, property);
  return property >= 0 && property < TCharFormat::Count && doc.CurCharFormat[property] == CharUnset;
}

bool TCommandEnvironment::BrushPropertyUnset(bool paragraph, int32_t property) {
  TCharFormat c;
  TParFormat p;
  if (!GetBrushFormats(c, p)) return false;
  if (paragraph) return IsParFormatPropUnset(p, property);
  return property >= 0 && property < TCharFormat::Count && c[property] == CharUnset;
}

bool TCommandEnvironment::FormatWithoutSelection() { return EditOption(opt::EditFormatWithoutSelection); }

}  // namespace qv
