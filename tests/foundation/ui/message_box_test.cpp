#include "foundation/ui/message_box.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <optional>

#include "foundation/app_fixture.h"
#include "foundation/base/units.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/rich_viewer.h"
#include "foundation/ui/sound_services.h"
#include "platform/controls/control_look.h"
#include "support/test_env.h"

using namespace qv;

namespace {

struct Snapshot {
  std::u16string title;
  std::vector<std::u16string> buttons;
  std::u16string defaultButton;
  std::u16string cancelButton;
  bool icon = false;
  std::u16string checkBox;
  std::u16string text;
};

class RecSounds : public TSoundService {
 public:
  explicit RecSounds(std::vector<int32_t>* log) : log_(log) {}
  void PlayEventSound(int32_t event) override { log_->push_back(event); }

 private:
  std::vector<int32_t>* log_;
};

// Plays the user: each box shown is recorded and handed to the next action once the loop idles.
class MessageBoxTest : public apptest::AppTest {
 protected:
  using Action = std::function<void(TMessageDlgForm&)>;

  void SetUp() override {
    AppTest::SetUp();
    plat::SetInterfaceScaleForTests(13);
    soundService_.emplace(std::make_unique<RecSounds>(&sounds_));
    GetOptions().Internal.OptMsgs.assign(kOptionalMsgCount, 0);
    MessageDlgShown = [this](TMessageDlgForm& f) {
      pending_ = &f;
      Snapshot s;
      s.title = f.Caption();
      for (plat::Button* b : f.Buttons) s.buttons.push_back(b->Caption());
      if (f.DefaultBtn) s.defaultButton = f.DefaultBtn->Caption();
      if (f.CancelBtn) s.cancelButton = f.CancelBtn->Caption();
      s.icon = f.Icon != nullptr;
      if (f.CheckBox) s.checkBox = f.CheckBox->Caption();
      s.text = f.TextLabel->Caption();
      seen_.push_back(s);
    };
    App().OnIdle = [this] {
      if (!pending_ || actions_.empty()) return;
      TMessageDlgForm* f = pending_;
      pending_ = nullptr;
      Action a = actions_.front();
      actions_.pop_front();
      a(*f);
    };
  }
  void TearDown() override {
    GetOptions().Internal.OptMsgs.assign(kOptionalMsgCount, 0);
    MessageDlgShown = nullptr;
    soundService_.reset();
    plat::SetInterfaceScaleForTests(0);
    AppTest::TearDown();
  }

  static Action Key(uint8_t vk) {
    return [vk](TMessageDlgForm&) { plat::headless::PressKey(vk); };
  }
  static Action TickThen(uint8_t vk) {
    return [vk](TMessageDlgForm& f) {
      f.CheckBox->SetChecked(true);
      plat::headless::PressKey(vk);
    };
  }
  static Action TickAndPress(const char16_t* caption) {
    return [caption](TMessageDlgForm& f) {
      f.CheckBox->SetChecked(true);
      for (plat::Button* b : f.Buttons)
        if (b->Caption() == caption) b->Click();  // as the mouse would
    };
  }

  std::deque<Action> actions_;
  std::vector<Snapshot> seen_;
  std::vector<int32_t> sounds_;
  std::optional<ScopedService<TSoundService>> soundService_;
  TMessageDlgForm* pending_ = nullptr;
};

TEST_F(MessageBoxTest, EveryKindWithItsButtonsTitleAndDefault) {
  constexpr uint16_t kOK = 4, kYesNo = 3, kYesNoCancel = 11, kRetryCancel = 40,
                     kCancelIgnore = 72, kNoIgnore = 66, kYesCancel = 9, kNoAbort = 18;
  struct Case {
    uint8_t kind;
    uint16_t buttons;
    const char16_t* title;
    std::vector<std::u16string> captions;
    const char16_t* def;
    const char16_t* cancel;
    int32_t enterResult;
    int32_t escResult;
  } cases[] = {
      {mkWarning, kOK, u"Warning", {u"OK"}, u"OK", u"OK", mrOk, mrOk},
      {mkError, kOK, u"Error", {u"OK"}, u"OK", u"OK", mrOk, mrOk},
      {mkInformation, kOK, u"Information", {u"OK"}, u"OK", u"OK", mrOk, mrOk},
      {mkConfirmation, kYesNo, u"Confirm", {u"&Yes", u"&No"}, u"&Yes", u"&No", mrYes, mrNo},
      {mkConfirmation, kYesNoCancel, u"Confirm", {u"&Yes", u"&No", u"Cancel"}, u"&Yes", u"Cancel", mrYes, mrCancel},
      {mkConfirmation, kYesCancel, u"Confirm", {u"&Yes", u"Cancel"}, u"&Yes", u"Cancel", mrYes, mrCancel},
      {mkError, kRetryCancel, u"Error", {u"Cancel", u"&Retry"}, u"&Retry", u"Cancel", mrRetry, mrCancel},
      {mkWarning, kCancelIgnore, u"Warning", {u"Cancel", u"&Ignore"}, u"Cancel", u"Cancel", mrCancel, mrCancel},
      {mkWarning, kNoIgnore, u"Warning", {u"&No", u"&Ignore"}, u"", u"&No", mrNo, mrNo},
      {mkWarning, kNoAbort, u"Warning", {u"&No", u"&Abort"}, u"", u"&No", mrNo, mrNo},
  };
  for (const Case& c : cases) {
    for (bool esc : {false, true}) {
      seen_.clear();
      sounds_.clear();
      actions_.push_back(Key(esc ? plat::VK_ESCAPE : plat::VK_RETURN));
      int32_t r = ShowMessageDlg("Some text.", c.kind, c.buttons);
      ASSERT_EQ(seen_.size(), 1u);
      const Snapshot& s = seen_[0];
      EXPECT_EQ(s.title, c.title);
      EXPECT_EQ(s.buttons, c.captions);
      EXPECT_EQ(s.defaultButton, c.def);
      EXPECT_EQ(s.cancelButton, c.cancel);
      EXPECT_TRUE(s.icon);
      EXPECT_EQ(r, esc ? c.escResult : c.enterResult) << int(c.buttons) << (esc ? " esc" : " enter");
      EXPECT_EQ(sounds_, std::vector<int32_t>{1000 + c.kind});
    }
  }
}

TEST_F(MessageBoxTest, PrimedFieldsServeOneBoxOnly) {
  MessageDlgInfo().Caption = "Custom title";
  MessageDlgInfo().DefaultButton = mbNo;
  MessageDlgInfo().LastButton = mbYes;
  actions_.push_back(Key(plat::VK_RETURN));
  EXPECT_EQ(ShowMessageDlg("Text", mkNoIcon, 11), mrNo);
  actions_.push_back(Key(plat::VK_RETURN));
  ShowMessageDlg("Text", mkConfirmation, 11);
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[0].title, u"Custom title");
  EXPECT_FALSE(seen_[0].icon);
  EXPECT_EQ(seen_[0].buttons, (std::vector<std::u16string>{u"&No", u"Cancel", u"&Yes"}));
  EXPECT_EQ(seen_[1].title, u"Confirm");
  EXPECT_EQ(seen_[1].defaultButton, u"&Yes");
  EXPECT_EQ(seen_[1].buttons, (std::vector<std::u16string>{u"&Yes", u"&No", u"Cancel"}));
  EXPECT_TRUE(sounds_.size() == 1 && sounds_[0] == 1003);  // no sound for a box without a kind
}

TEST_F(MessageBoxTest, AmpersandsShowAsTheyAre) {
  actions_.push_back(Key(plat::VK_RETURN));
  ShowInfo("Salt & pepper");
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].text, u"Salt && pepper");
}

TEST_F(MessageBoxTest, SwitchedOffOptionalMessageAnswersWithoutShowing) {
  SetOptionalMsgState(6, 0x80 + mbNo);
  EXPECT_EQ(ShowOptionalMsg("Document \"a\" has been modified. Save changes?", mkConfirmation, 6), mrNo);
  SetOptionalMsgState(0, 0x80 + mbYes);
  EXPECT_EQ(ShowOptionalMsg("File is used.", mkConfirmation, 0), mrYes);
  EXPECT_TRUE(seen_.empty());
  EXPECT_TRUE(sounds_.empty());
  EXPECT_EQ(MessageDlgInfo().OptionalMsgId, 255);
  // A byte with bit 7 clear shows the message.
  SetOptionalMsgState(6, mbNo);
  actions_.push_back(Key(plat::VK_RETURN));
  EXPECT_EQ(ShowOptionalMsg("Save changes?", mkConfirmation, 6), mrYes);
  EXPECT_EQ(seen_.size(), 1u);
}

TEST_F(MessageBoxTest, DoNotAskAgainStoresTheAnswerButNeverCancel) {
  struct Case {
    const char* name;
    Action act;
    int32_t result;
    uint8_t stored;
  } cases[] = {
      {"No pressed", TickAndPress(u"&No"), mrNo, 0x81},
      {"Yes by Enter", TickThen(plat::VK_RETURN), mrYes, 0x80},
      {"Cancel pressed", TickAndPress(u"Cancel"), mrCancel, 0},
      {"Escape", TickThen(plat::VK_ESCAPE), mrCancel, 0},
  };
  for (const Case& c : cases) {
    SetOptionalMsgState(3, 0);
    seen_.clear();
    actions_.push_back(c.act);
    EXPECT_EQ(ShowOptionalMsg("Save document?", mkConfirmation, 3), c.result) << c.name;
    EXPECT_EQ(OptionalMsgState(3), c.stored) << c.name;
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].checkBox, u"Do not a&sk again");
  }
  // Escape on a Yes/No box answers No but is no choice to remember.
  SetOptionalMsgState(9, 0);
  actions_.push_back(TickThen(plat::VK_ESCAPE));
  EXPECT_EQ(ShowOptionalMsg("Add style?", mkConfirmation, 9), mrNo);
  EXPECT_EQ(OptionalMsgState(9), 0);
}

TEST_F(MessageBoxTest, DoNotShowAgainOnAnOkBoxStoresOkAndExplainsHowToUndo) {
  actions_.push_back(TickThen(plat::VK_RETURN));
  actions_.push_back(Key(plat::VK_RETURN));
  EXPECT_EQ(ShowOptionalMsg("The hyphenation module is not installed.", mkInformation, 26), mrOk);
  EXPECT_EQ(OptionalMsgState(26), 0x82);
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[0].checkBox, u"Do not &show this message again");
  EXPECT_EQ(seen_[1].title, u"Information");
  EXPECT_TRUE(seen_[1].checkBox.empty());
  EXPECT_NE(seen_[1].text.find(u"You have just disabled an optional message."), std::u16string::npos);
}

TEST_F(MessageBoxTest, SuppressedMessagesAnswerCancelSilently) {
  MessagesSuppressed = true;
  EXPECT_EQ(ShowMessageDlg("x", mkError, 4), mrCancel);
  QueueMessage("later", mkError, 4, 255);
  MessagesSuppressed = false;
  EXPECT_TRUE(seen_.empty());
  EXPECT_TRUE(sounds_.empty());
  EXPECT_TRUE(MessageQueue().empty());
  QueueMessage("later", mkError, 4, 255);
  EXPECT_EQ(MessageQueue().size(), 1u);
  MessageQueue().clear();
}

TEST_F(MessageBoxTest, QueuedMessagesShowOnePerPassAndNotInsideAnother) {
  QueueMessage("first", mkWarning, ButtonBit(mbOK), 255);
  QueueMessage("second", mkInformation, ButtonBit(mbOK), 26);
  bool nested = true;
  actions_.push_back([&](TMessageDlgForm&) {
    nested = ShowQueuedMessage();  // a pass while a queued message is up shows nothing
    plat::headless::PressKey(plat::VK_RETURN);
  });
  EXPECT_TRUE(ShowQueuedMessage());
  EXPECT_FALSE(nested);
  ASSERT_EQ(seen_.size(), 1u);
  EXPECT_EQ(seen_[0].text, u"first");
  actions_.push_back(Key(plat::VK_RETURN));
  EXPECT_TRUE(ShowQueuedMessage());
  ASSERT_EQ(seen_.size(), 2u);
  EXPECT_EQ(seen_[1].checkBox, u"Do not &show this message again");
  EXPECT_FALSE(ShowQueuedMessage());
}

TEST_F(MessageBoxTest, ButtonsCentredOrInTheFirstQuarterBesideTheCheckBox) {
  std::vector<int32_t> lefts;
  int32_t clientWidth = 0;
  auto measure = [&](TMessageDlgForm& f) {
    lefts.clear();
    for (plat::Button* b : f.Buttons) lefts.push_back(b->Left());
    clientWidth = f.ClientRect().Width();
    plat::headless::PressKey(plat::VK_RETURN);
  };
  actions_.push_back(measure);
  ShowMessageDlg("Short.", mkConfirmation, 3);
  const int32_t row = 83 + 6 + 83;
  ASSERT_EQ(lefts.size(), 2u);
  EXPECT_EQ(lefts[0], (clientWidth - row) / 2);
  EXPECT_EQ(lefts[1], lefts[0] + 89);
  actions_.push_back(measure);
  ShowOptionalMsg("Short.", mkConfirmation, 9);
  EXPECT_EQ(lefts[0], 110 + 30 + (clientWidth - 110 - 30 - row) / 4);
}

TEST_F(MessageBoxTest, PictureOfAnOptionalMessageWithItsExplanation) {
  std::string png = qvtest::MakeTempDir("box") + "/optional_message.png";
  int32_t heightBefore = 0, heightAfter = 0;
  bool viewerShown = false;
  size_t viewerLines = 0;
  actions_.push_back([&](TMessageDlgForm& f) {
    heightBefore = f.ClientRect().Height();
    f.CheckBox->SetChecked(true);
    heightAfter = f.ClientRect().Height();
    viewerShown = f.Viewer && f.Viewer->Visible();
    viewerLines = f.Viewer ? f.Viewer->Lines().size() : 0;
    plat::SaveWindowPng(f.Handle(), png);
    f.CheckBox->SetChecked(false);
    plat::headless::PressKey(plat::VK_RETURN);
  });
  ShowOptionalMsg("Document \"Report.rtf\" has been modified. Save changes?", mkConfirmation, 6);
  EXPECT_TRUE(viewerShown);
  EXPECT_GT(viewerLines, 5u);
  EXPECT_GT(heightAfter, heightBefore + 100);
  EXPECT_TRUE(std::filesystem::exists(png));
  EXPECT_EQ(OptionalMsgState(6), 0);  // unticked again before Yes: nothing stored
}

TEST(MessageBoxHelpers, IntegersAndPercentages) {
  int32_t buf[6] = {1, 2, 3, 4, 5, 6};
  FillInts(buf, 2, 9);
  EXPECT_EQ(buf[1], 9);
  FillIntsUnset(buf + 2, 1);
  EXPECT_EQ(uint32_t(buf[2]), 0x80000000u);
  const int32_t* src = buf;
  int32_t* dst = buf + 1;
  MoveInts(src, dst, 3);  // overlapping
  EXPECT_EQ(buf[1], 9);
  EXPECT_EQ(buf[3], int32_t(0x80000000u));
  EXPECT_EQ(src, buf + 3);
  EXPECT_EQ(dst, buf + 4);
  EXPECT_EQ(PercentOf(200, 15), 30);
  EXPECT_EQ(PercentOf(5, 50), 3);
  EXPECT_EQ(PercentOf(-5, 50), -3);
}

TEST(MessageBoxHelpers, OptionalMessageTable) {
  EXPECT_EQ(OptionalMsgTable[6].Buttons, 11);
  EXPECT_EQ(OptionalMsgTable[8].Buttons, 66);
  EXPECT_EQ(OptionalMsgTable[26].Buttons, 4);
  for (int id : {7, 11, 17, 36, 46, 47}) {
    EXPECT_STREQ(OptionalMsgTable[id].Text, "");
    EXPECT_EQ(OptionalMsgTable[id].Buttons, 0);
  }
  EXPECT_STREQ(OptionalMsgTable[6].Text, "Document \"%s\" has been modified. Save changes?");
}

}  // namespace
