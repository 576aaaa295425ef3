#pragma once
// TSection: a section of a document, the value of a section-break tag and the owner of the page
// settings, column settings, headers and footers and note numbering of its paragraphs.
#include <array>
#include <cstdint>

#include "document/doc_position.h"
#include "document/page_params.h"

namespace qv {

class TDoc;
class TField;

// Numbering of footnotes or endnotes in a section.
struct TNoteSettings {
  int32_t Position = 0;      // 0 end of section, 1 bottom of page, 2 beneath the text, 3 end of document
  int32_t NumberFormat = 0;  // number-format code: 0..4 numerals and letters, 9 symbols
  int32_t StartAt = 1;
  int32_t Restart = 0;       // 0 continuous, 1 each section, 2 each page
};

// The page settings in pixels at the document's zoom, kept by the document's view.
struct TSectionPixels {
  int32_t PageWidth = 0;  // at zoom 100
  int32_t PageHeight = 0;
  int32_t LeftMargin = 0;
  int32_t RightMargin = 0;
  int32_t TopMargin = 0;
  int32_t BottomMargin = 0;
  int32_t ZoomedPageWidth = 0;
  int32_t ZoomedPageHeight = 0;
  int32_t ZoomedLeftMargin = 0;
  int32_t ZoomedRightMargin = 0;
  int32_t ZoomedTopMargin = 0;
  int32_t ZoomedBottomMargin = 0;
};

// Slots of the six header and footer fields.
enum : int {
  hfEvenHeader = 0,
  hfOddHeader = 1,
  hfEvenFooter = 2,
  hfOddFooter = 3,
  hfFirstHeader = 4,
  hfFirstFooter = 5,
  hfCount = 6,
};

class TSection {
 public:
  // An empty section of the document; call SetDefaults for the program's default settings.
  explicit TSection(TDoc* doc) : Doc(doc) {}
  // Section-break tags that still name the section name nothing afterwards.
  ~TSection();
  TSection(const TSection&) = default;
  TSection& operator=(const TSection&) = default;

  TDoc* Doc = nullptr;       // owning document (not owned here)
  int32_t Number = 0;        // index in the document, from 0
  int32_t FirstPar = 0;      // first paragraph
  int32_t LastPar = 0;       // paragraph that ends with the section break (or ends the main text)
  TSectionFormat Format;     // break kind first, then the columns
  TPageParams PageParams;
  TSectionPixels Pixels;
  // Header and footer fields (kind 5, bracketing their paragraphs in story 3); owned by the
  // document's field list, null when the slot is empty.
  std::array<TField*, hfCount> HeaderFooter = {};
  uint8_t PageNumberFormat = 0;  // 0 decimal, 1 lower letters, 2 upper letters, 3 lower roman, 4 upper roman
  int32_t PageNumberStart = -1;  // -1 continues from the previous section
  TNoteSettings Footnotes{1, 0, 1, 0};
  TNoteSettings Endnotes{3, 2, 1, 0};
  int32_t FirstPage = 0;  // first and last page index that show the section, after layout
  int32_t LastPage = 0;

  // Default format (next-page break, one column), default page parameters, page numbers 0 and
  // -1, default note settings. Header and footer fields are left alone.
  void SetDefaults();
  // Copies format, page parameters, page-number settings and both note settings; not the
  // header and footer fields, the number or the paragraph range.
  void AssignFormat(const TSection& other);
  // Column bounds within the page parameters of the section that governs this section's page.
  void GetColumnBounds(int32_t column, TColumnBounds& out) const;
  // True when the section ends before the position: its last paragraph lies before the
  // position's paragraph, or the position stands at the end (the paragraph mark or after it) of
  // the last paragraph, or of the one before it while document flag 62 is set.
  bool EndsBefore(const TDocPosition& position) const;
};

// The program's default section format: break kind 1 (next page), one column.
const TSectionFormat& DefaultSectionFormat();

}  // namespace qv
