#pragma once
// How the shell tells files apart by name: documents by format index (0 RTF, 1 DOC, 2 DOCX,
// 3 ODT, 4 encrypted, 5 Windows Write, 6 plain text), pictures, web files and document projects;
// and the filters of the document dialogs. Extensions compare without regard to case.
#include <cstdint>
#include <string>

namespace qv {

inline constexpr int32_t kDocFormatCount = 7;
inline constexpr int32_t kFormatDetect = 7;
inline constexpr int32_t kNoDocFormat = static_cast<int32_t>(0x80000000u);
inline constexpr uint8_t kNoPictureFormat = 255;

bool IsProjectFileName(const std::string& name);
bool HasDocumentExtension(const std::string& name);
// 0 bmp, 1 emf, 2 wmf, 3 jpg (and jpeg), 4 gif, 5 png; 255 for anything else.
uint8_t GetPictureFormatIndex(const std::string& name);
bool IsWebFileName(const std::string& name);
// The format whose name ("RTF" ... "TXT") is exactly the text, case included; kNoDocFormat for
// none. (The save road's DocFormatFromName takes any case.)
int32_t DocFormatFromExactName(const std::string& upperCaseName);
// Open Document text and Write documents are read only: the save filter leaves them out.
bool IsInSaveFilter(int32_t format);
// The filter index (from 1) of a format of the save filter, and back.
int32_t SaveFilterIndexOfFormat(int32_t format);
int32_t FormatOfSaveFilterIndex(int32_t filterIndex);
// The filter of the Open Document dialog: every format, then all document types and all files.
std::string OpenDocumentFilter();
// The filter of the Save As dialog: the formats of the save filter only.
std::string SaveDocumentFilter();
// Whether the lower-cased extension is one of the document extensions that open in the normal
// view mode (every other file opens as plain text would).
bool OpensInDocumentViewMode(const std::string& name);

}  // namespace qv
