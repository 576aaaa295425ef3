// Main of every test binary: points HOME, the XDG folders and TMPDIR into a private sandbox
// before any test runs, and removes the sandbox afterwards.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "support/test_env.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  const std::string root = qvtest::SandboxDir();
  const struct { const char* var; const char* sub; } dirs[] = {
      {"HOME", "home"},
      {"XDG_CONFIG_HOME", "home/.config"},
      {"XDG_DATA_HOME", "home/.local/share"},
      {"XDG_CACHE_HOME", "home/.cache"},
      {"XDG_DOCUMENTS_DIR", "home/Documents"},
      {"TMPDIR", "tmp"},
  };
  for (const auto& d : dirs) {
    fs::path p = fs::path(root) / d.sub;
    fs::create_directories(p);
    ::setenv(d.var, p.c_str(), 1);
  }
  if (!std::getenv("QV_BACKEND")) ::setenv("QV_BACKEND", "headless", 1);

  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  std::error_code ec;
  fs::remove_all(root, ec);
  return rc;
}
