// Colour, page-range, printer-list and text helpers of the common dialogs.
#include <gtest/gtest.h>

#include "platform/controls/dialogs/color_choice.h"
#include "platform/controls/dialogs/dialog_text.h"
#include "platform/controls/dialogs/page_range.h"
#include "platform/controls/dialogs/printer_list.h"

namespace {
using namespace plat;

TEST(ColorChoice, ChannelsAndCustomColours) {
  EXPECT_EQ(ParseChannel(u" 255 "), 255);
  EXPECT_EQ(ParseChannel(u"0"), 0);
  for (const char16_t* bad : {u"", u"256", u"-1", u"1a", u"0001"}) EXPECT_FALSE(ParseChannel(bad)) << Utf16To8(bad);
  CustomColors start{};
  start.fill(0xFFFFFF);
  CustomColorSet set(start);
  set.Select(15);
  set.Add(0xFF123456);  // the high byte is no part of a colour
  set.Add(0x000001);    // wraps round to the first cell
  EXPECT_EQ(set.Colors()[15], 0x123456u);
  EXPECT_EQ(set.Colors()[0], 0x000001u);
  EXPECT_EQ(set.Selected(), 1);
  set.Select(16);
  EXPECT_EQ(set.Selected(), 1);
}

TEST(PageRanges, ParsesValidTextsAndRefusesOthers) {
  using R = std::vector<PageRange>;
  EXPECT_EQ(ParsePageRanges(u"1, 3; 7-14", 1, 20), (R{{1, 1}, {3, 3}, {7, 14}}));
  EXPECT_EQ(ParsePageRanges(u" 2 - 4 ,", 1, 4), (R{{2, 4}}));
  for (const char16_t* bad : {u"5-3", u"0", u"21", u"1-", u"a", u"", u"3-9999999999"}) {
    EXPECT_FALSE(ParsePageRanges(bad, 1, 20)) << Utf16To8(bad);
  }
}

TEST(PrinterList, DefaultListHasOnlyThePdfPrinter) {
  SetPrinterList(nullptr);
  auto printers = GetPrinterList().Printers();
  ASSERT_EQ(printers.size(), 1u);
  EXPECT_EQ(printers[0].name, "Print to File (PDF)");
  EXPECT_EQ(GetPrinterList().DefaultPrinterName(), "Print to File (PDF)");
  const PrinterInfo& pdf = printers[0];
  EXPECT_TRUE(pdf.isFile);
  EXPECT_EQ(pdf.papers.at(pdf.defaultPaper).code, 9);
  EXPECT_EQ(FindPaper(pdf, 0, 2155, 2800), FindPaper(pdf, 1, 0, 0));  // within 1 mm of Letter
  EXPECT_EQ(FindPaper(pdf, 0, 1000, 1000), -1);
  EXPECT_EQ(FindPrinter(printers, "nope"), -1);
}

TEST(DialogText, Utf8RoundTripAndBadBytes) {
  std::string s = "a\xC3\xA9\xF0\x9F\x98\x80";
  EXPECT_EQ(Utf16To8(Utf8To16(s)), s);
  EXPECT_EQ(Utf8To16("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf8To16("\xE0\x80\x80"), u"\uFFFD\uFFFD\uFFFD");  // overlong form
  EXPECT_EQ(FormatOne("%s exists", "x"), "x exists");
}

}  // namespace
