#pragma once
// What the interface toolkit (message box, form bases) asks of the shell, the proofing tools and
// the encryption manager, which live in higher subsystems. The defaults do the least the toolkit
// needs; the shell registers the real services at start-up.
#include <cstdint>
#include <memory>

#include "platform/gfx/types.h"

namespace qv {

class TToolkitServices {
 public:
  virtual ~TToolkitServices() = default;
  // The monitor the main window recorded when it last moved (origin and size); before that the
  // screen at origin 0.
  virtual plat::Rect MainMonitorRect();
  // The work area of that monitor (the screen without panels).
  virtual plat::Rect WorkArea();
  // Asks the main window for a pass of interface updates.
  virtual void RequestInterfaceUpdate() {}
  // An edit of the active document in progress re-creates its caret when it ends.
  virtual void MarkActiveEditForCaret() {}
  // Bit value 4 of the spellcheck manager's flag byte: as-you-type checking was on when a box
  // suspended it.
  virtual void SetSpellcheckSuspended(bool suspended) {}
  // Re-arranges and repaints every document window (the interface colours changed).
  virtual void RearrangeAllViews() {}
  // Opens a help topic.
  virtual void ShowHelp(int32_t topicId) {}
  // Feeds a byte to the encryption manager's entropy pool.
  virtual void AddEntropy(uint32_t value) {}
  // Places a floating form centred on the main window, its bottom the given number of
  // status-bar heights above the main window's bottom. False when there is no main window.
  virtual bool PlaceFormAtBottom(plat::Rect& bounds, int32_t bottomOffset) { return false; }
};

// Registers the services (null restores the defaults).
void RegisterToolkitServices(std::unique_ptr<TToolkitServices> services);
TToolkitServices& ToolkitServices();

}  // namespace qv
