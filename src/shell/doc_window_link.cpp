#include "shell/doc_window_link.h"

#include <exception>
#include <vector>

#include "document/doc.h"
#include "document/doc_services.h"
#include "docwindow/doc_form.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "foundation/base/exceptions.h"
#include "platform/controls/control.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

class TDocFormHost : public TDocWindowLink {
 public:
  TDocFormHost() : doc_(std::make_unique<TDoc>(false)) {}
  ~TDocFormHost() override {
    if (TDocForm* form = Form()) form->Hide();
  }

  TDoc& Doc() override { return *doc_; }

  bool Load(TDocOpeningOptions& options, std::string& error) override {
    try {
      // The open road tells the user itself why a file cannot be read.
      return DocOpen(*doc_, options) != 0;
    } catch (const EAbort&) {
      return false;
    } catch (const std::exception& e) {
      error = e.what();
      return false;
    }
  }

  bool Show(plat::Control& area) override {
    TDocForm* form = Form();
    if (form == nullptr || area.HandleNeeded() == 0) return false;
    form->SetParent(&area);
    form->SetBounds(area.ClientRect());
    form->Show();
    return form->Handle() != 0;
  }

  plat::Hwnd Handle() const override {
    const TDocForm* form = FormOf(*doc_);
    return form != nullptr ? form->Handle() : 0;
  }

  void Activate() override {
    TDocForm* form = Form();
    if (form == nullptr || form->Handle() == 0) return;
    plat::BringWindowToTop(form->Handle());
    form->MDIActivate(true);
  }

  void Deactivate() override {
    if (TDocForm* form = Form()) form->MDIActivate(false);
  }

  int32_t WindowState() const override {
    const TDocForm* form = FormOf(*doc_);
    return form != nullptr ? static_cast<int32_t>(form->GetWindowState()) : 2;
  }

  void SetWindowState(int32_t state) override {
    if (TDocForm* form = Form()) form->SetWindowState(static_cast<plat::WindowState>(state));
  }

  void FitTo(const plat::Rect& area) override {
    if (TDocForm* form = Form()) form->SetBounds(area);
  }

  void SetCaption(const std::u16string& caption) override {
    if (TDocForm* form = Form()) form->SetCaption(caption);
  }

  bool CloseQuery() override {
    TDocForm* form = Form();
    return form == nullptr || form->FormCloseQuery();
  }

  bool InMouseOperation() override {
    const TDocForm* form = Form();
    return form != nullptr && (form->Flags & TDocForm::GestureFlags) != 0;
  }

  void DeferredViewWork(bool /*mayScrollCaret*/) override {
    if (TDocForm* form = Form()) form->DoIdleWork();
  }

  void Redraw() override {
    if (TDocForm* form = Form()) form->RedrawView();
  }

 private:
  TDocForm* Form() const { return FormOf(*doc_); }

  std::unique_ptr<TDoc> doc_;
};

std::vector<std::unique_ptr<TDocEditorWindow>>& Released() {
  static auto* released = new std::vector<std::unique_ptr<TDocEditorWindow>>();
  return *released;
}

}  // namespace

std::unique_ptr<TDocWindowLink> MakeDocWindowLink() { return std::make_unique<TDocFormHost>(); }

std::unique_ptr<TDocEditorWindow> MakeEditorWindow(TDoc& doc) {
  if (!plat::IsWindowSystemStarted()) return nullptr;
  return CreateDocFormWindow(doc);
}

void ReleaseEditorWindowLater(std::unique_ptr<TDocEditorWindow> window) {
  if (window) Released().push_back(std::move(window));
}

void FreeReleasedEditorWindows() {
  // A window's destruction may release others: take the list first.
  std::vector<std::unique_ptr<TDocEditorWindow>> windows = std::move(Released());
  Released().clear();
  windows.clear();
}

}  // namespace qv
