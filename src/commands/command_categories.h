#pragma once
// The 32 command categories by which the customising dialogs list commands, each with its name
// (a carriage return marks where a command-bar caption breaks into two lines), the number under
// which the toolbar settings store its bar, and its commands in display order.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct TCommandCategory {
  std::string Name;
  int32_t BarNumber;
  std::vector<int32_t> Ids;
};

inline constexpr size_t kCategoryCount = 32;
inline constexpr uint8_t kNoCategory = 255;

const std::array<TCommandCategory, kCategoryCount>& Categories();

// The index of the first category (in index order) that lists the id; kNoCategory when none.
uint8_t FirstCategoryOfCommand(int32_t id);
// The category index whose bar number equals the argument, searching from the last index down;
// kNoCategory when none.
uint8_t CategoryOfBarNumber(int32_t barNumber);
// A category's name on one line (its line break shown as a blank).
std::string CategoryDisplayName(size_t index);

}  // namespace qv
