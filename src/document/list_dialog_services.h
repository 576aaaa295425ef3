#pragma once
// The list dialog, which the format dialogs provide: a style's list format is edited through it.
// The stand-in shows nothing and answers as if the user cancelled.
#include <cstdint>
#include <memory>
#include <string>

namespace qv {

class TAutoList;
class TDoc;

class TListDialogServices {
 public:
  virtual ~TListDialogServices() = default;
  // Shows the list dialog on the list (null: none) and level with the caption; `styleName`
  // names the style in the dialog's previews. On OK true, with `result` the chosen list (null:
  // no list) and `level` the chosen level.
  virtual bool EditListFormat(TDoc& /*doc*/, const TAutoList* /*list*/, int32_t& /*level*/,
                              const std::string& /*caption*/, const std::string& /*styleName*/,
                              std::unique_ptr<TAutoList>& /*result*/) {
    return false;
  }
};

void RegisterListDialogServices(std::unique_ptr<TListDialogServices> services);
TListDialogServices& ListDialogServices();

}  // namespace qv
