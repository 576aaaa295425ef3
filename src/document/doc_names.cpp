// Names for documents: the name of a new document and a file name proposed from the text.
#include <cstdio>
#include <string>

#include "document/doc.h"
#include "document/doc_services.h"
#include "foundation/text/code_pages.h"
#include "foundation/settings/options_holder.h"
#include "foundation/system/paths.h"

namespace qv {

namespace {

constexpr int32_t kMaxSuggestedLength = 100;

// Characters a suggested name does not begin with: blanks, quotes, dashes, bullets and the
// punctuation that opens or ends sentences.
bool IsUnusableLeadingChar(char16_t c) {
  static const std::u16string kUnusable =
      u" \u00A0\"'`\u2018\u2019\u201C\u201D\u00AB\u00BB-\u2013\u2014\u2022\u00B7*#.,;:!?()[]{}<>";
  return c < 32 || kUnusable.find(c) != std::u16string::npos;
}

bool IsInvalidFileNameChar(char16_t c) {
  return c == u'\\' || c == u'/' || c == u':' || c == u'*' || c == u'?' || c == u'"' ||
         c == u'<' || c == u'>' || c == u'|';
}

// Control characters (and, for file names, the characters file names cannot hold) become blanks;
// then the text is trimmed.
std::u16string CleanFileNameText(std::u16string text, bool title) {
  for (char16_t& c : text)
    if (c < 32 || (!title && IsInvalidFileNameChar(c))) c = u' ';
  const size_t first = text.find_first_not_of(u' ');
  if (first == std::u16string::npos) return {};
  const size_t last = text.find_last_not_of(u' ');
  return text.substr(first, last - first + 1);
}

std::u16string CutToLength(std::u16string text, size_t length) {
  if (text.size() <= length) return text;
  // A surrogate pair is not split.
  if (length > 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF) --length;
  return text.substr(0, length);
}

}  // namespace

std::string TDoc::MakeNewDocumentName() const {
  int32_t& counter = GetOptions().NewDocParams.NewDoc_Index;
  if (counter < 1 || counter > 99) counter = 1;
  const std::string folder = DocServices().FileDialogFolder();
  const char* ext = DocFormatExtension(FormatIndex);
  std::string name;
  // After 100 tries the try number takes the counter's place; the cap keeps a dispatcher that
  // claims every name open from looping for ever.
  for (int32_t tries = 0; tries < 100000; ++tries) {
    const int32_t number = tries < 100 ? counter : tries;
    if (tries < 100) counter = counter >= 99 ? 1 : counter + 1;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "Doc%.2d.%s", number, ext);
    name = folder + buffer;
    if (!DocServices().IsDocumentNameOpen(name)) break;
  }
  return name;
}

std::string TDoc::SuggestFileName(const std::string& givenName, bool title) {
  std::u16string text;
  const int32_t last = LastParagraphOfStory(stMain);
  for (int32_t i = FirstParagraphOfStory(stMain); i <= last && text.empty(); ++i) {
    TPar& p = *Par(i);
    if (p.CharCount() <= 1) continue;
    int32_t start = 0;
    int32_t end = 0;
    DocServices().FirstSentence(*this, i, start, end);
    if (end <= start) continue;
    BuildParagraphWideText(p);
    const int32_t n = static_cast<int32_t>(p.WideText.size());
    if (start >= n) continue;
    std::u16string sentence = p.WideText.substr(static_cast<size_t>(start),
                                                static_cast<size_t>(std::min(end, n) - start));
    size_t skip = 0;
    while (skip < sentence.size() && IsUnusableLeadingChar(sentence[skip])) ++skip;
    text = sentence.substr(skip);
  }
  text = CleanFileNameText(text, title);
  if (text.empty()) return givenName;
  if (title) return WideToUtf8(text);
  text = CleanFileNameText(CutToLength(text, kMaxSuggestedLength), false);
  return WideToUtf8(text) + ExtractFileExt(givenName);
}

}  // namespace qv
