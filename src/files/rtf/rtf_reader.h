#pragma once
// Reading RTF into an empty document: the reader of document format 0 and, after deciphering,
// of format 4. The open road calls it with the open's context, whose read window is at the
// start of the RTF.
namespace qv {

class TOpenContext;

// Fills context.Document from the RTF in the context's input. A damaged file ends the read with
// its message, keeping what was read.
void ReadRtf(TOpenContext& context);

}  // namespace qv
