#include "document/fragment_pool.h"

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

namespace qv {

class TFragmentPool {
 public:
  static constexpr int32_t InitialSlots = 16384;
  static constexpr int32_t TrimmedSlots = 32;
  static constexpr int32_t KeptBufferLimit = 256;

  TFragmentPool() : slots_(InitialSlots) {}

  TCompoundFragment* Acquire() {
    if (count_ == 0) return new TCompoundFragment();
    TCompoundFragment* fragment = slots_[--count_].release();
    fragment->ResetToEmptyRange();
    return fragment;
  }

  void Release(TCompoundFragment* fragment) {
    std::unique_ptr<TCompoundFragment> owned(fragment);
    if (MemoryUnderPressure()) return;  // destroyed, not pooled
    if (owned->Capacity > KeptBufferLimit) owned->TMemory::Clear();
    if (count_ == static_cast<int32_t>(slots_.size())) slots_.resize(slots_.size() * 2);
    slots_[count_++] = std::move(owned);
  }

  void Trim() {
    slots_.clear();
    slots_.resize(TrimmedSlots);
    count_ = 0;
  }

  int32_t Count() const { return count_; }
  int32_t Slots() const { return static_cast<int32_t>(slots_.size()); }

 private:
  std::vector<std::unique_ptr<TCompoundFragment>> slots_;
  int32_t count_ = 0;
};

namespace {

// Lives for the whole run and is never destroyed, so fragments released by other objects'
// destructors at exit still find it.
TFragmentPool& Pool() {
  static TFragmentPool* pool = new TFragmentPool();
  return *pool;
}

struct TMemoryMeasure {
  std::function<uint64_t()> probe;
  uint32_t questionsSinceMeasure = 0;
  bool measured = false;
  uint64_t lastBytes = 0;
  std::chrono::steady_clock::time_point lastMeasure{};
};

TMemoryMeasure& Measure() {
  static TMemoryMeasure measure;
  return measure;
}

constexpr uint32_t kQuestionsPerMeasure = 256;
// The allocator's statistics walk its whole heap (a large document's heap takes a millisecond),
// so they are asked at most this often however many questions come.
constexpr std::chrono::milliseconds kMinMeasureInterval{250};

uint64_t ResidentMemoryBytes() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  unsigned long long sizePages = 0, residentPages = 0;
  const int read = std::fscanf(f, "%llu %llu", &sizePages, &residentPages);
  std::fclose(f);
  if (read != 2) return 0;
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  return residentPages * static_cast<uint64_t>(pageSize > 0 ? pageSize : 4096);
}

}  // namespace

void TFragmentReleaser::operator()(TCompoundFragment* fragment) const {
  if (fragment != nullptr) Pool().Release(fragment);
}

TFragmentRef AcquireFragment() { return TFragmentRef(Pool().Acquire()); }

void ReleaseFragment(TFragmentRef fragment) { fragment.reset(); }

TFragmentRef CloneFragment(const TCompoundFragment& fragment) {
  TFragmentRef copy = AcquireFragment();
  copy->Assign(fragment);
  return copy;
}

bool IsFragmentEmpty(const TCompoundFragment* fragment) {
  return fragment == nullptr || (fragment->Count() == 1 && IsRangeEmpty(*fragment->GetRange(0)));
}

void TrimFragmentPool() { Pool().Trim(); }
int32_t FragmentPoolCount() { return Pool().Count(); }
int32_t FragmentPoolSlots() { return Pool().Slots(); }

uint64_t AllocatedMemoryBytes() {
  TMemoryMeasure& m = Measure();
  if (m.probe) return m.probe();
  struct mallinfo2 info = mallinfo2();
  const uint64_t bytes = static_cast<uint64_t>(info.uordblks) + static_cast<uint64_t>(info.hblkhd);
  if (bytes > 0) return bytes;
  // An allocator that replaces the C library's (a sanitizer, jemalloc) keeps no statistics
  // there; the process's resident memory is the nearest measure then.
  return ResidentMemoryBytes();
}

bool MemoryUnderPressure() {
  TMemoryMeasure& m = Measure();
  if (!m.measured || ++m.questionsSinceMeasure >= kQuestionsPerMeasure) {
    m.questionsSinceMeasure = 0;
    const auto now = std::chrono::steady_clock::now();
    if (!m.measured || m.probe || now - m.lastMeasure >= kMinMeasureInterval) {
      m.lastBytes = AllocatedMemoryBytes();
      m.measured = true;
      m.lastMeasure = now;
    }
  }
  return m.lastBytes > MemoryPressureLimit;
}

void SetAllocatedMemoryProbe(std::function<uint64_t()> probe) {
  TMemoryMeasure& m = Measure();
  m.probe = std::move(probe);
  m.measured = false;
}

}  // namespace qv
