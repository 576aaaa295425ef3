// The state of one menu item on each interface update: enabled, checked, default and visible,
// and the captions that follow the selection, the clipboard, the undo list and the options.
#include <algorithm>
#include <string>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_ids.h"
#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "commands/format_dialog_services.h"
#include "commands/menu_internal.h"
#include "commands/selection_objects.h"
#include "document/auto_list.h"
#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par_format.h"
#include "document/section.h"
#include "document/table_row.h"
#include "editing/operation.h"
#include "foundation/system/unit_startup.h"
#include "foundation/text/language_manager.h"
#include "foundation/ui/application.h"

namespace qv {

namespace {

bool Between(int32_t id, int32_t first, int32_t last) { return id >= first && id <= last; }

std::u16string Text(const std::string& s) { return InterfaceText(s); }

// The singular or the plural form with the count put in for "%d".
std::u16string Counted(size_t count, const char* one, const char* many) {
  if (count <= 1) return Text(one);
  std::string text = many;
  const size_t at = text.find("%d");
  if (at != std::string::npos) text.replace(at, 2, std::to_string(count));
  return Text(text);
}

// The rows whose checked state is the check state itself.
bool IsCheckRow(int32_t id) {
  static const int32_t kSingles[] = {290,  291,  825,  828,  875,  3485, 3486, 3675, 4534, 4535, 5315,
                                     5316, 6000, 6020, 6131, 6132, 6500, 6510, 7000, 7200, 7300, 7340,
                                     8110, 8120, 8125, 15088, 15095, 15096, 16100};
  if (std::find(std::begin(kSingles), std::end(kSingles), id) != std::end(kSingles)) return true;
  return Between(id, 700, 706) || Between(id, 3670, 3672) || Between(id, 5801, 5803) ||
         Between(id, 6070, 6072) || Between(id, 6075, 6079) || Between(id, 6120, 6125) ||
         Between(id, 6170, 6190) || Between(id, 6420, 6479) || Between(id, 6505, 6507) ||
         Between(id, 6520, 6528) || Between(id, 6560, 6564) || Between(id, 8100, 8102) ||
         Between(id, 8129, 8132) || Between(id, 9320, 9322);
}

// "&Undo" or "&Redo", with the name of the operation that would be undone or redone.
std::u16string UndoCaption(TCommandManager& manager, int32_t id, bool enabled) {
  const bool undo = id == cmd::Undo;
  std::u16string caption = undo ? u"&Undo" : u"&Redo";
  TDoc* doc = GetCommandTargetDoc();
  if (enabled && doc != nullptr) {
    const int32_t index = undo ? doc->UndoPosition : doc->UndoPosition + 1;
    if (index >= 0 && index < static_cast<int32_t>(doc->UndoList.size()))
      if (const auto* op = dynamic_cast<const TOperation*>(doc->UndoList[static_cast<size_t>(index)].get()))
        caption += u" " + DoubleAmpersands(Text(op->Name()));
  }
  return WithShortcut(manager, id, caption);
}

// The spacing captions follow whether the current paragraph has 240 twips before (after).
void SpacingCaption(TCommandManager& manager, plat::MenuItem& item, int32_t id) {
  TDoc* doc = GetCommandTargetDoc();
  const TParFormat p = doc != nullptr ? doc->CurParFormat : TParFormat{};
  const bool before = p.SpaceBefore == 240, after = p.SpaceAfter == 240;
  std::u16string caption;
  if (id == 9240) caption = before ? u"Remove Spacing &Before" : u"Add Spacing &Before";
  else if (id == 9243) caption = after ? u"Remove Spacing &After" : u"Add Spacing &After";
  else {
    item.Visible = p.SpaceBefore == p.SpaceAfter || (!before && !after);
    caption = before && after ? u"Remove &Spacing Before && After" : u"Add &Spacing Before && After";
  }
  item.Caption = WithShortcut(manager, id, caption);
}

// The note items name one note or several; the go-to items say which way they go.
bool NoteCaption(TDoc* doc, plat::MenuItem& item, int32_t id) {
  if (!(Between(id, 5057, 5058) || Between(id, 5063, 5064) || Between(id, 5075, 5076) ||
        Between(id, 5080, 5081) || Between(id, 5085, 5086)))
    return false;
  TSelectionObjects objects;
  if (doc != nullptr) objects = CollectSelectionObjects(*doc);
  const size_t footnotes = objects.Footnotes.size(), endnotes = objects.Endnotes.size();
  const int32_t story = doc != nullptr ? doc->StoryOfParagraph(std::clamp(doc->Caret.Par, 0, doc->ParCount() - 1)) : stMain;
  switch (id) {
    case 5057: item.Caption = Counted(endnotes, "&Convert To Footnote", "&Convert To Footnotes"); break;
    case 5058: item.Caption = Counted(footnotes, "&Convert To Endnote", "&Convert To Endnotes"); break;
    case 5063: item.Caption = Counted(footnotes, "&Delete Footnote", "&Delete Footnotes"); break;
    case 5064: item.Caption = Counted(endnotes, "&Delete Endnote", "&Delete Endnotes"); break;
    case 5085: item.Caption = Counted(footnotes, "Se&lect Footnote", "Se&lect Footnotes"); break;
    case 5086: item.Caption = Counted(endnotes, "Selec&t Endnote", "Selec&t Endnotes"); break;
    case 5075:
      item.Caption = story == stFootnotes ? u"&Go To Footnote Reference" : u"&Go To Footnote";
      break;
    case 5076: item.Caption = story == stEndnotes ? u"&Go To Endnote Reference" : u"&Go To Endnote"; break;
    case 5080:
      item.Caption = footnotes > 1 ? u"&Select Footnote References" : u"&Select Footnote Reference";
      break;
    case 5081:
      item.Caption = endnotes > 1 ? u"&Select Endnote References" : u"&Select Endnote Reference";
      break;
  }
  return true;
}

// The submenu heads whose captions count what the selection holds.
bool SubmenuCaption(TCommandManager& manager, TDoc* doc, plat::MenuItem& item, int32_t id) {
  if (!Between(id, 150200, 150226) && id != 150350 && id != 150340) return false;
  TSelectionObjects objects;
  if (doc != nullptr) objects = CollectSelectionObjects(*doc);
  auto shapes = [doc](int32_t kind) {
    return doc != nullptr ? static_cast<size_t>(std::max(0, doc->GetSelectedShapes(nullptr, nullptr, kind))) : 0;
  };
  switch (id) {
    case 150200: item.Caption = Counted(shapes(1), "Pic&ture", "Pic&tures (%d)"); break;
    case 150201: item.Caption = Counted(shapes(2), "Horizon&tal Line", "Horizon&tal Lines (%d)"); break;
    case 150202: item.Caption = Counted(objects.DropCaps.size(), "Drop Cap", "Drop Caps (%d)"); break;
    case 150205: item.Visible = manager.IsEnabled(15050); break;
    case 150210:
    case 150211: {
      const TAutoList* list = doc != nullptr && doc->CurParFormat.List > 0 ? doc->ListByNumber(doc->CurParFormat.List) : nullptr;
      const bool single = list != nullptr && list->SingleLevel != 0;
      if (id == 150210) item.Caption = single ? u"Bulleted &List" : u"Bulleted Outline &List";
      else item.Caption = single ? u"Numbered &List" : u"Numbered Outline &List";
      break;
    }
    case 150220: if (doc != nullptr) item.Caption = FieldMenuCaption(*doc, objects.Fields); break;
    case 150222: item.Caption = Counted(objects.Hyperlinks.size(), "&Hyperlink", "&Hyperlinks (%d)"); break;
    case 150224: item.Caption = Counted(objects.Footnotes.size(), "&Footnote", "&Footnotes (%d)"); break;
    case 150225: item.Caption = Counted(objects.Endnotes.size(), "&Endnote", "&Endnotes (%d)"); break;
    case 150226:
      item.Caption = Text("&Footnotes (" + std::to_string(objects.Footnotes.size()) + ") && Endnotes (" +
                          std::to_string(objects.Endnotes.size()) + ")");
      break;
    case 150340: {
      const int32_t selected = CommandEnvironment().DocBarSelectedCount();
      item.Visible = selected > 1;
      item.Caption = Text("Se&lected Documents (" + std::to_string(selected) + ")");
      break;
    }
    case 150350: item.Caption = Counted(objects.Headings.size(), "Heading", "Headings (%d)"); break;
    default: break;
  }
  return true;
}

// The cell alignment grid checks the cells' vertical and the paragraphs' alignment when both
// are the same over the selection; mixed values check nothing.
bool CellAlignmentIs(TDoc* doc, int32_t id) {
  if (doc == nullptr) return false;
  const int8_t horizontal = doc->CurParFormat.Alignment;
  if (horizontal == ParUnset8) return false;
  int32_t vertical = -1;
  auto visit = [&](int32_t par) {
    const TTableRow* row = doc->GetRowProps(par);
    const int32_t cell = doc->GetCellIndex(par);
    if (row == nullptr || cell < 0 || cell >= row->CellCount) return true;
    const int32_t v = row->Cells[static_cast<size_t>(cell)].VertAlign;
    if (vertical >= 0 && vertical != v) return false;
    vertical = v;
    return true;
  };
  if (doc->HasSelection()) {
    for (int32_t i = 0; i < doc->Selection->Count(); ++i)
      for (int32_t p = doc->Selection->GetRange(i)->Start.Par; p <= doc->Selection->GetRange(i)->End.Par; ++p)
        if (!visit(p)) return false;
  } else if (!visit(doc->Caret.Par)) {
    return false;
  }
  return vertical == (id - 16120) / 3 && horizontal == (id - 16120) % 3;
}

// "View Side by Side With" the one other open document, or the general caption.
std::u16string SideBySideCaption(TCommandManager& manager) {
  TCommandEnvironment& env = CommandEnvironment();
  if (env.SideBySide()) return WithShortcut(manager, 90400, u"Close Side by Side");
  const std::vector<TDoc*> docs = env.OpenDocuments();
  TDoc* active = env.ActiveDoc();
  if (docs.size() == 2) {
    const TDoc* other = docs[0] == active ? docs[1] : docs[0];
    std::string name = other->FileName;
    const size_t slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    return WithShortcut(manager, 90400, u"View Side by Side With \"" + EscapeCaption(name) + u"\"");
  }
  return WithShortcut(manager, 90400, u"View Side by Side With ...");
}

// Rows that set the item's caption, visibility or default from what the program holds.
bool ComputedRow(TCommandManager& manager, TDoc* doc, plat::MenuItem& item, int32_t id, bool popup) {
  TCommandEnvironment& env = CommandEnvironment();
  switch (id) {
    case 5200: item.Default = true; return true;
    case 15000: item.Default = popup && item.Enabled && !env.PictureDialogOpen(); return true;
    case 349: case 350: case 150315: case 150320: item.Visible = env.HasFolderHistory(); return true;
    case 646: case 150333: item.Visible = GetOptions().View.DocBarAlign == 0; return true;
    case 660: item.Caption = PortableMode ? u"Install to PC..." : u"Install to Removable Drive..."; return true;
    case 811: {
      std::u16string format = item.Caption;
      const size_t at = format.find(u"%s");
      if (at != std::u16string::npos)
        format.replace(at, 2, Text(GetLangManager().GetLangName(env.SpellcheckLanguage())));
      item.Caption = format;
      return true;
    }
    case 814: item.Visible = env.HasIgnoredWords(); return true;
    case 880: case 150330: item.Visible = manager.IsEnabled(880); return true;
    case 4510: case 4511:
      item.Visible = doc != nullptr && std::any_of(doc->Fields.begin(), doc->Fields.end(), [](const auto& f) {
                       return f->Kind == fkBookmark && f->Flags != 2;
                     });
      return true;
    case 4900:
    case 4930: {
      // Update needs a field whose result the program computes; Modify one the field dialog
      // edits.
      static const uint8_t kEvaluated[] = {10, 15, 16, 17, 18, 19, 20, 21, 22, 23, 26,
                                           27, 28, 29, 31, 32, 33, 37, 65, 66, 69, 72};
      TSelectionObjects objects;
      if (doc != nullptr) objects = CollectSelectionObjects(*doc);
      const int32_t type = objects.Fields.empty() ? -1 : objects.Fields.front()->FieldType;
      if (id == 4900)
        item.Visible = std::find(std::begin(kEvaluated), std::end(kEvaluated), type) != std::end(kEvaluated);
      else
        item.Visible = type >= 0 && FormatDialogServices().FieldDialogEditsType(type);
      return true;
    }
    case 6400: item.Caption = env.VadureVaviShown() ? u"&Hide" : u"&Show"; return true;
    case 12600: case 12601: case 12602: item.Visible = !GetLangManager().LangNames.empty(); return true;
    case 16150: {
      static const char16_t* kCaptions[] = {u"Delete Cells...", u"Delete Columns", u"Delete Rows", u"Delete Table"};
      const int32_t kind = doc != nullptr ? std::clamp(env.TableSelectionKind(*doc), 0, 3) : 0;
      item.Caption = kCaptions[kind];
      return true;
    }
    case 90400: item.Caption = SideBySideCaption(manager); return true;
    case 150310: case 150311: item.Visible = manager.IsEnabled(15650); return true;
    default: break;
  }
  if (Between(id, 1000, 1099)) {
    item.Default = popup && id == 1000 + env.DefaultDocumentFormat();
    return true;
  }
  if (Between(id, 15650, 15653)) {
    const TSection* section = doc != nullptr ? doc->SectionOfParagraph(doc->Caret.Par) : nullptr;
    item.SetChecked(item.Enabled && section != nullptr && section->Format.BreakKind == id - 15650);
    return true;
  }
  if (Between(id, 16120, 16128)) {
    item.Caption.clear();
    item.SetChecked(item.Enabled && CellAlignmentIs(doc, id));
    return true;
  }
  return NoteCaption(doc, item, id) || SubmenuCaption(manager, doc, item, id);
}

}  // namespace

void UpdateMenuItemState(TCommandManager& manager, plat::MenuItem& item) {
  const int32_t id = TagOf(item);
  if (id <= 0) return;  // no command; run-time list items keep their state
  item.Enabled = manager.IsEnabled(id);
  const bool popup = InPopupMenu(item);
  TDoc* doc = GetCommandTargetDoc();
  if (IsMenuMarker(id)) {
    item.Visible = false;
  } else if (IsCheckRow(id)) {
    item.SetChecked(manager.GetCheckState(id) == 1);
  } else if (id == 6060 || id == 6065 || id == 6080 || id == 6081 || id == 6100 || id == 6140) {
    item.SetChecked(!popup && manager.GetCheckState(id) == 1);
  } else if (id == 5800) {
    item.SetChecked(manager.GetCheckState(id) == 1);
    item.Default = true;
  } else if (id == 6133) {
    item.SetChecked(manager.GetCheckState(id) == 1);
    item.Visible = item.Enabled;
  } else if (id == cmd::Paste) {
    const int32_t variant = manager.GetPasteVariant();
    item.Caption = WithShortcut(manager, cmd::Paste, Text(TCommandManager::GetClipboardCommandCaption(variant)));
  } else if (Between(id, 3381, 3384)) {
    item.Visible = item.Enabled;
    item.Default = item.Enabled && id == manager.GetPasteVariant();
  } else if (id == cmd::Undo || id == cmd::Redo) {
    item.Caption = UndoCaption(manager, id, item.Enabled);
  } else if (id == 3720) {
    item.SetChecked(CommandEnvironment().InsertMode());
  } else if (id == 9240 || id == 9243 || id == 9246) {
    SpacingCaption(manager, item, id);
  } else if (Between(id, 15050, 15057) || id == 15089) {
    item.Visible = item.Enabled;
  } else {
    ComputedRow(manager, doc, item, id, popup);
  }
}

}  // namespace qv
