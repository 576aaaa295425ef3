#include "files/save_dispatcher.h"

#include "document/doc.h"
#include "files/doc_formats.h"
#include "files/output/output_layer.h"
#include "files/output/saving_options.h"
#include "files/rtf/rtf_writer.h"
#include "files/text/plain_text_writer.h"

namespace qv {

// The least save road: plain text and RTF to the document's file through a temporary file. The
// full dispatcher replaces it.
uint8_t DocSaveToFile(TDoc& doc, const TDocSavingOptions& options) {
  TSaveContext context(&doc, options);
  TDocWriter writer = options.Format == dfText ? TDocWriter(WriteTxt) : TDocWriter(WriteRtf);
  if (options.Target == TDocSavingOptions::tgMemory) return writer(context);
  return SaveThroughTempFile(context, doc.FileName, writer);
}

}  // namespace qv
