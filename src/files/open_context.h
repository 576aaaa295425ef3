#pragma once
// The input layer: the state of one open (TOpenContext), shared by the format probe and the
// readers. A file is read through the shared read buffer, refilled as the reader consumes it and
// deciphered on the fly for encrypted documents; a memory block is read in place as one window.
//
// Every read is bounded: a fill never leaves more than kReadBufferFillLimit bytes in the buffer,
// nothing is read past the input's end, and a read error ends the open by the silent abort after
// the message "Error reading file "%s".".
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "files/input_window.h"
#include "foundation/base/memory.h"

namespace qv {

class TAutoList;
class TDoc;
class TField;
class TPar;
class TUnpackedZip;

// A character style as a reader found it in the file: the steps after loading look for the
// note-reference styles by name and number, and the RTF reader's guard inside tables of contents
// compares with its formats.
struct TReadCharStyle {
  int32_t Number = 0;
  std::string Name;
  TCharFormat Format;
};

// A list level whose picture bullet is named by its index among the pictures of the document's
// picture-bullets bookmark, which is read after the lists.
struct TPendingPictureBullet {
  TAutoList* List = nullptr;
  int32_t Level = 0;
  int32_t PictureIndex = 0;
};

// What opening takes: a source (file or memory block), a format index (dfDetect to detect,
// dfHtml, dfRefused), the file name, and a block with its length.
struct TDocOpeningOptions {
  enum class Source : uint8_t { File = 0, Memory = 1 };
  Source From = Source::File;
  int32_t FormatIndex = 0;
  std::string FileName;
  uint8_t* Block = nullptr;  // the caller's, alive for the whole open
  int32_t Length = 0;
};

class TOpenContext : public TInputWindow {
 public:
  TOpenContext();
  ~TOpenContext() override;
  TOpenContext(const TOpenContext&) = delete;
  TOpenContext& operator=(const TOpenContext&) = delete;

  TDoc* Document = nullptr;  // the document being filled (not owned)
  TDocOpeningOptions Options;
  int64_t BufferFileOffset = 0;  // file offset of the buffer's first byte
  int64_t FileSize = 0;          // size of the input
  bool ProbeRead = false;        // the first fill, before the format is known: no deciphering
  bool ShowProgress = false;
  std::string OpenedName;        // the file actually read
  std::string TemporaryCopy;     // a copy of the file made for a probe, deleted with the context
  bool HasTemporaryCopy = false;
  std::string Password;          // enciphered; the document's password for an encrypted document
  bool PasswordRemembered = false;

  // Word probe: 0 not probed, 1 valid, 2 not valid; the first 1,536 bytes of the
  // "WordDocument" stream when valid.
  uint8_t WordProbeState = 0;
  std::vector<uint8_t> WordHeader;
  // The zip package, made once by the first zip probe, and its temporary folder.
  std::unique_ptr<TUnpackedZip> ZipPackage;
  std::string PackageFolder;
  bool ZipTried = false;

  // --- What a reader collects and leaves for the steps after loading ---
  // The paragraphs of the footnote, endnote and header/footer stories, in story order; the open
  // road appends them after the main text (AppendReadStories, files/reader_steps.h).
  std::vector<std::unique_ptr<TPar>> FootnotePars;
  std::vector<std::unique_ptr<TPar>> EndnotePars;
  std::vector<std::unique_ptr<TPar>> HeaderFooterPars;
  // The paragraph list being filled (the document's own list for the main text) and the
  // paragraph being read, at its end.
  std::vector<std::unique_ptr<TPar>>* FillList = nullptr;
  TPar* ReadPar = nullptr;
  // Fields whose end mark has not been read yet, in the order they were opened.
  std::vector<TField*> OpenFields;
  // Fields whose marks are removed after loading, their text kept (SHAPE fields).
  std::vector<TField*> FieldsToRemove;
  // The caret position stored in the document (paragraph, offset).
  int32_t CaretPar = 0;
  int32_t CaretOffset = 0;
  // The format of the document an automatic backup copy was made from; unset until a reader
  // sets it.
  int32_t SourceFormat = static_cast<int32_t>(0x80000000u);
  // Styles hold only their own settings (cleared by a reader whose styles arrive with complete
  // formatting, which the steps after loading then reduce to their differences).
  bool StylesOwnSettingsOnly = true;
  // The lists came from a list table (their style references are override numbers).
  bool ListsFromListTable = false;
  // The reader made tables.
  bool TablesRead = false;
  // The reader has shown its own message about the failure; the open road shows none.
  bool ErrorReported = false;
  // Character styles as read, and the list override numbers with the list each names.
  std::vector<TReadCharStyle> CharStyles;
  std::vector<std::pair<int32_t, TAutoList*>> ListOverrides;
  std::vector<TPendingPictureBullet> PendingPictureBullets;

  // Opens the file and makes the first fill (the probe read). EFOpenError when the file cannot
  // be opened; a read error aborts silently after its message.
  void BeginFileRead(const std::string& fileName);
  // Reads a memory block in place; no refill happens. An encrypted block (format 4) is checked
  // and deciphered into a block of the context's own first, like a file.
  void BeginMemoryRead(uint8_t* block, int32_t length, int32_t formatIndex);
  // Reads the file again from its start with the format now known; for an encrypted document
  // this runs the password loop, deciphers, and leaves the window at the start of the RTF.
  void RestartRead();

  // RefillReadBuffer: moves the unread bytes to the buffer start and reads the next part after
  // them, deciphering for encrypted documents.
  void Refill() override;
  int64_t PendingBytes() const override;

  std::FILE* File() const { return file_.get(); }
  // The bytes from the file's start, up to count, read without disturbing the buffer; false
  // when the file cannot be read.
  bool ReadFileAt(int64_t offset, uint8_t* out, int32_t count) const;

 private:
  struct FileCloser {
    void operator()(std::FILE* f) const {
      if (f) std::fclose(f);
    }
  };
  [[noreturn]] void ReadFailed() const;
  void DecipherEncryptedStart(int32_t bytesRead);

  std::unique_ptr<std::FILE, FileCloser> file_;
  int64_t readableSize_ = 0;  // the bytes the reader may see (an encrypted file's check value not)
  TMemory deciphered_;        // an encrypted memory block, deciphered
};

// The readers' name for the refill.
inline void RefillReadBuffer(TOpenContext& context) { context.Refill(); }

// Copies the input file to a new temporary file; on failure asks "Error making a copy of file
// "%s"." with Retry and Cancel until it succeeds or the user cancels (false).
bool CopyDocumentFileToTemp(TOpenContext& context);

}  // namespace qv
