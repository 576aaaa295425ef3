#include "document/pictures.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <unordered_set>
#include <fstream>

#include "document/shape.h"
#include "foundation/base/service_slot.h"
#include "foundation/system/temp_files.h"

namespace qv {

namespace {

int64_t loadedBytes = 0;

std::span<const uint8_t> AsBytes(const std::string& s) {
  return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}

}  // namespace

void RegisterPictureDecoder(std::unique_ptr<TPictureDecoder> decoder) { RegisterService(std::move(decoder)); }
TPictureDecoder& PictureDecoder() { return Service<TPictureDecoder>(); }

int64_t LoadedPictureBytes() { return loadedBytes; }
bool IsPictureMemoryOverLimit() { return loadedBytes > kPictureMemoryLimit; }

TDocGraphic::~TDocGraphic() {
  SetUnloaded(true);
  if (!FileName.empty()) {
    std::error_code ec;
    std::filesystem::remove(FileName, ec);
  }
}

bool TDocGraphic::AttachData(std::span<const uint8_t> data, TKind kind) {
  if (data.size() > MaxFileBytes) return false;
  std::string name;
  try {
    name = MakeTempFileNameExt(tfkTmp);
  } catch (const std::exception&) {
    return false;
  }
  const std::string part = name + ".part";
  {
    std::ofstream out(part, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    if (!out.flush()) {
      out.close();
      std::error_code ec;
      std::filesystem::remove(part, ec);
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(part, name, ec);
  if (ec) {
    std::filesystem::remove(part, ec);
    return false;
  }
  SetUnloaded(true);
  if (!FileName.empty()) std::filesystem::remove(FileName, ec);
  FileName = name;
  PictureKind = kind;
  damaged_ = false;
  ColorCount = 0;
  return true;
}

bool TDocGraphic::CopyFrom(const TDocGraphic& source) {
  std::string bytes;
  if (!source.ReadFile(bytes) || !AttachData(AsBytes(bytes), source.PictureKind)) return false;
  ByteSize = source.ByteSize;
  MapMode = source.MapMode;
  ExtentX = source.ExtentX;
  ExtentY = source.ExtentY;
  FromWmf = source.FromWmf;
  return true;
}

bool TDocGraphic::ReadFile(std::string& bytes) const {
  if (FileName.empty()) return false;
  std::error_code ec;
  const auto size = std::filesystem::file_size(FileName, ec);
  if (ec || size > MaxFileBytes) return false;
  std::ifstream in(FileName, std::ios::binary);
  bytes.assign(static_cast<size_t>(size), '\0');
  return static_cast<bool>(in.read(bytes.data(), static_cast<std::streamsize>(size)));
}

bool TDocGraphic::ReadPixelSize(TPictureDecoder::TSize& size) const {
  std::string bytes;
  if (!ReadFile(bytes)) return false;
  return PictureDecoder().ReadSize(static_cast<int32_t>(PictureKind), AsBytes(bytes), size) &&
         size.Width > 0 && size.Height > 0;
}

void TDocGraphic::SetUnloaded(bool unload) {
  if (unload == Unloaded()) return;
  if (unload) {
    decoded_.reset();
    loadedBytes -= ByteSize;
    return;
  }
  std::string bytes;
  TPictureDecoder::TSize size;
  const int32_t kind = static_cast<int32_t>(PictureKind);
  if (!ReadFile(bytes) || !PictureDecoder().ReadSize(kind, AsBytes(bytes), size) || size.Width <= 0 ||
      size.Height <= 0) {
    damaged_ = true;
    return;
  }
  // Sizes in the data are outside input: what they claim is checked against the budget before
  // anything is decoded.
  const bool raster = PictureKind != TKind::Metafile;
  const int64_t claimed = raster ? int64_t{size.Width} * size.Height * 3 : static_cast<int64_t>(bytes.size());
  if (claimed > kPictureMemoryLimit) {
    damaged_ = true;
    return;
  }
  auto decoded = PictureDecoder().Decode(kind, AsBytes(bytes));
  if (decoded == nullptr || decoded->Width <= 0 || decoded->Height <= 0 || decoded->ByteSize < 0 ||
      decoded->ByteSize > kPictureMemoryLimit) {
    damaged_ = true;
    return;
  }
  decoded_ = std::move(decoded);
  ByteSize = static_cast<int32_t>(decoded_->ByteSize);
  loadedBytes += ByteSize;
}

bool TDocGraphic::PrepareScaledCopy(int32_t width, int32_t height, bool dimmed, int32_t zoomPercent) {
  if (width == LastWidth && height == LastHeight) {
    if (SameSizeCount < INT32_MAX) ++SameSizeCount;
  } else {
    LastWidth = width;
    LastHeight = height;
    SameSizeCount = 0;
  }
  if (dimmed) return true;
  const TDecodedPicture* pic = Decoded();
  if (pic == nullptr || PictureKind == TKind::Metafile || PictureKind == TKind::None) return false;
  if (SameSizeCount < 3 || int64_t{width} + height < 256) return false;
  const auto scale = Shape != nullptr ? Shape->GetScale() : std::array<int32_t, 2>{100, 100};
  return scale[0] != 100 || scale[1] != 100 || zoomPercent != 100 || width != pic->Width ||
         height != pic->Height;
}

int32_t TDocGraphic::GetColorCount() {
  if (ColorCount != 0) return ColorCount;
  const bool wasUnloaded = Unloaded();
  SetUnloaded(false);
  if (const TDecodedPicture* pic = Decoded()) {
    std::unordered_set<uint32_t> colours;
    for (int32_t y = 0; y < pic->Height && colours.size() <= 256; ++y)
      for (int32_t x = 0; x < pic->Width; ++x) colours.insert(pic->ColorAt(x, y) & 0xFFFFFF);
    ColorCount = static_cast<int32_t>(colours.size());
  }
  if (wasUnloaded && IsPictureMemoryOverLimit()) SetUnloaded(true);
  return ColorCount;
}

}  // namespace qv
