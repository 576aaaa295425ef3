#pragma once
// The edit action codes of the table and section operations, drop caps, note separators and
// document properties: the provider that runs their document-model operations inside the
// dispatcher's operation.
#include <memory>

#include "editing/edit_operation_providers.h"

namespace qv {

std::unique_ptr<TEditOperationProviders> MakeTableEditProviders();

}  // namespace qv
