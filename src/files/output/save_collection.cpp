#include "files/output/save_collection.h"

#include <algorithm>

#include "document/auto_list.h"
#include "document/border_sets.h"
#include "document/content_stream.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/styles.h"
#include "files/output/output_layer.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/text/code_pages.h"

namespace qv {
namespace {

constexpr uint32_t kUnsetColor = 0x80000000u;
constexpr uint32_t kAutoColor = 0xFF000000u;

class TCollector {
 public:
  explicit TCollector(TSaveContext& context) : c_(context), doc_(*context.Doc) {}

  void MarkFont(int32_t font) {
    if (font < 0 || font == CharUnset || font > 0xFFFF) return;
    if (static_cast<size_t>(font) >= c_.FontUsed.size())
      c_.FontUsed.resize(static_cast<size_t>(font) + 1, 0);
    c_.FontUsed[static_cast<size_t>(font)] = 1;
  }

  void AddColor(int32_t color) {
    const uint32_t value = static_cast<uint32_t>(color);
    if (std::find(c_.ColorTable.begin(), c_.ColorTable.end(), value) == c_.ColorTable.end())
      c_.ColorTable.push_back(value);
  }

  void MarkList(int32_t number) {
    if (number <= 0 || number == ParUnset32) return;
    for (size_t i = 0; i < doc_.Lists.size(); ++i)
      if (doc_.Lists[i]->Number == number) c_.ListUsed[i] = 1;
  }

  void AddParFormatColors(const TParFormat& format) {
    if (format.Borders != ParUnset16 && format.Borders > 0) {
      const TParBorders b = GetParBorders(format.Borders);
      for (const TBorderLine* line : {&b.Left, &b.Top, &b.Right, &b.Bottom, &b.Inside})
        if (line->Style != BorderStyleNone) AddColor(line->Color);
    }
    if (format.Shading != ParUnset32 && format.Shading >= 0) AddColor(format.Shading);
  }

  void AddCharFormat(const TCharFormat& format) {
    if (format.Font != CharUnset) MarkFont(format.Font);
    AddColor(format.Color);
    AddColor(format.Highlight);
    AddColor(format.UnderlineColor);
  }

  void WalkStream(const TPar& par) {
    TStreamItem item;
    for (int32_t off = 0; ReadStreamItem(par.Content.Data, par.Content.Length, off, item);
         off += item.Size) {
      if (item.ItemType != TStreamItem::siTag) continue;
      switch (item.Tag.Kind) {
        case cpFont: MarkFont(item.Tag.Value); break;
        case cpUnderlineColor:
        case cpColor:
        case cpHighlight: AddColor(item.Tag.Value); break;
        default: break;
      }
    }
  }

  void Run() {
    TFontManager* fm = FontManager();
    c_.FontUsed.assign(fm != nullptr ? fm->RegFonts.size() : 0, 0);
    c_.ColorTable.clear();
    MarkFont(DefaultCharFormat.Font);
    c_.ListUsed.assign(doc_.Lists.size(), 0);
    c_.ListOutputNumber.assign(doc_.Lists.size(), 0);
    if (doc_.Styles) {
      for (int32_t i = doc_.Styles->Count() - 1; i >= 0; --i) {
        const TStyle& style = (*doc_.Styles)[i];
        AddParFormatColors(style.ParFmt);
        AddCharFormat(style.CharFmt);
        MarkList(style.ParFmt.List);
      }
    }
    for (const auto& par : doc_.Paragraphs) {
      MarkList(par->Format.List);
      AddParFormatColors(par->Format);
      WalkStream(*par);
    }
    c_.ListCounter = 0;
    if (c_.AllLists) std::fill(c_.ListUsed.begin(), c_.ListUsed.end(), 1);
    for (size_t i = 0; i < doc_.Lists.size(); ++i) {
      if (!c_.ListUsed[i]) continue;
      const TAutoList& list = *doc_.Lists[i];
      for (int32_t level = 0; level < list.UsedLevelCount(); ++level) {
        const TCharFormat& f = list.ListLevels[static_cast<size_t>(level)].CharFormat;
        if (f.Font != CharUnset) MarkFont(f.Font);
        AddColor(f.Color);
        AddColor(f.UnderlineColor);
      }
      c_.ListOutputNumber[i] = ++c_.ListCounter;
    }
    if (c_.Options.Format == 1 && fm != nullptr) {
      MarkFont(fm->TimesFont);
      MarkFont(fm->ArialFont);
    }
    c_.CjkFonts = false;
    if (fm != nullptr) {
      for (size_t f = 0; f < c_.FontUsed.size() && f < fm->RegFonts.size(); ++f) {
        const int32_t cs = fm->RegFonts[f].Charset;
        if (c_.FontUsed[f] && (cs == SHIFTJIS_CHARSET || cs == GB2312_CHARSET ||
                               cs == CHINESEBIG5_CHARSET))
          c_.CjkFonts = true;
      }
    }
    auto& table = c_.ColorTable;
    table.erase(std::remove_if(table.begin(), table.end(),
                               [](uint32_t v) { return v == kUnsetColor || v == kAutoColor; }),
                table.end());
    table.insert(table.begin(), kAutoColor);
  }

 private:
  TSaveContext& c_;
  TDoc& doc_;
};

}  // namespace

void CollectFontsAndColors(TSaveContext& context) {
  if (context.Doc == nullptr) return;
  TCollector(context).Run();
}

bool IsFieldStoryEmpty(const TSaveContext& context, const TField& field) {
  if (context.Doc == nullptr) return false;
  const TDocRange& r = field.Range;
  const bool onePar = r.Start.Par == r.End.Par || (r.End.Par == r.Start.Par + 1 && r.End.Offset == 0);
  if (!onePar || r.Start.Par < 0 || r.Start.Par >= context.Doc->ParCount()) return false;
  const TPar& par = *context.Doc->Par(r.Start.Par);
  return par.CharCount() == 1 && par.AnchoredShapes.empty();
}

uint32_t GetFontCodePage(int32_t fontIndex) {
  const TFontManager* fm = FontManager();
  if (fm == nullptr || !fm->IsValidFont(fontIndex)) return 1252;
  const int32_t charset = fm->RegFonts[static_cast<size_t>(fontIndex)].Charset;
  return charset == SYMBOL_CHARSET ? 1252 : CharsetToCodePage(charset);
}

}  // namespace qv
