#pragma once
// The shared read buffer: one program-wide block of 65,571 bytes (64 KB and 35) that every
// reader of a file fills and consumes, its last four bytes zero. A read nested inside another
// (a template loaded during an open, the integrity pass of an encrypted document) puts a fresh
// block in its place and the saved one back afterwards (TNestedReadBuffer); a preview that loads
// a document in the middle of another read copies the bytes aside and back
// (TSavedReadBufferBytes).
#include <array>
#include <cstdint>
#include <memory>

namespace qv {

inline constexpr int32_t kReadBufferSize = 65571;
// The most bytes a fill may leave in the buffer; the four zero bytes stay behind them.
inline constexpr int32_t kReadBufferFillLimit = 65568;
inline constexpr int32_t kReadChunk = 65536;

using TReadBlock = std::array<uint8_t, kReadBufferSize>;

// The block in use; allocated on first use.
uint8_t* ReadBuffer();

class TNestedReadBuffer {
 public:
  TNestedReadBuffer();
  ~TNestedReadBuffer();
  TNestedReadBuffer(const TNestedReadBuffer&) = delete;
  TNestedReadBuffer& operator=(const TNestedReadBuffer&) = delete;

 private:
  std::unique_ptr<TReadBlock> saved_;
};

class TSavedReadBufferBytes {
 public:
  TSavedReadBufferBytes();
  ~TSavedReadBufferBytes();
  TSavedReadBufferBytes(const TSavedReadBufferBytes&) = delete;
  TSavedReadBufferBytes& operator=(const TSavedReadBufferBytes&) = delete;

 private:
  std::unique_ptr<TReadBlock> copy_;
};

}  // namespace qv
