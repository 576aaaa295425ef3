#pragma once
// The least reading of compound (structured storage) files that the format probe needs: whether
// a file is one, and the first bytes of a named stream in its root storage. Every sector number,
// chain and size read from the file is checked against the file, so a damaged file answers
// false.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace qv {

// True when the file starts with the compound-file signature.
bool IsCompoundFile(std::FILE* file);
// Up to `count` first bytes of the regular stream `name` (ASCII) in the root storage; false when
// the file is damaged or holds no such stream.
bool ReadCompoundStreamStart(std::FILE* file, const std::string& name, int32_t count,
                             std::vector<uint8_t>& out);

}  // namespace qv
