#include "platform/system/drives.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace plat {
namespace {

// /proc/mounts writes blanks, tabs, newlines and backslashes in fields as \ooo octal escapes.
std::string Unescape(const std::string& field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
      if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
        out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool IsUnder(const std::string& path, const std::string& mount) {
  if (mount == "/") return !path.empty() && path[0] == '/';
  return path.compare(0, mount.size(), mount) == 0 &&
         (path.size() == mount.size() || path[mount.size()] == '/');
}

std::string ReadFirstLine(const fs::path& file) {
  std::ifstream in(file);
  std::string line;
  std::getline(in, line);
  return line;
}

const std::set<std::string>& RemoteTypes() {
  static const std::set<std::string> types = {"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p",
                                              "afs", "ceph", "glusterfs", "davfs", "fuse.sshfs",
                                              "ncpfs", "coda"};
  return types;
}

// Reads the removable flag and the bus of the block device behind `device` from sysfs.
void ReadBlockDevice(const std::string& device, const std::string& sysRoot, DriveInfo& info) {
  if (device.rfind("/dev/", 0) != 0) return;
  std::error_code ec;
  fs::path dev = fs::weakly_canonical(device, ec);
  std::string name = (ec ? fs::path(device) : dev).filename().string();
  fs::path entry = fs::path(sysRoot) / "class" / "block" / name;
  fs::path real = fs::canonical(entry, ec);
  if (ec) return;
  fs::path disk = real;
  if (fs::exists(real / "partition", ec)) disk = real.parent_path();
  info.RemovableMedia = ReadFirstLine(disk / "removable") == "1";
  const std::string chain = disk.string();
  info.UsbOrFirewire = chain.find("/usb") != std::string::npos ||
                       chain.find("/ieee1394") != std::string::npos ||
                       chain.find("/firewire") != std::string::npos;
  if (name.rfind("sr", 0) == 0) info.Type = DRIVE_CDROM;
}

uint32_t TypeOf(const DriveInfo& info) {
  if (info.Type == DRIVE_CDROM) return DRIVE_CDROM;
  if (RemoteTypes().count(info.FsType)) return DRIVE_REMOTE;
  if (info.FsType == "tmpfs" || info.FsType == "ramfs") return DRIVE_RAMDISK;
  if (info.FsType == "iso9660" || info.FsType == "udf") return DRIVE_CDROM;
  if (info.RemovableMedia) return DRIVE_REMOVABLE;
  return DRIVE_FIXED;
}

std::string AbsoluteResolved(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path.empty() ? fs::path(".") : fs::path(path), ec);
  if (ec) return path;
  fs::path r = fs::weakly_canonical(p, ec);
  return ec ? p.lexically_normal().string() : r.string();
}

std::string ReadWholeFile(const char* name) {
  std::ifstream in(name);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The nearest existing folder at or above the path, with its device; false when none exists.
bool ExistingAncestor(const std::string& path, fs::path& folder, dev_t& device) {
  for (fs::path p = path.empty() ? fs::path("/") : fs::path(path);; p = p.parent_path()) {
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0) {
      folder = p;
      device = st.st_dev;
      return true;
    }
    if (!p.has_parent_path() || p.parent_path() == p) return false;
  }
}

// The top-most folder at or above `folder` that still lies on `device`.
std::string TopFolderOnDevice(fs::path folder, dev_t device) {
  for (;;) {
    const fs::path parent = folder.parent_path();
    struct stat st {};
    if (parent.empty() || parent == folder || ::stat(parent.c_str(), &st) != 0 ||
        st.st_dev != device)
      return folder.string();
    folder = parent;
  }
}

// One line of /proc/self/mountinfo: "id parent major:minor root mount-point options
// [optional fields] - type source super-options".
struct MountInfoLine {
  std::string deviceNumber, mountPoint, type, source;
};

bool ParseMountInfoLine(const std::string& line, MountInfoLine& out) {
  std::istringstream in(line);
  std::vector<std::string> fields;
  for (std::string f; in >> f;) fields.push_back(f);
  if (fields.size() < 5) return false;
  size_t dash = 5;
  while (dash < fields.size() && fields[dash] != "-") ++dash;
  if (dash + 2 >= fields.size()) return false;
  out = {fields[2], Unescape(fields[4]), fields[dash + 1], Unescape(fields[dash + 2])};
  return true;
}

}  // namespace

DriveInfo GetDriveInfoFrom(const std::string& absolutePath, const std::string& mounts,
                           const std::string& sysRoot) {
  DriveInfo info;
  std::istringstream in(mounts);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string device, mount, type;
    if (!(fields >> device >> mount >> type)) continue;
    mount = Unescape(mount);
    // The longest mount point wins; among equal ones the later mount (it hides the earlier).
    if (IsUnder(absolutePath, mount) && mount.size() >= info.MountPoint.size()) {
      info.MountPoint = mount;
      info.Device = Unescape(device);
      info.FsType = type;
    }
  }
  if (info.MountPoint.empty()) {
    info.Type = DRIVE_NO_ROOT_DIR;
    return info;
  }
  ReadBlockDevice(info.Device, sysRoot, info);
  info.Type = TypeOf(info);
  return info;
}

DriveInfo GetDriveInfoByDevice(const std::string& absolutePath, const std::string& mountinfo,
                               const std::string& sysRoot) {
  DriveInfo info;
  fs::path folder;
  dev_t device = 0;
  if (!ExistingAncestor(absolutePath, folder, device)) {
    info.Type = DRIVE_NO_ROOT_DIR;
    return info;
  }
  const std::string number =
      std::to_string(major(device)) + ":" + std::to_string(minor(device));
  bool found = false;
  std::istringstream in(mountinfo);
  MountInfoLine m;
  for (std::string line; std::getline(in, line);) {
    if (!ParseMountInfoLine(line, m) || m.deviceNumber != number) continue;
    // The first mount of the device names it; a mount point above the path (the longest)
    // places it.
    if (!found) {
      info.Device = m.source;
      info.FsType = m.type;
      found = true;
    }
    if (IsUnder(folder.string(), m.mountPoint) && m.mountPoint.size() >= info.MountPoint.size()) {
      info.MountPoint = m.mountPoint;
      info.Device = m.source;
      info.FsType = m.type;
    }
  }
  if (info.MountPoint.empty()) info.MountPoint = TopFolderOnDevice(folder, device);
  ReadBlockDevice(info.Device, sysRoot, info);
  info.Type = TypeOf(info);
  return info;
}

DriveInfo GetDriveInfo(const std::string& path) {
  const std::string absolute = AbsoluteResolved(path);
  DriveInfo info = GetDriveInfoFrom(absolute, ReadWholeFile("/proc/mounts"), "/sys");
  if (info.Type != DRIVE_NO_ROOT_DIR) return info;
  // A chroot or container whose mount table does not reach the path.
  return GetDriveInfoByDevice(absolute, ReadWholeFile("/proc/self/mountinfo"), "/sys");
}

uint32_t GetClusterSize(const std::string& path) {
  struct statvfs st {};
  if (::statvfs(path.empty() ? "." : path.c_str(), &st) != 0) return 4096;
  unsigned long size = st.f_frsize ? st.f_frsize : st.f_bsize;
  return size ? static_cast<uint32_t>(size) : 4096;
}

}  // namespace plat
