#pragma once
// What the owner-drawn menus ask of the command bars, which live in a higher subsystem: the five
// menu colours of the current toolbar style, the strip of toolbar images, the strip of shared
// interface glyphs, and the repainting of a command-bar button whose drop-down menu closed. The
// toolbar manager registers the real service at start-up; the stand-in takes the colours of the
// class layer's look and has no images.
#include <cstdint>
#include <memory>

#include "platform/gfx/types.h"

namespace plat {
class Bitmap;
class Canvas;
}  // namespace plat

namespace qv {

struct TMenuColors {
  plat::Color Background = 0;
  plat::Color Text = 0;
  plat::Color DisabledText = 0;
  plat::Color Highlight = 0;
  plat::Color HighlightText = 0;
};

class TMenuServices {
 public:
  virtual ~TMenuServices() = default;
  // The menu colours of the current toolbar style.
  virtual TMenuColors MenuColors();
  // The toolbar image strip: square images of ToolbarImageSize() side by side; nullptr for none.
  virtual const plat::Bitmap* ToolbarImages() { return nullptr; }
  virtual int32_t ToolbarImageSize() { return 16; }
  // The size of one glyph of the shared glyph strip (empty while there is no strip), and the
  // strip's glyph copy: glyph `index` with its top-left at `at`, on the background colour.
  virtual plat::Size SharedGlyphSize() { return {}; }
  virtual void DrawSharedGlyph(plat::Canvas& /*canvas*/, int32_t /*index*/, plat::Point /*at*/,
                               plat::Color /*background*/) {}
  // The menu loop of a popup menu that `component` dropped has ended: when it is a command-bar
  // button, it repaints itself as released.
  virtual void PopupComponentClosed(void* /*component*/) {}
};

// Registers the service (null restores the stand-in); the registered one, never null.
void RegisterMenuServices(std::unique_ptr<TMenuServices> service);
TMenuServices& MenuServices();

}  // namespace qv
