#pragma once
// What the document object asks of the subsystems above the document model: the editor window,
// the main window and document dispatcher, the proofing tools and the sentence finder. The
// higher subsystems register the real services at start-up (RegisterDocServices); the defaults
// do the least a document needs on its own (no windows, no open documents, no spellcheckers).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/gfx/types.h"

namespace qv {

class TDoc;

// The document's editor window, as the document holds it.
class TDocEditorWindow {
 public:
  virtual ~TDocEditorWindow() = default;
  // The document is going: the window must not touch it again.
  virtual void DetachDocument() {}

  // --- View state (document/doc_view.cpp) ---
  // Width and height in pixels of the part of the window that shows pages, measured again first
  // when asked.
  virtual plat::Size PageArea(bool /*measureAgain*/) { return {}; }
  // Width in pixels of the Draft view's left area (style names), scaled.
  virtual int32_t DraftLeftAreaWidth() { return 0; }
  // The view mode changed: the window arranges its parts again.
  virtual void ViewModeChanged() {}
  // The zoom changed: scroll bars and rulers follow.
  virtual void ZoomChanged() {}
  // Moves the window's image by the pixels (one of the two is 0) instead of repainting it all.
  virtual void ScrollImage(int32_t /*dx*/, int32_t /*dy*/) {}
  // The scroll position changed: the bars take it (ignoring their own change events) and the
  // rulers follow.
  virtual void ScrollPositionChanged() {}
  virtual void Repaint() {}
  virtual void EndSplitView() {}
  // Arranges the document's pages in the window's view (pages per row, page rectangles, the
  // view's extent and the scroll bars); false leaves it to the layout's plain arrangement.
  virtual bool ArrangePages() { return false; }
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
  // The open document of that file; null when none is open.
  virtual TDoc* FindOpenDocument(const std::string& /*fileName*/) { return nullptr; }
  // A new hidden document read from the file; null when it cannot be read.
  virtual std::unique_ptr<TDoc> OpenHiddenDocument(const std::string& fileName);
  // The file name of the default template of a document format; empty when there is none.
  virtual std::string DefaultTemplateName(int32_t /*formatIndex*/) { return {}; }
  // The document of a template (a name in the templates folder or a path): an open document,
  // or one loaded hidden that `loaded` then owns for the caller; null when there is none.
  virtual TDoc* LoadTemplate(const std::string& /*name*/, std::unique_ptr<TDoc>& /*loaded*/) {
    return nullptr;
  }

  // The first sentence of a paragraph as character offsets (start, end exclusive); the default
  // ends it after the first ".", "!" or "?" that is followed by a blank or the paragraph end.
  virtual void FirstSentence(TDoc& doc, int32_t par, int32_t& start, int32_t& end);

  // The program-wide word-delimiter table (by character byte), and whether a byte is an
  // apostrophe-like character of a language; the defaults read WordDelimiters
  // (foundation/text/word_delimiters.h) and know the straight and the right single quote.
  virtual bool IsWordDelimiterByte(uint8_t byte);
  virtual bool IsApostropheLike(uint8_t byte, int32_t language);

  // The view option that lays a document out again whenever print preview is switched.
  virtual bool PrintPreviewRebuildsLayout() { return false; }
  // The Spotlight option that centres the caret line vertically is on.
  virtual bool SpotlightCentresCaretLine() { return false; }
  // The document scrolled vertically by itself (not for its partner): a view side by side with
  // synchronous scrolling moves the partner.
  virtual void DocumentScrolled(TDoc& /*doc*/, int32_t /*y*/) {}

  // The spellcheck manager's generation, and the number of installed spellcheckers.
  virtual int32_t SpellcheckGeneration() { return 0; }
  virtual int32_t SpellcheckerCount() { return 0; }
};

// Registers the services (null restores the defaults).
void RegisterDocServices(std::unique_ptr<TDocServices> services);
TDocServices& DocServices();

}  // namespace qv
