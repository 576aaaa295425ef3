#pragma once
// What the open and save roads, backups and safe copies ask of the application shell and the
// commands: the save dialog, the recent-files list, the clip library folder, the document
// dispatcher's requests, templates, downloads, sounds and window updates. The stand-in has no
// dialog (every dialog is cancelled), no recent list and no clip library, and asks nothing.
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class TDoc;
class TShape;

// One run of the save dialog: what it proposes and what the user chose.
struct TSaveDialogRequest {
  std::string Title;
  std::string FileName;   // in: proposed name (with its folder); out: the chosen file
  int32_t Format = 0;     // in: preselected format index; out: the chosen file type
  bool TemplateMode = false;
  std::string DocName;    // for the dialog's preview
  std::string Password;   // enciphered, for the preview of an encrypted document
};

class TDocumentRoadServices {
 public:
  virtual ~TDocumentRoadServices() = default;

  // --- Save dialog and the window ---
  // Runs the save dialog; false when cancelled.
  virtual bool RunSaveDialog(TSaveDialogRequest& request) { return false; }
  // The documents folder of "Suggest saving &documents to:" (with a trailing separator), else
  // the program's folder in the user's documents.
  virtual std::string DocumentsFolder();
  virtual void UpdateWindowIcon(TDoc& doc) {}
  virtual void RedrawMainFrame() {}
  // TDoc.ActivateWindow: brings the document's window to the front.
  virtual void ActivateWindow(TDoc& doc) {}

  // --- Recent files, clip library, interface ---
  virtual void AddRecentFile(const std::string& fileName) {}
  virtual void RebuildRecentFilesMenu() {}
  // The clip library folder (with a trailing separator); empty when there is none.
  virtual std::string ClipLibraryFolder() { return {}; }
  virtual void RefreshClipLibrary() {}
  virtual void RequestInterfaceUpdate() {}
  // The backup options (the command that shows them).
  virtual void ShowBackupOptions() {}
  virtual void PlaySound(int32_t event) {}

  // --- The document dispatcher ---
  virtual bool OpenReadOnlyRequested() { return false; }
  virtual bool CopiesForbidden() { return false; }
  // Documents are read without their final paragraph mark (a file inserted into another).
  virtual bool LeaveOutFinalParagraphMark() { return false; }
  // The command line holds the ShutDown switch.
  virtual bool ShutDownSwitch() { return false; }
  // The default template of a format without styles and page set-up, loaded hidden; null when
  // there is none.
  virtual std::unique_ptr<TDoc> LoadDefaultTemplate(int32_t format);
  // The Vadure Vavi's own file.
  virtual std::string VadureVaviFileName() { return {}; }
  virtual void RecordEditingTime(TDoc& doc) {}
  // The default zoom option: a positive percent, or minus a zoom mode; 0 leaves the zoom.
  virtual int32_t DefaultZoom() { return 0; }
  // Whether the file lies in a temporary folder (the system's or Temporary Internet Files).
  virtual bool IsInTemporaryFolder(const std::string& fileName);
  // Whether the file lies on a removable drive (the file is then not held open).
  virtual bool IsRemovableDrive(const std::string& fileName) { return false; }

  // --- Linked pictures ---
  // The base address of the last HTML clipboard fragment; empty when none.
  virtual std::string HtmlBaseUrl() { return {}; }
  // Downloads the address into the file; false on failure.
  virtual bool DownloadFile(const std::string& url, const std::string& fileName) { return false; }
  // A picture shape loaded from the file, added to the document's shapes but not yet put into
  // its text (the caller places it inline); null when it cannot be loaded.
  virtual TShape* LoadPictureShape(TDoc& doc, const std::string& fileName) { return nullptr; }
};

void RegisterDocumentRoadServices(std::unique_ptr<TDocumentRoadServices> services);
TDocumentRoadServices& DocumentRoadServices();

}  // namespace qv
