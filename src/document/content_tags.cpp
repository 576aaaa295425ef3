#include "document/content_tags.h"

#include <climits>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "document/char_format.h"
#include "document/par_format.h"

namespace qv {

uint8_t CharCodeOfTag(int kind, int32_t value) {
  switch (kind) {
    case ctSpecialChar: return static_cast<uint8_t>(value);
    case ctWideChar: return scWideChar;
    case ctSectionBreak: return scSectionEnd;
    case ctCellEnd: return scCellEnd;
    case ctRowEnd: return scRowEnd;
    case ctInlineShape: return scInlineShape;
    default: return 0;
  }
}

bool IsTagAt(const uint8_t* data, int32_t length, int32_t offset) {
  return offset >= 0 && offset + ContentTagSize <= length && data[offset] == 0 &&
         data[offset + 1] < ctKindCount && data[offset + 6] == 1;
}

TContentTag ReadTagAt(const uint8_t* data, int32_t offset) {
  TContentTag tag;
  tag.Kind = data[offset + 1];
  uint32_t v = static_cast<uint32_t>(data[offset + 2]) | (static_cast<uint32_t>(data[offset + 3]) << 8) |
               (static_cast<uint32_t>(data[offset + 4]) << 16) |
               (static_cast<uint32_t>(data[offset + 5]) << 24);
  tag.Value = static_cast<int32_t>(v);
  return tag;
}

void WriteTagValue(uint8_t* data, int32_t offset, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) data[offset + 2 + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool TagEndsBefore(const uint8_t* data, int32_t offset) {
  return offset >= ContentTagSize && data[offset - 1] == 1;
}

namespace {

void MakeTag(uint8_t (&bytes)[ContentTagSize], uint8_t kind, int32_t value) {
  bytes[0] = 0;
  bytes[1] = kind;
  WriteTagValue(bytes, 0, value);
  bytes[6] = 1;
}

}  // namespace

void AppendContentTag(TMemory& stream, uint8_t kind, int32_t value) {
  uint8_t bytes[ContentTagSize];
  MakeTag(bytes, kind, value);
  stream.Append(bytes, ContentTagSize);
}

void InsertContentTag(TMemory& stream, int32_t offset, uint8_t kind, int32_t value) {
  uint8_t bytes[ContentTagSize];
  MakeTag(bytes, kind, value);
  stream.Insert(bytes, offset, ContentTagSize);
}

void AppendCharFormatTags(TMemory& stream, const TCharFormat& format) {
  for (int k = 0; k < TCharFormat::Count; ++k)
    AppendContentTag(stream, static_cast<uint8_t>(k), format[k]);
}

void AppendParFormatBlock(TMemory& buffer, const TParFormat& format) {
  buffer.AppendByte(ParBlockMark1);
  buffer.AppendByte(ParBlockMark2);
  buffer.Append(&format, static_cast<int32_t>(sizeof(TParFormat)));
}

// --- Object references ---

namespace {

struct TRefEntry {
  void* Object = nullptr;
  TTagObjectKind Kind = TTagObjectKind::None;
};

struct TRefTable {
  std::unordered_map<const void*, int32_t> ids;
  std::vector<TRefEntry> entries{TRefEntry()};  // slot 0 is the null reference
};

// Never freed: objects destroyed during the program's exit still forget themselves here.
TRefTable& Refs() {
  static TRefTable* table = new TRefTable();
  return *table;
}

// Numbers are never given twice, so a tag that named a freed object can never name a new one.
int32_t RefOf(const void* object, TTagObjectKind kind) {
  if (object == nullptr) return 0;
  TRefTable& t = Refs();
  auto it = t.ids.find(object);
  if (it != t.ids.end()) {
    TRefEntry& entry = t.entries[static_cast<size_t>(it->second)];
    if (entry.Kind == kind) return it->second;
    // The address was another object's that was freed without being forgotten: its old number
    // must not name this one.
    entry = TRefEntry();
    t.ids.erase(it);
  }
  if (t.entries.size() >= static_cast<size_t>(INT32_MAX)) return 0;  // table full: no reference
  const auto id = static_cast<int32_t>(t.entries.size());
  t.entries.push_back({const_cast<void*>(object), kind});
  t.ids.emplace(object, id);
  return id;
}

void* ObjectOf(int32_t ref, TTagObjectKind kind) {
  const TRefTable& t = Refs();
  if (ref <= 0 || static_cast<size_t>(ref) >= t.entries.size()) return nullptr;
  const TRefEntry& entry = t.entries[static_cast<size_t>(ref)];
  return entry.Kind == kind ? entry.Object : nullptr;
}

}  // namespace

int32_t TagRefOf(const TSection* section) { return RefOf(section, TTagObjectKind::Section); }
int32_t TagRefOf(const TField* field) { return RefOf(field, TTagObjectKind::Field); }
int32_t TagRefOf(const TShape* shape) { return RefOf(shape, TTagObjectKind::Shape); }
int32_t TagRefOf(const TTableRow* row) { return RefOf(row, TTagObjectKind::TableRow); }

TSection* SectionOfRef(int32_t ref) {
  return static_cast<TSection*>(ObjectOf(ref, TTagObjectKind::Section));
}
TField* FieldOfRef(int32_t ref) { return static_cast<TField*>(ObjectOf(ref, TTagObjectKind::Field)); }
TShape* ShapeOfRef(int32_t ref) { return static_cast<TShape*>(ObjectOf(ref, TTagObjectKind::Shape)); }
TTableRow* TableRowOfRef(int32_t ref) {
  return static_cast<TTableRow*>(ObjectOf(ref, TTagObjectKind::TableRow));
}

TSection* SectionOfTag(const TContentTag& tag) {
  return tag.Kind == ctSectionBreak ? SectionOfRef(tag.Value) : nullptr;
}
TField* FieldOfTag(const TContentTag& tag) {
  return IsFieldMarkKind(tag.Kind) ? FieldOfRef(tag.Value) : nullptr;
}
TShape* ShapeOfTag(const TContentTag& tag) {
  return tag.Kind == ctInlineShape ? ShapeOfRef(tag.Value) : nullptr;
}
TTableRow* TableRowOfTag(const TContentTag& tag) {
  return tag.Kind == ctRowEnd ? TableRowOfRef(tag.Value) : nullptr;
}

TTagObjectKind TagRefKind(int32_t ref) {
  const TRefTable& t = Refs();
  if (ref <= 0 || static_cast<size_t>(ref) >= t.entries.size()) return TTagObjectKind::None;
  return t.entries[static_cast<size_t>(ref)].Kind;
}

void ForgetTagRef(const void* object) {
  if (object == nullptr) return;
  TRefTable& t = Refs();
  auto it = t.ids.find(object);
  if (it == t.ids.end()) return;
  t.entries[static_cast<size_t>(it->second)] = TRefEntry();
  t.ids.erase(it);
}

}  // namespace qv
