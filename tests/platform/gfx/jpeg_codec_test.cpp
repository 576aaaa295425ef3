#include "platform/gfx/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace plat;

namespace {

Bitmap Sample() {
  Bitmap bmp(64, 48);
  bmp.Fill(0xFFFFFF);
  bmp.FillRect({0, 0, 32, 24}, 0x0000FF);   // red
  bmp.FillRect({32, 24, 64, 48}, 0xFF0000);  // blue
  return bmp;
}

bool Near(Color a, Color b, int tolerance) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
  return true;
}

}  // namespace

TEST(JpegCodec, EncodedPicturesDecodeToTheirSizeAndColours) {
  const std::vector<uint8_t> data = EncodeJpeg(Sample(), 95);
  JpegInfo info;
  ASSERT_TRUE(ReadJpegInfo(data, info));
  EXPECT_EQ(info.Width, 64);
  EXPECT_EQ(info.Height, 48);
  EXPECT_EQ(info.Components, 3);
  const Bitmap back = DecodeJpeg(data, 64 * 48);
  EXPECT_TRUE(Near(back.GetPixel(8, 8), 0x0000FF, 12));
  EXPECT_TRUE(Near(back.GetPixel(50, 40), 0xFF0000, 12));
  EXPECT_TRUE(Near(back.GetPixel(50, 8), 0xFFFFFF, 12));
}

TEST(JpegCodec, DamagedOrOversizedPicturesAreRefused) {
  const std::vector<uint8_t> data = EncodeJpeg(Sample());
  const std::vector<uint8_t> truncated(data.begin(), data.begin() + data.size() / 2);
  std::vector<uint8_t> scrambled = data;
  for (size_t i = scrambled.size() / 3; i < scrambled.size() - 2; i += 7) scrambled[i] ^= 0x5A;
  const std::vector<uint8_t> notJpeg = {0x89, 'P', 'N', 'G', 0, 0, 0, 0};
  struct Case {
    const std::vector<uint8_t>* bytes;
    int64_t budget;
  } cases[] = {{&truncated, 1 << 20}, {&scrambled, 1 << 20}, {&notJpeg, 1 << 20}, {&data, 64 * 48 - 1}};
  for (const Case& c : cases) EXPECT_THROW(DecodeJpeg(*c.bytes, c.budget), GfxError);
  JpegInfo info;
  EXPECT_FALSE(ReadJpegInfo(notJpeg, info));
  EXPECT_FALSE(ReadJpegInfo(std::span<const uint8_t>(data.data(), 3), info));
}
