#pragma once
// Text on the X11 CLIPBOARD selection, for the X11 backend only (the headless backend keeps the
// in-process clipboard). Copying owns the selection and answers other programs' requests for
// UTF8_STRING, text/plain;charset=utf-8 and STRING; pasting asks the owner for the text and
// waits a bounded time, taking only the selection events meant for it.
//
// Line breaks: the controls keep "\r\n", other programs expect "\n"; text going out has its
// "\r\n" made "\n", text coming in has each lone "\n" made "\r\n".
#include <cstdint>
#include <memory>
#include <string>

#include "platform/win/clipboard_text.h"

// Xlib's own types, declared here so that this header does not pull Xlib in.
struct _XDisplay;
union _XEvent;

namespace plat {

class X11Clipboard {
 public:
  explicit X11Clipboard(_XDisplay* dpy);
  ~X11Clipboard();
  X11Clipboard(const X11Clipboard&) = delete;
  X11Clipboard& operator=(const X11Clipboard&) = delete;

  bool HasText();
  std::u16string GetText();
  void SetText(const std::u16string& text);

  // Handles the selection events addressed to the clipboard's window (requests from other
  // programs, the loss of ownership); false for every other event.
  bool HandleEvent(_XEvent& ev);
  // After the display connection was lost: no more Xlib calls (the text still pastes here).
  void Disconnect() { dpy_ = nullptr; }

  // How long a paste waits for the owner's answer.
  static constexpr int kWaitMs = 1000;

 private:
  struct Atoms;
  void Answer(_XEvent& request);
  bool Request(unsigned long target, std::string& bytes, unsigned long& type);
  bool WaitFor(int eventType, _XEvent& out);
  bool ReadIncremental(std::string& bytes);
  bool TakeProperty(unsigned long& type, std::string& bytes);

  _XDisplay* dpy_;
  unsigned long window_ = 0;
  std::unique_ptr<Atoms> atoms_;
  bool owned_ = false;
  bool timedOut_ = false;  // the last request got no answer in time
  std::string ownUtf8_;  // the text we offer, UTF-8 with "\n" line breaks
  std::u16string ownText_;
};

// The controls' clipboard over an X11Clipboard that the backend owns; the backend registers it
// with SetClipboardText and goes back to the in-process one before the clipboard goes.
class X11ClipboardText : public ClipboardText {
 public:
  explicit X11ClipboardText(X11Clipboard& clipboard) : clipboard_(clipboard) {}
  bool HasText() const override { return clipboard_.HasText(); }
  std::u16string GetText() const override { return clipboard_.GetText(); }
  void SetText(const std::u16string& text) override { clipboard_.SetText(text); }

 private:
  X11Clipboard& clipboard_;
};

// Conversions the clipboard uses (exposed for tests): UTF-16 with "\r\n" to UTF-8 with "\n"
// (lone surrogates become U+FFFD), and back (bad bytes become U+FFFD, "\n" becomes "\r\n").
std::string ClipboardTextToUtf8(const std::u16string& text);
std::u16string ClipboardTextFromUtf8(const std::string& bytes);

}  // namespace plat
