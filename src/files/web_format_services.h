#pragma once
// What the open and save roads, the clipboard and paste ask of the HTML reader and writer,
// which live in a higher subsystem. The stand-in reads and writes nothing.
#include <cstdint>
#include <memory>

namespace qv {

class TDoc;
class TOpenContext;
class TSaveContext;
class TShape;

class TWebFormatServices {
 public:
  virtual ~TWebFormatServices() = default;
  // The HTML reader (format index 0xF000); false when the document was not read.
  virtual bool ReadHtml(TOpenContext& context) { return false; }
  // The HTML writer, chosen by the HTML saving flag: 0 written, 2 failed.
  virtual bool CanWriteHtml() { return false; }
  virtual uint8_t WriteHtml(TSaveContext& context) { return 2; }
  // Clipboard mode: the document as "clip.htm" in the HTML clipboard folder; false on failure.
  virtual bool SaveDocAsWebPage(TDoc& doc) { return false; }
  // Fits a picture shape into an area (the eBook cover).
  virtual void FitShapeToArea(TShape& shape, int32_t width, int32_t height) {}
};

void RegisterWebFormatServices(std::unique_ptr<TWebFormatServices> services);
TWebFormatServices& WebFormatServices();

}  // namespace qv
