#pragma once
// A font of a test's own, built by the sfnt builder and added for the process as a portable
// copy's font folder adds its fonts; removed again at the end of its scope. A font manager that
// exists learns of the change both times, as it does when the system's fonts change.
#include <string>

#include "foundation/fonts/font_manager.h"
#include "foundation/fonts/sfnt_builder.h"
#include "platform/gfx/font.h"
#include "support/test_env.h"

namespace qvtest {

class OwnFont {
 public:
  explicit OwnFont(const TSfntFont& font) : path_(MakeTempDir("ownfont") + "/f.ttf") {
    WriteFile(path_, SfntFile(font));
    added_ = plat::AddFontFile(path_);
    if (added_ && qv::FontManager() != nullptr) qv::FontManager()->FontsChanged();
  }
  ~OwnFont() {
    if (!added_) return;
    plat::RemoveFontFile(path_);
    if (qv::FontManager() != nullptr) qv::FontManager()->FontsChanged();
  }
  OwnFont(const OwnFont&) = delete;
  OwnFont& operator=(const OwnFont&) = delete;
  bool Added() const { return added_; }

 private:
  std::string path_;
  bool added_ = false;
};

}  // namespace qvtest
