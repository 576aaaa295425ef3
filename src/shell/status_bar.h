#pragma once
// TStatusBar: the custom-drawn bar at the bottom of the main window. In its panel mode it shows
// 19 panels (caret position, document state, statistics, writing time and target, view mode and
// zoom), most of them clickable; in its progress mode a bar of 20 blocks with a text; in its
// message mode a text alone. The main window owns it and fills its texts on every interface
// update (UpdateStatusTexts); what the bar needs of the main window and the document dispatcher
// it asks of its site.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls/control.h"

namespace qv {

class TDoc;

// What the status bar asks of the main window, the dispatcher and the tools around it. The
// defaults answer for a bar with no document behind it.
class TStatusBarSite {
 public:
  virtual ~TStatusBarSite() = default;
  virtual TDoc* ActiveDoc() { return nullptr; }
  // The panels show and react only after start-up, while the application is active and the main
  // window takes input, and no browse-list popup is open.
  virtual bool StartupDone() { return true; }
  virtual bool AppActive() { return true; }
  virtual bool MainWindowEnabled() { return true; }
  virtual bool BrowseListOpen() { return false; }
  virtual bool FullScreen() { return false; }
  virtual bool OverwriteMode() { return false; }
  // Status icons of the document: bit 0 a safe copy was made, 1 restored from a safe copy,
  // 2 encrypted.
  virtual uint8_t StatusIcons(TDoc& /*doc*/) { return 0; }
  // The spellcheck state: 0 off, 1 not started, 2 complete without misspellings, 3 complete
  // with words of no language, 4 complete with misspellings, 5 in progress.
  virtual int32_t SpellcheckState() { return 0; }
  // The documents selected on the document bar.
  virtual std::vector<TDoc*> DocBarSelection() { return {}; }
  // The document keeps its file open (its size is known), is being saved, and that size.
  virtual bool KeepsFileOpen(TDoc& /*doc*/) { return false; }
  virtual bool BeingSaved(TDoc& /*doc*/) { return false; }
  virtual int64_t FileSize(TDoc& /*doc*/) { return 0; }
  // Writing time (milliseconds) and the characters typed in it.
  virtual int64_t WritingTime(TDoc& /*doc*/) { return 0; }
  virtual int64_t CharsTyped(TDoc& /*doc*/) { return 0; }
  // The writing target: false without one; else its progress and amount, in words or characters.
  virtual bool WritingTarget(TDoc& /*doc*/, int64_t& /*progress*/, int64_t& /*amount*/, bool& /*words*/) {
    return false;
  }
  // Background pagination stopped at its limit, or has not yet reached the end; the largest page
  // count the document keeps showing meanwhile.
  virtual bool PaginationStopped(TDoc& /*doc*/) { return false; }
  virtual bool PaginationComplete(TDoc& /*doc*/) { return true; }
  virtual int32_t KeptPageCount(TDoc& /*doc*/) { return 0; }
  // The popup menus: a resource by name, the document's bookmarks, the languages.
  virtual void ShowMenu(const std::string& /*name*/, plat::Point /*screen*/) {}
  virtual void ShowBookmarkMenu(plat::Point /*screen*/) {}
  virtual void ShowLanguageMenu(plat::Point /*screen*/) {}
  // Clicks that open the shell's own windows: the spellcheck step, the writing target dialog.
  virtual void SpellcheckPanelClick() {}
  virtual void WritingTargetClick() {}
  // The hint window at a screen point.
  virtual void ShowHint(const std::u16string& /*text*/, plat::Point /*screen*/) {}
};

class TStatusBar : public plat::Control {
 public:
  static constexpr int32_t kPanelCount = 19;
  static constexpr uint8_t kNone = 255;
  // Message kinds: none (the panels), progress, any other value a plain message.
  static constexpr uint8_t kNoMessage = 0, kProgress = 1, kMessage = 2;
  // The panels.
  enum : uint8_t {
    spPosition = 0, spLine = 1, spModified = 2, spInsert = 3, spIcons = 4, spLanguage = 5,
    spSpellcheck = 6, spCharsNoSpaces = 7, spCharsWithSpaces = 8, spWords = 9, spFileSize = 10,
    spWritingTime = 11, spWritingSpeed = 12, spTarget = 13, spDraft = 14, spDraftWrapped = 15,
    spPrintLayout = 16, spZoomSlider = 17, spZoom = 18,
  };
  // The parts of the zoom slider.
  enum : int8_t { zpOut = 0, zpTrack = 1, zpThumb = 2, zpIn = 3, zpTrackPress = -1 };
  // Panels that react to a click (panel 2 only while Save is possible); the slider has parts.
  static constexpr uint32_t kClickablePanels = 0x5E7EF;

  struct TPanel {
    std::u16string Text;
    int32_t TextWidth = 0;
    int32_t Width = 0;
  };

  explicit TStatusBar(TStatusBarSite& site);

  // ---- Modes
  // Stores the kind and text; repaints when either changed.
  void SetMessage(uint8_t kind, const std::u16string& text);
  uint8_t MessageKind() const { return messageKind_; }
  const std::u16string& MessageText() const { return messageText_; }
  void SetProgressRange(int64_t minimum, int64_t maximum);
  // Clamps to the range; repaints only when the number of drawn blocks changes.
  void SetProgressPos(int64_t position);
  int64_t ProgressPos() const { return progressPos_; }
  int64_t ProgressMax() const { return progressMax_; }
  // The blocks of the progress bar drawn for the position (0 to 20); none for an empty range.
  int32_t ProgressBlocks() const;

  // ---- Panel texts (the interface update)
  // Fills the texts of the visible panels from the active document, grows their widths and
  // works out which panels the bar's width hides. False when the bar is not to be shown
  // (toolbars customised, the status-bar option off, or hidden in full screen).
  bool UpdateStatusTexts();
  const TPanel& Panel(int32_t i) const { return panels_[static_cast<size_t>(i)]; }
  // Panels shown: bit i set for panel i (the visible panels less those hidden for width).
  uint32_t ShownPanels() const;
  uint32_t HiddenForWidth() const { return hiddenForWidth_; }
  // Works out the panels hidden for the bar's width; true when that set changed.
  bool UpdateHiddenForWidth();
  // The panel's rectangle in the bar (empty when it is not shown).
  plat::Rect PanelRect(int32_t panel) const;
  // The panel under a point of the bar, kNone when none (or when panels do not react now).
  uint8_t PanelAt(plat::Point p) const;
  // The hint of the panel (and slider part) under a point; empty for none.
  std::u16string HintAt(plat::Point p) const;

  // ---- The zoom slider (panel 17)
  plat::Rect ZoomPartRect(int8_t part) const;
  int8_t ZoomPartAt(plat::Point p) const;
  // The zoom at a point of the track (10 to 500), and the track's point of a zoom.
  int32_t ZoomAtTrackX(int32_t x) const;
  int32_t TrackXOfZoom(int32_t zoom) const;
  // The housekeeping timer's tick: a held zoom button repeats its step.
  void HousekeepingTick(uint32_t now);
  // The main window's blink timer: a reached writing target blinks between two greens.
  void BlinkTarget();

  // The statistics hint of panels 7 to 10 by their scope.
  std::u16string StatisticsHint(int32_t panel) const;
  // The context panel's text for the instances of the selected text: their count, whether
  // highlighting still runs, and whether a header or footer is edited.
  static std::u16string ContextPanelText(int32_t count, bool headerFooter);

  int32_t Margin() const { return margin_; }
  uint8_t HotPanel() const { return hot_; }
  uint8_t PressedPanel() const { return pressed_; }

 protected:
  void Paint(plat::PaintContext& pc) override;
  void MouseDown(plat::MouseButton b, plat::ShiftState shift, plat::Point p) override;
  void MouseMove(plat::ShiftState shift, plat::Point p) override;
  void MouseUp(plat::MouseButton b, plat::ShiftState shift, plat::Point p) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void Resize() override;
  void FontChanged() override;
  // The clock of presses and double clicks (milliseconds).
  virtual uint32_t Now() const;

 public:
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
  // Cancel mode: no pressed panel or slider part, the mouse counted outside.
  void CancelMode();

 private:
  TDoc* Doc() const;
  bool PanelsReact() const;
  void ClickPanel(uint8_t panel, plat::Point p);
  void RightClickPanel(uint8_t panel, plat::Point p);
  void SetZoom(int32_t zoom);
  int32_t CurrentZoom() const;
  int32_t TextHeight() const;
  // Panel texts of one panel; empty when it shows nothing now.
  std::u16string BuildText(int32_t panel, TDoc& doc);
  std::u16string PositionText(TDoc& doc);
  std::u16string LineText(TDoc& doc);
  std::u16string StatisticsText(int32_t panel, TDoc& doc);

  TStatusBarSite& site_;
  std::array<TPanel, kPanelCount> panels_{};
  int32_t margin_ = 6;
  int32_t padding_ = 3;
  uint32_t hiddenForWidth_ = 0;
  uint8_t hot_ = kNone, pressed_ = kNone;
  int8_t hotZoomPart_ = static_cast<int8_t>(kNone), pressedZoomPart_ = static_cast<int8_t>(kNone);
  bool repeatHappened_ = false, mouseInside_ = false;
  uint32_t lastThumbClickTick_ = 0, pressTick_ = 0, repeatTick_ = 0;
  int32_t repeatCount_ = 0;
  uint8_t messageKind_ = kNoMessage;
  std::u16string messageText_;
  int64_t progressMin_ = 0, progressMax_ = 0, progressPos_ = 0;
  int32_t lastViewMode_ = -1;
  bool blinkOn_ = false;
  bool started_ = true;
};

}  // namespace qv
