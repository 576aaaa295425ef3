#include "docwindow/mouse_gestures.h"

#include <algorithm>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_instructions.h"
#include "document/fragment_pool.h"
#include "document/line.h"
#include "document/par.h"
#include "document/selection_flags.h"
#include "document/shape.h"
#include "document/table_row.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/edit_drags.h"
#include "docwindow/hit_test.h"
#include "docwindow/scroll_into_view.h"
#include "docwindow/view_flags.h"
#include "foundation/settings/options_holder.h"
#include "layout/box.h"
#include "layout/paint/line_painter.h"
#include "platform/controls/control.h"
#include "platform/win/messages.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// Mouse tools of the main window.
constexpr uint8_t kToolNone = 0, kToolFormatBrush = 2, kToolHighlight = 4, kToolFontColor = 5;
// Edit option: "Drag && Drop".
constexpr uint32_t kEditDragDrop = 0x1;
constexpr int32_t kSoundMouseClick = 13000;
constexpr int32_t kSoundHyperlinkClick = 10140;
constexpr int32_t kCmdOpenAddress = 202500;
constexpr uint32_t kAllKeys = TDocForm::kMkLeft | TDocForm::kMkRight | TDocForm::kMkShift | TDocForm::kMkControl;

bool IsFormattingTool(uint8_t tool) {
  return tool == kToolFormatBrush || tool == kToolHighlight || tool == kToolFontColor;
}

bool AltDown() { return (plat::CurrentShiftState() & plat::ssAlt) != 0; }

TDocRange MakeR(int32_t startPar, int32_t startOffset, int32_t endPar, int32_t endOffset) {
  TDocRange r;
  MakeRange(startPar, startOffset, endPar, endOffset, r);
  return r;
}

TDocRange ParagraphRange(const TDoc& doc, int32_t par) { return MakeR(par, 0, par, doc.ParLength(par)); }

TDocRange LineRange(const THitTestInfo& h) {
  const TLine& line = *h.Line;
  return MakeR(h.Position.Par, line.FirstChar, h.Position.Par, line.LastChar());
}

TDocRange TableRangeOf(TDoc& doc, int32_t par) {
  TDocRange r;
  doc.GetTableRange(par, r);
  return MakeR(r.Start.Par, 0, r.End.Par, doc.ParLength(r.End.Par));
}

TDocRange CellRangeOf(TDoc& doc, int32_t par) {
  TDocRange r;
  doc.GetCellRange(par, r);
  return MakeR(r.Start.Par, r.Start.Offset, r.End.Par, doc.ParLength(r.End.Par));
}

TDocRange RowRangeOf(TDoc& doc, int32_t par) {
  TDocRange r;
  doc.GetRowRange(par, r);
  return r;
}

// The first paragraph of the cell of a hit's cell box.
int32_t CellParOf(const THitTestInfo& h) {
  return h.CellBox != nullptr ? h.CellBox->CellRange.Start.Par : h.Position.Par;
}

// The cells of the table column under a cell.
TFragmentRef ColumnCells(TDoc& doc, int32_t cellPar) {
  int32_t left = 0, right = 0;
  doc.GetCellHorzBounds(cellPar, left, right);
  TDocRange table;
  doc.GetTableRange(cellPar, table);
  return doc.GetCellsInColumnSpan(table, TableValueUnset, left, right, TableValueUnset);
}

TFragmentRef FragmentOf(const TDocRange& range) {
  TFragmentRef f = AcquireFragment();
  f->SetSingleRange(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset);
  return f;
}

void SelectionFinished(TDocForm& form, TDoc& doc) {
  doc.SelectionAnchor = doc.Selection->GetRange(0)->Start;
  doc.ExpandSelectionToCells();
  doc.SelectionChanged();
  form.RedrawView();
  DocWindowServices().RequestInterfaceUpdate();
}

// A header or footer box (or one inside it) of a page, and the field it shows.
TField* HeaderFooterFieldOf(const THitTestInfo& h) {
  const TBox* box = h.Box;
  bool inArea = false;
  for (const TBox* b = box; b != nullptr; b = b->Parent)
    if (b->Area == TBox::AreaHeaderFooter) inArea = true;
  if (!inArea || box == nullptr || box->Page == nullptr) return nullptr;
  return IsInFooter(box) ? box->Page->FooterField : box->Page->HeaderField;
}

// --- Press: shapes and tables ---

void ChangeShapeSelection(TDocForm& form, TDoc& doc, TShape* shape, int32_t x, int32_t y, uint32_t keys) {
  const bool toggle = (keys & (TDocForm::kMkShift | TDocForm::kMkControl)) != 0;
  auto& shapes = doc.SelectedShapes;
  auto it = std::find(shapes.begin(), shapes.end(), shape);
  bool changed = false;
  if (toggle) {
    if (it == shapes.end()) shapes.push_back(shape);
    else shapes.erase(it);
    changed = true;
  } else if (it == shapes.end()) {
    shapes.assign(1, shape);
    changed = true;
  }
  if (changed) {
    doc.SetScopedFlag(vfKeepSelectedShapes);
    doc.SetScopedFlag(vfNoScrollIntoView);
    doc.SetScopedFlag(dfNoSelectionRepaint);
    if (shape->AnchorPar != nullptr && shape->AnchorPar->Index != doc.Caret.Par)
      SetCaret(doc, shape->AnchorPar->Index, shape->AnchorOffset, 0, 0);
    if ((keys & TDocForm::kMkControl) == 0) doc.ClearSelection();
    DocWindowServices().RequestInterfaceUpdate();
    doc.RestoreScopedFlags(3);
    form.RedrawView();
  }
  if (!shapes.empty()) BeginShapeMove(form, x, y);
}

// The range a press in a table zone chooses: the whole table (a triple click in the cell zone),
// the column's cells, the cell or the row; the drag kind it starts.
TFragmentRef TableZoneRange(TDoc& doc, const THitTestInfo& h, bool triple, uint8_t& kind) {
  const int32_t cell = CellParOf(h);
  if (h.OnColumnSelectArea && !h.OnCellSelectArea) {
    kind = kDragColumns;
    return ColumnCells(doc, cell);
  }
  if (h.OnCellSelectArea && triple) {
    kind = kDragNone;
    return FragmentOf(TableRangeOf(doc, cell));
  }
  if (h.OnCellSelectArea) {
    kind = kDragCells;
    return FragmentOf(CellRangeOf(doc, cell));
  }
  kind = kDragRows;
  return FragmentOf(RowRangeOf(doc, cell));
}

void RememberCell(TDocForm& form, TDoc& doc, const THitTestInfo& h) {
  form.Mouse.CellPar = CellParOf(h);
  doc.GetCellRange(form.Mouse.CellPar, form.Mouse.CellRange);
}

void TableZonePress(TDocForm& form, TDoc& doc, const THitTestInfo& h, bool triple) {
  if ((h.OnColumnSelectArea || h.OnRowSelectArea) && triple) {
    doc.SelectAll();
    doc.SelectionAnchor = doc.Selection->GetRange(0)->Start;
  } else {
    uint8_t kind = form.Mouse.DragKind;
    TFragmentRef f = TableZoneRange(doc, h, triple, kind);
    const bool whole = h.OnCellSelectArea && triple;
    if (whole) doc.SetScopedFlag(dfSelectTableAsRows);
    const TDocRange extent = f->GetExtent();
    if (f->Count() == 1) doc.SetSelection(extent.Start.Par, extent.Start.Offset, extent.End.Par, extent.End.Offset);
    else {
      doc.Selection->Assign(*f);
      doc.SelectionChanged();
    }
    if (whole) doc.RestoreScopedFlag();
    if (kind != kDragNone) form.Mouse.DragKind = kind;
    doc.SelectionAnchor = doc.Selection->GetRange(0)->Start;
  }
  RememberCell(form, doc, h);
  StartSelectingDrag(form, form.Mouse.DragKind);
}

// --- Press: Ctrl cases ---

void CtrlTableZonePress(TDocForm& form, TDoc& doc, const THitTestInfo& h, bool triple) {
  doc.SaveSelectionBase();
  uint8_t kind = form.Mouse.DragKind;
  TFragmentRef f = TableZoneRange(doc, h, triple, kind);
  const bool column = h.OnColumnSelectArea && !h.OnCellSelectArea;
  const bool contained = column ? doc.Selection->ContainsAll(*f) : doc.Selection->IndexOfContaining(f->GetExtent()) >= 0;
  if (contained) {
    doc.SelectionBase->Exclude(*f);
    doc.Selection->Assign(*doc.SelectionBase);
  } else {
    TFragmentRef joined = CloneFragment(*doc.SelectionBase);
    if (!doc.HasSelection()) joined->SetCount(0);
    joined->AppendRanges(*f);
    joined->Normalize();
    doc.Selection->Assign(*joined);
    if (kind != kDragNone) form.Mouse.DragKind = kind;
    RememberCell(form, doc, h);
    StartSelectingDrag(form, form.Mouse.DragKind);
  }
  SelectionFinished(form, doc);
}

void CtrlPress(TDocForm& form, TDoc& doc, const THitTestInfo& h, bool triple) {
  TDocWindowServices& services = DocWindowServices();
  if (h.OnCellSelectArea || h.OnColumnSelectArea || h.OnRowSelectArea) {
    CtrlTableZonePress(form, doc, h, triple);
    return;
  }
  const bool anySelection = doc.HasSelection() || !doc.SelectedShapes.empty();
  if (h.InSelectionBar) {
    if (!anySelection) {
      doc.SelectAll();
      plat::SendMessage(form.Handle(), plat::WM_CANCELMODE);
      return;
    }
    doc.SetScopedFlag(vfKeepSelectedShapes);
    SelectRangeAnchored(doc, LineRange(h), true);
    doc.RestoreScopedFlag();
    MakePosition(h.Position.Par, h.Line->FirstChar, doc.SelectionAnchor);
    StartSelectingDrag(form, kDragLines);
    return;
  }
  if (anySelection) {
    doc.SetScopedFlag(vfKeepSelectedShapes);
    if (h.OnInlineShape) {
      TDocRange r;
      MakeCharRange(h.CharPos.Par, h.CharPos.Offset, r);
      SelectRangeAnchored(doc, r, true);
    } else {
      SetCaretPos(doc, h.Position, 0);
      form.Mouse.CharDragOrigin = h.Position;
      doc.SelectionAnchor = doc.Caret;
      StartSelectingDrag(form, kDragCharacters);
    }
    doc.RestoreScopedFlag();
    return;
  }
  if (h.InWebAddress && h.HyperlinkField == nullptr && h.PlainField == nullptr) {
    SetCaretPos(doc, h.Position, scClearSelection);
    const std::u16string address = doc.GetWideTextRun(h.WebAddress, 0);
    services.PlayEventSound(kSoundHyperlinkClick);
    services.ExecuteCommandWithParam(kCmdOpenAddress, address, nullptr, 0);
    return;
  }
  const TDocRange sentence = doc.SentenceAt(h.Position);
  SelectRangeAnchored(doc, sentence, false);
  StartSelectingDrag(form, kDragSentences);
}

// --- Press: plain cases ---

void PressInsideSelection(TDocForm& form, TDoc& doc, const THitTestInfo& h, uint32_t keys, bool triple,
                          int32_t x, int32_t y) {
  if (triple) {
    SelectRangeAnchored(doc, ParagraphRange(doc, h.Position.Par), false);
    StartSelectingDrag(form, kDragParagraphs);
    return;
  }
  if (h.InlineHandle != 0) {
    BeginInlinePictureResize(form, h);
    return;
  }
  const bool ctrl = (keys & TDocForm::kMkControl) != 0;
  if (ctrl) doc.SetScopedFlag(vfKeepSelectedShapes);
  const bool dragDrop = (GetOptions().Edit.Flags & kEditDragDrop) != 0;
  if (dragDrop || doc.Selection->Count() > 1) {
    form.Flags |= TDocForm::dfTextDragPending;
    if (form.Handle() != 0) form.Mouse.PressPoint = plat::ClientToScreen(form.Handle(), {x, y});
    if (ctrl) form.Flags |= TDocForm::dfTextDragCopies;
    else form.Flags |= TDocForm::dfCollapseOnRelease;
    SetCaretPos(doc, h.Position, 0);
  } else {
    SetCaretPos(doc, h.Position, scClearSelection);
  }
  if (ctrl) doc.RestoreScopedFlag();
  if (form.Handle() != 0) plat::SetCapture(form.Handle());
}

void PressOnText(TDocForm& form, TDoc& doc, const THitTestInfo& h, uint32_t keys, bool triple, int32_t x,
                 int32_t y) {
  if (!doc.HasSelection() && IsOnLink(h)) {
    form.Flags |= TDocForm::dfLinkPressed;
    form.Mouse.LinkPressPoint = {x, y};
  }
  if (h.OverSelection) {
    PressInsideSelection(form, doc, h, keys, triple, x, y);
    return;
  }
  if (h.OnInlineShape) {
    TDocRange r;
    MakeCharRange(h.CharPos.Par, h.CharPos.Offset, r);
    doc.SetSelection(r.Start.Par, r.Start.Offset, r.End.Par, r.End.Offset);
    doc.ScrollTo(CalcScrollToRect(doc, h.InlineShapeRect, 0, false));
    return;
  }
  SetCaretPos(doc, h.Position, scClearSelection);
  doc.SelectionAnchor = doc.Caret;
  form.Mouse.CharDragOrigin = h.Position;
  StartSelectingDrag(form, kDragCharacters);
}

void PlainPress(TDocForm& form, TDoc& doc, const THitTestInfo& h, uint32_t keys, bool triple, int32_t x,
                int32_t y, uint8_t tool) {
  const bool ctrl = (keys & TDocForm::kMkControl) != 0;
  if (ctrl && triple && h.OverSelection) {
    SelectRangeAnchored(doc, ParagraphRange(doc, h.Position.Par), true);
    StartSelectingDrag(form, kDragParagraphs);
    return;
  }
  if ((keys & kAllKeys) == (TDocForm::kMkLeft | TDocForm::kMkShift)) {
    TDocRange story;
    doc.GetCurrentStoryRange(story);
    if (h.Position.Par < story.Start.Par || h.Position.Par > story.End.Par) return;
    if (!doc.HasSelection()) doc.SelectionAnchor = doc.Caret;
    form.ExtendSelectionTo(h.Position, false);
    return;
  }
  if (ctrl && h.OverSelection && h.CellBox != nullptr) {
    doc.SaveSelectionBase();
    TFragmentRef cell = FragmentOf(CellRangeOf(doc, CellParOf(h)));
    doc.SelectionBase->Exclude(*cell);
    doc.Selection->Assign(*doc.SelectionBase);
    doc.ExpandSelectionToCells();
    doc.SelectionChanged();
    form.RedrawView();
    DocWindowServices().RequestInterfaceUpdate();
    doc.SelectionAnchor = doc.HasSelection() ? doc.Selection->GetRange(0)->Start : h.Position;
    return;
  }
  if (!h.InSelectionBar || h.FloatingShape != nullptr) {
    PressOnText(form, doc, h, keys, triple, x, y);
    return;
  }
  if (h.OnCollapseMark) return;  // collapsing headings comes with the collapsed-heading view
  if (!h.OnListLabel || tool != kToolNone) {
    if (triple) {
      doc.SelectAll();
      doc.SelectionAnchor = doc.Selection->GetRange(0)->Start;
      return;
    }
    SelectRangeAnchored(doc, LineRange(h), false);
    MakePosition(h.Position.Par, h.Line->FirstChar, doc.SelectionAnchor);
    StartSelectingDrag(form, kDragLines);
    return;
  }
  const bool inListSelection = doc.IsDocFlagSet(dfWholeParagraphSelection);
  if (ctrl && !triple && inListSelection) {
    form.SelectListParagraphs(h.Position, 1, h.Position.Par);
    return;
  }
  if (inListSelection) doc.ClearSelection();
  form.SelectListParagraphs(h.Position, triple ? 3 : 1, kUnsetColumn);
}

}  // namespace

// --- Shared steps ---

void StartSelectingDrag(TDocForm& form, uint8_t kind) {
  form.Mouse.DragKind = kind;
  form.Flags |= TDocForm::dfSelectingByDrag;
  if (form.Handle() != 0) plat::SetCapture(form.Handle());
}

void SelectRangeAnchored(TDoc& doc, const TDocRange& range, bool add) {
  if (add) doc.SaveSelectionBase();
  doc.SetSelection(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset,
                   add ? TDoc::ssAddToBase : 0);
  doc.SelectionAnchor = range.Start;
}

bool IsOnLink(const THitTestInfo& h) {
  return h.HyperlinkField != nullptr || (h.PlainField != nullptr && h.PlainField->HasLinkSwitch());
}

// --- Press ---

void PressWithTool(TDocForm& form, int32_t x, int32_t y, uint32_t keys, bool triple) {
  TDoc& doc = form.Doc();
  TDocWindowServices& services = DocWindowServices();
  const uint8_t tool = services.MouseMode();
  // Switching to another header or footer handles the press again, once.
  for (int32_t attempt = 0; attempt < 2; ++attempt) {
    THitTestInfo h;
    form.HitTest(x, y, h);
    if (h.WrapPoint >= 0 || h.WrapEdge != 0) {
      BeginWrapPointDrag(form, h, keys);
      return;
    }
    if (h.OnAnchorMark) {
      BeginAnchorMove(form, x, y);
      return;
    }
    if (h.ShapeHandle != 0) {
      BeginShapeResize(form, h);
      return;
    }
    if (h.FloatingShape != nullptr &&
        std::find(doc.ShapesInSelection.begin(), doc.ShapesInSelection.end(), h.FloatingShape) ==
            doc.ShapesInSelection.end()) {
      ChangeShapeSelection(form, doc, h.FloatingShape, x, y, keys);
      return;
    }
    if (h.OnTableMoveHandle || h.OnTableSizeHandle || (h.TableBorderKind != 0 && h.InsertMarker == 0)) {
      BeginTableEdgeDrag(form, h);
      return;
    }
    if (h.InsertMarker != 0) {
      InsertAtTableMarker(form, h);
      return;
    }
    const bool leftAlone = (keys & kAllKeys) == TDocForm::kMkLeft;
    if ((h.OnCellSelectArea || h.OnColumnSelectArea || h.OnRowSelectArea) && leftAlone && !AltDown()) {
      TableZonePress(form, doc, h, triple);
      form.ResetCaretColumn();
      return;
    }
    if (!h.HasPosition()) {
      TField* field = HeaderFooterFieldOf(h);
      if (field == nullptr || doc.HeaderFooterInPlace == nullptr || field == doc.HeaderFooterInPlace) return;
      doc.EditHeaderFooter(field, h.Box->Page->Index);
      continue;
    }
    if (AltDown() && leftAlone && doc.HeaderFooterInPlace == nullptr) {
      SetCaretPos(doc, h.Position, scClearSelection);
      TBlockSelection& block = form.Mouse.Block;
      block = TBlockSelection{};
      block.Anchor = block.Corner = h.Position;
      block.AnchorX = block.CornerX = h.LineX + (h.Line != nullptr ? LineTextX(*h.Line, 0) : 0);
      form.Mouse.BlockValid = false;
      form.Flags |= TDocForm::dfBlockSelecting;
      if (form.Handle() != 0) plat::SetCapture(form.Handle());
      return;
    }
    if (!IsFormattingTool(tool)) services.PlayEventSound(kSoundMouseClick);
    const bool ctrlCase = (keys & kAllKeys) == (TDocForm::kMkLeft | TDocForm::kMkControl) &&
                          !(h.OverSelection && !h.OnCellSelectArea && !h.OnColumnSelectArea && !h.OnRowSelectArea) &&
                          !h.OnListLabel && !IsOnLink(h);
    if (ctrlCase) CtrlPress(form, doc, h, triple);
    else PlainPress(form, doc, h, keys, triple, x, y, tool);
    form.ResetCaretColumn();
    return;
  }
}

}  // namespace qv
