#pragma once
// What the view painter asks of the search tools: the instances of the selected text found in
// the background and the results the find panel highlights. The stand-in has neither, so the
// view tints only the selection and the locked selections until the search tools register
// theirs.
#include <memory>

namespace qv {

class TCompoundFragment;
class TDoc;

class THighlightServices {
 public:
  virtual ~THighlightServices() = default;
  // The instances of the selected text, when the background search finished with at least two
  // and they are to be shown; null otherwise.
  virtual const TCompoundFragment* SelectionInstances(TDoc& /*doc*/) { return nullptr; }
  // The find results highlighted in the document; null when none are.
  virtual const TCompoundFragment* FindResults(TDoc& /*doc*/) { return nullptr; }
};

void RegisterHighlightServices(std::unique_ptr<THighlightServices> services);
THighlightServices& HighlightServices();

}  // namespace qv
