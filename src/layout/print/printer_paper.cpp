#include "layout/print/printer_paper.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/base/units.h"

namespace qv {
namespace {

// The paper and envelope table's sizes (twips, portrait) and paper numbers, rows 0 to 34.
struct PaperRow {
  int32_t width, height, code;
};
constexpr PaperRow kPaperTable[35] = {
    {12240, 15840, 1},  {12240, 20160, 5},  {24480, 31680, 0},  {15840, 24480, 3},
    {7920, 12240, 6},   {10440, 15120, 7},  {12240, 18720, 14}, {12189, 15591, 15},
    {16838, 23811, 8},  {11905, 16838, 9},  {8391, 11905, 11},  {14173, 20069, 12},
    {10318, 14570, 13}, {5580, 12780, 19},  {5940, 13680, 20},  {6480, 14940, 21},
    {6840, 15840, 22},  {7200, 16560, 23},  {5220, 9360, 38},   {5580, 10800, 37},
    {18369, 25965, 29}, {12983, 18369, 30}, {9184, 12983, 28},  {6463, 9184, 31},
    {6463, 12983, 32},  {14173, 20013, 33}, {9978, 14173, 34},  {7087, 9978, 35},
    {12472, 17575, 0},  {8787, 12472, 0},   {6236, 8787, 0},    {6236, 12472, 27},
    {8787, 12643, 0},   {6350, 12643, 0},   {6236, 13039, 36},
};

// The paper number of the first row that matches the size within 20 twips in either
// orientation; 0 when none does.
int32_t PaperSizeCode(int32_t w, int32_t h) {
  for (const PaperRow& r : kPaperTable) {
    const bool same = std::abs(w - r.width) <= 20 && std::abs(h - r.height) <= 20;
    const bool turned = std::abs(w - r.height) <= 20 && std::abs(h - r.width) <= 20;
    if (same || turned) return r.code;
  }
  return 0;
}

// The device mode's paper for a size found or asked for (tenths of a millimetre, portrait):
// a paper number the printer surely knows (A4, Letter), or the size with a form of it.
void SetPaper(TPaperPrinter& printer, plat::DeviceMode& mode, plat::Size paper, int32_t paperIndex,
              bool landscape) {
  mode.Orientation = landscape ? 2 : 1;
  mode.Fields &=
      ~(plat::dm::PaperSize | plat::dm::PaperLength | plat::dm::PaperWidth | plat::dm::FormName);
  mode.Fields |= plat::dm::Orientation | plat::dm::Duplex;
  mode.PaperSize = paperIndex > 0 && paperIndex <= 35
                       ? kPaperTable[paperIndex - 1].code
                       : PaperSizeCode(Cm100ToTwips(paper.cx), Cm100ToTwips(paper.cy));
  if (mode.PaperSize == 9 || mode.PaperSize == 1) {
    mode.Fields |= plat::dm::PaperSize;
    return;
  }
  mode.PaperWidth = paper.cx;
  mode.PaperLength = paper.cy;
  std::string form = FindOrAddPaperForm(printer, paper.cx * 100, paper.cy * 100);
  if (form.size() > 31) form.resize(31);
  mode.FormName = form;
  mode.Fields |= plat::dm::FormName;
}

// Resets the printer with the device mode; a form is merged into the full paper description
// first, as the driver would take it.
void ResetPrinter(plat::Printer& printer, const plat::DeviceMode& mode) {
  if (!(mode.Fields & plat::dm::FormName)) {
    printer.Reset(mode);
    return;
  }
  plat::DeviceMode copy = mode;
  copy.Fields |= plat::dm::PaperSize | plat::dm::PaperLength | plat::dm::PaperWidth;
  printer.Reset(printer.Merge(copy));
}

void SetDuplex(const TPrintPaperJob& job, plat::DeviceMode& mode, bool landscape) {
  const bool duplexPrinter = job.TwoSided.DuplexPrinter != 0;
  if (duplexPrinter && job.TwoSidedPrinting) {
    const bool longEdge =
        (job.TwoSided.Binding == 0 && !landscape) || (job.TwoSided.Binding == 1 && landscape);
    mode.Duplex = longEdge ? 2 : 3;
  } else if (duplexPrinter || job.TwoSidedPrinting) {
    mode.Duplex = 1;  // the program turns the sheets itself, or the printer cannot
  }
}

int32_t DotsToTwips(int32_t dots, int32_t dpi) { return MulDiv(dots, 1440, dpi); }

struct CachedMinMargins {
  int32_t width, height;
  bool landscape;
  plat::Rect margins;
};

struct MinMarginCache {
  std::string printerName = "?";
  std::vector<CachedMinMargins> entries;
};

MinMarginCache& Cache() {
  static MinMarginCache cache;
  return cache;
}

}  // namespace

std::vector<plat::Size> GetPrinterPaperSizes(const TPaperPrinter& printer) {
  return printer.Printer ? printer.Printer->PaperSizes() : std::vector<plat::Size>{};
}

plat::Size FindBestPrinterPaper(const TPaperPrinter& printer, int32_t width, int32_t height,
                                bool& exact) {
  exact = false;
  bool found = false;
  plat::Size best{width, height};
  for (const plat::Size& p : GetPrinterPaperSizes(printer)) {
    if (p.cx < width - 10 || p.cy < height - 10) continue;
    if (found && int64_t{p.cx} + p.cy >= int64_t{best.cx} + best.cy) continue;
    best = p;
    found = true;
    if (std::abs(p.cx - width) <= 10 && std::abs(p.cy - height) <= 10) exact = true;
  }
  return best;
}

std::string FindOrAddPaperForm(TPaperPrinter& printer, int32_t width, int32_t height) {
  if (!printer.Printer) return {};
  const std::vector<plat::PaperForm> forms = printer.Printer->Forms();
  for (size_t i = 1; i < forms.size(); ++i) {
    if (std::abs(forms[i].Width - width) < 1000 && std::abs(forms[i].Height - height) < 1000)
      return forms[i].Name;
  }
  const std::string name = "_qvr_" + std::to_string(width) + " x " + std::to_string(height);
  if (printer.Printer->AddForm({name, width, height})) printer.AddedForms.push_back(name);
  return name;
}

void DeleteAddedPaperForms(TPaperPrinter& printer) {
  if (printer.Printer)
    for (const std::string& name : printer.AddedForms) printer.Printer->DeleteForm(name);
  printer.AddedForms.clear();
}

void SetUpPrinterPaper(TPrintPaperJob& job, int32_t width, int32_t height, bool landscape) {
  if (job.PaperIndex > 0 || job.PagesPerSheet) {
    if (landscape != (width >= height)) std::swap(width, height);
  }
  if (job.HasLastRequest && job.LastWidth == width && job.LastHeight == height &&
      job.LastLandscape == landscape)
    return;
  plat::Printer* printer = job.Printer.Printer.get();
  if (!printer) return;
  plat::DeviceMode& mode = job.DevMode;
  for (int pass = 0; pass < 2; ++pass) {
    const plat::Size page{TwipsToCm100(std::min(width, height)),
                          TwipsToCm100(std::max(width, height))};
    bool exact = false;
    const plat::Size found = FindBestPrinterPaper(job.Printer, page.cx, page.cy, exact);
    // First try the page's own size. It is given as the paper's portrait size whatever the
    // page's orientation, like every paper size, so that a landscape page is not turned twice.
    const plat::Size paper = pass == 0 && !exact ? page : found;
    SetPaper(job.Printer, mode, paper, job.PaperIndex, landscape);
    SetDuplex(job, mode, landscape);
    ResetPrinter(*printer, mode);
    const plat::DevicePage& device = printer->Page();
    job.PhysicalWidth = device.PhysicalWidth;
    job.PhysicalHeight = device.PhysicalHeight;
    if (pass == 0) {
      const bool fits = std::abs(DotsToTwips(device.PhysicalWidth, printer->Dpi()) - width) <= 5 &&
                        std::abs(DotsToTwips(device.PhysicalHeight, printer->Dpi()) - height) <= 5;
      if (exact || fits) break;
    }
  }
  job.SheetWidthTwips = width;
  job.SheetHeightTwips = height;
  job.SheetLandscapeFlag = landscape;
  GetPrinterMinMargins(&mode, job.PrinterName, width, height, landscape, job.PrintableMargins);
  job.HasLastRequest = true;
  job.LastWidth = width;
  job.LastHeight = height;
  job.LastLandscape = landscape;
}

void GetPrinterMinMargins(const plat::DeviceMode* devMode, const std::string& printerName,
                          int32_t pageWidth, int32_t pageHeight, bool landscape,
                          plat::Rect& margins) {
  margins = {};
  MinMarginCache& cache = Cache();
  std::string name = printerName;
  if (!devMode) {
    name = plat::GetPrinterList().DefaultPrinterName();
    if (name.empty()) return;
    if (name == cache.printerName) {
      for (const CachedMinMargins& e : cache.entries) {
        if (e.width == pageWidth && e.height == pageHeight && e.landscape == landscape) {
          margins = e.margins;
          return;
        }
      }
    }
  }
  // A printer handle of this query's own: a running print job's stays untouched.
  TPaperPrinter own;
  own.Printer = plat::Printer::Open(name);
  if (!own.Printer) return;
  plat::DeviceMode mode;
  if (devMode) {
    mode = *devMode;
  } else {
    mode = own.Printer->DefaultDeviceMode();
    bool exact = false;
    const plat::Size paper =
        FindBestPrinterPaper(own, TwipsToCm100(std::min(pageWidth, pageHeight)),
                             TwipsToCm100(std::max(pageWidth, pageHeight)), exact);
    SetPaper(own, mode, paper, 0, landscape);
  }
  ResetPrinter(*own.Printer, mode);
  const plat::DevicePage& page = own.Printer->Page();
  margins = {Inch100ToTwips(page.MinLeft / 10), Inch100ToTwips(page.MinTop / 10),
             Inch100ToTwips(page.MinRight / 10), Inch100ToTwips(page.MinBottom / 10)};
  if (!devMode) {
    if (name != cache.printerName) {
      cache.entries.clear();
      cache.printerName = name;
    }
    cache.entries.push_back({pageWidth, pageHeight, landscape, margins});
    DeleteAddedPaperForms(own);
  }
}

void ClearMinMarginCache() { Cache() = MinMarginCache{}; }

}  // namespace qv
