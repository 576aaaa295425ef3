#include "shell/main_form.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "commands/command_manager.h"
#include "document/doc.h"
#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/graphics/colour_manager.h"
#include "foundation/graphics/offscreen_bitmap.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/paths.h"
#include "foundation/system/running_instance.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/application.h"
#include "foundation/ui/command_services.h"
#include "foundation/ui/menu_builder.h"
#include "foundation/ui/message_box.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/popup_list.h"
#include "foundation/ui/shared_managers.h"
#include "platform/controls/menu_bar.h"
#include "platform/gfx/canvas.h"
#include "platform/system/instance_channel.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"
#include "shell/activity.h"
#include "shell/clipboard_manager_services.h"
#include "shell/command_bar_services.h"
#include "shell/command_line_parse.h"
#include "shell/control_board_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_window_link.h"
#include "shell/startup_state.h"
#include "shell/status_bar.h"
#include "shell/status_bar_site.h"

namespace qv {

namespace {

TMainForm* theMainForm = nullptr;

constexpr const char16_t* kTitle = u"Quorvane Word Processor";
constexpr uint32_t kSaveScreenshot = plat::WM_USER + 1;

struct TTimerDef {
  uint32_t Id;
  uint32_t Period;
};
// Timer 13 belongs to the document bar, which starts and stops it.
constexpr TTimerDef kTimers[] = {
    {TMainForm::tmPagination, 100},     {TMainForm::tmFontOrder, 15000},
    {TMainForm::tmSpellcheck, 10},      {TMainForm::tmSpellcheckIcon, 300},
    {TMainForm::tmPanning, 1},          {TMainForm::tmControlCallback, 150},
    {TMainForm::tmHousekeeping, 100},
};

// The popup menus of the main window's own bars, made with its menus.
constexpr const char* kBarMenus[] = {"TBAR", "DOCBAR", "STATBAR"};

}  // namespace

TMainForm* GetMainForm() { return theMainForm; }

TMainForm::TMainForm(std::string screenshot) : screenshot_(std::move(screenshot)) {
  theMainForm = this;
  SetCaption(kTitle);
  SetBorderStyle(plat::BorderStyle::Sizeable);
  auto& bar = Add<plat::MenuBar>();
  bar.SetAlign(plat::Align::Top);
  bar.SetMenu(&mainMenu_);
  menuBar_ = &bar;
  statusSite_ = std::make_unique<TMainStatusBarSite>(*this);
  statusBar_ = &Add<TStatusBar>(*statusSite_);
  ClientArea().SetAlign(plat::Align::Client);
  // The main window and its document area (which has the keyboard when no document is open)
  // pass their keys to the hot keys: Ctrl+N and Ctrl+O work without a document.
  HotKeysThrough = true;
  ClientArea().HotKeysThrough = true;
  // Closing the main window ends the program; the shutdown frees the window.
  OnClose = [](plat::Form&, plat::CloseAction& action) {
    action = plat::CloseAction::Hide;
    if (AppExists()) GetApp().Terminate();
  };
  TApp& app = GetApp();
  app.OnIdle = [] {
    if (theMainForm) theMainForm->AppIdle();
  };
  app.OnException = [](void*, const std::exception& e) {
    if (theMainForm)
      theMainForm->AppException(e);
    else
      ShowErrorFmt("Exception:\r%s", e.what());
  };
  app.OnMessage = [](plat::Msg& msg, bool& handled) {
    if (msg.message == WM_INPUTLANGCHANGEREQUEST) {
      // Every document checks its keyboard language again.
      if (TDocDispatcher* d = GetDocDispatcher())
        for (TDoc* doc : d->Documents()) doc->TypingLayout = 0;
    }
    (void)handled;
  };
  LastSafeCopiesTick = plat::GetTickCount();
}

TMainForm::~TMainForm() {
  theMainForm = nullptr;
  if (AppExists()) {
    TApp& app = GetApp();
    app.OnIdle = nullptr;
    app.OnException = nullptr;
    app.OnMessage = nullptr;
    if (app.MainForm == this) app.MainForm = nullptr;
  }
  if (PopupList().Contains(mainMenu_)) PopupList().Remove(mainMenu_);
  for (auto& menu : popupMenus_)
    if (menu && PopupList().Contains(*menu)) PopupList().Remove(*menu);
  MessageQueue().clear();
  // The window's handle goes with the object: the instance channel and the timers go first.
  if (Handle() != 0) {
    WithdrawThisInstance();
    StopTimers();
  }
  Destroy();
}

// ---- Menus

void TMainForm::CreateMenus() {
  LoadMenuResource(mainMenu_, "MAIN");
  GetCommandManager().UpdateMenuCaptions(mainMenu_);
  mainMenu_.OnPopup = [](plat::Menu& m, plat::MenuItem&) {
    GetCommandManager().UpdateMenuState(m);
  };
  PopupList().Add(mainMenu_);
  menuBar_->MenuChanged();
  for (const char* name : kBarMenus) GetPopupMenu(name);
}

plat::PopupMenu* TMainForm::GetPopupMenu(const std::string& name) {
  for (int32_t slot = 1; slot < kMenuSlots; ++slot)
    if (popupMenus_[size_t(slot)] && popupNames_[size_t(slot)] == name)
      return popupMenus_[size_t(slot)].get();
  for (int32_t slot = 1; slot < kMenuSlots; ++slot) {
    if (popupMenus_[size_t(slot)]) continue;
    auto menu = std::make_unique<plat::PopupMenu>();
    LoadMenuResource(*menu, name);
    GetCommandManager().UpdateMenuCaptions(*menu);
    // The items' states are brought up to date each time the menu opens.
    menu->OnPopup = [](plat::Menu& m, plat::MenuItem&) { GetCommandManager().UpdateMenuState(m); };
    PopupList().Add(*menu);
    popupNames_[size_t(slot)] = name;
    popupMenus_[size_t(slot)] = std::move(menu);
    return popupMenus_[size_t(slot)].get();
  }
  return nullptr;
}

void TMainForm::UpdateAllMenuCaptions() {
  GetCommandManager().UpdateMenuCaptions(mainMenu_);
  for (auto& menu : popupMenus_)
    if (menu) GetCommandManager().UpdateMenuCaptions(*menu);
  menuBar_->MenuChanged();
}

void TMainForm::ShowSpellingPopup(std::unique_ptr<plat::PopupMenu> menu, plat::Point at,
                                  const plat::Rect& exclude, bool suggestions) {
  spellingPopup_ = std::move(menu);
  SpellingPopupSuggestions = suggestions;
  if (spellingPopup_) spellingPopup_->Popup(at, plat::TPM_VERTICAL, &exclude);
}

// ---- Captions and placement

void TMainForm::UpdateMainCaption() {
  std::u16string caption = BaseCaption.empty() ? std::u16string(kTitle) : BaseCaption;
  if (ProjectOpen) {
    const std::string project = RemoveFileExt(ExtractFileName(ProjectFileName));
    caption += u" - [Project \"" + InterfaceText(project) + u"\"]";
  }
  SetCaption(caption);
  if (Handle() != 0) plat::RedrawFrame(Handle());
}

void TMainForm::UpdateDocumentCaptions() {
  if (TDocDispatcher* d = GetDocDispatcher())
    for (TDoc* doc : d->Documents())
      if (TDocWindowLink* window = d->WindowOf(doc)) window->SetCaption(d->DocumentCaption(*doc));
  GetCommandManager().Flags |= TCommandManager::cmRecentStale | TCommandManager::cmWindowsStale;
  RequestInterfaceUpdate();
}

plat::Rect TMainForm::BottomPlacement(const plat::Rect& main, plat::Size form, int32_t n,
                                      int32_t statusBarHeight) {
  const int32_t left = main.left + (main.Width() - form.cx) / 2;
  const int32_t bottom = main.bottom - n * statusBarHeight;
  return {left, bottom - form.cy, left + form.cx, bottom};
}

void TMainForm::PlaceFormAtBottom(plat::Control& form, int32_t n) {
  const plat::Rect main = Handle() != 0 ? plat::GetWindowScreenRect(Handle()) : BoundsRect();
  const plat::Rect r = form.BoundsRect();
  form.SetBounds(BottomPlacement(main, {r.Width(), r.Height()}, n, statusBar_->Height()));
}

plat::Rect TMainForm::GetClientArea() { return ClientArea().BoundsRect(); }

void TMainForm::HideFloatingDialogs() { ControlBoardServices().HideFloatingDialogs(); }

std::string TMainForm::FitPathToWidth(const std::string& path) {
  plat::Canvas* canvas = ServiceDC();
  auto measure = [canvas](const std::string& text) {
    return canvas ? canvas->TextExtent(InterfaceText(text)).cx
                  : static_cast<int32_t>(text.size()) * 7;
  };
  return ShortenPathToWidth(path, measure, PathWidth + 50, false);
}

// ---- Status message and progress

void TMainForm::BeginProgress(int64_t maximum, const std::string& text) {
  if (!statusBar_->Visible()) return;
  statusBar_->SetProgressRange(0, maximum);
  statusBar_->SetMessage(TStatusBar::kProgress, InterfaceText(text));
  statusBar_->Repaint();
  ProgressShown = true;
}

void TMainForm::SetProgressPos(int64_t position) {
  if (statusBar_->MessageKind() == TStatusBar::kProgress) statusBar_->SetProgressPos(position);
}

void TMainForm::EndProgress(bool showFullFirst) {
  if (!statusBar_->Visible()) return;
  if (showFullFirst && statusBar_->MessageKind() == TStatusBar::kProgress) {
    statusBar_->SetProgressPos(statusBar_->ProgressMax());
    statusBar_->Repaint();
  }
  statusBar_->SetMessage(TStatusBar::kNoMessage, {});
  statusBar_->Repaint();
  ProgressShown = false;
}

void TMainForm::SaveProgress() {
  const bool shown = statusBar_->MessageKind() == TStatusBar::kProgress;
  savedProgress_ = {shown, statusBar_->ProgressPos(), statusBar_->ProgressMax(),
                    shown ? statusBar_->MessageText() : std::u16string()};
}

void TMainForm::RestoreProgress() {
  if (!savedProgress_.Shown) {
    if (statusBar_->MessageKind() == TStatusBar::kProgress)
      statusBar_->SetMessage(TStatusBar::kNoMessage, {});
    return;
  }
  statusBar_->SetProgressRange(0, savedProgress_.Maximum);
  statusBar_->SetProgressPos(savedProgress_.Position);
  statusBar_->SetMessage(TStatusBar::kProgress, savedProgress_.Text);
}

void TMainForm::SaveStatusMessage() {
  if (statusNesting_++ == 0) savedStatus_ = {statusBar_->MessageKind(), statusBar_->MessageText()};
}

void TMainForm::RestoreStatusMessage() {
  if (statusNesting_ == 0) return;
  if (--statusNesting_ == 0) statusBar_->SetMessage(savedStatus_.Kind, savedStatus_.Text);
}

void TMainForm::SetStatusMessage(const std::string& text) {
  SetStatusMessage(text.empty() ? TStatusBar::kNoMessage : TStatusBar::kMessage, InterfaceText(text));
}

void TMainForm::SetStatusMessage(uint8_t kind, const std::u16string& text) {
  statusBar_->SetMessage(kind == TStatusBar::kNoMessage && !text.empty() ? TStatusBar::kMessage : kind, text);
}

const std::u16string& TMainForm::StatusMessage() const { return statusBar_->MessageText(); }

void TMainForm::UpdateStatusTexts() {
  const bool shown = statusBar_->UpdateStatusTexts();
  if (shown != statusBar_->Visible()) statusBar_->SetVisible(shown);
}

// ---- Cursor

void TMainForm::ShowHourglass() {
  plat::SetCursor(plat::CursorShape::Wait);
  RestoreCursor = true;
}

void TMainForm::SynthesizeMouseMove() {
  SynthesizeMove = false;
  const plat::Point cursor = plat::GetCursorPos();
  const plat::Hwnd under = plat::WindowFromPoint(cursor);
  TDocDispatcher* d = GetDocDispatcher();
  if (d == nullptr || under == 0 || under == Handle()) return;
  for (TDoc* doc : d->Documents()) {
    TDocWindowLink* window = d->WindowOf(doc);
    if (window == nullptr || !plat::IsDescendant(window->Handle(), under)) continue;
    if (!IdleFor(50)) {
      SynthesizeMove = true;  // again at the next idle pass
      return;
    }
    uintptr_t keys = 0;
    if (plat::GetAsyncKeyState(plat::VK_SHIFT) < 0) keys |= plat::MK_SHIFT;
    if (plat::GetAsyncKeyState(plat::VK_CONTROL) < 0) keys |= plat::MK_CONTROL;
    if (plat::GetAsyncKeyState(plat::VK_LBUTTON) < 0) keys |= plat::MK_LBUTTON;
    if (plat::GetAsyncKeyState(plat::VK_RBUTTON) < 0) keys |= plat::MK_RBUTTON;
    const plat::Point p = plat::ScreenToClient(under, cursor);
    plat::SendMessage(under, plat::WM_MOUSEMOVE, keys, plat::MakeLParam(p.x, p.y));
    return;
  }
}

// ---- The window handle

void TMainForm::HandleCreated() {
  MdiFrame::HandleCreated();
  plat::SetProp(Handle(), plat::kInstanceMarker, 1);
  StartTimers();
  // The clipboard-viewer chain: the window system keeps none, so the window starts as its last
  // member; never its own next viewer.
  JoiningClipboardChain = true;
  NextClipboardViewer = 0;
  JoiningClipboardChain = false;
  PublishThisInstance();
}

void TMainForm::HandleDestroying() {
  WithdrawThisInstance();
  StopTimers();
  plat::RemoveProp(Handle(), plat::kInstanceMarker);
  MdiFrame::HandleDestroying();
}

void TMainForm::StartTimers() {
  for (const TTimerDef& t : kTimers) plat::SetTimer(Handle(), t.Id, t.Period);
  timersRunning_ = true;
}

void TMainForm::StopTimers() {
  if (!timersRunning_) return;
  for (const TTimerDef& t : kTimers) plat::KillTimer(Handle(), t.Id);
  plat::KillTimer(Handle(), tmDocBarHover);
  timersRunning_ = false;
}

void TMainForm::Resize() {
  MdiFrame::Resize();
  // The shared off-screen bitmap is always as large as the window, with room to spare.
  if (TServiceBitmap* bitmap = ServiceBitmap(); bitmap && !AppTerminating() && !EmergencyHandling) {
    const plat::Rect r = BoundsRect();
    if (bitmap->Width < r.Width() || bitmap->Height < r.Height())
      bitmap->GrowTo(r.Width() + 32, r.Height() + 32);
  }
  FitDocumentWindows();
  WindowMoved();
}

plat::Rect TMainForm::MonitorOf(const plat::Rect& window, plat::Size screen) {
  if (screen.cx <= 0 || screen.cy <= 0) return {};
  auto floorMultiple = [](int32_t v, int32_t size) {
    return (v >= 0 ? v / size : -((-v + size - 1) / size)) * size;
  };
  const int32_t x = floorMultiple((window.left + window.right) / 2, screen.cx);
  const int32_t y = floorMultiple((window.top + window.bottom) / 2, screen.cy);
  return {x, y, x + screen.cx, y + screen.cy};
}

void TMainForm::WindowMoved() {
  if (Handle() == 0 || !plat::IsWindowSystemStarted()) return;
  const plat::Rect screen = plat::GetScreenRect();
  MonitorRect = MonitorOf(plat::GetWindowScreenRect(Handle()), {screen.Width(), screen.Height()});
}

void TMainForm::FitDocumentWindows() {
  TDocDispatcher* d = GetDocDispatcher();
  if (d == nullptr || ClientArea().Handle() == 0) return;
  const plat::Rect area = ClientArea().ClientRect();
  for (TDoc* doc : d->Documents())
    if (TDocWindowLink* window = d->WindowOf(doc)) window->FitTo(area);
}

void TMainForm::Paint(plat::PaintContext& pc) {
  MdiFrame::Paint(pc);
  if (!screenshot_.empty() && !screenshotPosted_ && !StartingUp) {
    screenshotPosted_ = true;
    plat::PostMessage(Handle(), kSaveScreenshot);
  }
}

void TMainForm::SaveScreenshot() {
  try {
    plat::UpdateWindow(Handle());  // what is still to be painted, children included
    plat::SaveWindowPng(Handle(), screenshot_);
    std::fprintf(stderr, "Quorvane: window image saved to %s\n", screenshot_.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: cannot save the window image: %s\n", e.what());
  }
}

bool TMainForm::FocusActiveDocument() {
  TDocDispatcher* d = GetDocDispatcher();
  TDoc* doc = GetActiveDoc();
  TDocWindowLink* window = d != nullptr && doc != nullptr ? d->WindowOf(doc) : nullptr;
  const plat::Hwnd h = window != nullptr ? window->Handle() : 0;
  if (h == 0 || !plat::IsWindowVisible(h) || !plat::IsWindowEnabled(h)) return false;
  plat::SetFocus(h);
  return plat::GetFocus() == h;
}

// ---- Closing

bool TMainForm::CloseQuery() {
  if (DriveLeaving) return true;
  // Every document window is asked first; one refusal keeps the program open.
  if (TDocDispatcher* d = GetDocDispatcher())
    for (TDoc* doc : d->Documents())
      if (TDocWindowLink* window = d->WindowOf(doc); window && !window->CloseQuery()) return false;
  return FormCloseQuery();
}

bool TMainForm::FormCloseQuery() {
  if (DriveLeaving) return true;
  CloseAccepted = false;
  if (IsSwitchPresent(swShutDown)) return true;
  CloseQueryRunning = true;
  bool accept = !CommandBarServices().Customizing() && ClipboardManagerServices().CloseQuery();
  if (accept) {
    if (FullScreen) GetCommandManager().Execute(7000);
    CloseAccepted = true;
  }
  CloseQueryRunning = false;
  return accept;
}

// ---- Messages

void TMainForm::WMActivateApp(bool active) {
  if (active) {
    CaretWidth = 2;
    GetCommandManager().Flags |= TCommandManager::cmFavouritesStale;
    AppActivated = true;
    RequestInterfaceUpdate();
    CommandBarServices().RegisterGlobalHotKeys({845});
  } else if (!AppTerminating()) {
    CommandBarServices().ClearPendingChord();
    CommandBarServices().UnregisterGlobalHotKeys();
  }
}

void TMainForm::WMHotKey(int32_t id) {
  MarkUserActivity();
  if (id != kEscapeHotKey) {
    GetCommandManager().Execute(id);
    return;
  }
  TCommandManager& commands = GetCommandManager();
  if (commands.Flags & TCommandManager::cmCancellableJob) {
    if (plat::IsAppActive()) commands.Flags |= TCommandManager::cmCancelRequested;
    plat::UnregisterHotKey(Handle(), kEscapeHotKey);
    return;
  }
  const plat::Hwnd capture = plat::GetCapture();
  if (capture != 0) plat::SendMessage(capture, plat::WM_CANCELMODE);
  plat::UnregisterHotKey(Handle(), kEscapeHotKey);
  if (capture == 0) {
    const plat::Hwnd focus = plat::GetFocus();
    if (focus != 0) {
      plat::SendMessage(focus, plat::WM_KEYDOWN, plat::VK_ESCAPE, 1);
      plat::SendMessage(focus, plat::WM_KEYUP, plat::VK_ESCAPE,
                        static_cast<intptr_t>(1u | plat::KF_REPEAT_BIT | plat::KF_UP_BIT));
    }
  }
}

intptr_t TMainForm::WMChangeClipboardChain(plat::Hwnd removed, plat::Hwnd next) {
  if (removed == NextClipboardViewer) {
    // The one after the leaving viewer follows; never the main window itself.
    NextClipboardViewer = next == Handle() ? 0 : next;
    return 0;
  }
  if (NextClipboardViewer != 0)
    plat::SendMessage(NextClipboardViewer, WM_CHANGECBCHAIN, removed,
                      static_cast<intptr_t>(next));
  return 0;
}

void TMainForm::WMDrawClipboard() {
  if (!AppTerminating() && !EmergencyHandling && !JoiningClipboardChain) {
    GetCommandManager().Flags |= TCommandManager::cmClipboardChanged;
    ClipboardChanged = true;
    MarkUserActivity();
    RequestInterfaceUpdate();
  }
  if (NextClipboardViewer != 0) plat::SendMessage(NextClipboardViewer, WM_DRAWCLIPBOARD);
}

void TMainForm::WMStartupDone() {
  StartingUp = false;
  if (IsSwitchPresent(swShutDown)) {
    Close();
    return;
  }
  CommandBarServices().InvalidateBars();
  ControlBoardServices().InvalidateBoards();
  if (!screenshot_.empty() && !screenshotPosted_) {
    screenshotPosted_ = true;
    plat::PostMessage(Handle(), kSaveScreenshot);
  }
  // The first run offers the personalisation wizard (when the command bars bring one).
  if (GetOptions().Internal.RunCount == 0 && !MessagesSuppressed &&
      !IsStandInService<TCommandBarServices>()) {
    std::array<std::string, mbCount>& captions = MsgDlgButtonCaptions;
    const std::string yes = captions[mbYes], no = captions[mbNo];
    captions[mbYes] = "Yes, let's do it right now";
    captions[mbNo] = "No, I will do it later";
    const int32_t answer = ShowMessageDlg(
        "Thanks for installing Quorvane Word Processor.\r\rYou might want to set up Quorvane "
        "right away to suit your own tastes. This will take only a couple of minutes.\r",
        mkConfirmation, ButtonBit(mbYes) | ButtonBit(mbNo));
    captions[mbYes] = yes;
    captions[mbNo] = no;
    if (answer == mrYes)
      CommandBarServices().RunPersonalizeWizard(true);
    else
      ShowInfo(
          "You can always personalize Quorvane to your liking through the \"View\" and "
          "\"Tools\" commands of the main menu at the top of the Quorvane window. You can also "
          "right-click various GUI elements for additional settings.");
  }
}

intptr_t TMainForm::WMQueryEndSession() {
  if (!CloseQuery()) return 0;
  GetOptionsHolder().Save();
  if (TDocDispatcher* d = GetDocDispatcher())
    while (d->Count() > 0) d->CloseDocument(d->Document(d->Count() - 1), true);
  return 1;
}

intptr_t TMainForm::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case plat::WM_ACTIVATEAPP:
      WMActivateApp(wParam != 0);
      break;
    case plat::WM_HOTKEY:
      WMHotKey(static_cast<int32_t>(wParam));
      return 0;
    case plat::WM_TIMER:
      WMTimer(static_cast<uint32_t>(wParam));
      return 0;
    case plat::WM_FONTCHANGE:
      if (FontManager() != nullptr) FontManager()->FontsChanged();
      RequestInterfaceUpdate();
      break;
    case WM_SYSCOLORCHANGE:
      GetColorManager().SchemeChanged();
      if (TServiceBitmap* bitmap = ServiceBitmap()) bitmap->AllocBits();
      return 0;
    case WM_DRAWCLIPBOARD:
      WMDrawClipboard();
      return 0;
    case WM_CHANGECBCHAIN:
      return WMChangeClipboardChain(static_cast<plat::Hwnd>(wParam),
                                    static_cast<plat::Hwnd>(lParam));
    case plat::WM_WINDOWPOSCHANGED:
    case plat::WM_MOVE:
      WindowMoved();
      break;
    case WM_INSTANCEMESSAGE:
      return WMInstanceMessage(static_cast<uint8_t>(wParam & 0xFF), std::string());
    case WM_STARTUPDONE:
      WMStartupDone();
      return 0;
    case kSaveScreenshot:
      SaveScreenshot();
      return 0;
    case plat::WM_QUERYENDSESSION:
      return WMQueryEndSession();
    case plat::WM_SETFOCUS:
      // As the frame of the document windows, the main window hands the keyboard on to the
      // active document's window (back from a message box or dialog, the window activated).
      if (FocusActiveDocument()) return 0;
      break;
    default: {
      // Cut, Copy, Paste and Clear run as the commands of the same names.
      intptr_t result = 0;
      if (CommandService().HandleClipboardMessage(msg, result)) return result;
      break;
    }
  }
  return MdiFrame::WndProc(msg, wParam, lParam);
}

}  // namespace qv
