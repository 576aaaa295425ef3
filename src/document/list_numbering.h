#pragma once
// The list numbering pass: every listed paragraph gets its counter (TPar::NumberValue) and a
// number paragraph (TPar::NumberPar) holding its number or bullet, its formatting and the
// character that follows it. Number paragraphs are rebuilt only where their content, indents,
// tab set or alignment changed, so a pass over an unchanged document marks nothing for layout.
#include <cstdint>
#include <string>

namespace qv {

class TAutoList;
class TDoc;
class TPar;

// The document flag that asks the post-edit update for a numbering pass (set by the editing
// engine's format records; cleared at the end of the pass).
inline constexpr int32_t dfListsNeedRenumbering = 153;

// The number of a list level as text: codes 0..7 and 22 as list numbers in the language in force
// at the end of the paragraph (arabic, roman, letters, ordinal, words), anything else empty.
std::string ListNumberText(const TDoc& doc, int32_t par, int32_t number, int32_t code);

// Numbers one paragraph of the list at the level against the paragraphs numbered so far in the
// current pass (list.NumberedPars[0 .. NumberedCount)): sets par.NumberLevel and
// par.NumberValue and returns the number text (placeholders filled, picture bullets not
// substituted). Does not record the paragraph.
std::u16string NumberListParagraph(const TDoc& doc, TAutoList& list, TPar& par);

// Runs the pass over all paragraphs of the document (all stories, in list order).
void RenumberDocLists(TDoc& doc);

}  // namespace qv
