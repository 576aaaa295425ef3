#pragma once
// The printers the print and page setup dialogs offer, with their paper sizes.
//
// The dialogs ask the registered PrinterList; until the printing service registers the real one
// (CUPS destinations), the default list holds only the PDF-file printer, which is always there.
// Sizes and margins are in tenths of a millimetre, paper codes are the system's paper numbers
// (1 Letter, 9 A4 ...; 0 for a size without a code).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace plat {

// The name of the printer that writes PDF files.
inline constexpr const char* kPdfPrinterName = "Print to File (PDF)";

struct PaperInfo {
  int32_t code = 0;
  std::string name;
  int32_t width = 0;   // portrait width, tenths of a millimetre
  int32_t height = 0;  // portrait height
  // The least margins the printer needs on this paper (portrait), tenths of a millimetre.
  int32_t minLeft = 0, minTop = 0, minRight = 0, minBottom = 0;
};

struct PrinterInfo {
  std::string name;
  std::string location;     // where it stands or what it is ("PDF file", a queue's location)
  bool isFile = false;      // writes a file instead of printing on paper
  bool duplex = false;      // can print on both sides
  std::vector<PaperInfo> papers;
  int32_t defaultPaper = 0;  // index into papers
  // The paper sizes of its own that the printer takes besides its papers (portrait, tenths of a
  // millimetre); all 0 when it takes none.
  int32_t customMinWidth = 0, customMinHeight = 0, customMaxWidth = 0, customMaxHeight = 0;
  bool TakesCustomSize(int32_t width, int32_t height) const {
    return customMaxWidth > 0 && width >= customMinWidth && width <= customMaxWidth &&
           height >= customMinHeight && height <= customMaxHeight;
  }
};

class PrinterList {
 public:
  virtual ~PrinterList() = default;
  // Every printer, in the order to offer them. Never empty: the PDF-file printer is always there.
  virtual std::vector<PrinterInfo> Printers() const = 0;
  // The name of the user's default printer (one of Printers()).
  virtual std::string DefaultPrinterName() const = 0;
};

// The standard paper sizes every printer of the default list offers (Letter first).
std::vector<PaperInfo> StandardPapers();
// The PDF-file printer: standard papers, no margins needed, A4 as its default paper; it takes
// any paper size from 1 cm to 5 m.
PrinterInfo PdfFilePrinter();

// The list that offers only the PDF-file printer.
class DefaultPrinterList : public PrinterList {
 public:
  std::vector<PrinterInfo> Printers() const override;
  std::string DefaultPrinterName() const override;
};

// The registered list (the default list until another is registered).
PrinterList& GetPrinterList();
// Registers the list the dialogs use; nullptr goes back to the default list.
void SetPrinterList(std::unique_ptr<PrinterList> list);

// Helpers over a list of printers.
// Index of the printer with that name; -1 when absent.
int32_t FindPrinter(const std::vector<PrinterInfo>& printers, const std::string& name);
// Index of the paper with that code, else of the paper within 1 mm of the size, else -1.
int32_t FindPaper(const PrinterInfo& printer, int32_t code, int32_t width, int32_t height);

}  // namespace plat
