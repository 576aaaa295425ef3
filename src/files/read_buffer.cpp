#include "files/read_buffer.h"

#include <utility>

namespace qv {

namespace {

std::unique_ptr<TReadBlock> NewBlock() {
  auto block = std::make_unique<TReadBlock>();  // value-initialised: all zero
  return block;
}

std::unique_ptr<TReadBlock>& Slot() {
  static std::unique_ptr<TReadBlock> block = NewBlock();
  return block;
}

}  // namespace

uint8_t* ReadBuffer() { return Slot()->data(); }

TNestedReadBuffer::TNestedReadBuffer() : saved_(std::exchange(Slot(), NewBlock())) {}

TNestedReadBuffer::~TNestedReadBuffer() { Slot() = std::move(saved_); }

TSavedReadBufferBytes::TSavedReadBufferBytes() : copy_(std::make_unique<TReadBlock>(*Slot())) {}

TSavedReadBufferBytes::~TSavedReadBufferBytes() { *Slot() = *copy_; }

}  // namespace qv
