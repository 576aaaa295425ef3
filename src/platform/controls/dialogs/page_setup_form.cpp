// The form of the page setup dialog.
#include <algorithm>
#include <array>

#include "platform/controls/button.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/control_look.h"
#include "platform/controls/dialogs/dialog_execute.h"
#include "platform/controls/dialogs/dialog_parts.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/dialogs/notice_box.h"
#include "platform/controls/dialogs/page_setup_dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/form.h"
#include "platform/controls/group_box.h"
#include "platform/controls/label.h"
#include "platform/controls/radio_button.h"
#include "platform/gfx/canvas.h"

namespace plat {
namespace {

// A small picture of the page with its margins.
class PageSample : public Control {
 public:
  explicit PageSample(const PageSetupDialog& d) : dialog_(d) {}

 protected:
  void Paint(PaintContext& pc) override {
    Canvas& c = *pc.canvas;
    Rect all = ClientRect();
    c.FillRect(all, Look().Face);
    int32_t w = dialog_.CurrentPaperWidth(), h = dialog_.CurrentPaperHeight();
    if (w <= 0 || h <= 0) return;
    double scale = std::min((all.Width() - 16) / double(w), (all.Height() - 16) / double(h));
    int32_t pw = static_cast<int32_t>(w * scale), ph = static_cast<int32_t>(h * scale);
    Rect page{(all.Width() - pw) / 2, (all.Height() - ph) / 2, 0, 0};
    page.right = page.left + pw;
    page.bottom = page.top + ph;
    c.FillRect(page.Offset(3, 3), Look().Border);
    c.FillRect(page, 0x00FFFFFF);
    c.FrameRect(page, Look().Text);
    int32_t m[4];
    for (int32_t i = 0; i < 4; ++i) m[i] = std::max(0, dialog_.ParseLength(dialog_.MarginText(i)));
    Rect text{page.left + static_cast<int32_t>(m[0] * scale), page.top + static_cast<int32_t>(m[1] * scale),
              page.right - static_cast<int32_t>(m[2] * scale), page.bottom - static_cast<int32_t>(m[3] * scale)};
    for (int32_t y = text.top + 2; y + 2 < text.bottom; y += 5) c.FillRect(Rect{text.left, y, text.right, y + 2}, Look().GrayText);
  }

 private:
  const PageSetupDialog& dialog_;
};

}  // namespace

class PageSetupForm : public Form {
 public:
  PageSetupForm(PageSetupDialog& d, Form* owner);
  void Sync();

 private:
  PageSetupDialog& dialog_;
  bool syncing_ = false;
  ComboBox* printer_ = nullptr;
  ComboBox* paper_ = nullptr;
  RadioButton* portrait_ = nullptr;
  RadioButton* landscape_ = nullptr;
  std::array<Edit*, 4> margins_{};
  Control* sample_ = nullptr;
};

PageSetupForm::PageSetupForm(PageSetupDialog& d, Form* owner) : Form(owner), dialog_(d) {
  SetUpDialogForm(*this, d.Title.empty() ? "Page Setup" : d.Title, owner);
  sample_ = &Add<PageSample>(d);
  sample_->SetName("Sample");
  sample_->SetBounds(Rect{12, 12, 176, 196});

  auto& printerLabel = AddDialogLabel(*this, u"P&rinter:", {200, 16, 280, 34});
  printer_ = &Add<ComboBox>();
  printer_->SetName("Printer");
  printer_->SetStyle(ComboStyle::DropDownList);
  printer_->SetTabStop(true);
  printer_->SetBounds(Rect{284, 12, 480, 38});
  printerLabel.SetFocusControl(printer_);
  printer_->OnSelect = [this](ComboBox& c) {
    if (!syncing_) dialog_.SelectPrinter(c.ItemIndex());
  };
  auto& paperLabel = AddDialogLabel(*this, u"Paper &size:", {200, 48, 280, 66});
  paper_ = &Add<ComboBox>();
  paper_->SetName("Paper");
  paper_->SetStyle(ComboStyle::DropDownList);
  paper_->SetTabStop(true);
  paper_->SetBounds(Rect{284, 44, 480, 70});
  paperLabel.SetFocusControl(paper_);
  paper_->OnSelect = [this](ComboBox& c) {
    if (!syncing_) dialog_.SelectPaper(c.ItemIndex());
  };

  auto& orientation = Add<GroupBox>();
  orientation.SetCaption(u"Orientation");
  orientation.SetBounds(Rect{200, 80, 324, 164});
  portrait_ = &orientation.Add<RadioButton>();
  portrait_->SetName("Portrait");
  portrait_->SetCaption(u"P&ortrait");
  portrait_->SetBounds(Rect{10, 24, 114, 46});
  landscape_ = &orientation.Add<RadioButton>();
  landscape_->SetName("Landscape");
  landscape_->SetCaption(u"&Landscape");
  landscape_->SetBounds(Rect{10, 52, 114, 74});
  portrait_->OnClick = [this](Control&) {
    if (!syncing_ && portrait_->Checked()) dialog_.SetLandscape(false);
  };
  landscape_->OnClick = [this](Control&) {
    if (!syncing_ && landscape_->Checked()) dialog_.SetLandscape(true);
  };

  auto& marginGroup = Add<GroupBox>();
  marginGroup.SetCaption(d.Units == MarginUnits::HundredthsOfMm ? u"Margins (millimeters)" : u"Margins (inches)");
  marginGroup.SetBounds(Rect{332, 80, 480, 208});
  const char16_t* names[4] = {u"L&eft:", u"&Top:", u"Ri&ght:", u"&Bottom:"};
  const char* ids[4] = {"Left", "Top", "Right", "Bottom"};
  for (int32_t i = 0; i < 4; ++i) {
    auto& l = AddDialogLabel(marginGroup, names[i], {10, 26 + i * 26, 70, 44 + i * 26});
    Edit& e = marginGroup.Add<Edit>();
    e.SetName(ids[i]);
    e.SetTabStop(true);
    e.SetMaxLength(8);
    e.SetBounds(Rect{72, 22 + i * 26, 138, 46 + i * 26});
    l.SetFocusControl(&e);
    e.OnChange = [this, i](Control& c) {
      if (!syncing_) dialog_.SetMarginText(i, static_cast<Edit&>(c).Text());
    };
    margins_[static_cast<size_t>(i)] = &e;
  }

  auto& ok = AddDialogButton(*this, "OK", u"OK", Rect{304, 220, 388, 248});
  ok.SetDefault(true);
  ok.OnClick = [this](Control&) {
    if (dialog_.Confirm()) SetModalResult(mrOk);
  };
  AddCancelButton(*this, Rect{396, 220, 480, 248});
  SetClientSize(492, 260);
  SetActiveControl(paper_);
}

void PageSetupForm::Sync() {
  syncing_ = true;
  const auto& printers = dialog_.Printers();
  if (printer_->Count() != static_cast<int32_t>(printers.size())) {
    printer_->Clear();
    for (const PrinterInfo& p : printers) printer_->AddItem(Utf8To16(p.name));
  }
  printer_->SetItemIndex(dialog_.CurrentPrinter());
  const PrinterInfo& p = printers[static_cast<size_t>(dialog_.CurrentPrinter())];
  std::vector<std::u16string> papers;
  for (const PaperInfo& paper : p.papers) papers.push_back(Utf8To16(paper.name));
  bool same = paper_->Count() == static_cast<int32_t>(papers.size());
  for (int32_t i = 0; same && i < paper_->Count(); ++i) same = paper_->ItemText(i) == papers[static_cast<size_t>(i)];
  if (!same) paper_->SetItems(papers);
  paper_->SetItemIndex(dialog_.CurrentPaper());
  (dialog_.CurrentLandscape() ? landscape_ : portrait_)->SetChecked(true);
  for (int32_t i = 0; i < 4; ++i) {
    Edit* e = margins_[static_cast<size_t>(i)];
    if (e->Text() != dialog_.MarginText(i)) e->SetText(dialog_.MarginText(i));
  }
  sample_->Invalidate();
  syncing_ = false;
}

bool PageSetupDialog::Execute(Form* owner) { return ExecuteDialogForm(*this, form_, owner); }

void PageSetupDialog::SyncForm() {
  if (form_) form_->Sync();
}

void PageSetupDialog::Tell(const std::string& m) {
  if (OnMessage) OnMessage(m);
  else ShowNotice(m, "Page Setup", form_);
}

Form* PageSetupDialog::DialogForm() const { return form_; }

}  // namespace plat
