#include "foundation/ui/owner_menus.h"

#include <gtest/gtest.h>

#include <vector>

#include "foundation/base/service_slot.h"
#include "foundation/base/units.h"
#include "foundation/graphics/draw_helpers.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"
#include "platform/win/window_system.h"

using namespace qv;

namespace {

constexpr plat::Color kWhite = 0xFFFFFF, kBlack = 0, kGray = 0x808080;
constexpr plat::Color kHighlight = plat::Rgb(0, 0, 200), kDarkHighlight = plat::Rgb(0, 0, 160);
constexpr plat::Color kRed = plat::Rgb(255, 0, 0), kGreen = plat::Rgb(0, 255, 0);

// Fixed menu colours, a strip of two 16-pixel images (green, red) and 8-pixel shared glyphs.
class FakeMenuLook : public TMenuServices {
 public:
  FakeMenuLook() : strip(32, 16) {
    strip.FillRect({0, 0, 16, 16}, kGreen);
    strip.FillRect({16, 0, 32, 16}, kRed);
  }
  TMenuColors MenuColors() override { return {kWhite, kBlack, kGray, kHighlight, kWhite}; }
  const plat::Bitmap* ToolbarImages() override { return &strip; }
  int32_t ToolbarImageSize() override { return 16; }
  plat::Size SharedGlyphSize() override { return {8, 8}; }
  void DrawSharedGlyph(plat::Canvas&, int32_t index, plat::Point at, plat::Color bk) override {
    glyphs.push_back({index, at, bk});
  }
  struct Glyph {
    int32_t index;
    plat::Point at;
    plat::Color background;
  };
  plat::Bitmap strip;
  std::vector<Glyph> glyphs;
};

class OwnerMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::StartWindowSystem({plat::BackendKind::Headless, true});
    plat::SetInterfaceScaleForTests(13);
    SetScreenPixelsPerInchForTests(96);
  }
  void TearDown() override {
    SetScreenPixelsPerInchForTests(0);
    plat::SetInterfaceScaleForTests(0);
    plat::StopWindowSystem();
  }
  // Draws the item into a fresh white 200 x 20 bitmap.
  void Draw(plat::MenuItem& item, uint32_t state, bool topLevel = false) {
    bitmap = plat::Bitmap(200, 20);
    plat::Canvas c(bitmap);
    c.FillRect({0, 0, 200, 20}, kWhite);
    DrawMenuItem(item, c, {0, 0, 200, 20}, topLevel, state);
    c.Flush();
  }
  plat::Color At(int32_t x, int32_t y) const { return bitmap.GetPixel(x, y); }
  // The rightmost column with a pixel other than the background in [from, to); -1 when none.
  int32_t RightmostInk(int32_t from, int32_t to, plat::Color background) const {
    for (int32_t x = to - 1; x >= from; --x) {
      for (int32_t y = 0; y < bitmap.Height(); ++y) {
        if (At(x, y) != background) return x;
      }
    }
    return -1;
  }

  ScopedService<TMenuServices, FakeMenuLook> look;
  plat::Bitmap bitmap;
};

TEST_F(OwnerMenus, ItemSizes) {
  plat::PopupMenu popup;
  plat::MainMenu bar;
  const plat::Font font = MenuFont(), bold = MenuFont(true);
  auto tw = [&](const plat::Font& f, const char16_t* s) { return f.TextWidth(std::u16string(s)); };
  plat::MenuItem& open = popup.Items().Add(u"&Open\tCtrl+O", 1);
  plat::MenuItem& plain = popup.Items().Add(u"&Save", 2);
  plat::MenuItem& image = popup.Items().Add(u"Save &As...", 3);
  image.ImageIndex = 0;
  plat::MenuItem& deflt = popup.Items().Add(u"&Paste", 4);
  deflt.Default = true;
  plat::MenuItem& sep = popup.Items().Add(u"-");
  plat::MenuItem& file = bar.Items().Add(u"&File");
  plat::MenuItem& tools = bar.Items().Add(u"&Tools");
  tools.ImageIndex = 1;
  struct Case {
    plat::MenuItem* item;
    int32_t width, height;
  } cases[] = {
      {&open, 18 + 15 + tw(font, u"Open") + tw(font, u"Ctrl+O") + 15 + 7, 20},
      {&plain, 18 + 15 + tw(font, u"Save") + 7, 20},
      {&image, 26 + 15 + tw(font, u"Save As...") + 7, 20},
      {&deflt, 18 + 15 + tw(bold, u"Paste") + 7, 20},
      {&sep, -2, 8},
      {&file, -7 + tw(font, u"File") + 7, 19},  // no glyph column on the bar
      {&tools, 26 + tw(font, u"Tools") + 7, 19},
  };
  plat::Canvas measure;
  for (const Case& c : cases) {
    int32_t w = 0, h = 0;
    OwnerMeasureMenuItem(*c.item, measure, w, h);
    EXPECT_EQ(w, c.width) << std::string(c.item->Caption.begin(), c.item->Caption.end());
    EXPECT_EQ(h, c.height) << std::string(c.item->Caption.begin(), c.item->Caption.end());
  }
  EXPECT_TRUE(IsTopLevelMenuItem(file));
  EXPECT_FALSE(IsTopLevelMenuItem(open));

  // The image column follows the screen's resolution, the heights the interface scale.
  SetScreenPixelsPerInchForTests(144);
  plat::SetInterfaceScaleForTests(26);
  int32_t w = 0, h = 0;
  OwnerMeasureMenuItem(image, measure, w, h);
  EXPECT_EQ(w, 36 + 2 + 30 + tw(MenuFont(), u"Save As...") + 14);
  EXPECT_EQ(h, 39);
  OwnerMeasureMenuItem(sep, measure, w, h);
  EXPECT_EQ(h, 16);

  // An item's own measuring adjusts the measured size.
  SetScreenPixelsPerInchForTests(96);
  plat::SetInterfaceScaleForTests(13);
  SetMenuItemMeasureHandler(plain, [](plat::MenuItem&, plat::Canvas&, int32_t& cw, int32_t& ch) {
    cw += 10;
    ch = 30;
  });
  OwnerMeasureMenuItem(plain, measure, w, h);
  EXPECT_EQ(w, 18 + 15 + tw(font, u"Save") + 7 + 10);
  EXPECT_EQ(h, 30);
}

TEST_F(OwnerMenus, ColoursByState) {
  plat::PopupMenu popup;
  plat::MenuItem& item = popup.Items().Add(u"&Item", 1);
  struct Case {
    bool enabled, checked;
    int32_t image;
    uint32_t state;
    plat::Color background, text;
  } cases[] = {
      {true, false, -1, 0, kWhite, kBlack},
      {false, false, -1, 0, kWhite, kGray},
      {true, false, -1, plat::ODS_SELECTED, kHighlight, kWhite},
      {true, false, -1, plat::ODS_HOTLIGHT, kHighlight, kWhite},
      {false, false, -1, plat::ODS_SELECTED, kWhite, kGray},  // a disabled item is not highlighted
      {true, true, -1, 0, kWhite, kBlack},
      {true, true, 0, 0, kDarkHighlight, kWhite},  // checked with an image: darkened highlight
      {true, true, 0, plat::ODS_SELECTED, kHighlight, kWhite},
  };
  for (const Case& c : cases) {
    item.Enabled = c.enabled;
    item.SetChecked(c.checked);
    item.ImageIndex = c.image;
    TMenuItemColors colours = MenuItemColors(item, c.state);
    EXPECT_EQ(colours.Background, c.background) << c.enabled << c.checked << c.image << c.state;
    EXPECT_EQ(colours.Text, c.text) << c.enabled << c.checked << c.image << c.state;
  }
}

TEST_F(OwnerMenus, CheckMarksImagesAndGlyphs) {
  plat::PopupMenu popup;
  plat::MenuItem& item = popup.Items().Add(u"&Ruler", 1);
  item.SetChecked(true);
  Draw(item, 0);
  EXPECT_EQ(At(150, 10), kWhite);
  // The glyph box is (2, 1)-(19, 18); the mark's 16-pixel cell is centred in it plus one
  // pixel, and the vector mark is centred in the cell.
  if (!MarlettInstalled()) {
    EXPECT_EQ(At(7, 9), kBlack);   // first column, rows 8 to 10
    EXPECT_EQ(At(7, 7), kWhite);
    EXPECT_EQ(At(13, 6), kBlack);  // last column, rows 6 to 8
    EXPECT_EQ(At(13, 10), kWhite);
  } else {
    EXPECT_NE(RightmostInk(2, 19, kWhite), -1);
  }
  Draw(item, plat::ODS_SELECTED);
  EXPECT_EQ(At(150, 10), kHighlight);

  // An image replaces the check mark; checked, it moves one pixel right and down and the item
  // shows on the darkened highlight.
  item.ImageIndex = 1;
  Draw(item, 0);
  EXPECT_EQ(At(150, 10), kDarkHighlight);
  EXPECT_EQ(At(3, 2), kRed);
  EXPECT_EQ(At(18, 17), kRed);
  EXPECT_EQ(At(2, 1), kDarkHighlight);
  item.SetChecked(false);
  Draw(item, 0);
  EXPECT_EQ(At(2, 1), kRed);
  EXPECT_EQ(At(17, 16), kRed);
  EXPECT_EQ(At(18, 17), kWhite);
  // An image index beyond the strip draws nothing.
  item.ImageIndex = 5;
  Draw(item, 0);
  EXPECT_EQ(At(10, 9), kWhite);

  // A shared glyph is centred in the box on the item's background.
  item.ImageIndex = -1;
  item.GlyphIndex = 3;
  Draw(item, plat::ODS_SELECTED);
  ASSERT_EQ(look->glyphs.size(), 1u);
  EXPECT_EQ(look->glyphs[0].index, 3);
  EXPECT_EQ(look->glyphs[0].at, (plat::Point{6, 5}));
  EXPECT_EQ(look->glyphs[0].background, kHighlight);
}

TEST_F(OwnerMenus, ShortCutTextArrowsAndSeparators) {
  plat::PopupMenu popup;
  plat::MenuItem& open = popup.Items().Add(u"&Open\tCtrl+O", 1);
  Draw(open, 0);
  // The shortcut text ends 20 pixels before the right edge.
  int32_t right = RightmostInk(100, 200, kWhite);
  EXPECT_LT(right, 180);
  EXPECT_GE(right, 175);
  // The label starts after the glyph column: box right 19, grown by 2, plus 4.
  EXPECT_EQ(RightmostInk(0, 25, kWhite), -1);
  EXPECT_NE(RightmostInk(25, 40, kWhite), -1);

  plat::MenuItem& recent = popup.Items().Add(u"&Recent", 2);
  recent.Add(u"a.rtf", 3);
  Draw(recent, 0);
  if (!MarlettInstalled()) {
    // The arrow's 16-pixel cell ends at the right edge, centred vertically: a triangle four
    // columns wide from x = 190, seven rows high from y = 6.
    EXPECT_EQ(At(190, 6), kBlack);
    EXPECT_EQ(At(190, 12), kBlack);
    EXPECT_EQ(At(190, 13), kWhite);
    EXPECT_EQ(At(193, 9), kBlack);
    EXPECT_EQ(At(193, 8), kWhite);
    EXPECT_EQ(At(194, 9), kWhite);
  } else {
    EXPECT_NE(RightmostInk(180, 200, kWhite), -1);
  }

  // A separator is an etched line 4 pixels below its top across the text rectangle.
  plat::MenuItem& sep = popup.Items().Add(u"-");
  Draw(sep, 0);
  EXPECT_EQ(At(2, 4), EtchShadowColor);
  EXPECT_EQ(At(198, 4), EtchShadowColor);
  EXPECT_EQ(At(1, 4), kWhite);
  EXPECT_EQ(At(100, 3), kWhite);
}

TEST_F(OwnerMenus, TopLevelItemsAndOwnDrawing) {
  plat::MainMenu bar;
  plat::MenuItem& file = bar.Items().Add(u"&File", 1);
  Draw(file, plat::ODS_SELECTED, true);
  // A selected item of the bar is framed by a sunken edge.
  EXPECT_EQ(At(0, 10), EtchShadowColor);
  EXPECT_EQ(At(100, 0), EtchShadowColor);
  EXPECT_EQ(At(199, 10), EtchHighlightColor);
  EXPECT_EQ(At(100, 10), kHighlight);

  // An item's own drawing runs with the colours chosen: checked with a handler, the darkened
  // highlight.
  plat::PopupMenu popup;
  plat::MenuItem& cell = popup.Items().Add(u"?", 16120);
  cell.SetChecked(true);
  std::vector<bool> selected;
  plat::Color background = 0, text = 0;
  SetMenuItemDrawHandler(cell, [&](plat::MenuItem&, plat::Canvas& c, const plat::Rect& r, bool sel) {
    selected.push_back(sel);
    background = c.BkColor();
    text = c.TextColor();
    c.FillRect(r, c.BkColor());
  });
  Draw(cell, 0);
  Draw(cell, plat::ODS_SELECTED);
  EXPECT_EQ(selected, (std::vector<bool>{false, true}));
  EXPECT_EQ(background, kHighlight);
  EXPECT_EQ(text, kWhite);
  EXPECT_EQ(At(100, 10), kHighlight);
  Draw(cell, 0);
  EXPECT_EQ(At(100, 10), kDarkHighlight);
}

}  // namespace
