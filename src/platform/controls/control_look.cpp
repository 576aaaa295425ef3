#include "platform/controls/control_look.h"

#include <array>
#include <cstdlib>

#include "platform/gfx/canvas.h"

namespace plat {
namespace {

int32_t g_scaleOverride = 0;

const std::array<Color, syscolor::Count>& SysColors() {
  static const std::array<Color, syscolor::Count> colours = [] {
    std::array<Color, syscolor::Count> a{};
    a.fill(Rgb(240, 240, 240));
    a[syscolor::ScrollBar] = Rgb(232, 232, 232);
    a[syscolor::Background] = Rgb(58, 110, 165);
    a[syscolor::ActiveCaption] = Rgb(0, 120, 215);
    a[syscolor::InactiveCaption] = Rgb(204, 204, 204);
    a[syscolor::Menu] = Rgb(250, 250, 250);
    a[syscolor::Window] = Rgb(255, 255, 255);
    a[syscolor::WindowFrame] = Rgb(100, 100, 100);
    a[syscolor::MenuText] = Rgb(0, 0, 0);
    a[syscolor::WindowText] = Rgb(0, 0, 0);
    a[syscolor::CaptionText] = Rgb(255, 255, 255);
    a[syscolor::ActiveBorder] = Rgb(180, 180, 180);
    a[syscolor::InactiveBorder] = Rgb(210, 210, 210);
    a[syscolor::AppWorkspace] = Rgb(171, 171, 171);
    a[syscolor::Highlight] = Rgb(0, 120, 215);
    a[syscolor::HighlightText] = Rgb(255, 255, 255);
    a[syscolor::BtnFace] = Rgb(240, 240, 240);
    a[syscolor::BtnShadow] = Rgb(160, 160, 160);
    a[syscolor::GrayText] = Rgb(130, 130, 130);
    a[syscolor::BtnText] = Rgb(0, 0, 0);
    a[syscolor::InactiveCaptionText] = Rgb(60, 60, 60);
    a[syscolor::BtnHighlight] = Rgb(255, 255, 255);
    a[syscolor::DkShadow3D] = Rgb(105, 105, 105);
    a[syscolor::Light3D] = Rgb(227, 227, 227);
    a[syscolor::InfoText] = Rgb(0, 0, 0);
    a[syscolor::InfoBk] = Rgb(255, 255, 225);
    a[syscolor::HotLight] = Rgb(0, 102, 204);
    a[syscolor::MenuHilight] = Rgb(0, 120, 215);
    a[syscolor::MenuBar] = Rgb(240, 240, 240);
    return a;
  }();
  return colours;
}

// Splits a caption into its plain text and the index of the underlined character (-1: none).
std::u16string StripMnemonic(const std::u16string& caption, int32_t* underline) {
  std::u16string out;
  int32_t u = -1;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) {
      ++i;
      if (caption[i] != u'&' && u < 0) u = int32_t(out.size());
    }
    out += caption[i];
  }
  if (underline) *underline = u;
  return out;
}

}  // namespace

Color SysColor(int32_t index) {
  if (index < 0 || index >= syscolor::Count) return 0;
  return SysColors()[size_t(index)];
}

Color ResolveColor(uint32_t c) {
  if (c & syscolor::Bit) return SysColor(int32_t(c & 0xFF));
  return c & 0x00FFFFFF;
}

const LookColors& Look() {
  static const LookColors look{
      SysColor(syscolor::BtnFace),  SysColor(syscolor::Window),    SysColor(syscolor::WindowText),
      SysColor(syscolor::GrayText), Rgb(173, 173, 173),            Rgb(0, 120, 215),
      Rgb(0, 120, 215),             SysColor(syscolor::Highlight), SysColor(syscolor::HighlightText),
      Rgb(225, 225, 225),           Rgb(204, 228, 247),            Rgb(229, 241, 251),
      Rgb(32, 32, 32)};
  return look;
}

const Font& InterfaceFont() {
  // The character height whose cell is 13 pixels high in the face fontconfig picks, which is
  // what the design sizes are made for (11 pixels in most sans faces).
  static const Font f = [] {
    Font best(LogFont{"sans-serif", -11});
    for (int32_t em : {-11, -10, -12, -9}) {
      Font candidate(LogFont{"sans-serif", em});
      int32_t h = candidate.Metrics().Height;
      if (h == 13) return candidate;
      if (std::abs(h - 13) < std::abs(best.Metrics().Height - 13)) best = candidate;
    }
    return best;
  }();
  return f;
}

int32_t InterfaceFontHeight() {
  static const int32_t h = [] {
    Canvas measure;
    measure.SetFont(InterfaceFont());
    return measure.TextExtent(std::u16string_view(u"A")).cy;
  }();
  return h;
}

int32_t InterfaceScale() { return g_scaleOverride > 0 ? g_scaleOverride : InterfaceFontHeight(); }
void SetInterfaceScaleForTests(int32_t scale) { g_scaleOverride = scale; }

void DrawFrame(Canvas& c, const Rect& r, Color colour) { c.FrameRect(r, colour); }

void DrawFocusFrame(Canvas& c, const Rect& r) {
  c.SaveState();
  c.SetPen(Pen{PenStyle::Dot, 1, Look().Text});
  c.SetBrush(Brush{BrushStyle::Null, 0});
  c.Rectangle(r);
  c.RestoreState();
}

int32_t CaptionWidth(const Font& f, const std::u16string& caption) {
  return f.TextWidth(StripMnemonic(caption, nullptr));
}

void DrawCaption(Canvas& c, const Rect& r, const std::u16string& caption, Color colour,
                 TextAlign align, bool mnemonics) {
  int32_t u = -1;
  std::u16string text = mnemonics ? StripMnemonic(caption, &u) : caption;
  const Font& f = c.GetFont();
  int32_t w = f.TextWidth(text);
  int32_t h = f.Metrics().Height;
  int32_t x = r.left;
  if (align == TextAlign::Center) x = r.left + (r.Width() - w) / 2;
  if (align == TextAlign::Right) x = r.right - w;
  int32_t y = r.top + (r.Height() - h) / 2;
  c.SaveState();
  c.IntersectClipRect(r);
  c.SetBkMode(BkMode::Transparent);
  c.SetTextColor(colour);
  c.SetTextAlign(align::Left | align::Top);
  c.TextOut(x, y, std::u16string_view(text));
  if (u >= 0) {
    int32_t ux = x + f.TextWidth(std::u16string_view(text).substr(0, size_t(u)));
    int32_t uw = f.CharAdvance(text[size_t(u)]);
    int32_t uy = y + f.Metrics().Ascent + 1;
    c.FillRect({ux, uy, ux + uw, uy + 1}, colour);
  }
  c.RestoreState();
}

void DrawCheckMark(Canvas& c, const Rect& r, Color colour) {
  int32_t w = r.Width(), h = r.Height();
  Point pts[] = {{r.left + w * 2 / 10, r.top + h * 5 / 10},
                 {r.left + w * 4 / 10, r.top + h * 7 / 10},
                 {r.left + w * 8 / 10, r.top + h * 3 / 10}};
  c.SaveState();
  c.SetPen(Pen{PenStyle::Solid, 2, colour});
  c.Polyline(pts);
  c.RestoreState();
}

void DrawDownArrow(Canvas& c, const Rect& r, Color colour) {
  int32_t cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  Point pts[] = {{cx - 4, cy - 2}, {cx + 4, cy - 2}, {cx, cy + 2}};
  c.SaveState();
  c.SetPen(Pen{PenStyle::Solid, 1, colour});
  c.SetBrush(Brush{BrushStyle::Solid, colour});
  c.Polygon(pts);
  c.RestoreState();
}

void WrapAtSpaces(const std::u16string& para, int32_t limit,
                  const std::function<int32_t(const std::u16string&)>& width, std::vector<std::u16string>& out) {
  std::u16string line;
  size_t i = 0;
  while (i <= para.size()) {
    size_t end = para.find(u' ', i);
    if (end == std::u16string::npos) end = para.size();
    std::u16string word = para.substr(i, end - i);
    std::u16string trial = line.empty() ? word : line + u' ' + word;
    if (!line.empty() && width(trial) > limit) {
      out.push_back(line);
      line = word;
    } else {
      line = trial;
    }
    i = end + 1;
  }
  out.push_back(line);
}

}  // namespace plat
