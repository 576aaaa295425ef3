// Sort orders that the document's lists use.
#include <vector>

#include "document/doc.h"
#include "document/section.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

int Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

std::vector<std::u16string> SplitLevels(const std::u16string& text) {
  std::vector<std::u16string> levels;
  size_t start = 0;
  for (;;) {
    const size_t colon = text.find(u':', start);
    levels.push_back(text.substr(start, colon == std::u16string::npos ? std::u16string::npos
                                                                       : colon - start));
    if (colon == std::u16string::npos) return levels;
    start = colon + 1;
  }
}

int CompareUnits(const std::u16string& a, const std::u16string& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// Case-sensitive order in which a lower-case letter comes before its capital.
int CompareCaseSensitive(const std::u16string& a, const std::u16string& b) {
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const char16_t x = a[i];
    const char16_t y = b[i];
    if (x == y) continue;
    if (plat::IsCharLower(x) && plat::IsCharUpper(y)) return -1;
    if (plat::IsCharUpper(x) && plat::IsCharLower(y)) return 1;
    return x < y ? -1 : 1;
  }
  return Sign(static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size()));
}

// Without regard to case or accents.
int CompareLoose(const std::u16string& a, const std::u16string& b) {
  return CompareUnits(plat::StripDiacritics(plat::FoldCase(a)),
                      plat::StripDiacritics(plat::FoldCase(b)));
}

// Accents, then case, for texts that are equal without them.
int CompareTieBreak(const std::u16string& a, const std::u16string& b) {
  const int folded = CompareUnits(plat::FoldCase(a), plat::FoldCase(b));
  return folded != 0 ? folded : CompareCaseSensitive(a, b);
}

}  // namespace

int CompareByFirstField(const int32_t* a, const int32_t* b) {
  return Sign(static_cast<int64_t>(*a) - *b);
}

int CompareIndexEntryTexts(const std::u16string& a, const std::u16string& b) {
  const std::vector<std::u16string> la = SplitLevels(a);
  const std::vector<std::u16string> lb = SplitLevels(b);
  // Case and accents only decide between texts whose every level is otherwise the same, so
  // that entries differing only in the case of a first level sort by their later levels.
  for (size_t i = 0; i < la.size() && i < lb.size(); ++i)
    if (const int c = CompareLoose(la[i], lb[i]); c != 0) return c;
  if (la.size() != lb.size())
    return Sign(static_cast<int64_t>(la.size()) - static_cast<int64_t>(lb.size()));
  for (size_t i = 0; i < la.size(); ++i)
    if (const int c = CompareTieBreak(la[i], lb[i]); c != 0) return c;
  return 0;
}

int CompareSectionsByFirstParagraph(const TSection& a, const TSection& b) {
  return Sign(static_cast<int64_t>(a.FirstPar) - b.FirstPar);
}

}  // namespace qv
