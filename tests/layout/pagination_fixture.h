#pragma once
// Documents paginated with the layout's services registered and real fonts: a builder for the
// content, small pages (12 lines of exactly 240 twips fill a page body), and readers of where
// things ended up.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <sstream>
#include <string>

#include "document/doc.h"
#include "document/doc_builder.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "foundation/fonts/font_manager.h"
#include "layout/box.h"
#include "layout/box_pool.h"
#include "layout/layout_registration.h"
#include "layout/line_fitter.h"

using namespace qv;

class PaginationTest : public ::testing::Test {
 protected:
  static constexpr int32_t kLine = 240;
  static constexpr int32_t kLinesPerPage = 12;

  static void SetUpTestSuite() {
    if (FontManager() == nullptr) CreateFontManager(TFontManagerSetup{{}, 0});
  }
  void SetUp() override {
    RegisterLayoutServices();
    LayoutLineFitter().Settings = TLayoutSettings{};
    NewDocument();
  }
  // A fresh empty document of small pages and its builder (table-driven cases start each case
  // with one).
  void NewDocument() {
    b.reset();
    doc = std::make_unique<TDoc>(true);
    b = std::make_unique<TDocBuilder>(*doc);
    b->Font = FontManager()->FontIndex("Liberation Sans", kAnyCharset, true);
    b->Format.LineRule = 0;
    b->Format.LineSpacing = -kLine;
    SmallPage(*doc->Sections[0]);
  }
  void TearDown() override {
    doc.reset();
    RegisterDocLayoutServices(nullptr);
    RegisterLineFitter(nullptr);
  }

  // A page of 12 lines: 4320 twips high with margins of 720.
  static void SmallPage(TSection& s, int32_t width = 12240, int32_t height = 4320) {
    TPageParams& p = s.PageParams;
    p.PageWidth = width;
    p.PageHeight = height;
    p.TopMargin = p.BottomMargin = 720;
    p.LeftMargin = p.RightMargin = 1440;
    p.HeaderDistance = p.FooterDistance = 360;
    p.TextWidth = width - 2880;
  }

  void Paginate() {
    b->Finish();
    doc->Paginate(0, INT32_MAX);
  }

  TPar& Par(int32_t i) { return *doc->Par(i); }
  // The page that shows the paragraph's line; -1 when it is not placed.
  int32_t PageOf(int32_t par, int32_t line = 0) {
    const TPar& p = Par(par);
    if (line < 0) line = static_cast<int32_t>(p.Lines.size()) + line;
    if (line >= static_cast<int32_t>(p.Lines.size())) return -1;
    const TLine* l = p.Lines[static_cast<size_t>(line)];
    return l->Box != nullptr ? l->Box->Page->Index : -1;
  }
  // Lines of the paragraph on the page.
  int32_t LinesOn(int32_t par, int32_t page) {
    int32_t n = 0;
    for (const TLine* l : Par(par).Lines)
      if (l->Box != nullptr && l->Box->Page->Index == page) ++n;
    return n;
  }
  // The line's top on its page, twips.
  int32_t TopOnPage(int32_t par, int32_t line = 0) {
    const TLine& l = *Par(par).Lines[static_cast<size_t>(line)];
    return l.Box->OffsetInPage().y + l.Top;
  }
  TPage& Page(int32_t i) { return *doc->Pages[static_cast<size_t>(i)]; }

  // The whole box tree of every page as text: boxes with their kinds, flags, areas, rectangles,
  // margins and fill positions, and every line with its paragraph, characters, top and height.
  static void Describe(const TBox& box, int depth, std::ostringstream& out) {
    out << std::string(static_cast<size_t>(depth) * 2, ' ') << "box k" << int(box.Kind) << " f" << box.Flags
        << " a" << int(box.Area) << " c" << int(box.Column) << " [" << box.Rect.left << ',' << box.Rect.top << ','
        << box.Rect.right << ',' << box.Rect.bottom << "] m[" << box.Margins.left << ',' << box.Margins.top << ','
        << box.Margins.right << ',' << box.Margins.bottom << "] fill " << box.FillPos << " max " << box.MaxHeight
        << '\n';
    for (const TLine* l : box.Lines) {
      out << std::string(static_cast<size_t>(depth) * 2 + 2, ' ');
      if (l == nullptr) {
        out << "(released)\n";
        continue;
      }
      out << "line p" << l->Par->Index << " c" << l->FirstChar << '+' << l->Count << " s" << l->StreamOffset << '+'
          << l->StreamLength << " x" << l->EndX() << " top " << l->Top << " h " << l->Height << " n" << l->LineNumber
          << " f" << (l->Flags & 0xFFFFu) << '\n';
    }
    for (const TBoxRef& c : box.Children) Describe(*c, depth + 1, out);
  }
  std::string DescribePages() {
    std::ostringstream out;
    for (const TPage* page : doc->Pages) {
      out << "page " << page->Index << " section " << page->Section->Number << " fn " << page->FootnoteCounter
          << " en " << page->EndnoteCounter << '\n';
      Describe(*page, 0, out);
    }
    return out.str();
  }

  // Replaces the text byte of character `index` of the paragraph (an edit inside one paragraph).
  void ReplaceChar(int32_t par, int32_t index, char c) {
    TPar& p = Par(par);
    const int32_t off = p.CharToStreamOffset(index);
    ASSERT_GE(p.Content.Data[off], 32);
    p.Content.Data[off] = static_cast<uint8_t>(c);
    p.RebuildCodes();
    p.ContentChanged();
  }
  // Replaces a letter of the paragraph from `from` on by another of the same width ("a", "e",
  // "n", "o" and "u" are equally wide in the sans-serif face).
  void ReplaceSameWidth(int32_t par, int32_t from) {
    const std::string letters = "aenou";
    TPar& p = Par(par);
    for (int32_t i = from; i < p.CharCount(); ++i) {
      const size_t at = letters.find(static_cast<char>(p.CodeAt(i)));
      if (at == std::string::npos) continue;
      ReplaceChar(par, i, letters[(at + 1) % letters.size()]);
      return;
    }
    FAIL() << "no letter to replace";
  }
  // Inserts text before character `index` of the paragraph.
  void InsertText(int32_t par, int32_t index, const std::string& text) {
    TPar& p = Par(par);
    const int32_t off = p.CharToStreamOffset(index);
    std::string bytes(reinterpret_cast<const char*>(p.Content.Data), static_cast<size_t>(p.Content.Length));
    bytes.insert(static_cast<size_t>(off), text);
    p.Content.Clear();
    p.Content.AppendString(bytes);
    p.RebuildCodes();
    p.ContentChanged();
  }
  // Lays the document out again from scratch.
  void PaginateFromScratch() {
    doc->ReformatAllParagraphs();
    doc->DiscardPages();
    doc->Paginate(0, INT32_MAX);
  }
  static std::string Words(int n, int seed) {
    static const char* const words[] = {"layout", "of", "pages", "with", "a", "few", "longer", "paragraphs",
                                        "breaking", "into", "lines", "and", "boxes"};
    std::string s;
    for (int i = 0; i < n; ++i) {
      if (i > 0) s += ' ';
      s += words[(i * 7 + seed) % 13];
    }
    return s;
  }

  std::unique_ptr<TDoc> doc;
  std::unique_ptr<TDocBuilder> b;
};
