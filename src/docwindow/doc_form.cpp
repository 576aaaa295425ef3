#include "docwindow/doc_form.h"

#include <algorithm>
#include <cctype>
#include <exception>

#include "document/doc.h"
#include "files/doc_formats.h"
#include "files/open_context.h"
#include "files/open_road.h"
#include "layout/paint/view_painter.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/messages.h"
#include "platform/win/window_system.h"

namespace qv {

namespace {

constexpr int32_t kLineStep = 40;    // pixels the arrow keys and one wheel notch move
constexpr int32_t kWheelDelta = 120;

std::string LowerExtension(const std::string& fileName) {
  const size_t dot = fileName.find_last_of('.');
  const size_t slash = fileName.find_last_of('/');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = fileName.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

int32_t FormatOfFileName(const std::string& fileName) {
  const std::string ext = LowerExtension(fileName);
  if (ext == "rtf") return dfRtf;
  if (ext == "wri") return dfWrite;
  return dfText;
}

TDocForm::TDocForm() : doc_(std::make_unique<TDoc>(true)) {}

TDocForm::~TDocForm() { Destroy(); }

bool TDocForm::OpenFile(const std::string& fileName, std::string& error) {
  auto doc = std::make_unique<TDoc>(true);
  TDocOpeningOptions options;
  options.FileName = fileName;
  options.FormatIndex = FormatOfFileName(fileName);
  try {
    if (DocOpen(*doc, options) == 0) {
      error = "The file \"" + fileName + "\" cannot be read.";
      return false;
    }
  } catch (const std::exception& e) {
    // A damaged file keeps what was read before the damage.
    error = e.what();
    if (doc->ParCount() == 0) return false;
  }
  doc->FileName = fileName;
  doc_ = std::move(doc);
  laidOut_ = false;
  if (Handle() != 0) plat::InvalidateRect(Handle(), nullptr, false);
  return true;
}

bool TDocForm::CreateForm(plat::Hwnd parent, const plat::Rect& bounds) {
  plat::CreateParams p;
  p.parent = parent;
  p.bounds = bounds;
  p.style = plat::WS_CHILD | plat::WS_VISIBLE;
  return Create(p);
}

void TDocForm::EnsureLaidOut() {
  if (laidOut_) return;
  laidOut_ = true;
  doc_->PaginateAll();
  doc_->ArrangePages();
}

void TDocForm::ScrollTo(plat::Point position) {
  EnsureLaidOut();
  const plat::Rect client = plat::GetClientRect(Handle());
  const plat::Size extent = doc_->View.Extent;
  position.x = std::clamp(position.x, 0, std::max(0, extent.cx - client.Width()));
  position.y = std::clamp(position.y, 0, std::max(0, extent.cy - client.Height()));
  if (position.x == doc_->View.ScrollPos.x && position.y == doc_->View.ScrollPos.y) return;
  doc_->View.ScrollPos = position;
  plat::InvalidateRect(Handle(), nullptr, false);
}

bool TDocForm::OnKey(uint8_t key) {
  const plat::Rect client = plat::GetClientRect(Handle());
  plat::Point p = doc_->View.ScrollPos;
  switch (key) {
    case plat::VK_DOWN: p.y += kLineStep; break;
    case plat::VK_UP: p.y -= kLineStep; break;
    case plat::VK_NEXT: p.y += std::max(kLineStep, client.Height() - kLineStep); break;
    case plat::VK_PRIOR: p.y -= std::max(kLineStep, client.Height() - kLineStep); break;
    case plat::VK_HOME: p.y = 0; break;
    case plat::VK_END: p.y = doc_->View.Extent.cy; break;
    default: return false;
  }
  ScrollTo(p);
  return true;
}

intptr_t TDocForm::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  switch (msg) {
    case plat::WM_KEYDOWN:
      if (OnKey(static_cast<uint8_t>(wParam))) return 0;
      break;
    case plat::WM_MOUSEWHEEL: {
      const int32_t delta = static_cast<int16_t>(plat::HiWord(wParam));
      plat::Point p = doc_->View.ScrollPos;
      p.y -= delta * 3 * kLineStep / kWheelDelta;
      ScrollTo(p);
      return 0;
    }
    case plat::WM_SIZE:
      if (laidOut_) doc_->ArrangePages();
      plat::InvalidateRect(Handle(), nullptr, false);
      break;
    default:
      break;
  }
  return Window::WndProc(msg, wParam, lParam);
}

void TDocForm::Paint(plat::PaintContext& pc) {
  EnsureLaidOut();
  const plat::Rect client = plat::GetClientRect(Handle());
  if (client.Width() <= 0 || client.Height() <= 0 || pc.canvas == nullptr) return;
  if (buffer_.Width() != client.Width() || buffer_.Height() != client.Height())
    buffer_ = plat::Bitmap(client.Width(), client.Height());
  PaintDocumentView(*doc_, buffer_, buffer_.Bounds());
  pc.canvas->DrawBitmap(0, 0, buffer_);
}

}  // namespace qv
