#include "foundation/base/string_list.h"

#include <algorithm>

#include "foundation/base/exceptions.h"

namespace qv {

namespace {

int CompareAsciiNoCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (ca >= 'a' && ca <= 'z') ca = static_cast<unsigned char>(ca - 32);
    if (cb >= 'a' && cb <= 'z') cb = static_cast<unsigned char>(cb - 32);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int TStringList::CompareStrings(const std::string& a, const std::string& b) const {
  if (CaseSensitive) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return CompareAsciiNoCase(a, b);
}

void TStringList::CheckIndex(int32_t index) const {
  if (index < 0 || index >= Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
}

const std::string& TStringList::Strings(int32_t index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].Str;
}

void TStringList::SetString(int32_t index, const std::string& s) {
  CheckIndex(index);
  if (sorted_) throw Exception("Operation not allowed on sorted list");
  items_[static_cast<size_t>(index)].Str = s;
}

intptr_t TStringList::Objects(int32_t index) const {
  CheckIndex(index);
  return items_[static_cast<size_t>(index)].Object;
}

void TStringList::SetObject(int32_t index, intptr_t object) {
  CheckIndex(index);
  items_[static_cast<size_t>(index)].Object = object;
}

int32_t TStringList::Add(const std::string& s, intptr_t object) {
  int32_t index = Count();
  if (sorted_) {
    if (Find(s, index)) {
      if (Duplicates == TDuplicates::dupIgnore) return index;
      if (Duplicates == TDuplicates::dupError)
        throw Exception("String list does not allow duplicates");
    }
  }
  items_.insert(items_.begin() + index, TItem{s, object});
  return index;
}

void TStringList::Insert(int32_t index, const std::string& s, intptr_t object) {
  if (sorted_) throw Exception("Operation not allowed on sorted list");
  if (index < 0 || index > Count())
    throw Exception("List index out of bounds (" + std::to_string(index) + ")");
  items_.insert(items_.begin() + index, TItem{s, object});
}

void TStringList::Delete(int32_t index) {
  CheckIndex(index);
  items_.erase(items_.begin() + index);
}

void TStringList::Exchange(int32_t a, int32_t b) {
  CheckIndex(a);
  CheckIndex(b);
  std::swap(items_[static_cast<size_t>(a)], items_[static_cast<size_t>(b)]);
}

void TStringList::Move(int32_t from, int32_t to) {
  if (from == to) return;
  CheckIndex(from);
  CheckIndex(to);
  TItem item = std::move(items_[static_cast<size_t>(from)]);
  items_.erase(items_.begin() + from);
  items_.insert(items_.begin() + to, std::move(item));
}

bool TStringList::Find(const std::string& s, int32_t& index) const {
  // Binary search for the first element not below s.
  int32_t lo = 0, hi = Count() - 1;
  bool found = false;
  while (lo <= hi) {
    const int32_t mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(items_[static_cast<size_t>(mid)].Str, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;
    }
  }
  index = lo;
  return found;
}

int32_t TStringList::IndexOf(const std::string& s) const {
  if (sorted_) {
    int32_t index;
    return Find(s, index) ? index : -1;
  }
  for (int32_t i = 0; i < Count(); ++i)
    if (CompareStrings(items_[static_cast<size_t>(i)].Str, s) == 0) return i;
  return -1;
}

int32_t TStringList::IndexOfObject(intptr_t object) const {
  for (int32_t i = 0; i < Count(); ++i)
    if (items_[static_cast<size_t>(i)].Object == object) return i;
  return -1;
}

void TStringList::SetSorted(bool sorted) {
  if (sorted && !sorted_) Sort();
  sorted_ = sorted;
}

void TStringList::Sort() {
  std::stable_sort(items_.begin(), items_.end(), [this](const TItem& a, const TItem& b) {
    return CompareStrings(a.Str, b.Str) < 0;
  });
}

void TStringList::CustomSort(const std::function<bool(const TItem&, const TItem&)>& less) {
  std::stable_sort(items_.begin(), items_.end(), less);
  sorted_ = false;
}

std::string TStringList::Text() const {
  std::string text;
  for (const auto& item : items_) text += item.Str + "\r\n";
  return text;
}

void TStringList::SetText(const std::string& text) {
  const bool wasSorted = sorted_;
  sorted_ = false;
  items_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      items_.push_back({text.substr(start), 0});
      break;
    }
    items_.push_back({text.substr(start, end - start), 0});
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  if (wasSorted) SetSorted(true);
}

}  // namespace qv
