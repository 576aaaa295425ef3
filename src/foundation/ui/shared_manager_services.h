#pragma once
// The program-wide objects that CreateSharedManagers makes in its fixed order but that live in
// subsystems above the foundation: the style and tab managers of the document model, the strip
// of shared interface glyphs and the interface bitmaps and fonts that the layout, the document
// window and the themed controls cache. The start-up registers the real hooks; the defaults do
// nothing (the object is then made on first use by its own accessor, or does not exist yet).
#include <memory>

namespace qv {

class TSharedManagerServices {
 public:
  virtual ~TSharedManagerServices() = default;

  // The font manager has just been made: the formats that name its fonts take their numbers.
  virtual void FontManagerCreated() {}
  virtual void CreateStyleManager() {}
  virtual void CreateTabManager() {}
  // Loads the strip of small interface glyphs (the picture resource "SHAREDGLYPHS").
  virtual void LoadSharedGlyphs() {}

  // Releases the interface bitmaps the painting code caches.
  virtual void ReleaseCachedUiBitmaps() {}
  // Deletes the fonts the rulers and the themed scroll bars make on first use.
  virtual void DeleteSharedUiFonts() {}
  virtual void FreeStyleManager() {}
  virtual void FreeTabManager() {}
  virtual void FreeSharedGlyphs() {}
};

// Registers the hooks (null restores the defaults); the registered ones, never null.
void RegisterSharedManagerServices(std::unique_ptr<TSharedManagerServices> services);
TSharedManagerServices& SharedManagerServices();

}  // namespace qv
