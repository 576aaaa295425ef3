#include "platform/system/code_page_conv.h"

#include "platform/gfx/font.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace plat {
namespace {

const char* IconvName(uint32_t codePage) {
  switch (codePage) {
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1252: return "CP1252";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    case 874: return "CP874";
    case 932: return "CP932";
    case 936: return "CP936";
    case 949: return "CP949";
    case 950: return "CP950";
    case 437: return "CP437";
    case 850: return "CP850";
    case CP_MACROMAN: return "MACINTOSH";
    case CP_UTF8: return "UTF-8";
    default: return nullptr;
  }
}

// An iconv descriptor, closed with its owner.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) ::iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  void Reset() { ::iconv(cd_, nullptr, nullptr, nullptr, nullptr); }
  // One step of conversion; returns false with errno set on a stop.
  bool Step(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
    char* src = const_cast<char*>(in);
    size_t r = ::iconv(cd_, &src, &inLeft, &out, &outLeft);
    in = src;
    return r != static_cast<size_t>(-1);
  }
  bool Flush(char*& out, size_t& outLeft) {
    return ::iconv(cd_, nullptr, nullptr, &out, &outLeft) != static_cast<size_t>(-1);
  }

 private:
  iconv_t cd_;
};

// The 256 characters of a single-byte page and the way back.
struct ByteTable {
  std::array<char16_t, 256> toWide{};
  std::unordered_map<char16_t, uint8_t> toByte;
};

std::unique_ptr<ByteTable> BuildTable(uint32_t codePage) {
  Iconv cd("UTF-16LE", IconvName(codePage));
  if (!cd.ok()) return nullptr;
  auto table = std::make_unique<ByteTable>();
  for (int b = 0; b < 256; ++b) {
    const char byte = static_cast<char>(b);
    const char* in = &byte;
    size_t inLeft = 1;
    char buf[16];
    char* out = buf;
    size_t outLeft = sizeof buf;
    cd.Reset();
    bool ok = cd.Step(in, inLeft, out, outLeft) && cd.Flush(out, outLeft);
    // A byte the page leaves undefined keeps its own value, so the byte survives a round trip.
    char16_t ch = static_cast<char16_t>(b);
    if (ok && out - buf == 2)
      ch = static_cast<char16_t>(static_cast<uint8_t>(buf[0]) | static_cast<uint8_t>(buf[1]) << 8);
    table->toWide[b] = ch;
  }
  for (int b = 0; b < 256; ++b) table->toByte.emplace(table->toWide[b], static_cast<uint8_t>(b));
  return table;
}

const ByteTable* TableFor(uint32_t codePage) {
  static std::mutex lock;
  static std::map<uint32_t, std::unique_ptr<ByteTable>>* tables =
      new std::map<uint32_t, std::unique_ptr<ByteTable>>();
  std::lock_guard<std::mutex> guard(lock);
  auto it = tables->find(codePage);
  if (it == tables->end()) it = tables->emplace(codePage, BuildTable(codePage)).first;
  return it->second.get();
}

const ByteTable* SingleByteTable(uint32_t codePage) {
  if (!IsCodePageSupported(codePage) || IsMultiByteCodePage(codePage)) codePage = 1252;
  return TableFor(codePage);
}

std::u16string DecodeMultiByte(uint32_t codePage, const std::string& bytes) {
  Iconv cd("UTF-16LE", IconvName(codePage));
  std::u16string result;
  if (!cd.ok()) return result;
  const char* in = bytes.data();
  size_t inLeft = bytes.size();
  std::string buf(bytes.size() * 4 + 16, '\0');
  while (true) {
    char* out = buf.data();
    size_t outLeft = buf.size();
    bool ok = cd.Step(in, inLeft, out, outLeft);
    const int err = errno;
    for (char* p = buf.data(); p + 1 < out; p += 2)
      result += static_cast<char16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
    if (ok || inLeft == 0) break;
    if (err == E2BIG) continue;
    // An invalid sequence costs one replacement and one byte; a cut-off one at the end, the rest.
    result += u'\uFFFD';
    if (err == EINVAL) break;
    ++in;
    --inLeft;
    cd.Reset();
  }
  return result;
}

std::string EncodeMultiByte(uint32_t codePage, const std::u16string& text, char replacement,
                            bool& replaced) {
  Iconv cd(IconvName(codePage), "UTF-16LE");
  std::string result;
  if (!cd.ok()) return result;
  std::string input;
  input.reserve(text.size() * 2);
  for (char16_t c : text) {
    input += static_cast<char>(c & 0xFF);
    input += static_cast<char>(c >> 8);
  }
  const char* in = input.data();
  size_t inLeft = input.size();
  std::string buf(text.size() * 4 + 16, '\0');
  while (true) {
    char* out = buf.data();
    size_t outLeft = buf.size();
    bool ok = cd.Step(in, inLeft, out, outLeft);
    const int err = errno;
    result.append(buf.data(), out);
    if (ok || inLeft == 0) break;
    if (err == E2BIG) continue;
    result += replacement;
    replaced = true;
    // Skip the character: a surrogate pair is two code units, anything else one.
    const size_t unit = static_cast<size_t>((in - input.data()) / 2);
    size_t skip = 2;
    if (unit + 1 < text.size() && text[unit] >= 0xD800 && text[unit] <= 0xDBFF &&
        text[unit + 1] >= 0xDC00 && text[unit + 1] <= 0xDFFF)
      skip = 4;
    skip = std::min(skip, inLeft);
    in += skip;
    inLeft -= skip;
    cd.Reset();
  }
  char* out = buf.data();
  size_t outLeft = buf.size();
  cd.Flush(out, outLeft);
  result.append(buf.data(), out);
  return result;
}

}  // namespace

bool IsCodePageSupported(uint32_t codePage) { return IconvName(codePage) != nullptr; }

bool IsMultiByteCodePage(uint32_t codePage) {
  return codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
         codePage == CP_UTF8;
}

std::u16string CodePageToUtf16(uint32_t codePage, const std::string& bytes) {
  if (IsCodePageSupported(codePage) && IsMultiByteCodePage(codePage))
    return DecodeMultiByte(codePage, bytes);
  const ByteTable* table = SingleByteTable(codePage);
  std::u16string result(bytes.size(), u'\0');
  for (size_t i = 0; i < bytes.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(bytes[i]);
    result[i] = table ? table->toWide[b] : static_cast<char16_t>(b);
  }
  return result;
}

std::string Utf16ToCodePage(uint32_t codePage, const std::u16string& text, char replacement,
                            bool* usedReplacement) {
  bool replaced = false;
  std::string result;
  if (IsCodePageSupported(codePage) && IsMultiByteCodePage(codePage)) {
    result = EncodeMultiByte(codePage, text, replacement, replaced);
  } else {
    const ByteTable* table = SingleByteTable(codePage);
    result.resize(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      auto it = table ? table->toByte.find(text[i]) : decltype(table->toByte.end()){};
      if (table && it != table->toByte.end()) {
        result[i] = static_cast<char>(it->second);
      } else if (!table && text[i] < 256) {
        result[i] = static_cast<char>(text[i]);
      } else {
        result[i] = replacement;
        replaced = true;
      }
    }
  }
  if (usedReplacement) *usedReplacement = replaced;
  return result;
}

int ByteOfChar(uint32_t codePage, char16_t ch) {
  if (IsMultiByteCodePage(codePage)) return -1;
  const ByteTable* table = SingleByteTable(codePage);
  if (!table) return ch < 256 ? ch : -1;
  auto it = table->toByte.find(ch);
  return it == table->toByte.end() ? -1 : it->second;
}

void InstallCodePageDecoder() {
  SetCodePageDecoder([](int32_t codePage, std::string_view bytes) {
    return CodePageToUtf16(static_cast<uint32_t>(codePage), std::string(bytes));
  });
}

namespace {
// Text drawing decodes bytes through this conversion from the start.
const bool decoderInstalled = (InstallCodePageDecoder(), true);
}  // namespace

}  // namespace plat
