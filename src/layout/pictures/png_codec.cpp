// PNG chunks, the chunk list and registry, and the reading and writing of the chunk stream.
#include "layout/pictures/png_codec.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

#include "foundation/base/exceptions.h"
#include "foundation/base/memory.h"

namespace qv {
namespace {

// The image data of one file may not exceed this (a larger file is refused, not read whole).
constexpr size_t kMaxImageData = size_t{1} << 30;

uint32_t ReadBE32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

void PutBE32(uint8_t* p, uint32_t v) {
  p[0] = uint8_t(v >> 24);
  p[1] = uint8_t(v >> 16);
  p[2] = uint8_t(v >> 8);
  p[3] = uint8_t(v);
}

void ReadExactly(std::istream& in, uint8_t* dst, size_t n) {
  in.read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(n));
  if (static_cast<size_t>(in.gcount()) != n) throw EReadError("Stream read error");
}

// Appends n bytes of the stream to the buffer, in pieces, so that a length a damaged file claims
// is never allocated before the bytes are really there.
void AppendFromStream(std::istream& in, std::vector<uint8_t>& buffer, size_t n) {
  constexpr size_t kPiece = 64 * 1024;
  while (n > 0) {
    const size_t piece = std::min(n, kPiece);
    const size_t at = buffer.size();
    buffer.resize(at + piece);
    ReadExactly(in, buffer.data() + at, piece);
    n -= piece;
  }
}

void Skip(std::istream& in, size_t n) {
  in.ignore(static_cast<std::streamsize>(n));
  if (static_cast<size_t>(in.gcount()) != n) throw EReadError("Stream read error");
}

bool AtEnd(std::istream& in) { return in.peek() == std::char_traits<char>::eof(); }

}  // namespace

// ---- Chunks ------------------------------------------------------------------------------------

void TChunk::SaveToStream(std::ostream& out) {
  if (ChunkType[3] >= 'a' && ChunkType[3] <= 'z') return;
  uint8_t head[8];
  PutBE32(head, static_cast<uint32_t>(Data.size()));
  std::memcpy(head + 4, ChunkType.data(), 4);
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, head + 4, 4);
  if (!Data.empty()) crc = crc32(crc, Data.data(), static_cast<uInt>(Data.size()));
  uint8_t tail[4];
  PutBE32(tail, static_cast<uint32_t>(crc));
  out.write(reinterpret_cast<const char*>(head), 8);
  out.write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
  out.write(reinterpret_cast<const char*>(tail), 4);
  if (!out) throw EWriteError("Stream write error");
}

TChunkIHDR::TChunkIHDR(TChunkList& owner) : TChunk(owner) { Data.resize(13); }

uint32_t TChunkIHDR::Width() const { return Data.size() >= 13 ? ReadBE32(&Data[0]) : 0; }
uint32_t TChunkIHDR::Height() const { return Data.size() >= 13 ? ReadBE32(&Data[4]) : 0; }

void TChunkIHDR::SaveToStream(std::ostream& out) {
  TPNGImage& image = Owner.Owner;
  Data.assign(13, 0);
  PutBE32(&Data[0], static_cast<uint32_t>(image.Width()));
  PutBE32(&Data[4], static_cast<uint32_t>(image.Height()));
  if (IsPaletteFormat(image.PixelFormat())) {
    Data[8] = static_cast<uint8_t>(image.BitsPerPixel());
    Data[9] = 3;
  } else {
    image.SetPixelFormat(TPixelFormat::pf24bit);
    Data[8] = 8;
    Data[9] = 2;
  }
  TChunk::SaveToStream(out);
}

void TChunkPLTE::SaveToStream(std::ostream& out) {
  TPNGImage& image = Owner.Owner;
  if (image.Palette.empty()) image.Palette = DefaultPalette(image.PixelFormat());
  // Every index the pixels use needs an entry, and a palette holds at most 2^depth entries.
  uint32_t used = 0;
  for (int32_t y = 0; y < image.Height(); ++y)
    for (int32_t x = 0; x < image.Width(); ++x) used = std::max(used, image.IndexAt(x, y) + 1);
  const size_t limit = size_t{1} << image.BitsPerPixel();
  const size_t count = std::min(limit, std::max<size_t>(image.Palette.size(), used));
  Data.assign(count * 3, 0);
  for (size_t i = 0; i < count && i < image.Palette.size(); ++i) {
    Data[i * 3] = plat::RedOf(image.Palette[i]);
    Data[i * 3 + 1] = plat::GreenOf(image.Palette[i]);
    Data[i * 3 + 2] = plat::BlueOf(image.Palette[i]);
  }
  TChunk::SaveToStream(out);
}

TChunkGAMA::TChunkGAMA(TChunkList& owner) : TChunk(owner) { Data = {0, 0, 0, 1}; }

// ---- Registry ----------------------------------------------------------------------------------

TChunkClasses& TChunkClasses::Get() {
  static TChunkClasses classes = [] {
    TChunkClasses c;
    c.Register<TChunkIEND>("IEND");
    c.Register<TChunkIHDR>("IHDR");
    c.Register<TChunkGAMA>("gAMA");
    c.Register<TChunkIDAT>("IDAT");
    c.Register<TChunkPLTE>("PLTE");
    c.Register<TChunkTRNS>("tRNS");
    return c;
  }();
  return classes;
}

int32_t TChunkClasses::IndexOfClass(std::type_index cls) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].Class == cls) return static_cast<int32_t>(i);
  return -1;
}

int32_t TChunkClasses::IndexOfType(const TChunkType& type) const {
  for (size_t i = 0; i < entries_.size(); ++i)
    if (entries_[i].Type == type) return static_cast<int32_t>(i);
  return -1;
}

// ---- Reading -----------------------------------------------------------------------------------

void TPNGImage::LoadFromStream(std::istream& in) {
  uint8_t signature[8];
  ReadExactly(in, signature, 8);
  if (!std::equal(kPngSignature.begin(), kPngSignature.end(), signature)) throw EAbort();

  TChunkList list(*this);
  const TChunkClasses& classes = TChunkClasses::Get();
  TChunkIDAT* firstData = nullptr;
  bool ended = false;
  while (!ended && !AtEnd(in)) {
    uint8_t head[8];
    ReadExactly(in, head, 8);
    const uint32_t length = ReadBE32(head);
    if (length > 0x7FFFFFFFu) throw EAbort();
    const TChunkType type{char(head[4]), char(head[5]), char(head[6]), char(head[7])};
    const int32_t cls = classes.IndexOfType(type);
    if (cls < 0) {
      Skip(in, size_t{length} + 4);
      continue;
    }
    std::unique_ptr<TChunk> chunk = classes.Entry(cls).Create(list);
    chunk->ChunkType = type;
    auto* data = dynamic_cast<TChunkIDAT*>(chunk.get());
    std::vector<uint8_t>& target = data && firstData ? firstData->Data : chunk->Data;
    if (!data || !firstData) target.clear();
    if (target.size() + length > kMaxImageData) throw EAbort();
    AppendFromStream(in, target, length);
    Skip(in, 4);  // the CRC is not checked
    ended = dynamic_cast<TChunkIEND*>(chunk.get()) != nullptr;
    if (data && firstData) continue;  // its data went to the first image-data chunk
    if (data) firstData = data;
    list.Items.push_back(std::move(chunk));
  }
  if (list.Items.empty() || !dynamic_cast<TChunkIHDR*>(list.Items.front().get()) || !firstData)
    throw EAbort();
  for (auto& chunk : list.Items) chunk->Process();
}

void TPNGImage::LoadFromBytes(std::span<const uint8_t> bytes) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  LoadFromStream(in);
}

void TPNGImage::LoadFromFile(const std::string& fileName) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) throw EFOpenError(fileName);
  LoadFromStream(in);
}

// ---- Writing -----------------------------------------------------------------------------------

void TPNGImage::SaveToStream(std::ostream& out) {
  if (Empty()) throw EWriteError("An empty picture cannot be saved as PNG");
  out.write(reinterpret_cast<const char*>(kPngSignature.data()), 8);
  if (!out) throw EWriteError("Stream write error");
  TChunkList list(*this);
  list.Add<TChunkIHDR>();
  if (IsPaletteFormat(PixelFormat())) list.Add<TChunkPLTE>();
  list.Add<TChunkIDAT>();
  list.Add<TChunkIEND>();
  for (auto& chunk : list.Items) chunk->SaveToStream(out);
}

std::vector<uint8_t> TPNGImage::SaveToBytes() {
  std::ostringstream out;
  SaveToStream(out);
  const std::string s = out.str();
  return std::vector<uint8_t>(s.begin(), s.end());
}

void TPNGImage::SaveToFile(const std::string& fileName) {
  const std::vector<uint8_t> bytes = SaveToBytes();
  if (bytes.size() > size_t(TMemory::MaxLength)) throw EWriteError("Picture too large");
  TMemory file;
  file.SetData(bytes.data(), static_cast<int32_t>(bytes.size()));
  file.SaveToFile(fileName);
}

}  // namespace qv
