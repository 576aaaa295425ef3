#pragma once
// What the document model asks of the layout, which lives above it. The layout registers the
// real services at start-up (RegisterDocLayoutServices). The defaults do the least the model
// needs on its own: lines go back to the model's line pool, and pages are only forgotten
// (without a layout none is ever made).
#include <cstdint>
#include <memory>

namespace qv {

class TDoc;
class TLine;

class TDocLayoutServices {
 public:
  virtual ~TDocLayoutServices() = default;
  // Gives a line of a paragraph back to the line pool (document/line.h).
  virtual void ReleaseLine(TLine* line);
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
