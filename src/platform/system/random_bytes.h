#pragma once
// Unpredictable bytes from the operating system (getrandom, or /dev/urandom where that is not
// available), for the key material of encrypted documents.
#include <cstddef>

namespace plat {

// Fills the block; false when the system gave fewer bytes than asked (the block then holds
// whatever was got, the rest unchanged).
bool FillRandomBytes(void* out, size_t count);

}  // namespace plat
