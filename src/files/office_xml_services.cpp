#include "files/office_xml_services.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "foundation/base/memory.h"
#include "foundation/base/service_slot.h"

namespace qv {

namespace {

// Entries the stand-in extracts are small package parts; anything larger is refused.
constexpr uint32_t kMaxEntrySize = 16u << 20;
constexpr uint32_t kMaxDirectorySize = 16u << 20;
constexpr int64_t kEndRecordSearch = 22 + 65535;

uint16_t Word16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Word32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool ReadAt(std::FILE* file, int64_t offset, uint8_t* out, size_t count) {
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
         std::fread(out, 1, count, file) == count;
}

struct Entry {
  std::string Name;
  uint16_t Method = 0;
  uint32_t Crc = 0;
  uint32_t CompressedSize = 0;
  uint32_t Size = 0;
  uint32_t LocalOffset = 0;
};

// The least zip reader the format probe needs: the central directory, stored and deflated
// entries, sizes and checksums checked.
class TStandInZip : public TUnpackedZip {
 public:
  TStandInZip(std::FILE* file, std::string folder, int64_t size, std::vector<Entry> entries)
      : file_(file), folder_(std::move(folder)), size_(size), entries_(std::move(entries)) {}

  bool ExtractEntry(const std::string& name, std::string& path) override {
    const auto it = std::find_if(entries_.begin(), entries_.end(),
                                 [&](const Entry& e) { return e.Name == name; });
    if (it == entries_.end()) return false;
    std::vector<uint8_t> data;
    if (!Inflate(*it, data)) return false;
    const size_t slash = name.find_last_of('/');
    path = folder_ + (slash == std::string::npos ? name : name.substr(slash + 1));
    if (path == folder_) return false;
    try {
      TMemory out;
      out.SetData(data.data(), static_cast<int32_t>(data.size()));
      out.SaveToFile(path);
    } catch (const std::exception&) {
      return false;
    }
    return true;
  }

 private:
  bool Inflate(const Entry& entry, std::vector<uint8_t>& data) const {
    uint8_t local[30];
    if (entry.Size > kMaxEntrySize || entry.CompressedSize > kMaxEntrySize) return false;
    if (!ReadAt(file_, entry.LocalOffset, local, 30) || Word32(local) != 0x04034b50) return false;
    const int64_t start = int64_t(entry.LocalOffset) + 30 + Word16(local + 26) + Word16(local + 28);
    if (start + entry.CompressedSize > size_) return false;
    std::vector<uint8_t> packed(entry.CompressedSize);
    if (!packed.empty() && !ReadAt(file_, start, packed.data(), packed.size())) return false;
    data.assign(entry.Size, 0);
    if (entry.Method == 0) {
      if (entry.CompressedSize != entry.Size) return false;
      data = packed;
    } else if (entry.Method == 8) {
      z_stream z{};
      if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
      z.next_in = packed.data();
      z.avail_in = static_cast<uInt>(packed.size());
      z.next_out = data.data();
      z.avail_out = static_cast<uInt>(data.size());
      const int status = inflate(&z, Z_FINISH);
      const bool whole = status == Z_STREAM_END && z.total_out == entry.Size;
      inflateEnd(&z);
      if (!whole) return false;
    } else {
      return false;
    }
    return crc32(0, data.data(), static_cast<uInt>(data.size())) == entry.Crc;
  }

  std::FILE* file_;
  std::string folder_;
  int64_t size_;
  std::vector<Entry> entries_;
};

bool ReadDirectory(std::FILE* file, int64_t size, std::vector<Entry>& entries) {
  const int64_t tail = std::min(size, kEndRecordSearch);
  if (tail < 22) return false;
  std::vector<uint8_t> end(static_cast<size_t>(tail));
  if (!ReadAt(file, size - tail, end.data(), end.size())) return false;
  int64_t at = tail - 22;
  while (at >= 0 && Word32(end.data() + at) != 0x06054b50) --at;
  if (at < 0) return false;
  const uint8_t* record = end.data() + at;
  const uint16_t count = Word16(record + 10);
  const uint32_t dirSize = Word32(record + 12);
  const uint32_t dirOffset = Word32(record + 16);
  if (dirSize > kMaxDirectorySize || int64_t(dirOffset) + dirSize > size) return false;
  std::vector<uint8_t> dir(dirSize);
  if (!dir.empty() && !ReadAt(file, dirOffset, dir.data(), dir.size())) return false;
  size_t pos = 0;
  for (uint16_t i = 0; i < count; ++i) {
    if (pos + 46 > dir.size() || Word32(dir.data() + pos) != 0x02014b50) return false;
    const uint8_t* h = dir.data() + pos;
    const size_t nameLength = Word16(h + 28);
    const size_t skip = 46 + nameLength + Word16(h + 30) + Word16(h + 32);
    if (pos + skip > dir.size()) return false;
    Entry e;
    e.Method = Word16(h + 10);
    e.Crc = Word32(h + 16);
    e.CompressedSize = Word32(h + 20);
    e.Size = Word32(h + 24);
    e.LocalOffset = Word32(h + 42);
    e.Name.assign(reinterpret_cast<const char*>(h + 46), nameLength);
    entries.push_back(std::move(e));
    pos += skip;
  }
  return true;
}

}  // namespace

std::unique_ptr<TUnpackedZip> TOfficeXmlServices::UnpackZip(std::FILE* file,
                                                            const std::string& folder) {
  if (!file || std::fseek(file, 0, SEEK_END) != 0) return nullptr;
  const long size = std::ftell(file);
  std::vector<Entry> entries;
  if (size <= 0 || !ReadDirectory(file, size, entries)) return nullptr;
  return std::make_unique<TStandInZip>(file, folder, size, std::move(entries));
}

std::string TOfficeXmlServices::DocxContentType(const std::string& part) {
  return "application/vnd.openxmlformats-officedocument.wordprocessingml." + part + "+xml";
}

void RegisterOfficeXmlServices(std::unique_ptr<TOfficeXmlServices> services) {
  RegisterService(std::move(services));
}

TOfficeXmlServices& OfficeXmlServices() { return Service<TOfficeXmlServices>(); }

}  // namespace qv
