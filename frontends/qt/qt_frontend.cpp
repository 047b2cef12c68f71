// The Qt entry: platform choice, the X11 class name, the QApplication and the session.
#include "frontends/qt/qt_frontend.h"

#include <QApplication>
#include <cstdlib>

#include "frontends/qt/control_message.h"
#include "frontends/qt/display_choice.h"
#include "frontends/qt/fonts.h"
#include "frontends/qt/qt_session.h"
#include "platform/clock.h"
#include "platform/fs.h"

namespace qm {

int RunQtFrontend(int argc, char** argv, const std::vector<std::string>& params, bool& noDisplay) {
  noDisplay = false;
  const std::string platform = qt::ChooseQtPlatform();
  if (platform.empty()) {
    noDisplay = true;
    return 0;
  }
  setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
  // The X11 class is "instance\0class": the instance from RESOURCE_NAME, the class from the
  // application name, both read when the first window is made.
  setenv("RESOURCE_NAME", kMainClass, 1);
  QCoreApplication::setApplicationName(kMainClass);

  // Qt sees the program's name alone, so no parameter is ever taken as a Qt option.
  std::string name = argc > 0 && argv[0] != nullptr ? argv[0] : "quillmoor";
  int qtArgc = 1;
  char* qtArgv[] = {name.data(), nullptr};
  QApplication app(qtArgc, qtArgv);
  app.setQuitOnLastWindowClosed(false);
  qt::InstallFontSubstitutions();
  QApplication::setFont(qt::WindowFont());

  SystemClock clock;
  qt::QtSession session(params, SystemFileSystem(), clock);
  if (!session.Start()) return 0;
  return session.Exec();
}

}  // namespace qm
