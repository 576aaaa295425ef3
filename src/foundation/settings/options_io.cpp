#include "foundation/settings/options_io.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <system_error>
#include <utility>

#include "foundation/base/service_slot.h"
#include "foundation/system/command_line.h"
#include "foundation/text/language_manager.h"
#include "foundation/settings/option_blobs.h"
#include "foundation/settings/options_sections.h"
#include "foundation/system/paths.h"
#include "foundation/settings/stored_path.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

std::string EnvOr(const char* name, const std::string& fallback) {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

// The user locale measures in U.S. units (the United States, Liberia, Myanmar).
bool LocaleUsesUSMeasurement() {
  std::string locale = EnvOr("LC_ALL", EnvOr("LC_MEASUREMENT", EnvOr("LANG", "")));
  for (const char* region : {"_US", "_LR", "_MM"}) {
    if (locale.find(region) != std::string::npos) return true;
  }
  return false;
}

void SaveListGallery(TSettingsStorage& s, const TOptionsContext& c) {
  TOptionsServices& services = OptionsServices();
  std::string text;
  if (services.ListGalleryRtf(text)) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\r') {
        out += "\\par ";
        ++i;
      } else {
        out += text[i];
      }
    }
    WriteLongText(s, "", "ListGallery", out);
  } else if ((c.ToIniFile || c.SwitchShutDown) && services.OwnStoreListGallery(text)) {
    WriteLongText(s, "", "ListGallery", text);
  }
}

}  // namespace

void TOptionsServices::WriteHotKeysAndLanguages(TSettingsStorage& storage) {
  GetLangManager().SaveHistory(storage);
}

void RegisterOptionsServices(std::unique_ptr<TOptionsServices> services) {
  RegisterService(std::move(services));
}

TOptionsServices& OptionsServices() { return Service<TOptionsServices>(); }

int32_t TodayDayIndex() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return (local.tm_year + 1900) * 365 + (local.tm_mon + 1) * 31 + local.tm_mday;
}

TOptionsContext MakeDefaultOptionsContext() {
  TOptionsContext c;
  const TStoredPathContext& paths = GetStoredPathContext();
  c.DataFolder = paths.DocumentsFolder;
  c.TemplatesFolder = c.DataFolder + "Templates/";
  c.Portable = paths.PortableMode;
  c.ProgramDrive = paths.ProgramDrive;
  std::error_code ec;
  c.CurrentFolder = std::filesystem::current_path(ec).string();
  c.CurrentFolderRemovable = !c.CurrentFolder.empty() && IsRemovableDrive(c.CurrentFolder);
  c.UserName = EnvOr("USER", EnvOr("LOGNAME", ""));
  c.USMeasurement = LocaleUsesUSMeasurement();
  c.TodayDayIndex = TodayDayIndex();
  if (plat::IsWindowSystemStarted()) {
    plat::Rect screen = plat::GetScreenRect();
    if (!screen.IsEmpty()) {
      c.ScreenWidth = screen.Width();
      c.ScreenHeight = screen.Height();
    }
  }
  c.SwitchRestored = IsSwitchPresent(swRestored);
  c.SwitchMaximized = IsSwitchPresent(swMaximized);
  c.StartedToPrint = IsSwitchPresent(swPrint) || IsSwitchPresent(swPrintTo);
  c.SwitchShutDown = IsSwitchPresent(swShutDown);
  return c;
}

void DefaultOptions(const TOptionsContext& context, TOptions& options, THolderSettings& holder) {
  options = TOptions();
  holder = THolderSettings();
  ApplyContextDefaults(context, options, holder);
  ApplyColourDefaults(options);
}

void LoadAllOptions(TSettingsStorage& storage, const TOptionsContext& context, TOptions& options,
                    THolderSettings& holder) {
  DefaultOptions(context, options, holder);
  storage.KeyPrefix = kOptionsKeyPrefix;
  LoadInternalSection(storage, context, options);
  LoadInternalSubSections(storage, context, options);
  LoadNewDocAndPreview(storage, context, options, holder);
  LoadGeneralSections(storage, context, options, holder);
  LoadColourSections(storage, context, options);
  LoadDocumentBlobs(storage, context, options);
}

void SaveAllOptions(TSettingsStorage& storage, const TOptionsContext& context, TOptions& options,
                    const THolderSettings& holder) {
  TOptionsServices& services = OptionsServices();
  services.CollectLiveState(options);
  storage.KeyPrefix = kOptionsKeyPrefix;
  SaveInternalSection(storage, context, options);
  SaveTocAndEnvelopes(storage, context, options);
  SaveMainWnd(storage, context, options);
  SaveDefDocTemplatesAndLists(storage, context, options);
  SaveFindReplace(storage, context, options);
  SaveNewDocParams(storage, context, options);
  SavePreview(storage, holder);
  SaveGeneralSections(storage, context, options, holder);
  SaveRootTexts(storage, options);
  services.WriteHotKeysAndLanguages(storage);
  storage.KeyPrefix = kOptionsKeyPrefix;
  SaveColourSections(storage, context, options);
  storage.KeyPrefix = kOptionsKeyPrefix;
  SaveWebClipDate(storage, context, options);
  SaveListGallery(storage, context);
  SaveOverusedWords(storage, context, options);
  SaveDocumentBlobs(storage, context, options);
  services.WriteTrailingSettings(storage);
  storage.KeyPrefix = kOptionsKeyPrefix;
}

}  // namespace qv
