#pragma once
// The handler of the view range (ids 6000-8999): the view options (formatting marks, margin
// borders, rulers, scroll bars, white space), the main window's bars, zoom, the Control Board's
// boards and panels, the document map, Full Screen, headers and footers edited in place, the view
// modes, Spotlight and the split window. Most commands flip a program-wide option; every command
// ends with the interface update that makes the change visible.
#include <cstdint>

#include "commands/command_manager.h"

namespace qv {

class TDoc;
struct TViewSettings;

class TViewCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;
};

// The zoom of the command bars' zoom box and of the magnifying glass (206100, 206200), the one
// part of their sub-range of parameterised commands that the view commands need.
class TZoomParamCommands : public TCommandHandler {
 public:
  void ExecuteWithParam(TCommandManager& manager, int32_t id, const void* argument) override;
};

void RegisterViewCommands(TCommandManager& manager);

// The row of bar settings (rulers, scroll bars, status bar) of the document's mode: the print
// preview keeps its own.
TViewSettings& BarSettingsOf(const TDoc* doc);

// The value of the zoom command 206100: the percentage in the low 16 bits, the zoom mode (0 a
// percentage, 1 page width, 2 text width, 3 whole page, 4 two pages) in bits 16 to 23.
inline constexpr int32_t kZoomParamCommand = 206100;
inline constexpr uint32_t ZoomParam(uint8_t mode, int32_t percent) {
  return (static_cast<uint32_t>(mode) << 16) | (static_cast<uint32_t>(percent) & 0xFFFF);
}

}  // namespace qv
