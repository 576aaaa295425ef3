#include "files/open_context.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "document/par.h"
#include "files/crypt/encrypted_document.h"
#include "files/crypt/encryption_manager.h"
#include "files/doc_formats.h"
#include "files/file_services.h"
#include "files/office_xml_services.h"
#include "files/read_buffer.h"
#include "foundation/base/exceptions.h"
#include "foundation/system/temp_files.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {

TOpenContext::TOpenContext() = default;

TOpenContext::~TOpenContext() {
  std::error_code ignored;
  ZipPackage.reset();
  if (!PackageFolder.empty()) std::filesystem::remove_all(PackageFolder, ignored);
  if (HasTemporaryCopy) std::filesystem::remove(TemporaryCopy, ignored);
}

void TOpenContext::ReadFailed() const {
  ShowErrorFmt("Error reading file \"%s\".", OpenedName);
  throw EAbort();
}

void TOpenContext::BeginFileRead(const std::string& fileName) {
  Options.From = TDocOpeningOptions::Source::File;
  Options.FileName = fileName;
  OpenedName = fileName;
  file_.reset(std::fopen(fileName.c_str(), "rb"));
  if (!file_) throw EFOpenError(fileName);
  if (std::fseek(file_.get(), 0, SEEK_END) != 0) ReadFailed();
  const long size = std::ftell(file_.get());
  if (size < 0 || std::fseek(file_.get(), 0, SEEK_SET) != 0) ReadFailed();
  FileSize = size;
  readableSize_ = size;
  ReadPos = DataEnd = ReadBuffer();
  BufferFileOffset = 0;
  AtEnd = false;
  ProbeRead = true;
  Refill();
  ProbeRead = false;
}

void TOpenContext::RestartRead() {
  if (!file_) return;
  ReadPos = DataEnd = ReadBuffer();
  BufferFileOffset = 0;
  AtEnd = false;
  readableSize_ = FileSize;
  if (std::fseek(file_.get(), 0, SEEK_SET) != 0) ReadFailed();
  Refill();
}

void TOpenContext::BeginMemoryRead(uint8_t* block, int32_t length, int32_t formatIndex) {
  Options.From = TDocOpeningOptions::Source::Memory;
  Options.Block = block;
  Options.Length = std::max(length, 0);
  Options.FormatIndex = formatIndex;
  FileSize = readableSize_ = Options.Length;
  BufferFileOffset = 0;
  AtEnd = true;
  ReadPos = block;
  DataEnd = block + Options.Length;
  if (formatIndex != dfEncrypted) return;
  // An encrypted block is the same as an encrypted file: checked with the password, then
  // deciphered into a block of our own (the caller's block stays as it was). A block that is no
  // encrypted document is refused before any password is asked for.
  if (!LooksEncrypted(block, Options.Length) || !OpenEncryptedPasswordLoop(*this)) throw EAbort();
  if (!DecipherEncryptedBlock(block, Options.Length, GetEncryptionManager().DecryptString(Password),
                              deciphered_))
    throw EAbort();
  ReadPos = deciphered_.Data;
  DataEnd = deciphered_.Data + deciphered_.Length;
}

int64_t TOpenContext::PendingBytes() const {
  if (Options.From == TDocOpeningOptions::Source::Memory || AtEnd) return 0;
  const int64_t inBuffer = BufferFileOffset + (DataEnd - ReadBuffer());
  return std::max<int64_t>(readableSize_ - inBuffer, 0);
}

void TOpenContext::Refill() {
  if (!file_ || Options.From == TDocOpeningOptions::Source::Memory) return;
  uint8_t* const buffer = ReadBuffer();
  BufferFileOffset += ReadPos - buffer;
  const int32_t unread = std::max(Unread(), 0);
  if (unread > 0) std::memmove(buffer, ReadPos, static_cast<size_t>(unread));
  const int64_t rest = readableSize_ - BufferFileOffset;
  int64_t toRead = rest > kReadBufferFillLimit ? kReadChunk : rest - unread;
  toRead = std::clamp<int64_t>(toRead, 0, kReadBufferFillLimit - unread);
  ReadPos = buffer;
  size_t got = 0;
  if (toRead > 0) {
    got = std::fread(buffer + unread, 1, static_cast<size_t>(toRead), file_.get());
    if (got != static_cast<size_t>(toRead)) ReadFailed();
  }
  DataEnd = buffer + unread + got;
  AtEnd = BufferFileOffset + unread + static_cast<int64_t>(got) >= readableSize_;
  if (Options.FormatIndex == dfEncrypted && !ProbeRead && got > 0) {
    if (BufferFileOffset == 0)
      DecipherEncryptedStart(static_cast<int32_t>(got));
    else
      GetEncryptionManager().DecipherBlock(buffer + unread, static_cast<int32_t>(got));
  }
  if (ShowProgress) FileServices().SetProgressPos(BufferFileOffset);
}

void TOpenContext::DecipherEncryptedStart(int32_t bytesRead) {
  // The first fill after detection: the password is asked for and checked against the check
  // value before any byte is parsed; then the header gives the content keys.
  if (bytesRead < TEncryptionManager::kHeaderSize || !OpenEncryptedPasswordLoop(*this))
    throw EAbort();
  uint8_t* const buffer = ReadBuffer();
  TEncryptionManager& manager = GetEncryptionManager();
  const std::string password = manager.DecryptString(Password);
  manager.KeysFromHeader(buffer, password);
  manager.DecipherBlock(buffer + TEncryptionManager::kHeaderSize,
                        bytesRead - TEncryptionManager::kHeaderSize);
  // The reader sees the RTF alone: the header is behind the read position and the check value
  // after the readable end.
  readableSize_ = FileSize - TEncryptionManager::kCheckSize;
  DataEnd = std::min(DataEnd, buffer + readableSize_);
  AtEnd = BufferFileOffset + (DataEnd - buffer) >= readableSize_;
  ReadPos = buffer + TEncryptionManager::kHeaderSize;
}

bool TOpenContext::ReadFileAt(int64_t offset, uint8_t* out, int32_t count) const {
  if (!file_ || offset < 0 || count < 0 || offset + count > FileSize) return false;
  const long saved = std::ftell(file_.get());
  bool ok = std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) == 0 &&
            std::fread(out, 1, static_cast<size_t>(count), file_.get()) == static_cast<size_t>(count);
  if (std::fseek(file_.get(), saved, SEEK_SET) != 0) ok = false;
  return ok;
}

bool CopyDocumentFileToTemp(TOpenContext& context) {
  for (;;) {
    std::error_code error;
    std::string copy;
    try {
      copy = MakeTempFileNameExt(tfkTmp);
      std::filesystem::copy_file(context.OpenedName, copy,
                                 std::filesystem::copy_options::overwrite_existing, error);
    } catch (const Exception&) {
      error = std::make_error_code(std::errc::io_error);
    }
    if (!error) {
      context.TemporaryCopy = copy;
      context.HasTemporaryCopy = true;
      return true;
    }
    if (!copy.empty()) std::filesystem::remove(copy, error);
    const std::string text =
        FormatMessageText("Error making a copy of file \"%s\".", {context.OpenedName});
    if (ShowMessageDlg(text, mkError, ButtonBit(mbRetry) | ButtonBit(mbCancel)) != mrRetry)
      return false;
  }
}

}  // namespace qv
