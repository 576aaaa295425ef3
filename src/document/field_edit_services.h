#pragma once
// What field updates, hyperlinks, tables of contents, indexes and the built-in style imports ask
// of the editing engine beyond its text records (document/edit_services.h): character
// formatting of a range, in-place overwriting of text, the document-styles edit, the direct
// application of styles' formats and the update of a style from the selection. Each one records
// its change in the running operation, so that it is undone with the edit that made it.
//
// The editing engine registers the real services (RegisterEditingServices). The stand-ins do the
// least a document needs without the engine: text is overwritten and a style list replaced
// directly, with no record; the formatting calls do nothing.
#include <cstdint>
#include <memory>
#include <string>

#include "document/doc_position.h"

namespace qv {

class TDoc;
class TStyleList;
struct TCharFormat;

class TFieldEditServices {
 public:
  virtual ~TFieldEditServices() = default;
  // Applies the set properties of the format to the text of the range (unset ones untouched).
  virtual void FormatFont(TDoc& /*doc*/, const TDocRange& /*range*/,
                          const TCharFormat& /*format*/) {}
  // Overwrites text bytes of one paragraph in place from the position (as many bytes as given;
  // the tags between them are left alone).
  virtual void FastReplaceText(TDoc& doc, const TDocPosition& at, const std::string& bytes);
  // Gives the document the style list (the document-styles edit); changed styles are applied
  // to their paragraphs again.
  virtual void FormatDocumentStyles(TDoc& doc, std::unique_ptr<TStyleList> styles);
  // For each paragraph of the range, its style's paragraph format (mode 0) or character format
  // (mode 1) applied directly.
  virtual void ApplyStyleFormatsDirectly(TDoc& /*doc*/, const TDocRange& /*range*/,
                                         uint8_t /*mode*/) {}
  // The style of the selected paragraphs takes their formatting (the selection's current
  // formats); false when the paragraphs have different styles.
  virtual bool UpdateStyleFromSelection(TDoc& /*doc*/) { return false; }
};

// Registers the services (null restores the stand-ins).
void RegisterFieldEditServices(std::unique_ptr<TFieldEditServices> services);
TFieldEditServices& FieldEditServices();

}  // namespace qv
