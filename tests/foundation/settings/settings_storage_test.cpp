#include "foundation/settings/settings_storage.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "foundation/base/exceptions.h"
#include "foundation/settings/ini_file.h"
#include "foundation/settings/registry_ex.h"
#include "support/test_env.h"

using namespace qv;

namespace {

constexpr int32_t kNotSet = static_cast<int32_t>(0x80000000u);

std::unique_ptr<TIniFile> IniWith(const std::string& text) {
  const std::string path = qvtest::MakeTempDir("ini") + "/s.ini";
  qvtest::WriteFile(path, text);
  auto ini = std::make_unique<TIniFile>(path, false);
  ini->OpenKey("S");
  return ini;
}

TEST(IniStore, IntegerRules) {
  auto ini = IniWith("[S]\nbig=150\nneg=-5\nabc=abc\ntwelve=12\nhex=$1F\nblank=  42\ntail=4x\n"
                     "huge=99999999999\nsame=500\n");
  const struct { const char* name; int32_t min, max, def, want; } cases[] = {
      {"missing", 0, 100, kNotSet, kNotSet},  // a missing value gives the default unclamped
      {"big", 0, 100, kNotSet, 100},
      {"neg", 0, 100, kNotSet, 0},
      {"abc", 0, 100, 7, 7},
      {"twelve", 0, 10, 3, 10},
      {"hex", 0, 100, 0, 31},
      {"blank", 0, 100, 0, 42},
      {"tail", 0, 100, 9, 9},
      {"huge", 0, 100, 9, 9},
      {"same", 0, 100, 500, 500},  // equal to the default: returned unchanged
  };
  for (const auto& c : cases)
    EXPECT_EQ(ini->ReadInteger(c.name, c.min, c.max, c.def), c.want) << c.name;
}

TEST(IniStore, BoolAndStringRules) {
  auto ini = IniWith("[S]\none=1\nzero=0\ntwo=2\nword=true\nempty=\nx=1=2\n=nameless\n ab = c \n");
  const struct { const char* name; bool def, want; } bools[] = {
      {"one", false, true}, {"zero", true, false}, {"two", true, false},
      {"word", true, false}, {"empty", true, false}, {"missing", true, true},
  };
  for (const auto& c : bools) EXPECT_EQ(ini->ReadBool(c.name, c.def), c.want) << c.name;
  EXPECT_EQ(ini->ReadStr("x"), "1=2");
  EXPECT_EQ(ini->ReadStr(""), "nameless");
  EXPECT_EQ(ini->ReadStr(" ab "), " c ");  // nothing is trimmed
  EXPECT_EQ(ini->ReadStr("X"), "1=2");     // names ignore case
  EXPECT_EQ(ini->ReadStr("missing", "dflt"), "dflt");
}

TEST(IniStore, SectionsAndDamagedFiles) {
  const std::string dir = qvtest::MakeTempDir("ini");
  const struct { const char* what; const char* content; bool exists; } files[] = {
      {"missing", nullptr, false},
      {"empty", "", false},
      {"binary junk", "\x01\x02[\xff\n=\n[", false},
  };
  for (const auto& f : files) {
    const std::string path = dir + "/" + f.what + ".ini";
    if (f.content) qvtest::WriteFile(path, f.content);
    TIniFile ini(path, false);
    ini.KeyPrefix = "\\Software\\Q\\";
    EXPECT_FALSE(ini.KeyExists("General")) << f.what;
    ini.OpenKey("General");
    EXPECT_EQ(ini.ReadInteger("a", 0, 9, 4), 4) << f.what;
    EXPECT_EQ(ini.ReadStr("b", "d"), "d") << f.what;
  }
  auto ini = IniWith("[\\Software\\Q\\General]\na=5\n");
  ini->KeyPrefix = "\\software\\q\\";
  EXPECT_TRUE(ini->KeyExists("GENERAL"));
  ini->OpenKey("General");
  EXPECT_EQ(ini->ReadInteger("a", 0, 9, 4), 5);
  ini->OpenKey("Absent");
  EXPECT_EQ(ini->ReadInteger("a", 0, 9, 4), 4);
}

TEST(IniStore, WriteModeRoundTripAndAtomicSave) {
  const std::string path = qvtest::MakeTempDir("ini") + "/w.ini";
  qvtest::WriteFile(path, "[old]\nkeep=me\n");
  {
    TIniFile w(path, true);
    w.KeyPrefix = "\\P\\";
    w.OpenKey("A");
    w.WriteInteger("i", -7);
    w.WriteBool("b", true);
    w.WriteString("s", "two\r\nlines");
    EXPECT_EQ(w.ReadInteger("i", -100, 100, 1), 1);  // write mode reads defaults
    EXPECT_FALSE(w.KeyExists("A"));
    EXPECT_EQ(qvtest::ReadFile(path), "[old]\nkeep=me\n");  // nothing written before Save
    w.Save();
  }
  EXPECT_EQ(qvtest::ReadFile(path), "[\\P\\A]\ni=-7\nb=1\ns=two||lines\n");
  TIniFile r(path, false);
  r.KeyPrefix = "\\P\\";
  r.OpenKey("A");
  EXPECT_EQ(r.ReadInteger("i", -100, 100, 1), -7);
  EXPECT_TRUE(r.ReadBool("b", false));
}

TEST(IniStore, SaveFailureRaisesAndKeepsOldFile) {
  const std::string dir = qvtest::MakeTempDir("ini");
  const std::string path = dir + "/blocked.ini";
  qvtest::WriteFile(path + "/x", "folder in the way");
  TIniFile w(path, true);
  w.OpenKey("A");
  EXPECT_THROW(w.Save(), EFCreateError);
}

// The operations built on the eight virtual ones, run against every back end.
struct BackEnd {
  const char* name;
  std::function<std::unique_ptr<TSettingsStorage>(const std::string& dir, bool write)> make;
};

std::vector<BackEnd> BackEnds() {
  return {
      {"ini", [](const std::string& dir, bool write) -> std::unique_ptr<TSettingsStorage> {
         return std::make_unique<TIniFile>(dir + "/s.ini", write);
       }},
      {"hive", [](const std::string& dir, bool) -> std::unique_ptr<TSettingsStorage> {
         return std::make_unique<TRegistryEx>(dir + "/hive.ini");
       }},
  };
}

// Writes through a fresh store, then reads through another.
template <class W, class R>
void RoundTrip(const BackEnd& be, W write, R read) {
  const std::string dir = qvtest::MakeTempDir(be.name);
  {
    auto w = be.make(dir, true);
    w->KeyPrefix = "\\Root\\";
    write(*w);
  }
  auto r = be.make(dir, false);
  r->KeyPrefix = "\\Root\\";
  read(*r);
}

TEST(SettingsStorage, LongStringsInPieces) {
  const std::string noBlanks(1100, 'x');
  std::string blankAtSeam(1100, 'y');
  blankAtSeam[511] = ' ';
  blankAtSeam[512] = '\n';
  blankAtSeam[514] = ' ';
  const std::string texts[] = {noBlanks, blankAtSeam, "", "short", std::string(512, 'z')};
  for (const auto& be : BackEnds()) {
    for (const std::string& text : texts) {
      RoundTrip(
          be, [&](TSettingsStorage& s) { s.WriteLongString("Long", text); },
          [&](TSettingsStorage& s) {
            std::string back;
            s.ReadLongString("Long", "dflt", back);
            std::string want = text;
            // Line breaks are kept as "||" by the file format.
            for (size_t p; (p = want.find('\n')) != std::string::npos;) want.replace(p, 1, "||");
            EXPECT_EQ(back, want) << be.name << " length " << text.size();
          });
    }
  }
  RoundTrip(
      BackEnds()[0], [&](TSettingsStorage& s) { s.WriteLongString("Long", noBlanks); },
      [&](TSettingsStorage& s) {
        s.OpenKey("Long");
        EXPECT_EQ(s.ReadInteger("Count", 0, 100, -1), 3);
        EXPECT_EQ(s.ReadStr("0").size(), 512u);
        EXPECT_EQ(s.ReadStr("2").size(), 76u);
        std::string back;
        s.ReadLongString("NoSuchKey", "dflt", back);
        EXPECT_EQ(back, "dflt");
      });
}

TEST(SettingsStorage, LongStringSeamMovesPastBlanks) {
  std::string text(1100, 'a');
  text[512] = ' ';  // the 513th character
  RoundTrip(
      BackEnds()[0], [&](TSettingsStorage& s) { s.WriteLongString("L", text); },
      [&](TSettingsStorage& s) {
        s.OpenKey("L");
        const std::string first = s.ReadStr("0");
        EXPECT_EQ(first.size(), 514u);
        EXPECT_NE(first.back(), ' ');
      });
}

TEST(SettingsStorage, ShorterLongStringLeavesNoStalePieceInTheHive) {
  // Pieces that grow past 512 characters write fewer values than "Count"; a persistent store
  // still holding a piece of an earlier text must not read it back into the new one.
  const std::string dir = qvtest::MakeTempDir("stale");
  std::string grown(1030, 'a');
  for (size_t i = 505; i < 1030; ++i) grown[i] = ' ';  // one piece swallows the rest
  grown.back() = 'z';
  {
    TRegistryEx w(dir + "/hive.ini");
    w.WriteLongString("L", std::string(1500, 'q'));  // pieces 0, 1, 2
  }
  {
    TRegistryEx w(dir + "/hive.ini");
    w.WriteLongString("L", grown);  // "Count" 3, real pieces 0 only
  }
  TRegistryEx r(dir + "/hive.ini");
  std::string back;
  r.ReadLongString("L", "", back);
  EXPECT_EQ(back, grown);
}

TEST(SettingsStorage, DamagedPieceCountDoesNotHang) {
  auto ini = IniWith("[Long]\nCount=2147483647\n0=ab\n1=cd\n");
  ini->KeyPrefix.clear();
  std::string back;
  ini->ReadLongString("Long", "dflt", back);
  EXPECT_EQ(back, "abcd");
}

TEST(SettingsStorage, Blobs) {
  const uint8_t block[3] = {0xAB, 0x01, 0xFF};
  for (const auto& be : BackEnds()) {
    RoundTrip(
        be, [&](TSettingsStorage& s) { s.WriteBinary("Blob", block, 3); },
        [&](TSettingsStorage& s) {
          TMemory m;
          s.ReadBinary("Blob", m);
          EXPECT_EQ(m.ToString(), std::string("\xab\x01\xff", 3)) << be.name;
          s.OpenKey("Blob");
          EXPECT_EQ(s.ReadInteger("Count", 0, 9, -1), 1) << be.name;
          EXPECT_EQ(s.ReadStr("0"), "ab01ff") << be.name;
        });
  }
}

TEST(SettingsStorage, DamagedBlobIsRejectedWhole) {
  auto ini = IniWith("[S]\nv=ab0g\nshort=ab\nok=AB01\nodd=ab0\n[Blob]\nCount=1\n0=12zz34\n");
  ini->KeyPrefix.clear();
  TMemory m;
  m.SetString("stale");
  ini->ReadBinary("Blob", m);
  EXPECT_EQ(m.Length, 0);  // no half-converted block
  const uint8_t def[2] = {7, 8};
  const struct { const char* name; std::string want; } cases[] = {
      {"v", "\x07\x08"}, {"short", "\x07\x08"}, {"missing", "\x07\x08"},
      {"ok", "\xab\x01"}, {"odd", "\x07\x08"},
  };
  ini->OpenKey("S");
  for (const auto& c : cases) {
    uint8_t dest[2] = {0, 0};
    ReadBinarySetting(*ini, c.name, dest, def, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(dest), 2), c.want) << c.name;
  }
}

TEST(SettingsStorage, WideStringsAsUtf8) {
  for (const auto& be : BackEnds()) {
    RoundTrip(
        be,
        [&](TSettingsStorage& s) {
          s.OpenKey("W");
          s.WriteWideString("w", u"Gr\u00fc\u00dfe \u4e16");
          s.WriteWideString("e", u"");
        },
        [&](TSettingsStorage& s) {
          s.OpenKey("W");
          std::u16string v;
          s.ReadWideString("w", u"d", v);
          EXPECT_EQ(v, u"Gr\u00fc\u00dfe \u4e16") << be.name;
          EXPECT_EQ(s.ReadStr("w"), "Gr\xc3\xbc\xc3\x9f" "e \xe4\xb8\x96") << be.name;
          s.ReadWideString("missing", u"d", v);
          EXPECT_EQ(v, u"d") << be.name;
        });
  }
}

TEST(SettingsStorage, NullStoreReturnsDefaults) {
  TSettingsStorage s;
  s.OpenKey("Anything");
  s.WriteInteger("i", 5);
  EXPECT_FALSE(s.KeyExists("Anything"));
  EXPECT_EQ(s.ReadInteger("i", 0, 10, kNotSet), kNotSet);
  EXPECT_TRUE(s.ReadBool("b", true));
  EXPECT_EQ(s.ReadStr("s", "d"), "d");
  TMemory m;
  s.ReadBinary("x", m);
  EXPECT_EQ(m.Length, 0);
}

TEST(HiveStore, RegistryRules) {
  const std::string dir = qvtest::MakeTempDir("reg");
  const std::string path = dir + "/sub/hive.ini";  // the folder is made on first write
  {
    TRegistryEx w(path);
    w.KeyPrefix = "\\Software\\Q\\";
    EXPECT_FALSE(w.KeyExists("General"));
    w.OpenKey("Internal\\TOC");
    w.WriteInteger("Levels", 150);
    w.OpenKey("General");
    w.WriteString("Name", "v");
    w.WriteInteger("Same", kNotSet);
    w.WriteString("e", "");  // an empty value of a one-letter name is no missing value
    std::string error;
    ASSERT_TRUE(w.Flush(error)) << error;
    w.WriteBool("AfterFlush", true);
    EXPECT_TRUE(w.ReadBool("AfterFlush", false));
  }  // the destructor flushes the rest
  TRegistryEx r(path);
  r.KeyPrefix = "\\software\\q\\";
  EXPECT_TRUE(r.KeyExists("Internal"));  // a parent of an existing key exists
  EXPECT_TRUE(r.KeyExists("internal\\toc"));
  EXPECT_FALSE(r.KeyExists("Intern"));
  r.OpenKey("Internal\\TOC");
  EXPECT_EQ(r.ReadInteger("Levels", 1, 9, 3), 9);  // stored values are clamped
  EXPECT_EQ(r.ReadInteger("Missing", 1, 9, kNotSet), kNotSet);
  r.OpenKey("General");
  EXPECT_EQ(r.ReadStr("NAME"), "v");
  EXPECT_EQ(r.ReadStr("e", "dflt"), "");
  EXPECT_TRUE(r.ReadBool("AfterFlush", false));
  EXPECT_EQ(r.ReadInteger("Same", kNotSet, 0x7FFFFFFF, 0), kNotSet);
}

TEST(HiveStore, FlushKeepsWhatAnotherInstanceWrote) {
  const std::string path = qvtest::MakeTempDir("reg") + "/hive.ini";
  TRegistryEx first(path);
  TRegistryEx second(path);
  first.OpenKey("K");
  first.WriteString("mine", "1");
  second.OpenKey("K");
  second.WriteString("theirs", "2");
  second.OpenKey("Other");
  second.WriteString("x", "3");
  std::string error;
  ASSERT_TRUE(second.Flush(error));
  ASSERT_TRUE(first.Flush(error));
  TRegistryEx r(path);
  r.OpenKey("K");
  EXPECT_EQ(r.ReadStr("mine"), "1");
  EXPECT_EQ(r.ReadStr("theirs"), "2");
  r.OpenKey("Other");
  EXPECT_EQ(r.ReadStr("x"), "3");
}

TEST(HiveStore, DamagedHiveReadsEmptyAndIsRepairedOnWrite) {
  const std::string path = qvtest::MakeTempDir("reg") + "/hive.ini";
  static const char kDamaged[] = "\xff\xfe\0garbage=\n[\n";
  qvtest::WriteFile(path, std::string(kDamaged, sizeof kDamaged - 1));
  {
    TRegistryEx w(path);
    w.OpenKey("A");
    EXPECT_EQ(w.ReadInteger("v", 0, 9, 4), 4);
    w.WriteInteger("v", 5);
  }
  TRegistryEx r(path);
  r.OpenKey("A");
  EXPECT_EQ(r.ReadInteger("v", 0, 9, 4), 5);
}

// ----- values kept exactly, byte-order marks, read-only files, links, writes only on change -------

// Writes what a store holds to its file: Save for an ini file, Flush for the hive.
bool Commit(TSettingsStorage& s) {
  if (auto* ini = dynamic_cast<TIniFile*>(&s)) {
    try {
      ini->Save();
    } catch (const EFCreateError&) {
      return false;
    }
    return true;
  }
  std::string error;
  return dynamic_cast<TRegistryEx&>(s).Flush(error);
}

std::string FileOf(const BackEnd& be, const std::string& dir) {
  return dir + (std::string(be.name) == "ini" ? "/s.ini" : "/hive.ini");
}

struct stat StatOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st;
}

TEST(SettingsStorage, ByteOrderMarkKeepsTheFirstSection) {
  const std::string text = "\xEF\xBB\xBF[\\Root\\First]\nv=1\n[\\Root\\Second]\nw=2\n";
  for (const auto& be : BackEnds()) {
    const std::string dir = qvtest::MakeTempDir(be.name);
    qvtest::WriteFile(FileOf(be, dir), text);
    auto r = be.make(dir, false);
    r->KeyPrefix = "\\Root\\";
    r->OpenKey("First");
    EXPECT_EQ(r->ReadInteger("v", 0, 9, 0), 1) << be.name;
  }
  // Writing the hive back keeps the first section.
  const std::string path = qvtest::MakeTempDir("bom") + "/hive.ini";
  qvtest::WriteFile(path, text);
  {
    TRegistryEx w(path);
    w.OpenKey("\\Root\\Second");
    w.WriteInteger("w", 3);
  }
  TRegistryEx r(path);
  r.OpenKey("\\Root\\First");
  EXPECT_EQ(r.ReadInteger("v", 0, 9, 0), 1);
  r.OpenKey("\\Root\\Second");
  EXPECT_EQ(r.ReadInteger("w", 0, 9, 0), 3);
}

TEST(SettingsStorage, BareCarriageReturnsRoundTrip) {
  // A line break is kept as "||" (the settings' line-break mark); a CR on its own comes back.
  const struct {
    std::string value, back;
  } cases[] = {
      {"a\rb", "a\rb"},   {"tail\r", "tail\r"}, {"\r", "\r"},       {"\rlead", "\rlead"},
      {"a\r\nb", "a||b"}, {"a\nb", "a||b"},     {"a\r\r\nb", "a\r||b"}, {"x||y", "x||y"},
  };
  for (const auto& be : BackEnds()) {
    RoundTrip(
        be,
        [&](TSettingsStorage& s) {
          s.OpenKey("K");
          for (size_t i = 0; i < std::size(cases); ++i) s.WriteString("v" + std::to_string(i), cases[i].value);
        },
        [&](TSettingsStorage& s) {
          s.OpenKey("K");
          for (size_t i = 0; i < std::size(cases); ++i)
            EXPECT_EQ(s.ReadStr("v" + std::to_string(i)), cases[i].back) << be.name << " " << i;
        });
  }
  // A flush for an unrelated change leaves values with a CR as they are in the file.
  const std::string path = qvtest::MakeTempDir("cr") + "/hive.ini";
  qvtest::WriteFile(path, "[\\K]\ncr=a\rb\nend=z\r\r\n");
  {
    TRegistryEx w(path);
    w.OpenKey("\\Other");
    w.WriteInteger("x", 1);
  }
  EXPECT_EQ(qvtest::ReadFile(path), "[\\K]\ncr=a\rb\nend=z\r\r\n\n[\\Other]\nx=1\n");
  TRegistryEx r(path);
  r.OpenKey("\\K");
  EXPECT_EQ(r.ReadStr("cr"), "a\rb");
  EXPECT_EQ(r.ReadStr("end"), "z\r");
}

TEST(SettingsStorage, ReadOnlyFileIsLeftAsItIs) {
  for (const auto& be : BackEnds()) {
    const std::string dir = qvtest::MakeTempDir(be.name);
    const std::string file = FileOf(be, dir);
    {
      auto w = be.make(dir, true);
      w->OpenKey("K");
      w->WriteInteger("v", 1);
      ASSERT_TRUE(Commit(*w)) << be.name;
    }
    const std::string before = qvtest::ReadFile(file);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    {
      auto w = be.make(dir, true);
      w->OpenKey("K");
      w->WriteInteger("v", 2);
      EXPECT_FALSE(Commit(*w)) << be.name;
    }
    EXPECT_EQ(qvtest::ReadFile(file), before) << be.name;
    EXPECT_EQ(StatOf(file).st_mode & 07777, 0444u) << be.name;
    ::chmod(file.c_str(), 0644);
  }
}

TEST(SettingsStorage, SymbolicLinkIsWrittenThroughToItsFile) {
  for (const auto& be : BackEnds()) {
    const std::string dir = qvtest::MakeTempDir(be.name);
    const std::string real = qvtest::MakeTempDir("real") + "/settings.ini";
    qvtest::WriteFile(real, "[\\Root\\K]\nold=1\n");
    std::filesystem::create_symlink(real, FileOf(be, dir));
    {
      auto w = be.make(dir, true);
      w->KeyPrefix = "\\Root\\";
      w->OpenKey("K");
      w->WriteInteger("new", 2);
      ASSERT_TRUE(Commit(*w)) << be.name;
    }
    EXPECT_TRUE(std::filesystem::is_symlink(FileOf(be, dir))) << be.name;
    TIniFile r(real, false);
    r.KeyPrefix = "\\Root\\";
    r.OpenKey("K");
    EXPECT_EQ(r.ReadInteger("new", 0, 9, -1), 2) << be.name;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(real).parent_path()))
      EXPECT_EQ(entry.path().filename(), "settings.ini") << be.name;  // no temporary file left
  }
}

TEST(HiveStore, OnlyAChangeRewritesTheFile) {
  const std::string path = qvtest::MakeTempDir("ro") + "/hive.ini";
  const std::string text = "[\\Software\\Q\\General]\nDocsToKeep=7\n";
  qvtest::WriteFile(path, text);
  const ino_t inode = StatOf(path).st_ino;
  {
    // A run that only reads opens many keys that are not there.
    TRegistryEx r(path);
    r.KeyPrefix = "\\Software\\Q\\";
    for (const char* key : {"Internal", "Internal\\TOC", "View", "General", "ColorScheme"}) {
      r.OpenKey(key);
      r.ReadInteger("x", 0, 9, 0);
    }
    EXPECT_TRUE(r.KeyExists("Internal\\TOC"));  // opened keys exist for this store
  }
  {
    // Writing back the value already stored changes nothing either.
    TRegistryEx w(path);
    w.KeyPrefix = "\\Software\\Q\\";
    w.OpenKey("View");
    w.OpenKey("General");
    w.WriteInteger("DocsToKeep", 7);
    std::string error;
    ASSERT_TRUE(w.Flush(error)) << error;
  }
  EXPECT_EQ(qvtest::ReadFile(path), text);
  EXPECT_EQ(StatOf(path).st_ino, inode);
  {
    TRegistryEx w(path);
    w.KeyPrefix = "\\Software\\Q\\";
    w.OpenKey("View");
    w.OpenKey("General");
    w.WriteInteger("DocsToKeep", 8);
  }
  EXPECT_EQ(qvtest::ReadFile(path), "[\\Software\\Q\\General]\nDocsToKeep=8\n");  // no empty "View"
}

TEST(HiveStore, LargeHiveFindsEveryKeyAndValue) {
  // 20,000 keys and one key of 60,000 values, every one looked up, checked and written back
  // (the loading pattern of many "DateTime" keys and long strings in pieces). A search through
  // all keys or values for each lookup needs thousands of millions of comparisons.
  const std::string path = qvtest::MakeTempDir("big") + "/hive.ini";
  constexpr int kKeys = 20000, kValues = 60000;
  std::string text;
  for (int i = 0; i < kKeys; ++i)
    text += "[\\Software\\Q\\DateTime\\" + std::to_string(i) + "]\nFmt=" + std::to_string(i) + "\n";
  text += "[\\Software\\Q\\Long]\nCount=" + std::to_string(kValues) + "\n";
  for (int i = 0; i < kValues; ++i) text += std::to_string(i) + "=p" + std::to_string(i) + "\n";
  qvtest::WriteFile(path, text);
  TRegistryEx hive(path);
  hive.KeyPrefix = "\\software\\q\\";
  int wrong = 0;
  for (int i = 0; i < kKeys; ++i) {
    const std::string key = "DATETIME\\" + std::to_string(i);
    if (!hive.KeyExists(key)) ++wrong;
    hive.OpenKey(key);
    if (hive.ReadInteger("fmt", 0, INT32_MAX, -1) != i) ++wrong;
    hive.WriteInteger("Fmt", i);
  }
  EXPECT_FALSE(hive.KeyExists("DateTime\\" + std::to_string(kKeys)));
  std::string joined;
  hive.ReadLongString("Long", "", joined);
  EXPECT_EQ(wrong, 0);
  EXPECT_TRUE(joined.starts_with("p0p1p2")) << joined.substr(0, 10);
  EXPECT_TRUE(joined.ends_with("p" + std::to_string(kValues - 1)));
  std::string error;
  ASSERT_TRUE(hive.Flush(error)) << error;
  EXPECT_EQ(qvtest::ReadFile(path), text);  // the same values again: the file is not rewritten
}

TEST(HiveStore, NormalizeKeyPath) {
  EXPECT_EQ(NormalizeKeyPath("\\Software\\\\Q\\General\\"), "Software\\Q\\General");
  EXPECT_EQ(NormalizeKeyPath("\\"), "");
}

}  // namespace
