#include "platform/controls/hint_window.h"

#include <algorithm>

#include "platform/controls/control.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {

constexpr int32_t kPadX = 4, kPadY = 2;

std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> out(1);
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t ch = text[i];
    if (ch == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
      out.emplace_back();
    } else if (ch == u'\n') {
      out.emplace_back();
    } else {
      out.back() += ch;
    }
  }
  return out;
}

}  // namespace

HintWindow::HintWindow() = default;

HintWindow::~HintWindow() { Destroy(); }

std::vector<std::u16string> HintWindow::Wrap(int32_t maxWidth, const std::u16string& text) const {
  const Font& f = InterfaceFont();
  int32_t limit = std::max(1, maxWidth - 2 * kPadX);
  std::vector<std::u16string> out;
  auto width = [&](const std::u16string& t) { return f.TextWidth(t); };
  for (const std::u16string& para : SplitLines(text)) WrapAtSpaces(para, limit, width, out);
  return out;
}

Rect HintWindow::CalcHintRect(int32_t maxWidth, const std::u16string& text) const {
  const Font& f = InterfaceFont();
  std::vector<std::u16string> lines = Wrap(maxWidth, text);
  int32_t w = 0;
  for (const auto& l : lines) w = std::max(w, f.TextWidth(l));
  int32_t h = int32_t(lines.size()) * f.Metrics().Height;
  return {0, 0, w + 2 * kPadX + 2, h + 2 * kPadY + 2};
}

void HintWindow::ActivateHint(const Rect& screen, const std::u16string& text) {
  Rect s = GetScreenRect();
  Rect r = screen;
  int32_t w = r.Width(), h = r.Height();
  r.left = std::clamp(r.left, s.left, std::max(s.left, s.right - w));
  r.top = std::clamp(r.top, s.top, std::max(s.top, s.bottom - h));
  r.right = r.left + w;
  r.bottom = r.top + h;
  if (Showing() && text == text_ && r == rect_) return;
  text_ = text;
  rect_ = r;
  lines_ = Wrap(w + 2, text);
  if (!Handle()) {
    CreateParams p;
    p.bounds = r;
    p.style = WS_POPUP;
    p.exStyle = WS_EX_TOPMOST | WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW;
    if (!Create(p)) return;
  } else {
    SetWindowPos(Handle(), HWND_TOPMOST, r, SWP_NOACTIVATE);
    InvalidateRect(Handle(), nullptr);
  }
  SetBackgroundColor(ResolveColor(HintColor));
  ShowWindow(Handle(), true);
}

void HintWindow::ReleaseHint() {
  if (Handle() && IsWindowShown(Handle())) ShowWindow(Handle(), false);
  Tag = 0;
}

bool HintWindow::Showing() const { return Handle() && IsWindowShown(Handle()); }

bool HintWindow::IsHintMsg(const Msg& m) {
  uint32_t n = m.message;
  return (n >= WM_KEYFIRST && n <= WM_KEYLAST) ||
         (n >= WM_LBUTTONDOWN && n <= WM_MOUSEWHEEL) || n == WM_COMMAND || n == CM_ACTIVATE ||
         n == CM_DEACTIVATE || n == CM_APPKEYDOWN || n == CM_APPSYSCOMMAND;
}

void HintWindow::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect cr = GetClientRect(Handle());
  c.FillRect(cr, ResolveColor(HintColor));
  DrawFrame(c, cr, Look().Border);
  c.SetFont(InterfaceFont());
  c.SetBkMode(BkMode::Transparent);
  c.SetTextColor(SysColor(syscolor::InfoText));
  int32_t y = 1 + kPadY, lh = InterfaceFont().Metrics().Height;
  for (const auto& l : lines_) {
    c.TextOut(1 + kPadX, y, std::u16string_view(l));
    y += lh;
  }
}

}  // namespace plat
