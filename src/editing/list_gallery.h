#pragma once
// The list gallery: the program's built-in list definitions (bullets and numberings), kept as the
// list table of a document that is read when one of them is wanted. Stepping a one-level list to
// a deeper level widens it to the gallery's definition of nine levels of its number format.
#include <cstdint>
#include <memory>

namespace qv {

class TAutoList;
class TDoc;

class TListGalleryServices {
 public:
  virtual ~TListGalleryServices() = default;
  // A new hidden document whose lists are the gallery's definitions; null when the gallery
  // cannot be read (the stand-in has none).
  virtual std::unique_ptr<TDoc> OpenGalleryDocument() { return nullptr; }
};

void RegisterListGalleryServices(std::unique_ptr<TListGalleryServices> services);
TListGalleryServices& ListGalleryServices();

// A copy of the first gallery definition that has all nine levels and uses the number format
// code on every one of them; null when there is none. The copy refers to nothing of the gallery
// document, which is gone when this returns.
std::unique_ptr<TAutoList> GetListGalleryList(uint8_t numberFormat);

}  // namespace qv
