#include "foundation/system/shell_services.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <vector>

#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "foundation/settings/stored_path.h"
#include "foundation/system/paths.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/application.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/controls/dialogs/folder_dialog.h"
#include "platform/system/text_services.h"
#include "platform/win/clipboard_text.h"

namespace qv {

std::string ElevatedRelaunchSwitches;
std::string PendingProgramPath;
std::string PendingProgramParams;

namespace {

constexpr const char* kSchemes[] = {"ftp",  "http",   "https", "gopher", "mailto",  "news",
                                    "nntp", "telnet", "wais",  "file",   "prospero"};
constexpr uint8_t kOpenFileMsg = 15;
constexpr uint16_t kLoadSaveOpenLinkedDocuments = 0x100;

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

std::string LowerAscii(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), Lower);
  return s;
}

bool StartsWithNoCase(const std::string& s, const std::string& prefix) {
  return s.size() >= prefix.size() && LowerAscii(s.substr(0, prefix.size())) == LowerAscii(prefix);
}

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

void ReplaceAll(std::string& s, const std::string& what, const std::string& with) {
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + with.size())) {
    s.replace(at, what.size(), with);
  }
}

// Cuts the text from the first `mark` on into `part` (without the mark).
void CutFrom(std::string& text, char mark, std::string& part) {
  size_t at = text.find(mark);
  if (at == std::string::npos) return;
  part = text.substr(at + 1);
  text.resize(at);
}

// Removes "." and ".." segments of a path as a browser resolves them.
void RemoveDotSegments(std::string& path) {
  for (bool changed = true; changed;) {
    changed = false;
    if (path.rfind("./", 0) == 0) {
      path.erase(0, 2);
      changed = true;
    }
    if (size_t at = path.find("/./"); at != std::string::npos) {
      path.erase(at + 1, 2);
      changed = true;
    }
  }
  if (path == ".") path.clear();
  else if (path.size() >= 2 && path.compare(path.size() - 2, 2, "/.") == 0) path.pop_back();
  for (size_t at = path.find("/../"); at != std::string::npos; at = path.find("/../")) {
    if (at == 0) {
      path.erase(0, 3);
      continue;
    }
    size_t r = path.rfind('/', at - 1);
    size_t segStart = r == std::string::npos ? 0 : r + 1;
    path.erase(segStart, at + 4 - segStart);
  }
  if (path == "..") {
    path.clear();
  } else if (path.size() >= 3 && path.compare(path.size() - 3, 3, "/..") == 0) {
    size_t at = path.size() - 3;
    size_t r = at == 0 ? std::string::npos : path.rfind('/', at - 1);
    path.erase(r == std::string::npos ? 0 : r + 1);
  }
  while (path.rfind("../", 0) == 0) path.erase(0, 3);
}

std::string ComposeUrl(const TURLComponents& c) {
  std::string out;
  if (!c.Scheme.empty()) out += c.Scheme + ":";
  if (!c.Host.empty()) out += "//" + c.Host;
  if (c.Path == "/") out += "/";
  else if (!c.Path.empty()) out += "/" + c.Path;
  if (!c.Params.empty()) out += ";" + c.Params;
  if (!c.Query.empty()) out += "?" + c.Query;
  if (!c.Fragment.empty()) out += "#" + c.Fragment;
  return out;
}

bool IsLetter(char16_t c) { return plat::IsCharAlpha(c); }

}  // namespace

// --- Elevation and programs ---

bool IsProcessElevated() { return plat::RunsAsSuperuser(); }

bool RelaunchElevated() { return false; }

bool RunPendingProgram() {
  if (PendingProgramPath.empty()) return true;
  std::string path = PendingProgramPath;
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') path = path.substr(1, path.size() - 2);
  std::vector<std::string> args = plat::SplitExecLine(PendingProgramParams);
  return plat::StartProgram(path, args, ExtractFilePath(path));
}

std::string GetWindowsUserName() { return plat::UserLoginName(); }

// --- Web and mail addresses ---

bool HasUrlScheme(const std::string& text) {
  if (StartsWithNoCase(text, "www")) return true;
  for (const char* scheme : kSchemes) {
    if (StartsWithNoCase(text, std::string(scheme) + ":")) return true;
  }
  return false;
}

std::string AddHttpPrefix(const std::string& text) {
  return HasUrlScheme(text) ? text : "http://" + text;
}

bool HasDotWord(const std::string& text) {
  std::u16string w = CodePageToWide(text, DefaultCodePage);
  for (size_t i = 0; i + 1 < w.size(); ++i) {
    if (w[i] != u'.') continue;
    if (w[i + 1] >= u'0' && w[i + 1] <= u'9') return true;
    if (i + 2 < w.size() && IsLetter(w[i + 1]) && IsLetter(w[i + 2])) return true;
  }
  return false;
}

bool HasKnownTopLevelDomain(const std::string& text) {
  size_t dot = text.rfind('.');
  if (dot == std::string::npos || dot + 1 == text.size()) return false;
  std::string ext = text.substr(dot + 1);
  // A capitalised word ("Doc") reads as the start of a sentence, not a domain.
  bool capitalised = ext[0] >= 'A' && ext[0] <= 'Z' &&
                     std::all_of(ext.begin() + 1, ext.end(), [](char c) { return c >= 'a' && c <= 'z'; });
  if (capitalised) return false;
  const std::vector<std::string>& domains = GetOptions().Autocorrect.WebDomains;
  const std::string lower = LowerAscii(ext);
  return std::any_of(domains.begin(), domains.end(),
                     [&](const std::string& d) { return LowerAscii(d) == lower; });
}

bool LooksLikeUrl(const std::string& text) {
  return !text.empty() && HasDotWord(text) &&
         (HasUrlScheme(text) || text.find('@') != std::string::npos || HasKnownTopLevelDomain(text));
}

void ParseUrl(const std::string& text, TURLComponents& parts) {
  std::string s = text;
  while (s.find("///") != std::string::npos) ReplaceAll(s, "///", "//");
  parts = TURLComponents{};
  s = Trim(s);
  if (s.size() > 1 && s[1] == ':') {
    parts.Scheme = s.substr(0, 1);
    s.erase(0, 2);
  } else {
    if (s.size() > 2 && s.rfind("//", 0) == 0) s = "http:" + s;
    for (const char* scheme : kSchemes) {
      std::string prefix = std::string(scheme) + ":";
      if (!StartsWithNoCase(s, prefix)) continue;
      parts.Scheme = scheme;
      s.erase(0, prefix.size());
      if (parts.Scheme == "file") {
        parts.IsFile = 1;
        std::replace(s.begin(), s.end(), '\\', '/');
      }
      break;
    }
  }
  CutFrom(s, '#', parts.Fragment);
  CutFrom(s, '?', parts.Query);
  CutFrom(s, ';', parts.Params);
  if (size_t at = s.find("//"); at != std::string::npos) {
    size_t end = s.find('/', at + 2);
    parts.Host = s.substr(at + 2, end == std::string::npos ? std::string::npos : end - at - 2);
    s.erase(at, 2 + parts.Host.size());
  }
  if (!s.empty() && s[0] == '/') {
    s.erase(0, 1);
    parts.AbsolutePath = 1;
  }
  parts.Path = s;
}

void ResolveRelativeUrl(const std::string& base, const std::string& address, TURLComponents& parts,
                        std::string& result) {
  const std::string b = Trim(base), a = Trim(address);
  ParseUrl(a, parts);
  if (b.empty() || a.empty() || !parts.Scheme.empty()) {
    result = a.empty() ? b : a;
    return;
  }
  TURLComponents baseParts;
  ParseUrl(b, baseParts);
  TURLComponents r = parts;
  r.Scheme = baseParts.Scheme;
  if (r.Host.empty()) r.Host = baseParts.Host;
  if (!parts.AbsolutePath) {
    if (!parts.Path.empty()) {
      size_t slash = baseParts.Path.rfind('/');
      std::string path = slash == std::string::npos ? std::string() : baseParts.Path.substr(0, slash + 1);
      path += parts.Path;
      RemoveDotSegments(path);
      if (path.empty() && !r.Host.empty()) path.assign(1, '/');
      r.Path = path;
    } else {
      r.Path = baseParts.Path;
      if (parts.Params.empty()) {
        r.Params = baseParts.Params;
        if (parts.Query.empty()) r.Query = baseParts.Query;
      }
    }
  }
  result = ComposeUrl(r);
}

// --- Opening hyperlink targets ---

bool THyperlinkServices::ActivateOpenDocument(const std::string&) { return false; }
bool THyperlinkServices::IsProgramFile(const std::string&) { return false; }
void THyperlinkServices::OpenInProgram(const std::string&) {}
bool THyperlinkServices::IsTrustedFile(const std::string&) { return false; }
void THyperlinkServices::CopyTextToClipboard(const std::string& text) {
  plat::GetClipboardText().SetText(CodePageToWide(text, DefaultCodePage));
}
std::string DesktopTarget(const std::string& target) {
  const bool www = target.size() >= 3 && (target[0] == 'w' || target[0] == 'W') &&
                   (target[1] == 'w' || target[1] == 'W') && (target[2] == 'w' || target[2] == 'W');
  if (www && target.find("://") == std::string::npos) return "http://" + target;
  return target;
}

plat::ShellResult THyperlinkServices::ShellOpen(const std::string& target) {
  return plat::OpenWithDesktop(DesktopTarget(target));
}

void RegisterHyperlinkServices(std::unique_ptr<THyperlinkServices> services) {
  RegisterService(std::move(services));
}
THyperlinkServices& HyperlinkServices() { return Service<THyperlinkServices>(); }

bool OpenHyperlinkTarget(const std::string& target) {
  THyperlinkServices& shell = HyperlinkServices();
  const std::string t = Trim(target);
  if (t.empty()) return false;
  if (LooksLikeUrl(t)) {
    if (t.find('@') == std::string::npos || t.find("//") != std::string::npos) {
      std::string url = AddHttpPrefix(t);
      if (shell.ShellOpen(url) == plat::ShellResult::Ok) return true;
      shell.CopyTextToClipboard(url);
      ShowErrorFmt("Error launching Web browser.\rYou might wish to visit this URL manually:\r\r%s"
                   "\r\rQuorvane has placed this URL onto the clipboard.",
                   url);
      return false;
    }
    std::string mail = StartsWithNoCase(t, "mailto:") ? t : "MAILTO:" + t;
    if (shell.ShellOpen(mail) == plat::ShellResult::Ok) return true;
    ShowError("Error launching mail client.");
    return false;
  }
  if (shell.ActivateOpenDocument(t)) return true;
  if ((GetOptions().LoadSave.Flags & kLoadSaveOpenLinkedDocuments) != 0 && shell.IsProgramFile(t)) {
    shell.OpenInProgram(t);
    return true;
  }
  if (!shell.IsTrustedFile(t)) {
    std::string question = FormatMessageText(OptionalMsgTable[kOpenFileMsg].Text, {t});
    if (ShowOptionalMsg(question, mkConfirmation, kOpenFileMsg) != mrYes) return false;
  }
  if (shell.ShellOpen(t) == plat::ShellResult::Ok) return true;
  ShowErrorFmt("Unable to open \"%s\".\rHyperlink might be associated with an obsolete file.", t);
  return false;
}

// --- Shortcuts and the folder picker ---

bool IsShortcutFile(const std::string& name) {
  return LowerAscii(ExtractFileExt(name)) == ".desktop";
}

std::string GetShortcutTarget(const std::string& shortcutFile) {
  plat::DesktopEntry entry;
  if (!plat::ReadDesktopEntry(shortcutFile, entry)) return shortcutFile;
  if (entry.Type == "Link") return entry.Url.empty() ? shortcutFile : entry.Url;
  std::vector<std::string> words = plat::SplitExecLine(entry.Exec);
  if (words.size() > 1 && !words[1].empty() && words[1][0] == '%') return DecodeStoredPath(words[1]);
  return words.empty() ? shortcutFile : words[0];
}

bool CreateShortcut(const std::string& shortcutFile, const std::string& target,
                    const std::string& arguments, const std::string& description,
                    const std::string& workingFolder) {
  plat::DesktopEntry entry;
  entry.Name = RemoveFileExt(ExtractFileName(shortcutFile));
  entry.Comment = description;
  entry.Exec = plat::QuoteExecArgument(target);
  if (!arguments.empty()) entry.Exec += " " + plat::QuoteExecArgument(arguments);
  entry.Path = workingFolder;
  return plat::WriteDesktopEntry(shortcutFile, entry);
}

void ReadInternetShortcutUrl(const std::string& fileName, const std::string* text,
                             std::string& address) {
  std::string content;
  if (text != nullptr) {
    content = *text;
  } else if (GetFileSizeByName(fileName) > (1 << 20) || !LoadFileToString(fileName, content)) {
    content.clear();
  }
  std::istringstream lines(content);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("URL=", 0) == 0) {
      address = line.substr(4);
      return;
    }
  }
  address = text != nullptr ? *text : std::string();
}

bool BrowseForFolder(const std::string& title, std::string& folder) {
  plat::FolderDialog dialog;
  dialog.Title = title;
  dialog.Folder = folder;
  while (dialog.Folder.size() > 1 && dialog.Folder.back() == '/') dialog.Folder.pop_back();
  plat::Form* owner = AppExists() ? GetApp().MainForm : nullptr;
  if (!dialog.Execute(owner)) return false;
  folder = dialog.Folder;
  return true;
}

}  // namespace qv
