// The forms of the print dialog and of a printer's Properties.
#include <array>
#include <string>

#include "platform/controls/button.h"
#include "platform/controls/check_box.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/dialog_execute.h"
#include "platform/controls/dialogs/dialog_parts.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/dialogs/notice_box.h"
#include "platform/controls/dialogs/print_dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/form.h"
#include "platform/controls/group_box.h"
#include "platform/controls/label.h"
#include "platform/controls/radio_button.h"

namespace plat {

class PrintDialogForm : public Form {
 public:
  PrintDialogForm(PrintDialog& dialog, Form* owner);
  void Sync();
  Control* extra = nullptr;

 private:
  PrintDialog& dialog_;
  bool syncing_ = false;
  ComboBox* printer_ = nullptr;
  Label* where_ = nullptr;
  std::array<RadioButton*, 4> ranges_{};
  Edit* pages_ = nullptr;
  Edit* copies_ = nullptr;
  CheckBox* collate_ = nullptr;
};

PrintDialogForm::PrintDialogForm(PrintDialog& d, Form* owner) : Form(owner), dialog_(d) {
  SetUpDialogForm(*this, d.Title.empty() ? "Print" : d.Title, owner);
  int32_t extraH = std::max(0, d.ExtraHeight);

  auto& printerGroup = Add<GroupBox>();
  printerGroup.SetCaption(u"Printer");
  printerGroup.SetBounds(12, 8, 456, 84);
  auto& nameLabel = AddDialogLabel(printerGroup, u"&Name:", {12, 26, 72, 44});
  printer_ = &printerGroup.Add<ComboBox>();
  printer_->SetName("Printer");
  printer_->SetStyle(ComboStyle::DropDownList);
  printer_->SetTabStop(true);
  printer_->SetBounds(76, 22, 250, 26);
  nameLabel.SetFocusControl(printer_);
  printer_->OnSelect = [this](ComboBox& c) {
    if (!syncing_) dialog_.SelectPrinter(c.ItemIndex());
  };
  AddDialogButton(printerGroup, "Properties", u"&Properties...", {336, 22, 444, 48}).OnClick = [this](Control&) {
    dialog_.EditProperties();
  };
  AddDialogLabel(printerGroup, u"Where:", {12, 56, 72, 74});
  where_ = &AddDialogLabel(printerGroup, u"", {76, 56, 440, 74});
  where_->SetAutoSize(false);
  where_->SetShowAccelChar(false);

  auto& rangeGroup = Add<GroupBox>();
  rangeGroup.SetCaption(u"Print range");
  rangeGroup.SetBounds(12, 100, 250, 136);
  const char16_t* rangeCaptions[4] = {u"&All", u"S&election", u"Pa&ges:", u"Curr&ent page"};
  const PrintRange kinds[4] = {PrintRange::All, PrintRange::Selection, PrintRange::Pages, PrintRange::CurrentPage};
  const bool allowed[4] = {true, d.AllowSelection, d.AllowPageNums, d.AllowCurrentPage};
  for (size_t i = 0; i < 4; ++i) {
    auto& r = rangeGroup.Add<RadioButton>();
    r.SetName(i == 0 ? "All" : i == 1 ? "Selection" : i == 2 ? "Pages" : "CurrentPage");
    r.SetCaption(rangeCaptions[i]);
    r.SetBounds(12, 22 + static_cast<int32_t>(i) * 27, 100, 24);
    r.SetEnabled(allowed[i]);
    PrintRange kind = kinds[i];
    r.OnClick = [this, kind](Control& c) {
      if (!syncing_ && static_cast<RadioButton&>(c).Checked()) dialog_.SetRange(kind);
    };
    ranges_[i] = &r;
  }
  pages_ = &rangeGroup.Add<Edit>();
  pages_->SetName("PageRange");
  pages_->SetTabStop(true);
  pages_->SetEnabled(d.AllowPageNums);
  pages_->SetBounds(Rect{116, 74, 236, 98});
  pages_->OnChange = [this](Control&) {
    if (!syncing_) dialog_.SetPagesText(pages_->Text());
  };

  auto& copiesGroup = Add<GroupBox>();
  copiesGroup.SetCaption(u"Copies");
  copiesGroup.SetBounds(Rect{272, 100, 468, 236});
  auto& copiesLabel = AddDialogLabel(copiesGroup, u"Number of &copies:", {12, 26, 130, 44});
  copies_ = &copiesGroup.Add<Edit>();
  copies_->SetName("Copies");
  copies_->SetTabStop(true);
  copies_->SetMaxLength(4);
  copies_->SetBounds(Rect{132, 22, 184, 46});
  copiesLabel.SetFocusControl(copies_);
  copies_->OnChange = [this](Control&) {
    if (!syncing_) dialog_.SetCopiesText(copies_->Text());
  };
  collate_ = &copiesGroup.Add<CheckBox>();
  collate_->SetName("Collate");
  collate_->SetCaption(u"C&ollate");
  collate_->SetTabStop(true);
  collate_->SetBounds(Rect{12, 60, 180, 84});
  collate_->OnClick = [this](Control&) {
    if (!syncing_) dialog_.SetCollate(collate_->Checked());
  };

  extra = &Add<Control>();
  extra->SetName("Extra");
  extra->SetBounds(Rect{12, 244, 468, 244 + extraH});
  extra->SetVisible(extraH > 0);
  int32_t buttonsTop = 244 + (extraH > 0 ? extraH + 8 : 0);
  auto& ok = AddDialogButton(*this, "OK", u"OK", {292, buttonsTop, 376, buttonsTop + 28});
  ok.SetDefault(true);
  ok.OnClick = [this](Control&) {
    if (dialog_.Confirm()) SetModalResult(mrOk);
  };
  AddCancelButton(*this, {384, buttonsTop, 468, buttonsTop + 28});
  SetClientSize(480, buttonsTop + 40);
  SetActiveControl(printer_);
}

void PrintDialogForm::Sync() {
  syncing_ = true;
  if (printer_->Count() != static_cast<int32_t>(dialog_.Printers().size())) {
    printer_->Clear();
    for (const PrinterInfo& p : dialog_.Printers()) printer_->AddItem(Utf8To16(p.name));
  }
  printer_->SetItemIndex(dialog_.CurrentPrinter());
  where_->SetCaption(Utf8To16(dialog_.Printers()[static_cast<size_t>(dialog_.CurrentPrinter())].location));
  ranges_[static_cast<size_t>(dialog_.CurrentRange())]->SetChecked(true);
  if (pages_->Text() != dialog_.PagesText()) pages_->SetText(dialog_.PagesText());
  if (copies_->Text() != dialog_.CopiesText()) copies_->SetText(dialog_.CopiesText());
  collate_->SetChecked(dialog_.CurrentCollate());
  syncing_ = false;
}

bool PrintDialog::Execute(Form* owner) { return ExecuteDialogForm(*this, form_, owner); }

void PrintDialog::SyncForm() {
  if (form_) form_->Sync();
}

void PrintDialog::Tell(const std::string& m) {
  if (OnMessage) OnMessage(m);
  else ShowNotice(m, "Print", form_);
}

Form* PrintDialog::DialogForm() const { return form_; }
Control* PrintDialog::ExtraArea() const { return form_ ? form_->extra : nullptr; }

bool ExecutePrinterProperties(const PrinterInfo& printer, PrinterSettings& settings, Form* owner,
                              const std::function<void(Form&)>& onShow) {
  Form box(owner);
  SetUpDialogForm(box, printer.name + " Properties", owner);
  auto& paperLabel = AddDialogLabel(box, u"Paper &size:", {12, 16, 100, 34});
  auto& paper = box.Add<ComboBox>();
  paper.SetName("Paper");
  paper.SetStyle(ComboStyle::DropDownList);
  paper.SetTabStop(true);
  paper.SetBounds(Rect{104, 12, 320, 38});
  paperLabel.SetFocusControl(&paper);
  for (const PaperInfo& p : printer.papers) paper.AddItem(Utf8To16(p.name), p.code);
  int32_t current = settings.paperCode ? FindPaper(printer, settings.paperCode, 0, 0) : printer.defaultPaper;
  paper.SetItemIndex(current < 0 ? printer.defaultPaper : current);

  auto& orientation = box.Add<GroupBox>();
  orientation.SetCaption(u"Orientation");
  orientation.SetBounds(Rect{12, 48, 320, 130});
  auto& portrait = orientation.Add<RadioButton>();
  portrait.SetName("Portrait");
  portrait.SetCaption(u"P&ortrait");
  portrait.SetBounds(Rect{12, 22, 200, 46});
  auto& landscape = orientation.Add<RadioButton>();
  landscape.SetName("Landscape");
  landscape.SetCaption(u"&Landscape");
  landscape.SetBounds(Rect{12, 50, 200, 74});
  (settings.landscape ? landscape : portrait).SetChecked(true);
  auto& duplex = box.Add<CheckBox>();
  duplex.SetName("Duplex");
  duplex.SetCaption(u"Print on &both sides");
  duplex.SetTabStop(true);
  duplex.SetBounds(Rect{12, 138, 320, 162});
  duplex.SetVisible(printer.duplex);
  duplex.SetChecked(printer.duplex && settings.duplex);

  auto& ok = AddDialogButton(box, "OK", u"OK", {156, 174, 240, 202});
  ok.SetDefault(true);
  ok.SetModalResult(mrOk);
  AddCancelButton(box, {248, 174, 332, 202});
  box.SetClientSize(344, 214);
  box.SetActiveControl(&paper);
  box.OnShow = [&](Form& f) {
    if (onShow) onShow(f);
  };
  if (box.ShowModal() != mrOk) return false;
  int32_t i = paper.ItemIndex();
  settings.paperCode = i >= 0 ? static_cast<int32_t>(paper.ItemData(i)) : 0;
  settings.landscape = landscape.Checked();
  settings.duplex = printer.duplex && duplex.Checked();
  return true;
}

}  // namespace plat
