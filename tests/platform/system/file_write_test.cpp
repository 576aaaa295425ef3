#include "platform/system/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <string>

#include "support/test_env.h"

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(FileWrite, TemporaryFileTakesTheTargetsModeOrTheUmaskDefault) {
  const std::string dir = qvtest::MakeTempDir("filewrite");
  const std::string target = dir + "/target.txt";
  qvtest::WriteFile(target, "old");
  ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
  const mode_t mask = ::umask(0027);
  struct Case {
    const char* name;
    std::string target;
    mode_t mode;
  };
  const Case cases[] = {
      {"existing target", target, 0600},
      {"new target", dir + "/new.txt", 0640},  // 0666 under umask 027
  };
  for (const Case& c : cases) {
    const std::string temp = dir + "/temp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_TRUE(plat::SetModeForTarget(fd, c.target)) << c.name;
    const std::string text(100000, 'x');
    EXPECT_TRUE(plat::WriteAll(fd, text.data(), text.size())) << c.name;
    ::close(fd);
    EXPECT_EQ(ModeOf(temp), c.mode) << c.name;
    EXPECT_EQ(qvtest::ReadFile(temp), text) << c.name;
  }
  ::umask(mask);
}

TEST(FileWrite, WriteAllFailsOnABadDescriptor) {
  EXPECT_FALSE(plat::WriteAll(-1, "x", 1));
}

}  // namespace
