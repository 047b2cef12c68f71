// How another program reaches the main window: it finds the window by its caption and class and
// sends it this window message, whose WParam says what to do.
#pragma once

#include <cstdint>

namespace qm {

inline constexpr const char* kMainCaption = "Quillmoor";
inline constexpr const char* kMainClass = "TForm1";

constexpr uint32_t kControlMessage = 0x468;  // WM_USER + 104
constexpr uintptr_t kControlToggle = 5;      // shows the window when hidden, hides it when shown
constexpr uintptr_t kControlClose = 7;       // closes it, as 終了 does

}  // namespace qm
