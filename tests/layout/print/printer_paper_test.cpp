#include "layout/print/printer_paper.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

constexpr int32_t kA4W = 11906, kA4H = 16838;  // twips

// A laser printer with A4 and Letter that takes no sizes of its own (margins of 5 mm), the PDF
// printer, and a count of how often the list was read (opening a printer reads it).
class FakePrinters : public plat::PrinterList {
 public:
  std::string defaultName = "Laser";
  int32_t* reads;
  explicit FakePrinters(int32_t* counter) : reads(counter) {}
  std::vector<plat::PrinterInfo> Printers() const override {
    ++*reads;
    plat::PrinterInfo laser;
    laser.name = "Laser";
    laser.duplex = true;
    laser.papers = {{9, "A4", 2100, 2970, 50, 50, 50, 50},
                    {1, "Letter", 2159, 2794, 50, 50, 50, 50}};
    laser.defaultPaper = 1;
    plat::PrinterInfo other = laser;
    other.name = "Other";
    for (auto& p : other.papers) p.minLeft = p.minTop = p.minRight = p.minBottom = 100;
    return {laser, other, plat::PdfFilePrinter()};
  }
  std::string DefaultPrinterName() const override { return defaultName; }
};

class PrinterPaperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    auto list = std::make_unique<FakePrinters>(&reads);
    fake = list.get();
    plat::SetPrinterList(std::move(list));
    plat::Printer::ForgetAddedForms();
    ClearMinMarginCache();
  }
  void TearDown() override {
    plat::Printer::ForgetAddedForms();
    ClearMinMarginCache();
    plat::SetPrinterList(nullptr);
  }
  TPrintPaperJob Job(const std::string& printer) {
    TPrintPaperJob job;
    job.PrinterName = printer;
    job.Printer.Printer = plat::Printer::Open(printer);
    job.DevMode = job.Printer.Printer->DefaultDeviceMode();
    return job;
  }
  int32_t reads = 0;
  FakePrinters* fake = nullptr;
};

}  // namespace

TEST_F(PrinterPaperTest, BestPaperIsTheSmallestThatHoldsThePage) {
  TPaperPrinter laser{plat::Printer::Open("Laser"), {}};
  const struct {
    int32_t w, h;
    plat::Size paper;
    bool exact;
  } cases[] = {
      {2100, 2970, {2100, 2970}, true},   // A4
      {2095, 2978, {2100, 2970}, true},   // within 1 mm
      {2000, 2500, {2159, 2794}, false},  // Letter is smaller than A4 and holds it
      {2105, 2900, {2100, 2970}, false},  // only A4 is long enough, and 0.5 mm narrow is fine
      {3000, 4000, {3000, 4000}, false},  // nothing holds it: the size itself
  };
  for (const auto& c : cases) {
    bool exact = !c.exact;
    EXPECT_EQ(FindBestPrinterPaper(laser, c.w, c.h, exact), c.paper) << c.w << " x " << c.h;
    EXPECT_EQ(exact, c.exact) << c.w << " x " << c.h;
  }
}

TEST_F(PrinterPaperTest, PagesGetTheirPaperFormOrTheSmallestPaperThatHoldsThem) {
  // An A4 page on the laser: its own paper by number, no form.
  TPrintPaperJob laser = Job("Laser");
  SetUpPrinterPaper(laser, kA4W, kA4H, false);
  EXPECT_EQ(laser.DevMode.PaperSize, 9);
  EXPECT_TRUE(laser.DevMode.Fields & plat::dm::PaperSize);
  EXPECT_FALSE(laser.DevMode.Fields & plat::dm::FormName);
  EXPECT_TRUE(laser.Printer.AddedForms.empty());
  EXPECT_EQ(laser.PhysicalWidth, 4961);  // 210 mm at 600 dpi
  EXPECT_EQ(laser.PrintableMargins,
            (plat::Rect{274, 274, 274, 274}));  // 5 mm: 19 hundredths of an inch
  EXPECT_EQ(laser.SheetWidthTwips, kA4W);

  // A 200 x 250 mm page: the laser takes no size of its own, so after trying a form of that
  // size it prints on Letter, the smallest paper that holds the page.
  SetUpPrinterPaper(laser, 11339, 14173, false);
  EXPECT_EQ(laser.Printer.AddedForms, (std::vector<std::string>{"_qvr_200000 x 250000"}));
  EXPECT_EQ(laser.PhysicalWidth, 5100);
  EXPECT_EQ(laser.PhysicalHeight, 6600);
  EXPECT_EQ(laser.DevMode.PaperSize, 1);

  // The PDF printer prints the page's own size on the form.
  TPrintPaperJob pdf = Job(plat::kPdfPrinterName);
  SetUpPrinterPaper(pdf, 11339, 14173, false);
  EXPECT_EQ(pdf.DevMode.FormName, "_qvr_200000 x 250000");
  EXPECT_EQ(pdf.PhysicalWidth, 4724);
  EXPECT_EQ(pdf.PhysicalHeight, 5906);
  DeleteAddedPaperForms(pdf.Printer);
  DeleteAddedPaperForms(laser.Printer);
  EXPECT_EQ(pdf.Printer.Printer->Forms().size(), plat::StandardPapers().size());
}

TEST_F(PrinterPaperTest, ALandscapePageOfItsOwnSizeIsNotTurnedTwice) {
  // 300 x 200 mm landscape: the form is the paper's portrait size, the page comes out landscape
  // at the page's size on the first try.
  TPrintPaperJob pdf = Job(plat::kPdfPrinterName);
  SetUpPrinterPaper(pdf, 17008, 11339, true);
  EXPECT_EQ(pdf.Printer.AddedForms, (std::vector<std::string>{"_qvr_200000 x 300000"}));
  EXPECT_EQ(pdf.DevMode.Orientation, 2);
  EXPECT_EQ(pdf.PhysicalWidth, 7087);
  EXPECT_EQ(pdf.PhysicalHeight, 4724);
  DeleteAddedPaperForms(pdf.Printer);
}

TEST_F(PrinterPaperTest, AFormOfTheSameSizeIsFoundAgain) {
  TPaperPrinter pdf{plat::Printer::Open(plat::kPdfPrinterName), {}};
  const std::string first = FindOrAddPaperForm(pdf, 100000, 150000);
  const std::string second = FindOrAddPaperForm(pdf, 100400, 149600);  // within 1 mm
  EXPECT_EQ(first, "_qvr_100000 x 150000");
  EXPECT_EQ(second, first);
  EXPECT_EQ(pdf.AddedForms.size(), 1u);
  DeleteAddedPaperForms(pdf);
  EXPECT_TRUE(pdf.AddedForms.empty());
}

TEST_F(PrinterPaperTest, TheSamePageSizeTwiceSetsNothingUpAgain) {
  TPrintPaperJob laser = Job("Laser");
  SetUpPrinterPaper(laser, kA4W, kA4H, false);
  // Something else changes the printer; the same request leaves it alone, a new one does not.
  laser.Printer.Printer->Reset(laser.Printer.Printer->DefaultDeviceMode());
  SetUpPrinterPaper(laser, kA4W, kA4H, false);
  EXPECT_EQ(laser.Printer.Printer->Page().PaperWidth, 2159);
  SetUpPrinterPaper(laser, kA4W, kA4H, true);
  EXPECT_EQ(laser.Printer.Printer->Page().PaperWidth, 2970);
}

TEST_F(PrinterPaperTest, TwoSidedModeFollowsTheBindingAndTheOrientation) {
  const struct {
    bool duplexPrinter, twoSided;
    uint8_t binding;
    bool landscape;
    int32_t duplex;
  } cases[] = {
      {true, true, 0, false, 2},   {true, true, 0, true, 3},   {true, true, 1, true, 2},
      {true, true, 1, false, 3},   {true, false, 0, false, 1}, {false, true, 0, false, 1},
      {false, false, 0, false, 3},  // the device mode's own value stays
  };
  for (const auto& c : cases) {
    TPrintPaperJob job = Job("Laser");
    job.DevMode.Duplex = 3;
    job.TwoSided.DuplexPrinter = c.duplexPrinter;
    job.TwoSided.Binding = c.binding;
    job.TwoSidedPrinting = c.twoSided;
    SetUpPrinterPaper(job, c.landscape ? kA4H : kA4W, c.landscape ? kA4W : kA4H, c.landscape);
    EXPECT_EQ(job.DevMode.Duplex, c.duplex)
        << c.duplexPrinter << c.twoSided << int(c.binding) << c.landscape;
  }
}

TEST_F(PrinterPaperTest, AChosenPaperIsTurnedToThePagesOrientation) {
  TPrintPaperJob job = Job(plat::kPdfPrinterName);
  job.PaperIndex = 10;  // row 9: A4
  SetUpPrinterPaper(job, kA4W, kA4H, true);
  EXPECT_EQ(job.SheetWidthTwips, kA4H);
  EXPECT_EQ(job.SheetHeightTwips, kA4W);
  EXPECT_EQ(job.DevMode.PaperSize, 9);
  EXPECT_EQ(job.PhysicalWidth, 7016);
}

TEST_F(PrinterPaperTest, DefaultPrinterMarginsAreCachedUntilTheDefaultChanges) {
  plat::Rect m;
  GetPrinterMinMargins(nullptr, "", kA4W, kA4H, false, m);
  EXPECT_EQ(m, (plat::Rect{274, 274, 274, 274}));
  const int32_t afterFirst = reads;
  EXPECT_GT(afterFirst, 0);
  GetPrinterMinMargins(nullptr, "", kA4W, kA4H, false, m);  // from the cache
  EXPECT_EQ(reads, afterFirst);
  EXPECT_EQ(m, (plat::Rect{274, 274, 274, 274}));
  GetPrinterMinMargins(nullptr, "", kA4H, kA4W, true, m);  // another orientation: asked
  EXPECT_GT(reads, afterFirst);

  fake->defaultName = "Other";  // a new default printer empties the cache
  GetPrinterMinMargins(nullptr, "", kA4W, kA4H, false, m);
  EXPECT_EQ(m, (plat::Rect{562, 562, 562, 562}));
  const int32_t afterOther = reads;
  fake->defaultName = "Laser";
  GetPrinterMinMargins(nullptr, "", kA4W, kA4H, false, m);
  EXPECT_GT(reads, afterOther);  // the laser's entry went with the old cache
  EXPECT_EQ(m, (plat::Rect{274, 274, 274, 274}));

  // A query of a custom size adds no form that outlives it.
  GetPrinterMinMargins(nullptr, "", 5000, 7000, false, m);
  EXPECT_EQ(plat::Printer::Open("Laser")->Forms().size(), 2u);

  fake->defaultName = "Gone";
  GetPrinterMinMargins(nullptr, "", kA4W, kA4H, false, m);
  EXPECT_EQ(m, plat::Rect{});
}
