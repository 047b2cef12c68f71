// Helpers of the Qt front end's tests: a session over chosen parameters, waiting for a run to
// end, reading what the window shows, and the folder screenshots go to.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "frontends/qt/qt_session.h"
#include "platform/calendar.h"
#include "platform/clock.h"
#include "platform/fs.h"

namespace qm::qt::test {

// The application-wide set-up the entry does: fonts, and no quit on a closed last window.
void PrepareApplication();

// A session on the real file system and clock, whose Timer1 counts `timerMs` instead of 3000 ms.
struct Session {
  explicit Session(std::vector<std::string> params, int timerMs = 1, FileSystem* fs = nullptr);
  SystemClock clock;
  std::unique_ptr<QtSession> qt;
  TForm1& Form() { return qt->Form(); }
  MainWindow& Window() { return qt->Window(); }
};

// Processes events until the run in progress (or one about to start) has reported its end.
bool WaitForRunEnd(Session& s, int timeoutMs = 20000);
// Triggers a menu item by its name ("N1", "N2", "Exit1", "About1").
void Choose(MainWindow& w, const char* action);
// The text a status bar panel shows.
QString Panel(MainWindow& w, int i);
// The text the list box shows on a row.
QString Row(MainWindow& w, int row);
int Rows(MainWindow& w);
// A local time long past, and now.
CivilTime LongAgo();
CivilTime Now();
// Saves a picture of the widget as <screenshot folder>/<name>.png; false when it failed.
bool SaveScreenshot(QWidget& w, const QString& name);
// The log file's bytes turned from code page 932 into UTF-8.
std::string ReadLogUtf8(const std::string& path);

}  // namespace qm::qt::test
