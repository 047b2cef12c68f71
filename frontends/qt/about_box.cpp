// The about box; places and texts follow the design.
#include "frontends/qt/about_box.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace qm::qt {
namespace {

constexpr int kPanelHeight = 51;

QLabel* AddLabel(QWidget* parent, const char* name, int left, int top, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->move(left, top);
  label->adjustSize();
  return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint) {
  setObjectName("VerForm");
  setWindowTitle("Quillmoorのバージョン情報");
  setModal(true);
  resize(kClientWidth, kClientHeight);

  auto* bevel = new QFrame(this);
  bevel->setObjectName("Bevel1");
  bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bevel->setLineWidth(1);
  bevel->setGeometry(9, 9, 278, 65);
  AddLabel(this, "Label1", 113, 16, "Ｑｕｉｌｌｍｏｏｒ");
  AddLabel(this, "Label2", 111, 34, "Version 0.3.9");
  AddLabel(this, "Label3", 54, 51, "Copyright (C) Quillmoor developers");

  // The panel keeps to the bottom across the whole width; the button keeps its place in it.
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch(1);
  auto* panel = new QFrame(this);
  panel->setObjectName("Panel1");
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(1);
  panel->setFixedHeight(kPanelHeight);
  auto* caption = new QVBoxLayout(panel);
  caption->addWidget(new QLabel("Panel1", panel), 0, Qt::AlignCenter);
  layout->addWidget(panel);

  auto* ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), "OK", panel);
  ok->setObjectName("BitBtn1");
  ok->setGeometry(107, 10, 99, 31);
  ok->setDefault(true);
  ok->raise();
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace qm::qt
