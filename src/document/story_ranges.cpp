// The whole ranges of stories and of the document, and the notes of a story.
#include <algorithm>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_scan.h"

namespace qv {

namespace {

// From offset 0 of the first paragraph to the end (after the mark) of the last.
void ParagraphSpan(const TDoc& doc, int32_t first, int32_t last, TDocRange& out) {
  last = std::clamp(last, 0, doc.ParCount() - 1);
  first = std::clamp(first, 0, last);
  MakeRange(first, 0, last, doc.Par(last)->CharCount(), out);
}

bool StoryHasParagraphs(const TDoc& doc, int32_t story) {
  return doc.StoryCounts[static_cast<size_t>(story)] > 0;
}

}  // namespace

void TDoc::GetWholeDocRange(TDocRange& out) const { ParagraphSpan(*this, 0, ParCount() - 1, out); }

void TDoc::GetMainTextRange(TDocRange& out) const {
  ParagraphSpan(*this, 0, LastParagraphOfStory(stMain), out);
}

void TDoc::GetInPlaceFieldRange(TDocRange& out) const {
  out = TDocRange{};
  if (HeaderFooterInPlace == nullptr) return;
  if (!ScanFieldRange(*this, HeaderFooterInPlace, out)) out = HeaderFooterInPlace->Range;
}

void TDoc::GetCurrentStoryRange(TDocRange& out) const {
  if (HeaderFooterInPlace != nullptr) {
    GetInPlaceFieldRange(out);
    return;
  }
  const int32_t caret = std::clamp(Caret.Par, 0, ParCount() - 1);
  const int32_t story = StoryOfParagraph(caret);
  ParagraphSpan(*this, FirstParagraphOfStory(story), LastParagraphOfStory(story), out);
}

void TDoc::GetTextAndNotesRange(TDocRange& out) const {
  if (HeaderFooterInPlace != nullptr) {
    GetInPlaceFieldRange(out);
    return;
  }
  ParagraphSpan(*this, 0, LastParagraphOfStory(stEndnotes), out);
}

void TDoc::GetTextStoriesFragment(TCompoundFragment& fragment) const {
  if (HeaderFooterInPlace != nullptr) {
    GetInPlaceFieldRange(*fragment.LastRange);
    return;
  }
  bool first = true;
  for (int32_t story = stMain; story <= stEndnotes; ++story) {
    if (!StoryHasParagraphs(*this, story)) continue;
    TDocRange r;
    ParagraphSpan(*this, FirstParagraphOfStory(story), LastParagraphOfStory(story), r);
    if (first && IsFragmentEmpty(&fragment))
      *fragment.GetRange(0) = r;
    else
      fragment.InsertRange(fragment.Count(), r);
    first = false;
  }
}

void TDoc::ListNotesOfStory(std::vector<TField*>& list, int32_t story) const {
  list.clear();
  if ((story != stFootnotes && story != stEndnotes) || !StoryHasParagraphs(*this, story)) return;
  const int32_t first = FirstParagraphOfStory(story);
  const int32_t last = LastParagraphOfStory(story);
  const std::vector<TFieldSpan> spans = ScanFieldSpans(*this, first, last);
  for (int32_t p = first; p <= last;) {
    const TFieldSpan* note = nullptr;
    for (const TFieldSpan& s : spans)
      if (s.Field->Kind == fkNoteText && s.Range.Start.Par == p) {
        note = &s;
        break;
      }
    if (note == nullptr) {
      ++p;
      continue;
    }
    list.push_back(note->Field);
    // An end mark at offset 0 closes the note in the paragraph before.
    const TDocPosition& end = note->Range.End;
    const int32_t endPar = end.Offset == 0 && end.Par > p ? end.Par - 1 : end.Par;
    p = std::max(endPar, p) + 1;
  }
}

}  // namespace qv
