#include "document/list_operations.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <set>
#include <string>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/number_formats.h"
#include "document/object_edit_services.h"
#include "document/par.h"
#include "document/styles.h"

namespace qv {

namespace {

constexpr uint8_t OperationLists = 58;  // the "Lists" operation name
constexpr int32_t MaxTypedNumberLength = 12;

int32_t ListNumberOf(const TPar& par) {
  const int32_t list = GetParFormatProp(par.Format, ppList);
  return list == ParUnset32 ? 0 : list;
}

int32_t ListLevelOf(const TPar& par) {
  const int32_t level = GetParFormatProp(par.Format, ppListLevel);
  return level == ParUnset32 ? 0 : level;
}

int32_t StyleOf(const TPar& par) { return GetParFormatProp(par.Format, ppStyle); }

bool StyleCarriesList(const TPar& par) {
  const TStyle* style = par.GetStyle();
  return style != nullptr && StyleHasListFormat(*style);
}

// The paragraphs of the selection's ranges, each once, in order (the caret's paragraph when
// nothing is selected).
std::vector<std::pair<int32_t, int32_t>> SelectedParagraphRuns(const TDoc& doc) {
  std::vector<std::pair<int32_t, int32_t>> runs;
  if (doc.Selection && doc.Selection->Count() > 0) {
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) {
      const TDocRange& r = *doc.Selection->GetRange(i);
      int32_t last = r.End.Par;
      if (r.End.Offset == 0 && last > r.Start.Par) --last;  // a range ending at a paragraph start
      runs.emplace_back(std::max(0, r.Start.Par), std::min(last, doc.ParCount() - 1));
    }
  } else {
    runs.emplace_back(doc.Caret.Par, doc.Caret.Par);
  }
  return runs;
}

TDocRange WholeParagraphs(const TDoc& doc, int32_t first, int32_t last) {
  TDocRange r;
  r.Start.Par = first;
  r.Start.Offset = 0;
  r.End.Par = last;
  r.End.Offset = doc.Par(last)->CharCount();
  return r;
}

bool IsMarkerChar(const TPar& par, int32_t index) {
  const uint8_t code = par.CodeAt(index);
  if (code == scEmDash || code == scEnDash || code == '*' || code == '-' || code == '>') return true;
  if (code != scWideChar) return false;
  const int32_t off = par.CharToStreamOffset(index);
  if (!IsTagAt(par.Content.Data, par.Content.Length, off)) return false;
  const int32_t c = ReadTagAt(par.Content.Data, off).Value;
  return c >= 0xE000 && c <= 0xF8FF;  // private use: a symbol font's bullet
}

bool IsLetterOrDigit(uint8_t code) { return std::isalnum(code) != 0 || code >= 0xC0; }

// Moves positions in the paragraph left by the deleted marker (not below 0); positions in other
// paragraphs stay where they are.
void ShiftForDeletedMarker(TDoc& doc, int32_t par, int32_t length) {
  auto shift = [&](TDocPosition& p) {
    if (p.Par == par) p.Offset = std::max(0, p.Offset - length);
  };
  shift(doc.Caret);
  if (doc.Selection) {
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) {
      shift(doc.Selection->GetRange(i)->Start);
      shift(doc.Selection->GetRange(i)->End);
    }
  }
}

// The indent pair of a run put into the list: the one pair that the story's paragraphs already
// in the list at that level share, else the level's own.
void ChooseIndents(const TDoc& doc, const TAutoList& list, int32_t level, int32_t storyPar,
                   TParFormat& format) {
  const int32_t story = doc.StoryOfParagraph(storyPar);
  std::set<std::pair<int32_t, int32_t>> pairs;
  for (int32_t i = doc.FirstParagraphOfStory(story); i <= doc.LastParagraphOfStory(story); ++i) {
    const TPar& p = *doc.Par(i);
    if (ListNumberOf(p) != list.Number) continue;
    if (!list.SingleLevel && ListLevelOf(p) != level) continue;
    pairs.emplace(p.Format.FirstIndent, p.Format.LeftIndent);
  }
  if (pairs.size() == 1) {
    format.FirstIndent = static_cast<int16_t>(pairs.begin()->first);
    format.LeftIndent = static_cast<int16_t>(pairs.begin()->second);
    return;
  }
  const TParFormat& own = list.ListLevels[static_cast<size_t>(list.SingleLevel ? 0 : level)].ParFormat;
  format.FirstIndent = own.FirstIndent;
  format.LeftIndent = own.LeftIndent;
}

// Gives unlisted paragraphs at 2 to 8 distinct first-line positions the level of their rank.
void LevelsByIndent(TDoc& doc, const std::vector<std::pair<int32_t, int32_t>>& runs) {
  std::vector<std::pair<int32_t, int32_t>> candidates;  // paragraph, first-line position
  std::set<int32_t> positions;
  for (const auto& [first, last] : runs) {
    for (int32_t i = first; i <= last; ++i) {
      const TPar& p = *doc.Par(i);
      if (ListNumberOf(p) != 0 || StyleCarriesList(p)) continue;
      const int32_t fi = GetParFormatProp(p.Format, ppFirstIndent);
      const int32_t li = GetParFormatProp(p.Format, ppLeftIndent);
      const int32_t pos = (fi == ParUnset16 ? 0 : fi) + (li == ParUnset16 ? 0 : li);
      candidates.emplace_back(i, pos);
      positions.insert(pos);
    }
  }
  if (positions.size() < 2 || positions.size() > 8) return;
  const std::vector<int32_t> sorted(positions.begin(), positions.end());
  for (const auto& [par, pos] : candidates) {
    TParFormat f = UnsetParFormat;
    f.ListLevel = static_cast<int8_t>(std::lower_bound(sorted.begin(), sorted.end(), pos) -
                                      sorted.begin());
    EditServices().FormatParagraphRange(doc, WholeParagraphs(doc, par, par), f);
  }
}

template <typename Body>
void RunListsOperation(TDoc& doc, Body body) {
  // Inside a running edit (the edit code's own operation, or another list operation) the
  // records join the open operation.
  if (!doc.OpenOperations.empty()) {
    body();
    return;
  }
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, OperationLists);
  doc.BeginOperation(op.get());
  body();
  doc.EndOperation();
  if (op) {
    doc.PostEditUpdate();
    doc.CommitOperation(std::move(op));
  }
}

// Whole-paragraph spans of the fragment, or of the selection when it is null or empty.
std::vector<std::pair<int32_t, int32_t>> WorkRuns(const TDoc& doc, const TCompoundFragment* fragment) {
  if (fragment == nullptr || fragment->Count() == 0) return SelectedParagraphRuns(doc);
  std::vector<std::pair<int32_t, int32_t>> runs;
  for (int32_t i = 0; i < fragment->Count(); ++i) {
    const TDocRange& r = *fragment->GetRange(i);
    runs.emplace_back(std::max(0, r.Start.Par), std::min(r.End.Par, doc.ParCount() - 1));
  }
  return runs;
}

// A list with several items (not all bullets) is continued only when its paragraphs lie near
// the work: touching a run, a single item within 10 paragraphs, or a scattered list within
// twice its average spacing.
bool ListLiesNear(const std::vector<int32_t>& pars,
                  const std::vector<std::pair<int32_t, int32_t>>& runs) {
  if (pars.empty()) return false;
  for (int32_t p : pars)
    for (const auto& [first, last] : runs)
      if (p >= first - 1 && p <= last + 1) return true;
  auto within = [&](int32_t reach) {
    for (int32_t p : pars)
      for (const auto& [first, last] : runs)
        if (std::abs(p - first) <= reach || std::abs(p - last) <= reach) return true;
    return false;
  };
  if (pars.size() == 1) return within(10);
  bool contiguous = true;
  for (size_t i = 1; i < pars.size(); ++i) contiguous = contiguous && pars[i] - pars[i - 1] <= 1;
  if (contiguous) return false;
  const double average =
      static_cast<double>(pars.back() - pars.front()) / static_cast<double>(pars.size() - 1);
  return within(static_cast<int32_t>(std::nearbyint(2 * average)));  // halves to even
}

// The header or footer edited in place, else the story of the paragraph.
void StoryLimits(const TDoc& doc, int32_t par, int32_t& first, int32_t& last) {
  TDocRange r;
  if (doc.HeaderFooterInPlace != nullptr && doc.StoryOfParagraph(par) == stHeadersFooters &&
      doc.GetHeaderFooterRange(doc.HeaderFooterInPlace, r)) {
    first = r.Start.Par;
    last = r.End.Par;
    return;
  }
  const int32_t story = doc.StoryOfParagraph(par);
  first = doc.FirstParagraphOfStory(story);
  last = doc.LastParagraphOfStory(story);
}

// Runs of consecutive paragraph indexes.
std::vector<std::pair<int32_t, int32_t>> Runs(const std::vector<int32_t>& pars) {
  std::vector<std::pair<int32_t, int32_t>> runs;
  for (int32_t p : pars) {
    if (!runs.empty() && runs.back().second + 1 == p) runs.back().second = p;
    else runs.emplace_back(p, p);
  }
  return runs;
}

void SelectRuns(TDoc& doc, const std::vector<std::pair<int32_t, int32_t>>& runs) {
  if (!doc.Selection) doc.Selection = AcquireFragment();
  doc.Selection->Clear();
  for (const auto& [first, last] : runs) {
    TDocRange r = WholeParagraphs(doc, first, last);
    r.End.Offset = std::max(0, r.End.Offset - 1);
    doc.Selection->InsertRange(doc.Selection->Count(), r);
  }
}

}  // namespace

std::vector<int32_t> ListParagraphs(const TDoc& doc, const TAutoList& list, ListScope scope) {
  const int32_t headers = doc.FirstParagraphOfStory(stHeadersFooters);
  int32_t from = 0;
  int32_t to = doc.ParCount();
  if (scope == ListScope::MainAndNotes) to = headers;
  if (scope == ListScope::HeadersFooters) from = headers;
  std::vector<int32_t> out;
  for (int32_t i = from; i < to; ++i)
    if (ListNumberOf(*doc.Par(i)) == list.Number) out.push_back(i);
  return out;
}

int32_t TypedListMarkerLength(const TDoc& doc, int32_t index) {
  if (index < 0 || index >= doc.ParCount()) return 0;
  TPar& par = *doc.Par(index);
  NormalizeParagraphTags(par);
  const int32_t n = par.CharCount();
  auto blank = [&](int32_t i) { return par.CodeAt(i) == ' ' || par.CodeAt(i) == scTab; };
  if (n > 3 && IsMarkerChar(par, 0) && blank(1) && IsLetterOrDigit(par.CodeAt(2))) return 2;
  std::string token;
  for (int32_t i = 0; i < n && i <= MaxTypedNumberLength; ++i) {
    if (blank(i)) {
      std::u16string text;
      std::vector<int32_t> codes, starts;
      return i > 0 && ParseTypedListNumber(token, text, codes, starts) ? i + 1 : 0;
    }
    const uint8_t c = par.CodeAt(i);
    if (c < 32) return 0;
    token.push_back(static_cast<char>(c));
  }
  return 0;
}

bool TDoc::IsListOfStyle(const TAutoList* list) const {
  if (list == nullptr || !Styles) return false;
  for (int32_t i = 0; i < Styles->Count(); ++i)
    if (GetParFormatProp((*Styles)[i].ParFmt, ppList) == list->Number) return true;
  return false;
}

TAutoList* TDoc::FindListToContinue(const TAutoList* wanted,
                                    const TCompoundFragment* fragment) const {
  if (wanted == nullptr) return nullptr;
  const auto runs = WorkRuns(*this, fragment);
  if (runs.empty()) return nullptr;
  const int32_t story = StoryOfParagraph(runs.back().first);
  const int32_t storyFirst = FirstParagraphOfStory(story);
  const int32_t storyLast = LastParagraphOfStory(story);
  auto inWork = [&](int32_t p) {
    for (const auto& [first, last] : runs)
      if (p >= first && p <= last) return true;
    return false;
  };
  auto qualifying = [&](int32_t p) -> TAutoList* {
    TAutoList* c = ListByNumber(ListNumberOf(*Par(p)));
    if (c == nullptr || !c->SameFormat(*wanted, 0) || IsListOfStyle(c)) return nullptr;
    if (c->IsAllBullets() || story == stHeadersFooters) return c;
    return ListLiesNear(ListParagraphs(*this, *c, ListScope::MainAndNotes), runs) ? c : nullptr;
  };
  for (int32_t p = runs.back().first - 1; p >= storyFirst; --p)
    if (!inWork(p))
      if (TAutoList* c = qualifying(p)) return c;
  for (int32_t p = runs.back().second + 1; p <= storyLast; ++p)
    if (!inWork(p))
      if (TAutoList* c = qualifying(p)) return c;
  return nullptr;
}

void TDoc::ApplyList(TAutoList* list) {
  if (list == nullptr) return;
  RunListsOperation(*this, [&] {
    const auto runs = SelectedParagraphRuns(*this);
    bool allEmpty = true;
    for (const auto& [first, last] : runs)
      for (int32_t i = first; i <= last; ++i) allEmpty = allEmpty && Par(i)->CharCount() <= 1;
    if (!list->SingleLevel) LevelsByIndent(*this, runs);
    auto taken = [&](int32_t i) {
      const TPar& p = *Par(i);
      return (ListNumberOf(p) != 0 || p.CharCount() > 1 || allEmpty) && !StyleCarriesList(p);
    };
    for (const auto& [first, last] : runs) {
      for (int32_t i = first; i <= last;) {
        if (!taken(i)) {
          ++i;
          continue;
        }
        int32_t end = i;
        while (end < last && taken(end + 1) && StyleOf(*Par(end + 1)) == StyleOf(*Par(i)) &&
               (list->SingleLevel || ListLevelOf(*Par(end + 1)) == ListLevelOf(*Par(i))))
          ++end;
        TParFormat f = UnsetParFormat;
        f.List = list->Number;
        ChooseIndents(*this, *list, ListLevelOf(*Par(i)), i, f);
        for (int32_t k = i; k <= end; ++k) {
          const int32_t length = TypedListMarkerLength(*this, k);
          if (length == 0) continue;
          EditServices().DeleteContent(*this, TDocRange{{k, 0}, {k, length}});
          ShiftForDeletedMarker(*this, k, length);
        }
        EditServices().FormatParagraphRange(*this, WholeParagraphs(*this, i, end), f);
        i = end + 1;
      }
    }
  });
}

void TDoc::RemoveListFormat() {
  RunListsOperation(*this, [&] {
    for (const auto& [first, last] : SelectedParagraphRuns(*this)) {
      for (int32_t i = first; i <= last;) {
        const TPar& p = *Par(i);
        if (ListNumberOf(p) == 0 || StyleCarriesList(p)) {
          ++i;
          continue;
        }
        int32_t end = i;
        while (end < last && ListNumberOf(*Par(end + 1)) == ListNumberOf(p) &&
               StyleOf(*Par(end + 1)) == StyleOf(p) && !StyleCarriesList(*Par(end + 1)))
          ++end;
        TParFormat f = UnsetParFormat;
        f.List = 0;
        f.ListLevel = 0;
        const int32_t story = StoryOfParagraph(i);
        const int32_t storyFirst = FirstParagraphOfStory(story);
        const int32_t storyLast = LastParagraphOfStory(story);
        auto plain = [&](int32_t k) {
          return k >= storyFirst && k <= storyLast && ListNumberOf(*Par(k)) == 0 &&
                 StyleOf(*Par(k)) == StyleOf(p);
        };
        int32_t source = -1;
        for (int32_t k = i - 1; k >= storyFirst && source < 0; --k)
          if (plain(k)) source = k;
        if (source >= 0 && source != i - 1 && plain(end + 1)) source = end + 1;
        for (int32_t k = end + 1; k <= storyLast && source < 0; ++k)
          if (plain(k)) source = k;
        if (source >= 0) {
          f.FirstIndent = Par(source)->Format.FirstIndent;
          f.LeftIndent = Par(source)->Format.LeftIndent;
        } else if (const TStyle* style = p.GetStyle()) {
          f.FirstIndent = style->ParFmt.FirstIndent;
          f.LeftIndent = style->ParFmt.LeftIndent;
        }
        if (KeepIndentsOnListRemoval) f.FirstIndent = f.LeftIndent = ParUnset16;
        EditServices().FormatParagraphRange(*this, WholeParagraphs(*this, i, end), f);
        i = end + 1;
      }
    }
  });
}

bool TDoc::IsListWithinSelection(const TAutoList* list, int32_t level) const {
  if (list == nullptr) return false;
  const auto runs = SelectedParagraphRuns(*this);
  bool any = false;
  for (int32_t p : ListParagraphs(*this, *list, ListScope::All)) {
    any = true;
    if (!list->SingleLevel && level != ParUnset32 && ListLevelOf(*Par(p)) != level) continue;
    bool inside = false;
    for (const auto& [first, last] : runs) inside = inside || (p >= first && p <= last);
    if (!inside) return false;
  }
  return any;
}

void TDoc::RemoveList(TAutoList* list) {
  if (list == nullptr) return;
  RunListsOperation(*this, [&] {
    ObjectEditServices().DetachListFromStyles(*this, *list);
    TFragmentRef saved = Selection ? CloneFragment(*Selection) : AcquireFragment();
    const TDocPosition caret = Caret;
    const auto main = ListParagraphs(*this, *list, ListScope::MainAndNotes);
    for (ListScope scope : {ListScope::HeadersFooters, ListScope::MainAndNotes}) {
      const auto pars = ListParagraphs(*this, *list, scope);
      if (pars.empty()) continue;
      SelectRuns(*this, Runs(pars));
      RemoveListFormat();
    }
    if (!Selection) Selection = AcquireFragment();
    Selection->Assign(*saved);
    Caret = caret;
    if (!main.empty()) Caret = {main.front(), 0};
    TPostActions& post = CurrentPostActions();
    if (!post.Selection) post.Selection = AcquireFragment();
    post.Selection->Assign(*Selection);
    post.Caret = Caret;
    post.HasCaret = true;
  });
}

void TDoc::ContinueInsertedLists() {
  std::vector<std::pair<TAutoList*, std::vector<std::pair<int32_t, int32_t>>>> joins;
  for (TAutoList* inserted : NewLists) {
    std::vector<int32_t> pars;
    for (int32_t p : ListParagraphs(*this, *inserted, ListScope::All)) {
      const bool inPlace = HeaderFooterInPlace != nullptr;
      if (inPlace ? StoryOfParagraph(p) == stHeadersFooters : StoryOfParagraph(p) == stMain)
        pars.push_back(p);
    }
    if (pars.empty()) continue;
    auto fragment = AcquireFragment();
    for (const auto& [first, last] : Runs(pars)) fragment->InsertRange(fragment->Count(), WholeParagraphs(*this, first, last));
    TAutoList* found = FindListToContinue(inserted, fragment.get());
    if (found == nullptr || std::find(NewLists.begin(), NewLists.end(), found) != NewLists.end()) continue;
    joins.emplace_back(found, Runs(pars));
  }
  if (!joins.empty()) {
    TFragmentRef saved = Selection ? CloneFragment(*Selection) : AcquireFragment();
    TPostActions& post = CurrentPostActions();
    TFragmentRef savedPost = post.Selection ? CloneFragment(*post.Selection) : TFragmentRef{};
    for (auto& [list, runs] : joins) {
      SelectRuns(*this, runs);
      ApplyList(list);
    }
    if (!Selection) Selection = AcquireFragment();
    Selection->Assign(*saved);
    TPostActions& after = CurrentPostActions();
    if (savedPost) {
      if (!after.Selection) after.Selection = AcquireFragment();
      after.Selection->Assign(*savedPost);
    } else {
      after.Selection = TFragmentRef{};
    }
  }
  NewLists.clear();
}

}  // namespace qv
