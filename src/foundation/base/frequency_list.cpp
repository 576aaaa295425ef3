#include "foundation/base/frequency_list.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <stdexcept>

namespace qv {

TFrequencyMemList::TFrequencyMemList(int32_t recordSize) : RecordSize(recordSize) {
  if (recordSize <= 0) throw std::invalid_argument("record size must be positive");
}

int32_t TFrequencyMemList::IndexOf(const void* record) const {
  for (size_t i = Records.size(); i-- > 0;) {
    if (std::memcmp(Records[i].data(), record, static_cast<size_t>(RecordSize)) == 0) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

void TFrequencyMemList::Add(const void* record, int32_t weight) {
  int32_t index = IndexOf(record);
  if (index >= 0) {
    int64_t total = int64_t{Weights[static_cast<size_t>(index)]} + weight;
    total = std::min<int64_t>(std::max<int64_t>(total, INT32_MIN), INT32_MAX);
    Weights[static_cast<size_t>(index)] = static_cast<int32_t>(total);
    if (total > MaxWeight) {
      MaxWeight = static_cast<int32_t>(total);
      MaxIndex = index;
    }
    return;
  }
  if (weight > MaxWeight) {
    MaxWeight = weight;
    MaxIndex = Count();
  }
  const auto* bytes = static_cast<const uint8_t*>(record);
  Records.emplace_back(bytes, bytes + RecordSize);
  Weights.push_back(weight);
}

}  // namespace qv
