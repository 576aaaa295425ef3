#include "layout/page_preview.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "foundation/base/service_slot.h"
#include "platform/gfx/bitmap.h"

namespace qv {

namespace {

// A stretch of the text width in twips: offset from the text area's left edge, width, gap after.
struct TPart {
  int32_t left;
  int32_t width;
  int32_t gap;
};

struct TPreviewPage {
  const TPageParams& params;
  double twipsPerPixel;
  plat::Rect page;
  bool leftHand;  // the left page of a facing pair
};

int32_t Px(const TPreviewPage& p, int64_t twips) {
  return static_cast<int32_t>(std::lround(static_cast<double>(twips) / p.twipsPerPixel));
}

std::vector<TPart> PartsOf(int32_t layoutKind, const TSectionFormat* format, int32_t textWidth,
                           const TPageParams& params) {
  if (layoutKind == plColumns && format != nullptr && format->ColumnCount >= 2) {
    std::vector<TPart> parts;
    TPageParams within = params;
    within.TextWidth = textWidth;
    for (int32_t n = 0; n < std::min(format->ColumnCount, MaxColumns); ++n) {
      TColumnBounds b;
      ComputeColumnBounds(*format, within, n, b);
      parts.push_back({b.Left, b.Width, b.Gap});
    }
    return parts;
  }
  int32_t gap = std::min(720, textWidth / 10);
  if (layoutKind == plTwoParts) {
    int32_t room = textWidth - gap;
    return {{0, room / 5, gap}, {room / 5 + gap, room - room / 5, 0}};
  }
  if (layoutKind == plThreeParts) {
    int32_t width = (textWidth - 2 * gap) / 3;
    return {{0, width, gap}, {width + gap, width, gap}, {2 * (width + gap), width, 0}};
  }
  return {{0, textWidth, 0}};
}

void DrawStripes(plat::Bitmap& bmp, int32_t left, int32_t right, int32_t top, int32_t bottom,
                 plat::Color color) {
  for (int32_t y = top; y < bottom; y += 2) bmp.FillRect({left, y, right, y + 1}, color);
}

void DrawColumns(plat::Bitmap& bmp, const TPreviewPage& p, const plat::Rect& text,
                 int32_t layoutKind, const TSectionFormat* format, int32_t textWidth) {
  plat::Color color = PreviewColors().TextColor();
  std::vector<TPart> parts = PartsOf(layoutKind, format, textWidth, p.params);
  for (size_t i = 0; i < parts.size(); ++i) {
    int32_t left = text.left + Px(p, parts[i].left);
    int32_t right = std::max(left + 1, left + Px(p, parts[i].width));
    DrawStripes(bmp, left, std::min(right, text.right), text.top, text.bottom, color);
    bool separator = layoutKind == plColumns && format != nullptr && format->SeparatorLine != 0;
    if (separator && i + 1 < parts.size()) {
      int32_t x = text.left + Px(p, int64_t{parts[i].left} + parts[i].width + parts[i].gap / 2);
      bmp.FillRect({x, text.top, x + 1, text.bottom}, color);
    }
  }
}

void DrawEnvelope(plat::Bitmap& bmp, const TPreviewPage& p, const TEnvelopeLayout& envelope) {
  const plat::Rect& page = p.page;
  int32_t w = page.right - page.left;
  int32_t h = page.bottom - page.top;
  plat::Color color = PreviewColors().TextColor();
  struct TBlock {
    int32_t left, top, lines, widthPercent;
  };
  const TBlock blocks[] = {{envelope.ReturnLeft, envelope.ReturnTop, 3, 30},
                           {envelope.AddressLeft, envelope.AddressTop, 4, 40}};
  for (const TBlock& b : blocks) {
    int32_t x = page.left + static_cast<int32_t>(int64_t{w} * b.left / 10000);
    int32_t y = page.top + static_cast<int32_t>(int64_t{h} * b.top / 10000);
    int32_t right = std::min(page.right - 1, x + w * b.widthPercent / 100);
    DrawStripes(bmp, x, right, y, std::min(page.bottom - 1, y + 2 * b.lines - 1), color);
  }
  int32_t inset = std::max(1, w * 3 / 100);
  plat::Rect stamp{page.right - inset - std::max(2, w / 8), page.top + inset, page.right - inset,
                   page.top + inset + std::max(2, h / 5)};
  plat::Color frame = PreviewColors().FrameColor();
  bmp.FillRect({stamp.left, stamp.top, stamp.right, stamp.top + 1}, frame);
  bmp.FillRect({stamp.left, stamp.bottom - 1, stamp.right, stamp.bottom}, frame);
  bmp.FillRect({stamp.left, stamp.top, stamp.left + 1, stamp.bottom}, frame);
  bmp.FillRect({stamp.right - 1, stamp.top, stamp.right, stamp.bottom}, frame);
}

void DrawPageNumberMark(plat::Bitmap& bmp, const TPreviewPage& p, const plat::Rect& text,
                        const TPageNumberPlacement& numbers) {
  int32_t alignment = numbers.Alignment;
  if (alignment == 3) alignment = p.leftHand ? 2 : 0;  // inside
  if (alignment == 4) alignment = p.leftHand ? 0 : 2;  // outside
  int32_t x = alignment == 0 ? text.left : alignment == 2 ? text.right - 2 : (text.left + text.right) / 2 - 1;
  int32_t y = numbers.AtBottom ? (text.bottom + p.page.bottom) / 2 - 1 : (p.page.top + text.top) / 2 - 1;
  bmp.FillRect({x, y, x + 2, y + 3}, PreviewColors().FrameColor());
}

void DrawFrame(plat::Bitmap& bmp, const plat::Rect& r) {
  plat::Color c = PreviewColors().FrameColor();
  bmp.FillRect({r.left, r.top, r.right, r.top + 1}, c);
  bmp.FillRect({r.left, r.bottom - 1, r.right, r.bottom}, c);
  bmp.FillRect({r.left, r.top, r.left + 1, r.bottom}, c);
  bmp.FillRect({r.right - 1, r.top, r.right, r.bottom}, c);
  bmp.FillRect({r.right, r.top + 1, r.right + 1, r.bottom + 1}, c);  // shadow
  bmp.FillRect({r.left + 1, r.bottom, r.right + 1, r.bottom + 1}, c);
}

void DrawPage(plat::Bitmap& bmp, const TPreviewPage& p, int32_t layoutKind, uint32_t style,
              const TPageNumberPlacement& numbers, const TSectionFormat* format,
              const TEnvelopeLayout* envelope) {
  const TPageParams& params = p.params;
  bmp.FillRect(p.page, PreviewColors().PageColor());
  int32_t leftMargin = p.leftHand ? params.RightMargin : params.LeftMargin;
  int32_t rightMargin = p.leftHand ? params.LeftMargin : params.RightMargin;
  plat::Rect text{p.page.left + Px(p, leftMargin), p.page.top + Px(p, params.TopMargin),
                  p.page.right - Px(p, rightMargin), p.page.bottom - Px(p, params.BottomMargin)};
  if (style & psEnvelope) {
    DrawEnvelope(bmp, p, envelope ? *envelope : TEnvelopeLayout{});
  } else if (text.left < text.right && text.top < text.bottom) {
    const int64_t textWidth64 =
        int64_t{params.PageWidth} - params.LeftMargin - params.RightMargin;
    int32_t textWidth = static_cast<int32_t>(std::clamp<int64_t>(textWidth64, 0, INT32_MAX));
    DrawColumns(bmp, p, text, layoutKind, format, textWidth);
    if (numbers.Show) DrawPageNumberMark(bmp, p, text, numbers);
  }
  if (style & psFrame) DrawFrame(bmp, p.page);
}

}  // namespace

void RegisterPreviewColors(std::unique_ptr<TPreviewColors> colors) {
  RegisterService(std::move(colors));
}

const TPreviewColors& PreviewColors() { return *ServiceSlot<TPreviewColors>(); }

void DrawPageLayoutPreview(plat::Canvas& canvas, const plat::Rect& rect, const TPageParams& params,
                           int32_t layoutKind, uint32_t style,
                           const TPageNumberPlacement& pageNumbers, bool onePage,
                           const TSectionFormat* format, const TEnvelopeLayout* envelope) {
  int32_t width = rect.Width();
  int32_t height = rect.Height();
  if (width <= 0 || height <= 0) return;
  // The preview is drawn through a bitmap of the rectangle's size; one larger than any preview
  // box (a damaged request) gets only the background rather than gigabytes of pixels.
  constexpr int32_t kMaxPreviewSide = 4096;
  if (width > kMaxPreviewSide || height > kMaxPreviewSide) {
    canvas.FillRect(rect, canvas.GetBrush().Colour);
    return;
  }
  plat::Bitmap bmp(width, height);
  bmp.Fill(canvas.GetBrush().Colour);

  bool mirror = params.Mirror != 0 && !onePage;
  int32_t pages = mirror ? 2 : 1;
  int32_t roomWidth = width - 5 * (pages - 1) - 20;
  int32_t roomHeight = height - 20;
  if (roomWidth > 0 && roomHeight > 0 && params.PageWidth > 0 && params.PageHeight > 0) {
    double twipsPerPixel = std::max(static_cast<double>(params.PageWidth) * pages / roomWidth,
                                    static_cast<double>(params.PageHeight) / roomHeight);
    auto pageWidth = static_cast<int32_t>(std::lround(params.PageWidth / twipsPerPixel));
    auto pageHeight = static_cast<int32_t>(std::lround(params.PageHeight / twipsPerPixel));
    int32_t x = (width - (pageWidth * pages + 5 * (pages - 1))) / 2;
    int32_t y = (height - pageHeight) / 2;
    for (int32_t i = 0; i < pages; ++i) {
      TPreviewPage page{params, twipsPerPixel, {x, y, x + pageWidth, y + pageHeight}, mirror && i == 0};
      DrawPage(bmp, page, layoutKind, style, pageNumbers, format, envelope);
      x += pageWidth + 5;
    }
  }
  canvas.DrawBitmap(rect.left, rect.top, bmp);
}

}  // namespace qv
