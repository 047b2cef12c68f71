// What the window needs from X11 beyond what Qt offers: a window class of a window's own, and
// whether the connection to the X server has broken. Both do nothing off X11.
#pragma once

#include <QWidget>

namespace qm::qt {

// Gives a top-level widget its own X11 WM_CLASS (instance and class both `name`): Qt gives every
// window of the application the same one. Window managers read it when a window is first
// mapped, so call it before then (from showEvent, say).
void SetX11WindowClass(QWidget& window, const char* name);

// True once the connection to the X server has broken (the server died or went away).
bool X11ConnectionBroken();

}  // namespace qm::qt
