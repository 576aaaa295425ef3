#include "foundation/fonts/font_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/font_bytes.h"
#include "support/test_env.h"

using namespace qv;

namespace {

std::string Utf16Be(const std::u16string& text) {
  std::string s;
  for (char16_t c : text) Put16(s, c);
  return s;
}

struct NameRecord {
  uint16_t platform, encoding, nameId;
  std::string bytes;
};

// A 'name' table of the records; the strings start after `filler` bytes of the storage area.
std::string NameTable(const std::vector<NameRecord>& records, size_t filler = 1) {
  std::string header, strings(filler, '\0');
  Put16(header, 0);
  Put16(header, static_cast<uint16_t>(records.size()));
  Put16(header, static_cast<uint16_t>(6 + 12 * records.size()));
  for (const NameRecord& r : records) {
    Put16(header, r.platform);
    Put16(header, r.encoding);
    Put16(header, 0x409);
    Put16(header, r.nameId);
    Put16(header, static_cast<uint16_t>(r.bytes.size()));
    Put16(header, static_cast<uint16_t>(strings.size()));
    strings += r.bytes;
  }
  return header + strings;
}

std::string HeadTable(uint16_t macStyle) {
  std::string s(44, '\0');
  Put16(s, macStyle);
  s += std::string(8, '\0');
  return s;
}

// One font at `base` bytes into its file: header, directory of 'head' and 'name', tables.
std::string Font(uint32_t base, const std::vector<NameRecord>& names, uint16_t macStyle,
                 uint32_t version = 0x00010000, size_t nameFiller = 1) {
  const std::string head = HeadTable(macStyle), name = NameTable(names, nameFiller);
  std::string s;
  Put32(s, version);
  Put16(s, 2);
  Put16(s, 0);
  Put16(s, 0);
  Put16(s, 0);
  const uint32_t headAt = base + 12 + 32;
  s += "head";
  Put32(s, 0);
  Put32(s, headAt);
  Put32(s, static_cast<uint32_t>(head.size()));
  s += "name";
  Put32(s, 0);
  Put32(s, headAt + static_cast<uint32_t>(head.size()));
  Put32(s, static_cast<uint32_t>(name.size()));
  return s + head + name;
}

std::vector<NameRecord> Family(const std::u16string& name) {
  return {{3, 1, 4, Utf16Be(name + u" Full")}, {3, 1, 1, Utf16Be(name)}};
}

TEST(FontFiles, SwapBytes) {
  EXPECT_EQ(SwapBytes16(0x1234), 0x3412);
  EXPECT_EQ(SwapBytes32(0x12345678u), 0x78563412u);
  EXPECT_EQ(ReadBigEndian32("\x00\x01\x00\x00"), 0x00010000u);
}

TEST(FontFiles, ReadsFamiliesStylesAndCollections) {
  const std::string dir = qvtest::MakeTempDir("fonts");
  qvtest::WriteFile(dir + "/a-regular.ttf", Font(0, Family(u"Alpha"), 0));
  qvtest::WriteFile(dir + "/sub/a-bolditalic.otf", Font(0, Family(u"Alpha"), 3, 0x4F54544F));
  // A symbol font names itself in UTF-16 under encoding 0; a Macintosh name is single bytes and
  // repeats the same family, which is collected once.
  qvtest::WriteFile(dir + "/sym.ttf",
                    Font(0, {{3, 0, 1, Utf16Be(u"Sigma Sym")}, {1, 0, 1, "Sigma Sym"}}, 0));
  // A collection of two fonts.
  std::string ttc = "ttcf";
  Put32(ttc, 0x00010000);
  Put32(ttc, 2);
  const uint32_t first = 20;
  const std::string f1 = Font(first, Family(u"Beta"), 1);
  Put32(ttc, first);
  Put32(ttc, first + static_cast<uint32_t>(f1.size()));
  ttc += f1 + Font(first + static_cast<uint32_t>(f1.size()), Family(u"Beta"), 2);
  qvtest::WriteFile(dir + "/beta.ttc", ttc);
  // Files that are no fonts, or damaged ones, are skipped.
  qvtest::WriteFile(dir + "/readme.txt", "not a font at all");
  qvtest::WriteFile(dir + "/broken.ttf", Font(0, Family(u"Broken"), 0).substr(0, 50));
  qvtest::WriteFile(dir + "/tiny.ttf", "OT");

  std::vector<TFontFileName> names;
  std::vector<TFontFile> files;
  FindFontFiles({dir}, names, files);

  std::vector<std::string> got;
  for (const TFontFileName& n : names) {
    const TFontFile& f = files.at(n.FileIndex);
    const std::string file = f.FileName.substr(dir.size() + 1);
    got.push_back(n.Name + "|" + file + "|" + std::to_string(f.Style));
  }
  std::sort(got.begin(), got.end());
  const std::vector<std::string> expected = {
      "Alpha|a-regular.ttf|0", "Alpha|a-regular.ttf|1", "Alpha|a-regular.ttf|2",
      "Alpha|sub/a-bolditalic.otf|3",
      "Beta|beta.ttc|1", "Beta|beta.ttc|2", "Beta|beta.ttc|0", "Beta|beta.ttc|3",
      "Sigma Sym|sym.ttf|0", "Sigma Sym|sym.ttf|1", "Sigma Sym|sym.ttf|2", "Sigma Sym|sym.ttf|3",
  };
  std::vector<std::string> sortedExpected = expected;
  std::sort(sortedExpected.begin(), sortedExpected.end());
  EXPECT_EQ(got, sortedExpected);
  // The names list itself ends sorted by name.
  for (size_t i = 1; i < names.size(); ++i) EXPECT_LE(names[i - 1].Name, names[i].Name);
}

TEST(FontFiles, FamilyNameAtTheStartOfTheStringStorage) {
  // Offset 0 is the first byte of the name table's strings, a place like any other.
  const std::string dir = qvtest::MakeTempDir("fonts0");
  qvtest::WriteFile(dir + "/gamma.ttf", Font(0, {{3, 1, 1, Utf16Be(u"Gamma")}}, 0, 0x00010000, 0));
  qvtest::WriteFile(dir + "/delta.ttf", Font(0, {{1, 0, 1, "Delta"}, {3, 1, 4, Utf16Be(u"Delta Full")}},
                                              2, 0x00010000, 0));
  std::vector<TFontFileName> names;
  std::vector<TFontFile> files;
  ReadFontFile(dir + "/gamma.ttf", names, files);
  ReadFontFile(dir + "/delta.ttf", names, files);
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0].Name, "Gamma");
  EXPECT_EQ(names[1].Name, "Delta");
  EXPECT_EQ(files.at(names[1].FileIndex).Style, FontStyleItalic);
}

}  // namespace
