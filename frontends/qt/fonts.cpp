// Font substitutions and the two design fonts.
#include "frontends/qt/fonts.h"

namespace qm::qt {
namespace {

QFont Font(const char* family) {
  QFont f(QString::fromUtf8(family));
  f.setPixelSize(kFontPixels);
  f.setStyleHint(QFont::SansSerif);
  return f;
}

}  // namespace

void InstallFontSubstitutions() {
  QFont::insertSubstitution(QString::fromUtf8(kWindowFontFamily), "IPAPGothic");
  QFont::insertSubstitution(QString::fromUtf8(kFixedFontFamily), "IPAGothic");
}

QFont WindowFont() {
  return Font(kWindowFontFamily);
}

QFont FixedFont() {
  QFont f = Font(kFixedFontFamily);
  f.setFixedPitch(true);
  return f;
}

}  // namespace qm::qt
