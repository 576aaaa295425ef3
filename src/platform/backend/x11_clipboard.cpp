#include "platform/backend/x11_clipboard.h"

#include <poll.h>

#include <chrono>
#include <utility>
#include <vector>

#include "platform/system/utf_codec.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace plat {

struct X11Clipboard::Atoms {
  Atom clipboard, targets, utf8, textPlain, incr, property;
};

namespace {

// The next code point of UTF-8 at i (advanced past it); U+FFFD for a bad sequence.
char32_t NextCodePoint(const std::string& s, size_t& i) {
  const Utf8Sequence seq = ReadUtf8Sequence(s, i);
  if (seq.length == 0) {
    ++i;
    return 0xFFFD;
  }
  i += seq.length;
  return seq.IsCharacter() ? seq.value : 0xFFFD;
}

std::string Latin1ToUtf8(const std::string& bytes) {
  std::string out;
  for (char b : bytes) AppendUtf8(out, static_cast<unsigned char>(b));
  return out;
}

std::string Utf8ToLatin1(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size();) {
    char32_t c = NextCodePoint(utf8, i);
    out += c < 0x100 ? char(c) : '?';
  }
  return out;
}

}  // namespace

std::string ClipboardTextToUtf8(const std::u16string& text) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      ++i;  // a line break is a single LF on X
      continue;
    }
    AppendUtf8(out, NextUtf16CodePoint(text, i));
  }
  return out;
}

std::u16string ClipboardTextFromUtf8(const std::string& bytes) {
  std::u16string out;
  char32_t prev = 0;
  for (size_t i = 0; i < bytes.size();) {
    char32_t c = NextCodePoint(bytes, i);
    if (c == U'\n' && prev != U'\r') out += u'\r';
    AppendUtf16(out, c);
    prev = c;
  }
  return out;
}

X11Clipboard::X11Clipboard(_XDisplay* dpy) : dpy_(dpy), atoms_(std::make_unique<Atoms>()) {
  window_ = XCreateSimpleWindow(dpy_, DefaultRootWindow(dpy_), -10, -10, 1, 1, 0, 0, 0);
  XSelectInput(dpy_, window_, PropertyChangeMask);
  atoms_->clipboard = XInternAtom(dpy_, "CLIPBOARD", False);
  atoms_->targets = XInternAtom(dpy_, "TARGETS", False);
  atoms_->utf8 = XInternAtom(dpy_, "UTF8_STRING", False);
  atoms_->textPlain = XInternAtom(dpy_, "text/plain;charset=utf-8", False);
  atoms_->incr = XInternAtom(dpy_, "INCR", False);
  atoms_->property = XInternAtom(dpy_, "QUORVANE_CLIPBOARD", False);
}

X11Clipboard::~X11Clipboard() {
  if (dpy_) XDestroyWindow(dpy_, window_);
}

void X11Clipboard::SetText(const std::u16string& text) {
  ownText_ = text;
  ownUtf8_ = ClipboardTextToUtf8(text);
  owned_ = true;
  if (!dpy_) return;
  XSetSelectionOwner(dpy_, atoms_->clipboard, window_, CurrentTime);
  // Another program may have taken it back at once; the text then stays ours only here.
  owned_ = XGetSelectionOwner(dpy_, atoms_->clipboard) == window_;
  XFlush(dpy_);
}

bool X11Clipboard::HasText() {
  if (owned_ || !dpy_) return owned_;
  if (XGetSelectionOwner(dpy_, atoms_->clipboard) == None) return false;
  std::string bytes;
  Atom type = None;
  // An owner that does not list its targets may still give text: let the paste ask.
  if (!Request(atoms_->targets, bytes, type) || type != XA_ATOM) return dpy_ && !timedOut_;
  std::vector<Atom> targets(bytes.size() / sizeof(Atom));
  for (size_t k = 0; k < targets.size(); ++k) targets[k] = reinterpret_cast<const Atom*>(bytes.data())[k];
  for (Atom t : targets)
    if (t == atoms_->utf8 || t == atoms_->textPlain || t == XA_STRING) return true;
  return false;
}

std::u16string X11Clipboard::GetText() {
  if (owned_ || !dpy_) return owned_ ? ownText_ : std::u16string();
  if (XGetSelectionOwner(dpy_, atoms_->clipboard) == None) return {};
  std::string bytes;
  Atom type = None;
  for (Atom target : {atoms_->utf8, atoms_->textPlain, Atom(XA_STRING)}) {
    if (!Request(target, bytes, type)) {
      if (timedOut_) break;  // an owner that does not answer is not asked again
      continue;
    }
    return ClipboardTextFromUtf8(type == XA_STRING ? Latin1ToUtf8(bytes) : bytes);
  }
  return {};
}

bool X11Clipboard::HandleEvent(_XEvent& ev) {
  if (!dpy_) return false;
  if (ev.type == SelectionRequest && ev.xselectionrequest.owner == window_) {
    Answer(ev);
    return true;
  }
  if (ev.type == SelectionClear && ev.xselectionclear.window == window_) {
    if (ev.xselectionclear.selection == atoms_->clipboard) owned_ = false;
    return true;
  }
  return false;
}

// Puts the text on the requestor's property in the form asked for and tells it; a target we do
// not have (or text too large for one request) is refused with property None.
void X11Clipboard::Answer(_XEvent& request) {
  const XSelectionRequestEvent& r = request.xselectionrequest;
  XEvent reply{};
  reply.xselection.type = SelectionNotify;
  reply.xselection.requestor = r.requestor;
  reply.xselection.selection = r.selection;
  reply.xselection.target = r.target;
  reply.xselection.time = r.time;
  reply.xselection.property = None;
  // Obsolete clients leave the property None: the target's name is the property then.
  Atom property = r.property == None ? r.target : r.property;
  bool ours = owned_ && r.selection == atoms_->clipboard;
  long maxBytes = XExtendedMaxRequestSize(dpy_) > 0 ? XExtendedMaxRequestSize(dpy_) * 4 : XMaxRequestSize(dpy_) * 4;
  maxBytes -= 1024;
  if (ours && r.target == atoms_->targets) {
    Atom targets[] = {atoms_->targets, atoms_->utf8, atoms_->textPlain, XA_STRING};
    XChangeProperty(dpy_, r.requestor, property, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(targets), 4);
    reply.xselection.property = property;
  } else if (ours && (r.target == atoms_->utf8 || r.target == atoms_->textPlain || r.target == XA_STRING)) {
    std::string data = r.target == XA_STRING ? Utf8ToLatin1(ownUtf8_) : ownUtf8_;
    if (long(data.size()) <= maxBytes) {
      XChangeProperty(dpy_, r.requestor, property, r.target, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(data.data()), int(data.size()));
      reply.xselection.property = property;
    }
  }
  XSendEvent(dpy_, r.requestor, False, NoEventMask, &reply);
  XFlush(dpy_);
}

// Waits (at most kWaitMs in all) for an event of the type on the clipboard's window; other
// events stay queued for the backend.
bool X11Clipboard::WaitFor(int eventType, _XEvent& out) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (dpy_) {
    if (XCheckTypedWindowEvent(dpy_, window_, eventType, &out)) return true;
    // A request to us meanwhile (another program pasting what we copied) is answered at once.
    XEvent request;
    while (dpy_ && XCheckTypedWindowEvent(dpy_, window_, SelectionRequest, &request)) Answer(request);
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || !dpy_) return false;
    pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
    poll(&fd, 1, int(left.count()));
    // Reading notices a broken connection (the backend then disconnects the clipboard).
    XEventsQueued(dpy_, QueuedAfterReading);
  }
  return false;
}

// Asks the owner for the selection in a target; true with the bytes and their type.
bool X11Clipboard::Request(unsigned long target, std::string& bytes, unsigned long& type) {
  bytes.clear();
  XDeleteProperty(dpy_, window_, atoms_->property);
  XConvertSelection(dpy_, atoms_->clipboard, target, atoms_->property, window_, CurrentTime);
  XFlush(dpy_);
  XEvent ev;
  timedOut_ = !WaitFor(SelectionNotify, ev);
  if (timedOut_ || ev.xselection.property == None) return false;
  std::string value;
  if (!TakeProperty(type, value)) return false;
  if (type == atoms_->incr) return ReadIncremental(bytes);
  bytes = std::move(value);
  return type != None;
}

// Reads our property whole and deletes it; false when it cannot be read.
bool X11Clipboard::TakeProperty(unsigned long& type, std::string& bytes) {
  Atom actualType = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy_, window_, atoms_->property, 0, 0x7FFFFFFF, True, AnyPropertyType, &actualType,
                         &format, &count, &after, &data) != Success)
    return false;
  type = actualType;
  bytes.clear();
  if (data) {
    size_t unit = format == 32 ? sizeof(long) : size_t(format / 8);
    bytes.assign(reinterpret_cast<const char*>(data), count * unit);
    XFree(data);
  }
  return true;
}

// The owner sends a large text in pieces: each new value of the property is the next piece, an
// empty one ends it.
bool X11Clipboard::ReadIncremental(std::string& bytes) {
  for (;;) {
    XEvent ev;
    do {
      if (!WaitFor(PropertyNotify, ev)) return false;
    } while (ev.xproperty.atom != atoms_->property || ev.xproperty.state != PropertyNewValue);
    unsigned long type = None;
    std::string piece;
    if (!TakeProperty(type, piece)) return false;
    if (piece.empty()) return true;
    bytes += piece;
  }
}

}  // namespace plat
