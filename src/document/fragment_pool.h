#pragma once
// The program-wide pool of TCompoundFragment objects. Taking a copy of the selection, looking at
// it and dropping it happens on every keystroke and repaint, so fragments are recycled: a pooled
// fragment keeps a buffer of up to 256 bytes and comes back out without allocating.
//
// A fragment from AcquireFragment or CloneFragment, or one that a document operation returns as
// new, belongs to its caller. It is held in a TFragmentRef, which gives it back to the pool when
// it goes out of scope (or through ReleaseFragment); fragments are never deleted directly.
// While more than 1 GiB is allocated, returned fragments are destroyed instead of pooled.
// Main thread only; nothing is locked.
#include <cstdint>
#include <functional>
#include <memory>

#include "document/compound_fragment.h"

namespace qv {

struct TFragmentReleaser {
  void operator()(TCompoundFragment* fragment) const;
};
using TFragmentRef = std::unique_ptr<TCompoundFragment, TFragmentReleaser>;

// A fragment holding the single empty range at paragraph 0, offset 0, flag clear: the most
// recently released pooled fragment, else a new one.
TFragmentRef AcquireFragment();
// Gives the fragment back now (a null reference does nothing).
void ReleaseFragment(TFragmentRef fragment);
// A pooled fragment with the ranges and flag of the given one.
TFragmentRef CloneFragment(const TCompoundFragment& fragment);
// True for null, and for a fragment of exactly one range that is empty.
bool IsFragmentEmpty(const TCompoundFragment* fragment);
inline bool IsFragmentEmpty(const TFragmentRef& fragment) { return IsFragmentEmpty(fragment.get()); }

// Destroys every pooled fragment and shrinks the slot list to 32 slots; run by the cache trim
// when memory use passes 1 GiB.
void TrimFragmentPool();
// Pooled fragments, and slots of the pool's list.
int32_t FragmentPoolCount();
int32_t FragmentPoolSlots();

// Memory pressure: more than 1 GiB allocated in all. The measure is the allocator's own count of
// bytes in use, sampled every 256 questions, so asking is cheap enough for every release.
constexpr uint64_t MemoryPressureLimit = uint64_t{1} << 30;
bool MemoryUnderPressure();
uint64_t AllocatedMemoryBytes();
// Replaces the measure (tests simulate pressure with it); null restores the allocator's count.
// The next question measures again at once.
void SetAllocatedMemoryProbe(std::function<uint64_t()> probe);

}  // namespace qv
