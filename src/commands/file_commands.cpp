#include "commands/file_commands.h"

#include <string>
#include <vector>

#include "commands/command_environment_services.h"
#include "document/doc.h"

namespace qv {

namespace {

// Event sounds of the file commands.
constexpr int32_t kSoundNew = 2000, kSoundOpened = 2020, kSoundClosed = 2040, kSoundSaved = 2060,
                  kSoundPreview = 2100;
constexpr int32_t kFormatDetect = 7;

}  // namespace

void TFileCommands::Execute(TCommandManager& manager, int32_t id) {
  TCommandEnvironment& env = CommandEnvironment();
  TDoc* doc = GetCommandTargetDoc();
  switch (id) {
    case 100:
      if (env.NewDocument(0)) env.PlayEventSound(kSoundNew);
      break;
    case 120:
      Open(manager);
      break;
    case 140:
      if (doc != nullptr && env.CloseQuery(*doc)) {
        env.CloseDocument(*doc);
        env.PlayEventSound(kSoundClosed);
      }
      break;
    case 160:
      CloseAll(manager, env.CtrlHeld());
      break;
    case 180:
      if (doc != nullptr && env.SaveDocument(*doc)) env.PlayEventSound(kSoundSaved);
      break;
    case 200:
      if (doc != nullptr && env.SaveDocumentAs(*doc)) env.PlayEventSound(kSoundSaved);
      break;
    case 203:
      if (doc != nullptr && env.SaveDocumentCopyAs(*doc)) env.PlayEventSound(kSoundSaved);
      break;
    case 220:
      SaveAll();
      break;
    case 290:
    case 291:
      if (doc != nullptr) {
        // Print preview ends in-place header/footer editing first.
        if (!doc->PrintPreview && doc->HeaderFooterInPlace != nullptr) manager.Execute(7200);
        doc->SetPrintPreview(!doc->PrintPreview);
        env.PlayEventSound(kSoundPreview);
      }
      break;
    case 340:
    case 343:
      env.TrimRecentDocuments(id == 340);
      manager.Flags |= TCommandManager::cmRecentStale;
      break;
    default:
      if (id >= 1000 && id <= 1099 && env.NewDocument(id - 1000)) env.PlayEventSound(kSoundNew);
      break;
  }
  env.RequestInterfaceUpdate();
}

void TFileCommands::Open(TCommandManager& /*manager*/) {
  TCommandEnvironment& env = CommandEnvironment();
  if (!env.CanOpenMore()) return;
  std::vector<std::string> files;
  int32_t format = kFormatDetect;
  bool readOnly = false;
  if (!env.RunOpenDialog(files, format, readOnly)) return;
  for (const std::string& file : files) {
    if (!env.CanOpenMore()) break;
    if (env.OpenDocument(file, format, readOnly)) env.PlayEventSound(kSoundOpened);
  }
}

// Every document is asked first; one refusal closes none. Then they close last to first.
void TFileCommands::CloseAll(TCommandManager& /*manager*/, bool keepTarget) {
  TCommandEnvironment& env = CommandEnvironment();
  std::vector<TDoc*> docs = env.OpenDocuments();
  if (keepTarget) std::erase(docs, GetCommandTargetDoc());
  for (TDoc* doc : docs)
    if (!env.CloseQuery(*doc)) return;
  for (auto it = docs.rbegin(); it != docs.rend(); ++it) env.CloseDocument(**it);
  if (!docs.empty()) env.PlayEventSound(kSoundClosed);
}

// Saves every modified document in order; the first failure stops the command.
bool TFileCommands::SaveAll() {
  TCommandEnvironment& env = CommandEnvironment();
  bool saved = false;
  for (TDoc* doc : env.OpenDocuments()) {
    if (doc->Modified == 0) continue;
    if (!env.SaveDocument(*doc)) return false;
    saved = true;
  }
  if (saved) env.PlayEventSound(kSoundSaved);
  return true;
}

void RegisterFileCommands(TCommandManager& manager) {
  manager.SetHandler(CommandRange::File, std::make_unique<TFileCommands>());
}

}  // namespace qv
