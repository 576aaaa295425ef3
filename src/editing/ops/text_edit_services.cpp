#include "editing/ops/text_edit_services.h"

#include <utility>

#include "foundation/base/service_slot.h"
#include "foundation/text/code_pages.h"

namespace qv {

namespace {

constexpr int32_t kFrench = 12;
constexpr int32_t kSpanish = 10;
constexpr int32_t kFrenchCanada = 0x0C0C;

void Mark(std::array<uint8_t, 256>& set, const char* chars) {
  for (const char* c = chars; *c != 0; ++c) set[static_cast<uint8_t>(*c)] = 1;
}

void MarkCodes(std::array<uint8_t, 256>& set, std::initializer_list<int> codes) {
  for (int c : codes) set[static_cast<size_t>(c)] = 1;
}

}  // namespace

TSmartSpaceSets DefaultSmartSpaceSets(int32_t language) {
  TSmartSpaceSets s;
  // Breaks, tabs, special spaces and the space itself belong to both sets.
  for (auto* set : {&s.Opening, &s.Closing}) {
    MarkCodes(*set, {2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 18, 19, 20, 32});
  }
  const int32_t user = UserLocaleLanguageId();
  const bool french = (language & 0x3FF) == kFrench && user != kFrenchCanada;
  if (french) {
    Mark(s.Opening, "#(*+-/=@[^_{~");
    MarkCodes(s.Opening, {132, 147});
    Mark(s.Closing, ")*+,-./;=@]^_}~");
    MarkCodes(s.Closing, {130, 148, 16});
  } else {
    Mark(s.Opening, "#$(*+-/=@[^_{~");
    MarkCodes(s.Opening, {132, 147, 171, 16});
    if ((user & 0x3FF) == kSpanish) MarkCodes(s.Opening, {161, 191});
    Mark(s.Closing, "!%)*+,-./:;?@]^_}~");
    MarkCodes(s.Closing, {130, 148, 187, 16});
  }
  if (french) s.QuoteStyle = 1;
  return s;
}

void RegisterTextEditServices(std::unique_ptr<TTextEditServices> services) {
  RegisterService(std::move(services));
}

TTextEditServices& TextEditServices() { return Service<TTextEditServices>(); }

void ForgetGoBackPlace() {
  TGoBackPlace& place = TextEditServices().GoBackPlace();
  place.Doc = nullptr;
  place.Selection.reset();
}

}  // namespace qv
