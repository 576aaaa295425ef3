#include "foundation/system/folder_trees.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

#include "foundation/base/string_list.h"
#include "foundation/system/paths.h"
#include "platform/system/shell.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

// The entries of a folder in name order; nothing when it cannot be read.
std::vector<fs::directory_entry> Entries(const fs::path& folder) {
  std::vector<fs::directory_entry> out;
  std::error_code ec;
  for (fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec), end;
       !ec && it != end; it.increment(ec)) {
    out.push_back(*it);
  }
  std::sort(out.begin(), out.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  return out;
}

// A real folder, not a link to one.
bool IsFolder(const fs::directory_entry& e) {
  std::error_code ec;
  return e.is_directory(ec) && !e.is_symlink(ec);
}

bool WildcardMatch(const char* mask, const char* name) {
  if (*mask == 0) return *name == 0;
  if (*mask == '*') return WildcardMatch(mask + 1, name) || (*name != 0 && WildcardMatch(mask, name + 1));
  if (*name == 0) return false;
  return (*mask == '?' || *mask == *name) && WildcardMatch(mask + 1, name + 1);
}

bool MatchesMask(const std::string& mask, const std::string& name) {
  if (mask.empty() || mask == "*" || mask == "*.*") return true;
  // Runs of "*" match as one, which keeps the matching linear in practice.
  std::string m;
  for (char c : mask) {
    if (c != '*' || m.empty() || m.back() != '*') m += c;
  }
  return WildcardMatch(m.c_str(), name.c_str());
}

// Adds the matching files below `folder`; true when anything (a file or a sub-folder) was there.
void FindIn(const fs::path& folder, const std::string& mask, TStringList& list, bool includeEmpty,
            bool top) {
  bool hasSubfolder = false, hasMatch = false;
  std::vector<fs::directory_entry> entries = Entries(folder);
  for (const auto& e : entries) {
    if (!IsFolder(e)) continue;
    hasSubfolder = true;
    FindIn(e.path(), mask, list, includeEmpty, false);
  }
  for (const auto& e : entries) {
    std::error_code ec;
    if (IsFolder(e) || e.is_directory(ec)) continue;
    if (!MatchesMask(mask, e.path().filename().string())) continue;
    hasMatch = true;
    list.Add(e.path().string());
  }
  if (includeEmpty && !top && !hasSubfolder && !hasMatch) list.Add(folder.string() + "/");
}

void ListIn(const fs::path& folder, TStringList& list) {
  for (const auto& e : Entries(folder)) {
    list.Add(e.path().string());
    if (IsFolder(e)) ListIn(e.path(), list);
  }
}

// Copies one file through a temporary file beside the target; false when it was not copied.
bool CopyOneFile(const fs::path& source, const fs::path& target, bool overwrite) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(target, ec))) {
    if (!overwrite || fs::equivalent(source, target, ec)) return false;
  }
  if (fs::is_symlink(fs::symlink_status(source, ec))) {
    fs::remove(target, ec);
    fs::copy_symlink(source, target, ec);
    return !ec;
  }
  fs::path temp = target;
  temp += ".~qvcopy";
  fs::remove(temp, ec);
  if (!fs::copy_file(source, temp, fs::copy_options::overwrite_existing, ec) || ec) {
    fs::remove(temp, ec);
    return false;
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

bool CopyIn(const fs::path& source, const fs::path& destination, const std::set<std::string>& listed,
            bool overwrite, bool move) {
  std::error_code ec;
  fs::create_directories(destination, ec);
  if (!fs::is_directory(destination, ec)) return false;
  bool all = true;
  for (const auto& e : Entries(source)) {
    if (listed.count(e.path().string()) == 0) continue;  // made by this copy
    fs::path target = destination / e.path().filename();
    if (IsFolder(e)) {
      all = CopyIn(e.path(), target, listed, overwrite, move) && all;
      if (move) fs::remove(e.path(), ec);  // only an emptied folder goes
    } else if (CopyOneFile(e.path(), target, overwrite)) {
      if (move) fs::remove(e.path(), ec);
    } else {
      all = false;  // the source stays: its copy is not there
    }
  }
  return all;
}

}  // namespace

int64_t GetFolderDiskUsage(const std::string& folder) {
  int64_t cluster = std::max<int64_t>(GetClusterSize(folder), 1);
  int64_t total = 0;
  TStringList files;
  ListIn(folder, files);
  for (int32_t i = 0; i < files.Count(); ++i) {
    std::error_code ec;
    fs::file_status st = fs::symlink_status(files.Strings(i), ec);
    if (ec || !fs::is_regular_file(st)) continue;
    auto size = static_cast<int64_t>(fs::file_size(files.Strings(i), ec));
    if (!ec) total += (size + cluster - 1) / cluster * cluster;
  }
  return total;
}

void FindFilesRecursive(const std::string& folder, const std::string& mask, TStringList& list,
                        bool includeEmptyFolders) {
  FindIn(folder, mask, list, includeEmptyFolders, true);
}

void ListFolderTree(const std::string& folder, TStringList& list) { ListIn(folder, list); }

void RemoveEmptySubfolders(const std::string& folder) {
  for (const auto& e : Entries(folder)) {
    if (IsFolder(e) && IsFolderEmpty(e.path().string())) {
      std::error_code ec;
      fs::remove(e.path(), ec);
    }
  }
}

bool MoveToRecycleBin(const std::string& path) { return plat::MoveToTrash(path); }

void DeleteFolderTree(const std::string& folder) {
  std::error_code ec;
  if (fs::is_symlink(fs::symlink_status(folder, ec))) return;  // not a tree of its own
  fs::remove_all(folder, ec);
}

bool CopyFolderTree(const std::string& source, const std::string& destination, bool overwrite,
                    bool move) {
  std::error_code ec;
  if (!fs::is_directory(source, ec)) return false;
  TStringList listing;
  ListFolderTree(source, listing);
  std::set<std::string> listed;
  for (int32_t i = 0; i < listing.Count(); ++i) listed.insert(listing.Strings(i));
  return CopyIn(source, destination, listed, overwrite, move);
}

}  // namespace qv
