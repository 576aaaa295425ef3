// The left button's double click (words, rows, tables, paragraphs, list levels, pictures, SYMBOL
// fields, notes, headers and footers) and the hyperlinks a click follows.
#include <string>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_instructions.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_flags.h"
#include "document/shape.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/hit_test.h"
#include "docwindow/mouse_gestures.h"
#include "docwindow/scroll_into_view.h"
#include "foundation/fonts/font_manager.h"
#include "layout/box.h"

namespace qv {

namespace {

constexpr int32_t kCmdPictureFormat = 15000;
constexpr int32_t kCmdHorizontalLineFormat = 15110;
constexpr int32_t kCmdHideShowWhiteSpace = 8110;
constexpr int32_t kCmdPageSettings = 260;
constexpr uint8_t kToolNone = 0;
constexpr uint8_t kSymbolCharset = 2;

TDocRange R(int32_t sp, int32_t so, int32_t ep, int32_t eo) {
  TDocRange r;
  MakeRange(sp, so, ep, eo, r);
  return r;
}

bool InHeaderFooterArea(const TBox* box) {
  for (const TBox* b = box; b != nullptr; b = b->Parent)
    if (b->Area != TBox::AreaNone) return b->Area == TBox::AreaHeaderFooter;
  return false;
}

TField* HeaderFooterFieldOf(const TBox* box) {
  if (box == nullptr || box->Page == nullptr) return nullptr;
  return IsInFooter(box) ? box->Page->FooterField : box->Page->HeaderField;
}

// Goes to a place of a note: the caret there, after the view switched panes to follow links,
// brought into view with the caret line at most half-way down.
void GoToNotePlace(TDoc& doc, const TDocPosition& at) {
  SetCaret(doc, at.Par, at.Offset, scClearSelection, 0);
  ScrollCaretIntoView(doc, 1);
}

bool GoToNote(TDoc& doc, const THitTestInfo& h, bool ctrl) {
  if (ctrl) return false;
  TDocRange r;
  if (h.NoteRefField != nullptr && h.NoteRefField->LinkedField != nullptr &&
      doc.GetFieldRange(h.NoteRefField->LinkedField, r)) {
    GoToNotePlace(doc, r.Start);
    return true;
  }
  if (h.NoteMarkField != nullptr && h.NoteTextField != nullptr && h.NoteTextField->LinkedField != nullptr &&
      doc.GetFieldRange(h.NoteTextField->LinkedField, r)) {
    GoToNotePlace(doc, r.End);
    return true;
  }
  return false;
}

// Double click on a SYMBOL field that lies in no other field: the field is selected and the
// symbol dialog opens at its character.
bool SymbolFieldDoubleClick(TDoc& doc, const THitTestInfo& h) {
  TField* f = h.PlainField;
  if (f == nullptr || f->FieldType != ftSymbol || f->EnclosingAtStart != nullptr) return false;
  TDocRange range;
  if (!doc.GetFieldRange(f, range)) return false;
  std::string font;
  int32_t code = ParseSymbolInstruction(std::string(f->Instruction.begin(), f->Instruction.end()), font);
  TFontManager* fm = FontManager();
  const int32_t family = fm != nullptr && !font.empty() ? fm->FindFamily(font) : -1;
  if (family < 0) font = "Symbol";
  else if (code < 256 && fm->Families[static_cast<size_t>(family)].Charset == kSymbolCharset) code += 0xF000;
  doc.SetSelection(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset);
  DocWindowServices().ShowSymbolDialog(font, code);
  return true;
}

void SelectWord(TDocForm& form, TDoc& doc, const THitTestInfo& h, bool ctrl) {
  const TTextRun word = doc.WordAt(h.Position);
  TDocRange r;
  RangeOfTextRun(word, r);
  const bool leftIsSpace = h.CharLeft.Offset == kNoHitPosition;
  const bool leftInWord = !leftIsSpace && word.Length > 0 && h.CharLeft.Par == r.Start.Par &&
                          h.CharLeft.Offset >= r.Start.Offset && h.CharLeft.Offset < r.End.Offset;
  if (word.Length <= 0 || !(leftIsSpace || leftInWord)) MakeCharRange(h.CharPos.Par, h.CharPos.Offset, r);
  SelectRangeAnchored(doc, r, ctrl);
  form.Mouse.WordDragOrigin = r;
  doc.SelectionAnchor.Line = h.Position.Line;
  form.MoveCaretKeepSelection(r.End);
  StartSelectingDrag(form, kDragWords);
}

void PictureDoubleClick(TDoc& doc, const THitTestInfo& h) {
  TDocRange r;
  MakeCharRange(h.CharPos.Par, h.CharPos.Offset, r);
  const bool selected = doc.Selection->Count() == 1 && SameRange(*doc.Selection->GetRange(0), r);
  if (!selected) doc.SetSelection(r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset);
  const bool rule = h.InlineShape != nullptr && h.InlineShape->IsHorizontalRule();
  DocWindowServices().ExecuteCommand(rule ? kCmdHorizontalLineFormat : kCmdPictureFormat);
}

void TextDoubleClick(TDocForm& form, TDoc& doc, const THitTestInfo& h, bool ctrl, uint8_t tool) {
  const int32_t par = h.Position.Par;
  if (h.OnCellSelectArea) {
    TDocRange row;
    doc.GetRowRange(h.CellBox != nullptr ? h.CellBox->CellRange.Start.Par : par, row);
    SelectRangeAnchored(doc, row, ctrl);
    StartSelectingDrag(form, kDragRows);
    return;
  }
  if (h.OnColumnSelectArea || h.OnRowSelectArea) {
    TDocRange table;
    doc.GetTableRange(h.CellBox != nullptr ? h.CellBox->CellRange.Start.Par : par, table);
    doc.SetScopedFlag(dfSelectTableAsRows);
    SelectRangeAnchored(doc, R(table.Start.Par, 0, table.End.Par, doc.ParLength(table.End.Par)), ctrl);
    doc.RestoreScopedFlag();
    return;
  }
  if (h.InSelectionBar && h.OnCollapseMark) return;  // collapsing headings comes with their view
  if (h.InSelectionBar && h.OnListLabel && tool == kToolNone) {
    form.SelectListParagraphs(h.Position, 2, kUnsetColumn);
    return;
  }
  if (h.InSelectionBar) {
    SelectRangeAnchored(doc, R(par, 0, par, doc.ParLength(par)), ctrl);
    StartSelectingDrag(form, kDragParagraphs);
    return;
  }
  if (h.OnInlineShape) {
    PictureDoubleClick(doc, h);
    return;
  }
  if (!ctrl && SymbolFieldDoubleClick(doc, h)) return;
  if (GoToNote(doc, h, ctrl)) return;
  SelectWord(form, doc, h, ctrl);
}

}  // namespace

void DoubleClickCases(TDocForm& form, int32_t x, int32_t y, uint32_t keys) {
  TDoc& doc = form.Doc();
  TDocWindowServices& services = DocWindowServices();
  const uint8_t tool = services.MouseMode();
  const bool ctrl = (keys & TDocForm::kMkControl) != 0;
  THitTestInfo h;
  form.HitTest(x, y, h);
  if (h.ShapeHandle != 0 || h.FloatingShape != nullptr || h.OnAnchorMark) {
    services.ExecuteCommand(kCmdPictureFormat);
    return;
  }
  if (h.TableBorderKind != 0) return;
  if (h.InsertMarker != 0) return;
  if (h.Box != nullptr && InHeaderFooterArea(h.Box) && doc.HeaderFooterInPlace == nullptr) {
    if (TField* field = HeaderFooterFieldOf(h.Box)) doc.ToggleHeaderFooterEditing(field, h.Box->Page->Index, nullptr);
    return;
  }
  if (h.Box != nullptr && !InHeaderFooterArea(h.Box) && doc.HeaderFooterInPlace != nullptr) {
    THitTestInfo body;
    form.HitTest(x, y, body, BodyAreas);
    if (body.HasPosition()) doc.ToggleHeaderFooterEditing(nullptr, body.PageIndex, &body.Position);
    return;
  }
  if (h.Box == nullptr && doc.ViewMode == vmPrintLayout) {
    services.ExecuteCommand(h.OnPageGap ? kCmdHideShowWhiteSpace : kCmdPageSettings);
    return;
  }
  if (!h.HasPosition()) return;
  TextDoubleClick(form, doc, h, ctrl, tool);
  form.ResetCaretColumn();
}

void FollowLinkAt(TDocForm& form, const THitTestInfo& h) {
  TDoc& doc = form.Doc();
  if (h.HyperlinkField != nullptr) {
    doc.FollowHyperlink(h.HyperlinkField);
    return;
  }
  TField* f = h.PlainField;
  if (f == nullptr) return;
  if (f->FieldType == ftPageRef) {
    doc.GoToBookmark(FirstFieldArgument(f->Instruction), false, f);
    return;
  }
  if (f->FieldType == ftNoteRef) {
    TField* note = f->FindReferencedNote(&doc);
    TDocRange r;
    if (note != nullptr && doc.GetFieldRange(note, r)) GoToNotePlace(doc, r.Start);
  }
}

}  // namespace qv
