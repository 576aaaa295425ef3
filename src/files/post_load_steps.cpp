#include "files/post_load_steps.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "document/auto_list.h"
#include "document/border_sets.h"
#include "document/content_stream.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/pictures.h"
#include "document/shape.h"
#include "document/styles.h"
#include "document/table_row.h"
#include "files/doc_formats.h"
#include "files/document_road_services.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/temp_files.h"
#include "foundation/text/code_pages.h"

namespace qv {
namespace {

constexpr uint16_t kDownloadImagesOption = 0x200;  // Load/Save flags bit 9

// The words of a field instruction: runs without spaces, or text in double quotes.
std::vector<std::u16string> InstructionWords(const std::u16string& text) {
  std::vector<std::u16string> words;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == u' ') {
      ++i;
      continue;
    }
    if (text[i] == u'"') {
      const size_t end = text.find(u'"', i + 1);
      words.push_back(text.substr(i + 1, (end == std::u16string::npos ? text.size() : end) - i - 1));
      i = end == std::u16string::npos ? text.size() : end + 1;
      continue;
    }
    const size_t end = std::min(text.find(u' ', i), text.size());
    words.push_back(text.substr(i, end - i));
    i = end;
  }
  return words;
}

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
    const TStyle* style = styles.Get(par.Format.Style);
    if (style == nullptr) continue;
    if (StyleHasListFormat(*style)) {
      par.Format.List = style->ParFmt.List;
      par.Format.ListLevel = style->ParFmt.ListLevel;
    }
    if (style->IsHeading()) par.Format.OutlineLevel = style->ParFmt.OutlineLevel;
  }
}

void ResolveLists(TDoc& doc, const TPostLoadInfo& info) {
  if (info.ListsFromTable || doc.Lists.empty()) return;
  // Paragraphs numbered one after another in the old way share one list when the lists have
  // the same format.
  std::set<int32_t> merged;
  for (int32_t story = stMain; story < StoryCount; ++story) {
    TAutoList* running = nullptr;
    const int32_t last = doc.LastParagraphOfStory(story);
    for (int32_t p = doc.FirstParagraphOfStory(story); p <= last; ++p) {
      TPar& par = *doc.Par(p);
      TAutoList* list = doc.ListByNumber(par.Format.List);
      if (list == nullptr) {
        running = nullptr;
        continue;
      }
      if (running == nullptr || running == list) {
        running = list;
        continue;
      }
      if (!list->SameFormat(*running, lcIgnoreStartNumbers)) {
        running = list;
        continue;
      }
      merged.insert(list->Number);
      par.Format.List = running->Number;
    }
  }
  if (merged.empty()) return;
  std::set<int32_t> used;
  for (int32_t p = 0; p < doc.ParCount(); ++p) used.insert(doc.Par(p)->Format.List);
  if (doc.Styles != nullptr)
    for (int32_t i = 0; i < doc.Styles->Count(); ++i) used.insert((*doc.Styles)[i].ParFmt.List);
  std::erase_if(doc.Lists, [&](const std::unique_ptr<TAutoList>& l) {
    return merged.count(l->Number) != 0 && used.count(l->Number) == 0;
  });
}

void FixListLevels(TDoc& doc) {
  const TFontManager* fonts = FontManager();
  for (auto& list : doc.Lists) {
    for (TListLevel& level : list->ListLevels) {
      if (level.ParFormat.FirstIndent == ParUnset16) level.ParFormat.FirstIndent = 0;
      if (level.ParFormat.LeftIndent == ParUnset16) level.ParFormat.LeftIndent = 0;
      if (level.ParFormat.RightIndent == ParUnset16) level.ParFormat.RightIndent = 0;
      const bool bullet = level.NumberFormat >= 23 && level.NumberFormat != 255;
      if (!bullet || level.LevelText.empty() || level.LevelText[0] >= 256) continue;
      const int32_t font = level.CharFormat.Font;
      if (fonts == nullptr || font < 0 || font == CharUnset ||
          static_cast<size_t>(font) >= fonts->RegFonts.size())
        continue;
      if (fonts->RegFonts[static_cast<size_t>(font)].Charset == 2)
        level.LevelText[0] = static_cast<char16_t>(level.LevelText[0] + 0xF000);
    }
  }
}

bool IsPictureBlank(const TDecodedPicture& picture) {
  const int32_t h = picture.Height;
  for (int32_t y = 0; y < h; ++y) {
    if (y >= h / 3 && y < 2 * h / 3) continue;
    for (int32_t x = 0; x < picture.Width; ++x)
      if ((picture.ColorAt(x, y) & 0xFFFFFF) != 0xFFFFFF) return false;
  }
  return true;
}

void RetrieveLinkedPictures(TDoc& doc) {
  TDocumentRoadServices& road = DocumentRoadServices();
  const bool download = (GetOptions().LoadSave.Flags & kDownloadImagesOption) != 0;
  std::map<std::string, std::string> fetched;
  std::vector<std::string> temporary;
  std::vector<TField*> fields;
  for (auto& f : doc.Fields)
    if (f->Kind == fkField && (f->FieldType == 67 || f->FieldType == ftHyperlink))
      fields.push_back(f.get());
  for (TField* field : fields) {
    TDocRange range;
    if (!doc.GetFieldRange(field, range)) continue;
    if (field->FieldType == ftHyperlink) continue;  // resolved against a base address below
    TShape* existing = doc.GetShapeAt(range.Start);
    bool blank = existing == nullptr;
    if (existing != nullptr && existing->Graphic != nullptr) {
      existing->Graphic->SetUnloaded(false);
      const TDecodedPicture* decoded = existing->Graphic->Decoded();
      blank = decoded != nullptr && IsPictureBlank(*decoded);
    }
    if (!blank) {
      doc.RemoveField(field);
      continue;
    }
    std::string link;
    for (const std::u16string& word : InstructionWords(field->Instruction)) {
      if (word.empty() || word[0] == u'\\' || word == u"INCLUDEPICTURE") continue;
      link = WideToUtf8(word);
      break;
    }
    if (link.empty()) continue;
    std::string path;
    const std::string scheme = link.substr(0, link.find(':'));
    if (link.rfind("file://", 0) == 0) path = link.substr(7);
    else if (link.find("://") == std::string::npos) path = link;
    TShape* shape = nullptr;
    std::error_code ec;
    if (!path.empty() && std::filesystem::exists(path, ec)) {
      shape = road.LoadPictureShape(doc, path);
    } else if (download && link.rfind("http", 0) == 0) {
      auto found = fetched.find(link);
      if (found == fetched.end()) {
        const std::string file = MakeTempFileNameExt(tfkTmp);
        temporary.push_back(file);
        if (!road.DownloadFile(link, file)) continue;
        found = fetched.emplace(link, file).first;
      }
      shape = road.LoadPictureShape(doc, found->second);
    }
    if (shape == nullptr) continue;
    doc.RemoveField(field);
  }
  std::error_code removeError;
  for (const std::string& file : temporary) std::filesystem::remove(file, removeError);
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
