#pragma once
// The system's printers and an open printer's paper.
//
// The printer list of the system comes from CUPS: every destination with its media (paper sizes
// with the least margins the printer needs on each), whether it prints on both sides and the
// range of sizes of its own that it takes; the PDF-file printer is always there besides them.
// Nothing here needs a CUPS server: without one the list holds the PDF-file printer alone.
//
// An open Printer stands for a printer handle and its device context: it knows the printer's
// papers and the paper forms added to it, and a device mode (paper, orientation, two sides)
// makes it print on a page whose physical size and margins it reports, as the printer would
// (a size it does not take gives its default paper instead).
//
// Units: paper and device-mode sizes in tenths of a millimetre (portrait), forms in thousandths
// of a millimetre, minimum margins in thousandths of an inch, device pages in dots.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/dialogs/printer_list.h"
#include "platform/gfx/types.h"

namespace plat {

// ---- Paper codes -------------------------------------------------------------------------------

// The system's paper number of a size (either orientation, within 1 mm), 0 when it has none.
int32_t PaperCodeOfSize(int32_t width, int32_t height);

// ---- The CUPS printer list
// -----------------------------------------------------------------------

// One medium as CUPS describes it: sizes and margins in hundredths of a millimetre.
struct CupsMedium {
  std::string name;     // PWG or PPD name ("iso_a4_210x297mm", "Letter")
  std::string caption;  // the localised name CUPS offers; empty when none
  int32_t width = 0, length = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The printer paper of a medium: its paper code (by size), its caption (CUPS's own, else the
// medium's name), its size in tenths of a millimetre (rounded) and its margins (rounded up, so a
// margin is never smaller than the printer needs).
PaperInfo PaperOfMedium(const CupsMedium& medium);

// Every CUPS destination, then the PDF-file printer. A destination whose details cannot be read
// offers the standard papers. The default printer is CUPS's default, else the PDF-file printer.
class CupsPrinterList : public PrinterList {
 public:
  std::vector<PrinterInfo> Printers() const override;
  std::string DefaultPrinterName() const override;
};

// Registers the CUPS printer list for the dialogs and the printing code.
void UseSystemPrinters();

// ---- An open printer
// -----------------------------------------------------------------------------

// Which members of a DeviceMode are set (the numbers the system's device modes use).
namespace dm {
constexpr uint32_t Orientation = 0x1, PaperSize = 0x2, PaperLength = 0x4, PaperWidth = 0x8,
                   Duplex = 0x1000, FormName = 0x10000;
}

// What a print job asks of the printer for the next pages.
struct DeviceMode {
  uint32_t Fields = 0;
  int32_t Orientation = 1;  // 1 portrait, 2 landscape
  int32_t PaperSize = 0;    // a paper code
  int32_t PaperLength = 0;  // tenths of a millimetre (portrait height)
  int32_t PaperWidth = 0;   // tenths of a millimetre (portrait width)
  std::string FormName;     // at most 31 characters
  int32_t Duplex = 1;       // 1 one side, 2 both sides turned on the long edge, 3 on the short edge
  friend bool operator==(const DeviceMode&, const DeviceMode&) = default;
};

// A paper form: a named size in thousandths of a millimetre.
struct PaperForm {
  std::string Name;
  int32_t Width = 0;
  int32_t Height = 0;
  friend bool operator==(const PaperForm&, const PaperForm&) = default;
};

// The page a device mode gives, as oriented.
struct DevicePage {
  int32_t PaperWidth = 0, PaperHeight = 0;        // tenths of a millimetre
  int32_t PhysicalWidth = 0, PhysicalHeight = 0;  // dots
  int32_t PhysicalOffsetX = 0,
          PhysicalOffsetY = 0;  // dots the printer cannot reach at left and top
  // The least margins, thousandths of an inch (left, top, right, bottom).
  int32_t MinLeft = 0, MinTop = 0, MinRight = 0, MinBottom = 0;
  bool Landscape = false;
  int32_t Duplex = 1;
};

class Printer {
 public:
  // Dots per inch of every printer page (PDF pages are drawn at this resolution too).
  static constexpr int32_t kDpi = 600;

  // Opens a printer of the registered printer list; nullptr when it has none of that name.
  static std::unique_ptr<Printer> Open(const std::string& name);

  const PrinterInfo& Info() const { return info_; }
  const std::string& Name() const { return info_.name; }
  bool IsDuplex() const { return info_.duplex; }
  int32_t Dpi() const { return kDpi; }

  // Its default paper, portrait, on one side.
  DeviceMode DefaultDeviceMode() const;
  // The sizes of its papers in its own order, tenths of a millimetre (portrait).
  std::vector<Size> PaperSizes() const;
  // Its papers as forms, then the forms added to it (by anyone in this program).
  std::vector<PaperForm> Forms() const;
  // Adds a form for this printer; false when one of that name exists already or the form is
  // empty. Whether the printer can print on it shows only when a page is set up with it.
  bool AddForm(const PaperForm& form);
  // Removes an added form; false when there is none of that name.
  bool DeleteForm(const std::string& name);

  // The device mode with the paper it names filled in: size and code from its form, its code or
  // its size, as the printer will take it.
  DeviceMode Merge(const DeviceMode& mode) const;
  // Sets the device up for the device mode; Page() then tells the page it prints on.
  void Reset(const DeviceMode& mode);
  const DevicePage& Page() const { return page_; }

  // Removes every form added to any printer (for tests).
  static void ForgetAddedForms();

 private:
  explicit Printer(PrinterInfo info);
  struct Paper {
    int32_t width = 0, height = 0;  // tenths of a millimetre, portrait
    int32_t code = 0;
    int32_t minLeft = 0, minTop = 0, minRight = 0, minBottom = 0;  // tenths of a millimetre
  };
  Paper DefaultPaper() const;
  Paper PaperOf(const DeviceMode& mode) const;
  Paper SizedPaper(int32_t width, int32_t height) const;

  PrinterInfo info_;
  DevicePage page_;
};

}  // namespace plat
