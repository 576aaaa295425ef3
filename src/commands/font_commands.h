#pragma once
// The handler of the font range (ids 12000-14999): the Font dialog, copying and pasting the font
// format, the character attributes (bold, italic, the underline kinds, strikeouts, caps, shadow,
// superscript and subscript), steps of size, spacing and offset, highlight and font colour,
// shrinking the page count, resetting the font format, and the languages of the text and of the
// find and replace patterns. A command fills a change set and applies it to the selection (or
// to the typing format at the caret) as one undoable edit; while the mouse mode is the Format
// Brush, the change set goes to the brush instead.
#include <cstdint>

#include "commands/command_manager.h"
#include "document/char_format.h"

namespace qv {

class TFontCommands : public TCommandHandler {
 public:
  void Execute(TCommandManager& manager, int32_t id) override;
};

void RegisterFontCommands(TCommandManager& manager);

// The underline kind a command 12160-12169 sets (1 single ... 27 heavy wave); 0 for other ids.
int32_t UnderlineCodeOfCommand(int32_t id);

// The change of an attribute toggle (bold, italic, underlines, strikeouts, caps, shadow) or of
// superscript and subscript, made from the base format into the change set. `brush` tells that
// the change goes to the Format Brush, which drops a property instead of turning it off.
void ToggleCharAttribute(int32_t id, const TCharFormat& base, bool brush, TCharFormat& change);
void ToggleVerticalPosition(int32_t id, const TCharFormat& base, bool brush, TCharFormat& change);

}  // namespace qv
