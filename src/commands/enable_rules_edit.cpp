// The enable rules of the edit range (ids 3000-5999): inserting, deleting, the clipboard, the
// Vadure Vavi, selection, undo, paragraph and case operations, browsing, bookmarks, hyperlinks,
// tables of contents, notes, the index, the locked selection and the clip library.
#include <algorithm>
#include <string>

#include "commands/command_options.h"
#include "commands/enable_rule_context.h"
#include "commands/selection_objects.h"
#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/field.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/table_row.h"

namespace qv {

namespace {

// The find and replace window's option that keeps the whole-words command off.
constexpr uint32_t kFindWildcards = 8;
// The browse object that pages through the document.
constexpr uint8_t kBrowsePage = 4;

TDocRange FirstRange(const TDoc& doc) {
  if (doc.Selection && doc.Selection->Count() > 0) return *doc.Selection->GetRange(0);
  return TDocRange{doc.Caret, doc.Caret};
}

// The paragraph of a note text that holds the paragraph, or null outside the notes.
const TField* NoteOfParagraph(TDoc& doc, int32_t par) {
  const int32_t story = doc.StoryOfParagraph(par);
  if (story != stFootnotes && story != stEndnotes) return nullptr;
  TDocPosition at;
  MakePosition(par, 0, at);
  return doc.GetFieldAt(at, nullptr, {}, 255, fkNoteText);
}

bool HasBreakCodes(const TDoc& doc, const TDocRange& r) {
  for (int32_t p = r.Start.Par; p <= r.End.Par && p < doc.ParCount(); ++p) {
    const TPar& par = *doc.Par(p);
    for (int32_t i = 0; i < par.CharCount(); ++i) {
      const uint8_t code = par.CodeAt(i);
      if (code == scSectionEnd || code == scColumnBreak || code == scPageBreak) return true;
    }
  }
  return false;
}

bool HasCollapsedHeadings(const TDoc& doc, const TDocRange& r) {
  for (int32_t p = r.Start.Par; p <= r.End.Par && p < doc.ParCount(); ++p)
    if (doc.Par(p)->Format.Collapsed == 1) return true;
  return false;
}

// Cut, copy and the like: a selection that is more than row ends, or selected objects.
bool SelectionOrObjects(TRuleContext& c) {
  if (c.HasSelection()) return c.NotRowEndsOnly();
  return c.Need(c.HasObjects(), rcNoSelection);
}

bool PasteRules(TRuleContext& c, int32_t id) {
  TDoc& doc = *c.Doc;
  if (!c.NotRowEndsOnly()) return false;
  if ((c.Manager.Flags & TCommandManager::cmClipboardChanged) != 0) c.Env.ExamineClipboard(c.Manager);
  if (!c.Need(c.Manager.ClipboardHasData != 0, rcNothingToPaste)) return false;
  if (!Between(id, 3381, 3384)) return true;
  const uint8_t kind = c.Manager.ClipboardTableKind;
  if (kind == TCommandManager::kNoTableSelection || doc.HasSelection() || doc.CurParFormat.InTable != 1)
    return false;
  if (id != 3382) return true;
  if (kind != 1 && kind != 3) return false;
  // Cells go in as new columns only from the first row of the table.
  const TTableRow* row = doc.GetRowProps(doc.Caret.Par);
  return row != nullptr && row->PrevRow == nullptr;
}

// Join, sort: one range over several paragraphs.
bool MultiParagraphRange(TRuleContext& c, const TDocRange& r) {
  return c.Selection() && c.Need(c.Doc->IsSingleFragmentSelection(), rcNotSingleRange) &&
         c.Need(r.Start.Par != r.End.Par, rcSingleParagraph);
}

bool JoinRules(TRuleContext& c) {
  TDoc& doc = *c.Doc;
  const TDocRange r = FirstRange(doc);
  if (!MultiParagraphRange(c, r)) return false;
  const int8_t inTable = doc.CurParFormat.InTable;
  if (inTable == ParUnset8 || (inTable == 1 && !doc.SelectionInOneTable())) return c.Refuse(rcHasTables);
  const TField* firstNote = NoteOfParagraph(doc, r.Start.Par);
  const int32_t story = doc.StoryOfParagraph(r.Start.Par);
  if ((story == stFootnotes || story == stEndnotes) && firstNote != NoteOfParagraph(doc, r.End.Par))
    return c.Refuse(rcAcrossNotes);
  return c.NoObjects();
}

bool SortRules(TRuleContext& c) {
  TDoc& doc = *c.Doc;
  const TDocRange r = FirstRange(doc);
  if (!c.Selection() || !c.Need(!HasCollapsedHeadings(doc, r), rcCollapsedHeadings)) return false;
  if (!MultiParagraphRange(c, r)) return false;
  if (!c.Need(doc.CurParFormat.InTable == 0, rcHasTables)) return false;
  if (!c.Need(!doc.SelectionInNotes(), rcInNotes)) return false;
  if (!c.Need(!doc.RangeCutsMultiParField(r), rcFieldsCut)) return false;
  return c.Need(!HasBreakCodes(doc, r), rcBreaksInside) && c.NoObjects();
}

// Drop caps: the first selected paragraph must begin with a printable character, unless the
// document already has drop caps (which the command may then change).
bool DropCapRules(TRuleContext& c) {
  TDoc& doc = *c.Doc;
  if (!c.NotHeaderFooterEditing() || !c.Need(doc.CurParFormat.InTable == 0, rcHasTables)) return false;
  const int32_t story = doc.StoryOfParagraph(doc.Caret.Par);
  if (!c.Need(story != stFootnotes && story != stEndnotes, rcInNotes)) return false;
  const bool hasDropCaps = std::any_of(doc.Fields.begin(), doc.Fields.end(),
                                       [](const auto& f) { return f->Kind == fkDropCap; });
  const int32_t first = doc.GetFirstSelectedPar();
  const TPar* par = first >= 0 && first < doc.ParCount() ? doc.Par(first) : nullptr;
  const uint8_t code = par != nullptr && par->CharCount() > 0 ? par->CodeAt(0) : 0;
  const bool printable = code > 16 && !(code >= 18 && code <= 32);
  return c.Need(hasDropCaps || printable, rcBadFirstCharacter) && c.NoObjects();
}

bool HasBookmarks(const TDoc& doc) {
  return std::any_of(doc.Fields.begin(), doc.Fields.end(),
                     [](const auto& f) { return f->Kind == fkBookmark && f->Flags != 2; });
}

bool BookmarkRules(TRuleContext& c, int32_t id) {
  if (id == 4510 || id == 4511) return c.NotHeaderFooterEditing() && c.NoObjects() && c.Need(HasBookmarks(*c.Doc), rcNoBookmarks);
  if (!c.Need(HasBookmarks(*c.Doc), rcNoBookmarks)) return false;
  if (id == 4536 && (!c.NoObjects() || !c.Selection())) return false;
  // How many bookmarks the bookmarks tool highlights is the tool's (codes 95 and 103).
  bool enabled = true;
  if (id != 4534 && id != 4535 && id != 4538 && c.ToolDecides(id, enabled)) return enabled;
  return true;
}

bool FieldInDocument(const TDoc& doc, const TField* field) {
  return std::any_of(doc.Fields.begin(), doc.Fields.end(), [field](const auto& f) { return f.get() == field; });
}

bool HyperlinkRules(TRuleContext& c, int32_t id, const TSelectionObjects& objects) {
  TDoc& doc = *c.Doc;
  const size_t links = objects.Hyperlinks.size();
  switch (id) {
    case 4541: return links == 1 || (links > 1 && c.Refuse(rcMultipleHyperlinks));
    case 4546:
    case 4547: {
      const int32_t at = doc.HyperlinkHistoryIndex;
      const int32_t count = static_cast<int32_t>(doc.HyperlinkHistory.size());
      bool found = false;
      if (id == 4546)
        for (int32_t i = std::min(at, count) - 1; i >= 0 && !found; --i) found = FieldInDocument(doc, doc.HyperlinkHistory[static_cast<size_t>(i)]);
      else
        for (int32_t i = std::max(at + 1, 0); i < count && !found; ++i) found = FieldInDocument(doc, doc.HyperlinkHistory[static_cast<size_t>(i)]);
      return c.Need(found, rcHyperlinkHistoryEnd);
    }
    case 4561:
      return c.Need(std::any_of(objects.Hyperlinks.begin(), objects.Hyperlinks.end(),
                                [&doc](TField* f) { return !HyperlinkShowsItsAddress(doc, *f); }),
                    rcUrlsShown);
    default: return links > 0;  // 4545, 4550, 4555, 4560, 4565
  }
}

bool NoteRules(TRuleContext& c, int32_t id, const TSelectionObjects& objects) {
  const size_t footnotes = objects.Footnotes.size(), endnotes = objects.Endnotes.size();
  if (In(id, {5057, 5064, 5081, 5086})) return c.Need(endnotes > 0 && footnotes == 0, rcNoEndnote);
  if (In(id, {5058, 5063, 5080, 5085})) return c.Need(footnotes > 0 && endnotes == 0, rcNoFootnote);
  if (id == 5059 || id == 5062) return c.Need(footnotes + endnotes > 0, rcNoNote);
  const size_t count = id == 5075 ? footnotes : endnotes;  // 5075, 5076
  if (count == 0) return c.Refuse(id == 5075 ? rcNoFootnote : rcNoEndnote);
  return c.Need(count == 1, rcMultipleNotes);
}

bool TocRules(TRuleContext& c, int32_t id, const TSelectionObjects& objects) {
  if (!c.Need(!objects.Tocs.empty(), rcNoToc)) return false;
  if (id != 4630) return true;
  TDoc& doc = *c.Doc;
  TField* toc = objects.Tocs.front();
  std::vector<TField*> pageRefs;
  doc.GetFieldsInRange(std::span<const TDocRange>(&toc->Range, 1), pageRefs, ftPageRef, fkField);
  return c.Need(!pageRefs.empty(), rcNoPageRefs);
}

bool IndexEntryRules(TRuleContext& c, int32_t id) {
  if (!c.Need(!c.Doc->GetIndexEntryFields().empty(), rcNoIndexEntries)) return false;
  bool enabled = true;
  if (id != 5305 && id != 5320 && c.ToolDecides(id, enabled)) return enabled;  // code 97
  return true;
}

bool RangeIsLocked(const TDoc& doc, const TDocRange& r) {
  if (!doc.LockedRanges) return false;
  for (int32_t i = 0; i < doc.LockedRanges->Count(); ++i) {
    const TDocRange& locked = *doc.LockedRanges->GetRange(i);
    if (ComparePositions(locked.Start, r.Start) == 0 && ComparePositions(locked.End, r.End) == 0) return true;
  }
  return false;
}

bool LockedSelectionRules(TRuleContext& c, int32_t id) {
  TDoc& doc = *c.Doc;
  if (id == 5350)
    return c.NoObjects() && c.NotHeaderFooterEditing() && c.Need(c.HasSelection() || doc.HasLockedRanges(), rcNoSelection);
  if ((id == 5354 || id == 5355) && !c.NotHeaderFooterEditing()) return false;
  if (!c.Need(doc.HasLockedRanges(), rcNothingLocked)) return false;
  if (id == 5351) {
    if (!c.NoObjects() || !c.Selection()) return false;
    bool someNew = false;
    for (int32_t i = 0; i < doc.Selection->Count() && !someNew; ++i)
      someNew = !RangeIsLocked(doc, *doc.Selection->GetRange(i));
    return c.Need(someNew, rcAlreadyLocked);
  }
  bool enabled = false;  // a fragment highlighted in the selection tool (code 101)
  return c.ToolDecides(id, enabled) ? enabled : c.Refuse(101);
}

}  // namespace

// Ids 3000-5999.
bool EditRules(TRuleContext& c, int32_t id) {
  if (id == 3460) return c.Need(c.Env.VadureVaviHasText(), rcVadureVaviEmpty);
  bool enabled = false;
  if (In(id, {5205, 5210, 5212, 5213}))  // the clip library tool and its clips
    return c.ToolDecides(id, enabled) ? enabled : c.Refuse(76);
  if (In(id, {3370, 3485, 3486, 4227, 4548, 5105, 5215}) || Between(id, 4230, 4242)) return true;
  if (!c.NeedDoc()) return false;
  TDoc& doc = *c.Doc;
  if (id == 5200) return (c.ToolDecides(id, enabled) ? enabled : c.Refuse(76)) && c.NoObjects();
  if (In(id, {3002, 3022, 3080, 3081, 3082, 3083, 3805, 3810}))
    return c.NotHeaderFooterEditing() && c.Need(!doc.SelectionInNotes(), rcNotesSelected) && c.NoObjects() &&
           (id != 3805 || c.PrintLayout());
  if (In(id, {3200, 3640, 3641, 3740})) return true;
  if (In(id, {3340, 3420, 3680, 5250})) return SelectionOrObjects(c);
  if (id == 3360 || Between(id, 3380, 3384) || id == 3400) return PasteRules(c, id);
  if (id == 3440 || id == 3445) return c.Need(!c.Env.IsVadureVavi(doc), rcVadureVavi) && SelectionOrObjects(c);
  if (id == 3480)
    return c.Need(!c.Env.IsVadureVavi(doc), rcVadureVavi) && c.Need(c.Env.VadureVaviHasText(), rcVadureVaviEmpty) &&
           c.NotRowEndsOnly() && c.NoObjects();
  if (id == 3500)
    return c.NoObjects() && c.Selection() && c.Need(!doc.SelectionHasNoteEndMark(), rcNoteEndMark) &&
           c.NotRowEndsOnly();
  if (id == 3510) return c.NotBrush() && c.NoObjects();
  if (id == 3511)
    return c.NotBrush() && c.Need(c.Env.FormatCopied(false) || c.Env.FormatCopied(true), rcNoFormatCopied) &&
           c.NoObjects();
  if (id == 3595) return DropCapRules(c);
  if (id == 3670) return (c.Env.FindOptions() & kFindWildcards) == 0;
  if (id == 3700) return doc.GetSelectedShapes(nullptr, nullptr, 1) > 0;
  if (id == 3840 || id == 3880) return c.Need(doc.UndoPosition >= 0, rcNothingToUndo);
  if (id == 3860 || id == 3900)
    return c.Need(doc.UndoPosition + 1 < static_cast<int32_t>(doc.UndoList.size()), rcNothingToRedo);
  if (id == 3920) return JoinRules(c);
  if (id == 3925) return c.Need(doc.IsSingleFragmentSelection(), rcNotSingleRange) && c.NoObjects();
  if (id == 3930 || id == 3931) return SortRules(c);
  if (In(id, {3980, 4000, 4020, 4025, 4030, 4040})) return c.NoObjects() && c.Selection();
  if (id == 4225 || id == 4226)
    return !(doc.ViewMode != vmPrintLayout && GetOptions().Internal.NavObjType == kBrowsePage);
  if (Between(id, 4510, 4511) || id == 4530 || Between(id, 4532, 4536) || id == 4538) return BookmarkRules(c, id);
  if (In(id, {4531, 4537, 4600, 5295, 5300, 5301, 5303}))
    return c.NotRowEndsOnly() && c.NotHeaderFooterEditing() && c.NoObjects();
  if (In(id, {5050, 5051, 5052, 5074})) return c.NotHeaderFooterEditing() && c.NoObjects();
  if (In(id, {5305, 5310, 5315, 5316, 5320})) return IndexEntryRules(c, id);
  if (Between(id, 5350, 5355)) return LockedSelectionRules(c, id);
  if (Between(id, 5810, 5813)) return c.ToolDecides(id, enabled) && enabled;  // collapsible headings
  const bool hyperlink = In(id, {4541, 4545, 4546, 4547, 4550, 4555, 4560, 4561, 4565});
  const bool toc = In(id, {4601, 4620, 4630, 4640, 4645, 4650, 4655});
  const bool note = Between(id, 5057, 5059) || Between(id, 5062, 5064) || Between(id, 5075, 5076) ||
                    Between(id, 5080, 5081) || Between(id, 5085, 5086);
  if (hyperlink || toc || note || Between(id, 5330, 5335)) {
    const TSelectionObjects objects = CollectSelectionObjects(doc);
    if (hyperlink) return HyperlinkRules(c, id, objects);
    if (toc) return TocRules(c, id, objects);
    if (note) return NoteRules(c, id, objects);
    return c.Need(!objects.Indexes.empty(), rcNoIndex);
  }
  return c.NoObjects();
}

}  // namespace qv
