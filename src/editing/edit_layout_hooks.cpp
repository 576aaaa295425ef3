#include "editing/edit_layout_hooks.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "document/doc.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/par_breaking.h"
#include "document/section.h"
#include "foundation/base/service_slot.h"

namespace qv {

namespace {

constexpr size_t MaxLogEntries = 4096;

int32_t TextWidthOf(TDoc& doc, int32_t par) {
  const TSection* s = doc.PageSectionOfParagraph(par);
  return s != nullptr && s->PageParams.TextWidth > 0 ? s->PageParams.TextWidth : 9360;
}

}  // namespace

void RegisterEditLayoutHooks(std::unique_ptr<TEditLayoutHooks> hooks) {
  RegisterService(std::move(hooks));
}
TEditLayoutHooks& EditLayoutHooks() { return Service<TEditLayoutHooks>(); }

void TEditLayoutHooks::Note(const TRequest& request) {
  if (!KeepLog) return;
  if (Log.size() >= MaxLogEntries) Log.erase(Log.begin(), Log.begin() + MaxLogEntries / 2);
  Log.push_back(request);
}

void TEditLayoutHooks::RelayoutThrough(TDoc& doc, int32_t page, int32_t par, int32_t /*lastPage*/) {
  RelayoutFrom(doc, page, par);
}

void TEditLayoutHooks::RelayoutFrom(TDoc& doc, int32_t page, int32_t par) {
  TRequest r;
  r.What = TRequest::Kind::Relayout;
  r.Page = page;
  r.Par = par;
  Note(r);
  if (par >= 0 && par < doc.ParCount() && !doc.Par(par)->HasFlag(pfLinesValid))
    qv::ReformatParagraph(*doc.Par(par), true, TextWidthOf(doc, par));
}

namespace {

// The page that shows the paragraph's first line; -1 when it is not laid out.
int32_t PageOfParagraph(TDoc& doc, int32_t par) {
  const TPar& p = *doc.Par(par);
  return p.IsPlaced() ? DocLayoutServices().PageOfLine(*p.Lines.front()) : -1;
}

}  // namespace

void TPaginatingLayoutHooks::RelayoutFrom(TDoc& doc, int32_t page, int32_t par) {
  RelayoutThrough(doc, page, par, INT32_MAX);
}

void TPaginatingLayoutHooks::RelayoutThrough(TDoc& doc, int32_t page, int32_t par, int32_t lastPage) {
  if (doc.PageCount() == 0 || doc.ParCount() == 0) {
    TEditLayoutHooks::RelayoutFrom(doc, page, par);
    return;
  }
  int32_t first = page >= 0 ? page : INT32_MAX;
  if (par != PostActionNone) {
    // From the page of the changed paragraph, or of the nearest laid-out one before it; the
    // changed paragraph itself is broken again whatever its lines say.
    const int32_t changed = std::clamp(par, 0, doc.ParCount() - 1);
    int32_t found = PageOfParagraph(doc, changed);
    doc.Par(changed)->ReleaseLines(0);
    for (int32_t at = changed - 1; found < 0 && at >= 0; --at) found = PageOfParagraph(doc, at);
    first = std::min(first, std::max(found, 0));
  }
  if (first == INT32_MAX) first = 0;
  first = std::min(first, doc.PageCount());
  // Paginate keeps going while fewer pages than asked for exist.
  doc.Paginate(first, lastPage == INT32_MAX ? INT32_MAX : std::max(lastPage, first) + 1);
}

void TPaginatingLayoutHooks::RenumberLists(TDoc& doc) { doc.RenumberLists(); }

bool TPaginatingLayoutHooks::ReformatParagraph(TDoc& doc, int32_t par) {
  if (par < 0 || par >= doc.ParCount() || doc.PageCount() == 0 || !doc.Par(par)->IsPlaced())
    return TEditLayoutHooks::ReformatParagraph(doc, par);
  // The layout's in-place re-break reports through the document's post-edit record: the
  // paragraph named changed and no page to lay out means its lines kept their places. What it
  // asks for is the caller's to decide, so the record is given back as it was.
  TPostActions& pa = doc.PostActions;
  const int32_t firstPage = pa.FirstPage, firstPar = pa.FirstPar;
  pa.FirstPage = PostActionNone;
  pa.FirstPar = PostActionNone;
  doc.RelayoutParagraph(par);
  const bool inPlace = pa.FirstPage == PostActionNone && pa.FirstPar == par && doc.Par(par)->IsPlaced();
  pa.FirstPage = firstPage;
  pa.FirstPar = firstPar;
  if (!inPlace) doc.Par(par)->ReleaseLines(0);
  return inPlace;
}

bool TEditLayoutHooks::ReformatParagraph(TDoc& doc, int32_t par) {
  TRequest r;
  r.What = TRequest::Kind::Reformat;
  r.Par = par;
  Note(r);
  if (par < 0 || par >= doc.ParCount()) return false;
  TPar& p = *doc.Par(par);
  const int32_t before = p.LineCount();
  const bool hadLines = p.HasFlag(pfLinesValid);
  qv::ReformatParagraph(p, true, TextWidthOf(doc, par));
  return hadLines && p.LineCount() == before;
}

void TEditLayoutHooks::RenumberLists(TDoc& /*doc*/) {
  TRequest r;
  r.What = TRequest::Kind::RenumberLists;
  Note(r);
}

void TEditLayoutHooks::Repaint(TDoc& /*doc*/, const TDocRange* range) {
  TRequest r;
  r.What = range ? TRequest::Kind::RepaintRange : TRequest::Kind::Repaint;
  if (range) r.Range = *range;
  Note(r);
}

}  // namespace qv

namespace qv {

void TEditLayoutHooks::ScrollCaretIntoView(TDoc& /*doc*/, int32_t mode) {
  TRequest r;
  r.What = TRequest::Kind::Scroll;
  r.Mode = mode;
  Note(r);
}

void TEditLayoutHooks::ScrollToTarget(TDoc& /*doc*/, const TDocPosition& anchor, int32_t x,
                                      int32_t y) {
  TRequest r;
  r.What = TRequest::Kind::Scroll;
  r.Mode = -1;
  r.Range.Start = anchor;
  r.Page = x;
  r.Par = y;
  Note(r);
}

}  // namespace qv

namespace qv {

void TEditLayoutHooks::StartProgress(TDoc& /*doc*/, const std::string& text, int32_t range) {
  TRequest r;
  r.What = TRequest::Kind::Progress;
  r.Text = text;
  r.Par = range;
  Note(r);
}

}  // namespace qv

namespace qv {

void TEditLayoutHooks::ReflowHeaderFooter(TDoc& doc, int32_t page, TField* field) {
  TRequest r;
  r.What = TRequest::Kind::HeaderFooter;
  r.Page = page;
  Note(r);
  DocLayoutServices().LayOutHeaderFooterArea(doc, page, field);
}

void TEditLayoutHooks::ReleaseHeaderFooter(TDoc& doc, int32_t page) {
  DocLayoutServices().ReleaseHeaderFooterArea(doc, page);
}

}  // namespace qv
