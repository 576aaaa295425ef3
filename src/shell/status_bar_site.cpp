#include "shell/status_bar_site.h"

#include <cmath>

#include "document/doc.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/application.h"
#include "platform/controls/menu.h"
#include "platform/win/window_system.h"
#include "shell/background_jobs.h"
#include "shell/doc_dispatcher.h"
#include "shell/main_form.h"

namespace qv {

namespace {

class TMainStatusBarSite : public TStatusBarSite {
 public:
  TDoc* ActiveDoc() override { return GetActiveDoc(); }
  bool StartupDone() override { return !StartingUp; }
  bool AppActive() override { return AppExists() && GetApp().Active; }
  bool MainWindowEnabled() override {
    TMainForm* main = GetMainForm();
    return main != nullptr && main->Handle() != 0 && plat::IsWindowEnabled(main->Handle());
  }
  bool FullScreen() override {
    TMainForm* main = GetMainForm();
    return main != nullptr && main->FullScreen;
  }
  uint8_t StatusIcons(TDoc& doc) override {
    uint8_t icons = 0;
    if (doc.FileState.SafeCopyExists) icons |= 1;
    if (doc.FileState.RestoredFromSafeCopy) icons |= 2;
    return icons;
  }
  int64_t WritingTime(TDoc& doc) override { return static_cast<int64_t>(std::llround(doc.EditingTime)); }
  int64_t CharsTyped(TDoc& doc) override { return doc.TypedChars; }
  bool PaginationStopped(TDoc& doc) override {
    TDocDispatcher* d = GetDocDispatcher();
    const TShellDocState* state = d != nullptr ? d->StateOf(&doc) : nullptr;
    return state != nullptr && state->PaginationStopped;
  }
  bool PaginationComplete(TDoc& doc) override { return doc.Layout.LaidOutToEnd; }
  void ShowMenu(const std::string& name, plat::Point screen) override {
    if (TMainForm* main = GetMainForm())
      if (plat::PopupMenu* menu = main->GetPopupMenu(name)) menu->Popup(screen);
  }
};

}  // namespace

std::unique_ptr<TStatusBarSite> MakeMainStatusBarSite() { return std::make_unique<TMainStatusBarSite>(); }

}  // namespace qv
