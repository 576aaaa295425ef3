#pragma once
// What a document keeps about its file and about the saves, backups and safe copies made of it:
// the flags the open and save roads set and test, the password of an encrypted document, the
// save counter, the safe copy and the writing target that the RTF writer stores. Plain data; the
// files subsystem gives it its meaning.
#include <cstdint>
#include <string>

namespace qv {

struct TDocFileState {
  // --- Opening ---
  bool ReadOnly = false;             // the file could only be opened for reading
  bool WorkingCopy = false;          // opened from a copy because the file was in use
  bool RestoredFromSafeCopy = false; // read from a crash-recovery copy
  bool FullDocument = false;         // must end in a paragraph mark even when hidden
  bool TablesRead = false;           // the reader produced tables
  bool NoDetectionOffer = false;     // a file that does not match its format is refused at once
  bool NoCopyOffer = false;          // a file in use is not copied
  bool NoViewSetup = false;          // the open leaves zoom and caret alone
  bool ErrorReported = false;        // a reader showed its own message
  bool LoadedAsFragment = false;     // read to be inserted into another document
  bool TableFragment = false;        // read as a table fragment (may end in a cell end)
  // The caret position the reader found in the file (-1 none).
  int32_t StoredCaretPar = -1;
  int32_t StoredCaretOffset = 0;

  // --- Saving ---
  bool HoldsFile = false;            // the file is held open by the program (Save in place)
  bool PropertiesPending = false;    // a new document whose properties were not yet offered
  bool WarnedLostFormatting = false; // the lost-formatting question was answered for the document
  bool FormatWarningSuppressed = false;
  bool BeingCopied = false;          // a copy of the document is being written
  bool LeaveOutFinalParagraph = false;  // copies end one paragraph before the main text's end
  bool CompactRtf = false;           // the document's own "compact RTF" flag
  bool AllLists = false;             // every list is written, used or not
  bool VadureVavi = false;           // the Vadure Vavi document
  bool VadureVaviSaving = false;     // ... being saved to its own file
  std::string Password;              // enciphered with the encryption manager; empty none
  int32_t SaveCounter = 0;
  int64_t FileSize = 0;
  int32_t DefaultLanguageCoding = 0;
  double EditingTimeRecorded = 0;    // when the editing time was last recorded
  // The writing target (type, value, relative-to) and its counter; 2147483647 means reached.
  int32_t WritingTargetType = 0;
  int32_t WritingTarget = 0;
  int32_t WritingTargetRelTo = 0;
  int32_t WritingTargetCounter = 0;
  // The statistics the document holds for its file's information (0 not known).
  int32_t StatCharsWithSpaces = 0;
  int32_t StatChars = 0;
  int32_t StatWords = 0;
  int32_t StatPages = 0;

  // --- Backups ---
  bool ForcedBackup = false;
  bool WritingBackup = false;
  double LastBackupTime = 0;         // days since 30 December 1899

  // --- Safe copies ---
  bool WritingSafeCopy = false;
  bool SafeCopyInProgress = false;
  bool SafeCopyExists = false;
  bool ChangedSinceSafeCopy = false;
  std::string SafeCopyName;
};

}  // namespace qv
