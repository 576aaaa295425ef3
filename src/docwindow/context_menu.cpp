// The context menu from the keyboard, and the spelling popup shown on a misspelt (or doubled) word:
// its suggestions, dictionaries, AutoCorrect entries and languages, followed by the context
// submenus of what the selection touches.
#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "document/compound_fragment.h"
#include "document/doc.h"
#include "document/field.h"
#include "document/par.h"
#include "docwindow/caret.h"
#include "docwindow/doc_form.h"
#include "docwindow/doc_window_services.h"
#include "foundation/base/exceptions.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/language_manager.h"
#include "foundation/ui/command_popup.h"
#include "foundation/ui/menu_builder.h"
#include "platform/controls/menu.h"
#include "platform/win/messages.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

// Spellcheck options: check as you type, underline misspellings.
constexpr uint16_t kSpellAsYouType = 0x80;
constexpr uint16_t kSpellUnderline = 0x100;
// Commands of the spelling popup's items.
constexpr uint32_t kCmdSuggestionsEnd = 812;
constexpr uint32_t kCmdAddToDictionary = 816;
constexpr uint32_t kCmdEditDictionary = 817;
constexpr uint32_t kCmdAutoCorrectEnd = 818;
constexpr uint32_t kCmdLanguageEnd = 820;
constexpr int32_t kClipboardCommands[] = {3420, 3340, 3360, 3200};
constexpr size_t kHistoryLanguages = 6;

bool SpellingShown() {
  const uint16_t flags = GetOptions().Spellcheck.Flags2;
  return (flags & kSpellAsYouType) != 0 && (flags & kSpellUnderline) != 0;
}

std::u16string DoubleAmpersands(const std::u16string& text) {
  std::u16string out;
  for (char16_t c : text) {
    out.push_back(c);
    if (c == u'&') out.push_back(u'&');
  }
  return out;
}

std::u16string FileTitle(const std::string& path) {
  std::string name = path.substr(path.find_last_of("/\\") == std::string::npos ? 0 : path.find_last_of("/\\") + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.erase(dot);
  return DoubleAmpersands(Utf8ToWide(name));
}

// Inserts an item before the item of the command, wherever that item lies in the menu.
plat::MenuItem* InsertBefore(plat::Menu& menu, uint32_t command, std::unique_ptr<plat::MenuItem> item) {
  plat::MenuItem* at = menu.FindCommand(command);
  if (at == nullptr || at->Parent() == nullptr) return nullptr;
  plat::MenuItem* parent = at->Parent();
  return &parent->Insert(parent->IndexOf(at), std::move(item));
}

// The dictionary items: a submenu of the user dictionaries when there are several, "..." after
// the editing item of a single one.
void AddDictionaryItems(plat::Menu& menu, TDoc& doc, const TSpellingWord& word) {
  const size_t count = word.UserDictionaries.size();
  for (plat::MenuItem* item : {menu.FindCommand(kCmdAddToDictionary), menu.FindCommand(kCmdEditDictionary)}) {
    if (item == nullptr || item->Parent() != &menu.Items()) continue;
    const bool edit = item->Command == kCmdEditDictionary;
    if (count == 1 && edit) {
      item->Caption += u"...";
      continue;
    }
    if (count < 2) continue;
    for (size_t i = 0; i < count; ++i) {
      plat::MenuItem& sub = item->Add(FileTitle(word.UserDictionaries[i]));
      sub.Tag = static_cast<intptr_t>(i);
      const int32_t index = static_cast<int32_t>(i);
      TDoc* d = &doc;
      sub.OnClick = [edit, index, d](plat::MenuItem&) {
        if (edit) DocWindowServices().EditUserDictionary(index);
        else DocWindowServices().AddToUserDictionary(*d, index);
      };
    }
  }
}

void AddSuggestionItems(plat::Menu& menu, TDoc& doc, const TSpellingWord& word) {
  TDoc* d = &doc;
  for (size_t i = 0; i < word.Suggestions.size(); ++i) {
    const std::u16string caption =
        DoubleAmpersands(CodePageToWide(word.Suggestions[i], static_cast<uint32_t>(word.CodePage)));
    const int32_t index = static_cast<int32_t>(i);
    auto replace = std::make_unique<plat::MenuItem>(caption);
    replace->Tag = -1 - index;
    replace->OnClick = [d, index](plat::MenuItem&) { DocWindowServices().ReplaceWithSuggestion(*d, index); };
    InsertBefore(menu, kCmdSuggestionsEnd, std::move(replace));
    auto autoCorrect = std::make_unique<plat::MenuItem>(caption);
    autoCorrect->Tag = -1 - index;
    autoCorrect->OnClick = [d, index](plat::MenuItem&) { DocWindowServices().AddAutoCorrectEntry(*d, index); };
    InsertBefore(menu, kCmdAutoCorrectEnd, std::move(autoCorrect));
  }
}

// The first languages of the language history, then the word's own when it is not among them.
void AddLanguageItems(plat::Menu& menu, TDoc& doc, const TSpellingWord& word) {
  if (menu.FindCommand(kCmdLanguageEnd) == nullptr) return;
  TLangManager& langs = GetLangManager();
  std::vector<int32_t> ids(langs.RecentLangs.begin(),
                           langs.RecentLangs.begin() + std::min(kHistoryLanguages, langs.RecentLangs.size()));
  if (std::find(ids.begin(), ids.end(), word.Language) == ids.end()) ids.push_back(word.Language);
  TDoc* d = &doc;
  for (int32_t id : ids) {
    auto item = std::make_unique<plat::MenuItem>(Utf8ToWide(langs.GetLangName(id)));
    item->Tag = -id;
    item->SetChecked(id == word.Language);
    item->OnClick = [d, id](plat::MenuItem&) { DocWindowServices().SetWordLanguage(*d, id); };
    InsertBefore(menu, kCmdLanguageEnd, std::move(item));
  }
}

void AddSeparator(plat::Menu& menu) {
  if (menu.Items().Count() > 0) menu.Items().Add(u"-");
}

// Appends copies of a cached context popup's items (its before-popup event runs first).
bool AppendPopup(plat::Menu& menu, const char* name) {
  plat::PopupMenu* popup = DocWindowServices().ContextPopup(name);
  if (popup == nullptr) return false;
  if (popup->OnPopup) popup->OnPopup(*popup, popup->Items());
  AppendMenuItemCopies(menu.Items(), popup->Items());
  return true;
}

// The context submenus of what the selection (or the caret) touches, each group after a
// separator.
void AppendContextGroups(plat::Menu& menu, TDoc& doc) {
  const TSelectedFieldLists& lists = doc.SelectedFields;
  const bool fields = !lists.Requested.empty() || !lists.Hyperlinks.empty() || !lists.Tocs.empty() ||
                      !lists.Indexes.empty();
  if (fields) {
    AddSeparator(menu);
    if (!lists.Requested.empty()) AppendPopup(menu, "FIELD");
    if (!lists.Hyperlinks.empty()) AppendPopup(menu, "HLINK");
    if (!lists.Tocs.empty()) AppendPopup(menu, "TOC");
    if (!lists.Indexes.empty()) AppendPopup(menu, "INDEX");
  }
  if (!lists.Footnotes.empty() || !lists.Endnotes.empty()) {
    AddSeparator(menu);
    const char* name = !lists.Footnotes.empty() && !lists.Endnotes.empty() ? "FOOTENDNOTE"
                       : !lists.Footnotes.empty()                          ? "FOOTNOTE"
                                                                           : "ENDNOTE";
    AppendPopup(menu, name);
  }
  if (!lists.Headings.empty()) {
    AddSeparator(menu);
    AppendPopup(menu, "HEADING");
  }
  const TPar& par = *doc.Par(doc.Caret.Par);
  if (par.Format.List != ParUnset32 && par.Format.List != 0) {
    AddSeparator(menu);
    AppendPopup(menu, par.HasNumberedLevel() ? "NLIST" : "BLIST");
  }
  if (!lists.DropCaps.empty()) {
    AddSeparator(menu);
    AppendPopup(menu, "DROPCAP");
  }
}

}  // namespace

void TDocForm::WMContextMenu() {
  if (!IsReady() || ToolbarCustomizing || Handle() == 0) return;
  TDoc& doc = *doc_;
  if (doc.HasSelection()) {
    const TCompoundFragment& sel = *doc.Selection;
    const std::span<const TDocRange> ranges(sel.GetRange(0), static_cast<size_t>(sel.Count()));
    if (!PositionInFragmentInclusive(doc.Caret, ranges)) {
      TDocPosition last = sel.LastRange->End;
      if (last.Offset > 0) --last.Offset;
      MoveCaretKeepSelection(last);
    }
  }
  UpdateCaretMetrics(doc);
  CalcCaretPoint(doc);
  const TDocView& v = doc.View;
  const plat::Point caret = DocToClient({v.CaretX, v.CaretY});
  const plat::Point topLeft = plat::ClientToScreen(Handle(), {0, caret.y});
  const plat::Point bottom = plat::ClientToScreen(Handle(), {0, caret.y + v.CaretHeight});
  ContextMenuExclusion = {topLeft.x, topLeft.y, DocWindowServices().WorkAreaRight(), bottom.y};
  Flags |= dfKeyboardContextMenu;
  const int32_t x = caret.x + 1;
  const int32_t y = caret.y + std::max(1, v.CaretHeight / 2);
  plat::SendMessage(Handle(), plat::WM_RBUTTONDOWN, plat::MK_RBUTTON, plat::MakeLParam(x, y));
  Flags &= ~dfKeyboardContextMenu;
  ContextMenuExclusion = {};
}

bool TDocForm::IsMisspelledSelection() {
  if (doc_ == nullptr || !SpellingShown()) return false;
  TDoc& doc = *doc_;
  if (doc.Selection->Count() != 1) return false;
  const TDocRange range = *doc.Selection->GetRange(0);
  if (range.Start.Par != range.End.Par) return false;
  const TDocPosition saved = doc.Caret;
  MoveCaretKeepSelection(range.End);
  TSpellingWord word;
  const bool checked = DocWindowServices().CheckWordAtCaret(doc, word);
  const bool misspelt = checked && (word.Misspelt || word.NoSpellchecker) && word.Language != 1024 &&
                        word.Length > 0 && word.Par == range.Start.Par && word.Start == range.Start.Offset &&
                        word.Start + word.Length == range.End.Offset;
  if (!misspelt) MoveCaretKeepSelection(saved);
  return misspelt;
}

void TDocForm::ShowSpellingMenu(const TDocPosition& position) {
  if (!IsReady() || Handle() == 0) return;
  TDoc& doc = *doc_;
  TDocWindowServices& services = DocWindowServices();
  TSpellingWord word;
  if (!services.CheckWordAtCaret(doc, word)) return;
  // The band the menu keeps clear of: the checked word's line from the window's left edge to the
  // work area's right edge; the menu opens just right of and below the word's end.
  TDocPosition edge;
  MakePosition(word.Par, word.Start, edge);
  MoveCaretKeepSelection(edge);
  CalcCaretPoint(doc);
  const int32_t top = DocToClient({0, doc.View.CaretY}).y;
  MakePosition(word.Par, word.Start + word.Length, edge);
  MoveCaretKeepSelection(edge);
  CalcCaretPoint(doc);
  const plat::Point end = DocToClient({doc.View.CaretX, doc.View.CaretY + doc.View.CaretHeight});
  const plat::Point bandTop = plat::ClientToScreen(Handle(), {0, top});
  const plat::Point bandBottom = plat::ClientToScreen(Handle(), {0, end.y});
  const plat::Rect band{bandTop.x, bandTop.y, services.WorkAreaRight(), bandBottom.y};
  const plat::Point at = plat::ClientToScreen(Handle(), {end.x + 1, end.y + 1});

  const char* name = word.Doubled                 ? "DBLDWRD"
                     : word.NoSpellchecker        ? "NOSPELLCHECKER"
                     : word.Suggestions.empty()   ? "MSPLTWRD_NOSUGG"
                                                  : "MSPLTWRD";
  auto menu = std::make_unique<plat::PopupMenu>();
  try {
    LoadMenuResource(*menu, name);
  } catch (const EConvertError&) {
    // A damaged resource leaves the popup as it was: the word's own items still show.
  }
  AddDictionaryItems(*menu, doc, word);
  AddSuggestionItems(*menu, doc, word);
  AddLanguageItems(*menu, doc, word);
  if (doc.HasSelection()) {
    AddSeparator(*menu);
    for (int32_t id : kClipboardCommands)
      menu->Items().Add(services.CommandNameWithShortcut(id), static_cast<uint32_t>(id));
  }
  SetCaretPos(doc, position, 0);
  TField* field = doc.GetFieldAt(position, nullptr, {}, 255, fkField);
  doc.UpdateSelectedFieldLists(field != nullptr ? field->FieldType : 255);
  AppendContextGroups(*menu, doc);
  if (!doc.HasSelection()) ShowCaret();
  services.UpdateMenuState(*menu);
  services.NoteUserActivity();
  services.ShowSpellingPopup(std::move(menu), at, band, !word.Suggestions.empty());
}

}  // namespace qv
