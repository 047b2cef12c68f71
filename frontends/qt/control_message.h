// How the control message travels on X11, shared by the window and the quillmoor-ctl sender:
// a 32-bit ClientMessage of this type to the window captioned kMainCaption of class kMainClass,
// with data.l[0] the message number, data.l[1] its WParam and data.l[2] its LParam.
#pragma once

#include "ui/control_message.h"

namespace qm::qt {

inline constexpr const char* kControlAtomName = "QUILLMOOR_MESSAGE";

}  // namespace qm::qt
