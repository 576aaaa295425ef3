#pragma once
// The File Conversion dialog as the plain-text reader and writer ask for it: the user confirms
// or changes the encoding (and, when saving, the line-end style) with a preview. The dialog
// itself belongs to the interface; until it is registered the stand-in accepts the record as it
// is, so a file opens in the encoding that detection chose.
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

struct TTextConvRecord {
  static constexpr uint8_t cmOpening = 0;  // Data are the file's bytes
  static constexpr uint8_t cmSaving = 1;   // Data are the document's text as UTF-16
  uint8_t Mode = cmOpening;
  uint8_t LineEnd = 0;
  const void* Data = nullptr;
  int32_t DataLength = 0;  // bytes
  int32_t Encoding = -1;
  int32_t FontIndex = 0;   // font of the preview
};

class TTextConvServices {
 public:
  virtual ~TTextConvServices() = default;
  // True on OK, with the record's encoding (and line-end style) updated.
  virtual bool ExecuteTextConvDialog(TTextConvRecord& record) { return record.Encoding >= 0; }
};

void RegisterTextConvServices(std::unique_ptr<TTextConvServices> service);
TTextConvServices& TextConvServices();

// The answer given for a file is used again, without asking, when the same file is read next;
// the Open Document dialog forgets it each time it is shown.
void RememberTextConvAnswer(const std::string& fileName, int32_t encoding);
// The remembered encoding for the file, -1 when another file (or none) was answered last.
int32_t RememberedTextConvAnswer(const std::string& fileName);
void ForgetTextConvAnswer();

}  // namespace qv
