#pragma once
// Reading RTF into an empty document: the reader of document format 0 and, after deciphering,
// of format 4. The open road calls it with the open's context, whose read window is at the
// start of the RTF.
namespace qv {

class TOpenContext;

// Fills context.Document from the RTF in the context's input: the main text goes into the
// document, the paragraphs of notes and of headers and footers into the context's story lists
// (AppendReadStories puts them after the main text). True when the document was read; false
// when the read was aborted (an input error, a cancelled password, an exception). A damaged file
// (a bound passed) is read up to the damage, reported with its message, and answers true.
bool ReadRtf(TOpenContext& context);

}  // namespace qv
