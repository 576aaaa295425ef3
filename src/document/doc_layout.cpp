// The layout entry points of TDoc. Pagination, in-place re-layout and the page arrangement are
// the registered layout's (document/layout_services.h); the document keeps the page list, the
// end mark and the arrangement that the view queries read.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <exception>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/layout_services.h"

namespace qv {

namespace {

// The last row whose top is at or above y (0 when none is).
int32_t RowAt(const std::vector<int32_t>& tops, int32_t y) {
  const auto it = std::upper_bound(tops.begin(), tops.end(), y);
  return it == tops.begin() ? 0 : static_cast<int32_t>(it - tops.begin()) - 1;
}

}  // namespace

void TDoc::Paginate(int32_t first, int32_t count) { DocLayoutServices().Paginate(*this, first, count); }

void TDoc::PaginateAll() {
  if (IsDocFlagSet(dfLayoutSuspended) || Layout.LaidOutToEnd) return;
  Paginate(PageCount(), INT32_MAX);
}

void TDoc::DiscardPages() {
  DocLayoutServices().ReleasePages(*this);
  Layout.LaidOutToEnd = false;
}

void TDoc::DropLayout() {
  for (auto& p : Paragraphs) {
    try {
      p->ReleaseLines(0);
    } catch (const std::exception&) {
      // A damaged paragraph must not stop the others from being cleared.
    }
  }
  try {
    DocLayoutServices().ReleasePages(*this);
  } catch (const std::exception&) {
    Pages.clear();
  }
  Layout.LaidOutToEnd = false;
}

void TDoc::EnsureLaidOut(TDocPosition& position, int32_t flags) {
  DocLayoutServices().EnsureLaidOut(*this, position, flags);
}

void TDoc::EnsureParagraphLaidOut(int32_t par) {
  if (par < 0 || par >= ParCount()) return;
  TDocPosition position;
  MakePosition(par, ParLength(par), position);
  EnsureLaidOut(position, 0);
}

void TDoc::RelayoutParagraph(int32_t par) {
  if (par < 0 || par >= ParCount()) return;
  DocLayoutServices().RelayoutParagraph(*this, par);
}

void TDoc::ReformatAllParagraphs() {
  for (auto& p : Paragraphs) p->ReleaseLines(0);
}

void TDoc::RebuildLayout() {
  ReformatAllParagraphs();
  DiscardPages();
  TDocPosition caret = Caret;
  EnsureLaidOut(caret, 0);
  Caret.Page = caret.Page;
  Caret.Line = caret.Line;
  ArrangePages();
  if (EditorWindow) EditorWindow->Repaint();
}

void TDoc::ArrangePages() {
  if (EditorWindow && EditorWindow->ArrangePages()) return;
  DocLayoutServices().ArrangePages(*this);
}

void TDoc::ResetPageLayout() {
  UpdateSectionPixelMetrics();
  DiscardPages();
}

void TDoc::RenumberParagraphs(int32_t from) {
  const int32_t start = std::max(from, FirstParagraphOfStory(stFootnotes));
  for (int32_t i = std::max(start, 0); i < ParCount(); ++i) {
    TPar& p = *Par(i);
    p.Index = i;
    if (p.NumberPar) p.NumberPar->Index = i;
  }
}

const TSection* TDoc::SectionOfPage(int32_t page) const {
  return DocLayoutServices().SectionOfPage(*this, page);
}

// --- View queries ---

int32_t TDoc::FirstVisiblePage() const {
  const TPageArrangement& a = Layout.Arrangement;
  if (a.RowTops.empty()) return 0;
  const int32_t row = RowAt(a.RowTops, View.ScrollPos.y);
  const int32_t shift = a.FirstPageOnRight && ViewMode == vmPrintLayout ? 1 : 0;
  return std::max(0, row * std::max(a.PagesPerRow, 1) - shift);
}

int32_t TDoc::LastVisiblePage() const {
  const TPageArrangement& a = Layout.Arrangement;
  if (a.RowTops.empty()) return 0;
  const int32_t height = EditorWindow ? const_cast<TDocEditorWindow&>(*EditorWindow).PageArea(false).cy : 0;
  const int32_t bottom = View.ScrollPos.y + height;
  int32_t row = RowAt(a.RowTops, View.ScrollPos.y);
  while (row + 1 < static_cast<int32_t>(a.RowTops.size()) && a.RowTops[static_cast<size_t>(row) + 1] < bottom)
    ++row;
  const int32_t shift = a.FirstPageOnRight && ViewMode == vmPrintLayout ? 1 : 0;
  return std::max(0, (row + 1) * std::max(a.PagesPerRow, 1) - 1 - shift);
}

int32_t TDoc::CurrentPage() const {
  const int32_t height = EditorWindow ? const_cast<TDocEditorWindow&>(*EditorWindow).PageArea(false).cy : 0;
  const int32_t top = View.ScrollPos.y;
  const int32_t bottom = top + height;
  int32_t best = FirstVisiblePage();
  int64_t bestDistance = INT64_MAX;
  for (int32_t i = FirstVisiblePage(); i <= LastVisiblePage(); ++i) {
    plat::Rect r;
    GetPageRect(i, r);
    const int64_t d = std::llabs(int64_t{r.top} - top) + std::llabs(int64_t{r.bottom} - bottom);
    if (d >= bestDistance) continue;
    best = i;
    bestDistance = d;
    if (r.top >= top && r.bottom < bottom) break;
  }
  return best;
}

void TDoc::GetPageRect(int32_t page, plat::Rect& out) const {
  const std::vector<plat::Rect>& rects = Layout.Arrangement.PageRects;
  if (rects.empty()) {
    out = {};
    return;
  }
  out = rects[static_cast<size_t>(std::clamp(page, 0, static_cast<int32_t>(rects.size()) - 1))];
}

}  // namespace qv
