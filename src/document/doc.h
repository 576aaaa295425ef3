#pragma once
// TDoc: one document, shown in an editor window or held hidden (clipboard contents, previews,
// templates, dialog samples). Its paragraphs of all four stories live in one list, one story
// after another (0 main text, 1 footnotes, 2 endnotes, 3 headers and footers), with a count per
// story. Invariants: the list holds exactly the sum of the story counts; story 0 is never empty;
// every paragraph's Index is its place in the list and its Doc is this document; there is always
// at least one section.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/doc_position.h"
#include "document/doc_properties.h"
#include "document/edit_services.h"
#include "document/fragment_pool.h"
#include "document/par.h"
#include "document/par_format.h"

namespace qv {

class TAutoList;
class TDocEditorWindow;
class TField;
class TPage;
class TSection;
class TStyleList;

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

  // --- View ---
  int32_t ZoomPercent = 100;
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
  TCharFormat CurCharFormat;
  TCharFormat FootnoteMarkFormat;  // unset but superscript
  TCharFormat EndnoteMarkFormat;
  bool HasSearchStart = false;
  TDocPosition SearchStart;

  // --- Undo ---
  std::vector<std::unique_ptr<TUndoableOperation>> UndoList;
  int32_t UndoPosition = -1;
  int32_t SavePoint = INT32_MIN;
  int32_t SafeCopyPoint = INT32_MIN;
  TPostActions PostActions;
  TPostActions SecondPostActions;

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
  // The character format in force at a place.
  void GetCharFormatAt(int32_t par, int32_t offset, TCharFormat& out) const;

  // Whether a paragraph is painted grey (another story is being edited).
  bool IsParagraphDimmed(int32_t index) const;
  // The field of kind 8 (drop cap) at the paragraph's start when the paragraph has one; null
  // otherwise. Normalises the paragraph.
  TField* GetDropCapField(int32_t index);

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

  // --- Scoped flags ---
  bool IsDocFlagSet(int32_t flag) const;
  // Set or clear a flag, pushing its old value on the flag stack.
  void SetScopedFlag(int32_t flag);
  void ClearScopedFlag(int32_t flag);
  // Pop and restore, last in first out.
  void RestoreScopedFlag();
  void RestoreScopedFlags(int32_t count);

 private:
  void CreateFirstParagraphAndSection();
  void LoadDefaultStyles();
  std::array<uint8_t, DocFlagCount> docFlags_{};
  std::vector<std::pair<int32_t, uint8_t>> flagStack_;
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
