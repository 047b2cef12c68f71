// Chooses the Qt platform plugin before any QApplication exists: a QApplication that cannot
// open its platform aborts the process, so the console front end has to be picked beforehand.
#pragma once

#include <string>

namespace qm::qt {

// The value for QT_QPA_PLATFORM that can be opened here, or empty when none can (no display).
// An explicit QT_QPA_PLATFORM (a name or a ';'-separated list, each with optional ":options")
// is honoured entry by entry; otherwise X11 through DISPLAY, then Wayland through
// WAYLAND_DISPLAY.
std::string ChooseQtPlatform();

}  // namespace qm::qt
