#pragma once
// Steps that the readers of every document format share: making a field from its instruction
// text and keeping track of the fields still open, normalising toggle values, language ids and
// paths, resolving styles along their based-on chains, appending the note and header/footer
// stories a reader collected, and, after loading, turning the specially named bookmarks back
// into document state.
//
// The specially named bookmarks:
//   "_PictureBullets"          a range of body text holding the pictures used as list bullets
//   "_CursorPos_%d_%d"         the caret to restore (paragraph, offset)
//   "_WritingTarget_%d_%d_%d"  the writing target (kind, target, relative-to)
//   "_collapsedh_%d"           the paragraph where it starts is a collapsed heading
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

class TDoc;
class TField;
class TOpenContext;
class TPar;

// Field-type number that asks CreateFieldFromCode to take the type from the instruction.
inline constexpr int32_t kFieldTypeFromInstruction = 255;

// Makes a field (kind 0) of the Word field type (kFieldTypeFromInstruction: from the
// instruction's first word) with the cleaned instruction, adds it to the document and to the
// open fields, and appends its start mark to the paragraph being read. Null when the instruction
// is empty, names no known field type, or is an index entry or table of contents in a header or
// footer (inHeader, or a document read for pasting into one).
TField* CreateFieldFromCode(const std::u16string& instruction, int32_t fieldType, bool inHeader,
                            TOpenContext& context);
// True when the leading positionless tags of the paragraph include the field's start mark.
bool ParagraphOpensField(const TField& field, const TPar& par);
// Appends end marks for the fields still open (last opened first) to the paragraph being read
// and drops fields that lost their marks from the document's list.
void CloseOpenFields(TOpenContext& context);

// 129 (Word's "opposite of the style") becomes 127; other values stay.
int32_t NormalizeToggleValue(int32_t value);
// 0 gives the program's default language, 1 to 255 (a primary language) the id + 1024.
int32_t NormalizeLanguageId(int32_t languageId);
// Every "/" becomes "\", then every doubled backslash a single one.
std::u16string NormalizePathSeparators(std::u16string path);

// Breaks based-on cycles and self references, then resolves the toggles that mean "the opposite
// of the base" (129 for character toggles, 127 for paragraph toggles) against the ancestors.
void FixStyleBaseLinks(TDoc& doc);

// The end of the main text a reader leaves, made whole for a document of its own: an empty last
// paragraph (what a final paragraph mark opened) joins the one before, and a text that does not
// end with a paragraph mark or a row end gets one (a final section break becomes one).
void FinishReadText(TOpenContext& context);

// Appends the footnote, endnote and header/footer paragraphs the reader collected after the
// main text, in that order, and sets the story counts.
void AppendReadStories(TOpenContext& context);

// After every load: the pictures of the "_PictureBullets" bookmark become the picture bullets of
// the list levels waiting for them; the bookmarked text goes.
void ApplyPictureBulletsBookmark(TOpenContext& context);
// After loading a Word binary document: caret, writing target and collapsed headings from the
// bookmarks that carry them; the bookmarks go.
void ApplyOwnStateBookmarks(TOpenContext& context);
// For a document read to be inserted into another: bookmarks whose names the other document
// uses get free names ("base_qvwN"), and the fields that refer to them follow.
void RenameClashingBookmarks(TOpenContext& context, const std::vector<std::u16string>& otherNames);

// Takes both marks of the field out of the paragraphs (the text between them stays) and frees
// the field; for documents being loaded, without undo.
void RemoveFieldWhileLoading(TDoc& doc, TField* field);

}  // namespace qv
