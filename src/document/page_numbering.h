#pragma once
// The numbers that pages show. Page numbers follow the chain of sections: from the page's
// section backwards to the nearest section that starts its own numbering (its page-number start
// is not -1), the number counts from that start on that section's first page; without such a
// section the first page is 1.
#include <cstdint>

namespace qv {

class TDoc;
class TLine;
class TSection;

struct TPageNumber {
  int32_t Number = 1;
  uint8_t PageStyle = 0;   // the number style of the page's own section
  uint8_t StartStyle = 0;  // the number style of the section where the numbering starts
};

// The number of the laid-out page (index); a page beyond the laid-out ones counts on from the
// last.
TPageNumber PageNumberOfPage(const TDoc& doc, int32_t page);
// The index of the page that shows the placed line; -1 when it is not placed.
int32_t PageIndexOfLine(const TLine* line);
// The page that shows the character of the paragraph (the line holding it); -1 when the
// paragraph is not laid out there yet.
int32_t PageIndexOfChar(const TDoc& doc, int32_t par, int32_t offset);

}  // namespace qv
