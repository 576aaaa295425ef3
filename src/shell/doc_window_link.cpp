// The link to today's document window: a child window that shows its own document. The window
// reads nothing itself here: the shell's open road fills the window's fresh document, and the
// window lays it out and paints it when it first paints.
#include "shell/doc_window_link.h"

#include <exception>

#include "docwindow/doc_form.h"
#include "document/doc.h"
#include "foundation/base/exceptions.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "platform/controls/control.h"
#include "platform/win/window_system.h"
#include "shell/document_save.h"

namespace qv {

namespace {

class TDocFormHost : public TDocWindowLink {
 public:
  TDoc& Doc() override { return form_.Doc(); }

  bool Load(TDocOpeningOptions& options, std::string& error) override {
    TDoc& doc = form_.Doc();
    try {
      // The open road tells the user itself why a file cannot be read.
      return DocOpen(doc, options) != 0;
    } catch (const EAbort&) {
      return false;
    } catch (const std::exception& e) {
      error = e.what();
      return false;
    }
  }

  bool Show(plat::Control& area) override {
    const plat::Hwnd parent = area.HandleNeeded();
    return parent != 0 && form_.CreateForm(parent, area.ClientRect());
  }

  plat::Hwnd Handle() const override { return form_.Handle(); }

  void Activate() override {
    if (form_.Handle() == 0) return;
    plat::BringWindowToTop(form_.Handle());
    plat::SetFocus(form_.Handle());
  }

  void FitTo(const plat::Rect& area) override {
    if (form_.Handle() != 0) plat::MoveWindow(form_.Handle(), area);
  }

  void SetCaption(const std::u16string& caption) override {
    if (form_.Handle() != 0) plat::SetWindowText(form_.Handle(), caption);
  }

  // The window has no close query of its own yet: the shell asks the save question.
  bool CloseQuery() override { return AskToSaveBeforeClose(form_.Doc()); }

  void Redraw() override {
    if (form_.Handle() != 0) plat::InvalidateRect(form_.Handle(), nullptr, false);
  }

 private:
  TDocForm form_;
};

}  // namespace

std::unique_ptr<TDocWindowLink> MakeDocWindowLink() { return std::make_unique<TDocFormHost>(); }

}  // namespace qv
