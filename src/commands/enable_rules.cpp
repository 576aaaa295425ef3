#include "commands/enable_rules.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "document/char_format.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/table_row.h"

namespace qv {

namespace {

// Disabled-reason codes the rules store.
enum : uint8_t {
  rcNoDocument = 0,
  rcNotModified = 1,
  rcNothingModified = 2,
  rcNotPrintLayout = 3,
  rcNothingToUndo = 5,
  rcNothingToRedo = 6,
  rcNoSelection = 7,
  rcRowEndsOnly = 8,
  rcNothingToPaste = 9,
  rcNotSingleRange = 11,
  rcSingleParagraph = 12,
  rcInTable = 13,
  rcInNotes = 14,
  rcAcrossNotes = 15,
  rcNoteEndMark = 16,
  rcFieldsCut = 17,
  rcBreaksInside = 18,
  rcVadureVavi = 19,
  rcVadureVaviEmpty = 20,
  rcNoFontFormat = 21,
  rcNoParFormat = 22,
  rcBrushMode = 23,
  rcHeaderFooterEditing = 24,
  rcNotesSelected = 25,
  rcPrintPreview = 26,
  rcDraftWrapped = 28,
  rcNoBookmarks = 64,
  rcNotInTable = 86,
  rcNoFile = 77,
  rcNoPictures = 87,
  rcObjects = 108,
};

constexpr uint8_t kMouseModeBrush = 2;

bool In(int32_t id, std::initializer_list<int32_t> ids) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}
bool Between(int32_t id, int32_t first, int32_t last) { return id >= first && id <= last; }

// The state the rules read, gathered once per question.
struct TRuleContext {
  TCommandManager& Manager;
  TCommandEnvironment& Env;
  TDoc* Doc;
  uint8_t& Reason;

  bool Refuse(uint8_t code) {
    Reason = code;
    return false;
  }
  bool NeedDoc() { return Doc != nullptr || Refuse(rcNoDocument); }
  bool NoObjects() { return Doc == nullptr || Doc->SelectedShapes.empty() || Refuse(rcObjects); }
  bool Selection() { return (Doc != nullptr && Doc->HasSelection()) || Refuse(rcNoSelection); }
  bool NotRowEndsOnly() { return Doc == nullptr || !Doc->AtRowEndMark() || Refuse(rcRowEndsOnly); }
  bool NotBrush() { return Env.MouseMode() != kMouseModeBrush || Refuse(rcBrushMode); }
  bool NotHeaderFooterEditing() {
    return Doc == nullptr || Doc->HeaderFooterInPlace == nullptr || Refuse(rcHeaderFooterEditing);
  }
  bool NotPrintPreview() { return Doc == nullptr || !Doc->PrintPreview || Refuse(rcPrintPreview); }
  bool PrintLayout() { return (Doc != nullptr && Doc->ViewMode == vmPrintLayout) || Refuse(rcNotPrintLayout); }
  bool NotDraftWrapped() { return (Doc != nullptr && Doc->ViewMode != vmDraftWrapped) || Refuse(rcDraftWrapped); }
  bool InTable() {
    return (Doc != nullptr && Doc->CurParFormat.InTable == 1 && Doc->SelectionInOneTable()) ||
           Refuse(rcNotInTable);
  }
  bool CaretInNotes() {
    if (Doc == nullptr || !Doc->Selection || Doc->Selection->Count() == 0) return false;
    const int32_t story = Doc->StoryOfParagraph(Doc->Selection->GetRange(0)->Start.Par);
    return story == stFootnotes || story == stEndnotes;
  }
  bool CanUndo() { return Doc != nullptr && Doc->UndoPosition >= 0; }
  bool CanRedo() {
    return Doc != nullptr && Doc->UndoPosition + 1 < static_cast<int32_t>(Doc->UndoList.size());
  }
  // The clipboard holds something to paste, after examining it when it changed.
  bool Pasteable() {
    if ((Manager.Flags & TCommandManager::cmClipboardChanged) != 0) Env.ExamineClipboard(Manager);
    return Manager.ClipboardHasData != 0 || Refuse(rcNothingToPaste);
  }
  bool HasBookmarks() {
    return (Doc != nullptr && std::any_of(Doc->Fields.begin(), Doc->Fields.end(),
                                          [](const auto& f) { return f->Kind == fkBookmark; })) ||
           Refuse(rcNoBookmarks);
  }
  bool PicturesSelected() {
    return (Doc != nullptr && Doc->GetSelectedShapes(nullptr, nullptr, 1) > 0) || Refuse(rcNoPictures);
  }
};

// Ids 100-2999: files, printing, proofing, the writing statistics and documents.
bool FileRules(TRuleContext& c, int32_t id) {
  if (id == 180) return c.NeedDoc() && ((c.Doc->Modified != 0) || c.Refuse(rcNotModified));
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
  if (id == 810 || id == 811) return false;
  if (id == 845) return c.NeedDoc() && c.NoObjects() && c.NotPrintPreview();
  if (id == 864) {
    return c.NeedDoc() && c.NoObjects() && c.Selection() &&
           (c.Doc->CurCharFormat.Language != CharUnset || c.Refuse(80));
  }
  if (id == 1260) {
    if (!c.NeedDoc()) return false;
    if (c.Env.ProjectOpen()) return true;
    if (c.Env.IsVadureVavi(*c.Doc)) return c.Refuse(rcVadureVavi);
    return (!c.Doc->NewUntitled && !c.Doc->FileName.empty()) || c.Refuse(rcNoFile);
  }
  if (Between(id, 1313, 1316)) return c.Env.ProjectOpen();
  if (id == 1420) return c.Env.OpenDocumentCount() > 1;
  if (Between(id, 1421, 1428)) return c.Env.DocBarSelectedCount() > 1;
  return c.NeedDoc();
}

// Ids 3000-5999: edit, insert, browse, bookmarks, hyperlinks, fields, notes and clips.
bool EditRules(TRuleContext& c, int32_t id) {
  if (id == 3460) return c.Env.VadureVaviHasText() || c.Refuse(rcVadureVaviEmpty);
  if (In(id, {3370, 3485, 3486, 4227, 4548, 5105, 5215}) || Between(id, 4230, 4242)) return true;
  if (!c.NeedDoc()) return false;
  TDoc& doc = *c.Doc;
  if (In(id, {3002, 3022, 3080, 3081, 3082, 3083, 3805, 3810}))
    return c.NotHeaderFooterEditing() && (!c.CaretInNotes() || c.Refuse(rcNotesSelected)) && c.NoObjects() &&
           (id != 3805 || c.PrintLayout());
  if (In(id, {3200, 3640, 3641, 3740})) return true;
  if (In(id, {3340, 3420, 3680, 5250})) {
    if (doc.HasSelection()) return c.NotRowEndsOnly();
    return !doc.SelectedShapes.empty() || c.Refuse(rcNoSelection);
  }
  if (id == 3360 || Between(id, 3380, 3384) || id == 3400) {
    if (!c.NotRowEndsOnly() || !c.Pasteable()) return false;
    if (!Between(id, 3381, 3384)) return true;
    const uint8_t kind = c.Manager.ClipboardTableKind;
    if (kind == TCommandManager::kNoTableSelection || doc.HasSelection() || doc.CurParFormat.InTable != 1)
      return false;
    if (id != 3382) return true;
    if (kind != 1 && kind != 3) return false;
    // Cells go in above the table only from its first row.
    const int32_t caretPar = doc.Selection && doc.Selection->Count() > 0 ? doc.Selection->GetRange(0)->Start.Par : 0;
    const TTableRow* row = doc.GetRowProps(caretPar);
    return row != nullptr && row->PrevRow == nullptr;
  }
  if (id == 3440 || id == 3445) {
    if (c.Env.IsVadureVavi(doc)) return c.Refuse(rcVadureVavi);
    if (doc.HasSelection()) return c.NotRowEndsOnly();
    return !doc.SelectedShapes.empty() || c.Refuse(rcNoSelection);
  }
  if (id == 3480)
    return (!c.Env.IsVadureVavi(doc) || c.Refuse(rcVadureVavi)) &&
           (c.Env.VadureVaviHasText() || c.Refuse(rcVadureVaviEmpty)) && c.NotRowEndsOnly() && c.NoObjects();
  if (id == 3500)
    return c.NoObjects() && c.Selection() && (!c.Env.SelectionHasNoteEndMark(doc) || c.Refuse(rcNoteEndMark)) &&
           c.NotRowEndsOnly();
  if (id == 3510) return c.NotBrush() && c.NoObjects();
  if (id == 3511)
    return c.NotBrush() &&
           (c.Env.FormatCopied(false) || c.Env.FormatCopied(true) || c.Refuse(78)) && c.NoObjects();
  if (id == 3700) return doc.GetSelectedShapes(nullptr, nullptr, 1) > 0;
  if (id == 3840 || id == 3880) return c.CanUndo() || c.Refuse(rcNothingToUndo);
  if (id == 3860 || id == 3900) return c.CanRedo() || c.Refuse(rcNothingToRedo);
  if (id == 3925) return (doc.IsSingleFragmentSelection() || c.Refuse(rcNotSingleRange)) && c.NoObjects();
  if (id == 3920 || id == 3930 || id == 3931) {
    if (!c.Selection() || !(doc.IsSingleFragmentSelection() || c.Refuse(rcNotSingleRange))) return false;
    const TDocRange& r = *doc.Selection->GetRange(0);
    if (r.Start.Par == r.End.Par) return c.Refuse(rcSingleParagraph);
    if (id == 3920) {
      if (doc.CurParFormat.InTable == ParUnset8) return c.Refuse(rcInTable);
      if (doc.CurParFormat.InTable == 1 && !doc.SelectionInOneTable()) return c.Refuse(rcInTable);
      return c.NoObjects();
    }
    if (doc.CurParFormat.InTable != 0) return c.Refuse(rcInTable);
    if (c.CaretInNotes()) return c.Refuse(rcInNotes);
    if (doc.RangeCutsMultiParField(r)) return c.Refuse(rcFieldsCut);
    for (int32_t p = r.Start.Par; p <= r.End.Par && p < doc.ParCount(); ++p) {
      const TPar& par = *doc.Par(p);
      for (int32_t i = 0; i < par.CharCount(); ++i) {
        const uint8_t code = par.CodeAt(i);
        if (code == 3 || code == 6 || code == 8) return c.Refuse(rcBreaksInside);
      }
    }
    return c.NoObjects();
  }
  if (In(id, {3980, 4000, 4020, 4025, 4030, 4040})) return c.NoObjects() && c.Selection();
  if (id == 4225 || id == 4226) return true;
  if (id == 4510 || id == 4511) return c.NotHeaderFooterEditing() && c.NoObjects() && c.HasBookmarks();
  if (In(id, {4531, 4537, 4600, 5295, 5300, 5301, 5303}))
    return c.NotRowEndsOnly() && c.NotHeaderFooterEditing() && c.NoObjects();
  if (id == 5050 || id == 5051 || id == 5052 || id == 5074) return c.NotHeaderFooterEditing() && c.NoObjects();
  bool enabled = false;
  if (c.Env.ToolRule(id, enabled, c.Reason)) return enabled;
  return c.NoObjects();
}

// Ids 6000-8999: views, bars, zoom, headers and footers, Spotlight.
bool ViewRules(TRuleContext& c, int32_t id) {
  if (In(id, {6400, 7000, 8121}) || Between(id, 6420, 6479) || id == 6501 || id == 6502) return true;
  bool enabled = false;
  if (c.Env.ToolRule(id, enabled, c.Reason)) return enabled;
  if (id == 6000) return c.NeedDoc() && c.NotPrintPreview();
  if (id == 6020) return c.NeedDoc() && c.NotPrintPreview() && c.PrintLayout();
  if (id == 6060 || id == 6065) return c.NeedDoc() && c.NotDraftWrapped() && (id == 6060 || c.PrintLayout());
  if (Between(id, 6070, 6079) || id == 6140) return !c.Env.FullScreen();
  if (id == 6170 || id == 6172 || id == 6173) return c.NeedDoc() && c.PrintLayout();
  if (id == 6171) return c.NeedDoc() && c.NotDraftWrapped();
  if (id == 6500) return c.NeedDoc() && c.NotPrintPreview();
  if (Between(id, 7300, 8000)) {
    if (!c.NeedDoc()) return false;
    if (c.Doc->HeaderFooterInPlace == nullptr) return c.Refuse(93);
    return true;
  }
  if (Between(id, 8100, 8102) || id == 8110 || id == 8120)
    return c.NeedDoc() && c.NotPrintPreview() && (id != 8110 || c.PrintLayout());
  if (id == 8122) return c.NeedDoc() && (c.Doc->IsSpotlightActive() || c.Refuse(104));
  if (Between(id, 8126, 8133)) return c.NeedDoc() && c.Refuse(106);  // no split window yet
  return c.NeedDoc();
}

// Ids 9000-11999: paragraphs, lists and styles.
bool ParagraphRules(TRuleContext& c, int32_t id) {
  if (!c.NeedDoc()) return false;
  const bool objectsAllowed = In(id, {9330, 9334, 9335, 9601, 9610, 9620, 9625});
  if (!objectsAllowed && !c.NoObjects()) return false;
  if (id != 9600 && id != 9625 && !c.NotRowEndsOnly()) return false;
  if (In(id, {9020, 9100, 9120, 9140, 9160, 9170, 9235, 9240, 9243, 9246, 9250, 9251, 9255, 9256, 9260,
              9280, 9300, 9310, 9315, 9320, 9321, 9322}))
    return c.NotBrush();
  if (id == 9040) return c.NotBrush() && (c.Env.FormatCopied(true) || c.Refuse(rcNoParFormat));
  bool enabled = false;
  if (c.Env.ToolRule(id, enabled, c.Reason)) return enabled;
  const TParFormat p = c.Doc->CurParFormat;
  const bool hasList = p.List != ParUnset32 && p.List > 0;
  if (id == 9380 || id == 9381 || Between(id, 9560, 9563)) return hasList || c.Refuse(92);
  if (id == 9564 || id == 9565) return (hasList || c.Refuse(92)) && (p.ListLevel != ParUnset8 || c.Refuse(37));
  return true;
}

// Ids 12000-14999: fonts and character formatting.
bool FontRules(TRuleContext& c, int32_t id) {
  if (id == 12600) return true;
  if (!c.NeedDoc() || !c.NoObjects() || !c.NotRowEndsOnly()) return false;
  if (In(id, {12020, 12220, 12240, 12260, 12280, 12300, 12320, 12340, 12360, 12380, 12400})) return c.NotBrush();
  if (id == 12040) return c.NotBrush() && (c.Env.FormatCopied(false) || c.Refuse(rcNoFontFormat));
  if (id == 12310) return c.PrintLayout();
  return true;
}

// Ids 15000-17999: pictures, sections, the Format Palette and tables.
bool ObjectRules(TRuleContext& c, int32_t id) {
  if (id == 16119) return true;
  bool enabled = false;
  if (Between(id, 15800, 15835) && c.Env.ToolRule(id, enabled, c.Reason)) return enabled;
  if (id == 15800) return c.NotBrush();
  if (!c.NeedDoc()) return false;
  if (In(id, {15000, 15045, 15046, 15047, 15049}) || Between(id, 15081, 15093) || Between(id, 15095, 15105) ||
      Between(id, 15050, 15057))
    return c.PicturesSelected();
  if (id == 15500) return c.NotHeaderFooterEditing();
  if (id == 15600 || id == 15670) return c.NotHeaderFooterEditing() && c.NoObjects();
  if (id == 15900) {
    if (!c.NoObjects()) return false;
    return c.Doc->CurParFormat.InTable == 0 || c.Refuse(rcInTable);
  }
  if (In(id, {15910, 15911, 15920, 15921, 15930, 15940, 16000, 16112, 16160, 16170}) ||
      Between(id, 15950, 15954) || Between(id, 16120, 16128) || In(id, {16110, 16111, 16150, 16155, 16156, 16180, 16190}))
    return c.NoObjects() && c.InTable();
  if (id == 16100) return c.NotPrintPreview();
  if (Between(id, 17000, 17002)) return c.NoObjects() && c.NotRowEndsOnly();
  if (c.Env.ToolRule(id, enabled, c.Reason)) return enabled;
  return true;
}

// Ids 90000-92999: windows.
bool WindowRules(TRuleContext& c, int32_t id) {
  bool enabled = false;
  if (c.Env.ToolRule(id, enabled, c.Reason)) return enabled;
  if (Between(id, 90105, 90113)) return id - 90105 < c.Env.OpenDocumentCount() || c.Refuse(105);
  if (id == 90400) return c.Env.OpenDocumentCount() > 1 || c.Refuse(29);
  return c.NeedDoc();
}

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
    if (c.Env.ToolRule(id, enabled, c.Reason)) return enabled;
    return true;
  }
  return true;
}

}  // namespace qv
