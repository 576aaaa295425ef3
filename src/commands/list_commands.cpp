// The list commands of the paragraph range: bullets, numbering and outlines from the galleries,
// the list dialog, the Control Board's lists tool, starting and resuming numbering, direct list
// formatting (mark size, bullet symbol and picture, removal), converting to a manual list and
// selecting a list or one of its levels.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/format_dialog_services.h"
#include "commands/paragraph_command_services.h"
#include "commands/paragraph_commands.h"
#include "document/auto_list.h"
#include "document/compound_fragment.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/doc_object_services.h"
#include "document/par.h"
#include "document/selection_services.h"
#include "document/styles.h"
#include "editing/edit_codes.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kBulletSound = 4100;
constexpr int32_t kListDialogCommand = 9315;
constexpr int32_t kCopyCommand = 3340;

TAutoList* CurrentList(const TDoc& doc) {
  const int32_t number = doc.CurParFormat.List;
  return number == ParUnset32 || number <= 0 ? nullptr : doc.ListByNumber(number);
}

// The level the current list's commands act at: 0 for a single-level list or a mixed level.
int32_t CurrentLevel(const TDoc& doc, const TAutoList& list) {
  const int32_t level = doc.CurParFormat.ListLevel;
  return list.SingleLevel != 0 || level == ParUnset8 ? 0 : std::clamp(level, 0, ListLevelCount - 1);
}

// The list's place in the document's list table: a copy numbered after the others.
TAutoList* AddListToDoc(TDoc& doc, const TAutoList& list, bool copyPictures) {
  auto copy = std::make_unique<TAutoList>();
  if (copyPictures) copy->AssignToDoc(list, &doc);
  else copy->Assign(list);
  int32_t number = 1;
  for (const auto& l : doc.Lists) number = std::max(number, l->Number + 1);
  copy->Number = number;
  doc.Lists.push_back(std::move(copy));
  return doc.Lists.back().get();
}

// A list of the document with the same format as the wanted one (which new list formatting then
// continues), else a copy of the wanted one added to the document.
// A list of the table with the wanted format that no paragraph and no style uses (one an undone
// command left behind), so that switching a list on and off does not grow the table.
TAutoList* UnusedListLike(const TDoc& doc, const TAutoList& wanted) {
  for (const auto& list : doc.Lists) {
    if (!list->SameFormat(wanted, 0) || doc.IsListOfStyle(list.get())) continue;
    bool used = false;
    for (int32_t p = 0; p < doc.ParCount() && !used; ++p) used = doc.Par(p)->Format.List == list->Number;
    if (!used) return list.get();
  }
  return nullptr;
}

TAutoList* MatchingOrNewList(TDoc& doc, const TAutoList& wanted, const TCompoundFragment* fragment,
                             bool copyPictures) {
  if (TAutoList* found = doc.FindListToContinue(&wanted, fragment)) return found;
  if (TAutoList* unused = UnusedListLike(doc, wanted)) return unused;
  return AddListToDoc(doc, wanted, copyPictures);
}

void ApplyList(TDoc& doc, TAutoList* list) { RunEdit(doc, ecApplyList, {list}); }
void RemoveList(TDoc& doc) { RunEdit(doc, ecRemoveListFormat, {}); }

// Whether the gallery's list is wanted rather than removing the current list.
bool GalleryListWanted(const TParRun& run, int32_t kind) {
  if ((run.Manager.Flags & TCommandManager::cmGalleryFromToolbar) != 0) return true;
  const TDoc& doc = run.Doc;
  if (doc.CurParFormat.List == ParUnset32) return false;  // the selection mixes lists
  const TAutoList* list = CurrentList(doc);
  if (list == nullptr) return true;
  const int32_t level = CurrentLevel(doc, *list);
  if (kind == lkBulleted) return !list->IsBulletLevel(level);
  if (kind == lkNumbered) return !list->IsNumberedLevel(level);
  return list->SingleLevel != 0;
}

// Bullets (9320), Numbering (9321), Outline list (9322).
void GalleryList(TParRun& run, int32_t kind) {
  TDoc& doc = run.Doc;
  if (!doc.CanFormatListDirectly()) return;
  std::vector<std::unique_ptr<TAutoList>> gallery;
  int32_t selected = -1;
  FormatDialogServices().LoadListGallery(kind, gallery, selected);
  const bool valid = selected >= 0 && selected < static_cast<int32_t>(gallery.size()) &&
                     gallery[static_cast<size_t>(selected)] != nullptr;
  if (valid && GalleryListWanted(run, kind)) {
    const TAutoList& chosen = *gallery[static_cast<size_t>(selected)];
    ApplyList(doc, MatchingOrNewList(doc, chosen, run.Fragment.get(), kind == lkBulleted));
  } else {
    RemoveList(doc);
  }
  if (kind == lkBulleted) CommandEnvironment().PlayEventSound(kBulletSound);
}

// The paragraphs of the fragment, each once, in order.
std::vector<int32_t> ParagraphsOf(const TDoc& doc, const TCompoundFragment* fragment) {
  std::vector<int32_t> pars;
  if (fragment == nullptr) return pars;
  for (int32_t i = 0; i < fragment->Count(); ++i) {
    const TDocRange& r = *fragment->GetRange(i);
    for (int32_t p = std::max(r.Start.Par, 0); p <= r.End.Par && p < doc.ParCount(); ++p)
      if (std::find(pars.begin(), pars.end(), p) == pars.end()) pars.push_back(p);
  }
  std::sort(pars.begin(), pars.end());
  return pars;
}

// Writes into each level of the list the first-line and left indents that all the list's
// paragraphs of that level in the range agree on, so that the dialog shows the indents in use.
void PrepareLevelIndents(TDoc& doc, TAutoList& list, const std::vector<int32_t>& pars) {
  for (int32_t level = 0; level < list.UsedLevelCount(); ++level) {
    bool found = false, agree = true;
    int16_t first = 0, left = 0;
    for (int32_t p : pars) {
      const TParFormat& f = doc.Par(p)->Format;
      const int32_t parLevel = list.SingleLevel != 0 ? 0 : f.ListLevel;
      if (f.List != list.Number || parLevel != level) continue;
      if (!found) {
        first = f.FirstIndent;
        left = f.LeftIndent;
        found = true;
      } else if (f.FirstIndent != first || f.LeftIndent != left) {
        agree = false;
      }
    }
    if (!found || !agree) continue;
    TParFormat& target = list.ListLevels[static_cast<size_t>(level)].ParFormat;
    target.FirstIndent = first;
    target.LeftIndent = left;
  }
}

// The paragraphs of the current story whose list is the list (and, at level >= 0, whose level is
// that level), each whole.
TFragmentRef ListParagraphsFragment(const TDoc& doc, const TAutoList& list, int32_t level, int32_t from) {
  TFragmentRef fragment = AcquireFragment();
  fragment->SetCount(0);
  const int32_t story = doc.StoryOfParagraph(std::clamp(doc.Caret.Par, 0, doc.ParCount() - 1));
  const int32_t first = std::max(from, doc.FirstParagraphOfStory(story));
  for (int32_t p = first; p <= doc.LastParagraphOfStory(story); ++p) {
    const TParFormat& f = doc.Par(p)->Format;
    if (f.List != list.Number) continue;
    if (level >= 0 && list.SingleLevel == 0 && f.ListLevel != level) continue;
    fragment->InsertRange(fragment->Count(), TDocRange{{p, 0}, {p, doc.ParLength(p)}});
  }
  return fragment;
}

// 9315: the list dialog on the selection's list.
void ListDialog(TParRun& run) {
  run.OwnEnd = true;
  TDoc& doc = run.Doc;
  TAutoList* list = doc.CurParFormat.List == ParUnset32 ? nullptr : CurrentList(doc);
  std::unique_ptr<TAutoList> backup;
  if (list != nullptr) {
    backup = std::make_unique<TAutoList>();
    backup->Assign(*list);
    TFragmentRef all;
    const TCompoundFragment* range = run.Fragment.get();
    if (!doc.HasSelection()) {
      all = ListParagraphsFragment(doc, *list, -1, 0);
      range = all.get();
    }
    if ((list->SingleLevel & 0x10) == 0) PrepareLevelIndents(doc, *list, ParagraphsOf(doc, range));
  }
  auto restore = [&] {
    if (list != nullptr && backup) list->Assign(*backup);
  };
  std::unique_ptr<TAutoList> chosen;
  bool wholeList = false;
  if (!doc.CanFormatListDirectly() ||
      !FormatDialogServices().ExecuteListDialog(doc, list, "List", 11, chosen, wholeList)) {
    restore();
    return;
  }
  restore();
  if (chosen != nullptr && list != nullptr && chosen->SameFormat(*list, 0)) return;
  if (chosen == nullptr) {
    RemoveList(doc);
  } else if (wholeList && list != nullptr) {
    RunEdit(doc, ecChangeListDefinition, {list, chosen.get()});
  } else {
    ApplyList(doc, MatchingOrNewList(doc, *chosen, run.Fragment.get(), true));
  }
}

// The Control Board's lists tool (9330-9335).
void ListsTool(TParRun& run) {
  TDoc& doc = run.Doc;
  TParagraphCommandServices& tool = ParagraphCommandServices();
  TAutoList* highlighted = tool.HighlightedList(doc);
  std::unique_ptr<TAutoList> chosen;
  bool wholeList = false;
  switch (run.Id) {
    case 9330: tool.SelectHighlightedList(); return;
    case 9331:
      if (highlighted == nullptr) return;
      if (doc.IsListOfStyle(highlighted)) {
        ShowInfo("Sorry but you cannot include the document selection in a style-controlled list.");
        return;
      }
      if (doc.CanFormatListDirectly()) ApplyList(doc, highlighted);
      SelectionServices().Redraw(doc);
      return;
    case 9332: {
      const int32_t filter = tool.ListFilterKind();
      const int32_t kind = filter >= 0 ? filter : highlighted != nullptr ? highlighted->GetKind() : lkBulleted;
      std::vector<std::unique_ptr<TAutoList>> gallery;
      int32_t selected = -1;
      FormatDialogServices().LoadListGallery(kind, gallery, selected);
      const TAutoList* start =
          selected >= 0 && selected < static_cast<int32_t>(gallery.size()) ? gallery[static_cast<size_t>(selected)].get() : nullptr;
      if (FormatDialogServices().ExecuteListDialog(doc, start, "New List Format", filter < 0 ? 1 : 5, chosen, wholeList) &&
          chosen != nullptr)
        ApplyList(doc, AddListToDoc(doc, *chosen, true));
      return;
    }
    case 9333:
      if (highlighted == nullptr) return;
      RunEdit(doc, ecApplyListAsNew, {highlighted});
      tool.ClearListHighlight(doc);
      SelectionServices().Redraw(doc);
      return;
    case 9334: {
      if (highlighted == nullptr) return;
      auto backup = std::make_unique<TAutoList>();
      backup->Assign(*highlighted);
      PrepareLevelIndents(doc, *highlighted, ParagraphsOf(doc, ListParagraphsFragment(doc, *highlighted, -1, 0).get()));
      const bool ok = FormatDialogServices().ExecuteListDialog(doc, highlighted, "Edit List Format", 1, chosen, wholeList);
      highlighted->Assign(*backup);
      if (ok && chosen != nullptr) RunEdit(doc, ecChangeListDefinition, {highlighted, chosen.get()});
      return;
    }
    case 9335:
      if (highlighted == nullptr) return;
      RunEdit(doc, ecRemoveList, {highlighted});
      SelectionServices().Redraw(doc);
      return;
    default: return;
  }
}

// 9350 restarts the numbering at the caret's paragraph; 9351 joins the nearest earlier list of
// the same number format.
void StartOrResume(TParRun& run) {
  TDoc& doc = run.Doc;
  TAutoList* current = CurrentList(doc);
  if (current == nullptr) return;
  TAutoList* target = nullptr;
  const int32_t first = std::clamp(doc.GetFirstSelectedPar(), 0, doc.ParCount() - 1);
  const int32_t story = doc.StoryOfParagraph(first);
  if (run.Id == 9350) {
    target = AddListToDoc(doc, *current, false);
  } else {
    for (int32_t p = first - 1; p >= doc.FirstParagraphOfStory(story) && target == nullptr; --p) {
      TAutoList* other = doc.ListByNumber(doc.Par(p)->Format.List);
      if (other != nullptr && other != current && other->SameFormat(*current, lcNumberFormatsOnly)) target = other;
    }
    if (target == nullptr) return;
  }
  run.Changes.List = target->Number;
  const std::vector<int32_t> selected = ParagraphsOf(doc, run.Fragment.get());
  if (doc.HasSelection() && selected.size() > 1) return;  // the common end applies it
  const int32_t from = run.Id == 9350 ? doc.Caret.Par : doc.FirstParagraphOfStory(story);
  TFragmentRef rest = ListParagraphsFragment(doc, *current, -1, from);
  for (int32_t i = 0; i < rest->Count(); ++i) rest->GetRange(i)->End.Offset = 1;
  if (rest->Count() > 0) RunEdit(doc, ecFormatParagraphs, {rest.get(), nullptr, &run.Changes});
  run.Changes = UnsetParFormat;
}

// The style that owns the list: the first selected paragraph's when it does, else the first.
const TStyle* OwningStyle(const TDoc& doc, const TAutoList& list) {
  if (!doc.Styles) return nullptr;
  const int32_t first = std::clamp(doc.GetFirstSelectedPar(), 0, doc.ParCount() - 1);
  const TStyle* own = doc.Styles->Get(doc.Par(first)->Format.Style);
  if (own != nullptr && own->ParFmt.List == list.Number) return own;
  for (int32_t i = 0; i < doc.Styles->Count(); ++i)
    if (const TStyle* s = doc.Styles->Get(i); s != nullptr && s->ParFmt.List == list.Number) return s;
  return nullptr;
}

// A style's list cannot be formatted directly: offers that style's list formatting instead.
bool RefuseStyleList(TParRun& run, const TAutoList& list) {
  TDoc& doc = run.Doc;
  if (!doc.IsListOfStyle(&list)) return false;
  const TStyle* style = OwningStyle(doc, list);
  const std::string name = style != nullptr ? style->DisplayName : std::string();
  const std::string text = FormatMessageText(
      "The \"%s\" command formats lists directly. Accordingly, it cannot be used on the selected "
      "bullets/numbers because these are style-controlled. In Quorvane, direct list formatting "
      "cannot be used to override the list formatting characteristics of a style.\r\rIf you want "
      "to change the list formatting characteristics of the selected paragraphs, please open the "
      "\"Format | Style...\" dialog, select the associated \"%s\" style, click \"Modify > List\", "
      "and adjust the list formatting characteristics of this style to your liking.\r\rWould you "
      "like to adjust the list formatting characteristics of the \"%s\" style right now?",
      {run.Manager.GetCommandName(run.Id), name, name});
  if (ShowMessageDlg(text, mkConfirmation, ButtonBit(mbYes) | ButtonBit(mbNo)) == mrYes && style != nullptr)
    doc.EditStyleListFormat(doc.Styles->IndexOfName(style->Name));
  return true;
}

// 9530 and 9531: a new bullet symbol or picture at the level.
void ChangeBullet(TParRun& run, TAutoList& list, int32_t level) {
  TDoc& doc = run.Doc;
  auto copy = std::make_unique<TAutoList>();
  copy->Assign(list);
  copy->Number = list.Number;
  TFormatDialogServices& dialogs = FormatDialogServices();
  const bool ok = run.Id == 9530 ? dialogs.ChooseBulletSymbol(doc, *copy, level)
                                 : dialogs.ChooseBulletPicture(doc, *copy, level);
  if (!ok) return;
  if (doc.IsListWithinSelection(&list, ParUnset32)) RunEdit(doc, ecChangeListDefinition, {&list, copy.get()});
  else ApplyList(doc, AddListToDoc(doc, *copy, true));
}

void DirectListFormat(TParRun& run) {
  run.OwnEnd = true;
  TDoc& doc = run.Doc;
  TAutoList* list = CurrentList(doc);
  if (list == nullptr || RefuseStyleList(run, *list)) return;
  const int32_t level = CurrentLevel(doc, *list);
  if (run.Id >= 9370 && run.Id <= 9373) {
    uint8_t grow = run.Id == 9371 || run.Id == 9373 ? 1 : 0;
    RunEdit(doc, ecChangeListNumberSize, {&grow});
  } else if (run.Id == 9530 || run.Id == 9531) {
    ChangeBullet(run, *list, level);
  } else if (run.Id == 9535 || run.Id == 9536) {
    RemoveList(doc);
  } else {
    run.Manager.Execute(kListDialogCommand);
  }
  // A caret whose paragraph lost its list mark is placed again.
  if (doc.Caret.Par >= 0 && doc.Caret.Par < doc.ParCount() && doc.Par(doc.Caret.Par)->Format.List <= 0) {
    SelectionServices().SetCaret(doc, doc.Caret.Par, doc.Caret.Offset, 0, -1);
    SelectionServices().Redraw(doc);
  }
}

// 9532: the picture bullet of the first selected paragraph's level goes to the clipboard, as the
// one picture of a hidden document that Copy takes.
void SendBulletPictureToClipboard(TParRun& run) {
  run.OwnEnd = true;
  TDoc& doc = run.Doc;
  const int32_t first = std::clamp(doc.GetFirstSelectedPar(), 0, doc.ParCount() - 1);
  const TParFormat& f = doc.Par(first)->Format;
  const TAutoList* list = doc.ListByNumber(f.List);
  if (list == nullptr) return;
  const int32_t level = list->SingleLevel != 0 || f.ListLevel == ParUnset8 ? 0 : std::clamp<int32_t>(f.ListLevel, 0, 8);
  TShape* bullet = list->ListLevels[static_cast<size_t>(level)].PictureBullet;
  if (bullet == nullptr) return;
  auto hidden = std::make_unique<TDoc>(true);
  TShape* picture = DocObjectServices().CopyShapeToDoc(bullet, hidden.get());
  if (picture == nullptr) return;
  TPar& par = *hidden->Par(0);
  par.Content.Clear();
  AppendContentTag(par.Content, ctInlineShape, TagRefOf(picture));
  AppendContentTag(par.Content, ctSpecialChar, scParagraphEnd);
  par.RebuildCodes();
  par.ContentChanged();
  hidden->SetSelection(0, 0, 0, 1);
  TCommandTargetScope target(hidden.get());
  run.Manager.Execute(kCopyCommand);
}

// A paragraph that ends a table cell is selected without its cell mark when another paragraph
// of the cell is not of the list (for the whole list also: not of the paragraph's level), so that
// the selection does not take in the cell.
void DropSharedCellMarks(const TDoc& doc, const TAutoList& list, bool levelMatters, TCompoundFragment& fragment) {
  for (int32_t i = 0; i < fragment.Count(); ++i) {
    TDocRange& r = *fragment.GetRange(i);
    const int32_t p = r.Start.Par;
    const int32_t length = doc.ParLength(p);
    if (length == 0 || doc.Par(p)->CodeAt(length - 1) != scCellEnd) continue;
    TDocRange cell{};
    doc.GetCellRange(p, cell);
    const TParFormat& own = doc.Par(p)->Format;
    for (int32_t q = cell.Start.Par; q <= cell.End.Par && q < doc.ParCount(); ++q) {
      const TParFormat& other = doc.Par(q)->Format;
      if (other.List != list.Number || (levelMatters && other.ListLevel != own.ListLevel)) {
        r.End.Offset = length - 1;
        break;
      }
    }
  }
}

// 9562-9565: selects the current list, or its current level, in the current story.
void SelectList(TParRun& run) {
  run.OwnEnd = true;
  TDoc& doc = run.Doc;
  TAutoList* list = CurrentList(doc);
  if (list == nullptr) return;
  const bool level = run.Id == 9564 || run.Id == 9565;
  TFragmentRef fragment = ListParagraphsFragment(doc, *list, level ? CurrentLevel(doc, *list) : -1, 0);
  if (fragment->Count() == 0) return;
  DropSharedCellMarks(doc, *list, !level, *fragment);
  doc.NormalizeFragments(*fragment);
  const TDocRange extent = fragment->GetExtent();
  doc.SetSelection(extent.Start.Par, extent.Start.Offset, extent.End.Par, extent.End.Offset);
  doc.Selection->Assign(*fragment);
  doc.Caret = extent.End;
  doc.SelectionChanged();
  SelectionServices().Redraw(doc);
  CommandEnvironment().RequestInterfaceUpdate();
}

}  // namespace

bool RunListCommand(TParRun& run) {
  const int32_t id = run.Id;
  if (id >= 9320 && id <= 9322) GalleryList(run, id - 9320);
  else if (id == 9315) ListDialog(run);
  else if (id >= 9330 && id <= 9335) ListsTool(run);
  else if (id == 9350 || id == 9351) StartOrResume(run);
  else if ((id >= 9370 && id <= 9373) || id == 9530 || id == 9531 || id == 9535 || id == 9536 || id == 9560 || id == 9561)
    DirectListFormat(run);
  else if (id == 9380 || id == 9381) {
    if (TAutoList* list = CurrentList(run.Doc)) RunEdit(run.Doc, ecConvertListNumbers, {list});
  } else if (id == 9532) SendBulletPictureToClipboard(run);
  else if (id >= 9562 && id <= 9565) SelectList(run);
  else return false;
  return true;
}

}  // namespace qv
