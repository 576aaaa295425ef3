#include "shell/status_bar.h"

#include <gtest/gtest.h>

#include "../commands/command_fixture.h"
#include "document/doc.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/interface_scale.h"

using namespace qv;

namespace {

struct FakeSite : TStatusBarSite {
  TDoc* Doc = nullptr;
  bool Target = false;
  int64_t Progress = 0, Amount = 0;
  bool KeepsFile = false;
  TDoc* ActiveDoc() override { return Doc; }
  bool KeepsFileOpen(TDoc&) override { return KeepsFile; }
  int64_t FileSize(TDoc&) override { return 12345; }
  bool WritingTarget(TDoc&, int64_t& progress, int64_t& amount, bool& words) override {
    progress = Progress;
    amount = Amount;
    words = true;
    return Target;
  }
};

// The bar with its mouse handlers reachable.
struct Bar : TStatusBar {
  using TStatusBar::TStatusBar;
  uint32_t Tick = 0;
  uint32_t Now() const override { return Tick; }
  using TStatusBar::MouseDown;
  using TStatusBar::MouseMove;
  using TStatusBar::MouseUp;
};

// The zoom command keeps the percentages it is given.
struct ZoomHandler : TCommandHandler {
  std::vector<int32_t>* Zooms;
  explicit ZoomHandler(std::vector<int32_t>* zooms) : Zooms(zooms) {}
  void ExecuteWithParam(TCommandManager&, int32_t id, const void* argument) override {
    if (id == 206100) Zooms->push_back(*static_cast<const int32_t*>(argument));
  }
  bool IsEnabled(TCommandManager&, int32_t, uint8_t&) override { return true; }
};

class StatusBarTest : public CommandTest {
 protected:
  void SetUp() override {
    site.Doc = &doc;
    env->Active = &doc;
    GetOptions().View.SBarPanels3 = (1 << TStatusBar::kPanelCount) - 1;  // every panel
    bar.SetBounds(0, 0, 2000, 24);
    Manager().SetParamHandler(2, std::make_unique<ZoomHandler>(&zoomsAsked));  // 206000-208999
  }
  // The widths of every panel.
  void SetWidths(int32_t width) {
    for (int32_t i = 0; i < TStatusBar::kPanelCount; ++i)
      const_cast<TStatusBar::TPanel&>(bar.Panel(i)).Width = width;
  }
  std::vector<int32_t> ZoomsAsked() const { return zoomsAsked; }
  std::vector<int32_t> zoomsAsked;
  TDoc doc{true};
  FakeSite site;
  Bar bar{site};
};

TEST_F(StatusBarTest, ANarrowBarHidesTheLeftPanelsFromTheWritingTargetDown) {
  SetWidths(100);
  // 19 panels of 100 pixels, one pixel after each of the first 15: 1915 pixels.
  bar.SetBounds(0, 0, 1915, 24);
  EXPECT_EQ(bar.HiddenForWidth(), 0u);
  bar.SetBounds(0, 0, 1814, 24);  // one panel too many
  EXPECT_EQ(bar.HiddenForWidth(), 1u << 13);
  bar.SetBounds(0, 0, 1813, 24);
  EXPECT_EQ(bar.HiddenForWidth(), (1u << 13) | (1u << 12));
  bar.SetBounds(0, 0, 100, 24);  // the right panels are never hidden
  EXPECT_EQ(bar.HiddenForWidth(), 0x3FFFu);
  // The right panels stand at the right edge.
  bar.SetBounds(0, 0, 1915, 24);
  EXPECT_EQ(bar.PanelRect(18).right, 1915);
  EXPECT_EQ(bar.PanelRect(0).left, 0);
}

TEST_F(StatusBarTest, TheZoomSliderMapsItsTrack) {
  SetWidths(40);
  const_cast<TStatusBar::TPanel&>(bar.Panel(17)).Width = 230;
  bar.UpdateHiddenForWidth();
  const plat::Rect track = bar.ZoomPartRect(TStatusBar::zpTrack);
  ASSERT_GT(track.Width(), 20);
  const int32_t middle = track.left + track.Width() / 2;
  const int32_t dead = ScaleUI(2);
  EXPECT_EQ(bar.ZoomAtTrackX(middle), 100);
  EXPECT_EQ(bar.ZoomAtTrackX(middle - dead), 100);
  const int32_t below = bar.ZoomAtTrackX(middle - dead - 1);
  EXPECT_LT(below, 100);
  EXPECT_EQ(below % 5, 0);
  EXPECT_EQ(bar.ZoomAtTrackX(track.left), 10);
  EXPECT_EQ(bar.ZoomAtTrackX(track.right + 50), 500);
  EXPECT_EQ(bar.ZoomAtTrackX(middle + dead + 1) % 10, 0);
  // The thumb stands where its zoom is.
  EXPECT_EQ(bar.ZoomAtTrackX(bar.TrackXOfZoom(100)), 100);
}

TEST_F(StatusBarTest, HoldingZoomInRepeatsFromTheHousekeepingTimerAndTheReleaseAddsNoStep) {
  SetWidths(40);
  const_cast<TStatusBar::TPanel&>(bar.Panel(17)).Width = 230;
  bar.UpdateHiddenForWidth();
  const plat::Rect in = bar.ZoomPartRect(TStatusBar::zpIn);
  const plat::Point at{in.left + 1, in.top + 1};
  bar.MouseMove(0, at);
  bar.Tick = 1000;
  bar.MouseDown(plat::MouseButton::Left, 0, at);
  bar.HousekeepingTick(1300);  // within the first 350 ms after the press
  EXPECT_TRUE(ZoomsAsked().empty());
  bar.HousekeepingTick(1400);
  EXPECT_EQ(ZoomsAsked(), std::vector<int32_t>{110});
  doc.ZoomPercent = 110;
  bar.HousekeepingTick(1440);  // within 50 ms of that step
  bar.HousekeepingTick(1460);
  EXPECT_EQ(ZoomsAsked(), (std::vector<int32_t>{110, 120}));
  bar.MouseUp(plat::MouseButton::Left, 0, at);
  EXPECT_EQ(ZoomsAsked().size(), 2u);
  // A short click steps once.
  bar.Tick = 5000;
  bar.MouseDown(plat::MouseButton::Left, 0, at);
  bar.MouseUp(plat::MouseButton::Left, 0, at);
  EXPECT_EQ(ZoomsAsked().back(), 120);  // from the document's 110 again
}

TEST_F(StatusBarTest, PanelTextsOfTheDocument) {
  site.Target = true;
  site.Amount = 500;
  ASSERT_TRUE(bar.UpdateStatusTexts());
  EXPECT_EQ(bar.Panel(13).Text, u"   0 of 500 words   ");
  EXPECT_EQ(bar.Panel(10).Text, u"");  // the document keeps no file open
  EXPECT_EQ(bar.Panel(18).Text, u"100%");
  EXPECT_EQ(bar.Panel(3).Text, u"Ins");
  EXPECT_EQ(bar.Panel(2).Text, u"");
  doc.Modified = 1;
  site.KeepsFile = true;
  site.Progress = 600;  // beyond the target: the amount itself
  bar.UpdateStatusTexts();
  EXPECT_EQ(bar.Panel(2).Text, u"Modified");
  EXPECT_EQ(bar.Panel(10).Text, u"12 345 bytes");
  EXPECT_EQ(bar.Panel(13).Text, u"   500 of 500 words   ");
  EXPECT_GE(bar.Panel(13).Width, bar.Panel(13).TextWidth + 2 * bar.Margin());
  // Without a document every text is cleared.
  site.Doc = nullptr;
  bar.UpdateStatusTexts();
  EXPECT_EQ(bar.Panel(18).Text, u"");
}

TEST_F(StatusBarTest, ProgressDrawsTwentyBlocksOfItsRange) {
  bar.SetMessage(TStatusBar::kProgress, u"Saving...");
  bar.SetProgressRange(0, 0);
  bar.SetProgressPos(10);
  EXPECT_EQ(bar.ProgressBlocks(), 0);  // an empty range draws no blocks
  bar.SetProgressRange(0, 200);
  bar.SetProgressPos(50);
  EXPECT_EQ(bar.ProgressBlocks(), 5);
  bar.SetProgressPos(900);  // clamped to the range
  EXPECT_EQ(bar.ProgressPos(), 200);
  EXPECT_EQ(bar.ProgressBlocks(), 20);
}

TEST_F(StatusBarTest, AClickOnAPanelRunsItsCommandOnlyWhenReleasedOnIt) {
  SetWidths(60);
  bar.UpdateHiddenForWidth();
  Handle(CommandRange::Edit);
  const plat::Rect insert = bar.PanelRect(3);
  const plat::Point at{insert.left + 2, insert.top + 2};
  bar.MouseMove(0, at);
  bar.MouseDown(plat::MouseButton::Left, 0, at);
  bar.MouseUp(plat::MouseButton::Left, 0, {bar.PanelRect(5).left + 2, at.y});  // released elsewhere
  EXPECT_TRUE(runs.empty());
  bar.MouseDown(plat::MouseButton::Left, 0, at);
  bar.MouseUp(plat::MouseButton::Left, 0, at);
  EXPECT_EQ(runs, std::vector<int32_t>{3720});
  EXPECT_EQ(bar.HintAt(at), u"Insert/Overwrite mode.\r\rClick to toggle.");
  // Without a document no panel reacts.
  site.Doc = nullptr;
  EXPECT_EQ(bar.PanelAt(at), TStatusBar::kNone);
}

}  // namespace
