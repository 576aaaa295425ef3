// The enable rules of the formatting ranges: paragraphs, lists and styles (9000-11999), fonts
// (12000-14999), and pictures, sections, tables and the Format Palette (15000-17999).
#include <algorithm>
#include <vector>

#include "commands/enable_rule_context.h"
#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/compound_fragment.h"
#include "document/par.h"
#include "document/par_format.h"
#include "document/shape.h"
#include "document/table_requests.h"
#include "document/table_row.h"

namespace qv {

namespace {

// The paragraphs of the selection, or the caret's.
std::vector<int32_t> SelectedParagraphs(const TDoc& doc) {
  std::vector<int32_t> pars;
  if (doc.HasSelection() && doc.Selection) {
    for (int32_t i = 0; i < doc.Selection->Count(); ++i) {
      const TDocRange& r = *doc.Selection->GetRange(i);
      for (int32_t p = r.Start.Par; p <= r.End.Par && p < doc.ParCount(); ++p)
        if (pars.empty() || pars.back() < p) pars.push_back(p);
    }
  } else if (doc.Caret.Par >= 0 && doc.Caret.Par < doc.ParCount()) {
    pars.push_back(doc.Caret.Par);
  }
  return pars;
}

// Promote (step -1) or demote (step +1) list levels: some selected list paragraph can move,
// and in a list that styles control, the level it moves to has a style of its own.
bool ListLevelStepRules(TRuleContext& c, int32_t step) {
  TDoc& doc = *c.Doc;
  const uint8_t noLevel = step < 0 ? rcNoLevelAbove : rcNoLevelBelow;
  if (doc.Lists.empty()) return c.Refuse(noLevel);
  bool styleBlocked = false;
  for (int32_t p : SelectedParagraphs(doc)) {
    const TParFormat& f = doc.Par(p)->Format;
    const TAutoList* list = f.List > 0 ? doc.ListByNumber(f.List) : nullptr;
    if (list == nullptr || f.ListLevel < 0 || f.ListLevel > 8) continue;
    const int32_t target = f.ListLevel + step;
    if (target < 0 || target > 8) continue;
    if (!doc.IsListOfStyle(list) || list->ListLevels[static_cast<size_t>(target)].LinkedStyle != nullptr)
      return true;
    styleBlocked = true;
  }
  return c.Refuse(styleBlocked ? uint8_t{rcStyleLevelMissing} : noLevel);
}

// Restart (9350) or continue (9351) numbering.
bool NumberingRules(TRuleContext& c, int32_t id) {
  TDoc& doc = *c.Doc;
  const TParFormat& f = doc.CurParFormat;
  const TAutoList* list = f.List != ParUnset32 && f.List > 0 ? doc.ListByNumber(f.List) : nullptr;
  if (list == nullptr) return c.Refuse(rcNoList);
  if (doc.IsListOfStyle(list)) return c.Refuse(rcStyleControlled);
  bool numbered = false;
  if (list->SingleLevel != 0) numbered = list->IsNumberedLevel(0);
  else
    for (int32_t level = 8; level >= 0 && !numbered; --level) numbered = list->IsNumberedLevel(level);
  if (!numbered) return c.Refuse(rcNoList);
  const int32_t first = doc.GetFirstSelectedPar();
  const int32_t story = doc.StoryOfParagraph(first);
  for (int32_t p = first - 1; p >= doc.FirstParagraphOfStory(story); --p) {
    const TParFormat& earlier = doc.Par(p)->Format;
    if (earlier.List <= 0) continue;
    if (id == 9350 && earlier.List == f.List) return true;
    if (id == 9351 && earlier.List != f.List) {
      const TAutoList* other = doc.ListByNumber(earlier.List);
      if (other != nullptr && other->SameFormat(*list, lcNumberFormatsOnly)) return true;
    }
  }
  return c.Refuse(id == 9350 ? rcListBeginning : rcNothingToResume);
}

}  // namespace

// Ids 9000-11999.
bool ParagraphRules(TRuleContext& c, int32_t id) {
  if (!c.NeedDoc()) return false;
  if (!In(id, {9330, 9334, 9335, 9601, 9610, 9620, 9625}) && !c.NoObjects()) return false;
  if (id != 9600 && id != 9625 && !c.NotRowEndsOnly()) return false;
  if (In(id, {9020, 9100, 9120, 9140, 9160, 9170, 9235, 9240, 9243, 9246, 9250, 9251, 9255, 9256, 9260,
              9280, 9300, 9310, 9315, 9320, 9321, 9322}))
    return c.NotBrush();
  if (id == 9040) return c.NotBrush() && c.Need(c.Env.FormatCopied(true), rcNoParFormat);
  TDoc& doc = *c.Doc;
  if (id == 9340 || id == 9342) return ListLevelStepRules(c, -1);
  if (id == 9341 || id == 9343) return ListLevelStepRules(c, +1);
  if (id == 9350 || id == 9351) return NumberingRules(c, id);
  // The Lists and styles tools of the Control Board, and the size limits of list marks, answer
  // for their commands.
  bool enabled = false;
  if (Between(id, 9330, 9335) || Between(id, 9370, 9373) || In(id, {9601, 9609, 9610, 9615, 9620}))
    return !c.ToolDecides(id, enabled) || enabled;
  const TParFormat& f = doc.CurParFormat;
  const TAutoList* list = f.List != ParUnset32 && f.List > 0 ? doc.ListByNumber(f.List) : nullptr;
  if (id == 9380 || id == 9381 || Between(id, 9560, 9563)) return c.Need(list != nullptr, rcNoList);
  if (id == 9564 || id == 9565) return c.Need(list != nullptr, rcNoList) && c.Need(f.ListLevel != ParUnset8, rcMixedListLevels);
  if (Between(id, 9530, 9532)) {
    if (!c.Need(list != nullptr && f.ListLevel != ParUnset8 && list->IsBulletLevel(f.ListLevel), rcNoBulletedList))
      return false;
    const int32_t level = list->SingleLevel != 0 ? 0 : std::clamp<int32_t>(f.ListLevel, 0, 8);
    return id != 9532 || c.Need(list->ListLevels[static_cast<size_t>(level)].PictureBullet != nullptr, rcNoPictureBullet);
  }
  return true;
}

// Ids 12000-14999.
bool FontRules(TRuleContext& c, int32_t id) {
  if (id == 12600) return true;
  if (!c.NeedDoc() || !c.NoObjects() || !c.NotRowEndsOnly()) return false;
  if (In(id, {12020, 12220, 12240, 12260, 12280, 12300, 12320, 12340, 12360, 12380, 12400})) return c.NotBrush();
  if (id == 12040) return c.NotBrush() && c.Need(c.Env.FormatCopied(false), rcNoFontFormat);
  if (id == 12310) return c.PrintLayout() && c.Need(c.Doc->PageCount() != 1, rcSinglePage);
  return true;
}

namespace {

bool PictureRules(TRuleContext& c, int32_t id) {
  std::vector<TShape*> pictures;
  c.Doc->GetSelectedShapes(&pictures, nullptr, 1);
  if (!c.Need(!pictures.empty(), rcNoPictures)) return false;
  if (Between(id, 15090, 15093) || id == 15095 || id == 15096) {
    const bool floating = std::any_of(pictures.begin(), pictures.end(), [](const TShape* s) {
      return s->Props.WrapStyle != TShapeProps::TWrapStyle::Inline;
    });
    return c.Need(floating, rcPicturesInline);
  }
  if (id == 15088) return c.Need(pictures.size() == 1, rcMultiplePictures);
  bool enabled = false;
  if (id == 15089) return c.ToolDecides(id, enabled) ? enabled : c.Refuse(rcNoWrapPoints);
  // Reducing the colours needs a picture with more colours than the target.
  if (Between(id, 15050, 15057)) return c.ToolDecides(id, enabled) ? enabled : c.Refuse(rcFewColours);
  return true;
}

bool CaretParagraphHoldsSectionBreak(const TDoc& doc) {
  if (doc.Caret.Par < 0 || doc.Caret.Par >= doc.ParCount()) return false;
  const TPar& par = *doc.Par(doc.Caret.Par);
  for (int32_t i = 0; i < par.CharCount(); ++i)
    if (par.CodeAt(i) == scSectionEnd) return true;
  return false;
}

// The rows the selection covers (the caret's row without one), in table order.
std::vector<TTableRow*> SelectedRows(TDoc& doc) {
  std::vector<TTableRow*> rows;
  auto addRows = [&](int32_t first, int32_t last) {
    TTableRow* end = doc.GetRowProps(last);
    for (TTableRow* row = doc.GetRowProps(first); row != nullptr; row = row->NextRow) {
      if (std::find(rows.begin(), rows.end(), row) == rows.end()) rows.push_back(row);
      if (row == end) break;
    }
  };
  if (doc.HasSelection())
    for (int32_t i = 0; i < doc.Selection->Count(); ++i)
      addRows(doc.Selection->GetRange(i)->Start.Par, doc.Selection->GetRange(i)->End.Par);
  else
    addRows(doc.Caret.Par, doc.Caret.Par);
  return rows;
}

// Header rows: only the first rows of a table (or rows already marked) can repeat.
bool HeaderRowRules(TRuleContext& c) {
  std::vector<TTableRow*> rows = SelectedRows(*c.Doc);
  if (rows.empty()) return c.Refuse(rcHeaderRows);
  for (size_t i = 1; i < rows.size(); ++i)
    if (rows[i - 1]->NextRow != rows[i]) return c.Refuse(rcHeaderRows);
  const bool anyHeader = std::any_of(rows.begin(), rows.end(), [](const TTableRow* r) { return r->HeaderRow != 0; });
  const TTableRow* before = rows.front()->PrevRow;
  return c.Need(anyHeader || before == nullptr || before->HeaderRow != 0, rcHeaderRows);
}

// Cell alignment: some range spans two cells or starts off a row end; the caret off a row end.
bool CellAlignmentRules(TRuleContext& c) {
  TDoc& doc = *c.Doc;
  if (!doc.HasSelection()) return c.Need(!doc.IsRowEndPar(doc.Caret.Par), rcRowEndsOnly);
  for (int32_t i = 0; i < doc.Selection->Count(); ++i) {
    const TDocRange& r = *doc.Selection->GetRange(i);
    TDocRange cell;
    doc.GetCellRange(r.Start.Par, cell);
    if (ComparePositions(r.End, cell.End) > 0 || !doc.IsRowEndPar(r.Start.Par)) return true;
  }
  return c.Refuse(rcRowEndsOnly);
}

}  // namespace

// Ids 15000-17999.
bool ObjectRules(TRuleContext& c, int32_t id) {
  if (id == 16119) return true;
  bool enabled = false;
  if (id == 15800) return c.NotBrush();
  if (In(id, {15810, 15820, 15825, 15835})) {
    if (!c.NotBrush()) return false;
    if (c.ToolDecides(id, enabled) && !enabled) return false;  // the Format Palette (74, 75)
    return id != 15835 || c.NoObjects();
  }
  if (id == 15830) return !c.ToolDecides(id, enabled) || enabled;
  if (!c.NeedDoc()) return false;
  TDoc& doc = *c.Doc;
  if (In(id, {15000, 15045, 15046, 15047, 15049}) || Between(id, 15081, 15093) || Between(id, 15095, 15105) ||
      Between(id, 15050, 15057))
    return PictureRules(c, id);
  if (id == 15500) return c.NotHeaderFooterEditing();
  if (id == 15600 || id == 15670) return c.NotHeaderFooterEditing() && c.NoObjects();
  if (Between(id, 15640, 15643) || Between(id, 15650, 15653))
    return c.NoObjects() && c.Need(CaretParagraphHoldsSectionBreak(doc), rcNoSectionBreak);
  if (In(id, {15660, 15661, 15675})) return c.ToolDecides(id, enabled) ? enabled : c.Refuse(66);
  if (Between(id, 15662, 15664)) {
    if (!c.Need(doc.Sections.size() > 1, rcSingleSection)) return false;
    return c.ToolDecides(id, enabled) ? enabled : c.Refuse(66);
  }
  if (id == 15900) return c.NoObjects() && c.Need(doc.CurParFormat.InTable == 0, rcHasTables);
  if (id == 16100) return c.NotPrintPreview();
  if (Between(id, 17000, 17002)) return c.NoObjects() && c.NotRowEndsOnly();
  const bool tableRow = In(id, {15910, 15911, 15920, 15921, 15930, 15940, 16000, 16112, 16160, 16170}) ||
                        Between(id, 15950, 15954);
  if (tableRow) return c.NoObjects() && c.InTable();
  if (id == 16110) {  // the document model's merge test answers (codes 49, 8, 50)
    if (!c.NoObjects()) return false;
    TMergeCheckResult merge;
    doc.GetMergeableCells(merge);
    return merge.CanMerge || c.Refuse(static_cast<uint8_t>(merge.Reason));
  }
  if (In(id, {16111, 16150, 16180})) {
    if (!c.NoObjects()) return false;
    const int32_t kind = c.Env.TableSelectionKind(doc);
    if (id == 16150 && (kind == 2 || kind == 3)) return true;
    if (!c.InTable()) return false;
    return doc.HasSelection() || c.Need(!doc.IsRowEndPar(doc.Caret.Par), rcRowEndsOnly);
  }
  if (id == 16155 || id == 16156) {  // the row and column tests of the tables (codes 51 to 57)
    if (!c.NoObjects() || !c.InTable()) return false;
    return !c.ToolDecides(id, enabled) || enabled;
  }
  if (Between(id, 16120, 16128)) return c.NoObjects() && c.InTable() && CellAlignmentRules(c);
  if (id == 16190) return c.NoObjects() && c.InTable() && HeaderRowRules(c);
  return true;
}

}  // namespace qv
