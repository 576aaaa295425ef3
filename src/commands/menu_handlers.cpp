// Click handlers of menu items made at run time: the spelling popup menus of the document
// window, the language menus and the bookmark lists.
#include <string>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "document/char_format.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/field_index.h"
#include "editing/edit_codes.h"
#include "foundation/text/language_manager.h"

namespace qv {

namespace {

constexpr uint8_t kNameChangeLanguage = 39;
// The document flag set while the selection is made by the program, not the user.
constexpr int32_t kDocFlagProgramSelection = 17;
constexpr int32_t kSpellReplaceMode = 5;

int32_t IndexOfTag(const plat::MenuItem& item) { return static_cast<int32_t>(-item.Tag); }

}  // namespace

std::vector<std::u16string> BookmarkListNames(TDoc& doc) {
  doc.RebuildFieldIndex();
  const TFieldIndex& index = doc.FieldIndex();
  const auto& list = InternalOption(opt::InternalBookmarksByName) ? index.SortedBookmarks : index.Bookmarks;
  std::vector<std::u16string> names;
  for (const TBookmarkName& b : list) names.push_back(b.Name);
  return names;
}

void TCommandManager::GoToBookmarkByIndex(int32_t index) {
  TDoc* doc = CommandEnvironment().ActiveDoc();
  if (doc == nullptr) return;
  const std::vector<std::u16string> names = BookmarkListNames(*doc);
  if (index >= 0 && index < static_cast<int32_t>(names.size()))
    doc->GoToBookmark(names[static_cast<size_t>(index)], false, nullptr);
}

void TCommandManager::AddWordToDictionaryClick(plat::MenuItem& sender) {
  CommandEnvironment().AddWordToDictionary(static_cast<int32_t>(sender.Tag));
}

void TCommandManager::EditDictionaryClick(plat::MenuItem& sender) {
  CommandEnvironment().EditDictionary(static_cast<int32_t>(sender.Tag));
}

void TCommandManager::ReplaceWithSuggestionClick(plat::MenuItem& sender) {
  TDoc* doc = GetCommandTargetDoc();
  if (doc == nullptr) return;
  TCommandEnvironment& env = CommandEnvironment();
  {
    TScopedDocFlag programSelection(*doc, kDocFlagProgramSelection);
    if (!env.SelectMisspeltWord(*doc)) return;
  }
  env.RunSpellcheck(*doc, kSpellReplaceMode, IndexOfTag(sender) - 1);
}

void TCommandManager::AddToAutoCorrectClick(plat::MenuItem& sender) {
  TDoc* doc = GetCommandTargetDoc();
  if (doc == nullptr) return;
  CommandEnvironment().AddSuggestionToAutoCorrect(IndexOfTag(sender) - 1);
  ReplaceWithSuggestionClick(sender);
}

void TCommandManager::SetLanguageClick(plat::MenuItem& sender) {
  TDoc* doc = GetCommandTargetDoc();
  if (doc == nullptr) return;
  const int32_t language = IndexOfTag(sender);
  TCharFormat change;  // only the language is set
  change.Language = language;
  uint8_t flags = 0;
  void* args[] = {nullptr, nullptr, &change, &flags};
  doc->OperationNameOverride = kNameChangeLanguage;
  doc->ExecuteEdit(ecFormatFont, args, 3);
  GetLangManager().AddRecentLang(language);
}

}  // namespace qv
