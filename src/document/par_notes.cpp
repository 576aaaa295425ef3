// Note marks and word boundaries of a paragraph.
#include <algorithm>
#include <vector>

#include "document/content_stream.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field.h"
#include "document/line.h"
#include "document/section.h"
#include "document/par.h"

namespace qv {

namespace {

// The note's text field that holds a place of the paragraph: one opened before the place in the
// stream, or else one whose last computed range holds the paragraph.
TField* EnclosingNoteText(const TPar& par, const std::vector<TField*>& openNotes) {
  if (!openNotes.empty()) return openNotes.back();
  if (par.Doc == nullptr) return nullptr;
  for (const auto& f : par.Doc->Fields) {
    if (f->Kind != fkNoteText) continue;
    if (f->Range.Start.Par <= par.Index && par.Index <= f->Range.End.Par) return f.get();
  }
  return nullptr;
}

// The section whose note numbering governs the paragraph: the main-text section holding it, the
// first section for the other stories, the program's defaults without a document.
const TSection& NumberingSection(const TPar& par) {
  static const TSection defaults = [] {
    TSection s(nullptr);
    s.SetDefaults();
    return s;
  }();
  if (par.Doc == nullptr || par.Doc->Sections.empty()) return defaults;
  for (const auto& s : par.Doc->Sections)
    if (s->FirstPar <= par.Index && par.Index <= s->LastPar) return *s;
  return *par.Doc->Sections.front();
}

// The stream offset of a line's start, moved back over the positionless tags before it.
int32_t LineStartOffset(const TPar& par, int32_t lineIndex) {
  int32_t off = 0;
  if (lineIndex > 0 && static_cast<size_t>(lineIndex) < par.Lines.size())
    off = std::min(par.Lines[static_cast<size_t>(lineIndex)]->StreamOffset, par.Content.Length);
  else if (lineIndex > 0 && !par.Lines.empty())
    return par.Content.Length;
  while (TagEndsBefore(par.Content.Data, off) &&
         IsTagAt(par.Content.Data, par.Content.Length, off - ContentTagSize) &&
         IsPositionlessTagKind(par.Content.Data[off - ContentTagSize + 1]))
    off -= ContentTagSize;
  return off;
}

// The note's range is asked of the field index: a range not computed yet (a document just read)
// would name the first paragraph of the main text instead. A note the index does not hold keeps
// the range it was given; either must lie in a note story.
void DropNoteLines(const TPar& par, const TField* note) {
  if (note == nullptr || par.Doc == nullptr) return;
  TDocRange range;
  if (!par.Doc->GetFieldRange(note, range)) range = note->Range;
  const int32_t story = par.Doc->StoryOfParagraph(std::max(range.Start.Par, 0));
  if (story != stFootnotes && story != stEndnotes) return;
  const int32_t last = std::min(range.End.Par, par.Doc->ParCount() - 1);
  for (int32_t i = std::max(range.Start.Par, 0); i <= last; ++i) par.Doc->Par(i)->ReleaseLines(0);
}

}  // namespace

bool TPar::RenumberNoteMarks(int32_t lineIndex, int32_t& footnoteNumber,
                             int32_t& endnoteNumber) {
  bool changed = false;
  TStreamItem item;
  for (int32_t off = LineStartOffset(*this, lineIndex);
       ReadStreamItem(Content.Data, Content.Length, off, item); off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || item.Tag.Kind != ctFieldStart) continue;
    TField* f = FieldOfTag(item.Tag);
    if (f == nullptr || f->Kind != fkNoteReference || (f->Flags & 1) == 0) continue;
    const bool endnote = f->LinkedField != nullptr && f->LinkedField->NoteClass == 1;
    int32_t& number = endnote ? endnoteNumber : footnoteNumber;
    if (f->SetNoteNumber(NumberingSection(*this), number)) {
      DropNoteLines(*this, f->LinkedField);
      changed = true;
    }
    ++number;
  }
  return changed;
}

bool TPar::SyncNoteMarkText() {
  bool changed = false;
  std::vector<TField*> openNotes;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(Content.Data, Content.Length, off, item); off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || !IsFieldMarkKind(item.Tag.Kind)) continue;
    TField* f = FieldOfTag(item.Tag);
    if (f == nullptr) continue;
    if (f->Kind == fkNoteText) {
      if (item.Tag.Kind == ctFieldStart) openNotes.push_back(f);
      else if (!openNotes.empty() && openNotes.back() == f) openNotes.pop_back();
      continue;
    }
    if (f->Kind != fkNoteMark || item.Tag.Kind != ctFieldStart) continue;
    const TField* note = EnclosingNoteText(*this, openNotes);
    const TField* reference = note != nullptr ? note->LinkedField : nullptr;
    if (reference == nullptr || (reference->Flags & 1) == 0 || f->Text == reference->Text) continue;
    f->Text = reference->Text;
    changed = true;
  }
  return changed;
}

bool IsWordDelimiterAt(const TPar& par, uint8_t byte, int32_t charIndex) {
  if (DocServices().IsWordDelimiterByte(byte)) return true;
  TCharFormat format;
  par.GetCharFormatAt(charIndex, format);
  if (format.Language == CharUnset) return false;
  const int32_t primary = format.Language & 0x3FF;
  return (primary == 0x0C || primary == 0x10) &&
         DocServices().IsApostropheLike(byte, format.Language);
}

}  // namespace qv
