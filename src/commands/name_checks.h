#pragma once
// The checks of the names typed into the new-bookmark and clip-name prompts: each tells the
// user what is wrong in a message box and answers whether the name may be used, so that the
// prompt stays open on a refusal.
#include <string>

namespace qv {

// A new bookmark name: not empty, not the reserved "_PictureBullets", no word-delimiter or quote
// character (blanks count as underscores, which are allowed), starting with no digit, and not
// already a bookmark of the active document (which the bookmarks tool then highlights).
bool CheckBookmarkName(const std::u16string& text);

// A new name of the current clip: not empty, at most 128 characters, none of the characters
// file names refuse, and no other clip of the current clip's folder of that name (a change of
// case only is the same clip).
bool CheckClipName(const std::u16string& text);

}  // namespace qv
