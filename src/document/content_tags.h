#pragma once
// Content tags: the 7-byte records that a paragraph's content stream carries between its text
// bytes (byte 0, kind, 32-bit little-endian value, byte 1). A text byte is never below 32, so a
// 0 byte always starts a tag, and the closing 1 lets the stream be read backwards.
//
// Tags that stand for objects (sections, fields, shapes, table rows) hold a 32-bit object
// reference: a number that the program-wide reference table maps to the object and its kind,
// since an address does not fit into the tag's 32 bits (see "Object references" below).
#include <cstdint>

#include "foundation/base/memory.h"

namespace qv {

struct TCharFormat;
struct TParFormat;
class TField;
class TSection;
class TShape;
class TTableRow;

inline constexpr int32_t ContentTagSize = 7;

// Tag kinds. Kinds 0..22 are format tags: the new value of the TCharFormat property of the same
// index.
enum : uint8_t {
  ctFormatFirst = 0,
  ctFont = 0,
  ctSize = 1,
  ctBold = 2,
  ctVertOffsetFormat = 20,
  ctFormatLast = 22,
  ctSpecialChar = 23,
  ctWideChar = 24,
  ctSectionBreak = 25,
  ctCellEnd = 26,
  ctRowEnd = 27,
  ctInlineShape = 28,
  ctFieldStart = 29,
  ctFieldEnd = 30,
  ctKindCount = 31,
};

// Special-character codes: the value of a ctSpecialChar tag and the byte in the character codes.
enum : uint8_t {
  scParagraphEnd = 2,
  scSectionEnd = 3,   // the code of a section-break tag
  scCellEnd = 4,      // the code of a cell-end tag
  scRowEnd = 5,       // the code of a row-end tag
  scColumnBreak = 6,
  scLineBreak = 7,
  scPageBreak = 8,
  scTab = 9,
  scInlineShape = 10,  // the code of an inline-shape tag
  scNonBreakingSpace = 11,
  scNonBreakingHyphen = 12,
  scEmDash = 13,
  scEnDash = 14,
  scOptionalHyphen = 15,
  scAutoNoteMark = 16,
  scWideChar = 17,  // the code of a UTF-16 character tag
  scEnSpace = 18,
  scEmSpace = 19,
  scQuarterEmSpace = 20,
};

inline bool IsFormatTagKind(int kind) { return kind >= ctFormatFirst && kind <= ctFormatLast; }
inline bool IsCharTagKind(int kind) { return kind >= ctSpecialChar && kind <= ctInlineShape; }
inline bool IsFieldMarkKind(int kind) { return kind == ctFieldStart || kind == ctFieldEnd; }
// Format tags and field marks take no character position.
inline bool IsPositionlessTagKind(int kind) { return !IsCharTagKind(kind); }

// The character code that a character tag stands for (its value for ctSpecialChar); 0 for a
// kind without a character position.
uint8_t CharCodeOfTag(int kind, int32_t value);

// A tag read from a stream.
struct TContentTag {
  uint8_t Kind = 0;
  int32_t Value = 0;
};

// True when a well-formed tag starts at the offset (0 byte, kind below 31, closing 1).
bool IsTagAt(const uint8_t* data, int32_t length, int32_t offset);
// Reads the tag at the offset; the caller has checked that one is there.
TContentTag ReadTagAt(const uint8_t* data, int32_t offset);
// Writes the tag's value at the offset.
void WriteTagValue(uint8_t* data, int32_t offset, int32_t value);
// True when a tag ends just before the offset (offset >= 7 and the byte before it is 1).
bool TagEndsBefore(const uint8_t* data, int32_t offset);

// Appends the 7 bytes 0, kind, value, 1.
void AppendContentTag(TMemory& stream, uint8_t kind, int32_t value);
// Inserts those 7 bytes at the offset, moving the rest up.
void InsertContentTag(TMemory& stream, int32_t offset, uint8_t kind, int32_t value);
// Appends 23 format tags, kinds 0 to 22 in order, with the record's values (unset ones too).
void AppendCharFormatTags(TMemory& stream, const TCharFormat& format);

// The marker in front of a paragraph-format block of the fragment form: bytes 1D 1E.
inline constexpr uint8_t ParBlockMark1 = 0x1D;
inline constexpr uint8_t ParBlockMark2 = 0x1E;
inline constexpr int32_t ParBlockSize = 2 + 40;
// Appends the 16-bit value 0x1E1D followed by the 40 bytes of the paragraph format.
void AppendParFormatBlock(TMemory& buffer, const TParFormat& format);

// --- Object references ---
// Tags that stand for objects hold a number from a program-wide table, never an address. Every
// number remembers the kind of object it was given to, and a tag resolves only to an object of
// the kind its tag kind stands for: a section-break tag to a TSection, a field mark to a TField,
// an inline-shape tag to a TShape, a row-end tag to a TTableRow. A number of another kind, a
// number that names nothing (a damaged or hostile stream) and the number of an object that has
// been freed all resolve to null, so no code ever reads one object as another.
enum class TTagObjectKind : uint8_t { None, Section, Field, Shape, TableRow };

// The reference of an object (0 for null); the same object always gets the same number.
int32_t TagRefOf(const TSection* section);
int32_t TagRefOf(const TField* field);
int32_t TagRefOf(const TShape* shape);
int32_t TagRefOf(const TTableRow* row);

// The object a tag stands for; null when the tag is of another kind or its number does not name
// a live object of that kind.
TSection* SectionOfTag(const TContentTag& tag);    // ctSectionBreak
TField* FieldOfTag(const TContentTag& tag);        // ctFieldStart, ctFieldEnd
TShape* ShapeOfTag(const TContentTag& tag);        // ctInlineShape
TTableRow* TableRowOfTag(const TContentTag& tag);  // ctRowEnd
// The same for a bare value known to come from a tag of the object's kind.
TSection* SectionOfRef(int32_t ref);
TField* FieldOfRef(int32_t ref);
TShape* ShapeOfRef(int32_t ref);
TTableRow* TableRowOfRef(int32_t ref);

// The kind of object a number was given to; None for 0, unknown numbers and forgotten objects.
TTagObjectKind TagRefKind(int32_t ref);

// Forgets an object that is about to be freed, so that stale tags name nothing and a later
// object at the same address gets a fresh number. TField and TSection call it from their
// destructors, and so must every other kind of object that tags name.
void ForgetTagRef(const void* object);

}  // namespace qv
