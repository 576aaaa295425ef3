#pragma once
// What the file commands ask of the web and e-book formats for their dialogs: saving a document as a web page,
// exporting it as an eBook, and the batch conversion dialog. The formats register the real
// service when they are built; the stand-in does nothing and answers that nothing was saved.
#include <memory>

namespace qv {

class TDoc;

class TWebExportServices {
 public:
  virtual ~TWebExportServices() = default;
  // Save As Web Page with its dialog; true when a page was written.
  virtual bool SaveDocAsWebPage(TDoc& /*doc*/) { return false; }
  // The eBook export of the document with its dialogs; true when written.
  virtual bool ExportEbook(TDoc& /*doc*/) { return false; }
  // The batch conversion dialog (the target document, or none).
  virtual void RunBatchConversion(TDoc* /*doc*/) {}
};

void RegisterWebExportServices(std::unique_ptr<TWebExportServices> services);
TWebExportServices& WebExportServices();

}  // namespace qv
