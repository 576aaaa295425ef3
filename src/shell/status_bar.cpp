#include "shell/status_bar.h"

#include <algorithm>

#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "document/doc.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/interface_scale.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr int32_t kBlocks = 20;
// Design widths of the panels for an interface font 13 pixels high.
constexpr std::array<int32_t, TStatusBar::kPanelCount> kDefaultWidths = {
    40, 40, 40, 20, 53, 50, 33, 30, 30, 30, 30, 50, 50, 100, 24, 24, 24, 150, 40};
constexpr int32_t kZoomMin = 10, kZoomMax = 500, kZoomStep = 10;
constexpr uint32_t kFirstRepeat = 350, kNextRepeat = 50;
// Commands the panels run.
constexpr int32_t kGoTo = 203600, kZoomTo = 206100, kZoomDialog = 6200;

bool Has(uint32_t mask, int32_t bit) { return (mask >> bit & 1u) != 0; }

}  // namespace

TStatusBar::TStatusBar(TStatusBarSite& site) : site_(site) {
  margin_ = ScaleUI(6);
  padding_ = ScaleUI(3);
  for (int32_t i = 0; i < kPanelCount; ++i) panels_[static_cast<size_t>(i)].Width = ScaleUI(kDefaultWidths[static_cast<size_t>(i)]);
  SetAlign(plat::Align::Bottom);
  SetHeight(TextHeight() + 2 * padding_ + 1);
}

TDoc* TStatusBar::Doc() const { return site_.ActiveDoc(); }

uint32_t TStatusBar::Now() const { return plat::IsWindowSystemStarted() ? plat::GetTickCount() : 0; }

int32_t TStatusBar::TextHeight() const {
  const int32_t height = GetFont().Metrics().Height;
  return height > 0 ? height : 13;
}

void TStatusBar::FontChanged() {
  SetHeight(TextHeight() + 2 * padding_ + 1);
  Invalidate();
}

void TStatusBar::Resize() {
  UpdateHiddenForWidth();
  Invalidate();
}

// ---- Modes

void TStatusBar::SetMessage(uint8_t kind, const std::u16string& text) {
  if (kind == messageKind_ && text == messageText_) return;
  messageKind_ = kind;
  messageText_ = text;
  Invalidate();
}

void TStatusBar::SetProgressRange(int64_t minimum, int64_t maximum) {
  progressMin_ = minimum;
  progressMax_ = std::max(minimum, maximum);
  progressPos_ = minimum;
  Invalidate();
}

int32_t TStatusBar::ProgressBlocks() const {
  const int64_t range = progressMax_ - progressMin_;
  if (range <= 0) return 0;
  return static_cast<int32_t>((progressPos_ - progressMin_) * kBlocks / range);
}

void TStatusBar::SetProgressPos(int64_t position) {
  const int32_t before = ProgressBlocks();
  progressPos_ = std::clamp(position, progressMin_, progressMax_);
  // Long jobs do not let the message loop run: the bar is painted at once.
  if (ProgressBlocks() != before) Repaint();
}

// ---- Panels and their places

uint32_t TStatusBar::ShownPanels() const {
  const uint32_t visible = static_cast<uint32_t>(GetOptions().View.SBarPanels3);
  return visible & ~hiddenForWidth_ & ((1u << kPanelCount) - 1);
}

bool TStatusBar::UpdateHiddenForWidth() {
  const uint32_t visible = static_cast<uint32_t>(GetOptions().View.SBarPanels3);
  int64_t sum = 0;
  for (int32_t i = 0; i < kPanelCount; ++i)
    if (Has(visible, i)) sum += panels_[static_cast<size_t>(i)].Width + (i < 15 ? 1 : 0);
  uint32_t hidden = 0;
  for (int32_t i = 13; i >= 0 && sum > Width(); --i) {
    if (!Has(visible, i)) continue;
    hidden |= 1u << i;
    sum -= panels_[static_cast<size_t>(i)].Width + 1;
  }
  const bool changed = hidden != hiddenForWidth_;
  hiddenForWidth_ = hidden;
  if (changed) Invalidate();
  return changed;
}

plat::Rect TStatusBar::PanelRect(int32_t panel) const {
  const uint32_t shown = ShownPanels();
  if (panel < 0 || panel >= kPanelCount || !Has(shown, panel)) return {};
  int32_t used = 0;
  for (int32_t i = 0; i < kPanelCount; ++i)
    if (Has(shown, i)) used += panels_[static_cast<size_t>(i)].Width + (i < 14 ? 1 : 0);
  const int32_t free = std::max(0, Width() - used);
  int32_t x = -1;
  for (int32_t i = 0; i < kPanelCount; ++i) {
    if (!Has(shown, i)) continue;
    const int32_t left = i <= 14 ? x + 1 : x;  // a separator after each left panel
    const int32_t right = left + panels_[static_cast<size_t>(i)].Width;
    if (i == panel) {
      const int32_t shift = i >= 14 ? free : 0;
      return {left + shift, 1, right + shift, Height()};
    }
    x = right;
  }
  return {};
}

bool TStatusBar::PanelsReact() const {
  return mouseInside_ && started_ && site_.StartupDone() && site_.AppActive() && Doc() != nullptr &&
         site_.MainWindowEnabled() && !site_.BrowseListOpen() && messageKind_ == kNoMessage;
}

uint8_t TStatusBar::PanelAt(plat::Point p) const {
  if (!PanelsReact()) return kNone;
  for (int32_t i = kPanelCount - 1; i >= 0; --i)
    if (PanelRect(i).Contains(p)) return static_cast<uint8_t>(i);
  return kNone;
}

// ---- The zoom slider

plat::Rect TStatusBar::ZoomPartRect(int8_t part) const {
  const plat::Rect panel = PanelRect(spZoomSlider);
  if (panel.Width() <= 0) return {};
  const int32_t side = TextHeight() + 2 * ScaleUI(1);
  const int32_t top = panel.top + (panel.Height() - side) / 2;
  const plat::Rect out{panel.left + margin_, top, panel.left + margin_ + side, top + side};
  const plat::Rect in{panel.right - margin_ - side, top, panel.right - margin_, top + side};
  const plat::Rect track{out.right + ScaleUI(4), top, in.left - ScaleUI(4), top + side};
  switch (part) {
    case zpOut: return out;
    case zpIn: return in;
    case zpTrack: return track;
    case zpThumb: {
      const int32_t x = TrackXOfZoom(CurrentZoom());
      const int32_t w = ScaleUI(4);
      return {x - w / 2, top, x - w / 2 + w, top + side};
    }
    default: return {};
  }
}

int8_t TStatusBar::ZoomPartAt(plat::Point p) const {
  for (int8_t part : {zpThumb, zpOut, zpIn, zpTrack})
    if (ZoomPartRect(part).Contains(p)) return part;
  return static_cast<int8_t>(kNone);
}

int32_t TStatusBar::ZoomAtTrackX(int32_t x) const {
  const plat::Rect track = ZoomPartRect(zpTrack);
  const int32_t half = std::max(1, track.Width() / 2);
  const int32_t middle = track.left + half;
  if (std::abs(x - middle) <= ScaleUI(2)) return 100;
  if (x < middle) {
    const int32_t zoom = std::max(kZoomMin, 10 + (x - track.left) * 90 / half);
    return std::max(kZoomMin, (zoom + 2) / 5 * 5);
  }
  const int32_t zoom = std::min(kZoomMax, 100 + (x - middle + 1) * 400 / half);
  return std::min(kZoomMax, (zoom + 5) / 10 * 10);
}

int32_t TStatusBar::TrackXOfZoom(int32_t zoom) const {
  const plat::Rect track = ZoomPartRect(zpTrack);
  const int32_t half = track.Width() / 2;
  const int32_t middle = track.left + half;
  zoom = std::clamp(zoom, kZoomMin, kZoomMax);
  if (zoom <= 100) return track.left + (zoom - 10) * half / 90;
  return middle + (zoom - 100) * half / 400;
}

int32_t TStatusBar::CurrentZoom() const {
  const TDoc* doc = Doc();
  return doc != nullptr ? doc->ZoomPercent : 100;
}

void TStatusBar::SetZoom(int32_t zoom) {
  int32_t percentage = std::clamp(zoom, kZoomMin, kZoomMax);
  GetCommandManager().ExecuteWithParam(kZoomTo, &percentage);
  Invalidate();
}

void TStatusBar::HousekeepingTick(uint32_t now) {
  if (pressed_ != spZoomSlider || (pressedZoomPart_ != zpOut && pressedZoomPart_ != zpIn)) return;
  const uint32_t wait = repeatHappened_ ? kNextRepeat : kFirstRepeat;
  const uint32_t since = repeatHappened_ ? repeatTick_ : pressTick_;
  if (now - since <= wait) return;
  repeatHappened_ = true;
  repeatTick_ = now;
  ++repeatCount_;
  SetZoom(CurrentZoom() + (pressedZoomPart_ == zpIn ? kZoomStep : -kZoomStep));
}

void TStatusBar::BlinkTarget() {
  TDoc* doc = Doc();
  int64_t progress = 0, amount = 0;
  bool words = true;
  if (doc == nullptr || !site_.WritingTarget(*doc, progress, amount, words) || progress < amount) return;
  blinkOn_ = !blinkOn_;
  InvalidateRect(PanelRect(spTarget));
}

// ---- Mouse

void TStatusBar::MouseEnter() {
  mouseInside_ = true;
  plat::Control::MouseEnter();
}

void TStatusBar::MouseLeave() {
  mouseInside_ = false;
  if (hot_ != kNone) Invalidate();
  hot_ = kNone;
  plat::Control::MouseLeave();
}

void TStatusBar::MouseMove(plat::ShiftState shift, plat::Point p) {
  mouseInside_ = true;
  const uint8_t panel = PanelAt(p);
  const int8_t part = panel == spZoomSlider ? ZoomPartAt(p) : static_cast<int8_t>(kNone);
  if (panel != hot_ || part != hotZoomPart_) Invalidate();
  hot_ = panel;
  hotZoomPart_ = part;
  // Dragging the thumb zooms as it goes.
  if (pressed_ == spZoomSlider && pressedZoomPart_ == zpThumb) SetZoom(ZoomAtTrackX(p.x));
  plat::Control::MouseMove(shift, p);
}

void TStatusBar::MouseDown(plat::MouseButton b, plat::ShiftState shift, plat::Point p) {
  mouseInside_ = true;
  const uint8_t panel = PanelAt(p);
  if (b == plat::MouseButton::Left && panel != kNone) {
    if (panel == spZoomSlider) {
      const int8_t part = ZoomPartAt(p);
      pressed_ = part == static_cast<int8_t>(kNone) ? kNone : panel;
      pressedZoomPart_ = part == zpTrack ? static_cast<int8_t>(zpTrackPress) : part;
      pressTick_ = Now();
      repeatHappened_ = false;
      repeatCount_ = 0;
      if (part == zpThumb) {
        if (pressTick_ - lastThumbClickTick_ <= plat::GetDoubleClickTime() && lastThumbClickTick_ != 0) {
          lastThumbClickTick_ = 0;
          pressed_ = kNone;
          GetCommandManager().Execute(kZoomDialog);
        } else {
          lastThumbClickTick_ = pressTick_ == 0 ? 1 : pressTick_;
        }
      }
    } else if (Has(kClickablePanels, panel) && (panel != spModified || GetCommandManager().IsEnabled(180))) {
      pressed_ = panel;
    }
    Invalidate();
  }
  plat::Control::MouseDown(b, shift, p);
}

void TStatusBar::MouseUp(plat::MouseButton b, plat::ShiftState shift, plat::Point p) {
  const uint8_t panel = PanelAt(p);
  if (b == plat::MouseButton::Right && panel != kNone) {
    RightClickPanel(panel, ClientToScreen(p));
  } else if (b == plat::MouseButton::Left && pressed_ != kNone) {
    const uint8_t was = pressed_;
    const int8_t part = pressedZoomPart_;
    pressed_ = kNone;
    pressedZoomPart_ = static_cast<int8_t>(kNone);
    Invalidate();
    if (was == spZoomSlider && panel == spZoomSlider) {
      if ((part == zpOut || part == zpIn) && ZoomPartAt(p) == part && !repeatHappened_)
        SetZoom(CurrentZoom() + (part == zpIn ? kZoomStep : -kZoomStep));
      else if (part == zpTrackPress)
        SetZoom(ZoomAtTrackX(p.x));
    } else if (was == panel) {
      ClickPanel(panel, p);
    }
  }
  plat::Control::MouseUp(b, shift, p);
}

void TStatusBar::CancelMode() {
  pressed_ = kNone;
  pressedZoomPart_ = static_cast<int8_t>(kNone);
  hotZoomPart_ = static_cast<int8_t>(kNone);
  mouseInside_ = false;
  Invalidate();
}

intptr_t TStatusBar::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  constexpr uint32_t WM_CANCELMODE = 0x001F;
  if (msg == WM_CANCELMODE) CancelMode();
  return plat::Control::WndProc(msg, wParam, lParam);
}

void TStatusBar::ClickPanel(uint8_t panel, plat::Point p) {
  TCommandManager& manager = GetCommandManager();
  TDoc* doc = Doc();
  if (doc == nullptr) return;
  const bool printLayout = doc->ViewMode == vmPrintLayout;
  const bool severalDocs = site_.DocBarSelection().size() > 1 && !doc->HasSelection();
  switch (panel) {
    case spPosition: {
      const plat::Rect r = PanelRect(panel);
      int32_t what = !printLayout || (p.x >= r.left + r.Width() / 2 && doc->Sections.size() > 1) ? 1 : 0;
      manager.ExecuteWithParam(kGoTo, &what);
      break;
    }
    case spLine: {
      int32_t what = 3;
      manager.ExecuteWithParam(kGoTo, &what);
      break;
    }
    case spModified: manager.Execute(180); break;
    case spInsert: manager.Execute(3720); break;
    case spLanguage: manager.Execute(12440); break;
    case spSpellcheck: if (!doc->PrintPreview) site_.SpellcheckPanelClick(); break;
    case spCharsNoSpaces: case spCharsWithSpaces: case spWords: manager.Execute(severalDocs ? 1426 : 600); break;
    case spFileSize: manager.Execute(site_.DocBarSelection().size() > 1 ? 1426 : 600); break;
    case spTarget: site_.WritingTargetClick(); break;
    case spDraft: manager.Execute(8100); break;
    case spDraftWrapped: manager.Execute(8102); break;
    case spPrintLayout: manager.Execute(8101); break;
    case spZoom: manager.Execute(kZoomDialog); break;
    default: break;
  }
}

void TStatusBar::RightClickPanel(uint8_t panel, plat::Point screen) {
  TDoc* doc = Doc();
  switch (panel) {
    case spPosition: case spLine: site_.ShowBookmarkMenu(screen); break;
    case spLanguage: site_.ShowLanguageMenu(screen); break;
    case spSpellcheck: if (doc != nullptr && !doc->PrintPreview) site_.ShowMenu("STATBAR_SPLCHCK", screen); break;
    case spWritingTime: case spWritingSpeed: site_.ShowMenu("STATBAR_WRITINGDATA", screen); break;
    default: site_.ShowMenu("STATBAR", screen); break;
  }
}

}  // namespace qv
