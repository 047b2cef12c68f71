// The X11 window class and connection state, through Qt's xcb connection.
#include "frontends/qt/x11_native.h"

#include <QGuiApplication>
#include <string>

#ifdef QUILLMOOR_QT_X11
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <xcb/xproto.h>
#endif

namespace qm::qt {
namespace {

#ifdef QUILLMOOR_QT_X11
xcb_connection_t* Connection() {
  // Other platforms (offscreen among them) may offer the interface without a connection.
  if (qGuiApp == nullptr || QGuiApplication::platformName() != "xcb") return nullptr;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 != nullptr ? x11->connection() : nullptr;
}
#endif

}  // namespace

void SetX11WindowClass([[maybe_unused]] QWidget& window, [[maybe_unused]] const char* name) {
#ifdef QUILLMOOR_QT_X11
  xcb_connection_t* c = Connection();
  if (c == nullptr || !window.isWindow()) return;
  // WM_CLASS is "instance\0class\0".
  std::string value = std::string(name) + '\0' + name + '\0';
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, static_cast<xcb_window_t>(window.winId()),
                      XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, static_cast<uint32_t>(value.size()),
                      value.data());
  xcb_flush(c);
#endif
}

bool X11ConnectionBroken() {
#ifdef QUILLMOOR_QT_X11
  xcb_connection_t* c = Connection();
  return c != nullptr && xcb_connection_has_error(c) != 0;
#else
  return false;
#endif
}

}  // namespace qm::qt
