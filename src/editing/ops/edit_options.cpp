#include "editing/ops/text_edit_flags.h"

#include "foundation/settings/options_holder.h"

namespace qv {

bool EditOptionOn(uint32_t bit) { return (GetOptions().Edit.Flags & bit) != 0; }

}  // namespace qv
