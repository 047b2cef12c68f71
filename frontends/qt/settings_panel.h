// Panel1 on screen: the settings display of the main window, two lowered bevels split by
// Splitter1, with the fixed captions and the seven labels that start-up fills.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QSplitter>
#include <utility>
#include <vector>

#include "platform/forms.h"
#include "ui/form1.h"

namespace qm::qt {

class SettingsPanel : public QFrame {
 public:
  SettingsPanel(const TForm1& form, QWidget* parent = nullptr);
  // Shows the current captions of the form's labels.
  void LabelsChanged();

 private:
  QLabel* AddLabel(const char* name, int left, int top, const QString& text);

  std::vector<std::pair<const TLabel*, QLabel*>> modelLabels_;
};

}  // namespace qm::qt
