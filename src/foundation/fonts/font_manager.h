#pragma once
// The program-wide registry of fonts. A character format names its font by a font number: an
// index into RegFonts, each entry a face name with a character set. Entries are only ever
// appended, so a font number stays valid for the whole run. Around that index the manager keeps
// the installed families, resolves faces that are not installed through the substitution table
// and through what the platform substituted, and caches the fonts that layout and painting
// select (TSharedFont: metrics and the widths of the 256 byte characters) and their kerning
// pairs (TKerningPairs).
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "foundation/fonts/char_coverage.h"
#include "foundation/fonts/font_key.h"
#include "foundation/fonts/kerning_pairs.h"
#include "platform/gfx/font.h"

namespace plat {
class Canvas;
}

namespace qv {

class TFontManager;

// Any character set, in FontIndex: the first entry of the face, or the default character set.
constexpr int32_t kAnyCharset = static_cast<int32_t>(0x80000000u);

// One installed family.
struct TFontFamily {
  std::string Name;
  int32_t Charset = 0;         // the set it was first enumerated with; 2 marks a symbol family
  int32_t PitchAndFamily = 0;
  bool Registered = false;     // some registered font refers to it
};

// One registered font (the index in RegFonts is its font number).
struct TRegFont {
  bool Installed = false;
  int32_t FamilyIndex = -1;    // into Families; -1 when the face is not installed
  int32_t FontId = 0;          // shared by the entries of one face in different character sets
  std::string FaceName;        // as registered
  int32_t Charset = 0;         // compared in look-ups
  int32_t CreateCharset = 0;   // the set the font is created with

  // The family's name for an installed entry, else FaceName.
  std::string GetFaceName(const TFontManager& manager) const;
};

// One platform font shared by all text drawn with the same font key.
class TSharedFont {
 public:
  plat::Font Font;
  TFontKey Key;                // the format's key with Size = the requested pixel height
  plat::TextMetrics Metrics;
  int32_t DescentLeading = 0;  // descent + external leading
  int32_t LineHeight = 0;      // that + ascent
  std::array<int32_t, 256> Widths{};  // advance widths of the byte characters
  int32_t UseCount = 0;

  // The sum of the widths of the bytes.
  int32_t TextWidth(std::string_view bytes) const;
};

// A face name for font boxes, with the index of its family.
struct TFontName {
  std::string Name;
  int32_t FamilyIndex = -1;
};

struct TFontManagerSetup {
  // The program's folder when running as a portable copy: the font files found below it are
  // loaded for the run. Empty otherwise.
  std::string PortableFolder;
  // The character set of the user's language; negative takes the program's DefaultCharset.
  int32_t DefaultCharset = -1;
};

class TFontManager {
 public:
  explicit TFontManager(const TFontManagerSetup& setup = {});
  ~TFontManager();
  TFontManager(const TFontManager&) = delete;
  TFontManager& operator=(const TFontManager&) = delete;

  std::vector<std::string> PortableFontFiles;
  std::vector<std::string> ReplacedFaces;     // a face asked for ...
  std::vector<std::string> ReplacementFaces;  // ... and the face the platform used instead
  int32_t NextFontId = 0;
  int32_t ArialFont = -1;
  int32_t TimesFont = -1;
  int32_t SymbolFont = -1;
  int32_t WingdingsFont = -1;
  std::vector<std::string> FavoriteFonts;
  std::vector<TFontFamily> Families;  // sorted by name without regard to case
  std::vector<TRegFont> RegFonts;     // index = font number; only appended to
  std::string FallbackFaceName = "Arial";

  int32_t DefaultCharset() const { return defaultCharset_; }

  // The font number of a face in a character set (kAnyCharset for any), registering a new entry
  // when needed. With `retry`, a face that is not installed is tried once more without its last
  // word ("Arial Narrow" finds Arial). A symbol family only has entries of character set 2, and
  // other families never have one.
  int32_t FontIndex(std::string_view face, int32_t charset, bool retry);
  // The font number of the same face (by font id) in another character set.
  int32_t FontWithCharset(int32_t fontId, int32_t charset);
  // Index of the installed family of that name, -1 when none.
  int32_t FindFamily(std::string_view name) const;
  // Index of the first registered entry of that face, -1 when none.
  int32_t FindFont(std::string_view name) const;
  // The display name of a font number (empty for a number that names no entry).
  std::string GetFaceName(int32_t fontNumber) const;
  bool IsValidFont(int32_t fontNumber) const {
    return fontNumber >= 0 && fontNumber < static_cast<int32_t>(RegFonts.size());
  }
  bool IsSymbolFamily(int32_t familyIndex) const;

  // Follows the substitution table from a face to an installed face. Without `strict`, a chain
  // that finds nothing gives the face the platform used for it before, else the face itself.
  std::string GetSubstituteFont(std::string_view face, bool strict) const;

  // The names for font boxes: the installed favourites, then (unless only favourites are to be
  // shown) every other installed family in family order.
  std::vector<TFontName> GetFontNames() const;
  // The favourites as lines (CR LF separated), as the options keep them.
  void SetFavoriteFontsText(std::string_view lines);
  std::string FavoriteFontsText() const;

  // Checks a font name typed by the user and sets the font number to it; false when refused.
  // `focus` (may be empty) puts the focus on the control that holds the name.
  bool ValidateFontName(int32_t& fontNumber, const std::string& face,
                        const std::function<void()>& focus);

  // Makes the shared font of the key current at the given pixel height and returns it. With
  // `select` and a canvas, the font is also selected into the canvas (a newly made font is always
  // selected into a given canvas). With `noReplaceRecording`, a substitution the platform makes
  // is not remembered. Asking again for the current key costs one comparison, and a font is made
  // once per key; the returned font lives until FontsChanged or the manager's end.
  TSharedFont& SelectFont(const TFontKey& format, int32_t size, bool noReplaceRecording,
                          bool select, plat::Canvas* canvas);
  TSharedFont* CurrentSharedFont() const { return currentSharedFont_; }
  plat::Canvas* CurrentFontDC() const { return currentFontDC_; }
  // The shared fonts, most recently created first (or most used first after sorting).
  const std::vector<std::unique_ptr<TSharedFont>>& SharedFonts() const { return sharedFonts_; }
  // Orders the shared fonts by use, most used first (the housekeeping timer calls it).
  void SortSharedFontsByUse();

  // Makes the kerning pairs of the key's font at the pixel height current and returns them.
  const TKerningPairs& SelectKerningPairs(const TFontKey& format, int32_t size);
  const TKerningPairs* CurrentKerningPairs() const { return currentKerningPairs_; }
  const std::vector<std::unique_ptr<TKerningPairs>>& KerningCache() const { return kerningCache_; }

  // Index of the code among the codes the face covers (in ascending order), -1 when it is not
  // covered. A face's coverage is read from its character map on first use and kept until the
  // fonts change.
  int32_t FontCoversChar(const std::string& face, uint32_t code);
  // Characters that a search of every font found in none, remembered until the fonts change so
  // that the next search for them reads no font.
  bool IsCharMissing(uint32_t code) const { return missingChars_.count(code) != 0; }
  void NoteCharMissing(uint32_t code) { missingChars_.insert(code); }

  // The logical font for a key (its Size is the pixel height).
  void CharFormatToLogFont(const TFontKey& format, plat::LogFont& logFont) const;

  // After the installed fonts changed: families read again and relinked, caches dropped,
  // documents laid out again. Font numbers stay valid.
  void FontsChanged();

 private:
  void LoadPortableFonts(const std::string& folder);
  void EnumFamilies();
  void LinkRegisteredFonts();
  void RegisterEnumeratedFonts();
  int32_t LookupFamily(std::string_view face) const;
  int32_t AppendEntry(int32_t familyIndex, int32_t fontId, std::string_view face,
                      int32_t charset);
  std::unique_ptr<TSharedFont> CreateSharedFont(const TFontKey& format, bool noReplaceRecording,
                                                int32_t size);
  void RecordReplacement(const std::string& asked, const std::string& given);
  void ClearCaches();

  int32_t defaultCharset_ = 0;
  std::vector<std::unique_ptr<TSharedFont>> sharedFonts_;
  std::unordered_map<TFontKey, TSharedFont*, TFontKeyHash> sharedIndex_;
  TSharedFont* currentSharedFont_ = nullptr;
  plat::Canvas* currentFontDC_ = nullptr;
  std::vector<std::unique_ptr<TKerningPairs>> kerningCache_;
  const TKerningPairs* currentKerningPairs_ = nullptr;
  // Each face's coverage, kept once per font file and face that the platform resolved a name
  // to, and the names asked about pointing to theirs: the many names of faces that are not
  // installed (a document may bring thousands) share the coverage of the face standing in.
  std::unordered_map<std::string, TCharCoverage> coverageByFace_;
  std::unordered_map<std::string, const TCharCoverage*> coverage_;  // by name, in lower case
  std::unordered_set<uint32_t> missingChars_;
};

// The program-wide font manager; null before CreateFontManager and after FreeFontManager.
TFontManager* FontManager();
TFontManager& CreateFontManager(const TFontManagerSetup& setup = {});
void FreeFontManager();

}  // namespace qv
