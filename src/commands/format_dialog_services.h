#pragma once
// The format, insert and mailing dialogs the commands run: page format, date and time, fields,
// footnotes, tables of contents, the index and its entries, drop caps, horizontal lines,
// hyperlinks, symbols, addresses and the one-line text prompt. The dialogs register the real
// service when they are built; the stand-in shows nothing and answers Cancel, so the commands
// that need a dialog change nothing until then.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "document/notes.h"
#include "document/section.h"

namespace qv {

class TAutoList;
class TDoc;
class TShapeProps;
struct TCharFormat;
struct TFormatStyleListInfo;
struct TGenerateTOC_Options;
struct TParFormat;
struct TPageParams;

// The drop cap of the dialog: kind 0 none, 1 dropped, 2 in the margin; lines, distance and font.
struct TDropCapChoice {
  uint8_t Kind = 0;
  int32_t Lines = 3;
  int32_t Distance = 0;
  std::string FontName;
  std::u16string Sample;  // the first selected paragraph's text
};

// The footnote dialog: mode 0 insert, 1 options only; the answer 0 insert, 1 cancel, 2 apply.
// It edits the numbering settings (preset from the section of the first selected paragraph),
// the sections they go to, and the note to insert.
struct TFootnoteChoice {
  int32_t Mode = 0;
  TNoteSettings Footnotes;
  TNoteSettings Endnotes;
  int32_t ApplyTo = 0;
  TInsertNoteOptions Note;
};

class TFormatDialogServices {
 public:
  virtual ~TFormatDialogServices() = default;
  // The page format dialog on a copy of the page parameters; true on OK with the choice of the
  // sections it applies to.
  virtual bool ExecutePageFormatDialog(TDoc& /*doc*/, TPageParams& /*params*/, int32_t& /*applyTo*/) {
    return false;
  }
  // The Date and Time dialog for the language (in and out); sets the language's last chosen
  // format; true on OK.
  virtual bool ExecuteDateTimeDialog(int32_t& /*language*/) { return false; }
  // The field dialog: the field type (255 none chosen) and the instruction lines; true on OK.
  virtual bool ExecuteFieldDialog(uint8_t& /*fieldType*/, std::vector<std::u16string>& /*instructions*/) {
    return false;
  }
  // Whether the field dialog edits fields of the type (its Modify Properties).
  virtual bool FieldDialogEditsType(int32_t /*fieldType*/) { return false; }
  virtual int32_t ExecuteFootnoteDialog(TDoc& /*doc*/, TFootnoteChoice& /*choice*/) { return 1; }
  // The Table of Contents dialog over the options; true on OK.
  virtual bool ExecuteTOCDialog(TGenerateTOC_Options& /*options*/) { return false; }
  // The date and time formats of a language (its built-in set and the user's own): the date
  // formats first (`dateCount` of them), then the time formats. The stand-in knows the locale's
  // short and long date and its time.
  virtual std::vector<std::u16string> DateTimeFormats(int32_t /*language*/, int32_t& dateCount) {
    dateCount = 2;
    return {u"ddddd", u"dddddd", u"ttttt"};
  }
  // The Index dialog on an INDEX instruction; true on OK.
  virtual bool ExecuteIndexDialog(std::u16string& /*instruction*/) { return false; }
  // The index entry dialog on an XE instruction: 1 OK, 8 mark all, anything else Cancel.
  virtual int32_t ExecuteXEDialog(std::u16string& /*instruction*/) { return 0; }
  virtual bool ExecuteDropCapDialog(TDropCapChoice& /*choice*/) { return false; }
  // The Horizontal Line dialog on the line's shape properties and the available width.
  virtual bool ExecuteHorizontalLineDialog(TShapeProps& /*props*/, int32_t /*width*/) { return false; }
  // Makes shape properties a horizontal line (shape type, height, fill).
  virtual void SetHorizontalLineDefaults(TShapeProps& /*props*/) {}
  // The hyperlink dialog, created with the command (4540 insert, 4541 edit), shown modally.
  virtual void RunHyperlinkDialog(int32_t /*commandId*/) {}
  // The Symbols dialog (made on first use).
  virtual void ShowInsertSymbol() {}
  // The same, with the font and the character code selected in its map (a double click on a
  // symbol field); the stand-in shows the dialog as it is.
  virtual void ShowInsertSymbolFor(const std::string& /*font*/, int32_t /*code*/) { ShowInsertSymbol(); }
  // The address book, then the addresses from it; true on OK with the addresses' texts.
  virtual bool ChooseAddresses(std::vector<std::string>& /*addresses*/) { return false; }
  virtual void ExecuteManageAddrBooksDialog() {}
  // The Font dialog on a character format (flags 1 values may stay mixed, 8 a find pattern) with
  // its help context; true on OK with the format changed.
  virtual bool ExecuteFontFormatDialog(TCharFormat& /*format*/, int32_t /*flags*/, int32_t /*helpContext*/) {
    return false;
  }
  // The proportional font scaling dialog; true on OK with a percentage other than 100.
  virtual bool ExecuteScaleFontDialog(int32_t& /*percent*/) { return false; }
  // The language chooser (options, caption, help context) on a language id; true on OK.
  virtual bool ExecuteChooseLangDialog(int32_t& /*language*/, int32_t /*options*/, const std::string& /*caption*/,
                                       int32_t /*helpContext*/) {
    return false;
  }
  // The Default Language dialog, run modally.
  virtual void ExecuteDefaultLanguageDialog() {}
  // A one-line text prompt; `validate` refuses a text (after its own message) by returning
  // false. True on OK.
  virtual bool ExecuteStrEditDialog(std::u16string& /*text*/, const std::string& /*caption*/,
                                    int32_t /*maxLength*/,
                                    const std::function<bool(const std::u16string&)>& /*validate*/) {
    return false;
  }

  // ---- Paragraphs, lists and styles
  // The Paragraph dialog on the format (flags 1 mixed values allowed, 2 a heading is selected,
  // 3 the Format Brush's format) with its help context; true on OK.
  virtual bool ExecuteParFormatDialog(TDoc* /*doc*/, TParFormat& /*format*/, int32_t /*flags*/,
                                      int32_t /*helpContext*/) {
    return false;
  }
  // The Borders and Shading dialog on a border set and a shading; true on OK.
  virtual bool ExecuteBorderDialog(TDoc& /*doc*/, int16_t& /*borders*/, int32_t& /*shading*/,
                                   bool /*formatBrush*/) {
    return false;
  }
  // The Style dialog on the record (preset with the current style); true on OK.
  virtual bool ExecuteEditStyleListDialog(TDoc& /*doc*/, TFormatStyleListInfo& /*info*/) { return false; }
  // The style chooser on a name (in and out); true on OK.
  virtual bool ChooseStyleName(TDoc* /*doc*/, std::string& /*name*/) { return false; }
  // The list dialog with its caption and flags on the list shown (null: none). On OK true, with
  // `chosen` the chosen list (null: no list) and `wholeList` when it applies to the whole list.
  virtual bool ExecuteListDialog(TDoc& /*doc*/, const TAutoList* /*shown*/, const std::string& /*caption*/,
                                 int32_t /*flags*/, std::unique_ptr<TAutoList>& /*chosen*/,
                                 bool& /*wholeList*/) {
    return false;
  }
  // A new bullet symbol, or picture, for the level of the list; true on OK.
  virtual bool ChooseBulletSymbol(TDoc& /*doc*/, TAutoList& /*list*/, int32_t /*level*/) { return false; }
  virtual bool ChooseBulletPicture(TDoc& /*doc*/, TAutoList& /*list*/, int32_t /*level*/) { return false; }
  // The tab-set routine: sets (or, at the unset position, edits) a tab stop in the paragraphs'
  // tab set; true when the set changed, with the new set and default interval.
  virtual bool SetTabStop(TDoc& /*doc*/, int32_t& /*defaultTabStop*/, int16_t& /*tabSet*/,
                          int32_t /*position*/) {
    return false;
  }
  // The list gallery of a kind (0 bulleted, 1 numbered, 2 outline) with its selected index. The
  // stand-in offers one built-in list of the kind.
  virtual void LoadListGallery(int32_t kind, std::vector<std::unique_ptr<TAutoList>>& gallery,
                               int32_t& selected);
};

void RegisterFormatDialogServices(std::unique_ptr<TFormatDialogServices> services);
TFormatDialogServices& FormatDialogServices();

}  // namespace qv
