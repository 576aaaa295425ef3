#include "files/open_road.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "document/doc.h"
#include "files/doc_formats.h"
#include "files/open_context.h"
#include "files/reader_steps.h"
#include "files/rtf/rtf_reader.h"
#include "files/text/plain_text_reader.h"
#include "files/write/write_reader.h"

namespace qv {

// The least open road: plain text, Write and RTF from a file or a memory block, by the format
// index given, without detection or post-load steps. The full road replaces it.
uint8_t DocOpen(TDoc& doc, TDocOpeningOptions& options) {
  std::vector<uint8_t> bytes;
  if (options.From == TDocOpeningOptions::Source::File) {
    std::ifstream in(options.FileName, std::ios::binary);
    if (!in) {
      options.FormatIndex = dfRefused;
      return 0;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } else if (options.Block != nullptr && options.Length > 0) {
    bytes.assign(options.Block, options.Block + options.Length);
  }
  doc.FormatIndex = options.FormatIndex;
  switch (options.FormatIndex) {
    case dfText: {
      TTxtReadOptions txt;
      txt.FileName = options.FileName;
      txt.FromFile = options.From == TDocOpeningOptions::Source::File;
      return ReadTxt(doc, bytes.data(), bytes.size(), txt).Ok ? 1 : 0;
    }
    case dfWrite:
      return ReadWri(doc, bytes.data(), bytes.size()).Ok ? 1 : 0;
    case dfRtf: {
      TOpenContext context;
      context.Document = &doc;
      context.Options = options;
      context.BeginMemoryRead(bytes.data(), static_cast<int32_t>(bytes.size()), dfRtf);
      if (!ReadRtf(context)) {
        options.FormatIndex = dfRefused;
        return 0;
      }
      FinishReadText(context);
      AppendReadStories(context);
      return 1;
    }
    default:
      options.FormatIndex = dfRefused;
      return 0;
  }
}

}  // namespace qv
