#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/base/service_slot.h"
#include "foundation/base/string_list.h"
#include "foundation/settings/options_holder.h"
#include "foundation/settings/stored_path.h"
#include "foundation/system/folder_trees.h"
#include "foundation/system/paths.h"
#include "foundation/system/shell_services.h"
#include "foundation/ui/message_dlg_service.h"
#include "platform/system/folders.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

TEST(WebAddresses, LooksLikeUrl) {
  struct Case {
    const char* text;
    bool url;
  } cases[] = {
      {"www.example.org", true},
      {"WWW.example.org", true},
      {"http://x.org", true},
      {"me@host.org", true},
      {"example.com", true},
      {"example.co.uk", true},
      {"report.doc", false},
      {"Sentence end.The", false},
      {"example.Com", false},
      {"", false},
      {"www", false},
      {"v1.2", false},
      {"http://192.168.0.1", true},
      {"mailto:a@b", false},
  };
  for (const Case& c : cases) EXPECT_EQ(LooksLikeUrl(c.text), c.url) << c.text;
  EXPECT_TRUE(HasUrlScheme("FTP:x"));
  EXPECT_FALSE(HasUrlScheme("httpx:y"));
  EXPECT_EQ(AddHttpPrefix("x.org"), "http://x.org");
  EXPECT_EQ(AddHttpPrefix("https://x.org"), "https://x.org");
  EXPECT_EQ(AddHttpPrefix("www.x.org"), "www.x.org");
  // The desktop opener needs the scheme that the program's own test does without.
  EXPECT_EQ(DesktopTarget("www.x.org"), "http://www.x.org");
  EXPECT_EQ(DesktopTarget("WWW.x.org/a"), "http://WWW.x.org/a");
  EXPECT_EQ(DesktopTarget("https://www.x.org"), "https://www.x.org");
  EXPECT_EQ(DesktopTarget("/home/u/www.txt"), "/home/u/www.txt");
}

TEST(WebAddresses, ParseUrl) {
  TURLComponents c;
  ParseUrl("  http://host.org/a/b.html;p=1?q=2#frag ", c);
  EXPECT_EQ(c.Scheme, "http");
  EXPECT_EQ(c.Host, "host.org");
  EXPECT_EQ(c.Path, "a/b.html");
  EXPECT_EQ(c.Params, "p=1");
  EXPECT_EQ(c.Query, "q=2");
  EXPECT_EQ(c.Fragment, "frag");
  EXPECT_EQ(c.AbsolutePath, 1);
  ParseUrl("file:///C:\\dir\\f.doc", c);
  EXPECT_EQ(c.Scheme, "file");
  EXPECT_EQ(c.IsFile, 1);
  EXPECT_EQ(c.Path.find('\\'), std::string::npos);
  ParseUrl("//host/x", c);
  EXPECT_EQ(c.Scheme, "http");
  EXPECT_EQ(c.Host, "host");
  EXPECT_EQ(c.Path, "x");
  ParseUrl("C:\\doc.rtf", c);
  EXPECT_EQ(c.Scheme, "C");
  ParseUrl("img/a.png", c);
  EXPECT_EQ(c.Scheme, "");
  EXPECT_EQ(c.Path, "img/a.png");
  EXPECT_EQ(c.AbsolutePath, 0);
  ParseUrl("", c);
  EXPECT_EQ(c.Path, "");
}

TEST(WebAddresses, ResolveRelativeUrl) {
  struct Case {
    const char* base;
    const char* address;
    const char* result;
  } cases[] = {
      {"http://www.example.com/docs/guide/page.html", "../images/pic.png",
       "http://www.example.com/docs/images/pic.png"},
      {"http://h.org/a/b/c.html", "./d/./e.html", "http://h.org/a/b/d/e.html"},
      {"http://h.org/a/b/c.html", "/root.html", "http://h.org/root.html"},
      {"http://h.org/a/b/c.html", "../../../../x.html", "http://h.org/x.html"},
      {"http://h.org/a/b/c.html", "..", "http://h.org/a/"},
      {"http://h.org/a/c.html", "..", "http://h.org/"},
      {"http://h.org/a/b/c.html", ".", "http://h.org/a/b/"},
      {"http://h.org/a/c.html?q=1", "#top", "http://h.org/a/c.html?q=1#top"},
      {"http://h.org/a/c.html", "https://other.org/z", "https://other.org/z"},
      {"http://h.org/a/c.html", "//cdn.org/lib.js", "//cdn.org/lib.js"},
      {"", "x.html", "x.html"},
      {"http://h.org/", "", "http://h.org/"},
  };
  for (const Case& c : cases) {
    TURLComponents parts;
    std::string result;
    ResolveRelativeUrl(c.base, c.address, parts, result);
    EXPECT_EQ(result, c.result) << c.base << " + " << c.address;
  }
}

TEST(InternetShortcuts, ReadsTheUrlLine) {
  std::string address;
  std::string text = "[InternetShortcut]\r\nURL=http://x.org/page\r\nIconIndex=0";
  ReadInternetShortcutUrl("", &text, address);
  EXPECT_EQ(address, "http://x.org/page");
  text = "no address here";
  ReadInternetShortcutUrl("", &text, address);
  EXPECT_EQ(address, "no address here");
  fs::path file = fs::temp_directory_path() / "link.url";
  ASSERT_TRUE(SaveStringToFile(file.string(), "[InternetShortcut]\nURL=https://a.b/c\n"));
  ReadInternetShortcutUrl(file.string(), nullptr, address);
  EXPECT_EQ(address, "https://a.b/c");
  ReadInternetShortcutUrl((fs::temp_directory_path() / "missing.url").string(), nullptr, address);
  EXPECT_EQ(address, "");
}

TEST(Shortcuts, DesktopEntriesRoundTrip) {
  EXPECT_TRUE(IsShortcutFile("/a/b/Quorvane.DESKTOP"));
  EXPECT_FALSE(IsShortcutFile("/a/b/desktop"));
  fs::path file = fs::temp_directory_path() / "My Doc.desktop";
  const std::string target = "/opt/with space/quo\"te$`\\prog";
  ASSERT_TRUE(CreateShortcut(file.string(), target, "", "A description", "/tmp"));
  EXPECT_EQ(GetShortcutTarget(file.string()), target);
  ASSERT_TRUE(CreateShortcut(file.string(), "/usr/bin/quorvane", "%DOCS%/a 100%.rtf", "", ""));
  EXPECT_EQ(GetShortcutTarget(file.string()), DecodeStoredPath("%DOCS%/a 100%.rtf"));
  fs::path broken = fs::temp_directory_path() / "broken.desktop";
  ASSERT_TRUE(SaveStringToFile(broken.string(), "not an entry"));
  EXPECT_EQ(GetShortcutTarget(broken.string()), broken.string());
}

TEST(Elevation, IsNotAvailable) {
  EXPECT_FALSE(RelaunchElevated());
  EXPECT_FALSE(GetWindowsUserName().empty());
  PendingProgramPath.clear();
  EXPECT_TRUE(RunPendingProgram());
  PendingProgramPath = "/nonexistent/setup-program";
  EXPECT_FALSE(RunPendingProgram());
  PendingProgramPath.clear();
}

// Records what opening a target asked of the shell and answers as told.
struct TFakeHyperlinkShell : THyperlinkServices {
  std::vector<std::string> opened, clipboard, inProgram;
  plat::ShellResult answer = plat::ShellResult::Ok;
  bool programFile = false, trusted = false;
  bool ActivateOpenDocument(const std::string& f) override { return f == "open.rtf"; }
  bool IsProgramFile(const std::string&) override { return programFile; }
  void OpenInProgram(const std::string& f) override { inProgram.push_back(f); }
  bool IsTrustedFile(const std::string&) override { return trusted; }
  void CopyTextToClipboard(const std::string& t) override { clipboard.push_back(t); }
  plat::ShellResult ShellOpen(const std::string& t) override {
    opened.push_back(t);
    return answer;
  }
};

struct TRecordingBox : TMessageDlgService {
  std::vector<std::string> texts;
  int32_t answer = mrNo;
  int32_t Show(const TMessageDlgInfo& info) override {
    texts.push_back(info.Text);
    return answer;
  }
};

class HyperlinkTargets : public ::testing::Test {
 protected:
  ScopedService<THyperlinkServices, TFakeHyperlinkShell> shell_;
  ScopedService<TMessageDlgService, TRecordingBox> box_;
};

TEST_F(HyperlinkTargets, WebAndMailAddresses) {
  EXPECT_TRUE(OpenHyperlinkTarget(" www.example.org "));
  EXPECT_TRUE(OpenHyperlinkTarget("me@host.org"));
  EXPECT_TRUE(OpenHyperlinkTarget("mailto:me@host.org"));
  EXPECT_TRUE(OpenHyperlinkTarget("http://u@host.org/x"));
  EXPECT_EQ(shell_->opened, (std::vector<std::string>{"www.example.org", "MAILTO:me@host.org",
                                                       "mailto:me@host.org", "http://u@host.org/x"}));
  EXPECT_TRUE(box_->texts.empty());
  shell_->answer = plat::ShellResult::NoHandler;
  EXPECT_FALSE(OpenHyperlinkTarget("example.com"));
  EXPECT_EQ(shell_->clipboard, std::vector<std::string>{"http://example.com"});
  ASSERT_EQ(box_->texts.size(), 1u);
  EXPECT_NE(box_->texts[0].find("http://example.com"), std::string::npos);
  EXPECT_FALSE(OpenHyperlinkTarget("a@b.org"));
  EXPECT_EQ(box_->texts.back(), "Error launching mail client.");
}

TEST_F(HyperlinkTargets, FilesAskBeforeOpening) {
  EXPECT_TRUE(OpenHyperlinkTarget("open.rtf"));
  EXPECT_TRUE(shell_->opened.empty());
  box_->answer = mrNo;
  EXPECT_FALSE(OpenHyperlinkTarget("/tmp/tool.sh"));
  EXPECT_TRUE(shell_->opened.empty());
  ASSERT_EQ(box_->texts.size(), 1u);
  EXPECT_NE(box_->texts[0].find("Opening /tmp/tool.sh"), std::string::npos);
  box_->answer = mrYes;
  EXPECT_TRUE(OpenHyperlinkTarget("/tmp/tool.sh"));
  EXPECT_EQ(shell_->opened, std::vector<std::string>{"/tmp/tool.sh"});
  shell_->trusted = true;
  shell_->answer = plat::ShellResult::Failed;
  EXPECT_FALSE(OpenHyperlinkTarget("/tmp/picture.png"));
  EXPECT_NE(box_->texts.back().find("Unable to open \"/tmp/picture.png\""), std::string::npos);
  shell_->programFile = true;
  GetOptions().LoadSave.Flags |= 0x100;
  EXPECT_TRUE(OpenHyperlinkTarget("/tmp/other.docx"));
  GetOptions().LoadSave.Flags &= ~0x100;
  EXPECT_EQ(shell_->inProgram, std::vector<std::string>{"/tmp/other.docx"});
}

// A small tree: a/x.txt, a/sub/y.txt, a/sub/z.doc, a/empty/.
class FolderTrees : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / "trees";
    fs::remove_all(root_);
    src_ = root_ / "a";
    fs::create_directories(src_ / "sub");
    fs::create_directories(src_ / "empty");
    Write(src_ / "x.txt", "x");
    Write(src_ / "sub" / "y.txt", "yy");
    Write(src_ / "sub" / "z.doc", "zzz");
  }
  void TearDown() override { fs::remove_all(root_); }
  static void Write(const fs::path& p, const std::string& text) {
    ASSERT_TRUE(SaveStringToFile(p.string(), text));
  }
  static std::string Read(const fs::path& p) {
    std::string text;
    LoadFileToString(p.string(), text);
    return text;
  }
  static std::vector<std::string> Names(const TStringList& list, const fs::path& base) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.Count(); ++i) {
      out.push_back(list.Strings(i).substr(base.string().size() + 1));
    }
    return out;
  }
  fs::path root_, src_;
};

TEST_F(FolderTrees, ListsFindsAndMeasures) {
  TStringList all;
  ListFolderTree(src_.string(), all);
  EXPECT_EQ(Names(all, src_),
            (std::vector<std::string>{"empty", "sub", "sub/y.txt", "sub/z.doc", "x.txt"}));
  TStringList found;
  FindFilesRecursive(src_.string(), "*.txt", found, true);
  EXPECT_EQ(Names(found, src_), (std::vector<std::string>{"empty/", "sub/y.txt", "x.txt"}));
  TStringList any;
  FindFilesRecursive(src_.string(), "?.*", any, false);
  EXPECT_EQ(any.Count(), 3);
  int64_t usage = GetFolderDiskUsage(src_.string());
  EXPECT_GE(usage, 6);
  EXPECT_EQ(usage % std::max<int64_t>(GetClusterSize(src_.string()), 1), 0);
  RemoveEmptySubfolders(src_.string());
  EXPECT_FALSE(fs::exists(src_ / "empty"));
  EXPECT_TRUE(fs::exists(src_ / "sub"));
  DeleteFolderTree(src_.string());
  EXPECT_FALSE(fs::exists(src_));
}

TEST_F(FolderTrees, CopyIntoItsOwnSubfolderCopiesEachFileOnce) {
  fs::path inside = src_ / "copy";
  EXPECT_TRUE(CopyFolderTree(src_.string(), inside.string(), false, false));
  EXPECT_EQ(Read(inside / "x.txt"), "x");
  EXPECT_EQ(Read(inside / "sub" / "z.doc"), "zzz");
  EXPECT_TRUE(fs::is_directory(inside / "empty"));
  EXPECT_FALSE(fs::exists(inside / "copy"));
  EXPECT_EQ(Read(src_ / "x.txt"), "x");
}

TEST_F(FolderTrees, MoveKeepsASourceWhoseCopyFailed) {
  fs::path dest = root_ / "b";
  fs::create_directories(dest / "sub");
  Write(dest / "sub" / "y.txt", "older");
  // Without overwrite the existing file stays, so the source file must stay too.
  EXPECT_FALSE(CopyFolderTree(src_.string(), dest.string(), false, true));
  EXPECT_EQ(Read(dest / "sub" / "y.txt"), "older");
  EXPECT_EQ(Read(src_ / "sub" / "y.txt"), "yy");
  EXPECT_FALSE(fs::exists(src_ / "x.txt"));
  EXPECT_EQ(Read(dest / "x.txt"), "x");
  EXPECT_FALSE(fs::exists(src_ / "sub" / "z.doc"));
  EXPECT_TRUE(fs::exists(src_ / "sub"));  // not empty: it holds the file that stayed
  // With overwrite the newer file replaces it and the source goes.
  EXPECT_TRUE(CopyFolderTree(src_.string(), dest.string(), true, true));
  EXPECT_EQ(Read(dest / "sub" / "y.txt"), "yy");
  EXPECT_FALSE(fs::exists(src_ / "sub"));
  // A tree copied onto itself loses nothing.
  Write(dest / "only.txt", "keep");
  EXPECT_FALSE(CopyFolderTree(dest.string(), dest.string(), true, true));
  EXPECT_EQ(Read(dest / "only.txt"), "keep");
}

TEST_F(FolderTrees, TrashKeepsTheFileAndItsRecord) {
  fs::path file = src_ / "x.txt";
  ASSERT_TRUE(MoveToRecycleBin(file.string()));
  EXPECT_FALSE(fs::exists(file));
  fs::path trash = fs::path(plat::GetXdgFolder(plat::XdgFolder::DataHome)) / "Trash";
  EXPECT_EQ(Read(trash / "files" / "x.txt"), "x");
  std::string record = Read(trash / "info" / "x.txt.trashinfo");
  EXPECT_NE(record.find("Path=" + file.string()), std::string::npos) << record;
  // A second file of the same name gets a name of its own in the trash.
  Write(file, "again");
  ASSERT_TRUE(MoveToRecycleBin(file.string()));
  EXPECT_EQ(Read(trash / "files" / "x.txt.2"), "again");
  EXPECT_FALSE(MoveToRecycleBin((src_ / "missing").string()));
}

}  // namespace
