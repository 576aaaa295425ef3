#include "document/doc_flags.h"

#include "document/doc.h"

namespace qv {

TScopedFlagStack::TScopedFlagStack() { entries_.reserve(static_cast<size_t>(capacity_)); }

void TScopedFlagStack::Push(int32_t flag, uint8_t previous) {
  if (Depth() == capacity_) {
    capacity_ *= 2;
    entries_.reserve(static_cast<size_t>(capacity_));
  }
  entries_.push_back(static_cast<uint16_t>((flag & 0xFF) | (previous != 0 ? 0x8000 : 0)));
}

bool TScopedFlagStack::Pop(int32_t& flag, uint8_t& previous) {
  if (entries_.empty()) return false;
  const uint16_t entry = entries_.back();
  entries_.pop_back();
  flag = entry & 0xFF;
  previous = (entry & 0x8000) != 0 ? 1 : 0;
  return true;
}

TScopedDocFlag::TScopedDocFlag(TDoc& doc, int32_t flag, bool value) : doc_(doc) {
  if (flag < 0 || flag >= DocFlagCount) return;
  if (value) doc.SetScopedFlag(flag);
  else doc.ClearScopedFlag(flag);
  pushed_ = true;
}

TScopedDocFlag::~TScopedDocFlag() {
  if (pushed_) doc_.RestoreScopedFlag();
}

}  // namespace qv
