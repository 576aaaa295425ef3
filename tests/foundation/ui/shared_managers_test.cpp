#include "foundation/ui/shared_managers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/base/service_slot.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/graphics/offscreen_bitmap.h"
#include "foundation/text/code_pages.h"
#include "foundation/ui/shared_manager_services.h"

using namespace qv;

namespace {

// Records the hooks of the higher subsystems' objects with what existed when each ran.
class RecordingHooks : public TSharedManagerServices {
 public:
  std::vector<std::string> log;
  void FontManagerCreated() override { Note("font manager"); }
  void CreateStyleManager() override { Note("create style"); }
  void CreateTabManager() override { Note("create tabs"); }
  void LoadSharedGlyphs() override { Note("load glyphs"); }
  void ReleaseCachedUiBitmaps() override { Note("release bitmaps"); }
  void DeleteSharedUiFonts() override { Note("delete fonts"); }
  void FreeStyleManager() override { Note("free style"); }
  void FreeTabManager() override { Note("free tabs"); }
  void FreeSharedGlyphs() override { Note("free glyphs"); }

 private:
  // Which of the foundation's own objects exist: F font manager, B off-screen bitmap, C caret.
  void Note(const std::string& what) {
    std::string exist;
    if (FontManager() != nullptr) exist += "F";
    if (ServiceBitmap() != nullptr) exist += "B";
    if (CaretBitmap() != nullptr) exist += "C";
    log.push_back(what + " [" + exist + "]");
  }
};

TEST(SharedManagers, MadeAndFreedInTheirFixedOrder) {
  ScopedService<TSharedManagerServices, RecordingHooks> hooks;
  // The user's code pages become the program's; other tests expect the built-in ones.
  const uint32_t codePage = DefaultCodePage;
  const int32_t charset = DefaultCharset;
  ASSERT_FALSE(SharedManagersExist());
  CreateSharedManagers();
  ASSERT_TRUE(SharedManagersExist());
  EXPECT_NE(ServiceDC(), nullptr);
  EXPECT_GE(ServiceBitmap()->Width, 32);
  EXPECT_EQ(PointsScratch().Length, 1024);
  CreateSharedManagers();  // once made, a second call changes nothing
  FreeSharedManagers();
  EXPECT_FALSE(SharedManagersExist());
  EXPECT_EQ(ServiceBitmap(), nullptr);
  EXPECT_EQ(ServiceDC(), nullptr);
  EXPECT_EQ(CaretBitmap(), nullptr);
  EXPECT_EQ(FontManager(), nullptr);
  EXPECT_EQ(PointsScratch().Length, 0);
  FreeSharedManagers();  // nothing left to free
  DefaultCodePage = codePage;
  DefaultCharset = charset;
  EXPECT_EQ(hooks->log, (std::vector<std::string>{
                            "font manager [FBC]", "create style [FBC]", "create tabs [FBC]",
                            "load glyphs [FBC]",
                            "release bitmaps [FBC]", "delete fonts [FC]", "free style [F]",
                            "free tabs [F]", "free glyphs []"}));
}

TEST(SharedManagers, DefaultCodePagesOfALanguage) {
  const struct {
    int32_t language;
    int32_t charset;
    uint32_t codePage;
    int32_t encoding;
  } cases[] = {
      {0x0409, ANSI_CHARSET, 1252, 6},        // English
      {0x0419, RUSSIAN_CHARSET, 1251, 5},     // Russian
      {0x0405, EASTEUROPE_CHARSET, 1250, 4},  // Czech
      {0x0425, BALTIC_CHARSET, 1257, 11},     // Estonian
      {0x0411, SHIFTJIS_CHARSET, 932, 6},     // Japanese: not one of 1250-1257
  };
  for (const auto& c : cases) {
    const TDefaultCodePages pages = DefaultCodePagesOf(c.language);
    EXPECT_EQ(pages.Charset, c.charset) << c.language;
    EXPECT_EQ(pages.CodePage, c.codePage) << c.language;
    EXPECT_EQ(pages.EncodingIndex, c.encoding) << c.language;
  }
  // A language written only in Unicode still leaves the program a code page.
  const TDefaultCodePages hindi = DefaultCodePagesOf(0x0439);
  EXPECT_NE(hindi.CodePage, 0u);
  EXPECT_EQ(hindi.EncodingIndex, EncodingIndexOfCodePage(hindi.CodePage));
}

}  // namespace
