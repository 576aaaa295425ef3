#include "document/surrogate_pairs.h"

#include "document/content_tags.h"
#include "document/par.h"

namespace qv {

namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

bool SplitsSurrogatePair(TPar& par, int32_t offset) {
  if (offset <= 0 || offset >= par.CharCount()) return false;
  if (par.CodeAt(offset - 1) != scWideChar || par.CodeAt(offset) != scWideChar) return false;
  BuildParagraphWideText(par);
  const std::u16string& w = par.WideText;
  if (static_cast<size_t>(offset) >= w.size()) return false;
  return IsHighSurrogate(w[static_cast<size_t>(offset) - 1]) &&
         IsLowSurrogate(w[static_cast<size_t>(offset)]);
}

int32_t SnapOffsetBackward(TPar& par, int32_t offset) {
  return SplitsSurrogatePair(par, offset) ? offset - 1 : offset;
}

int32_t SnapOffsetForward(TPar& par, int32_t offset) {
  return SplitsSurrogatePair(par, offset) ? offset + 1 : offset;
}

}  // namespace qv
