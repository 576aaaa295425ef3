#pragma once
// Reading Windows Write documents (document format 5, read only) into a document: the text, the
// paragraph and character properties of its runs, its font table and its metafile pictures
// (inline pictures of the paragraph after them). Headers and footers of the
// Write document are left out; styles and page settings come from the template that the open
// road loads for the format.
//
// Every offset, count and page number the file holds is checked against the file before it is
// used: a file whose header, runs, property blocks or font table point outside it (or runs
// that go backwards) is refused as damaged, and the document is left as it was.
#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

class TDoc;

struct TWriReadResult {
  bool Ok = false;
  std::string Error;           // why a damaged file was refused
  int32_t PicturesSkipped = 0; // pictures without data, or whose data could not be kept
};

// Reads the whole file image. With `dontRead` (the file preview's mark) the document stays
// empty and the read succeeds.
TWriReadResult ReadWri(TDoc& doc, const uint8_t* data, size_t size, bool dontRead = false);

}  // namespace qv
