#include "shell/doc_file_names.h"

#include <cctype>

#include "foundation/system/paths.h"

namespace qv {

namespace {

const char* const kDocExtensions[kDocFormatCount] = {"rtf", "doc", "docx", "odt",
                                                     "cod", "wri", "txt"};
const char* const kDocFormatNames[kDocFormatCount] = {"RTF", "DOC", "DOCX", "ODT",
                                                      "COD", "WRI", "TXT"};
const char* const kDocFilters[kDocFormatCount] = {
    "Rich Text Format (*.rtf)|*.rtf", "MS Word DOC (*.doc)|*.doc",
    "MS Word DOCX (*.docx)|*.docx",   "OpenDocument ODF (*.odt)|*.odt",
    "Encrypted Documents (*.cod)|*.cod", "Windows Write (*.wri)|*.wri",
    "Text Files (*.txt)|*.txt"};
const char* const kPictureExtensions[] = {"bmp", "emf", "wmf", "jpg", "gif", "png"};
const char* const kWebExtensions[] = {"htm", "html", "shtml", "xml", "cgi",  "pl",  "php", "asp",
                                      "wav", "midi", "wmv",   "avi", "mp3", "mpg", "mpeg"};

// The extension without its dot, in lower case ("" when the name has none).
std::string LowerExtension(const std::string& name) {
  std::string ext = ExtractFileExt(name);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

bool IsProjectFileName(const std::string& name) { return LowerExtension(name) == "qvpj"; }

bool HasDocumentExtension(const std::string& name) {
  const std::string ext = LowerExtension(name);
  if (ext.empty()) return false;
  for (const char* e : kDocExtensions)
    if (ext == e) return true;
  return false;
}

uint8_t GetPictureFormatIndex(const std::string& name) {
  const std::string ext = LowerExtension(name);
  if (ext == "jpeg") return 3;
  for (uint8_t i = 0; i < 6; ++i)
    if (!ext.empty() && ext == kPictureExtensions[i]) return i;
  return kNoPictureFormat;
}

bool IsWebFileName(const std::string& name) {
  const std::string ext = LowerExtension(name);
  if (ext.empty()) return false;
  for (const char* e : kWebExtensions)
    if (ext == e) return true;
  return false;
}

int32_t DocFormatFromExactName(const std::string& upperCaseName) {
  for (int32_t i = kDocFormatCount - 1; i >= 0; --i)
    if (upperCaseName == kDocFormatNames[i]) return i;
  return kNoDocFormat;
}

bool IsInSaveFilter(int32_t format) { return format != 3 && format != 5; }

int32_t SaveFilterIndexOfFormat(int32_t format) {
  int32_t index = format + 1;
  for (int32_t f = 0; f < format; ++f)
    if (!IsInSaveFilter(f)) --index;
  return index;
}

int32_t FormatOfSaveFilterIndex(int32_t filterIndex) {
  int32_t seen = 0;
  for (int32_t f = 0; f < kDocFormatCount; ++f) {
    if (!IsInSaveFilter(f)) continue;
    if (++seen == filterIndex) return f;
  }
  return 0;
}

std::string OpenDocumentFilter() {
  std::string filter;
  for (const char* f : kDocFilters) filter += std::string(f) + "|";
  return filter +
         "All Document Types|*.rtf;*.doc;*docx;*.dot;*.odt;*.cod;*.wri;*.txt|All Files (*.*)|*.*";
}

std::string SaveDocumentFilter() {
  std::string filter;
  for (int32_t f = 0; f < kDocFormatCount; ++f)
    if (IsInSaveFilter(f)) filter += std::string(kDocFilters[f]) + "|";
  filter.pop_back();
  return filter;
}

bool OpensInDocumentViewMode(const std::string& name) {
  const std::string ext = LowerExtension(name);
  for (int32_t f = 0; f < kDocFormatCount - 1; ++f)
    if (ext == kDocExtensions[f]) return true;
  return false;
}

}  // namespace qv
