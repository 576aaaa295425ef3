#pragma once
// The hook through which an encrypting save enciphers its output. The output layer hands every
// flushed block to it just before the block goes to the file; the cipher keeps its state from one
// block to the next, so where the flushes fall does not change the file. The encryption manager
// implements it; the output layer knows nothing else of it.
#include <cstdint>

namespace qv {

class TOutputCipher {
 public:
  virtual ~TOutputCipher() = default;
  // Enciphers `count` bytes in place, continuing the stream of earlier calls.
  virtual void EncipherBlock(uint8_t* data, int32_t count) = 0;
};

// The bytes at the start of an encrypted document's file that stay plain (its header).
inline constexpr int32_t EncryptedHeaderSize = 42;

}  // namespace qv
