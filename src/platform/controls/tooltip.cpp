#include "platform/controls/tooltip.h"

#include <algorithm>

#include "platform/controls/control.h"
#include "platform/win/window_system.h"

namespace plat {

ToolTip::ToolTip() : self_(std::make_shared<ToolTip*>(this)) {}

ToolTip::~ToolTip() {
  StopTimer();
  *self_ = nullptr;
}

ToolTip::Tool* ToolTip::Find(const Control* c) {
  for (Tool& t : tools_) {
    if (t.control == c) return &t;
  }
  return nullptr;
}

const ToolTip::Tool* ToolTip::Find(const Control* c) const {
  for (const Tool& t : tools_) {
    if (t.control == c) return &t;
  }
  return nullptr;
}

void ToolTip::AddTool(Control& c, std::u16string text) {
  if (Tool* t = Find(&c)) {
    t->text = std::move(text);
    return;
  }
  tools_.push_back({&c, std::move(text)});
  std::weak_ptr<ToolTip*> weak = self_;
  auto enter = c.OnMouseEnter;
  c.OnMouseEnter = [weak, enter](Control& s) {
    if (enter) enter(s);
    if (auto p = weak.lock(); p && *p) (*p)->Enter(s);
  };
  auto leave = c.OnMouseLeave;
  c.OnMouseLeave = [weak, leave](Control& s) {
    if (leave) leave(s);
    if (auto p = weak.lock(); p && *p) (*p)->Leave(s);
  };
  auto down = c.OnMouseDown;
  c.OnMouseDown = [weak, down](Control& s, MouseButton b, ShiftState sh, Point pt) {
    if (down) down(s, b, sh, pt);
    if (auto p = weak.lock(); p && *p) (*p)->Pop();
  };
}

void ToolTip::SetToolText(Control& c, std::u16string text) {
  if (Tool* t = Find(&c)) t->text = std::move(text);
}

void ToolTip::RemoveTool(Control& c) {
  if (current_ == &c) Pop();
  tools_.erase(std::remove_if(tools_.begin(), tools_.end(), [&](const Tool& t) { return t.control == &c; }),
               tools_.end());
}

std::u16string ToolTip::ToolText(const Control& c) const {
  const Tool* t = Find(&c);
  return t ? t->text : std::u16string();
}

void ToolTip::Enter(Control& c) {
  if (!Active || !Find(&c)) return;
  Pop();
  current_ = &c;
  StartTimer(InitialDelay, true);
}

void ToolTip::Leave(Control& c) {
  if (current_ == &c) Pop();
}

void ToolTip::Pop() {
  StopTimer();
  hint_.ReleaseHint();
  current_ = nullptr;
}

void ToolTip::Show() {
  const Tool* t = Find(current_);
  if (!t || t->text.empty() || !current_->Showing()) {
    current_ = nullptr;
    return;
  }
  Point cur = GetCursorPos();
  Rect r = hint_.CalcHintRect(MaxWidth, t->text);
  hint_.ActivateHint(r.Offset(cur.x, cur.y + 20), t->text);
  StartTimer(AutoPopDelay, false);
}

void ToolTip::StartTimer(int32_t ms, bool showing) {
  StopTimer();
  timerShows_ = showing;
  std::weak_ptr<ToolTip*> weak = self_;
  timer_ = SetTimer(0, 0, uint32_t(std::max(0, ms)), [weak](Hwnd, uint32_t) {
    auto p = weak.lock();
    if (!p || !*p) return;
    ToolTip& tip = **p;
    bool show = tip.timerShows_;
    tip.StopTimer();
    if (show) tip.Show();
    else tip.Pop();
  });
}

void ToolTip::StopTimer() {
  if (timer_ && IsWindowSystemStarted()) KillTimer(0, timer_);
  timer_ = 0;
}

}  // namespace plat
