#include "files/rtf/rtf_writer.h"

#include "files/output/output_layer.h"

namespace qv {

// Stand-in until the RTF writer lands: nothing is written and the save fails.
uint8_t WriteRtf(TSaveContext& context) { return 2; }

}  // namespace qv
