#pragma once
// TRichViewer: a short read-only text (a message, an explanation in a dialog) with simple inline
// formatting, wrapped at word boundaries to the viewer's width.
//
// Markup: "^" and one letter; the two characters take no room.
//   ^d default format (toggles off, colour A)   ^b bold   ^i italic   ^u underline
//   ^s strikeout (each toggles)                 ^A the viewer's text colour
//   ^R red   ^B blue   ^G green   ^C cornflower blue   ^F fuchsia   ^p line break
// "^" with any other character is dropped together with that character.
//
// The viewer paints a band of Margin pixels, an optional header band (HeaderHeight pixels,
// painted by OnPaintHeader), then its lines one LineHeight apart; the text is drawn in Arial at
// FontSize points, Margin pixels from the left and right edges.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/control.h"

namespace qv {

// The format at a point of the text.
struct TMsgFormat {
  int32_t Bold = 0;
  int32_t Italic = 0;
  int32_t Underline = 0;
  int32_t StrikeOut = 0;
  int32_t ColorIndex = 5;  // 5 "A" ... 10 "F" in the letters "dbiusARBGCFp"
  friend bool operator==(const TMsgFormat&, const TMsgFormat&) = default;
};

class TRichViewer;

// One laid-out line: the format at its start, its first character offset and its length.
struct TMessageLine {
  const TRichViewer* Viewer = nullptr;
  TMsgFormat Format;
  int32_t First = 0;
  int32_t Count = 0;
};

class TRichViewer : public plat::Control {
 public:
  TRichViewer();

  std::function<void(plat::Canvas& canvas, const plat::Rect& rect)> OnPaintHeader;
  TMsgFormat DefaultFormat;
  int32_t HeaderHeight = 0;
  int32_t Margin = 0;  // top margin and left and right margins
  int32_t FontSize = 8;  // points
  int32_t LineHeight = 0;

  const std::string& Text() const { return text_; }
  // Stores the text, lays it out from the start and paints it.
  void SetText(const std::string& text);
  const std::vector<TMessageLine>& Lines() const { return lines_; }
  bool LaidOut() const { return laidOut_; }
  // The text of a line without its codes (for tests and accessibility).
  std::string LineText(size_t index) const;
  // The colour a colour index stands for (5: the viewer's text colour).
  plat::Color ColorOf(int32_t colorIndex) const;
  // The font of a format at FontSize points.
  plat::Font FontOf(const TMsgFormat& format) const;

 protected:
  void Paint(plat::PaintContext& pc) override;
  void Resize() override;

 private:
  void Layout();
  int32_t LayOutLine(int32_t start, TMsgFormat& state);
  void DrawLine(plat::Canvas& c, const TMessageLine& line, int32_t y) const;

  std::string text_;
  std::vector<TMessageLine> lines_;
  bool laidOut_ = false;
};

// Applies the code letter after "^" to a format; false when the letter is no code.
bool ApplyMsgCode(char code, TMsgFormat& format);

}  // namespace qv
