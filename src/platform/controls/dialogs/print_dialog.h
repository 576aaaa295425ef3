#pragma once
// plat::PrintDialog: chooses the printer, the pages, the number of copies and collation, and
// the printer's paper and orientation (its Properties).
//
// Calling order: set the page limits (MinPage, MaxPage), what may be chosen (AllowSelection,
// AllowPageNums, AllowCurrentPage), the proposals (PrinterName, Range, FromPage, ToPage,
// Copies, Collate), then Execute(); after OK read PrinterName, Range, Ranges (the pages as
// ranges, also for Range == All), FromPage and ToPage (the first and last page of Ranges),
// Copies, Collate and Settings. A cancelled dialog changes nothing.
//
// Callers may add controls of their own in ExtraArea() (ExtraHeight pixels high, below the
// standard controls) from OnShow, and check the choice in OnConfirm (false keeps it open).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/dialogs/page_range.h"
#include "platform/controls/dialogs/printer_list.h"

namespace plat {

class Control;
class Form;
class PrintDialogForm;

enum class PrintRange { All, Selection, Pages, CurrentPage };

// What the Properties of a printer set for a job.
struct PrinterSettings {
  int32_t paperCode = 0;   // a code of the printer's papers; 0: the printer's default paper
  bool landscape = false;
  bool duplex = false;     // both sides (only when the printer can)
  friend bool operator==(const PrinterSettings&, const PrinterSettings&) = default;
};

class PrintDialog {
 public:
  PrintDialog();
  ~PrintDialog();
  PrintDialog(const PrintDialog&) = delete;
  PrintDialog& operator=(const PrintDialog&) = delete;

  std::string Title;           // empty: "Print"
  std::string PrinterName;     // in: proposed (empty or unknown: the default); out: chosen
  int32_t MinPage = 1, MaxPage = 1;
  bool AllowSelection = false;
  bool AllowPageNums = true;
  bool AllowCurrentPage = false;
  PrintRange Range = PrintRange::All;
  int32_t FromPage = 1, ToPage = 1;  // in: proposed for "Pages"; out: first and last page
  std::vector<PageRange> Ranges;     // out
  int32_t Copies = 1;
  bool Collate = false;
  PrinterSettings Settings;
  int32_t ExtraHeight = 0;

  std::function<void(PrintDialog&)> OnShow;
  std::function<bool(PrintDialog&)> OnConfirm;
  std::function<void(const std::string& message)> OnMessage;  // default: a notice box

  bool Execute(Form* owner = nullptr);

  // ---- While open (and without a form between Begin and End) ----
  const std::vector<PrinterInfo>& Printers() const { return printers_; }
  int32_t CurrentPrinter() const { return printer_; }
  PrintRange CurrentRange() const { return range_; }
  const std::u16string& PagesText() const { return pagesText_; }
  const std::u16string& CopiesText() const { return copiesText_; }
  bool CurrentCollate() const { return collate_; }
  const PrinterSettings& CurrentSettings() const { return settings_; }
  // The pages and copies of the choice being confirmed (for OnConfirm).
  const std::vector<PageRange>& ChosenRanges() const { return ranges_; }
  int32_t ChosenCopies() const { return copies_; }
  Form* DialogForm() const;
  Control* ExtraArea() const;

  void SelectPrinter(int32_t index);
  void SetRange(PrintRange r);
  void SetPagesText(const std::u16string& text);  // also chooses Range Pages
  void SetCopiesText(const std::u16string& text);
  void SetCollate(bool v);
  void SetSettings(const PrinterSettings& s);
  // Runs the Properties of the current printer (the modal paper and orientation box).
  void EditProperties();
  // The OK button: true when the choice is valid and the dialog ends.
  bool Confirm();
  void Begin();
  void End(bool accepted);

  // Messages of the checks.
  static constexpr const char* kMsgBadRange =
      "Enter page numbers and page ranges between %s, for example 1, 3, 5-12.";
  static constexpr const char* kMsgBadCopies = "Enter a number of copies between 1 and 9999.";

 private:
  friend class PrintDialogForm;
  void SyncForm();
  void Tell(const std::string& m);
  std::vector<PrinterInfo> printers_;
  int32_t printer_ = 0;
  PrintRange range_ = PrintRange::All;
  std::u16string pagesText_;
  std::u16string copiesText_;
  bool collate_ = false;
  PrinterSettings settings_;
  std::vector<PageRange> ranges_;
  int32_t copies_ = 1;
  PrintDialogForm* form_ = nullptr;
};

// The modal Properties box of a printer: paper and orientation (and both sides when the
// printer can). True when confirmed; the settings are changed only then.
bool ExecutePrinterProperties(const PrinterInfo& printer, PrinterSettings& settings, Form* owner = nullptr,
                              const std::function<void(Form&)>& onShow = nullptr);

}  // namespace plat
