// The about box; places and texts follow the design.
#include "frontends/qt/about_box.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "frontends/qt/x11_native.h"
#include "ui/ver_form.h"

namespace qm::qt {
namespace {

constexpr int kPanelHeight = 51;
// The box's X11 class, as the main window's is TForm1.
constexpr const char* kWindowClass = "TVerForm";

// The OK button's picture: a green check mark, drawn here since the icon themes offer anything
// from a tick to a bent arrow under that name.
QIcon CheckMarkIcon() {
  QIcon icon;
  for (int side : {16, 32}) {
    QPixmap pixmap(side, side);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 16.0, side / 16.0);
    p.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{{2.5, 8.5}, {6.0, 12.5}, {13.5, 3.5}});
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

// What the frame (caption and borders) adds around a window's client area; zero until the
// window manager has framed it.
QMargins FrameMargins(const QWidget& w) {
  const QRect frame = w.frameGeometry();
  const QRect client = w.geometry();
  return QMargins(client.left() - frame.left(), client.top() - frame.top(),
                  frame.right() - client.right(), frame.bottom() - client.bottom());
}

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
  setWindowTitle(kVerCaption);
  setModal(true);
  resize(kClientWidth, kClientHeight);

  auto* bevel = new QFrame(this);
  bevel->setObjectName("Bevel1");
  bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bevel->setLineWidth(1);
  bevel->setGeometry(9, 9, 278, 65);
  AddLabel(this, "Label1", 113, 16, kVerProductName);
  AddLabel(this, "Label2", 111, 34, kVerVersion);
  AddLabel(this, "Label3", 54, 51, kVerCopyright);

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

  auto* ok = new QPushButton(CheckMarkIcon(), "OK", panel);
  ok->setObjectName("BitBtn1");
  ok->setGeometry(107, 10, 99, 31);
  ok->setDefault(true);
  ok->raise();
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous()) return;
  // Still unmapped here: the window manager reads the class when the box is first mapped.
  SetX11WindowClass(*this, kWindowClass);
  CentreOverOwner();
}

void AboutBox::CentreOverOwner() {
  QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  if (owner == nullptr) return;
  // Frame over frame: centring the client areas would leave the box higher by the difference
  // of the captions. Until the box is framed, its frame is taken to be like the owner's.
  QMargins margins = FrameMargins(*this);
  if (margins.isNull()) margins = FrameMargins(*owner);
  QRect frame(QPoint(0, 0), size().grownBy(margins));
  frame.moveCenter(owner->frameGeometry().center());
  if (const QScreen* screen = owner->screen()) {
    // Kept on the owner's screen, caption first.
    const QRect desk = screen->availableGeometry();
    frame.moveLeft(std::max(desk.left(), std::min(frame.left(), desk.right() - frame.width() + 1)));
    frame.moveTop(std::max(desk.top(), std::min(frame.top(), desk.bottom() - frame.height() + 1)));
  }
  // A window's position is its frame's corner.
  move(frame.topLeft());
  setAttribute(Qt::WA_Moved, false);
}

void AboutBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

}  // namespace qm::qt
