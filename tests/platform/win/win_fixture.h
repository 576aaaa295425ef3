#pragma once
// A headless window system on the test clock for each test, and a window that records what it
// receives.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/backend/headless.h"
#include "platform/win/window_system.h"

namespace wintest {

struct Received {
  plat::Hwnd hwnd;
  uint32_t msg;
  uintptr_t wParam;
  intptr_t lParam;
};

// Records every message into a shared log; an optional hook may answer or act first.
class RecWindow : public plat::Window {
 public:
  explicit RecWindow(std::vector<Received>* log = nullptr) : log_(log) {}
  ~RecWindow() override { Destroy(); }
  std::function<bool(uint32_t, uintptr_t, intptr_t, intptr_t&)> hook;
  std::vector<plat::Region> paints;  // update regions of the WM_PAINT messages

  intptr_t WndProc(uint32_t msg, uintptr_t w, intptr_t l) override {
    if (log_) log_->push_back({Handle(), msg, w, l});
    if (msg == plat::WM_PAINT && l) paints.push_back(reinterpret_cast<plat::PaintContext*>(l)->region);
    intptr_t r = 0;
    if (hook && hook(msg, w, l, r)) return r;
    return Window::WndProc(msg, w, l);
  }

 private:
  std::vector<Received>* log_;
};

class WinTest : public ::testing::Test {
 protected:
  void SetUp() override { plat::StartWindowSystem({plat::BackendKind::Headless, true}); }
  void TearDown() override { plat::StopWindowSystem(); }

  // A shown top-level window at (100, 100) of the given size.
  static void MakeTop(RecWindow& w, int32_t cx = 200, int32_t cy = 150, uint32_t classStyle = 0) {
    plat::CreateParams p;
    p.bounds = {100, 100, 100 + cx, 100 + cy};
    p.style = plat::WS_OVERLAPPEDWINDOW | plat::WS_VISIBLE;
    p.classStyle = classStyle;
    ASSERT_TRUE(w.Create(p));
  }
  static void MakeChild(RecWindow& w, const RecWindow& parent, const plat::Rect& r,
                        uint32_t classStyle = 0) {
    plat::CreateParams p;
    p.parent = parent.Handle();
    p.bounds = r;
    p.style = plat::WS_CHILD | plat::WS_VISIBLE;
    p.classStyle = classStyle;
    ASSERT_TRUE(w.Create(p));
  }
  static std::vector<uint32_t> Only(const std::vector<Received>& log, std::initializer_list<uint32_t> kinds) {
    std::vector<uint32_t> r;
    for (const Received& m : log) {
      for (uint32_t k : kinds) {
        if (m.msg == k) r.push_back(m.msg);
      }
    }
    return r;
  }
};

}  // namespace wintest
