// Receives the control message on X11 (see control_message.h) and hands it to a handler;
// on other platforms installing it does nothing.
#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>
#include <functional>

namespace qm::qt {

class ControlFilter : public QAbstractNativeEventFilter {
 public:
  using Handler = std::function<void(uint32_t msg, uintptr_t wParam, intptr_t lParam)>;

  // Takes messages sent to the native window `windowId` (a QWidget's winId()).
  ControlFilter(uintptr_t windowId, Handler handler);
  ~ControlFilter() override;
  // False when the application does not run on X11.
  bool Installed() const { return installed_; }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

 private:
  uintptr_t windowId_;
  Handler handler_;
  uint32_t atom_ = 0;
  bool installed_ = false;
};

}  // namespace qm::qt
