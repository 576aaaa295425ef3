#pragma once
// The program's message box: a modal dialog with an icon by the message kind, the word-wrapped
// text and a row of buttons from a fixed set of eleven; numbered optional messages add a check
// box with which the user switches the message off for good (one byte a message in the options'
// OptMsgs: bit 7 set = off, bits 0-6 = the button index to answer in its place).
//
// ShowMessageDlg (message_dlg_service.h) is the entry point. Creating the application object on
// a running window system registers the real box as the message-box service; until then (and in
// tests of lower code) the service's default answers without showing anything.
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

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

// The numbered optional messages: their listed text and their button set.
struct TOptionalMsg {
  const char* Text;
  uint16_t Buttons;
};
constexpr int32_t kOptionalMsgCount = 54;
extern const TOptionalMsg OptionalMsgTable[kOptionalMsgCount];
// The stored byte of an optional message (0 when the options hold none).
uint8_t OptionalMsgState(uint8_t id);
void SetOptionalMsgState(uint8_t id, uint8_t state);

// Shows an optional message with its row's buttons; a message switched off answers its stored
// button at once, without a window, a sound or bringing anything to the front.
int32_t ShowOptionalMsg(const std::string& text, uint8_t kind, uint8_t id);
int32_t ShowInfo(const std::string& text);
int32_t ShowWarning(const std::string& text);
int32_t ShowError(const std::string& text);
// The format takes one "%s".
int32_t ShowInfoFmt(const std::string& format, const std::string& arg);
int32_t ShowErrorFmt(const std::string& format, const std::string& arg);

// A message kept for later; the main window's idle hook shows the first one per idle pass.
struct TQueuedMessage {
  std::string Text;
  uint8_t Kind = mkWarning;
  uint16_t Buttons = 0;
  uint8_t OptionalMsgId = 255;
};
void QueueMessage(const std::string& text, uint8_t kind, uint16_t buttons, uint8_t optionalMsgId);
std::deque<TQueuedMessage>& MessageQueue();
// One idle pass of the main window: shows the first queued message (never while one is being
// shown) and removes it; false when there was none to show.
bool ShowQueuedMessage();

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
