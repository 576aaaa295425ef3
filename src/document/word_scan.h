#pragma once
// Classifying the characters of one paragraph for the word and sentence routines: the codes of
// the character-code array, the paragraph's symbol positions (UTF-16 characters, text in a
// symbol font or a SYMBOL field, which bound words like delimiters) and the UTF-16 form of each
// character.
#include <cstdint>
#include <vector>

#include "document/words.h"

namespace qv {

class TDoc;
class TPar;

class TWordScan {
 public:
  // `delimiters` must outlive the scan.
  TWordScan(const TDoc& doc, int32_t par, const TCharFlags& delimiters = WordDelimiters);

  int32_t Length() const { return length_; }
  // The offset of the paragraph mark (the last position); 0 for a paragraph without characters.
  int32_t MarkOffset() const { return length_ > 0 ? length_ - 1 : 0; }
  uint8_t Code(int32_t i) const;
  char16_t Wide(int32_t i) const;
  bool Symbol(int32_t i) const;
  // A word delimiter or a symbol position.
  bool Delimiter(int32_t i) const { return delimiters_[Code(i)] || Symbol(i); }
  // A punctuation delimiter or a symbol position.
  bool Punctuation(int32_t i) const { return PunctuationDelimiters[Code(i)] || Symbol(i); }
  bool Alphanumeric(int32_t i) const;
  bool Space(int32_t i) const { return IsWordSpaceCode(Code(i)); }
  bool Break(int32_t i) const { return BreakCodes[Code(i)]; }
  bool WhiteSpace(int32_t i) const { return WhiteSpaceChars[Code(i)]; }
  TPar& Par() const { return *par_; }

 private:
  TPar* par_;
  const TCharFlags& delimiters_;
  int32_t length_ = 0;
  std::vector<bool> symbols_;
};

}  // namespace qv
