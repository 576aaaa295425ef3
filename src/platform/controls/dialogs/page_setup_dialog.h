#pragma once
// plat::PageSetupDialog: paper, orientation and margins for a printer.
//
// Lengths (Margins, MinMargins, PaperWidth, PaperHeight) are in the chosen Units. After OK (or
// after FillDefaults, which shows nothing) PaperCode, PaperWidth and PaperHeight (as oriented),
// Landscape, Margins and MinMargins (the least the printer needs on that paper) describe the
// choice. Margins below the minimum are refused while EnforceMinMargins is set; margins that
// leave no room on the paper are always refused. A cancelled dialog changes nothing.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/controls/dialogs/printer_list.h"

namespace plat {

class Form;
class PageSetupForm;

enum class MarginUnits { HundredthsOfMm, ThousandthsOfInch };

struct PageMargins {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const PageMargins&, const PageMargins&) = default;
};

class PageSetupDialog {
 public:
  PageSetupDialog();
  ~PageSetupDialog();
  PageSetupDialog(const PageSetupDialog&) = delete;
  PageSetupDialog& operator=(const PageSetupDialog&) = delete;

  std::string Title;          // empty: "Page Setup"
  std::string PrinterName;    // in: proposed (empty or unknown: the default); out: chosen
  MarginUnits Units = MarginUnits::HundredthsOfMm;
  int32_t PaperCode = 0;      // in: proposed (0: the printer's default paper); out
  int32_t PaperWidth = 0, PaperHeight = 0;  // out
  bool Landscape = false;
  PageMargins Margins{2500, 2500, 2500, 2500};  // in and out
  PageMargins MinMargins;                        // out
  bool EnforceMinMargins = true;

  std::function<void(PageSetupDialog&)> OnShow;
  std::function<void(const std::string& message)> OnMessage;  // default: a notice box

  bool Execute(Form* owner = nullptr);
  // Fills the results for the proposed (or default) printer and paper without showing anything.
  void FillDefaults();

  // ---- While open (and without a form between Begin and End) ----
  const std::vector<PrinterInfo>& Printers() const { return printers_; }
  int32_t CurrentPrinter() const { return printer_; }
  int32_t CurrentPaper() const { return paper_; }  // index into the printer's papers
  bool CurrentLandscape() const { return landscape_; }
  // The margin boxes' texts, in millimetres or inches ("25.4", "1.00").
  const std::u16string& MarginText(int32_t side) const { return marginText_[static_cast<size_t>(side)]; }
  PageMargins CurrentMinMargins() const;
  // The paper as oriented, in Units.
  int32_t CurrentPaperWidth() const;
  int32_t CurrentPaperHeight() const;
  Form* DialogForm() const;

  void SelectPrinter(int32_t index);
  void SelectPaper(int32_t index);
  void SetLandscape(bool v);
  // side: 0 left, 1 top, 2 right, 3 bottom.
  void SetMarginText(int32_t side, const std::u16string& text);
  bool Confirm();
  void Begin();
  void End(bool accepted);

  // Lengths in Units from tenths of a millimetre, and the text of a length in a margin box.
  int32_t FromTenthsMm(int32_t v) const;
  std::u16string LengthText(int32_t v) const;
  // A margin box's text as a length in Units; -1 when it is no number.
  int32_t ParseLength(const std::u16string& text) const;

  static constexpr const char* kMsgBadMargin = "The margins must be numbers of %s or more.";
  static constexpr const char* kMsgNoRoom = "The margins leave no room on the paper.";

 private:
  friend class PageSetupForm;
  void SyncForm();
  void Tell(const std::string& m);
  std::vector<PrinterInfo> printers_;
  int32_t printer_ = 0;
  int32_t paper_ = 0;
  bool landscape_ = false;
  std::u16string marginText_[4];
  PageMargins chosen_;
  PageSetupForm* form_ = nullptr;
};

}  // namespace plat
