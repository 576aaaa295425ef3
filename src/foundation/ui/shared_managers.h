#pragma once
// The program-wide objects of the foundation and when they live: CreateSharedManagers makes them
// in a fixed order once the settings store is chosen and before the main window is made;
// FreeSharedManagers releases them, again in a fixed order, after the windows are gone.
//
// Made here, in this order:
//   the scratch buffer of polygon points; the off-screen bitmap (ServiceBitmap) and its canvas
//   (ServiceDC); the default character set, code page and text encoding of the user's language;
//   the caret bitmap, the font manager, the colour manager, the style manager, the tab manager
//   and the keyboard-layout manager; the strip of shared glyphs.
// The style and tab managers and the glyph strip belong to higher subsystems and come through
// SharedManagerServices (shared_manager_services.h), which also hears when the font manager has
// been made. The language manager is made on first use and freed here.
#include <cstdint>

#include "foundation/base/memory.h"

namespace plat {
class Canvas;
}

namespace qv {

class TCaretBitmap;
class TServiceBitmap;

void CreateSharedManagers();
void FreeSharedManagers();
// Between CreateSharedManagers and FreeSharedManagers.
bool SharedManagersExist();

// The off-screen bitmap and its canvas; null outside the managers' lifetime.
TServiceBitmap* ServiceBitmap();
plat::Canvas* ServiceDC();
// The bitmap of the editor's caret shape; null outside the managers' lifetime.
TCaretBitmap* CaretBitmap();
// A buffer for building polygons' points (1024 bytes to start with); empty outside the
// managers' lifetime.
TMemory& PointsScratch();

// The index among the program's text encodings of the user's ANSI code page: for the code pages
// 1250 to 1257 the code page - 1246 (4 to 11), for any other 6 (Windows-1252). Set by
// CreateSharedManagers, with DefaultCodePage and DefaultCharset (code_pages.h).
extern int32_t DefaultEncodingIndex;

// What CreateSharedManagers works out from the user's default language.
struct TDefaultCodePages {
  int32_t Charset = 0;
  uint32_t CodePage = 1252;
  int32_t EncodingIndex = 6;
};
// For a language written only in Unicode (no ANSI code page of its own) the code page is that of
// its character set (the system's, else Windows-1252), so that the program always has one.
TDefaultCodePages DefaultCodePagesOf(int32_t languageId);
int32_t EncodingIndexOfCodePage(uint32_t codePage);

}  // namespace qv
