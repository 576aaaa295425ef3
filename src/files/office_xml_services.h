#pragma once
// What the format probe and the open and save roads ask of the Office XML formats (zip
// packages, the DOCX and ODT readers), which live in a higher subsystem. The stand-in's zip
// package reads the central directory of the archive and extracts stored and deflated entries
// of modest size, enough for the probe to tell DOCX from ODT; it has no document readers.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace qv {

class TOpenContext;
class TSaveContext;

// A zip archive read from an open file, extracting named entries into a folder on demand.
class TUnpackedZip {
 public:
  virtual ~TUnpackedZip() = default;
  // Extracts the entry to a file of the entry's last name part in the folder and gives its
  // path; false when the entry is absent, damaged or too large.
  virtual bool ExtractEntry(const std::string& name, std::string& path) = 0;
};

class TOfficeXmlServices {
 public:
  virtual ~TOfficeXmlServices() = default;
  // Reads the archive's directory from the file (its position is left anywhere); null when the
  // file is no readable zip archive.
  virtual std::unique_ptr<TUnpackedZip> UnpackZip(std::FILE* file, const std::string& folder);
  // The DOCX and ODT readers (format indexes 2 and 3); false when not read.
  virtual bool ReadDocx(TOpenContext& context) { return false; }
  virtual bool ReadOdt(TOpenContext& context) { return false; }
  // The DOCX writer (format index 2), run by the save dispatcher with the save's context; the
  // result byte of a writer (0 written, 2 failed). CanWriteDocx is false while there is none,
  // and the format is then refused before anything is written.
  virtual bool CanWriteDocx() { return false; }
  virtual uint8_t WriteDocx(TSaveContext& context) { return 2; }
  // "application/vnd.openxmlformats-officedocument.wordprocessingml.%s+xml" filled with a part
  // name.
  virtual std::string DocxContentType(const std::string& part);
};

void RegisterOfficeXmlServices(std::unique_ptr<TOfficeXmlServices> services);
TOfficeXmlServices& OfficeXmlServices();

}  // namespace qv
