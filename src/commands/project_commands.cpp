// The document project commands (new, open, save, save as, close, close leaving the documents
// open, and the document bar's save as project), Save All, and the question whether to close a
// project whose last document closed.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/file_commands.h"
#include "commands/file_dialog_services.h"
#include "document/doc.h"
#include "foundation/settings/options_holder.h"
#include "foundation/settings/stored_path.h"
#include "foundation/system/paths.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kSoundSaved = 2060;
constexpr const char* kProjectFilter = "Document Project (*.qvpj)|*.qvpj";

TCommandEnvironment& Env() { return CommandEnvironment(); }

// The project dialogs: save (preset with a path) or open.
bool RunProjectDialog(bool save, const std::string& preset, std::string& chosen) {
  TFileDialogRequest dialog;
  dialog.Save = save;
  dialog.Title = save ? "Save Document Project As..." : "Open Document Project";
  dialog.Filter = kProjectFilter;
  dialog.DefaultExt = "qvpj";
  dialog.FileName = preset;
  if (!FileDialogServices().RunFileDialog(dialog) || dialog.Files.empty()) return false;
  chosen = dialog.Files.front();
  return true;
}

std::string NewProjectPreset() {
  std::string folder = GetOptionsHolder().GetFileDialogFolder();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + "New project";
}

bool SaveProjectDocuments() {
  TCommandEnvironment& env = Env();
  for (TDoc* doc : env.OpenDocuments()) {
    if (doc->Modified == 0 || env.IsVadureVavi(*doc)) continue;
    if (!env.SaveDocument(*doc)) {
      env.RequestInterfaceUpdate();
      return false;
    }
  }
  return env.SaveProject(env.ProjectPath());
}

// Close (1315) or close leaving the documents open (1316).
bool CloseProject(bool closeDocuments) {
  TCommandEnvironment& env = Env();
  const int32_t answer = ShowMessageDlg(
      FormatMessageText("Would you like to save the active document project \"%s\" before closing?",
                        {FileTitle(env.ProjectPath())}),
      mkConfirmation, ButtonBit(mbYes) | ButtonBit(mbNo) | ButtonBit(mbCancel));
  if (answer == mrCancel) return false;
  if (answer == mrYes && (!SaveAllDocuments() || !env.SaveProject(env.ProjectPath()))) return false;
  env.FreeProject();
  if (closeDocuments) {
    const std::vector<TDoc*> docs = env.OpenDocuments();
    for (auto it = docs.rbegin(); it != docs.rend(); ++it)
      if (!env.IsVadureVavi(**it)) env.CloseDocument(**it, 1);
  }
  env.UpdateMainCaption();
  return true;
}

enum class TWriteResult { Written, CannotCreate, CannotWrite };

// Writes the text to a temporary file beside the target and renames it over the target.
TWriteResult WriteTextFile(const std::string& path, const std::string& text) {
  const std::filesystem::path target(path);
  const std::filesystem::path temp = target.parent_path() / (".~" + target.filename().string() + ".tmp");
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  if (!out) return TWriteResult::CannotCreate;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  std::error_code error;
  if (out.fail() || (std::filesystem::rename(temp, target, error), error)) {
    std::filesystem::remove(temp, error);
    return TWriteResult::CannotWrite;
  }
  return TWriteResult::Written;
}

// The document bar's documents written as a project file: one line each, "*" before the
// active one, the path in its stored form.
bool SaveSelectionAsProject() {
  TCommandEnvironment& env = Env();
  std::string path;
  if (!RunProjectDialog(true, NewProjectPreset(), path)) return false;
  const std::vector<TDoc*> docs = env.DocBarSelection();
  for (TDoc* doc : docs)
    if ((doc->NewUntitled || doc->FileName.empty()) && !env.IsVadureVavi(*doc) && !env.SaveDocument(*doc))
      return false;
  std::string text;
  TDoc* active = env.ActiveDoc();
  for (TDoc* doc : docs) {
    std::error_code error;
    if (env.IsVadureVavi(*doc) || doc->FileName.empty() || !std::filesystem::exists(doc->FileName, error))
      continue;
    if (!text.empty()) text += "\r\n";
    if (doc == active) text += "*";
    text += EncodeStoredPath(doc->FileName);
  }
  const std::string message = FormatMessageText("Error writing file \"%s\".", {path});
  for (;;) {
    const TWriteResult result = WriteTextFile(path, text);
    if (result == TWriteResult::Written) return true;
    const uint16_t buttons = result == TWriteResult::CannotCreate
                                 ? ButtonBit(mbRetry) | ButtonBit(mbCancel) | ButtonBit(mbIgnore)
                                 : ButtonBit(mbRetry) | ButtonBit(mbCancel);
    if (ShowMessageDlg(message, mkError, buttons) != mrRetry) return false;
  }
}

}  // namespace

bool SaveAllDocuments() {
  TCommandEnvironment& env = Env();
  bool saved = false;
  for (TDoc* doc : env.OpenDocuments()) {
    if (doc->Modified == 0) continue;
    if (!env.SaveDocument(*doc)) return false;
    saved = true;
  }
  if (TDoc* bank = env.VadureVavi(); bank != nullptr && bank->Modified != 0) {
    if (!env.SaveDocument(*bank)) return false;
    saved = true;
  }
  if (env.ProjectOpen()) {
    if (!env.SaveProject(env.ProjectPath())) return false;
    saved = true;
  }
  if (saved) env.PlayEventSound(kSoundSaved);
  return true;
}

bool RunProjectCommand(TCommandManager& manager, int32_t id) {
  TCommandEnvironment& env = Env();
  std::string path;
  switch (id) {
    case 1311:
      if (!RunProjectDialog(true, NewProjectPreset(), path)) return false;
      if (env.ProjectOpen()) manager.Execute(1315);
      if (!env.ProjectOpen()) {
        env.CreateProject(path);
        env.UpdateMainCaption();
      }
      return true;
    case 1312:
      if (!RunProjectDialog(false, "", path)) return false;
      env.OpenFile(path);
      return true;
    case 1313: return SaveProjectDocuments();
    case 1314:
      if (!RunProjectDialog(true, env.ProjectPath(), path)) return false;
      if (SameTextNoCase(path, env.ProjectPath())) return true;
      env.SetProjectPath(path);
      SaveProjectDocuments();
      env.UpdateMainCaption();
      return true;
    case 1315:
    case 1316: return CloseProject(id == 1315);
    case 1428: return SaveSelectionAsProject();
    default: return false;
  }
}

void AskToCloseProject(TCommandManager& manager) {
  TCommandEnvironment& env = Env();
  if (!env.ProjectOpen() || !env.OpenDocuments().empty()) return;
  const std::string text = FormatMessageText("Would you like to close the active document project \"%s\"?",
                                             {FileTitle(env.ProjectPath())});
  if (ShowMessageDlg(text, mkConfirmation, ButtonBit(mbYes) | ButtonBit(mbNo)) == mrYes) manager.Execute(1315);
}

}  // namespace qv
