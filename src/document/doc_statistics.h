#pragma once
// Document statistics: the counts of the selection or of the document (words, sentences,
// characters with and without spaces, paragraphs, lines, pages, notes, pictures, tables) with the
// file size and format, for the Statistics command, the status bar's live word count and the
// count fields.
//
// Counted characters are the codes 11-14, 17-20 and 32-255; spaces among them are 11, 18, 19, 20
// and 32. Tabs, breaks, paragraph marks, optional hyphens, shapes and note marks are not
// characters here; an inline shape (code 10) counts as a picture.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TDoc;

struct TDocStatistics {
  int32_t Pages = 0;
  int32_t Words = 0;
  int32_t Sentences = 0;
  int32_t CharsNoSpaces = 0;
  int32_t CharsWithSpaces = 0;
  int32_t Paragraphs = 0;
  int32_t Lines = 0;
  int32_t Footnotes = 0;
  int32_t Endnotes = 0;
  int32_t Pictures = 0;
  int32_t Tables = 0;
  int32_t FileSize = 0;
  int32_t FormatIndex = 0;
  bool operator==(const TDocStatistics&) const = default;
};

// Scoped document flags the gathering reads.
enum : int32_t {
  dfStatisticsNoStructure = 126,  // paragraphs, lines, tables and sentences are not gathered
  dfStatisticsQuickCount = 127,   // no layout; only words, characters and pictures
};

// What the statistics ask of the selection model, the layout and the main window. The defaults:
// nothing selected, no pages known, no progress shown.
class TStatisticsServices {
 public:
  virtual ~TStatisticsServices() = default;
  // The selected ranges in order (empty when nothing is selected).
  virtual std::vector<TDocRange> SelectedRanges(TDoc& doc);
  // Lays the document out to its end.
  virtual void PaginateAll(TDoc& doc);
  // The index of the page that shows the place (laid out for it, moved out of collapsed
  // headings); -1 when not known.
  virtual int32_t PageOfPosition(TDoc& doc, const TDocPosition& place);
  // The main window's progress mode.
  virtual void BeginProgress(int32_t maximum, const std::string& text);
  virtual void SetProgressPosition(int32_t position);
  virtual void EndProgress();
};
void RegisterStatisticsServices(std::unique_ptr<TStatisticsServices> services);
TStatisticsServices& StatisticsServices();

// The counts over ranges (each end exclusive; a range ending at offset 0 of a paragraph takes
// nothing of it).
void ComputeRangeStatistics(TDoc& doc, const std::vector<TDocRange>& ranges, bool showProgress,
                            TDocStatistics& out);
// The ranges the Statistics command counts: the selection; without one the header or footer
// being edited in place; else main text, footnotes and endnotes.
std::vector<TDocRange> StatisticsRanges(TDoc& doc);
// The counts of StatisticsRanges.
void ComputeStatistics(TDoc& doc, bool showProgress, TDocStatistics& out);
// The statistics message and its title.
std::string StatisticsText(TDoc& doc, const TDocStatistics& stats, int32_t selectedFragments,
                           std::string& title);
// Computes with progress and shows the message.
void ShowStatistics(TDoc& doc);

}  // namespace qv
