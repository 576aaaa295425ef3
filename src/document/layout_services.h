#pragma once
// What the document model asks of the layout about a document's pages, which the layout above
// it keeps. The layout registers the real services at start-up (RegisterDocLayoutServices). The
// defaults do the least the model needs on its own: pages are only forgotten (without a layout
// none is ever made). Lines are not asked for here: a paragraph's way from its text to its lines
// goes through the line fitter alone (document/line_fitter_service.h).
#include <cstdint>
#include <memory>

namespace qv {

class TDoc;

class TDocLayoutServices {
 public:
  virtual ~TDocLayoutServices() = default;
  // Gives the document's laid-out pages and their boxes back to the box pools and empties the
  // page list.
  virtual void ReleasePages(TDoc& doc);
  // Computes the layout data of a new document (section metrics in pixels and the like).
  virtual void ComputeLayoutData(TDoc& /*doc*/) {}
};

// Registers the services (null restores the defaults).
void RegisterDocLayoutServices(std::unique_ptr<TDocLayoutServices> services);
TDocLayoutServices& DocLayoutServices();

}  // namespace qv
