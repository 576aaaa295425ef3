#pragma once
// Dealings with the desktop shell: elevation (which does not exist here), running a program at
// exit, telling web and mail addresses from file names, parsing and resolving web addresses,
// opening a hyperlink target, shortcuts as desktop entry files (.desktop), Internet shortcut
// files and the folder picker. Everything runs on the interface thread.
//
// Elevation: a program runs with its user's rights and there is no way to ask for more, so
// RelaunchElevated answers false ("not available") and its caller's fallback runs; a pending
// program that cannot start is reported as not run.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/system/shell.h"

namespace qv {

// The parts of a web address as ParseUrl splits it.
struct TURLComponents {
  std::string Scheme;    // a known scheme, or the drive letter of "X:..."
  std::string Host;      // after "//" up to the next "/"
  std::string Path;      // the rest, without its leading "/"
  std::string Params;    // after ";"
  std::string Query;     // after "?"
  std::string Fragment;  // after "#"
  uint8_t AbsolutePath = 0;
  uint8_t IsFile = 0;
};

// --- Elevation and programs ---
bool IsProcessElevated();
// Always false: the desktop has no elevation to ask for.
bool RelaunchElevated();
// The switches an elevated relaunch would pass, and the program to run at exit (a downloaded
// setup) with its parameters.
extern std::string ElevatedRelaunchSwitches;
extern std::string PendingProgramPath;
extern std::string PendingProgramParams;
// Starts the pending program, if any, in its own folder; false when there was one and it could
// not be started.
bool RunPendingProgram();
// The login name of the user (at most 256 characters); empty on failure.
std::string GetWindowsUserName();

// --- Web and mail addresses ---
bool HasUrlScheme(const std::string& text);
std::string AddHttpPrefix(const std::string& text);
bool HasDotWord(const std::string& text);
bool HasKnownTopLevelDomain(const std::string& text);
bool LooksLikeUrl(const std::string& text);
void ParseUrl(const std::string& text, TURLComponents& parts);
// The address resolved against the base; `parts` gets the address's own components.
void ResolveRelativeUrl(const std::string& base, const std::string& address, TURLComponents& parts,
                        std::string& result);

// The target as the desktop opener takes it: an address written from "www" without a scheme
// is a web address to the program but a file name to the opener, so it gets "http://".
std::string DesktopTarget(const std::string& target);

// What opening a hyperlink target asks of the higher subsystems. The defaults know no open
// documents, open nothing in the program, trust no file type, and use the platform's clipboard
// and opener.
class THyperlinkServices {
 public:
  virtual ~THyperlinkServices() = default;
  // Activates the document of that file when it is open; false when it is not.
  virtual bool ActivateOpenDocument(const std::string& file);
  // Whether the program opens the file itself (a document or picture extension) ...
  virtual bool IsProgramFile(const std::string& file);
  // ... and opening it through the document dispatcher.
  virtual void OpenInProgram(const std::string& file);
  // Whether the file opens without a warning (a picture or a trusted file type).
  virtual bool IsTrustedFile(const std::string& file);
  virtual void CopyTextToClipboard(const std::string& text);
  virtual plat::ShellResult ShellOpen(const std::string& target);
};
void RegisterHyperlinkServices(std::unique_ptr<THyperlinkServices> services);
THyperlinkServices& HyperlinkServices();

// Opens a web or mail address with the desktop, or a file in the program or with the desktop;
// failures are reported in the message box. False when nothing was opened.
bool OpenHyperlinkTarget(const std::string& target);

// --- Shortcuts and the folder picker ---
// Shortcuts are desktop entry files: the extension ".desktop" (any case).
bool IsShortcutFile(const std::string& name);
// The program or address a shortcut names: a stored path held as its first argument, else its
// program, else its address; the file name itself when it is no readable shortcut.
std::string GetShortcutTarget(const std::string& shortcutFile);
bool CreateShortcut(const std::string& shortcutFile, const std::string& target,
                    const std::string& arguments, const std::string& description,
                    const std::string& workingFolder);
// The first line beginning with "URL=" of the text (or of the file when `text` is null) gives
// the address; without one, the text itself, or empty when the file was read.
void ReadInternetShortcutUrl(const std::string& fileName, const std::string* text,
                             std::string& address);
// The folder picker over the main window; true with the chosen folder when confirmed.
bool BrowseForFolder(const std::string& title, std::string& folder);

}  // namespace qv
