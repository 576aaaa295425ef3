#include "document/field_evaluation.h"

#include <chrono>
#include <ctime>
#include <string>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/field_index.h"
#include "document/field_instructions.h"
#include "document/layout_services.h"
#include "document/line.h"
#include "document/number_formats.h"
#include "document/page_numbering.h"
#include "document/par.h"
#include "document/section.h"
#include "document/selection_flags.h"
#include "document/styles.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

constexpr uint8_t kEvaluated[] = {10, 15, 16, 17, 18, 19, 20, 21, 22, 23, 26,
                                  27, 28, 29, 31, 32, 33, 37, 65, 66, 69, 72};
constexpr uint8_t kPageDependent[] = {10, 26, 33, 37, 66, 72};

std::u16string Widen(const std::string& bytes) { return CodePageToWide(bytes, DefaultCodePage); }

std::u16string Decimal(int64_t n) {
  const std::string s = std::to_string(n);
  return std::u16string(s.begin(), s.end());
}

bool IsAsciiAlnum(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool InHeaderFooterStory(const TDoc& doc, int32_t par) {
  return doc.StoryOfParagraph(par) == stHeadersFooters;
}

// The character format at the first character inside the field (no field-edge rules).
TCharFormat FormatInside(const TDoc& doc, const TDocRange& range) {
  TCharFormat f = DefaultCharFormat;
  if (range.Start.Par >= 0 && range.Start.Par < doc.ParCount())
    doc.Par(range.Start.Par)->GetCharFormatAt(range.Start.Offset, f);
  return f;
}

std::u16string ReplaceName(const char16_t* message, const std::u16string& name) {
  std::u16string s = message;
  const size_t at = s.find(u"%s");
  if (at != std::u16string::npos) s.replace(at, 2, name);
  return s;
}

// --- Page numbers ---

// The page that shows the character; the last laid-out page when it is not laid out yet.
int32_t PageOfPlace(TDoc& doc, const TDocPosition& at) {
  const int32_t page = PageIndexOfChar(doc, at.Par, at.Offset);
  if (page >= 0) return page;
  return std::max(doc.PageCount() - 1, 0);
}

std::u16string PageResult(TDoc& doc, TField& field, const TFieldUpdateContext& context) {
  int32_t number = 0;
  uint8_t style = 0;
  if (context.ForPage) {
    number = context.PageNumber;
    style = context.CurrentSection != nullptr ? context.CurrentSection->PageNumberFormat : 0;
  } else {
    const TPageNumber n = PageNumberOfPage(doc, PageOfPlace(doc, field.Range.End));
    number = n.Number;
    style = n.PageStyle;
  }
  const uint8_t chosen =
      NumberStyleOfSwitch(WideToCodePage(field.Instruction, DefaultCodePage), style);
  return field.ApplyCaseSwitch(Widen(NumberToText(number, chosen)));
}

// The position of a placed line on its page: its box's offset and its top, twips.
int32_t LineTop(const TLine& line) { return line.Top; }

std::u16string PageRefResult(TDoc& doc, TField& field, bool inHeaderFooter) {
  bool relative = false;
  std::string bookmark;
  ParsePageRefInstruction(field.Instruction, nullptr, &relative, bookmark);
  const int32_t i = doc.FindBookmarkName(Widen(bookmark));
  if (i < 0) return u"?";
  const TField* mark = doc.FieldIndex().Bookmarks[static_cast<size_t>(i)].Field;
  const TDocPosition at = mark->Range.Start;
  const int32_t page = PageIndexOfChar(doc, at.Par, at.Offset);
  if (page < 0) {
    doc.Layout.PageFieldsPending = true;
    return u"?";
  }
  const TPageNumber n = PageNumberOfPage(doc, page);
  const uint8_t style =
      NumberStyleOfSwitch(WideToCodePage(field.Instruction, DefaultCodePage), n.StartStyle);
  const std::u16string number = Widen(NumberToText(n.Number, style));
  if (relative && !inHeaderFooter) {
    const int32_t own = PageIndexOfChar(doc, field.Range.Start.Par, field.Range.Start.Offset);
    if (own == page) {
      // Above when the bookmark's line is higher on the page, or on the same line and before.
      const TPar& mp = *doc.Par(at.Par);
      const TPar& fp = *doc.Par(field.Range.Start.Par);
      const TLine* ml = mp.Lines[static_cast<size_t>(mp.LineIndexOfChar(at.Offset, 0, false))];
      const TLine* fl =
          fp.Lines[static_cast<size_t>(fp.LineIndexOfChar(field.Range.Start.Offset, 0, false))];
      bool above = false;
      if (ml == fl) {
        above = ComparePositions(at, field.Range.Start) < 0;
      } else if (ml->Box == fl->Box) {
        above = LineTop(*ml) < LineTop(*fl);
      } else {
        above = ComparePositions(at, field.Range.Start) < 0;
      }
      return field.ApplyCaseSwitch(above ? u"above" : u"below");
    }
    if (own >= 0) return field.ApplyCaseSwitch(u"on page " + number);
  }
  return field.ApplyCaseSwitch(number);
}

// --- Note references ---

std::u16string NoteRefResult(TDoc& doc, TField& field, TCharFormat& format) {
  TField* reference = field.FindReferencedNote(&doc);
  if (reference == nullptr) return u"Note reference not found!";
  TDocRange range;
  if (!doc.GetFieldRange(reference, range)) return u"Note reference not found!";
  bool markFormat = false;
  std::string bookmark;
  ParseNoteRefInstruction(WideToCodePage(field.Instruction, DefaultCodePage), nullptr,
                          &markFormat, bookmark);
  if (markFormat) {
    TScopedDocFlag plain(doc, dfNoFieldEdgeRules);
    doc.Par(range.Start.Par)->GetCharFormatAt(range.Start.Offset, format);
  }
  if ((reference->Flags & 1) != 0) return Widen(reference->Text);
  return doc.GetRangeWideText(range, 0);
}

// --- Style references ---

struct TStyleRefQuery {
  int32_t Style = -1;
  bool NumberOnly = false;
  bool FromBottom = false;
};

bool Qualifies(const TDoc& doc, int32_t par, const TStyleRefQuery& q) {
  const TPar& p = *doc.Par(par);
  if (GetParFormatProp(p.Format, ppStyle) != q.Style) return false;
  return q.NumberOnly ? p.HasNumberedLevel() : p.CharCount() > 1;
}

// The first qualifying paragraph of first..last walked downwards (or upwards); -1 for none.
int32_t FindQualifying(const TDoc& doc, int32_t first, int32_t last, bool upwards,
                       const TStyleRefQuery& q) {
  const int32_t end = doc.LastParagraphOfStory(stMain);
  first = std::max(first, 0);
  last = std::min(last, end);
  if (upwards) {
    for (int32_t p = last; p >= first; --p)
      if (Qualifies(doc, p, q)) return p;
  } else {
    for (int32_t p = first; p <= last; ++p)
      if (Qualifies(doc, p, q)) return p;
  }
  return -1;
}

// The main-text paragraphs that a page shows: its first one up to the next page's first.
bool PageParagraphs(TDoc& doc, int32_t page, int32_t& first, int32_t& last) {
  first = DocLayoutServices().FirstParagraphOfPage(doc, page);
  if (first < 0) return false;
  last = doc.LastParagraphOfStory(stMain);
  for (int32_t next = page + 1; next < doc.PageCount(); ++next) {
    const int32_t f = DocLayoutServices().FirstParagraphOfPage(doc, next);
    if (f < 0) continue;
    last = std::max(first, f);
    // A paragraph that starts the next page is not on this one unless it began here.
    if (f > first && PageIndexOfChar(doc, f, 0) == next) last = f - 1;
    break;
  }
  return true;
}

int32_t FindStyleRefParagraph(TDoc& doc, const TField& field, const TFieldUpdateContext& context,
                              const TStyleRefQuery& q) {
  const int32_t end = doc.LastParagraphOfStory(stMain);
  if (context.ForPage) {
    for (int32_t page = std::min(context.PageIndex, doc.PageCount() - 1); page >= 0; --page) {
      int32_t first = 0, last = 0;
      if (!PageParagraphs(doc, page, first, last)) continue;
      int32_t found = FindQualifying(doc, first, last, q.FromBottom, q);
      if (found < 0) found = FindQualifying(doc, 0, first - 1, true, q);
      if (found < 0) found = FindQualifying(doc, last + 1, end, false, q);
      return found;
    }
    return FindQualifying(doc, 0, end, false, q);
  }
  const int32_t at = field.Range.Start.Par;
  if (doc.StoryOfParagraph(at) != stMain) return FindQualifying(doc, 0, end, false, q);
  int32_t found = FindQualifying(doc, 0, at, true, q);
  if (found < 0) found = FindQualifying(doc, at + 1, end, false, q);
  return found;
}

// The list number of the paragraph without what follows it and without trailing full stops.
std::u16string NumberOnlyText(const TDoc& doc, const TPar& p) {
  std::u16string text = p.GetNumberText();
  const TAutoList* list = doc.ListByNumber(GetParFormatProp(p.Format, ppList));
  int32_t level = GetParFormatProp(p.Format, ppListLevel);
  if (list != nullptr && (list->SingleLevel || level < 0 || level >= ListLevelCount)) level = 0;
  const bool follows =
      list != nullptr && list->ListLevels[static_cast<size_t>(level)].Follow != 2;
  if (follows && !text.empty() && text.back() == u' ') text.pop_back();
  while (!text.empty() && (text.back() < 32 || text.back() == u'.')) text.pop_back();
  return text;
}

bool StyleRefResult(TDoc& doc, TField& field, const TFieldUpdateContext& context,
                    std::u16string& text, TCharFormat& format) {
  TStyleRefQuery q;
  std::string name;
  q.FromBottom = ParseStyleRefInstruction(*doc.Styles, field.Instruction, q.Style, q.NumberOnly,
                                          name);
  if (q.Style < 0) return false;
  const int32_t par = FindStyleRefParagraph(doc, field, context, q);
  if (par < 0) {
    text = ReplaceName(u"No paragraph with style \"%s\" could be found!", Widen(name));
    return true;
  }
  const TPar& p = *doc.Par(par);
  if (q.NumberOnly) {
    text = p.HasNumberedLevel() ? NumberOnlyText(doc, p) : std::u16string();
    if (text.empty())
      text = ReplaceName(u"The closest paragraph with style \"%s\" doesn't include numbering!",
                         Widen(name));
  } else {
    TDocRange range;
    MakeRange(par, 0, par, p.CharCount() - 1, range);
    text = doc.GetRangeWideText(range, 0);
  }
  format.Language = doc.GetLanguageAt(par, 0);
  return true;
}

// --- Counts ---

void EnsureStatistics(TDoc& doc, TFieldUpdateContext& context) {
  if (context.HaveStatistics) return;
  TDocRange all;
  doc.GetTextAndNotesRange(all);
  TScopedDocFlag quick(doc, dfStatisticsQuickCount);
  ComputeRangeStatistics(doc, {all}, false, context.Statistics);
  context.HaveStatistics = true;
}

int32_t SectionPages(TDoc& doc, TSection* section, bool stored) {
  if (section == nullptr) return 0;
  if (stored) {
    const auto it = doc.FieldUpdate.StoredSectionPages.find(section);
    if (it != doc.FieldUpdate.StoredSectionPages.end()) return it->second;
  }
  doc.UpdateSectionPages(section);
  if (section->FirstPage > section->LastPage) return 0;
  return section->LastPage - section->FirstPage + 1;
}

std::u16string NumberResult(const TField& field, int64_t number) {
  const uint8_t style = NumberStyleOfSwitch(WideToCodePage(field.Instruction, DefaultCodePage), 255);
  if (number > INT32_MAX) return field.ApplyCaseSwitch(Decimal(number));
  return field.ApplyCaseSwitch(Widen(NumberToText(static_cast<int32_t>(number), style)));
}

std::u16string FileNameResult(const TDoc& doc, const TField& field) {
  std::string name = doc.FileName;
  if (!HasFieldSwitch(field.Instruction, u"\\p")) {
    const size_t slash = name.find_last_of("/\\");
    if (slash != std::string::npos) name = name.substr(slash + 1);
  }
  return field.ApplyCaseSwitch(Widen(name));
}

std::u16string DateResult(TDoc& doc, const TField& field, double date) {
  int32_t language = 0;
  {
    TScopedDocFlag plain(doc, dfNoFieldEdgeRules);
    language = FormatInside(doc, field.Range).Language;
  }
  return field.FormatDateResult(language, date);
}

}  // namespace

TFieldTypeSet EvaluatedFieldTypes() {
  TFieldTypeSet set;
  for (uint8_t t : kEvaluated) set.set(t);
  return set;
}

TFieldTypeSet PageDependentFieldTypes() {
  TFieldTypeSet set;
  for (uint8_t t : kPageDependent) set.set(t);
  return set;
}

TFieldTypeSet WordCountFieldTypes() {
  TFieldTypeSet set;
  set.set(ftNumWords);
  set.set(ftNumChars);
  return set;
}

TFieldTypeSet HeaderFooterRepaginationTypes() {
  TFieldTypeSet set = EvaluatedFieldTypes();
  set.reset(ftPageField);
  set.reset(ftSection);
  return set;
}

double LocalNow() {
  using namespace std::chrono;
  const std::time_t t = system_clock::to_time_t(system_clock::now());
  std::tm local{};
  localtime_r(&t, &local);
  const double utcDays = static_cast<double>(t) / 86400.0 + 25569.0;
  const double offset = static_cast<double>(local.tm_gmtoff) / 86400.0;
  return utcDays + offset;
}

std::u16string FinishFieldResult(std::u16string text) {
  const size_t cr = text.find(u'\r');
  if (cr != std::u16string::npos) text.resize(cr);
  if (text.size() > MaxFieldResultLength) text.resize(MaxFieldResultLength);
  if (text.empty()) text = u"(None)";
  return text;
}

bool EvaluateField(TDoc& doc, TField& field, TFieldUpdateContext& context,
                   TField_UpdatedValue_Info& out) {
  out = TField_UpdatedValue_Info{};
  out.Field = &field;
  out.Range = field.Range;
  out.Format = UnsetCharFormat;
  if (doc.IsDocFlagSet(dfStoredFieldResults)) {
    TDocRange first = field.Range;
    if (first.End.Par != first.Start.Par)
      MakePosition(first.Start.Par, doc.Par(first.Start.Par)->CharCount() - 1, first.End);
    // A stored result is shown as it is, an empty one too (a field inserted empty whose page
    // gave it a number only afterwards).
    const std::u16string text = doc.GetRangeWideText(first, 0);
    out.Text = text.empty() ? text : FinishFieldResult(text);
    return true;
  }
  const bool headerFooter = InHeaderFooterStory(doc, field.Range.Start.Par);
  const bool stored = doc.IsDocFlagSet(dfStoredFieldCounts) || headerFooter;
  const TDocProps& props = doc.Props;
  std::u16string text;
  switch (field.FieldType) {
    case ftStyleRef:
      if (!StyleRefResult(doc, field, context, text, out.Format)) return false;
      text = field.ApplyCaseSwitch(text);
      break;
    case ftTitle: text = field.ApplyCaseSwitch(props.Title); break;
    case ftSubject: text = field.ApplyCaseSwitch(props.Subject); break;
    case ftKeywords: text = field.ApplyCaseSwitch(props.Keywords); break;
    case ftComments: text = field.ApplyCaseSwitch(props.Comments); break;
    case ftAuthor: text = field.ApplyCaseSwitch(props.Author); break;
    case ftLastSavedBy:
      text = field.ApplyCaseSwitch(props.AutoProps.LastSavedBy.empty() ? props.Author
                                                                      : props.AutoProps.LastSavedBy);
      break;
    case ftCreateDate: text = DateResult(doc, field, props.AutoProps.Created); break;
    case ftSaveDate: text = DateResult(doc, field, props.AutoProps.Modified); break;
    case ftPrintDate: text = DateResult(doc, field, props.AutoProps.Printed); break;
    case ftDate:
    case ftTime: text = DateResult(doc, field, context.Now); break;
    case ftNumPages: {
      // Before any count was stored, the laid-out pages are the best answer there is.
      const bool useStored = stored && doc.FieldUpdate.HasStoredCounts;
      text = NumberResult(field, useStored ? doc.FieldUpdate.StoredPageCount : doc.PageCount());
      break;
    }
    case ftNumWords:
    case ftNumChars: {
      int32_t n = 0;
      if (headerFooter && doc.FieldUpdate.HasStoredCounts) {
        n = field.FieldType == ftNumWords ? doc.FieldUpdate.StoredWordCount
                                          : doc.FieldUpdate.StoredCharCount;
      } else {
        EnsureStatistics(doc, context);
        n = field.FieldType == ftNumWords ? context.Statistics.Words
                                          : context.Statistics.CharsNoSpaces;
      }
      text = NumberResult(field, n);
      break;
    }
    case ftFileName: text = FileNameResult(doc, field); break;
    case ftPageField: text = PageResult(doc, field, context); break;
    case ftPageRef: text = PageRefResult(doc, field, headerFooter); break;
    case ftSection: {
      int32_t index = 0;
      for (size_t i = 0; i < doc.Sections.size(); ++i)
        if (doc.Sections[i].get() == context.CurrentSection) index = static_cast<int32_t>(i);
      text = NumberResult(field, index + 1);
      break;
    }
    case ftSectionPages:
      text = NumberResult(field, SectionPages(doc, context.CurrentSection,
                                              stored && doc.FieldUpdate.HasStoredCounts));
      break;
    case ftFileSize: {
      int64_t size = props.AutoProps.StoredSize;
      if (HasFieldSwitch(field.Instruction, u"\\k")) size /= 1024;
      if (HasFieldSwitch(field.Instruction, u"\\m")) size /= 1048576;
      text = NumberResult(field, size);
      break;
    }
    case ftNoteRef: {
      TScopedDocFlag plain(doc, dfNoFieldEdgeRules);
      text = field.ApplyCaseSwitch(NoteRefResult(doc, field, out.Format));
      break;
    }
    default:
      return false;
  }
  out.Text = FinishFieldResult(std::move(text));
  return true;
}

void RecordFieldResult(TDoc& doc, TField_UpdatedValue_Info info,
                       std::vector<TField_UpdatedValue_Info>& list) {
  TDocRange first = info.Range;
  if (first.End.Par != first.Start.Par)
    MakePosition(first.Start.Par, doc.Par(first.Start.Par)->CharCount(), first.End);
  const std::u16string old = doc.GetRangeWideText(first, 0);
  bool differs = old != info.Text;
  if (!differs) {
    const TCharFormat inside = FormatInside(doc, info.Range);
    for (int k = 0; k < TCharFormat::Count && !differs; ++k)
      differs = info.Format[k] != CharUnset && info.Format[k] != inside[k];
  }
  if (!differs) return;
  info.FastReplace = old.size() == info.Text.size() && !old.empty();
  for (size_t i = 0; i < old.size() && info.FastReplace; ++i)
    info.FastReplace = IsAsciiAlnum(old[i]) && IsAsciiAlnum(info.Text[i]);
  list.push_back(std::move(info));
}

}  // namespace qv
