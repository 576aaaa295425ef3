#include <memory>
#include <utility>
#include <vector>

#include "document/fragment_pool.h"
#include "document/line.h"
#include "document/line_fitter_service.h"
#include "document/par.h"
#include "foundation/base/service_slot.h"

namespace qv {

namespace {

// Lines are reused rather than made and freed for every re-break. The pool owns the lines it
// holds; a line in use is owned by its paragraph's line list.
// Paragraphs that outlive the pool (static documents destroyed at exit after it) still give
// their lines back: once the pool is gone, released lines are simply freed.
bool gPoolGone = false;

struct TLinePool {
  std::vector<std::unique_ptr<TLine>> lines;
  ~TLinePool() { gPoolGone = true; }
};

std::vector<std::unique_ptr<TLine>>& Pool() {
  static TLinePool pool;
  return pool.lines;
}

}  // namespace

TLine* AcquireLine(TPar& par, const TCharFormat& format) {
  std::unique_ptr<TLine> line;
  if (gPoolGone) {
    line = std::make_unique<TLine>();
  } else if (!Pool().empty()) {
    auto& pool = Pool();
    line = std::move(pool.back());
    pool.pop_back();
  } else {
    line = std::make_unique<TLine>();
  }
  std::vector<int32_t> positions = std::move(line->Positions);
  positions.clear();
  *line = TLine{};
  line->Positions = std::move(positions);
  line->Par = &par;
  line->StartFormat = format;
  if (!par.Lines.empty()) {
    const TLine& last = *par.Lines.back();
    line->StreamOffset = last.StreamOffset + last.StreamLength;
    line->FirstChar = last.FirstChar + last.Count;
  }
  return line.release();
}

void ReleaseLine(TLine* line) {
  if (line == nullptr) return;
  std::unique_ptr<TLine> owned(line);
  if (gPoolGone) return;
  if (owned->Box != nullptr) LineFitter().DetachLine(*owned);
  owned->Box = nullptr;
  owned->Par = nullptr;
  // While memory is short, lines are given back to the allocator rather than kept.
  if (MemoryUnderPressure()) return;
  // A very long line's positions are not worth keeping.
  if (owned->Positions.capacity() > 4096) std::vector<int32_t>().swap(owned->Positions);
  Pool().push_back(std::move(owned));
}

int32_t LinePoolSize() { return gPoolGone ? 0 : static_cast<int32_t>(Pool().size()); }

void ClearLinePool() {
  if (!gPoolGone) std::vector<std::unique_ptr<TLine>>().swap(Pool());
}

TPaginatedLineInfo TPaginatedLineInfo::Create(const TLine& line) {
  return {line.Box, line.Slot, line.Top, line.Flags, line.Height, line.LineNumber};
}

void TPaginatedLineInfo::ApplyTo(TLine& line) const {
  line.Box = Box;
  line.Slot = Slot;
  line.Top = Top;
  line.LineNumber = LineNumber;
  line.Flags |= Flags & 0xF80u;
}

}  // namespace qv
