#include "foundation/ui/message_dlg_service.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/settings/options_holder.h"

using namespace qv;

namespace {

// A registered box that records what reaches it and answers a fixed result.
class RecBox : public TMessageDlgService {
 public:
  RecBox(std::vector<TMessageDlgInfo>* log, int32_t answer) : log_(log), answer_(answer) {}
  int32_t Show(const TMessageDlgInfo& info) override {
    log_->push_back(info);
    return answer_;
  }

 private:
  std::vector<TMessageDlgInfo>* log_;
  int32_t answer_;
};

class MessageServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GetOptions().Internal.OptMsgs.assign(kOptionalMsgCount, 0);
    RegisterMessageDlgService(std::make_unique<RecBox>(&shown_, mrYes));
  }
  void TearDown() override {
    RegisterMessageDlgService(nullptr);
    MessageQueue().clear();
    GetOptions().Internal.OptMsgs.clear();
  }
  std::vector<TMessageDlgInfo> shown_;
};

// The entry points reach whichever box is registered, with the record filled as the box
// expects it and the priming fields consumed.
TEST_F(MessageServiceTest, EveryEntryReachesTheRegisteredBox) {
  EXPECT_EQ(ShowErrorFmt("Cannot open \"%s\".", "a.rtf"), mrYes);
  MessageDlgInfo().Caption = "Title";
  EXPECT_EQ(ShowOptionalMsg("Save \"x\"?", mkConfirmation, 6), mrYes);
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[0].Text, "Cannot open \"a.rtf\".");
  EXPECT_EQ(shown_[0].Kind, mkError);
  EXPECT_EQ(shown_[0].Buttons, ButtonBit(mbOK));
  EXPECT_EQ(shown_[0].OptionalMsgId, 255);
  EXPECT_EQ(shown_[1].Buttons, OptionalMsgTable[6].Buttons);
  EXPECT_EQ(shown_[1].OptionalMsgId, 6);
  EXPECT_EQ(shown_[1].Caption, "Title");
  EXPECT_TRUE(MessageDlgInfo().Caption.empty());
  EXPECT_EQ(MessageDlgInfo().OptionalMsgId, 255);
}

TEST_F(MessageServiceTest, SwitchedOffAndSuppressedMessagesShowNothing) {
  SetOptionalMsgState(6, 0x80 + mbNo);
  EXPECT_EQ(ShowOptionalMsg("Save?", mkConfirmation, 6), mrNo);
  MessagesSuppressed = true;
  EXPECT_EQ(ShowInfo("Done."), mrCancel);
  QueueMessage("Later.", mkInformation, ButtonBit(mbOK), 255);
  MessagesSuppressed = false;
  EXPECT_TRUE(shown_.empty());
  EXPECT_TRUE(MessageQueue().empty());
}

TEST_F(MessageServiceTest, QueuedMessagesShowOnePerPass) {
  QueueMessage("First.", mkWarning, ButtonBit(mbOK), 255);
  QueueMessage("Second?", mkConfirmation, 0, 18);
  EXPECT_TRUE(ShowQueuedMessage());
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].Text, "First.");
  EXPECT_TRUE(ShowQueuedMessage());
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[1].OptionalMsgId, 18);
  EXPECT_EQ(shown_[1].Buttons, OptionalMsgTable[18].Buttons);
  EXPECT_FALSE(ShowQueuedMessage());
}

}  // namespace
