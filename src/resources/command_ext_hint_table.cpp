// The long hints ("COMMANDEXTHINTS"): one plain sentence for each command saying what it does,
// shown under the command's name in the rich tooltips of menus and command bars. The command
// manager adds the shortcut and the notes that follow the state of the document.
#include "resources/command_hint_store.h"

namespace qv {

namespace {

constexpr auto kCommandExtHints = std::to_array<TCommandText>({
    {100, "Creates a new empty document."},
    {120, "Opens an existing document."},
});

constexpr auto kCommandExtHintsBytes = PackCommandTexts<kCommandExtHints>();

}  // namespace

std::span<const TCommandText> CommandExtHintTable() { return kCommandExtHints; }

std::span<const uint8_t> CommandExtHintsResource() { return kCommandExtHintsBytes; }

}  // namespace qv
