#pragma once
// The edit, memo, combo box, list box and label for text of any script (document text, style
// names, spellchecker words, symbol names).
//
// The class layer of this system keeps every window's text as UTF-16 and hands typed characters
// on whole (one message per code point, characters above the byte range included), so these
// controls need no conversion layer between the system and the class layer; they add the wide
// operations the dialogs use, with these rules:
// - GetTextW gives the text up to its first terminator;
// - SetTextW with a different text sets it and performs CM_TEXTCHANGED on the control; the same
//   text changes nothing and sends nothing;
// - item lists travel as TWideStringList (wide strings, each with a 32-bit object value).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/combo_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/label.h"
#include "platform/controls/list_box.h"
#include "platform/controls/memo.h"

namespace qv {

struct TWideStringItem {
  std::u16string Text;
  int32_t Object = 0;
  friend bool operator==(const TWideStringItem&, const TWideStringItem&) = default;
};
using TWideStringList = std::vector<TWideStringItem>;

class TEditW : public plat::Edit {
 public:
  std::u16string GetTextW() const;
  void SetTextW(const std::u16string& text);
  // Replaces the selection (or inserts at the caret) as typing would.
  void ReplaceSelW(const std::u16string& text);
};

class TMemoW : public plat::Memo {
 public:
  std::u16string GetTextW() const;
  void SetTextW(const std::u16string& text);
};

class TComboBoxW : public plat::ComboBox {
 public:
  std::u16string GetTextW() const;
  void SetTextW(const std::u16string& text);
  // The list is cleared and filled with every item's text and object value.
  void GetItemsW(TWideStringList& list) const;
  void SetItemsW(const TWideStringList& list);
  // Takes the other combo box's items when their texts differ.
  void AssignItemsW(const TComboBoxW& other);
};

class TListBoxW : public plat::ListBox {
 public:
  void SetItemsW(const TWideStringList& list);
  void GetItemsW(TWideStringList& list) const;
};

class TLabelW : public plat::Label {
 public:
  std::u16string GetTextW() const;
  void SetTextW(const std::u16string& text);
};

}  // namespace qv
