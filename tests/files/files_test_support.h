#pragma once
// Shared pieces of the files tests: a scripted message box, documents made from text, and
// saving through the output layer.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "files/output/output_layer.h"
#include "foundation/fonts/font_manager.h"
#include "foundation/ui/message_dlg_service.h"

namespace qvtest {

// Plays the user at the message box: records each text and answers by the script (Cancel when
// none is given).
class ScriptedBox : public qv::TMessageDlgService {
 public:
  std::vector<std::string> Texts;
  std::function<int32_t()> Answer;
  int32_t Show(const qv::TMessageDlgInfo& info) override {
    Texts.push_back(info.Text);
    return Answer ? Answer() : qv::mrCancel;
  }
};

inline std::string FilesDataPath(const std::string& name) {
  const char* base = std::getenv("QV_TEST_DATA");
  // QV_TEST_DATA names tests/data; the files tests keep their fixtures in tests/files/data.
  const std::filesystem::path tests =
      std::filesystem::path(base != nullptr ? base : "tests/data").parent_path();
  return (tests / "files" / "data" / name).string();
}

inline void EnsureFontManager() {
  if (qv::FontManager() == nullptr) qv::CreateFontManager(qv::TFontManagerSetup{{}, 0});
}

// The range of the whole main text.
inline qv::TDocRange MainTextRange(const qv::TDoc& doc) {
  qv::TDocRange r;
  const int32_t last = doc.LastParagraphOfStory(qv::stMain);
  r.Start = {0, 0, 0, 0};
  r.End = {last, doc.Par(last)->CharCount(), 0, 0};
  return r;
}

// The text of every main paragraph (without its mark), as the model decodes it.
inline std::vector<std::u16string> ParagraphTexts(qv::TDoc& doc) {
  std::vector<std::u16string> out;
  for (int32_t i = 0; i <= doc.LastParagraphOfStory(qv::stMain); ++i) {
    qv::TPar& par = *doc.Par(i);
    qv::BuildParagraphWideText(par);
    std::u16string text = par.WideText;
    if (!text.empty()) text.pop_back();
    // Special characters as the characters they show, so that texts read from Unicode and from
    // code pages (where bytes 150, 151 and 160 are special) compare.
    for (size_t k = 0; k < text.size(); ++k) {
      switch (par.CodeAt(static_cast<int32_t>(k))) {
        case qv::scEnDash: text[k] = u'\u2013'; break;
        case qv::scEmDash: text[k] = u'\u2014'; break;
        case qv::scNonBreakingSpace: text[k] = u'\u00A0'; break;
        default: break;
      }
    }
    out.push_back(text);
  }
  return out;
}

}  // namespace qvtest
