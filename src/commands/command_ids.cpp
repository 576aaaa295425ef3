#include "commands/command_ids.h"

#include <algorithm>

namespace qv {

const std::array<int32_t, 44> FormatBrushCommands = {
    702,   9000,  9080,  9081,  9082,  9083,  9180,  9200,  9220,   9270,   9271,
    9272,  9273,  9274,  9285,  12000, 704,   705,   12120, 12140,  12160,  12161,
    12162, 12163, 12164, 12165, 12166, 12167, 12168, 12169, 12170,  12171,  12180,
    12200, 12210, 12215, 12520, 12150, 212100, 212200, 12285, 209050, 212400, 212500};

std::optional<CommandRange> RangeOfCommand(int32_t id) {
  for (size_t i = 0; i < kCommandRanges.size(); ++i)
    if (id >= kCommandRanges[i].First && id <= kCommandRanges[i].Last)
      return static_cast<CommandRange>(i);
  return std::nullopt;
}

std::optional<size_t> ParamRangeOfCommand(int32_t id) {
  if (!IsParamCommand(id)) return std::nullopt;
  return static_cast<size_t>((id - kParamCommandFirst) / kParamRangeSize);
}

int32_t TwinOfCommand(int32_t id) {
  if (id == 4537) return 4531;
  if (id == 5301) return 5300;
  return id;
}

int32_t ShortcutTwinOfCommand(int32_t id) {
  switch (id) {
    case 291: return 290;
    case 7410: return 7200;
    case 206100: return 6160;
    case 209050: return 9060;
    case 212100: return 12060;
    case 212200: return 12080;
    default: return id;
  }
}

bool IsFormatBrushCommand(int32_t id) {
  return std::find(FormatBrushCommands.begin(), FormatBrushCommands.end(), id) !=
         FormatBrushCommands.end();
}

}  // namespace qv
