#include "platform/controls/popup.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

std::vector<Popup*>& OpenList() {
  static std::vector<Popup*> list;
  return list;
}

}  // namespace

Popup::Popup() {
  SetVisible(false);
  SetBackColor(Look().Window);
}

Popup::~Popup() {
  auto& l = OpenList();
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
}

void Popup::FillCreateParams(CreateParams& p) {
  Control::FillCreateParams(p);
  p.parent = 0;
  p.style = WS_POPUP | WS_CLIPCHILDREN;
  p.exStyle = WS_EX_NOACTIVATE | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  Control* top = opener_;
  while (top && top->Parent()) top = top->Parent();
  p.owner = top ? top->Handle() : 0;
}

void Popup::Open(const Rect& screen, Control* opener) {
  if (opener != opener_ && Handle()) Destroy();  // the owner window changes with the opener
  opener_ = opener;
  SetBounds(screen);
  HandleNeeded();
  if (!Handle()) return;
  auto& l = OpenList();
  if (!open_) l.push_back(this);
  open_ = true;
  SetVisible(true);
  BringWindowToTop(Handle());
}

void Popup::Close(PopupCloseReason reason) {
  if (!open_) return;
  open_ = false;
  auto& l = OpenList();
  l.erase(std::remove(l.begin(), l.end(), this), l.end());
  if (GetCapture() && Handle() && IsDescendant(Handle(), GetCapture())) ReleaseCapture();
  SetVisible(false);
  if (OnClose) OnClose(*this, reason);
}

void Popup::CloseSilently() {
  auto handler = std::move(OnClose);
  OnClose = nullptr;
  Close(PopupCloseReason::Closed);
  OnClose = std::move(handler);
}

void Popup::ControlGone(Control* gone) {
  if (gone != opener_) return;
  CloseSilently();  // whoever would hear of it is going away
  opener_ = nullptr;
}

void DismissPopupsOf(const Control* form) {
  for (Popup* p : OpenPopups())
    if (p->IsOpen() && p->Opener() && form->ContainsControl(p->Opener())) p->CloseSilently();
}

bool CloseTopPopup() {
  auto& l = OpenList();
  if (l.empty()) return false;
  l.back()->Close(PopupCloseReason::Escape);
  return true;
}

void ClosePopupsOutside(Control* c) {
  for (Popup* p : OpenPopups()) {
    if (!p->IsOpen() || p->ContainsControl(c) || p->Opener() == c) continue;
    // A click inside a later popup opened from this one (a submenu) keeps this one open.
    bool inChild = false;
    for (Popup* q : OpenPopups())
      if (q != p && q->ContainsControl(c) && p->ContainsControl(q->Opener())) inChild = true;
    if (!inChild) p->Close(PopupCloseReason::ClickOutside);
  }
}

void ClosePopupsOf(const Control* form, PopupCloseReason reason) {
  for (Popup* p : OpenPopups()) {
    if (!p->IsOpen()) continue;
    if (form == nullptr || (p->Opener() && form->ContainsControl(p->Opener()))) p->Close(reason);
  }
}

std::vector<Popup*> OpenPopups() { return OpenList(); }

}  // namespace plat
