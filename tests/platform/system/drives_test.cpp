#include "platform/system/drives.h"

#include <gtest/gtest.h>

#include <filesystem>

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

TEST(Drives, RealSystemAnswers) {
  plat::DriveInfo info = plat::GetDriveInfo(qvtest::SandboxDir());
  EXPECT_FALSE(info.MountPoint.empty());
  EXPECT_NE(info.Type, plat::DRIVE_NO_ROOT_DIR);
  EXPECT_GE(plat::GetClusterSize(qvtest::SandboxDir()), 512u);
}

}  // namespace
