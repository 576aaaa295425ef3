// Inserting footnotes and endnotes, converting them between the two kinds, and keeping the note
// stories in the order of their references.
#include "document/notes.h"

#include <algorithm>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/object_edit_services.h"
#include "document/par.h"
#include "document/styles.h"
#include "document/table_edit_helpers.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

constexpr int32_t kSymbolCharset = 2;

const TCharFormat& ReferenceFormatOf(const TDoc& doc, int32_t story) {
  return story == stEndnotes ? doc.EndnoteMarkFormat : doc.FootnoteMarkFormat;
}

// The font number of a custom mark's face: the symbol set when a registered font of that name
// is a symbol font, else the character set of the mark's language.
int32_t MarkFontNumber(const TInsertNoteOptions& o) {
  TFontManager* fonts = FontManager();
  if (fonts == nullptr) return 0;
  const int32_t known = fonts->FindFont(o.MarkFont);
  const bool symbol = known >= 0 && fonts->RegFonts[static_cast<size_t>(known)].Charset == kSymbolCharset;
  const int32_t charset = symbol ? kSymbolCharset : GetLanguageCharset(o.MarkLanguage, true);
  return std::max(0, fonts->FontIndex(o.MarkFont, charset, false));
}

// The mark's characters: bytes for plain ASCII text, UTF-16 character tags for the rest (and for
// control characters, which as bytes would read as tags or fragment separators).
void AppendMarkChars(TMemory& out, const std::u16string& mark) {
  for (char16_t c : mark) {
    if (c >= 32 && c < 128) {
      const uint8_t b = static_cast<uint8_t>(c);
      out.Append(&b, 1);
    } else {
      AppendContentTag(out, ctWideChar, c);
    }
  }
}

// The note mark as content: the automatic mark, or the custom mark (in its own font when it has
// one). `symbol` receives the SYMBOL field that a custom mark with a font is wrapped in; its marks
// are put in afterwards by field records, so that undo takes them out with the field.
void AppendMark(TDoc& doc, TMemory& out, const TInsertNoteOptions& o, std::unique_ptr<TField>* symbol) {
  if (o.CustomMark.empty()) {
    AppendContentTag(out, ctSpecialChar, scAutoNoteMark);
    return;
  }
  if (o.MarkFont.empty()) {
    AppendMarkChars(out, o.CustomMark);
    return;
  }
  auto field = std::make_unique<TField>();
  field->Kind = fkField;
  field->FieldType = ftSymbol;
  const std::string instruction = BuildSymbolInstruction(o.CustomMark[0], o.MarkFont);
  field->Instruction.assign(instruction.begin(), instruction.end());
  AppendContentTag(out, ctFont, MarkFontNumber(o));
  AppendMarkChars(out, o.CustomMark);
  AppendContentTag(out, ctFont, doc.TypingFormat.Font);
  *symbol = std::move(field);
}

int32_t MarkLength(const TInsertNoteOptions& o) {
  return o.CustomMark.empty() ? 1 : static_cast<int32_t>(o.CustomMark.size());
}

// Puts the marks of a field (and of the SYMBOL field inside it) around the mark at the place.
void MarkAround(TDoc& doc, std::unique_ptr<TField> field, std::unique_ptr<TField> symbol,
                const TDocPosition& at, int32_t length) {
  const TDocPosition end{at.Par, at.Offset + length};
  TField* f = field.get();
  EditServices().InsDelFieldMarks(doc, 0, f, 3, at, FieldSlotLast, end, 0, std::move(field));
  if (symbol) {
    TField* s = symbol.get();
    EditServices().InsDelFieldMarks(doc, 0, s, 3, at, FieldSlotLast, end, 0, std::move(symbol));
  }
}

// The paragraphs of a note text field: first and last index; false when its marks are missing.
bool NoteParagraphs(TDoc& doc, TField* note, int32_t& first, int32_t& last) {
  TDocRange r;
  if (!doc.GetFieldRange(note, r)) return false;
  first = r.Start.Par;
  last = r.End.Par;
  if (r.End.Offset == 0 && last > first) --last;
  return true;
}

TDocPosition ReferencePosition(TDoc& doc, TField* note) {
  TDocRange r;
  if (note->LinkedField == nullptr || !doc.GetFieldRange(note->LinkedField, r)) return {INT32_MAX, 0};
  return r.Start;
}

}  // namespace

namespace {

// The index of the note text style, brought into the document when it has none (from its
// template or the program's defaults, else made afresh); -1 when it cannot be had.
int32_t NoteTextStyle(TDoc& doc, int32_t builtIn) {
  doc.EnsureBuiltInStyle(builtIn);
  int32_t index = doc.Styles->IndexOfBuiltIn(builtIn);
  if (index >= 0 || builtIn < 0 || builtIn >= BuiltInStyleCount) return index;
  auto styles = std::make_unique<TStyleList>(&doc);
  styles->Assign(*doc.Styles);
  TStyle& style = styles->AddNew();
  style.BuiltIn = builtIn;
  style.Name = BuiltInStyleNames[builtIn];
  style.DisplayName = BuiltInStyleDisplayNames[builtIn];
  style.BasedOn = 0;
  ObjectEditServices().InstallStyles(doc, std::move(styles), {});
  return doc.Styles->IndexOfBuiltIn(builtIn);
}

// The part of a selected range that the note replaces: it stays within the cell where it
// starts, short of the cell's end mark (a selection of cells holds whole cells with their ends,
// whose loss would break the rows), and a range from outside a table stops before the table.
TDocRange ReplacedRange(const TDoc& doc, TDocRange range) {
  const int32_t first = range.Start.Par;
  int32_t last = range.End.Par;
  if (range.End.Offset == 0 && last > first) --last;
  last = std::min(last, doc.ParCount() - 1);
  const bool startInTable = tables::InTable(doc, first);
  for (int32_t p = first; p <= last; ++p) {
    const bool stop = startInTable ? tables::LastCode(doc, p) != scParagraphEnd
                                   : p + 1 <= last && tables::InTable(doc, p + 1);
    if (!stop) continue;
    const TDocPosition endMark{p, doc.Par(p)->CharCount() - 1, 0, 0};
    if (ComparePositions(range.End, endMark) > 0) range.End = endMark;
    break;
  }
  return range;
}

}  // namespace

void TDoc::InsertNote(const TInsertNoteOptions& o) {
  const int32_t story = o.Story == stEndnotes ? stEndnotes : stFootnotes;
  TDocPosition at = Caret;
  if (HasSelection()) {
    const TDocRange first = ReplacedRange(*this, *Selection->GetRange(0));
    if (ComparePositions(first.Start, first.End) < 0) EditServices().DeleteContent(*this, first);
    at = first.Start;
  }
  TCharFormat here;
  GetCharFormatAtPos(at, here);

  auto ref = std::make_unique<TField>();
  auto text = std::make_unique<TField>();
  ref->Kind = fkNoteReference;
  text->Kind = fkNoteText;
  if (o.CustomMark.empty()) ref->Flags |= 1;
  text->NoteClass = ref->NoteClass = story == stEndnotes ? 1 : 0;
  ref->LinkedField = text.get();
  text->LinkedField = ref.get();
  TField* noteField = text.get();

  // The reference, in the format of its place with the story's reference format over it; text
  // typed after it has the format of the place again.
  TMemory reference;
  AppendCharFormatTags(reference, here);
  const TCharFormat& refFormat = ReferenceFormatOf(*this, story);
  for (int k = 0; k < 23; ++k)
    if (refFormat[k] != CharUnset) AppendContentTag(reference, static_cast<uint8_t>(k), refFormat[k]);
  std::unique_ptr<TField> symbol;
  AppendMark(*this, reference, o, &symbol);
  AppendCharFormatTags(reference, here);
  UpdateTypingFormat(at, 1);
  SetScopedFlag(135);
  EditServices().InsertContent(*this, reference, at, StoryOfParagraph(at.Par), 0);
  MarkAround(*this, std::move(ref), std::move(symbol), at, MarkLength(o));
  RestoreScopedFlag();
  Fields.push_back(std::move(text));

  const int32_t style = NoteTextStyle(*this, story == stFootnotes ? kFootnoteTextStyle : kEndnoteTextStyle);
  TCharFormat styleFormat = DefaultCharFormat;
  if (const TStyle* s = Styles->Get(style)) GetStyleFormat(*s, &styleFormat, nullptr, 0);

  auto markField = std::make_unique<TField>();
  markField->Kind = fkNoteMark;
  TField* mark = markField.get();
  Fields.push_back(std::move(markField));
  TMemory note;
  AppendContentTag(note, ctFieldStart, TagRefOf(noteField));
  AppendContentTag(note, ctFieldStart, TagRefOf(mark));
  AppendCharFormatTags(note, styleFormat);
  // Inside the note the marks travel with whole paragraphs, so they are written in place.
  std::unique_ptr<TField> noteSymbol;
  TMemory markContent;
  AppendMark(*this, markContent, o, &noteSymbol);
  if (TField* sym = noteSymbol.get()) {
    Fields.push_back(std::move(noteSymbol));
    AppendContentTag(note, ctFieldStart, TagRefOf(sym));
    note.AppendMemory(markContent);
    AppendContentTag(note, ctFieldEnd, TagRefOf(sym));
  } else {
    note.AppendMemory(markContent);
  }
  AppendContentTag(note, ctFieldEnd, TagRefOf(mark));
  AppendCharFormatTags(note, styleFormat);
  const uint8_t blank = ' ';
  note.Append(&blank, 1);
  AppendContentTag(note, ctSpecialChar, scParagraphEnd);
  AppendContentTag(note, ctFieldEnd, TagRefOf(noteField));
  const uint8_t terminator = ParBlockMark1;
  note.Append(&terminator, 1);
  SetScopedFlag(87);
  EditServices().InsertContent(*this, note, {FirstParagraphOfStory(story), 0}, story, 1);
  RestoreScopedFlag();
  InvalidateFieldIndex();
  ReorderNotes();

  TDocRange range;
  if (GetFieldRange(noteField, range)) {
    EditServices().FormatParagraphRange(*this, range, DefaultParFormat);
    if (style >= 0) ObjectEditServices().ApplyStyle(*this, range, style);
    TDocRange marked = range;
    marked.End.Offset = std::max(0, marked.End.Offset - 2);
    if (!IsCharFormatEmpty(refFormat)) ObjectEditServices().FormatCharacters(*this, marked, refFormat);
    const int32_t offset = std::max<int32_t>(1, static_cast<int32_t>(o.CustomMark.size())) + 1;
    Caret = {range.Start.Par, offset};
  }
  TypingFormat = styleFormat;
  ClearSelection();
  TPostActions& post = CurrentPostActions();
  post.Caret = Caret;
  post.HasCaret = true;
  post.ClearSelection = true;
}

void TDoc::ConvertNotes(const std::vector<TField*>& notes) {
  for (size_t i = notes.size(); i-- > 0;) {
    TField* note = notes[i];
    int32_t first = 0, last = 0;
    if (note == nullptr || note->Kind != fkNoteText || !NoteParagraphs(*this, note, first, last)) continue;
    const int32_t from = StoryOfParagraph(first);
    if (from != stFootnotes && from != stEndnotes) continue;
    const int32_t to = from == stFootnotes ? stEndnotes : stFootnotes;
    const int32_t style = NoteTextStyle(*this, to == stFootnotes ? kFootnoteTextStyle : kEndnoteTextStyle);
    if (style >= 0)
      ObjectEditServices().ApplyStyle(*this, {{first, 0}, {last, Par(last)->CharCount()}}, style);
    ObjectEditServices().MoveParagraphs(*this, first, last - first + 1, FirstParagraphOfStory(to), from, to);
  }
  ObjectEditServices().ConvertNotes(*this, notes);
  InvalidateFieldIndex();
  ReorderNotes();
  TDocRange range;
  if (!notes.empty() && notes.front() != nullptr && GetFieldRange(notes.front(), range)) Caret = range.Start;
  ClearSelection();
  TPostActions& post = CurrentPostActions();
  post.Caret = Caret;
  post.HasCaret = true;
  post.ClearSelection = true;
}

void TDoc::ReorderNotes() {
  for (int32_t story : {stFootnotes, stEndnotes}) {
    std::vector<TField*> notes;
    ListNotesOfStory(notes, story);
    std::vector<TField*> wanted = notes;
    std::stable_sort(wanted.begin(), wanted.end(), [this](TField* a, TField* b) {
      return ComparePositions(ReferencePosition(*this, a), ReferencePosition(*this, b)) < 0;
    });
    for (size_t i = 0; i < wanted.size(); ++i) {
      ListNotesOfStory(notes, story);
      if (i >= notes.size() || notes[i] == wanted[i]) continue;
      int32_t first = 0, last = 0, target = 0, unused = 0;
      if (!NoteParagraphs(*this, wanted[i], first, last) || !NoteParagraphs(*this, notes[i], target, unused)) break;
      ObjectEditServices().MoveParagraphs(*this, first, last - first + 1, target, story, story);
      InvalidateFieldIndex();
    }
  }
}

}  // namespace qv
