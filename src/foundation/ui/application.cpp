#include "foundation/ui/application.h"

#include <algorithm>
#include <typeinfo>

#include "foundation/text/code_pages.h"
#include "foundation/base/exceptions.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/key_routing.h"
#include "foundation/ui/message_box.h"
#include "foundation/settings/options_holder.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"

namespace qv {

plat::Msg LastWideCharMessage;

namespace {

constexpr uint32_t SC_MINIMIZE = 0xF020, SC_RESTORE = 0xF120;
constexpr uint32_t WM_CTLCOLORMSGBOX = 0x132, WM_CTLCOLORSTATIC = 0x138;
constexpr int32_t kCursorHeight = 32;  // the system's cursor height, for placing hints below it

std::unique_ptr<TApp>& AppSlot() {
  static std::unique_ptr<TApp> app;
  return app;
}

// The cursor table: a system shape, or the name of one of the program's own cursors.
struct CursorEntry {
  plat::CursorShape shape;
  const char* name;
};
constexpr plat::CursorShape kNamed = plat::CursorShape::Hidden;
const CursorEntry kCursors[64] = {
    {kNamed, ""}, {plat::CursorShape::Arrow, nullptr}, {plat::CursorShape::SizeNESW, nullptr},
    {plat::CursorShape::SizeNS, nullptr}, {plat::CursorShape::SizeNWSE, nullptr},
    {plat::CursorShape::SizeWE, nullptr}, {plat::CursorShape::Wait, nullptr},
    {plat::CursorShape::No, nullptr}, {kNamed, "DragText"}, {plat::CursorShape::IBeam, nullptr},
    {kNamed, "ItCar"}, {kNamed, "SelLine"}, {kNamed, "DupText"}, {kNamed, "FBrNormCar"},
    {kNamed, "FBrItCar"}, {kNamed, "FBrNormArr"}, {kNamed, "FBrSelLine"}, {kNamed, "Hand"},
    {kNamed, "Fist"}, {kNamed, "MagnGlass"}, {plat::CursorShape::Hand, nullptr},
    {kNamed, "HltNormCar"}, {kNamed, "HltItCar"}, {kNamed, "HltNormArr"}, {kNamed, "HltSelLine"},
    {kNamed, "FntClrNormCar"}, {kNamed, "FntClrItCar"}, {kNamed, "FntClrNormArr"},
    {kNamed, "FntClrSelLine"}, {kNamed, "FmtPick"}, {kNamed, "WhlScl00"}, {kNamed, "WhlScl01"},
    {kNamed, "WhlScl02"}, {kNamed, "WhlScl10"}, {kNamed, "WhlScl11"}, {kNamed, "WhlScl12"},
    {kNamed, "WhlScl20"}, {kNamed, "WhlScl21"}, {kNamed, "WhlScl22"}, {kNamed, "WhlScl11Stat"},
    {kNamed, "DragRmv"}, {kNamed, "ShiftHor"}, {kNamed, "SelBul"}, {kNamed, "Footnote"},
    {kNamed, "HideWhiteSpace"}, {kNamed, "ShowWhiteSpace"}, {kNamed, "SelectTableCell"},
    {kNamed, "FBrSelCell"}, {kNamed, "HltSelCell"}, {kNamed, "FntClrSelCell"},
    {kNamed, "SelectTableCol"}, {kNamed, "FBrSelCol"}, {kNamed, "HltSelCol"},
    {kNamed, "FntClrSelCol"}, {kNamed, "HSplit"}, {kNamed, "VSplit"}, {kNamed, "MoveTable"},
    {kNamed, "SpotlightCaret"}, {kNamed, "SelectPic"}, {kNamed, "MovePic"},
    {kNamed, "MoveAnchor"}, {kNamed, "AddWrapPoint"}, {kNamed, "DelWrapPoint"},
    {kNamed, "MoveWrapPoint"},
};

}  // namespace

// ---- The hidden window ----

class TApp::AppWindow : public plat::Window {
 public:
  explicit AppWindow(TApp& app) : app_(app) {}
  ~AppWindow() override { Destroy(); }
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
    try {
      return app_.WndProc(msg, wParam, lParam);
    } catch (...) {
      app_.HandleException(&app_);
      return 0;
    }
  }
  intptr_t Default(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    return Window::WndProc(msg, wParam, lParam);
  }

 private:
  TApp& app_;
};

namespace {
std::unique_ptr<THintWindow> MakePlainHint() { return std::make_unique<THintWindow>(); }
}  // namespace

const THintWindowClass& PlainHintWindowClass() {
  static const THintWindowClass cls{"THintWindow", &MakePlainHint};
  return cls;
}

void RegisterCursorLoader(std::unique_ptr<TCursorLoader> loader) {
  RegisterService(std::move(loader));
}

TCursorLoader& CursorLoader() { return Service<TCursorLoader>(); }

// ---- TApp ----

TApp::TApp() {
  std::fill(std::begin(cursors_), std::end(cursors_), plat::CursorShape::Arrow);
  window_ = std::make_unique<AppWindow>(*this);
  if (plat::IsWindowSystemStarted()) {
    plat::CreateParams p;
    p.style = plat::WS_POPUP | plat::WS_CAPTION | plat::WS_CLIPSIBLINGS | plat::WS_SYSMENU |
              plat::WS_MINIMIZEBOX;
    window_->Create(p);
    plat::SetSessionEndHandler([] {
      if (AppExists()) plat::SendMessage(GetApp().Handle(), plat::WM_ENDSESSION, 1, 0);
    });
    InstallMessageBox();
  }
  plat::Control::SetDestroyHook([](plat::Control* c) {
    if (AppExists()) GetApp().ControlDestroyed(c);
  });
  InstallKeyRouting();
  plat::Form::SetModalLoopRunner([this](const std::function<bool()>& done) {
    // The plain box keeps its own loop after the quit message, as the system's box does;
    // every other modal form ends as Cancel then.
    if (Terminated && SystemMessageBoxShowing()) return plat::RunModalLoop(done);
    while (!done()) {
      if (Terminated) return false;
      HandleMessage();
    }
    return true;
  });
}

TApp::~TApp() {
  Active = false;
  CancelHint();
  hintWindow_.reset();
  plat::Form::SetModalLoopRunner(nullptr);
  plat::Control::SetDestroyHook(nullptr);
  UninstallKeyRouting();
  if (plat::IsWindowSystemStarted()) plat::SetSessionEndHandler(nullptr);
  if (IsMessageBoxInstalled()) RegisterMessageDlgService(nullptr);
  // Destroy the window while window_ still points at it: its last messages come back through
  // WndProc, which hands them to the window's default handling.
  if (window_) window_->Destroy();
  window_.reset();
}

plat::Hwnd TApp::Handle() const { return window_ ? window_->Handle() : 0; }

void TApp::UpdateFocusState() {
  if (!plat::IsWindowSystemStarted()) return;
  if (plat::Control* c = plat::FindControl(plat::GetFocus())) {
    ActiveControl = c;
    ActiveForm = c->ParentForm();
  }
  if (auto* f = dynamic_cast<plat::Form*>(plat::FindControl(plat::GetActiveWindow())))
    FocusedForm = f;
}

bool TApp::ProcessMessage() {
  plat::Msg m;
  if (plat::PeekMessage(m, false) && m.message == plat::WM_CHAR) LastWideCharMessage = m;
  if (!plat::PeekMessage(m, true)) return false;
  if (m.message == plat::WM_QUIT) {
    Terminated = true;
    return true;
  }
  UpdateFocusState();
  bool handled = false;
  if (OnMessage) OnMessage(m, handled);
  IsHintMsg(m);
  if (handled || IsMDIMsg(m) || IsKeyMsg(m)) return true;
  plat::Control* target = plat::FindControl(m.hwnd);
  if (m.message == plat::WM_MOUSEMOVE && target)
    HintMouseMessage(*target, {plat::GetXParam(m.lParam), plat::GetYParam(m.lParam)});
  if (m.message == plat::WM_MOUSEWHEEL && target) {
    RouteMouseWheel(*target, m.wParam, m.lParam);
    return true;
  }
  plat::DispatchMessage(m);
  return true;
}

void TApp::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApp::HandleMessage() {
  try {
    if (ProcessMessage()) return;
    Idle();
  } catch (...) {
    HandleException(this);
    return;
  }
  if (!Terminated) plat::WaitMessage();
}

void TApp::Idle() {
  plat::Control* c = plat::FindControl(plat::WindowFromPoint(plat::GetCursorPos()));
  // The class layer sends enter and leave itself; the idle step keeps the reference.
  if (c != MouseControl) MouseControl = c;
  if (!MouseControl) CancelHint();
  if (OnIdle) {
    try {
      OnIdle();
    } catch (const Exception&) {
      HandleException(this);
    }
  }
}

void TApp::Terminate() {
  Terminated = true;
  if (plat::IsWindowSystemStarted()) plat::PostQuitMessage(0);
}

bool TApp::IsMDIMsg(const plat::Msg& m) {
  if (!MainForm || !ActiveForm || ActiveForm->GetFormStyle() != plat::FormStyle::MdiChild ||
      ToolbarCustomizing || m.message != plat::WM_KEYDOWN)
    return false;
  uint8_t mods = plat::GetShiftState();
  if ((mods & plat::SHIFT_BIT_CTRL) == 0 || (mods & plat::SHIFT_BIT_ALT) != 0) return false;
  uint8_t key = uint8_t(m.wParam);
  bool shift = (mods & plat::SHIFT_BIT_SHIFT) != 0;
  // Ctrl+Shift+Tab stays for the hot-key manager.
  if (key == plat::VK_TAB && shift) return false;
  if (key == plat::VK_F4 && !shift) {
    ActiveForm->Close();
    return true;
  }
  if (key != plat::VK_F6 && key != plat::VK_TAB) return false;
  plat::Control* frame = ActiveForm->Parent();
  if (!frame) return false;
  std::vector<plat::Form*> children;  // top first
  for (plat::Hwnd h : plat::GetChildren(frame->Handle())) {
    auto* f = dynamic_cast<plat::Form*>(plat::FindControl(h));
    if (f && f->GetFormStyle() == plat::FormStyle::MdiChild && f->Visible())
      children.insert(children.begin(), f);
  }
  if (children.size() < 2) return true;
  plat::Form* next = shift ? children.back() : children[1];
  if (!shift && ActiveForm->Handle())
    plat::SetWindowPos(ActiveForm->Handle(), plat::HWND_BOTTOM, {},
                       plat::SWP_NOMOVE | plat::SWP_NOSIZE | plat::SWP_NOACTIVATE);
  next->Show();
  if (next->Handle()) plat::BringWindowToTop(next->Handle());
  next->SetFocus();
  return true;
}

bool TApp::IsKeyMsg(plat::Msg& m) {
  if (m.message < plat::WM_KEYDOWN || m.message > plat::WM_KEYLAST) return false;
  if (plat::GetCapture() != 0) return false;
  plat::Hwnd target = m.hwnd;
  if (!target) return false;
  return RouteKeyMessage(target, m.message, m.wParam, m.lParam) != 0;
}

bool TApp::IsHintMsg(const plat::Msg& m) {
  if (hintWindow_ && hintWindow_->EndsHint(m)) CancelHint();
  return false;
}

void TApp::HandleException(void* sender) {
  (void)sender;
  if (plat::IsWindowSystemStarted())
    if (plat::Hwnd cap = plat::GetCapture()) plat::SendMessage(cap, plat::WM_CANCELMODE);
  std::exception_ptr ep = std::current_exception();
  if (!ep) return;
  try {
    std::rethrow_exception(ep);
  } catch (const EAbort&) {
  } catch (const std::exception& e) {
    if (OnException) {
      OnException(sender, e);
    } else {
      MessageBox(std::string("Exception:\r") + e.what(), Title, MB_ICONERROR);
    }
  } catch (...) {
    MessageBox("Exception unknown", Title, MB_ICONERROR | MB_TASKMODAL);
  }
}

int32_t TApp::MessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
  std::vector<plat::Hwnd> disabled;
  plat::Hwnd active = 0;
  if (plat::IsWindowSystemStarted()) {
    active = plat::GetActiveWindow();
    for (plat::Hwnd t : plat::GetTopLevelWindows())
      if (t != Handle() && plat::IsWindowShown(t) && plat::IsWindowEnabled(t)) {
        plat::EnableWindow(t, false);
        disabled.push_back(t);
      }
  }
  int32_t result = IDCANCEL;
  try {
    result = ShowSystemMessageBox(text, caption, flags);
  } catch (...) {
    result = 0;
  }
  for (plat::Hwnd t : disabled)
    if (plat::IsWindow(t)) plat::EnableWindow(t, true);
  if (active && plat::IsWindow(active)) plat::SetActiveWindow(active);
  return result;
}

plat::CursorShape TApp::GetCursor(int32_t index) {
  if (index < 0 || index > 63) return plat::CursorShape::Arrow;
  if (!cursorLoaded_[index]) {
    const CursorEntry& e = kCursors[index];
    plat::CursorShape s = e.shape;
    if (e.name) {
      s = plat::CursorShape::Hidden;  // index 0: the empty name, no cursor
      if (*e.name) s = CursorLoader().Load(e.name);
    }
    cursors_[index] = s;
    cursorLoaded_[index] = true;
  }
  return cursors_[index];
}

void TApp::Minimize() {
  if (minimized_) return;
  NormalizeTopMosts(false);
  minimized_ = true;
  if (MainForm) MainForm->SetWindowState(plat::WindowState::Minimized);
}

void TApp::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  if (MainForm) {
    if (MainForm->GetWindowState() == plat::WindowState::Minimized)
      MainForm->SetWindowState(plat::WindowState::Normal);
    if (!MainForm->Visible()) MainForm->Show();
  }
  RestoreTopMosts();
  if (ActiveControl) ActiveControl->SetFocus();
}

void TApp::BringPopupToFront() {
  if (!plat::IsWindowSystemStarted()) return;
  plat::Hwnd last = 0;
  for (plat::Hwnd t : plat::GetTopLevelWindows())  // bottom to top
    if (t != Handle() && plat::IsWindowShown(t) && plat::IsWindowEnabled(t) &&
        !(plat::GetWindowExStyle(t) & plat::WS_EX_NOACTIVATE))
      last = t;
  if (last && last != plat::GetActiveWindow()) plat::SetActiveWindow(last);
}

void TApp::UpdateVisible() {
  bool visible = false;
  if (plat::IsWindowSystemStarted())
    for (plat::Hwnd t : plat::GetTopLevelWindows())
      if (auto* f = dynamic_cast<plat::Form*>(plat::FindControl(t)); f && f->Visible())
        visible = true;
  // The hidden window stands for the program in the task bar; it has no picture of its own.
  appWindowVisible_ = visible;
}

void TApp::NormalizeTopMosts(bool includeMain) {
  if (!Handle()) return;
  if (topMostLevel_ == 0) {
    std::vector<plat::Hwnd> tops = plat::GetTopLevelWindows();
    plat::Hwnd mainWnd = MainForm ? MainForm->Handle() : 0;
    for (auto it = tops.rbegin(); it != tops.rend(); ++it) {  // top first
      plat::Hwnd w = *it;
      if (w == Handle() || (hintWindow_ && w == hintWindow_->Handle())) continue;
      bool topmost = (plat::GetWindowExStyle(w) & plat::WS_EX_TOPMOST) != 0;
      bool qualifies = topmost && (includeMain || plat::IsWindowShown(w)) &&
                       (includeMain || w != mainWnd);
      if (!qualifies) break;
      topMostList_.push_back(w);
    }
    for (auto it = topMostList_.rbegin(); it != topMostList_.rend(); ++it)
      plat::SetWindowPos(*it, plat::HWND_NOTOPMOST, {},
                         plat::SWP_NOMOVE | plat::SWP_NOSIZE | plat::SWP_NOACTIVATE);
  }
  ++topMostLevel_;
}

void TApp::RestoreTopMosts() {
  if (!Handle() || topMostLevel_ <= 0) return;
  if (--topMostLevel_ > 0) return;
  for (auto it = topMostList_.rbegin(); it != topMostList_.rend(); ++it)
    if (plat::IsWindow(*it))
      plat::SetWindowPos(*it, plat::HWND_TOPMOST, {},
                         plat::SWP_NOMOVE | plat::SWP_NOSIZE | plat::SWP_NOACTIVATE);
  topMostList_.clear();
}

int32_t TApp::HookMainWindow(TWindowHook hook) {
  int32_t id = nextHookId_++;
  hooks_.emplace_back(id, std::move(hook));
  return id;
}

void TApp::UnhookMainWindow(int32_t id) {
  std::erase_if(hooks_, [id](const auto& h) { return h.first == id; });
}

void TApp::ControlDestroyed(plat::Control* c) {
  if (MainForm == c) MainForm = nullptr;
  if (MouseControl == c) MouseControl = nullptr;
  if (ActiveControl == c) ActiveControl = nullptr;
  if (ActiveForm == c) ActiveForm = nullptr;
  if (FocusedForm == c) FocusedForm = nullptr;
  if (HintControl == c) {
    HintControl = nullptr;
    HideHint();
    StopHintTimer();
  }
}

// ---- Hints ----

void TApp::HintMouseMessage(plat::Control& control, plat::Point client) {
  plat::Point screen = control.ClientToScreen(client);
  plat::Control* cand = plat::FindControl(plat::WindowFromPoint(screen));
  if (!cand || (cand->Hint().empty() && HintControl && HintControl != cand)) {
    CancelHint();
    return;
  }
  if (cand == HintControl) return;
  bool wasActive = HintActive;
  uint32_t pause = uint32_t(wasActive ? HintShortPause : HintPause);
  CancelHint();
  HintActive = wasActive;
  HintControl = cand;
  StartHintTimer(pause, 0);
}

void TApp::StartHintTimer(uint32_t ms, uint8_t mode) {
  StopHintTimer();
  if (!plat::IsWindowSystemStarted()) return;
  hintTimer_ = plat::SetTimer(0, 0, ms, [](plat::Hwnd, uint32_t) {
    if (AppExists()) GetApp().HintTimerExpired();
  });
  hintTimerMode_ = mode;
}

void TApp::StopHintTimer() {
  if (hintTimer_ != 0) plat::KillTimer(0, hintTimer_);
  hintTimer_ = 0;
}

void TApp::HintTimerExpired() {
  StopHintTimer();
  if (hintTimerMode_ == 1) {
    HideHint();
    return;
  }
  plat::Point cursor = plat::GetCursorPos();
  if (HintControl && HintControl == MainForm && MainForm->Handle() &&
      plat::GetClientRect(MainForm->Handle()).Contains(MainForm->ScreenToClient(cursor))) {
    CancelHint();
    return;
  }
  ActivateHint(cursor);
}

void TApp::ActivateHint(plat::Point point) {
  HintActive = false;
  bool sent = false;
  THintInfo info;
  bool eligible = HintControl && plat::GetActiveWindow() != 0 && plat::GetCapture() == 0 &&
                  (HintControl == MainForm ||
                   plat::FindControl(plat::WindowFromPoint(point)) == HintControl);
  if (eligible) {
    plat::Rect screen = plat::GetScreenRect();
    info.HintControl = HintControl;
    info.HintWindowClass = &PlainHintWindowClass();
    info.HintPos = {point.x, point.y + kCursorHeight * 3 / 5};
    info.HintMaxWidth = screen.Width() * 4 / 10;
    info.CursorPos = HintControl->ScreenToClient(point);
    info.HideTimeout = int32_t(HintHidePause);
    info.HintStr = HintControl->Hint();
    intptr_t answer = HintControl->Perform(plat::CM_HINTSHOW, 0, reinterpret_cast<intptr_t>(&info));
    sent = true;
    HintActive = answer == 0;
    if (answer == 0 && !info.HintStr.empty()) {
      ShowHint(info);
      return;
    }
  }
  if (sent && info.ReshowTimeout > 0) StartHintTimer(uint32_t(info.ReshowTimeout), 0);
  else CancelHint();
}

void TApp::ShowHint(const THintInfo& info) {
  const THintWindowClass* cls = info.HintWindowClass ? info.HintWindowClass : &PlainHintWindowClass();
  if (!hintWindow_ || hintClass_ != cls) {
    hintWindow_ = cls->Make();
    hintClass_ = cls;
  }
  plat::Rect r = hintWindow_->MeasureHint(info.HintMaxWidth, info.HintStr);
  plat::Control& c = *HintControl;
  plat::Point origin = c.ClientToScreen({0, 0});
  if (info.HintSelfPlaced) {
  } else if (info.HintBeside) {
    plat::Rect screen = plat::GetScreenRect();
    int32_t y = info.HintAtCursorHeight ? plat::GetCursorPos().y : origin.y;
    r = r.Offset(origin.x + c.Width() + 5, y);
    if (r.right > screen.left + screen.Width() - 2) {
      int32_t w = r.Width();
      r.right = origin.x - 5;
      r.left = r.right - w;
    }
  } else if (info.HintAbove) {
    r = r.Offset(info.HintPos.x, origin.y - r.Height() - 5);
  } else {
    r = r.Offset(info.HintPos.x, info.HintPos.y);
  }
  if (hintWindow_->Tag == 0 || hintWindow_->Tag != info.HintData) {
    hintWindow_->HintColor = plat::clInfoBk;
    hintWindow_->Tag = info.HintData;
    hintWindow_->ShowHint(r, info.HintStr);
  }
  if (info.ReshowTimeout > 0) StartHintTimer(uint32_t(info.ReshowTimeout), 0);
  else StartHintTimer(uint32_t(info.HideTimeout), 1);
}

void TApp::CancelHint() {
  if (!HintControl) return;
  HideHint();
  HintControl = nullptr;
  HintActive = false;
  StopHintTimer();
}

void TApp::HideHint() {
  if (!hintWindow_) return;
  if (hintWindow_->Showing()) hintWindow_->ReleaseHint();
  hintWindow_->Tag = 0;
}

// ---- The hidden window's messages ----

void TApp::EndSession() {
  if (endingSession_) return;
  endingSession_ = true;
  // The session ends: the settings are saved (the program's shutdown order, when installed),
  // then the loop ends in order instead of the process stopping where it stands.
  try {
    if (OnEndSession) OnEndSession();
    else GetOptionsHolder().Save();
  } catch (...) {
    HandleException(this);
  }
  Terminate();
}

intptr_t TApp::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  intptr_t result = 0;
  for (size_t i = 0; i < hooks_.size(); ++i) {
    TWindowHook hook = hooks_[i].second;  // a hook may unhook itself
    if (hook(msg, wParam, lParam, result)) return result;
  }
  auto def = [&] { return window_->Default(msg, wParam, lParam); };
  switch (msg) {
    case plat::WM_SETFOCUS:
      plat::PostMessage(Handle(), plat::CM_ENTER);
      return def();
    case plat::WM_ENABLE:
      if (wParam) {
        RestoreTopMosts();
        for (plat::Hwnd t : taskWindows_)
          if (plat::IsWindow(t)) plat::EnableWindow(t, true);
        taskWindows_.clear();
        haveTaskWindows_ = false;
        return def();
      }
      def();
      if (!haveTaskWindows_) {
        haveTaskWindows_ = true;
        for (plat::Hwnd t : plat::GetTopLevelWindows())
          if (t != Handle() && plat::IsWindowShown(t) && plat::IsWindowEnabled(t)) {
            plat::EnableWindow(t, false);
            taskWindows_.push_back(t);
          }
      }
      NormalizeTopMosts(true);
      return 0;
    case plat::WM_CLOSE:
      if (MainForm) MainForm->Close();
      return 0;
    case plat::WM_ENDSESSION:
      if (wParam) EndSession();
      return 0;
    case plat::WM_ACTIVATEAPP:
      if (Terminated) return 0;
      def();
      Active = wParam != 0;
      if (Active) {
        RestoreTopMosts();
        plat::PostMessage(Handle(), plat::CM_ACTIVATE);
      } else {
        NormalizeTopMosts(false);
        plat::PostMessage(Handle(), plat::CM_DEACTIVATE);
      }
      return 0;
    case plat::WM_FONTCHANGE:
      if (MainForm) MainForm->Perform(msg, wParam, lParam);
      return 0;
    case plat::WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) Minimize();
      else if ((wParam & 0xFFF0) == SC_RESTORE) Restore();
      else return def();
      return 0;
    case plat::CM_APPSYSCOMMAND:
      if (MainForm && MainForm->Handle() && MainForm->Enabled() && MainForm->Visible()) {
        plat::Hwnd focused = plat::GetFocus();
        plat::SetFocus(MainForm->Handle());
        MainForm->Perform(plat::WM_SYSCOMMAND, wParam, lParam);
        if (focused && plat::IsWindow(focused)) plat::SetFocus(focused);
        return 1;
      }
      return 0;
    case plat::CM_ENTER:
      if (!minimized_ && plat::GetFocus() == Handle()) {
        plat::Hwnd normal = 0, topmost = 0;
        for (plat::Hwnd t : plat::GetTopLevelWindows()) {
          if (t == Handle() || !plat::IsWindowVisible(t) || !plat::IsWindowEnabled(t)) continue;
          bool tm = (plat::GetWindowExStyle(t) & plat::WS_EX_TOPMOST) != 0;
          if (tm && !topmost) topmost = t;
          if (!tm && !normal) normal = t;
        }
        if (plat::Hwnd t = normal ? normal : topmost) plat::SetFocus(t);
      }
      return 0;
    case plat::CM_WINDOWHOOK:
      if (wParam == 0 && lParam) HookMainWindow(*reinterpret_cast<const TWindowHook*>(lParam));
      else if (wParam != 0) UnhookMainWindow(int32_t(lParam));
      return 0;
    default:
      if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
        return plat::SendMessage(plat::Hwnd(lParam), plat::CN_BASE + msg, wParam, lParam);
      return def();
  }
}

// ---- The program-wide object ----

TApp& GetApp() {
  auto& app = AppSlot();
  if (!app) app = std::make_unique<TApp>();
  return *app;
}

bool AppExists() { return AppSlot() != nullptr; }

void FreeApp() {
  auto& app = AppSlot();
  std::unique_ptr<TApp> old = std::move(app);
  old.reset();
}

std::u16string InterfaceText(const std::string& text) {
  // Interface texts are UTF-8 on this system; bytes that do not read as UTF-8 are taken in the
  // program's Western code page.
  bool utf8 = true;
  for (size_t i = 0; i < text.size() && utf8;) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t k = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
    if (k == 9 || i + k >= text.size() + (k == 0 ? 1 : 0)) {
      utf8 = false;
      break;
    }
    for (size_t j = 1; j <= k; ++j)
      if ((static_cast<unsigned char>(text[i + j]) & 0xC0) != 0x80) utf8 = false;
    i += k + 1;
  }
  return utf8 ? Utf8ToWide(text) : CodePageToWide(text, 1252);
}

}  // namespace qv
