#pragma once
// The modal run every common dialog makes of its form: the dialog begins, its form slot points
// at the form while the form is up (so changes made through the dialog reach the controls),
// the dialog's OnShow runs when the form appears, and the dialog ends with whether the choice
// was accepted. The form lives until the dialog has ended.
#include <cstdint>

#include "platform/controls/form.h"

namespace plat {

// `accepted` turns the form's modal result into the answer; it runs while the slot still
// points at the form.
template <class FormType, class Dialog, class Accepted>
bool ExecuteDialogForm(Dialog& dialog, FormType*& slot, Form* owner, Accepted accepted) {
  FormType form(dialog, owner);
  slot = &form;
  dialog.Begin();
  form.OnShow = [&dialog](Form&) {
    if (dialog.OnShow) dialog.OnShow(dialog);
  };
  const bool ok = accepted(form.ShowModal());
  slot = nullptr;
  dialog.End(ok);
  return ok;
}

// The plain case: the choice is accepted when the form closed with OK.
template <class FormType, class Dialog>
bool ExecuteDialogForm(Dialog& dialog, FormType*& slot, Form* owner) {
  return ExecuteDialogForm(dialog, slot, owner, [](int32_t result) { return result == mrOk; });
}

}  // namespace plat
