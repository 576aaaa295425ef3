#pragma once
// Pieces of writing a file through a temporary file beside it that is renamed over the target.
#include <cstddef>
#include <string>

namespace plat {

// Writes all `size` bytes to the descriptor, going on after short and interrupted writes; false
// on any error (or when the descriptor takes no more bytes).
bool WriteAll(int fd, const void* data, size_t size);

// Gives the temporary file open as `fd` the permissions of the target it will replace, or the
// ones a new file gets under the process's umask when there is no target yet; false when the
// permissions cannot be set.
bool SetModeForTarget(int fd, const std::string& target);

}  // namespace plat
