#pragma once
// The output layer that every document writer (RTF, Word binary, DOCX, HTML, plain text) writes
// through. A TSaveContext belongs to one save: the writer emits bytes with the Write* routines,
// which either append them to the options' output TMemory (a save to memory: the clipboard,
// templates, previews) or gather them in the program-wide 64 KB output buffer that is flushed to
// the save's TSaveFile. For an encrypted document (format index 4) each flushed block is
// enciphered first, all but the plain file header. The layer also shows the save's progress and,
// before the RTF, Word binary and DOCX writers run, collects the fonts, colours and lists the
// document uses (files/output/save_collection.h).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "files/output/saving_options.h"
#include "foundation/base/memory.h"

namespace qv {

class TDoc;
class TOutputCipher;
class TSaveFile;

class TSaveContext {
 public:
  // What a save is writing, for its progress text.
  enum class TSaveKind : uint8_t { Document, Backup, SafeCopy };

  static constexpr int32_t OutputBufferSize = 0x10000;

  // A save of the document with a private copy of the options. A save to a file takes the shared
  // output buffer (growing it to 64 KB); a save that starts while another one holds it gets a
  // buffer of its own, so that nested saves never mix their bytes.
  TSaveContext(TDoc* doc, const TDocSavingOptions& options);
  ~TSaveContext();
  TSaveContext(const TSaveContext&) = delete;
  TSaveContext& operator=(const TSaveContext&) = delete;

  TDocSavingOptions Options;
  int32_t BufferFill = 0;    // bytes of the output buffer in use
  int64_t BytesFlushed = 0;  // bytes already written to the file by earlier flushes
  TDoc* Doc = nullptr;
  std::vector<uint32_t> ColorTable;  // entry 0 is the automatic colour after the collection
  int32_t ListCounter = 0;
  bool CjkFonts = false;
  bool WriteTables = false;
  bool EndnotesPresent = false;
  bool FootnotesPresent = false;
  char SavedDecimalSeparator = '.';
  int32_t ParagraphCounter = 0;
  TSaveKind Kind = TSaveKind::Document;

  // Set by the save routine for a file target.
  TSaveFile* File = nullptr;
  // Set by the save routine for an encrypted document; such a save without one fails rather
  // than write the document in plain text.
  TOutputCipher* Cipher = nullptr;

  // The used marks of the collection step: one byte per font-manager entry (font number), and
  // per list of the document (by its place in TDoc::Lists) the used mark and output number.
  std::vector<uint8_t> FontUsed;
  std::vector<uint8_t> ListUsed;
  std::vector<int32_t> ListOutputNumber;
  // The document asks for all its lists to be written, used or not.
  bool AllLists = false;

  bool ToMemory() const { return Options.Target == TDocSavingOptions::tgMemory; }
  TMemory& Buffer() { return *buffer_; }

 private:
  TMemory* buffer_ = nullptr;
  TMemory ownBuffer_;
  bool holdsShared_ = false;
};

// The program-wide output buffer (main thread, one save at a time).
TMemory& SharedOutputBuffer();

void WriteOutputByte(TSaveContext& context, uint8_t value);
// Two bytes, the low one first.
void WriteOutputWord(TSaveContext& context, uint16_t value);
void WriteOutputBytes(TSaveContext& context, const void* data, int32_t count);
inline void WriteOutputString(TSaveContext& context, const std::string& s) {
  WriteOutputBytes(context, s.data(), static_cast<int32_t>(s.size()));
}
// Makes room for `count` more bytes: flushes when they do not fit behind the fill, and grows the
// buffer (to the count rounded up to even) when they do not fit even then.
void EnsureOutputSpace(TSaveContext& context, int32_t count);
// Writes the filled part of the buffer to the file, enciphered for an encrypted document. A
// failed write asks "Error writing file" with Retry and Cancel: Retry writes the same bytes
// again, Cancel raises EAbort. Does nothing when the fill is 0.
void FlushOutput(TSaveContext& context);

// Status-bar progress of the save: the maximum is the paragraphs of the range.
void BeginSaveProgress(TSaveContext& context);
// After each paragraph: moves the bar every 256 paragraphs (not for a save to memory, in silent
// mode, or while a selection is written for the clipboard).
void ReportSaveProgress(TSaveContext& context);
void EndSaveProgress(TSaveContext& context);

// A writer: fills the context and answers the result byte (0 written, 1 cancelled, 2 failed).
using TDocWriter = std::function<uint8_t(TSaveContext&)>;

// Saves to a file the safe way: the writer writes a temporary file in the target's folder,
// which is flushed to the disk and renamed over the target only when the writer succeeded. Any
// failure (the file cannot be created, a write fails and the user cancels, the writer fails,
// the rename fails) answers 2 and leaves the target as it was. Failures to create or write the
// file are offered with Retry and Cancel. A save to memory just runs the writer.
uint8_t SaveThroughTempFile(TSaveContext& context, const std::string& target,
                            const TDocWriter& writer);

// The text of the write-failure message ("Error writing file \"%s\".").
std::string WriteErrorText(const std::string& fileName);

}  // namespace qv
