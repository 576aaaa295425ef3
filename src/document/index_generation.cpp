// Indexes: the document's index entries (XE fields) sorted level by level, grouped by text with
// their page numbers and cross-references, laid out indented or run-in, with letter headings,
// right-aligned page numbers and columns as the INDEX instruction asks, and inserted as one
// content fragment inside an INDEX field. Also the insertion of index entries at the selection
// and at every occurrence of given words.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/field.h"
#include "document/field_edit_services.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/field_text.h"
#include "document/number_formats.h"
#include "document/page_numbering.h"
#include "document/par.h"
#include "document/section.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "document/table_row.h"
#include "foundation/text/code_pages.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

constexpr uint8_t ftIndex = 8;
constexpr int32_t kEnglish = 9;
constexpr int32_t kFrench = 12;
constexpr uint32_t kDarkRed = 0xC0;

// Formatting markers inside the texts built here: this code followed by a digit (0 bold on,
// 1 bold back, 2 italic on, 3 italic back, 4 dark red, 5 colour back). A character of its own,
// so that no tab or digit of the text can be read as one.
constexpr char16_t kMarker = 0x0001;

std::u16string Marker(char16_t digit) { return std::u16string{kMarker, digit}; }
std::u16string Italic(const std::u16string& t) { return Marker(u'2') + t + Marker(u'3'); }
std::u16string Bold(const std::u16string& t) { return Marker(u'0') + t + Marker(u'1'); }
std::u16string BoldRed(const std::u16string& t) {
  return Marker(u'0') + Marker(u'4') + t + Marker(u'5') + Marker(u'1');
}

std::u16string Widen(const std::string& s) { return CodePageToWide(s, DefaultCodePage); }
std::u16string Decimal(int32_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

bool StartsWith(const std::u16string& s, const std::u16string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

// Runs of ":" become one; leading and trailing ":" go.
std::u16string NormalizeEntryText(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text)
    if (c != u':' || out.empty() || out.back() != u':') out.push_back(c);
  while (!out.empty() && out.front() == u':') out.erase(out.begin());
  while (!out.empty() && out.back() == u':') out.pop_back();
  return out;
}

std::vector<std::u16string> Levels(const std::u16string& text) {
  std::vector<std::u16string> levels(1);
  for (char16_t c : text) {
    if (c == u':')
      levels.emplace_back();
    else
      levels.back().push_back(c);
  }
  return levels;
}

struct TPageRecord {
  int32_t First = 0;
  int32_t Last = 0;
  TDocPosition At;
  bool Bold = false;
  bool Italic = false;
};

struct TEntry {
  std::u16string Text;
  TField* Field = nullptr;
};

struct TGroup {
  std::u16string Text;
  std::u16string Pages;
};

// One paragraph of the index: its style's built-in index (-1 Normal) and its text with markers.
struct TIndexParagraph {
  int32_t BuiltIn = -1;
  std::u16string Text;
};

int32_t PageOfPlace(const TDoc& doc, const TDocPosition& at) {
  return std::max(PageIndexOfChar(doc, at.Par, at.Offset), 0);
}

class TIndexBuilder {
 public:
  TIndexBuilder(TDoc& doc, const std::u16string& instruction)
      : doc_(doc), instruction_(instruction) {}

  void Run() {
    FindPlace();
    ParseIndexInstruction(instruction_, options_);
    language_ = options_.Language;
    primary_ = language_ & 0x3FF;
    CollectEntries();
    std::vector<TGroup> groups = GroupEntries();
    std::vector<TIndexParagraph> paragraphs;
    if (!groups.empty()) {
      EnsureStyles();
      if (options_.TabSeparator && !options_.RunIn) SetIndexTabStops(TabPosition());
      paragraphs = options_.RunIn ? RunInParagraphs(groups) : IndentedParagraphs(groups);
    } else {
      paragraphs.push_back({-1, BoldRed(u"No index entries found.")});
    }
    Insert(paragraphs);
  }

 private:
  // --- The place, and an old index there ---
  void FindPlace() {
    place_ = doc_.HasSelection() ? doc_.Selection->GetRange(0)->Start : doc_.Caret;
    place_.Par = std::clamp(place_.Par, 0, doc_.ParCount() - 1);
    place_.Offset = std::clamp(place_.Offset, 0, doc_.Par(place_.Par)->CharCount() - 1);
    TDocRange old;
    if (doc_.GetFieldAt(place_, &old, {}, ftIndex, fkField) != nullptr) {
      // The old index goes with its last paragraph mark.
      TDocRange text = old;
      const int32_t last = old.End.Par;
      if (last < doc_.LastParagraphOfStory(doc_.StoryOfParagraph(last)))
        MakePosition(last + 1, 0, text.End);
      ReplaceRangeWithText(doc_, text, u"");
      place_ = old.Start;
    }
    inTable_ = GetParFormatProp(doc_.Par(place_.Par)->Format, ppInTable) > 0;
  }

  // --- Entries, sorted and grouped ---
  void CollectEntries() {
    for (TField* f : doc_.GetIndexEntryFields()) {
      TXEOptions xe;
      ParseXEInstruction(f->Instruction, xe);
      std::u16string text = NormalizeEntryText(xe.EntryText);
      if (text.empty()) continue;
      if (!options_.RunIn) {
        const int32_t colons = static_cast<int32_t>(std::count(text.begin(), text.end(), u':'));
        deepest_ = std::max(deepest_, std::min(colons, 8));
      }
      entries_.push_back({std::move(text), f});
    }
    std::stable_sort(entries_.begin(), entries_.end(), [](const TEntry& a, const TEntry& b) {
      return CompareIndexEntryTexts(a.Text, b.Text) < 0;
    });
  }

  std::vector<TGroup> GroupEntries() {
    std::vector<TGroup> groups;
    for (size_t i = 0; i < entries_.size();) {
      size_t j = i;
      while (j < entries_.size() && entries_[j].Text == entries_[i].Text) ++j;
      groups.push_back({entries_[i].Text, PageText(i, j)});
      i = j;
    }
    return groups;
  }

  std::u16string PageText(size_t from, size_t to) {
    std::vector<TPageRecord> records;
    std::vector<std::u16string> references;
    auto addReference = [&references](const std::u16string& r) {
      if (std::find(references.begin(), references.end(), r) == references.end())
        references.push_back(r);
    };
    for (size_t k = from; k < to; ++k) {
      TField* f = entries_[k].Field;
      TXEOptions xe;
      ParseXEInstruction(f->Instruction, xe);
      const int32_t ownPage = PageOfPlace(doc_, f->Range.Start);
      if (!xe.CrossReference.empty()) {
        addReference(CrossReference(xe.CrossReference));
      } else if (!xe.Bookmark.empty()) {
        const int32_t i = doc_.FindBookmarkName(Widen(xe.Bookmark));
        if (i < 0) {
          std::u16string error = u"Error: invalid bookmark \"" + Widen(xe.Bookmark) +
                                 u"\" in entry on page " +
                                 Decimal(PageNumberOfPage(doc_, ownPage).Number) + u"!";
          addReference(BoldRed(error));
        } else {
          const TField* mark = doc_.FieldIndex().Bookmarks[static_cast<size_t>(i)].Field;
          records.push_back({PageOfPlace(doc_, mark->Range.Start), PageOfPlace(doc_, mark->Range.End),
                             f->Range.Start, xe.BoldPageNumber != 0, xe.ItalicPageNumber != 0});
        }
      } else {
        records.push_back({ownPage, ownPage, f->Range.Start, xe.BoldPageNumber != 0,
                           xe.ItalicPageNumber != 0});
      }
    }
    std::stable_sort(records.begin(), records.end(), [](const TPageRecord& a, const TPageRecord& b) {
      if (a.First != b.First) return a.First < b.First;
      if (a.Last != b.Last) return a.Last < b.Last;
      return ComparePositions(a.At, b.At) < 0;
    });
    std::u16string text;
    const TPageRecord* previous = nullptr;
    for (const TPageRecord& r : records) {
      if (previous != nullptr && previous->First == r.First && previous->Last == r.Last) continue;
      if (!text.empty()) text += u", ";
      text += FormatIndexPageNumber(r.First, r.Bold, r.Italic);
      if (r.Last != r.First) {
        text += u'-';
        text += FormatIndexPageNumber(r.Last, r.Bold, r.Italic);
      }
      previous = &r;
    }
    std::sort(references.begin(), references.end());
    for (const std::u16string& r : references) {
      if (!text.empty()) text += u". ";
      text += r;
    }
    return text;
  }

  // "See" (English) or "Voir" (French) at the start of a reference is written in italics.
  std::u16string CrossReference(const std::u16string& text) const {
    const std::u16string word = primary_ == kEnglish ? u"See" : primary_ == kFrench ? u"Voir" : u"";
    if (word.empty() || !StartsWith(text, word + u" ")) return text;
    return Italic(word) + text.substr(word.size());
  }

  std::u16string FormatIndexPageNumber(int32_t page, bool bold, bool italic) const {
    const TPageNumber n = PageNumberOfPage(doc_, page);
    std::u16string text = Widen(NumberToText(n.Number, n.PageStyle));
    if (italic) text = Italic(text);
    if (bold) text = Bold(text);
    return text;
  }

  // --- Styles and tab stops ---
  int32_t LevelCount() const { return std::min(deepest_ + 1, 9); }

  void EnsureStyles() {
    for (int32_t k = 0; k < LevelCount(); ++k) doc_.EnsureBuiltInStyle(bsIndex1 + k);
    if (options_.Heading) doc_.EnsureBuiltInStyle(bsIndexHeading);
  }

  int32_t TabPosition() const {
    if (inTable_) {
      int32_t left = 0, right = 0;
      doc_.GetCellHorzBounds(place_.Par, left, right);
      const TTableRow* row = doc_.GetRowProps(place_.Par);
      int32_t padLeft = 0, padRight = 0;
      if (row != nullptr) {
        const int32_t cell = std::clamp(doc_.GetCellIndex(place_.Par), 0, MaxTableCells - 1);
        const TTableCell& c = row->Cells[static_cast<size_t>(cell)];
        padLeft = c.PadLeft != TableValueUnset ? c.PadLeft : row->PadLeft;
        padRight = c.PadRight != TableValueUnset ? c.PadRight : row->PadRight;
      }
      return std::max(right - left - padLeft - padRight, MinTabPosition);
    }
    const TSection* s = doc_.SectionOfParagraph(place_.Par);
    if (s == nullptr) return 9360;
    const TPageParams& pp = s->PageParams;
    const int32_t columns = options_.Columns > 0 ? options_.Columns : s->Format.ColumnCount;
    if (columns > 1) {
      TSectionFormat format = s->Format;
      format.ColumnCount = columns;
      format.EqualWidth = 1;
      TColumnBounds first;
      ComputeColumnBounds(format, pp, 0, first);
      return first.Width;
    }
    return pp.PageWidth - pp.LeftMargin - pp.RightMargin;
  }

  // The Index n styles get one right-aligned stop at the position with the leader.
  void SetIndexTabStops(int32_t position) {
    const int32_t tabSet =
        GetTabManager().AddTable({PackTabStop(position, tkRight, options_.TabLeader)});
    auto w = std::make_unique<TStyleList>(&doc_);
    w->Assign(*doc_.Styles);
    bool changed = false;
    for (int32_t k = 0; k < LevelCount(); ++k) {
      TStyle* s = w->Get(w->IndexOfBuiltIn(bsIndex1 + k));
      if (s == nullptr || GetParFormatProp(s->ParFmt, ppTabSet) == tabSet) continue;
      SetParFormatProp(s->ParFmt, ppTabSet, tabSet);
      changed = true;
    }
    if (!changed) return;
    TScopedDocFlag still(doc_, 39);
    FieldEditServices().FormatDocumentStyles(doc_, std::move(w));
  }

  // --- Paragraphs ---
  void AddHeading(std::vector<TIndexParagraph>& out, const std::u16string& entry) {
    if (!options_.Heading || entry.empty()) return;
    const std::u16string upper = plat::ToUpperForLocale(entry.substr(0, 1), "");
    const std::u16string base = plat::StripDiacritics(upper);
    const char16_t letter = base.empty() ? upper[0] : base[0];
    if (letter == lastLetter_) return;
    lastLetter_ = letter;
    out.push_back({bsIndexHeading, std::u16string(1, letter)});
  }

  std::vector<TIndexParagraph> RunInParagraphs(const std::vector<TGroup>& groups) {
    std::vector<TIndexParagraph> out;
    const std::u16string colon = primary_ == kFrench ? u" : " : u": ";
    std::u16string main;
    bool hasSub = false;
    for (const TGroup& g : groups) {
      const size_t cut = g.Text.find(u':');
      const std::u16string head = g.Text.substr(0, cut);
      const std::u16string sub = cut == std::u16string::npos ? u"" : g.Text.substr(cut + 1);
      if (out.empty() || head != main) {
        AddHeading(out, head);
        out.push_back({bsIndex1, head});
        main = head;
        hasSub = false;
      }
      std::u16string& text = out.back().Text;
      if (!sub.empty()) {
        text += hasSub ? u"; " : colon;
        hasSub = true;
        std::u16string shown = sub;
        std::replace(shown.begin(), shown.end(), u':', u' ');
        text += shown;
      }
      if (!g.Pages.empty()) text += u", " + g.Pages;
    }
    return out;
  }

  std::vector<TIndexParagraph> IndentedParagraphs(const std::vector<TGroup>& groups) {
    std::vector<TIndexParagraph> out;
    std::vector<std::u16string> previous;
    for (const TGroup& g : groups) {
      const std::vector<std::u16string> levels = Levels(g.Text);
      AddHeading(out, levels.front());
      size_t shared = 0;
      while (shared + 1 < levels.size() && shared < previous.size() &&
             levels[shared] == previous[shared])
        ++shared;
      for (size_t k = shared; k + 1 < levels.size(); ++k)
        out.push_back({bsIndex1 + std::min<int32_t>(static_cast<int32_t>(k), 8), levels[k]});
      const size_t last = levels.size() - 1;
      std::u16string text = levels[last];
      if (!g.Pages.empty()) text += (options_.TabSeparator ? u"\t" : u", ") + g.Pages;
      out.push_back({bsIndex1 + std::min<int32_t>(static_cast<int32_t>(last), 8), text});
      previous = levels;
    }
    return out;
  }

  // --- The content ---
  // The paragraph's text in its style's character format (in the index's language), markers
  // turned into format tags.
  void AppendParagraph(TMemory& out, const TIndexParagraph& p, uint8_t endKind, int32_t endValue,
                       const TParFormat& parFormat, const TCharFormat& charFormat) {
    TCharFormat have = DefaultCharFormat;
    AppendFormatDifference(out, have, charFormat);
    have = charFormat;
    std::u16string run;
    auto flush = [&] {
      AppendTextContent(out, run);
      run.clear();
    };
    for (size_t i = 0; i < p.Text.size(); ++i) {
      if (p.Text[i] != kMarker || i + 1 >= p.Text.size()) {
        run.push_back(p.Text[i]);
        continue;
      }
      flush();
      TCharFormat want = have;
      switch (p.Text[++i]) {
        case u'0': want.Bold = 1; break;
        case u'1': want.Bold = charFormat.Bold; break;
        case u'2': want.Italic = 1; break;
        case u'3': want.Italic = charFormat.Italic; break;
        case u'4': want.Color = static_cast<int32_t>(kDarkRed); break;
        default: want.Color = charFormat.Color; break;
      }
      AppendFormatDifference(out, have, want);
      have = want;
    }
    flush();
    AppendContentTag(out, endKind, endValue);
    AppendParFormatBlock(out, parFormat);
  }

  void StyleFormats(int32_t builtIn, TParFormat& pf, TCharFormat& cf) const {
    const int32_t index = builtIn < 0 ? 0 : doc_.Styles->IndexOfBuiltIn(builtIn);
    const TStyle* style = doc_.Styles->Get(index < 0 ? 0 : index);
    pf = DefaultParFormat;
    cf = DefaultCharFormat;
    if (style != nullptr) {
      GetStyleFormat(*style, &cf, &pf, 0);
      SetParFormatProp(pf, ppStyle, index < 0 ? 0 : index);
    }
    if (inTable_) SetParFormatProp(pf, ppInTable, 1);
    cf.Language = language_;
  }

  // A section that ends at a break of the index: a copy of the place's section.
  TSection* NewSection(int32_t breakKind, int32_t columns) {
    auto section = std::make_unique<TSection>(&doc_);
    section->AssignFormat(*doc_.SectionOfParagraph(place_.Par));
    if (breakKind >= 0) section->Format.BreakKind = breakKind;
    if (columns > 0) {
      section->Format.ColumnCount = columns;
      section->Format.EqualWidth = 1;
    }
    TSection* s = section.get();
    doc_.Sections.push_back(std::move(section));
    doc_.SectionRangesStale = true;
    return s;
  }

  void Insert(const std::vector<TIndexParagraph>& paragraphs) {
    const bool columns = options_.Columns > 0 && !inTable_;
    TMemory content;
    TParFormat pf;
    TCharFormat cf;
    int32_t count = 0;
    if (columns) {
      StyleFormats(-1, pf, cf);
      AppendParagraph(content, {-1, u""}, ctSectionBreak, TagRefOf(NewSection(sbContinuous, 0)),
                      pf, cf);
      ++count;
    }
    const int32_t first = place_.Par + count;
    for (const TIndexParagraph& p : paragraphs) {
      StyleFormats(p.BuiltIn, pf, cf);
      AppendParagraph(content, p, ctSpecialChar, scParagraphEnd, pf, cf);
      ++count;
    }
    const int32_t last = place_.Par + count - 1;
    if (columns) {
      StyleFormats(-1, pf, cf);
      AppendParagraph(content, {-1, u""}, ctSectionBreak,
                      TagRefOf(NewSection(-1, options_.Columns)), pf, cf);
      ++count;
    }
    EditServices().InsertContent(doc_, content, place_, doc_.StoryOfParagraph(place_.Par), count);
    // The INDEX field holds the index paragraphs (and the column breaks around them).
    TDocRange range;
    const int32_t end = columns ? last + 1 : last;
    MakeRange(columns ? place_.Par : first, 0, end, doc_.Par(end)->CharCount() - 1, range);
    if (place_.Offset > 0 && !columns) range.Start = place_;
    auto index = std::make_unique<TField>();
    index->FieldType = ftIndex;
    index->Instruction = instruction_;
    doc_.InsertFieldMarks(std::move(index), range);
    TPostActions& post = EditServices().CurrentPostActions(doc_);
    doc_.Caret = range.Start;
    post.Caret = range.Start;
    post.HasCaret = true;
  }

  TDoc& doc_;
  std::u16string instruction_;
  TGenerateIndex_Options options_;
  TDocPosition place_;
  bool inTable_ = false;
  int32_t language_ = 0;
  int32_t primary_ = 0;
  int32_t deepest_ = 0;
  char16_t lastLetter_ = 0;
  std::vector<TEntry> entries_;
};

// Whether the word stands whole at the offset of the text.
bool WholeWordAt(const std::u16string& text, size_t at, const std::u16string& word) {
  auto alnum = [](char16_t c) { return plat::IsCharAlphaNumeric(c); };
  if (alnum(word.front()) && at > 0 && alnum(text[at - 1])) return false;
  const size_t after = at + word.size();
  if (alnum(word.back()) && after < text.size() && alnum(text[after])) return false;
  return true;
}

}  // namespace

void TDoc::GenerateIndex(const std::u16string& instruction) {
  TIndexBuilder(*this, instruction).Run();
}

void TDoc::InsertIndexEntry(const std::u16string& instruction) {
  std::vector<TDocPosition> places;
  if (HasSelection()) {
    for (int32_t i = 0; i < Selection->Count(); ++i) places.push_back(Selection->GetRange(i)->Start);
  } else {
    places.push_back(Caret);
  }
  for (auto it = places.rbegin(); it != places.rend(); ++it) {
    auto field = std::make_unique<TField>();
    field->FieldType = ftIndexEntry;
    field->Instruction = instruction;
    InsertFieldMarks(std::move(field), {*it, *it});
  }
}

void TDoc::MarkAllIndexEntries(const std::vector<std::u16string>& words,
                               const std::vector<std::u16string>& instructions) {
  const int32_t last = LastParagraphOfStory(stEndnotes);
  for (size_t w = 0; w < words.size() && w < instructions.size(); ++w) {
    const std::u16string& word = words[w];
    if (word.empty()) continue;
    for (int32_t p = 0; p <= last && p < ParCount(); ++p) {
      TPar& par = *Par(p);
      BuildParagraphWideText(par);
      const std::u16string text = par.WideText;
      size_t at = text.find(word);
      while (at != std::u16string::npos && !WholeWordAt(text, at, word)) at = text.find(word, at + 1);
      if (at == std::u16string::npos) continue;
      TDocPosition place;
      MakePosition(p, static_cast<int32_t>(at), place);
      TField* same = nullptr;
      {
        TScopedDocFlag inclusive(*this, dfFieldEndInclusive);
        same = GetFieldAt(place, nullptr, {}, ftIndexEntry, fkField);
      }
      if (same != nullptr && same->Instruction == instructions[w]) continue;
      if (GetFieldAt(place, nullptr, {}, ftIndex, fkField) != nullptr ||
          GetFieldAt(place, nullptr, {}, ftToc, fkField) != nullptr)
        continue;
      auto field = std::make_unique<TField>();
      field->FieldType = ftIndexEntry;
      field->Instruction = instructions[w];
      InsertFieldMarks(std::move(field), {place, place});
    }
  }
}

}  // namespace qv
