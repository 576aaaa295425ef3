#pragma once
// What the paragraph, list and style commands ask of the windows above them: a button menu of the
// command bars, the Find/Replace dialog's format patterns, and the lists and styles tools of the
// Control Board. The stand-in has none of them: no pattern, no highlighted list or style, nothing
// to drop down, so those commands change nothing until the real windows register theirs.
#include <cstdint>
#include <memory>
#include <string>

#include "document/par_format.h"

namespace qv {

class TAutoList;
class TDoc;

// A format pattern of the Find/Replace dialog: its paragraph format and its style name.
struct TFindFormatPattern {
  TParFormat* ParFormat = nullptr;
  std::string* StyleName = nullptr;
};

class TParagraphCommandServices {
 public:
  virtual ~TParagraphCommandServices() = default;

  // ---- Command bars
  // Drops the menu of a button of the command bar band (9235 the spacing menu).
  virtual void DropButtonMenu(int32_t /*buttonId*/) {}

  // ---- Find/Replace
  // The find (replace false) or replace pattern; both pointers null without the dialog.
  virtual TFindFormatPattern FindPattern(bool /*replace*/) { return {}; }
  // Every document refreshes its find highlights; the dialog describes its patterns again.
  virtual void RefreshFindHighlights() {}
  virtual void RefreshFindPatternDescription() {}

  // ---- Control Board lists tool
  // The list highlighted in the tool (null: none) and the tool's filter kind (-1 all, else a
  // list kind).
  virtual TAutoList* HighlightedList(TDoc& /*doc*/) { return nullptr; }
  virtual int32_t ListFilterKind() { return -1; }
  virtual void SelectHighlightedList() {}
  // Clears the tool's highlight and the document's highlighted-list reference.
  virtual void ClearListHighlight(TDoc& /*doc*/) {}

  // ---- Control Board styles tool
  // New style (9600), Modify style (9601), Import styles (9625).
  virtual void RunStyleCommand(int32_t /*commandId*/) {}
  virtual void DeleteStyle() {}
  virtual void SelectStyleParagraphs() {}
  // The document's last used style name (remembered by Update highlighted style).
  virtual void SetLastUsedStyleName(TDoc& /*doc*/, const std::string& /*name*/) {}
};

void RegisterParagraphCommandServices(std::unique_ptr<TParagraphCommandServices> services);
TParagraphCommandServices& ParagraphCommandServices();

// The paragraph-format clipboard: what Copy paragraph format took and what the Format Brush
// carries of paragraph formatting, with the name of the style it carries. Program-wide.
struct TParFormatClipboard {
  bool Filled = false;
  TParFormat Format;
  std::string Text;
};
TParFormatClipboard& ParFormatClipboard();
// Fills the clipboard with the format (and the text, the carried style's name).
void CopyParFormatToClipboard(const TParFormat& format, const std::string& text = {});
// Empties it (program shutdown, tests).
void ClearParFormatClipboard();

}  // namespace qv
