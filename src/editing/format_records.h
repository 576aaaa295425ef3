#pragma once
// Undo records with algorithms of their own: paragraph properties, character formatting,
// the document's style list, tab settings, and sorting and moving paragraphs.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "editing/undo_records.h"

namespace qv {

class TOperation;
class TStyleList;
class TAutoList;

// Swaps paragraph properties: groups of (paragraph, entries of property id and value).
class TFormatParsOperation : public TSubOperation {
 public:
  struct TEntry {
    uint8_t Prop;
    int32_t Value;
  };
  struct TGroup {
    int32_t Par;
    std::vector<TEntry> Entries;
  };
  using TSubOperation::TSubOperation;
  void Undo() override;
  const char* ClassName() const override { return "TFormatParsOperation"; }
  std::vector<TGroup> Groups;
};

// Character formatting of a range: its first run applies the set properties of the format
// (unset ones untouched) to the text of the range, keeping the affected paragraphs' streams
// as they were before; later runs exchange the kept streams with the paragraphs'.
class TFormatFontOperation : public TSubOperation {
 public:
  TFormatFontOperation(TDoc& doc, const TDocRange& range, const TCharFormat& format)
      : TSubOperation(doc), Range(range), Format(format) {}
  void Undo() override;
  void Redo() override;
  const char* ClassName() const override { return "TFormatFontOperation"; }
  TDocRange Range;
  TCharFormat Format;
  bool Performed = false;
  std::vector<TMemory> SavedStreams;  // one per paragraph of the range

 private:
  void Exchange();
};

// What the document-styles edit hands over: the new style list and what changed.
struct TFormatStyleListInfo {
  TFormatStyleListInfo();
  ~TFormatStyleListInfo();
  std::unique_ptr<TStyleList> NewStyles;
  std::vector<int32_t> Deleted;  // old-list indexes of deleted styles
  std::vector<int32_t> Changed;  // old-list indexes of changed styles
  int32_t StyleIndex = -1;       // to apply, -1 none
  uint8_t Apply = 0;             // the style becomes current and is applied
  uint8_t Keep = 0;              // paragraphs that already carry the right style are left alone
  std::vector<std::pair<int32_t, std::unique_ptr<TAutoList>>> ChangedLists;  // list index, definition
};

// Swaps the document's style list with the info's; its first run re-applies the changed styles
// to their paragraphs in a nested operation, which later runs undo and redo.
class TFormatStyleListOperation : public TSubOperation {
 public:
  TFormatStyleListOperation(TDoc& doc, std::unique_ptr<TFormatStyleListInfo> info);
  ~TFormatStyleListOperation() override;
  void Undo() override;
  void Redo() override;
  const char* ClassName() const override { return "TFormatStyleListOperation"; }
  std::unique_ptr<TOperation> Nested;
  bool Performed = false;
  std::unique_ptr<TFormatStyleListInfo> Info;
};

// Default tab stop and a tab set applied to paragraphs (in a nested operation).
class TFormatTabsOperation : public TSubOperation {
 public:
  TFormatTabsOperation(TDoc& doc, int32_t defaultTabStop, int16_t tabSet, const TDocRange& range);
  ~TFormatTabsOperation() override;
  void Undo() override;
  const char* ClassName() const override { return "TFormatTabsOperation"; }
  std::unique_ptr<TOperation> Nested;
  bool Performed = false;
  int32_t DefaultTabStop;
  int16_t TabSet;
  TDocRange Range;
};

// Sorts a run of paragraphs by their text; later runs replay the recorded exchanges (backwards
// after each run).
class TSortParsOperation : public TSubOperation {
 public:
  TSortParsOperation(TDoc& doc, int32_t first, int32_t last, bool descending)
      : TSubOperation(doc), First(first), Last(last), Descending(descending) {}
  void Undo() override;
  const char* ClassName() const override { return "TSortParsOperation"; }
  bool Performed = false;
  std::vector<std::pair<int32_t, int32_t>> Exchanges;
  int32_t First, Last;
  bool Descending;
  bool Sorted = false;  // the first run changed the order
};

// Compares two paragraphs' texts for sorting: byte order of their character codes, a shorter
// text that is a prefix of a longer one first, and equal texts by paragraph index, so the
// comparison is a strict weak order (a total order on distinct paragraphs).
int CompareParagraphsForSort(const TPar& a, const TPar& b);

// Moves a block of paragraphs within their story to before a target paragraph (indexes as
// before the move); the next run moves it back.
class TMoveParsOperation : public TSubOperation {
 public:
  TMoveParsOperation(TDoc& doc, int32_t first, int32_t count, int32_t target)
      : TSubOperation(doc), First(first), Count(count), Target(target) {}
  // A move from one story to another (between the note stories): the count moves between the
  // stories' paragraph counts, and the stories change places for the way back.
  TMoveParsOperation(TDoc& doc, int32_t first, int32_t count, int32_t target, int32_t fromStory,
                     int32_t toStory)
      : TSubOperation(doc), First(first), Count(count), Target(target), FromStory(fromStory),
        ToStory(toStory) {}
  void Undo() override;
  const char* ClassName() const override { return "TMoveParsOperation"; }
  int32_t First, Count, Target;
  int32_t FromStory = -1, ToStory = -1;
};

}  // namespace qv
