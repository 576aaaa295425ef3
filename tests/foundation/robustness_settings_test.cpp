// Hostile settings: damaged, random and oversized ini files and hives, broken numbers and hex
// blobs. Every read gives a value in range or the default; nothing faults, hangs or loses the
// user's other settings.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <random>
#include <string>

#include "foundation/settings/ini_file.h"
#include "foundation/settings/registry_ex.h"
#include "foundation/settings/settings_storage.h"
#include "foundation/settings/stored_path.h"
#include "foundation/options_test_support.h"
#include "support/test_env.h"

using namespace qv;

namespace {

std::string RandomText(std::mt19937& rng, size_t maxLength, std::string_view alphabet) {
  std::string s(rng() % (maxLength + 1), '\0');
  for (char& c : s) c = alphabet[rng() % alphabet.size()];
  return s;
}

TEST(SettingsRobustness, IntegersThatDoNotReadAreRejected) {
  const struct {
    std::string text;
    bool reads;
    int32_t value;
  } cases[] = {
      {"2147483647", true, 2147483647},   {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},           {"-2147483649", false, 0},
      {"99999999999999999999", false, 0}, {"$FFFFFFFF", true, -1},
      {"$100000000", false, 0},           {"-$80000000", false, 0},
      {"$", false, 0},                    {"-", false, 0},
      {"", false, 0},                     {"   ", false, 0},
      {"12 ", false, 0},                  {"0x10", false, 0},
      {"1e3", false, 0},                  {"+7", true, 7},
      {"--1", false, 0},                  {std::string(5000, '9'), false, 0},
  };
  for (const auto& c : cases) {
    int32_t value = 0;
    EXPECT_EQ(ParseIniInteger(c.text, value), c.reads) << c.text;
    if (c.reads) {
      EXPECT_EQ(value, c.value) << c.text;
    }
  }
}

TEST(SettingsRobustness, RandomFilesGiveValuesInRangeOrDefaults) {
  const std::string dir = qvtest::MakeTempDir("rndini");
  std::mt19937 rng(2024);
  static constexpr char kAlphabet[] = "[]=\n\r\\$-0123456789abAB \x01\xff";
  const std::string_view alphabet(kAlphabet, sizeof kAlphabet - 1);
  for (int i = 0; i < 400; ++i) {
    const std::string text = "[\\K]\nn=" + RandomText(rng, 12, alphabet) + "\n" + RandomText(rng, 300, alphabet);
    qvtest::WriteFile(dir + "/s.ini", text);
    for (int store = 0; store < 2; ++store) {
      std::unique_ptr<TSettingsStorage> s;
      if (store == 0)
        s = std::make_unique<TIniFile>(dir + "/s.ini", false);
      else
        s = std::make_unique<TRegistryEx>(dir + "/s.ini");
      s->OpenKey("\\K");
      const int32_t v = s->ReadInteger("n", -5, 5, 1000);
      EXPECT_TRUE(v == 1000 || (v >= -5 && v <= 5)) << v;
      std::string longText;
      s->ReadLongString("K", "default", longText);
      TMemory block;
      s->ReadBinary("K", block);
    }
  }
}

TEST(SettingsRobustness, DamagedLongStringsAndBlobs) {
  const std::string dir = qvtest::MakeTempDir("blobini");
  const struct {
    const char* name;
    std::string section;
    std::string expectedLong;  // ReadLongString with default "-"
    std::string expectedBlob;  // ReadBinary bytes
  } cases[] = {
      {"absurd count", "Count=2147483647\n0=ab\n1=cd\n", "abcd", "\xab\xcd"},
      {"negative count", "Count=-4\n0=ab\n", "-", ""},
      {"count beyond 32 bits", "Count=99999999999\n0=ab\n", "-", ""},
      {"piece missing", "Count=3\n0=ab\n2=cd\n", "ab", "\xab"},
      {"not hex", "Count=1\n0=abzz\n", "abzz", ""},
      {"odd digit", "Count=1\n0=abc\n", "abc", "\xab"},
      {"odd non-hex digit", "Count=1\n0=abq\n", "abq", ""},
      {"no count", "0=ab\n", "-", ""},
  };
  for (const auto& c : cases) {
    qvtest::WriteFile(dir + "/b.ini", "[\\Blob]\n" + c.section);
    TIniFile ini(dir + "/b.ini", false);
    std::string text;
    ini.ReadLongString("\\Blob", "-", text);
    EXPECT_EQ(text, c.expectedLong) << c.name;
    TMemory block;
    ini.ReadBinary("\\Blob", block);
    EXPECT_EQ(block.ToString(), c.expectedBlob) << c.name;
  }
}

TEST(SettingsRobustness, BinaryBlocksOfEveryByteRoundTrip) {
  const std::string dir = qvtest::MakeTempDir("rtini");
  std::mt19937 rng(77);
  std::string block(3000, '\0');  // long enough to be split into pieces
  for (char& c : block) c = static_cast<char>(rng());
  {
    TIniFile ini(dir + "/a.ini", true);
    ini.WriteBinary("\\Blob", block.data(), static_cast<int32_t>(block.size()));
    ini.Save();
    TRegistryEx hive(dir + "/hive.ini");
    hive.WriteBinary("\\Blob", block.data(), static_cast<int32_t>(block.size()));
    std::string error;
    ASSERT_TRUE(hive.Flush(error)) << error;
  }
  TIniFile ini(dir + "/a.ini", false);
  TRegistryEx hive(dir + "/hive.ini");
  for (TSettingsStorage* s : {static_cast<TSettingsStorage*>(&ini), static_cast<TSettingsStorage*>(&hive)}) {
    TMemory back;
    s->ReadBinary("\\Blob", back);
    EXPECT_EQ(back.ToString(), block);
  }
}

TEST(SettingsRobustness, LargeHivesReadInLinearTime) {
  // 20,000 keys, and one key repeating a value name 20,000 times (the first occurrence counts).
  // Searching every earlier key or value for each line would take billions of comparisons.
  const std::string dir = qvtest::MakeTempDir("bighive");
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "[\\Software\\K" + std::to_string(i) + "]\nv=" + std::to_string(i) + "\n";
  text += "[\\Software\\Same]\n";
  for (int i = 0; i < 20000; ++i) text += (i % 2 ? "NAME=" : "name=") + std::to_string(i) + "\n";
  qvtest::WriteFile(dir + "/hive.ini", text);
  TRegistryEx hive(dir + "/hive.ini");
  hive.OpenKey("\\Software\\k19999");
  EXPECT_EQ(hive.ReadInteger("V", 0, 100000, -1), 19999);
  hive.OpenKey("\\Software\\Same");
  EXPECT_EQ(hive.ReadInteger("Name", 0, 100000, -1), 0);
  hive.WriteInteger("New", 1);
  std::string error;
  ASSERT_TRUE(hive.Flush(error)) << error;
  TRegistryEx again(dir + "/hive.ini");
  again.OpenKey("\\Software\\K10000");
  EXPECT_EQ(again.ReadInteger("v", 0, 100000, -1), 10000);
  again.OpenKey("\\Software\\Same");
  EXPECT_EQ(again.ReadInteger("new", 0, 9, -1), 1);
}

TEST(SettingsRobustness, HiveThatCannotBeReadIsNotOverwritten) {
  const std::string dir = qvtest::MakeTempDir("lockedhive");
  const std::string fifo = dir + "/fifo.ini";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct Case {
    std::string path;
    bool needsNonRoot;
  };
  const std::string unreadable = dir + "/unreadable.ini";
  qvtest::WriteFile(unreadable, "[\\Software\\Other]\nkeep=1\n");
  ASSERT_EQ(::chmod(unreadable.c_str(), 0200), 0);
  for (const Case& c : {Case{fifo, false}, Case{unreadable, true}}) {
    if (c.needsNonRoot && ::geteuid() == 0) continue;  // root reads every file
    TRegistryEx hive(c.path);
    hive.OpenKey("\\Software\\Mine");
    hive.WriteInteger("x", 1);
    std::string error;
    EXPECT_FALSE(hive.Flush(error)) << c.path;
    EXPECT_FALSE(error.empty());
  }
  struct stat st {};
  ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));  // still the FIFO, not replaced by a file of one value
  ::chmod(unreadable.c_str(), 0600);
  EXPECT_EQ(qvtest::ReadFile(unreadable), "[\\Software\\Other]\nkeep=1\n");
}

TEST(SettingsRobustness, BinarySettingTakesOnlyWholeValues) {
  const struct {
    const char* stored;
    const char* expected;  // 4 bytes
  } cases[] = {
      {"0a0b0c0d", "\x0a\x0b\x0c\x0d"}, {"0a0b0c", "DFLT"}, {"0a0b0c0d0e", "DFLT"},
      {"0a0b0c0g", "DFLT"},            {"", "DFLT"},       {"0A0B0C0D", "\x0a\x0b\x0c\x0d"},
  };
  const std::string dir = qvtest::MakeTempDir("binset");
  for (const auto& c : cases) {
    qvtest::WriteFile(dir + "/b.ini", std::string("[\\K]\nv=") + c.stored + "\n");
    TIniFile ini(dir + "/b.ini", false);
    ini.OpenKey("\\K");
    char out[4] = {'x', 'x', 'x', 'x'};
    ReadBinarySetting(ini, "v", out, "DFLT", 4);
    EXPECT_EQ(std::string(out, 4), c.expected) << c.stored;
  }
}

TEST(SettingsRobustness, StoredPathsOfAnyShape) {
  SetStoredPathContext({"/home/ann/docs/", "/media/stick", true, false});
  const struct {
    std::string stored, decoded;
  } cases[] = {
      {"", ""},
      {"%", "/home/ann/docs/"},
      {"%%", "/media/stick"},
      {"%%%", "/media/stick%"},
      {"%%/a.rtf", "/media/stick/a.rtf"},
      {"relative.rtf", "relative.rtf"},
      {std::string(1, '\0') + "x", std::string(1, '\0') + "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(DecodeStoredPath(c.stored), c.decoded) << c.stored;
  // Encoding and decoding give back any path, however it begins.
  for (const std::string& path : {std::string("/home/ann/docs/%x"), std::string("/home/ann/docs/%%y"),
                                  std::string("/media/stick"), std::string("/media/stickier/a"),
                                  std::string()})
    EXPECT_EQ(DecodeStoredPath(EncodeStoredPath(path)), path) << path;
  // A missing file of many components is looked for on the program's drive without fault.
  std::string deep;
  for (int i = 0; i < 2000; ++i) deep += "/d";
  std::string path = deep + "/x.rtf";
  FixPortableDrive(path);
  EXPECT_EQ(path, deep + "/x.rtf");
  ResetStoredPathContext();
}

// Every option read from a file whose values are all garbage: loading keeps each option in its
// range, and what is saved then reads back to the same file.
class OptionsRobustness : public OptionsTest {};

TEST_F(OptionsRobustness, GarbageValuesLoadAndSaveStably) {
  const std::string defaults = SaveIniText(Opt, Holder);
  std::mt19937 rng(31337);
  const std::string garbage[] = {"",           "-",          "$",         "99999999999",
                                 "-99999999999", "$FFFFFFFF", "2147483647", "-2147483648",
                                 "zz",         "||||",       "%%",        "%",
                                 "\x01\x02\xff", std::string(3000, '7'), "1,2,3", "0"};
  std::string damaged;
  size_t pos = 0;
  while (pos < defaults.size()) {
    size_t end = defaults.find('\n', pos);
    if (end == std::string::npos) end = defaults.size();
    std::string line = defaults.substr(pos, end - pos);
    pos = end + 1;
    const size_t eq = line.find('=');
    if (!line.empty() && line[0] != '[' && eq != std::string::npos)
      line = line.substr(0, eq + 1) + garbage[rng() % std::size(garbage)];
    damaged += line + "\n";
  }
  LoadIniText(damaged);
  const std::string first = SaveIniText(Opt, Holder);
  TOptions reloaded;
  THolderSettings reloadedHolder;
  {
    const std::string file = Dir + "/again.ini";
    qvtest::WriteFile(file, first);
    TIniFile ini(file, false);
    LoadAllOptions(ini, Ctx, reloaded, reloadedHolder);
  }
  // Each load counts a run; apart from that, the values saved read back unchanged.
  auto withoutRunCount = [](std::string text) {
    const size_t at = text.find("\nRunCount=");
    if (at != std::string::npos) text.erase(at, text.find('\n', at + 1) - at);
    return text;
  };
  EXPECT_EQ(withoutRunCount(SaveIniText(reloaded, reloadedHolder)), withoutRunCount(first));
}

// ----- mutated settings files ---------------------------------------------------------------------

// One way of damaging a settings file, as a damaged disk, a broken copy or a careless edit would.
std::string Mutate(std::string text, std::mt19937& rng) {
  auto at = [&](size_t extra = 0) { return static_cast<size_t>(rng() % (text.size() + extra + 1)); };
  switch (rng() % 8) {
    case 0:  // truncated
      text.resize(at());
      break;
    case 1:  // bytes flipped
      for (int n = 1 + static_cast<int>(rng() % 8); n > 0 && !text.empty(); --n)
        text[at() % text.size()] = static_cast<char>(rng());
      break;
    case 2: {  // a huge line, sometimes a section header or a value
      static const char* const kStarts[] = {"", "[", "x=", "[\\Software\\"};
      std::string line = kStarts[rng() % 4] + std::string(4096 + rng() % (1 << 20), static_cast<char>('a' + rng() % 26));
      text.insert(at(), line + "\n");
      break;
    }
    case 3:  // a byte-order mark, at the start or elsewhere
      text.insert(rng() % 2 ? 0 : at(), "\xEF\xBB\xBF");
      break;
    case 4:  // line ends turned into lone CRs, or CRs put in
      for (int n = 1 + static_cast<int>(rng() % 16); n > 0; --n) {
        const size_t lf = text.find('\n', at());
        if (lf != std::string::npos && rng() % 2) text[lf] = '\r';
        else text.insert(at(), "\r");
      }
      break;
    case 5:  // NULs
      for (int n = 1 + static_cast<int>(rng() % 8); n > 0; --n) text.insert(at(), 1, '\0');
      break;
    case 6: {  // a piece cut out
      const size_t from = at(), length = rng() % 200;
      text.erase(from, length);
      break;
    }
    default: {  // a piece repeated (sections and values twice)
      const size_t from = at(), length = std::min<size_t>(rng() % 2000, text.size() - from);
      text.insert(at(), text.substr(from, length));
      break;
    }
  }
  return text;
}

// What a value written to a store reads back as: a line break (CR LF or LF) is "||", every other
// byte is itself.
std::string ReadsBackAs(const std::string& value) {
  std::string back;
  for (size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') continue;
    back += value[i] == '\n' ? std::string("||") : std::string(1, value[i]);
  }
  return back;
}

int64_t PeakMemoryKb() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST_F(OptionsRobustness, MutatedSettingsFilesLoadAndKeepWhatIsWritten) {
  // A saved settings file with values that hold CRs, line breaks and bars, damaged one way a
  // round. Both stores read it and load every option from it; a value then written into it (into
  // the damaged hive, or a fresh ini file) reads back exactly.
  Opt.General.UsrName = "ann\rbob";
  Opt.Internal.LastUsedDocTemplate = "a||b\r\nc\r";
  Opt.Internal.FontHistory = "Arial\r\nTimes New Roman";
  const std::string base = SaveIniText(Opt, Holder);
  const std::string file = Dir + "/mutated.ini";
  std::mt19937 rng(20260112);
  static constexpr char kValueBytes[] = "ab|=[]\r\n\0\xEF\xBB\xBF\xff ";
  const int64_t memoryBefore = PeakMemoryKb();
  for (int round = 0; round < 160; ++round) {
    std::string text = base;
    for (int n = 1 + static_cast<int>(rng() % 3); n > 0; --n) text = Mutate(std::move(text), rng);
    qvtest::WriteFile(file, text);
    std::string value = RandomText(rng, 40, std::string_view(kValueBytes, sizeof kValueBytes - 1));
    {
      TIniFile ini(file, false);
      TOptions o;
      THolderSettings h;
      LoadAllOptions(ini, Ctx, o, h);
    }
    {
      TRegistryEx hive(file);
      TOptions o;
      THolderSettings h;
      LoadAllOptions(hive, Ctx, o, h);
      hive.KeyPrefix = "\\Robustness\\";
      hive.OpenKey("Check");
      hive.WriteString("Value", value);
      std::string error;
      ASSERT_TRUE(hive.Flush(error)) << error;
    }
    TRegistryEx hive(file);
    hive.KeyPrefix = "\\Robustness\\";
    hive.OpenKey("Check");
    EXPECT_EQ(hive.ReadStr("Value", "missing"), ReadsBackAs(value)) << "round " << round;
    {
      TIniFile ini(file, true);
      ini.KeyPrefix = "\\Robustness\\";
      ini.OpenKey("Check");
      ini.WriteString("Value", value);
      ini.Save();
    }
    TIniFile ini(file, false);
    ini.KeyPrefix = "\\Robustness\\";
    ini.OpenKey("Check");
    EXPECT_EQ(ini.ReadStr("Value", "missing"), ReadsBackAs(value)) << "round " << round;
  }
  // Files of at most a few megabytes never take more than a bounded amount of memory.
  EXPECT_LT(PeakMemoryKb() - memoryBefore, 256 * 1024);
}

}  // namespace
