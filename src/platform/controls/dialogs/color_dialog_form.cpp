// The form of the colour dialog.
#include <array>
#include <string>
#include <vector>

#include "platform/controls/button.h"
#include "platform/controls/dialogs/color_dialog.h"
#include "platform/controls/dialogs/color_grid.h"
#include "platform/controls/dialogs/dialog_execute.h"
#include "platform/controls/dialogs/dialog_parts.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/edit.h"
#include "platform/controls/form.h"
#include "platform/controls/label.h"

namespace plat {

class ColorDialogForm : public Form {
 public:
  ColorDialogForm(ColorDialog& dialog, Form* owner);
  void Sync();
  ColorGrid* basic = nullptr;
  ColorGrid* custom = nullptr;
  Control* sample = nullptr;
  std::array<Edit*, 3> channels{};
  Button* add = nullptr;
  Button* ok = nullptr;

 private:
  ColorDialog& dialog_;
  bool syncing_ = false;
};

ColorDialogForm::ColorDialogForm(ColorDialog& dialog, Form* owner) : Form(owner), dialog_(dialog) {
  SetUpDialogForm(*this, dialog.Title.empty() ? "Color" : dialog.Title, owner);
  auto& basicLabel = Add<Label>();
  basicLabel.SetCaption(u"&Basic colors:");
  basicLabel.SetBounds(12, 10, 200, 18);
  basic = &Add<ColorGrid>();
  basic->SetName("Basic");
  basic->SetColors({BasicColors().begin(), BasicColors().end()}, 8);
  basic->SetBounds(12, 30, 224, 156);
  basicLabel.SetFocusControl(basic);
  basic->OnSelect = [this](ColorGrid&, int32_t i) {
    if (!syncing_) dialog_.PickBasic(i);
  };
  auto& customLabel = Add<Label>();
  customLabel.SetCaption(u"&Custom colors:");
  customLabel.SetBounds(12, 194, 200, 18);
  custom = &Add<ColorGrid>();
  custom->SetName("Custom");
  custom->SetBounds(12, 214, 224, 52);
  customLabel.SetFocusControl(custom);
  custom->OnSelect = [this](ColorGrid&, int32_t i) {
    if (!syncing_) dialog_.PickCustom(i);
  };

  sample = &Add<Control>();
  sample->SetName("Sample");
  sample->SetBounds(256, 30, 176, 80);
  const char16_t* names[3] = {u"&Red:", u"&Green:", u"Bl&ue:"};
  for (int32_t i = 0; i < 3; ++i) {
    auto& l = Add<Label>();
    l.SetCaption(names[i]);
    l.SetBounds(256, 126 + i * 32, 60, 18);
    Edit& e = Add<Edit>();
    e.SetName(i == 0 ? "Red" : i == 1 ? "Green" : "Blue");
    e.SetTabStop(true);
    e.SetMaxLength(3);
    e.SetBounds(320, 122 + i * 32, 60, 24);
    l.SetFocusControl(&e);
    e.OnChange = [this, i](Control& c) {
      if (syncing_) return;
      if (auto v = ParseChannel(static_cast<Edit&>(c).Text())) dialog_.SetChannel(i, *v);
    };
    channels[static_cast<size_t>(i)] = &e;
  }
  add = &Add<Button>();
  add->SetName("Add");
  add->SetCaption(u"&Add to Custom Colors");
  add->SetTabStop(true);
  add->SetBounds(256, 226, 176, 28);
  add->OnClick = [this](Control&) { dialog_.AddToCustom(); };
  ok = &AddDialogButton(*this, "OK", u"OK", Rect{256, 280, 340, 308});
  ok->SetDefault(true);
  ok->SetModalResult(mrOk);
  AddCancelButton(*this, Rect{348, 280, 432, 308});
  SetClientSize(444, 320);
  SetActiveControl(basic);
}

void ColorDialogForm::Sync() {
  syncing_ = true;
  uint32_t c = dialog_.Current();
  sample->SetBackColor(c);
  sample->Invalidate();
  const CustomColors& cc = dialog_.CustomSet().Colors();
  custom->SetColors({cc.begin(), cc.end()}, 8);
  custom->SetSelected(dialog_.CustomSet().Selected());
  uint8_t values[3] = {RedOf(c), GreenOf(c), BlueOf(c)};
  for (size_t i = 0; i < 3; ++i) {
    std::u16string text = Utf8To16(std::to_string(values[i]));
    auto typed = ParseChannel(channels[i]->Text());
    // A box being typed into keeps its text while it already says the value.
    if (!typed || *typed != values[i]) channels[i]->SetText(text);
  }
  syncing_ = false;
}

bool ColorDialog::Execute(Form* owner) { return ExecuteDialogForm(*this, form_, owner); }

void ColorDialog::SyncForm() {
  if (form_) form_->Sync();
}

Form* ColorDialog::DialogForm() const { return form_; }

}  // namespace plat
