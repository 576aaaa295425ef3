#pragma once
// The main window's answers to what its status bar asks: the active document and what the
// document keeps about its file, its pagination, its writing time and target; the main window's
// own state (start-up, activation, full screen, the insert/overwrite mode); the tools around it
// (spellchecking, the document bar, the browse list) through their services; the popup menus of
// the panels.
#include <memory>

#include "shell/status_bar.h"

namespace qv {

class TMainForm;

class TMainStatusBarSite : public TStatusBarSite {
 public:
  explicit TMainStatusBarSite(TMainForm& main) : main_(main) {}

  TDoc* ActiveDoc() override;
  bool StartupDone() override;
  bool AppActive() override;
  bool MainWindowEnabled() override;
  bool BrowseListOpen() override;
  bool FullScreen() override;
  bool OverwriteMode() override;
  uint8_t StatusIcons(TDoc& doc) override;
  int32_t SpellcheckState() override;
  std::vector<TDoc*> DocBarSelection() override;
  bool KeepsFileOpen(TDoc& doc) override;
  bool BeingSaved(TDoc& doc) override;
  int64_t FileSize(TDoc& doc) override;
  int64_t WritingTime(TDoc& doc) override;
  int64_t CharsTyped(TDoc& doc) override;
  bool WritingTarget(TDoc& doc, int64_t& progress, int64_t& amount, bool& words) override;
  bool PaginationStopped(TDoc& doc) override;
  bool PaginationComplete(TDoc& doc) override;
  void ShowMenu(const std::string& name, plat::Point screen) override;
  void ShowBookmarkMenu(plat::Point screen) override;
  void ShowLanguageMenu(plat::Point screen) override;
  void SpellcheckPanelClick() override;
  void WritingTargetClick() override;

 private:
  TMainForm& main_;
};

}  // namespace qv
