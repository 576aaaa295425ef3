#pragma once
// The font that shows a typed or inserted character when the font of its format lacks it, and the
// same face of a font in another character set. A font has a character when the character map
// of its face lists it (the font manager reads it on first use).
#include <cstdint>
#include <string>
#include <vector>

#include "document/char_format.h"

namespace qv {

class TDoc;

// Tries, each face once: the format's own font, the fonts that the document's text names (from
// the last paragraph to the first, each paragraph's font tags in order), "Arial", "Times New
// Roman", "Arial Unicode MS" and "Symbol", then every installed font name and family. The
// character is a code point: one past the basic plane is looked for in the fonts' full coverage.
// A character that no font has is remembered, so that searching for it again tries no font.
class TFallbackFontSearch {
 public:
  explicit TFallbackFontSearch(TDoc& doc) : doc_(doc) {}
  virtual ~TFallbackFontSearch() = default;

  // The first face that has the character; empty when none has it.
  std::string Find(uint32_t c, const TCharFormat& format);

 protected:
  // Whether the face covers the character, and the memory of characters that no face has (both
  // the font manager's, which forgets what it learnt when the fonts change).
  virtual bool FaceHasChar(const std::string& face, uint32_t c);
  virtual bool KnownMissing(uint32_t c);
  virtual void NoteMissing(uint32_t c);

 private:
  bool Try(const std::string& face, uint32_t c);
  bool TryDocumentFonts(uint32_t c, std::string& found);
  std::string Search(uint32_t c, const TCharFormat& format);

  TDoc& doc_;
  std::vector<std::string> tried_;
};

// The face for the character (empty when no installed font has it).
std::string FindFallbackFont(TDoc& doc, uint32_t c, const TCharFormat& format);

// The font number of the font's face in the character set (the font itself without a font
// manager or for a number that names no font).
int32_t FontInCharset(int32_t font, int32_t charset);

}  // namespace qv
