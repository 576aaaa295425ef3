#pragma once
// Tab stops and the program-wide table of tab-stop sets.
//
// A stop is one 32-bit value: position in twips in bits 0-23 (at least 15), kind in bits 24-27
// (0 left, 1 centre, 2 right, 3 decimal, 4 bar, 6 list tab), leader in bits 28-31 (0 none,
// 1 dots, 2 hyphens, 3 underline); this packing is also how stops compare. A paragraph format's
// TabSet is an index into TTabManager, which stores every distinct set once for the whole run.
// Entry 0 is the working table that the layout fills for the paragraph it is laying out: the
// paragraph's own stops followed by the document's default stops.
#include <cstdint>
#include <vector>

#include "document/par_format.h"

namespace qv {

enum TTabKind : uint8_t { tkLeft = 0, tkCenter = 1, tkRight = 2, tkDecimal = 3, tkBar = 4, tkList = 6 };
enum TTabLeader : uint8_t { tlNone = 0, tlDots = 1, tlHyphens = 2, tlUnderline = 3 };

struct TTabStop {
  int32_t Position = 0;  // twips
  uint8_t Kind = tkLeft;
  uint8_t Leader = tlNone;
};

using TTabTable = std::vector<uint32_t>;  // packed stops; an interned set is sorted by position

inline constexpr int32_t MinTabPosition = 15;
inline constexpr int32_t MaxTabPosition = 0x00FFFFFF;
inline constexpr uint32_t NoFurtherTabStop = 0x00FFFFFF;  // what NextTabStop answers past the end
inline constexpr int32_t DefaultTabWidth = 720;           // twips, used when a document has none
inline constexpr int32_t TabLimitTwips = 31680;           // 22 inches

// The most stops AddTabStop accepts in one set.
extern int32_t MaxTabStops;

// Positions of 15 or less become 15, positions beyond 24 bits become the largest 24-bit one;
// kind and leader are masked to 4 bits.
uint32_t PackTabStop(int32_t position, int kind, int leader);
TTabStop UnpackTabStop(uint32_t packed);
inline int32_t TabStopPosition(uint32_t packed) { return static_cast<int32_t>(packed & 0xFFFFFF); }
inline int TabStopKind(uint32_t packed) { return static_cast<int>((packed >> 24) & 0xF); }

// Index of the stop at the position, searching from the last; -1 when none.
int32_t IndexOfTabStop(const TTabTable& set, int32_t position);
bool HasTabStop(const TTabTable& set, int32_t position);
// Appends the stop unless the set is full (MaxTabStops) or holds the identical value already;
// a stop at the same position with another kind or leader is appended beside it.
void AddTabStop(TTabTable& set, uint32_t packed);
void DeleteTabStop(TTabTable& set, int32_t position);
void SortTabStops(TTabTable& set);
// The first stop that is not a bar stop and lies after x (or at x with atX); NoFurtherTabStop
// when there is none.
uint32_t NextTabStop(const TTabTable& table, int32_t x, bool atX);

class TTabManager {
 public:
  TTabManager();

  // The index of an equal interned set (same values in the same order), appending a copy when
  // there is none; 0 for an empty set. Callers sort the set first.
  int32_t AddTable(const TTabTable& set);

  // Fills the working table (entry 0) for a paragraph of this format in a document whose default
  // tab width is `defaultTabWidth`. A width of 0 or less (a damaged file) counts as
  // DefaultTabWidth. Rebuilt only when the tab set, the default width or the right indent
  // differs from the last build.
  void BuildParTabs(const TParFormat& format, int32_t defaultTabWidth);

  const TTabTable& WorkingTable() const { return Tables_[0]; }
  // The set at the index; an index outside the table gives an empty set.
  const TTabTable& Table(int32_t index) const;
  int32_t Count() const { return static_cast<int32_t>(Tables_.size()); }

 private:
  std::vector<TTabTable> Tables_;
  bool CacheValid_ = false;
  int32_t CachedTabSet_ = 0;
  int32_t CachedDefaultWidth_ = 0;
  int32_t CachedRightIndent_ = 0;
};

// The program's one tab manager, made on first use.
TTabManager& GetTabManager();

}  // namespace qv
