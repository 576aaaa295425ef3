#pragma once
// TMemory: the growable byte buffer that content streams, selections, file images, settings blobs
// and writer output live in.
//
// A buffer has one heap block (from malloc, so Attach can adopt blocks made elsewhere with
// malloc), a used length and a capacity. Growth past the capacity allocates the smallest power of
// two that is at least 128 and at least the new length; the capacity never shrinks while the
// length stays above 0, and length 0 frees the block. Bytes between the length and the capacity
// are not cleared: growing exposes whatever they held, so callers that need zeros write them.
// The largest length is 2^30 bytes; a larger or negative length raises EOutOfMemory and leaves
// the buffer as it was.
#include <cstdint>
#include <string>

namespace qv {

class TMemory {
 public:
  static constexpr int32_t MaxLength = int32_t{1} << 30;

  TMemory() = default;
  TMemory(const TMemory& other);
  TMemory(TMemory&& other) noexcept;
  TMemory& operator=(const TMemory& other);
  TMemory& operator=(TMemory&& other) noexcept;
  virtual ~TMemory();

  uint8_t* Data = nullptr;  // meaningful only while Capacity != 0
  int32_t Length = 0;       // bytes in use
  int32_t Capacity = 0;     // size of the block; 0 when there is no block

  // Makes the content a copy of the source's content. Derived buffers extend it.
  virtual void Assign(const TMemory& source);

  void SetLength(int32_t newLength);
  void Clear() { SetLength(0); }
  // Adopts a block allocated with malloc of exactly `size` bytes (length = capacity = size). The
  // buffer owns it from now on and frees or reallocates it with free/realloc.
  void Attach(void* block, int32_t size);

  void SetData(const void* source, int32_t size);
  void SetString(const std::string& s);
  void SetWideString(const std::u16string& s);  // 2 bytes per code unit, little-endian

  void Append(const void* source, int32_t size);
  void AppendMemory(const TMemory& other) { Append(other.Data, other.Length); }
  void AppendString(const std::string& s);
  void AppendWideString(const std::u16string& s);
  void AppendByte(uint8_t value);
  void AppendWord(uint16_t value);  // little-endian
  void AppendInt(uint32_t value);   // little-endian

  void Insert(const void* source, int32_t offset, int32_t size);
  void Delete(int32_t offset, int32_t count);

  // Content becomes the whole file; EFOpenError when it cannot be opened, EReadError when it is
  // too large or cannot be read whole.
  void LoadFromFile(const std::string& fileName);
  // Writes the content to a temporary file in the target's folder, flushes it and renames it over
  // the target; EFCreateError when it cannot be created, EWriteError when writing fails (the
  // target is then left untouched).
  void SaveToFile(const std::string& fileName) const;

  // The content as a byte string (for tests and small records).
  std::string ToString() const;

 private:
  bool PointsInside(const void* p) const;
};

}  // namespace qv
