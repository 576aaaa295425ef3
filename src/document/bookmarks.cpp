// Bookmarks and the history of followed hyperlinks. A bookmark is a field of kind 1 whose
// instruction holds its name; names are unique without regard to case and are looked up in the
// field index's sorted name list.
#include <algorithm>
#include <string>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/par.h"
#include "document/words.h"

namespace qv {

namespace {

constexpr size_t kMaxNameLength = 40;

std::u16string Numbered(const std::u16string& base, int32_t n) {
  const std::string digits = std::to_string(n);
  return base + u"_" + std::u16string(digits.begin(), digits.end());
}

// The range's text as a name: Latin-1 only, separators and quotation marks as "_", no leading
// digit and no trailing "_".
std::u16string NameFromText(const std::u16string& text) {
  std::u16string name;
  for (char16_t c : text) {
    if (c > 0xFF) continue;
    if (name.size() == kMaxNameLength) break;
    const auto b = static_cast<uint8_t>(c);
    name.push_back(WordDelimiters[b] || QuoteChars[b] ? u'_' : c);
  }
  if (!name.empty() && name[0] >= u'0' && name[0] <= u'9') name.insert(name.begin(), u'_');
  while (!name.empty() && name.back() == u'_') name.pop_back();
  return name;
}

// A name of the instructions' byte form (Latin-1) as text.
std::u16string Latin1(const std::string& bytes) {
  std::u16string out;
  for (char c : bytes) out.push_back(static_cast<uint8_t>(c));
  return out;
}

// Instruction text in the instructions' byte form (Latin-1).
std::string Latin1Bytes(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

bool StillInDocument(const TDoc& doc, const TField* field) {
  return std::any_of(doc.Fields.begin(), doc.Fields.end(),
                     [field](const auto& f) { return f.get() == field; });
}

}  // namespace

bool TDoc::HasBookmark(const std::u16string& name) {
  RebuildFieldIndex();
  const auto& sorted = FieldIndex().SortedBookmarks;
  auto it = std::lower_bound(sorted.begin(), sorted.end(), name,
                             [](const TBookmarkName& entry, const std::u16string& n) {
                               return CompareBookmarkNames(entry.Name, n) < 0;
                             });
  return it != sorted.end() && CompareBookmarkNames(it->Name, name) == 0;
}

std::u16string TDoc::MakeBookmarkName(const TDocRange& range) {
  TDocRange r = range;
  if (IsRangeEmpty(r)) r.End = SentenceAt(r.Start).End;
  if (r.End.Par != r.Start.Par) MakePosition(r.Start.Par, Par(r.Start.Par)->CharCount(), r.End);
  std::u16string text = GetRangeWideText(r, 0);
  if (text.size() > kMaxNameLength) text.resize(kMaxNameLength);
  if (text.empty() && r.Start.Par >= 0 && r.Start.Par < ParCount())
    text = Par(r.Start.Par)->GetNumberText();
  const std::u16string name = NameFromText(text);
  if (name.empty()) {
    int32_t n = 1;
    while (HasBookmark(Numbered(u"Bookmark", n))) ++n;
    return Numbered(u"Bookmark", n);
  }
  if (!HasBookmark(name)) return name;
  int32_t n = 1;
  while (HasBookmark(Numbered(name, n))) ++n;
  return Numbered(name, n);
}

TField* TDoc::InsertBookmark(const std::u16string& name) {
  std::vector<TDocRange> ranges;
  if (HasSelection()) {
    for (int32_t i = 0; i < Selection->Count(); ++i) ranges.push_back(*Selection->GetRange(i));
  } else {
    ranges.push_back({Caret, Caret});
  }
  TField* last = nullptr;
  int32_t suffix = 2;
  for (size_t i = 0; i < ranges.size(); ++i) {
    std::u16string n = name;
    if (i > 0) {
      while (HasBookmark(Numbered(name, suffix))) ++suffix;
      n = Numbered(name, suffix);
    }
    auto field = std::make_unique<TField>();
    field->Kind = fkBookmark;
    field->Instruction = n;
    if (TField* f = InsertFieldMarks(std::move(field), ranges[i])) last = f;
  }
  return last;
}

bool TDoc::GoToBookmark(const std::u16string& name, bool select, TField* followedLink) {
  const int32_t i = FindBookmarkName(name);
  if (i < 0) return false;
  TField* bookmark = FieldIndex().Bookmarks[static_cast<size_t>(i)].Field;
  // A jump leaves the header or footer being edited in place.
  if (HeaderFooterInPlace != nullptr) ToggleHeaderFooterEditing(nullptr, 0, nullptr);
  TDocRange range;
  if (!GetFieldRange(bookmark, range)) return false;
  if (select)
    SetSelection(range.Start.Par, range.Start.Offset, range.End.Par, range.End.Offset);
  Caret = range.Start;
  if (followedLink != nullptr) PushHyperlinkHistory(followedLink);
  LastVisitedBookmark = bookmark;
  return true;
}

void TDoc::GoToPreviousBookmark() {
  RebuildFieldIndex();
  const auto& names = FieldIndex().Bookmarks;
  if (names.empty()) return;
  const TDocPosition ref =
      HasSelection() ? Selection->GetRange(0)->Start : Caret;
  const TBookmarkName* target = &names.back();
  for (auto it = names.rbegin(); it != names.rend(); ++it)
    if (ComparePositions(it->Field->Range.End, ref) < 0) {
      target = &*it;
      break;
    }
  GoToBookmark(target->Name, false, nullptr);
}

void TDoc::GoToNextBookmark() {
  RebuildFieldIndex();
  const auto& names = FieldIndex().Bookmarks;
  if (names.empty()) return;
  const TDocPosition ref =
      HasSelection() ? Selection->GetRange(0)->End : Caret;
  const TBookmarkName* target = &names.front();
  for (const TBookmarkName& entry : names)
    if (ComparePositions(entry.Field->Range.Start, ref) > 0) {
      target = &entry;
      break;
    }
  GoToBookmark(target->Name, false, nullptr);
}

void TDoc::PushHyperlinkHistory(TField* field) {
  if (WalkingHyperlinkHistory || field == nullptr) return;
  auto& history = HyperlinkHistory;
  if (HyperlinkHistoryIndex >= 0 && history[static_cast<size_t>(HyperlinkHistoryIndex)] == field)
    return;
  history.resize(static_cast<size_t>(HyperlinkHistoryIndex + 1));
  history.push_back(field);
  HyperlinkHistoryIndex = static_cast<int32_t>(history.size()) - 1;
}

void TDoc::HyperlinkHistoryBack() {
  if (HeaderFooterInPlace != nullptr) ToggleHeaderFooterEditing(nullptr, 0, nullptr);
  while (HyperlinkHistoryIndex >= 0 &&
         !StillInDocument(*this, HyperlinkHistory[static_cast<size_t>(HyperlinkHistoryIndex)]))
    --HyperlinkHistoryIndex;
  if (HyperlinkHistoryIndex < 0) return;
  TField* f = HyperlinkHistory[static_cast<size_t>(HyperlinkHistoryIndex)];
  TDocRange range;
  if (GetFieldRange(f, range) && StoryOfParagraph(range.Start.Par) != stHeadersFooters)
    Caret = range.Start;
  --HyperlinkHistoryIndex;
}

void TDoc::HyperlinkHistoryForward() {
  const auto count = static_cast<int32_t>(HyperlinkHistory.size());
  int32_t next = HyperlinkHistoryIndex + 1;
  while (next < count && !StillInDocument(*this, HyperlinkHistory[static_cast<size_t>(next)]))
    ++next;
  if (next >= count) return;
  TField* f = HyperlinkHistory[static_cast<size_t>(next)];
  WalkingHyperlinkHistory = true;
  std::string target, bookmark;
  if (f->FieldType == ftHyperlink) {
    ParseHyperlinkInstruction(f->Instruction, target, bookmark, nullptr);
  } else if (f->FieldType == ftPageRef && f->HasLinkSwitch()) {
    ParsePageRefInstruction(f->Instruction, nullptr, nullptr, bookmark);
  } else if (f->FieldType == ftNoteRef && f->HasLinkSwitch()) {
    ParseNoteRefInstruction(std::string(Latin1Bytes(f->Instruction)), nullptr, nullptr, bookmark);
  }
  if (TField* reference = f->FieldType == ftNoteRef ? f->FindReferencedNote(this) : nullptr) {
    // The start of the note's text that the reference stands for.
    TField* note = reference->LinkedField != nullptr ? reference->LinkedField : reference;
    TDocRange range;
    if (GetFieldRange(note, range)) Caret = range.Start;
  } else if (f->FieldType == ftHyperlink) {
    FollowHyperlink(f);
  } else if (!bookmark.empty()) {
    GoToBookmark(Latin1(bookmark), false, nullptr);
  }
  WalkingHyperlinkHistory = false;
  HyperlinkHistoryIndex = next;
}

std::vector<TField*> TDoc::FindHyperlinksToMissingBookmarks() {
  RebuildFieldIndex();
  std::vector<TField*> links;
  const std::vector<TField*> fields = FieldIndex().Fields;
  for (TField* f : fields) {
    if (f->Kind != fkField || f->FieldType != ftHyperlink) continue;
    if (StoryOfParagraph(f->Range.Start.Par) == stHeadersFooters) continue;
    std::string target, bookmark;
    ParseHyperlinkInstruction(f->Instruction, target, bookmark, nullptr);
    if (!target.empty() || bookmark.empty()) continue;
    if (!HasBookmark(Latin1(bookmark))) links.push_back(f);
  }
  return links;
}

}  // namespace qv
