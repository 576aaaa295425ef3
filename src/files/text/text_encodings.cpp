#include "files/text/text_encodings.h"

#include "foundation/text/code_pages.h"

namespace qv {

const char* const TextEncodingNames[TextEncodingCount] = {
    "UTF-8 (without BOM)",
    "UTF-8 (with BOM)",
    "Unicode",
    "Unicode (Big-Endian)",
    "Windows-1250 (Central European)",
    "Windows-1251 (Cyrillic)",
    "Windows-1252 (Western European)",
    "Windows-1253 (Greek)",
    "Windows-1254 (Turkish)",
    "Windows-1255 (Hebrew)",
    "Windows-1256 (Arabic)",
    "Windows-1257 (Baltic)",
};

const char* const LineEndStyleNames[LineEndStyleCount] = {"CR / LF", "CR only", "LF only",
                                                           "LF / CR"};

int32_t DefaultTextEncoding() {
  if (DefaultCodePage >= 1250 && DefaultCodePage <= 1257)
    return static_cast<int32_t>(DefaultCodePage) - 1246;
  return 6;
}

}  // namespace qv
