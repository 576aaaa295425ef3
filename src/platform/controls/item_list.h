#pragma once
// plat::ItemList: the list of text items with data that list boxes and combo boxes keep, with
// the comparisons they share: texts compare with ASCII letters case-folded (other characters as
// they are), and a sorted list keeps equal texts in the order they came.
//
// Item is a struct with at least `std::u16string text` and `intptr_t data`. The control that
// derives from the list does the inserting and clearing (it has its selection and view to keep
// right); adding and setting whole lists are built on those here.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

inline char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

inline bool StartsFolded(std::u16string_view text, std::u16string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
  return true;
}

inline bool EqualFolded(std::u16string_view a, std::u16string_view b) {
  return a.size() == b.size() && StartsFolded(a, b);
}

inline bool LessFolded(std::u16string_view a, std::u16string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i)
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return FoldAscii(a[i]) < FoldAscii(b[i]);
  return a.size() < b.size();
}

template <class Item>
class ItemList {
 public:
  virtual ~ItemList() = default;

  int32_t Count() const { return int32_t(items_.size()); }
  // Adds at the end, or at its sorted place while Sorted; returns the index.
  int32_t AddItem(const std::u16string& text, intptr_t data = 0) {
    int32_t at = sorted_ ? SortedPlace(text) : Count();
    InsertItem(at, text, data);
    return at;
  }
  virtual void InsertItem(int32_t index, const std::u16string& text, intptr_t data = 0) = 0;
  virtual void Clear() = 0;
  void SetItems(const std::vector<std::u16string>& texts) {
    Clear();
    for (auto& t : texts) AddItem(t);
  }
  std::u16string ItemText(int32_t index) const { return ValidIndex(index) ? items_[size_t(index)].text : std::u16string(); }
  intptr_t ItemData(int32_t index) const { return ValidIndex(index) ? items_[size_t(index)].data : 0; }
  void SetItemData(int32_t index, intptr_t data) {
    if (ValidIndex(index)) items_[size_t(index)].data = data;
  }
  // The first item whose text equals text (case folded for ASCII letters); -1 when none.
  int32_t IndexOf(const std::u16string& text) const {
    for (int32_t i = 0; i < Count(); ++i)
      if (EqualFolded(items_[size_t(i)].text, text)) return i;
    return -1;
  }
  bool Sorted() const { return sorted_; }

 protected:
  bool ValidIndex(int32_t index) const { return index >= 0 && index < Count(); }
  // Where a text goes in the sorted list: after the items that are not greater.
  int32_t SortedPlace(const std::u16string& text) const {
    auto it = std::upper_bound(items_.begin(), items_.end(), text,
                               [](const std::u16string& t, const Item& i) { return LessFolded(t, i.text); });
    return int32_t(it - items_.begin());
  }
  // Puts a new item at index (clamped to the list); returns where it went.
  int32_t PutItem(int32_t index, const std::u16string& text, intptr_t data) {
    index = std::clamp(index, 0, Count());
    Item item;
    item.text = text;
    item.data = data;
    items_.insert(items_.begin() + index, std::move(item));
    return index;
  }
  void SortItems() {
    std::stable_sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) { return LessFolded(a.text, b.text); });
  }

  std::vector<Item> items_;
  bool sorted_ = false;
};

}  // namespace plat
