#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "document/doc.h"
#include "document/doc_properties.h"
#include "foundation/app_fixture.h"

using namespace qv;

namespace {

TDocProps SampleProps() {
  TDocProps p;
  std::u16string texts[8] = {u"Title", u"Subject", u"Author \u00e9", u"Manager",
                             u"Company", u"Category", u"a, b", u"line 1\r\nline 2"};
  for (size_t i = 0; i < 8; ++i) *p.Texts()[i] = texts[i];
  p.AutoProps.LastSavedBy = u"Saver";
  p.AutoProps.Created = 46000.25;
  p.AutoProps.Modified = 46001.5;
  p.AutoProps.RevisionNumber = 7;
  p.AutoProps.StoredSize = 12345;
  return p;
}

TEST(DocProperties, SwapExchangesTheTextsAndKeepsTheAutomaticProperties) {
  TDocProps doc = SampleProps();
  TDocProps saved;
  saved.Title = u"Old title";
  saved.AutoProps.RevisionNumber = 99;
  const TDocProps before = doc;
  doc.SwapDescriptive(saved);
  EXPECT_EQ(doc.Title, u"Old title");
  EXPECT_EQ(doc.Comments, u"");
  EXPECT_EQ(doc.AutoProps, before.AutoProps);
  EXPECT_EQ(saved.AutoProps.RevisionNumber, 99);
  doc.SwapDescriptive(saved);  // undo and redo are the same exchange
  EXPECT_EQ(doc, before);
}

TEST(DocProperties, NewDocumentRecordsItsCreation) {
  TDoc doc(true);
  doc.InitNewDocument();
  EXPECT_GT(doc.Props.AutoProps.Created, 0);
  EXPECT_EQ(doc.Props.AutoProps.Created, doc.Props.AutoProps.Modified);
}

class DocPropertiesDialog : public apptest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    App().OnIdle = [this] {
      if (actions_.empty()) return;
      auto a = actions_.front();
      actions_.pop_front();
      a();
    };
  }
  void PressLater(uint8_t vk) {
    actions_.push_back([vk] {
      plat::headless::PressKey(vk);
      plat::PostMessage(0, plat::WM_NULL);
    });
  }
  std::deque<std::function<void()>> actions_;
};

TEST_F(DocPropertiesDialog, CancelChangesNothingAndOkKeepsTheAutomaticProperties) {
  TDocProps props = SampleProps();
  const TDocProps before = props;
  PressLater(plat::VK_ESCAPE);
  EXPECT_FALSE(EditDocProperties(props));
  EXPECT_EQ(props, before);
  PressLater(plat::VK_RETURN);
  EXPECT_TRUE(EditDocProperties(props));
  EXPECT_EQ(props, before);
}

TEST_F(DocPropertiesDialog, TextsAreBoundedTo2048Characters) {
  TDocProps props = SampleProps();
  props.Title.assign(3000, u'x');
  props.Comments.assign(5000, u'y');
  PressLater(plat::VK_RETURN);
  EXPECT_TRUE(EditDocProperties(props));
  EXPECT_EQ(props.Title.size(), 2048u);
  EXPECT_EQ(props.Comments.size(), 2048u);
  EXPECT_EQ(props.Subject, u"Subject");
}

}  // namespace
