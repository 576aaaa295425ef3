#include "foundation/text/word_delimiters.h"

#include <cstddef>
#include <initializer_list>
#include <utility>

namespace qv {

namespace {

constexpr int32_t kSpanish = 10;  // primary language
constexpr uint8_t kApostrophes[] = {39, 96, 145, 146};
constexpr uint8_t kBlanks[] = {32, 11, 18, 19, 20};

TCharFlags MakeWordDelimiters(bool spanish) {
  TCharFlags t{};
  const std::initializer_list<std::pair<int, int>> ranges = {
      {2, 14},  {16, 16},   {18, 20},   {32, 37},   {40, 47},   {58, 64},   {91, 95},
      {123, 126}, {128, 128}, {130, 130}, {132, 133}, {147, 148}, {153, 153}, {169, 169},
      {171, 171}, {174, 174}, {187, 187}};
  for (const auto& [first, last] : ranges)
    for (int c = first; c <= last; ++c) t[static_cast<size_t>(c)] = true;
  if (spanish) t[161] = t[191] = true;  // the inverted exclamation and question marks
  return t;
}

TCharFlags MakePunctuationDelimiters(const TCharFlags& words) {
  TCharFlags t = words;
  for (uint8_t c : kBlanks) t[c] = false;
  return t;
}

void SetApostrophes(bool delimiters) {
  for (uint8_t c : kApostrophes) {
    WordDelimiters[c] = delimiters;
    PunctuationDelimiters[c] = delimiters;
  }
}

}  // namespace

TCharFlags WordDelimiters = MakeWordDelimiters(false);
TCharFlags PunctuationDelimiters = MakePunctuationDelimiters(WordDelimiters);

void InitWordDelimiters(int32_t userLanguage) {
  WordDelimiters = MakeWordDelimiters((userLanguage & 0x3FF) == kSpanish);
  PunctuationDelimiters = MakePunctuationDelimiters(WordDelimiters);
}

void IncludeApostrophesInWords() { SetApostrophes(false); }

void ExcludeApostrophesFromWords() { SetApostrophes(true); }

}  // namespace qv
