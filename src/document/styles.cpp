#include "document/styles.h"

#include <algorithm>

#include "document/auto_list.h"
#include "document/doc.h"
#include "foundation/text/code_pages.h"
#include "foundation/base/service_slot.h"
#include "foundation/base/string_list.h"
#include "foundation/base/string_utils.h"

namespace qv {

// --- TStyle ---

TStyle::TStyle(TStyleList* owner) : Owner(owner), ParFmt(UnsetParFormat), WorkParFmt(UnsetParFormat) {
  ParFmt.List = 0;  // no list format (rather than unset)
}

TStyle::TStyle(TStyleList* owner, const TStyle& source) : TStyle(owner) { Assign(source); }

void TStyle::Assign(const TStyle& source) {
  BuiltIn = source.BuiltIn;
  BasedOn = source.BasedOn;
  Next = source.Next;
  Name = source.Name;
  DisplayName = source.DisplayName;
  HotKeyCode = source.HotKeyCode;
  CharFmt = source.CharFmt;
  ParFmt = source.ParFmt;
}

std::string TStyle::GetDescription(bool withBase) const {
  const TStyle* base = withBase && Owner != nullptr ? Owner->Get(BasedOn) : nullptr;
  const uint32_t flags = 8u | (withBase && base == nullptr ? 1u : 0u);
  std::string text = StyleTextServices().DescribeFormatting(CharFmt, ParFmt, "; ", flags);
  if (base != nullptr) text = text.empty() ? base->DisplayName : base->DisplayName + " + " + text;
  if (HotKeyCode != 0) {
    const std::string key = StyleTextServices().HotKeyText(HotKeyCode);
    if (!key.empty()) {
      if (!text.empty()) text += "\r\n";
      text += "Hot key: " + key;
    }
  }
  return text;
}

void RegisterStyleTextServices(std::unique_ptr<TStyleTextServices> services) {
  RegisterService(std::move(services));
}

TStyleTextServices& StyleTextServices() { return *ServiceSlot<TStyleTextServices>(); }

bool StyleHasListFormat(const TStyle& style) {
  return style.ParFmt.List != 0 && style.ParFmt.List != ParUnset32;
}

// --- TStyleList ---

TStyle* TStyleList::Get(int32_t index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

int32_t TStyleList::Add(std::unique_ptr<TStyle> style) {
  const int32_t index = Count();
  style->Owner = this;
  style->ParFmt.Style = static_cast<int16_t>(index);
  items_.push_back(std::move(style));
  return index;
}

TStyle& TStyleList::AddNew() { return *Get(Add(std::make_unique<TStyle>(this))); }

void TStyleList::Assign(const TStyleList& other) {
  if (&other == this) return;
  items_.clear();
  for (const auto& s : other.items_) items_.push_back(std::make_unique<TStyle>(this, *s));
}

void TStyleList::Delete(int32_t x) {
  if (x < 0 || x >= Count()) return;
  const int32_t xBase = items_[static_cast<size_t>(x)]->BasedOn;
  for (int32_t i = 0; i < Count(); ++i) {
    if (i == x) continue;
    TStyle& s = *items_[static_cast<size_t>(i)];
    const int32_t newIndex = i > x ? i - 1 : i;
    if (s.BasedOn == x)
      s.BasedOn = xBase > x ? xBase - 1 : xBase;
    else if (s.BasedOn > x)
      --s.BasedOn;
    if (s.Next == x)
      s.Next = x == 0 ? newIndex : 0;
    else if (s.Next > x)
      --s.Next;
  }
  items_.erase(items_.begin() + x);
  for (int32_t i = 0; i < Count(); ++i) items_[static_cast<size_t>(i)]->ParFmt.Style = static_cast<int16_t>(i);
}

namespace {

bool SameStyleName(const std::string& a, const std::string& b) {
  return SameTextForLanguage(UserLocaleLanguageId(), a, b);
}

}  // namespace

int32_t TStyleList::IndexOfName(const std::string& name) const {
  for (int32_t i = Count() - 1; i >= 0; --i)
    if (SameStyleName(items_[static_cast<size_t>(i)]->Name, name)) return i;
  return -1;
}

int32_t TStyleList::IndexOfDisplayName(const std::string& name) const {
  for (int32_t i = Count() - 1; i >= 0; --i)
    if (SameStyleName(items_[static_cast<size_t>(i)]->DisplayName, name)) return i;
  return -1;
}

int32_t TStyleList::IndexOfBuiltIn(int32_t builtIn) const {
  for (int32_t i = Count() - 1; i >= 0; --i)
    if (items_[static_cast<size_t>(i)]->BuiltIn == builtIn) return i;
  return -1;
}

int32_t TStyleList::IndexOfHotKey(uint32_t key) const {
  for (int32_t i = Count() - 1; i >= 0; --i)
    if (items_[static_cast<size_t>(i)]->HotKeyCode == key) return i;
  return -1;
}

int32_t TStyleList::IndexOfListStyle(int32_t listNumber, int32_t level) const {
  for (int32_t i = 0; i < Count(); ++i) {
    const TStyle& s = *items_[static_cast<size_t>(i)];
    if (s.ParFmt.List == listNumber && GetParFormatProp(s.ParFmt, ppListLevel) == level) return i;
  }
  return -1;
}

void TStyleList::GetDerivedStyles(int32_t index, std::vector<int32_t>& out,
                                  bool allDescendants) const {
  for (int32_t i = 0; i < Count(); ++i) {
    if (i == index || items_[static_cast<size_t>(i)]->BasedOn != index) continue;
    // A style met again would mean a cycle; it is not followed twice.
    if (std::find(out.begin(), out.end(), i) != out.end()) continue;
    out.push_back(i);
    if (allDescendants) GetDerivedStyles(i, out, true);
  }
}

void TStyleList::GetDisplayNames(TStringList& names) const {
  names.Clear();
  for (int32_t i = 0; i < Count(); ++i) names.Add(items_[static_cast<size_t>(i)]->DisplayName, i);
}

void GetBasedOnChain(const TStyleList& list, int32_t index, std::vector<int32_t>& out) {
  const TStyle* s = list.Get(index);
  std::vector<int32_t> seen{index};
  while (s != nullptr && s->BasedOn >= 0) {
    const int32_t b = s->BasedOn;
    if (std::find(seen.begin(), seen.end(), b) != seen.end()) break;  // a cycle ends the chain
    seen.push_back(b);
    s = list.Get(b);
    if (s == nullptr) break;
    out.push_back(b);
  }
}

// --- Effective formats ---

void ApplyStyleParFormat(TParFormat& a, const TParFormat& s) {
  const bool sF = s.FirstIndent != ParUnset16;
  const bool sL = s.LeftIndent != ParUnset16;
  const bool aF = a.FirstIndent != ParUnset16;
  const bool aL = a.LeftIndent != ParUnset16;
  auto firstOf = [](const TParFormat& f) { return f.FirstIndent == ParUnset16 ? 0 : f.FirstIndent; };
  if ((sF && sL) || (!aF && !aL)) {
    a.FirstIndent = s.FirstIndent;
    a.LeftIndent = s.LeftIndent;
  } else if (sF) {
    // The edge of the leftmost line stays; only the first line's offset changes.
    const int32_t oldF = firstOf(a);
    if (aL && oldF < 0) a.LeftIndent = static_cast<int16_t>(a.LeftIndent + oldF);
    a.FirstIndent = s.FirstIndent;
    if (aL && a.FirstIndent < 0) a.LeftIndent = static_cast<int16_t>(a.LeftIndent - a.FirstIndent);
  } else if (sL) {
    // The left indent places the leftmost line; a hanging first line keeps hanging.
    a.LeftIndent = s.LeftIndent;
    const int32_t f = firstOf(a);
    if (f < 0) a.LeftIndent = static_cast<int16_t>(a.LeftIndent - f);
  }
  for (int n = ppLineSpacing; n < TParFormat::Count; ++n)
    if (!IsParFormatPropUnset(s, n)) CopyParFormatProp(a, n, s);
}

namespace {

const TAutoList* ListOfStyle(const TStyle& style) {
  if (!StyleHasListFormat(style) || style.Owner == nullptr || style.Owner->Owner == nullptr)
    return nullptr;
  return style.Owner->Owner->ListByNumber(style.ParFmt.List);
}

}  // namespace

void GetStyleFormat(const TStyle& style, TCharFormat* charFormat, TParFormat* parFormat,
                    uint32_t flags) {
  std::vector<const TStyle*> chain{&style};
  if (style.Owner != nullptr) {
    std::vector<int32_t> ancestors;
    GetBasedOnChain(*style.Owner, style.ParFmt.Style, ancestors);
    for (int32_t i : ancestors) chain.push_back(style.Owner->Get(i));
  }
  TCharFormat cf;
  TParFormat pf = UnsetParFormat;
  if ((flags & sfOwnOnly) == 0) {
    cf = DefaultCharFormat;
    pf = DefaultParFormat;
    pf.WidowControl = 0;
    pf.InTable = ParUnset8;
    pf.Collapsed = ParUnset8;
  }
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    ApplyCharFormat(cf, (*it)->CharFmt);
    ApplyStyleParFormat(pf, (*it)->ParFmt);
  }
  // Outline level and list are the style's own: they are not inherited.
  pf.OutlineLevel = style.ParFmt.OutlineLevel;
  pf.List = style.ParFmt.List;
  if ((flags & sfKeepLanguage) == 0) cf.Language = CharUnset;
  const bool hasList = StyleHasListFormat(style);
  if ((flags & sfListIndents) != 0 && hasList) {
    if (const TAutoList* list = ListOfStyle(style)) {
      int32_t level = list->SingleLevel ? 0 : GetParFormatProp(style.ParFmt, ppListLevel);
      if (level < 0 || level >= ListLevelCount) level = 0;
      const TParFormat& lf = list->ListLevels[static_cast<size_t>(level)].ParFormat;
      pf.FirstIndent = lf.FirstIndent;
      pf.LeftIndent = lf.LeftIndent;
    }
  }
  if ((flags & sfOwnOnly) != 0) {
    if (!hasList) pf.ListLevel = ParUnset8;
  } else {
    if (pf.OutlineLevel == ParUnset8) pf.OutlineLevel = 9;
    if (!hasList) pf.ListLevel = 0;
  }
  if (charFormat) *charFormat = cf;
  if (parFormat) *parFormat = pf;
}

}  // namespace qv
