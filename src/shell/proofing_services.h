#pragma once
// What the shell asks of the proofing tools (autocorrect, spellchecking), which live above it.
// The stand-in has no autocorrect rules and no spellcheckers: background spellchecking finds
// nothing to do and no missing spellchecker is offered.
#include <memory>

namespace qv {

class TDoc;

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
};

// Registers the service (null puts the stand-in back); the registered one, never null.
void RegisterProofingServices(std::unique_ptr<TProofingServices> services);
TProofingServices& ProofingServices();

}  // namespace qv
