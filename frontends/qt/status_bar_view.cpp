// The status bar view.
#include "frontends/qt/status_bar_view.h"

#include <QHBoxLayout>
#include <QSizeGrip>

namespace qm::qt {
namespace {

// Gap between two panels, taken from each panel's width.
constexpr int kPanelGap = 2;

}  // namespace

StatusBarView::StatusBarView(const TStatusBar& bar, QWidget* parent) : QWidget(parent), bar_(bar) {
  setFixedHeight(TStatusBar::kHeight);
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, kPanelGap, 0, 0);
  row->setSpacing(kPanelGap);
  for (int i = 0; i < TStatusBar::kPanels; ++i) {
    auto* label = new QLabel(this);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setLineWidth(1);
    label->setFixedWidth(TStatusBar::kPanelWidths[i] - kPanelGap);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setTextFormat(Qt::PlainText);
    panels_[static_cast<size_t>(i)] = label;
    row->addWidget(label);
    PanelChanged(i);
  }
  row->addStretch(1);
  row->addWidget(new QSizeGrip(this), 0, Qt::AlignBottom | Qt::AlignRight);
}

void StatusBarView::PanelChanged(int i) {
  if (i < 0 || i >= TStatusBar::kPanels) return;
  panels_[static_cast<size_t>(i)]->setText(QString::fromUtf8(bar_.Panel(i)));
}

}  // namespace qm::qt
