// The list gallery: a one-level list stepped to a deeper level becomes the gallery's nine-level
// list of its number format, as one undoable step with the level change.
#include <gtest/gtest.h>

#include "document/auto_list.h"
#include "edit_test_support.h"
#include "editing/edit_codes.h"
#include "editing/list_gallery.h"
#include "editing/style_operations.h"

using namespace qv;

namespace {

// A gallery of a bullet list, a one-level numbering and a nine-level decimal numbering.
struct FakeGallery : TListGalleryServices {
  std::unique_ptr<TDoc> OpenGalleryDocument() override {
    auto doc = std::make_unique<TDoc>(true);
    auto add = [&](int32_t format, bool single) {
      auto l = std::make_unique<TAutoList>();
      l->SingleLevel = single;
      for (TListLevel& level : l->ListLevels) {
        level.NumberFormat = format;
        level.LevelText = u"\x01.";
      }
      doc->Lists.push_back(std::move(l));
    };
    add(23, false);
    add(0, true);
    add(0, false);
    doc->Lists.back()->ListLevels[4].StartAt = 5;  // tells this list apart
    return doc;
  }
};

class ListGallery : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMainText(doc_, {"first item", "second item", "elsewhere"});
    auto l = std::make_unique<TAutoList>();
    l->Number = 1;
    l->SingleLevel = 1;
    l->ListLevels[0].NumberFormat = 0;
    l->ListLevels[0].StartAt = 3;
    doc_.Lists.push_back(std::move(l));
    for (int32_t p = 0; p < 2; ++p) {
      SetParFormatProp(doc_.Par(p)->Format, ppList, 1);
      SetParFormatProp(doc_.Par(p)->Format, ppListLevel, 0);
      SetParFormatProp(doc_.Par(p)->Format, ppFirstIndent, -360);
      SetParFormatProp(doc_.Par(p)->Format, ppLeftIndent, 720);
    }
  }
  void StepDown(int32_t par) {
    TDocRange r;
    MakeRange(par, 0, par, 1, r);
    uint8_t kind = psListLevelDown;
    int32_t step = 0;
    void* args[] = {nullptr, &r, &kind, &step};
    doc_.ExecuteEdit(ecStepParagraphFormat, args, 3);
  }
  TEngineScope engine_;
  TDoc doc_{true};
};

TEST_F(ListGallery, TheFirstFullListOfTheNumberFormatIsCopied) {
  ScopedService<TListGalleryServices, FakeGallery> gallery;
  std::unique_ptr<TAutoList> decimal = GetListGalleryList(0);
  ASSERT_NE(decimal, nullptr);
  EXPECT_EQ(decimal->SingleLevel, 0);
  EXPECT_EQ(decimal->ListLevels[4].StartAt, 5);
  ASSERT_NE(GetListGalleryList(23), nullptr);
  EXPECT_EQ(GetListGalleryList(4), nullptr);
}

TEST_F(ListGallery, SteppingAOneLevelListDeeperWidensItAndUndoesWithTheStep) {
  ScopedService<TListGalleryServices, FakeGallery> gallery;
  const std::string before = DumpDoc(doc_);
  StepDown(0);
  const TAutoList& list = *doc_.Lists.front();
  EXPECT_EQ(list.SingleLevel, 0);
  EXPECT_EQ(list.ListLevels[0].StartAt, 3);  // its own first level stays
  EXPECT_EQ(list.ListLevels[4].StartAt, 5);
  for (int32_t i = 0; i < ListLevelCount; ++i) {
    EXPECT_EQ(GetParFormatProp(list.ListLevels[static_cast<size_t>(i)].ParFormat, ppFirstIndent), -360);
    EXPECT_EQ(GetParFormatProp(list.ListLevels[static_cast<size_t>(i)].ParFormat, ppLeftIndent), 720 + 360 * i);
  }
  const TParFormat& f = doc_.Par(0)->Format;
  EXPECT_EQ(GetParFormatProp(f, ppListLevel), 1);
  EXPECT_EQ(GetParFormatProp(f, ppLeftIndent), 1080);
  // The second item, stepped too, takes the indents the first one already has at that level.
  SetParFormatProp(doc_.Par(0)->Format, ppLeftIndent, 1500);
  StepDown(1);
  EXPECT_EQ(GetParFormatProp(doc_.Par(1)->Format, ppLeftIndent), 1500);
  doc_.Undo();
  doc_.Undo();
  SetParFormatProp(doc_.Par(0)->Format, ppLeftIndent, 720);
  EXPECT_EQ(DumpDoc(doc_), before);
}

TEST_F(ListGallery, WithoutAGalleryListTheLevelStillMoves) {
  StepDown(0);  // the stand-in gallery has nothing
  EXPECT_EQ(doc_.Lists.front()->SingleLevel, 1);
  EXPECT_EQ(GetParFormatProp(doc_.Par(0)->Format, ppListLevel), 1);
}

}  // namespace
