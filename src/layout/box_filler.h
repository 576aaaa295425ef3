#pragma once
// Flowing paragraphs into boxes. FlowIntoBoxes places a range of paragraphs into a box of the
// box tree: it makes text boxes under it, breaks each paragraph for the box's width, places the
// lines one under the other with the footnotes of the lines placed, and stops when the box is
// full, at a page, column or section break, or when the range is exhausted. Tables in the range
// go to table layout (layout/table_layout.h). FillBox does the work for one paragraph in one
// text box.
//
// A line that does not fit may force earlier lines to move too (keep with next, keep lines
// together, widow and orphan control, footnotes that must start on their reference's page), so
// filling works with page snapshots: a tentative step takes one, and a failed step restores the
// page as it was.
#include <cstdint>
#include <vector>

#include "document/doc_position.h"

namespace qv {

class TBox;
class TDoc;
class TPage;
struct TPageSnapshot;

// Results of FlowIntoBoxes and FillBox.
enum : uint32_t {
  frNothingPlaced = 0x1,  // nothing could be placed (the range is unchanged)
  frShapeMoved = 0x2,     // a floating shape was placed or moved: lay out again
  frExhausted = 0x4,      // the range is used up
  frMore = 0x8,           // content remains (FillBox: the box is full)
  frPageBreak = 0x10,     // also a page break before a paragraph, or a note continued
  frColumnBreak = 0x20,
  frSectionBreak = 0x40,
  frBreaks = frPageBreak | frColumnBreak | frSectionBreak,
};

// The backtracking records of one flow: each holds a page snapshot, the record's kind, and the
// flow's result flags and range start when it was taken.
class TFlowStack {
 public:
  enum Kind : uint8_t { TextBoxMade = 0, Table = 1, TableRow = 2, KeepChain = 3 };

  explicit TFlowStack(TPage& page) : page_(page) {}
  ~TFlowStack();  // remaining records are dropped
  TFlowStack(const TFlowStack&) = delete;
  TFlowStack& operator=(const TFlowStack&) = delete;

  void Push(Kind kind, uint32_t flags, const TDocPosition& start);
  bool Has(Kind kind) const;
  // Restores the page to the record of the kind, discarding it and every record above it, and
  // gives back the flags and range start saved with it. False when there is no such record.
  bool PopTo(Kind kind, uint32_t& flags, TDocPosition& start);
  // Removes the latest record of the kind, discarding its snapshot without restoring.
  void Drop(Kind kind);
  TPage& Page() { return page_; }

 private:
  struct Record {
    const TPageSnapshot* Snapshot;
    Kind RecordKind;
    uint32_t Flags;
    TDocPosition Start;
  };
  TPage& page_;
  std::vector<Record> records_;
};

// A keep-with-next chain of the flow: its last paragraph, and whether it started at the top of
// the page body (such a chain is never moved: it would fit on no page).
struct TKeepChain {
  bool Active = false;
  int32_t LastPar = 0;
  bool AtBodyTop = false;
};

uint32_t FlowIntoBoxes(TBox& box, TDocRange& range);
uint32_t FillBox(TBox& textBox, TDocRange& range);

// Paragraph i must stay on the page of the paragraph after it: it has keep with next and holds
// more than its mark; in a table, some paragraph of its row has keep with next.
bool KeepsWithNext(TDoc& doc, int32_t par);

// Opens a keep-with-next chain at the paragraph when it keeps with next (used by the flow and by
// table layout for a row).
void OpenKeepChain(TDoc& doc, TBox& target, const TDocRange& range, TFlowStack& stack,
                   TKeepChain& chain, uint32_t flags);

}  // namespace qv
