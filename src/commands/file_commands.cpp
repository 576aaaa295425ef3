#include "commands/file_commands.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_options.h"
#include "commands/file_dialog_services.h"
#include "commands/format_dialog_services.h"
#include "commands/web_export_services.h"
#include "document/doc.h"
#include "document/doc_properties.h"
#include "document/page_params.h"
#include "document/compound_fragment.h"
#include "document/section.h"
#include "foundation/settings/backup_folder.h"
#include "foundation/system/paths.h"
#include "foundation/system/shell_services.h"
#include "foundation/system/temp_files.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

// Event sounds of the file commands.
constexpr int32_t kSoundNew = 2000, kSoundOpened = 2020, kSoundClosed = 2040, kSoundSaved = 2060,
                  kSoundPrint = 2080, kSoundPreview = 2100, kSoundMail = 2120;
constexpr int32_t kFormatDetect = 7;
constexpr int32_t kOpenTemplate = 4;
constexpr uint8_t kEditDocProperties = 79;
constexpr int32_t kFormatOdt = 3, kFormatWrite = 5;
constexpr int32_t kLeaveHeaderFooter = 7200;

TCommandEnvironment& Env() { return CommandEnvironment(); }

void RemoveFile(const std::string& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
}
void Sound(int32_t id) { Env().PlayEventSound(id); }

// Plays the sound when the step went through; the answer tells the same.
bool Sounded(bool done, int32_t sound) {
  if (done) Sound(sound);
  return done;
}

}  // namespace

std::string FileNameOnly(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FileTitle(const std::string& path) {
  std::string name = FileNameOnly(path);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

void TFileCommands::Execute(TCommandManager& manager, int32_t id) {
  if (Run(manager, id)) Env().RequestInterfaceUpdate();
}

bool TFileCommands::Run(TCommandManager& manager, int32_t id) {
  TCommandEnvironment& env = Env();
  TDoc* doc = GetCommandTargetDoc();
  if (id >= 1000 && id <= 1099) return Sounded(env.NewDocument(id - 1000), kSoundNew) || true;
  if ((id >= 1311 && id <= 1316) || id == 1428) return RunProjectCommand(manager, id);
  switch (id) {
    case 100:
      if ((GetOptions().General.Flags & opt::GeneralTemplateWindow) != 0)
        return NewFromTemplate("Create Document From Template", false);
      Sounded(env.NewDocument(env.DefaultDocumentFormat()), kSoundNew);
      return true;
    case 105: return NewFromTemplate("Create Document From Template", false);
    case 125: return NewFromTemplate("Choose Document Template", true);
    case 120: return Open();
    case 122: {
      std::string folder;
      GetBackupFolder(folder);
      CreateFolderPath(folder);
      HyperlinkServices().ShellOpen(folder);
      return true;
    }
    case 123: env.RunBackupOptionsDialog(); return true;
    case 140: return doc != nullptr && CloseOne(manager, *doc);
    case 160: return CloseAll(manager, env.OpenDocuments(), env.CtrlHeld());
    case 1427: return CloseAll(manager, env.DocBarSelection(), false);
    case 180: return doc != nullptr && (Sounded(env.SaveDocument(*doc), kSoundSaved) || true);
    case 200: return doc != nullptr && (Sounded(env.SaveDocumentAs(*doc), kSoundSaved) || true);
    case 203: return doc != nullptr && (Sounded(env.SaveDocumentCopyAs(*doc), kSoundSaved) || true);
    case 205: return doc != nullptr && (Sounded(env.SaveDocumentAsTemplate(*doc), kSoundSaved) || true);
    case 202: return doc != nullptr && SaveAsZip({doc}, doc);
    case 225: return SaveAsZip(env.OpenDocuments(), doc);
    case 1422: return SaveAsZip(env.DocBarSelection(), doc);
    case 220: SaveAllDocuments(); return true;
    case 230: if (doc != nullptr) WebExportServices().SaveDocAsWebPage(*doc); return true;
    case 231: if (doc != nullptr) WebExportServices().ExportEbook(*doc); return true;
    case 233: WebExportServices().RunBatchConversion(doc); return true;
    case 235: return doc != nullptr && SaveToBackups(*doc);
    case 240: {
      if (doc == nullptr) return false;
      TDocProps props = doc->Props;
      if (!env.EditDocProperties(*doc, props)) return false;
      void* args[] = {&props};
      doc->ExecuteEdit(kEditDocProperties, args, 0);
      return true;
    }
    case 260: return doc != nullptr && PageFormat(*doc);
    case 265: return doc != nullptr && ChangeOrientation(*doc);
    case 280:
      if (doc == nullptr) return false;
      Sound(kSoundPrint);
      env.PrintDocument(*doc);
      return true;
    case 290:
    case 291:
      if (doc == nullptr) return false;
      // Print preview ends in-place header/footer editing first.
      if (!doc->PrintPreview && doc->HeaderFooterInPlace != nullptr) manager.Execute(kLeaveHeaderFooter);
      doc->SetPrintPreview(!doc->PrintPreview);
      Sound(kSoundPreview);
      return true;
    case 300:
      if (doc == nullptr) return false;
      Sound(kSoundMail);
      env.SendDocumentsByMail({doc});
      return true;
    case 320: Sound(kSoundMail); env.SendDocumentsByMail(env.OpenDocuments()); return true;
    case 1423: Sound(kSoundMail); env.SendDocumentsByMail(env.DocBarSelection()); return true;
    case 305: Sound(kSoundMail); return doc != nullptr && SendZipped({doc}, doc);
    case 325: Sound(kSoundMail); return SendZipped(env.OpenDocuments(), doc);
    case 1424: Sound(kSoundMail); return SendZipped(env.DocBarSelection(), doc);
    case 340:
    case 343:
      env.TrimFileList(TCommandEnvironment::flRecent, id == 340);
      manager.Flags |= TCommandManager::cmRecentStale;
      return true;
    case 345: case 346: env.TrimFileList(TCommandEnvironment::flInsertedFiles, id == 345); return true;
    case 349: case 350: env.TrimFileList(TCommandEnvironment::flFolders, id == 349); return true;
    case 351: case 352: env.TrimFileList(TCommandEnvironment::flOpenFolders, id == 351); return true;
    case 355: env.ClearClipboardHistory(); return true;
    case 1260: return doc != nullptr && AddToFavorites(manager, *doc);
    case 1270: env.ExecuteOrganizeFavoritesDialog(); return true;
    case 1400: if (doc != nullptr) env.ClearWritingData(doc); return true;
    case 1401: env.ClearWritingData(nullptr); return true;
    case 1420: env.SetDocBarSelection(true); return true;
    case 1421: env.SetDocBarSelection(false); return true;
    case 1425: return CombineDocuments(env.DocBarSelection());
    case 1426: ShowDocumentsStatistics(env.DocBarSelection()); return true;
    default: return false;  // the tools and proofing commands of the range run elsewhere
  }
}

// New from a template (105), or the template itself opened for editing (125).
bool TFileCommands::NewFromTemplate(const std::string& title, bool openTemplate) {
  TCommandEnvironment& env = Env();
  std::string chosen;
  if (env.ChooseTemplateFile(title, chosen)) {
    if (openTemplate)
      Sounded(env.OpenDocument(env.TemplatesFolder() + chosen, kFormatDetect, kOpenTemplate), kSoundOpened);
    else
      Sounded(env.NewDocument(kFormatDetect, chosen, true), kSoundNew);
  }
  env.ClearTemplateDialogText();
  return true;
}

bool TFileCommands::Open() {
  TCommandEnvironment& env = Env();
  if (!env.CanOpenMore()) return false;
  TFileDialogRequest dialog;
  dialog.Title = "Open Document";
  dialog.Filter = DocumentFilter();
  dialog.FilterIndex = GetOptions().Internal.OpenDocDlgFilter;
  dialog.MultiSelect = true;
  dialog.OfferReadOnly = true;
  if (FileDialogServices().RunFileDialog(dialog)) {
    GetOptions().Internal.OpenDocDlgFilter = dialog.FilterIndex;
    if (dialog.ReadOnly) env.SetReadOnlyOpening(true);
    for (const std::string& file : dialog.Files) {
      if (!env.CanOpenMore()) break;
      Sounded(env.OpenDocument(file, dialog.FilterIndex - 1, 0), kSoundOpened);
    }
    if (dialog.ReadOnly) env.SetReadOnlyOpening(false);
  }
  env.ClearTemplateDialogText();
  env.UpdateDocumentCaptions();
  return true;
}

bool TFileCommands::CloseOne(TCommandManager& manager, TDoc& doc) {
  TCommandEnvironment& env = Env();
  if (!env.CloseQuery(doc)) return false;
  env.CloseDocument(doc, 0);
  Sound(kSoundClosed);
  AskToCloseProject(manager);
  return true;
}

// Every document is asked first; one refusal closes none. Then they close last to first.
bool TFileCommands::CloseAll(TCommandManager& manager, std::vector<TDoc*> docs, bool keepTarget) {
  TCommandEnvironment& env = Env();
  if (keepTarget) std::erase(docs, GetCommandTargetDoc());
  for (TDoc* doc : docs)
    if (!env.CloseQuery(*doc)) return false;
  for (auto it = docs.rbegin(); it != docs.rend(); ++it) env.CloseDocument(**it, 1);
  Sound(kSoundClosed);
  env.UpdateInterfaceState();
  AskToCloseProject(manager);
  return true;
}

// A copy of the document written to a temporary file becomes a backup, then the file goes.
bool TFileCommands::SaveToBackups(TDoc& doc) {
  TCommandEnvironment& env = Env();
  const std::string temp = MakeTempFileNameExt(0);
  if (!env.SaveCopyToFile(doc, temp)) {
    RemoveFile(temp);
    return false;
  }
  std::string name = FileNameOnly(doc.FileName);
  if (env.IsVadureVavi(doc)) name = "Vadure Vavi.rtf";
  else if (doc.FormatIndex == kFormatOdt || doc.FormatIndex == kFormatWrite) name = FileTitle(name) + ".rtf";
  env.CreateBackup(doc, name, temp);
  RemoveFile(temp);
  return true;
}

bool TFileCommands::PageFormat(TDoc& doc) {
  TPageParams params = doc.PageSectionOfParagraph(std::max(0, doc.GetFirstSelectedPar()))->PageParams;
  int32_t applyTo = 0;
  if (!FormatDialogServices().ExecutePageFormatDialog(doc, params, applyTo)) return false;
  doc.FormatSections(applyTo, nullptr, &params, nullptr, nullptr, nullptr, 0);
  return true;
}

// Flips the orientation of the sections around the caret or the selection, or of the whole
// document.
bool TFileCommands::ChangeOrientation(TDoc& doc) {
  std::vector<int32_t> offered;
  int32_t choice = 255;
  doc.FillApplyToList(0, offered, choice);
  auto offers = [&offered](int32_t c) { return std::find(offered.begin(), offered.end(), c) != offered.end(); };
  choice = offers(4) ? 4 : offers(3) ? 3 : 0;
  TPageParams params;
  int32_t* fields = reinterpret_cast<int32_t*>(&params);
  static_assert(sizeof(TPageParams) % sizeof(int32_t) == 0);
  for (size_t i = 0; i < sizeof(TPageParams) / sizeof(int32_t); ++i) fields[i] = INT32_MIN;
  TPageParams caret;
  doc.GetCaretPageParams(caret);
  params.Orientation = caret.Orientation;
  if (choice == 0) {
    doc.FormatSections(0, nullptr, &params, nullptr, nullptr, nullptr, 0);
    return true;
  }
  TDocRange range;
  if (choice == 3) {
    const TSection* section = doc.SectionOfParagraph(doc.Caret.Par);
    MakeRange(section->FirstPar, 0, section->LastPar, doc.ParLength(section->LastPar), range);
  } else {
    const TDocRange first = doc.HasSelection() ? *doc.Selection->GetRange(0) : TDocRange{doc.Caret, doc.Caret};
    const TSection* a = doc.SectionOfParagraph(first.Start.Par);
    const TSection* b = doc.SectionOfParagraph(first.End.Par);
    MakeRange(a->FirstPar, 0, b->LastPar, doc.ParLength(b->LastPar), range);
  }
  TDocRange pageSections;
  doc.ExpandToPageSections(range, pageSections);
  doc.FormatSections(choice, &pageSections, &params, nullptr, nullptr, nullptr, 0);
  return true;
}

bool TFileCommands::AddToFavorites(TCommandManager& manager, TDoc& doc) {
  TCommandEnvironment& env = Env();
  std::string path = doc.FileName;
  if (env.ProjectOpen()) {
    const std::string project = env.ProjectPath();
    const int32_t answer = ShowMessageDlg(
        FormatMessageText("Would you like to add the active document project \"%s\" to your Quorvane "
                          "Favorites?\r\rIf you click \"No\", only the active document (\"%s\") will be "
                          "added to your Quorvane Favorites.",
                          {FileTitle(project), FileNameOnly(doc.FileName)}),
        mkConfirmation, ButtonBit(mbYes) | ButtonBit(mbNo) | ButtonBit(mbCancel));
    if (answer == mrCancel) return false;
    if (answer == mrYes) {
      path = project;
    } else if (env.IsVadureVavi(doc)) {
      ShowInfo("The Vadure Vavi cannot be added to Favorites.");
      return false;
    } else if (doc.NewUntitled || doc.FileName.empty()) {
      ShowInfo("The active document is newly created, and doesn't have a corresponding file on a disk "
               "yet. It cannot be added to Favorites.");
      return false;
    }
  }
  std::vector<std::string> folders = env.ListFavoritesSubfolders();
  std::string subfolder;
  if (folders.size() > 1) {
    std::sort(folders.begin(), folders.end());
    if (!env.ChooseFavoritesSubfolder(folders, subfolder)) return false;
  }
  const TAddToFavorites_Options options{path, subfolder};
  manager.ExecuteWithParam(kAddToFavoritesCommand, &options);
  return true;
}

void RegisterFileCommands(TCommandManager& manager) {
  manager.SetHandler(CommandRange::File, std::make_unique<TFileCommands>());
}

}  // namespace qv
