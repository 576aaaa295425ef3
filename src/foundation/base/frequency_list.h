#pragma once
// TFrequencyMemList: counts how often equal fixed-size records occur, by weight, and remembers
// the heaviest (the web and e-book writers use it to find the most frequent formatting).
#include <cstdint>
#include <vector>

namespace qv {

class TFrequencyMemList {
 public:
  explicit TFrequencyMemList(int32_t recordSize);

  // Adds the weight to the total of the equal record, or appends a copy of the record with it.
  // A total that passes MaxWeight makes its record the heaviest; ties keep the earlier one.
  void Add(const void* record, int32_t weight);
  // Index of the record with equal bytes, searching from the last; -1 when none.
  int32_t IndexOf(const void* record) const;
  int32_t Count() const { return static_cast<int32_t>(Records.size()); }
  const uint8_t* Record(int32_t index) const { return Records.at(index).data(); }

  std::vector<std::vector<uint8_t>> Records;
  std::vector<int32_t> Weights;  // totals; they stop at the largest 32-bit value
  int32_t RecordSize;
  int32_t MaxWeight = 0;
  int32_t MaxIndex = -1;  // -1 until a record weighs more than 0
};

}  // namespace qv
