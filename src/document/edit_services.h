#pragma once
// What the document object holds of the editing engine, which lives above the document model:
// the undo list's operations (the engine's operations derive from TUndoableOperation), the
// post-edit actions record that a running edit fills in, and the engine's services that the
// model's own operations (sections, headers and footers) and TDoc's editing methods call.
//
// The editing library registers the real services (RegisterEditingServices in
// editing/editing_services.h). The stand-ins below do the least a document needs without the
// engine: changes that the model asks for are made directly, with no undo record and no
// re-layout, and the undo list stays empty.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/doc_position.h"
#include "document/fragment_pool.h"
#include "document/page_params.h"

namespace qv {

class TDoc;
class TField;
class TMemory;
class TSection;
struct TCharFormat;
struct TDocProps;
struct TParFormat;
struct TNoteSettings;
struct TFormatRowsRequest;

// Base of the editing engine's undoable operations; the document owns its undo list and frees
// the operations with itself.
class TUndoableOperation {
 public:
  virtual ~TUndoableOperation() = default;
};

inline constexpr int32_t PostActionNone = INT32_MIN;

// What a running edit leaves to be done afterwards.
struct TPostActions {
  int32_t FirstPage = PostActionNone;  // first page to lay out again
  int32_t FirstPar = PostActionNone;   // first paragraph to lay out again, and an offset in it
  int32_t FirstParOffset = 0;
  TDocRange RestoreRange;              // range to restore
  // The one paragraph re-broken in place without a change of its line count: only it needs a
  // repaint. Empty (HasRepaintRange false) when none, or when the whole view must be repainted.
  TDocRange RepaintRange;
  bool HasRepaintRange = false;
  TDocPosition Caret;                  // caret position to restore
  bool HasCaret = false;
  TFragmentRef Selection;              // selection to set, null for none
  bool ClearSelection = false;
  int32_t ScrollTarget = PostActionNone;  // x in twips from the scroll anchor's line; none: caret
  int32_t ScrollTargetY = 0;
  TDocPosition ScrollAnchor;

  // Back to the state of a new record (a held selection goes back to the pool).
  void Reset();
};

// The engine's side of TDoc's editing methods and of the undo records the model's operations
// perform. Edit action codes are the engine's (editing/edit_codes.h); arguments are the array of
// pointers that code's table entry names.
class TEditServices {
 public:
  virtual ~TEditServices() = default;

  // --- The dispatcher and the undo list (the stand-ins record nothing) ---
  virtual void ExecuteEdit(TDoc& /*doc*/, uint8_t /*code*/, void* const* /*args*/,
                           int32_t /*lastIndex*/) {}
  // A new operation with the name index; null from the stand-in (then nothing records).
  virtual std::unique_ptr<TUndoableOperation> CreateOperation(TDoc& /*doc*/, uint8_t /*name*/) {
    return nullptr;
  }
  virtual void BeginOperation(TDoc& /*doc*/, TUndoableOperation* /*operation*/) {}
  virtual void EndOperation(TDoc& /*doc*/) {}
  virtual void CommitOperation(TDoc& /*doc*/, std::unique_ptr<TUndoableOperation> /*op*/) {}
  // Marks a committed operation of the undo list as undone together with the one before it.
  virtual void ChainLastOperation(TDoc& /*doc*/) {}
  // Gives the last operation of the undo list another name (an index of the name table).
  virtual void RenameLastOperation(TDoc& /*doc*/, uint8_t /*name*/) {}
  virtual void Undo(TDoc& /*doc*/, bool /*runUpdate*/) {}
  virtual void Redo(TDoc& /*doc*/) {}
  virtual void UndoAll(TDoc& /*doc*/) {}
  virtual void RedoAll(TDoc& /*doc*/) {}
  virtual void ClearUndo(TDoc& /*doc*/) {}
  virtual void ClearRedo(TDoc& /*doc*/) {}
  virtual uint32_t LastOperationSerial(const TDoc& /*doc*/) { return 0; }
  virtual void PostEditUpdate(TDoc& /*doc*/) {}
  // The post-actions of the running edit (the second record inside a non-recording stretch).
  virtual TPostActions& CurrentPostActions(TDoc& doc);
  // Lowers the first page (and paragraph) to lay out again.
  virtual void InvalidateFromParagraph(TDoc& doc, int32_t par);

  // --- Undo records that the model's operations perform ---
  // Swaps the sections' formats (or, with pageNumbersOnly, their page-number format and start)
  // with the given ones, one per section from first to last.
  virtual void FormatSectionRange(TDoc& doc, int32_t firstSection, int32_t lastSection,
                                  const std::vector<TSection>& formats, bool pageNumbersOnly);
  // Gives the section the six header and footer fields.
  virtual void ChangeSectionHeaders(TDoc& doc, TSection& section,
                                    const std::array<TField*, 6>& fields);
  // Applies the set values of the page parameters to the sections of the range.
  virtual void ChangePageParams(TDoc& /*doc*/, const TPageParams& /*params*/,
                                const TDocRange& /*range*/) {}
  // Applies footnote and endnote settings to the sections from first to last.
  virtual void FormatNoteSettings(TDoc& doc, int32_t firstSection, int32_t lastSection,
                                  const TNoteSettings& footnotes, const TNoteSettings& endnotes);
  // Inserts content in the fragment form of the undo records (paragraphs separated by byte 29,
  // each optionally followed by byte 30 and its 40-byte format) at the place; `parMarks` is the
  // number of paragraph ends in it. A place at the paragraph count appends whole paragraphs to
  // the story. The stand-in does nothing.
  virtual void InsertContent(TDoc& /*doc*/, const TMemory& /*content*/,
                             const TDocPosition& /*at*/, int32_t /*story*/,
                             int32_t /*parMarks*/) {}
  // Deletes the range's content (a range ending at the paragraph count takes whole paragraphs).
  virtual void DeleteContent(TDoc& /*doc*/, const TDocRange& /*range*/) {}
  // Applies the set properties of the format to the paragraphs of the range.
  virtual void FormatParagraphRange(TDoc& /*doc*/, const TDocRange& /*range*/,
                                    const TParFormat& /*format*/) {}
  // Puts a new field into the document with its start and end marks together at the place,
  // after the `slot` field marks that stand there. The stand-in only lists the field.
  virtual TField* InsertEmptyField(TDoc& doc, std::unique_ptr<TField> field,
                                   const TDocPosition& at, int32_t slot);
  // Inserts (state 0) or removes (state 1) field marks (parts: 1 start, 2 end, 3 both) at their
  // places and slots; with both marks the field joins (`owned`) or leaves the field list. The
  // stand-in only lists an owned field.
  virtual void InsDelFieldMarks(TDoc& doc, uint8_t state, TField* field, uint8_t parts,
                                const TDocPosition& start, int32_t startSlot,
                                const TDocPosition& end, int32_t endSlot,
                                std::unique_ptr<TField> owned);
  // Swaps the field's instruction with the text (the stand-in without a record).
  virtual void EditFieldInstruction(TDoc& doc, TField* field, std::u16string instruction);
  // Changes the break kind of the section that the paragraph ends.
  virtual void ChangeSectionBreak(TDoc& doc, int32_t par, int32_t kind);

  // --- Records of the table and section operations ---
  // Changes the special character at the place (paragraph mark 2, cell end 4, column break 6,
  // line break 7, page break 8) into the code.
  virtual void ReplaceSpecialChar(TDoc& /*doc*/, int32_t /*par*/, int32_t /*offset*/,
                                  uint8_t /*code*/) {}
  // Moves `count` paragraphs from `first` to before `target` (indexes as before the move).
  virtual void MoveParagraphs(TDoc& /*doc*/, int32_t /*first*/, int32_t /*count*/,
                              int32_t /*target*/) {}
  // Applies the set properties of the character format to the text of the range.
  virtual void FormatCharRange(TDoc& /*doc*/, const TDocRange& /*range*/,
                               const TCharFormat& /*format*/) {}
  // Gives the request's rows their new data blocks as one record when any value differs;
  // true when something changed. The stand-in copies the blocks in.
  virtual bool FormatRows(TDoc& doc, TFormatRowsRequest& request);
  // Swaps the document properties (the automatic ones stay).
  virtual void ChangeDocProps(TDoc& doc, const TDocProps& props);
  virtual void SetNoteSeparatorFlags(TDoc& doc, uint8_t flags);
  // Gives the target section the complete formatting of the source section.
  virtual void AssignSection(TDoc& doc, TSection& target, const TSection& source);
  // Swaps a field's type and instruction.
  virtual void ChangeFieldProps(TDoc& doc, TField* field, uint8_t fieldType,
                                std::u16string instruction);
  // Applies footnote and endnote settings to the sections and the two note-mark formats to
  // the document; true when anything changed (nothing is recorded otherwise).
  virtual bool FormatNotes(TDoc& doc, int32_t firstSection, int32_t lastSection,
                           const TNoteSettings& footnotes, const TNoteSettings& endnotes,
                           const TCharFormat& footnoteMark, const TCharFormat& endnoteMark);
};

// Registers the services (null restores the stand-ins).
void RegisterEditServices(std::unique_ptr<TEditServices> services);
TEditServices& EditServices();

}  // namespace qv
