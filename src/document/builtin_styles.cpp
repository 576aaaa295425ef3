// Built-in styles that features write paragraphs in (notes, index levels, headers and footers,
// tables of contents) are made sure of before the feature writes: a missing style comes, with
// its based-on and next styles, from the document's template or another source document, then
// from the program's default style list; table-of-contents levels that no source has are made
// up from the level before. Every change of the style list is the document-styles edit, so it
// is undone with the feature's own edit.
#include <algorithm>
#include <memory>

#include "document/auto_list.h"
#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field_edit_services.h"
#include "document/page_params.h"
#include "document/section.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "foundation/settings/options.h"

namespace qv {

namespace {

constexpr int32_t kTocLevelIndent = 240;

// The default template of the document's format, loaded for the caller when it is not open.
struct TTemplateDoc {
  TDoc* Doc = nullptr;
  std::unique_ptr<TDoc> Loaded;  // freed after the import
};

TTemplateDoc DefaultTemplateOf(const TDoc& doc) {
  TTemplateDoc t;
  const std::string name = DocServices().DefaultTemplateName(doc.FormatIndex);
  if (name.empty()) return t;
  t.Doc = DocServices().LoadTemplate(name, t.Loaded);
  if (t.Doc == &doc) t.Doc = nullptr;
  return t;
}

std::unique_ptr<TStyleList> WorkingCopy(TDoc& doc) {
  auto w = std::make_unique<TStyleList>(&doc);
  w->Assign(*doc.Styles);
  return w;
}

bool Has(const TStyleList& list, int32_t builtIn) { return list.IndexOfBuiltIn(builtIn) >= 0; }

// One built-in style (with its based-on and next styles where the document lacks their names).
void ImportBuiltInStyle(TDoc& doc, const TStyleList& source, int32_t builtIn) {
  const int32_t index = source.IndexOfBuiltIn(builtIn);
  if (index < 0) return;
  auto w = WorkingCopy(doc);
  TImportStylesInfo info(&source);
  info.Requested = {index};
  info.OnlyRequested = 1;
  w->ImportStyles(info, false);
  FieldEditServices().FormatDocumentStyles(doc, std::move(w));
}

// Header and Footer from one source; the default list's ones get a centre stop at half the text
// width and a right stop at the text width of the first section's page.
void ImportHeaderFooterStyles(TDoc& doc, const TStyleList& source, bool defaultList) {
  TImportStylesInfo info(&source);
  for (int32_t b : {bsHeader, bsFooter})
    if (!Has(*doc.Styles, b) && Has(source, b)) info.Requested.push_back(source.IndexOfBuiltIn(b));
  if (info.Requested.empty()) return;
  info.OnlyRequested = 1;
  auto w = WorkingCopy(doc);
  w->ImportStyles(info, false);
  if (defaultList && !doc.Sections.empty()) {
    const TSection* section = doc.SectionOfParagraph(0);
    const int32_t width = section != nullptr ? section->PageParams.TextWidth : 0;
    TTabTable set = {PackTabStop(width / 2, tkCenter, tlNone), PackTabStop(width, tkRight, tlNone)};
    SortTabStops(set);
    const int32_t tabSet = GetTabManager().AddTable(set);
    for (int32_t added : info.Added) {
      TStyle& s = (*w)[added];
      if (s.BuiltIn == bsHeader || s.BuiltIn == bsFooter)
        SetParFormatProp(s.ParFmt, ppTabSet, tabSet);
    }
  }
  FieldEditServices().FormatDocumentStyles(doc, std::move(w));
}

int32_t TocLevels(const TGenerateTOC_Options& options) { return std::clamp(options.Levels, 1, 9); }

// The TOC styles of one source: every style of the first source (replacing the document's
// unless the table of contents is being rebuilt), the TOC styles of the others.
void ImportTocStyles(TDoc& doc, const TDoc& source, bool first, bool second,
                     const TGenerateTOC_Options& options) {
  const uint8_t mode = (first || second) && !options.UpdateExisting ? 1 : 0;
  const TStyleList& list = *source.Styles;
  TImportStylesInfo info(&list);
  info.Mode = mode;
  if (first) {
    for (int32_t i = 0; i < list.Count(); ++i) info.Requested.push_back(i);
  } else {
    std::vector<int32_t> wanted = {bsTocTitle};
    for (int32_t b = bsToc1; b < bsToc1 + TocLevels(options); ++b) wanted.push_back(b);
    for (int32_t b : wanted)
      if (Has(list, b) && (!Has(*doc.Styles, b) || mode == 1))
        info.Requested.push_back(list.IndexOfBuiltIn(b));
  }
  if (info.Requested.empty()) return;
  info.OnlyRequested = first ? 0 : 1;
  auto w = WorkingCopy(doc);
  w->ImportStyles(info, false);
  // A list format names a list of the source document, which this document does not have.
  if (&source != &doc) {
    std::vector<int32_t> imported = info.Added;
    imported.insert(imported.end(), info.Replaced.begin(), info.Replaced.end());
    for (int32_t i : imported) {
      TStyle& s = (*w)[i];
      if (!StyleHasListFormat(s)) continue;
      SetParFormatProp(s.ParFmt, ppList, 0);
      ClearParFormatProp(s.ParFmt, ppListLevel);
    }
  }
  FieldEditServices().FormatDocumentStyles(doc, std::move(w));
}

int32_t EffectiveLeftIndent(const TStyle& style) {
  TParFormat pf;
  GetStyleFormat(style, nullptr, &pf, 0);
  const int32_t v = GetParFormatProp(pf, ppLeftIndent);
  return v == ParUnset32 || v == ParUnset16 ? 0 : v;
}

// A TOC style that no source had: from the level before when there is one.
void CreateTocStyle(TStyleList& w, int32_t builtIn) {
  const TStyleList& defaults = StyleManager().DefaultStyles;
  const TStyle* model = defaults.Get(defaults.IndexOfBuiltIn(builtIn));
  auto style = std::make_unique<TStyle>(&w);
  style->Next = w.Count();
  if (model != nullptr) {
    style->Name = model->Name;
    style->DisplayName = model->DisplayName;
    if (builtIn == bsTocTitle) {
      style->CharFmt = model->CharFmt;
      style->ParFmt = model->ParFmt;
    }
  }
  const TStyle* previous = nullptr;
  if (builtIn > bsToc1 && builtIn < bsToc1 + 9) previous = w.Get(w.IndexOfBuiltIn(builtIn - 1));
  if (previous != nullptr) {
    const int32_t previousIndex = w.IndexOfBuiltIn(builtIn - 1);
    if (previous->Next != previousIndex) style->Next = previous->Next;
    style->BasedOn = previous->BasedOn;
    style->CharFmt = previous->CharFmt;
    style->ParFmt = previous->ParFmt;
    SetParFormatProp(style->ParFmt, ppLeftIndent, EffectiveLeftIndent(*previous) + kTocLevelIndent);
  } else {
    style->BasedOn = 0;
    if (builtIn != bsTocTitle) {
      const TStyle* normal = w.Get(0);
      const int32_t base = normal != nullptr ? EffectiveLeftIndent(*normal) : 0;
      SetParFormatProp(style->ParFmt, ppLeftIndent, kTocLevelIndent * (builtIn - bsToc1) + base);
    }
  }
  w.Add(std::move(style));
  StyleManager().IdentifyBuiltInStyles(w);
}

}  // namespace

void TDoc::EnsureBuiltInStyle(int32_t builtIn) {
  if (Has(*Styles, builtIn)) return;
  {
    TTemplateDoc t = DefaultTemplateOf(*this);
    if (t.Doc != nullptr) ImportBuiltInStyle(*this, *t.Doc->Styles, builtIn);
  }
  if (!Has(*Styles, builtIn)) ImportBuiltInStyle(*this, StyleManager().DefaultStyles, builtIn);
}

void TDoc::EnsureHeaderFooterStyles() {
  {
    TTemplateDoc t = DefaultTemplateOf(*this);
    if (t.Doc != nullptr) ImportHeaderFooterStyles(*this, *t.Doc->Styles, false);
  }
  ImportHeaderFooterStyles(*this, StyleManager().DefaultStyles, true);
}

void TDoc::EnsureTocStyles(TDoc* first, TDoc* second, const TGenerateTOC_Options& options,
                           TDoc* third) {
  if (first != nullptr) ImportTocStyles(*this, *first, true, false, options);
  if (second != nullptr) ImportTocStyles(*this, *second, false, true, options);
  if (third != nullptr) ImportTocStyles(*this, *third, false, false, options);
  auto w = WorkingCopy(*this);
  if (!Has(*w, bsTocTitle)) CreateTocStyle(*w, bsTocTitle);
  for (int32_t b = bsToc1; b < bsToc1 + TocLevels(options); ++b)
    if (!Has(*w, b)) CreateTocStyle(*w, b);
  if (w->Count() > Styles->Count()) FieldEditServices().FormatDocumentStyles(*this, std::move(w));
}

}  // namespace qv
