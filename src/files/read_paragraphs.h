#pragma once
// What the readers of plain formats share while they build paragraphs: a paragraph's content
// stream and its character codes are collected side by side in byte strings, made a paragraph
// at its mark, and the paragraphs read go into the document's main text at the end.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qv {

class TDoc;
class TPar;
struct TParFormat;

// Appends the 7 bytes of a content tag (0, kind, the value's four bytes, 1).
void AppendContentTag(std::string& stream, uint8_t kind, int32_t value);

// A paragraph of the document with the content and codes collected so far (its mark included)
// and the format; content and codes are left empty for the next one.
std::unique_ptr<TPar> TakeParagraph(TDoc& doc, const TParFormat& format, std::string& content,
                                    std::string& codes);

// Puts the paragraphs read (at least one) at the end of the main text; the empty main text of a
// new document takes the first of them in its own paragraph. pars is left empty.
void AddToMainText(TDoc& doc, std::vector<std::unique_ptr<TPar>>& pars);

}  // namespace qv
