#pragma once
// The options record: every persistent program option, grouped by settings section. The options
// holder owns the one program-wide instance; options_io.h loads it from and saves it to a
// settings store. Each field is the value of the settings key of the same name (given in the
// comment where the field name differs). Values that live objects of higher subsystems own
// (window placement, histories, lists of the document dispatcher) are kept here as plain data:
// loading fills them, the owner applies them, and refreshes them before the options are saved.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// The "not set" marker of 32-bit option values.
constexpr int32_t kOptNotSet = static_cast<int32_t>(0x80000000u);

// ---------------------------------------------------------------------------------------------
// 1. Internal options (section "Internal" and its sub-sections)

// Last font and character of the insert-symbol dialog.
struct TInsertSymbolFormState {
  std::string Font = "Symbol";   // "InsSymbol_Font"
  int32_t Symbol = 32;           // "InsSymbol_Symbol"
  bool operator==(const TInsertSymbolFormState&) const = default;
};

class TDoc;

// The options of a table of contents: what the Table Of Contents dialog edits and the program
// remembers (section "Internal\TOC"), and what a TOC field's instruction says. The defaults
// are those of an instruction without switches; the remembered record starts from
// DefaultTocOptions().
struct TGenerateTOC_Options {
  bool ShowPageNumbers = true;         // "PageNum"; \n clears it
  bool RightAlignPageNumbers = false;  // "RightAlign"; \r followed by one digit
  int8_t TabLeader = 0;  // 0 none, 1 dots, 2 dashes, 3 underline; -1 (the byte 255): the leader
                         // of each entry's own first tab stop
  bool ShowTitle = false;              // \e
  int32_t Levels = 3;                  // deepest heading level listed, 1..9 (\o "1-n")
  std::u16string Title;                // "TitleW"; the argument of \e
  std::string TemplateName;            // "Template": a template whose TOC styles are used
  // Not remembered: the first source of the TOC styles (none: only the templates), and whether
  // the table of contents at the caret is rebuilt from its own instruction and formatting.
  TDoc* StyleSource = nullptr;
  bool UpdateExisting = false;
  bool operator==(const TGenerateTOC_Options&) const = default;
};

// The remembered options before any were stored: page numbers right-aligned after dots, three
// levels, the title "Table Of Contents".
inline TGenerateTOC_Options DefaultTocOptions() {
  TGenerateTOC_Options o;
  o.RightAlignPageNumbers = true;
  o.TabLeader = 1;
  o.ShowTitle = true;
  o.Title = u"Table Of Contents";
  return o;
}

// Section "Internal\Envelopes" (the mailing dialogs complete its use).
struct TEnvelopeOptions {
  std::string LastAddrBook;      // path
  std::string LastAddr;          // lines, CR LF separated (stored in the "||" form)
  std::string CSVNames;          // lines
  std::string CSVTemplate;       // lines
  bool OmitRetAddr = false;
  std::string RetAddr;           // lines
  int32_t Width = 9360;          // twips
  int32_t Height = 5220;
  int32_t DA_Left = 4000;
  int32_t DA_Top = 5000;
  int32_t RA_Left = 1000;
  int32_t RA_Top = 1000;
  uint8_t FeedMethod = 5;
  bool FeedFace = false;
  std::string AddrFont;          // long text in its own key "AddrFont"
  bool operator==(const TEnvelopeOptions&) const = default;
};

// Section "Internal\MainWnd": the main window's state and normal (restored) bounds.
struct TMainWndPlacement {
  uint8_t State = 2;             // 0 normal, 1 minimised (never kept), 2 maximised
  int32_t Left = 0;              // "x" + screen suffix
  int32_t Top = 0;               // "y" + suffix
  int32_t Width = 0;             // "cx" + suffix
  int32_t Height = 0;            // "cy" + suffix
  bool operator==(const TMainWndPlacement&) const = default;
};

// Section "Internal\FindReplace".
struct TFindReplaceState {
  int32_t X = kOptNotSet;
  int32_t Y = kOptNotSet;
  uint8_t Size = 0;
  uint8_t FindTextFlags = 0;
  std::vector<std::u16string> FindHistory;     // most recent first; "StringsToFindW", "Find_A"...
  std::vector<std::u16string> ReplaceHistory;  // "StringsToReplaceW", "Replace_A"...
  bool operator==(const TFindReplaceState&) const = default;
};

struct TInternalOptions {
  int32_t RunCount = 0;          // as loaded; written + 1
  int32_t LastRunVer = 0;        // version that wrote the settings (missing: this version)
  uint32_t Flags = 80368;
  uint8_t SectMan_PropCategories = 255;
  uint8_t RevealCategories = 255;
  int32_t OpenDocDlgFilter = 8;
  int32_t OpenPictDlgFilter = 7;
  int32_t SavePictDlgFilter = 1;
  std::string InitDir;           // path; default documents folder + "Documents/"
  int32_t SavePict_Index = 1;
  int32_t SavePict_Digits = 3;
  std::string SavePict_Template = "Picture%s.%s";
  TInsertSymbolFormState InsSymbol;
  int32_t LastFntScaleFactor = 200;
  int32_t PasteSpec_Fmt = 0;     // default: the clipboard format id of "Rich Text Format"
  std::string LastUsedDocTemplate;
  std::string ImportStyles_LastUsedFile;
  int32_t HiliteCol = 65535;
  int32_t FontCol = 255;
  int32_t LastChkForUpd = 0;     // day index; default today
  std::u16string INDEX_Instr = u"INDEX";
  uint8_t OpenDlgPreview = 1;
  uint8_t TemplateDlgPreview = 2;
  int32_t OpenDlgSize = 4915275; // two 16-bit halves
  std::string LastFavSubfolder;
  std::string SaveSelAs_DefDocFmt = "RTF";
  int32_t DefBulList = 0;
  int32_t DefNumList = 0;
  int32_t DefOutlList = 0;
  std::string LastBulPic;        // path
  uint8_t NoteKind = 1;          // 1 or 2; stored as a bool of kind - 1
  std::string Ftn_CustomMarkFont = "Wingdings";
  int32_t Ftn_CustMarkSymb = 61569;
  int32_t Ftn_CustomMarkLang = 0;
  std::vector<uint8_t> OptMsgs = std::vector<uint8_t>(54, 0);  // one flag a optional message
  int32_t SideBySide_Zoom = 100;
  uint8_t SideBySide_ZoomKind = 2;
  uint8_t NavObjType = 4;
  int32_t InsTableCols = 5;
  int32_t InsTableRows = 5;
  int32_t SplitCellsCols = 2;
  int32_t SplitCellsRows = 1;
  int32_t TableToText_CellSep = 2;
  int32_t WritingTarget = 500;
  uint8_t WritingTargetType = 2;
  std::string HRProps = "{\\sp{\\sn fillColor}{\\sv 8421504}}{\\sp{\\sn alignHR}{\\sv 1}}";
  std::array<uint8_t, 8> DropCapProps = {1, 3, 0, 0, 0, 0, 0, 0};
  std::string DropCapFont;
  TGenerateTOC_Options TOC = DefaultTocOptions();
  TEnvelopeOptions Envelopes;
  TMainWndPlacement MainWnd;
  TFindReplaceState FindReplace;
  // Keys of their own under the root, kept as CR LF separated lines for their managers.
  std::string FontHistory = "Arial\r\nTimes New Roman\r\nVerdana";
  std::string FavSymbols;        // lines "font<TAB>code"
  bool operator==(const TInternalOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 2. New-document parameters (section "NewDocParams", and "NewDoc_Index" of "General")
struct TNewDocParams {
  bool Maximize = true;
  uint8_t ViewMode = 0;
  uint8_t ViewModeTXT = 2;
  int32_t NewDoc_Index = 1;
  bool operator==(const TNewDocParams&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 3. General options (section "General", "DefDocTemplates" and the remembered file lists)

// Section "DefDocTemplates".
struct TDefDocTemplates {
  std::string DefDocFmt = "RTF";             // "RTF", "DOC", "DOCX", "COD" or "TXT"
  std::string Template_RTF = "Normal.rtf";
  std::string Template_DOC = "Normal.rtf";
  std::string Template_DOCX = "Normal.rtf";
  std::string Template_COD = "Normal.rtf";
  std::string Template_TXT = "Plain.rtf";
  bool operator==(const TDefDocTemplates&) const = default;
};

// One remembered file or folder list, most recent first (the dispatcher's lists are filled from
// and copied back into these).
struct TRememberedList {
  std::vector<std::string> Items;
  bool Locked = false;           // folder lists only
  bool operator==(const TRememberedList&) const = default;
};

// The six remembered lists in their section order: "RecentDocs", "OpenDoc_Files",
// "SaveDocAs_Files", "InsertDoc_Files", "InsertPicture_Folders", "InsertPicture_Files".
constexpr int kRememberedListCount = 6;

struct TGeneralOptions {
  uint8_t Flags = 37;
  int32_t DocsToKeep = 10;
  uint8_t Measurements = 0;      // default 1 where the user locale measures in U.S. units
  std::string UsrName;           // default: the user's login name
  std::vector<int32_t> FontSizes;  // half-points, sorted; default list when loaded empty
  TDefDocTemplates DefDocTemplates;
  std::array<TRememberedList, kRememberedListCount> FileLists;
  bool operator==(const TGeneralOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 4. View options (section "View")
struct TViewOptions {
  uint16_t Flags = 8998;         // 13094 on a wide screen
  uint8_t SpecSymbTypesEx = 255;
  uint8_t FldShading = 2;
  uint8_t Toolbars = 1;
  uint8_t ToolbarStyle = 0;
  uint8_t ToolbarAlign = 0;
  bool DocBar = true;
  uint8_t DocBarAlign = 2;
  int32_t DocBarWidth = 170;
  int32_t DocBarRows = 1;
  int32_t SBarPanels3 = 508021;
  bool ControlBoard = true;
  uint8_t CBAlign = 0;
  int32_t CB_cx = 0;
  // Control-board tabs by the program's own tab numbers 0..10 (mapped to stored ids on disk).
  int32_t CBActiveTab = 0;       // "CBTab" low word
  int32_t CBSecondTab = 0;       // "CBTab" high word
  uint32_t CBDisabledTabs = 0;   // "DisCBTabs", bit n = tab n
  uint32_t CBSecondPaneTabs = 0; // "CBTabs2", bit n = tab n
  int32_t DocMap_Lvls = 8;
  uint8_t DocMap_FntSize = 2;
  uint8_t LstMan_ShowLists = 3;
  uint8_t FS_GUI = 128;
  int32_t DefZoom = 0;
  uint16_t Spotlight = 201;
  int32_t SpotlightH = 72;
  bool operator==(const TViewOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 5. Edit options (section "Edit"). The hyperlink character format is built from the two
// hyperlink values by the document layer.
struct TEditOptions {
  uint32_t Flags = 2135487;
  int32_t HLinkULine = 1;
  int32_t HLinkColor = 0xFF0000;
  int32_t PowerType_SuggAddedLength = 2;
  bool operator==(const TEditOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 6. Load and save options (section "LoadSave"; "BackupFolder" is kept by the holder)
struct TLoadSaveOptions {
  uint16_t Flags = 6835;
  int32_t Backup_MaxFiles = 5;
  int32_t Backup_MinDiff = 2;
  int32_t Backup_MaxAmount = 100;
  std::string DocsToReload;          // ";"-separated stored paths, or a project file
  std::string ReloadDoc_ToActivate;  // path
  int32_t AutoSave = 3;
  std::string DocFolder;             // with trailing separator; default documents folder + "Documents/"
  uint8_t ReuseEncPass = 0;
  uint8_t EbookMargUnit = 2;
  std::string EbookMargL = "0.5";
  std::string EbookMargR = "0.5";
  std::string EbookMargT = "0.5";
  std::string EbookMargB = "0.5";
  uint8_t EbookFntSave = 1;
  std::string EbookFntEmbedEx;
  bool EbookForceManualLists = false;
  bool Ebook300KB = true;
  std::string kindlegen_cmdline = "\"%1\"";
  std::string Ebook_LastSavedDoc;
  std::string BatConv_DestFmt;
  int32_t TxtEncoding = -1;
  uint8_t TxtLineEnd = 0;
  bool operator==(const TLoadSaveOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 7. Print options (section "Print")
struct TPrintOptions {
  uint8_t Flags = 5;
  std::string PrnDuplexInfoEx;
  int32_t BookletSize = 2147483647;  // 2147483647: one signature
  bool operator==(const TPrintOptions&) const = default;
};

// 8. Spellcheck flags (section "Spellcheck")
struct TSpellcheckOptions {
  uint16_t Flags2 = 496;
  bool operator==(const TSpellcheckOptions&) const = default;
};

// 9. Page-number options (section "PageNum")
struct TPageNumOptions {
  uint8_t PageNumPos = 1;
  uint8_t PageNumAlign = 2;
  bool FirstPage = true;             // "1stPage"
  bool operator==(const TPageNumOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 10. Colour options (section "ColorScheme")

// A named user colour scheme; Data is the scheme in its hex text form (8 digits a colour).
struct TUserColorScheme {
  std::string Name;
  std::string Data;
  bool operator==(const TUserColorScheme&) const = default;
};

constexpr uint32_t kAutoColor = 0xFF000000u;

struct TColorOptions {
  std::string Scheme;                    // "Colors2": the interface scheme in hex text form
  std::vector<TUserColorScheme> UserSchemes;  // "ColorScheme\UsrSchemes2", in stored order
  std::vector<uint32_t> Palette;         // "ColPal"; entry 0 is always the automatic colour
  int32_t MoreCols = 0;
  std::array<uint32_t, 16> CustomColors; // "ColDlg_CustCols"
  TColorOptions() { CustomColors.fill(0xFFFFFFFFu); }
  bool operator==(const TColorOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 11. Autocorrect options (section "Autocorrect")
struct TAutocorrectOptions {
  uint16_t Flags = 7167;
  std::vector<std::string> FileExts;     // sorted
  std::vector<std::string> WebDomains;   // sorted; built in, not stored
  bool operator==(const TAutocorrectOptions&) const = default;
};

// 12. Section "SaveAsWeb"
struct TSaveAsWebOptions {
  std::string KWrds;
  std::string Author;                    // default: the user's login name
  bool SepFldr = true;
  int32_t BkClr = kOptNotSet;
  std::string BkImg;                     // path
  bool operator==(const TSaveAsWebOptions&) const = default;
};

// 13. Section "ClipLib" (the clip library folder is the documents folder + "Clip Library")
struct TClipLibraryOptions {
  uint8_t Flags = 3;
  std::string RecentClip;                // path
  std::string AddTextClip_RecentFolder;
  std::string AddGraphicClip_RecentFolder = "Images";
  bool operator==(const TClipLibraryOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 14. Date and time formats (section "DateTime"); the date-time dialogs complete these records.
struct TLangDateTimeFormatInfo {
  int32_t Lang = 0;
  int32_t DefDateFmt = -1;               // -1: none
  int32_t DefTimeFmt = -1;
  int32_t LastDateFmt = -1;
  std::string Overrides;                 // the user's own formats, CR LF separated
  bool Changed = false;                  // only changed languages are stored
  bool operator==(const TLangDateTimeFormatInfo&) const = default;
};

struct TDateTimeFormatInfo {
  uint8_t LastUsedDateTimeCaseFormat = 0;
  bool UpdDtTm = false;
  std::vector<TLangDateTimeFormatInfo> Langs;
  bool operator==(const TDateTimeFormatInfo&) const = default;
};

// ---------------------------------------------------------------------------------------------
// 16. Overused-words options (section "OverusedWords")

// One language's four word lists (lines separated by CR LF), in the finder's order.
struct TOverusedWordsLangData {
  int32_t Lang = 0;
  std::array<std::string, 4> Lists;
  bool operator==(const TOverusedWordsLangData&) const = default;
};

struct TOverusedWordsOptions {
  uint8_t Flags = 91;
  int32_t X = kOptNotSet;
  int32_t Y = kOptNotSet;
  int32_t MinDistance = 15;
  int32_t SentSize = 25;
  std::vector<uint8_t> LangCustomDataRaw;         // the blob as read; written back unchanged
  std::vector<TOverusedWordsLangData> LangData;   // decoded on demand or set by the finder
  bool operator==(const TOverusedWordsOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// Per-document data of the document dispatcher, kept as the blobs "WritingData" and "EbookMeta".

// Three values owned by the dispatcher; the third is the day index of the document's last use.
struct TWritingDataRecord {
  int32_t Value1 = 0;                    // writing time in seconds
  int32_t Value2 = 0;                    // characters typed
  int32_t DayIndex = 0;
  bool operator==(const TWritingDataRecord&) const = default;
};

struct TWritingDataEntry {
  std::string Name;                      // document path (or a special document's name)
  TWritingDataRecord Data;
  bool operator==(const TWritingDataEntry&) const = default;
};

struct TEbookMetaEntry {
  std::string Name;
  std::vector<uint8_t> Data;
  bool operator==(const TEbookMetaEntry&) const = default;
};

// ---------------------------------------------------------------------------------------------
// The whole record, groups in their fixed order.
struct TOptions {
  TInternalOptions Internal;
  TNewDocParams NewDocParams;
  TGeneralOptions General;
  TViewOptions View;
  TEditOptions Edit;
  TLoadSaveOptions LoadSave;
  TPrintOptions Print;
  TSpellcheckOptions Spellcheck;
  TPageNumOptions PageNum;
  TColorOptions Colors;
  TAutocorrectOptions Autocorrect;
  TSaveAsWebOptions SaveAsWeb;
  TClipLibraryOptions ClipLib;
  TDateTimeFormatInfo DateTime;
  // 15. The list gallery document is kept by the list gallery itself; it is written as the
  // long text "ListGallery" through TOptionsServices.
  TOverusedWordsOptions OverusedWords;
  std::vector<TWritingDataEntry> WritingData;  // sorted by name
  std::vector<TEbookMetaEntry> EbookMeta;      // sorted by name
  bool operator==(const TOptions&) const = default;
};

// ---------------------------------------------------------------------------------------------
// Values the options holder keeps beside the record ("Preview", the normal-view part of "View",
// and "BackupFolder" of "LoadSave").

// The five view bytes of a view: ruler, vertical ruler, scroll bars (0-3), status bar, mouse
// mode (0-6; always 0 for the normal view).
struct TViewSettings {
  bool Ruler = false;
  bool VerRuler = false;
  uint8_t ScrollBars = 3;
  bool StatusBar = true;
  uint8_t MouseMode = 0;
  bool operator==(const TViewSettings&) const = default;
};

struct TZoomSetting {
  int32_t Factor = 100;                  // percent
  uint8_t Kind = 4;
  bool operator==(const TZoomSetting&) const = default;
};

struct THolderSettings {
  std::string BackupFolder;              // the folder in use (never empty after loading)
  TZoomSetting PreviewZoom;
  TViewSettings NormalView;
  TViewSettings PreviewView{false, false, 2, true, 3};
  bool operator==(const THolderSettings&) const = default;
};

}  // namespace qv
