#pragma once
// TDoc: one document, shown in an editor window or held hidden (clipboard contents, previews,
// templates, dialog samples). Its paragraphs of all four stories live in one list, one story
// after another (0 main text, 1 footnotes, 2 endnotes, 3 headers and footers), with a count per
// story. Invariants: the list holds exactly the sum of the story counts; story 0 is never empty;
// every paragraph's Index is its place in the list and its Doc is this document; there is always
// at least one section.
#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/doc_file_state.h"
#include "document/doc_file_settings.h"
#include "document/doc_flags.h"
#include "document/doc_layout_state.h"
#include "document/doc_position.h"
#include "document/doc_properties.h"
#include "document/doc_view.h"
#include "document/drop_caps.h"
#include "document/edit_services.h"
#include "document/field_update_state.h"
#include "document/fragment_pool.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/table_requests.h"
#include "document/table_row.h"

namespace qv {

class TAutoList;
class TDocEditorWindow;
class TField;
class TFieldIndex;
class TPage;
class TSection;
class TShape;
class TStyleList;
class TCompoundFragment;
struct TGenerateTOC_Options;
struct TNoteSettings;
struct TInsertNoteOptions;
struct TPageParams;
struct TSectionFormat;

// Stories.
enum : int32_t {
  stMain = 0,
  stFootnotes = 1,
  stEndnotes = 2,
  stHeadersFooters = 3,
  StoryCount = 4,
};

// View modes.
enum : uint8_t { vmPrintLayout = 0, vmDraft = 1, vmDraftWrapped = 2 };

// Scoped document flags that this object itself uses.
enum : int32_t {
  dfBuilding = 0,            // the document is being built
  dfFreeWindowAtOnce = 130,  // a destroyed document frees its window at once
  DocFlagCount = 256,
};

class TDoc {
 public:
  // A document with one empty paragraph and one section. A document that is not hidden gets an
  // editor window from the registered services (none without a window system).
  explicit TDoc(bool hidden);
  ~TDoc();
  TDoc(const TDoc&) = delete;
  TDoc& operator=(const TDoc&) = delete;

  // --- Content ---
  std::vector<std::unique_ptr<TPar>> Paragraphs;
  std::array<int32_t, StoryCount> StoryCounts = {0, 0, 0, 0};
  std::vector<std::unique_ptr<TSection>> Sections;
  std::unique_ptr<TStyleList> Styles;
  std::vector<std::unique_ptr<TAutoList>> Lists;
  std::vector<std::unique_ptr<TField>> Fields;
  std::vector<TPage*> Pages;  // laid-out pages, owned by the layout's pools
  TDocProps Props;
  int32_t DefaultTabStop = 720;
  // Settings the file formats carry (document/doc_file_settings.h).
  TDocFileSettings FileSettings;
  // Where a document read for pasting goes (pt* bits of document/doc_file_settings.h); 0 for a
  // document read for itself.
  uint8_t PasteTarget = 0;

  // --- State ---
  int32_t DocumentNumber = 0;  // 1 for the first document of the run, counting up
  uint8_t Modified = 0;
  bool Hidden = false;
  bool NoWindow = true;       // no editor window is attached (yet)
  bool NewUntitled = false;   // a new document that has never been saved
  std::string FileName;
  int32_t FormatIndex = 0;    // 0 RTF, 1 DOC, 2 DOCX, 3 ODT, 4 encrypted, 5 Write, 6 plain text
  int32_t TxtEncoding = 1;    // plain-text encoding (code page)
  uint8_t TxtLineEnd = 0;
  std::unique_ptr<TDocEditorWindow> EditorWindow;
  double CreationTime = 0;
  TDocFileState FileState;  // its file, saves, backups and safe copies

  // --- View ---
  int32_t ZoomPercent = 100;  // 10 to 500
  TDocView View;
  uint8_t ViewMode = vmPrintLayout;
  uint8_t SavedViewMode = vmPrintLayout;
  bool PrintPreview = false;
  bool Spotlight = false;
  bool DimmingOff = false;                 // paragraphs of other stories are not painted grey
  TField* HeaderFooterInPlace = nullptr;   // header or footer field being edited in place

  // --- Hyphenation ---
  uint8_t AutoHyphenation = 0;
  uint8_t HyphenateCaps = 1;
  int32_t HyphenationZone = 360;

  // --- Caret, selection and formats ---
  TCharFormat TypingFormat;
  TDocPosition Caret;
  TDocPosition SelectionAnchor;
  TFragmentRef Selection;
  TFragmentRef VisibleSelection;
  TFragmentRef SelectionBase;
  std::array<TFragmentRef, 2> WorkFragments;
  TParFormat CurParFormat;
  uint8_t KeepIndentsOnListRemoval = 0;  // removing list formatting leaves indents as they are
  TCharFormat CurCharFormat;
  TCharFormat FootnoteMarkFormat;  // unset but superscript
  TCharFormat EndnoteMarkFormat;
  bool HasSearchStart = false;
  TDocPosition SearchStart;

  // --- Shape selection, locked ranges and per-selection bytes (selection*.cpp) ---
  std::vector<TShape*> SelectedShapes;     // floating shapes selected as objects (not owned)
  std::vector<TShape*> ShapesInSelection;  // floating shapes anchored in wholly selected paragraphs
  TShape* WrapEditShape = nullptr;         // the selected shape whose wrap outline is edited
  TFragmentRef RevealFragment;             // the place the pinned reveal tool shows; null none
  // Compare Formatting: 0 none, 1 waiting for a selection, 2 the first fragment stored, 3 both;
  // the two fragments are made on first use.
  uint8_t CompareFormatState = 0;
  std::array<TFragmentRef, 2> CompareFragments;
  TFragmentRef LockedRanges;               // locked selections, sorted and merged; null none
  uint32_t SelectionColor = 0x00D77800u;   // highlight of the selection ...
  uint32_t LockedRangeColor = 0x00C0C0C0u; // ... and of the locked ranges (swapped with it)
  bool LockedRangesHidden = false;         // a view state that shows no locked ranges
  TDocRange PaintedSpotlightRange;         // the spotlight range last painted
  std::array<uint8_t, 2> FindInSelection = {0, 0};  // the find tool's within-selection state
  uint8_t ProofSelectionState = 0;                 // the proofing dialog's selection byte
  int32_t SelectionCacheValue = INT32_MAX;         // reset whenever the selection changes

  // --- Formats around the caret (typing_format.cpp) ---
  TCharFormat FormatBeforeCaret;
  TCharFormat FormatAfterCaret;
  std::array<TCharFormat, 2> FormatsAroundRange;  // at a range's start and at its end
  int32_t TypingLayout = 0;                       // keyboard layout or language for typing

  // --- Undo ---
  std::vector<std::unique_ptr<TUndoableOperation>> UndoList;
  int32_t UndoPosition = -1;         // the last done operation; -1 none
  int32_t SavePoint = INT32_MIN;     // markers: the index at the last save, safe copy, backup
  int32_t SafeCopyPoint = INT32_MIN;
  int32_t BackupPoint = INT32_MIN;
  TPostActions PostActions;
  TPostActions SecondPostActions;
  // The open-operation stack (null entries: stretches that record nothing) and its top.
  std::vector<TUndoableOperation*> OpenOperations;
  TUndoableOperation* CurrentOperation = nullptr;
  uint8_t OperationNameOverride = 255;  // 255 none

  // --- Further document settings that undo records exchange ---
  int32_t DefaultLanguage = 0;     // 0 none
  uint8_t NoteSeparatorFlags = 3;  // 1 footnote separator shown, 2 endnote separator shown
  int32_t HyphenationLimit = 0;    // consecutive hyphenated lines, 0 no limit

  // --- Sections (document/sections.cpp) ---
  // The sections sorted by first paragraph; rebuilt with the ranges.
  std::vector<TSection*> SectionRangeList;
  bool SectionRangesStale = true;
  bool ColumnWidthsStale = true;
  // Largest page width, text width and page height over the page sections in twips, then the
  // same in pixels at zoom 100 (two spare values at the end).
  std::array<int32_t, 8> MaxPageExtent = {};

  // --- Header and footer editing in place (document/header_footer.cpp) ---
  int32_t HeaderFooterPage = -1;          // page of the field edited in place
  TDocPosition HeaderFooterSavedCaret;    // caret when editing started
  TSection* HeaderFooterPageSection = nullptr;  // while its fields are evaluated
  int32_t HeaderFooterPageNumber = 0;

  // --- Paragraphs and stories ---
  int32_t ParCount() const { return static_cast<int32_t>(Paragraphs.size()); }
  TPar* Par(int32_t index) const { return Paragraphs[static_cast<size_t>(index)].get(); }
  // The first story whose range of indexes holds the paragraph; 3 when none does.
  int32_t StoryOfParagraph(int32_t index) const;
  int32_t FirstParagraphOfStory(int32_t story) const;
  // First + count - 1 (one less than the first when the story is empty).
  int32_t LastParagraphOfStory(int32_t story) const;
  // Inserts a paragraph at the index, counting it to the story (the index must lie within or at
  // the end of the story); sets its Doc and renumbers the paragraphs from there.
  TPar* InsertParagraph(int32_t index, int32_t story, std::unique_ptr<TPar> par);
  // Appends a new empty paragraph with the format at the end of the story.
  TPar* AppendParagraph(int32_t story, const TParFormat& format);
  // Removes the paragraph and returns it (story 0 keeps at least one paragraph: removing its
  // last one raises Exception).
  std::unique_ptr<TPar> RemoveParagraph(int32_t index);
  // Sets Index of the paragraphs from the index on.
  void ReindexParagraphs(int32_t from = 0);
  // The list whose number is given (Format.List of paragraphs); null for 0, unset or unknown.
  TAutoList* ListByNumber(int32_t number) const;
  // The character format in force at an offset: that of the character before it (of the first
  // character at offset 0), with the rules at the edges of fields and drop caps: typing after a
  // note number is not superscript, after a symbol not in the symbol font, after a hyperlink
  // not link-styled (typing_format.cpp).
  void GetCharFormatAt(int32_t par, int32_t offset, TCharFormat& out) const;

  // Whether a paragraph is painted grey (another story is being edited).
  bool IsParagraphDimmed(int32_t index) const;
  // The field of kind 8 (drop cap) at the paragraph's start when the paragraph has one; null
  // otherwise. Normalises the paragraph.
  TField* GetDropCapField(int32_t index);

  // --- Selection queries and story ranges (selection_queries.cpp, story_ranges.cpp) ---
  // Nothing is selected when Selection is one empty range.
  bool HasSelection() const;
  bool IsSingleFragmentSelection() const;
  // The position lies in a selected range (start included, end excluded).
  bool IsPositionSelected(const TDocPosition& position) const;
  // The caret's paragraph format says table, and the selection (if any) lies in one table.
  bool SelectionInOneTable();
  // The fragment selects cells: both ends in one table and no range inside one cell stops
  // short of that cell's end.
  bool IsCellSelection(const TCompoundFragment& fragment);
  // Something is selected in a table and all of it is row-end marks.
  bool SelectionOnlyRowEnds();
  bool AtRowEndMark();
  bool IsParagraphWhollySelected(int32_t par) const;
  // Exactly one inline shape.
  bool IsSingleShapeRange(const TDocRange& range) const;
  bool IsInlineShapeSelected() const;
  // The inline shape at the position; null when the character is not one.
  TShape* GetShapeAt(const TDocPosition& position) const;
  bool FragmentHasHeadings(const TCompoundFragment& fragment) const;
  bool SelectionHasHeadings() const;
  bool RangeSplitsTableRow(const TDocRange& range);
  // The range takes in the last paragraph mark of a footnote or endnote.
  bool RangeHasNoteEndMark(const TDocRange& range) const;
  bool SelectionHasNoteEndMark() const;
  bool SelectionInNotes() const;
  // The position holds the last character of the innermost note around it.
  bool IsNoteEndAt(const TDocPosition& position) const;
  bool RangeCutsMultiParField(const TDocRange& range) const;
  // Some character of the range is below 32 (other than a UTF-16 character).
  bool RangeHasSpecialChars(const TDocRange& range) const;
  // The story of the selection (of the caret without one); 255 when it spans stories.
  uint8_t GetSelectionStory() const;
  // A copy of the selection, or the caret's whole paragraph when nothing is selected.
  TFragmentRef GetSelectionFragment() const;
  void GetWholeDocRange(TDocRange& out) const;
  void GetMainTextRange(TDocRange& out) const;
  void GetInPlaceFieldRange(TDocRange& out) const;
  // The header or footer being edited in place, else the whole story of the caret.
  void GetCurrentStoryRange(TDocRange& out) const;
  void GetTextAndNotesRange(TDocRange& out) const;
  void GetTextStoriesFragment(TCompoundFragment& fragment) const;
  // The note-text fields of story 1 or 2 in order.
  void ListNotesOfStory(std::vector<TField*>& list, int32_t story) const;

  // --- Selection model (selection.cpp) ---
  // Flags of SetSelection.
  enum : uint8_t { ssNoInterfaceUpdate = 1, ssReplace = 2, ssAddToBase = 4, ssNoChangeNotice = 8 };
  void SetSelection(int32_t startPar, int32_t startOffset, int32_t endPar, int32_t endOffset,
                    uint8_t flags = 0);
  // Recomputes what depends on the selection (shapes, visible selection, current formats).
  void SelectionChanged();
  void SelectAll();
  void ClearSelection(uint8_t flags = 0);
  void InvertSelection();
  // Replaces the fragment by the gaps between its ranges within the bounds.
  void InvertFragments(TCompoundFragment& fragment, const TDocRange& bounds);
  void SaveSelectionBase();
  void SnapAnchorToSelection();
  void CaretToSelectionStart();
  int32_t GetFirstSelectedPar() const;
  // The normal form of a fragment in tables and stories.
  void NormalizeFragments(TCompoundFragment& fragment);
  bool SameFragments(const TCompoundFragment& a, const TCompoundFragment& b);
  bool IsSelectionContiguous();
  // The canonical ends of one range (cell flag 1: an end at offset 0 of a table paragraph stays).
  void AdjustRangeEnds(int32_t& startPar, int32_t& startOffset, int32_t& endPar,
                       int32_t& endOffset, uint8_t cellFlag);
  void ExpandSelectionToCells();
  void SplitFragmentsAtCells(TCompoundFragment& fragment);
  void ExcludeCollapsedText(TCompoundFragment& fragment);
  bool ExtendOverCollapsedText(TCompoundFragment& fragment);
  void CollectShapesInFragment(const TCompoundFragment& fragment, std::vector<TShape*>& list);

  // --- Selection display and selected shapes (selection_display.cpp) ---
  void RepaintRange(const TDocRange* range, const TCompoundFragment* fragment);
  void RepaintSelectionChange(const TDocRange& previous);
  bool SelectionFullyInView();
  bool SelectionOutOfView();
  void ScrollToNextSelectedItem();
  // Counts the inline shapes (flags 1: pictures, 2: horizontal rules) of the selection, with
  // flags 1 also the floating ones selected; fills the list and the fragment when given.
  int32_t GetSelectedShapes(std::vector<TShape*>* list, TCompoundFragment* fragment,
                            uint8_t flags);
  bool HasFloatingShapes();
  void ValidateWrapEditShape();
  bool HasLockedRanges() const;
  void SwapLockedRanges();

  // --- Formats at the selection and the typing format (typing_format.cpp) ---
  void GetCommonParFormat(const TCompoundFragment* fragment, const TDocRange& range,
                          TParFormat& out) const;
  void GetCommonCharFormat(const TCompoundFragment* fragment, const TDocRange& range,
                           TCharFormat& out) const;
  void GetCharFormatAtPos(const TDocPosition& position, TCharFormat& out) const;
  int32_t GetLanguageAt(int32_t par, int32_t offset) const;
  void UpdateTypingFormat(const TDocPosition& position, uint8_t force);
  void SaveFormatsAroundRange(const TDocRange& range);

  // --- Words, sentences and text of ranges (words.cpp, sentences.cpp, range_text.cpp) ---
  void GetNavigationRange(TDocRange& out);
  char16_t WideCharAt(int32_t par, int32_t offset) const;
  TDocPosition PrevWordStart(const TDocPosition& position);
  TDocPosition NextWordStart(const TDocPosition& position);
  TTextRun WordAt(const TDocPosition& position);
  TTextRun UrlTokenAt(const TDocPosition& position);
  TTextRun FileNameTokenAt(const TDocPosition& position);
  TTextRun LinkTokenAt(const TDocPosition& position);
  TTextRun WordOrLinkAt(const TDocPosition& position);
  bool IsListNumberToken(const TTextRun& run, const std::string& text) const;
  bool IsSentenceStart(const TDocPosition& position);
  TDocRange SentenceAt(const TDocPosition& position);
  // Flags of the wide text: breaks as spaces, find-pattern codes, non-breaking spaces as
  // U+00A0, visible names of special characters.
  enum : uint8_t { wtBreaksAsSpaces = 1, wtFindPattern = 2, wtNbspAsA0 = 4, wtVisibleNames = 8 };
  std::string GetTextRun(const TTextRun& run) const;
  std::u16string GetWideTextRun(const TTextRun& run, uint8_t flags) const;
  std::string GetRangeText(const TDocRange& range) const;
  std::u16string GetRangeWideText(const TDocRange& range, uint8_t flags) const;
  std::u16string GetRangeFullWideText(const TDocRange& range, uint8_t flags) const;
  std::u16string GetParagraphDisplayText(int32_t par) const;
  bool IsRangeWordBounded(const TDocRange& range) const;
  bool AreFragmentsWordBounded(const TCompoundFragment& fragment) const;

  // --- Lifecycle and state ---
  // Prepares a new empty document for the user: properties, the first paragraph's stream, the
  // default styles, the caret.
  void InitNewDocument();
  void SetModified(uint8_t flag);
  bool IsModifiedOrUntitled() const { return Modified != 0 || NewUntitled; }
  // Whether the document's file lies in the templates folder (false for a new document).
  bool IsTemplate() const;
  void ResetSearchStart() { HasSearchStart = false; }
  // Marks this document as the one being changed (see CriticalEditDoc).
  void EnterCriticalEdit();
  void LeaveCriticalEdit();
  // The name of a new document: "Doc%.2d.<extension>" in the folder of the file dialogs.
  std::string MakeNewDocumentName() const;
  // A file name proposed from the first sentence of the main text; the given name when there is
  // none. With the title flag the text is returned as a title (not cut, no extension).
  std::string SuggestFileName(const std::string& givenName, bool title);

  // --- View: coordinates (doc_view.cpp) ---
  // Twips to pixels at the densities of the zoom, rounded half up (negative values toward 0).
  int32_t TwipsToPixelsY(int32_t twips) const;
  int32_t TwipsToPixelsX(int32_t twips) const;
  plat::Rect RectTwipsToPixels(const plat::Rect& twips) const;
  // The same for a further scale in percent.
  int32_t ScaledTwipsToPixelsY(int32_t twips, int32_t percent) const;
  int32_t ScaledTwipsToPixelsX(int32_t twips, int32_t percent) const;
  int32_t PixelsToTwips(int32_t pixels) const;
  // A value scaled by the zoom percent (vertical) or the effective zoom (horizontal).
  int32_t ZoomValueY(int32_t value) const;
  int32_t ZoomValueX(int32_t value) const;
  // The negative pixel height of a font size in half-points, at least 3 pixels.
  int32_t FontHeightForSize(int32_t halfPoints) const;

  // --- View: modes, zoom and scrolling (doc_view.cpp) ---
  void SetViewMode(uint8_t mode);
  void BeginTempViewMode(uint8_t mode);
  void EndTempViewMode(bool restore);
  void SetPrintPreview(bool on);
  void SetZoomState(int32_t percent, uint8_t mode);
  void ApplyPreviewZoom();
  void RestoreNormalZoom();
  void SetZoom(int32_t percent) { SetZoomAt(percent, nullptr); }
  // Sets the zoom (computed again for the zoom mode) keeping the anchor, a point in view pixels,
  // under the pointer, or else the area in view.
  void SetZoomAt(int32_t percent, const plat::Point* anchor);
  int32_t ComputeZoom();
  void UpdateSectionPixelMetrics();
  plat::Point ClampScrollPos(plat::Point point) const;
  void ScrollTo(plat::Point point);
  void ScrollToY(int32_t y) { ScrollTo({View.ScrollPos.x, y}); }
  bool IsSpotlightActive() const { return Spotlight && !PrintPreview; }
  void RequestSpotlightCentre();

  // --- Layout (doc_layout.cpp; the registered layout does the work) ---
  TDocLayoutState Layout;
  // Keeps pages 0 .. min(first, page count) - 1 and lays out pages until the document is laid
  // out to its end or more than `count` pages exist.
  void Paginate(int32_t first, int32_t count);
  // Lays out to the end unless already done or layout is suspended (flag 33).
  void PaginateAll();
  // Releases every page and clears the end mark.
  void DiscardPages();
  // Drops the lines of every paragraph and the pages, ignoring errors on the way.
  void DropLayout();
  void EnsureLaidOut(TDocPosition& position, int32_t flags);
  // Lays out until the paragraph is laid out to its end.
  void EnsureParagraphLaidOut(int32_t par);
  void EnsureParLaidOut(int32_t par) { EnsureParagraphLaidOut(par); }
  // Breaks one paragraph again after an edit confined to it (in place when nothing else moves).
  void RelayoutParagraph(int32_t par);
  // Drops the lines of every paragraph; they are broken again when next laid out.
  void ReformatAllParagraphs();
  // Full re-layout: lines dropped, pages discarded, laid out again up to the caret.
  void RebuildLayout();
  void ArrangePages();
  // After a change of page parameters: section pixel metrics, page extents, pages discarded.
  void ResetPageLayout();
  // Sets the index of every paragraph from max(from, first footnote paragraph) on, and of each
  // paragraph's list label paragraph.
  void RenumberParagraphs(int32_t from);
  // The list numbering pass (document/list_numbering.h).
  void RenumberLists();
  // List operations (document/list_operations.cpp).
  bool IsListOfStyle(const TAutoList* list) const;
  void ApplyList(TAutoList* list);
  void RemoveListFormat();
  // The list near the fragment's paragraphs (the selection's when the fragment is null or
  // empty) that new list formatting of the wanted format should continue; null for none.
  TAutoList* FindListToContinue(const TAutoList* wanted, const TCompoundFragment* fragment) const;
  // Character positions of a paragraph, its mark included (no bounds check).
  int32_t ParLength(int32_t par) const { return Par(par)->CharCount(); }
  int32_t PageCount() const { return static_cast<int32_t>(Pages.size()); }
  // The section of a page: the last page's beyond them, the first section without pages.
  const TSection* SectionOfPage(int32_t page) const;
  // View queries over the arrangement of pages.
  int32_t FirstVisiblePage() const;
  int32_t LastVisiblePage() const;
  int32_t CurrentPage() const;
  void GetPageRect(int32_t page, plat::Rect& out) const;

  // --- Tables (table_structure.cpp) ---
  // Every row of the document's tables; a row-end tag refers to its row.
  std::vector<std::unique_ptr<TTableRow>> TableRows;
  TTableRow* AddTableRow(std::unique_ptr<TTableRow> row);
  bool IsRowEndPar(int32_t par) const;
  // The paragraph's cell within its row; for a row-end paragraph the row's cell count.
  int32_t GetCellIndex(int32_t par) const;
  void GetCellRange(int32_t par, TDocRange& out) const;
  // The cell n cells after the one that starts at the paragraph (n = 0: that cell).
  void GetNthCellRange(int32_t par, int32_t n, TDocRange& out) const;
  void GetRowRange(int32_t par, TDocRange& out) const;
  // The row object of the row holding the paragraph; null when none follows (damaged data).
  TTableRow* GetRowProps(int32_t par) const;
  // Left and right boundary of the paragraph's cell (0x3FFFFFFF twice for a row end).
  void GetCellHorzBounds(int32_t par, int32_t& left, int32_t& right) const;
  // The table holding the paragraph (through the table-range cache).
  void GetTableRange(int32_t par, TDocRange& out);
  // GetTableRange, then the table's rows appended to the list in row order.
  void GetTableRows(int32_t par, std::vector<TTableRow*>& rows, TDocRange& out);
  // GetTableRows for the start of the selection's first range, else for the caret paragraph.
  void GetCurrentTableRows(std::vector<TTableRow*>& rows, TDocRange& out);
  // Empties the table-range cache (after every change of paragraphs or table structure).
  void ClearTableCache();
  // The distinct column edges of the table, ascending; with `merge`, neighbouring edges within
  // 3 twips are merged pairwise, the more frequent one staying. Rows null: the table's own.
  std::vector<int32_t> GetTableColumnEdges(int32_t par, const std::vector<TTableRow*>* rows,
                                           bool merge);
  // The paragraph lies in a continuation cell of a vertical merge.
  bool IsInMergedCell(int32_t par) const;
  // For a paragraph of a continuation cell the first paragraph of its merge start; otherwise
  // the paragraph itself.
  int32_t GetMergeStartPar(int32_t par);
  // For a paragraph of a merge-start cell, the index of the continuation cell in each following
  // row, top down; empty for any other cell.
  std::vector<int32_t> GetMergedCellsBelow(int32_t par) const;

  // --- Table normalisation and row formatting (row_format.cpp, table_normalize.cpp) ---
  // Snaps the request's data blocks to the table's column edges and applies them as one undo
  // record when anything differs; true when a change was recorded.
  bool FormatRows(TFormatRowsRequest& request);
  // FormatRows for one row, leaving paragraphs alone.
  bool ApplyRowData(TTableRow* row, int32_t par, const TTableRowData& data);
  // Restores the table invariants after structural edits; true when rows were deleted.
  bool NormalizeTable(int32_t par);
  // Gives the row that starts at the paragraph and the rows after it the geometry of the row
  // above them.
  void AlignTableWithPrevious(int32_t par);

  // --- Table selections and cell navigation (table_navigation.cpp) ---
  // Where Tab left a continuation cell for its merge start, so that the next Tab goes on from
  // the continuation cell's place in the grid; -1 none.
  int32_t MergeJumpTo = -1;
  int32_t MergeJumpFrom = -1;
  // A normalised copy of the fragment cut at row boundaries (row-end marks left out).
  TFragmentRef SplitFragmentsByRows(const TCompoundFragment& fragment);
  // Widens every range to whole cells, one range per cell.
  void ExpandFragmentsToCells(TCompoundFragment& fragment);
  // The cells of the table's rows lo..hi (lo TableValueUnset: every row) that meet x1..x2.
  TFragmentRef GetCellsInColumnSpan(const TDocRange& table, int32_t lo, int32_t x1, int32_t x2,
                                    int32_t hi);
  // 0 none, 1 whole columns, 2 whole rows (not all), 3 every row.
  int32_t GetTableSelectionKind();
  // The first paragraph of every cell the selection touches (of the caret's cell), in order.
  std::vector<int32_t> GetSelectedCells();
  bool LeaveRowEndMark();
  // Tab and Shift+Tab from the paragraph.
  void GoToNextCell(int32_t par);
  void GoToPreviousCell(int32_t par);
  // The index of the row in its table (its row list), -1 when it is not one of them.
  int32_t RowIndexOf(const TTableRow* row, int32_t par);

  // --- Table insertion and deletion (table_insert_delete.cpp, cell_insert.cpp) ---
  TTableInsertRequest TableInsertRequest;
  // A new table at the end of the selection or at the caret; templates: given row data blocks.
  void InsertTable(int32_t rows, int32_t columns, uint8_t flag,
                   const std::vector<TTableRowData>* templates);
  // Inserts what TableInsertRequest describes: a copy of a row, or a column at a boundary.
  void PerformTableInsertion();
  bool InsertRows(bool above);
  // False (with the message unless only checking) when a row would pass the cell limit.
  bool InsertColumns(bool left, const TCompoundFragment* fragment, bool checkOnly);
  // False, after the message, when a row of the table holding the paragraph has more than 62
  // cells.
  bool CheckColumnLimit(int32_t par);
  // Mode 0 shift cells up, 1 shift cells left, 2 delete the selected rows, 3 delete the table.
  void DeleteCells(uint8_t mode);
  // New empty cells before the selected ones, shifting cells down or right.
  void InsertCells(bool shiftDown);

  // --- Cell merge, split and conversion (cell_merge_split.cpp, table_conversion.cpp) ---
  void GetMergeableCells(TMergeCheckResult& out);
  void MergeCells();
  // Splits the selected cells into the columns and rows of the last Split Cells dialog.
  void SplitCells();
  void SplitTable();
  void ConvertTableToText();
  // separator: 2 paragraph ends, 9 tab, 44 comma, or another character.
  void ConvertTextToTable(int32_t columns, int32_t rows, int32_t separator);

  // --- Distributing rows and columns (table_distribute.cpp) ---
  TFragmentRef GetDistributableColumns(const TDocRange& table);
  bool DistributeColumns();
  // Per row of the list: laid-out height, content height and pieces (pages).
  std::vector<TRowMeasure> MeasureTableRows(int32_t par, const std::vector<TTableRow*>& rows);
  void DistributeRows();

  // --- Section operations (section_operations.cpp) ---
  // Formats every section that has a paragraph in the range with the request; unset values
  // (column count and last setting 0x80000000, break kind 255) keep the section's own.
  void FormatSectionRange(const TDocRange& range, const TSectionFormat& request);
  void ChangeSectionHeaders(TSection& section, const std::array<TField*, 6>& fields);
  void FormatNoteSettings(const TDocRange& range, const TNoteSettings& footnotes,
                          const TCharFormat& footnoteMark, const TCharFormat& endnoteMark,
                          const TNoteSettings& endnotes);
  // Value 1: the footnote separator is shown, 2: the endnote separator.
  void SetNoteSeparatorFlags(uint8_t flags);
  // 0 continuous, 1 next page, 2 even page, 3 odd page.
  void ChangeSectionBreak(int32_t par, int32_t kind);
  // Merges the two sections at the break between them; the staying one takes the other's
  // formatting.
  void MergeSectionFormats(TSection& staying, TSection& other);
  // Gives the section of the caret's page its own copy of the header or footer edited in place
  // (checked: "Same as Previous" is on and goes off) or links it to the previous section again.
  void ToggleSameAsPrevious(bool checked);
  // The header or footer edited in place is one the caret's section inherits ("Same as
  // Previous" is checked).
  bool IsHeaderFooterSameAsPrevious();
  void ChangeDocProperties(const TDocProps& props);
  // Each field's instruction becomes the type's keyword, a blank and its argument (if any).
  void ChangeFieldTypes(const std::vector<TField*>& fields, uint8_t fieldType,
                        const std::vector<std::u16string>& arguments);

  // --- Editing time and predominant language (editing_time.cpp) ---
  double EditingTime = 0;        // milliseconds
  int32_t TypedChars = 0;
  uint32_t LastActivityTick = 0;  // 0 before the first action
  // Called on every key, mouse action and command in the document's window.
  void AddEditingTime();
  void AddEditingTimeAt(uint32_t tick);
  // After a successful save: the file's record takes the editing time and typed characters.
  void RecordEditingTime();
  // After opening: the editing time and typed characters from the file's record (if any).
  void RestoreEditingTime();
  int32_t PredominantLanguage();

  // --- Drop caps (drop_caps.cpp) ---
  // Makes (settings given) or removes (settings null) the drop caps of the listed fields, or of
  // the selection's paragraphs.
  void ApplyDropCaps(const std::vector<TField*>* fields, const TDropCapSettings* settings,
                     const std::string& fontName);
  void MakeDropCap(int32_t par, const TDropCapSettings& settings, const std::string& fontName);
  void RemoveDropCap(TField* field);
  void RemoveSelectedDropCaps();
  // Around a replacement that starts at the position inside a drop cap.
  void SaveDropCap(const TDocPosition& position);
  void RestoreDropCap();
  // Removes the drop caps overlapping the paragraph that are no longer valid.
  void CheckDropCaps(int32_t par);
  std::optional<TSavedDropCap> SavedDropCap;

  // --- Editing (carried out by the registered editing services, document/edit_services.h) ---
  // The edit dispatcher: runs the operation of the edit action code as one undoable operation.
  void ExecuteEdit(uint8_t code, void* const* args, int32_t lastIndex);
  void BeginOperation(TUndoableOperation* operation);
  void EndOperation();
  void CommitOperation(std::unique_ptr<TUndoableOperation> operation);
  void Undo(bool runUpdate = true);
  void Redo();
  void UndoAll();
  void RedoAll();
  void ClearUndo();
  void ClearRedo();
  uint32_t LastOperationSerial() const;
  void PostEditUpdate();
  TPostActions& CurrentPostActions();
  void InvalidateFromParagraph(int32_t par);

  // --- Sections (document/sections.cpp) ---
  void UpdateSectionRanges();
  TSection* SectionOfParagraph(int32_t index);
  TSection* PageSectionOfParagraph(int32_t index);
  TSection* SectionOfPage(int32_t page);
  void GetCaretPageParams(TPageParams& out);
  void GetMaxPageExtent(std::array<int32_t, 8>& out);
  std::vector<TSection*> SectionsOfRange(const TDocRange& range);
  std::vector<TSection*> SectionsOfFragment(const TCompoundFragment& fragment);
  void GetSelectionSectionFormat(TSectionFormat& out);
  void ExpandToPageSections(const TDocRange& range, TDocRange& out);
  void UpdateSectionPages(TSection* section);
  // Fills the "Apply to" choices (0 "Whole document", 1 "This point forward", 2 "Selected
  // text", 3 "This section", 4 "Selected sections"); `choice` in and out (255 none).
  void FillApplyToList(int32_t dialogMode, std::vector<int32_t>& list, int32_t& choice);
  // Applies page parameters (mode 0), a section format (mode 1) or note settings (mode 2) as
  // one undoable operation; true when records were made.
  bool FormatSections(int32_t choice, const TDocRange* range, const TPageParams* pageParams,
                      const TSectionFormat* sectionFormat, const TNoteSettings* footnotes,
                      const TNoteSettings* endnotes, int32_t mode);
  // Inserts a section break at the position (no operation of its own).
  void InsertSectionBreakAt(const TDocPosition& at);

  // --- Headers and footers (document/header_footer.cpp) ---
  void ToggleHeaderFooterEditing(TField* field, int32_t page, const TDocPosition* caret);
  void EditHeaderFooter(TField* field, int32_t page);
  void RefreshHeaderFooterEditing();
  // Scrolls the area of the header or footer edited in place into view, with a little around it.
  void ScrollHeaderFooterIntoView();
  int32_t FooterEditOffset() const;
  // The range of a header or footer field's paragraphs; false when its marks are not found.
  bool GetHeaderFooterRange(const TField* field, TDocRange& out) const;
  // Fills the chosen headers or footers of every section with page-number fields; false (with
  // the message shown) when a header or footer holds other text.
  bool InsertPageNumbers(uint8_t position, uint8_t alignment, uint8_t showOnFirstPage);

  // --- Field index (field_index.cpp); every query first rebuilds a dirty index ---
  std::unique_ptr<TFieldIndex> FieldIndexState;
  TFieldIndex& FieldIndex();
  // Marks the index dirty (for the span of paragraphs, or the whole document by default).
  void InvalidateFieldIndex(int32_t firstPar = INT32_MIN, int32_t lastPar = INT32_MAX);
  void RebuildFieldIndex();
  // False when the field's marks are not both in the document.
  bool GetFieldRange(const TField* field, TDocRange& out);
  // Candidates overlapping the range with their enclosing fields; callers test each one.
  void FindOverlappingFields(const TDocRange& range, std::vector<TField*>& out);
  // The innermost field at the position of the kind (255 any but the range kinds) and field type
  // (255 any) whose type is not excluded; null for none.
  TField* GetFieldAt(const TDocPosition& at, TDocRange* range,
                     const std::vector<uint8_t>& excludedTypes, int32_t fieldType, int32_t kind);
  // Adds each field of the type (255 any) and kind (-1 any) that shares characters with one of
  // the ranges, once.
  void GetFieldsInRange(std::span<const TDocRange> ranges, std::vector<TField*>& out,
                        int32_t fieldType, int32_t kind);
  // The innermost field (kind 0) of the type at the caret, or at the selection's start when the
  // caret lies outside a non-empty selection; null for none.
  TField* FindFieldAtCaret(int32_t fieldType, TDocRange* range);
  // Whether the header and footer story holds a field (kind 0) of one of the types.
  bool HeaderFooterHasFields(const std::vector<uint8_t>& fieldTypes);
  // The XE fields in document order.
  std::vector<TField*> GetIndexEntryFields();
  // The index of the visible bookmark of the name in the bookmark list, -1 for none.
  int32_t FindBookmarkName(const std::u16string& name);

  // --- Field marks and field operations (field_operations.cpp), undoable in the running edit ---
  // Inserts or removes one mark of the field at the paragraph, character offset and slot.
  void InsDelFieldMark(TField* field, int32_t par, int32_t offset, int32_t slot, bool insert,
                       bool startMark);
  // Puts the field into the document with its marks around the range: the start before and the
  // end after every mark at its place (the outermost). Returns the field.
  TField* InsertFieldMarks(std::unique_ptr<TField> field, const TDocRange& range);
  // Takes both marks of the field out; the text between them stays.
  void RemoveField(TField* field);
  void EditFieldInstruction(TField* field, std::u16string instruction);
  // Types a placeholder at the caret ("a" for NUMWORDS, else "?") and puts a new field of the
  // type around it, its instruction the type's keyword and the argument; the caret goes after.
  // Its result is left to the update that follows.
  TField* InsertNewField(int32_t fieldType, const std::u16string& argument);
  // A hyperlink with the instruction around each selected range, from the last to the first;
  // over the caret, or with a display text, the display text is typed in place of the range
  // first. The selection is cleared.
  void InsertHyperlink(const std::u16string& instruction, const std::u16string& displayText);
  // Removes a TOC field and the PAGEREF and HYPERLINK fields of its entries; the text stays.
  void RemoveTocField(TField* toc);
  // Puts the field at the caret, empty and inside every field that encloses the caret.
  TField* InsertFieldAtCaret(std::unique_ptr<TField> field);

  // Bracket a text change of the range (mode 0 replacing it, 1 inserting at its start): Begin
  // takes out the field marks that survive the change, End puts them back around the new text.
  void BeginKeepFieldMarks(const TDocPosition& start, const TDocPosition& end, int32_t mode);
  void EndKeepFieldMarks(const TDocPosition& newStart, const TDocPosition& newEnd);

  // --- Bookmarks and hyperlinks (bookmarks.cpp) ---
  // Fields followed through hyperlinks, only compared with the fields of the document (an entry
  // may name a field that has since been removed), and the current entry (-1 none).
  std::vector<TField*> HyperlinkHistory;
  int32_t HyperlinkHistoryIndex = -1;
  bool WalkingHyperlinkHistory = false;
  TField* LastVisitedBookmark = nullptr;
  bool HasBookmark(const std::u16string& name);
  // A free bookmark name made from the range's text (from the caret to the sentence's end for
  // an empty range).
  std::u16string MakeBookmarkName(const TDocRange& range);
  // A bookmark around each selected range (the caret without a selection); the last one made.
  TField* InsertBookmark(const std::u16string& name);
  // Puts the caret at the bookmark's start (selecting its range on request); false when there
  // is no bookmark of the name.
  bool GoToBookmark(const std::u16string& name, bool select, TField* followedLink);
  void GoToPreviousBookmark();
  void GoToNextBookmark();
  void PushHyperlinkHistory(TField* field);
  void HyperlinkHistoryBack();
  void HyperlinkHistoryForward();
  // Hyperlinks outside the headers and footers that name only a bookmark that does not exist.
  std::vector<TField*> FindHyperlinksToMissingBookmarks();
  // Offers to select those hyperlinks (an optional message); true when they were selected.
  bool CheckHyperlinksToMissingBookmarks();
  // Jumps to the link's bookmark in this document, or opens its target (a web or mail address,
  // a file, or a bookmark in another open document).
  void FollowHyperlink(TField* link);
  // Each selected hyperlink's text becomes its address (target, "#" and bookmark); false when
  // the message about a note's last paragraph mark was shown for one of them.
  bool UpdateHyperlinkTexts();
  // Removes the link, its text keeping the underline and colour of the text around it.
  void DeactivateHyperlink(TField* link);
  void DeactivateSelectedHyperlinks();

  // --- Fields at the selection (field_selection_lists.cpp) ---
  TSelectedFieldLists SelectedFields;
  // Fills SelectedFields for the selection (the caret without one); 255 keeps valid lists.
  void UpdateSelectedFieldLists(int32_t fieldType);

  // --- Field evaluation and update (field_update.cpp, field_evaluation.cpp) ---
  TFieldUpdateState FieldUpdate;
  // Evaluates the fields of the types in the fragment (or the range) and replaces the results
  // that changed, inside the running operation.
  void UpdateFieldsRun(const TCompoundFragment* fragment, const TDocRange* range,
                       const TFieldTypeSet& types);
  // Updates every evaluated field of the fragment (or range) as one undoable edit, with full
  // pagination before and after; nothing when the document has no fields.
  void UpdateFields(const TCompoundFragment* fragment, const TDocRange* range);
  // Evaluates the fields of a header or footer for one page (no undo record): the layout calls
  // it before it lays the header or footer out for the page.
  void UpdatePageFieldsForPage(TField* field, int32_t page, const TDocRange& range);
  // Paginates again when headers or footers hold page-dependent fields other than PAGE and
  // SECTION (after pagination, before printing, in idle time).
  void UpdateHeaderFooterPageFields(bool force);

  // --- Built-in styles in documents (builtin_styles.cpp) ---
  void EnsureBuiltInStyle(int32_t builtIn);
  void EnsureHeaderFooterStyles();
  void EnsureTocStyles(TDoc* first, TDoc* second, const TGenerateTOC_Options& options,
                       TDoc* third);

  // --- Tables of contents and indexes (toc_generation.cpp, index_generation.cpp) ---
  // Builds a table of contents at the selection start (or rebuilds the one there); the number
  // of paragraphs made, 0 when there are no headings.
  int32_t GenerateToc(TGenerateTOC_Options& options);
  // Builds an index of the index entries at the selection start (replacing the one there).
  void GenerateIndex(const std::u16string& instruction);
  // An empty index entry with the instruction at each selected range's start (or the caret).
  void InsertIndexEntry(const std::u16string& instruction);
  // An index entry at the first whole-word occurrence of each word in each paragraph of the
  // main text and the notes.
  void MarkAllIndexEntries(const std::vector<std::u16string>& words,
                           const std::vector<std::u16string>& instructions);

  // --- Paragraph groups (paragraph_groups.cpp) ---
  // Modes of GetParagraphGroup: the paragraph-format property that groups (borders, shading).
  enum : int32_t { pgBorders = 22, pgShading = 23 };
  // The first and last paragraph of the group around the paragraph: neighbours with the same
  // border set and nearly the same indents (in the shading mode also shaded), within the
  // paragraph's cell, story, or in the main text its section.
  void GetParagraphGroup(int32_t par, int32_t mode, int32_t& first, int32_t& last);
  void GetBorderGroup(int32_t par, int32_t& first, int32_t& last);
  void GetShadingGroup(int32_t par, int32_t& first, int32_t& last);
  // Both indexes lie in the document and both paragraphs belong to the same list.
  bool InSameList(int32_t a, int32_t b) const;

  // --- Notes (notes.cpp), each inside the running edit ---
  // Replaces the first selected range (or stands at the caret) with a new note reference and
  // makes the note's text in its story; the caret goes into the note.
  void InsertNote(const TInsertNoteOptions& options);
  // Turns each listed note text field from a footnote into an endnote or back.
  void ConvertNotes(const std::vector<TField*>& notes);
  // Puts the paragraphs of both note stories in the order of their references.
  void ReorderNotes();

  // --- Shapes (shape_operations.cpp); every shape of the document, owned ---
  std::vector<std::unique_ptr<TShape>> Shapes;
  // Attaches the shape (its picture's memory is counted, and released again over the budget)
  // and returns it.
  TShape* AddShape(std::unique_ptr<TShape> shape);
  // Takes the shape out of the list and frees it.
  void DeleteShape(TShape* shape);
  // A new shape of this document with a copy of the properties and its own copy of the
  // picture's file (unloaded).
  TShape* CopyShape(const TShape& shape);
  // Sorts Shapes: header and footer shapes (layer 3) first, then by ascending z-order.
  void SortShapesByZOrder();
  // One above the highest z-order of the layer's floating shapes; 0 when there is none.
  int32_t NextZOrder(uint8_t layer);
  void AssignNewZOrder(TShape* shape);
  // Closes the gap in the z-order that the floating shape leaves (undoable).
  void RemoveShapeFromZOrder(TShape* shape);
  // Takes a floating shape anchored in a paragraph that is being deleted out of the document:
  // out of the shape selection and the z-order, its anchor field removed (all undoable).
  void RemoveAnchoredShape(TShape* shape);
  // The "format picture" edit: new properties (mode 0, data a std::vector<TShapeProps>), a move
  // (1, data a TShapeMove), a resize (2) or a z-order change (4, data a uint8_t direction).
  void FormatShapes(const std::vector<TShape*>& shapes, uint8_t mode, const void* data);

  // --- Lists as a whole (list_operations.cpp, list_definitions.cpp) ---
  std::vector<TAutoList*> NewLists;  // lists brought in by inserted content, not yet joined
  // Every paragraph of the list (of the level, or any level for 0x80000000) lies in the
  // selection (the caret's paragraph without one).
  bool IsListWithinSelection(const TAutoList* list, int32_t level) const;
  void RemoveList(TAutoList* list);
  void ContinueInsertedLists();
  void GetListLevelFormats(const TAutoList& list, std::array<TParFormat, 9>& parFormats,
                           std::array<TCharFormat, 9>& markFormats);
  bool CanFormatListDirectly();
  void EditStyleListFormat(int32_t style);
  void ApplyListAsNew(TAutoList* list);
  void ConvertListNumbersToText(TAutoList* list);
  // Grows or shrinks the numbers of the selection's lists; false when nothing would change.
  // Without `perform` it only reports.
  bool ChangeListNumberSize(bool grow, bool perform);
  void ApplyListDefinitionChange(TAutoList* list, std::unique_ptr<TAutoList> definition);

  // --- Locked selections and heading levels (locked_selections.cpp, heading_levels.cpp) ---
  // With fields: unlocks them; with null: locks every selected range that is not locked yet.
  void LockUnlockSelection(const std::vector<TField*>* fields);
  // Gives the paragraphs the outline level (0 to 8 headings, 9 body text), preferring the
  // heading styles and sibling styles to direct formatting.
  void SetParOutlineLevel(int32_t first, int32_t last, int32_t level);

  // --- Scoped flags ---
  bool IsDocFlagSet(int32_t flag) const;
  // Sets or clears a flag without the flag stack.
  void SetDocFlag(int32_t flag, bool on);
  // Set or clear a flag, pushing its old value on the flag stack.
  void SetScopedFlag(int32_t flag);
  void ClearScopedFlag(int32_t flag);
  // Pop and restore, last in first out.
  void RestoreScopedFlag();
  void RestoreScopedFlags(int32_t count);
  // Bytes the flag stack has room for (it starts at 32 and doubles when full).
  int32_t ScopedFlagStackCapacity() const { return flagStack_.CapacityBytes(); }
  int32_t ScopedFlagDepth() const { return flagStack_.Depth(); }

 private:
  void CreateFirstParagraphAndSection();
  void LoadDefaultStyles();
  const TPar* ParOrNull(int32_t index) const {
    return index >= 0 && index < ParCount() ? Par(index) : nullptr;
  }
  std::array<uint8_t, DocFlagCount> docFlags_{};
  // The table-range cache: the ranges of the tables found so far and the rows of each.
  std::vector<TDocRange> tableRanges_;
  std::vector<std::vector<TTableRow*>> tableRowLists_;
  TScopedFlagStack flagStack_;
};

// The document being changed and the nesting count of critical edits; null and 0 outside.
TDoc* CriticalEditDoc();
int32_t CriticalEditCount();

// Sort comparators (negative, 0 or positive).
// Records by their first 32-bit value.
int CompareByFirstField(const int32_t* a, const int32_t* b);
// Index entry texts split at ":" into levels; each level compared without regard to case or
// accents, then case-sensitively to break ties; the first level that differs decides.
int CompareIndexEntryTexts(const std::u16string& a, const std::u16string& b);
int CompareSectionsByFirstParagraph(const TSection& a, const TSection& b);

// The extension of a document format index ("rtf", "doc", "docx", "odt", "cod", "wri", "txt").
const char* DocFormatExtension(int32_t formatIndex);

}  // namespace qv
