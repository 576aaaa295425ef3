// The texts of the status bar: the panels' texts from the active document, the hints of the
// panels and the zoom slider, and the context panel's text.
#include <cstdio>
#include <string>
#include <vector>

#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/doc_statistics.h"
#include "document/field.h"
#include "document/line.h"
#include "document/par.h"
#include "document/section.h"
#include "foundation/base/string_utils.h"
#include "foundation/text/language_manager.h"
#include "foundation/text/measure_units.h"
#include "foundation/ui/application.h"
#include "foundation/ui/hotkey_services.h"
#include "foundation/ui/interface_scale.h"
#include "layout/box.h"
#include "layout/page.h"
#include "platform/gfx/canvas.h"
#include "shell/status_bar.h"

namespace qv {

namespace {

constexpr int32_t kPageLimit = 1000;

std::u16string Text(const std::string& s) { return InterfaceText(s); }
std::string Number(int64_t n) { return std::to_string(n); }
std::string Thousands(int64_t n) { return FormatThousands(static_cast<double>(n)); }

// The page that shows the caret, and the caret's line among the page's lines; -1 when the
// layout does not show it.
int32_t CaretPage(TDoc& doc, int32_t& lineIndex, const TLine** caretLine) {
  for (int32_t page = 0; page < doc.PageCount(); ++page) {
    const std::vector<TLine*> lines = CollectPageLines(*doc.Pages[static_cast<size_t>(page)], BodyAreas);
    for (size_t i = 0; i < lines.size(); ++i) {
      const TLine& line = *lines[i];
      if (line.Par == nullptr || line.Par->Index != doc.Caret.Par) continue;
      const bool lastOfPar = line.FirstChar + line.Count >= line.Par->CharCount();
      if (doc.Caret.Offset < line.FirstChar || (doc.Caret.Offset >= line.FirstChar + line.Count && !lastOfPar))
        continue;
      lineIndex = static_cast<int32_t>(i);
      if (caretLine != nullptr) *caretLine = &line;
      return page;
    }
  }
  lineIndex = -1;
  return -1;
}

}  // namespace

std::u16string TStatusBar::PositionText(TDoc& doc) {
  const TSection* section = doc.SectionOfParagraph(std::clamp(doc.Caret.Par, 0, doc.ParCount() - 1));
  if (doc.HeaderFooterInPlace != nullptr && doc.HeaderFooterPage >= 0) section = doc.SectionOfPage(doc.HeaderFooterPage);
  const int32_t sectionNumber = section != nullptr ? section->Number + 1 : 1;
  const std::string sections = "Sec " + Number(sectionNumber) + "/" + Number(static_cast<int64_t>(doc.Sections.size()));
  if (doc.ViewMode != vmPrintLayout) return Text(sections);
  int32_t count = std::max(doc.PageCount(), site_.KeptPageCount(doc));
  std::string pages = Number(count);
  if (site_.PaginationStopped(doc) || (count > kPageLimit && !site_.PaginationComplete(doc)))
    pages = Number(kPageLimit) + "+ ";
  int32_t lineIndex = -1;
  const int32_t page = doc.HeaderFooterInPlace != nullptr ? doc.HeaderFooterPage : CaretPage(doc, lineIndex, nullptr);
  return Text("Page " + Number(std::max(page, 0) + 1) + "/" + pages + "   " + sections);
}

std::u16string TStatusBar::LineText(TDoc& doc) {
  if (doc.ViewMode == vmPrintLayout) {
    int32_t lineIndex = -1;
    const TLine* line = nullptr;
    const int32_t page = CaretPage(doc, lineIndex, &line);
    if (page < 0 || line == nullptr) return {};
    const std::vector<TLine*> lines = CollectPageLines(*doc.Pages[static_cast<size_t>(page)], BodyAreas);
    int32_t y = PageBodyTop(*doc.Pages[static_cast<size_t>(page)]);
    for (int32_t i = 0; i < lineIndex; ++i) y += lines[static_cast<size_t>(i)]->Height;
    return Text("At " + TwipsToUnitText(y) + "  Line " + Number(lineIndex + 1) + "  Col " +
                Number(doc.Caret.Offset - line->FirstChar + 1));
  }
  // The draft views count lines from the start of the document.
  int64_t lineNumber = 0;
  int32_t column = doc.Caret.Offset + 1;
  for (int32_t p = 0; p < doc.Caret.Par && p < doc.ParCount(); ++p) lineNumber += static_cast<int64_t>(doc.Par(p)->Lines.size());
  if (doc.Caret.Par >= 0 && doc.Caret.Par < doc.ParCount()) {
    const TPar& par = *doc.Par(doc.Caret.Par);
    for (size_t i = 0; i < par.Lines.size(); ++i) {
      const TLine& line = *par.Lines[i];
      if (doc.Caret.Offset >= line.FirstChar && (doc.Caret.Offset < line.FirstChar + line.Count || i + 1 == par.Lines.size())) {
        lineNumber += static_cast<int64_t>(i);
        column = doc.Caret.Offset - line.FirstChar + 1;
        break;
      }
    }
  }
  return Text("Line " + Number(lineNumber + 1) + "   Col " + Number(column));
}

std::u16string TStatusBar::StatisticsText(int32_t panel, TDoc& doc) {
  std::vector<TDoc*> docs = site_.DocBarSelection();
  if (doc.HasSelection() || docs.size() < 2) docs = {&doc};
  if (panel == spFileSize) {
    int64_t size = 0;
    bool any = false;
    for (TDoc* d : site_.DocBarSelection().size() > 1 ? site_.DocBarSelection() : std::vector<TDoc*>{&doc}) {
      if (!site_.KeepsFileOpen(*d) || site_.BeingSaved(*d)) continue;
      size += site_.FileSize(*d);
      any = true;
    }
    return any ? Text(Thousands(size) + " bytes") : std::u16string();
  }
  int64_t total = 0;
  for (TDoc* d : docs) {
    TDocStatistics stats;
    TScopedDocFlag quick(*d, dfStatisticsQuickCount);
    ComputeStatistics(*d, false, stats);
    total += panel == spWords ? stats.Words : panel == spCharsNoSpaces ? stats.CharsNoSpaces : stats.CharsWithSpaces;
  }
  return Text((panel == spWords ? "Words: " : "Chars: ") + Thousands(total));
}

std::u16string TStatusBar::BuildText(int32_t panel, TDoc& doc) {
  switch (panel) {
    case spPosition: return PositionText(doc);
    case spLine: return LineText(doc);
    case spModified: return doc.Modified != 0 ? u"Modified" : u"";
    case spInsert: return site_.OverwriteMode() ? u"Ovr" : u"Ins";
    case spLanguage: return Text(GetLangManager().GetLangName(doc.TypingFormat.Language));
    case spCharsNoSpaces: case spCharsWithSpaces: case spWords: case spFileSize: return StatisticsText(panel, doc);
    case spWritingTime: {
      const int64_t seconds = site_.WritingTime(doc) / 1000;
      char text[32];
      std::snprintf(text, sizeof text, "%.2lld:%.2lld:%.2lld", static_cast<long long>(seconds / 3600),
                    static_cast<long long>(seconds / 60 % 60), static_cast<long long>(seconds % 60));
      return Text(text);
    }
    case spWritingSpeed: {
      const int64_t time = site_.WritingTime(doc), chars = site_.CharsTyped(doc);
      if (chars <= 0 || time < 15000) return {};
      return Text(Number((chars * 60000 + time / 2) / time) + " chars/min");
    }
    case spTarget: {
      int64_t progress = 0, amount = 0;
      bool words = true;
      if (!site_.WritingTarget(doc, progress, amount, words)) return {};
      const int64_t shown = progress >= amount ? amount : std::max<int64_t>(progress, 0);
      return Text("   " + Number(shown) + " of " + Number(amount) + (words ? " words   " : " chars   "));
    }
    case spZoom: return Text(Number(doc.ZoomPercent) + "%");
    default: return {};
  }
}

bool TStatusBar::UpdateStatusTexts() {
  if (ToolbarCustomizing || !NormalViewSettings().StatusBar ||
      (site_.FullScreen() && (GetOptions().View.FS_GUI & opt::KeepStatusBar) == 0))
    return false;
  TDoc* doc = Doc();
  if (doc == nullptr) {
    for (TPanel& panel : panels_) panel.Text.clear();
    Invalidate();
    return true;
  }
  if (doc->ViewMode != lastViewMode_) {
    lastViewMode_ = doc->ViewMode;
    panels_[spPosition].Width = 0;
    panels_[spLine].Width = 0;
  }
  plat::Canvas measure;
  measure.SetFont(GetFont());
  const uint32_t shown = ShownPanels();
  for (int32_t i = kPanelCount - 1; i >= 0; --i) {
    if ((shown >> i & 1u) == 0) continue;
    TPanel& panel = panels_[static_cast<size_t>(i)];
    panel.Text = BuildText(i, *doc);
    panel.TextWidth = panel.Text.empty() ? 0 : measure.TextExtent(panel.Text).cx;
    panel.Width = std::max(panel.Width, panel.TextWidth + 2 * margin_);
  }
  UpdateHiddenForWidth();
  Invalidate();
  return true;
}

// ---- Hints

std::u16string TStatusBar::StatisticsHint(int32_t panel) const {
  TDoc* doc = Doc();
  const bool selection = doc != nullptr && doc->HasSelection();
  const bool documents = !selection && site_.DocBarSelection().size() > 1;
  if (panel == spFileSize) return documents ? u"Combined file size of selected documents" : u"Document file size";
  std::u16string what = panel == spWords ? u"Number of words in "
                        : panel == spCharsNoSpaces ? u"Number of characters (without spaces) in "
                                                   : u"Number of characters (with spaces) in ";
  return what + (selection ? u"selection" : documents ? u"selected documents" : u"document");
}

std::u16string TStatusBar::HintAt(plat::Point p) const {
  const uint8_t panel = PanelAt(p);
  TDoc* doc = Doc();
  if (panel == kNone || doc == nullptr) return {};
  auto commandName = [](int32_t id) { return InterfaceText(GetCommandManager().GetCommandName(id)); };
  switch (panel) {
    case spPosition:
    case spLine: {
      std::u16string hint = u"Caret position in document.\r\rClick to go to another document location.";
      const bool bookmarks = std::any_of(doc->Fields.begin(), doc->Fields.end(),
                                         [](const auto& f) { return f->Kind == fkBookmark && f->Flags != 2; });
      if (bookmarks && doc->HeaderFooterInPlace == nullptr) hint += u"\r\rRight-click to go to a bookmarked location.";
      return hint;
    }
    case spModified: return doc->Modified != 0 ? u"Modified/Unmodified.\r\rClick to save changes." : u"Modified/Unmodified";
    case spInsert: return u"Insert/Overwrite mode.\r\rClick to toggle.";
    case spIcons: {
      const uint8_t icons = site_.StatusIcons(*doc);
      const int32_t index = (p.x - PanelRect(panel).left - margin_) / std::max(1, ScaleUI(15));
      static const char16_t* kNames[] = {u"Safe Copy created", u"Restored from Safe Copy", u"Encrypted"};
      int32_t shown = 0;
      for (int32_t bit = 0; bit < 3; ++bit) {
        if ((icons >> bit & 1) == 0) continue;
        if (shown++ == index) return kNames[bit];
      }
      return {};
    }
    case spLanguage: return u"Current language.\r\rClick to change.\r\rRight-click for options.";
    case spSpellcheck: {
      if (doc->PrintPreview) return {};
      static const char16_t* kStates[] = {
          u"Automatic spellchecking disabled",
          u"Click to start automatic spellchecking",
          u"Automatic spellchecking complete. No misspelling to report",
          u"Automatic spellchecking complete. Some words have no identifiable language (<none> marking)\ror belong "
          u"to a language with no installed spellchecker.\r\rClick to move on to the next item",
          u"Automatic spellchecking complete. Potential misspellings detected.\r\rClick to move on to the next item",
          u"Automatic spellchecking in progress"};
      const int32_t state = std::clamp(site_.SpellcheckState(), 0, 5);
      return std::u16string(kStates[state]) + u".\r\rRight-click for options.";
    }
    case spCharsNoSpaces: case spCharsWithSpaces: case spWords: case spFileSize:
      return StatisticsHint(panel) + u".\r\rClick to open the dialog with detailed statistics.";
    case spWritingTime: return u"Writing time (Hours:Minutes:Seconds).\r\rRight-click for options.";
    case spWritingSpeed:
      return panels_[spWritingSpeed].Text.empty()
                 ? u"Writing speed.\r\rType more text to make this information available.\r\rRight-click for options."
                 : u"Writing speed.\r\rRight-click for options.";
    case spTarget: {
      std::u16string hint =
          u"Writing target.\r\rClick to specify the amount of words or characters that you want to add to this document.";
      int64_t progress = 0, amount = 0;
      bool words = true;
      if (site_.WritingTarget(*doc, progress, amount, words) && progress < 0)
        hint += u"\r\rNote: after setting the writing target, you removed more text than added.";
      return hint;
    }
    case spDraft: return commandName(8100);
    case spDraftWrapped: return commandName(8102);
    case spPrintLayout: return commandName(8101);
    case spZoomSlider:
      switch (ZoomPartAt(p)) {
        case zpOut: return u"Zoom out";
        case zpIn: return u"Zoom in";
        case zpTrack: return Text("Zoom " + Number(ZoomAtTrackX(p.x)) + "%");
        case zpThumb: return u"Zoom";
        default: return {};
      }
    case spZoom: return u"Zoom level.\r\rClick to open the Zoom dialog.";
    default: return {};
  }
}

std::u16string TStatusBar::ContextPanelText(int32_t count, bool headerFooter) {
  const std::u16string where = headerFooter ? u"The active header/footer contains " : u"The document contains ";
  const std::u16string links =
      u"        \001\0022\003[\f...\f]\001   \001\0023\003[\f?\f]\001   \001\0024\003[\fX\f]\001";
  if (count == 1) return where + u"\f1\f instance of the selected text." + links;
  const std::string n = FormatThousands(static_cast<double>(count));
  return where + u"\f" + InterfaceText(n) + u"\f instances of the selected text." + links;
}

}  // namespace qv
