#pragma once
// TInsDelOperation: the text record. Every insertion and deletion of content passes through it.
// While the content is in the document the next run deletes it into the record; while it is in
// the record the next run inserts it back.
//
// Held content format: the content-stream bytes of one or more paragraphs; after each paragraph
// but the last a byte 29, optionally followed by a byte 30 and the 40-byte TParFormat of the
// paragraph just ended. Tags (a 0 byte) are skipped by 7 bytes when scanning.
//
// Formatting: content is cut right after the character before the start (the formatting tags
// that stand before the first character go with the content) and right before the character
// after the last one: the formatting tags after the last character go with it, and so do the
// field marks there that belong to the content (marks it brought in when the record inserted it,
// and end marks of fields whose start leaves too); the other field marks there stay. What the
// text after the cut had in force is kept by tags inserted at the cut, so every character keeps
// its formatting; normalisation drops tags that repeat the value in force.
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "document/field.h"
#include "document/section.h"
#include "editing/undo_records.h"
#include "foundation/base/memory.h"

namespace qv {

class TField;
class TSection;

class TInsDelOperation : public TSubOperation {
 public:
  // A record that inserts the content at the place on its first run. `parMarks` is the number
  // of paragraph ends in the content. At the paragraph after the story's last (for story 3 and
  // the last story: the paragraph count) the content is appended as whole paragraphs.
  static std::unique_ptr<TInsDelOperation> ForInsert(TDoc& doc, const TMemory& content,
                                                     const TDocPosition& at, int32_t story,
                                                     int32_t parMarks);
  // A record that deletes the range on its first run. A range from offset 0 of a paragraph to
  // offset 0 of the paragraph after its story's last removes whole paragraphs.
  static std::unique_ptr<TInsDelOperation> ForDelete(TDoc& doc, const TDocRange& range);

  ~TInsDelOperation() override;
  void Undo() override;
  const char* ClassName() const override { return "TInsDelOperation"; }
  // Where the content ends after the last run (its start while it is out of the document).
  TDocPosition GetEndPosition() const;

  uint8_t Story = 0;
  uint8_t State = 0;  // 1 the content is in the document, 0 it is held here
  int32_t FirstPar = 0, StartOffset = 0, LastPar = 0, EndOffset = 0;
  int32_t ParMarks = 0;
  // False when the objects that tags of the content name stay registered in the document while
  // the content is out of it (the content is about to come back with the same objects).
  bool OwnsObjects = true;
  TMemory Content;
  // Objects named by tags of the held content, out of the document while it is held.
  std::vector<std::unique_ptr<TSection>> HeldSections;
  std::vector<std::unique_ptr<TField>> HeldFields;
  std::vector<int32_t> HeldFieldPlaces;  // where each held field stood in the field list
  // The field marks (field, start or end tag kind) that ended the content when it went in: they
  // leave with it again.
  std::vector<std::pair<const TField*, uint8_t>> BroughtMarks;

 private:
  explicit TInsDelOperation(TDoc& doc) : TSubOperation(doc) {}
  bool WholeParagraphs() const;
  void DeleteContent();
  void InsertContent();
  void DeleteInParagraph();
  void InsertInParagraph();
  void DeleteParagraphs();
  void InsertParagraphs();
  void ObjectsOut();
  void ObjectsIn();
  void AfterChange(int32_t first, int32_t last, bool structural);
  void NoteBroughtMarks();
  // Splits the tags from `to` (after the last deleted character) up to `tail` (the next
  // character): formatting tags and the field marks that belong to the content leave (appended
  // to the held content), the other field marks are returned to stay in the text.
  TMemory TakeTrailingTags(const TMemory& stream, int32_t to, int32_t tail);
};

// The stream offset just after the character before the index (0 for index 0).
int32_t OffsetAfterCharBefore(const TPar& par, int32_t index);
// The character format in force at a stream offset.
void FormatAtStreamOffset(const TMemory& stream, int32_t offset, TCharFormat& out);
// Appends a tag with `want`'s value for every property where it differs from `have`.
void AppendFormatChangeTags(TMemory& out, const TCharFormat& have, const TCharFormat& want);

}  // namespace qv
