#include "foundation/text/keyboard_layouts.h"

#include <memory>

#include "foundation/text/code_pages.h"
#include "foundation/text/language_manager.h"
#include "platform/system/keyboard_layouts.h"

namespace qv {

namespace {

std::unique_ptr<TLayoutManager>& ManagerSlot() {
  static std::unique_ptr<TLayoutManager> manager;
  return manager;
}

}  // namespace

TLayout::TLayout(uint32_t handle)
    : Handle(handle),
      Charset(GetLanguageCharset(static_cast<int32_t>(handle & 0xFFFF), false)),
      CodePage(GetLocaleCodePage(static_cast<int32_t>(handle & 0xFFFF))) {
  Name = GetLangManager().GetLangName(Lang());
  KeyTable.fill(0xFFFF);
  for (int c = 0; c < 256; ++c) {
    std::u16string wide = CodePageToWide(std::string(1, static_cast<char>(c)), CodePage);
    if (wide.size() == 1) KeyTable[static_cast<size_t>(c)] = plat::VkKeyScanEx(wide[0], Handle);
  }
}

void TLayoutManager::Update() {
  Items.clear();
  const uint32_t current = GetCurrentLayout();
  for (uint32_t handle : plat::GetKeyboardLayoutList()) Items.emplace_back(handle);
  for (int32_t i = Count() - 1; i >= 0; --i)
    if (Items[static_cast<size_t>(i)].Handle == current) {
      CurrentIndex = i;
      break;
    }
}

int32_t TLayoutManager::IndexOfLang(int32_t lang) const {
  for (int32_t i = Count() - 1; i >= 0; --i)
    if (Items[static_cast<size_t>(i)].Lang() == lang) return i;
  return CurrentIndex;
}

uint32_t TLayoutManager::GetCurrentLayout() { return plat::GetKeyboardLayout(); }

uint8_t TLayoutManager::KeyToChar(uint8_t c, const TLayout& source, const TLayout& target) {
  const uint16_t entry = source.KeyTable[c];
  if (entry == 0xFFFF) return c;
  const char16_t ch =
      plat::KeyToCharacter(static_cast<uint8_t>(entry & 0xFF), (entry & 0x100) != 0, target.Handle);
  if (ch < 32) return 32;
  std::string bytes = WideToCodePage(std::u16string(1, ch), target.CodePage);
  if (bytes.size() != 1) return c;  // the target's code page has no byte for it
  const auto result = static_cast<uint8_t>(bytes[0]);
  return result < 32 ? 32 : result;
}

TLayoutManager& GetLayoutManager() {
  auto& manager = ManagerSlot();
  if (!manager) {
    manager = std::make_unique<TLayoutManager>();
    manager->Update();
  }
  return *manager;
}

void FreeLayoutManager() { ManagerSlot().reset(); }

}  // namespace qv
