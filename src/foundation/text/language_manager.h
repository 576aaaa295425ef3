#pragma once
// TLangManager: display names of language ids and the eight most recently used languages.
//
// Language ids: primary language in the low 10 bits, sublanguage in the 6 bits above
// (id = primary + 1024 * sublanguage). LANG_UNSET marks a mixed or unset language in a character
// format; LANG_NO_PROOF (primary 0, sublanguage 1) marks text that is not proofed.
// The recent list is kept in the settings key "LangHistory": "Count" and the ids under "A", "B" ...
// ("A" the most recent).
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace plat {
class Canvas;
struct Rect;
}

namespace qv {

class TSettingsStorage;

constexpr int32_t LANG_UNSET = static_cast<int32_t>(0x80000000u);
constexpr int32_t LANG_NO_PROOF = 1024;
constexpr int32_t LANG_LATIN = 1142;

// What the language manager asks of the proofing tools. The default knows no spellcheckers; the
// proofing tools register theirs at start-up.
class TLangServices {
 public:
  virtual ~TLangServices() = default;
  // The languages of the installed spellcheckers, in the spellcheck manager's order (their
  // settings loaded on demand).
  virtual std::vector<int32_t> InstalledSpellcheckerLangs() { return {}; }
  // Whether an installed spellchecker serves the language.
  virtual bool HasSpellchecker(int32_t lang) { return false; }
  // The user's default language.
  virtual int32_t UserDefaultLang();
  // Draws the spellchecker glyph (the shared glyph strip's glyph 13) on the brush colour,
  // vertically centred in `rect`, at x; returns its width, or -1 when nothing was drawn.
  virtual int32_t DrawSpellcheckerGlyph(plat::Canvas& canvas, int32_t x, const plat::Rect& rect) {
    return -1;
  }
};

// Registers the services (null restores the default); the registered ones, never null.
void RegisterLangServices(std::unique_ptr<TLangServices> services);
TLangServices& LangServices();

// One language with its use count (as the document statistics keep them).
struct TLangUsage {
  int32_t Lang;
  int32_t Count;
};

class TLangManager {
 public:
  static constexpr int32_t MaxRecent = 8;

  // Display names sorted by name (case-insensitive), each with its id.
  std::vector<std::pair<std::string, int32_t>> LangNames;
  // Most recent first, at most MaxRecent.
  std::vector<int32_t> RecentLangs;

  // Fills LangNames from the system's language names and RecentLangs from the store (null: no
  // stored history).
  void Load(TSettingsStorage* storage);
  // Fills LangNames from a naming function (the system's by default); exposed for tests.
  void LoadNames(std::string (*nameOf)(int32_t id));
  // Reads the recent list from "LangHistory" of the store (null: none stored).
  void LoadHistory(TSettingsStorage* storage);

  // "<none>" for LANG_UNSET and LANG_NO_PROOF, the name of a known id, else
  // "<Another language (ID: %d)>".
  std::string GetLangName(int32_t id) const;
  void AddRecentLang(int32_t id);
  // Opens "LangHistory" and writes the recent list.
  void SaveHistory(TSettingsStorage& storage) const;
  // Draws one item of an owner-drawn language list: the spellchecker glyph when the language has
  // a spellchecker, the name vertically centred, and with `separator` two lines at the bottom that
  // set the recent languages apart from the full list.
  void DrawLangItem(int32_t id, plat::Canvas& canvas, bool separator, const plat::Rect& rect) const;
  // Index of the first entry with the id and a count above 0, among items[0..highIndex]; -1 none.
  static int32_t IndexOfUsedLang(const TLangUsage* items, int32_t highIndex, int32_t lang);

 private:
  std::vector<std::pair<int32_t, int32_t>> byId_;  // id -> index into LangNames, sorted by id
};

// The program-wide language manager, made and loaded (from the options holder's store) on first use.
TLangManager& GetLangManager();
void FreeLangManager();

}  // namespace qv
