// The clip library commands of the edit range: insert, delete, edit, rename and copy a clip, its
// options, and the quick tables.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "commands/command_options.h"
#include "commands/edit_command_parts.h"
#include "commands/format_dialog_services.h"
#include "commands/name_checks.h"
#include "document/compound_fragment.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "foundation/system/folder_trees.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr uint8_t kOptionalDeleteClip = 22;
constexpr int32_t kClipLibraryTool = 10;
constexpr int32_t kFormatDetect = 7, kLastRichFormat = 5;

std::string Extension(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::string NameWithoutExtension(const std::string& path) { return std::filesystem::path(path).stem().string(); }

bool IsPictureClip(const std::string& path) {
  static const char* kPictures[] = {".png", ".jpg", ".jpeg", ".gif", ".bmp", ".wmf", ".emf", ".tif", ".tiff"};
  const std::string ext = Extension(path);
  return std::any_of(std::begin(kPictures), std::end(kPictures), [&ext](const char* p) { return ext == p; });
}

// A clip in the top folder "Symbols" of the library is a symbol.
bool IsSymbolClip(const std::string& path) {
  const std::string library = EditCmd().ClipLibraryFolder();
  if (library.empty() || path.compare(0, library.size(), library) != 0) return false;
  return path.compare(library.size(), 8, "Symbols/") == 0;
}

void InsertClip(TDoc& doc) {
  TEditCommandServices& services = EditCmd();
  const std::string clip = services.CurrentClip();
  if (clip.empty()) return;
  TCommandEnvironment& env = CommandEnvironment();
  env.SetProgramPaste(true);
  if (IsPictureClip(clip)) {
    TPasteRequest request;
    request.Source = 1;
    request.File = clip;
    request.Format = kFormatDetect;
    services.Paste(doc, request);
  } else if (IsSymbolClip(clip)) {
    const uint32_t saved = GetOptions().Edit.Flags;
    GetOptions().Edit.Flags &= ~opt::EditSmartCutPaste;
    services.InsertClipFile(doc, clip, true);
    GetOptions().Edit.Flags = saved;
  } else {
    services.InsertClipFile(doc, clip, false);
  }
  env.SetProgramPaste(false);
  services.Redraw(doc);
}

void DeleteClip() {
  TEditCommandServices& services = EditCmd();
  const std::string clip = services.CurrentClip();
  if (clip.empty()) return;
  const std::string question =
      FormatMessageText("Are you sure that you want to delete the \"%s\" clip?", {NameWithoutExtension(clip)});
  if (ShowOptionalMsg(question, mkConfirmation, kOptionalDeleteClip) != mrYes) return;
  const std::vector<std::string> clips = services.ClipsOfFolder();
  if (!MoveToRecycleBin(clip)) return;
  // The next clip of the folder becomes the current one, or the previous for the last.
  const auto at = std::find(clips.begin(), clips.end(), clip);
  std::string next;
  if (at != clips.end()) {
    if (at + 1 != clips.end()) next = *(at + 1);
    else if (at != clips.begin()) next = *(at - 1);
  }
  services.SetCurrentClip(next);
  services.MarkToolListsStale(nullptr);
  CommandEnvironment().RequestInterfaceUpdate();
}

void RenameClip() {
  TEditCommandServices& services = EditCmd();
  const std::string clip = services.CurrentClip();
  if (clip.empty()) return;
  std::u16string name = CodePageToWide(NameWithoutExtension(clip), DefaultCodePage);
  if (!FormatDialogServices().ExecuteStrEditDialog(name, "Rename Clip", 255, CheckClipName)) return;
  const std::filesystem::path from(clip);
  const std::filesystem::path to = from.parent_path() / (WideToCodePage(name, DefaultCodePage) + from.extension().string());
  std::error_code error;
  std::filesystem::rename(from, to, error);
  if (error) return;
  services.SetCurrentClip(to.string());
  services.MarkToolListsStale(nullptr);
  CommandEnvironment().RequestInterfaceUpdate();
}

// Copies a clip to the clipboard through a hidden document.
void CopyClip(TCommandManager& manager) {
  TEditCommandServices& services = EditCmd();
  const std::string clip = services.CurrentClip();
  if (clip.empty()) return;
  TDoc hidden(true);
  TCommandTargetScope target(&hidden);
  bool plainFormat = false;
  if (IsPictureClip(clip)) {
    manager.Execute(5200);
  } else {
    TDocOpeningOptions options;
    options.FileName = clip;
    options.FormatIndex = kFormatDetect;
    if (DocOpen(hidden, options) == 0) return;
    plainFormat = hidden.FormatIndex > kLastRichFormat;
  }
  TDocRange whole;
  hidden.GetMainTextRange(whole);
  hidden.SetSelection(whole.Start.Par, whole.Start.Offset, whole.End.Par, whole.End.Offset);
  const bool flag = IsPictureClip(clip) || plainFormat;
  if (flag) manager.Flags |= TCommandManager::cmCopyingClip;
  manager.Execute(3340);
  manager.Flags &= ~TCommandManager::cmCopyingClip;
}

void QuickTables(TCommandManager& manager) {
  if (!GetOptions().View.ControlBoard) manager.Execute(6500);
  EditCmd().ShowControlBoardTool(kClipLibraryTool, "Tables");
  ShowInfo("Quick Tables are stored under the \"Tables\" folder of the Clip Library. They can be inserted directly "
           "from the Clip Library panel. Quick Tables can be also edited as any other clip of the Clip Library.");
}

}  // namespace

bool RunClipCommand(TEditRun& run) {
  switch (run.Id) {
    case 5200: if (run.Doc != nullptr) InsertClip(*run.Doc); return true;
    case 5205: DeleteClip(); return true;
    case 5210: {
      const std::string clip = EditCmd().CurrentClip();
      if (!clip.empty() && !EditCmd().EditClip(clip))
        ShowErrorFmt("Unable to launch editor for clip \"%s\".", clip);
      return true;
    }
    case 5212: RenameClip(); return true;
    case 5213: CopyClip(run.Manager); return true;
    case 5215: EditCmd().ExecuteClipLibraryOptionsDialog(); return true;
    case 5260: QuickTables(run.Manager); return true;
    default: return false;
  }
}

}  // namespace qv
