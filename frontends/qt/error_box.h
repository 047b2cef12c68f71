// The modal error box: title "エラー", the error icon and a single OK button.
#pragma once

#include <QWidget>
#include <string>

namespace qm::qt {

// Returns once the user has closed the box. `owner` may be null.
void ShowErrorBox(QWidget* owner, const std::string& text);

}  // namespace qm::qt
