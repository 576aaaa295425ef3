#include "document/content_tags.h"

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

struct TRefTable {
  std::unordered_map<const void*, int32_t> ids;
  std::vector<void*> objects{nullptr};  // slot 0 is the null reference
};

TRefTable& Refs() {
  static TRefTable table;
  return table;
}

}  // namespace

int32_t TagRefOf(const void* object) {
  if (object == nullptr) return 0;
  TRefTable& t = Refs();
  auto it = t.ids.find(object);
  if (it != t.ids.end()) return it->second;
  int32_t id = static_cast<int32_t>(t.objects.size());
  t.objects.push_back(const_cast<void*>(object));
  t.ids.emplace(object, id);
  return id;
}

void* TagAddress(int32_t ref) {
  TRefTable& t = Refs();
  if (ref <= 0 || static_cast<size_t>(ref) >= t.objects.size()) return nullptr;
  return t.objects[static_cast<size_t>(ref)];
}

void ForgetTagRef(const void* object) {
  TRefTable& t = Refs();
  auto it = t.ids.find(object);
  if (it == t.ids.end()) return;
  t.objects[static_cast<size_t>(it->second)] = nullptr;
  t.ids.erase(it);
}

}  // namespace qv
