// Shrinking the page count: the whole main text gets smaller by half a point at a time until the
// page count drops; at the smallest size nothing changes and no undo step is left.
#include <climits>

#include "document/edit_services.h"
#include "editing/edit_codes.h"
#include "editing/edit_dispatcher.h"
#include "editing/edit_layout_hooks.h"
#include "editing/editing_services.h"
#include "foundation/base/service_slot.h"
#include "layout/pagination_fixture.h"

namespace {

class ShrinkPageCountTest : public PaginationTest {
 protected:
  void SetUp() override {
    PaginationTest::SetUp();
    b->Format.LineRule = 1;  // single spacing: lines follow the font size
    b->Format.LineSpacing = 240;
  }
  void Build(int32_t size, int32_t paragraphs) {
    b->Size = size;
    for (int32_t i = 0; i < paragraphs; ++i) b->Add(Words(12, i));
    Paginate();
  }
  int32_t SizeAt(int32_t par) {
    TCharFormat f;
    Par(par).GetCharFormatAt(0, f);
    return f[cpSize];
  }
  ScopedService<TEditServices> services{MakeEditingServices()};
  ScopedService<TEditLayoutHooks> hooks{std::make_unique<TPaginatingLayoutHooks>()};
};

TEST_F(ShrinkPageCountTest, StepsDownUntilThePageCountDropsAndUndoesAsOneStep) {
  Build(24, 13);  // one paragraph more than a page holds at 12 points
  ASSERT_EQ(doc->PageCount(), 2);
  doc->ExecuteEdit(ecShrinkPageCount, nullptr, -1);
  EXPECT_TRUE(LastShrinkChanged());
  EXPECT_EQ(doc->PageCount(), 1);
  EXPECT_LT(SizeAt(0), 24);
  EXPECT_EQ(SizeAt(0), SizeAt(12));
  doc->Undo();
  EXPECT_EQ(SizeAt(0), 24);
  EXPECT_EQ(SizeAt(12), 24);
  EXPECT_EQ(doc->PageCount(), 2);
}

TEST_F(ShrinkPageCountTest, AtTheSmallestSizeNothingChangesAndNoUndoStepIsLeft) {
  Build(2, 200);
  const int32_t pages = doc->PageCount();
  const uint32_t serial = doc->LastOperationSerial();
  doc->ExecuteEdit(ecShrinkPageCount, nullptr, -1);
  EXPECT_FALSE(LastShrinkChanged());
  EXPECT_EQ(doc->PageCount(), pages);
  EXPECT_EQ(SizeAt(0), 2);
  EXPECT_EQ(doc->LastOperationSerial(), serial);
}

}  // namespace
