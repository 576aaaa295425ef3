#pragma once
// What the housekeeping timer asks of the makers of document copies: the backup maker (dated
// copies in the backup folder) and the crash-recovery road (Safe Copies). The stand-in keeps no
// backups and writes no Safe Copies.
#include <memory>
#include <string>

namespace qv {

class TDoc;

class TDocumentCopyServices {
 public:
  virtual ~TDocumentCopyServices() = default;
  // Makes the document's backup under the name from the file the document was just written to;
  // records the time of the backup and the document's change state at that time.
  virtual void MakeBackup(TDoc& /*doc*/, const std::string& /*name*/,
                          const std::string& /*writtenFile*/) {}
  // Backs up the file the document keeps open, before its automatic backup (false when it keeps
  // none or its handle no longer works).
  virtual bool BackUpOpenFile(TDoc& /*doc*/) { return false; }
  // Writes the document's Safe Copy when it needs one; false when writing failed.
  virtual bool WriteSafeCopy(TDoc& /*doc*/) { return true; }
};

// Registers the service (null puts the stand-in back); the registered one, never null.
void RegisterDocumentCopyServices(std::unique_ptr<TDocumentCopyServices> services);
TDocumentCopyServices& DocumentCopyServices();

}  // namespace qv
