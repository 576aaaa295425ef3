#pragma once
// Facts about the file system a path lies on, from /proc/mounts and /sys/block; where the mount
// table names no mount point above the path (a chroot, some containers), from the path's device
// and /proc/self/mountinfo.
#include <cstdint>
#include <string>

namespace plat {

// Drive types, numbered as the system's code expects them.
enum DriveType : uint32_t {
  DRIVE_UNKNOWN = 0,
  DRIVE_NO_ROOT_DIR = 1,
  DRIVE_REMOVABLE = 2,
  DRIVE_FIXED = 3,
  DRIVE_REMOTE = 4,
  DRIVE_CDROM = 5,
  DRIVE_RAMDISK = 6,
};

struct DriveInfo {
  std::string MountPoint;   // the mount point holding the path ("/" at least)
  std::string Device;       // the mounted device ("/dev/sdb1", "tmpfs" ...)
  std::string FsType;       // "ext4", "vfat", "nfs" ...
  uint32_t Type = DRIVE_UNKNOWN;
  bool RemovableMedia = false;  // the block device reports removable media
  bool UsbOrFirewire = false;   // the block device hangs off a USB or IEEE 1394 bus
};

// Looks the path up in the mount table (the longest mount point that is a prefix of the path's
// absolute, resolved form); when the table has none, by the path's device
// (GetDriveInfoByDevice). A path that does not exist is resolved as far as it exists.
DriveInfo GetDriveInfo(const std::string& path);

// Mount-table parsing, exposed for tests: `mounts` is text in the /proc/mounts form and `sysRoot`
// the folder standing in for "/sys" (its "class/block/<name>" entries are read).
DriveInfo GetDriveInfoFrom(const std::string& absolutePath, const std::string& mounts,
                           const std::string& sysRoot);

// The answer from the path's device: the mounts of its device number (major:minor of the
// nearest existing folder at or above the path) in `mountinfo`, text in the
// /proc/self/mountinfo form, give the device and file-system type, and the mount point when one
// of them lies above the path (the longest); otherwise the mount point is the path's top-most
// folder on the same device. DRIVE_NO_ROOT_DIR only when nothing at or above the path exists.
DriveInfo GetDriveInfoByDevice(const std::string& absolutePath, const std::string& mountinfo,
                               const std::string& sysRoot);

// Bytes per allocation unit of the file system holding the path; 4096 when it cannot be asked.
uint32_t GetClusterSize(const std::string& path);

}  // namespace plat
