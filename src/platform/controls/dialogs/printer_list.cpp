#include "platform/controls/dialogs/printer_list.h"

#include <cstdlib>

namespace plat {
namespace {

std::unique_ptr<PrinterList>& Registered() {
  static std::unique_ptr<PrinterList> list;
  return list;
}

}  // namespace

std::vector<PaperInfo> StandardPapers() {
  return {
      {1, "Letter", 2159, 2794},
      {5, "Legal", 2159, 3556},
      {7, "Executive", 1841, 2667},
      {8, "A3", 2970, 4200},
      {9, "A4", 2100, 2970},
      {11, "A5", 1480, 2100},
      {13, "B5 (JIS)", 1820, 2570},
      {20, "Envelope #10", 1048, 2413},
      {27, "Envelope DL", 1100, 2200},
      {28, "Envelope C5", 1620, 2290},
  };
}

PrinterInfo PdfFilePrinter() {
  PrinterInfo p;
  p.name = kPdfPrinterName;
  p.location = "PDF file";
  p.isFile = true;
  p.duplex = false;
  p.papers = StandardPapers();
  p.defaultPaper = FindPaper(p, 9, 0, 0);
  p.customMinWidth = p.customMinHeight = 100;
  p.customMaxWidth = p.customMaxHeight = 50000;
  return p;
}

std::vector<PrinterInfo> DefaultPrinterList::Printers() const { return {PdfFilePrinter()}; }

std::string DefaultPrinterList::DefaultPrinterName() const { return kPdfPrinterName; }

PrinterList& GetPrinterList() {
  static DefaultPrinterList fallback;
  auto& reg = Registered();
  return reg ? *reg : fallback;
}

void SetPrinterList(std::unique_ptr<PrinterList> list) { Registered() = std::move(list); }

int32_t FindPrinter(const std::vector<PrinterInfo>& printers, const std::string& name) {
  for (size_t i = 0; i < printers.size(); ++i) {
    if (printers[i].name == name) return static_cast<int32_t>(i);
  }
  return -1;
}

int32_t FindPaper(const PrinterInfo& printer, int32_t code, int32_t width, int32_t height) {
  if (code > 0) {
    for (size_t i = 0; i < printer.papers.size(); ++i) {
      if (printer.papers[i].code == code) return static_cast<int32_t>(i);
    }
  }
  if (width <= 0 || height <= 0) return -1;
  for (size_t i = 0; i < printer.papers.size(); ++i) {
    const PaperInfo& p = printer.papers[i];
    if (std::abs(p.width - width) <= 10 && std::abs(p.height - height) <= 10) {
      return static_cast<int32_t>(i);
    }
  }
  return -1;
}

}  // namespace plat
