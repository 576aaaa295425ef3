#include "platform/controls/dialogs/notice_box.h"

#include <algorithm>

#include "platform/controls/button.h"
#include "platform/controls/dialogs/dialog_parts.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/form.h"
#include "platform/controls/label.h"

namespace plat {
namespace {

std::function<void(Form&)>& ShowHook() {
  static std::function<void(Form&)> hook;
  return hook;
}

int32_t RunBox(const std::string& text, const std::string& caption, Form* owner, bool question) {
  Form box(owner);
  SetUpDialogForm(box, caption, owner);
  auto& label = box.Add<Label>();
  label.SetName("Text");
  label.SetAutoSize(false);
  label.SetWordWrap(true);
  label.SetCaption(Utf8To16(text));
  label.SetShowAccelChar(false);
  int32_t lines = static_cast<int32_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  int32_t textHeight = std::max<int32_t>(lines * 18, 36);
  label.SetBounds(16, 16, 340, textHeight);
  int32_t top = 16 + textHeight + 16;
  auto& first = box.Add<Button>();
  auto& second = box.Add<Button>();
  if (question) {
    first.SetCaption(u"&Yes");
    first.SetModalResult(mrYes);
    second.SetCaption(u"&No");
    second.SetModalResult(mrNo);
    second.SetCancel(true);
    first.SetBounds(372 - 2 * 88, top, 80, 26);
    second.SetBounds(372 - 88, top, 80, 26);
  } else {
    first.SetCaption(u"OK");
    first.SetModalResult(mrOk);
    first.SetCancel(true);
    first.SetBounds(372 - 88, top, 80, 26);
    second.Hide();
  }
  first.SetDefault(true);
  first.SetTabStop(true);
  second.SetTabStop(true);
  box.SetClientSize(372, top + 26 + 12);
  box.SetActiveControl(&first);
  box.OnShow = [](Form& f) {
    if (ShowHook()) ShowHook()(f);
  };
  return box.ShowModal();
}

}  // namespace

void SetNoticeShowHook(std::function<void(Form&)> hook) { ShowHook() = std::move(hook); }

bool AskYesNo(const std::string& text, const std::string& caption, Form* owner) {
  return RunBox(text, caption, owner, true) == mrYes;
}

void ShowNotice(const std::string& text, const std::string& caption, Form* owner) {
  RunBox(text, caption, owner, false);
}

}  // namespace plat
