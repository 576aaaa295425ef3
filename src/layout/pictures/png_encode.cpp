// Encoding of the PNG image data: a filter chosen for each row, deflated as one zlib stream.
#include <zlib.h>

#include <array>
#include <cstdlib>

#include "foundation/base/exceptions.h"
#include "layout/pictures/png_codec.h"

namespace qv {
namespace {

int32_t PaethPredictor(int32_t left, int32_t above, int32_t upperLeft) {
  const int32_t p = left + above - upperLeft;
  const int32_t pa = std::abs(p - left), pb = std::abs(p - above), pc = std::abs(p - upperLeft);
  if (pa <= pb && pa <= pc) return left;
  if (pb <= pc) return above;
  return upperLeft;
}

// The row filtered with one filter type (bytes left of the first pixel count as 0).
void Filter(uint8_t type, const std::vector<uint8_t>& row, const std::vector<uint8_t>& above,
            size_t bpp, std::vector<uint8_t>& out) {
  out.resize(row.size());
  for (size_t i = 0; i < row.size(); ++i) {
    const int32_t left = i >= bpp ? row[i - bpp] : 0;
    const int32_t upperLeft = i >= bpp ? above[i - bpp] : 0;
    int32_t predicted = 0;
    switch (type) {
      case 1:
        predicted = left;
        break;
      case 2:
        predicted = above[i];
        break;
      case 3:
        predicted = (left + above[i]) / 2;
        break;
      case 4:
        predicted = PaethPredictor(left, above[i], upperLeft);
        break;
      default:
        break;
    }
    out[i] = uint8_t(row[i] - predicted);
  }
}

// How well a filtered row compresses: the positions from the fifth byte on whose byte equals
// each of the four bytes before it.
int32_t RunScore(const std::vector<uint8_t>& f) {
  if (f.size() <= 4) return 0;
  int32_t score = 0;
  for (size_t i = 4; i < f.size(); ++i)
    score += f[i] == f[i - 1] && f[i] == f[i - 2] && f[i] == f[i - 3] && f[i] == f[i - 4];
  return score;
}

class Deflater {
 public:
  Deflater() {
    if (deflateInit(&z_, Z_DEFAULT_COMPRESSION) != Z_OK) throw EOutOfMemory();
  }
  ~Deflater() { deflateEnd(&z_); }
  Deflater(const Deflater&) = delete;
  Deflater& operator=(const Deflater&) = delete;

  void Add(const uint8_t* p, size_t n, bool last, std::vector<uint8_t>& out) {
    z_.next_in = const_cast<Bytef*>(p);
    z_.avail_in = static_cast<uInt>(n);
    int rc = Z_OK;
    do {
      uint8_t buffer[16384];
      z_.next_out = buffer;
      z_.avail_out = sizeof buffer;
      rc = deflate(&z_, last ? Z_FINISH : Z_NO_FLUSH);
      if (rc == Z_STREAM_ERROR) throw EWriteError("Cannot compress the picture");
      out.insert(out.end(), buffer, buffer + (sizeof buffer - z_.avail_out));
    } while (z_.avail_out == 0 || (last && rc != Z_STREAM_END));
  }

 private:
  z_stream z_{};
};

}  // namespace

void TChunkIDAT::SaveToStream(std::ostream& out) {
  const TPNGImage& image = Owner.Owner;
  const bool rgb = !IsPaletteFormat(image.PixelFormat());
  const size_t bpp = rgb ? 3 : 1;
  const size_t rowBytes =
      rgb ? size_t(image.Width()) * 3 : (size_t(image.Width()) * image.BitsPerPixel() + 7) / 8;
  std::vector<uint8_t> row(rowBytes), above(rowBytes, 0), best, candidate;
  Deflater deflater;
  Data.clear();
  for (int32_t y = 0; y < image.Height(); ++y) {
    const uint8_t* src = image.ScanLine(y);
    if (rgb) {
      for (int32_t x = 0; x < image.Width(); ++x) {
        row[size_t(x) * 3] = src[x * 3 + 2];
        row[size_t(x) * 3 + 1] = src[x * 3 + 1];
        row[size_t(x) * 3 + 2] = src[x * 3];
      }
    } else {
      std::copy(src, src + rowBytes, row.begin());
    }
    // None, Sub, Average and Paeth compete; a later filter wins only with a higher score.
    uint8_t bestType = 0;
    Filter(0, row, above, bpp, best);
    int32_t bestScore = RunScore(best);
    for (uint8_t type : {uint8_t(1), uint8_t(3), uint8_t(4)}) {
      Filter(type, row, above, bpp, candidate);
      const int32_t score = RunScore(candidate);
      if (score > bestScore) {
        bestScore = score;
        bestType = type;
        best.swap(candidate);
      }
    }
    deflater.Add(&bestType, 1, false, Data);
    deflater.Add(best.data(), best.size(), false, Data);
    above = row;
  }
  deflater.Add(nullptr, 0, true, Data);
  TChunk::SaveToStream(out);
}

}  // namespace qv
