#include "foundation/ui/std_dlg_form.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>

#include "foundation/app_fixture.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/command_services.h"
#include "foundation/ui/toolkit_services.h"
#include "platform/controls/control_look.h"
#include "platform/controls/page_control.h"

using namespace qv;

namespace {

class CountingDialog : public TStdDlgForm {
 public:
  int cancels = 0, oks = 0;
  bool refuseCancel = false;
  void DlgButtonClick(plat::Control& sender, uint8_t kind) override {
    TStdDlgForm::DlgButtonClick(sender, kind);
    if (kind == dbCancel) {
      ++cancels;
      if (refuseCancel) SetModalResult(plat::mrNone);
    }
    if (kind == dbOK) ++oks;
  }
};

class RecServices : public TToolkitServices {
 public:
  std::vector<int32_t> help;
  void ShowHelp(int32_t topic) override { help.push_back(topic); }
  bool PlaceFormAtBottom(plat::Rect& b, int32_t offset) override {
    b = {500 - b.Width() / 2, 700 - offset * 20 - b.Height(), 500 + b.Width() / 2, 700 - offset * 20};
    return true;
  }
};

class RecCommands : public TCommandService {
 public:
  std::vector<int32_t> run;
  void Execute(int32_t id) override { run.push_back(id); }
};

// Clicks a button from the idle step; the queued message wakes the loop's wait.
void ClickNow(plat::Button& b) {
  b.Click();
  plat::PostMessage(0, plat::WM_NULL);
}

class FormTest : public apptest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    toolkit_.emplace();
    services_ = &**toolkit_;
    App().OnIdle = [this] {
      if (actions_.empty()) return;
      auto a = actions_.front();
      actions_.pop_front();
      a();
    };
  }
  void TearDown() override {
    toolkit_.reset();
    plat::SetInterfaceScaleForTests(0);
    AppTest::TearDown();
  }
  std::deque<std::function<void()>> actions_;
  std::optional<ScopedService<TToolkitServices, RecServices>> toolkit_;
  RecServices* services_ = nullptr;
};

TEST_F(FormTest, EscAndTheCloseBoxRunTheCancelHandlingOnce) {
  struct Case { const char* name; std::function<void(CountingDialog&)> act; } cases[] = {
      {"escape", [](CountingDialog&) { plat::headless::PressKey(plat::VK_ESCAPE); }},
      {"close box", [](CountingDialog& d) { plat::headless::RequestClose(d.Handle()); }},
      {"cancel button", [](CountingDialog& d) { ClickNow(*d.DlgButtons().ButtonByKind[dbCancel]); }},
  };
  for (const Case& c : cases) {
    CountingDialog d;
    actions_.push_back([&] { c.act(d); });
    EXPECT_EQ(d.ShowModal(), plat::mrCancel) << c.name;
    EXPECT_EQ(d.cancels, 1) << c.name;
    EXPECT_EQ(d.DlgButtons().LastPressed, dbCancel) << c.name;
  }
  CountingDialog d;
  actions_.push_back([] { plat::headless::PressKey(plat::VK_RETURN); });
  EXPECT_EQ(d.ShowModal(), plat::mrOk);
  EXPECT_EQ(d.oks, 1);
  EXPECT_EQ(d.cancels, 0);
}

TEST_F(FormTest, ADialogThatRefusesCancelStaysOpenAfterEscAndTheCloseBox) {
  CountingDialog d;
  d.refuseCancel = true;
  actions_.push_back([] { plat::headless::PressKey(plat::VK_ESCAPE); });
  actions_.push_back([&] {
    EXPECT_TRUE(d.Visible());
    plat::headless::RequestClose(d.Handle());
  });
  actions_.push_back([&] {
    EXPECT_TRUE(d.Visible());
    EXPECT_EQ(d.cancels, 2);
    d.refuseCancel = false;
    ClickNow(*d.DlgButtons().ButtonByKind[dbOK]);
  });
  EXPECT_EQ(d.ShowModal(), plat::mrOk);
  EXPECT_EQ(d.cancels, 2);
}

TEST_F(FormTest, ButtonRowStandsInTheCornerScaledByTheInterfaceFont) {
  plat::SetInterfaceScaleForTests(26);
  TStdDlgForm d;
  d.SetClientSize(600, 400);
  TDlgButtons& row = d.DlgButtons();
  row.ButtonWidth = 74;
  row.ButtonHeight = 22;
  row.RightMargin = row.BottomMargin = 8;
  row.ButtonGap = 6;
  row.ButtonIndexes = "021";
  row.ScaleAndRebuild();
  EXPECT_EQ(row.ButtonWidth, 148);
  EXPECT_EQ(row.ButtonHeight, 44);
  EXPECT_EQ(row.RightMargin, 16);
  EXPECT_EQ(row.ButtonGap, 12);
  plat::Rect ok = row.ButtonByKind[dbOK]->BoundsRect();
  plat::Rect apply = row.ButtonByKind[dbApply]->BoundsRect();
  plat::Rect cancel = row.ButtonByKind[dbCancel]->BoundsRect();
  EXPECT_EQ(cancel.right, 600 - 16);
  EXPECT_EQ(cancel.bottom, 400 - 16);
  EXPECT_EQ(apply.right + 12, cancel.left);
  EXPECT_EQ(ok.right + 12, apply.left);
  EXPECT_EQ(ok.Width(), 148);
  EXPECT_EQ(row.ButtonByKind[dbApply]->Caption(), u"Apply");
  EXPECT_TRUE(row.ButtonByKind[dbOK]->Default());
  EXPECT_TRUE(row.ButtonByKind[dbCancel]->Cancel());
  row.ButtonIndexes = "0";
  row.Rebuild();
  EXPECT_EQ(row.ButtonByKind[dbCancel], nullptr);
  EXPECT_EQ(row.ButtonByKind[dbOK]->BoundsRect().right, 600 - 16);
}

TEST_F(FormTest, HelpOpensTheTopicOfTheActivePage) {
  TFormEx f;
  f.SetHelpContext(5000);
  auto& pages = f.Add<plat::PageControl>();
  plat::TabSheet* third = nullptr;
  for (int i = 0; i < 3; ++i) third = &pages.AddPage(u"Page");
  pages.SetActivePage(third);
  f.Perform(plat::WM_HELP);
  f.Perform(plat::WM_SYSCOMMAND, SC_CONTEXTHELP + 2);
  EXPECT_EQ(services_->help, (std::vector<int32_t>{5002, 5002}));
  f.SetHelpContext(0);
  f.Perform(plat::WM_HELP);
  EXPECT_EQ(services_->help.size(), 2u);
}

class NumberField : public plat::Control, public TValidatedField {
 public:
  NumberField(bool blank, bool valid) : blank_(blank), valid_(valid) {}
  bool IsBlank() const override { return blank_; }
  bool IsValid() const override { return valid_; }
  void Validate() override { ++warned; }
  int warned = 0;

 private:
  bool blank_, valid_;
};

TEST_F(FormTest, ValidateFieldsStopsAtTheFirstInvalidNonBlankField) {
  TFormEx f;
  auto& blank = f.Add<NumberField>(true, false);
  auto& good = f.Add<NumberField>(false, true);
  EXPECT_TRUE(f.ValidateFields());
  auto& panel = f.Add<plat::Control>();
  auto& bad1 = panel.Add<NumberField>(false, false);
  auto& bad2 = f.Add<NumberField>(false, false);
  EXPECT_FALSE(f.ValidateFields());
  EXPECT_EQ(bad1.warned, 1);
  EXPECT_EQ(bad2.warned + blank.warned + good.warned, 0);
}

TEST_F(FormTest, FloatingFormIsPlacedTheFirstTimeOnly) {
  TFloatingNonModalForm f;
  f.SetBounds(0, 0, 200, 100);
  f.BottomOffset = 2;
  f.ShowFloating(true);
  EXPECT_EQ(f.BoundsRect(), (plat::Rect{400, 560, 600, 660}));
  f.Hide();
  f.SetBounds(30, 40, 200, 100);
  f.ShowFloating(true);
  EXPECT_EQ(f.BoundsRect(), (plat::Rect{30, 40, 230, 140}));
  EXPECT_EQ(f.ShowCount, 2);
  f.ShowFloating(false);  // visible already: nothing
  EXPECT_EQ(f.ShowCount, 2);

  TFloatingNonModalForm g;
  g.SetBounds(0, 0, 200, 100);
  g.SavedLeft = -50;
  g.SavedTop = 100000;
  g.ShowFloating(false);
  plat::Rect m = services_->MainMonitorRect();
  EXPECT_EQ(g.Left(), 0);
  EXPECT_EQ(g.Top(), m.Height() - 100);
  EXPECT_FALSE(g.Visible());
  EXPECT_EQ(g.ShowCount, 1);
}

TEST_F(FormTest, CommandFormTurnsClipboardMessagesIntoCommands) {
  ScopedService<TCommandService, RecCommands> commands;
  RecCommands* cmds = &*commands;
  TCommandForm f;
  for (uint32_t m : {plat::WM_CUT, plat::WM_COPY, plat::WM_PASTE, plat::WM_CLEAR, plat::WM_UNDO})
    f.Perform(m);
  EXPECT_EQ(cmds->run, (std::vector<int32_t>{3420, 3340, 3360, 3200}));
  EXPECT_EQ(f.Perform(plat::WM_COPY), 1);
}

TEST_F(FormTest, PopupClosesWhenItLosesTheActivation) {
  TPopupStayOnTopForm p;
  p.SetBounds(10, 10, 100, 100);
  ShowForm(p);
  ASSERT_TRUE(p.Visible());
  plat::Form other;
  other.SetBounds(300, 300, 100, 100);
  ShowForm(other);
  EXPECT_FALSE(p.Visible());
}

}  // namespace
