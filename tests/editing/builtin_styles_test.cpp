// Built-in styles brought into a document before a feature writes paragraphs in them: from the
// default template, from source documents, from the default style list, or made up for table of
// contents levels; each change is an undoable document-styles edit.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/field_edit_services.h"
#include "document/section.h"
#include "document/styles.h"
#include "document/tab_stops.h"
#include "edit_test_support.h"
#include "editing/field_edit_services.h"
#include "foundation/settings/options.h"

using namespace qv;

namespace {

struct StyleScope {
  TEngineScope Engine;
  ScopedService<TFieldEditServices> Fields{MakeFieldEditServices()};
};

// A document whose style list holds Normal (with the given left indent) and nothing else.
void OnlyNormal(TDoc& doc, int16_t leftIndent = 0) {
  doc.InitNewDocument();
  const TStyleList& defaults = StyleManager().DefaultStyles;
  doc.Styles->Clear();
  doc.Styles->Add(std::make_unique<TStyle>(doc.Styles.get(), defaults[0]));
  if (leftIndent != 0) (*doc.Styles)[0].ParFmt.LeftIndent = leftIndent;
  StyleManager().IdentifyBuiltInStyles(*doc.Styles);
}

const TStyle* Style(const TDoc& doc, int32_t builtIn) {
  return doc.Styles->Get(doc.Styles->IndexOfBuiltIn(builtIn));
}

int32_t LeftIndent(const TStyle& s) {
  TParFormat pf;
  GetStyleFormat(s, nullptr, &pf, 0);
  const int32_t v = GetParFormatProp(pf, ppLeftIndent);
  return v == ParUnset32 ? 0 : v;
}

// Runs the body as one operation and commits it.
template <class F>
void AsOperation(TDoc& doc, F body) {
  std::unique_ptr<TUndoableOperation> op = EditServices().CreateOperation(doc, 0);
  doc.BeginOperation(op.get());
  body();
  doc.EndOperation();
  doc.PostEditUpdate();
  doc.CommitOperation(std::move(op));
}

// A template whose Header style has its own tab stop.
class TemplateServices : public TDocServices {
 public:
  std::unique_ptr<TDoc> Template;
  std::string DefaultTemplateName(int32_t) override { return "Normal.rtf"; }
  TDoc* LoadTemplate(const std::string& name, std::unique_ptr<TDoc>&) override {
    return name == "Normal.rtf" ? Template.get() : nullptr;
  }
};

}  // namespace

TEST(BuiltInStyles, ADocumentThatHasTheStylesGetsNoEdit) {
  StyleScope scope;
  TDoc doc(true);
  doc.InitNewDocument();
  const int32_t position = doc.UndoPosition;
  TGenerateTOC_Options options;
  AsOperation(doc, [&] {
    doc.EnsureBuiltInStyle(bsIndex1);
    doc.EnsureBuiltInStyle(bsFootnoteText);
    doc.EnsureHeaderFooterStyles();
    doc.EnsureTocStyles(nullptr, nullptr, options, nullptr);
  });
  EXPECT_EQ(doc.UndoPosition, position);
}

TEST(BuiltInStyles, HeaderAndFooterFromTheDefaultListGetCentreAndRightStops) {
  StyleScope scope;
  TDoc doc(true);
  OnlyNormal(doc);
  doc.Sections[0]->PageParams.TextWidth = 9360;
  const std::string before = DumpDoc(doc);
  AsOperation(doc, [&] { doc.EnsureHeaderFooterStyles(); });
  for (int32_t b : {bsHeader, bsFooter}) {
    const TStyle* s = Style(doc, b);
    ASSERT_NE(s, nullptr) << b;
    const TTabTable& set = GetTabManager().Table(GetParFormatProp(s->ParFmt, ppTabSet));
    ASSERT_EQ(set.size(), 2u);
    EXPECT_EQ(set[0], PackTabStop(4680, tkCenter, tlNone));
    EXPECT_EQ(set[1], PackTabStop(9360, tkRight, tlNone));
  }
  doc.Undo();
  EXPECT_EQ(DumpDoc(doc), before);
}

TEST(BuiltInStyles, StylesOfTheDefaultTemplateComeFirstAndKeepTheirTabs) {
  StyleScope scope;
  auto services = std::make_unique<TemplateServices>();
  services->Template = std::make_unique<TDoc>(true);
  services->Template->InitNewDocument();
  TStyle& header = (*services->Template->Styles)[services->Template->Styles->IndexOfBuiltIn(bsHeader)];
  const int32_t templateTabs = GetTabManager().AddTable({PackTabStop(1000, tkLeft, tlNone)});
  SetParFormatProp(header.ParFmt, ppTabSet, templateTabs);
  TStyle& index1 = (*services->Template->Styles)[services->Template->Styles->IndexOfBuiltIn(bsIndex1)];
  index1.CharFmt.Italic = 1;
  ScopedService<TDocServices, TemplateServices> docServices(std::move(services));
  TDoc doc(true);
  OnlyNormal(doc);
  AsOperation(doc, [&] {
    doc.EnsureHeaderFooterStyles();
    doc.EnsureBuiltInStyle(bsIndex1);
  });
  EXPECT_EQ(GetParFormatProp(Style(doc, bsHeader)->ParFmt, ppTabSet), templateTabs);
  EXPECT_EQ(Style(doc, bsIndex1)->CharFmt.Italic, 1);
}

TEST(BuiltInStyles, TocStylesAreMadeUpLevelByLevelWhenNoSourceHasThem) {
  StyleScope scope;
  for (int16_t normalIndent : {0, 100}) {
    SCOPED_TRACE(normalIndent);
    TDoc doc(true);
    OnlyNormal(doc, normalIndent);
    TGenerateTOC_Options options;
    options.Levels = 3;
    const std::string before = DumpDoc(doc);
    AsOperation(doc, [&] { doc.EnsureTocStyles(nullptr, nullptr, options, nullptr); });
    const TStyle* title = Style(doc, bsTocTitle);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->BasedOn, 0);
    EXPECT_EQ(title->CharFmt.Bold, 1);
    EXPECT_EQ(title->CharFmt.Size, 24);
    EXPECT_EQ(GetParFormatProp(title->ParFmt, ppAlignment), 1);
    EXPECT_EQ(GetParFormatProp(title->ParFmt, ppSpaceBefore), 120);
    for (int32_t level = 1; level <= 3; ++level) {
      const TStyle* s = Style(doc, bsToc1 + level - 1);
      ASSERT_NE(s, nullptr) << level;
      EXPECT_EQ(s->BasedOn, 0) << level;
      EXPECT_EQ(LeftIndent(*s), 240 * (level - 1) + normalIndent) << level;
    }
    EXPECT_EQ(Style(doc, bsToc1 + 3), nullptr);
    doc.Undo();
    EXPECT_EQ(DumpDoc(doc), before);
  }
}

TEST(BuiltInStyles, TheFirstSourceReplacesStylesOfTheSameNameAndDropsForeignLists) {
  StyleScope scope;
  TDoc source(true);
  source.InitNewDocument();
  TStyle& toc1 = (*source.Styles)[source.Styles->IndexOfBuiltIn(bsToc1)];
  toc1.ParFmt.LeftIndent = 777;
  SetParFormatProp(toc1.ParFmt, ppList, 5);
  SetParFormatProp(toc1.ParFmt, ppListLevel, 0);
  TDoc doc(true);
  doc.InitNewDocument();
  TGenerateTOC_Options options;
  AsOperation(doc, [&] { doc.EnsureTocStyles(&source, nullptr, options, nullptr); });
  const TStyle* s = Style(doc, bsToc1);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->ParFmt.LeftIndent, 777);
  EXPECT_FALSE(StyleHasListFormat(*s));
  // Rebuilding adds what is missing only: the document's own style stays.
  (*doc.Styles)[doc.Styles->IndexOfBuiltIn(bsToc1)].ParFmt.LeftIndent = 5;
  options.UpdateExisting = true;
  AsOperation(doc, [&] { doc.EnsureTocStyles(&source, nullptr, options, nullptr); });
  EXPECT_EQ(Style(doc, bsToc1)->ParFmt.LeftIndent, 5);
}
