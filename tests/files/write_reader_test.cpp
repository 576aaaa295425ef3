#include "files/write/write_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/content_stream.h"
#include "document/doc.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "document/tab_stops.h"
#include "files_test_support.h"

using namespace qv;
using namespace qvtest;

namespace {

// Writes a Write document byte by byte: header page, text, character pages, paragraph pages
// and the font table, each run with its property bytes (empty for the defaults).
struct WriBuilder {
  struct Run {
    uint32_t End;  // offset in the text, from 0 (the builder adds 128)
    std::vector<uint8_t> Props;
  };
  std::string Text;
  std::vector<Run> CharRuns;
  std::vector<Run> ParRuns;
  std::vector<std::string> Fonts = {"Arial", "Courier New"};
  bool FontTable = true;

  static void Put16(std::string& s, size_t at, uint32_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
  }
  static void Put32(std::string& s, size_t at, uint32_t v) {
    Put16(s, at, v & 0xFFFF);
    Put16(s, at + 2, v >> 16);
  }
  static std::string RunPage(const std::vector<Run>& runs) {
    std::string page(128, '\0');
    size_t blockAt = 127;
    for (size_t k = 0; k < runs.size(); ++k) {
      Put32(page, 4 + 6 * k, runs[k].End + 128);
      if (runs[k].Props.empty()) {
        Put16(page, 8 + 6 * k, 0xFFFF);
        continue;
      }
      blockAt -= 1 + runs[k].Props.size();
      page[blockAt] = static_cast<char>(runs[k].Props.size());
      std::copy(runs[k].Props.begin(), runs[k].Props.end(), page.begin() + blockAt + 1);
      Put16(page, 8 + 6 * k, static_cast<uint32_t>(blockAt - 4));
    }
    page[127] = static_cast<char>(runs.size());
    return page;
  }
  std::string Build() const {
    std::string file(128, '\0');
    Put16(file, 0, 0xBE31);
    Put16(file, 4, 0xAB00);
    file += Text;
    const uint32_t textEnd = static_cast<uint32_t>(file.size());
    Put32(file, 14, textEnd);
    file.resize((file.size() + 127) / 128 * 128, '\0');
    file += RunPage(CharRuns);
    Put16(file, 18, static_cast<uint32_t>(file.size() / 128));
    file += RunPage(ParRuns);
    const size_t fontPage = file.size() / 128;
    if (FontTable) {
      // An entry that does not fit on the page is put on the next one, the rest of the page
      // marked 0xFFFF.
      std::string page(128, '\0');
      size_t at = 2;
      for (const std::string& f : Fonts) {
        if (at + 2 + f.size() + 2 + 2 > page.size()) {
          Put16(page, at, 0xFFFF);
          file += page;
          page.assign(128, '\0');
          at = 0;
        }
        Put16(page, at, static_cast<uint32_t>(f.size() + 2));
        page[at + 2] = 1;  // family
        std::copy(f.begin(), f.end(), page.begin() + at + 3);
        at += 2 + f.size() + 2;
      }
      file += page;
    }
    Put16(file, 28, static_cast<uint32_t>(FontTable ? fontPage : fontPage + 5));
    Put16(file, 96, static_cast<uint32_t>(file.size() / 128));
    return file;
  }
};

// Character properties: font code, bold, italic, size, underline, position.
std::vector<uint8_t> Chp(int font, bool bold, bool italic, int size, bool underline, int8_t pos) {
  return {1, static_cast<uint8_t>((bold ? 1 : 0) | (italic ? 2 : 0) | (font & 63) << 2),
          static_cast<uint8_t>(size), static_cast<uint8_t>(underline ? 1 : 0),
          static_cast<uint8_t>(font >> 6), static_cast<uint8_t>(pos)};
}

// Paragraph properties: alignment, right, left and first indents, line spacing, flags, tabs.
std::vector<uint8_t> Pap(int align, int right, int left, int first, int spacing, uint8_t flags,
                         std::vector<std::pair<int, int>> tabs = {}) {
  std::vector<uint8_t> p(22 + 4 * tabs.size(), 0);
  p[0] = 0x3D;
  p[1] = static_cast<uint8_t>(align);
  auto put = [&p](size_t at, int v) {
    p[at] = static_cast<uint8_t>(v & 0xFF);
    p[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
  };
  put(4, right);
  put(6, left);
  put(8, first);
  put(10, spacing);
  p[16] = flags;
  for (size_t k = 0; k < tabs.size(); ++k) {
    put(22 + 4 * k, tabs[k].first);
    p[24 + 4 * k] = static_cast<uint8_t>(tabs[k].second);
  }
  return p;
}

class WriteReader : public ::testing::Test {
 protected:
  void SetUp() override { EnsureFontManager(); }
  static TWriReadResult Read(TDoc& doc, const std::string& bytes) {
    return ReadWri(doc, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  }
};

TEST_F(WriteReader, ReadsTextRunsParagraphFormatsAndFonts) {
  WriBuilder b;
  b.Text = "Hello World\r\n\r\nTab\there\f\r\n";
  // "Hel" plain, "lo World" bold 14 pt Courier New (a change inside a word), the rest italic,
  // underlined and raised.
  b.CharRuns = {{3, {}}, {11, Chp(1, true, false, 28, false, 0)},
                {26, Chp(0, false, true, 24, true, 6)}};
  b.ParRuns = {{13, Pap(1, 100, 720, -360, 360, 0)}, {15, {}},
               {26, Pap(3, 0, 0, 0, 240, 0, {{1440, 0}, {2880, 3}})}};
  TDoc doc(true);
  const TWriReadResult r = Read(doc, b.Build());
  ASSERT_TRUE(r.Ok) << r.Error;
  // The run that starts inside "Hello" brings all 23 properties as tags at that point (before the
  // stream is brought to normal form).
  TStreamItem item;
  const TMemory& stream = doc.Par(0)->Content;
  int32_t formatTags = 0, textBefore = 0;
  for (int32_t off = 0; ReadStreamItem(stream.Data, stream.Length, off, item); off += item.Size) {
    if (item.ItemType == TStreamItem::siText && formatTags > 0) break;  // "lo World"
    if (item.ItemType == TStreamItem::siText) textBefore += item.Size;
    if (item.ItemType == TStreamItem::siTag && IsFormatTagKind(item.Tag.Kind)) ++formatTags;
  }
  EXPECT_EQ(textBefore, 3);
  EXPECT_EQ(formatTags, TCharFormat::Count);
  EXPECT_EQ(ParagraphTexts(doc),
            (std::vector<std::u16string>{u"Hello World", u"", u"Tab\there\b", u""}));  // page break 8
  const TParFormat& first = doc.Par(0)->Format;
  EXPECT_EQ(first.Alignment, 1);
  EXPECT_EQ(first.RightIndent, 100);
  EXPECT_EQ(first.LeftIndent, 720);
  EXPECT_EQ(first.FirstIndent, -360);
  EXPECT_EQ(first.LineSpacing, 360);
  EXPECT_EQ(doc.Par(1)->Format.Alignment, 0);  // a run with the default properties
  EXPECT_EQ(doc.Par(1)->Format.LineSpacing, 240);
  const TParFormat& third = doc.Par(2)->Format;
  EXPECT_EQ(third.Alignment, 3);
  const TTabTable& tabs = GetTabManager().Table(third.TabSet);
  ASSERT_EQ(tabs.size(), 2u);
  EXPECT_EQ(TabStopPosition(tabs[0]), 1440);
  EXPECT_EQ(TabStopKind(tabs[0]), tkLeft);
  EXPECT_EQ(TabStopKind(tabs[1]), tkDecimal);
  // The last paragraph takes the format in force at the end.
  EXPECT_EQ(doc.Par(3)->Format.Alignment, 3);
  TCharFormat f;
  doc.Par(0)->GetCharFormatAt(1, f);
  EXPECT_EQ(f.Bold, 0);
  doc.Par(0)->GetCharFormatAt(4, f);
  EXPECT_EQ(f.Bold, 1);
  EXPECT_EQ(f.Size, 28);
  ASSERT_NE(FontManager(), nullptr);
  EXPECT_EQ(FontManager()->GetFaceName(f.Font), FontManager()->GetFaceName(
                                                     FontManager()->FindFont("Courier New")));
  doc.Par(2)->GetCharFormatAt(1, f);
  EXPECT_EQ(f.Italic, 1);
  EXPECT_EQ(f.Underline, 1);
  EXPECT_EQ(f.Script, 1);
  EXPECT_EQ(FontManager()->GetFaceName(f.Font), FontManager()->GetFaceName(
                                                     FontManager()->FindFont("Arial")));
}

TEST_F(WriteReader, RunningHeadsAndPicturesAreLeftOutAndAMissingFontTableKeepsTheDefaultFont) {
  WriBuilder b;
  std::string picture(40, '\0');
  picture[0] = 8;  // mapping mode of a metafile picture
  std::string object(40, '\0');
  object[0] = static_cast<char>(227);  // an embedded object
  b.Text = "Header\r\n" + picture + "\r\n" + object + "\r\nBody\r\n";
  const uint32_t h = 8, p = h + 42, o = p + 42;
  b.ParRuns = {{h, Pap(0, 0, 0, 0, 240, 0x06)}, {p, Pap(0, 0, 0, 0, 240, 0x10)},
               {o, Pap(0, 0, 0, 0, 240, 0x10)}, {o + 6, {}}};
  b.CharRuns = {{o + 6, Chp(1, false, false, 24, false, 0)}};
  b.FontTable = false;
  TDoc doc(true);
  const TWriReadResult r = Read(doc, b.Build());
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(ParagraphTexts(doc), (std::vector<std::u16string>{u"Body", u""}));
  EXPECT_EQ(r.PicturesSkipped, 1);
  TCharFormat f;
  doc.Par(0)->GetCharFormatAt(0, f);
  EXPECT_EQ(f.Font, DefaultCharFormat.Font);
}

// A font table over several pages: the font codes reach past 63 (their high bits in byte 4), a
// face the program does not know is registered, and a face name is cut after 33 characters.
TEST_F(WriteReader, FontTableAcrossPagesWithHighCodesAndUnknownFaces) {
  WriBuilder b;
  b.Fonts.clear();
  for (int k = 0; k < 70; ++k) b.Fonts.push_back("Unknown Face " + std::to_string(k));
  b.Fonts[1] = "Courier New";
  const std::string longName = "A Face Name Much Longer Than Thirty-Three Characters";
  b.Fonts[66] = longName;
  b.Text = "abc\r\n";
  b.CharRuns = {{1, Chp(66, false, false, 24, false, 0)}, {2, Chp(1, false, false, 24, false, 0)},
                {5, Chp(65, false, false, 24, false, 0)}};
  const std::string file = b.Build();
  ASSERT_GT(file.size(), 128u * 6);  // the table takes more than one page
  TDoc doc(true);
  const TWriReadResult r = Read(doc, file);
  ASSERT_TRUE(r.Ok) << r.Error;
  TFontManager& fm = *FontManager();
  TCharFormat f;
  doc.Par(0)->GetCharFormatAt(0, f);
  EXPECT_EQ(fm.GetFaceName(f.Font), longName.substr(0, 33));
  doc.Par(0)->GetCharFormatAt(1, f);
  EXPECT_EQ(fm.GetFaceName(f.Font), fm.GetFaceName(fm.FindFont("Courier New")));
  doc.Par(0)->GetCharFormatAt(2, f);
  EXPECT_EQ(fm.GetFaceName(f.Font), "Unknown Face 65");
}

// A picture paragraph's metafile becomes an inline picture at the start of the paragraph after
// it, with the header's size, scales, mapping mode and extents; data that run past the
// paragraph make the file damaged.
TEST_F(WriteReader, MetafilePicturesBecomeInlinePictures) {
  std::string picture(40, '\0');
  WriBuilder::Put16(picture, 0, 8 | 0x30);  // mapping mode 8 (high bits are not the mode)
  WriBuilder::Put16(picture, 2, 100);
  WriBuilder::Put16(picture, 4, 50);
  WriBuilder::Put16(picture, 10, 1440);
  WriBuilder::Put16(picture, 12, 720);
  WriBuilder::Put32(picture, 16, 6);
  WriBuilder::Put16(picture, 36, 500);
  WriBuilder::Put16(picture, 38, 1000);
  picture += "WMFDAT";
  WriBuilder b;
  b.Text = "Before\r\n" + picture + "\r\nAfter\r\n";
  const uint32_t p = 8 + static_cast<uint32_t>(picture.size()) + 2;
  b.ParRuns = {{8, {}}, {p, Pap(0, 0, 0, 0, 240, 0x10)}, {p + 7, {}}};
  TDoc doc(true);
  TWriReadResult r = Read(doc, b.Build());
  ASSERT_TRUE(r.Ok) << r.Error;
  EXPECT_EQ(r.PicturesSkipped, 0);
  ASSERT_EQ(doc.Shapes.size(), 1u);
  const TShape& shape = *doc.Shapes[0];
  EXPECT_EQ(shape.Props.PicWidth, 1440);
  EXPECT_EQ(shape.Props.PicHeight, 720);
  EXPECT_EQ(shape.Props.ScaleX, 50);
  EXPECT_EQ(shape.Props.ScaleY, 100);
  EXPECT_TRUE(shape.Graphic->FromWmf);
  EXPECT_EQ(shape.Graphic->PictureKind, TDocGraphic::TKind::Metafile);
  EXPECT_EQ(shape.Graphic->MapMode, 8);
  EXPECT_EQ(shape.Graphic->ExtentX, 100);
  EXPECT_EQ(shape.Graphic->ExtentY, 50);
  EXPECT_EQ(ParagraphTexts(doc), (std::vector<std::u16string>{u"Before", u"\nAfter", u""}));
  EXPECT_EQ(doc.GetShapeAt({1, 0, 0, 0}), &shape);
  // The same picture claiming more data than its paragraph holds.
  WriBuilder::Put32(b.Text, 8 + 16, 9);  // the paragraph holds 6 bytes and its CR LF
  TDoc damaged(true);
  r = Read(damaged, b.Build());
  EXPECT_FALSE(r.Ok);
  EXPECT_TRUE(damaged.Shapes.empty());
}

TEST_F(WriteReader, DamagedFilesAreRefusedAndLeaveTheDocumentAsItWas) {
  WriBuilder b;
  b.Text = "Some text\r\nmore\r\n";
  b.CharRuns = {{9, Chp(1, true, false, 24, false, 0)}, {17, {}}};
  b.ParRuns = {{11, Pap(1, 0, 0, 0, 240, 0)}, {17, {}}};
  const std::string good = b.Build();
  TDoc ok(true);
  ASSERT_TRUE(Read(ok, good).Ok);
  const size_t charPage = 256;  // text fits into page 1
  auto patch32 = [](std::string s, size_t at, uint32_t v) {
    WriBuilder::Put32(s, at, v);
    return s;
  };
  auto patch16 = [](std::string s, size_t at, uint32_t v) {
    WriBuilder::Put16(s, at, v);
    return s;
  };
  const std::string cases[] = {
      good.substr(0, 100),                                // shorter than the header
      patch16(good, 0, 0x1234),                           // not a Write document
      patch32(good, 14, 1u << 30),                        // text end past the file
      patch32(good, 14, 20),                              // text end inside the header
      patch16(good, 96, 500),                             // more pages than the file holds
      patch32(good, charPage + 4, 1u << 28),              // a run ending past the file
      patch32(good, charPage + 10, 130),                  // runs going backwards
      patch16(good, charPage + 8, 200),                   // a property block off the page
      [&] {  // a block overrunning its page
        std::string s = patch16(good, charPage + 8, 120);
        s[charPage + 124] = 5;
        return s;
      }(),
      [&] { std::string s = good; s[charPage + 127] = 40; return s; }(),  // too many runs
      patch16(good, 18, 0),                               // paragraph pages over the text
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    TDoc doc(true);
    const TWriReadResult r = Read(doc, cases[i]);
    EXPECT_FALSE(r.Ok) << i;
    EXPECT_FALSE(r.Error.empty()) << i;
    EXPECT_EQ(doc.ParCount(), 1) << i;
    EXPECT_EQ(doc.Par(0)->CharCount(), 0) << i;
  }
}

TEST_F(WriteReader, MutatedFilesFromAFixedSeedNeverCrash) {
  WriBuilder b;
  b.Text = "First paragraph\r\n\tsecond\fone\r\nthird\r\n";
  b.CharRuns = {{5, Chp(1, true, false, 24, false, 0)}, {20, Chp(0, false, true, 20, true, -3)},
                {38, {}}};
  b.ParRuns = {{17, Pap(1, 0, 720, 0, 240, 0, {{720, 0}})}, {31, Pap(2, 0, 0, 0, 480, 0)},
               {38, {}}};
  const std::string good = b.Build();
  std::mt19937 rng(5107);
  int read = 0;
  for (int round = 0; round < 500; ++round) {
    std::string bytes = good;
    const int edits = 1 + static_cast<int>(rng() % 6);
    for (int e = 0; e < edits; ++e)
      bytes[rng() % bytes.size()] = static_cast<char>(rng() % 4 == 0 ? 0xFF : rng());
    if (rng() % 8 == 0) bytes.resize(rng() % bytes.size());
    TDoc doc(true);
    const TWriReadResult r = Read(doc, bytes);
    if (!r.Ok) {
      EXPECT_EQ(doc.ParCount(), 1);
      continue;
    }
    ++read;
    for (int32_t i = 0; i < doc.ParCount(); ++i)
      ASSERT_EQ(CountStreamChars(doc.Par(i)->Content), doc.Par(i)->CharCount()) << round;
  }
  EXPECT_GT(read, 0);
}

}  // namespace
