#pragma once
// What the shell asks of the proofing tools (autocorrect, spellchecking), which live above it.
// The stand-in has no autocorrect rules and no spellcheckers: background spellchecking finds
// nothing to do and no missing spellchecker is offered.
#include <cstdint>
#include <memory>

namespace qv {

class TDoc;
struct TSpellingWord;

class TProofingServices {
 public:
  virtual ~TProofingServices() = default;
  virtual void CreateAutocorrectManager() {}
  virtual void FreeAutocorrectManager() {}
  // Frees the spellcheck manager with its lists.
  virtual void FreeSpellcheckManager() {}
  // Whether the document is checked as the user types.
  virtual bool AutoSpellcheck() { return false; }
  // One step of the document's background check (a slice of a paragraph, or of the check of its
  // language); the shell decides when steps run.
  virtual void BackgroundSpellcheckStep(TDoc& /*doc*/) {}
  // Whether the document's background check is running.
  virtual bool SpellcheckInProgress(const TDoc& /*doc*/) { return false; }
  // Offers to install the spellcheckers of languages that have none; true when the program must
  // close so that a downloaded installer runs at exit.
  virtual bool OfferMissingSpellcheckers() { return false; }
  // The document's spellcheck state as the status bar shows it: 0 off, 1 not started,
  // 2 complete without misspellings, 3 complete with words of no language, 4 complete with
  // misspellings, 5 in progress.
  virtual int32_t SpellcheckState(const TDoc& /*doc*/) { return 0; }
  // The status bar's spellcheck panel was clicked: moves on to the next flagged word (or the
  // next word of no language), or starts the background check when it has not started.
  virtual void StepFromStatusBar(TDoc& /*doc*/) {}

  // ---- What the document window asks while the user types and at its spelling menu (see
  // docwindow/doc_window_services.h)
  virtual bool AutoCorrectAsYouType() { return false; }
  virtual bool MisspelledBeforeCaret(TDoc& /*doc*/) { return false; }
  virtual void RescheduleSpellcheck(TDoc& /*doc*/, int32_t /*mode*/) {}
  virtual bool RecheckPendingSpelling(TDoc& /*doc*/) { return false; }
  virtual bool SpellcheckRecheckPending(TDoc& /*doc*/) { return false; }
  virtual void CaretLeftWord(TDoc& /*doc*/) {}
  virtual void RestartSpellcheck(TDoc& /*doc*/) {}
  // Checks the word at the caret into the window's record; false when nothing was checked.
  virtual bool CheckWordAtCaret(TDoc& /*doc*/, TSpellingWord& /*word*/) { return false; }
  virtual void ReplaceWithSuggestion(TDoc& /*doc*/, int32_t /*index*/) {}
  virtual void AddAutoCorrectEntry(TDoc& /*doc*/, int32_t /*index*/) {}
  virtual void SetWordLanguage(TDoc& /*doc*/, int32_t /*language*/) {}
  virtual void AddToUserDictionary(TDoc& /*doc*/, int32_t /*index*/) {}
  virtual void EditUserDictionary(int32_t /*index*/) {}
};

// Registers the service (null puts the stand-in back); the registered one, never null.
void RegisterProofingServices(std::unique_ptr<TProofingServices> services);
TProofingServices& ProofingServices();

}  // namespace qv
