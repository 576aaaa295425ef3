#pragma once
// What one repaint of the document view collects while the box painter walks the pages: the
// pixel rectangles of the four tinted sets (selection, locked selections, instances of the
// selected text, find results) of the lines and cells it painted, and, for a partial repaint,
// the fragment whose lines are repainted and the bands of the view that changed (the only parts
// the window needs to copy). Printing and previews paint without one.
#include <array>
#include <cstdint>
#include <vector>

#include "platform/gfx/types.h"

namespace qv {

class TCompoundFragment;

struct TViewPaintState {
  // Null: every line is painted. Otherwise only the lines that meet its ranges, with a few rows
  // of context, each band cleared first and clipped to.
  const TCompoundFragment* Fragment = nullptr;
  // The fragments of the tint passes (selection, locked selections, instances, find results);
  // null for a pass with nothing to show.
  std::array<const TCompoundFragment*, 4> Passes{};
  // The rectangles each pass tints, in bitmap pixels.
  std::array<std::vector<plat::Rect>, 4> Tints;
  // The bands a partial repaint changed, in bitmap pixels.
  std::vector<plat::Rect> Changed;
  // What a cleared band is filled with where no cell shading lies under it.
  uint32_t PageBackground = 0xFFFFFF;

  bool Partial() const { return Fragment != nullptr; }
};

}  // namespace qv
