#include "document/content_stream.h"

#include <cstring>

#include "document/par.h"

namespace qv {

bool ReadStreamItem(const uint8_t* data, int32_t length, int32_t offset, TStreamItem& item) {
  if (offset >= length) return false;
  item.Offset = offset;
  if (data[offset] == 0) {
    if (IsTagAt(data, length, offset)) {
      item.ItemType = TStreamItem::siTag;
      item.Size = ContentTagSize;
      item.Tag = ReadTagAt(data, offset);
    } else {
      item.ItemType = TStreamItem::siDamaged;
      item.Size = 1;
    }
    return true;
  }
  // Text runs can be long (a paragraph of typed text): find the next tag's 0 byte at memchr speed.
  const void* zero = std::memchr(data + offset, 0, static_cast<size_t>(length - offset));
  const int32_t end = zero ? static_cast<int32_t>(static_cast<const uint8_t*>(zero) - data) : length;
  item.ItemType = TStreamItem::siText;
  item.Size = end - offset;
  return true;
}

void BuildCharCodes(const TMemory& stream, TMemory& codes) {
  codes.Clear();
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(stream.Data, stream.Length, off, item); off += item.Size) {
    if (item.ItemType == TStreamItem::siText)
      codes.Append(stream.Data + off, item.Size);
    else if (item.ItemType == TStreamItem::siTag && IsCharTagKind(item.Tag.Kind))
      codes.AppendByte(CharCodeOfTag(item.Tag.Kind, item.Tag.Value));
  }
}

int32_t CountStreamChars(const TMemory& stream) {
  int32_t n = 0;
  TStreamItem item;
  for (int32_t off = 0; ReadStreamItem(stream.Data, stream.Length, off, item); off += item.Size)
    n += item.Chars();
  return n;
}

void AppendParagraphToFragment(TMemory& buffer, const TPar& par) {
  buffer.AppendMemory(par.Content);
  AppendParFormatBlock(buffer, par.Format);
}

bool ParseContentFragment(const uint8_t* data, int32_t length,
                          std::vector<TFragmentParagraph>& out, std::string* error) {
  auto fail = [&](const char* reason, int32_t at) {
    if (error) *error = std::string(reason) + " at byte " + std::to_string(at);
    return false;
  };
  TFragmentParagraph current;
  int32_t off = 0;
  while (off < length) {
    uint8_t b = data[off];
    if (b == 0) {
      if (!IsTagAt(data, length, off)) return fail("damaged content tag", off);
      current.Content.Append(data + off, ContentTagSize);
      off += ContentTagSize;
    } else if (b == ParBlockMark1) {
      if (off + 1 == length) {  // the lone closing byte
        out.push_back(std::move(current));
        return true;
      }
      if (data[off + 1] != ParBlockMark2 || off + ParBlockSize > length)
        return fail("damaged paragraph-format block", off);
      std::memcpy(&current.Format, data + off + 2, sizeof(TParFormat));
      current.HasFormat = true;
      out.push_back(std::move(current));
      current = TFragmentParagraph();
      off += ParBlockSize;
    } else if (b < 32) {
      return fail("control byte outside a tag", off);
    } else {
      int32_t end = off;
      while (end < length && data[end] >= 32) ++end;
      current.Content.Append(data + off, end - off);
      off = end;
    }
  }
  if (current.Content.Length == 0) return true;
  // Cut short inside a paragraph: what was read is kept, and the damage is reported.
  out.push_back(std::move(current));
  return fail("fragment ends inside a paragraph", length);
}

}  // namespace qv
