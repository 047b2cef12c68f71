// How the control message travels on X11, shared by the window and the quillmoor-ctl sender:
// a 32-bit ClientMessage of this type to the window titled kWindowTitle of class kWindowClass,
// with data.l[0] the message number, data.l[1] its WParam and data.l[2] its LParam.
#pragma once

namespace qm::qt {

inline constexpr const char* kControlAtomName = "QUILLMOOR_MESSAGE";
inline constexpr const char* kWindowTitle = "Quillmoor";
inline constexpr const char* kWindowClass = "TForm1";

}  // namespace qm::qt
