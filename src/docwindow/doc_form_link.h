#pragma once
// The document's side of its editor window: what TDoc asks of the window (document/
// doc_services.h) answered by the window's TDocForm. The link belongs to the document. It owns
// the form when the document owns its window; a form that owns its document keeps the form's
// life to itself and the link only points at it.
#include <cstdint>
#include <memory>

#include "document/doc_services.h"

namespace qv {

class TDocForm;

class TDocFormLink : public TDocEditorWindow {
 public:
  // A link that owns the form.
  explicit TDocFormLink(std::unique_ptr<TDocForm> form);
  // A link to a form that owns itself (and the document).
  explicit TDocFormLink(TDocForm* form);
  ~TDocFormLink() override;

  TDocForm* Form() const { return form_; }
  // The form lets go of the document (it is being destroyed, or takes another document).
  void Unlink();

  void DetachDocument() override;
  plat::Size PageArea(bool measureAgain) override;
  int32_t DraftLeftAreaWidth() override;
  void ViewModeChanged() override;
  void ZoomChanged() override;
  void ScrollImage(int32_t dx, int32_t dy) override;
  void ScrollPositionChanged() override;
  void Repaint() override;
  void EndSplitView() override {}
  bool ArrangePages() override;

 private:
  TDocForm* form_ = nullptr;
  std::unique_ptr<TDocForm> owned_;
};

}  // namespace qv
