#include "document/border_group.h"

#include <cstdlib>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "document/section.h"

namespace qv {

namespace {

int32_t Value16(int16_t v) { return v == ParUnset16 ? 0 : v; }

bool NearlyEqual(int32_t a, int32_t b) { return std::abs(a - b) < 4; }

bool InTable(const TPar& par) { return par.Format.InTable != ParUnset8 && par.Format.InTable > 0; }

bool EndsCell(const TPar& par) {
  const int32_t n = par.CharCount();
  if (n == 0) return false;
  const uint8_t last = par.CodeAt(n - 1);
  return last == scCellEnd || last == scRowEnd;
}

// The section whose range reaches the paragraph (the last one for paragraphs after every range).
const TSection* SectionOf(const TDoc& doc, int32_t index) {
  for (const auto& s : doc.Sections)
    if (index <= s->LastPar) return s.get();
  return doc.Sections.empty() ? nullptr : doc.Sections.back().get();
}

// Both paragraphs lie within the same cell, story and (in the main text) section.
bool WithinSameLimits(const TDoc& doc, const TPar& first, const TPar& second) {
  if (InTable(first) != InTable(second)) return false;
  if (InTable(first) && EndsCell(first)) return false;
  const int32_t story = doc.StoryOfParagraph(first.Index);
  if (story != doc.StoryOfParagraph(second.Index)) return false;
  return story != 0 || SectionOf(doc, first.Index) == SectionOf(doc, second.Index);
}

bool SameFrame(const TParFormat& a, const TParFormat& b) {
  if (a.Borders != b.Borders) return false;
  if (!NearlyEqual(Value16(a.LeftIndent), Value16(b.LeftIndent))) return false;
  if (!NearlyEqual(Value16(a.RightIndent), Value16(b.RightIndent))) return false;
  const int32_t fa = Value16(a.FirstIndent), fb = Value16(b.FirstIndent);
  return NearlyEqual(fa, fb) || (fa >= 0 && fb >= 0);
}

}  // namespace

bool JoinsBorderGroup(const TPar& par, int direction) {
  // A list label is framed with the paragraph it belongs to.
  const TPar& owner = par.NumberOwner != nullptr ? *par.NumberOwner : par;
  const TDoc* doc = owner.Doc;
  if (doc == nullptr) return false;
  const int32_t other = owner.Index + direction;
  if (other < 0 || other >= doc->ParCount() || doc->Par(owner.Index) != &owner) return false;
  const TPar& neighbour = *doc->Par(other);
  const TPar& first = direction < 0 ? neighbour : owner;
  const TPar& second = direction < 0 ? owner : neighbour;
  return SameFrame(owner.Format, neighbour.Format) && WithinSameLimits(*doc, first, second);
}

}  // namespace qv
