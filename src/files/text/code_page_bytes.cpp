#include "files/text/code_page_bytes.h"

#include <array>
#include <string>
#include <vector>

#include "platform/system/code_page_conv.h"

namespace qv {
namespace {

using TReverseTable = std::vector<int16_t>;

TReverseTable BuildReverseTable(uint32_t codePage) {
  TReverseTable table(0x10000, -1);
  std::string all(256, '\0');
  for (int b = 0; b < 256; ++b) all[static_cast<size_t>(b)] = static_cast<char>(b);
  const std::u16string wide = plat::CodePageToUtf16(codePage, all);
  if (wide.size() == 256) {
    for (int b = 255; b >= 0; --b) table[wide[static_cast<size_t>(b)]] = static_cast<int16_t>(b);
  }
  return table;
}

const std::array<TReverseTable, 8>& ReverseTables() {
  static const auto* tables = [] {
    auto* t = new std::array<TReverseTable, 8>();
    for (uint32_t i = 0; i < t->size(); ++i) (*t)[i] = BuildReverseTable(1250 + i);
    return t;
  }();
  return *tables;
}

}  // namespace

const int16_t* CodePageByteTable(uint32_t codePage) {
  if (codePage < 1250 || codePage > 1257) return nullptr;
  return ReverseTables()[codePage - 1250].data();
}

int ByteOfUnitInCodePage(uint32_t codePage, char16_t unit) {
  if (unit < 0x80) return unit;
  if (codePage >= 1250 && codePage <= 1257) return ReverseTables()[codePage - 1250][unit];
  return plat::ByteOfChar(codePage, unit);
}

}  // namespace qv
