// The X11 control message filter.
#include "frontends/qt/control_filter.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>

#include "frontends/qt/control_message.h"

#ifdef QUILLMOOR_QT_X11
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#endif

namespace qm::qt {

ControlFilter::ControlFilter(uintptr_t windowId, Handler handler)
    : windowId_(windowId), handler_(std::move(handler)) {
#ifdef QUILLMOOR_QT_X11
  // Other platforms (offscreen among them) may offer the interface without a connection.
  if (qGuiApp == nullptr || QGuiApplication::platformName() != "xcb") return;
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  xcb_connection_t* c = x11 != nullptr ? x11->connection() : nullptr;
  if (c == nullptr) return;
  const xcb_intern_atom_cookie_t cookie =
      xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(kControlAtomName)), kControlAtomName);
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
  if (reply == nullptr) return;
  atom_ = reply->atom;
  std::free(reply);
  QCoreApplication::instance()->installNativeEventFilter(this);
  installed_ = true;
#endif
}

ControlFilter::~ControlFilter() {
  if (installed_ && QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeNativeEventFilter(this);
  }
}

bool ControlFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) {
#ifdef QUILLMOOR_QT_X11
  if (eventType != "xcb_generic_event_t") return false;
  const auto* generic = static_cast<const xcb_generic_event_t*>(message);
  if ((generic->response_type & 0x7f) != XCB_CLIENT_MESSAGE) return false;
  const auto* ev = static_cast<const xcb_client_message_event_t*>(message);
  if (ev->type != atom_ || ev->format != 32 || ev->window != windowId_) return false;
  handler_(ev->data.data32[0], ev->data.data32[1], static_cast<int32_t>(ev->data.data32[2]));
  if (result != nullptr) *result = 0;
  return true;
#else
  (void)eventType;
  (void)message;
  (void)result;
  return false;
#endif
}

}  // namespace qm::qt
