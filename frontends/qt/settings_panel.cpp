// The settings panel; places and texts follow the window design.
#include "frontends/qt/settings_panel.h"

#include <QColor>
#include <QPalette>
#include <QVBoxLayout>

#include "frontends/qt/fonts.h"

namespace qm::qt {
namespace {

constexpr int kBevel1Height = 64;
constexpr int kSplitterWidth = 5;
constexpr int kBevel2Height = 75;
// Neither side of the splitter can be dragged below this.
constexpr int kSplitterMinSize = 30;

QFrame* MakeBevel(const char* name, QWidget* parent) {
  auto* bevel = new QFrame(parent);
  bevel->setObjectName(name);
  bevel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  bevel->setLineWidth(1);
  bevel->setMinimumHeight(kSplitterMinSize);
  return bevel;
}

QFont Bold(QFont f) {
  f.setBold(true);
  return f;
}

}  // namespace

SettingsPanel::SettingsPanel(const TForm1& form, QWidget* parent) : QFrame(parent) {
  setObjectName("Panel1");
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
  setFixedHeight(TForm1::kPanel1Height);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->setObjectName("Splitter1");
  splitter->setHandleWidth(kSplitterWidth);
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(MakeBevel("Bevel1", splitter));
  splitter->addWidget(MakeBevel("Bevel2", splitter));
  splitter->setSizes({kBevel1Height, kBevel2Height});
  splitter->handle(1)->setCursor(Qt::SizeVerCursor);
  // The lower frame takes what the window gives; the splitter alone moves the border.
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  layout->addWidget(splitter);

  AddLabel("Label2", 21, 18, "ディレクトリ");
  modelLabels_.emplace_back(&form.DirectoryLbl, AddLabel("DirectoryLbl", 83, 18, {}));
  AddLabel("Label3", 22, 33, "指定日数");
  modelLabels_.emplace_back(&form.DaysLbl, AddLabel("DaysLbl", 90, 33, {}));
  AddLabel("Label4", 23, 47, "計算後日付");
  modelLabels_.emplace_back(&form.DateLbl, AddLabel("DateLbl", 91, 48, {}));
  AddLabel("Label7", 5, 5, "基本動作")->setFont(Bold(WindowFont()));
  AddLabel("Label5", 6, 75, "処理概要")->setFont(Bold(WindowFont()));
  QLabel* mode = AddLabel("DebugMode", 22, 89, {});
  QFont modeFont = Bold(WindowFont());
  modeFont.setPixelSize(15);
  mode->setFont(modeFont);
  QPalette maroon = mode->palette();
  maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
  mode->setPalette(maroon);
  modelLabels_.emplace_back(&form.DebugMode, mode);
  AddLabel("Label8", 15, 109, "フォルダ");
  modelLabels_.emplace_back(&form.DirDelLbl, AddLabel("DirDelLbl", 61, 110, {}));
  AddLabel("Label1", 186, 108, "ログレベル");
  modelLabels_.emplace_back(&form.LogLbl, AddLabel("LogLbl", 250, 107, {}));
  AddLabel("Label6", 186, 122, "ログファイル");
  modelLabels_.emplace_back(&form.LogFileLbl, AddLabel("LogFileLbl", 250, 121, {}));
  LabelsChanged();
}

QLabel* SettingsPanel::AddLabel(const char* name, int left, int top, const QString& text) {
  auto* label = new QLabel(text, this);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->move(left, top);
  label->adjustSize();
  label->raise();
  return label;
}

void SettingsPanel::LabelsChanged() {
  for (auto& [model, label] : modelLabels_) {
    const QString text = QString::fromUtf8(model->Caption());
    if (label->text() == text) continue;
    label->setText(text);
    label->adjustSize();
  }
}

}  // namespace qm::qt
