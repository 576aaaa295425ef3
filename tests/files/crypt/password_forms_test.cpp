// The password dialogs of encrypted documents: what OK refuses with which message, and what the
// check boxes and the Close button remember.
#include <gtest/gtest.h>

#include <optional>

#include "files/crypt/encrypted_document.h"
#include "files/crypt/encryption_manager.h"
#include "files/crypt/password_forms.h"
#include "files/file_fixtures.h"
#include "foundation/app_fixture.h"
#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"

using namespace qv;
using namespace qvtest;

namespace {

class PasswordForms : public apptest::AppTest {
 protected:
  void SetUp() override {
    AppTest::SetUp();
    messages_.emplace();
    savedOption_ = GetOptions().LoadSave.ReuseEncPass;
  }
  void TearDown() override {
    GetOptions().LoadSave.ReuseEncPass = savedOption_;
    SuggestedSavingPassword().clear();
    RememberedOpeningPassword().clear();
    messages_.reset();
    AppTest::TearDown();
  }
  ScriptedMessages& Messages() { return **messages_; }
  static void Press(TStdDlgForm& form, uint8_t kind) { form.DlgButtons().ButtonByKind[kind]->Click(); }
  static std::string Plain(const std::string& kept) {
    return GetEncryptionManager().DecryptString(kept);
  }

  std::optional<ScopedService<TMessageDlgService, ScriptedMessages>> messages_;
  uint8_t savedOption_ = 0;
};

}  // namespace

TEST_F(PasswordForms, SavingRefusesBadPasswordsWithTheirMessages) {
  struct Case {
    const char16_t* password;
    const char16_t* retyped;
    const char* message;  // empty: accepted
    const char16_t* passwordAfter;
    const char16_t* retypedAfter;
  };
  const Case cases[] = {
      {u"", u"abcdefgh", "Please specify a non-blank password.", u"", u""},
      {u"short", u"short", "The password cannot be shorter than 8 characters.", u"", u""},
      {u"long enough", u"", "Please reenter password.", u"long enough", u""},
      {u"long enough", u"long Enough", "Both password entries must match.", u"", u""},
      {u"long enough", u"long enough", "", u"long enough", u"long enough"},
  };
  for (const Case& c : cases) {
    Messages().Shown.clear();
    TEncPswdForSavingForm form;
    form.PasswordEdt->SetText(c.password);
    form.RetypePasswordEdt->SetText(c.retyped);
    Press(form, dbOK);
    if (*c.message) {
      ASSERT_EQ(Messages().Shown.size(), 1u) << c.message;
      EXPECT_EQ(Messages().Shown[0], c.message);
      EXPECT_EQ(form.ModalResult(), plat::mrNone) << c.message;  // the dialog stays open
    } else {
      EXPECT_TRUE(Messages().Shown.empty());
      EXPECT_EQ(form.ModalResult(), plat::mrOk);
      EXPECT_EQ(Plain(SuggestedSavingPassword()), "long enough");
    }
    EXPECT_EQ(form.PasswordEdt->Text(), c.passwordAfter) << c.message;
    EXPECT_EQ(form.RetypePasswordEdt->Text(), c.retypedAfter) << c.message;
  }
  TEncPswdForSavingForm form;
  EXPECT_EQ(form.PasswordEdt->PasswordChar(), u'*');
  EXPECT_EQ(form.PasswordEdt->MaxLength(), 64);
}

TEST_F(PasswordForms, SuggestOptionFillsTheFieldsAndCancelBecomesClose) {
  GetOptions().LoadSave.ReuseEncPass = 0;
  {
    TEncPswdForSavingForm form;
    EXPECT_FALSE(form.MemChkBx->Checked());
    form.PasswordEdt->SetText(u"my secret phrase");
    form.MemChkBx->SetChecked(true);
    form.MemChkBxClick();
    EXPECT_EQ(GetOptions().LoadSave.ReuseEncPass & kSuggestPasswordBit, kSuggestPasswordBit);
    EXPECT_EQ(form.DlgButtons().ButtonByKind[dbCancel]->Caption(), u"Close");
    Press(form, dbCancel);
  }
  EXPECT_EQ(Plain(SuggestedSavingPassword()), "my secret phrase");
  EXPECT_NE(SuggestedSavingPassword(), "my secret phrase");  // kept enciphered
  TEncPswdForSavingForm next;
  EXPECT_TRUE(next.MemChkBx->Checked());
  EXPECT_EQ(next.PasswordEdt->Text(), u"my secret phrase");
  EXPECT_EQ(next.RetypePasswordEdt->Text(), u"my secret phrase");
}

TEST_F(PasswordForms, OpeningRefusesABlankPasswordAndRemembersTheGivenOne) {
  TEncPswdForOpeningForm form;
  Press(form, dbOK);
  ASSERT_EQ(Messages().Shown.size(), 1u);
  EXPECT_EQ(Messages().Shown[0], "Please specify a non-blank password.");
  EXPECT_EQ(form.ModalResult(), plat::mrNone);
  form.PasswordEdt->SetText(u"opening pw");
  form.MemChkBx->SetChecked(true);
  form.MemChkBxClick();
  EXPECT_EQ(GetOptions().LoadSave.ReuseEncPass & kTryAllPasswordsBit, kTryAllPasswordsBit);
  EXPECT_EQ(form.DlgButtons().ButtonByKind[dbCancel]->Caption(), u"Close");
  Press(form, dbOK);
  EXPECT_EQ(form.ModalResult(), plat::mrOk);
  EXPECT_EQ(Plain(RememberedOpeningPassword()), "opening pw");
}
