#pragma once
// Evaluating fields: the result text (and character format) of the 22 field types that the
// program computes itself (document properties, dates, counts, page and section numbers, page
// and note references, style references, the file name and size), and the record of a result
// that differs from what the field shows.
#include <cstdint>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/doc_position.h"
#include "document/doc_statistics.h"
#include "document/field_update_state.h"

namespace qv {

class TDoc;
class TField;
class TSection;

// Field-type numbers evaluated here.
enum : uint8_t {
  ftTitle = 15,
  ftSubject = 16,
  ftAuthor = 17,
  ftKeywords = 18,
  ftComments = 19,
  ftLastSavedBy = 20,
  ftCreateDate = 21,
  ftSaveDate = 22,
  ftPrintDate = 23,
  ftNumPages = 26,
  ftNumChars = 28,
  ftFileName = 29,
  ftDate = 31,
  ftPageField = 33,
  ftSection = 65,
  ftSectionPages = 66,
  ftFileSize = 69,
};

// Results are cut to this many characters.
inline constexpr size_t MaxFieldResultLength = 256;

// The evaluated types; those whose results depend on the pages; the word-count types; the
// page-dependent types that a header or footer re-pagination waits for (PAGE and SECTION are
// evaluated for each page anyway).
TFieldTypeSet EvaluatedFieldTypes();
TFieldTypeSet PageDependentFieldTypes();
TFieldTypeSet WordCountFieldTypes();
TFieldTypeSet HeaderFooterRepaginationTypes();

// One pending result.
struct TField_UpdatedValue_Info {
  TField* Field = nullptr;
  std::u16string Text;     // at most 256 characters, cut before a CR; "(None)" when empty
  TCharFormat Format;      // unset properties apply nothing
  TDocRange Range;         // the field's range when it was evaluated
  bool FastReplace = false;  // same length as the old text, both ASCII letters and digits only
};

// What one update run shares between its fields.
struct TFieldUpdateContext {
  double Now = 0;                  // the current date and time
  bool HaveStatistics = false;     // the document's counts, computed once per run
  TDocStatistics Statistics;
  // The run evaluates one page's header and footer: that page's number and section.
  bool ForPage = false;
  int32_t PageNumber = 0;
  int32_t PageIndex = -1;
  TSection* CurrentSection = nullptr;
};

// The result of the field; false when the field type gives none (a style that does not exist).
bool EvaluateField(TDoc& doc, TField& field, TFieldUpdateContext& context,
                   TField_UpdatedValue_Info& out);
// Adds the result to the list when it changes the text or the format the field shows.
void RecordFieldResult(TDoc& doc, TField_UpdatedValue_Info info,
                       std::vector<TField_UpdatedValue_Info>& list);
// The text of a result as it is written: cut before its first CR and to 256 characters,
// "(None)" when empty.
std::u16string FinishFieldResult(std::u16string text);
// The current date and time (days since 30 December 1899, local time of day as fraction).
double LocalNow();

}  // namespace qv
