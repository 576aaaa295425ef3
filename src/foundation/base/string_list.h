#pragma once
// A list of byte strings, each with an attached value (an object handle or a number), optionally
// kept sorted. Comparison is ASCII case-insensitive unless CaseSensitive is set.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qv {

enum class TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList {
 public:
  struct TItem {
    std::string Str;
    intptr_t Object = 0;
  };

  bool CaseSensitive = false;
  TDuplicates Duplicates = TDuplicates::dupIgnore;  // used only while Sorted

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  // Index checks: an index outside 0..Count-1 throws Exception("List index out of bounds (%d)").
  const std::string& Strings(int32_t index) const;
  void SetString(int32_t index, const std::string& s);
  intptr_t Objects(int32_t index) const;
  void SetObject(int32_t index, intptr_t object);
  const std::vector<TItem>& Items() const { return items_; }

  // Appends (or inserts at the sorted place while Sorted); returns the index. In a sorted list a
  // duplicate is ignored (returning the existing index) or raises, as Duplicates says.
  int32_t Add(const std::string& s, intptr_t object = 0);
  // Insert is not allowed in a sorted list (raises).
  void Insert(int32_t index, const std::string& s, intptr_t object = 0);
  void Delete(int32_t index);
  void Clear() { items_.clear(); }
  void Exchange(int32_t a, int32_t b);
  void Move(int32_t from, int32_t to);

  // The first index of an equal string; -1 when absent (binary search while Sorted).
  int32_t IndexOf(const std::string& s) const;
  int32_t IndexOfObject(intptr_t object) const;
  // Sorted lists: true when found; `index` receives the place found or where it would go.
  bool Find(const std::string& s, int32_t& index) const;

  bool Sorted() const { return sorted_; }
  void SetSorted(bool sorted);
  void Sort();
  // Sorts by a "less" predicate; the list is not marked Sorted.
  void CustomSort(const std::function<bool(const TItem&, const TItem&)>& less);

  // The strings joined, each followed by CR LF; SetText splits at CR LF, CR or LF.
  std::string Text() const;
  void SetText(const std::string& text);

  int CompareStrings(const std::string& a, const std::string& b) const;

 private:
  void CheckIndex(int32_t index) const;
  std::vector<TItem> items_;
  bool sorted_ = false;
};

}  // namespace qv
