// The footnote and endnote commands and the index commands of the edit range.
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "commands/command_options.h"
#include "commands/edit_command_parts.h"
#include "commands/file_dialog_services.h"
#include "commands/format_dialog_services.h"
#include "commands/selection_objects.h"
#include "document/compound_fragment.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/notes.h"
#include "document/par.h"
#include "document/section.h"
#include "editing/edit_codes.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr uint8_t kInsertNote = 59, kConvertNotes = 60, kRemoveFields = ecRemoveFields;
constexpr int32_t kFormatDetect = 7;
constexpr int32_t kScrollCentred = 1;

// ---- Notes

TInsertNoteOptions CurrentNoteFormats(const TDoc& doc, uint8_t story) {
  TInsertNoteOptions options;
  options.FootnoteReferenceFormat = doc.FootnoteMarkFormat;
  options.EndnoteReferenceFormat = doc.EndnoteMarkFormat;
  options.Story = story;
  return options;
}

void InsertNote(TDoc& doc, TInsertNoteOptions options) {
  void* args[] = {&options};
  doc.ExecuteEdit(kInsertNote, args, 0);
}

// The footnote dialog: insert (5050) or only the numbering options (5074).
void FootnoteDialog(TEditRun& run) {
  TDoc& doc = *run.Doc;
  TFootnoteChoice choice;
  choice.Mode = run.Id == 5050 ? 0 : 1;
  const TSection* section = doc.SectionOfParagraph(std::max(0, doc.GetFirstSelectedPar()));
  choice.Footnotes = section->Footnotes;
  choice.Endnotes = section->Endnotes;
  choice.Note = CurrentNoteFormats(doc, 1);
  const int32_t answer = FormatDialogServices().ExecuteFootnoteDialog(doc, choice);
  if (answer != 0 && answer != 2) return;
  const uint32_t before = LastSerial(doc);
  doc.FormatSections(choice.ApplyTo, nullptr, nullptr, nullptr, &choice.Footnotes, &choice.Endnotes, 2);
  const bool formatted = LastSerial(doc) != before;
  if (answer != 0) return;
  const uint32_t middle = LastSerial(doc);
  InsertNote(doc, choice.Note);
  if (formatted && LastSerial(doc) != middle) NameLastOperation(doc, 60, true);
}

// A note text's reference, and a reference's note text.
TDocPosition StartOf(TDoc& doc, TField* field) {
  TDocRange range;
  if (field == nullptr || !doc.GetFieldRange(field, range)) return doc.Caret;
  return range.Start;
}

void PlaceCaret(TDoc& doc, const TDocPosition& at, bool scrollNote) {
  doc.ClearSelection();
  doc.Caret = at;
  if (scrollNote) EditCmd().ScrollCaretIntoView(doc, kScrollCentred);
  EditCmd().Redraw(doc);
}

// 5065-5070: the current, previous or next note of the story relative to the caret.
void GoToNote(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const bool endnotes = run.Id == 5066 || run.Id == 5069 || run.Id == 5070;
  const int32_t story = endnotes ? stEndnotes : stFootnotes;
  const bool inNotes = doc.StoryOfParagraph(doc.Caret.Par) == story;
  std::vector<TField*> notes;  // note texts in reference order
  doc.ListNotesOfStory(notes, story);
  if (notes.empty()) return;
  // The note the caret stands in or after.
  int32_t current = -1;
  for (size_t i = 0; i < notes.size(); ++i) {
    const TDocPosition at = inNotes ? StartOf(doc, notes[i]) : StartOf(doc, notes[i]->LinkedField);
    if (ComparePositions(at, doc.Caret) <= 0) current = static_cast<int32_t>(i);
  }
  int32_t target = current;
  if (run.Id == 5067 || run.Id == 5069) target = current - 1;
  if (run.Id == 5068 || run.Id == 5070) target = current + 1;
  if (run.Id == 5065 || run.Id == 5066) target = std::max(current, 0);
  if (target < 0 || target >= static_cast<int32_t>(notes.size())) return;
  TField* note = notes[static_cast<size_t>(target)];
  const bool toReference = (run.Id == 5065 || run.Id == 5066) ? inNotes : !inNotes;
  if (toReference) PlaceCaret(doc, StartOf(doc, note->LinkedField), false);
  else PlaceCaret(doc, StartOf(doc, note), true);
}

// 5075, 5076: between a note and its reference.
void SwitchNoteAndReference(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const TSelectionObjects objects = CollectSelectionObjects(doc);
  const std::vector<TField*>& list = run.Id == 5075 ? objects.Footnotes : objects.Endnotes;
  if (list.size() != 1) return;
  EditCmd().SwitchPaneToFollowLink(doc);
  TField* reference = list.front();
  const int32_t story = doc.StoryOfParagraph(doc.Caret.Par);
  if (story == stFootnotes || story == stEndnotes) PlaceCaret(doc, StartOf(doc, reference), false);
  else PlaceCaret(doc, StartOf(doc, NoteTextOf(*reference)), true);
}

// 5062-5064, 5080, 5081, 5085, 5086: the notes of the story selected (their references or
// texts); the delete commands then delete them.
void SelectNotes(TEditRun& run) {
  TDoc& doc = *run.Doc;
  const int32_t id = run.Id;
  const TSelectionObjects objects = CollectSelectionObjects(doc);
  std::vector<TField*> references;
  const bool endnotes = id == 5064 || id == 5081 || id == 5086;
  if (id == 5062 || !endnotes) references.insert(references.end(), objects.Footnotes.begin(), objects.Footnotes.end());
  if (id == 5062 || endnotes) references.insert(references.end(), objects.Endnotes.begin(), objects.Endnotes.end());
  if (references.empty()) return;
  const bool texts = id == 5085 || id == 5086;
  doc.Selection->Clear();
  for (TField* reference : references) {
    TDocRange range;
    TField* field = texts ? NoteTextOf(*reference) : reference;
    if (field != nullptr && doc.GetFieldRange(field, range)) doc.Selection->InsertRange(doc.Selection->Count(), range);
  }
  doc.NormalizeFragments(*doc.Selection);
  if (doc.Selection->Count() > 0) doc.Caret = doc.Selection->GetRange(0)->Start;
  doc.SelectionChanged();
  if (id >= 5062 && id <= 5064) {
    TDocRange range = FirstRangeOrCaret(doc);
    int32_t count = 0, flags = 0;
    void* args[] = {doc.Selection.get(), &range, &count, &flags};
    doc.ExecuteEdit(ecDeleteText, args, 3);
  }
  EditCmd().Redraw(doc);
}

bool RunNote(TEditRun& run) {
  const int32_t id = run.Id;
  TDoc& doc = *run.Doc;
  switch (id) {
    case 5050: case 5074: FootnoteDialog(run); return true;
    case 5051:
    case 5052: {
      const int32_t story = doc.StoryOfParagraph(doc.Caret.Par);
      if (story == stFootnotes || story == stEndnotes) {
        // Inside the notes: the caret goes to the end of the note's reference.
        TField* note = doc.GetFieldAt(doc.Caret, nullptr, {}, 255, fkNoteText);
        TDocRange range;
        if (note != nullptr && note->LinkedField != nullptr && doc.GetFieldRange(note->LinkedField, range))
          PlaceCaret(doc, range.End, false);
        return true;
      }
      InsertNote(doc, CurrentNoteFormats(doc, id == 5051 ? 1 : 2));
      return true;
    }
    case 5057: case 5058: case 5059: {
      const TSelectionObjects objects = CollectSelectionObjects(doc);
      std::vector<TField*> notes = objects.Footnotes;
      notes.insert(notes.end(), objects.Endnotes.begin(), objects.Endnotes.end());
      void* args[] = {&notes};
      doc.ExecuteEdit(kConvertNotes, args, 0);
      return true;
    }
    case 5075: case 5076: SwitchNoteAndReference(run); return true;
    default: break;
  }
  if (id >= 5065 && id <= 5070) GoToNote(run);
  else SelectNotes(run);
  return true;
}

// ---- The index

std::u16string Trimmed(const std::u16string& text) {
  const size_t first = text.find_first_not_of(u" \t");
  if (first == std::u16string::npos) return {};
  return text.substr(first, text.find_last_not_of(u" \t") - first + 1);
}

std::u16string QuotedArgument(const std::u16string& text) {
  std::u16string out = u"\"";
  for (char16_t c : text) {
    if (c == u'"' || c == u'\\') out += u'\\';
    out += c;
  }
  return out + u"\"";
}

int32_t IndexEntryCount(TDoc& doc) { return static_cast<int32_t>(doc.GetIndexEntryFields().size()); }

void ReportNewEntries(int32_t count) {
  ShowInfo(FormatMessageText("New entries added: %s", {std::to_string(count)}));
}

// The index dialog on the instruction, then the index built from it.
void BuildIndex(TDoc& doc, std::u16string instruction, bool ask, bool keepAsLast) {
  if (ask && !FormatDialogServices().ExecuteIndexDialog(instruction)) return;
  void* args[] = {&instruction};
  doc.ExecuteEdit(ecBuildIndex, args, 0);
  if (keepAsLast) GetOptions().Internal.INDEX_Instr = instruction;
}

// 5295: a document with an index asks whether to modify it or make another.
void IndexCommand(TDoc& doc) {
  const TSelectionObjects objects = CollectSelectionObjects(doc);
  if (objects.Indexes.empty()) {
    std::vector<TField*> all;
    for (const auto& f : doc.Fields)
      if (f->Kind == fkField && f->FieldType == kIndexFieldType) all.push_back(f.get());
    if (!all.empty()) {
      const TDocPosition caret = doc.Caret;
      TDocRange range;
      if (doc.GetFieldRange(all.front(), range)) {
        SelectRange(doc, range);
        EditCmd().ScrollCaretIntoView(doc, kScrollCentred);
      }
      const int32_t answer = ShowMessageDlg(
          "This document already contains an index.\r\rClick \"Yes\" to modify the selected index.\r\rClick \"No\" "
          "to create a new index.",
          mkConfirmation, ButtonBit(mbYes) | ButtonBit(mbNo) | ButtonBit(mbCancel));
      if (answer == mrCancel) return;
      if (answer == mrYes) {
        BuildIndex(doc, all.front()->Instruction, true, false);
        return;
      }
      doc.ClearSelection();
      doc.Caret = caret;
    }
    BuildIndex(doc, GetOptions().Internal.INDEX_Instr, true, true);
    return;
  }
  BuildIndex(doc, objects.Indexes.front()->Instruction, true, false);
}

// 5300: a new index entry for the selected text or the word at the caret.
void NewIndexEntry(TDoc& doc) {
  std::u16string text;
  if (doc.IsSingleFragmentSelection() && doc.Selection->GetRange(0)->Start.Par == doc.Selection->GetRange(0)->End.Par) {
    text = doc.GetRangeWideText(*doc.Selection->GetRange(0), 0);
  } else {
    const TTextRun word = doc.WordAt(doc.Caret);
    TDocRange range;
    MakeRange(word.Position.Par, word.Position.Offset, word.Position.Par, word.Position.Offset + word.Length, range);
    text = doc.GetRangeWideText(range, 0);
  }
  text = Trimmed(text);
  std::u16string instruction = u"XE " + QuotedArgument(text);
  const int32_t answer = FormatDialogServices().ExecuteXEDialog(instruction);
  if (answer == 1) {
    void* args[] = {&instruction};
    doc.ExecuteEdit(ecInsertIndexEntry, args, 0);
    const std::vector<TField*> entries = doc.GetIndexEntryFields();
    for (TField* f : entries)
      if (f->Instruction == instruction) EditCmd().SetCurrentIndexEntry(f);
  } else if (answer == 8) {
    const int32_t before = IndexEntryCount(doc);
    std::vector<std::u16string> words{text}, instructions{instruction};
    void* args[] = {&words, &instructions};
    doc.ExecuteEdit(ecMarkAllIndexEntries, args, 1);
    ReportNewEntries(IndexEntryCount(doc) - before);
  }
}

// The first table of the document whose rows have two cells: its rows' two texts.
std::vector<std::pair<std::u16string, std::u16string>> TwoColumnRows(TDoc& source) {
  std::vector<std::pair<std::u16string, std::u16string>> rows;
  for (int32_t p = 0; p < source.ParCount(); ++p) {
    if (source.Par(p)->Format.InTable != 1) continue;
    std::vector<TTableRow*> tableRows;
    TDocRange table;
    source.GetTableRows(p, tableRows, table);
    const bool twoCells = !tableRows.empty() &&
                          std::all_of(tableRows.begin(), tableRows.end(), [](const TTableRow* r) { return r->CellCount == 2; });
    if (twoCells) {
      for (int32_t q = table.Start.Par; q <= table.End.Par; ++q) {
        if (source.GetCellIndex(q) != 0 || source.IsRowEndPar(q)) continue;
        TDocRange left, right;
        source.GetCellRange(q, left);
        source.GetNthCellRange(q, 1, right);
        rows.emplace_back(Trimmed(source.GetRangeWideText(left, 0)), Trimmed(source.GetRangeWideText(right, 0)));
      }
      return rows;
    }
    p = std::max(p, table.End.Par);
  }
  return rows;
}

// 5303: the words of a concordance document's two-column table marked as index entries.
void AutoMarkIndex(TDoc& doc) {
  TFileDialogRequest dialog;
  dialog.Title = "Open Concordance File";
  dialog.Filter = DocumentFilter();
  dialog.FilterIndex = 8;
  if (!FileDialogServices().RunFileDialog(dialog) || dialog.Files.empty()) return;
  const std::string& path = dialog.Files.front();
  TDoc* source = nullptr;
  for (TDoc* open : CommandEnvironment().OpenDocuments())
    if (open->FileName == path) source = open;
  std::unique_ptr<TDoc> hidden;
  if (source == nullptr) {
    hidden = std::make_unique<TDoc>(true);
    TDocOpeningOptions options;
    options.FileName = path;
    options.FormatIndex = kFormatDetect;
    if (DocOpen(*hidden, options) == 0) return;  // the open road has reported why
    source = hidden.get();
  }
  std::vector<std::u16string> words, instructions;
  std::set<std::u16string> seen;
  for (const auto& [left, right] : TwoColumnRows(*source)) {
    if (left.empty() || right.empty() || !seen.insert(left).second) continue;
    words.push_back(left);
    instructions.push_back(u"XE " + QuotedArgument(right));
  }
  if (words.empty()) {
    const size_t slash = path.find_last_of('/');
    ShowInfo(FormatMessageText("The \"%s\" document doesn't contain a two-column table.",
                               {slash == std::string::npos ? path : path.substr(slash + 1)}));
    return;
  }
  const int32_t before = IndexEntryCount(doc);
  void* args[] = {&words, &instructions};
  doc.ExecuteEdit(ecMarkAllIndexEntries, args, 1);
  ReportNewEntries(IndexEntryCount(doc) - before);
}

void SelectIndexFields(TEditRun& run, const std::vector<TField*>& indexes) {
  TDoc& doc = *run.Doc;
  if (indexes.empty()) return;
  if (run.Id == 5334) {
    std::vector<TField*> list = indexes;
    void* args[] = {&list};
    doc.ExecuteEdit(kRemoveFields, args, 0);
    return;
  }
  doc.Selection->Clear();
  for (TField* f : indexes) {
    TDocRange range;
    if (doc.GetFieldRange(f, range)) doc.Selection->InsertRange(doc.Selection->Count(), range);
  }
  doc.NormalizeFragments(*doc.Selection);
  if (doc.Selection->Count() > 0) doc.Caret = doc.Selection->GetRange(0)->Start;
  doc.SelectionChanged();
  if (run.Id == 5333) {
    EditCmd().SetCopyFieldList(indexes);
    run.Manager.Execute(3340);
    EditCmd().SetCopyFieldList({});
  }
  EditCmd().Redraw(doc);
}

bool RunIndex(TEditRun& run) {
  TDoc& doc = *run.Doc;
  switch (run.Id) {
    case 5295: IndexCommand(doc); return true;
    case 5300: case 5301: NewIndexEntry(doc); return true;
    case 5303: AutoMarkIndex(doc); return true;
    case 5305: case 5310: case 5320: EditCmd().RunToolCommand(run.Id); return true;
    default: break;
  }
  const TSelectionObjects objects = CollectSelectionObjects(doc);
  if (objects.Indexes.empty()) return true;
  if (run.Id == 5330) BuildIndex(doc, objects.Indexes.front()->Instruction, true, false);
  else if (run.Id == 5331) BuildIndex(doc, objects.Indexes.front()->Instruction, false, false);
  else SelectIndexFields(run, objects.Indexes);
  return true;
}

}  // namespace

bool RunNoteCommand(TEditRun& run) {
  const int32_t id = run.Id;
  const bool note = (id >= 5050 && id <= 5052) || (id >= 5057 && id <= 5059) || (id >= 5062 && id <= 5070) ||
                    (id >= 5074 && id <= 5076) || id == 5080 || id == 5081 || id == 5085 || id == 5086;
  const bool index = id == 5295 || (id >= 5300 && id <= 5303) || id == 5305 || id == 5310 || id == 5320 ||
                     (id >= 5330 && id <= 5335);
  if (!note && !index) return false;
  if (run.Doc == nullptr) return true;
  if (id == 5335) {  // Delete index: handled with the other field deletions
    return false;
  }
  return note ? RunNote(run) : RunIndex(run);
}

}  // namespace qv
