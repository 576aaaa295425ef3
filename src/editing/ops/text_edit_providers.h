#pragma once
// The provider of the text operations' edit action codes: typing (12, 13), deletion (16),
// replacement (17), the paragraph operations (19 to 22), case and keyboard-layout conversion
// (23), the default language (24), hyphenation options (49), typing into a multiple selection
// (83) and fast-navigation marks (84).
#include <memory>

#include "editing/edit_operation_providers.h"

namespace qv {

std::unique_ptr<TEditOperationProviders> MakeTextEditProviders();

}  // namespace qv
