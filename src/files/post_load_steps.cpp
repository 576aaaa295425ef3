#include "files/post_load_steps.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/shape.h"
#include "document/styles.h"
#include "files/doc_formats.h"

namespace qv {
namespace {

// --- Note marks ---

bool InsideField(const TPar& par, int32_t offset, uint8_t kind) {
  // A field of the kind is open at the stream offset.
  int depth = 0;
  TStreamItem item;
  for (int32_t pos = 0; pos < offset && ReadStreamItem(par.Content.Data, par.Content.Length, pos, item);
       pos += item.Size) {
    if (item.ItemType != TStreamItem::siTag || !IsFieldMarkKind(item.Tag.Kind)) continue;
    const TField* f = FieldOfTag(item.Tag);
    if (f == nullptr || f->Kind != kind) continue;
    depth += item.Tag.Kind == ctFieldStart ? 1 : -1;
  }
  return depth > 0;
}

int32_t FindStyle(const TDoc& doc, const char* name) {
  return doc.Styles != nullptr ? doc.Styles->IndexOfName(name) : -1;
}

// A row-end paragraph has the row-end paragraph format and no formatting ahead of its mark.
void MakeRowEndFormat(TPar& par) {
  par.Format = TableParFormat;
  const int32_t mark = par.CharToStreamOffset(0);
  TMemory kept;
  TStreamItem item;
  for (int32_t off = 0; off < mark && ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
       off += item.Size)
    if (item.ItemType == TStreamItem::siTag && !IsFormatTagKind(item.Tag.Kind))
      kept.Append(par.Content.Data + off, item.Size);
  if (kept.Length == mark) return;
  kept.Append(par.Content.Data + mark, par.Content.Length - mark);
  par.Content = std::move(kept);
  par.RebuildCodes();
  par.ContentChanged();
}

}  // namespace

void ResolveStyles(TDoc& doc, const TPostLoadInfo& info) {
  if (doc.Styles == nullptr) return;
  TStyleList& styles = *doc.Styles;
  StyleManager().EnsureNormalStyle(styles);
  if (!info.OwnSettingsStyles) {
    // Styles that arrived with complete formatting keep only what differs from their base.
    std::vector<TCharFormat> chars(static_cast<size_t>(styles.Count()));
    std::vector<TParFormat> pars(static_cast<size_t>(styles.Count()));
    for (int32_t i = 0; i < styles.Count(); ++i)
      GetStyleFormat(styles[i], &chars[static_cast<size_t>(i)], &pars[static_cast<size_t>(i)],
                     sfKeepLanguage);
    for (int32_t i = 0; i < styles.Count(); ++i) {
      TStyle& style = styles[i];
      const int32_t base = style.BasedOn;
      TCharFormat baseChars = DefaultCharFormat;
      TParFormat basePars = DefaultParFormat;
      if (base >= 0 && base < styles.Count()) {
        baseChars = chars[static_cast<size_t>(base)];
        basePars = pars[static_cast<size_t>(base)];
      }
      basePars.Style = ParUnset16;
      basePars.List = ParUnset32;
      basePars.ListLevel = ParUnset8;
      const int16_t own = style.ParFmt.Style;
      SubtractCharFormat(style.CharFmt, baseChars);
      SubtractParFormat(style.ParFmt, basePars);
      style.ParFmt.Style = own;
    }
  }
  for (int32_t i = 0; i < styles.Count(); ++i) {
    TStyle& style = styles[i];
    style.CharFmt.Language = CharUnset;
    if (style.IsHeading()) style.ParFmt.OutlineLevel = static_cast<int8_t>(style.BuiltIn - 1);
    if (style.ParFmt.List == ParUnset32) style.ParFmt.List = 0;
    if (StyleHasListFormat(style) &&
        (style.ParFmt.ListLevel == ParUnset8 || style.ParFmt.ListLevel < 0 ||
         style.ParFmt.ListLevel > 8))
      style.ParFmt.ListLevel = 0;
  }
  for (int32_t p = 0; p < doc.ParCount(); ++p) {
    TPar& par = *doc.Par(p);
    if (par.CharCount() > 0 && par.CodeAt(0) == scRowEnd) {
      MakeRowEndFormat(par);
      continue;
    }
    const TStyle* style = styles.Get(par.Format.Style);
    if (style == nullptr) continue;
    if (StyleHasListFormat(*style)) {
      par.Format.List = style->ParFmt.List;
      par.Format.ListLevel = style->ParFmt.ListLevel;
    }
    if (style->IsHeading()) par.Format.OutlineLevel = style->ParFmt.OutlineLevel;
  }
}

void ResolveNoteReferenceMarks(TDoc& doc) {
  if (doc.StoryCounts[stFootnotes] == 0 && doc.StoryCounts[stEndnotes] == 0) return;
  const int32_t footStyle = FindStyle(doc, "footnote reference");
  const int32_t endStyle = FindStyle(doc, "endnote reference");
  for (int32_t story : {stFootnotes, stEndnotes}) {
    const int32_t styleNumber = story == stFootnotes ? footStyle : endStyle;
    const int32_t last = doc.LastParagraphOfStory(story);
    for (int32_t p = doc.FirstParagraphOfStory(story); p <= last; ++p) {
      TPar& par = *doc.Par(p);
      NormalizeParagraphTags(par);
      // Every automatic mark of a note's text stands in a note-mark field, which keeps its
      // number in step with its reference.
      for (int32_t c = par.CharCount() - 1; c >= 0; --c) {
        if (par.CodeAt(c) != scAutoNoteMark) continue;
        const int32_t at = par.CharToStreamOffset(c);
        if (InsideField(par, at, fkNoteMark) || InsideField(par, at, fkNoteReference)) continue;
        auto mark = std::make_unique<TField>();
        mark->Kind = fkNoteMark;
        TMemory after;
        AppendContentTag(after, ctFieldEnd, TagRefOf(mark.get()));
        if (styleNumber >= 0) AppendContentTag(after, cpCharStyle, -1);
        par.Content.Insert(after.Data, at + ContentTagSize, after.Length);
        TMemory before;
        if (styleNumber >= 0) AppendContentTag(before, cpCharStyle, styleNumber);
        AppendContentTag(before, ctFieldStart, TagRefOf(mark.get()));
        par.Content.Insert(before.Data, at, before.Length);
        doc.Fields.push_back(std::move(mark));
        par.ContentChanged();
        NormalizeParagraphTags(par);
      }
    }
  }
  doc.InvalidateFieldIndex();
}

void FixShapes(TDoc& doc, const TPostLoadInfo& info) {
  std::vector<TShape*> shapes;
  for (int32_t p = 0; p < doc.ParCount(); ++p) {
    TPar& par = *doc.Par(p);
    for (TShape* s : par.AnchoredShapes) shapes.push_back(s);
  }
  int32_t z = 0;
  bool inHeaders = false;
  for (TShape* shape : shapes) {
    TShapeProps& props = shape->Props;
    const int32_t type = props.HasProp(spShapeType) ? props.GetProp(spShapeType)
                                                    : kPictureFrameShapeType;
    props.SetProp(spShapeType, type);
    if (type == kPictureFrameShapeType) {
      auto& r = props.ShapeRect;
      if (std::find(r.begin(), r.end(), kShapePropUnset) != r.end())
        r = {0, 0, props.PicWidth, props.PicHeight};
      if (!props.HasProp(spLayoutInCell)) props.SetProp(spLayoutInCell, 1);
      using W = TShapeProps::TWrapStyle;
      if (props.WrapStyle == W::Tight || props.WrapStyle == W::Through) {
        props.SetProp(spBehindDocument, 1);
      } else if (props.WrapStyle != W::None) {
        props.RemoveProp(spBehindDocument);
        props.WrapPolygon.clear();
      }
      auto& poly = props.WrapPolygon;
      poly.erase(std::unique(poly.begin(), poly.end()), poly.end());
      if (poly.size() > 1 && poly.back() == poly.front()) poly.pop_back();
      if ((info.Format == dfRtf || info.Format == dfEncrypted) &&
          !props.HasProp(spLockAspectRatio))
        props.SetProp(spLockAspectRatio, 1);
    }
    const bool header = shape->AnchorPar != nullptr &&
                        doc.StoryOfParagraph(shape->AnchorPar->Index) == stHeadersFooters;
    if (header != inHeaders) {
      inHeaders = header;
      z = 0;
    }
    props.ZOrder = z++;
  }
}

}  // namespace qv
