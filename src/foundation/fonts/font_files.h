#pragma once
// The installed font files with their family and style names (for embedding fonts in e-books),
// and the byte-order helpers for reading font files, which are big-endian.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

uint16_t SwapBytes16(uint16_t value);
uint32_t SwapBytes32(uint32_t value);
uint16_t ReadBigEndian16(const char* p);
uint32_t ReadBigEndian32(const char* p);

// Styles of a font file: bit 0 bold, bit 1 italic.
enum : int32_t { FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2, FontStyleBoldItalic = 3 };

// A family name and the index of its entry in the files list.
struct TFontFileName {
  std::string Name;
  int32_t FileIndex = 0;
};

// A font file and the style it provides.
struct TFontFile {
  std::string FileName;
  int32_t Style = FontStyleRegular;
};

// Reads one font file or font collection; files that are not fonts or cannot be read add nothing.
void ReadFontFile(const std::string& fileName, std::vector<TFontFileName>& names,
                  std::vector<TFontFile>& files);

// Every font file below the given folders. The names list ends sorted without regard to case;
// for each family, every style 0..3 that the family lacks gets an entry pointing to a new files
// entry with the file of its lowest style, so that each family offers all four styles.
void FindFontFiles(const std::vector<std::string>& folders, std::vector<TFontFileName>& names,
                   std::vector<TFontFile>& files);

// The same over the system's font folders.
void FindFontFiles(std::vector<TFontFileName>& names, std::vector<TFontFile>& files);

// The folders that hold the system's and the user's fonts.
std::vector<std::string> SystemFontFolders();

}  // namespace qv
