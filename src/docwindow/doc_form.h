#pragma once
// TDocForm: the editor window of one document. It shows the document's laid-out pages in its
// page area (painted off screen and copied to the window in one step), owns the two rulers and
// the two scroll bars, and turns window messages into calls on its document: keys and typed
// characters (key_input.cpp, char_input.cpp), scrolling and zoom (scrolling.cpp, zoom.cpp), the
// caret (caret.cpp) and the arrangement of the pages (view_geometry.cpp). Most of the view state
// lives in the document itself (TDoc::View, TDoc::Layout.Arrangement), because painting, layout
// and the commands read it from there.
//
// Two ways to make one:
// - TDocForm(doc): the window of a document that owns it. The document holds the window through
//   its editor window (CreateDocFormWindow below, which the shell's document services return
//   from CreateEditorWindow); freeing the document frees the window.
// - TDocForm(): a window that owns a document of its own (OpenFile reads a file into it), for a
//   host without the document dispatcher.
// CreateForm places the window as a child of a host window; a host of the class layer may
// instead make it a child control (SetParent) and show it.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/doc_position.h"
#include "docwindow/mouse_state.h"
#include "foundation/ui/form_ex.h"
#include "platform/gfx/bitmap.h"
#include "platform/gfx/types.h"

namespace plat {
class HintWindow;
class ScrollBar;
}  // namespace plat

namespace qv {

class TCompoundFragment;
class TDoc;
class TDocEditorWindow;
class TDocFormLink;
class TRuler;
struct THitTestInfo;

// The vertical scroll bar's thumb drag: the page shown and its tip.
struct TVerScrollBarTrackBarDraggingInfo {
  int32_t Page = -1;
  std::u16string Tip;
  std::unique_ptr<plat::HintWindow> TipWindow;
};

class TDocForm : public TCommandForm {
 public:
  // Bits of Flags.
  static constexpr uint32_t dfAutoScroll = 0x1;
  static constexpr uint32_t dfTextDragPending = 0x2;
  static constexpr uint32_t dfTextDragCopies = 0x4;
  static constexpr uint32_t dfOleDragOver = 0x8;
  static constexpr uint32_t dfOleDragRunning = 0x10;
  static constexpr uint32_t dfDragStarted = 0x20;
  static constexpr uint32_t dfSelectingByDrag = 0x40;
  static constexpr uint32_t dfShiftNavigating = 0x80;
  static constexpr uint32_t dfBlockSelecting = 0x100;
  static constexpr uint32_t dfCollapseOnRelease = 0x200;
  static constexpr uint32_t dfResizingInlinePicture = 0x400;
  static constexpr uint32_t dfDraggingTableEdge = 0x800;
  static constexpr uint32_t dfCaretPending = 0x1000;
  static constexpr uint32_t dfCaretShown = 0x2000;
  static constexpr uint32_t dfDropCaretShown = 0x4000;
  static constexpr uint32_t dfUpdatingScrollBars = 0x8000;
  static constexpr uint32_t dfThumbTipShown = 0x10000;
  static constexpr uint32_t dfPanning = 0x20000;
  static constexpr uint32_t dfMinimizedByCommand = 0x40000;
  static constexpr uint32_t dfMiddleButtonPanning = 0x80000;
  static constexpr uint32_t dfLinkPressed = 0x100000;
  static constexpr uint32_t dfCapsLockPressed = 0x200000;
  static constexpr uint32_t dfNumLockPressed = 0x400000;
  static constexpr uint32_t dfKeyboardContextMenu = 0x800000;
  static constexpr uint32_t dfEscapeTaken = 0x1000000;
  static constexpr uint32_t dfMovingShapes = 0x2000000;
  static constexpr uint32_t dfResizingShape = 0x4000000;
  static constexpr uint32_t dfMovingAnchor = 0x8000000;
  static constexpr uint32_t dfDraggingWrapPoint = 0x10000000;
  // The gesture bits that losing the focus ends.
  static constexpr uint32_t GestureFlags = 0x1E180C4E;

  // Sizes at 96 dots per inch, scaled once to the screen.
  static constexpr int32_t kMinClientSize = 100;
  static constexpr int32_t kSplitterThickness = 4;
  static constexpr int32_t kDragThreshold = 2;
  // The vertical bar's small step.
  static constexpr int32_t kScrollSmallChange = 16;
  // Timer ids of the window.
  static constexpr uint32_t kAutoScrollTimer = 3;
  // The mouse states during which no hover decisions are made.
  static constexpr uint32_t MouseBusyFlags = 0x1E000D42;
  // The mouse operations whose end updates the caret.
  static constexpr uint32_t MouseOperationFlags = 0x1E020D02;
  // The flag bits that cancel mode clears.
  static constexpr uint32_t CancelModeKeeps = 0xE1E5F2B0;
  // Key state bits of mouse messages.
  static constexpr uint32_t kMkLeft = 1, kMkRight = 2, kMkShift = 4, kMkControl = 8;
  // The input method's character message.
  static constexpr uint32_t kWmImeChar = 0x0286;

  TDocForm();
  explicit TDocForm(TDoc& doc);
  ~TDocForm() override;

  // --- Host interface ---
  // Reads the file into the window's document (format from its extension: RTF, plain text,
  // Write); false, with the document left as it was, when it cannot be read. A window that owns
  // its document reads into a new one and takes it only when reading succeeded.
  bool OpenFile(const std::string& fileName, std::string& error);
  // Makes the window as a child filling `bounds` of the host window and shows it.
  bool CreateForm(plat::Hwnd parent, const plat::Rect& bounds);
  TDoc& Doc() { return *doc_; }
  TDoc* DocPtr() const { return doc_; }
  // Moves the view to the position (clamped to the document's extent) and repaints.
  void ScrollTo(plat::Point position);
  // Paints the window (the page area from the document, the corner between the bars).
  void Paint(plat::PaintContext& pc) override;
  intptr_t WndProc(uint32_t msg, uintptr_t wParam, intptr_t lParam) override;

  // --- State ---
  TRuler* Ruler = nullptr;
  TRuler* VerRuler = nullptr;
  plat::ScrollBar* VerScrollBar = nullptr;
  plat::ScrollBar* HorScrollBar = nullptr;
  plat::Point DragStartCursor;
  plat::Point PanStartScroll;
  plat::Point PanStartPoint;
  int32_t AutoScrollKeys = 1;
  int16_t LastMouseX = 0;
  int16_t LastMouseY = 0;
  uint32_t LastMouseMoveTick = 0;
  TVerScrollBarTrackBarDraggingInfo ThumbDragInfo;
  int32_t ThumbTipWidth = 0;
  bool OriginMarkShown = false;
  plat::Rect ContextMenuExclusion;
  // The client rectangle in which pages are shown, and its size.
  plat::Rect PageArea;
  plat::Rect PaneRect;
  plat::Rect InactivePaneRect;
  plat::Rect SplitterRect;
  uint32_t Flags = 0;
  uint8_t StateBeforeMinimizeAll = 0;
  plat::Point OriginMarkPos;
  int32_t KeyRepeatCount = 0;
  // Keyboard state: the last key-down's code (a character code after a typed character below
  // 32, 0 after a typed character), the key of the last keystroke sound, the tick of the first
  // arrow press that moved selected shapes, the shift state of the current key and the tick of
  // the previous key.
  uint32_t LastKeyCode = 0;
  uint32_t LastSoundedKey = 0;
  uint32_t ArrowHoldStart = 0;
  uint8_t KeyShiftState = 0;
  uint32_t LastKeyTick = 0;
  // The input method's result text still to be inserted, program-wide.
  static std::u16string PendingImeText;
  // Mouse gestures and the caret column of vertical moves.
  TMouseState Mouse;
  TCaretColumn Column;

  bool HasFlag(uint32_t flag) const { return (Flags & flag) != 0; }

  // --- The window ---
  // False while the program terminates, the window is being destroyed, the emergency save runs,
  // or there is no document or it does not hold this window yet: every handler then returns.
  bool IsReady() const;
  // Whether the options (and full screen) want the vertical scroll bar.
  bool VerticalBarWanted() const { return WantsScrollBar(true); }
  // Lays out the rulers, the scroll bars, the split-view controls and PageArea for a client
  // rectangle.
  void ArrangeControls(const plat::Rect& client);
  // After a change of split, view mode or splitter position: the controls, the zoom and the
  // caret again.
  void RearrangeView();
  // The pane less the visible rulers and scroll bars.
  plat::Rect GetTextArea(const plat::Rect& client) const;
  plat::Point ClientToDoc(plat::Point p) const;
  plat::Point DocToClient(plat::Point p) const;
  // Cuts the rectangle to PageArea; false when nothing is left.
  bool ClipToPageArea(plat::Rect& r) const;
  // A page area of that size at (0, 0), to lay out and paint the document into a bitmap.
  void SetOffscreenSize(int32_t width, int32_t height);
  // The window's small icon from its document's file type (no shell icons on this system: the
  // window keeps the program's icon).
  void UpdateWindowIcon();
  // Repaints the visible rulers unless full screen hides them.
  void UpdateRulers();
  // Erases every inverted mark the window drew (the drop caret, the origin mark).
  void RemoveFeedback();
  bool FormCloseQuery();
  void FormClose();
  // The form's close (Close()) asks FormCloseQuery; FormClose hands the document to the
  // dispatcher.
  bool CloseQuery() override { return FormCloseQuery(); }
  // The window becomes the active document window (true) or another one does (false); the host
  // calls it when its active document window changes.
  void MDIActivate(bool activating);
  // The idle pass asks for RearrangeView: the view width changed while the page arrangement
  // could not arrange the controls.
  bool RearrangePending = false;
  // The close query and, when it agrees, the close: true when the window closed.
  bool CloseDocumentWindow();

  // --- Caret (caret.cpp) ---
  void UpdateCaret();
  bool CanShowCaret() const;
  void UpdateCaretPending();
  void ShowCaret();
  void HideCaret();
  // Moves the caret to the position without touching the selection and without scrolling.
  void MoveCaretKeepSelection(const TDocPosition& position);

  // --- Hit test, context menu and character by code (hit_test.cpp, context_menu.cpp) ---
  // Fills the hit-test record for a client point (the caret while the context-menu key is
  // handled); storySet has bit n for story n, 0 for the current story. Returns whether the point
  // lies outside the Spotlight range.
  uint8_t HitTest(int32_t x, int32_t y, THitTestInfo& info, uint32_t storySet = 0);
  // A client point in the 0..21600 space of the shape whose wrap outline is edited.
  plat::Point ClientToShapeSpace(int32_t x, int32_t y);
  // The context-menu key (or Shift+F10): the menus are shown as for a right click at the caret.
  void WMContextMenu();
  // The selection is one word that the as-you-type spelling check calls misspelt.
  bool IsMisspelledSelection();
  // The spelling popup for the checked word at the clicked position, followed by the context
  // submenus of what the selection touches.
  void ShowSpellingMenu(const TDocPosition& position);

  // --- Mouse (mouse_input.cpp, mouse_gestures.cpp, selection_extension.cpp, cancel_mode.cpp) ---
  intptr_t WMLButtonDown(int32_t x, int32_t y, uint32_t keys);
  intptr_t WMMouseMove(int32_t x, int32_t y, uint32_t keys);
  intptr_t WMLButtonUp(int32_t x, int32_t y, uint32_t keys);
  intptr_t WMLButtonDblClk(int32_t x, int32_t y, uint32_t keys);
  void WMCancelMode();
  void WMTimer(uint32_t id);
  // A mouse operation of the window is in progress.
  bool IsViewMouseBusy() const { return (Flags & (MouseBusyFlags | dfPanning | dfMiddleButtonPanning)) != 0; }
  // Starts the auto-scroll timer while the point lies outside the page area shrunk by 10 pixels
  // and remembers the point for the timer's steps.
  void CheckAutoScroll(int32_t x, int32_t y, bool ctrl);
  // Extends the selection from the anchor to the position (whole words when asked for).
  void ExtendSelectionTo(const TDocPosition& position, bool ctrl);
  // Selects the block (column) from its anchor to its corner.
  void ExtendBlockSelection(const TBlockSelection& block);
  // Selects list paragraphs by their numbers: mode 1 the paragraph, 2 those of the same list
  // and level, 3 the whole list; a toggled paragraph (not kUnsetColumn) is added or removed.
  void SelectListParagraphs(const TDocPosition& position, int32_t mode, int32_t toggled);
  // After a click that placed the caret the next vertical key measures from the new caret.
  void ResetCaretColumn() { Column.Reset(); }

  // --- Scrolling and zoom (scrolling.cpp, zoom.cpp) ---
  // Moves the window's image for a scroll of the view (short scrolls) or repaints it all.
  void ScrollViewImage(int32_t dx, int32_t dy);
  // Sets the scroll bars from the document's extent and scroll position.
  void UpdateScrollBars();
  void ScrollBarChanged(plat::ScrollBar& bar);
  void ThumbDrag(int32_t position);
  void ThumbRelease();
  void ScrollBarButtonClick(int32_t part);
  std::u16string ScrollBarHint(int32_t part);
  // The wheel: shift state (1 Shift, 4 Ctrl, 8 left, 16 right button), the absolute delta, the
  // system's lines per notch (-1 a page) and the direction (+1 towards the user, -1 away).
  void WheelHook(uint8_t shift, int32_t amount, int32_t linesPerNotch, int32_t direction);
  void BeginPan(int32_t x, int32_t y);
  void PanTo(int32_t x, int32_t y);
  void ZoomStep(int32_t x, int32_t y, bool enlarge, uint8_t keyState);
  void DrawOriginMark();
  void EraseOriginMark();

  // --- Keyboard (key_input.cpp, char_input.cpp) ---
  intptr_t CNKeyDown(uint8_t key, intptr_t keyData);
  intptr_t WMKeyDown(uint8_t key, intptr_t keyData);
  intptr_t WMKeyUp(uint8_t key, intptr_t keyData);
  intptr_t CNChar(char32_t ch, intptr_t keyData);
  intptr_t WMIMEChar(uintptr_t wParam, intptr_t lParam);
  intptr_t WMSysKeyDown(uint8_t key, intptr_t keyData);
  intptr_t WMSysKeyUp(uint8_t key, intptr_t keyData);
  intptr_t WMSysChar(char32_t ch, intptr_t keyData);
  // Types one character at the caret (or at every typing mark of a multiple selection); false
  // when the character was not typed.
  bool TypeCharacter(char32_t ch);
  // The window's deferred work, for the main window's idle pass: the view rearranged when asked
  // for, a scheduled redraw whose time has come, the caret shown when it may be. True when it
  // did something.
  bool DoIdleWork();

  // The document changed or was repainted: the page area is painted again.
  void RedrawView();
  // Only the fragment's ranges changed: their lines are painted again into the window's picture
  // of the view and only the bands that changed are copied to the window. The whole view is
  // painted when the picture is not that of the view as it stands (or for no fragment).
  void RedrawRanges(const TCompoundFragment* fragment);
  void RepaintRect(const plat::Rect& client);

  // Scales the window's constants (minimum size, splitter, drag threshold, caret width) once.
  static int32_t Scaled(int32_t pixels96);

 protected:
  void HandleCreated() override;
  void HandleDestroying() override;
  void FillCreateParams(plat::CreateParams& p) override;
  bool MouseWheel(plat::ShiftState shift, int32_t delta, plat::Point screen) override;
  void Resize() override;

 private:
  friend class TDocFormLink;
  friend std::unique_ptr<TDocEditorWindow> CreateDocFormWindow(TDoc& doc);
  void Init();
  void AttachOwnDocument(std::unique_ptr<TDoc> doc);
  void CreateWindowHandle();
  void DestroyWindowHandle();
  void PlaceNewWindow();
  void PaintWindow(plat::PaintContext& pc);
  // The picture of the view was painted whole for the view as it stands.
  bool PictureIsCurrent() const;
  void RememberPicture();
  // The paint message only has to copy bands a repaint of ranges left in the picture.
  bool OnlyBandsToCopy(const plat::PaintContext& pc) const;
  void WindowPosChanging(plat::Rect& bounds);
  void ClientSizeChanged(const plat::Rect& client);
  void SetFocusHandler();
  void KillFocusHandler(plat::Hwnd newFocus);
  bool WantsRulers(bool vertical) const;
  bool WantsScrollBar(bool vertical) const;
  int32_t ContentWidthPixels();
  bool HandleKeyMessage(uint32_t msg, uintptr_t wParam, intptr_t lParam, intptr_t& result);

  TDoc* doc_ = nullptr;
  std::unique_ptr<TDoc> ownedDoc_;
  TDocFormLink* link_ = nullptr;  // the document's editor window while attached
  plat::Hwnd hostParent_ = 0;
  // The window's picture of the view (the page area as last painted) and what it was painted
  // for; the bands a repaint of ranges changed and the next paint only copies.
  plat::Bitmap buffer_;
  struct TPicture {
    bool Valid = false;
    plat::Point Scroll;
    plat::Rect Area;
    int32_t Zoom = 0;
    int32_t ViewMode = -1;
  } picture_;
  std::vector<plat::Rect> pendingBands_;
  bool destroying_ = false;
  bool inSizeChange_ = false;
};

// The document's editor window; null for a hidden document or one with another kind of window.
TDocForm* FormOf(const TDoc& doc);

// A new editor window for the document, held by the document as its editor window (the shell's
// document services return it from CreateEditorWindow).
std::unique_ptr<TDocEditorWindow> CreateDocFormWindow(TDoc& doc);

// The document format index for a file name's extension (plain text for unknown ones).
int32_t FormatOfFileName(const std::string& fileName);

}  // namespace qv
