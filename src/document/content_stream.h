#pragma once
// Reading content streams item by item, building the character codes of a stream, and the
// fragment form in which paragraphs travel between documents (clipboard, undo records,
// templates): each paragraph's tags and text followed by a paragraph-format block (bytes 1D 1E
// and the 40 bytes of its TParFormat); a lone byte 1D at the very end closes the data with a
// last paragraph that has no format block.
#include <cstdint>
#include <string>
#include <vector>

#include "document/content_tags.h"
#include "document/par_format.h"
#include "foundation/base/memory.h"

namespace qv {

class TPar;

// One item of a stream: a tag, a run of text bytes (up to the next tag), or a damaged byte (a 0
// that starts no complete tag), which has no character position.
struct TStreamItem {
  enum Type : uint8_t { siText, siTag, siDamaged };
  Type ItemType = siText;
  int32_t Offset = 0;
  int32_t Size = 0;  // 7 for a tag, the run's length for text, 1 for a damaged byte
  TContentTag Tag;
  // Character positions the item takes.
  int32_t Chars() const {
    return ItemType == siText ? Size : (ItemType == siTag && IsCharTagKind(Tag.Kind) ? 1 : 0);
  }
};

// Reads the item at the offset; false at the end of the stream.
bool ReadStreamItem(const uint8_t* data, int32_t length, int32_t offset, TStreamItem& item);

// The character codes of a stream: a text byte stands for itself, a character tag gives its code.
void BuildCharCodes(const TMemory& stream, TMemory& codes);
// Number of character positions of a stream.
int32_t CountStreamChars(const TMemory& stream);

// One paragraph read from the fragment form.
struct TFragmentParagraph {
  TMemory Content;
  TParFormat Format;
  bool HasFormat = false;  // false only for a last paragraph closed by a lone byte 1D
};

// Appends the paragraph's stream and its format block.
void AppendParagraphToFragment(TMemory& buffer, const TPar& par);
// Reads the fragment form. A tag or format block cut short, or a byte below 32 that starts
// neither a tag nor a block, makes it false with the reason in `error` (the output then holds
// the paragraphs read before the damage).
bool ParseContentFragment(const uint8_t* data, int32_t length,
                          std::vector<TFragmentParagraph>& out, std::string* error);

}  // namespace qv
