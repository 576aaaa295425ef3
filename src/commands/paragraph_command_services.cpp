#include "commands/paragraph_command_services.h"

#include <utility>

#include "foundation/base/service_slot.h"

namespace qv {

void RegisterParagraphCommandServices(std::unique_ptr<TParagraphCommandServices> services) {
  RegisterService(std::move(services));
}
TParagraphCommandServices& ParagraphCommandServices() { return Service<TParagraphCommandServices>(); }

TParFormatClipboard& ParFormatClipboard() {
  static TParFormatClipboard clipboard;
  return clipboard;
}

void CopyParFormatToClipboard(const TParFormat& format, const std::string& text) {
  TParFormatClipboard& clipboard = ParFormatClipboard();
  clipboard.Filled = true;
  clipboard.Format = format;
  clipboard.Text = text;
}

void ClearParFormatClipboard() { ParFormatClipboard() = TParFormatClipboard{}; }

}  // namespace qv
