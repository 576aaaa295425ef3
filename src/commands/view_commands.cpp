#include "commands/view_commands.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "commands/command_environment_services.h"
#include "commands/command_options.h"
#include "commands/view_command_parts.h"
#include "commands/view_command_services.h"
#include "document/doc.h"
#include "document/doc_flags.h"
#include "document/doc_services.h"
#include "docwindow/doc_form.h"
#include "docwindow/zoom.h"
#include "foundation/base/service_slot.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr int32_t kZoomStepParamCommand = 206200;
constexpr int32_t kZoomDialog = 6200;
constexpr int32_t kShowWhiteSpace = 8110;
constexpr int32_t kEndMouseMode = 700;
constexpr int32_t kHideAllSound = 3020;
constexpr uint8_t kMouseModeEasyHand = 1;
constexpr int32_t kZoomMin = 10, kZoomMax = 500, kZoomKeyStep = 10;
// Scoped document flags around laying out again for the white space: no painting while
// scrolling, no caret scrolled into view, no background pagination.
constexpr int32_t kScopedScrollNoPaint = 13, kScopedNoCaretScroll = 39, kScopedNoPagination = 18;

TViewSettings& Row(const TViewRun& run) { return BarSettingsOf(run.Doc); }

void FlipViewOption(uint16_t bit) { GetOptions().View.Flags ^= bit; }

std::vector<TDoc*> OpenDocs(TDoc* target) {
  std::vector<TDoc*> docs = CommandEnvironment().OpenDocuments();
  if (target != nullptr && std::find(docs.begin(), docs.end(), target) == docs.end())
    docs.push_back(target);
  return docs;
}

void SpecialSymbols(const TViewRun& run) {
  FlipViewOption(opt::ViewSpecialSymbols);
  TCommandEnvironment& env = CommandEnvironment();
  TViewCommandServices& services = ViewCommandServices();
  TDoc* active = env.ActiveDoc();
  const bool allVisible = active != nullptr && !services.DocWindowMaximized(*active);
  for (TDoc* doc : OpenDocs(run.Doc))
    if (doc == active || allVisible) RedrawDoc(*doc);
  services.RepaintInactivePanes();
  services.RefreshClipLibrary();
}

void MarginBorders(const TViewRun& run) {
  FlipViewOption(opt::ViewMarginBorders);
  if (run.Doc != nullptr && ViewCommandServices().DocWindowMaximized(*run.Doc))
    RedrawDoc(*run.Doc);
  else
    ViewCommandServices().RearrangeAllViews();
}

// Rulers, scroll bars and the status bar, kept per mode.
bool BarSetting(const TViewRun& run) {
  TViewSettings& row = Row(run);
  switch (run.Id) {
    case 6060: row.Ruler = !row.Ruler; break;
    case 6065: row.VerRuler = !row.VerRuler; break;
    case 6080: row.ScrollBars ^= 1; break;
    case 6081: row.ScrollBars ^= 2; break;
    case 6140:
      row.StatusBar = !row.StatusBar;
      ViewCommandServices().RebuildBars();
      return true;
    default: return false;
  }
  ViewCommandServices().RearrangeAllViews();
  return true;
}

bool Toolbars(const TViewRun& run) {
  TViewOptions& v = GetOptions().View;
  TViewCommandServices& services = ViewCommandServices();
  const int32_t id = run.Id;
  if (id >= 6070 && id <= 6072) {
    if ((v.Toolbars == 2 || id == 6072) && services.CommandBandVisible()) services.InvalidateCommandBand();
    v.Toolbars = static_cast<uint8_t>(id - 6070);
  } else if (id >= 6075 && id <= 6077) {
    v.ToolbarAlign = static_cast<uint8_t>(id - 6075);
  } else if (id == 6078 || id == 6079) {
    v.ToolbarStyle = static_cast<uint8_t>(id - 6078);
    services.ApplyToolbarStyle(v.ToolbarStyle);
    return true;
  } else {
    return false;
  }
  services.RebuildBars();
  return true;
}

bool DocumentBar(const TViewRun& run) {
  TViewOptions& v = GetOptions().View;
  TViewCommandServices& services = ViewCommandServices();
  const int32_t id = run.Id;
  if (id == 6100) {
    v.DocBar = !v.DocBar;
    services.RebuildBars();
  } else if (id >= 6120 && id <= 6124) {
    v.DocBarAlign = static_cast<uint8_t>(id - 6120);
    services.RebuildBars();
  } else if (id >= 6131 && id <= 6133) {
    FlipViewOption(id == 6131 ? opt::ViewDocBarExtensions
                   : id == 6132 ? opt::ViewDocBarSorted
                                : opt::ViewDocBarVertical);
    if (id == 6132) services.ResortDocBar();
    services.RebuildBars();
  } else {
    return false;
  }
  return true;
}

// One zoom step of 10 percent about the centre of the target's window.
void ZoomStepAtCentre(TViewRun& run, bool enlarge) {
  if (run.Doc == nullptr) return;
  if (TDocForm* form = FormOf(*run.Doc)) {
    form->ZoomStep(static_cast<int32_t>(0x80000000u), 0, enlarge, plat::ssCtrl);
    return;
  }
  // Without a window the step keeps the view's place as the model does.
  TZoomStepParam param;
  param.Enlarge = enlarge ? 1 : 0;
  param.Step = kZoomKeyStep;
  run.Manager.ExecuteWithParam(kZoomStepParamCommand, &param);
}

bool Zoom(TViewRun& run) {
  const int32_t id = run.Id;
  if (id == 6160) {
    TViewCommandServices& services = ViewCommandServices();
    const bool canDrop = services.CommandBandVisible() || GetOptions().View.Toolbars == 2;
    if (!canDrop || !services.DropZoomList()) run.Manager.Execute(kZoomDialog);
  } else if (id >= 6170 && id <= 6174) {
    const uint32_t value = id == 6174 ? ZoomParam(0, 100) : ZoomParam(static_cast<uint8_t>(id - 6169), 0);
    run.Manager.ExecuteWithParam(kZoomParamCommand, &value);
  } else if (id == 6195 || id == 6196) {
    ZoomStepAtCentre(run, id == 6196);
  } else if (id == kZoomDialog) {
    if (run.Doc != nullptr) ViewCommandServices().ExecuteZoomDialog(*run.Doc);
  } else {
    return false;
  }
  return true;
}

void VadureVavi() {
  TCommandEnvironment& env = CommandEnvironment();
  TDoc* vavi = env.VadureVavi();
  if (vavi != nullptr && env.VadureVaviShown())
    env.CloseDocument(*vavi);
  else
    ViewCommandServices().OpenVadureVavi();
}

void FullScreen(TViewRun& run) {
  TCommandEnvironment& env = CommandEnvironment();
  env.PlayEventSound(kHideAllSound);
  ViewCommandServices().ToggleFullScreen();
  if (env.FullScreen() && (GetOptions().View.FS_GUI & opt::KeepControlBoard) == 0 &&
      env.MouseMode() == kMouseModeEasyHand)
    run.Manager.Execute(kEndMouseMode);
  ViewCommandServices().RebuildBars();
}

void SetViewMode(const TViewRun& run) {
  if (run.Doc == nullptr) return;
  const uint8_t mode = run.Id == 8100 ? vmDraft : run.Id == 8102 ? vmDraftWrapped : vmPrintLayout;
  // The draft views' content width is measured again for the new mode.
  if (mode != vmPrintLayout) run.Doc->View.ExtentValid = false;
  run.Doc->SetViewMode(mode);
}

// Lays the document out again for the white space, keeping its last visible page where it was
// on screen.
void RelayoutKeepingLastPage(TDoc& doc) {
  TScopedDocFlag noPaint(doc, kScopedScrollNoPaint), noCaret(doc, kScopedNoCaretScroll),
      noPagination(doc, kScopedNoPagination);
  const int32_t oldScroll = doc.View.ScrollPos.y;
  const int32_t page = doc.PageCount() > 0 ? std::max(doc.LastVisiblePage(), 0) : -1;
  plat::Rect before{};
  if (page >= 0) doc.GetPageRect(page, before);
  doc.RebuildLayout();
  if (page < 0) return;
  doc.Paginate(doc.PageCount(), page + 1);
  if (page >= doc.PageCount()) return;
  plat::Rect after{};
  doc.GetPageRect(page, after);
  doc.ScrollToY(after.top + oldScroll - before.top);
}

void WhiteSpace(const TViewRun& run) {
  FlipViewOption(opt::ViewWhiteSpaceHidden);
  for (TDoc* doc : OpenDocs(run.Doc)) {
    RelayoutKeepingLastPage(*doc);
    RedrawDoc(*doc);
  }
}

constexpr uint16_t kSpotlightNotSetUp = 0x8000;
constexpr uint16_t kSpotlightCentred = 0x40;

void RearrangeSpotlight(TDoc& doc, bool recentre) {
  doc.ArrangePages();
  if (recentre) doc.RequestSpotlightCentre();
}

void Spotlight(const TViewRun& run) {
  TViewCommandServices& services = ViewCommandServices();
  const uint16_t options = GetOptions().View.Spotlight;
  if (run.Id == 8121) {
    if (!services.ExecuteSpotlightSettingsDialog()) return;
    for (TDoc* doc : OpenDocs(run.Doc)) {
      if (!doc->IsSpotlightActive()) continue;
      RearrangeSpotlight(*doc, true);
      RedrawDoc(*doc);
    }
    return;
  }
  if (run.Doc == nullptr) return;
  if ((options & kSpotlightNotSetUp) != 0 && !services.ExecuteSpotlightSettingsDialog()) return;
  TDoc& doc = *run.Doc;
  doc.Spotlight = !doc.Spotlight;
  if ((GetOptions().View.Spotlight & kSpotlightCentred) != 0) {
    RearrangeSpotlight(doc, doc.Spotlight);
    if (!doc.Spotlight) {
      TScopedDocFlag noPaint(doc, kScopedScrollNoPaint);
      const int32_t half = plat::IsWindowSystemStarted() ? plat::GetScreenRect().Height() / 2 : 0;
      doc.ScrollToY(doc.View.ScrollPos.y - half);
    }
  }
  RedrawDoc(doc);
}

bool SplitWindow(const TViewRun& run) {
  if (run.Id < 8125 || run.Id > 8133) return false;
  if (run.Id == 8131 || run.Id == 8132) {
    FlipViewOption(run.Id == 8131 ? opt::ViewDimInactivePane : opt::ViewFollowLinksToPane);
    if (run.Id == 8131) ViewCommandServices().RearrangeAllViews();
    return true;
  }
  if (run.Doc != nullptr) ViewCommandServices().SplitCommand(*run.Doc, run.Id);
  return true;
}

bool RunViewCommand(TViewRun& run) {
  switch (run.Id) {
    case 6000: SpecialSymbols(run); return true;
    case 6020: MarginBorders(run); return true;
    case 6400: VadureVavi(); return true;
    case 7000: FullScreen(run); return true;
    case 8050:
      if (run.Doc != nullptr) run.Doc->ScrollToNextSelectedItem();
      return true;
    case 8100: case 8101: case 8102: SetViewMode(run); return true;
    case kShowWhiteSpace: WhiteSpace(run); return true;
    case 8120: case 8121: case 8122: Spotlight(run); return true;
    default: break;
  }
  return BarSetting(run) || Toolbars(run) || DocumentBar(run) || Zoom(run) || RunHeaderFooterCommand(run) ||
         RunControlBoardCommand(run) || SplitWindow(run);
}

// The zoom box's command: a percentage or a fit mode.
void ZoomTo(TDoc& doc, uint32_t value) {
  const uint8_t oldMode = doc.View.ZoomMode;
  const uint8_t mode = static_cast<uint8_t>(value >> 16);
  if (mode != 0) {
    SetZoomMode(doc, mode);
  } else {
    doc.View.ZoomMode = zmFixed;
    ApplyZoom(doc, std::clamp(static_cast<int32_t>(value & 0xFFFF), kZoomMin, kZoomMax));
  }
  if (doc.PrintPreview) GetOptionsHolder().Settings.PreviewZoom = {doc.ZoomPercent, doc.View.ZoomMode};
  if (doc.View.ZoomMode != oldMode)
    if (TDocForm* form = FormOf(doc)) form->ArrangeControls(form->ClientRect());
}

// The magnifying glass's step about its anchor.
void ZoomStep(TDoc& doc, const TZoomStepParam& param) {
  const int32_t step = param.Enlarge != 0 ? param.Step : -param.Step;
  const int32_t zoom = std::clamp(doc.ZoomPercent + step, kZoomMin, kZoomMax);
  if (zoom == doc.ZoomPercent) return;
  const uint8_t oldMode = doc.View.ZoomMode;
  doc.View.ZoomMode = zmFixed;
  const plat::Point anchor{param.X, param.Y};
  const bool anchored = param.X != static_cast<int32_t>(0x80000000u) && FormOf(doc) != nullptr;
  doc.SetZoomAt(zoom, anchored ? &anchor : nullptr);
  if (oldMode != zmFixed)
    if (TDocForm* form = FormOf(doc)) form->ArrangeControls(form->ClientRect());
  CommandEnvironment().UpdateInterfaceState();
}

}  // namespace

TViewSettings& BarSettingsOf(const TDoc* doc) {
  THolderSettings& settings = GetOptionsHolder().Settings;
  return doc != nullptr && doc->PrintPreview ? settings.PreviewView : settings.NormalView;
}

void RedrawDoc(TDoc& doc) {
  if (doc.EditorWindow != nullptr) doc.EditorWindow->Repaint();
}

void TViewCommands::Execute(TCommandManager& manager, int32_t id) {
  TViewRun run{manager, GetCommandTargetDoc(), id};
  if (run.Doc != nullptr) CommandEnvironment().AddEditingTime(*run.Doc);
  RunViewCommand(run);
  CommandEnvironment().UpdateInterfaceState();
}

void TZoomParamCommands::ExecuteWithParam(TCommandManager& /*manager*/, int32_t id, const void* argument) {
  TDoc* doc = GetCommandTargetDoc();
  if (doc == nullptr || argument == nullptr) return;
  if (id == kZoomParamCommand) ZoomTo(*doc, *static_cast<const uint32_t*>(argument));
  else if (id == kZoomStepParamCommand) ZoomStep(*doc, *static_cast<const TZoomStepParam*>(argument));
}

void RegisterViewCommands(TCommandManager& manager) {
  manager.SetHandler(CommandRange::View, std::make_unique<TViewCommands>());
  manager.SetParamHandler(*ParamRangeOfCommand(kZoomParamCommand), std::make_unique<TZoomParamCommands>());
}

void RegisterViewCommandServices(std::unique_ptr<TViewCommandServices> services) {
  RegisterService(std::move(services));
}
TViewCommandServices& ViewCommandServices() { return Service<TViewCommandServices>(); }

}  // namespace qv
