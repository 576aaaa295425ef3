#pragma once
// plat::ToolTip: shows a hint window for controls (tools) after the mouse has rested on them.
//
// AddTool wraps the control's OnMouseEnter, OnMouseLeave and OnMouseDown handlers set so far
// (they still run); a handler set on the control afterwards replaces the wrapper, so set the
// control's own handlers first. The hint shows InitialDelay ms after the mouse entered, below
// the cursor, and goes after AutoPopDelay ms, when the mouse leaves or a button goes down.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/hint_window.h"

namespace plat {

class Control;

class ToolTip {
 public:
  ToolTip();
  ~ToolTip();
  ToolTip(const ToolTip&) = delete;
  ToolTip& operator=(const ToolTip&) = delete;

  int32_t InitialDelay = 500;
  int32_t AutoPopDelay = 5000;
  int32_t MaxWidth = 300;
  bool Active = true;

  void AddTool(Control& c, std::u16string text);
  void SetToolText(Control& c, std::u16string text);
  void RemoveTool(Control& c);
  std::u16string ToolText(const Control& c) const;

  // The hint window (shown or not) and the tool it shows for.
  const HintWindow& Window() const { return hint_; }
  Control* Current() const { return current_; }
  void Pop();  // hides the hint now

 private:
  struct Tool {
    Control* control;
    std::u16string text;
  };
  Tool* Find(const Control* c);
  const Tool* Find(const Control* c) const;
  void Enter(Control& c);
  void Leave(Control& c);
  void Show();
  void StartTimer(int32_t ms, bool showing);
  void StopTimer();

  std::vector<Tool> tools_;
  HintWindow hint_;
  Control* current_ = nullptr;
  uint32_t timer_ = 0;
  bool timerShows_ = false;
  std::shared_ptr<ToolTip*> self_;  // lets wrapped handlers notice the tooltip has gone
};

}  // namespace plat
