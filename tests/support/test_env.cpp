#include "support/test_env.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace qvtest {

const std::string& SandboxDir() {
  static const std::string dir = [] {
    fs::path base = fs::temp_directory_path() / ("qvtest-" + std::to_string(::getpid()));
    fs::create_directories(base);
    return base.string();
  }();
  return dir;
}

std::string MakeTempDir(const std::string& hint) {
  static std::atomic<int> counter{0};
  fs::path p = fs::path(SandboxDir()) / "tmpdirs" / (hint + "-" + std::to_string(counter++));
  fs::remove_all(p);
  fs::create_directories(p);
  return p.string();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  fs::path p(path);
  if (p.has_parent_path()) fs::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + path);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace qvtest
