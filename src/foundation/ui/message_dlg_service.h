#pragma once
// The one message box of the program, as a replaceable service: everything code of any
// subsystem calls to show a message or ask a question is here. Callers fill the program-wide
// TMessageDlgInfo record's priming fields (Caption, DefaultButton, LastButton) just before they
// call ShowMessageDlg; the box consumes them. Numbered optional messages add a check box with
// which the user switches a message off for good (one byte a message in the options' OptMsgs:
// bit 7 set = off, bits 0-6 = the button index to answer in its place).
//
// The box itself (message_box.h) is registered when the application object is created on a
// running window system; until then the default service shows nothing and answers with the
// default button (or the first button of the set); tests register a scripted service to play
// the user.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace qv {

// Kinds of message.
enum : uint8_t { mkWarning = 0, mkError = 1, mkInformation = 2, mkConfirmation = 3, mkNoIcon = 4 };

// Button indexes (bit i of a button set shows button i).
enum : uint8_t {
  mbYes = 0,
  mbNo = 1,
  mbOK = 2,
  mbCancel = 3,
  mbAbort = 4,
  mbRetry = 5,
  mbIgnore = 6,
  mbAll = 7,
  mbNoToAll = 8,
  mbYesToAll = 9,
  mbHelp = 10,
  mbCount = 11,
};

// Modal results, the answers of ShowMessageDlg.
enum : int32_t {
  mrNone = 0,
  mrOk = 1,
  mrCancel = 2,
  mrAbort = 3,
  mrRetry = 4,
  mrIgnore = 5,
  mrYes = 6,
  mrNo = 7,
  mrAll = 8,
  mrNoToAll = 9,
  mrYesToAll = 10,
};

constexpr uint16_t ButtonBit(uint8_t button) { return static_cast<uint16_t>(1u << button); }

// The modal result that a button gives.
int32_t MsgDlgModalResult(uint8_t button);

struct TMessageDlgInfo {
  std::string Text;
  uint8_t Kind = mkWarning;
  uint16_t Buttons = 0;
  uint8_t DefaultButton = 255;  // 255: chosen automatically
  uint8_t LastButton = 255;     // a button placed after all the others; 255 none
  std::string Caption;          // empty: the title of the kind
  uint8_t OptionalMsgId = 255;
};

// The program-wide record.
TMessageDlgInfo& MessageDlgInfo();

class TMessageDlgService {
 public:
  virtual ~TMessageDlgService() = default;
  // Shows the box described by the record and answers a modal result.
  virtual int32_t Show(const TMessageDlgInfo& info);
};

// Registers the box (null restores the default).
void RegisterMessageDlgService(std::unique_ptr<TMessageDlgService> service);
TMessageDlgService& MessageDlgService();

// While set, ShowMessageDlg shows nothing and answers mrCancel.
extern bool MessagesSuppressed;

// Shows a message of a kind with a button set; the priming fields of the record are consumed.
int32_t ShowMessageDlg(const std::string& text, uint8_t kind, uint16_t buttons);

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
// True when the user switched the optional message off (its byte has bit 7 set).
bool OptionalMsgOff(uint8_t id);
// The modal result a switched-off optional message answers in its place.
int32_t OptionalMsgStoredAnswer(uint8_t id);

// Shows an optional message with its row's buttons; a message switched off answers its stored
// button at once, without a window, a sound or bringing anything to the front.
int32_t ShowOptionalMsg(const std::string& text, uint8_t kind, uint8_t id);
int32_t ShowInfo(const std::string& text);
int32_t ShowWarning(const std::string& text);
int32_t ShowError(const std::string& text);
// The format takes one "%s".
int32_t ShowInfoFmt(const std::string& format, const std::string& arg);
int32_t ShowErrorFmt(const std::string& format, const std::string& arg);
// Every "%s" of a format replaced by the arguments in turn (a missing argument gives nothing).
std::string FormatMessageText(const std::string& format, const std::vector<std::string>& args);

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

}  // namespace qv
