#include "foundation/ui/message_dlg_service.h"

#include <utility>

#include "foundation/base/service_slot.h"

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

}  // namespace qv
