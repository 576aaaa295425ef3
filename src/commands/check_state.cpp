// The check state of commands: the modes, views and options they stand for, and the formatting
// of the selection for the formatting commands.
#include <algorithm>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "document/auto_list.h"
#include "document/char_format.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/doc_view.h"
#include "document/field.h"
#include "document/par_format.h"
#include "document/section.h"
#include "document/shape.h"
#include "document/shape_props_table.h"
#include "document/table_row.h"

namespace qv {

namespace {

constexpr uint8_t kMouseModeBrush = 2;
// The document flag set while header/footer editing hides the document's own text.
constexpr int32_t kDocFlagBodyTextHidden = 125;
// The find and replace window's option bits.
constexpr uint32_t kFindWholeWords = 2, kFindExact = 1, kFindWildcards = 8;

uint8_t On(bool b) { return b ? 1 : 0; }

// 2 for an unset (mixed) property, else 1 when it is non-zero.
uint8_t Toggle(int32_t value, int32_t unset) { return value == unset ? 2 : On(value != 0); }

// The formats the formatting rows read: the Format Brush's for a command it carries while it is
// on, else the target document's current formats unless objects are selected, else all unset.
struct TFormats {
  TCharFormat Char;
  TParFormat Par;
};

TFormats ChooseFormats(int32_t id, TDoc* doc) {
  TFormats f;
  TCommandEnvironment& env = CommandEnvironment();
  if (env.MouseMode() == kMouseModeBrush && IsFormatBrushCommand(id)) {
    if (!env.GetBrushFormats(f.Char, f.Par)) f = {};
    return f;
  }
  if (doc != nullptr && doc->SelectedShapes.empty()) {
    f.Char = doc->CurCharFormat;
    f.Par = doc->CurParFormat;
  }
  return f;
}

// The underline style each underline command stands for.
int32_t UnderlineOfCommand(int32_t id) {
  static constexpr int32_t kCodes[] = {1, 2, 3, 4, 7, 9, 11, 39, 43, 27};
  return kCodes[id - 12160];
}

bool FormattingState(int32_t id, TDoc* doc, uint8_t& state) {
  const bool paragraphRow = (id >= 9080 && id <= 9083) || id == 9180 || id == 9200 || id == 9220 ||
                            (id >= 9270 && id <= 9274) || (id >= 9320 && id <= 9322);
  const bool charRow = id == 12120 || id == 12140 || id == 12170 || id == 12171 || id == 12210 ||
                       id == 12215 || id == 12285 || (id >= 12160 && id <= 12169) || id == 12180 ||
                       id == 12200;
  if (!paragraphRow && !charRow) return false;
  const TFormats f = ChooseFormats(id, doc);
  const TParFormat p = f.Par;
  const TCharFormat& c = f.Char;
  if (id >= 9080 && id <= 9083) {
    state = p.Alignment == ParUnset8 ? 2 : On(id == 9080 + p.Alignment);
  } else if (id == 9180 || id == 9200 || id == 9220) {
    const int32_t spacing = id == 9180 ? 240 : id == 9200 ? 360 : 480;
    if (p.LineSpacing == ParUnset16 || p.LineRule == ParUnset16) state = 2;
    else state = On(p.LineRule == 1 && p.LineSpacing == spacing);
  } else if (id >= 9270 && id <= 9274) {
    const int8_t values[] = {p.KeepNext, p.KeepLines, p.PageBreakBefore, p.WidowControl, p.Contextual};
    state = Toggle(values[id - 9270], ParUnset8);
  } else if (id >= 9320 && id <= 9322) {
    if (p.List == ParUnset32) {
      state = 2;
    } else if (p.List == 0) {
      state = 0;
    } else {
      const TAutoList* list = doc != nullptr ? doc->ListByNumber(p.List) : nullptr;
      if (list == nullptr) state = 0;
      else if (id == 9322) state = On(list->SingleLevel == 0);
      else if (p.ListLevel == ParUnset8) state = 2;
      else state = On(id == 9320 ? list->IsBulletLevel(p.ListLevel) : list->IsNumberedLevel(p.ListLevel));
    }
  } else if (id >= 12160 && id <= 12169) {
    state = c.Underline == CharUnset ? 2 : On(c.Underline == UnderlineOfCommand(id));
  } else if (id == 12180 || id == 12200) {
    state = c.Script == CharUnset ? 2 : On(c.Script == (id == 12180 ? 1 : 2));
  } else {
    const int32_t value = id == 12120   ? c.Bold
                          : id == 12140 ? c.Italic
                          : id == 12170 ? c.Strike
                          : id == 12171 ? c.DoubleStrike
                          : id == 12210 ? c.SmallCaps
                          : id == 12215 ? c.AllCaps
                                        : c.Shadow;
    state = Toggle(value, CharUnset);
  }
  return true;
}

// The picture rows: every selected picture maps to one command of a group; all on the same one
// check it, pictures that differ give 2, none gives 0.
int32_t PictureWrapCommand(const TShape& s) {
  using W = TShapeProps::TWrapStyle;
  switch (s.Props.WrapStyle) {
    case W::Inline: return 15081;
    case W::TopBottom: return 15083;
    case W::Square: return 15082;
    case W::None: {
      const int32_t behind = s.Props.GetProp(954);
      return behind != kShapePropUnset && behind >= 1 ? 15084 : 15085;
    }
    case W::Tight: return 15086;
    case W::Through: return 15087;
  }
  return 0;
}

int32_t PicturePositionCommand(const TShape& s) {
  if (s.Props.WrapStyle == TShapeProps::TWrapStyle::Inline) return 0;
  const int32_t vertical = s.Props.GetProp(914);
  return vertical == 2 || vertical == 3 ? 15096 : 15095;
}

int32_t PictureAlignCommand(const TShape& s) {
  using W = TShapeProps::TWrapStyle;
  const W w = s.Props.WrapStyle;
  if (w != W::Square && w != W::Tight && w != W::Through) return 0;
  if (s.Props.GetProp(912) != 0 || s.Props.GetProp(914) != 0) return 0;
  const int32_t h = s.Props.GetProp(911), v = s.Props.GetProp(913);
  if (h < 1 || h > 3 || v < 1 || v > 3) return 0;
  return 15097 + (h - 1) * 3 + (v - 1);
}

bool PictureState(int32_t id, TDoc* doc, uint8_t& state) {
  int32_t (*commandOf)(const TShape&) = nullptr;
  if (id >= 15081 && id <= 15087) commandOf = PictureWrapCommand;
  else if (id == 15095 || id == 15096) commandOf = PicturePositionCommand;
  else if (id >= 15097 && id <= 15105) commandOf = PictureAlignCommand;
  else return false;
  state = 0;
  if (doc == nullptr) return true;
  std::vector<TShape*> pictures;
  doc->GetSelectedShapes(&pictures, nullptr, 1);
  if (pictures.empty()) return true;
  const int32_t first = commandOf(*pictures.front());
  for (const TShape* s : pictures)
    if (commandOf(*s) != first) {
      state = 2;
      return true;
    }
  state = On(first == id);
  return true;
}

// A header or footer edited in place that belongs to an earlier section (shown here linked).
bool EditsLinkedHeaderFooter(TDoc& doc) {
  const TField* field = doc.HeaderFooterInPlace;
  if (field == nullptr) return false;
  for (const auto& section : doc.Sections)
    for (const TField* own : section->HeaderFooter)
      if (own == field) return false;
  return true;
}

// Rows that read the target document; false when the id is none of them.
bool DocumentState(int32_t id, TDoc* doc, uint8_t& state) {
  static const std::vector<int32_t> kRows = {290,  875,  5350, 6170, 6171, 6172, 6173, 6174, 7200,
                                             7300, 7340, 8100, 8101, 8102, 8120, 15088};
  if (std::find(kRows.begin(), kRows.end(), id) == kRows.end()) return false;
  state = 0;
  if (doc == nullptr) return true;
  switch (id) {
    case 290: state = On(doc->PrintPreview); break;
    case 875: state = On(doc->AutoHyphenation != 0); break;
    case 5350: state = On(doc->HasLockedRanges()); break;
    case 6170: state = On(doc->View.ZoomMode == zmPageWidth); break;
    case 6171: state = On(doc->View.ZoomMode == zmTextWidth); break;
    case 6172: state = On(doc->View.ZoomMode == zmWholePage); break;
    case 6173: state = On(doc->View.ZoomMode == zmTwoPages); break;
    case 6174: state = On(doc->View.ZoomMode == zmFixed && doc->ZoomPercent == 100); break;
    case 7200: state = On(doc->HeaderFooterInPlace != nullptr); break;
    case 7300: state = On(doc->IsDocFlagSet(kDocFlagBodyTextHidden)); break;
    case 7340: state = On(EditsLinkedHeaderFooter(*doc)); break;
    case 8100: state = On(doc->ViewMode == vmDraft); break;
    case 8101: state = On(doc->ViewMode == vmPrintLayout); break;
    case 8102: state = On(doc->ViewMode == vmDraftWrapped); break;
    case 8120: state = On(doc->Spotlight); break;
    case 15088: state = On(doc->WrapEditShape != nullptr); break;
  }
  return true;
}

// The Control Board's two 16-bit tool masks (one per board).
uint16_t ToolMask(int32_t board) {
  const uint32_t masks = GetOptions().View.CBDisabledTabs;
  return static_cast<uint16_t>(board == 0 ? masks & 0xFFFF : masks >> 16);
}

// Rows that read the program's options; false when the id is none of them.
bool OptionState(int32_t id, uint8_t& state) {
  const TOptions& o = GetOptions();
  const TViewOptions& v = o.View;
  const TViewSettings& bars = NormalViewSettings();
  if (id == 825) state = On(SpellOption(opt::SpellAsYouType));
  else if (id == 828) state = On(SpellOption(opt::SpellUnderline));
  else if (id == 3485) state = On(InternalOption(opt::InternalVadureVaviCollects));
  else if (id == 3486) state = On(InternalOption(opt::InternalVadureVaviPlainText));
  else if (id == 3675) state = On(InternalOption(opt::InternalFindToolInstead));
  else if (id >= 4230 && id <= 4242) state = On(o.Internal.NavObjType == id - 4230);
  else if (id == 4534 || id == 4535) state = On(InternalOption(opt::InternalBookmarksByName) == (id == 4534));
  else if (id == 5315 || id == 5316) state = On(InternalOption(opt::InternalIndexAlphabetical) == (id == 5315));
  else if (id == 5800) state = On(!EditOption(opt::EditInstancesOff));
  else if (id == 5801) state = On(InternalOption(opt::InternalInstancesExact));
  else if (id == 5802) state = On(EditOption(opt::EditEnterSelectsInstances));
  else if (id == 5803) state = On(!InternalOption(opt::InternalInstancePreviewsOff));
  else if (id == 6000) state = On(ViewOption(opt::ViewSpecialSymbols));
  else if (id == 6020) state = On(ViewOption(opt::ViewMarginBorders));
  else if (id == 6060) state = On(bars.Ruler);
  else if (id == 6065) state = On(bars.VerRuler);
  else if (id >= 6070 && id <= 6072) state = On(v.Toolbars == id - 6070);
  else if (id >= 6075 && id <= 6077) state = On(GetOptionsHolder().GetToolbarAlign() == id - 6075);
  else if (id == 6078 || id == 6079) state = On(v.ToolbarStyle == id - 6078);
  else if (id == 6080) state = On(bars.ScrollBars == 1 || bars.ScrollBars == 3);
  else if (id == 6081) state = On(bars.ScrollBars == 2 || bars.ScrollBars == 3);
  else if (id == 6100) state = On(v.DocBar);
  else if (id >= 6120 && id <= 6125) state = On(v.DocBarAlign == id - 6120);
  else if (id == 6140) state = On(bars.StatusBar);
  else if (id >= 6420 && id <= 6435) state = On(((ToolMask(0) | ToolMask(1)) >> (id - 6420) & 1) == 0);
  else if (id >= 6436 && id <= 6449) state = 1;
  else if (id >= 6450 && id <= 6465) state = On((ToolMask(0) >> (id - 6450) & 1) != 0);
  else if (id == 6500) state = On(v.ControlBoard);
  else if (id >= 6505 && id <= 6507) state = On(v.CBAlign == id - 6505);
  else if (id == 6510) state = On(ViewOption(opt::ViewHoverPreviews));
  else if (id >= 6520 && id <= 6528) state = On(v.DocMap_Lvls == id - 6520);
  else if (id >= 6560 && id <= 6564) state = On(v.DocMap_FntSize == id - 6560);
  else if (id == 8110) state = On(ViewOption(opt::ViewWhiteSpaceHidden));
  else if (id == 16100) state = On(ViewOption(opt::ViewGridlines));
  else return false;
  return true;
}

// The find window's options: whole words only without wildcards.
bool FindState(int32_t id, uint8_t& state) {
  if (id < 3670 || id > 3672) return false;
  const uint32_t bits = CommandEnvironment().FindOptions();
  if (id == 3670) state = On((bits & kFindWholeWords) != 0 && (bits & kFindWildcards) == 0);
  else if (id == 3671) state = On((bits & kFindExact) != 0);
  else state = On((bits & kFindWildcards) != 0);
  return true;
}

// Header rows over the rows of the selection: all, none or a mix.
bool HeaderRowState(int32_t id, TDoc* doc, uint8_t& state) {
  if (id != cmd::HeaderRows) return false;
  state = 0;
  if (doc == nullptr || !GetCommandManager().IsEnabled(id)) return true;
  std::vector<TTableRow*> rows;
  TDocRange table;
  doc->GetCurrentTableRows(rows, table);
  const int32_t first = doc->HasSelection() ? doc->Selection->GetRange(0)->Start.Par : doc->Caret.Par;
  const int32_t last = doc->HasSelection() ? doc->Selection->LastRange->End.Par : doc->Caret.Par;
  const TTableRow* firstRow = doc->GetRowProps(first);
  const TTableRow* lastRow = doc->GetRowProps(last);
  bool on = false, off = false, inside = false;
  for (const TTableRow* row : rows) {
    if (row == firstRow) inside = true;
    if (!inside) continue;
    (row->HeaderRow != 0 ? on : off) = true;
    if (row == lastRow) break;
  }
  state = on && off ? 2 : On(on);
  return true;
}

}  // namespace

uint8_t TCommandManager::GetCheckState(int32_t id) {
  TCommandEnvironment& env = CommandEnvironment();
  TDoc* doc = GetCommandTargetDoc();
  uint8_t state = 0;
  if (id >= 700 && id <= 706) return On(env.MouseMode() == id - 700);
  if (id == 15830) return On(env.MouseMode() == kMouseModeBrush);
  if (id == 7000) return On(env.FullScreen());
  if (FormattingState(id, doc, state) || PictureState(id, doc, state) || DocumentState(id, doc, state) ||
      OptionState(id, state) || FindState(id, state) || HeaderRowState(id, doc, state))
    return state;
  // The rest is kept by the window, the command bars, the Control Board and the shell.
  return std::min<uint8_t>(env.CheckState(id), 2);
}

}  // namespace qv
