#include "docwindow/doc_form.h"

#include <algorithm>
#include <cctype>
#include <exception>
#include <utility>

#include "document/doc.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form_link.h"
#include "docwindow/doc_window_services.h"
#include "docwindow/rulers.h"
#include "docwindow/view_flags.h"
#include "docwindow/view_geometry.h"
#include "docwindow/zoom.h"
#include "editing/operation.h"
#include "editing/undo_stack.h"
#include "files/doc_formats.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/application.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/interface_scale.h"
#include "foundation/ui/message_dlg_service.h"
#include "layout/paint/view_painter.h"
#include "layout/pictures/bitmap_resample.h"
#include "platform/controls/hint_window.h"
#include "platform/controls/scroll_bar.h"
#include "platform/gfx/canvas.h"
#include "platform/win/messages.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// The system's scroll-bar thickness at 96 dots per inch.
constexpr int32_t kSystemScrollBar = 17;
// The optional message that asks to save a modified document on closing.
constexpr uint8_t kSaveChangesMsg = 6;
constexpr int32_t kSoundClosingDocument = 2040;
// Bits of the scroll-bar option and of the full-screen keep mask.
constexpr uint8_t kHorizontalBar = 1, kVerticalBar = 2;
constexpr uint32_t kKeepRulers = 4, kKeepScrollBars = 8;
// The frame height plus the caption-button height by which new windows cascade.
constexpr int32_t kCascadeStep = 4 + 18;

std::string LowerExtension(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = fileName.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::string DisplayName(const TDoc& doc) {
  const size_t slash = doc.FileName.find_last_of('/');
  return slash == std::string::npos ? doc.FileName : doc.FileName.substr(slash + 1);
}

const TViewSettings& ViewSettingsOf(const TDoc& doc) {
  const THolderSettings& s = GetOptionsHolder().Settings;
  return doc.PrintPreview ? s.PreviewView : s.NormalView;
}

// Whether every operation between the save point and the undo position only changed the view
// (locking a selection, fast-navigation marks): then the document holds what was saved.
bool OnlyViewChangesSinceSave(const TDoc& doc) {
  if (doc.SavePoint == INT32_MIN) return false;
  const int32_t from = std::min(doc.SavePoint, doc.UndoPosition);
  const int32_t to = std::max(doc.SavePoint, doc.UndoPosition);
  for (int32_t i = from + 1; i <= to; ++i) {
    const TOperation* op = OperationAt(doc, i);
    if (op == nullptr || !op->IsViewOnly()) return false;
  }
  return true;
}

}  // namespace

int32_t FormatOfFileName(const std::string& fileName) {
  const std::string ext = LowerExtension(fileName);
  if (ext == "rtf") return dfRtf;
  if (ext == "wri") return dfWrite;
  return dfText;
}

int32_t TDocForm::Scaled(int32_t pixels96) { return ScaleByDpi(pixels96); }

std::u16string TDocForm::PendingImeText;

// --- Construction ---

TDocForm::TDocForm() {
  Init();
  AttachOwnDocument(std::make_unique<TDoc>(true));
}

TDocForm::TDocForm(TDoc& doc) : doc_(&doc) { Init(); }

TDocForm::~TDocForm() {
  destroying_ = true;
  RemoveFeedback();
  if (Handle() != 0) Destroy();
  if (link_ != nullptr) link_->Unlink();
  if (ownedDoc_) {
    // The document's editor window is the link to this form; it goes with the document.
    ownedDoc_.reset();
  }
  doc_ = nullptr;
}

void TDocForm::Init() {
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetBorderStyle(plat::BorderStyle::None);
  SetDlgCode(plat::DLGC_WANTALLKEYS | plat::DLGC_WANTARROWS | plat::DLGC_WANTTAB |
             plat::DLGC_WANTCHARS);
  SetBackColor(0x00808080);
  Ruler = &Add<TRuler>();
  Ruler->PopupMenuName = "RULER";
  VerRuler = &Add<TRuler>();
  VerRuler->Vertical = true;
  VerRuler->PopupMenuName = "VRULER";
  VerScrollBar = &Add<plat::ScrollBar>(plat::ScrollBarKind::Vertical);
  VerScrollBar->SetSmallChange(kScrollSmallChange);
  VerScrollBar->SetName("VSCRLBAR");
  VerScrollBar->OnChange = [this](plat::ScrollBar& bar) { ScrollBarChanged(bar); };
  VerScrollBar->OnScroll = [this](plat::ScrollBar&, plat::ScrollCode code, int32_t& pos) {
    if (code == plat::ScrollCode::ThumbTrack) ThumbDrag(pos);
    else if (code == plat::ScrollCode::EndScroll && HasFlag(dfThumbTipShown)) ThumbRelease();
  };
  HorScrollBar = &Add<plat::ScrollBar>(plat::ScrollBarKind::Horizontal);
  HorScrollBar->SetSmallChange(kScrollSmallChange);
  HorScrollBar->SetName("HSCRLBAR");
  HorScrollBar->OnChange = [this](plat::ScrollBar& bar) { ScrollBarChanged(bar); };
  for (plat::ScrollBar* bar : {VerScrollBar, HorScrollBar}) {
    bar->SetTabStop(false);
    bar->SetParams(0, 0, 0);
  }
  // The wheel comes to the window's hook, whatever the routing would do with the bar.
  WheelScrollBar = VerScrollBar;
  OnMouseWheel = [this](plat::Control&, plat::ShiftState shift, int32_t delta, plat::Point) {
    return MouseWheel(shift, delta, {});
  };
  OnClose = [this](plat::Form&, plat::CloseAction& action) {
    action = plat::CloseAction::None;
    FormClose();
  };
  ArrangeControls(ClientRect());
}

void TDocForm::AttachOwnDocument(std::unique_ptr<TDoc> doc) {
  if (link_ != nullptr) link_->Unlink();
  ownedDoc_ = std::move(doc);
  doc_ = ownedDoc_.get();
  auto link = std::make_unique<TDocFormLink>(this);
  link_ = link.get();
  doc_->EditorWindow = std::move(link);
  doc_->Hidden = false;
  doc_->NoWindow = false;
  doc_->SetDocFlag(vfCaretFollows, true);
}

std::unique_ptr<TDocEditorWindow> CreateDocFormWindow(TDoc& doc) {
  auto form = std::make_unique<TDocForm>(doc);
  TDocForm* raw = form.get();
  auto link = std::make_unique<TDocFormLink>(std::move(form));
  raw->link_ = link.get();
  doc.SetDocFlag(vfCaretFollows, true);
  return link;
}

TDocForm* FormOf(const TDoc& doc) {
  auto* link = dynamic_cast<TDocFormLink*>(doc.EditorWindow.get());
  return link != nullptr ? link->Form() : nullptr;
}

// --- Host interface ---

bool TDocForm::OpenFile(const std::string& fileName, std::string& error) {
  TDocOpeningOptions options;
  options.FileName = fileName;
  options.FormatIndex = FormatOfFileName(fileName);
  std::unique_ptr<TDoc> fresh;
  TDoc* target = doc_;
  if (ownedDoc_) {
    // Made without an editor window of its own (this one is its window), but read as a shown
    // document: the open road sets up what a shown document needs (list numbers among them).
    fresh = std::make_unique<TDoc>(true);
    fresh->Hidden = false;
    target = fresh.get();
  }
  try {
    if (DocOpen(*target, options) == 0) {
      error = "The file \"" + fileName + "\" cannot be read.";
      return false;
    }
  } catch (const std::exception& e) {
    // A damaged file keeps what was read before the damage.
    error = e.what();
    if (target->ParCount() == 0) return false;
  }
  target->FileName = fileName;
  // What was read is what the file holds: undoing back to here leaves the document unmodified.
  target->SavePoint = target->UndoPosition;
  target->Modified = 0;
  if (fresh) {
    // The pages the old document had belong to it; the new one is arranged afresh.
    AttachOwnDocument(std::move(fresh));
  }
  // The whole document is laid out once when it is read (a window without the shell's background
  // pagination would otherwise show only the pages that the caret needed).
  doc_->DiscardPages();
  doc_->PaginateAll();
  if (Handle() != 0) {
    ArrangeControls(ClientRect());
    ApplyZoom(*doc_, doc_->ZoomPercent);
    SetCaret(*doc_, 0, 0, scClearSelection, 0);
    RedrawView();
  }
  return true;
}

bool TDocForm::CreateForm(plat::Hwnd parent, const plat::Rect& bounds) {
  hostParent_ = parent;
  SetBounds(bounds);
  Show();
  return Handle() != 0;
}

void TDocForm::FillCreateParams(plat::CreateParams& p) {
  TCommandForm::FillCreateParams(p);
  if (hostParent_ == 0 || Parent() != nullptr) return;
  p.parent = hostParent_;
  p.owner = 0;
  p.style = plat::WS_CHILD | plat::WS_CLIPCHILDREN | plat::WS_CLIPSIBLINGS;
}

void TDocForm::ScrollTo(plat::Point position) {
  if (doc_ == nullptr) return;
  doc_->ScrollTo(position);
}

// --- Window handle ---

void TDocForm::HandleCreated() {
  TCommandForm::HandleCreated();
  CreateWindowHandle();
}

void TDocForm::HandleDestroying() {
  DestroyWindowHandle();
  TCommandForm::HandleDestroying();
}

void TDocForm::CreateWindowHandle() {
  if (GetFormStyle() == plat::FormStyle::MdiChild) PlaceNewWindow();
  if (!IsReady()) return;
  ArrangeControls(ClientRect());
  // The first arrangement: the pages laid out so far, the zoom for the window's size.
  ApplyZoom(*doc_, doc_->ZoomPercent);
  TDocPosition caret = doc_->Caret;
  SetCaret(*doc_, caret.Par, caret.Offset, 0, caret.Line);
}

void TDocForm::DestroyWindowHandle() {
  if (HasFlag(dfAutoScroll)) {
    plat::KillTimer(Handle(), kAutoScrollTimer);
    Flags &= ~dfAutoScroll;
  }
  if (HasFlag(dfCaretShown) || plat::GetCaretInfo().hwnd == Handle()) plat::DestroyCaret();
  Flags &= ~(dfCaretShown | dfCaretPending);
  ThumbDragInfo.TipWindow.reset();
}

void TDocForm::PlaceNewWindow() {
  plat::Size area;
  int32_t windows = 0;
  TDocWindowServices& services = DocWindowServices();
  if (!services.DocumentArea(area, windows)) return;
  plat::Point offset = services.CascadeOffset();
  if (windows <= 1) {
    offset = {0, 0};
  } else {
    offset.x += Scaled(kCascadeStep);
    offset.y += Scaled(kCascadeStep);
  }
  const int32_t minSize = Scaled(kMinClientSize);
  if (offset.x + 2 * minSize >= area.cx || offset.y + 2 * minSize >= area.cy) offset = {0, 0};
  services.SetCascadeOffset(offset);
  SetBounds(plat::Rect{offset.x + 6, offset.y + 6, area.cx - 12, area.cy - 12});
}

bool TDocForm::IsReady() const {
  if (destroying_ || doc_ == nullptr || link_ == nullptr) return false;
  if (doc_->EditorWindow.get() != link_ || link_->Form() != this) return false;
  if (AppExists() && GetApp().Terminated) return false;
  return !DocWindowServices().EmergencySaving();
}

// --- Arrangement ---

bool TDocForm::WantsRulers(bool vertical) const {
  if (ToolbarCustomizing || doc_ == nullptr) return false;
  const TViewSettings& settings = ViewSettingsOf(*doc_);
  if (!(vertical ? settings.VerRuler : settings.Ruler)) return false;
  TDocWindowServices& services = DocWindowServices();
  if (services.FullScreen() && (services.FullScreenKeepMask() & kKeepRulers) == 0) return false;
  return vertical ? doc_->ViewMode == vmPrintLayout : doc_->ViewMode != vmDraftWrapped;
}

bool TDocForm::WantsScrollBar(bool vertical) const {
  if (ToolbarCustomizing || doc_ == nullptr) return false;
  if ((ViewSettingsOf(*doc_).ScrollBars & (vertical ? kVerticalBar : kHorizontalBar)) == 0)
    return false;
  TDocWindowServices& services = DocWindowServices();
  return !services.FullScreen() || (services.FullScreenKeepMask() & kKeepScrollBars) != 0;
}

int32_t TDocForm::ContentWidthPixels() {
  if (doc_->ViewMode != vmPrintLayout) {
    const THorizontalExtent e = CalcHorizontalExtent(*doc_, this);
    return doc_->TwipsToPixelsX(e.SideGap * 18 / 10 + e.Widest);
  }
  return doc_->View.PageExtent.ZoomedPageWidth + 20;
}

void TDocForm::ArrangeControls(const plat::Rect& client) {
  if (doc_ == nullptr) return;
  const bool ruler = WantsRulers(false);
  const bool verRuler = WantsRulers(true);
  bool wantV = WantsScrollBar(true);
  // Fields waiting for their index are indexed now, before anything measures them.
  doc_->FieldIndex();
  PaneRect = client;
  const int32_t barSize = Scaled(kSystemScrollBar);
  const int32_t rulerSize = ScaleUI(TRuler::kThickness);
  Ruler->SetVisible(ruler);
  VerRuler->SetVisible(verRuler);
  // The horizontal bar only when the content is wider than the text area.
  bool wantH = WantsScrollBar(false);
  if (wantH && doc_->ViewMode == vmPrintLayout && doc_->View.ZoomMode != zmFixed) wantH = false;
  if (wantH) {
    HorScrollBar->SetVisible(false);
    VerScrollBar->SetVisible(wantV);
    wantH = ContentWidthPixels() > GetTextArea(client).Width();
  }
  const plat::Rect& pane = PaneRect;
  if (wantH) {
    HorScrollBar->SetBounds(plat::Rect{pane.left, pane.bottom - barSize,
                                       pane.right - (wantV ? barSize : 0), pane.bottom});
  }
  HorScrollBar->SetVisible(wantH);
  wantV = wantV && VerScrollBar->Max() > VerScrollBar->Min();
  if (wantV) {
    VerScrollBar->SetBounds(plat::Rect{pane.right - barSize, pane.top, pane.right,
                                       pane.bottom - (wantH ? barSize : 0)});
  }
  VerScrollBar->SetVisible(wantV);
  if (ruler)
    Ruler->SetBounds(plat::Rect{pane.left, pane.top, pane.right - (wantV ? barSize : 0),
                                pane.top + rulerSize});
  if (verRuler) {
    const int32_t top = pane.top + (ruler ? rulerSize : 0);
    VerRuler->SetBounds(plat::Rect{pane.left, top, pane.left + rulerSize,
                                   std::max(top, pane.bottom - (wantH ? barSize : 0))});
  }
  InactivePaneRect = SplitterRect = plat::Rect{};
  PageArea = GetTextArea(client);
  if (VerScrollBar->PageSize() != PageArea.Height())
    VerScrollBar->SetPageSize(std::max(0, PageArea.Height()));
  if (HorScrollBar->PageSize() != PageArea.Width())
    HorScrollBar->SetPageSize(std::max(0, PageArea.Width()));
}

plat::Rect TDocForm::GetTextArea(const plat::Rect& client) const {
  plat::Rect r = PaneRect.IsEmpty() ? client : PaneRect;
  const int32_t barSize = Scaled(kSystemScrollBar);
  if (VerRuler->Visible()) r.left += VerRuler->Width();
  if (Ruler->Visible()) r.top += Ruler->Height();
  if (VerScrollBar->Visible()) r.right -= barSize;
  if (HorScrollBar->Visible()) r.bottom -= barSize;
  r.right = std::max(r.left, r.right);
  r.bottom = std::max(r.top, r.bottom);
  return r;
}

void TDocForm::RearrangeView() {
  if (!IsReady()) return;
  ArrangeControls(ClientRect());
  doc_->ClearScopedFlag(vfCaretFollows);
  ApplyZoom(*doc_, doc_->ZoomPercent);
  doc_->RestoreScopedFlag();
  UpdateCaret();
}

plat::Point TDocForm::ClientToDoc(plat::Point p) const {
  const plat::Point s = doc_ != nullptr ? doc_->View.ScrollPos : plat::Point{};
  return {p.x + s.x - PageArea.left, p.y + s.y - PageArea.top};
}

plat::Point TDocForm::DocToClient(plat::Point p) const {
  const plat::Point s = doc_ != nullptr ? doc_->View.ScrollPos : plat::Point{};
  return {p.x - s.x + PageArea.left, p.y - s.y + PageArea.top};
}

bool TDocForm::ClipToPageArea(plat::Rect& r) const {
  r = r.Intersect(PageArea);
  return !r.IsEmpty();
}

void TDocForm::SetOffscreenSize(int32_t width, int32_t height) {
  PageArea = plat::Rect{0, 0, std::max(0, width), std::max(0, height)};
}

void TDocForm::UpdateWindowIcon() {
  // The program's windows show the program's icon: the system has no per-file-type shell icons
  // to take one from.
}

void TDocForm::UpdateRulers() {
  TDocWindowServices& services = DocWindowServices();
  if (services.FullScreen() && (services.FullScreenKeepMask() & kKeepRulers) == 0) return;
  if (Ruler->Visible()) Ruler->Invalidate();
  if (VerRuler->Visible()) VerRuler->Invalidate();
}

void TDocForm::RemoveFeedback() {
  if (doc_ != nullptr && HasFlag(dfDropCaretShown)) {
    InvertCaret(*doc_);
    Flags &= ~dfDropCaretShown;
  }
  if (OriginMarkShown) EraseOriginMark();
}

// --- Size, activation, focus ---

void TDocForm::WindowPosChanging(plat::Rect& bounds) {
  const int32_t minSize = Scaled(kMinClientSize);
  bounds.right = bounds.left + std::max(bounds.Width(), minSize);
  bounds.bottom = bounds.top + std::max(bounds.Height(), minSize);
}

void TDocForm::Resize() {
  TCommandForm::Resize();
  if (!IsReady() || inSizeChange_) return;
  ClientSizeChanged(ClientRect());
}

void TDocForm::ClientSizeChanged(const plat::Rect& client) {
  inSizeChange_ = true;
  const bool showing = !plat::IsWindowVisible(Handle());
  if (showing) doc_->ClearScopedFlag(vfCaretFollows);
  ArrangeControls(client);
  CalcCaretPoint(*doc_);
  doc_->SetScopedFlag(vfNoArrangeControls);
  if (doc_->ViewMode == vmDraftWrapped) {
    doc_->View.ExtentValid = false;
    doc_->SetScopedFlag(vfScrollNoPaint);
    doc_->ReformatAllParagraphs();
    doc_->DiscardPages();
    TDocPosition caret = doc_->Caret;
    SetCaret(*doc_, caret.Par, caret.Offset, 0, caret.Line);
    doc_->ArrangePages();
    doc_->RestoreScopedFlags(2);
  } else {
    ApplyZoom(*doc_, doc_->ZoomPercent);
    doc_->RestoreScopedFlag();
  }
  if (showing) doc_->RestoreScopedFlag();
  RedrawView();
  DocWindowServices().RequestInterfaceUpdate();
  inSizeChange_ = false;
}

void TDocForm::MDIActivate(bool activating) {
  TDocWindowServices& services = DocWindowServices();
  if (IsReady()) {
    services.EndHoverPreview(*doc_);
    if (activating) {
      services.DocumentWindowActivated(*doc_);
      services.RequestInterfaceUpdate();
      if (CanFocus()) SetFocus();
      services.RememberViewSettings(*doc_);
      services.MarkWindowListsStale();
      services.RequestInterfaceUpdate();
    }
  }
  services.SetActiveDocument(activating && !destroying_ ? doc_ : nullptr);
}

void TDocForm::SetFocusHandler() {
  if (!IsReady()) return;
  UpdateCaret();
  DocWindowServices().RequestInterfaceUpdate();
}

void TDocForm::KillFocusHandler(plat::Hwnd /*newFocus*/) {
  HideCaret();
  if (plat::GetCaretInfo().hwnd == Handle()) plat::DestroyCaret();
  if (!HasFlag(dfOleDragRunning)) Flags &= ~GestureFlags;
  if (plat::GetCapture() == Handle()) plat::ReleaseCapture();
  RemoveFeedback();
  TDocWindowServices& services = DocWindowServices();
  if (services.WordCompletionPopupShown()) services.HideWordCompletionPopup();
}

// --- Closing ---

bool TDocForm::FormCloseQuery() {
  TDocWindowServices& services = DocWindowServices();
  if (ToolbarCustomizing) return false;
  if (services.PortableDriveRemoving() || doc_ == nullptr) return true;
  // A document asks when what it holds differs from what was saved; operations that only
  // changed the view (locked selections, fast-navigation marks) leave it as saved.
  if (doc_->Modified == 0 || services.IsVadureVavi(*doc_) || OnlyViewChangesSinceSave(*doc_))
    return true;
  services.SetActiveDocument(doc_);
  const std::string text =
      FormatMessageText(OptionalMsgTable[kSaveChangesMsg].Text, {DisplayName(*doc_)});
  switch (ShowOptionalMsg(text, mkConfirmation, kSaveChangesMsg)) {
    case mrYes:
      if (!services.SaveDocument(*doc_)) return false;
      doc_->SavePoint = doc_->UndoPosition;
      doc_->SetModified(0);
      return true;
    case mrNo:
      return true;
    default:
      return false;
  }
}

void TDocForm::FormClose() {
  TDocWindowServices& services = DocWindowServices();
  TDoc* doc = doc_;
  const bool closed = doc != nullptr && services.CloseDocument(*doc);
  // Without the dispatcher the host owns the window: it is hidden and the host frees it.
  if (!closed) Hide();
  services.PlayEventSound(kSoundClosingDocument);
}

bool TDocForm::CloseDocumentWindow() {
  if (!FormCloseQuery()) return false;
  FormClose();
  return true;
}

bool TDocForm::DoIdleWork() {
  if (!IsReady()) return false;
  bool did = false;
  if (RearrangePending) {
    RearrangePending = false;
    RearrangeView();
    did = true;
  }
  TDocView& view = doc_->View;
  if (view.RedrawPending &&
      (view.RedrawTime == 0 || static_cast<int32_t>(plat::GetTickCount() - view.RedrawTime) >= 0)) {
    view.RedrawPending = false;
    RedrawView();
    did = true;
  }
  if (HasFlag(dfCaretPending) && CanShowCaret()) {
    ShowCaret();
    did = true;
  }
  return did;
}

// --- Messages ---

intptr_t TDocForm::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  intptr_t result = 0;
  if (HandleKeyMessage(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case plat::WM_WINDOWPOSCHANGING: {
      auto* pos = reinterpret_cast<plat::WindowPos*>(lParam);
      if (pos != nullptr && (pos->flags & plat::SWP_NOSIZE) == 0 && IsReady()) {
        plat::Rect bounds{pos->x, pos->y, pos->x + pos->cx, pos->y + pos->cy};
        WindowPosChanging(bounds);
        pos->cx = bounds.Width();
        pos->cy = bounds.Height();
      }
      return TCommandForm::WndProc(msg, wParam, lParam);
    }
    case plat::WM_WINDOWPOSCHANGED: {
      const intptr_t r = TCommandForm::WndProc(msg, wParam, lParam);
      if (IsReady()) {
        DocWindowServices().RequestInterfaceUpdate();
        doc_->RequestSpotlightCentre();
      }
      return r;
    }
    case plat::WM_SETFOCUS:
      // The window keeps the focus itself: the form's handling would pass it to a child.
      plat::Control::WndProc(msg, wParam, lParam);
      SetFocusHandler();
      return 0;
    case plat::WM_KILLFOCUS:
      plat::Control::WndProc(msg, wParam, lParam);
      KillFocusHandler(static_cast<plat::Hwnd>(wParam));
      return 0;
    case plat::WM_ERASEBKGND:
      return 1;
    case plat::WM_CANCELMODE:
      WMCancelMode();
      return TCommandForm::WndProc(msg, wParam, lParam);
    case plat::WM_LBUTTONDOWN:
      return WMLButtonDown(plat::GetXParam(lParam), plat::GetYParam(lParam), static_cast<uint32_t>(wParam));
    case plat::WM_MOUSEMOVE:
      return WMMouseMove(plat::GetXParam(lParam), plat::GetYParam(lParam), static_cast<uint32_t>(wParam));
    case plat::WM_LBUTTONUP:
      return WMLButtonUp(plat::GetXParam(lParam), plat::GetYParam(lParam), static_cast<uint32_t>(wParam));
    case plat::WM_LBUTTONDBLCLK:
      return WMLButtonDblClk(plat::GetXParam(lParam), plat::GetYParam(lParam), static_cast<uint32_t>(wParam));
    case plat::WM_TIMER:
      WMTimer(static_cast<uint32_t>(wParam));
      return TCommandForm::WndProc(msg, wParam, lParam);
    case plat::WM_CONTEXTMENU: {
      const intptr_t r = TCommandForm::WndProc(msg, wParam, lParam);
      if (r == 0) WMContextMenu();
      return r;
    }
    default:
      return TCommandForm::WndProc(msg, wParam, lParam);
  }
}

bool TDocForm::HandleKeyMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam,
                                intptr_t& result) {
  const uint8_t key = static_cast<uint8_t>(wParam);
  switch (msg) {
    case plat::CN_KEYDOWN: result = CNKeyDown(key, lParam); return true;
    case plat::WM_KEYDOWN: result = WMKeyDown(key, lParam); return true;
    case plat::WM_KEYUP: result = WMKeyUp(key, lParam); return true;
    case plat::CN_CHAR: result = CNChar(static_cast<char32_t>(wParam), lParam); return true;
    case plat::WM_SYSKEYDOWN: result = WMSysKeyDown(key, lParam); return true;
    case plat::WM_SYSKEYUP: result = WMSysKeyUp(key, lParam); return true;
    case plat::WM_SYSCHAR: result = WMSysChar(static_cast<char32_t>(wParam), lParam); return true;
    case kWmImeChar: result = WMIMEChar(wParam, lParam); return true;
    default: return false;
  }
}

}  // namespace qv
