#pragma once
// What the open and save roads ask of the Word binary format (its reader and writer live in a
// higher subsystem). The stand-in reads and writes nothing: a DOC file is refused on opening,
// and saving as DOC is refused with the format's message before anything is written.
#include <cstdint>
#include <memory>

namespace qv {

class TOpenContext;
class TSaveContext;

class TWordBinaryServices {
 public:
  virtual ~TWordBinaryServices() = default;
  // The reader (format index 1), on the open's context; false when the document was not read.
  virtual bool ReadDoc(TOpenContext& context) { return false; }
  // The writer (format index 1): 0 written, 2 failed.
  virtual bool CanWriteDoc() { return false; }
  virtual uint8_t WriteDoc(TSaveContext& context) { return 2; }
};

void RegisterWordBinaryServices(std::unique_ptr<TWordBinaryServices> services);
TWordBinaryServices& WordBinaryServices();

}  // namespace qv
