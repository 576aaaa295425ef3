#pragma once
// The caret-movement keys of the document window as far as typing needs them: Left and Right by
// character (Ctrl: by word), Up and Down by line, Home and End to the line's ends (Ctrl: to the
// story's ends), Page Up and Page Down by a window's height; with Shift each extends the
// selection from its anchor. The goal column, block selections, table cells and shapes moved by
// the arrows belong to the full caret-movement keys.
#include <cstdint>

namespace qv {

class TDocForm;

// Moves the caret for a navigation key (virtual keys 33 to 40) with the shift state (1 Shift,
// 2 Alt, 4 Ctrl); false when the key is not one of them or nothing could move.
bool HandleCaretKey(TDocForm& form, uint8_t key, uint8_t shift);

}  // namespace qv
