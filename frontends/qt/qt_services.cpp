// The Qt services.
#include "frontends/qt/qt_services.h"

#include <QCoreApplication>
#include <QEvent>

#include "frontends/qt/display_loss.h"
#include "frontends/qt/error_box.h"

namespace qm::qt {

bool QtServices::CheckDisplay() {
  if (displayGone_) return true;
  if (!DisplayLost()) return false;
  displayGone_ = true;
  if (onDisplayLost_) onDisplayLost_();
  return true;
}

void QtServices::ProcessMessages() {
  // Qt would end the process on handling events over a broken connection; the run goes on
  // without the window instead.
  if (CheckDisplay()) return;
  if (sincePump_.isValid() && sincePump_.elapsed() < pumpIntervalMs_) return;
  // Restarted first, so that a handler run from here that asks again does not nest a round.
  sincePump_.start();
  ++pumpRounds_;
  if (window_ != nullptr) window_->FlushPending();
  // Again just before Qt looks: the flush takes long enough for a break to come meanwhile.
  if (CheckDisplay()) return;
  QCoreApplication::processEvents();
}

void QtServices::Repaint() {
  if (window_ == nullptr || CheckDisplay()) return;
  window_->FlushPending();
  if (CheckDisplay()) return;
  // Only the paint requests already queued are delivered: no input, timer or other event runs.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
}

void QtServices::ShowErrorBox(const std::string& text) {
  if (CheckDisplay()) return;  // nobody to show it to; the log has the error
  QWidget* owner = window_ != nullptr && window_->isVisible() ? window_ : nullptr;
  qt::ShowErrorBox(owner, text);
}

void QtServices::ShowAboutBox() {
  if (CheckDisplay()) return;
  // A new box each time: QDialog centres a box over its owner when first shown.
  AboutBox box(window_);
  aboutBox_ = &box;
  box.exec();
  aboutBox_ = nullptr;
}

void QtServices::MainWindowClosed() {
  windowClosed_ = true;
  // The window is hidden already, and a hidden window's close would not end the loop. Only
  // our own loops end: QCoreApplication::exit would also make every later modal loop return
  // at once.
  if (aboutBox_ != nullptr) aboutBox_->reject();
  if (mainLoop_ != nullptr) mainLoop_->quit();
}

}  // namespace qm::qt
