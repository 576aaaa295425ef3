// Editing time accounted per document and per file, and the predominant language.
#include <gtest/gtest.h>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/editing_time_services.h"
#include "foundation/base/service_slot.h"

using namespace qv;

namespace {

TEST(EditingTime, PausesLongerThanHalfAMinuteCountOneSecond) {
  TDoc doc(true);
  struct TStep {
    uint32_t tick;
    double total;  // milliseconds after the action
  };
  const TStep steps[] = {
      {5000, 1000},            // the first action
      {15000, 11000},          // 10 s later
      {55000, 12000},          // 40 s later: one second
      {85000, 42000},          // exactly 30 s
      {3, 43000},              // the clock wrapped: a long pause
  };
  for (const TStep& s : steps) {
    doc.AddEditingTimeAt(s.tick);
    EXPECT_EQ(doc.EditingTime, s.total) << s.tick;
  }
}

TEST(EditingTime, TheFileRecordRoundsSecondsHalfToEven) {
  ScopedService<TEditingTimeList> list(std::make_unique<TEditingTimeList>());
  TDoc doc(true);
  doc.FileName = "/docs/a.rtf";
  doc.EditingTime = 2500;
  doc.TypedChars = 12;
  doc.RecordEditingTime();
  TEditingTimeRecord r;
  ASSERT_TRUE(EditingTimeList().Find(doc.FileName, r));
  EXPECT_EQ(r.Seconds, 2);
  EXPECT_EQ(r.TypedChars, 12);
  EXPECT_GT(r.LastSaveDay, 2000 * 365);
  doc.EditingTime = 3500;
  doc.RecordEditingTime();  // saving again updates the record
  ASSERT_TRUE(EditingTimeList().Find(doc.FileName, r));
  EXPECT_EQ(r.Seconds, 4);
  TDoc opened(true);
  opened.FileName = doc.FileName;
  opened.RestoreEditingTime();
  EXPECT_EQ(opened.EditingTime, 4000);
  EXPECT_EQ(opened.TypedChars, 12);
  TDoc untitled(true);
  untitled.RecordEditingTime();  // no file: no record
  EXPECT_FALSE(EditingTimeList().Find("", r));
}

TEST(EditingTime, PredominantLanguage) {
  struct TCase {
    std::vector<int32_t> languages;  // per paragraph, in order
    int32_t expected;
  };
  const TCase cases[] = {
      {{1033, 1033, 1033, 1031, 1031, 1031}, 1033},  // a tie: the one nearer the start
      // Two each: English's last paragraph comes before German's.
      {{1031, 1033, 1033, 1031}, 1033},
      {{1033, 1031, 1031, 1033}, 1031},
      {{1031, 1033, 1033}, 1033},
  };
  for (const TCase& c : cases) {
    TDoc doc(true);
    for (size_t i = 0; i < c.languages.size(); ++i) {
      TPar* p = i == 0 ? doc.Par(0) : doc.AppendParagraph(stMain, DefaultParFormat);
      p->Content.Clear();
      AppendContentTag(p->Content, 22, c.languages[i]);
      p->Content.AppendString("text");
      AppendContentTag(p->Content, ctSpecialChar, scParagraphEnd);
      p->RebuildCodes();
      p->ContentChanged();
    }
    EXPECT_EQ(doc.PredominantLanguage(), c.expected);
  }
}

}  // namespace
