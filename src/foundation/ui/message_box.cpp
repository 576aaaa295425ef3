#include "foundation/ui/message_box.h"

#include "foundation/base/service_slot.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>

#include "foundation/settings/options_holder.h"
#include "foundation/settings/registry_ex.h"
#include "foundation/system/paths.h"
#include "foundation/ui/application.h"
#include "foundation/ui/interface_scale.h"
#include "foundation/ui/key_state.h"
#include "foundation/ui/rich_viewer.h"
#include "foundation/ui/sound_services.h"
#include "foundation/ui/toolkit_services.h"
#include "platform/controls/control_look.h"
#include "platform/controls/dialogs/notice_box.h"
#include "platform/gfx/canvas.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

namespace qv {

std::array<std::string, mbCount> MsgDlgButtonCaptions = {
    "&Yes", "&No", "OK", "Cancel", "&Abort", "&Retry", "&Ignore", "&All", "N&o to All",
    "Yes to &All", "&Help"};
uint8_t WideMsgButtons = 0;
std::function<void(TMessageDlgForm&)> MessageDlgShown;

namespace {

constexpr uint16_t kYesNo = 3, kYesNoCancel = 11, kOK = 4, kNoIgnore = 66;
constexpr uint16_t kAllButtons = 0x7FF;
constexpr int32_t kIconSize = 32;
constexpr uint16_t kSpellAsYouType = 0x80;

const char* const kKindTitles[4] = {"Warning", "Error", "Information", "Confirm"};

const char* const kListFormats[6] = {
    "", "^b%s^d", "^b%s^d or ^b%s^d", "^b%s^d, ^b%s^d, or ^b%s^d",
    "^b%s^d, ^b%s^d, ^b%s^d, or ^b%s^d", "^b%s^d, ^b%s^d, ^b%s^d, ^b%s^d, or ^b%s^d"};

const char* const kExplanation =
    "By checking the \"Do not ask again\" box in this dialog, you have instructed Quorvane not to "
    "ask this question again in the future. Even so, Quorvane still needs to know what course of "
    "action to take. Please click on the relevant button above (%s) and Quorvane will record your "
    "choice of action. Subsequently, the current dialog will not be shown any more, and in the "
    "future Quorvane will automatically behave according to these recorded instructions. Please "
    "be careful. Your choice of answer will become the default answer. This question will not be "
    "asked any more.^p^p^b^RCaution!^d ^BIf you have changed your mind and want Quorvane to ask "
    "this question whenever necessary^A, it is absolutely imperative that you clear the \"Do not "
    "ask again\" check box before pressing %s in this dialog.^p^pIn the future you might want to "
    "reactivate this prompt. This is done through the Quorvane \"Tools | Options > General > "
    "Optional Messages\" dialog. Note that the \"Optional Messages\" dialog can also be used to "
    "change the default behaviour associated with any of the Quorvane optional dialogs.";

const char* const kReenableInfo =
    "You have just disabled an optional message.\r\rTo re-enable it, choose the \"Tools | "
    "Options...\" menu command, and click the \"Optional Messages...\" button on the "
    "\"General\" tab.";

std::string WithoutAmpersands(const std::string& s) {
  std::string out;
  for (char c : s)
    if (c != '&') out += c;
  return out;
}

bool Has(uint16_t set, uint8_t button) { return (set & ButtonBit(button)) != 0; }

// The icon of a message kind, drawn in the interface's own style.
class TMsgDlgIcon : public plat::Control {
 public:
  explicit TMsgDlgIcon(uint8_t kind) : kind_(kind) {}
  uint8_t Kind() const { return kind_; }

 protected:
  void Paint(plat::PaintContext& pc) override {
    plat::Canvas& c = *pc.canvas;
    plat::Rect r = ClientRect();
    c.FillRect(r, BackColor());
    plat::Color fill = kind_ == mkWarning ? plat::Rgb(250, 190, 30)
                       : kind_ == mkError ? plat::Rgb(210, 40, 40)
                                          : plat::Rgb(40, 110, 200);
    c.SetPen({plat::PenStyle::Solid, 1, fill});
    c.SetBrush({plat::BrushStyle::Solid, fill});
    if (kind_ == mkWarning) {
      plat::Point tri[3] = {{r.Width() / 2, 1}, {r.right - 1, r.bottom - 2}, {0, r.bottom - 2}};
      c.Polygon(tri);
    } else {
      c.Ellipse({1, 1, r.right - 1, r.bottom - 1});
    }
    const char16_t* glyph = kind_ == mkWarning ? u"!" : kind_ == mkError ? u"\u00D7"
                            : kind_ == mkInformation ? u"i" : u"?";
    plat::LogFont lf;
    lf.FaceName = "Arial";
    lf.Height = -(r.Height() * 2 / 3);
    lf.Weight = 700;
    c.SetFont(plat::Font(lf));
    c.SetTextColor(kind_ == mkWarning ? plat::Rgb(0, 0, 0) : plat::Rgb(255, 255, 255));
    c.SetBkMode(plat::BkMode::Transparent);
    plat::Size ext = c.TextExtent(std::u16string_view(glyph));
    int32_t y = (r.Height() - ext.cy) / 2 + (kind_ == mkWarning ? r.Height() / 10 : 0);
    c.TextOut((r.Width() - ext.cx) / 2, y, std::u16string_view(glyph));
  }

 private:
  uint8_t kind_;
};

// The real box as the message-box service: everything ShowMessageDlg does once messages are
// not suppressed.
class TMessageBoxService : public TMessageDlgService {
 public:
  int32_t Show(const TMessageDlgInfo& info) override;
};

int32_t TMessageBoxService::Show(const TMessageDlgInfo& requested) {
  TMessageDlgInfo& info = MessageDlgInfo();
  const std::string text = requested.Text;
  const uint8_t kind = requested.Kind;
  const uint16_t buttons = requested.Buttons;
  TApp* app = AppExists() ? &GetApp() : nullptr;

  // No as-you-type checking while the box is up.
  uint16_t& spellFlags = GetOptions().Spellcheck.Flags2;
  const uint16_t savedSpell = spellFlags;
  ToolkitServices().SetSpellcheckSuspended((savedSpell & kSpellAsYouType) != 0);
  spellFlags = uint16_t(spellFlags & ~kSpellAsYouType);

  bool willShow = !OptionalMsgOff(info.OptionalMsgId);
  if (willShow && app && !app->Terminated) app->BringPopupToFront();
  bool appVisible = app && app->AppWindowVisible();
  if (willShow && kind < 4) SoundService().PlayEventSound(kSoundEventMessageBase + kind);

  int32_t result = mrCancel;
  std::string title = app ? app->Title : std::string();
  if (app && app->Terminated) {
    ShowSystemMessageBox(text, title, MB_OK);
  } else {
    try {
      info.Text = EscapeMenuCaption(text);
      info.Kind = kind;
      info.Buttons = buttons;
      result = ExecuteMessageDlg();
    } catch (...) {
      result = mrCancel;
      ShowSystemMessageBox(text, title, MB_OK);
    }
  }

  if (app && !appVisible) app->SetAppWindowVisible(false);
  spellFlags = savedSpell;
  ToolkitServices().SetSpellcheckSuspended(false);
  if (app && app->MainForm) {
    ToolkitServices().RequestInterfaceUpdate();
    ToolkitServices().MarkActiveEditForCaret();
  }
  return result;
}

}  // namespace

const char* MsgDlgCaption(uint8_t kind) { return kind < 4 ? kKindTitles[kind] : "Quorvane"; }

int32_t ExecuteMessageDlg() {
  TMessageDlgInfo& info = MessageDlgInfo();
  if (OptionalMsgOff(info.OptionalMsgId)) return OptionalMsgStoredAnswer(info.OptionalMsgId);
  uint16_t buttons = info.Buttons;
  int32_t result;
  {
    TMessageDlgForm form;
    form.OnShow = [](plat::Form& f) {
      if (MessageDlgShown) MessageDlgShown(static_cast<TMessageDlgForm&>(f));
    };
    result = form.ShowModal();
  }
  // Closed by Esc or the close box: a set without Cancel answers No, else OK.
  if (result == mrCancel && !Has(buttons, mbCancel)) result = Has(buttons, mbNo) ? mrNo : mrOk;
  return result;
}

// ---- The form ----

TMessageDlgForm::TMessageDlgForm() {
  TMessageDlgInfo& info = MessageDlgInfo();
  buttonSet_ = uint16_t(info.Buttons & kAllButtons);
  optionalMsgId_ = info.OptionalMsgId;
  const bool okOnly = buttonSet_ == kOK;
  SetBorderStyle(plat::BorderStyle::Dialog);
  SetKeyPreview(false);
  std::string title = !info.Caption.empty() ? info.Caption : MsgDlgCaption(info.Kind);
  info.Caption.clear();
  SetCaption(InterfaceText(title));

  const int32_t margin = ScaleUI(15), spacing = ScaleUI(13);
  const int32_t bw = ScaleUI(83 * (WideMsgButtons + 1)), bh = ScaleUI(23), gap = ScaleUI(6);
  const int32_t n = std::popcount(uint32_t(buttonSet_));
  const int32_t rowWidth = n > 0 ? (bw + gap) * (n - 1) + bw : 0;

  // The text, measured at the largest width the box allows.
  plat::Rect monitor = ToolkitServices().MainMonitorRect();
  const int32_t maxWidth = std::min(ScaleUI(450), monitor.Width() / 2);
  TextLabel = &Add<plat::Label>();
  TextLabel->SetAutoSize(false);
  TextLabel->SetWordWrap(true);
  std::u16string body = InterfaceText(info.Text);
  for (char16_t& ch : body)
    if (ch == u'\r') ch = u'\n';
  TextLabel->SetBounds(0, 0, maxWidth, 10);
  TextLabel->SetCaption(body);
  int32_t textWidth = 0;
  const plat::Font& font = GetFont();
  std::vector<std::u16string> lines = TextLabel->Lines();
  for (const auto& l : lines) textWidth = std::max(textWidth, plat::CaptionWidth(font, l));
  int32_t textHeight = int32_t(lines.size()) * font.Metrics().Height;
  int32_t textLeft = 0;
  const int32_t textW = textWidth;

  if (info.Kind < 4) {
    textLeft = margin + kIconSize;
    textWidth += margin + kIconSize;
    textHeight = std::max(textHeight, kIconSize);
    Icon = &Add<TMsgDlgIcon>(info.Kind);
    Icon->SetBounds(margin, spacing, kIconSize, kIconSize);
  }
  TextLabel->SetBounds(textLeft + margin, spacing, textW, textHeight);
  int32_t clientHeight = textHeight + bh + 3 * spacing;

  int32_t cbWidth = 0;
  if (optionalMsgId_ != 255) {
    CheckBox = &Add<plat::CheckBox>();
    CheckBox->SetCaption(okOnly ? u"Do not &show this message again" : u"Do not a&sk again");
    cbWidth = okOnly ? ScaleUI(180) : ScaleUI(110);
    int32_t cbHeight = SmallControlSize();
    CheckBox->SetBounds(margin / 2, textHeight + 2 * spacing + bh - cbHeight, cbWidth, cbHeight);
    CheckBox->SetTabStop(true);
    CheckBox->OnClick = [this](plat::Control&) { CheckBoxClick(); };
    if (!okOnly) {
      Bevel = &Add<plat::Panel>();
      Bevel->SetBevelOuter(plat::Bevel::Lowered);
      Bevel->SetVisible(false);
      Viewer = &Add<TRichViewer>();
      Viewer->SetVisible(false);
    }
  }
  const int32_t clientWidth =
      std::max(textWidth, (CheckBox ? cbWidth + 2 * margin : 0) + rowWidth) + 2 * margin;

  // Default and cancel buttons.
  uint8_t def = info.DefaultButton;
  if (def == 255)
    def = Has(buttonSet_, mbOK) ? mbOK : Has(buttonSet_, mbYes) ? mbYes
          : Has(buttonSet_, mbRetry) ? mbRetry : mbCancel;
  uint8_t cancel = Has(buttonSet_, mbCancel) ? mbCancel : Has(buttonSet_, mbNo) ? mbNo : mbOK;

  int32_t x = CheckBox ? cbWidth + 2 * margin + (clientWidth - cbWidth - 2 * margin - rowWidth) / 4
                       : (clientWidth - rowWidth) / 2;
  const int32_t top = textHeight + 2 * spacing;
  std::vector<uint8_t> order;
  for (uint8_t b = 0; b < mbCount; ++b)
    if (Has(buttonSet_, b) && b != info.LastButton) order.push_back(b);
  if (info.LastButton < mbCount && Has(buttonSet_, info.LastButton)) order.push_back(info.LastButton);
  std::vector<std::string> names;
  for (uint8_t b : order) {
    auto& btn = Add<plat::Button>();
    btn.SetCaption(InterfaceText(MsgDlgButtonCaptions[b]));
    btn.SetModalResult(MsgDlgModalResult(b));
    btn.SetTag(b);
    btn.SetTabStop(true);
    btn.SetBounds(x, top, bw, bh);
    if (b == def) {
      btn.SetDefault(true);
      DefaultBtn = &btn;
    }
    if (b == cancel) {
      btn.SetCancel(true);
      CancelBtn = &btn;
    }
    btn.OnClick = [this](plat::Control& c) { ButtonClick(static_cast<plat::Button&>(c)); };
    if (MsgDlgModalResult(b) != mrCancel) names.push_back(WithoutAmpersands(MsgDlgButtonCaptions[b]));
    Buttons.push_back(&btn);
    x += bw + gap;
  }
  info.DefaultButton = 255;
  info.LastButton = 255;
  if (DefaultBtn) SetActiveControl(DefaultBtn);

  if (Viewer) {
    Viewer->Margin = 4;
    Viewer->SetBackColor(plat::clInfoBk);
    Viewer->FontSize = 8;
    int32_t vw = clientWidth - margin - 4;
    Viewer->SetBounds(margin / 2 + 2, clientHeight, vw, 100);
    size_t count = std::min<size_t>(names.size(), 5);
    std::string list = FormatMessageText(kListFormats[count], names);
    Viewer->SetText(FormatMessageText(kExplanation, {list, list}));
    Viewer->SetHeight(int32_t(Viewer->Lines().size()) * Viewer->LineHeight + 2 * 4);
    plat::Rect v = Viewer->BoundsRect();
    Bevel->SetBounds(v.left - 2, v.top - 2, v.Width() + 4, v.Height() + 4);
  }

  SetClientSize(clientWidth, clientHeight);
  plat::Rect b = BoundsRect();
  SetBounds(monitor.left + monitor.Width() / 2 - b.Width() / 2,
            monitor.top + monitor.Height() / 2 - b.Height() / 2, b.Width(), b.Height());
}

TMessageDlgForm::~TMessageDlgForm() = default;

void TMessageDlgForm::CheckBoxClick() {
  if (buttonSet_ == kOK || !Viewer || !CheckBox) return;
  bool checked = CheckBox->Checked();
  plat::Rect v = Viewer->BoundsRect();
  SetClientSize(ClientRect().Width(), checked ? v.bottom + ScaleUI(8) : v.top);
  Viewer->SetVisible(checked);
  Bevel->SetVisible(checked);
  plat::Rect work = GetWorkArea();
  plat::Rect monitor = ToolkitServices().MainMonitorRect();
  SetTop(std::min(Top(), work.bottom + monitor.top - Height()));
}

void TMessageDlgForm::ButtonClick(plat::Button& sender) {
  if (!CheckBox || !CheckBox->Checked()) return;
  if (sender.Tag() == mbCancel) return;
  if (&sender == CancelBtn && IsKeyDown(plat::VK_ESCAPE)) return;
  SetOptionalMsgState(optionalMsgId_, uint8_t(sender.Tag() + 128));
  if (buttonSet_ == kOK) {
    TMessageDlgInfo& info = MessageDlgInfo();
    uint8_t saved = info.OptionalMsgId;
    info.OptionalMsgId = 255;
    ShowInfo(kReenableInfo);
    info.OptionalMsgId = saved;
  }
}

void InstallMessageBox() { RegisterMessageDlgService(std::make_unique<TMessageBoxService>()); }

bool IsMessageBoxInstalled() {
  return dynamic_cast<TMessageBoxService*>(&MessageDlgService()) != nullptr;
}

// ---- The plain box ----

namespace {

int g_plainBoxDepth = 0;

int32_t PlainMessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
  if (!plat::IsWindowSystemStarted()) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return IDOK;
  }
  std::string body = text;
  for (char& c : body)
    if (c == '\r') c = '\n';
  struct Depth {
    Depth() { ++g_plainBoxDepth; }
    ~Depth() { --g_plainBoxDepth; }
  } depth;
  if ((flags & 0xF) == MB_YESNO) return plat::AskYesNo(body, caption) ? IDYES : IDNO;
  plat::ShowNotice(body, caption);
  return IDOK;
}

}  // namespace

int32_t TSystemMessageBox::Show(const std::string& text, const std::string& caption,
                                uint32_t flags) {
  return PlainMessageBox(text, caption, flags);
}

void RegisterSystemMessageBox(std::unique_ptr<TSystemMessageBox> box) {
  RegisterService(std::move(box));
}

TSystemMessageBox& SystemMessageBox() { return Service<TSystemMessageBox>(); }

int32_t ShowSystemMessageBox(const std::string& text, const std::string& caption, uint32_t flags) {
  return SystemMessageBox().Show(text, caption, flags);
}

bool SystemMessageBoxShowing() { return g_plainBoxDepth > 0; }

// ---- Shared small routines ----

plat::Rect GetWorkArea() { return ToolkitServices().WorkArea(); }

void AdjustForAutoHideTaskbar(int32_t&, int32_t&, int32_t&, int32_t&) {}

int32_t GetPaddedBorderWidth() { return 0; }

void PlaySystemBeep(uint32_t type) {
  static const struct {
    uint32_t type;
    const char* name;
  } kEvents[] = {{0x20, "Question"}, {0x40, "Asterisk"}, {0x10, "Hand"}, {0x30, "Exclamation"}};
  auto beep = [] {
    if (plat::IsWindowSystemStarted()) plat::MessageBeep();
  };
  for (const auto& e : kEvents) {
    if (e.type != type) continue;
    std::string key = std::string("AppEvents\\Schemes\\Apps\\.Default\\System") + e.name + "\\.Current";
    std::string sound;
    try {
      TRegistryEx reg;
      if (reg.KeyExists(key)) {
        reg.OpenKey(key);
        reg.ReadString("", "", sound);
      }
    } catch (...) {
      sound.clear();
    }
    if (!sound.empty()) {
      beep();
      return;
    }
    if (type != 0x20) return;
    type = 0x30;  // Question falls back on Exclamation
  }
  beep();  // a type without an event of its own
}

void FillInts(int32_t* buffer, int32_t count, int32_t value) {
  if (count > 0) std::fill(buffer, buffer + count, value);
}

void FillIntsUnset(int32_t* buffer, int32_t count) {
  FillInts(buffer, count, int32_t(0x80000000u));
}

void MoveInts(const int32_t*& source, int32_t*& destination, int32_t count) {
  if (count <= 0) return;
  std::memmove(destination, source, size_t(count) * sizeof(int32_t));
  source += count;
  destination += count;
}

}  // namespace qv
