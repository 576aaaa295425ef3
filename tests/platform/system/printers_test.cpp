#include "platform/system/printers.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace plat {
namespace {

TEST(PaperCodes, KnownSizesInEitherOrientationWithinAMillimetre) {
  const struct {
    int32_t width, height, code;
  } cases[] = {
      {2100, 2970, 9},  {2970, 2100, 9}, {2159, 2794, 1},
      {2169, 2784, 1},  // 1 mm off: still Letter
      {2170, 2794, 0},  // 1.1 mm off
      {1100, 2200, 27}, {2970, 4200, 8}, {1000, 1000, 0},
  };
  for (const auto &c : cases)
    EXPECT_EQ(PaperCodeOfSize(c.width, c.height), c.code) << c.width << " x " << c.height;
}

TEST(PaperCodes, CupsMediumBecomesAPaperWithMarginsRoundedUp) {
  CupsMedium a4{"iso_a4_210x297mm", "A4", 21000, 29700, 423, 420, 421, 1000};
  PaperInfo p = PaperOfMedium(a4);
  EXPECT_EQ(p.code, 9);
  EXPECT_EQ(p.name, "A4");
  EXPECT_EQ(p.width, 2100);
  EXPECT_EQ(p.height, 2970);
  EXPECT_EQ(p.minLeft, 43);  // 4.23 mm needs 4.3, never 4.2
  EXPECT_EQ(p.minTop, 42);
  EXPECT_EQ(p.minRight, 43);
  EXPECT_EQ(p.minBottom, 100);
  CupsMedium odd{"custom_card_100x150mm", "", 10000, 15000, 0, 0, 0, 0};
  p = PaperOfMedium(odd);
  EXPECT_EQ(p.code, 0);
  EXPECT_EQ(p.name, "custom_card_100x150mm");
}

TEST(CupsPrinters, WithoutAServerThePdfPrinterIsThereAlone) {
  // Point CUPS at a socket that does not exist: no server can answer.
  setenv("CUPS_SERVER", "/nonexistent/qv-test-cups.sock", 1);
  CupsPrinterList list;
  std::vector<PrinterInfo> printers = list.Printers();
  ASSERT_FALSE(printers.empty());
  EXPECT_EQ(printers.back().name, kPdfPrinterName);
  EXPECT_TRUE(printers.back().isFile);
  EXPECT_EQ(printers.size(), 1u);
  EXPECT_EQ(list.DefaultPrinterName(), kPdfPrinterName);
}

// Two printers with known papers: a laser with A4 and Letter that takes no
// sizes of its own and prints on both sides, and the PDF-file printer.
class FakePrinters : public PrinterList {
 public:
  std::vector<PrinterInfo> Printers() const override {
    PrinterInfo laser;
    laser.name = "Laser";
    laser.duplex = true;
    laser.papers = {{9, "A4", 2100, 2970, 40, 50, 60, 70},
                    {1, "Letter", 2159, 2794, 40, 50, 60, 70}};
    laser.defaultPaper = 1;
    return {laser, PdfFilePrinter()};
  }
  std::string DefaultPrinterName() const override { return "Laser"; }
};

DeviceMode Mode(uint32_t fields, int32_t orientation, int32_t code, int32_t width = 0,
                int32_t length = 0, std::string form = "", int32_t duplex = 1) {
  DeviceMode m;
  m.Fields = fields;
  m.Orientation = orientation;
  m.PaperSize = code;
  m.PaperWidth = width;
  m.PaperLength = length;
  m.FormName = std::move(form);
  m.Duplex = duplex;
  return m;
}

class PrinterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetPrinterList(std::make_unique<FakePrinters>());
    Printer::ForgetAddedForms();
  }
  void TearDown() override {
    Printer::ForgetAddedForms();
    SetPrinterList(nullptr);
  }
};

TEST_F(PrinterTest, OpensOnlyKnownPrinters) {
  EXPECT_EQ(Printer::Open("Nowhere"), nullptr);
  auto laser = Printer::Open("Laser");
  ASSERT_NE(laser, nullptr);
  EXPECT_TRUE(laser->IsDuplex());
  EXPECT_EQ(laser->PaperSizes(), (std::vector<Size>{{2100, 2970}, {2159, 2794}}));
  // A new printer starts on its default paper (Letter), portrait.
  EXPECT_EQ(laser->Page().PaperWidth, 2159);
  EXPECT_EQ(laser->Page().PhysicalWidth, 5100);  // 8.5 in at 600 dpi
  EXPECT_EQ(laser->Page().PhysicalHeight, 6600);
}

TEST_F(PrinterTest, FormsAreSharedBetweenHandlesUntilDeleted) {
  auto a = Printer::Open("Laser");
  auto b = Printer::Open("Laser");
  EXPECT_TRUE(a->AddForm({"_qvr_100000 x 150000", 100000, 150000}));
  EXPECT_FALSE(a->AddForm({"_qvr_100000 x 150000", 100000, 150000}));  // the name is taken
  EXPECT_FALSE(a->AddForm({"A4", 1, 1}));                              // a paper's name
  std::vector<PaperForm> forms = b->Forms();
  ASSERT_EQ(forms.size(), 3u);
  EXPECT_EQ(forms[0], (PaperForm{"A4", 210000, 297000}));
  EXPECT_EQ(forms[2].Name, "_qvr_100000 x 150000");
  EXPECT_TRUE(b->DeleteForm("_qvr_100000 x 150000"));
  EXPECT_FALSE(a->DeleteForm("_qvr_100000 x 150000"));
  EXPECT_EQ(a->Forms().size(), 2u);
  // Forms belong to their printer.
  EXPECT_EQ(Printer::Open(kPdfPrinterName)->Forms().size(), StandardPapers().size());
}

TEST_F(PrinterTest, DeviceModesGiveThePageThePrinterReallyPrints) {
  auto laser = Printer::Open("Laser");
  auto pdf = Printer::Open(kPdfPrinterName);
  laser->AddForm({"Card", 100000, 150000});
  pdf->AddForm({"Card", 100000, 150000});
  const struct {
    const char *what;
    Printer *printer;
    DeviceMode mode;
    int32_t width, height;    // tenths of a millimetre, as oriented
    int32_t minLeft, minTop;  // thousandths of an inch
    int32_t duplex;
  } cases[] = {
      {"A4 by code", laser.get(), Mode(dm::PaperSize, 1, 9), 2100, 2970, 157, 197, 1},
      {"A4 landscape turns its margins", laser.get(), Mode(dm::PaperSize | dm::Orientation, 2, 9),
       2970, 2100, 197, 236, 1},
      {"size within 1 mm of A4", laser.get(),
       Mode(dm::PaperWidth | dm::PaperLength, 1, 0, 2095, 2975), 2100, 2970, 157, 197, 1},
      {"a size the laser does not take gives its default paper", laser.get(),
       Mode(dm::PaperWidth | dm::PaperLength, 1, 0, 1500, 1000), 2159, 2794, 157, 197, 1},
      {"a form the laser does not take", laser.get(), Mode(dm::FormName, 1, 0, 0, 0, "Card"), 2159,
       2794, 157, 197, 1},
      {"the PDF printer takes the form", pdf.get(), Mode(dm::FormName, 1, 0, 0, 0, "Card"), 1000,
       1500, 0, 0, 1},
      {"both sides on a duplex printer", laser.get(),
       Mode(dm::PaperSize | dm::Duplex, 1, 9, 0, 0, "", 3), 2100, 2970, 157, 197, 3},
      {"the PDF printer prints on one side", pdf.get(),
       Mode(dm::PaperSize | dm::Duplex, 1, 9, 0, 0, "", 2), 2100, 2970, 0, 0, 1},
  };
  for (const auto &c : cases) {
    c.printer->Reset(c.mode);
    const DevicePage &page = c.printer->Page();
    EXPECT_EQ(page.PaperWidth, c.width) << c.what;
    EXPECT_EQ(page.PaperHeight, c.height) << c.what;
    EXPECT_EQ(page.PhysicalWidth, (c.width * Printer::kDpi + 127) / 254) << c.what;
    EXPECT_EQ(page.MinLeft, c.minLeft) << c.what;
    EXPECT_EQ(page.MinTop, c.minTop) << c.what;
    EXPECT_EQ(page.Duplex, c.duplex) << c.what;
  }
  DeviceMode merged = pdf->Merge(Mode(dm::FormName, 1, 0, 0, 0, "Card"));
  EXPECT_EQ(merged.PaperWidth, 1000);
  EXPECT_EQ(merged.PaperLength, 1500);
  EXPECT_EQ(merged.PaperSize, 0);
}

}  // namespace
}  // namespace plat
