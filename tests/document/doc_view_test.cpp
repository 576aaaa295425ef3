#include <gtest/gtest.h>

#include <stdexcept>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/section.h"
#include "foundation/settings/options_holder.h"
#include "foundation/base/units.h"

using namespace qv;

namespace {

// A window of a given page area that counts what the document asked of it.
class TestWindow : public TDocEditorWindow {
 public:
  explicit TestWindow(plat::Size area) : area_(area) {}
  plat::Size PageArea(bool) override { return area_; }
  void ScrollImage(int32_t dx, int32_t dy) override {
    lastDx = dx;
    lastDy = dy;
  }
  void Repaint() override { ++repaints; }
  int32_t lastDx = 0, lastDy = 0, repaints = 0;

 private:
  plat::Size area_;
};

class DocViewTest : public ::testing::Test {
 protected:
  void SetUp() override { SetScreenPixelsPerInchForTests(96); }
  void TearDown() override { SetScreenPixelsPerInchForTests(0); }
};

TEST_F(DocViewTest, ScopedFlagsRestoreLastInFirstOut) {
  TDoc doc(true);
  EXPECT_FALSE(doc.IsDocFlagSet(5));
  doc.SetScopedFlag(5);
  doc.ClearScopedFlag(5);
  EXPECT_FALSE(doc.IsDocFlagSet(5));
  doc.RestoreScopedFlag();
  EXPECT_TRUE(doc.IsDocFlagSet(5));
  doc.RestoreScopedFlag();
  EXPECT_FALSE(doc.IsDocFlagSet(5));
  // Restoring an empty stack changes nothing.
  doc.RestoreScopedFlags(3);
  EXPECT_FALSE(doc.IsDocFlagSet(5));
}

TEST_F(DocViewTest, FlagStackDoublesWhenFull) {
  TDoc doc(true);
  const int32_t depth = doc.ScopedFlagDepth();
  EXPECT_EQ(doc.ScopedFlagStackCapacity(), 32);
  for (int i = depth; i < 16; ++i) doc.SetScopedFlag(100 + i % 50);
  EXPECT_EQ(doc.ScopedFlagStackCapacity(), 32);
  doc.SetScopedFlag(7);  // the 17th entry
  EXPECT_EQ(doc.ScopedFlagStackCapacity(), 64);
  doc.RestoreScopedFlags(17 - depth);
  for (int i = 100; i < 150; ++i) EXPECT_FALSE(doc.IsDocFlagSet(i));
}

TEST_F(DocViewTest, ScopedFlagIsRestoredWhenAnExceptionLeaves) {
  TDoc doc(true);
  try {
    TScopedDocFlag flag(doc, 113);
    EXPECT_TRUE(doc.IsDocFlagSet(113));
    throw std::runtime_error("leave");
  } catch (const std::runtime_error&) {
  }
  EXPECT_FALSE(doc.IsDocFlagSet(113));
  EXPECT_EQ(doc.ScopedFlagDepth(), 0);
}

TEST_F(DocViewTest, TwipsToPixelsAtZoom100) {
  TDoc doc(true);
  doc.SetZoom(100);
  struct Case {
    int32_t twips, pixels;
  } cases[] = {{1440, 96}, {15, 1}, {7, 0}, {8, 1}, {-7, 0}, {-22, -1}, {0, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(doc.TwipsToPixelsY(c.twips), c.pixels) << c.twips;
    EXPECT_EQ(doc.TwipsToPixelsX(c.twips), c.pixels) << c.twips;
  }
  EXPECT_EQ(doc.FontHeightForSize(24), -16);
  EXPECT_EQ(doc.FontHeightForSize(2), -3);
  EXPECT_EQ(doc.PixelsToTwips(96), 1440);
  EXPECT_EQ(doc.ZoomValueY(37), 37);
  // 1440 twips at 150 %: 144; the remainder counts as half from 72000 on.
  EXPECT_EQ(doc.ScaledTwipsToPixelsY(1440, 150), 144);
  EXPECT_EQ(doc.ScaledTwipsToPixelsY(750, 100), 50);
  EXPECT_EQ(doc.ScaledTwipsToPixelsY(757, 100), 50);  // remainder 67200: below half
  EXPECT_EQ(doc.ScaledTwipsToPixelsY(762, 100), 51);  // remainder 115200
  EXPECT_EQ(doc.ScaledTwipsToPixelsY(7, 100), 0);
}

TEST_F(DocViewTest, ZoomChangesDensitiesAndSectionMetrics) {
  TDoc doc(true);
  doc.SetZoom(200);
  EXPECT_EQ(doc.ZoomPercent, 200);
  EXPECT_EQ(doc.View.PixelsPerInchY, 192);
  EXPECT_EQ(doc.TwipsToPixelsY(1440), 192);
  EXPECT_EQ(doc.ZoomValueX(10), 20);
  const TSectionPixels& px = doc.Sections[0]->Pixels;
  EXPECT_EQ(px.PageWidth, 816);  // 12240 twips at 96 ppi
  EXPECT_EQ(px.ZoomedPageWidth, 1632);
  EXPECT_EQ(px.TopMargin, 96);
  EXPECT_EQ(doc.View.PageExtent.PageHeight, 1056);
  EXPECT_EQ(doc.View.PageExtent.TextWidth, 624);
  doc.SetZoom(9000);
  EXPECT_EQ(doc.ZoomPercent, 500);
  doc.SetZoom(-4);
  EXPECT_EQ(doc.ZoomPercent, 10);
}

TEST_F(DocViewTest, ComputedZoomStaysWithinItsRange) {
  TDoc doc(true);
  doc.UpdateSectionPixelMetrics();
  for (plat::Size area : {plat::Size{30, 30}, plat::Size{100000, 100000}, plat::Size{900, 700}}) {
    doc.EditorWindow = std::make_unique<TestWindow>(area);
    for (uint8_t mode : {zmPageWidth, zmTextWidth, zmWholePage, zmTwoPages}) {
      doc.View.ZoomMode = mode;
      const int32_t zoom = doc.ComputeZoom();
      EXPECT_GE(zoom, 10) << int(mode);
      EXPECT_LE(zoom, 500) << int(mode);
    }
  }
  // Page width: (900 - 20) * 100 / 816.
  doc.View.ZoomMode = zmPageWidth;
  EXPECT_EQ(doc.ComputeZoom(), 107);
  // Whole page: limited by the height, (700 - 20) * 100 / 1056.
  doc.View.ZoomMode = zmWholePage;
  EXPECT_EQ(doc.ComputeZoom(), 64);
  doc.EditorWindow.reset();
}

TEST_F(DocViewTest, ScrollingIsClampedAndMovesTheImage) {
  TDoc doc(true);
  auto window = std::make_unique<TestWindow>(plat::Size{400, 300});
  TestWindow* w = window.get();
  doc.EditorWindow = std::move(window);
  doc.View.Extent = {1000, 5000};
  doc.ScrollTo({-50, -10});
  EXPECT_EQ(doc.View.ScrollPos, (plat::Point{0, 0}));
  doc.ScrollToY(120);
  EXPECT_EQ(doc.View.ScrollPos, (plat::Point{0, 120}));
  EXPECT_EQ(w->lastDy, -120);
  doc.ScrollTo({9000, 9000});
  EXPECT_EQ(doc.View.ScrollPos, (plat::Point{600, 4700}));
  EXPECT_GE(w->repaints, 1);  // both coordinates changed: repainted, not moved
  doc.EditorWindow.reset();
}

TEST_F(DocViewTest, ViewModeIsRememberedPerKindOfDocument) {
  TDoc doc(true);
  TOptions& options = GetOptions();
  const TNewDocParams saved = options.NewDocParams;
  doc.FormatIndex = 6;
  doc.SetViewMode(vmDraft);
  EXPECT_EQ(doc.ViewMode, vmDraft);
  EXPECT_EQ(options.NewDocParams.ViewModeTXT, vmDraft);
  doc.FormatIndex = 0;
  doc.SetViewMode(vmDraftWrapped);
  EXPECT_EQ(options.NewDocParams.ViewMode, vmDraftWrapped);
  EXPECT_EQ(doc.ScopedFlagDepth(), 0);
  options.NewDocParams = saved;
}

TEST_F(DocViewTest, TemporaryViewModeComesBack) {
  TDoc doc(true);
  doc.View.ScrollPos = {0, 40};
  doc.BeginTempViewMode(vmDraft);
  EXPECT_EQ(doc.ViewMode, vmDraft);
  EXPECT_TRUE(doc.IsDocFlagSet(dfViewModeChange7));
  EXPECT_TRUE(doc.IsDocFlagSet(dfViewModeChange14));
  EXPECT_TRUE(doc.IsDocFlagSet(dfArrangeOnZoom));
  EXPECT_EQ(doc.ScopedFlagDepth(), 6);
  doc.View.ScrollPos = {0, 500};
  doc.EndTempViewMode(true);
  EXPECT_EQ(doc.ViewMode, vmPrintLayout);
  EXPECT_EQ(doc.View.ScrollPos.y, 40);
  EXPECT_FALSE(doc.IsDocFlagSet(dfViewModeChange7));
  EXPECT_FALSE(doc.IsDocFlagSet(dfViewModeChange14));
  EXPECT_EQ(doc.ScopedFlagDepth(), 0);
  doc.EndTempViewMode(true);  // nothing in force: nothing happens
  EXPECT_EQ(doc.ScopedFlagDepth(), 0);
}

TEST_F(DocViewTest, PreviewZoomIsTakenAndGivenBack) {
  TDoc doc(true);
  TZoomSetting& preview = GetOptionsHolder().Settings.PreviewZoom;
  const TZoomSetting saved = preview;
  preview = {35, zmFixed};
  doc.SetZoomState(150, zmFixed);
  doc.ApplyPreviewZoom();
  EXPECT_EQ(doc.ZoomPercent, 35);
  doc.RestoreNormalZoom();
  EXPECT_EQ(doc.ZoomPercent, 150);
  preview = saved;
}

}  // namespace
