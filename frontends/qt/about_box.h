// TVerForm, the about box: the program's name, version and rights notice over an OK button
// that is the default button. It has no cancel button, so Esc leaves it open. Shown, its frame
// is centred over the owner's frame, and on X11 its window class is TVerForm.
#pragma once

#include <QDialog>

namespace qm::qt {

class AboutBox : public QDialog {
 public:
  static constexpr int kClientWidth = 300;
  static constexpr int kClientHeight = 133;

  // Shown, the box centres itself over `owner` as it stands then.
  explicit AboutBox(QWidget* owner);

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CentreOverOwner();
};

}  // namespace qm::qt
