// The session wiring.
#include "frontends/qt/qt_session.h"

#include <QEventLoop>

namespace qm::qt {

QtSession::QtSession(std::vector<std::string> params, FileSystem& fs, Clock& clock)
    : form_(std::move(params), services_, fs, clock) {
  window_ = std::make_unique<MainWindow>(
      form_, [this](const std::string& what) { services_.ShowErrorBox(what); });
  services_.SetWindow(window_.get());
}

QtSession::~QtSession() {
  services_.SetWindow(nullptr);
}

bool QtSession::Start() {
  return form_.FormCreate();
}

int QtSession::Exec() {
  if (form_.Closed()) return 0;
  QEventLoop loop;
  services_.SetMainLoop(&loop);
  loop.exec();
  services_.SetMainLoop(nullptr);
  return 0;
}

}  // namespace qm::qt
