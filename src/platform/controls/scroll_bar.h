#pragma once
// plat::ScrollBar: a flat scroll bar with a full 32-bit range.
//
// Min, Max and Position are signed 32-bit values; every computation that spans the range is
// done in 64 bits, so a bar from INT32_MIN to INT32_MAX tracks its thumb correctly. With a page
// size p > 0 the thumb is proportional and the highest position is Max - p + 1 (the last page
// shows Max); with p = 0 it is Max.
//
// Input: arrows step by SmallChange, Page Up/Down by LargeChange, Home/End go to the ends. A
// press on an arrow or on the track steps once at once and then repeats while the button is
// held (first repeat after RepeatDelayMs, then every RepeatIntervalMs); a press on the thumb
// drags it.
#include <cstdint>
#include <functional>

#include "platform/controls/control.h"

namespace plat {

enum class ScrollBarKind { Horizontal, Vertical };

// What moved the bar (the system's scroll codes).
enum class ScrollCode : int32_t {
  LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, ThumbPosition = 4, ThumbTrack = 5,
  Top = 6, Bottom = 7, EndScroll = 8
};

// A filled arrow head pointing in a direction, centred in r (used by bars, spin buttons, menus).
enum class ArrowDir { Left, Up, Right, Down };
void DrawArrowHead(Canvas& c, const Rect& r, ArrowDir dir, Color colour);

class ScrollBar : public Control {
 public:
  static constexpr int32_t RepeatDelayMs = 500;
  static constexpr int32_t RepeatIntervalMs = 50;

  explicit ScrollBar(ScrollBarKind kind = ScrollBarKind::Horizontal);
  ~ScrollBar() override;

  ScrollBarKind Kind() const { return kind_; }
  void SetKind(ScrollBarKind k);

  int32_t Min() const { return min_; }
  int32_t Max() const { return max_; }
  int32_t Position() const { return position_; }
  int32_t PageSize() const { return pageSize_; }
  int32_t SmallChange() const { return smallChange_; }
  int32_t LargeChange() const { return largeChange_; }
  // Max is raised to Min when below it; the page is limited to the range; the position is kept
  // inside the new limits (OnChange when it moved).
  void SetParams(int32_t position, int32_t min, int32_t max);
  void SetMin(int32_t v) { SetParams(position_, v, max_ < v ? v : max_); }
  void SetMax(int32_t v) { SetParams(position_, min_ > v ? v : min_, v); }
  void SetPageSize(int32_t v);
  void SetSmallChange(int32_t v) { smallChange_ = v < 1 ? 1 : v; }
  void SetLargeChange(int32_t v) { largeChange_ = v < 1 ? 1 : v; }
  // Limited to [Min, HighestPosition()]; OnChange when it changed.
  void SetPosition(int32_t v);
  int32_t HighestPosition() const;
  // Sets the bar for a view that shows `rows` of `total` rows from row `top`: the range is the
  // rows, the page what shows, a page step one row less. Returns top limited to the last page
  // (the bar's new position).
  int32_t SetRowRange(int32_t top, int32_t total, int32_t rows);

  // Parts along the bar, client coordinates (empty when the bar is too short for them).
  enum class Part { None, LineUp, PageUp, Thumb, PageDown, LineDown };
  Rect PartRect(Part p) const;
  Part PartAt(Point client) const;
  int32_t Thickness() const;  // width of a vertical bar / height of a horizontal one

  std::function<void(ScrollBar&)> OnChange;
  // Every scroll action with the position it leads to (the handler may change it).
  std::function<void(ScrollBar&, ScrollCode, int32_t& pos)> OnScroll;

  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

 protected:
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;
  bool MouseWheel(ShiftState shift, int32_t delta, Point screen) override;

 private:
  struct Layout {
    int32_t length = 0, arrow = 0, trackStart = 0, trackEnd = 0, thumbStart = 0, thumbEnd = 0;
  };
  Layout CalcLayout() const;
  Rect AlongToRect(int32_t a, int32_t b) const;
  int32_t Along(Point p) const { return kind_ == ScrollBarKind::Vertical ? p.y : p.x; }
  void Scroll(ScrollCode code, int64_t target);
  void StepPressedPart();
  void StopRepeat();

  ScrollBarKind kind_;
  int32_t min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0;
  int32_t smallChange_ = 1, largeChange_ = 1;
  Part pressed_ = Part::None;
  Point pressPoint_;
  int32_t dragOffset_ = 0;  // cursor distance from the thumb start at the press
  bool repeating_ = false;
  bool firstRepeat_ = false;
};

}  // namespace plat
