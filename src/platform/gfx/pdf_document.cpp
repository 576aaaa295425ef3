// PDF files drawn page by page through a Canvas.
#include <cairo-pdf.h>

#include <cmath>
#include <optional>

#include "platform/gfx/canvas_impl.h"
#include "platform/gfx/file_output.h"

namespace plat {

struct PdfDocument::Impl {
  std::string path;
  int32_t dpi = 72;
  std::unique_ptr<gfx_detail::AtomicFile> file;
  gfx_detail::SurfacePtr surface;
  std::optional<Canvas> page;
  int32_t pages = 0;
  bool done = false;

  static cairo_status_t Write(void* closure, const unsigned char* data, unsigned int length) {
    return static_cast<gfx_detail::AtomicFile*>(closure)->Write(data, length)
               ? CAIRO_STATUS_SUCCESS
               : CAIRO_STATUS_WRITE_ERROR;
  }

  void Drop() {
    page.reset();
    if (surface) cairo_surface_finish(surface.get());
    surface.reset();
    file.reset();  // removes the temporary file
    done = true;
  }
};

PdfDocument::PdfDocument(std::string path, int32_t dpi) : impl_(std::make_unique<Impl>()) {
  if (dpi <= 0 || dpi > 4800) throw GfxError("Resolution out of range: " + std::to_string(dpi));
  impl_->path = std::move(path);
  impl_->dpi = dpi;
  impl_->file = std::make_unique<gfx_detail::AtomicFile>(impl_->path);
}

PdfDocument::~PdfDocument() {
  if (!impl_->done) impl_->Drop();
}

Canvas& PdfDocument::StartPage(double widthPt, double heightPt) {
  Impl& d = *impl_;
  if (d.done) throw GfxError("The PDF document \"" + d.path + "\" is already finished");
  if (!(widthPt > 0 && heightPt > 0 && widthPt < 14400 && heightPt < 14400))
    throw GfxError("Page size out of range");
  EndPage();
  if (!d.surface) {
    d.surface.reset(cairo_pdf_surface_create_for_stream(&Impl::Write, d.file.get(), widthPt, heightPt));
    if (cairo_surface_status(d.surface.get()) != CAIRO_STATUS_SUCCESS)
      throw GfxError("Cannot create the PDF document \"" + d.path + "\"");
  } else {
    cairo_pdf_surface_set_size(d.surface.get(), widthPt, heightPt);
  }
  const Size dots{int32_t(std::lround(widthPt * d.dpi / 72.0)),
                  int32_t(std::lround(heightPt * d.dpi / 72.0))};
  auto impl = std::make_unique<Canvas::Impl>(
      nullptr, gfx_detail::SurfacePtr(cairo_surface_reference(d.surface.get())), dots, d.dpi);
  impl->scale = 72.0 / d.dpi;
  impl->ApplyTransform();
  d.page.emplace(Canvas(std::move(impl)));
  ++d.pages;
  return *d.page;
}

void PdfDocument::EndPage() {
  Impl& d = *impl_;
  if (!d.page) return;
  cairo_show_page(d.page->impl_->cr.get());
  d.page.reset();
}

void PdfDocument::Finish() {
  Impl& d = *impl_;
  if (d.done) throw GfxError("The PDF document \"" + d.path + "\" is already finished");
  if (d.pages == 0) throw GfxError("The PDF document \"" + d.path + "\" has no pages");
  EndPage();
  cairo_surface_finish(d.surface.get());
  const bool ok = cairo_surface_status(d.surface.get()) == CAIRO_STATUS_SUCCESS;
  d.surface.reset();
  if (!ok) {
    d.Drop();
    throw GfxError("Cannot write file \"" + d.path + "\"");
  }
  try {
    d.file->Commit();
  } catch (...) {
    d.Drop();
    throw;
  }
  d.file.reset();
  d.done = true;
}

void PdfDocument::Abort() {
  if (!impl_->done) impl_->Drop();
}

int32_t PdfDocument::PageCount() const { return impl_->pages; }

}  // namespace plat
