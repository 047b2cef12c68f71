// Helpers of the Qt front end's tests.
#include "frontends/qt/tests/qt_test_support.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>
#include <ctime>

#include "frontends/qt/fonts.h"
#include "tests/log_lines.h"
#include "tests/temp_tree.h"

namespace qm::qt::test {

namespace {

QtMessageHandler gPreviousHandler = nullptr;

// The offscreen platform warns whenever a window's size limits change; that says nothing here.
void DropSizeHintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
  if (msg.contains("does not support propagateSizeHints")) return;
  if (gPreviousHandler != nullptr) gPreviousHandler(type, context, msg);
}

}  // namespace

void PrepareApplication() {
  gPreviousHandler = qInstallMessageHandler(DropSizeHintWarnings);
  QApplication::setQuitOnLastWindowClosed(false);
  InstallFontSubstitutions();
  QApplication::setFont(WindowFont());
}

Session::Session(std::vector<std::string> params, int timerMs, FileSystem* fs) {
  qt = std::make_unique<QtSession>(std::move(params), fs != nullptr ? *fs : SystemFileSystem(),
                                   clock);
  qt->Form().Timer1.Interval = static_cast<uint32_t>(timerMs);
}

bool WaitForRunEnd(Session& s, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  // A run is under way or armed until the timer is idle and the form is not busy.
  QTest::qWait(1);
  while (s.Form().Timer1.Enabled() || s.Form().Busy()) {
    if (t.elapsed() > timeoutMs) return false;
    QTest::qWait(5);
  }
  QCoreApplication::processEvents();
  return true;
}

void Choose(MainWindow& w, const char* action) {
  auto* a = w.findChild<QAction*>(action);
  if (a != nullptr) a->trigger();
}

QString Panel(MainWindow& w, int i) {
  return w.StatusBar().PanelLabel(i).text();
}

QString Row(MainWindow& w, int row) {
  QAbstractItemModel* m = w.ListBox().model();
  return m->data(m->index(row, 0)).toString();
}

int Rows(MainWindow& w) {
  return w.ListBox().model()->rowCount();
}

CivilTime LongAgo() {
  return CivilTime{2001, 2, 3, 4, 5, 6, 0};
}

CivilTime Now() {
  return LocalCivil(static_cast<int64_t>(std::time(nullptr)));
}

bool SaveScreenshot(QWidget& w, const QString& name) {
  QString dir = qEnvironmentVariable("QUILLMOOR_SCREENSHOT_DIR");
  if (dir.isEmpty()) dir = QDir::currentPath() + "/screenshots";
  if (!QDir().mkpath(dir)) return false;
  return w.grab().toImage().save(dir + "/" + name + ".png");
}

std::string ReadLogUtf8(const std::string& path) {
  return qm::test::DecodeCp932(qm::test::ReadBytes(path));
}

}  // namespace qm::qt::test
