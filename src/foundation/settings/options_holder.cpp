#include "foundation/settings/options_holder.h"

#include <cstdio>
#include <utility>

#include "foundation/base/exceptions.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/file_list.h"
#include "foundation/settings/ini_file.h"
#include "foundation/system/paths.h"
#include "foundation/settings/registry_ex.h"
#include "platform/system/settings_hive.h"

namespace qv {

namespace {

TOptionsHolderSite& DefaultSite() {
  static TOptionsHolderSite site;
  return site;
}

// Sets a holder flag for the extent of a scope.
class FlagScope {
 public:
  FlagScope(uint8_t& flags, uint8_t bit) : flags_(flags), bit_(bit) { flags_ |= bit_; }
  ~FlagScope() { flags_ &= static_cast<uint8_t>(~bit_); }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  uint8_t& flags_;
  uint8_t bit_;
};

constexpr int32_t kControlBoardTabs = 11;
constexpr int32_t kTabIds[kControlBoardTabs] = {0, 1, 7, 2, 3, 4, 9, 8, 10, 5, 6};

std::unique_ptr<TOptionsHolder>& HolderSlot() {
  static std::unique_ptr<TOptionsHolder> holder;
  return holder;
}

}  // namespace

// ----- default site ---------------------------------------------------------------------------

bool TOptionsHolderSite::IsSwitchPresent(int32_t index) { return qv::IsSwitchPresent(index); }

std::string TOptionsHolderSite::GetSwitchValue(int32_t index, const std::string& defaultValue) {
  return qv::GetSwitchValue(index, defaultValue);
}

bool TOptionsHolderSite::PortableMode() { return qv::PortableMode; }

std::string TOptionsHolderSite::DocumentsFolder() { return GetDataFolder(4); }

std::string TOptionsHolderSite::RegistryHivePath() { return plat::UserSettingsHivePath(); }

TOptionsContext TOptionsHolderSite::OptionsContext() {
  TOptionsContext context = MakeDefaultOptionsContext();
  context.DataFolder = DocumentsFolder();
  context.Portable = PortableMode();
  context.ProgramDrive = qv::ProgramDrive;
  return context;
}

void TOptionsHolderSite::ShowError(const std::string& message) {
  std::fprintf(stderr, "%s\n", message.c_str());
}

// ----- holder -----------------------------------------------------------------------------------

TOptionsHolder::TOptionsHolder(TOptionsHolderSite* site) : site_(site ? site : &DefaultSite()) {
  // Top-level domains that make a word look like a web address.
  Options.Autocorrect.WebDomains = {"au", "com", "de", "edu", "fr", "gov",
                                    "net", "nz", "org", "tv", "uk"};
}

TOptionsHolder::~TOptionsHolder() = default;

void TOptionsHolder::SetSite(TOptionsHolderSite* site) { site_ = site ? site : &DefaultSite(); }

TSettingsStorage& TOptionsHolder::GetStorage() {
  if (!storage_) ChooseStorage();
  storage_->KeyPrefix = kOptionsKeyPrefix;
  return *storage_;
}

void TOptionsHolder::ChooseStorage() {
  TOptionsHolderSite& site = *site_;
  if (site.IsSwitchPresent(swDontLoadSettings)) {
    storage_ = std::make_unique<TSettingsStorage>();
    storageKind_ = 1;
    return;
  }
  const bool fromIni = site.IsSwitchPresent(swLoadSettingsFromIni);
  if (fromIni || (!site.IsSwitchPresent(swLoadSettingsFromReg) && site.PortableMode())) {
    std::string file = SettingsFileName();
    if (FileExists(file)) {
      storage_ = std::make_unique<TIniFile>(file, false);
      storageKind_ = 2;
      return;
    }
    if (fromIni) {
      storage_ = std::make_unique<TSettingsStorage>();
      storageKind_ = 1;
      site.ShowError("Cannot open file \"" + file + "\".");
      return;
    }
  }
  storage_ = std::make_unique<TRegistryEx>(site.RegistryHivePath());
  storageKind_ = 3;
}

void TOptionsHolder::LoadOptions() {
  TSettingsStorage& storage = GetStorage();
  LoadAllOptions(storage, site_->OptionsContext(), Options, Settings);
  storage.KeyPrefix = kOptionsKeyPrefix;
  if (Settings.BackupFolder.empty()) Settings.BackupFolder = site_->DocumentsFolder() + "Backup/";
  NormalizeControlBoardTabs();
}

bool TOptionsHolder::Save() {
  RememberSplitOrientation();
  TOptionsHolderSite& site = *site_;
  try {
    if (site.IsSwitchPresent(swDontSaveSettings)) return true;
    if (site.IsSwitchPresent(swSaveSettingsToIni))
      SaveToIniFile(Options, SettingsFileName());
    else if (site.IsSwitchPresent(swSaveSettingsToReg))
      SaveToRegistry(Options);
    else if (site.PortableMode())
      SaveToIniFile(Options, SettingsFileName());
    else
      SaveToRegistry(Options);
  } catch (const Exception& e) {
    site.ShowError(e.Message());
    return false;
  }
  return true;
}

void TOptionsHolder::SaveToRegistry(TOptions& options) {
  TRegistryEx registry(site_->RegistryHivePath());
  SaveOptions(options, registry);
  std::string error;
  if (!registry.Flush(error)) throw EFCreateError(registry.HivePath());
}

void TOptionsHolder::SaveToIniFile(TOptions& options, const std::string& fileName) {
  FlagScope writingIni(Flags, flWritingIni);
  TIniFile ini(fileName, true);
  SaveOptions(options, ini);
  ini.Save();
}

void TOptionsHolder::SaveOptions(TOptions& options, TSettingsStorage& storage) {
  FlagScope saving(Flags, flSaving);
  TOptionsContext context = site_->OptionsContext();
  context.ToIniFile = (Flags & flWritingIni) != 0;
  storage.KeyPrefix = kOptionsKeyPrefix;
  SaveAllOptions(storage, context, options, Settings);
}

void TOptionsHolder::RememberSplitOrientation() {
  int32_t orientation = site_->ActiveSplitOrientation();
  if (orientation < 0) return;
  if (orientation == 1)
    Options.View.Flags = static_cast<uint16_t>(Options.View.Flags | 0x1000);
  else
    Options.View.Flags = static_cast<uint16_t>(Options.View.Flags & ~0x1000);
}

void TOptionsHolder::ApplyViewFlags(const TViewSettings& view) { site_->ApplyViewSettings(view); }

void TOptionsHolder::ApplyOptions(const TOptions* edited) {
  if (edited && edited != &Options) Options = *edited;
  const int32_t keep = std::max(Options.General.DocsToKeep, 0);
  for (TRememberedList& list : Options.General.FileLists)
    if (!list.Locked && static_cast<int32_t>(list.Items.size()) > keep)
      list.Items.resize(static_cast<size_t>(keep));
  site_->OptionsApplied(Options);
}

std::string TOptionsHolder::ResolveSettingsFileName(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  return IncludeTrailingPathDelimiter(site_->DocumentsFolder()) + name;
}

std::string TOptionsHolder::SettingsFileName() {
  return ResolveSettingsFileName(site_->GetSwitchValue(swSettingsFileName, kPortableIniName));
}

std::string TOptionsHolder::GetFileDialogFolder() {
  if ((Options.LoadSave.Flags & 0x80) && !Options.LoadSave.DocFolder.empty()) {
    CreateFolderPath(Options.LoadSave.DocFolder);
    return IncludeTrailingPathDelimiter(Options.LoadSave.DocFolder);
  }
  return GetCurrentFolder();
}

std::string TOptionsHolder::GetDefaultTableFileName() {
  return IncludeTrailingPathDelimiter(site_->DocumentsFolder()) + "Default Table.rtf";
}

int32_t TOptionsHolder::GetToolbarAlign() const {
  return Options.View.ToolbarStyle == 1 ? 0 : Options.View.ToolbarAlign;
}

void TOptionsHolder::NormalizeControlBoardTabs() { qv::NormalizeControlBoardTabs(Options.View); }

bool TOptionsHolder::IsControlBoardTabShown(int32_t tab) const {
  return qv::IsControlBoardTabShown(Options.View, tab);
}

// ----- program-wide holder -----------------------------------------------------------------------

namespace {

// The program-wide holder's site: asks whichever site is registered at the time, so that a site
// registered (or put back) after the holder was made still reaches it.
class TRegisteredSite final : public TOptionsHolderSite {
 public:
  bool IsSwitchPresent(int32_t index) override { return S().IsSwitchPresent(index); }
  std::string GetSwitchValue(int32_t index, const std::string& def) override {
    return S().GetSwitchValue(index, def);
  }
  bool PortableMode() override { return S().PortableMode(); }
  std::string DocumentsFolder() override { return S().DocumentsFolder(); }
  std::string RegistryHivePath() override { return S().RegistryHivePath(); }
  TOptionsContext OptionsContext() override { return S().OptionsContext(); }
  void ShowError(const std::string& message) override { S().ShowError(message); }
  int32_t ActiveSplitOrientation() override { return S().ActiveSplitOrientation(); }
  void ApplyViewSettings(const TViewSettings& view) override { S().ApplyViewSettings(view); }
  void OptionsApplied(const TOptions& options) override { S().OptionsApplied(options); }

 private:
  static TOptionsHolderSite& S() { return OptionsHolderSite(); }
};

}  // namespace

TOptionsHolder& GetOptionsHolder() {
  static TRegisteredSite registered;
  auto& holder = HolderSlot();
  if (!holder) holder = std::make_unique<TOptionsHolder>(&registered);
  return *holder;
}

TOptions& GetOptions() { return GetOptionsHolder().Options; }

void RegisterOptionsHolderSite(std::unique_ptr<TOptionsHolderSite> site) {
  RegisterService(std::move(site));
}

TOptionsHolderSite& OptionsHolderSite() { return Service<TOptionsHolderSite>(); }

void FreeOptionsHolder() { HolderSlot().reset(); }

void TFileList::AddFile(const std::string& path) { AddFile(path, GetOptions().General.DocsToKeep); }

// ----- control-board tabs ------------------------------------------------------------------------

int32_t ControlBoardTabToId(int32_t tab) {
  return (tab >= 0 && tab < kControlBoardTabs) ? kTabIds[tab] : 0;
}

int32_t ControlBoardIdToTab(int32_t id) {
  for (int32_t tab = 0; tab < kControlBoardTabs; ++tab)
    if (kTabIds[tab] == id) return tab;
  return 0;
}

void NormalizeControlBoardTabs(TViewOptions& view) {
  const uint32_t all = (1u << kControlBoardTabs) - 1;
  auto highestIn = [](uint32_t set) {
    for (int32_t tab = kControlBoardTabs - 1; tab >= 0; --tab)
      if (set & (1u << tab)) return tab;
    return 0;
  };
  view.CBDisabledTabs &= all;
  view.CBSecondPaneTabs &= all;
  if (view.CBActiveTab < 0 || view.CBActiveTab >= kControlBoardTabs) view.CBActiveTab = 0;
  if (view.CBSecondTab < 0 || view.CBSecondTab >= kControlBoardTabs) view.CBSecondTab = 0;
  if (view.CBDisabledTabs == all) view.CBDisabledTabs &= ~1u;
  if (view.CBDisabledTabs & (1u << view.CBActiveTab))
    view.CBActiveTab = highestIn(all & ~view.CBDisabledTabs);
  if (view.CBAlign != 2) {
    view.CBSecondPaneTabs = 0;
    return;
  }
  view.CBSecondPaneTabs &= ~view.CBDisabledTabs;
  view.CBSecondPaneTabs &= ~(1u << view.CBActiveTab);
  if (view.CBSecondPaneTabs == 0) {
    view.CBAlign = 0;
    return;
  }
  if (!(view.CBSecondPaneTabs & (1u << view.CBSecondTab)))
    view.CBSecondTab = highestIn(view.CBSecondPaneTabs);
}

bool IsControlBoardTabShown(const TViewOptions& view, int32_t tab) {
  return tab == view.CBActiveTab || (view.CBAlign == 2 && tab == view.CBSecondTab);
}

std::string WindowPlacementSuffix(int32_t screenWidth, int32_t screenHeight) {
  std::string suffix = "_";
  suffix += std::to_string(screenWidth);
  suffix += 'x';
  suffix += std::to_string(screenHeight);
  return suffix;
}

}  // namespace qv
