// Keys pressed in the document window. A key arrives twice over: first reflected (CN_KEYDOWN),
// before the message is dispatched, then, when that left it unhandled, as the window's own
// WM_KEYDOWN. The reflected key is offered in a fixed order: the typing popups, a table's
// row-end mark, the instances of the selected text, selected shapes, table cells, list levels,
// then the hot-key manager (which runs the editing commands: Enter, Backspace, Delete, Tab ...),
// the class layer's routing, the popups' lists, and last the caret-movement keys.
#include <algorithm>
#include <string>
#include <vector>

#include "document/doc.h"
#include "document/par.h"
#include "document/styles.h"
#include "document/table_requests.h"
#include "docwindow/caret.h"
#include "docwindow/caret_movement.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/view_flags.h"
#include "editing/edit_codes.h"
#include "editing/ops/multi_selection.h"
#include "files/crypt/encryption_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/application.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/controls/control.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// Edit action codes the keys run.
constexpr uint8_t kCodeRemoveListFormat = 52;
// Commands.
constexpr int32_t kCmdPromoteListItem = 9340;
constexpr int32_t kCmdDemoteListItem = 9341;
constexpr int32_t kCmdEditWrapPoints = 15088;
constexpr int32_t kCmdLeaveMouseTool = 700;
constexpr int32_t kCmdFullScreen = 7000;
constexpr int32_t kCmdPrintPreview = 290;
// Edit option: Tab and Backspace change list levels.
constexpr uint32_t kEditTabChangesListLevel = 0x400;
// Edit option: Enter selects the highlighted instances of the selected text.
constexpr uint32_t kEditEnterSelectsInstances = 0x40000;
// The cursor table's "DupText".
constexpr int32_t kCursorDupText = 12;
// The document flag of typing into a multiple selection.
constexpr int32_t kMultiSelectionTyping = 48;

bool IsNavigationKey(uint8_t key) { return key >= plat::VK_PRIOR && key <= plat::VK_DOWN; }
bool IsModifierKey(uint8_t key) { return key >= plat::VK_SHIFT && key <= plat::VK_MENU; }

uint8_t KeyShift() { return static_cast<uint8_t>(plat::CurrentShiftState() & 7); }

void DeactivateMultiSelectionTyping(TDoc& doc) {
  if (doc.IsDocFlagSet(kMultiSelectionTyping)) DeactivateOvertypeMulSelection(doc);
}

// Whether the caret paragraph's list formatting may be changed directly: not when its style
// controls it (the user is told how to change the style).
bool ListFormattingAllowed(TDoc& doc) {
  const TStyle* style = doc.Par(doc.Caret.Par)->GetStyle();
  if (style == nullptr || style->ParFmt.List == ParUnset32 || style->ParFmt.List == 0) return true;
  const std::string name = style->DisplayName.empty() ? style->Name : style->DisplayName;
  ShowMessageDlg(FormatMessageText(
                     "The list format of the selected paragraphs is style-controlled. Direct "
                     "formatting cannot be used to override style-controlled list formatting.\r\r"
                     "If you want to change the list formatting characteristics of the selected "
                     "paragraphs, please open the \"Format | Style...\" dialog, select the "
                     "associated \"%s\" style, click \"Modify > List\", and adjust the list "
                     "formatting characteristics of this style to your liking.\r\rWould you like "
                     "to adjust the list formatting characteristics of the \"%s\" style right now?",
                     {name, name}),
                 mkConfirmation, 3);
  return false;
}

}  // namespace

intptr_t TDocForm::CNKeyDown(uint8_t key, intptr_t keyData) {
  TDocWindowServices& services = DocWindowServices();
  if (services.CommandManagerBusy()) return 0;
  const uint8_t shift = KeyShift();
  auto inherited = [&] { return TCommandForm::WndProc(plat::CN_KEYDOWN, key, keyData); };
  if (ToolbarCustomizing) {
    if (key == plat::VK_F1 && services.ContextHelpPending() && services.HotKeyEvent(shift, key, keyData))
      return 1;
    return inherited();
  }
  if (!IsReady()) return inherited();

  // Bookkeeping of every key.
  if (IsNavigationKey(key)) DeactivateMultiSelectionTyping(*doc_);
  if (!IsModifierKey(key)) ++KeyRepeatCount;
  GetEncryptionManager().AddEntropy(key);
  doc_->ResetSearchStart();
  if (!IsModifierKey(key)) services.EndHoverPreview(*doc_);
  const uint32_t now = plat::GetTickCount();
  if (now != LastKeyTick) {
    GetEncryptionManager().AddEntropy(static_cast<uint8_t>(now - LastKeyTick));
    LastKeyTick = now;
  }
  KeyShiftState = shift;
  LastKeyCode = key;

  // The special cases, in order; the first that applies takes the key.
  TDoc& doc = *doc_;
  const bool popupShown = services.ClipNamePopupShown() || services.WordCompletionPopupShown();
  const bool caretInTable = doc.Par(doc.Caret.Par)->Format.InTable == 1;
  if (key == plat::VK_RETURN && popupShown) {
    if (services.ClipNamePopupShown()) services.AcceptClipNamePopup(doc);
    else services.AcceptWordCompletion(doc);
    return 1;
  }
  if (key == plat::VK_RETURN && !doc.HasSelection() && doc.SelectionInOneTable() &&
      doc.IsRowEndPar(doc.Caret.Par)) {
    // A new row after the caret's row: a copy of it goes before the row after it (when the
    // paragraph after the row end lies in the table) or after the table's last row.
    TTableInsertRequest& request = doc.TableInsertRequest;
    request = TTableInsertRequest{};
    request.Kind = TTableInsertRequest::kRow;
    request.Par = doc.Caret.Par;
    request.Row = doc.GetRowProps(doc.Caret.Par);
    const int32_t next = doc.Caret.Par + 1;
    if (next < doc.ParCount() && doc.Par(next)->Format.InTable == 1) request.NextRow = doc.GetRowProps(next);
    doc.ExecuteEdit(ecPerformTableInsertion, nullptr, -1);
    return 1;
  }
  if (key == plat::VK_RETURN && services.InstancesSearchComplete(doc) &&
      (GetOptions().Edit.Flags & kEditEnterSelectsInstances) != 0) {
    services.SelectInstances(doc);
    return 1;
  }
  const bool shapesOnly = !doc.HasSelection() && !doc.SelectedShapes.empty();
  if (key == plat::VK_TAB && (shift & ~plat::ssShift) == 0 && shapesOnly) {
    HandleShapeKey(*this, key, shift);
    return 1;
  }
  if ((key == plat::VK_LEFT || key == plat::VK_UP || key == plat::VK_RIGHT || key == plat::VK_DOWN) &&
      (shift & ~plat::ssShift) == 0 && shapesOnly) {
    // Moving and sizing selected shapes by keys: the first press starts the hold.
    if (ArrowHoldStart == 0) ArrowHoldStart = std::max<uint32_t>(now, 1);
    HandleShapeKey(*this, key, shift);
    return 1;
  }
  if (key == plat::VK_TAB && (shift & ~plat::ssShift) == 0 && caretInTable) {
    if (shift == plat::ssShift) doc.GoToPreviousCell(doc.Caret.Par);
    else doc.ExecuteEdit(ecGoToNextCell, nullptr, -1);
    return 1;
  }
  const bool atParStart = !doc.HasSelection() && doc.Caret.Offset == 0;
  if ((GetOptions().Edit.Flags & kEditTabChangesListLevel) != 0 && atParStart) {
    if (key == plat::VK_BACK && services.IsCommandEnabled(kCmdPromoteListItem)) {
      services.ExecuteCommand(kCmdPromoteListItem);
      return 1;
    }
    if (key == plat::VK_TAB &&
        (services.IsCommandEnabled(kCmdPromoteListItem) || services.IsCommandEnabled(kCmdDemoteListItem))) {
      services.ExecuteCommand(kCmdDemoteListItem);
      return 1;
    }
  }
  if (key == plat::VK_BACK && atParStart) {
    const int32_t list = doc.Par(doc.Caret.Par)->Format.List;
    if (list != ParUnset32 && list != 0) {
      if (ListFormattingAllowed(doc)) doc.ExecuteEdit(kCodeRemoveListFormat, nullptr, -1);
      return 1;
    }
  }
  if (services.HotKeyEvent(shift, key, keyData)) return 1;

  // The class layer's routing, then the popups' lists, then the caret keys.
  intptr_t result = inherited();
  if (result != 0 || !IsReady()) return result;
  if (shift == 0 && popupShown &&
      (key == plat::VK_PRIOR || key == plat::VK_NEXT || key == plat::VK_HOME ||
       key == plat::VK_END || key == plat::VK_UP || key == plat::VK_DOWN) &&
      services.MovePopupHighlight(key))
    return 0;
  if (HandleCaretKey(*this, key, shift, keyData)) result = 1;
  if (key != plat::VK_PRIOR && key != plat::VK_NEXT) Column.PageKeyRect = {};
  Flags &= ~dfShiftNavigating;
  if (IsNavigationKey(key)) services.HideTypingPopups();
  return result;
}

intptr_t TDocForm::WMKeyDown(uint8_t key, intptr_t keyData) {
  TDocWindowServices& services = DocWindowServices();
  if (services.CommandManagerBusy()) return 0;
  if (key < 32 && !IsModifierKey(key)) ++KeyRepeatCount;
  if (key != plat::VK_CONTROL) services.ForgetCtrlRelease();
  const intptr_t result = TCommandForm::WndProc(plat::WM_KEYDOWN, key, keyData);
  if (ToolbarCustomizing || !IsReady()) return result;
  TDoc& doc = *doc_;
  if (key == plat::VK_CONTROL) {
    if (HasFlag(dfTextDragPending) && HasFlag(dfDropCaretShown)) {
      Flags |= dfTextDragCopies;
      if (AppExists()) {
        SetCursorShape(GetApp().GetCursor(kCursorDupText));
        plat::SetCursor(Cursor());
      }
    } else if (doc.IsSingleFragmentSelection() || doc.WrapEditShape != nullptr) {
      services.RefreshCursorLater();
    }
  }
  if (key != plat::VK_ESCAPE) return result;
  if (!HasFlag(dfEscapeTaken)) {
    constexpr uint32_t kMouseBusy = dfSelectingByDrag | dfPanning | dfMiddleButtonPanning |
                                    dfTextDragPending | dfMovingShapes | dfResizingShape |
                                    dfResizingInlinePicture | dfDraggingTableEdge;
    if (doc.WrapEditShape != nullptr) services.ExecuteCommand(kCmdEditWrapPoints);
    else if (services.ClipNamePopupShown()) services.CancelClipNamePopup(doc);
    else if (services.WordCompletionPopupShown()) services.HideWordCompletionPopup();
    else if ((Flags & kMouseBusy) != 0) plat::SendMessage(Handle(), plat::WM_CANCELMODE);
    else if (services.MouseMode() != 0) services.ExecuteCommand(kCmdLeaveMouseTool);
    else if (services.FullScreen()) services.ExecuteCommand(kCmdFullScreen);
    else if (doc.PrintPreview) services.ExecuteCommand(kCmdPrintPreview);
  }
  if (IsReady()) {
    DeactivateMultiSelectionTyping(*doc_);
    UpdateCaretPending();
  }
  Flags &= ~dfEscapeTaken;
  return result;
}

intptr_t TDocForm::WMKeyUp(uint8_t key, intptr_t keyData) {
  TDocWindowServices& services = DocWindowServices();
  if (services.CommandManagerBusy()) return 0;
  KeyRepeatCount = 0;
  ArrowHoldStart = 0;
  if (services.CollectingAltCode()) {
    intptr_t result = 0;
    if (services.HotKeySysKeyUp(key, keyData, result)) return result;
  }
  if (key != plat::VK_CONTROL) services.ForgetCtrlRelease();
  const intptr_t result = TCommandForm::WndProc(plat::WM_KEYUP, key, keyData);
  if (key != plat::VK_CONTROL || ToolbarCustomizing || !IsReady()) return result;
  if (HasFlag(dfTextDragPending) && HasFlag(dfDropCaretShown)) {
    Flags &= ~dfTextDragCopies;
    return result;
  }
  services.RefreshCursorLater();
  services.LoneCtrlReleased();
  return result;
}

intptr_t TDocForm::WMSysKeyDown(uint8_t key, intptr_t keyData) {
  TDocWindowServices& services = DocWindowServices();
  if (services.CommandManagerBusy()) return 0;
  intptr_t result = 0;
  if (services.HotKeySysKeyDown(key, keyData, result)) return result;
  return TCommandForm::WndProc(plat::WM_SYSKEYDOWN, key, keyData);
}

intptr_t TDocForm::WMSysKeyUp(uint8_t key, intptr_t keyData) {
  TDocWindowServices& services = DocWindowServices();
  if (services.CommandManagerBusy()) return 0;
  intptr_t result = 0;
  if (services.HotKeySysKeyUp(key, keyData, result)) return result;
  return TCommandForm::WndProc(plat::WM_SYSKEYUP, key, keyData);
}

intptr_t TDocForm::WMSysChar(char32_t ch, intptr_t keyData) {
  TDocWindowServices& services = DocWindowServices();
  if (services.CommandManagerBusy()) return 0;
  intptr_t result = 0;
  const bool handled = services.HotKeySysChar(ch, keyData, result);
  if (services.EnteringHexCode() || handled) return result;
  return TCommandForm::WndProc(plat::WM_SYSCHAR, ch, keyData);
}

}  // namespace qv
