#pragma once
// What the document object asks of the subsystems above the document model: the editor window,
// the main window and document dispatcher, the proofing tools and the sentence finder. The
// higher subsystems register the real services at start-up (RegisterDocServices); the defaults
// do the least a document needs on its own (no windows, no open documents, no spellcheckers).
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class TDoc;

// The document's editor window, as the document holds it.
class TDocEditorWindow {
 public:
  virtual ~TDocEditorWindow() = default;
  // The document is going: the window must not touch it again.
  virtual void DetachDocument() {}
};

class TDocServices {
 public:
  virtual ~TDocServices() = default;

  // The editor window of a document that is not hidden; null when there is no window system.
  virtual std::unique_ptr<TDocEditorWindow> CreateEditorWindow(TDoc& /*doc*/) { return nullptr; }
  // A detached window that releases itself later; the default frees it at once.
  virtual void ReleaseEditorWindowLater(std::unique_ptr<TDocEditorWindow> window) {
    window.reset();
  }
  // The modified state of a document changed: the main window updates its interface.
  virtual void RequestInterfaceUpdate() {}
  virtual bool ApplicationShuttingDown() { return false; }
  // The document is being destroyed (the dispatcher forgets it as the active document).
  virtual void DocumentDestroyed(TDoc* /*doc*/) {}

  // The user name for new documents' properties.
  virtual std::string UserName();
  // The templates folder (with a trailing separator); empty when there is none.
  virtual std::string TemplatesFolder() { return {}; }
  // The folder of the file dialogs (with a trailing separator); empty for the current folder.
  virtual std::string FileDialogFolder() { return {}; }
  // Whether an open document has that file name.
  virtual bool IsDocumentNameOpen(const std::string& /*fileName*/) { return false; }

  // The first sentence of a paragraph as character offsets (start, end exclusive); the default
  // ends it after the first ".", "!" or "?" that is followed by a blank or the paragraph end.
  virtual void FirstSentence(TDoc& doc, int32_t par, int32_t& start, int32_t& end);

  // The program-wide word-delimiter table (by character byte), and whether a byte is an
  // apostrophe-like character of a language; the defaults read WordDelimiters
  // (foundation/text/word_delimiters.h) and know the straight and the right single quote.
  virtual bool IsWordDelimiterByte(uint8_t byte);
  virtual bool IsApostropheLike(uint8_t byte, int32_t language);

  // The spellcheck manager's generation, and the number of installed spellcheckers.
  virtual int32_t SpellcheckGeneration() { return 0; }
  virtual int32_t SpellcheckerCount() { return 0; }
};

// Registers the services (null restores the defaults).
void RegisterDocServices(std::unique_ptr<TDocServices> services);
TDocServices& DocServices();

}  // namespace qv
