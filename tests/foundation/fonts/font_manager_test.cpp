#include "foundation/fonts/font_manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_services.h"
#include "foundation/fonts/own_font.h"
#include "platform/gfx/canvas.h"
#include "support/test_env.h"

using namespace qv;

namespace {

constexpr int32_t kUnset = static_cast<int32_t>(0x80000000u);

struct RecordingServices : TFontServices {
  int* relayouts;
  int* infos;
  bool confirm;
  RecordingServices(int* r, int* i, bool c) : relayouts(r), infos(i), confirm(c) {}
  void RelayoutAll() override { ++*relayouts; }
  void ShowInfo(const std::string&) override { ++*infos; }
  bool ConfirmUnavailableFont(const std::string&) override { return confirm; }
};

class FontManagerTest : public ::testing::Test {
 protected:
  void SetUp() override { manager = std::make_unique<TFontManager>(TFontManagerSetup{{}, 0}); }
  void TearDown() override { services_.reset(); }
  void UseServices(bool confirm) {
    services_.emplace(std::make_unique<RecordingServices>(&relayouts, &infos, confirm));
  }
  TFontKey Key(int32_t font) const {
    TFontKey k;
    k.Font = font;
    return k;
  }
  std::unique_ptr<TFontManager> manager;
  int relayouts = 0;
  int infos = 0;
  std::optional<ScopedService<TFontServices>> services_;
};

TEST_F(FontManagerTest, CoreFacesResolveToMetricCompatibleFaces) {
  const struct {
    const char* face;
    const char* drawnWith;
  } cases[] = {
      {"Arial", "Liberation Sans"},     {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"}, {"Calibri", "Carlito"},
      {"Cambria", "Caladea"},
  };
  for (const auto& c : cases) {
    const int32_t n = manager->FontIndex(c.face, 0, false);
    ASSERT_TRUE(manager->RegFonts[n].Installed) << c.face;
    EXPECT_EQ(manager->GetFaceName(n), c.face);
    const TSharedFont& f = manager->SelectFont(Key(n), 20, false, false, nullptr);
    EXPECT_EQ(f.Font.FaceName(), c.drawnWith) << c.face;
  }
  EXPECT_EQ(manager->GetFaceName(manager->ArialFont), "Arial");
  EXPECT_EQ(manager->GetFaceName(manager->TimesFont), "Times New Roman");
  EXPECT_TRUE(manager->ReplacedFaces.empty());
}

TEST_F(FontManagerTest, MissingFaceIsDrawnWithARecordedSubstitute) {
  const int32_t n = manager->FontIndex("Qv Missing Face", 0, false);
  EXPECT_FALSE(manager->RegFonts[n].Installed);
  EXPECT_EQ(manager->RegFonts[n].FamilyIndex, -1);
  // With the recording flag off nothing is remembered ...
  manager->SelectFont(Key(n), 18, true, false, nullptr);
  EXPECT_TRUE(manager->ReplacedFaces.empty());
  // ... otherwise the face asked for and the one drawn are.
  const TSharedFont& f = manager->SelectFont(Key(n), 20, false, false, nullptr);
  ASSERT_EQ(manager->ReplacedFaces.size(), 1u);
  EXPECT_EQ(manager->ReplacedFaces[0], "Qv Missing Face");
  EXPECT_EQ(manager->ReplacementFaces[0], f.Font.FaceName());
  EXPECT_GT(f.LineHeight, 0);
  // Later look-ups of the face use what the platform chose.
  EXPECT_EQ(manager->GetSubstituteFont("Qv Missing Face", false), f.Font.FaceName());
  EXPECT_EQ(manager->GetSubstituteFont("Qv Missing Face", true), "");
}

TEST_F(FontManagerTest, NumbersByFaceAndCharacterSet) {
  const int32_t a = manager->FontIndex("Qv Not Here", 0, false);
  EXPECT_EQ(manager->FontIndex("qv not here", 0, false), a);  // one entry, case ignored
  const int32_t b = manager->FontIndex("Qv Not Here", 204, false);
  EXPECT_NE(a, b);
  EXPECT_EQ(manager->RegFonts[a].FontId, manager->RegFonts[b].FontId);
  EXPECT_EQ(manager->FontWithCharset(manager->RegFonts[a].FontId, 204), b);
  const int32_t c = manager->FontWithCharset(manager->RegFonts[a].FontId, 238);
  EXPECT_EQ(manager->RegFonts[c].Charset, 238);
  EXPECT_EQ(manager->RegFonts[c].FaceName, "Qv Not Here");

  // Installed faces: any character set gives the first entry of the face; the symbol set is
  // never given to a family that is not symbol.
  EXPECT_EQ(manager->FontIndex("Arial", kAnyCharset, false), manager->ArialFont);
  EXPECT_EQ(manager->FontIndex("Arial", 2, false), manager->ArialFont);
  const int32_t cyr = manager->FontIndex("Arial", 204, false);
  EXPECT_NE(cyr, manager->ArialFont);
  EXPECT_EQ(manager->RegFonts[cyr].FontId, manager->RegFonts[manager->ArialFont].FontId);
  EXPECT_EQ(manager->FontWithCharset(manager->RegFonts[cyr].FontId, 2), manager->ArialFont);
  EXPECT_EQ(manager->FontWithCharset(-5, 0), manager->ArialFont);  // an id no entry has

  // "Symbol" is drawn with its metric-compatible symbol face where that is installed.
  if (manager->FindFamily("Symbol") >= 0) {
    EXPECT_EQ(manager->RegFonts[manager->SymbolFont].Charset, 2);
    EXPECT_EQ(manager->FontIndex("Symbol", 0, false), manager->SymbolFont);
    EXPECT_EQ(manager->FontIndex("Symbol", kAnyCharset, false), manager->SymbolFont);
    const TSharedFont& f = manager->SelectFont(Key(manager->SymbolFont), 20, false, false, nullptr);
    EXPECT_TRUE(f.Font.IsSymbolFace());
    EXPECT_TRUE(manager->ReplacedFaces.empty());
    // A face found by dropping its last word keeps its family when the symbol rule applies.
    const int32_t extra = manager->FontIndex("Symbol Qvextra", 0, true);
    EXPECT_TRUE(manager->RegFonts[extra].Installed);
    EXPECT_EQ(manager->RegFonts[extra].Charset, 2);
  }
  // A symbol family only has entries of the symbol set.
  for (size_t fi = 0; fi < manager->Families.size(); ++fi) {
    if (manager->Families[fi].Charset != 2) continue;
    const int32_t s = manager->FontIndex(manager->Families[fi].Name, 0, false);
    EXPECT_EQ(manager->RegFonts[s].Charset, 2) << manager->Families[fi].Name;
  }
}

TEST_F(FontManagerTest, RetryDropsOneWordOnly) {
  const int32_t family = manager->FindFamily("Liberation Sans");
  ASSERT_GE(family, 0);
  const int32_t one = manager->FontIndex("Liberation Sans Qvextra", 204, true);
  EXPECT_TRUE(manager->RegFonts[one].Installed);
  EXPECT_EQ(manager->RegFonts[one].FamilyIndex, family);
  const int32_t two = manager->FontIndex("Liberation Sans Qv Extra", 204, true);
  EXPECT_FALSE(manager->RegFonts[two].Installed);
  const int32_t none = manager->FontIndex("Liberation Sans Qvextra", 204, false);
  EXPECT_FALSE(manager->RegFonts[none].Installed);

  // After the fonts changed, numbers stay valid and the retried face keeps its family.
  UseServices(true);
  const size_t count = manager->RegFonts.size();
  manager->FontsChanged();
  EXPECT_EQ(relayouts, 1);
  EXPECT_EQ(manager->RegFonts.size(), count);
  EXPECT_TRUE(manager->RegFonts[one].Installed);
  EXPECT_EQ(manager->GetFaceName(manager->ArialFont), "Arial");
}

TEST_F(FontManagerTest, SubstitutionChains) {
  const struct {
    const char* face;
    bool strict;
    const char* expected;
  } cases[] = {
      {"Helvetica", true, "Arial"},
      {"Tms Rmn", true, "Times New Roman"},
      {"Roman 10cpi", true, ""},             // loops among faces that are not installed
      {"Roman 10cpi", false, "Roman 10cpi"},
      {"Qv Unknown", false, "Qv Unknown"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(manager->GetSubstituteFont(c.face, c.strict), c.expected) << c.face;
}

TEST_F(FontManagerTest, MetricsAndWidthsAreSaneAndDeterministic) {
  const TSharedFont& f = manager->SelectFont(Key(manager->ArialFont), 16, false, false, nullptr);
  EXPECT_GE(f.LineHeight, 14);
  EXPECT_LE(f.LineHeight, 22);
  EXPECT_EQ(f.LineHeight, f.Metrics.Ascent + f.DescentLeading);
  EXPECT_GT(f.Widths['W'], f.Widths['i']);
  EXPECT_GT(f.Widths[' '], 0);
  EXPECT_EQ(f.TextWidth("Wi"), f.Widths['W'] + f.Widths['i']);

  TFontManager other(TFontManagerSetup{{}, 0});
  const TSharedFont& g = other.SelectFont(Key(other.ArialFont), 16, false, false, nullptr);
  EXPECT_EQ(f.Widths, g.Widths);
  EXPECT_EQ(f.LineHeight, g.LineHeight);

  // Bold is wider; a width scale narrows the font.
  TFontKey bold = Key(manager->ArialFont);
  bold.Bold = 1;
  TFontKey narrow = Key(manager->ArialFont);
  narrow.Scale = 50;
  const int32_t plain = f.TextWidth("Quorvane");
  EXPECT_GT(manager->SelectFont(bold, 16, false, false, nullptr).TextWidth("Quorvane"), plain);
  EXPECT_LT(manager->SelectFont(narrow, 16, false, false, nullptr).TextWidth("Quorvane"), plain);
}

TEST(FontKey, OnlyTheFontPropertiesOfAFormatCount) {
  struct Format {
    int32_t Font = 3, Size = 24, Bold = 1, Italic = 0, Strike = 0, DoubleStrike = 0, Underline = 1,
            Color = 255, Spacing = 20, Scale = 90;
  } a, b;
  b.Color = 0;
  b.Spacing = -10;
  EXPECT_TRUE(SameFontKey(FontKeyOf(a), FontKeyOf(b)));
  EXPECT_EQ(TFontKeyHash()(FontKeyOf(a)), TFontKeyHash()(FontKeyOf(b)));
  b.Scale = 100;
  EXPECT_FALSE(SameFontKey(FontKeyOf(a), FontKeyOf(b)));
  b = a;
  b.Underline = 0;
  EXPECT_FALSE(SameFontKey(FontKeyOf(a), FontKeyOf(b)));
}

TEST_F(FontManagerTest, SharedFontsAreCachedByKey) {
  plat::Canvas canvas;
  TFontKey key = Key(manager->TimesFont);
  TSharedFont& a = manager->SelectFont(key, 24, false, true, &canvas);
  EXPECT_EQ(canvas.GetFont(), a.Font);
  EXPECT_EQ(manager->CurrentFontDC(), &canvas);
  TFontKey other = key;
  other.Italic = 1;
  TSharedFont& b = manager->SelectFont(other, 24, false, false, nullptr);
  EXPECT_NE(&a, &b);
  EXPECT_EQ(manager->CurrentFontDC(), nullptr);
  EXPECT_EQ(&manager->SelectFont(key, 24, false, true, &canvas), &a);
  EXPECT_EQ(&manager->SelectFont(key, 24, false, false, nullptr), &a);
  EXPECT_NE(&manager->SelectFont(key, 25, false, false, nullptr), &a);
  EXPECT_EQ(manager->SharedFonts().size(), 3u);
  EXPECT_EQ(a.UseCount, 3);
  manager->SortSharedFontsByUse();
  EXPECT_EQ(manager->SharedFonts().front().get(), &a);
}

TEST_F(FontManagerTest, KerningPairsOfALiberationFace) {
  const TKerningPairs& k = manager->SelectKerningPairs(Key(manager->ArialFont), 64);
  EXPECT_GT(k.Count(), 0);
  EXPECT_LT(k.GetKerning('A', 'V'), 0);
  EXPECT_EQ(k.GetKerning('o', 'o'), 0);
  EXPECT_EQ(&manager->SelectKerningPairs(Key(manager->ArialFont), 64), &k);
  EXPECT_EQ(manager->KerningCache().size(), 1u);
}

TEST_F(FontManagerTest, CharacterCoverageOfAFace) {
  EXPECT_GE(manager->FontCoversChar("Liberation Sans", 'A'), 0);
  EXPECT_GE(manager->FontCoversChar("Liberation Sans", 0x416), 0);  // Cyrillic Zhe
  EXPECT_EQ(manager->FontCoversChar("Liberation Sans", 0x4E00), -1);
  EXPECT_EQ(manager->FontCoversChar("Liberation Sans", 31), -1);
  EXPECT_EQ(manager->FontCoversChar("Liberation Sans", 0xA0), -1);
  EXPECT_GE(manager->FontCoversChar("DejaVu Sans", 0x2200), 0);      // For All
}

TEST_F(FontManagerTest, CoverageReachesPastTheBasicPlaneAndLastsUntilTheFontsChange) {
  qvtest::TSfntFont font;
  font.Family = "Qv Cuneiform Test";
  font.BasicPlaneMap = true;
  font.Ranges = {{'A', 'Z', 1}, {0x12000, 0x1201F, 27}};
  font.GlyphCount = 1 + 26 + 32;
  // Before the face is installed it is drawn with a stand-in that lacks the characters.
  EXPECT_EQ(manager->FontCoversChar("Qv Cuneiform Test", 0x12000), -1);
  {
    qvtest::OwnFont own(font);
    ASSERT_TRUE(own.Added());
    EXPECT_EQ(manager->FontCoversChar("Qv Cuneiform Test", 0x12000), -1);  // read once, kept
    manager->FontsChanged();
    EXPECT_EQ(manager->FontCoversChar("qv cuneiform test", 'A'), 0);
    EXPECT_EQ(manager->FontCoversChar("Qv Cuneiform Test", 0x12000), 26);
    EXPECT_EQ(manager->FontCoversChar("Qv Cuneiform Test", 0x1201F), 26 + 31);
    EXPECT_EQ(manager->FontCoversChar("Qv Cuneiform Test", 0x12020), -1);
    EXPECT_EQ(manager->FontCoversChar("Liberation Sans", 0x12000), -1);
    manager->NoteCharMissing(0x13000);
    EXPECT_TRUE(manager->IsCharMissing(0x13000));
  }
  manager->FontsChanged();
  EXPECT_FALSE(manager->IsCharMissing(0x13000));
  EXPECT_EQ(manager->FontCoversChar("Qv Cuneiform Test", 0x12000), -1);
}

TEST_F(FontManagerTest, ValidatesTypedFontNames) {
  UseServices(false);
  int32_t number = kUnset;
  EXPECT_TRUE(manager->ValidateFontName(number, "", {}));
  EXPECT_EQ(infos, 0);
  number = manager->ArialFont;
  bool focused = false;
  EXPECT_FALSE(manager->ValidateFontName(number, "", [&] { focused = true; }));
  EXPECT_EQ(infos, 1);
  EXPECT_TRUE(focused);
  EXPECT_FALSE(manager->ValidateFontName(number, "Qv Typed Face", {}));  // answered No
  EXPECT_EQ(number, manager->ArialFont);
  EXPECT_TRUE(manager->ValidateFontName(number, "Times New Roman", {}));
  EXPECT_EQ(number, manager->TimesFont);
  UseServices(true);
  EXPECT_TRUE(manager->ValidateFontName(number, "Qv Typed Face", {}));
  EXPECT_EQ(manager->RegFonts[number].FaceName, "Qv Typed Face");
}

TEST_F(FontManagerTest, FontNamesListFavouritesFirst) {
  manager->SetFavoriteFontsText("Times New Roman\r\nQv Not Installed\r\nArial");
  const std::vector<TFontName> names = manager->GetFontNames();
  ASSERT_EQ(names.size(), manager->Families.size());
  EXPECT_EQ(names[0].Name, "Times New Roman");
  EXPECT_EQ(names[1].Name, "Arial");
  EXPECT_EQ(manager->Families[names[2].FamilyIndex].Name, names[2].Name);
  EXPECT_EQ(manager->FavoriteFontsText(), "Times New Roman\r\nQv Not Installed\r\nArial");
}

TEST_F(FontManagerTest, UnknownFontNumberIsDrawnWithTheFallback) {
  const TSharedFont& f = manager->SelectFont(Key(99999), 16, false, false, nullptr);
  EXPECT_GT(f.Widths['A'], 0);
  EXPECT_EQ(manager->GetFaceName(99999), "");
}

TEST(FontManagerPortable, LoadsTheFontFilesBelowTheProgramFolder) {
  std::string source;
  for (const plat::FontFileInfo& info : plat::EnumFontFiles())
    if (info.Family == "Liberation Sans" && info.Style == 0) source = info.Path;
  ASSERT_FALSE(source.empty());
  const std::string dir = qvtest::MakeTempDir("portable");
  std::filesystem::create_directories(dir + "/fonts/extra");
  std::filesystem::copy_file(source, dir + "/fonts/extra/Copy.TTF");
  qvtest::WriteFile(dir + "/fonts/fake.ttf", "not a font");
  qvtest::WriteFile(dir + "/readme.txt", "text");
  TFontManager manager(TFontManagerSetup{dir, 0});
  ASSERT_EQ(manager.PortableFontFiles.size(), 1u);
  EXPECT_EQ(manager.PortableFontFiles[0], dir + "/fonts/extra/Copy.TTF");
}

}  // namespace
