// Note marks and word boundaries of a paragraph.
#include <vector>

#include "document/content_stream.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field.h"
#include "document/par.h"

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

}  // namespace

bool TPar::SyncNoteMarkText() {
  bool changed = false;
  std::vector<TField*> openNotes;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(Content.Data, Content.Length, off, item); off += item.Size) {
    if (item.ItemType != TStreamItem::siTag || !IsFieldMarkKind(item.Tag.Kind)) continue;
    TField* f = TagObject<TField>(item.Tag.Value);
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
