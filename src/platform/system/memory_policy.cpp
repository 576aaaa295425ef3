#include "platform/system/memory_policy.h"

#include <malloc.h>

#include <algorithm>
#include <climits>

namespace plat {

void KeepFreedMemory(size_t bytes) {
  // Largest block the heap serves itself; beyond it blocks are mapped on their own.
  constexpr size_t kLargestHeapBlock = size_t{32} << 20;
  const size_t kept = std::min(bytes, static_cast<size_t>(INT_MAX));
  mallopt(M_TRIM_THRESHOLD, static_cast<int>(kept));
  mallopt(M_MMAP_THRESHOLD, static_cast<int>(std::min(kept, kLargestHeapBlock)));
}

}  // namespace plat
