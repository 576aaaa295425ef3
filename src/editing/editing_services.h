#pragma once
// Registration of the editing engine as the document model's editing services
// (document/edit_services.h): TDoc's editing methods and the undo records the model's own
// operations perform then run through this engine.
#include <memory>

namespace qv {

class TEditServices;

std::unique_ptr<TEditServices> MakeEditingServices();
void RegisterEditingServices();
// Puts the stand-ins back (the editing services and the edit-operation providers).
void UnregisterEditingServices();

}  // namespace qv
