#pragma once
// The shown results of the computed fields (page numbers, dates, counts) inside the header or
// footer edited in place. The text of a header is shared by every page that shows it, and each
// page painted rewrites those results for itself without an undo record; an operation keeps the
// results its header showed before and after it ran and writes them back before it is undone
// or redone, so that its records meet exactly the text they were made for.
#include <string>
#include <utility>
#include <vector>

namespace qv {

class TDoc;
class TField;

using TFieldTexts = std::vector<std::pair<TField*, std::u16string>>;

// The results of the computed fields in the paragraphs of the header or footer edited in place
// (none when nothing is edited in place).
void CaptureFieldTexts(TDoc& doc, TFieldTexts& out);
// Writes every saved result back between its field's marks (fields gone from the document, and
// results that span paragraphs, are left alone), then, with the stored results in force, runs
// the field update over the range of the header or footer field in a stretch that records
// nothing, which gives the results the format their fields ask for.
void RestoreFieldTexts(TDoc& doc, const TFieldTexts& texts, TField* headerFooter);

}  // namespace qv
