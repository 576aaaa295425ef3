#include "document/doc_statistics.h"

#include <algorithm>
#include <utility>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "foundation/base/date_time.h"
#include "foundation/base/service_slot.h"
#include "foundation/base/string_utils.h"
#include "foundation/system/paths.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/date_format.h"
#include "foundation/text/word_delimiters.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/sound_services.h"
#include "platform/system/text_services.h"

namespace qv {

namespace {

constexpr int32_t kStatisticsSound = 2160;
constexpr int32_t kPlainTextFormat = 6;

const char* const kFormatNames[] = {"Rich Text Format",   "MS Word DOC",   "MS Word DOCX",
                                    "OpenDocument ODF",   "Encrypted Document",
                                    "Windows Write",      "Plain Text"};
const char* const kEncodingNames[] = {
    "UTF-8 (without BOM)",           "UTF-8 (with BOM)",
    "Unicode",                       "Unicode (Big-Endian)",
    "Windows-1250 (Central European)", "Windows-1251 (Cyrillic)",
    "Windows-1252 (Western European)", "Windows-1253 (Greek)",
    "Windows-1254 (Turkish)",        "Windows-1255 (Hebrew)",
    "Windows-1256 (Arabic)",         "Windows-1257 (Baltic)"};

bool IsCounted(uint8_t c) { return (c >= 11 && c <= 14) || (c >= 17 && c <= 20) || c >= 32; }
bool IsSpace(uint8_t c) { return c == 11 || c == 18 || c == 19 || c == 20 || c == 32; }
bool IsSentenceEnd(char16_t c) { return c == u'.' || c == u'!' || c == u'?' || c == 0x2026; }
// Closing marks that still belong to a sentence after its full stop.
bool IsClosing(char16_t c) {
  return c == u'"' || c == u'\'' || c == u')' || c == u']' || c == 0x201D || c == 0x2019 || c == 0xBB;
}

bool InTable(const TPar& p) { return p.Format.InTable == 1; }

// One gathering: the lists of what was seen, so that what two ranges share counts once.
class TGathering {
 public:
  TGathering(TDoc& doc, bool progress, int32_t firstPar, TDocStatistics& s)
      : doc_(doc), progress_(progress), firstPar_(firstPar), s_(s),
        quick_(doc.IsDocFlagSet(dfStatisticsQuickCount)),
        noStructure_(quick_ || doc.IsDocFlagSet(dfStatisticsNoStructure)) {}

  void AddPages(int32_t from, int32_t to) {
    if (from < 0 || to < from) return;
    for (int32_t page = from; page <= to; ++page) {
      if (pages_.empty() || pages_.back() != page) pages_.push_back(page);
    }
  }

  // One paragraph from s to e (exclusive; -1: the paragraph's end).
  void CountParagraphPart(int32_t p, int32_t s, int32_t e) {
    if (progress_) StatisticsServices().SetProgressPosition(p - firstPar_);
    TPar& par = *doc_.Par(p);
    const int32_t n = par.CharCount();
    if (n > 0 && par.CodeAt(0) == scRowEnd) return;
    if (e < 0 || e > n) e = n;
    s = std::clamp(s, 0, n);
    if (!noStructure_) CountStructure(par, p, s, e);
    BuildParagraphWideText(par);
    CountWords(par, p, s, e);
    for (int32_t i = s; i < e; ++i) {
      uint8_t c = par.CodeAt(i);
      if (c == scInlineShape) ++s_.Pictures;
      if (!IsCounted(c)) continue;
      ++s_.CharsWithSpaces;
      if (!IsSpace(c)) ++s_.CharsNoSpaces;
    }
    if (!noStructure_) CountSentences(par, p, s, e);
  }

  void Finish() {
    if (quick_) return;
    s_.Words = static_cast<int32_t>(words_.size());
    s_.Pages = static_cast<int32_t>(pages_.size());
    s_.Paragraphs = static_cast<int32_t>(paragraphs_.size());
    s_.Lines = static_cast<int32_t>(lines_.size());
    s_.Sentences = static_cast<int32_t>(sentences_.size());
    s_.Tables = static_cast<int32_t>(tables_.size());
  }

 private:
  using TPair = std::pair<int32_t, int32_t>;

  static void AddPair(std::vector<TPair>& list, TPair pair) {
    if (list.empty() || list.back() != pair) list.push_back(pair);
  }

  void CountStructure(const TPar& par, int32_t p, int32_t s, int32_t e) {
    if (paragraphs_.empty() || paragraphs_.back() != p) paragraphs_.push_back(p);
    if (par.LineCount() > 0) {
      int32_t first = par.LineIndexOfChar(s, 0, false);
      int32_t last = std::max(first, par.LineIndexOfChar(e, first, true));
      for (int32_t line = first; line <= last; ++line) AddPair(lines_, {p, line});
    }
    if (InTable(par)) {
      int32_t start = p;
      const int32_t storyFirst = doc_.FirstParagraphOfStory(doc_.StoryOfParagraph(p));
      while (start > storyFirst && InTable(*doc_.Par(start - 1))) --start;
      if (std::find(tables_.begin(), tables_.end(), start) == tables_.end()) tables_.push_back(start);
    }
  }

  // A character position that belongs to a word: not a word delimiter, and for a UTF-16
  // character a letter or a digit.
  static bool IsWordChar(const TPar& par, int32_t i) {
    uint8_t c = par.CodeAt(i);
    if (c == scWideChar) {
      char16_t w = static_cast<size_t>(i) < par.WideText.size() ? par.WideText[size_t(i)] : u' ';
      return plat::IsCharAlphaNumeric(w);
    }
    return !WordDelimiters[c];
  }

  // Words that overlap s..e; a word cut by s counts from its own start.
  void CountWords(const TPar& par, int32_t p, int32_t s, int32_t e) {
    int32_t i = s;
    while (i > 0 && i < par.CharCount() && IsWordChar(par, i) && IsWordChar(par, i - 1)) --i;
    while (i < e) {
      if (!IsWordChar(par, i)) {
        ++i;
        continue;
      }
      const int32_t start = i;
      while (i < par.CharCount() && IsWordChar(par, i)) ++i;
      if (quick_) ++s_.Words;
      else AddPair(words_, {p, start});
    }
  }

  // Sentences that overlap s..e and hold text.
  void CountSentences(const TPar& par, int32_t p, int32_t s, int32_t e) {
    const int32_t n = par.CharCount();
    const std::u16string& w = par.WideText;
    auto ch = [&](int32_t i) { return static_cast<size_t>(i) < w.size() ? w[size_t(i)] : u' '; };
    int32_t i = 0;
    while (i < n) {
      while (i < n && !IsCounted(par.CodeAt(i)) && par.CodeAt(i) != scInlineShape) ++i;
      while (i < n && IsSpace(par.CodeAt(i))) ++i;
      if (i >= n || i >= e) return;
      const int32_t start = i;
      bool hasText = false;
      while (i < n) {
        uint8_t c = par.CodeAt(i);
        if (IsCounted(c) && !IsSpace(c)) hasText = true;
        ++i;
        if (!IsSentenceEnd(ch(i - 1)) || !IsCounted(c)) continue;
        while (i < n && (IsSentenceEnd(ch(i)) || IsClosing(ch(i)))) ++i;
        if (i >= n || !IsCounted(par.CodeAt(i)) || IsSpace(par.CodeAt(i))) break;
      }
      if (hasText && i > s) AddPair(sentences_, {p, start});
    }
  }

  TDoc& doc_;
  bool progress_;
  int32_t firstPar_;
  TDocStatistics& s_;
  bool quick_, noStructure_;
  std::vector<int32_t> pages_, paragraphs_, tables_;
  std::vector<TPair> lines_, words_, sentences_;
};

bool PositionInRanges(const TDocPosition& at, const std::vector<TDocRange>& ranges) {
  return std::any_of(ranges.begin(), ranges.end(),
                     [&](const TDocRange& r) { return PositionInRange(at, r); });
}

std::string Thousands(int32_t n) { return FormatThousands(std::max(n, 0)); }

std::string Narrow(const std::u16string& text) { return WideToCodePage(text, DefaultCodePage); }

}  // namespace

std::vector<TDocRange> TStatisticsServices::SelectedRanges(TDoc&) { return {}; }
void TStatisticsServices::PaginateAll(TDoc&) {}
int32_t TStatisticsServices::PageOfPosition(TDoc&, const TDocPosition&) { return -1; }
void TStatisticsServices::BeginProgress(int32_t, const std::string&) {}
void TStatisticsServices::SetProgressPosition(int32_t) {}
void TStatisticsServices::EndProgress() {}

void RegisterStatisticsServices(std::unique_ptr<TStatisticsServices> services) {
  RegisterService(std::move(services));
}
TStatisticsServices& StatisticsServices() { return Service<TStatisticsServices>(); }

void ComputeRangeStatistics(TDoc& doc, const std::vector<TDocRange>& ranges, bool showProgress,
                            TDocStatistics& out) {
  TStatisticsServices& services = StatisticsServices();
  const bool quick = doc.IsDocFlagSet(dfStatisticsQuickCount);
  out = TDocStatistics{};
  if (!quick) services.PaginateAll(doc);
  std::vector<TDocRange> valid;
  for (const TDocRange& r : ranges) {
    const bool inside = r.Start.Par >= 0 && r.End.Par < doc.ParCount();
    if (inside && ComparePositions(r.Start, r.End) < 0) valid.push_back(r);
  }
  const int32_t firstPar = valid.empty() ? 0 : valid.front().Start.Par;
  if (showProgress && !valid.empty()) {
    services.BeginProgress(valid.back().End.Par - firstPar + 1, "Preparing statistics...");
  }
  TGathering gathering(doc, showProgress, firstPar, out);
  for (const TDocRange& r : valid) {
    if (!quick) {
      gathering.AddPages(services.PageOfPosition(doc, r.Start), services.PageOfPosition(doc, r.End));
    }
    if (r.Start.Par == r.End.Par) {
      gathering.CountParagraphPart(r.Start.Par, r.Start.Offset, r.End.Offset);
      continue;
    }
    gathering.CountParagraphPart(r.Start.Par, r.Start.Offset, -1);
    for (int32_t p = r.Start.Par + 1; p < r.End.Par; ++p) gathering.CountParagraphPart(p, 0, -1);
    if (r.End.Offset > 0) gathering.CountParagraphPart(r.End.Par, 0, r.End.Offset);
  }
  gathering.Finish();
  if (!quick) {
    for (const auto& field : doc.Fields) {
      if (field->Kind != fkNoteReference || !PositionInRanges(field->Range.Start, valid)) continue;
      bool endnote = field->LinkedField != nullptr && field->LinkedField->NoteClass != 0;
      ++(endnote ? out.Endnotes : out.Footnotes);
    }
    out.FileSize = doc.Props.AutoProps.StoredSize;
    out.FormatIndex = doc.FormatIndex;
  }
  if (showProgress && !valid.empty()) services.EndProgress();
}

std::vector<TDocRange> StatisticsRanges(TDoc& doc) {
  std::vector<TDocRange> selected = StatisticsServices().SelectedRanges(doc);
  if (!selected.empty()) return selected;
  TDocRange whole;
  if (doc.HeaderFooterInPlace != nullptr) {
    // The header or footer being edited is what the user looks at: its own text is counted.
    whole = doc.HeaderFooterInPlace->Range;
  } else {
    int32_t last = doc.LastParagraphOfStory(stEndnotes);
    whole.Start = TDocPosition{0, 0};
    whole.End = TDocPosition{last, doc.Par(last)->CharCount()};
  }
  return {whole};
}

void ComputeStatistics(TDoc& doc, bool showProgress, TDocStatistics& out) {
  ComputeRangeStatistics(doc, StatisticsRanges(doc), showProgress, out);
}

std::string StatisticsText(TDoc& doc, const TDocStatistics& s, int32_t selectedFragments,
                           std::string& title) {
  std::string format = s.FormatIndex >= 0 && s.FormatIndex < 7 ? kFormatNames[s.FormatIndex] : "";
  if (s.FormatIndex == kPlainTextFormat) {
    int32_t enc = doc.TxtEncoding;
    format += std::string(" / ") + (enc >= 0 && enc < 12 ? kEncodingNames[enc] : "");
  }
  std::string size;
  if (doc.NewUntitled || doc.FileName.empty()) {
    size = "(unsaved document)";
  } else {
    int64_t bytes = s.FileSize > 0 ? s.FileSize : GetFileSizeByName(doc.FileName);
    size = FormatThousands(double(std::max<int64_t>(bytes, 0))) + " bytes";
  }
  std::vector<std::string> args = {Thousands(s.Words),      Thousands(s.Sentences),
                                   Thousands(s.CharsNoSpaces), Thousands(s.CharsWithSpaces),
                                   Thousands(s.Paragraphs), Thousands(s.Lines)};
  std::string text = FormatMessageText(
      "Words: %s\rSentences: %s\rChar. (without spaces): %s\rChar. (with spaces): %s\r"
      "Paragraphs: %s\rLines: %s\r",
      args);
  text += "Footnotes: " + std::to_string(s.Footnotes) + "\rEndnotes: " + std::to_string(s.Endnotes) +
          "\rTables: " + std::to_string(s.Tables) + "\rPictures: " + std::to_string(s.Pictures) +
          "\r\r\rFile size: " + size + "\rFormat: " + format;
  if (doc.ViewMode == vmPrintLayout) text = "Pages: " + Thousands(s.Pages) + "\r" + text;

  const TAutoDocProps& a = doc.Props.AutoProps;
  std::vector<std::string> dates = {"Created: " + Narrow(DateTimeToLocaleText(a.Created))};
  if (a.Modified != 0 && a.Modified != a.Created) {
    dates.push_back("Modified: " + Narrow(DateTimeToLocaleText(a.Modified)));
  }
  if (!doc.NewUntitled && !doc.FileName.empty()) {
    dates.push_back("Last saved by: " + Narrow(a.LastSavedBy.empty() ? doc.Props.Author : a.LastSavedBy));
  }
  if (a.Printed != 0) dates.push_back("Last printed: " + Narrow(DateTimeToLocaleText(a.Printed)));
  text += "\r\r";
  for (size_t i = 0; i < dates.size(); ++i) text += (i ? "\r" : "") + dates[i];
  if (s.FormatIndex != kPlainTextFormat && a.RevisionNumber > 0) {
    text += "\rRevision number: " + std::to_string(a.RevisionNumber);
  }
  if (selectedFragments > 0) {
    text = "Selected fragments: " + std::to_string(selectedFragments) + "\r" + text;
    title = "Selection Statistics";
  } else {
    title = doc.HeaderFooterInPlace != nullptr ? "Header/Footer Statistics" : "Document Statistics";
  }
  return text;
}

void ShowStatistics(TDoc& doc) {
  TDocStatistics s;
  ComputeStatistics(doc, true, s);
  std::string title;
  int32_t fragments = static_cast<int32_t>(StatisticsServices().SelectedRanges(doc).size());
  std::string text = StatisticsText(doc, s, fragments, title);
  SoundService().PlayEventSound(kStatisticsSound);
  MessageDlgInfo().Caption = title;
  ShowMessageDlg(text, mkNoIcon, 1u << mbOK);
}

}  // namespace qv
