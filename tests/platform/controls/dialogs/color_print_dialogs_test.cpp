// The colour, print and page setup dialogs: their state without forms and the forms by keys.
#include <gtest/gtest.h>

#include "dialog_fixture.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/dialogs/color_dialog.h"
#include "platform/controls/dialogs/color_grid.h"
#include "platform/controls/dialogs/notice_box.h"
#include "platform/controls/dialogs/page_setup_dialog.h"
#include "platform/controls/dialogs/print_dialog.h"
#include "platform/controls/edit.h"
#include "platform/controls/form.h"

namespace {
using namespace plat;
using dlgtest::DialogTest;
using dlgtest::AltLetter;
using dlgtest::Named;

// Two printers: a duplex office printer with margins and the PDF-file printer.
class TwoPrinters : public PrinterList {
 public:
  std::vector<PrinterInfo> Printers() const override {
    PrinterInfo office;
    office.name = "Office";
    office.location = "Room 4";
    office.duplex = true;
    office.papers = {{9, "A4", 2100, 2970, 40, 50, 60, 70}, {1, "Letter", 2159, 2794, 40, 50, 60, 70}};
    office.defaultPaper = 0;
    return {PdfFilePrinter(), office};
  }
  std::string DefaultPrinterName() const override { return "Office"; }
};

class DialogsWithPrinters : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    SetPrinterList(std::make_unique<TwoPrinters>());
  }
  void TearDown() override {
    SetPrinterList(nullptr);
    SetNoticeShowHook(nullptr);
    DialogTest::TearDown();
  }
};

TEST_F(DialogTest, ColourDialogKeepsCustomColoursAlsoWhenCancelled) {
  ColorDialog d;
  d.Color = 0x000000FF;
  d.OnShow = [](ColorDialog& dlg) {
    Form& f = *dlg.DialogForm();
    // Green 128 typed into its box, then the colour added to the custom cell picked last.
    Named<ColorGrid>(f, "Custom").SetFocus();
    headless::PressKey(VK_RIGHT);  // custom cell 1 (the next add goes there)
    Named<Edit>(f, "Green").SetFocus();
    headless::PressKey('A', ssCtrl);
    headless::TypeText("128");
    AltLetter('a');  // "&Add to Custom Colors"
    headless::PressKey(VK_ESCAPE);
  };
  EXPECT_FALSE(d.Execute());
  EXPECT_EQ(d.Color, 0x000000FFu);  // cancelled: the colour stays
  // Picking the white custom cell made white current; green 128 changed it to 0xFF80FF.
  EXPECT_EQ(d.Custom[1], 0x00FF80FFu);  // the custom colour is kept
  EXPECT_EQ(d.Custom[0], 0x00FFFFFFu);
}

TEST_F(DialogTest, ColourDialogReturnsAPickedBasicColour) {
  ColorDialog d;
  d.Color = 0x80000000u | 5;  // an interface colour is resolved to its value
  d.OnShow = [](ColorDialog& dlg) {
    EXPECT_EQ(dlg.Current() & 0x80000000u, 0u);
    Named<ColorGrid>(*dlg.DialogForm(), "Basic").SetFocus();
    headless::PressKey(VK_DOWN);  // from no cell to the first, then one row down
    headless::PressKey(VK_DOWN);
    headless::PressKey(VK_RETURN);
  };
  ASSERT_TRUE(d.Execute());
  EXPECT_EQ(d.Color, BasicColors()[8]);
}

TEST_F(DialogsWithPrinters, PrintDialogReturnsPagesCopiesAndCollate) {
  PrintDialog d;
  d.MinPage = 1;
  d.MaxPage = 20;
  d.OnShow = [](PrintDialog& dlg) {
    Form& f = *dlg.DialogForm();
    EXPECT_EQ(Named<ComboBox>(f, "Printer").Text(), u"Office");  // the default printer
    Named<Edit>(f, "PageRange").SetFocus();
    headless::PressKey('A', ssCtrl);
    headless::TypeText("1-3, 7");
    Named<Edit>(f, "Copies").SetFocus();
    headless::PressKey('A', ssCtrl);
    headless::TypeText("3");
    AltLetter('o');  // C&ollate
    headless::PressKey(VK_RETURN);
  };
  ASSERT_TRUE(d.Execute());
  EXPECT_EQ(d.PrinterName, "Office");
  EXPECT_EQ(d.Range, PrintRange::Pages);
  EXPECT_EQ(d.Ranges, (std::vector<PageRange>{{1, 3}, {7, 7}}));
  EXPECT_EQ(d.FromPage, 1);
  EXPECT_EQ(d.ToPage, 7);
  EXPECT_EQ(d.Copies, 3);
  EXPECT_TRUE(d.Collate);
}

TEST_F(DialogsWithPrinters, PrintDialogRefusesBadRangesAndCopies) {
  PrintDialog d;
  d.MaxPage = 5;
  std::vector<std::string> told;
  d.OnMessage = [&](const std::string& m) { told.push_back(m); };
  d.Begin();
  d.SetPagesText(u"4-9");
  EXPECT_FALSE(d.Confirm());
  d.SetPagesText(u"2");
  d.SetCopiesText(u"0");
  EXPECT_FALSE(d.Confirm());
  d.SetCopiesText(u"2");
  bool asked = false;
  d.OnConfirm = [&](PrintDialog& dlg) { asked = true; return dlg.ChosenCopies() == 2; };
  EXPECT_TRUE(d.Confirm());
  d.End(true);
  ASSERT_EQ(told.size(), 2u);
  EXPECT_NE(told[0].find("between 1 and 5"), std::string::npos);
  EXPECT_TRUE(asked);
  EXPECT_EQ(d.Ranges, (std::vector<PageRange>{{2, 2}}));
}

TEST_F(DialogsWithPrinters, PrinterPropertiesAndAnotherPrinterWithAllPages) {
  // The Properties box alone: Letter, landscape, both sides.
  bool shown = false;
  PrinterSettings s;
  ASSERT_TRUE(ExecutePrinterProperties(TwoPrinters().Printers()[1], s, nullptr, [&](Form& box) {
    shown = true;
    Named<ComboBox>(box, "Paper").SetFocus();
    headless::PressKey(VK_DOWN);
    AltLetter('l');
    AltLetter('b');
    headless::PressKey(VK_RETURN);
  }));
  EXPECT_TRUE(shown);
  EXPECT_EQ(s, (PrinterSettings{1, true, true}));

  // Switching from the PDF printer to the office printer keeps a paper both know; the PDF
  // printer cannot print both sides, so that is dropped.
  PrintDialog d;
  d.MaxPage = 4;
  d.PrinterName = "Print to File (PDF)";
  d.Settings = {9, true, true};
  d.OnShow = [](PrintDialog& dlg) {
    Form& f = *dlg.DialogForm();
    EXPECT_EQ(Named<ComboBox>(f, "Printer").Text(), u"Print to File (PDF)");
    EXPECT_FALSE(dlg.CurrentSettings().duplex);
    Named<ComboBox>(f, "Printer").SetFocus();
    headless::PressKey(VK_DOWN);
    headless::PressKey(VK_RETURN);
  };
  ASSERT_TRUE(d.Execute());
  EXPECT_EQ(d.PrinterName, "Office");
  EXPECT_EQ(d.Range, PrintRange::All);
  EXPECT_EQ(d.Ranges, (std::vector<PageRange>{{1, 4}}));
  EXPECT_EQ(d.Settings, (PrinterSettings{9, true, false}));
}

TEST_F(DialogsWithPrinters, PageSetupEnforcesLeastMarginsAndTurnsThemWithThePaper) {
  PageSetupDialog d;
  d.Units = MarginUnits::HundredthsOfMm;
  d.Margins = {1000, 1000, 1000, 1000};
  d.Landscape = true;
  d.FillDefaults();
  EXPECT_EQ(d.PrinterName, "Office");
  EXPECT_EQ(d.PaperCode, 9);
  EXPECT_EQ(d.PaperWidth, 29700);
  EXPECT_EQ(d.PaperHeight, 21000);
  // Portrait least margins 4, 5, 6, 7 mm (left, top, right, bottom) turned for landscape.
  EXPECT_EQ(d.MinMargins, (PageMargins{500, 600, 700, 400}));

  std::vector<std::string> told;
  d.OnMessage = [&](const std::string& m) { told.push_back(m); };
  d.OnShow = [](PageSetupDialog& dlg) {
    Form& f = *dlg.DialogForm();
    Named<Edit>(f, "Left").SetFocus();
    headless::PressKey('A', ssCtrl);
    headless::TypeText("2");  // below the least 5 mm: refused
    headless::PressKey(VK_RETURN);
    headless::PressKey('A', ssCtrl);
    headless::TypeText("20,5");
    AltLetter('o');  // P&ortrait
    headless::PressKey(VK_RETURN);
  };
  ASSERT_TRUE(d.Execute());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_NE(told[0].find("5.0"), std::string::npos);
  EXPECT_FALSE(d.Landscape);
  EXPECT_EQ(d.Margins, (PageMargins{2050, 1000, 1000, 1000}));
  EXPECT_EQ(d.MinMargins, (PageMargins{400, 500, 600, 700}));
}

TEST(PageSetupState, MarginsMustLeaveRoomAndUnitsConvert) {
  PageSetupDialog d;
  d.Units = MarginUnits::ThousandthsOfInch;
  d.Begin();  // the PDF printer: A4, no least margins
  EXPECT_EQ(d.FromTenthsMm(254), 1000);
  EXPECT_EQ(d.ParseLength(u"1.25"), 1250);
  EXPECT_EQ(d.ParseLength(u"x"), -1);
  EXPECT_EQ(d.ParseLength(u"1.2.3"), -1);
  std::vector<std::string> told;
  d.OnMessage = [&](const std::string& m) { told.push_back(m); };
  d.SetMarginText(0, u"5");
  d.SetMarginText(2, u"4");  // 9 inches of 8.27
  EXPECT_FALSE(d.Confirm());
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0], PageSetupDialog::kMsgNoRoom);
}

}  // namespace
