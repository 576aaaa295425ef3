// Operations on a list as a whole and on the lists that styles carry: a new list from an
// existing one keeping its levels' formatting, a changed definition carried to its paragraphs,
// bigger and smaller numbers, numbers turned into text, the refusal of direct formatting of
// style-controlled lists and the editing of a style's list format.
#include <algorithm>
#include <cmath>

#include "document/auto_list.h"
#include "document/content_tags.h"
#include "document/doc.h"
#include "document/edit_services.h"
#include "document/list_dialog_services.h"
#include "document/list_operations.h"
#include "document/object_edit_services.h"
#include "document/par.h"
#include "document/shape.h"
#include "document/styles.h"
#include "foundation/base/service_slot.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

int32_t LevelOf(const TAutoList& list, const TPar& par) {
  if (list.SingleLevel) return 0;
  const int32_t l = par.Format.ListLevel;
  return l == ParUnset8 ? 0 : std::clamp(l, 0, ListLevelCount - 1);
}

TDocRange WholePars(const TDoc& doc, int32_t first, int32_t last) {
  return TDocRange{{first, 0}, {last, doc.Par(last)->CharCount()}};
}

// The formatting of the paragraph's mark: the properties of the format at its end that are not
// the same over the paragraph's text (all of them for an empty paragraph).
TCharFormat MarkFormat(const TDoc& doc, int32_t par) {
  const TPar& p = *doc.Par(par);
  const int32_t n = p.CharCount();
  TCharFormat mark;
  doc.GetCharFormatAt(par, std::max(0, n - 1), mark);
  TCharFormat common = mark;
  for (int32_t i = 0; i + 1 < n; ++i) {
    TCharFormat f;
    p.GetCharFormatAt(i, f);
    IntersectCharFormat(common, f);
  }
  TCharFormat out = UnsetCharFormat;
  for (int k = 0; k < 23; ++k)
    if (n <= 1 || common[k] == CharUnset || common[k] != mark[k]) out[k] = mark[k];
  return out;
}

void SelectParagraphs(TDoc& doc, const std::vector<int32_t>& pars) {
  if (!doc.Selection) doc.Selection = AcquireFragment();
  doc.Selection->Clear();
  for (int32_t p : pars) {
    TDocRange r = WholePars(doc, p, p);
    r.End.Offset = std::max(0, r.End.Offset - 1);
    doc.Selection->InsertRange(doc.Selection->Count(), r);
  }
}

// Gives each paragraph of the list at the level (all levels: -1) the format.
void FormatLevelParagraphs(TDoc& doc, const TAutoList& list, int32_t level, const TParFormat& format) {
  for (int32_t p : ListParagraphs(doc, list, ListScope::All)) {
    if (level >= 0 && LevelOf(list, *doc.Par(p)) != level) continue;
    EditServices().FormatParagraphRange(doc, WholePars(doc, p, p), format);
  }
}

}  // namespace

void RegisterListDialogServices(std::unique_ptr<TListDialogServices> services) {
  RegisterService(std::move(services));
}
TListDialogServices& ListDialogServices() { return Service<TListDialogServices>(); }

void TDoc::GetListLevelFormats(const TAutoList& list, std::array<TParFormat, 9>& parFormats,
                               std::array<TCharFormat, 9>& markFormats) {
  std::array<bool, 9> seen{};
  parFormats.fill(UnsetParFormat);
  markFormats.fill(UnsetCharFormat);
  for (int32_t p : ListParagraphs(*this, list, ListScope::All)) {
    const size_t level = static_cast<size_t>(LevelOf(list, *Par(p)));
    TParFormat f = Par(p)->Format;
    f.Style = ParUnset16;
    f.List = ParUnset32;
    f.ListLevel = ParUnset8;
    const TCharFormat m = MarkFormat(*this, p);
    if (!seen[level]) {
      seen[level] = true;
      parFormats[level] = f;
      markFormats[level] = m;
    } else {
      IntersectParFormat(parFormats[level], f);
      IntersectCharFormat(markFormats[level], m);
    }
  }
}

bool TDoc::CanFormatListDirectly() {
  const int32_t index = CurParFormat.Style;
  if (index == ParUnset16 || !Styles) return true;
  const TStyle* style = Styles->Get(index);
  if (style == nullptr || !StyleHasListFormat(*style)) return true;
  const std::string text = FormatMessageText(
      "The list format of the selected paragraphs is style-controlled. Direct formatting cannot "
      "be used to override style-controlled list formatting.\r\rIf you want to change the list "
      "formatting characteristics of the selected paragraphs, please open the \"Format | "
      "Style...\" dialog, select the associated \"%s\" style, click \"Modify > List\", and adjust "
      "the list formatting characteristics of this style to your liking.\r\rWould you like to "
      "adjust the list formatting characteristics of the \"%s\" style right now?",
      {style->DisplayName, style->DisplayName});
  if (ShowMessageDlg(text, mkConfirmation, ButtonBit(mbYes) | ButtonBit(mbNo)) == mrYes)
    EditStyleListFormat(index);
  return false;
}

void TDoc::EditStyleListFormat(int32_t index) {
  const TStyle* style = Styles ? Styles->Get(index) : nullptr;
  if (style == nullptr) return;
  int32_t level = style->ParFmt.ListLevel;
  if (level == ParUnset8) level = style->IsHeading() ? style->BuiltIn - 1 : style->ParFmt.OutlineLevel;
  if (level == ParUnset8) level = 0;
  const TAutoList* list = ListByNumber(style->ParFmt.List);
  std::unique_ptr<TAutoList> chosen;
  const std::string caption = FormatMessageText("\"%s\" Style - List Format", {style->DisplayName});
  if (!ListDialogServices().EditListFormat(*this, list, level, caption, style->DisplayName, chosen)) return;
  auto styles = std::make_unique<TStyleList>(this);
  styles->Assign(*Styles);
  TStyle& changed = (*styles)[index];
  if (chosen) {
    TAutoList* target = ListByNumber(chosen->Number);
    if (target == nullptr) {
      int32_t number = 1;
      for (const auto& l : Lists) number = std::max(number, l->Number + 1);
      chosen->Number = number;
      Lists.push_back(std::move(chosen));
      target = Lists.back().get();
    } else if (!target->SameFormat(*chosen, 0)) {
      ObjectEditServices().FormatAutoList(*this, *target, *chosen);
    }
    changed.ParFmt.List = target->Number;
    changed.ParFmt.ListLevel = static_cast<int8_t>(std::clamp(level, 0, ListLevelCount - 1));
  } else {
    changed.ParFmt.List = 0;
    changed.ParFmt.ListLevel = ParUnset8;
  }
  ObjectEditServices().InstallStyles(*this, std::move(styles), {index});
}

void TDoc::ApplyListAsNew(TAutoList* list) {
  if (list == nullptr) return;
  std::array<TParFormat, 9> pars;
  std::array<TCharFormat, 9> marks;
  GetListLevelFormats(*list, pars, marks);
  auto copy = std::make_unique<TAutoList>();
  copy->Assign(*list);
  int32_t number = 1;
  for (const auto& l : Lists) number = std::max(number, l->Number + 1);
  copy->Number = number;
  Lists.push_back(std::move(copy));
  TAutoList* fresh = Lists.back().get();
  ApplyList(fresh);
  for (int32_t level = 0; level < fresh->UsedLevelCount(); ++level) {
    const size_t l = static_cast<size_t>(level);
    for (int32_t p : ListParagraphs(*this, *fresh, ListScope::All)) {
      if (LevelOf(*fresh, *Par(p)) != level) continue;
      if (!IsParFormatEmpty(pars[l])) EditServices().FormatParagraphRange(*this, WholePars(*this, p, p), pars[l]);
      if (!IsCharFormatEmpty(marks[l])) {
        const int32_t end = Par(p)->CharCount();
        ObjectEditServices().FormatCharacters(*this, {{p, std::max(0, end - 1)}, {p, end}}, marks[l]);
      }
    }
  }
}

void TDoc::ApplyListDefinitionChange(TAutoList* list, std::unique_ptr<TAutoList> definition) {
  if (list == nullptr || !definition) return;
  TAutoList old;
  old.Assign(*list);
  ObjectEditServices().FormatAutoList(*this, *list, *definition);
  const auto pars = ListParagraphs(*this, *list, ListScope::All);
  if (pars.empty()) return;
  TFragmentRef saved = Selection ? CloneFragment(*Selection) : AcquireFragment();
  SelectParagraphs(*this, pars);
  ApplyList(list);
  const bool singleChanged = old.SingleLevel != list->SingleLevel;
  for (int32_t level = 0; level < list->UsedLevelCount(); ++level) {
    const TParFormat& now = list->ListLevels[static_cast<size_t>(level)].ParFormat;
    const TParFormat& was = old.ListLevels[static_cast<size_t>(level)].ParFormat;
    if (!singleChanged && now.FirstIndent == was.FirstIndent && now.LeftIndent == was.LeftIndent) continue;
    TParFormat f = UnsetParFormat;
    f.FirstIndent = now.FirstIndent;
    f.LeftIndent = now.LeftIndent;
    FormatLevelParagraphs(*this, *list, list->SingleLevel ? -1 : level, f);
  }
  if (!Selection) Selection = AcquireFragment();
  Selection->Assign(*saved);
}

bool TDoc::ChangeListNumberSize(bool grow, bool perform) {
  std::vector<std::pair<TAutoList*, int32_t>> marked;
  std::vector<std::pair<int32_t, int32_t>> runs;
  if (Selection && Selection->Count() > 0) {
    for (int32_t i = 0; i < Selection->Count(); ++i) {
      const TDocRange& r = *Selection->GetRange(i);
      runs.emplace_back(std::max(0, r.Start.Par), std::min(r.End.Par, ParCount() - 1));
    }
  } else {
    runs.emplace_back(Caret.Par, Caret.Par);
  }
  for (const auto& [first, last] : runs)
    for (int32_t p = first; p <= last; ++p) {
      TAutoList* list = ListByNumber(Par(p)->Format.List);
      if (list == nullptr) continue;
      const std::pair<TAutoList*, int32_t> key{list, LevelOf(*list, *Par(p))};
      if (std::find(marked.begin(), marked.end(), key) == marked.end()) marked.push_back(key);
    }
  bool changed = false;
  for (const auto& [list, level] : marked) {
    const TListLevel& lv = list->ListLevels[static_cast<size_t>(level)];
    int32_t size = lv.CharFormat.Size;
    if (size == CharUnset) {
      for (int32_t p : ListParagraphs(*this, *list, ListScope::All)) {
        if (LevelOf(*list, *Par(p)) != level) continue;
        TCharFormat f;
        GetCharFormatAt(p, std::max(0, Par(p)->CharCount() - 1), f);
        if (f.Size == CharUnset) continue;
        size = size == CharUnset ? f.Size : grow ? std::max(size, f.Size) : std::min(size, f.Size);
      }
    }
    if (size == CharUnset) size = 24;
    const int32_t step = std::max<int32_t>(4, static_cast<int32_t>(std::lround(size * 15 / 100.0)));
    const int32_t next = grow ? std::min(144, size + step) : std::max(8, size - step);
    if (next == size) continue;
    changed = true;
    if (!perform) continue;
    TCharFormat f = lv.CharFormat;
    f.Size = next;
    ObjectEditServices().FormatListLevel(*this, *list, level, f);
  }
  return changed;
}

void TDoc::ConvertListNumbersToText(TAutoList* list) {
  if (list == nullptr) return;
  RenumberLists();
  for (int32_t p : ListParagraphs(*this, *list, ListScope::All)) {
    TPar& par = *Par(p);
    if (IsInMergedCell(p) || !par.NumberPar || par.NumberPar->Codes.Length == 0) continue;
    TMemory content;
    AppendCharFormatTags(content, DefaultCharFormat);
    const TMemory& number = par.NumberPar->Content;
    const int32_t start = content.Length;
    content.Append(number.Data, number.Length);
    // A picture bullet becomes a shape of its own, at the size it was drawn.
    for (int32_t off = start; off + ContentTagSize <= content.Length;) {
      if (!IsTagAt(content.Data, content.Length, off)) {
        ++off;
        continue;
      }
      const TContentTag tag = ReadTagAt(content.Data, off);
      if (tag.Kind == ctInlineShape)
        if (const TShape* bullet = ShapeOfTag(tag)) {
          TShape* copy = CopyShape(*bullet);
          copy->Props.ScaleX = copy->Props.ScaleY = par.NumberPar->BulletScale;
          WriteTagValue(content.Data, off, TagRefOf(copy));
        }
      off += ContentTagSize;
    }
    const int32_t chars = par.NumberPar->CharCount();
    EditServices().InsertContent(*this, content, {p, 0}, StoryOfParagraph(p), 0);
    if (Caret.Par == p) Caret.Offset += chars;
  }
  const uint8_t keep = KeepIndentsOnListRemoval;
  KeepIndentsOnListRemoval = 1;
  RemoveList(list);
  KeepIndentsOnListRemoval = keep;
}

}  // namespace qv
