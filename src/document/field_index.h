#pragma once
// The document's index over its field marks. The field-start and field-end tags of the content
// streams are the truth about every field's extent; the index holds what a walk over them finds
// (the fields in the order of their start marks, the bookmark names, the locked selections) and
// is rebuilt lazily, the first time it is asked after a change of marks or text.
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TField;

// Scoped document flags of the field index.
enum : int32_t {
  dfDeletingWholeStory = 83,     // the Delete command empties the whole story: empty fields at
                                 // the deletion's start and shape anchors go as well
  dfHyperlinkTextReplaced = 86,  // fields that span exactly the replaced text are kept
  dfStoryContentMoving = 87,     // header, footer or note content is being moved
  dfWholeParagraphsInserted = 88,
  dfParagraphsMoving = 89,
  dfFieldIndexDirty = 92,        // marks or text changed: the index is rebuilt before use
  dfFieldEndInclusive = 99,      // containment tests include a field's end
};

// A mark's slot among other field marks at the same character: before all, after all.
inline constexpr int32_t FieldSlotFirst = 0;
inline constexpr int32_t FieldSlotLast = 0x7FFFFFFF;

struct TBookmarkName {
  std::u16string Name;
  TField* Field = nullptr;
};

// A field mark taken out of the text while the text around it changes, to be put back after.
struct TKeptFieldMark {
  TField* Field = nullptr;
  bool EndMark = false;
  TDocPosition At;  // where it stood
};

// One open bracket of a text change that keeps field marks.
struct TKeepFrame {
  TDocPosition Start, End;
  std::vector<TKeptFieldMark> Marks;
};

class TFieldIndex {
 public:
  // A dirty span from this paragraph means the whole document; to this one, to its end.
  static constexpr int32_t WholeDocument = std::numeric_limits<int32_t>::min();
  static constexpr int32_t ToEnd = std::numeric_limits<int32_t>::max();

  std::vector<TField*> Fields;                  // by start mark: paragraph, offset, stream order
  std::vector<TBookmarkName> Bookmarks;         // visible bookmarks in document order
  std::vector<TBookmarkName> SortedBookmarks;   // the same by name, without regard to case
  std::vector<TField*> LockedSelections;        // fields of kind 6 in document order
  std::vector<TDocRange> LockedRanges;          // their ranges, in document order
  std::vector<TDocRange> LockedRangesMerged;    // sorted and merged
  int32_t DirtyFirst = WholeDocument;
  int32_t DirtyLast = ToEnd;
  bool Built = false;
  std::vector<TKeepFrame> KeepFrames;  // one per open BeginKeepFieldMarks  // a whole-document walk has been made at least once
};

// Kinds that mark ranges rather than fields proper, and those that are stories of their own.
bool IsRangeKind(int32_t kind);
bool IsStoryKind(int32_t kind);
// Names of bookmarks compare without regard to case.
int CompareBookmarkNames(const std::u16string& a, const std::u16string& b);

}  // namespace qv
