#pragma once
// The two primitives through which all content enters a document: InsertFragment puts a ready
// content fragment (the held-content form of TInsDelOperation) at a place, InsertPlainText turns
// 8-bit or UTF-16 text into such a fragment in the typing format first. Both run inside an open
// operation, record one text record, place the caret and fill the post-actions; hyperlinks whose
// text is their own target follow the edit, and the notes stay in the order of their references.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/doc_position.h"
#include "document/section.h"
#include "foundation/base/memory.h"

namespace qv {

class TDoc;
class TField;
class TSection;

// What one run of smart spacing did: spaces removed left and right of the place, and whether a
// space was inserted (0 or 1).
struct TSmartSpacingResult {
  int32_t LeftRemoved = 0;
  int32_t RightRemoved = 0;
  int32_t Inserted = 0;
};

// Inserts a copy of the fragment at the place. `story` is the story of the place's paragraph;
// `parMarks` the number of paragraph separators (byte 29) in the fragment. `sections` are new
// sections that section-break tags of the fragment name; they enter the document with it.
void InsertFragment(TDoc& doc, const TMemory& fragment, const TDocPosition& at, uint32_t flags,
                    int32_t story, int32_t parMarks,
                    std::vector<std::unique_ptr<TSection>> sections = {});

// Inserts 8-bit text, or UTF-16 text with idfUtf16, in the typing format. CR, LF, CR LF and
// LF CR end paragraphs; tabs, breaks and dashes become special characters; other control
// characters and lone surrogates are dropped. Nothing happens when no character comes out.
void InsertPlainText(TDoc& doc, const TMemory& text, const TDocPosition& at, uint32_t flags);
void InsertPlainText(TDoc& doc, const std::u16string& text, const TDocPosition& at,
                     uint32_t flags);

// Puts the note texts of the footnote and endnote stories into the order of their references.
void ResortNotes(TDoc& doc);

// Gives the typing format the language for typing and the character set of that language.
void SetTypingFontForLayout(TDoc& doc);

// The HYPERLINK fields whose shown text is their target, among the fields that share characters
// with the range (for a deletion, those whose range is exactly the range are left out).
std::vector<TField*> CollectFollowingHyperlinks(TDoc& doc, const TDocRange& range,
                                                bool excludeExactRange);
// Each listed hyperlink still in the document whose shown text changed takes it as its target.
void UpdateFollowingHyperlinks(TDoc& doc, const std::vector<TField*>& links);

// Removes the drop caps of the paragraph that an edit left invalid (spanning paragraphs, not
// at its start, reaching its mark, ...). Paragraphs without drop-cap marks are passed by at once.
void CheckDropCapsAfterEdit(TDoc& doc, int32_t par);

// The language of the active keyboard layout.
int32_t ActiveLayoutLanguage();

}  // namespace qv
