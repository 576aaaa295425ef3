#include "files/text/text_detection.h"

#include <array>
#include <initializer_list>

#include "files/text/text_encodings.h"

namespace qv {
namespace {

// A letter of a code page: its upper- and lower-case bytes (equal for a letter without case)
// and its weight.
struct TLetterWeight {
  uint8_t Upper;
  uint8_t Lower;
  uint16_t Weight;
};

struct TPageWeights {
  uint8_t Threshold;
  std::array<uint16_t, 256> Weights{};
};

TPageWeights MakePage(uint8_t threshold, std::initializer_list<TLetterWeight> letters) {
  TPageWeights page{threshold, {}};
  for (const TLetterWeight& l : letters) {
    page.Weights[l.Upper] = l.Weight;
    page.Weights[l.Lower] = l.Weight;
  }
  return page;
}


const std::array<TPageWeights, 8>& PageWeights() {
  static const auto* pages = new std::array<TPageWeights, 8>{
      // 1250: Polish, Czech, Slovak, Hungarian, Slovene, Croatian.
      MakePage(65, {{'A', 'a', 11270}, {'I', 'i', 10040}, {'O', 'o', 9010}, {'E', 'e', 8900},
                    {'N', 'n', 6500},  {'Z', 'z', 6000},  {'S', 's', 5500}, {'R', 'r', 5000},
                    {'T', 't', 5000},  {'C', 'c', 4500},  {'W', 'w', 4000}, {'K', 'k', 4000},
                    {'Y', 'y', 3500},  {'D', 'd', 3500},  {'L', 'l', 3500}, {'M', 'm', 3000},
                    {'P', 'p', 3000},  {'U', 'u', 3000},  {'J', 'j', 2000}, {'V', 'v', 2500},
                    {'B', 'b', 1500},  {'G', 'g', 1500},  {'H', 'h', 1500}, {'F', 'f', 300},
                    {'Q', 'q', 10},    {'X', 'x', 10},    {165, 185, 9000}, {202, 234, 9000},
                    {211, 243, 1800},   {163, 179, 9000},  {140, 156, 7000},  {198, 230, 4000},
                    {209, 241, 2000},   {175, 191, 8000},   {143, 159, 1000},  {200, 232, 9000},
                    {216, 248, 9000},   {138, 154, 8000},   {142, 158, 8000},  {204, 236, 9000},
                    {193, 225, 3000},  {205, 237, 2400},  {201, 233, 2000}, {221, 253, 1600},
                    {217, 249, 5000},   {218, 250, 400},   {213, 245, 5000},  {219, 251, 1000},
                    {214, 246, 800},   {220, 252, 600},   {141, 157, 1000},  {207, 239, 1000},
                    {210, 242, 1000}}),
      // 1251: Russian, Ukrainian, Bulgarian, Serbian.
      MakePage(129, {{192, 224, 16380}, {206, 238, 11180}, {200, 232, 9660}, {197, 229, 8450},
                     {205, 237, 6700},  {210, 242, 6300},  {209, 241, 5500}, {208, 240, 4700},
                     {194, 226, 4500},  {203, 235, 4400},  {202, 234, 3500}, {204, 236, 3200},
                     {196, 228, 3000},  {207, 239, 2800},  {211, 243, 2600}, {223, 255, 2000},
                     {219, 251, 1900},  {220, 252, 1700},  {195, 227, 1700}, {199, 231, 1600},
                     {193, 225, 1600},  {215, 247, 1400},  {201, 233, 1200}, {213, 245, 1000},
                     {198, 230, 900},   {216, 248, 700},   {222, 254, 600},  {214, 246, 500},
                     {217, 249, 400},   {221, 253, 300},   {212, 244, 300},  {218, 250, 40},
                     {168, 184, 100},   {178, 179, 500},   {175, 191, 100},  {170, 186, 100}}),
      // 1252: English, French, German, Spanish, Italian, Portuguese, Nordic languages.
      MakePage(65, {{'E', 'e', 19310}, {'A', 'a', 12210}, {'N', 'n', 10530}, {'I', 'i', 10000},
                    {'S', 's', 9800},  {'T', 't', 9500},  {'R', 'r', 9000},  {'O', 'o', 8800},
                    {'L', 'l', 6000},  {'U', 'u', 5500},  {'D', 'd', 5000},  {'C', 'c', 4500},
                    {'H', 'h', 4000},  {'M', 'm', 3500},  {'P', 'p', 3000},  {'G', 'g', 2500},
                    {'B', 'b', 1500},  {'F', 'f', 1500},  {'V', 'v', 1200},  {'W', 'w', 1000},
                    {'K', 'k', 800},   {'Y', 'y', 700},   {'Z', 'z', 600},   {'Q', 'q', 500},
                    {'J', 'j', 400},   {'X', 'x', 300},   {201, 233, 2500},  {200, 232, 700},
                    {192, 224, 700},   {199, 231, 300},   {196, 228, 800},   {214, 246, 500},
                    {220, 252, 900},   {223, 223, 300},   {209, 241, 400},   {193, 225, 500},
                    {211, 243, 500},   {205, 237, 500},   {218, 250, 200},   {202, 234, 300},
                    {194, 226, 200},   {206, 238, 100},   {212, 244, 100},   {219, 251, 100},
                    {203, 235, 50},    {207, 239, 50},    {195, 227, 300},   {213, 245, 100},
                    {197, 229, 300},   {216, 248, 200},   {198, 230, 100}}),
      // 1253: Greek.
      MakePage(162, {{193, 225, 10750}, {212, 244, 7890}, {197, 229, 7370}, {207, 239, 7300},
                     {201, 233, 7300},  {205, 237, 7300}, {211, 243, 7300}, {242, 242, 3000},
                     {202, 234, 6000},  {208, 240, 5700}, {209, 241, 5700}, {204, 236, 4500},
                     {203, 235, 3750},  {213, 245, 3750}, {199, 231, 3750}, {196, 228, 2250},
                     {195, 227, 2250},  {217, 249, 2250}, {200, 232, 1500}, {215, 247, 1500},
                     {214, 246, 1050},   {194, 226, 900},  {206, 238, 600},  {198, 230, 450},
                     {216, 248, 150},   {162, 220, 2250}, {184, 221, 1800}, {185, 222, 1500},
                     {186, 223, 2250},  {188, 252, 2250}, {190, 253, 1200},  {191, 254, 900}}),
      // 1254: Turkish, Azeri.
      MakePage(65, {{'A', 'a', 11560}, {'E', 'e', 9390},  {221, 'i', 8610},  {'I', 253, 8600},
                    {'N', 'n', 7500},  {'R', 'r', 6900},  {'L', 'l', 5900},  {'K', 'k', 4700},
                    {'D', 'd', 4700},  {'M', 'm', 3700},  {'Y', 'y', 3300},  {'U', 'u', 3200},
                    {'T', 't', 3000},  {'S', 's', 3000},  {'B', 'b', 2800},  {'O', 'o', 2500},
                    {220, 252, 5550},  {222, 254, 8600},  {'Z', 'z', 1500},  {'G', 'g', 1300},
                    {199, 231, 3300},  {208, 240, 8600},  {'H', 'h', 1100},  {214, 246, 2400},
                    {'V', 'v', 950},   {'C', 'c', 950},   {'P', 'p', 850},   {'F', 'f', 450},
                    {'J', 'j', 30}}),
      // 1255: Hebrew.
      MakePage(224, {{233, 233, 11060}, {228, 228, 10870}, {229, 229, 10380}, {236, 236, 9800},
                     {237, 237, 3500},  {238, 238, 7000},  {224, 224, 8400},  {248, 248, 7699},
                     {250, 250, 7000},  {225, 225, 6300},  {249, 249, 5600},  {240, 240, 4200},
                     {239, 239, 1400},  {242, 242, 4200},  {227, 227, 3500},  {235, 235, 2800},
                     {234, 234, 700},   {231, 231, 2800},  {247, 247, 2520},  {244, 244, 1400},
                     {243, 243, 280},   {241, 241, 1400},  {226, 226, 1400},  {230, 230, 979},
                     {232, 232, 1120},   {246, 246, 979},   {245, 245, 280}}),
      // 1256: Arabic, Persian, Urdu.
      MakePage(193, {{199, 199, 12500}, {225, 225, 12000}, {228, 228, 6400}, {237, 237, 6300},
                     {227, 227, 6000},  {230, 230, 5800},  {229, 229, 4500}, {209, 209, 4800},
                     {202, 202, 4000},  {200, 200, 3800},  {218, 218, 3500}, {201, 201, 3000},
                     {207, 207, 3000},  {221, 221, 2500},  {222, 222, 2500}, {211, 211, 2500},
                     {223, 223, 2200},  {205, 205, 2000},  {195, 195, 2500}, {236, 236, 1500},
                     {204, 204, 1300},  {197, 197, 1000},  {208, 208, 1000}, {212, 212, 900},
                     {213, 213, 800},   {216, 216, 700},   {206, 206, 700},  {203, 203, 500},
                     {210, 210, 400},   {214, 214, 400},   {219, 219, 400},  {217, 217, 200},
                     {193, 193, 400},   {194, 194, 200},   {196, 196, 100},  {198, 198, 300}}),
      // 1257: Lithuanian, Latvian, Estonian.
      MakePage(65, {{'A', 'a', 12770}, {'E', 'e', 10820}, {'I', 'i', 9530}, {'S', 's', 8000},
                    {'T', 't', 6500},  {'R', 'r', 5500},  {'N', 'n', 5500}, {'O', 'o', 5000},
                    {'U', 'u', 4500},  {'K', 'k', 4500},  {'L', 'l', 4000}, {'M', 'm', 3500},
                    {'D', 'd', 3000},  {'P', 'p', 2500},  {'V', 'v', 2500}, {'J', 'j', 2000},
                    {'G', 'g', 1500},  {'B', 'b', 1200},  {'Z', 'z', 800},  {'C', 'c', 500},
                    {'H', 'h', 400},   {'F', 'f', 200},   {'Y', 'y', 1000}, {194, 226, 9500},
                    {199, 231, 8000},   {206, 238, 8000},   {219, 251, 6000},  {208, 240, 8000},
                    {222, 254, 5000},   {200, 232, 4000},   {207, 239, 3000},  {210, 242, 4000},
                    {205, 237, 2000},   {204, 236, 2000},   {192, 224, 5000},  {198, 230, 2000},
                    {203, 235, 6000},   {193, 225, 5000},   {216, 248, 5000},  {213, 245, 800},
                    {196, 228, 3000},  {214, 246, 600},   {220, 252, 800}}),
  };
  return *pages;
}

bool IsPlainSevenBit(uint8_t b) {
  return b == 9 || b == 10 || b == 12 || b == 13 || (b >= 32 && b <= 127);
}

bool InRange(uint8_t b, uint8_t lo, uint8_t hi) { return b >= lo && b <= hi; }

}  // namespace

int32_t ScoreCodePage(int32_t index, const uint8_t* data, size_t size) {
  if (!IsCodePageEncoding(index)) return 0;
  const TPageWeights& page = PageWeights()[static_cast<size_t>(index - teFirstCodePage)];
  int64_t sum = 0;
  int64_t count = 0;
  for (size_t i = 0; i < size; ++i) {
    const uint8_t b = data[i];
    if (b < 65) continue;
    ++count;
    if (b >= page.Threshold) sum += page.Weights[b];
  }
  return count == 0 ? 0 : static_cast<int32_t>(sum / count);
}

bool IsValidUtf8(const uint8_t* data, size_t size, bool truncated) {
  size_t i = 0;
  while (i < size) {
    const uint8_t b = data[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    size_t need = 0;
    uint8_t lo = 0x80, hi = 0xBF;
    if (InRange(b, 0xC2, 0xDF)) {
      need = 1;
    } else if (InRange(b, 0xE0, 0xEF)) {
      need = 2;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (InRange(b, 0xF0, 0xF4)) {
      need = 3;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    for (size_t k = 1; k <= need; ++k) {
      if (i + k >= size) return truncated;
      const uint8_t c = data[i + k];
      if (k == 1 ? !InRange(c, lo, hi) : !InRange(c, 0x80, 0xBF)) return false;
    }
    i += need + 1;
  }
  return true;
}

TTextDetection DetectTextEncoding(const uint8_t* data, size_t size, bool truncated) {
  if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) return {teUtf8Bom, 3};
  bool sevenBit = true;
  for (size_t i = 0; i < size && sevenBit; ++i) sevenBit = IsPlainSevenBit(data[i]);
  if (sevenBit) return {teUtf8, 0};
  // An odd count cannot be UTF-16, whatever its first bytes say (unless the file goes on).
  if (size >= 2 && (size % 2 == 0 || truncated)) {
    if (data[0] == 0xFF && data[1] == 0xFE) return {teUtf16LE, 2};
    if (data[0] == 0xFE && data[1] == 0xFF) return {teUtf16BE, 2};
  }
  if (IsValidUtf8(data, size, truncated)) return {teUtf8, 0};
  int32_t best = teLastCodePage;
  int32_t bestScore = -1;
  std::array<int32_t, TextEncodingCount> scores{};
  for (int32_t index = teLastCodePage; index >= teFirstCodePage; --index) {
    scores[static_cast<size_t>(index)] = ScoreCodePage(index, data, size);
    if (scores[static_cast<size_t>(index)] > bestScore) {
      bestScore = scores[static_cast<size_t>(index)];
      best = index;
    }
  }
  const int32_t preferred = DefaultTextEncoding();
  if (IsCodePageEncoding(preferred) && scores[static_cast<size_t>(preferred)] == bestScore)
    best = preferred;
  else if (scores[6] == bestScore)
    best = 6;
  return {best, 0};
}

}  // namespace qv
