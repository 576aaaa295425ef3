#include "docwindow/doc_window_services.h"

#include <utility>

#include "document/doc.h"
#include "files/output/saving_options.h"
#include "files/save_dispatcher.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/command_services.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/sound_services.h"
#include "platform/controls/menu.h"
#include "platform/win/window_system.h"

namespace qv {

void RegisterDocWindowServices(std::unique_ptr<TDocWindowServices> services) {
  RegisterService(std::move(services));
}
TDocWindowServices& DocWindowServices() { return Service<TDocWindowServices>(); }

bool TDocWindowServices::SaveDocument(TDoc& doc) {
  // Without the dispatcher's save road a document is written to its own file in its own format;
  // one that has never been saved has no file to go to.
  if (doc.FileName.empty() || doc.NewUntitled) return false;
  TDocSavingOptions options;
  options.Format = doc.FormatIndex;
  doc.GetWholeDocRange(options.Range);
  options.Name = doc.FileName;
  return DocSaveToFile(doc, options) == 0;
}

void TDocWindowServices::ExecuteCommand(int32_t id) { CommandService().Execute(id); }

bool TDocWindowServices::HotKeyEvent(uint8_t /*shift*/, uint8_t key, intptr_t keyData) {
  return HotKeyService().CNKeyDown(key, keyData) != 0;
}

bool TDocWindowServices::HotKeySysKeyDown(uint8_t key, intptr_t keyData, intptr_t& result) {
  result = 0;
  HotKeyService().WMSysKeyDown(key, keyData, result);
  return result != 0;
}

bool TDocWindowServices::HotKeySysKeyUp(uint8_t key, intptr_t keyData, intptr_t& result) {
  result = 0;
  HotKeyService().WMSysKeyUp(key, keyData, result);
  return result != 0;
}

bool TDocWindowServices::CollectingAltCode() { return HotKeyService().AltKeypadKey(); }
void TDocWindowServices::ClearAltCodeFlag() { HotKeyService().ClearAltKeypadKey(); }
bool TDocWindowServices::EnteringHexCode() { return HotKeyService().HexCodeEntry(); }

bool TDocWindowServices::HotKeySysChar(char32_t ch, intptr_t keyData, intptr_t& result) {
  result = 0;
  if (ch > 0xFFFF) return false;
  HotKeyService().WMSysChar(static_cast<char16_t>(ch), keyData, result);
  return result != 0;
}

TDocWindowServices::TDocWindowServices() = default;
TDocWindowServices::~TDocWindowServices() = default;

void TDocWindowServices::UpdateMenuState(plat::Menu& menu) { CommandService().UpdateMenuState(menu); }

void TDocWindowServices::ShowSpellingPopup(std::unique_ptr<plat::PopupMenu> menu, plat::Point at,
                                           const plat::Rect& exclude, bool /*suggestions*/) {
  spellingPopup_ = std::move(menu);
  if (spellingPopup_) spellingPopup_->Popup(at, plat::TPM_VERTICAL, &exclude);
}

int32_t TDocWindowServices::WorkAreaRight() { return plat::GetScreenRect().right; }

void TDocWindowServices::PlayEventSound(int32_t event) { SoundService().PlayEventSound(event); }

}  // namespace qv
