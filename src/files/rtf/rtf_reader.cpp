#include "files/rtf/rtf_reader.h"

#include "files/open_context.h"
#include "foundation/base/exceptions.h"

namespace qv {

// Stand-in until the RTF reader lands: RTF files are refused with a clear message.
void ReadRtf(TOpenContext& context) {
  throw Exception("Reading RTF documents is not available yet.");
}

}  // namespace qv
