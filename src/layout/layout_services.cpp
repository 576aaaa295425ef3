#include "layout/hyphenation_service.h"
#include "layout/inline_shape_service.h"

namespace {

std::unique_ptr<THyphenationService>& Hyph() {
  static std::unique_ptr<THyphenationService> s = std::make_unique<THyphenationService>();
  return s;
}

std::unique_ptr<TInlineShapeService>& Shapes() {
  static std::unique_ptr<TInlineShapeService> s = std::make_unique<TInlineShapeService>();
  return s;
}

}  // namespace

THyphenationService& GetHyphenationService() { return *Hyph(); }

void SetHyphenationService(std::unique_ptr<THyphenationService> service) {
  Hyph() = service ? std::move(service) : std::make_unique<THyphenationService>();
}

TInlineShapeService& GetInlineShapeService() { return *Shapes(); }

void SetInlineShapeService(std::unique_ptr<TInlineShapeService> service) {
  Shapes() = service ? std::move(service) : std::make_unique<TInlineShapeService>();
}
