// The enable rules: which commands can run now, by the id ranges of the handlers, with the
// disabled-reason code of every refusal. This file holds the dispatch by range and the rules of
// the file, view, window and parameterised ranges; enable_rules_edit.cpp and
// enable_rules_format.cpp hold the others.
#include "commands/enable_rules.h"

#include "commands/command_options.h"
#include "commands/enable_rule_context.h"
#include "document/char_format.h"
#include "document/doc_view.h"

namespace qv {

bool TRuleContext::NotFullScreenUnlessKept(uint8_t keepBit) {
  return Need(!Env.FullScreen() || (GetOptions().View.FS_GUI & keepBit) != 0, rcFullScreen);
}

// Ids 100-2999: files, printing, proofing, the writing statistics and documents.
bool FileRules(TRuleContext& c, int32_t id) {
  if (id == 180) return c.NeedDoc() && c.Need(c.Doc->Modified != 0, rcNotModified);
  if (id == 220) {
    c.Reason = rcNothingModified;
    return c.Env.AnyDocumentModified();
  }
  if (id == 360) return c.Env.MainWindowEnabled();
  if (In(id, {702, 704, 705, 800, 850, 860, 863, 870, 890})) return c.NeedDoc() && c.NoObjects();
  if (In(id, {100, 105, 120, 122, 123, 125, 233, 340, 343, 345, 346, 351, 352, 620, 650, 660, 1200,
              1245, 1250, 1270}) ||
      Between(id, 640, 646) || Between(id, 1000, 1099) || Between(id, 1310, 1312))
    return true;
  if (id == 706) return c.NotBrush();
  if (id == 810 || id == 811) return false;  // informational popup items
  if (id == 816) {
    bool enabled = false;
    if (!c.NeedDoc() || !c.NoObjects()) return false;
    return c.ToolDecides(id, enabled) ? enabled : c.Refuse(rcNoMisspelling);
  }
  if (id == 828) return SpellOption(opt::SpellAsYouType);
  if (id == 845) return c.NeedDoc() && c.NoObjects() && c.NotPrintPreview();
  if (id == 864)
    return c.NeedDoc() && c.NoObjects() && c.Selection() &&
           c.Need(c.Doc->CurCharFormat.Language != CharUnset, rcMixedLanguages);
  if (id == 880) {
    if (!c.NeedDoc() || !c.NoObjects()) return false;
    const int32_t language = c.Doc->CurCharFormat.Language;
    if (language == CharUnset || (language & 0x3FF) != 9) return c.Refuse(30);
    bool enabled = false;
    return c.ToolDecides(id, enabled) ? enabled : c.Refuse(31);  // no thesaurus library found
  }
  if (id == 1260) {
    if (!c.NeedDoc()) return false;
    if (c.Env.ProjectOpen()) return true;
    if (c.Env.IsVadureVavi(*c.Doc)) return c.Refuse(rcVadureVavi);
    return c.Need(!c.Doc->NewUntitled && !c.Doc->FileName.empty(), rcNoFile);
  }
  if (Between(id, 1313, 1316)) return c.Env.ProjectOpen();
  if (id == 1400) return c.NeedDoc() && c.Env.WritingTime(*c.Doc) != 0;
  if (id == 1401) return c.Env.HasWritingData();
  if (id == 1420) return c.Env.OpenDocumentCount() > 1;
  if (Between(id, 1421, 1428)) return c.Env.DocBarSelectedCount() > 1;
  return c.NeedDoc();
}

// Ids 6000-8999: views, bars, zoom, headers and footers, Spotlight.
bool ViewRules(TRuleContext& c, int32_t id) {
  if (In(id, {6400, 7000, 8121}) || Between(id, 6420, 6479) || id == 6501 || id == 6502) return true;
  const TOptions& o = GetOptions();
  switch (id) {
    case 6000: return c.NeedDoc() && c.NotPrintPreview();
    case 6020: return c.NeedDoc() && c.NotPrintPreview() && c.PrintLayout();
    case 6060:
    case 6065:
      return c.NeedDoc() && c.NotDraftWrapped() && c.NotFullScreenUnlessKept(opt::KeepRulers) &&
             (id == 6060 || c.PrintLayout());
    case 6070: case 6071: case 6072:
      return c.NotFullScreenUnlessKept(opt::KeepToolbars);
    case 6075: case 6076: case 6077:
      return o.View.Toolbars == 1 && c.Manager.IsEnabled(6071) && o.View.ToolbarStyle == 0;
    case 6078: case 6079:
      return o.View.Toolbars == 1 && c.Manager.IsEnabled(6071);
    case 6140: return c.NotFullScreenUnlessKept(opt::KeepStatusBar);
    case 6170: case 6172: case 6173: return c.NeedDoc() && c.PrintLayout();
    case 6171: return c.NeedDoc() && c.NotDraftWrapped();
    case 6500:
      return c.NeedDoc() && c.NotPrintPreview() && c.NotFullScreenUnlessKept(opt::KeepControlBoard);
    case 6505: case 6506: case 6507: return o.View.ControlBoard && c.Manager.IsEnabled(6500);
    case 8050:
      if (!c.NeedDoc()) return false;
      if (!c.HasSelection() && !c.HasObjects()) return c.Refuse(rcNoSelection);
      return c.Need(!c.Doc->SelectionFullyInView(), rcAllVisible);
    case 8122: return c.NeedDoc() && c.Need(c.Doc->IsSpotlightActive(), rcSpotlightOff);
    default: break;
  }
  if (Between(id, 7300, 8000)) {
    if (!c.NeedDoc()) return false;
    if (c.Doc->HeaderFooterInPlace == nullptr) return c.Refuse(rcNoHeaderFooter);
    if (id != 7340) return true;
    // The header or footer of the first section has none before it to link to.
    const TDoc& doc = *c.Doc;
    const TSection* section = doc.HeaderFooterPage >= 0 ? doc.SectionOfPage(doc.HeaderFooterPage) : nullptr;
    return c.Need(section == nullptr || doc.Sections.empty() || section != doc.Sections.front().get(),
                  rcFirstHeaderFooter);
  }
  if (Between(id, 8100, 8102) || id == 8110 || id == 8120)
    return c.NeedDoc() && c.NotPrintPreview() && (id != 8110 || c.PrintLayout());
  // The scroll bars, the document bar, the document map and split windows are the shell's and
  // the document window's; a split command without a split window is refused.
  bool enabled = false;
  if (Between(id, 8126, 8133)) {
    if (!c.NeedDoc()) return false;
    return c.ToolDecides(id, enabled) ? enabled : c.Refuse(rcNotSplit);
  }
  if (c.ToolDecides(id, enabled)) return enabled;
  return c.NeedDoc();
}

// Ids 90000-92999: windows.
bool WindowRules(TRuleContext& c, int32_t id) {
  if (Between(id, 90105, 90113)) return c.Need(id - 90105 < c.Env.OpenDocumentCount(), rcNoSuchWindow);
  if (id == 90400) return c.Need(c.Env.OpenDocumentCount() > 1, rcFewerThanTwoDocs);
  bool enabled = false;
  if (c.ToolDecides(id, enabled)) return enabled;  // window states (minimised, maximised)
  return c.NeedDoc();
}

namespace {

bool ParamRules(TRuleContext& c, int32_t id) {
  if (id >= 215000) return true;
  if (!c.NeedDoc()) return false;
  if (id < 203000 || (id >= 212000 && id < 215000)) return c.NoObjects();
  if (id < 206000) return true;
  return c.NoObjects() && c.NotRowEndsOnly() && (id != 209150 || c.NotBrush());
}

}  // namespace

bool AskEnableRules(TCommandManager& manager, int32_t id, uint8_t& reason) {
  TRuleContext c{manager, CommandEnvironment(), GetCommandTargetDoc(), reason};
  if (id >= 200000) return ParamRules(c, id);
  if (id == 150100 || id == 150101) return false;
  if (Between(id, 100, 2999)) return FileRules(c, id);
  if (Between(id, 3000, 5999)) return EditRules(c, id);
  if (Between(id, 6000, 8999)) return ViewRules(c, id);
  if (Between(id, 9000, 11999)) return ParagraphRules(c, id);
  if (Between(id, 12000, 14999)) return FontRules(c, id);
  if (Between(id, 15000, 17999)) return ObjectRules(c, id);
  if (Between(id, 90000, 92999)) return WindowRules(c, id);
  if (Between(id, 100000, 102999)) {
    bool enabled = true;
    if (id == 101210 && c.ToolDecides(id, enabled)) return enabled;  // the internet library
    return true;
  }
  return true;
}

}  // namespace qv
