#include "document/shape_placement.h"

#include <cstdlib>

#include "document/shape.h"
#include "document/shape_props_table.h"

namespace qv {

namespace {

bool RelativeToText(int32_t rel) { return rel == 2 || rel == 3; }

int32_t PropOr(const TShapeProps& p, int32_t id, int32_t fallback) {
  const int32_t v = p.GetProp(id);
  return v == kShapePropUnset ? fallback : v;
}

// The room of B for column-relative alignment.
int32_t ColumnRoom(const TShapePlacementFrame& f) {
  if (f.DraftView) return f.SectionTextWidth;
  int32_t room = f.BoxWidth - f.InsetLeft - f.InsetRight;
  if (f.ParAlignment == 2) room -= f.ParRightIndent;
  return room;
}

int32_t Horizontal(int32_t posh, int32_t rel, int32_t left, int32_t w, const TShapePlacementFrame& f) {
  const int32_t pw = f.PageWidth, ml = f.MarginLeft, mr = f.MarginRight;
  if (rel == 3) rel = 2;
  const int32_t c = ColumnRoom(f);
  switch (posh) {
    case 0:
      return rel == 0 ? left + ml : rel == 5 ? left + pw - mr : left;
    case 1:
      switch (rel) {
        case 0: return ml;
        case 1: return ml - w;
        case 2: return f.DraftView ? 0 : f.ParLeftIndent;
        case 4: return 0;
        case 5: return pw - mr;
        default: return left;
      }
    case 2:
      switch (rel) {
        case 0: return ml + (pw - ml - mr - w) / 2;
        case 1: return (pw - w) / 2;
        case 2: return (c - w) / 2;
        case 4: return (ml - w) / 2;
        case 5: return pw - (mr - w) / 2 - w;
        default: return left;
      }
    case 3:
      switch (rel) {
        case 0: return pw - mr - w;
        case 1: return pw - mr;
        case 2: return c - w;
        case 4: return ml - w;
        case 5: return pw - w;
        default: return left;
      }
    default:
      return left;  // inside and outside keep the stored offset
  }
}

int32_t Vertical(int32_t posv, int32_t rel, int32_t top, int32_t h, const TShapePlacementFrame& f) {
  const int32_t ph = f.PageHeight, tm = f.TextTop, bm = f.TextBottom, st = f.SectionTop, sb = f.SectionBottom;
  if (rel == 3) rel = 2;
  switch (posv) {
    case 0:
      return rel == 0 ? top + tm : rel == 5 ? top + ph - sb : top;
    case 1:
      switch (rel) {
        case 0: return tm;
        case 1: case 4: return 0;
        case 2: return top;
        case 5: return ph - sb;
        default: return top;
      }
    case 2:
      switch (rel) {
        case 0: return tm + (ph - tm - bm - h) / 2;
        case 1: return (ph - h) / 2;
        case 2: return f.OwnTop - h / 2;
        case 4: return (st - h) / 2;
        case 5: return ph - (sb - h) / 2 - h;
        default: return top;
      }
    case 3:
      switch (rel) {
        case 0: return ph - bm - h;
        case 1: case 5: return ph - h;
        case 2: return -h;
        case 4: return st - h;
        default: return top;
      }
    default:
      return top;
  }
}

// In the Draft views a shape without a side of its own takes the side nearest to where it is.
int32_t NearestSide(const TShape& shape, const std::array<int32_t, 4>& r, int32_t room) {
  const int64_t toLeft = std::llabs(int64_t{r[0]});
  const int64_t toRight = std::llabs(int64_t{room} - r[2]);
  const bool topBottom = shape.Props.WrapStyle == TShapeProps::TWrapStyle::TopBottom;
  const int64_t toCentre = topBottom ? std::llabs((int64_t{r[0]} + r[2]) / 2 - room / 2) : INT64_MAX;
  if (toRight < toLeft && toRight < toCentre) return 3;
  if (toCentre < toLeft) return 2;
  return 1;
}

}  // namespace

void MapShapeReferences(const TShapePlacementFrame& frame, int32_t& posrelh, int32_t posv,
                        int32_t& posrelv) {
  const bool even = frame.PageNumber % 2 == 0;
  if (posrelh == 6) posrelh = even ? 5 : 4;
  else if (posrelh == 7) posrelh = even ? 4 : 5;
  if (posrelv == 6) posrelv = even ? 4 : 5;
  else if (posrelv == 7) posrelv = even ? 5 : 4;
  if (frame.HeaderFooterBox && posrelv == 0) {
    if (posv > 1) posrelv = 1;
    else if (!frame.EnclosingMarginFlag) posrelv = 4;
  }
}

void PositionFloatingShape(TShape& shape, const std::array<int32_t, 4>& stored,
                           const TShapePlacementFrame& frame, std::array<int32_t, 4>& out,
                           int32_t lineOffset) {
  const TShapeProps& p = shape.Props;
  out = stored;
  const int32_t w = stored[2] - stored[0], h = stored[3] - stored[1];
  int32_t posh = PropOr(p, spPosH, 0), posv = PropOr(p, spPosV, 0);
  int32_t relh = PropOr(p, spPosRelH, 2), relv = PropOr(p, spPosRelV, 2);
  if (frame.InTable || frame.DraftView) relh = relv = 2;
  if (frame.DraftView) {
    if (posh == 0 || posh > 3) {
      posh = NearestSide(shape, stored, ColumnRoom(frame));
      shape.DraftHorzAlign = posh;
    }
    out[1] = 0;
    out[3] = h;
  } else if (!frame.InTable) {
    MapShapeReferences(frame, relh, posv, relv);
  }
  out[0] = Horizontal(posh, relh, out[0], w, frame);
  out[2] = out[0] + w;
  out[1] = Vertical(posv, relv, out[1], h, frame);
  out[3] = out[1] + h;
  if (!frame.InTable) {
    if (RelativeToText(relh)) out[0] += frame.OffsetLeft, out[2] += frame.OffsetLeft;
    if (RelativeToText(relv)) out[1] += frame.OffsetTop, out[3] += frame.OffsetTop;
  }
  if (RelativeToText(relh)) out[0] += frame.InsetLeft, out[2] += frame.InsetLeft;
  if (RelativeToText(relv)) {
    out[1] += lineOffset + frame.InsetTop;
    out[3] += lineOffset + frame.InsetTop;
  }
}

int32_t ComputeAnchoredRect(const std::array<int32_t, 4>& placed,
                            const TShapePlacementFrame& frame, std::array<int32_t, 4>& out,
                            int32_t lineOffset, TShapeProps& props) {
  out = placed;
  int32_t relh = PropOr(props, spPosRelH, 2), relv = PropOr(props, spPosRelV, 2);
  if (relh == 3) props.SetProp(spPosRelH, relh = 2);
  if (relv == 3) props.SetProp(spPosRelV, relv = 2);
  if (frame.InTable) {
    props.SetProp(spPosRelH, relh = 2);
    props.SetProp(spPosRelV, relv = 2);
  }
  MapShapeReferences(frame, relh, PropOr(props, spPosV, 0), relv);
  auto shiftX = [&out](int32_t dx) { out[0] -= dx, out[2] -= dx; };
  auto shiftY = [&out](int32_t dy) { out[1] -= dy, out[3] -= dy; };
  if (relh == 0) shiftX(frame.MarginLeft);
  if (relh == 5) shiftX(frame.PageWidth - frame.MarginRight);
  if (relv == 0) shiftY(frame.TextTop);
  if (relv == 5) shiftY(frame.PageHeight - frame.SectionBottom);
  int32_t removed = 0;
  if (!frame.InTable) {
    if (RelativeToText(relh)) shiftX(frame.OffsetLeft);
    if (RelativeToText(relv)) shiftY(frame.OffsetTop);
  }
  if (RelativeToText(relh)) shiftX(frame.InsetLeft);
  if (RelativeToText(relv)) {
    removed = lineOffset;
    shiftY(lineOffset + frame.InsetTop);
  }
  return removed;
}

}  // namespace qv
