#pragma once
// The services the program's subsystems offer each other, registered at start-up and put back to
// their stand-ins at shutdown. A lower subsystem asks a higher one only through such a service
// (foundation/base/service_slot.h); this is where every real implementation that exists is
// handed to the slot that asks for it.
namespace qv {

// Registers every real service; called once the application object exists and before the shared
// managers are made (their creation calls some of these services).
void RegisterProgramServices();
// Puts the stand-ins back (after FreeSharedManagers), which frees the registered services.
void UnregisterProgramServices();

}  // namespace qv
