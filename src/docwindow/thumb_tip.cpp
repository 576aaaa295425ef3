#include "docwindow/thumb_tip.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/doc.h"
#include "document/line.h"
#include "document/par.h"
#include "document/styles.h"
#include "layout/box.h"
#include "layout/page.h"
#include "layout/paint/box_geometry.h"

namespace qv {

namespace {

constexpr int32_t kLevels = 9;

// The heading level (1 to 9) of a paragraph of the main text; 0 for other paragraphs.
int32_t HeadingLevel(const TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount() || doc.StoryOfParagraph(par) != stMain) return 0;
  const TStyle* style = doc.Par(par)->GetStyle();
  return style != nullptr && style->IsHeading() ? style->BuiltIn : 0;
}

// The heading paragraphs of the page's lines in order, each with its line's top in view pixels.
struct THeadingLine {
  int32_t Par = 0;
  int32_t Top = 0;
};
std::vector<THeadingLine> PageHeadings(const TDoc& doc, const TPage& page) {
  std::vector<THeadingLine> out;
  for (TLine* line : CollectPageLines(page, BodyAreas)) {
    if (line == nullptr || line->Par == nullptr || line->Box == nullptr) continue;
    const int32_t par = line->Par->Index;
    if (HeadingLevel(doc, par) == 0) continue;
    if (!out.empty() && out.back().Par == par) continue;
    out.push_back({par, BoxToViewPoint(*line->Box, {0, doc.TwipsToPixelsY(line->Top)}).y});
  }
  return out;
}

int32_t FirstParOfPage(const TPage& page) {
  for (TLine* line : CollectPageLines(page, BodyAreas))
    if (line != nullptr && line->Par != nullptr) return line->Par->Index;
  return -1;
}

std::u16string CutHeading(std::u16string text) {
  if (text.size() > kTipHeadingChars) {
    text.resize(kTipHeadingChars);
    text.push_back(kEllipsis);
  }
  return text;
}

std::u16string FitLine(std::u16string line, int32_t maxWidth,
                       const std::function<int32_t(const std::u16string&)>& width) {
  if (width(line) + 6 <= maxWidth) return line;
  while (!line.empty()) {
    line.pop_back();
    std::u16string cut = line + kEllipsis;
    if (width(cut) + 6 <= maxWidth) return cut;
  }
  return std::u16string(1, kEllipsis);
}

}  // namespace

int32_t PageAtThumb(const TDoc& doc, int32_t position, int32_t pageAreaHeight) {
  const TPageArrangement& a = doc.Layout.Arrangement;
  if (doc.PageCount() == 0 || a.PageRects.empty()) return -1;
  const int64_t centre = int64_t{position} + pageAreaHeight / 2;
  const int32_t perRow = std::max(1, a.PagesPerRow);
  const int32_t shift = a.FirstPageOnRight ? 1 : 0;
  int32_t best = 0;
  int64_t bestDistance = INT64_MAX;
  const int32_t rows = static_cast<int32_t>(a.RowTops.size());
  for (int32_t row = 0; row < rows; ++row) {
    const int32_t page = std::clamp(row * perRow - shift + (row == 0 ? shift : 0), 0,
                                    static_cast<int32_t>(a.PageRects.size()) - 1);
    const plat::Rect& r = a.PageRects[static_cast<size_t>(page)];
    const int64_t distance = std::llabs((int64_t{r.top} + r.bottom) / 2 - centre);
    if (distance >= bestDistance) break;
    bestDistance = distance;
    best = page;
  }
  best = std::min(best, doc.PageCount() - 1);
  while (best > 0 && IsBoxEmpty(*doc.Pages[static_cast<size_t>(best)])) --best;
  return best;
}

std::u16string ThumbTipText(TDoc& doc, int32_t page, int32_t middleY, int32_t maxWidth,
                            const std::function<int32_t(const std::u16string&)>& width) {
  if (page < 0 || page >= doc.PageCount()) return {};
  const TPage& p = *doc.Pages[static_cast<size_t>(page)];
  std::vector<std::u16string> lines;
  if (doc.ViewMode == vmPrintLayout) {
    const std::string text = "Page " + std::to_string(page + 1);
    lines.emplace_back(text.begin(), text.end());
  }
  // The governing heading.
  const std::vector<THeadingLine> onPage = PageHeadings(doc, p);
  int32_t governing = -1;
  size_t indexOnPage = onPage.size();
  if (doc.ViewMode == vmPrintLayout) {
    for (size_t i = 0; i < onPage.size(); ++i)
      if (onPage[i].Top < middleY) {
        governing = onPage[i].Par;
        indexOnPage = i;
      }
  } else if (!onPage.empty()) {
    governing = onPage.front().Par;
    indexOnPage = 0;
  }
  if (governing < 0) {
    for (int32_t par = FirstParOfPage(p) - 1; par >= 0 && governing < 0; --par)
      if (HeadingLevel(doc, par) != 0) governing = par;
  }
  if (governing >= 0) {
    // The path: the governing heading, the nearest heading of each higher level before it,
    // then the deeper headings following it on the page.
    std::array<int32_t, kLevels + 1> path;
    path.fill(-1);
    const int32_t level = HeadingLevel(doc, governing);
    path[static_cast<size_t>(level)] = governing;
    int32_t need = level - 1;
    for (int32_t par = governing - 1; par >= 0 && need >= 1; --par) {
      const int32_t l = HeadingLevel(doc, par);
      if (l == 0 || l > need) continue;
      path[static_cast<size_t>(l)] = par;
      need = l - 1;
    }
    int32_t last = level;
    for (size_t i = indexOnPage + 1; i < onPage.size(); ++i) {
      const int32_t l = HeadingLevel(doc, onPage[i].Par);
      if (l <= last) break;
      path[static_cast<size_t>(l)] = onPage[i].Par;
      last = l;
    }
    int32_t written = 0;
    for (int32_t l = 1; l <= kLevels; ++l) {
      const int32_t par = path[static_cast<size_t>(l)];
      if (par < 0) continue;
      std::u16string line(static_cast<size_t>(7 * written), u' ');
      line += CutHeading(doc.GetParagraphDisplayText(par));
      lines.push_back(FitLine(std::move(line), maxWidth, width));
      ++written;
    }
  }
  std::u16string tip;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) tip.push_back(u'\r');
    tip += lines[i];
  }
  return tip;
}

}  // namespace qv
