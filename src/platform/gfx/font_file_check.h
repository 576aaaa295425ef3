#pragma once
// A look at a font file's character maps before the file is handed to fontconfig. Fontconfig
// walks every code of a segmented character map (formats 12 and 13) to learn the font's coverage,
// so a small hostile file whose groups span the whole 32-bit range would keep it busy for
// minutes. Such a file is refused instead; every offset and count is checked against the data.
#include <string_view>

namespace plat {

// False when a segmented character map of the font data (a single font or a collection) spans
// more than twice the codes Unicode has, or claims more groups than its bytes can hold.
// Data that is not a font file, or whose tables cannot be read, counts as sane here: fontconfig
// refuses it on its own terms.
bool FontCharacterMapsAreSane(std::string_view data);

}  // namespace plat
