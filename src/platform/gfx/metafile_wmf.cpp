// The records of Windows metafiles. Their parameters are 16-bit words, most of them in reverse
// order of the call they record (the last argument first).
#include <algorithm>

#include "platform/gfx/metafile_internal.h"

namespace plat::mf {
namespace {

enum : uint16_t {
  kEof = 0x0000,
  kSetBkColor = 0x0201,
  kSetBkMode = 0x0102,
  kSetMapMode = 0x0103,
  kSetRop2 = 0x0104,
  kSetPolyFillMode = 0x0106,
  kSetTextColor = 0x0209,
  kSetWindowOrg = 0x020B,
  kSetWindowExt = 0x020C,
  kOffsetWindowOrg = 0x020F,
  kScaleWindowExt = 0x0410,
  kLineTo = 0x0213,
  kMoveTo = 0x0214,
  kExcludeClipRect = 0x0415,
  kIntersectClipRect = 0x0416,
  kArc = 0x0817,
  kEllipse = 0x0418,
  kPie = 0x081A,
  kRectangle = 0x041B,
  kRoundRect = 0x061C,
  kPatBlt = 0x061D,
  kSaveDc = 0x001E,
  kSetPixel = 0x041F,
  kOffsetClipRgn = 0x0220,
  kTextOut = 0x0521,
  kPolygon = 0x0324,
  kPolyline = 0x0325,
  kPolyPolygon = 0x0538,
  kRestoreDc = 0x0127,
  kFillRegion = 0x0228,
  kInvertRegion = 0x012A,
  kPaintRegion = 0x012B,
  kSelectClipRegion = 0x012C,
  kSelectObject = 0x012D,
  kSetTextAlign = 0x012E,
  kChord = 0x0830,
  kExtTextOut = 0x0A32,
  kDeleteObject = 0x01F0,
  kCreatePalette = 0x00F7,
  kCreatePatternBrush = 0x01F9,
  kCreatePenIndirect = 0x02FA,
  kCreateFontIndirect = 0x02FB,
  kCreateBrushIndirect = 0x02FC,
  kCreateRegion = 0x06FF,
  kDibBitBlt = 0x0940,
  kDibStretchBlt = 0x0B41,
  kStretchDib = 0x0F43,
  kSetDibToDev = 0x0D33,
  kDibCreatePatternBrush = 0x0142,
};

constexpr uint32_t kEtoOpaque = 2, kEtoClipped = 4;

class WmfPlayer {
 public:
  explicit WmfPlayer(Player& p) : p_(p) {}

  // r holds the whole record; parameters start at byte 6.
  void Record(uint16_t fn, const Reader& r) {
    auto w = [&](uint64_t i) { return double(r.I16(6 + 2 * i)); };
    auto u = [&](uint64_t i) { return r.U16(6 + 2 * i); };
    auto colour = [&](uint64_t i) { return Color(r.U32(6 + 2 * i) & 0xFFFFFF); };
    switch (fn) {
      case kSetBkColor:
        p_.st.bkColor = colour(0);
        return;
      case kSetBkMode:
        p_.st.bkOpaque = u(0) == 2;
        return;
      case kSetMapMode:
        return;  // the picture is always scaled to its destination
      case kSetRop2:
        p_.st.rop = RopOf(u(0));
        return;
      case kSetPolyFillMode:
        p_.st.winding = u(0) == 2;
        return;
      case kSetTextColor:
        p_.st.textColor = colour(0);
        return;
      case kSetTextAlign:
        p_.st.textAlign = u(0);
        return;
      case kSetWindowOrg:
        p_.st.windowOrg = {w(1), w(0)};
        return;
      case kSetWindowExt:
        p_.st.windowExt = {w(1), w(0)};
        return;
      case kOffsetWindowOrg:
        p_.st.windowOrg.x += w(1), p_.st.windowOrg.y += w(0);
        return;
      case kScaleWindowExt:
        if (w(0) != 0 && w(2) != 0) {
          p_.st.windowExt.x = p_.st.windowExt.x * w(3) / w(2);
          p_.st.windowExt.y = p_.st.windowExt.y * w(1) / w(0);
        }
        return;
      case kMoveTo:
        return p_.MoveTo({w(1), w(0)});
      case kLineTo:
        return p_.LineTo({w(1), w(0)});
      case kRectangle:
        return p_.Shape({p_.RectFigure(w(3), w(2), w(1), w(0))}, true, true);
      case kEllipse:
        return p_.Shape({p_.EllipseFigure(w(3), w(2), w(1), w(0))}, true, true);
      case kRoundRect:
        return p_.Shape({p_.RoundRectFigure(w(5), w(4), w(3), w(2), w(1), w(0))}, true, true);
      case kArc:
      case kPie:
      case kChord: {
        const int kind = fn == kChord ? 1 : fn == kPie ? 2 : 0;
        return p_.Shape({p_.ArcFigure(w(7), w(6), w(5), w(4), {w(3), w(2)}, {w(1), w(0)}, kind)},
                        kind != 0, true);
      }
      case kSetPixel:
        return p_.SetPixel({w(3), w(2)}, colour(0));
      case kPolygon:
      case kPolyline: {
        const std::vector<PointF> pts = Points(r, 8, u(0));
        return p_.Shape({p_.Polyline(pts, fn == kPolygon)}, fn == kPolygon, true);
      }
      case kPolyPolygon:
        return PolyPolygon(r);
      case kSaveDc:
        return p_.Save();
      case kRestoreDc:
        return p_.Restore(int32_t(w(0)));
      case kExcludeClipRect:
      case kIntersectClipRect: {
        const Figure f = p_.RectFigure(w(3), w(2), w(1), w(0));
        p_.CombineClip(p_.PathRegion({f}), fn == kIntersectClipRect ? 1 : 4);
        return;
      }
      case kOffsetClipRgn: {
        if (!p_.st.clip) return;
        const Matrix m = p_.Total();
        p_.st.clip->Offset(ToPixel(m.m11 * w(1)), ToPixel(m.m22 * w(0)));
        p_.ApplyClip();
        return;
      }
      case kTextOut:
        return TextOut(r);
      case kExtTextOut:
        return ExtTextOut(r);
      case kSelectObject:
        return Select(u(0));
      case kDeleteObject:
        if (u(0) < p_.objects.size()) p_.objects[u(0)] = Object{};
        return;
      case kCreatePenIndirect: {
        Object o = Object::Of(Object::Kind::Pen);
        const double width = std::abs(w(1));
        o.pen = {PenStyleOf(u(0)), width, width <= 1, colour(3)};
        return Add(std::move(o));
      }
      case kCreateBrushIndirect: {
        Object o = Object::Of(Object::Kind::Brush);
        const uint16_t style = u(0);
        o.brush.kind = style == 1   ? BrushObj::Kind::Null
                       : style == 2 ? BrushObj::Kind::Hatch
                                    : BrushObj::Kind::Solid;
        o.brush.colour = colour(1);
        o.brush.hatch = u(3);
        return Add(std::move(o));
      }
      case kCreateFontIndirect:
        return CreateFont(r);
      case kCreatePalette:
      case kCreatePatternBrush: {
        Object o = Object::Of(fn == kCreatePalette ? Object::Kind::Other : Object::Kind::Brush);
        o.brush.colour = 0x808080;  // an old device-dependent pattern: shown as grey
        return Add(std::move(o));
      }
      case kDibCreatePatternBrush: {
        Object o = Object::Of(Object::Kind::Brush);
        o.brush.kind = BrushObj::Kind::Pattern;
        o.brush.colour = 0x808080;
        std::optional<Bitmap> dib = PackedDib(r, 10, u(1) == 1);
        if (dib && dib->Width() <= 256 && dib->Height() <= 256)
          o.brush.pattern = std::make_shared<const Bitmap>(std::move(*dib));
        return Add(std::move(o));
      }
      case kCreateRegion:
        return CreateRegion(r);
      case kSelectClipRegion: {
        const uint16_t i = u(0);
        if (i < p_.objects.size() && p_.objects[i].kind == Object::Kind::Region)
          p_.CombineClip(RegionOf(p_.objects[i].region), 5);
        else
          p_.st.clip.reset(), p_.ApplyClip();
        return;
      }
      case kFillRegion:
      case kPaintRegion:
      case kInvertRegion:
        return RegionRecord(fn, r);
      case kPatBlt:
        return p_.PatBlt(w(5), w(4), w(3), w(2), r.U32(6));
      case kDibBitBlt:
      case kDibStretchBlt:
        return Blt(fn, r);
      case kStretchDib:
        return StretchDib(r);
      case kSetDibToDev:
        return SetDibToDev(r);
      default:
        return;
    }
  }

 private:
  static std::vector<PointF> Points(const Reader& r, uint64_t at, uint64_t count) {
    if (count > r.Size() / 4) throw Damaged{};
    r.Need(at, count * 4);
    std::vector<PointF> pts;
    for (uint64_t i = 0; i < count; ++i)
      pts.push_back({double(r.I16(at + 4 * i)), double(r.I16(at + 4 * i + 2))});
    return pts;
  }

  // New objects take the lowest free slot of the table (which grows when the header announced
  // too few, up to the most a 16-bit index can name).
  void Add(Object o) {
    for (Object& slot : p_.objects) {
      if (slot.kind == Object::Kind::None) {
        slot = std::move(o);
        return;
      }
    }
    if (p_.objects.size() >= 0xFFFF) throw Damaged{};
    p_.objects.push_back(std::move(o));
  }

  void Select(uint16_t i) {
    if (i >= p_.objects.size()) return;
    const Object& o = p_.objects[i];
    if (!SelectDrawingObject(p_.st, o) && o.kind == Object::Kind::Region)
      p_.CombineClip(RegionOf(o.region), 5);
  }

  Region RegionOf(const RegionObj& region) const {
    std::vector<Rect> rects;
    for (const Rect& r : region.rects)
      rects.push_back(p_.ToCanvasRect(r.left, r.top, r.right, r.bottom));
    return Region::FromRects(rects);
  }

  void PolyPolygon(const Reader& r) {
    const uint64_t polys = r.U16(6);
    r.Need(8, polys * 2);
    uint64_t at = 8 + polys * 2;
    std::vector<Figure> figures;
    for (uint64_t i = 0; i < polys; ++i) {
      const uint64_t n = r.U16(8 + 2 * i);
      figures.push_back(p_.Polyline(Points(r, at, n), true));
      at += n * 4;
    }
    p_.Shape(std::move(figures), true, true);
  }

  void CreateFont(const Reader& r) {
    Object o = Object::Of(Object::Kind::Font);
    LogFont& lf = o.font.font;
    lf.Height = r.I16(6);
    lf.Width = r.I16(8);
    lf.Escapement = r.I16(10);
    lf.Weight = r.I16(14);
    lf.Italic = r.U8(16) != 0;
    lf.Underline = r.U8(17) != 0;
    lf.StrikeOut = r.U8(18) != 0;
    lf.CharSet = r.U8(19);
    for (uint64_t i = 24; i < r.Size() && i < 24 + 32 && r.U8(i) != 0; ++i)
      lf.FaceName += char(r.U8(i));
    Add(std::move(o));
  }

  void CreateRegion(const Reader& r) {
    // nextInChain, ObjectType, ObjectCount, RegionSize, ScanCount, MaxScan, bounds, then scans of
    // (count, top, bottom, count / 2 pairs of left and right, count).
    Object o = Object::Of(Object::Kind::Region);
    const uint64_t scans = r.U16(6 + 10);
    uint64_t at = 6 + 22;
    for (uint64_t s = 0; s < scans; ++s) {
      const uint64_t count = r.U16(at);
      const int32_t top = r.I16(at + 2), bottom = r.I16(at + 4);
      if (count % 2 != 0) throw Damaged{};
      r.Need(at + 6, count * 2 + 2);
      for (uint64_t k = 0; k < count / 2; ++k)
        o.region.rects.push_back({r.I16(at + 6 + 4 * k), top, r.I16(at + 8 + 4 * k), bottom});
      at += 6 + count * 2 + 2;
    }
    Add(std::move(o));
  }

  void RegionRecord(uint16_t fn, const Reader& r) {
    const uint16_t ri = r.U16(6);
    if (ri >= p_.objects.size() || p_.objects[ri].kind != Object::Kind::Region) return;
    const Region region = RegionOf(p_.objects[ri].region);
    if (fn == kInvertRegion) return p_.canvas.InvertRegion(region);
    BrushObj brush = p_.st.brush;
    if (fn == kFillRegion) {
      const uint16_t bi = r.U16(8);
      if (bi >= p_.objects.size() || p_.objects[bi].kind != Object::Kind::Brush) return;
      brush = p_.objects[bi].brush;
    }
    p_.FillRegion(region, brush);
  }

  void TextOut(const Reader& r) {
    const uint64_t length = r.U16(6);
    const uint64_t padded = (length + 1) & ~uint64_t{1};
    const auto text = r.Bytes(8, length);
    const double y = r.I16(8 + padded), x = r.I16(10 + padded);
    p_.Text({x, y}, {}, std::string(text.begin(), text.end()), {}, 0, nullptr);
  }

  void ExtTextOut(const Reader& r) {
    const double y = r.I16(6), x = r.I16(8);
    const uint64_t length = r.U16(10);
    const uint16_t options = r.U16(12);
    uint64_t at = 14;
    double rect[4] = {0, 0, 0, 0};
    const bool hasRect = options & (kEtoOpaque | kEtoClipped);
    if (hasRect) {
      for (int i = 0; i < 4; ++i) rect[i] = r.I16(at + 2 * uint64_t(i));
      at += 8;
    }
    const auto text = r.Bytes(at, length);
    at += (length + 1) & ~uint64_t{1};
    std::vector<double> dx;
    if (r.Has(at, length * 2))
      for (uint64_t i = 0; i < length; ++i) dx.push_back(r.I16(at + 2 * i));
    p_.Text({x, y}, {}, std::string(text.begin(), text.end()), dx, options,
            hasRect ? rect : nullptr);
  }

  // A packed DIB (header, colours, bits) from an offset to the record's end.
  static std::optional<Bitmap> PackedDib(const Reader& r, uint64_t at, bool paletteIndexes) {
    if (!r.Has(at, 0)) throw Damaged{};
    const auto dib = r.Bytes(at, r.Size() - at);
    const size_t header = DibHeaderSize(dib, paletteIndexes);
    if (header == 0) return std::nullopt;
    return DecodeDib(dib.first(header), dib.subspan(header), paletteIndexes);
  }

  void Blt(uint16_t fn, const Reader& r) {
    const uint32_t rop = r.U32(6);
    const bool stretch = fn == kDibStretchBlt;
    // Without a bitmap the record has a reserved word and only paints with the brush.
    const uint64_t words = r.Size() / 2;
    if (words == uint64_t(fn >> 8) + 3) {
      if (stretch) return p_.PatBlt(r.I16(26), r.I16(24), r.I16(22), r.I16(20), rop);
      return p_.PatBlt(r.I16(22), r.I16(20), r.I16(18), r.I16(16), rop);
    }
    double sx, sy, sw, sh, dx, dy, dw, dh;
    uint64_t dibAt;
    if (stretch) {
      sh = r.I16(10), sw = r.I16(12), sy = r.I16(14), sx = r.I16(16);
      dh = r.I16(18), dw = r.I16(20), dy = r.I16(22), dx = r.I16(24);
      dibAt = 26;
    } else {
      sy = r.I16(10), sx = r.I16(12), dh = r.I16(14), dw = r.I16(16), dy = r.I16(18),
      dx = r.I16(20);
      sw = dw, sh = dh;
      dibAt = 22;
    }
    std::optional<Bitmap> dib = PackedDib(r, dibAt, false);
    if (dib) p_.DrawDib(*dib, sx, sy, sw, sh, dx, dy, dw, dh, rop);
  }

  static double SourceTop(const Reader& r, uint64_t dibAt, double sy, double sh,
                          const Bitmap& dib) {
    return r.U32(dibAt) >= 40 && r.I32(dibAt + 8) > 0 ? dib.Height() - sy - sh : sy;
  }

  void StretchDib(const Reader& r) {
    const uint32_t rop = r.U32(6);
    const bool palette = r.U16(10) == 1;
    const double sh = r.I16(12), sw = r.I16(14), sy = r.I16(16), sx = r.I16(18), dh = r.I16(20),
                 dw = r.I16(22), dy = r.I16(24), dx = r.I16(26);
    std::optional<Bitmap> dib = PackedDib(r, 28, palette);
    if (dib) p_.DrawDib(*dib, sx, SourceTop(r, 28, sy, sh, *dib), sw, sh, dx, dy, dw, dh, rop);
  }

  void SetDibToDev(const Reader& r) {
    const bool palette = r.U16(6) == 1;
    const double sy = r.I16(12), sx = r.I16(14), h = r.I16(16), w = r.I16(18), dy = r.I16(20),
                 dx = r.I16(22);
    std::optional<Bitmap> dib = PackedDib(r, 24, palette);
    if (dib) p_.DrawDib(*dib, sx, SourceTop(r, 24, sy, h, *dib), w, h, dx, dy, w, h, 0x00CC0020);
  }

  Player& p_;
};

}  // namespace

bool PlayWmf(Player& player) {
  const std::vector<uint8_t>& bytes = player.picture.Bytes();
  const Reader file(bytes);
  const size_t header = player.picture.FirstRecord();
  const size_t objects = file.U16(header > 18 ? header - 18 + 10 : 10);
  player.objects.assign(objects, Object{});
  WmfPlayer wmf(player);
  size_t pos = header;
  while (pos < bytes.size()) {
    if (!file.Has(pos, 6)) return false;
    const uint64_t size = uint64_t(file.U32(pos)) * 2;
    const uint16_t fn = file.U16(pos + 4);
    if (size < 6 || size > bytes.size() - pos) return false;
    if (fn == kEof) return true;
    if (!PlayRecord([&] { wmf.Record(fn, Reader(std::span(bytes).subspan(pos, size_t(size)))); }))
      return false;
    pos += size_t(size);
  }
  return true;
}

}  // namespace plat::mf
