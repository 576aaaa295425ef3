#include "commands/font_format_clipboard.h"

#include "commands/command_environment_services.h"
#include "commands/paragraph_command_services.h"

namespace qv {

TFontFormatClipboard& FontFormatClipboard() {
  static TFontFormatClipboard clipboard;
  return clipboard;
}

bool TCommandEnvironment::FormatCopied(bool paragraph) {
  return paragraph ? ParFormatClipboard().Filled : FontFormatClipboard().Filled;
}

}  // namespace qv
