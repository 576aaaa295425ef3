#include "files/output/output_layer.h"

#include <algorithm>

#include "document/doc.h"
#include "files/output/output_cipher.h"
#include "files/output/save_file.h"
#include "files/output/save_progress_services.h"
#include "foundation/base/exceptions.h"
#include "foundation/ui/message_dlg_service.h"

namespace qv {
namespace {

bool g_sharedBufferBusy = false;

std::string FileNameOfSave(const TSaveContext& context) {
  if (context.File != nullptr) return context.File->Target();
  return context.Doc != nullptr ? context.Doc->FileName : std::string();
}

// Asks whether to try a failed write again; true for Retry.
bool AskRetryWrite(const std::string& fileName) {
  MessageDlgInfo().DefaultButton = mbRetry;
  return ShowMessageDlg(WriteErrorText(fileName), mkError,
                        ButtonBit(mbRetry) | ButtonBit(mbCancel)) == mrRetry;
}

void EncipherBlock(TSaveContext& context) {
  if (context.Cipher == nullptr)
    throw Exception("An encrypted document cannot be written without its encryption manager");
  // The file header stays plain; it is the first bytes ever flushed.
  const int64_t headerLeft = std::max<int64_t>(0, EncryptedHeaderSize - context.BytesFlushed);
  const int32_t skip = static_cast<int32_t>(std::min<int64_t>(headerLeft, context.BufferFill));
  if (context.BufferFill > skip)
    context.Cipher->EncipherBlock(context.Buffer().Data + skip, context.BufferFill - skip);
}

}  // namespace

TMemory& SharedOutputBuffer() {
  static auto* buffer = new TMemory();
  return *buffer;
}

TSaveContext::TSaveContext(TDoc* doc, const TDocSavingOptions& options)
    : Options(options), Doc(doc) {
  if (ToMemory()) {
    buffer_ = &ownBuffer_;  // never used: memory output appends to Options.Output
    return;
  }
  if (!g_sharedBufferBusy) {
    g_sharedBufferBusy = holdsShared_ = true;
    buffer_ = &SharedOutputBuffer();
  } else {
    buffer_ = &ownBuffer_;
  }
  if (buffer_->Length < OutputBufferSize) buffer_->SetLength(OutputBufferSize);
}

TSaveContext::~TSaveContext() {
  if (holdsShared_) g_sharedBufferBusy = false;
}

std::string WriteErrorText(const std::string& fileName) {
  return FormatMessageText("Error writing file \"%s\".", {fileName});
}

void EnsureOutputSpace(TSaveContext& context, int32_t count) {
  TMemory& buffer = context.Buffer();
  if (count < 0 || count > TMemory::MaxLength - 1) throw EOutOfMemory();
  if (static_cast<int64_t>(buffer.Length) < static_cast<int64_t>(context.BufferFill) + count)
    FlushOutput(context);
  if (buffer.Length < count) buffer.SetLength((count + 1) & ~1);
}

void WriteOutputBytes(TSaveContext& context, const void* data, int32_t count) {
  if (count <= 0) return;
  if (context.ToMemory()) {
    if (context.Options.Output == nullptr) throw Exception("A save to memory needs its block");
    context.Options.Output->Append(data, count);
    return;
  }
  EnsureOutputSpace(context, count);
  std::copy_n(static_cast<const uint8_t*>(data), count,
              context.Buffer().Data + context.BufferFill);
  context.BufferFill += count;
}

void WriteOutputByte(TSaveContext& context, uint8_t value) {
  if (!context.ToMemory() && context.BufferFill < context.Buffer().Length) {
    context.Buffer().Data[context.BufferFill++] = value;
    return;
  }
  WriteOutputBytes(context, &value, 1);
}

void WriteOutputWord(TSaveContext& context, uint16_t value) {
  const uint8_t bytes[2] = {static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>(value >> 8)};
  WriteOutputBytes(context, bytes, 2);
}

void FlushOutput(TSaveContext& context) {
  if (context.ToMemory() || context.BufferFill == 0) return;
  if (context.File == nullptr || !context.File->IsOpen())
    throw EWriteError(WriteErrorText(FileNameOfSave(context)));
  if (context.Options.Format == 4) EncipherBlock(context);
  while (!context.File->Write(context.Buffer().Data, static_cast<size_t>(context.BufferFill))) {
    if (!context.File->IsOpen() || !AskRetryWrite(FileNameOfSave(context))) throw EAbort();
  }
  context.BytesFlushed += context.BufferFill;
  context.BufferFill = 0;
}

void BeginSaveProgress(TSaveContext& context) {
  if (context.ToMemory() || MessagesSuppressed) return;
  const TDocRange& r = context.Options.Range;
  const int32_t maximum = std::max(1, r.End.Par - r.Start.Par + 1);
  TSaveProgressServices& progress = SaveProgressServices();
  std::string format = "Saving document \"%s\" ...";
  std::string name = context.Doc != nullptr ? context.Doc->FileName : std::string();
  if (context.Kind == TSaveContext::TSaveKind::Backup) {
    format = "Creating backup for \"%s\" ...";
    name = context.Options.Name;
  } else if (context.Kind == TSaveContext::TSaveKind::SafeCopy) {
    format = "Creating a Safe Copy for \"%s\" ...";
    name = context.Options.Name;
  }
  progress.BeginProgress(maximum, FormatMessageText(format, {progress.FitPathToWidth(name)}));
}

void ReportSaveProgress(TSaveContext& context) {
  if ((context.ParagraphCounter & 0xFF) != 0 || context.ToMemory() || MessagesSuppressed) return;
  TSaveProgressServices& progress = SaveProgressServices();
  if (progress.CopyingForClipboard()) return;
  progress.SetProgressPos(context.ParagraphCounter);
}

void EndSaveProgress(TSaveContext& context) {
  if (context.ToMemory() || MessagesSuppressed) return;
  SaveProgressServices().EndProgress();
}

uint8_t SaveThroughTempFile(TSaveContext& context, const std::string& target,
                            const TDocWriter& writer) {
  if (context.ToMemory()) {
    // Nothing goes to a file: the writer fills the options' block.
    try {
      return writer(context);
    } catch (const std::exception&) {
      return 2;
    }
  }
  TSaveFile file;
  while (!file.Create(target)) {
    if (!AskRetryWrite(target)) return 2;
  }
  context.File = &file;
  context.BufferFill = 0;
  context.BytesFlushed = 0;
  uint8_t result = 2;
  try {
    result = writer(context);
    if (result == 0) FlushOutput(context);
  } catch (const std::exception&) {
    result = 2;
  }
  context.File = nullptr;
  context.BufferFill = 0;
  if (result != 0) return result;  // the temporary file goes with `file`
  if (!file.Commit()) {
    MessageDlgInfo().DefaultButton = mbOK;
    ShowMessageDlg(WriteErrorText(target), mkError, ButtonBit(mbOK));
    return 2;
  }
  return 0;
}

}  // namespace qv
