#include "app/main_frame.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <utility>

#include "docwindow/doc_form.h"
#include "foundation/system/unit_startup.h"
#include "foundation/ui/application.h"
#include "foundation/ui/message_dlg_service.h"
#include "foundation/ui/command_services.h"
#include "platform/gfx/types.h"

namespace qv {

namespace {

constexpr uint32_t kSaveScreenshot = plat::WM_USER + 1;

plat::Rect CentredRect(int32_t cx, int32_t cy) {
  plat::Rect screen = plat::GetScreenRect();
  cx = std::min(cx, screen.Width());
  cy = std::min(cy, screen.Height());
  int32_t x = screen.left + (screen.Width() - cx) / 2;
  int32_t y = screen.top + (screen.Height() - cy) / 2;
  return {x, y, x + cx, y + cy};
}

}  // namespace

TMainFrame::TMainFrame(std::string screenshot) : screenshot_(std::move(screenshot)) {}

TMainFrame::~TMainFrame() {
  form_.reset();
  Destroy();
}

bool TMainFrame::OpenDocument(const std::string& fileName) {
  auto form = std::make_unique<TDocForm>();
  std::string error;
  const bool read = form->OpenFile(fileName, error);
  if (!error.empty()) ShowError(error);
  if (!read) return false;
  form_.reset();
  form_ = std::move(form);
  if (!form_->CreateForm(Handle(), plat::GetClientRect(Handle()))) {
    form_.reset();
    return false;
  }
  const size_t slash = fileName.find_last_of('/');
  const std::string name = slash == std::string::npos ? fileName : fileName.substr(slash + 1);
  plat::SetWindowText(Handle(), InterfaceText(name) + u" - " + kTitle);
  plat::SetFocus(form_->Handle());
  return true;
}

void TMainFrame::LayOutForm() {
  if (form_ && form_->Handle() != 0) plat::MoveWindow(form_->Handle(), plat::GetClientRect(Handle()));
}

bool TMainFrame::CreateFrame(int32_t width, int32_t height) {
  plat::CreateParams p;
  p.bounds = CentredRect(width, height);
  p.text = kTitle;
  p.style = plat::WS_OVERLAPPEDWINDOW | plat::WS_VISIBLE;
  SetBackgroundColor(plat::Rgb(0xF0, 0xF0, 0xF0));
  if (!Create(p)) return false;
  plat::PostMessage(Handle(), WM_STARTUPDONE);
  return true;
}

intptr_t TMainFrame::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case WM_STARTUPDONE:
      StartingUp = false;
      // A document window may cover the whole frame, which then paints nothing of its own.
      if (!screenshot_.empty() && !screenshotPosted_) {
        screenshotPosted_ = true;
        plat::PostMessage(Handle(), kSaveScreenshot);
      }
      return 0;
    case plat::WM_SIZE:
      LayOutForm();
      return Window::WndProc(msg, wParam, lParam);
    case plat::WM_SETFOCUS:
      if (form_ && form_->Handle() != 0) plat::SetFocus(form_->Handle());
      return 0;
    case plat::WM_DESTROY:
      plat::PostQuitMessage(0);
      return 0;
    case kSaveScreenshot:
      SaveScreenshot();
      return 0;
    default: {
      // Cut, Copy, Paste and Clear run as the commands of the same names.
      intptr_t result = 0;
      if (CommandService().HandleClipboardMessage(msg, result)) return result;
      return Window::WndProc(msg, wParam, lParam);
    }
  }
}

void TMainFrame::Paint(plat::PaintContext& pc) {
  Window::Paint(pc);
  if (!screenshot_.empty() && !screenshotPosted_) {
    screenshotPosted_ = true;
    plat::PostMessage(Handle(), kSaveScreenshot);
  }
}

void TMainFrame::SaveScreenshot() {
  try {
    plat::UpdateWindow(Handle());  // what is still to be painted, children included
    plat::SaveWindowPng(Handle(), screenshot_);
    std::fprintf(stderr, "Quorvane: window image saved to %s\n", screenshot_.c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Quorvane: cannot save the window image: %s\n", e.what());
  }
}

}  // namespace qv
