#pragma once
// Tiny documents of each format the probe knows, built byte by byte, and test stand-ins for the
// services that reading documents asks for.
#include <zlib.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "files/file_services.h"
#include "foundation/ui/message_dlg_service.h"

namespace qvtest {

inline void Put16(std::string& s, size_t at, uint16_t v) {
  s[at] = char(v & 0xFF);
  s[at + 1] = char(v >> 8);
}
inline void Put32(std::string& s, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = char((v >> (8 * i)) & 0xFF);
}
inline std::string Le16(uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }
inline std::string Le32(uint32_t v) {
  return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

// A zip archive of the entries (name, content), each deflated when `deflate` is set.
inline std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& entries,
                           bool compress = false) {
  std::string out, directory;
  for (const auto& [name, content] : entries) {
    std::string data = content;
    uint16_t method = 0;
    if (compress) {
      z_stream z{};
      deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
      std::string packed(content.size() + 64, '\0');
      z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.data()));
      z.avail_in = uInt(content.size());
      z.next_out = reinterpret_cast<Bytef*>(packed.data());
      z.avail_out = uInt(packed.size());
      deflate(&z, Z_FINISH);
      packed.resize(z.total_out);
      deflateEnd(&z);
      data = packed;
      method = 8;
    }
    const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(content.data()), uInt(content.size()));
    const uint32_t offset = uint32_t(out.size());
    out += Le32(0x04034b50) + Le16(20) + Le16(0) + Le16(method) + Le32(0) + Le32(crc) +
           Le32(uint32_t(data.size())) + Le32(uint32_t(content.size())) +
           Le16(uint16_t(name.size())) + Le16(0) + name + data;
    directory += Le32(0x02014b50) + Le16(20) + Le16(20) + Le16(0) + Le16(method) + Le32(0) +
                 Le32(crc) + Le32(uint32_t(data.size())) + Le32(uint32_t(content.size())) +
                 Le16(uint16_t(name.size())) + Le16(0) + Le16(0) + Le16(0) + Le16(0) + Le32(0) +
                 Le32(offset) + name;
  }
  const uint32_t dirOffset = uint32_t(out.size());
  out += directory;
  out += Le32(0x06054b50) + Le16(0) + Le16(0) + Le16(uint16_t(entries.size())) +
         Le16(uint16_t(entries.size())) + Le32(uint32_t(directory.size())) + Le32(dirOffset) +
         Le16(0);
  return out;
}

// A compound file whose root storage holds one 4,096-byte stream of that name starting with
// the given bytes: sector 0 the allocation table, sector 1 the directory, 2 to 9 the stream.
inline std::string MakeCompoundFile(const std::string& streamName, const std::string& start) {
  std::string file(512 * 11, '\0');
  const char signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
  file.replace(0, 8, signature, 8);
  Put16(file, 24, 0x3E);
  Put16(file, 26, 3);
  Put16(file, 28, 0xFFFE);
  Put16(file, 30, 9);
  Put16(file, 32, 6);
  Put32(file, 44, 1);           // one FAT sector
  Put32(file, 48, 1);           // directory at sector 1
  Put32(file, 56, 4096);        // mini-stream cut-off
  Put32(file, 60, 0xFFFFFFFE);  // no mini FAT
  Put32(file, 68, 0xFFFFFFFE);  // no DIFAT sectors
  Put32(file, 76, 0);           // the FAT is sector 0
  for (int i = 1; i < 109; ++i) Put32(file, 76 + 4 * i, 0xFFFFFFFF);
  const size_t fat = 512;
  for (int i = 0; i < 128; ++i) Put32(file, fat + 4 * i, 0xFFFFFFFF);
  Put32(file, fat, 0xFFFFFFFD);
  Put32(file, fat + 4, 0xFFFFFFFE);
  for (uint32_t s = 2; s < 9; ++s) Put32(file, fat + 4 * s, s + 1);
  Put32(file, fat + 4 * 9, 0xFFFFFFFE);
  const size_t dir = 1024;
  auto entry = [&](size_t at, const std::string& name, uint8_t type, uint32_t first, uint32_t size) {
    for (size_t i = 0; i < name.size(); ++i) Put16(file, at + 2 * i, uint8_t(name[i]));
    Put16(file, at + 64, uint16_t(2 * (name.size() + 1)));
    file[at + 66] = char(type);
    Put32(file, at + 68, 0xFFFFFFFF);
    Put32(file, at + 72, 0xFFFFFFFF);
    Put32(file, at + 76, type == 5 ? 1 : 0xFFFFFFFF);
    Put32(file, at + 116, first);
    Put32(file, at + 120, size);
  };
  entry(dir, "Root Entry", 5, 0xFFFFFFFE, 0);
  entry(dir + 128, streamName, 2, 2, 4096);
  file.replace(1536, start.size(), start);
  return file;
}

// A Windows Write file of one 128-byte page: magic, the word 0xAB00 at 4, a page count at 96.
inline std::string MakeWriteFile(uint16_t magic = 0xBE31, uint16_t pages = 1, size_t size = 256) {
  std::string file(size, '\0');
  Put16(file, 0, magic);
  Put16(file, 4, 0xAB00);
  Put16(file, 96, pages);
  return file;
}

// File services that play the user: answers for the password questions, in order.
class ScriptedFileServices : public qv::TFileServices {
 public:
  std::deque<std::string> Passwords;  // "\x01" in the list answers Cancel
  int32_t Asked = 0;
  std::string Remembered;             // the dispatcher's remembered (enciphered) password
  bool AskPasswordForOpening(std::string& password) override {
    ++Asked;
    if (Passwords.empty() || Passwords.front() == "\x01") return false;
    password = Passwords.front();
    Passwords.pop_front();
    return true;
  }
  std::string RememberedPassword(const std::string&) override { return Remembered; }
};

// A message box that records what it showed and answers from a list (Cancel when empty).
class ScriptedMessages : public qv::TMessageDlgService {
 public:
  std::deque<int32_t> Answers;
  std::vector<std::string> Shown;
  int32_t Show(const qv::TMessageDlgInfo& info) override {
    Shown.push_back(info.Text);
    if (Answers.empty()) return qv::mrCancel;
    const int32_t answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
};

}  // namespace qvtest
