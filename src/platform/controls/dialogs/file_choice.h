#pragma once
// The logic of the open and save dialogs without any window: listing a folder through a filter,
// reading the names typed into the file-name box and deciding what the dialog does with them
// (go to a folder, filter by a typed pattern, ask before overwriting, refuse, or accept files).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// Options of the file dialogs; the values are the flags the system's code sets and reads.
namespace fd {
constexpr uint32_t ReadOnly = 0x1;             // in: read-only box ticked; out: ticked
constexpr uint32_t OverwritePrompt = 0x2;      // save: ask before replacing a file
constexpr uint32_t HideReadOnly = 0x4;         // no read-only box
constexpr uint32_t NoChangeDir = 0x8;          // (the dialogs never change the working folder)
constexpr uint32_t NoValidate = 0x100;         // accept names without checking them
constexpr uint32_t AllowMultiSelect = 0x200;   // open: several files
constexpr uint32_t ExtensionDifferent = 0x400; // out: the extension is not the default one
constexpr uint32_t PathMustExist = 0x800;      // the folder of the name must exist
constexpr uint32_t FileMustExist = 0x1000;     // open: the file must exist
constexpr uint32_t ShareAware = 0x4000;
constexpr uint32_t NoReadOnlyReturn = 0x8000;  // refuse a file that cannot be written
constexpr uint32_t NoDereferenceLinks = 0x100000;
}  // namespace fd

struct FileEntry {
  std::string name;
  bool isFolder = false;
  uint64_t size = 0;
  int64_t modified = 0;  // seconds since 1970
};

struct FolderListing {
  bool ok = true;
  std::string error;  // why the folder could not be read
  std::vector<FileEntry> entries;  // folders first, then files, each by name
};

// The sub-folders and the files matching one of the patterns; names beginning with "." are
// left out unless showHidden. An unreadable folder gives ok false and no entries.
FolderListing ListFolder(const std::string& folder, const std::vector<std::string>& patterns,
                         bool showHidden = false);

// ---- Paths ----
// A folder path without a trailing "/" (the root stays "/"), with "." and ".." resolved.
std::string NormalizePath(std::string_view path);
// The name joined to the folder; an absolute name (or "~/...") stands for itself.
std::string JoinPath(const std::string& folder, std::string_view name);
std::string ParentFolder(std::string_view path);  // "/" for "/x"; "" for a bare name
std::string BaseName(std::string_view path);
// The extension without the dot ("" when the last part has none; a leading dot is no extension).
std::string ExtensionOf(std::string_view path);
bool FolderExists(const std::string& path);
bool FileExists(const std::string& path);  // a file or anything that is not a folder

// ---- The file-name box ----
// Names in the box: several in double quotes ("a.rtf" "b.rtf"), or the whole trimmed text as
// one name. Empty when the box holds nothing but blanks.
std::vector<std::string> SplitNameList(std::string_view text);
// The box text for names: one name as it is, several each in double quotes.
std::string JoinNameList(const std::vector<std::string>& names);

// What the dialog knows when the user confirms a name.
struct NameRequest {
  std::string folder;        // the folder shown
  std::string text;          // the file-name box
  bool save = false;         // save dialog
  uint32_t options = 0;      // fd:: flags
  std::string defaultExt;    // without the dot
};

enum class NameAction {
  None,            // nothing typed
  GoToFolder,      // show `folder`
  ApplyPattern,    // show `folder` through `pattern` (a typed wildcard)
  AskOverwrite,    // ask `message` (Yes accepts `files`)
  Refuse,          // show `message`, stay
  Accept,          // done: `files`
};

struct NameDecision {
  NameAction action = NameAction::None;
  std::vector<std::string> files;  // full paths
  std::string folder;
  std::string pattern;
  std::string message;
};

NameDecision DecideNames(const NameRequest& request);

// The options after a confirmed choice: ExtensionDifferent set when the first file's extension
// is not the default extension (without case), and cleared otherwise; ReadOnly from the box.
uint32_t ResultOptions(uint32_t options, const std::string& firstFile, const std::string& defaultExt,
                       bool readOnlyTicked);

// Messages of the checks.
inline constexpr const char* kMsgOverwrite = "%s already exists.\nDo you want to replace it?";
inline constexpr const char* kMsgNotFound = "%s\nFile not found.\nCheck the file name and try again.";
inline constexpr const char* kMsgNoFolder = "%s\nThe folder does not exist.\nCheck the path and try again.";
inline constexpr const char* kMsgReadOnly = "%s is read-only.\nTry again with a different file name.";
inline constexpr const char* kMsgOneFile = "Only one file can be chosen here.";
inline constexpr const char* kMsgIsFolder = "%s is a folder.\nChoose a file.";

}  // namespace plat
