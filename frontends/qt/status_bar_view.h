// StatBar on screen: three sunken panels of 250, 50 and 50 pixels and a size grip, 19 high.
#pragma once

#include <QLabel>
#include <QWidget>
#include <array>

#include "platform/forms.h"

namespace qm::qt {

class StatusBarView : public QWidget {
 public:
  StatusBarView(const TStatusBar& bar, QWidget* parent = nullptr);
  // Shows the model's text of one panel.
  void PanelChanged(int i);
  const QLabel& PanelLabel(int i) const { return *panels_[static_cast<size_t>(i)]; }

 private:
  const TStatusBar& bar_;
  std::array<QLabel*, TStatusBar::kPanels> panels_{};
};

}  // namespace qm::qt
