// The about box and the error box: their layout, modality and ways of closing.
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "frontends/qt/tests/qt_test_support.h"
#include "tests/temp_tree.h"

namespace qm::qt::test {

class BoxesTest : public QObject {
  Q_OBJECT

 private:
  qm::test::TempTree tree_;
  std::vector<std::string> Manual() { return {"PATH=" + tree_.Path(), "DAYS=1", "DEBUG=1"}; }

  // Runs `inside` while the about box opened from the menu is shown, then closes it with OK
  // unless `inside` closed it already.
  static void WithAboutBox(Session& s, const std::function<void(AboutBox&)>& inside) {
    QTimer::singleShot(0, [&s, inside] {
      AboutBox* box = s.qt->Services().OpenAboutBox();
      if (box == nullptr) return;
      inside(*box);
      if (s.qt->Services().OpenAboutBox() != nullptr) {
        box->findChild<QPushButton*>("BitBtn1")->click();
      }
    });
    Choose(s.Window(), "About1");
  }

 private slots:
  void initTestCase() { PrepareApplication(); }

  void aboutBoxLayout() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    QString title;
    QSize size;
    std::map<QString, QPoint> places;
    std::map<QString, QString> texts;
    QRect bevel;
    QRect panel;
    QRect button;
    bool isDefault = false;
    bool modal = false;
    QPoint boxCentre;
    WithAboutBox(s, [&](AboutBox& box) {
      title = box.windowTitle();
      size = box.size();
      for (const char* name : {"Label1", "Label2", "Label3"}) {
        auto* l = box.findChild<QLabel*>(name);
        places[name] = l->pos();
        texts[name] = l->text();
      }
      bevel = box.findChild<QWidget*>("Bevel1")->geometry();
      panel = box.findChild<QWidget*>("Panel1")->geometry();
      auto* ok = box.findChild<QPushButton*>("BitBtn1");
      button = ok->geometry();
      isDefault = ok->isDefault();
      modal = QApplication::activeModalWidget() == &box;
      boxCentre = box.frameGeometry().center();
      SaveScreenshot(box, "about_box");
    });
    QCOMPARE(title, QString("Quillmoorのバージョン情報"));
    QCOMPARE(size, QSize(300, 133));
    QCOMPARE(texts["Label1"], QString("Ｑｕｉｌｌｍｏｏｒ"));
    QCOMPARE(places["Label1"], QPoint(113, 16));
    QCOMPARE(texts["Label2"], QString("Version 0.3.9"));
    QCOMPARE(places["Label2"], QPoint(111, 34));
    QVERIFY(texts["Label3"].startsWith("Copyright"));
    QCOMPARE(places["Label3"], QPoint(54, 51));
    QCOMPARE(bevel, QRect(9, 9, 278, 65));
    QCOMPARE(panel, QRect(0, 82, 300, 51));
    QCOMPARE(button, QRect(107, 10, 99, 31));
    QVERIFY(isDefault);
    QVERIFY(modal);
    QVERIFY((boxCentre - s.Window().frameGeometry().center()).manhattanLength() <= 2);
    QVERIFY(s.qt->Services().OpenAboutBox() == nullptr);
    QVERIFY(s.Window().isVisible());
  }

  // The OK button shows the classic green check mark, whatever the icon theme has.
  void aboutBoxOkShowsGreenCheckMark() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    QImage icon;
    WithAboutBox(s, [&](AboutBox& box) {
      icon = box.findChild<QPushButton*>("BitBtn1")->icon().pixmap(16, 16).toImage();
    });
    QVERIFY(!icon.isNull());
    int green = 0;
    int other = 0;
    QRect inked;
    for (int y = 0; y < icon.height(); ++y) {
      for (int x = 0; x < icon.width(); ++x) {
        const QColor c = icon.pixelColor(x, y);
        if (c.alpha() < 64) continue;
        if (c.green() > c.red() + 40 && c.green() > c.blue() + 40) {
          ++green;
          inked |= QRect(x, y, 1, 1);
        } else {
          ++other;
        }
      }
    }
    QVERIFY(green >= 12);
    QCOMPARE(other, 0);
    // A tick: it spans most of the picture, and its lowest point lies left of the middle.
    QVERIFY(inked.width() >= 10 && inked.height() >= 8);
    int lowestX = -1;
    for (int x = 0; x < icon.width() && lowestX < 0; ++x) {
      if (icon.pixelColor(x, inked.bottom()).alpha() >= 64) lowestX = x;
    }
    QVERIFY(lowestX >= 0 && lowestX < icon.width() / 2);
  }

  void aboutBoxFollowsTheMainWindowEachTime() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    for (const QPoint& at : {QPoint(40, 30), QPoint(300, 200)}) {
      s.Window().move(at);
      QPoint centre;
      WithAboutBox(s, [&](AboutBox& box) { centre = box.frameGeometry().center(); });
      QVERIFY((centre - s.Window().frameGeometry().center()).manhattanLength() <= 2);
    }
  }

  void aboutBoxKeys_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Esc") << int(Qt::Key_Escape) << false;
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
  }

  void aboutBoxKeys() {
    QFETCH(int, key);
    QFETCH(bool, closes);
    Session s(Manual());
    QVERIFY(s.qt->Start());
    bool stillOpen = false;
    WithAboutBox(s, [&](AboutBox& box) {
      QTest::keyClick(&box, static_cast<Qt::Key>(key));
      stillOpen = box.isVisible() && s.qt->Services().OpenAboutBox() != nullptr;
    });
    QCOMPARE(stillOpen, !closes);
  }

  void closeMessageWhileAboutBoxIsOpenEndsAll() {
    Session s(Manual());
    QVERIFY(s.qt->Start());
    WithAboutBox(s, [&](AboutBox&) { s.Form().ControlMessage(kControlMessage, 7, 0); });
    QVERIFY(s.Form().Closed());
    QVERIFY(s.qt->Services().OpenAboutBox() == nullptr);
    QVERIFY(!s.Window().isVisible());
  }

  void refusedCommandLineShowsErrorBox_data() {
    QTest::addColumn<QString>("param");
    QTest::addColumn<QString>("message");
    QTest::newRow("version") << "/?"
                             << "Brackwin Ver0.21";
    QTest::newRow("no days") << "PATH=/tmp"
                             << "ParaMeter Is /h:show help";
  }

  void refusedCommandLineShowsErrorBox() {
    QFETCH(QString, param);
    QFETCH(QString, message);
    Session s({param.toStdString()});
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttons = 0;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      title = box->windowTitle();
      text = box->text();
      icon = box->icon();
      buttons = static_cast<int>(box->buttons().size());
      box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(!s.qt->Start());
    QCOMPARE(title, QString("エラー"));
    QCOMPARE(text, message);
    QCOMPARE(icon, QMessageBox::Critical);
    QCOMPARE(buttons, 1);
    QVERIFY(!s.Window().isVisible());
  }
};

}  // namespace qm::qt::test

QTEST_MAIN(qm::qt::test::BoxesTest)
#include "qt_boxes_test.moc"
