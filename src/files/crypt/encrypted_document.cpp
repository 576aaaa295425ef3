#include "files/crypt/encrypted_document.h"

#include <algorithm>
#include <cstring>

#include "files/crypt/encryption_manager.h"
#include "files/file_services.h"
#include "files/open_context.h"
#include "files/read_buffer.h"
#include "foundation/settings/options_holder.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

namespace {

constexpr int32_t kCheckChunk = 16384;
constexpr int32_t kHeader = TEncryptionManager::kHeaderSize;
constexpr int32_t kCheck = TEncryptionManager::kCheckSize;

// Reads `count` bytes at `offset` of the input into `out`; false on failure.
using ChunkReader = bool (*)(const void* source, int64_t offset, uint8_t* out, int32_t count);

bool ReadFileChunk(const void* source, int64_t offset, uint8_t* out, int32_t count) {
  auto* file = static_cast<std::FILE*>(const_cast<void*>(source));
  return std::fseek(file, static_cast<long>(offset), SEEK_SET) == 0 &&
         std::fread(out, 1, static_cast<size_t>(count), file) == static_cast<size_t>(count);
}

bool ReadBlockChunk(const void* source, int64_t offset, uint8_t* out, int32_t count) {
  std::memcpy(out, static_cast<const uint8_t*>(source) + offset, static_cast<size_t>(count));
  return true;
}

enum class CheckResult { Right, Wrong, ReadError };

// Deciphers the input chunk by chunk in a fresh read buffer and compares the check value.
CheckResult CheckEncrypted(const void* source, int64_t size, ChunkReader read,
                           const std::string& password, bool showProgress) {
  if (size < kMinEncryptedSize) return CheckResult::Wrong;
  TNestedReadBuffer nested;
  uint8_t* const buffer = ReadBuffer();
  TEncryptionManager& manager = GetEncryptionManager();
  if (showProgress) FileServices().BeginProgress(size, "CRC check ...");
  const int64_t dataLength = size - kCheck;
  uint8_t stored[kCheck];
  CheckResult result = CheckResult::Right;
  if (!read(source, dataLength, stored, kCheck)) result = CheckResult::ReadError;
  for (int64_t offset = 0; result == CheckResult::Right && offset < dataLength;) {
    const int32_t n = static_cast<int32_t>(std::min<int64_t>(kCheckChunk, dataLength - offset));
    if (!read(source, offset, buffer, n)) {
      result = CheckResult::ReadError;
      break;
    }
    if (offset == 0) {
      manager.KeysFromHeader(buffer, password);
      manager.DecipherBlock(buffer + kHeader, n - kHeader);
    } else {
      manager.DecipherBlock(buffer, n);
    }
    offset += n;
    if (showProgress) FileServices().SetProgressPos(offset);
  }
  if (result == CheckResult::Right) {
    const TEncryptionManager::TKey fold = manager.RunningCheck();
    manager.DecipherBlock(stored, kCheck);
    const TEncryptionManager::TKey expected = manager.Digest(fold.data(), kCheck);
    if (std::memcmp(expected.data(), stored, kCheck) != 0) result = CheckResult::Wrong;
  }
  if (showProgress) FileServices().EndProgress();
  return result;
}

// Whether the check passes for the context's input with an enciphered password.
bool CheckContext(TOpenContext& context, const std::string& password) {
  if (context.Options.From == TDocOpeningOptions::Source::Memory)
    return CheckEncryptedBlock(context.Options.Block, context.Options.Length, password);
  return CheckEncryptedFile(context.File(), context.OpenedName, password, context.ShowProgress);
}

uint8_t ReusePasswordOption() { return GetOptions().LoadSave.ReuseEncPass; }

}  // namespace

bool LooksEncrypted(const uint8_t* data, int64_t size) {
  return size >= kMinEncryptedSize &&
         std::memcmp(data, TEncryptionManager::kMagic, TEncryptionManager::kMagicSize) == 0;
}

void EncipherDocument(const uint8_t* rtf, int32_t length, const std::string& password,
                      TMemory& out, bool showProgress) {
  TEncryptionManager& manager = GetEncryptionManager();
  length = std::max(length, 0);
  out.SetLength(kHeader + length + kCheck);
  if (showProgress) FileServices().BeginProgress(TEncryptionManager::kPasswordRounds,
                                                 "Initializing encryption ...");
  manager.MakeHeader(out.Data, password,
                     showProgress ? +[](int32_t round) { FileServices().SetProgressPos(round); }
                                  : nullptr);
  if (showProgress) FileServices().EndProgress();
  if (length > 0) std::memcpy(out.Data + kHeader, rtf, static_cast<size_t>(length));
  manager.EncipherBlock(out.Data + kHeader, length);
  const TEncryptionManager::TKey check = manager.CheckValue();
  std::memcpy(out.Data + kHeader + length, check.data(), kCheck);
  manager.EncipherBlock(out.Data + kHeader + length, kCheck);
}

bool DecipherEncryptedBlock(const uint8_t* data, int32_t length, const std::string& password,
                            TMemory& out) {
  out.Clear();
  if (!data || !LooksEncrypted(data, length)) return false;
  TEncryptionManager& manager = GetEncryptionManager();
  TMemory image;
  image.SetData(data, length);
  manager.KeysFromHeader(image.Data, password);
  const int32_t body = length - kHeader - kCheck;
  manager.DecipherBlock(image.Data + kHeader, body);
  const TEncryptionManager::TKey fold = manager.RunningCheck();
  manager.DecipherBlock(image.Data + kHeader + body, kCheck);
  const TEncryptionManager::TKey expected = manager.Digest(fold.data(), kCheck);
  if (std::memcmp(expected.data(), image.Data + kHeader + body, kCheck) != 0) return false;
  out.SetData(image.Data + kHeader, body);
  return true;
}

bool CheckEncryptedFile(std::FILE* file, const std::string& name, const std::string& password,
                        bool showProgress) {
  if (!file) return false;
  const long saved = std::ftell(file);
  if (saved < 0 || std::fseek(file, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file);
  CheckResult result = CheckResult::ReadError;
  if (size >= 0) {
    const std::string plain = GetEncryptionManager().DecryptString(password);
    result = CheckEncrypted(file, size, &ReadFileChunk, plain, showProgress);
  }
  std::fseek(file, saved, SEEK_SET);
  if (result == CheckResult::ReadError) ShowErrorFmt("Error reading file \"%s\".", name);
  return result == CheckResult::Right;
}

bool CheckEncryptedBlock(const uint8_t* data, int32_t length, const std::string& password) {
  if (!data) return false;
  const std::string plain = GetEncryptionManager().DecryptString(password);
  return CheckEncrypted(data, length, &ReadBlockChunk, plain, false) == CheckResult::Right;
}

bool OpenEncryptedPasswordLoop(TOpenContext& context) {
  TEncryptionManager& manager = GetEncryptionManager();
  if (context.Password.empty()) {
    context.Password = FileServices().RememberedPassword(context.Options.FileName);
    if (context.Password.empty() && (ReusePasswordOption() & kTryAllPasswordsBit))
      context.Password = RememberedOpeningPassword();
    context.PasswordRemembered = !context.Password.empty();
  }
  for (;;) {
    if (context.Password.empty()) {
      std::string answer;
      if (!FileServices().AskPasswordForOpening(answer)) return false;
      if (answer.size() > kMaxPasswordLength) answer.resize(kMaxPasswordLength);
      context.Password = manager.EncryptString(answer);
      context.PasswordRemembered = false;
    }
    if (context.ShowProgress) FileServices().EndProgress();
    const bool right = CheckContext(context, context.Password);
    if (context.ShowProgress)
      FileServices().BeginProgress(context.FileSize,
                                   FormatMessageText("Loading document \"%s\" ...",
                                                     {context.OpenedName}));
    if (right) return true;
    if (!context.PasswordRemembered) {
      const int32_t answer = ShowMessageDlg(
          "Incorrect password. Would you like to try opening this encrypted document with "
          "another password?",
          mkConfirmation, ButtonBit(mbYes) | ButtonBit(mbNo));
      if (answer != mrYes) {
        context.Password.clear();
        return false;
      }
    }
    context.Password.clear();
    context.PasswordRemembered = false;
  }
}

std::string& RememberedOpeningPassword() {
  static std::string password;
  return password;
}

std::string& SuggestedSavingPassword() {
  static std::string password;
  return password;
}

std::string SavingPasswordProblem(const std::string& password, const std::string& retyped) {
  if (password.empty()) return "Please specify a non-blank password.";
  if (static_cast<int32_t>(password.size()) < kMinPasswordLength)
    return FormatMessageText("The password cannot be shorter than %s characters.",
                             {std::to_string(kMinPasswordLength)});
  if (retyped.empty()) return "Please reenter password.";
  if (password != retyped) return "Both password entries must match.";
  return {};
}

}  // namespace qv
