#include "foundation/base/memory.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "foundation/base/exceptions.h"
#include "platform/system/file_write.h"

namespace qv {

namespace {

// The capacity for a buffer growing to `length`: from 64, doubled until it holds the length, so
// always a power of two of at least 128.
int32_t GrownCapacity(int32_t length) {
  int64_t capacity = 64;
  while (capacity < length) capacity *= 2;
  if (capacity < 128) capacity = 128;
  return static_cast<int32_t>(capacity);
}

void CheckRange(bool ok) {
  if (!ok) throw Exception("Buffer offset or size out of range");
}

std::string FolderOf(const std::string& fileName) {
  size_t slash = fileName.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return fileName.substr(0, slash);
}

}  // namespace

TMemory::TMemory(const TMemory& other) { TMemory::Assign(other); }

TMemory::TMemory(TMemory&& other) noexcept
    : Data(other.Data), Length(other.Length), Capacity(other.Capacity) {
  other.Data = nullptr;
  other.Length = 0;
  other.Capacity = 0;
}

TMemory& TMemory::operator=(const TMemory& other) {
  if (this != &other) Assign(other);
  return *this;
}

TMemory& TMemory::operator=(TMemory&& other) noexcept {
  if (this != &other) {
    std::free(Capacity != 0 ? Data : nullptr);
    Data = other.Data;
    Length = other.Length;
    Capacity = other.Capacity;
    other.Data = nullptr;
    other.Length = 0;
    other.Capacity = 0;
  }
  return *this;
}

TMemory::~TMemory() {
  if (Capacity != 0) std::free(Data);
}

bool TMemory::PointsInside(const void* p) const {
  if (Capacity == 0 || p == nullptr) return false;
  auto q = static_cast<const uint8_t*>(p);
  return q >= Data && q < Data + Capacity;
}

void TMemory::SetLength(int32_t newLength) {
  if (newLength == Length) return;
  if (newLength < 0 || newLength > MaxLength) throw EOutOfMemory();
  if (newLength == 0) {
    if (Capacity != 0) std::free(Data);
    Data = nullptr;
    Capacity = 0;
    Length = 0;
    return;
  }
  if (newLength <= Capacity) {
    Length = newLength;
    return;
  }
  // Nothing changes until the new block is in hand, so a failed growth leaves the buffer whole.
  int32_t newCapacity = GrownCapacity(newLength);
  void* block = Capacity != 0 ? std::realloc(Data, static_cast<size_t>(newCapacity))
                              : std::malloc(static_cast<size_t>(newCapacity));
  if (block == nullptr) throw EOutOfMemory();
  Data = static_cast<uint8_t*>(block);
  Capacity = newCapacity;
  Length = newLength;
}

void TMemory::Attach(void* block, int32_t size) {
  Clear();
  if (block == nullptr || size <= 0) {
    std::free(block);
    return;
  }
  Data = static_cast<uint8_t*>(block);
  Capacity = size;
  Length = size;
}

void TMemory::Assign(const TMemory& source) {
  if (&source == this) return;
  SetData(source.Data, source.Length);
}

void TMemory::SetData(const void* source, int32_t size) {
  if (PointsInside(source)) {
    std::string copy(static_cast<const char*>(source), static_cast<size_t>(size));
    SetData(copy.data(), size);
    return;
  }
  SetLength(size);
  if (size > 0) std::memcpy(Data, source, static_cast<size_t>(size));
}

void TMemory::SetString(const std::string& s) {
  // A size beyond the limit must not wrap round to a small one and be cut short silently.
  if (s.size() > static_cast<size_t>(MaxLength)) throw EOutOfMemory();
  SetData(s.data(), static_cast<int32_t>(s.size()));
}

void TMemory::SetWideString(const std::u16string& s) {
  Clear();
  AppendWideString(s);
}

void TMemory::Append(const void* source, int32_t size) {
  CheckRange(size >= 0);
  if (size == 0) return;
  if (PointsInside(source)) {
    std::string copy(static_cast<const char*>(source), static_cast<size_t>(size));
    Append(copy.data(), size);
    return;
  }
  int32_t old = Length;
  if (size > MaxLength - old) throw EOutOfMemory();
  SetLength(old + size);
  std::memcpy(Data + old, source, static_cast<size_t>(size));
}

void TMemory::AppendString(const std::string& s) {
  if (s.size() > static_cast<size_t>(MaxLength)) throw EOutOfMemory();
  Append(s.data(), static_cast<int32_t>(s.size()));
}

void TMemory::AppendWideString(const std::u16string& s) {
  if (s.size() > static_cast<size_t>(MaxLength / 2)) throw EOutOfMemory();
  int32_t old = Length;
  int32_t size = static_cast<int32_t>(s.size() * 2);
  if (size > MaxLength - old) throw EOutOfMemory();
  SetLength(old + size);
  uint8_t* p = Data + old;
  for (char16_t c : s) {
    *p++ = static_cast<uint8_t>(c & 0xFF);
    *p++ = static_cast<uint8_t>(c >> 8);
  }
}

void TMemory::AppendByte(uint8_t value) { Append(&value, 1); }

void TMemory::AppendWord(uint16_t value) {
  uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  Append(b, 2);
}

void TMemory::AppendInt(uint32_t value) {
  uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                  static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  Append(b, 4);
}

void TMemory::Insert(const void* source, int32_t offset, int32_t size) {
  CheckRange(offset >= 0 && offset <= Length && size >= 0);
  if (size == 0) return;
  if (PointsInside(source)) {
    std::string copy(static_cast<const char*>(source), static_cast<size_t>(size));
    Insert(copy.data(), offset, size);
    return;
  }
  int32_t old = Length;
  if (size > MaxLength - old) throw EOutOfMemory();
  SetLength(old + size);
  std::memmove(Data + offset + size, Data + offset, static_cast<size_t>(old - offset));
  std::memcpy(Data + offset, source, static_cast<size_t>(size));
}

void TMemory::Delete(int32_t offset, int32_t count) {
  CheckRange(offset >= 0 && count >= 0 && offset <= Length && count <= Length - offset);
  if (count == 0) return;
  std::memmove(Data + offset, Data + offset + count,
               static_cast<size_t>(Length - offset - count));
  SetLength(Length - count);
}

void TMemory::LoadFromFile(const std::string& fileName) {
  // O_NONBLOCK: a FIFO named as the file would otherwise make the open wait for a writer for
  // ever; the check below turns away everything that is not a regular file.
  int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) throw EFOpenError(fileName);
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    throw EFOpenError(fileName);
  }
  if (st.st_size > MaxLength) {
    ::close(fd);
    throw EReadError("File \"" + fileName + "\" is too large");
  }
  // Read into a separate buffer so a failed read leaves this one as it was.
  TMemory loaded;
  loaded.SetLength(static_cast<int32_t>(st.st_size));
  int32_t done = 0;
  while (done < loaded.Length) {
    ssize_t n = ::read(fd, loaded.Data + done, static_cast<size_t>(loaded.Length - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<int32_t>(n);
  }
  ::close(fd);
  if (done != loaded.Length) throw EReadError("Cannot read file \"" + fileName + "\"");
  *this = std::move(loaded);
}

void TMemory::SaveToFile(const std::string& fileName) const {
  std::string temp = FolderOf(fileName) + "/.qvtmpXXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) throw EFCreateError(fileName);
  plat::SetModeForTarget(fd, fileName);
  bool ok = plat::WriteAll(fd, Data, static_cast<size_t>(Length)) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || ::rename(temp.c_str(), fileName.c_str()) != 0) {
    ::unlink(temp.c_str());
    throw EWriteError("Cannot write file \"" + fileName + "\"");
  }
}

std::string TMemory::ToString() const {
  if (Length == 0) return {};
  return std::string(reinterpret_cast<const char*>(Data), static_cast<size_t>(Length));
}

}  // namespace qv
