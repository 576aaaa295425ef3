#include "files/rtf/rtf_write_sections.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/pictures.h"
#include "document/section.h"
#include "document/shape.h"
#include "files/output/save_collection.h"
#include "files/output/save_progress_services.h"
#include "files/rtf/rtf_keywords.h"
#include "files/rtf/rtf_write_body.h"
#include "files/rtf/rtf_write_state.h"
#include "foundation/base/units.h"
#include "foundation/graphics/shape_props.h"

namespace qv {
namespace {

const TSection* RangeStartSection(const TRtfWriteState& w) {
  return w.Doc.SectionOfParagraph(w.Context.Options.Range.Start.Par);
}

void WriteNoteNumbering(TRtfWriteState& w, int32_t format, const int32_t (&words)[6]) {
  switch (format) {
    case 0: WriteRtfWord(w, words[0]); break;
    case 1: WriteRtfWord(w, words[1]); break;
    case 2: WriteRtfWord(w, words[2]); break;
    case 3: WriteRtfWord(w, words[3]); break;
    case 4: WriteRtfWord(w, words[4]); break;
    case 9: WriteRtfWord(w, words[5]); break;
    default: break;
  }
}

void WritePageParams(TRtfWriteState& w, const TPageParams& p, const TPageParams& base, bool first) {
  const int32_t values[6] = {p.PageWidth, p.PageHeight, p.LeftMargin,
                             p.RightMargin, p.TopMargin, p.BottomMargin};
  const int32_t bases[6] = {base.PageWidth, base.PageHeight, base.LeftMargin,
                            base.RightMargin, base.TopMargin, base.BottomMargin};
  const int32_t docWords[6] = {RtfWord("paperw"), RtfWord("paperh"), RtfWord("margl"),
                               RtfWord("margr"), RtfWord("margt"), RtfWord("margb")};
  const int32_t secWords[6] = {RtfWord("pgwsxn"), RtfWord("pghsxn"), RtfWord("marglsxn"),
                               RtfWord("margrsxn"), RtfWord("margtsxn"), RtfWord("margbsxn")};
  for (int i = 0; i < 6; ++i)
    if (values[i] != bases[i]) WriteRtfWordValue(w, first ? docWords[i] : secWords[i], values[i]);
  if (p.Orientation == 1) WriteRtfWord(w, RtfWord("lndscpsxn"));
  if (first && p.Mirror) WriteRtfWord(w, RtfWord("margmirror"));
  if (p.HeaderDistance != 720) WriteRtfWordValue(w, RtfWord("headery"), p.HeaderDistance);
  if (p.FooterDistance != 720) WriteRtfWordValue(w, RtfWord("footery"), p.FooterDistance);
  if (first && p.DiffOddEven) WriteRtfWord(w, RtfWord("facingp"));
  if (p.DiffFirstPage) WriteRtfWord(w, RtfWord("titlepg"));
  if (p.NoEndnotesHere) WriteRtfWord(w, RtfWord("endnhere"));
}

void WriteColumns(TRtfWriteState& w, const TSectionFormat& f) {
  if (f.ColumnCount <= 1) return;
  WriteRtfWordValue(w, RtfWord("cols"), f.ColumnCount);
  if (f.Spacing != 720) WriteRtfWordValue(w, RtfWord("colsx"), f.Spacing);
  if (!f.EqualWidth) {
    const int32_t count = std::min(f.ColumnCount, MaxColumns);
    for (int32_t c = 0; c < count; ++c) {
      WriteRtfWordValue(w, RtfWord("colno"), c + 1);
      WriteRtfWordValue(w, RtfWord("colw"), f.Columns[c].Width);
      if (c + 1 < count) WriteRtfWordValue(w, RtfWord("colsr"), f.Columns[c].Gap);
    }
  }
  if (f.SeparatorLine) WriteRtfWord(w, RtfWord("linebetcol"));
}

void WriteHeadersFooters(TRtfWriteState& w, const TSection& s, bool first, int even, int odd,
                         int firstPage, int32_t plain, int32_t right, int32_t left,
                         int32_t firstWord) {
  TField* evenField = s.HeaderFooter[static_cast<size_t>(even)];
  TField* oddField = s.HeaderFooter[static_cast<size_t>(odd)];
  const bool evenEmpty = evenField == nullptr || IsFieldStoryEmpty(w.Context, *evenField);
  if (evenField == nullptr || (evenEmpty && first)) {
    WriteRtfHeaderFooter(w, s, oddField, plain);
  } else {
    WriteRtfHeaderFooter(w, s, oddField, right);
    WriteRtfHeaderFooter(w, s, evenField, left);
  }
  WriteRtfHeaderFooter(w, s, s.HeaderFooter[static_cast<size_t>(firstPage)], firstWord);
}

std::vector<uint8_t> ReadPictureFile(const TDocGraphic& graphic) {
  std::ifstream in(graphic.FileName, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

bool RtfRangeCoversSectionEnd(const TRtfWriteState& w, const TSection& section) {
  const TDocPosition& end = w.Context.Options.Range.End;
  if (end.Par != section.LastPar) return end.Par > section.LastPar;
  return end.Offset >= w.Doc.Par(section.LastPar)->CharCount();
}

void WriteRtfSection(TRtfWriteState& w, const TSection& s) {
  const TSection* startSection = RangeStartSection(w);
  const bool first = startSection == nullptr || startSection == &s;
  TPageParams defaults;
  InitPageParams(defaults);
  const TPageParams& base = first || startSection == nullptr ? defaults : startSection->PageParams;
  WritePageParams(w, s.PageParams, base, first);
  switch (s.PageNumberFormat) {
    case 0: WriteRtfWord(w, RtfWord("pgndec")); break;
    case 2: WriteRtfWord(w, RtfWord("pgnucltr")); break;
    case 3: WriteRtfWord(w, RtfWord("pgnlcrm")); break;
    case 4: WriteRtfWord(w, RtfWord("pgnucrm")); break;
    default: WriteRtfWord(w, RtfWord("pgnlcltr")); break;
  }
  if (s.PageNumberStart == -1) {
    WriteRtfWord(w, RtfWord("pgncont"));
  } else {
    WriteRtfWord(w, RtfWord("pgnrestart"));
    WriteRtfWordValue(w, RtfWord("pgnstarts"), s.PageNumberStart);
  }
  WriteColumns(w, s.Format);
  WriteHeadersFooters(w, s, first, hfEvenHeader, hfOddHeader, hfFirstHeader, RtfWord("header"),
                      RtfWord("headerr"), RtfWord("headerl"), RtfWord("headerf"));
  WriteHeadersFooters(w, s, first, hfEvenFooter, hfOddFooter, hfFirstFooter, RtfWord("footer"),
                      RtfWord("footerr"), RtfWord("footerl"), RtfWord("footerf"));
  const TNoteSettings& fn = s.Footnotes;
  if (fn.Position == 1) WriteRtfWord(w, RtfWord("sftnbj"));
  else if (fn.Position == 2) WriteRtfWord(w, RtfWord("sftntj"));
  WriteRtfWordValue(w, RtfWord("sftnstart"), fn.StartAt);
  WriteRtfWord(w, fn.Restart == 0   ? RtfWord("sftnrstcont")
                  : fn.Restart == 1 ? RtfWord("sftnrestart")
                                    : RtfWord("sftnrstpg"));
  WriteNoteNumbering(w, fn.NumberFormat,
                     {RtfWord("sftnnar"), RtfWord("sftnnruc"), RtfWord("sftnnrlc"),
                      RtfWord("sftnnauc"), RtfWord("sftnnalc"), RtfWord("sftnnchi")});
  const TNoteSettings& en = s.Endnotes;
  WriteRtfWordValue(w, RtfWord("saftnstart"), en.StartAt);
  if (en.Restart == 0) WriteRtfWord(w, RtfWord("saftnrstcont"));
  else if (en.Restart == 1) WriteRtfWord(w, RtfWord("saftnrestart"));
  WriteNoteNumbering(w, en.NumberFormat,
                     {RtfWord("saftnnar"), RtfWord("saftnnruc"), RtfWord("saftnnrlc"),
                      RtfWord("saftnnauc"), RtfWord("saftnnalc"), RtfWord("saftnnchi")});
  const TPageParams& p = s.PageParams;
  if (p.LineNumInterval > 0) {
    WriteRtfWordValue(w, RtfWord("linemod"), p.LineNumInterval);
    if (p.LineNumDistance != 0) WriteRtfWordValue(w, RtfWord("linex"), p.LineNumDistance);
    if (p.LineNumStart > 1) WriteRtfWordValue(w, RtfWord("linestarts"), p.LineNumStart);
    if (p.LineNumRestart == 1) WriteRtfWord(w, RtfWord("linerestart"));
    else if (p.LineNumRestart == 2) WriteRtfWord(w, RtfWord("linecont"));
  }
  if (RtfRangeCoversSectionEnd(w, s)) WriteRtfWord(w, RtfWord("sectfullsaved"));
}

void WriteRtfSectionBreakKind(TRtfWriteState& w, const TSection& section) {
  switch (section.Format.BreakKind) {
    case sbContinuous: WriteRtfWord(w, RtfWord("sbknone")); break;
    case sbEvenPage: WriteRtfWord(w, RtfWord("sbkeven")); break;
    case sbOddPage: WriteRtfWord(w, RtfWord("sbkodd")); break;
    default: break;
  }
}

void WriteRtfHeaderFooter(TRtfWriteState& w, const TSection& section, TField* field,
                          int32_t word) {
  if (field == nullptr) return;
  TSaveProgressServices& commands = SaveProgressServices();
  if (w.Doc.HeaderFooterInPlace != nullptr &&
      (commands.CopyingForClipboard() || commands.SavingSelection()))
    return;
  if (!RtfRangeCoversSectionEnd(w, section)) return;
  if (RangeStartSection(w) == &section && IsFieldStoryEmpty(w.Context, *field)) return;
  TDocRange range;
  if (!w.Doc.GetHeaderFooterRange(field, range) && !w.Doc.GetFieldRange(field, range)) return;
  const TCharFormat savedChar = w.CharState;
  const TParFormat savedPar = w.ParState;
  const int32_t savedCurrent = w.CurrentPar;
  TPar* savedObject = w.CurrentParObject;
  OpenRtfGroup(w);
  WriteRtfWord(w, word);
  ResetRtfParagraph(w);
  const int32_t last = std::min(range.End.Par, w.Doc.ParCount() - 1);
  for (int32_t p = range.Start.Par; p <= last; ++p) WriteRtfParagraph(w, p, -1, -1);
  CloseRtfGroup(w);
  w.CharState = savedChar;
  w.ParState = savedPar;
  w.CurrentPar = savedCurrent;
  w.CurrentParObject = savedObject;
}

void WriteRtfShape(TRtfWriteState& w, TShape& shape, int32_t anchorPar) {
  TShapeProps& props = shape.Props;
  w.Text("{");
  WriteRtfWord(w, RtfWord("shp"));
  w.Text("{\\*");
  WriteRtfWord(w, RtfWord("shpinst"));
  const auto& rect = props.ShapeRect;
  const auto value = [](int32_t v) { return v == kShapePropUnset ? 0 : v; };
  WriteRtfWordValue(w, RtfWord("shpleft"), value(rect[0]));
  WriteRtfWordValue(w, RtfWord("shptop"), value(rect[1]));
  WriteRtfWordValue(w, RtfWord("shpright"), value(rect[2]));
  WriteRtfWordValue(w, RtfWord("shpbottom"), value(rect[3]));
  const auto& page = shape.PlacedRect;
  if (page[0] != 0 || page[1] != 0 || page[2] != 0 || page[3] != 0) {
    const int32_t posh = props.GetProp(spPosH);
    const int32_t posv = props.GetProp(spPosV);
    if (posh < 1 || posh > 3) {
      WriteRtfWordValue(w, RtfWord("shpleftpg"), page[0]);
      WriteRtfWordValue(w, RtfWord("shprightpg"), page[2]);
    }
    if (posv < 1 || posv > 3) {
      WriteRtfWordValue(w, RtfWord("shptoppg"), page[1]);
      WriteRtfWordValue(w, RtfWord("shpbottompg"), page[3]);
    }
  }
  WriteRtfWordValue(w, RtfWord("shpfhdr"),
                    w.Doc.StoryOfParagraph(anchorPar) == stHeadersFooters ? 1 : 0);
  WriteRtfWordValue(w, RtfWord("shpwr"), static_cast<int32_t>(props.WrapStyle));
  WriteRtfWordValue(w, RtfWord("shpwrk"), props.WrapSide);
  WriteRtfWordValue(w, RtfWord("shpz"), props.ZOrder);
  w.Text("\\shpbxignore\\shpbyignore");
  w.DelimiterPending = true;
  // The picture and the wrap polygon are written in the property list for the output only.
  std::vector<std::pair<int32_t, int32_t>> pairs = props.Pairs();
  const auto addPair = [&](int32_t id) {
    const auto at = std::lower_bound(pairs.begin(), pairs.end(), std::make_pair(id, INT32_MIN));
    if (at == pairs.end() || at->first != id) pairs.insert(at, {id, 0});
  };
  addPair(spPib);
  if (props.HasWrapPolygon()) addPair(spWrapPolygonVertices);
  for (const auto& [id, v] : pairs) {
    const std::string name = ShapePropNameById(id);
    if (name.empty()) continue;
    w.Text("{");
    WriteRtfWord(w, RtfWord("sp"));
    w.Text("{");
    WriteRtfWord(w, RtfWord("sn"));
    w.Byte(' ');
    w.Text(name);
    w.Text("}");
    if (id == spPib) {
      w.Text("{\\sv ");
      WriteRtfPicture(w, shape);
      w.Text("}");
    } else {
      w.Text("{");
      WriteRtfWord(w, RtfWord("sv"));
      w.Byte(' ');
      if (id == spWrapPolygonVertices) {
        const auto& points = props.WrapPolygon;
        std::string text = "8;" + std::to_string(points.size() + 1);
        for (size_t i = 0; i <= points.size(); ++i) {
          const auto& pt = points[i % points.size()];
          text += ";(" + std::to_string(pt.X) + "," + std::to_string(pt.Y) + ")";
        }
        w.Text(text);
      } else {
        w.Text(std::to_string(v));
      }
      w.Text("}");
    }
    w.Text("}");
  }
  w.Text("}}");
  w.DelimiterPending = false;
}

void WriteRtfPicture(TRtfWriteState& w, TShape& shape) {
  const TShapeProps& props = shape.Props;
  w.Text("{");
  WriteRtfWord(w, RtfWord("pict"));
  if (props.WrapStyle == TShapeProps::TWrapStyle::Inline) {
    const std::string text = props.FormatRtfText();
    if (!text.empty()) {
      w.Text("{\\*");
      WriteRtfWord(w, RtfWord("picprop"));
      w.Text(text);
      w.Text("}");
      w.DelimiterPending = false;
    }
  }
  TDocGraphic* graphic = shape.Graphic.get();
  const TDocGraphic::TKind kind =
      graphic != nullptr ? graphic->PictureKind : TDocGraphic::TKind::Png;
  // Metafiles are kept as the bytes they came with; PNG and JPEG pictures as their own data,
  // which every reader of this format takes.
  if (kind == TDocGraphic::TKind::Metafile) WriteRtfWordValue(w, RtfWord("wmetafile"), 8);
  else if (kind == TDocGraphic::TKind::Jpeg) WriteRtfWord(w, RtfWord("jpegblip"));
  else WriteRtfWord(w, RtfWord("pngblip"));
  int32_t height = props.PicHeight;
  if (shape.IsHorizontalRule()) {
    height = props.GetProp(spDxHeightHR);
    if (height < 2 || height > 31680) height = 30;
  }
  const int32_t width = props.PicWidth;
  WriteRtfWordValue(w, RtfWord("picw"), MulDiv(width, 2540, 1440));
  WriteRtfWordValue(w, RtfWord("pich"), MulDiv(height, 2540, 1440));
  WriteRtfWordValue(w, RtfWord("picwgoal"), width);
  WriteRtfWordValue(w, RtfWord("pichgoal"), height);
  if (props.ZoomToFitPage && props.FitScale != 0) {
    WriteRtfWordValue(w, RtfWord("picscalex"), props.FitScale);
    WriteRtfWordValue(w, RtfWord("picscaley"), props.FitScale);
  } else {
    if (props.ScaleX != 100) WriteRtfWordValue(w, RtfWord("picscalex"), props.ScaleX);
    if (props.ScaleY != 100) WriteRtfWordValue(w, RtfWord("picscaley"), props.ScaleY);
  }
  if (props.ZoomToFitPage) WriteRtfWord(w, RtfWord("zoomtofitpage"));
  w.Byte(' ');
  if (graphic != nullptr) {
    const std::vector<uint8_t> data = ReadPictureFile(*graphic);
    WriteRtfHexData(w, data.data(), data.size());
    if (IsPictureMemoryOverLimit()) graphic->SetUnloaded(true);
  }
  CloseRtfGroup(w);
}

}  // namespace qv
