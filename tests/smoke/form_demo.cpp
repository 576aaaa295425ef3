// A small program for the smoke tests of the real X11 backend. Modes:
//   form_demo dialog OUT.png   shows a dialog with the standard controls and saves its image
//   form_demo message OUT.png  shows an optional message with its explanation and the "ask
//                              again" box, and saves its image
//   form_demo lost MARKER      shows a form and runs until the session ends; the session-end
//                              handling writes MARKER (the display going away must end it so)
//   form_demo copy FILE        copies the UTF-8 text of FILE to the clipboard and serves it
//                              until the session ends (SIGTERM)
//   form_demo paste FILE       pastes the clipboard into a memo and writes its text to FILE
//   form_demo layouts FILE     writes the installed keyboard layouts (hex, current first)
// Exit code 0 on success, 1 on failure, 2 when no X display could be used.
#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "foundation/ui/application.h"
#include "foundation/ui/message_box.h"
#include "platform/backend/x11_clipboard.h"
#include "platform/controls/button.h"
#include "platform/controls/check_box.h"
#include "platform/controls/combo_box.h"
#include "platform/controls/edit.h"
#include "platform/controls/form.h"
#include "platform/controls/group_box.h"
#include "platform/controls/label.h"
#include "platform/controls/list_box.h"
#include "platform/controls/memo.h"
#include "platform/controls/radio_button.h"
#include "platform/system/keyboard_layouts.h"
#include "platform/win/input.h"
#include "platform/win/window_system.h"

using namespace qv;

namespace {

// Lets the X server map and expose the window, then paints what is pending.
void Settle() {
  for (int i = 0; i < 10; ++i) {
    plat::PumpPending();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
  }
  plat::PumpPending();
}

// A left click in the middle of a control, given to the window system as the backend gives
// the mouse events it reads.
void ClickControl(plat::Control& c) {
  plat::Hwnd top = plat::GetTopLevel(c.Handle());
  plat::Point centre = c.ClientToScreen({c.Width() / 2, c.Height() / 2});
  plat::Rect frame = plat::GetWindowScreenRect(top);
  plat::Point p{centre.x - frame.left, centre.y - frame.top};
  plat::input::MouseMove(top, p);
  plat::input::MouseButton(top, p, plat::input::Button::Left, true);
  plat::input::MouseButton(top, p, plat::input::Button::Left, false);
  plat::PumpPending();
}

struct DemoDialog {
  plat::Form form;
  plat::Label& nameLabel = form.Add<plat::Label>();
  plat::Edit& name = form.Add<plat::Edit>();
  plat::Label& sizeLabel = form.Add<plat::Label>();
  plat::Edit& size = form.Add<plat::Edit>();
  plat::GroupBox& align = form.Add<plat::GroupBox>();
  plat::RadioButton& left = align.Add<plat::RadioButton>();
  plat::RadioButton& centre = align.Add<plat::RadioButton>();
  plat::RadioButton& right = align.Add<plat::RadioButton>();
  plat::CheckBox& bold = form.Add<plat::CheckBox>();
  plat::CheckBox& italic = form.Add<plat::CheckBox>();
  plat::Label& fontLabel = form.Add<plat::Label>();
  plat::ComboBox& font = form.Add<plat::ComboBox>();
  plat::Label& styleLabel = form.Add<plat::Label>();
  plat::ListBox& styles = form.Add<plat::ListBox>();
  plat::Button& ok = form.Add<plat::Button>();
  plat::Button& cancel = form.Add<plat::Button>();

  DemoDialog() {
    form.SetCaption(u"Character and Paragraph");
    form.SetBorderStyle(plat::BorderStyle::Dialog);
    form.SetBounds(200, 150, 420, 330);
    Place(nameLabel, u"&Name:", 12, 14, 70, 15);
    nameLabel.SetFocusControl(&name);
    name.SetBounds(90, 10, 150, 21);
    name.SetText(u"Heading 1");
    Place(sizeLabel, u"Si&ze:", 12, 44, 70, 15);
    sizeLabel.SetFocusControl(&size);
    size.SetBounds(90, 40, 60, 21);
    size.SetText(u"14");
    align.SetCaption(u"Alignment");
    align.SetBounds(12, 74, 140, 96);
    Place(left, u"&Left", 12, 20, 110, 17);
    Place(centre, u"&Centre", 12, 44, 110, 17);
    Place(right, u"&Right", 12, 68, 110, 17);
    centre.SetChecked(true);
    Place(bold, u"&Bold", 170, 80, 100, 17);
    bold.SetChecked(true);
    Place(italic, u"&Italic", 170, 104, 100, 17);
    Place(fontLabel, u"&Font:", 250, 14, 50, 15);
    fontLabel.SetFocusControl(&font);
    font.SetBounds(250, 32, 150, 23);
    font.SetItems({u"Liberation Serif", u"Liberation Sans", u"DejaVu Sans Mono"});
    font.SetItemIndex(0);
    Place(styleLabel, u"&Styles:", 12, 180, 70, 15);
    styleLabel.SetFocusControl(&styles);
    styles.SetBounds(12, 198, 250, 84);
    styles.SetItems({u"Normal", u"Heading 1", u"Heading 2", u"Quotation", u"Footnote Text"});
    styles.SetItemIndex(1);
    Place(ok, u"OK", 320, 226, 80, 25);
    ok.SetDefault(true);
    ok.SetModalResult(plat::mrOk);
    Place(cancel, u"Cancel", 320, 258, 80, 25);
    cancel.SetCancel(true);
    cancel.SetModalResult(plat::mrCancel);
  }

  static void Place(plat::Control& c, const char16_t* caption, int32_t x, int32_t y, int32_t w, int32_t h) {
    c.SetCaption(caption);
    c.SetBounds(x, y, w, h);
  }
};

int ShowDialog(const std::string& out) {
  DemoDialog d;
  d.form.Show();
  d.name.SetFocus();
  Settle();
  plat::SaveWindowPng(d.form.Handle(), out);
  return 0;
}

int ShowMessage(const std::string& out) {
  bool saved = false;
  MessageDlgShown = [&](TMessageDlgForm& box) {
    // The user clicks the box: the explanation opens under the buttons.
    if (box.CheckBox) ClickControl(*box.CheckBox);
    Settle();
    plat::SaveWindowPng(box.Handle(), out);
    saved = true;
    box.SetModalResult(plat::mrNo);
  };
  ShowOptionalMsg("The \"Garamond Premier\" font is unavailable on this system. Use this font anyway?",
                  mkConfirmation, 10);
  MessageDlgShown = nullptr;
  return saved ? 0 : 1;
}

int WaitForLostDisplay(const std::string& marker) {
  plat::Form form;
  form.SetCaption(u"Waiting");
  form.SetBounds(100, 100, 200, 100);
  form.Show();
  TApp& app = GetApp();
  app.OnEndSession = [&] { std::ofstream(marker) << "session ended\n"; };
  std::printf("ready\n");
  std::fflush(stdout);
  while (!app.Terminated) app.HandleMessage();
  return 0;
}

int CopyText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string utf8((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  plat::GetClipboardText().SetText(plat::ClipboardTextFromUtf8(utf8));
  TApp& app = GetApp();
  plat::InstallSessionEndSignal();
  std::printf("ready\n");
  std::fflush(stdout);
  while (!app.Terminated) app.HandleMessage();
  return 0;
}

int PasteText(const std::string& path) {
  plat::Form form;
  form.SetBounds(100, 100, 300, 200);
  plat::Memo& memo = form.Add<plat::Memo>();
  memo.SetBounds(0, 0, 300, 200);
  form.Show();
  Settle();
  memo.PasteFromClipboard();
  std::ofstream(path, std::ios::binary) << plat::ClipboardTextToUtf8(memo.Text());
  return 0;
}

int WriteLayouts(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) return 1;
  std::fprintf(f, "%08X", plat::GetKeyboardLayout());
  for (uint32_t id : plat::GetKeyboardLayoutList()) std::fprintf(f, " %08X", id);
  std::fprintf(f, "\n");
  std::fclose(f);
  return 0;
}

int Run(const std::string& mode, const std::string& arg) {
  GetApp();
  if (mode == "dialog") return ShowDialog(arg);
  if (mode == "message") return ShowMessage(arg);
  if (mode == "lost") return WaitForLostDisplay(arg);
  if (mode == "copy") return CopyText(arg);
  if (mode == "paste") return PasteText(arg);
  if (mode == "layouts") return WriteLayouts(arg);
  std::fprintf(stderr, "form_demo: unknown mode \"%s\"\n", mode.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: form_demo dialog|message|lost|copy|paste|layouts PATH\n");
    return 1;
  }
  try {
    plat::StartWindowSystem({plat::BackendKind::X11});
  } catch (const std::exception& e) {
    std::fprintf(stderr, "form_demo: %s\n", e.what());
    return 2;
  }
  int code = 1;
  try {
    code = Run(argv[1], argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "form_demo: %s\n", e.what());
  }
  FreeApp();
  plat::StopWindowSystem();
  return code;
}
