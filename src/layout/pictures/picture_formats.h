#pragma once
// The table of picture formats by file extension: each codec registers a loader that reads a
// picture of its format from a stream into a picture bitmap. PNG is registered from the start.
#include <iosfwd>
#include <memory>
#include <string>

#include "layout/pictures/picture_bitmap.h"

namespace qv {

// Reads a picture from the stream's position; fails with the codec's own errors.
using TPictureLoader = std::unique_ptr<TBitmap> (*)(std::istream& in);

// Registers (or replaces) the loader of an extension (without the dot, any case).
void RegisterPictureFormat(const std::string& extension, TPictureLoader loader);
// The loader of an extension; nullptr when none is registered.
TPictureLoader FindPictureFormat(const std::string& extension);
// Loads a picture file by its extension: EFOpenError when it cannot be opened, EAbort for an
// extension without a registered format.
std::unique_ptr<TBitmap> LoadPictureFile(const std::string& fileName);

}  // namespace qv
