#pragma once
// The small modal boxes of the common dialogs: a question with Yes and No, and a notice with OK.
// (The program's own message box lives higher up; these serve the dialogs of this layer.)
#include <functional>
#include <string>

namespace plat {

class Form;

// True when the user answered Yes (Enter); No and Escape answer false.
bool AskYesNo(const std::string& text, const std::string& caption, Form* owner = nullptr);
void ShowNotice(const std::string& text, const std::string& caption, Form* owner = nullptr);

// Called with each box once it is shown (before the user answers); tests answer it from here,
// since input queued earlier went to the window that had the focus then. nullptr removes it.
void SetNoticeShowHook(std::function<void(Form&)> hook);

}  // namespace plat
