#include "layout/pictures/picture_formats.h"

#include <algorithm>
#include <fstream>
#include <map>

#include "foundation/base/exceptions.h"
#include "layout/pictures/png_codec.h"

namespace qv {
namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::unique_ptr<TBitmap> LoadPng(std::istream& in) {
  auto image = std::make_unique<TPNGImage>();
  image->LoadFromStream(in);
  return image;
}

std::map<std::string, TPictureLoader>& Formats() {
  static std::map<std::string, TPictureLoader> formats = {{"png", &LoadPng}};
  return formats;
}

}  // namespace

void RegisterPictureFormat(const std::string& extension, TPictureLoader loader) {
  Formats()[Lower(extension)] = loader;
}

TPictureLoader FindPictureFormat(const std::string& extension) {
  auto it = Formats().find(Lower(extension));
  return it == Formats().end() ? nullptr : it->second;
}

std::unique_ptr<TBitmap> LoadPictureFile(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of('/');
  const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  TPictureLoader loader = hasExt ? FindPictureFormat(fileName.substr(dot + 1)) : nullptr;
  if (!loader) throw EAbort();
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EFOpenError(fileName);
  return loader(in);
}

}  // namespace qv
