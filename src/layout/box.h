#pragma once
// The box tree of a laid-out document. Every page is a tree of boxes: a TBox is a rectangle
// that holds either child boxes (top down, or left to right for the cells of a table box) or
// lines. TPage is the root of a page; TTableBox and TCellBox are the boxes of tables. A box owns
// its children; a line belongs to its paragraph and only refers to its box (Box and Slot), the
// box's line list referring back. Boxes come from pools, one per kind (layout/box_pool.h).
//
// Rectangles are twips relative to the parent's rectangle; the inner margins are insets inside
// the rectangle (left, top, right, bottom in the fields of the same names).
#include <cstdint>
#include <memory>
#include <vector>

#include "document/doc_position.h"
#include "document/fragment_pool.h"
#include "platform/gfx/types.h"

namespace qv {

class TDoc;
class TField;
class TLine;
class TPage;
class TSection;
class TShape;
class TTableRow;
struct TTableCell;
struct TPageSnapshot;

enum class TBoxKind : uint8_t { Box = 0, Cell = 1, Table = 2, Page = 3 };
inline constexpr int BoxKindCount = 4;

class TBox;
// Gives a box back to its pool (layout/box_pool.h).
struct TBoxReleaser {
  void operator()(TBox* box) const;
};
using TBoxRef = std::unique_ptr<TBox, TBoxReleaser>;

class TBox {
 public:
  // Flags.
  enum : uint32_t {
    SectionBand = 0x1,      // the part of a page that one section's columns occupy
    ColumnBody = 0x2,       // the page body of one column
    AreaBox = 0x4,          // a story's area in a column or page; cell boxes carry it too
    TextBox = 0x8,          // holds the lines of paragraphs placed by a flow
    TableBoxFlag = 0x10,
    CellBoxFlag = 0x20,
    CellStarts = 0x40,      // the cell starts in this box (no part of it on an earlier page)
    CellComplete = 0x80,    // the cell's text is complete
    FirstRowCell = 0x100,   // cell of the first row placed in its table box
    RowEndHolder = 0x200,   // holds a row's row-end mark
    MergeHolder = 0x400,    // zero-height holder of a merge continuation cell's paragraphs
    TableStarts = 0x800,    // the table starts in this box (its header rows are counted here)
    TableEnds = 0x1000,     // the table ends in this box
    KeepShapeList = 0x2000, // page: a restored snapshot keeps the current shape list
    FooterBox = 0x4000,     // laid out from the bottom
    RepeatsHeaderRows = 0x8000,  // page: continues a table whose header rows are repeated
    DropCapBox = 0x10000,
  };
  // Areas.
  enum : uint8_t {
    AreaMain = 0,
    AreaFootnotes = 1,
    AreaEndnotes = 2,
    AreaHeaderFooter = 3,
    AreaNone = 255,  // no area of its own
  };
  static constexpr uint8_t SingleColumn = 255;
  static constexpr int32_t Unlimited = INT32_MAX;

  TBox() = default;
  virtual ~TBox();
  TBox(const TBox&) = delete;
  TBox& operator=(const TBox&) = delete;

  TDoc* Doc = nullptr;
  uint32_t Flags = 0;
  TBoxKind Kind = TBoxKind::Box;
  uint8_t Area = AreaNone;
  uint8_t Column = SingleColumn;
  TBox* Parent = nullptr;
  TPage* Page = nullptr;
  std::vector<TBoxRef> Children;
  std::vector<TLine*> Lines;  // a slot is null once its line was released
  plat::Rect Rect;            // twips, relative to the parent's rectangle
  plat::Rect PixelRect;
  int32_t MaxHeight = Unlimited;
  plat::Rect Margins;         // inner margins (insets) in twips
  plat::Rect PixelMargins;
  uint16_t SeparatorHeight = 0;  // a band's line between columns: its height
  uint16_t SeparatorGap = 0;     // and how far above the columns' content it ends
  int32_t FillPos = 0;        // y inside the box where the next line goes
  int32_t GeometryValues[2] = {0, 0};
  uint32_t SnapshotMark = 0;  // used while a page snapshot is restored

  bool HasFlag(uint32_t flag) const { return (Flags & flag) != 0; }
  int32_t Width() const { return Rect.Width(); }
  int32_t Height() const { return Rect.Height(); }
  // Room inside the inner margins.
  int32_t InnerWidth() const { return Width() - Margins.left - Margins.right; }
  int32_t InnerHeight() const { return Height() - Margins.top - Margins.bottom; }
  int32_t LineCount() const { return static_cast<int32_t>(Lines.size()); }
  // The last line of the list that is still there; null when none is.
  TLine* LastLine() const;
  TBox* LastChild() const { return Children.empty() ? nullptr : Children.back().get(); }
  // Adds a child at the end (or before `before`) and returns it.
  TBox* AddChild(TBoxRef child, const TBox* before = nullptr);
  // Removes the child and gives it back to its pool.
  void RemoveChild(const TBox* child);
  // Appends a line: its box and slot are set.
  void AppendLine(TLine& line);
  // Detaches the lines from the index on (their box becomes null) and cuts the list.
  void TruncateLines(int32_t count);
  // Offset of the box's rectangle from the page's origin.
  plat::Point OffsetInPage() const;
};

class TCellBox : public TBox {
 public:
  int32_t CellIndex = 0;  // -1 for the row-end mark holder
  TDocRange CellRange;
  const TTableCell* Cell = nullptr;
  int32_t MergeLastRow = -1;  // merge start: placement id of the last row its merge covers
  TTableRow* Row = nullptr;
  TDocRange RowRange;
};

class TTableBox : public TBox {
 public:
  int32_t FirstPar = 0;  // the table's first paragraph
  plat::Rect CellExtent;   // least left and top, largest right and bottom of the cells, twips
  plat::Rect CellExtentPx;
  plat::Rect MoveHandlePx;
  plat::Rect SizeHandlePx;
  int32_t HeaderRowCount = 0;
  int32_t HeaderHeight = 0;
  int32_t LastHeaderPar = 0;
};

class TPage : public TBox {
 public:
  TPage();
  ~TPage() override;

  int32_t Index = 0;
  TSection* Section = nullptr;
  TField* HeaderField = nullptr;
  TField* FooterField = nullptr;
  TBox* HeaderBox = nullptr;  // children of the page
  TBox* FooterBox = nullptr;
  int32_t FootnoteCounter = 0;  // the next automatic note numbers
  int32_t EndnoteCounter = 0;
  TFragmentRef Footnotes;  // note text still to place; null when none
  TFragmentRef Endnotes;
  std::vector<std::unique_ptr<TPageSnapshot>> Snapshots;
  std::vector<TShape*> Shapes;  // floating shapes on the page
  std::vector<TShape*> DeferredShapes;  // shapes the current layout round leaves to a later page
  // The end of the main text for this page while a deferred shape's anchor must not be placed on
  // it (MainTextCut false: the end of the main story).
  bool MainTextCut = false;
  TDocPosition MainTextEnd;
};

// The nearest box, itself or an ancestor, that is a cell box (a table box); null when none is.
TCellBox* GetCellBox(TBox* box);
TTableBox* GetTableBox(TBox* box);
// The box and all boxes below it hold no lines.
bool IsBoxEmpty(const TBox& box);
// Every line held by a box of the tree whose area is in `areas` (a bit per area number) belongs
// to a paragraph within the range's first and last paragraph.
bool BoxLinesWithin(const TBox& box, uint32_t areas, const TDocRange& range);
// Other is an ancestor of box.
bool IsAncestor(const TBox* box, const TBox* other);
// An ancestor (or the box itself) is a footer box.
bool IsInFooter(const TBox* box);
// The first line of a box tree, depth first, in boxes whose area is in `areas`.
TLine* GetFirstLineOfBox(const TBox& box, uint32_t areas);

inline constexpr uint32_t AreaBit(uint8_t area) { return area < 32 ? 1u << area : 0u; }
inline constexpr uint32_t BodyAreas = AreaBit(0) | AreaBit(1) | AreaBit(2);
inline constexpr uint32_t AllAreas = 0xFFFFFFFFu;

}  // namespace qv
