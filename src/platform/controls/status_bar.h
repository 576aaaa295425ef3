#pragma once
// plat::StatusBar: a bar along the bottom of a form with panels of text, or one simple text.
//
// Panels are laid out left to right by their widths; a panel of width -1 takes what is left up
// to the size grip. An owner-drawn panel is drawn by OnDrawPanel. A click on a panel reports it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/control.h"
#include "platform/controls/control_look.h"

namespace plat {

struct StatusPanel {
  std::u16string Text;
  int32_t Width = 50;  // pixels; -1 for the rest of the bar
  TextAlign Alignment = TextAlign::Left;
  bool OwnerDraw = false;
  bool Bevel = true;   // a separator line at the panel's right edge
};

class StatusBar : public Control {
 public:
  StatusBar();

  int32_t PanelCount() const { return int32_t(panels_.size()); }
  const StatusPanel& Panel(int32_t i) const { return panels_[size_t(i)]; }
  StatusPanel& AddPanel(std::u16string text = {}, int32_t width = 50);
  void RemovePanel(int32_t i);
  void ClearPanels();
  // Out-of-range indexes are ignored.
  void SetPanelText(int32_t i, const std::u16string& text);
  void SetPanelWidth(int32_t i, int32_t width);
  void SetPanelOwnerDraw(int32_t i, bool v);

  // With SimplePanel the bar shows SimpleText across its width instead of the panels.
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v) { simplePanel_ = v; Invalidate(); }
  const std::u16string& SimpleText() const { return simpleText_; }
  void SetSimpleText(const std::u16string& t) { simpleText_ = t; Invalidate(); }
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v) { sizeGrip_ = v; Invalidate(); }

  Rect PanelRect(int32_t i) const;  // client coordinates; empty when it lies outside
  int32_t PanelAt(Point client) const;  // -1 when none (or in simple mode)

  std::function<void(StatusBar&, int32_t index, Canvas&, const Rect&)> OnDrawPanel;
  std::function<void(StatusBar&, int32_t index)> OnPanelClick;
  std::function<void(StatusBar&, int32_t index)> OnPanelDblClick;

 protected:
  void Paint(PaintContext& pc) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;
  void DblClick() override;

 private:
  int32_t GripWidth() const;
  std::vector<StatusPanel> panels_;
  bool simplePanel_ = false;
  bool sizeGrip_ = true;
  std::u16string simpleText_;
  Point lastUp_;
  int32_t pressedPanel_ = -1;
};

}  // namespace plat
