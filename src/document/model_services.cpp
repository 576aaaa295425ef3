// Registration and default answers of the services the document model asks of other parts.
#include <utility>

#include "document/doc.h"
#include "document/doc_services.h"
#include "document/edit_services.h"
#include "document/layout_services.h"
#include "document/shape_binding.h"
#include "foundation/base/service_slot.h"
#include "foundation/text/word_delimiters.h"

namespace qv {

namespace {

bool IsSentenceEnd(char16_t c) { return c == u'.' || c == u'!' || c == u'?'; }

}  // namespace

void RegisterDocLayoutServices(std::unique_ptr<TDocLayoutServices> services) {
  RegisterService(std::move(services));
}
TDocLayoutServices& DocLayoutServices() { return Service<TDocLayoutServices>(); }

void TDocLayoutServices::ReleasePages(TDoc& doc) { doc.Pages.clear(); }

void RegisterDocServices(std::unique_ptr<TDocServices> services) {
  RegisterService(std::move(services));
}
TDocServices& DocServices() { return Service<TDocServices>(); }

std::string TDocServices::UserName() { return {}; }

void TDocServices::FirstSentence(TDoc& doc, int32_t par, int32_t& start, int32_t& end) {
  TPar& p = *doc.Par(par);
  BuildParagraphWideText(p);
  const std::u16string& w = p.WideText;
  const int32_t n = static_cast<int32_t>(w.size());
  start = 0;
  end = n;
  for (int32_t i = 0; i < n; ++i) {
    if (!IsSentenceEnd(w[static_cast<size_t>(i)])) continue;
    const char16_t next = i + 1 < n ? w[static_cast<size_t>(i) + 1] : u' ';
    if (next == u' ' || next < 32) {
      end = i + 1;
      return;
    }
  }
}

bool TDocServices::IsWordDelimiterByte(uint8_t b) { return WordDelimiters[b]; }

bool TDocServices::IsApostropheLike(uint8_t b, int32_t /*language*/) { return b == '\'' || b == 0x92; }

void RegisterShapeBinding(std::unique_ptr<TShapeBinding> binding) {
  RegisterService(std::move(binding));
}
TShapeBinding& ShapeBinding() { return Service<TShapeBinding>(); }

void TPostActions::Reset() {
  FirstPage = PostActionNone;
  FirstPar = PostActionNone;
  FirstParOffset = 0;
  RestoreRange = TDocRange{};
  Caret = TDocPosition{};
  HasCaret = false;
  Selection.reset();
  ClearSelection = false;
  ScrollTarget = PostActionNone;
}

}  // namespace qv
