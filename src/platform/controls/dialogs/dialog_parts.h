#pragma once
// Pieces the common dialogs and message boxes build their forms from.
#include <string_view>

#include "platform/gfx/types.h"

namespace plat {

class Button;
class Control;
class Form;
class Label;

// Gives the form its caption (UTF-8) and a dialog border, centred on its owner (on the screen
// without one).
void SetUpDialogForm(Form& form, std::string_view caption, Form* owner);
// A label with its caption at r.
Label& AddDialogLabel(Control& parent, const char16_t* caption, const Rect& r);
// A button in the tab order, with the name it is found by and its caption, at r.
Button& AddDialogButton(Control& parent, const char* name, const char16_t* caption, const Rect& r);
// The "Cancel" button: Escape presses it, and it closes the form with mrCancel.
Button& AddCancelButton(Control& parent, const Rect& r);

}  // namespace plat
