#pragma once
// The look of the controls: a flat, clean style in the interface colours, with text in the
// interface font (a sans-serif face from fontconfig whose cell is 13 pixels high at the
// standard setting).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/gfx/font.h"
#include "platform/gfx/types.h"

namespace plat {

class Canvas;

// Interface colours. A colour with the high bit set (0x80000000 | index) names one of them; the
// indexes are the ones the system's code quotes (clInfoBk is 0x80000018).
namespace syscolor {
constexpr uint32_t Bit = 0x80000000u;
constexpr int32_t ScrollBar = 0, Background = 1, ActiveCaption = 2, InactiveCaption = 3, Menu = 4,
                  Window = 5, WindowFrame = 6, MenuText = 7, WindowText = 8, CaptionText = 9,
                  ActiveBorder = 10, InactiveBorder = 11, AppWorkspace = 12, Highlight = 13,
                  HighlightText = 14, BtnFace = 15, BtnShadow = 16, GrayText = 17, BtnText = 18,
                  InactiveCaptionText = 19, BtnHighlight = 20, DkShadow3D = 21, Light3D = 22,
                  InfoText = 23, InfoBk = 24, HotLight = 26, MenuHilight = 29, MenuBar = 30;
constexpr int32_t Count = 31;
}  // namespace syscolor
constexpr uint32_t clInfoBk = syscolor::Bit | syscolor::InfoBk;
constexpr uint32_t clBtnFace = syscolor::Bit | syscolor::BtnFace;
constexpr uint32_t clWindow = syscolor::Bit | syscolor::Window;
constexpr uint32_t clWindowText = syscolor::Bit | syscolor::WindowText;
constexpr uint32_t clHighlight = syscolor::Bit | syscolor::Highlight;
constexpr uint32_t clHighlightText = syscolor::Bit | syscolor::HighlightText;

// The colour of an interface colour index.
Color SysColor(int32_t index);
// A colour as drawn: interface colours (high bit set) resolved, others unchanged.
Color ResolveColor(uint32_t c);

// The named colours of the look.
struct LookColors {
  Color Face;           // form and button background
  Color Window;         // edit and list background
  Color Text;
  Color GrayText;       // disabled text
  Color Border;         // control frames
  Color BorderHot;      // frame under the mouse
  Color Focus;          // focus frame and selected frames
  Color Highlight;      // selected items
  Color HighlightText;
  Color ButtonFace;
  Color ButtonPressed;
  Color ButtonHot;
  Color Check;          // check marks and radio dots
};
const LookColors& Look();

// The interface font (sans-serif) and the height in pixels of its "A" cell.
const Font& InterfaceFont();
int32_t InterfaceFontHeight();
// The interface scale: InterfaceFontHeight(); an integer a test may set (0 restores it).
int32_t InterfaceScale();
void SetInterfaceScaleForTests(int32_t scale);

// Drawing helpers of the look.
void DrawFrame(Canvas& c, const Rect& r, Color colour);
void DrawFocusFrame(Canvas& c, const Rect& r);
// Text with its "&" mnemonic underlined (a doubled "&&" draws one "&"), vertically centred in r.
enum class TextAlign { Left, Center, Right };
void DrawCaption(Canvas& c, const Rect& r, const std::u16string& caption, Color colour,
                 TextAlign align = TextAlign::Left, bool mnemonics = true);
// Width of a caption without its "&" marks.
int32_t CaptionWidth(const Font& f, const std::u16string& caption);
// Breaks one paragraph at spaces into lines that each fit limit as width measures them (a word
// wider than the limit stands on its own line) and appends them to out.
void WrapAtSpaces(const std::u16string& para, int32_t limit,
                  const std::function<int32_t(const std::u16string&)>& width, std::vector<std::u16string>& out);
// A small check mark inside r.
void DrawCheckMark(Canvas& c, const Rect& r, Color colour);
// A down-pointing arrow head centred in r.
void DrawDownArrow(Canvas& c, const Rect& r, Color colour);

}  // namespace plat
