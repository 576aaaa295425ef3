#include "foundation/ui/message_dlg_service.h"

#include <utility>

#include "foundation/base/service_slot.h"
#include "foundation/settings/options_holder.h"

namespace qv {

bool MessagesSuppressed = false;

namespace {

constexpr int32_t kModalResults[mbCount] = {mrYes,    mrNo,      mrOk,       mrCancel,
                                            mrAbort,  mrRetry,   mrIgnore,   mrAll,
                                            mrNoToAll, mrYesToAll, mrNone};

}  // namespace

int32_t MsgDlgModalResult(uint8_t button) {
  return button < mbCount ? kModalResults[button] : mrNone;
}

TMessageDlgInfo& MessageDlgInfo() {
  static TMessageDlgInfo info;
  return info;
}

// Nobody to ask: the default button answers, else the first button of the set.
int32_t TMessageDlgService::Show(const TMessageDlgInfo& info) {
  if (info.DefaultButton < mbCount && (info.Buttons & ButtonBit(info.DefaultButton)) != 0)
    return MsgDlgModalResult(info.DefaultButton);
  for (uint8_t b = 0; b < mbCount; ++b)
    if ((info.Buttons & ButtonBit(b)) != 0) return MsgDlgModalResult(b);
  return mrOk;
}

void RegisterMessageDlgService(std::unique_ptr<TMessageDlgService> service) {
  RegisterService(std::move(service));
}

TMessageDlgService& MessageDlgService() { return Service<TMessageDlgService>(); }

int32_t ShowMessageDlg(const std::string& text, uint8_t kind, uint16_t buttons) {
  TMessageDlgInfo& info = MessageDlgInfo();
  info.Text = text;
  info.Kind = kind;
  info.Buttons = buttons;
  int32_t result = MessagesSuppressed ? mrCancel : MessageDlgService().Show(info);
  // The priming fields are consumed by every box.
  info.Caption.clear();
  info.DefaultButton = 255;
  info.LastButton = 255;
  return result;
}

// ---- Optional messages ----

namespace {
constexpr uint16_t kOK = ButtonBit(mbOK);
}  // namespace

const TOptionalMsg OptionalMsgTable[kOptionalMsgCount] = {
#include "foundation/ui/optional_messages.inc"
};

uint8_t OptionalMsgState(uint8_t id) {
  const auto& bytes = GetOptions().Internal.OptMsgs;
  return id < bytes.size() ? bytes[id] : 0;
}

void SetOptionalMsgState(uint8_t id, uint8_t state) {
  auto& bytes = GetOptions().Internal.OptMsgs;
  if (id >= kOptionalMsgCount) return;
  if (bytes.size() <= id) bytes.resize(kOptionalMsgCount, 0);
  bytes[id] = state;
}

bool OptionalMsgOff(uint8_t id) { return id != 255 && (OptionalMsgState(id) & 0x80) != 0; }

int32_t OptionalMsgStoredAnswer(uint8_t id) { return MsgDlgModalResult(OptionalMsgState(id) & 0x7F); }

int32_t ShowOptionalMsg(const std::string& text, uint8_t kind, uint8_t id) {
  uint8_t row = id % 128;
  uint16_t buttons = row < kOptionalMsgCount ? OptionalMsgTable[row].Buttons : kOK;
  // A message switched off answers for itself, whichever box is registered.
  if (!MessagesSuppressed && OptionalMsgOff(id)) return OptionalMsgStoredAnswer(id);
  TMessageDlgInfo& info = MessageDlgInfo();
  info.OptionalMsgId = id;
  int32_t result = mrCancel;
  try {
    result = ShowMessageDlg(text, kind, buttons);
  } catch (...) {
    info.OptionalMsgId = 255;
    throw;
  }
  info.OptionalMsgId = 255;
  return result;
}

// ---- The plain kinds ----

std::string FormatMessageText(const std::string& format, const std::vector<std::string>& args) {
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's') {
      if (next < args.size()) out += args[next++];
      ++i;
    } else {
      out += format[i];
    }
  }
  return out;
}

int32_t ShowInfo(const std::string& text) { return ShowMessageDlg(text, mkInformation, kOK); }
int32_t ShowWarning(const std::string& text) { return ShowMessageDlg(text, mkWarning, kOK); }
int32_t ShowError(const std::string& text) { return ShowMessageDlg(text, mkError, kOK); }
int32_t ShowInfoFmt(const std::string& format, const std::string& arg) {
  return ShowInfo(FormatMessageText(format, {arg}));
}
int32_t ShowErrorFmt(const std::string& format, const std::string& arg) {
  return ShowError(FormatMessageText(format, {arg}));
}

// ---- Queued messages ----

std::deque<TQueuedMessage>& MessageQueue() {
  static std::deque<TQueuedMessage> queue;
  return queue;
}

void QueueMessage(const std::string& text, uint8_t kind, uint16_t buttons, uint8_t optionalMsgId) {
  if (MessagesSuppressed) return;
  MessageQueue().push_back({text, kind, buttons, optionalMsgId});
}

bool ShowQueuedMessage() {
  static bool showing = false;
  if (showing || MessageQueue().empty()) return false;
  TQueuedMessage m = MessageQueue().front();
  MessageQueue().pop_front();
  showing = true;
  try {
    if (m.OptionalMsgId == 255) ShowMessageDlg(m.Text, m.Kind, m.Buttons);
    else ShowOptionalMsg(m.Text, m.Kind, m.OptionalMsgId);
  } catch (...) {
    showing = false;
    throw;
  }
  showing = false;
  return true;
}

}  // namespace qv
