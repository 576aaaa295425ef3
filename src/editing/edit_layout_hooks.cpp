#include "editing/edit_layout_hooks.h"

#include <utility>

#include "document/doc.h"
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

void TEditLayoutHooks::RelayoutFrom(TDoc& doc, int32_t page, int32_t par) {
  TRequest r;
  r.What = TRequest::Kind::Relayout;
  r.Page = page;
  r.Par = par;
  Note(r);
  if (par >= 0 && par < doc.ParCount() && !doc.Par(par)->HasFlag(pfLinesValid))
    qv::ReformatParagraph(*doc.Par(par), true, TextWidthOf(doc, par));
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
