#pragma once
// Formatting in words: a readable description of a character and a paragraph pattern (such as
// "font: Arial, font size: 12 pt, bold, left indent: 1.27 cm") for the style dialogs, the
// formatting-reveal pane, the format palette and find-format patterns; and the French names of
// the built-in styles, by which readers of foreign documents recognise them.
#include <array>
#include <cstdint>
#include <string>

#include "document/char_format.h"
#include "document/par_format.h"
#include "document/styles.h"

namespace qv {

class TDoc;

// Flags of DescribeFormatting.
enum : uint32_t {
  dfmDefaultFontAndSize = 1,  // an unset font or size is taken from DefaultCharFormat
  dfmNegativeItems = 2,       // also "not double strike", "no tab stops" ...
  dfmColorValues = 4,         // colours as character 19, the value, character 19, a blank, the name
  dfmNoBreakSpaces = 8,       // font names, " pt" and lengths with no-break spaces (160)
};

// Writes the set properties of the patterns (either may be null) in their fixed order, each
// after the separator (none before the first). Text in code page 1252; lengths in the user's
// unit. The document, when given, names the lists that a paragraph pattern refers to.
void DescribeFormatting(const TCharFormat* charPattern, const TParFormat* parPattern,
                        const std::string& separator, std::string& text, uint32_t flags,
                        const TDoc* doc = nullptr);

// The French names of the 92 built-in styles, in the order of BuiltInStyleNames (code page 1252).
extern const std::array<const char*, BuiltInStyleCount> FrenchStyleNames;
// The built-in (English) name of a French built-in style name, compared without regard to case;
// empty when the name is none of them.
std::string EnglishStyleName(const std::string& name);

}  // namespace qv
