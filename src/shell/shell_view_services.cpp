#include "shell/shell_view_services.h"

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "commands/command_options.h"
#include "commands/view_commands.h"
#include "shell/command_bar_services.h"
#include "shell/doc_dispatcher.h"
#include "shell/doc_window_link.h"
#include "shell/main_form.h"
#include "shell/status_bar.h"

namespace qv {

namespace {

constexpr int32_t kCascadeStep = 24;
constexpr int32_t kMinimized = 1, kMaximized = 2;

// The document windows of the dispatcher's documents, in its order.
std::vector<TDocWindowLink*> DocumentWindows() {
  std::vector<TDocWindowLink*> windows;
  TDocDispatcher* d = GetDocDispatcher();
  if (d == nullptr) return windows;
  for (TDoc* doc : d->Documents())
    if (TDocWindowLink* window = d->WindowOf(doc)) windows.push_back(window);
  return windows;
}

class TShellViewCommandServices : public TViewCommandServices {
 public:
  void RebuildBars() override {
    TMainForm* main = GetMainForm();
    if (main == nullptr) return;
    const bool hiddenByFullScreen =
        main->FullScreen && (GetOptions().View.FS_GUI & opt::KeepStatusBar) == 0;
    main->StatusBar().SetVisible(BarSettingsOf(GetActiveDoc()).StatusBar && !hiddenByFullScreen);
    CommandBarServices().RefreshBars(GetActiveDoc());
    main->RequestInterfaceUpdate();
  }

  void RearrangeAllViews() override {
    if (TDocDispatcher* d = GetDocDispatcher()) d->RearrangeAllViews();
  }

  bool DocWindowMaximized(const TDoc& doc) override {
    TDocDispatcher* d = GetDocDispatcher();
    TDocWindowLink* window = d != nullptr ? d->WindowOf(&doc) : nullptr;
    return window == nullptr || window->WindowState() == kMaximized;
  }

  void OpenVadureVavi() override {
    // The dispatcher takes this name for the Vadure Vavi, in the detected format.
    static const std::string kVadureVaviName("\0vadurevavi", 11);
    if (TDocDispatcher* d = GetDocDispatcher()) d->OpenDocument(kVadureVaviName, 7, 0);
  }

  void ToggleFullScreen() override {
    TMainForm* main = GetMainForm();
    if (main == nullptr) return;
    main->FullScreen = !main->FullScreen;
    if (main->FullScreen) {
      SaveWindowStates();
      savedState_ = main->GetWindowState();
      savedBounds_ = main->BoundsRect();
      main->SetBorderStyle(plat::BorderStyle::None);
      main->SetWindowState(plat::WindowState::Maximized);
      SetActiveWindowState(kMaximized);
    } else {
      main->SetBorderStyle(plat::BorderStyle::Sizeable);
      main->SetWindowState(savedState_);
      if (savedState_ == plat::WindowState::Normal) main->SetBounds(savedBounds_);
      RestoreWindowStates();
    }
    RearrangeAllViews();
    main->Invalidate();
  }

  void CascadeWindows() override {
    const plat::Rect area = DocumentArea();
    const std::vector<TDocWindowLink*> windows = DocumentWindows();
    int32_t offset = 0;
    for (TDocWindowLink* window : windows) {
      if (window->WindowState() == kMinimized) continue;
      window->SetWindowState(0);
      if (offset * 2 + kCascadeStep * 4 > std::min(area.Width(), area.Height())) offset = 0;
      const int32_t width = std::max(area.Width() * 3 / 4, 1), height = std::max(area.Height() * 3 / 4, 1);
      window->FitTo({area.left + offset, area.top + offset, area.left + offset + width, area.top + offset + height});
      window->Activate();
      offset += kCascadeStep;
    }
  }

  void TileWindows(bool vertical) override {
    const plat::Rect area = DocumentArea();
    std::vector<TDocWindowLink*> windows = DocumentWindows();
    windows.erase(std::remove_if(windows.begin(), windows.end(),
                                 [](TDocWindowLink* w) { return w->WindowState() == kMinimized; }),
                  windows.end());
    const int32_t n = static_cast<int32_t>(windows.size());
    for (int32_t i = 0; i < n; ++i) {
      TDocWindowLink* window = windows[static_cast<size_t>(i)];
      window->SetWindowState(0);
      if (vertical) {
        const int32_t left = area.left + area.Width() * i / n, right = area.left + area.Width() * (i + 1) / n;
        window->FitTo({left, area.top, right, area.bottom});
      } else {
        const int32_t top = area.top + area.Height() * i / n, bottom = area.top + area.Height() * (i + 1) / n;
        window->FitTo({area.left, top, area.right, bottom});
      }
    }
  }

  bool MinimizeAllWindows() override {
    bool any = false;
    TDocDispatcher* d = GetDocDispatcher();
    if (d == nullptr) return false;
    for (TDoc* doc : d->Documents()) {
      TDocWindowLink* window = d->WindowOf(doc);
      if (window == nullptr || window->WindowState() == kMinimized) continue;
      minimized_[doc] = window->WindowState();
      window->SetWindowState(kMinimized);
      any = true;
    }
    return any;
  }

  void UndoMinimizeAll() override {
    TDocDispatcher* d = GetDocDispatcher();
    if (d != nullptr)
      for (TDoc* doc : d->Documents()) {
        const auto it = minimized_.find(doc);
        TDocWindowLink* window = d->WindowOf(doc);
        if (it != minimized_.end() && window != nullptr && window->WindowState() != it->second)
          window->SetWindowState(it->second);
      }
    minimized_.clear();
  }

  void SetActiveWindowState(int32_t state) override {
    TDocDispatcher* d = GetDocDispatcher();
    if (d == nullptr || d->ActiveDoc() == nullptr) return;
    if (TDocWindowLink* window = d->WindowOf(d->ActiveDoc())) window->SetWindowState(state);
  }

  void ActivateDocument(TDoc& doc) override {
    if (TDocDispatcher* d = GetDocDispatcher()) d->Activate(&doc);
  }

 private:
  // The document windows' states when Full Screen started; the windows of documents closed in
  // between are skipped when they are put back.
  void SaveWindowStates() {
    fullScreenStates_.clear();
    TDocDispatcher* d = GetDocDispatcher();
    if (d == nullptr) return;
    for (TDoc* doc : d->Documents())
      if (TDocWindowLink* window = d->WindowOf(doc)) fullScreenStates_[doc] = window->WindowState();
  }

  void RestoreWindowStates() {
    TDocDispatcher* d = GetDocDispatcher();
    if (d != nullptr)
      for (TDoc* doc : d->Documents()) {
        const auto it = fullScreenStates_.find(doc);
        TDocWindowLink* window = d->WindowOf(doc);
        if (it != fullScreenStates_.end() && window != nullptr) window->SetWindowState(it->second);
      }
    fullScreenStates_.clear();
  }

  static plat::Rect DocumentArea() {
    TMainForm* main = GetMainForm();
    return main != nullptr ? main->DocumentArea().ClientRect() : plat::Rect{};
  }

  plat::WindowState savedState_ = plat::WindowState::Normal;
  plat::Rect savedBounds_{};
  // The windows Minimize All minimized, with the state each had before.
  std::map<const TDoc*, int32_t> minimized_;
  std::map<const TDoc*, int32_t> fullScreenStates_;
};

}  // namespace

std::unique_ptr<TViewCommandServices> MakeShellViewCommandServices() {
  return std::make_unique<TShellViewCommandServices>();
}

}  // namespace qv
