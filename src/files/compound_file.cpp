#include "files/compound_file.h"

#include <algorithm>
#include <cstring>

namespace qv {

namespace {

constexpr uint8_t kSignature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr uint32_t kMaxRegularSector = 0xFFFFFFFA;

uint16_t Word16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
uint32_t Word32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

class TCompoundReader {
 public:
  explicit TCompoundReader(std::FILE* file) : file_(file) {}

  bool Open() {
    if (std::fseek(file_, 0, SEEK_END) != 0) return false;
    size_ = std::ftell(file_);
    if (size_ < 512 || !ReadAt(0, header_, 512)) return false;
    if (std::memcmp(header_, kSignature, 8) != 0) return false;
    const uint16_t shift = Word16(header_ + 30);
    if (shift != 9 && shift != 12) return false;
    sector_ = 1u << shift;
    sectorCount_ = static_cast<uint32_t>(std::max<int64_t>((size_ - sector_) / sector_, 0)) + 1;
    return ReadFat();
  }

  bool ReadStreamStart(const std::string& name, int32_t count, std::vector<uint8_t>& out) {
    uint32_t start = 0, size = 0;
    if (!FindEntry(name, start, size)) return false;
    if (size < Word32(header_ + 56)) return false;  // a mini stream: not a Word document stream
    const uint32_t wanted = std::min<uint32_t>(size, static_cast<uint32_t>(std::max(count, 0)));
    out.assign(wanted, 0);
    uint32_t sector = start;
    for (uint32_t done = 0, steps = 0; done < wanted; ++steps) {
      if (sector > kMaxRegularSector || steps > sectorCount_) return false;
      const uint32_t n = std::min(sector_, wanted - done);
      if (!ReadSector(sector, out.data() + done, n)) return false;
      done += n;
      sector = Next(sector);
    }
    return true;
  }

 private:
  bool ReadAt(int64_t offset, uint8_t* out, size_t count) {
    if (offset < 0 || offset + static_cast<int64_t>(count) > size_) return false;
    return std::fseek(file_, static_cast<long>(offset), SEEK_SET) == 0 &&
           std::fread(out, 1, count, file_) == count;
  }
  bool ReadSector(uint32_t sector, uint8_t* out, uint32_t count) {
    return ReadAt((static_cast<int64_t>(sector) + 1) * sector_, out, count);
  }
  uint32_t Next(uint32_t sector) const {
    return sector < fat_.size() ? fat_[sector] : kEndOfChain;
  }

  bool ReadFat() {
    std::vector<uint32_t> fatSectors;
    const uint32_t fatCount = Word32(header_ + 44);
    if (fatCount > sectorCount_) return false;
    for (uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
      fatSectors.push_back(Word32(header_ + 76 + 4 * i));
    uint32_t difat = Word32(header_ + 68);
    std::vector<uint8_t> block(sector_);
    for (uint32_t steps = 0; fatSectors.size() < fatCount && difat <= kMaxRegularSector; ++steps) {
      if (steps > sectorCount_ || !ReadSector(difat, block.data(), sector_)) return false;
      for (uint32_t i = 0; i + 1 < sector_ / 4 && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(Word32(block.data() + 4 * i));
      difat = Word32(block.data() + sector_ - 4);
    }
    if (fatSectors.size() < fatCount) return false;
    fat_.reserve(static_cast<size_t>(fatCount) * (sector_ / 4));
    for (uint32_t s : fatSectors) {
      if (s > kMaxRegularSector || !ReadSector(s, block.data(), sector_)) return false;
      for (uint32_t i = 0; i < sector_ / 4; ++i) fat_.push_back(Word32(block.data() + 4 * i));
    }
    return true;
  }

  bool FindEntry(const std::string& name, uint32_t& start, uint32_t& size) {
    std::vector<uint8_t> block(sector_);
    uint32_t sector = Word32(header_ + 48);
    for (uint32_t steps = 0; sector <= kMaxRegularSector; ++steps) {
      if (steps > sectorCount_ || !ReadSector(sector, block.data(), sector_)) return false;
      for (uint32_t at = 0; at + 128 <= sector_; at += 128) {
        const uint8_t* entry = block.data() + at;
        const uint16_t nameBytes = Word16(entry + 64);
        if (entry[66] != 2 || nameBytes != 2 * (name.size() + 1)) continue;
        bool same = true;
        for (size_t i = 0; i < name.size() && same; ++i)
          same = Word16(entry + 2 * i) == static_cast<uint8_t>(name[i]);
        if (!same) continue;
        start = Word32(entry + 116);
        size = Word32(entry + 120);
        return true;
      }
      sector = Next(sector);
    }
    return false;
  }

  std::FILE* file_;
  int64_t size_ = 0;
  uint8_t header_[512] = {};
  uint32_t sector_ = 512;
  uint32_t sectorCount_ = 0;
  std::vector<uint32_t> fat_;
};

}  // namespace

bool IsCompoundFile(std::FILE* file) {
  uint8_t start[8];
  return file && std::fseek(file, 0, SEEK_SET) == 0 && std::fread(start, 1, 8, file) == 8 &&
         std::memcmp(start, kSignature, 8) == 0;
}

bool ReadCompoundStreamStart(std::FILE* file, const std::string& name, int32_t count,
                             std::vector<uint8_t>& out) {
  out.clear();
  if (!file) return false;
  TCompoundReader reader(file);
  return reader.Open() && reader.ReadStreamStart(name, count, out);
}

}  // namespace qv
