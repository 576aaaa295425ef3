#pragma once
// Printer paper for printed pages: before a page goes to the printer, the printer is set up for
// the paper, orientation and two-sided mode the page needs. A paper the printer knows is
// preferred; otherwise a paper form of the page's exact size is added to the printer (and
// deleted when printing ends), and when the printer does not print that size either, the
// smallest of its papers that holds the page is used. The printer's minimum margins for a paper
// come from the printer service; those of the default printer are cached.
//
// Units: page sizes and margins in twips; printer papers in tenths of a millimetre; forms in
// thousandths of a millimetre.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gfx/types.h"
#include "platform/system/printers.h"

namespace qv {

// A printer's two-sided settings (kept as three decimal digits in the print settings).
struct TTwoSidedSettings {
  uint8_t DuplexPrinter = 0;  // 1: the printer prints both sides itself
  uint8_t Binding = 0;        // 0 book (long edge of portrait pages), 1 tablet
  uint8_t Output = 0;         // bit 0 front side from the tray, bit 1 printed side up
};

// An open printer as the paper set-up uses it, with the forms it added to that printer.
struct TPaperPrinter {
  std::unique_ptr<plat::Printer> Printer;
  std::vector<std::string> AddedForms;
};

// What the print job lends to the paper set-up, and what the set-up hands back.
struct TPrintPaperJob {
  std::string PrinterName;
  TPaperPrinter Printer;
  plat::DeviceMode DevMode;    // the device mode chosen in the print dialog
  int32_t PaperIndex = 0;      // 0: the page's own size; else 1 + row of the paper table
  bool PagesPerSheet = false;  // several pages on each side of a sheet
  bool TwoSidedPrinting = false;
  TTwoSidedSettings TwoSided;

  // The paper set up last (twips), the printer's page in dots and the minimum margins (twips).
  int32_t SheetWidthTwips = 0;
  int32_t SheetHeightTwips = 0;
  bool SheetLandscapeFlag = false;
  int32_t PhysicalWidth = 0;
  int32_t PhysicalHeight = 0;
  plat::Rect PrintableMargins;

  // The last request, so that the same page size twice in a row sets nothing up again.
  bool HasLastRequest = false;
  int32_t LastWidth = 0, LastHeight = 0;
  bool LastLandscape = false;
};

// Sets the job's printer up for a page of that size (twips) and orientation.
void SetUpPrinterPaper(TPrintPaperJob& job, int32_t pageWidth, int32_t pageHeight, bool landscape);

// The minimum margins (twips) a printer needs for a page: with a device mode, of the printer
// named (as the print dialog chose it); without one, of the default printer (cached). Empty
// when there is no such printer.
void GetPrinterMinMargins(const plat::DeviceMode* devMode, const std::string& printerName,
                          int32_t pageWidth, int32_t pageHeight, bool landscape,
                          plat::Rect& margins);
// Forgets the cached minimum margins of the default printer.
void ClearMinMarginCache();

// The name of a form of the printer of that size (thousandths of a millimetre, within 1 mm),
// added as "_qvr_<width> x <height>" when it has none.
std::string FindOrAddPaperForm(TPaperPrinter& printer, int32_t width, int32_t height);
// Removes every form FindOrAddPaperForm added to the printer.
void DeleteAddedPaperForms(TPaperPrinter& printer);
// The printer's paper sizes (width, height) in tenths of a millimetre.
std::vector<plat::Size> GetPrinterPaperSizes(const TPaperPrinter& printer);
// The printer paper to use for a size (tenths of a millimetre, portrait): the smallest of its
// papers that holds the size, exact when one is within 1 mm of it; the size itself when none
// holds it.
plat::Size FindBestPrinterPaper(const TPaperPrinter& printer, int32_t width, int32_t height,
                                bool& exact);

}  // namespace qv
