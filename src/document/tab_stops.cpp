#include "document/tab_stops.h"

#include <algorithm>
#include <climits>

namespace qv {

int32_t MaxTabStops = 50;

namespace {

void AppendUnlessPresent(TTabTable& set, uint32_t packed) {
  if (std::find(set.begin(), set.end(), packed) == set.end()) set.push_back(packed);
}

// Stops whose position is under 15 move to 15, keeping kind and leader.
uint32_t RaiseToMinimum(uint32_t packed) {
  if (TabStopPosition(packed) >= MinTabPosition) return packed;
  return (packed & 0xFF000000u) | static_cast<uint32_t>(MinTabPosition);
}

}  // namespace

uint32_t PackTabStop(int32_t position, int kind, int leader) {
  int32_t p = std::clamp(position, MinTabPosition, MaxTabPosition);
  return static_cast<uint32_t>(p) | (static_cast<uint32_t>(kind & 0xF) << 24) |
         (static_cast<uint32_t>(leader & 0xF) << 28);
}

TTabStop UnpackTabStop(uint32_t packed) {
  TTabStop s;
  s.Position = TabStopPosition(packed);
  s.Kind = static_cast<uint8_t>((packed >> 24) & 0xF);
  s.Leader = static_cast<uint8_t>((packed >> 28) & 0xF);
  return s;
}

int32_t IndexOfTabStop(const TTabTable& set, int32_t position) {
  for (size_t i = set.size(); i-- > 0;) {
    if (TabStopPosition(set[i]) == position) return static_cast<int32_t>(i);
  }
  return -1;
}

bool HasTabStop(const TTabTable& set, int32_t position) {
  return IndexOfTabStop(set, position) != -1;
}

void AddTabStop(TTabTable& set, uint32_t packed) {
  if (static_cast<int64_t>(set.size()) >= MaxTabStops) return;
  AppendUnlessPresent(set, RaiseToMinimum(packed));
}

void DeleteTabStop(TTabTable& set, int32_t position) {
  int32_t i = IndexOfTabStop(set, position);
  if (i >= 0) set.erase(set.begin() + i);
}

void SortTabStops(TTabTable& set) {
  std::stable_sort(set.begin(), set.end(), [](uint32_t a, uint32_t b) {
    return TabStopPosition(a) < TabStopPosition(b);
  });
}

uint32_t NextTabStop(const TTabTable& table, int32_t x, bool atX) {
  for (uint32_t stop : table) {
    if (TabStopKind(stop) == tkBar) continue;
    int32_t p = TabStopPosition(stop);
    if (p > x || (atX && p == x)) return stop;
  }
  return NoFurtherTabStop;
}

TTabManager::TTabManager() : Tables_(1) {}

int32_t TTabManager::AddTable(const TTabTable& set) {
  if (set.empty()) return 0;
  for (size_t i = 1; i < Tables_.size(); ++i) {
    if (Tables_[i] == set) return static_cast<int32_t>(i);
  }
  Tables_.push_back(set);
  return static_cast<int32_t>(Tables_.size() - 1);
}

const TTabTable& TTabManager::Table(int32_t index) const {
  static const TTabTable kEmpty;
  if (index < 0 || index >= Count()) return kEmpty;
  return Tables_[static_cast<size_t>(index)];
}

void TTabManager::BuildParTabs(const TParFormat& format, int32_t defaultTabWidth) {
  // An unset tab set or right indent counts as none / 0, a missing default width as the usual.
  int32_t tabSet = format.TabSet == ParUnset16 ? 0 : format.TabSet;
  int32_t width = defaultTabWidth > 0 ? defaultTabWidth : DefaultTabWidth;
  int32_t rightIndent = format.RightIndent == ParUnset16 ? 0 : format.RightIndent;
  if (CacheValid_ && tabSet == CachedTabSet_ && width == CachedDefaultWidth_ &&
      rightIndent == CachedRightIndent_) {
    return;
  }
  TTabTable& working = Tables_[0];
  working.clear();
  CacheValid_ = true;
  CachedTabSet_ = tabSet;
  CachedDefaultWidth_ = width;
  CachedRightIndent_ = rightIndent;

  // The working table may hold more than MaxTabStops stops, so it is filled directly.
  const int64_t limit = TabLimitTwips - rightIndent;
  int64_t last = 0;
  if (tabSet > 0 && tabSet < Count()) {
    for (uint32_t stop : Tables_[static_cast<size_t>(tabSet)]) {
      if (TabStopKind(stop) == tkBar) continue;
      last = TabStopPosition(stop);
      if (last >= limit && !working.empty()) break;
      AppendUnlessPresent(working, RaiseToMinimum(stop));
    }
  }
  for (;;) {
    int64_t next = width * ((last + width) / width);
    if (!working.empty() && next > limit) break;
    if (next > MaxTabPosition) {  // beyond what a stop can hold; keep at least one stop
      if (working.empty()) working.push_back(PackTabStop(MaxTabPosition, tkLeft, tlNone));
      break;
    }
    last = next;  // always beyond every stop so far, so it cannot repeat one
    working.push_back(PackTabStop(static_cast<int32_t>(next), tkLeft, tlNone));
  }
}

TTabManager& GetTabManager() {
  static TTabManager manager;
  return manager;
}

}  // namespace qv
