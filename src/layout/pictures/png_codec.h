#pragma once
// TPNGImage: a picture bitmap that reads and writes PNG files.
//
// A PNG image in memory is an ordinary TBitmap: palette images and grey images become 1-, 4- or
// 8-bit palette bitmaps (2-bit samples widened to 4 bits), colour images 24-bit bitmaps. Alpha
// is flattened onto white while reading, gamma (gAMA) is applied to colours and palette entries,
// and nothing of the file but the pixels and the palette survives. zlib inflates and deflates
// the image data.
//
// A file is read as a list of chunks of the registered types (IHDR, PLTE, tRNS, gAMA, IDAT,
// IEND); other chunks are skipped and CRCs are not checked. Every malformed or out-of-range input
// (signature, header values, sizes beyond TBitmap::MaxPixels, palette indexes without palette
// entry, filter bytes, damaged or short image data) ends with the silent EAbort; a stream that
// ends inside a chunk fails with EReadError.
#include <array>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <typeindex>
#include <vector>

#include "layout/pictures/picture_bitmap.h"

namespace qv {

class TChunkList;
class TPNGImage;

using TChunkType = std::array<char, 4>;

class TChunk {
 public:
  explicit TChunk(TChunkList& owner) : Owner(owner) {}
  virtual ~TChunk() = default;
  TChunk(const TChunk&) = delete;
  TChunk& operator=(const TChunk&) = delete;

  std::vector<uint8_t> Data;  // the chunk's data bytes
  TChunkList& Owner;
  TChunkType ChunkType{};  // the four type letters in file order

  // Runs after the whole stream has been read.
  virtual void Process() {}
  // Writes length, type, data and CRC; a chunk whose fourth type letter is lower case (a
  // private, safe-to-copy chunk) is not written.
  virtual void SaveToStream(std::ostream& out);
};

class TChunkIHDR : public TChunk {
 public:
  explicit TChunkIHDR(TChunkList& owner);
  uint32_t Width() const;
  uint32_t Height() const;
  uint8_t BitDepth() const { return Data.size() >= 13 ? Data[8] : 0; }
  uint8_t ColorType() const { return Data.size() >= 13 ? Data[9] : 0; }
  uint8_t InterlaceMethod() const { return Data.size() >= 13 ? Data[12] : 0; }
  // Fills the data from the bitmap (a bitmap of another format than 1, 4 or 8 bits per pixel
  // is made 24-bit first) and writes the chunk.
  void SaveToStream(std::ostream& out) override;
};

class TChunkPLTE : public TChunk {
 public:
  using TChunk::TChunk;
  // Fills the data from the bitmap's palette and writes the chunk.
  void SaveToStream(std::ostream& out) override;
};

class TChunkTRNS : public TChunk {
 public:
  using TChunk::TChunk;
};

class TChunkGAMA : public TChunk {
 public:
  explicit TChunkGAMA(TChunkList& owner);
  // Builds the tables; a value of 0 (or a short chunk) leaves the samples as they are.
  void Process() override;
  bool Active = false;
  std::array<uint8_t, 256> Table{};
  std::array<uint8_t, 256> Inverse{};
};

class TChunkIDAT : public TChunk {
 public:
  using TChunk::TChunk;
  // Decodes the image into the owning image.
  void Process() override;
  // Encodes the owning image and writes the chunk.
  void SaveToStream(std::ostream& out) override;
};

class TChunkIEND : public TChunk {
 public:
  using TChunk::TChunk;
};

// The registry of chunk classes: (type, class) records in registration order.
class TChunkClasses {
 public:
  using TFactory = std::function<std::unique_ptr<TChunk>(TChunkList&)>;
  struct TEntry {
    TChunkType Type;
    std::type_index Class;
    TFactory Create;
  };
  // The program-wide registry, filled on first use with IEND, IHDR, gAMA, IDAT, PLTE and tRNS.
  static TChunkClasses& Get();
  template <class T>
  void Register(const char (&type)[5]) {
    entries_.push_back({{type[0], type[1], type[2], type[3]},
                        std::type_index(typeid(T)),
                        [](TChunkList& owner) { return std::make_unique<T>(owner); }});
  }
  // Index of the first entry of the class or of the type; -1 when none.
  int32_t IndexOfClass(std::type_index cls) const;
  int32_t IndexOfType(const TChunkType& type) const;
  const TEntry& Entry(int32_t index) const { return entries_[static_cast<size_t>(index)]; }

 private:
  std::vector<TEntry> entries_;
};

class TChunkList {
 public:
  explicit TChunkList(TPNGImage& owner) : Owner(owner) {}
  TPNGImage& Owner;
  std::vector<std::unique_ptr<TChunk>> Items;

  // A new chunk of a registered class, added at the end (its type from the registry).
  template <class T>
  T& Add() {
    auto& classes = TChunkClasses::Get();
    const int32_t i = classes.IndexOfClass(std::type_index(typeid(T)));
    auto chunk = std::make_unique<T>(*this);
    if (i >= 0) chunk->ChunkType = classes.Entry(i).Type;
    T& ref = *chunk;
    Items.push_back(std::move(chunk));
    return ref;
  }
  // The index of the last chunk of a class, -1 when none; the last chunk itself or nullptr.
  template <class T>
  int32_t IndexOfClass() const {
    for (size_t i = Items.size(); i-- > 0;)
      if (dynamic_cast<const T*>(Items[i].get())) return static_cast<int32_t>(i);
    return -1;
  }
  template <class T>
  T* ItemOfClass() const {
    const int32_t i = IndexOfClass<T>();
    return i < 0 ? nullptr : static_cast<T*>(Items[static_cast<size_t>(i)].get());
  }
};

class TPNGImage : public TBitmap {
 public:
  using TBitmap::TBitmap;

  // Reads a PNG from the stream's position into the bitmap (see the file comment for errors).
  // On failure the bitmap keeps what was decoded before it.
  void LoadFromStream(std::istream& in);
  void LoadFromBytes(std::span<const uint8_t> bytes);
  // EFOpenError when the file cannot be opened.
  void LoadFromFile(const std::string& fileName);
  // Writes the bitmap as PNG: 1-, 4- and 8-bit bitmaps as palette images, any other bitmap as
  // 24-bit colour (the bitmap itself becomes 24-bit). EWriteError when the stream fails.
  void SaveToStream(std::ostream& out);
  std::vector<uint8_t> SaveToBytes();
  // Written to a temporary file beside the target and renamed over it.
  void SaveToFile(const std::string& fileName);
};

// The PNG file signature.
inline constexpr std::array<uint8_t, 8> kPngSignature = {0x89, 'P',  'N',  'G',
                                                         0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace qv
