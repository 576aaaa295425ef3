#pragma once
// Whole folder trees: listing, measuring, copying, moving and deleting them. Listings skip "."
// and "..", go in name order and do not follow symbolic links into other trees. Failures are not
// reported: what could not be done is left as it was.
#include <cstdint>
#include <string>

namespace qv {

class TStringList;

// Every file's size rounded up to whole clusters of the folder's drive, summed over the tree.
int64_t GetFolderDiskUsage(const std::string& folder);
// The files matching the mask ("*" and "?" wildcards) in the folder and below, each folder's
// sub-folders before its own files; with `includeEmptyFolders`, every sub-folder with no
// sub-folder and no matching file too, with a trailing "/".
void FindFilesRecursive(const std::string& folder, const std::string& mask, TStringList& list,
                        bool includeEmptyFolders);
// Every entry of the tree, each folder before its contents.
void ListFolderTree(const std::string& folder, TStringList& list);
// Removes the direct sub-folders that are empty.
void RemoveEmptySubfolders(const std::string& folder);
// Moves a file or folder into the user's trash.
bool MoveToRecycleBin(const std::string& path);
// Deletes the whole tree and the folder itself.
void DeleteFolderTree(const std::string& folder);
// Copies (or moves) the tree of `source` into `destination`. Only what was in the source before
// the copy began is copied, so a destination inside the source is not copied into itself. An
// existing file is replaced only with `overwrite`; each file is written through a temporary file
// beside it. With `move`, a source file is deleted only after its copy is complete, and a source
// folder only when it became empty. False when anything was not copied.
bool CopyFolderTree(const std::string& source, const std::string& destination, bool overwrite,
                    bool move);

}  // namespace qv
