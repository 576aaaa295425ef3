// Hostile input for the settings file parser and the code-page conversion: damaged, truncated and
// random bytes give a clear result (sections, replacement characters, false), never a fault.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "platform/system/code_page_conv.h"
#include "platform/system/folders.h"
#include "platform/system/settings_hive.h"
#include "platform/system/text_services.h"
#include "support/test_env.h"

namespace {

std::string RandomBytes(std::mt19937& rng, size_t maxLength, std::string_view alphabet = {}) {
  std::string s(rng() % (maxLength + 1), '\0');
  for (char& c : s)
    c = alphabet.empty() ? static_cast<char>(rng() & 0xFF) : alphabet[rng() % alphabet.size()];
  return s;
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

TEST(IniTextRobustness, RandomAndDamagedTextKeepsTheParserRules) {
  std::mt19937 rng(1234);
  // Ini-like alphabets find the section and value paths far more often than plain noise.
  const std::string_view alphabets[] = {{}, "[]=\r\n\\aB", "[]=\n\0\xff"};
  for (int i = 0; i < 3000; ++i) {
    const std::string text = RandomBytes(rng, 200, alphabets[i % 3]);
    for (bool keepShort : {false, true}) {
      const auto sections = plat::ParseIniText(text, keepShort);
      std::set<std::string> names;
      for (const auto& s : sections) {
        EXPECT_TRUE(names.insert(Lower(s.Name)).second) << "section twice: " << s.Name;
        for (const auto& line : s.Lines) {
          EXPECT_EQ(line.find('\n'), std::string::npos);
          if (line.size() < 3) {
            EXPECT_TRUE(keepShort && line.find('=') != std::string::npos);
          }
        }
      }
    }
  }
}

TEST(IniTextRobustness, ManySectionsAndRepeatedNamesStayLinear) {
  // 50,000 distinct sections, then each name again in another case: the repeats reopen the
  // earlier sections. A parser that searches the sections for every header needs billions of
  // comparisons here.
  std::string text;
  for (int i = 0; i < 50000; ++i) text += "[Key" + std::to_string(i) + "]\nv=" + std::to_string(i) + "\n";
  for (int i = 0; i < 50000; ++i) text += "[KEY" + std::to_string(i) + "]\nw=1\n";
  const auto sections = plat::ParseIniText(text);
  ASSERT_EQ(sections.size(), 50000u);
  EXPECT_EQ(sections[49999].Name, "Key49999");
  EXPECT_EQ(sections[49999].Lines, (std::vector<std::string>{"v=49999", "w=1"}));
}

TEST(IniTextRobustness, SettingsFilesThatAreNoFilesReadAsMissing) {
  const std::string dir = qvtest::MakeTempDir("hive");
  const std::string fifo = dir + "/fifo.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const struct {
    std::string path;
  } cases[] = {{dir}, {fifo}, {dir + "/missing.ini"}, {""}};
  for (const auto& c : cases) {
    std::string text = "stale";
    EXPECT_FALSE(plat::ReadSettingsFile(c.path, text)) << c.path;  // and no wait on the FIFO
    EXPECT_TRUE(text.empty());
  }
}

TEST(IniTextRobustness, UserFolderListThatIsNoFile) {
  // A FIFO where the list of user folders belongs must not block the start-up.
  const std::string config = qvtest::MakeTempDir("xdgcfg");
  ASSERT_EQ(::mkfifo((config + "/user-dirs.dirs").c_str(), 0600), 0);
  const char* oldConfig = std::getenv("XDG_CONFIG_HOME");
  const char* oldDocs = std::getenv("XDG_DOCUMENTS_DIR");
  const std::string savedConfig = oldConfig ? oldConfig : "", savedDocs = oldDocs ? oldDocs : "";
  ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  ::unsetenv("XDG_DOCUMENTS_DIR");
  const std::string docs = plat::GetXdgFolder(plat::XdgFolder::Documents);
  oldConfig ? ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
  if (oldDocs) ::setenv("XDG_DOCUMENTS_DIR", savedDocs.c_str(), 1);
  EXPECT_TRUE(docs.ends_with("/Documents")) << docs;
}

TEST(IniTextRobustness, FailedWritesLeaveNoFileBehind) {
  const std::string dir = qvtest::MakeTempDir("hivew");
  const std::string target = dir + "/settings.ini";
  qvtest::WriteFile(target, "[A]\nx=1\n");
  std::string error;
  // A target that is a folder cannot be replaced: the old contents stay, no temporary is left.
  ASSERT_TRUE(std::filesystem::create_directory(dir + "/folder.ini"));
  EXPECT_FALSE(plat::WriteSettingsFile(dir + "/folder.ini", "[B]\n", error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(plat::WriteSettingsFile(dir + "/no/such/folder.ini", "[B]\n", error));
  EXPECT_EQ(qvtest::ReadFile(target), "[A]\nx=1\n");
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "settings.ini" || name == "folder.ini" || name.ends_with(".lock")) << name;
  }
}

TEST(CodePageRobustness, RandomBytesAndUnitsConvertWithoutFault) {
  std::mt19937 rng(99);
  const uint32_t pages[] = {1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 874, 437, 850,
                            plat::CP_MACROMAN, 932, 936, 949, 950, plat::CP_UTF8, 0, 12345};
  for (uint32_t cp : pages) {
    const bool multi = plat::IsCodePageSupported(cp) && plat::IsMultiByteCodePage(cp);
    for (int i = 0; i < 150; ++i) {
      const std::string bytes = RandomBytes(rng, 40);
      const std::u16string wide = plat::CodePageToUtf16(cp, bytes);
      if (multi) {
        EXPECT_LE(wide.size(), bytes.size()) << cp;
      } else {
        EXPECT_EQ(wide.size(), bytes.size()) << cp;
      }
      // Random code units hold lone and reversed surrogates as well as unmappable characters.
      std::u16string units(rng() % 30, u'\0');
      for (char16_t& u : units) u = static_cast<char16_t>(rng() % 4 ? rng() & 0xFFFF : 0xD800 + rng() % 0x800);
      bool replaced = false;
      const std::string back = plat::Utf16ToCodePage(cp, units, '?', &replaced);
      if (!multi) {
        EXPECT_EQ(back.size(), units.size()) << cp;
      }
    }
  }
}

TEST(LocaleRobustness, LanguageNamesOfAnyShape) {
  // Language codes from documents and the environment: too long, empty, punctuation, random.
  const std::string names[] = {"", "-", "_", "x", "abcdefghijklmnop", "abcdefghijklmnopq",
                               std::string(300, 'a'), "de-" + std::string(200, 'Z'), "@@@", "en_US.UTF-8@euro"};
  for (const std::string& name : names) {
    for (const std::string& display : {std::string("en"), std::string(40, 'q'), name}) {
      const std::u16string got = plat::LanguageDisplayName(name, display);
      EXPECT_LT(got.size(), 400u) << name;
    }
  }
  EXPECT_FALSE(plat::LanguageDisplayName("de", "en").empty());
}

}  // namespace
