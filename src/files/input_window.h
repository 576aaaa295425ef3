#pragma once
// The unread bytes a reader scans, and the way to get more of them. The input layer's open
// context is one (reading a file through the shared read buffer); a memory block is another,
// whose window is the whole block from the start.
//
// Readers scan by pointer between ReadPos and DataEnd and never past DataEnd. After each step a
// reader applies the refill rule (KeepLookAhead): while more input exists, at least
// kReadLookAhead unread bytes are kept, so that a control word, an escape or a multi-byte
// sequence does not end at a buffer boundary in the middle of the input.
#include <cstdint>

namespace qv {

inline constexpr int32_t kReadLookAhead = 32;

class TInputWindow {
 public:
  virtual ~TInputWindow() = default;

  uint8_t* ReadPos = nullptr;  // next unread byte
  uint8_t* DataEnd = nullptr;  // one past the last valid byte
  bool AtEnd = true;           // the window holds the last byte of the input

  int32_t Unread() const { return static_cast<int32_t>(DataEnd - ReadPos); }
  // Bytes of the input not yet in the window (0 once at the end).
  virtual int64_t PendingBytes() const { return 0; }
  // Moves the unread bytes to the start of the window and reads more after them; raises the
  // silent abort on a read error. A window without more input does nothing.
  virtual void Refill() {}
  // The refill rule.
  void KeepLookAhead() {
    if (!AtEnd && Unread() < kReadLookAhead) Refill();
  }
};

// A window over a block of memory that the caller keeps alive (the clipboard, a drop, a block
// handed to the open road).
class TMemoryInputWindow : public TInputWindow {
 public:
  TMemoryInputWindow(uint8_t* data, int32_t length) {
    ReadPos = data;
    DataEnd = data + (length > 0 ? length : 0);
    AtEnd = true;
  }
};

}  // namespace qv
