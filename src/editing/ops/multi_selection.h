#pragma once
// Typing into a multiple selection (edit code 83): every selected range becomes a hidden marker
// bookmark and loses its text, so that the window can type the same text at every marker; and
// fast-navigation marks (edit code 84), hidden bookmarks that remember the places of the
// selection in one of ten slots.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

class TDoc;
class TField;

// Field flags of the two kinds of hidden bookmark.
inline constexpr uint8_t kTypingMarkerFlags = 6;   // hidden (2) and a typing marker (4)
inline constexpr uint8_t kFastNavMarkFlags = 10;   // hidden (2) and a fast-navigation mark (8)

void BeginMultiSelectionTyping(TDoc& doc);
// Typing into a multiple selection ends: the mode flag goes and the view is redrawn.
void DeactivateOvertypeMulSelection(TDoc& doc);
// The typing markers of the document in document order.
std::vector<TField*> TypingMarkers(TDoc& doc);
void SetFastNavMarks(TDoc& doc, int32_t slot);

}  // namespace qv
