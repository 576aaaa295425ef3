#include "document/field_text.h"

#include <algorithm>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/par.h"

namespace qv {

namespace {

bool Writable(char16_t c) { return c == u'\t' || c == u'\v' || c >= 32; }

}  // namespace

void AppendTextContent(TMemory& out, const std::u16string& text) {
  for (char16_t c : text) {
    if (c == u'\t') {
      AppendContentTag(out, ctSpecialChar, scTab);
    } else if (c == u'\v') {
      AppendContentTag(out, ctSpecialChar, scLineBreak);
    } else if (c >= 32 && c < 0x7F) {
      const auto b = static_cast<uint8_t>(c);
      out.Append(&b, 1);
    } else if (c >= 0x7F) {
      AppendContentTag(out, ctWideChar, c);
    }
  }
}

int32_t TextContentLength(const std::u16string& text) {
  int32_t n = 0;
  for (char16_t c : text) n += Writable(c) ? 1 : 0;
  return n;
}

void AppendFormatDifference(TMemory& out, const TCharFormat& have, const TCharFormat& want) {
  for (int k = 0; k < TCharFormat::Count; ++k)
    if (have[k] != want[k]) AppendContentTag(out, static_cast<uint8_t>(k), want[k]);
}

TCharFormat FormatInForceAt(const TMemory& stream, int32_t offset) {
  TCharFormat out = DefaultCharFormat;
  TStreamItem item;
  for (int32_t off = 0; off < offset && ReadStreamItem(stream.Data, stream.Length, off, item);
       off += item.Size)
    if (item.ItemType == TStreamItem::siTag && IsFormatTagKind(item.Tag.Kind))
      out[item.Tag.Kind] = item.Tag.Value;
  return out;
}

TDocPosition InsertTextAt(TDoc& doc, const TDocPosition& at, const std::u16string& text,
                          const TCharFormat* format) {
  TDocPosition end = at;
  if (at.Par < 0 || at.Par >= doc.ParCount() || text.empty()) return end;
  // Inserted content continues the format after the character before the place.
  TCharFormat have = DefaultCharFormat;
  if (at.Offset > 0) doc.Par(at.Par)->GetCharFormatAt(at.Offset - 1, have);
  TMemory content;
  if (format != nullptr) {
    TCharFormat want = have;
    for (int k = 0; k < TCharFormat::Count; ++k)
      if ((*format)[k] != CharUnset) want[k] = (*format)[k];
    AppendFormatDifference(content, have, want);
  }
  AppendTextContent(content, text);
  EditServices().InsertContent(doc, content, at, doc.StoryOfParagraph(at.Par), 0);
  end.Offset += TextContentLength(text);
  return end;
}

TDocPosition ReplaceRangeWithText(TDoc& doc, const TDocRange& range, const std::u16string& text) {
  if (range.Start.Par < 0 || range.Start.Par >= doc.ParCount()) return range.Start;
  TCharFormat first = DefaultCharFormat;
  doc.Par(range.Start.Par)->GetCharFormatAt(range.Start.Offset, first);
  doc.BeginKeepFieldMarks(range.Start, range.End, 0);
  if (!IsRangeEmpty(range)) EditServices().DeleteContent(doc, range);
  const TDocPosition end = InsertTextAt(doc, range.Start, text, &first);
  doc.EndKeepFieldMarks(range.Start, end);
  return end;
}

TMemory CopyParagraphContent(const TPar& par, int32_t maxChars) {
  TMemory out;
  const int32_t chars = std::min(maxChars, par.CharCount() - 1);
  int32_t index = 0;
  TStreamItem item;
  for (int32_t off = 0; index < chars && ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size) {
    if (item.ItemType == TStreamItem::siText) {
      const int32_t n = std::min(item.Size, chars - index);
      out.Append(par.Content.Data + off, n);
      index += n;
      continue;
    }
    if (item.ItemType != TStreamItem::siTag) continue;
    const uint8_t kind = item.Tag.Kind;
    if (IsFormatTagKind(kind)) {
      out.Append(par.Content.Data + off, ContentTagSize);
    } else if (kind == ctSpecialChar || kind == ctWideChar) {
      out.Append(par.Content.Data + off, ContentTagSize);
      ++index;
    } else if (IsCharTagKind(kind)) {
      ++index;  // a shape or a section, cell or row end stays behind
    }
  }
  return out;
}

}  // namespace qv
