// The records of enhanced metafiles.
#include <algorithm>
#include <cmath>

#include "platform/gfx/metafile_internal.h"

namespace plat::mf {
namespace {

enum : uint32_t {
  kHeader = 1,
  kPolyBezier = 2,
  kPolygon = 3,
  kPolyline = 4,
  kPolyBezierTo = 5,
  kPolylineTo = 6,
  kPolyPolyline = 7,
  kPolyPolygon = 8,
  kSetWindowExt = 9,
  kSetWindowOrg = 10,
  kSetViewportExt = 11,
  kSetViewportOrg = 12,
  kSetBrushOrg = 13,
  kEof = 14,
  kSetPixel = 15,
  kSetMapMode = 17,
  kSetBkMode = 18,
  kSetPolyFillMode = 19,
  kSetRop2 = 20,
  kSetTextAlign = 22,
  kSetTextColor = 24,
  kSetBkColor = 25,
  kOffsetClipRgn = 26,
  kMoveTo = 27,
  kExcludeClipRect = 29,
  kIntersectClipRect = 30,
  kScaleViewportExt = 31,
  kScaleWindowExt = 32,
  kSaveDc = 33,
  kRestoreDc = 34,
  kSetWorldTransform = 35,
  kModifyWorldTransform = 36,
  kSelectObject = 37,
  kCreatePen = 38,
  kCreateBrush = 39,
  kDeleteObject = 40,
  kAngleArc = 41,
  kEllipse = 42,
  kRectangle = 43,
  kRoundRect = 44,
  kArc = 45,
  kChord = 46,
  kPie = 47,
  kLineTo = 54,
  kArcTo = 55,
  kPolyDraw = 56,
  kSetArcDirection = 57,
  kBeginPath = 59,
  kEndPath = 60,
  kCloseFigure = 61,
  kFillPath = 62,
  kStrokeAndFillPath = 63,
  kStrokePath = 64,
  kSelectClipPath = 67,
  kAbortPath = 68,
  kFillRgn = 71,
  kInvertRgn = 73,
  kPaintRgn = 74,
  kExtSelectClipRgn = 75,
  kBitBlt = 76,
  kStretchBlt = 77,
  kMaskBlt = 78,
  kSetDiBitsToDevice = 80,
  kStretchDiBits = 81,
  kExtCreateFont = 82,
  kExtTextOutA = 83,
  kExtTextOutW = 84,
  kPolyBezier16 = 85,
  kPolygon16 = 86,
  kPolyline16 = 87,
  kPolyBezierTo16 = 88,
  kPolylineTo16 = 89,
  kPolyPolyline16 = 90,
  kPolyPolygon16 = 91,
  kPolyDraw16 = 92,
  kCreateMonoBrush = 93,
  kCreateDibPatternBrush = 94,
  kExtCreatePen = 95,
  kSmallTextOut = 108,
  kAlphaBlend = 114,
  kTransparentBlt = 116,
  kGradientFill = 118,
};

constexpr uint32_t kEtoGlyphIndex = 0x10, kEtoPdy = 0x2000, kEtoNoRect = 0x100,
                   kEtoSmallChars = 0x200;

PointF PointL(const Reader& r, uint64_t o) { return {double(r.I32(o)), double(r.I32(o + 4))}; }

// count points from an offset: 32-bit (PointL) or 16-bit (PointS) pairs.
std::vector<PointF> Points(const Reader& r, uint64_t at, uint64_t count, bool small) {
  const uint64_t each = small ? 4 : 8;
  if (count > r.Size() / each) throw Damaged{};
  r.Need(at, count * each);
  std::vector<PointF> pts;
  pts.reserve(size_t(count));
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t o = at + i * each;
    pts.push_back(small ? PointF{double(r.I16(o)), double(r.I16(o + 2))} : PointL(r, o));
  }
  return pts;
}

// Styles beyond the shared ones: PS_ALTERNATE (8) draws dotted.
PenStyle EmfPenStyleOf(uint32_t v) { return (v & 0x0F) == 8 ? PenStyle::Dot : PenStyleOf(v); }

Color ColorRef(uint32_t v) { return v & 0xFFFFFF; }

std::string Utf16ToUtf8(const std::u16string& s) {
  std::string out;
  for (char16_t c : s) {
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string Utf16At(const Reader& r, uint64_t at, uint64_t count) {
  if (count > r.Size() / 2) throw Damaged{};
  r.Need(at, count * 2);
  std::u16string s;
  for (uint64_t i = 0; i < count; ++i) s += char16_t(r.U16(at + 2 * i));
  return s;
}

// A DIB of a record from its four offsets and sizes; nullopt for a record without one or a DIB
// of a kind that is not read.
std::optional<Bitmap> RecordDib(const Reader& r, uint64_t offBmi, uint64_t cbBmi, uint64_t offBits,
                                uint64_t cbBits, uint32_t usage, bool keepAlpha = false) {
  if (cbBmi == 0) return std::nullopt;
  return DecodeDib(r.Bytes(offBmi, cbBmi), r.Bytes(offBits, cbBits), usage == 1, keepAlpha);
}

// Region data (a header and its rectangles) as canvas rectangles through a transform.
Region RegionData(const Reader& r, uint64_t at, uint64_t size, const Matrix& m) {
  if (size < 32) return {};
  r.Need(at, size);
  const uint64_t count = r.U32(at + 8);
  if (count > (size - 32) / 16) throw Damaged{};
  std::vector<Rect> rects;
  for (uint64_t i = 0; i < count; ++i) {
    const uint64_t o = at + 32 + i * 16;
    const PointF a = m.Apply(PointL(r, o)), b = m.Apply(PointL(r, o + 8));
    rects.push_back({ToPixel(std::min(a.x, b.x)), ToPixel(std::min(a.y, b.y)),
                     ToPixel(std::max(a.x, b.x)), ToPixel(std::max(a.y, b.y))});
  }
  return Region::FromRects(rects);
}

Matrix XForm(const Reader& r, uint64_t o) {
  Matrix m{r.F32(o), r.F32(o + 4), r.F32(o + 8), r.F32(o + 12), r.F32(o + 16), r.F32(o + 20)};
  if (!m.IsFinite()) throw Damaged{};
  return m;
}

class EmfPlayer {
 public:
  explicit EmfPlayer(Player& p) : p_(p) {}

  void Record(uint32_t type, const Reader& r) {
    switch (type) {
      case kPolyBezier:
      case kPolygon:
      case kPolyline:
      case kPolyBezierTo:
      case kPolylineTo:
        return Poly(type, r, false);
      case kPolyBezier16:
      case kPolygon16:
      case kPolyline16:
      case kPolyBezierTo16:
      case kPolylineTo16:
        return Poly(type - (kPolyBezier16 - kPolyBezier), r, true);
      case kPolyPolyline:
      case kPolyPolygon:
        return PolyPoly(type == kPolyPolygon, r, false);
      case kPolyPolyline16:
      case kPolyPolygon16:
        return PolyPoly(type == kPolyPolygon16, r, true);
      case kPolyDraw:
        return PolyDraw(r, false);
      case kPolyDraw16:
        return PolyDraw(r, true);
      case kSetWindowExt:
        p_.st.windowExt = PointL(r, 8);
        return;
      case kSetWindowOrg:
        p_.st.windowOrg = PointL(r, 8);
        return;
      case kSetViewportExt:
        p_.st.viewportExt = PointL(r, 8);
        return;
      case kSetViewportOrg:
        p_.st.viewportOrg = PointL(r, 8);
        return;
      case kSetBrushOrg:
        p_.st.brushOrigin = PointL(r, 8);
        return;
      case kSetPixel:
        return p_.SetPixel(PointL(r, 8), ColorRef(r.U32(16)));
      case kSetMapMode:
        p_.st.mapMode = int32_t(r.U32(8));
        return;
      case kSetBkMode:
        p_.st.bkOpaque = r.U32(8) == 2;
        return;
      case kSetPolyFillMode:
        p_.st.winding = r.U32(8) == 2;
        return;
      case kSetRop2:
        p_.st.rop = RopOf(r.U32(8));
        return;
      case kSetTextAlign:
        p_.st.textAlign = r.U32(8);
        return;
      case kSetTextColor:
        p_.st.textColor = ColorRef(r.U32(8));
        return;
      case kSetBkColor:
        p_.st.bkColor = ColorRef(r.U32(8));
        return;
      case kSetArcDirection:
        p_.st.clockwiseArcs = r.U32(8) == 2;
        return;
      case kMoveTo:
        return p_.MoveTo(PointL(r, 8));
      case kLineTo:
        return p_.LineTo(PointL(r, 8));
      case kScaleViewportExt:
      case kScaleWindowExt:
        return ScaleExt(type == kScaleWindowExt, r);
      case kSaveDc:
        return p_.Save();
      case kRestoreDc:
        return p_.Restore(r.I32(8));
      case kSetWorldTransform:
        p_.st.world = XForm(r, 8);
        return;
      case kModifyWorldTransform:
        return ModifyWorld(r);
      case kSelectObject:
        return Select(r.U32(8));
      case kDeleteObject: {
        const uint32_t i = r.U32(8);
        if (i < p_.objects.size()) p_.objects[i] = Object{};
        return;
      }
      case kCreatePen:
        return CreatePen(r);
      case kExtCreatePen:
        return ExtCreatePen(r);
      case kCreateBrush:
        return CreateBrush(r);
      case kCreateMonoBrush:
      case kCreateDibPatternBrush:
        return CreatePatternBrush(r);
      case kExtCreateFont:
        return CreateFont(r);
      case kEllipse:
      case kRectangle:
      case kRoundRect:
        return Box(type, r);
      case kArc:
      case kChord:
      case kPie:
      case kArcTo:
        return ArcRecord(type, r);
      case kAngleArc:
        return AngleArc(r);
      case kBeginPath:
        p_.pathOpen = true;
        p_.path.clear();
        return;
      case kEndPath:
        p_.pathOpen = false;
        p_.lastPath = std::move(p_.path);
        p_.path.clear();
        return;
      case kAbortPath:
        p_.pathOpen = false;
        p_.path.clear();
        p_.lastPath.clear();
        return;
      case kCloseFigure:
        return p_.CloseFigure();
      case kFillPath:
      case kStrokeAndFillPath:
      case kStrokePath:
        return DrawPath(type);
      case kSelectClipPath:
        p_.CombineClip(p_.PathRegion(p_.lastPath), int32_t(r.U32(8)));
        p_.lastPath.clear();
        return;
      case kExcludeClipRect:
      case kIntersectClipRect: {
        const Figure f = p_.RectFigure(r.I32(8), r.I32(12), r.I32(16), r.I32(20));
        p_.CombineClip(p_.PathRegion({f}), type == kIntersectClipRect ? 1 : 4);
        return;
      }
      case kOffsetClipRgn:
        return OffsetClip(PointL(r, 8));
      case kExtSelectClipRgn:
        return SelectClipRegion(r);
      case kFillRgn:
      case kPaintRgn:
      case kInvertRgn:
        return RegionRecord(type, r);
      case kBitBlt:
      case kStretchBlt:
      case kMaskBlt:
      case kTransparentBlt:
        return Blt(type, r);
      case kStretchDiBits:
        return StretchDiBits(r);
      case kSetDiBitsToDevice:
        return SetDiBitsToDevice(r);
      case kAlphaBlend:
        return AlphaBlend(r);
      case kExtTextOutA:
      case kExtTextOutW:
        return ExtTextOut(type == kExtTextOutW, r);
      case kSmallTextOut:
        return SmallTextOut(r);
      case kGradientFill:
        return GradientFill(r);
      default:
        return;  // palettes, colour management, comments and the like
    }
  }

 private:
  void Poly(uint32_t type, const Reader& r, bool small) {
    const std::vector<PointF> pts = Points(r, 28, r.U32(24), small);
    if (pts.empty()) return;
    switch (type) {
      case kPolygon:
        p_.Shape({p_.Polyline(pts, true)}, true, true);
        break;
      case kPolyline:
        p_.Shape({p_.Polyline(pts, false)}, false, true);
        break;
      case kPolylineTo:
        for (const PointF& pt : pts) p_.LineTo(pt);
        break;
      case kPolyBezierTo:
        p_.PolyBezierTo(pts);
        break;
      case kPolyBezier: {
        const PointF keep = p_.st.position;
        p_.st.position = pts[0];
        if (p_.pathOpen) p_.MoveTo(pts[0]);
        p_.PolyBezierTo(std::span<const PointF>(pts).subspan(1));
        p_.st.position = keep;
        break;
      }
      default:
        break;
    }
  }

  void PolyPoly(bool polygons, const Reader& r, bool small) {
    const uint64_t polys = r.U32(24), total = r.U32(28);
    if (polys > r.Size() / 4) throw Damaged{};
    r.Need(32, polys * 4);
    const std::vector<PointF> pts = Points(r, 32 + polys * 4, total, small);
    std::vector<Figure> figures;
    uint64_t at = 0;
    for (uint64_t i = 0; i < polys; ++i) {
      const uint64_t n = r.U32(32 + i * 4);
      if (n > total - at) throw Damaged{};
      figures.push_back(
          p_.Polyline(std::span<const PointF>(pts).subspan(size_t(at), size_t(n)), polygons));
      at += n;
    }
    p_.Shape(std::move(figures), polygons, true);
  }

  void PolyDraw(const Reader& r, bool small) {
    const uint64_t count = r.U32(24);
    const std::vector<PointF> pts = Points(r, 28, count, small);
    const uint64_t typesAt = 28 + count * (small ? 4 : 8);
    r.Need(typesAt, count);
    for (uint64_t i = 0; i < count; ++i) {
      const uint8_t t = r.U8(typesAt + i);
      if ((t & 6) == 6) {
        p_.MoveTo(pts[i]);
      } else if ((t & 6) == 4 && i + 2 < count) {
        p_.PolyBezierTo(std::span<const PointF>(pts).subspan(size_t(i), 3));
        i += 2;
      } else {
        p_.LineTo(pts[i]);
      }
      if (t & 1) p_.CloseFigure();
    }
  }

  void ScaleExt(bool window, const Reader& r) {
    const int32_t xNum = r.I32(8), xDen = r.I32(12), yNum = r.I32(16), yDen = r.I32(20);
    if (xDen == 0 || yDen == 0) return;
    PointF& ext = window ? p_.st.windowExt : p_.st.viewportExt;
    ext.x = ext.x * xNum / xDen;
    ext.y = ext.y * yNum / yDen;
  }

  void ModifyWorld(const Reader& r) {
    const Matrix x = XForm(r, 8);
    switch (r.U32(32)) {
      case 1:
        p_.st.world = Matrix{};
        break;
      case 2:
        p_.st.world = x.Then(p_.st.world);
        break;
      case 3:
        p_.st.world = p_.st.world.Then(x);
        break;
      case 4:
        p_.st.world = x;
        break;
      default:
        break;
    }
  }

  Object* Slot(uint32_t index) {
    if (index == 0 || index >= p_.objects.size()) throw Damaged{};
    return &p_.objects[index];
  }

  void Select(uint32_t index) {
    if (index & 0x80000000u) return p_.SelectStock(index & 0x7FFFFFFFu);
    if (index >= p_.objects.size()) return;
    SelectDrawingObject(p_.st, p_.objects[index]);
  }

  void CreatePen(const Reader& r) {
    Object* o = Slot(r.U32(8));
    const uint32_t style = r.U32(12);
    const double width = r.I32(16);
    *o = Object::Of(Object::Kind::Pen);
    o->pen = {EmfPenStyleOf(style), std::fabs(width), width <= 1, ColorRef(r.U32(24))};
  }

  void ExtCreatePen(const Reader& r) {
    Object* o = Slot(r.U32(8));
    const uint32_t style = r.U32(28), width = r.U32(32), brushStyle = r.U32(36);
    *o = Object::Of(Object::Kind::Pen);
    o->pen = {brushStyle == 1 ? PenStyle::Null : EmfPenStyleOf(style), double(width),
              (style & 0x10000u) == 0, ColorRef(r.U32(40))};
  }

  void CreateBrush(const Reader& r) {
    Object* o = Slot(r.U32(8));
    const uint32_t style = r.U32(12);
    *o = Object::Of(Object::Kind::Brush);
    o->brush.colour = ColorRef(r.U32(16));
    o->brush.kind = style == 1   ? BrushObj::Kind::Null
                    : style == 2 ? BrushObj::Kind::Hatch
                                 : BrushObj::Kind::Solid;
    o->brush.hatch = int32_t(r.U32(20));
  }

  void CreatePatternBrush(const Reader& r) {
    Object* o = Slot(r.U32(8));
    *o = Object::Of(Object::Kind::Brush);
    std::optional<Bitmap> dib = RecordDib(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28), r.U32(12));
    o->brush.kind = BrushObj::Kind::Pattern;
    o->brush.colour = 0x808080;
    if (dib && dib->Width() <= 256 && dib->Height() <= 256)
      o->brush.pattern = std::make_shared<const Bitmap>(std::move(*dib));
  }

  void CreateFont(const Reader& r) {
    Object* o = Slot(r.U32(8));
    *o = Object::Of(Object::Kind::Font);
    LogFont& lf = o->font.font;
    lf.Height = r.I32(12);
    lf.Width = r.I32(16);
    lf.Escapement = r.I32(20);
    lf.Weight = r.I32(28);
    lf.Italic = r.U8(32) != 0;
    lf.Underline = r.U8(33) != 0;
    lf.StrikeOut = r.U8(34) != 0;
    lf.CharSet = r.U8(35);
    std::u16string face = Utf16At(r, 40, 32);
    face.resize(std::min(face.find(u'\0'), face.size()));
    lf.FaceName = Utf16ToUtf8(face);
  }

  void Box(uint32_t type, const Reader& r) {
    const double l = r.I32(8), t = r.I32(12), rr = r.I32(16), b = r.I32(20);
    Figure f = type == kEllipse     ? p_.EllipseFigure(l, t, rr, b)
               : type == kRectangle ? p_.RectFigure(l, t, rr, b)
                                    : p_.RoundRectFigure(l, t, rr, b, r.I32(24), r.I32(28));
    p_.Shape({std::move(f)}, true, true);
  }

  void ArcRecord(uint32_t type, const Reader& r) {
    const double l = r.I32(8), t = r.I32(12), rr = r.I32(16), b = r.I32(20);
    const PointF start = PointL(r, 24), end = PointL(r, 32);
    const int kind = type == kChord ? 1 : type == kPie ? 2 : 0;
    Figure f = p_.ArcFigure(l, t, rr, b, start, end, kind);
    if (type == kArcTo) {
      if (const auto inv = p_.Total().Inverse()) {
        p_.LineTo(inv->Apply(f.points.front()));
        for (size_t i = 1; i < f.points.size(); ++i) p_.LineTo(inv->Apply(f.points[i]));
      }
      return;
    }
    p_.Shape({std::move(f)}, kind != 0, true);
  }

  void AngleArc(const Reader& r) {
    const PointF c = PointL(r, 8);
    const double radius = r.U32(16), start = r.F32(20), sweep = r.F32(24);
    if (!std::isfinite(start) || !std::isfinite(sweep)) throw Damaged{};
    const double a0 = start * M_PI / 180,
                 a1 = (start + std::clamp(sweep, -3600.0, 3600.0)) * M_PI / 180;
    const int32_t n =
        std::clamp(int32_t(std::fabs(a1 - a0) * radius * p_.Total().ScaleX() / 3), 4, 256);
    for (int32_t i = 0; i <= n; ++i) {
      const double a = a0 + (a1 - a0) * i / n;
      p_.LineTo({c.x + radius * std::cos(a), c.y - radius * std::sin(a)});
    }
  }

  void DrawPath(uint32_t type) {
    if (type != kStrokePath) p_.Fill(p_.lastPath, p_.st.brush);
    if (type != kFillPath) p_.Stroke(p_.lastPath);
    p_.lastPath.clear();
  }

  void OffsetClip(PointF offset) {
    if (!p_.st.clip) return;
    const Matrix m = p_.Total();
    p_.st.clip->Offset(ToPixel(m.m11 * offset.x + m.m21 * offset.y),
                       ToPixel(m.m12 * offset.x + m.m22 * offset.y));
    p_.ApplyClip();
  }

  void SelectClipRegion(const Reader& r) {
    const uint32_t size = r.U32(8), mode = r.U32(12);
    if (size == 0) {
      if (mode == 5) {
        p_.st.clip.reset();
        p_.ApplyClip();
      }
      return;
    }
    // The rectangles are in pixels of the reference device.
    p_.CombineClip(RegionData(r, 16, size, p_.playback), int32_t(mode));
  }

  void RegionRecord(uint32_t type, const Reader& r) {
    const uint32_t size = r.U32(24);
    const uint64_t at = type == kFillRgn ? 32 : 28;
    const Region region = RegionData(r, at, size, p_.Total());
    if (type == kInvertRgn) return p_.canvas.InvertRegion(region);
    BrushObj brush = p_.st.brush;
    if (type == kFillRgn) {
      const uint32_t i = r.U32(28);
      if (i & 0x80000000u) {
        const BrushObj keep = p_.st.brush;
        p_.SelectStock(i & 0x7FFFFFFFu);
        brush = p_.st.brush;
        p_.st.brush = keep;
      } else if (i < p_.objects.size() && p_.objects[i].kind == Object::Kind::Brush) {
        brush = p_.objects[i].brush;
      }
    }
    p_.FillRegion(region, brush);
  }

  void Blt(uint32_t type, const Reader& r) {
    const double x = r.I32(24), y = r.I32(28), cx = r.I32(32), cy = r.I32(36);
    const uint32_t rop = r.U32(40);
    const double sx = r.I32(44), sy = r.I32(48);
    const uint32_t usage = r.U32(80);
    std::optional<Bitmap> dib = RecordDib(r, r.U32(84), r.U32(88), r.U32(92), r.U32(96), usage);
    if (r.U32(88) == 0) {
      if (type == kBitBlt || type == kStretchBlt) p_.PatBlt(x, y, cx, cy, rop);
      return;
    }
    if (!dib) return;
    double sw = cx, sh = cy;
    if (type == kStretchBlt || type == kTransparentBlt) {
      sw = r.I32(100);
      sh = r.I32(104);
    }
    if (type == kTransparentBlt) {
      p_.DrawDib(*dib, sx, sy, sw, sh, x, y, cx, cy, 0x00CC0020, ColorRef(rop));
      return;
    }
    // A masked copy shows the source without its mask.
    p_.DrawDib(*dib, sx, sy, sw, sh, x, y, cx, cy, type == kMaskBlt ? 0x00CC0020 : rop);
  }

  // The source rectangle of a bottom-up DIB counts from its bottom row.
  static double SourceTop(const Reader& r, uint64_t offBmi, double sy, double sh,
                          const Bitmap& dib) {
    const int32_t height = r.I32(offBmi + 8);
    return height > 0 && r.U32(offBmi) >= 40 ? dib.Height() - sy - sh : sy;
  }

  void StretchDiBits(const Reader& r) {
    const double x = r.I32(24), y = r.I32(28), sx = r.I32(32), sy = r.I32(36), sw = r.I32(40),
                 sh = r.I32(44), dw = r.I32(72), dh = r.I32(76);
    const uint32_t offBmi = r.U32(48);
    std::optional<Bitmap> dib = RecordDib(r, offBmi, r.U32(52), r.U32(56), r.U32(60), r.U32(64));
    if (!dib) return;
    p_.DrawDib(*dib, sx, SourceTop(r, offBmi, sy, sh, *dib), sw, sh, x, y, dw, dh, r.U32(68));
  }

  void SetDiBitsToDevice(const Reader& r) {
    const double x = r.I32(24), y = r.I32(28), sx = r.I32(32), sy = r.I32(36), sw = r.I32(40),
                 sh = r.I32(44);
    const uint32_t offBmi = r.U32(48);
    std::optional<Bitmap> dib = RecordDib(r, offBmi, r.U32(52), r.U32(56), r.U32(60), r.U32(64));
    if (!dib) return;
    p_.DrawDib(*dib, sx, SourceTop(r, offBmi, sy, sh, *dib), sw, sh, x, y, sw, sh, 0x00CC0020);
  }

  void AlphaBlend(const Reader& r) {
    const double x = r.I32(24), y = r.I32(28), cx = r.I32(32), cy = r.I32(36);
    const uint32_t blend = r.U32(40);
    const bool sourceAlpha = (blend >> 24) & 1;
    std::optional<Bitmap> dib =
        RecordDib(r, r.U32(84), r.U32(88), r.U32(92), r.U32(96), r.U32(80), sourceAlpha);
    if (!dib) return;
    p_.AlphaBlend(*dib, r.I32(44), r.I32(48), r.I32(100), r.I32(104), x, y, cx, cy,
                  uint8_t(blend >> 16));
  }

  void ExtTextOut(bool wide, const Reader& r) {
    const PointF at = PointL(r, 36);
    const uint64_t chars = r.U32(44), offString = r.U32(48);
    const uint32_t options = r.U32(52);
    const double rect[4] = {double(r.I32(56)), double(r.I32(60)), double(r.I32(64)),
                            double(r.I32(68))};
    const uint64_t offDx = r.U32(72);
    if (options & kEtoGlyphIndex) return;  // glyph numbers of a font we may not have
    std::u16string text;
    std::string bytes;
    if (wide)
      text = Utf16At(r, offString, chars);
    else {
      const auto span = r.Bytes(offString, chars);
      bytes.assign(span.begin(), span.end());
    }
    std::vector<double> dx;
    if (offDx != 0 && chars > 0) {
      const uint64_t step = (options & kEtoPdy) ? 8 : 4;
      if (chars > r.Size() / step) throw Damaged{};
      r.Need(offDx, chars * step);
      for (uint64_t i = 0; i < chars; ++i) dx.push_back(r.I32(offDx + i * step));
    }
    const bool hasRect = rect[2] > rect[0] && rect[3] > rect[1];
    p_.Text(at, text, bytes, dx, options, hasRect ? rect : nullptr);
  }

  void SmallTextOut(const Reader& r) {
    const PointF at = PointL(r, 8);
    const uint64_t chars = r.U32(16);
    const uint32_t options = r.U32(20);
    uint64_t o = 36;
    double rect[4] = {0, 0, 0, 0};
    const bool hasRect = !(options & kEtoNoRect);
    if (hasRect) {
      for (int i = 0; i < 4; ++i) rect[i] = r.I32(36 + 4 * uint64_t(i));
      o += 16;
    }
    if (options & kEtoGlyphIndex) return;
    if (options & kEtoSmallChars) {
      const auto span = r.Bytes(o, chars);
      p_.Text(at, {}, std::string(span.begin(), span.end()), {}, options, hasRect ? rect : nullptr);
    } else {
      p_.Text(at, Utf16At(r, o, chars), {}, {}, options, hasRect ? rect : nullptr);
    }
  }

  void GradientFill(const Reader& r) {
    const uint64_t vertices = r.U32(24), meshes = r.U32(28);
    const uint32_t mode = r.U32(32);
    if (vertices > r.Size() / 16) throw Damaged{};
    r.Need(36, vertices * 16);
    const uint64_t meshAt = 36 + vertices * 16, meshSize = mode == 2 ? 12 : 8;
    if (meshes > r.Size() / meshSize) throw Damaged{};
    r.Need(meshAt, meshes * meshSize);
    auto vertex = [&](uint64_t i) {
      if (i >= vertices) throw Damaged{};
      const uint64_t o = 36 + i * 16;
      return std::pair<PointF, Color>{PointL(r, o),
                                      Rgb(uint8_t(r.U16(o + 8) >> 8), uint8_t(r.U16(o + 10) >> 8),
                                          uint8_t(r.U16(o + 12) >> 8))};
    };
    for (uint64_t m = 0; m < meshes; ++m) {
      const uint64_t o = meshAt + m * meshSize;
      if (mode == 2) {
        const auto a = vertex(r.U32(o)), b = vertex(r.U32(o + 4)), c = vertex(r.U32(o + 8));
        const PointF pts[3] = {a.first, b.first, c.first};
        const Color avg =
            Rgb(uint8_t((RedOf(a.second) + RedOf(b.second) + RedOf(c.second)) / 3),
                uint8_t((GreenOf(a.second) + GreenOf(b.second) + GreenOf(c.second)) / 3),
                uint8_t((BlueOf(a.second) + BlueOf(b.second) + BlueOf(c.second)) / 3));
        p_.Fill({p_.Polyline(pts, true)}, {BrushObj::Kind::Solid, avg, 0, nullptr});
        continue;
      }
      const auto a = vertex(r.U32(o)), b = vertex(r.U32(o + 4));
      const Rect box = p_.ToCanvasRect(a.first.x, a.first.y, b.first.x, b.first.y);
      const bool vertical = mode == 1;
      const int32_t steps = std::clamp(vertical ? box.Height() : box.Width(), 1, 4096);
      for (int32_t i = 0; i < steps; ++i) {
        auto mix = [&](uint8_t u, uint8_t v) { return uint8_t(u + (int32_t(v) - u) * i / steps); };
        const Color c =
            Rgb(mix(RedOf(a.second), RedOf(b.second)), mix(GreenOf(a.second), GreenOf(b.second)),
                mix(BlueOf(a.second), BlueOf(b.second)));
        const Rect stripe =
            vertical ? Rect{box.left, box.top + int32_t(int64_t{box.Height()} * i / steps),
                            box.right, box.top + int32_t(int64_t{box.Height()} * (i + 1) / steps)}
                     : Rect{box.left + int32_t(int64_t{box.Width()} * i / steps), box.top,
                            box.left + int32_t(int64_t{box.Width()} * (i + 1) / steps), box.bottom};
        p_.FillRegion(Region(stripe), {BrushObj::Kind::Solid, c, 0, nullptr});
      }
    }
  }

  Player& p_;
};

}  // namespace

bool PlayEmf(Player& player) {
  const std::vector<uint8_t>& bytes = player.picture.Bytes();
  const Reader file(bytes);
  player.objects.assign(std::max<size_t>(1, file.U16(56)), Object{});
  EmfPlayer emf(player);
  size_t pos = 0;
  while (pos < bytes.size()) {
    if (!file.Has(pos, 8)) return false;
    const uint32_t type = file.U32(pos), size = file.U32(pos + 4);
    if (size < 8 || size % 4 != 0 || size > bytes.size() - pos) return false;
    if (type == kEof) return true;
    if (type != kHeader &&
        !PlayRecord([&] { emf.Record(type, Reader(std::span(bytes).subspan(pos, size))); }))
      return false;
    pos += size;
  }
  return true;
}

}  // namespace plat::mf
