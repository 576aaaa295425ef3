#include "layout/hyphenation_service.h"
#include "layout/inline_shape_service.h"

#include "foundation/base/service_slot.h"

namespace qv {

THyphenationService& GetHyphenationService() { return *ServiceSlot<THyphenationService>(); }

void SetHyphenationService(std::unique_ptr<THyphenationService> service) {
  RegisterService(std::move(service));
}

TInlineShapeService& GetInlineShapeService() { return *ServiceSlot<TInlineShapeService>(); }

void SetInlineShapeService(std::unique_ptr<TInlineShapeService> service) {
  RegisterService(std::move(service));
}

}  // namespace qv
