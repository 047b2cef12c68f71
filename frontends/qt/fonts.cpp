// Font substitutions and the two design fonts.
#include "frontends/qt/fonts.h"

#include <QFontMetrics>

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

QFont FixedFont(int rowPixels) {
  QFont f = Font(kFixedFontFamily);
  f.setFixedPitch(true);
  // Drawn crisp, as the design's bitmap font is: smoothed at this size, the thin underscore of
  // the Gothic fonts fades to a pale grey.
  f.setStyleStrategy(QFont::NoAntialias);
  // A row clips what lies below it: the underscore and the descenders sit in the font's descent,
  // so the whole line (ascent + descent) must fit, even if that costs a pixel of size.
  while (f.pixelSize() > 1 && QFontMetrics(f).height() > rowPixels) {
    f.setPixelSize(f.pixelSize() - 1);
  }
  return f;
}

}  // namespace qm::qt
