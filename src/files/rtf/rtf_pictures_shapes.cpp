// The RTF reader's pictures (\pict), drawing shapes (\shp) with their properties, and text boxes.
// Pictures and picture frames become shapes, inline or anchored; other drawing shapes are
// dropped, and the text of a text box flows into the body.
#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "files/open_context.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_read_state.h"

namespace qv {

namespace {

constexpr int kKindMetafile = 0, kKindPng = 1, kKindJpeg = 2, kKindWmf = 3;
constexpr int32_t kTextBoxShapeType = 202;
constexpr int32_t kTwipsPerPixel = 15;

// The shape properties that \sn names, with their ids, sorted by name without regard to case.
struct TShapePropName {
  const char* Name;
  int32_t Id;
};
constexpr TShapePropName kShapeProps[] = {
    {"alignHR", 916},          {"dxHeightHR", 917},     {"dxWidthHR", 918},
    {"dxWrapDistLeft", 900},   {"dxWrapDistRight", 902}, {"dyWrapDistBottom", 903},
    {"dyWrapDistTop", 901},    {"fBehindDocument", 954}, {"fFilled", 443},
    {"fHorizRule", 948},       {"fillColor", 385},       {"fLayoutInCell", 944},
    {"fLine", 508},            {"fLockAspectRatio", 120}, {"fNoshadeHR", 947},
    {"fStandardHR", 946},      {"pctHR", 915},           {"pib", 260},
    {"posh", 911},             {"posrelh", 912},         {"posrelv", 914},
    {"posv", 913},             {"pWrapPolygonVertices", 899}, {"shapeType", 1},
};

int CompareNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != 0; ++i) {
    const int x = std::tolower(static_cast<unsigned char>(a[i]));
    const int y = std::tolower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i == a.size()) return b[i] == 0 ? 0 : -1;
  return 1;
}

// The property id of a name; -1 when it is not one of the names kept.
int32_t ShapePropId(const std::string& name) {
  size_t lo = 0, hi = std::size(kShapeProps);
  while (lo < hi) {
    const size_t mid = (lo + hi) / 2;
    const int c = CompareNoCase(name, kShapeProps[mid].Name);
    if (c == 0) return kShapeProps[mid].Id;
    if (c < 0) hi = mid;
    else lo = mid + 1;
  }
  return -1;
}

bool ParseInteger(const std::string& text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
  int64_t v = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) v = std::min<int64_t>(v * 10 + (text[i] - '0'), INT32_MAX);
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) return false;
  value = static_cast<int32_t>(negative ? -v : v);
  return true;
}

// "(x,y)" pairs of a wrap polygon's value text.
std::vector<TShapeProps::TPoint> ParsePolygon(const std::string& text) {
  std::vector<TShapeProps::TPoint> points;
  size_t at = 0;
  while ((at = text.find('(', at)) != std::string::npos) {
    const size_t close = text.find(')', at);
    if (close == std::string::npos) break;
    const std::string pair = text.substr(at + 1, close - at - 1);
    const size_t comma = pair.find(',');
    int32_t x = 0, y = 0;
    if (comma != std::string::npos && ParseInteger(pair.substr(0, comma), x) &&
        ParseInteger(pair.substr(comma + 1), y) && points.size() < TShapeProps::MaxPolygonPoints)
      points.push_back({x, y});
    at = close + 1;
  }
  return points;
}

// The pixel size a PNG's header gives, for when no picture decoder is at hand.
bool PngHeaderSize(const std::vector<uint8_t>& data, int32_t& width, int32_t& height) {
  static const uint8_t kSignature[] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  if (data.size() < 24 || std::memcmp(data.data(), kSignature, 8) != 0 || std::memcmp(data.data() + 12, "IHDR", 4) != 0)
    return false;
  const auto be = [&](size_t at) {
    return static_cast<uint32_t>(data[at]) << 24 | static_cast<uint32_t>(data[at + 1]) << 16 |
           static_cast<uint32_t>(data[at + 2]) << 8 | data[at + 3];
  };
  const uint32_t w = be(16), h = be(20);
  if (w == 0 || h == 0 || w > 1000000 || h > 1000000) return false;
  width = static_cast<int32_t>(w);
  height = static_cast<int32_t>(h);
  return true;
}

int HexValue(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<uint8_t>(c | 0x20);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// A drawing shape is as large as its rectangle, whatever size the picture inside it gives
// (often just its pixels): an inline one takes that size as its shown size.
void ShowAtShapeRectSize(TShape& shape) {
  const std::array<int32_t, 4>& r = shape.Props.ShapeRect;
  if (std::find(r.begin(), r.end(), kShapePropUnset) != r.end()) return;
  const int64_t width = int64_t{r[2]} - r[0], height = int64_t{r[3]} - r[1];
  if (width <= 0 || height <= 0 || width > kRtfTwipsLimit || height > kRtfTwipsLimit) return;
  shape.Props.PicWidth = static_cast<int32_t>(width);
  shape.Props.PicHeight = static_cast<int32_t>(height);
  shape.Props.ScaleX = shape.Props.ScaleY = 100;
}

}  // namespace

// Hexadecimal data up to the group's "}": pairs of digits, with line ends and blanks between
// them stepped over.
void TRtfReader::ReadHexInto(std::vector<uint8_t>& out, int32_t depth) {
  out.clear();
  int high = -1;
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    if (item.Type == TRtfItem::Kind::GroupStart || item.Type == TRtfItem::Kind::DestinationStart) {
      SkipRest(lex_.Depth());
    } else if (item.Type == TRtfItem::Kind::Binary) {
      if (static_cast<int64_t>(out.size()) + item.Count > kRtfMaxPictureBytes) {
        StopDamaged();
        return;
      }
      out.insert(out.end(), item.Bytes, item.Bytes + item.Count);
    } else if (item.Type == TRtfItem::Kind::Text) {
      if (static_cast<int64_t>(out.size()) + item.Count / 2 + 1 > kRtfMaxPictureBytes) {
        StopDamaged();
        return;
      }
      out.reserve(out.size() + static_cast<size_t>(item.Count / 2 + 1));
      for (int32_t i = 0; i < item.Count; ++i) {
        const int v = HexValue(item.Bytes[i]);
        if (v < 0) continue;
        if (high < 0) {
          high = v;
        } else {
          out.push_back(static_cast<uint8_t>(high << 4 | v));
          high = -1;
        }
      }
    }
  }
}

bool TRtfReader::LoadPicture(TShape& shape, int kind, std::vector<uint8_t>& data) {
  TDocGraphic& g = *shape.Graphic;
  std::vector<uint8_t>& bytes = kind == kKindJpeg && !jpegData_.empty() ? jpegData_ : data;
  if (bytes.empty()) return false;
  TDocGraphic::TKind modelKind = TDocGraphic::TKind::Metafile;
  if (kind == kKindPng) modelKind = TDocGraphic::TKind::Png;
  else if (kind == kKindJpeg) modelKind = TDocGraphic::TKind::Jpeg;
  const bool ok = g.AttachData(bytes, modelKind);
  if (&bytes == &jpegData_) std::vector<uint8_t>().swap(jpegData_);
  if (!ok) return false;
  g.FromWmf = kind == kKindWmf;
  return true;
}

void TRtfReader::MakeHorizontalRule(TShape& shape) {
  TShapeProps& props = shape.Props;
  props.SetProp(spShapeType, 1);
  if (props.PicHeight <= 0) props.PicHeight = 30;
  props.SetProp(443, 1);   // filled
  props.SetProp(508, 0);   // no line
  props.SetProp(946, 1);   // standard rule
  props.SetProp(947, 1);   // no shade
  props.SetProp(spHorizRule, 1);
  int32_t colour = props.GetProp(spFillColor);
  if (colour == kShapePropUnset || colour < 0) colour = 0x808080;
  shape.Graphic->AttachData(RtfOnePixelPng(static_cast<uint32_t>(colour)), TDocGraphic::TKind::Png);
}

void TRtfReader::ReadPicture(int32_t depth) {
  if (LastOpenFieldIsShape() && (flags_ & rfShape) == 0) {
    SkipRest(depth);
    return;
  }
  std::unique_ptr<TShape> own;
  TShape* shape = shape_;
  if (shape == nullptr) {
    if (doc_.Shapes.size() >= kRtfMaxShapes) {
      StopDamaged();
      return;
    }
    own = std::make_unique<TShape>(&doc_);
    shape = own.get();
  }
  TShape* const savedShape = shape_;
  shape_ = shape;
  int kind = -1;
  int32_t mapMode = 8, picWidth = 0, picHeight = 0, goalWidth = 0, goalHeight = 0;
  std::vector<uint8_t> data;
  int high = -1;
  while (InGroup(depth)) {
    const TRtfItem item = Next();
    if (item.Type == TRtfItem::Kind::End) break;
    switch (item.Type) {
      case TRtfItem::Kind::ControlWord: {
        const int32_t p = item.Param;
        switch (item.Word) {
          case RtfWord("emfblip"): kind = kKindMetafile; break;
          case RtfWord("wmetafile"): kind = kKindWmf, mapMode = p; break;
          case RtfWord("pngblip"): kind = kKindPng; break;
          case RtfWord("jpegblip"): kind = kKindJpeg; break;
          case RtfWord("picw"): picWidth = std::clamp(p, 0, 1 << 20); break;
          case RtfWord("pich"): picHeight = std::clamp(p, 0, 1 << 20); break;
          case RtfWord("picwgoal"): goalWidth = std::clamp(p, -kRtfTwipsLimit * 10, kRtfTwipsLimit * 10); break;
          case RtfWord("pichgoal"): goalHeight = std::clamp(p, -kRtfTwipsLimit * 10, kRtfTwipsLimit * 10); break;
          case RtfWord("picscalex"): shape->Props.ScaleX = std::clamp(p, 1, 1000); break;
          case RtfWord("picscaley"): shape->Props.ScaleY = std::clamp(p, 1, 1000); break;
          case RtfWord("zoomtofitpage"): shape->Props.ZoomToFitPage = 1; break;
          default: break;
        }
        break;
      }
      case TRtfItem::Kind::DestinationStart:
      case TRtfItem::Kind::GroupStart: {
        const int32_t d = lex_.Depth();
        const TRtfItem word = Next();
        if (word.Type == TRtfItem::Kind::ControlWord && word.Word == RtfWord("jpegdata")) {
          ReadHexInto(jpegData_, d);
          kind = kKindJpeg;
        } else if (word.Type == TRtfItem::Kind::ControlWord && word.Word == RtfWord("picprop")) {
          const uint32_t saved = flags_ & rfPicProp;
          flags_ |= rfPicProp;
          ReadGroup(false);
          flags_ = (flags_ & ~rfPicProp) | saved;
        } else if (word.Type != TRtfItem::Kind::GroupEnd) {
          SkipRest(d);
        }
        break;
      }
      case TRtfItem::Kind::Binary:
        if (static_cast<int64_t>(data.size()) + item.Count > kRtfMaxPictureBytes) {
          StopDamaged();
          break;
        }
        data.insert(data.end(), item.Bytes, item.Bytes + item.Count);
        break;
      case TRtfItem::Kind::Text:
        if (static_cast<int64_t>(data.size()) + item.Count / 2 + 1 > kRtfMaxPictureBytes) {
          StopDamaged();
          break;
        }
        for (int32_t i = 0; i < item.Count; ++i) {
          const int v = HexValue(item.Bytes[i]);
          if (v < 0) continue;
          if (high < 0) high = v;
          else data.push_back(static_cast<uint8_t>(high << 4 | v)), high = -1;
        }
        break;
      default: break;
    }
  }
  shape_ = savedShape;
  bool loaded = false;
  if (shape->IsHorizontalRule()) {
    MakeHorizontalRule(*shape);
    loaded = true;
  } else if (kind >= 0 && (!data.empty() || (kind == kKindJpeg && !jpegData_.empty()))) {
    int32_t w = 0, h = 0;
    if (kind == kKindPng && PngHeaderSize(data, w, h) && picWidth <= 0 && picHeight <= 0) {
      picWidth = w;
      picHeight = h;
    }
    loaded = LoadPicture(*shape, kind, data);
    if (loaded && kind == kKindWmf) shape->Graphic->MapMode = mapMode;
  }
  std::vector<uint8_t>().swap(data);
  if (loaded) {
    shape->Graphic->ExtentX = picWidth;
    shape->Graphic->ExtentY = picHeight;
    if (goalWidth > 0 && goalHeight > 0) {
      shape->Props.PicWidth = goalWidth;
      shape->Props.PicHeight = goalHeight;
    } else {
      shape->Props.ScaleX = shape->Props.ScaleY = 100;
      TPictureDecoder::TSize size;
      if (shape->Graphic->ReadPixelSize(size) && size.Width > 0 && size.Height > 0) {
        shape->Props.PicWidth = size.Width * kTwipsPerPixel;
        shape->Props.PicHeight = size.Height * kTwipsPerPixel;
      } else {
        shape->Props.PicWidth = std::max(picWidth, 1) * kTwipsPerPixel;
        shape->Props.PicHeight = std::max(picHeight, 1) * kTwipsPerPixel;
      }
    }
  }
  if (!loaded || SkippingText()) {
    if (!own) shape->Graphic->PictureKind = TDocGraphic::TKind::None;
    return;  // a shape made for the picture alone goes with it
  }
  if (!own) return;
  if ((flags_ & rfListPicture) != 0) {
    listPictures_.push_back(own.get());
    doc_.Shapes.push_back(std::move(own));
    return;
  }
  PlaceInline(std::move(own));
}

void TRtfReader::PlaceInline(std::unique_ptr<TShape> shape) {
  shape->Props.WrapStyle = TShapeProps::TWrapStyle::Inline;
  TShape* placed = shape.get();
  doc_.Shapes.push_back(std::move(shape));
  AppendCharTag(ctInlineShape, TagRefOf(placed), scInlineShape);
}

bool TRtfReader::HandleShapeWord(const TRtfItem& w) {
  const int32_t p = w.Param;
  switch (w.Word) {
    case RtfWord("shpleft"): case RtfWord("shptop"): case RtfWord("shpright"): case RtfWord("shpbottom"): {
      if (shape_ == nullptr) return true;
      const size_t slot = w.Word == RtfWord("shpleft") ? 0 : w.Word == RtfWord("shptop") ? 1
                          : w.Word == RtfWord("shpright") ? 2 : 3;
      shape_->Props.ShapeRect[slot] = std::clamp(p, -kRtfTwipsLimit * 10, kRtfTwipsLimit * 10);
      return true;
    }
    case RtfWord("shpleftpg"): case RtfWord("shptoppg"): case RtfWord("shprightpg"): case RtfWord("shpbottompg"):
      return true;  // the page rectangle is worked out again by layout
    case RtfWord("shpwr"):
      if (shape_ != nullptr && p >= 1 && p <= 5) shape_->Props.WrapStyle = static_cast<TShapeProps::TWrapStyle>(p);
      return true;
    case RtfWord("shpwrk"):
      if (shape_ != nullptr) shape_->Props.WrapSide = std::clamp(p, 0, 3);
      return true;
    case RtfWord("shpz"):
      if (shape_ != nullptr) shape_->Props.ZOrder = p;
      return true;
    default: return false;
  }
}

void TRtfReader::ReadShape(int32_t depth) {
  if ((flags_ & rfNote) != 0 || (doc_.PasteTarget & ptNote) != 0 || shape_ != nullptr) {
    ReadShapeRestricted(depth);
    return;
  }
  if (doc_.Shapes.size() >= kRtfMaxShapes) {
    StopDamaged();
    return;
  }
  auto shape = std::make_unique<TShape>(&doc_);
  shape->Props.RemoveProp(spShapeType);
  shape->Graphic->PictureKind = TDocGraphic::TKind::None;
  const uint32_t saved = flags_ & rfShape;
  flags_ |= rfShape;
  shape_ = shape.get();
  ReadGroup(false);
  shape_ = nullptr;
  flags_ = (flags_ & ~rfShape) | saved;
  if (shape->Props.GetProp(spShapeType) != kPictureFrameShapeType ||
      shape->Graphic->PictureKind == TDocGraphic::TKind::None || SkippingText() || Stopped())
    return;
  if (LastOpenFieldIsShape()) {
    ShowAtShapeRectSize(*shape);
    PlaceInline(std::move(shape));
    return;
  }
  if (fieldCount_ >= kRtfMaxFields) {
    StopDamaged();
    return;
  }
  if (static_cast<int32_t>(shape->Props.WrapStyle) <= 0) shape->Props.WrapStyle = TShapeProps::TWrapStyle::Square;
  if ((flags_ & rfHeaderFooter) != 0) shape->Layer = 3;
  auto anchor = std::make_unique<TField>();
  anchor->Kind = fkShapeAnchor;
  anchor->Shape = shape.get();
  shape->AnchorField = anchor.get();
  TField* made = anchor.get();
  doc_.Shapes.push_back(std::move(shape));
  AddField(std::move(anchor));
  AppendTag(ctFieldStart, TagRefOf(made));
  AppendTag(ctFieldEnd, TagRefOf(made));
}

// A shape where drawing shapes are not taken (a note): its content is read as text, and of its
// properties only the picture, which becomes an inline picture.
void TRtfReader::ReadShapeRestricted(int32_t depth) {
  (void)depth;
  const bool saved = shapesRestricted_;
  shapesRestricted_ = true;
  TShape* const savedShape = shape_;
  shape_ = nullptr;
  ReadGroup(true);
  shape_ = savedShape;
  shapesRestricted_ = saved;
}

void TRtfReader::ReadShapeProperty(int32_t depth) {
  const int32_t id = ShapePropId(propertyName_);
  const bool applies = shape_ != nullptr || shapesRestricted_;
  const bool restricted = shapesRestricted_ && (flags_ & rfPicProp) == 0;
  if (!applies || id < 0 || (restricted && id != spPib)) {
    SkipRest(depth);
    return;
  }
  if (id == spPib) {
    ReadGroup(false);  // the picture inside becomes the shape's
    return;
  }
  std::string text;
  ReadDestinationText(nullptr, &text, depth);
  if (shape_ == nullptr) return;
  if (id == spWrapPolygonVertices) {
    const std::vector<TShapeProps::TPoint> points = ParsePolygon(text);
    if (!points.empty()) shape_->Props.SetWrapPolygon(points);
    return;
  }
  int32_t value = 0;
  if (ParseInteger(text, value)) shape_->Props.SetProp(id, value);
}

// The text of a text box flows into the body at the shape's place; the shape itself, being no
// picture frame, is dropped afterwards.
void TRtfReader::ReadShapeText(int32_t depth) {
  if (shape_ == nullptr || shape_->Props.GetProp(spShapeType) != kTextBoxShapeType) {
    SkipRest(depth);
    return;
  }
  std::unique_ptr<TTableRow> savedRow = std::move(row_);
  const TTableCell savedCell = cell_;
  const int32_t savedCells = cellCount_;
  const TRtfCellMerges savedMerges = merges_;
  NewRowDefinition();
  ResetCellRecord();
  cellCount_ = 0;
  merges_.Words = 0;
  const int8_t inTable = Cur().Format.InTable;
  const size_t first = ctx_.FillList->size() - 1;
  TShape* const savedShape = shape_;
  const uint32_t savedFlags = flags_ & rfShape;
  shape_ = nullptr;
  flags_ &= ~rfShape;
  ReadGroup(true);
  flags_ = (flags_ & ~rfShape) | savedFlags;
  shape_ = savedShape;
  auto& list = *ctx_.FillList;
  for (size_t i = first; i < list.size(); ++i) list[i]->Format.InTable = inTable;
  row_ = std::move(savedRow);
  cell_ = savedCell;
  cellCount_ = savedCells;
  merges_ = savedMerges;
}

}  // namespace qv
