#pragma once
// Writers of the big-endian numbers the font tests build font files and tables from.
#include <cstdint>
#include <string>

using namespace qv;

inline void Put16(std::string& s, uint16_t v) {
  s += static_cast<char>(v >> 8);
  s += static_cast<char>(v & 0xFF);
}

inline void Put32(std::string& s, uint32_t v) {
  Put16(s, static_cast<uint16_t>(v >> 16));
  Put16(s, static_cast<uint16_t>(v));
}
