#include "foundation/settings/stored_path.h"

#include <optional>
#include <vector>

#include "foundation/system/paths.h"

namespace qv {

namespace {

std::optional<TStoredPathContext>& ContextSlot() {
  static std::optional<TStoredPathContext> slot;
  return slot;
}

bool StartsWith(const std::string& text, const std::string& prefix) {
  return !prefix.empty() && text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool UsesDriveForm(const TStoredPathContext& c) {
  return c.PortableMode && !c.WritingForInstall && !c.ProgramDrive.empty();
}

}  // namespace

const TStoredPathContext& GetStoredPathContext() {
  auto& slot = ContextSlot();
  if (!slot) {
    TStoredPathContext c;
    c.DocumentsFolder = GetDataFolder(4);
    c.ProgramDrive = ProgramDrive;
    while (!c.ProgramDrive.empty() && c.ProgramDrive.back() == '/') c.ProgramDrive.pop_back();
    c.PortableMode = PortableMode;
    slot = c;
  }
  return *slot;
}

void SetStoredPathContext(const TStoredPathContext& context) { ContextSlot() = context; }

void ResetStoredPathContext() { ContextSlot().reset(); }

std::string EncodeStoredPath(const std::string& path) {
  const TStoredPathContext& c = GetStoredPathContext();
  // A rest beginning with "%" would read back as the other form, so such a path stays whole.
  if (StartsWith(path, c.DocumentsFolder) && path.size() > c.DocumentsFolder.size() &&
      path[c.DocumentsFolder.size()] != '%')
    return std::string("%").append(path, c.DocumentsFolder.size());
  if (StartsWith(path, c.DocumentsFolder) && path.size() == c.DocumentsFolder.size()) return "%";
  if (UsesDriveForm(c) && StartsWith(path, c.ProgramDrive + "/"))
    return std::string("%%").append(path, c.ProgramDrive.size());
  return path;
}

std::string DecodeStoredPath(const std::string& text) {
  const TStoredPathContext& c = GetStoredPathContext();
  if (text.compare(0, 2, "%%") == 0) return c.ProgramDrive + text.substr(2);
  if (text.compare(0, 1, "%") == 0) return c.DocumentsFolder + text.substr(1);
  return text;
}

void FixPortableDrive(std::string& path) {
  const TStoredPathContext& c = GetStoredPathContext();
  if (!c.PortableMode || path.empty() || c.ProgramDrive.empty()) return;
  if (StartsWith(path, c.ProgramDrive + "/") || FileExists(path)) return;
  // The drive the path was stored on is gone; try the path's trailing components on the
  // program's drive, the longest first ("/media/a/STICK/docs/x.rtf" -> drive + "/docs/x.rtf" when
  // the stick is now mounted as the program's drive).
  std::vector<size_t> starts;
  for (size_t i = 0; i < path.size(); ++i)
    if (path[i] == '/' && i + 1 < path.size()) starts.push_back(i);
  for (size_t k = 1; k < starts.size(); ++k) {
    std::string candidate = c.ProgramDrive + path.substr(starts[k]);
    if (FileExists(candidate)) {
      path = candidate;
      return;
    }
  }
}

}  // namespace qv
