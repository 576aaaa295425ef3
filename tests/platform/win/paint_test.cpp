// Invalidation, the paint cycle, scrolling, the caret and saving a window's image.
#include <gtest/gtest.h>

#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "support/test_env.h"
#include "win_fixture.h"

using namespace plat;
using namespace wintest;

namespace {

constexpr Color kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255), kWhite = Rgb(255, 255, 255);

Color PixelAt(const RecWindow& w, Point client) {
  Point s = ClientToScreen(w.Handle(), client);
  Rect b = GetWindowBounds(GetTopLevel(w.Handle()));
  return GetWindowSurface(GetTopLevel(w.Handle()))->GetPixel(s.x - b.left, s.y - b.top);
}

}  // namespace

TEST_F(WinTest, InvalidationsCoalesceIntoOnePaintWithTheUpdateRegion) {
  RecWindow w;
  MakeTop(w);
  PumpPending();
  ASSERT_EQ(w.paints.size(), 1u);  // shown: painted once, whole
  EXPECT_EQ(w.paints[0], Region(GetClientRect(w.Handle())));
  w.paints.clear();
  Rect r1{10, 10, 20, 20}, r2{50, 60, 70, 80}, outside{190, 140, 400, 400};
  InvalidateRect(w.Handle(), &r1);
  InvalidateRect(w.Handle(), &r2);
  InvalidateRect(w.Handle(), &r1);
  InvalidateRect(w.Handle(), &outside);  // clipped to the client area
  PumpPending();
  ASSERT_EQ(w.paints.size(), 1u);
  Region want(r1);
  want.Union(r2);
  want.Union(Rect{190, 140, 200, 150});
  EXPECT_EQ(w.paints[0], want);
  PumpPending();
  EXPECT_EQ(w.paints.size(), 1u);  // nothing left to paint
  // Validated parts are not painted.
  InvalidateRect(w.Handle(), &r2);
  ValidateRect(w.Handle(), &r2);
  PumpPending();
  EXPECT_EQ(w.paints.size(), 1u);
}

TEST_F(WinTest, ParentsPaintAroundTheirChildrenAndUncoveredAreasRepaint) {
  RecWindow top, child;
  MakeTop(top);
  top.SetBackgroundColor(kRed);
  MakeChild(child, top, {20, 20, 60, 60});
  child.SetBackgroundColor(kBlue);
  PumpPending();
  EXPECT_EQ(PixelAt(top, {5, 5}), kRed);
  EXPECT_EQ(PixelAt(top, {30, 30}), kBlue);
  top.paints.clear();
  child.paints.clear();
  InvalidateRect(top.Handle(), nullptr);
  PumpPending();
  EXPECT_EQ(child.paints.size(), 0u);  // the parent's repaint leaves the child alone
  EXPECT_EQ(PixelAt(top, {30, 30}), kBlue);
  ASSERT_EQ(top.paints.size(), 1u);
  EXPECT_FALSE(top.paints[0].Contains({30, 30}));
  // Hiding the child uncovers exactly its rectangle of the parent.
  top.paints.clear();
  ShowWindow(child.Handle(), false);
  PumpPending();
  ASSERT_EQ(top.paints.size(), 1u);
  EXPECT_EQ(top.paints[0], Region(Rect{20, 20, 60, 60}));
  EXPECT_EQ(PixelAt(top, {30, 30}), kRed);
  // Moving a shown child repaints both places.
  ShowWindow(child.Handle(), true);
  MoveWindow(child.Handle(), {100, 20, 140, 60});
  PumpPending();
  EXPECT_EQ(PixelAt(top, {30, 30}), kRed);
  EXPECT_EQ(PixelAt(top, {110, 30}), kBlue);
}

TEST_F(WinTest, OverlappingSiblingsPaintInZOrder) {
  RecWindow top, low, high;
  MakeTop(top);
  MakeChild(low, top, {0, 0, 50, 50});
  low.SetBackgroundColor(kRed);
  MakeChild(high, top, {25, 25, 75, 75});
  high.SetBackgroundColor(kBlue);
  PumpPending();
  EXPECT_EQ(PixelAt(top, {30, 30}), kBlue);
  InvalidateRect(low.Handle(), nullptr);
  PumpPending();
  EXPECT_EQ(PixelAt(top, {30, 30}), kBlue);  // the lower sibling does not paint over it
  EXPECT_EQ(WindowFromPoint(ClientToScreen(top.Handle(), {30, 30})), high.Handle());
  BringWindowToTop(low.Handle());
  PumpPending();
  EXPECT_EQ(PixelAt(top, {30, 30}), kRed);
  EXPECT_EQ(WindowFromPoint(ClientToScreen(top.Handle(), {30, 30})), low.Handle());
}

TEST_F(WinTest, ScrollingMovesPixelsAndInvalidatesTheUncoveredStrip) {
  RecWindow w;
  MakeTop(w, 100, 100);
  // Each row has its own colour.
  w.hook = [](uint32_t m, uintptr_t, intptr_t l, intptr_t&) {
    if (m != WM_PAINT) return false;
    auto* pc = reinterpret_cast<PaintContext*>(l);
    for (int32_t y = 0; y < 100; ++y) pc->canvas->FillRect({0, y, 100, y + 1}, Rgb(0, uint8_t(y), 0));
    return true;
  };
  PumpPending();
  w.paints.clear();
  Rect pending{0, 50, 10, 55};
  InvalidateRect(w.Handle(), &pending);
  ScrollWindowEx(w.Handle(), 0, -10, nullptr, nullptr);
  EXPECT_EQ(PixelAt(w, {5, 30}), Rgb(0, 40, 0));
  EXPECT_EQ(PixelAt(w, {5, 89}), Rgb(0, 99, 0));
  Region want(Rect{0, 90, 100, 100});
  want.Union(pending.Offset(0, -10));  // the pending area moved with its pixels
  EXPECT_EQ(GetUpdateRegion(w.Handle()), want);
}

TEST_F(WinTest, CaretShowsHidesNestsAndBlinksOnTheClock) {
  RecWindow w;
  MakeTop(w);
  PumpPending();
  ASSERT_TRUE(CreateCaret(w.Handle(), 2, 16));
  EXPECT_FALSE(GetCaretInfo().visible);  // created hidden
  SetCaretPos(10, 20);
  ShowCaret(w.Handle());
  CaretInfo c = GetCaretInfo();
  EXPECT_TRUE(c.visible);
  EXPECT_TRUE(c.blinkOn);
  EXPECT_EQ(c.rect, (Rect{10, 20, 12, 36}));
  HideCaret(w.Handle());
  HideCaret(w.Handle());
  ShowCaret(w.Handle());
  EXPECT_FALSE(GetCaretInfo().visible);  // two hides need two shows
  ShowCaret(w.Handle());
  EXPECT_TRUE(GetCaretInfo().visible);
  int presents = headless::PresentCount(w.Handle());
  headless::AdvanceClock(GetCaretBlinkTime());
  PumpPending();
  EXPECT_FALSE(GetCaretInfo().blinkOn);
  EXPECT_GT(headless::PresentCount(w.Handle()), presents);  // the blink was shown
  headless::AdvanceClock(GetCaretBlinkTime());
  PumpPending();
  EXPECT_TRUE(GetCaretInfo().blinkOn);
  // The caret is drawn only on the way to the screen, never into the window's image.
  EXPECT_EQ(PixelAt(w, {10, 25}), GetWindowSurface(w.Handle())->GetPixel(0, 0));
  w.Destroy();
  EXPECT_EQ(GetCaretInfo().hwnd, 0u);
}

TEST_F(WinTest, SaveWindowPngWritesThePaintedImage) {
  RecWindow w;
  MakeTop(w, 40, 30);
  w.SetBackgroundColor(kWhite);
  std::string path = qvtest::MakeTempDir("png") + "/win.png";
  SaveWindowPng(w.Handle(), path);  // paints what is pending first
  Bitmap b = Bitmap::LoadPng(path);
  EXPECT_EQ(b.Width(), 40);
  EXPECT_EQ(b.Height(), 30);
  EXPECT_EQ(b.GetPixel(20, 15), kWhite);
  EXPECT_THROW(SaveWindowPng(w.Handle(), "/nonexistent-dir/x.png"), GfxError);
  EXPECT_THROW(SaveWindowPng(9999, path), WindowSystemError);
}

TEST_F(WinTest, FramesOfWindowsWithInsetsPaintAroundTheClientArea) {
  std::vector<Received> log;
  RecWindow top, box(&log);
  MakeTop(top);
  top.SetBackgroundColor(kWhite);
  MakeChild(box, top, {10, 10, 60, 60});
  box.SetBackgroundColor(kBlue);
  SetNonClientInsets(box.Handle(), {2, 2, 2, 2});
  EXPECT_EQ(GetClientRect(box.Handle()), (Rect{0, 0, 46, 46}));
  EXPECT_EQ(ClientToScreen(box.Handle(), {0, 0}), ClientToScreen(top.Handle(), {12, 12}));
  box.hook = [](uint32_t m, uintptr_t w, intptr_t, intptr_t&) {
    if (m != WM_NCPAINT) return false;
    auto* pc = reinterpret_cast<PaintContext*>(w);
    pc->canvas->FillRect({0, 0, 50, 50}, kRed);  // clipped to the frame
    return true;
  };
  PumpPending();
  EXPECT_EQ(PixelAt(top, {11, 11}), kRed);   // frame
  EXPECT_EQ(PixelAt(top, {30, 30}), kBlue);  // client area, painted by WM_PAINT
  EXPECT_EQ(PixelAt(top, {5, 5}), kWhite);
  // Invalidating the client area does not repaint the frame.
  log.clear();
  InvalidateRect(box.Handle(), nullptr);
  PumpPending();
  EXPECT_TRUE(Only(log, {WM_NCPAINT}).empty());
  RedrawFrame(box.Handle());
  PumpPending();
  EXPECT_EQ(Only(log, {WM_NCPAINT}).size(), 1u);
  // A click on the frame goes to the window itself.
  EXPECT_EQ(WindowFromPoint(ClientToScreen(top.Handle(), {11, 11})), box.Handle());
}

TEST_F(WinTest, PaintHandlersMayResizeTheirOwnWindow) {
  RecWindow w;
  MakeTop(w);
  int paints = 0;
  w.hook = [&](uint32_t m, uintptr_t, intptr_t l, intptr_t&) {
    if (m == WM_PAINT && ++paints == 1) {
      MoveWindow(w.Handle(), {100, 100, 500, 400});  // the image the canvas draws on is replaced
      reinterpret_cast<PaintContext*>(l)->canvas->FillRect({0, 0, 50, 50}, kRed);
    }
    return false;
  };
  PumpPending();
  EXPECT_EQ(paints, 2);
  EXPECT_EQ(GetWindowSurface(w.Handle())->Width(), 400);
}
