#pragma once
// The background work that the main window's timers drive, in slices on the interface thread:
// pagination of the active document, automatic backups and Safe Copies. Each job keeps its
// position in the document and goes on in the next slice.
#include <cstdint>

namespace qv {

class TDoc;
class TDocDispatcher;
struct TShellDocState;

inline constexpr int32_t kBackgroundPageLimit = 1000;
// Documents of this many paragraphs or more get backups and Safe Copies only when the user has
// been quiet for a while.
inline constexpr int32_t kLargeDocumentParagraphs = 0x4000;

// One pagination step for the document: after 300 ms of inactivity, 5 pages at a time for at
// most 50 ms; pagination stops at 1000 pages. Pages to be discarded are discarded first. True
// when pages were laid out or discarded.
bool PaginationStep(TDoc& doc, TShellDocState& state, bool inMouseOperation);

// The page-dependent fields of the document's headers and footers once pagination has reached
// the end of a document shown in print layout, after 5000 ms of inactivity (30000 ms for a
// document of 1000 pages or more). True when it ran.
bool PageFieldsStep(TDoc& doc, bool inMouseOperation);

// One round of automatic backups over the open documents: every modified document whose last
// backup is older than the interval is written to a temporary file and backed up from it. A
// failed write remembers the time for that document and ends the round.
void BackupRound(TDocDispatcher& dispatcher, bool userIdle);
// One round of Safe Copies when the interval has passed since the last one; true when a round
// ran.
bool SafeCopiesRound(TDocDispatcher& dispatcher, uint32_t& lastRoundTick, bool userIdle);

}  // namespace qv
