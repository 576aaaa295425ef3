#include "foundation/ui/unicode_controls.h"

namespace qv {

namespace {

// The text up to its first terminator.
std::u16string UpToTerminator(const std::u16string& text) {
  size_t nul = text.find(u'\0');
  return nul == std::u16string::npos ? text : text.substr(0, nul);
}

template <class L>
void FillItems(L& control, const TWideStringList& list) {
  control.Clear();
  for (const TWideStringItem& item : list) control.AddItem(item.Text, item.Object);
}

template <class L>
void ReadItems(const L& control, TWideStringList& list) {
  list.clear();
  for (int32_t i = 0; i < control.Count(); ++i)
    list.push_back({control.ItemText(i), int32_t(control.ItemData(i))});
}

std::u16string Joined(const TWideStringList& list) {
  std::u16string out;
  for (const auto& item : list) out += item.Text + u"\r\n";
  return out;
}

}  // namespace

std::u16string TEditW::GetTextW() const { return UpToTerminator(Text()); }
void TEditW::SetTextW(const std::u16string& text) {
  if (text == GetTextW()) return;
  SetText(text);
  Perform(plat::CM_TEXTCHANGED);
}
void TEditW::ReplaceSelW(const std::u16string& text) { SetSelText(text); }

std::u16string TMemoW::GetTextW() const { return UpToTerminator(Text()); }
void TMemoW::SetTextW(const std::u16string& text) {
  if (text == GetTextW()) return;
  SetText(text);
  Perform(plat::CM_TEXTCHANGED);
}

std::u16string TComboBoxW::GetTextW() const { return UpToTerminator(Text()); }
void TComboBoxW::SetTextW(const std::u16string& text) {
  if (text == GetTextW()) return;
  SetText(text);
  Perform(plat::CM_TEXTCHANGED);
}
void TComboBoxW::GetItemsW(TWideStringList& list) const { ReadItems(*this, list); }
void TComboBoxW::SetItemsW(const TWideStringList& list) { FillItems(*this, list); }
void TComboBoxW::AssignItemsW(const TComboBoxW& other) {
  TWideStringList mine, theirs;
  GetItemsW(mine);
  other.GetItemsW(theirs);
  if (Joined(mine) != Joined(theirs)) SetItemsW(theirs);
}

void TListBoxW::SetItemsW(const TWideStringList& list) { FillItems(*this, list); }
void TListBoxW::GetItemsW(TWideStringList& list) const { ReadItems(*this, list); }

std::u16string TLabelW::GetTextW() const { return UpToTerminator(Caption()); }
void TLabelW::SetTextW(const std::u16string& text) {
  if (text == GetTextW()) return;
  SetCaption(text);
  Perform(plat::CM_TEXTCHANGED);
}

}  // namespace qv
