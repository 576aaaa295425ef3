#include "files/safe_copies.h"

#include <filesystem>

#include "document/doc.h"
#include "files/doc_formats.h"
#include "files/document_road_services.h"
#include "files/output/saving_options.h"
#include "files/save_dispatcher.h"
#include "foundation/system/temp_files.h"

namespace qv {
namespace {

constexpr int32_t kSafeCopySound = 2065;

bool SafeCopyDue(const TDoc& doc) {
  const TDocFileState& state = doc.FileState;
  if (state.SafeCopyInProgress || state.VadureVavi) return false;
  if (state.SafeCopyExists && !state.ChangedSinceSafeCopy) return false;
  if (state.SafeCopyExists && doc.UndoPosition == doc.SafeCopyPoint) return false;
  return doc.Modified != 0 || state.SafeCopyExists;
}

}  // namespace

void DocMakeSafeCopy(TDoc& doc) {
  TDocFileState& state = doc.FileState;
  if (!SafeCopyDue(doc)) return;
  const bool first = !state.SafeCopyExists;
  if (first) {
    try {
      // The name is taken at once (an empty file), so no other copy can get it.
      state.SafeCopyName = MakeTempFileNameExt(tfkSafeCopy);
    } catch (const std::exception&) {
      return;
    }
  }
  TDocSavingOptions options;
  options.Target = TDocSavingOptions::tgFile;
  doc.GetMainTextRange(options.Range);
  options.Format = doc.FormatIndex == dfEncrypted && !state.Password.empty() ? dfEncrypted : dfRtf;
  options.Flags = TDocSavingOptions::sfCopy;
  options.Name = doc.FileName;
  const std::string ownName = doc.FileName;
  doc.FileName = state.SafeCopyName;
  state.WritingSafeCopy = true;
  state.SafeCopyInProgress = true;
  // The new copy replaces the previous one only once it is complete.
  const uint8_t result = DocSaveToFile(doc, options);
  doc.FileName = ownName;
  state.WritingSafeCopy = false;
  state.SafeCopyInProgress = false;
  TDocumentRoadServices& road = DocumentRoadServices();
  if (result == 0) {
    state.SafeCopyExists = true;
    state.ChangedSinceSafeCopy = false;
    doc.SafeCopyPoint = doc.UndoPosition;
    road.PlaySound(kSafeCopySound);
  } else if (first) {
    std::error_code ec;
    std::filesystem::remove(state.SafeCopyName, ec);
    state.SafeCopyName.clear();
  }
  road.RequestInterfaceUpdate();
}

void DocDeleteSafeCopy(TDoc& doc) {
  TDocFileState& state = doc.FileState;
  if (!state.SafeCopyName.empty()) {
    std::error_code ec;
    std::filesystem::remove(state.SafeCopyName, ec);
  }
  state.SafeCopyName.clear();
  state.SafeCopyExists = false;
  state.ChangedSinceSafeCopy = false;
}

}  // namespace qv
