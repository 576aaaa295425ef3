#pragma once
// TDocSavingOptions: what one save is asked to do. The save routine copies the caller's record
// into its TSaveContext (files/output/output_layer.h); the writers read that copy.
#include <cstdint>
#include <string>

#include "document/doc_position.h"

namespace qv {

class TMemory;

struct TDocSavingOptions {
  // Where the bytes go.
  static constexpr uint8_t tgFile = 0;    // a temporary file renamed over the target at the end
  static constexpr uint8_t tgMemory = 1;  // appended to Output

  // Flags.
  static constexpr uint8_t sfCopy = 1;             // the document's own state is left alone
  static constexpr uint8_t sfSingleLine = 2;       // plain text: every line end becomes a blank
  static constexpr uint8_t sfHtml = 4;             // write HTML whatever the format index says
  static constexpr uint8_t sfRowEndRule1 = 8;      // table-row ending rules of the RTF writer
  static constexpr uint8_t sfRowEndRule2 = 16;
  static constexpr uint8_t sfNoFields = 32;        // no fields, bookmarks, note marks or floats
  static constexpr uint8_t sfSelectedShapesOnly = 64;

  uint8_t Target = tgFile;
  uint8_t LineEnd = 0;  // plain text: 0 CR LF, 1 CR, 2 LF, 3 LF CR
  uint8_t Flags = 0;
  TDocRange Range;      // the text to write
  int32_t Format = 0;   // document format index (0 RTF ... 6 plain text)
  int32_t CodePage = 0; // plain text: the text encoding index
  TMemory* Output = nullptr;  // receives the bytes when Target is tgMemory (not owned)
  std::string Name;     // display name for the progress text of backups and safe copies

  bool HasFlag(uint8_t flag) const { return (Flags & flag) != 0; }
};

}  // namespace qv
