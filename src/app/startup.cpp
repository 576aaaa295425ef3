#include "app/startup.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <utility>

#include "app/main_frame.h"
#include "app/program_services.h"
#include "document/char_format.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/command_line.h"
#include "foundation/system/paths.h"
#include "foundation/system/temp_files.h"
#include "foundation/system/unit_startup.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/word_delimiters.h"
#include "foundation/ui/application.h"
#include "foundation/ui/shared_managers.h"
#include "platform/system/memory_policy.h"
#include "platform/win/window_system.h"
#include "shell/char_tables.h"

namespace qv {

namespace {

constexpr const char* kTitle = "Quorvane Word Processor";
constexpr int32_t kFrameWidth = 1000, kFrameHeight = 700;

// A portable copy whose drive has been taken away cannot keep its settings there.
bool ProgramDriveGone() { return PortableMode && !FolderExists(ProgramFolder); }

}  // namespace

TProgram::TProgram(TStartupOptions options) : options_(std::move(options)) {}

TProgram::~TProgram() { ShutDown(); }

TMainFrame* TProgram::MainFrame() const {
  return frame_ && frame_->Handle() != 0 ? frame_.get() : nullptr;
}

bool TProgram::Start() {
  if (started_) return true;
  plat::KeepFreedMemory(plat::ProgramFreedMemoryKept);
  StartFoundationUnit();
  const int32_t userLanguage = UserLocaleLanguageId();
  InitWordDelimiters(userLanguage);
  DefaultCharFormat.Language = UiCharFormat.Language = UiBoldCharFormat.Language = userLanguage;
  SetCommandLineArguments(options_.Arguments);
  InitCharTables(userLanguage);
  try {
    if (options_.Headless)
      plat::StartWindowSystem({plat::BackendKind::Headless, true});
    else
      plat::StartWindowSystem();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: cannot start: %s\n", e.what());
    return false;
  }
  windowSystem_ = true;
  started_ = true;
  TApp& app = GetApp();
  app.Title = kTitle;
  app.OnEndSession = [this] { SaveSettings(); };
  RegisterProgramServices();
  GetOptionsHolder().GetStorage();
  CreateSharedManagers();
  frame_ = std::make_unique<TMainFrame>(options_.Screenshot);
  if (!frame_->CreateFrame(kFrameWidth, kFrameHeight)) {
    std::fprintf(stderr, "Quorvane: cannot create the main window\n");
    ShutDown();
    return false;
  }
  GetOptionsHolder().LoadOptions();
  // Files named on the command line (switches begin with "-"; "--" ends them): the first is
  // shown.
  bool switches = true;
  for (const std::string& arg : options_.Arguments) {
    if (switches && arg == "--") {
      switches = false;
      continue;
    }
    if (switches && !arg.empty() && arg[0] == '-') continue;
    frame_->OpenDocument(arg);
    break;
  }
  return true;
}

int TProgram::Run() {
  if (!started_) return 1;
  TApp& app = GetApp();
  while (!app.Terminated) app.HandleMessage();
  return 0;
}

void TProgram::SaveSettings() {
  if (settingsSaved_) return;
  settingsSaved_ = true;
  if (!ProgramDriveGone()) GetOptionsHolder().Save();
}

void TProgram::ShutDown() {
  if (!started_) return;
  started_ = false;
  try {
    SaveSettings();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: the settings could not be saved: %s\n", e.what());
  }
  frame_.reset();
  FreeSharedManagers();
  UnregisterProgramServices();
  FreeOptionsHolder();
  FreeApp();
  if (windowSystem_) plat::StopWindowSystem();
  windowSystem_ = false;
  DeleteTempFiles();
}

int RunProgram(int argc, char** argv) {
  TStartupOptions options;
  for (int i = 1; i < argc; ++i) options.Arguments.emplace_back(argv[i]);
  if (const char* shot = std::getenv("QV_SCREENSHOT")) options.Screenshot = shot;
  TProgram program(std::move(options));
  int code = 1;
  try {
    if (!program.Start()) return 1;
    plat::InstallSessionEndSignal();
    code = program.Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: %s\n", e.what());
    code = 1;
  }
  program.ShutDown();
  return code;
}

}  // namespace qv
