#include "platform/controls/dialogs/file_choice.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <system_error>

#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/dialogs/file_filter.h"
#include "platform/system/folders.h"

namespace plat {
namespace fs = std::filesystem;

namespace {

std::string LowerAscii(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

bool NameLess(const FileEntry& a, const FileEntry& b) {
  if (a.isFolder != b.isFolder) return a.isFolder;
  std::string la = LowerAscii(a.name), lb = LowerAscii(b.name);
  if (la != lb) return la < lb;
  return a.name < b.name;
}

std::string Trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return std::string(s.substr(b, e - b));
}

bool Writable(const std::string& path) { return ::access(path.c_str(), W_OK) == 0; }

// The name with the default extension when its last part has none. An open dialog keeps the
// name as typed when only that file exists.
std::string WithDefaultExt(const std::string& full, const NameRequest& r) {
  if (r.defaultExt.empty()) return full;
  std::string base = BaseName(full);
  if (base.empty() || base.back() == '.' || !ExtensionOf(base).empty()) return full;
  std::string withExt = full + "." + r.defaultExt;
  if (!r.save && FileExists(full) && !FileExists(withExt)) return full;
  return withExt;
}

// Checks one chosen file; an empty text when it may be taken.
std::string CheckFile(const std::string& full, const NameRequest& r) {
  if (FolderExists(full)) return FormatOne(kMsgIsFolder, full);
  std::string parent = ParentFolder(full);
  bool mustHaveFolder = r.save || (r.options & fd::PathMustExist) != 0;
  if (mustHaveFolder && !parent.empty() && !FolderExists(parent)) return FormatOne(kMsgNoFolder, parent);
  bool exists = FileExists(full);
  if (!r.save && (r.options & fd::FileMustExist) && !exists) return FormatOne(kMsgNotFound, full);
  if ((r.options & fd::NoReadOnlyReturn) && exists && !Writable(full)) return FormatOne(kMsgReadOnly, full);
  return {};
}

}  // namespace

FolderListing ListFolder(const std::string& folder, const std::vector<std::string>& patterns,
                         bool showHidden) {
  FolderListing out;
  std::error_code ec;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  if (ec) {
    out.ok = false;
    out.error = ec.message();
    return out;
  }
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    FileEntry e;
    e.name = it->path().filename().string();
    if (!showHidden && !e.name.empty() && e.name[0] == '.') continue;
    std::error_code sec;
    e.isFolder = it->is_directory(sec);  // follows links: a link to a folder is a folder
    if (!e.isFolder) {
      if (!MatchesAnyPattern(e.name, patterns)) continue;
      uintmax_t size = it->file_size(sec);
      e.size = sec ? 0 : static_cast<uint64_t>(size);
    }
    auto t = it->last_write_time(sec);
    if (!sec) {
      auto sys = std::chrono::file_clock::to_sys(t);
      e.modified = std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
    }
    out.entries.push_back(std::move(e));
  }
  if (ec) {
    out.ok = false;
    out.error = ec.message();
  }
  std::sort(out.entries.begin(), out.entries.end(), NameLess);
  return out;
}

std::string NormalizePath(std::string_view path) {
  std::string p(path);
  if (p.empty() || p[0] != '/') {
    std::error_code ec;
    fs::path cwd = fs::current_path(ec);
    p = (ec ? std::string("/") : cwd.string()) + "/" + p;
  }
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= p.size()) {
    size_t at = p.find('/', start);
    if (at == std::string::npos) at = p.size();
    std::string part = p.substr(start, at - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = at + 1;
  }
  std::string out;
  for (const std::string& part : parts) out += "/" + part;
  return out.empty() ? "/" : out;
}

std::string JoinPath(const std::string& folder, std::string_view name) {
  if (name == "~") return NormalizePath(HomeFolder());
  if (name.size() >= 2 && name.substr(0, 2) == "~/") {
    return NormalizePath(HomeFolder() + std::string(name.substr(1)));
  }
  if (!name.empty() && name[0] == '/') return NormalizePath(name);
  return NormalizePath(folder + "/" + std::string(name));
}

std::string ParentFolder(std::string_view path) {
  size_t at = path.rfind('/');
  if (at == std::string_view::npos) return {};
  if (at == 0) return "/";
  return std::string(path.substr(0, at));
}

std::string BaseName(std::string_view path) {
  size_t at = path.rfind('/');
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string ExtensionOf(std::string_view path) {
  std::string base = BaseName(path);
  size_t dot = base.rfind('.');
  if (dot == std::string::npos || dot == 0) return {};
  return base.substr(dot + 1);
}

bool FolderExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && fs::is_directory(path, ec);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  auto st = fs::symlink_status(path, ec);
  return !ec && fs::exists(st) && !fs::is_directory(path, ec);
}

std::vector<std::string> SplitNameList(std::string_view text) {
  std::vector<std::string> names;
  std::string trimmed = Trim(text);
  if (trimmed.empty()) return names;
  if (trimmed.front() != '"') {
    names.push_back(trimmed);
    return names;
  }
  size_t i = 0;
  while (i < trimmed.size()) {
    if (trimmed[i] != '"') {
      ++i;
      continue;
    }
    size_t close = trimmed.find('"', i + 1);
    if (close == std::string::npos) close = trimmed.size();
    std::string name = trimmed.substr(i + 1, close - i - 1);
    if (!Trim(name).empty()) names.push_back(name);
    i = close + 1;
  }
  return names;
}

std::string JoinNameList(const std::vector<std::string>& names) {
  if (names.size() == 1) return names[0];
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty()) out += ' ';
    out += '"' + n + '"';
  }
  return out;
}

NameDecision DecideNames(const NameRequest& r) {
  NameDecision d;
  std::vector<std::string> names = SplitNameList(r.text);
  if (names.empty()) return d;
  bool multi = !r.save && (r.options & fd::AllowMultiSelect);
  if (names.size() > 1 && !multi) {
    d.action = NameAction::Refuse;
    d.message = kMsgOneFile;
    return d;
  }
  if (names.size() == 1) {
    std::string full = JoinPath(r.folder, names[0]);
    if (HasWildcards(BaseName(full))) {
      std::string parent = ParentFolder(full);
      if (!FolderExists(parent)) {
        d.action = NameAction::Refuse;
        d.message = FormatOne(kMsgNoFolder, parent);
        return d;
      }
      d.action = NameAction::ApplyPattern;
      d.folder = parent;
      d.pattern = BaseName(full);
      return d;
    }
    if (FolderExists(full)) {
      d.action = NameAction::GoToFolder;
      d.folder = full;
      return d;
    }
  }
  for (const std::string& name : names) {
    std::string full = WithDefaultExt(JoinPath(r.folder, name), r);
    // Every name a Linux file system takes is valid, so NoValidate changes nothing here; the
    // existence checks the options ask for always run.
    std::string problem = HasWildcards(name) ? FormatOne(kMsgNotFound, full) : CheckFile(full, r);
    if (!problem.empty()) {
      d.action = NameAction::Refuse;
      d.message = problem;
      d.files.clear();
      return d;
    }
    d.files.push_back(full);
  }
  if (r.save && (r.options & fd::OverwritePrompt) && FileExists(d.files[0])) {
    d.action = NameAction::AskOverwrite;
    d.message = FormatOne(kMsgOverwrite, d.files[0]);
    return d;
  }
  d.action = NameAction::Accept;
  return d;
}

uint32_t ResultOptions(uint32_t options, const std::string& firstFile, const std::string& defaultExt,
                       bool readOnlyTicked) {
  uint32_t o = options & ~(fd::ExtensionDifferent | fd::ReadOnly);
  if (!defaultExt.empty() && LowerAscii(ExtensionOf(firstFile)) != LowerAscii(defaultExt)) {
    o |= fd::ExtensionDifferent;
  }
  if (readOnlyTicked) o |= fd::ReadOnly;
  return o;
}

}  // namespace plat
