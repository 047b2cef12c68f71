// The main window; places, captions and the menu follow the window design.
#include "frontends/qt/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <exception>

#include "frontends/qt/fonts.h"
#include "ui/control_message.h"

namespace qm::qt {

MainWindow::MainWindow(TForm1& form, std::function<void(const std::string&)> onFailure)
    : form_(form), onFailure_(std::move(onFailure)) {
  setObjectName("Form1");
  setWindowTitle(kMainCaption);
  setFont(WindowFont());
  BuildMenu();

  auto* client = new QWidget(this);
  auto* column = new QVBoxLayout(client);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  panel_ = new SettingsPanel(form_, client);
  column->addWidget(panel_);
  // The list box fills what lies between the panel and the status bar, shown or not.
  auto* listArea = new QWidget(client);
  auto* listLayout = new QVBoxLayout(listArea);
  listLayout->setContentsMargins(0, 0, 0, 0);
  list_ = new ListBoxView(form_.ListBox1, listArea);
  list_->setObjectName("ListBox1");
  listLayout->addWidget(list_);
  column->addWidget(listArea, 1);
  status_ = new StatusBarView(form_.StatBar, client);
  status_->setObjectName("StatBar");
  column->addWidget(status_);
  setCentralWidget(client);

  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] {
    if (form_.Timer1.Enabled()) Dispatch([this] { form_.Timer1Timer(); });
  });

  move(TForm1::kLeft, TForm1::kTop);
  resize(TForm1::kWidth - kDesignFrameWidth, 0);
  ApplyHeight();
  form_.SetObserver(this);
  TimerChanged();
}

MainWindow::~MainWindow() {
  form_.SetObserver(nullptr);
  if (waitCursor_) QApplication::restoreOverrideCursor();
}

void MainWindow::BuildMenu() {
  QMenu* file = menuBar()->addMenu("ファイル(&F)");
  file->setObjectName("File1");
  auto add = [this](QMenu* menu, const char* name, const char* caption, void (TForm1::*handler)()) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, [this, handler] {
      TForm1& form = form_;
      Dispatch([&form, handler] { (form.*handler)(); });
    });
  };
  add(file, "N1", "リスト表示", &TForm1::N1Click);
  add(file, "N2", "削除実行", &TForm1::N2Click);
  file->addSeparator()->setObjectName("N3");
  add(file, "Exit1", "終了(&X)", &TForm1::Exit1Click);
  QMenu* help = menuBar()->addMenu("ヘルプ(&H)");
  help->setObjectName("Help1");
  add(help, "About1", "バージョン情報", &TForm1::About1Click);
}

void MainWindow::ModelChanged(Change what, size_t first, size_t) {
  switch (what) {
    case Change::kLabel:
      panel_->LabelsChanged();
      break;
    case Change::kStatus:
      status_->PanelChanged(static_cast<int>(first));
      break;
    case Change::kListAdded:
    case Change::kListLine:
    case Change::kListCleared:
    case Change::kListTop:
    case Change::kListVisible:
      list_->ModelChanged(what, first);
      break;
    case Change::kTimer:
      TimerChanged();
      break;
    case Change::kFormVisible:
      setVisible(form_.Visible());
      break;
    case Change::kFormHeight:
      ApplyHeight();
      break;
    case Change::kCursor:
      ApplyCursor();
      break;
  }
}

int MainWindow::DesignHeight() const {
  return height() - menuBar()->sizeHint().height() + kDesignFrameHeight;
}

void MainWindow::ApplyHeight() {
  resize(width(), form_.Height() - kDesignFrameHeight + menuBar()->sizeHint().height());
}

void MainWindow::ApplyCursor() {
  const bool wait = form_.Cursor() == TCursor::kHourGlass;
  if (wait == waitCursor_) return;
  waitCursor_ = wait;
  if (wait) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void MainWindow::TimerChanged() {
  // The countdown starts when the timer goes from disabled to enabled, and only then.
  if (!form_.Timer1.Enabled()) {
    timer_.stop();
  } else if (!timer_.isActive()) {
    timer_.start(static_cast<int>(form_.Timer1.Interval));
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // TForm1 decides: it closes now, or once the run in progress ends, and hides the window.
  event->ignore();
  Dispatch([this] { form_.Close(); });
}

void MainWindow::Dispatch(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    onFailure_(e.what());
  } catch (...) {
    onFailure_("unknown failure");
  }
}

}  // namespace qm::qt
