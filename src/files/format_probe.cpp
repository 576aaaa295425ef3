#include "files/format_probe.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "files/compound_file.h"
#include "files/crypt/encrypted_document.h"
#include "files/crypt/encryption_manager.h"
#include "files/doc_formats.h"
#include "files/office_xml_services.h"
#include "files/open_context.h"
#include "files/read_buffer.h"
#include "foundation/base/memory.h"
#include "foundation/system/temp_files.h"

namespace qv {

namespace {

constexpr int32_t kWordHeaderSize = 1536;
constexpr std::string_view kOdtMimeType = "application/vnd.oasis.opendocument.text";
constexpr uint8_t kZipSignature[4] = {0x50, 0x4B, 0x03, 0x04};

uint16_t Word16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

std::string_view Buffered(const TOpenContext& context) {
  return {reinterpret_cast<const char*>(context.ReadPos),
          static_cast<size_t>(std::max(context.Unread(), 0))};
}

bool IsFile(const TOpenContext& context) {
  return context.Options.From == TDocOpeningOptions::Source::File && context.File();
}

// Keeps the file position of the buffered read across a probe that reads the file itself.
class TFilePositionKeeper {
 public:
  explicit TFilePositionKeeper(std::FILE* file) : file_(file), position_(std::ftell(file)) {}
  ~TFilePositionKeeper() {
    if (position_ >= 0) std::fseek(file_, position_, SEEK_SET);
  }

 private:
  std::FILE* file_;
  long position_;
};

bool ProbeRtf(const TOpenContext& context) {
  const std::string_view data = Buffered(context);
  return context.FileSize >= 6 && data.size() >= 5 && data.substr(0, 5) == "{\\rtf";
}

bool ProbeEncrypted(const TOpenContext& context) {
  return context.Unread() >= TEncryptionManager::kMagicSize &&
         LooksEncrypted(context.ReadPos, context.FileSize);
}

bool ProbeWrite(const TOpenContext& context) {
  if (context.FileSize <= 0 || context.FileSize % 128 != 0 || context.Unread() < 98) return false;
  const uint8_t* p = context.ReadPos;
  const uint16_t magic = Word16(p);
  return (magic == 0xBE31 || magic == 0xBE32) && Word16(p + 4) == 0xAB00 && Word16(p + 96) != 0;
}

bool ProbeWord(TOpenContext& context) {
  if (context.WordProbeState == 1) return true;
  if (context.WordProbeState == 2) return false;
  context.WordProbeState = 2;
  if (!IsFile(context)) return false;
  TFilePositionKeeper keep(context.File());
  if (!IsCompoundFile(context.File())) return false;
  std::vector<uint8_t> header;
  if (!ReadCompoundStreamStart(context.File(), "WordDocument", kWordHeaderSize, header) ||
      header.size() < 4)
    return false;
  const uint16_t ident = Word16(header.data());
  if ((ident != 0xA5DC && ident != 0xA5EC) || Word16(header.data() + 2) <= 100) return false;
  context.WordHeader = std::move(header);
  context.WordProbeState = 1;
  return true;
}

// The zip package, made once per open when the input starts like a zip archive.
TUnpackedZip* ZipPackage(TOpenContext& context) {
  if (context.ZipTried) return context.ZipPackage.get();
  context.ZipTried = true;
  if (!IsFile(context) || context.Unread() < 4 ||
      std::memcmp(context.ReadPos, kZipSignature, 4) != 0)
    return nullptr;
  TFilePositionKeeper keep(context.File());
  try {
    context.PackageFolder = MakeTempFolder();
  } catch (const std::exception&) {
    return nullptr;
  }
  context.ZipPackage = OfficeXmlServices().UnpackZip(context.File(), context.PackageFolder);
  return context.ZipPackage.get();
}

bool LoadZipEntry(TOpenContext& context, const std::string& name, TMemory& out) {
  TUnpackedZip* zip = ZipPackage(context);
  if (!zip) return false;
  TFilePositionKeeper keep(context.File());
  std::string path;
  if (!zip->ExtractEntry(name, path)) return false;
  try {
    out.LoadFromFile(path);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

bool ProbeDocx(TOpenContext& context) {
  TMemory types;
  if (!LoadZipEntry(context, "[Content_Types].xml", types)) return false;
  const std::string text = types.ToString();
  for (const char* part : {"document.main", "template.main"})
    if (text.find(OfficeXmlServices().DocxContentType(part)) != std::string::npos) return true;
  return false;
}

bool ProbeOdt(TOpenContext& context) {
  TMemory mime;
  return LoadZipEntry(context, "mimetype", mime) && mime.ToString() == kOdtMimeType;
}

bool ProbeHtml(const TOpenContext& context) {
  std::string_view data = Buffered(context);
  if (data.substr(0, 3) == "\xEF\xBB\xBF") data.remove_prefix(3);
  while (!data.empty() && (data.front() == ' ' || (data.front() >= 9 && data.front() <= 13)))
    data.remove_prefix(1);
  std::string start(data.substr(0, 14));
  std::transform(start.begin(), start.end(), start.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  return start.rfind("<!doctype html", 0) == 0 || start.rfind("<html", 0) == 0;
}

}  // namespace

bool ProbeFileFormat(int32_t formatIndex, TOpenContext& context) {
  try {
    switch (formatIndex) {
      case dfRtf: return ProbeRtf(context);
      case dfDoc: return ProbeWord(context);
      case dfDocx: return ProbeDocx(context);
      case dfOdt: return ProbeOdt(context);
      case dfEncrypted: return ProbeEncrypted(context);
      case dfWrite: return ProbeWrite(context);
      case dfHtml: return ProbeHtml(context);
      default: return true;
    }
  } catch (const std::exception&) {
    return false;
  }
}

int32_t DetectFileFormat(TOpenContext& context) {
  for (int32_t format : {dfWrite, dfEncrypted, dfOdt, dfDocx, dfDoc, dfRtf})
    if (ProbeFileFormat(format, context)) return format;
  return dfText;
}

}  // namespace qv
