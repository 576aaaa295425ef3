#include "app/main_frame.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "foundation/system/unit_startup.h"
#include "platform/gfx/types.h"

namespace qv {

namespace {

constexpr uint32_t kSaveScreenshot = plat::WM_USER + 1;

plat::Rect CentredRect(int32_t cx, int32_t cy) {
  plat::Rect screen = plat::GetScreenRect();
  cx = std::min(cx, screen.Width());
  cy = std::min(cy, screen.Height());
  int32_t x = screen.left + (screen.Width() - cx) / 2;
  int32_t y = screen.top + (screen.Height() - cy) / 2;
  return {x, y, x + cx, y + cy};
}

}  // namespace

TMainFrame::TMainFrame(std::string screenshot) : screenshot_(std::move(screenshot)) {}

TMainFrame::~TMainFrame() { Destroy(); }

bool TMainFrame::CreateFrame(int32_t width, int32_t height) {
  plat::CreateParams p;
  p.bounds = CentredRect(width, height);
  p.text = kTitle;
  p.style = plat::WS_OVERLAPPEDWINDOW | plat::WS_VISIBLE;
  SetBackgroundColor(plat::Rgb(0xF0, 0xF0, 0xF0));
  if (!Create(p)) return false;
  plat::PostMessage(Handle(), WM_STARTUPDONE);
  return true;
}

intptr_t TMainFrame::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case WM_STARTUPDONE:
      StartingUp = false;
      return 0;
    case plat::WM_DESTROY:
      plat::PostQuitMessage(0);
      return 0;
    case kSaveScreenshot:
      SaveScreenshot();
      return 0;
    default:
      return Window::WndProc(msg, wParam, lParam);
  }
}

void TMainFrame::Paint(plat::PaintContext& pc) {
  Window::Paint(pc);
  if (!screenshot_.empty() && !screenshotPosted_) {
    screenshotPosted_ = true;
    plat::PostMessage(Handle(), kSaveScreenshot);
  }
}

void TMainFrame::SaveScreenshot() {
  try {
    plat::SaveWindowPng(Handle(), screenshot_);
    std::fprintf(stderr, "Quorvane: window image saved to %s\n", screenshot_.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: cannot save the window image: %s\n", e.what());
  }
}

}  // namespace qv
