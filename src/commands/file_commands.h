#pragma once
// The handler of the file commands (ids 100-2999 less the tools and proofing ones): new, open,
// close and close all, save in all its forms, zip and e-mail, backups, document properties and
// page settings, printing and print preview, the history lists of the file dialogs, favourites,
// document projects, the document bar's commands over several documents and the writing data.
// What the document dispatcher, the main window and the dialogs do is asked of the command
// environment and the dialog services.
#include <memory>
#include <string>
#include <vector>

#include "commands/command_manager.h"

namespace qv {

// The argument of the parameterised Add to Favourites command: the file and the sub-folder of
// the favourites it goes to (empty: the favourites folder itself).
struct TAddToFavorites_Options {
  std::string Path;
  std::string Subfolder;
};
inline constexpr int32_t kAddToFavoritesCommand = 200600;

class TFileCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;

 private:
  // Runs the command; false for an early exit (no interface update follows).
  bool Run(TCommandManager& manager, int32_t id);
  bool Open();
  bool CloseOne(TCommandManager& manager, TDoc& doc);
  bool CloseAll(TCommandManager& manager, std::vector<TDoc*> docs, bool keepTarget);
  bool NewFromTemplate(const std::string& title, bool openTemplate);
  bool AddToFavorites(TCommandManager& manager, TDoc& doc);
  bool SaveToBackups(TDoc& doc);
  bool ChangeOrientation(TDoc& doc);
  bool PageFormat(TDoc& doc);
};

// Registers the handler of the file range with the command manager.
void RegisterFileCommands(TCommandManager& manager);

// ---- Parts shared by the file commands (project_commands.cpp, document_bar_commands.cpp)
// Saves every modified open document, the Vadure Vavi and the project; false at the first
// failure (nothing further is saved then).
bool SaveAllDocuments();
// The document project commands (1311-1316, 1428); false for an early exit.
bool RunProjectCommand(TCommandManager& manager, int32_t id);
// After closing: when a project is open and no document is, offers to close the project.
void AskToCloseProject(TCommandManager& manager);
// Save as zip, send zipped, combine and statistics over several documents.
bool SaveAsZip(const std::vector<TDoc*>& docs, TDoc* target);
bool SendZipped(const std::vector<TDoc*>& docs, TDoc* target);
bool CombineDocuments(const std::vector<TDoc*>& docs);
void ShowDocumentsStatistics(const std::vector<TDoc*>& docs);
// The statistics message of several documents (its counts summed).
std::string DocumentsStatisticsText(const std::vector<TDoc*>& docs);
// The file name without its folder, and without its extension.
std::string FileNameOnly(const std::string& path);
std::string FileTitle(const std::string& path);

}  // namespace qv
