// Paragraph groups: neighbouring paragraphs with the same border set and nearly the same indents
// form one bordered block, and neighbouring shaded paragraphs one shaded block. Layout, painting
// and the writers ask for the group around a paragraph.
#include <cstdlib>

#include "document/doc.h"
#include "document/par.h"
#include "document/section.h"

namespace qv {

namespace {

int32_t Indent(int16_t v) { return v == ParUnset16 ? 0 : v; }

// Indents that differ by less than 4 twips count as the same.
bool NearlyEqual(int32_t a, int32_t b) { return std::abs(a - b) < 4; }

bool InTable(const TPar& par) { return par.Format.InTable != ParUnset8 && par.Format.InTable > 0; }

bool BelongsToGroup(const TParFormat& p, const TParFormat& n, int32_t mode) {
  if (n.Borders != p.Borders) return false;
  if (mode == TDoc::pgShading && n.Shading < 0) return false;  // unset and "none" are negative
  if (!NearlyEqual(Indent(n.LeftIndent), Indent(p.LeftIndent))) return false;
  const int32_t fn = Indent(n.FirstIndent), fp = Indent(p.FirstIndent);
  if (!NearlyEqual(fn, fp) && !(fn >= 0 && fp >= 0)) return false;
  return NearlyEqual(Indent(n.RightIndent), Indent(p.RightIndent));
}

}  // namespace

void TDoc::GetParagraphGroup(int32_t par, int32_t mode, int32_t& first, int32_t& last) {
  first = last = par;
  if (par < 0 || par >= ParCount()) return;
  int32_t lower = 0, upper = ParCount() - 1;
  const int32_t story = StoryOfParagraph(par);
  if (InTable(*Par(par))) {
    TDocRange cell;
    GetCellRange(par, cell);
    lower = cell.Start.Par;
    upper = cell.End.Par;
  } else if (story != stMain) {
    lower = FirstParagraphOfStory(story);
    upper = LastParagraphOfStory(story);
  } else if (const TSection* section = SectionOfParagraph(par)) {
    lower = section->FirstPar;
    upper = section->LastPar;
  }
  lower = std::max(lower, FirstParagraphOfStory(story));
  upper = std::min(upper, LastParagraphOfStory(story));
  const TParFormat& own = Par(par)->Format;
  while (first - 1 >= lower && BelongsToGroup(own, Par(first - 1)->Format, mode)) --first;
  while (last + 1 <= upper && BelongsToGroup(own, Par(last + 1)->Format, mode)) ++last;
}

void TDoc::GetBorderGroup(int32_t par, int32_t& first, int32_t& last) {
  GetParagraphGroup(par, pgBorders, first, last);
}

void TDoc::GetShadingGroup(int32_t par, int32_t& first, int32_t& last) {
  GetParagraphGroup(par, pgShading, first, last);
}

bool TDoc::InSameList(int32_t a, int32_t b) const {
  if (a < 0 || b < 0 || a >= ParCount() || b >= ParCount()) return false;
  const int32_t list = Par(a)->Format.List;
  return list != ParUnset32 && list != 0 && list == Par(b)->Format.List;
}

}  // namespace qv
