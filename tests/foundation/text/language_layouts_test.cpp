#include <gtest/gtest.h>

#include "foundation/base/service_slot.h"
#include "foundation/settings/ini_file.h"
#include "foundation/text/keyboard_layouts.h"
#include "foundation/text/language_manager.h"
#include "platform/gfx/canvas.h"
#include "platform/system/keyboard_layouts.h"
#include "support/test_env.h"

using namespace qv;

namespace {

std::string FewNames(int32_t id) {
  switch (id) {
    case 0x0409: return "English (United States)";
    case 0x0809: return "English (United Kingdom)";
    case 0x0407: return "German (Germany)";
    case 0x0C07: return "German (Austria)";  // sub 3 after a gap at sub 2: not reached
    case 0x0813: return "Dutch (Belgium)";   // sub 1 missing: sub 2 still read
    default: return "";
  }
}

class Spellcheckers : public TLangServices {
 public:
  std::vector<int32_t> InstalledSpellcheckerLangs() override { return {0x0407, 0x0409, 0x040C}; }
  int32_t UserDefaultLang() override { return 0x0409; }
};

TEST(LangManager, Names) {
  TLangManager m;
  m.LoadNames(&FewNames);
  std::vector<std::string> names;
  for (const auto& n : m.LangNames) names.push_back(n.first);
  EXPECT_EQ(names, (std::vector<std::string>{"Dutch (Belgium)", "English (United Kingdom)",
                                             "English (United States)", "German (Germany)",
                                             "Latin"}));
  const struct { int32_t id; const char* name; } cases[] = {
      {1024, "<none>"},
      {LANG_UNSET, "<none>"},
      {0x7FF, "<Another language (ID: 2047)>"},
      {0x0C07, "<Another language (ID: 3079)>"},
      {0x0809, "English (United Kingdom)"},
      {LANG_LATIN, "Latin"},
  };
  for (const auto& c : cases) EXPECT_EQ(m.GetLangName(c.id), c.name) << c.id;
}

TEST(LangManager, RecentList) {
  TLangManager m;
  for (int32_t id : {1, 2, 3}) m.AddRecentLang(id);
  m.AddRecentLang(1);  // third in the list: moves to the front, no duplicate
  EXPECT_EQ(m.RecentLangs, (std::vector<int32_t>{1, 3, 2}));
  for (int32_t id = 10; id < 16; ++id) m.AddRecentLang(id);  // ninth distinct id drops the oldest
  EXPECT_EQ(m.RecentLangs.size(), 8u);
  EXPECT_EQ(m.RecentLangs.front(), 15);
  EXPECT_EQ(m.RecentLangs.back(), 3);
}

TEST(LangManager, HistoryWithoutStoredValuesComesFromTheSpellcheckers) {
  ScopedService<TLangServices, Spellcheckers> services;
  TLangManager m;
  TSettingsStorage nothingStored;
  m.LoadHistory(&nothingStored);
  EXPECT_EQ(m.RecentLangs, (std::vector<int32_t>{0x0407, 0x0409, 0x040C}));
}

TEST(LangManager, HistoryRoundTrip) {
  const std::string path = qvtest::MakeTempDir("lang") + "/h.ini";
  TLangManager m;
  m.RecentLangs = {0x0419, 0x0407, 0x0409};
  {
    TIniFile w(path, true);
    m.SaveHistory(w);
    w.Save();
  }
  EXPECT_EQ(qvtest::ReadFile(path), "[LangHistory]\nC=1033\nB=1031\nA=1049\nCount=3\n");
  TIniFile r(path, false);
  TLangManager back;
  back.LoadHistory(&r);
  EXPECT_EQ(back.RecentLangs, m.RecentLangs);
}

TEST(LangManager, DrawLangItem) {
  class GlyphServices : public TLangServices {
   public:
    bool HasSpellchecker(int32_t lang) override { return lang == 0x0409; }
    int32_t DrawSpellcheckerGlyph(plat::Canvas&, int32_t x, const plat::Rect&) override {
      glyphAt = x;
      return 16;
    }
    int32_t glyphAt = -1;
  };
  ScopedService<TLangServices, GlyphServices> services;
  TLangManager m;
  m.LoadNames(&FewNames);
  plat::Bitmap bitmap(120, 20);
  plat::Canvas canvas(bitmap);
  canvas.SetBrush({plat::BrushStyle::Solid, 0xFFFFFF});
  canvas.SetTextColor(0x0000FF);
  m.DrawLangItem(0x0407, canvas, true, {0, 0, 120, 20});
  EXPECT_EQ(services->glyphAt, -1);  // no spellchecker: no glyph
  EXPECT_EQ(canvas.GetPixel(60, 17), 0x0000FFu);  // the two separator lines
  EXPECT_EQ(canvas.GetPixel(60, 19), 0x0000FFu);
  EXPECT_EQ(canvas.GetPixel(60, 18), 0xFFFFFFu);
  m.DrawLangItem(0x0409, canvas, false, {0, 0, 120, 20});
  EXPECT_EQ(services->glyphAt, 3);
  EXPECT_EQ(canvas.GetPixel(60, 17), 0xFFFFFFu);
}

TEST(LangManager, IndexOfUsedLang) {
  const TLangUsage items[] = {{7, 0}, {9, 2}, {7, 3}, {5, 1}};
  EXPECT_EQ(TLangManager::IndexOfUsedLang(items, 3, 7), 2);
  EXPECT_EQ(TLangManager::IndexOfUsedLang(items, 1, 7), -1);
  EXPECT_EQ(TLangManager::IndexOfUsedLang(items, 3, 4), -1);
}

TEST(KeyboardLayouts, KeyScan) {
  const struct { char16_t ch; uint32_t layout; uint16_t want; } cases[] = {
      {u'a', plat::kLayoutUS, 0x41},   {u'A', plat::kLayoutUS, 0x141},
      {u'@', plat::kLayoutUS, 0x132},  {u'\u00f6', plat::kLayoutGerman, 0xC0},
      {u'\u00e9', plat::kLayoutFrench, 0x32}, {u'1', plat::kLayoutFrench, 0x131},
      {u'\u043f', plat::kLayoutRussian, 0x47}, {u'a', plat::kLayoutRussian, 0xFFFF},
      {u'\u00f6', plat::kLayoutUS, 0xFFFF}, {u'a', 0x04110411u, 0xFFFF},
  };
  for (const auto& c : cases)
    EXPECT_EQ(plat::VkKeyScanEx(c.ch, c.layout), c.want) << int(c.ch) << " " << std::hex << c.layout;
}

TEST(KeyboardLayouts, ManagerAndKeyToChar) {
  TLayoutManager m;
  m.Update();
  ASSERT_EQ(m.Count(), 4);
  EXPECT_EQ(m.CurrentIndex, 0);
  EXPECT_EQ(m.IndexOfLang(0x0419), 3);
  EXPECT_EQ(m.IndexOfLang(0x0411), 0);  // unknown: the current layout
  const TLayout& us = m.Items[0];
  const TLayout& de = m.Items[1];
  const TLayout& ru = m.Items[3];
  EXPECT_EQ(ru.CodePage, 1251u);
  const struct { uint8_t c; const TLayout* from; const TLayout* to; uint8_t want; } cases[] = {
      {'g', &us, &ru, 0xEF},     // the key of g gives Cyrillic pe (0xEF in 1251)
      {0xEF, &ru, &us, 'g'},
      {'G', &us, &ru, 0xCF},     // Shift carries over
      {';', &us, &de, 0xFC},     // u umlaut on the German layout
      {0xB6, &us, &ru, 0xB6},    // no key types it: unchanged
      {'\t', &us, &ru, ' '},     // a control character becomes a space
  };
  for (const auto& c : cases)
    EXPECT_EQ(TLayoutManager::KeyToChar(c.c, *c.from, *c.to), c.want) << int(c.c);
}

TEST(KeyboardLayouts, SourceCanBeReplaced) {
  class OneLayout : public plat::KeyboardLayoutSource {
   public:
    std::vector<uint32_t> InstalledLayouts() override { return {plat::kLayoutRussian}; }
    uint32_t CurrentLayout() override { return 0x12345678; }
  };
  plat::SetKeyboardLayoutSource(std::make_unique<OneLayout>());
  TLayoutManager m;
  m.CurrentIndex = 5;
  m.Update();
  EXPECT_EQ(m.Count(), 1);
  EXPECT_EQ(m.CurrentIndex, 5);  // the current layout is not listed: left as it was
  plat::SetKeyboardLayoutSource(nullptr);
  EXPECT_EQ(plat::GetKeyboardLayoutList().size(), 4u);
}

}  // namespace
