#include "platform/controls/tree_view.h"

#include <algorithm>

#include "platform/controls/control_look.h"
#include "platform/controls/scroll_bar.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace plat {
namespace {
constexpr int32_t kDragThreshold = 4;
constexpr int32_t kBar = 17;
}  // namespace

// ---- TreeNode ----

TreeNode::~TreeNode() = default;

TreeNode* TreeNode::Parent() const { return parent_ && parent_->parent_ ? parent_ : nullptr; }

TreeView* TreeNode::Tree() const {
  const TreeNode* n = this;
  while (n->parent_) n = n->parent_;
  return n->tree_;
}

TreeNode& TreeNode::Add(std::u16string text) { return Insert(Count(), std::move(text)); }

TreeNode& TreeNode::Insert(int32_t index, std::u16string text) {
  index = std::clamp(index, 0, Count());
  auto node = std::make_unique<TreeNode>(std::move(text));
  node->parent_ = this;
  TreeNode& ref = *node;
  children_.insert(children_.begin() + index, std::move(node));
  if (TreeView* t = Tree()) t->TreeChanged();
  return ref;
}

void TreeNode::DeleteChild(int32_t index) {
  if (index < 0 || index >= Count()) return;
  TreeView* t = Tree();
  if (t) t->NodeRemoving(children_[size_t(index)].get());
  children_.erase(children_.begin() + index);
  if (t) t->TreeChanged();
}

void TreeNode::Clear() {
  while (Count() > 0) DeleteChild(Count() - 1);
}

int32_t TreeNode::Index() const {
  if (!parent_) return -1;
  for (int32_t i = 0; i < parent_->Count(); ++i) {
    if (parent_->children_[size_t(i)].get() == this) return i;
  }
  return -1;
}

int32_t TreeNode::Level() const {
  int32_t l = -1;
  for (const TreeNode* n = parent_; n; n = n->parent_) ++l;
  return l;
}

bool TreeNode::IsVisible() const {
  for (const TreeNode* n = parent_; n && n->parent_; n = n->parent_) {
    if (!n->expanded_) return false;
  }
  return parent_ != nullptr;
}

bool TreeNode::IsAncestorOf(const TreeNode* n) const {
  for (; n; n = n->parent_) {
    if (n == this) return true;
  }
  return false;
}

bool TreeNode::Expand(bool recurse) {
  TreeView* t = Tree();
  if (!expanded_ && HasChildren()) {
    bool allow = true;
    if (t && t->OnExpanding) t->OnExpanding(*t, *this, allow);
    if (!allow) return false;
    expanded_ = !children_.empty();
    if (t) {
      t->TreeChanged();
      if (expanded_ && t->OnExpanded) t->OnExpanded(*t, *this);
    }
  }
  if (recurse) {
    for (auto& c : children_) c->Expand(true);
  }
  return true;
}

bool TreeNode::Collapse() {
  if (!expanded_) return true;
  TreeView* t = Tree();
  bool allow = true;
  if (t && t->OnCollapsing) t->OnCollapsing(*t, *this, allow);
  if (!allow) return false;
  expanded_ = false;
  if (t) {
    t->BranchCollapsed(*this);
    t->TreeChanged();
    if (t->OnCollapsed) t->OnCollapsed(*t, *this);
  }
  return true;
}

// ---- TreeView ----

TreeView::TreeView() {
  root_.tree_ = this;
  root_.expanded_ = true;
  SetAcceptsFocus(true);
  SetTabStop(true);
  SetDlgCode(DLGC_WANTARROWS);
  SetBackColor(Look().Window);
  SetBounds(0, 0, 121, 97);
  vbar_ = &Add<ScrollBar>(ScrollBarKind::Vertical);
  vbar_->SetTabStop(false);
  vbar_->SetVisible(false);
  vbar_->OnChange = [this](ScrollBar& b) { SetTopIndex(b.Position()); };
  hbar_ = &Add<ScrollBar>(ScrollBarKind::Horizontal);
  hbar_->SetTabStop(false);
  hbar_->SetVisible(false);
  hbar_->OnChange = [this](ScrollBar& b) { SetHorzOffset(b.Position()); };
}

TreeView::~TreeView() {
  // Nodes may call back into the tree while they go; they must not find it half destroyed.
  root_.tree_ = nullptr;
}

int32_t TreeView::RowHeight() const { return std::max(GetFont().Metrics().Height + 4, ImageSize + 2); }

int32_t TreeView::VisibleRowCount() const { return std::max(1, ViewHeight() / RowHeight()); }

int32_t TreeView::ViewWidth() const {
  return std::max(0, ClientRect().Width() - (vbar_ && vbar_->Visible() ? kBar : 0));
}

int32_t TreeView::ViewHeight() const {
  return std::max(0, ClientRect().Height() - (hbar_ && hbar_->Visible() ? kBar : 0));
}

// Where a node's caption begins when the view is not scrolled sideways.
int32_t TreeView::TextLeft(const TreeNode& node) const {
  return 2 + (node.Level() + 1) * indent_ + (Images ? ImageSize + 3 : 0);
}

int32_t TreeView::ContentWidth() const {
  int32_t widest = 0;
  for (TreeNode* n : VisibleNodes()) widest = std::max(widest, TextLeft(*n) + CaptionWidth(GetFont(), n->Text) + 8);
  return widest;
}

void TreeView::SetHorzOffset(int32_t x) {
  x = std::clamp(x, 0, std::max(0, ContentWidth() - ViewWidth()));
  if (x == left_) return;
  left_ = x;
  hbar_->SetPosition(x);
  Invalidate();
}

std::vector<TreeNode*> TreeView::VisibleNodes() const {
  std::vector<TreeNode*> out;
  std::vector<TreeNode*> stack;
  for (int32_t i = root_.Count(); i-- > 0;) stack.push_back(&root_[i]);
  while (!stack.empty()) {
    TreeNode* n = stack.back();
    stack.pop_back();
    out.push_back(n);
    if (n->Expanded()) {
      for (int32_t i = n->Count(); i-- > 0;) stack.push_back(&(*n)[i]);
    }
  }
  return out;
}

int32_t TreeView::RowOf(const TreeNode* node) const {
  std::vector<TreeNode*> rows = VisibleNodes();
  auto it = std::find(rows.begin(), rows.end(), node);
  return it == rows.end() ? -1 : int32_t(it - rows.begin());
}

Rect TreeView::NodeRect(const TreeNode* node) const {
  int32_t row = RowOf(node);
  if (row < 0) return {};
  int32_t y = (row - top_) * RowHeight();
  return {0, y, ViewWidth(), y + RowHeight()};
}

Rect TreeView::ExpanderRect(const TreeNode* node) const {
  Rect r = NodeRect(node);
  if (r.IsEmpty() || !node->HasChildren()) return {};
  int32_t x = 2 + node->Level() * indent_ - left_;
  return {x, r.top, x + indent_, r.bottom};
}

TreeNode* TreeView::NodeAt(Point client) const {
  if (client.y < 0 || client.x < 0 || client.y >= ViewHeight()) return nullptr;
  int32_t row = top_ + client.y / RowHeight();
  std::vector<TreeNode*> rows = VisibleNodes();
  return row < int32_t(rows.size()) ? rows[size_t(row)] : nullptr;
}

void TreeView::SetTopIndex(int32_t row) {
  int32_t total = int32_t(VisibleNodes().size());
  row = std::clamp(row, 0, std::max(0, total - VisibleRowCount()));
  if (row == top_) return;
  top_ = row;
  vbar_->SetPosition(row);
  Invalidate();
}

void TreeView::MakeVisible(TreeNode* node) {
  if (!node) return;
  for (TreeNode* p = node->Parent(); p; p = p->Parent()) {
    if (!p->Expanded()) p->Expand();
  }
  int32_t row = RowOf(node);
  if (row < 0) return;
  if (row < top_) SetTopIndex(row);
  else if (row >= top_ + VisibleRowCount()) SetTopIndex(row - VisibleRowCount() + 1);
}

bool TreeView::SetSelected(TreeNode* node) {
  if (node == selected_) return true;
  bool allow = true;
  if (OnChanging) OnChanging(*this, node, allow);
  if (!allow) return false;
  selected_ = node;
  MakeVisible(node);
  Invalidate();
  if (OnChange) OnChange(*this, node);
  return true;
}

void TreeView::NodeRemoving(TreeNode* node) {
  if (node->IsAncestorOf(selected_)) {
    selected_ = nullptr;
    if (OnChange) OnChange(*this, nullptr);
  }
  if (node->IsAncestorOf(dropTarget_)) dropTarget_ = nullptr;
  if (node->IsAncestorOf(pressed_)) {
    pressed_ = nullptr;
    dragging_ = false;
  }
}

void TreeView::BranchCollapsed(TreeNode& node) {
  if (selected_ && selected_ != &node && node.IsAncestorOf(selected_)) {
    selected_ = &node;
    if (OnChange) OnChange(*this, &node);
  }
}

void TreeView::TreeChanged() {
  UpdateScrollBar();
  Invalidate();
}

// The bars show as the content needs them; a horizontal bar takes rows away, which may call
// for the vertical one, which takes width away in turn.
void TreeView::UpdateScrollBar() {
  if (!vbar_ || !hbar_ || updatingBar_) return;
  updatingBar_ = true;
  Rect cr = ClientRect();
  int32_t total = int32_t(VisibleNodes().size());
  int32_t h = RowHeight();
  int32_t content = ContentWidth();
  bool needV = int64_t(total) * h > cr.Height() && total > std::max(1, cr.Height() / h);
  bool needH = content > cr.Width() - (needV ? kBar : 0);
  if (needH && !needV) needV = total > std::max(1, (cr.Height() - kBar) / h);
  needH = content > cr.Width() - (needV ? kBar : 0);
  vbar_->SetBounds(cr.right - kBar, 0, kBar, std::max(0, cr.Height() - (needH ? kBar : 0)));
  hbar_->SetBounds(0, cr.bottom - kBar, std::max(0, cr.Width() - (needV ? kBar : 0)), kBar);
  vbar_->SetVisible(needV);
  hbar_->SetVisible(needH);
  int32_t rows = VisibleRowCount();
  top_ = vbar_->SetRowRange(top_, total, rows);
  int32_t view = std::max(1, ViewWidth());
  left_ = std::clamp(left_, 0, std::max(0, content - view));
  hbar_->SetParams(left_, 0, std::max(0, content - 1));
  hbar_->SetPageSize(view);
  hbar_->SetSmallChange(indent_);
  hbar_->SetLargeChange(std::max(1, view - indent_));
  hbar_->SetPosition(left_);
  updatingBar_ = false;
}

void TreeView::Realign() {
  Control::Realign();
  UpdateScrollBar();
}

void TreeView::Resize() {
  Control::Resize();
  UpdateScrollBar();
}

void TreeView::SelectRow(int32_t row) {
  std::vector<TreeNode*> rows = VisibleNodes();
  if (rows.empty()) return;
  SetSelected(rows[size_t(std::clamp(row, 0, int32_t(rows.size()) - 1))]);
}

void TreeView::KeyDown(uint8_t& key, ShiftState shift) {
  int32_t row = RowOf(selected_);
  int32_t page = std::max(1, VisibleRowCount() - 1);
  switch (key) {
    case VK_DOWN: SelectRow(row < 0 ? 0 : row + 1); break;
    case VK_UP: SelectRow(row < 0 ? 0 : row - 1); break;
    case VK_NEXT: SelectRow(row + page); break;
    case VK_PRIOR: SelectRow(row - page); break;
    case VK_HOME: SelectRow(0); break;
    case VK_END: SelectRow(INT32_MAX); break;
    case VK_RIGHT:
      if (!selected_) break;
      if (!selected_->Expanded() && selected_->HasChildren()) selected_->Expand();
      else if (selected_->Expanded() && selected_->Count() > 0) SetSelected(&(*selected_)[0]);
      break;
    case VK_LEFT:
      if (!selected_) break;
      if (selected_->Expanded()) selected_->Collapse();
      else if (selected_->Parent()) SetSelected(selected_->Parent());
      break;
    case VK_ADD: if (selected_) selected_->Expand(); break;
    case VK_SUBTRACT: if (selected_) selected_->Collapse(); break;
    case VK_MULTIPLY: if (selected_) selected_->Expand(true); break;
    case VK_ESCAPE:
      if (dragging_) {
        CancelDrag();
        break;
      }
      return Control::KeyDown(key, shift);
    default:
      return Control::KeyDown(key, shift);
  }
  key = 0;
}

void TreeView::MouseDown(MouseButton b, ShiftState shift, Point p) {
  Control::MouseDown(b, shift, p);
  if (b != MouseButton::Left) return;
  TreeNode* node = NodeAt(p);
  pressed_ = node;
  pressPoint_ = p;
  dragging_ = false;
  if (!node) return;
  if (ExpanderRect(node).Contains(p)) {
    pressed_ = nullptr;  // no drag from the button
    node->Toggle();
    return;
  }
  SetSelected(node);
}

void TreeView::MouseMove(ShiftState shift, Point p) {
  Control::MouseMove(shift, p);
  if (!pressed_ || !DragEnabled || !(shift & ssLeft)) return;
  if (!dragging_) {
    if (std::abs(p.x - pressPoint_.x) < kDragThreshold && std::abs(p.y - pressPoint_.y) < kDragThreshold) return;
    bool allow = true;
    if (OnStartDrag) OnStartDrag(*this, *pressed_, allow);
    if (!allow) {
      pressed_ = nullptr;
      return;
    }
    dragging_ = true;
  }
  TreeNode* target = NodeAt(p);
  bool accept = target != nullptr && !pressed_->IsAncestorOf(target);
  if (OnDragOver) OnDragOver(*this, *pressed_, target, accept);
  TreeNode* newTarget = accept ? target : nullptr;
  if (newTarget != dropTarget_) {
    dropTarget_ = newTarget;
    Invalidate();
  }
  // Near the top or bottom edge the view scrolls.
  if (p.y < RowHeight() / 2) SetTopIndex(top_ - 1);
  else if (p.y > ViewHeight() - RowHeight() / 2) SetTopIndex(top_ + 1);
}

void TreeView::MouseUp(MouseButton b, ShiftState shift, Point p) {
  if (b == MouseButton::Left && dragging_ && pressed_) {
    TreeNode* source = pressed_;
    TreeNode* target = dropTarget_;
    bool drop = target != nullptr;
    CancelDrag();
    if (drop && OnDragDrop) OnDragDrop(*this, *source, target);
  }
  pressed_ = nullptr;
  Control::MouseUp(b, shift, p);
}

void TreeView::CancelDrag() {
  dragging_ = false;
  pressed_ = nullptr;
  if (dropTarget_) {
    dropTarget_ = nullptr;
    Invalidate();
  }
}

intptr_t TreeView::WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) {
  // The base releases the capture itself just before a button-up; only a capture taken away
  // while the button is still held (or a cancel) ends a drag.
  bool lost = msg == WM_CAPTURECHANGED && (CurrentShiftState() & ssLeft);
  if ((lost || msg == WM_CANCELMODE) && dragging_) CancelDrag();
  return Control::WndProc(msg, wParam, lParam);
}

void TreeView::DblClick() {
  Control::DblClick();
  if (selected_ && selected_->HasChildren()) selected_->Toggle();
}

bool TreeView::MouseWheel(ShiftState shift, int32_t delta, Point screen) {
  if (Control::MouseWheel(shift, delta, screen)) return true;
  // Shift turns the wheel sideways.
  if (shift & ssShift) SetHorzOffset(left_ - delta / WHEEL_DELTA * 3 * indent_);
  else SetTopIndex(top_ - delta / WHEEL_DELTA * 3);
  return true;
}

void TreeView::PaintNode(Canvas& c, TreeNode& node, const Rect& row) {
  const LookColors& look = Look();
  bool sel = &node == selected_;
  bool target = &node == dropTarget_;
  int32_t x = row.left + 2 + node.Level() * indent_;
  if (node.HasChildren()) {
    Rect box{x, row.top, x + indent_, row.bottom};
    DrawArrowHead(c, box, node.Expanded() ? ArrowDir::Down : ArrowDir::Right, look.Text);
  }
  x += indent_;
  int32_t image = sel && node.SelectedIndex >= 0 ? node.SelectedIndex : node.ImageIndex;
  if (Images && image >= 0) {
    c.DrawBitmap(x, row.top + (row.Height() - ImageSize) / 2, *Images,
                 {image * ImageSize, 0, image * ImageSize + ImageSize, ImageSize});
    x += ImageSize + 3;
  }
  int32_t w = CaptionWidth(GetFont(), node.Text) + 6;
  Rect text{x, row.top + 1, x + w, row.bottom - 1};
  bool active = Focused();
  if (sel || target) {
    c.FillRect(text, target ? look.ButtonHot : active ? look.Highlight : look.ButtonPressed);
  }
  Color fg = sel && !target && active ? look.HighlightText : look.Text;
  DrawCaption(c, {text.left + 3, text.top, text.right, text.bottom}, node.Text, fg, TextAlign::Left, false);
  if (sel && active) DrawFocusFrame(c, text);
}

void TreeView::Paint(PaintContext& pc) {
  Canvas& c = *pc.canvas;
  Rect cr = ClientRect();
  c.FillRect(cr, BackColor());
  c.SetFont(GetFont());
  std::vector<TreeNode*> rows = VisibleNodes();
  int32_t h = RowHeight();
  int32_t viewW = ViewWidth(), viewH = ViewHeight();
  if (vbar_->Visible() && hbar_->Visible()) c.FillRect({viewW, viewH, cr.right, cr.bottom}, Look().Face);
  c.SaveState();
  c.IntersectClipRect({0, 0, viewW, viewH});
  for (int32_t r = top_; r < int32_t(rows.size()); ++r) {
    int32_t y = (r - top_) * h;
    if (y >= viewH) break;
    TreeNode& node = *rows[size_t(r)];
    // The row as drawn: scrolled sideways by the horizontal offset.
    Rect row{-left_, y, viewW, y + h};
    bool defaultDraw = true;
    if (OnCustomDrawItem) {
      uint32_t state = (&node == selected_ ? 1u : 0u) | (Focused() ? 2u : 0u) | (&node == dropTarget_ ? 4u : 0u);
      c.SaveState();
      OnCustomDrawItem(*this, node, c, row, state, defaultDraw);
      c.RestoreState();
    }
    if (defaultDraw) PaintNode(c, node, row);
  }
  c.RestoreState();
  DrawFrame(c, cr, Look().Border);
}

}  // namespace plat
