#include "files/text/text_conv_services.h"

#include "foundation/base/service_slot.h"

namespace qv {
namespace {

struct TRememberedAnswer {
  std::string FileName;
  int32_t Encoding = -1;
};

TRememberedAnswer& Remembered() {
  static auto* answer = new TRememberedAnswer();
  return *answer;
}

}  // namespace

void RegisterTextConvServices(std::unique_ptr<TTextConvServices> service) {
  RegisterService(std::move(service));
}

TTextConvServices& TextConvServices() { return Service<TTextConvServices>(); }

void RememberTextConvAnswer(const std::string& fileName, int32_t encoding) {
  Remembered() = {fileName, encoding};
}

int32_t RememberedTextConvAnswer(const std::string& fileName) {
  const TRememberedAnswer& r = Remembered();
  return (!fileName.empty() && r.FileName == fileName) ? r.Encoding : -1;
}

void ForgetTextConvAnswer() { Remembered() = {}; }

}  // namespace qv
