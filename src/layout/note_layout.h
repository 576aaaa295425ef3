#pragma once
// Footnotes and endnotes on pages. A page keeps the note text still to place as fragments of
// note-text ranges (TPage::Footnotes, TPage::Endnotes); a line that holds a footnote reference
// adds its note's text and flows it into the footnote area of its column at once, so that a note
// starts on its reference's page. Endnotes are collected at the end of a section or of the
// document and placed in an endnote area.
#include <cstdint>
#include <string>
#include <vector>

#include "document/doc_position.h"
#include "document/fragment_pool.h"

namespace qv {

class TBox;
class TDoc;
class TField;
class TLine;
class TPage;
class TPar;

// The field whose text an automatic note mark shows: in note text, the mark field that begins
// the paragraph; elsewhere the first note reference whose start or end mark lies in `data` at or
// after `after` (the offset just past the mark's tag). Null when there is none.
const TField* NoteMarkField(const TPar& par, const uint8_t* data, int32_t length, int32_t after);
// The text the mark shows: the field's text, "?" when there is none.
std::string NoteMarkText(const TField* mark);

// The paragraphs of a note's text, as the field index has them (a field's own range is stale until
// the index is built, as after reading a file). False when the note is not in the index.
bool NoteTextRange(TDoc& doc, const TField& note, TDocRange& range);

// The note references in the line's part of the paragraph, in order.
void CollectLineNoteRefs(const TLine& line, std::vector<TField*>& refs);

// The area box of the area in the column, made (after the other children) when missing.
TBox* GetAreaBox(TBox& column, uint8_t area);

// Note fragments: a null fragment holds nothing.
bool HasNoteText(const TFragmentRef& fragment);
void AppendNoteRange(TFragmentRef& fragment, const TDocRange& range);
void RemoveFirstNoteRange(TFragmentRef& fragment);

// Places the page's footnote (area 1) or endnote (area 2) text still waiting into the column's
// note area: 4 when there is nothing to place; otherwise the flow's result of the last range
// flowed (1 when nothing at all could be placed, the page then showing no partial note area).
uint32_t PlaceNotes(TBox& column, uint8_t area);

// After a line with note references was placed in a text box: each footnote's text joins the
// page's footnote fragment and is flowed into the column's footnote area; endnote references
// move the page's endnote counter. False when a footnote could not start on the page (no room
// for the separator, or nothing of its text fits). `continues` is set when a note's text goes
// on to the next page.
bool PlaceLineNotes(TBox& textBox, const TLine& line, bool& continues);

}  // namespace qv
