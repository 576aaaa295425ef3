#include "platform/gfx/bitmap.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/gfx/cairo_util.h"
#include "platform/gfx/file_output.h"

namespace plat {

namespace {
// cairo's own limit on image surfaces.
constexpr int32_t kMaxSide = 32767;
// The largest picture read from a file: 256 million pixels (a gigabyte of bitmap), some
// sixteen thousand pixels square.
constexpr uint64_t kMaxPngPixels = uint64_t{1} << 28;

void CheckSize(int32_t w, int32_t h) {
  if (w < 0 || h < 0 || w > kMaxSide || h > kMaxSide)
    throw GfxError("Bitmap size out of range: " + std::to_string(w) + " x " + std::to_string(h));
}

// Reads the signature and the header chunk of a PNG file; throws GfxError when the file is not a
// readable regular file, not a PNG, or declares a size outside what a bitmap can hold.
void CheckPngFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
    throw GfxError("Cannot open file \"" + path + "\"");
  unsigned char head[24];
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) throw GfxError("Cannot open file \"" + path + "\"");
  const size_t got = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (got < sizeof head || std::memcmp(head, kSignature, 8) != 0 || std::memcmp(head + 12, "IHDR", 4) != 0)
    throw GfxError("\"" + path + "\" is not a valid PNG picture");
  auto be32 = [&head](int at) {
    return uint32_t{head[at]} << 24 | uint32_t{head[at + 1]} << 16 | uint32_t{head[at + 2]} << 8 |
           uint32_t{head[at + 3]};
  };
  const uint32_t w = be32(16), h = be32(20);
  if (w == 0 || h == 0 || w > uint32_t(kMaxSide) || h > uint32_t(kMaxSide) ||
      uint64_t{w} * h > kMaxPngPixels)
    throw GfxError("\"" + path + "\" is not a valid PNG picture");
}

}  // namespace

Bitmap::Bitmap(int32_t width, int32_t height, bool hasAlpha) : hasAlpha_(hasAlpha) {
  Resize(width, height);
}

void Bitmap::Resize(int32_t width, int32_t height) {
  CheckSize(width, height);
  std::vector<uint32_t> fresh;
  try {
    fresh.assign(size_t(width) * size_t(height), 0u);
  } catch (const std::bad_alloc&) {
    throw GfxError("Not enough memory for a bitmap of " + std::to_string(width) + " x " +
                   std::to_string(height));
  }
  pixels_.swap(fresh);
  width_ = width;
  height_ = height;
}

Color Bitmap::GetPixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return PixelToColor(ScanLine(y)[x]);
}

void Bitmap::SetPixel(int32_t x, int32_t y, Color c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  ScanLine(y)[x] = ColorToPixel(c);
}

void Bitmap::FillRect(const Rect& r, Color c) {
  Rect clip = r.Intersect(Bounds());
  if (clip.IsEmpty()) return;
  const uint32_t px = ColorToPixel(c);
  for (int32_t y = clip.top; y < clip.bottom; ++y) {
    uint32_t* row = ScanLine(y);
    std::fill(row + clip.left, row + clip.right, px);
  }
}

void Bitmap::SavePng(const std::string& path) const {
  if (IsEmpty()) throw GfxError("Cannot save an empty bitmap as \"" + path + "\"");
  gfx_detail::AtomicFile out(path);
  gfx_detail::SurfacePtr surface = gfx_detail::SurfaceFor(*this);
  auto write = [](void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<gfx_detail::AtomicFile*>(closure)->Write(data, length)
               ? CAIRO_STATUS_SUCCESS
               : CAIRO_STATUS_WRITE_ERROR;
  };
  if (cairo_surface_write_to_png_stream(surface.get(), write, &out) != CAIRO_STATUS_SUCCESS)
    throw GfxError("Cannot write file \"" + path + "\"");
  out.Commit();
}

Bitmap Bitmap::LoadPng(const std::string& path) {
  // Only a regular file is handed to the decoder: a FIFO or device named as a picture would make
  // it wait or read for ever. The header's size is checked first, so a damaged or hostile file
  // cannot make the decoder set aside gigabytes for a picture it will never fill.
  CheckPngFile(path);
  gfx_detail::SurfacePtr s(cairo_image_surface_create_from_png(path.c_str()));
  cairo_status_t st = cairo_surface_status(s.get());
  if (st == CAIRO_STATUS_FILE_NOT_FOUND || st == CAIRO_STATUS_READ_ERROR)
    throw GfxError("Cannot open file \"" + path + "\"");
  if (st != CAIRO_STATUS_SUCCESS) throw GfxError("\"" + path + "\" is not a valid PNG picture");
  const cairo_format_t fmt = cairo_image_surface_get_format(s.get());
  if (fmt != CAIRO_FORMAT_RGB24 && fmt != CAIRO_FORMAT_ARGB32)
    throw GfxError("\"" + path + "\" has an unsupported pixel format");
  const int32_t w = cairo_image_surface_get_width(s.get());
  const int32_t h = cairo_image_surface_get_height(s.get());
  Bitmap bmp(w, h, fmt == CAIRO_FORMAT_ARGB32);
  cairo_surface_flush(s.get());
  const unsigned char* src = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  for (int32_t y = 0; y < h; ++y) {
    std::memcpy(bmp.ScanLine(y), src + size_t(y) * size_t(stride), size_t(w) * 4);
    if (fmt == CAIRO_FORMAT_RGB24)
      for (int32_t x = 0; x < w; ++x) bmp.ScanLine(y)[x] |= 0xFF000000u;
  }
  return bmp;
}

namespace gfx_detail {

SurfacePtr SurfaceFor(const Bitmap& bmp) {
  // cairo needs a non-null buffer even for a zero-sized surface.
  static unsigned char dummy[4];
  auto* data = bmp.IsEmpty() ? dummy : const_cast<unsigned char*>(bmp.Bits());
  const int w = bmp.IsEmpty() ? 0 : bmp.Width();
  const int h = bmp.IsEmpty() ? 0 : bmp.Height();
  const cairo_format_t fmt = bmp.HasAlpha() ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24;
  return SurfacePtr(cairo_image_surface_create_for_data(data, fmt, w, h, w * 4));
}

}  // namespace gfx_detail
}  // namespace plat
