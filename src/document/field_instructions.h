#pragma once
// Field instructions: the field-code syntax of word processors (a keyword, arguments quoted when
// they hold blanks, switches such as \l or \@ with or without an argument), the splitter that
// turns an instruction into words, the parsers of the instructions the model acts on, the
// builders of HYPERLINK, TOC and SYMBOL instructions, and the table of keywords by field-type
// number. Document readers, writers and field dialogs exchange instructions through these.
//
// Switch words are matched exactly and case-sensitively. A word that was written in double
// quotes is always an argument, never a switch, so that a quoted "\l" is text. Byte strings are
// in the program's code page (DefaultCodePage); what it cannot hold is lost in the conversion.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/settings/options.h"

namespace qv {

class TStyleList;

// Number of field-type numbers with a keyword entry (0..95).
inline constexpr int32_t FieldTypeCount = 96;

// The keyword of a field-type number; "?" for a number without one (or out of range).
const char* FieldKeyword(int32_t fieldType);
// The field-type number of a keyword (compared without regard to case); -1 when unknown.
int32_t FieldTypeOfKeyword(const std::u16string& keyword);

// One word of an instruction as the splitter read it.
struct TFieldWord {
  std::u16string Text;
  bool Quoted = false;  // the word was written in double quotes (an argument, never a switch)
  bool IsSwitch(const char16_t* name) const { return !Quoted && Text == name; }
};

// The words after the keyword. Blanks outside quotes and line breaks (anywhere) separate words;
// an unescaped double quote opens or closes a quoted stretch (a closing quote also ends the
// word); "\\" stands for a backslash and "\"" for a double quote; every other backslash stays.
// Words that are empty are dropped unless they were written as "" (an empty argument).
std::vector<TFieldWord> SplitFieldWords(const std::u16string& instruction);
std::vector<std::u16string> SplitFieldInstruction(const std::u16string& instruction);
// A backslash before every double quote and every backslash: the splitter gives the text back.
std::u16string EscapeFieldArgument(const std::u16string& text);

// HYPERLINK: the target, the bookmark of \l and the tooltip of \o. A target "#name" without \l
// names the bookmark. `tooltip` may be null.
void ParseHyperlinkInstruction(const std::u16string& instruction, std::string& target,
                               std::string& bookmark, std::u16string* tooltip);
// Targets holding "@" without "//" or "mailto:" are mail addresses and get "mailto:".
std::u16string BuildHyperlinkInstruction(const std::string& target, const std::string& bookmark,
                                         const std::u16string& tooltip);

void ParseTocInstruction(const std::u16string& instruction, TGenerateTOC_Options& options);
std::u16string BuildTocInstruction(const TGenerateTOC_Options& options);

// An index entry (XE).
struct TXEOptions {
  std::u16string EntryText;       // ":" separates levels
  std::u16string CrossReference;  // \t: a "see" reference in place of page numbers
  std::string Bookmark;           // \r: the entry covers the bookmark's page range
  uint8_t BoldPageNumber = 0;     // \b
  uint8_t ItalicPageNumber = 0;   // \i
};
void ParseXEInstruction(const std::u16string& instruction, TXEOptions& options);

// What an INDEX instruction says of the index.
struct TGenerateIndex_Options {
  int32_t Columns = 0;       // \c, 0..4
  uint8_t RunIn = 0;         // \r
  uint8_t TabSeparator = 0;  // \e with exactly one tab character: page numbers after a tab
  uint8_t TabLeader = 1;     // \y followed by one digit (digit minus 1), 0..3
  uint8_t Heading = 0;       // \h
  int32_t Language = 0;      // \z; the user's default language when absent or 0
};
void ParseIndexInstruction(const std::u16string& instruction, TGenerateIndex_Options& options);

// SYMBOL: returns the character code (63 for a bare keyword) and the font of \f.
int32_t ParseSymbolInstruction(const std::string& instruction, std::string& fontName);
std::string BuildSymbolInstruction(int32_t code, const std::string& fontName);

// STYLEREF: returns whether \l (search from the bottom of the page) is set; the style is looked up
// by name, display name, then as the shown name of a built-in style; -1 when not found (the name
// then stays as written). The name is cut before its first comma.
bool ParseStyleRefInstruction(const TStyleList& styles, const std::u16string& instruction,
                              int32_t& styleIndex, bool& numberOnly, std::string& styleName);

// PAGEREF: \h (hyperlink), \p (relative position "above"/"below"); the first argument is the
// bookmark. Either flag may be null.
void ParsePageRefInstruction(const std::u16string& instruction, bool* hyperlink, bool* relative,
                             std::string& bookmark);
// NOTEREF: \h (hyperlink), \f (formatted like a note mark); the first argument is the bookmark.
void ParseNoteRefInstruction(const std::string& instruction, bool* hyperlink, bool* markFormat,
                             std::string& bookmark);

// The picture of the \@ switch (the last one that has an argument); empty when there is none.
std::string GetDateTimeFormatSwitch(const std::u16string& instruction);
std::u16string GetDateTimeFormatSwitchWide(const std::u16string& instruction);
// Number style named by the switch words "alphabetic", "ALPHABETIC", "roman", "ROMAN" (searched
// as substrings in that order: 1..4); else the default, where 255 gives 0 (arabic).
uint8_t NumberStyleOfSwitch(const std::string& instruction, uint8_t defaultStyle);

// Whether the instruction carries the switch (such as "\h") as an unquoted word of its own.
bool HasFieldSwitch(const std::u16string& instruction, const char16_t* name);
// The first word after the keyword that is not a switch.
std::u16string FirstFieldArgument(const std::u16string& instruction);

}  // namespace qv
