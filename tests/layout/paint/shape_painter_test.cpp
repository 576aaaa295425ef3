// Drawing one shape: a picture as it is, and lightened when its paragraph is dimmed.
#include "layout/paint/shape_painter.h"

#include <gtest/gtest.h>

#include <vector>

#include "document/doc.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "foundation/base/service_slot.h"
#include "layout/pictures/bitmap_utils.h"
#include "layout/pictures/png_codec.h"
#include "layout/shape_services.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/canvas.h"

using namespace qv;

TEST(ShapePaintTest, ADimmedPictureIsDrawnLightenedInItsPlace) {
  ScopedService<TPictureDecoder> decoder{MakeLayoutPictureDecoder()};
  TPNGImage image(8, 6, TPixelFormat::pf24bit);
  for (int32_t y = 0; y < 6; ++y)
    for (int32_t x = 0; x < 8; ++x) image.SetColor(x, y, 0x0000FF);
  TDoc doc(true);
  TShape shape(&doc);
  shape.SetPictureData(image.SaveToBytes(), TDocGraphic::TKind::Png);
  for (const bool dimmed : {false, true}) {
    SCOPED_TRACE(dimmed ? "dimmed" : "as it is");
    plat::Bitmap target(40, 40);
    target.Fill(0xFFFFFF);
    plat::Canvas canvas(target);
    TShapePaint paint;
    paint.Rect = {4, 4, 20, 16};  // stretched to twice its size
    paint.Flags = dimmed ? TShapePaint::Dimmed : 0;
    DrawShape(shape, canvas, paint);
    const plat::Color red = dimmed ? LightenColor(0x0000FF) : 0x0000FFu;
    EXPECT_NE(LightenColor(0x0000FF), 0x0000FFu);
    EXPECT_EQ(target.GetPixel(4, 4), red);
    EXPECT_EQ(target.GetPixel(12, 10), red);
    EXPECT_EQ(target.GetPixel(19, 15), red);
    EXPECT_EQ(target.GetPixel(20, 16), 0xFFFFFFu);  // nothing beyond its place
    EXPECT_EQ(target.GetPixel(3, 3), 0xFFFFFFu);
  }
}
