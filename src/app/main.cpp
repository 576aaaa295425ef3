// Entry point of the program. Starts the platform layer, shows the main frame and runs the loop.
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "platform/gfx/types.h"
#include "platform/win/window_system.h"

namespace {

constexpr uint32_t kSaveScreenshot = plat::WM_USER + 1;

// The main frame window; the program ends when it is closed.
class MainFrame : public plat::Window {
 public:
  // QV_SCREENSHOT=<path> makes the frame save its own image there once it has been painted.
  explicit MainFrame(std::string screenshot) : screenshot_(std::move(screenshot)) {}
  ~MainFrame() override { Destroy(); }

  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override {
    switch (msg) {
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

  void Paint(plat::PaintContext& pc) override {
    Window::Paint(pc);
    if (!screenshot_.empty() && !screenshotPosted_) {
      screenshotPosted_ = true;
      plat::PostMessage(Handle(), kSaveScreenshot);
    }
  }

 private:
  void SaveScreenshot() {
    try {
      plat::SaveWindowPng(Handle(), screenshot_);
      std::fprintf(stderr, "Quorvane: window image saved to %s\n", screenshot_.c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "Quorvane: cannot save the window image: %s\n", e.what());
    }
  }

  std::string screenshot_;
  bool screenshotPosted_ = false;
};

plat::Rect CentredRect(int32_t cx, int32_t cy) {
  plat::Rect screen = plat::GetScreenRect();
  cx = std::min(cx, screen.Width());
  cy = std::min(cy, screen.Height());
  int32_t x = screen.left + (screen.Width() - cx) / 2;
  int32_t y = screen.top + (screen.Height() - cy) / 2;
  return {x, y, x + cx, y + cy};
}

}  // namespace

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  try {
    plat::StartWindowSystem();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: cannot start: %s\n", e.what());
    return 1;
  }
  plat::InstallSessionEndSignal();
  int code = 0;
  {
    const char* shot = std::getenv("QV_SCREENSHOT");
    MainFrame frame(shot ? shot : "");
    plat::CreateParams p;
    p.bounds = CentredRect(1000, 700);
    p.text = u"Quorvane Word Processor";
    p.style = plat::WS_OVERLAPPEDWINDOW | plat::WS_VISIBLE;
    frame.SetBackgroundColor(plat::Rgb(0xF0, 0xF0, 0xF0));
    if (!frame.Create(p)) {
      std::fprintf(stderr, "Quorvane: cannot create the main window\n");
      plat::StopWindowSystem();
      return 1;
    }
    try {
      code = plat::RunMessageLoop();
    } catch (const std::exception& e) {
      std::fprintf(stderr, "Quorvane: %s\n", e.what());
      code = 1;
    }
  }
  plat::StopWindowSystem();
  return code;
}
