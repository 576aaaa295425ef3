#include "files/text/text_conv_preview.h"

#include <algorithm>

#include "files/text/code_page_bytes.h"
#include "files/text/plain_text_reader.h"
#include "files/text/plain_text_writer.h"
#include "files/text/text_conv_services.h"
#include "files/text/text_encodings.h"
#include "platform/system/code_page_conv.h"

namespace qv {
namespace {

std::u16string JoinLineEnds(const std::u16string& text) {
  std::u16string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'\r' && c != u'\n') {
      out.push_back(c);
      continue;
    }
    out.push_back(u'\n');
    const char16_t other = c == u'\r' ? u'\n' : u'\r';
    if (i + 1 < text.size() && text[i + 1] == other) ++i;
  }
  return out;
}

// The bytes up to the last whole UTF-8 character (all of them unless one is cut off at the end).
size_t WholeUtf8Prefix(const uint8_t* data, size_t size) {
  size_t k = size;
  size_t continuation = 0;
  while (k > 0 && continuation < 3 && (data[k - 1] & 0xC0) == 0x80) {
    --k;
    ++continuation;
  }
  if (k == 0) return size;
  const uint8_t lead = data[k - 1];
  const size_t need = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
  return need > continuation ? k - 1 : size;
}

std::u16string DecodeForPreview(const uint8_t* data, size_t size, int32_t encoding, bool cut) {
  if (encoding == teUtf8 || encoding == teUtf8Bom) {
    if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
      data += 3;
      size -= 3;
    }
    // A character cut off by the preview's limit is left out rather than shown damaged.
    return DecodeUtf8Text(data, cut ? WholeUtf8Prefix(data, size) : size, nullptr);
  }
  if (encoding == teUtf16LE || encoding == teUtf16BE) {
    const bool big = encoding == teUtf16BE;
    if (size >= 2 && data[0] == (big ? 0xFE : 0xFF) && data[1] == (big ? 0xFF : 0xFE)) {
      data += 2;
      size -= 2;
    }
    return DecodeUtf16Text(data, size & ~size_t{1}, big, nullptr);
  }
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  return plat::CodePageToUtf16(CodePageOfTextEncoding(encoding), bytes);
}

}  // namespace

std::u16string TextConvPreviewText(const TTextConvRecord& record, int32_t maxBytes) {
  if (record.Data == nullptr || record.DataLength <= 0 || !IsValidTextEncoding(record.Encoding))
    return {};
  const size_t size = static_cast<size_t>(std::min(record.DataLength, std::max(maxBytes, 2)));
  const auto* data = static_cast<const uint8_t*>(record.Data);
  if (record.Mode == TTextConvRecord::cmOpening)
    return JoinLineEnds(DecodeForPreview(data, size, record.Encoding,
                                         size < static_cast<size_t>(record.DataLength)));
  std::u16string text(reinterpret_cast<const char16_t*>(data), size / 2);
  if (IsCodePageEncoding(record.Encoding)) {
    const std::string bytes = EncodePlainText(text, record.Encoding);
    text = plat::CodePageToUtf16(CodePageOfTextEncoding(record.Encoding), bytes);
  }
  return JoinLineEnds(text);
}

}  // namespace qv
