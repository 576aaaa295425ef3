#pragma once
// Stored paths: how settings keep a path so that it survives a move of the documents folder or of
// a portable copy.
//
//   "%"  + rest  the documents folder (the program's own data folder) + rest
//   "%%" + rest  the program's drive + rest (portable copies only)
//
// On Linux the "program's drive" is the root of the file system the program runs from: the mount
// point of the program folder (e.g. "/media/ann/STICK" for a copy on a USB stick), kept without a
// trailing "/". A path on it is stored as "%%" + the path below that mount point ("%%/docs/a.rtf"),
// so a stick mounted elsewhere on another machine still finds its files.
// Paths compare case-sensitively, as Linux paths are.
#include <string>

namespace qv {

struct TStoredPathContext {
  std::string DocumentsFolder;  // with a trailing "/"; empty: no "%" form
  std::string ProgramDrive;     // mount point of the program folder, no trailing "/"
  bool PortableMode = false;
  // Set while the settings are written for a copy of the program installed elsewhere: no "%%" form.
  bool WritingForInstall = false;
};

// The context in force. Until one is set, it is worked out once from the program's folders.
const TStoredPathContext& GetStoredPathContext();
void SetStoredPathContext(const TStoredPathContext& context);
// Forgets a context set before, so the next use works it out from the program's folders again.
void ResetStoredPathContext();

std::string EncodeStoredPath(const std::string& path);
std::string DecodeStoredPath(const std::string& text);
// Portable mode only, for a non-empty path to a file that does not exist: the same file on the
// program's drive is tried (the path's trailing components below the program's drive, the longest
// first) and taken when it exists.
void FixPortableDrive(std::string& path);

}  // namespace qv
