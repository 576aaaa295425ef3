#include "commands/name_checks.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/edit_command_services.h"
#include "document/doc.h"
#include "document/field_index.h"
#include "foundation/text/code_pages.h"
#include "foundation/text/word_delimiters.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr size_t kClipNameLimit = 128;
const char16_t* const kReservedBookmark = u"_PictureBullets";

bool IsBookmarkRefused(uint8_t c) {
  static constexpr uint8_t kQuotes[] = {34, 39, 96, 132, 145, 146, 147, 148, 171, 187};
  if (c == '_') return false;
  return WordDelimiters[c] || std::find(std::begin(kQuotes), std::end(kQuotes), c) != std::end(kQuotes);
}

bool IsClipRefused(uint8_t c) {
  static constexpr uint8_t kRefused[] = {34, 42, 47, 58, 60, 62, 63, 91, 92, 93, 123, 124, 125, 132, 147, 148, 171, 187};
  return std::find(std::begin(kRefused), std::end(kRefused), c) != std::end(kRefused);
}

// The first character of the text whose byte in the system code page the test refuses; empty
// when there is none.
std::u16string FirstRefused(const std::u16string& text, bool (*refused)(uint8_t)) {
  for (char16_t c : text) {
    const std::u16string one(1, c);
    const std::string bytes = WideToCodePage(one, DefaultCodePage);
    if (bytes.size() == 1 && refused(static_cast<uint8_t>(bytes[0]))) return one;
  }
  return {};
}

std::u16string Lower(std::u16string text) {
  for (char16_t& c : text)
    if (c < 128) c = static_cast<char16_t>(std::tolower(c));
  return text;
}

void Refuse(const std::string& format, const std::u16string& arg = {}) {
  ShowWarning(FormatMessageText(format, {WideToUtf8(arg)}));
}

}  // namespace

bool CheckBookmarkName(const std::u16string& text) {
  if (text.empty()) {
    Refuse("Please specify a name for the bookmark.");
    return false;
  }
  if (Lower(text) == Lower(kReservedBookmark)) {
    Refuse("\"%s\" is a reserved bookmark name. Please choose another name.", text);
    return false;
  }
  std::u16string name = text;
  std::replace(name.begin(), name.end(), u' ', u'_');
  if (const std::u16string c = FirstRefused(name, IsBookmarkRefused); !c.empty()) {
    Refuse("Bookmark names cannot contain the following character:\r\r%s", c);
    return false;
  }
  if (name.front() >= u'0' && name.front() <= u'9') {
    Refuse("Bookmark names must begin with a letter.");
    return false;
  }
  TCommandEnvironment& env = CommandEnvironment();
  if (TDoc* doc = env.ActiveDoc()) {
    doc->RebuildFieldIndex();
    const int32_t index = doc->FindBookmarkName(name);
    if (index >= 0) {
      EditCommandServices().SetCurrentBookmark(doc->FieldIndex().Bookmarks[static_cast<size_t>(index)].Field);
      env.UpdateInterfaceState();
      Refuse("Bookmark \"%s\" already exists. Please choose another name.", name);
      return false;
    }
  }
  return true;
}

bool CheckClipName(const std::u16string& text) {
  if (text.empty()) {
    Refuse("Please specify a non-blank clip name.");
    return false;
  }
  if (text.size() > kClipNameLimit) {
    Refuse("The clip name is too long.");
    return false;
  }
  if (const std::u16string c = FirstRefused(text, IsClipRefused); !c.empty()) {
    Refuse("The clip name contains invalid character: \"%s\"", c);
    return false;
  }
  TEditCommandServices& clips = EditCommandServices();
  const std::filesystem::path current(clips.CurrentClip());
  const std::u16string wanted = Lower(text + Utf8ToWide(current.extension().string()));
  const std::u16string currentName = Lower(Utf8ToWide(current.filename().string()));
  for (const std::string& clip : clips.ClipsOfFolder()) {
    const std::u16string name = Lower(Utf8ToWide(std::filesystem::path(clip).filename().string()));
    if (name != wanted || name == currentName) continue;
    Refuse("A clip with same name (\"%s\") is already present in the current clip folder. Please choose a "
           "different name.",
           text);
    return false;
  }
  return true;
}

}  // namespace qv
