#pragma once
// Encrypted documents (format 4): an RTF document enciphered under a password.
//
//   offset 0   10 bytes  magic "987D Ttcad"
//   offset 10  16 bytes  content key A, enciphered under the password key
//   offset 26  16 bytes  content key B, enciphered (the cipher state running on after key A)
//   offset 42  n bytes   the RTF, enciphered with the content keys
//   42 + n     16 bytes  check value: the digest of the XOR fold of the plain RTF, enciphered
//
// The same layout serves files and memory blocks (the clipboard, a drop): a document is never
// held in plain text under the encrypted format. A wrong password or a damaged file fails the
// check value before any byte is parsed.
#include <cstdint>
#include <cstdio>
#include <string>

#include "foundation/base/memory.h"

namespace qv {

class TOpenContext;

inline constexpr int32_t kMinPasswordLength = 8;
inline constexpr int32_t kMaxPasswordLength = 64;
// The smallest encrypted document: header, at least one byte of body, check value.
inline constexpr int32_t kMinEncryptedSize = 59;

// True when the bytes start with the magic and are long enough to be an encrypted document.
bool LooksEncrypted(const uint8_t* data, int64_t size);

// The whole enciphered image of an RTF document under a password.
void EncipherDocument(const uint8_t* rtf, int32_t length, const std::string& password,
                      TMemory& out, bool showProgress = false);
// The RTF of an enciphered image; false (out emptied) for a wrong password or damaged data.
bool DecipherEncryptedBlock(const uint8_t* data, int32_t length, const std::string& password,
                            TMemory& out);

// The integrity pass on a file, read in chunks through a fresh read buffer (the shared one is
// put back): true when the password (enciphered, as the document keeps it) is right and the
// file whole. A read failure shows "Error reading file "%s"." and fails. The file position is
// restored.
bool CheckEncryptedFile(std::FILE* file, const std::string& name, const std::string& password,
                        bool showProgress = false);
// The same for a block in memory.
bool CheckEncryptedBlock(const uint8_t* data, int32_t length, const std::string& password);

// The password loop of the first fill of an encrypted document: takes a remembered password or
// asks for one, checks it, and on failure asks whether to try another. True with the
// context's Password set (enciphered) when the document may be read; false when the user gave up.
bool OpenEncryptedPasswordLoop(TOpenContext& context);

// The remembered opening password (for the option to try it on every encrypted document) and
// the suggested saving password, both enciphered.
std::string& RememberedOpeningPassword();
std::string& SuggestedSavingPassword();
// The "ReuseEncPass" option bits.
inline constexpr uint8_t kTryAllPasswordsBit = 1;
inline constexpr uint8_t kSuggestPasswordBit = 2;

// The message that refuses a password given for saving (twice), empty when it is acceptable.
std::string SavingPasswordProblem(const std::string& password, const std::string& retyped);

}  // namespace qv
