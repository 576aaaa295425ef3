#pragma once
// The document view: visible pages composed off screen (interpage space, paper, page frames),
// then the tints of the selection, locked selections, instances of the selected text and find
// results, and the greying of Spotlight, all worked straight on the bitmap's pixels.
#include <cstdint>
#include <vector>

#include "platform/gfx/types.h"

namespace plat {
class Bitmap;
class Region;
}

namespace qv {

class TCompoundFragment;
class TDoc;

// The four selection regions, in the order they are tinted.
enum class TTintPass : uint8_t { Selection = 0, Locked = 1, Instances = 2, FindResults = 3 };

// The tint of a pass: the selection colour itself, or for the other passes each channel raised
// to max(208, v + (255 - v) / 3).
uint32_t SelectionTintColor(uint32_t selectionColour, TTintPass pass);
// The tinted value of one pixel (each channel: on a light tint T - (255 - P) * 2 / 3, at least 0;
// on a dark tint T + (255 - P), at most 255).
uint32_t TintPixel(uint32_t pixel, uint32_t tint);
// Tints the pixels of the region (bitmap pixels) that the pass's pattern selects: every pixel for
// the selection, diagonal stripes ((x + y + scroll) mod 6 < 2) for locked selections, a
// checkerboard for instances and find results. Patterns stay fixed to the document.
void TintRegion(plat::Bitmap& bitmap, const plat::Region& region, uint32_t selectionColour,
                TTintPass pass, plat::Point scroll);

// Spotlight's level from its options (0x10 level 4, 8 level 3, 4 level 2, 2 level 1, else 0).
int32_t SpotlightLevel(uint32_t options);
// Greys every pixel of the area outside the band: each channel (6 - L) * (R + G + B) / 18, or with
// blur the brightness averaged over 11 pixels of the row (outside the row counts as white).
// Nothing changes when there is neither a level nor blur.
void ApplySpotlight(plat::Bitmap& bitmap, const plat::Rect& area, const plat::Rect& band,
                    uint32_t options);

// Colours of the view.
struct TViewColours {
  uint32_t Interpage = 0x808080;
  uint32_t PageBackground = 0xFFFFFF;
  uint32_t PageBorder = 0x000000;
  uint32_t Selection = 0xFFCC99;
};
// What a repaint of the view did: how many pages it painted, and the rectangles of the bitmap
// that changed (the page area after a full repaint, the repainted bands after a partial one),
// which are what the window must copy to the screen.
struct TViewRepaint {
  int32_t Pages = 0;
  bool Partial = false;
  std::vector<plat::Rect> Changed;
};

// Repaints the view of the document into the bitmap's page area (bitmap pixels) at the
// document's scroll position. Without a fragment the whole area is painted: the interpage space
// (the page colour in Draft views), the pages that meet the area (the view's arrangement tells
// where; pages the view would show that are not laid out yet are laid out first) with their
// frames, Spotlight's greying and the tints of the selection, locked selections, instances of the
// selected text and find results. With a fragment only the lines that meet its ranges are painted
// again (with a few rows around them) and tinted; Spotlight always repaints the whole view.
// Preview documents get no tints and no Spotlight. A repaint asked for while one runs does
// nothing.
TViewRepaint RepaintDocumentView(TDoc& doc, plat::Bitmap& bitmap, const plat::Rect& pageArea,
                                 const TCompoundFragment* fragment,
                                 const TViewColours& colours = {});
// A full repaint; returns the pages painted.
int32_t PaintDocumentView(TDoc& doc, plat::Bitmap& bitmap, const plat::Rect& pageArea,
                          const TViewColours& colours = {});
// Whether a redraw of the view may run now: not while an edit call or the spelling check of a
// paragraph that painting started runs, nor inside another repaint.
bool CanRedrawView(const TDoc& doc);
// A repaint of the view is running.
bool IsViewPainting();

}  // namespace qv
