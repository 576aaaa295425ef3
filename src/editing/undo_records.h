#pragma once
// Undo records: the small symmetric exchanges every change to a document is made of. A record
// holds the state that is not in the document at the moment; one run swaps it with the
// document's, the next run swaps back. Undo runs an operation's records last to first, redo
// first to last; only TFormatStyleListOperation, TFormatFontOperation and TAssignSectOperation
// tell the directions apart (they override Redo).
//
// A record owns everything it holds, including document objects (sections, fields) that are
// out of the document while it holds them. Records do no checks: they rely on running strictly
// in reverse order of creation against the document they were made for.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/doc.h"
#include "document/page_params.h"
#include "document/section.h"

namespace qv {

class TAutoList;
class TField;

class TSubOperation {
 public:
  explicit TSubOperation(TDoc& doc) : Doc(&doc) {}
  virtual ~TSubOperation() = default;
  TSubOperation(const TSubOperation&) = delete;
  TSubOperation& operator=(const TSubOperation&) = delete;

  TDoc* Doc;

  virtual void Undo() = 0;
  virtual void Redo() { Undo(); }
  // The class name, for diagnostics and tests.
  virtual const char* ClassName() const = 0;

  // Runs the record forward once, then hands it to the document's open operation (or frees it
  // inside a stretch that records nothing). When the run raises, the record is freed and the
  // exception goes on; what the run changed is the run's to take back.
  static void Execute(std::unique_ptr<TSubOperation> record);
};

// Appends the performed record to the current operation, or frees it when none is open.
void AddSubOperation(TDoc& doc, std::unique_ptr<TSubOperation> record);

// Re-breaks one paragraph in place; when no page is to be laid out again and its line count
// stayed, the paragraph becomes the repaint range.
void RelayoutParagraph(TDoc& doc, int32_t par);

// --- Records of simple exchanges ---

// Forces re-layout on undo and redo: sets the post-actions' first page.
class TNullOperation : public TSubOperation {
 public:
  TNullOperation(TDoc& doc, int32_t page) : TSubOperation(doc), Page(page) {}
  void Undo() override;
  const char* ClassName() const override { return "TNullOperation"; }
  int32_t Page;
};

// Ends typing into a multiple selection.
class TDeactivate_OvertypeMulSelection_Operation : public TSubOperation {
 public:
  using TSubOperation::TSubOperation;
  void Undo() override;
  const char* ClassName() const override { return "TDeactivate_OvertypeMulSelection_Operation"; }
};

class TChangeDocPropsOperation : public TSubOperation {
 public:
  TChangeDocPropsOperation(TDoc& doc, TDocProps props) : TSubOperation(doc), Props(std::move(props)) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangeDocPropsOperation"; }
  TDocProps Props;
};

// Swaps whole page-parameter records of the sections of a range (one record per section, in
// section order). The operation that makes it works out the new records for its kind.
class TChangePageParamsOperation : public TSubOperation {
 public:
  TChangePageParamsOperation(TDoc& doc, std::vector<TPageParams> params, int32_t firstSection,
                             uint8_t kind)
      : TSubOperation(doc), Params(std::move(params)), FirstSection(firstSection), Kind(kind) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangePageParamsOperation"; }
  std::vector<TPageParams> Params;
  int32_t FirstSection;
  uint8_t Kind;
};

class TFormatListLevelOperation : public TSubOperation {
 public:
  TFormatListLevelOperation(TDoc& doc, TAutoList* list, int32_t level, const TCharFormat& format)
      : TSubOperation(doc), List(list), Level(level), Format(format) {}
  void Undo() override;
  const char* ClassName() const override { return "TFormatListLevelOperation"; }
  TAutoList* List;
  int32_t Level;
  TCharFormat Format;
};

class TFormatAutoListOperation : public TSubOperation {
 public:
  TFormatAutoListOperation(TDoc& doc, TAutoList* list, std::unique_ptr<TAutoList> definition);
  ~TFormatAutoListOperation() override;
  void Undo() override;
  const char* ClassName() const override { return "TFormatAutoListOperation"; }
  TAutoList* List;
  std::unique_ptr<TAutoList> Definition;
};

// Swaps text bytes of one paragraph in place (same length), skipping tags.
class TFastReplaceTextOperation : public TSubOperation {
 public:
  TFastReplaceTextOperation(TDoc& doc, int32_t par, int32_t offset, std::string bytes)
      : TSubOperation(doc), Par(par), Offset(offset), Bytes(std::move(bytes)) {}
  void Undo() override;
  const char* ClassName() const override { return "TFastReplaceTextOperation"; }
  int32_t Par, Offset;
  std::string Bytes;
};

// Changes the special character at a place between paragraph mark 2, column break 6, line
// break 7, page break 8 and cell end 4.
class TFastReplaceTextOperation2 : public TSubOperation {
 public:
  TFastReplaceTextOperation2(TDoc& doc, int32_t par, int32_t offset, uint8_t code)
      : TSubOperation(doc), Par(par), Offset(offset), Code(code) {}
  void Undo() override;
  const char* ClassName() const override { return "TFastReplaceTextOperation2"; }
  int32_t Par, Offset;
  uint8_t Code;
};

class TChangeDefLangOperation : public TSubOperation {
 public:
  TChangeDefLangOperation(TDoc& doc, int32_t language) : TSubOperation(doc), Language(language) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangeDefLangOperation"; }
  int32_t Language;
};

// Swaps the section formats (or only their page-number format and start) of the sections from
// first to last with the saved ones.
class TFormatSectOperation : public TSubOperation {
 public:
  TFormatSectOperation(TDoc& doc, std::vector<TSection> saved, bool pageNumbersOnly,
                       int32_t firstSection, int32_t lastSection);
  void Undo() override;
  const char* ClassName() const override { return "TFormatSectOperation"; }
  std::vector<TSection> Saved;
  bool PageNumbersOnly;
  int32_t FirstSection, LastSection;
};

// Exchanges all formatting of two sections (format, page parameters, headers and footers, page
// numbering, note settings).
class TExchangeSectFormattingOperation : public TSubOperation {
 public:
  TExchangeSectFormattingOperation(TDoc& doc, TSection* a, TSection* b) : TSubOperation(doc), A(a), B(b) {}
  void Undo() override;
  const char* ClassName() const override { return "TExchangeSectFormattingOperation"; }
  TSection* A;
  TSection* B;
};

class TFormatNotesOperation : public TSubOperation {
 public:
  TFormatNotesOperation(TDoc& doc, std::vector<TNoteSettings> footnotes,
                        std::vector<TNoteSettings> endnotes, const TCharFormat& footMark,
                        const TCharFormat& endMark, int32_t firstSection);
  void Undo() override;
  const char* ClassName() const override { return "TFormatNotesOperation"; }
  std::vector<TNoteSettings> Footnotes, Endnotes;
  TCharFormat FootnoteMark, EndnoteMark;
  int32_t FirstSection;
  bool Changed = false;
};

// Turns the listed notes from footnotes into endnotes or back.
class TConvertNotesOperation : public TSubOperation {
 public:
  TConvertNotesOperation(TDoc& doc, std::vector<TField*> notes) : TSubOperation(doc), Notes(std::move(notes)) {}
  void Undo() override;
  const char* ClassName() const override { return "TConvertNotesOperation"; }
  std::vector<TField*> Notes;
};

class TNoteSeparatorOperation : public TSubOperation {
 public:
  TNoteSeparatorOperation(TDoc& doc, uint8_t flags) : TSubOperation(doc), Flags(flags) {}
  void Undo() override;
  const char* ClassName() const override { return "TNoteSeparatorOperation"; }
  uint8_t Flags;
};

// The formatting of a section as this record keeps it.
struct TSectionFormatting {
  TSectionFormat Format;
  TPageParams PageParams;
  std::array<TField*, hfCount> HeaderFooter = {};
  uint8_t PageNumberFormat = 0;
  int32_t PageNumberStart = -1;
  TNoteSettings Footnotes, Endnotes;
};

// Gives a section another section's formatting (its own Redo saves the target's first); undo
// puts the saved formatting back.
class TAssignSectOperation : public TSubOperation {
 public:
  TAssignSectOperation(TDoc& doc, TSection* target, TSection* source)
      : TSubOperation(doc), Target(target), Source(source) {}
  void Undo() override;
  void Redo() override;
  const char* ClassName() const override { return "TAssignSectOperation"; }
  TSectionFormatting Saved;
  TSection* Target;
  TSection* Source;
};

class TChangeSectHeadersOperation : public TSubOperation {
 public:
  TChangeSectHeadersOperation(TDoc& doc, TSection* section, const std::array<TField*, hfCount>& fields)
      : TSubOperation(doc), Section(section), Fields(fields) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangeSectHeadersOperation"; }
  TSection* Section;
  std::array<TField*, hfCount> Fields;
};

class TChangeHyphOptionsOperation : public TSubOperation {
 public:
  TChangeHyphOptionsOperation(TDoc& doc, uint8_t autoHyphenation, uint8_t caps, int32_t zone,
                              int32_t limit)
      : TSubOperation(doc), AutoHyphenation(autoHyphenation), Caps(caps), Zone(zone), Limit(limit) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangeHyphOptionsOperation"; }
  uint8_t AutoHyphenation, Caps;
  int32_t Zone, Limit;
};

class TEditFieldOperation : public TSubOperation {
 public:
  TEditFieldOperation(TDoc& doc, TField* field, std::u16string instruction)
      : TSubOperation(doc), Field(field), Instruction(std::move(instruction)) {}
  void Undo() override;
  const char* ClassName() const override { return "TEditFieldOperation"; }
  TField* Field;
  std::u16string Instruction;
};

class TChangeFieldPropsOperation : public TSubOperation {
 public:
  TChangeFieldPropsOperation(TDoc& doc, TField* field, uint8_t fieldType, std::u16string instruction)
      : TSubOperation(doc), Field(field), FieldType(fieldType), Instruction(std::move(instruction)) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangeFieldPropsOperation"; }
  TField* Field;
  uint8_t FieldType;
  std::u16string Instruction;
};

// Swaps the break kind of the section that the paragraph ends.
class TChangeSectBreakOperation : public TSubOperation {
 public:
  TChangeSectBreakOperation(TDoc& doc, int32_t par, int32_t kind) : TSubOperation(doc), Par(par), Kind(kind) {}
  void Undo() override;
  const char* ClassName() const override { return "TChangeSectBreakOperation"; }
  int32_t Par, Kind;
};

}  // namespace qv

namespace qv {

// Inserts (state 0) or removes (state 1) a field's start and end marks at their places; with
// both marks the field also leaves or rejoins the document's field list (the record owns it
// while it is out). A place is a paragraph, a character index and a slot: the number of field
// marks standing before it at that character.
class TInsDelFieldOperation : public TSubOperation {
 public:
  static constexpr uint8_t mpStart = 1, mpEnd = 2, mpBoth = 3;
  TInsDelFieldOperation(TDoc& doc, uint8_t state, TField* field, uint8_t parts,
                        const TDocPosition& start, int32_t startSlot, const TDocPosition& end,
                        int32_t endSlot);
  ~TInsDelFieldOperation() override;
  void Undo() override;
  const char* ClassName() const override { return "TInsDelFieldOperation"; }
  uint8_t State;
  uint8_t Parts;
  TField* Field;
  TDocPosition Start, End;
  int32_t StartSlot, EndSlot;
  std::unique_ptr<TField> Held;
  int32_t ListIndex = -1;  // where a removed field stood in the field list; -1: at the end
};

}  // namespace qv
