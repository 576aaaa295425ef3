#pragma once
// The program's message box itself: a modal dialog with an icon by the message kind, the
// word-wrapped text, a row of buttons from a fixed set of eleven and, for an optional message,
// the "Do not ask again" check box with its explanation. Beside it, the plain box that stands
// in for the system's message box where the program's own cannot be shown (after the quit
// message, or when it fails), and the small routines the box shares with the window code.
//
// Callers do not use this file: ShowMessageDlg and its companions (message_dlg_service.h) are
// the entry. Creating the application object on a running window system registers this box as
// the message-box service (InstallMessageBox).
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/ui/message_dlg_service.h"
#include "platform/controls/button.h"
#include "platform/controls/check_box.h"
#include "platform/controls/form.h"
#include "platform/controls/label.h"
#include "platform/controls/panel.h"

namespace qv {

class TRichViewer;

// Captions of the eleven buttons (program-wide; code may change one for a box and restore it).
extern std::array<std::string, mbCount> MsgDlgButtonCaptions;
// Titles of the kinds 0-3 (a kind-4 box takes its title from the primed Caption).
const char* MsgDlgCaption(uint8_t kind);
// 1: message-box buttons are twice as wide (long captions).
extern uint8_t WideMsgButtons;

// Shows the box the program-wide record describes (or answers a switched-off optional message)
// and returns the modal result.
int32_t ExecuteMessageDlg();

// The dialog of one box, built from the program-wide record.
class TMessageDlgForm : public plat::Form {
 public:
  TMessageDlgForm();
  ~TMessageDlgForm() override;

  TRichViewer* Viewer = nullptr;  // the explanation under the buttons (optional messages)
  plat::Panel* Bevel = nullptr;   // its frame
  plat::CheckBox* CheckBox = nullptr;
  plat::Label* TextLabel = nullptr;
  plat::Control* Icon = nullptr;
  // The buttons in their order from left to right.
  std::vector<plat::Button*> Buttons;
  plat::Button* DefaultBtn = nullptr;
  plat::Button* CancelBtn = nullptr;

  void CheckBoxClick();
  void ButtonClick(plat::Button& sender);

 private:
  uint16_t buttonSet_ = 0;
  uint8_t optionalMsgId_ = 255;
};

// Called with each box once it is on the screen, before its loop runs (tests play the user).
extern std::function<void(TMessageDlgForm&)> MessageDlgShown;

// Registers the real box as the message-box service (done by the application object).
void InstallMessageBox();
bool IsMessageBoxInstalled();

// ---- The plain box ----

// MessageBox flags and answers of the plain box.
constexpr uint32_t MB_OK = 0x0, MB_YESNO = 0x4, MB_ICONERROR = 0x10,
                   MB_ICONQUESTION = 0x20, MB_ICONWARNING = 0x30, MB_ICONINFORMATION = 0x40,
                   MB_TASKMODAL = 0x2000;
constexpr int32_t IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7;  // answers
// The plain box that stands in for the system's message box (used where the program's own box
// cannot be: after the quit message, or when that box fails): the text and the buttons its flags
// name, in the window layer's own small box. Tests may register their own.
class TSystemMessageBox {
 public:
  virtual ~TSystemMessageBox() = default;
  // The answer (IDOK ...).
  virtual int32_t Show(const std::string& text, const std::string& caption, uint32_t flags);
};
// Registers the box (null restores the plain box); the registered one, never null.
void RegisterSystemMessageBox(std::unique_ptr<TSystemMessageBox> box);
TSystemMessageBox& SystemMessageBox();
int32_t ShowSystemMessageBox(const std::string& text, const std::string& caption, uint32_t flags);
// True while the plain box is up (it keeps its own loop after the quit message, as the
// system's box does).
bool SystemMessageBoxShowing();

// The work area of the main window's monitor.
plat::Rect GetWorkArea();
// A panel that hides itself leaves one pixel free on its edge; no desktop panel here hides
// itself, so nothing changes.
void AdjustForAutoHideTaskbar(int32_t& left, int32_t& top, int32_t& width, int32_t& height);
// The padded border width of the theme (none here).
int32_t GetPaddedBorderWidth();
// Beeps for a message-beep type when the user's sound scheme has a sound for its event
// (Question falls back on Exclamation); an unknown type beeps.
void PlaySystemBeep(uint32_t type);
void FillInts(int32_t* buffer, int32_t count, int32_t value);
void FillIntsUnset(int32_t* buffer, int32_t count);
// Copies count integers (overlap allowed) and advances both pointers past them.
void MoveInts(const int32_t*& source, int32_t*& destination, int32_t count);

}  // namespace qv
