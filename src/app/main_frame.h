#pragma once
// The program's main window until the shell's main form takes its place: a frame centred on the
// screen that ends the program when it is closed.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win/window_system.h"

namespace qv {

class TDocForm;

class TMainFrame : public plat::Window {
 public:
  // The first message the frame posts to itself; handling it ends the start-up (StartingUp).
  static constexpr uint32_t WM_STARTUPDONE = 0x7FC;
  static constexpr const char16_t* kTitle = u"Quorvane Word Processor";

  // `screenshot`: where the frame saves its own image once it has been painted (QV_SCREENSHOT);
  // empty for none.
  explicit TMainFrame(std::string screenshot = {});
  ~TMainFrame() override;

  // Makes the frame, shows it and posts WM_STARTUPDONE; false when no window could be made.
  bool CreateFrame(int32_t width, int32_t height);
  // Shows the file in a document window filling the frame; false (after telling the user) when
  // it cannot be read.
  bool OpenDocument(const std::string& fileName);
  // The document window; null until a document is shown.
  TDocForm* DocForm() const { return form_.get(); }

  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;
  void Paint(plat::PaintContext& pc) override;

 private:
  void SaveScreenshot();

  void LayOutForm();

  std::string screenshot_;
  std::unique_ptr<TDocForm> form_;
  bool screenshotPosted_ = false;
};

}  // namespace qv
