// Painting the status bar: all of it into one off-screen bitmap, copied to the window at once.
#include <algorithm>
#include <memory>

#include "commands/command_manager.h"
#include "document/doc.h"
#include "foundation/graphics/offscreen_bitmap.h"
#include "foundation/ui/interface_scale.h"
#include "foundation/ui/shared_managers.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "shell/status_bar.h"

namespace qv {

namespace {

// Colours (0x00BBGGRR).
constexpr plat::Color kProgressFrame = 0x696969, kProgressBlock = 0xEE687B;
constexpr plat::Color kHotFrame = 0xFF0000, kHotInactiveFrame = 0xC08080;
constexpr plat::Color kTargetFill = 0xE000, kTargetBlinkA = 0xD000, kTargetBlinkB = 0xF000, kTargetFrame = 0xA000;
constexpr plat::Color kAccent = 0x0000C0;

// 90 percent of a colour.
plat::Color Shade(plat::Color c) {
  const uint32_t r = (c & 0xFF) * 9 / 10, g = (c >> 8 & 0xFF) * 9 / 10, b = (c >> 16 & 0xFF) * 9 / 10;
  return r | g << 8 | b << 16;
}

// The hot or pressed panel is tinted blue: its red and green scaled down a tenth a step.
plat::Color Tinted(plat::Color c, int32_t steps) {
  uint32_t r = c & 0xFF, g = c >> 8 & 0xFF;
  for (int32_t i = 0; i < steps; ++i) {
    r = r * 9 / 10;
    g = g * 9 / 10;
  }
  return r | g << 8 | (c & 0xFF0000);
}

void DrawCentredText(plat::Canvas& c, const plat::Rect& r, const std::u16string& text) {
  const plat::Size size = c.TextExtent(text);
  c.TextOut(r.left + (r.Width() - size.cx) / 2, r.top + (r.Height() - size.cy) / 2, text);
}

}  // namespace

void TStatusBar::Paint(plat::PaintContext& pc) {
  if (pc.canvas == nullptr) return;
  const plat::Rect client = ClientRect();
  if (client.Width() <= 0 || client.Height() <= 0) return;
  // The shared off-screen bitmap when the program has made it, else one of the bar's own.
  std::unique_ptr<plat::Bitmap> own;
  std::unique_ptr<plat::Canvas> ownCanvas;
  TServiceBitmap* shared = ServiceBitmap();
  if (shared != nullptr) shared->GrowTo(client.Width(), client.Height());
  else {
    own = std::make_unique<plat::Bitmap>(client.Width(), client.Height());
    ownCanvas = std::make_unique<plat::Canvas>(*own);
  }
  plat::Canvas& c = shared != nullptr ? shared->Canvas() : *ownCanvas;
  plat::Bitmap& bitmap = shared != nullptr ? shared->Bitmap() : *own;
  c.SaveState();
  c.IntersectClipRect(client);
  c.SetFont(GetFont());
  c.SetBkMode(plat::BkMode::Transparent);
  const plat::Color face = plat::Look().Face;
  c.FillRect(client, face);
  c.FillRect({0, 0, client.right, 1}, Shade(face));
  c.SetTextColor(plat::Look().Text);
  const int32_t textTop = (client.Height() - TextHeight()) / 2;
  if (messageKind_ == kProgress) {
    // A frame for 20 square blocks, then the text after it.
    const int32_t side = (3 * client.Height() - 3) / 10 + (client.Height() % 2 == 0 ? 1 : 0);
    const int32_t gap = ScaleUI(1);
    const int32_t top = (client.Height() - side) / 2;
    const plat::Rect frame{margin_, top - 2, margin_ + 20 * (side + gap) + gap + 2, top + side + 2};
    c.FrameRect(frame, kProgressFrame);
    for (int32_t i = 0; i < ProgressBlocks(); ++i) {
      const int32_t x = frame.left + 2 + i * (side + gap);
      c.FillRect({x, top, x + side, top + side}, kProgressBlock);
    }
    c.TextOut(frame.right + margin_, textTop, messageText_);
  } else if (messageKind_ != kNoMessage) {
    c.TextOut(margin_, textTop, messageText_);
  } else if (site_.StartupDone() && Doc() != nullptr) {
    TDoc& doc = *Doc();
    for (int32_t i = 0; i < kPanelCount; ++i) {
      const plat::Rect r = PanelRect(i);
      if (r.Width() <= 0) continue;
      const bool clickable = (kClickablePanels >> i & 1u) != 0;
      if (i == hot_ || i == pressed_) {
        if (clickable) {
          c.FillRect(r, Tinted(face, i == pressed_ ? 2 : 1));
          c.FrameRect(r, kHotFrame);
        } else {
          c.FrameRect(r, kHotInactiveFrame);
        }
      }
      const TPanel& panel = panels_[static_cast<size_t>(i)];
      if (i == spTarget && !panel.Text.empty()) {
        // The writing target fills in proportion to its progress.
        int64_t progress = 0, amount = 0;
        bool words = true;
        if (site_.WritingTarget(doc, progress, amount, words) && amount > 0) {
          const int32_t fill = static_cast<int32_t>(std::clamp<int64_t>(progress, 0, amount) * (r.Width() - 2) / amount);
          const plat::Color colour = progress >= amount ? kTargetBlinkA : progress < 0 ? kAccent : kTargetFill;
          const plat::Color shown = colour == kTargetBlinkA && blinkOn_ ? kTargetBlinkB : colour;
          c.FillRect({r.left + 1, r.top + 1, r.left + 1 + fill, r.bottom - 1}, shown);
          c.FrameRect(r, progress < 0 ? kAccent : kTargetFrame);
        }
        DrawCentredText(c, r, panel.Text);
      } else if (i == spZoomSlider) {
        const plat::Rect track = ZoomPartRect(zpTrack);
        const int32_t mid = (track.top + track.bottom) / 2;
        c.FillRect({track.left, mid, track.right, mid + 1}, plat::Look().Text);
        c.FillRect(ZoomPartRect(zpThumb), plat::Look().Text);
        DrawCentredText(c, ZoomPartRect(zpOut), u"-");
        DrawCentredText(c, ZoomPartRect(zpIn), u"+");
      } else if (i >= spDraft && i <= spPrintLayout) {
        const int32_t mode = i == spDraft ? vmDraft : i == spDraftWrapped ? vmDraftWrapped : vmPrintLayout;
        if (doc.ViewMode == mode) c.FrameRect(r, kHotInactiveFrame);  // the current view shows pressed
        const plat::Rect glyph{r.left + r.Width() / 4, r.top + 3, r.right - r.Width() / 4, r.bottom - 3};
        c.FrameRect(glyph, plat::Look().Text);
      } else if (!panel.Text.empty()) {
        const bool accent = (i == spModified) || (i == spInsert && panel.Text == u"Ovr");
        c.SetTextColor(accent ? kAccent : plat::Look().Text);
        c.TextOut(r.left + margin_, textTop, panel.Text);
        c.SetTextColor(plat::Look().Text);
      }
      // Panels of statistics over several documents get a dotted outline.
      if (i >= spCharsNoSpaces && i <= spFileSize && site_.DocBarSelection().size() > 1) {
        for (int32_t x = r.left; x < r.right; x += 2) {
          c.SetPixel(x, r.top, plat::Look().Border);
          c.SetPixel(x, r.bottom - 1, plat::Look().Border);
        }
      }
      if (i < spDraft) c.FillRect({r.right, 1, r.right + 1, client.bottom}, Shade(face));
    }
  }
  c.RestoreState();
  c.Flush();
  pc.canvas->DrawBitmap(0, 0, bitmap, client);
}

}  // namespace qv
