#pragma once
// The sound of a typed character, chosen by the virtual key that typed it: the space, the digits
// and the letters have sounds of their own in a sound scheme (the numeric keypad's keys sound
// like the digit 0 and the letters A to I, whose key codes they share with the characters),
// everything else the plain keystroke; overtyping text has a sound of its own.
#include <cstdint>

namespace qv {

class TDocForm;

inline constexpr int32_t kSoundKeystroke = 12000;
inline constexpr int32_t kSoundOvertyping = 12460;

// The event of a key code: 12300 the space, 12200 to 12209 the digits (and 96), 12100 to 12125
// the letters (and 97 to 122); 0 for every other code.
int32_t KeystrokeSoundId(uint32_t keyCode);

// Plays the keystroke sound of the window's last key code when keystroke sounds are on (the
// overtyping sound whenever the scheme has it); a held key's repeats are noted for the sound
// manager's repeat handling.
void PlayKeystrokeSound(TDocForm& form);

}  // namespace qv
