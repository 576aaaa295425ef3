#pragma once
// The handler of ids 15000-17999: pictures and horizontal lines, drop caps, the Format Brush,
// document templates, columns, sections and section breaks (with the Control Board's sections
// tool), page numbers, the Format Palette, and the table commands (table_commands.h). Each run
// adds the target's editing time first and asks for an interface update afterwards.
#include <cstdint>
#include <vector>

#include "commands/command_manager.h"

namespace qv {

class TDoc;

// Runs an edit action code on the document with its arguments (none when the list is empty).
void ExecuteEditWith(TDoc& doc, uint8_t code, std::vector<void*> args = {});

class TPictureSectionCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;
};

void RegisterPictureSectionCommands(TCommandManager& manager);

// The section commands: breaks, merging, the sections tool, page numbers, columns, templates,
// the Format Brush and the Format Palette. False for ids that are not theirs.
bool RunSectionCommand(TCommandManager& manager, int32_t id, TDoc* doc);
// The picture, horizontal line and drop cap commands. False for ids that are not theirs.
bool RunPictureCommand(TCommandManager& manager, int32_t id, TDoc* doc);

}  // namespace qv
