#include "foundation/system/temp_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <mutex>

#include "foundation/base/exceptions.h"
#include "foundation/system/paths.h"
#include "platform/system/folders.h"

namespace fs = std::filesystem;

namespace qv {

namespace {

// Runs from 0 for each run of the program and only grows, so no name is offered twice.
std::atomic<int32_t> tempCounter{0};

const char* const kKindExt[] = {"tmp", "qvs", "rtf", "bmp"};

std::string PrivateFolder() {
  // A portable copy keeps its temporary files on its own drive.
  std::string folder;
  if (PortableMode) folder = plat::PrivateTempFolder(GetDataFolder(3) + "Temp");
  if (folder.empty()) folder = plat::PrivateTempFolder();
  return folder;
}

// Creates the first free "<prefix><n><suffix>" exclusively and returns its path.
std::string CreateUniqueFile(const std::string& prefix, const std::string& suffix) {
  const std::string folder = GetTempFolder();
  for (int attempts = 0; attempts < 100000; ++attempts) {
    const std::string name = folder + prefix + std::to_string(tempCounter++) + suffix;
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) throw EFCreateError(name);
  }
  throw EFCreateError(folder + prefix + suffix);
}

}  // namespace

std::string GetTempFolder() {
  const std::string folder = PrivateFolder();
  if (folder.empty()) throw EFCreateError(plat::SystemTempFolder() + "/~Qvr...");
  return folder + "/";
}

std::string MakeTempFileName(const std::string& suffix) { return CreateUniqueFile("~Qvr", suffix); }

std::string MakeTempFileNamePlain(const std::string& suffix) {
  return CreateUniqueFile("Qvr", suffix);
}

std::string MakeTempFileNameExt(int32_t kind) {
  if (kind < 0 || kind > 3) kind = 0;
  return MakeTempFileName(std::string(".") + kKindExt[kind]);
}

std::string MakeTempFolder() {
  const std::string folder = GetTempFolder();
  for (int attempts = 0; attempts < 100000; ++attempts) {
    const std::string name = folder + "~Qvr" + std::to_string(tempCounter++);
    if (::mkdir(name.c_str(), 0700) == 0) return name + "/";
    if (errno != EEXIST) throw EFCreateError(name);
  }
  throw EFCreateError(folder + "~Qvr");
}

bool IsUsableTempFileName(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..")
    return false;
  const std::string path = GetTempFolder() + name;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not block
  if (fd >= 0) {
    ::close(fd);
    return true;
  }
  fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  ::close(fd);
  ::unlink(path.c_str());
  return true;
}

void DeleteTempFiles() {
  std::string folder;
  try {
    folder = GetTempFolder();
  } catch (const Exception&) {
    return;  // no private folder, nothing of ours to delete
  }
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("~Qvr", 0) == 0 || name == "Quorvane Word Processor Setup.exe")
      plat::RemoveTree(entry.path().string());
  }
}

}  // namespace qv
