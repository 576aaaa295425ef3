#include "platform/system/shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// Puts a folder with a stand-in "xdg-open" first on PATH: the script writes its arguments to a
// file and exits with the given status.
class FakeOpener {
 public:
  explicit FakeOpener(int status) {
    folder_ = fs::temp_directory_path() / ("opener" + std::to_string(status));
    fs::create_directories(folder_);
    log_ = folder_ / "log";
    fs::remove(log_);
    fs::path script = folder_ / "xdg-open";
    std::ofstream(script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << log_.string() << "'\nexit "
                          << status << "\n";
    chmod(script.c_str(), 0755);
    old_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder_.string() + ":" + old_).c_str(), 1);
  }
  ~FakeOpener() { setenv("PATH", old_.c_str(), 1); }
  std::string Log() const {
    std::ifstream in(log_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

 private:
  fs::path folder_, log_;
  std::string old_;
};

TEST(Shell, OpensWithTheDesktopOpener) {
  {
    FakeOpener opener(0);
    EXPECT_EQ(plat::OpenWithDesktop("http://example.org/a b"), plat::ShellResult::Ok);
    EXPECT_EQ(opener.Log(), "http://example.org/a b\n");
    EXPECT_EQ(plat::OpenWithDesktop("-rf"), plat::ShellResult::Ok);
    EXPECT_EQ(opener.Log(), "./-rf\n");
  }
  {
    FakeOpener opener(3);
    EXPECT_EQ(plat::OpenWithDesktop("/no/handler.xyz"), plat::ShellResult::Failed);
  }
  std::string old = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", "/nonexistent", 1);
  EXPECT_EQ(plat::OpenWithDesktop("x"), plat::ShellResult::NoHandler);
  setenv("PATH", old.c_str(), 1);
}

TEST(Shell, ExecLineQuotingRoundTrips) {
  for (std::string arg : {"plain", "with space", "q\"uote", "back\\slash", "$HOME `x`", "100%",
                          "%f", ""}) {
    std::vector<std::string> words = plat::SplitExecLine("prog " + plat::QuoteExecArgument(arg));
    ASSERT_EQ(words.size(), 2u) << arg;
    EXPECT_EQ(words[1], arg);
  }
  EXPECT_EQ(plat::SplitExecLine("  a  b%%c  "), (std::vector<std::string>{"a", "b%c"}));
}

TEST(Shell, DesktopEntriesRoundTripAndRefuseJunk) {
  fs::path file = fs::temp_directory_path() / "entry.desktop";
  plat::DesktopEntry in;
  in.Type = "Link";
  in.Name = " Leading blank";
  in.Comment = "two\nlines\\";
  in.Url = "https://x.org/?a=1";
  ASSERT_TRUE(plat::WriteDesktopEntry(file.string(), in));
  plat::DesktopEntry out;
  ASSERT_TRUE(plat::ReadDesktopEntry(file.string(), out));
  EXPECT_EQ(out.Type, "Link");
  EXPECT_EQ(out.Name, in.Name);
  EXPECT_EQ(out.Comment, in.Comment);
  EXPECT_EQ(out.Url, in.Url);
  std::ofstream(file) << "Exec=evil\n[Other]\nExec=no\n";
  EXPECT_FALSE(plat::ReadDesktopEntry(file.string(), out));
  EXPECT_FALSE(plat::ReadDesktopEntry((fs::temp_directory_path() / "none.desktop").string(), out));
  EXPECT_FALSE(plat::ReadDesktopEntry(fs::temp_directory_path().string(), out));
}

}  // namespace
