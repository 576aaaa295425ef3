// The Control Board commands of the view range: showing it, its panels on the first and the
// second board, closing one of two boards, its position, hover previews, the document map's
// commands and the hyper boxes' popup commands.
#include <cstdint>

#include "commands/command_environment_services.h"
#include "commands/command_manager.h"
#include "commands/command_options.h"
#include "commands/view_command_parts.h"
#include "commands/view_command_services.h"

namespace qv {

namespace {

constexpr int32_t kPanels = 11;
constexpr uint32_t kAllPanels = 0x7FF;
constexpr int32_t kControlBoard = 6500;
constexpr int32_t kEndMouseMode = 700;
constexpr uint8_t kMouseModeFormatPick = 6;
constexpr uint8_t kLeft = 0, kRight = 1, kBoth = 2;

uint32_t Bit(int32_t panel) { return 1u << panel; }

void ShowOnBoard(int32_t board, int32_t panel) {
  TViewOptions& v = GetOptions().View;
  (board == 0 ? v.CBActiveTab : v.CBSecondTab) = panel;
  ViewCommandServices().RebuildControlBoard(board);
  ViewCommandServices().SelectControlBoardTool(board, panel);
}

void RebuildSecondIfShown() {
  if (ViewCommandServices().ControlBoardExists(1)) ViewCommandServices().RebuildControlBoard(1);
}

void ToggleShown() {
  TViewOptions& v = GetOptions().View;
  TCommandEnvironment& env = CommandEnvironment();
  const bool wasShown = v.ControlBoard;
  v.ControlBoard = !v.ControlBoard;
  if (!wasShown) return;
  if (TDoc* active = env.ActiveDoc()) RedrawDoc(*active);
  if (env.MouseMode() == kMouseModeFormatPick) GetCommandManager().Execute(kEndMouseMode);
}

// A panel chosen in the first board's menu: shown there, or hidden when it is shown there.
void FirstBoardPanel(int32_t panel) {
  TViewOptions& v = GetOptions().View;
  if ((v.CBDisabledTabs & Bit(panel)) != 0) {
    v.CBDisabledTabs &= ~Bit(panel);
    ShowOnBoard(0, panel);
  } else if ((v.CBSecondPaneTabs & Bit(panel)) != 0) {
    v.CBSecondPaneTabs &= ~Bit(panel);
    NormalizeControlBoardTabs(v);
    ShowOnBoard(0, panel);
    RebuildSecondIfShown();
  } else {
    v.CBDisabledTabs |= Bit(panel);
    NormalizeControlBoardTabs(v);
    ViewCommandServices().RebuildControlBoard(0);
    ViewCommandServices().RepaintControlBoard(0);
  }
}

// The highest panel neither hidden nor on the second board.
int32_t HighestFirstBoardPanel(const TViewOptions& v) {
  for (int32_t panel = kPanels - 1; panel >= 0; --panel)
    if (((v.CBDisabledTabs | v.CBSecondPaneTabs) & Bit(panel)) == 0) return panel;
  return 0;
}

// A panel chosen in the second board's menu.
void SecondBoardPanel(int32_t panel) {
  TViewOptions& v = GetOptions().View;
  TViewCommandServices& services = ViewCommandServices();
  if ((v.CBSecondPaneTabs & Bit(panel)) != 0) {
    v.CBDisabledTabs |= Bit(panel);
    v.CBSecondPaneTabs &= ~Bit(panel);
    NormalizeControlBoardTabs(v);
    RebuildSecondIfShown();
    return;
  }
  const bool wasHidden = (v.CBDisabledTabs & Bit(panel)) != 0;
  v.CBDisabledTabs &= ~Bit(panel);
  v.CBSecondPaneTabs |= Bit(panel);
  if (!wasHidden && ((v.CBDisabledTabs | v.CBSecondPaneTabs) & kAllPanels) == kAllPanels) {
    // Nothing would be left for the first board: one board on the right holds every panel.
    v.CBSecondPaneTabs = 0;
    v.CBAlign = kRight;
    ShowOnBoard(0, panel);
    return;
  }
  // A panel can only stand on the second board while there are two boards.
  v.CBAlign = kBoth;
  if (!wasHidden) {
    v.CBActiveTab = HighestFirstBoardPanel(v);
    services.RebuildControlBoard(0);
    services.RepaintControlBoard(0);
  }
  ShowOnBoard(1, panel);
}

void CloseBoard(int32_t board) {
  TViewOptions& v = GetOptions().View;
  if (v.CBAlign != kBoth) {
    GetCommandManager().Execute(kControlBoard);
    return;
  }
  if (board == 0) {
    v.CBAlign = kRight;
    v.CBDisabledTabs = ~v.CBSecondPaneTabs & kAllPanels;
    v.CBSecondPaneTabs = 0;
    ShowOnBoard(0, v.CBSecondTab);
  } else {
    v.CBAlign = kLeft;
    v.CBDisabledTabs |= v.CBSecondPaneTabs;
    v.CBSecondPaneTabs = 0;
    ViewCommandServices().RebuildControlBoard(0);
  }
}

void SetPosition(uint8_t position) {
  TViewOptions& v = GetOptions().View;
  v.CBAlign = position;
  v.CBSecondPaneTabs = 0;
  if (position == kBoth) {
    if (v.CBDisabledTabs != 0) {
      v.CBSecondPaneTabs = v.CBDisabledTabs;
      v.CBDisabledTabs = 0;
    } else {
      int32_t moved = 0;
      for (int32_t panel = kPanels - 1; panel >= 0 && moved < 5; --panel) {
        if (panel == v.CBActiveTab) continue;
        v.CBSecondPaneTabs |= Bit(panel);
        ++moved;
      }
    }
    NormalizeControlBoardTabs(v);
  }
  ViewCommandServices().RebuildControlBoard(0);
  RebuildSecondIfShown();
}

bool DocumentMap(int32_t id) {
  TViewOptions& v = GetOptions().View;
  if (id >= 6520 && id <= 6528) v.DocMap_Lvls = id - 6520;
  else if (id >= 6560 && id <= 6564) v.DocMap_FntSize = static_cast<uint8_t>(id - 6560);
  else if (id != 6550 && id != 6551 && (id < 6570 || id > 6585)) return false;
  ViewCommandServices().DocumentMapCommand(id);
  return true;
}

}  // namespace

bool RunControlBoardCommand(TViewRun& run) {
  const int32_t id = run.Id;
  if (id == kControlBoard) ToggleShown();
  else if (id >= 6420 && id <= 6430) FirstBoardPanel(id - 6420);
  else if (id >= 6450 && id <= 6460) SecondBoardPanel(id - 6450);
  else if (id == 6501 || id == 6502) CloseBoard(id - 6501);
  else if (id >= 6505 && id <= 6507) SetPosition(static_cast<uint8_t>(id - 6505));
  else if (id == 6510) GetOptions().View.Flags ^= opt::ViewHoverPreviews;
  else if (id == 6590 || id == 6591) ViewCommandServices().HyperBoxCommand(id);
  else return DocumentMap(id);
  return true;
}

}  // namespace qv
