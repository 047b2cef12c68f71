// The error box.
#include "frontends/qt/error_box.h"

#include <QMessageBox>

namespace qm::qt {

void ShowErrorBox(QWidget* owner, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, "エラー", QString::fromUtf8(text), QMessageBox::Ok, owner);
  box.setObjectName("ErrorBox");
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

}  // namespace qm::qt
