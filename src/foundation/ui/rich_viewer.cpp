#include "foundation/ui/rich_viewer.h"

#include <cstring>

#include "foundation/ui/application.h"
#include "foundation/base/units.h"
#include "platform/controls/control_look.h"
#include "platform/gfx/canvas.h"

namespace qv {

namespace {

constexpr const char* kCodes = "dbiusARBGCFp";

// Characters that may trail a line past its width (a comma or full stop is not carried over to
// the next line on its own).
bool IsWordDelimiter(char c) {
  return c != 0 && std::strchr(".,;:!?)]}\"'-/", c) != nullptr;
}

int32_t WidthOf(const plat::Font& font, const std::string& bytes) {
  plat::Canvas c;
  c.SetFont(font);
  return c.TextExtent(InterfaceText(bytes)).cx;
}

}  // namespace

bool ApplyMsgCode(char code, TMsgFormat& f) {
  switch (code) {
    case 'd': f = TMsgFormat{}; return true;
    case 'b': f.Bold = !f.Bold; return true;
    case 'i': f.Italic = !f.Italic; return true;
    case 'u': f.Underline = !f.Underline; return true;
    case 's': f.StrikeOut = !f.StrikeOut; return true;
    case 'A': case 'R': case 'B': case 'G': case 'C': case 'F':
      f.ColorIndex = int32_t(std::strchr(kCodes, code) - kCodes);
      return true;
    case 'p': return true;
    default: return false;
  }
}

TRichViewer::TRichViewer() {
  SetTextColor(plat::clWindowText);
  SetBackColor(plat::clWindow);
}

plat::Color TRichViewer::ColorOf(int32_t colorIndex) const {
  switch (colorIndex) {
    case 6: return plat::Rgb(255, 0, 0);
    case 7: return plat::Rgb(0, 0, 255);
    case 8: return plat::Rgb(0, 128, 0);
    case 9: return plat::Rgb(100, 149, 237);
    case 10: return plat::Rgb(255, 0, 255);
    default: return TextColor();
  }
}

plat::Font TRichViewer::FontOf(const TMsgFormat& f) const {
  plat::LogFont lf;
  lf.FaceName = "Arial";
  lf.Height = -(FontSize * ScreenPixelsPerInch() / 72);
  lf.Weight = f.Bold ? 700 : 400;
  lf.Italic = f.Italic != 0;
  lf.Underline = f.Underline != 0;
  lf.StrikeOut = f.StrikeOut != 0;
  return plat::Font(lf);
}

void TRichViewer::SetText(const std::string& text) {
  text_ = text;
  plat::Canvas c;
  c.SetFont(FontOf(DefaultFormat));
  LineHeight = c.TextExtent(InterfaceText(text_)).cy;
  if (LineHeight <= 0) LineHeight = c.GetTextMetrics().Height;
  Layout();
  laidOut_ = true;
  Invalidate();
}

void TRichViewer::Resize() {
  Control::Resize();
  if (laidOut_) {
    Layout();
    Invalidate();
  }
}

void TRichViewer::Layout() {
  lines_.clear();
  TMsgFormat state = DefaultFormat;
  int32_t n = int32_t(text_.size());
  for (int32_t start = 0; start < n;) {
    int32_t end = LayOutLine(start, state);
    if (end <= start) end = start + 1;  // never stand still
    start = end;
  }
}

// Lays out the line that starts at `start` with the format `state` (updated to the format at
// its end); returns where the next line starts.
int32_t TRichViewer::LayOutLine(int32_t start, TMsgFormat& state) {
  TMessageLine line{this, state, start, 0};
  const int32_t n = int32_t(text_.size());
  const int32_t avail = Width() - 2 * Margin;
  int32_t lineWidth = 0;
  bool hasChars = false;
  int32_t wordStart = -1;  // the pending word is [wordStart, i)
  int32_t i = start;
  int32_t end = -1;

  enum class Flush { Ok, Overflow, Refused };
  auto flush = [&](int32_t wordEnd) {
    if (wordStart < 0) return Flush::Ok;
    std::string word = text_.substr(size_t(wordStart), size_t(wordEnd - wordStart));
    int32_t w = WidthOf(FontOf(state), word);
    bool fits = lineWidth + w <= avail;
    bool delimiter = IsWordDelimiter(word[0]) && (word.size() == 1 || (word.size() == 2 && word[1] == ' '));
    if (!fits && hasChars && !delimiter) return Flush::Refused;
    lineWidth += w;
    hasChars = true;
    wordStart = -1;
    bool breakFollows = wordEnd + 1 < n && text_[size_t(wordEnd)] == '^' && text_[size_t(wordEnd) + 1] == 'p';
    return fits || breakFollows ? Flush::Ok : Flush::Overflow;
  };

  while (i < n && end < 0) {
    char ch = text_[size_t(i)];
    if (ch == '^') {
      int32_t ws = wordStart;
      Flush r = flush(i);
      if (r == Flush::Refused) { end = ws; break; }
      if (r == Flush::Overflow) { end = i; break; }
      char code = i + 1 < n ? text_[size_t(i) + 1] : 0;
      i += code ? 2 : 1;
      ApplyMsgCode(code, state);
      if (code == 'p') end = i;
      continue;
    }
    if (wordStart < 0) wordStart = i;
    ++i;
    if (ch == ' ') {
      flush(i);  // a blank on its own never ends the line
    } else if (i < n && text_[size_t(i)] == ' ') {
      ++i;
      int32_t ws = wordStart;
      Flush r = flush(i);
      if (r == Flush::Refused) end = ws;
      else if (r == Flush::Overflow) end = i;
    }
  }
  if (end < 0) {
    int32_t ws = wordStart;
    Flush r = flush(i);
    end = r == Flush::Refused ? ws : i;
  }
  // Codes never stand inside a pending word, so `state` is the format where the line ends.
  line.Count = end - start;
  lines_.push_back(line);
  return end;
}

std::string TRichViewer::LineText(size_t index) const {
  std::string out;
  if (index >= lines_.size()) return out;
  const TMessageLine& l = lines_[index];
  for (int32_t k = l.First; k < l.First + l.Count; ++k) {
    if (text_[size_t(k)] == '^') {
      ++k;
      continue;
    }
    out += text_[size_t(k)];
  }
  return out;
}

void TRichViewer::DrawLine(plat::Canvas& c, const TMessageLine& line, int32_t y) const {
  TMsgFormat f = line.Format;
  int32_t x = Margin;
  std::string run;
  auto drawRun = [&] {
    if (run.empty()) return;
    plat::Font font = FontOf(f);
    c.SetFont(font);
    c.SetTextColor(ColorOf(f.ColorIndex));
    std::u16string w = InterfaceText(run);
    c.TextOut(x, y, w);
    x += c.TextExtent(w).cx;
    run.clear();
  };
  const int32_t n = int32_t(text_.size());
  for (int32_t k = line.First; k < line.First + line.Count; ++k) {
    char ch = text_[size_t(k)];
    if (ch == '^') {
      drawRun();
      if (k + 1 < n) ApplyMsgCode(text_[size_t(++k)], f);
      continue;
    }
    run += ch;
  }
  drawRun();
}

void TRichViewer::Paint(plat::PaintContext& pc) {
  if (!pc.canvas || !laidOut_) return;
  plat::Canvas& c = *pc.canvas;
  plat::Rect r = ClientRect();
  plat::Color back = BackColor();
  c.FillRect({0, 0, r.right, Margin}, back);
  if (HeaderHeight > 0) {
    plat::Rect header{0, Margin, r.right, Margin + HeaderHeight};
    c.FillRect(header, back);
    if (OnPaintHeader) {
      c.SaveState();
      c.IntersectClipRect(header);
      OnPaintHeader(c, header);
      c.RestoreState();
    }
  }
  c.SetBkMode(plat::BkMode::Transparent);
  int32_t y = HeaderHeight + Margin;
  for (const TMessageLine& line : lines_) {
    c.FillRect({0, y, r.right, y + LineHeight}, back);
    DrawLine(c, line, y);
    y += LineHeight;
  }
  if (y < r.bottom) c.FillRect({0, y, r.right, r.bottom}, back);
}

}  // namespace qv
