// The fonts of the window design ("ＭＳ Ｐゴシック" for the window, "ＭＳ ゴシック" for the list
// box), resolved to the IPA Gothic fonts, which fontconfig would not pick for those names.
#pragma once

#include <QFont>

namespace qm::qt {

inline constexpr const char* kWindowFontFamily = "ＭＳ Ｐゴシック";
inline constexpr const char* kFixedFontFamily = "ＭＳ ゴシック";
inline constexpr int kFontPixels = 12;

// Maps the design's family names to the IPA fonts; safe to call more than once.
void InstallFontSubstitutions();
// The window font, 12 px regular.
QFont WindowFont();
// The list box's fixed-pitch font, 12 px regular, or smaller where a whole line of the font (its
// descent with the underscore included) would not fit in a row of `rowPixels`.
QFont FixedFont(int rowPixels);

}  // namespace qm::qt
