#pragma once
// The small scaled picture of a page layout that the page-setup, columns, page-number and
// envelope dialogs show: one page, or two facing pages for mirrored margins, with the text area
// in stripes split into columns or parts, the page-number mark, an optional frame with a shadow,
// or the address blocks and stamp of an envelope.
#include <cstdint>
#include <memory>

#include "document/page_params.h"
#include "platform/gfx/canvas.h"

namespace qv {

// How the text area is divided.
enum : int32_t {
  plColumns = 0,     // the section format's columns (one part without a format)
  plOnePart = 1,
  plTwoParts = 2,    // one fifth and four fifths
  plThreeParts = 3,
};

// Style flags.
enum : uint32_t {
  psFrame = 1,     // a one-pixel frame with a shadow on the right and bottom
  psEnvelope = 2,  // address blocks and a stamp instead of columns
};

// Page-number mark: shown or not, at the top or bottom margin, and its alignment (0 left,
// 1 centred, 2 right, 3 inside, 4 outside; inside is right on a left-hand page, left on a
// right-hand page).
struct TPageNumberPlacement {
  uint8_t Show = 0;
  uint8_t AtBottom = 1;
  uint8_t Alignment = 1;
};

// Envelope address blocks: left and top of the return address and of the delivery address, in
// hundredths of a percent of the page width and height.
struct TEnvelopeLayout {
  int32_t ReturnLeft = 400;
  int32_t ReturnTop = 600;
  int32_t AddressLeft = 4500;
  int32_t AddressTop = 5000;
};

// The colours of the preview; the colour manager registers the scheme's own at start-up.
class TPreviewColors {
 public:
  virtual ~TPreviewColors() = default;
  virtual plat::Color PageColor() const { return 0xFFFFFF; }
  virtual plat::Color TextColor() const { return 0x808080; }
  virtual plat::Color FrameColor() const { return 0x000000; }
};
void RegisterPreviewColors(std::unique_ptr<TPreviewColors> colors);
const TPreviewColors& PreviewColors();

// Draws the preview into the rectangle of the canvas, through an off-screen bitmap filled with
// the canvas's brush colour. A rectangle too small to hold a page draws only the background.
void DrawPageLayoutPreview(plat::Canvas& canvas, const plat::Rect& rect, const TPageParams& params,
                           int32_t layoutKind, uint32_t style,
                           const TPageNumberPlacement& pageNumbers, bool onePage,
                           const TSectionFormat* format = nullptr,
                           const TEnvelopeLayout* envelope = nullptr);

}  // namespace qv
