#include "platform/gfx/jpeg_codec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <jpeglib.h>

namespace plat {

namespace {

// libjpeg reports errors through a callback that must not return: it jumps back to the call's
// set-up point, where the error becomes a GfxError once libjpeg's state is destroyed.
struct ErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = {};
};

void OnError(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

void OnMessage(j_common_ptr /*cinfo*/, int /*level*/) {}  // warnings stay silent

// Corrupt-data warnings are errors here: a damaged picture is refused, not shown half grey.
void OnWarning(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  std::longjmp(err->Jump, 1);
}

void InitErrors(ErrorManager& err) {
  jpeg_std_error(&err.Base);
  err.Base.error_exit = OnError;
  err.Base.emit_message = OnMessage;
  err.Base.output_message = OnWarning;
}

// Decodes with the library state kept in a plain struct, so that a jump out of libjpeg skips
// no destructor of a live C++ object.
struct DecodeState {
  jpeg_decompress_struct Info;
  ErrorManager Errors;
  uint8_t* Row = nullptr;  // kept here, not in a local, so that it survives the jump
};

// True when decoding succeeded; `message` holds the library's error otherwise.
bool DecodeInto(DecodeState& s, std::span<const uint8_t> data, int64_t maxPixels, Bitmap* out,
                JpegInfo& info, std::string& message, bool headerOnly) {
  s.Info.err = &s.Errors.Base;
  InitErrors(s.Errors);
  if (setjmp(s.Errors.Jump) != 0) {
    message = s.Errors.Message;
    std::free(s.Row);
    s.Row = nullptr;
    jpeg_destroy_decompress(&s.Info);
    return false;
  }
  jpeg_create_decompress(&s.Info);
  jpeg_mem_src(&s.Info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&s.Info, TRUE);
  info.Width = static_cast<int32_t>(s.Info.image_width);
  info.Height = static_cast<int32_t>(s.Info.image_height);
  info.Components = s.Info.num_components;
  if (headerOnly) {
    jpeg_destroy_decompress(&s.Info);
    return true;
  }
  if (info.Width <= 0 || info.Height <= 0 || int64_t{info.Width} * info.Height > maxPixels) {
    message = "the picture is too large";
    jpeg_destroy_decompress(&s.Info);
    return false;
  }
  s.Info.out_color_space = s.Info.jpeg_color_space == JCS_CMYK || s.Info.jpeg_color_space == JCS_YCCK
                               ? JCS_CMYK
                               : JCS_RGB;
  jpeg_start_decompress(&s.Info);
  const int channels = s.Info.output_components;
  s.Row = static_cast<uint8_t*>(std::malloc(size_t(s.Info.output_width) * size_t(channels)));
  if (s.Row == nullptr) {
    message = "out of memory";
    jpeg_destroy_decompress(&s.Info);
    return false;
  }
  while (s.Info.output_scanline < s.Info.output_height) {
    const int32_t y = static_cast<int32_t>(s.Info.output_scanline);
    JSAMPROW row = s.Row;
    jpeg_read_scanlines(&s.Info, &row, 1);
    uint32_t* target = out->ScanLine(y);
    for (uint32_t x = 0; x < s.Info.output_width; ++x) {
      const uint8_t* p = s.Row + size_t(x) * size_t(channels);
      uint32_t r, g, b;
      if (channels == 4) {  // Adobe's CMYK is stored inverted
        r = uint32_t(p[0]) * p[3] / 255;
        g = uint32_t(p[1]) * p[3] / 255;
        b = uint32_t(p[2]) * p[3] / 255;
      } else {
        r = p[0];
        g = p[1];
        b = p[2];
      }
      target[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  jpeg_finish_decompress(&s.Info);
  std::free(s.Row);
  jpeg_destroy_decompress(&s.Info);
  return true;
}

struct EncodeState {
  jpeg_compress_struct Info;
  ErrorManager Errors;
  uint8_t* Row = nullptr;
};

bool EncodeInto(EncodeState& s, const Bitmap& bitmap, int quality, unsigned char*& buffer,
                unsigned long& size, std::string& message) {
  s.Info.err = &s.Errors.Base;
  InitErrors(s.Errors);
  if (setjmp(s.Errors.Jump) != 0) {
    message = s.Errors.Message;
    std::free(s.Row);
    s.Row = nullptr;
    jpeg_destroy_compress(&s.Info);
    return false;
  }
  jpeg_create_compress(&s.Info);
  jpeg_mem_dest(&s.Info, &buffer, &size);
  s.Info.image_width = static_cast<JDIMENSION>(bitmap.Width());
  s.Info.image_height = static_cast<JDIMENSION>(bitmap.Height());
  s.Info.input_components = 3;
  s.Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&s.Info);
  jpeg_set_quality(&s.Info, quality < 1 ? 1 : quality > 100 ? 100 : quality, TRUE);
  jpeg_start_compress(&s.Info, TRUE);
  s.Row = static_cast<uint8_t*>(std::malloc(size_t(bitmap.Width()) * 3));
  if (s.Row == nullptr) {
    message = "out of memory";
    jpeg_destroy_compress(&s.Info);
    return false;
  }
  while (s.Info.next_scanline < s.Info.image_height) {
    const uint32_t* source = bitmap.ScanLine(static_cast<int32_t>(s.Info.next_scanline));
    for (int32_t x = 0; x < bitmap.Width(); ++x) {
      s.Row[x * 3] = static_cast<uint8_t>(source[x] >> 16);
      s.Row[x * 3 + 1] = static_cast<uint8_t>(source[x] >> 8);
      s.Row[x * 3 + 2] = static_cast<uint8_t>(source[x]);
    }
    JSAMPROW row = s.Row;
    jpeg_write_scanlines(&s.Info, &row, 1);
  }
  jpeg_finish_compress(&s.Info);
  std::free(s.Row);
  jpeg_destroy_compress(&s.Info);
  return true;
}

}  // namespace

bool ReadJpegInfo(std::span<const uint8_t> data, JpegInfo& info) {
  if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
  DecodeState state{};
  std::string message;
  return DecodeInto(state, data, 0, nullptr, info, message, true) && info.Width > 0 && info.Height > 0;
}

Bitmap DecodeJpeg(std::span<const uint8_t> data, int64_t maxPixels) {
  JpegInfo info;
  if (!ReadJpegInfo(data, info)) throw GfxError("JPEG picture: damaged or not a JPEG picture");
  if (int64_t{info.Width} * info.Height > maxPixels) throw GfxError("JPEG picture: the picture is too large");
  Bitmap bitmap(info.Width, info.Height);
  auto state = std::make_unique<DecodeState>();
  std::string message;
  if (!DecodeInto(*state, data, maxPixels, &bitmap, info, message, false))
    throw GfxError("JPEG picture: " + message);
  return bitmap;
}

std::vector<uint8_t> EncodeJpeg(const Bitmap& bitmap, int quality) {
  if (bitmap.IsEmpty()) throw GfxError("JPEG picture: empty bitmap");
  auto state = std::make_unique<EncodeState>();
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  std::string message;
  const bool ok = EncodeInto(*state, bitmap, quality, buffer, size, message);
  std::vector<uint8_t> out;
  if (ok && buffer != nullptr) out.assign(buffer, buffer + size);
  std::free(buffer);
  if (!ok) throw GfxError("JPEG picture: " + message);
  return out;
}

}  // namespace plat
