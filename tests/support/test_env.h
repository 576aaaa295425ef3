#pragma once
#include <string>

namespace qvtest {

// The private folder that the test binary made for itself at start-up; HOME, the XDG folders and
// TMPDIR all point inside it, so no test touches the user's own settings or documents.
const std::string& SandboxDir();

// A fresh, empty folder inside the sandbox.
std::string MakeTempDir(const std::string& hint = "t");

// Writes bytes to a file (creating folders as needed) and reads a whole file back.
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

}  // namespace qvtest
