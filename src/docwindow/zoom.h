#pragma once
// Zoom modes of a document's view: a percentage of its own, or one that fits the page area
// (page width, text width, whole page, two pages), computed again whenever the window's size
// changes.
#include <cstdint>

namespace qv {

class TDoc;

// Sets the zoom percent (computed again for a fit zoom mode) and arranges the pages for it,
// keeping the part of the document in view.
void ApplyZoom(TDoc& doc, int32_t percent);

// Stores the zoom mode, computes the zoom percent for it and applies it when the percent or the
// mode changed.
void SetZoomMode(TDoc& doc, uint8_t mode);

// The argument of the magnifying glass's zoom command: enlarge or shrink, the point relative to
// the page area, the page under it (0x80000000 for none) and the point relative to that page's
// top-left corner (the document point when no page is hit), and the step in percent.
struct TZoomStepParam {
  uint8_t Enlarge = 0;
  int32_t X = 0;
  int32_t Y = 0;
  int32_t Page = static_cast<int32_t>(0x80000000u);
  int32_t PageX = 0;
  int32_t PageY = 0;
  int32_t Step = 25;
};

// The magnifying glass's zoom command.
inline constexpr int32_t kZoomStepCommand = 206200;

}  // namespace qv
