// The X11 window search and the control message sender.
#include "frontends/qt/ctl/x11_control.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <vector>

#include "frontends/qt/control_message.h"

namespace qm::x11 {
namespace {

// A window can vanish between finding and asking it; Xlib's default handler would then end
// the process.
int IgnoreErrors(Display*, XErrorEvent*) {
  return 0;
}

std::string ClassHint(Display* display, Window window, bool instance) {
  XClassHint hint = {};
  if (XGetClassHint(display, window, &hint) == 0) return {};
  std::string out =
      instance ? (hint.res_name ? hint.res_name : "") : (hint.res_class ? hint.res_class : "");
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return out;
}

}  // namespace

std::string WindowTitle(Display* display, Window window) {
  const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data != nullptr) {
    std::string title(reinterpret_cast<const char*>(data), count);
    XFree(data);
    if (type == utf8) return title;
  }
  char* name = nullptr;
  if (XFetchName(display, window, &name) == 0 || name == nullptr) return {};
  std::string title = name;
  XFree(name);
  return title;
}

std::string WindowClass(Display* display, Window window) {
  return ClassHint(display, window, false);
}

std::string WindowInstance(Display* display, Window window) {
  return ClassHint(display, window, true);
}

Window FindMainWindow(Display* display) {
  // An explicit stack: the tree is shallow, but nothing here should depend on that.
  std::vector<Window> pending = {DefaultRootWindow(display)};
  const auto previous = XSetErrorHandler(IgnoreErrors);
  Window found = 0;
  while (!pending.empty()) {
    const Window w = pending.back();
    pending.pop_back();
    if (WindowClass(display, w) == kMainClass && WindowTitle(display, w) == kMainCaption) {
      found = w;
      break;
    }
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int n = 0;
    if (XQueryTree(display, w, &root, &parent, &children, &n) == 0) continue;
    // Children come bottom to top; the topmost is looked at first.
    for (unsigned int i = 0; i < n; ++i) pending.push_back(children[i]);
    if (children != nullptr) XFree(children);
  }
  XSync(display, False);
  XSetErrorHandler(previous);
  return found;
}

bool SendControlMessage(Display* display, Window window, long msg, long wParam, long lParam) {
  XEvent ev = {};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = window;
  ev.xclient.message_type = XInternAtom(display, qt::kControlAtomName, False);
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = msg;
  ev.xclient.data.l[1] = wParam;
  ev.xclient.data.l[2] = lParam;
  // No event mask: the event goes to the client that made the window, mapped or not.
  if (XSendEvent(display, window, False, NoEventMask, &ev) == 0) return false;
  XSync(display, False);
  return true;
}

}  // namespace qm::x11
