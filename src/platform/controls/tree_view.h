#pragma once
// plat::TreeView: a tree of captioned nodes with expand buttons, images, owner drawing and
// dragging of nodes.
//
// Keys: Up/Down, Page Up/Down, Home/End move the selection among the visible nodes; Right
// expands a node (or goes to its first child), Left collapses it (or goes to its parent); the
// numeric keypad's + and - expand and collapse, * expands the whole branch. A click selects, a
// click on the expand button (or a double click) toggles. Collapsing a branch that holds the
// selection selects the collapsed node.
//
// Scrolling: a vertical bar shows when the rows do not fit, a horizontal one when the widest
// visible caption does not; Shift turns the wheel sideways.
//
// Dragging: with DragEnabled, pressing on a node and moving the mouse a few pixels starts a drag
// (OnStartDrag may refuse); the node under the mouse is the drop target while OnDragOver
// accepts it; releasing over an accepted target calls OnDragDrop; Escape cancels.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls/control.h"

namespace plat {

class Bitmap;
class ScrollBar;
class TreeView;

class TreeNode {
 public:
  TreeNode() = default;
  explicit TreeNode(std::u16string text) : Text(std::move(text)) {}
  ~TreeNode();
  TreeNode(const TreeNode&) = delete;
  TreeNode& operator=(const TreeNode&) = delete;

  std::u16string Text;
  int32_t ImageIndex = -1;     // cell of the tree's image strip
  int32_t SelectedIndex = -1;  // cell while selected (-1: ImageIndex)
  intptr_t Data = 0;
  // Shows an expand button before any children exist (they are added in OnExpanding).
  bool HasChildrenHint = false;

  TreeNode* Parent() const;  // nullptr for a top-level node
  TreeView* Tree() const;
  int32_t Count() const { return int32_t(children_.size()); }
  TreeNode& operator[](int32_t i) const { return *children_[size_t(i)]; }
  TreeNode& Add(std::u16string text);
  TreeNode& Insert(int32_t index, std::u16string text);
  // Removes and destroys the node's child (and its branch).
  void DeleteChild(int32_t index);
  void Clear();
  int32_t Index() const;  // among its siblings
  int32_t Level() const;  // 0 for a top-level node
  bool HasChildren() const { return !children_.empty() || HasChildrenHint; }
  bool Expanded() const { return expanded_; }
  // Expand and collapse ask the tree's OnExpanding/OnCollapsing; false when refused.
  bool Expand(bool recurse = false);
  bool Collapse();
  bool Toggle() { return expanded_ ? Collapse() : Expand(); }
  // Every ancestor is expanded.
  bool IsVisible() const;
  // True when this node is n or an ancestor of it.
  bool IsAncestorOf(const TreeNode* n) const;

 private:
  friend class TreeView;
  TreeNode* parent_ = nullptr;
  TreeView* tree_ = nullptr;
  bool expanded_ = false;
  std::vector<std::unique_ptr<TreeNode>> children_;
};

class TreeView : public Control {
 public:
  TreeView();
  ~TreeView() override;

  // The invisible root whose children are the top-level nodes.
  TreeNode& Items() { return root_; }
  TreeNode* Selected() const { return selected_; }
  // Asks OnChanging, reports OnChange; makes the node visible. False when refused.
  bool SetSelected(TreeNode* node);
  std::vector<TreeNode*> VisibleNodes() const;
  int32_t TopIndex() const { return top_; }
  void SetTopIndex(int32_t row);
  void MakeVisible(TreeNode* node);  // expands its ancestors and scrolls it into view
  int32_t RowHeight() const;
  int32_t Indent() const { return indent_; }
  void SetIndent(int32_t v) { indent_ = v < 8 ? 8 : v; Invalidate(); }
  int32_t VisibleRowCount() const;  // rows that fit in the view
  // The sideways scroll position in pixels (0 shows the left edge of the content).
  int32_t HorzOffset() const { return left_; }
  void SetHorzOffset(int32_t x);
  // The width of the content: the widest visible node's caption end.
  int32_t ContentWidth() const;

  TreeNode* NodeAt(Point client) const;
  Rect NodeRect(const TreeNode* node) const;      // the row, client coordinates; empty if hidden
  Rect ExpanderRect(const TreeNode* node) const;  // the expand button

  const Bitmap* Images = nullptr;  // square cells in a strip (not owned)
  int32_t ImageSize = 16;

  bool DragEnabled = false;
  TreeNode* DragSource() const { return dragging_ ? pressed_ : nullptr; }
  TreeNode* DropTarget() const { return dropTarget_; }

  std::function<void(TreeView&, TreeNode*, bool& allow)> OnChanging;
  std::function<void(TreeView&, TreeNode*)> OnChange;
  std::function<void(TreeView&, TreeNode&, bool& allow)> OnExpanding;
  std::function<void(TreeView&, TreeNode&)> OnExpanded;
  std::function<void(TreeView&, TreeNode&, bool& allow)> OnCollapsing;
  std::function<void(TreeView&, TreeNode&)> OnCollapsed;
  // Owner drawing of a row: draw and leave defaultDraw true to let the tree draw the node too.
  // state: 1 selected, 2 focused, 4 drop target.
  std::function<void(TreeView&, TreeNode&, Canvas&, const Rect&, uint32_t state, bool& defaultDraw)>
      OnCustomDrawItem;
  std::function<void(TreeView&, TreeNode&, bool& allow)> OnStartDrag;
  std::function<void(TreeView&, TreeNode& source, TreeNode* target, bool& accept)> OnDragOver;
  std::function<void(TreeView&, TreeNode& source, TreeNode* target)> OnDragDrop;

  void Realign() override;
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

 protected:
  void Paint(PaintContext& pc) override;
  void KeyDown(uint8_t& key, ShiftState shift) override;
  void MouseDown(MouseButton b, ShiftState shift, Point p) override;
  void MouseMove(ShiftState shift, Point p) override;
  void MouseUp(MouseButton b, ShiftState shift, Point p) override;
  void DblClick() override;
  bool MouseWheel(ShiftState shift, int32_t delta, Point screen) override;
  void Resize() override;

 private:
  friend class TreeNode;
  void NodeRemoving(TreeNode* node);
  void BranchCollapsed(TreeNode& node);
  void TreeChanged();
  void UpdateScrollBar();
  int32_t ViewWidth() const;   // the client area less the vertical bar
  int32_t ViewHeight() const;  // the client area less the horizontal bar
  int32_t TextLeft(const TreeNode& node) const;
  int32_t RowOf(const TreeNode* node) const;
  void SelectRow(int32_t row);
  void CancelDrag();
  void PaintNode(Canvas& c, TreeNode& node, const Rect& row);

  TreeNode root_;
  TreeNode* selected_ = nullptr;
  TreeNode* pressed_ = nullptr;
  TreeNode* dropTarget_ = nullptr;
  ScrollBar* vbar_ = nullptr;
  ScrollBar* hbar_ = nullptr;
  Point pressPoint_;
  bool dragging_ = false;
  bool updatingBar_ = false;
  int32_t top_ = 0;
  int32_t left_ = 0;  // horizontal scroll offset in pixels
  int32_t indent_ = 19;
};

}  // namespace plat
