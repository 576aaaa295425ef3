#include "platform/controls/dialogs/dialog_parts.h"

#include "platform/controls/button.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/form.h"
#include "platform/controls/label.h"

namespace plat {

void SetUpDialogForm(Form& form, std::string_view caption, Form* owner) {
  form.SetCaption(Utf8To16(caption));
  form.SetBorderStyle(BorderStyle::Dialog);
  form.SetPosition(owner ? FormPosition::OwnerCenter : FormPosition::ScreenCenter);
}

Label& AddDialogLabel(Control& parent, const char16_t* caption, const Rect& r) {
  auto& l = parent.Add<Label>();
  l.SetCaption(caption);
  l.SetBounds(r);
  return l;
}

Button& AddDialogButton(Control& parent, const char* name, const char16_t* caption, const Rect& r) {
  auto& b = parent.Add<Button>();
  b.SetName(name);
  b.SetCaption(caption);
  b.SetTabStop(true);
  b.SetBounds(r);
  return b;
}

Button& AddCancelButton(Control& parent, const Rect& r) {
  Button& b = AddDialogButton(parent, "Cancel", u"Cancel", r);
  b.SetCancel(true);
  b.SetModalResult(mrCancel);
  return b;
}

}  // namespace plat
