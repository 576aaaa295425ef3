#include "document/word_scan.h"

#include "document/content_tags.h"
#include "document/doc.h"
#include "document/par.h"
#include "platform/system/text_services.h"

namespace qv {

TWordScan::TWordScan(const TDoc& doc, int32_t par, const TCharFlags& delimiters)
    : par_(doc.Par(par)), delimiters_(delimiters) {
  NormalizeParagraphTags(*par_);
  BuildParagraphWideText(*par_);
  length_ = par_->CharCount();
  symbols_.assign(static_cast<size_t>(length_), false);
  for (int32_t i : par_->GetSymbolCharPositions())
    if (i >= 0 && i < length_) symbols_[static_cast<size_t>(i)] = true;
}

uint8_t TWordScan::Code(int32_t i) const {
  return i >= 0 && i < length_ ? par_->CodeAt(i) : static_cast<uint8_t>(scParagraphEnd);
}

char16_t TWordScan::Wide(int32_t i) const {
  const std::u16string& w = par_->WideText;
  return i >= 0 && static_cast<size_t>(i) < w.size() ? w[static_cast<size_t>(i)] : u'\0';
}

bool TWordScan::Symbol(int32_t i) const {
  return i >= 0 && i < length_ && symbols_[static_cast<size_t>(i)];
}

bool TWordScan::Alphanumeric(int32_t i) const {
  const uint8_t c = Code(i);
  if (c < 32) return false;  // special characters, UTF-16 characters among them
  if (c < 128)
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
  return plat::IsCharAlphaNumeric(Wide(i));
}

}  // namespace qv
