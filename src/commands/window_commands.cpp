#include "commands/window_commands.h"

#include <array>
#include <memory>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_options.h"
#include "commands/view_command_services.h"
#include "foundation/settings/options_io.h"
#include "foundation/system/shell_services.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kActivateHelpContext = 35000;
constexpr int32_t kAboutSound = 9000;
constexpr int32_t kSupportPage = 100090;
constexpr int32_t kFirstWebPage = 101120;

constexpr std::array<const char*, 7> kWebPages = {
    "https://www.quorvane.com/",
    "https://www.quorvane.com/news/",
    "https://www.facebook.com/quorvane",
    "https://twitter.com/quorvane",
    "https://www.youtube.com/@quorvane",
    "https://www.quorvane.com/tips/",
    "https://www.quorvane.com/community/",
};
constexpr const char* kSupportAddress = "https://www.quorvane.com/support/";

// The document to show beside the target: the other one of two, else the user's choice.
TDoc* SideBySidePartner(TDoc* target) {
  std::vector<TDoc*> docs = CommandEnvironment().OpenDocuments();
  if (docs.size() == 2) return docs[0] == target ? docs[1] : docs[0];
  return ViewCommandServices().ChooseOpenDocument("View Side by Side With ...", target, 0);
}

void SideBySide(int32_t id) {
  TViewCommandServices& services = ViewCommandServices();
  TViewOptions& v = GetOptions().View;
  switch (id) {
    case 90400:
    case 90407: {
      if (services.SideBySideActive()) {
        services.SetSideBySide(nullptr, nullptr);
        return;
      }
      TDoc* target = GetCommandTargetDoc();
      if (target == nullptr) return;
      if (TDoc* partner = SideBySidePartner(target); partner != nullptr && partner != target)
        services.SetSideBySide(target, partner);
      return;
    }
    case 90401:
      v.Flags ^= opt::ViewSyncScrolling;
      services.RememberSideBySideOffsets();
      CommandEnvironment().RequestInterfaceUpdate();
      return;
    case 90402:
    case 90403:
    case 90405:
      if (id == 90402) v.Flags |= opt::ViewSideBySideHorizontal;
      if (id == 90403) v.Flags &= static_cast<uint16_t>(~opt::ViewSideBySideHorizontal);
      if (services.SideBySideActive()) services.SetSideBySide(services.SideBySideDoc(0), services.SideBySideDoc(1));
      return;
    case 90406: services.SwapSideBySide(); return;
    default: return;
  }
}

void ActivateDocument(int32_t id) {
  TViewCommandServices& services = ViewCommandServices();
  TDoc* doc = nullptr;
  if (id == 90100) {
    doc = services.ChooseOpenDocument("Activate Window", nullptr, kActivateHelpContext);
  } else {
    const std::vector<TDoc*> docs = CommandEnvironment().OpenDocuments();
    const size_t index = static_cast<size_t>(id - 90105);
    if (index < docs.size()) doc = docs[index];
  }
  if (doc != nullptr) services.ActivateDocument(*doc);
}

void NoHelp() { ShowInfo("The help of Quorvane is not installed."); }

}  // namespace

std::string WebAddressOfCommand(int32_t id) {
  if (id == kSupportPage) return kSupportAddress;
  const int32_t index = id - kFirstWebPage;
  if (index < 0 || index >= static_cast<int32_t>(kWebPages.size())) return {};
  return kWebPages[static_cast<size_t>(index)];
}

void TWindowCommands::Execute(TCommandManager& /*manager*/, int32_t id) {
  TViewCommandServices& services = ViewCommandServices();
  TCommandEnvironment& env = CommandEnvironment();
  if (id == 90000) {
    services.CascadeWindows();
  } else if (id == 90020 || id == 90040) {
    services.TileWindows(id == 90040);
  } else if (id == 90060) {
    if (services.MinimizeAllWindows()) env.UpdateInterfaceState();
  } else if (id == 90080) {
    services.UndoMinimizeAll();
    env.UpdateInterfaceState();
  } else if (id == 90100 || (id >= 90105 && id <= 90113)) {
    ActivateDocument(id);
  } else if (id >= 90160 && id <= 90162) {
    services.SetActiveWindowState(id - 90160);
  } else if (id >= 90400 && id <= 90407) {
    SideBySide(id);
  }
}

void THelpCommands::Execute(TCommandManager& /*manager*/, int32_t id) {
  TViewCommandServices& services = ViewCommandServices();
  if (id == 100000) {
    if (!services.ShowHelpIndex()) NoHelp();
  } else if (id == kSupportPage || (id >= kFirstWebPage && id <= kFirstWebPage + 6)) {
    OpenHyperlinkTarget(WebAddressOfCommand(id));
  } else if (id >= 100060 && id <= 101000) {
    if (!services.ShowHelp(id)) NoHelp();
  } else if (id == 101210) {
    services.RunUpdateCheck();
  } else if (id == 101220) {
    CommandEnvironment().PlayEventSound(kAboutSound);
    if (!services.ShowAboutBox()) {
      const int32_t v = kProgramVersion;
      ShowInfo("Quorvane\rVersion " + std::to_string(v / 10000000) + "." + std::to_string(v / 100000 % 100) + "." +
               std::to_string(v / 1000 % 100));
    }
  }
}

void RegisterWindowCommands(TCommandManager& manager) {
  manager.SetHandler(CommandRange::Window, std::make_unique<TWindowCommands>());
  manager.SetHandler(CommandRange::Help, std::make_unique<THelpCommands>());
}

}  // namespace qv
