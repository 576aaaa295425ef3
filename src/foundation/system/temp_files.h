#pragma once
// Temporary files. They live in the process's private temporary folder (a "~Qvr" folder made for
// this process alone under $TMPDIR, or under the program folder's "Temp" in portable mode), so
// two instances never share names, and clean-up never reaches outside that folder. The folder is
// checked on every use: when it has been removed or something else stands at its name (a
// symbolic link, a folder open to others), a new private folder takes its place.
#include <cstdint>
#include <string>

namespace qv {

// Temporary-file kinds of MakeTempFileNameExt: 0 "tmp", 1 "qvs" (safe copies), 2 "rtf", 3 "bmp".
enum : int32_t { tfkTmp = 0, tfkSafeCopy = 1, tfkRtf = 2, tfkBmp = 3 };

// The private temporary folder with a trailing "/"; throws EFCreateError when none can be made.
std::string GetTempFolder();
// A new file "~Qvr<n><suffix>" in the temporary folder, created empty (exclusively) so no one
// else can take the name; the counter runs from 0 for each run.
std::string MakeTempFileName(const std::string& suffix);
// The same with "Qvr<n><suffix>": DeleteTempFiles leaves these.
std::string MakeTempFileNamePlain(const std::string& suffix);
std::string MakeTempFileNameExt(int32_t kind);
// A new folder "~Qvr<n>" in the temporary folder, returned with a trailing "/".
std::string MakeTempFolder();
// True when temporary folder + name can be opened for reading or created (and removed again).
bool IsUsableTempFileName(const std::string& name);
// Deletes every "~Qvr" entry of the temporary folder (folders with their trees) and a downloaded
// setup program; nothing outside the folder is touched.
void DeleteTempFiles();

}  // namespace qv
