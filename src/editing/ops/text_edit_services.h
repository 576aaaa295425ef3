#pragma once
// What the text operations (typing, deletion, paragraph and case operations, go back, manual
// hyphenation) ask of the subsystems above the editing engine: the main window's insert mode and
// status-bar progress, the document dispatcher's fast-navigation slots and go-back place, the
// proofing tools' smart-spacing sets and the manual hyphenation dialog, whether the find engine
// is replacing, the keyboard-layout dialog and the system's active layout. The stand-in does the
// least on its own: insert mode, the built-in smart-spacing sets, no find engine at work, no
// dialogs (the layout dialog accepts its proposal, the hyphenation dialog answers Cancel), and
// the places kept in itself.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/doc_position.h"
#include "document/fragment_pool.h"

namespace qv {

class TDoc;
class TField;

// Per language: the characters after which (Opening) and before which (Closing) no space
// belongs, by character code (13 em dash, 14 en dash, other codes their byte), the quote style
// (0 curly, 1 French, 2 German, 3 German guillemets) and whether two spaces may stand between
// sentences.
struct TSmartSpaceSets {
  std::array<uint8_t, 256> Opening{};
  std::array<uint8_t, 256> Closing{};
  uint8_t QuoteStyle = 0;
  bool TwoSentenceSpaces = false;
};

// The built-in sets of a language (French has its own; every other language the general ones).
TSmartSpaceSets DefaultSmartSpaceSets(int32_t language);

// A fast-navigation slot: the document it belongs to and its bookmark fields.
struct TFastNavSlot {
  TDoc* Doc = nullptr;
  std::vector<TField*> Marks;
};

// Where the user was before a jump to a fast-navigation slot.
struct TGoBackPlace {
  TDoc* Doc = nullptr;
  TDocPosition Caret;
  TFragmentRef Selection;
};

// What the manual hyphenation dialog is shown: the word, where it may break (offsets inside the
// word after which a hyphen may stand), the optional hyphens it already holds (offsets in the
// word without them), how much of it fits on the line and where the line starts in it.
struct TManualHyphRequest {
  std::u16string Word;
  std::vector<int32_t> Points;
  std::vector<int32_t> ExistingHyphens;
  int32_t LengthToLineEnd = 0;
  int32_t LineStartOffset = 0;
};

class TTextEditServices {
 public:
  static constexpr int32_t FastNavSlotCount = 10;

  virtual ~TTextEditServices() = default;

  // --- Main window ---
  virtual bool OvertypeMode() { return false; }
  // Status-bar progress of long operations; the main window may be told to stay quiet.
  virtual bool StatusQuiet() { return false; }
  virtual void BeginProgress(const std::string& /*text*/, int32_t /*range*/) {}
  virtual void SetProgress(int32_t /*position*/) {}
  virtual void EndProgress() {}
  // Brings the document's window to the front.
  virtual void ActivateWindow(TDoc& /*doc*/) {}
  // The document is still open (a place kept for a closed document is not used).
  virtual bool IsOpenDocument(const TDoc* doc) { return doc != nullptr; }

  // --- Proofing tools ---
  virtual TSmartSpaceSets SmartSpaceSets(int32_t language) {
    return DefaultSmartSpaceSets(language);
  }
  // Spell checking as the user types (switched off around manual hyphenation).
  virtual bool SpellcheckAsYouType() { return false; }
  virtual void SetSpellcheckAsYouType(bool /*on*/) {}
  // The manual hyphenation dialog: false on Cancel; otherwise `chosen` is the offset in the word
  // after which the hyphen goes, or -1 for none.
  virtual bool AskHyphenation(const TManualHyphRequest& /*request*/, int32_t& chosen) {
    chosen = -1;
    return false;
  }

  // --- Find and replace ---
  // The find-and-replace engine is replacing what it found (its replace mode is on).
  virtual bool FindReplaceRunning() { return false; }

  // --- Keyboard layouts ---
  // The "Convert Between Keyboard Layouts" dialog: source and target layout indexes in and out;
  // false on Cancel.
  virtual bool ChooseKeyLayouts(int32_t& /*source*/, int32_t& /*target*/) { return true; }
  // Makes the layout the active one for typing.
  virtual void ActivateKeyboardLayout(uint32_t /*handle*/) {}
  // The locale of the text on the clipboard (a plain-text paste takes its language); 0 none.
  virtual int32_t ClipboardLanguage() { return 0; }

  // --- Document dispatcher ---
  // The command manager asks that the next edit keeps the go-back place.
  virtual bool KeepGoBackPlace() { return false; }
  virtual TFastNavSlot& FastNavSlot(int32_t slot) { return slots_[static_cast<size_t>(slot)]; }
  virtual TGoBackPlace& GoBackPlace() { return goBack_; }

 private:
  std::array<TFastNavSlot, FastNavSlotCount> slots_;
  TGoBackPlace goBack_;
};

// Registers the services (null restores the stand-in); the registered ones, never null.
void RegisterTextEditServices(std::unique_ptr<TTextEditServices> services);
TTextEditServices& TextEditServices();

// Forgets the go-back place (every edit does, unless the command manager asks otherwise).
void ForgetGoBackPlace();

}  // namespace qv
