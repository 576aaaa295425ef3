#pragma once
// What the shell asks of the clipboard manager (the clipboard history, the Vadure Vavi and the
// clip thumbnails), which the editing engine is to provide. The stand-in keeps no history and has
// no Vadure Vavi: nothing is captured and nothing keeps the program from closing.
#include <memory>

namespace qv {

class TDoc;

class TClipboardManagerServices {
 public:
  virtual ~TClipboardManagerServices() = default;
  // The clipboard manager and the clip-thumbnail cache: made at start-up before any document,
  // freed at shutdown after the dialogs.
  virtual void CreateClipboardManager() {}
  virtual void FreeClipboardManager() {}
  // The clipboard changed and the user has been quiet for a moment: its content is taken into
  // the clipboard history and, when it collects, the Vadure Vavi.
  virtual void CaptureClipboard() {}
  // The Vadure Vavi's say when the program is to close; false keeps it open.
  virtual bool CloseQuery() { return true; }
  virtual bool IsVadureVavi(const TDoc& /*doc*/) { return false; }
  // Drops and frees the Vadure Vavi after an exception during an edit of it.
  virtual void DropVadureVavi() {}
  // Saves the Vadure Vavi's document when it is modified (with the Safe Copies).
  virtual void SaveVadureVavi() {}
};

// Registers the service (null puts the stand-in back); the registered one, never null.
void RegisterClipboardManagerServices(std::unique_ptr<TClipboardManagerServices> services);
TClipboardManagerServices& ClipboardManagerServices();

}  // namespace qv
