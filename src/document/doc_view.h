#pragma once
// The view state of a document beside its view mode, print-preview and Spotlight bytes (which
// TDoc keeps itself): zoom mode, the zoom in force and the pixel densities it gives, the scroll
// position, the laid-out extent, the largest page extents of its sections, and what print
// preview and a temporary view mode saved to put back later. The operations are TDoc's
// (document/doc.h, doc_view.cpp).
#include <cstdint>

#include "document/char_format.h"
#include "platform/gfx/types.h"

namespace qv {

// Zoom modes.
enum : uint8_t {
  zmFixed = 0,
  zmPageWidth = 1,
  zmTextWidth = 2,
  zmWholePage = 3,
  zmTwoPages = 4,
};

inline constexpr int32_t MinZoomPercent = 10;
inline constexpr int32_t MaxZoomPercent = 500;

// The largest page width and height and the largest text width over all sections, in pixels
// at zoom 100 and at the zoom in force.
struct TPageExtentMaxima {
  int32_t PageWidth = 0;
  int32_t PageHeight = 0;
  int32_t TextWidth = 0;
  int32_t ZoomedPageWidth = 0;
  int32_t ZoomedPageHeight = 0;
  int32_t ZoomedTextWidth = 0;
};

// The text metrics of the caret's screen font at the zoom, in pixels.
struct TCaretFontMetrics {
  int32_t Height = 0;           // ascent + descent
  int32_t Ascent = 0;
  int32_t Descent = 0;
  int32_t ExternalLeading = 0;
  int32_t DescentLeading = 0;   // descent + external leading
  int32_t LineHeight = 0;       // ascent + descent + external leading
  bool Italic = false;
};

struct TDocView {
  uint8_t ZoomMode = zmFixed;
  int32_t EffectiveZoom = 100;   // the zoom of horizontal scaling (the zoom percent on screen)
  int32_t PixelsPerInchX = 96;   // at the zoom
  int32_t PixelsPerInchY = 96;
  plat::Point ScrollPos;         // the view's origin in the laid-out document, pixels
  plat::Size Extent;             // the laid-out document, pixels
  TPageExtentMaxima PageExtent;
  bool Printing = false;         // the densities are a printer's: the zoom is not computed
  bool NoScrollClamp = false;    // the scroll position is taken as given
  // Print preview saved these on entry; ApplyPreviewZoom saved the normal zoom.
  uint8_t PreviewSavedViewMode = 0;
  plat::Point PreviewSavedScroll;
  int32_t NormalZoomPercent = 100;
  uint8_t NormalZoomMode = zmFixed;
  // A temporary view mode in force, and what it replaced.
  bool TempViewActive = false;
  uint8_t TempSavedViewMode = 0;
  plat::Point TempSavedScroll;
  // Asked of the next view update: scroll to the top of the page (after a fit-page zoom), centre
  // the caret line (Spotlight).
  bool ScrollToPageTop = false;
  bool CentreCaretLine = false;

  // The caret as the editor window shows it: the top-left of its image in view pixels, its
  // size, how far the image starts left of the insertion point, and the format and font
  // metrics it was measured with.
  int32_t CaretX = 0;
  int32_t CaretY = 0;
  int32_t CaretWidth = 2;
  int32_t CaretHeight = 1;
  int32_t CaretInset = 1;
  TCharFormat CaretFormat;
  TCaretFontMetrics CaretFontMetrics;
  // A redraw the idle pass owes the document once the tick count reaches RedrawTime.
  uint32_t RedrawTime = 0;
  bool RedrawPending = false;
  // The draft views' content width (twips): the side gap and the widest content; kept until a
  // view-mode, zoom or page change drops it. ExtentChanged tells that the last computation gave
  // a new value.
  int32_t ExtentSideGap = 0;
  int32_t ExtentWidest = 0;
  bool ExtentValid = false;
  bool ExtentChanged = false;
  // The highest page index the arrangement gave an estimated rectangle (-1 none).
  int32_t LastEstimatedPage = -1;
};

}  // namespace qv
