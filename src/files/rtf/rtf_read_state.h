#pragma once
// The RTF reader: its state and its steps. One TRtfReader lives for one ReadRtf call. The work is
// split by concept over rtf_reader.cpp (groups, control words, text, Unicode, paragraph ends),
// rtf_tables_sections.cpp (cells, rows, sections, document settings), rtf_destinations.cpp (the
// destination dispatcher, fonts, colours, bookmarks, fields, notes, headers and footers, index
// entries), rtf_stylesheet_lists.cpp and rtf_pictures_shapes.cpp.
//
// Formatting is applied the way the document model stores it: a character property set by a
// control word is written at once as a content tag into the paragraph being read, and the reader
// keeps the character format as written so far ("written format"); group ends and paragraph
// starts compare with it and write only the differences.
//
// Hostile input is bounded here and in the lexer (group nesting, \bin lengths): fonts, colours,
// styles, lists, table rows, fields and notes have limits, and so have pictures' data; past a
// limit the read stops as for a damaged file, keeping what was read.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "document/border_sets.h"
#include "document/char_format.h"
#include "document/par_format.h"
#include "document/table_row.h"
#include "files/rtf/rtf_tokenizer.h"
#include "foundation/base/memory.h"

namespace qv {

class TAutoList;
class TDoc;
class TField;
class TOpenContext;
class TPar;
class TSection;
class TShape;
class TStyle;
struct TListLevel;

// Limits on what a file may make the reader hold.
inline constexpr size_t kRtfMaxFonts = 16384;
inline constexpr size_t kRtfMaxColours = 16384;
inline constexpr size_t kRtfMaxStyles = 4096;
inline constexpr size_t kRtfMaxLists = 4096;
inline constexpr size_t kRtfMaxRows = 1 << 20;
inline constexpr size_t kRtfMaxFields = 1 << 20;
inline constexpr size_t kRtfMaxShapes = 1 << 16;
inline constexpr int32_t kRtfMaxDestinationDepth = 200;
inline constexpr int64_t kRtfMaxPictureBytes = int64_t{1} << 28;
inline constexpr int32_t kRtfTwipsLimit = 31680;

// One font-table entry.
struct TRtfFont {
  int32_t Number = 0;
  int32_t Index = 0;  // the font manager's font number
  std::string Name;
  int32_t Charset = static_cast<int32_t>(0x80000000u);
};

// What a group saves at its "{" and gets back at its "}".
struct TRtfGroupEntry {
  TCharFormat Written;
  TParFormat Par;
  bool SkipText = false;
};

// A border line being filled by the border words: each of its four values is taken once.
struct TRtfBorderTarget {
  TBorderLine* Line = nullptr;
  std::array<TBorderLine*, 3> Also{};  // \box: the other three sides take the same settings
  bool Width = false, Style = false, Color = false, Space = false;
  void Select(TBorderLine* line) { *this = {line, {}, true, true, true, true}; }
  void SelectBox(TParBorders& b) {
    Select(&b.Top);
    Also = {&b.Left, &b.Right, &b.Bottom};
  }
  template <class F>
  void Apply(F set) {
    set(*Line);
    for (TBorderLine* line : Also)
      if (line != nullptr) set(*line);
  }
};

// A list definition of the list table, before an override makes document lists of it.
struct TRtfListDef {
  std::unique_ptr<TAutoList> List;
  int32_t Id = 0;
  int32_t LevelCounter = 0;
  std::array<int32_t, 9> PictureIndex{};  // -1: no picture bullet asked for
};

// A style being read: its RTF numbers beside the model's style.
struct TRtfStyleRead {
  std::unique_ptr<TStyle> Style;
  int32_t Number = -1;     // \s number (paragraph style)
  int32_t CharNumber = -1; // \cs number (character style)
  int32_t BasedOn = -1;
  int32_t Next = -1;
  bool SectionStyle = false;
  bool Named = false;
};

// One level of a list override (values unset until the override gives them).
struct TRtfOverrideLevel {
  int32_t StartAt = static_cast<int32_t>(0x80000000u);
  int32_t NumberFormat = static_cast<int32_t>(0x80000000u);
  int32_t Justification = 255;
  int32_t Follow = 255;
  int32_t NoRestart = 255;
  bool HasText = false;
  std::u16string LevelText;
  TCharFormat CharFormat;
  TParFormat ParFormat;
};

// A PNG of one pixel in the colour (0x00BBGGRR): placeholder pictures and horizontal rules.
std::vector<uint8_t> RtfOnePixelPng(uint32_t colour);

// Horizontal merges of the row being read: a cell defined with \clmrg widens the cell before it
// instead of adding one, and its \cell in the row's text ends no cell.
struct TRtfCellMerges {
  bool MergesLeft = false;  // the cell being defined merges into the one before
  int32_t Defined = 0;      // \cellx words of the row definition
  uint64_t Away = 0;        // bit i: the i-th \cell of a row ends no cell
  int32_t Words = 0;        // \cell words of the row so far
};

class TRtfReader {
 public:
  explicit TRtfReader(TOpenContext& context);
  ~TRtfReader();
  TRtfReader(const TRtfReader&) = delete;
  TRtfReader& operator=(const TRtfReader&) = delete;

  // Reads the RTF; the caller handles exceptions. Damaged() tells whether a bound was passed.
  void Read();
  bool Damaged() const { return damaged_; }

  // Reader flags.
  enum : uint32_t {
    rfMac = 0x0001,            // text bytes are Mac OS Roman
    rfRedirect = 0x0002,       // words target a style or list level
    rfNote = 0x0004,           // reading a note's text
    rfEndnote = 0x0008,        // the note being read is an endnote
    rfHeaderFooter = 0x0010,   // reading a header or footer
    rfSkipText = 0x0020,       // deleted revision text is dropped
    rfToc = 0x0040,            // inside a table of contents' result
    rfInstruction = 0x0080,    // reading a field instruction
    rfListPicture = 0x0100,    // pictures go to the list-picture list
    rfOverride = 0x0200,       // reading a list override
    rfOverrideStartAt = 0x0400,
    rfShape = 0x0800,          // reading a drawing shape
    rfPicProp = 0x1000,        // shape properties apply to the picture being read
    rfBorders = 0x2000,        // the border record has data to intern
    rfDropCap = 0x4000,        // the paragraph became a drop cap and was not ended
  };

 private:
  // ---- input (rtf_reader.cpp)
  TRtfItem Next();
  void Unread(const TRtfItem& item);
  // Skips what is left of the group at that lexer depth, its "}" included.
  void SkipRest(int32_t depth);
  // Passing a limit: the read stops here as for a damaged file.
  void StopDamaged();
  // Whether items of the group at that lexer depth remain (a pending item counts).
  bool InGroup(int32_t depth) const { return hasPending_ || lex_.Depth() >= depth; }
  bool Stopped() const { return damaged_; }

  // ---- groups and state (rtf_reader.cpp)
  void ReadGroup(bool push);
  void PushState();
  void PopState();
  void OnGroupStart();
  void OnDestinationStart();
  void OnControlSymbol(uint8_t symbol);

  // ---- text (rtf_reader.cpp)
  TPar& Cur();
  bool SkippingText() const { return (flags_ & rfSkipText) != 0; }
  bool HasChars() const;
  uint8_t LastCode() const;
  void AppendTag(uint8_t kind, int32_t value);
  void AppendCharTag(uint8_t kind, int32_t value, uint8_t code);
  void AppendSpecial(uint8_t code);
  void AppendTextRun(const uint8_t* bytes, int32_t count);
  void AppendRawBytes(const uint8_t* bytes, int32_t count);
  void AppendUnicode(char16_t unit);
  // The UTF-16 unit as one byte of its code page; 0 with NO_CODE_PAGE when no code page holds it.
  uint8_t UnitToByte(char16_t unit, uint32_t& codePage);
  void SetWritten(int kind, int32_t value);
  int32_t DocLanguage() const;

  // ---- control words (rtf_reader.cpp)
  void HandleControlWord(const TRtfItem& w);
  bool HandleCharWord(const TRtfItem& w, TCharFormat& target);
  bool HandleParWord(const TRtfItem& w, TParFormat& target);
  bool HandleBorderWord(const TRtfItem& w);
  // Words outside the keyword table that the reader still takes (\box).
  void HandleUnlistedWord(const TRtfItem& w);
  bool HandleSpecialWord(const TRtfItem& w);
  bool GuardedByTocStyle(int kind, int32_t value) const;
  void SetCharProp(TCharFormat& target, int kind, int32_t value);
  void Plain(TCharFormat& target);
  void Pard(TParFormat& target);
  // Forgets the shading words read for a paragraph or a style.
  void ClearShadingWords();
  // The paragraph shading from the shading words read so far (percentage, pattern and
  // background colour).
  void ApplyParShading(TParFormat& target) const;
  void AddTab(int32_t position, int kind);
  void InternPending(TParFormat& format);
  // InternPending, then the pending tabs and borders start afresh.
  void InternPendingInto(TParFormat& format);
  TParBorders& PendingBorders();
  int32_t ColourOf(int32_t index) const;
  int32_t FontOf(int32_t number) const;
  int32_t DefaultFontIndex() const;

  // ---- paragraphs (rtf_reader.cpp)
  void EndParagraph();
  void NewParagraph();
  void MakeDropCap();
  std::unique_ptr<TPar> MakePar(const TParFormat& format);

  // ---- tables, sections, settings (rtf_tables_sections.cpp)
  bool HandleTableWord(const TRtfItem& w);
  bool HandleSectionWord(const TRtfItem& w);
  bool HandleDocumentWord(const TRtfItem& w);
  void EndCell();
  void EndRow();
  void EndSection();
  void NewRowDefinition();
  void ResetCellRecord();
  bool TablesAllowed() const;
  TSection& Section();

  // ---- destinations (rtf_destinations.cpp)
  void Dispatch(int32_t word, int32_t depth);
  void ReadGroupText(std::u16string* wide, std::string* bytes, char16_t stop, int32_t depth);
  void ReadDestinationText(std::u16string* wide, std::string* bytes, int32_t depth);
  void ReadDateTime(double& target, int32_t depth);
  void ReadFontTable(int32_t depth);
  void FinishFontTable();
  void ReadColourTable(int32_t depth);
  void ReadBookmarkStart(int32_t depth);
  void ReadBookmarkEnd(int32_t depth);
  void ReadField(int32_t depth);
  void ReadFieldInstruction(int32_t depth);
  void FinishEmptyField(TField* field);
  void CloseFieldAtEnd(TField* field, bool xe);
  void ReadNote(int32_t depth);
  void ReadHeaderFooter(int slot, int32_t depth);
  void ReadNoteSeparator(bool endnote, int32_t depth);
  void ReadIndexEntry(int32_t depth);
  void ReadPairedText(int32_t depth);
  void ReadUnicodeForm(int32_t depth);
  void ReadListText(int32_t depth);
  void DropField(TField* field);
  bool AddField(std::unique_ptr<TField> field);

  // ---- style sheet and lists (rtf_stylesheet_lists.cpp)
  void ReadStyleSheet(int32_t depth);
  void ReadStyle(int32_t depth);
  void ReadKeyCode(TRtfStyleRead& style, int32_t depth);
  void FinishStyleSheet();
  void ReadListTable(int32_t depth);
  void ReadListDefinition(int32_t depth);
  void ReadListLevel(int32_t depth);
  bool HandleListLevelWord(const TRtfItem& w, TListLevel& level, TRtfOverrideLevel* over,
                           int32_t levelIndex);
  void ReadLevelText(std::u16string& text, int32_t depth);
  void ReadListOverride(int32_t depth);
  void FinishListOverride(bool startAt);
  void ReadListPictures(int32_t depth);
  bool HandleListWord(const TRtfItem& w);
  void ReadOldNumbering(int32_t depth);
  int32_t StyleIndexOfNumber(int32_t number) const;
  int32_t ListNumberOfOverride(int32_t number) const;

  // ---- pictures and shapes (rtf_pictures_shapes.cpp)
  void ReadPicture(int32_t depth);
  void ReadHexInto(std::vector<uint8_t>& out, int32_t depth);
  bool LoadPicture(TShape& shape, int kind, std::vector<uint8_t>& data);
  void MakeHorizontalRule(TShape& shape);
  void ReadShape(int32_t depth);
  void ReadShapeRestricted(int32_t depth);
  void ReadShapeProperty(int32_t depth);
  void ReadShapeText(int32_t depth);
  bool HandleShapeWord(const TRtfItem& w);
  void PlaceInline(std::unique_ptr<TShape> shape);
  bool LastOpenFieldIsShape() const;

  TOpenContext& ctx_;
  TDoc& doc_;
  TRtfLexer lex_;
  bool hasPending_ = false;
  TRtfItem pending_;
  bool damaged_ = false;
  int32_t destinationDepth_ = 0;

  uint32_t flags_ = 0;
  TCharFormat written_;
  std::vector<TRtfGroupEntry> stack_;
  TCharFormat* charTarget_ = nullptr;  // while rfRedirect: the style's or list level's formats
  TParFormat* parTarget_ = nullptr;
  char16_t highSurrogate_ = 0;
  std::unordered_map<char16_t, uint32_t> unitCache_;  // unit -> code page << 8 | byte

  // Fonts and colours.
  std::vector<TRtfFont> fonts_;
  bool fontsSorted_ = false;
  int32_t defaultFont_ = 0;  // the font manager's number for fonts not in the table
  std::vector<int32_t> colours_;

  // Tab stops and borders being collected for the current paragraph.
  bool tabsActive_ = false;
  std::vector<uint32_t> tabs_;
  int tabKind_ = 0, tabLeader_ = 0;
  bool bordersActive_ = false;
  TParBorders borders_{};
  TRtfBorderTarget borderTarget_;

  // Shading values.
  int32_t parShading_ = 0;
  int32_t parPattern_ = static_cast<int32_t>(0xFF000000u);
  int32_t parBack_ = static_cast<int32_t>(0xFF000000u);
  int32_t charShading_ = 0;
  int32_t charPattern_ = static_cast<int32_t>(0xFF000000u);

  // Tables and sections.
  std::unique_ptr<TTableRow> row_;
  TTableCell cell_;
  int32_t cellCount_ = 0;
  TRtfCellMerges merges_;
  int32_t column_ = 0;
  int32_t pageNumberStart_ = 1;
  bool pageNumberRestart_ = false;

  // Drop cap and dates.
  uint8_t dropType_ = 0, dropLines_ = 0;
  int16_t dropDistance_ = 0;
  std::array<int32_t, 6> date_{};  // year, month, day, hour, minute, second

  // Fields, notes, bookmarks.
  TField* currentField_ = nullptr;
  std::vector<std::u16string> bookmarkNames_;
  size_t fieldCount_ = 0;

  // Styles and lists.
  std::vector<TRtfStyleRead> styleNumbers_;  // number and index of each paragraph style read
  std::vector<int32_t> styleNumberOf_;       // by style index: its \s number
  TRtfStyleRead* styleRead_ = nullptr;
  std::deque<TRtfListDef> listDefs_;
  TRtfListDef* listDef_ = nullptr;  // the list definition being read
  std::vector<std::pair<TAutoList*, int32_t>> docListIds_;  // document lists and their list ids
  std::array<TRtfOverrideLevel, 9> overrideLevels_;
  int32_t overrideLevel_ = 0;
  int32_t overrideListId_ = 0;
  bool overrideHasId_ = false;
  int32_t overrideNumber_ = 0;
  TListLevel* levelRead_ = nullptr;
  TRtfOverrideLevel* overrideRead_ = nullptr;
  std::vector<TShape*> listPictures_;

  // Pictures and shapes.
  TShape* shape_ = nullptr;           // the shape being read
  std::string propertyName_;          // the name of the last \sn
  bool shapesRestricted_ = false;     // shapes read as plain content (a note)
  std::vector<uint8_t> jpegData_;
  int64_t pictureBytes_ = 0;
};

}  // namespace qv
