#pragma once
// Paragraph styles. Every document owns an ordered TStyleList; a paragraph names its style by
// its index there (TParFormat::Style). A TStyle holds its own formatting as patterns (unset
// properties inherit) and inherits the rest along its based-on chain. Styles are matched between
// lists by Name; 92 names are built-in styles with fixed built-in indexes. The program-wide
// TStyleManager keeps the default list from which documents receive the built-in styles they
// lack.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/char_format.h"
#include "document/par_format.h"

namespace qv {

class TDoc;
class TStringList;
class TStyleList;

inline constexpr int32_t BuiltInStyleCount = 92;
extern const char* const BuiltInStyleNames[BuiltInStyleCount];
extern const char* const (&BuiltInStyleDisplayNames)[BuiltInStyleCount];

// Built-in indexes used by the model.
enum : int32_t {
  bsNormal = 0,
  bsHeading1 = 1,
  bsHeading9 = 9,
  bsIndex1 = 10,
  bsToc1 = 19,
  bsFootnoteText = 29,
  bsHeader = 31,
  bsFooter = 32,
  bsIndexHeading = 33,
  bsEndnoteText = 43,
  bsTocTitle = 91,
};

class TStyle {
 public:
  // BuiltIn, BasedOn, Next and the working values -1, no names, no hot key, all formatting unset
  // and no list format (ParFmt.List 0).
  explicit TStyle(TStyleList* owner);
  // Owner set, then Assign(source).
  TStyle(TStyleList* owner, const TStyle& source);
  TStyle(const TStyle&) = delete;
  TStyle& operator=(const TStyle&) = delete;

  TStyleList* Owner = nullptr;
  int32_t WorkValue = -1;
  int32_t BuiltIn = -1;
  std::string Name;         // canonical name, by which styles are matched between lists
  std::string DisplayName;  // shown to the user; equals Name for user styles
  int32_t BasedOn = -1;
  int32_t Next = -1;
  uint32_t HotKeyCode = 0;
  TCharFormat CharFmt;
  TParFormat ParFmt;  // ParFmt.Style is kept equal to the style's index in its list
  // Working fields of the style dialogs and the side pane; not copied by Assign.
  uint8_t Mark = 0;
  int32_t EditIndex = -1;
  int32_t OldIndex = -1;
  int32_t WorkValue2 = -1;
  TParFormat WorkParFmt;

  // Copies BuiltIn, BasedOn, Next, the names, the hot key and both formats (the style index in
  // ParFmt included); not the owner and not the working fields.
  void Assign(const TStyle& source);
  // The readable list of the style's own formatting; with the base flag the based-on style's
  // name in front (" + " between); then the hot key on a line of its own.
  std::string GetDescription(bool withBase) const;
  bool IsHeading() const { return BuiltIn >= 1 && BuiltIn <= 9; }
  // The RTF writer writes the names of these built-in styles in lower case.
  bool UsesLowerCaseName() const { return BuiltIn >= 1 && BuiltIn <= 46 && BuiltIn != 28 && BuiltIn != 45; }
};

// What a style description needs of the formatting descriptions and the hot keys, which are
// built elsewhere; the defaults describe nothing and know no key texts.
class TStyleTextServices {
 public:
  virtual ~TStyleTextServices() = default;
  // The readable list of the set properties of the formats, items separated by `separator`.
  virtual std::string DescribeFormatting(const TCharFormat& /*charFormat*/,
                                         const TParFormat& /*parFormat*/,
                                         const std::string& /*separator*/, uint32_t /*flags*/) {
    return {};
  }
  virtual std::string HotKeyText(uint32_t /*key*/) { return {}; }
};
// Registers the services (null restores the defaults).
void RegisterStyleTextServices(std::unique_ptr<TStyleTextServices> services);
TStyleTextServices& StyleTextServices();

// The style's ParFmt.List names a list (neither 0 nor unset).
bool StyleHasListFormat(const TStyle& style);

// The import of styles from one list into another.
struct TImportStylesInfo {
  explicit TImportStylesInfo(const TStyleList* source) : Source(source) {}
  uint8_t Mode = 0;  // 0 adds missing styles only; 1 also replaces styles of the same name
  const TStyleList* Source = nullptr;
  std::vector<int32_t> Requested;  // source indexes to import
  std::vector<int32_t> Added;      // destination indexes added
  std::vector<int32_t> Replaced;   // destination indexes replaced
  uint8_t OnlyRequested = 0;       // replace mode: only requested styles are replaced
};

class TStyleList {
 public:
  TStyleList() = default;
  explicit TStyleList(TDoc* owner) : Owner(owner) {}
  TStyleList(const TStyleList&) = delete;
  TStyleList& operator=(const TStyleList&) = delete;

  TDoc* Owner = nullptr;

  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  TStyle& operator[](int32_t index) const { return *items_[static_cast<size_t>(index)]; }
  // Null for an index outside the list.
  TStyle* Get(int32_t index) const;

  // Sets ParFmt.Style to the current count and appends; answers the index.
  int32_t Add(std::unique_ptr<TStyle> style);
  // A new style of this list, appended.
  TStyle& AddNew();
  // Frees all own styles, then appends a copy of each style of the other list.
  void Assign(const TStyleList& other);
  // Deletes a style: styles based on it take its base; BasedOn and Next are renumbered; a Next
  // that named it becomes 0 (or the style itself when Normal is deleted). Paragraphs are not
  // touched here.
  void Delete(int32_t index);
  void Clear() { items_.clear(); }

  // From the last style to the first, ignoring case; -1 when none.
  int32_t IndexOfName(const std::string& name) const;
  int32_t IndexOfDisplayName(const std::string& name) const;
  int32_t IndexOfBuiltIn(int32_t builtIn) const;
  int32_t IndexOfHotKey(uint32_t key) const;
  bool HasHotKey(uint32_t key) const { return key != 0 && IndexOfHotKey(key) >= 0; }
  // The first style whose list is that list number and whose ListLevel is the level.
  int32_t IndexOfListStyle(int32_t listNumber, int32_t level) const;
  // In list order every style based on the index; with allDescendants each followed at once by
  // its own descendants.
  void GetDerivedStyles(int32_t index, std::vector<int32_t>& out, bool allDescendants) const;
  // Clears the list, then adds each display name with the style's index as the item's object.
  void GetDisplayNames(TStringList& names) const;
  // Imports styles from the info's source; false when the user cancelled (the list is then
  // unchanged). Replacements are confirmed through the message box while prompting.
  bool ImportStyles(TImportStylesInfo& info, bool prompt);

 private:
  std::vector<std::unique_ptr<TStyle>> items_;
};

// Appends the indexes of the style's based-on ancestors, nearest first (a cycle stops the walk).
void GetBasedOnChain(const TStyleList& list, int32_t index, std::vector<int32_t>& out);

// Flags of GetStyleFormat.
enum : uint32_t {
  sfOwnOnly = 1,          // start from unset formats, not from the program's defaults
  sfKeepLanguage = 2,     // keep the language
  sfListIndents = 4,      // indents from the style's list level
};

// The effective formats of a style along its based-on chain (either output may be null).
void GetStyleFormat(const TStyle& style, TCharFormat* charFormat, TParFormat* parFormat,
                    uint32_t flags);
// Applies a style's own paragraph format onto an accumulated one, the first-line and left
// indents as a pair.
void ApplyStyleParFormat(TParFormat& accumulated, const TParFormat& own);

class TStyleManager {
 public:
  // Builds the default style list.
  TStyleManager();
  TStyleList DefaultStyles;
  uint8_t IdentifyOff = 0;

  // Recognises the built-in styles of a list by name (nothing while IdentifyOff is set).
  void IdentifyBuiltInStyles(TStyleList& list) const;
  // Imports Normal from the default list when the list has no style of that name.
  void EnsureNormalStyle(TStyleList& list);
};

// The program-wide style manager, made on first use; FreeStyleManager releases it.
TStyleManager& StyleManager();
void FreeStyleManager();

}  // namespace qv
