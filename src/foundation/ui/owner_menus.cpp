#include "foundation/ui/owner_menus.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "foundation/base/units.h"
#include "foundation/graphics/draw_helpers.h"
#include "foundation/ui/interface_scale.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/bitmap.h"

namespace qv {
namespace {

// The shortcut text ends this many pixels before the item's right edge.
constexpr int32_t kShortCutRightGap = 20;
// The system's keyboard cues (underlined mnemonics on the menu bar before Alt is pressed) are
// off, as on a default desktop.
constexpr bool kKeyboardCues = false;

// A caption as drawn: "&x" shows x (the mnemonic, its index in `underline`), "&&" shows "&".
std::u16string PlainCaption(std::u16string_view caption, int32_t* underline = nullptr) {
  std::u16string text;
  if (underline) *underline = -1;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != u'&' && underline && *underline < 0) *underline = int32_t(text.size());
    } else if (caption[i] == u'&') {
      continue;  // a lone "&" at the end shows nothing
    }
    text += caption[i];
  }
  return text;
}

int32_t MenuCaptionWidth(const plat::Font& font, std::u16string_view caption) {
  return font.TextWidth(PlainCaption(caption));
}

// The label before the first tab and the shortcut text after it; has = a tab was found.
struct TCaptionParts {
  std::u16string_view label, shortcut;
  bool has = false;
};
TCaptionParts SplitCaption(const std::u16string& caption) {
  size_t tab = caption.find(u'\t');
  if (tab == std::u16string::npos) return {caption, {}, false};
  std::u16string_view all(caption);
  return {all.substr(0, tab), all.substr(tab + 1), true};
}

// Draws a caption part with its top-left at (x, y), the mnemonic underlined unless hidden.
void DrawCaptionPart(plat::Canvas& c, int32_t x, int32_t y, std::u16string_view caption,
                     plat::Color colour, bool hidePrefix) {
  int32_t u = -1;
  std::u16string text = PlainCaption(caption, &u);
  const plat::Font& f = c.GetFont();
  c.SetBkMode(plat::BkMode::Transparent);
  c.SetTextColor(colour);
  c.SetTextAlign(plat::align::Left | plat::align::Top);
  c.TextOut(x, y, std::u16string_view(text));
  if (u < 0 || hidePrefix) return;
  int32_t ux = x + f.TextWidth(std::u16string_view(text).substr(0, size_t(u)));
  int32_t uy = y + f.Metrics().Ascent + 1;
  c.FillRect({ux, uy, ux + f.CharAdvance(text[size_t(u)]), uy + 1}, colour);
}

plat::Color Darkened(plat::Color c) {
  return plat::Rgb(uint8_t(plat::RedOf(c) * 8 / 10), uint8_t(plat::GreenOf(c) * 8 / 10),
                   uint8_t(plat::BlueOf(c) * 8 / 10));
}

// "Marlett" at 12 points, in the symbol character set.
plat::Font MarlettFont() {
  plat::LogFont lf;
  lf.FaceName = "Marlett";
  lf.Height = -MulDiv(12, ScreenPixelsPerInch(), 72);
  lf.CharSet = plat::charset::Symbol;
  return plat::Font(lf);
}

// The em square of the marks, and the scale of the vector shapes that stand in for the glyphs
// (drawn for a 16-pixel em).
int32_t MarkCell() { return MulDiv(12, ScreenPixelsPerInch(), 72); }
int32_t MarkScale() { return std::max(1, MarkCell() / 16); }

// A Marlett glyph with its cell's top-left at (x, y), transparent.
void DrawMarlett(plat::Canvas& c, int32_t x, int32_t y, char glyph, plat::Color colour) {
  c.SaveState();
  c.SetFont(MarlettFont());
  c.SetBkMode(plat::BkMode::Transparent);
  c.SetTextColor(colour);
  c.SetTextAlign(plat::align::Left | plat::align::Top);
  c.TextOut(x, y, std::string_view(&glyph, 1));
  c.RestoreState();
}

plat::Size MarlettExtent(char glyph) {
  plat::Canvas measure;
  measure.SetFont(MarlettFont());
  return measure.TextExtent(std::string_view(&glyph, 1));
}

// Columns of a 7 x 7 check mark: the first ink row of each column; each column is 3 rows high.
constexpr int32_t kCheckTops[7] = {2, 3, 4, 3, 2, 1, 0};

void VectorCheck(plat::Canvas& c, int32_t cellX, int32_t cellY, plat::Color colour) {
  int32_t k = MarkScale(), cell = MarkCell();
  int32_t x0 = cellX + (cell - 7 * k) / 2, y0 = cellY + (cell - 7 * k) / 2;
  for (int32_t i = 0; i < 7; ++i) {
    c.FillRect({x0 + i * k, y0 + kCheckTops[i] * k, x0 + (i + 1) * k, y0 + (kCheckTops[i] + 3) * k},
               colour);
  }
}

// A right-pointing triangle 4 columns wide and 7 rows high.
void VectorArrow(plat::Canvas& c, int32_t cellX, int32_t cellY, plat::Color colour) {
  int32_t k = MarkScale(), cell = MarkCell();
  int32_t x0 = cellX + (cell - 4 * k) / 2, y0 = cellY + (cell - 7 * k) / 2;
  for (int32_t i = 0; i < 4; ++i) {
    c.FillRect({x0 + i * k, y0 + i * k, x0 + (i + 1) * k, y0 + (7 - i) * k}, colour);
  }
}

// An item's size before its own measure handler sees it: a separator's fixed height, or the
// glyph column (wider for toolbar images, none on the menu bar without one) plus the caption
// (label and shortcut text apart, with the gap between them) and the margins.
void MeasureDefault(plat::MenuItem& item, int32_t& width, bool topLevel, int32_t& height) {
  if (item.IsSeparator()) {
    height = ScaleUI(8);
    width = -2;
    return;
  }
  plat::Font font = MenuFont(item.Default);
  height = MenuItemHeight();
  if (topLevel && item.ImageIndex < 0 && item.GlyphIndex < 0) {
    width = -7;  // no glyph column on the menu bar
  } else {
    width = MulDiv(item.ImageIndex >= 0 ? 24 : 16, ScreenPixelsPerInch(), 96) + 2;
    if (!topLevel) width += ScaleUI(15);
  }
  if (topLevel) {
    width += MenuCaptionWidth(font, item.Caption) + ScaleUI(7);
    return;
  }
  height += 1;
  TCaptionParts parts = SplitCaption(item.Caption);
  if (parts.has) {
    width += MenuCaptionWidth(font, parts.label) + MenuCaptionWidth(font, parts.shortcut) + 15;
  } else {
    width += MenuCaptionWidth(font, item.Caption);
  }
  width += ScaleUI(7);
}

void PrepareCanvas(plat::MenuItem& item, plat::Canvas& c, uint32_t state) {
  TMenuItemColors colours = MenuItemColors(item, state);
  c.SetFont(MenuFont(item.Default));
  c.SetTextColor(colours.Text);
  c.SetBkColor(colours.Background);
  c.SetBrush({plat::BrushStyle::Solid, colours.Background});
}

// The glyph column: draws the item's image, glyph or check mark and returns the
// box the text rectangle starts after.
plat::Rect DrawGlyphColumn(plat::MenuItem& item, plat::Canvas& c, const plat::Rect& rect,
                           bool topLevel, const TMenuItemColors& colours) {
  plat::Rect box;
  box.left = rect.left + ScaleUI(2);
  box.top = rect.top + 1;
  box.right = box.left + (item.Caption.empty() ? rect.Height() - 3 : MenuItemHeight() - 2);
  box.bottom = box.top + rect.Height() - 3;
  if (item.IsSeparator()) {
    box.left = rect.left;
    box.right = box.left - 4;
  }
  bool checked = item.Checked();
  bool hasGlyph = item.ImageIndex >= 0 || item.GlyphIndex >= 0 || checked;
  int32_t shift = checked ? 1 : 0;
  TMenuServices& services = MenuServices();
  if (item.ImageIndex >= 0) {
    const plat::Bitmap* strip = services.ToolbarImages();
    int32_t s = services.ToolbarImageSize();
    if (!strip) {
      plat::Menu* menu = item.OwnerMenu();
      strip = menu ? menu->Images : nullptr;
      s = menu ? menu->ImageSize : s;
    }
    if (strip && s > 0 && int64_t(item.ImageIndex + 1) * s <= strip->Width()) {
      int32_t x = (box.left + box.right - s) / 2 + shift, y = (box.top + box.bottom - s) / 2 + shift;
      c.DrawBitmap(x, y, *strip, {item.ImageIndex * s, 0, item.ImageIndex * s + s, s});
    }
  } else if (item.GlyphIndex >= 0) {
    plat::Size g = services.SharedGlyphSize();
    if (g.cx > 0 && g.cy > 0) {
      plat::Point at{(box.left + box.right - g.cx) / 2 + shift, (box.top + box.bottom - g.cy) / 2 + shift};
      services.DrawSharedGlyph(c, item.GlyphIndex, at, colours.Background);
    }
  } else if (checked) {
    DrawMenuCheckMark(c, box, colours.Text);
  }
  if (checked) {
    box.right -= 1;
    box.bottom -= 1;
  }
  if (topLevel && !hasGlyph) {
    box.right = box.left;
    box.bottom = box.top;
  }
  return {box.left - 1, box.top - 1, box.right + 2, box.bottom + 2};
}

// The caption column: the caption (label and shortcut text), or a separator's line, and the submenu arrow.
void DrawCaptionColumn(plat::MenuItem& item, plat::Canvas& c, const plat::Rect& rect,
                       const plat::Rect& box, bool topLevel, uint32_t state,
                       const TMenuItemColors& colours) {
  plat::Rect r = rect;
  if (topLevel) {
    if (state & plat::ODS_SELECTED) {
      DrawFrame3D(c, rect, EtchShadowColor, EtchHighlightColor);
    } else {
      r.top -= 1;
      r.bottom -= 1;
    }
  }
  plat::Rect text{box.right + 2 + (topLevel ? 0 : 2), r.top, r.right - 1, r.bottom};
  if (item.IsSeparator()) {
    DrawEtchedLine(c, text.left, text.right, rect.top + ScaleUI(4));
    return;
  }
  bool hidePrefix = topLevel && (state & plat::ODS_NOACCEL) && !kKeyboardCues;
  const plat::Font& font = c.GetFont();
  int32_t y = text.top + (text.Height() - font.Metrics().Height) / 2;
  c.SaveState();
  c.IntersectClipRect(rect);
  TCaptionParts parts = SplitCaption(item.Caption);
  DrawCaptionPart(c, text.left, y, parts.label, colours.Text, hidePrefix);
  if (parts.has) {
    int32_t right = rect.right - kShortCutRightGap;
    DrawCaptionPart(c, right - MenuCaptionWidth(font, parts.shortcut), y, parts.shortcut, colours.Text,
                    hidePrefix);
  }
  c.RestoreState();
  if (!topLevel && item.HasSubItems()) DrawSubmenuArrow(c, rect.right, rect.top, rect.bottom, colours.Text);
}

}  // namespace

bool IsTopLevelMenuItem(const plat::MenuItem& item) {
  const plat::MenuItem* parent = item.Parent();
  return parent && !parent->Parent() && dynamic_cast<const plat::MainMenu*>(item.OwnerMenu());
}

int32_t MenuItemHeight() { return ScaleUI(19); }

plat::Font MenuFont(bool bold) {
  plat::LogFont lf = plat::InterfaceFont().Log();
  if (bold) lf.Weight = 700;
  return plat::Font(lf);
}

TMenuItemColors MenuItemColors(const plat::MenuItem& item, uint32_t state) {
  TMenuColors m = MenuServices().MenuColors();
  bool highlighted = (state & (plat::ODS_SELECTED | plat::ODS_HOTLIGHT)) && item.Enabled;
  if (highlighted) return {m.Highlight, m.HighlightText};
  if (item.Checked() && (item.ImageIndex >= 0 || item.OnDrawItem)) {
    return {Darkened(m.Highlight), m.HighlightText};
  }
  return {m.Background, item.Enabled ? m.Text : m.DisabledText};
}

void MeasureMenuItem(plat::MenuItem& item, plat::Canvas& canvas, int32_t& width, bool topLevel,
                     int32_t& height) {
  MeasureDefault(item, width, topLevel, height);
  if (item.OnMeasureItem) item.OnMeasureItem(item, canvas, width, height);
}

void DrawMenuItem(plat::MenuItem& item, plat::Canvas& canvas, const plat::Rect& rect, bool topLevel,
                  uint32_t state) {
  canvas.SaveState();
  PrepareCanvas(item, canvas, state);
  if (item.OnDrawItem) {
    item.OnDrawItem(item, canvas, rect, state);
    canvas.RestoreState();
    return;
  }
  TMenuItemColors colours = MenuItemColors(item, state);
  canvas.FillRect(rect, colours.Background);
  plat::Rect box = DrawGlyphColumn(item, canvas, rect, topLevel, colours);
  if (!item.Caption.empty()) DrawCaptionColumn(item, canvas, rect, box, topLevel, state, colours);
  canvas.RestoreState();
}

void OwnerDrawMenuItem(plat::MenuItem& item, plat::Canvas& canvas, const plat::Rect& rect,
                       uint32_t state) {
  DrawMenuItem(item, canvas, rect, IsTopLevelMenuItem(item), state);
}

void OwnerMeasureMenuItem(plat::MenuItem& item, plat::Canvas& canvas, int32_t& width,
                          int32_t& height) {
  MeasureMenuItem(item, canvas, width, IsTopLevelMenuItem(item), height);
}

void SetMenuItemDrawHandler(plat::MenuItem& item, TMenuItemDrawHandler handler) {
  if (!handler) {
    item.OnDrawItem = nullptr;
    return;
  }
  item.OnDrawItem = [handler = std::move(handler)](plat::MenuItem& it, plat::Canvas& c,
                                                   const plat::Rect& r, uint32_t state) {
    c.SaveState();
    PrepareCanvas(it, c, state);
    handler(it, c, r, (state & plat::ODS_SELECTED) != 0);
    c.RestoreState();
  };
}

void SetMenuItemMeasureHandler(plat::MenuItem& item, TMenuItemMeasureHandler handler) {
  if (!handler) {
    item.OnMeasureItem = nullptr;
    return;
  }
  item.OnMeasureItem = [handler = std::move(handler)](plat::MenuItem& it, plat::Canvas& c,
                                                      int32_t& w, int32_t& h) {
    MeasureDefault(it, w, IsTopLevelMenuItem(it), h);
    handler(it, c, w, h);
  };
}

bool MarlettInstalled() { return !MarlettFont().Substituted(); }

void DrawMenuCheckMark(plat::Canvas& canvas, const plat::Rect& box, plat::Color colour) {
  if (MarlettInstalled()) {
    plat::Size ext = MarlettExtent('a');
    DrawMarlett(canvas, (box.left + box.right - ext.cx) / 2 + 1, (box.top + box.bottom - ext.cy) / 2 + 1,
                'a', colour);
    return;
  }
  int32_t cell = MarkCell();
  VectorCheck(canvas, (box.left + box.right - cell) / 2 + 1, (box.top + box.bottom - cell) / 2 + 1,
              colour);
}

void DrawSubmenuArrow(plat::Canvas& canvas, int32_t right, int32_t top, int32_t bottom,
                      plat::Color colour) {
  if (MarlettInstalled()) {
    plat::Size ext = MarlettExtent('8');
    DrawMarlett(canvas, right - ext.cx, top + (bottom - top - ext.cy) / 2, '8', colour);
    return;
  }
  int32_t cell = MarkCell();
  VectorArrow(canvas, right - cell, top + (bottom - top - cell) / 2, colour);
}

}  // namespace qv
