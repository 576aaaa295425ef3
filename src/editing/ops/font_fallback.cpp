#include "editing/ops/font_fallback.h"

#include <algorithm>
#include <cctype>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "foundation/fonts/font_manager.h"

namespace qv {

namespace {

constexpr const char* kNamedFaces[] = {"Arial", "Times New Roman", "Arial Unicode MS", "Symbol"};

bool SameFace(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string FaceOfFont(int32_t font) {
  TFontManager* fm = FontManager();
  return fm != nullptr && font != CharUnset ? fm->GetFaceName(font) : std::string();
}

}  // namespace

bool TFallbackFontSearch::FaceHasChar(const std::string& face, uint32_t c) {
  TFontManager* fm = FontManager();
  return fm != nullptr && fm->FontCoversChar(face, c) >= 0;
}

bool TFallbackFontSearch::KnownMissing(uint32_t c) {
  const TFontManager* fm = FontManager();
  return fm != nullptr && fm->IsCharMissing(c);
}

void TFallbackFontSearch::NoteMissing(uint32_t c) {
  if (TFontManager* fm = FontManager()) fm->NoteCharMissing(c);
}

bool TFallbackFontSearch::Try(const std::string& face, uint32_t c) {
  if (face.empty()) return false;
  for (const std::string& t : tried_)
    if (SameFace(t, face)) return false;
  tried_.push_back(face);
  return FaceHasChar(face, c);
}

bool TFallbackFontSearch::TryDocumentFonts(uint32_t c, std::string& found) {
  for (int32_t p = doc_.ParCount() - 1; p >= 0; --p) {
    const TPar& par = *doc_.Par(p);
    TStreamItem item;
    for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item); off += item.Size) {
      if (item.ItemType != TStreamItem::siTag || item.Tag.Kind != ctFont) continue;
      const std::string face = FaceOfFont(item.Tag.Value);
      if (Try(face, c)) {
        found = face;
        return true;
      }
    }
  }
  return false;
}

std::string TFallbackFontSearch::Search(uint32_t c, const TCharFormat& format) {
  const std::string own = FaceOfFont(format.Font);
  if (Try(own, c)) return own;
  std::string found;
  if (TryDocumentFonts(c, found)) return found;
  for (const char* face : kNamedFaces)
    if (Try(face, c)) return face;
  TFontManager* fm = FontManager();
  if (fm == nullptr) return {};
  for (const TFontName& name : fm->GetFontNames())
    if (Try(name.Name, c)) return name.Name;
  for (const TFontFamily& family : fm->Families)
    if (Try(family.Name, c)) return family.Name;
  return {};
}

std::string TFallbackFontSearch::Find(uint32_t c, const TCharFormat& format) {
  tried_.clear();
  // Every face the search tries stands for an installed one, so a character that a whole search
  // found in none stays missing until the installed fonts change.
  if (KnownMissing(c)) return {};
  std::string face = Search(c, format);
  if (face.empty() && FontManager() != nullptr) NoteMissing(c);
  return face;
}

std::string FindFallbackFont(TDoc& doc, uint32_t c, const TCharFormat& format) {
  return TFallbackFontSearch(doc).Find(c, format);
}

int32_t FontInCharset(int32_t font, int32_t charset) {
  TFontManager* fm = FontManager();
  if (fm == nullptr || charset < 0 || !fm->IsValidFont(font)) return font;
  if (fm->RegFonts[static_cast<size_t>(font)].Charset == charset) return font;
  // The manager finds the other character sets of a face by its font id, not its number.
  const int32_t other = fm->FontWithCharset(fm->RegFonts[static_cast<size_t>(font)].FontId, charset);
  return other >= 0 ? other : font;
}

}  // namespace qv
