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
// Roman", "Arial Unicode MS" and "Symbol", then every installed font name and family.
class TFallbackFontSearch {
 public:
  explicit TFallbackFontSearch(TDoc& doc) : doc_(doc) {}
  virtual ~TFallbackFontSearch() = default;

  // The first face that has the character; empty when none has it.
  std::string Find(char16_t c, const TCharFormat& format);

 protected:
  virtual bool FaceHasChar(const std::string& face, char16_t c);

 private:
  bool Try(const std::string& face, char16_t c);
  bool TryDocumentFonts(char16_t c, std::string& found);

  TDoc& doc_;
  std::vector<std::string> tried_;
};

// The face for the character (empty when no installed font has it).
std::string FindFallbackFont(TDoc& doc, char16_t c, const TCharFormat& format);

// The font number of the font's face in the character set (the font itself without a font
// manager or for a number that names no font).
int32_t FontInCharset(int32_t font, int32_t charset);

}  // namespace qv
