#pragma once
// The multiple-document frame: plat::MdiFrame is a form whose client area (below and beside
// any bars aligned in the frame) holds one plat::MdiChild form per document. A child has a
// caption strip of its own (drag it to move, double-click or its button to maximise, its
// close button to close); the topmost visible child is the active one. Children can be
// cascaded, tiled and maximised (a maximised child follows the frame's size), moved out to a
// top-level window of their own (Undock) and back into the frame (Dock).
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/controls/form.h"

namespace plat {

class MdiChild;

enum class TileMode { Horizontal, Vertical };

class MdiFrame : public Form {
 public:
  MdiFrame();
  ~MdiFrame() override;

  // The area the docked children live in.
  Control& ClientArea() { return *client_; }
  // Every child of the frame, docked or not, in the order they were made.
  const std::vector<MdiChild*>& Children() const { return children_; }
  // The docked, visible children from the topmost down.
  std::vector<MdiChild*> DockedChildren() const;
  // The topmost visible docked child; nullptr when none.
  MdiChild* ActiveChild() const;
  // Brings the next docked child to the top (Ctrl+F6), the active one going to the bottom.
  void Next();
  void Cascade();
  void Tile(TileMode mode = TileMode::Horizontal);

  // The active child changed.
  std::function<void(MdiFrame&)> OnActiveChildChange;

  // Ctrl+F6 from anywhere inside the frame brings the next child up.
  bool ChildKey(uint8_t& vk, ShiftState shift) override;

 private:
  friend class MdiChild;
  void Register(MdiChild* c);
  void Unregister(MdiChild* c);
  void ChildActivated(MdiChild* c);
  void LayoutMaximized();

  Control* client_ = nullptr;
  std::vector<MdiChild*> children_;
  MdiChild* lastActive_ = nullptr;
};

class MdiChild : public Form {
 public:
  explicit MdiChild(MdiFrame& frame);
  ~MdiChild() override;

  MdiFrame* Frame() const { return frame_; }
  bool Docked() const { return Parent() != nullptr; }
  // Moves the child out to a top-level window at the same place on the screen.
  void Undock();
  // Moves the child back into the frame, at the same place on the screen when that lies in
  // the frame, else at the frame's top-left.
  void Dock();
  // Brings the child to the top of the frame and gives it the focus.
  void Activate();
  bool IsActiveChild() const;
  void SetWindowState(WindowState s) override;
  // Height of the caption strip of a docked child.
  static int32_t CaptionHeight();

 protected:
  void FocusNoted(Control* c) override;
  void TextChanged() override;
  void Paint(PaintContext& pc) override;

 private:
  friend class MdiFrame;
  MdiFrame* frame_;
  Control* caption_ = nullptr;
};

}  // namespace plat
