#pragma once
// What a document keeps for updating its fields and for the fields its selection touches: the
// sets of field types an update asks for, the counts stored for the header and footer fields
// (so that a re-pagination of the headers and footers sees stable numbers), and the lists of
// fields and headings at the selection that command enabling, the status bar and the window read.
#include <bitset>
#include <cstdint>
#include <map>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TField;
class TSection;

// A set over the field-type numbers 0..95.
using TFieldTypeSet = std::bitset<96>;

// Scoped document flags of the field update.
enum : int32_t {
  dfStoredFieldCounts = 27,     // the stored page, word and character counts are in force
  dfHeaderFooterRepaginate = 28,  // headers and footers are to be paginated again
  dfPageFieldsForPage = 93,     // one page's header and footer fields are being evaluated
  dfFieldsNotReselected = 94,   // updated results do not join the selection to restore
  dfStoredFieldResults = 95,    // every field shows its stored result (no evaluation)
  dfSelectedFieldListsValid = 97,
  dfSpellCheckRunning = 118,
};

struct TFieldUpdateState {
  // Counts stored for the header and footer fields while they are paginated again.
  int32_t StoredPageCount = 0;
  int32_t StoredWordCount = 0;
  int32_t StoredCharCount = 0;
  std::map<const TSection*, int32_t> StoredSectionPages;
  bool HasStoredCounts = false;
  // The page whose header and footer fields are being evaluated (-1 none).
  int32_t PageIndex = -1;
};

// The fields and headings that the selection (or the caret) touches.
struct TSelectedFieldLists {
  // What the lists were made for: the caret and the selected ranges.
  TDocPosition Caret;
  std::vector<TDocRange> Ranges;
  int32_t RequestedType = 255;
  std::vector<TField*> Requested;
  std::vector<TField*> Hyperlinks;
  std::vector<TField*> Footnotes;
  std::vector<TField*> Endnotes;
  std::vector<TField*> AllNotes;
  std::vector<TField*> Tocs;
  std::vector<TField*> Indexes;
  std::vector<int32_t> Headings;  // paragraph indexes
  std::vector<TField*> DropCaps;
};

// The program-wide tick (milliseconds) of the last keyboard, mouse or command activity; large
// documents put off the re-pagination of their headers and footers while the user is active.
void NoteUserActivity();
int64_t MillisecondsSinceUserActivity();

}  // namespace qv
