// Manual hyphenation over laid-out lines: each chosen hyphen goes in, the options and all hyphens
// undo as one step, and Cancel stops the run without the completion message.
#include "editing/ops/hyphenation_operations.h"

#include "layout/hyphenation_service.h"
#include "layout/pagination_fixture.h"
#include "ops_test_support.h"

namespace {

struct EveryTwo : THyphenationService {
  bool HasData(int32_t) override { return true; }
  std::vector<int32_t> Hyphenate(std::u16string_view word, int32_t) override {
    std::vector<int32_t> out;
    for (int32_t i = 2; i + 2 <= static_cast<int32_t>(word.size()); i += 2) out.push_back(i);
    return out;
  }
};

// Chooses the first point for the first word asked, then cancels.
struct OneAnswer : TestTextServices {
  int32_t Asked = 0;
  bool AskHyphenation(const TManualHyphRequest& request, int32_t& chosen) override {
    if (++Asked > 1) return false;
    chosen = request.Points.front();
    return true;
  }
};

class ManualHyphenationTest : public PaginationTest {};

TEST_F(ManualHyphenationTest, ChosenHyphensUndoWithTheOptionsAsOneStep) {
  TEngineScope engine;
  ScopedService<TEditOperationProviders> providers{MakeTextEditProviders()};
  ScopedService<TTextEditServices, OneAnswer> text;
  ScopedService<THyphenationService> hyphenation(std::make_unique<EveryTwo>());
  ScopedService<TMessageDlgService, RecordingBox> box;
  b->Add(Words(60, 3));
  Paginate();
  ASSERT_GT(Par(0).LineCount(), 2);
  const std::string before = DumpDoc(*doc);
  const int32_t chars = Par(0).CharCount();
  const TManualHyphResult r = HyphenateManually(*doc, THyphenationSettings{0, 1, 360});
  EXPECT_TRUE(r.Stopped);
  EXPECT_EQ(text->Asked, 2);
  EXPECT_EQ(Par(0).CharCount(), chars + 1);
  EXPECT_TRUE(box->Texts.empty());
  doc->Undo();
  EXPECT_EQ(DumpDoc(*doc), before);
}

}  // namespace

namespace {

TEST_F(ManualHyphenationTest, SplitGivesOneParagraphPerLineWithoutTheSpacesAtTheBreaks) {
  TEngineScope engine;
  ScopedService<TEditOperationProviders> providers{MakeTextEditProviders()};
  ScopedService<TTextEditServices, TestTextServices> text;
  ScopedSmartCutPaste smart(true);  // put back also when an assertion ends the test early
  b->Add(Words(60, 5));
  Paginate();
  const int32_t lines = Par(0).LineCount();
  ASSERT_GE(lines, 3);
  const std::string before = DumpDoc(*doc);
  int32_t first = 0, last = 0;
  void* args[] = {&first, &last};
  doc->ExecuteEdit(ecSplitParagraphs, args, 1);
  EXPECT_EQ(doc->StoryCounts[stMain], lines);
  for (int32_t i = 0; i < lines; ++i) {
    const TPar& p = Par(i);
    ASSERT_GT(p.CharCount(), 1) << i;
    EXPECT_NE(p.CodeAt(p.CharCount() - 2), ' ') << i;
    EXPECT_NE(p.CodeAt(0), ' ') << i;
  }
  ExpectUndoRedoExact(*doc, before);
}

}  // namespace
