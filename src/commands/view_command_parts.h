#pragma once
// The parts of the view commands, each running the commands of its group; false when the id is
// none of its own.
#include <cstdint>

namespace qv {

class TCommandManager;
class TDoc;
struct TViewSettings;

struct TViewRun {
  TCommandManager& Manager;
  TDoc* Doc;  // the command target; null when there is none
  int32_t Id;
};

bool RunHeaderFooterCommand(TViewRun& run);
bool RunControlBoardCommand(TViewRun& run);

// Repaints the document's window.
void RedrawDoc(TDoc& doc);

}  // namespace qv
