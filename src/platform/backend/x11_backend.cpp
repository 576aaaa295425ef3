// The X11 backend: each top-level window is an X window showing the image the layer painted
// (copied with XPutImage); keyboard input goes through the input method.
#include <poll.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/backend/backends.h"
#include "platform/backend/x11_clipboard.h"
#include "platform/backend/x11_keyboard_layouts.h"
#include "platform/backend/x11_keymap.h"
#include "platform/win/clipboard_text.h"
#include "platform/gfx/bitmap.h"
#include "platform/system/utf_codec.h"
#include "platform/win/input.h"
#include "platform/win/keys.h"
#include "platform/win/window_system.h"

// X11 last: its macros (CursorShape, None, Status ...) would clash with the layer's names.
#include <X11/Xatom.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#undef CursorShape

namespace plat {
namespace {

constexpr KeySym kAltGrKeysym = 0xFE03;  // ISO level 3 shift

// The connection to the display is gone (the server ended or the socket broke). Xlib calls
// this first, then the display's exit handler below instead of ending the process.
int NoteIOError(Display*) {
  std::fprintf(stderr, "Quorvane: the connection to the X display was lost\n");
  return 0;
}

int IgnoreXError(Display* dpy, XErrorEvent* e) {
  char text[128];
  XGetErrorText(dpy, e->error_code, text, sizeof text);
  std::fprintf(stderr, "Quorvane: X error ignored: %s (request %d)\n", text, e->request_code);
  return 0;
}

// The code points of UTF-8 from the input method; U+FFFD for each byte that starts no
// complete sequence.
std::vector<char32_t> DecodeUtf8(const char* s, size_t n) {
  const std::string_view bytes(s, n);
  std::vector<char32_t> out;
  for (size_t i = 0; i < n;) {
    const Utf8Sequence seq = ReadUtf8Sequence(bytes, i);
    out.push_back(seq.length == 0 ? 0xFFFD : seq.value);
    i += seq.length == 0 ? 1 : seq.length;
  }
  return out;
}

unsigned int CursorFontShape(CursorShape s) {
  switch (s) {
    case CursorShape::IBeam: return XC_xterm;
    case CursorShape::Wait: return XC_watch;
    case CursorShape::AppStarting: return XC_watch;
    case CursorShape::Cross: return XC_crosshair;
    case CursorShape::SizeNS: return XC_sb_v_double_arrow;
    case CursorShape::SizeWE: return XC_sb_h_double_arrow;
    case CursorShape::SizeNWSE: return XC_bottom_right_corner;
    case CursorShape::SizeNESW: return XC_bottom_left_corner;
    case CursorShape::SizeAll: return XC_fleur;
    case CursorShape::No: return XC_X_cursor;
    case CursorShape::Hand: return XC_hand2;
    default: return XC_left_ptr;
  }
}

struct XWin {
  ::Window xid = 0;
  XIC ic = nullptr;
  bool mapped = false;
  bool focusWhenMapped = false;
  bool iconic = false;
  Rect bounds;
};

class X11Backend : public Backend {
 public:
  X11Backend() {
    if (std::strcmp(std::setlocale(LC_CTYPE, nullptr), "C") == 0) std::setlocale(LC_CTYPE, "");
    if (!XSupportsLocale()) std::setlocale(LC_CTYPE, "C.UTF-8");
    XSetLocaleModifiers("");
    dpy_ = XOpenDisplay(nullptr);
    if (!dpy_) {
      const char* name = std::getenv("DISPLAY");
      throw WindowSystemError(std::string("cannot open the X display \"") + (name ? name : "") + "\"");
    }
    XSetErrorHandler(IgnoreXError);
    // A lost connection ends the session the ordinary way (settings saved, shutdown order run)
    // rather than Xlib ending the process; the backend makes no Xlib call on it afterwards.
    XSetIOErrorHandler(NoteIOError);
    XSetIOErrorExitHandler(dpy_, OnConnectionLost, this);
    Bool detectable = False;
    XkbSetDetectableAutoRepeat(dpy_, True, &detectable);
    screen_ = DefaultScreen(dpy_);
    visual_ = DefaultVisual(dpy_, screen_);
    depth_ = DefaultDepth(dpy_, screen_);
    im_ = XOpenIM(dpy_, nullptr, nullptr, nullptr);
    wmProtocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", False);
    wmDelete_ = XInternAtom(dpy_, "WM_DELETE_WINDOW", False);
    netWmName_ = XInternAtom(dpy_, "_NET_WM_NAME", False);
    utf8String_ = XInternAtom(dpy_, "UTF8_STRING", False);
    numLockMask_ = FindNumLockMask();
    clipboard_ = std::make_unique<X11Clipboard>(dpy_);
    SetClipboardText(std::make_unique<X11ClipboardText>(*clipboard_));
    auto layouts = std::make_unique<X11KeyboardLayoutSource>(dpy_);
    layouts_ = layouts.get();
    SetKeyboardLayoutSource(std::move(layouts));
  }

  ~X11Backend() override {
    SetClipboardText(nullptr);  // the controls go back to the in-process clipboard
    clipboard_.reset();
    SetKeyboardLayoutSource(nullptr);  // and the layouts to the fixed list
    layouts_ = nullptr;
    if (lost_) {
      // Nothing on the server to free, and Xlib must not touch the socket: only the GC's
      // client-side record is given back (XFree sends no request).
      if (gc_) XFree(gc_);
      return;
    }
    for (auto& [h, w] : wins_) {
      if (w.ic) XDestroyIC(w.ic);
      XDestroyWindow(dpy_, w.xid);
    }
    for (auto& [shape, c] : cursors_) XFreeCursor(dpy_, c);
    if (gc_) XFreeGC(dpy_, gc_);
    if (im_) XCloseIM(im_);
    XCloseDisplay(dpy_);
  }

  const char* Name() const override { return "x11"; }

  void CreateTopLevel(Hwnd hwnd, const TopLevelInfo& info) override {
    if (lost_) return;
    XSetWindowAttributes a{};
    a.background_pixel = WhitePixel(dpy_, screen_);
    a.bit_gravity = NorthWestGravity;
    // Frameless popups (menus, lists, hints) are placed by the program, not the window manager.
    bool popup = (info.style & WS_POPUP) && (info.style & WS_CAPTION) != WS_CAPTION;
    a.override_redirect = popup ? True : False;
    a.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                   EnterWindowMask | FocusChangeMask | ExposureMask | StructureNotifyMask;
    Rect b = info.bounds;
    XWin w;
    w.bounds = b;
    w.xid = XCreateWindow(dpy_, RootWindow(dpy_, screen_), b.left, b.top, unsigned(std::max(1, b.Width())),
                          unsigned(std::max(1, b.Height())), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWBitGravity | CWOverrideRedirect | CWEventMask, &a);
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = b.left;
    hints.y = b.top;
    hints.width = b.Width();
    hints.height = b.Height();
    XSetWMNormalHints(dpy_, w.xid, &hints);
    XClassHint cls{const_cast<char*>("quorvane"), const_cast<char*>("Quorvane")};
    XSetClassHint(dpy_, w.xid, &cls);
    XSetWMProtocols(dpy_, w.xid, &wmDelete_, 1);
    if (info.owner) {
      auto it = wins_.find(info.owner);
      if (it != wins_.end()) XSetTransientForHint(dpy_, w.xid, it->second.xid);
    }
    if (im_) {
      w.ic = XCreateIC(im_, XNInputStyle, XIMPreeditNothing | XIMStatusNothing, XNClientWindow, w.xid,
                       XNFocusWindow, w.xid, nullptr);
      if (w.ic) {
        long filter = 0;
        XGetICValues(w.ic, XNFilterEvents, &filter, nullptr);
        XSelectInput(dpy_, w.xid, a.event_mask | filter);
      }
    }
    byX_[w.xid] = hwnd;
    wins_[hwnd] = w;
    SetTopLevelTitle(hwnd, info.title);
  }

  void DestroyTopLevel(Hwnd hwnd) override {
    if (lost_) return;
    auto it = wins_.find(hwnd);
    if (it == wins_.end()) return;
    if (it->second.ic) XDestroyIC(it->second.ic);
    byX_.erase(it->second.xid);
    XDestroyWindow(dpy_, it->second.xid);
    wins_.erase(it);
    XFlush(dpy_);
  }

  void ShowTopLevel(Hwnd hwnd, bool show, bool activate) override {
    if (lost_) return;
    XWin* w = Get(hwnd);
    if (!w) return;
    if (show) {
      XMapRaised(dpy_, w->xid);
      w->focusWhenMapped = activate;
    } else {
      XUnmapWindow(dpy_, w->xid);
      w->mapped = false;
    }
    XFlush(dpy_);
  }

  void SetTopLevelBounds(Hwnd hwnd, const Rect& b) override {
    if (lost_) return;
    XWin* w = Get(hwnd);
    if (!w || w->bounds == b) return;
    w->bounds = b;
    XMoveResizeWindow(dpy_, w->xid, b.left, b.top, unsigned(std::max(1, b.Width())),
                      unsigned(std::max(1, b.Height())));
  }

  void SetTopLevelTitle(Hwnd hwnd, const std::u16string& title) override {
    if (lost_) return;
    XWin* w = Get(hwnd);
    if (!w) return;
    std::string utf8 = Utf16ToUtf8(title);
    XChangeProperty(dpy_, w->xid, netWmName_, utf8String_, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(utf8.data()), int(utf8.size()));
    std::string latin;
    for (char16_t c : title) latin += c < 0x100 ? char(c) : '?';
    XStoreName(dpy_, w->xid, latin.c_str());
  }

  void RaiseTopLevel(Hwnd hwnd) override {
    if (lost_) return;
    if (XWin* w = Get(hwnd)) XRaiseWindow(dpy_, w->xid);
  }

  void SetTopLevelState(Hwnd hwnd, WindowState state) override {
    if (lost_) return;
    XWin* w = Get(hwnd);
    if (!w) return;
    if (state == WindowState::Minimized) {
      XIconifyWindow(dpy_, w->xid, screen_);
    } else {
      if (w->iconic) XMapRaised(dpy_, w->xid);
      // Ask the window manager for the maximised state (the layer sets the bounds itself too).
      XEvent e{};
      e.xclient.type = ClientMessage;
      e.xclient.window = w->xid;
      e.xclient.message_type = XInternAtom(dpy_, "_NET_WM_STATE", False);
      e.xclient.format = 32;
      e.xclient.data.l[0] = state == WindowState::Maximized ? 1 : 0;  // add or remove
      e.xclient.data.l[1] = long(XInternAtom(dpy_, "_NET_WM_STATE_MAXIMIZED_VERT", False));
      e.xclient.data.l[2] = long(XInternAtom(dpy_, "_NET_WM_STATE_MAXIMIZED_HORZ", False));
      e.xclient.data.l[3] = 1;
      XSendEvent(dpy_, RootWindow(dpy_, screen_), False, SubstructureRedirectMask | SubstructureNotifyMask, &e);
    }
    w->iconic = state == WindowState::Minimized;
    XFlush(dpy_);
  }

  void FocusTopLevel(Hwnd hwnd) override {
    if (lost_) return;
    XWin* w = Get(hwnd);
    if (!w) return;
    if (w->mapped) XSetInputFocus(dpy_, w->xid, RevertToParent, CurrentTime);
    else w->focusWhenMapped = true;
  }

  void Present(Hwnd hwnd, const Bitmap& surface, const Region& changed) override {
    if (lost_) return;
    XWin* w = Get(hwnd);
    if (!w || !w->mapped || surface.IsEmpty()) return;
    if (!gc_) gc_ = XCreateGC(dpy_, w->xid, 0, nullptr);
    XImage* img = MakeImage(surface);
    if (!img) return;
    for (const Rect& r0 : changed.Rects()) {
      Rect r = r0.Intersect(surface.Bounds());
      if (r.IsEmpty()) continue;
      XPutImage(dpy_, w->xid, gc_, img, r.left, r.top, r.left, r.top, unsigned(r.Width()), unsigned(r.Height()));
    }
    img->data = nullptr;  // the pixels belong to the bitmap
    XDestroyImage(img);
    XFlush(dpy_);
  }

  void SetCursorShape(Hwnd hwnd, CursorShape shape) override {
    if (lost_) return;
    XWin* w = Get(hwnd);
    if (!w) return;
    XDefineCursor(dpy_, w->xid, CursorFor(shape));
    XFlush(dpy_);
  }

  void DefineCursorImage(CursorShape shape, const Bitmap& image, Point hotspot) override {
    if (lost_) return;
    int w = std::max(1, image.Width()), h = std::max(1, image.Height());
    int rowBytes = (w + 7) / 8;
    std::vector<char> source(size_t(rowBytes) * size_t(h)), mask(source.size());
    for (int y = 0; y < image.Height(); ++y) {
      const uint32_t* row = image.ScanLine(y);
      for (int x = 0; x < image.Width(); ++x) {
        uint32_t p = row[x];
        bool opaque = !image.HasAlpha() || (p >> 24) >= 128;
        int lum = int(((p >> 16) & 0xFF) * 3 + ((p >> 8) & 0xFF) * 6 + (p & 0xFF)) / 10;
        size_t i = size_t(y) * size_t(rowBytes) + size_t(x / 8);
        char bit = char(1 << (x % 8));
        if (opaque) mask[i] |= bit;
        if (opaque && lum < 128) source[i] |= bit;  // set bits show the foreground (black)
      }
    }
    ::Window root = RootWindow(dpy_, screen_);
    Pixmap src = XCreateBitmapFromData(dpy_, root, source.data(), unsigned(w), unsigned(h));
    Pixmap msk = XCreateBitmapFromData(dpy_, root, mask.data(), unsigned(w), unsigned(h));
    XColor black{}, white{};
    white.red = white.green = white.blue = 0xFFFF;
    unsigned hx = unsigned(std::clamp(hotspot.x, 0, w - 1)), hy = unsigned(std::clamp(hotspot.y, 0, h - 1));
    Cursor c = XCreatePixmapCursor(dpy_, src, msk, &black, &white, hx, hy);
    XFreePixmap(dpy_, src);
    XFreePixmap(dpy_, msk);
    auto old = cursors_.find(shape);
    if (old != cursors_.end()) XFreeCursor(dpy_, old->second);
    cursors_[shape] = c;
  }

  void Pump() override {
    while (!lost_ && XPending(dpy_) > 0) {
      XEvent ev;
      XNextEvent(dpy_, &ev);
      if (lost_) break;
      if (XFilterEvent(&ev, None)) continue;
      Handle(ev);
    }
  }

  void Wait(int32_t timeoutMs, int wakeFd) override {
    if (!lost_) XFlush(dpy_);
    if (!lost_ && XPending(dpy_) > 0) return;
    // Without a display only the wake-up and the timeout are left to wait for.
    pollfd fds[2] = {{wakeFd, POLLIN, 0}, {lost_ ? -1 : ConnectionNumber(dpy_), POLLIN, 0}};
    poll(fds, 2, timeoutMs);
  }

  Rect ScreenRect() const override {
    return {0, 0, DisplayWidth(dpy_, screen_), DisplayHeight(dpy_, screen_)};
  }

  void Beep() override {
    if (!lost_) XBell(dpy_, 0);
  }

 private:
  XWin* Get(Hwnd h) {
    auto it = wins_.find(h);
    return it == wins_.end() ? nullptr : &it->second;
  }

  // The modifier bit that Num Lock sets (usually Mod2).
  unsigned FindNumLockMask() {
    unsigned mask = Mod2Mask;
    XModifierKeymap* map = XGetModifierMapping(dpy_);
    if (!map) return mask;
    KeyCode numLock = XKeysymToKeycode(dpy_, 0xFF7F);
    for (int mod = 0; mod < 8; ++mod) {
      for (int i = 0; i < map->max_keypermod; ++i) {
        if (numLock != 0 && map->modifiermap[mod * map->max_keypermod + i] == numLock) mask = 1u << mod;
      }
    }
    XFreeModifiermap(map);
    return mask;
  }

  Hwnd HwndOf(::Window xid) const {
    auto it = byX_.find(xid);
    return it == byX_.end() ? 0 : it->second;
  }

  // An image over the bitmap's own pixels (B, G, R, A bytes: 32-bit little-endian 0xAARRGGBB).
  XImage* MakeImage(const Bitmap& bmp) {
    if (visual_->red_mask != 0xFF0000 || visual_->green_mask != 0xFF00 || visual_->blue_mask != 0xFF) {
      static bool told = false;
      if (!told) std::fprintf(stderr, "Quorvane: the X visual is not 24-bit true colour; nothing is shown\n");
      told = true;
      return nullptr;
    }
    char* data = reinterpret_cast<char*>(const_cast<uint8_t*>(bmp.Bits()));
    XImage* img = XCreateImage(dpy_, visual_, unsigned(depth_), ZPixmap, 0, data, unsigned(bmp.Width()),
                               unsigned(bmp.Height()), 32, bmp.Stride());
    if (img) {
      img->byte_order = LSBFirst;
      XInitImage(img);
    }
    return img;
  }

  Cursor CursorFor(CursorShape s) {
    auto it = cursors_.find(s);
    if (it != cursors_.end()) return it->second;
    Cursor c;
    if (s == CursorShape::Hidden) {
      static const char empty[8] = {};
      Pixmap p = XCreateBitmapFromData(dpy_, RootWindow(dpy_, screen_), empty, 8, 8);
      XColor black{};
      c = XCreatePixmapCursor(dpy_, p, p, &black, &black, 0, 0);
      XFreePixmap(dpy_, p);
    } else {
      c = XCreateFontCursor(dpy_, CursorFontShape(s));
    }
    cursors_[s] = c;
    return c;
  }

  void Handle(XEvent& ev) {
    Hwnd h = HwndOf(ev.xany.window);
    if (ev.type == MappingNotify) {
      XRefreshKeyboardMapping(&ev.xmapping);
      return;
    }
    if (clipboard_ && clipboard_->HandleEvent(ev)) return;
    if (!h) return;
    switch (ev.type) {
      case KeyPress: OnKey(h, ev.xkey, true); break;
      case KeyRelease: OnKey(h, ev.xkey, false); break;
      case ButtonPress:
      case ButtonRelease: OnButton(h, ev.xbutton); break;
      case MotionNotify: {
        XEvent latest = ev;
        while (XCheckTypedWindowEvent(dpy_, ev.xany.window, MotionNotify, &latest)) {
        }
        input::MouseMove(h, {latest.xmotion.x, latest.xmotion.y});
        break;
      }
      case EnterNotify: input::MouseMove(h, {ev.xcrossing.x, ev.xcrossing.y}); break;
      case FocusIn:
      case FocusOut: OnFocus(h, ev.xfocus); break;
      case Expose:
        input::Exposed(h, {ev.xexpose.x, ev.xexpose.y, ev.xexpose.x + ev.xexpose.width,
                           ev.xexpose.y + ev.xexpose.height});
        break;
      case MapNotify: OnMapped(h); break;
      case UnmapNotify:
        if (XWin* w = Get(h)) w->mapped = false;
        break;
      case ConfigureNotify: OnConfigure(h, ev.xconfigure); break;
      case ClientMessage:
        if (ev.xclient.message_type == wmProtocols_ && ::Atom(ev.xclient.data.l[0]) == wmDelete_)
          input::CloseRequested(h);
        break;
      default: break;
    }
  }

  void OnMapped(Hwnd h) {
    XWin* w = Get(h);
    if (!w) return;
    w->mapped = true;
    if (w->focusWhenMapped) {
      w->focusWhenMapped = false;
      XSetInputFocus(dpy_, w->xid, RevertToParent, CurrentTime);
    }
    // The whole image is shown once the window is on the screen.
    input::Exposed(h, {0, 0, w->bounds.Width(), w->bounds.Height()});
  }

  void OnConfigure(Hwnd h, const XConfigureEvent& c) {
    XWin* w = Get(h);
    if (!w) return;
    int x = 0, y = 0;
    ::Window child;
    XTranslateCoordinates(dpy_, w->xid, RootWindow(dpy_, screen_), 0, 0, &x, &y, &child);
    Rect b{x, y, x + c.width, y + c.height};
    w->bounds = b;
    input::Configured(h, b);
  }

  static Bool IsFocusIn(Display*, XEvent* ev, XPointer self) {
    auto* me = reinterpret_cast<X11Backend*>(self);
    return ev->type == FocusIn && ev->xfocus.mode == NotifyNormal && ev->xfocus.detail != NotifyPointer &&
           me->HwndOf(ev->xfocus.window) != 0;
  }

  void OnFocus(Hwnd h, const XFocusChangeEvent& f) {
    if (f.mode == NotifyGrab || f.mode == NotifyUngrab || f.detail == NotifyPointer) return;
    XWin* w = Get(h);
    bool in = f.type == FocusIn;
    if (!in) {
      // The focus going to another window of the program is a change of active window, not the
      // program losing the keyboard.
      XEvent next;
      if (XCheckIfEvent(dpy_, &next, IsFocusIn, reinterpret_cast<XPointer>(this))) {
        if (w && w->ic) XUnsetICFocus(w->ic);
        OnFocus(HwndOf(next.xfocus.window), next.xfocus);
        return;
      }
    }
    if (w && w->ic) {
      if (in) XSetICFocus(w->ic);
      else XUnsetICFocus(w->ic);
    }
    input::FocusChanged(h, in);
  }

  void OnButton(Hwnd h, const XButtonEvent& b) {
    bool down = b.type == ButtonPress;
    Point p{b.x, b.y};
    switch (b.button) {
      case Button1: input::MouseButton(h, p, input::Button::Left, down); break;
      case Button2: input::MouseButton(h, p, input::Button::Middle, down); break;
      case Button3: input::MouseButton(h, p, input::Button::Right, down); break;
      case Button4: if (down) input::Wheel(h, p, WHEEL_DELTA); break;
      case Button5: if (down) input::Wheel(h, p, -WHEEL_DELTA); break;
      case 6: if (down) input::Wheel(h, p, -WHEEL_DELTA, true); break;
      case 7: if (down) input::Wheel(h, p, WHEEL_DELTA, true); break;
      default: break;
    }
  }

  void OnKey(Hwnd h, XKeyEvent& k, bool down) {
    KeySym base = XLookupKeysym(&k, 0);
    // Num Lock (without Shift) turns the keypad's navigation keys into its digits.
    if (base >= 0xFF80 && base <= 0xFFBD && (k.state & numLockMask_) && !(k.state & ShiftMask)) {
      KeySym digit = XLookupKeysym(&k, 1);
      if (digit >= 0xFF80 && digit <= 0xFFBD) base = digit;
    }
    KeyTranslation t = TranslateKeysym(uint32_t(base), k.keycode);
    uint32_t scan = k.keycode >= 8 ? k.keycode - 8 : 0;  // the evdev code is the PC scan code
    if (base == kAltGrKeysym) input::AltGr(down);
    if (t.vk) input::Key(t.vk, down, t.extended, scan);
    if (!down) return;
    // Ctrl without Alt types only control characters (Ctrl+A is 1, Ctrl+1 types nothing), so a
    // command key never leaves a character behind.
    bool ctrlOnly = (k.state & ControlMask) && !(k.state & Mod1Mask) && base != kAltGrKeysym &&
                    GetAsyncKeyState(VK_RMENU) == 0;
    for (char32_t c : LookupText(h, k)) {
      if (c == 0x7F && t.vk == VK_DELETE) continue;  // the Delete key makes no character
      if (ctrlOnly && c >= 0x20) continue;
      input::Char(c);
    }
  }

  std::vector<char32_t> LookupText(Hwnd h, XKeyEvent& k) {
    XWin* w = Get(h);
    char buf[64];
    KeySym sym = 0;
    if (w && w->ic) {
      Status status = 0;
      int n = Xutf8LookupString(w->ic, &k, buf, sizeof buf, &sym, &status);
      if (status == XBufferOverflow) {
        std::vector<char> big(size_t(n) + 1);
        n = Xutf8LookupString(w->ic, &k, big.data(), int(big.size()), &sym, &status);
        return (status == XLookupChars || status == XLookupBoth) ? DecodeUtf8(big.data(), size_t(n))
                                                                 : std::vector<char32_t>{};
      }
      if (status == XLookupChars || status == XLookupBoth) return DecodeUtf8(buf, size_t(n));
      return {};
    }
    // Without an input method: Latin-1 from XLookupString.
    int n = XLookupString(&k, buf, sizeof buf, &sym, nullptr);
    std::vector<char32_t> out;
    for (int i = 0; i < n; ++i) out.push_back(static_cast<unsigned char>(buf[i]));
    return out;
  }

  static void OnConnectionLost(Display*, void* self) {
    auto* me = static_cast<X11Backend*>(self);
    me->lost_ = true;
    if (me->clipboard_) me->clipboard_->Disconnect();
    if (me->layouts_) me->layouts_->Disconnect();
    input::ConnectionLost();
  }

  Display* dpy_ = nullptr;
  bool lost_ = false;  // the display connection broke: no more Xlib calls on it
  int screen_ = 0;
  Visual* visual_ = nullptr;
  int depth_ = 24;
  unsigned numLockMask_ = Mod2Mask;
  XIM im_ = nullptr;
  GC gc_ = nullptr;
  ::Atom wmProtocols_ = 0, wmDelete_ = 0, netWmName_ = 0, utf8String_ = 0;
  std::map<Hwnd, XWin> wins_;
  std::map<::Window, Hwnd> byX_;
  std::map<CursorShape, Cursor> cursors_;
  std::unique_ptr<X11Clipboard> clipboard_;
  X11KeyboardLayoutSource* layouts_ = nullptr;  // owned by the layout list while registered
};

}  // namespace

std::unique_ptr<Backend> MakeX11Backend() { return std::make_unique<X11Backend>(); }

}  // namespace plat
