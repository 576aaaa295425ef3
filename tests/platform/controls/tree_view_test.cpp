// Tree views: keyboard navigation, expand and collapse, owner drawing, scrolling and dragging.
#include <gtest/gtest.h>

#include "platform/controls/scroll_bar.h"
#include "platform/controls/tree_view.h"
#include "widget_fixture.h"

using namespace plat;
using namespace widgettest;

namespace {

// A (A1, A2 (A2x)), B (B1), C
struct Tree {
  TreeNode *a, *a1, *a2, *a2x, *b, *b1, *c;
  explicit Tree(TreeView& tv) {
    a = &tv.Items().Add(u"A");
    a1 = &a->Add(u"A1");
    a2 = &a->Add(u"A2");
    a2x = &a2->Add(u"A2x");
    b = &tv.Items().Add(u"B");
    b1 = &b->Add(u"B1");
    c = &tv.Items().Add(u"C");
  }
};

}  // namespace

TEST_F(WidgetTest, TreeViewExpandsAndCollapsesByKeys) {
  TreeView& tv = form->Add<TreeView>();
  tv.SetBounds(10, 10, 200, 200);
  Tree t(tv);
  std::vector<std::u16string> expanded;
  tv.OnExpanded = [&](TreeView&, TreeNode& n) { expanded.push_back(n.Text); };
  ShowForm();
  tv.SetFocus();
  struct Step {
    uint8_t vk;
    TreeNode* want;
    size_t visible;
  } steps[] = {
      {VK_DOWN, t.a, 3},       // first key selects the first node
      {VK_RIGHT, t.a, 5},      // expands A
      {VK_RIGHT, t.a1, 5},     // then goes to its first child
      {VK_DOWN, t.a2, 5},
      {VK_MULTIPLY, t.a2, 6},  // expands the branch
      {VK_DOWN, t.a2x, 6},
      {VK_LEFT, t.a2, 6},      // a leaf goes to its parent
      {VK_LEFT, t.a2, 5},      // collapses
      {VK_END, t.c, 5},
      {VK_HOME, t.a, 5},
      {VK_SUBTRACT, t.a, 3},
      {VK_DOWN, t.b, 3},
      {VK_ADD, t.b, 4},
  };
  for (const Step& s : steps) {
    Press(s.vk);
    PumpPending();
    EXPECT_EQ(tv.Selected(), s.want) << int(s.vk);
    EXPECT_EQ(tv.VisibleNodes().size(), s.visible) << int(s.vk);
  }
  EXPECT_EQ(expanded, (std::vector<std::u16string>{u"A", u"A2", u"B"}));
  // Collapsing a branch that holds the selection selects the collapsed node.
  tv.SetSelected(t.a2x);
  EXPECT_TRUE(t.a->Expanded());
  t.a->Collapse();
  EXPECT_EQ(tv.Selected(), t.a);
  // A refused expansion; deleting the selected branch clears the selection.
  tv.OnExpanding = [](TreeView&, TreeNode&, bool& allow) { allow = false; };
  t.c->HasChildrenHint = true;
  EXPECT_FALSE(t.c->Expand());
  EXPECT_FALSE(t.c->Expanded());
  tv.SetSelected(t.b1);
  tv.Items().DeleteChild(t.b->Index());
  EXPECT_EQ(tv.Selected(), nullptr);
  EXPECT_EQ(tv.Items().Count(), 2);
}

TEST_F(WidgetTest, TreeViewClicksOwnerDrawingAndScrolling) {
  TreeView& tv = form->Add<TreeView>();
  tv.SetBounds(10, 10, 200, 100);
  Tree t(tv);
  std::vector<std::u16string> drawn;
  tv.OnCustomDrawItem = [&](TreeView&, TreeNode& n, Canvas&, const Rect&, uint32_t, bool& def) {
    drawn.push_back(n.Text);
    def = n.Text != u"C";
  };
  ShowForm();
  UpdateWindow(form->Handle());
  EXPECT_EQ(drawn, (std::vector<std::u16string>{u"A", u"B", u"C"}));
  Rect ex = tv.ExpanderRect(t.a);
  ASSERT_FALSE(ex.IsEmpty());
  ClickAt(tv, {ex.left + 3, ex.top + 3});
  EXPECT_TRUE(t.a->Expanded());
  EXPECT_EQ(tv.Selected(), nullptr);  // the button does not select
  Rect rb = tv.NodeRect(t.b);
  ClickAt(tv, {rb.left + 60, rb.top + 3});
  EXPECT_EQ(tv.Selected(), t.b);
  EXPECT_EQ(tv.NodeAt({60, rb.top + 1}), t.b);
  // Many nodes: the selection keeps itself in view.
  for (int i = 0; i < 30; ++i) t.c->Add(u"n");
  t.c->Expand();
  tv.SetFocus();
  Press(VK_END);
  PumpPending();
  int32_t rows = tv.VisibleRowCount();
  EXPECT_EQ(tv.TopIndex(), int32_t(tv.VisibleNodes().size()) - rows);
  EXPECT_FALSE(tv.NodeRect(tv.Selected()).IsEmpty());
}

TEST_F(WidgetTest, TreeViewDragsANodeOntoAnother) {
  TreeView& tv = form->Add<TreeView>();
  tv.SetBounds(10, 10, 200, 200);
  tv.DragEnabled = true;
  Tree t(tv);
  t.a->Expand();
  TreeNode* dropped = nullptr;
  TreeNode* source = nullptr;
  std::vector<TreeNode*> over;
  tv.OnDragOver = [&](TreeView&, TreeNode&, TreeNode* target, bool& accept) {
    over.push_back(target);
    accept = accept && target != t.c;  // C refuses drops
  };
  tv.OnDragDrop = [&](TreeView&, TreeNode& s, TreeNode* target) {
    source = &s;
    dropped = target;
  };
  ShowForm();
  Rect from = tv.NodeRect(t.a1), to = tv.NodeRect(t.b);
  headless::Drag(tv.Handle(), {40, from.top + 3}, {40, to.top + 3});
  PumpPending();
  EXPECT_EQ(source, t.a1);
  EXPECT_EQ(dropped, t.b);
  EXPECT_EQ(tv.DropTarget(), nullptr);
  // Onto a refusing node, or onto its own child: no drop.
  dropped = nullptr;
  Rect rc = tv.NodeRect(t.c);
  headless::Drag(tv.Handle(), {40, from.top + 3}, {40, rc.top + 3});
  PumpPending();
  EXPECT_EQ(dropped, nullptr);
  Rect ra = tv.NodeRect(t.a);
  headless::Drag(tv.Handle(), {40, ra.top + 3}, {40, from.top + 3});
  PumpPending();
  EXPECT_EQ(dropped, nullptr);
  EXPECT_FALSE(over.empty());
}

TEST_F(WidgetTest, TreeViewScrollsSidewaysWhenCaptionsAreWider) {
  TreeView& tv = form->Add<TreeView>();
  tv.SetBounds(10, 10, 120, 200);
  Tree t(tv);
  ShowForm();
  ScrollBar* hbar = nullptr;
  for (Control* c : tv.Controls()) {
    if (auto* b = dynamic_cast<ScrollBar*>(c); b && b->Kind() == ScrollBarKind::Horizontal) hbar = b;
  }
  ASSERT_NE(hbar, nullptr);
  EXPECT_FALSE(hbar->Visible());  // short captions fit
  t.a->Expand();
  t.a2->Expand();
  t.a2x->Text = u"A rather long caption that cannot fit a narrow tree";
  t.a2x->Add(u"child");  // the tree notices the change
  ASSERT_TRUE(hbar->Visible());
  int32_t maxOffset = tv.ContentWidth() - tv.ClientRect().Width();
  ASSERT_GT(maxOffset, 0);
  Rect expanderBefore = tv.ExpanderRect(t.a2);
  Rect right = hbar->PartRect(ScrollBar::Part::LineDown);
  ClickAt(*hbar, {(right.left + right.right) / 2, (right.top + right.bottom) / 2});
  EXPECT_EQ(tv.HorzOffset(), tv.Indent());
  EXPECT_EQ(tv.ExpanderRect(t.a2).left, expanderBefore.left - tv.Indent());
  tv.SetHorzOffset(100000);
  EXPECT_EQ(tv.HorzOffset(), maxOffset);
  EXPECT_EQ(hbar->Position(), maxOffset);
  headless::KeyDown(VK_SHIFT);
  headless::Wheel(tv.Handle(), {20, 20}, WHEEL_DELTA);
  headless::KeyUp(VK_SHIFT);
  PumpPending();
  EXPECT_EQ(tv.HorzOffset(), maxOffset - 3 * tv.Indent());
  // The bar's row is not a row of nodes.
  EXPECT_EQ(tv.NodeAt({5, tv.ClientRect().bottom - 3}), nullptr);
  // Collapsing the wide branch hides the bar and scrolls back.
  t.a->Collapse();
  EXPECT_FALSE(hbar->Visible());
  EXPECT_EQ(tv.HorzOffset(), 0);
}
