#pragma once
// The edit action codes of lists, notes, locked selections and shapes.
#include <memory>

#include "editing/edit_operation_providers.h"

namespace qv {

std::unique_ptr<TEditOperationProviders> MakeObjectEditProviders();

}  // namespace qv
