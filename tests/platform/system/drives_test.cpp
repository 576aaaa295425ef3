#include "platform/system/drives.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/test_env.h"

namespace fs = std::filesystem;

namespace {

// A sysfs stand-in: a USB stick sdb (removable) with partition sdb1, a USB hard disk sdc, an
// internal disk sda and an optical drive sr0.
std::string MakeSys() {
  const std::string sys = qvtest::MakeTempDir("sys");
  auto disk = [&](const std::string& chain, const std::string& name, const char* removable) {
    const std::string dir = sys + "/devices/" + chain + "/block/" + name;
    qvtest::WriteFile(dir + "/removable", removable);
    fs::create_directories(sys + "/class/block");
    fs::create_directory_symlink(dir, sys + "/class/block/" + name);
    return dir;
  };
  const std::string sdb = disk("pci0/usb1/1-1", "sdb", "1\n");
  qvtest::WriteFile(sdb + "/sdb1/partition", "1\n");
  fs::create_directory_symlink(sdb + "/sdb1", sys + "/class/block/sdb1");
  disk("pci0/usb2/2-1", "sdc", "0\n");
  const std::string sda = disk("pci0/ata1", "sda", "0\n");
  qvtest::WriteFile(sda + "/sda2/partition", "2\n");
  fs::create_directory_symlink(sda + "/sda2", sys + "/class/block/sda2");
  disk("pci0/ata2", "sr0", "1\n");
  return sys;
}

TEST(Drives, MountTableAndBlockDevices) {
  const std::string sys = MakeSys();
  const std::string mounts =
      "/dev/sda2 / ext4 rw 0 0\n"
      "proc /proc proc rw 0 0\n"
      "tmpfs /tmp tmpfs rw 0 0\n"
      "/dev/sdb1 /media/u/MY\\040STICK vfat rw 0 0\n"
      "/dev/sdc /media/u/backup ext4 rw 0 0\n"
      "server:/export /net/home nfs4 rw 0 0\n"
      "/dev/sr0 /media/cd iso9660 ro 0 0\n";
  const struct {
    const char* path;
    const char* mount;
    uint32_t type;
    bool removable, usb;
  } cases[] = {
      {"/home/u/a.rtf", "/", plat::DRIVE_FIXED, false, false},
      {"/tmp/x", "/tmp", plat::DRIVE_RAMDISK, false, false},
      {"/tmpfoo/x", "/", plat::DRIVE_FIXED, false, false},  // a prefix is not a parent
      {"/media/u/MY STICK/q/quorvane", "/media/u/MY STICK", plat::DRIVE_REMOVABLE, true, true},
      {"/media/u/backup/doc", "/media/u/backup", plat::DRIVE_FIXED, false, true},
      {"/net/home/u", "/net/home", plat::DRIVE_REMOTE, false, false},
      {"/media/cd/setup", "/media/cd", plat::DRIVE_CDROM, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    plat::DriveInfo info = plat::GetDriveInfoFrom(c.path, mounts, sys);
    EXPECT_EQ(info.MountPoint, c.mount);
    EXPECT_EQ(info.Type, c.type);
    EXPECT_EQ(info.RemovableMedia, c.removable);
    EXPECT_EQ(info.UsbOrFirewire, c.usb);
  }
  EXPECT_EQ(plat::GetDriveInfoFrom("/x", "", sys).Type, plat::DRIVE_NO_ROOT_DIR);
}

dev_t DeviceOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
  return st.st_dev;
}

// A mount point as mountinfo writes it (blanks and backslashes as octal escapes).
std::string Escaped(const std::string& path) {
  std::string out;
  for (char c : path) {
    if (c == ' ') out += "\\040";
    else if (c == '\\') out += "\\134";
    else out += c;
  }
  return out;
}

// What makes an answer the path's top-most folder on its own device.
void ExpectTopFolderOnDevice(const std::string& mount, const std::string& path) {
  const dev_t device = DeviceOf(path);
  EXPECT_EQ(path.compare(0, mount.size(), mount), 0) << mount << " above " << path;
  EXPECT_EQ(DeviceOf(mount), device) << mount;
  const fs::path parent = fs::path(mount).parent_path();
  if (mount != "/") EXPECT_NE(DeviceOf(parent.string()), device) << parent;
}

TEST(Drives, APathTheMountTableMissesAnswersByItsDevice) {
  // Holds on any Linux: the lines are written with the real device number of the sandbox.
  const std::string dir = fs::canonical(qvtest::MakeTempDir("drive")).string();
  const dev_t device = DeviceOf(dir);
  const std::string number = std::to_string(major(device)) + ":" + std::to_string(minor(device));
  const std::string parent = fs::path(dir).parent_path().string();
  const std::string noSys = qvtest::MakeTempDir("nosys");
  const std::string other = "20 1 4095:1048575 / /media/x rw - vfat /dev/sdq1 rw\n";
  const std::string elsewhere = "21 1 " + number + " / /some/where/else rw - tmpfs tmpfs rw\n";
  const std::string above = "22 1 " + number + " / / rw shared:1 - ext4 /dev/sdz1 rw\n" +
                            "23 22 " + number + " /sub " + Escaped(parent) +
                            " rw shared:2 - ext4 /dev/sdz2 rw\n";
  const struct {
    const char* what;
    std::string path, mountinfo;
    const char *device, *fsType;
    uint32_t type;
    bool topFolder;
  } cases[] = {
      {"no mountinfo", dir, "", "", "", plat::DRIVE_FIXED, true},
      {"another device only", dir, other, "", "", plat::DRIVE_FIXED, true},
      {"its device mounted elsewhere", dir, other + elsewhere, "tmpfs", "tmpfs",
       plat::DRIVE_RAMDISK, true},
      {"its device mounted above it", dir, other + above, "/dev/sdz2", "ext4", plat::DRIVE_FIXED,
       false},
      {"a path that does not exist yet", dir + "/new/a.rtf", above, "/dev/sdz2", "ext4",
       plat::DRIVE_FIXED, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const plat::DriveInfo info = plat::GetDriveInfoByDevice(c.path, c.mountinfo, noSys);
    EXPECT_EQ(info.Device, c.device);
    EXPECT_EQ(info.FsType, c.fsType);
    EXPECT_EQ(info.Type, c.type);
    if (c.topFolder) ExpectTopFolderOnDevice(info.MountPoint, dir);
    else EXPECT_EQ(info.MountPoint, parent);
  }

  // With the system's own mountinfo the answer still lies above the path, on its device.
  std::ifstream in("/proc/self/mountinfo");
  std::stringstream real;
  real << in.rdbuf();
  const plat::DriveInfo info = plat::GetDriveInfoByDevice(dir, real.str(), "/sys");
  EXPECT_NE(info.Type, plat::DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(dir.compare(0, info.MountPoint.size(), info.MountPoint), 0) << info.MountPoint;
}

TEST(Drives, RealSystemAnswers) {
  plat::DriveInfo info = plat::GetDriveInfo(qvtest::SandboxDir());
  EXPECT_FALSE(info.MountPoint.empty());
  EXPECT_NE(info.Type, plat::DRIVE_NO_ROOT_DIR);
  EXPECT_GE(plat::GetClusterSize(qvtest::SandboxDir()), 512u);
}

}  // namespace
