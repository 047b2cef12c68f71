// Finding Quillmoor's main window on an X11 display by its title and class, and sending it the
// control message (see control_message.h). Plain Xlib; no Qt.
#pragma once

#include <X11/Xlib.h>

#include <string>

namespace qm::x11 {

// The first window anywhere in the tree (window managers reparent) whose title is "Quillmoor"
// and whose class is "TForm1", mapped or not; 0 when there is none.
Window FindMainWindow(Display* display);
// The window's title (_NET_WM_NAME, else WM_NAME) and class; empty when it has none.
std::string WindowTitle(Display* display, Window window);
std::string WindowClass(Display* display, Window window);
std::string WindowInstance(Display* display, Window window);
// Sends the message and waits until the server has it; false on failure.
bool SendControlMessage(Display* display, Window window, long msg, long wParam, long lParam);

}  // namespace qm::x11
