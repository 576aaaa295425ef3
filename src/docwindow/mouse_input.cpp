// The left button and the pointer's moves in the document window. Every handler asks the hit
// test what lies under the point and decides by a fixed order of cases (mouse_gestures.cpp,
// drag_selection.cpp, double_click.cpp); a gesture is a state bit set on the press, acted on by
// the moves and ended by the release, which sends WM_CANCELMODE.
#include <algorithm>
#include <cstdlib>

#include "document/doc.h"
#include "document/selection_flags.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/edit_drags.h"
#include "docwindow/hit_test.h"
#include "docwindow/mouse_gestures.h"
#include "docwindow/view_flags.h"
#include "editing/ops/multi_selection.h"
#include "files/crypt/encryption_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/hotkey_services.h"
#include "layout/paint/line_painter.h"
#include "platform/win/messages.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr uint8_t kToolEasyHand = 1, kToolFormatBrush = 2, kToolMagnifier = 3,
                  kToolHighlight = 4, kToolFontColor = 5, kToolFormatPick = 6;
constexpr int32_t kCmdLeaveMouseTool = 700;
constexpr int32_t kCmdApplyFormatBrush = 15550;
constexpr int32_t kCmdHighlight = 12500;
constexpr int32_t kCmdFontColor = 12520;
constexpr uint8_t kOperationHighlight = 11;
constexpr uint8_t kOperationFontColor = 12;
constexpr int32_t kSoundDoubleClick = 13100;
constexpr int32_t kSoundMouseClick = 13000;
// Edit option: hyperlinks are followed by Ctrl+Click only.
constexpr uint32_t kEditCtrlClickFollows = 0x8000;
// The document flag of typing into a multiple selection.
constexpr int32_t kMultiSelectionTyping = 48;

constexpr uint32_t kEditDragFlags = TDocForm::dfTextDragPending | TDocForm::dfResizingInlinePicture |
                                    TDocForm::dfDraggingTableEdge | TDocForm::dfMovingShapes |
                                    TDocForm::dfResizingShape | TDocForm::dfMovingAnchor |
                                    TDocForm::dfDraggingWrapPoint;

void FeedEntropy(int32_t x, int32_t y) { GetEncryptionManager().AddEntropy(static_cast<uint8_t>(x + y)); }

bool MovedBy(plat::Point a, plat::Point b, int32_t threshold) {
  return std::max(std::abs(a.x - b.x), std::abs(a.y - b.y)) >= threshold;
}

// The common start of a button press, and its end.
void BeginPress(TDoc& doc) {
  if (doc.IsDocFlagSet(kMultiSelectionTyping)) DeactivateOvertypeMulSelection(doc);
  doc.SetScopedFlag(vfDirectInput);
  TDocWindowServices& services = DocWindowServices();
  services.CloseOverflowMenus();
  doc.ResetSearchStart();
  services.EndHoverPreview(doc);
}

void EndPress(TDoc& doc) {
  doc.RestoreScopedFlag();
  doc.View.CentreCaretLine = false;
}

}  // namespace

intptr_t TDocForm::WMLButtonDown(int32_t x, int32_t y, uint32_t keys) {
  FeedEntropy(x, y);
  TDocWindowServices& services = DocWindowServices();
  services.HideTypingPopups();
  const intptr_t result = TCommandForm::WndProc(plat::WM_LBUTTONDOWN, keys, plat::MakeLParam(x, y));
  if (ToolbarCustomizing || !IsReady()) return result;
  TDoc& doc = *doc_;
  BeginPress(doc);
  doc.SetScopedFlag(vfNoScrollIntoView);
  if (Handle() != 0 && plat::GetFocus() != Handle() && CanFocus()) SetFocus();
  doc.RestoreScopedFlag();
  const uint32_t now = plat::GetTickCount();
  const bool triple = Mouse.LastDoubleClickTick != 0 && now - Mouse.LastDoubleClickTick <= plat::GetDoubleClickTime();
  switch (services.MouseMode()) {
    case kToolEasyHand:
      BeginPan(x, y);
      break;
    case kToolMagnifier:
      ZoomStep(x, y, true, static_cast<uint8_t>(keys));
      break;
    case kToolFormatPick: {
      THitTestInfo h;
      HitTest(x, y, h);
      if (h.HasPosition()) {
        TCharFormat format;
        doc.GetCharFormatAtPos(h.Position, format);
        services.AddFormatToPalette(format);
        services.ExecuteCommand(kCmdLeaveMouseTool);
      }
      break;
    }
    default:
      PressWithTool(*this, x, y, keys, triple);
      break;
  }
  EndPress(doc);
  return result;
}

intptr_t TDocForm::WMMouseMove(int32_t x, int32_t y, uint32_t keys) {
  FeedEntropy(x, y);
  const intptr_t result = TCommandForm::WndProc(plat::WM_MOUSEMOVE, keys, plat::MakeLParam(x, y));
  if (ToolbarCustomizing || !IsReady() || HasFlag(dfOleDragRunning)) return result;
  TDoc& doc = *doc_;
  const bool ctrl = (keys & kMkControl) != 0;
  if (HasFlag(dfPanning)) {
    // The grabbed view follows the pointer.
    PanTo(x, y);
    return result;
  }
  constexpr uint32_t kStates = dfSelectingByDrag | dfBlockSelecting | kEditDragFlags;
  THitTestInfo h;
  HitTest(x, y, h);
  const bool textHere = h.HasPosition() && !doc.IsParagraphDimmed(h.Position.Par);
  if (!textHere && (Flags & kEditDragFlags) == 0) {
    if ((Flags & kStates) != 0) CheckAutoScroll(x, y, ctrl);
    return result;
  }
  if (Handle() != 0) {
    const plat::Point screen = plat::ClientToScreen(Handle(), {x, y});
    const int32_t threshold = Scaled(kDragThreshold);
    if (HasFlag(dfCollapseOnRelease) && MovedBy(screen, Mouse.PressPoint, threshold)) Flags &= ~dfCollapseOnRelease;
    if (Mouse.LastDoubleClickTick != 0 && MovedBy(screen, Mouse.LastDoubleClickPoint, threshold))
      Mouse.LastDoubleClickTick = 0;
  }
  if (HasFlag(dfSelectingByDrag)) {
    CheckAutoScroll(x, y, ctrl);
    if (textHere) MoveWhileSelecting(*this, h, keys);
  } else if ((Flags & kEditDragFlags) != 0) {
    EditDragMove(*this, x, y, keys);
  } else if (HasFlag(dfBlockSelecting)) {
    CheckAutoScroll(x, y, ctrl);
    if (textHere && h.Line != nullptr) {
      TBlockSelection block = Mouse.Block;
      block.Corner = h.Position;
      block.CornerX = h.LineX + LineTextX(*h.Line, 0);
      if (!Mouse.BlockValid || !SamePlace(block.Corner, Mouse.Block.Corner) || block.CornerX != Mouse.Block.CornerX)
        ExtendBlockSelection(block);
    }
  }
  // Without a gesture the pointer tools choose the cursor and the hints.
  return result;
}

intptr_t TDocForm::WMLButtonUp(int32_t x, int32_t y, uint32_t keys) {
  FeedEntropy(x, y);
  const intptr_t result = TCommandForm::WndProc(plat::WM_LBUTTONUP, keys, plat::MakeLParam(x, y));
  if (ToolbarCustomizing || !IsReady()) return result;
  TDoc& doc = *doc_;
  TDocWindowServices& services = DocWindowServices();
  THitTestInfo h;
  HitTest(x, y, h);
  const bool selected = (Flags & (dfSelectingByDrag | dfBlockSelecting)) != 0;
  const bool ctrlFollows = (GetOptions().Edit.Flags & kEditCtrlClickFollows) != 0;
  if (IsOnLink(h) && HasFlag(dfLinkPressed) && (!ctrlFollows || (keys & kMkControl) != 0) &&
      Mouse.LinkPressPoint == plat::Point{x, y}) {
    if (IsViewMouseBusy() && Handle() != 0) plat::SendMessage(Handle(), plat::WM_CANCELMODE);
    Flags &= ~dfLinkPressed;
    FollowLinkAt(*this, h);
    return result;
  }
  if (HasFlag(dfCollapseOnRelease)) {
    doc.ClearSelection(0);
    Flags &= ~dfCollapseOnRelease;
  }
  // The editing drags finish with their own state, which cancel mode then ends.
  if ((Flags & kEditDragFlags) != 0) EditDragRelease(*this, x, y, keys);
  if (IsViewMouseBusy() && Handle() != 0) plat::SendMessage(Handle(), plat::WM_CANCELMODE);
  Flags &= ~dfLinkPressed;
  const uint8_t tool = services.MouseMode();
  if (selected && tool == kToolFormatBrush) {
    services.ExecuteCommand(kCmdApplyFormatBrush);
  } else if (selected && (tool == kToolHighlight || tool == kToolFontColor)) {
    doc.OperationNameOverride = tool == kToolHighlight ? kOperationHighlight : kOperationFontColor;
    services.ExecuteCommand(tool == kToolHighlight ? kCmdHighlight : kCmdFontColor);
    const TDocPosition anchor = doc.SelectionAnchor;
    SetCaret(doc, anchor.Par, anchor.Offset, scClearSelection, anchor.Line);
  }
  doc.SnapAnchorToSelection();
  doc.RequestSpotlightCentre();
  if (selected) services.RestartInstancesSearch(doc);
  return result;
}

intptr_t TDocForm::WMLButtonDblClk(int32_t x, int32_t y, uint32_t keys) {
  FeedEntropy(x, y);
  const intptr_t result = TCommandForm::WndProc(plat::WM_LBUTTONDBLCLK, keys, plat::MakeLParam(x, y));
  if (!ToolbarCustomizing && IsReady()) {
    TDocWindowServices& services = DocWindowServices();
    const uint8_t tool = services.MouseMode();
    if (tool == kToolMagnifier) {
      ZoomStep(x, y, true, static_cast<uint8_t>(keys));
    } else if (tool != kToolEasyHand && tool != kToolFormatPick) {
      const bool formatting = tool == kToolFormatBrush || tool == kToolHighlight || tool == kToolFontColor;
      if (!formatting && !services.IsEventDisabled(kSoundMouseClick)) services.PlayEventSound(kSoundDoubleClick);
      DoubleClickCases(*this, x, y, keys);
    }
  }
  Mouse.LastDoubleClickTick = std::max<uint32_t>(plat::GetTickCount(), 1);
  if (Handle() != 0) Mouse.LastDoubleClickPoint = plat::ClientToScreen(Handle(), {x, y});
  return result;
}

}  // namespace qv
