#include "foundation/text/language_manager.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "foundation/base/service_slot.h"
#include "foundation/text/code_pages.h"
#include "foundation/settings/ini_file.h"
#include "foundation/settings/options_holder.h"
#include "foundation/settings/settings_storage.h"
#include "platform/gfx/canvas.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

std::unique_ptr<TLangManager>& ManagerSlot() {
  static std::unique_ptr<TLangManager> manager;
  return manager;
}

std::string LetterName(int32_t index) { return std::string(1, static_cast<char>('A' + index)); }

}  // namespace

int32_t TLangServices::UserDefaultLang() {
  int32_t id = LanguageIdFromName(plat::UserLocaleName());
  return id > 0 ? id : 0x0409;
}

void RegisterLangServices(std::unique_ptr<TLangServices> services) {
  RegisterService(std::move(services));
}

TLangServices& LangServices() { return Service<TLangServices>(); }

void TLangManager::Load(TSettingsStorage* storage) {
  LoadNames(&GetLanguageDisplayName);
  LoadHistory(storage);
}

void TLangManager::LoadNames(std::string (*nameOf)(int32_t id)) {
  LangNames.clear();
  for (int32_t primary = 1; primary <= 146; ++primary) {
    if (primary == 127) continue;
    for (int32_t sub = 1; sub < 64; ++sub) {
      const int32_t id = primary + 1024 * sub;
      std::string name = nameOf(id);
      if (name.empty() && id == LANG_LATIN) name = "Latin";
      if (name.empty()) {
        if (sub == 1) continue;
        break;
      }
      LangNames.emplace_back(std::move(name), id);
      if (id == LANG_LATIN) break;
    }
  }
  std::stable_sort(LangNames.begin(), LangNames.end(), [](const auto& a, const auto& b) {
    return CompareNamesNoCase(a.first, b.first) < 0;
  });
  byId_.clear();
  for (size_t i = 0; i < LangNames.size(); ++i)
    byId_.emplace_back(LangNames[i].second, static_cast<int32_t>(i));
  std::sort(byId_.begin(), byId_.end());
}

void TLangManager::LoadHistory(TSettingsStorage* storage) {
  RecentLangs.clear();
  TLangServices& services = LangServices();
  const int32_t user = services.UserDefaultLang();
  int32_t count = -1;
  if (storage) {
    storage->OpenKey("LangHistory");
    count = storage->ReadInteger("Count", 0, MaxRecent, -1);
  }
  if (count < 0) {
    AddRecentLang(user);
    const std::vector<int32_t> langs = services.InstalledSpellcheckerLangs();
    for (auto it = langs.rbegin(); it != langs.rend(); ++it) AddRecentLang(*it);
    return;
  }
  for (int32_t n = count - 1; n >= 0; --n)
    AddRecentLang(storage->ReadInteger(LetterName(n), 0, 0xFFFF, user));
}

std::string TLangManager::GetLangName(int32_t id) const {
  if (id == LANG_UNSET || id == LANG_NO_PROOF) return "<none>";
  auto it = std::lower_bound(byId_.begin(), byId_.end(), std::make_pair(id, INT32_MIN));
  if (it != byId_.end() && it->first == id) return LangNames[static_cast<size_t>(it->second)].first;
  std::string text = "<Another language (ID: ";
  text += std::to_string(id);
  text += ")>";
  return text;
}

void TLangManager::AddRecentLang(int32_t id) {
  auto it = std::find(RecentLangs.begin(), RecentLangs.end(), id);
  if (it != RecentLangs.end()) RecentLangs.erase(it);
  RecentLangs.insert(RecentLangs.begin(), id);
  if (RecentLangs.size() > static_cast<size_t>(MaxRecent)) RecentLangs.resize(MaxRecent);
}

void TLangManager::SaveHistory(TSettingsStorage& storage) const {
  storage.OpenKey("LangHistory");
  const int32_t count = std::min(static_cast<int32_t>(RecentLangs.size()), MaxRecent);
  for (int32_t i = count - 1; i >= 0; --i)
    storage.WriteInteger(LetterName(i), RecentLangs[static_cast<size_t>(i)]);
  storage.WriteInteger("Count", count);
}

void TLangManager::DrawLangItem(int32_t id, plat::Canvas& canvas, bool separator,
                                const plat::Rect& rect) const {
  canvas.FillRect(rect, canvas.GetBrush().Colour);
  int32_t x = rect.left + 3;
  TLangServices& services = LangServices();
  if (services.HasSpellchecker(id)) {
    const int32_t width = services.DrawSpellcheckerGlyph(canvas, x, rect);
    if (width >= 0) x += width + 3;
  }
  const std::string name = GetLangName(id);
  const int32_t textHeight = canvas.TextExtent(name).cy;
  canvas.TextOut(x, rect.top + (rect.Height() - textHeight) / 2, name);
  if (separator) {
    const plat::Color colour = canvas.TextColor();
    canvas.FillRect({rect.left, rect.bottom - 3, rect.right, rect.bottom - 2}, colour);
    canvas.FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
  }
}

int32_t TLangManager::IndexOfUsedLang(const TLangUsage* items, int32_t highIndex, int32_t lang) {
  for (int32_t i = 0; items && i <= highIndex; ++i)
    if (items[i].Lang == lang && items[i].Count > 0) return i;
  return -1;
}

TLangManager& GetLangManager() {
  auto& manager = ManagerSlot();
  if (!manager) {
    manager = std::make_unique<TLangManager>();
    manager->Load(&GetOptionsHolder().GetStorage());
  }
  return *manager;
}

void FreeLangManager() { ManagerSlot().reset(); }

}  // namespace qv
